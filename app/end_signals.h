// SIGTERM (the session ending, or kill) and SIGINT (Ctrl+C in a terminal)
// close the main window as its close box would, so that the settings are
// saved and a running conversion is ended, instead of ending the program
// on the spot.
#pragma once

#include "platform/win/kernel/windef.h"

// Holds both signals back from every thread made after the call: call it
// first in main, before anything starts a thread. A child process starts
// with no signal held.
void BlockEndSignals();

// From now on each of the signals posts WM_CLOSE to the window; with a
// null window a signal waits for the next window given. A thread of its own waits for them, made at the
// first call.
void CloseOnEndSignals(HWND Window);
