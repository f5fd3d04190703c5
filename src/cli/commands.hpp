// kovanc's commands. Each command file has one installer that adds its
// subcommands to the application; InstallCommands lists them all, in the order
// --help shows them.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>

namespace kovan::cli {

void InstallVersionFlag(CLI::App& app);
void InstallPoolCommands(CLI::App& app);
void InstallExportCommand(CLI::App& app);
void InstallCompileCommands(CLI::App& app);  // adds "pool check", so after the pool commands
void InstallHeaderCommand(CLI::App& app);
void InstallResourceCommands(CLI::App& app);
void InstallLanguageCommands(CLI::App& app);
void InstallVersionCommand(CLI::App& app);

void InstallCommands(CLI::App& app);

// Output is UTF-8 on every system.
void Print(std::string_view text);
void PrintError(std::string_view text);

// Ends the running command with `code` (after whatever it printed).
[[noreturn]] void Exit(int code);

// Adds --codepage N to a command; the value becomes the process's ANSI code page.
void AddCodePageOption(CLI::App* command);

}  // namespace kovan::cli
