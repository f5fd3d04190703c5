#include "windows/translatable_windows.hpp"

#include "windows/main/main_window_names.hpp"
#include "windows/pool/pool_window_names.hpp"
#include "windows/settings/settings_window_names.hpp"

namespace kovan {

std::span<const WindowTextTable* const> TranslatableWindows() {
  static const WindowTextTable* const windows[] = {&MainWindowTexts(), &SettingsWindowTexts(), &PoolWindowTexts()};
  return windows;
}

}  // namespace kovan
