// Services the application's windows share: opening a document, folder or
// link through the desktop, the folder browser with a preselected start
// folder, and a nesting busy cursor for work that blocks the user-interface
// thread.
#pragma once

#include "platform/win/kernel/windef.h"

// Asks the desktop to open the document, folder or link; the answer is not
// examined.
void ShellOpen(const AnsiString& path);

// Shows the folder browser at the start folder given in `folder`. True with
// the chosen folder's path in `folder` when the user confirms a folder;
// false otherwise, `folder` unchanged. A folder whose path holds a line
// break cannot be stored in the settings file: it is refused with a
// message and counts as cancelled. `root`, when not empty, limits the tree
// to that folder. The application passes `flags` 65: file-system folders
// only (1) and the sizable new dialog style (0x40).
bool BrowseForFolder(HWND owner, AnsiString& folder, const AnsiString& prompt, Integer flags, const AnsiString& root);

// Callers pair them around the guarded work, and call EndBusy also when the
// work fails. BeginBusy shows the hour-glass at every call; the default
// cursor comes back when as many EndBusy calls have followed. An EndBusy
// without a BeginBusy does nothing.
void BeginBusy();
void EndBusy();
