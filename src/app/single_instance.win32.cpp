#include "app/single_instance.win32.hpp"

#include "win32/messages.win32.hpp"

#include "base/text.hpp"
#include "platform/prompter.hpp"

namespace kovan {

SingleInstance::SingleInstance(HWND ownAppWindow) {
  const std::wstring title = ToWide(kAppTitle);
  mutex_.reset(CreateMutexW(nullptr, FALSE, title.c_str()));
  secondCopy_ = !mutex_.valid() || GetLastError() == ERROR_ALREADY_EXISTS;
  if (!secondCopy_) return;
  // Our own window carries the title as well and stands first; take it out of
  // the search so the next one found belongs to the copy already running.
  if (HWND first = FindWindowW(nullptr, title.c_str())) SetWindowTextW(first, L"");
  if (HWND other = FindWindowW(nullptr, title.c_str()); other && other != ownAppWindow) {
    if (IsIconic(other)) {
      ShowWindow(other, SW_RESTORE);
    } else {
      SetForegroundWindow(other);
    }
    PostMessageW(other, msg_id::kShowMainWindow, 0, 0);
  }
}

}  // namespace kovan
