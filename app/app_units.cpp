#include "app/app_units.h"

#include "app/globals.h"
#include "platform/rtl/units.h"

namespace {

// The settings record's text is released at shut-down; nothing reads it
// after the main window has closed.
void FinalizeGlobals() { GlobalVars = TGlobalVars(); }

}  // namespace

void RegisterApplicationUnits() {
  // UtilFuncs, Options, Progress, About and OpenOutputConfirmation have no
  // start-up or shut-down work. Main's start-up (the hand cursor) joins
  // this list with the main window.
  RegisterUnit("globals", nullptr, &FinalizeGlobals);
}
