#include "file_dialog_filter.h"

#include <vector>

#include "gbk_text.h"

namespace rt {

std::u16string DialogFilter(std::string_view gbk_filter) {
  std::u16string text = zz::GbkToUtf16(gbk_filter);
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = text.find(u'|', start);
    parts.push_back(text.substr(start, bar == std::u16string::npos ? bar : bar - start));
    if (bar == std::u16string::npos) break;
    start = bar + 1;
  }
  std::u16string out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    out += parts[i];
    out += u'\0';
    out += parts[i + 1];
    out += u'\0';
  }
  if (!out.empty()) out += u'\0';
  return out;
}

}  // namespace rt
