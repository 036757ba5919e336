// What the form and application files share.
#pragma once

#include <vector>

#include "platform/win/windef.h"

namespace rtl::detail {

// Disables every visible, enabled top-level window of the thread (a modal
// loop or a message box runs); answers them to enable again afterwards.
std::vector<HWND> DisableTaskWindows();
void EnableTaskWindows(const std::vector<HWND>& Windows);

// A key message while a drag runs: Esc cancels the drag (answers true:
// the key is used up).
bool DragKeyMessage(UINT Msg, WPARAM WParam);

}  // namespace rtl::detail
