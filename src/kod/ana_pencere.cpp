#include "kod/ana_pencere.hpp"

#include <exception>

#include "base/file_system.hpp"
#include "kod/drop_import.hpp"
#include "lang/lang_manager.hpp"
#include "pool/pool_file.hpp"
#include "pool/pool_load.hpp"

namespace kovan {

TAnaPencere::TAnaPencere(AnaPencereView& view, Prompter& prompter, Registry& registry, StartupShortcut& shortcut,
                         BrowserOpener& browser, std::string dataFolder)
    : view_(view),
      prompter_(prompter),
      store_(registry),
      shortcut_(shortcut),
      browser_(browser),
      versionCheck_(view, prompter, browser),
      dataFolder_(std::move(dataFolder)),
      poolFile_(dataFolder_ + "Liste.kvl") {}

void TAnaPencere::UpdatePoolCount() { view_.SetPoolCountCaption(std::to_string(pool_.Count())); }

void TAnaPencere::FormCreate() {
  const ScreenSize screen = view_.PrimaryScreenSize();
  const ScreenSize window = view_.WindowSize();
  const StartSettings start =
      ReadStartSettings(store_, CentredPlace(screen.width, screen.height, window.width, window.height));
  settings_ = start.settings;
  view_.BeginVersionCheck(versionCheck_.Server());
  view_.MoveTo(start.place);
  view_.SetStayOnTop(settings_.EnUst);
  view_.SetOpacity(settings_.Trans ? OpacityForLevel(settings_.TransI) : 255);

  const PoolLoadOutcome outcome = LoadPoolAtStart(pool_, poolFile_, prompter_);
  poolFileUnreadable_ = outcome.unreadable;
  if (!outcome.created) UpdatePoolCount();
}

bool TAnaPencere::FormClose() {
  try {
    WriteCloseSettings(store_, settings_, view_.Place(), shortcut_);
    if (!(poolFileUnreadable_ && pool_.Count() == 0)) WritePoolFile(pool_, poolFile_);
    return true;
  } catch (const std::exception& e) {
    prompter_.ReportError(e.what());
    return false;
  }
}

void TAnaPencere::VersionCheckDone(std::optional<int32_t> published) {
  if (published) versionCheck_.Announce(*published, settings_.Skontrol);
}

void TAnaPencere::amamnSil1Click() {
  if (pool_.Count() == 0) {
    prompter_.Message({Text("tmz2"), Text("tmz1"), MessageButtons::Ok, MessageIcon::Information});
    return;
  }
  const MessageAnswer answer =
      prompter_.Message({Text("sil2"), Text("sil1"), MessageButtons::YesNo, MessageIcon::Question, true});
  if (answer != MessageAnswer::Yes) return;
  pool_.Clear();
  view_.SetPoolCountCaption("0");
}

void TAnaPencere::FormKeyDown(Key key) {
  if (key == Key::Escape) dropAbortRequested_ = true;
}

void TAnaPencere::DropFiles1DropFiles(std::vector<std::string> paths) {
  if (paths.empty()) return;
  pendingDrops_.push_back(std::move(paths));
  if (importing_) return;  // the running import picks it up when it is done
  importing_ = true;
  struct Reset {
    TAnaPencere& self;
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

bool TAnaPencere::ImportOne(const std::vector<std::string>& paths) {
  dropAbortRequested_ = false;
  view_.SetBusyCursor(true);
  bool terminating = false;
  DropImportHooks hooks;
  hooks.acceptFolders = settings_.Klasor;
  hooks.askSubfolders = [this](const std::string& folder) {
    const MessageAnswer answer = prompter_.Message({Text("altonay1"), Text("altonay") + "\r(" + folder + ")",
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

void TAnaPencere::SmoothPanel1MouseEnter() {
  if (settings_.Trans) view_.SetOpacity(255);
  view_.SetHoverSummary(BuildHoverSummary(pool_, FileSizeOf, view_.ThousandsSeparator()));
}

void TAnaPencere::SmoothPanel1MouseLeave() {
  if (settings_.Trans) view_.SetOpacity(OpacityForLevel(settings_.TransI));
}

}  // namespace kovan
