#include "qv_net_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void PutUtf16(std::vector<unsigned char>& block, std::size_t offset, const std::wstring& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    block[offset + 2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
    block[offset + 2 * i + 1] = static_cast<unsigned char>((text[i] >> 8) & 0xFF);
  }
}

std::vector<unsigned char> ProxyBlock() {
  std::vector<unsigned char> block(kQvProxyFileBytes, 0);
  block[0] = 1;
  PutUtf16(block, 4, L"proxy.example");
  PutUtf16(block, 204, L"8080");
  PutUtf16(block, 228, L"用户");
  PutUtf16(block, 328, L"secret");
  return block;
}

TEST(QvNetProxyFile, ReadsEveryFieldAndBuildsTheProxyText) {
  std::vector<unsigned char> block = ProxyBlock();
  tagQvProxyConfig config = QvParseProxyConfig(block.data(), block.size());
  EXPECT_EQ(config.use_proxy, 1u);
  EXPECT_EQ(config.host, L"proxy.example");
  EXPECT_EQ(config.port, L"8080");
  EXPECT_EQ(config.user, L"用户");
  EXPECT_EQ(config.password, L"secret");
  EXPECT_EQ(QvProxyText(config), L"HTTP=HTTP://proxy.example:8080");

  // The use-proxy field is a whole little-endian 32-bit number.
  block[0] = 0;
  block[3] = 0x80;
  EXPECT_EQ(QvParseProxyConfig(block.data(), block.size()).use_proxy, 0x80000000u);
}

TEST(QvNetProxyFile, ShortLongMissingAndUnterminatedFiles) {
  std::vector<unsigned char> block = ProxyBlock();
  // Cut inside the port: the host is whole, the port keeps its first digit.
  tagQvProxyConfig cut = QvParseProxyConfig(block.data(), 206);
  EXPECT_EQ(cut.host, L"proxy.example");
  EXPECT_EQ(cut.port, L"8");
  EXPECT_TRUE(cut.user.empty());
  EXPECT_TRUE(cut.password.empty());

  // Bytes past the block are never read into a field.
  block.resize(600, 'x');
  EXPECT_EQ(QvParseProxyConfig(block.data(), block.size()).password, L"secret");

  tagQvProxyConfig none = QvParseProxyConfig(nullptr, 0);
  EXPECT_EQ(none.use_proxy, 0u);
  EXPECT_TRUE(none.host.empty());

  // A field without a NUL ends at its own end, not in the next field.
  std::vector<unsigned char> full(kQvProxyFileBytes, 0);
  PutUtf16(full, 204, L"123456789012");
  PutUtf16(full, 228, L"u");
  tagQvProxyConfig unterminated = QvParseProxyConfig(full.data(), full.size());
  EXPECT_EQ(unterminated.port, L"123456789012");
  EXPECT_EQ(unterminated.user, L"u");
}

struct Split {
  const wchar_t* url;
  const wchar_t* host;
  const wchar_t* path;
};

TEST(QvNetUrl, GetSplitsAfterTheScheme) {
  const Split cases[] = {
      {L"http://a.example/x/y?z=1", L"a.example", L"/x/y?z=1"},
      {L"http://a.example:8080/", L"a.example:8080", L"/"},
      {L"http://a.example", L"http://a.example", L"/"},
      {L"bare-host", L"bare-host", L"/"},
      {L"", L"", L"/"},
      // A "/" before the ninth character does not count.
      {L"http:///ab", L"http:///ab", L"/"},
      {L"http://x/y", L"x", L"/y"},
  };
  for (const Split& c : cases) {
    std::wstring host, path;
    QvSplitUrlForGet(c.url, &host, &path);
    EXPECT_EQ(host, c.host) << c.url;
    EXPECT_EQ(path, c.path) << c.url;
  }
}

TEST(QvNetUrl, PostSkipsTwoAfterTheFirstSlashAndAgreesOnHttpUrls) {
  const Split cases[] = {
      {L"http://a.example/form?x", L"a.example", L"/form?x"},
      {L"ftp://b.example/p", L"b.example", L"/p"},
      {L"http://a.example", L"http://a.example", L"/"},
      {L"bare-host", L"bare-host", L"/"},
      {L"a/", L"a/", L"/"},
  };
  for (const Split& c : cases) {
    std::wstring host, path;
    QvSplitUrlForPost(c.url, &host, &path);
    EXPECT_EQ(host, c.host) << c.url;
    EXPECT_EQ(path, c.path) << c.url;
  }
  for (const wchar_t* url : {L"http://h.example/a/b", L"http://h.example:81/q", L"http://h"}) {
    std::wstring get_host, get_path, post_host, post_path;
    QvSplitUrlForGet(url, &get_host, &get_path);
    QvSplitUrlForPost(url, &post_host, &post_path);
    EXPECT_EQ(get_host, post_host) << url;
    EXPECT_EQ(get_path, post_path) << url;
  }
}

TEST(QvNetHeaders, FixedLinesInOrderAndTheHostLimit) {
  std::wstring get;
  ASSERT_TRUE(QvBuildRequestHeaders(L"h.example", false, &get));
  EXPECT_EQ(get,
            L"Accept:text/html,application/xml;q=0.9,application/json,*/*;q=0.8\r\n"
            L"Accept-Encoding:gzip,deflate\r\n"
            L"Accept-Language:zh-CN,zh;q=0.5\r\n"
            L"Accept-Charset:gb2312,utf-8;q=0.7,*;q=0.7\r\n"
            L"Host:h.example\r\n"
            L"User-Agent:Mozilla/5.0 (Windows NT 6.1)\r\n");
  std::wstring post;
  ASSERT_TRUE(QvBuildRequestHeaders(L"h.example", true, &post));
  EXPECT_EQ(post, get + L"Content-Type: application/x-www-form-urlencoded\r\n");

  // The block holds 500 units with the NUL: 279 host characters for GET,
  // 230 for POST.
  std::wstring out = L"stale";
  EXPECT_TRUE(QvBuildRequestHeaders(std::wstring(279, L'h'), false, &out));
  EXPECT_EQ(out.size(), 499u);
  EXPECT_FALSE(QvBuildRequestHeaders(std::wstring(280, L'h'), false, &out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(QvBuildRequestHeaders(std::wstring(230, L'h'), true, &out));
  EXPECT_FALSE(QvBuildRequestHeaders(std::wstring(231, L'h'), true, &out));
}

TEST(QvNetBody, ReadStepEncodingAndInflateDecision) {
  EXPECT_EQ(QvReadStep(0), 0u);
  EXPECT_EQ(QvReadStep(1), 0u);
  EXPECT_EQ(QvReadStep(2), 1u);
  EXPECT_EQ(QvReadStep(50), 49u);
  EXPECT_EQ(QvReadStep(16384), 16383u);
  EXPECT_EQ(QvReadStep(16385), 16384u);
  EXPECT_EQ(QvReadStep(1 << 20), 16384u);

  EXPECT_TRUE(QvIsCompressedEncoding(L"gzip"));
  EXPECT_TRUE(QvIsCompressedEncoding(L"GZip"));
  EXPECT_TRUE(QvIsCompressedEncoding(L"DEFLATE"));
  EXPECT_FALSE(QvIsCompressedEncoding(L"br"));
  EXPECT_FALSE(QvIsCompressedEncoding(L"gzip, br"));
  EXPECT_FALSE(QvIsCompressedEncoding(L""));

  const unsigned char text[] = "plain";
  const unsigned char with_nul[] = {'a', 0, 'b'};
  EXPECT_FALSE(QvBodyNeedsInflate(false, text, 5));
  EXPECT_TRUE(QvBodyNeedsInflate(true, text, 5));
  EXPECT_TRUE(QvBodyNeedsInflate(false, with_nul, 3));
  EXPECT_FALSE(QvBodyNeedsInflate(false, with_nul, 1));
}

}  // namespace
