// The main window's compile commands: ".RES dosyası oluştur", ".OBJ dosyası
// oluştur" and "RES -> OBJ". They check the pool's key names, write liste.rc,
// ask for the output file, run GoRC and report how it went.
#pragma once

#include <functional>
#include <string>

#include "platform/prompter.hpp"
#include "platform/shell.hpp"
#include "pool/compiler_command.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

// The main window's side of a running compile.
class CompileView {
 public:
  virtual ~CompileView() = default;
  // Enables or disables the three compile menu items.
  virtual void SetCompileCommandsEnabled(bool enabled) = 0;
};

class CompileCommands {
 public:
  // `pool` is the main window's pool; `dataFolder` (with its trailing
  // separator) receives liste.rc; `openPool` runs the "Kaynak Havuzu" command
  // when the user asks for it at the empty-pool question.
  CompileCommands(const ResourcePool& pool, std::string dataFolder, Prompter& prompter, Shell& shell, CompileView& view,
                  std::function<void()> openPool);

  void CompileToRes();
  void CompileToObj();
  void ConvertResToObj();

  // Checks the pool, writes liste.rc and goes on with the output step; mode 1
  // makes a .RES file, mode 2 an .OBJ file. Errors writing the script are
  // thrown (FileCreateError) for the general error report.
  void CompilePool(int mode);
  // Runs GoRC for the name chosen in the save dialog, waits and reports.
  void RunCompiler(const std::string& outputBase, CompileKind kind);
  // Whether Gorc.exe lies in the system directory.
  bool CompilerPresent();

  // True from a compile command's start to the answer of its last message.
  bool Running() const { return running_; }
  const std::string& ScriptPath() const { return scriptPath_; }
  const std::string& OutputName() const { return outputName_; }
  const std::string& OutputFolder() const { return outputFolder_; }

 private:
  class RunGuard;
  void PoolCommand(int mode);
  void ReportResult(const ProcessRun& run, CompileKind kind);

  const ResourcePool& pool_;
  std::string scriptPath_;
  Prompter& prompter_;
  Shell& shell_;
  CompileView& view_;
  std::function<void()> openPool_;
  bool running_ = false;
  // The save dialog for the output file and the open dialog for the input
  // .RES file; they keep their settings from one command to the next.
  FileDialogRequest saveDialog_;
  FileDialogRequest openDialog_{".RES", "RES|*.res", {}};
  std::string outputName_;
  std::string outputFolder_;
};

}  // namespace kovan
