// Kovan on a 144 DPI screen: its menus, its hint and the pool window lie
// inside the screen, grown to the larger text, and no text is cut off.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>

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

// The box around the ink inside `r`: the pixels that stand out from the most
// common colour of their row. Empty when there is none.
RECT InkBox(const RECT& r) {
  const std::vector<COLORREF> pixels = CaptureScreen(r);
  const int width = r.right - r.left;
  RECT ink{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (size_t row = 0; row + static_cast<size_t>(width) <= pixels.size(); row += static_cast<size_t>(width)) {
    std::map<COLORREF, int> counts;
    for (int x = 0; x < width; ++x) ++counts[pixels[row + static_cast<size_t>(x)]];
    const COLORREF common =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    for (int x = 0; x < width; ++x) {
      const COLORREF p = pixels[row + static_cast<size_t>(x)];
      const int distance = std::abs(int(GetRValue(p)) - int(GetRValue(common))) +
                           std::abs(int(GetGValue(p)) - int(GetGValue(common))) +
                           std::abs(int(GetBValue(p)) - int(GetBValue(common)));
      if (distance < 90) continue;
      const LONG px = r.left + x;
      const LONG py = r.top + static_cast<LONG>(row / static_cast<size_t>(width));
      ink = RECT{std::min(ink.left, px), std::min(ink.top, py), std::max(ink.right, px + 1),
                 std::max(ink.bottom, py + 1)};
    }
  }
  return ink.left == LONG_MAX ? RECT{} : ink;
}

// The caption's column runs from the picture column to 20 design pixels
// before the item's right edge; a caption too long for it is cut with an
// ellipsis that reaches the column's end. One that fits ends clearly before,
// inside the item's height.
::testing::AssertionResult TextFits(const MenuItem& item) {
  const int height = item.rect.bottom - item.rect.top;
  const RECT column{item.rect.left + height * 5 / 4, item.rect.top + 1, item.rect.right - Scaled(20),
                    item.rect.bottom - 1};
  const RECT ink = InkBox(column);
  if (IsRectEmpty(&ink)) return ::testing::AssertionFailure() << "no text shows";
  if (ink.right > column.right - Scaled(3)) {
    return ::testing::AssertionFailure() << "the text runs to the end of its column: cut off";
  }
  if (ink.top <= column.top || ink.bottom >= column.bottom) {
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
    hadValue =
        RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&saved), &size) == ERROR_SUCCESS;
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
  RECT inside = hintRect;
  InflateRect(&inside, -3, -3);  // the frame
  const RECT hintInk = InkBox(inside);
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
  HWND tree = FindWindowExW(pool, nullptr, kParamTreeClass, nullptr);
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
