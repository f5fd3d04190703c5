// kovanc's commands. Each command file registers an installer that adds its
// subcommands to the application; main() runs them in order.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

namespace kovan::cli {

using CommandInstaller = void (*)(CLI::App& app);

struct CommandRegistration {
  CommandRegistration(int order, CommandInstaller installer);
};

void InstallCommands(CLI::App& app);

// Output is UTF-8 on every system.
void Print(std::string_view text);
void PrintError(std::string_view text);

// Ends the running command with `code` (after whatever it printed).
[[noreturn]] void Exit(int code);

// Adds --codepage N to a command; the value becomes the process's ANSI code page.
void AddCodePageOption(CLI::App* command);

}  // namespace kovan::cli
