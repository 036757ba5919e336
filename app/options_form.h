// The Options dialog: output folder and overwrite policy, prompts, and the
// per-format options the conversion driver hands to the converter. It reads
// the settings record when it opens and writes it back only on OK (the
// output folder chosen with "&Change" excepted, which holds at once).
// Nothing is written to the settings file here.
#pragma once

#include "platform/forms/forms.h"

class TPageControl;
class TTabSheet;
class TGroupBox;
class TRadioButton;
class TCheckBox;
class TEdit;
class TLabel;
class TButton;
class TComboBox;

class TFormOptions : public TForm {
  RTL_CLASS(TFormOptions, TForm)

 public:
  explicit TFormOptions(TComponent* AOwner) : TForm(AOwner) {}

  TPageControl* PageControl = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCannel = nullptr;

  TTabSheet* TabSheetConversions = nullptr;
  TRadioButton* RadioButtonOriginaldirectory = nullptr;
  TRadioButton* RadioButtonSelectdirectory = nullptr;
  TEdit* EditOutputDir = nullptr;
  TButton* btnChangeOutputDir = nullptr;
  TRadioButton* RadioButtonOverwritethefile = nullptr;
  TRadioButton* RadioButtonAppendnumber = nullptr;

  TTabSheet* TabSheetMisc = nullptr;
  TCheckBox* CheckBoxPromptRemove = nullptr;
  TCheckBox* CheckBoxPromptOpenOuput = nullptr;
  TCheckBox* CheckBoxPlayASoundWhenFinished = nullptr;

  TTabSheet* TabSheetWordOptions = nullptr;
  TRadioButton* RadioButtonWordAllPages = nullptr;
  TRadioButton* RadioButtonWordCustomRange = nullptr;
  TLabel* LabelWordfrompage = nullptr;
  TEdit* EditWordfrompage = nullptr;
  TLabel* LabelWordtopage = nullptr;
  TEdit* EditWordtopage = nullptr;
  TRadioButton* RadioButtonFlowing = nullptr;
  TRadioButton* RadioButtonContinuous = nullptr;
  TRadioButton* RadioButtonExact = nullptr;

  TTabSheet* TabSheetExcelOptions = nullptr;
  TRadioButton* RadioButtonExcelAllPages = nullptr;
  TRadioButton* RadioButtonExcelCustomRange = nullptr;
  TLabel* LabelExcelFrompage = nullptr;
  TEdit* EditExcelFrompage = nullptr;
  TLabel* LabelExcelTopage = nullptr;
  TEdit* EditExcelTopage = nullptr;
  TLabel* LabelExcelLeftIndent = nullptr;
  TEdit* EditExcelLeftIndent = nullptr;
  TLabel* LabelExcelTopIndent = nullptr;
  TEdit* EditExcelTopIndent = nullptr;
  TRadioButton* RadioButtonExcelWithFormatting = nullptr;
  TRadioButton* RadioButtonExcelWithoutFormatting = nullptr;
  TCheckBox* CheckBoxExcelPutAllPages = nullptr;
  TLabel* LabelExcelSpacing = nullptr;
  TEdit* EditExcelSpacing = nullptr;

  TTabSheet* TabSheetHTMLOptions = nullptr;
  TRadioButton* RadioButtonHTMLAllPages = nullptr;
  TRadioButton* RadioButtonHTMLCustomRange = nullptr;
  TLabel* LabelHTMLFrompage = nullptr;
  TEdit* EditHTMLFrompage = nullptr;
  TLabel* LabelHTMLToPage = nullptr;
  TEdit* EditHTMLToPage = nullptr;
  TCheckBox* CheckBoxHTMLPreserveImages = nullptr;
  TRadioButton* RadioButtonHTMLIncludeImage = nullptr;
  TRadioButton* RadioButtonSaveimages = nullptr;
  TLabel* LabelHTMLQuality = nullptr;
  TEdit* EditHTMLQuality = nullptr;
  TRadioButton* RadioButtonTitleUseFileName = nullptr;
  TRadioButton* RadioButtonTitleCustom = nullptr;
  TEdit* EditTitleCustom = nullptr;

  TTabSheet* TabSheetImageOptions = nullptr;
  TComboBox* ComboBoxImageFormat = nullptr;
  TEdit* EditDPI = nullptr;
  TComboBox* ComboBoxColorDepth = nullptr;
  TComboBox* ComboBoxResizingMode = nullptr;
  TLabel* LabelResizeto = nullptr;
  TEdit* EditResizeto = nullptr;

  TTabSheet* TabSheetTIFFOptions = nullptr;
  TEdit* EditTIFFDPI = nullptr;
  TComboBox* ComboBoxTIFFColorDepth = nullptr;
  TComboBox* ComboBoxTIFFCompressionType = nullptr;

  // Every control from GlobalVars.
  void LoadFromSettings();
  // GlobalVars from every control, in the documented order. Checks every
  // number first: with one that is not a decimal 32-bit integer nothing
  // is stored and the answer is false.
  bool StoreToSettings();
  // The first numeric edit whose text is empty, not a decimal integer or
  // outside the signed 32-bit range; null when every one holds a number.
  TEdit* FirstInvalidNumber() const;
  // What the user calls the field: its label and its page.
  AnsiString FieldName(TEdit* Edit) const;

  void FormShow(TObject* Sender);
  void RadioButtonOriginaldirectoryClick(TObject* Sender);
  void RadioButtonWordAllPagesClick(TObject* Sender);
  void RadioButtonExcelAllPagesClick(TObject* Sender);
  void RadioButtonHTMLAllPagesClick(TObject* Sender);
  void CheckBoxExcelPutAllPagesClick(TObject* Sender);
  void CheckBoxHTMLPreserveImagesClick(TObject* Sender);
  void RadioButtonTitleUseFileNameClick(TObject* Sender);
  void ComboBoxResizingModeChange(TObject* Sender);
  // Both let backspace and the digits through and refuse anything else
  // with a beep.
  void EditWordfrompageKeyPress(TObject* Sender, char& Key);
  void EditWordtopageKeyPress(TObject* Sender, char& Key);
  void btnChangeOutputDirClick(TObject* Sender);

  // OK closes only when every number can be stored and the output folder
  // can be kept in the settings file; otherwise the user is told which
  // field is wrong and it gets the focus.
  bool CloseQuery() override;

 protected:
  void ReadDescription() override;

 private:
  // Shows the field's page and focuses the field when it can take the
  // focus.
  void FocusField(TWinControl* Field);
};

// Whether the text is a decimal integer in the signed 32-bit range (an
// optional sign, then digits and nothing else); its value in `value`.
bool ParseDecimalInteger(const AnsiString& text, Integer& value);

// What the Options command leaves: whether OK closed the dialog, and then
// the image command's new caption and hint.
struct TOptionsDialogResult {
  bool Accepted = false;
  AnsiString ImageCaption;
  AnsiString ImageHint;
};

// The Options command: the dialog owned by and centred over the main
// window, loaded from GlobalVars, shown modally and stored back on OK.
TOptionsDialogResult ShowOptionsDialog(TCustomForm* Owner);
