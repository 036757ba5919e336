// The About dialog and the Help tab's link commands. Every text they show
// or open comes from the branding values in the settings record, so that
// each packaged product shows its own name, version, holder and
// addresses.
#pragma once

#include <functional>

#include "platform/forms/forms.h"

class TImage;
class TLabel;
class TButton;
struct TGlobalVars;

class TFormAbout : public TForm {
  RTL_CLASS(TFormAbout, TForm)

 public:
  explicit TFormAbout(TComponent* AOwner) : TForm(AOwner) {}

  TImage* ImageIcon = nullptr;
  TLabel* LabelAppName = nullptr;
  TLabel* LabelVersion = nullptr;
  TLabel* LabelCopyRight = nullptr;
  TLabel* LabelWarning = nullptr;
  TLabel* LabelWeb = nullptr;
  TButton* ButtonOK = nullptr;

  // Fills the caption and the labels in from the application's title and
  // the branding values; the description's texts are the formats.
  void FormCreate(TObject* Sender);
  void ButtonOKClick(TObject* Sender);
  // Opens the home page (nothing when there is none).
  void LabelWebClick(TObject* Sender);

 protected:
  void ReadDescription() override;
};

// Where the About dialog takes the current date from; null goes back to
// the system clock (tests set a fixed date).
using TAboutClock = std::function<TDateTime()>;
void SetAboutClock(TAboutClock Clock);

// The About command: the dialog owned by (and centred over) the main
// window, shown modally and freed.
void ShowAboutDialog(TCustomForm* Owner);

// The Help tab's link commands: each opens its branding address through
// the desktop; an empty address opens nothing.
void OpenHelpContent(const TGlobalVars& Branding);
void OpenHomePage(const TGlobalVars& Branding);
void OpenCheckForUpdates(const TGlobalVars& Branding);
void OpenContactSupport(const TGlobalVars& Branding);
void OpenMoreFreeTools(const TGlobalVars& Branding);
