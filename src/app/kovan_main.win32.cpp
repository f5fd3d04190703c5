// Kovan.exe: program start.
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>

#include "app/app_services.win32.hpp"
#include "base/program_title.hpp"
#include "platform/data_folder.hpp"
#include "app/single_instance.win32.hpp"
#include "base/com.win32.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/compiler_discovery.hpp"
#include "platform/prompter.hpp"
#include "resource_ids.h"
#include "win32/messages.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "win32/startup_timeline.win32.hpp"
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
    if (msg == window_ids::kShowMainWindow && main_) {
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
// its radio group). `idleJobs` is the work the start leaves for later: one job
// runs whenever the queue is empty (so not before the panel has painted), and
// input that arrives between them is not held up by the rest.
int RunMessageLoop(HWND keyboardWindow, std::deque<std::function<void()>> idleJobs) {
  MSG msg;
  for (;;) {
    if (!idleJobs.empty() && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      const std::function<void()> job = std::move(idleJobs.front());
      idleJobs.pop_front();
      // A job that fails is reported like a message handler's error; the
      // program goes on, and the window it prepared for does its part when shown.
      WithErrorBarrier([&job] {
        job();
        return LRESULT{0};
      });
      if (idleJobs.empty()) timeline::Mark("idle work done");
      continue;
    }
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    if (keyboardWindow && IsDialogMessageW(keyboardWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunProgram() {
  timeline::Mark("program entered");
  ComApartment com;
  if (!com.ok()) return 1;
  timeline::Mark("COM started");

  ApplicationWindowHost appWindow;
  if (!appWindow.Create()) return 1;
  SetApplicationWindow(appWindow.hwnd());
  SingleInstance instanceLock(appWindow.hwnd());
  // A second copy ends here, before it reads or writes anything.
  if (instanceLock.IsSecondCopy()) return 0;
  timeline::Mark("application window and single-instance lock");

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
  timeline::Mark("main window built");

  // The pool window is made once and shown modally from the main window; its
  // boxes are owned by it while it shows.
  MainWindow* main = mainWindow.get();
  auto poolWindow = std::make_unique<PoolWindow>(PoolWindowServices{
      services.prompter, services.shell,
      MainPoolLink{main->Logic().Pool(), [main](const std::string& caption) { main->SetPoolCountCaption(caption); }}});
  if (!poolWindow->Create(main->hwnd())) return 1;
  timeline::Mark("pool window built");

  appWindow.SetMainWindow(mainWindow->hwnd());

  // The settings window lives from here to the end; about windows come and go.
  AppSettings& settings = mainWindow->Logic().Settings();
  MainWindowAppearance appearance(AppearanceTarget(*main), settings.semiTransparent, OpacityForLevel(settings.transparencyLevel));
  const SettingsStore settingsStore(services.registry);
  SettingsWindowServices settingsServices{settings,          settingsStore,    appearance,
                                          services.prompter, services.browser, exeFolder + "dil\\"};
  settingsServices.findCompilers = [&services] {
    auto found = AvailableCompilers(SystemCompilerSearch(services.shell, &services.registry));
    timeline::Mark("compilers found");
    return found;
  };
  SettingsWindow settingsWindow(std::move(settingsServices));
  if (!settingsWindow.Create(mainWindow->hwnd())) return 1;
  timeline::Mark("settings window built");
  AboutWindows aboutWindows(services.shell);
  services.windows.Attach(main->hwnd(), *poolWindow, settingsWindow, aboutWindows);
  mainWindow->SetSavedForClose([&instanceLock] {
    // Everything is saved: a copy started now may run, and this one ends here
    // instead of taking its windows down one by one. (Under Wine each window
    // that was shown waits up to two seconds for a window manager to confirm it
    // is gone; with none running, a close would take that long.)
    instanceLock.Release();
    ExitProcess(0);
  });

  mainWindow->Show();
  timeline::Mark("main window shown");
  // What only a shown window needs is made after the panel's first paint, so
  // the start does not wait for it and the first showing finds it made.
  std::deque<std::function<void()>> idleJobs{
      [main] { main->PreparePictures(); },
      [&settingsWindow] { settingsWindow.PrepareControls(); },
      [pool = poolWindow.get()] { pool->PrepareTree(); },
      [pool = poolWindow.get()] { pool->PreparePictures(); },
      [&settingsWindow] { settingsWindow.PreparePictures(); },
  };
  const int exitCode = RunMessageLoop(settingsWindow.hwnd(), std::move(idleJobs));
  appWindow.SetMainWindow(nullptr);
  return exitCode;
}

}  // namespace

}  // namespace kovan

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return kovan::RunProgram(); }
