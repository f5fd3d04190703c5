// The block the driver and its probe share when the probe reads an open menu
// inside the program under test. It crosses process memory as raw bytes, so
// it holds only plain values.
#pragma once

#include <windows.h>

namespace kovan::e2e {

struct ProbedMenuItem {
  wchar_t text[128];
  RECT rect;   // on the screen
  UINT state;  // MFS_*
  UINT type;   // MFT_*
  BOOL hasSubmenu;
};

struct MenuProbeBlock {
  HMENU menu;  // in: the menu of an open menu window
  int count;   // out: its items, or -1 when the menu could not be read
  ProbedMenuItem items[40];
};

}  // namespace kovan::e2e
