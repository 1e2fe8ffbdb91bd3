// The report template files the grid loads (".grd"): GBK text, one record
// a line, readable and editable by hand:
//
//   ZZGRID 1
//   size 86 19                   rows, columns
//   widths 100 100 150 ...       one per column, tenths of a millimetre
//   heights 70 60 60 ...         one per row
//   join 1 1 1 19                row, column, rows, columns
//   keep 1 15                    row, rows: printed on one page
//   cell 4,2,r|单位：            row,column,format|text
//   end
//
// A format is any of f (framed), b (bold), t (title type) and one of l, c,
// r (alignment);
// empty is plain and left-aligned. In a text, "\n" stands for a line break
// and "\\" for a backslash. Lines may end in CR LF. Records other than the
// first and the last may come in any order after "size".
#pragma once

#include <string>
#include <string_view>

#include "grid_data.h"

namespace grid {

// False for anything malformed; `out` is then left as it was.
bool ParseTemplate(std::string_view bytes, GridData* out);
std::string WriteTemplate(const GridData& grid);

// Paths are GBK, as the program's are.
bool LoadTemplateFile(const std::string& gbk_path, GridData* out);
bool SaveTemplateFile(const std::string& gbk_path, const GridData& grid);

}  // namespace grid
