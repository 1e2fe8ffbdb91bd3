#include "qv_base.h"

#include "qv_app.h"
#include "qv_dc.h"
#include "qv_font.h"
#include "qv_image.h"
#include "qv_skin.h"

CQvBase::CQvBase() {
  CQvFont& fonts = CQvFont::Instance();
  font = fonts.GetFont(fonts.GetDefaultSize(), nullptr, false, false);
}

void CQvBase::Draw(HDC, int, int) {}

void CQvBase::Paint(HDC dc) {
  if (IsInView()) Draw(dc, x, y);
}

bool CQvBase::OnMouse(int, int, int, void*) { return false; }

HWND CQvBase::OwnerWindow() {
  if (!window) window = CQvApp::Instance().GetMainWnd();
  return window;
}

bool CQvBase::IsInView() {
  if (!visible) return false;
  RECT rect = {0, 0, 0, 0};
  if (HWND owner = OwnerWindow()) GetWindowRect(owner, &rect);
  return QvBoxTouchesArea(Box(), rect.right - rect.left, rect.bottom - rect.top);
}

void CQvBase::Refresh(bool keep) {
  if (!IsInView()) return;
  HWND owner = OwnerWindow();
  if (!owner) return;
  HDC window_dc = GetDC(owner);
  if (!window_dc) return;
  CQvDC frame;
  if (layered) {
    // A layered window is always shown whole: start from the last frame
    // and put this control's new look into it.
    RECT window_rect = {0, 0, 0, 0};
    GetWindowRect(owner, &window_rect);
    RECT whole = {0, 0, window_rect.right - window_rect.left, window_rect.bottom - window_rect.top};
    frame.CreateMemDC(window_dc, whole, false, true, owner);
    HDC memory = frame.GetMemDC();
    if (memory) {
      if (last_frame_dc) BitBlt(memory, 0, 0, whole.right, whole.bottom, last_frame_dc, 0, 0, SRCCOPY);
      if (background_dc) BitBlt(memory, x, y, width, height, background_dc, x, y, SRCCOPY);
      Draw(memory, x, y);
      if (keep && last_frame_dc) BitBlt(last_frame_dc, x, y, width, height, memory, x, y, SRCCOPY);
    }
  } else {
    RECT place = {x, y, x + width, y + height};
    frame.CreateMemDC(window_dc, place, false, false, nullptr);
    HDC memory = frame.GetMemDC();
    if (memory) {
      if (background_dc) BitBlt(memory, 0, 0, width, height, background_dc, x, y, SRCCOPY);
      Draw(memory, 0, 0);
      if (keep && last_frame_dc) BitBlt(last_frame_dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    }
  }
  frame.Draw();
  frame.Release();
  ReleaseDC(owner, window_dc);
}

namespace {

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CQvBase::DrawPicture(HDC dc, const QvPictureSource& source, int state, int px, int py, int w,
                          int h) {
  CQvImage& images = CQvImage::Instance();
  const std::wstring* file = nullptr;
  std::wstring theme_file;
  if (image_source == kQvImageFromFile) {
    if (!source.file_path.empty() && IsFile(source.file_path)) file = &source.file_path;
  } else {
    CQvSkin& skin = CQvSkin::Instance();
    int type = skin.GetResType();
    if (type == kQvResTheme) {
      wchar_t theme[MAX_PATH] = {};
      skin.GetThemesPath(theme);
      theme_file = QvSkinFileName(theme, source.base_name.c_str(), state, source.extension.c_str(),
                                  MAX_PATH);
      if (!theme_file.empty() && IsFile(theme_file)) file = &theme_file;
    } else if (type == kQvResPackage) {
      // The package hands no picture back: the module's own is drawn.
      skin.GetRes(source.base_name.c_str(), nullptr);
    }
  }
  if (file) {
    images.DrawStretchImg(dc, file->c_str(), px, py, w, h, source.edge_width, source.frame_count,
                          state, 0);
    return;
  }
  int id = image_count > 1 ? source.image_id + state : source.image_id;
  images.DrawStretchImg(dc, id, source.resource_type.c_str(), px, py, w, h, source.edge_width,
                        source.frame_count, state, 0);
}

void CQvBase::WriteCaption(HDC dc, const std::wstring& text, HFONT text_font, COLORREF colour, int px,
                       int py, int w, int h, bool centred) {
  CQvImage::Instance().DrawString(dc, text_font, text.c_str(), px, py, w, h, colour, 254, centred,
                                  true, 0);
}
