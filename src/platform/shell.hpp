// What the program asks of the shell and the process machinery: start a
// program and wait for it, hand a file or folder to the shell with a verb, and
// the system directory. The Win32 implementation does it for real; kovanc off
// Windows uses the POSIX one; tests record the calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kovan {

// Window show states, numbered as Windows numbers them.
enum class ShowState : int { Hide = 0, ShowNormal = 1, Show = 5 };

enum class ShellVerb { Open, Explore };

struct ProcessRun {
  enum class Outcome {
    NotStarted,   // the start failed; `error` holds the system's code
    Exited,       // the process ended; `exitCode` holds its exit code
    Terminating,  // the application is shutting down; the process may still run
  };
  Outcome outcome = Outcome::NotStarted;
  uint32_t exitCode = 0;
  int error = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // Starts `file` (a bare name is found by the shell's program search) with the
  // parameter text as it stands, no working folder, in the given show state,
  // owned by the application's window. Waits for the process to end while the
  // program's windows stay live, without spending processor time on it.
  [[nodiscard]] virtual ProcessRun RunAndWait(const std::string& file, const std::string& parameters,
                                              ShowState show) = 0;

  // Hands `target` to the shell with a verb, no parameters and no working
  // folder; `owned` puts whatever the shell shows under the application's
  // window. True when the shell reports success.
  virtual bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) = 0;

  // The system directory, without a trailing separator.
  virtual std::string SystemDirectory() = 0;
};

// The shell of the system the program runs on, owned by no window (kovanc).
std::unique_ptr<Shell> CreateSystemShell();

}  // namespace kovan
