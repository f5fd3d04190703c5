#pragma once

#include <windows.h>

#include "base/handles.win32.hpp"

namespace kovan {

// The lock that keeps a second copy from running: a system mutex named by the
// application title, held until the program ends.
class SingleInstance {
 public:
  // Creates the lock; when another copy holds it, brings that copy's window
  // forward. `ownAppWindow` carries the title too and is renamed first so the
  // search finds the other copy's window.
  explicit SingleInstance(HWND ownAppWindow);
  bool IsSecondCopy() const { return secondCopy_; }

 private:
  UniqueKernelHandle mutex_;
  bool secondCopy_ = false;
};

}  // namespace kovan
