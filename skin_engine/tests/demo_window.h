// A window like the main program's: labels, edit boxes, a group box,
// buttons, a check box, a report-style list and a status bar, with Chinese
// text. The skin tests create it after a skin is attached.
#pragma once

#include <windows.h>

namespace zz::skin {

struct DemoWindow {
  HWND window = nullptr;
  HWND label = nullptr;
  HWND date = nullptr;
  HWND edit = nullptr;
  HWND combo = nullptr;
  HWND group = nullptr;
  HWND total = nullptr;  // read-only edit inside the group box
  HWND button = nullptr;
  HWND check = nullptr;
  HWND list = nullptr;
  HWND status = nullptr;
  HFONT font = nullptr;
};

// Creates (and shows, at the given place) the window; false if any part
// could not be made.
bool CreateDemoWindow(const wchar_t* caption, int left, int top, DemoWindow* demo);
void DestroyDemoWindow(DemoWindow* demo);

// Runs the messages that are waiting, so the window is fully painted.
void PumpMessages();

}  // namespace zz::skin
