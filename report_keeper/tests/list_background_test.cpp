#include "list_background.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "file_access.h"
#include "gbk_text.h"

namespace {

HWND MakeList() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 300, 200, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  LVCOLUMNW col{};
  col.mask = LVCF_WIDTH;
  col.cx = 100;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
  return list;
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// Line y counted from the top of a one-pixel-wide 24-bit BMP, as a COLORREF.
COLORREF Line(const std::string& bmp, int y) {
  int height = static_cast<int>(Le32(bmp, 22));
  std::size_t at = 54 + 4 * static_cast<std::size_t>(height - 1 - y);
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bmp[i]); };
  return RGB(byte(at + 2), byte(at + 1), byte(at));
}

TEST(ListBackground, RowPitchIsMeasuredEvenOnAnEmptyList) {
  HWND list = MakeList();
  ASSERT_NE(list, nullptr);
  int pitch = keeper::MeasureRowPitch(list);
  EXPECT_GT(pitch, 8);
  EXPECT_LT(pitch, 60);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);  // the probes are gone
  DestroyWindow(list);
}

TEST(ListBackground, PictureFromTheCanvasHoldsOneRowOfEachColour) {
  ASSERT_NE(keeper::kListRowColour, keeper::kListAlternateColour);
  for (int pitch : {3, 17}) {
    std::string bmp = keeper::ListBackgroundPicture(pitch);
    ASSERT_EQ(bmp.size(), 54u + 4u * 2 * pitch) << pitch;
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le32(bmp, 18), 1u);  // one pixel wide, from the creation handler
    EXPECT_EQ(Le32(bmp, 22), static_cast<std::uint32_t>(2 * pitch));
    for (int y = 0; y < 2 * pitch; ++y)
      EXPECT_EQ(Line(bmp, y), y < pitch ? keeper::kListRowColour : keeper::kListAlternateColour)
          << pitch << " line " << y;
  }
}

// The list's answer to the picture is the platform's (this Wine refuses a
// URL source): the list is made to answer either way, and what it was asked.
WNDPROC g_list_proc = nullptr;
bool g_accept_picture = false;
LVBKIMAGEW g_asked{};
std::wstring g_asked_path;

LRESULT CALLBACK AnsweringList(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == LVM_SETBKIMAGEW) {
    g_asked = *reinterpret_cast<LVBKIMAGEW*>(lparam);
    g_asked_path = g_asked.pszImage ? g_asked.pszImage : L"";
    return g_accept_picture;
  }
  return CallWindowProcW(g_list_proc, w, message, wparam, lparam);
}

TEST(ListBackground, PictureGoesToTheTempFolderAndARefusedOneKeepsTextOpaque) {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / L"zz_list_background";
  fs::create_directories(folder);
  std::wstring wide = folder.wstring();
  std::string gbk_folder = zz::WideToGbk(wide);
  wchar_t was_temp[MAX_PATH + 1] = {};
  bool had_temp = GetEnvironmentVariableW(L"temp", was_temp, MAX_PATH + 1) > 0;
  SetEnvironmentVariableW(L"temp", wide.c_str());

  for (bool accept : {true, false}) {
    HWND list = MakeList();
    ASSERT_NE(list, nullptr);
    g_list_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnsweringList)));
    g_accept_picture = accept;
    g_asked_path.clear();
    COLORREF text_background = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
    ASSERT_NE(text_background, CLR_NONE);
    keeper::SetListBackground(list, true, true);
    std::string written;
    ASSERT_TRUE(rt::ReadWholeFile(gbk_folder + "\\rezido_lv.ben", &written));
    EXPECT_EQ(written, keeper::ListBackgroundPicture(keeper::MeasureRowPitch(list)));
    EXPECT_EQ(g_asked.ulFlags, static_cast<ULONG>(LVBKIF_SOURCE_URL | LVBKIF_STYLE_TILE));
    EXPECT_EQ(g_asked_path, wide + L"\\rezido_lv.ben");
    // Text over a taken picture lets it show; without it, rows stay readable.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)),
              accept ? CLR_NONE : text_background)
        << accept;
    DestroyWindow(list);
  }
  SetEnvironmentVariableW(L"temp", had_temp ? was_temp : nullptr);
  std::error_code error;
  fs::remove_all(folder, error);
}

}  // namespace
