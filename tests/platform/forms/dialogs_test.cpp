// The dialog components: what they ask the window system for, what its
// answers make of Files, FileName, Color, CustomColors and Font, the forms
// disabled while a dialog runs, and their properties in form descriptions.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/forms/dialogs.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/stringlist.h"
#include "platform/win/comdlg/commdlg.h"
#include "stdctrls_test_support.h"

using namespace stdctrls_test;

namespace {

using rtl::detail::TOpenFileAnswer;
using rtl::detail::TOpenFileRequest;

class DialogsTest : public TStdCtrlsTest {
 protected:
  std::vector<TOpenFileRequest> Asked;
  TOpenFileAnswer Answer;
  Log Events;

  void SetUp() override {
    TStdCtrlsTest::SetUp();
    RegisterDialogsClasses();
    rtl::detail::SetOpenFileHook([this](const TOpenFileRequest& Q) {
      Asked.push_back(Q);
      // What the user sees while the dialog runs.
      for (auto& L : Forms)
        if (auto* F = dynamic_cast<TCustomForm*>(L.Get()); F && F->HandleAllocated())
          Events.push_back(F->Name() + (IsWindowEnabled(F->Handle()) ? " enabled" : " disabled"));
      Events.push_back("dialog");
      return Answer;
    });
  }

  void TearDown() override {
    rtl::detail::SetOpenFileHook(nullptr);
    rtl::detail::SetChooseColorHook(nullptr);
    rtl::detail::SetChooseFontHook(nullptr);
    rtl::detail::SetCommonDialogShownHook(nullptr);
    TStdCtrlsTest::TearDown();
  }

  static std::vector<AnsiString> Lines(TStrings* S) {
    std::vector<AnsiString> R;
    for (Integer I = 0; I < S->Count(); ++I) R.push_back(S->Strings(I));
    return R;
  }
};

TEST_F(DialogsTest, ChosenFilesComeInTheDialogsOrderWithFullPaths) {
  TForm* Main = ShowForm();
  Main->SetName("Main");
  TForm* Other = MakeForm();
  Other->SetName("Other");
  Other->Show();
  Main->SetFocus();
  Pump();
  auto* D = new TOpenDialog(Main);
  D->SetFilter("PDF Files|*.pdf|All Files|*.*");
  D->SetOptions({ofAllowMultiSelect, ofHideReadOnly, ofEnableSizing});
  D->SetInitialDir("/docs");
  D->OnShow = [this](TObject*) { Events.push_back("OnShow"); };
  D->OnClose = [this](TObject*) { Events.push_back("OnClose"); };
  Answer.Cancel = false;
  Answer.Files = {"/docs/b.pdf", "/docs/a.pdf", "/other/c.pdf"};
  Answer.FilterIndex = 2;
  ASSERT_TRUE(D->Execute());
  EXPECT_EQ(Lines(D->Files()), (std::vector<AnsiString>{"/docs/b.pdf", "/docs/a.pdf", "/other/c.pdf"}));
  EXPECT_EQ(D->FileName(), "/docs/b.pdf");
  EXPECT_EQ(D->FilterIndex(), 2);
  EXPECT_EQ(Events, (Log{"OnShow", "Main disabled", "Other disabled", "dialog", "OnClose"}));
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
  EXPECT_TRUE(IsWindowEnabled(Other->Handle()));
  ASSERT_EQ(Asked.size(), 1u);
  const TOpenFileRequest& Q = Asked[0];
  EXPECT_EQ(Q.Owner, Main->Handle()) << "the active form owns the dialog";
  EXPECT_EQ(Q.InitialDir, "/docs");
  EXPECT_EQ(Q.FilterIndex, 1u);
  EXPECT_EQ(Q.Flags & (OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_FILEMUSTEXIST),
            static_cast<DWORD>(OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER));

  // A cancel leaves the last choice alone.
  Answer = TOpenFileAnswer{};
  EXPECT_FALSE(D->Execute());
  EXPECT_EQ(D->Files()->Count(), 3);
  EXPECT_EQ(D->FileName(), "/docs/b.pdf");
  EXPECT_EQ(Asked[1].FileName, "/docs/b.pdf") << "the name goes back in as the initial one";
}

TEST_F(DialogsTest, OneFileWithoutMultiSelect) {
  auto* D = new TOpenDialog(ShowForm());
  Answer.Cancel = false;
  Answer.Files = {"/x/one.pdf", "/x/two.pdf"};
  ASSERT_TRUE(D->Execute());
  EXPECT_EQ(Lines(D->Files()), (std::vector<AnsiString>{"/x/one.pdf"}));
  EXPECT_EQ(D->FileName(), "/x/one.pdf");
}

TEST_F(DialogsTest, AChoiceTooLongForTheBufferIsAnErrorNotACancel) {
  auto* D = new TOpenDialog(ShowForm());
  Answer.Cancel = false;
  Answer.Files = {"/" + AnsiString(20000, 'a') + ".pdf"};
  EXPECT_THROW(D->Execute(), EInvalidOperation);
  EXPECT_TRUE(IsWindowEnabled(Form->Handle())) << "the forms are enabled again";
}

struct TFilterCase {
  const char* Name;
  AnsiString Filter;
  std::vector<std::pair<AnsiString, AnsiString>> Pairs;
};

class DialogsFilterTest : public DialogsTest, public ::testing::WithParamInterface<TFilterCase> {};

TEST_P(DialogsFilterTest, FilterBecomesDescriptionsAndPatterns) {
  auto* D = new TOpenDialog(nullptr);
  D->SetFilter(GetParam().Filter);
  D->Execute();
  delete D;
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Filters, GetParam().Pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, DialogsFilterTest,
    ::testing::Values(TFilterCase{"TwoTypes", "PDF Files|*.pdf|All Files|*.*", {{"PDF Files", "*.pdf"}, {"All Files", "*.*"}}},
                      TFilterCase{"SeveralPatterns", "Documents|*.pdf;*.PDF", {{"Documents", "*.pdf;*.PDF"}}},
                      TFilterCase{"Empty", "", {}},
                      TFilterCase{"DanglingDescription", "PDF|*.pdf|Other", {{"PDF", "*.pdf"}}}),
    [](const auto& info) { return info.param.Name; });

TEST_F(DialogsTest, TheRealDialogIsOwnedByTheActiveFormAndReturnsTheTypedFile) {
  namespace fs = std::filesystem;
  std::string Dir = (fs::temp_directory_path() / "dialogs-XXXXXX").string();
  Dir = mkdtemp(Dir.data());
  std::ofstream(Dir + "/a.pdf") << "%PDF";
  rtl::detail::SetOpenFileHook(nullptr);
  Log Refusals;
  rtl::detail::SetMessageBoxHook([&](HWND, const AnsiString& Text, const AnsiString&, UINT) {
    Refusals.push_back(Text);
    return IDOK;
  });
  TForm* Main = ShowForm();
  HWND Owner = nullptr;
  bool MainEnabled = true;
  rtl::detail::SetCommonDialogShownHook([&](HWND Box) {
    Owner = GetWindow(Box, GW_OWNER);
    MainEnabled = IsWindowEnabled(Main->Handle());
    rtl::testing::InjectText("a.pdf");
    rtl::testing::InjectKeyPress(VK_RETURN);
    // Left open by a fault, the dialog is cancelled once the input is used up.
    SetTimer(Box, 1, 1, [](HWND H, UINT, UINT_PTR Id, DWORD) {
      KillTimer(H, Id);
      PostMessageA(H, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    rtl::testing::AdvanceClock(10);
  });
  auto* D = new TOpenDialog(Main);
  D->SetFilter("PDF Files|*.pdf");
  D->SetInitialDir(Dir);
  D->SetOptions(D->Options() + TOpenOptions{ofFileMustExist});
  bool Chosen = D->Execute();
  rtl::detail::SetMessageBoxHook(nullptr);
  fs::remove_all(Dir);
  EXPECT_TRUE(Refusals.empty());
  ASSERT_TRUE(Chosen);
  EXPECT_EQ(Owner, Main->Handle());
  EXPECT_FALSE(MainEnabled);
  EXPECT_EQ(Lines(D->Files()), (std::vector<AnsiString>{Dir + "/a.pdf"}));
  EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
}

TEST_F(DialogsTest, ColorDialogKeepsColourAndCustomColours) {
  auto* D = new TColorDialog(ShowForm());
  D->SetColor(clBtnFace);
  D->CustomColors()->Add("ColorA=0000FF");
  D->CustomColors()->Add("ColorC=nothex");
  CHOOSECOLORA Seen{};
  COLORREF SeenCustom[16] = {};
  bool Choose = true;
  rtl::detail::SetChooseColorHook([&](CHOOSECOLORA& Cc) {
    Seen = Cc;
    std::copy(Cc.lpCustColors, Cc.lpCustColors + 16, SeenCustom);
    Cc.rgbResult = RGB(1, 2, 3);
    Cc.lpCustColors[1] = RGB(0x10, 0x20, 0x30);
    return Choose;
  });
  ASSERT_TRUE(D->Execute());
  EXPECT_EQ(Seen.rgbResult, ColorToRGB(clBtnFace));
  EXPECT_TRUE(Seen.Flags & CC_RGBINIT);
  EXPECT_EQ(Seen.hwndOwner, Form->Handle());
  EXPECT_EQ(SeenCustom[0], 0x0000FFu);
  EXPECT_EQ(SeenCustom[2], 0xFFFFFFu) << "what cannot be read is white";
  EXPECT_EQ(D->Color(), static_cast<TColor>(RGB(1, 2, 3)));
  ASSERT_EQ(D->CustomColors()->Count(), 16);
  EXPECT_EQ(D->CustomColors()->Strings(0), "ColorA=0000FF");
  EXPECT_EQ(D->CustomColors()->Values("ColorB"), "302010");
  EXPECT_EQ(D->CustomColors()->Strings(15), "ColorP=FFFFFF");
  Choose = false;
  D->SetColor(clRed);
  EXPECT_FALSE(D->Execute());
  EXPECT_EQ(D->Color(), clRed);
}

TEST_F(DialogsTest, FontDialogStartsFromTheFontAndTakesTheChoice) {
  auto* D = new TFontDialog(ShowForm());
  D->Font()->SetName("Liberation Serif");
  D->Font()->SetSize(8);
  D->Font()->SetColor(clNavy);
  const Integer Before = D->Font()->Height();
  LOGFONTA Seen{};
  DWORD Flags = 0;
  rtl::detail::SetChooseFontHook([&](CHOOSEFONTA& Cf) {
    Seen = *Cf.lpLogFont;
    Flags = Cf.Flags;
    std::strcpy(Cf.lpLogFont->lfFaceName, "Liberation Sans");
    Cf.lpLogFont->lfHeight = -16;
    Cf.lpLogFont->lfWeight = FW_BOLD;
    Cf.lpLogFont->lfUnderline = 1;
    Cf.rgbColors = RGB(255, 0, 0);
    return true;
  });
  ASSERT_TRUE(D->Execute());
  EXPECT_STREQ(Seen.lfFaceName, "Liberation Serif");
  EXPECT_EQ(Seen.lfHeight, Before);
  EXPECT_TRUE(Flags & CF_INITTOLOGFONTSTRUCT);
  EXPECT_EQ(D->Font()->Name(), "Liberation Sans");
  EXPECT_EQ(D->Font()->Height(), -16);
  EXPECT_EQ(D->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(D->Font()->Color(), clRed);
}

const char* const kDescribed =
    "object Main: TDescribedForm\n"
    "  object OpenDialog: TOpenDialog\n"
    "    Filter = 'PDF Files|*.pdf|All Files|*.*'\n"
    "    InitialDir = '/home/user'\n"
    "    Options = [ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing]\n"
    "    Title = 'Add Files'\n"
    "  end\n"
    "  object PlainDialog: TOpenDialog\n"
    "  end\n"
    "  object ColorDialog: TColorDialog\n"
    "    Color = clRed\n"
    "    CustomColors.Strings = (\n"
    "      'ColorA=FFFFFF')\n"
    "  end\n"
    "  object FontDialog: TFontDialog\n"
    "    Font.Name = 'Liberation Sans'\n"
    "  end\n"
    "end\n";

TEST_F(DialogsTest, DescriptionsReadAndWriteThePublishedProperties) {
  TDescribedForm* F = ReadForm(kDescribed);
  Forms.push_back(F->Link());
  auto* Open = dynamic_cast<TOpenDialog*>(F->FindComponent("OpenDialog"));
  auto* Plain = dynamic_cast<TOpenDialog*>(F->FindComponent("PlainDialog"));
  auto* Color = dynamic_cast<TColorDialog*>(F->FindComponent("ColorDialog"));
  auto* Font = dynamic_cast<TFontDialog*>(F->FindComponent("FontDialog"));
  ASSERT_TRUE(Open && Plain && Color && Font);
  EXPECT_EQ(Open->Filter(), "PDF Files|*.pdf|All Files|*.*");
  EXPECT_EQ(Open->InitialDir(), "/home/user");
  EXPECT_EQ(Open->Options(), (TOpenOptions{ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing}));
  EXPECT_EQ(Open->Title(), "Add Files");
  EXPECT_EQ(Plain->Options(), (TOpenOptions{ofHideReadOnly, ofEnableSizing}));
  EXPECT_EQ(Plain->FilterIndex(), 1);
  EXPECT_EQ(Color->Color(), clRed);
  EXPECT_EQ(Lines(Color->CustomColors()), (std::vector<AnsiString>{"ColorA=FFFFFF"}));
  EXPECT_EQ(Font->Font()->Name(), "Liberation Sans");

  // Written out (each as the root of its own description), the values
  // come back and the defaults stay out.
  const AnsiString OpenText = WriteToText(Open);
  EXPECT_EQ(OpenText,
            "object OpenDialog: TOpenDialog\n"
            "  Filter = 'PDF Files|*.pdf|All Files|*.*'\n"
            "  InitialDir = '/home/user'\n"
            "  Options = [ofHideReadOnly, ofAllowMultiSelect, ofEnableSizing]\n"
            "  Title = 'Add Files'\n"
            "end\n");
  EXPECT_EQ(WriteToText(Plain), "object PlainDialog: TOpenDialog\nend\n");
  const AnsiString ColorText = WriteToText(Color);
  EXPECT_NE(ColorText.find("  Color = clRed\n  CustomColors.Strings = (\n    'ColorA=FFFFFF')\n"), AnsiString::npos)
      << ColorText;
  EXPECT_NE(WriteToText(Font).find("  Font.Name = 'Liberation Sans'\n"), AnsiString::npos);
  auto* Copy = new TOpenDialog(nullptr);
  TStringStream Input(OpenText);
  ReadComponentText(&Input, Copy);
  EXPECT_EQ(WriteToText(Copy), OpenText);
  delete Copy;
}

}  // namespace
