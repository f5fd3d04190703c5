#include "win32/drawing.win32.hpp"

#include "win32/gdi.win32.hpp"
#include "win32/palette.win32.hpp"

namespace kovan::ui {

void FillVerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
  TRIVERTEX v[2] = {{r.left, r.top, static_cast<COLOR16>(GetRValue(top) << 8),
                     static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
                    {r.right, r.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
                     static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
  GRADIENT_RECT g{0, 1};
  GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int size, BYTE opacity) {
  DrawAlphaBitmap(dc, bitmap, x, y, size, size, opacity);
}

void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, BYTE opacity) {
  gdi::MemoryDc source(dc);
  gdi::Select select(source.get(), bitmap);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  AlphaBlend(dc, x, y, width, height, source.get(), 0, 0, width, height, blend);
}

namespace {

// A region with the rounded shape of `r`; regions leave out their right and
// bottom edges, so the shape reaches one pixel further to cover `r` whole.
gdi::Region RoundedRegion(const RECT& r, int radius) {
  return gdi::Region(CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, radius, radius));
}

}  // namespace

void DrawRoundedPanel(HDC dc, const RECT& panel, int radius, const std::function<void()>& inside) {
  const gdi::Region region = RoundedRegion(panel, radius);
  SelectClipRgn(dc, region.get());
  FillVerticalGradient(dc, panel, palette::kPanelTop, palette::kPanelBottom);
  if (inside) inside();
  SelectClipRgn(dc, nullptr);
  FrameRgn(dc, region.get(), gdi::MakeBrush(palette::kPanelEdge).get(), 1, 1);
}

void DrawGlassButton(HDC dc, const RECT& r, int radius, GlassState state, HBITMAP glyph, int glyphSize) {
  const bool pressed = state == GlassState::Pressed;
  const gdi::Region shape = RoundedRegion(r, radius);
  SelectClipRgn(dc, shape.get());
  const int middle = (r.top + r.bottom) / 2;
  const COLORREF glow = state == GlassState::Hot ? palette::kGlassHot : palette::kGlassHigh;
  FillVerticalGradient(dc, RECT{r.left, r.top, r.right, middle}, pressed ? palette::kGlassLow : palette::kGlassShine,
                       glow);
  FillVerticalGradient(dc, RECT{r.left, middle, r.right, r.bottom}, palette::kGlassLow,
                       pressed ? palette::kGlassShine : glow);
  SelectClipRgn(dc, nullptr);
  FrameRgn(dc, shape.get(), gdi::MakeBrush(palette::kGlassEdge).get(), 1, 1);
  if (glyph) {
    const int push = pressed ? 1 : 0;
    DrawAlphaBitmap(dc, glyph, (r.left + r.right - glyphSize) / 2 + push, (r.top + r.bottom - glyphSize) / 2 + push,
                    glyphSize);
  }
}

}  // namespace kovan::ui
