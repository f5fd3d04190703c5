// The pool window's tree on screen: an entry's children show (and its file's
// size is read) when it first opens, the tree answers the tree-view messages, clicking a parameter edits it in place, Enter walks on
// through the parameters, Escape drops an edit and a lost focus keeps it; and
// the window's workbook export.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>

#include "base/text.hpp"
#include "support/recording_prompter.hpp"
#include "support/recording_shell.hpp"
#include "support/test_util.hpp"
#include "windows/pool/pool_window.win32.hpp"

namespace kovan {
namespace {

constexpr size_t kKeyNode = 4;  // of a group of five
constexpr size_t kTypeNode = 2;

class PoolWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"one.ico", "two.bmp", "three.txt"}) {
      test::WriteBytes(dir / name, "data");
      pool.Append("K" + std::to_string(pool.Count()), "T", dir / name);
    }
    ASSERT_TRUE(window.Create(nullptr));
    {
      const ui::ParamTreeView::Bulk bulk(window.Tree());
      window.Logic().Open(false);
    }
    ShowWindow(window.hwnd(), SW_SHOW);
    UpdateWindow(window.hwnd());
  }
  void TearDown() override {
    if (window.hwnd()) DestroyWindow(window.hwnd());
  }

  ParamTreeModel& Model() { return window.Logic().Tree(); }
  HWND Tree() { return window.Tree().hwnd(); }
  HWND Editor() { return window.Tree().Editor(); }

  // Clicks the middle of a parameter, as the user would.
  void ClickParam(size_t node, size_t indexInNode = 0) {
    const std::optional<RECT> r = window.Tree().ParamRect(node, indexInNode);
    ASSERT_TRUE(r.has_value()) << "parameter of node " << node << " is not on screen";
    SendMessageW(Tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2));
    SendMessageW(Tree(), WM_LBUTTONUP, 0, MAKELPARAM((r->left + r->right) / 2, (r->top + r->bottom) / 2));
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) SendMessageW(Editor(), WM_CHAR, *c, 0);
  }
  void Key(WPARAM key) {
    SendMessageW(Editor(), WM_KEYDOWN, key, 0);
    SendMessageW(Editor(), WM_CHAR, key == VK_RETURN ? L'\r' : 0x1B, 0);
  }
  std::string Value(size_t row, bool key = true) {
    return Model().GetParamValue((key ? "ad" : "dosya") + std::to_string(row));
  }
  // The tree's handle for a node: its id.
  HTREEITEM Item(size_t node) { return reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(Model().IdOf(node))); }
  void ExpandGroup(size_t row) {
    HTREEITEM item = TreeView_GetRoot(Tree());
    for (size_t i = 0; i < row; ++i) item = TreeView_GetNextSibling(Tree(), item);
    TreeView_Expand(Tree(), item, TVE_EXPAND);
  }

  test::TempDir dir;
  ResourcePool pool;
  RecordingPrompter prompter;
  RecordingShell shell;
  std::vector<std::string> counts;  // the main panel's caption after a confirm
  PoolWindow window{{prompter, shell, MainPoolLink{pool, [this](const std::string& c) { counts.push_back(c); }}}};
};

// What a timer saw while the pool window showed modally.
struct DuringModal {
  HWND pool = nullptr;
  HWND other = nullptr;
  HWND editor = nullptr;
  bool otherEnabled = true;
  bool editorEnabled = false;
} g_modal;

TEST_F(PoolWindowTest, WhileItShowsModallyTheProgramsOtherWindowsWaitAndItsEditorDoesNot) {
  HWND other = CreateWindowExW(0, L"STATIC", L"settings", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  ShowWindow(window.hwnd(), SW_HIDE);
  g_modal = {window.hwnd(), other, Editor()};
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_modal.otherEnabled = IsWindowEnabled(g_modal.other);
    g_modal.editorEnabled = IsWindowEnabled(g_modal.editor);
    PostMessageW(g_modal.pool, WM_CLOSE, 0, 0);
  });
  window.ShowModal();
  EXPECT_FALSE(g_modal.otherEnabled);
  EXPECT_TRUE(g_modal.editorEnabled);
  EXPECT_TRUE(IsWindowEnabled(other)) << "enabled again once the window closes";
  DestroyWindow(other);
}

TEST_F(PoolWindowTest, TheConfirmButtonActsOnAClickReleasedOverIt) {
  // The confirm button's middle, in design pixels within the window.
  const LPARAM confirm = MAKELPARAM(window.Scale(8 + 416 + 20), window.Scale(8 + 351 + 13));
  const LPARAM elsewhere = MAKELPARAM(window.Scale(200), window.Scale(370));
  SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, confirm);
  EXPECT_TRUE(counts.empty()) << "a press alone does nothing";
  SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, elsewhere);
  EXPECT_TRUE(counts.empty()) << "released away from the button: no click";
  SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, confirm);
  EXPECT_TRUE(counts.empty()) << "a release without a press on the button";
  SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, confirm);
  SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, confirm);
  EXPECT_EQ(counts, std::vector<std::string>{"3"});
}

// A group's children as the tree-view messages give them, in order, with their texts.
std::vector<std::string> ChildTexts(HWND tree, HTREEITEM root) {
  std::vector<std::string> texts;
  for (HTREEITEM child = TreeView_GetChild(tree, root); child; child = TreeView_GetNextSibling(tree, child)) {
    wchar_t text[512] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = child;
    item.pszText = text;
    item.cchTextMax = 512;
    TreeView_GetItem(tree, &item);
    texts.push_back(ToUtf8(text));
  }
  return texts;
}

TEST_F(PoolWindowTest, AnEntrysChildrenShowWhenItFirstOpensAndAllOfThemWhenEverythingOpens) {
  ParamTreeModel& model = Model();
  ASSERT_EQ(model.NodeCount(), 15u);
  EXPECT_EQ(TreeView_GetCount(Tree()), 15u);
  EXPECT_EQ(window.Tree().RowCount(), 3u) << "one row per entry at opening";
  auto childrenOf = [&](size_t row) {
    std::vector<std::string> texts;
    for (size_t k = 1; k < 5; ++k) texts.push_back(model.NodeText(5 * row + k));
    return texts;
  };

  // Opening an entry shows its children, its file's size read then.
  test::WriteBytes(dir / "two.bmp", std::string(2048, 'x'));
  ExpandGroup(1);
  EXPECT_EQ(window.Tree().RowCount(), 7u);
  EXPECT_EQ(ChildTexts(Tree(), Item(5)), childrenOf(1));
  EXPECT_TRUE(childrenOf(1)[2].ends_with(": 2 Kb")) << childrenOf(1)[2];
  EXPECT_TRUE(model.IsExpanded(5));
  EXPECT_TRUE(TreeView_GetItemState(Tree(), Item(5), TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_EQ(window.Tree().RowOf(10 + kKeyNode), std::nullopt);
  RECT folded{};
  EXPECT_FALSE(TreeView_GetItemRect(Tree(), Item(10 + kKeyNode), &folded, TRUE)) << "a folded node has no place";

  test::WriteBytes(dir / "three.txt", std::string(1500, 'x'));
  window.Logic().ToggleExpandAll();
  EXPECT_EQ(window.Tree().RowCount(), 15u);
  EXPECT_TRUE(childrenOf(2)[2].ends_with(": 1 Kb")) << childrenOf(2)[2];
  for (size_t row = 0; row < 3; ++row) {
    EXPECT_EQ(ChildTexts(Tree(), Item(5 * row)), childrenOf(row)) << "row " << row;
    EXPECT_TRUE(TreeView_GetItemState(Tree(), Item(5 * row), TVIS_EXPANDED) & TVIS_EXPANDED) << "row " << row;
  }
  window.Logic().ToggleExpandAll();
  EXPECT_EQ(window.Tree().RowCount(), 3u);

  // A file added to the window shows collapsed and opens like the others.
  const std::string added = dir / "four.wav";
  test::WriteBytes(added, "1234");
  prompter.dialogAnswers.push_back(added);
  window.Logic().AddFile();
  ASSERT_EQ(model.NodeCount(), 20u);
  EXPECT_EQ(window.Tree().RowCount(), 4u);
  ExpandGroup(3);
  EXPECT_EQ(ChildTexts(Tree(), Item(15)), childrenOf(3));

  // Opened again, the window starts over from the main pool, collapsed.
  {
    const ui::ParamTreeView::Bulk bulk(window.Tree());
    window.Logic().Open(false);
  }
  EXPECT_EQ(window.Tree().RowCount(), 3u);
  EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
}

TEST_F(PoolWindowTest, DeletingMovesTheSelectionToTheNextEntryAndItsChildrenStillOpenOnDemand) {
  ExpandGroup(1);
  Model().SelectNode(5 + kKeyNode);
  prompter.answers.push_back(MessageAnswer::Yes);
  SendMessageW(Tree(), WM_KEYDOWN, VK_DELETE, 0);
  ASSERT_EQ(Model().NodeCount(), 10u);
  EXPECT_EQ(window.Tree().RowCount(), 2u) << "the deleted group's rows went with it";
  EXPECT_EQ(Model().Selected(), 5u);
  EXPECT_EQ(TreeView_GetSelection(Tree()), Item(5)) << "the entry that took its place";
  EXPECT_EQ(Value(1), "K2");

  // The renamed parameter of the moved-up entry, whose group has not opened
  // yet, is edited where it shows once selected.
  Model().SelectNode(5 + kKeyNode);
  ClickParam(5 + kKeyNode);
  ASSERT_TRUE(IsWindowVisible(Editor()));
  Type(L"new");
  Key(VK_RETURN);
  EXPECT_EQ(Value(1), "NEW");
  window.Logic().Confirm();
  ASSERT_EQ(pool.Count(), 2u);
  EXPECT_EQ(pool.Field(0, kKeyName), "K0");
  EXPECT_EQ(pool.Field(1, kKeyName), "NEW");
  EXPECT_EQ(pool.Field(1, kFilePath), dir / "three.txt");
}

TEST_F(PoolWindowTest, AClickedParameterGetsItsEditorOverIt) {
  ExpandGroup(1);
  const size_t node = 5 + kKeyNode;
  ClickParam(node);
  ASSERT_TRUE(IsWindowVisible(Editor()));
  EXPECT_EQ(Model().Selected(), node);
  EXPECT_EQ(GetFocus(), Editor());

  RECT param = *window.Tree().ParamRect(node, 0);
  MapWindowPoints(Tree(), nullptr, reinterpret_cast<POINT*>(&param), 2);
  RECT editor{};
  GetWindowRect(Editor(), &editor);
  EXPECT_EQ(editor.left, param.left + 2);
  EXPECT_EQ(editor.top, param.top - 2);
  EXPECT_GE(editor.right - editor.left, std::max<LONG>(param.right - param.left, 16));
  EXPECT_GT(editor.bottom, param.bottom) << "the editor covers the parameter's row";

  // The editor widens as the text grows and never narrows.
  wchar_t text[64] = {};
  GetWindowTextW(Editor(), text, 64);
  EXPECT_STREQ(text, L"K1") << "the editor starts on the value";
  Type(L"A_VERY_LONG_KEY_NAME_THAT_GROWS");  // in place of the selected value
  RECT wider{};
  GetWindowRect(Editor(), &wider);
  EXPECT_GT(wider.right - wider.left, editor.right - editor.left);
}

TEST_F(PoolWindowTest, EnterCommitsAndWalksThroughEveryParameterOpeningCollapsedGroupsAndWrapsToTheFirst) {
  ExpandGroup(0);
  ClickParam(kKeyNode);
  test::WriteBytes(dir / "two.bmp", std::string(5000, 'x'));  // before its entry opens
  Type(L"x y!z");  // the space and '!' are refused as typed
  Key(VK_RETURN);
  EXPECT_EQ(Value(0), "XYZ") << "committed and normalised";

  // Then the type of the second entry, whose group was collapsed, and so on;
  // an entry the walk opens shows its file's size as it is then.
  const size_t walk[] = {5 + kTypeNode, 5 + kKeyNode, 10 + kTypeNode, 10 + kKeyNode, kTypeNode, kKeyNode};
  for (size_t node : walk) {
    ASSERT_TRUE(IsWindowVisible(Editor())) << "no editor for node " << node;
    EXPECT_EQ(Model().Selected(), node);
    EXPECT_TRUE(window.Tree().ParamRect(node, 0).has_value()) << "node " << node << " is shown";
    Key(VK_RETURN);
  }
  const std::vector<std::string> second = ChildTexts(Tree(), Item(5));
  ASSERT_EQ(second.size(), 4u);
  EXPECT_TRUE(second[2].ends_with(": 4 Kb")) << second[2];
  EXPECT_EQ(Value(1), "K1");
  EXPECT_EQ(Value(2, false), "T");
}

TEST_F(PoolWindowTest, EscapeDropsTheEditAndALostFocusKeepsIt) {
  ExpandGroup(2);
  const size_t node = 10 + kKeyNode;
  const std::string before = Model().NodeText(node);
  ClickParam(node);
  Type(L"gone");
  Key(VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(Editor()));
  EXPECT_FALSE(Model().Editing());
  EXPECT_EQ(Model().NodeText(node), before);

  ClickParam(node);
  SendMessageW(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  Type(L"kept");
  SetFocus(Tree());
  EXPECT_FALSE(IsWindowVisible(Editor()));
  EXPECT_EQ(Value(2), "KEPT");
}

TEST_F(PoolWindowTest, ExportsWriteTheWorkbookWhereExcelIsMissingAndThePageInTheSystemsLookAndAnEmptyPoolOnlySaysSo) {
  const std::string path = dir / "pool.xlsx";
  prompter.dialogAnswers.push_back(path);
  window.Logic().RunCommand(PoolCommand::ExportXls);
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].dialog.filter, "xls|xls");
  ASSERT_TRUE(std::filesystem::exists(test::FsPath(path)));
  EXPECT_GT(std::filesystem::file_size(test::FsPath(path)), 0u);

  prompter.dialogAnswers.push_back(dir / "page");
  window.Logic().RunCommand(PoolCommand::ExportHtml);
  ASSERT_EQ(prompter.calls.size(), 2u);
  EXPECT_EQ(prompter.calls[1].dialog.fileName, "") << "each export starts with an empty name";
  const std::string page = test::ReadBytes(dir / "page.html");
  EXPECT_NE(page.find("{background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;"),
            std::string::npos)
      << page.substr(0, 200);
  ASSERT_EQ(shell.executions.size(), 1u);
  EXPECT_EQ(shell.executions[0].verb, ShellVerb::Open);
  EXPECT_EQ(shell.executions[0].target, dir / "page.html");

  // Deleting every entry leaves nothing to export.
  for (int i = 0; i < 3; ++i) {
    prompter.answers.push_back(MessageAnswer::Yes);
    Model().SelectNode(0);
    window.Logic().DeleteKeyPressed();
  }
  ASSERT_EQ(window.Logic().WorkingCopy().Count(), 0u);
  prompter.calls.clear();
  window.Logic().RunCommand(PoolCommand::ExportXml);
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(prompter.calls[0].kind, RecordingPrompter::Call::Info);
}

}  // namespace
}  // namespace kovan
