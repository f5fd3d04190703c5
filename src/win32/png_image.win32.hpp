// PNG pictures from the executable's resources as 32-bit premultiplied
// bitmaps, ready for menus (hbmpItem) and AlphaBlend.
#pragma once

#include <windows.h>

#include "win32/gdi.win32.hpp"

namespace kovan::ui {

// Keeps GDI+ started for the life of the program.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

// Decodes the RCDATA resource `name` of this module (a PNG) and scales it to
// `size` by `size` pixels when it is not already that size. Null when missing.
gdi::Bitmap LoadPngResource(const wchar_t* name, int size);
gdi::Bitmap LoadPngResource(const wchar_t* name, int width, int height);

// Draws a premultiplied 32-bit bitmap with its alpha, times `opacity` / 255.
void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int size, BYTE opacity = 255);
void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, BYTE opacity);

}  // namespace kovan::ui
