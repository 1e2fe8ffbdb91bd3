// The other drawn controls: a clickable link, a static text, the image
// control base and the check box built on it.
#pragma once

#include <windows.h>

#include <string>

#include "qv_base.h"

class CQvLink : public CQvBase {
 public:
  CQvLink(const wchar_t* caption, int x, int y, int width, int height);

  void SetCaption(const wchar_t* caption, int x, int y, int width, int height);
  void Draw(HDC dc, int x, int y) override;
  void Paint(HDC dc) override { CQvBase::Paint(dc); }
  bool OnMouse(int x, int y, int kind, void* owner) override;

  bool pressed = false;
  bool hover = false;
  std::wstring caption;
  HFONT hover_font = nullptr;  // owned by the font cache
  COLORREF hover_color = RGB(0, 0, 255);
  QvControlCallback on_press = nullptr;
  QvControlCallback on_click = nullptr;
};

// A press on a text still drags the dialog.
class CQvText : public CQvBase {
 public:
  CQvText() { drag_through = true; }

  void SetText(const wchar_t* text, int x, int y, int width, int height);
  void Draw(HDC dc, int x, int y) override;
  void Paint(HDC dc) override { CQvBase::Paint(dc); }

  std::wstring text;
};

// Draws its current picture into a 15 x 15 box.
class CQvBaseEx : public CQvBase {
 public:
  void DrawImage(HDC dc, int x, int y);

  int image_id = 0;
  int frame_count = 1;
  int state = 0;
  int edge_width = 2;
  std::wstring resource_type = L"IMG";
  std::wstring file_path;
  std::wstring base_name;
  std::wstring extension = L".png";
  QvControlCallback on_press = nullptr;
  QvControlCallback on_click = nullptr;
};

constexpr int kQvCheckBoxImageId = 60036;

enum QvCheckState {
  kQvUnchecked = 0,
  kQvUncheckedHover = 1,
  kQvCheckedHover = 2,
  kQvChecked = 3,
};

class CQvCheckBox : public CQvBaseEx {
 public:
  CQvCheckBox();

  // At (50, y), 200 x 20.
  void Init(bool checked, const wchar_t* caption, int y, HWND owner_window);
  void Draw(HDC dc, int x, int y) override;
  void Paint(HDC dc) override { CQvBase::Paint(dc); }
  bool OnMouse(int x, int y, int kind, void* owner) override;

  bool pressed = false;
  std::wstring caption;
  bool checked = false;

 private:
  void SetState(int new_state);
};
