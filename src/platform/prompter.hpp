// How window logic talks to the user: message boxes and the general error
// report. The Win32 implementation shows real boxes; tests script the answers.
#pragma once

#include <string>

namespace kovan {

inline constexpr char kAppTitle[] = "Kovan 2.0 - ORSEL RIRUDIR";

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

class Prompter {
 public:
  virtual ~Prompter() = default;
  // The information box: the application title as caption, OK, information icon.
  virtual void ShowInfo(const std::string& text) = 0;
  // A message box owned by the window that asks.
  virtual MessageAnswer Message(const MessageRequest& request) = 0;
  // The general error report of an error no handler caught.
  virtual void ReportError(const std::string& errorText) = 0;
};

}  // namespace kovan
