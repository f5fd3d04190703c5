// The Shell of kovanc off Windows: programs are found on PATH and started
// directly, the parameter text split into arguments as a Windows program's
// runtime would split its command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line.hpp"
#include "platform/shell.hpp"

namespace kovan {

class PosixShell : public Shell {
 public:
  // The show state means nothing here; the program shares kovanc's terminal.
  // No window exists, so the wait never reports Outcome::Terminating.
  ProcessRun RunAndWait(const std::string& file, const std::string& parameters, ShowState show) override;
  // Through xdg-open; both verbs open the target in its usual program.
  bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) override;
  // POSIX systems have no system directory: the empty text.
  std::string SystemDirectory() override;
};

// The full path of the first executable file called `name` in the folders of
// PATH; empty when there is none.
std::string FindOnPath(const std::string& name);

}  // namespace kovan
