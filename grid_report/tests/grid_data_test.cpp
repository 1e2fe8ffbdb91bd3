#include "grid_data.h"

#include <gtest/gtest.h>

namespace grid {
namespace {

TEST(GridData, CellsOutsideTheGridReadEmptyAndIgnoreWrites) {
  GridData g(3, 4);
  g.SetCellText(0, 1, "x");
  g.SetCellText(4, 1, "x");
  g.SetCellText(1, 5, "x");
  g.SetCellText(3, 4, "末");
  EXPECT_EQ(g.CellText(3, 4), "末");
  EXPECT_EQ(g.CellText(0, 1), "");
  EXPECT_EQ(g.CellText(4, 1), "");
  EXPECT_EQ(g.CellText(-1, -1), "");
}

TEST(GridData, ResizeKeepsWhatStillFitsAndUndoesJoinsReachingOut) {
  GridData g(4, 4);
  g.SetCellText(2, 2, "留");
  g.SetCellText(4, 4, "去");
  g.JoinCells(1, 1, 1, 2);
  g.JoinCells(3, 3, 2, 2);
  g.SetColumnWidths(2, 1, 333);
  g.Resize(3, 3);
  EXPECT_EQ(g.CellText(2, 2), "留");
  EXPECT_EQ(g.ColumnWidth(2), 333);
  ASSERT_EQ(g.joins().size(), 1u);
  EXPECT_EQ(g.joins()[0], (CellRange{1, 1, 1, 2}));
  g.Resize(4, 4);
  EXPECT_EQ(g.CellText(4, 4), "");
}

TEST(GridData, JoinsReplaceTheJoinsTheyOverlapAndAreCutToTheGrid) {
  GridData g(10, 10);
  g.JoinCells(2, 2, 2, 3);
  EXPECT_EQ(g.RangeAt(3, 4), (CellRange{2, 2, 2, 3}));
  EXPECT_TRUE(g.Covered(3, 4));
  EXPECT_FALSE(g.Covered(2, 2));

  // The program joins the total row's first two cells over a template that
  // may already have them joined: the same join again is one join.
  g.JoinCells(2, 2, 2, 3);
  EXPECT_EQ(g.joins().size(), 1u);

  g.JoinCells(3, 4, 1, 4);
  ASSERT_EQ(g.joins().size(), 1u);
  EXPECT_EQ(g.joins()[0], (CellRange{3, 4, 1, 4}));
  EXPECT_FALSE(g.Covered(3, 2));

  g.JoinCells(9, 9, 5, 5);
  EXPECT_EQ(g.RangeAt(10, 10), (CellRange{9, 9, 2, 2}));
  g.JoinCells(11, 1, 2, 2);  // wholly outside
  g.JoinCells(5, 5, 1, 1);   // one cell is no join
  EXPECT_EQ(g.joins().size(), 2u);
}

TEST(GridData, KeptRunsAreCutToTheGridNeverOverlapAndGoWithTheirRows) {
  GridData g(10, 2);
  EXPECT_TRUE(g.KeepTogether(5, 3));
  EXPECT_TRUE(g.KeepTogether(1, 2));
  EXPECT_FALSE(g.KeepTogether(7, 2));   // its first row is kept already
  EXPECT_FALSE(g.KeepTogether(2, 2));   // its last row is
  EXPECT_FALSE(g.KeepTogether(11, 1));  // outside
  EXPECT_TRUE(g.KeepTogether(9, 5));    // cut to rows 9 and 10
  EXPECT_EQ(g.kept(), (std::vector<RowRun>{{1, 2}, {5, 3}, {9, 2}}));
  g.Resize(6, 2);
  EXPECT_EQ(g.kept(), (std::vector<RowRun>{{1, 2}}));
}

TEST(GridData, AppendedRowsTakeTheAppendFormatOfTheirTime) {
  GridData g(4, 3);
  g.AppendRows();
  g.SetAppendFormat(true);
  g.AppendRows(2);
  g.SetAppendFormat(false);
  g.AppendRows(0);
  g.AppendRows(-3);
  ASSERT_EQ(g.RowCount(), 7);
  EXPECT_EQ(g.Format(5, 1), CellFormat());
  EXPECT_EQ(g.Format(6, 3), (CellFormat{true, false, Align::Centre}));
  EXPECT_EQ(g.Format(7, 1), (CellFormat{true, false, Align::Centre}));
  EXPECT_EQ(g.RowHeight(7), GridData::kDefaultRowHeight);
  g.SetCellText(7, 3, "9");
  EXPECT_EQ(g.CellText(7, 3), "9");
}

TEST(GridData, AttributesAddFramesAndBoldToTheTemplateFormat) {
  GridData g(5, 5);
  g.SetFormat(1, 1, CellFormat{false, true, Align::Centre});
  g.SetAttribute(1, 1, 2, 2, 8);
  EXPECT_EQ(g.Shown(1, 1), (CellFormat{true, true, Align::Centre}));  // keeps its bold
  EXPECT_EQ(g.Shown(2, 2), (CellFormat{true, false, Align::Left}));
  EXPECT_EQ(g.Shown(3, 3), CellFormat());
  g.SetAttribute(5, 1, 1, 1, 9);
  EXPECT_EQ(g.Shown(5, 1), (CellFormat{true, true, Align::Left}));
  EXPECT_EQ(g.Format(5, 1), CellFormat());  // the template's own stays
  // Four bits only: 0x18 is 8.
  g.SetAttribute(4, 4, 1, 1, 0x18);
  EXPECT_EQ(g.Attribute(4, 4), 8);
  // A rectangle reaching out of the grid, and one of no rows, as a fill
  // without records gives.
  g.SetAttribute(4, 4, 5, 5, 9);
  g.SetAttribute(1, 1, 0, 15, 8);
  EXPECT_EQ(g.Attribute(5, 5), 9);
}

TEST(GridData, ColumnWidthsRunAndStayInsideTheGrid) {
  GridData g(2, 15);
  g.SetColumnWidths(1, 1, 225);
  g.SetColumnWidths(2, 13, 210);
  g.SetColumnWidths(14, 1, 300);
  g.SetColumnWidths(15, 3, 200);
  g.SetColumnWidths(3, 1, -5);
  EXPECT_EQ(g.ColumnWidth(1), 225);
  EXPECT_EQ(g.ColumnWidth(3), 210);
  EXPECT_EQ(g.ColumnWidth(13), 210);
  EXPECT_EQ(g.ColumnWidth(14), 300);
  EXPECT_EQ(g.ColumnWidth(15), 200);
  EXPECT_EQ(g.ColumnWidth(16), 0);
  EXPECT_EQ(g.TotalWidth(), 225 + 12 * 210 + 300 + 200);
}

TEST(GridData, CurrentCellStaysInsideTheGrid) {
  GridData g(86, 19);
  g.SetCurrentCell(7, 3);
  g.SetCurrentCell(87, 3);
  EXPECT_EQ(g.current_row(), 7);
  EXPECT_EQ(g.current_column(), 3);
}

TEST(GridData, PrintSettingsAreKeptClamped) {
  GridData g(1, 1);
  PrintInf inf;
  inf.value[PrintInf::kLeft] = -4;
  g.ApplyPrintInf(inf);
  EXPECT_EQ(g.print_inf().value[PrintInf::kLeft], 0);
}

TEST(PrintInf, DefaultsAreTheRuntimes) {
  PrintInf inf;
  EXPECT_EQ(inf.value[PrintInf::kPaper], 0);
  EXPECT_FALSE(inf.Landscape());
  EXPECT_EQ(inf.value[PrintInf::kBottom], 230);
  EXPECT_EQ(inf.value[7], 1);
  EXPECT_EQ(inf.value[15], 1);
  EXPECT_EQ(inf.Clamped().value, inf.value);
}

TEST(PrintInf, ClampedBringsEachFieldIntoItsRange) {
  PrintInf inf;
  inf.value.fill(-1);
  PrintInf c = inf.Clamped();
  for (int f : {0, 2, 3, 4, 5, 6, 7, 8, 13, 14, 16, 17}) EXPECT_EQ(c.value[f], 0) << "field " << f;
  EXPECT_EQ(c.value[15], 1);
  // No range: kept as given.
  for (int f : {1, 9, 11, 12, 18}) EXPECT_EQ(c.value[f], -1) << "field " << f;

  inf.value.fill(0);
  inf.value[0] = 17;
  inf.value[6] = 7;
  inf.value[13] = 3;
  inf.value[14] = 2;
  inf.value[15] = 0;
  c = inf.Clamped();
  EXPECT_EQ(c.value[0], 0);
  EXPECT_EQ(c.value[6], 0);
  EXPECT_EQ(c.value[13], 0);
  EXPECT_EQ(c.value[14], 2);
  EXPECT_EQ(c.value[15], 1);

  for (int paper : {16, 999, 1000, 1008}) {
    inf.value[0] = paper;
    EXPECT_EQ(inf.Clamped().value[0], paper == 999 ? 0 : paper) << paper;
  }
  inf.value[6] = 6;
  inf.value[7] = 5;
  inf.value[18] = 87;
  inf.text = "页脚";
  c = inf.Clamped();
  EXPECT_EQ(c.value[6], 6);
  EXPECT_EQ(c.value[7], 5);
  EXPECT_EQ(c.value[18], 87);
  EXPECT_EQ(c.text, "页脚");
}

}  // namespace
}  // namespace grid
