// Kovan.exe: program start.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/app_services.win32.hpp"
#include "app/data_folder.hpp"
#include "app/single_instance.win32.hpp"
#include "base/com.win32.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/compiler_discovery.hpp"
#include "platform/prompter.hpp"
#include "resource_ids.h"
#include "win32/messages.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "win32/window_base.win32.hpp"
#include "windows/about/about_window.win32.hpp"
#include "windows/main/main_window.win32.hpp"
#include "windows/pool/pool_window.win32.hpp"
#include "windows/settings/settings_window.win32.hpp"

namespace kovan {

namespace {

// The hidden application window: it carries the application title (which the
// second-copy search looks for) and owns the main window, so the panel itself
// has no taskbar button.
class ApplicationWindowHost : public WindowBase {
 public:
  bool Create() {
    const WindowClassInfo windowClass{L"TKovanApplication", 0,
                                      LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KOVAN))};
    return CreateFor(windowClass, 0, WS_POPUP, RECT{0, 0, 0, 0}, nullptr, ToWide(kAppTitle).c_str());
  }
  void SetMainWindow(HWND main) { main_ = main; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == msg_id::kShowMainWindow && main_) {
      ShowWindow(main_, SW_SHOWNORMAL);
      SetForegroundWindow(main_);
      return 0;
    }
    return Default(msg, wp, lp);
  }

 private:
  HWND main_ = nullptr;
};

// `keyboardWindow` gets the dialog keys (Tab between its controls, arrows in
// its radio group).
int RunMessageLoop(HWND keyboardWindow) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (keyboardWindow && IsDialogMessageW(keyboardWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunProgram() {
  ComApartment com;
  if (!com.ok()) return 1;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);

  ApplicationWindowHost appWindow;
  if (!appWindow.Create()) return 1;
  SetApplicationWindow(appWindow.hwnd());
  SingleInstance instanceLock(appWindow.hwnd());
  // A second copy ends here, before it reads or writes anything.
  if (instanceLock.IsSecondCopy()) return 0;

  const ui::GdiplusSession gdiplus;
  const std::string exeFolder = ExeFolder();
  AppServices services(exeFolder, DataFolder(exeFolder));
  services.prompter.SetOwner(appWindow.hwnd());
  auto mainWindow = std::make_unique<MainWindow>(services.ForMainWindow());
  const bool created = mainWindow->Create(appWindow.hwnd(), [&services](HWND window) {
    services.prompter.SetOwner(window);
    services.shell.SetOwner(window);
  });
  if (!created) return 1;

  // The pool window is made once and shown modally from the main window; its
  // boxes are owned by it while it shows.
  MainWindow* main = mainWindow.get();
  auto poolWindow = std::make_unique<PoolWindow>(
      services.prompter, services.shell,
      MainPoolLink{main->Logic().Pool(), [main](const std::string& caption) { main->SetPoolCountCaption(caption); }});
  if (!poolWindow->Create(main->hwnd())) return 1;

  appWindow.SetMainWindow(mainWindow->hwnd());

  // The settings window lives from here to the end; about windows come and go.
  AppSettings& settings = mainWindow->Logic().Settings();
  MainWindowAppearance appearance(AppearanceTarget(*main), settings.Trans, OpacityForLevel(settings.TransI));
  const SettingsStore settingsStore(services.registry);
  SettingsWindowServices settingsServices{settings, settingsStore, appearance, services.prompter, services.browser,
                                          exeFolder + "dil\\"};
  settingsServices.findCompilers = [&services] {
    return AvailableCompilers(SystemCompilerSearch(services.shell, &services.registry));
  };
  SettingsWindow settingsWindow(std::move(settingsServices));
  if (!settingsWindow.Create(mainWindow->hwnd())) return 1;
  AboutWindows aboutWindows(services.shell);
  MainWindow::OtherWindows others;
  others.showPool = [&services, main, pool = poolWindow.get()] {
    services.prompter.SetOwner(pool->hwnd());
    pool->ShowModal();
    services.prompter.SetOwner(main->hwnd());
  };
  others.showSettings = [&settingsWindow] { settingsWindow.Show(); };
  others.openAbout = [&aboutWindows, &mainWindow] { aboutWindows.Open(mainWindow->hwnd()); };
  mainWindow->SetOtherWindows(std::move(others));
  mainWindow->SetSavedForClose([&instanceLock] {
    // Everything is saved: a copy started now may run, and this one ends here
    // instead of taking its windows down one by one. (Under Wine each window
    // that was shown waits up to two seconds for a window manager to confirm it
    // is gone; with none running, a close would take that long.)
    instanceLock.Release();
    ExitProcess(0);
  });

  mainWindow->Show();
  const int exitCode = RunMessageLoop(settingsWindow.hwnd());
  appWindow.SetMainWindow(nullptr);
  return exitCode;
}

}  // namespace

}  // namespace kovan

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return kovan::RunProgram(); }
