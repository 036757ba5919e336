#include "app/main_window_standins.h"

#include <algorithm>

#include "platform/forms/actions.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/strutils.h"

const TColorSchemeName ColorSchemeNames[6] = {
    {"Blue", "Blue"},         {"Black", "Black"},          {"Silver", "Silver"},
    {"DarkGray", "Dark Gray"}, {"LightGray", "Light Gray"}, {"White", "White"},
};

bool FindColorScheme(const AnsiString& Name, Integer& Index) {
  for (Integer i = 0; i < 6; ++i)
    if (SameText(Name, ColorSchemeNames[i].Name)) {
      Index = i;
      return true;
    }
  return false;
}

namespace {

constexpr Integer kStripHeight = 34;
constexpr Integer kStatusHeight = 20;
constexpr Integer kButtonHeight = 26;
constexpr Integer kGroupGap = 10;

// The caption as shown: "&" marks the mnemonic, "&&" is one "&".
AnsiString ShownCaption(const AnsiString& Caption) {
  AnsiString r;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;
    r += Caption[i];
  }
  return r;
}

}  // namespace

TStandInBars::TStandInBars(TCustomForm* Form, TPopupMenu* PopupMenu) : FForm(Form), FPopupMenu(PopupMenu) {
  FCommandStrip = new TPanel(Form);
  FCommandStrip->SetName("CommandStrip");
  FCommandStrip->SetCaption("");
  FCommandStrip->SetBevelOuter(bvNone);
  FCommandStrip->SetHeight(kStripHeight);
  FCommandStrip->SetAlign(alTop);
  FCommandStrip->SetParent(Form);
  FCommandStrip->OnResize = [this](TObject*) { Layout(); };

  FStatusStrip = new TPanel(Form);
  FStatusStrip->SetName("dxStatusBar");
  FStatusStrip->SetCaption("");
  FStatusStrip->SetBevelOuter(bvNone);
  FStatusStrip->SetHeight(kStatusHeight);
  FStatusStrip->SetAlign(alBottom);
  FStatusStrip->SetParent(Form);
  for (int i = 0; i < 2; ++i) {
    auto* P = new TPanel(Form);
    P->SetName(i == 0 ? "StatusPanel0" : "StatusPanel1");
    P->SetCaption("");
    P->SetBevelOuter(bvLowered);
    P->SetParent(FStatusStrip);
    FPanels[i] = P;
  }
  FPanels[0]->SetWidth(300);
  FPanels[0]->SetAlign(alLeft);
  FPanels[0]->SetAlignment(taLeftJustify);
  FPanels[1]->SetAlign(alClient);
  FPanels[1]->SetAlignment(taRightJustify);
  SetPanelText(1, "0 items, 0 items currently selected");
}

TButton* TStandInBars::AddCommand(TCustomAction* Action, bool NewGroup) {
  // Wide enough for the caption in the strip's font.
  TBitmap Measure;
  Measure.Canvas()->Font()->Assign(FCommandStrip->Font());
  const Integer Width = Measure.Canvas()->TextWidth(ShownCaption(Action->Caption())) + 14;
  auto* B = new TButton(FForm);
  B->SetParent(FCommandStrip);
  B->SetAction(Action);
  B->SetTabStop(false);
  B->SetWidth(Width);
  B->SetHeight(kButtonHeight);
  FButtons.push_back(B);
  FGroupStarts.push_back(NewGroup);
  Layout();
  return B;
}

void TStandInBars::Layout() {
  // Left to right, a new row where the strip's width ends.
  const Integer Room = std::max<Integer>(FCommandStrip->ClientWidth(), 200);
  Integer X = 4, Y = (kStripHeight - kButtonHeight) / 2;
  for (size_t i = 0; i < FButtons.size(); ++i) {
    TButton* B = FButtons[i];
    if (!B->Visible()) continue;
    if (FGroupStarts[i] && X > 4) X += kGroupGap;
    if (X > 4 && X + B->Width() > Room - 4) {
      X = 4;
      Y += kButtonHeight + 4;
    }
    B->SetBounds(X, Y, B->Width(), kButtonHeight);
    X += B->Width() + 2;
  }
  const Integer Height = Y + kButtonHeight + (kStripHeight - kButtonHeight) / 2;
  if (FCommandStrip->Height() != Height) FCommandStrip->SetHeight(Height);
}

AnsiString TStandInBars::PanelText(Integer Index) const {
  if (Index < 0 || Index > 1) return AnsiString();
  return FTexts[Index];
}

void TStandInBars::SetPanelText(Integer Index, const AnsiString& Text) {
  if (Index < 0 || Index > 1 || FTexts[Index] == Text) return;
  FTexts[Index] = Text;
  // The panel reads "&" as a mnemonic mark; a folder's name may hold one.
  AnsiString Shown;
  for (char C : Text) {
    if (C == '&') Shown += '&';
    Shown += C;
  }
  FPanels[Index]->SetCaption(Shown);
}

void TStandInBars::PopupRadialMenuAtCursor() { PopupMenuAtCursor(); }

void TStandInBars::PopupMenuAtCursor() {
  const TPoint P = Mouse->CursorPos();
  FPopupMenu->Popup(P.X, P.Y);
}

void TStandInBars::SetAppearance(const TRibbonAppearance& Value) {
  // A scheme name the ribbon does not offer leaves the scheme as it was.
  const AnsiString Scheme = FAppearance.ColorSchemeName;
  FAppearance = Value;
  Integer Index = 0;
  if (!FindColorScheme(Value.ColorSchemeName, Index)) FAppearance.ColorSchemeName = Scheme;
}
