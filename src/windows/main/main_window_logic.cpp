#include "windows/main/main_window_logic.hpp"

#include <exception>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/drop_import.hpp"
#include "lang/lang_manager.hpp"
#include "lang/start_language.hpp"
#include "windows/main/main_window_names.hpp"
#include "pool/pool_file.hpp"
#include "windows/main/pool_load.hpp"

namespace kovan {

MainWindowLogic::MainWindowLogic(MainWindowView& view, MainWindowServices services)
    : view_(view),
      services_(std::move(services)),
      store_(services_.registry),
      poolFile_(services_.dataFolder + "Liste.kvl"),
      versionCheck_(*this, services_.prompter, services_.browser),
      compile_(pool_, services_.dataFolder, services_.prompter, services_.shell, *this,
               [this] { view_.ShowPoolWindow(); }),
      language_(MainWindowTexts(), *this) {
  compile_.SetCompilerSearch([this] { return SystemCompilerSearch(services_.shell, &services_.registry); });
  language_.Loaded();
}

void MainWindowLogic::UpdatePoolCount() { view_.SetPoolCountCaption(std::to_string(pool_.Count())); }

void MainWindowLogic::OnCreate() {
  // Reading the settings has no effects, so they are read at once; the
  // language is still chosen first.
  const ScreenSize screen = view_.PrimaryScreenSize();
  const ScreenSize window = view_.WindowSize();
  const StartSettings start =
      ReadStartSettings(store_, CentredPlace(screen.width, screen.height, window.width, window.height));
  settingsRead_ = true;
  // A bad language file is reported and the base language used: the start
  // must still reach the pool, or a close would have nothing true to save.
  bool languageFailed = false;
  try {
    ChooseStartLanguage(LangManager(), start.dil, services_.languageFolder, services_.prompter);
  } catch (const std::exception& e) {
    services_.prompter.ReportError(e.what());
    LangManager().SwitchLanguage(kBaseLanguage);
    languageFailed = true;
  }
  settings_ = start.settings;
  // The language in use is what the close saves (the settings window's
  // creation sets it again when that window is built); a saved language
  // whose file failed stays saved, for the file may be mended.
  settings_.Dil = languageFailed ? static_cast<uint16_t>(start.dil) : LangManager().ActiveLanguage();
  view_.BeginVersionCheck(versionCheck_.Server());
  view_.MoveTo(start.place);
  view_.SetStayOnTop(settings_.EnUst);
  view_.SetOpacity(settings_.Trans ? OpacityForLevel(settings_.TransI) : 255);

  const PoolLoadOutcome outcome = ReadPoolAtStart(pool_, poolFile_, services_.prompter);
  poolLoaded_ = !outcome.unreadable;
  pruneDue_ = poolLoaded_ && !outcome.created;
  revisionAtStart_ = pool_.Revision();
  if (!outcome.created) UpdatePoolCount();
}

void MainWindowLogic::OnFirstShown() {
  if (!pruneDue_) return;
  pruneDue_ = false;
  PrunePoolAtStart(pool_, services_.prompter);
  UpdatePoolCount();
}

bool MainWindowLogic::OnClose() {
  try {
    // Settings that were never read are never replaced by defaults.
    if (settingsRead_) WriteCloseSettings(store_, settings_, view_.Place(), services_.shortcut);
    if (poolLoaded_) {
      WritePoolFile(pool_, poolFile_);
    } else if (pool_.Revision() != revisionAtStart_ && pool_.Count() > 0) {
      SaveAddedEntries();
    }
    return true;
  } catch (const std::exception& e) {
    services_.prompter.ReportError(e.what());
    return false;
  }
}

namespace {

// Reads `file` again and appends the entries of `added` it does not hold yet;
// false when the file still cannot be read.
bool MergeInto(const ResourcePool& added, const std::string& file) {
  ResourcePool merged;
  if (FileExists(file)) {
    try {
      if (!ReadPoolFile(merged, file).opened) return false;
    } catch (const IoError&) {
      return false;
    }
  }
  for (const PoolEntry& entry : added.Entries()) {
    if (!merged.ContainsPath(entry.Field(kFilePath))) merged.AppendFields(entry.fields);
  }
  WritePoolFile(merged, file);
  return true;
}

}  // namespace

void MainWindowLogic::SaveAddedEntries() {
  if (MergeInto(pool_, poolFile_)) return;
  // Still unreadable: the list is left alone and the new entries wait beside it.
  const std::string sideFile = poolFile_ + ".added";
  if (!MergeInto(pool_, sideFile)) WritePoolFile(pool_, sideFile);
  services_.prompter.Message(
      {kAppTitle, Text(msg::listeayri) + '\r' + poolFile_ + '\r' + sideFile, MessageButtons::Ok, MessageIcon::Warning});
}

void MainWindowLogic::VersionCheckDone(std::optional<int32_t> published) {
  if (published) versionCheck_.Announce(*published, settings_.Skontrol);
}

void MainWindowLogic::RunCommand(MenuCommand command) {
  switch (command) {
    case MenuCommand::CreateRes:
      ChooseCompiler();
      compile_.CompileToRes();
      break;
    case MenuCommand::CreateObj:
      ChooseCompiler();
      compile_.CompileToObj();
      break;
    case MenuCommand::ResToObj:
      ChooseCompiler();
      compile_.ConvertResToObj();
      break;
    case MenuCommand::StopCompile: compile_.StopCompile(); break;
    case MenuCommand::NewVersion: OpenNewVersionPage(); break;
    case MenuCommand::ClearPool: ClearPool(); break;
    case MenuCommand::Help: OpenHelp(); break;
    case MenuCommand::Pool: view_.ShowPoolWindow(); break;
    case MenuCommand::Settings: view_.ShowSettingsWindow(); break;
    case MenuCommand::About: view_.OpenAboutWindow(); break;
    // The exit command closes the window, which the window itself does.
    case MenuCommand::Exit:
    case MenuCommand::None: break;
  }
}

void MainWindowLogic::OpenHelp() {
  const std::string path = services_.exeFolder + "yardim.chm";
  if (!FileExists(path)) {
    services_.prompter.ShowInfo(Text(msg::yardimyok));
    return;
  }
  (void)services_.shell.Execute(ShellVerb::Open, path, ShowState::Show, true);
}

void MainWindowLogic::EnableNewVersionCommand() {
  if (MenuItem* item = menu_.Find(MenuCommand::NewVersion)) {
    item->picture = "update2";
    item->enabled = true;
  }
  view_.MenuChanged();
}

void MainWindowLogic::ChooseCompiler() {
  compile_.Choose(ParseCompilerName(settings_.Derleyici), ParseMachineName(settings_.Makine).value_or(Machine::X86));
}

void MainWindowLogic::SetCompileCommandsEnabled(bool enabled) {
  for (MenuCommand c : {MenuCommand::CreateRes, MenuCommand::CreateObj, MenuCommand::ResToObj}) {
    menu_.SetEnabled(c, enabled);
  }
  // A running compile can be stopped from the menu its wait keeps live.
  menu_.SetEnabled(MenuCommand::StopCompile, !enabled);
  view_.MenuChanged();
}

void MainWindowLogic::ApplyText(std::string_view component, std::string_view property, const std::string& text) {
  if (AsciiIEquals(component, "Proghint") && AsciiIEquals(property, "HintHelpText")) {
    hintHelpText_ = text;
    return;
  }
  if (menu_.ApplyText(component, property, text)) view_.MenuChanged();
}

void MainWindowLogic::ClearPool() {
  if (pool_.Count() == 0) {
    services_.prompter.Message({Text(msg::tmz2), Text(msg::tmz1), MessageButtons::Ok, MessageIcon::Information});
    return;
  }
  const MessageAnswer answer = services_.prompter.Message(
      {Text(msg::sil2), Text(msg::sil1), MessageButtons::YesNo, MessageIcon::Question, true});
  if (answer != MessageAnswer::Yes) return;
  pool_.Clear();
  view_.SetPoolCountCaption("0");
}

void MainWindowLogic::OnKeyDown(Key key) {
  if (key == Key::Escape) dropAbortRequested_ = true;
  if (key == Key::F5) view_.ShowPoolWindow();
}

void MainWindowLogic::ImportDrop(std::vector<std::string> paths) {
  if (paths.empty()) return;
  pendingDrops_.push_back(std::move(paths));
  if (importing_) return;  // the running import picks it up when it is done
  importing_ = true;
  struct Reset {
    MainWindowLogic& self;
    ~Reset() {
      self.importing_ = false;
      self.view_.SetBusyCursor(false);
    }
  } reset{*this};
  while (!pendingDrops_.empty()) {
    const std::vector<std::string> next = std::move(pendingDrops_.front());
    pendingDrops_.pop_front();
    if (ImportOne(next)) {
      pendingDrops_.clear();  // the application is ending
      break;
    }
  }
}

bool MainWindowLogic::ImportOne(const std::vector<std::string>& paths) {
  dropAbortRequested_ = false;
  view_.SetBusyCursor(true);
  bool terminating = false;
  DropImportHooks hooks;
  hooks.acceptFolders = settings_.Klasor;
  hooks.askSubfolders = [this](const std::string& folder) {
    const MessageAnswer answer =
        services_.prompter.Message({Text(msg::altonay1), Text(msg::altonay) + "\r(" + folder + ")",
                                    MessageButtons::YesNo, MessageIcon::Question, true});
    return answer == MessageAnswer::Yes;
  };
  hooks.pump = [this, &terminating] {
    terminating = terminating || view_.DispatchPendingMessages();
    return terminating || dropAbortRequested_;
  };
  ImportDroppedPaths(pool_, paths, hooks);
  UpdatePoolCount();
  view_.SetBusyCursor(false);
  if (!terminating) terminating = view_.DispatchPendingMessages();
  return terminating;
}

void MainWindowLogic::OnPointerEnter() {
  if (settings_.Trans) view_.SetOpacity(255);
  view_.SetHoverSummary(BuildHoverSummary(pool_, FileSizeOf, view_.ThousandsSeparator()));
}

void MainWindowLogic::OnPointerLeave() {
  if (settings_.Trans) view_.SetOpacity(OpacityForLevel(settings_.TransI));
}

}  // namespace kovan
