// What the program asks of the shell and the process machinery: start a
// program by its full path and wait for it, reading what it writes; hand a
// file or folder to the shell with a verb; and the system directories. The Win32 implementation does it for real;
// kovanc off Windows uses the POSIX one; tests record the calls.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovan {

// Window show states, numbered as Windows numbers them.
enum class ShowState : int { Hide = 0, ShowNormal = 1, Show = 5 };

enum class ShellVerb { Open, Explore };

// A program to start: its full path (never searched for), and its arguments
// both as the vector a POSIX program receives and as the parameter text a
// Windows program's command line carries after its name.
struct ProcessRequest {
  std::string program;
  std::vector<std::string> arguments;
  std::string parameters;
  // Zero waits for as long as the program runs.
  std::chrono::milliseconds timeout{0};
  // Asked after every wake-up of the wait; true ends the program.
  std::function<bool()> stopRequested;
};

struct ProcessRun {
  enum class Outcome {
    NotStarted,   // the start failed; `error` holds the system's code
    Exited,       // the process ended; `exitCode` holds its exit code
    Terminating,  // the application is shutting down; the process may still run
    TimedOut,     // the deadline passed; the program and its children were ended
    Stopped,      // the stop was requested; the program and its children were ended
  };
  Outcome outcome = Outcome::NotStarted;
  uint32_t exitCode = 0;
  int error = 0;
  std::string output;  // what the program wrote to its output and error streams
  // Off Windows: the signal (SIGINT, SIGTERM or SIGHUP) that reached this
  // process while it waited. The program and its children were ended then
  // (Outcome::Stopped); the caller is to clean up and end with that signal.
  int signal = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // Starts the program without a window of its own and with no working
  // folder given, its output streams captured. Waits for it to end, or for
  // the deadline or a stop, while the program's windows stay live, without
  // spending processor time on it. A program ended early is ended together
  // with every process it started.
  [[nodiscard]] virtual ProcessRun RunProgram(const ProcessRequest& request) = 0;

  // Hands `target` to the shell with a verb, no parameters and no working
  // folder; `owned` puts whatever the shell shows under the application's
  // window. True when the shell reports success.
  virtual bool Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) = 0;

  // Runs `work` on a worker thread and waits for it while the program's
  // windows stay live. When the program starts to close during the wait,
  // `requestStop` is called, the work is still waited for, and the result is
  // false. Here the work simply runs on the calling thread.
  virtual bool RunWork(const std::function<void()>& work, const std::function<void()>& requestStop) {
    (void)requestStop;
    work();
    return true;
  }

  // The system directory, without a trailing separator.
  virtual std::string SystemDirectory() = 0;
  // The folder of the 32-bit system programs on a 64-bit system, without a
  // trailing separator; empty where there is none.
  virtual std::string System32BitDirectory() { return {}; }
};

// The shell of the system the program runs on, owned by no window (kovanc).
std::unique_ptr<Shell> CreateSystemShell();

}  // namespace kovan
