// What the form and application files share.
#pragma once

#include <vector>

#include "platform/win/windef.h"

namespace rtl::detail {

// Disables every visible, enabled top-level window of the thread (a modal
// loop or a message box runs); answers them to enable again afterwards.
std::vector<HWND> DisableTaskWindows();
void EnableTaskWindows(const std::vector<HWND>& Windows);

}  // namespace rtl::detail
