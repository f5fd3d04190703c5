#pragma once

#include <windows.h>

#include <chrono>

#include "base/handles.win32.hpp"

namespace kovan {

// The lock that keeps a second copy from running: a system mutex named by the
// application title, owned by the running copy until its close has saved
// everything.
class SingleInstance {
 public:
  // Takes the lock. When another copy holds it and shows its window, brings
  // that window forward and leaves this one a second copy. When the other
  // copy shows no window (it has saved and is ending), waits up to `patience`
  // for the lock before giving up. `ownAppWindow` carries the title
  // too and is renamed while searching so the search finds the other copy.
  explicit SingleInstance(HWND ownAppWindow, std::chrono::milliseconds patience = std::chrono::seconds(5));
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool IsSecondCopy() const { return secondCopy_; }
  // Lets a copy started from now on run: the lock is released and this
  // copy's window no longer answers to the title.
  void Release();

 private:
  HWND appWindow_;
  UniqueKernelHandle mutex_;
  bool owned_ = false;
  bool secondCopy_ = false;
};

}  // namespace kovan
