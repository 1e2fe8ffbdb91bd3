#include "grid_paint.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gbk_text.h"
#include "gdi_handles.h"

namespace grid {

namespace {

// Type sizes in tenths of a millimetre: about 9 pt, so that four
// characters fit the 15 mm figure columns; titles about 16 pt.
constexpr int kTextHeight = 32;
constexpr int kTitleHeight = 58;
// Lines never thinner than a device pixel, about 0.2 mm on paper.
constexpr double kLineWidth = 2;
constexpr int kCellPadding = 5;

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kFaintLine = RGB(218, 222, 230);
constexpr COLORREF kCurrentFill = RGB(204, 226, 255);
constexpr COLORREF kCurrentEdge = RGB(40, 100, 200);

// Edges of every column and of the rows drawn, in device pixels: rounding
// each edge once keeps neighbouring cells on one shared line.
struct Edges {
  std::vector<int> x, y;  // x[c - 1] left of column c; y[i] top of first_row + i
};

Edges EdgesOf(const PaintTarget& t, const GridData& g) {
  Edges e;
  double at = 0;
  e.x.push_back(t.origin.x);
  for (int c = 1; c <= g.ColumnCount(); ++c) {
    at += g.ColumnWidth(c);
    e.x.push_back(t.origin.x + static_cast<int>(std::lround(at * t.scale_x)));
  }
  at = 0;
  e.y.push_back(t.origin.y);
  for (int r = t.first_row; r <= t.last_row; ++r) {
    at += g.RowHeight(r);
    e.y.push_back(t.origin.y + static_cast<int>(std::lround(at * t.scale_y)));
  }
  return e;
}

// Type is sized by its height, so it follows the vertical resolution.
HFONT MakeFont(double scale, bool bold, bool title) {
  int height = static_cast<int>(std::lround((title ? kTitleHeight : kTextHeight) * scale));
  return CreateFontW(-std::max(height, 6), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"SimSun");
}

struct Fonts {
  explicit Fonts(double scale)
      : plain(MakeFont(scale, false, false)), bold(MakeFont(scale, true, false)),
        title(MakeFont(scale, true, true)) {}
  HFONT For(const CellFormat& f) const {
    return f.title ? title.get() : f.bold ? bold.get() : plain.get();
  }
  Font plain, bold, title;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void DrawText(HDC dc, const std::string& gbk, const RECT& box, const CellFormat& f, double scale_x) {
  if (gbk.empty()) return;
  std::wstring text = zz::GbkToWide(gbk);
  int pad = std::max(1, static_cast<int>(std::lround(kCellPadding * scale_x)));
  RECT r{box.left + pad, box.top, box.right - pad, box.bottom};
  UINT align = f.align == Align::Centre ? DT_CENTER : f.align == Align::Right ? DT_RIGHT : DT_LEFT;
  UINT flags = align | DT_NOPREFIX;
  if (text.find(L'\n') == std::wstring::npos) {
    DrawTextW(dc, text.c_str(), -1, &r, flags | DT_SINGLELINE | DT_VCENTER);
    return;
  }
  // Several lines are centred as a block: DT_VCENTER knows one line only.
  RECT measure = r;
  int height = DrawTextW(dc, text.c_str(), -1, &measure, flags | DT_CALCRECT);
  r.top += std::max(0, (static_cast<int>(r.bottom - r.top) - height) / 2);
  DrawTextW(dc, text.c_str(), -1, &r, flags);
}

void PaintCell(const PaintTarget& t, const GridData& g, const Edges& e, const Fonts& fonts, HPEN frame,
               HPEN faint, const CellRange& range) {
  int last_row = std::min(range.row + range.rows - 1, t.last_row);
  int top_row = std::max(range.row, t.first_row);
  RECT box{e.x[range.column - 1], e.y[top_row - t.first_row], e.x[range.column + range.columns - 1],
           e.y[last_row - t.first_row + 1]};
  CellFormat f = g.Shown(range.row, range.column);
  bool current = t.screen && range.Contains(g.current_row(), g.current_column());

  SetDCBrushColor(t.dc, current ? kCurrentFill : kPaper);
  FillRect(t.dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  if (f.framed || t.screen) {
    Selection pen(t.dc, f.framed ? frame : faint);
    // Right and bottom edges, and left and top ones where the grid starts
    // a line: neighbours share theirs.
    Line(t.dc, box.left, box.top, box.right, box.top);
    Line(t.dc, box.left, box.top, box.left, box.bottom);
    Line(t.dc, box.right, box.top, box.right, box.bottom + 1);
    Line(t.dc, box.left, box.bottom, box.right, box.bottom);
  }
  {
    Selection font(t.dc, fonts.For(f));
    DrawText(t.dc, g.CellText(range.row, range.column), box, f, t.scale_x);
  }
}

// Outlined after all cells, so that no neighbour paints over the outline.
void OutlineCurrent(const PaintTarget& t, const GridData& g, const Edges& e) {
  CellRange range = g.RangeAt(g.current_row(), g.current_column());
  if (range.row + range.rows - 1 < t.first_row || range.row > t.last_row) return;
  int top_row = std::max(range.row, t.first_row);
  int last_row = std::min(range.row + range.rows - 1, t.last_row);
  Pen edge(CreatePen(PS_SOLID, 2, kCurrentEdge));
  Selection pen(t.dc, edge.get());
  Selection hollow(t.dc, GetStockObject(NULL_BRUSH));
  Rectangle(t.dc, e.x[range.column - 1] + 1, e.y[top_row - t.first_row] + 1,
            e.x[range.column + range.columns - 1] + 1, e.y[last_row - t.first_row + 1] + 1);
}

// A join is drawn once, from its top-left cell, or from the first row drawn
// when it starts above it.
bool StartsDrawnRange(const PaintTarget& t, const CellRange& range, int row, int column) {
  return range.column == column && (range.row == row || (row == t.first_row && range.row < row));
}

}  // namespace

void PaintCells(const PaintTarget& t, const GridData& g) {
  if (g.ColumnCount() == 0 || t.last_row < t.first_row) return;
  Edges e = EdgesOf(t, g);
  Fonts fonts(t.scale_y);
  int width = std::max(1, static_cast<int>(std::lround(kLineWidth * std::min(t.scale_x, t.scale_y))));
  Pen frame(CreatePen(PS_SOLID, t.screen ? 1 : width, kInk));
  Pen faint(CreatePen(PS_SOLID, 1, kFaintLine));
  SetBkMode(t.dc, TRANSPARENT);
  SetTextColor(t.dc, kInk);

  RECT clip{};
  bool clipped = GetClipBox(t.dc, &clip) != NULLREGION && GetClipBox(t.dc, &clip) != ERROR;
  // Framed cells are drawn after the unframed ones, so that a faint line
  // never covers a frame they share.
  for (int pass = 0; pass < 2; ++pass)
    for (int r = t.first_row; r <= t.last_row; ++r) {
      int top = e.y[r - t.first_row], bottom = e.y[r - t.first_row + 1];
      if (clipped && (bottom < clip.top || top > clip.bottom)) continue;
      for (int c = 1; c <= g.ColumnCount(); ++c) {
        CellRange range = g.RangeAt(r, c);
        if (!StartsDrawnRange(t, range, r, c)) continue;
        if (clipped && (e.x[range.column + range.columns - 1] < clip.left || e.x[c - 1] > clip.right)) continue;
        if (g.Shown(range.row, range.column).framed != (pass == 1)) continue;
        PaintCell(t, g, e, fonts, frame.get(), faint.get(), range);
      }
    }
  if (t.screen && g.Inside(g.current_row(), g.current_column())) OutlineCurrent(t, g, e);
}

bool CellAt(const PaintTarget& t, const GridData& g, POINT at, int* row, int* column) {
  if (g.ColumnCount() == 0 || t.last_row < t.first_row) return false;
  Edges e = EdgesOf(t, g);
  for (int r = t.first_row; r <= t.last_row; ++r)
    for (int c = 1; c <= g.ColumnCount(); ++c)
      if (at.x >= e.x[c - 1] && at.x < e.x[c] && at.y >= e.y[r - t.first_row] && at.y < e.y[r - t.first_row + 1]) {
        CellRange range = g.RangeAt(r, c);
        *row = range.row;
        *column = range.column;
        return true;
      }
  return false;
}

}  // namespace grid
