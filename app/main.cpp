// The program: the units start, the product name comes from the branding
// file, the main window runs until it is closed (by the user, or by SIGTERM
// or SIGINT), the units shut down. A
// branding file or icon that cannot be read is reported and the program
// ends without a window.
#include "app/app_units.h"
#include "app/branding.h"
#include "app/end_signals.h"
#include "app/main_form.h"
#include "app/progress_form.h"
#include "grid/grid_units.h"
#include "platform/forms/icon.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/units.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "support/support_units.h"

int main(int argc, char** argv) {
  // Before any thread exists, so that only the watcher takes them.
  BlockEndSignals();
  SetCommandLine(argc, argv);
  RegisterFormsUnit();
  RegisterSupportUnits();
  RegisterGridUnits();
  RegisterApplicationUnits();
  InitializeUnits();
  // The application's questions and errors are the window system's
  // message boxes, over the active window.
  SetMessageBoxHandler([](const AnsiString& Text, const AnsiString& Caption, Integer Flags) {
    return static_cast<Integer>(MessageBoxA(GetActiveWindow(), Text.c_str(), Caption.c_str(), static_cast<UINT>(Flags)));
  });
  int ExitCode = 0;
  try {
    Application->SetTitle(ReadProductName(BrandingFilePath()));
    TIcon Icon;
    Icon.LoadFromFile(IncludeTrailingPathDelimiter(ExtractFilePath(ParamStr(0))) + "icon.ico");
    Application->SetIcon(&Icon);
    Application->Initialize();
    // The main window first: the first form made is the application's
    // main form. The progress window lives from here to the end and is
    // only shown and hidden.
    TFormMain* FormMain = nullptr;
    Application->CreateForm(FormMain);
    TProgressForm* ProgressForm = nullptr;
    Application->CreateForm(ProgressForm);
    FormMain->SetProgressForm(ProgressForm);
    CloseOnEndSignals(FormMain->Handle());
    Application->Run();
    CloseOnEndSignals(nullptr);
    // The window goes before the units: its folder finder holds the
    // support library's shared string handlers.
    FormMain->Free();
  } catch (Exception& E) {
    Application->ShowException(&E);
    ExitCode = 1;
  }
  FinalizeUnits();
  return ExitCode;
}
