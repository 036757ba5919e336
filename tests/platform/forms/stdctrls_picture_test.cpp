// A dialog made of every control wrapper, in normal, focused and disabled
// states, written out as a picture to look at; the checks pin what a person
// would look for first.
#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/icon.h"
#include "platform/forms/image_list.h"
#include "platform/forms/picture.h"
#include "stdctrls_test_support.h"
#include "tests/common/pictures.h"

using namespace stdctrls_test;

namespace {

class StdDialogPicture : public TStdCtrlsTest {
 protected:
  template <class T>
  T* Put(TWinControl* Parent, const TRect& R, const AnsiString& Caption = AnsiString()) {
    T* C = Add<T>(R, Parent);
    if (!Caption.empty()) C->SetCaption(Caption);
    return C;
  }
};

TEST_F(StdDialogPicture, EveryControlOnOneDialog) {
  TForm* F = MakeForm(720, 520);
  Form = F;
  F->SetCaption("Options");
  F->SetBorderStyle(bsSingle);
  F->SetColor(clBtnFace);

  // The pages, one of them without a tab.
  auto* Pages = Put<TPageControl>(F, Rect(8, 8, 420, 440));
  auto Sheet = [&](const char* Caption) {
    auto* S = new TTabSheet(F);
    S->SetCaption(Caption);
    S->SetPageControl(Pages);
    return S;
  };
  TTabSheet* Conversions = Sheet("Conversions");
  Sheet("Misc");
  Sheet("Key Tips")->SetTabVisible(false);
  Sheet("Image Options");

  auto* Output = Put<TGroupBox>(Conversions, Rect(8, 8, 396, 118), "O&utput Directory");
  Put<TRadioButton>(Output, Rect(12, 20, 200, 37), "Original directory");
  Put<TRadioButton>(Output, Rect(12, 42, 200, 59), "Select directory")->SetChecked(true);
  auto* Dir = Put<TEdit>(Output, Rect(12, 66, 290, 87));
  Dir->SetText("/home/user/Documents/Converted");
  Dir->SetReadOnly(true);
  Put<TButton>(Output, Rect(298, 64, 376, 89), "&Change");

  auto* Pages2 = Put<TGroupBox>(Conversions, Rect(8, 126, 396, 210), "&Select Pages");
  Put<TLabel>(Pages2, Rect(12, 24, 70, 40), "from page:");
  auto* From = Put<TEdit>(Pages2, Rect(80, 20, 140, 41));
  From->SetText("1");
  auto* Spin = Put<TUpDown>(Pages2, Rect(0, 0, 16, 21));
  Spin->SetMin(1);
  Spin->SetMax(999);
  Spin->SetPosition(1);
  Spin->SetAssociate(From);
  auto* ToLabel = Put<TLabel>(Pages2, Rect(160, 24, 210, 40), "to page:");
  ToLabel->SetEnabled(false);
  auto* To = Put<TEdit>(Pages2, Rect(220, 20, 280, 41));
  To->SetText("12");
  To->SetEnabled(false);
  auto* Preserve = Put<TCheckBox>(Pages2, Rect(12, 52, 200, 69), "Preserve Images");
  Preserve->SetChecked(true);
  auto* Grayed = Put<TCheckBox>(Pages2, Rect(210, 52, 380, 69), "Disabled option");
  Grayed->SetAllowGrayed(true);
  Grayed->SetState(cbGrayed);
  Grayed->SetEnabled(false);

  auto* Format = Put<TComboBox>(Conversions, Rect(100, 220, 250, 241));
  Format->SetStyle(csDropDownList);
  for (const char* S : {"PNG", "JPG", "GIF", "BMP", "TIFF"}) Format->Items()->Add(S);
  Format->SetItemIndex(0);
  auto* FormatLabel = Put<TLabel>(Conversions, Rect(8, 224, 90, 240), "Image &Format:");
  FormatLabel->SetFocusControl(Format);
  auto* Resize = Put<TComboBox>(Conversions, Rect(260, 220, 396, 241));
  Resize->Items()->Add("(None)");
  Resize->SetText("Width");

  auto* Files = Put<TListBox>(Conversions, Rect(8, 250, 200, 380));
  Files->SetMultiSelect(true);
  for (const char* S : {"document.pdf", "invoice.pdf", "report.pdf", "scan 01.pdf", "slides.pdf", "summary.pdf",
                        "thesis.pdf", "zeta.pdf", "zulu.pdf", "more.pdf"})
    Files->Items()->Add(S);
  Files->SetSelected(1, true);
  Files->SetSelected(2, true);
  auto* Formats = Put<TCheckListBox>(Conversions, Rect(208, 250, 396, 330));
  for (const char* S : {"Word", "Excel", "HTML", "Image"}) Formats->Items()->Add(S);
  Formats->SetChecked(0, true);
  Formats->SetState(2, cbGrayed);
  Formats->SetItemEnabled(3, false);
  auto* Notes = Put<TMemo>(Conversions, Rect(208, 336, 396, 380));
  Notes->Lines()->Add("Notes about");
  Notes->Lines()->Add("the conversion");
  Pages->SetActivePage(Conversions);

  // Beside the pages.
  auto* Tree = Put<TTreeView>(F, Rect(430, 30, 710, 200));
  TTreeNode* Bars = Tree->Items()->AddChild(nullptr, "Toolbars");
  Tree->Items()->AddChild(Bars, "Quick Access Toolbar");
  TTreeNode* File = Tree->Items()->AddChild(Bars, "File");
  Tree->Items()->AddChild(File, "Add File");
  Tree->Items()->AddChild(File, "Add Folder");
  TTreeNode* Help = Tree->Items()->AddChild(nullptr, "Help");
  Tree->Items()->AddChild(Help, "About");
  File->MakeVisible();
  Tree->SetSelected(File);
  auto* TreeLabel = Put<TLabel>(F, Rect(430, 12, 600, 28), "Key &Tips:");
  TreeLabel->SetFocusControl(Tree);

  auto* Progress = Put<TProgressBar>(F, Rect(430, 210, 710, 226));
  Progress->SetMax(10);
  Progress->SetPosition(6);
  Progress->SetSmooth(true);
  auto* Blocks = Put<TProgressBar>(F, Rect(430, 232, 710, 248));
  Blocks->SetPosition(40);
  auto* Track = Put<TTrackBar>(F, Rect(430, 254, 710, 294));
  Track->SetPosition(3);
  auto* Scroll = Put<TScrollBar>(F, Rect(430, 300, 710, 317));
  Scroll->SetPageSize(20);
  Scroll->SetPosition(30);

  auto* Panel = Put<TPanel>(F, Rect(430, 326, 710, 386), "Converting...");
  Panel->SetBevelInner(bvLowered);
  Panel->SetBorderWidth(2);
  auto* Icon = Put<TImage>(Panel, Rect(8, 12, 41, 45));
  TIcon Info;
  Info.SetHandle(CopyIcon(LoadIcon(nullptr, IDI_INFORMATION)));
  Icon->Picture()->SetIcon(&Info);
  Icon->SetCenter(true);
  auto* Circle = Put<TShape>(Panel, Rect(240, 14, 270, 44));
  Circle->SetShape(stCircle);
  Circle->Brush()->SetColor(clLime);
  Put<TBevel>(F, Rect(430, 396, 710, 400))->SetShape(bsTopLine);

  auto* Wrapped = Put<TLabel>(F, Rect(430, 404, 710, 440));
  Wrapped->SetAutoSize(false);
  Wrapped->SetBounds(430, 404, 280, 34);
  Wrapped->SetWordWrap(true);
  Wrapped->SetCaption("Conversion is complete. Do you want to open the output folder with the converted files?");

  auto* OK = Put<TButton>(F, Rect(470, 450, 550, 475), "&OK");
  OK->SetDefault(true);
  auto* Cancel = Put<TButton>(F, Rect(558, 450, 638, 475), "&Cancel");
  Cancel->SetCancel(true);
  // A bitmap button with a glyph (a question mark), disabled.
  TBitmap Glyph(16, 16);
  Glyph.Canvas()->Brush()->SetColor(clFuchsia);
  Glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
  Glyph.Canvas()->Font()->SetStyle({fsBold});
  Glyph.Canvas()->Font()->SetColor(clNavy);
  Glyph.Canvas()->Brush()->SetStyle(bsClear);
  Glyph.Canvas()->TextOut(4, 1, "?");
  auto* HelpButton = Put<TBitBtn>(F, Rect(646, 450, 710, 475), "Help");
  HelpButton->SetGlyph(&Glyph);
  HelpButton->SetEnabled(false);
  // Speed buttons: one of a group held down, one flat.
  for (int I = 0; I < 3; ++I) {
    auto* S = Put<TSpeedButton>(F, Rect(330 + I * 24, 448, 353 + I * 24, 470), AnsiString(1, "BIU"[I]));
    S->SetGroupIndex(1);
    S->SetAllowAllUp(true);
    if (I == 0) S->SetDown(true);
  }
  auto* Go = Put<TBitBtn>(F, Rect(8, 448, 120, 474), "Convert");
  Go->SetGlyph(&Glyph);

  F->Show();
  Pump();
  // The focus in an edit with part of its text selected.
  Dir->SetFocus();
  Dir->SetSelStart(11);
  Dir->SetSelLength(9);
  Pump();
  const AnsiString Dir0 = PictureDir();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(F->Handle(), Dir0 + "stdctrls_dialog.png", true));
  auto Pixel = [&](TWinControl* C, Integer X, Integer Y) { return rtl::testing::WindowPixel(C->Handle(), X, Y); };
  EXPECT_EQ(Pixel(Progress, 20, 8), GetSysColor(COLOR_HIGHLIGHT)) << "the bar is filled";
  EXPECT_NE(Pixel(Progress, 270, 8), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Pixel(Panel, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the panel is raised";
  // The selected list items wear the highlight.
  const TRect Sel = Files->ItemRect(1);
  EXPECT_EQ(Pixel(Files, Sel.Right - 4, Sel.Top + 2), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetWindowLong(OK->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

  // Then with the focus on a check box and on a button.
  Preserve->SetFocus();
  Pump();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(F->Handle(), Dir0 + "stdctrls_dialog_check_focused.png", true));
  Cancel->SetFocus();
  Pump();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(F->Handle(), Dir0 + "stdctrls_dialog_button_focused.png", true));
  EXPECT_EQ(GetWindowLong(OK->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON)
      << "the focused button is the default one meanwhile";
}

}  // namespace
