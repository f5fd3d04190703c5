// The pool window of the real Kovan.exe: opened by F5 over the main window,
// an edit typed into its tree and confirmed reaches the list file, a cancelled
// one does not; the tree answers the keys and scrolls with the wheel; a
// resource script imported from its menu adds its files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "driver.hpp"
#include "menu_captions.hpp"

namespace kovan::e2e {
namespace {

class PoolWindowE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetSettings();
    for (const char* name : {"one.ico", "two.bmp"}) WriteFile(folder.path() / name, "x");
    WriteFile(folder.path() / "Liste.kvl", "ONE,ICO," + (folder.path() / "one.ico").string() + "\r\nTWO,BMP," +
                                               (folder.path() / "two.bmp").string() + "\r\n");
    kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
  }
  void TearDown() override {
    kovan.reset();
    ForgetSettings();
  }

  // F5 on the main window; the pool window's handle once it shows.
  HWND OpenPool() {
    input::Click(main);
    input::Key(VK_F5);
    return WaitForWindow(kovan->pid(), L"TKaynaklar");
  }

  // Opens the first entry's group with the right arrow key (its children show
  // then) and clicks along its key row (the group's fourth child)
  // until the editor opens over the key.
  HWND EditFirstKey(HWND tree) {
    auto items = ReadTree(tree);
    if (items.empty()) return nullptr;
    input::Click(POINT{items[0].rect.left + 6, (items[0].rect.top + items[0].rect.bottom) / 2});
    input::Key(VK_RIGHT);
    const HWND pool = GetParent(tree);
    const auto keyShows = [&] { return (items = ReadTree(tree)).size() >= 5 && !IsRectEmpty(&items[4].rect); };
    if (!WaitUntil(keyShows, 5s)) return nullptr;
    const RECT key = items[4].rect;
    for (int x = key.left + 2; x < key.right; x += 6) {
      input::Click(POINT{x, (key.top + key.bottom) / 2});
      HWND editor = nullptr;
      if (WaitUntil([&] { return (editor = VisibleEditor(pool)) != nullptr; }, 150ms)) return editor;
    }
    return nullptr;
  }

  // F5, then the pool window's tree once it shows `rows` rows; null when
  // either never shows.
  HWND OpenPoolTree(size_t rows, HWND& pool) {
    pool = OpenPool();
    const HWND tree = pool ? FindWindowExW(pool, nullptr, kParamTreeClass, nullptr) : nullptr;
    if (!tree || !WaitUntil([&] { return ShownRows(tree) == rows; })) return nullptr;
    return tree;
  }

  POINT PoolPoint(HWND pool, int x, int y) { return DesignPoint(pool, 486, POINT{x, y}); }

  ScratchFolder folder;
  std::unique_ptr<KovanProcess> kovan;
  HWND main = nullptr;
};

TEST_F(PoolWindowE2e, F5ShowsTheEntriesAConfirmedKeyReachesTheListAndACancelledOneDoesNot) {
  ASSERT_NE(main, nullptr);
  HWND pool = OpenPool();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  EXPECT_EQ(GetWindow(pool, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the pool window is modal";
  HWND tree = FindWindowExW(pool, nullptr, kParamTreeClass, nullptr);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(ShownRows(tree), 2u) << "one row per entry until its group opens";

  HWND editor = EditFirstKey(tree);
  ASSERT_NE(editor, nullptr) << "no editor over the key";
  EXPECT_EQ(ShownRows(tree), 6u) << "the opened entry's four children";
  input::Type(L"new key!");  // the space and '!' are refused as typed
  input::Key(VK_RETURN);
  // Enter moves on to the next parameter and opens the editor there.
  ASSERT_TRUE(WaitUntil([&] { return VisibleEditor(pool) != nullptr; }));
  // The confirm button: 416 + 20, 351 + 13 inside the panel at 8, 8.
  input::Click(PoolPoint(pool, 8 + 436, 8 + 364));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "confirm did not close";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));

  // Again, but cancelled with the close button.
  ASSERT_EQ(OpenPool(), pool);
  editor = EditFirstKey(tree);
  ASSERT_NE(editor, nullptr);
  input::Type(L"zzz");
  input::Key(VK_RETURN);
  input::Click(PoolPoint(pool, 8 + 459, 8 + 10));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "cancel did not close";

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kovan->WaitForExit().has_value());
  const std::string list = ReadAll(folder.path() / "Liste.kvl");
  EXPECT_EQ(list.substr(0, list.find(',')), "NEWKEY");
  EXPECT_EQ(list.find("ZZZ"), std::string::npos);
  EXPECT_NE(list.find("TWO,BMP,"), std::string::npos);
}

TEST_F(PoolWindowE2e, TheTreeOpensClosesSearchesAndShowsItsMenuFromTheKeyboard) {
  ASSERT_NE(main, nullptr);
  HWND pool = nullptr;
  const HWND tree = OpenPoolTree(2, pool);
  ASSERT_NE(tree, nullptr) << "no pool window with its two entries after F5";
  input::Key(VK_DOWN);  // nothing selected: the first entry
  input::Key(VK_RIGHT);
  EXPECT_TRUE(WaitUntil([&] { return ShownRows(tree) == 6; })) << "Right did not open the entry";
  input::Key(VK_DOWN);
  input::Key(VK_LEFT);  // from the child up to its entry
  input::Key(VK_LEFT);  // which closes
  EXPECT_TRUE(WaitUntil([&] { return ShownRows(tree) == 2; })) << "Left did not close the entry";
  EXPECT_EQ(SelectedTreeItem(tree), ReadTree(tree).front().handle);
  input::Type(L"t");  // on to the entry whose name starts with it
  EXPECT_TRUE(WaitUntil([&] { return SelectedTreeItem(tree) == ReadTree(tree)[5].handle; })) << "typing did not select";

  for (const WORD shift : {WORD{0}, WORD{VK_SHIFT}}) {
    if (shift) {
      input::Key(VK_F10, {VK_SHIFT});
    } else {
      input::Key(VK_APPS);
    }
    EXPECT_TRUE(WaitUntil([&] { return !VisibleWindows(kovan->pid(), L"#32768").empty(); }))
        << "no menu on " << (shift ? "Shift+F10" : "the menu key");
    DismissMenus(kovan->pid());
    EXPECT_TRUE(VisibleWindows(kovan->pid(), L"#32768").empty());
  }
  input::Click(PoolPoint(pool, 8 + 459, 8 + 10));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "cancel did not close";
}

TEST_F(PoolWindowE2e, ALongPoolScrollsWithTheWheelAndTheKeys) {
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kovan->WaitForExit().has_value());
  std::string list;
  for (int i = 0; i < 60; ++i) {
    const auto file = folder.path() / ("f" + std::to_string(i) + ".txt");
    WriteFile(file, "x");
    list += "F" + std::to_string(i) + ",TXT," + file.string() + "\r\n";
  }
  WriteFile(folder.path() / "Liste.kvl", list);
  kovan = std::make_unique<KovanProcess>(folder.path());
  main = kovan->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND pool = nullptr;
  const HWND tree = OpenPoolTree(60, pool);
  ASSERT_NE(tree, nullptr) << "no pool window with its 60 entries after F5";
  const auto firstInSight = [&] {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  };
  const std::vector<TreeItem> items = ReadTree(tree);
  HTREEITEM lastEntry = nullptr;
  for (const TreeItem& item : items) {
    if (item.depth == 0) lastEntry = item.handle;
  }
  const HTREEITEM top = firstInSight();
  ASSERT_EQ(top, items.front().handle);

  input::Wheel(Centre(ScreenRect(tree)), -2);  // towards the user: down the list
  EXPECT_TRUE(WaitUntil([&] { return firstInSight() != top; })) << "the wheel did not scroll";
  input::Click(Centre(ScreenRect(tree)));
  input::Key(VK_END);
  EXPECT_TRUE(WaitUntil([&] { return SelectedTreeItem(tree) == lastEntry; }));
  RECT last{};
  for (const TreeItem& item : ReadTree(tree)) {
    if (item.handle == lastEntry) last = item.rect;
  }
  const RECT area = ScreenRect(tree);
  EXPECT_LE(last.bottom, area.bottom) << "the last entry is not in sight";
  EXPECT_GE(last.top, area.top);
  input::Key(VK_HOME);
  EXPECT_TRUE(WaitUntil([&] { return firstInSight() == top; })) << "Home did not go back to the top";
  input::Click(PoolPoint(pool, 8 + 459, 8 + 10));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "cancel did not close";
}

TEST_F(PoolWindowE2e, AnImportedScriptAddsItsFilesAndNamesTheLinesItSkipped) {
  ASSERT_NE(main, nullptr);
  WriteFile(folder.path() / "sound.wav", "RIFF");
  WriteFile(folder.path() / "app.rc",
            "SOUND WAVE \"sound.wav\"\r\nMAIN DIALOG 0, 0, 10, 10\r\nBEGIN\r\nEND\r\n");
  HWND pool = OpenPool();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  HWND tree = FindWindowExW(pool, nullptr, kParamTreeClass, nullptr);
  ASSERT_TRUE(ChooseMenuItem(kovan->pid(), tree, {kAdd, kImportScript}));
  ASSERT_TRUE(AnswerFileDialog(kovan->pid(), folder.path() / "app.rc")) << "no open dialog";
  const auto box = kovan->WaitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "the skipped dialog was not named";
  EXPECT_NE(box->text.find(L"2: a DIALOG resource"), std::wstring::npos);
  EXPECT_TRUE(KovanProcess::PressToClose(box->hwnd, IDOK)) << "the box stayed open";
  // One row per entry until it is opened: the two there and the imported one.
  EXPECT_TRUE(WaitUntil([&] { return ShownRows(tree) == 3; }));
  input::Click(PoolPoint(pool, 8 + 436, 8 + 364));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "confirm did not close";

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kovan->WaitForExit().has_value());
  const std::string list = ReadAll(folder.path() / "Liste.kvl");
  EXPECT_NE(list.find("SOUND,WAVE,"), std::string::npos) << list;
  EXPECT_NE(list.find("sound.wav"), std::string::npos) << list;
}

}  // namespace
}  // namespace kovan::e2e
