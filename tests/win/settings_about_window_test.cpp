// The settings window acting on a real main window, and about windows that
// open side by side, scroll, and close one at a time.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

#include "settings/settings_store.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"
#include "windows/about/about_window.win32.hpp"
#include "windows/main/hover_summary.hpp"
#include "windows/main/main_window.win32.hpp"
#include "windows/settings/settings_window.win32.hpp"

namespace kovan {
namespace {

// Runs the message loop until `done` or a few seconds have passed.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
  return true;
}

void Pump(std::chrono::milliseconds time) {
  PumpUntil([] { return false; }, time);
}

bool Topmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// The window's alpha while it is see-through, or 255 when it is opaque.
int Alpha(HWND window) {
  COLORREF key = 0;
  BYTE alpha = 255;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return -1;
  return (flags & LWA_ALPHA) ? alpha : 255;
}

void Click(HWND control) { SendMessageW(control, BM_CLICK, 0, 0); }

HWND Toggle(const SettingsWindow& window, SettingsToggle toggle) {
  return GetDlgItem(window.hwnd(), SettingsWindow::kToggleFirst + static_cast<int>(toggle));
}

// A real main window and, beside it, the settings window acting on it.
class SettingsWindowTest : public ::testing::Test {
 protected:
  // Builds the main window as the start does (no network: no version check).
  void StartMain() {
    SettingsStore(rig.registry).WriteBoolean("Skontrol", false);
    main.emplace(rig.Services());
    ASSERT_TRUE(main->Create(nullptr, [](HWND) {}));
  }
  // Builds the settings window on the main window's settings as they stand.
  void MakeSettingsWindow(std::function<std::vector<CompilerPrograms>()> findCompilers = {}) {
    AppSettings& settings = main->Logic().Settings();
    appearance.emplace(AppearanceTarget(*main), settings.Trans, OpacityForLevel(settings.TransI));
    SettingsWindowServices services{settings, store, *appearance, rig.prompter, rig.browser, dir / "dil\\"};
    services.findCompilers = std::move(findCompilers);
    window.emplace(std::move(services));
    ASSERT_TRUE(window->Create(main->hwnd()));
  }

  test::TempDir dir;
  test::MainWindowRig rig{dir.str()};
  const SettingsStore store{rig.registry};
  std::optional<MainWindow> main;
  std::optional<MainWindowAppearance> appearance;
  std::optional<SettingsWindow> window;
};

TEST_F(SettingsWindowTest, ItsControlsChangeTheMainWindowAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StartMain());
  MainWindow& main = *this->main;
  AppSettings& settings = main.Logic().Settings();
  // Transparency is off; the stored level must not show before it is on.
  settings.TransI = 5;
  ASSERT_NO_FATAL_FAILURE(MakeSettingsWindow());
  SettingsWindow& window = *this->window;
  window.Show();
  EXPECT_EQ(Alpha(main.hwnd()), 255);
  EXPECT_TRUE(Topmost(main.hwnd()));

  Click(GetDlgItem(window.hwnd(), SettingsWindow::kVisualCaption));
  ASSERT_TRUE(IsWindowVisible(Toggle(window, SettingsToggle::StayOnTop)));
  Click(Toggle(window, SettingsToggle::StayOnTop));
  EXPECT_FALSE(Topmost(main.hwnd()));
  EXPECT_FALSE(settings.EnUst);

  Click(Toggle(window, SettingsToggle::Transparency));
  EXPECT_EQ(Alpha(main.hwnd()), 159);  // level 5
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window.hwnd(), SettingsWindow::kLevelBox)));

  // The level box's down arrow, pressed with the mouse.
  HWND arrows = GetDlgItem(window.hwnd(), SettingsWindow::kLevelArrows);
  RECT r{};
  GetClientRect(arrows, &r);
  const LPARAM lowerHalf = MAKELPARAM(r.right / 2, r.bottom * 3 / 4);
  SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, lowerHalf);
  SendMessageW(arrows, WM_LBUTTONUP, 0, lowerHalf);
  EXPECT_EQ(Alpha(main.hwnd()), 127);  // level 4
  EXPECT_EQ(settings.TransI, 4);
  wchar_t shown[8] = {};
  GetWindowTextW(GetDlgItem(window.hwnd(), SettingsWindow::kLevelBox), shown, 8);
  EXPECT_STREQ(shown, L"4");

  Click(Toggle(window, SettingsToggle::Transparency));
  EXPECT_EQ(Alpha(main.hwnd()), 255);
  EXPECT_FALSE(settings.Trans);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window.hwnd(), SettingsWindow::kLevelBox)));

  // The window's close and its glass button only hide it.
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  window.Show();
  Click(GetDlgItem(window.hwnd(), SettingsWindow::kGlassButton));
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  EXPECT_TRUE(IsWindow(window.hwnd()));
}

TEST_F(SettingsWindowTest, ItsFirstShowingCarriesWhatItsCreationSet) {
  // The controls are made after the creation steps have run: the language
  // list, the texts and the states those steps set must reach them.
  std::filesystem::create_directories(test::FsPath(dir / "dil"));
  std::filesystem::copy_file(std::filesystem::path(KOVAN_SOURCE_DIR) / "res" / "dil" / "English.lng",
                             test::FsPath(dir / "dil\\English.lng"));
  ASSERT_NO_FATAL_FAILURE(StartMain());
  ASSERT_NO_FATAL_FAILURE(MakeSettingsWindow());
  SettingsWindow& window = *this->window;
  window.Show();

  HWND languages = GetDlgItem(window.hwnd(), SettingsWindow::kLanguageList);
  EXPECT_EQ(SendMessageW(languages, CB_GETCOUNT, 0, 0), 3);  // Turkish, English and the "+" item
  EXPECT_EQ(SendMessageW(languages, CB_GETCURSEL, 0, 0), 0);
  EXPECT_GT(GetWindowTextLengthW(GetDlgItem(window.hwnd(), SettingsWindow::kLanguageLabel)), 0);
  EXPECT_GT(GetWindowTextLengthW(GetDlgItem(window.hwnd(), SettingsWindow::kGeneralCaption)), 0);
  // Folders are ignored by default: the radio button the creation checked,
  // which the showing leaves as it is.
  EXPECT_EQ(SendMessageW(Toggle(window, SettingsToggle::IgnoreFolders), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Toggle(window, SettingsToggle::AcceptFolders), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SettingsWindowTest, OffersTheCompilersFoundAndTakesOnlyThoseAsTheChoice) {
  ASSERT_NO_FATAL_FAILURE(StartMain());
  AppSettings& settings = this->main->Logic().Settings();
  std::vector<CompilerPrograms> found(4);
  found[0].id = CompilerId::GoRC;
  found[0].compiler = "C:\\Windows\\System32\\Gorc.exe";
  found[1].id = CompilerId::Rc;  // not on this machine
  found[2].id = CompilerId::Llvm;
  found[2].compiler = "C:\\LLVM\\bin\\llvm-rc.exe";
  found[2].converter = "C:\\LLVM\\bin\\llvm-cvtres.exe";
  found[3].id = CompilerId::Windres;
  ASSERT_NO_FATAL_FAILURE(MakeSettingsWindow([&found] { return found; }));
  SettingsWindow& window = *this->window;
  window.Show();

  HWND list = GetDlgItem(window.hwnd(), SettingsWindow::kCompilerList);
  HWND machines = GetDlgItem(window.hwnd(), SettingsWindow::kMachineList);
  // The choice left to Kovan, then the four compilers.
  ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);  // none chosen, the default
  auto choose = [&](HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  };
  choose(list, 1);
  EXPECT_EQ(settings.Derleyici, "gorc");
  choose(list, 2);  // rc was not found: the choice goes back
  EXPECT_EQ(settings.Derleyici, "gorc");
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
  choose(list, 3);
  EXPECT_EQ(settings.Derleyici, "llvm");
  ASSERT_EQ(SendMessageW(machines, CB_GETCOUNT, 0, 0), 3);
  choose(machines, 1);
  EXPECT_EQ(settings.Makine, "x64");
  choose(machines, 2);
  EXPECT_EQ(settings.Makine, "arm64");
  // Left to Kovan, GoRC compiles here, and it makes no arm64 objects.
  choose(list, 0);
  EXPECT_EQ(settings.Derleyici, "");
  ASSERT_EQ(SendMessageW(machines, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(machines, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(settings.Makine, "x86");
}

TEST(AboutWindow, TwoOpenAtOnceEachScrollsAndClosesAlone) {
  RecordingShell shell;
  AboutWindows about(shell);
  AboutWindow* first = about.Open(nullptr);
  AboutWindow* second = about.Open(nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  HWND firstWindow = first->hwnd();
  HWND secondWindow = second->hwnd();
  EXPECT_EQ(about.Count(), 2u);
  EXPECT_EQ(second->Scroll().Position(), CreditsScroll::kStartPosition);
  // The pointer cannot be moved here, so the windows move instead: away from
  // it, then with the panel under it.
  POINT pointer{};
  GetCursorPos(&pointer);
  const auto moveTo = [](HWND w, int x, int y) { SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); };
  const auto moveAway = [&](HWND w) { moveTo(w, pointer.x > 600 ? 0 : 700, pointer.y > 500 ? 0 : 600); };
  moveAway(first->hwnd());
  moveAway(second->hwnd());
  SendMessageW(second->hwnd(), WM_MOUSELEAVE, 0, 0);

  // A click on the first one's close button closes and releases only that one.
  HWND close = first->CloseButton();
  PostMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(close, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  ASSERT_TRUE(PumpUntil([&] { return about.Count() == 1; }));
  EXPECT_FALSE(IsWindow(firstWindow));
  ASSERT_TRUE(IsWindow(secondWindow));

  // The credits climb, stand still under the mouse and go on from there.
  const int start = second->Scroll().Position();
  ASSERT_TRUE(PumpUntil([&] { return second->Scroll().Position() > start; }));
  RECT window{};
  GetWindowRect(secondWindow, &window);
  const POINT overPanel{(window.right - window.left) / 2, (window.bottom - window.top) / 2};
  moveTo(secondWindow, pointer.x - overPanel.x, pointer.y - overPanel.y);
  SendMessageW(secondWindow, WM_MOUSEMOVE, 0, MAKELPARAM(overPanel.x, overPanel.y));
  EXPECT_FALSE(second->Scroll().AutoScroll());
  const int frozen = second->Scroll().Position();
  Pump(std::chrono::milliseconds(600));
  EXPECT_EQ(second->Scroll().Position(), frozen);
  moveAway(secondWindow);
  SendMessageW(secondWindow, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(second->Scroll().AutoScroll());
  ASSERT_TRUE(PumpUntil([&] { return second->Scroll().Position() > frozen; }));
  EXPECT_EQ(second->Scroll().Position(), frozen + CreditsScroll::kStep);

  SendMessageW(second->CloseButton(), BM_CLICK, 0, 0);
  EXPECT_EQ(about.Count(), 0u);
  EXPECT_FALSE(IsWindow(secondWindow));
  EXPECT_TRUE(shell.executions.empty());
}

}  // namespace
}  // namespace kovan
