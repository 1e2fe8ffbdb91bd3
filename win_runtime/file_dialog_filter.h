// The filter of an open-file dialog, written by the program as
// "描述|*.ml|描述2|*.txt", in the form the file dialog takes.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// Each description and pattern NUL-terminated, the list ended by a second
// NUL. The text is split after conversion from GBK, since a GBK trail byte
// may be '|' (亅 is 81 7C). A description left without a pattern is dropped;
// an empty filter gives "" (the dialog then shows every file).
std::u16string DialogFilter(std::string_view gbk_filter);

}  // namespace rt
