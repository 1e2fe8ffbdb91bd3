#include "qv_image.h"

#include <memory>

#include "qv_shell.h"

using Gdiplus::Image;

namespace {

std::unique_ptr<Image> LoadFromFile(const wchar_t* file) {
  if (!file) return nullptr;
  return std::unique_ptr<Image>(new Image(file));
}

// A stream holds one whole picture: it is read from its start however far
// an earlier reader or writer left it.
std::unique_ptr<Image> LoadFromStream(IStream* stream) {
  if (!stream) return nullptr;
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  return std::unique_ptr<Image>(new Image(stream));
}

// The three ways a picture comes in besides a loaded image. A picture GDI+
// cannot decode is still an attempted drawing.
template <class Draw>
bool WithResource(HDC dc, int id, const wchar_t* type, Draw draw) {
  if (!dc) return false;
  std::unique_ptr<Image> image(CQvImage::LoadPngFromRes(id, type));
  if (!image) return false;
  draw(image.get());
  return true;
}

template <class Draw>
bool WithFile(HDC dc, const wchar_t* file, Draw draw) {
  if (!dc || !file) return false;
  draw(LoadFromFile(file).get());
  return true;
}

template <class Draw>
bool WithStream(HDC dc, IStream* stream, Draw draw) {
  if (!dc || !stream) return false;
  draw(LoadFromStream(stream).get());
  return true;
}

QvBox WholePicture(Image* image) {
  return QvBox{0, 0, static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight())};
}

void DrawPiece(Gdiplus::Graphics& graphics, Image* image, const QvPiece& piece,
               Gdiplus::ImageAttributes* attributes = nullptr) {
  QvBox target = piece.target;
  if (target.width == 0 || target.height == 0) {
    target.width = piece.source.width;
    target.height = piece.source.height;
  }
  // A stretched piece is placed a hair up and to the left: some scales
  // otherwise map the first target column or row a rounding error before
  // the source, and it is left out, a see-through seam between pieces.
  const bool stretched = target.width != piece.source.width || target.height != piece.source.height;
  const float nudge = stretched ? 1.0f / 64 : 0.0f;
  graphics.DrawImage(image,
                     Gdiplus::RectF(target.x - nudge, target.y - nudge,
                                    static_cast<float>(target.width),
                                    static_cast<float>(target.height)),
                     static_cast<float>(piece.source.x), static_cast<float>(piece.source.y),
                     static_cast<float>(piece.source.width),
                     static_cast<float>(piece.source.height), Gdiplus::UnitPixel, attributes);
}

// The whole picture into (x, y, width, height), the picture's own size when
// either is 0.
void DrawWhole(HDC dc, Image* image, int x, int y, int width, int height,
               Gdiplus::ImageAttributes* attributes) {
  Gdiplus::Graphics graphics(dc);
  DrawPiece(graphics, image, QvPiece{{x, y, width, height}, WholePicture(image)}, attributes);
}

// Scales of red, green, blue and alpha on the diagonal, nothing else.
Gdiplus::ColorMatrix ScaleMatrix(float red, float green, float blue, float alpha) {
  Gdiplus::ColorMatrix m = {};
  m.m[0][0] = red;
  m.m[1][1] = green;
  m.m[2][2] = blue;
  m.m[3][3] = alpha;
  return m;
}

}  // namespace

CQvImage::CQvImage() {
  Gdiplus::GdiplusStartup(&token_, &startup_input_, nullptr);
  movies_.reserve(100);
}

CQvImage::~CQvImage() {
  // A movie thread still inside a step after the wait keeps its entry and
  // GDI+: the process is ending, and freeing them under it would crash.
  if (!StopAllMovies()) return;
  for (auto& movie : movies_)
    if (movie->wake) CloseHandle(movie->wake);
  movies_.clear();
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

CQvImage& CQvImage::Instance() {
  static CQvImage instance;
  return instance;
}

void CQvImage::DrawScaledImage(HDC dc, Image* image, float red, float green, float blue,
                               float alpha, int x, int y, int width, int height) {
  if (!image) return;
  Gdiplus::ColorMatrix matrix = ScaleMatrix(red, green, blue, alpha);
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&matrix);
  DrawWhole(dc, image, x, y, width, height, &attributes);
}

void CQvImage::DrawTurnedImage(HDC dc, Image* image, int x, int y, int width, int height,
                               Gdiplus::RotateFlipType turn, float opacity) {
  if (!image) return;
  // Turns this loaded copy only.
  image->RotateFlip(turn);
  DrawScaledImage(dc, image, 1, 1, 1, opacity, x, y, width, height);
}

void CQvImage::DrawRotatedImage(HDC dc, Image* image, int angle, int x, int y, int width,
                                int height) {
  if (!image) return;
  if (width == 0 || height == 0) {
    width = static_cast<int>(image->GetWidth());
    height = static_cast<int>(image->GetHeight());
  }
  const float cx = static_cast<float>(x + width / 2), cy = static_cast<float>(y + height / 2);
  Gdiplus::Graphics graphics(dc);
  graphics.TranslateTransform(cx, cy);
  graphics.RotateTransform(static_cast<float>(angle));
  graphics.TranslateTransform(-cx, -cy);
  DrawPiece(graphics, image, QvPiece{{x, y, width, height}, WholePicture(image)});
  graphics.ResetTransform();
}

void CQvImage::DrawKeyedImage(HDC dc, Image* image, Gdiplus::ARGB upper_key,
                              Gdiplus::ARGB lower_key, int x, int y, int width, int height) {
  if (!image) return;
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorKey(Gdiplus::Color(lower_key), Gdiplus::Color(upper_key));
  DrawWhole(dc, image, x, y, width, height, &attributes);
}

Image* CQvImage::LoadPngFromRes(int id, const wchar_t* type) {
  // Resource ids are 16 bits: anything else would name another resource.
  if (id <= 0 || id > 0xFFFF) return nullptr;
  // A copy of the bytes in a stream that frees them with its last reference.
  IStream* stream = QvResGetStream(static_cast<WORD>(id), type);
  if (!stream) return nullptr;
  Image* image = Image::FromStream(stream);
  stream->Release();
  if (image && image->GetLastStatus() != Gdiplus::Ok) {
    delete image;
    return nullptr;
  }
  return image;
}

bool CQvImage::DrawImg(HDC dc, Image* image, int x, int y, int width, int height, const RECT* src,
                       Gdiplus::ImageAttributes* attributes) {
  if (!dc || !image) return false;
  if (!src) {
    DrawWhole(dc, image, x, y, width, height, attributes);
    return true;
  }
  Gdiplus::Graphics graphics(dc);
  const QvBox source{src->left, src->top, src->right - src->left, src->bottom - src->top};
  DrawPiece(graphics, image, QvPiece{{x, y, width, height}, source}, attributes);
  return true;
}

bool CQvImage::DrawImg(HDC dc, int id, const wchar_t* type, int x, int y, int width, int height,
                       const RECT* src) {
  return WithResource(dc, id, type, [&](Image* i) { DrawImg(dc, i, x, y, width, height, src); });
}

bool CQvImage::DrawImg(HDC dc, const wchar_t* file, int x, int y, int width, int height,
                       const RECT* src) {
  return WithFile(dc, file, [&](Image* i) { DrawImg(dc, i, x, y, width, height, src); });
}

bool CQvImage::DrawImg(HDC dc, IStream* stream, int x, int y, int width, int height,
                       const RECT* src) {
  return WithStream(dc, stream, [&](Image* i) { DrawImg(dc, i, x, y, width, height, src); });
}

bool CQvImage::DrawStretchImg(HDC dc, Image* image, int x, int y, int width, int height,
                              int edge_width, int frame_count, int frame_index, int edge_height) {
  if (!dc || !image) return false;
  const QvBox source =
      QvFrameSource(static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()),
                    frame_count, frame_index);
  const QvBox target{x, y, width, height};
  std::vector<QvPiece> pieces;
  if (edge_height > 0)
    pieces = QvSliceNine(target, source, edge_height, edge_width);
  else if (edge_width > 0)
    pieces = QvSliceH(target, source, edge_width);
  else
    pieces.push_back(QvPiece{target, source});
  Gdiplus::Graphics graphics(dc);
  for (const QvPiece& piece : pieces) DrawPiece(graphics, image, piece);
  return true;
}

bool CQvImage::DrawStretchImg(HDC dc, int id, const wchar_t* type, int x, int y, int width,
                              int height, int edge_width, int frame_count, int frame_index,
                              int edge_height) {
  return WithResource(dc, id, type, [&](Image* i) {
    DrawStretchImg(dc, i, x, y, width, height, edge_width, frame_count, frame_index, edge_height);
  });
}

bool CQvImage::DrawStretchImg(HDC dc, const wchar_t* file, int x, int y, int width, int height,
                              int edge_width, int frame_count, int frame_index, int edge_height) {
  return WithFile(dc, file, [&](Image* i) {
    DrawStretchImg(dc, i, x, y, width, height, edge_width, frame_count, frame_index, edge_height);
  });
}

bool CQvImage::DrawStretchImg(HDC dc, IStream* stream, int x, int y, int width, int height,
                              int edge_width, int frame_count, int frame_index, int edge_height) {
  return WithStream(dc, stream, [&](Image* i) {
    DrawStretchImg(dc, i, x, y, width, height, edge_width, frame_count, frame_index, edge_height);
  });
}

bool CQvImage::DrawRotateFlip(HDC dc, int id, const wchar_t* type, int x, int y, int width,
                              int height, Gdiplus::RotateFlipType turn, float opacity) {
  return WithResource(
      dc, id, type, [&](Image* i) { DrawTurnedImage(dc, i, x, y, width, height, turn, opacity); });
}

bool CQvImage::DrawRotateFlip(HDC dc, const wchar_t* file, int x, int y, int width, int height,
                              Gdiplus::RotateFlipType turn, float opacity) {
  return WithFile(dc, file,
                  [&](Image* i) { DrawTurnedImage(dc, i, x, y, width, height, turn, opacity); });
}

bool CQvImage::DrawRotateFlip(HDC dc, IStream* stream, int x, int y, int width, int height,
                              Gdiplus::RotateFlipType turn, float opacity) {
  return WithStream(dc, stream,
                    [&](Image* i) { DrawTurnedImage(dc, i, x, y, width, height, turn, opacity); });
}

bool CQvImage::DrawRotate(HDC dc, int id, const wchar_t* type, int angle, int x, int y, int width,
                          int height) {
  return WithResource(dc, id, type,
                      [&](Image* i) { DrawRotatedImage(dc, i, angle, x, y, width, height); });
}

bool CQvImage::DrawRotate(HDC dc, const wchar_t* file, int angle, int x, int y, int width,
                          int height) {
  return WithFile(dc, file, [&](Image* i) { DrawRotatedImage(dc, i, angle, x, y, width, height); });
}

bool CQvImage::DrawRotate(HDC dc, IStream* stream, int angle, int x, int y, int width, int height) {
  return WithStream(dc, stream,
                    [&](Image* i) { DrawRotatedImage(dc, i, angle, x, y, width, height); });
}

bool CQvImage::DrawTranImg(HDC dc, int id, const wchar_t* type, Gdiplus::ARGB upper_key,
                           Gdiplus::ARGB lower_key, int x, int y, int width, int height) {
  return WithResource(dc, id, type, [&](Image* i) {
    DrawKeyedImage(dc, i, upper_key, lower_key, x, y, width, height);
  });
}

bool CQvImage::DrawTranImg(HDC dc, const wchar_t* file, Gdiplus::ARGB upper_key,
                           Gdiplus::ARGB lower_key, int x, int y, int width, int height) {
  return WithFile(dc, file, [&](Image* i) {
    DrawKeyedImage(dc, i, upper_key, lower_key, x, y, width, height);
  });
}

bool CQvImage::DrawTranImg(HDC dc, IStream* stream, Gdiplus::ARGB upper_key,
                           Gdiplus::ARGB lower_key, int x, int y, int width, int height) {
  return WithStream(dc, stream, [&](Image* i) {
    DrawKeyedImage(dc, i, upper_key, lower_key, x, y, width, height);
  });
}

bool CQvImage::DrawImgEx(HDC dc, int id, const wchar_t* type, float red, float green, float blue,
                         float alpha, int x, int y, int width, int height) {
  return WithResource(dc, id, type, [&](Image* i) {
    DrawScaledImage(dc, i, red, green, blue, alpha, x, y, width, height);
  });
}

bool CQvImage::DrawImgEx(HDC dc, const wchar_t* file, float red, float green, float blue,
                         float alpha, int x, int y, int width, int height) {
  return WithFile(dc, file, [&](Image* i) {
    DrawScaledImage(dc, i, red, green, blue, alpha, x, y, width, height);
  });
}

bool CQvImage::DrawImgEx(HDC dc, IStream* stream, float red, float green, float blue, float alpha,
                         int x, int y, int width, int height) {
  return WithStream(dc, stream, [&](Image* i) {
    DrawScaledImage(dc, i, red, green, blue, alpha, x, y, width, height);
  });
}

void CQvImage::DrawRotate3D(HDC dc, IStream* stream, int x1, int y1, int x2, int y2, int x3,
                            int y3) {
  if (!dc || !stream) return;
  std::unique_ptr<Image> image = LoadFromStream(stream);
  const Gdiplus::Point corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
  Gdiplus::Graphics graphics(dc);
  graphics.DrawImage(image.get(), corners, 3);
}

void CQvImage::DrawString(HDC dc, HFONT font, const wchar_t* text, int x, int y, int width,
                          int height, COLORREF colour, int opacity, bool centred, bool whole_lines,
                          int /*reserved*/) {
  if (!dc || !text) return;
  LOGFONTW logfont = {};
  if (!GetObjectW(font ? font : static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)), sizeof logfont,
                  &logfont))
    return;
  Gdiplus::Graphics graphics(dc);
  Gdiplus::Font gdip_font(dc, &logfont);
  Gdiplus::StringFormat format;
  format.SetAlignment(centred ? Gdiplus::StringAlignmentCenter : Gdiplus::StringAlignmentNear);
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  if (whole_lines) format.SetFormatFlags(Gdiplus::StringFormatFlagsLineLimit);
  Gdiplus::SolidBrush brush(Gdiplus::Color(static_cast<BYTE>(opacity & 0xFF), GetRValue(colour),
                                           GetGValue(colour), GetBValue(colour)));
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintSystemDefault);
  const bool bounded = width != 0 && height != 0;
  const Gdiplus::RectF layout(static_cast<float>(x), static_cast<float>(y),
                              bounded ? static_cast<float>(width) : 0.0f,
                              bounded ? static_cast<float>(height) : 0.0f);
  graphics.DrawString(text, -1, &gdip_font, layout, &format, &brush);
}
