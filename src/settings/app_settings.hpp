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
  uint16_t Dil = 1055;             // the language in use; set by the settings window's creation
  bool Klasor = false;             // dropped folders are accepted
  bool Skontrol = true;            // the start's version check announces a newer version
  bool EPos = true;                // the main window reopens where it was
  bool EnUst = true;               // the main window stays above the others
  bool Acilis = true;              // the program starts with the system
  bool Trans = false;              // the main window is semi-transparent
  int32_t TransI = 255;            // transparency level (1 to 8 from the settings window)
  // The resource compiler: gorc, rc, llvm, windres or builtin; empty when
  // none is chosen (GoRC, or Kovan's own when GoRC is missing).
  std::string Derleyici;
  std::string Makine = "x86";  // the machine of .OBJ files: x86, x64 or arm64
};

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

// What the main window's creation reads. `Dil` of `settings` keeps its initial
// value: the settings window's creation fills it.
struct StartSettings {
  int32_t dil = 1055;  // the stored language, which chooses the start language
  AppSettings settings;
  WindowPlace place;  // the stored place when EPos is on, otherwise `centred`
};

// Reads Dil, Klasor, Skontrol, EPos, Ust and Sol (only when EPos is on), EnUst,
// Acilis, TransI, Trans, Derleyici and Makine, each with its default (also
// for a compiler or machine name Kovan does not know). Never fails.
StartSettings ReadStartSettings(const SettingsStore& store, WindowPlace centred);

// The close: writes Klasor, Skontrol, EPos, EnUst, Acilis (and brings the
// shortcut in line with it), Trans, Dil (zero-extended), TransI, Ust, Sol,
// Derleyici and Makine, in that order. The first failure (RegistryError, or the shortcut's error)
// propagates and leaves the values after it unwritten.
void WriteCloseSettings(SettingsStore& store, const AppSettings& settings, WindowPlace current,
                        StartupShortcut& shortcut);

}  // namespace kovan
