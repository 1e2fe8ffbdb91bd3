// The skin as a program sees it: windows created after the attach take the
// skin's colours, a new skin repaints them, refused blocks change nothing,
// and colours the program chose itself stay.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "demo_window.h"
#include "skin_api.h"
#include "skin_format.h"
#include "skin_loader.h"
#include "skin_table.h"

namespace zz::skin {
namespace {

COLORREF Expected(int skin, Colour role) { return RgbToColorRef(BuiltInSkin(skin)->Rgb(role)); }

// The colour on screen at (x, y) of `hwnd`'s client area.
COLORREF PixelAt(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return color;
}

void Repaint(HWND window) {
  PumpMessages();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
}

RECT ClientOf(HWND hwnd) {
  RECT rect;
  GetClientRect(hwnd, &rect);
  return rect;
}

// Checks every control of the demo window against skin `skin`.
void ExpectSkinned(const DemoWindow& demo, int skin) {
  SCOPED_TRACE(testing::Message() << "skin " << skin);
  // Free area of the window, right of the first row of fields.
  EXPECT_EQ(PixelAt(demo.window, 690, 20), Expected(skin, Colour::WindowBack));
  // Edit box: inside, right of the text, and its flat frame line.
  const RECT edit = ClientOf(demo.edit);
  EXPECT_EQ(PixelAt(demo.edit, edit.right - 3, edit.bottom / 2), Expected(skin, Colour::EditBack));
  // Push button face, left of its text, away from the rounded corners.
  const RECT button = ClientOf(demo.button);
  EXPECT_EQ(PixelAt(demo.button, 6, button.bottom / 2), Expected(skin, Colour::ButtonFace));
  EXPECT_EQ(PixelAt(demo.button, button.right / 2, 0), Expected(skin, Colour::ButtonBorder));
  // Check box: the box's inside next to its frame, and the background.
  const RECT check = ClientOf(demo.check);
  const int box_top = (check.bottom - 13) / 2;
  EXPECT_EQ(PixelAt(demo.check, 1, box_top + 1), Expected(skin, Colour::EditBack));
  EXPECT_EQ(PixelAt(demo.check, check.right - 2, 1), Expected(skin, Colour::WindowBack));
  // Group box frame: its left line, halfway down.
  const RECT group = ClientOf(demo.group);
  EXPECT_EQ(PixelAt(demo.group, 0, group.bottom / 2), Expected(skin, Colour::Frame));
  // Its inside, which the window (clipping its children) leaves to it.
  EXPECT_EQ(PixelAt(demo.group, group.right - 8, group.bottom - 6), Expected(skin, Colour::WindowBack));
  // Drop-down list: flat edge and button.
  const RECT combo = ClientOf(demo.combo);
  EXPECT_EQ(PixelAt(demo.combo, 0, combo.bottom / 2), Expected(skin, Colour::Frame));
  EXPECT_EQ(PixelAt(demo.combo, combo.right - 3, 3), Expected(skin, Colour::ButtonFace));
  const RECT date = ClientOf(demo.date);
  EXPECT_EQ(PixelAt(demo.date, date.right - 3, 2), Expected(skin, Colour::ButtonFace));
  // Read-only edit inside the group: the window's background.
  const RECT total = ClientOf(demo.total);
  EXPECT_EQ(PixelAt(demo.total, total.right - 3, total.bottom / 2), Expected(skin, Colour::WindowBack));
  // List: first row plain, second row the alternate colour, free area below
  // the rows the list background; header in its own colour.
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(demo.list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
  const int x = 140;  // inside the first column, right of the date text
  EXPECT_EQ(PixelAt(demo.list, x, row.top + 2), Expected(skin, Colour::ListBack));
  const int pitch = row.bottom - row.top;
  EXPECT_EQ(PixelAt(demo.list, x, row.top + pitch + 2), Expected(skin, Colour::ListAltRow));
  const RECT list = ClientOf(demo.list);
  EXPECT_EQ(PixelAt(demo.list, list.right / 2, list.bottom - 4), Expected(skin, Colour::ListBack));
  HWND header = reinterpret_cast<HWND>(SendMessageW(demo.list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(PixelAt(header, 60, 3), Expected(skin, Colour::HeaderBack));
  // Status bar: background right of the first panel's text.
  const RECT status = ClientOf(demo.status);
  EXPECT_EQ(PixelAt(demo.status, 130, status.bottom / 2), Expected(skin, Colour::StatusBack));

  // Control colours as the controls ask for them.
  HDC dc = CreateCompatibleDC(nullptr);
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(demo.window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(demo.edit)));
  LOGBRUSH info{};
  GetObjectW(brush, sizeof info, &info);
  EXPECT_EQ(info.lbColor, Expected(skin, Colour::EditBack));
  EXPECT_EQ(GetTextColor(dc), Expected(skin, Colour::EditText));
  SendMessageW(demo.window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(demo.label));
  EXPECT_EQ(GetTextColor(dc), Expected(skin, Colour::WindowText));
  DeleteDC(dc);
}

class SkinWindowTest : public testing::Test {
 protected:
  void TearDown() override { DestroyDemoWindow(&demo_); }
  void Open() {
    ASSERT_TRUE(CreateDemoWindow(L"皮肤测试", 20, 20, &demo_));
    Repaint(demo_.window);
  }
  DemoWindow demo_;
};

// First in this file, so that it runs before anything attached a skin: the
// main program attaches from inside its main window's creation, when that
// window and its controls already exist.
TEST_F(SkinWindowTest, WindowsThatExistedBeforeTheFirstAttachTakeTheSkin) {
  Open();
  ASSERT_TRUE(ApplySkin(27));
  Repaint(demo_.window);
  ExpectSkinned(demo_, 27);
}

TEST_F(SkinWindowTest, WindowsCreatedAfterTheAttachTakeTheSkinAndANewSkinRepaintsThem) {
  ASSERT_TRUE(ApplySkin(5));
  Open();
  ExpectSkinned(demo_, 5);

  ASSERT_TRUE(ApplySkin(20));
  Repaint(demo_.window);
  ExpectSkinned(demo_, 20);
}

TEST_F(SkinWindowTest, RefusedBlocksAndArgumentsChangeNothing) {
  ASSERT_TRUE(ApplySkin(12));
  Open();
  HMODULE library = GetModuleHandleW(ZZ_SKIN_LIBRARY_FILE);
  ASSERT_NE(library, nullptr);
  auto attach = reinterpret_cast<SkinAttachResFn>(reinterpret_cast<void (*)()>(GetProcAddress(library, ZZ_SKIN_ATTACH_EXPORT)));
  ASSERT_NE(attach, nullptr);

  std::vector<std::uint8_t> block = EncodeSkin(*BuiltInSkin(30));
  const int size = static_cast<int>(block.size());
  EXPECT_EQ(attach(nullptr, size, "", 0, 0, 0), 0);
  EXPECT_EQ(attach(block.data(), 0, "", 0, 0, 0), 0);
  EXPECT_EQ(attach(block.data(), -1, "", 0, 0, 0), 0);
  EXPECT_EQ(attach(block.data(), size - 4, "", 0, 0, 0), 0);
  EXPECT_EQ(attach(block.data(), size, "secret", 0, 0, 0), 0);
  EXPECT_EQ(attach(block.data(), size, "", 1, 0, 0), 0);
  std::vector<std::uint8_t> wrong = block;
  wrong[0] = 'X';
  EXPECT_EQ(attach(wrong.data(), size, "", 0, 0, 0), 0);
  Repaint(demo_.window);
  ExpectSkinned(demo_, 12);

  // A null key is as good as an empty one.
  EXPECT_EQ(attach(block.data(), size, nullptr, 0, 0, 0), 1);
  Repaint(demo_.window);
  ExpectSkinned(demo_, 30);

  auto aero = reinterpret_cast<SkinSetAeroFn>(reinterpret_cast<void (*)()>(GetProcAddress(library, ZZ_SKIN_AERO_EXPORT)));
  ASSERT_NE(aero, nullptr);
  EXPECT_EQ(aero(7), 0);
  aero(1);  // 1 or 0 with the desktop's abilities; the skin stays either way
  Repaint(demo_.window);
  ExpectSkinned(demo_, 30);
}

TEST_F(SkinWindowTest, ButtonStatesShowInTheSkin) {
  ASSERT_TRUE(ApplySkin(4));
  Open();
  const RECT button = ClientOf(demo_.button);
  auto face = [&] {
    UpdateWindow(demo_.button);
    PumpMessages();
    return PixelAt(demo_.button, 6, button.bottom / 2);
  };
  EXPECT_EQ(face(), Expected(4, Colour::ButtonFace));
  SendMessageW(demo_.button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(face(), Expected(4, Colour::ButtonHot));
  SendMessageW(demo_.button, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(face(), Expected(4, Colour::ButtonPushed));
  SendMessageW(demo_.button, BM_SETSTATE, FALSE, 0);
  SendMessageW(demo_.button, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(face(), Expected(4, Colour::ButtonFace));

  // A check box that is cleared shows an empty box.
  const RECT check = ClientOf(demo_.check);
  const int middle = check.bottom / 2;
  SendMessageW(demo_.check, BM_SETCHECK, BST_CHECKED, 0);
  UpdateWindow(demo_.check);
  const COLORREF ticked = PixelAt(demo_.check, 6, middle + 1);
  SendMessageW(demo_.check, BM_SETCHECK, BST_UNCHECKED, 0);
  UpdateWindow(demo_.check);
  EXPECT_EQ(ticked, Expected(4, Colour::Highlight));
  EXPECT_EQ(PixelAt(demo_.check, 6, middle + 1), Expected(4, Colour::EditBack));
}

// A window that gives one edit box a colour of its own, as the main program
// does for the field that has the focus.
const COLORREF kOwnColour = RGB(0x00, 0xE0, 0x80);
HBRUSH g_own_brush = nullptr;
WNDPROC g_demo_proc = nullptr;
HWND g_own_edit = nullptr;

LRESULT CALLBACK OwnColourProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lparam) == g_own_edit) {
    SetBkColor(reinterpret_cast<HDC>(wparam), kOwnColour);
    return reinterpret_cast<LRESULT>(g_own_brush);
  }
  return CallWindowProcW(g_demo_proc, hwnd, message, wparam, lparam);
}

TEST_F(SkinWindowTest, ColoursTheProgramChoseItselfStay) {
  ASSERT_TRUE(ApplySkin(9));
  Open();
  g_own_brush = CreateSolidBrush(kOwnColour);
  g_own_edit = demo_.edit;
  g_demo_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(demo_.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnColourProc)));
  // The program's own list colour, set after creation.
  SendMessageW(demo_.list, LVM_SETBKCOLOR, 0, RGB(250, 250, 200));
  InvalidateRect(demo_.edit, nullptr, TRUE);
  Repaint(demo_.window);

  const RECT edit = ClientOf(demo_.edit);
  EXPECT_EQ(PixelAt(demo_.edit, edit.right - 3, edit.bottom / 2), kOwnColour);
  const RECT list = ClientOf(demo_.list);
  EXPECT_EQ(PixelAt(demo_.list, list.right / 2, list.bottom - 4), RGB(250, 250, 200));

  // A skin change keeps both.
  ASSERT_TRUE(ApplySkin(10));
  Repaint(demo_.window);
  EXPECT_EQ(PixelAt(demo_.edit, edit.right - 3, edit.bottom / 2), kOwnColour);
  EXPECT_EQ(PixelAt(demo_.list, list.right / 2, list.bottom - 4), RGB(250, 250, 200));

  SetWindowLongPtrW(demo_.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_demo_proc));
  DeleteObject(g_own_brush);
}

TEST_F(SkinWindowTest, ASelectedRowTakesTheSelectionColours) {
  ASSERT_TRUE(ApplySkin(2));
  Open();
  LVITEMW select{};
  select.stateMask = LVIS_SELECTED;
  select.state = LVIS_SELECTED;
  SendMessageW(demo_.list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  Repaint(demo_.window);
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(demo_.list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  EXPECT_EQ(PixelAt(demo_.list, 140, row.top + 2), Expected(2, Colour::SelectionBack));
}

// A message box opened after the attach: its dialog and text take the skin.
struct BoxCheck {
  bool found = false;
  COLORREF text_back = CLR_INVALID;
  COLORREF text_color = CLR_INVALID;
};
BoxCheck g_box;

void CALLBACK InspectMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", L"皮肤提示");
  if (!box) return;
  KillTimer(nullptr, timer);
  g_box.found = true;
  HWND text = GetDlgItem(box, 0xFFFF);  // the message's static control
  HDC dc = CreateCompatibleDC(nullptr);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text)));
  LOGBRUSH info{};
  if (GetObjectW(brush, sizeof info, &info)) g_box.text_back = info.lbColor;
  g_box.text_color = GetTextColor(dc);
  DeleteDC(dc);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(SkinWindowTest, AMessageBoxTakesTheSkin) {
  ASSERT_TRUE(ApplySkin(17));
  Open();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectMessageBox);
  MessageBoxW(demo_.window, L"数据已保存。", L"皮肤提示", MB_OK);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(g_box.found);
  EXPECT_EQ(g_box.text_back, Expected(17, Colour::WindowBack));
  EXPECT_EQ(g_box.text_color, Expected(17, Colour::WindowText));
}

}  // namespace
}  // namespace zz::skin
