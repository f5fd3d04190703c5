// How one window's logic opens another of the program's windows: it names the
// window it wants, and the program (src/app) knows how each one is shown.
#pragma once

namespace kovan {

enum class ProgramWindow {
  Pool,      // modal: Open returns once it is closed
  Settings,  // the one settings window, brought forward
  About,     // a new about window each time
};

class WindowOpener {
 public:
  virtual ~WindowOpener() = default;
  virtual void Open(ProgramWindow window) = 0;
};

}  // namespace kovan
