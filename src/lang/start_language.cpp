#include "lang/start_language.hpp"

#include "base/file_system.hpp"

namespace kovan {

std::string LanguageFolder() { return ExeFolder() + "dil" + kPathSeparator; }

bool ChooseStartLanguage(LanguageManager& manager, int32_t savedLanguage, const std::string& languageFolder,
                         Prompter& prompter, const std::function<void(int index)>& eachLanguage) {
  manager.ScanLanguageFolder(languageFolder, "*.lng", false);
  const std::vector<LanguageManager::SkippedFile> skipped = manager.SkippedFiles();
  if (!skipped.empty()) {
    std::string report = Text(msg::dilatlandi);
    for (const LanguageManager::SkippedFile& file : skipped) report += '\r' + file.path + '\r' + file.reason;
    prompter.ReportError(report);
  }
  bool found = false;
  for (int index = 0; index < manager.LanguageTotal(); ++index) {
    if (eachLanguage) eachLanguage(index);
    if (manager.LanguageIdAt(index) == savedLanguage) found = true;
  }
  // Through the base language first, so that whatever the chosen file leaves
  // out shows its built-in text rather than that of an earlier language.
  manager.SwitchLanguage(kBaseLanguage);
  if (found) {
    manager.SwitchLanguage(static_cast<uint16_t>(savedLanguage));
  } else if (savedLanguage != 0) {
    prompter.ShowInfo(kLanguageNotFoundNotice);
  }
  return found;
}

}  // namespace kovan
