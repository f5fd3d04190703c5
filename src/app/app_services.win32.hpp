// The services every window shares, built once at start: the user's message
// boxes and dialogs, the registry, the shell, the autostart shortcut and the
// default browser, and the windows the main window opens.
#pragma once

#include <string>

#include "online/browser_launch.hpp"
#include "online/browser_launch.win32.hpp"
#include "app/program_windows.win32.hpp"
#include "platform/win32_prompter.win32.hpp"
#include "platform/win32_registry.win32.hpp"
#include "platform/win32_shell.win32.hpp"
#include "settings/autostart.hpp"
#include "windows/main/main_window_logic.hpp"

namespace kovan {

struct AppServices {
  AppServices(std::string exeFolderPath, std::string dataFolderPath)
      : exeFolder(std::move(exeFolderPath)), dataFolder(std::move(dataFolderPath)) {}
  AppServices(const AppServices&) = delete;
  AppServices& operator=(const AppServices&) = delete;

  MainWindowServices ForMainWindow() {
    return MainWindowServices{prompter, registry, shortcut, browser,   shell,
                              windows,  exeFolder, dataFolder, exeFolder + "dil\\"};
  }

  std::string exeFolder;   // the program, its help file and dil\ beside it
  std::string dataFolder;  // Liste.kvl and liste.rc
  Win32Prompter prompter;
  Win32Shell shell;
  Win32Registry registry;
  Win32StartupShortcut shortcut{registry};
  Win32ClassesRoot classes;
  Win32BrowserStarter starter;
  RegisteredBrowser browser{classes, starter};
  ProgramWindows windows{prompter};
};

}  // namespace kovan
