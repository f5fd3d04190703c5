#include "app/program_windows.win32.hpp"

namespace kovan {

void ProgramWindows::Open(ProgramWindow window) {
  if (!main_) return;
  switch (window) {
    case ProgramWindow::Pool:
      // The pool window owns the boxes while it shows.
      prompter_.SetOwner(pool_->hwnd());
      pool_->ShowModal();
      prompter_.SetOwner(main_);
      break;
    case ProgramWindow::Settings: settings_->Show(); break;
    case ProgramWindow::About: about_->Open(main_); break;
  }
}

}  // namespace kovan
