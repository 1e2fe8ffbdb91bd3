// Shows the demo window under one skin, for screenshots:
//   skin_demo.exe <skin number> <ready file> <go file>
// Writes the ready file once the window is painted (what happened to the
// skin library: whether the skin took, whether the file beside the program
// is there and hidden) and closes when the go file appears.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "demo_window.h"
#include "skin_loader.h"
#include "skin_table.h"

namespace {

std::wstring g_go_file;

void CALLBACK WatchGoFile(HWND hwnd, UINT, UINT_PTR, DWORD) {
  if (GetFileAttributesW(g_go_file.c_str()) != INVALID_FILE_ATTRIBUTES) DestroyWindow(GetAncestor(hwnd, GA_ROOT));
}

void WriteReady(const std::wstring& path, bool applied, bool existed) {
  const DWORD attributes = GetFileAttributesW((zz::skin::ProgramFolder() + L"\\SkinH_EL.dll").c_str());
  char text[128];
  std::snprintf(text, sizeof text, "applied=%d existed=%d present=%d hidden=%d\n", applied ? 1 : 0,
                existed ? 1 : 0, attributes != INVALID_FILE_ATTRIBUTES ? 1 : 0,
                attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) ? 1 : 0);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 4) return 2;
  const int number = _wtoi(argv[1]);
  const std::wstring ready = argv[2];
  g_go_file = argv[3];

  const bool existed =
      GetFileAttributesW((zz::skin::ProgramFolder() + L"\\SkinH_EL.dll").c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool applied = zz::skin::ApplySkin(number);

  wchar_t caption[128];
  const char* name = zz::skin::BuiltInSkinName(number);
  std::swprintf(caption, 128, L"卫生院收入报表 - 皮肤 %d (%hs)", number, name ? name : "?");
  zz::skin::DemoWindow demo;
  if (!zz::skin::CreateDemoWindow(caption, 40, 30, &demo)) return 3;
  // On top of anything else on the screen while it is photographed.
  SetWindowPos(demo.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetFocus(demo.edit);
  LVITEMW select{};
  select.stateMask = LVIS_SELECTED;
  select.state = LVIS_SELECTED;
  SendMessageW(demo.list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
  zz::skin::PumpMessages();
  RedrawWindow(demo.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  WriteReady(ready, applied, existed);
  SetTimer(demo.window, 1, 100, WatchGoFile);

  MSG msg;
  while (IsWindow(demo.window) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyDemoWindow(&demo);
  return 0;
}
