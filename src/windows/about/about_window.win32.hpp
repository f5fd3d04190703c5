// The about window: a borderless picture of the product, its maker and its
// credits, with the credits text climbing through a panel in an endless loop
// and a line of links along the bottom. A new one opens on every request;
// each closes and releases itself through its own close button.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell.hpp"
#include "win32/gdi.win32.hpp"
#include "win32/window_base.win32.hpp"
#include "windows/about/about_content.hpp"
#include "windows/about/credits_scroll.hpp"

namespace kovan {

class AboutWindow : public WindowBase {
 public:
  // `released` runs once the window is destroyed; it may delete the object.
  AboutWindow(Shell& shell, std::function<void(AboutWindow&)> released)
      : WindowBase(Painting::Whole), shell_(shell), released_(std::move(released)) {}

  [[nodiscard]] bool Create(HWND owner);
  HWND CloseButton() const { return GetDlgItem(hwnd(), kCloseButtonId); }
  const CreditsScroll& Scroll() const { return scroll_; }

  static constexpr int kCloseButtonId = 1;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;
  void OnFinalMessage() override;

 private:
  // A piece of a run of formatted text (or a picture) placed in its block;
  // a run that does not fit its line goes on in the next one.
  struct PlacedRun {
    const TextRun* run;
    std::wstring text;
    RECT rect;
  };
  struct TextBlock {
    std::vector<TextLine> lines;
    std::vector<PlacedRun> placed;
    int height = 0;
  };

  void BuildPictures();
  void LayOut(HDC dc, TextBlock& block, int width);
  void DrawBlock(HDC dc, const TextBlock& block, int left, int top);
  HFONT FontFor(const TextRun& run);
  void DrawBackground(HDC dc, int width, int height);
  void DrawHeading(HDC dc, void* bits, int width, int height);
  void Paint(HDC dc) override;
  void PaintCredits(HDC dc);
  RECT PanelRect() const;
  RECT LinkLineRect() const;
  const TextRun* LinkAt(POINT client) const;
  void OnMouseMove(POINT client);
  void SetScrolling(bool on);

  Shell& shell_;
  std::function<void(AboutWindow&)> released_;
  CreditsScroll scroll_;
  bool tracking_ = false;
  LOGFONTW baseFont_{};
  std::map<int, gdi::Font> fonts_;           // by size and style, at the current DPI
  std::vector<gdi::Bitmap> creditPictures_;  // the image list, at the current DPI
  TextBlock credits_;
  TextBlock links_;
  TextBlock heading_;
  gdi::Bitmap background_;     // everything but the credits, drawn once per DPI
  gdi::Bitmap creditsBitmap_;  // the whole credits text, drawn once per DPI
  gdi::Bitmap closePicture_;
};

// The open about windows. Each is dropped (and its object released) when its
// window is destroyed; those still open at the end go with the list.
class AboutWindows {
 public:
  explicit AboutWindows(Shell& shell) : shell_(shell) {}
  // Opens a new about window; nullptr when the system refused the window.
  AboutWindow* Open(HWND owner);
  size_t Count() const { return open_.size(); }

 private:
  Shell& shell_;
  std::vector<std::unique_ptr<AboutWindow>> open_;
};

}  // namespace kovan
