// The Shell of kovanc off Windows: programs are started directly with their
// argument vector, in a process group of their own so that a deadline can end
// whatever they started.
#pragma once

#include <string>

#include "platform/shell.hpp"

namespace kovan {

class PosixShell : public Shell {
 public:
  // No window exists, so the wait never reports Outcome::Terminating.
  ProcessRun RunProgram(const ProcessRequest& request) override;
  // Through xdg-open; both verbs open the target in its usual program.
  bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) override;
  // POSIX systems have no system directory: the empty text.
  std::string SystemDirectory() override;
};

// The full path of the first executable file called `name` in the folders of
// PATH; empty when there is none.
std::string FindOnPath(const std::string& name);

}  // namespace kovan
