#include "payload.h"
#include "payload_writer.h"
#include "utf16_field.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

PayloadHeader ShippedHeader() {
  PayloadHeader h;
  h.KeyName = u"Zuzaror";
  h.IconPath = u"Zuzaror\\Zuzaror.exe";
  h.DisplayName = u"Zuzaror 3.0.3.28";
  h.DisplayVersion = u"3.0.3.28";
  h.HelpLink = u"http://www.example.com/";
  h.Publisher = u"出品单位";
  h.UninstallerPath = u"Zuzaror\\Zodadira.exe";
  h.LaunchPath = u"Zuzaror\\Zuzaror.exe";
  h.UserDataFolder = u"UserData\\";
  h.ShortcutTarget = u"Zuzaror\\Zuzaror.exe";
  h.ShortcutComment = u"五日、统计报表";
  h.StartMenuFolder = u"Zuzaror";
  h.PayloadOffset = kPayloadOffset;
  return h;
}

std::vector<PayloadSource> Sources() {
  std::vector<std::uint8_t> noise(70000);
  std::uint32_t x = 12345;
  for (auto& b : noise) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 24);
  std::vector<std::uint8_t> text(5000, 'a');
  return {{u"Zuzaror\\Zodadira.exe", noise}, {u"Zuzaror\\1021.ini", text}, {u"top.txt", {}}};
}

std::vector<std::uint8_t> Build() {
  std::vector<std::uint8_t> out;
  std::string error;
  EXPECT_TRUE(BuildPayload(ShippedHeader(), Sources(), &out, &error)) << error;
  return out;
}

bool Reads(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr) {
  Payload p;
  std::string e;
  bool ok = ReadPayload(bytes.data(), bytes.size(), &p, &e);
  if (error) *error = e;
  return ok;
}

}  // namespace

TEST(Payload, PackedLayoutReadsBackFieldByFieldAndEntryByEntry) {
  std::vector<std::uint8_t> bytes = Build();
  // Header fields at their offsets, zero after each NUL.
  EXPECT_EQ(ReadUtf16Field(&bytes[0], 50), u"Zuzaror");
  EXPECT_EQ(bytes[14], 0);
  EXPECT_EQ(bytes[99], 0);
  EXPECT_EQ(ReadUtf16Field(&bytes[300], 30), u"3.0.3.28");
  EXPECT_EQ(ReadUtf16Field(&bytes[960], 50), u"五日、统计报表");
  EXPECT_EQ(ReadUtf16Field(&bytes[1060], 30), u"Zuzaror");
  EXPECT_EQ(ReadU32(&bytes[1120]), kPayloadOffset);
  // First entry at 1124: path, sizes, then the properties 5D 00 00 00 01.
  EXPECT_EQ(ReadUtf16Field(&bytes[1124], 200), u"Zuzaror\\Zodadira.exe");
  EXPECT_EQ(ReadU32(&bytes[1124 + 404]), 70000u);
  const std::uint8_t props[] = {0x5D, 0, 0, 0, 1};
  EXPECT_TRUE(std::equal(props, props + 5, &bytes[1124 + 408]));

  Payload p;
  std::string error;
  ASSERT_TRUE(ReadPayload(bytes.data(), bytes.size(), &p, &error)) << error;
  PayloadHeader want = ShippedHeader();
  EXPECT_EQ(p.header.KeyName, want.KeyName);
  EXPECT_EQ(p.header.Publisher, want.Publisher);
  EXPECT_EQ(p.header.UserDataFolder, want.UserDataFolder);
  EXPECT_EQ(p.header.LaunchPath, want.LaunchPath);
  auto sources = Sources();
  ASSERT_EQ(p.files.size(), sources.size());
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    EXPECT_EQ(p.files[i].header.Path, sources[i].path);
    EXPECT_EQ(p.files[i].data, sources[i].data);
    sum += p.files[i].header.PackedSize;
    EXPECT_EQ(p.files[i].packed_sum, sum);
  }
  // The last entry ends at the last byte.
  EXPECT_EQ(1124 + 3 * 408 + sum, bytes.size());
}

TEST(Payload, PackerRefusesWhatTheInstallerWouldRefuse) {
  std::vector<std::uint8_t> out;
  std::string error;
  PayloadHeader h = ShippedHeader();
  h.StartMenuFolder = std::u16string(30, u'x');  // 29 fit
  EXPECT_FALSE(BuildPayload(h, Sources(), &out, &error));
  EXPECT_NE(error.find("StartMenuFolder"), std::string::npos);
  h = ShippedHeader();
  h.LaunchPath = u"..\\evil.exe";
  EXPECT_FALSE(BuildPayload(h, Sources(), &out, &error));
  EXPECT_FALSE(BuildPayload(ShippedHeader(), {{std::u16string(200, u'a'), {1}}}, &out, &error));
  EXPECT_FALSE(BuildPayload(ShippedHeader(), {{u"a\\..\\..\\b", {1}}}, &out, &error));
  EXPECT_FALSE(BuildPayload(ShippedHeader(), {}, &out, &error));
}

TEST(Payload, EntryPathsMustStayBelowTheTarget) {
  for (const char16_t* ok : {u"Zuzaror\\ml.mdb", u"a", u"官方\\网站.url", u"con1\\comx", u"a..b",
                             u"COM\u2074", u"LPT\u00B9\u00B9"})
    EXPECT_TRUE(IsSafeRelativePath(ok)) << std::string(ok, ok + 3);
  for (const char16_t* bad : {u"..\\x", u"/..", u"a\\..\\..\\x", u"\\x", u"C:x", u"a:b", u"CON",
                              u"a\\nul.txt", u"COM1", u"lpt9.x", u"a\\\\b", u"a\\", u".\\a", u"a.",
                              u"a ", u"a*b", u"a\x01", u"a|b", u"a/b", u"", u"COM\u00B9",
                              u"com\u00B2.txt", u"a\\LPT\u00B3", u"Lpt\u00B9 .x"})
    EXPECT_FALSE(IsSafeRelativePath(bad));
  EXPECT_EQ(JoinPath(u"C:\\", u"a"), u"C:\\a");
  EXPECT_EQ(JoinPath(u"C:\\P", u"a"), u"C:\\P\\a");
  EXPECT_TRUE(IsBelowFolder(u"c:\\p\\a", u"C:\\P"));
  EXPECT_TRUE(IsBelowFolder(u"C:\\a", u"C:\\"));
  EXPECT_FALSE(IsBelowFolder(u"C:\\Px\\a", u"C:\\P"));
  EXPECT_FALSE(IsBelowFolder(u"C:\\P\\", u"C:\\P"));
}

TEST(Payload, DamagedOrHostilePayloadsAreRefusedWhole) {
  const std::vector<std::uint8_t> good = Build();
  ASSERT_TRUE(Reads(good));
  const std::size_t e1 = kPayloadHeaderSize;  // first entry header
  const std::uint32_t packed1 = ReadU32(&good[e1 + 400]);
  const std::size_t e2 = e1 + 408 + packed1;
  auto path = [](std::size_t at, std::u16string p) {
    return [at, p](std::vector<std::uint8_t>& b) { WriteUtf16Field(&b[at], 200, p); };
  };
  auto u32 = [](std::size_t at, std::uint32_t v) {
    return [at, v](std::vector<std::uint8_t>& b) { WriteU32(&b[at], v); };
  };
  const struct {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  } cases[] = {
      {"dot-dot", path(e2, u"..\\1021.ini")},
      {"slash", path(e2, u"/..")},
      {"rooted", path(e2, u"\\Windows\\x")},
      {"drive-relative", path(e2, u"C:x")},
      {"stream", path(e2, u"a:b")},
      {"device", path(e2, u"CON")},
      {"no NUL", [&](std::vector<std::uint8_t>& b) { for (int i = 0; i < 400; i += 2) b[e2 + i] = 'a', b[e2 + i + 1] = 0; }},
      {"packed 0", u32(e1 + 400, 0)},
      {"packed 4", u32(e1 + 400, 4)},
      {"packed past end", u32(e1 + 400, static_cast<std::uint32_t>(good.size()))},
      {"packed max", u32(e1 + 400, 0xFFFFFFFF)},
      {"unpacked short", u32(e1 + 404, 69999)},
      {"unpacked long", u32(e1 + 404, 70001)},
      {"unpacked huge", u32(e1 + 404, 0xFFFFFFFF)},
      {"properties", [&](std::vector<std::uint8_t>& b) { b[e1 + 408] = 0xE1; }},
      {"corrupted", [&](std::vector<std::uint8_t>& b) { b[e1 + 408 + 2000] ^= 0x55; }},
      {"truncated", [&](std::vector<std::uint8_t>& b) { b.pop_back(); }},
      {"ends inside an entry header", [&](std::vector<std::uint8_t>& b) { b.resize(e2 + 100); }},
      {"ends inside the header", [&](std::vector<std::uint8_t>& b) { b.resize(1000); }},
      {"trailing bytes", [&](std::vector<std::uint8_t>& b) { b.push_back(0); }},
      {"trailing stream", [&](std::vector<std::uint8_t>& b) {
         // The first entry's stream followed by one more byte, counted in PackedSize.
         b.insert(b.begin() + e2, 0x00);
         WriteU32(&b[e1 + 400], packed1 + 1);
       }},
      {"launch path escapes", [&](std::vector<std::uint8_t>& b) { WriteUtf16Field(&b[660], 50, u"..\\x.exe"); }},
      {"key name with a separator", [&](std::vector<std::uint8_t>& b) { WriteUtf16Field(&b[0], 50, u"a\\b"); }},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bad = good;
    c.damage(bad);
    std::string error;
    EXPECT_FALSE(Reads(bad, &error)) << c.name;
  }
}

TEST(Payload, OneBitFlipAnywhereIsRefusedByTheDigest) {
  const std::vector<std::uint8_t> payload = Build();
  std::vector<std::uint8_t> good(kPayloadTrailerSize);
  EncodePayloadTrailer(payload.data(), payload.size(), good.data());
  good.insert(good.end(), payload.begin(), payload.end());
  Payload p;
  std::string error;
  ASSERT_TRUE(ReadCheckedPayload(good.data(), good.size(), &p, &error)) << error;

  // The trailer, the header (a text, the bytes behind its NUL, the offset
  // field), and every entry's header and first, middle and last packed bytes.
  std::vector<std::size_t> at = {0, kPayloadTagSize, kPayloadTrailerSize - 1};
  for (std::size_t h : {0, 14, 99, 480, 1120}) at.push_back(kPayloadTrailerSize + h);
  for (std::size_t i = 0; i < p.files.size(); ++i) {
    const std::size_t packed = p.files[i].header.PackedSize;
    const std::size_t end = kPayloadTrailerSize + kPayloadHeaderSize + (i + 1) * 408 + p.files[i].packed_sum;
    const std::size_t entry = end - packed - 408;
    for (std::size_t e : {entry, entry + 201, entry + 400, entry + 404, end - packed, end - packed / 2,
                          end - 2, end - 1})
      at.push_back(e);
  }
  int read_without_digest = 0;
  for (std::size_t pos : at) {
    for (int bit = 0; bit < 8; ++bit) {
      std::vector<std::uint8_t> bad = good;
      bad[pos] ^= 1 << bit;
      EXPECT_FALSE(ReadCheckedPayload(bad.data(), bad.size(), &p, &error)) << pos << " bit " << bit;
      if (pos >= kPayloadTrailerSize &&
          ReadPayload(bad.data() + kPayloadTrailerSize, bad.size() - kPayloadTrailerSize, &p, &error))
        ++read_without_digest;
    }
  }
  // Without the digest, many of them would have been installed.
  EXPECT_GT(read_without_digest, 40);

  // No tag, or a file that ends inside the trailer: refused the same way.
  std::vector<std::uint8_t> untagged = good;
  std::fill(untagged.begin(), untagged.begin() + kPayloadTagSize, 0);
  EXPECT_FALSE(ReadCheckedPayload(untagged.data(), untagged.size(), &p, &error));
  EXPECT_FALSE(ReadCheckedPayload(good.data(), kPayloadTrailerSize - 1, &p, &error));
}

TEST(Payload, InstallerFileIsTheImagePaddedToTheOffsetThenThePayload) {
  // A minimal PE: one section whose raw data ends at 0x400.
  std::vector<std::uint8_t> image(0x400, 0);
  image[0] = 'M', image[1] = 'Z';
  WriteU32(&image[0x3C], 0x80);
  WriteU32(&image[0x80], 0x4550);
  image[0x86] = 1;     // one section
  image[0x94] = 0xF0;  // optional header size
  const std::size_t section = 0x80 + 24 + 0xF0;
  WriteU32(&image[section + 16], 0x200);
  WriteU32(&image[section + 20], 0x200);
  EXPECT_EQ(PeImageEnd(image.data(), image.size()), 0x400u);

  std::vector<std::uint8_t> payload = Build(), out;
  std::string error;
  ASSERT_TRUE(AttachPayload(image, payload, &out, &error)) << error;
  EXPECT_EQ(out.size(), kPayloadOffset + payload.size());
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), out.begin() + kPayloadOffset));
  Payload back;
  EXPECT_TRUE(ReadCheckedPayload(&out[kPayloadTrailerOffset], out.size() - kPayloadTrailerOffset, &back, &error))
      << error;

  image.push_back(0);  // debug data or anything behind the sections
  EXPECT_FALSE(AttachPayload(image, payload, &out, &error));
  image.pop_back();
  // An image reaching one byte into the trailer, and one up to the payload.
  for (std::uint32_t end : {kPayloadTrailerOffset + 1, kPayloadOffset}) {
    WriteU32(&image[section + 16], end - 0x200);
    image.resize(end);
    EXPECT_FALSE(AttachPayload(image, payload, &out, &error)) << end;
  }
}
