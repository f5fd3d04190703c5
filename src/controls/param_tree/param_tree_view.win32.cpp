#include "controls/param_tree/param_tree_view.win32.hpp"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "base/text.hpp"
#include "win32/messages.win32.hpp"
#include "win32/palette.win32.hpp"

namespace kovan::ui {

namespace {

constexpr int kTextInset = 2;  // the markup starts this far into a row's text
constexpr int kTextGap = 1;    // between a node's button column and its text
constexpr int kButtonSize = 9;
constexpr int kMinEditorWidth = 16;
constexpr int kEditorSlack = 16;  // room kept after the typed text while the editor widens
constexpr int kEmptyParamWidth = 6;
constexpr int kSidewaysStep = 16;  // design pixels a sideways line scrolls
constexpr ULONGLONG kTypeAheadPause = 1000;  // ms after which typing starts a new search

bool IsDecimal(const std::string& text) {
  return !text.empty() && text.size() < 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool ControlHeld() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace

ParamTreeView::ParamTreeView(ParamTreeModel& model) : WindowBase(Painting::Whole), model_(model) {}

ParamTreeView::~ParamTreeView() {
  model_.SetListener(nullptr);
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
  if (!CreateFor(WindowClassInfo{kParamTreeClass, CS_DBLCLKS}, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER,
                 bounds, parent)) {
    return false;
  }
  if (!editor_.Create(GetAncestor(parent, GA_ROOT))) return false;
  model_.SetListener(this);
  rowsStale_ = true;
  SetFont(font_, dpi);
  UpdateScrollBars();
  return true;
}

void ParamTreeView::SetFont(const LOGFONTW& font, UINT dpi) {
  font_ = font;
  fontDpi_ = dpi;
  for (gdi::Font& f : fonts_) f.reset();
  if (!hwnd()) return;
  editorFont_ = gdi::MakeFont(font_);
  SendMessageW(Editor(), WM_SETFONT, reinterpret_cast<WPARAM>(editorFont_.get()), FALSE);
  // Widths measured in the old font no longer hold.
  contentWidth_ = 0;
  UpdateScrollBars();
  InvalidateRect(hwnd(), nullptr, FALSE);
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

// --- Rows

ParamTreeView::Bulk::Bulk(ParamTreeView& view) : view_(view) { ++view_.bulkDepth_; }

ParamTreeView::Bulk::~Bulk() {
  if (--view_.bulkDepth_ == 0 && view_.refreshPending_) {
    view_.refreshPending_ = false;
    view_.Refresh();
  }
}

const std::vector<size_t>& ParamTreeView::Rows() {
  if (rowsStale_) {
    rows_ = model_.ShownNodes();
    rowsStale_ = false;
    const size_t page = PageRows();
    const size_t lastTop = rows_.size() > page ? rows_.size() - page : 0;
    topRow_ = std::min(topRow_, lastTop);
  }
  return rows_;
}

void ParamTreeView::RowsChanged() {
  rowsStale_ = true;
  if (!hwnd()) return;
  if (bulkDepth_ > 0) {
    refreshPending_ = true;
    return;
  }
  // Adding a folder changes the rows once per node: the bars are set once,
  // when the changes are over.
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (!barsPosted_) barsPosted_ = PostMessageW(hwnd(), window_ids::kTreeRowsChanged, 0, 0) != FALSE;
}

void ParamTreeView::Refresh() {
  if (!hwnd()) return;
  UpdateScrollBars();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

std::optional<size_t> ParamTreeView::RowOf(size_t node) {
  const std::vector<size_t>& rows = Rows();
  // Rows are in display order, which is the order of the nodes' indexes.
  const auto at = std::lower_bound(rows.begin(), rows.end(), node);
  if (at == rows.end() || *at != node) return std::nullopt;
  return static_cast<size_t>(at - rows.begin());
}

size_t ParamTreeView::PageRows() const {
  RECT client{};
  if (hwnd()) GetClientRect(hwnd(), &client);
  return static_cast<size_t>(std::max(1, static_cast<int>(client.bottom) / std::max(1, RowHeight())));
}

int ParamTreeView::RowTop(size_t row) const {
  return (static_cast<int>(row) - static_cast<int>(topRow_)) * RowHeight();
}

std::optional<size_t> ParamTreeView::RowAt(POINT pt) {
  const size_t rows = Rows().size();  // first: working the rows out may move the top
  if (pt.y < 0) return std::nullopt;
  const size_t row = topRow_ + static_cast<size_t>(pt.y / std::max(1, RowHeight()));
  if (row >= rows) return std::nullopt;
  return row;
}

int ParamTreeView::TextLeft(size_t node) const {
  return (model_.NodeLevel(node) + 1) * Indent() + Px(kTextGap) - scrollX_;
}

int ParamTreeView::ButtonCentre(size_t node) const {
  return model_.NodeLevel(node) * Indent() + Indent() / 2 - scrollX_;
}

void ParamTreeView::UpdateScrollBars() {
  if (!hwnd() || updatingBars_) return;
  updatingBars_ = true;
  // Showing one bar narrows the room for the other: a second pass settles it.
  for (int pass = 0; pass < 2; ++pass) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    scrollX_ = std::clamp(scrollX_, 0, std::max(0, contentWidth_ - static_cast<int>(client.right)));
    SCROLLINFO across{sizeof across, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(contentWidth_ - 1, 0),
                      static_cast<UINT>(std::max(0L, client.right)), scrollX_, 0};
    SetScrollInfo(hwnd(), SB_HORZ, &across, TRUE);
    const size_t rows = Rows().size();
    const size_t page = PageRows();
    topRow_ = std::min(topRow_, rows > page ? rows - page : 0);
    SCROLLINFO down{sizeof down, SIF_RANGE | SIF_PAGE | SIF_POS, 0, rows ? static_cast<int>(rows - 1) : 0,
                    static_cast<UINT>(page), static_cast<int>(topRow_), 0};
    SetScrollInfo(hwnd(), SB_VERT, &down, TRUE);
  }
  updatingBars_ = false;
}

void ParamTreeView::ScrollToRow(size_t top) {
  const size_t rows = Rows().size();
  const size_t page = PageRows();
  top = std::min(top, rows > page ? rows - page : 0);
  if (top == topRow_) return;
  // What is open is kept, as when the focus leaves the editor.
  CloseEditor(true, true, true);
  ClearHover();
  topRow_ = top;
  SetScrollPos(hwnd(), SB_VERT, static_cast<int>(topRow_), TRUE);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void ParamTreeView::ScrollSideways(int x) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  x = std::clamp(x, 0, std::max(0, contentWidth_ - static_cast<int>(client.right)));
  if (x == scrollX_) return;
  CloseEditor(true, true, true);
  ClearHover();
  scrollX_ = x;
  SetScrollPos(hwnd(), SB_HORZ, scrollX_, TRUE);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void ParamTreeView::ShowRow(size_t row) {
  const size_t page = PageRows();
  if (row < topRow_) {
    ScrollToRow(row);
  } else if (row >= topRow_ + page) {
    ScrollToRow(row - page + 1);
  }
  ScrollSideways(0);
}

void ParamTreeView::ShowNode(size_t node) {
  if (const std::optional<size_t> row = RowOf(node)) ShowRow(*row);
}

void ParamTreeView::InvalidateNode(size_t node) {
  if (!hwnd()) return;
  const std::optional<size_t> row = RowOf(node);
  if (!row) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  const RECT band{0, RowTop(*row), client.right, RowTop(*row) + RowHeight()};
  InvalidateRect(hwnd(), &band, FALSE);
}

void ParamTreeView::Expand(size_t node, bool expand) {
  if (!model_.HasChildren(node) || model_.IsExpanded(node) == expand) return;
  ClearHover();
  if (expand) model_.ShowChildren(node);
  model_.SetExpanded(node, expand);
  RowsChanged();
  if (!expand) {
    // A selection folded away moves up to the node that folded it.
    const std::optional<size_t> selected = model_.Selected();
    for (std::optional<size_t> up = selected ? model_.Parent(*selected) : std::nullopt; up; up = model_.Parent(*up)) {
      if (*up == node) {
        model_.SelectNode(node);
        break;
      }
    }
    return;
  }
  // The children come into sight as far as they fit, the node staying in it.
  const std::optional<size_t> row = RowOf(node);
  if (!row) return;
  const std::vector<size_t>& rows = Rows();
  size_t last = *row;
  while (last + 1 < rows.size() && model_.NodeLevel(rows[last + 1]) > model_.NodeLevel(node)) ++last;
  if (last >= topRow_ + PageRows()) ScrollToRow(std::min(last - PageRows() + 1, *row));
}

void ParamTreeView::ExpandSubtree(size_t node) {
  Expand(node, true);
  const int level = model_.NodeLevel(node);
  for (size_t child = node + 1; child < model_.NodeCount() && model_.NodeLevel(child) > level; ++child) {
    if (model_.HasChildren(child)) {
      model_.ShowChildren(child);
      model_.SetExpanded(child, true);
    }
  }
  RowsChanged();
}

void ParamTreeView::SelectRow(size_t row) {
  const std::vector<size_t>& rows = Rows();
  if (rows.empty()) return;
  model_.SelectNode(rows[std::min(row, rows.size() - 1)]);
}

// --- The model's changes

void ParamTreeView::Cleared() {
  hover_.reset();
  topRow_ = 0;
  scrollX_ = 0;
  contentWidth_ = 0;
  RowsChanged();
}

void ParamTreeView::NodesInserted(size_t first, size_t count) {
  if (hover_ && hover_->node >= first) hover_->node += count;
  RowsChanged();
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
  RowsChanged();
}

void ParamTreeView::NodeTextChanged(size_t index) { InvalidateNode(index); }

void ParamTreeView::AllExpandedChanged(bool) {
  ClearHover();
  RowsChanged();
  if (const std::optional<size_t> selected = model_.Selected()) ShowNode(*selected);
}

void ParamTreeView::SelectionChanged(std::optional<size_t> index) {
  // Selecting opens the node's folded ancestors: then its row is new.
  if (index && !rowsStale_ && !RowOf(*index)) RowsChanged();
  if (!hwnd()) return;
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (!index) return;
  ShowNode(*index);
  accessibility_.SelectionMoved(RowOf(*index), GetFocus() == hwnd());
}

// --- Layout and drawing

ParamTreeView::Layout ParamTreeView::LayOut(HDC dc, size_t node, int top, bool draw) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int left = TextLeft(node);
  const int rowHeight = RowHeight();
  Layout layout;
  layout.row = RECT{left, top, client.right, top + rowHeight};

  COLORREF textColour = GetSysColor(COLOR_WINDOWTEXT);
  if (draw) SetBkMode(dc, TRANSPARENT);

  const NodeMarkup markup = ReadMarkup(model_.NodeText(node));
  layout.params.assign(markup.params.size(), RECT{});
  const HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
  int x = left + Px(kTextInset);
  for (const MarkupRun& run : markup.runs) {
    if (run.kind == MarkupRun::Kind::Icon) {
      const int index = IconIndex(run.text);
      int cx = 0;
      int cy = 0;
      if (systemIcons_ && index >= 0 && ImageList_GetIconSize(systemIcons_, &cx, &cy)) {
        if (draw) ImageList_Draw(systemIcons_, index, dc, x, top + (rowHeight - cy) / 2, ILD_TRANSPARENT);
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
    const RECT box{x, top + (rowHeight - size.cy) / 2, x + size.cx, top + (rowHeight - size.cy) / 2 + size.cy};
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
  layout.label = RECT{left, top, x + Px(kTextInset), top + rowHeight};
  contentWidth_ = std::max(contentWidth_, static_cast<int>(layout.label.right) + scrollX_);

  if (draw && model_.Selected() == node) {
    RECT focus = layout.row;
    focus.right = std::max(focus.left, client.right - 4);
    SetTextColor(dc, textColour);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
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

std::optional<ParamTreeView::Layout> ParamTreeView::LayOutNode(size_t node) {
  const std::optional<size_t> row = RowOf(node);
  if (!row || !hwnd()) return std::nullopt;
  const gdi::WindowDc dc(hwnd());
  return LayOut(dc.get(), node, RowTop(*row), false);
}

void ParamTreeView::DrawLinesAndButton(HDC dc, size_t node, int top) {
  const COLORREF line = GetSysColor(COLOR_GRAYTEXT);
  const int rowHeight = RowHeight();
  const int middle = top + rowHeight / 2;
  // Dotted, every other pixel on an even grid, so rows join up seamlessly.
  auto down = [&](int x, int from, int to) {
    for (int y = from + ((from + x) & 1); y < to; y += 2) SetPixel(dc, x, y, line);
  };
  auto across = [&](int from, int to, int y) {
    for (int x = from + ((from + y) & 1); x < to; x += 2) SetPixel(dc, x, y, line);
  };

  // The lines of the ancestors that have siblings still to come pass by.
  for (std::optional<size_t> up = model_.Parent(node); up; up = model_.Parent(*up)) {
    if (model_.NextSibling(*up)) down(ButtonCentre(*up), top, top + rowHeight);
  }
  const int centre = ButtonCentre(node);
  const bool firstOfAll = node == 0;
  down(centre, firstOfAll ? middle : top, model_.NextSibling(node) ? top + rowHeight : middle + 1);
  across(centre, centre + Indent() / 2 + Px(kTextGap), middle);

  if (!model_.HasChildren(node)) return;
  const int half = Px(kButtonSize) / 2;
  RECT box{centre - half, middle - half, centre + half + 1, middle + half + 1};
  // The system's own brushes: nothing to make or free for each row.
  FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
  const HBRUSH mark = GetSysColorBrush(COLOR_WINDOWTEXT);
  const int arm = std::max(2, half - 2);
  const RECT bar{centre - arm, middle, centre + arm + 1, middle + 1};
  FillRect(dc, &bar, mark);
  if (!model_.IsExpanded(node)) {
    const RECT post{centre, middle - arm, centre + 1, middle + arm + 1};
    FillRect(dc, &post, mark);
  }
}

void ParamTreeView::Paint(HDC target) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // Drawn off screen and put up in one go: no flicker while scrolling.
  const HDC dc = CreateCompatibleDC(target);
  const HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const int widthBefore = contentWidth_;
  const std::vector<size_t>& rows = Rows();
  for (size_t row = topRow_; row < rows.size(); ++row) {
    const int top = RowTop(row);
    if (top >= client.bottom) break;
    DrawLinesAndButton(dc, rows[row], top);
    LayOut(dc, rows[row], top, true);
  }
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  // A wider row than any before: the sideways bar grows to reach it.
  if (contentWidth_ > widthBefore) UpdateScrollBars();
}

std::optional<RECT> ParamTreeView::ParamRect(size_t node, size_t indexInNode) {
  const std::optional<Layout> layout = LayOutNode(node);
  if (!layout || indexInNode >= layout->params.size()) return std::nullopt;
  return layout->params[indexInNode];
}

std::optional<ParamTreeView::ParamHit> ParamTreeView::ParamAtPoint(POINT pt) {
  const std::optional<size_t> row = RowAt(pt);
  if (!row) return std::nullopt;
  const size_t node = Rows()[*row];
  const gdi::WindowDc dc(hwnd());
  const Layout layout = LayOut(dc.get(), node, RowTop(*row), false);
  for (size_t p = layout.params.size(); p-- > 0;) {
    if (PtInRect(&layout.params[p], pt)) return ParamHit{node, p, layout.params[p]};
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

void ParamTreeView::OnLeftButtonDown(POINT pt) {
  // Taking the focus commits an open editor.
  SetFocus(hwnd());
  if (const std::optional<ParamHit> hit = ParamAtPoint(pt)) {
    model_.SelectNode(hit->node);
    // Selecting may have scrolled the row: the editor goes where it is now.
    EditParam(hit->node, hit->param);
    return;
  }
  const std::optional<size_t> row = RowAt(pt);
  if (!row) return;
  const size_t node = Rows()[*row];
  const int columnLeft = ButtonCentre(node) - Indent() / 2;
  if (pt.x < columnLeft) return;  // the indent before the node's own column
  if (pt.x < columnLeft + Indent()) {
    // The button opens or closes the node without selecting it.
    if (model_.HasChildren(node)) Expand(node, !model_.IsExpanded(node));
    return;
  }
  model_.SelectNode(node);
}

void ParamTreeView::OnDoubleClick(POINT pt) {
  const std::optional<size_t> row = RowAt(pt);
  if (!row) return;
  const size_t node = Rows()[*row];
  if (pt.x < TextLeft(node)) {
    OnLeftButtonDown(pt);  // on the button, a second click is a second toggle
    return;
  }
  if (model_.HasChildren(node)) Expand(node, !model_.IsExpanded(node));
}

void ParamTreeView::OnWheel(int delta, bool sideways) {
  wheelDelta_ += delta;
  const int steps = wheelDelta_ / WHEEL_DELTA;
  wheelDelta_ %= WHEEL_DELTA;
  if (steps == 0) return;
  if (sideways) {
    ScrollSideways(scrollX_ + steps * Px(kSidewaysStep));
    return;
  }
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const long long by =
      lines == WHEEL_PAGESCROLL ? static_cast<long long>(PageRows()) : static_cast<long long>(lines);
  const long long top = static_cast<long long>(topRow_) - steps * by;
  ScrollToRow(static_cast<size_t>(std::max(0LL, top)));
}

void ParamTreeView::OnScroll(int bar, WORD request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(hwnd(), bar, &info);
  const int line = bar == SB_VERT ? 1 : Px(kSidewaysStep);
  const int page = std::max(1, static_cast<int>(info.nPage));
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP: position -= line; break;
    case SB_LINEDOWN: position += line; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
  }
  if (bar == SB_VERT) {
    ScrollToRow(static_cast<size_t>(std::max(0, position)));
  } else {
    ScrollSideways(position);
  }
}

POINT ParamTreeView::KeyboardMenuPoint() {
  // Under the selected row when it is in sight, else at the tree's corner.
  POINT pt{0, 0};
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (const std::optional<size_t> selected = model_.Selected()) {
    if (const std::optional<Layout> layout = LayOutNode(*selected)) {
      if (layout->row.top >= 0 && layout->row.bottom <= client.bottom) {
        pt = POINT{std::max(0L, layout->label.left), layout->row.bottom};
      }
    }
  }
  ClientToScreen(hwnd(), &pt);
  return pt;
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
  const int height = RowHeight() + Px(4);
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
  // Selecting the next parameter's node opens its group when it is folded.
  const std::optional<ParamLocation> next = model_.Advance();
  if (!next) return;
  ShowNode(next->node);
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
  const std::vector<size_t>& rows = Rows();
  const std::optional<size_t> selected = model_.Selected();
  // Without a selected row, every moving key starts from the first.
  const std::optional<size_t> shownRow = selected ? RowOf(*selected) : std::nullopt;
  const bool onRow = shownRow.has_value();
  const size_t row = shownRow.value_or(0);
  const size_t page = PageRows();
  const size_t last = rows.empty() ? 0 : rows.size() - 1;
  // With Control, the moving keys scroll and leave the selection be.
  if (ControlHeld()) {
    switch (key) {
      case VK_UP: ScrollToRow(topRow_ > 0 ? topRow_ - 1 : 0); return true;
      case VK_DOWN: ScrollToRow(topRow_ + 1); return true;
      case VK_PRIOR: ScrollToRow(topRow_ > page ? topRow_ - page : 0); return true;
      case VK_NEXT: ScrollToRow(topRow_ + page); return true;
      case VK_HOME: ScrollToRow(0); return true;
      case VK_END: ScrollToRow(last); return true;
      default: break;
    }
  }
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      if (model_.MoveFocusedParam(key == VK_LEFT ? -1 : 1)) {
        if (selected) InvalidateNode(*selected);
        return true;
      }
      if (!selected) return true;
      if (key == VK_RIGHT) {
        // Open a closed node; in an open one, on to its first child.
        if (!model_.HasChildren(*selected)) return true;
        if (!model_.IsExpanded(*selected)) {
          Expand(*selected, true);
        } else {
          model_.SelectNode(*selected + 1);
        }
      } else if (model_.HasChildren(*selected) && model_.IsExpanded(*selected)) {
        Expand(*selected, false);
      } else if (const std::optional<size_t> parent = model_.Parent(*selected)) {
        model_.SelectNode(*parent);
      }
      return true;
    case VK_UP: SelectRow(row > 0 ? row - 1 : 0); return true;
    case VK_DOWN: SelectRow(onRow ? row + 1 : 0); return true;
    case VK_PRIOR: SelectRow(row + 1 > page ? row + 1 - page : 0); return true;
    case VK_NEXT: SelectRow(onRow ? row + page - 1 : 0); return true;
    case VK_HOME: SelectRow(0); return true;
    case VK_END: SelectRow(last); return true;
    case VK_ADD:
    case VK_SUBTRACT:
      if (selected) Expand(*selected, key == VK_ADD);
      return true;
    case VK_MULTIPLY:
      if (selected) ExpandSubtree(*selected);
      return true;
    case VK_BACK:
      if (selected) {
        if (const std::optional<size_t> parent = model_.Parent(*selected)) model_.SelectNode(*parent);
      }
      return true;
    case VK_DELETE:
      if (callbacks_.deleteKey) callbacks_.deleteKey();
      return true;
    case VK_APPS: OpenMenu(KeyboardMenuPoint()); return true;
    default: return false;
  }
}

LRESULT ParamTreeView::OnChar(WPARAM wp, LPARAM) {
  if (callbacks_.keyFilter && !callbacks_.keyFilter(static_cast<char32_t>(wp))) return 0;
  if (wp == L'\r') {
    // Enter that the filter let through edits the focused parameter.
    if (const std::optional<size_t> selected = model_.Selected()) EditParam(*selected, model_.FocusedParam());
  } else if (wp >= L' ') {
    TypeAhead(static_cast<wchar_t>(wp));
  }
  return 0;
}

void ParamTreeView::TypeAhead(wchar_t c) {
  const ULONGLONG now = GetTickCount64();
  if (now - typedAt_ > kTypeAheadPause) typed_.clear();
  typedAt_ = now;
  typed_ += c;
  const size_t count = Rows().size();
  if (count == 0) return;
  // One letter typed again and again steps through the rows it starts, as
  // the first letter alone; a longer search may stay on the row it is on.
  const bool oneLetter = std::all_of(typed_.begin(), typed_.end(), [&](wchar_t t) {
    return CompareStringOrdinal(&t, 1, typed_.c_str(), 1, TRUE) == CSTR_EQUAL;
  });
  const std::wstring wanted = oneLetter ? typed_.substr(0, 1) : typed_;
  const std::optional<size_t> selected = OutlineSelectedRow();
  const size_t start = selected ? *selected + (oneLetter ? 1 : 0) : 0;
  for (size_t k = 0; k < count; ++k) {
    const size_t row = (start + k) % count;
    const std::wstring text = OutlineRowText(row);
    if (text.size() >= wanted.size() &&
        CompareStringOrdinal(text.c_str(), static_cast<int>(wanted.size()), wanted.c_str(),
                             static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL) {
      SelectRow(row);
      return;
    }
  }
}

// --- What accessibility tools read

std::wstring ParamTreeView::OutlineRowText(size_t row) {
  std::string text;
  for (const MarkupRun& run : ReadMarkup(model_.NodeText(Rows()[row])).runs) {
    if (run.kind == MarkupRun::Kind::Text) text += run.text;
  }
  return ToWide(text);
}

int ParamTreeView::OutlineRowLevel(size_t row) { return model_.NodeLevel(Rows()[row]); }

AccessibleOutline::RowState ParamTreeView::OutlineRowState(size_t row) {
  const size_t node = Rows()[row];
  RowState state;
  state.selected = model_.Selected() == node;
  state.opens = model_.HasChildren(node);
  state.open = state.opens && model_.IsExpanded(node);
  state.inSight = row >= topRow_ && row < topRow_ + PageRows();
  return state;
}

RECT ParamTreeView::OutlineRowScreenRect(size_t row) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  RECT r{0, RowTop(row), client.right, RowTop(row) + RowHeight()};
  MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::optional<size_t> ParamTreeView::OutlineSelectedRow() {
  const std::optional<size_t> selected = model_.Selected();
  return selected ? RowOf(*selected) : std::nullopt;
}

std::optional<size_t> ParamTreeView::OutlineRowAt(POINT screen) {
  ScreenToClient(hwnd(), &screen);
  return RowAt(screen);
}

void ParamTreeView::OutlineToggleRow(size_t row) {
  const size_t node = Rows()[row];
  Expand(node, !model_.IsExpanded(node));
}

// --- The tree-view messages

std::optional<size_t> ParamTreeView::NodeOfHandle(LPARAM handle) const {
  if (handle == 0) return std::nullopt;
  return model_.IndexOf(static_cast<NodeId>(handle));
}

UINT ParamTreeView::StateOf(size_t node) const {
  return (model_.IsExpanded(node) && model_.HasChildren(node) ? TVIS_EXPANDED : 0) |
         (model_.Selected() == node ? TVIS_SELECTED : 0);
}

LRESULT ParamTreeView::HandleOf(std::optional<size_t> node) const {
  return node ? static_cast<LRESULT>(model_.IdOf(*node)) : 0;
}

std::optional<LRESULT> ParamTreeView::OnTreeViewMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case TVM_GETCOUNT: return static_cast<LRESULT>(model_.NodeCount());
    case TVM_GETITEMHEIGHT: return RowHeight();
    case TVM_GETVISIBLECOUNT: return static_cast<LRESULT>(PageRows());
    case TVM_GETNEXTITEM: {
      const std::optional<size_t> node = NodeOfHandle(lp);
      const std::vector<size_t>& rows = Rows();
      const std::optional<size_t> row = node ? RowOf(*node) : std::nullopt;
      switch (wp) {
        case TVGN_ROOT: return HandleOf(model_.NodeCount() ? std::optional<size_t>(0) : std::nullopt);
        case TVGN_CARET: return HandleOf(model_.Selected());
        case TVGN_FIRSTVISIBLE: return HandleOf(topRow_ < rows.size() ? std::optional(rows[topRow_]) : std::nullopt);
        case TVGN_LASTVISIBLE: return HandleOf(rows.empty() ? std::nullopt : std::optional(rows.back()));
        case TVGN_NEXT: return node ? HandleOf(model_.NextSibling(*node)) : 0;
        case TVGN_PARENT: return node ? HandleOf(model_.Parent(*node)) : 0;
        case TVGN_CHILD: return node && model_.HasChildren(*node) ? HandleOf(*node + 1) : 0;
        case TVGN_PREVIOUS: {
          if (!node) return 0;
          const int level = model_.NodeLevel(*node);
          for (size_t k = *node; k-- > 0;) {
            if (model_.NodeLevel(k) < level) return 0;
            if (model_.NodeLevel(k) == level) return HandleOf(k);
          }
          return 0;
        }
        case TVGN_NEXTVISIBLE: return row && *row + 1 < rows.size() ? HandleOf(rows[*row + 1]) : 0;
        case TVGN_PREVIOUSVISIBLE: return row && *row > 0 ? HandleOf(rows[*row - 1]) : 0;
        default: return 0;
      }
    }
    case TVM_GETITEMW: {
      auto* item = reinterpret_cast<TVITEMW*>(lp);
      const std::optional<size_t> node = item ? NodeOfHandle(reinterpret_cast<LPARAM>(item->hItem)) : std::nullopt;
      if (!node) return FALSE;
      if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::wstring text = ToWide(model_.NodeText(*node));
        const size_t room = static_cast<size_t>(item->cchTextMax) - 1;
        const size_t length = std::min(text.size(), room);
        std::copy_n(text.c_str(), length, item->pszText);
        item->pszText[length] = L'\0';
      }
      if (item->mask & TVIF_STATE) item->state = StateOf(*node) & item->stateMask;
      if (item->mask & TVIF_PARAM) item->lParam = static_cast<LPARAM>(model_.IdOf(*node));
      if (item->mask & TVIF_CHILDREN) item->cChildren = model_.HasChildren(*node) ? 1 : 0;
      return TRUE;
    }
    case TVM_GETITEMSTATE: {
      const std::optional<size_t> node = NodeOfHandle(static_cast<LPARAM>(wp));
      return node ? static_cast<LRESULT>(StateOf(*node) & static_cast<UINT>(lp)) : 0;
    }
    case TVM_GETITEMRECT: {
      // The item comes in the rectangle the answer goes into.
      auto* rect = reinterpret_cast<RECT*>(lp);
      if (!rect) return FALSE;
      HTREEITEM item = nullptr;
      std::memcpy(&item, rect, sizeof item);
      const std::optional<size_t> node = NodeOfHandle(reinterpret_cast<LPARAM>(item));
      const std::optional<Layout> layout = node ? LayOutNode(*node) : std::nullopt;
      if (!layout) return FALSE;
      RECT client{};
      GetClientRect(hwnd(), &client);
      *rect = wp ? layout->label : RECT{0, layout->row.top, client.right, layout->row.bottom};
      return TRUE;
    }
    case TVM_EXPAND: {
      const std::optional<size_t> node = NodeOfHandle(lp);
      if (!node || !model_.HasChildren(*node)) return FALSE;
      const UINT action = static_cast<UINT>(wp) & (TVE_EXPAND | TVE_COLLAPSE | TVE_TOGGLE);
      Expand(*node, action == TVE_TOGGLE ? !model_.IsExpanded(*node) : action == TVE_EXPAND);
      return TRUE;
    }
    case TVM_SELECTITEM:
      if (wp != TVGN_CARET) return FALSE;
      model_.SelectNode(NodeOfHandle(lp));
      return TRUE;
    case TVM_ENSUREVISIBLE: {
      const std::optional<size_t> node = NodeOfHandle(lp);
      if (!node) return FALSE;
      for (std::optional<size_t> up = model_.Parent(*node); up; up = model_.Parent(*up)) {
        model_.ShowChildren(*up);
        model_.SetExpanded(*up, true);
      }
      RowsChanged();
      ShowNode(*node);
      return TRUE;
    }
    default: return std::nullopt;
  }
}

// The tree's handlers run the pool window's commands (its menu, Delete); the
// window base gives them the same barrier as the windows themselves.
LRESULT ParamTreeView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= TV_FIRST && msg < TV_FIRST + 0x100) {
    if (const std::optional<LRESULT> result = OnTreeViewMessage(msg, wp, lp)) return *result;
    return 0;
  }
  switch (msg) {
    case window_ids::kTreeRowsChanged:
      barsPosted_ = false;
      UpdateScrollBars();
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (OnKeyDown(wp)) return 0;
      break;
    case WM_CHAR: return OnChar(wp, lp);
    case WM_LBUTTONDOWN: OnLeftButtonDown(MousePoint(lp)); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(MousePoint(lp)); return 0;
    case WM_RBUTTONDOWN: SetFocus(hwnd()); return 0;  // the menu opens without touching the selection
    case WM_RBUTTONUP: {
      POINT pt = MousePoint(lp);
      ClientToScreen(hwnd(), &pt);
      OpenMenu(pt);
      return 0;
    }
    case WM_CONTEXTMENU: {
      const POINT pt = MousePoint(lp);
      OpenMenu(pt.x == -1 && pt.y == -1 ? KeyboardMenuPoint() : pt);
      return 0;
    }
    // The menu key and Shift+F10 open the menu on the key's going down; their
    // going up must not open it a second time.
    case WM_SYSKEYDOWN:
      if (wp == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
        OpenMenu(KeyboardMenuPoint());
        return 0;
      }
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (wp == VK_APPS || (wp == VK_F10 && GetKeyState(VK_SHIFT) < 0)) return 0;
      break;
    case WM_MOUSEMOVE: OnMouseMove(MousePoint(lp)); return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      ClearHover();
      return 0;
    case WM_SETCURSOR:
      if (hover_ && LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focused parameter's frame shows only while the tree has the focus.
      if (const std::optional<size_t> selected = model_.Selected()) {
        InvalidateNode(*selected);
        if (msg == WM_SETFOCUS) accessibility_.SelectionMoved(RowOf(*selected), true);
      }
      return 0;
    case WM_GETOBJECT:
      if (const std::optional<LRESULT> object = accessibility_.OnGetObject(wp, lp)) return *object;
      break;
    case WM_MOUSEWHEEL: OnWheel(GET_WHEEL_DELTA_WPARAM(wp), false); return 0;
    case WM_MOUSEHWHEEL: OnWheel(-GET_WHEEL_DELTA_WPARAM(wp), true); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wp)); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wp)); return 0;
    case WM_SIZE:
      UpdateScrollBars();
      InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
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
