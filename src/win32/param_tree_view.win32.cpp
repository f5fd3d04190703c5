#include "win32/param_tree_view.win32.hpp"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "base/text.hpp"
#include "win32/palette.win32.hpp"
#include "win32/window_base.win32.hpp"

namespace kovan::ui {

namespace {

constexpr int kIndent = 19;      // design pixels
constexpr int kItemHeight = 16;  // design pixels
constexpr int kTextInset = 2;    // the markup starts this far into the native text rectangle
constexpr int kMinEditorWidth = 16;
constexpr int kEditorSlack = 16;  // room kept after the typed text while the editor widens
constexpr int kEmptyParamWidth = 6;

COLORREF FromRgb(uint32_t rgb) { return palette::Rgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

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
  if (editor_ && IsWindow(editor_)) DestroyWindow(editor_);
  if (tree_ && IsWindow(tree_)) {
    SetWindowLongPtrW(tree_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProc_));
    SetWindowLongPtrW(tree_, GWLP_USERDATA, 0);
  }
}

bool ParamTreeView::Create(HWND parent, const RECT& bounds, UINT dpi, Callbacks callbacks) {
  callbacks_ = std::move(callbacks);
  dpi_ = dpi;
  tree_ = CreateWindowExW(0, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                              TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS,
                          bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tree_) return false;
  HWND topLevel = GetAncestor(parent, GA_ROOT);
  editor_ = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0, topLevel, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!editor_) return false;
  // Subclassed by hand: the common controls' subclass chain looks its data up
  // at every message, which the 50,000 inserts of a large pool feel.
  SetWindowLongPtrW(tree_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  treeProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(tree_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
  SetWindowLongPtrW(editor_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  editorProc_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(editor_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorProc)));
  SendMessageW(tree_, TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
  model_.SetListener(this);
  SetFont(font_, dpi);
  return true;
}

void ParamTreeView::SetFont(const LOGFONTW& font, UINT dpi) {
  font_ = font;
  dpi_ = dpi;
  for (gdi::Font& f : fonts_) f.reset();
  if (!tree_) return;
  editorFont_ = gdi::MakeFont(font_);
  SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(false, false, false)), FALSE);
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(editorFont_.get()), FALSE);
  TreeView_SetIndent(tree_, MulDiv(kIndent, static_cast<int>(dpi), 96));
  TreeView_SetItemHeight(tree_, MulDiv(kItemHeight, static_cast<int>(dpi), 96));
  InvalidateRect(tree_, nullptr, TRUE);
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

// --- Mirroring the model

ParamTreeView::Bulk::Bulk(ParamTreeView& view) : view_(view) {
  if (view_.bulkDepth_++ == 0 && view_.tree_) SendMessageW(view_.tree_, WM_SETREDRAW, FALSE, 0);
}

ParamTreeView::Bulk::~Bulk() {
  if (--view_.bulkDepth_ == 0 && view_.tree_) {
    SendMessageW(view_.tree_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view_.tree_, nullptr, TRUE);
  }
}

void ParamTreeView::Cleared() {
  ClearHover();
  selecting_ = true;
  TreeView_DeleteAllItems(tree_);
  selecting_ = false;
  items_.clear();
}

void ParamTreeView::NodesInserted(size_t first, size_t count) {
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(first), count, nullptr);
  InsertItems(first, count);
}

void ParamTreeView::InsertItems(size_t first, size_t count) {
  for (size_t i = first; i < first + count; ++i) {
    const std::optional<size_t> parent = model_.Parent(i);
    const std::wstring text = ToWide(model_.NodeText(i));
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? items_[*parent] : TVI_ROOT;
    // The model only ever adds last children and last roots.
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = static_cast<LPARAM>(model_.IdOf(i));
    insert.item.stateMask = TVIS_EXPANDED;
    insert.item.state = model_.IsExpanded(i) && model_.HasChildren(i) ? TVIS_EXPANDED : 0;
    items_[i] = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }
}

void ParamTreeView::NodesDeleted(size_t first, size_t count) {
  ClearHover();
  selecting_ = true;
  // Children before their parents, so every handle is still alive when it goes.
  for (size_t i = first + count; i-- > first;) TreeView_DeleteItem(tree_, items_[i]);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(first),
               items_.begin() + static_cast<std::ptrdiff_t>(first + count));
  // The native tree picks a neighbour; the model's selection is the one that counts.
  const std::optional<size_t> selected = model_.Selected();
  TreeView_SelectItem(tree_, selected ? items_[*selected] : nullptr);
  selecting_ = false;
}

void ParamTreeView::NodeTextChanged(size_t index) {
  const std::wstring text = ToWide(model_.NodeText(index));
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = items_[index];
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  InvalidateNode(index);
}

void ParamTreeView::AllExpandedChanged(bool) {
  // Expanding item by item makes the native tree recount its rows each time,
  // which grows with the square of the size; building the items again, each
  // in its new state, costs no more than the first fill.
  const Bulk bulk(*this);
  ClearHover();
  selecting_ = true;
  TreeView_DeleteAllItems(tree_);
  InsertItems(0, items_.size());
  const std::optional<size_t> selected = model_.Selected();
  if (selected) {
    TreeView_SelectItem(tree_, items_[*selected]);
    ShowItem(items_[*selected]);
  }
  selecting_ = false;
}

void ParamTreeView::SelectionChanged(std::optional<size_t> index) {
  HTREEITEM wanted = index ? items_[*index] : nullptr;
  if (TreeView_GetSelection(tree_) == wanted) return;
  selecting_ = true;
  TreeView_SelectItem(tree_, wanted);
  if (wanted) ShowItem(wanted);
  selecting_ = false;
}

void ParamTreeView::ShowItem(HTREEITEM item) {
  TreeView_EnsureVisible(tree_, item);
  // The native text is the markup, longer than what is drawn; scrolling
  // sideways to show its end would hide the start of the row.
  SendMessageW(tree_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
}

std::optional<size_t> ParamTreeView::NodeOfItem(HTREEITEM item) const {
  if (!item) return std::nullopt;
  TVITEMW data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!TreeView_GetItem(tree_, &data)) return std::nullopt;
  return model_.IndexOf(static_cast<NodeId>(data.lParam));
}

void ParamTreeView::InvalidateNode(size_t node) {
  if (node >= items_.size()) return;
  RECT row{};
  if (TreeView_GetItemRect(tree_, items_[node], &row, FALSE)) InvalidateRect(tree_, &row, FALSE);
}

// --- Layout and drawing

std::optional<ParamTreeView::Layout> ParamTreeView::LayOut(HDC dc, HTREEITEM item, size_t node, bool draw) {
  RECT text{};
  if (!TreeView_GetItemRect(tree_, item, &text, TRUE)) return std::nullopt;
  RECT client{};
  GetClientRect(tree_, &client);
  Layout layout;
  layout.row = RECT{text.left, text.top, client.right, text.bottom};
  const int rowHeight = text.bottom - text.top;

  COLORREF background = TreeView_GetBkColor(tree_);
  if (background == static_cast<COLORREF>(-1)) background = GetSysColor(COLOR_WINDOW);
  COLORREF textColour = TreeView_GetTextColor(tree_);
  if (textColour == static_cast<COLORREF>(-1)) textColour = GetSysColor(COLOR_WINDOWTEXT);
  if (draw) {
    const gdi::Brush brush = gdi::MakeBrush(background);
    FillRect(dc, &layout.row, brush.get());
    SetBkMode(dc, TRANSPARENT);
  }

  const NodeMarkup markup = ReadMarkup(model_.NodeText(node));
  layout.params.assign(markup.params.size(), RECT{});
  const HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
  int x = text.left + MulDiv(kTextInset, static_cast<int>(dpi_), 96);
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
    if (isParam && wide.empty()) size.cx = MulDiv(kEmptyParamWidth, static_cast<int>(dpi_), 96);
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
                       : run.color ? FromRgb(*run.color)
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
    if (GetFocus() == tree_ && focused < layout.params.size()) {
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
      COLORREF background = TreeView_GetBkColor(tree_);
      if (background == static_cast<COLORREF>(-1)) background = GetSysColor(COLOR_WINDOW);
      draw.clrText = background;
      draw.clrTextBk = background;
      return CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPOSTPAINT: {
      const std::optional<size_t> node = model_.IndexOf(static_cast<NodeId>(draw.nmcd.lItemlParam));
      if (node) LayOut(draw.nmcd.hdc, reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec), *node, true);
      return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

std::optional<LRESULT> ParamTreeView::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != tree_) return std::nullopt;
  switch (header.code) {
    case NM_CUSTOMDRAW: return OnCustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
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
      if (bulkDepth_ == 0) InvalidateRect(tree_, nullptr, FALSE);
      return 0;
    }
    default: return std::nullopt;
  }
}

std::optional<RECT> ParamTreeView::ParamRect(size_t node, size_t indexInNode) {
  if (node >= items_.size()) return std::nullopt;
  const gdi::WindowDc dc(tree_);
  const std::optional<Layout> layout = LayOut(dc.get(), items_[node], node, false);
  if (!layout || indexInNode >= layout->params.size()) return std::nullopt;
  return layout->params[indexInNode];
}

// --- Mouse

void ParamTreeView::ClearHover() {
  if (!hover_) return;
  const Hover left = *hover_;
  hover_.reset();
  if (left.node < model_.NodeCount()) {
    if (model_.OnParamExit) {
      const auto anchors = FindParamAnchors(model_.NodeText(left.node));
      if (left.param < anchors.size()) {
        model_.OnParamExit(model_, left.node, anchors[left.param].name, anchors[left.param].rawValue.value_or(""));
      }
    }
    InvalidateNode(left.node);
  }
}

void ParamTreeView::OnMouseMove(POINT pt) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, tree_, 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (editorOpen_) return;
  TVHITTESTINFO hit{};
  hit.pt = pt;
  HTREEITEM item = TreeView_HitTest(tree_, &hit);
  std::optional<size_t> node = item ? NodeOfItem(item) : std::nullopt;
  std::optional<Hover> now;
  if (node) {
    const gdi::WindowDc dc(tree_);
    const std::optional<Layout> layout = LayOut(dc.get(), item, *node, false);
    if (layout) {
      for (size_t p = 0; p < layout->params.size(); ++p) {
        if (PtInRect(&layout->params[p], pt)) now = Hover{*node, p, layout->params[p]};
      }
    }
  }
  if (hover_ && now && hover_->node == now->node && hover_->param == now->param) return;
  ClearHover();
  if (!now) return;
  hover_ = now;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  if (model_.OnParamEnter) {
    const auto anchors = FindParamAnchors(model_.NodeText(now->node));
    if (now->param < anchors.size()) {
      model_.OnParamEnter(model_, now->node, anchors[now->param].name, anchors[now->param].rawValue.value_or(""));
    }
  }
  InvalidateNode(now->node);
}

bool ParamTreeView::OnLeftButtonDown(POINT pt) {
  TVHITTESTINFO hit{};
  hit.pt = pt;
  HTREEITEM item = TreeView_HitTest(tree_, &hit);
  if (!item || !(hit.flags & TVHT_ONITEM)) return false;
  const std::optional<size_t> node = NodeOfItem(item);
  if (!node) return false;
  std::optional<size_t> param;
  const gdi::WindowDc dc(tree_);
  const std::optional<Layout> layout = LayOut(dc.get(), item, *node, false);
  if (layout) {
    for (size_t p = 0; p < layout->params.size(); ++p) {
      if (PtInRect(&layout->params[p], pt)) param = p;
    }
  }
  // A click beside the parameters is the native tree's; one on a parameter
  // selects its node and edits it (an open editor commits as the focus moves).
  if (!param) return false;
  SetFocus(tree_);
  model_.SelectNode(*node);
  EditParam(*node, *param);
  return true;
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
  GetClientRect(tree_, &client);
  int width = std::max<int>(paramRect.right - paramRect.left, kMinEditorWidth);
  if (paramRect.left + width > client.right) width = client.right - paramRect.left - 4;
  POINT origin{paramRect.left + 2, paramRect.top - 2};
  ClientToScreen(tree_, &origin);
  const int height = TreeView_GetItemHeight(tree_) + MulDiv(4, static_cast<int>(dpi_), 96);
  editorWidth_ = width;
  editorOpen_ = true;
  SetWindowTextW(editor_, ToWide(*text).c_str());
  SetWindowPos(editor_, HWND_TOP, origin.x, origin.y, width, height, SWP_SHOWWINDOW);
  SetFocus(editor_);
  SendMessageW(editor_, EM_SETSEL, 0, -1);
  WidenEditor();
}

void ParamTreeView::CloseEditor(bool commit, bool hide) {
  if (!editorOpen_) return;
  editorOpen_ = false;  // the focus change below must not commit a second time
  const std::string text = ToUtf8(WindowText(editor_));
  SetFocus(tree_);
  if (hide) ShowWindow(editor_, SW_HIDE);
  if (commit) {
    model_.CommitParamEdit(text);
  } else {
    model_.CancelParamEdit();
  }
}

void ParamTreeView::AdvanceEdit() {
  const std::optional<ParamLocation> next = model_.Advance();
  if (!next) return;
  ShowItem(items_[next->node]);
  if (const std::optional<RECT> rect = ParamRect(next->node, next->indexInNode)) {
    StartEdit(next->node, next->indexInNode, *rect);
  }
}

void ParamTreeView::WidenEditor() {
  if (!editorOpen_) return;
  const std::wstring text = WindowText(editor_);
  SIZE size{};
  {
    const gdi::WindowDc dc(editor_);
    const gdi::Select font(dc.get(), editorFont_);
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  }
  if (size.cx + kEditorSlack <= editorWidth_) return;
  editorWidth_ = size.cx + kEditorSlack;
  RECT r{};
  GetWindowRect(editor_, &r);
  SetWindowPos(editor_, nullptr, 0, 0, editorWidth_, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

namespace {

// Gives a subclassed control its own procedure back as it goes, forgets it,
// and lets it handle its last message.
LRESULT ReleaseSubclass(HWND& control, WNDPROC original, UINT msg, WPARAM wp, LPARAM lp) {
  HWND window = control;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  control = nullptr;
  return CallWindowProcW(original, window, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK ParamTreeView::TreeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* view = reinterpret_cast<ParamTreeView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // The tree's handlers run the pool window's commands (its menu, Delete), so
  // they get the same barrier as the windows themselves.
  return WithErrorBarrier([&] { return view->OnTreeMessage(msg, wp, lp); });
}

LRESULT ParamTreeView::OnTreeMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (OnKeyDown(wp)) return 0;
      break;
    case WM_CHAR:
      if (callbacks_.keyFilter && !callbacks_.keyFilter(static_cast<char32_t>(wp))) return 0;
      if (wp == L'\r') {
        // Enter that the filter let through edits the focused parameter.
        if (const std::optional<size_t> selected = model_.Selected()) EditParam(*selected, model_.FocusedParam());
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      if (OnLeftButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return 0;
      break;
    case WM_RBUTTONDOWN: return 0;  // the menu opens without touching the selection
    case WM_RBUTTONUP: {
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(tree_, &pt);
      if (callbacks_.openMenu) callbacks_.openMenu(pt);
      return 0;
    }
    case WM_CONTEXTMENU: {
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (pt.x == -1 && pt.y == -1) {
        RECT r{};
        GetWindowRect(tree_, &r);
        pt = POINT{r.left, r.top};
      }
      if (callbacks_.openMenu) callbacks_.openMenu(pt);
      return 0;
    }
    case WM_MOUSEMOVE: OnMouseMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); break;
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
      const LRESULT result = CallWindowProcW(treeProc_, tree_, msg, wp, lp);
      InvalidateRect(tree_, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY: return ReleaseSubclass(tree_, treeProc_, msg, wp, lp);
  }
  return CallWindowProcW(treeProc_, tree_, msg, wp, lp);
}

LRESULT CALLBACK ParamTreeView::EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* view = reinterpret_cast<ParamTreeView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return WithErrorBarrier([&] { return view->OnEditorMessage(msg, wp, lp); });
}

LRESULT ParamTreeView::OnEditorMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) {
        // The editor stays up while it moves on to the next parameter; it
        // hides only when there is none to go to.
        CloseEditor(true, false);
        AdvanceEdit();
        if (!editorOpen_) ShowWindow(editor_, SW_HIDE);
        return 0;
      }
      if (wp == VK_ESCAPE) CloseEditor(false);  // and the key goes on
      break;
    case WM_CHAR:
      if (wp == L'\r' || wp == 0x1B) return 0;  // no beep for Enter and Escape
      if (callbacks_.keyFilter && !callbacks_.keyFilter(static_cast<char32_t>(wp))) return 0;
      {
        const LRESULT result = CallWindowProcW(editorProc_, editor_, msg, wp, lp);
        WidenEditor();
        return result;
      }
    case WM_PASTE:
    case WM_SETTEXT: {
      const LRESULT result = CallWindowProcW(editorProc_, editor_, msg, wp, lp);
      WidenEditor();
      return result;
    }
    case WM_KILLFOCUS:
      if (editorOpen_) {
        editorOpen_ = false;
        const std::string text = ToUtf8(WindowText(editor_));
        ShowWindow(editor_, SW_HIDE);
        model_.CommitParamEdit(text);
      }
      break;
    case WM_NCDESTROY: return ReleaseSubclass(editor_, editorProc_, msg, wp, lp);
  }
  return CallWindowProcW(editorProc_, editor_, msg, wp, lp);
}

}  // namespace kovan::ui
