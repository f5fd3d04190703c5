#include "windows/main/main_window.win32.hpp"

#include <shellapi.h>

#include <algorithm>

#include "base/message_queue.win32.hpp"
#include "base/text.hpp"
#include "resource_ids.h"
#include "win32/dpi.win32.hpp"
#include "win32/drawing.win32.hpp"
#include "win32/messages.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "win32/startup_timeline.win32.hpp"
#include "windows/main/main_window_names.hpp"

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

// The menu's image list, in its order; image i is resource IDB_MENU_FIRST + i.
constexpr const char* kMenuImages[] = {"ayar", "cikis", "hakkinda", "liste",  "res",   "temizle",
                                       "resy", "objy",  "update2",  "resobj", "yardim"};

}  // namespace

MainWindow::MainWindow(MainWindowServices services) : logic_(*this, std::move(services)) {}

MainWindow::~MainWindow() {
  if (versionThread_.joinable()) versionThread_.join();
}

RECT MainWindow::CloseButtonRect() const {
  const int size = Scale(kCloseButtonSize);
  const int right = Scale(kPanelWidth) - Scale(4);
  return RECT{right - size, Scale(4), right, Scale(4) + size};
}

void MainWindow::LoadDpiResources() {
  font_ = dpi::CaptionFont(Dpi());
  LOGFONTW count = font_;
  count.lfHeight = -Scale(18);
  count.lfWeight = FW_BOLD;
  countFont_ = gdi::MakeFont(count);
  hint_.SetFont(font_, Dpi());
  menuHint_.SetFont(font_, Dpi());
}

void MainWindow::PreparePictures() {
  // Only the menu and the hint show pictures; the panel itself has none.
  if (picturesDpi_ == Dpi()) return;
  picturesDpi_ = Dpi();
  pictures_.clear();
  const int size = Scale(kMenuImageSize);
  for (int i = 0; i < IDB_MENU_COUNT; ++i) {
    pictures_[kMenuImages[i]] = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_MENU_FIRST + i), size);
  }
  pictures_["help"] = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_HINT_HELP), Scale(16));
  timeline::Mark("main window's pictures decoded");
}

bool MainWindow::Create(HWND appWindow, const std::function<void(HWND)>& made) {
  const WindowClassInfo windowClass{kMainWindowClass, 0,
                                    LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KOVAN))};
  // Owned by the hidden application window, so the panel has no taskbar button.
  if (!CreateFor(windowClass, WS_EX_LAYERED | WS_EX_TOPMOST, WS_POPUP, RECT{0, 0, kDesignWidth, kDesignHeight},
                 appWindow, L"Kovan")) {
    return false;
  }
  made(hwnd());
  SetLayeredWindowAttributes(hwnd(), palette::kColourKey, 255, LWA_COLORKEY);
  DragAcceptFiles(hwnd(), TRUE);
  hint_.Create(hwnd());
  menuHint_.Create(hwnd());
  timeline::Mark("main window and its hints made");
  LoadDpiResources();

  // The window has its design size while its creation places it, then
  // shrinks to the panel, keeping its top-left corner.
  SetWindowPos(hwnd(), nullptr, 0, 0, Scale(kDesignWidth), Scale(kDesignHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  try {
    logic_.OnCreate();
  } catch (const std::exception& e) {
    ShowErrorReport(e.what());
  }
  timeline::Mark("pool read");
  SetWindowPos(hwnd(), nullptr, 0, 0, Scale(kPanelWidth), Scale(kPanelHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void MainWindow::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
}

void MainWindow::SetPoolCountCaption(const std::string& caption) {
  caption_ = ToWide(caption);
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void MainWindow::SetHoverSummary(const HoverSummary& summary) { hover_ = summary; }

void MainWindow::SetOpacity(uint8_t alpha) {
  SetLayeredWindowAttributes(hwnd(), palette::kColourKey, alpha, LWA_COLORKEY | (alpha == 255 ? 0 : LWA_ALPHA));
}

void MainWindow::SetBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool MainWindow::DispatchPendingMessages() {
  if (!DrainMessageQueue()) quitSeen_ = true;
  return quitSeen_ || !IsWindow(hwnd());
}

std::string MainWindow::ThousandsSeparator() const {
  wchar_t sep[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, sep, 8) <= 0) return ".";
  return ToUtf8(sep);
}

void MainWindow::SetStayOnTop(bool onTop) {
  SetWindowPos(hwnd(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

ScreenSize MainWindow::PrimaryScreenSize() const {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenSize MainWindow::WindowSize() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return {r.right - r.left, r.bottom - r.top};
}

WindowPlace MainWindow::Place() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return {r.top, r.left};
}

void MainWindow::MoveTo(WindowPlace place) {
  // The panel has no task bar button: a place off every screen would leave
  // it out of reach.
  std::vector<ScreenArea> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          reinterpret_cast<std::vector<ScreenArea>*>(data)->push_back(
              {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  RECT bounds{};
  if (GetWindowRect(hwnd(), &bounds)) {
    place = PlaceOnScreen(place, bounds.right - bounds.left, bounds.bottom - bounds.top, areas);
  }
  SetWindowPos(hwnd(), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::BeginVersionCheck(const ServerAddress& server) {
  // The window must not wait for the network: the number is fetched on a
  // worker thread and handed back through the message queue.
  // Called once the settings are read and the language chosen, right before
  // the pool is loaded.
  timeline::Mark("settings read, language chosen");
  HWND target = hwnd();
  versionThread_ = std::thread([target, server] {
    WPARAM ok = 0;
    LPARAM number = 0;
    try {
      number = static_cast<LPARAM>(FetchPublishedVersion(server));
      ok = 1;
    } catch (...) {
      // Every failure of the check is silent; the command simply stays disabled.
    }
    PostMessageW(target, msg_id::kVersionCheckDone, ok, number);
  });
}

void MainWindow::ShowPoolWindow() {
  if (otherWindows_.showPool) otherWindows_.showPool();
}

void MainWindow::ShowSettingsWindow() {
  if (otherWindows_.showSettings) otherWindows_.showSettings();
}

void MainWindow::OpenAboutWindow() {
  if (otherWindows_.openAbout) otherWindows_.openAbout();
}

void MainWindow::Paint(HDC target) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  // Draw off screen, then copy, so the count never flickers.
  gdi::MemoryDc canvas(target, client.right, client.bottom);
  HDC dc = canvas.get();
  FillRect(dc, &client, gdi::MakeBrush(palette::kColourKey).get());

  const int radius = Scale(16);
  const gdi::Region region(CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, radius, radius));
  SelectClipRgn(dc, region.get());
  ui::FillVerticalGradient(dc, client, palette::kPanelTop, palette::kPanelBottom);
  {
    // A faint honeycomb band behind the count.
    const gdi::Pen combPen = gdi::MakePen(1, palette::kPanelComb);
    gdi::Select select(dc, combPen);
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
        Polyline(dc, hex, 7);
      }
    }
  }
  SelectClipRgn(dc, nullptr);
  FrameRgn(dc, region.get(), gdi::MakeBrush(palette::kPanelEdge).get(), 1, 1);

  {
    // The close button: a small cross, red while the pointer is on it.
    const RECT close = CloseButtonRect();
    const gdi::Pen pen = gdi::MakePen(std::max(1, Scale(2)), closeHot_ ? palette::kCloseHot : palette::kPanelText);
    gdi::Select select(dc, pen);
    const int inset = Scale(3);
    MoveToEx(dc, close.left + inset, close.top + inset, nullptr);
    LineTo(dc, close.right - inset, close.bottom - inset);
    MoveToEx(dc, close.right - inset, close.top + inset, nullptr);
    LineTo(dc, close.left + inset, close.bottom - inset);
  }

  gdi::Select font(dc, countFont_);
  SetBkMode(dc, TRANSPARENT);
  RECT text = client;
  text.top += Scale(6);
  SetTextColor(dc, palette::kPanelTextGlow);
  OffsetRect(&text, 1, 1);
  DrawTextW(dc, caption_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  OffsetRect(&text, -1, -1);
  SetTextColor(dc, palette::kPanelText);
  DrawTextW(dc, caption_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

void MainWindow::ShowMenu(POINT screen) {
  hint_.Hide();
  PreparePictures();
  const ui::PopupMenu menu(logic_.Menu(), [this](const std::string& name) -> HBITMAP {
    const auto picture = pictures_.find(name);
    return picture == pictures_.end() ? nullptr : picture->second.get();
  });
  menuOpen_ = true;
  const MenuCommandId chosen = menu.Track(hwnd(), screen);
  menuOpen_ = false;
  // The hover that came while the menu was open was passed over; the next
  // move over the panel asks for it again.
  mouseInside_ = false;
  menuHint_.Hide();
  if (chosen != 0) RunCommand(static_cast<MenuCommand>(chosen));
}

void MainWindow::RunCommand(MenuCommand command) {
  if (command == MenuCommand::Exit) {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    return;
  }
  logic_.RunCommand(command);
}

void MainWindow::OnDropFiles(HDROP drop) {
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
  logic_.ImportDrop(std::move(paths));
}

void MainWindow::OnMouseMove() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd(), &pt);
  const RECT close = CloseButtonRect();
  const bool hot = PtInRect(&close, pt) != FALSE;
  if (hot != closeHot_) {
    closeHot_ = hot;
    InvalidateRect(hwnd(), &close, FALSE);
  }
  if (mouseInside_) return;
  mouseInside_ = true;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE | TME_HOVER;
  track.hwndTrack = hwnd();
  track.dwHoverTime = HOVER_DEFAULT;
  TrackMouseEvent(&track);
  logic_.OnPointerEnter();
}

void MainWindow::OnMouseHover() {
  if (menuOpen_) return;
  PreparePictures();
  POINT pt{};
  GetCursorPos(&pt);
  ui::HintContent content;
  content.title = ToWide(hover_.title);
  for (const std::string& note : hover_.notes) content.notes.push_back(ToWide(note));
  content.showHelp = hover_.showHelp;
  content.helpText = ToWide(logic_.HintHelpText());
  const auto help = pictures_.find("help");
  if (help != pictures_.end()) content.helpPicture = help->second.get();
  hint_.Show(content, pt, hwnd(), kHintShowMs, kHintWidth);
}

void MainWindow::OnMenuSelect(WPARAM wp, LPARAM lp) {
  const std::wstring hint = ui::MenuHintOfSelection(wp, lp);
  if (hint.empty()) {
    menuHint_.Hide();
    return;
  }
  // Below the lowest open menu, so the hint never covers an item.
  RECT below{};
  GetWindowRect(hwnd(), &below);
  for (HWND m = FindWindowW(L"#32768", nullptr); m; m = FindWindowExW(nullptr, m, L"#32768", nullptr)) {
    RECT r{};
    if (IsWindowVisible(m) && GetWindowRect(m, &r) && r.bottom > below.bottom) below = r;
  }
  ui::HintContent content;
  content.title = hint;
  menuHint_.Show(content, POINT{below.left, below.bottom - Scale(16)}, hwnd(), kHintShowMs, 0);
}

void MainWindow::OnButtonDown(UINT msg, LPARAM lp) {
  hint_.Hide();
  const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  const RECT close = CloseButtonRect();
  if (msg == WM_LBUTTONDOWN && PtInRect(&close, pt)) {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);  // the close button
    return;
  }
  // Pressing the panel drags the window as if by its caption.
  ReleaseCapture();
  SendMessageW(hwnd(), WM_SYSCOMMAND, msg_id::kDragMoveCommand, 0);
}

void MainWindow::OnDpiChanged(UINT, const RECT& suggested) {
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, Scale(kPanelWidth), Scale(kPanelHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
  LoadDpiResources();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      gdi::PaintDc dc(hwnd());
      Paint(dc.get());
      if (!painted_) {
        painted_ = true;
        timeline::Mark("main window painted");
        // Posted, so it comes before any input that is waiting.
        PostMessageW(hwnd(), msg_id::kFirstShown, 0, 0);
      }
      return 0;
    }
    case msg_id::kFirstShown:
      logic_.OnFirstShown();
      timeline::Mark("pool pruned");
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN: OnButtonDown(msg, lp); return 0;
    case WM_CONTEXTMENU: {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      if (pt.x == -1 && pt.y == -1) {  // from the keyboard
        RECT r{};
        GetWindowRect(hwnd(), &r);
        pt = POINT{r.left, r.bottom};
      }
      ShowMenu(pt);
      return 0;
    }
    case WM_MEASUREITEM:
      if (ui::MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), hwnd(), font_, Dpi())) return TRUE;
      break;
    case WM_DRAWITEM:
      if (ui::DrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), font_, Dpi())) return TRUE;
      break;
    case WM_MENUSELECT: OnMenuSelect(wp, lp); return 0;
    case WM_MOUSEMOVE: OnMouseMove(); return 0;
    case WM_MOUSEHOVER: OnMouseHover(); return 0;
    case WM_MOUSELEAVE:
      mouseInside_ = false;
      if (closeHot_) {
        closeHot_ = false;
        InvalidateRect(hwnd(), nullptr, FALSE);
      }
      hint_.Hide();
      logic_.OnPointerLeave();
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) logic_.OnKeyDown(MainWindowLogic::Key::Escape);
      if (wp == VK_F5) logic_.OnKeyDown(MainWindowLogic::Key::F5);
      return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case msg_id::kVersionCheckDone:
      logic_.VersionCheckDone(wp ? std::optional<int32_t>(static_cast<int32_t>(lp)) : std::nullopt);
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      // Windows is ending the session: save as a normal close would, since the
      // process will not get another chance.
      if (wp) (void)logic_.OnClose();
      return 0;
    case WM_CLOSE:
      if (!logic_.OnClose()) return 0;
      if (savedForClose_) savedForClose_();
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace kovan
