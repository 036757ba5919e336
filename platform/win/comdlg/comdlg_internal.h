// What the common dialogs share beyond the dialog frame: their last error,
// the checks of the caller's record, their frame's style and the shown
// hook their modal loop calls.
#pragma once

#include "platform/win/comdlg/commdlg.h"
#include "platform/win/user/dialog_frame.h"

namespace rtl::detail {

void SetCommDlgError(DWORD code);

// The checks every common dialog makes of the caller's record first: it
// is given, of its own size, and has what the dialog cannot do without
// (`complete`). Clears the last error; sets it and answers false when a
// check fails.
template <class Record, class Complete>
bool UsableRecord(const Record* record, Complete complete) {
  DWORD error = !record                                ? CDERR_INITIALIZATION
                : record->lStructSize != sizeof(Record) ? CDERR_STRUCTSIZE
                : !complete(*record)                     ? CDERR_INITIALIZATION
                                                         : 0;
  SetCommDlgError(error);
  return error == 0;
}

// A common dialog's frame: the close box, a sizing border when asked.
HWND CreateCommonDialog(DLGPROC proc, const AnsiString& title, HWND owner, int clientW, int clientH, bool sizable);

// Runs a common dialog modally (RunModalDialog) with the common dialogs'
// shown hook; `stateProp` holds the dialog's state.
bool RunCommonDialog(HWND dialog, HWND owner, HWND focus, LPCSTR stateProp, const bool& done);

}  // namespace rtl::detail
