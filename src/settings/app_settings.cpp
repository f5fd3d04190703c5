#include "settings/app_settings.hpp"

#include "pool/compiler_backend.hpp"

namespace kovan {

WindowPlace CentredPlace(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth, int32_t windowHeight) {
  return {(screenHeight - windowHeight) / 2, (screenWidth - windowWidth) / 2};
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
