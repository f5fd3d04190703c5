#include "pool/compiler_backend.hpp"

#include "base/text.hpp"
#include "platform/command_line.hpp"

namespace kovan {

namespace {

CompileStep Step(const std::string& program, std::vector<std::string> arguments) {
  std::string parameters = JoinCommandLine(arguments);
  return {program, std::move(arguments), std::move(parameters)};
}

std::vector<CompileStep> GoRCPlan(const CompilerPrograms& programs, CompileKind kind, const std::string& outputFile,
                                  const std::string& input) {
  const char* switches = kind == CompileKind::Res ? "/no/r/fo" : kind == CompileKind::Obj ? "/no/o/fo" : "/no/fo";
  return {{programs.compiler, {switches, outputFile, input}, CompilerParameters(kind, outputFile, input)}};
}

std::vector<CompileStep> RcPlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                const std::string& outputFile, const std::string& input,
                                const std::string& intermediateRes) {
  const std::string target = machine == Machine::X64 ? "X64" : "X86";
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
  const std::string target = machine == Machine::X64 ? "x64" : "x86";
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
                                     const std::string& outputFile, const std::string& input) {
  const std::string target = machine == Machine::X64 ? "--target=pe-x86-64" : "--target=pe-i386";
  if (kind == CompileKind::Res) {
    return {Step(programs.compiler,
                 {"--input-format=rc", "--input=" + input, "--output-format=res", "--output=" + outputFile})};
  }
  return {Step(programs.compiler, {kind == CompileKind::ResObj ? "--input-format=res" : "--input-format=rc",
                                   "--input=" + input, "--output-format=coff", target, "--output=" + outputFile})};
}

}  // namespace

const char* CompilerName(CompilerId id) {
  switch (id) {
    case CompilerId::GoRC: return "gorc";
    case CompilerId::Rc: return "rc";
    case CompilerId::Llvm: return "llvm";
    case CompilerId::Windres: return "windres";
  }
  return "";
}

const char* CompilerDisplayName(CompilerId id) {
  switch (id) {
    case CompilerId::GoRC: return "GoRC";
    case CompilerId::Rc: return "Microsoft rc";
    case CompilerId::Llvm: return "LLVM";
    case CompilerId::Windres: return "GNU windres";
  }
  return "";
}

std::optional<CompilerId> ParseCompilerName(std::string_view name) {
  for (CompilerId id : kAllCompilers) {
    if (AsciiIEquals(name, CompilerName(id))) return id;
  }
  return std::nullopt;
}

const char* MachineName(Machine machine) { return machine == Machine::X64 ? "x64" : "x86"; }

std::optional<Machine> ParseMachineName(std::string_view name) {
  if (AsciiIEquals(name, "x86")) return Machine::X86;
  if (AsciiIEquals(name, "x64")) return Machine::X64;
  return std::nullopt;
}

bool ReadsUtf8Script(CompilerId id) { return id == CompilerId::Llvm || id == CompilerId::Windres; }

std::vector<CompileStep> CompilePlan(const CompilerPrograms& programs, Machine machine, CompileKind kind,
                                     const std::string& outputFile, const std::string& input,
                                     const std::string& intermediateRes) {
  if (!programs.Found()) return {};
  switch (programs.id) {
    case CompilerId::GoRC: return GoRCPlan(programs, kind, outputFile, input);
    case CompilerId::Rc: return RcPlan(programs, machine, kind, outputFile, input, intermediateRes);
    case CompilerId::Llvm: return LlvmPlan(programs, machine, kind, outputFile, input, intermediateRes);
    case CompilerId::Windres: return WindresPlan(programs, machine, kind, outputFile, input);
  }
  return {};
}

}  // namespace kovan
