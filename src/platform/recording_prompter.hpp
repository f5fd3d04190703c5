// A Prompter that records what it was asked and answers from a script; used by
// the tests of window logic and wherever no user can be asked.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/prompter.hpp"

namespace kovan {

class RecordingPrompter : public Prompter {
 public:
  struct Call {
    enum Kind { Info, Message, Error } kind;
    MessageRequest request;  // for Info and Error only the text is set
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

  std::vector<Call> calls;
  std::deque<MessageAnswer> answers;  // answers to Message(), in order; No/Ok when empty
};

}  // namespace kovan
