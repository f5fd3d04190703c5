// The blocks the driver and its probe share when the probe reads an open menu
// or makes a drop inside the program under test. They cross process memory as
// raw bytes, so they hold only plain values.
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

// A drop of files from the shell onto a window that accepts them: the system
// hands such a window a drop handle made in its own process, so the probe
// makes the handle there and posts the message, as the shell's drop does.
struct DropProbeBlock {
  HWND window;  // in: the window that accepts files
  POINT point;  // in: the drop point in its client area
  int count;    // in: the paths
  wchar_t paths[8][MAX_PATH];
};

}  // namespace kovan::e2e
