// Drawing of grid cells on any DC: the control on screen, the preview's
// pages and the printer's all come through here.
#pragma once

#include <windows.h>

#include "grid_data.h"

namespace grid {

struct PaintTarget {
  HDC dc;
  // Device pixels per tenth of a millimetre, across and down: a printer
  // may resolve the two differently.
  double scale_x, scale_y;
  POINT origin;  // where the top-left corner of `first_row`, column 1 lands
  int first_row, last_row;
  // On screen unframed cells get faint lines, so that the user sees where
  // they are, and the current cell is marked; paper shows neither.
  bool screen;
};

void PaintCells(const PaintTarget& target, const GridData& grid);

// The cell under a point of the device, or false; for clicks on the control.
bool CellAt(const PaintTarget& target, const GridData& grid, POINT at, int* row, int* column);

}  // namespace grid
