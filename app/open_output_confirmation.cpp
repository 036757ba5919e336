#include "app/open_output_confirmation.h"

#include "app/globals.h"
#include <algorithm>

#include "platform/forms/bitmap.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/graphics.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/properties.h"
#include "platform/win/gdi/gdi.h"

RTL_IMPLEMENT_PUBLISHED(TFormOpenOutputConfirmation,
                        RTL_FIELD(ImageIcon),
                        RTL_FIELD(LabelQuestion),
                        RTL_FIELD(CheckBoxDonotAskAgain),
                        RTL_FIELD(ButtonOpen),
                        RTL_FIELD(ButtonCancel),
                        RTL_HANDLER(FormCreate),
                        RTL_HANDLER(CheckBoxDonotAskAgainClick))

const char kOpenOutputQuestion[] = "Conversion is complete. Do you want to open output folder?";
const char kFailedCaption[] = "Conversion finished with errors";
const char kFailedQuestion[] = "Do you want to open output folder?";

namespace {

// A folder with a green tick over it: the work is done, its results lie
// in a folder.
void DrawCompletionIcon(TCanvas* c, TColor background) {
  c->Brush()->SetColor(background);
  c->FillRect(Rect(0, 0, 32, 32));
  c->Pen()->SetColor(TColor(RGB(0xB8, 0x8A, 0x1C)));
  c->Brush()->SetColor(TColor(RGB(0xF2, 0xC8, 0x5B)));
  c->Polygon({Point(1, 7), Point(10, 7), Point(13, 10), Point(27, 10), Point(27, 27), Point(1, 27)});
  c->Brush()->SetColor(TColor(RGB(0xF8, 0xDA, 0x82)));
  c->Rectangle(1, 13, 28, 28);
  c->Pen()->SetColor(TColor(RGB(0x1F, 0x7A, 0x2E)));
  c->Brush()->SetColor(TColor(RGB(0x34, 0xA8, 0x48)));
  c->Ellipse(15, 15, 32, 32);
  c->Pen()->SetColor(clWhite);
  c->Pen()->SetWidth(2);
  c->MoveTo(19, 23);
  c->LineTo(22, 26);
  c->LineTo(28, 19);
  c->Pen()->SetWidth(1);
}

// A yellow triangle with an exclamation mark: the batch ended, but not
// every file was converted.
void DrawWarningIcon(TCanvas* c, TColor background) {
  c->Brush()->SetColor(background);
  c->FillRect(Rect(0, 0, 32, 32));
  c->Pen()->SetColor(TColor(RGB(0xB0, 0x80, 0x00)));
  c->Brush()->SetColor(TColor(RGB(0xFF, 0xCC, 0x22)));
  c->Polygon({Point(16, 2), Point(30, 28), Point(2, 28)});
  c->Pen()->SetColor(TColor(RGB(0x20, 0x20, 0x20)));
  c->Brush()->SetColor(TColor(RGB(0x20, 0x20, 0x20)));
  c->Rectangle(15, 10, 18, 21);
  c->Rectangle(15, 23, 18, 26);
}

}  // namespace

void TFormOpenOutputConfirmation::FormCreate(TObject*) {
  if (ImageIcon) DrawCompletionIcon(ImageIcon->Canvas(), Color());
}

void TFormOpenOutputConfirmation::CheckBoxDonotAskAgainClick(TObject*) {
  GlobalVars.PromptOpenOuput = !CheckBoxDonotAskAgain->Checked();
}

void TFormOpenOutputConfirmation::ShowFailures(const AnsiString& summary) {
  if (summary.empty()) return;
  SetCaption(kFailedCaption);
  if (ImageIcon) DrawWarningIcon(ImageIcon->Canvas(), Color());
  // File names are shown as they are, "&" included.
  LabelQuestion->SetShowAccelChar(false);
  LabelQuestion->SetCaption(summary + "\n\n" + kFailedQuestion);
  // The label grows to hold the text at its width; what lies below moves
  // down with the dialog's bottom.
  TBitmap measure;
  measure.Canvas()->Font()->Assign(LabelQuestion->Font());
  const AnsiString text = LabelQuestion->Caption();
  RECT r = {0, 0, LabelQuestion->Width(), 0};
  DrawTextA(measure.Canvas()->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  const Integer grow = std::max<Integer>(0, r.Bottom - LabelQuestion->Height());
  if (grow == 0) return;
  LabelQuestion->SetHeight(LabelQuestion->Height() + grow);
  for (TControl* c : {static_cast<TControl*>(CheckBoxDonotAskAgain), static_cast<TControl*>(ButtonOpen),
                      static_cast<TControl*>(ButtonCancel)})
    c->SetTop(c->Top() + grow);
  SetClientHeight(ClientHeight() + grow);
}
