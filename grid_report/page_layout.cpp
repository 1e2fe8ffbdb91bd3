#include "page_layout.h"

#include <algorithm>

namespace grid {

namespace {

// Sizes in tenths of a millimetre, in the settings' paper numbering.
const Paper kPapers[17] = {
    {"A4", 2100, 2970},     {"Letter", 2159, 2794},   {"A4", 2100, 2970},
    {"A3", 2970, 4200},     {"A5", 1480, 2100},       {"B4", 2570, 3640},
    {"B5", 1820, 2570},     {"Legal", 2159, 3556},    {"16K", 1840, 2600},
    {"32K", 1300, 1840},    {"Big 16K", 2100, 2850},  {"8K", 2600, 3680},
    {"Executive", 1842, 2667}, {"Tabloid", 2794, 4318}, {"A6", 1050, 1480},
    {"B6", 1280, 1820},     {"Envelope DL", 1100, 2200}};

// Margins so wide that nothing fits still leave a strip to print on.
constexpr int kLeastPrintable = 100;

}  // namespace

Paper PaperOf(int paper_number) {
  if (paper_number >= 0 && paper_number < 17) return kPapers[paper_number];
  return kPapers[0];
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

  PageRows page;
  double used = 0;
  for (int r = 1; r <= grid.RowCount(); ++r) {
    double h = grid.RowHeight(r) * p.scale;
    if (page.last >= page.first && used + h > p.printable_height) {
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

}  // namespace grid
