#pragma once

#include <windows.h>

#include "platform/shell.hpp"

namespace kovan {

// The shell's execute calls and the process wait. `owner` is the application's
// window: it owns the started process's start-up and the shell's owned calls.
// With an owner the shell shows its own box when a start fails; without one
// (kovanc) it shows nothing and the caller reports.
class Win32Shell : public Shell {
 public:
  explicit Win32Shell(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  // Keeps the thread's queue flowing while it waits. A WM_QUIT seen on the
  // way ends the wait with Outcome::Terminating and is posted again, so the
  // message loop that owns it still ends.
  ProcessRun RunAndWait(const std::string& file, const std::string& parameters, ShowState show) override;
  bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) override;
  std::string SystemDirectory() override;

 private:
  HWND owner_;
};

}  // namespace kovan
