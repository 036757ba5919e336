// The completion dialog: the batch is complete; open the output folder?
// After rows failed it says so first, under a warning icon.
// Made for each use with the main window as owner. "&Open output folder"
// answers mrOk, "&Cancel" mrCancel; the check box switches the question
// off at every click, whatever the answer.
#pragma once

#include "platform/forms/forms.h"

class TImage;
class TLabel;
class TCheckBox;
class TButton;

class TFormOpenOutputConfirmation : public TForm {
  RTL_CLASS(TFormOpenOutputConfirmation, TForm)

 public:
  explicit TFormOpenOutputConfirmation(TComponent* AOwner) : TForm(AOwner) {}

  TImage* ImageIcon = nullptr;
  TLabel* LabelQuestion = nullptr;
  TCheckBox* CheckBoxDonotAskAgain = nullptr;
  TButton* ButtonOpen = nullptr;
  TButton* ButtonCancel = nullptr;

  void FormCreate(TObject* Sender);
  // GlobalVars.PromptOpenOuput := not the check box.
  void CheckBoxDonotAskAgainClick(TObject* Sender);

  // The batch left rows unconverted: the summary comes first, then the
  // question; the icon is a warning and the dialog grows to fit. Nothing
  // for an empty summary.
  void ShowFailures(const AnsiString& summary);
};

// The question of the completion dialog; the caption and the question
// after rows failed.
extern const char kOpenOutputQuestion[];
extern const char kFailedCaption[];
extern const char kFailedQuestion[];
