#include <cstdio>
#include <utility>
#include <vector>

#include "base/text.hpp"
#include "cli/commands.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace kovan::cli {

namespace {

void WriteAll(FILE* stream, std::string_view text) { fwrite(text.data(), 1, text.size(), stream); }

}  // namespace

// Every command of kovanc, in the order --help lists them. A new command
// file adds its installer here.
void InstallCommands(CLI::App& app) {
  InstallVersionFlag(app);
  InstallPoolCommands(app);
  InstallExportCommand(app);
  InstallCompileCommands(app);
  InstallHeaderCommand(app);
  InstallResourceCommands(app);
  InstallLanguageCommands(app);
  InstallVersionCommand(app);
}

void Print(std::string_view text) { WriteAll(stdout, text); }
void PrintError(std::string_view text) { WriteAll(stderr, text); }

void Exit(int code) { throw CLI::RuntimeError(code); }

void AddCodePageOption(CLI::App* command) {
  command->add_option_function<unsigned>(
      "--codepage", [](unsigned cp) { SetAnsiCodePage(cp); },
      "ANSI code page of pool files (default: the system's; 1252 off Windows)");
}

int Run(std::vector<std::string> args) {
  CLI::App app{"kovanc - works on Kovan's pool files, scripts and language files", "kovanc"};
  app.require_subcommand(1);
  InstallCommands(app);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    fflush(stdout);
    PrintError(std::string("kovanc: ") + e.what() + "\n");
    return 1;
  }
  return 0;
}

}  // namespace kovan::cli

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(kovan::ToUtf8(argv[i]));
  return kovan::cli::Run(std::move(args));
}
#else
int main(int argc, char** argv) { return kovan::cli::Run(std::vector<std::string>(argv, argv + argc)); }
#endif
