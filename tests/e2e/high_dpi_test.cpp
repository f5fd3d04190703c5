// Kovan on a 144 DPI screen: its menus, its hint and the pool window lie
// inside the screen, grown to the larger text, and no text is cut off.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "driver.hpp"
#include "menu_captions.hpp"

namespace kovan::e2e {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr DWORD kDpi = 144;

int Scaled(int designPixels) { return MulDiv(designPixels, static_cast<int>(kDpi), 96); }

bool InsideScreen(const RECT& r) {
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return r.left >= screen.left && r.top >= screen.top && r.right <= screen.right && r.bottom <= screen.bottom &&
         r.right > r.left && r.bottom > r.top;
}

// The box around the dark pixels (text) inside `r`; empty when there are none.
RECT InkBox(const RECT& r) {
  const std::vector<COLORREF> pixels = CaptureScreen(r);
  const int width = r.right - r.left;
  RECT ink{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (size_t i = 0; i < pixels.size(); ++i) {
    const COLORREF p = pixels[i];
    if (GetRValue(p) + GetGValue(p) + GetBValue(p) > 3 * 90) continue;
    const LONG x = r.left + static_cast<LONG>(i % static_cast<size_t>(width));
    const LONG y = r.top + static_cast<LONG>(i / static_cast<size_t>(width));
    ink = RECT{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
  }
  return ink.left == LONG_MAX ? RECT{} : ink;
}

// A text drawn into an item too narrow for it ends in an ellipsis right at
// the limit of its text box, 20 design pixels from the item's right edge; a
// text that fits ends well before it, and inside the item's height.
::testing::AssertionResult TextFits(const MenuItem& item) {
  RECT inside = item.rect;
  InflateRect(&inside, 0, -1);
  const RECT ink = InkBox(inside);
  if (IsRectEmpty(&ink)) return ::testing::AssertionFailure() << "no text shows";
  if (ink.right > item.rect.right - Scaled(22)) {
    return ::testing::AssertionFailure() << "the text runs to " << item.rect.right - ink.right
                                         << " pixels from the item's right edge";
  }
  if (ink.top <= inside.top || ink.bottom >= inside.bottom) {
    return ::testing::AssertionFailure() << "the text touches the item's top or bottom";
  }
  return ::testing::AssertionSuccess();
}

class HighDpi : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetSettings();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD size = sizeof saved;
    hadValue = RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&saved), &size) ==
               ERROR_SUCCESS;
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kDpi), sizeof kDpi);
    RegCloseKey(key);

    for (const char* name : {"one.ico", "two.bmp"}) WriteFile(folder.path() / name, "x");
    WriteFile(folder.path() / "Liste.kvl", "ONE,ICO," + (folder.path() / "one.ico").string() + "\r\nTWO,BMP," +
                                               (folder.path() / "two.bmp").string() + "\r\n");
    kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
  }
  void TearDown() override {
    if (kovan && kovan->Running()) DismissMenus(kovan->pid());
    kovan.reset();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      if (hadValue) {
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved), sizeof saved);
      } else {
        RegDeleteValueW(key, L"LogPixels");
      }
      RegCloseKey(key);
    }
    ForgetSettings();
  }

  void ExpectMenuFits(const OpenMenu& menu) {
    MoveOffMenu(menu.window);
    Sleep(300);  // drawn once shown
    EXPECT_TRUE(InsideScreen(ScreenRect(menu.window)));
    for (const MenuItem& item : menu.items) {
      if (item.separator) continue;
      SCOPED_TRACE(item.text);
      EXPECT_GE(item.rect.bottom - item.rect.top, Scaled(20)) << "the row did not grow";
      EXPECT_TRUE(TextFits(item));
    }
  }

  bool hadValue = false;
  DWORD saved = 0;
  ScratchFolder folder;
  std::unique_ptr<KovanProcess> kovan;
  HWND main = nullptr;
};

TEST_F(HighDpi, MenusHintAndPoolWindowFitTheScreenAndTheirText) {
  const RECT panel = ScreenRect(main);
  EXPECT_TRUE(InsideScreen(panel));
  EXPECT_GE(panel.right - panel.left, Scaled(68) - 1) << "the panel did not grow with the DPI";

  const auto menu = OpenContextMenu(kovan->pid(), main);
  ASSERT_TRUE(menu.has_value());
  ExpectMenuFits(*menu);
  ASSERT_NE(menu->Find(kCompile), nullptr);
  input::Click(Centre(menu->Find(kCompile)->rect));
  const auto submenu = WaitForMenuWith(kovan->pid(), kResToObj);
  ASSERT_TRUE(submenu.has_value());
  ExpectMenuFits(*submenu);
  DismissMenus(kovan->pid());

  // The hint shows while the mouse rests on the panel.
  input::MoveTo(Centre(ScreenRect(main)));
  input::MoveTo(POINT{Centre(ScreenRect(main)).x + 2, Centre(ScreenRect(main)).y + 2});
  HWND hint = WaitForWindow(kovan->pid(), L"KovanOfficeHint");
  ASSERT_NE(hint, nullptr) << "no hint over the panel";
  Sleep(300);
  const RECT hintRect = ScreenRect(hint);
  EXPECT_TRUE(InsideScreen(hintRect));
  const RECT hintInk = InkBox(hintRect);
  ASSERT_FALSE(IsRectEmpty(&hintInk));
  EXPECT_LT(hintInk.right, hintRect.right - 2) << "the hint's text runs to its edge";
  EXPECT_LT(hintInk.bottom, hintRect.bottom - 2) << "the hint's text runs to its bottom";

  input::Click(main);
  input::Key(VK_F5);
  HWND pool = WaitForWindow(kovan->pid(), L"TKaynaklar");
  ASSERT_NE(pool, nullptr);
  EXPECT_TRUE(InsideScreen(ScreenRect(pool)));
  RECT client{};
  GetClientRect(pool, &client);
  EXPECT_GE(client.right, Scaled(486) - 2);
  EXPECT_GE(client.bottom, Scaled(405) - 2);
  HWND tree = FindWindowExW(pool, nullptr, WC_TREEVIEWW, nullptr);
  ASSERT_NE(tree, nullptr);
  EXPECT_GE(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0), Scaled(16)) << "the tree's rows did not grow";
  for (const TreeItem& item : ReadTree(tree)) {
    if (item.depth == 0) {
      EXPECT_TRUE(InsideScreen(item.rect)) << testing::PrintToString(item.text);
    }
  }
  const auto poolMenu = OpenContextMenu(kovan->pid(), tree);
  ASSERT_TRUE(poolMenu.has_value());
  ExpectMenuFits(*poolMenu);
  DismissMenus(kovan->pid());
  EXPECT_TRUE(kovan->Running());
}

}  // namespace
}  // namespace kovan::e2e
