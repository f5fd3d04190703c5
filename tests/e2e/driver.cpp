#include "driver.hpp"

#include <random>
#include <thread>

namespace kovan::e2e {

namespace {

struct FindData {
  DWORD pid;
  const wchar_t* className;  // nullptr: any
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
  auto* data = reinterpret_cast<FindData*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != data->pid) return TRUE;
  if (data->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (data->className && wcscmp(cls, data->className) != 0) return TRUE;
  data->found = hwnd;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, const wchar_t* className, bool visibleOnly) {
  FindData data{pid, className, visibleOnly, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM lp) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (_wcsicmp(cls, L"Static") == 0) {
    auto* longest = reinterpret_cast<std::wstring*>(lp);
    std::wstring text = WindowText(child);
    if (text.size() > longest->size()) *longest = std::move(text);
  }
  return TRUE;
}

template <typename F>
auto PollUntil(std::chrono::milliseconds timeout, F probe) -> decltype(probe()) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (auto result = probe()) return result;
    if (std::chrono::steady_clock::now() > end) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

struct CollectData {
  DWORD pid;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* data = reinterpret_cast<CollectData*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (pid == data->pid && IsWindowVisible(hwnd) && wcscmp(cls, data->className) == 0) data->found.push_back(hwnd);
  return TRUE;
}

struct ChildSearch {
  const std::wstring* text;
  HWND found;
};

BOOL CALLBACK FindChildText(HWND child, LPARAM lp) {
  auto* search = reinterpret_cast<ChildSearch*>(lp);
  if (WindowText(child) != *search->text) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

std::vector<HWND> VisibleWindows(DWORD pid, const wchar_t* className) {
  CollectData data{pid, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND FindChildByText(HWND parent, const std::wstring& text) {
  ChildSearch search{&text, nullptr};
  EnumChildWindows(parent, FindChildText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND hwnd) { return WindowText(hwnd); }

bool ChooseMenuItemFromBottom(DWORD pid, HWND main, int fromBottom) {
  // (-1, -1) is how the keyboard's menu key asks for the menu.
  PostMessageW(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(main), MAKELPARAM(-1, -1));
  const bool open = PollUntil(std::chrono::seconds(10), [&] { return FindWindowOf(pid, L"#32768", true) != nullptr; });
  if (!open) return false;
  // The open menu's loop reads the keys that reach its thread.
  for (int i = 0; i < fromBottom; ++i) PostMessageW(main, WM_KEYDOWN, VK_UP, 0);
  PostMessageW(main, WM_KEYDOWN, VK_RETURN, 0);
  return PollUntil(std::chrono::seconds(10), [&] { return FindWindowOf(pid, L"#32768", true) == nullptr; });
}

std::filesystem::path BinFolder() {
  wchar_t buffer[MAX_PATH];
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::filesystem::path(buffer).parent_path();
}

ScratchFolder::ScratchFolder() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / (L"kovan-e2e-" + std::to_wstring(rd()));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

KovanProcess::KovanProcess(const std::filesystem::path& folder) {
  const auto bin = BinFolder();
  std::filesystem::copy_file(bin / "Kovan.exe", folder / "Kovan.exe",
                             std::filesystem::copy_options::overwrite_existing);
  if (std::filesystem::exists(bin / "dil")) {
    std::filesystem::copy(bin / "dil", folder / "dil",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }
  Start(folder / "Kovan.exe", L"");
}

KovanProcess::KovanProcess(const std::filesystem::path& exe, const std::wstring& arguments) { Start(exe, arguments); }

void KovanProcess::Start(const std::filesystem::path& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, exe.parent_path().c_str(),
                      &startup, &info_)) {
    info_ = {};
  }
}

KovanProcess::~KovanProcess() {
  if (info_.hProcess) {
    if (Running()) TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool KovanProcess::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<MessageBoxInfo> KovanProcess::WaitForMessageBox(std::chrono::milliseconds timeout) {
  return PollUntil(timeout, [&]() -> std::optional<MessageBoxInfo> {
    HWND box = FindWindowOf(pid(), L"#32770", true);
    if (!box) return std::nullopt;
    MessageBoxInfo info{box, WindowText(box), {}};
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&info.text));
    return info;
  });
}

HWND KovanProcess::WaitForMainWindow(std::chrono::milliseconds timeout) {
  return PollUntil(timeout, [&] { return FindWindowOf(pid(), L"TAnaPencere", true); });
}

void KovanProcess::Press(HWND box, int buttonId) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

std::optional<DWORD> KovanProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

}  // namespace kovan::e2e
