#include "app/about_form.h"

#include "app/dialog_scaling.h"
#include "app/globals.h"
#include "app/util_funcs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/icon.h"
#include "platform/forms/picture.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/sysutils.h"

RTL_IMPLEMENT_PUBLISHED(TFormAbout,
                        RTL_FIELD(ImageIcon),
                        RTL_FIELD(LabelAppName),
                        RTL_FIELD(LabelVersion),
                        RTL_FIELD(LabelCopyRight),
                        RTL_FIELD(LabelWarning),
                        RTL_FIELD(LabelWeb),
                        RTL_FIELD(ButtonOK),
                        RTL_HANDLER(FormCreate),
                        RTL_HANDLER(ButtonOKClick),
                        RTL_HANDLER(LabelWebClick))

namespace {

TAboutClock& Clock() {
  static TAboutClock clock;
  return clock;
}

TDateTime Today() { return Clock() ? Clock()() : Now(); }

// An empty address is no address: the desktop is not asked at all.
void OpenLink(const AnsiString& Link) {
  if (!Link.empty()) ShellOpen(Link);
}

}  // namespace

void SetAboutClock(TAboutClock Clock_) { Clock() = std::move(Clock_); }

void TFormAbout::ReadDescription() {
  TForm::ReadDescription();
  ScaleDialogToScreen(this);
}

void TFormAbout::FormCreate(TObject*) {
  const TGlobalVars& g = GlobalVars;
  const AnsiString Title = Application->Title();
  // The branding texts are arguments, never formats: a "%" in them shows
  // as it is.
  SetCaption(Format(Caption(), {Title}));
  if (Application->Icon() && !Application->Icon()->Empty()) ImageIcon->Picture()->SetIcon(Application->Icon());
  const Integer Year = YearOf(Today());
  LabelAppName->SetCaption(Title);
  LabelWeb->SetCaption(g.HelpHomePageLink);
  LabelVersion->SetCaption(Format(LabelVersion->Caption(), {g.Version}));
  LabelCopyRight->SetCaption(Format(LabelCopyRight->Caption(), {Year, g.Copyright}));
}

void TFormAbout::ButtonOKClick(TObject*) { SetModalResult(mrOk); }

void TFormAbout::LabelWebClick(TObject*) { OpenLink(GlobalVars.HelpHomePageLink); }

void ShowAboutDialog(TCustomForm* Owner) {
  auto* Dialog = TCustomForm::Create<TFormAbout>(Owner);
  TScopeExit Free([&] { Dialog->Free(); });
  Dialog->ShowModal();
}

void OpenHelpContent(const TGlobalVars& Branding) { OpenLink(Branding.HelpContectLink); }
void OpenHomePage(const TGlobalVars& Branding) { OpenLink(Branding.HelpHomePageLink); }
void OpenCheckForUpdates(const TGlobalVars& Branding) { OpenLink(Branding.HelpCheckForUpdatesLink); }
void OpenContactSupport(const TGlobalVars& Branding) { OpenLink(Branding.HelpSupportLink); }
void OpenMoreFreeTools(const TGlobalVars& Branding) { OpenLink(Branding.HelpMoreFreeToolsLink); }
