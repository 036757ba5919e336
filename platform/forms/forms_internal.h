// What the form and application files share.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/win/kernel/windef.h"

namespace rtl::detail {

// Disables every visible, enabled top-level window of the thread (a modal
// loop or a message box runs); answers them to enable again afterwards.
std::vector<HWND> DisableTaskWindows();
void EnableTaskWindows(const std::vector<HWND>& Windows);
// Activates the window again after a modal run; when the focus is nowhere
// or on the window itself, the window inside it that had the focus before
// the run (FocusBefore) gets it back.
void ReactivateAfterModal(HWND Window, HWND FocusBefore);

// A key message while a drag runs: Esc cancels the drag (answers true:
// the key is used up).
bool DragKeyMessage(UINT Msg, WPARAM WParam);

// The first item after `Current` (before it when going back) that `Take`
// accepts, going round the list once; with `Current` not in the list the
// search starts at the list's first (last) item. Null when none.
template <class T, class F>
T* FindCyclic(const std::vector<T*>& List, const T* Current, bool GoForward, F Take) {
  const size_t Count = List.size();
  if (Count == 0) return nullptr;
  auto It = std::find(List.begin(), List.end(), Current);
  const size_t Start = It == List.end() ? (GoForward ? Count - 1 : 0) : static_cast<size_t>(It - List.begin());
  size_t I = Start;
  do {
    I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
    if (Take(List[I])) return List[I];
  } while (I != Start);
  return nullptr;
}

}  // namespace rtl::detail
