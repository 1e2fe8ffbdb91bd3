// The setup library's one drawing service for pictures and text, over GDI+:
// loading PNG pictures from "IMG" resources, files and streams, drawing them
// plain, sliced, framed, turned, keyed or recoloured, writing text, frame
// animations on threads of their own, and saving pictures in any format GDI+
// has an encoder for.
#pragma once

#include <windows.h>
// gdiplus.h needs the COM types first.
#include <objidl.h>
//
#include <gdiplus.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "qv_image_layout.h"

class CQvImage;

// One frame animation of the movie list.
struct tagQvMovie {
  HWND window = nullptr;
  // When set, each step's background is copied from it at (x, y).
  HDC background = nullptr;
  int id = 0;
  int source_kind = 0;  // 1 file, 0 resource
  int effect = kQvMovieFrames;
  std::wstring file;
  int resource_id = 0;
  std::wstring resource_type;
  int x = 0, y = 0, width = 0, height = 0;
  int frame_count = 1;
  int interval = 0;
  // Written by the caller's thread, read by the movie's thread each step.
  std::atomic<int> stopped{1};
  CQvImage* owner = nullptr;
  // The thread playing the entry, kept so that a restart and the shut-down
  // can wait for it, and the event that cuts its pause short on a stop.
  HANDLE thread = nullptr;
  HANDLE wake = nullptr;
};

class CQvImage {
 public:
  CQvImage();
  // Stops the movies and waits for them before GDI+ goes away under them.
  ~CQvImage();
  // A copy would shut GDI+ down twice and share running movie entries.
  CQvImage(const CQvImage&) = delete;
  CQvImage& operator=(const CQvImage&) = delete;

  static CQvImage& Instance();

  // The caller deletes the image.
  static Gdiplus::Image* LoadPngFromRes(int id, const wchar_t* type);

  // A width or height of 0 means the source rectangle's size, or the
  // picture's own without one.
  bool DrawImg(HDC dc, Gdiplus::Image* image, int x, int y, int width = 0, int height = 0,
               const RECT* src = nullptr, Gdiplus::ImageAttributes* attributes = nullptr);
  bool DrawImg(HDC dc, int id, const wchar_t* type, int x, int y, int width = 0, int height = 0,
               const RECT* src = nullptr);
  bool DrawImg(HDC dc, const wchar_t* file, int x, int y, int width = 0, int height = 0,
               const RECT* src = nullptr);
  bool DrawImg(HDC dc, IStream* stream, int x, int y, int width = 0, int height = 0,
               const RECT* src = nullptr);

  // Frame frame_index of a strip of frame_count, nine-sliced when
  // edge_height > 0, else three-sliced when edge_width > 0, else stretched.
  bool DrawStretchImg(HDC dc, Gdiplus::Image* image, int x, int y, int width, int height,
                      int edge_width = 0, int frame_count = 1, int frame_index = 0,
                      int edge_height = 0);
  bool DrawStretchImg(HDC dc, int id, const wchar_t* type, int x, int y, int width, int height,
                      int edge_width = 0, int frame_count = 1, int frame_index = 0,
                      int edge_height = 0);
  bool DrawStretchImg(HDC dc, const wchar_t* file, int x, int y, int width, int height,
                      int edge_width = 0, int frame_count = 1, int frame_index = 0,
                      int edge_height = 0);
  bool DrawStretchImg(HDC dc, IStream* stream, int x, int y, int width, int height,
                      int edge_width = 0, int frame_count = 1, int frame_index = 0,
                      int edge_height = 0);

  bool DrawRotateFlip(HDC dc, int id, const wchar_t* type, int x, int y, int width, int height,
                      Gdiplus::RotateFlipType turn, float opacity);
  bool DrawRotateFlip(HDC dc, const wchar_t* file, int x, int y, int width, int height,
                      Gdiplus::RotateFlipType turn, float opacity);
  bool DrawRotateFlip(HDC dc, IStream* stream, int x, int y, int width, int height,
                      Gdiplus::RotateFlipType turn, float opacity);

  // Turned by angle degrees about the target rectangle's centre.
  bool DrawRotate(HDC dc, int id, const wchar_t* type, int angle, int x, int y, int width,
                  int height);
  bool DrawRotate(HDC dc, const wchar_t* file, int angle, int x, int y, int width, int height);
  bool DrawRotate(HDC dc, IStream* stream, int angle, int x, int y, int width, int height);

  // Pixels from lower_key to upper_key (ARGB) are left out.
  bool DrawTranImg(HDC dc, int id, const wchar_t* type, Gdiplus::ARGB upper_key,
                   Gdiplus::ARGB lower_key, int x, int y, int width, int height);
  bool DrawTranImg(HDC dc, const wchar_t* file, Gdiplus::ARGB upper_key, Gdiplus::ARGB lower_key,
                   int x, int y, int width, int height);
  bool DrawTranImg(HDC dc, IStream* stream, Gdiplus::ARGB upper_key, Gdiplus::ARGB lower_key, int x,
                   int y, int width, int height);

  // Each channel scaled.
  bool DrawImgEx(HDC dc, int id, const wchar_t* type, float red, float green, float blue,
                 float alpha, int x, int y, int width, int height);
  bool DrawImgEx(HDC dc, const wchar_t* file, float red, float green, float blue, float alpha,
                 int x, int y, int width, int height);
  bool DrawImgEx(HDC dc, IStream* stream, float red, float green, float blue, float alpha, int x,
                 int y, int width, int height);

  // The picture's top-left, top-right and bottom-left corners land on the
  // three points. The stream is read from its start.
  void DrawRotate3D(HDC dc, IStream* stream, int x1, int y1, int x2, int y2, int x3, int y3);

  // Vertically centred, trimmed with an ellipsis; a width or height of 0
  // lays the text out unbounded from (x, y). Without a font, the DC's.
  void DrawString(HDC dc, HFONT font, const wchar_t* text, int x, int y, int width, int height,
                  COLORREF colour, int opacity, bool centred, bool whole_lines, int reserved = 0);

  // Frame animations. An id already in the list adds nothing (still true);
  // a movie that cannot be played is refused (false).
  bool AddMovie(HWND window, const wchar_t* file, int x, int y, int frame_count, int interval,
                int id, int effect, int width, int height, HDC background = nullptr);
  bool AddMovie(HWND window, int resource_id, const wchar_t* resource_type, int x, int y,
                int frame_count, int interval, int id, int effect, int width, int height,
                HDC background = nullptr);
  int GetMovieIndex(int id);
  void StartMovie(int id);
  void StopMovie(int id);
  // False for an id not in the list.
  bool isStop(int id);
  // Stops every movie and waits up to timeout_ms in all for their threads;
  // true when none still runs. The application's exit calls it before the
  // services go away.
  bool StopAllMovies(DWORD timeout_ms = 2000);

  // Saving, the format being the MIME subtype ("png", "bmp"): false when
  // GDI+ has no such encoder or the picture could not be saved.
  bool SavePic(const wchar_t* source_file, const wchar_t* target_file, const wchar_t* format);
  bool SavePic(HDC dc, RECT rect, const wchar_t* target_file, const wchar_t* format);
  bool SavePic(HWND window, const wchar_t* target_file, const wchar_t* format);
  bool SaveScreen(const wchar_t* target_file, const wchar_t* format);
  // The stream ends up holding only the picture and is left at its start,
  // ready to be read.
  bool BmToStream(HBITMAP bitmap, IStream* stream, const wchar_t* format);

 private:
  bool isExistsMovie(int id);
  tagQvMovie* FindMovie(int id);
  bool AddMovieEntry(std::unique_ptr<tagQvMovie> movie);
  static unsigned __stdcall MovieThread(void* entry);
  // The drawings of a loaded picture that the movies share with the forms.
  static void DrawTurnedImage(HDC dc, Gdiplus::Image* image, int x, int y, int width, int height,
                              Gdiplus::RotateFlipType turn, float opacity);
  static void DrawRotatedImage(HDC dc, Gdiplus::Image* image, int angle, int x, int y, int width,
                               int height);
  static void DrawKeyedImage(HDC dc, Gdiplus::Image* image, Gdiplus::ARGB upper_key,
                             Gdiplus::ARGB lower_key, int x, int y, int width, int height);
  static void DrawScaledImage(HDC dc, Gdiplus::Image* image, float red, float green, float blue,
                              float alpha, int x, int y, int width, int height);
  void PlayStep(tagQvMovie& movie, HDC dc, int step);
  static int GetEncoderClsid(const wchar_t* mime_type, CLSID* clsid);
  static bool SaveBitmap(HBITMAP bitmap, const wchar_t* target_file, const wchar_t* format);

  Gdiplus::GdiplusStartupInput startup_input_;
  ULONG_PTR token_ = 0;
  std::atomic<bool> stop_all_{false};
  std::mutex movies_mutex_;
  // Entries stay at their address for the life of the service: threads hold
  // pointers to them while the list grows.
  std::vector<std::unique_ptr<tagQvMovie>> movies_;
};
