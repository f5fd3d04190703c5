#include "windows/settings/settings_window.win32.hpp"

#include <commctrl.h>

#include <algorithm>

#include "base/text.hpp"
#include "lang/lang_manager.hpp"
#include "resource_ids.h"
#include "win32/dpi.win32.hpp"
#include "win32/drawing.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "win32/startup_timeline.win32.hpp"
#include "windows/main/main_window.win32.hpp"
#include "windows/settings/settings_window_names.hpp"

namespace kovan {

namespace {

// Design sizes at 96 DPI.
constexpr int kMargin = 8;
constexpr int kPanelWidth = 403;
constexpr int kCaptionHeight = 22;
constexpr int kBlockGap = 6;
constexpr int kRowGap = 2;
constexpr int kGroupHeader = 18;
constexpr int kGroupInset = 10;
constexpr int kGroupBottom = 6;
constexpr int kDropDownExtra = 200;  // the open list of a drop-down list
constexpr int kGlassWidth = 28;
constexpr int kGlassHeight = 20;
constexpr int kGlyphSize = 16;

// Not WS_CLIPCHILDREN: group boxes leave their inside to the window's background.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;

constexpr SettingsToggle kToggles[] = {
    SettingsToggle::AcceptFolders,    SettingsToggle::IgnoreFolders, SettingsToggle::VersionNotice,
    SettingsToggle::RememberPosition, SettingsToggle::StayOnTop,     SettingsToggle::Transparency,
    SettingsToggle::StartWithSystem,
};

int ToggleId(SettingsToggle toggle) { return SettingsWindow::kToggleFirst + static_cast<int>(toggle); }
size_t Index(SettingsPanel panel) { return static_cast<size_t>(panel); }

// The controls whose captions language files set, besides the toggles and
// the panels.
struct NamedControl {
  const char* component;
  int id;
};
constexpr NamedControl kNamedControls[] = {
    {"GroupBox1", SettingsWindow::kFolderGroup},
    {"GroupBox3", SettingsWindow::kTransparencyGroup},
    {"Label1", SettingsWindow::kLevelLabel},
    {"Dil", SettingsWindow::kLanguageLabel},
};

// A panel caption's markup: the text without its <b> and </b> tags, bold
// when it holds at least one <b>.
std::wstring StripBoldTags(std::string_view markup, bool& bold) {
  static constexpr std::string_view kOpen = "<b>";
  static constexpr std::string_view kClose = "</b>";
  bold = false;
  std::string text;
  for (size_t i = 0; i < markup.size();) {
    const std::string_view rest = markup.substr(i);
    if (rest.size() >= kOpen.size() && AsciiIEquals(rest.substr(0, kOpen.size()), kOpen)) {
      bold = true;
      i += kOpen.size();
    } else if (rest.size() >= kClose.size() && AsciiIEquals(rest.substr(0, kClose.size()), kClose)) {
      i += kClose.size();
    } else {
      text.push_back(markup[i++]);
    }
  }
  return ToWide(text);
}

}  // namespace

bool SettingsWindow::Create(HWND owner) {
  const WindowClassInfo windowClass{kSettingsWindowClass, 0, nullptr, nullptr, nullptr};
  if (!CreateFor(windowClass, WS_EX_CONTROLPARENT, kStyle, RECT{0, 0, 0, 0}, owner, L"Ayarlar")) return false;
  background_ = gdi::MakeBrush(palette::kCream);
  levelBackground_ = gdi::MakeBrush(palette::kWhite);
  BuildLayout();
  LoadFonts();
  logic_.emplace(*this, services_);
  Layout();  // the window's size; the controls are placed when they are made

  // Centred on the desktop's work area, at its size for the open panel.
  CentreInWorkArea();

  try {
    logic_->OnCreate();
  } catch (const std::exception& e) {
    ShowErrorReport(e.what());
  }
  timeline::Mark("settings window's language chosen");
  return true;
}

namespace {

void FillList(HWND list, const std::vector<std::string>& items, int chosen) {
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

}  // namespace

void SettingsWindow::SetCompilerItems(const std::string& label, const std::vector<std::string>& items, int chosen) {
  SetWindowTextW(Control(kCompilerLabel), ToWide(label).c_str());
  FillList(Control(kCompilerList), items, chosen);
}

void SettingsWindow::SetMachineItems(const std::vector<std::string>& items, int chosen) {
  FillList(Control(kMachineList), items, chosen);
}

void SettingsWindow::PrepareControls() {
  if (controlsMade_) return;
  controlsMade_ = true;
  CreateControls();
  LoadFonts();
  for (const auto& [id, text] : controlTexts_) SetWindowTextW(Control(id), text.c_str());
  HWND list = Control(kLanguageList);
  for (const std::wstring& item : languageItems_) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(languageChoice_), 0);
  for (SettingsToggle toggle : kToggles) SetChecked(toggle, checked_[static_cast<size_t>(toggle)]);
  ShowLevel(level_);
  EnableLevel(levelEnabled_);
  SetWindowTextW(Control(kGeneralCaption), panelCaptions_[Index(SettingsPanel::General)].c_str());
  SetWindowTextW(Control(kVisualCaption), panelCaptions_[Index(SettingsPanel::Visual)].c_str());
  Layout();
  timeline::Mark("settings window's controls made");
}

void SettingsWindow::Show() {
  if (!IsWindowVisible(hwnd())) {
    PrepareControls();
    PreparePictures();
    logic_->OnShow();
    ShowWindow(hwnd(), SW_SHOW);
  }
  SetForegroundWindow(hwnd());
}

HWND SettingsWindow::MakeControl(const wchar_t* className, int id, DWORD style, DWORD exStyle) {
  return CreateWindowExW(exStyle, className, L"", WS_CHILD | style, 0, 0, 0, 0, hwnd(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void SettingsWindow::CreateControls() {
  RegisterCommonControls();
  // Made in tab order; the texts arrive with the translation.
  constexpr DWORD kCaptionStyle = BS_OWNERDRAW | WS_TABSTOP;
  MakeControl(WC_BUTTONW, kGeneralCaption, kCaptionStyle);
  MakeControl(WC_BUTTONW, kFolderGroup, BS_GROUPBOX);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::AcceptFolders), BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::IgnoreFolders), BS_RADIOBUTTON);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::StartWithSystem), BS_CHECKBOX | WS_GROUP | WS_TABSTOP);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::VersionNotice), BS_CHECKBOX | WS_TABSTOP);
  MakeControl(WC_STATICW, kLanguageLabel, SS_NOPREFIX | SS_CENTERIMAGE);
  MakeControl(WC_COMBOBOXW, kLanguageList, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
  MakeControl(WC_STATICW, kCompilerLabel, SS_NOPREFIX | SS_CENTERIMAGE);
  MakeControl(WC_COMBOBOXW, kCompilerList, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
  MakeControl(WC_COMBOBOXW, kMachineList, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);

  MakeControl(WC_BUTTONW, kVisualCaption, kCaptionStyle | WS_GROUP);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::RememberPosition), BS_CHECKBOX | WS_TABSTOP);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::StayOnTop), BS_CHECKBOX | WS_TABSTOP);
  MakeControl(WC_BUTTONW, kTransparencyGroup, BS_GROUPBOX);
  MakeControl(WC_BUTTONW, ToggleId(SettingsToggle::Transparency), BS_CHECKBOX | WS_TABSTOP);
  // The level box shows the number; only its arrows change it.
  MakeControl(WC_EDITW, kLevelBox, ES_READONLY | ES_CENTER | WS_TABSTOP, WS_EX_CLIENTEDGE);
  HWND arrows = MakeControl(UPDOWN_CLASSW, kLevelArrows, UDS_ARROWKEYS | UDS_NOTHOUSANDS);
  SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(kLevelBox)), 0);
  SendMessageW(arrows, UDM_SETRANGE32, kMinTransparencyLevel, kMaxTransparencyLevel);
  MakeControl(WC_STATICW, kLevelLabel, SS_NOPREFIX | SS_CENTERIMAGE);

  MakeControl(WC_BUTTONW, kGlassButton, BS_OWNERDRAW | WS_TABSTOP | WS_GROUP);
}

void SettingsWindow::BuildLayout() {
  auto line = [](int id, int height = 22) { return LayoutRow{{{id, 0}}, height}; };
  auto toggle = [&](SettingsToggle t) { return line(ToggleId(t)); };
  panels_[Index(SettingsPanel::General)] = {
      {kFolderGroup, {toggle(SettingsToggle::AcceptFolders), toggle(SettingsToggle::IgnoreFolders)}},
      {0,
       {toggle(SettingsToggle::StartWithSystem), toggle(SettingsToggle::VersionNotice),
        LayoutRow{{{kLanguageLabel, 60}, {kLanguageList, 170}}, 24},
        LayoutRow{{{kCompilerLabel, 110}, {kCompilerList, 200}, {kMachineList, 0}}, 24}}},
  };
  panels_[Index(SettingsPanel::Visual)] = {
      {0, {toggle(SettingsToggle::RememberPosition), toggle(SettingsToggle::StayOnTop)}},
      {kTransparencyGroup,
       {toggle(SettingsToggle::Transparency),
        LayoutRow{{{kLevelBox, 40, 0}, {kLevelArrows, 18}, {kLevelLabel, 0}}, 22}}},
  };
}

void SettingsWindow::Layout() {
  const int margin = Scale(kMargin);
  const int panelWidth = Scale(kPanelWidth);
  int y = margin;
  auto place = [&](int id, int x, int top, int width, int height, bool visible) {
    HWND control = Control(id);
    if (!control) return;  // not made yet
    // A drop-down list's height includes its open list.
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const int extra = lstrcmpiW(className, WC_COMBOBOXW) == 0 ? Scale(kDropDownExtra) : 0;
    SetWindowPos(control, nullptr, x, top, width, height + extra, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
  };
  for (SettingsPanel panel : {SettingsPanel::General, SettingsPanel::Visual}) {
    place(panel == SettingsPanel::General ? kGeneralCaption : kVisualCaption, margin, y, panelWidth,
          Scale(kCaptionHeight), true);
    y += Scale(kCaptionHeight);
    const bool open = panel == open_;
    // A closed panel's controls are hidden where they are.
    const int top = y;
    for (const LayoutBlock& block : panels_[Index(panel)]) {
      y += Scale(kBlockGap);
      const int blockTop = y;
      int left = margin + Scale(kGroupInset);
      int width = panelWidth - 2 * Scale(kGroupInset);
      if (block.groupBox) {
        y += Scale(kGroupHeader);
        left += Scale(kGroupInset);
        width -= 2 * Scale(kGroupInset);
      }
      for (const LayoutRow& row : block.rows) {
        int x = left;
        for (const LayoutItem& item : row.items) {
          const int itemWidth = item.width ? Scale(item.width) : left + width - x;
          place(item.id, x, y, itemWidth, Scale(row.height), open);
          x += itemWidth + Scale(item.gapAfter);
        }
        y += Scale(row.height) + Scale(kRowGap);
      }
      if (block.groupBox) {
        y += Scale(kGroupBottom);
        place(block.groupBox, margin + Scale(kGroupInset), blockTop, panelWidth - 2 * Scale(kGroupInset), y - blockTop,
              open);
      }
    }
    if (open) {
      y += Scale(kBlockGap);
    } else {
      y = top;
    }
    y += Scale(kRowGap);
  }
  y += Scale(kBlockGap);
  place(kGlassButton, margin + panelWidth - Scale(kGlassWidth), y, Scale(kGlassWidth), Scale(kGlassHeight), true);
  y += Scale(kGlassHeight) + margin;

  RECT frame{0, 0, panelWidth + 2 * margin, y};
  AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT);
  SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void SettingsWindow::LoadFonts() {
  // The main window's font at this window's DPI.
  LOGFONTW font = dpi::CaptionFont(Dpi());
  font.lfWeight = FW_NORMAL;
  font_ = gdi::MakeFont(font);
  font.lfWeight = FW_BOLD;
  boldFont_ = gdi::MakeFont(font);
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
}

void SettingsWindow::PreparePictures() {
  if (tickDpi_ == Dpi()) return;
  tickDpi_ = Dpi();
  tick_ = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_GLYPH_OK), Scale(kGlyphSize));
  timeline::Mark("settings window's picture decoded");
}

int SettingsWindow::ControlOf(std::string_view component) const {
  int id = 0;
  for (SettingsToggle toggle : kToggles) {
    if (AsciiIEquals(component, ComponentName(toggle))) id = ToggleId(toggle);
  }
  for (const NamedControl& named : kNamedControls) {
    if (AsciiIEquals(component, named.component)) id = named.id;
  }
  return id;
}

// Each setter keeps what it is told, and passes it on once the controls exist.
void SettingsWindow::ApplyText(std::string_view component, std::string_view property, const std::string& text) {
  if (!AsciiIEquals(property, "Caption")) return;
  if (component.empty()) {
    SetWindowTextW(hwnd(), ToWide(text).c_str());
    return;
  }
  const int id = ControlOf(component);
  if (id == 0) return;
  std::wstring& kept = controlTexts_[id] = ToWide(text);
  if (controlsMade_) SetWindowTextW(Control(id), kept.c_str());
}

void SettingsWindow::SetLanguageItems(const std::vector<std::string>& items) {
  languageItems_.clear();
  for (const std::string& item : items) languageItems_.push_back(ToWide(item));
  if (!controlsMade_) return;
  HWND list = Control(kLanguageList);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : languageItems_) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
}

void SettingsWindow::ChooseLanguageItem(int index) {
  languageChoice_ = index;
  if (controlsMade_) SendMessageW(Control(kLanguageList), CB_SETCURSEL, index, 0);
}

void SettingsWindow::SetChecked(SettingsToggle toggle, bool checked) {
  checked_[static_cast<size_t>(toggle)] = checked;
  if (controlsMade_) {
    SendMessageW(Control(ToggleId(toggle)), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void SettingsWindow::ShowLevel(int level) {
  level_ = level;
  if (!controlsMade_) return;
  SetWindowTextW(Control(kLevelBox), std::to_wstring(level).c_str());
  SendMessageW(Control(kLevelArrows), UDM_SETPOS32, 0, level);
}

void SettingsWindow::EnableLevel(bool enabled) {
  levelEnabled_ = enabled;
  if (!controlsMade_) return;
  for (int id : {kLevelBox, kLevelArrows, kLevelLabel}) EnableWindow(Control(id), enabled);
}

void SettingsWindow::OpenPanel(SettingsPanel panel) {
  open_ = panel;
  // Before the layout is known (while the logic is being made) there is
  // nothing to place yet.
  if (!panels_[0].empty()) Layout();
}

void SettingsWindow::SetPanelCaption(SettingsPanel panel, const std::string& markup) {
  bool bold = false;
  panelCaptions_[Index(panel)] = StripBoldTags(markup, bold);
  panelBold_[Index(panel)] = bold;
  if (!controlsMade_) return;
  HWND caption = Control(panel == SettingsPanel::General ? kGeneralCaption : kVisualCaption);
  // The plain text is the button's name for screen readers.
  SetWindowTextW(caption, panelCaptions_[Index(panel)].c_str());
  InvalidateRect(caption, nullptr, FALSE);
}

void SettingsWindow::Hide() { ShowWindow(hwnd(), SW_HIDE); }

void SettingsWindow::OnCommand(int id, int code, HWND control) {
  if (id >= kToggleFirst && id < kToggleFirst + kSettingsToggleCount && code == BN_CLICKED) {
    const auto toggle = static_cast<SettingsToggle>(id - kToggleFirst);
    const bool isRadio = toggle == SettingsToggle::AcceptFolders || toggle == SettingsToggle::IgnoreFolders;
    // The logic holds the state; a click on a radio button chooses it, a
    // click on a check box flips it.
    logic_->SetChecked(toggle, isRadio || !logic_->Checked(toggle));
    return;
  }
  switch (id) {
    case kGeneralCaption:
      if (code == BN_CLICKED) logic_->OnPanelCaptionClick(SettingsPanel::General);
      break;
    case kVisualCaption:
      if (code == BN_CLICKED) logic_->OnPanelCaptionClick(SettingsPanel::Visual);
      break;
    case kLanguageList:
      if (code == CBN_DROPDOWN) logic_->OnLanguageListOpened();
      if (code == CBN_SELCHANGE) {
        logic_->OnLanguageChosen(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      }
      break;
    case kGlassButton:
      if (code == BN_CLICKED) logic_->OnGlassButtonClick();
      break;
    case kCompilerList:
      if (code == CBN_SELCHANGE) logic_->OnCompilerChosen(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      break;
    case kMachineList:
      if (code == CBN_SELCHANGE) logic_->OnMachineChosen(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      break;
    default: break;
  }
}

LRESULT SettingsWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == kLevelArrows && header.code == UDN_DELTAPOS) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    if (change.iDelta != 0) logic_->OnLevelArrow(change.iDelta > 0 ? 1 : -1);
    return TRUE;  // the logic has shown the number; the arrows keep their own position out of it
  }
  return 0;
}

void SettingsWindow::DrawPanelCaption(const DRAWITEMSTRUCT& item) {
  const SettingsPanel panel = item.CtlID == kGeneralCaption ? SettingsPanel::General : SettingsPanel::Visual;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool hot = (item.itemState & ODS_SELECTED) != 0;
  ui::FillVerticalGradient(dc, r, hot ? palette::kMenuHotBottom : palette::kMenuHotTop,
                           hot ? palette::kMenuHotTop : palette::kMenuHotBottom);
  FrameRect(dc, &r, gdi::MakeBrush(palette::kMenuHotBorder).get());

  // The open panel's caption carries an arrow pointing up, the closed one's down.
  const int arrow = Scale(4);
  const int cx = r.right - Scale(12);
  const int cy = (r.top + r.bottom) / 2;
  const bool open = panel == open_;
  const POINT points[3] = {{cx - arrow, open ? cy + arrow / 2 : cy - arrow / 2},
                           {cx + arrow, open ? cy + arrow / 2 : cy - arrow / 2},
                           {cx, open ? cy - arrow / 2 : cy + arrow / 2}};
  {
    const gdi::Brush fill = gdi::MakeBrush(palette::kMenuText);
    gdi::Select brush(dc, fill);
    gdi::Select pen(dc, GetStockObject(NULL_PEN));
    Polygon(dc, points, 3);
  }

  gdi::Select font(dc, panelBold_[Index(panel)] ? boldFont_ : font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, palette::kMenuText);
  RECT text = r;
  text.left += Scale(8);
  text.right -= Scale(24);
  DrawTextW(dc, panelCaptions_[Index(panel)].c_str(), -1, &text,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

void SettingsWindow::DrawGlassButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &r, background_.get());
  PreparePictures();  // after a change of DPI
  ui::DrawGlassButton(dc, r, Scale(6), pressed ? ui::GlassState::Pressed : ui::GlassState::Normal, tick_.get(),
                      Scale(kGlyphSize));
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

LRESULT SettingsWindow::OnControlColour(HDC dc, HWND control) {
  if (control == Control(kLevelBox)) {
    SetBkColor(dc, palette::kWhite);
    return reinterpret_cast<LRESULT>(levelBackground_.get());
  }
  SetBkColor(dc, palette::kCream);
  return reinterpret_cast<LRESULT>(background_.get());
}

bool SettingsWindow::OnSetCursor(HWND over) {
  if (over != Control(kGlassButton) && over != Control(kGeneralCaption) && over != Control(kVisualCaption)) {
    return false;
  }
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

void SettingsWindow::OnDpiChanged(UINT, const RECT& suggested) {
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  LoadFonts();
  Layout();
}

LRESULT SettingsWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT: {
      // Themed controls ask for the parent's background through
      // WM_PRINTCLIENT; without it they stand on black.
      RECT client{};
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wp), &client, background_.get());
      return msg == WM_ERASEBKGND ? 1 : 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_COMMAND:
      if (logic_) OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_NOTIFY:
      if (logic_) return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item.CtlID == kGlassButton) {
        DrawGlassButton(item);
      } else {
        DrawPanelCaption(item);
      }
      return TRUE;
    }
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wp))) return TRUE;
      break;
    case WM_CLOSE: Hide(); return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace kovan
