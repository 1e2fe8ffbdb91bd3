#include "template_file.h"

#include <gtest/gtest.h>

#include "file_access.h"
#include <string>

namespace grid {
namespace {

GridData Sample() {
  GridData g(5, 4);
  g.SetColumnWidths(1, 1, 120);
  g.SetColumnWidths(4, 1, 0);
  g.SetRowHeight(2, 95);
  g.JoinCells(1, 1, 1, 4);
  g.JoinCells(3, 2, 2, 2);
  g.SetCellText(1, 1, "某某乡卫生系统收入日报表");
  g.SetFormat(1, 1, CellFormat{false, true, Align::Centre, true});
  g.SetCellText(2, 1, "单位：");
  g.SetFormat(2, 1, CellFormat{false, false, Align::Right});
  g.SetFormat(2, 2, CellFormat{true, false, Align::Left});  // framed, no text
  g.SetCellText(3, 2, "医疗收入\n合计");
  g.SetCellText(4, 1, "a|b,c\\d");
  // 乚 ends in 0x5D and 縗 in 0x5C: their trail bytes are no escapes.
  g.SetCellText(5, 4, "乚縗\\n");
  g.KeepTogether(3, 2);
  g.KeepTogether(1, 1);
  return g;
}

void ExpectSame(const GridData& a, const GridData& b) {
  ASSERT_EQ(a.RowCount(), b.RowCount());
  ASSERT_EQ(a.ColumnCount(), b.ColumnCount());
  EXPECT_EQ(a.joins().size(), b.joins().size());
  for (const CellRange& j : a.joins()) EXPECT_EQ(b.RangeAt(j.row, j.column), j);
  EXPECT_EQ(a.kept(), b.kept());
  for (int c = 1; c <= a.ColumnCount(); ++c) EXPECT_EQ(a.ColumnWidth(c), b.ColumnWidth(c)) << c;
  for (int r = 1; r <= a.RowCount(); ++r) {
    EXPECT_EQ(a.RowHeight(r), b.RowHeight(r)) << r;
    for (int c = 1; c <= a.ColumnCount(); ++c) {
      EXPECT_EQ(a.CellText(r, c), b.CellText(r, c)) << r << "," << c;
      EXPECT_EQ(a.Format(r, c), b.Format(r, c)) << r << "," << c;
    }
  }
}

TEST(TemplateFile, WhatIsWrittenLoadsBackTheSame) {
  GridData g = Sample();
  std::string bytes = WriteTemplate(g);
  GridData back;
  ASSERT_TRUE(ParseTemplate(bytes, &back));
  ExpectSame(g, back);
  EXPECT_EQ(WriteTemplate(back), bytes);
}

TEST(TemplateFile, ReadsAHandWrittenFileWithBareLineFeeds) {
  const std::string text =
      "ZZGRID 1\nsize 2 3\ncell 2,3,fbrt|合计：\njoin 1 1 1 3\nwidths 100 200 300\ncell 1,1,|题\nend\n";
  GridData g;
  ASSERT_TRUE(ParseTemplate(text, &g));
  EXPECT_EQ(g.CellText(2, 3), "合计：");
  EXPECT_EQ(g.Format(2, 3), (CellFormat{true, true, Align::Right, true}));
  EXPECT_EQ(g.ColumnWidth(3), 300);
  EXPECT_EQ(g.RowHeight(2), GridData::kDefaultRowHeight);
  EXPECT_TRUE(g.Covered(1, 3));
}

TEST(TemplateFile, RefusesDamagedFilesAndKeepsWhatWasLoaded) {
  const std::string good = WriteTemplate(Sample());
  GridData loaded(1, 1);
  loaded.SetCellText(1, 1, "旧");
  auto refused = [&](const std::string& bytes) {
    bool ok = ParseTemplate(bytes, &loaded);
    EXPECT_EQ(loaded.RowCount(), 1);
    EXPECT_EQ(loaded.CellText(1, 1), "旧");
    return !ok;
  };
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
  };
  EXPECT_TRUE(refused(""));
  EXPECT_TRUE(refused("ZZGRID 1\r\n"));
  EXPECT_TRUE(refused(good.substr(0, good.size() - 5)));            // cut before "end"
  EXPECT_TRUE(refused(good.substr(0, good.size() / 2)));             // cut in the middle
  EXPECT_TRUE(refused(replaced("ZZGRID 1", "ZZGRID 2")));
  EXPECT_TRUE(refused(replaced("size 5 4", "size 0 4")));
  EXPECT_TRUE(refused(replaced("size 5 4", "size 5 -4")));
  EXPECT_TRUE(refused(replaced("size 5 4", "size 999999999 4")));
  EXPECT_TRUE(refused(replaced("widths 120 200 200 0", "widths 120 200 200")));
  EXPECT_TRUE(refused(replaced("widths 120 200 200 0", "widths 120 200 2x0 0")));
  EXPECT_TRUE(refused(replaced("heights 60 95", "heights 60 -95")));
  EXPECT_TRUE(refused(replaced("join 3 2 2 2", "join 3 2 4 2")));    // past the last row
  EXPECT_TRUE(refused(replaced("join 3 2 2 2", "join 1 2 2 2")));    // over another join
  EXPECT_TRUE(refused(replaced("join 3 2 2 2", "join 3 2 0 2")));
  EXPECT_TRUE(refused(replaced("keep 3 2", "keep 3 4")));            // past the last row
  EXPECT_TRUE(refused(replaced("keep 3 2", "keep 1 3")));            // over another run
  EXPECT_TRUE(refused(replaced("keep 3 2", "keep 3 0")));
  EXPECT_TRUE(refused(replaced("keep 3 2", "keep 3")));
  EXPECT_TRUE(refused(replaced("cell 2,1,r|", "cell 6,1,r|")));
  EXPECT_TRUE(refused(replaced("cell 2,1,r|", "cell 2,1,rc|")));     // two alignments
  EXPECT_TRUE(refused(replaced("cell 2,1,r|", "cell 2,1,x|")));
  EXPECT_TRUE(refused(replaced("cell 2,1,r|", "cell 2,1,r ")));
  EXPECT_TRUE(refused(replaced("cell 2,1,r|", "cell 2;1,r|")));
  EXPECT_TRUE(refused(replaced("a|b,c\\\\d", "a|b,c\\d")));           // unknown escape
  EXPECT_TRUE(refused(replaced("end\r\n", "end\r\nend\r\n")));
  EXPECT_TRUE(refused(replaced("end\r\n", "rows 3\r\nend\r\n")));
}

TEST(TemplateFile, FilesOnGbkPaths) {
  std::string path = ::testing::TempDir() + "模板测试.grd";
  ASSERT_TRUE(SaveTemplateFile(path, Sample()));
  GridData g;
  ASSERT_TRUE(LoadTemplateFile(path, &g));
  ExpectSame(Sample(), g);
  ASSERT_TRUE(rt::DeleteFileAt(path));
  EXPECT_FALSE(LoadTemplateFile(path, &g));
  EXPECT_EQ(g.RowCount(), 5);
}

}  // namespace
}  // namespace grid
