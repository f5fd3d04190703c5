#include "app/single_instance.win32.hpp"

#include "base/program_title.hpp"
#include "win32/messages.win32.hpp"

#include "base/text.hpp"
#include "platform/prompter.hpp"

namespace kovan {

namespace {

// The window of another running copy: the first top-level window with the
// title that is not ours (ours is renamed for the search).
HWND OtherCopysWindow(HWND ownAppWindow, const std::wstring& title) {
  SetWindowTextW(ownAppWindow, L"");
  HWND other = FindWindowW(nullptr, title.c_str());
  SetWindowTextW(ownAppWindow, title.c_str());
  return other != ownAppWindow ? other : nullptr;
}

void BringForward(HWND other) {
  if (IsIconic(other)) {
    ShowWindow(other, SW_RESTORE);
  } else {
    SetForegroundWindow(other);
  }
  PostMessageW(other, window_ids::kShowMainWindow, 0, 0);
}

bool Acquired(DWORD waitResult) {
  // An abandoned lock belonged to a copy that ended without letting go.
  return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED;
}

}  // namespace

SingleInstance::SingleInstance(HWND ownAppWindow, std::chrono::milliseconds patience) : appWindow_(ownAppWindow) {
  const std::wstring title = ToWide(kAppTitle);
  mutex_.reset(CreateMutexW(nullptr, TRUE, title.c_str()));
  if (!mutex_.valid()) {
    secondCopy_ = true;  // a name taken by something we cannot open: keep out of its way
    return;
  }
  if (GetLastError() != ERROR_ALREADY_EXISTS) {
    owned_ = true;
    return;
  }
  // Another copy holds the lock. While it shows a window, that window is the
  // answer; one that shows none has saved and is ending, so wait for it. (A
  // starting copy shows its application window before it takes the lock.)
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (Acquired(WaitForSingleObject(mutex_.get(), 0))) {
      owned_ = true;
      return;
    }
    if (HWND other = OtherCopysWindow(ownAppWindow, title)) {
      BringForward(other);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    if (Acquired(WaitForSingleObject(mutex_.get(), 50))) {
      owned_ = true;
      return;
    }
  }
  secondCopy_ = true;
}

SingleInstance::~SingleInstance() { Release(); }

void SingleInstance::Release() {
  if (!mutex_.valid()) return;
  if (owned_) {
    // A copy that starts from here on must not take this one for the running
    // copy and leave.
    SetWindowTextW(appWindow_, L"");
    ReleaseMutex(mutex_.get());
    owned_ = false;
  }
  mutex_.reset();
}

}  // namespace kovan
