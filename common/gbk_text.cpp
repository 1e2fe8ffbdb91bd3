#include "gbk_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <iconv.h>
#endif

namespace zz {
namespace {

constexpr unsigned kGbkCodePage = 936;

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// One strict conversion through the platform; false when any byte sequence
// is invalid, so that the caller can fall back to character-wise conversion.
#ifdef _WIN32
bool StrictGbkToUtf16(std::string_view in, std::u16string& out) {
  if (in.empty()) return true;
  int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, in.data(),
                              static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  std::u16string buf(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                      reinterpret_cast<wchar_t*>(buf.data()), n);
  out += buf;
  return true;
}

bool StrictUtf16ToGbk(std::u16string_view in, std::string& out) {
  if (in.empty()) return true;
  BOOL lossy = FALSE;
  const wchar_t* src = reinterpret_cast<const wchar_t*>(in.data());
  int n = WideCharToMultiByte(kGbkCodePage, 0, src, static_cast<int>(in.size()), nullptr, 0,
                              nullptr, &lossy);
  if (n <= 0 || lossy) return false;
  std::string buf(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, src, static_cast<int>(in.size()), buf.data(), n, nullptr,
                      nullptr);
  out += buf;
  return true;
}
#else
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool Convert(const char* data, std::size_t size, std::string& out) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(data);
    std::size_t left = size;
    std::string buf(size * 4 + 8, '\0');
    char* dst = buf.data();
    std::size_t room = buf.size();
    if (iconv(cd_, &in, &left, &dst, &room) == static_cast<std::size_t>(-1)) return false;
    out.append(buf.data(), buf.size() - room);
    return true;
  }

 private:
  iconv_t cd_;
};

bool StrictGbkToUtf16(std::string_view in, std::u16string& out) {
  if (in.empty()) return true;
  // iconv_open is costly: keep one converter per direction and thread.
  thread_local Iconv cv("UTF-16LE", "CP936");
  std::string bytes;
  if (!cv.Convert(in.data(), in.size(), bytes)) return false;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  return true;
}

bool StrictUtf16ToGbk(std::u16string_view in, std::string& out) {
  if (in.empty()) return true;
  thread_local Iconv cv("CP936", "UTF-16LE");
  std::string bytes;
  bytes.reserve(in.size() * 2);
  for (char16_t c : in) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return cv.Convert(bytes.data(), bytes.size(), out);
}
#endif

// Splits UTF-16 into code points; a lone surrogate stands for itself.
std::size_t Utf16UnitLength(std::u16string_view s, std::size_t i) {
  char16_t c = s[i];
  if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
    return 2;
  return 1;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0;
    std::size_t len = 0;
    if (c < 0x80) { cp = c; len = 1; }
    else if (c >= 0xC2 && c <= 0xDF) { cp = c & 0x1F; len = 2; }
    else if (c >= 0xE0 && c <= 0xEF) { cp = c & 0x0F; len = 3; }
    else if (c >= 0xF0 && c <= 0xF4) { cp = c & 0x07; len = 4; }
    bool ok = len > 0 && i + len <= s.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (ok && ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
               (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
      ok = false;
    if (!ok) {
      out += u'?';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = u'?';
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace

#ifdef _WIN32
std::wstring GbkToWide(std::string_view gbk) {
  std::u16string w = GbkToUtf16(gbk);
  return std::wstring(w.begin(), w.end());
}

std::string WideToGbk(std::wstring_view text) {
  return Utf16ToGbk(std::u16string(text.begin(), text.end()));
}
#endif

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool GbkSameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (GbkCharLength(a, i) == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
      IsTrailByte(static_cast<unsigned char>(text[pos + 1])))
    return 2;
  return 1;
}

std::u16string GbkToUtf16(std::string_view gbk) {
  std::u16string out;
  out.reserve(gbk.size());
  if (StrictGbkToUtf16(gbk, out)) return out;
  // Some sequence is not GBK: convert character by character, so that one
  // bad byte costs one '?' and nothing else.
  out.clear();
  for (std::size_t i = 0; i < gbk.size();) {
    std::size_t len = GbkCharLength(gbk, i);
    if (!StrictGbkToUtf16(gbk.substr(i, len), out)) out += u'?';
    i += len;
  }
  return out;
}

std::string Utf16ToGbk(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  if (StrictUtf16ToGbk(text, out)) return out;
  out.clear();
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = Utf16UnitLength(text, i);
    if (!StrictUtf16ToGbk(text.substr(i, len), out)) out += '?';
    i += len;
  }
  return out;
}

bool FitsGbk(std::u16string_view text) {
  // Back and forth: a character that comes back as another (a '?', or a
  // look-alike the platform chose) does not fit.
  std::string gbk;
  if (!StrictUtf16ToGbk(text, gbk)) return false;
  std::u16string back;
  return StrictGbkToUtf16(gbk, back) && back == text;
}

std::string GbkToUtf8(std::string_view gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }
std::string Utf8ToGbk(std::string_view utf8) { return Utf16ToGbk(Utf8ToUtf16(utf8)); }

std::size_t GbkFind(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  // Walk character boundaries from the start: a boundary is only known by
  // reading every character before it.
  for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) {
    if (i < from) continue;
    if (text.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string_view::npos;
}

std::string GbkReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      std::size_t len = GbkCharLength(text, i);
      out.append(text.substr(i, len));
      i += len;
    }
  }
  return out;
}

bool GbkEndsWith(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  if (suffix.empty()) return true;
  std::size_t start = text.size() - suffix.size();
  for (std::size_t i = 0; i < text.size(); i += GbkCharLength(text, i)) {
    if (i == start) return text.substr(start) == suffix;
    if (i > start) return false;
  }
  return false;
}

}  // namespace zz
