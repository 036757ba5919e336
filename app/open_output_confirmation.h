// The completion dialog: the batch is complete; open the output folder?
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

  // Adds a line under the question (the count of files that could not be
  // converted), growing the dialog so that it fits.
  void AddLine(const AnsiString& line);
};

// The question of the completion dialog.
extern const char kOpenOutputQuestion[];
