// A small library the driver loads into the program under test to read an
// open popup menu there: the system keeps a menu's items in the memory of the
// process that made it, so another process cannot ask for them. Besides
// reading, it makes a file drop as the shell delivers one.
#include "menu_probe.hpp"

#include <shlobj.h>

extern "C" __declspec(dllexport) DWORD WINAPI ReadOpenMenu(LPVOID parameter) {
  auto* block = static_cast<kovan::e2e::MenuProbeBlock*>(parameter);
  const int count = GetMenuItemCount(block->menu);
  block->count = count;
  if (count < 0) return 0;
  const int limit = count < 40 ? count : 40;
  for (int i = 0; i < limit; ++i) {
    kovan::e2e::ProbedMenuItem& item = block->items[i];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = item.text;
    info.cch = sizeof item.text / sizeof item.text[0];
    item.text[0] = L'\0';
    if (GetMenuItemInfoW(block->menu, static_cast<UINT>(i), TRUE, &info)) {
      item.state = info.fState;
      item.type = info.fType;
      item.hasSubmenu = info.hSubMenu != nullptr;
    }
    if (!GetMenuItemRect(nullptr, block->menu, static_cast<UINT>(i), &item.rect)) item.rect = RECT{};
  }
  block->count = limit;
  return 1;
}

extern "C" __declspec(dllexport) DWORD WINAPI DropFilesOnWindow(LPVOID parameter) {
  const auto* block = static_cast<const kovan::e2e::DropProbeBlock*>(parameter);
  if (block->count < 1 || block->count > 8) return 0;
  // DROPFILES, then each path with its terminating zero, then one more zero.
  SIZE_T bytes = sizeof(DROPFILES) + sizeof(wchar_t);
  for (int i = 0; i < block->count; ++i) bytes += (lstrlenW(block->paths[i]) + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!memory) return 0;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = block->point;
  drop->fNC = FALSE;
  drop->fWide = TRUE;
  auto* text = reinterpret_cast<wchar_t*>(drop + 1);
  for (int i = 0; i < block->count; ++i) {
    lstrcpyW(text, block->paths[i]);
    text += lstrlenW(block->paths[i]) + 1;
  }
  GlobalUnlock(memory);
  // The window frees the handle when it has read the drop.
  if (!PostMessageW(block->window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
    GlobalFree(memory);
    return 0;
  }
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
