// The office-style hint: a bold title, note lines, and a help line with its
// picture at the bottom, drawn on a soft gradient.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/gdi.win32.hpp"
#include "win32/window_base.win32.hpp"

namespace kovan::ui {

struct HintContent {
  std::wstring title;
  std::vector<std::wstring> notes;
  bool showHelp = false;
  std::wstring helpText;
  HBITMAP helpPicture = nullptr;  // 32-bit premultiplied, square; may be null
};

// Where a pop-up of `size` goes: below and right of `anchor`, or above it when
// there is no room below, always inside `workArea` (as far as it fits).
POINT PlaceInside(const RECT& workArea, POINT anchor, SIZE size, int gapBelow, int gapAbove);

class OfficeHint : public WindowBase {
 public:
  OfficeHint() : WindowBase(Painting::Whole) {}
  [[nodiscard]] bool Create(HWND owner);
  // `font` is already sized for `dpi`.
  void SetFont(const LOGFONTW& font, UINT dpi);
  // Shows the hint near `anchor` (screen coordinates) for at most `hideAfterMs`,
  // `designWidth` pixels wide at 96 DPI (0: as wide as its title), inside the
  // work area of the monitor that holds `monitorOf` (the window it belongs to).
  void Show(const HintContent& content, POINT anchor, HWND monitorOf, UINT hideAfterMs, int designWidth);
  void Hide();
  bool Visible() const { return hwnd() && IsWindowVisible(hwnd()); }
  // The height of the text font in pixels (for tests of DPI handling).
  LONG FontHeight() const { return fontHeight_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int ScaleFor(int v) const { return dpi::Scale(v, fontDpi_); }
  void Paint(HDC dc) override;

  HintContent content_;
  gdi::Font font_;
  gdi::Font boldFont_;
  LONG fontHeight_ = 0;
  UINT fontDpi_ = 96;
  int lineHeight_ = 16;
};

}  // namespace kovan::ui
