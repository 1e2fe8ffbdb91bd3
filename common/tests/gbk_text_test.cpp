#include "gbk_text.h"

#include <gtest/gtest.h>

namespace {

// Narrow literals of this project are GBK; u8"" gives the UTF-8 form.
struct Sample {
  const char* gbk;
  const char* utf8;
  std::u16string utf16;
};

const Sample kSamples[] = {
    {"", u8"", u""},
    {"abc 123", u8"abc 123", u"abc 123"},
    {"年月日", u8"年月日", u"年月日"},
    // Trail bytes that are ASCII punctuation: ']' (乚), '\\' (診), '[' (嘯).
    {"乚", u8"乚", u"乚"},
    {"診", u8"診", u"診"},
    {"嘯", u8"嘯", u"嘯"},
    {"[挂号]", u8"[挂号]", u"[挂号]"},
    {"C:\\程序\\診所\\ml.mdb", u8"C:\\程序\\診所\\ml.mdb", u"C:\\程序\\診所\\ml.mdb"},
    {"医疗加药品总计收入", u8"医疗加药品总计收入", u"医疗加药品总计收入"},
};

TEST(GbkText, RoundTripsThroughUtf16AndUtf8) {
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.utf8);
    EXPECT_EQ(zz::GbkToUtf16(s.gbk), s.utf16);
    EXPECT_EQ(zz::Utf16ToGbk(s.utf16), s.gbk);
    EXPECT_EQ(zz::GbkToUtf8(s.gbk), s.utf8);
    EXPECT_EQ(zz::Utf8ToGbk(s.utf8), s.gbk);
  }
}

TEST(GbkText, TextOutsideGbkIsToldApart) {
  EXPECT_TRUE(zz::FitsGbk(u""));
  EXPECT_TRUE(zz::FitsGbk(u"某口卫生院 admin?"));
  // CJK Extension A, Hangul, an emoji (a surrogate pair), a lone surrogate.
  const std::u16string outside[] = {u"\u3400口卫生院", u"한", u"\U0001F600", std::u16string(1, u'\xD800')};
  for (const std::u16string& text : outside)
    EXPECT_FALSE(zz::FitsGbk(text));
}

TEST(GbkText, HostileTrailBytesAreWhatTheyLookLike) {
  EXPECT_EQ(std::string("乚"), "\x81\x5D");
  EXPECT_EQ(std::string("診"), "\xD4\x5C");
  EXPECT_EQ(std::string("嘯"), "\x87\x5B");
}

TEST(GbkText, InvalidBytesBecomeQuestionMarks) {
  // A lone lead byte at the end, and 0xFF which is never GBK.
  EXPECT_EQ(zz::GbkToUtf16("a\xFF" "b"), u"a?b");
  EXPECT_EQ(zz::GbkToUtf16("年\xB0"), u"年?");
  // Characters GBK cannot hold.
  EXPECT_EQ(zz::Utf16ToGbk(u"x\u0E01y"), "x?y");
  EXPECT_EQ(zz::Utf8ToGbk("\xC3"), "?");
  // Kept out of the macro: its stringised argument would have to be GBK too.
  const char* emoji = u8"😀";
  EXPECT_EQ(zz::Utf8ToGbk(emoji), "?");
}

TEST(GbkText, SearchIsCharacterWise) {
  // "乚]": a byte-wise search for "]" would stop inside 乚.
  std::string text = std::string("乚") + "]";
  EXPECT_EQ(zz::GbkFind(text, "]"), 2u);
  EXPECT_EQ(zz::GbkFind("診\\", "\\"), 2u);
  EXPECT_EQ(zz::GbkFind("abc", "d"), std::string::npos);
  EXPECT_EQ(zz::GbkFind("abab", "ab", 1), 2u);

  EXPECT_EQ(zz::GbkReplaceAll("[乚][診]", "]", "`"), "[乚`[診`");
  EXPECT_EQ(zz::GbkReplaceAll("嘯[嘯", "[", ","), "嘯,嘯");

  EXPECT_TRUE(zz::GbkEndsWith("備份\\", "\\"));
  EXPECT_FALSE(zz::GbkEndsWith("診", "\\"));
  EXPECT_TRUE(zz::GbkEndsWith("ml.mdb", ".mdb"));
  EXPECT_FALSE(zz::GbkEndsWith("a", "ab"));

  // Names: ASCII letters without case, GBK characters exactly, even when a
  // trail byte is a letter (81 41 and 81 61 are two characters).
  EXPECT_TRUE(zz::GbkSameName("DefaultMode", "defaultMODE"));
  EXPECT_TRUE(zz::GbkSameName("B超", "b超"));
  EXPECT_FALSE(zz::GbkSameName("\x81\x41", "\x81\x61"));
  EXPECT_FALSE(zz::GbkSameName("ab", "abc"));
}

}  // namespace
