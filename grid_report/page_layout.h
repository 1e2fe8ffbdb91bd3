// How a grid falls onto printed pages: the paper the print settings name,
// its printable area, and which rows each page holds. Lengths are tenths of
// a millimetre, the grid's own unit. The preview and the printer draw from
// the same layout, so that what is previewed is what prints.
#pragma once

#include <string>
#include <vector>

#include "grid_data.h"
#include "print_inf.h"

namespace grid {

struct Paper {
  const char* name;
  int width, height;  // portrait
  int device_code;    // the printer driver's number for it
};
// The paper of a settings' paper number; device papers (1000 and above)
// are not known here and lay out as A4.
Paper PaperOf(int paper_number);
// The printer driver's paper code (DMPAPER_*) for a settings' paper number.
int DevicePaperCode(int paper_number);

struct PageRows {
  int first = 1, last = 0;  // last < first: a page without rows
};

struct PageLayout {
  int paper_width = 0, paper_height = 0;  // as oriented
  int left = 0, top = 0;                  // where the grid starts
  int printable_width = 0, printable_height = 0;
  // Grid lengths are multiplied by this: a grid wider than the printable
  // width is shrunk to it, never enlarged.
  double scale = 1.0;
  std::vector<PageRows> pages;  // at least one
};

// Rows are never split: a row starts the next page when it would cross the
// bottom margin, and so does the first row of a kept run that would. A row
// taller than a page gets a page of its own.
PageLayout LayOutPages(const GridData& grid, const PrintInf& settings);

// How a page lands on a device with `pixels_x` and `pixels_y` pixels per
// tenth of a millimetre across and down (a printer may resolve the two
// differently) whose paper's top-left corner is at (`paper_left`,
// `paper_top`).
struct DevicePage {
  double scale_x = 1, scale_y = 1;  // device pixels per tenth of a millimetre of the grid
  int left = 0, top = 0;            // where the grid's top-left corner lands
};
DevicePage PlaceOnDevice(const PageLayout& layout, double pixels_x, double pixels_y, int paper_left, int paper_top);

}  // namespace grid
