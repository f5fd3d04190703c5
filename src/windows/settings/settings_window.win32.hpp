// The settings window: a fixed-size captioned window on a cream background
// holding two collapsible panels of real controls (radio buttons, check boxes,
// the language list, the transparency level box) and a small green glass
// button that hides it. Built once at start; its close only hides it.
//
// Layout: each panel is a list of blocks (a run of rows, optionally framed
// by a group box); a row is controls side by side. Layout() places the open
// panel's blocks under its caption, hides the closed panel's controls, and
// sizes the window to fit. To add a control to a panel: give it an id at the
// end of ControlId, make it in CreateControls() (in tab order), add a row in
// BuildLayout() (a label and a drop-down list: {{labelId, 60}, {listId, 170}}
// with height 24, as the language row), handle its notification in
// OnCommand(), and list it in kNamedControls when language files name it.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "win32/gdi.win32.hpp"
#include "win32/window_base.win32.hpp"
#include "windows/main/main_window_logic.hpp"
#include "windows/settings/settings_window_logic.hpp"

namespace kovan {

// The main window, as the settings window's appearance changes it.
inline MainWindowAppearance::Window AppearanceTarget(MainWindowView& main) {
  return {[&main](bool onTop) { main.SetStayOnTop(onTop); }, [&main](uint8_t alpha) { main.SetOpacity(alpha); }};
}

class SettingsWindow : public WindowBase, public SettingsWindowView {
 public:
  explicit SettingsWindow(SettingsWindowServices services) : services_(std::move(services)) {}

  // Builds the window (hidden) and runs its creation steps; false when the
  // window itself could not be made. Errors of the creation steps are reported.
  // The controls are not made yet: what the steps set is kept until they are.
  [[nodiscard]] bool Create(HWND owner);
  // Makes the controls with everything set on them so far, unless they are
  // made: on an idle moment after the start, or at the first showing.
  void PrepareControls();
  // Shows the window without making it modal, every control from the settings.
  void Show();
  // Decodes the glass button's glyph for the present DPI, unless that is done:
  // on an idle moment after the start, or at the first showing.
  void PreparePictures();
  SettingsWindowLogic& Logic() { return *logic_; }
  // How the resource compilers on this machine are found; asked at every
  // showing, so a compiler installed meanwhile is offered.

  // SettingsWindowView
  void ApplyText(std::string_view component, std::string_view property, const std::string& text) override;
  void SetLanguageItems(const std::vector<std::string>& items) override;
  void ChooseLanguageItem(int index) override;
  void SetChecked(SettingsToggle toggle, bool checked) override;
  void ShowLevel(int level) override;
  void EnableLevel(bool enabled) override;
  void OpenPanel(SettingsPanel panel) override;
  void SetPanelCaption(SettingsPanel panel, const std::string& markup) override;
  void Hide() override;
  void SetCompilerItems(const std::string& label, const std::vector<std::string>& items, int chosen) override;
  void SetMachineItems(const std::vector<std::string>& items, int chosen) override;

  // Control ids; the check boxes and radio buttons follow SettingsToggle.
  // New controls take ids at the end.
  enum ControlId : int {
    kToggleFirst = 100,  // + SettingsToggle
    kGlassButton = 200,
    kGeneralCaption,
    kVisualCaption,
    kFolderGroup,
    kLanguageLabel,
    kLanguageList,
    kTransparencyGroup,
    kLevelBox,
    kLevelArrows,
    kLevelLabel,
    kCompilerLabel,
    kCompilerList,
    kMachineList,
  };

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  struct LayoutItem {
    int id;
    int width;         // design pixels; 0 takes the rest of the row
    int gapAfter = 6;  // design pixels to the next item of the row
  };
  struct LayoutRow {
    std::vector<LayoutItem> items;
    int height;  // design pixels
  };
  struct LayoutBlock {
    int groupBox = 0;  // the id of the group box that frames the rows, or 0
    std::vector<LayoutRow> rows;
  };

  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  HWND MakeControl(const wchar_t* className, int id, DWORD style, DWORD exStyle = 0);
  void CreateControls();
  // The control a language file's component names, or 0.
  int ControlOf(std::string_view component) const;
  void BuildLayout();
  void Layout();
  void LoadFonts();
  void OnCommand(int id, int code, HWND control);
  // The compiler and machine lists from the settings and the compilers found.
  LRESULT OnNotify(const NMHDR& header);
  void DrawPanelCaption(const DRAWITEMSTRUCT& item);
  void DrawGlassButton(const DRAWITEMSTRUCT& item);
  LRESULT OnControlColour(HDC dc, HWND control);
  bool OnSetCursor(HWND over);

  SettingsWindowServices services_;
  std::optional<SettingsWindowLogic> logic_;  // made in Create, before the controls
  std::array<std::vector<LayoutBlock>, 2> panels_;
  std::array<std::wstring, 2> panelCaptions_;  // the captions without markup
  std::array<bool, 2> panelBold_{};
  SettingsPanel open_ = SettingsPanel::General;
  // What the view was told while the controls did not exist; kept up to date
  // afterwards too.
  bool controlsMade_ = false;
  std::map<int, std::wstring> controlTexts_;  // by control id
  std::vector<std::wstring> languageItems_;
  int languageChoice_ = -1;
  std::array<bool, kSettingsToggleCount> checked_{};
  int level_ = 0;
  bool levelEnabled_ = true;
  gdi::Font font_;
  gdi::Font boldFont_;
  gdi::Brush background_;
  gdi::Brush levelBackground_;
  gdi::Bitmap tick_;  // the glass button's glyph, at tickDpi_
  UINT tickDpi_ = 0;  // 0 until the glyph is first needed
};

}  // namespace kovan
