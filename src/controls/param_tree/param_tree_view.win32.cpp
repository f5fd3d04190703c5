#include "controls/param_tree/param_tree_view.win32.hpp"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "base/text.hpp"
#include "win32/palette.win32.hpp"

namespace kovan::ui {

namespace {

constexpr int kIndent = 19;      // design pixels
constexpr int kItemHeight = 16;  // design pixels
constexpr int kTextInset = 2;    // the markup starts this far into the native text rectangle
constexpr int kMinEditorWidth = 16;
constexpr int kEditorSlack = 16;  // room kept after the typed text while the editor widens
constexpr int kEmptyParamWidth = 6;

bool IsDecimal(const std::string& text) {
  return !text.empty() && text.size() < 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

ParamTreeView::ParamTreeView(ParamTreeModel& model) : model_(model) {}

ParamTreeView::~ParamTreeView() {
  model_.SetListener(nullptr);
  // Destroyed while every member still lives: the tree's last notifications
  // reach its parent, which hands them on here.
  if (Editor()) DestroyWindow(Editor());
  if (hwnd()) DestroyWindow(hwnd());
}

bool ParamTreeView::EditorWindow::Create(HWND owner) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (edit && Subclass(edit)) return true;
  if (edit) DestroyWindow(edit);
  return false;
}

bool ParamTreeView::Create(HWND parent, const RECT& bounds, UINT dpi, Callbacks callbacks) {
  callbacks_ = std::move(callbacks);
  fontDpi_ = dpi;
  RegisterCommonControls();
  HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                                  TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS,
                              bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tree || !Subclass(tree)) {
    if (tree) DestroyWindow(tree);
    return false;
  }
  if (!editor_.Create(GetAncestor(parent, GA_ROOT))) return false;
  SendMessageW(hwnd(), TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
  model_.SetListener(this);
  RebuildItems();
  SetFont(font_, dpi);
  return true;
}

void ParamTreeView::SetFont(const LOGFONTW& font, UINT dpi) {
  font_ = font;
  fontDpi_ = dpi;
  for (gdi::Font& f : fonts_) f.reset();
  if (!hwnd()) return;
  editorFont_ = gdi::MakeFont(font_);
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(false, false, false)), FALSE);
  SendMessageW(Editor(), WM_SETFONT, reinterpret_cast<WPARAM>(editorFont_.get()), FALSE);
  TreeView_SetIndent(hwnd(), Px(kIndent));
  TreeView_SetItemHeight(hwnd(), Px(kItemHeight));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

HFONT ParamTreeView::FontFor(bool bold, bool italic, bool underline) {
  gdi::Font& font = fonts_[(bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0)];
  if (!font.valid()) {
    LOGFONTW variant = font_;
    if (bold) variant.lfWeight = FW_BOLD;
    variant.lfItalic = italic ? TRUE : variant.lfItalic;
    variant.lfUnderline = underline ? TRUE : variant.lfUnderline;
    font = gdi::MakeFont(variant);
  }
  return font.get();
}

int ParamTreeView::IconIndex(const std::string& source) {
  const auto known = iconIndexes_.find(source);
  if (known != iconIndexes_.end()) return known->second;
  int index = -1;
  if (IsDecimal(source)) {
    index = std::stoi(source);
  }
  // The system list itself comes from any look-up; a number alone needs one too.
  const std::wstring name = IsDecimal(source) ? std::wstring(L".txt") : ToWide(source);
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
  if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) flags |= SHGFI_USEFILEATTRIBUTES;
  SHFILEINFOW info{};
  const auto list =
      reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags));
  if (list) {
    systemIcons_ = list;
    if (index < 0) index = info.iIcon;
  }
  iconIndexes_.emplace(source, index);
  return index;
}

COLORREF ParamTreeView::BackgroundColour() const {
  const COLORREF colour = TreeView_GetBkColor(hwnd());
  return colour == CLR_NONE ? GetSysColor(COLOR_WINDOW) : colour;
}

// --- Mirroring the model

ParamTreeView::Bulk::Bulk(ParamTreeView& view) : view_(view) {
  if (view_.bulkDepth_++ == 0 && view_.hwnd()) SendMessageW(view_.hwnd(), WM_SETREDRAW, FALSE, 0);
}

ParamTreeView::Bulk::~Bulk() {
  if (--view_.bulkDepth_ == 0 && view_.hwnd()) {
    SendMessageW(view_.hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view_.hwnd(), nullptr, TRUE);
  }
}

HTREEITEM ParamTreeView::InsertItem(size_t node) {
  const std::optional<size_t> parent = model_.Parent(node);
  const bool expanded = model_.IsExpanded(node) && model_.HasChildren(node);
  const std::wstring text = ToWide(model_.NodeText(node));
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? mirror_[*parent].item : TVI_ROOT;
  // The model only ever adds last children and last roots.
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.lParam = static_cast<LPARAM>(model_.IdOf(node));
  insert.item.stateMask = TVIS_EXPANDED;
  insert.item.state = expanded ? TVIS_EXPANDED : 0;
  // Asked for when the button is drawn, so a node whose children have no
  // items yet still shows that it can open.
  insert.item.cChildren = I_CHILDRENCALLBACK;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  mirror_[node] = Mirror{item, false};
  if (item && expanded) MakeChildItems(node);
  return item;
}

void ParamTreeView::MakeChildItems(size_t node) {
  Mirror& mirror = mirror_[node];
  if (!mirror.item || mirror.childrenMade) return;
  mirror.childrenMade = true;
  model_.ShowChildren(node);
  const int level = model_.NodeLevel(node);
  for (size_t child = node + 1; child < model_.NodeCount() && model_.NodeLevel(child) > level; ++child) {
    if (model_.NodeLevel(child) == level + 1) InsertItem(child);
  }
}

HTREEITEM ParamTreeView::EnsureItem(size_t node) {
  if (node >= mirror_.size()) return nullptr;
  if (mirror_[node].item) return mirror_[node].item;
  const std::optional<size_t> parent = model_.Parent(node);
  if (!parent || !EnsureItem(*parent)) return nullptr;
  MakeChildItems(*parent);
  return mirror_[node].item;
}

void ParamTreeView::DeleteAllItems() {
  selecting_ = true;
  // With no selection the native tree does not pass it on from item to item
  // as they go, with a notification each time.
  TreeView_SelectItem(hwnd(), nullptr);
  TreeView_DeleteAllItems(hwnd());
  selecting_ = false;
}

void ParamTreeView::RebuildItems() {
  DeleteAllItems();
  mirror_.assign(model_.NodeCount(), Mirror{});
  for (size_t node = 0; node < model_.NodeCount(); ++node) {
    if (model_.NodeLevel(node) == 0) InsertItem(node);
  }
}

void ParamTreeView::Cleared() {
  hover_.reset();
  DeleteAllItems();
  mirror_.clear();
}

void ParamTreeView::NodesInserted(size_t first, size_t count) {
  if (hover_ && hover_->node >= first) hover_->node += count;
  mirror_.insert(mirror_.begin() + static_cast<std::ptrdiff_t>(first), count, Mirror{});
  for (size_t node = first; node < first + count; ++node) {
    // A child waits for its parent's first expansion, unless that has come.
    const std::optional<size_t> parent = model_.Parent(node);
    if (!parent || mirror_[*parent].childrenMade) InsertItem(node);
  }
}

void ParamTreeView::NodesDeleted(size_t first, size_t count) {
  if (hover_ && hover_->node >= first) {
    if (hover_->node < first + count) {
      hover_.reset();  // its node is gone: there is nothing left to leave
    } else {
      hover_->node -= count;
    }
  }
  ClearHover();
  selecting_ = true;
  // The node's item takes its descendants' with it.
  if (mirror_[first].item) TreeView_DeleteItem(hwnd(), mirror_[first].item);
  mirror_.erase(mirror_.begin() + static_cast<std::ptrdiff_t>(first),
                mirror_.begin() + static_cast<std::ptrdiff_t>(first + count));
  // The native tree picks a neighbour; the model's selection is the one that counts.
  const std::optional<size_t> selected = model_.Selected();
  TreeView_SelectItem(hwnd(), selected ? EnsureItem(*selected) : nullptr);
  selecting_ = false;
}

void ParamTreeView::NodeTextChanged(size_t index) {
  if (!ItemOf(index)) return;  // an item made later reads the text then
  const std::wstring text = ToWide(model_.NodeText(index));
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = ItemOf(index);
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  InvalidateNode(index);
}

void ParamTreeView::AllExpandedChanged(bool) {
  // Expanding item by item makes the native tree recount its rows each time,
  // which grows with the square of the size; building the items again, each
  // in its new state, costs no more than filling them all once.
  const Bulk bulk(*this);
  ClearHover();
  RebuildItems();
  if (const std::optional<size_t> selected = model_.Selected()) {
    selecting_ = true;
    HTREEITEM item = EnsureItem(*selected);
    TreeView_SelectItem(hwnd(), item);
    ShowItem(item);
    selecting_ = false;
  }
}

void ParamTreeView::SelectionChanged(std::optional<size_t> index) {
  HTREEITEM wanted = index ? EnsureItem(*index) : nullptr;
  if (TreeView_GetSelection(hwnd()) == wanted) return;
  selecting_ = true;
  TreeView_SelectItem(hwnd(), wanted);
  if (wanted) ShowItem(wanted);
  selecting_ = false;
}

void ParamTreeView::ShowItem(HTREEITEM item) {
  if (!item) return;
  TreeView_EnsureVisible(hwnd(), item);
  // The native text is the markup, longer than what is drawn; scrolling
  // sideways to show its end would hide the start of the row.
  SendMessageW(hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
}

std::optional<size_t> ParamTreeView::NodeOfParam(LPARAM param) const {
  return model_.IndexOf(static_cast<NodeId>(param));
}

std::optional<size_t> ParamTreeView::NodeOfItem(HTREEITEM item) const {
  if (!item) return std::nullopt;
  TVITEMW data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!TreeView_GetItem(hwnd(), &data)) return std::nullopt;
  return NodeOfParam(data.lParam);
}

void ParamTreeView::InvalidateNode(size_t node) {
  HTREEITEM item = ItemOf(node);
  RECT row{};
  if (item && TreeView_GetItemRect(hwnd(), item, &row, FALSE)) InvalidateRect(hwnd(), &row, FALSE);
}

// --- Layout and drawing

std::optional<ParamTreeView::Layout> ParamTreeView::LayOut(HDC dc, HTREEITEM item, size_t node, bool draw) {
  RECT text{};
  if (!TreeView_GetItemRect(hwnd(), item, &text, TRUE)) return std::nullopt;
  RECT client{};
  GetClientRect(hwnd(), &client);
  Layout layout;
  layout.row = RECT{text.left, text.top, client.right, text.bottom};
  const int rowHeight = text.bottom - text.top;

  const COLORREF background = BackgroundColour();
  COLORREF textColour = TreeView_GetTextColor(hwnd());
  if (textColour == CLR_NONE) textColour = GetSysColor(COLOR_WINDOWTEXT);
  if (draw) {
    const gdi::Brush brush = gdi::MakeBrush(background);
    FillRect(dc, &layout.row, brush.get());
    SetBkMode(dc, TRANSPARENT);
  }

  const NodeMarkup markup = ReadMarkup(model_.NodeText(node));
  layout.params.assign(markup.params.size(), RECT{});
  const HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
  int x = text.left + Px(kTextInset);
  for (const MarkupRun& run : markup.runs) {
    if (run.kind == MarkupRun::Kind::Icon) {
      const int index = IconIndex(run.text);
      int cx = 0;
      int cy = 0;
      if (systemIcons_ && index >= 0 && ImageList_GetIconSize(systemIcons_, &cx, &cy)) {
        if (draw) ImageList_Draw(systemIcons_, index, dc, x, text.top + (rowHeight - cy) / 2, ILD_TRANSPARENT);
        x += cx;
      }
      continue;
    }
    const bool isParam = run.param >= 0 && static_cast<size_t>(run.param) < layout.params.size();
    SelectObject(dc, FontFor(run.bold, run.italic, isParam));
    const std::wstring wide = ToWide(run.text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    if (size.cy == 0) {
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      size.cy = metrics.tmHeight;
    }
    if (isParam && wide.empty()) size.cx = Px(kEmptyParamWidth);
    const RECT box{x, text.top + (rowHeight - size.cy) / 2, x + size.cx,
                   text.top + (rowHeight - size.cy) / 2 + size.cy};
    const bool hot = isParam && hover_ && hover_->node == node && hover_->param == static_cast<size_t>(run.param);
    if (isParam) {
      RECT& place = layout.params[static_cast<size_t>(run.param)];
      if (IsRectEmpty(&place)) {
        place = box;
      } else {
        UnionRect(&place, &place, &box);
      }
    }
    if (draw) {
      if (hot) {
        const gdi::Brush brush = gdi::MakeBrush(palette::kMoneyGreen);
        FillRect(dc, &box, brush.get());
      }
      SetTextColor(dc, hot         ? palette::kWhite
                       : isParam   ? palette::kMaroon
                       : run.color ? palette::FromRgbValue(*run.color)
                                   : textColour);
      TextOutW(dc, box.left, box.top, wide.c_str(), static_cast<int>(wide.size()));
    }
    x = box.right;
  }
  SelectObject(dc, oldFont);

  if (draw && model_.Selected() == node) {
    RECT focus = layout.row;
    focus.right = std::max(focus.left, client.right - 4);
    SetTextColor(dc, textColour);
    SetBkColor(dc, background);
    DrawFocusRect(dc, &focus);
    const size_t focused = model_.FocusedParam();
    if (GetFocus() == hwnd() && focused < layout.params.size()) {
      RECT frame = layout.params[focused];
      InflateRect(&frame, 1, 1);
      const gdi::Brush grey = gdi::MakeBrush(palette::kGray);
      FrameRect(dc, &frame, grey.get());
    }
  }
  return layout;
}

LRESULT ParamTreeView::OnCustomDraw(NMTVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      // The native text is the markup: drawn in the background colour, unseen.
      const COLORREF background = BackgroundColour();
      draw.clrText = background;
      draw.clrTextBk = background;
      return CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPOSTPAINT: {
      if (const std::optional<size_t> node = NodeOfParam(static_cast<LPARAM>(draw.nmcd.lItemlParam))) {
        LayOut(draw.nmcd.hdc, reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec), *node, true);
      }
      return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

std::optional<LRESULT> ParamTreeView::OnNotify(const NMHDR& header) {
  if (!hwnd() || header.hwndFrom != hwnd()) return std::nullopt;
  switch (header.code) {
    case NM_CUSTOMDRAW: return OnCustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    case TVN_GETDISPINFOW: {
      auto& info = *reinterpret_cast<NMTVDISPINFOW*>(const_cast<NMHDR*>(&header));
      if (info.item.mask & TVIF_CHILDREN) {
        const std::optional<size_t> node = NodeOfParam(info.item.lParam);
        info.item.cChildren = node && model_.HasChildren(*node) ? 1 : 0;
      }
      return 0;
    }
    case TVN_ITEMEXPANDINGW: {
      // The first expansion of a node brings its children's items.
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (const std::optional<size_t> node = NodeOfItem(change.itemNew.hItem)) MakeChildItems(*node);
      return FALSE;
    }
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (!selecting_) {
        selecting_ = true;
        model_.SelectNode(NodeOfItem(change.itemNew.hItem));
        selecting_ = false;
      }
      return 0;
    }
    case TVN_ITEMEXPANDEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (const std::optional<size_t> node = NodeOfItem(change.itemNew.hItem)) {
        model_.SetExpanded(*node, change.action == TVE_EXPAND);
      }
      if (bulkDepth_ == 0) InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    }
    default: return std::nullopt;
  }
}

std::optional<RECT> ParamTreeView::ParamRect(size_t node, size_t indexInNode) {
  HTREEITEM item = ItemOf(node);
  if (!item) return std::nullopt;
  const gdi::WindowDc dc(hwnd());
  const std::optional<Layout> layout = LayOut(dc.get(), item, node, false);
  if (!layout || indexInNode >= layout->params.size()) return std::nullopt;
  return layout->params[indexInNode];
}

std::optional<ParamTreeView::ParamHit> ParamTreeView::ParamAtPoint(POINT pt) {
  TVHITTESTINFO hit{};
  hit.pt = pt;
  HTREEITEM item = TreeView_HitTest(hwnd(), &hit);
  const std::optional<size_t> node = NodeOfItem(item);
  if (!node) return std::nullopt;
  const gdi::WindowDc dc(hwnd());
  const std::optional<Layout> layout = LayOut(dc.get(), item, *node, false);
  if (!layout) return std::nullopt;
  for (size_t p = layout->params.size(); p-- > 0;) {
    if (PtInRect(&layout->params[p], pt)) return ParamHit{*node, p, layout->params[p]};
  }
  return std::nullopt;
}

// --- Mouse

void ParamTreeView::RaiseHoverEvent(const ParamTreeModel::SelectEvent& event, const ParamHit& hit) {
  if (!event) return;
  const std::vector<ParamAnchor> anchors = FindParamAnchors(model_.NodeText(hit.node));
  if (hit.param < anchors.size()) event(model_, hit.node, anchors[hit.param].name, anchors[hit.param].rawValue.value_or(""));
}

void ParamTreeView::ClearHover() {
  if (!hover_) return;
  const ParamHit left = *hover_;
  hover_.reset();
  if (left.node >= model_.NodeCount()) return;
  RaiseHoverEvent(model_.OnParamExit, left);
  InvalidateNode(left.node);
}

void ParamTreeView::OnMouseMove(POINT pt) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (editorOpen_) return;
  const std::optional<ParamHit> now = ParamAtPoint(pt);
  if (hover_ && now && hover_->node == now->node && hover_->param == now->param) return;
  ClearHover();
  if (!now) return;
  hover_ = now;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  RaiseHoverEvent(model_.OnParamEnter, *now);
  InvalidateNode(now->node);
}

bool ParamTreeView::OnLeftButtonDown(POINT pt) {
  // A click beside the parameters is the native tree's; one on a parameter
  // selects its node and edits it (an open editor commits as the focus moves).
  const std::optional<ParamHit> hit = ParamAtPoint(pt);
  if (!hit) return false;
  SetFocus(hwnd());
  model_.SelectNode(hit->node);
  // Selecting may have scrolled the row: the editor goes where it is now.
  EditParam(hit->node, hit->param);
  return true;
}

void ParamTreeView::OpenMenu(POINT screen) {
  if (callbacks_.openMenu) callbacks_.openMenu(screen);
}

// --- Editing

bool ParamTreeView::EditParam(size_t node, size_t indexInNode) {
  const std::optional<RECT> rect = ParamRect(node, indexInNode);
  if (!rect) return false;
  StartEdit(node, indexInNode, *rect);
  return editorOpen_;
}

void ParamTreeView::StartEdit(size_t node, size_t indexInNode, const RECT& paramRect) {
  const std::vector<ParamAnchor> anchors = FindParamAnchors(model_.NodeText(node));
  if (indexInNode >= anchors.size()) return;
  const std::optional<std::string> text = model_.StartParamEdit(node, anchors[indexInNode].name);
  if (!text) return;
  ClearHover();
  RECT client{};
  GetClientRect(hwnd(), &client);
  int width = std::max<int>(paramRect.right - paramRect.left, kMinEditorWidth);
  if (paramRect.left + width > client.right) width = client.right - paramRect.left - 4;
  POINT origin{paramRect.left + 2, paramRect.top - 2};
  ClientToScreen(hwnd(), &origin);
  const int height = TreeView_GetItemHeight(hwnd()) + Px(4);
  editorWidth_ = width;
  editorOpen_ = true;
  SetWindowTextW(Editor(), ToWide(*text).c_str());
  SetWindowPos(Editor(), HWND_TOP, origin.x, origin.y, width, height, SWP_SHOWWINDOW);
  SetFocus(Editor());
  SendMessageW(Editor(), EM_SETSEL, 0, -1);
  WidenEditor();
}

void ParamTreeView::CloseEditor(bool commit, bool refocus, bool hide) {
  if (!editorOpen_) return;
  editorOpen_ = false;  // the focus change below must not commit a second time
  const std::string text = ToUtf8(WindowText(Editor()));
  if (refocus) SetFocus(hwnd());
  if (hide) ShowWindow(Editor(), SW_HIDE);
  if (commit) {
    model_.CommitParamEdit(text);
  } else {
    model_.CancelParamEdit();
  }
}

void ParamTreeView::AdvanceEdit() {
  // Selecting the next parameter's node makes its item (and its siblings')
  // when its group has not been opened yet.
  const std::optional<ParamLocation> next = model_.Advance();
  if (!next) return;
  ShowItem(ItemOf(next->node));
  if (const std::optional<RECT> rect = ParamRect(next->node, next->indexInNode)) {
    StartEdit(next->node, next->indexInNode, *rect);
  }
}

void ParamTreeView::WidenEditor() {
  if (!editorOpen_) return;
  const std::wstring text = WindowText(Editor());
  SIZE size{};
  {
    const gdi::WindowDc dc(Editor());
    const gdi::Select font(dc.get(), editorFont_);
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  }
  if (size.cx + kEditorSlack <= editorWidth_) return;
  editorWidth_ = size.cx + kEditorSlack;
  RECT r{};
  GetWindowRect(Editor(), &r);
  SetWindowPos(Editor(), nullptr, 0, 0, editorWidth_, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Keys

bool ParamTreeView::OnKeyDown(WPARAM key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      if (model_.MoveFocusedParam(key == VK_LEFT ? -1 : 1)) {
        if (const std::optional<size_t> selected = model_.Selected()) InvalidateNode(*selected);
        return true;
      }
      return false;
    case VK_DELETE:
      if (callbacks_.deleteKey) callbacks_.deleteKey();
      return true;
    default: return false;
  }
}

LRESULT ParamTreeView::OnChar(WPARAM wp, LPARAM lp) {
  if (callbacks_.keyFilter && !callbacks_.keyFilter(static_cast<char32_t>(wp))) return 0;
  if (wp == L'\r') {
    // Enter that the filter let through edits the focused parameter.
    if (const std::optional<size_t> selected = model_.Selected()) EditParam(*selected, model_.FocusedParam());
    return 0;
  }
  return Default(WM_CHAR, wp, lp);
}

// The tree's handlers run the pool window's commands (its menu, Delete); the
// window base gives them the same barrier as the windows themselves.
LRESULT ParamTreeView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (OnKeyDown(wp)) return 0;
      break;
    case WM_CHAR: return OnChar(wp, lp);
    case WM_LBUTTONDOWN:
      if (OnLeftButtonDown(MousePoint(lp))) return 0;
      break;
    case WM_RBUTTONDOWN: return 0;  // the menu opens without touching the selection
    case WM_RBUTTONUP: {
      POINT pt = MousePoint(lp);
      ClientToScreen(hwnd(), &pt);
      OpenMenu(pt);
      return 0;
    }
    case WM_CONTEXTMENU: {
      POINT pt = MousePoint(lp);
      if (pt.x == -1 && pt.y == -1) {
        RECT r{};
        GetWindowRect(hwnd(), &r);
        pt = POINT{r.left, r.top};
      }
      OpenMenu(pt);
      return 0;
    }
    case WM_MOUSEMOVE: OnMouseMove(MousePoint(lp)); break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      ClearHover();
      break;
    case WM_SETCURSOR:
      if (hover_ && LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focused parameter's frame shows only while the tree has the focus.
      if (const std::optional<size_t> selected = model_.Selected()) InvalidateNode(*selected);
      break;
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_SIZE: {
      const LRESULT result = Default(msg, wp, lp);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return result;
    }
  }
  return Default(msg, wp, lp);
}

LRESULT ParamTreeView::OnEditorMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) {
        // The editor stays up while it moves on to the next parameter; it
        // hides only when there is none to go to.
        CloseEditor(true, true, false);
        AdvanceEdit();
        if (!editorOpen_) ShowWindow(Editor(), SW_HIDE);
        return 0;
      }
      if (wp == VK_ESCAPE) CloseEditor(false, true, true);  // and the key goes on
      break;
    case WM_CHAR:
      if (wp == L'\r' || wp == 0x1B) return 0;  // no beep for Enter and Escape
      if (callbacks_.keyFilter && !callbacks_.keyFilter(static_cast<char32_t>(wp))) return 0;
      [[fallthrough]];
    case WM_PASTE:
    case WM_SETTEXT: {
      const LRESULT result = editor_.Pass(msg, wp, lp);
      WidenEditor();
      return result;
    }
    case WM_KILLFOCUS: CloseEditor(true, false, true); break;
  }
  return editor_.Pass(msg, wp, lp);
}

}  // namespace kovan::ui
