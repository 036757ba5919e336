#include "app/main_window_standins.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

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

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }
bool IsMnemonicLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9'); }

// The letter that Alt+letter runs, when the shortcut is one; else 0. The
// low byte is a virtual key: letters and digits are their upper-case
// characters (lower-case codes are other keys, F4 among them).
char AltLetter(TShortCut ShortCut) {
  if ((ShortCut & ~scAlt) != (ShortCut & 0xFF) || !(ShortCut & scAlt)) return 0;
  const char C = static_cast<char>(ShortCut & 0xFF);
  return IsMnemonicLetter(C) ? C : 0;
}

// A button of the strip: it follows its command, but shows the caption with
// the mnemonic the strip gave it.
class TStripButton : public TButton {
 public:
  TStripButton(TComponent* AOwner, TStandInBars* Bars) : TButton(AOwner), FBars(Bars) {}

 protected:
  void ActionChange(TObject* Sender, bool CheckDefaults) override {
    TButton::ActionChange(Sender, CheckDefaults);
    FBars->AssignMnemonics();
  }

 private:
  TStandInBars* FBars;
};

// The shown text of a caption and the index in it of the letter that "&"
// marks (npos for none).
void ParseCaption(const AnsiString& Caption, AnsiString& Shown, size_t& Mark) {
  Shown.clear();
  Mark = AnsiString::npos;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) {
      ++i;
      if (Caption[i] != '&' && Mark == AnsiString::npos) Mark = Shown.size();
    }
    Shown += Caption[i];
  }
}

// The caption with the letter at index At of its shown text marked (none
// for npos).
AnsiString MarkedCaption(const AnsiString& Shown, size_t At) {
  AnsiString r;
  for (size_t i = 0; i < Shown.size(); ++i) {
    if (i == At) r += '&';
    if (Shown[i] == '&') r += '&';
    r += Shown[i];
  }
  return r;
}

// Letters for buttons: each button may take a letter of its caption that is
// not reserved for another; as many buttons as possible get one (a
// matching found by augmenting paths), and a button keeps the command's
// own letter, or the first free one, unless a later button has no other.
class TLetterMatching {
 public:
  struct TButtonLetters {
    std::vector<size_t> Candidates;  // indexes into Shown, preferred first
    AnsiString Shown;
    size_t Chosen = AnsiString::npos;
  };
  std::vector<TButtonLetters> Buttons;

  void Solve() {
    for (size_t b = 0; b < Buttons.size(); ++b) {
      std::set<char> Visited;
      Augment(b, Visited);
    }
  }

 private:
  std::map<char, size_t> FOwner;

  char Letter(size_t b, size_t i) const { return UpperAscii(Buttons[b].Shown[i]); }
  // A free letter first; else one whose button can move to another.
  bool Augment(size_t b, std::set<char>& Visited) {
    for (size_t i : Buttons[b].Candidates)
      if (!FOwner.count(Letter(b, i))) return Take(b, i);
    for (size_t i : Buttons[b].Candidates) {
      const char L = Letter(b, i);
      if (Visited.insert(L).second && Augment(FOwner[L], Visited)) return Take(b, i);
    }
    return false;
  }
  bool Take(size_t b, size_t i) {
    FOwner[Letter(b, i)] = b;
    Buttons[b].Chosen = i;
    return true;
  }
};

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
  auto* B = new TStripButton(FForm, this);
  B->SetParent(FCommandStrip);
  FButtons.push_back(B);
  B->SetAction(Action);
  AssignMnemonics();
  // Tab goes from the list along the strip's buttons and back.
  B->SetTabStop(true);
  B->SetWidth(Width);
  B->SetHeight(kButtonHeight);
  FGroupStarts.push_back(NewGroup);
  Layout();
  return B;
}

void TStandInBars::AssignMnemonics() {
  // Alt+letter shortcuts of the commands come before the buttons' letters:
  // a button showing such a letter would never be reached by it.
  std::set<char> Reserved;
  for (TButton* B : FButtons) {
    auto* A = dynamic_cast<TCustomAction*>(B->Action());
    if (!A || !A->ActionList()) continue;
    for (Integer i = 0; i < A->ActionList()->ActionCount(); ++i)
      if (auto* Other = dynamic_cast<TCustomAction*>(A->ActionList()->Actions(i)))
        if (char C = AltLetter(Other->ShortCut())) Reserved.insert(C);
    break;
  }
  TLetterMatching Matching;
  for (TButton* B : FButtons) {
    TLetterMatching::TButtonLetters Letters;
    auto* A = dynamic_cast<TCustomAction*>(B->Action());
    size_t Own = AnsiString::npos;
    if (A) ParseCaption(A->Caption(), Letters.Shown, Own);
    // A command may show the letter of its own shortcut.
    const char OwnShortCut = A ? AltLetter(A->ShortCut()) : 0;
    auto Allowed = [&](size_t i) {
      const char C = UpperAscii(Letters.Shown[i]);
      return IsMnemonicLetter(C) && (!Reserved.count(C) || C == OwnShortCut);
    };
    if (Own != AnsiString::npos && Allowed(Own)) Letters.Candidates.push_back(Own);
    for (size_t i = 0; i < Letters.Shown.size(); ++i)
      if (i != Own && Allowed(i)) Letters.Candidates.push_back(i);
    Matching.Buttons.push_back(std::move(Letters));
  }
  Matching.Solve();
  for (size_t b = 0; b < FButtons.size(); ++b) {
    const TLetterMatching::TButtonLetters& Letters = Matching.Buttons[b];
    const AnsiString Caption = MarkedCaption(Letters.Shown, Letters.Chosen);
    if (FButtons[b]->Caption() != Caption) FButtons[b]->SetCaption(Caption);
  }
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
