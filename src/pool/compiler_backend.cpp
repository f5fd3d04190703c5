#include "pool/compiler_backend.hpp"

#include "base/text.hpp"
#include "platform/command_line.hpp"
#include "pool/compiler_discovery.hpp"

namespace kovan {

namespace {

CompileStep Step(const std::string& program, std::vector<std::string> arguments) {
  std::string parameters = JoinCommandLine(arguments);
  return {program, std::move(arguments), std::move(parameters)};
}

std::vector<CompileStep> GoRCPlan(const CompilerPrograms& programs, Machine, CompileKind kind,
                                  const std::string& outputFile, const std::string& input, const std::string&) {
  const char* switches = kind == CompileKind::Res ? "/no/r/fo" : kind == CompileKind::Obj ? "/no/o/fo" : "/no/fo";
  return {{programs.compiler, {switches, outputFile, input}, CompilerParameters(kind, outputFile, input)}};
}

std::vector<CompileStep> RcPlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                const std::string& outputFile, const std::string& input,
                                const std::string& intermediateRes) {
  const std::string target = machine == Machine::X64 ? "X64" : machine == Machine::Arm64 ? "ARM64" : "X86";
  auto compile = [&](const std::string& out) { return Step(programs.compiler, {"/nologo", "/fo", out, input}); };
  auto convert = [&](const std::string& res) {
    return Step(programs.converter, {"/nologo", "/machine:" + target, "/out:" + outputFile, res});
  };
  if (kind == CompileKind::Res) return {compile(outputFile)};
  if (programs.converter.empty()) return {};
  if (kind == CompileKind::ResObj) return {convert(input)};
  return {compile(intermediateRes), convert(intermediateRes)};
}

std::vector<CompileStep> LlvmPlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                  const std::string& outputFile, const std::string& input,
                                  const std::string& intermediateRes) {
  const std::string target = MachineName(machine);
  // The script needs no preprocessor; without the switch llvm-rc looks for
  // clang to run one. "--" keeps a POSIX path from reading as a switch.
  auto compile = [&](const std::string& out) {
    return Step(programs.compiler, {"/no-preprocess", "/FO", out, "--", input});
  };
  auto convert = [&](const std::string& res) {
    return Step(programs.converter, {"/machine:" + target, "/out:" + outputFile, res});
  };
  if (kind == CompileKind::Res) return {compile(outputFile)};
  if (programs.converter.empty()) return {};
  if (kind == CompileKind::ResObj) return {convert(input)};
  return {compile(intermediateRes), convert(intermediateRes)};
}

std::vector<CompileStep> WindresPlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                     const std::string& outputFile, const std::string& input, const std::string&) {
  const std::string target = machine == Machine::X64 ? "--target=pe-x86-64" : "--target=pe-i386";
  if (kind == CompileKind::Res) {
    return {Step(programs.compiler,
                 {"--input-format=rc", "--input=" + input, "--output-format=res", "--output=" + outputFile})};
  }
  return {Step(programs.compiler, {kind == CompileKind::ResObj ? "--input-format=res" : "--input-format=rc",
                                   "--input=" + input, "--output-format=coff", target, "--output=" + outputFile})};
}

// Kovan's own compiler writes the file itself; nothing is run.
std::vector<CompileStep> BuiltinPlan(const CompilerPrograms&, Machine, CompileKind, const std::string&,
                                     const std::string&, const std::string&) {
  return {};
}

// Indexed by CompilerId.
constexpr CompilerBackend kBackends[] = {
    {CompilerId::GoRC, "gorc", "GoRC", ScriptEncoding::Utf16, {true, true, false},
     "the system directory, beside kovanc or on PATH", "beside kovanc or on PATH", FindGoRCPrograms, GoRCPlan},
    {CompilerId::Rc, "rc", "Microsoft rc", ScriptEncoding::Utf16, {true, true, true},
     "a Windows SDK (with the Visual Studio C++ tools for .OBJ files) or on PATH", "on PATH", FindRcPrograms, RcPlan},
    {CompilerId::Llvm, "llvm", "LLVM", ScriptEncoding::Utf8, {true, true, true}, "an LLVM installation or on PATH",
     "on PATH", FindLlvmPrograms, LlvmPlan},
    {CompilerId::Windres, "windres", "GNU windres", ScriptEncoding::Utf8, {true, true, false}, "on PATH", "on PATH",
     FindWindresPrograms, WindresPlan},
    {CompilerId::Builtin, "builtin", "Kovan", ScriptEncoding::None, {true, true, true}, "", "", FindBuiltinPrograms,
     BuiltinPlan},
};

}  // namespace

const CompilerBackend& Backend(CompilerId id) { return kBackends[static_cast<size_t>(id)]; }

const char* CompilerName(CompilerId id) { return Backend(id).name; }

const char* CompilerDisplayName(CompilerId id) { return Backend(id).displayName; }

std::optional<CompilerId> ParseCompilerName(std::string_view name) {
  for (const CompilerBackend& backend : kBackends) {
    if (AsciiIEquals(name, backend.name)) return backend.id;
  }
  return std::nullopt;
}

const char* MachineName(Machine machine) {
  return machine == Machine::X64 ? "x64" : machine == Machine::Arm64 ? "arm64" : "x86";
}

std::optional<Machine> ParseMachineName(std::string_view name) {
  for (Machine machine : kAllMachines) {
    if (AsciiIEquals(name, MachineName(machine))) return machine;
  }
  return std::nullopt;
}

bool MakesObjFor(CompilerId id, Machine machine) { return Backend(id).machines[static_cast<size_t>(machine)]; }

bool ReadsUtf8Script(CompilerId id) { return Backend(id).script == ScriptEncoding::Utf8; }

std::vector<CompileStep> CompilePlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                     const std::string& outputFile, const std::string& input,
                                     const std::string& intermediateRes) {
  if (!programs.Found()) return {};
  return Backend(programs.id).plan(programs, machine, kind, outputFile, input, intermediateRes);
}

}  // namespace kovan
