// The resource compilers Kovan can hand the pool to, one row each in one
// table: GoRC, Microsoft's rc and cvtres, LLVM's llvm-rc and llvm-cvtres, GNU
// windres, and Kovan's own, which runs no program. Shared by Kovan and kovanc.
#pragma once

#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pool/compiler_command.hpp"

namespace kovan {

enum class CompilerId { GoRC, Rc, Llvm, Windres, Builtin };
inline constexpr CompilerId kAllCompilers[] = {CompilerId::GoRC, CompilerId::Rc, CompilerId::Llvm, CompilerId::Windres,
                                               CompilerId::Builtin};

// The machine an .OBJ file is made for. GoRC decides it by itself.
enum class Machine { X86, X64, Arm64 };
inline constexpr Machine kAllMachines[] = {Machine::X86, Machine::X64, Machine::Arm64};

// "gorc", "rc", "llvm", "windres", "builtin": the names the settings and kovanc use.
const char* CompilerName(CompilerId id);
// The name the user reads: "GoRC", "Microsoft rc", "LLVM", "GNU windres", "Kovan".
const char* CompilerDisplayName(CompilerId id);
// ASCII letter case ignored; nothing for an unknown name.
std::optional<CompilerId> ParseCompilerName(std::string_view name);
// "x86", "x64" or "arm64".
const char* MachineName(Machine machine);
std::optional<Machine> ParseMachineName(std::string_view name);
// Whether the compiler's .OBJ files can be for `machine`.
bool MakesObjFor(CompilerId id, Machine machine);

// Whether the compiler reads the UTF-8 script rather than the UTF-16 one.
bool ReadsUtf8Script(CompilerId id);

// The programs found for one compiler. `compiler` makes a .RES file from the
// script; `converter` makes an .OBJ file from a .RES file. GoRC and windres
// are both; rc and LLVM need their converter beside them. Kovan's own needs
// neither and is always there.
struct CompilerPrograms {
  CompilerId id = CompilerId::GoRC;
  std::string compiler;
  std::string converter;

  bool Found() const { return id == CompilerId::Builtin || !compiler.empty(); }
  bool CanMakeObj() const { return id == CompilerId::Builtin || (!compiler.empty() && !converter.empty()); }
};

// One program run of a compile. `parameters` is the Windows parameter text of
// `arguments`; for GoRC it is the text it has always been given.
struct CompileStep {
  std::string program;
  std::vector<std::string> arguments;
  std::string parameters;
};

struct CompilerSearch;

// The script a compiler reads: none (Kovan's own reads the pool), the
// UTF-16 one, or UTF-8 with a first line naming the code page.
enum class ScriptEncoding { None, Utf16, Utf8 };

// One row of the table.
struct CompilerBackend {
  CompilerId id;
  const char* name;         // in the settings and on kovanc's command line
  const char* displayName;  // what the user reads
  ScriptEncoding script;
  // The machines its .OBJ files can be for.
  bool machines[std::size(kAllMachines)];
  // Where the user is told to put it when it is missing, on Windows and elsewhere.
  const char* whereOnWindows;
  const char* whereElsewhere;
  // Finds its programs on the machine described by the search.
  CompilerPrograms (*find)(const CompilerSearch& search);
  // The program runs that make a file (none for Kovan's own).
  std::vector<CompileStep> (*plan)(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                   const std::string& outputFile, const std::string& input,
                                   const std::string& intermediateRes);
};

const CompilerBackend& Backend(CompilerId id);

// The runs that make `outputFile` of `kind` from `input` (the script, or a
// .RES file for ResObj). An .OBJ file made from the script by a compiler with
// a separate converter goes through `intermediateRes`. Empty when the
// programs cannot make that kind.
std::vector<CompileStep> CompilePlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                     const std::string& outputFile, const std::string& input,
                                     const std::string& intermediateRes);

}  // namespace kovan
