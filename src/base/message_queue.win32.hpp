// Keeping the thread's windows alive from inside a long operation.
#pragma once

#include <windows.h>

namespace kovan {

// Dispatches every message queued for the thread, each first shown to
// `preview` (a window that watches for a key, say). A quit request ends the
// draining and is posted again for the main loop; the result is then false.
template <typename Preview>
bool DrainMessageQueue(Preview&& preview) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    preview(msg);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

inline bool DrainMessageQueue() {
  return DrainMessageQueue([](const MSG&) {});
}

}  // namespace kovan
