// Under Wine and Xvfb: the grid control over a runtime window's Grid unit,
// and the drawing of cells checked pixel by pixel.
#include "grid_view.h"

#include <gtest/gtest.h>

#include "gdi_handles.h"
#include "grid_paint.h"
#include "loader.h"
#include "runtime_window.h"

namespace grid {
namespace {

const rt::WindowTemplate kReportWindow = {
    "GridWindow", "打印五日数据", 20, 20, 948, 517, rt::Border::Normal,
    {{rt::UnitKind::GroupBox, "分组框1", "", 400, 10, 200, 40},
     {rt::UnitKind::Grid, "表格_五日报表", "", 8, 55, 832, 425},
     {rt::UnitKind::Grid, "表格_小", "", 4, 2, 150, 30, "分组框1"},
     {rt::UnitKind::Button, "按钮_打印", "打印", 851, 291, 80, 37}},
    {}};

class GridViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    ASSERT_TRUE(rt::Loader::Instance().LoadModeless(window, nullptr));
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  rt::RuntimeWindow window{kReportWindow};
};

RECT PlaceInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(GridViewTest, AttachesAtTheUnitsPlaceAndRecordsTheData) {
  GridData data(86, 19);
  HWND view = AttachGridView(window, "表格_五日报表", data);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(GetParent(view), window.hwnd());
  wchar_t cls[64] = {};
  GetClassNameW(view, cls, 64);
  EXPECT_STREQ(cls, kGridViewClass);
  RECT r = PlaceInParent(view);
  EXPECT_EQ(r.left, 8);
  EXPECT_EQ(r.top, 55);
  EXPECT_EQ(r.right - r.left, 832);
  EXPECT_EQ(r.bottom - r.top, 425);
  EXPECT_EQ(window.model().Get("表格_五日报表").attachment, &data);

  // Inside a group box: placed from the box.
  GridData small(2, 2);
  HWND inner = AttachGridView(window, "表格_小", small);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(PlaceInParent(inner).left, 404);
  EXPECT_EQ(PlaceInParent(inner).top, 12);

  EXPECT_EQ(AttachGridView(window, "按钮_打印", data), nullptr);
  EXPECT_EQ(AttachGridView(window, "表格_无", data), nullptr);
  window.Destroy();
  EXPECT_FALSE(IsWindow(view));
}

TEST_F(GridViewTest, ScrollBarsCoverAGridLargerThanTheControlOnly) {
  GridData data(3, 3);
  HWND view = AttachGridView(window, "表格_五日报表", data);
  ASSERT_NE(view, nullptr);
  SCROLLINFO si{sizeof si, SIF_ALL};
  GetScrollInfo(view, SB_VERT, &si);
  EXPECT_LE(si.nMax + 1, static_cast<int>(si.nPage));

  // Rows appended after the control was made reach the bars on refresh.
  data.AppendRows(200);
  RefreshGridView(view);
  GetScrollInfo(view, SB_VERT, &si);
  EXPECT_GT(si.nMax + 1, static_cast<int>(si.nPage));
  SendMessageW(view, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageW(view, WM_VSCROLL, SB_PAGEDOWN, 0);
  GetScrollInfo(view, SB_VERT, &si);
  EXPECT_EQ(si.nPos, 2 * static_cast<int>(si.nPage));
  SendMessageW(view, WM_VSCROLL, SB_BOTTOM, 0);
  GetScrollInfo(view, SB_VERT, &si);
  EXPECT_EQ(si.nPos, si.nMax + 1 - static_cast<int>(si.nPage));
  Pump();
}

TEST_F(GridViewTest, AClickMakesTheCellUnderItCurrentAndAJoinCountsAsItsFirstCell) {
  GridData data(10, 5);
  data.SetColumnWidths(1, 5, 254);  // 96 pixels at 96 dpi
  data.SetRowHeight(1, 127);        // 48 pixels
  for (int r = 2; r <= 10; ++r) data.SetRowHeight(r, 127);
  data.JoinCells(3, 2, 2, 3);
  HWND view = AttachGridView(window, "表格_五日报表", data);
  ASSERT_NE(view, nullptr);
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(96 + 10, 48 + 10));
  EXPECT_EQ(data.current_row(), 2);
  EXPECT_EQ(data.current_column(), 2);
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3 * 96 + 10, 3 * 48 + 10));
  EXPECT_EQ(data.current_row(), 3);
  EXPECT_EQ(data.current_column(), 2);
  // Scrolled down by a row: the same point is a row further.
  SendMessageW(view, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageW(view, WM_VSCROLL, SB_LINEDOWN, 0);  // 48 pixels
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 48 + 10));
  EXPECT_EQ(data.current_row(), 3);
  EXPECT_EQ(data.current_column(), 1);
  // Beyond the last column: nothing changes.
  SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5 * 96 + 20, 10));
  EXPECT_EQ(data.current_column(), 1);
}

// Paints into a white bitmap of 200 x 100 pixels and reads pixels back.
class Canvas {
 public:
  Canvas() : screen_(GetDC(nullptr)), dc_(CreateCompatibleDC(screen_)),
             bitmap_(CreateCompatibleBitmap(screen_, 200, 100)), selection_(dc_.get(), bitmap_.get()) {
    RECT all{0, 0, 200, 100};
    FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() { ReleaseDC(nullptr, screen_); }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

 private:
  HDC screen_;
  OwnedDc dc_;
  Bitmap bitmap_;
  Selection selection_;
};

TEST(GridPaint, FramesJoinsAndTheCurrentCell) {
  // Two rows of 40 pixels, four columns of 40: one unit is 0.1 pixel.
  GridData g(2, 4);
  g.SetColumnWidths(1, 4, 400);
  g.SetRowHeight(1, 400);
  g.SetRowHeight(2, 400);
  g.SetAttribute(1, 1, 1, 2, 8);
  g.JoinCells(2, 1, 1, 3);
  g.SetFormat(2, 1, CellFormat{true});
  g.SetCurrentCell(1, 4);

  Canvas paper;
  PaintCells(PaintTarget{paper.dc(), 0.1, 0.1, POINT{0, 0}, 1, 2, false}, g);
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  EXPECT_EQ(paper.At(20, 0), black);    // top of framed (1, 1)
  EXPECT_EQ(paper.At(40, 20), black);   // between framed (1, 1) and (1, 2)
  EXPECT_EQ(paper.At(100, 0), white);   // (1, 3) is not framed: nothing on paper
  EXPECT_EQ(paper.At(40, 60), white);   // inside the join of row 2: no line
  EXPECT_EQ(paper.At(80, 60), white);
  EXPECT_EQ(paper.At(120, 60), black);  // the join's right edge
  EXPECT_EQ(paper.At(140, 20), white);  // no current cell on paper

  Canvas screen;
  PaintCells(PaintTarget{screen.dc(), 0.1, 0.1, POINT{0, 0}, 1, 2, true}, g);
  EXPECT_NE(screen.At(100, 0), white);  // faint lines on screen
  EXPECT_NE(screen.At(100, 0), black);
  EXPECT_NE(screen.At(140, 20), white);  // the current cell is marked
  EXPECT_EQ(screen.At(40, 60), white);   // still no line inside the join
}

TEST(GridPaint, AJoinStartingAboveThePageIsDrawnOnIt) {
  GridData g(3, 2);
  g.SetColumnWidths(1, 2, 400);
  for (int r = 1; r <= 3; ++r) g.SetRowHeight(r, 400);
  g.JoinCells(1, 1, 3, 2);
  g.SetFormat(1, 1, CellFormat{true});
  Canvas page;
  // Rows 2 and 3 only, as a second page would hold them.
  PaintCells(PaintTarget{page.dc(), 0.1, 0.1, POINT{0, 0}, 2, 3, false}, g);
  EXPECT_EQ(page.At(0, 40), RGB(0, 0, 0));   // its left edge
  EXPECT_EQ(page.At(80, 40), RGB(0, 0, 0));  // its right edge
  EXPECT_EQ(page.At(40, 40), RGB(255, 255, 255));
}

}  // namespace
}  // namespace grid
