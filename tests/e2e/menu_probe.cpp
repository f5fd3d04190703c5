// A small library the driver loads into the program under test to read an
// open popup menu there: the system keeps a menu's items in the memory of the
// process that made it, so another process cannot ask for them. It only reads.
#include "menu_probe.hpp"

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

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
