// The pool window's "import a resource script" command: the script's file
// statements become rows with their keys and types, reach the main pool on
// confirm, and the lines left out are listed once.
#include <gtest/gtest.h>

#include "lang/lang_manager.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_shell.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"
#include "windows/pool/pool_window_logic.hpp"

namespace kovan {
namespace {

TEST(PoolWindowImport, AScriptsFilesBecomeRowsAndItsSkippedLinesAreListed) {
  test::TempDir dir;
  test::RecordingPoolWindowView view;
  RecordingPrompter prompter;
  RecordingShell shell;
  ResourcePool mainPool;
  mainPool.Append("OLD", "ico", dir / "old.ico");
  PoolWindowLogic window(view, {prompter, shell, {mainPool, nullptr}});
  window.Loaded();
  window.Open(false);

  const MenuItem* item = window.Menu().Find(PoolCommand::ImportScript);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->caption, Text(msg::betikal));

  test::WriteBytes(dir / "app.ico", "x");
  test::WriteBytes(dir / "data.bin", "y");
  test::WriteBytes(dir / "app.rc",
                   "APP ICON \"app.ico\"\r\n"
                   "MAIN DIALOG 0, 0, 10, 10\r\n"
                   "BEGIN\r\n"
                   "END\r\n"
                   "Data rcdata data.bin\r\n"
                   "GONE RCDATA missing.bin\r\n");
  prompter.dialogAnswers = {std::nullopt, dir / "app.rc"};
  window.RunCommand(PoolCommand::ImportScript);  // cancelled: nothing happens
  window.RunCommand(PoolCommand::ImportScript);

  ASSERT_EQ(prompter.calls.size(), 3u);
  EXPECT_EQ(prompter.calls[1].dialog.title, Text(msg::betikal));
  ASSERT_EQ(prompter.calls[2].kind, RecordingPrompter::Call::Info);
  const std::string& info = prompter.calls[2].request.text;
  EXPECT_EQ(info.rfind(Text(msg::betikatlandi) + "\r\r2: ", 0), 0u) << info;
  EXPECT_NE(info.find("\r6: the file " + dir / "missing.bin" + " is not there"), std::string::npos) << info;

  window.RunCommand(PoolCommand::Confirm);
  ASSERT_EQ(mainPool.Count(), 3u);
  EXPECT_EQ(mainPool.Entries()[1].fields, (std::vector<std::string>{"APP", "ICON", dir / "app.ico"}));
  // Types are shown, and so confirmed, upper-cased, as the window does for every row.
  EXPECT_EQ(mainPool.Entries()[2].fields, (std::vector<std::string>{"Data", "RCDATA", dir / "data.bin"}));
}

}  // namespace
}  // namespace kovan
