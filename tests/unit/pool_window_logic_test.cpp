#include "windows/pool/pool_window_logic.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/file_system.hpp"
#include "lang/lang_manager.hpp"
#include "pool/key_filter.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_shell.hpp"
#include "support/recording_views.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

class PoolWindow : public ::testing::Test {
 protected:
  PoolWindow() : window(view, {prompter, shell, {mainPool, [this](const std::string& c) { captions.push_back(c); }}}) {
    window.Loaded();
  }

  // `relative` uses '/' between folders on every system.
  std::string Make(std::string relative, size_t bytes = 1) {
    std::replace(relative.begin(), relative.end(), '/', kPathSeparator);
    std::filesystem::create_directories(test::FsPath(FolderOf(dir / relative)));
    test::WriteBytes(dir / relative, std::string(bytes, 'x'));
    return dir / relative;
  }

  // What the user does in the tree: open a parameter's editor, type, commit.
  void Edit(const std::string& name, const std::string& typed) {
    ParamTreeModel& tree = window.Tree();
    const std::optional<size_t> node = tree.ParamNode(name);
    ASSERT_TRUE(node) << name;
    ASSERT_TRUE(tree.StartParamEdit(*node, name));
    tree.CommitParamEdit(typed);
  }

  std::string Title(size_t rows) const { return "Kaynak Havuzu (" + std::to_string(rows) + " " + Text(msg::dosy) + ") "; }

  std::vector<std::string> MainPaths() const {
    std::vector<std::string> paths;
    for (const PoolEntry& e : mainPool.Entries()) paths.push_back(e.Field(kFilePath));
    return paths;
  }

  size_t Questions() const {
    return std::count_if(prompter.calls.begin(), prompter.calls.end(),
                         [](const RecordingPrompter::Call& c) { return c.kind == RecordingPrompter::Call::Message; });
  }

  test::TempDir dir;
  test::RecordingPoolWindowView view;
  RecordingPrompter prompter;
  RecordingShell shell;
  ResourcePool mainPool;
  std::vector<std::string> captions;
  PoolWindowLogic window;
};

TEST_F(PoolWindow, OpensEachEntryAsAGroupOfFiveAndConfirmsTypesInUpperCase) {
  const std::string picture = Make("pics/a.bmp", 1536);
  mainPool.Append("K", "bmp", picture);
  mainPool.Append("", "", dir / "gone");
  mainPool.Append("A&B<\"", "Ico", dir / "x.Ico");
  window.Open(true);

  ParamTreeModel& tree = window.Tree();
  ASSERT_EQ(tree.NodeCount(), 15u);
  EXPECT_EQ(tree.NodeText(0), "<B>a.bmp</B>");
  EXPECT_EQ(tree.NodeText(1), "<I>" + Text(msg::dos2) + " </I>: <B><FONT color=\"#004080\">" + dir / "pics" +
                                  kPathSeparator + "</FONT></B>a.bmp");
  EXPECT_EQ(tree.NodeText(2),
            "<img src=\"ssys:.bmp\"> <I>" + Text(msg::dosytr) + " </I>: <a href=\"dosya0\" class=\"EDIT\">BMP</a>");
  EXPECT_EQ(tree.NodeText(3), "<I>" + Text(msg::dosyby) + " </I>: 1 Kb");
  EXPECT_EQ(tree.NodeText(4), "<I>" + Text(msg::dosyana) + " </I>: <a href=\"ad0\" class=\"EDIT\">K</a>");
  EXPECT_EQ(tree.NodeText(7),
            "<img src=\"ssys:\"> <I>" + Text(msg::dosytr) + " </I>: <a href=\"dosya1\" class=\"EDIT\"></a>");
  EXPECT_EQ(tree.NodeText(8), "<I>" + Text(msg::dosyby) + " </I>: " + Text(msg::bildosboy));
  EXPECT_EQ(tree.GetParamValue("ad2"), "A&B<\"");
  EXPECT_EQ(tree.NodeLevel(5), 0);
  EXPECT_EQ(tree.Parent(9), 5u);
  EXPECT_FALSE(tree.IsExpanded(0));
  EXPECT_EQ(view.titles, std::vector<std::string>{Title(3)});
  EXPECT_EQ(view.stayOnTop, std::vector<bool>{true});

  window.Confirm();
  ASSERT_EQ(mainPool.Count(), 3u);
  EXPECT_EQ(mainPool.Entries()[0].fields, (std::vector<std::string>{"K", "BMP", picture}));
  EXPECT_EQ(mainPool.Entries()[1].fields, (std::vector<std::string>{"", "", dir / "gone"}));
  EXPECT_EQ(mainPool.Entries()[2].fields, (std::vector<std::string>{"A&B<\"", "ICO", dir / "x.Ico"}));
  EXPECT_EQ(captions, std::vector<std::string>{"3"});
  EXPECT_EQ(view.closes, 1);
}

TEST_F(PoolWindow, AFilesSizeIsReadWhenItsEntryFirstOpensAndThenKept) {
  const std::string file = Make("grows.bin", 10);
  mainPool.Append("K", "bin", file);
  mainPool.Append("L", "bin", Make("other.bin", 4096));
  window.Open(false);
  const std::string label = "<I>" + Text(msg::dosyby) + " </I>: ";

  Make("grows.bin", 2048);  // after the opening, before the entry opens
  ParamTreeModel& tree = window.Tree();
  tree.ShowChildren(0);
  Make("grows.bin", 5);
  EXPECT_EQ(tree.NodeText(3), label + "2 Kb");
  EXPECT_EQ(tree.NodeText(8), label + "4 Kb");

  // A file added in the window, and an opening after it, read sizes anew.
  prompter.dialogAnswers = {Make("added.bin", 1023)};
  window.AddFile();
  EXPECT_EQ(tree.NodeText(13), label + "1023 Byte");
  window.Open(false);
  tree.ShowChildren(0);
  EXPECT_EQ(tree.NodeText(3), label + "5 Byte");
}

TEST_F(PoolWindow, AddedFilesKeepTheMarkerAndTheirTypeAsTyped) {
  const std::string file = dir / "new.Png";
  prompter.dialogAnswers = {file, file, dir / "NEW.Png", std::nullopt};
  window.Open(false);
  for (int i = 0; i < 4; ++i) window.AddFile();
  ASSERT_EQ(window.WorkingCopy().Count(), 2u);
  ASSERT_EQ(prompter.calls.size(), 5u);
  EXPECT_EQ(prompter.calls[2].kind, RecordingPrompter::Call::Info);
  EXPECT_EQ(prompter.calls[2].request.text, Text(msg::var));
  EXPECT_EQ(prompter.calls[3].dialog.fileName, file);  // the dialog opens on the last choice
  // The exports see the rows as added; the tree shows the key marker.
  EXPECT_EQ(window.WorkingCopy().Entries()[0].fields, (std::vector<std::string>{"", "Png", file}));
  EXPECT_EQ(window.Tree().GetParamValue("ad1"), "?");
  EXPECT_EQ(window.Tree().GetParamValue("dosya1"), "PNG");

  window.Confirm();
  EXPECT_EQ(mainPool.Entries()[1].fields, (std::vector<std::string>{"?", "PNG", dir / "NEW.Png"}));
}

TEST_F(PoolWindow, AddingAFolderSkipsWhatIsThereAndStopsOnEscape) {
  const std::string known = Make("f/a.txt");
  Make("f/b.txt");
  Make("f/c.txt");
  Make("f/sub/d.txt");
  Make("f/sub/e.txt");
  Make("f/sub/f.txt");
  mainPool.Append("K", "txt", known);
  window.Open(false);

  prompter.dialogAnswers = {std::nullopt};
  window.AddFolder();
  EXPECT_EQ(Questions(), 0u);
  EXPECT_EQ(view.busyChanges, (std::vector<bool>{true, false}));

  const std::string folder = dir / "f" + kPathSeparator;
  prompter.dialogAnswers = {dir / "f"};
  prompter.answers = {MessageAnswer::No};
  window.AddFolder();
  ASSERT_EQ(Questions(), 1u);
  const MessageRequest& question = prompter.calls.back().request;
  EXPECT_EQ(question.caption, Text(msg::altonay1));
  EXPECT_EQ(question.text, Text(msg::altonay) + "\r(" + folder + ")");
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_TRUE(question.defaultNo);
  EXPECT_EQ(window.WorkingCopy().Count(), 3u);  // b and c; the known file and the subfolder are skipped

  // With subfolders: the top files are known by now; Escape during the
  // second file of the subfolder keeps the first.
  prompter.dialogAnswers = {folder};
  prompter.answers = {MessageAnswer::Yes};
  view.dispatches = 0;
  view.onDispatch = [&] {
    if (view.dispatches == 2) window.RequestStop();
  };
  window.AddFolder();
  ASSERT_EQ(window.WorkingCopy().Count(), 4u);
  EXPECT_EQ(FolderOf(window.WorkingCopy().Field(3, kFilePath)), folder + "sub" + kPathSeparator);
  EXPECT_EQ(view.dispatches, 3);  // two before files, one after the stop
  EXPECT_EQ(view.busyChanges.back(), false);
  EXPECT_EQ(window.Tree().GetParamValue("ad3"), "?");
  EXPECT_EQ(window.Tree().NodeCount(), 20u);
}

TEST_F(PoolWindow, AFileReachedByASecondPathIsNotAddedAgain) {
  // A link beside the file: a hard link on Windows, where making symbolic
  // links needs rights a test run may not have.
  const std::string file = Make("f/a.ico");
  const std::string alias = dir / "f" + kPathSeparator + "alias.ico";
  std::error_code ec;
#ifdef _WIN32
  std::filesystem::create_hard_link(test::FsPath(file), test::FsPath(alias), ec);
#else
  std::filesystem::create_symlink(test::FsPath(file), test::FsPath(alias), ec);
#endif
  ASSERT_FALSE(ec) << ec.message();
  mainPool.Append("K", "ico", file);
  window.Open(false);

  prompter.dialogAnswers = {alias};
  window.AddFile();
  ASSERT_EQ(prompter.calls.size(), 2u);
  EXPECT_EQ(prompter.calls[1].request.text, Text(msg::var));

  prompter.dialogAnswers = {dir / "f"};
  prompter.answers = {MessageAnswer::No};
  window.AddFolder();
  EXPECT_EQ(window.WorkingCopy().Count(), 1u);
}

TEST_F(PoolWindow, DeletingTheSecondOfThreeRenamesTheThird) {
  for (const char* key : {"ONE", "TWO", "THREE"}) mainPool.Append(key, "bin", dir / key);
  window.Open(false);
  window.Tree().SelectNode(7);  // any node of the second group
  prompter.answers = {MessageAnswer::Yes};
  window.DeleteSelectedFromMenu();

  ASSERT_EQ(Questions(), 1u);
  EXPECT_EQ(prompter.calls[0].request.caption, Text(msg::sil22));
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::sil21));
  EXPECT_TRUE(prompter.calls[0].request.defaultNo);
  EXPECT_EQ(window.Tree().NodeCount(), 10u);
  EXPECT_EQ(window.Tree().ParamNode("ad1"), 9u);
  EXPECT_EQ(window.Tree().GetParamValue("ad1"), "THREE");
  EXPECT_EQ(window.Tree().ParamNode("ad2"), std::nullopt);
  EXPECT_EQ(view.titles.back(), Title(2));

  Edit("dosya1", " t x t ");
  window.Confirm();
  EXPECT_EQ(MainPaths(), (std::vector<std::string>{dir / "ONE", dir / "THREE"}));
  EXPECT_EQ(mainPool.Entries()[0].fields[kResourceType], "BIN");
  EXPECT_EQ(mainPool.Entries()[1].fields[kKeyName], "THREE");
  EXPECT_EQ(mainPool.Entries()[1].fields[kResourceType], "TXT");
  EXPECT_EQ(captions, std::vector<std::string>{"2"});
}

TEST_F(PoolWindow, AfterADeleteTheNeighbouringEntryIsSelectedSoDeleteGoesOn) {
  for (const char* key : {"ONE", "TWO", "THREE"}) mainPool.Append(key, "bin", dir / key);
  window.Open(false);
  window.Tree().SelectNode(7);
  prompter.answers = {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes};
  window.DeleteKeyPressed();
  EXPECT_EQ(window.Tree().Selected(), 5u) << "the entry that moved up into its place";
  window.DeleteKeyPressed();  // the last entry: the one before it takes the selection
  EXPECT_EQ(window.Tree().Selected(), 0u);
  window.DeleteKeyPressed();
  EXPECT_EQ(window.Tree().Selected(), std::nullopt);
  EXPECT_EQ(Questions(), 3u);
  window.Confirm();
  EXPECT_EQ(mainPool.Count(), 0u);
}

TEST_F(PoolWindow, EveryMenuCommandRunsFromItsItemAndConfirmOrCancelClose) {
  mainPool.Append("A", "bin", Make("a"));
  window.Open(false);
  // Each command of the menu, as the menu hands it over.
  window.RunCommand(PoolCommand::ToggleAll);
  EXPECT_TRUE(window.AllExpanded());
  window.RunCommand(PoolCommand::None);
  Edit("ad0", "key");
  window.RunCommand(PoolCommand::Confirm);
  EXPECT_EQ(view.closes, 1);
  EXPECT_EQ(mainPool.Entries()[0].fields[kKeyName], "KEY");
  window.Open(false);
  window.RunCommand(PoolCommand::Cancel);
  EXPECT_EQ(view.closes, 2);
}

TEST_F(PoolWindow, ExportsAskWhereThenWriteEachFormatUnderTheHourglass) {
  window.Open(false);
  window.RunCommand(PoolCommand::ExportXml);
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::kaybos)) << "an empty pool has nothing to export";

  mainPool.Append("A", "bin", Make("a", 3));
  window.Open(false);
  prompter.dialogAnswers = {dir / "book", dir / "doc", dir / "page"};
  window.RunCommand(PoolCommand::ExportXls);
  window.RunCommand(PoolCommand::ExportXml);
  window.RunCommand(PoolCommand::ExportHtml);

  ASSERT_EQ(view.workbooks.size(), 1u);
  EXPECT_EQ(view.workbooks[0].path, dir / "book");
  ASSERT_EQ(view.workbooks[0].table.rows.size(), 1u);
  EXPECT_EQ(view.workbooks[0].table.rows[0][3], "3 Byte");
  EXPECT_NE(test::ReadBytes(dir / "doc.xml").find("<?xml"), std::string::npos);
  EXPECT_NE(test::ReadBytes(dir / "page.html").find("<table"), std::string::npos);
  ASSERT_EQ(shell.executions.size(), 1u) << "the page opens, the others do not";
  EXPECT_EQ(shell.executions[0].target, dir / "page.html");
  EXPECT_EQ(view.busyChanges, (std::vector<bool>{true, false, true, false, true, false}));

  // A cancelled dialog writes nothing.
  window.RunCommand(PoolCommand::ExportXls);
  EXPECT_EQ(view.workbooks.size(), 1u);
}

TEST_F(PoolWindow, DeleteAsksOnlyWhenThereIsAnEntryToDelete) {
  window.Open(false);
  window.DeleteKeyPressed();  // empty tree, nothing selected
  window.DeleteSelectedFromMenu();
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].kind, RecordingPrompter::Call::Info);
  EXPECT_EQ(prompter.calls[0].request.text, Text(msg::silyok));

  mainPool.Append("A", "bin", dir / "a");
  window.Open(false);
  window.DeleteSelectedFromMenu();  // entries, but no selection
  window.DeleteKeyPressed();
  EXPECT_EQ(Questions(), 0u);

  window.Tree().SelectNode(0);
  const size_t titles = view.titles.size();
  prompter.answers = {MessageAnswer::No};
  window.DeleteKeyPressed();
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(window.WorkingCopy().Count(), 1u);
  EXPECT_EQ(window.Tree().NodeCount(), 5u);
  EXPECT_EQ(view.titles.size(), titles + 1);  // the title is set again all the same
}

TEST_F(PoolWindow, CancelLeavesTheMainPoolAsItWas) {
  mainPool.Append("A", "bin", dir / "a");
  mainPool.Append("B", "bin", dir / "b");
  const std::vector<PoolEntry> before = mainPool.Entries();
  window.Open(false);
  Edit("ad0", "changed");
  prompter.dialogAnswers = {dir / "c"};
  window.AddFile();
  window.Tree().SelectNode(5);
  prompter.answers = {MessageAnswer::Yes};
  window.DeleteKeyPressed();
  window.Cancel();
  EXPECT_EQ(view.closes, 1);
  EXPECT_TRUE(captions.empty());
  ASSERT_EQ(mainPool.Count(), before.size());
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(mainPool.Entries()[i].fields, before[i].fields);
  // Once closed the window holds nothing; the next opening starts from the main pool again.
  window.Closed();
  EXPECT_EQ(window.Tree().NodeCount(), 0u);
  EXPECT_EQ(window.WorkingCopy().Count(), 0u);
  window.Open(false);
  EXPECT_EQ(window.Tree().GetParamValue("ad0"), "A");
  EXPECT_EQ(window.WorkingCopy().Count(), 2u);
}

TEST_F(PoolWindow, ConfirmAfterDeletingEverythingEmptiesTheMainPool) {
  mainPool.Append("A", "bin", dir / "a");
  mainPool.Append("B", "bin", dir / "b");
  window.Open(false);
  for (int i = 0; i < 2; ++i) {
    window.Tree().SelectNode(3);
    prompter.answers = {MessageAnswer::Yes};
    window.DeleteSelectedFromMenu();
  }
  EXPECT_EQ(window.Tree().NodeCount(), 0u);
  window.Confirm();
  EXPECT_EQ(mainPool.Count(), 0u);
  EXPECT_EQ(captions, std::vector<std::string>{"0"});
}

TEST_F(PoolWindow, EditsAreStoredWithoutSpacesInUpperCase) {
  struct Case {
    const char* typed;
    const char* stored;
  };
  const Case cases[] = {{"my key_1", "MYKEY_1"}, {"\xC4\xB1i", "\xC4\xB1I"}, {"   ", "?"}, {"", "?"}};
  mainPool.Append("A", "bin", dir / "a");
  window.Open(false);
  for (const Case& c : cases) {
    Edit("ad0", c.typed);
    EXPECT_EQ(window.Tree().GetParamValue("ad0"), c.stored) << c.typed;
  }
  // An editor opened on the marker starts empty.
  EXPECT_EQ(window.Tree().StartParamEdit(4, "ad0"), "");
}

TEST(PoolWindowKeys, OnlyKeyCharactersAndBackspacePass) {
  for (char32_t c : {U'\b', U'0', U'9', U'A', U'Z', U'a', U'z', U'_'}) EXPECT_TRUE(KeyPasses(c)) << int(c);
  for (char32_t c : {U' ', U'.', U'-', U'\r', U'\t', U'@', U'[', U'`', U'{', U'\u00E7', U'\u0131'}) {
    EXPECT_FALSE(KeyPasses(c)) << int(c);
  }
}

TEST_F(PoolWindow, ExpandAllTogglesOnlyWhenThereAreEntries) {
  window.Open(false);
  window.ToggleExpandAll();
  EXPECT_FALSE(window.AllExpanded());
  mainPool.Append("A", "bin", dir / "a");
  window.Open(false);
  window.ToggleExpandAll();
  EXPECT_TRUE(window.AllExpanded());
  EXPECT_TRUE(window.Tree().IsExpanded(0));
  window.Tree().SetExpanded(0, false);  // by hand: the command's state stays
  window.ToggleExpandAll();
  EXPECT_FALSE(window.AllExpanded());
  window.ToggleExpandAll();
  EXPECT_TRUE(window.Tree().IsExpanded(0));
}

}  // namespace
}  // namespace kovan
