// The parameter tree's data: nodes whose texts are written in a small markup,
// the named, editable parameters inside those texts, and the edit of one
// parameter from its start to its commit. The Win32 tree control shows the
// nodes, draws each node from ReadMarkup and hands clicks and keys back here.
//
// Markup: <B>, <I>, <FONT color="#RRGGBB">, <img src="ssys:X"> and parameters,
// which are anchors <a href="NAME" class="EDIT">VALUE</a>. Tag and attribute
// names are matched without regard to ASCII case; so are parameter names.
// Values are held escaped in the node texts (EscapeParamValue).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kovan {

// "&" becomes "&amp;" first, then "<", ">" and the double quote become "&lt;",
// "&gt;" and "&quot;".
std::string EscapeParamValue(std::string_view value);
// "&lt;", "&gt;", "&amp;" and "&quot;" turned back one after the other, in that
// order. A value holding the text "&quot;" itself therefore reads back as a
// double quote; every other value reads back as it was written.
std::string UnescapeParamValue(std::string_view raw);

// One anchor of a node text, found the way values are read: each `href="`
// (any case) starts one, its name runs to the next double quote. The value
// starts after the next `>` and runs to the next `<`; without either the
// anchor has no value.
struct ParamAnchor {
  std::string name;                     // as written
  std::string paramClass;               // the start tag's class, upper-cased; "" when none
  size_t hrefBegin = 0;                 // offset of `href="` in the text
  size_t nameBegin = 0;                 // offset of the name
  std::optional<std::string> rawValue;  // the escaped value
  size_t valueBegin = 0;                // offsets of the value, when there is one
  size_t valueEnd = 0;
};
std::vector<ParamAnchor> FindParamAnchors(std::string_view text);

// The number of "HREF=" in any case: what the tree counts as its parameters.
size_t CountHrefs(std::string_view text);

// The escaped value of the first anchor called `name`; nothing when the text
// has no such anchor or the anchor has no value.
std::optional<std::string> ReadRawParam(std::string_view text, std::string_view name);
// Puts `rawValue` (already escaped) in place of the named anchor's value:
// from the anchor's `href="NAME"` on, the first `>` + old value + `</` (any
// case) becomes `>` + new value + `</`. False, with the text unchanged, when
// the anchor is absent, has no value or that sequence is not found.
bool WriteRawParam(std::string& text, std::string_view name, std::string_view rawValue);

// A piece of a node's text as it is drawn: text in one style, or an icon.
struct MarkupRun {
  enum class Kind { Text, Icon };
  Kind kind = Kind::Text;
  // Text: the characters to draw, entities decoded. Icon: the X of
  // src="ssys:X", an icon index when it is a decimal number, else a file name.
  std::string text;
  bool bold = false;
  bool italic = false;
  std::optional<uint32_t> color;  // 0xRRGGBB of a FONT tag; nothing: the tree's own colour
  // The index among the node's anchors of the parameter the run belongs to,
  // or -1. A parameter with an empty value still gets one empty run, so the
  // layout can give it a place to click.
  int param = -1;
};

struct NodeMarkup {
  std::vector<MarkupRun> runs;
  std::vector<ParamAnchor> params;  // FindParamAnchors of the same text
};

// Reads a node text for drawing. Unknown tags are skipped; a `<` that no `>`
// closes is drawn as text with what follows it.
NodeMarkup ReadMarkup(std::string_view text);

// A parameter's place: its node's absolute index and its index among the
// node's anchors.
struct ParamLocation {
  size_t node = 0;
  size_t indexInNode = 0;
  bool operator==(const ParamLocation&) const = default;
};

using NodeId = uint64_t;

// What the tree control learns of the model's changes. A selection is told
// even when the control reported it itself, so the control must treat a
// selection it already shows as done. Hand expansions the control reports
// (SetExpanded) are not told back.
class ParamTreeListener {
 public:
  virtual ~ParamTreeListener() = default;
  virtual void Cleared() {}
  // `count` nodes now stand at `first` onwards.
  virtual void NodesInserted(size_t /*first*/, size_t /*count*/) {}
  // The node that stood at `first` is gone with its descendants, the nodes
  // up to `first + count - 1`. A selected node among them leaves the model
  // with no selection.
  virtual void NodesDeleted(size_t /*first*/, size_t /*count*/) {}
  virtual void NodeTextChanged(size_t /*index*/) {}
  virtual void AllExpandedChanged(bool /*expanded*/) {}
  // The selected node (its collapsed ancestors are expanded by then).
  virtual void SelectionChanged(std::optional<size_t> /*index*/) {}
};

// Nodes are addressed by their absolute index in display order, collapsed
// nodes counted: a node's children follow it. Each node also has an id that
// stays its own until it is deleted (the tree control hands it out as the
// node's item handle).
//
// Costs: appending a node, reading, writing or renaming a parameter and every
// lookup by name or global index are O(1) or O(log n); parameter names are
// indexed (lower-cased name -> places in global order) and kept current on
// every change. The index is made by the first lookup by name, in one pass,
// so filling a large tree that is only looked at never pays for it.
// Inserting or deleting nodes before the end costs O(n) for the nodes and
// parameters behind them, which shift.
class ParamTreeModel {
 public:
  ParamTreeModel() = default;
  ParamTreeModel(const ParamTreeModel&) = delete;
  ParamTreeModel& operator=(const ParamTreeModel&) = delete;

  void SetListener(ParamTreeListener* listener) { listener_ = listener; }

  // --- Nodes
  void Clear();
  // Appends a root node; returns its index.
  size_t AddRoot(std::string text);
  // Adds a last child of `parent`; returns its index.
  size_t AddChild(size_t parent, std::string text);
  // Deletes the node with all its descendants.
  void DeleteNode(size_t index);
  void Reserve(size_t nodes);

  size_t NodeCount() const { return nodes_.size(); }
  // Reading a child's text first lets its parent's children be filled in
  // (ShowChildren), so a text read is the text that would be shown.
  const std::string& NodeText(size_t index);
  void SetNodeText(size_t index, std::string text);
  int NodeLevel(size_t index) const { return nodes_[index].level; }
  std::optional<size_t> Parent(size_t index) const;
  bool HasChildren(size_t index) const;
  // The next node of the same parent; nothing for a last child or last root.
  std::optional<size_t> NextSibling(size_t index) const;
  NodeId IdOf(size_t index) const { return nodes_[index].id; }
  std::optional<size_t> IndexOf(NodeId id) const;

  // Called before a node's children are shown for the first time: raises
  // OnChildrenFirstShown once for the node, so that its owner can fill in
  // what is only worth working out for children that are seen. A node added
  // later to children already shown needs no filling.
  void ShowChildren(size_t node);

  bool IsExpanded(size_t index) const { return nodes_[index].expanded; }
  void SetExpanded(size_t index, bool expanded);
  // Expands or collapses every node.
  void SetAllExpanded(bool expanded);
  // The nodes a tree on screen shows, in display order: every root, and the
  // children of each shown node that is expanded. One pass over the nodes.
  std::vector<size_t> ShownNodes() const;

  std::optional<size_t> Selected() const { return selected_; }
  // Selects a node (expanding its collapsed ancestors) or nothing.
  void SelectNode(std::optional<size_t> index);

  // --- Parameters
  const std::string& EmptyParam() const { return emptyParam_; }
  void SetEmptyParam(std::string marker) { emptyParam_ = std::move(marker); }

  // The number of "HREF=" (any case) in all node texts.
  size_t ParamCount() const { return hrefTotal_; }
  // The unescaped value of the first parameter called `name` in global
  // order; "" when there is none or it has no value.
  std::string GetParamValue(std::string_view name) const;
  // The name, upper-cased, of the parameter at a global index; "" out of range.
  std::string ParamName(size_t globalIndex) const;
  std::optional<size_t> ParamIndex(std::string_view name) const;
  std::optional<size_t> ParamNode(std::string_view name) const;
  std::optional<size_t> ParamIndexInNode(size_t node, std::string_view name) const;
  std::optional<ParamLocation> ParamAt(size_t globalIndex) const;
  size_t NodeParamCount(size_t node) const { return nodes_[node].paramCount; }
  // The parameter after the one called `name` in global order (the first
  // after the last), at the first node that holds its name.
  std::optional<ParamLocation> NextParam(std::string_view name) const;

  // Writes `value` (escaped here) into the node's parameter: raises
  // OnParamSelect with the escaped value, replaces the text, then raises
  // OnParamChanged with the old and new escaped values when they differ.
  // Nothing happens when the node has no such parameter.
  void SetParamValue(size_t node, std::string_view name, std::string_view value);
  // Gives a parameter of a node another name; its value stays. False when the
  // node has no parameter called `oldName`.
  bool RenameParam(size_t node, std::string_view oldName, std::string_view newName);

  // --- Editing
  // Opens an edit of a parameter of class EDIT: the focused parameter becomes
  // this one, the value is unescaped (the empty marker reads as ""), and
  // OnParamPrepare and then OnParamEditStart may change it. Returns the
  // editor's starting text; nothing when the node has no such parameter or it
  // is not of class EDIT.
  std::optional<std::string> StartParamEdit(size_t node, std::string_view name);
  // Commits the open edit into the node it was opened on (even when another
  // node has been selected since): "" becomes the empty marker, then
  // OnParamEditDone may change the value, then it is written (SetParamValue).
  void CommitParamEdit(std::string text);
  // Escape: closes the edit without writing or raising anything.
  void CancelParamEdit() { edit_.reset(); }
  bool Editing() const { return edit_.has_value(); }

  // The keyboard's parameter within the selected node.
  size_t FocusedParam() const { return focusedParam_; }
  // Its name (lower-cased), for Enter on the tree; nothing when the selected
  // node holds no parameter or nothing is selected.
  std::optional<std::string> FocusedParamName() const;
  // Left (-1) and Right (+1) within a node of several parameters, kept inside
  // the node; false when the selected node has fewer than two (the key then
  // keeps its tree meaning).
  bool MoveFocusedParam(int step);
  // After Enter in the editor: selects the node of the parameter that follows
  // the focused one in global order and focuses it there. Nothing when no
  // parameter is focused. The caller starts its edit when it has a class.
  std::optional<ParamLocation> Advance();

  // Events; the owner sets the ones it needs. The node is an absolute index.
  using EditEvent =
      std::function<void(ParamTreeModel& sender, size_t node, const std::string& href, std::string& value)>;
  using SelectEvent =
      std::function<void(ParamTreeModel& sender, size_t node, const std::string& href, const std::string& value)>;
  using ChangedEvent = std::function<void(ParamTreeModel& sender, size_t node, const std::string& href,
                                          const std::string& oldValue, const std::string& newValue)>;
  EditEvent OnParamEditDone;    // on commit, before the write; may change the value
  EditEvent OnParamEditStart;   // when an editor opens
  EditEvent OnParamPrepare;     // when an editor opens, before OnParamEditStart
  SelectEvent OnParamSelect;    // before a value is written (escaped)
  ChangedEvent OnParamChanged;  // after a write that changed the value (escaped values)
  SelectEvent OnParamEnter;     // the control raises these two on hover (escaped values)
  SelectEvent OnParamExit;
  // Once per node, before its children are first shown or read; the handler
  // may change their texts.
  using NodeEvent = std::function<void(ParamTreeModel& sender, size_t node)>;
  NodeEvent OnChildrenFirstShown;

 private:
  struct Node {
    NodeId id = 0;
    int level = 0;
    bool expanded = false;
    bool childrenShown = false;  // ShowChildren has run for it
    bool awaitsFill = false;     // a child whose parent's children were never shown
    std::string text;
    // Its anchors' names, lower-cased, left to right, each ended by a double
    // quote (which ends a name, so none holds one). One string rather than a
    // list: most nodes have no name or one short one, which then costs no
    // allocation of its own.
    std::string names;
    size_t paramCount = 0;
    size_t hrefs = 0;
  };
  // The places of one name in global order. A name is nearly always unique,
  // so its first place is held in line.
  class Places {
   public:
    bool empty() const { return !any_; }
    const ParamLocation& front() const { return first_; }
    void insert(const ParamLocation& place);
    void erase(const ParamLocation& place);
    // Moves every place at or behind node `from` by `delta` nodes.
    void Shift(size_t from, std::ptrdiff_t delta);

   private:
    bool any_ = false;
    ParamLocation first_;
    std::vector<ParamLocation> rest_;  // behind first_, in order
  };
  struct OpenEdit {
    NodeId node;
    std::string name;
  };
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  using NameIndex = std::unordered_map<std::string, Places, NameHash, std::equal_to<>>;

  size_t SubtreeEnd(size_t index) const;
  // The node's `k`th name (lower-cased).
  static std::string_view NameAt(const Node& node, size_t k);
  size_t InsertNode(size_t at, int level, std::string text, bool awaitsFill);
  void ParseNode(Node& node) const;
  // Makes the name index when it is not there yet.
  void IndexAllNames() const;
  void IndexNode(size_t index);
  void AddToNameIndex(size_t index) const;
  void UnindexNode(size_t index);
  // Moves every place at or behind `from` by `delta` nodes.
  void ShiftIndexes(size_t from, std::ptrdiff_t delta);
  void RecountFrom(size_t index);
  void ReplaceText(size_t index, std::string text);
  const ParamLocation* First(std::string_view name) const;

  std::vector<Node> nodes_;
  // Global index of each node's first parameter; one more element than nodes
  // (the last is the total).
  std::vector<size_t> firstParam_{0};
  // The places of each name in global order, once namesIndexed_.
  mutable NameIndex byName_;
  mutable bool namesIndexed_ = false;
  // The node index of each id from firstId_ on (ids are handed out one by
  // one); kNoNode for a deleted node.
  static constexpr size_t kNoNode = static_cast<size_t>(-1);
  std::vector<size_t> indexOfId_;
  NodeId firstId_ = 1;
  size_t hrefTotal_ = 0;
  NodeId nextId_ = 1;
  std::optional<size_t> selected_;
  size_t focusedParam_ = 0;
  std::optional<OpenEdit> edit_;
  std::string emptyParam_ = "?";
  ParamTreeListener* listener_ = nullptr;  // not owned
};

}  // namespace kovan
