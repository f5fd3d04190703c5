// The first showing of the pool window and of the settings window: each round
// makes both windows afresh, as the start does, then shows each one and
// stops the clock when it and its children have painted. Every other round
// first does what the program does on its idle moments after the start (the
// pictures, the settings window's controls); the others show the windows
// straight after making them, as when the user is quicker than those moments.
// The pool window holds 20 entries, so the figure is the showing itself
// rather than the fill (pool_window_bench measures 10,000). Run under Wine or
// on Windows; prints the first round of each kind (nothing loaded yet) and
// the medians.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/com.win32.hpp"
#include "platform/win32_registry.win32.hpp"
#include "platform/win32_shell.win32.hpp"
#include "pool/compiler_discovery.hpp"
#include "settings/settings_store.hpp"
#include "support/recording_views.hpp"
#include "win32/png_image.win32.hpp"
#include "windows/main/main_window.win32.hpp"
#include "windows/pool/pool_window.win32.hpp"
#include "windows/settings/settings_window.win32.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

// Runs every message, paints included, until the queue is empty.
void PumpUntilIdle() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The pool window shows modally: the clock stops inside its loop, once the
// window and its tree have both painted, and the window is closed from there.
struct PaintWatch {
  HWND window = nullptr;
  HWND tree = nullptr;
  WNDPROC windowProc = nullptr;
  WNDPROC treeProc = nullptr;
  bool windowPainted = false;
  bool treePainted = false;
  Clock::time_point done{};
  kovan::PoolWindow* pool = nullptr;
};
PaintWatch watch;

void AfterPaint(bool& painted) {
  painted = true;
  if (watch.windowPainted && watch.treePainted && watch.done == Clock::time_point{}) {
    watch.done = Clock::now();
    watch.pool->Close();
  }
}

LRESULT CALLBACK WatchWindow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT result = CallWindowProcW(watch.windowProc, hwnd, msg, wp, lp);
  if (msg == WM_PAINT) AfterPaint(watch.windowPainted);
  return result;
}

LRESULT CALLBACK WatchTree(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT result = CallWindowProcW(watch.treeProc, hwnd, msg, wp, lp);
  if (msg == WM_PAINT) AfterPaint(watch.treePainted);
  return result;
}

double ShowPoolWindow(kovan::PoolWindow& pool) {
  watch = PaintWatch{};
  watch.pool = &pool;
  watch.window = pool.hwnd();
  watch.tree = pool.Tree().hwnd();
  watch.windowProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(watch.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchWindow)));
  watch.treeProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(watch.tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchTree)));
  const auto start = Clock::now();
  pool.ShowModal();
  SetWindowLongPtrW(watch.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch.windowProc));
  SetWindowLongPtrW(watch.tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch.treeProc));
  return std::chrono::duration<double, std::milli>(watch.done - start).count();
}

double ShowSettingsWindow(kovan::SettingsWindow& settings) {
  const auto start = Clock::now();
  settings.Show();
  UpdateWindow(settings.hwnd());
  PumpUntilIdle();
  return Ms(start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain() {
  // The version check at each main window's start meets a closed port.
  SetEnvironmentVariableW(L"KOVAN_UPDATE_SERVER", L"127.0.0.1:1");
  const kovan::ComApartment com;
  const kovan::ui::GdiplusSession gdiplus;
  const auto folder = std::filesystem::temp_directory_path() / L"kovan-first-show-bench";
  std::filesystem::create_directories(folder / L"dil");
  std::error_code ignored;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::filesystem::copy(std::filesystem::path(self).parent_path() / L"dil", folder / L"dil",
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                        ignored);
  const char* extensions[] = {".ico", ".bmp", ".wav", ".txt", ".png"};
  std::string list;
  for (int i = 0; i < 20; ++i) {
    const auto file = folder / ("file" + std::to_string(i) + extensions[i % 5]);
    std::ofstream(file) << "x";
    list += "KEY" + std::to_string(i) + ",TYPE," + file.string() + "\r\n";
  }
  std::ofstream(folder / L"Liste.kvl", std::ios::binary) << list;

  kovan::Win32Shell shell;
  kovan::Win32Registry systemRegistry;
  std::vector<double> pool[2];  // [prepared at idle]
  std::vector<double> settings[2];
  std::vector<double> discovery;  // the compiler search each showing of the settings window makes
  for (int round = 0; round < 14; ++round) {
    const bool prepared = round % 2 == 0;
    kovan::test::MainWindowRig rig(folder.string() + "\\");
    kovan::SettingsStore(rig.registry).WriteBoolean("Skontrol", false);  // no network at start
    kovan::MainWindow main(rig.Services());
    if (!main.Create(nullptr, [](HWND) {})) return 1;
    kovan::PoolWindow poolWindow({rig.prompter, shell, kovan::MainPoolLink{main.Logic().Pool(), [](const std::string&) {}}});
    if (!poolWindow.Create(main.hwnd())) return 1;
    kovan::AppSettings& appSettings = main.Logic().Settings();
    kovan::MainWindowAppearance appearance(kovan::AppearanceTarget(main), appSettings.semiTransparent,
                                           kovan::OpacityForLevel(appSettings.transparencyLevel));
    const kovan::SettingsStore store(rig.registry);
    kovan::SettingsWindowServices services{appSettings,  store,       appearance,
                                           rig.prompter, rig.browser, folder.string() + "\\dil\\"};
    services.findCompilers = [&] {
      const auto start = Clock::now();
      auto found = kovan::AvailableCompilers(kovan::SystemCompilerSearch(shell, &systemRegistry));
      discovery.push_back(Ms(start));
      return found;
    };
    kovan::SettingsWindow settingsWindow(std::move(services));
    if (!settingsWindow.Create(main.hwnd())) return 1;
    main.Show();
    PumpUntilIdle();
    if (prepared) {
      main.PreparePictures();
      settingsWindow.PrepareControls();
      poolWindow.PrepareTree();
      poolWindow.PreparePictures();
      settingsWindow.PreparePictures();
      PumpUntilIdle();
    }

    pool[prepared].push_back(ShowPoolWindow(poolWindow));
    settings[prepared].push_back(ShowSettingsWindow(settingsWindow));
    settingsWindow.Hide();
    DestroyWindow(settingsWindow.hwnd());
    DestroyWindow(poolWindow.hwnd());
    DestroyWindow(main.hwnd());
    PumpUntilIdle();
  }
  std::printf("first showing, painted: first round, median of %zu rounds, each on new windows\n", pool[0].size());
  std::printf("  %-46s %5.0f ms %5.0f ms\n", "pool window, 20 entries, after the idle moment", pool[1].front(),
              Median(pool[1]));
  std::printf("  %-46s %5.0f ms %5.0f ms\n", "pool window, 20 entries, straight after making", pool[0].front(),
              Median(pool[0]));
  std::printf("  %-46s %5.0f ms %5.0f ms\n", "settings window, after the idle moment", settings[1].front(),
              Median(settings[1]));
  std::printf("  %-46s %5.0f ms %5.0f ms\n", "settings window, straight after making", settings[0].front(),
              Median(settings[0]));
  std::printf("  %-46s %5.0f ms %5.0f ms\n", "of a settings showing: the compiler search", discovery.front(),
              Median(discovery));
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
