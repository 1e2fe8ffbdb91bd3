// GBK text, the main program's own encoding, and its conversions.
//
// Code page 936 is named explicitly on every conversion: the ANSI code page
// of the machine is never consulted. Bytes that are not valid GBK become '?'
// (one per undecodable byte), the same on Windows and natively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zz {

std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view text);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);
// True when every character has a GBK form: the database keeps no other.
bool FitsGbk(std::u16string_view text);
#ifdef _WIN32
// The wide text of the Win32 APIs (UTF-16 in wchar_t) from and to GBK.
std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view text);
#endif
// One code point as UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t code_point);

// Length in bytes of the GBK character that starts at text[pos] (1 or 2).
std::size_t GbkCharLength(std::string_view text, std::size_t pos);

// Character-wise search: a match never starts on a trail byte, so the ']'
// inside 乚 (81 5D) is not found by a search for "]".
std::size_t GbkFind(std::string_view text, std::string_view needle, std::size_t from = 0);
std::string GbkReplaceAll(std::string_view text, std::string_view from, std::string_view to);
bool GbkEndsWith(std::string_view text, std::string_view suffix);
// ASCII letters compare without case, as Windows compares names; the bytes
// of a GBK character (whose trail byte may be a letter) exactly.
bool GbkSameName(std::string_view a, std::string_view b);

}  // namespace zz
