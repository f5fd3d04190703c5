#include "settings/app_settings.hpp"

#include <algorithm>

#include "pool/compiler_backend.hpp"

namespace kovan {

WindowPlace CentredPlace(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth, int32_t windowHeight) {
  return {(screenHeight - windowHeight) / 2, (screenWidth - windowWidth) / 2};
}

namespace {

// The gap between two ranges along one axis; 0 when they overlap.
int64_t Gap(int64_t low, int64_t high, int64_t areaLow, int64_t areaHigh) {
  if (high <= areaLow) return areaLow - high + 1;
  if (low >= areaHigh) return low - areaHigh + 1;
  return 0;
}

int32_t Clamp(int32_t value, int32_t low, int32_t highest) {
  return value > highest ? std::max(low, highest) : std::max(value, low);
}

}  // namespace

WindowPlace PlaceOnScreen(WindowPlace place, int32_t width, int32_t height, std::span<const ScreenArea> areas) {
  const ScreenArea* nearest = nullptr;
  int64_t best = 0;
  for (const ScreenArea& area : areas) {
    const int64_t dx = Gap(place.left, int64_t{place.left} + width, area.left, area.right);
    const int64_t dy = Gap(place.top, int64_t{place.top} + height, area.top, area.bottom);
    if (dx == 0 && dy == 0) return place;
    const int64_t distance = dx * dx + dy * dy;
    if (!nearest || distance < best) {
      nearest = &area;
      best = distance;
    }
  }
  if (!nearest) return place;
  return {Clamp(place.top, nearest->top, nearest->bottom - height),
          Clamp(place.left, nearest->left, nearest->right - width)};
}

StartSettings ReadStartSettings(const SettingsStore& store, WindowPlace centred) {
  StartSettings start;
  AppSettings& s = start.settings;
  start.dil = store.ReadInteger("Dil", 1055);
  s.Klasor = store.ReadBoolean("Klasor", false);
  s.Skontrol = store.ReadBoolean("Skontrol", true);
  s.EPos = store.ReadBoolean("EPos", true);
  start.place = centred;
  if (s.EPos) start.place = {store.ReadInteger("Ust", centred.top), store.ReadInteger("Sol", centred.left)};
  s.EnUst = store.ReadBoolean("EnUst", true);
  s.Acilis = store.ReadBoolean("Acilis", true);
  s.TransI = store.ReadInteger("TransI", 255);
  s.Trans = store.ReadBoolean("Trans", false);
  if (const auto id = ParseCompilerName(store.ReadString("Derleyici", s.Derleyici))) s.Derleyici = CompilerName(*id);
  if (const auto machine = ParseMachineName(store.ReadString("Makine", s.Makine))) s.Makine = MachineName(*machine);
  return start;
}

void WriteCloseSettings(SettingsStore& store, const AppSettings& settings, WindowPlace current,
                        StartupShortcut& shortcut) {
  store.WriteBoolean("Klasor", settings.Klasor);
  store.WriteBoolean("Skontrol", settings.Skontrol);
  store.WriteBoolean("EPos", settings.EPos);
  store.WriteBoolean("EnUst", settings.EnUst);
  store.WriteBoolean("Acilis", settings.Acilis);
  BringStartupShortcutInLine(shortcut, settings.Acilis);
  store.WriteBoolean("Trans", settings.Trans);
  store.WriteInteger("Dil", static_cast<int32_t>(static_cast<uint32_t>(settings.Dil)));
  store.WriteInteger("TransI", settings.TransI);
  store.WriteInteger("Ust", current.top);
  store.WriteInteger("Sol", current.left);
  store.WriteString("Derleyici", settings.Derleyici);
  store.WriteString("Makine", settings.Makine);
}

}  // namespace kovan
