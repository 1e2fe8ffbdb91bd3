#include "page_layout.h"

#include <algorithm>
#include <cmath>

namespace grid {

namespace {

// Sizes in tenths of a millimetre, in the settings' paper numbering.
// The driver codes are the DEVMODE paper numbers of the Win32 headers.
const Paper kPapers[17] = {
    {"A4", 2100, 2970, 9},          {"Letter", 2159, 2794, 1},      {"A4", 2100, 2970, 9},
    {"A3", 2970, 4200, 8},          {"A5", 1480, 2100, 11},         {"B4", 2570, 3640, 12},
    {"B5", 1820, 2570, 13},         {"Legal", 2159, 3556, 5},       {"16K", 1460, 2150, 93},
    {"32K", 970, 1510, 94},         {"Big 32K", 1400, 2030, 95},    {"Envelope C5", 1620, 2290, 28},
    {"Executive", 1842, 2667, 7},   {"Tabloid", 2794, 4318, 3},     {"A6", 1050, 1480, 70},
    {"B6", 1280, 1820, 88},         {"Envelope DL", 1100, 2200, 27}};
constexpr int kFirstDevicePaper = 1000;

// Margins so wide that nothing fits still leave a strip to print on.
constexpr int kLeastPrintable = 100;

int RowsHeight(const GridData& grid, int first, int last) {
  int sum = 0;
  for (int r = first; r <= last; ++r) sum += grid.RowHeight(r);
  return sum;
}

}  // namespace

Paper PaperOf(int paper_number) {
  if (paper_number >= 0 && paper_number < 17) return kPapers[paper_number];
  return kPapers[0];
}

int DevicePaperCode(int paper_number) {
  if (paper_number >= kFirstDevicePaper) return paper_number - (kFirstDevicePaper - 1);
  return PaperOf(paper_number).device_code;
}

PageLayout LayOutPages(const GridData& grid, const PrintInf& settings) {
  PrintInf s = settings.Clamped();
  Paper paper = PaperOf(s.value[PrintInf::kPaper]);
  PageLayout p;
  p.paper_width = s.Landscape() ? paper.height : paper.width;
  p.paper_height = s.Landscape() ? paper.width : paper.height;
  p.left = std::min(s.value[PrintInf::kLeft], p.paper_width - kLeastPrintable);
  p.top = std::min(s.value[PrintInf::kTop], p.paper_height - kLeastPrintable);
  p.printable_width = std::max(kLeastPrintable, p.paper_width - p.left - s.value[PrintInf::kRight]);
  p.printable_height = std::max(kLeastPrintable, p.paper_height - p.top - s.value[PrintInf::kBottom]);
  int total = grid.TotalWidth();
  if (total > p.printable_width) p.scale = static_cast<double>(p.printable_width) / total;

  const std::vector<RowRun>& kept = grid.kept();
  auto run = kept.begin();
  PageRows page;
  double used = 0;
  for (int r = 1; r <= grid.RowCount(); ++r) {
    double h = grid.RowHeight(r) * p.scale;
    // A kept run needs room for all of it; one taller than a page cannot
    // have that and breaks row by row like any other rows.
    double needed = h;
    while (run != kept.end() && run->last() < r) ++run;
    if (run != kept.end() && run->row == r) {
      double whole = RowsHeight(grid, run->row, run->last()) * p.scale;
      if (whole <= p.printable_height) needed = whole;
    }
    if (page.last >= page.first && used + needed > p.printable_height) {
      p.pages.push_back(page);
      page = PageRows{r, r - 1};
      used = 0;
    }
    page.last = r;
    used += h;
  }
  p.pages.push_back(page);
  return p;
}

DevicePage PlaceOnDevice(const PageLayout& layout, double pixels_x, double pixels_y, int paper_left, int paper_top) {
  DevicePage d;
  d.scale_x = pixels_x * layout.scale;
  d.scale_y = pixels_y * layout.scale;
  d.left = paper_left + static_cast<int>(std::lround(layout.left * pixels_x));
  d.top = paper_top + static_cast<int>(std::lround(layout.top * pixels_y));
  return d;
}

}  // namespace grid
