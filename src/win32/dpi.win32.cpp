#include "win32/dpi.win32.hpp"

namespace kovan::dpi {

namespace {

template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

UINT OfSystem() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto fn = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (fn) return fn();
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT OfWindow(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto fn = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  const UINT dpi = fn && hwnd ? fn(hwnd) : 0;
  return dpi ? dpi : OfSystem();
}

LOGFONTW CaptionFont(UINT dpi) {
  using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return metrics.lfCaptionFont;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    LOGFONTW fallback{};
    fallback.lfHeight = -Scale(12, dpi);
    fallback.lfWeight = FW_NORMAL;
    lstrcpynW(fallback.lfFaceName, L"Tahoma", LF_FACESIZE);
    return fallback;
  }
  LOGFONTW font = metrics.lfCaptionFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(OfSystem()));
  return font;
}

}  // namespace kovan::dpi
