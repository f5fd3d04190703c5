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

struct MenuItem {
  const char* component;  // "" for a separator
  const char* image;
  PoolWindow::Command command;  // 0 for a submenu
  int parent;                   // index of the submenu item, or -1
};

using enum PoolWindow::Command;
constexpr PoolWindow::Command kSubmenu{};
const MenuItem kMenu[] = {
    {"YeniKaytekle1", "ekle", kSubmenu, -1},
    {"DosyaEkle1", "yenidos", AddFile, 0},
    {"KlasrEkle1", "yeniklas", AddFolder, 0},
    {"AktifkaydSil1", "sil", Delete, -1},
    {"mKaytlarAKapat1", "ackapa", ToggleAll, -1},
    {"", "", kSubmenu, -1},
    {"Kaydet1", "kaydet", kSubmenu, -1},
    {"XLS1", "Excel", ExportXls, 6},
    {"XML1", "xml", ExportXml, 6},
    {"XT1", "html", ExportHtml, 6},
    {"", "", kSubmenu, -1},
    {"ptaletvek1", "iptal", Cancel, -1},
    {"", "", kSubmenu, -1},
    {"Onaylavek1", "tamam", Confirm, -1},
};

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
    : prompter_(prompter),
      shell_(shell),
      logic_(*this, prompter, std::move(main)),
      tree_(logic_.Tree()),
      language_(PoolWindowTexts(), *this) {}

PoolWindow::~PoolWindow() = default;

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
  language_.Loaded();
  // The heading's base stays the caption of the start's language.
  logic_.SetBaseTitle(Caption("kaynakhavuzu"));
  return true;
}

std::string PoolWindow::Caption(const char* component) const {
  const auto it = captions_.find(component);
  return it == captions_.end() ? std::string() : it->second;
}

void PoolWindow::ApplyText(std::string_view component, std::string_view, const std::string& text) {
  captions_[std::string(component)] = text;
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
  if (owner_) EnableWindow(owner_, FALSE);
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
  // The owner comes back before this window hides, so the activation returns to it.
  if (owner_) EnableWindow(owner_, TRUE);
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

void PoolWindow::RunCommand(Command command) {
  switch (command) {
    case AddFile: logic_.AddFile(); break;
    case AddFolder: logic_.AddFolder(); break;
    case Delete: logic_.DeleteSelectedFromMenu(); break;
    case ToggleAll: logic_.ToggleExpandAll(); break;
    case ExportXls: Export(ExportFormat::Workbook); break;
    case ExportXml: Export(ExportFormat::Xml); break;
    case ExportHtml: Export(ExportFormat::Html); break;
    case Cancel: logic_.Cancel(); break;
    case Confirm: logic_.Confirm(); break;
  }
}

void PoolWindow::Export(ExportFormat format) {
  const ResourcePool& rows = logic_.WorkingCopy();
  if (rows.Count() == 0) {
    prompter_.ShowInfo(Text(msg::kaybos));
    return;
  }
  const ExportTable table = BuildExportTable(rows, [](const std::string& path) { return FileSizeText(path); });
  const char* word = format == ExportFormat::Workbook ? "xls" : format == ExportFormat::Xml ? "xml" : "html";
  exportDialog_.title = Text(msg::dosyakt);
  exportDialog_.filter = std::string(word) + "|" + word;
  struct ClearName {
    FileDialogRequest& dialog;
    ~ClearName() { dialog.fileName.clear(); }
  } clearName{exportDialog_};
  const std::optional<std::string> chosen = prompter_.SaveDialog(exportDialog_);
  if (!chosen) return;
  const std::string path = ExportFileName(*chosen, format);
  switch (format) {
    case ExportFormat::Workbook: ExportWorkbook(table, path); break;
    case ExportFormat::Xml: WriteXmlExport(table, XmlNamesInActiveLanguage(), path); break;
    case ExportFormat::Html:
      WriteHtmlExport(table, SystemHtmlStyle(), path);
      shell_.Execute(ShellVerb::Open, path, ShowState::ShowNormal, true);
      break;
  }
}

void PoolWindow::ShowMenu(POINT screen) {
  std::vector<ui::MenuEntry> top;
  for (const MenuItem& item : kMenu) {
    ui::MenuEntry entry;
    entry.separator = item.component[0] == '\0';
    entry.id = static_cast<UINT>(item.command);
    entry.caption = ToWide(Caption(item.component));
    const auto picture = pictures_.find(item.image);
    if (picture != pictures_.end()) entry.image = picture->second.get();
    if (item.parent < 0) {
      top.push_back(std::move(entry));
    } else {
      top[static_cast<size_t>(item.parent)].children.push_back(std::move(entry));
    }
  }
  const gdi::Menu menu = ui::BuildPopupMenu(top);
  if (!menu.valid()) return;
  SetForegroundWindow(hwnd());
  const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                                         screen.x, screen.y, hwnd(), nullptr));
  ui::FreeMenuItemData(menu.get());
  PostMessageW(hwnd(), WM_NULL, 0, 0);
  if (chosen != 0) RunCommand(static_cast<Command>(chosen));
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

void PoolWindow::OnButtonDown(UINT msg, POINT pt) {
  const RECT close = CloseRect();
  const RECT confirm = ConfirmRect();
  if (msg == WM_LBUTTONDOWN && PtInRect(&close, pt)) {
    logic_.Cancel();
    return;
  }
  if (msg == WM_LBUTTONDOWN && PtInRect(&confirm, pt)) {
    logic_.Confirm();
    return;
  }
  const RECT panel = PanelRect();
  if (!PtInRect(&panel, pt)) return;
  // Pressing the panel drags the window as if by its caption.
  ReleaseCapture();
  SendMessageW(hwnd(), WM_SYSCOMMAND, msg_id::kDragMoveCommand, 0);
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
    case WM_MEASUREITEM:
      if (ui::MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), hwnd(), font_, Dpi())) return TRUE;
      break;
    case WM_DRAWITEM:
      if (ui::DrawMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), font_, Dpi())) return TRUE;
      break;
    case WM_CLOSE: logic_.Cancel(); return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace kovan
