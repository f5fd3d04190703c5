#include "windows/main/pool_load.hpp"

#include <gtest/gtest.h>

#include "windows/main/main_window_logic.hpp"
#include "windows/pool/pool_window_logic.hpp"
#include "lang/lang_manager.hpp"
#include "support/memory_registry.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_shell.hpp"
#include "pool/pool_file.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

using Call = RecordingPrompter::Call;

class PoolLoad : public ::testing::Test {
 protected:
  std::string PoolFile() const { return dir / "Liste.kvl"; }
  std::string MakeFile(const std::string& name) {
    test::WriteBytes(dir / name, "data");
    return dir / name;
  }
  static std::string Quoted(const std::string& path) { return EncodePoolLine({path}); }

  test::TempDir dir;
  ResourcePool pool;
  RecordingPrompter prompter;
};

TEST_F(PoolLoad, NoListFileCreatesAnEmptyOneAndSaysSo) {
  const PoolLoadOutcome outcome = ReadPoolAtStart(pool, PoolFile(), prompter);
  EXPECT_TRUE(outcome.created);
  EXPECT_EQ(test::ReadBytes(PoolFile()), "");
  EXPECT_TRUE(std::filesystem::exists(test::FsPath(PoolFile())));
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].kind, Call::Info);
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::kaynakyok));
}

TEST_F(PoolLoad, MissingFilesAreDroppedAndReportedButTheFileKeepsThem) {
  const std::string a = MakeFile("a.ico");
  const std::string gone = dir / "gone.ico";
  const std::string c = MakeFile("c.ico");
  const std::string bytes = "A,ico," + Quoted(a) + "\r\nB,ico," + Quoted(gone) + "\r\nC,ico," + Quoted(c) +
                            "\r\nD,dir," + Quoted(dir.str()) + "\r\nE,none,\r\nF\r\nA2,ico," + Quoted(a) + "\r\n";
  test::WriteBytes(PoolFile(), bytes);

  EXPECT_FALSE(ReadPoolAtStart(pool, PoolFile(), prompter).unreadable);
  EXPECT_EQ(pool.Count(), 7u);
  EXPECT_TRUE(prompter.calls.empty());
  EXPECT_EQ(PrunePoolAtStart(pool, prompter), 4u);
  ASSERT_EQ(pool.Count(), 3u);  // A, C and the repeat of A's path
  EXPECT_EQ(pool.Field(0, kKeyName), "A");
  EXPECT_EQ(pool.Field(1, kKeyName), "C");
  EXPECT_EQ(pool.Field(2, kKeyName), "A2");
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].kind, Call::Info);
  EXPECT_EQ(prompter.calls[0].request.text,
            Text(msg::eksik) + "\r" + Text(msg::eksik2) + "\r" + gone + "\r" + dir.str() + "\r\r\r");
  EXPECT_EQ(test::ReadBytes(PoolFile()), bytes);
}

TEST_F(PoolLoad, ExtraFieldsSurviveALoadAndASave) {
  const std::string a = MakeFile("a.ico");
  test::WriteBytes(PoolFile(), "K,ico," + Quoted(a) + ",fourth\r\n");
  (void)ReadPoolAtStart(pool, PoolFile(), prompter);
  PrunePoolAtStart(pool, prompter);
  EXPECT_TRUE(prompter.calls.empty());
  WritePoolFile(pool, PoolFile());
  EXPECT_EQ(test::ReadBytes(PoolFile()), "K,ico," + Quoted(a) + ",fourth\r\n");
}

using RecordingView = test::RecordingMainWindowView;

TEST_F(PoolLoad, MainWindowShowsTheCountAndWritesThePoolAtClose) {
  const std::string a = MakeFile("a.ico");
  test::WriteBytes(PoolFile(), "A,ico," + Quoted(a) + "\r\nB,ico," + Quoted(dir / "gone.ico") + "\r\n");
  RecordingView view;
  test::MainWindowRig rig(dir.str());
  MainWindowLogic window(view, rig.Services());
  window.OnCreate();
  // The files are checked once the panel shows, not while it is made.
  EXPECT_EQ(view.captions, std::vector<std::string>{"2"});
  EXPECT_TRUE(rig.prompter.calls.empty());
  window.OnFirstShown();
  EXPECT_EQ(view.captions, (std::vector<std::string>{"2", "1"}));
  ASSERT_EQ(rig.prompter.calls.size(), 1u);
  EXPECT_NE(rig.prompter.calls[0].request.text.find(dir / "gone.ico"), std::string::npos);
  window.OnFirstShown();  // once only
  EXPECT_EQ(rig.prompter.calls.size(), 1u);
  ASSERT_TRUE(window.OnClose());
  EXPECT_EQ(test::ReadBytes(PoolFile()), "A,ico," + Quoted(a) + "\r\n");
}

#ifndef _WIN32
// A link to itself exists in its folder's listing but cannot be opened, even by
// root: the stand-in here for a list file locked by another program.
TEST_F(PoolLoad, AnUnreadableListFileIsReportedAndNotOverwrittenWhileThePoolIsEmpty) {
  std::filesystem::create_symlink("Liste.kvl", test::FsPath(PoolFile()));
  RecordingView view;
  test::MainWindowRig rig(dir.str());
  MainWindowLogic window(view, rig.Services());
  window.OnCreate();
  const RecordingPrompter& prompter = rig.prompter;
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].request.icon, MessageIcon::Warning);
  EXPECT_EQ(prompter.calls[0].request.text.rfind(Text(msg::listeokunamadi) + "\r" + PoolFile() + "\r", 0), 0u);
  ASSERT_TRUE(window.OnClose());
  EXPECT_TRUE(std::filesystem::is_symlink(test::FsPath(PoolFile())));

  // Entries dropped meanwhile never replace the unread list: while it still
  // cannot be read they wait in a file beside it, named to the user...
  const std::string side = PoolFile() + ".added";
  window.ImportDrop({MakeFile("a.ico")});
  ASSERT_TRUE(window.OnClose());
  EXPECT_TRUE(std::filesystem::is_symlink(test::FsPath(PoolFile())));
  EXPECT_EQ(test::ReadBytes(side), "?,ico," + Quoted(dir / "a.ico") + "\r\n");
  EXPECT_EQ(prompter.calls.back().request.text, Text(msg::listeayri) + "\r" + PoolFile() + "\r" + side);

  // ...and once it can be read again they are merged into it.
  std::filesystem::remove(test::FsPath(PoolFile()));
  const std::string kept = "KEEP,ico," + Quoted(MakeFile("k.ico")) + "\r\n";
  test::WriteBytes(PoolFile(), kept + "?,ico," + Quoted(dir / "a.ico") + "\r\n");
  window.ImportDrop({MakeFile("b.ico")});
  ASSERT_TRUE(window.OnClose());
  EXPECT_EQ(test::ReadBytes(PoolFile()),
            kept + "?,ico," + Quoted(dir / "a.ico") + "\r\n?,ico," + Quoted(dir / "b.ico") + "\r\n");
}

TEST_F(PoolLoad, FilesAddedInThePoolWindowToAnUnreadListAreKeptAtClose) {
  std::filesystem::create_symlink("Liste.kvl", test::FsPath(PoolFile()));
  RecordingView view;
  test::MainWindowRig rig(dir.str());
  MainWindowLogic window(view, rig.Services());
  window.OnCreate();

  test::RecordingPoolWindowView poolView;
  RecordingPrompter poolPrompter;
  RecordingShell poolShell;
  PoolWindowLogic poolWindow(poolView, poolPrompter, poolShell, {window.Pool(), nullptr});
  poolWindow.Open(false);
  poolPrompter.dialogAnswers = {MakeFile("a.ico")};
  poolWindow.AddFile();
  poolWindow.Confirm();
  ASSERT_EQ(window.Pool().Count(), 1u);

  ASSERT_TRUE(window.OnClose());
  EXPECT_TRUE(std::filesystem::is_symlink(test::FsPath(PoolFile())));
  EXPECT_EQ(test::ReadBytes(PoolFile() + ".added"), "?,ICO," + Quoted(dir / "a.ico") + "\r\n");
}
#endif

}  // namespace
}  // namespace kovan
