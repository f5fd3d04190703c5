// DPI of windows and fonts taken for a DPI.
#pragma once

#include <windows.h>

namespace kovan::dpi {

constexpr UINT kDesignDpi = 96;

// The DPI the window is shown at (the system's when the system cannot say).
UINT OfWindow(HWND hwnd);
// The DPI of the primary monitor, as the system scales its metrics.
UINT OfSystem();

inline int Scale(int designPixels, UINT dpi) { return MulDiv(designPixels, static_cast<int>(dpi), kDesignDpi); }

// The system's window-caption font, sized for `dpi`. The system's own metrics
// are already scaled to the system DPI, so they are rescaled from that, never
// from 96.
LOGFONTW CaptionFont(UINT dpi);

}  // namespace kovan::dpi
