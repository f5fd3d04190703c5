// The drawing helpers the windows and visual components share: gradients,
// pictures with alpha, the rounded honey panel and the green glass button.
#pragma once

#include <windows.h>

#include <functional>

namespace kovan::ui {

// A top-to-bottom gradient over `r`.
void FillVerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom);

// Draws a premultiplied 32-bit bitmap with its alpha, times `opacity` / 255.
void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int size, BYTE opacity = 255);
void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, BYTE opacity);

// The rounded honey panel of the borderless windows: the gradient, whatever
// `inside` draws (clipped to the rounded shape), then the edge.
void DrawRoundedPanel(HDC dc, const RECT& panel, int radius, const std::function<void()>& inside = {});

enum class GlassState { Normal, Hot, Pressed };

// A green glass button: a bright upper shine over a darker lower half,
// rounded, with `glyph` (a premultiplied bitmap of `glyphSize` pixels, or
// null) in the middle, pushed down a pixel while pressed.
void DrawGlassButton(HDC dc, const RECT& r, int radius, GlassState state, HBITMAP glyph, int glyphSize);

}  // namespace kovan::ui
