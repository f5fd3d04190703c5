#pragma once

#include <windows.h>

#include "platform/prompter.hpp"

namespace kovan {

// Real message boxes. Boxes of a window are owned by it; the information box
// and the error report follow the active window, as the user expects.
class Win32Prompter : public Prompter {
 public:
  explicit Win32Prompter(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowInfo(const std::string& text) override;
  MessageAnswer Message(const MessageRequest& request) override;
  void ReportError(const std::string& errorText) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> FolderDialog(const FolderDialogRequest& request) override;

 private:
  HWND owner_;
};

}  // namespace kovan
