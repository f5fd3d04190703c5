#pragma once

#include <windows.h>

#include "platform/shell.hpp"

namespace kovan {

// The process start and wait, and the shell's execute calls. `owner` is the
// application's window: it owns the shell's owned calls.
class Win32Shell : public Shell {
 public:
  explicit Win32Shell(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  // The program runs in a job object, so ending it early ends whatever it
  // started too. The wait keeps the thread's queue flowing. A WM_QUIT seen on
  // the way ends the program and the wait with Outcome::Terminating and is
  // posted again, so the message loop that owns it still ends.
  ProcessRun RunProgram(const ProcessRequest& request) override;
  bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) override;
  // The same wait for a thread of the program's own.
  bool RunWork(const std::function<void()>& work, const std::function<void()>& requestStop) override;
  std::string SystemDirectory() override;
  std::string System32BitDirectory() override;

 private:
  HWND owner_;
};

}  // namespace kovan
