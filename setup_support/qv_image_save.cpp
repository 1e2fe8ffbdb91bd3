// Saving pictures through GDI+'s encoders, chosen by MIME type.
#include <memory>
#include <string>
#include <vector>

#include "qv_image.h"

namespace {

// A bitmap of w x h compatible with a DC, selected into a memory DC of its
// own until Deselect.
class MemoryBitmap {
 public:
  MemoryBitmap(HDC like, int width, int height)
      : dc_(CreateCompatibleDC(like)), bitmap_(CreateCompatibleBitmap(like, width, height)) {
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryBitmap() {
    Deselect();
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  bool ok() const { return old_ != nullptr; }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  void Deselect() {
    if (old_) SelectObject(dc_, old_);
    old_ = nullptr;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_ = nullptr;
};

// The bitmap's pixels, copied out: GDI+ is never handed a bitmap that may
// still be selected into a DC (it cannot read one reliably). Top-down
// 32-bit rows; alpha is not kept, as GDI+ keeps none from a bitmap.
struct PixelCopy {
  int width = 0, height = 0;
  std::vector<BYTE> bits;
};

bool CopyPixels(HBITMAP bitmap, PixelCopy& copy) {
  BITMAP info = {};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
    return false;
  copy.width = info.bmWidth;
  copy.height = info.bmHeight;
  copy.bits.assign(static_cast<std::size_t>(copy.width) * copy.height * 4, 0);
  BITMAPINFO header = {};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = copy.width;
  header.bmiHeader.biHeight = -copy.height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(copy.height), copy.bits.data(),
                             &header, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return rows == copy.height;
}

std::wstring MimeType(const wchar_t* format) {
  return std::wstring(L"image/") + (format ? format : L"");
}

}  // namespace

int CQvImage::GetEncoderClsid(const wchar_t* mime_type, CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return -1;
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return -1;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mime_type) == 0) {
      *clsid = codecs[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool CQvImage::SavePic(const wchar_t* source_file, const wchar_t* target_file,
                       const wchar_t* format) {
  CLSID clsid;
  if (!source_file || !target_file || GetEncoderClsid(MimeType(format).c_str(), &clsid) < 0)
    return false;
  Gdiplus::Image image(source_file);
  if (image.GetLastStatus() != Gdiplus::Ok) return false;
  return image.Save(target_file, &clsid, nullptr) == Gdiplus::Ok;
}

bool CQvImage::SaveBitmap(HBITMAP bitmap, const wchar_t* target_file, const wchar_t* format) {
  CLSID clsid;
  PixelCopy copy;
  if (!target_file || GetEncoderClsid(MimeType(format).c_str(), &clsid) < 0 ||
      !CopyPixels(bitmap, copy))
    return false;
  Gdiplus::Bitmap picture(copy.width, copy.height, copy.width * 4, PixelFormat32bppRGB,
                          copy.bits.data());
  return picture.Save(target_file, &clsid, nullptr) == Gdiplus::Ok;
}

bool CQvImage::SavePic(HDC dc, RECT rect, const wchar_t* target_file, const wchar_t* format) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (!dc || width <= 0 || height <= 0) return false;
  MemoryBitmap copy(dc, width, height);
  if (!copy.ok()) return false;
  BitBlt(copy.dc(), 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
  copy.Deselect();
  return SaveBitmap(copy.bitmap(), target_file, format);
}

bool CQvImage::SavePic(HWND window, const wchar_t* target_file, const wchar_t* format) {
  RECT client = {};
  if (!GetClientRect(window, &client)) return false;
  HDC dc = GetDC(window);
  const bool saved = SavePic(dc, client, target_file, format);
  ReleaseDC(window, dc);
  return saved;
}

bool CQvImage::SaveScreen(const wchar_t* target_file, const wchar_t* format) {
  HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (!screen) return false;
  const RECT all = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const bool saved = SavePic(screen, all, target_file, format);
  DeleteDC(screen);
  return saved;
}

bool CQvImage::BmToStream(HBITMAP bitmap, IStream* stream, const wchar_t* format) {
  CLSID clsid;
  PixelCopy copy;
  if (!stream || GetEncoderClsid(MimeType(format).c_str(), &clsid) < 0 || !CopyPixels(bitmap, copy))
    return false;
  Gdiplus::Bitmap picture(copy.width, copy.height, copy.width * 4, PixelFormat32bppRGB,
                          copy.bits.data());
  // The stream may hold an earlier, longer picture: it ends up holding this
  // one only, rewound for its reader.
  LARGE_INTEGER zero = {};
  ULARGE_INTEGER end = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  const bool saved = picture.Save(stream, &clsid, nullptr) == Gdiplus::Ok;
  stream->Seek(zero, STREAM_SEEK_CUR, &end);
  stream->SetSize(end);
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  return saved;
}
