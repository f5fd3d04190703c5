#include "windows/main/compile_controller.hpp"

#include <algorithm>
#include <exception>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "formats/format_error.hpp"
#include "pool/builtin_compiler.hpp"
#include "pool/compiler_messages.hpp"
#include "lang/lang_manager.hpp"
#include "platform/command_line.hpp"
#include "pool/key_check.hpp"
#include "pool/resource_script.hpp"

namespace kovan {

namespace {

// How many of the compiler's last lines a failure report shows.
constexpr size_t kReportedLines = 10;

}  // namespace

// Marks a command as running and keeps the compile menu items disabled until
// it ends, however it ends, so two runs never share liste.rc.
class CompileController::RunGuard {
 public:
  explicit RunGuard(CompileController& owner) : owner_(owner) {
    owner_.running_ = true;
    owner_.stopRequested_ = false;
    owner_.view_.SetCompileCommandsEnabled(false);
  }
  ~RunGuard() {
    owner_.running_ = false;
    owner_.view_.SetCompileCommandsEnabled(true);
  }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  CompileController& owner_;
};

CompileController::CompileController(const ResourcePool& pool, std::string dataFolder, Prompter& prompter, Shell& shell,
                                 CompileView& view, std::function<void()> openPool)
    : pool_(pool),
      scriptPath_(std::move(dataFolder) + kScriptFileName),
      prompter_(prompter),
      shell_(shell),
      view_(view),
      openPool_(std::move(openPool)) {}

void CompileController::Choose(std::optional<CompilerId> compiler, Machine machine) {
  compiler_ = compiler;
  machine_ = machine;
}

void CompileController::StopCompile() {
  if (running_) stopRequested_ = true;
}

bool CompileController::CompilerPresent() {
  CompilerSearch search;
  if (search_) {
    search = search_();
  } else {
    search.systemDirectory = shell_.SystemDirectory();
  }
  programs_ = FindChosenCompiler(search, compiler_);
  return programs_.Found();
}

bool CompileController::CheckCompiler(CompileKind kind) {
  if (!CompilerPresent()) {
    // GoRC keeps the message it has always had.
    prompter_.ShowInfo(programs_.id == CompilerId::GoRC
                           ? Text(msg::gorcyok)
                           : Text(msg::derleyiciyok) + " " + CompilerDisplayName(programs_.id));
    return false;
  }
  if (kind != CompileKind::Res && !programs_.CanMakeObj()) {
    prompter_.ShowInfo(Text(msg::objyok) + " " + CompilerDisplayName(programs_.id));
    return false;
  }
  if (kind != CompileKind::Res && !MakesObjFor(programs_.id, machine_)) {
    prompter_.ShowInfo(Text(msg::makineyok) + " " + CompilerDisplayName(programs_.id) + " (" + MachineName(machine_) +
                       ")");
    return false;
  }
  return true;
}

void CompileController::CompileToRes() { PoolCommand(1); }

void CompileController::CompileToObj() { PoolCommand(2); }

void CompileController::PoolCommand(int mode) {
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

void CompileController::ConvertResToObj() {
  if (running_) return;
  RunGuard guard(*this);
  saveDialog_.filter = "OBJ|obj";
  saveDialog_.title = Text(msg::objkaydet);
  if (!CheckCompiler(CompileKind::ResObj)) return;
  const std::optional<std::string> input = prompter_.OpenDialog(openDialog_);
  if (!input) return;
  openDialog_.fileName = *input;
  const std::optional<std::string> output = prompter_.SaveDialog(saveDialog_);
  if (!output) return;
  saveDialog_.fileName = *output;
  RunCompiler(*output, CompileKind::ResObj);
}

void CompileController::CompilePool(int mode) {
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

  if (!CheckCompiler(mode == 1 ? CompileKind::Res : CompileKind::Obj)) return;
  // Kovan's own compiler reads the pool, not a script.
  if (programs_.id != CompilerId::Builtin) {
    WriteResourceScript(pool_, scriptPath_, ReadsUtf8Script(programs_.id));
    if (!FileExists(scriptPath_)) return;
  }

  saveDialog_.title = Text(mode == 1 ? msg::reskaydet : msg::objkaydet);
  const std::optional<std::string> output = prompter_.SaveDialog(saveDialog_);
  if (!output) return;
  saveDialog_.fileName = *output;
  RunCompiler(*output, mode == 1 ? CompileKind::Res : CompileKind::Obj);
}

void CompileController::RunCompiler(const std::string& outputBase, CompileKind kind) {
  const std::string outputFile = CompileOutputFile(outputBase, kind);
  outputName_ = FileNameOf(outputFile);
  outputFolder_ = FolderOf(outputFile);
  saveDialog_.fileName.clear();

  std::string input = scriptPath_;
  if (kind == CompileKind::ResObj) {
    input = openDialog_.fileName;
    openDialog_.fileName.clear();
  }
  if (programs_.id == CompilerId::Builtin) return RunBuiltin(kind, outputFile, input);
  // An .OBJ file made in two steps passes through liste.res beside the script.
  const std::string intermediate = scriptPath_.substr(0, scriptPath_.size() - 2) + "res";
  // The compiler writes under a fresh name beside the output, which takes the
  // output's place only when every step succeeded: a failed or stopped
  // compile leaves no half-made file and keeps an earlier one whole.
  PendingOutput pending(outputFile);
  ProcessRun run;
  for (const CompileStep& step : CompilePlan(programs_, machine_, kind, pending.path(), input, intermediate)) {
    run =
        shell_.RunProgram({step.program, step.arguments, step.parameters, timeout_, [this] { return stopRequested_.load(); }});
    if (run.outcome != ProcessRun::Outcome::Exited || run.exitCode != 0) break;
  }
  if (run.outcome == ProcessRun::Outcome::Exited && run.exitCode == 0) pending.Commit();
  ReportResult(run, kind);
}

void CompileController::ReportResult(const ProcessRun& run, CompileKind kind) {
  switch (run.outcome) {
    case ProcessRun::Outcome::NotStarted: prompter_.ShowInfo(Text(msg::hata)); return;
    case ProcessRun::Outcome::Terminating: return;  // the program is closing: nobody is left to read a report
    case ProcessRun::Outcome::Stopped: prompter_.ShowInfo(Text(msg::derlemedurdu)); return;
    case ProcessRun::Outcome::TimedOut: prompter_.ShowInfo(Text(msg::derlemesuresi)); return;
    case ProcessRun::Outcome::Exited: break;
  }
  const std::string kindWord = AsciiUpper(CompileExtension(kind));
  const std::string fileLines =
      Text(msg::basari2) + ": " + outputName_ + "\r" + Text(msg::basari3) + ": " + outputFolder_;
  if (run.exitCode != 0) {
    const std::string failed = Text(programs_.id == CompilerId::GoRC ? msg::derlemehata : msg::derlemehata2);
    std::string lastLines = LastLines(run.output, kReportedLines);
    if (kind != CompileKind::ResObj) {
      // Beside the compiler's words, the entries they are about.
      std::vector<size_t> named;
      for (const CompilerLine& line : AttributeCompilerOutput(pool_, lastLines, ReadsUtf8Script(programs_.id))) {
        if (line.entry && std::find(named.begin(), named.end(), *line.entry) == named.end()) {
          named.push_back(*line.entry);
        }
      }
      for (size_t i : named) {
        lastLines += "\r" + Text(msg::derlemegirdisi) + ": " + pool_.Field(i, kKeyName) + ", " +
                     pool_.Field(i, kFilePath);
      }
    }
    prompter_.Message({Text(msg::derlemehata1),
                       kindWord + " " + failed + " " + std::to_string(run.exitCode) + "\r" +
                           (lastLines.empty() ? "" : lastLines + "\r\r") + fileLines,
                       MessageButtons::Ok, MessageIcon::Error});
    return;
  }
  ReportSuccess(kind);
}

void CompileController::ReportSuccess(CompileKind kind) {
  const std::string text = AsciiUpper(CompileExtension(kind)) + " " + Text(msg::basari1) + "\r" + Text(msg::basari2) +
                           ": " + outputName_ + "\r" + Text(msg::basari3) + ": " + outputFolder_ + "\r" +
                           Text(msg::derleyen) + ": " + CompilerDisplayName(programs_.id) + "\r\r" +
                           Text(msg::basari4);
  const MessageRequest success{Text(msg::basarili), text, MessageButtons::YesNo, MessageIcon::Question};
  if (prompter_.Message(success) == MessageAnswer::Yes) {
    shell_.Execute(ShellVerb::Explore, outputFolder_, ShowState::ShowNormal, false);
  }
}

void CompileController::RunBuiltin(CompileKind kind, const std::string& outputFile, const std::string& input) {
  // The worker reads its own copy: the pool may change while the windows stay live.
  const ResourcePool pool = pool_;
  CoffMachine machine = CoffMachine::X86;
  if (machine_ == Machine::X64) machine = CoffMachine::X64;
  if (machine_ == Machine::Arm64) machine = CoffMachine::Arm64;
  const BuiltinCompileOptions options{machine, ReproducibleTimestamp(), [this] { return stopRequested_.load(); }};
  std::exception_ptr failure;
  const bool live = shell_.RunWork(
      [&] {
        try {
          if (kind == CompileKind::ResObj) {
            ConvertResToObject(input, outputFile, options);
          } else {
            CompilePoolBuiltin(pool, kind, outputFile, options);
          }
        } catch (...) {
          failure = std::current_exception();
        }
      },
      [this] { stopRequested_ = true; });
  if (!live) return;  // the program is closing: nobody is left to read a report
  if (!failure) return ReportSuccess(kind);
  try {
    std::rethrow_exception(failure);
  } catch (const CompileStopped&) {
    prompter_.ShowInfo(Text(msg::derlemedurdu));
  } catch (const PoolCompileError& error) {
    std::string list;
    for (const EntryProblem& problem : error.problems()) list += problem.text + "\r";
    prompter_.Message({Text(msg::derlemehata1), Text(msg::girdireddi) + "\r\r" + list, MessageButtons::Ok,
                       MessageIcon::Error});
  } catch (const FormatError& error) {
    prompter_.Message({Text(msg::derlemehata1), input + ": " + error.what(), MessageButtons::Ok, MessageIcon::Error});
  }
}

}  // namespace kovan
