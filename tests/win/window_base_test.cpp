// The window base, the DPI-sized fonts and the placement of pop-ups.
#include <gtest/gtest.h>

#include <cstdlib>

#include "win32/dpi.win32.hpp"
#include "win32/office_hint.win32.hpp"
#include "win32/window_base.win32.hpp"

namespace kovan {
namespace {

class CountingWindow : public WindowBase {
 public:
  bool Create() { return CreateFor(WindowClassInfo{L"KovanTestWindow"}, 0, WS_POPUP, RECT{0, 0, 50, 50}, nullptr); }
  int destroyed = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_DESTROY) ++destroyed;
    return Default(msg, wp, lp);
  }
};

TEST(WindowBase, TheWindowFindsItsObjectAndLetsGoOfItWhenDestroyed) {
  CountingWindow window;
  ASSERT_TRUE(window.Create());
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(static_cast<WindowBase*>(&window)));
  EXPECT_GE(window.Dpi(), 96u);
  DestroyWindow(hwnd);
  EXPECT_EQ(window.destroyed, 1);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

// The caption font for a DPI comes from the system's metrics rescaled from the
// system DPI once; scaling it again from 96 made menus and hints grow 2.25
// times at 144 DPI where everything else grew 1.5 times.
TEST(Dpi, FontsAreSizedForTheirDpiExactlyOnce) {
  const LONG at96 = std::labs(dpi::CaptionFont(96).lfHeight);
  const LONG at144 = std::labs(dpi::CaptionFont(144).lfHeight);
  const LONG atSystem = std::labs(dpi::CaptionFont(dpi::OfSystem()).lfHeight);
  ASSERT_GT(at96, 0);
  EXPECT_NEAR(static_cast<double>(at144), at96 * 1.5, 1.0);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_EQ(atSystem, std::labs(metrics.lfCaptionFont.lfHeight));

  ui::OfficeHint hint;
  ASSERT_TRUE(hint.Create(nullptr));
  hint.SetFont(dpi::CaptionFont(144), 144);
  EXPECT_EQ(hint.FontHeight(), at144);
}

TEST(OfficeHint, PopUpsStayInsideTheWorkArea) {
  struct Case {
    POINT anchor;
    SIZE size;
    POINT expected;
  };
  const RECT work{0, 0, 1024, 740};
  const Case cases[] = {
      {{100, 100}, {750, 200}, {100, 120}},   // room below and right
      {{900, 100}, {750, 200}, {274, 120}},   // pushed left so its right edge shows
      {{900, 700}, {750, 200}, {274, 496}},   // no room below: above the anchor
      {{-50, -50}, {300, 100}, {0, 0}},       // never above or left of the area
      {{10, 10}, {2000, 100}, {0, 30}},       // wider than the area: starts at its left
  };
  for (const Case& c : cases) {
    const POINT at = ui::PlaceInside(work, c.anchor, c.size, 20, 4);
    EXPECT_EQ(at.x, c.expected.x) << c.anchor.x << "," << c.anchor.y;
    EXPECT_EQ(at.y, c.expected.y) << c.anchor.x << "," << c.anchor.y;
  }
}

}  // namespace
}  // namespace kovan
