#include "app/app_units.h"

#include "app/globals.h"
#include "platform/forms/forms.h"
#include "platform/rtl/units.h"
#include "platform/win/user/user.h"

namespace {

// The settings record's text is released at shut-down; nothing reads it
// after the main window has closed.
void FinalizeGlobals() { GlobalVars = TGlobalVars(); }

// Every control that shows the hand-point cursor shows the system's hand.
void InitializeMain() {
  if (Screen) Screen->SetCursors(crHandPoint, LoadCursorA(nullptr, IDC_HAND));
}

}  // namespace

void RegisterApplicationUnits(TUnitRegistry& Registry) {
  // UtilFuncs, Options, Progress, About and OpenOutputConfirmation have no
  // start-up or shut-down work.
  Registry.Register("Main", &InitializeMain, nullptr);
  Registry.Register("globals", nullptr, &FinalizeGlobals);
}

void RegisterApplicationUnits() { RegisterApplicationUnits(Units()); }
