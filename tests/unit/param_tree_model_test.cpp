#include "controls/param_tree/param_tree_model.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kovan {
namespace {

TEST(ParamMarkup, ReadsValuesAsTheNodeTextHoldsThem) {
  struct Case {
    const char* text;
    const char* name;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {R"(<a href="key" class="EDIT">ICO</a>)", "KEY", "ICO"},
      {R"(<A HREF="Key" CLASS="EDIT">ICO</A>)", "kEY", "ICO"},
      {R"(<a href="ab">1</a> <a href="a">2</a>)", "a", "2"},
      {R"(<a class="EDIT" href="b">x</a><a href="b">y</a>)", "b", "x"},
      {R"(<a href="k" class="EDIT"></a>)", "k", ""},
      {R"(<a href="k" class="EDIT">&lt;&amp;&quot;&gt;</a>)", "k", "&lt;&amp;&quot;&gt;"},
      {R"(<a href="k" class="EDIT">no closing tag)", "k", std::nullopt},
      {R"(<a href="k" class="EDIT" no end of the start tag)", "k", std::nullopt},
      {R"(<a href="k)", "k", std::nullopt},
      {R"(<a href="k">v</a>)", "other", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadRawParam(c.text, c.name), c.value) << c.text;
  }
}

TEST(ParamMarkup, EscapesRoundTripAndTurnBackInTheirOrder) {
  struct Case {
    const char* value;
    const char* escaped;
    const char* readBack;
  };
  const Case cases[] = {
      {R"(a&b<c>d"e)", "a&amp;b&lt;c&gt;d&quot;e", R"(a&b<c>d"e)"},
      {"&lt;", "&amp;lt;", "&lt;"},
      {"&amp;", "&amp;amp;", "&amp;"},
      {"", "", ""},
      // Entities are turned back one after the other, so the text "&quot;"
      // comes back as the character it names.
      {"&quot;", "&amp;quot;", "\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeParamValue(c.value), c.escaped);
    EXPECT_EQ(UnescapeParamValue(c.escaped), c.readBack);
  }
}

TEST(ParamMarkup, WritesOnlyFromTheAnchorOn) {
  std::string text = R"(<B>>v</B> <a href="x" class="EDIT">v</a> <a href="y">v</a>)";
  EXPECT_TRUE(WriteRawParam(text, "X", "w&amp;"));
  EXPECT_EQ(text, R"(<B>>v</B> <a href="x" class="EDIT">w&amp;</a> <a href="y">v</a>)");
  EXPECT_FALSE(WriteRawParam(text, "none", "z"));
  std::string noValue = R"(<a href="x">v)";
  EXPECT_FALSE(WriteRawParam(noValue, "x", "z"));
  EXPECT_EQ(noValue, R"(<a href="x">v)");
}

TEST(ParamMarkup, ReadsRunsForDrawing) {
  const NodeMarkup folder = ReadMarkup(R"(<I>Dosya </I>: <B><FONT color="#004080">C:\d\</FONT></B>a&amp;b.ico)");
  ASSERT_EQ(folder.runs.size(), 4u);
  EXPECT_EQ(folder.runs[0].text, "Dosya ");
  EXPECT_TRUE(folder.runs[0].italic);
  EXPECT_EQ(folder.runs[1].text, ": ");
  EXPECT_FALSE(folder.runs[1].italic);
  EXPECT_EQ(folder.runs[2].text, "C:\\d\\");
  EXPECT_TRUE(folder.runs[2].bold);
  EXPECT_EQ(folder.runs[2].color, 0x004080u);
  EXPECT_EQ(folder.runs[3].text, "a&b.ico");
  EXPECT_FALSE(folder.runs[3].bold);
  EXPECT_EQ(folder.runs[3].color, std::nullopt);

  const NodeMarkup type = ReadMarkup(R"(<IMG SRC="ssys:.ico"> <i>T</i>: <A Href="dosya0" Class="edit">I&lt;O</A>)");
  ASSERT_EQ(type.runs.size(), 5u);
  EXPECT_EQ(type.runs[0].kind, MarkupRun::Kind::Icon);
  EXPECT_EQ(type.runs[0].text, ".ico");
  EXPECT_EQ(type.runs[2].text, "T");
  EXPECT_EQ(type.runs[4].text, "I<O");
  EXPECT_EQ(type.runs[4].param, 0);
  ASSERT_EQ(type.params.size(), 1u);
  EXPECT_EQ(type.params[0].name, "dosya0");
  EXPECT_EQ(type.params[0].paramClass, "EDIT");

  // An empty parameter still has a run to click; an open '<' is text.
  const NodeMarkup empty = ReadMarkup(R"(k: <a href="a" class="EDIT"></a> 1 <2)");
  ASSERT_EQ(empty.runs.size(), 3u);
  EXPECT_EQ(empty.runs[1].text, "");
  EXPECT_EQ(empty.runs[1].param, 0);
  EXPECT_EQ(empty.runs[2].text, " 1 <2");
  EXPECT_EQ(empty.runs[2].param, -1);
}

// Three groups of a root and two children, the children holding "t<i>" and
// "k<i>", as the pool window builds them.
class ParamTree : public ::testing::Test {
 protected:
  ParamTree() {
    for (int i = 0; i < 3; ++i) {
      const size_t root = tree.AddRoot("<B>file" + std::to_string(i) + "</B>");
      tree.AddChild(root, "type: " + Param("t" + std::to_string(i), "T" + std::to_string(i)));
      tree.AddChild(root, "key: " + Param("k" + std::to_string(i), i == 1 ? "?" : "K" + std::to_string(i)));
    }
  }
  static std::string Param(const std::string& name, const std::string& value) {
    return "<a href=\"" + name + "\" class=\"EDIT\">" + value + "</a>";
  }

  ParamTreeModel tree;
};

TEST_F(ParamTree, FindsParametersByNameAndGlobalIndex) {
  EXPECT_EQ(tree.ParamCount(), 6u);
  EXPECT_EQ(tree.GetParamValue("K2"), "K2");
  EXPECT_EQ(tree.GetParamValue("missing"), "");
  EXPECT_EQ(tree.ParamName(3), "K1");
  EXPECT_EQ(tree.ParamName(6), "");
  EXPECT_EQ(tree.ParamIndex("k1"), 3u);
  EXPECT_EQ(tree.ParamIndex("missing"), std::nullopt);
  EXPECT_EQ(tree.ParamNode("T2"), 7u);
  EXPECT_EQ(tree.ParamNode("missing"), std::nullopt);
  EXPECT_EQ(tree.ParamIndexInNode(7, "t2"), 0u);
  EXPECT_EQ(tree.ParamIndexInNode(8, "t2"), std::nullopt);

  // The count is the number of "HREF=" in any case, even where no name can be read.
  tree.AddRoot("<a HREF=unquoted>x</a> Href=");
  EXPECT_EQ(tree.ParamCount(), 8u);
  EXPECT_EQ(tree.ParamName(6), "");
}

TEST_F(ParamTree, EditOpensEmptyOnTheMarkerAndCommitsThroughTheEvents) {
  std::vector<std::string> events;
  tree.OnParamPrepare = [&](ParamTreeModel&, size_t node, const std::string& href, std::string& value) {
    events.push_back("prepare " + std::to_string(node) + " " + href + " [" + value + "]");
  };
  tree.OnParamEditStart = [&](ParamTreeModel&, size_t, const std::string&, std::string& value) {
    events.push_back("start [" + value + "]");
  };
  tree.OnParamEditDone = [&](ParamTreeModel&, size_t node, const std::string& href, std::string& value) {
    events.push_back("done " + std::to_string(node) + " " + href + " [" + value + "]");
    if (value == "lower") value = "<LOWER>";
  };
  tree.OnParamSelect = [&](ParamTreeModel&, size_t, const std::string&, const std::string& value) {
    events.push_back("select [" + value + "]");
  };
  tree.OnParamChanged = [&](ParamTreeModel&, size_t, const std::string&, const std::string& oldValue,
                            const std::string& newValue) {
    events.push_back("changed [" + oldValue + "] [" + newValue + "]");
  };

  EXPECT_EQ(tree.StartParamEdit(5, "K1"), "");
  EXPECT_TRUE(tree.Editing());
  tree.CommitParamEdit("");
  EXPECT_FALSE(tree.Editing());
  EXPECT_EQ(events, (std::vector<std::string>{"prepare 5 k1 []", "start []", "done 5 k1 [?]", "select [?]"}));

  events.clear();
  ASSERT_TRUE(tree.StartParamEdit(5, "k1"));
  tree.CommitParamEdit("lower");
  EXPECT_EQ(events, (std::vector<std::string>{"prepare 5 k1 []", "start []", "done 5 k1 [lower]",
                                              "select [&lt;LOWER&gt;]", "changed [?] [&lt;LOWER&gt;]"}));
  EXPECT_EQ(tree.NodeText(5), "key: " + Param("k1", "&lt;LOWER&gt;"));
  EXPECT_EQ(tree.GetParamValue("k1"), "<LOWER>");

  // Escape: nothing is written and nothing raised after the start.
  events.clear();
  ASSERT_TRUE(tree.StartParamEdit(2, "k0"));
  tree.CancelParamEdit();
  tree.CommitParamEdit("ignored");
  EXPECT_EQ(events.size(), 2u);
  EXPECT_EQ(tree.GetParamValue("k0"), "K0");
}

TEST_F(ParamTree, OnlyEditParametersOpenAnEditor) {
  tree.AddRoot(R"(<a href="plain">v</a> <a href="other" class="TOGGLE">v</a>)");
  EXPECT_EQ(tree.StartParamEdit(9, "plain"), std::nullopt);
  EXPECT_EQ(tree.StartParamEdit(9, "other"), std::nullopt);
  EXPECT_EQ(tree.StartParamEdit(9, "missing"), std::nullopt);
  EXPECT_FALSE(tree.Editing());
}

TEST_F(ParamTree, ArrowsMoveTheFocusWithinANodeOfSeveralParameters) {
  tree.AddRoot(Param("a", "1") + " " + Param("b", "2"));
  tree.SelectNode(9);
  EXPECT_TRUE(tree.MoveFocusedParam(+1));
  EXPECT_TRUE(tree.MoveFocusedParam(+1));
  EXPECT_EQ(tree.FocusedParamName(), "b");
  tree.SelectNode(1);  // fewer parameters: back to the first
  EXPECT_EQ(tree.FocusedParam(), 0u);
  EXPECT_FALSE(tree.MoveFocusedParam(+1));
  tree.SelectNode(9);
  EXPECT_TRUE(tree.MoveFocusedParam(-1));
  EXPECT_EQ(tree.FocusedParamName(), "a");
}

TEST_F(ParamTree, CommitGoesToTheEditedNodeAndIsDroppedWhenItIsGone) {
  ASSERT_TRUE(tree.StartParamEdit(1, "t0"));
  tree.SelectNode(4);
  tree.CommitParamEdit("X");
  EXPECT_EQ(tree.GetParamValue("t0"), "X");
  EXPECT_EQ(tree.GetParamValue("t1"), "T1");

  ASSERT_TRUE(tree.StartParamEdit(4, "t1"));
  tree.DeleteNode(3);
  tree.CommitParamEdit("Y");
  EXPECT_EQ(tree.GetParamValue("t2"), "T2");
  EXPECT_EQ(tree.NodeCount(), 6u);
}

TEST_F(ParamTree, AdvanceWalksTheGlobalOrderThroughCollapsedGroupsAndWraps) {
  tree.SelectNode(8);
  ASSERT_TRUE(tree.StartParamEdit(8, "k2"));
  tree.CommitParamEdit("K2");
  std::vector<size_t> visited;
  for (int i = 0; i < 7; ++i) {
    const std::optional<ParamLocation> next = tree.Advance();
    ASSERT_TRUE(next);
    EXPECT_EQ(tree.Selected(), next->node);
    visited.push_back(next->node);
  }
  EXPECT_EQ(visited, (std::vector<size_t>{1, 2, 4, 5, 7, 8, 1}));
  EXPECT_TRUE(tree.IsExpanded(0));
  EXPECT_TRUE(tree.IsExpanded(6));

  EXPECT_EQ(tree.FocusedParamName(), "t0");
  tree.SelectNode(0);  // a node without parameters
  EXPECT_EQ(tree.FocusedParamName(), std::nullopt);
  EXPECT_EQ(tree.Advance(), std::nullopt);
}

TEST_F(ParamTree, DeletingAGroupKeepsLookupsAndIdsInStep) {
  const NodeId lastRoot = tree.IdOf(6);
  tree.SelectNode(7);
  tree.DeleteNode(3);
  EXPECT_EQ(tree.NodeCount(), 6u);
  EXPECT_EQ(tree.ParamCount(), 4u);
  EXPECT_EQ(tree.IndexOf(lastRoot), 3u);
  EXPECT_EQ(tree.Selected(), 4u);
  EXPECT_EQ(tree.ParamNode("t2"), 4u);
  EXPECT_EQ(tree.ParamIndex("k2"), 3u);
  EXPECT_EQ(tree.ParamNode("t1"), std::nullopt);

  EXPECT_TRUE(tree.RenameParam(4, "T2", "t1"));
  EXPECT_EQ(tree.NodeText(4), "type: " + Param("t1", "T2"));
  EXPECT_EQ(tree.ParamNode("t1"), 4u);
  EXPECT_EQ(tree.ParamNode("t2"), std::nullopt);
  EXPECT_FALSE(tree.RenameParam(4, "t2", "x"));

  // A child added to an earlier root shifts everything behind it.
  tree.AddChild(0, "more: " + Param("m", "M"));
  EXPECT_EQ(tree.ParamNode("t1"), 5u);
  EXPECT_EQ(tree.ParamIndex("t1"), 3u);
  EXPECT_EQ(tree.ParamName(2), "M");
  EXPECT_EQ(tree.Parent(3), 0u);

  tree.Clear();
  EXPECT_EQ(tree.ParamCount(), 0u);
  EXPECT_EQ(tree.ParamNode("m"), std::nullopt);
}

TEST_F(ParamTree, ShownNodesAreTheRootsAndTheChildrenOfOpenShownNodes) {
  // A third level under the middle group's first child.
  tree.AddChild(4, "deep");
  ASSERT_EQ(tree.NodeCount(), 10u);
  using Nodes = std::vector<size_t>;
  EXPECT_EQ(tree.ShownNodes(), (Nodes{0, 3, 7}));
  tree.SetExpanded(4, true);  // open, but inside a closed group
  EXPECT_EQ(tree.ShownNodes(), (Nodes{0, 3, 7}));
  tree.SetExpanded(3, true);
  EXPECT_EQ(tree.ShownNodes(), (Nodes{0, 3, 4, 5, 6, 7}));
  tree.SetExpanded(4, false);
  EXPECT_EQ(tree.ShownNodes(), (Nodes{0, 3, 4, 6, 7}));
  tree.SetAllExpanded(true);
  EXPECT_EQ(tree.ShownNodes().size(), 10u);

  EXPECT_EQ(tree.NextSibling(0), 3u);
  EXPECT_EQ(tree.NextSibling(4), 6u) << "past the child's own children";
  EXPECT_EQ(tree.NextSibling(6), std::nullopt) << "a last child";
  EXPECT_EQ(tree.NextSibling(7), std::nullopt) << "the last root";
}

TEST_F(ParamTree, ChildrenAreFilledInOnceWhenFirstShownOrRead) {
  std::vector<size_t> shown;
  tree.OnChildrenFirstShown = [&](ParamTreeModel& sender, size_t node) {
    shown.push_back(node);
    const std::string root = sender.NodeText(node);
    sender.SetNodeText(node + 1, sender.NodeText(node + 1) + " of " + root);
  };
  const std::string typeOfFile0 = "type: " + Param("t0", "T0") + " of <B>file0</B>";

  tree.ShowChildren(0);
  tree.ShowChildren(0);
  EXPECT_EQ(shown, std::vector<size_t>{0});
  EXPECT_EQ(tree.NodeText(1), typeOfFile0);
  // Reading a child of a group never shown fills its group first.
  EXPECT_EQ(tree.NodeText(8), "key: " + Param("k2", "K2"));
  EXPECT_EQ(shown, (std::vector<size_t>{0, 6}));
  EXPECT_EQ(tree.GetParamValue("t2"), "T2");

  // Groups behind a deleted one keep what they were told; a child added to
  // children already shown is not filled again, one added to a group never
  // shown waits with the others.
  tree.DeleteNode(3);
  const size_t added = tree.AddChild(0, "size: 4 Byte");
  EXPECT_EQ(tree.NodeText(added), "size: 4 Byte");
  const size_t root = tree.AddRoot("<B>file3</B>");
  tree.AddChild(root, "type: " + Param("t3", "T3"));
  EXPECT_EQ(shown, (std::vector<size_t>{0, 6}));
  EXPECT_EQ(tree.NodeText(root + 1), "type: " + Param("t3", "T3") + " of <B>file3</B>");
  EXPECT_EQ(shown, (std::vector<size_t>{0, 6, root}));
  EXPECT_EQ(tree.NodeText(2), "key: " + Param("k0", "K0"));
  EXPECT_EQ(tree.ParamCount(), 5u);

  // Clearing starts over.
  tree.Clear();
  const size_t again = tree.AddRoot("<B>new</B>");
  tree.AddChild(again, "type: " + Param("t0", "N"));
  tree.ShowChildren(again);
  EXPECT_EQ(shown.back(), again);
  EXPECT_EQ(shown.size(), 4u);
}

TEST_F(ParamTree, RepeatedNamesAnswerWithTheFirstInGlobalOrder) {
  tree.SetNodeText(1, "type: " + Param("k2", "first"));
  EXPECT_EQ(tree.GetParamValue("K2"), "first");
  EXPECT_EQ(tree.ParamIndex("k2"), 0u);
  tree.DeleteNode(0);
  EXPECT_EQ(tree.GetParamValue("k2"), "K2");
  EXPECT_EQ(tree.ParamIndex("k2"), 3u);
}

}  // namespace
}  // namespace kovan
