// The main window's compile commands: ".RES dosyası oluştur", ".OBJ dosyası
// oluştur" and "RES -> OBJ". They check the pool's key names, write liste.rc,
// ask for the output file, run the chosen resource compiler and report how it
// went, with the compiler's own last words when it failed.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/prompter.hpp"
#include "platform/shell.hpp"
#include "pool/compiler_backend.hpp"
#include "pool/compiler_command.hpp"
#include "pool/compiler_discovery.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

// The main window's side of a running compile.
class CompileView {
 public:
  virtual ~CompileView() = default;
  // Enables or disables the three compile menu items.
  virtual void SetCompileCommandsEnabled(bool enabled) = 0;
};

class CompileController {
 public:
  // `pool` is the main window's pool; `dataFolder` (with its trailing
  // separator) receives liste.rc; `openPool` runs the "Kaynak Havuzu" command
  // when the user asks for it at the empty-pool question.
  CompileController(const ResourcePool& pool, std::string dataFolder, Prompter& prompter, Shell& shell, CompileView& view,
                  std::function<void()> openPool);

  void CompileToRes();
  void CompileToObj();
  void ConvertResToObj();
  // Ends the compiler of the running command; nothing when none runs.
  void StopCompile();

  // The compiler and machine the next command uses (GoRC and x86 until set).
  // With no compiler chosen GoRC is used, or Kovan's own when GoRC is missing.
  void Choose(std::optional<CompilerId> compiler, Machine machine);
  // Where the compilers are looked for. Until it is set only the system
  // directory is searched, and only GoRC is found there.
  void SetCompilerSearch(std::function<CompilerSearch()> search) { search_ = std::move(search); }
  // How long a compiler may run before it is ended.
  void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

  // Checks the pool, writes liste.rc and goes on with the output step; mode 1
  // makes a .RES file, mode 2 an .OBJ file. Errors writing the script are
  // thrown (FileCreateError) for the general error report.
  void CompilePool(int mode);
  // Runs the compiler for the name chosen in the save dialog, waits and reports.
  void RunCompiler(const std::string& outputBase, CompileKind kind);
  // Looks for the chosen compiler; true when it was found.
  bool CompilerPresent();

  // True from a compile command's start to the answer of its last message.
  bool Running() const { return running_; }
  const std::string& ScriptPath() const { return scriptPath_; }
  const std::string& OutputName() const { return outputName_; }
  const std::string& OutputFolder() const { return outputFolder_; }

 private:
  class RunGuard;
  void PoolCommand(int mode);
  // Shows that the chosen compiler is missing, or cannot make an .OBJ file;
  // false then.
  bool CheckCompiler(CompileKind kind);
  void ReportResult(const ProcessRun& run, CompileKind kind);
  // Kovan's own compiler, on a worker thread while the windows stay live.
  void RunBuiltin(CompileKind kind, const std::string& outputFile, const std::string& input);
  void ReportSuccess(CompileKind kind);

  const ResourcePool& pool_;
  std::string scriptPath_;
  Prompter& prompter_;
  Shell& shell_;
  CompileView& view_;
  std::function<void()> openPool_;
  bool running_ = false;
  std::atomic<bool> stopRequested_ = false;  // also read by the built-in compiler's thread
  std::optional<CompilerId> compiler_ = CompilerId::GoRC;
  Machine machine_ = Machine::X86;
  std::function<CompilerSearch()> search_;
  std::chrono::milliseconds timeout_ = std::chrono::minutes(5);
  CompilerPrograms programs_;  // what the last presence test found
  // The save dialog for the output file and the open dialog for the input
  // .RES file; they keep their settings from one command to the next.
  FileDialogRequest saveDialog_;
  FileDialogRequest openDialog_{".RES", "RES|*.res", {}};
  std::string outputName_;
  std::string outputFolder_;
};

}  // namespace kovan
