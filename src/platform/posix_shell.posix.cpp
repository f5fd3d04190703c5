#include "platform/posix_shell.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "base/errors.hpp"

extern char** environ;

namespace kovan {

namespace {

using Clock = std::chrono::steady_clock;

// Output beyond this is dropped from the front: only the last lines are shown.
constexpr size_t kOutputLimit = 1 << 20;

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// A descriptor that becomes readable when the process ends, so the wait needs
// no timer; -1 where the kernel offers none.
int OpenProcessFd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

uint32_t ExitCodeOf(int status) {
  // A process ended by a signal reports 128 plus the signal, as shells do.
  return WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status))
                           : 128u + static_cast<uint32_t>(WTERMSIG(status));
}

int Reap(pid_t pid, int flags) {
  int status = 0;
  pid_t got;
  while ((got = waitpid(pid, &status, flags)) < 0 && errno == EINTR) {
  }
  return got == pid ? status : -1;
}

// Reads what is there without blocking; false at the end of the stream.
bool ReadAvailable(int fd, std::string& output) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      output.append(buffer, static_cast<size_t>(n));
      if (output.size() > kOutputLimit) output.erase(0, output.size() - kOutputLimit);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}

volatile sig_atomic_t g_stopSignal = 0;

void RecordStopSignal(int signalNumber) { g_stopSignal = signalNumber; }

// The signals that end a command-line program: Ctrl+C, kill and a closed
// terminal. The compiler runs in a group of its own, so they would reach only
// kovanc and leave the compiler running; while a program runs they are
// caught, and blocked except during the wait itself, so that the wait sees
// each one and ends the program's group first.
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&caught_);
    for (size_t i = 0; i < std::size(kSignals); ++i) {
      struct sigaction previous {};
      sigaction(kSignals[i], nullptr, &previous);
      // A signal ignored by whoever started us (nohup) stays ignored.
      if (previous.sa_handler == SIG_IGN) continue;
      sigaddset(&caught_, kSignals[i]);
    }
    pthread_sigmask(SIG_BLOCK, &caught_, &previousMask_);
    g_stopSignal = 0;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
      if (!sigismember(&caught_, kSignals[i])) continue;
      struct sigaction action {};
      action.sa_handler = RecordStopSignal;
      sigemptyset(&action.sa_mask);
      installed_[i] = sigaction(kSignals[i], &action, &previous_[i]) == 0;
    }
  }
  ~StopSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
      if (installed_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The mask the program starts with and the wait runs under: the caller's.
  const sigset_t& OpenMask() const { return previousMask_; }
  // The signal that came, or 0.
  static int Taken() { return g_stopSignal; }

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  sigset_t caught_{};
  sigset_t previousMask_{};
  struct sigaction previous_[std::size(kSignals)]{};
  bool installed_[std::size(kSignals)] = {};
};

}  // namespace

std::string FindOnPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "";
  for (;;) {
    const size_t colon = folders.find(':');
    // An empty PATH element stands for the current folder.
    const std::string_view folder = colon == 0 || folders.empty() ? std::string_view(".") : folders.substr(0, colon);
    const std::string candidate = std::string(folder) + "/" + name;
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string_view::npos) return {};
    folders.remove_prefix(colon + 1);
  }
}

ProcessRun PosixShell::RunProgram(const ProcessRequest& request) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return {ProcessRun::Outcome::NotStarted, 0, ErrnoToSystemError(errno), {}};
  Fd readEnd(ends[0]);
  Fd writeEnd(ends[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 1);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 2);
  const StopSignals stopSignals;
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setsigmask(&attributes, &stopSignals.OpenMask());

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(request.program.c_str()));
  for (const std::string& a : request.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int err = posix_spawn(&pid, request.program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (err != 0) return {ProcessRun::Outcome::NotStarted, 0, ErrnoToSystemError(err), {}};
  writeEnd.Reset();
  fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);

  Fd processFd(OpenProcessFd(pid));
  const bool hasDeadline = request.timeout.count() > 0;
  const Clock::time_point deadline = Clock::now() + request.timeout;
  ProcessRun run{ProcessRun::Outcome::Exited, 0, 0, {}};
  for (;;) {
    // Without a process descriptor the end of the process is seen at the
    // next tick; with one, only the streams and the deadline wake the wait.
    // No window messages wake this wait, so a stop request is looked at on a
    // slow tick.
    int waitMs = processFd.get() >= 0 && !request.stopRequested ? -1 : 50;
    if (hasDeadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      const int leftMs = static_cast<int>(std::max<long long>(0, std::min<long long>(left, 1 << 30)));
      waitMs = waitMs < 0 ? leftMs : std::min(waitMs, leftMs);
    }
    pollfd fds[2] = {{readEnd.get(), POLLIN, 0}, {processFd.get(), POLLIN, 0}};
    const timespec waitTime{waitMs / 1000, (waitMs % 1000) * 1000000L};
    const int ready = ppoll(fds, 2, waitMs < 0 ? nullptr : &waitTime, &stopSignals.OpenMask());
    if (ready < 0 && errno != EINTR) break;
    if (const int signalNumber = StopSignals::Taken()) {
      kill(-pid, SIGKILL);
      Reap(pid, 0);
      run.outcome = ProcessRun::Outcome::Stopped;
      run.signal = signalNumber;
      return run;
    }
    if (readEnd.get() >= 0 && (fds[0].revents & (POLLIN | POLLHUP)) && !ReadAvailable(readEnd.get(), run.output)) {
      readEnd.Reset();
    }
    if (processFd.get() < 0 || (fds[1].revents & POLLIN)) {
      const int status = Reap(pid, processFd.get() < 0 ? WNOHANG : 0);
      if (status >= 0) {
        run.exitCode = ExitCodeOf(status);
        // What the program wrote just before it ended; a child it left behind
        // holding the stream is not waited for.
        if (readEnd.get() >= 0) ReadAvailable(readEnd.get(), run.output);
        return run;
      }
    }
    const bool stop = request.stopRequested && request.stopRequested();
    if (stop || (hasDeadline && Clock::now() >= deadline)) {
      kill(-pid, SIGKILL);
      Reap(pid, 0);
      run.outcome = stop ? ProcessRun::Outcome::Stopped : ProcessRun::Outcome::TimedOut;
      return run;
    }
  }
  kill(-pid, SIGKILL);
  Reap(pid, 0);
  return {ProcessRun::Outcome::NotStarted, 0, ErrnoToSystemError(errno), std::move(run.output)};
}

bool PosixShell::Execute(ShellVerb, const std::string& target, ShowState, bool) {
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  const ProcessRun run = RunProgram({opener, {target}, {}, std::chrono::seconds(60), {}});
  if (run.signal != 0) {
    signal(run.signal, SIG_DFL);
    raise(run.signal);
  }
  return run.outcome == ProcessRun::Outcome::Exited && run.exitCode == 0;
}

std::string PosixShell::SystemDirectory() { return {}; }

std::unique_ptr<Shell> CreateSystemShell() { return std::make_unique<PosixShell>(); }

}  // namespace kovan
