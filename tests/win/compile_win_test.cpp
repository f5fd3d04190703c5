// The compile run against the real process start and wait: the stand-in
// compiler installed as Gorc.exe in the system directory, started by its full
// path with its output captured, under a deadline.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "windows/main/compile_controller.hpp"
#include "lang/lang_manager.hpp"
#include "platform/command_line.hpp"
#include "support/recording_prompter.hpp"
#include "platform/win32_shell.win32.hpp"
#include "pool/key_check.hpp"
#include "pool/resource_script.hpp"
#include "support/pending_names.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

using Call = RecordingPrompter::Call;

void SetEnv(const wchar_t* name, const std::string& value) {
  SetEnvironmentVariableW(name, value.empty() ? nullptr : ToWide(value).c_str());
}

// Puts the stand-in compiler in the system directory for one test.
class InstalledCompiler : public ::testing::Test {
 protected:
  InstalledCompiler() {
    installed_ = Win32Shell().SystemDirectory() + "\\Gorc.exe";
    EXPECT_TRUE(CopyFileW(ToWide(ExeFolder() + "fake_gorc.exe").c_str(), ToWide(installed_).c_str(), FALSE));
    SetEnv(L"FAKE_GORC_LOG", dir / "log");
  }
  ~InstalledCompiler() override {
    for (const wchar_t* name :
         {L"FAKE_GORC_LOG", L"FAKE_GORC_EXIT", L"FAKE_GORC_DELAY_MS", L"FAKE_GORC_SAY", L"FAKE_GORC_WHO"}) {
      SetEnv(name, "");
    }
    // A compiler left running by the quit test may hold the file for a moment.
    for (int i = 0; i < 50 && !DeleteFileW(ToWide(installed_).c_str()); ++i) Sleep(100);
  }

  ProcessRequest Request(const std::string& output, const std::string& input) {
    return {installed_,
            {"/no/fo", output, input},
            "/no/fo \"" + output + "\" \"" + input + "\"",
            std::chrono::seconds(60),
            {}};
  }

  test::TempDir dir;
  std::string installed_;
};

struct NoView : CompileView {
  void SetCompileCommandsEnabled(bool) override {}
};

TEST_F(InstalledCompiler, ResCommandRunsGoRCFromTheSystemDirectoryAndReportsByExitCode) {
  test::WriteBytes(dir / "a.ico", "icon");
  ResourcePool pool;
  pool.Append("ICON1", "ico", dir / "a.ico");
  std::filesystem::create_directory(test::FsPath(dir / "my out"));
  RecordingPrompter prompter;
  Win32Shell shell;
  NoView view;
  CompileController commands(pool, dir.str(), prompter, shell, view, {});
  ASSERT_TRUE(commands.CompilerPresent());

  prompter.dialogAnswers = {dir / "my out\\app"};
  commands.CompileToRes();
  ASSERT_EQ(prompter.calls.size(), 2u);
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::basarili));
  EXPECT_EQ(prompter.calls[1].request.text.substr(0, 4), "RES ");
  // The compiler got the parameter text exactly and read the script; it
  // wrote under a fresh name beside the output ("~<16 hex digits>-app.res"),
  // which then took the output's place.
  const std::string parameters = "/no/r/fo \"" + dir / "my out\\app.res" + "\" \"" + dir / "liste.rc" + "\"";
  const std::string log = test::ReadBytes(dir / "log");
  EXPECT_EQ(test::WithoutPendingNames(log), "raw: " + parameters + "\narg: /no/r/fo\narg: " + dir / "my out\\app.res" +
                                                "\narg: " + dir / "liste.rc" + "\n");
  EXPECT_EQ(log.find("\\app.res"), std::string::npos) << log;
  EXPECT_EQ(test::ReadBytes(dir / "my out\\app.res"), ResourceScriptBytes(pool));

  SetEnv(L"FAKE_GORC_EXIT", "5");
  prompter.calls.clear();
  prompter.dialogAnswers = {dir / "my out\\app.res"};
  commands.CompileToRes();
  ASSERT_EQ(prompter.calls.size(), 2u);
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::derlemehata1));
  EXPECT_NE(prompter.calls[1].request.text.find(Text(msg::derlemehata) + " 5\r"), std::string::npos);
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER || msg == WM_TIMER) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

double ProcessorSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

TEST_F(InstalledCompiler, TheWaitDispatchesMessagesWithoutSpinning) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KovanCompileWaitTest";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  int dispatched = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dispatched));
  PostMessageW(window, WM_USER, 0, 0);  // queued before the wait begins
  SetTimer(window, 1, 100, nullptr);

  test::WriteBytes(dir / "in.res", "x");
  SetEnv(L"FAKE_GORC_DELAY_MS", "2000");
  Win32Shell shell;
  const double before = ProcessorSeconds();
  const LARGE_INTEGER start = [] {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
  }();
  const ProcessRun run = shell.RunProgram(Request(dir / "out.obj", dir / "in.res"));
  LARGE_INTEGER end, frequency;
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  const double used = ProcessorSeconds() - before;
  const double elapsed = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  KillTimer(window, 1);
  DestroyWindow(window);

  EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_GE(dispatched, 5);  // the early message and the timer's ticks
  std::printf("[ measure  ] waiting %.2f s for the compiler used %.3f s of processor time\n", elapsed, used);
}

TEST_F(InstalledCompiler, AQuitRequestEndsTheWaitAndStaysQueued) {
  test::WriteBytes(dir / "in.res", "x");
  SetEnv(L"FAKE_GORC_DELAY_MS", "300");
  PostQuitMessage(3);
  Win32Shell shell;
  const ProcessRun run = shell.RunProgram(Request(dir / "o.obj", dir / "in.res"));
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::Terminating);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  Sleep(600);  // let the compiler finish before its folder goes
}

TEST_F(InstalledCompiler, ANamesakeInTheWorkingFolderIsNeverStarted) {
  test::WriteBytes(dir / "a.ico", "icon");
  test::TempDir work;
  ASSERT_TRUE(CopyFileW(ToWide(ExeFolder() + "fake_gorc.exe").c_str(), ToWide(work / "GoRC.exe").c_str(), FALSE));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(test::FsPath(work.str()));
  SetEnv(L"FAKE_GORC_WHO", dir / "who");
  ResourcePool pool;
  pool.Append("ICON1", "ico", dir / "a.ico");
  RecordingPrompter prompter;
  prompter.dialogAnswers = {dir / "app"};
  Win32Shell shell;
  NoView view;
  CompileController commands(pool, dir.str(), prompter, shell, view, {});
  commands.CompileToRes();
  std::filesystem::current_path(before);
  EXPECT_TRUE(AsciiIEquals(test::ReadBytes(dir / "who"), installed_)) << test::ReadBytes(dir / "who");
}

TEST_F(InstalledCompiler, OutputIsCapturedAndADeadlineEndsTheProgram) {
  test::WriteBytes(dir / "in.res", "x");
  SetEnv(L"FAKE_GORC_SAY", "line 3: syntax error");
  SetEnv(L"FAKE_GORC_EXIT", "2");
  Win32Shell shell;
  ProcessRun run = shell.RunProgram(Request(dir / "o.obj", dir / "in.res"));
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_NE(run.output.find("line 3: syntax error"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("error: line 3: syntax error"), std::string::npos) << run.output;

  SetEnv(L"FAKE_GORC_DELAY_MS", "600000");
  ProcessRequest never = Request(dir / "o2.obj", dir / "in.res");
  never.timeout = std::chrono::milliseconds(500);
  run = shell.RunProgram(never);
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::TimedOut);

  // A deadline beyond what one wait can take (4,294,968 s is 2^32 ms and a
  // bit) must not wrap to well under a second.
  SetEnv(L"FAKE_GORC_DELAY_MS", "1500");
  ProcessRequest distant = Request(dir / "o3.obj", dir / "in.res");
  distant.timeout = std::chrono::seconds(4294968);
  run = shell.RunProgram(distant);
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::Exited);
}

TEST(Win32Shell, AProgramThatCannotBeFoundIsNotStarted) {
  const ProcessRun run =
      Win32Shell().RunProgram({ExeFolder() + "NoSuchCompilerAnywhere.exe", {}, {}, std::chrono::seconds(5), {}});
  EXPECT_EQ(run.outcome, ProcessRun::Outcome::NotStarted);
  EXPECT_EQ(run.error, ERROR_FILE_NOT_FOUND);
}

// The locale-free order used off Windows must agree with the locale's order
// for ASCII text.
TEST(KeyLineOrder, AsciiComparisonAgreesWithTheLocale) {
  const std::string alphabet = "aAbBzZ09_-' .>~+@[";
  std::mt19937 random(12345);
  auto make = [&] {
    std::string s;
    const size_t n = random() % 6;
    for (size_t i = 0; i < n; ++i) s += alphabet[random() % alphabet.size()];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string a = make();
    const std::string b = make();
    const int locale = LocaleICompare(Utf8ToUtf16(a), Utf8ToUtf16(b));
    const int ascii = KeyLineCompareAscii(a, b);
    ASSERT_EQ((locale > 0) - (locale < 0), (ascii > 0) - (ascii < 0)) << "\"" << a << "\" vs \"" << b << "\"";
  }
}

// The argument split used off Windows matches the system's own where both
// follow the same rules.
TEST(SplitCommandLine, MatchesTheSystemsSplit) {
  for (const char* text :
       {"/no/r/fo \"C:\\My Out\\a.res\" \"C:\\K\\liste.rc\"", "a\\\\\"b c\" d", "\\\"x \"y\\\\\"", "  a\t b\\c  "}) {
    SCOPED_TRACE(text);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(ToWide(std::string("prog ") + text).c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    std::vector<std::string> system;
    for (int i = 1; i < argc; ++i) system.push_back(ToUtf8(argv[i]));
    LocalFree(argv);
    EXPECT_EQ(SplitCommandLine(text), system);
  }
}

}  // namespace
}  // namespace kovan
