#include "qv_button.h"

CQvButton::CQvButton() = default;

CQvButton::CQvButton(const wchar_t* text, int left) {
  Init(text, left, 180, 70, 29, 8, 3, nullptr);
}

void CQvButton::Init(const wchar_t* text, int left, int top, int w, int h, int edge, int frames,
                     HWND owner_window) {
  image_id = kQvButtonImageId;
  resource_type = L"IMG";
  state = kQvButtonNormal;
  caption = text ? text : L"";
  Place(left, top, w, h);
  edge_width = edge;
  frame_count = frames;
  base_name = L"button";
  extension = L".png";
  on_press = nullptr;
  on_click = nullptr;
  caption_x = 0;
  caption_y = 0;
  window = owner_window;
}

void CQvButton::Draw(HDC dc, int left, int top) {
  if (!visible || !dc) return;
  state = QvClampState(state, image_count);
  DrawPicture(dc,
              QvPictureSource{image_id, frame_count, edge_width, resource_type, file_path, base_name,
                              extension},
              state, left, top, width, height);
  if (!caption.empty())
    WriteCaption(dc, caption, font, text_color, left + caption_x, top + caption_y,
                 width - caption_x, height, true);
}

void CQvButton::SetState(int new_state) {
  state = new_state;
  Refresh(false);
}

bool CQvButton::OnMouse(int px, int py, int kind, void* owner) {
  if (!QvBoxHit(Box(), px, py)) {
    // A press or release elsewhere ends this button's press: a later
    // release on it must not count as a click.
    if (kind == kQvMouseDown || kind == kQvMouseUp) pressed = false;
    if (state != kQvButtonNormal) SetState(kQvButtonNormal);
    return false;
  }
  switch (kind) {
    case kQvMouseDown:
      pressed = true;
      SetState(kQvButtonPressed);
      if (on_press) on_press(owner);
      break;
    case kQvMouseUp:
      if (pressed) {
        pressed = false;
        SetState(kQvButtonClicked);
        if (on_click) on_click(owner);
      }
      break;
    case kQvMouseMove:
      if (state != kQvButtonHover) SetState(kQvButtonHover);
      break;
  }
  return true;
}
