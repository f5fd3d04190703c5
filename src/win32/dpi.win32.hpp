// DPI of windows and fonts taken for a DPI.
#pragma once

#include <windows.h>

namespace kovan::dpi {

constexpr UINT kDesignDpi = 96;

// The DPI the window is shown at (the system's when the system cannot say).
UINT OfWindow(HWND hwnd);
// The DPI of the primary monitor, as the system scales its metrics.
UINT OfSystem();

// Design pixels (at 96 DPI) to pixels at `dpi`.
inline int Scale(int designPixels, UINT dpi) { return MulDiv(designPixels, static_cast<int>(dpi), kDesignDpi); }
inline RECT Scale(const RECT& design, UINT dpi) {
  return RECT{Scale(design.left, dpi), Scale(design.top, dpi), Scale(design.right, dpi), Scale(design.bottom, dpi)};
}

// The system's window-caption font, sized for `dpi`. The system's own metrics
// are already scaled to the system DPI, so they are rescaled from that, never
// from 96.
LOGFONTW CaptionFont(UINT dpi);

}  // namespace kovan::dpi
