#include "ini_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "file_access.h"
#include "gbk_text.h"

namespace rt {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

bool IsSection(const std::string& line, std::string* name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  *name = Trim(t.substr(1, t.size() - 2));
  return true;
}

bool IsKey(const std::string& line, std::string* key, std::string* value) {
  std::size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  *key = Trim(line.substr(0, eq));
  *value = Trim(line.substr(eq + 1));
  return true;
}

}  // namespace

std::string IniRead(const std::string& gbk_path, const std::string& section,
                    const std::string& key, const std::string& default_value) {
  std::string text;
  if (!ReadWholeFile(gbk_path, &text)) return default_value;
  bool in_section = false;
  for (const std::string& line : Lines(text)) {
    std::string name, k, v;
    if (IsSection(line, &name)) {
      in_section = zz::GbkSameName(name, section);
    } else if (in_section && IsKey(line, &k, &v) && zz::GbkSameName(k, key)) {
      return v;
    }
  }
  return default_value;
}

bool IniWrite(const std::string& gbk_path, const std::string& section, const std::string& key,
              const std::string& value) {
  std::string text;
  ReadWholeFile(gbk_path, &text);
  std::vector<std::string> lines = Lines(text);
  int section_line = -1, key_line = -1, section_end = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string name, k, v;
    if (IsSection(lines[i], &name)) {
      if (section_line >= 0 && section_end < 0) section_end = i;
      if (section_line < 0 && zz::GbkSameName(name, section)) section_line = i;
    } else if (section_line >= 0 && section_end < 0 && key_line < 0 && IsKey(lines[i], &k, &v) &&
               zz::GbkSameName(k, key)) {
      key_line = i;
    }
  }
  std::string entry = key + "=" + value;
  if (key_line >= 0) {
    lines[key_line] = entry;
  } else if (section_line >= 0) {
    int at = section_end >= 0 ? section_end : static_cast<int>(lines.size());
    // Keep the new key with its section, before the blank lines that end it.
    while (at > section_line + 1 && Trim(lines[at - 1]).empty()) --at;
    lines.insert(lines.begin() + at, entry);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  }
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return ReplaceWholeFile(gbk_path, out);
}

}  // namespace rt
