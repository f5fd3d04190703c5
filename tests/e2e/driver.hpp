// Drives the real Kovan.exe from outside: starts it in a folder of its own,
// finds its windows and message boxes, reads their texts and presses buttons.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kovan::e2e {

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
};

class KovanProcess {
 public:
  // Copies Kovan.exe (and its dil folder) from the build output into `folder`
  // and starts it there.
  explicit KovanProcess(const std::filesystem::path& folder);
  // Starts the program `exe` where it lies, with `arguments` after its
  // quoted path (an installed Kovan, an installer, an uninstaller).
  KovanProcess(const std::filesystem::path& exe, const std::wstring& arguments);
  ~KovanProcess();
  KovanProcess(const KovanProcess&) = delete;
  KovanProcess& operator=(const KovanProcess&) = delete;

  DWORD pid() const { return info_.dwProcessId; }
  // The next message box the process shows, within `timeout`.
  std::optional<MessageBoxInfo> WaitForMessageBox(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // The main window, once it is visible.
  HWND WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Presses a button of a message box (IDOK, IDYES, IDNO, ...).
  static void Press(HWND box, int buttonId);
  // Waits for the process to end; its exit code, or nullopt on timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  bool Running() const;

 private:
  void Start(const std::filesystem::path& exe, const std::wstring& arguments);

  PROCESS_INFORMATION info_{};
};

// The visible top-level windows of class `className` that process `pid` shows.
std::vector<HWND> VisibleWindows(DWORD pid, const wchar_t* className);
// The child of `parent` (at any depth) whose text is `text`; null when none.
HWND FindChildByText(HWND parent, const std::wstring& text);
std::wstring TextOf(HWND hwnd);

// Opens the main window's menu as the menu key does and chooses the item
// `fromBottom` places up from its bottom (1: the last item) with the arrow
// keys and Enter. False when the menu did not open.
bool ChooseMenuItemFromBottom(DWORD pid, HWND main, int fromBottom);

// The folder holding the test executable (the build's bin folder).
std::filesystem::path BinFolder();
// A new empty folder for one test, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kovan::e2e
