#include "windows/settings/settings_window_logic.hpp"

#include <algorithm>

#include "base/text.hpp"
#include "windows/main/hover_summary.hpp"
#include "lang/start_language.hpp"
#include "windows/settings/settings_window_names.hpp"

namespace kovan {

namespace {

constexpr const char* kToggleNames[kSettingsToggleCount] = {
    "kabul", "ret", "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
};
constexpr const char* kPanelNames[] = {"genelpanel", "gorselpanel"};

// The last item of the language list leads to the support page instead of a language.
constexpr char kMoreLanguagesItem[] = "+";

constexpr size_t Index(SettingsToggle toggle) { return static_cast<size_t>(toggle); }
constexpr size_t Index(SettingsPanel panel) { return static_cast<size_t>(panel); }

SettingsPanel Other(SettingsPanel panel) {
  return panel == SettingsPanel::General ? SettingsPanel::Visual : SettingsPanel::General;
}

}  // namespace

const char* ComponentName(SettingsToggle toggle) { return kToggleNames[Index(toggle)]; }
const char* ComponentName(SettingsPanel panel) { return kPanelNames[Index(panel)]; }

SettingsWindowLogic::SettingsWindowLogic(SettingsWindowView& view, SettingsWindowServices services)
    : view_(view), services_(std::move(services)), language_(SettingsWindowTexts(), *this, services_.languages) {
  checked_[Index(SettingsToggle::IgnoreFolders)] = true;
  for (int i = 0; i < kSettingsToggleCount; ++i) view_.SetChecked(static_cast<SettingsToggle>(i), checked_[i]);
  view_.ShowLevel(level_);
  view_.EnableLevel(levelEnabled_);
  view_.OpenPanel(openPanel_);
  language_.Loaded();
}

void SettingsWindowLogic::OnCreate() {
  LanguageManager& languages = services_.languages;
  const int32_t saved = services_.store.ReadInteger("Dil", kBaseLanguage);
  // The list is filled while the start language is looked for, before the
  // switch, and only here: files added later appear after a restart.
  std::vector<std::string> items;
  const auto addItem = [&](int index) {
    items.push_back(languages.LanguageNameAt(index));
    if (index + 1 < languages.LanguageTotal()) return;
    items.push_back(kMoreLanguagesItem);
    languageItemCount_ = static_cast<int>(items.size());
    view_.SetLanguageItems(items);
  };
  const bool found = ChooseStartLanguage(languages, saved, services_.languageFolder, services_.prompter, addItem);
  ChooseLanguageItem(found ? languages.LanguageIndexOf(languages.ActiveLanguage()) : 0);
  services_.settings.Dil = languages.ActiveLanguage();
}

void SettingsWindowLogic::OnShow() {
  const AppSettings& settings = services_.settings;
  SetChecked(settings.Klasor ? SettingsToggle::AcceptFolders : SettingsToggle::IgnoreFolders, true);
  // In this order: switching transparency on applies the level the box shows
  // before the box takes the stored level.
  SetChecked(SettingsToggle::VersionNotice, settings.Skontrol);
  SetChecked(SettingsToggle::RememberPosition, settings.EPos);
  SetChecked(SettingsToggle::StayOnTop, settings.EnUst);
  SetChecked(SettingsToggle::Transparency, settings.Trans);
  SetChecked(SettingsToggle::StartWithSystem, settings.Acilis);
  EnableLevel(Checked(SettingsToggle::Transparency));
  SetLevel(settings.TransI);
  MarkPanelCaptionsBold();
  FillCompilerLists();
}

// The compiler list opens with the choice left to Kovan (GoRC, or its own
// compiler when GoRC is missing); the compilers follow in the table's order.
void SettingsWindowLogic::FillCompilerLists() {
  compilers_ = services_.findCompilers ? services_.findCompilers() : std::vector<CompilerPrograms>{};
  const std::optional<CompilerId> chosen = ParseCompilerName(services_.settings.Derleyici);
  std::vector<std::string> items{Text(msg::derleyiciotomatik)};
  int chosenItem = chosen ? -1 : 0;
  for (const CompilerPrograms& compiler : compilers_) {
    std::string item = CompilerDisplayName(compiler.id);
    if (!compiler.Found()) item += " " + Text(msg::derleyicibulunamadi);
    if (chosen && compiler.id == *chosen) chosenItem = static_cast<int>(items.size());
    items.push_back(std::move(item));
  }
  view_.SetCompilerItems(Text(msg::derleyicietiket), items, chosenItem);

  FillMachineList(chosen);
}

// The machine list offers what the compiler in effect can make an .OBJ file
// for: the chosen one, or for Kovan's choice GoRC when it is found and Kovan's
// own otherwise. When the stored machine is not among them, the first one
// offered takes its place, so the list always shows what a compile will use.
void SettingsWindowLogic::FillMachineList(std::optional<CompilerId> compiler) {
  if (!compiler) {
    const auto gorc = std::find_if(compilers_.begin(), compilers_.end(),
                                   [](const CompilerPrograms& c) { return c.id == CompilerId::GoRC; });
    compiler = gorc != compilers_.end() && gorc->Found() ? CompilerId::GoRC : CompilerId::Builtin;
  }
  machines_.clear();
  std::vector<std::string> items;
  int chosenMachine = 0;
  const std::optional<Machine> stored = ParseMachineName(services_.settings.Makine);
  for (const Machine listed : kAllMachines) {
    if (!MakesObjFor(*compiler, listed)) continue;
    if (stored == listed) chosenMachine = static_cast<int>(machines_.size());
    machines_.push_back(listed);
    items.push_back(MachineName(listed));
  }
  if (!machines_.empty() && stored != machines_[static_cast<size_t>(chosenMachine)])
    services_.settings.Makine = MachineName(machines_[static_cast<size_t>(chosenMachine)]);
  view_.SetMachineItems(items, chosenMachine);
}

void SettingsWindowLogic::OnCompilerChosen(int index) {
  if (index == 0) {
    services_.settings.Derleyici.clear();
    FillMachineList(std::nullopt);
    return;
  }
  if (index < 0 || static_cast<size_t>(index) > compilers_.size()) return;
  const CompilerPrograms& compiler = compilers_[static_cast<size_t>(index) - 1];
  if (!compiler.Found()) {
    FillCompilerLists();
    return;
  }
  services_.settings.Derleyici = CompilerName(compiler.id);
  FillMachineList(compiler.id);
}

void SettingsWindowLogic::OnMachineChosen(int index) {
  if (index < 0 || static_cast<size_t>(index) >= machines_.size()) return;
  services_.settings.Makine = MachineName(machines_[static_cast<size_t>(index)]);
}

void MainWindowAppearance::SetAlphaBlend(bool on) {
  blending_ = on;
  Apply();
}

void MainWindowAppearance::SetAlphaBlendValue(uint8_t alpha) {
  alpha_ = alpha;
  Apply();
}

void SettingsWindowLogic::SetChecked(SettingsToggle toggle, bool checked) {
  bool& state = checked_[Index(toggle)];
  if (state == checked) return;
  state = checked;
  view_.SetChecked(toggle, checked);
  const bool isRadio = toggle == SettingsToggle::AcceptFolders || toggle == SettingsToggle::IgnoreFolders;
  if (!isRadio) {
    OnToggleChanged(toggle, checked);
  } else if (checked) {
    const SettingsToggle sibling =
        toggle == SettingsToggle::AcceptFolders ? SettingsToggle::IgnoreFolders : SettingsToggle::AcceptFolders;
    if (checked_[Index(sibling)]) {
      checked_[Index(sibling)] = false;
      view_.SetChecked(sibling, false);
    }
    OnToggleChanged(toggle, true);
  }
}

void SettingsWindowLogic::OnToggleChanged(SettingsToggle toggle, bool checked) {
  AppSettings& settings = services_.settings;
  switch (toggle) {
    case SettingsToggle::AcceptFolders: settings.Klasor = true; break;
    case SettingsToggle::IgnoreFolders: settings.Klasor = false; break;
    case SettingsToggle::VersionNotice: settings.Skontrol = checked; break;
    case SettingsToggle::RememberPosition: settings.EPos = checked; break;
    case SettingsToggle::StartWithSystem: settings.Acilis = checked; break;
    case SettingsToggle::StayOnTop:
      settings.EnUst = checked;
      services_.mainWindow.SetStayOnTop(checked);
      break;
    case SettingsToggle::Transparency:
      EnableLevel(checked);
      settings.Trans = checked;
      if (checked) services_.mainWindow.SetAlphaBlendValue(OpacityForLevel(level_));
      services_.mainWindow.SetAlphaBlend(checked);
      break;
  }
}

void SettingsWindowLogic::SetLevel(int level) {
  level = std::clamp(level, kMinTransparencyLevel, kMaxTransparencyLevel);
  if (level == level_) return;
  level_ = level;
  view_.ShowLevel(level_);
  OnLevelChanged();
}

void SettingsWindowLogic::OnLevelArrow(int step) { SetLevel(level_ + step); }

void SettingsWindowLogic::OnLevelChanged() {
  services_.settings.TransI = level_;
  // Also while transparency is off: the value shows once it is switched on.
  services_.mainWindow.SetAlphaBlendValue(OpacityForLevel(level_));
}

void SettingsWindowLogic::EnableLevel(bool enabled) {
  levelEnabled_ = enabled;
  view_.EnableLevel(enabled);
}

void SettingsWindowLogic::OnPanelCaptionClick(SettingsPanel panel) {
  ShowOpenPanel(openPanel_ == panel ? Other(panel) : panel);
}

void SettingsWindowLogic::ShowOpenPanel(SettingsPanel panel) {
  openPanel_ = panel;
  view_.OpenPanel(panel);
}

void SettingsWindowLogic::OnLanguageListOpened() { languageAtOpening_ = services_.languages.ActiveLanguage(); }

void SettingsWindowLogic::OnLanguageChosen(int index) {
  LanguageManager& languages = services_.languages;
  chosenItem_ = index;
  if (index >= 0 && index < languageItemCount_ - 1) {
    // Through the base language, so that every text is set again even when
    // the chosen language is the active one.
    languages.SwitchLanguage(kBaseLanguage);
    languages.SwitchLanguage(languages.LanguageIdAt(index));
  } else if (index >= 0 && index == languageItemCount_ - 1) {
    services_.browser.OpenInBrowser(SupportPageAddress(services_.server, languages.ActiveLanguage()));
    ChooseLanguageItem(languages.LanguageIndexOf(languageAtOpening_));
  }
  services_.settings.Dil = languages.ActiveLanguage();
  MarkPanelCaptionsBold();
}

void SettingsWindowLogic::ChooseLanguageItem(int index) {
  chosenItem_ = index;
  view_.ChooseLanguageItem(index);
}

void SettingsWindowLogic::OnGlassButtonClick() { view_.Hide(); }

void SettingsWindowLogic::ApplyText(std::string_view component, std::string_view property, const std::string& text) {
  for (SettingsPanel panel : {SettingsPanel::General, SettingsPanel::Visual}) {
    if (AsciiIEquals(component, ComponentName(panel)) && AsciiIEquals(property, "Caption.Text")) {
      SetCaption(panel, text);
      return;
    }
  }
  view_.ApplyText(component, property, text);
}

void SettingsWindowLogic::SetCaption(SettingsPanel panel, std::string markup) {
  captions_[Index(panel)] = std::move(markup);
  view_.SetPanelCaption(panel, captions_[Index(panel)]);
}

// Each call adds one more pair around the caption; the panel still draws it
// bold, and a translation sets the plain caption again.
void SettingsWindowLogic::MarkPanelCaptionsBold() {
  for (SettingsPanel panel : {SettingsPanel::General, SettingsPanel::Visual}) {
    SetCaption(panel, "<b>" + PanelCaption(panel) + "</b>");
  }
}

}  // namespace kovan
