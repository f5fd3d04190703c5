// A Shell that records what it was asked and answers from a script; used by
// the tests of window logic.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/shell.hpp"

namespace kovan {

class RecordingShell : public Shell {
 public:
  struct Run {
    std::string file;  // the program's full path
    std::string parameters;
    std::vector<std::string> arguments;
    std::chrono::milliseconds timeout;
  };
  struct Execution {
    ShellVerb verb;
    std::string target;
    ShowState show;
    bool owned;
  };

  ProcessRun RunProgram(const ProcessRequest& request) override {
    runs.push_back({request.program, request.parameters, request.arguments, request.timeout});
    // Stands for the messages the real wait dispatches while the process runs.
    if (duringWait) duringWait();
    if (request.stopRequested && request.stopRequested()) return {ProcessRun::Outcome::Stopped, 0, 0, {}};
    return result;
  }
  bool RunWork(const std::function<void()>& work, const std::function<void()>& requestStop) override {
    if (duringWait) duringWait();
    if (closing) requestStop();
    work();
    return !closing;
  }
  bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) override {
    executions.push_back({verb, target, show, owned});
    return true;
  }
  std::string SystemDirectory() override { return systemDirectory; }

  std::vector<Run> runs;
  std::vector<Execution> executions;
  ProcessRun result{ProcessRun::Outcome::Exited, 0, 0, {}};  // what every run returns
  std::function<void()> duringWait;
  bool closing = false;  // the program starts to close during a wait for work
  std::string systemDirectory;
};

}  // namespace kovan
