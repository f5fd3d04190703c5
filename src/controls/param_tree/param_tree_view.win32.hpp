// The parameter tree on screen: a control of its own that draws the rows of a
// ParamTreeModel (lines, buttons, each node's markup), scrolls over them, and
// edits parameters in a pop-up edit placed over the clicked value.
//
// It holds no item per node: what it shows is worked out from the model (the
// roots and the children of expanded nodes), and only the rows in sight are
// laid out and drawn. Opening a pool of 100,000 entries therefore costs what
// the model costs, and expanding or collapsing everything is one pass over
// the nodes.
//
// Screen readers see it as an outline of the rows on show. For tools that read
// trees through messages (the end-to-end tests among them) it answers the
// read-only tree-view messages and TVM_EXPAND and TVM_SELECTITEM; an item
// handle is the node's id.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "controls/param_tree/param_tree_accessible.win32.hpp"
#include "controls/param_tree/param_tree_model.hpp"
#include "win32/dpi.win32.hpp"
#include "win32/gdi.win32.hpp"
#include "win32/window_base.win32.hpp"

namespace kovan::ui {

// The control's window class, as other programs see it.
inline constexpr wchar_t kParamTreeClass[] = L"KovanParamTree";

class ParamTreeView : public WindowBase, private ParamTreeListener, private AccessibleOutline {
 public:
  struct Callbacks {
    std::function<void()> deleteKey;             // the Delete key on the tree
    std::function<void(POINT screen)> openMenu;  // a right click, or the menu key
    std::function<bool(char32_t c)> keyFilter;   // characters typed on the tree and in the editor
  };

  explicit ParamTreeView(ParamTreeModel& model);
  ~ParamTreeView() override;

  // Makes the tree as a child of `parent` (bounds in pixels) and its editor,
  // a pop-up owned by the parent's top-level window.
  [[nodiscard]] bool Create(HWND parent, const RECT& bounds, UINT dpi, Callbacks callbacks);
  HWND Editor() const { return editor_.hwnd(); }
  // The font the markup is drawn in (its bold, italic and underlined forms are
  // made from it) and the row height for the DPI.
  void SetFont(const LOGFONTW& font, UINT dpi);

  // Bulk changes (filling, expanding everything) work out the rows and
  // repaint once, at the end.
  class Bulk {
   public:
    explicit Bulk(ParamTreeView& view);
    ~Bulk();
    Bulk(const Bulk&) = delete;
    Bulk& operator=(const Bulk&) = delete;

   private:
    ParamTreeView& view_;
  };

  // The node's row among those shown (collapsed-away nodes have none).
  std::optional<size_t> RowOf(size_t node);
  size_t RowCount() { return Rows().size(); }
  // The first row in sight.
  size_t TopRow() const { return topRow_; }
  // The parameter's rectangle in the client area as it is drawn; nothing when
  // its node is folded away. Lays out that one node.
  std::optional<RECT> ParamRect(size_t node, size_t indexInNode);
  // Opens the editor on a parameter, as a click on it does.
  bool EditParam(size_t node, size_t indexInNode);
  bool EditorOpen() const { return editorOpen_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc) override;
  // The parent hands its DPI on through SetFont.
  void OnDpiChanged(UINT, const RECT&) override {}

 private:
  // The pop-up editor: an edit control whose messages come back to the view.
  class EditorWindow : public WindowBase {
   public:
    explicit EditorWindow(ParamTreeView& view) : view_(view) {}
    bool Create(HWND owner);
    LRESULT Pass(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override { return view_.OnEditorMessage(msg, wp, lp); }
    // The tree sizes the editor for its own DPI whenever it opens it.
    void OnDpiChanged(UINT, const RECT&) override {}

   private:
    ParamTreeView& view_;
  };

  // ParamTreeListener
  void Cleared() override;
  void NodesInserted(size_t first, size_t count) override;
  void NodesDeleted(size_t first, size_t count) override;
  void NodeTextChanged(size_t index) override;
  void AllExpandedChanged(bool expanded) override;
  void SelectionChanged(std::optional<size_t> index) override;

  LRESULT OnEditorMessage(UINT msg, WPARAM wp, LPARAM lp);

  // AccessibleOutline
  HWND OutlineWindow() const override { return hwnd(); }
  size_t OutlineRowCount() override { return Rows().size(); }
  std::wstring OutlineRowText(size_t row) override;
  int OutlineRowLevel(size_t row) override;
  RowState OutlineRowState(size_t row) override;
  RECT OutlineRowScreenRect(size_t row) override;
  std::optional<size_t> OutlineSelectedRow() override;
  std::optional<size_t> OutlineRowAt(POINT screen) override;
  void OutlineSelectRow(size_t row) override { SelectRow(row); }
  void OutlineToggleRow(size_t row) override;

  // --- Rows
  // The shown nodes in order, worked out again after a change.
  const std::vector<size_t>& Rows();
  // The rows changed: worked out again, the scroll bars set and the tree
  // repainted, at once or at the end of a bulk change.
  void RowsChanged();
  void Refresh();
  int RowHeight() const { return Px(kRowHeight); }
  int Indent() const { return Px(kIndent); }
  // Rows wholly in sight (at least one).
  size_t PageRows() const;
  // The row's top in the client area (negative or below it when out of sight).
  int RowTop(size_t row) const;
  // The row under a point of the client area.
  std::optional<size_t> RowAt(POINT pt);
  // Where a node's text starts, and its button's middle, in the client area.
  int TextLeft(size_t node) const;
  int ButtonCentre(size_t node) const;
  void ScrollToRow(size_t top);
  void ScrollSideways(int x);
  // Brings a row into sight, at its start, scrolling as little as it can.
  void ShowRow(size_t row);
  void ShowNode(size_t node);
  void UpdateScrollBars();
  void InvalidateNode(size_t node);
  // Opens or closes a node by hand: its children are filled in when they
  // first show, and a selection inside a closed node moves up to it.
  void Expand(size_t node, bool expand);
  void ExpandSubtree(size_t node);
  void SelectRow(size_t row);

  // One node's markup laid out in its row: each parameter's rectangle.
  struct Layout {
    RECT row{};
    RECT label{};  // from the text's start to the end of what is drawn
    std::vector<RECT> params;  // by index in the node
  };
  // Lays out (and with `draw`, draws into `dc`) one node whose row starts at
  // `top` in the client area.
  Layout LayOut(HDC dc, size_t node, int top, bool draw);
  std::optional<Layout> LayOutNode(size_t node);
  // The parameter under a point of the client area.
  struct ParamHit {
    size_t node = 0;
    size_t param = 0;
    RECT rect{};
  };
  std::optional<ParamHit> ParamAtPoint(POINT pt);

  // --- Drawing
  static constexpr int kIndent = 19;     // design pixels
  static constexpr int kRowHeight = 16;  // design pixels
  // Design pixels (at 96 DPI) at the DPI the tree is drawn for.
  int Px(int designPixels) const { return dpi::Scale(designPixels, fontDpi_); }
  HFONT FontFor(bool bold, bool italic, bool underline);
  int IconIndex(const std::string& source);
  void DrawLinesAndButton(HDC dc, size_t node, int top);

  // --- Mouse and keys
  void OnMouseMove(POINT pt);
  void ClearHover();
  // OnParamEnter or OnParamExit for a parameter, with its current value.
  void RaiseHoverEvent(const ParamTreeModel::SelectEvent& event, const ParamHit& hit);
  void OnLeftButtonDown(POINT pt);
  void OnDoubleClick(POINT pt);
  void OnWheel(int delta, bool sideways);
  void OnScroll(int bar, WORD request);
  bool OnKeyDown(WPARAM key);
  LRESULT OnChar(WPARAM wp, LPARAM lp);
  // Typing on the tree selects the next row whose shown text starts with
  // what was typed, as in any tree; a pause starts a new search.
  void TypeAhead(wchar_t c);
  void OpenMenu(POINT screen);
  // Where a menu opened from the keyboard shows, on the screen.
  POINT KeyboardMenuPoint();

  // --- What tools outside read: the tree-view messages
  std::optional<LRESULT> OnTreeViewMessage(UINT msg, WPARAM wp, LPARAM lp);
  std::optional<size_t> NodeOfHandle(LPARAM handle) const;
  LRESULT HandleOf(std::optional<size_t> node) const;
  UINT StateOf(size_t node) const;  // TVIS_EXPANDED and TVIS_SELECTED

  // --- Editing
  void StartEdit(size_t node, size_t indexInNode, const RECT& paramRect);
  // Closes an open editor: commits its text or drops it. With `refocus`, the
  // keyboard goes back to the tree; with `hide`, the editor hides.
  void CloseEditor(bool commit, bool refocus, bool hide);
  void AdvanceEdit();
  void WidenEditor();

  ParamTreeModel& model_;
  EditorWindow editor_{*this};
  OutlineAccessibility accessibility_{*this};
  Callbacks callbacks_;
  std::vector<size_t> rows_;  // the shown nodes, once worked out
  bool rowsStale_ = true;
  int bulkDepth_ = 0;
  bool refreshPending_ = false;
  bool barsPosted_ = false;    // kTreeRowsChanged is on its way
  bool updatingBars_ = false;  // setting the bars resizes the client area
  size_t topRow_ = 0;
  int scrollX_ = 0;        // pixels scrolled sideways
  int contentWidth_ = 0;   // the widest row laid out since the tree was filled
  int wheelDelta_ = 0;     // wheel turns short of a whole step
  std::wstring typed_;     // the search typed so far
  ULONGLONG typedAt_ = 0;  // when its last character came
  UINT fontDpi_ = 96;      // the DPI the fonts and sizes are for: the parent window's
  LOGFONTW font_{};
  std::array<gdi::Font, 8> fonts_;  // by bold | italic << 1 | underline << 2
  gdi::Font editorFont_;
  HIMAGELIST systemIcons_ = nullptr;  // the shell's; not owned
  std::unordered_map<std::string, int> iconIndexes_;
  std::optional<ParamHit> hover_;  // the parameter under the mouse
  bool tracking_ = false;
  // The editor.
  bool editorOpen_ = false;
  int editorWidth_ = 0;
};

}  // namespace kovan::ui
