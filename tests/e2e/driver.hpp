// Drives the real Kovan.exe from outside as a user does: starts it in a
// folder of its own, finds its windows, menus, message boxes and tree items by
// their visible text, and sends real mouse and keyboard input through the
// system's input queue.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kovan::e2e {

using namespace std::chrono_literals;

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
  std::optional<MessageBoxInfo> WaitForMessageBox(std::chrono::milliseconds timeout = 20s);
  // The main window, once it is visible.
  HWND WaitForMainWindow(std::chrono::milliseconds timeout = 20s);
  // Presses a button of a message box or dialog (IDOK, IDYES, IDNO, ...)
  // with a click, or with the keyboard where the mouse cannot reach it.
  static void Press(HWND box, int buttonId);
  // Presses a button that closes its box and waits for the box to close. A
  // press the box did not take (on a loaded machine a click can arrive before
  // the box takes input) is made again, as a user would; false when the box
  // is still open after three presses.
  [[nodiscard]] static bool PressToClose(HWND box, int buttonId);
  // Waits for the process to end; its exit code, or nullopt on timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 20s);
  bool Running() const;

 private:
  void Start(const std::filesystem::path& exe, const std::wstring& arguments);

  PROCESS_INFORMATION info_{};
};

// Polls `probe` until it gives a value that tests true, or `timeout` passes.
template <typename F>
auto PollUntil(std::chrono::milliseconds timeout, F probe) -> decltype(probe()) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (auto result = probe()) return result;
    if (std::chrono::steady_clock::now() > end) return {};
    Sleep(40);
  }
}
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  return PollUntil(timeout, done);
}

// The visible top-level windows of class `className` that process `pid` shows.
std::vector<HWND> VisibleWindows(DWORD pid, const wchar_t* className);
// The first of them, within `timeout`; null when none shows.
HWND WaitForWindow(DWORD pid, const wchar_t* className, std::chrono::milliseconds timeout = 10s);
// The child of `parent` (at any depth) whose text is `text`; null when none.
HWND FindChildByText(HWND parent, const std::wstring& text);
std::wstring TextOf(HWND hwnd);
RECT ScreenRect(HWND hwnd);
POINT Centre(const RECT& r);

// Real input through the system's input queue.
namespace input {
void MoveTo(POINT screen);
void Click(POINT screen);
void RightClick(POINT screen);
// Turns the mouse wheel over `screen`: positive notches away from the user.
void Wheel(POINT screen, int notches);
// Presses the left button at `from`, moves to `to` and releases it there: a
// drag, or a press taken away from a button before its release.
void PressAndReleaseAt(POINT from, POINT to);
// A click on a control (a button, a check box) where no other window covers it.
void Click(HWND window);
// Presses and releases a key, with the modifier keys `held` down meanwhile.
void Key(WORD vk, std::initializer_list<WORD> held = {});
// Types `text` as characters.
void Type(const std::wstring& text);
}  // namespace input

// Drags a borderless panel by its face (near its bottom left corner, clear
// of a close button) until its top left corner reaches `to`. False when it did
// not follow.
bool DragPanelTo(HWND panel, POINT to);

// An item of an open popup menu, as the user sees it.
struct MenuItem {
  std::wstring text;
  RECT rect{};  // on the screen
  bool enabled = false;
  bool separator = false;
  bool submenu = false;
};

struct OpenMenu {
  HWND window = nullptr;
  HMENU menu = nullptr;
  std::vector<MenuItem> items;

  const MenuItem* Find(const std::wstring& text) const;
  // The captions of the items, separators left out.
  std::vector<std::wstring> Captions() const;
};

// The popup menus process `pid` shows, in the order they opened.
std::vector<OpenMenu> OpenMenus(DWORD pid);
// The open menu that holds an item captioned `text`, within `timeout`.
std::optional<OpenMenu> WaitForMenuWith(DWORD pid, const std::wstring& text, std::chrono::milliseconds timeout = 10s);
bool WaitForMenusClosed(DWORD pid, std::chrono::milliseconds timeout = 10s);
// Opens the context menu of `window` with a right click at `at` (client
// coordinates; its centre when omitted) and waits for it.
std::optional<OpenMenu> OpenContextMenu(DWORD pid, HWND window, std::optional<POINT> at = std::nullopt);
// Chooses the item along `path` (a submenu's caption, then its item's) of an
// open menu with mouse clicks, and waits for the menu to close.
::testing::AssertionResult ChooseFromOpenMenu(DWORD pid, const std::vector<std::wstring>& path);
// Both steps: right click on `window`, then the item along `path`.
::testing::AssertionResult ChooseMenuItem(DWORD pid, HWND window, const std::vector<std::wstring>& path,
                                          std::optional<POINT> at = std::nullopt);
// Moves the mouse near `menu` but off every window of its program, so no item
// shows as hot and no hover hint shows.
void MoveOffMenu(HWND menuWindow);
// Closes every open menu with Escape.
void DismissMenus(DWORD pid);

// The pixels of a rectangle of the screen, row by row, as 0x00RRGGBB.
std::vector<COLORREF> CaptureScreen(const RECT& r);

// The window class of the pool window's tree, which answers the tree-view
// messages.
inline constexpr wchar_t kParamTreeClass[] = L"KovanParamTree";

// A node of a tree view in another process.
struct TreeItem {
  HTREEITEM handle = nullptr;
  int depth = 0;
  std::wstring markup;  // the text the node holds
  std::wstring text;    // what it shows: the markup without its tags
  RECT rect{};          // its label on the screen; empty when folded away
};
// Every node in display order (folded ones too).
std::vector<TreeItem> ReadTree(HWND tree);
// The rows the tree shows: its nodes less the folded ones.
size_t ShownRows(HWND tree);
// The node that is selected, or null.
HTREEITEM SelectedTreeItem(HWND tree);

// A common file dialog (open, save or folder) of `pid`: types `path` into its
// name box and presses Enter. False when no dialog showed.
bool AnswerFileDialog(DWORD pid, const std::filesystem::path& path, std::chrono::milliseconds timeout = 15s);

// The pool window's pop-up tree editor, while it shows (null otherwise).
HWND VisibleEditor(HWND pool);

// Drops `files` (at most eight) onto `window` of `pid`, which accepts files,
// as the shell drops them there. False when the drop could not be made.
bool DropFiles(DWORD pid, HWND window, const std::vector<std::filesystem::path>& files);

// Removes Kovan's settings from both hives, so a test starts from the defaults.
void ForgetSettings();
// The whole content of a file; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& path);
// Writes `bytes` as the whole content of `path`.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The point `design` of a window drawn to a design of `designWidth` pixels
// across its client area, scaled as the window is, on the screen. The scale is
// read from the window's own width: the system reports other programs' DPI as
// the asker's own.
POINT DesignPoint(HWND window, int designWidth, POINT design);

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
