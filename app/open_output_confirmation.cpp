#include "app/open_output_confirmation.h"

#include "app/globals.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/graphics.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/properties.h"

RTL_IMPLEMENT_PUBLISHED(TFormOpenOutputConfirmation,
                        RTL_FIELD(ImageIcon),
                        RTL_FIELD(LabelQuestion),
                        RTL_FIELD(CheckBoxDonotAskAgain),
                        RTL_FIELD(ButtonOpen),
                        RTL_FIELD(ButtonCancel),
                        RTL_HANDLER(FormCreate),
                        RTL_HANDLER(CheckBoxDonotAskAgainClick))

const char kOpenOutputQuestion[] = "Conversion is complete. Do you want to open output folder?";

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

}  // namespace

void TFormOpenOutputConfirmation::FormCreate(TObject*) {
  if (ImageIcon) DrawCompletionIcon(ImageIcon->Canvas(), Color());
}

void TFormOpenOutputConfirmation::CheckBoxDonotAskAgainClick(TObject*) {
  GlobalVars.PromptOpenOuput = !CheckBoxDonotAskAgain->Checked();
}

void TFormOpenOutputConfirmation::AddLine(const AnsiString& line) {
  if (line.empty()) return;
  // One more line of the label's height; the controls below move down.
  const Integer Grow = 16;
  LabelQuestion->SetCaption(LabelQuestion->Caption() + "\n" + line);
  LabelQuestion->SetHeight(LabelQuestion->Height() + Grow);
  for (TControl* C : {static_cast<TControl*>(CheckBoxDonotAskAgain), static_cast<TControl*>(ButtonOpen),
                      static_cast<TControl*>(ButtonCancel)})
    C->SetTop(C->Top() + Grow);
  SetClientHeight(ClientHeight() + Grow);
}
