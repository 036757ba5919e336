// The progress window of a batch: which file is being converted, how far
// the batch is, and Cancel. Made once at start-up and only shown and
// hidden; the user cannot close it other than by Cancel.
#pragma once

#include "platform/forms/forms.h"

class TImage;
class TLabel;
class TProgressBar;
class TButton;

class TProgressForm : public TForm {
  RTL_CLASS(TProgressForm, TForm)

 public:
  explicit TProgressForm(TComponent* AOwner) : TForm(AOwner) {}

  TImage* ImageIcon = nullptr;
  TLabel* LabelConverting = nullptr;
  TLabel* LabelConvertInfo = nullptr;
  TProgressBar* ProgressBar = nullptr;
  TButton* ButtonStop = nullptr;

  // What Cancel does; the conversion driver sets it.
  TNotifyEvent OnStop;

  // Shows which file is converted into which. Paths too long for the
  // label lose the middle of their folders, never their file names.
  void ShowConvertInfo(const AnsiString& input, const AnsiString& output);

  void FormCreate(TObject* Sender);
  void ButtonStopClick(TObject* Sender);
  // Closing is refused: the batch goes on behind a closed window, with the
  // main window disabled. The driver hides the window itself.
  bool CloseQuery() override;
};

// The text of the progress window's information line.
AnsiString ConvertInfoText(const AnsiString& input, const AnsiString& output);
