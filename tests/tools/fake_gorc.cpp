// A stand-in for the GoRC resource compiler, for tests. It appends what it was
// given to the file named by FAKE_GORC_LOG: the parameter text as the system
// passed it (Windows only: the command line after the program's name) on a
// line starting "raw: ", then one line "arg: ..." per argument. It writes
// FAKE_GORC_SAY to its output stream and "error: " and the same text to its
// error stream, copies its input (the last argument) to its output (the one
// before), waits FAKE_GORC_DELAY_MS milliseconds and exits with
// FAKE_GORC_EXIT (0 when unset). With fewer than two arguments it exits with 64.
// FAKE_GORC_WHO names a file that receives the full path it was started from.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

std::filesystem::path PathOf(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }

#ifdef _WIN32
std::string Utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n) : 1u, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

// The command line after the program's name and the blanks that follow it.
std::string RawParameters() {
  const wchar_t* line = GetCommandLineW();
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return Utf8(line);
}

std::vector<std::string> Arguments() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; argv && i < argc; ++i) args.push_back(Utf8(argv[i]));
  LocalFree(argv);
  return args;
}

std::string EnvText(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? Utf8(value) : "";
}
#define ENV_NAME(s) L##s
#else
std::string EnvText(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
#define ENV_NAME(s) s
#endif

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  const std::vector<std::string> args = Arguments();
#else
  const std::vector<std::string> args(argv + 1, argv + argc);
#endif
  const std::string logPath = EnvText(ENV_NAME("FAKE_GORC_LOG"));
  if (!logPath.empty()) {
    std::ofstream log(PathOf(logPath), std::ios::binary | std::ios::app);
#ifdef _WIN32
    log << "raw: " << RawParameters() << "\n";
#endif
    for (const std::string& a : args) log << "arg: " << a << "\n";
  }
  if (const std::string who = EnvText(ENV_NAME("FAKE_GORC_WHO")); !who.empty()) {
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::ofstream(PathOf(who), std::ios::binary) << Utf8(self);
#else
    std::ofstream(PathOf(who), std::ios::binary) << std::filesystem::canonical("/proc/self/exe").string();
#endif
  }
  if (const std::string say = EnvText(ENV_NAME("FAKE_GORC_SAY")); !say.empty()) {
    std::fputs((say + "\n").c_str(), stdout);
    std::fflush(stdout);
    std::fputs(("error: " + say + "\n").c_str(), stderr);
  }
  if (args.size() < 2) return 64;
  std::ifstream in(PathOf(args[args.size() - 1]), std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream(PathOf(args[args.size() - 2]), std::ios::binary) << content;

  if (const std::string delay = EnvText(ENV_NAME("FAKE_GORC_DELAY_MS")); !delay.empty()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(delay.c_str())));
  }
  const std::string code = EnvText(ENV_NAME("FAKE_GORC_EXIT"));
  return code.empty() ? 0 : std::atoi(code.c_str());
}
