// The windows the main window's logic opens by name. The program builds them
// after the main window, and hands them over here once they exist.
#pragma once

#include <windows.h>

#include "platform/win32_prompter.win32.hpp"
#include "windows/about/about_window.win32.hpp"
#include "windows/pool/pool_window.win32.hpp"
#include "windows/settings/settings_window.win32.hpp"
#include "windows/window_opener.hpp"

namespace kovan {

class ProgramWindows : public WindowOpener {
 public:
  explicit ProgramWindows(Win32Prompter& prompter) : prompter_(prompter) {}

  void Attach(HWND main, PoolWindow& pool, SettingsWindow& settings, AboutWindows& about) {
    main_ = main;
    pool_ = &pool;
    settings_ = &settings;
    about_ = &about;
  }

  // Before Attach (while the main window is built) nothing opens.
  void Open(ProgramWindow window) override;

 private:
  Win32Prompter& prompter_;
  HWND main_ = nullptr;
  PoolWindow* pool_ = nullptr;
  SettingsWindow* settings_ = nullptr;
  AboutWindows* about_ = nullptr;
};

}  // namespace kovan
