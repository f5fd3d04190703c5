// A Prompter that records what it was asked and answers from a script; used by
// the tests of window logic and wherever no user can be asked.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompter.hpp"

namespace kovan {

class RecordingPrompter : public Prompter {
 public:
  struct Call {
    enum Kind { Info, Message, Error, SaveDialog, OpenDialog, FolderDialog } kind;
    MessageRequest request;      // for Info and Error only the text is set
    FileDialogRequest dialog{};  // for SaveDialog and OpenDialog
    FolderDialogRequest folder{};
  };

  void ShowInfo(const std::string& text) override { calls.push_back({Call::Info, {{}, text}}); }
  MessageAnswer Message(const MessageRequest& request) override {
    calls.push_back({Call::Message, request});
    if (!answers.empty()) {
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  void ReportError(const std::string& errorText) override { calls.push_back({Call::Error, {{}, errorText}}); }
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override {
    return Dialog(Call::SaveDialog, request);
  }
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override {
    return Dialog(Call::OpenDialog, request);
  }

  std::optional<std::string> FolderDialog(const FolderDialogRequest& request) override {
    calls.push_back({Call::FolderDialog, {}, {}, request});
    return NextDialogAnswer();
  }

  std::vector<Call> calls;
  std::deque<MessageAnswer> answers;  // answers to Message(), in order; No/Ok when empty
  // Answers to the file and folder dialogs, in order: a path, or nothing for
  // Cancel (also when the list is used up).
  std::deque<std::optional<std::string>> dialogAnswers;

 private:
  std::optional<std::string> Dialog(Call::Kind kind, const FileDialogRequest& request) {
    calls.push_back({kind, {}, request});
    return NextDialogAnswer();
  }
  std::optional<std::string> NextDialogAnswer() {
    if (dialogAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
  }
};

}  // namespace kovan
