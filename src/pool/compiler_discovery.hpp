// Finding the resource compilers on this machine. The rules are portable and
// read the system through CompilerSearch, so they can be tried against a
// scripted registry and a folder tree.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.hpp"
#include "platform/shell.hpp"
#include "pool/compiler_backend.hpp"

namespace kovan {

struct CompilerSearch {
  // Windows names the programs with ".exe" and keeps the install folders of
  // rc and LLVM in the registry; elsewhere the Debian names are looked for
  // on PATH, versioned ones ("llvm-rc-14") included.
  bool windows = true;
  std::string systemDirectory;       // GoRC's usual home
  std::string system32BitDirectory;  // the 32-bit system folder; empty if none
  std::string exeFolder;             // the program's own folder
  std::vector<std::string> path;     // the folders of PATH, in order
  std::string hostArch = "x64";      // the SDK's and MSVC's folder for this host
  std::string programFilesX86;       // where the Visual Studio installer lives
  Registry* registry = nullptr;
  // Runs a program and gives what it wrote, or nothing when it failed (used
  // to ask the Visual Studio installer where the build tools are).
  std::function<std::optional<std::string>(const std::string& program, const std::vector<std::string>& arguments)> run;
};

// The programs of one compiler; Found() is false when its compiler is absent.
CompilerPrograms FindCompiler(const CompilerSearch& search, CompilerId id);

// The compiler to use: the chosen one, or with none chosen GoRC, and Kovan's
// own when GoRC is not found.
CompilerPrograms FindChosenCompiler(const CompilerSearch& search, std::optional<CompilerId> chosen);

// How each row of the table finds its programs.
CompilerPrograms FindGoRCPrograms(const CompilerSearch& search);
CompilerPrograms FindRcPrograms(const CompilerSearch& search);
CompilerPrograms FindLlvmPrograms(const CompilerSearch& search);
CompilerPrograms FindWindresPrograms(const CompilerSearch& search);
CompilerPrograms FindBuiltinPrograms(const CompilerSearch& search);

// Every compiler Kovan knows, in the order of kAllCompilers, found or not.
std::vector<CompilerPrograms> AvailableCompilers(const CompilerSearch& search);

// The search of the machine the program runs on: the shell's system folders,
// the executable's folder, PATH, the registry (may be null) and the shell to
// run the Visual Studio installer.
CompilerSearch SystemCompilerSearch(Shell& shell, Registry* registry);

}  // namespace kovan
