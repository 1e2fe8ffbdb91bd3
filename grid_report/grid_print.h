// Print preview and printing of a grid, laid out for its print settings.
#pragma once

#include <windows.h>

#include <string>

#include "grid_data.h"
#include "print_inf.h"

namespace grid {

extern const wchar_t kPreviewClass[];

// The preview window, shown and left to run in the caller's message loop;
// it draws from a copy of the grid taken now. Null when it cannot be made.
HWND OpenPrintPreview(HWND owner, const GridData& grid, const PrintInf& settings);
// The preview as the report windows show it: modal over `owner`, back when
// the user has closed it.
void ShowPrintPreview(HWND owner, const GridData& grid, const PrintInf& settings);

// Prints on the default printer with its default copies; the printer's name
// (GBK), or "" when there is no printer or printing failed, with the
// reason in `reason` when the system gave one.
std::string PrintGrid(const GridData& grid, const PrintInf& settings, std::string* reason = nullptr);
// Prints as PrintGrid does; a failure is told in a box over `owner`.
void PrintAndTell(HWND owner, const GridData& grid, const PrintInf& settings);

}  // namespace grid
