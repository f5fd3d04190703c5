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

}  // namespace

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
