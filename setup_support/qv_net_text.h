// The parts of the HTTP client that are plain text work: splitting a URL,
// the request header text, the proxy file and the body checks. They need no
// network, so they are built and tested on every platform.
#pragma once

#include <cstddef>
#include <string>

// The proxy file "proxy.dat" as read: 428 bytes, little-endian, texts in
// UTF-16 each ending at its first NUL or at the end of its field.
constexpr std::size_t kQvProxyFileBytes = 428;

struct tagQvProxyConfig {
  unsigned long use_proxy = 0;
  std::wstring host;
  std::wstring port;
  std::wstring user;
  std::wstring password;
};

// A shorter block fills the leading fields and leaves the rest empty; bytes
// past the 428th are not looked at.
tagQvProxyConfig QvParseProxyConfig(const unsigned char* bytes, std::size_t length);

// "HTTP=HTTP://host:port", the proxy text handed to the internet handle.
std::wstring QvProxyText(const tagQvProxyConfig& config);

// Host and path of a URL expected to start with "http://". GET and the
// connection probe cut after the scheme; POST looks for the first "/" and
// skips two characters. A port written in the URL stays in the host.
void QvSplitUrlForGet(const std::wstring& url, std::wstring* host, std::wstring* path);
void QvSplitUrlForPost(const std::wstring& url, std::wstring* host, std::wstring* path);

// The header text is handed over in a block of this many units, NUL included.
constexpr std::size_t kQvHeaderChars = 500;

// The fixed request headers plus "Host:", each ended by CR LF. False (and
// *out empty) when the host is too long for the block: the request is then
// refused rather than sent with a cut header.
bool QvBuildRequestHeaders(const std::wstring& host, bool post, std::wstring* out);

// Bytes asked for by one read; 0 when the buffer cannot hold even one byte
// and the closing NUL.
std::size_t QvReadStep(std::size_t buffer_size);

// True for "gzip" or "deflate" in any case.
bool QvIsCompressedEncoding(const std::wstring& content_encoding);

// A body is inflated when the server named a compression or when it holds a
// NUL byte before its end (compressed data nearly always does).
bool QvBodyNeedsInflate(bool compressed_encoding, const unsigned char* body, std::size_t length);
