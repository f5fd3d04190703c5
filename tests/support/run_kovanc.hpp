// kovanc run as a program from the native tests: arguments in, standard output
// and exit code out.
#pragma once

#ifndef _WIN32
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace kovan::test {

struct CommandResult {
  int exitCode = -1;
  std::string out;
};

// Runs a shell command line and collects what it writes to standard output.
inline CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// Quotes one argument for the shell.
inline std::string Q(const std::string& s) { return "'" + s + "'"; }

inline CommandResult Kovanc(const std::string& args) {
  return RunCommand(std::string(KOVANC_PATH) + " " + args + " 2>/dev/null");
}

// The same, collecting standard error instead of standard output.
inline CommandResult KovancErrors(const std::string& args) {
  return RunCommand(std::string(KOVANC_PATH) + " " + args + " 2>&1 >/dev/null");
}

// A command line that kovanc refuses, the file its message must name, and
// its exit code.
struct ErrorCase {
  std::string args;
  std::string named;
  int exitCode;
};

}  // namespace kovan::test

#endif
