// The Shell of kovanc off Windows: programs are found on PATH and started
// directly, the parameter text split into arguments as a Windows program's
// runtime would split its command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/shell.hpp"

namespace kovan {

// The arguments of a Windows command line's parameter text: white space
// separates arguments outside double quotes; 2n backslashes before a quote
// give n backslashes and the quote opens or closes quoting, 2n+1 give n and a
// literal quote; other backslashes are literal; inside quotes, "" gives a
// literal quote.
std::vector<std::string> SplitCommandLine(std::string_view parameters);

#ifndef _WIN32
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
#endif

}  // namespace kovan
