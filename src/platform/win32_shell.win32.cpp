#include "platform/win32_shell.win32.hpp"

#include <shellapi.h>

#include "base/errors.win32.hpp"
#include "base/handles.win32.hpp"
#include "base/message_queue.win32.hpp"
#include "base/text.hpp"

namespace kovan {

ProcessRun Win32Shell::RunAndWait(const std::string& file, const std::string& parameters, ShowState show) {
  const std::wstring wideFile = ToWide(file);
  const std::wstring wideParameters = ToWide(parameters);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  // Without a window to own it, the shell's own error box would wait on a
  // desktop nobody may be looking at (kovanc in a build script).
  if (!owner_) info.fMask |= SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner_;
  info.lpFile = wideFile.c_str();
  info.lpParameters = wideParameters.c_str();
  info.nShow = static_cast<int>(show);
  if (!ShellExecuteExW(&info)) {
    const DWORD err = GetLastError();
    return {ProcessRun::Outcome::NotStarted, 0, err != 0 ? static_cast<int>(err) : 31};
  }
  // A program started through a document association may hand the work to a
  // running instance and leave no process behind to wait for.
  if (!info.hProcess) return {ProcessRun::Outcome::NotStarted, 0, ERROR_INVALID_HANDLE};
  const UniqueKernelHandle process(info.hProcess);

  HANDLE handle = process.get();
  for (;;) {
    // MWMO_INPUTAVAILABLE also wakes for messages that were already queued
    // before the call, so nothing waits behind the process.
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) break;
    if (woke != WAIT_OBJECT_0 + 1) ThrowLastError("MsgWaitForMultipleObjectsEx");
    if (!DrainMessageQueue()) return {ProcessRun::Outcome::Terminating, 0, 0};
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(handle, &code)) ThrowLastError("GetExitCodeProcess");
  return {ProcessRun::Outcome::Exited, code, 0};
}

bool Win32Shell::Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) {
  const wchar_t* verbText = verb == ShellVerb::Explore ? L"explore" : L"open";
  const HINSTANCE result = ShellExecuteW(owned ? owner_ : nullptr, verbText, ToWide(target).c_str(), nullptr, nullptr,
                                         static_cast<int>(show));
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string Win32Shell::SystemDirectory() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const UINT n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n == 0) ThrowLastError("GetSystemDirectoryW");
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n);  // n is the size needed, terminating zero included
  }
  std::string folder = ToUtf8(buffer);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::unique_ptr<Shell> CreateSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace kovan
