// The program's private window messages and timer ids, in one list so no two
// windows pick the same number by accident.
#pragma once

#include <windows.h>

namespace kovan::window_ids {

// Sent by a second copy to the first copy's application window: show the panel.
constexpr UINT kShowMainWindow = WM_APP + 1;
// The start's version check finished: wParam 1 and lParam the number, or wParam 0.
constexpr UINT kVersionCheckDone = WM_APP + 2;
// Posted by the main window's first paint: check the pool's files now.
constexpr UINT kFirstShown = WM_APP + 3;
// Posted by the parameter tree to itself after its rows changed: set the
// scroll bars once for however many changes came before it.
constexpr UINT kTreeRowsChanged = WM_APP + 4;

// Timers.
constexpr UINT_PTR kHintHideTimer = 1;
constexpr UINT_PTR kCreditsScrollTimer = 2;

}  // namespace kovan::window_ids
