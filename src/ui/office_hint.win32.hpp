// The office-style hint: a bold title, note lines, and a help line with its
// picture at the bottom, drawn on a soft gradient.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kovan::ui {

struct HintContent {
  std::wstring title;
  std::vector<std::wstring> notes;
  bool showHelp = false;
  std::wstring helpText;
  HBITMAP helpPicture = nullptr;  // 32-bit premultiplied, square; may be null
};

class OfficeHint {
 public:
  OfficeHint() = default;
  ~OfficeHint();
  OfficeHint(const OfficeHint&) = delete;
  OfficeHint& operator=(const OfficeHint&) = delete;

  bool Create(HINSTANCE instance, HWND owner);
  void SetFont(const LOGFONTW& font);
  // Shows the hint near `anchor` (screen coordinates) for at most `hideAfterMs`,
  // `designWidth` pixels wide at 96 DPI (0: as wide as its title).
  void Show(const HintContent& content, POINT anchor, UINT dpi, UINT hideAfterMs, int designWidth);
  void Hide();
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  int Scale(int v) const { return MulDiv(v, static_cast<int>(dpi_), 96); }
  void RebuildFonts();

  HWND hwnd_ = nullptr;
  HintContent content_;
  LOGFONTW baseFont_{};
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  UINT dpi_ = 96;
  int lineHeight_ = 16;
};

}  // namespace kovan::ui
