// Message boxes as the program's handlers see them: Windows style numbers
// in, the pressed button numbered from 0 out.
#pragma once

#include <string>

namespace rt {

enum MessageStyle { kPlain = 0, kErrorIcon = 16, kYesNoQuestion = 36, kWarningIcon = 48, kInfoIcon = 64 };

// OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6; -1 for anything else.
int AnswerFromButtonId(int id);
// A box without a caption shows "信息：".
std::string BoxCaption(const std::string& caption);

// The runtime's fatal error box text for an error code ("运行时出错!" is its
// caption).
std::string RuntimeErrorText(int code, const std::string& what);
constexpr const char* kRuntimeErrorCaption = "运行时出错!";
constexpr int kErrorNeedNumber = 2;    // "未得到所需要的数值型数据"
constexpr int kErrorTypeMismatch = 5;  // "数据或数组类型不匹配"
constexpr int kErrorStackImbalance = 6;

}  // namespace rt
