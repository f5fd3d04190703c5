// The settings window's logic: the state of its controls, what each change
// does to the settings in memory and to the main window, the language list and
// the two collapsible panels. Every change takes effect at once; nothing is
// written here (the main window writes the settings when it closes).
//
// The Win32 window shows what the view is told and hands the user's actions to
// the On... members and to SetChecked / OnLevelArrow.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/app_settings.hpp"
#include "settings/settings_store.hpp"
#include "lang/lang_manager.hpp"
#include "lang/language_controller.hpp"
#include "online/browser_launch.hpp"
#include "online/http_client.hpp"
#include "online/update_server.hpp"
#include "platform/prompter.hpp"
#include "pool/compiler_discovery.hpp"

namespace kovan {

// The window's two-state controls: two radio buttons for dropped folders and
// five check boxes, each bound to one setting.
enum class SettingsToggle {
  AcceptFolders,     // radio button, Klasor = true
  IgnoreFolders,     // radio button, Klasor = false (chosen when the window is built)
  VersionNotice,     // Skontrol
  RememberPosition,  // EPos
  StayOnTop,         // EnUst
  Transparency,      // Trans
  StartWithSystem,   // Acilis
};
inline constexpr int kSettingsToggleCount = 7;

enum class SettingsPanel { General, Visual };

// The transparency levels of the level box.
inline constexpr int kMinTransparencyLevel = 1;
inline constexpr int kMaxTransparencyLevel = 8;

// The names language files and the text table know the controls by.
const char* ComponentName(SettingsToggle toggle);
const char* ComponentName(SettingsPanel panel);

// What the logic tells the settings window. Translated texts other than the
// panel captions arrive through LanguageView::ApplyText; the window itself is
// component "" and the level box's label "Label1".
class SettingsWindowView : public LanguageView {
 public:
  // The language list: one item per language, then "+".
  virtual void SetLanguageItems(const std::vector<std::string>& items) = 0;
  virtual void ChooseLanguageItem(int index) = 0;
  virtual void SetChecked(SettingsToggle toggle, bool checked) = 0;
  virtual void ShowLevel(int level) = 0;
  // The level box and its label are enabled and disabled together.
  virtual void EnableLevel(bool enabled) = 0;
  // Opens `panel` and closes the other one.
  virtual void OpenPanel(SettingsPanel panel) = 0;
  // A panel's caption, as markup ("<b>...</b>" is bold).
  virtual void SetPanelCaption(SettingsPanel panel, const std::string& markup) = 0;
  virtual void Hide() = 0;
  // The compiler list with its label, and the machine list, each with the
  // item to show chosen (-1: none).
  virtual void SetCompilerItems(const std::string& label, const std::vector<std::string>& items, int chosen) = 0;
  virtual void SetMachineItems(const std::vector<std::string>& items, int chosen) = 0;
};

// What the settings window changes on the main window.
class MainWindowControl {
 public:
  virtual ~MainWindowControl() = default;
  virtual void SetStayOnTop(bool onTop) = 0;
  // Alpha blending on or off; while it is off the window is opaque whatever
  // its alpha value.
  virtual void SetAlphaBlend(bool on) = 0;
  // The alpha value used while blending is on: 0 to 255, 255 is opaque.
  virtual void SetAlphaBlendValue(uint8_t alpha) = 0;
};

// Stay-on-top and transparency of the main window for the settings window.
// The alpha value is kept while blending is off and applies once it is on;
// while blending is off the window is opaque.
class MainWindowAppearance : public MainWindowControl {
 public:
  struct Window {
    std::function<void(bool onTop)> setStayOnTop;
    std::function<void(uint8_t alpha)> setOpacity;  // 255 is opaque
  };
  MainWindowAppearance(Window window, bool blending, uint8_t alpha)
      : window_(std::move(window)), blending_(blending), alpha_(alpha) {}
  void SetStayOnTop(bool onTop) override { window_.setStayOnTop(onTop); }
  void SetAlphaBlend(bool on) override;
  void SetAlphaBlendValue(uint8_t alpha) override;

 private:
  void Apply() { window_.setOpacity(blending_ ? alpha_ : 255); }

  Window window_;
  bool blending_;
  uint8_t alpha_;
};

struct SettingsWindowServices {
  AppSettings& settings;       // the main window's settings in memory
  const SettingsStore& store;  // the main window's store; the saved language is read from it
  MainWindowControl& mainWindow;
  Prompter& prompter;
  BrowserOpener& browser;
  std::string languageFolder;             // dil\ beside the executable
  ServerAddress server = UpdateServer();  // hosts the support pages
  LanguageManager& languages = LangManager();
  // The compilers this machine has, looked for each time the window shows.
  std::function<std::vector<CompilerPrograms>()> findCompilers = {};
};

class SettingsWindowLogic : private LanguageView {
 public:
  // Shows the controls' state as the window is built and its texts in the
  // active language; the view must be ready for that.
  SettingsWindowLogic(SettingsWindowView& view, SettingsWindowServices services);

  // Once, when the window is built at program start: fills the language list
  // and chooses the start language a second time. Errors of the language
  // folder and of a language file reach the caller.
  void OnCreate();
  // Each time the window is shown: every control from the settings.
  void OnShow();

  // A control's state changed, by the user or by the program. Its handler
  // runs only when the state really changes; choosing a radio button clears
  // the other one, and clearing one runs nothing.
  void SetChecked(SettingsToggle toggle, bool checked);
  // Shows `level` in the level box, limited to 1..8; when the shown number
  // changes, the level applies.
  void SetLevel(int level);
  // An arrow of the level box: +1 or -1. At a limit nothing happens.
  void OnLevelArrow(int step);

  // A click on a panel's caption: the open panel closes and the other opens.
  void OnPanelCaptionClick(SettingsPanel panel);

  void OnLanguageListOpened();
  // The user chose item `index` of the language list (-1: none). A language
  // file that fails raises its error; so does the browser for the last item.
  void OnLanguageChosen(int index);

  void OnGlassButtonClick();

  // The user chose item `index` of the compiler list. A compiler this
  // machine lacks cannot be chosen: the list goes back to the one in the
  // settings.
  void OnCompilerChosen(int index);
  void OnMachineChosen(int index);

  bool Checked(SettingsToggle toggle) const { return checked_[static_cast<size_t>(toggle)]; }
  int Level() const { return level_; }
  bool LevelEnabled() const { return levelEnabled_; }
  SettingsPanel OpenPanel() const { return openPanel_; }
  const std::string& PanelCaption(SettingsPanel panel) const { return captions_[static_cast<size_t>(panel)]; }
  int ChosenLanguageItem() const { return chosenItem_; }

 private:
  void ApplyText(std::string_view component, std::string_view property, const std::string& text) override;

  void OnToggleChanged(SettingsToggle toggle, bool checked);
  void OnLevelChanged();
  void ChooseLanguageItem(int index);
  void EnableLevel(bool enabled);
  void ShowOpenPanel(SettingsPanel panel);
  void SetCaption(SettingsPanel panel, std::string markup);
  void MarkPanelCaptionsBold();
  // The compilers found, the chosen one and the machine, from the settings.
  void FillCompilerLists();
  // The machines `compiler` (nothing: Kovan's choice) can make .OBJ files for.
  void FillMachineList(std::optional<CompilerId> compiler);

  SettingsWindowView& view_;
  SettingsWindowServices services_;
  std::array<bool, kSettingsToggleCount> checked_{};
  int level_ = kMaxTransparencyLevel;
  bool levelEnabled_ = false;
  SettingsPanel openPanel_ = SettingsPanel::General;
  std::array<std::string, 2> captions_;
  int languageItemCount_ = 0;
  int chosenItem_ = -1;
  // The language active when the list was last opened; 0 until it is opened.
  uint16_t languageAtOpening_ = 0;
  std::vector<CompilerPrograms> compilers_;  // as listed, in the list's order
  std::vector<Machine> machines_;            // as listed
  LanguageController language_;
};

}  // namespace kovan
