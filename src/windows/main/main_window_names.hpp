// The main window's names as the outside world knows them: its window
// class, and the texts that language files address in section [AnaPencere] by
// ID (IDs are never reused or renumbered).
#pragma once

#include "lang/window_texts.hpp"

namespace kovan {

inline constexpr wchar_t kMainWindowClass[] = L"TAnaPencere";

const WindowTextTable& MainWindowTexts();

}  // namespace kovan
