// The compile commands of the main window, with a scripted prompter and a
// recording shell in place of the user and GoRC.
#include "windows/main/compile_controller.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "formats/res_file.hpp"
#include "lang/lang_manager.hpp"
#include "pool/builtin_compiler.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_shell.hpp"
#include "pool/resource_script.hpp"
#include "support/pending_names.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

using Call = RecordingPrompter::Call;

TEST(CompilerParameters, QuoteOutputAndInputAfterTheKindsSwitches) {
  struct Case {
    CompileKind kind;
    const char* chosen;
    const char* input;
    const char* expected;
  };
  const Case cases[] = {
      {CompileKind::Res, "C:\\Out\\app", "C:\\Tools\\liste.rc",
       "/no/r/fo \"C:\\Out\\app.res\" \"C:\\Tools\\liste.rc\""},
      {CompileKind::Res, "C:\\Out\\app.res", "C:\\T\\liste.rc", "/no/r/fo \"C:\\Out\\app.res\" \"C:\\T\\liste.rc\""},
      {CompileKind::Res, "C:\\Out\\APP.Res", "s", "/no/r/fo \"C:\\Out\\APP.Res\" \"s\""},
      {CompileKind::Res, "C:\\Out\\app.obj", "s", "/no/r/fo \"C:\\Out\\app.obj.res\" \"s\""},
      {CompileKind::Obj, "C:\\My Out\\app", "C:\\Program Files\\K\\liste.rc",
       "/no/o/fo \"C:\\My Out\\app.obj\" \"C:\\Program Files\\K\\liste.rc\""},
      {CompileKind::Obj, "C:\\Out\\app.obj", "s", "/no/o/fo \"C:\\Out\\app.obj\" \"s\""},
      {CompileKind::Obj, "C:\\Out\\app.res", "s", "/no/o/fo \"C:\\Out\\app.res.obj\" \"s\""},
      {CompileKind::ResObj, "C:\\Out\\lib", "C:\\In\\a.res", "/no/fo \"C:\\Out\\lib.obj\" \"C:\\In\\a.res\""},
      {CompileKind::ResObj, "C:\\Out\\lib.OBJ", "x\"y", "/no/fo \"C:\\Out\\lib.OBJ\" \"x\"y\""},
      {CompileKind::Res, "C:\\Out\\.res", "s", "/no/r/fo \"C:\\Out\\.res\" \"s\""},
      {CompileKind::Res, "C:\\Out\\appres", "s", "/no/r/fo \"C:\\Out\\appres.res\" \"s\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    EXPECT_EQ(CompilerParameters(c.kind, CompileOutputFile(c.chosen, c.kind), c.input), c.expected);
  }
}

struct RecordingView : CompileView {
  void SetCompileCommandsEnabled(bool enabled) override { states.push_back(enabled); }
  std::vector<bool> states;
};

// A main window's worth of compile machinery: a data folder, a system
// directory that holds Gorc.exe, and an output folder.
class CompileFlow : public ::testing::Test {
 protected:
  CompileFlow() {
    std::string system = systemDir.str();
    system.pop_back();
    shell.systemDirectory = system;
    test::WriteBytes(systemDir / "Gorc.exe", "MZ");
    pool.Append("ICON1", "ico", "C:\\Icons\\a.ico");
    pool.Append("PIC", "bmp", "C:\\My Pictures\\b.bmp");
  }

  std::vector<Call::Kind> Kinds() const {
    std::vector<Call::Kind> kinds;
    for (const Call& c : prompter.calls) kinds.push_back(c.kind);
    return kinds;
  }
  std::string Script() const { return data / "liste.rc"; }

  // The compiler is given a fresh name beside the output ("~<16 hex
  // digits>-NAME"); these give the output's own name back for comparing.
  static std::string AsFinal(const std::string& text) { return test::WithoutPendingNames(text); }
  static std::vector<std::string> AsFinal(std::vector<std::string> arguments) {
    for (std::string& a : arguments) a = AsFinal(a);
    return arguments;
  }

  test::TempDir data;
  test::TempDir systemDir;
  test::TempDir out;
  ResourcePool pool;
  RecordingPrompter prompter;
  RecordingShell shell;
  RecordingView view;
  int poolWindowShown = 0;
  CompileController commands{pool, data.str(), prompter, shell, view, [this] { ++poolWindowShown; }};
};

TEST_F(CompileFlow, ResCompileRunsGoRCAndOffersTheOutputFolder) {
  prompter.dialogAnswers = {out / "app"};
  prompter.answers = {MessageAnswer::Yes};
  commands.CompileToRes();

  EXPECT_EQ(test::ReadBytes(Script()), ResourceScriptBytes(pool));
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Message}));
  EXPECT_EQ(prompter.calls[0].dialog.title, Text(msg::reskaydet));
  EXPECT_EQ(prompter.calls[0].dialog.filter, "RES|res");
  EXPECT_EQ(prompter.calls[0].dialog.fileName, "");

  ASSERT_EQ(shell.runs.size(), 1u);
  // Started by the full path that was checked, never by a name to search for.
  EXPECT_EQ(shell.runs[0].file, systemDir / "Gorc.exe");
  EXPECT_EQ(AsFinal(shell.runs[0].parameters), "/no/r/fo \"" + out / "app.res" + "\" \"" + Script() + "\"");
  EXPECT_EQ(AsFinal(shell.runs[0].arguments), (std::vector<std::string>{"/no/r/fo", out / "app.res", Script()}));

  const MessageRequest& done = prompter.calls[1].request;
  EXPECT_EQ(done.caption, Text(msg::basarili));
  EXPECT_EQ(done.text, "RES " + Text(msg::basari1) + "\r" + Text(msg::basari2) + ": app.res\r" + Text(msg::basari3) +
                           ": " + out.str() + "\r" + Text(msg::derleyen) + ": GoRC\r\r" + Text(msg::basari4));
  EXPECT_EQ(done.buttons, MessageButtons::YesNo);
  EXPECT_EQ(done.icon, MessageIcon::Question);
  ASSERT_EQ(shell.executions.size(), 1u);
  EXPECT_EQ(shell.executions[0].verb, ShellVerb::Explore);
  EXPECT_EQ(shell.executions[0].target, out.str());
  EXPECT_EQ(shell.executions[0].show, ShowState::ShowNormal);
  EXPECT_FALSE(shell.executions[0].owned);
  EXPECT_EQ(view.states, (std::vector<bool>{false, true}));

  // The next command finds the save dialog empty again and titled for .OBJ;
  // No to the closing question opens nothing.
  prompter.calls.clear();
  prompter.dialogAnswers = {out / "app.obj"};
  commands.CompileToObj();
  EXPECT_EQ(prompter.calls[0].dialog.fileName, "");
  EXPECT_EQ(prompter.calls[0].dialog.title, Text(msg::objkaydet));
  EXPECT_EQ(prompter.calls[0].dialog.filter, "OBJ|obj");
  EXPECT_EQ(AsFinal(shell.runs[1].parameters), "/no/o/fo \"" + out / "app.obj" + "\" \"" + Script() + "\"");
  EXPECT_EQ(prompter.calls[1].request.text.substr(0, 4), "OBJ ");
  EXPECT_NE(prompter.calls[1].request.text.find(": app.obj\r"), std::string::npos);
  EXPECT_EQ(shell.executions.size(), 1u);
}

TEST_F(CompileFlow, TheOutputTakesItsPlaceOnlyWhenTheCompileSucceeded) {
  // The stand-in compiler writes its output (the argument after /no/r/fo) in
  // full, then ends as told.
  shell.duringWait = [this] { test::WriteBytes(shell.runs.back().arguments[1], "NEW"); };
  struct Case {
    ProcessRun run;
    const char* earlier;  // nullptr: no earlier output
    const char* left;     // nullptr: no output afterwards
  };
  const Case cases[] = {
      {{ProcessRun::Outcome::Exited, 1, 0, "bad icon"}, nullptr, nullptr},
      {{ProcessRun::Outcome::Exited, 1, 0, "bad icon"}, "EARLIER", "EARLIER"},
      {{ProcessRun::Outcome::TimedOut, 0, 0, ""}, "EARLIER", "EARLIER"},
      {{ProcessRun::Outcome::Exited, 0, 0, ""}, "EARLIER", "NEW"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(test::FsPath(out / "app.res"));
    if (c.earlier) test::WriteBytes(out / "app.res", c.earlier);
    shell.result = c.run;
    prompter.dialogAnswers = {out / "app"};
    prompter.answers = {MessageAnswer::No};
    commands.CompileToRes();
    EXPECT_NE(shell.runs.back().arguments[1], out / "app.res");
    EXPECT_EQ(FileExists(out / "app.res"), c.left != nullptr) << c.run.exitCode;
    if (c.left) {
      EXPECT_EQ(test::ReadBytes(out / "app.res"), c.left);
    }
    // Nothing else is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(out.str())), {}), c.left ? 1 : 0);
  }
}

TEST_F(CompileFlow, TheRunsEndDecidesTheReport) {
  struct Case {
    ProcessRun run;
    std::vector<Call::Kind> shown;
  };
  const Case cases[] = {
      {{ProcessRun::Outcome::Exited, 5, 0, {}}, {Call::SaveDialog, Call::Message}},
      {{ProcessRun::Outcome::Exited, 3221225477u, 0, {}}, {Call::SaveDialog, Call::Message}},
      {{ProcessRun::Outcome::NotStarted, 0, 2, {}}, {Call::SaveDialog, Call::Info}},
      {{ProcessRun::Outcome::Terminating, 0, 0, {}}, {Call::SaveDialog}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.run.outcome));
    prompter.calls.clear();
    prompter.dialogAnswers = {out / "app"};
    prompter.answers = {MessageAnswer::Yes};
    shell.result = c.run;
    commands.CompileToRes();
    EXPECT_EQ(Kinds(), c.shown);
    EXPECT_TRUE(shell.executions.empty());  // never an offer to open the folder
    if (c.run.outcome == ProcessRun::Outcome::Exited) {
      const MessageRequest& failed = prompter.calls[1].request;
      EXPECT_EQ(failed.caption, Text(msg::derlemehata1));
      EXPECT_EQ(failed.text, "RES " + Text(msg::derlemehata) + " " + std::to_string(c.run.exitCode) + "\r" +
                                 Text(msg::basari2) + ": app.res\r" + Text(msg::basari3) + ": " + out.str());
      EXPECT_EQ(failed.buttons, MessageButtons::Ok);
    } else if (c.run.outcome == ProcessRun::Outcome::NotStarted) {
      EXPECT_EQ(prompter.calls[1].request.text, Text(msg::hata));
    }
  }
  EXPECT_FALSE(commands.Running());
}

TEST_F(CompileFlow, EmptyPoolAsksToOpenThePoolWindowAndNeverCompiles) {
  pool.Clear();
  prompter.answers = {MessageAnswer::Yes, MessageAnswer::No};
  commands.CompileToRes();
  commands.CompileToObj();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::Message, Call::Message}));
  EXPECT_EQ(prompter.calls[0].request.caption, Text(msg::havuzbos1));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::havuzbos));
  EXPECT_EQ(prompter.calls[0].request.buttons, MessageButtons::YesNo);
  EXPECT_EQ(poolWindowShown, 1);
  EXPECT_TRUE(shell.runs.empty());
  EXPECT_FALSE(FileExists(Script()));
}

TEST_F(CompileFlow, KeyFaultsAndAMissingCompilerStopBeforeTheScript) {
  pool.Append("?", "ico", "C:\\x\\unnamed.ico");
  pool.Append("PIC", "png", "D:\\c.png");
  commands.CompileToRes();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::Message, Call::Message}));
  EXPECT_EQ(prompter.calls[0].request.caption, Text(msg::tanimeksik1));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::tanimeksik) + "\r\runnamed.ico\r");
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::tanimayni1));
  EXPECT_EQ(prompter.calls[1].request.text, Text(msg::tanimayni) + "\r\rPIC->b.bmp\rPIC->c.png\r");
  EXPECT_EQ(prompter.calls[1].request.icon, MessageIcon::Information);

  pool.Clear();
  pool.Append("A", "ico", "C:\\a.ico");
  std::filesystem::remove(test::FsPath(systemDir / "Gorc.exe"));
  std::filesystem::create_directory(test::FsPath(systemDir / "Gorc.exe"));  // a folder does not count
  prompter.calls.clear();
  commands.CompileToRes();
  commands.ConvertResToObj();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::Info, Call::Info}));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::gorcyok));
  EXPECT_FALSE(FileExists(Script()));
  EXPECT_TRUE(shell.runs.empty());
}

TEST_F(CompileFlow, CancelledSaveDialogLeavesTheScriptAndRunsNothing) {
  commands.CompileToObj();
  EXPECT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog}));
  EXPECT_TRUE(FileExists(Script()));
  EXPECT_TRUE(shell.runs.empty());
}

TEST_F(CompileFlow, ResToObjNeedsNoPoolAndClearsItsDialogs) {
  pool.Clear();
  // Input chosen, output cancelled: the open dialog keeps the name.
  prompter.dialogAnswers = {out / "in.res", std::nullopt};
  commands.ConvertResToObj();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::OpenDialog, Call::SaveDialog}));
  EXPECT_EQ(prompter.calls[0].dialog.title, ".RES");
  EXPECT_EQ(prompter.calls[0].dialog.filter, "RES|*.res");
  EXPECT_EQ(prompter.calls[1].dialog.title, Text(msg::objkaydet));
  EXPECT_EQ(prompter.calls[1].dialog.filter, "OBJ|obj");

  prompter.calls.clear();
  prompter.dialogAnswers = {out / "in.res", out / "lib"};
  commands.ConvertResToObj();
  EXPECT_EQ(prompter.calls[0].dialog.fileName, out / "in.res");
  ASSERT_EQ(shell.runs.size(), 1u);
  EXPECT_EQ(AsFinal(shell.runs[0].parameters), "/no/fo \"" + out / "lib.obj" + "\" \"" + out / "in.res" + "\"");
  EXPECT_EQ(prompter.calls[2].request.text.substr(0, 4), "OBJ ");
  EXPECT_FALSE(FileExists(Script()));

  prompter.calls.clear();
  commands.ConvertResToObj();
  EXPECT_EQ(prompter.calls[0].dialog.fileName, "");
}

TEST_F(CompileFlow, CommandsDoNothingWhileACompileRuns) {
  prompter.dialogAnswers = {out / "app"};
  bool runningDuringWait = false;
  shell.duringWait = [&] {
    runningDuringWait = commands.Running();
    commands.CompileToRes();
    commands.CompileToObj();
    commands.ConvertResToObj();
  };
  commands.CompileToRes();
  EXPECT_TRUE(runningDuringWait);
  EXPECT_EQ(shell.runs.size(), 1u);
  EXPECT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Message}));
  EXPECT_EQ(view.states, (std::vector<bool>{false, true}));
  EXPECT_FALSE(commands.Running());
}

TEST_F(CompileFlow, AScriptThatCannotBeWrittenEndsTheCommandWithItsError) {
  CompileController elsewhere(pool, data / "missing" + std::string(1, kPathSeparator), prompter, shell, view, {});
  EXPECT_THROW(elsewhere.CompileToRes(), FileCreateError);
  EXPECT_FALSE(elsewhere.Running());
  EXPECT_EQ(view.states, (std::vector<bool>{false, true}));
  EXPECT_TRUE(prompter.calls.empty());
  EXPECT_TRUE(shell.runs.empty());
}

TEST_F(CompileFlow, AChosenCompilerGetsItsScriptAndItsStepsAndReportsInItsWords) {
  test::TempDir tools;
  CompilerSearch search;
  search.windows = false;
  search.path = {tools.str()};
  commands.SetCompilerSearch([&] { return search; });
  commands.Choose(CompilerId::Llvm, Machine::X64);

  // Not installed: the box names it, and nothing is written.
  commands.CompileToRes();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::Info}));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::derleyiciyok) + " LLVM");
  EXPECT_FALSE(FileExists(Script()));

  // Without its converter it makes .RES files but no .OBJ files.
  const auto runnable = std::filesystem::perm_options::add;
  test::WriteBytes(tools / "llvm-rc", "");
  std::filesystem::permissions(test::FsPath(tools / "llvm-rc"), std::filesystem::perms::owner_exec, runnable);
  prompter.calls.clear();
  commands.CompileToObj();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::Info}));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::objyok) + " LLVM");

  test::WriteBytes(tools / "llvm-cvtres", "");
  std::filesystem::permissions(test::FsPath(tools / "llvm-cvtres"), std::filesystem::perms::owner_exec, runnable);
  prompter.calls.clear();
  prompter.dialogAnswers = {out / "app"};
  commands.CompileToObj();
  EXPECT_EQ(test::ReadBytes(Script()), ResourceScriptBytesUtf8(pool));
  ASSERT_EQ(shell.runs.size(), 2u);
  const std::string intermediate = data / "liste.res";
  EXPECT_EQ(shell.runs[0].file, tools / "llvm-rc");
  EXPECT_EQ(AsFinal(shell.runs[0].arguments),
            (std::vector<std::string>{"/no-preprocess", "/FO", intermediate, "--", Script()}));
  EXPECT_EQ(shell.runs[1].file, tools / "llvm-cvtres");
  EXPECT_EQ(AsFinal(shell.runs[1].arguments),
            (std::vector<std::string>{"/machine:x64", "/out:" + out / "app.obj", intermediate}));
  EXPECT_EQ(shell.runs[1].timeout, std::chrono::minutes(5));

  // A failure shows the compiler's last ten lines under the exit code.
  std::string said;
  for (int i = 1; i <= 12; ++i) said += "line " + std::to_string(i) + "\n";
  shell.result = {ProcessRun::Outcome::Exited, 1, 0, said};
  shell.runs.clear();
  prompter.calls.clear();
  prompter.dialogAnswers = {out / "app"};
  commands.CompileToObj();
  EXPECT_EQ(shell.runs.size(), 1u);  // the converter does not run after a failed compile
  std::string lastTen;
  for (int i = 3; i <= 12; ++i) lastTen += "line " + std::to_string(i) + (i < 12 ? "\r" : "");
  EXPECT_EQ(prompter.calls[1].request.text, "OBJ " + Text(msg::derlemehata2) + " 1\r" + lastTen + "\r\r" +
                                                Text(msg::basari2) + ": app.obj\r" + Text(msg::basari3) + ": " +
                                                out.str());
}

TEST_F(CompileFlow, AFailureBoxNamesTheEntryTheCompilerComplainsAbout) {
  shell.result = {ProcessRun::Outcome::Exited, 1, 0, Script() + "(2) : error RC2135 : file not found\r\n"};
  prompter.dialogAnswers = {out / "app"};
  commands.CompileToRes();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Message}));
  EXPECT_NE(prompter.calls[1].request.text.find("file not found\r" + Text(msg::derlemegirdisi) +
                                                ": PIC, C:\\My Pictures\\b.bmp\r\r"),
            std::string::npos)
      << prompter.calls[1].request.text;
}

TEST_F(CompileFlow, AStopDuringTheWaitEndsTheCompiler) {
  prompter.dialogAnswers = {out / "app"};
  shell.duringWait = [&] { commands.StopCompile(); };
  commands.CompileToRes();
  EXPECT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Info}));
  EXPECT_EQ(prompter.calls[1].request.text, Text(msg::derlemedurdu));
  EXPECT_TRUE(shell.executions.empty());

  // The next run starts without the old request.
  shell.duringWait = nullptr;
  prompter.calls.clear();
  prompter.dialogAnswers = {out / "app"};
  commands.StopCompile();  // nothing runs: no effect
  commands.CompileToRes();
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::basarili));
}

// Kovan's own compiler in the window: no script, no program run, the file
// written and the success box naming it; a refused pool or a stop leaves no file.
class BuiltinCompileFlow : public CompileFlow {
 protected:
  BuiltinCompileFlow() {
    pool.Clear();
    test::WriteBytes(data / "a.bin", "alpha");
    test::WriteBytes(data / "b.txt", "beta");
    pool.Append("A", "rcdata", data / "a.bin");
    pool.Append("B", "veri", data / "b.txt");
  }
};

TEST_F(BuiltinCompileFlow, WithNoCompilerChosenAndNoGoRCKovanCompilesItself) {
  std::filesystem::remove(test::FsPath(systemDir / "Gorc.exe"));
  commands.Choose(std::nullopt, Machine::Arm64);
  prompter.dialogAnswers = {out / "app"};
  prompter.answers = {MessageAnswer::No};
  commands.CompileToObj();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Message}));
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::basarili));
  EXPECT_NE(prompter.calls[1].request.text.find("\r" + Text(msg::derleyen) + ": Kovan\r"), std::string::npos);
  EXPECT_TRUE(shell.runs.empty());
  EXPECT_FALSE(FileExists(Script()));
  CompilePoolBuiltin(pool, CompileKind::Obj, out / "expected.obj", {CoffMachine::Arm64, 0, nullptr});
  EXPECT_EQ(test::ReadBytes(out / "app.obj"), test::ReadBytes(out / "expected.obj"));

  // GoRC, once it is there, comes first again.
  test::WriteBytes(systemDir / "Gorc.exe", "MZ");
  prompter.calls.clear();
  prompter.dialogAnswers = {out / "app"};
  commands.CompileToRes();
  EXPECT_EQ(shell.runs.size(), 1u);
}

TEST_F(BuiltinCompileFlow, RefusedEntriesAreListedAndNothingIsWritten) {
  commands.Choose(CompilerId::Builtin, Machine::X64);
  pool.Append("C", "bitmap", data / "b.txt");
  pool.Append("D", "dialog", data / "a.bin");
  prompter.dialogAnswers = {out / "app"};
  commands.CompileToRes();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Message}));
  const MessageRequest& refused = prompter.calls[1].request;
  EXPECT_EQ(refused.caption, Text(msg::derlemehata1));
  EXPECT_EQ(refused.text.rfind(Text(msg::girdireddi) + "\r\rentry 3 (C, bitmap, ", 0), 0u) << refused.text;
  EXPECT_NE(refused.text.find("\rentry 4 (D, dialog, "), std::string::npos) << refused.text;
  EXPECT_FALSE(FileExists(out / "app.res"));
}

TEST_F(BuiltinCompileFlow, AStopLeavesNoFileAndAClosingProgramNoReport) {
  commands.Choose(CompilerId::Builtin, Machine::X64);
  prompter.dialogAnswers = {out / "app"};
  shell.duringWait = [&] { commands.StopCompile(); };
  commands.CompileToRes();
  ASSERT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog, Call::Info}));
  EXPECT_EQ(prompter.calls[1].request.text, Text(msg::derlemedurdu));
  EXPECT_FALSE(FileExists(out / "app.res"));

  shell.duringWait = nullptr;
  shell.closing = true;
  prompter.calls.clear();
  prompter.dialogAnswers = {out / "app"};
  commands.CompileToRes();
  EXPECT_EQ(Kinds(), (std::vector<Call::Kind>{Call::SaveDialog}));
}

TEST_F(BuiltinCompileFlow, ResToObjConvertsOrNamesTheDamage) {
  commands.Choose(CompilerId::Builtin, Machine::X86);
  CompilePoolBuiltin(pool, CompileKind::Res, out / "in.res", {});
  test::WriteBytes(out / "bad.res", "not a res file at all, not even close");
  for (const std::string& input : {out / "in.res", out / "bad.res"}) {
    prompter.calls.clear();
    prompter.dialogAnswers = {input, out / "lib"};
    prompter.answers = {MessageAnswer::No};
    std::filesystem::remove(test::FsPath(out / "lib.obj"));
    commands.ConvertResToObj();
    ASSERT_EQ(prompter.calls.size(), 3u);
    const bool sound = input == out / "in.res";
    EXPECT_EQ(prompter.calls[2].request.caption, Text(sound ? msg::basarili : msg::derlemehata1));
    EXPECT_EQ(FileExists(out / "lib.obj"), sound);
    if (!sound) {
      EXPECT_NE(prompter.calls[2].request.text.find(input + ": not a 32-bit .RES file"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace kovan
