// Kovan.exe: program start.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/data_folder.hpp"
#include "app/single_instance.win32.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "kod/ana_pencere_window.win32.hpp"
#include "platform/prompter.hpp"
#include "resource_ids.h"

namespace {

constexpr wchar_t kAppWindowClass[] = L"TKovanApplication";

kovan::AnaPencereWindow* g_mainWindow = nullptr;

// The hidden application window: it carries the application title (which the
// second-copy search looks for) and owns the main window, so the panel itself
// has no taskbar button.
LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kovan::kShowMainWindowMessage && g_mainWindow) {
    HWND main = g_mainWindow->hwnd();
    ShowWindow(main, SW_SHOWNORMAL);
    SetForegroundWindow(main);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateAppWindow(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AppWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KOVAN));
  wc.lpszClassName = kAppWindowClass;
  if (!RegisterClassExW(&wc)) return nullptr;
  return CreateWindowExW(0, kAppWindowClass, kovan::ToWide(kovan::kAppTitle).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);

  HWND appWindow = CreateAppWindow(instance);
  if (!appWindow) return 1;
  const kovan::SingleInstance instanceLock(appWindow);
  // A second copy ends here, before it reads or writes anything.
  if (instanceLock.IsSecondCopy()) {
    DestroyWindow(appWindow);
    CoUninitialize();
    return 0;
  }

  const std::string exeFolder = kovan::ExeFolder();
  int exitCode = 0;
  {
    auto window = std::make_unique<kovan::AnaPencereWindow>(appWindow, exeFolder, kovan::DataFolder(exeFolder));
    g_mainWindow = window.get();
    if (!window->Create(instance)) return 1;
    window->Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    exitCode = static_cast<int>(msg.wParam);
    g_mainWindow = nullptr;
  }
  DestroyWindow(appWindow);
  CoUninitialize();
  return exitCode;
}
