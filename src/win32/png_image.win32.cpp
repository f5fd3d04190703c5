#include "win32/png_image.win32.hpp"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <memory>
#include <gdiplus.h>

#include "win32/startup_timeline.win32.hpp"

namespace kovan::ui {

namespace {

// Pictures are decoded on the user-interface thread only.
ULONG_PTR gdiplusToken = 0;

bool StartGdiplus() {
  if (gdiplusToken) return true;
  const Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) gdiplusToken = 0;
  timeline::Mark("GDI+ started");
  return gdiplusToken != 0;
}

}  // namespace

GdiplusSession::~GdiplusSession() {
  if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
  gdiplusToken = 0;
}

gdi::Bitmap LoadPngResource(const wchar_t* name, int size) { return LoadPngResource(name, size, size); }

gdi::Bitmap LoadPngResource(const wchar_t* name, int width, int height) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) return {};
  HGLOBAL handle = LoadResource(nullptr, info);
  const auto* bytes = static_cast<const BYTE*>(handle ? LockResource(handle) : nullptr);
  if (!bytes || !StartGdiplus()) return {};
  IStream* stream = SHCreateMemStream(bytes, SizeofResource(nullptr, info));
  if (!stream) return {};
  std::unique_ptr<Gdiplus::Bitmap> source(Gdiplus::Bitmap::FromStream(stream));
  stream->Release();
  if (!source || source->GetLastStatus() != Gdiplus::Ok) return {};

  // Draw into a premultiplied canvas of the wanted size with high-quality
  // filtering, so scaled pictures stay smooth.
  Gdiplus::Bitmap canvas(width, height, PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics g(&canvas);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    g.DrawImage(source.get(), 0, 0, width, height);
  }
  Gdiplus::BitmapData data{};
  Gdiplus::Rect rect(0, 0, width, height);
  if (canvas.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return {};

  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  gdi::Bitmap bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap.valid() && bits) {
    for (int y = 0; y < height; ++y) {
      std::copy_n(static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, width * 4,
                  static_cast<BYTE*>(bits) + static_cast<ptrdiff_t>(y) * width * 4);
    }
  }
  canvas.UnlockBits(&data);
  return bitmap;
}

}  // namespace kovan::ui
