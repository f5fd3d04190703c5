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
    std::string file;
    std::string parameters;
    ShowState show;
  };
  struct Execution {
    ShellVerb verb;
    std::string target;
    ShowState show;
    bool owned;
  };

  ProcessRun RunAndWait(const std::string& file, const std::string& parameters, ShowState show) override {
    runs.push_back({file, parameters, show});
    // Stands for the messages the real wait dispatches while the process runs.
    if (duringWait) duringWait();
    return result;
  }
  bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) override {
    executions.push_back({verb, target, show, owned});
    return true;
  }
  std::string SystemDirectory() override { return systemDirectory; }

  std::vector<Run> runs;
  std::vector<Execution> executions;
  ProcessRun result{ProcessRun::Outcome::Exited, 0, 0};  // what every run returns
  std::function<void()> duringWait;
  std::string systemDirectory;
};

}  // namespace kovan
