// The settings window's names as the outside world knows them: its window
// class, and the texts that language files address in section [AyarPencere] by
// ID (IDs are never reused or renumbered).
#pragma once

#include "lang/window_texts.hpp"

namespace kovan {

inline constexpr wchar_t kSettingsWindowClass[] = L"TAyarPencere";

const WindowTextTable& SettingsWindowTexts();

}  // namespace kovan
