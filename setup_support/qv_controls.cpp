#include "qv_controls.h"

#include "qv_font.h"

namespace {

HCURSOR HandCursor() { return LoadCursorW(nullptr, IDC_HAND); }

bool EndsPress(int kind) { return kind == kQvMouseDown || kind == kQvMouseUp; }

}  // namespace

CQvLink::CQvLink(const wchar_t* text, int left, int top, int w, int h) {
  CQvFont& fonts = CQvFont::Instance();
  hover_font = fonts.GetFont(fonts.GetDefaultSize(), nullptr, false, true);
  font = fonts.GetFont(fonts.GetDefaultSize(), nullptr, false, false);
  text_color = RGB(0, 0, 200);
  SetCaption(text, left, top, w, h);
}

void CQvLink::SetCaption(const wchar_t* text, int left, int top, int w, int h) {
  caption = text ? text : L"";
  Place(left, top, w, h);
}

void CQvLink::Draw(HDC dc, int left, int top) {
  if (!visible || !dc || caption.empty()) return;
  WriteCaption(dc, caption, hover ? hover_font : font, hover ? hover_color : text_color, left, top,
               width, height, false);
}

bool CQvLink::OnMouse(int px, int py, int kind, void* owner) {
  if (!QvBoxHit(Box(), px, py)) {
    if (EndsPress(kind)) pressed = false;
    if (hover) {
      hover = false;
      Refresh(false);
    }
    return false;
  }
  SetCursor(HandCursor());
  switch (kind) {
    case kQvMouseDown:
      pressed = true;
      if (on_press) on_press(owner);
      break;
    case kQvMouseUp:
      if (pressed) {
        pressed = false;
        if (on_click) on_click(owner);
      }
      break;
    case kQvMouseMove:
      if (!hover) {
        hover = true;
        Refresh(false);
      }
      break;
  }
  return true;
}

void CQvText::SetText(const wchar_t* value, int left, int top, int w, int h) {
  text = value ? value : L"";
  Place(left, top, w, h);
  drag_through = true;
}

void CQvText::Draw(HDC dc, int left, int top) {
  if (!dc || text.empty()) return;
  WriteCaption(dc, text, font, text_color, left, top, width, height, false);
}

void CQvBaseEx::DrawImage(HDC dc, int left, int top) {
  if (!visible || !dc) return;
  state = QvClampState(state, image_count);
  DrawPicture(dc,
              QvPictureSource{image_id, frame_count, edge_width, resource_type, file_path, base_name,
                              extension},
              state, left, top, 15, 15);
}

CQvCheckBox::CQvCheckBox() {
  image_id = kQvCheckBoxImageId;
  base_name = L"checkbox";
}

void CQvCheckBox::Init(bool is_checked, const wchar_t* text, int top, HWND owner_window) {
  image_id = kQvCheckBoxImageId;
  checked = is_checked;
  state = is_checked ? kQvChecked : kQvUnchecked;
  caption = text ? text : L"";
  Place(50, top, 200, 20);
  edge_width = 0;
  frame_count = 1;
  base_name = L"checkbox";
  window = owner_window;
}

void CQvCheckBox::Draw(HDC dc, int left, int top) {
  if (!visible || !dc) return;
  DrawImage(dc, left, top);
  if (!caption.empty())
    WriteCaption(dc, caption, font, text_color, left + 20, top - 2, width - 20, height, false);
}

void CQvCheckBox::SetState(int new_state) {
  state = new_state;
  // The box's look stays in the dialog's last frame.
  Refresh(true);
}

bool CQvCheckBox::OnMouse(int px, int py, int kind, void* owner) {
  if (!QvBoxHit(Box(), px, py)) {
    if (EndsPress(kind)) pressed = false;
    if (state != kQvUnchecked && state != kQvChecked)
      SetState(checked ? kQvChecked : kQvUnchecked);
    return false;
  }
  switch (kind) {
    case kQvMouseDown:
      pressed = true;
      if (on_press) on_press(owner);
      break;
    case kQvMouseUp:
      if (pressed) {
        checked = !checked;
        pressed = false;
        SetState(checked ? kQvCheckedHover : kQvUncheckedHover);
        if (on_click) on_click(owner);
      }
      break;
    case kQvMouseMove:
      if (state != kQvUncheckedHover && state != kQvCheckedHover)
        SetState(checked ? kQvCheckedHover : kQvUncheckedHover);
      break;
  }
  return true;
}
