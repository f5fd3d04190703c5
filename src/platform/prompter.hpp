// How window logic talks to the user: message boxes, file dialogs and the
// general error report. The Win32 implementation shows real ones; tests script
// the answers.
#pragma once

#include <optional>
#include <string>

namespace kovan {

enum class MessageIcon { None, Information, Question, Warning, Error };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
  std::string caption;
  std::string text;  // line breaks are single CRs
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::Information;
  bool defaultNo = false;  // questions that change or delete data default to No
};

// A file dialog's settings. A window keeps one per dialog it owns, so its
// settings carry over from one showing to the next.
struct FileDialogRequest {
  std::string title;
  // Pairs of description and pattern, all separated by '|': "RES|*.res".
  std::string filter;
  std::string fileName;  // shown when the dialog opens
};

// The folder browser's settings, kept by its window like a file dialog's.
struct FolderDialogRequest {
  std::string title;
  std::string folder;  // selected when the browser opens; "" for the system's choice
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // The information box: the application title as caption, OK, information icon.
  virtual void ShowInfo(const std::string& text) = 0;
  // A message box owned by the window that asks.
  virtual MessageAnswer Message(const MessageRequest& request) = 0;
  // The general error report of an error no handler caught.
  virtual void ReportError(const std::string& errorText) = 0;
  // The standard save and open dialogs, owned by the window that asks: the
  // chosen full path, or nothing when the user cancels. Neither asks before
  // an existing file is named, nor insists that the named file exists, nor
  // adds an extension.
  virtual std::optional<std::string> SaveDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> OpenDialog(const FileDialogRequest& request) = 0;
  // The folder browser, owned by the window that asks: the chosen folder's
  // full path (with or without a trailing separator), or nothing on Cancel.
  virtual std::optional<std::string> FolderDialog(const FolderDialogRequest& request) = 0;
};

}  // namespace kovan
