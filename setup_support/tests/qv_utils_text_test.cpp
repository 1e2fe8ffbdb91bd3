#include "qv_utils_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(QvOsName, FollowsTheVersionTable) {
  struct Row {
    int platform;
    unsigned major, minor;
    const wchar_t* name;
  } rows[] = {
      {kQvPlatformNt, 5, 0, L"Win2000"}, {kQvPlatformNt, 5, 1, L"XP"},
      {kQvPlatformNt, 5, 2, L"XP"},      {kQvPlatformNt, 6, 0, L"Vista"},
      {kQvPlatformNt, 6, 1, L"Win7"},    {kQvPlatformNt, 6, 2, L"Win8"},
      {kQvPlatformNt, 6, 3, L"Win8"},    {kQvPlatformNt, 10, 0, L"XP"},
      {kQvPlatformNt, 10, 2, L"Win8"},   {kQvPlatformNt, 4, 0, L"XP"},
      {kQvPlatformWin9x, 4, 10, L"9x"},  {kQvPlatformWin9x, 4, 90, L"Me"},
      {kQvPlatformWin9x, 5, 0, L"XP"},   {0, 6, 1, L"XP"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(std::wstring(r.name), QvOsNameFor(r.platform, r.major, r.minor))
        << r.platform << " " << r.major << "." << r.minor;
}

TEST(QvOsName, Win7AndWin8Checks) {
  EXPECT_EQ(1, QvIsWin7For(kQvPlatformNt, 6));  // Vista counts
  EXPECT_EQ(1, QvIsWin7For(kQvPlatformNt, 10));
  EXPECT_EQ(0, QvIsWin7For(kQvPlatformNt, 5));
  EXPECT_EQ(0, QvIsWin7For(kQvPlatformWin9x, 6));
  EXPECT_EQ(1, QvIsWin8For(kQvPlatformNt, 6, 2));
  EXPECT_EQ(0, QvIsWin8For(kQvPlatformNt, 6, 1));
  EXPECT_EQ(0, QvIsWin8For(kQvPlatformNt, 10, 0));
  EXPECT_EQ(0, QvIsWin8For(kQvPlatformWin9x, 6, 2));
}

TEST(QvPaths, CutAfterLastBackslash) {
  wchar_t a[] = L"C:\\Prog\\setup.exe";
  QvCutAfterLastBackslash(a);
  EXPECT_EQ(std::wstring(L"C:\\Prog\\"), a);
  wchar_t b[] = L"setup.exe";
  QvCutAfterLastBackslash(b);
  EXPECT_EQ(std::wstring(L"setup.exe"), b);
}

TEST(QvPaths, ExtractPath) {
  struct Row {
    const wchar_t* in;
    const wchar_t* out;
  } rows[] = {
      {L"\"C:\\Program Files\\App\\Run.EXE\" -x", L"c:\\program files\\app\\"},
      {L"C:\\Data\\Notes.TXT", L"C:\\Data\\Notes.TXT"},  // no .exe: untouched
      {L"run.exe", L"run.exe"},
      {L"\\run.EXE", L"\\run.exe"},  // backslash at position 0: lowered only
      {L"C:\\A\\b.exe /d:C:\\Temp", L"c:\\a\\b.exe /d:c:\\"},  // parameters with a backslash
      {L"", L""},
  };
  for (const Row& r : rows) {
    std::wstring buf(r.in);
    buf.resize(buf.size() + 1);
    ExtractPath(&buf[0]);
    EXPECT_EQ(std::wstring(r.out), buf.c_str()) << std::string(buf.begin(), buf.end());
  }
}

TEST(QvVersion, Compare) {
  struct Row {
    const wchar_t* a;
    const wchar_t* b;
    int result;
  } rows[] = {
      {L"1.2", L"1.2.0.0", 0},
      {L"1.10", L"1.9", 1},
      {L"1.9", L"1.10", -1},
      {L"2.0.0.1.7", L"2.0.0.1", 0},
      {L"2.0.0.1.7", L"2.0.0.1.9", 0},
      {L"", L"1", -2},
      {L"1", L"", -2},
      {L"1.0a", L"1.0", 0},
      {L"1..3", L"1.0.3", 0},
      {L" 4.-1", L"4.0", -1},
      {L"3.0.0.2", L"3.0.0.10", -1},
      {L"99999999999.0", L"2147483647", 0},  // saturates as the Windows long
      // A part of more than 49 characters keeps its first 49.
      {L"1000000000000000000000000000000000000000000000001", L"1", 1},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.result, CompVersion(r.a, r.b)) << std::string(r.a, r.a + std::wcslen(r.a));
  EXPECT_EQ(-2, CompVersion(nullptr, L"1"));
  std::wstring long_part(200, L'0');
  long_part += L"7";
  EXPECT_EQ(0, CompVersion(long_part.c_str(), L"0"));  // the 7 is past the cut
}

TEST(QvSize, IntToStrSize) {
  struct Row {
    long long n;
    const wchar_t* text;
  } rows[] = {
      {0, L"0 B"},
      {-5, L"-5 B"},
      {1024, L"1024 B"},
      {1025, L"1.00 KB"},
      {1536, L"1.50 KB"},
      {1048576, L"1024.00 KB"},
      {1048577, L"1.00 MB"},
      {1073741824, L"1024.00 MB"},
      {5368709120LL, L"5.00 GB"},
      {LLONG_MIN, L"-9223372036854775808 B"},
      {LLONG_MAX, L"8589934592.00 GB"},
  };
  for (const Row& r : rows) {
    wchar_t out[kQvSizeTextChars];
    IntToStrSize(r.n, out);
    EXPECT_EQ(std::wstring(r.text), out) << r.n;
  }
}

TEST(QvSize, StrToIntSize) {
  struct Row {
    const wchar_t* text;
    long long n;
  } rows[] = {
      {L"512 B", 512},
      {L"3 KB", 3072},
      {L"3 kb", 3072},
      {L"10 MB", 10485760},
      {L"1.50 GB", 1073741824},
      {L"2048", 0},
      {L"KB", 0},
      {L"", 0},
      {L"-2 KB", -2048},
      {L"G 5", 0},  // a unit letter at the start does not count
      {L"9223372036854775807 KB", LLONG_MAX},
      {L"-9223372036854775807 GB", LLONG_MIN},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.n, StrToIntSize(r.text)) << std::string(r.text, r.text + std::wcslen(r.text));
  EXPECT_EQ(0, StrToIntSize(nullptr));
}

TEST(QvUrl, Escapes) {
  struct Row {
    const wchar_t* in;
    const wchar_t* out;
  } rows[] = {
      {L"a b&c", L"a%20b%26c"},
      {L"x=1", L"x%3d1"},
      {L"\u4E2D", L"%e4%b8%ad"},
      {L"AZaz09!%'()*-./:_~", L"AZaz09!%'()*-./:_~"},
      {L"\"#+,;<>?@[]^`{|}\t", L"%22%23%2b%2c%3b%3c%3e%3f%40%5b%5d%5e%60%7b%7c%7d%09"},
      {L"\U0001F600", L"%f0%9f%98%80"},
      {L"", L""},
  };
  for (const Row& r : rows) {
    wchar_t buf[kQvUrlChars] = {};
    std::wcscpy(buf, r.in);
    EXPECT_EQ(1, URLEncode(buf));
    EXPECT_EQ(std::wstring(r.out), buf);
  }
}

TEST(QvUrl, TooLongLeavesTextUnchanged) {
  // 341 blanks escape to 1023 characters: fits with the NUL; 342 do not.
  wchar_t buf[kQvUrlChars] = {};
  std::wstring fits(341, L' ');
  std::wcscpy(buf, fits.c_str());
  EXPECT_EQ(1, URLEncode(buf));
  EXPECT_EQ(1023u, std::wcslen(buf));
  std::wstring too_long(342, L' ');
  std::wcscpy(buf, too_long.c_str());
  EXPECT_EQ(0, URLEncode(buf));
  EXPECT_EQ(too_long, buf);
}

TEST(QvUrl, LoneSurrogateBecomesReplacementCharacter) {
  if (sizeof(wchar_t) != 2) GTEST_SKIP() << "UTF-16 only";
  wchar_t buf[kQvUrlChars] = {static_cast<wchar_t>(0xD800), L'a', 0};
  EXPECT_EQ(1, URLEncode(buf));
  EXPECT_EQ(std::wstring(L"%ef%bf%bda"), buf);
}

// Only what leads elsewhere is a link: a cloud placeholder or a
// deduplicated file must not refuse an installation for good.
TEST(QvLink, OnlyNameSurrogates) {
  const unsigned long reparse = kQvReparsePointAttribute | 0x10;  // a folder
  EXPECT_TRUE(QvIsLinkReparseTag(reparse, kQvMountPointTag));
  EXPECT_TRUE(QvIsLinkReparseTag(reparse, kQvSymbolicLinkTag));
  EXPECT_TRUE(QvIsLinkReparseTag(reparse, 0xA000001D));  // a Linux subsystem link
  EXPECT_TRUE(QvIsLinkReparseTag(reparse, 0xA0000019));  // a global link
  EXPECT_TRUE(QvIsLinkReparseTag(reparse, 0));  // a tag not reported
  EXPECT_FALSE(QvIsLinkReparseTag(reparse, 0x9000701A));  // cloud files
  EXPECT_FALSE(QvIsLinkReparseTag(reparse, 0x80000013));  // deduplication
  EXPECT_FALSE(QvIsLinkReparseTag(0x10, kQvSymbolicLinkTag));  // no reparse point at all
}

}  // namespace
