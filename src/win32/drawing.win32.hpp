// Small drawing helpers shared by the visual components.
#pragma once

#include <windows.h>

namespace kovan::ui {

// A top-to-bottom gradient over `r`.
inline void FillVerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  TRIVERTEX v[2] = {{r.left, r.top, static_cast<COLOR16>(GetRValue(top) << 8),
                     static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
                    {r.right, r.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
                     static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
  GRADIENT_RECT g{0, 1};
  GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace kovan::ui
