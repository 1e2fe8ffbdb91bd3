// Starts frame animations in a window and ends while they still run: the
// image service must stop them before GDI+ goes away, and exit cleanly.
#include <filesystem>

#include "qv_image.h"
#include "qv_image_test_pictures.h"

int main() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path strip = std::filesystem::path(temp) / L"qv_image_exit_strip.png";
  if (!qv_test::Strip().SavePng(strip)) return 2;
  HWND window = CreateWindowExW(0, L"STATIC", L"movies", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  CQvImage& image = CQvImage::Instance();
  const int effects[] = {kQvMovieFrames, kQvMovieRotateFlip, kQvMovieRotate, kQvMovieFadeIn};
  for (int i = 0; i < 4; ++i) {
    image.AddMovie(window, strip.wstring().c_str(), i * 40, 0, 4, 0, i, effects[i], 40, 40);
    image.StartMovie(i);
  }
  Sleep(100);
  // Still drawing, step after step with no pause, as the process ends.
  for (int i = 0; i < 3; ++i)
    if (image.isStop(i)) return 3;
  return 0;
}
