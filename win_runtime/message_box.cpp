#include "message_box.h"

namespace rt {

int AnswerFromButtonId(int id) {
  // The Windows button ids IDOK 1 .. IDNO 7, in the runtime's order.
  switch (id) {
    case 1: return 0;  // OK
    case 2: return 1;  // Cancel
    case 3: return 2;  // Abort
    case 4: return 3;  // Retry
    case 5: return 4;  // Ignore
    case 6: return 5;  // Yes
    case 7: return 6;  // No
  }
  return -1;
}

std::string BoxCaption(const std::string& caption) { return caption.empty() ? "信息：" : caption; }

std::string RuntimeErrorText(int code, const std::string& what) {
  return "错误代码：" + std::to_string(code) + "\r\n" + what;
}

}  // namespace rt
