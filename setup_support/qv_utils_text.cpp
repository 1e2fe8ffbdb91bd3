#include "qv_utils_text.h"

#include "gbk_text.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

const wchar_t* QvOsNameFor(int platform, unsigned major, unsigned minor) {
  if (platform == kQvPlatformNt) {
    if (major == 5) return minor == 0 ? L"Win2000" : L"XP";
    if (major >= 6 && minor >= 2) return L"Win8";
    if (major == 6) return minor == 0 ? L"Vista" : L"Win7";
    return L"XP";
  }
  if (platform == kQvPlatformWin9x && major == 4) return minor < 90 ? L"9x" : L"Me";
  return L"XP";
}

int QvIsWin7For(int platform, unsigned major) {
  return platform == kQvPlatformNt && major >= 6 ? 1 : 0;
}

int QvIsWin8For(int platform, unsigned major, unsigned minor) {
  return platform == kQvPlatformNt && major >= 6 && minor >= 2 ? 1 : 0;
}

void QvCutAfterLastBackslash(wchar_t* path) {
  if (!path) return;
  wchar_t* slash = std::wcsrchr(path, L'\\');
  if (slash) slash[1] = L'\0';
}

namespace {

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }
wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; }
bool IsBlankChar(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Reads a decimal number as the runtime's wcstol does, with the range of the
// Windows long (32 bits) on every platform so both builds agree.
long long ParseLeadingInteger(const wchar_t* s, long long lo, long long hi) {
  while (IsBlankChar(*s)) ++s;
  bool negative = false;
  if (*s == L'+' || *s == L'-') negative = *s++ == L'-';
  unsigned long long value = 0;
  const unsigned long long limit = negative ? 0ULL - static_cast<unsigned long long>(lo)
                                            : static_cast<unsigned long long>(hi);
  bool saturated = false;
  for (; *s >= L'0' && *s <= L'9'; ++s) {
    unsigned digit = static_cast<unsigned>(*s - L'0');
    if (saturated || value > (limit - digit) / 10) {
      saturated = true;
      continue;
    }
    value = value * 10 + digit;
  }
  if (saturated) return negative ? lo : hi;
  return negative ? -static_cast<long long>(value) : static_cast<long long>(value);
}

// Splits a version text into its first four dot-separated parts. A part keeps
// at most 49 characters; the rest of an overlong part is dropped.
void SplitVersion(const wchar_t* text, long long parts[4]) {
  const std::size_t kPartChars = 49;
  wchar_t part[kPartChars + 1];
  std::size_t len = 0;
  int index = 0;
  for (int i = 0; i < 4; ++i) parts[i] = 0;
  for (const wchar_t* p = text;; ++p) {
    if (*p == L'.' || *p == L'\0') {
      part[len] = L'\0';
      parts[index++] = ParseLeadingInteger(part, -2147483647LL - 1, 2147483647LL);
      len = 0;
      if (*p == L'\0' || index == 4) break;
      continue;
    }
    if (len < kPartChars) part[len++] = *p;
  }
}

}  // namespace

void ExtractPath(wchar_t* text) {
  if (!text) return;
  std::wstring copy(text);
  for (wchar_t& c : copy) c = AsciiLower(c);
  if (copy.find(L".exe") == std::wstring::npos) return;
  std::size_t slash = copy.rfind(L'\\');
  if (slash != std::wstring::npos && slash >= 1) {
    copy.erase(slash + 1);
    std::wstring unquoted;
    for (wchar_t c : copy)
      if (c != L'"') unquoted += c;
    copy.swap(unquoted);
  }
  // Never longer than the caller's text, so it fits where that text was.
  std::wmemcpy(text, copy.c_str(), copy.size() + 1);
}

int CompVersion(const wchar_t* a, const wchar_t* b) {
  if (!a || !b || !*a || !*b) return -2;
  long long pa[4], pb[4];
  SplitVersion(a, pa);
  SplitVersion(b, pb);
  for (int i = 0; i < 4; ++i) {
    if (pa[i] > pb[i]) return 1;
    if (pa[i] < pb[i]) return -1;
  }
  return 0;
}

void IntToStrSize(long long bytes, wchar_t* out) {
  if (!out) return;
  const long long kKb = 1024, kMb = kKb * 1024, kGb = kMb * 1024;
  char text[kQvSizeTextChars];
  // The whole 64-bit count is printed: a size of several GB in bytes must
  // not come out as its low 32 bits.
  if (bytes < 0 || bytes <= kKb)
    std::snprintf(text, sizeof text, "%lld B", bytes);
  else if (bytes > kGb)
    std::snprintf(text, sizeof text, "%4.2f GB", static_cast<double>(bytes) / kGb);
  else if (bytes > kMb)
    std::snprintf(text, sizeof text, "%4.2f MB", static_cast<double>(bytes) / kMb);
  else
    std::snprintf(text, sizeof text, "%4.2f KB", static_cast<double>(bytes) / kKb);
  std::size_t i = 0;
  for (; text[i]; ++i) out[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
  out[i] = L'\0';
}

long long StrToIntSize(const wchar_t* text) {
  if (!text) return 0;
  std::wstring all(text);
  std::size_t blank = all.find(L' ');
  std::wstring number = blank == std::wstring::npos ? std::wstring() : all.substr(0, blank);
  long long value = ParseLeadingInteger(number.c_str(), LLONG_MIN, LLONG_MAX);
  for (wchar_t& c : all) c = AsciiUpper(c);
  auto unit_at = [&all](wchar_t letter) {
    std::size_t pos = all.find(letter);
    return pos != std::wstring::npos && pos >= 1;
  };
  int shift = unit_at(L'G') ? 30 : unit_at(L'M') ? 20 : unit_at(L'K') ? 10 : 0;
  // A number too large for its unit saturates instead of overflowing.
  const long long limit = LLONG_MAX >> shift;
  if (value > limit) return LLONG_MAX;
  if (value < -limit) return LLONG_MIN;
  return value * (1LL << shift);
}

namespace {

// UTF-16 (Windows) or UTF-32 (elsewhere) to UTF-8; a lone surrogate becomes
// U+FFFD as the platform's own conversion does.
std::string ToUtf8(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; *p; ++p) {
    unsigned long c = static_cast<unsigned long>(*p);
    if (sizeof(wchar_t) == 2) c &= 0xFFFF;
    if (c >= 0xD800 && c <= 0xDBFF) {
      unsigned long low = static_cast<unsigned long>(p[1]);
      if (sizeof(wchar_t) == 2) low &= 0xFFFF;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++p;
      } else {
        c = 0xFFFD;
      }
    } else if ((c >= 0xDC00 && c <= 0xDFFF) || c > 0x10FFFF) {
      c = 0xFFFD;
    }
    zz::AppendUtf8(out, static_cast<char32_t>(c));
  }
  return out;
}

bool IsUrlSafe(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c != '\0' && std::strchr("!%'()*-./:_~", c) != nullptr;
}

}  // namespace

int URLEncode(wchar_t* text) {
  if (!text || !*text) return 1;
  static const char kHex[] = "0123456789abcdef";
  std::string escaped;
  for (unsigned char c : ToUtf8(text)) {
    if (IsUrlSafe(c)) {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  if (escaped.size() + 1 > kQvUrlChars) return 0;
  std::size_t i = 0;
  for (; i < escaped.size(); ++i) text[i] = static_cast<wchar_t>(escaped[i]);
  text[i] = L'\0';
  return 1;
}

bool QvIsLinkReparseTag(unsigned long attributes, unsigned long reparse_tag) {
  return (attributes & kQvReparsePointAttribute) != 0 &&
         (reparse_tag == 0 || (reparse_tag & kQvNameSurrogateTagBit) != 0);
}
