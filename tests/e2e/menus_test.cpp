// Every item of the main menu and of the pool window's menu, chosen the way a
// user chooses it: a right click, then a click on the item by its caption.
// Each choice is checked by what it did, and Kovan must live on after it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <map>

#include "driver.hpp"
#include "menu_captions.hpp"

namespace kovan::e2e {
namespace {

// Whether the picture column of a menu item shows something: in each pixel
// row of the column, the pixels that differ clearly from the row's most
// common colour. A plain or shaded background has none; a picture has many.
bool ShowsPicture(const MenuItem& item) {
  const int height = item.rect.bottom - item.rect.top;
  const RECT column{item.rect.left + height / 6, item.rect.top + 2, item.rect.left + height, item.rect.bottom - 2};
  const std::vector<COLORREF> pixels = CaptureScreen(column);
  const int width = column.right - column.left;
  if (width <= 0 || pixels.empty()) return false;
  auto distance = [](COLORREF a, COLORREF b) {
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) + std::abs(int(GetGValue(a)) - int(GetGValue(b))) +
           std::abs(int(GetBValue(a)) - int(GetBValue(b)));
  };
  int differing = 0;
  for (size_t row = 0; row + static_cast<size_t>(width) <= pixels.size(); row += static_cast<size_t>(width)) {
    std::map<COLORREF, int> counts;
    for (int x = 0; x < width; ++x) ++counts[pixels[row + static_cast<size_t>(x)]];
    const COLORREF common =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    for (int x = 0; x < width; ++x) differing += distance(pixels[row + static_cast<size_t>(x)], common) > 40;
  }
  return differing >= height;
}

// Whether a hint window of the program lies over the open menu.
bool HintCovers(const OpenMenu& menu) {
  DWORD pid = 0;
  GetWindowThreadProcessId(menu.window, &pid);
  const RECT menuRect = ScreenRect(menu.window);
  for (HWND hint : VisibleWindows(pid, L"KovanOfficeHint")) {
    RECT overlap{};
    const RECT hintRect = ScreenRect(hint);
    if (IntersectRect(&overlap, &hintRect, &menuRect)) return true;
  }
  return false;
}

// The captions of the items of `menu` that show no picture.
std::vector<std::wstring> ItemsWithoutPicture(const OpenMenu& menu) {
  MoveOffMenu(menu.window);
  Sleep(300);  // the menu draws its items once it shows
  EXPECT_FALSE(HintCovers(menu)) << "a hint covers the menu";
  std::vector<std::wstring> blank;
  for (const MenuItem& item : menu.items) {
    if (!item.separator && !ShowsPicture(item)) blank.push_back(item.text);
  }
  return blank;
}

std::vector<std::wstring> Strings(std::initializer_list<const std::wstring*> items) {
  std::vector<std::wstring> out;
  for (const std::wstring* item : items) out.push_back(*item);
  return out;
}

// Kovan with two pool entries whose keys are set, and the stand-in compiler
// installed as GoRC, which copies its input to its output.
class Menus : public ::testing::Test {
 public:
  void SetUp() override {
    ForgetSettings();
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    compiler = std::filesystem::path(system) / L"Gorc.exe";
    ASSERT_TRUE(CopyFileW((BinFolder() / L"fake_gorc.exe").c_str(), compiler.c_str(), FALSE));
    for (const char* name : {"one.ico", "two.bmp"}) WriteFile(folder.path() / name, std::string(1500, 'x'));
    WriteFile(folder.path() / "Liste.kvl", "ONE,ICO," + (folder.path() / "one.ico").string() + "\r\nTWO,BMP," +
                                               (folder.path() / "two.bmp").string() + "\r\n");
    kovan = std::make_unique<KovanProcess>(folder.path());
    main = kovan->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // Aside, where the windows it opens in the middle of the screen leave it in reach.
    ASSERT_TRUE(DragPanelTo(main, POINT{40, 40})) << "the panel did not follow the mouse";
  }
  void TearDown() override {
    if (kovan && kovan->Running()) DismissMenus(kovan->pid());
    kovan.reset();
    ForgetSettings();
    for (int i = 0; i < 50 && !DeleteFileW(compiler.c_str()); ++i) Sleep(100);
  }

  DWORD pid() const { return kovan->pid(); }

  // The next message box: its text must start with `start`; `button` closes it.
  void Answer(const std::wstring& start, int button) {
    const auto box = kovan->WaitForMessageBox();
    ASSERT_TRUE(box.has_value()) << "no message box; expected one starting " << testing::PrintToString(start);
    EXPECT_EQ(box->text.substr(0, start.size()), start);
    EXPECT_TRUE(KovanProcess::PressToClose(box->hwnd, button)) << "the box stayed open";
  }

  HWND PoolWindow() { return WaitForWindow(pid(), L"TKaynaklar"); }
  HWND Tree(HWND pool) { return FindWindowExW(pool, nullptr, kParamTreeClass, nullptr); }
  // The entries the tree shows: its roots (their children get nodes only once opened).
  size_t EntryCount(HWND pool) {
    size_t count = 0;
    for (auto item = SendMessageW(Tree(pool), TVM_GETNEXTITEM, TVGN_ROOT, 0); item;
         item = SendMessageW(Tree(pool), TVM_GETNEXTITEM, TVGN_NEXT, item)) {
      ++count;
    }
    return count;
  }

  // A point of the pool window given in its design pixels.
  POINT PoolPoint(HWND pool, int x, int y) { return DesignPoint(pool, 486, POINT{x, y}); }
  // The close button (451, 2, 16 by 16) and the confirm button (416, 351,
  // 41 by 26) lie in the panel at 8, 8.
  void ClickPoolClose(HWND pool) { input::Click(PoolPoint(pool, 8 + 459, 8 + 10)); }
  void ClickPoolConfirm(HWND pool) { input::Click(PoolPoint(pool, 8 + 436, 8 + 364)); }

  // The pool window's menu, opened with a right click on the tree.
  ::testing::AssertionResult ChoosePoolItem(HWND pool, const std::vector<std::wstring>& path) {
    return ChooseMenuItem(pid(), Tree(pool), path);
  }

  // Opens the pool window with F5, the one way to it besides the menu.
  HWND OpenPoolWithF5() {
    input::Click(main);
    const RECT panel = ScreenRect(main);
    input::MoveTo(POINT{panel.right + 40, panel.bottom + 40});
    input::Key(VK_F5);
    return PoolWindow();
  }

  // The main menu's items, each chosen and checked by its effect.
  void CreateRes() {
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kCompile, kCreateRes}));
    const auto out = folder.path() / ("res" + std::to_string(++outputs));
    ASSERT_TRUE(AnswerFileDialog(pid(), out)) << "no save dialog";
    Answer(L"RES dosyası başarı ile oluşturuldu", IDNO);
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(out.string() + ".res"); }));
  }
  void CreateObj() {
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kCompile, kCreateObj}));
    const auto out = folder.path() / ("obj" + std::to_string(++outputs));
    ASSERT_TRUE(AnswerFileDialog(pid(), out)) << "no save dialog";
    Answer(L"OBJ dosyası başarı ile oluşturuldu", IDNO);
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(out.string() + ".obj"); }));
  }
  void ResToObj() {
    const auto input = folder.path() / "input.res";
    WriteFile(input, std::string(32, '\0'));
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kCompile, kResToObj}));
    ASSERT_TRUE(AnswerFileDialog(pid(), input)) << "no open dialog";
    const auto out = folder.path() / ("converted" + std::to_string(++outputs));
    ASSERT_TRUE(AnswerFileDialog(pid(), out)) << "no save dialog";
    Answer(L"OBJ dosyası başarı ile oluşturuldu", IDNO);
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(out.string() + ".obj"); }));
  }
  void OpenPool() {
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kPool}));
    HWND pool = PoolWindow();
    ASSERT_NE(pool, nullptr) << "no pool window";
    EXPECT_FALSE(IsWindowEnabled(main)) << "the pool window is modal";
    EXPECT_EQ(EntryCount(pool), entries);
    ClickPoolClose(pool);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool) && IsWindowEnabled(main); }));
  }
  void ClearPool() {
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kClearPool}));
    if (entries == 0) {
      Answer(L"Havuzda temizlenecek dosya yok", IDOK);
    } else {
      Answer(L"Havuzdaki tüm kayıtlar silinecek", clearAnswer);
      if (clearAnswer == IDYES) entries = 0;
    }
  }
  void Settings() {
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kSettings}));
    EXPECT_NE(WaitForWindow(pid(), L"TAyarPencere"), nullptr) << "no settings window";
  }
  void About() {
    const size_t before = VisibleWindows(pid(), L"THakkindaPencere").size();
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kAbout}));
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindows(pid(), L"THakkindaPencere").size() == before + 1; }))
        << "no new about window";
  }
  void Help() {
    // The copy under test has no help file beside it.
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kHelp}));
    Answer(L"Yardım Dosyası Bulunamadı", IDOK);
  }
  void NewVersion() {
    const auto menu = OpenContextMenu(pid(), main);
    ASSERT_TRUE(menu.has_value());
    ASSERT_NE(menu->Find(kNewVersion), nullptr);
    EXPECT_FALSE(menu->Find(kNewVersion)->enabled) << "no newer release was found";
    DismissMenus(pid());
  }
  void Exit() {
    ASSERT_TRUE(ChooseMenuItem(pid(), main, {kExit}));
    const auto code = kovan->WaitForExit();
    ASSERT_TRUE(code.has_value()) << "Kovan did not close";
    EXPECT_EQ(*code, 0u);
  }

  using Step = void (Menus::*)();
  struct NamedStep {
    const char* name;
    Step step;
  };
  void Run(const std::vector<NamedStep>& steps) {
    for (const NamedStep& step : steps) {
      SCOPED_TRACE(step.name);
      (this->*step.step)();
      ASSERT_TRUE(kovan->Running()) << "Kovan stopped after " << step.name;
      ASSERT_TRUE(IsWindowVisible(main));
      if (HasFatalFailure()) return;
    }
  }
  std::vector<NamedStep> EveryMainMenuItem() {
    return {{"RES", &Menus::CreateRes},
            {"OBJ", &Menus::CreateObj},
            {"RES to OBJ", &Menus::ResToObj},
            {"pool", &Menus::OpenPool},
            {"new version", &Menus::NewVersion},
            {"clear", &Menus::ClearPool},
            {"settings", &Menus::Settings},
            {"about", &Menus::About},
            {"help", &Menus::Help}};
  }

  size_t entries = 2;
  int clearAnswer = IDYES;
  int outputs = 0;
  ScratchFolder folder;
  std::filesystem::path compiler;
  std::unique_ptr<KovanProcess> kovan;
  HWND main = nullptr;
};

TEST_F(Menus, TheMainMenuShowsEveryItemWithItsPictureAndOnlyTheIdleOnesGreyed) {
  const auto menu = OpenContextMenu(pid(), main);
  ASSERT_TRUE(menu.has_value());
  EXPECT_EQ(menu->Captions(),
            Strings({&kCompile, &kPool, &kNewVersion, &kClearPool, &kSettings, &kAbout, &kHelp, &kExit}));
  for (const MenuItem& item : menu->items) {
    if (item.separator) continue;
    // "Yeni Sürüm" waits for the version check to find a newer release.
    EXPECT_EQ(item.enabled, item.text != kNewVersion) << testing::PrintToString(item.text);
  }
  // "Yeni Sürüm" is the one item drawn without a picture.
  EXPECT_EQ(ItemsWithoutPicture(*menu), Strings({&kNewVersion}));

  ASSERT_NE(menu->Find(kCompile), nullptr);
  input::Click(Centre(menu->Find(kCompile)->rect));
  const auto submenu = WaitForMenuWith(pid(), kCreateRes);
  ASSERT_TRUE(submenu.has_value()) << "the compile submenu did not open";
  EXPECT_EQ(submenu->Captions(), Strings({&kCreateRes, &kCreateObj, &kResToObj, &kStopCompile}));
  ASSERT_NE(submenu->Find(kStopCompile), nullptr);
  EXPECT_FALSE(submenu->Find(kStopCompile)->enabled) << "nothing is compiling";
  EXPECT_EQ(ItemsWithoutPicture(*submenu), Strings({&kStopCompile}));
  DismissMenus(pid());
  EXPECT_TRUE(kovan->Running());
}

TEST_F(Menus, TheSummaryHintStaysOffTheOpenMenu) {
  // The mouse rests where it clicked, longer than the hint's hover time.
  input::RightClick(Centre(ScreenRect(main)));
  HWND menu = WaitForWindow(pid(), L"#32768");
  ASSERT_NE(menu, nullptr);
  Sleep(1500);
  EXPECT_FALSE(HintCovers(OpenMenu{menu, nullptr, {}})) << "the pool summary covers the menu";
  DismissMenus(pid());
}

TEST_F(Menus, EveryMainMenuItemDoesItsJob) {
  Run(EveryMainMenuItem());
  ASSERT_FALSE(HasFatalFailure());
  // The pool was cleared: a second clear finds nothing, the pool window shows nothing.
  Run({{"clear again", &Menus::ClearPool}, {"empty pool", &Menus::OpenPool}});
  Exit();
  EXPECT_EQ(ReadAll(folder.path() / "Liste.kvl"), "");
}

TEST_F(Menus, EveryMainMenuItemTwiceInAnotherOrderNeverStopsKovan) {
  clearAnswer = IDNO;
  auto steps = EveryMainMenuItem();
  std::reverse(steps.begin(), steps.end());
  std::rotate(steps.begin(), steps.begin() + 3, steps.end());
  Run(steps);
  ASSERT_FALSE(HasFatalFailure());
  Run(steps);
  ASSERT_FALSE(HasFatalFailure());
  Exit();
}

// The roots of the pool window's tree: one per entry, showing its file name.
std::vector<std::wstring> EntryNames(HWND tree) {
  std::vector<std::wstring> names;
  for (const TreeItem& item : ReadTree(tree)) {
    if (item.depth == 0) names.push_back(item.text);
  }
  return names;
}

// Whether the entries' four child nodes each show, that is the groups are open.
bool GroupsOpen(HWND tree) {
  size_t roots = 0;
  size_t shownChildren = 0;
  for (const TreeItem& item : ReadTree(tree)) {
    if (item.depth == 0) ++roots;
    if (item.depth == 1 && !IsRectEmpty(&item.rect)) ++shownChildren;
  }
  return roots > 0 && shownChildren == 4 * roots;
}

// A click on the label of the root that shows `name`.
bool ClickEntry(HWND tree, const std::wstring& name) {
  for (const TreeItem& item : ReadTree(tree)) {
    if (item.depth != 0 || item.text != name || IsRectEmpty(&item.rect)) continue;
    input::Click(POINT{item.rect.left + 6, (item.rect.top + item.rect.bottom) / 2});
    return true;
  }
  return false;
}

TEST_F(Menus, ThePoolWindowMenuShowsEveryItemAndBothSubmenusWithPictures) {
  HWND pool = OpenPoolWithF5();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  const auto menu = OpenContextMenu(pid(), Tree(pool));
  ASSERT_TRUE(menu.has_value());
  EXPECT_EQ(menu->Captions(), Strings({&kAdd, &kDelete, &kToggleAll, &kExport, &kCancelAndClose, &kConfirmAndClose}));
  for (const MenuItem& item : menu->items)
    EXPECT_TRUE(item.separator || item.enabled) << testing::PrintToString(item.text);
  EXPECT_EQ(ItemsWithoutPicture(*menu), std::vector<std::wstring>{});

  const std::pair<const std::wstring*, std::vector<std::wstring>> submenus[] = {{&kAdd, {kAddFile, kAddFolder, kImportScript}},
                                                                                {&kExport, {L"XLS", L"XML", L"HTML"}}};
  for (const auto& [parent, items] : submenus) {
    SCOPED_TRACE(*parent);
    ASSERT_NE(menu->Find(*parent), nullptr);
    input::Click(Centre(menu->Find(*parent)->rect));
    const auto submenu = WaitForMenuWith(pid(), items.front());
    ASSERT_TRUE(submenu.has_value()) << "the submenu shows no items";
    EXPECT_EQ(submenu->Captions(), items);
    EXPECT_EQ(ItemsWithoutPicture(*submenu), std::vector<std::wstring>{});
  }
  DismissMenus(pid());
  EXPECT_TRUE(kovan->Running());
}

TEST_F(Menus, EveryPoolWindowItemDoesItsJobAndAConfirmReachesThePool) {
  const auto added = folder.path() / "three.wav";
  WriteFile(added, "RIFF");
  std::filesystem::create_directory(folder.path() / "more");
  WriteFile(folder.path() / "more" / "four.png", "png");
  HWND pool = OpenPoolWithF5();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  HWND tree = Tree(pool);

  ASSERT_TRUE(ChoosePoolItem(pool, {kAdd, kAddFile}));
  ASSERT_TRUE(AnswerFileDialog(pid(), added)) << "no open dialog";
  ASSERT_TRUE(WaitUntil([&] { return EntryCount(pool) == 3; }));
  ASSERT_TRUE(ChoosePoolItem(pool, {kAdd, kAddFile}));
  ASSERT_TRUE(AnswerFileDialog(pid(), added));
  Answer(L"Bu dosya havuzda mevcut", IDOK);

  ASSERT_TRUE(ChoosePoolItem(pool, {kAdd, kAddFolder}));
  ASSERT_TRUE(AnswerFileDialog(pid(), folder.path() / "more")) << "no folder dialog";
  Answer(L"Alt klasörlerdeki dosyalarda dahil edilsinmi ?", IDNO);
  ASSERT_TRUE(WaitUntil([&] { return EntryCount(pool) == 4; }));
  EXPECT_EQ(EntryNames(tree), (std::vector<std::wstring>{L"one.ico", L"two.bmp", L"three.wav", L"four.png"}));

  ASSERT_FALSE(GroupsOpen(tree));
  ASSERT_TRUE(ChoosePoolItem(pool, {kToggleAll}));
  EXPECT_TRUE(WaitUntil([&] { return GroupsOpen(tree); })) << "the groups did not open";
  ASSERT_TRUE(ChoosePoolItem(pool, {kToggleAll}));
  EXPECT_TRUE(WaitUntil([&] { return !GroupsOpen(tree); })) << "the groups did not close";

  // The selected entry goes; the selection moves on, so the Delete key can
  // take the next one at once.
  ASSERT_TRUE(ClickEntry(tree, L"two.bmp"));
  ASSERT_TRUE(ChoosePoolItem(pool, {kDelete}));
  Answer(L"Aktif kayıt silinecek", IDYES);
  ASSERT_TRUE(WaitUntil([&] { return EntryCount(pool) == 3; }));
  EXPECT_EQ(EntryNames(tree), (std::vector<std::wstring>{L"one.ico", L"three.wav", L"four.png"}));
  EXPECT_NE(SelectedTreeItem(tree), nullptr) << "the selection was cleared";
  input::Key(VK_DELETE);
  {
    SCOPED_TRACE("the Delete key right after a delete");
    Answer(L"Aktif kayıt silinecek", IDNO);
  }
  EXPECT_EQ(EntryCount(pool), 3u);

  // Each export writes its file, from the entries as they stand in the window.
  const std::pair<std::wstring, std::string> exports[] = {
      {L"XML", "list.xml"}, {L"HTML", "list.html"}, {L"XLS", "book.xlsx"}};
  for (const auto& [format, file] : exports) {
    SCOPED_TRACE(format);
    ASSERT_TRUE(ChoosePoolItem(pool, {kExport, format}));
    const auto target = folder.path() / file;
    ASSERT_TRUE(AnswerFileDialog(pid(), format == L"XLS" ? target : target.parent_path() / target.stem()))
        << "no save dialog";
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(target) && std::filesystem::file_size(target) > 0; }))
        << "no " << file;
  }
  EXPECT_NE(ReadAll(folder.path() / "list.xml").find("three.wav"), std::string::npos);
  EXPECT_EQ(ReadAll(folder.path() / "list.xml").find("two.bmp"), std::string::npos);
  EXPECT_NE(ReadAll(folder.path() / "list.html").find("four.png"), std::string::npos);
  EXPECT_EQ(ReadAll(folder.path() / "book.xlsx").substr(0, 2), "PK");

  ASSERT_TRUE(ChoosePoolItem(pool, {kConfirmAndClose}));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool) && IsWindowEnabled(main); }));
  ASSERT_TRUE(kovan->Running());
  Exit();
  const std::string list = ReadAll(folder.path() / "Liste.kvl");
  EXPECT_EQ(list, "ONE,ICO," + (folder.path() / "one.ico").string() + "\r\n?,WAV," + added.string() + "\r\n?,PNG," +
                      (folder.path() / "more" / "four.png").string() + "\r\n");
}

TEST_F(Menus, CancellingThePoolWindowKeepsThePoolAndItsButtonsActOnlyOnAClick) {
  const std::string before = ReadAll(folder.path() / "Liste.kvl");
  HWND pool = OpenPoolWithF5();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  ASSERT_TRUE(ClickEntry(Tree(pool), L"one.ico"));
  input::Key(VK_DELETE);
  Answer(L"Aktif kayıt silinecek", IDYES);
  ASSERT_TRUE(WaitUntil([&] { return EntryCount(pool) == 1; }));

  // A press on a button taken away before the release does nothing.
  const POINT away = PoolPoint(pool, 240, 380);
  input::PressAndReleaseAt(PoolPoint(pool, 8 + 436, 8 + 364), away);
  input::PressAndReleaseAt(PoolPoint(pool, 8 + 459, 8 + 10), away);
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(pool)) << "a button acted on the press alone";

  ASSERT_TRUE(ChoosePoolItem(pool, {kCancelAndClose}));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); }));
  // Opened again, it shows the pool as it was; its close button drops the edits too.
  ASSERT_EQ(OpenPoolWithF5(), pool);
  EXPECT_EQ(EntryCount(pool), 2u);
  ASSERT_TRUE(ClickEntry(Tree(pool), L"one.ico"));
  input::Key(VK_DELETE);
  Answer(L"Aktif kayıt silinecek", IDYES);
  ClickPoolClose(pool);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); }));
  Exit();
  EXPECT_EQ(ReadAll(folder.path() / "Liste.kvl"), before);
}

TEST_F(Menus, AFailingExportShowsItsErrorAndThePoolWindowGoesOnWorking) {
  // The export would write out.xml, where a folder of that name stands.
  std::filesystem::create_directory(folder.path() / "out.xml");
  HWND pool = OpenPoolWithF5();
  ASSERT_NE(pool, nullptr) << "no pool window after F5";
  ASSERT_TRUE(ChoosePoolItem(pool, {kExport, L"XML"}));
  ASSERT_TRUE(AnswerFileDialog(pid(), folder.path() / "out")) << "no save dialog";
  Answer(L"Cannot Create file " + (folder.path() / "out.xml").wstring(), IDOK);
  ASSERT_TRUE(kovan->Running());

  ASSERT_TRUE(ChoosePoolItem(pool, {kToggleAll}));
  EXPECT_TRUE(WaitUntil([&] { return GroupsOpen(Tree(pool)); }));
  ClickPoolConfirm(pool);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool) && IsWindowEnabled(main); }));
  EXPECT_TRUE(kovan->Running());
}

TEST_F(Menus, WhileThePoolWindowShowsTheSettingsWindowWaits) {
  ASSERT_TRUE(ChooseMenuItem(pid(), main, {kSettings}));
  HWND settings = WaitForWindow(pid(), L"TAyarPencere");
  ASSERT_NE(settings, nullptr);
  HWND pool = OpenPoolWithF5();
  ASSERT_NE(pool, nullptr);
  EXPECT_FALSE(IsWindowEnabled(settings)) << "the settings window stays usable beside the modal pool window";
  ClickPoolClose(pool);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(pool); }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(settings) != FALSE; }));
}

}  // namespace
}  // namespace kovan::e2e
