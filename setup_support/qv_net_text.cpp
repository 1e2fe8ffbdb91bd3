#include "qv_net_text.h"

#include <cstring>

namespace {

constexpr std::size_t kHostOffset = 4, kHostUnits = 100;
constexpr std::size_t kPortOffset = 204, kPortUnits = 12;
constexpr std::size_t kUserOffset = 228, kUserUnits = 50;
constexpr std::size_t kPasswordOffset = 328, kPasswordUnits = 50;

// Reads the field from the zero-filled block; units are taken one by one so
// no code-page conversion can lose a character.
std::wstring Utf16Field(const unsigned char* block, std::size_t offset, std::size_t units) {
  std::wstring out;
  for (std::size_t i = 0; i < units; ++i) {
    unsigned unit = block[offset + 2 * i] | (block[offset + 2 * i + 1] << 8);
    if (unit == 0) break;
    out.push_back(static_cast<wchar_t>(unit));
  }
  return out;
}

const wchar_t* const kFixedHeaders[] = {
    L"Accept:text/html,application/xml;q=0.9,application/json,*/*;q=0.8\r\n",
    L"Accept-Encoding:gzip,deflate\r\n",
    L"Accept-Language:zh-CN,zh;q=0.5\r\n",
    L"Accept-Charset:gb2312,utf-8;q=0.7,*;q=0.7\r\n",
};

}  // namespace

tagQvProxyConfig QvParseProxyConfig(const unsigned char* bytes, std::size_t length) {
  unsigned char block[kQvProxyFileBytes] = {};
  if (bytes) std::memcpy(block, bytes, length < sizeof block ? length : sizeof block);
  tagQvProxyConfig config;
  config.use_proxy = static_cast<unsigned long>(block[0]) | (static_cast<unsigned long>(block[1]) << 8) |
                     (static_cast<unsigned long>(block[2]) << 16) |
                     (static_cast<unsigned long>(block[3]) << 24);
  config.host = Utf16Field(block, kHostOffset, kHostUnits);
  config.port = Utf16Field(block, kPortOffset, kPortUnits);
  config.user = Utf16Field(block, kUserOffset, kUserUnits);
  config.password = Utf16Field(block, kPasswordOffset, kPasswordUnits);
  return config;
}

std::wstring QvProxyText(const tagQvProxyConfig& config) {
  return L"HTTP=HTTP://" + config.host + L":" + config.port;
}

void QvSplitUrlForGet(const std::wstring& url, std::wstring* host, std::wstring* path) {
  std::size_t slash = url.size() >= 8 ? url.find(L'/', 8) : std::wstring::npos;
  if (slash == std::wstring::npos) {
    *host = url;
    *path = L"/";
    return;
  }
  *host = url.substr(7, slash - 7);
  *path = url.substr(slash);
}

void QvSplitUrlForPost(const std::wstring& url, std::wstring* host, std::wstring* path) {
  std::size_t first = url.find(L'/');
  std::size_t start = first == std::wstring::npos ? std::wstring::npos : first + 2;
  std::size_t end = start == std::wstring::npos || start >= url.size()
                        ? std::wstring::npos
                        : url.find(L'/', start + 1);
  if (end == std::wstring::npos) {
    *host = url;
    *path = L"/";
    return;
  }
  *host = url.substr(start, end - start);
  *path = url.substr(end);
}

bool QvBuildRequestHeaders(const std::wstring& host, bool post, std::wstring* out) {
  std::wstring text;
  for (const wchar_t* line : kFixedHeaders) text += line;
  text += L"Host:" + host + L"\r\n";
  text += L"User-Agent:Mozilla/5.0 (Windows NT 6.1)\r\n";
  if (post) text += L"Content-Type: application/x-www-form-urlencoded\r\n";
  out->clear();
  if (text.size() + 1 > kQvHeaderChars) return false;
  *out = text;
  return true;
}

std::size_t QvReadStep(std::size_t buffer_size) {
  if (buffer_size < 2) return 0;
  return buffer_size <= 16384 ? buffer_size - 1 : 16384;
}

bool QvIsCompressedEncoding(const std::wstring& content_encoding) {
  std::wstring lower = content_encoding;
  for (wchar_t& c : lower)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return lower == L"gzip" || lower == L"deflate";
}

bool QvBodyNeedsInflate(bool compressed_encoding, const unsigned char* body, std::size_t length) {
  if (compressed_encoding) return true;
  return body && std::memchr(body, 0, length) != nullptr;
}
