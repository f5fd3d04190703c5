#include "platform/posix_shell.hpp"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/errors.hpp"

extern char** environ;

namespace kovan {

namespace {

ProcessRun Spawn(const std::string& path, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int err = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
  if (err != 0) return {ProcessRun::Outcome::NotStarted, 0, ErrnoToSystemError(err)};
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return {ProcessRun::Outcome::NotStarted, 0, ErrnoToSystemError(errno)};
  }
  // A process ended by a signal reports 128 plus the signal, as shells do.
  const uint32_t code =
      WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status)) : 128u + static_cast<uint32_t>(WTERMSIG(status));
  return {ProcessRun::Outcome::Exited, code, 0};
}

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

ProcessRun PosixShell::RunAndWait(const std::string& file, const std::string& parameters, ShowState) {
  const std::string path = FindOnPath(file);
  if (path.empty()) return {ProcessRun::Outcome::NotStarted, 0, 2};
  std::vector<std::string> args = SplitCommandLine(parameters);
  args.insert(args.begin(), file);
  return Spawn(path, args);
}

bool PosixShell::Execute(ShellVerb, const std::string& target, ShowState, bool) {
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  const ProcessRun run = Spawn(opener, {"xdg-open", target});
  return run.outcome == ProcessRun::Outcome::Exited && run.exitCode == 0;
}

std::string PosixShell::SystemDirectory() { return {}; }

std::unique_ptr<Shell> CreateSystemShell() { return std::make_unique<PosixShell>(); }

}  // namespace kovan
