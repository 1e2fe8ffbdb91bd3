// Frame animations of the image service: each running movie draws its steps
// into a memory picture on a thread of its own and shows them in its window.
#include "qv_dc.h"
#include "qv_image.h"
#include "qv_thread.h"

namespace {

// A restart waits this long for the previous run's thread, which its stop
// woke from its pause, to finish the step it is drawing.
const DWORD kRestartWaitMs = 2000;

std::unique_ptr<Gdiplus::Image> LoadMovieSource(const tagQvMovie& movie) {
  if (movie.source_kind == 1)
    return std::unique_ptr<Gdiplus::Image>(new Gdiplus::Image(movie.file.c_str()));
  return std::unique_ptr<Gdiplus::Image>(
      CQvImage::LoadPngFromRes(movie.resource_id, movie.resource_type.c_str()));
}

// True when the thread has ended (its handle is then closed) or there was none.
bool WaitAndClose(HANDLE& thread, DWORD timeout_ms) {
  if (!thread) return true;
  if (WaitForSingleObject(thread, timeout_ms) != WAIT_OBJECT_0) return false;
  CloseHandle(thread);
  thread = nullptr;
  return true;
}

std::unique_ptr<tagQvMovie> NewMovie(HWND window, int x, int y, int frame_count, int interval,
                                     int id, int effect, int width, int height, HDC background) {
  auto movie = std::make_unique<tagQvMovie>();
  movie->window = window;
  movie->background = background;
  movie->id = id;
  movie->effect = effect;
  movie->x = x;
  movie->y = y;
  movie->width = width;
  movie->height = height;
  movie->frame_count = frame_count;
  movie->interval = interval;
  return movie;
}

}  // namespace

bool CQvImage::AddMovie(HWND window, const wchar_t* file, int x, int y, int frame_count,
                        int interval, int id, int effect, int width, int height, HDC background) {
  auto movie = NewMovie(window, x, y, frame_count, interval, id, effect, width, height, background);
  movie->source_kind = 1;
  movie->file = file ? file : L"";
  return AddMovieEntry(std::move(movie));
}

bool CQvImage::AddMovie(HWND window, int resource_id, const wchar_t* resource_type, int x, int y,
                        int frame_count, int interval, int id, int effect, int width, int height,
                        HDC background) {
  auto movie = NewMovie(window, x, y, frame_count, interval, id, effect, width, height, background);
  movie->source_kind = 0;
  movie->resource_id = resource_id;
  movie->resource_type = resource_type ? resource_type : L"";
  return AddMovieEntry(std::move(movie));
}

bool CQvImage::AddMovieEntry(std::unique_ptr<tagQvMovie> movie) {
  if (!QvMovieIsPlayable(movie->effect, movie->frame_count, movie->interval)) return false;
  std::lock_guard<std::mutex> lock(movies_mutex_);
  if (FindMovie(movie->id)) return true;
  movie->owner = this;
  movie->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!movie->wake) return false;
  movies_.push_back(std::move(movie));
  return true;
}

tagQvMovie* CQvImage::FindMovie(int id) {
  for (auto& movie : movies_)
    if (movie->id == id) return movie.get();
  return nullptr;
}

bool CQvImage::isExistsMovie(int id) {
  std::lock_guard<std::mutex> lock(movies_mutex_);
  return FindMovie(id) != nullptr;
}

int CQvImage::GetMovieIndex(int id) {
  std::lock_guard<std::mutex> lock(movies_mutex_);
  for (std::size_t i = 0; i < movies_.size(); ++i)
    if (movies_[i]->id == id) return static_cast<int>(i);
  return -1;
}

void CQvImage::StartMovie(int id) {
  stop_all_ = false;
  std::lock_guard<std::mutex> lock(movies_mutex_);
  tagQvMovie* movie = FindMovie(id);
  if (!movie || !movie->stopped) return;
  // Two threads must never play one entry: a run stopped a moment ago may
  // still be finishing its step. Still busy after the wait, it keeps the
  // entry and this start is dropped.
  if (!WaitAndClose(movie->thread, kRestartWaitMs)) return;
  ResetEvent(movie->wake);
  movie->stopped = 0;
  movie->thread = CQvThread::StartThread(&CQvImage::MovieThread, movie, FALSE);
  if (!movie->thread) movie->stopped = 1;
}

void CQvImage::StopMovie(int id) {
  std::lock_guard<std::mutex> lock(movies_mutex_);
  if (tagQvMovie* movie = FindMovie(id)) {
    movie->stopped = 1;
    SetEvent(movie->wake);
  }
}

bool CQvImage::isStop(int id) {
  std::lock_guard<std::mutex> lock(movies_mutex_);
  tagQvMovie* movie = FindMovie(id);
  return movie && movie->stopped != 0;
}

bool CQvImage::StopAllMovies(DWORD timeout_ms) {
  stop_all_ = true;
  std::lock_guard<std::mutex> lock(movies_mutex_);
  for (auto& movie : movies_) SetEvent(movie->wake);
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  bool all_ended = true;
  for (auto& movie : movies_) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    all_ended = WaitAndClose(movie->thread, left) && all_ended;
  }
  return all_ended;
}

void CQvImage::PlayStep(tagQvMovie& movie, HDC dc, int step) {
  // No memory picture (an empty rectangle): nothing to draw into.
  if (!dc) return;
  std::unique_ptr<Gdiplus::Image> image = LoadMovieSource(movie);
  if (!image || image->GetLastStatus() != Gdiplus::Ok) return;
  switch (movie.effect) {
    case kQvMovieFrames: {
      const QvBox frame =
          QvFrameSource(static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()),
                        movie.frame_count, step);
      const RECT src = {frame.x, frame.y, frame.x + frame.width, frame.y + frame.height};
      DrawImg(dc, image.get(), 0, 0, 0, 0, &src);
      break;
    }
    case kQvMovieRotateFlip:
      DrawTurnedImage(dc, image.get(), 0, 0, 0, 0, static_cast<Gdiplus::RotateFlipType>(step),
                      1.0f);
      break;
    case kQvMovieRotate:
      DrawRotatedImage(dc, image.get(), QvMovieAngle(step, movie.frame_count), 0, 0, 0, 0);
      break;
    case kQvMovieFadeIn:
    case kQvMovieFadeOut:
      DrawScaledImage(dc, image.get(), 1, 1, 1, QvMovieAlpha(movie.effect, step, movie.frame_count),
                      0, 0, movie.width, movie.height);
      break;
    default:
      break;
  }
}

unsigned __stdcall CQvImage::MovieThread(void* entry) {
  tagQvMovie& movie = *static_cast<tagQvMovie*>(entry);
  CQvImage& self = *movie.owner;
  HDC window_dc = GetDC(movie.window);
  RECT rect = {movie.x, movie.y, movie.x + movie.width, movie.y + movie.height};
  {
    CQvDC frame(window_dc, rect, false, false, movie.window);
    int step = 0;
    while (!self.stop_all_ && !movie.stopped) {
      if (movie.background)
        BitBlt(frame.GetMemDC(), 0, 0, movie.width, movie.height, movie.background, movie.x,
               movie.y, SRCCOPY);
      self.PlayStep(movie, frame.GetMemDC(), step);
      frame.Draw();
      if (QvMovieIsLastStep(movie.effect, step, movie.frame_count)) break;
      // A stop sets the event: the pause ends at once.
      WaitForSingleObject(movie.wake, static_cast<DWORD>(movie.interval));
      step = (step + 1) % movie.frame_count;
    }
  }
  ReleaseDC(movie.window, window_dc);
  // Whatever ended the run, the entry now reads stopped and can start again.
  movie.stopped = 1;
  return 0;
}
