// The window base, the DPI-sized fonts and the placement of pop-ups.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/text.hpp"
#include "platform/prompter.hpp"
#include "win32/dpi.win32.hpp"
#include "win32/office_hint.win32.hpp"
#include "controls/param_tree/param_tree_view.win32.hpp"
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

// Closes every general error report that shows while it lives, keeping the
// texts, as a user reads and dismisses them.
class ErrorReportReader {
 public:
  ErrorReportReader()
      : thread_([this] {
          while (!stop_) {
            HWND box = FindWindowW(L"#32770", ToWide(kAppTitle).c_str());
            wchar_t text[512] = {};
            // A box still being made has no text yet.
            if (box && IsWindowVisible(box) && GetDlgItemTextW(box, 0xFFFF, text, 512) > 0) {
              {
                const std::lock_guard lock(mutex_);
                reports_.push_back(ToUtf8(text));
              }
              SendMessageW(box, WM_COMMAND, IDOK, 0);
              while (IsWindow(box)) Sleep(5);
            }
            Sleep(20);
          }
        }) {}
  ~ErrorReportReader() {
    stop_ = true;
    thread_.join();
  }
  // Waits until `count` reports were closed.
  std::vector<std::string> Reports(size_t count) {
    for (int i = 0; i < 250; ++i) {
      {
        const std::lock_guard lock(mutex_);
        if (reports_.size() >= count) return reports_;
      }
      Sleep(20);
    }
    const std::lock_guard lock(mutex_);
    return reports_;
  }

 private:
  std::atomic<bool> stop_ = false;
  std::mutex mutex_;
  std::vector<std::string> reports_;
  std::thread thread_;
};

class ThrowingWindow : public WindowBase {
 public:
  bool Create() { return CreateFor(WindowClassInfo{L"KovanThrowingWindow"}, 0, WS_POPUP, RECT{0, 0, 50, 50}, nullptr); }
  int handled = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP) throw std::runtime_error("Cannot Create file x");
    if (msg == WM_APP + 1) ++handled;
    return Default(msg, wp, lp);
  }
  void OnDpiChanged(UINT, const RECT&) override { throw std::runtime_error("No picture at this size"); }
};

TEST(ErrorBarrier, AnErrorInAnyHandlerIsReportedAndTheWindowGoesOn) {
  ThrowingWindow window;
  ASSERT_TRUE(window.Create());
  ParamTreeModel model;
  ui::ParamTreeView tree(model);
  ui::ParamTreeView::Callbacks callbacks;
  callbacks.deleteKey = [] { throw std::runtime_error("Delete failed"); };
  callbacks.keyFilter = [](char32_t c) {
    if (c == U'x') throw std::runtime_error("Filter failed");
    return true;
  };
  ASSERT_TRUE(tree.Create(window.hwnd(), RECT{0, 0, 40, 40}, 96, std::move(callbacks)));

  ErrorReportReader reader;
  SendMessageW(window.hwnd(), WM_APP, 0, 0);
  RECT suggested{0, 0, 75, 75};
  SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  SendMessageW(tree.hwnd(), WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(tree.Editor(), WM_CHAR, L'x', 0);

  const std::vector<std::string> expected{"Cannot Create file x.", "No picture at this size.", "Delete failed.",
                                          "Filter failed."};
  EXPECT_EQ(reader.Reports(expected.size()), expected);
  // Every window still answers.
  SendMessageW(window.hwnd(), WM_APP + 1, 0, 0);
  EXPECT_EQ(window.handled, 1);
  EXPECT_EQ(window.Dpi(), 144u);
  EXPECT_TRUE(IsWindow(tree.hwnd()));
  SendMessageW(tree.Editor(), WM_CHAR, L'a', 0);
  wchar_t typed[8] = {};
  GetWindowTextW(tree.Editor(), typed, 8);
  EXPECT_STREQ(typed, L"a");
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
