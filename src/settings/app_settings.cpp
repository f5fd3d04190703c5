#include "settings/app_settings.hpp"

#include <algorithm>
#include <string_view>
#include <variant>

#include "pool/compiler_backend.hpp"

namespace kovan {

uint8_t OpacityForLevel(int64_t level) {
  const int64_t raw = level * 32 - 1;
  return static_cast<uint8_t>(((raw % 256) + 256) % 256);
}

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

namespace {

// Where each stored value lives in memory.
struct Flag {
  bool AppSettings::*member;
};
struct Number {
  int32_t AppSettings::*member;
};
struct Language {};  // read into StartSettings::storedLanguage, written zero-extended
struct Edge {        // the main window's place, read only when rememberPlace is on
  int32_t WindowPlace::*member;
};
struct Choice {  // a name; one Kovan does not know reads as the default
  std::string AppSettings::*member;
  const char* (*canonical)(std::string_view name);
};

struct StoredSetting {
  std::string_view registryName;
  std::variant<Flag, Number, Language, Edge, Choice> field;
};

const char* CanonicalCompiler(std::string_view name) {
  const auto id = ParseCompilerName(name);
  return id ? CompilerName(*id) : nullptr;
}

const char* CanonicalMachine(std::string_view name) {
  const auto machine = ParseMachineName(name);
  return machine ? MachineName(*machine) : nullptr;
}

// The registry's names for the settings, in the order the close writes them.
// The start reads them in the same order; a read may depend on a row above it
// (the place is read only when EPos says so).
const StoredSetting kStoredSettings[] = {
    {"Klasor", Flag{&AppSettings::acceptFolders}},
    {"Skontrol", Flag{&AppSettings::announceNewVersion}},
    {"EPos", Flag{&AppSettings::rememberPlace}},
    {"EnUst", Flag{&AppSettings::stayOnTop}},
    {"Acilis", Flag{&AppSettings::startWithSystem}},
    {"Trans", Flag{&AppSettings::semiTransparent}},
    {"Dil", Language{}},
    {"TransI", Number{&AppSettings::transparencyLevel}},
    {"Ust", Edge{&WindowPlace::top}},
    {"Sol", Edge{&WindowPlace::left}},
    {"Derleyici", Choice{&AppSettings::compiler, CanonicalCompiler}},
    {"Makine", Choice{&AppSettings::machine, CanonicalMachine}},
};

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

StartSettings ReadStartSettings(const SettingsStore& store, WindowPlace centred) {
  StartSettings start;
  AppSettings& s = start.settings;
  start.place = centred;
  for (const StoredSetting& row : kStoredSettings) {
    const std::string_view name = row.registryName;
    std::visit(Overloaded{
                   [&](Flag f) { s.*f.member = store.ReadBoolean(name, s.*f.member); },
                   [&](Number n) { s.*n.member = store.ReadInteger(name, s.*n.member); },
                   [&](Language) { start.storedLanguage = store.ReadInteger(name, start.storedLanguage); },
                   [&](Edge e) {
                     if (s.rememberPlace) start.place.*e.member = store.ReadInteger(name, centred.*e.member);
                   },
                   [&](Choice c) {
                     if (const char* known = c.canonical(store.ReadString(name, s.*c.member))) s.*c.member = known;
                   },
               },
               row.field);
  }
  return start;
}

void WriteCloseSettings(SettingsStore& store, const AppSettings& settings, WindowPlace current,
                        StartupShortcut& shortcut) {
  for (const StoredSetting& row : kStoredSettings) {
    const std::string_view name = row.registryName;
    std::visit(Overloaded{
                   [&](Flag f) {
                     store.WriteBoolean(name, settings.*f.member);
                     if (f.member == &AppSettings::startWithSystem)
                       BringStartupShortcutInLine(shortcut, settings.startWithSystem);
                   },
                   [&](Number n) { store.WriteInteger(name, settings.*n.member); },
                   [&](Language) { store.WriteInteger(name, static_cast<int32_t>(uint32_t{settings.language})); },
                   [&](Edge e) { store.WriteInteger(name, current.*e.member); },
                   [&](Choice c) { store.WriteString(name, settings.*c.member); },
               },
               row.field);
  }
}

}  // namespace kovan
