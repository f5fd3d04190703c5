// The resource compilers Kovan can hand the pool to, and the programs each
// one is run as: GoRC, Microsoft's rc and cvtres, LLVM's llvm-rc and
// llvm-cvtres, and GNU windres. Shared by Kovan and kovanc.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pool/compiler_command.hpp"

namespace kovan {

enum class CompilerId { GoRC, Rc, Llvm, Windres };
inline constexpr CompilerId kAllCompilers[] = {CompilerId::GoRC, CompilerId::Rc, CompilerId::Llvm, CompilerId::Windres};

// The machine an .OBJ file is made for. GoRC decides it by itself.
enum class Machine { X86, X64 };

// "gorc", "rc", "llvm", "windres": the names the settings and kovanc use.
const char* CompilerName(CompilerId id);
// The name the user reads: "GoRC", "Microsoft rc", "LLVM", "GNU windres".
const char* CompilerDisplayName(CompilerId id);
// ASCII letter case ignored; nothing for an unknown name.
std::optional<CompilerId> ParseCompilerName(std::string_view name);
// "x86" or "x64".
const char* MachineName(Machine machine);
std::optional<Machine> ParseMachineName(std::string_view name);

// Whether the compiler reads the UTF-8 script rather than the UTF-16 one.
bool ReadsUtf8Script(CompilerId id);

// The programs found for one compiler. `compiler` makes a .RES file from the
// script; `converter` makes an .OBJ file from a .RES file. GoRC and windres
// are both; rc and LLVM need their converter beside them.
struct CompilerPrograms {
  CompilerId id = CompilerId::GoRC;
  std::string compiler;
  std::string converter;

  bool Found() const { return !compiler.empty(); }
  bool CanMakeObj() const { return !compiler.empty() && !converter.empty(); }
};

// One program run of a compile. `parameters` is the Windows parameter text of
// `arguments`; for GoRC it is the text it has always been given.
struct CompileStep {
  std::string program;
  std::vector<std::string> arguments;
  std::string parameters;
};

// The runs that make `outputFile` of `kind` from `input` (the script, or a
// .RES file for ResObj). An .OBJ file made from the script by a compiler with
// a separate converter goes through `intermediateRes`. Empty when the
// programs cannot make that kind.
std::vector<CompileStep> CompilePlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                     const std::string& outputFile, const std::string& input,
                                     const std::string& intermediateRes);

}  // namespace kovan
