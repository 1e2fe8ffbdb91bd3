#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gbk_text.h"
#include "message_box.h"

namespace {

std::wstring W(const char* gbk) { return zz::GbkToWide(gbk); }

TEST(FatalError, ShowsTheErrorBoxAndEndsWithMinusOne) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring probe = self;
  probe = probe.substr(0, probe.find_last_of(L'\\') + 1) + L"fatal_probe.exe";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(probe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  std::wstring caption = W(rt::kRuntimeErrorCaption);
  HWND box = nullptr;
  wchar_t text[256] = {};
  // The box is found as soon as it exists; its text may be set a moment
  // later, so both are waited for together. The text names the code.
  for (int i = 0; i < 400 && !text[0]; ++i) {
    box = FindWindowW(L"#32770", caption.c_str());
    if (box) {
      EnumChildWindows(box, [](HWND child, LPARAM out) -> BOOL {
        wchar_t buf[256] = {};
        GetWindowTextW(child, buf, 256);
        if (wcsstr(buf, L"5")) wcscpy(reinterpret_cast<wchar_t*>(out), buf);
        return TRUE;
      }, reinterpret_cast<LPARAM>(text));
    }
    if (!text[0]) Sleep(25);
  }
  ASSERT_NE(box, nullptr) << "no error box";
  EXPECT_NE(wcsstr(text, W("数据或数组类型不匹配").c_str()), nullptr);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0xFFFFFFFFu);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
