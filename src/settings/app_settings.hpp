// The settings the program keeps between runs, in memory, and their trip to
// and from the settings store at the main window's creation and close.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "settings/autostart.hpp"
#include "settings/settings_store.hpp"

namespace kovan {

struct AppSettings {
  uint16_t language = 1055;           // the language in use; set by the settings window's creation
  bool acceptFolders = false;         // dropped folders are accepted
  bool announceNewVersion = true;     // the start's version check announces a newer version
  bool rememberPlace = true;          // the main window reopens where it was
  bool stayOnTop = true;              // the main window stays above the others
  bool startWithSystem = true;        // the program starts with the system
  bool semiTransparent = false;       // the main window is semi-transparent
  int32_t transparencyLevel = 255;    // 1 to 8 from the settings window
  // The resource compiler: gorc, rc, llvm, windres or builtin; empty when
  // none is chosen (GoRC, or Kovan's own when GoRC is missing).
  std::string compiler;
  std::string machine = "x86";  // the machine of .OBJ files: x86, x64 or arm64

  bool operator==(const AppSettings&) const = default;
};

// The main window's opacity at rest for a transparency level: level × 32 − 1,
// taken modulo 256 (levels 1..8 give 31..255; the default 255 gives 223).
uint8_t OpacityForLevel(int64_t level);

struct WindowPlace {
  int32_t top = 0;
  int32_t left = 0;
};

// The place that centres a window on a screen, halves rounded toward zero.
WindowPlace CentredPlace(int32_t screenWidth, int32_t screenHeight, int32_t windowWidth, int32_t windowHeight);

// A screen's work area (the part not covered by task bars).
struct ScreenArea {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Keeps a window reachable: a place where the window touches some work area
// stays as it is; any other (a saved place off every screen, or on a monitor
// since removed) moves the window inside the nearest work area. With no
// areas known the place stays.
WindowPlace PlaceOnScreen(WindowPlace place, int32_t width, int32_t height, std::span<const ScreenArea> areas);

// What the main window's creation reads. `language` of `settings` keeps its
// initial value: the settings window's creation fills it.
struct StartSettings {
  int32_t storedLanguage = 1055;  // chooses the start language
  AppSettings settings;
  WindowPlace place;  // the stored place when rememberPlace is on, otherwise `centred`
};

// Reads every setting with its default (also for a compiler or machine name
// Kovan does not know); the stored place only when rememberPlace is on.
// Never fails.
StartSettings ReadStartSettings(const SettingsStore& store, WindowPlace centred);

// The close: writes every setting in the order of the table of registry
// names (app_settings.cpp), the language zero-extended, and brings the startup
// shortcut in line right after startWithSystem. The first failure (RegistryError, or the shortcut's error)
// propagates and leaves the values after it unwritten.
void WriteCloseSettings(SettingsStore& store, const AppSettings& settings, WindowPlace current,
                        StartupShortcut& shortcut);

}  // namespace kovan
