// The program's colours, in one place.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kovan::palette {

constexpr COLORREF Rgb(int r, int g, int b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

// A colour written as 0xRRGGBB (as markup and the about window's texts give them).
constexpr COLORREF FromRgbValue(uint32_t rgb) {
  return Rgb(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
}

// Sky blue: the see-through colour key of the borderless windows.
constexpr COLORREF kColourKey = Rgb(166, 202, 240);

// The honey panel of the main window.
constexpr COLORREF kPanelTop = Rgb(255, 221, 120);
constexpr COLORREF kPanelBottom = Rgb(236, 164, 28);
constexpr COLORREF kPanelEdge = Rgb(156, 98, 10);
constexpr COLORREF kPanelComb = Rgb(244, 190, 70);
constexpr COLORREF kPanelText = Rgb(70, 40, 0);
constexpr COLORREF kPanelTextGlow = Rgb(255, 240, 200);
constexpr COLORREF kCloseHot = Rgb(200, 40, 30);

// Hints.
constexpr COLORREF kHintTop = Rgb(255, 255, 255);
constexpr COLORREF kHintBottom = Rgb(228, 236, 247);
constexpr COLORREF kHintBorder = Rgb(118, 118, 118);
constexpr COLORREF kHintText = Rgb(76, 76, 76);
constexpr COLORREF kHintRule = Rgb(158, 187, 221);

// Menus.
constexpr COLORREF kMenuGutter = Rgb(250, 242, 222);
constexpr COLORREF kMenuBackground = Rgb(255, 255, 255);
constexpr COLORREF kMenuHotTop = Rgb(255, 233, 168);
constexpr COLORREF kMenuHotBottom = Rgb(250, 205, 100);
constexpr COLORREF kMenuHotBorder = Rgb(214, 158, 40);
constexpr COLORREF kMenuText = Rgb(30, 30, 30);
constexpr COLORREF kMenuDisabledText = Rgb(150, 150, 150);
constexpr COLORREF kMenuRule = Rgb(226, 214, 186);

// Green glass buttons.
constexpr COLORREF kGlassShine = Rgb(214, 245, 196);
constexpr COLORREF kGlassHigh = Rgb(120, 200, 96);
constexpr COLORREF kGlassHot = Rgb(150, 230, 130);  // the glow under the pointer
constexpr COLORREF kGlassLow = Rgb(46, 150, 40);
constexpr COLORREF kGlassEdge = Rgb(24, 96, 24);

// The about window.
constexpr COLORREF kMirror = Rgb(218, 222, 228);
constexpr COLORREF kMirrorEdge = Rgb(150, 156, 166);
constexpr COLORREF kShadow = Rgb(190, 190, 190);

// Common named colours.
constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kGray = Rgb(128, 128, 128);
constexpr COLORREF kMaroon = Rgb(128, 0, 0);
constexpr COLORREF kMoneyGreen = Rgb(192, 220, 192);
constexpr COLORREF kCream = Rgb(255, 251, 240);

}  // namespace kovan::palette
