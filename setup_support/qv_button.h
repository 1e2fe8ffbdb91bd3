// The image button: one picture per state from the module's resources, a
// skin theme folder or a file of its own, stretched with fixed edges, with
// a centred caption and press and click callbacks.
#pragma once

#include <windows.h>

#include <string>

#include "qv_base.h"

// The library's default button pictures, one per state.
constexpr int kQvButtonImageId = 60001;

enum QvButtonState { kQvButtonNormal = 0, kQvButtonHover = 1, kQvButtonPressed = 2, kQvButtonClicked = 3 };

class CQvButton : public CQvBase {
 public:
  // At (x, 180), 70 x 29, edges of 8 and a strip of three frames.
  CQvButton(const wchar_t* caption, int x);
  // No caption, no rectangle, one frame, edges of 2.
  CQvButton();

  void Init(const wchar_t* caption, int x, int y, int width, int height, int edge_width,
            int frame_count, HWND owner_window);

  void Draw(HDC dc, int x, int y) override;
  void Paint(HDC dc) override { CQvBase::Paint(dc); }
  bool OnMouse(int x, int y, int kind, void* owner) override;

  bool pressed = false;
  int image_id = kQvButtonImageId;
  int frame_count = 1;
  int state = kQvButtonNormal;
  int edge_width = 2;
  int caption_x = 0;
  int caption_y = 0;
  std::wstring caption;
  std::wstring resource_type = L"IMG";
  std::wstring file_path;
  std::wstring base_name = L"button";
  std::wstring extension = L".png";
  QvControlCallback on_press = nullptr;
  QvControlCallback on_click = nullptr;

 private:
  void SetState(int new_state);
};
