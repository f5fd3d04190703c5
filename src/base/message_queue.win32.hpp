// Keeping the thread's windows alive from inside a long operation.
#pragma once

#include <windows.h>

namespace kovan {

// Dispatches every message queued for the thread. A quit request ends the
// draining and is posted again for the main loop; the result is then false.
inline bool DrainMessageQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace kovan
