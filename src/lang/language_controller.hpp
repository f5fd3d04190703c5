// The translation of one window. Each translatable window owns a controller,
// which attaches to the language manager for its lifetime and sets the
// window's texts through the window's view whenever the language changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/lang_manager.hpp"
#include "lang/pattern_match.hpp"
#include "lang/window_texts.hpp"

namespace kovan {

struct LangSection;

// What a translatable window offers its controller: setting one text.
class LanguageView {
 public:
  virtual ~LanguageView() = default;
  // `component` is the control's name ("" for the window itself), `property`
  // the property path of the table ("Caption", "Hint", "Caption.Text",
  // "HintHelpText"); `text` is UTF-8 and may hold line breaks.
  virtual void ApplyText(std::string_view component, std::string_view property, const std::string& text) = 0;
};

class LanguageController {
 public:
  // Attaches to `manager` at once; the destructor detaches.
  LanguageController(const WindowTextTable& table, LanguageView& view, LanguageManager& manager = LangManager());
  ~LanguageController();
  LanguageController(const LanguageController&) = delete;
  LanguageController& operator=(const LanguageController&) = delete;

  // The window's section in language files; when empty, the window's name.
  std::string SectionName;
  // Full property paths ("Component.Property", ".Property" for the window's
  // own) that are never translated.
  PatternList IgnoreList;

  const std::string& SectionNameOrWindow() const;

  // The window has finished loading: its texts become the built-in ones, and
  // then it is shown in the active language.
  void Loaded();

  // Sets every text to the section's text for its ID, or to its built-in text
  // when the section (or the section's line for it) is missing.
  void Translate(const LangSection* section);

 private:
  const WindowTextTable& table_;
  LanguageView& view_;
  LanguageManager& manager_;
  std::string windowName_;
  std::vector<const WindowText*> bound_;  // the translatable texts, known once the window has loaded
};

}  // namespace kovan
