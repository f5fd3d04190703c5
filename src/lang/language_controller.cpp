#include "lang/language_controller.hpp"

#include "base/text.hpp"
#include "lang/lang_file.hpp"

namespace kovan {

LanguageController::LanguageController(const WindowTextTable& table, LanguageView& view, LanguageManager& manager)
    : table_(table), view_(view), manager_(manager), windowName_(table.windowName) {
  for (const char* pattern : table.ignoreList) IgnoreList.Add(pattern);
  manager_.AttachController(*this);
}

LanguageController::~LanguageController() { manager_.DetachController(*this); }

const std::string& LanguageController::SectionNameOrWindow() const {
  return SectionName.empty() ? windowName_ : SectionName;
}

void LanguageController::Loaded() {
  bound_.clear();
  for (const WindowText& text : table_.texts) {
    if (IgnoreList.Matches(std::string(text.component) + "." + text.property)) continue;
    bound_.push_back(&text);
  }
  Translate(nullptr);
  manager_.TranslateController(*this);
}

void LanguageController::Translate(const LangSection* section) {
  for (const WindowText* text : bound_) {
    const std::u16string* translated = section ? section->Find(text->id) : nullptr;
    view_.ApplyText(text->component, text->property, translated ? Utf16ToUtf8(*translated) : text->builtin);
  }
}

}  // namespace kovan
