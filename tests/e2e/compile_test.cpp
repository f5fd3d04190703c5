// A fresh install, as a new user meets it: no settings, no resource compiler
// on the machine and no pool list. Files dropped onto the panel, their keys
// typed into the pool window and "compile to .RES" chosen from the menu give
// a .RES file made by Kovan's own compiler.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "driver.hpp"
#include "menu_captions.hpp"
#include "support/res_file_reader.hpp"
#include "support/resource_files.hpp"

namespace kovan::e2e {
namespace {

// The entries of the tree: its top-level nodes, in order.
std::vector<TreeItem> Entries(HWND tree) {
  std::vector<TreeItem> entries;
  for (TreeItem& item : ReadTree(tree)) {
    if (item.depth == 0) entries.push_back(std::move(item));
  }
  return entries;
}

// Opens entry `index` with the right arrow key, clicks along its key row (its
// fourth parameter) until the editor opens there, types `key` and presses Enter.
::testing::AssertionResult TypeKey(HWND tree, size_t index, const std::wstring& key) {
  const std::vector<TreeItem> entries = Entries(tree);
  if (entries.size() <= index) return ::testing::AssertionFailure() << "no entry " << index;
  const RECT entry = entries[index].rect;
  input::Click(POINT{entry.left + 6, (entry.top + entry.bottom) / 2});
  input::Key(VK_RIGHT);
  RECT keyRow{};
  const bool shown = WaitUntil(
      [&] {
        const std::vector<TreeItem> items = ReadTree(tree);
        const auto at = std::find_if(items.begin(), items.end(),
                                     [&](const TreeItem& i) { return i.handle == entries[index].handle; });
        if (at == items.end() || items.end() - at < 5) return false;
        keyRow = (at + 4)->rect;
        return (at + 4)->depth == 1 && !IsRectEmpty(&keyRow);
      },
      5s);
  if (!shown) return ::testing::AssertionFailure() << "entry " << index << " did not open";
  const HWND pool = GetParent(tree);
  for (int x = keyRow.left + 2; x < keyRow.right; x += 6) {
    input::Click(POINT{x, (keyRow.top + keyRow.bottom) / 2});
    if (WaitUntil([&] { return VisibleEditor(pool) != nullptr; }, 150ms)) {
      input::Type(key);
      input::Key(VK_RETURN);
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure() << "no editor over the key of entry " << index;
}

TEST(FreshInstall, CompilesADroppedAndNamedPoolWithItsOwnCompiler) {
  ForgetSettings();
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_FALSE(std::filesystem::exists(std::filesystem::path(system) / L"Gorc.exe")) << "GoRC is installed";

  ScratchFolder folder;
  const auto icon = folder.path() / "app.ico";
  const auto notes = folder.path() / "notes.txt";
  const std::string iconBytes = test::IconFileBytes(
      1, {{16, 16, 0, 1, 32, test::DibImage(16, 16, 32)}, {32, 32, 0, 1, 32, test::DibImage(32, 32, 32)}});
  WriteFile(icon, iconBytes);
  WriteFile(notes, "Kovan compiles by itself.\r\n");

  KovanProcess kovan(folder.path());
  // No list yet: Kovan makes an empty one and says so.
  const auto created = kovan.WaitForMessageBox();
  ASSERT_TRUE(created.has_value()) << "no word of the new list file";
  EXPECT_NE(created->text.find(L"Yenisi oluşturuldu"), std::wstring::npos);
  EXPECT_TRUE(KovanProcess::PressToClose(created->hwnd, IDOK)) << "the box stayed open";
  const HWND main = kovan.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  ASSERT_TRUE(DropFiles(kovan.pid(), main, {icon, notes}));
  ASSERT_TRUE(ChooseMenuItem(kovan.pid(), main, {kPool}));
  const HWND pool = WaitForWindow(kovan.pid(), L"TKaynaklar");
  ASSERT_NE(pool, nullptr) << "no pool window";
  const HWND tree = FindWindowExW(pool, nullptr, kParamTreeClass, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Entries(tree).size() == 2; })) << "the two dropped files are not in the pool";
  ASSERT_TRUE(TypeKey(tree, 0, L"APPICON"));
  ASSERT_TRUE(TypeKey(tree, 1, L"NOTES"));
  // The confirm button: 416 + 20, 351 + 13 inside the panel at 8, 8.
  input::Click(DesignPoint(pool, 486, POINT{8 + 436, 8 + 364}));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool) && IsWindowEnabled(main); })) << "confirm did not close";

  ASSERT_TRUE(ChooseMenuItem(kovan.pid(), main, {kCompile, kCreateRes}));
  const auto out = folder.path() / "pool";
  ASSERT_TRUE(AnswerFileDialog(kovan.pid(), out)) << "no save dialog";
  const auto done = kovan.WaitForMessageBox(60s);
  ASSERT_TRUE(done.has_value()) << "no word of the compile";
  EXPECT_EQ(done->text.rfind(L"RES dosyası başarı ile oluşturuldu", 0), 0u) << testing::PrintToString(done->text);
  EXPECT_NE(done->text.find(L"Kovan"), std::wstring::npos) << "the message names the compiler";
  EXPECT_TRUE(KovanProcess::PressToClose(done->hwnd, IDNO)) << "the box stayed open";

  // Each file as it is, under its key and its extension as the type.
  const std::vector<test::ResResource> resources = test::ReadResFile(ReadAll(out.string() + ".res"));
  std::vector<std::string> made;
  for (const test::ResResource& r : resources) {
    if (!r.type.empty() && r.type != "#0") made.push_back(r.type + " " + r.name);
  }
  ASSERT_EQ(made, (std::vector<std::string>{"ICO APPICON", "TXT NOTES"}));
  EXPECT_EQ(resources[resources.size() - 2].data, iconBytes);
  EXPECT_EQ(resources.back().data, "Kovan compiles by itself.\r\n");

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(kovan.WaitForExit().has_value());
  ForgetSettings();
}

}  // namespace
}  // namespace kovan::e2e
