// kovanc pool check / script / compile / header / res2obj / compilers.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>

#include "base/errors.hpp"
#include "base/file_stamp.hpp"
#include "base/file_system.hpp"
#include "cli/commands.hpp"
#include "cli/pool_file_access.hpp"
#include "platform/command_line.hpp"
#include "platform/shell.hpp"
#include "formats/format_error.hpp"
#include "pool/build_record.hpp"
#include "pool/builtin_compiler.hpp"
#include "pool/compiler_backend.hpp"
#include "pool/compiler_command.hpp"
#include "pool/compiler_discovery.hpp"
#include "pool/compiler_messages.hpp"
#include "pool/dependency_file.hpp"
#include "pool/key_check.hpp"
#include "pool/resource_header.hpp"
#include "pool/resource_script.hpp"
#include "kovan_version.h"

#ifdef _WIN32
#include "platform/win32_registry.win32.hpp"
#endif

namespace kovan::cli {

namespace {

// Exit codes beyond 0 (done) and 1 (bad input or key names at fault).
constexpr int kExitNoCompiler = 2;
constexpr int kExitCompilerFailed = 3;
constexpr int kExitTimedOut = 4;

constexpr size_t kReportedLines = 10;

// The compiler options of compile and res2obj. No compiler named means
// GoRC, or Kovan's own when GoRC is not found.
struct CompilerOptions {
  std::string compiler;
  std::string machine = "x86";
  int timeoutSeconds = 300;
};

void AddCompilerOptions(CLI::App* command, CompilerOptions& options) {
  std::vector<std::string> compilers;
  for (CompilerId id : kAllCompilers) compilers.push_back(CompilerName(id));
  std::vector<std::string> machines;
  for (Machine machine : kAllMachines) machines.push_back(MachineName(machine));
  command
      ->add_option("--compiler", options.compiler,
                   "Resource compiler: gorc, rc, llvm, windres or builtin (Kovan's own); without it GoRC, or builtin "
                   "when GoRC is not found")
      ->check(CLI::IsMember(compilers, CLI::ignore_case));
  command->add_option("--machine", options.machine, "Machine of the .OBJ file: x86, x64 or arm64 (gorc decides itself)")
      ->capture_default_str()
      ->check(CLI::IsMember(machines, CLI::ignore_case));
  command->add_option("--timeout", options.timeoutSeconds, "Seconds the compiler may run before it is ended")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
}

CompilerSearch MachineSearch(Shell& shell) {
#ifdef _WIN32
  static Win32Registry registry;
  return SystemCompilerSearch(shell, &registry);
#else
  return SystemCompilerSearch(shell, nullptr);
#endif
}

std::string WhereCompilersAreFound(CompilerId id) {
#ifdef _WIN32
  return Backend(id).whereOnWindows;
#else
  return Backend(id).whereElsewhere;
#endif
}

void PrintPrefixed(const std::string& list, const std::string& prefix) {
  std::string out;
  size_t start = 0;
  for (size_t cr = list.find('\r'); cr != std::string::npos; cr = list.find('\r', start)) {
    out += prefix + list.substr(start, cr - start) + "\n";
    start = cr + 1;
  }
  Print(out);
}

size_t LineCount(const std::string& list) { return static_cast<size_t>(std::count(list.begin(), list.end(), '\r')); }

// Prints the entries at fault and ends with exit code 1 when there are any;
// standard error says which list file holds them.
void CheckKeys(const ResourcePool& pool, const std::string& file) {
  const std::string missing = KeyProblemList(pool, 1);
  const std::string shared = KeyProblemList(pool, 2);
  if (missing.empty() && shared.empty()) return;
  PrintPrefixed(missing, "missing: ");
  PrintPrefixed(shared, "shared: ");
  fflush(stdout);
  PrintError("kovanc: " + file + ": key names missing: " + std::to_string(LineCount(missing)) +
             ", shared: " + std::to_string(LineCount(shared)) + "\n");
  Exit(1);
}

// Names every entry the script cannot carry and ends with exit code 1 when
// there is one, before anything is written.
void CheckScriptable(const ResourcePool& pool, const std::string& file) {
  const std::vector<std::string> problems = ScriptEntryProblems(pool);
  if (problems.empty()) return;
  std::string text;
  for (const std::string& problem : problems) text += "kovanc: " + file + ": " + problem + "\n";
  PrintError(text);
  Exit(1);
}

// The compiler's programs; ends kovanc when the kind cannot be made.
CompilerPrograms FindOrExit(Shell& shell, const CompilerOptions& options, CompileKind kind) {
  const CompilerPrograms programs = FindChosenCompiler(MachineSearch(shell), ParseCompilerName(options.compiler));
  const CompilerId id = programs.id;
  const std::string name = CompilerDisplayName(id);
  if (!programs.Found()) {
    PrintError("kovanc: the resource compiler " + name + " was not found; install it in " + WhereCompilersAreFound(id) +
               "\n");
    Exit(kExitNoCompiler);
  }
  if (kind != CompileKind::Res && !programs.CanMakeObj()) {
    PrintError("kovanc: " + name + " cannot make .OBJ files here: its converter (" +
               (id == CompilerId::Rc ? "cvtres.exe" : "llvm-cvtres") + ") was not found\n");
    Exit(kExitNoCompiler);
  }
  const Machine machine = ParseMachineName(options.machine).value_or(Machine::X86);
  if (kind != CompileKind::Res && !MakesObjFor(id, machine)) {
    PrintError("kovanc: " + name + " cannot make .OBJ files for " + MachineName(machine) + "\n");
    Exit(kExitNoCompiler);
  }
  return programs;
}

// Ends kovanc as the signal that stopped the compiler would have.
[[noreturn]] void EndBySignal(int signalNumber) {
  fflush(stdout);
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
  std::_Exit(128 + signalNumber);
}

CoffMachine ObjectMachine(const CompilerOptions& options) {
  switch (ParseMachineName(options.machine).value_or(Machine::X86)) {
    case Machine::X86: return CoffMachine::X86;
    case Machine::X64: return CoffMachine::X64;
    case Machine::Arm64: return CoffMachine::Arm64;
  }
  return CoffMachine::X86;
}

// Tells which compiler made the file, on standard error so that standard
// output stays the file's name alone.
void ReportMade(const std::string& outputFile, CompilerId id) {
  Print(outputFile + "\n");
  PrintError("kovanc: made by " + std::string(CompilerDisplayName(id)) + "\n");
}

// Prints every problem as "LIST:N: error: ..." (N is the entry's line in
// the list file, so editors can jump there) and ends with exit code 1.
[[noreturn]] void ReportEntryProblems(const std::string& file, const std::vector<EntryProblem>& problems) {
  std::string out;
  for (const EntryProblem& p : problems) out += file + ":" + std::to_string(p.entry + 1) + ": error: " + p.text + "\n";
  PrintError(out);
  Exit(1);
}

void CompileBuiltin(const ResourcePool& pool, const std::string& file, const CompilerOptions& options, CompileKind kind,
                    const std::string& outputFile) {
  try {
    CompilePoolBuiltin(pool, kind, outputFile, {ObjectMachine(options), ReproducibleTimestamp(), nullptr});
  } catch (const PoolCompileError& e) {
    ReportEntryProblems(file, e.problems());
  } catch (const FormatError& e) {
    PrintError("kovanc: " + file + ": " + e.what() + "\n");
    Exit(1);
  } catch (const IoError& e) {
    PrintError("kovanc: " + outputFile + ": " + e.what() + "\n");
    Exit(kExitCompilerFailed);
  }
}

// `pool` and `listFile` are given when the input is the pool's script, so that
// a failure can name the entry the compiler complains about.
void RunCompiler(Shell& shell, const CompilerPrograms& programs, const CompilerOptions& options, CompileKind kind,
                 const std::string& outputFile, const std::string& input, const std::string& intermediateRes,
                 const ResourcePool* pool = nullptr, const std::string& listFile = {}) {
  const Machine machine = ParseMachineName(options.machine).value_or(Machine::X86);
  const std::chrono::seconds timeout(options.timeoutSeconds);
  // The compiler writes beside the output under a fresh name; only a
  // successful run puts that file in place, so a build system never takes a
  // failed compile's leftovers for an up-to-date output.
  std::optional<PendingOutput> pending;
  try {
    pending.emplace(outputFile);
  } catch (const IoError& e) {
    PrintError("kovanc: cannot write " + outputFile + ": " + e.what() + "\n");
    Exit(1);
  }
  const std::string notWritten = "; " + outputFile + " was not written\n";
  for (const CompileStep& step : CompilePlan(programs, machine, kind, pending->path(), input, intermediateRes)) {
    const std::string name = FileNameOf(step.program);
    ProcessRun run;
    try {
      run = shell.RunProgram({step.program, step.arguments, step.parameters, timeout, {}});
    } catch (const Error& e) {
      PrintError("kovanc: " + step.program + ": " + e.what() + notWritten);
      Exit(kExitCompilerFailed);
    }
    if (run.signal != 0) {
      pending->Discard();
      EndBySignal(run.signal);
    }
    switch (run.outcome) {
      case ProcessRun::Outcome::NotStarted:
        PrintError("kovanc: " + step.program + " could not be started: " + SystemErrorText(run.error) + "\n");
        Exit(kExitNoCompiler);
      case ProcessRun::Outcome::TimedOut:
      case ProcessRun::Outcome::Stopped:
      case ProcessRun::Outcome::Terminating:
        PrintError("kovanc: " + name + " did not finish within " + std::to_string(options.timeoutSeconds) +
                   " seconds and was ended" + notWritten);
        Exit(kExitTimedOut);
      case ProcessRun::Outcome::Exited: break;
    }
    if (run.exitCode != 0) {
      std::string lines;
      if (pool) {
        // A line about an entry is written as "LIST:N: error: ...", which
        // editors know how to jump to.
        const bool utf8 = ReadsUtf8Script(programs.id);
        for (const CompilerLine& line : AttributeCompilerOutput(*pool, LastLines(run.output, kReportedLines), utf8)) {
          if (!line.entry) {
            lines += line.text + "\n";
            continue;
          }
          const size_t i = *line.entry;
          lines += listFile + ":" + std::to_string(i + 1) + ": error: " + line.text + " (" +
                   pool->Field(i, kKeyName) + ", " + pool->Field(i, kFilePath) + ")\n";
        }
      } else {
        lines = LastLines(run.output, kReportedLines);
        for (char& c : lines) {
          if (c == '\r') c = '\n';
        }
        if (!lines.empty()) lines += "\n";
      }
      PrintError(lines);
      PrintError("kovanc: " + name + " failed with exit code " + std::to_string(run.exitCode) + notWritten);
      Exit(kExitCompilerFailed);
    }
  }
  try {
    pending->Commit();
  } catch (const IoError& e) {
    PrintError("kovanc: cannot put the compiled file in place of " + outputFile + ": " + e.what() + "\n");
    Exit(1);
  }
}

void CheckPool(const std::string& file, bool files) {
  const ResourcePool pool = ReadPoolOrExit(file);
  CheckKeys(pool, file);
  if (!files) return;
  const std::vector<EntryProblem> problems = CheckPoolResources(pool);
  if (!problems.empty()) ReportEntryProblems(file, problems);
}

void WriteScript(const std::string& file, const std::string& out) {
  const ResourcePool pool = ReadPoolOrExit(file);
  CheckKeys(pool, file);
  CheckScriptable(pool, file);
  WriteResourceScript(pool, out.empty() ? FolderOf(file) + kScriptFileName : out);
}

// The header's text; a pool it cannot be made for ends kovanc with its
// problems as LIST:N: lines.
std::string HeaderTextOrExit(const ResourcePool& pool, const std::string& file, const std::string& headerFile) {
  try {
    return ResourceHeaderText(pool, headerFile);
  } catch (const PoolCompileError& e) {
    ReportEntryProblems(file, e.problems());
  }
}

void WriteOrExit(const std::string& path, const std::function<void()>& write) {
  try {
    write();
  } catch (const Error& e) {
    PrintError("kovanc: cannot write " + path + ": " + e.what() + "\n");
    Exit(1);
  }
}

// What compile writes besides its output.
struct BuildOptions {
  std::string depfile;
  std::string header;
  bool force = false;
};

// The target is the output as the build names it, which is how the build
// finds its edge; the inputs are full paths, since the build may read the file
// from another folder than the one kovanc ran in.
std::string DependencyTextOrExit(const ResourcePool& pool, const std::string& file, const std::string& outputFile) {
  std::vector<std::string> inputs{FullPathOf(file)};
  std::unordered_set<std::string> seen{inputs.front()};
  for (const PoolEntry& entry : pool.Entries()) {
    std::string path = FullPathOf(entry.Field(kFilePath));
    if (seen.insert(path).second) inputs.push_back(std::move(path));
  }
  try {
    return DependencyFileText(outputFile, inputs);
  } catch (const DependencyPathError& e) {
    PrintError("kovanc: " + file + ": " + e.what() + "\n");
    Exit(1);
  }
}

// The compiler as the up-to-date record tells it apart: its name and its
// programs, so that another copy or version of them compiles again.
std::string CompilerIdentity(const CompilerPrograms& programs) {
  std::string text = CompilerName(programs.id);
  for (const std::string& program : {programs.compiler, programs.converter}) {
    if (program.empty()) continue;
    text += "|" + program;
    if (const std::optional<FileStamp> stamp = FileStampOf(program)) {
      text += "|" + std::to_string(stamp->size) + "|" + std::to_string(stamp->writeTime);
    }
  }
  return text;
}

void CompilePoolFile(CompileKind kind, const CompilerOptions& options, const std::string& outputBase,
                     const std::string& file, const BuildOptions& build = {}) {
  const ResourcePool pool = ReadPoolOrExit(file);
  if (pool.Count() == 0) {
    PrintError("kovanc: the pool in " + file + " is empty; there is nothing to compile\n");
    Exit(1);
  }
  CheckKeys(pool, file);
  CheckScriptable(pool, file);
  const std::unique_ptr<Shell> shell = CreateSystemShell();
  const CompilerPrograms programs = FindOrExit(*shell, options, kind);
  const CompilerId id = programs.id;
  const std::string outputFile = CompileOutputFile(outputBase, kind);
  const std::string dependencies = build.depfile.empty() ? std::string() : DependencyTextOrExit(pool, file, outputFile);

  // Stamps are read before the compile, so a file changed while it runs
  // makes the next run compile again.
  BuildInputs inputs;
  inputs.tool = "kovanc " KOVAN_VERSION_TEXT;
  inputs.compiler = CompilerIdentity(programs);
  inputs.machine = MachineName(ParseMachineName(options.machine).value_or(Machine::X86));
  inputs.kind = CompileExtension(kind);
  inputs.timestamp = kind == CompileKind::Res ? 0 : ReproducibleTimestamp();
  inputs.listFile = file;
  inputs.headerFile = build.header;
  inputs.folder = FullPathOf(".");
  const std::string record = DescribeBuildInputs(inputs, pool);
  // A build system that reads the dependency file may remove it once read,
  // so it is written on every run, the skipped ones too.
  auto writeDependencies = [&] {
    if (!build.depfile.empty()) WriteOrExit(build.depfile, [&] { ReplaceFileAtomically(build.depfile, dependencies); });
  };
  if (!build.force && BuildIsUpToDate(outputFile, build.header, record)) {
    writeDependencies();
    Print(outputFile + "\n");
    PrintError("kovanc: " + outputFile + " is up to date\n");
    return;
  }

  const std::string header = build.header.empty() ? std::string() : HeaderTextOrExit(pool, file, build.header);
  if (id == CompilerId::Builtin) {
    CompileBuiltin(pool, file, options, kind, outputFile);
  } else {
    const std::string folder = FolderOf(file);
    const std::string script = folder + kScriptFileName;
    WriteResourceScript(pool, script, ReadsUtf8Script(id));
    RunCompiler(*shell, programs, options, kind, outputFile, script, folder + "liste.res", &pool, file);
  }
  if (!build.header.empty()) WriteOrExit(build.header, [&] { WriteResourceHeader(build.header, header); });
  WriteOrExit(BuildRecordFile(outputFile), [&] { WriteBuildRecord(outputFile, build.header, record); });
  writeDependencies();
  ReportMade(outputFile, id);
}

void WriteHeader(const std::string& file, const std::string& headerFile) {
  const ResourcePool pool = ReadPoolOrExit(file);
  CheckKeys(pool, file);
  const std::string text = HeaderTextOrExit(pool, file, headerFile);
  WriteOrExit(headerFile, [&] { WriteResourceHeader(headerFile, text); });
  Print(headerFile + "\n");
}

void ConvertRes(const CompilerOptions& options, const std::string& input, const std::string& outputBase) {
  // Checked here, since a compiler tells of a missing input in words of its own, or not at all.
  if (!FileExists(input)) {
    PrintError("kovanc: " + input + ": " + IoErrorText(io_code::kFileNotFound) + "\n");
    Exit(1);
  }
  const std::unique_ptr<Shell> shell = CreateSystemShell();
  const CompilerPrograms programs = FindOrExit(*shell, options, CompileKind::ResObj);
  if (programs.id == CompilerId::Builtin) {
    const std::string outputFile = CompileOutputFile(outputBase, CompileKind::ResObj);
    try {
      ConvertResToObject(input, outputFile, {ObjectMachine(options), ReproducibleTimestamp(), nullptr});
    } catch (const FormatError& e) {
      PrintError("kovanc: " + input + ": " + e.what() + "\n");
      Exit(1);
    } catch (const IoError& e) {
      PrintError(std::string("kovanc: ") + e.what() + "\n");
      Exit(kExitCompilerFailed);
    }
    return ReportMade(outputFile, CompilerId::Builtin);
  }
  const std::string outputFile = CompileOutputFile(outputBase, CompileKind::ResObj);
  RunCompiler(*shell, programs, options, CompileKind::ResObj, outputFile, input, {});
  ReportMade(outputFile, programs.id);
}

void ListCompilers(bool json) {
  const std::unique_ptr<Shell> shell = CreateSystemShell();
  const std::vector<CompilerPrograms> all = AvailableCompilers(MachineSearch(*shell));
  if (json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const CompilerPrograms& c : all) {
      nlohmann::ordered_json machines = nlohmann::ordered_json::array();
      for (Machine machine : kAllMachines) {
        if (MakesObjFor(c.id, machine)) machines.push_back(MachineName(machine));
      }
      list.push_back({{"name", CompilerName(c.id)},
                      {"display", CompilerDisplayName(c.id)},
                      {"found", c.Found()},
                      {"obj", c.CanMakeObj()},
                      {"compiler", c.compiler},
                      {"converter", c.converter},
                      {"machines", machines}});
    }
    Print(list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n");
    return;
  }
  std::string out;
  for (const CompilerPrograms& c : all) {
    out += std::string(CompilerName(c.id)) + ": ";
    if (c.id == CompilerId::Builtin) {
      out += "built in\n";
      continue;
    }
    if (!c.Found()) {
      out += "not found\n";
      continue;
    }
    out += c.compiler + "\n";
    if (c.converter != c.compiler) out += "  .obj: " + (c.converter.empty() ? "not found" : c.converter) + "\n";
  }
  Print(out);
}

}  // namespace

void InstallCompileCommands(CLI::App& app) {
  CLI::App* pool = app.get_subcommand("pool");

  struct CheckArgs {
    std::string file;
    bool files = false;
  };
  auto checkArgs = std::make_shared<CheckArgs>();
  CLI::App* check = pool->add_subcommand(
      "check", "Check that every entry has a key name of its own; list the entries at fault (exit 1)");
  AddCodePageOption(check);
  check->add_flag("--files", checkArgs->files,
                  "Also read every entry's file as the built-in compiler would and report what it would refuse, as "
                  "FILE:LINE: error: ...");
  check->add_option("FILE", checkArgs->file, "Pool list file")->required();
  check->callback([checkArgs] { CheckPool(checkArgs->file, checkArgs->files); });

  struct ScriptArgs {
    std::string file;
    std::string out;
  };
  auto script = std::make_shared<ScriptArgs>();
  CLI::App* scriptCmd = app.add_subcommand("script", "Check a pool list file and write its resource script");
  AddCodePageOption(scriptCmd);
  scriptCmd->add_option("FILE", script->file, "Pool list file")->required();
  scriptCmd->add_option("-o,--output", script->out, "Script file (default: liste.rc beside FILE)");
  scriptCmd->callback([script] { WriteScript(script->file, script->out); });

  struct CompileArgs {
    bool res = false;
    bool obj = false;
    CompilerOptions options;
    BuildOptions build;
    std::string outputBase;
    std::string file;
  };
  auto compile = std::make_shared<CompileArgs>();
  CLI::App* compileCmd = app.add_subcommand(
      "compile",
      "Check a pool list file, write liste.rc beside it and have the resource compiler compile it (exit 2: no "
      "compiler, 3: the compiler failed, 4: it ran out of time)");
  CLI::Option* res = compileCmd->add_flag("--res", compile->res, "Make a .RES file");
  CLI::Option* obj = compileCmd->add_flag("--obj", compile->obj, "Make an .OBJ file");
  res->excludes(obj);
  AddCodePageOption(compileCmd);
  AddCompilerOptions(compileCmd, compile->options);
  compileCmd->add_option("--depfile", compile->build.depfile,
                         "Also write a dependency file (Make syntax) naming the list file and every pool file");
  compileCmd->add_option("--header", compile->build.header,
                         "Also write the C header of the pool's resources (as kovanc header does)");
  compileCmd->add_flag("--force", compile->build.force,
                       "Compile even when nothing has changed since the last compile of this output");
  compileCmd->add_option("OUTBASE", compile->outputBase, "Output file; .res or .obj is added unless it ends so")
      ->required();
  compileCmd->add_option("FILE", compile->file, "Pool list file")->required();
  compileCmd->callback([compile] {
    if (compile->res == compile->obj) {
      PrintError("kovanc: say --res or --obj\n");
      Exit(1);
    }
    CompilePoolFile(compile->res ? CompileKind::Res : CompileKind::Obj, compile->options, compile->outputBase,
                    compile->file, compile->build);
  });

  struct Res2ObjArgs {
    CompilerOptions options;
    std::string input;
    std::string outputBase;
  };
  auto res2obj = std::make_shared<Res2ObjArgs>();
  CLI::App* res2objCmd =
      app.add_subcommand("res2obj",
                         "Have the resource compiler turn a .RES file into an .OBJ file (exit 2: no compiler, 3: the "
                         "compiler failed, 4: it ran out of time)");
  AddCompilerOptions(res2objCmd, res2obj->options);
  res2objCmd->add_option("INPUT", res2obj->input, ".RES file")->required();
  res2objCmd->add_option("OUTBASE", res2obj->outputBase, "Output file; .obj is added unless it ends so")->required();
  res2objCmd->callback([res2obj] { ConvertRes(res2obj->options, res2obj->input, res2obj->outputBase); });

  auto json = std::make_shared<bool>(false);
  CLI::App* compilersCmd =
      app.add_subcommand("compilers", "List the resource compilers kovanc knows and the programs found for each");
  compilersCmd->add_flag("--json", *json, "Print the list as JSON");
  compilersCmd->callback([json] { ListCompilers(*json); });
}

void InstallHeaderCommand(CLI::App& app) {
  struct HeaderArgs {
    std::string file;
    std::string out;
  };
  auto args = std::make_shared<HeaderArgs>();
  CLI::App* command = app.add_subcommand(
      "header",
      "Write a C header with each entry's name, type and size as FindResourceW and SizeofResource take and give them");
  AddCodePageOption(command);
  command->add_option("FILE", args->file, "Pool list file")->required();
  command->add_option("-o,--out", args->out, "Header file")->required();
  command->callback([args] { WriteHeader(args->file, args->out); });
}

}  // namespace kovan::cli
