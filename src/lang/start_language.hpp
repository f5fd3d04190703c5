// The language choice made when the main window and the settings window are
// created.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lang/lang_manager.hpp"
#include "platform/prompter.hpp"

namespace kovan {

// The fixed notice shown when the saved language has no file any more; it is
// never translated, since the language it would need is the one missing.
inline constexpr char kLanguageNotFoundNotice[] =
    "Pre-selected language file can not be found, Language is set to Turkish.";

// The language folder beside the executable.
std::string LanguageFolder();

// Scans `languageFolder` for "*.lng" files and switches to `savedLanguage`
// (the saved Dil setting) when a language of that ID is known; otherwise to
// the base language, with the notice when something other than 0 was saved.
// `eachLanguage` (if given) is called with every language index in order
// before switching, for a list of languages to be filled. Returns true when
// the saved language was found. Files the scan could not read are left out
// and reported together; an error of the switch reaches the caller.
bool ChooseStartLanguage(LanguageManager& manager, int32_t savedLanguage, const std::string& languageFolder,
                         Prompter& prompter, const std::function<void(int index)>& eachLanguage = {});

}  // namespace kovan
