// PNG pictures from the executable's resources as 32-bit premultiplied
// bitmaps, ready for menus (hbmpItem) and ui::DrawAlphaBitmap.
#pragma once

#include <windows.h>

#include "win32/gdi.win32.hpp"

namespace kovan::ui {

// GDI+ for the life of the program. It starts with the first picture
// decoded, not with the program: windows that stay hidden need none, and the
// start of the program does not wait for it. Ending the session shuts it down
// if it was started.
class GdiplusSession {
 public:
  GdiplusSession() = default;
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
};

// Decodes the RCDATA resource `name` of this module (a PNG) and scales it to
// `size` by `size` pixels when it is not already that size. Null when missing.
gdi::Bitmap LoadPngResource(const wchar_t* name, int size);
gdi::Bitmap LoadPngResource(const wchar_t* name, int width, int height);

}  // namespace kovan::ui
