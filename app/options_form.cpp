#include "app/options_form.h"

#include <cstdint>

#include "app/dialog_scaling.h"
#include "app/globals.h"
#include "app/util_funcs.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/standard_classes.h"

RTL_IMPLEMENT_PUBLISHED(TFormOptions,
                        RTL_FIELD(PageControl),
                        RTL_FIELD(btnOK),
                        RTL_FIELD(btnCannel),
                        RTL_FIELD(TabSheetConversions),
                        RTL_FIELD(RadioButtonOriginaldirectory),
                        RTL_FIELD(RadioButtonSelectdirectory),
                        RTL_FIELD(EditOutputDir),
                        RTL_FIELD(btnChangeOutputDir),
                        RTL_FIELD(RadioButtonOverwritethefile),
                        RTL_FIELD(RadioButtonAppendnumber),
                        RTL_FIELD(TabSheetMisc),
                        RTL_FIELD(CheckBoxPromptRemove),
                        RTL_FIELD(CheckBoxPromptOpenOuput),
                        RTL_FIELD(CheckBoxPlayASoundWhenFinished),
                        RTL_FIELD(TabSheetWordOptions),
                        RTL_FIELD(RadioButtonWordAllPages),
                        RTL_FIELD(RadioButtonWordCustomRange),
                        RTL_FIELD(LabelWordfrompage),
                        RTL_FIELD(EditWordfrompage),
                        RTL_FIELD(LabelWordtopage),
                        RTL_FIELD(EditWordtopage),
                        RTL_FIELD(RadioButtonFlowing),
                        RTL_FIELD(RadioButtonContinuous),
                        RTL_FIELD(RadioButtonExact),
                        RTL_FIELD(TabSheetExcelOptions),
                        RTL_FIELD(RadioButtonExcelAllPages),
                        RTL_FIELD(RadioButtonExcelCustomRange),
                        RTL_FIELD(LabelExcelFrompage),
                        RTL_FIELD(EditExcelFrompage),
                        RTL_FIELD(LabelExcelTopage),
                        RTL_FIELD(EditExcelTopage),
                        RTL_FIELD(LabelExcelLeftIndent),
                        RTL_FIELD(EditExcelLeftIndent),
                        RTL_FIELD(LabelExcelTopIndent),
                        RTL_FIELD(EditExcelTopIndent),
                        RTL_FIELD(RadioButtonExcelWithFormatting),
                        RTL_FIELD(RadioButtonExcelWithoutFormatting),
                        RTL_FIELD(CheckBoxExcelPutAllPages),
                        RTL_FIELD(LabelExcelSpacing),
                        RTL_FIELD(EditExcelSpacing),
                        RTL_FIELD(TabSheetHTMLOptions),
                        RTL_FIELD(RadioButtonHTMLAllPages),
                        RTL_FIELD(RadioButtonHTMLCustomRange),
                        RTL_FIELD(LabelHTMLFrompage),
                        RTL_FIELD(EditHTMLFrompage),
                        RTL_FIELD(LabelHTMLToPage),
                        RTL_FIELD(EditHTMLToPage),
                        RTL_FIELD(CheckBoxHTMLPreserveImages),
                        RTL_FIELD(RadioButtonHTMLIncludeImage),
                        RTL_FIELD(RadioButtonSaveimages),
                        RTL_FIELD(LabelHTMLQuality),
                        RTL_FIELD(EditHTMLQuality),
                        RTL_FIELD(RadioButtonTitleUseFileName),
                        RTL_FIELD(RadioButtonTitleCustom),
                        RTL_FIELD(EditTitleCustom),
                        RTL_FIELD(TabSheetImageOptions),
                        RTL_FIELD(ComboBoxImageFormat),
                        RTL_FIELD(EditDPI),
                        RTL_FIELD(ComboBoxColorDepth),
                        RTL_FIELD(ComboBoxResizingMode),
                        RTL_FIELD(LabelResizeto),
                        RTL_FIELD(EditResizeto),
                        RTL_FIELD(TabSheetTIFFOptions),
                        RTL_FIELD(EditTIFFDPI),
                        RTL_FIELD(ComboBoxTIFFColorDepth),
                        RTL_FIELD(ComboBoxTIFFCompressionType),
                        RTL_HANDLER(FormShow),
                        RTL_HANDLER(RadioButtonOriginaldirectoryClick),
                        RTL_HANDLER(RadioButtonWordAllPagesClick),
                        RTL_HANDLER(RadioButtonExcelAllPagesClick),
                        RTL_HANDLER(RadioButtonHTMLAllPagesClick),
                        RTL_HANDLER(CheckBoxExcelPutAllPagesClick),
                        RTL_HANDLER(CheckBoxHTMLPreserveImagesClick),
                        RTL_HANDLER(RadioButtonTitleUseFileNameClick),
                        RTL_HANDLER(ComboBoxResizingModeChange),
                        RTL_HANDLER(EditWordfrompageKeyPress),
                        RTL_HANDLER(EditWordtopageKeyPress),
                        RTL_HANDLER(btnChangeOutputDirClick))

namespace {

AnsiString Decimal(Integer v) { return IntToStr(v); }

// The stored text's entry of a selection list, compared without regard to
// case; -1 when none is equal.
Integer EntryOf(TComboBox* List, const AnsiString& Text) {
  TStrings* Items = List->Items();
  for (Integer i = 0; i < Items->Count(); ++i)
    if (SameText(Items->Get(i), Text)) return i;
  return -1;
}

// The shown entry's text; empty without a selection.
AnsiString ShownText(TComboBox* List) {
  const Integer i = List->ItemIndex();
  return i < 0 ? AnsiString() : List->Items()->Get(i);
}

// Checks the radio of the group whose value equals the text exactly; with
// no match the group keeps what it shows.
void CheckByValue(std::initializer_list<std::pair<TRadioButton*, const char*>> Group, const AnsiString& Value) {
  for (const auto& [Radio, Text] : Group)
    if (Value == Text) {
      for (const auto& [Other, OtherText] : Group) Other->SetChecked(Other == Radio);
      return;
    }
}

// The value of the group's checked radio; empty when none is checked.
AnsiString CheckedValue(std::initializer_list<std::pair<TRadioButton*, const char*>> Group) {
  for (const auto& [Radio, Text] : Group)
    if (Radio->Checked()) return Text;
  return AnsiString();
}

bool HoldsLineBreak(const AnsiString& s) { return s.find_first_of("\r\n") != AnsiString::npos; }

void RefuseBox(const AnsiString& Text) {
  Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONWARNING);
}

}  // namespace

bool ParseDecimalInteger(const AnsiString& text, Integer& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    // Past the range already: stop before the sum can overflow.
    if (v > int64_t(INT32_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<Integer>(v);
  return true;
}

void TFormOptions::ReadDescription() {
  TForm::ReadDescription();
  ScaleDialogToScreen(this);
}

void TFormOptions::LoadFromSettings() {
  const TGlobalVars& g = GlobalVars;
  RadioButtonOriginaldirectory->SetChecked(g.OutputSameAsInput);
  RadioButtonSelectdirectory->SetChecked(!g.OutputSameAsInput);
  EditOutputDir->SetText(g.OutputFolder);
  RadioButtonOverwritethefile->SetChecked(g.OverwriteFile);
  RadioButtonAppendnumber->SetChecked(!g.OverwriteFile);

  CheckBoxPromptRemove->SetChecked(g.PromptRemove);
  CheckBoxPromptOpenOuput->SetChecked(g.PromptOpenOuput);
  CheckBoxPlayASoundWhenFinished->SetChecked(g.PlayASoundWhenFinished);

  RadioButtonWordAllPages->SetChecked(g.WordAllPages);
  RadioButtonWordCustomRange->SetChecked(!g.WordAllPages);
  EditWordfrompage->SetText(Decimal(g.WordFromPage));
  EditWordtopage->SetText(Decimal(g.WordToPage));
  CheckByValue({{RadioButtonFlowing, "Flowing"}, {RadioButtonContinuous, "Continuous"}, {RadioButtonExact, "Exact"}},
               g.WordRenderMode);

  RadioButtonExcelAllPages->SetChecked(g.ExcelAllPages);
  RadioButtonExcelCustomRange->SetChecked(!g.ExcelAllPages);
  EditExcelFrompage->SetText(Decimal(g.ExcelFromPage));
  EditExcelTopage->SetText(Decimal(g.ExcelToPage));
  EditExcelLeftIndent->SetText(Decimal(g.ExcelLeftIndent));
  EditExcelTopIndent->SetText(Decimal(g.ExcelTopIndent));
  CheckByValue({{RadioButtonExcelWithFormatting, "WithFormatting"},
                {RadioButtonExcelWithoutFormatting, "WithoutFormatting"}},
               g.ExcelRenderMode);
  CheckBoxExcelPutAllPages->SetChecked(g.ExcelPutAllToSign);
  EditExcelSpacing->SetText(Decimal(g.ExcelSpacing));

  RadioButtonHTMLAllPages->SetChecked(g.HTMLAllPages);
  RadioButtonHTMLCustomRange->SetChecked(!g.HTMLAllPages);
  EditHTMLFrompage->SetText(Decimal(g.HTMLFromPage));
  EditHTMLToPage->SetText(Decimal(g.HTMLToPage));
  CheckBoxHTMLPreserveImages->SetChecked(g.HTMLPreserveImages);
  RadioButtonHTMLIncludeImage->SetChecked(g.HTMLIncludeImage);
  RadioButtonSaveimages->SetChecked(!g.HTMLIncludeImage);
  EditHTMLQuality->SetText(Decimal(g.HTMLQuality));
  RadioButtonTitleUseFileName->SetChecked(g.HTMLTitleUseFileName);
  RadioButtonTitleCustom->SetChecked(!g.HTMLTitleUseFileName);
  EditTitleCustom->SetText(g.HTMLTitleCustom);

  ComboBoxImageFormat->SetItemIndex(EntryOf(ComboBoxImageFormat, g.ImageFormat));
  EditDPI->SetText(Decimal(g.ImageDPI));
  ComboBoxColorDepth->SetItemIndex(EntryOf(ComboBoxColorDepth, g.ImageColorDepth));
  ComboBoxResizingMode->SetItemIndex(EntryOf(ComboBoxResizingMode, g.ImageResizingMode));
  EditResizeto->SetText(Decimal(g.ImageResizeTo));

  EditTIFFDPI->SetText(Decimal(g.TIFFDPI));
  ComboBoxTIFFColorDepth->SetItemIndex(EntryOf(ComboBoxTIFFColorDepth, g.TIFFColorDepth));
  ComboBoxTIFFCompressionType->SetItemIndex(EntryOf(ComboBoxTIFFCompressionType, g.TIFFCompressType));
}

TEdit* TFormOptions::FirstInvalidNumber() const {
  // In the order the record is stored, so that the user meets the first
  // wrong field first.
  for (TEdit* E : {EditWordfrompage, EditWordtopage, EditExcelFrompage, EditExcelTopage, EditExcelLeftIndent,
                   EditExcelTopIndent, EditExcelSpacing, EditHTMLFrompage, EditHTMLToPage, EditHTMLQuality, EditDPI,
                   EditResizeto, EditTIFFDPI}) {
    Integer Value = 0;
    if (!ParseDecimalInteger(E->Text(), Value)) return E;
  }
  return nullptr;
}

bool TFormOptions::StoreToSettings() {
  if (FirstInvalidNumber()) return false;
  auto Number = [](TEdit* E) {
    Integer Value = 0;
    ParseDecimalInteger(E->Text(), Value);
    return Value;
  };
  TGlobalVars& g = GlobalVars;
  g.OutputSameAsInput = RadioButtonOriginaldirectory->Checked();
  g.OutputFolder = EditOutputDir->Text();
  g.OverwriteFile = RadioButtonOverwritethefile->Checked();
  g.PromptRemove = CheckBoxPromptRemove->Checked();
  g.PromptOpenOuput = CheckBoxPromptOpenOuput->Checked();
  g.PlayASoundWhenFinished = CheckBoxPlayASoundWhenFinished->Checked();
  g.WordAllPages = RadioButtonWordAllPages->Checked();
  g.WordFromPage = Number(EditWordfrompage);
  g.WordToPage = Number(EditWordtopage);
  g.WordRenderMode = CheckedValue(
      {{RadioButtonFlowing, "Flowing"}, {RadioButtonContinuous, "Continuous"}, {RadioButtonExact, "Exact"}});
  g.ExcelAllPages = RadioButtonExcelAllPages->Checked();
  g.ExcelFromPage = Number(EditExcelFrompage);
  g.ExcelToPage = Number(EditExcelTopage);
  g.ExcelLeftIndent = Number(EditExcelLeftIndent);
  g.ExcelTopIndent = Number(EditExcelTopIndent);
  g.ExcelRenderMode = CheckedValue({{RadioButtonExcelWithFormatting, "WithFormatting"},
                                    {RadioButtonExcelWithoutFormatting, "WithoutFormatting"}});
  g.ExcelPutAllToSign = CheckBoxExcelPutAllPages->Checked();
  g.ExcelSpacing = Number(EditExcelSpacing);
  g.HTMLAllPages = RadioButtonHTMLAllPages->Checked();
  g.HTMLFromPage = Number(EditHTMLFrompage);
  g.HTMLToPage = Number(EditHTMLToPage);
  g.HTMLPreserveImages = CheckBoxHTMLPreserveImages->Checked();
  g.HTMLIncludeImage = RadioButtonHTMLIncludeImage->Checked();
  g.HTMLQuality = Number(EditHTMLQuality);
  g.HTMLTitleUseFileName = RadioButtonTitleUseFileName->Checked();
  g.HTMLTitleCustom = EditTitleCustom->Text();
  g.ImageFormat = ShownText(ComboBoxImageFormat);
  g.ImageDPI = Number(EditDPI);
  g.ImageColorDepth = ShownText(ComboBoxColorDepth);
  g.ImageResizingMode = ShownText(ComboBoxResizingMode);
  g.ImageResizeTo = Number(EditResizeto);
  g.TIFFDPI = Number(EditTIFFDPI);
  g.TIFFColorDepth = ShownText(ComboBoxTIFFColorDepth);
  g.TIFFCompressType = ShownText(ComboBoxTIFFCompressionType);
  return true;
}

AnsiString TFormOptions::FieldName(TEdit* Edit) const {
  // The label that names the edit, without its colon; the quality's and
  // the pages' labels are the edits' focus controls like the others.
  AnsiString Name;
  for (Integer i = 0; i < ComponentCount(); ++i)
    if (auto* L = dynamic_cast<TLabel*>(Components(i)); L && L->FocusControl() == Edit) Name = Trim(L->Caption());
  while (!Name.empty() && (Name.back() == ':' || Name.back() == ' ')) Name.pop_back();
  AnsiString Page;
  for (TWinControl* P = Edit->Parent(); P; P = P->Parent())
    if (auto* Sheet = dynamic_cast<TTabSheet*>(P)) {
      Page = Sheet->Caption();
      break;
    }
  return "\"" + Name + "\" on the \"" + Page + "\" page";
}

void TFormOptions::FocusField(TWinControl* Field) {
  for (TWinControl* P = Field->Parent(); P; P = P->Parent())
    if (auto* Sheet = dynamic_cast<TTabSheet*>(P)) {
      if (Sheet->TabVisible()) PageControl->SetActivePage(Sheet);
      break;
    }
  if (Field->CanFocus()) FocusControl(Field);
}

bool TFormOptions::CloseQuery() {
  if (!TForm::CloseQuery()) return false;
  if (ModalResult() != mrOk) return true;
  if (TEdit* Bad = FirstInvalidNumber()) {
    const AnsiString Text = "The value of " + FieldName(Bad) + " must be a whole number from -2147483648 to " +
                            "2147483647.\n\n\"" + Bad->Text() + "\" is not. Nothing has been changed.";
    FocusField(Bad);
    RefuseBox(Text);
    return false;
  }
  // Every output would land in the root folder ("/report.doc").
  if (RadioButtonSelectdirectory->Checked() && Trim(EditOutputDir->Text()).empty()) {
    FocusField(btnChangeOutputDir);
    RefuseBox("No output folder is selected.\n\nPlease choose a folder with \"Change\", or choose \"Original "
              "directory\". Nothing has been changed.");
    return false;
  }
  // A folder name with a line break cannot be kept in the settings file.
  if (HoldsLineBreak(EditOutputDir->Text())) {
    FocusField(EditOutputDir->Enabled() ? static_cast<TWinControl*>(btnChangeOutputDir)
                                        : static_cast<TWinControl*>(RadioButtonOriginaldirectory));
    RefuseBox("The output folder cannot be used because its name contains a line break.\n\n"
              "Please choose another folder. Nothing has been changed.");
    return false;
  }
  return true;
}

void TFormOptions::FormShow(TObject*) {
  const TGlobalVars& g = GlobalVars;
  TabSheetWordOptions->SetTabVisible(g.ToWord);
  TabSheetExcelOptions->SetTabVisible(g.ToExcel);
  TabSheetHTMLOptions->SetTabVisible(g.ToHTML);
  TabSheetImageOptions->SetTabVisible(g.ToImage);
  TabSheetTIFFOptions->SetTabVisible(g.ToTIFF);
  RadioButtonOriginaldirectoryClick(this);
  RadioButtonWordAllPagesClick(this);
  RadioButtonExcelAllPagesClick(this);
  CheckBoxExcelPutAllPagesClick(this);
  RadioButtonHTMLAllPagesClick(this);
  CheckBoxHTMLPreserveImagesClick(this);
  RadioButtonTitleUseFileNameClick(this);
  ComboBoxResizingModeChange(this);
}

void TFormOptions::RadioButtonOriginaldirectoryClick(TObject*) {
  const bool Select = RadioButtonSelectdirectory->Checked();
  EditOutputDir->SetEnabled(Select);
  btnChangeOutputDir->SetEnabled(Select);
}

namespace {
void EnableRange(TRadioButton* AllPages, std::initializer_list<TControl*> Range) {
  for (TControl* C : Range) C->SetEnabled(!AllPages->Checked());
}
}  // namespace

void TFormOptions::RadioButtonWordAllPagesClick(TObject*) {
  EnableRange(RadioButtonWordAllPages, {LabelWordfrompage, EditWordfrompage, LabelWordtopage, EditWordtopage});
}

void TFormOptions::RadioButtonExcelAllPagesClick(TObject*) {
  EnableRange(RadioButtonExcelAllPages, {LabelExcelFrompage, EditExcelFrompage, LabelExcelTopage, EditExcelTopage});
}

void TFormOptions::RadioButtonHTMLAllPagesClick(TObject*) {
  EnableRange(RadioButtonHTMLAllPages, {LabelHTMLFrompage, EditHTMLFrompage, LabelHTMLToPage, EditHTMLToPage});
}

void TFormOptions::CheckBoxExcelPutAllPagesClick(TObject*) {
  const bool On = CheckBoxExcelPutAllPages->Checked();
  LabelExcelSpacing->SetEnabled(On);
  EditExcelSpacing->SetEnabled(On);
}

void TFormOptions::CheckBoxHTMLPreserveImagesClick(TObject*) {
  const bool On = CheckBoxHTMLPreserveImages->Checked();
  for (TControl* C : std::initializer_list<TControl*>{RadioButtonHTMLIncludeImage, RadioButtonSaveimages,
                                                      LabelHTMLQuality, EditHTMLQuality})
    C->SetEnabled(On);
}

void TFormOptions::RadioButtonTitleUseFileNameClick(TObject*) {
  EditTitleCustom->SetEnabled(!RadioButtonTitleUseFileName->Checked());
}

void TFormOptions::ComboBoxResizingModeChange(TObject*) {
  const bool On = ComboBoxResizingMode->ItemIndex() != 0;
  LabelResizeto->SetEnabled(On);
  EditResizeto->SetEnabled(On);
}

namespace {
void DigitsOnly(char& Key) {
  if (Key == 8 || (Key >= '0' && Key <= '9')) return;
  // The edit's own commands are no typed characters: Ctrl+A, Ctrl+C,
  // Ctrl+V, Ctrl+X and Ctrl+Z reach it.
  if (Key == 1 || Key == 3 || Key == 22 || Key == 24 || Key == 26) return;
  Key = 0;
  MessageBeep(1);
}
}  // namespace

void TFormOptions::EditWordfrompageKeyPress(TObject*, char& Key) { DigitsOnly(Key); }

void TFormOptions::EditWordtopageKeyPress(TObject*, char& Key) { DigitsOnly(Key); }

void TFormOptions::btnChangeOutputDirClick(TObject*) {
  AnsiString Folder = GlobalVars.OutputFolder;
  if (!BrowseForFolder(Handle(), Folder, "Please select a folder", 65, "")) return;
  EditOutputDir->SetText(WithTrailingBackslash(Folder));
  // The choice holds even when the dialog is then cancelled.
  GlobalVars.OutputFolder = EditOutputDir->Text();
}

TOptionsDialogResult ShowOptionsDialog(TCustomForm* Owner) {
  TOptionsDialogResult Result;
  auto* Dialog = TCustomForm::Create<TFormOptions>(Owner);
  TScopeExit Free([&] { Dialog->Free(); });
  if (Owner) {
    Dialog->SetTop(Owner->Top() + (Owner->Height() - Dialog->Height()) / 2);
    Dialog->SetLeft(Owner->Left() + (Owner->Width() - Dialog->Width()) / 2);
  }
  Dialog->LoadFromSettings();
  if (Dialog->ShowModal() != mrOk || !Dialog->StoreToSettings()) return Result;
  Result.Accepted = true;
  Result.ImageCaption = Format("PDF to &%s", {GlobalVars.ImageFormat});
  Result.ImageHint = Format("PDF to %s", {GlobalVars.ImageFormat});
  return Result;
}
