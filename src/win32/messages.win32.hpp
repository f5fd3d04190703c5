// The program's private window messages and timer ids, in one list so no two
// windows pick the same number by accident.
#pragma once

#include <windows.h>

namespace kovan::msg_id {

// Sent by a second copy to the first copy's application window: show the panel.
constexpr UINT kShowMainWindow = WM_APP + 1;
// The start's version check finished: wParam 1 and lParam the number, or wParam 0.
constexpr UINT kVersionCheckDone = WM_APP + 2;
// Posted by the main window's first paint: check the pool's files now.
constexpr UINT kFirstShown = WM_APP + 3;

// Moves a window as if its caption were dragged (SC_MOVE | HTCAPTION).
constexpr WPARAM kDragMoveCommand = 0xF012;

// Timers.
constexpr UINT_PTR kHintHideTimer = 1;
constexpr UINT_PTR kCreditsScrollTimer = 2;

}  // namespace kovan::msg_id
