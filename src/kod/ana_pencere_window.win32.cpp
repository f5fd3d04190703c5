#include "kod/ana_pencere_window.win32.hpp"

#include <shellapi.h>

#include <exception>

#include "base/file_system.hpp"
#include "base/handles.win32.hpp"
#include "base/message_queue.win32.hpp"
#include "base/text.hpp"
#include "lang/lang_manager.hpp"
#include "resource_ids.h"
#include "ui/drawing.win32.hpp"

namespace kovan {

namespace {

constexpr int kDesignWidth = 130;  // the window as designed, before it shrinks to its panel
constexpr int kDesignHeight = 123;
constexpr int kPanelWidth = 68;  // design sizes at 96 DPI
constexpr int kPanelHeight = 71;
constexpr int kCloseButtonSize = 12;
constexpr int kMenuImageSize = 22;
constexpr int kHintWidth = 500;
constexpr UINT kHintShowMs = 100000;
// Sky blue, the see-through colour of the window's own background.
constexpr COLORREF kColourKey = RGB(166, 202, 240);
constexpr COLORREF kPanelTop = RGB(255, 221, 120);
constexpr COLORREF kPanelBottom = RGB(236, 164, 28);
constexpr COLORREF kPanelEdge = RGB(156, 98, 10);
constexpr COLORREF kTextColour = RGB(70, 40, 0);
constexpr COLORREF kCloseHot = RGB(200, 40, 30);
// The version check's outcome: wParam 1 and lParam the number, or wParam 0.
constexpr UINT kVersionCheckDone = WM_APP + 2;

UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto fn = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = fn ? fn(hwnd) : 0;
  return dpi ? dpi : 96;
}

// The menu's image list, in its order; image i is resource IDB_MENU_FIRST + i.
constexpr const char* kMenuImages[] = {"ayar", "cikis", "hakkinda", "liste",  "res",   "temizle",
                                       "resy", "objy",  "update2",  "resobj", "yardim"};

int PictureResource(const std::string& name) {
  for (int i = 0; i < IDB_MENU_COUNT; ++i) {
    if (name == kMenuImages[i]) return IDB_MENU_FIRST + i;
  }
  return 0;
}

}  // namespace

AnaPencereWindow::AnaPencereWindow(HWND appWindow, std::string exeFolder, std::string dataFolder)
    : appWindow_(appWindow),
      exeFolder_(std::move(exeFolder)),
      prompter_(appWindow),
      shortcut_(registry_),
      browser_(classes_, starter_),
      logic_(*this, MainWindowServices{prompter_, registry_, shortcut_, browser_, shell_, exeFolder_,
                                       std::move(dataFolder), exeFolder_ + "dil\\"}) {}

AnaPencereWindow::~AnaPencereWindow() {
  if (versionThread_.joinable()) versionThread_.join();
}

int AnaPencereWindow::Scale(int designPixels) const { return MulDiv(designPixels, static_cast<int>(dpi_), 96); }

RECT AnaPencereWindow::CloseButtonRect() const {
  const int size = Scale(kCloseButtonSize);
  const int right = Scale(kPanelWidth) - Scale(4);
  return RECT{right - size, Scale(4), right, Scale(4) + size};
}

void AnaPencereWindow::LoadPictures() {
  pictures_.clear();
  const int size = Scale(kMenuImageSize);
  for (const MainMenuItem& item : logic_.Menu().Items()) {
    if (const int id = PictureResource(item.image)) {
      pictures_[item.image] = ui::LoadPngResource(MAKEINTRESOURCEW(id), size);
    }
  }
  pictures_["update2"] = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_MENU_UPDATE2), size);
  pictures_["help"] = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_HINT_HELP), Scale(16));
}

bool AnaPencereWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KOVAN));
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&wc)) return false;
  // Owned by the hidden application window, so the panel has no taskbar button.
  hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST, kMainWindowClass, L"Kovan", WS_POPUP, 0, 0, kDesignWidth,
                          kDesignHeight, appWindow_, nullptr, instance, this);
  if (!hwnd_) return false;
  dpi_ = WindowDpi(hwnd_);
  SetLayeredWindowAttributes(hwnd_, kColourKey, 255, LWA_COLORKEY);
  DragAcceptFiles(hwnd_, TRUE);
  prompter_.SetOwner(hwnd_);
  shell_.SetOwner(hwnd_);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = metrics.lfCaptionFont;
  hint_.Create(instance, hwnd_);
  hint_.SetFont(font_);
  menuHint_.Create(instance, hwnd_);
  menuHint_.SetFont(font_);
  LoadPictures();

  // The window has its design size while its creation places it, then
  // shrinks to the panel, keeping its top-left corner.
  SetWindowPos(hwnd_, nullptr, 0, 0, Scale(kDesignWidth), Scale(kDesignHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  try {
    logic_.FormCreate();
  } catch (const std::exception& e) {
    prompter_.ReportError(e.what());
  }
  SetWindowPos(hwnd_, nullptr, 0, 0, Scale(kPanelWidth), Scale(kPanelHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void AnaPencereWindow::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

void AnaPencereWindow::SetPoolCountCaption(const std::string& caption) {
  caption_ = ToWide(caption);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void AnaPencereWindow::SetHoverSummary(const HoverSummary& summary) { hover_ = summary; }

void AnaPencereWindow::SetOpacity(uint8_t alpha) {
  SetLayeredWindowAttributes(hwnd_, kColourKey, alpha, LWA_COLORKEY | (alpha == 255 ? 0 : LWA_ALPHA));
}

void AnaPencereWindow::SetBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool AnaPencereWindow::DispatchPendingMessages() {
  if (!DrainMessageQueue()) quitSeen_ = true;
  return quitSeen_ || !IsWindow(hwnd_);
}

std::string AnaPencereWindow::ThousandsSeparator() const {
  wchar_t sep[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, sep, 8) <= 0) return ".";
  return ToUtf8(sep);
}

void AnaPencereWindow::SetStayOnTop(bool onTop) {
  SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

ScreenSize AnaPencereWindow::PrimaryScreenSize() const {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenSize AnaPencereWindow::WindowSize() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.right - r.left, r.bottom - r.top};
}

WindowPlace AnaPencereWindow::Place() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.top, r.left};
}

void AnaPencereWindow::MoveTo(WindowPlace place) {
  SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AnaPencereWindow::BeginVersionCheck(const ServerAddress& server) {
  // The window must not wait for the network: the number is fetched on a
  // worker thread and handed back through the message queue.
  HWND target = hwnd_;
  versionThread_ = std::thread([target, server] {
    WPARAM ok = 0;
    LPARAM number = 0;
    try {
      number = static_cast<LPARAM>(FetchPublishedVersion(server));
      ok = 1;
    } catch (...) {
    }
    PostMessageW(target, kVersionCheckDone, ok, number);
  });
}

void AnaPencereWindow::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  // Draw off screen, then copy, so the count never flickers.
  HDC memDc = CreateCompatibleDC(dc);
  UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  HGDIOBJ oldBitmap = SelectObject(memDc, bitmap.get());

  UniqueGdiObject keyBrush(CreateSolidBrush(kColourKey));
  FillRect(memDc, &client, static_cast<HBRUSH>(keyBrush.get()));

  const int radius = Scale(16);
  UniqueGdiObject region(CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, radius, radius));
  SelectClipRgn(memDc, static_cast<HRGN>(region.get()));
  ui::FillVerticalGradient(memDc, client, kPanelTop, kPanelBottom);
  // A faint honeycomb band behind the count.
  UniqueGdiObject combPen(CreatePen(PS_SOLID, 1, RGB(244, 190, 70)));
  HGDIOBJ oldPen = SelectObject(memDc, combPen.get());
  const int cell = Scale(9);
  for (int row = 0; row * cell < client.bottom + cell; ++row) {
    for (int col = -1; col * cell < client.right + cell; ++col) {
      const int cx = col * cell + (row % 2 ? cell / 2 : 0);
      const int cy = row * cell * 7 / 8;
      POINT hex[7];
      for (int k = 0; k < 7; ++k) {
        static constexpr int dx[6] = {0, 4, 4, 0, -4, -4};
        static constexpr int dy[6] = {-5, -2, 2, 5, 2, -2};
        hex[k] = POINT{cx + MulDiv(dx[k % 6], cell, 9), cy + MulDiv(dy[k % 6], cell, 9)};
      }
      Polyline(memDc, hex, 7);
    }
  }
  SelectObject(memDc, oldPen);
  SelectClipRgn(memDc, nullptr);
  UniqueGdiObject edgeBrush(CreateSolidBrush(kPanelEdge));
  FrameRgn(memDc, static_cast<HRGN>(region.get()), static_cast<HBRUSH>(edgeBrush.get()), 1, 1);

  // The close button: a small cross, red while the pointer is on it.
  const RECT close = CloseButtonRect();
  UniqueGdiObject pen(CreatePen(PS_SOLID, std::max(1, Scale(2)), closeHot_ ? kCloseHot : kTextColour));
  oldPen = SelectObject(memDc, pen.get());
  const int inset = Scale(3);
  MoveToEx(memDc, close.left + inset, close.top + inset, nullptr);
  LineTo(memDc, close.right - inset, close.bottom - inset);
  MoveToEx(memDc, close.right - inset, close.top + inset, nullptr);
  LineTo(memDc, close.left + inset, close.bottom - inset);
  SelectObject(memDc, oldPen);

  LOGFONTW font = font_;
  font.lfHeight = -Scale(18);
  font.lfWeight = FW_BOLD;
  UniqueGdiObject fontHandle(CreateFontIndirectW(&font));
  HGDIOBJ oldFont = SelectObject(memDc, fontHandle.get());
  SetBkMode(memDc, TRANSPARENT);
  RECT text = client;
  text.top += Scale(6);
  SetTextColor(memDc, RGB(255, 240, 200));
  OffsetRect(&text, 1, 1);
  DrawTextW(memDc, caption_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  OffsetRect(&text, -1, -1);
  SetTextColor(memDc, kTextColour);
  DrawTextW(memDc, caption_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(memDc, oldFont);

  BitBlt(dc, 0, 0, client.right, client.bottom, memDc, 0, 0, SRCCOPY);
  SelectObject(memDc, oldBitmap);
  DeleteDC(memDc);
}

void AnaPencereWindow::ShowMenu(POINT screen) {
  hint_.Hide();
  std::vector<ui::MenuEntry> top;
  const auto& items = logic_.Menu().Items();
  for (size_t i = 0; i < items.size(); ++i) {
    const MainMenuItem& item = items[i];
    ui::MenuEntry entry;
    entry.separator = item.separator;
    entry.id = static_cast<UINT>(item.command);
    entry.caption = ToWide(item.caption);
    entry.hint = ToWide(item.hint);
    entry.enabled = item.enabled;
    const auto picture = pictures_.find(item.image);
    if (picture != pictures_.end()) entry.image = static_cast<HBITMAP>(picture->second.get());
    if (item.parent < 0) {
      top.push_back(std::move(entry));
    } else {
      top[static_cast<size_t>(item.parent)].children.push_back(std::move(entry));
    }
  }
  HMENU menu = ui::BuildPopupMenu(top);
  if (!menu) return;
  menuHints_ = ui::MenuHints();
  menuHints_.Collect(menu, top);
  // The menu needs the foreground to close when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x, screen.y, hwnd_, nullptr));
  menuHint_.Hide();
  ui::FreeMenuItemData(menu);
  DestroyMenu(menu);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  if (chosen != 0) RunCommand(static_cast<MenuCommand>(chosen));
}

void AnaPencereWindow::RunCommand(MenuCommand command) {
  if (command == MenuCommand::Exit) {
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);  // k1Click
    return;
  }
  logic_.RunCommand(command);
}

void AnaPencereWindow::OnDropFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(ToUtf8(path));
  }
  DragFinish(drop);  // the paths are copied; the import never reads the drop itself
  logic_.DropFiles1DropFiles(std::move(paths));
}

void AnaPencereWindow::OnMouseMove() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  const RECT close = CloseButtonRect();
  const bool hot = PtInRect(&close, pt) != FALSE;
  if (hot != closeHot_) {
    closeHot_ = hot;
    InvalidateRect(hwnd_, &close, FALSE);
  }
  if (mouseInside_) return;
  mouseInside_ = true;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE | TME_HOVER;
  track.hwndTrack = hwnd_;
  track.dwHoverTime = HOVER_DEFAULT;
  TrackMouseEvent(&track);
  logic_.SmoothPanel1MouseEnter();
}

LRESULT CALLBACK AnaPencereWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<AnaPencereWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<AnaPencereWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  // Errors never cross the window procedure: they end the handler and are shown.
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    self->prompter_.ReportError(e.what());
    return 0;
  }
}

LRESULT AnaPencereWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      hint_.Hide();
      const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      const RECT close = CloseButtonRect();
      if (msg == WM_LBUTTONDOWN && PtInRect(&close, pt)) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);  // SpeedButton1Click
        return 0;
      }
      // Pressing the panel drags the window as if by its caption.
      ReleaseCapture();
      SendMessageW(hwnd_, WM_SYSCOMMAND, 0xF012, 0);
      return 0;
    }
    case WM_CONTEXTMENU: {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (pt.x == -1 && pt.y == -1) {  // from the keyboard
        RECT r{};
        GetWindowRect(hwnd_, &r);
        pt = POINT{r.left, r.bottom};
      }
      ShowMenu(pt);
      return 0;
    }
    case WM_MEASUREITEM:
      if (ui::MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), hwnd_, font_, dpi_)) return TRUE;
      break;
    case WM_DRAWITEM:
      if (ui::DrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), font_, dpi_)) return TRUE;
      break;
    case WM_MENUSELECT: {
      const std::wstring hint = menuHints_.ForSelection(wp, lp);
      if (hint.empty()) {
        menuHint_.Hide();
      } else {
        // Below the lowest open menu, so the hint never covers an item.
        RECT below{};
        GetWindowRect(hwnd_, &below);
        for (HWND m = FindWindowW(L"#32768", nullptr); m; m = FindWindowExW(nullptr, m, L"#32768", nullptr)) {
          RECT r{};
          if (IsWindowVisible(m) && GetWindowRect(m, &r) && r.bottom > below.bottom) below = r;
        }
        ui::HintContent content;
        content.title = hint;
        menuHint_.Show(content, POINT{below.left, below.bottom - Scale(16)}, dpi_, kHintShowMs, 0);
      }
      return 0;
    }
    case WM_MOUSEMOVE: OnMouseMove(); return 0;
    case WM_MOUSEHOVER: {
      POINT pt{};
      GetCursorPos(&pt);
      ui::HintContent content;
      content.title = ToWide(hover_.title);
      for (const std::string& note : hover_.notes) content.notes.push_back(ToWide(note));
      content.showHelp = hover_.showHelp;
      content.helpText = ToWide(logic_.HintHelpText());
      const auto help = pictures_.find("help");
      if (help != pictures_.end()) content.helpPicture = static_cast<HBITMAP>(help->second.get());
      hint_.Show(content, pt, dpi_, kHintShowMs, kHintWidth);
      return 0;
    }
    case WM_MOUSELEAVE:
      mouseInside_ = false;
      if (closeHot_) {
        closeHot_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      hint_.Hide();
      logic_.SmoothPanel1MouseLeave();
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) logic_.FormKeyDown(TAnaPencere::Key::Escape);
      if (wp == VK_F5) logic_.FormKeyDown(TAnaPencere::Key::F5);
      return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, Scale(kPanelWidth), Scale(kPanelHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      LoadPictures();
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case kVersionCheckDone:
      logic_.VersionCheckDone(wp ? std::optional<int32_t>(static_cast<int32_t>(lp)) : std::nullopt);
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      // Windows is ending the session: save as a normal close would, since the
      // process will not get another chance.
      if (wp) (void)logic_.FormClose();
      return 0;
    case WM_CLOSE:
      if (logic_.FormClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace kovan
