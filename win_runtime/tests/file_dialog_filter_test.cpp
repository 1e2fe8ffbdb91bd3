#include "file_dialog_filter.h"

#include <gtest/gtest.h>

#include "gbk_text.h"

namespace {

std::u16string U(const char* gbk) { return zz::GbkToUtf16(gbk); }

TEST(DialogFilter, PairsBecomeNulSeparatedWithADoubleNulAtTheEnd) {
  EXPECT_EQ(rt::DialogFilter("备份文件|*.ml"), U("备份文件") + u'\0' + u"*.ml" + u'\0' + u'\0');
  EXPECT_EQ(rt::DialogFilter("备份|*.ml|全部|*.*"),
            U("备份") + u'\0' + u"*.ml" + u'\0' + U("全部") + u'\0' + u"*.*" + u'\0' + u'\0');
}

TEST(DialogFilter, SplitsOnCharactersNotOnGbkTrailBytes) {
  // 亅 is 81 7C in GBK: its trail byte is '|'.
  ASSERT_EQ(std::string("亅"), std::string("\x81\x7C"));
  EXPECT_EQ(rt::DialogFilter("亅文件|*.ml"), U("亅文件") + u'\0' + u"*.ml" + u'\0' + u'\0');
}

TEST(DialogFilter, IncompleteOrEmptyFilters) {
  EXPECT_EQ(rt::DialogFilter(""), u"");
  EXPECT_EQ(rt::DialogFilter("只有描述"), u"");
  // A trailing description without its pattern is dropped.
  EXPECT_EQ(rt::DialogFilter("备份|*.ml|孤"), U("备份") + u'\0' + u"*.ml" + u'\0' + u'\0');
  // An empty pattern is still a pair.
  EXPECT_EQ(rt::DialogFilter("a|"), std::u16string(u"a") + u'\0' + u'\0' + u'\0');
}

}  // namespace
