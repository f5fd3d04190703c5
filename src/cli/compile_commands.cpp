// kovanc pool check / script / compile / res2obj.
#include <memory>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "cli/commands.hpp"
#include "pool/compiler_command.hpp"
#include "platform/shell.hpp"
#include "pool/key_check.hpp"
#include "pool/pool_file.hpp"
#include "pool/resource_script.hpp"

namespace kovan::cli {

namespace {

// Exit codes beyond 0 (done) and 1 (bad input or key names at fault).
constexpr int kExitNoCompiler = 2;
constexpr int kExitCompilerFailed = 3;

void ReadPool(ResourcePool& pool, const std::string& file) {
  const PoolReadResult read = ReadPoolFile(pool, file);
  if (!read.opened) {
    PrintError("kovanc: cannot read " + file + ": " + SystemErrorText(read.openError) + "\n");
    Exit(1);
  }
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

// Prints the entries at fault and ends with exit code 1 when there are any.
void CheckKeys(const ResourcePool& pool) {
  const std::string missing = KeyProblemList(pool, 1);
  const std::string shared = KeyProblemList(pool, 2);
  if (missing.empty() && shared.empty()) return;
  PrintPrefixed(missing, "missing: ");
  PrintPrefixed(shared, "shared: ");
  Exit(1);
}

void RunGoRC(CompileKind kind, const std::string& outputFile, const std::string& input) {
  const std::unique_ptr<Shell> shell = CreateSystemShell();
  const ProcessRun run = shell->RunAndWait("GoRC", CompilerParameters(kind, outputFile, input), ShowState::Hide);
  if (run.outcome == ProcessRun::Outcome::NotStarted) {
    if (run.error == 2 || run.error == 3) {
      PrintError("kovanc: the resource compiler GoRC was not found; install it where programs are found (" +
#ifdef _WIN32
                 std::string("the system directory or a folder on PATH") +
#else
                 std::string("a folder on PATH") +
#endif
                 ")\n");
      Exit(kExitNoCompiler);
    }
    PrintError("kovanc: GoRC could not be started: " + SystemErrorText(run.error) + "\n");
    Exit(kExitNoCompiler);
  }
  if (run.outcome != ProcessRun::Outcome::Exited || run.exitCode != 0) {
    PrintError("kovanc: GoRC failed with exit code " + std::to_string(run.exitCode) + "; " + outputFile +
               " may be missing or incomplete\n");
    Exit(kExitCompilerFailed);
  }
  Print(outputFile + "\n");
}

void CheckPool(const std::string& file) {
  ResourcePool pool;
  ReadPool(pool, file);
  CheckKeys(pool);
}

void WriteScript(const std::string& file, const std::string& out) {
  ResourcePool pool;
  ReadPool(pool, file);
  CheckKeys(pool);
  WriteResourceScript(pool, out.empty() ? FolderOf(file) + kScriptFileName : out);
}

void CompilePoolFile(CompileKind kind, const std::string& outputBase, const std::string& file) {
  ResourcePool pool;
  ReadPool(pool, file);
  if (pool.Count() == 0) {
    PrintError("kovanc: the pool in " + file + " is empty; there is nothing to compile\n");
    Exit(1);
  }
  CheckKeys(pool);
  const std::string script = FolderOf(file) + kScriptFileName;
  WriteResourceScript(pool, script);
  RunGoRC(kind, CompileOutputFile(outputBase, kind), script);
}

void Install(CLI::App& app) {
  CLI::App* pool = app.get_subcommand("pool");

  auto checkFile = std::make_shared<std::string>();
  CLI::App* check = pool->add_subcommand(
      "check", "Check that every entry has a key name of its own; list the entries at fault (exit 1)");
  AddCodePageOption(check);
  check->add_option("FILE", *checkFile, "Pool list file")->required();
  check->callback([checkFile] { CheckPool(*checkFile); });

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
    std::string outputBase;
    std::string file;
  };
  auto compile = std::make_shared<CompileArgs>();
  CLI::App* compileCmd = app.add_subcommand(
      "compile",
      "Check a pool list file, write liste.rc beside it and have GoRC compile it (exit 2: no GoRC, 3: GoRC failed)");
  CLI::Option* res = compileCmd->add_flag("--res", compile->res, "Make a .RES file");
  CLI::Option* obj = compileCmd->add_flag("--obj", compile->obj, "Make an .OBJ file");
  res->excludes(obj);
  AddCodePageOption(compileCmd);
  compileCmd->add_option("OUTBASE", compile->outputBase, "Output file; .res or .obj is added unless it ends so")
      ->required();
  compileCmd->add_option("FILE", compile->file, "Pool list file")->required();
  compileCmd->callback([compile] {
    if (compile->res == compile->obj) {
      PrintError("kovanc: say --res or --obj\n");
      Exit(1);
    }
    CompilePoolFile(compile->res ? CompileKind::Res : CompileKind::Obj, compile->outputBase, compile->file);
  });

  struct Res2ObjArgs {
    std::string input;
    std::string outputBase;
  };
  auto res2obj = std::make_shared<Res2ObjArgs>();
  CLI::App* res2objCmd =
      app.add_subcommand("res2obj", "Have GoRC turn a .RES file into an .OBJ file (exit 2: no GoRC, 3: GoRC failed)");
  res2objCmd->add_option("INPUT", res2obj->input, ".RES file")->required();
  res2objCmd->add_option("OUTBASE", res2obj->outputBase, "Output file; .obj is added unless it ends so")->required();
  res2objCmd->callback([res2obj] {
    RunGoRC(CompileKind::ResObj, CompileOutputFile(res2obj->outputBase, CompileKind::ResObj), res2obj->input);
  });
}

// After the pool commands, whose "pool" subcommand "pool check" joins.
const CommandRegistration registration(20, Install);

}  // namespace

}  // namespace kovan::cli
