#include "windows/pool/pool_window.win32.hpp"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "base/errors.hpp"
#include "base/message_queue.win32.hpp"
#include "base/text.hpp"
#include "export/excel_automation.win32.hpp"
#include "lang/lang_manager.hpp"
#include "pool/key_filter.hpp"
#include "resource_ids.h"
#include "win32/dpi.win32.hpp"
#include "win32/drawing.win32.hpp"
#include "win32/image_menu.win32.hpp"
#include "win32/messages.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "win32/startup_timeline.win32.hpp"
#include "export/file_size_text.hpp"
#include "windows/pool/pool_window_names.hpp"

namespace kovan {

namespace {

// Design sizes at 96 DPI.
constexpr int kClientWidth = 486;
constexpr int kClientHeight = 405;
constexpr RECT kPanel{8, 8, 8 + 474, 8 + 385};
constexpr int kPanelRadius = 10;
constexpr RECT kClose{451, 2, 451 + 16, 2 + 16};  // within the panel
constexpr RECT kTree{16, 39, 16 + 441, 39 + 306};
constexpr RECT kConfirm{416, 351, 416 + 41, 351 + 26};
constexpr int kMenuImageSize = 20;

// The menu's image list, in its order; image i is resource IDB_POOL_FIRST + i.
constexpr const char* kMenuImages[] = {"ekle",  "iptal",  "sil",  "tamam",  "Excel",   "xml",
                                       "aktar", "kaydet", "html", "ackapa", "yenidos", "yeniklas"};

RECT Offset(RECT r, int dx, int dy) {
  OffsetRect(&r, dx, dy);
  return r;
}

uint32_t ToRgb(COLORREF colour) {
  return (static_cast<uint32_t>(GetRValue(colour)) << 16) | (static_cast<uint32_t>(GetGValue(colour)) << 8) |
         GetBValue(colour);
}

// The look of the HTML page's cells: the system's window colours and its
// dialog font (the face behind "MS Shell Dlg 2", at the default GUI font's
// size).
HtmlStyle SystemHtmlStyle() {
  HtmlStyle style;
  style.background = ToRgb(GetSysColor(COLOR_WINDOW));
  style.text = ToRgb(GetSysColor(COLOR_WINDOWTEXT));
  wchar_t face[LF_FACESIZE] = {};
  DWORD size = sizeof face;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                   L"MS Shell Dlg 2", RRF_RT_REG_SZ, nullptr, face, &size) == ERROR_SUCCESS &&
      face[0]) {
    style.fontFamily = ToUtf8(face);
  }
  LOGFONTW font{};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == sizeof font && font.lfHeight != 0) {
    const int points = MulDiv(std::abs(static_cast<int>(font.lfHeight)), 72, static_cast<int>(dpi::OfSystem()));
    if (points > 0) style.fontPoints = points;
  }
  return style;
}

}  // namespace

PoolWindow::PoolWindow(PoolWindowServices services)
    : WindowBase(Painting::Whole),
      logic_(*this, std::move(services)), tree_(logic_.Tree()) {}

PoolWindow::~PoolWindow() {
  // The tree goes with the window while the logic it mirrors still lives.
  if (hwnd()) DestroyWindow(hwnd());
}

RECT PoolWindow::PanelRect() const { return Scale(kPanel); }

RECT PoolWindow::CloseRect() const {
  const RECT panel = PanelRect();
  return Offset(Scale(kClose), panel.left, panel.top);
}

RECT PoolWindow::ConfirmRect() const {
  const RECT panel = PanelRect();
  return Offset(Scale(kConfirm), panel.left, panel.top);
}

RECT PoolWindow::TreeRect() const {
  const RECT panel = PanelRect();
  return Offset(Scale(kTree), panel.left, panel.top);
}

void PoolWindow::LoadDpiResources() {
  font_ = dpi::CaptionFont(Dpi());
  font_.lfWeight = FW_NORMAL;
  LOGFONTW bold = font_;
  bold.lfWeight = FW_BOLD;
  captionFont_ = gdi::MakeFont(bold);
  tree_.SetFont(font_, Dpi());
}

void PoolWindow::PreparePictures() {
  if (picturesDpi_ == Dpi()) return;
  picturesDpi_ = Dpi();
  pictures_.clear();
  for (int i = 0; i < IDB_POOL_COUNT; ++i) {
    pictures_[kMenuImages[i]] = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_POOL_FIRST + i), Scale(kMenuImageSize));
  }
  closePicture_ = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_CLOSE_16), Scale(16));
  okPicture_ = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_GLYPH_OK), Scale(16));
  timeline::Mark("pool window's pictures decoded");
}

bool PoolWindow::Create(HWND mainWindow) {
  owner_ = mainWindow;
  const WindowClassInfo windowClass{kPoolWindowClass};
  if (!CreateFor(windowClass, WS_EX_LAYERED, WS_POPUP | WS_CLIPCHILDREN, RECT{0, 0, kClientWidth, kClientHeight},
                 mainWindow, L"Kaynaklar")) {
    return false;
  }
  SetLayeredWindowAttributes(hwnd(), palette::kColourKey, 255, LWA_COLORKEY);
  timeline::Mark("pool window made");
  LoadDpiResources();
  SetWindowPos(hwnd(), nullptr, 0, 0, Scale(kClientWidth), Scale(kClientHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  logic_.Loaded();
  return true;
}

void PoolWindow::PrepareTree() {
  if (tree_.hwnd()) return;
  ui::ParamTreeView::Callbacks callbacks;
  callbacks.deleteKey = [this] { logic_.DeleteKeyPressed(); };
  callbacks.openMenu = [this](POINT pt) { ShowMenu(pt); };
  callbacks.keyFilter = [](char32_t c) { return KeyPasses(c); };
  if (!tree_.Create(hwnd(), TreeRect(), Dpi(), std::move(callbacks))) {
    throw SystemError("CreateWindowExW(KovanParamTree)", static_cast<int>(GetLastError()));
  }
  timeline::Mark("pool window's tree made");
}

void PoolWindow::ShowModal() {
  if (showing_) return;
  PrepareTree();
  PreparePictures();
  CentreInWorkArea();
  const bool mainOnTop = owner_ && (GetWindowLongW(owner_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  {
    const ui::ParamTreeView::Bulk bulk(tree_);
    logic_.Open(mainOnTop);
  }
  showing_ = true;
  DisableOtherWindows(true);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(tree_.hwnd());
  MSG msg;
  while (showing_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quitSeen_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    PreviewMessage(msg);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  showing_ = false;
  // The others come back before this window hides, so the activation returns to the owner.
  DisableOtherWindows(false);
  ShowWindow(hwnd(), SW_HIDE);
  if (owner_ && IsWindowVisible(owner_)) SetActiveWindow(owner_);
  DropWorkingCopy();
}

void PoolWindow::DropWorkingCopy() {
  const ui::ParamTreeView::Bulk bulk(tree_);
  logic_.Closed();
}

void PoolWindow::PreviewMessage(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) logic_.RequestStop();
}

void PoolWindow::SetTitle(const std::string& title) {
  title_ = ToWide(title);
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void PoolWindow::SetStayOnTop(bool onTop) {
  SetWindowPos(hwnd(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PoolWindow::SetBusyCursor(bool busy) { ShowBusyCursor(busy); }

bool PoolWindow::DispatchPendingMessages() {
  if (!DrainMessageQueue([this](const MSG& msg) { PreviewMessage(msg); })) quitSeen_ = true;
  return quitSeen_ || !IsWindow(hwnd());
}

void PoolWindow::Close() {
  showing_ = false;
  PostMessageW(hwnd(), WM_NULL, 0, 0);  // wakes the modal loop
}

void PoolWindow::WriteWorkbook(const ExportTable& table, const std::string& path) { ExportWorkbook(table, path); }

HtmlStyle PoolWindow::HtmlLook() const { return SystemHtmlStyle(); }

void PoolWindow::DisableOtherWindows(bool disable) {
  if (!disable) {
    for (HWND w : disabledWindows_) {
      if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    disabledWindows_.clear();
    return;
  }
  struct Search {
    HWND self;
    std::vector<HWND>& found;
  } search{hwnd(), disabledWindows_};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lp);
        // This window's own pop-ups (the tree's editor) stay live.
        for (HWND owner = w; owner; owner = GetWindow(owner, GW_OWNER)) {
          if (owner == s.self) return TRUE;
        }
        if (IsWindowEnabled(w)) s.found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  for (HWND w : disabledWindows_) EnableWindow(w, FALSE);
}

void PoolWindow::ShowMenu(POINT screen) {
  const ui::PopupMenu menu(logic_.Menu(), [this](const std::string& name) -> HBITMAP {
    const auto picture = pictures_.find(name);
    return picture == pictures_.end() ? nullptr : picture->second.get();
  });
  const MenuCommandId chosen = menu.Track(hwnd(), screen);
  if (chosen != 0) logic_.RunCommand(static_cast<PoolCommand>(chosen));
}

void PoolWindow::Paint(HDC target) {
  PreparePictures();  // after a change of DPI
  RECT client{};
  GetClientRect(hwnd(), &client);
  gdi::MemoryDc canvas(target, client.right, client.bottom);
  HDC dc = canvas.get();
  FillRect(dc, &client, gdi::MakeBrush(palette::kColourKey).get());

  const RECT panel = PanelRect();
  ui::DrawRoundedPanel(dc, panel, Scale(kPanelRadius));

  {
    gdi::Select font(dc, captionFont_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, palette::kPanelText);
    RECT caption{panel.left, panel.top + Scale(6), panel.right, panel.top + Scale(30)};
    DrawTextW(dc, title_.c_str(), -1, &caption, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }

  const RECT close = CloseRect();
  if (closeHot_) FillRect(dc, &close, gdi::MakeBrush(palette::kPanelComb).get());
  ui::DrawAlphaBitmap(dc, closePicture_.get(), close.left, close.top, Scale(16));

  // The confirm button: a green glass pill with a white tick.
  ui::DrawGlassButton(dc, ConfirmRect(), Scale(8), confirmHot_ ? ui::GlassState::Hot : ui::GlassState::Normal,
                      okPicture_.get(), Scale(16));

  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

PoolWindow::Button PoolWindow::ButtonAt(POINT pt) const {
  const RECT close = CloseRect();
  const RECT confirm = ConfirmRect();
  if (PtInRect(&close, pt)) return Button::Close;
  if (PtInRect(&confirm, pt)) return Button::Confirm;
  return Button::None;
}

void PoolWindow::OnButtonDown(UINT msg, POINT pt) {
  if (msg == WM_LBUTTONDOWN) {
    pressed_ = ButtonAt(pt);
    if (pressed_ != Button::None) {
      SetCapture(hwnd());
      return;
    }
  }
  const RECT panel = PanelRect();
  if (!PtInRect(&panel, pt)) return;
  // Pressing the panel drags the window as if by its caption.
  DragMove();
}

void PoolWindow::OnLeftButtonUp(POINT pt) {
  const Button pressed = pressed_;
  pressed_ = Button::None;
  if (pressed == Button::None) return;
  ReleaseCapture();
  // Released elsewhere: the press is forgotten, as a push button does.
  if (ButtonAt(pt) != pressed) return;
  logic_.RunCommand(pressed == Button::Close ? PoolCommand::Cancel : PoolCommand::Confirm);
}

void PoolWindow::OnDpiChanged(UINT, const RECT& suggested) {
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, Scale(kClientWidth), Scale(kClientHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (tree_.hwnd()) {
    const RECT tree = TreeRect();
    MoveWindow(tree_.hwnd(), tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top, TRUE);
  }
  LoadDpiResources();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT PoolWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == hwnd() && LOWORD(lp) == HTCLIENT) {
        const POINT pt = CursorPosition();
        const RECT close = CloseRect();
        const RECT confirm = ConfirmRect();
        if (PtInRect(&close, pt) || PtInRect(&confirm, pt)) {
          SetCursor(LoadCursorW(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_MOUSEMOVE: {
      const POINT pt = MousePoint(lp);
      const RECT close = CloseRect();
      const RECT confirm = ConfirmRect();
      const bool closeHot = PtInRect(&close, pt) != FALSE;
      const bool confirmHot = PtInRect(&confirm, pt) != FALSE;
      if (closeHot != closeHot_ || confirmHot != confirmHot_) {
        closeHot_ = closeHot;
        confirmHot_ = confirmHot;
        InvalidateRect(hwnd(), nullptr, FALSE);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
        TrackMouseEvent(&track);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      if (closeHot_ || confirmHot_) {
        closeHot_ = confirmHot_ = false;
        InvalidateRect(hwnd(), nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnButtonDown(msg, MousePoint(lp)); return 0;
    case WM_LBUTTONUP: OnLeftButtonUp(MousePoint(lp)); return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd()) pressed_ = Button::None;
      break;
    case WM_MEASUREITEM:
      if (ui::MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), hwnd(), font_, Dpi())) return TRUE;
      break;
    case WM_DRAWITEM:
      if (ui::DrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), font_, Dpi())) return TRUE;
      break;
    case WM_CLOSE: logic_.RunCommand(PoolCommand::Cancel); return 0;
    case WM_SETFOCUS:
      // The keys belong to the tree, also when a question box hands the focus back.
      if (tree_.hwnd()) SetFocus(tree_.hwnd());
      return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace kovan
