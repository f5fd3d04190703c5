#include "lang/lang_manager.hpp"

#include <algorithm>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "lang/lang_error.hpp"
#include "lang/lang_file.hpp"
#include "lang/language_controller.hpp"
#include "lang/language_info.hpp"
#include "lang/pattern_match.hpp"

namespace kovan {

LanguageManager::LanguageManager() : activeCodePage_(LanguageCodePage(activeLanguage_)) {
  LoadConstants(BuiltinConstantsResource());
}

void LanguageManager::LoadConstants(std::span<const uint8_t> image) {
  std::unique_lock guard(lock_);
  LoadProgramConstants(constants_, image, activeCodePage_);
}

void LanguageManager::SetBaseLanguage(uint16_t id) {
  std::unique_lock guard(lock_);
  baseLanguage_ = id;
}

uint16_t LanguageManager::BaseLanguage() const {
  std::shared_lock guard(lock_);
  return baseLanguage_;
}

uint16_t LanguageManager::ActiveLanguage() const {
  std::shared_lock guard(lock_);
  return activeLanguage_;
}

unsigned LanguageManager::ActiveCodePage() const {
  std::shared_lock guard(lock_);
  return activeCodePage_;
}

const LanguageManager::LanguageFileEntry* LanguageManager::FileOf(uint16_t id) const {
  const auto it = std::find_if(files_.begin(), files_.end(), [id](const LanguageFileEntry& e) { return e.id == id; });
  return it != files_.end() ? &*it : nullptr;
}

void LanguageManager::CheckIndex(int index) const {
  if (index < 0 || static_cast<size_t>(index) > files_.size()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
}

int LanguageManager::LanguageTotal() const {
  std::shared_lock guard(lock_);
  return static_cast<int>(files_.size()) + 1;
}

uint16_t LanguageManager::LanguageIdAt(int index) const {
  std::shared_lock guard(lock_);
  CheckIndex(index);
  return index == 0 ? baseLanguage_ : files_[static_cast<size_t>(index) - 1].id;
}

std::string LanguageManager::LanguageNameAt(int index) const { return LanguageName(LanguageIdAt(index)); }

std::string LanguageManager::LanguageFileAt(int index) const {
  std::shared_lock guard(lock_);
  CheckIndex(index);
  return index == 0 ? std::string() : files_[static_cast<size_t>(index) - 1].path;
}

int LanguageManager::LanguageIndexOf(uint16_t id) const {
  std::shared_lock guard(lock_);
  if (id == baseLanguage_) return 0;
  const LanguageFileEntry* entry = FileOf(id);
  return entry ? static_cast<int>(entry - files_.data()) + 1 : 0;
}

int LanguageManager::ScanLanguageFolder(const std::string& folder, const std::string& mask, bool recurse) {
  {
    std::unique_lock guard(lock_);
    skipped_.clear();
  }
  return ScanFolder(folder, mask, recurse);
}

std::vector<LanguageManager::SkippedFile> LanguageManager::SkippedFiles() const {
  std::shared_lock guard(lock_);
  return skipped_;
}

int LanguageManager::ScanFolder(const std::string& folder, const std::string& mask, bool recurse) {
  std::string dir = folder;
  if (dir.empty() || !IsPathSeparator(dir.back())) dir += kPathSeparator;
  int accepted = 0;
  for (const FolderItem& item : ListFolder(dir)) {
    if (!MatchesPattern(item.name, mask)) continue;
    if (item.isFolder) {
      if (recurse && item.name.front() != '.') accepted += ScanFolder(dir + item.name, mask, true);
      continue;
    }
    // One file that cannot be read must not hide the languages of the others.
    try {
      if (AddLanguageFile(dir + item.name)) ++accepted;
    } catch (const Error& e) {
      std::unique_lock guard(lock_);
      skipped_.push_back({dir + item.name, e.what()});
    }
  }
  return accepted;
}

bool LanguageManager::AddLanguageFile(const std::string& path) {
  if (!FileExists(path)) return false;
  const auto id = static_cast<uint16_t>(ReadLanguageFile(path, true).LanguageId());
  if (id == 0) return false;
  std::unique_lock guard(lock_);
  // The base language always shows its built-in texts; its file is never read.
  if (id == baseLanguage_) return true;
  const auto it = std::find_if(files_.begin(), files_.end(), [id](const LanguageFileEntry& e) { return e.id == id; });
  if (it != files_.end()) {
    it->path = path;  // the file met last wins and keeps the earlier index
  } else {
    files_.push_back({id, path});
  }
  return true;
}

void LanguageManager::SwitchLanguage(uint16_t id) {
  std::shared_ptr<const LangFile> file;
  std::vector<LanguageController*> controllers;
  {
    std::unique_lock guard(lock_);
    const LanguageFileEntry* entry = id == baseLanguage_ ? nullptr : FileOf(id);
    if (!entry) id = baseLanguage_;
    if (id == activeLanguage_) return;
    // Read before changing anything, so that a bad file leaves all as it was.
    if (entry) file = std::make_shared<const LangFile>(ReadLanguageFile(entry->path, false));
    activeLanguage_ = id;
    activeFile_ = file;
    activeCodePage_ = LanguageCodePage(id);
    if (!file) {
      for (LangConstant& constant : constants_.Items()) constant.value = constant.builtin;
    } else {
      // Constants the file leaves out keep the text they had; hence callers
      // switch to the base language first when they want a clean start.
      for (const LangConstant& translated : file->constants.Items()) {
        if (LangConstant* constant = constants_.Find(translated.name)) constant->value = translated.value;
      }
    }
    controllers = controllers_;
  }
  // Windows are translated without holding the lock: a window may well look up
  // constants or ask for the active language while it takes its new texts.
  for (LanguageController* controller : controllers) {
    controller->Translate(file ? file->FindSection(controller->SectionNameOrWindow()) : nullptr);
  }
}

void LanguageManager::TranslateController(LanguageController& controller) {
  // The file read by the switch serves every window opened later.
  std::shared_ptr<const LangFile> file;
  {
    std::shared_lock guard(lock_);
    if (activeLanguage_ == baseLanguage_) return;
    file = activeFile_;
  }
  if (file) controller.Translate(file->FindSection(controller.SectionNameOrWindow()));
}

void LanguageManager::AttachController(LanguageController& controller) {
  std::unique_lock guard(lock_);
  controllers_.push_back(&controller);
}

void LanguageManager::DetachController(LanguageController& controller) {
  std::unique_lock guard(lock_);
  std::erase(controllers_, &controller);
}

std::u16string LanguageManager::ConstantText(std::string_view name) const {
  std::shared_lock guard(lock_);
  const LangConstant* item = constants_.Find(name);
  if (!item) throw LanguageError("Constant \"" + std::string(name) + "\" not found");
  return item->value;
}

std::string LanguageManager::ConstantTextAnsi(std::string_view name) const {
  const std::u16string text = ConstantText(name);
  return Utf16ToAnsi(text, ActiveCodePage());
}

LanguageManager& LangManager() {
  // The program sets its base language before anything else can ask for it,
  // so the manager is handed out with it already set.
  static LanguageManager& manager = []() -> LanguageManager& {
    static LanguageManager instance;
    instance.SetBaseLanguage(kBaseLanguage);
    return instance;
  }();
  return manager;
}

std::u16string ConstantText(MessageKey key) { return LangManager().ConstantText(key.name); }
std::string ConstantTextAnsi(MessageKey key) { return LangManager().ConstantTextAnsi(key.name); }
std::string Text(MessageKey key) { return Utf16ToUtf8(LangManager().ConstantText(key.name)); }

}  // namespace kovan
