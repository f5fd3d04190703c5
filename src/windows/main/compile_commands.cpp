#include "windows/main/compile_commands.hpp"

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "lang/lang_manager.hpp"
#include "pool/key_check.hpp"
#include "pool/resource_script.hpp"

namespace kovan {

namespace {

constexpr char kCompilerName[] = "GoRC";
constexpr char kCompilerFile[] = "Gorc.exe";

}  // namespace

// Marks a command as running and keeps the compile menu items disabled until
// it ends, however it ends, so two runs never share liste.rc.
class CompileCommands::RunGuard {
 public:
  explicit RunGuard(CompileCommands& owner) : owner_(owner) {
    owner_.running_ = true;
    owner_.view_.SetCompileCommandsEnabled(false);
  }
  ~RunGuard() {
    owner_.running_ = false;
    owner_.view_.SetCompileCommandsEnabled(true);
  }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  CompileCommands& owner_;
};

CompileCommands::CompileCommands(const ResourcePool& pool, std::string dataFolder, Prompter& prompter, Shell& shell,
                                 CompileView& view, std::function<void()> openPool)
    : pool_(pool),
      scriptPath_(std::move(dataFolder) + kScriptFileName),
      prompter_(prompter),
      shell_(shell),
      view_(view),
      openPool_(std::move(openPool)) {}

bool CompileCommands::CompilerPresent() {
  return FileExists(shell_.SystemDirectory() + kPathSeparator + kCompilerFile);
}

void CompileCommands::CompileToRes() { PoolCommand(1); }

void CompileCommands::CompileToObj() { PoolCommand(2); }

void CompileCommands::PoolCommand(int mode) {
  if (running_) return;
  saveDialog_.filter = mode == 1 ? "RES|res" : "OBJ|obj";
  if (pool_.Count() == 0) {
    MessageRequest question{Text(msg::havuzbos1), Text(msg::havuzbos), MessageButtons::YesNo, MessageIcon::Information};
    if (prompter_.Message(question) == MessageAnswer::Yes && openPool_) openPool_();
    return;
  }
  RunGuard guard(*this);
  CompilePool(mode);
}

void CompileCommands::ConvertResToObj() {
  if (running_) return;
  RunGuard guard(*this);
  saveDialog_.filter = "OBJ|obj";
  saveDialog_.title = Text(msg::objkaydet);
  if (!CompilerPresent()) {
    prompter_.ShowInfo(Text(msg::gorcyok));
    return;
  }
  const std::optional<std::string> input = prompter_.OpenDialog(openDialog_);
  if (!input) return;
  openDialog_.fileName = *input;
  const std::optional<std::string> output = prompter_.SaveDialog(saveDialog_);
  if (!output) return;
  saveDialog_.fileName = *output;
  RunCompiler(*output, CompileKind::ResObj);
}

void CompileCommands::CompilePool(int mode) {
  const std::string missing = KeyProblemList(pool_, 1);
  const std::string shared = KeyProblemList(pool_, 2);
  if (!missing.empty()) {
    prompter_.Message({Text(msg::tanimeksik1), Text(msg::tanimeksik) + "\r\r" + missing, MessageButtons::Ok,
                       MessageIcon::Information});
  }
  if (!shared.empty()) {
    prompter_.Message(
        {Text(msg::tanimayni1), Text(msg::tanimayni) + "\r\r" + shared, MessageButtons::Ok, MessageIcon::Information});
  }
  if (!missing.empty() || !shared.empty()) return;

  if (!CompilerPresent()) {
    prompter_.ShowInfo(Text(msg::gorcyok));
    return;
  }
  WriteResourceScript(pool_, scriptPath_);
  if (!FileExists(scriptPath_)) return;

  saveDialog_.title = Text(mode == 1 ? msg::reskaydet : msg::objkaydet);
  const std::optional<std::string> output = prompter_.SaveDialog(saveDialog_);
  if (!output) return;
  saveDialog_.fileName = *output;
  RunCompiler(*output, mode == 1 ? CompileKind::Res : CompileKind::Obj);
}

void CompileCommands::RunCompiler(const std::string& outputBase, CompileKind kind) {
  const std::string outputFile = CompileOutputFile(outputBase, kind);
  outputName_ = FileNameOf(outputFile);
  outputFolder_ = FolderOf(outputFile);
  saveDialog_.fileName.clear();

  std::string input = scriptPath_;
  if (kind == CompileKind::ResObj) {
    input = openDialog_.fileName;
    openDialog_.fileName.clear();
  }
  const ProcessRun run = shell_.RunAndWait(kCompilerName, CompilerParameters(kind, outputFile, input), ShowState::Hide);
  ReportResult(run, kind);
}

void CompileCommands::ReportResult(const ProcessRun& run, CompileKind kind) {
  switch (run.outcome) {
    case ProcessRun::Outcome::NotStarted: prompter_.ShowInfo(Text(msg::hata)); return;
    case ProcessRun::Outcome::Terminating: return;  // the program is closing: nobody is left to read a report
    case ProcessRun::Outcome::Exited: break;
  }
  const std::string kindWord = AsciiUpper(CompileExtension(kind));
  const std::string fileLines =
      Text(msg::basari2) + ": " + outputName_ + "\r" + Text(msg::basari3) + ": " + outputFolder_;
  if (run.exitCode != 0) {
    prompter_.Message({Text(msg::derlemehata1),
                       kindWord + " " + Text(msg::derlemehata) + " " + std::to_string(run.exitCode) + "\r" + fileLines,
                       MessageButtons::Ok, MessageIcon::Error});
    return;
  }
  const MessageRequest success{Text(msg::basarili),
                               kindWord + " " + Text(msg::basari1) + "\r" + fileLines + "\r\r" + Text(msg::basari4),
                               MessageButtons::YesNo, MessageIcon::Question};
  if (prompter_.Message(success) == MessageAnswer::Yes) {
    shell_.Execute(ShellVerb::Explore, outputFolder_, ShowState::ShowNormal, false);
  }
}

}  // namespace kovan
