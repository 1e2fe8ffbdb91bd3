// The base of every drawn control and of the library's windows: a rectangle
// in the owner dialog's client area, a font, a colour, and the dialog's
// window and pictures that the dialog hands over.
#pragma once

#include <windows.h>

#include <string>

#include "qv_control_geometry.h"

// Callbacks get the dialog that owns the control.
typedef void (*QvControlCallback)(void* owner);

// What the dialog tells its controls about the mouse.
enum QvMouseKind { kQvMouseDown = 0, kQvMouseUp = 1, kQvMouseMove = 4 };

// Image source value that makes a control draw its own picture file.
constexpr int kQvImageFromFile = 3;

// Where a control's pictures come from: module resources of a type, a file
// of its own, or skin files named after a base name.
struct QvPictureSource {
  int image_id;
  int frame_count;
  int edge_width;
  const std::wstring& resource_type;
  const std::wstring& file_path;
  const std::wstring& base_name;
  const std::wstring& extension;
};

class CQvBase {
 public:
  CQvBase();
  virtual ~CQvBase() = default;
  CQvBase(const CQvBase&) = delete;
  CQvBase& operator=(const CQvBase&) = delete;

  // Draws the control with its top-left corner at (x, y) of dc.
  virtual void Draw(HDC dc, int x, int y);
  // Paints the control into the dialog's picture at its own place; the
  // controls share this body, which draws only what is in view.
  virtual void Paint(HDC dc) = 0;
  // True when the point is on the control.
  virtual bool OnMouse(int x, int y, int kind, void* owner);

  bool IsInView();
  // Draws this control alone straight onto the window; with keep, its new
  // look goes into the dialog's last frame as well.
  void Refresh(bool keep);
  // The stored window, else the application's main window (then stored).
  HWND OwnerWindow();
  QvBox Box() const { return QvBox{x, y, width, height}; }
  void Place(int left, int top, int w, int h) {
    x = left;
    y = top;
    width = w;
    height = h;
  }

  // Draws the picture of a state into (px, py, w, h): the control's own
  // file, else the skin's theme file, else the module resource.
  void DrawPicture(HDC dc, const QvPictureSource& source, int state, int px, int py, int w, int h);
  // Writes text into (px, py, w, h) in the control's font at the opacity
  // the controls use.
  void WriteCaption(HDC dc, const std::wstring& text, HFONT text_font, COLORREF colour, int px,
                    int py, int w, int h, bool centred);

  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  HFONT font = nullptr;  // owned by the font cache
  COLORREF text_color = 0;
  HWND window = nullptr;
  bool visible = true;
  int image_source = 0;
  int image_count = 4;
  bool drag_through = false;
  HDC background_dc = nullptr;
  HDC last_frame_dc = nullptr;
  bool layered = false;
};
