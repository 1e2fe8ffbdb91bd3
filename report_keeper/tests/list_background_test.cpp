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

TEST(ListBackground, PictureGoesToTheTempFolderAndARefusedOneKeepsTextOpaque) {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / L"zz_list_background";
  fs::create_directories(folder);
  std::wstring wide = folder.wstring();
  std::string gbk_folder = zz::WideToGbk(wide);
  wchar_t was_temp[MAX_PATH + 1] = {};
  bool had_temp = GetEnvironmentVariableW(L"temp", was_temp, MAX_PATH + 1) > 0;
  SetEnvironmentVariableW(L"temp", wide.c_str());

  HWND list = MakeList();
  ASSERT_NE(list, nullptr);
  COLORREF text_background = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
  keeper::SetListBackground(list, true, true);
  std::string written;
  ASSERT_TRUE(rt::ReadWholeFile(gbk_folder + "\\rezido_lv.ben", &written));
  EXPECT_EQ(written, keeper::ListBackgroundPicture(keeper::MeasureRowPitch(list)));

  LVBKIMAGEW image{};
  image.ulFlags = LVBKIF_SOURCE_MASK;
  bool taken = SendMessageW(list, LVM_GETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)) &&
               (image.ulFlags & LVBKIF_SOURCE_MASK) != LVBKIF_SOURCE_NONE;
  COLORREF now = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
  if (taken)
    EXPECT_EQ(now, CLR_NONE);
  else
    EXPECT_EQ(now, text_background);  // rows stay readable without the picture

  DestroyWindow(list);
  SetEnvironmentVariableW(L"temp", had_temp ? was_temp : nullptr);
  std::error_code error;
  fs::remove_all(folder, error);
}

}  // namespace
