// Giving the keyboard back after a modal run (a common dialog, a message
// box): the window system activates the owner when the modal window goes,
// while the owner is still disabled, so the focus lands on the top-level
// window and its form forgets its active control. The window that had the
// focus before the run gets it back.
#include "platform/forms/forms_internal.h"
#include "platform/win/user/user.h"

namespace rtl::detail {

void ReactivateAfterModal(HWND Window, HWND FocusBefore) {
  if (!Window || !IsWindow(Window)) return;
  SetActiveWindow(Window);
  const HWND Focus = GetFocus();
  if (Focus && Focus != Window) return;
  if (!FocusBefore || FocusBefore == Window || !IsWindow(FocusBefore)) return;
  if (GetAncestor(FocusBefore, GA_ROOT) != Window) return;
  if (!IsWindowVisible(FocusBefore) || !IsWindowEnabled(FocusBefore)) return;
  SetFocus(FocusBefore);
}

}  // namespace rtl::detail
