#include <windows.h>

#include "gbk_text.h"
#include "program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Relative paths of the program are taken from its own folder.
  std::u16string folder = zz::GbkToUtf16(keeper::RunDirectory());
  SetCurrentDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()));
  return keeper::ProgramStart();
}
