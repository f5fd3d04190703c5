// The pool window of the real Kovan.exe: opened by F5 over the main window,
// an edit typed into its tree and confirmed reaches the list file, a cancelled
// one does not.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "driver.hpp"

namespace kovan::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kSettingsKey[] = L"Software\\ORSEL RIRUDIR\\Kovan\\s2.0";

template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = 10s) {
  for (auto end = std::chrono::steady_clock::now() + timeout; std::chrono::steady_clock::now() < end;) {
    if (done()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return done();
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

HWND VisiblePoolWindow(DWORD pid) {
  for (HWND w = FindWindowW(L"TKaynaklar", nullptr); w; w = FindWindowExW(nullptr, w, L"TKaynaklar", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

// The pop-up editor of the tree, while it shows.
HWND VisibleEditor(HWND pool) {
  struct Search {
    HWND pool;
    HWND found = nullptr;
  } search{pool};
  EnumThreadWindows(
      GetWindowThreadProcessId(pool, nullptr),
      [](HWND w, LPARAM lp) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lp);
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (IsWindowVisible(w) && lstrcmpiW(name, L"Edit") == 0 && GetWindow(w, GW_OWNER) == s.pool) s.found = w;
        return s.found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Click(HWND w, int x, int y) {
  PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

class PoolWindowE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    for (const char* name : {"one.ico", "two.bmp"}) std::ofstream(folder.path() / name) << "x";
    std::ostringstream list;
    list << "ONE,ICO," << (folder.path() / "one.ico").string() << "\r\n"
         << "TWO,BMP," << (folder.path() / "two.bmp").string() << "\r\n";
    original = list.str();
    std::ofstream(folder.path() / "Liste.kvl", std::ios::binary) << original;
    kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  }

  // F5 on the main window; the pool window's handle once it shows.
  HWND OpenPool() {
    PostMessageW(main, WM_KEYDOWN, VK_F5, 0);
    HWND pool = nullptr;
    WaitUntil([&] { return (pool = VisiblePoolWindow(kovan->pid())) != nullptr; });
    return pool;
  }

  // Opens the first entry's group and clicks along its key row (the fifth
  // row) until the editor opens over the key.
  HWND EditFirstKey(HWND tree) {
    const auto root =
        reinterpret_cast<LPARAM>(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, root);
    const int rowHeight = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    const HWND pool = GetParent(tree);
    for (int x = 30; x < 420; x += 6) {
      Click(tree, x, rowHeight * 4 + rowHeight / 2);
      HWND editor = nullptr;
      if (WaitUntil([&] { return (editor = VisibleEditor(pool)) != nullptr; }, 150ms)) return editor;
    }
    return nullptr;
  }

  void Type(HWND editor, const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) PostMessageW(editor, WM_CHAR, *c, 0);
    PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
  }

  ScratchFolder folder;
  std::string original;
  std::unique_ptr<KovanProcess> kovan;
  HWND main = nullptr;
};

TEST_F(PoolWindowE2e, F5ShowsTheEntriesAConfirmedKeyReachesTheListAndACancelledOneDoesNot) {
  ASSERT_NE(main, nullptr);
  HWND pool = OpenPool();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  EXPECT_EQ(GetWindow(pool, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the pool window is modal";
  HWND tree = FindWindowExW(pool, nullptr, WC_TREEVIEWW, nullptr);
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 10) << "five nodes per entry";

  HWND editor = EditFirstKey(tree);
  ASSERT_NE(editor, nullptr) << "no editor over the key";
  Type(editor, L"new key!");  // the space and '!' are refused as typed
  // Enter moves on to the next parameter and opens the editor there.
  ASSERT_TRUE(WaitUntil([&] { return VisibleEditor(pool) != nullptr && VisibleEditor(pool) != nullptr; }));
  // The confirm button: 416 + 20, 351 + 13 inside the panel at 8, 8.
  Click(pool, 8 + 436, 8 + 364);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "confirm did not close";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));

  // Again, but cancelled with the close button.
  ASSERT_EQ(OpenPool(), pool);
  editor = EditFirstKey(tree);
  ASSERT_NE(editor, nullptr);
  Type(editor, L"zzz");
  Click(pool, 8 + 459, 8 + 10);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); })) << "cancel did not close";

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(kovan->WaitForExit().has_value());
  const std::string list = ReadAll(folder.path() / "Liste.kvl");
  EXPECT_EQ(list.substr(0, list.find(',')), "NEWKEY");
  EXPECT_EQ(list.find("ZZZ"), std::string::npos);
  EXPECT_NE(list.find("TWO,BMP,"), std::string::npos);
}

}  // namespace
}  // namespace kovan::e2e
