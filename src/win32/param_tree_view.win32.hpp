// The parameter tree on screen: a native tree view that mirrors a
// ParamTreeModel, keeps each node's markup as its item text, hides the native
// text and draws the markup over it, and edits parameters in a pop-up edit
// placed over the clicked value.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "win32/gdi.win32.hpp"
#include "windows/pool/param_tree_model.hpp"

namespace kovan::ui {

class ParamTreeView : private ParamTreeListener {
 public:
  struct Callbacks {
    std::function<void()> deleteKey;             // the Delete key on the tree
    std::function<void(POINT screen)> openMenu;  // a right click, or the menu key
    std::function<bool(char32_t c)> keyFilter;   // characters typed on the tree and in the editor
  };

  explicit ParamTreeView(ParamTreeModel& model);
  ~ParamTreeView() override;
  ParamTreeView(const ParamTreeView&) = delete;
  ParamTreeView& operator=(const ParamTreeView&) = delete;

  // Makes the tree as a child of `parent` (bounds in pixels) and its editor,
  // a pop-up owned by the parent's top-level window.
  bool Create(HWND parent, const RECT& bounds, UINT dpi, Callbacks callbacks);
  HWND hwnd() const { return tree_; }
  HWND Editor() const { return editor_; }
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

  // The parameter's rectangle in the tree's client area as it is drawn; nothing
  // when its row is not on screen. Lays out that one node.
  std::optional<RECT> ParamRect(size_t node, size_t indexInNode);
  // Opens the editor on a parameter, as a click on it does.
  bool EditParam(size_t node, size_t indexInNode);
  bool EditorOpen() const { return editorOpen_; }

 private:
  // ParamTreeListener
  void Cleared() override;
  void NodesInserted(size_t first, size_t count) override;
  void NodesDeleted(size_t first, size_t count) override;
  void NodeTextChanged(size_t index) override;
  void AllExpandedChanged(bool expanded) override;
  void SelectionChanged(std::optional<size_t> index) override;

  static LRESULT CALLBACK TreeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnTreeMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnEditorMessage(UINT msg, WPARAM wp, LPARAM lp);

  // One node's markup laid out in its row: each parameter's rectangle.
  struct Layout {
    RECT row{};
    std::vector<RECT> params;  // by index in the node
  };
  // Lays out (and with `dc` and `draw`, draws) one node whose item is `item`.
  std::optional<Layout> LayOut(HDC dc, HTREEITEM item, size_t node, bool draw);
  // Native items for the model's nodes `first` to `first + count - 1`, each in
  // its expand state.
  void InsertItems(size_t first, size_t count);
  HFONT FontFor(bool bold, bool italic, bool underline);
  int IconIndex(const std::string& source);
  HTREEITEM ItemOf(size_t node) const { return items_[node]; }
  std::optional<size_t> NodeOfItem(HTREEITEM item) const;
  // Scrolls a node into view, keeping the rows' starts in sight.
  void ShowItem(HTREEITEM item);
  LRESULT OnCustomDraw(NMTVCUSTOMDRAW& draw);
  void OnMouseMove(POINT pt);
  void ClearHover();
  bool OnLeftButtonDown(POINT pt);
  bool OnKeyDown(WPARAM key);
  void StartEdit(size_t node, size_t indexInNode, const RECT& paramRect);
  void CloseEditor(bool commit, bool hide = true);
  void AdvanceEdit();
  void WidenEditor();
  void InvalidateNode(size_t node);

  ParamTreeModel& model_;
  Callbacks callbacks_;
  HWND tree_ = nullptr;
  HWND editor_ = nullptr;
  WNDPROC treeProc_ = nullptr;  // the classes' own procedures
  WNDPROC editorProc_ = nullptr;
  std::vector<HTREEITEM> items_;  // by absolute node index
  int bulkDepth_ = 0;
  bool selecting_ = false;  // a selection the model asked for is on its way
  UINT dpi_ = 96;
  LOGFONTW font_{};
  std::array<gdi::Font, 8> fonts_;  // by bold | italic << 1 | underline << 2
  gdi::Font editorFont_;
  HIMAGELIST systemIcons_ = nullptr;  // the shell's; not owned
  std::unordered_map<std::string, int> iconIndexes_;
  // Hover: the parameter under the mouse.
  struct Hover {
    size_t node = 0;
    size_t param = 0;
    RECT rect{};
  };
  std::optional<Hover> hover_;
  bool tracking_ = false;
  // The editor.
  bool editorOpen_ = false;
  int editorWidth_ = 0;
};

}  // namespace kovan::ui
