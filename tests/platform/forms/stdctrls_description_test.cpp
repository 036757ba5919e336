// The standard controls read from and written to form descriptions.
#include "stdctrls_test_support.h"

RTL_IMPLEMENT_CLASS(TDescribedForm)

using namespace stdctrls_test;

namespace {

// A page of the options dialog, with the controls it is made of.
const char* const kOptions =
    "object Options: TDescribedForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  BorderStyle = bsSingle\n"
    "  Caption = 'Options'\n"
    "  ClientHeight = 300\n"
    "  ClientWidth = 420\n"
    "  Color = clBtnFace\n"
    "  OldCreateOrder = False\n"
    "  PixelsPerInch = 96\n"
    "  TextHeight = 13\n"
    "  object GroupOutput: TGroupBox\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 400\n"
    "    Height = 90\n"
    "    Caption = 'O&utput Directory'\n"
    "    TabOrder = 0\n"
    "    object RadioOriginal: TRadioButton\n"
    "      Left = 12\n"
    "      Top = 20\n"
    "      Width = 150\n"
    "      Height = 17\n"
    "      Caption = 'Original directory'\n"
    "      TabOrder = 0\n"
    "    end\n"
    "    object RadioSelect: TRadioButton\n"
    "      Left = 12\n"
    "      Top = 40\n"
    "      Width = 150\n"
    "      Height = 17\n"
    "      Caption = 'Select directory'\n"
    "      Checked = True\n"
    "      TabOrder = 1\n"
    "      TabStop = True\n"
    "    end\n"
    "    object EditOutputDir: TEdit\n"
    "      Left = 12\n"
    "      Top = 60\n"
    "      Width = 300\n"
    "      Height = 21\n"
    "      ReadOnly = True\n"
    "      TabOrder = 2\n"
    "      Text = '/home/user/Documents'\n"
    "    end\n"
    "  end\n"
    "  object LabelFormat: TLabel\n"
    "    Left = 8\n"
    "    Top = 110\n"
    "    Width = 70\n"
    "    Height = 13\n"
    "    Caption = 'Image &Format:'\n"
    "    FocusControl = ComboBoxImageFormat\n"
    "    Transparent = True\n"
    "  end\n"
    "  object ComboBoxImageFormat: TComboBox\n"
    "    Left = 100\n"
    "    Top = 106\n"
    "    Width = 145\n"
    "    Height = 21\n"
    "    DropDownCount = 5\n"
    "    Style = csDropDownList\n"
    "    TabOrder = 1\n"
    "    Items.Strings = (\n"
    "      'PNG'\n"
    "      'JPG'\n"
    "      'GIF'\n"
    "      'BMP'\n"
    "      'TIFF')\n"
    "    ItemIndex = 2\n"
    "  end\n"
    "  object CheckBoxSound: TCheckBox\n"
    "    Left = 8\n"
    "    Top = 140\n"
    "    Width = 300\n"
    "    Height = 17\n"
    "    Caption = 'Notify and play sound when conversion is finished'\n"
    "    Checked = True\n"
    "    State = cbChecked\n"
    "    TabOrder = 2\n"
    "  end\n"
    "  object ListFiles: TListBox\n"
    "    Left = 8\n"
    "    Top = 170\n"
    "    Width = 200\n"
    "    Height = 80\n"
    "    ItemHeight = 16\n"
    "    MultiSelect = True\n"
    "    Sorted = True\n"
    "    TabOrder = 3\n"
    "    Items.Strings = (\n"
    "      'a.pdf'\n"
    "      'b.pdf')\n"
    "  end\n"
    "  object MemoNotes: TMemo\n"
    "    Left = 220\n"
    "    Top = 170\n"
    "    Width = 185\n"
    "    Height = 80\n"
    "    Lines.Strings = (\n"
    "      'first line'\n"
    "      'second line')\n"
    "    TabOrder = 4\n"
    "  end\n"
    "  object btnOK: TButton\n"
    "    Left = 250\n"
    "    Top = 265\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Caption = '&OK'\n"
    "    Default = True\n"
    "    ModalResult = 1\n"
    "    TabOrder = 5\n"
    "  end\n"
    "  object btnCancel: TButton\n"
    "    Left = 333\n"
    "    Top = 265\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Cancel = True\n"
    "    Caption = '&Cancel'\n"
    "    ModalResult = 2\n"
    "    TabOrder = 6\n"
    "  end\n"
    "end\n";

class StdDescription : public TStdCtrlsTest {
 protected:
  template <class T>
  static T* Find(TComponent* Root, const char* Name) {
    auto* C = dynamic_cast<T*>(Root->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
  }
};

TEST_F(StdDescription, ControlsReadTheirPropertiesItemsAndReferences) {
  TDescribedForm* F = ReadForm(kOptions);
  Forms.push_back(F->Link());
  auto* Original = Find<TRadioButton>(F, "RadioOriginal");
  auto* Select = Find<TRadioButton>(F, "RadioSelect");
  auto* Edit = Find<TEdit>(F, "EditOutputDir");
  auto* Label = Find<TLabel>(F, "LabelFormat");
  auto* Combo = Find<TComboBox>(F, "ComboBoxImageFormat");
  auto* Check = Find<TCheckBox>(F, "CheckBoxSound");
  auto* List = Find<TListBox>(F, "ListFiles");
  auto* Memo = Find<TMemo>(F, "MemoNotes");
  auto* OK = Find<TButton>(F, "btnOK");
  auto* Cancel = Find<TButton>(F, "btnCancel");
  ASSERT_TRUE(Original && Select && Edit && Label && Combo && Check && List && Memo && OK && Cancel);
  EXPECT_EQ(Select->Parent()->Name(), "GroupOutput");
  EXPECT_TRUE(Select->Checked());
  EXPECT_FALSE(Original->Checked());
  EXPECT_TRUE(Edit->ReadOnly());
  EXPECT_EQ(Edit->Text(), "/home/user/Documents");
  EXPECT_EQ(Label->FocusControl(), Combo);
  EXPECT_TRUE(Label->Transparent());
  EXPECT_EQ(Combo->Style(), csDropDownList);
  EXPECT_EQ(Combo->Items()->CommaText(), "PNG,JPG,GIF,BMP,TIFF");
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Combo->Text(), "GIF");
  EXPECT_EQ(Combo->DropDownCount(), 5);
  EXPECT_TRUE(Check->Checked());
  EXPECT_TRUE(List->MultiSelect());
  EXPECT_EQ(List->Items()->Count(), 2);
  EXPECT_EQ(Memo->Lines()->Strings(1), "second line");
  EXPECT_TRUE(OK->Default());
  EXPECT_EQ(OK->ModalResult(), mrOk);
  EXPECT_TRUE(Cancel->Cancel());
  // Shown, the windows get what was read.
  F->Show();
  Pump();
  EXPECT_EQ(SendMessage(Combo->Handle(), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(Check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(List->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_TRUE(GetWindowLong(Edit->Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(F->ActiveControl(), Select) << "the first tab stop: the group's checked radio button";
}

TEST_F(StdDescription, ControlsWriteWhatTheyReadAndReadItBack) {
  TDescribedForm* F = ReadForm(kOptions);
  Forms.push_back(F->Link());
  const AnsiString Text = WriteToText(F);
  for (const char* Line : {"    Items.Strings = (\n      'PNG'\n", "    ItemIndex = 2\n", "    Style = csDropDownList\n",
                           "    FocusControl = ComboBoxImageFormat\n", "      Checked = True\n", "    Default = True\n",
                           "    ModalResult = 2\n", "    Lines.Strings = (\n", "    MultiSelect = True\n",
                           "      Text = '/home/user/Documents'\n", "      ReadOnly = True\n"})
    EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << "\n" << Text;
  // Defaults are left out.
  EXPECT_EQ(Text.find("AutoSize"), AnsiString::npos) << Text;
  EXPECT_EQ(Text.find("DropDownCount = 8"), AnsiString::npos);
  EXPECT_EQ(Text.find("ParentColor"), AnsiString::npos) << "edits and lists have their own colour";
  TDescribedForm* Copy = ReadForm(Text);
  Forms.push_back(Copy->Link());
  EXPECT_EQ(WriteToText(Copy), Text);
  // A window made and lost on the way changes nothing.
  Copy->Show();
  Pump();
  const AnsiString Shown = WriteToText(Copy);
  Find<TComboBox>(Copy, "ComboBoxImageFormat")->RecreateWnd();
  Find<TListBox>(Copy, "ListFiles")->RecreateWnd();
  Find<TMemo>(Copy, "MemoNotes")->RecreateWnd();
  Pump();
  EXPECT_EQ(WriteToText(Copy), Shown);
}

TEST_F(StdDescription, AnIndexReadBeforeItsItemsStillChooses) {
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  object C: TComboBox\n"
      "    ItemIndex = 1\n"
      "    Style = csDropDownList\n"
      "    Items.Strings = (\n"
      "      'one'\n"
      "      'two')\n"
      "  end\n"
      "  object L: TListBox\n"
      "    ItemIndex = 5\n"
      "    Items.Strings = (\n"
      "      'only')\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  EXPECT_EQ(Find<TComboBox>(F, "C")->Text(), "two");
  EXPECT_EQ(Find<TListBox>(F, "L")->ItemIndex(), -1) << "an index beyond the items chooses none";
}

}  // namespace
