// The parameter tree on screen: a native tree view that mirrors a
// ParamTreeModel, keeps each node's markup as its item text, hides the native
// text and draws the markup over it, and edits parameters in a pop-up edit
// placed over the clicked value.
//
// The native items are made lazily: a node's children get their items when
// the node is first expanded (by the user, by expanding everything, or by a
// selection that has to show one of them), so opening a large pool inserts
// one item per entry instead of five.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "controls/param_tree/param_tree_model.hpp"
#include "win32/dpi.win32.hpp"
#include "win32/gdi.win32.hpp"
#include "win32/window_base.win32.hpp"

namespace kovan::ui {

class ParamTreeView : public WindowBase, private ParamTreeListener {
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
  bool Create(HWND parent, const RECT& bounds, UINT dpi, Callbacks callbacks);
  HWND Editor() const { return editor_.hwnd(); }
  // The font the markup is drawn in (its bold, italic and underlined forms are
  // made from it) and the row height for the DPI.
  void SetFont(const LOGFONTW& font, UINT dpi);
  // The parent hands on the tree's WM_NOTIFY; nothing when it was not the
  // tree's.
  std::optional<LRESULT> OnNotify(const NMHDR& header);

  // Bulk changes (filling, expanding everything) run with drawing off.
  class Bulk {
   public:
    explicit Bulk(ParamTreeView& view);
    ~Bulk();
    Bulk(const Bulk&) = delete;
    Bulk& operator=(const Bulk&) = delete;

   private:
    ParamTreeView& view_;
  };

  // The native item of a node; nothing until its parent's children are made.
  HTREEITEM ItemOf(size_t node) const { return node < mirror_.size() ? mirror_[node].item : nullptr; }
  // The parameter's rectangle in the tree's client area as it is drawn; nothing
  // when its row is not on screen. Lays out that one node.
  std::optional<RECT> ParamRect(size_t node, size_t indexInNode);
  // Opens the editor on a parameter, as a click on it does.
  bool EditParam(size_t node, size_t indexInNode);
  bool EditorOpen() const { return editorOpen_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

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

  // One node's markup laid out in its row: each parameter's rectangle.
  struct Layout {
    RECT row{};
    std::vector<RECT> params;  // by index in the node
  };
  // Lays out (and with `draw`, draws into `dc`) one node whose item is `item`.
  std::optional<Layout> LayOut(HDC dc, HTREEITEM item, size_t node, bool draw);
  // The parameter under a point of the client area.
  struct ParamHit {
    size_t node = 0;
    size_t param = 0;
    RECT rect{};
  };
  std::optional<ParamHit> ParamAtPoint(POINT pt);

  // --- The native items
  struct Mirror {
    HTREEITEM item = nullptr;
    bool childrenMade = false;  // its children have their items
  };
  HTREEITEM InsertItem(size_t node);
  // Items for the children of a node that has an item, and for theirs where
  // the model has them expanded.
  void MakeChildItems(size_t node);
  // The node's item, making its ancestors' children first.
  HTREEITEM EnsureItem(size_t node);
  // Rebuilds every item: the roots, and the children of expanded nodes.
  void RebuildItems();
  void DeleteAllItems();
  std::optional<size_t> NodeOfItem(HTREEITEM item) const;
  std::optional<size_t> NodeOfParam(LPARAM param) const;
  // Scrolls a node into view, keeping the rows' starts in sight.
  void ShowItem(HTREEITEM item);
  void InvalidateNode(size_t node);

  // --- Drawing
  // Design pixels (at 96 DPI) at the DPI the tree is drawn for.
  int Px(int designPixels) const { return dpi::Scale(designPixels, fontDpi_); }
  COLORREF BackgroundColour() const;
  HFONT FontFor(bool bold, bool italic, bool underline);
  int IconIndex(const std::string& source);
  LRESULT OnCustomDraw(NMTVCUSTOMDRAW& draw);

  // --- Mouse and keys
  void OnMouseMove(POINT pt);
  void ClearHover();
  // OnParamEnter or OnParamExit for a parameter, with its current value.
  void RaiseHoverEvent(const ParamTreeModel::SelectEvent& event, const ParamHit& hit);
  bool OnLeftButtonDown(POINT pt);
  bool OnKeyDown(WPARAM key);
  LRESULT OnChar(WPARAM wp, LPARAM lp);
  void OpenMenu(POINT screen);

  // --- Editing
  void StartEdit(size_t node, size_t indexInNode, const RECT& paramRect);
  // Closes an open editor: commits its text or drops it. With `refocus`, the
  // keyboard goes back to the tree; with `hide`, the editor hides.
  void CloseEditor(bool commit, bool refocus, bool hide);
  void AdvanceEdit();
  void WidenEditor();

  ParamTreeModel& model_;
  EditorWindow editor_{*this};
  Callbacks callbacks_;
  std::vector<Mirror> mirror_;  // by absolute node index
  int bulkDepth_ = 0;
  bool selecting_ = false;  // a selection the model asked for is on its way
  UINT fontDpi_ = 96;        // the DPI the fonts and sizes are for: the parent window's
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
