#include "windows/pool/pool_window.win32.hpp"

#include <windowsx.h>

#include <algorithm>
#include <vector>

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
#include "windows/pool/file_size_text.hpp"
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

PoolWindow::PoolWindow(Prompter& prompter, Shell& shell, MainPoolLink main)
    : logic_(*this, prompter, shell, std::move(main)), tree_(logic_.Tree()) {}

PoolWindow::~PoolWindow() {
  // The tree goes with the window while the logic it mirrors still lives.
  if (hwnd()) DestroyWindow(hwnd());
}

RECT PoolWindow::PanelRect() const {
  return RECT{Scale(kPanel.left), Scale(kPanel.top), Scale(kPanel.right), Scale(kPanel.bottom)};
}

RECT PoolWindow::CloseRect() const {
  const RECT panel = PanelRect();
  return Offset(RECT{Scale(kClose.left), Scale(kClose.top), Scale(kClose.right), Scale(kClose.bottom)}, panel.left,
                panel.top);
}

RECT PoolWindow::ConfirmRect() const {
  const RECT panel = PanelRect();
  return Offset(RECT{Scale(kConfirm.left), Scale(kConfirm.top), Scale(kConfirm.right), Scale(kConfirm.bottom)},
                panel.left, panel.top);
}

RECT PoolWindow::TreeRect() const {
  const RECT panel = PanelRect();
  return Offset(RECT{Scale(kTree.left), Scale(kTree.top), Scale(kTree.right), Scale(kTree.bottom)}, panel.left,
                panel.top);
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
  ui::ParamTreeView::Callbacks callbacks;
  callbacks.deleteKey = [this] { logic_.DeleteKeyPressed(); };
  callbacks.openMenu = [this](POINT pt) { ShowMenu(pt); };
  callbacks.keyFilter = [](char32_t c) { return KeyPasses(c); };
  if (!tree_.Create(hwnd(), TreeRect(), Dpi(), std::move(callbacks))) return false;
  timeline::Mark("pool window and its tree made");
  LoadDpiResources();
  SetWindowPos(hwnd(), nullptr, 0, 0, Scale(kClientWidth), Scale(kClientHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  logic_.Loaded();
  return true;
}

void PoolWindow::ShowModal() {
  if (showing_) return;
  PreparePictures();
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT r{};
  GetWindowRect(hwnd(), &r);
  SetWindowPos(hwnd(), nullptr, area.left + (area.right - area.left - (r.right - r.left)) / 2,
               area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

void PoolWindow::SetBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool PoolWindow::DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitSeen_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    PreviewMessage(msg);
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
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
  const int radius = Scale(kPanelRadius);
  const gdi::Region region(
      CreateRoundRectRgn(panel.left, panel.top, panel.right + 1, panel.bottom + 1, radius, radius));
  SelectClipRgn(dc, region.get());
  ui::FillVerticalGradient(dc, panel, palette::kPanelTop, palette::kPanelBottom);
  SelectClipRgn(dc, nullptr);
  FrameRgn(dc, region.get(), gdi::MakeBrush(palette::kPanelEdge).get(), 1, 1);

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
  const RECT confirm = ConfirmRect();
  const int round = Scale(8);
  const gdi::Region pill(
      CreateRoundRectRgn(confirm.left, confirm.top, confirm.right + 1, confirm.bottom + 1, round, round));
  SelectClipRgn(dc, pill.get());
  const int middle = (confirm.top + confirm.bottom) / 2;
  ui::FillVerticalGradient(dc, RECT{confirm.left, confirm.top, confirm.right, middle},
                           confirmHot_ ? palette::Rgb(150, 230, 150) : palette::Rgb(120, 210, 120),
                           palette::Rgb(60, 160, 60));
  ui::FillVerticalGradient(dc, RECT{confirm.left, middle, confirm.right, confirm.bottom}, palette::Rgb(30, 120, 30),
                           confirmHot_ ? palette::Rgb(80, 190, 80) : palette::Rgb(50, 150, 50));
  SelectClipRgn(dc, nullptr);
  FrameRgn(dc, pill.get(), gdi::MakeBrush(palette::Rgb(20, 90, 20)).get(), 1, 1);
  const int glyph = Scale(16);
  ui::DrawAlphaBitmap(dc, okPicture_.get(), (confirm.left + confirm.right - glyph) / 2,
                      (confirm.top + confirm.bottom - glyph) / 2, glyph);

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
  ReleaseCapture();
  SendMessageW(hwnd(), WM_SYSCOMMAND, msg_id::kDragMoveCommand, 0);
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
  const RECT tree = TreeRect();
  MoveWindow(tree_.hwnd(), tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top, TRUE);
  LoadDpiResources();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT PoolWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      gdi::PaintDc dc(hwnd());
      Paint(dc.get());
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_NOTIFY:
      if (const auto result = tree_.OnNotify(*reinterpret_cast<const NMHDR*>(lp))) return *result;
      break;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (reinterpret_cast<HWND>(wp) == hwnd() && LOWORD(lp) == HTCLIENT) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(hwnd(), &pt);
        const RECT close = CloseRect();
        const RECT confirm = ConfirmRect();
        if (PtInRect(&close, pt) || PtInRect(&confirm, pt)) {
          SetCursor(LoadCursorW(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_MOUSEMOVE: {
      const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
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
    case WM_MBUTTONDOWN: OnButtonDown(msg, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_LBUTTONUP: OnLeftButtonUp(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
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
      SetFocus(tree_.hwnd());
      return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace kovan
