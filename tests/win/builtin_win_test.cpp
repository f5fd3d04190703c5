// Kovan's own compiler under Windows: the worker thread that keeps the
// windows live, the Windows file code that streams and replaces files, and
// the main window's compile command through both.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "base/file_system.hpp"
#include "formats/res_file.hpp"
#include "lang/lang_manager.hpp"
#include "platform/win32_shell.win32.hpp"
#include "pool/builtin_compiler.hpp"
#include "support/recording_prompter.hpp"
#include "support/test_util.hpp"
#include "windows/main/compile_controller.hpp"

namespace kovan {
namespace {

using Call = RecordingPrompter::Call;

LRESULT CALLBACK FlagProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_USER) {
    reinterpret_cast<std::atomic<bool>*>(GetWindowLongPtrW(window, GWLP_USERDATA))->store(true);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

TEST(BuiltinWorker, TheWorkRunsBesideALiveMessageQueue) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = FlagProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KovanWorkerTest";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  std::atomic<bool> dispatched = false;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dispatched));

  const DWORD caller = GetCurrentThreadId();
  DWORD worker = caller;
  bool sawDispatch = false;
  Win32Shell shell;
  // The work posts to the caller's window and waits for the message to be
  // handled there, which only a live queue on the waiting thread can do.
  const bool live = shell.RunWork(
      [&] {
        worker = GetCurrentThreadId();
        PostMessageW(window, WM_USER, 0, 0);
        for (int i = 0; i < 500 && !dispatched; ++i) Sleep(10);
        sawDispatch = dispatched;
      },
      [] {});
  DestroyWindow(window);
  EXPECT_TRUE(live);
  EXPECT_NE(worker, caller);
  EXPECT_TRUE(sawDispatch);
}

TEST(BuiltinWorker, AQuitRequestStopsTheWorkAndStaysQueued) {
  std::atomic<bool> stop = false;
  bool stoppedBeforeEnd = false;
  PostQuitMessage(4);
  Win32Shell shell;
  const bool live = shell.RunWork(
      [&] {
        for (int i = 0; i < 500 && !stop; ++i) Sleep(10);
        stoppedBeforeEnd = stop;
      },
      [&] { stop = true; });
  EXPECT_FALSE(live);
  EXPECT_TRUE(stoppedBeforeEnd);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 4u);
}

struct NoView : CompileView {
  void SetCompileCommandsEnabled(bool) override {}
};

TEST(BuiltinCompileWin, TheCompileCommandWritesTheFileOrNothing) {
  test::TempDir dir;
  ResourcePool pool;
  test::WriteBytes(dir / "a.bin", std::string(3 << 20, 'a'));  // more than one piece of the stream
  pool.Append("A", "rcdata", dir / "a.bin");
  pool.Append("\xC3\x87" "AY", "veri", dir / "a.bin");
  RecordingPrompter prompter;
  Win32Shell shell;
  NoView view;
  CompileController commands(pool, dir.str(), prompter, shell, view, [] {});
  commands.Choose(CompilerId::Builtin, Machine::X64);

  test::WriteBytes(dir / "app.res", "an older file");
  prompter.dialogAnswers = {dir / "app"};
  prompter.answers = {MessageAnswer::No};
  commands.CompileToRes();
  ASSERT_EQ(prompter.calls.size(), 2u);
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::basarili));
  const std::string res = test::ReadBytes(dir / "app.res");  // replaced
  MemorySource source(res);
  const auto entries = ReadResEntries(source);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].header.name, ResourceId::Name(u"\u00C7AY"));
  EXPECT_EQ(entries[1].header.dataSize, 3u << 20);

  pool.Append("B", "bitmap", dir / "a.bin");
  prompter.calls.clear();
  prompter.dialogAnswers = {dir / "other"};
  commands.CompileToObj();
  ASSERT_EQ(prompter.calls.size(), 2u);
  EXPECT_EQ(prompter.calls[1].request.caption, Text(msg::derlemehata1));
  size_t files = 0;
  for (const auto& item : std::filesystem::directory_iterator(test::FsPath(dir.str()))) files += item.is_regular_file();
  EXPECT_EQ(files, 2u);  // a.bin and app.res: no output, no temporary file
}

}  // namespace
}  // namespace kovan
