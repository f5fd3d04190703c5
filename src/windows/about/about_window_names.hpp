// The about window's names as the outside world knows them: its window class
// and its close button's caption. Language files do not address the about
// window: its texts are the same in every language.
#pragma once

namespace kovan {

inline constexpr wchar_t kAboutWindowClass[] = L"THakkindaPencere";
inline constexpr wchar_t kAboutCloseCaption[] = L"Kapat / Close";

}  // namespace kovan
