// The progress window and the completion dialog as their descriptions make
// them, and what the user can and cannot do with them.
#include <gtest/gtest.h>

#include "../common/pictures.h"
#include "app/conversion_driver.h"
#include "app/globals.h"
#include "app/open_output_confirmation.h"
#include "app/progress_form.h"
#include "conversion_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/fileutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/testing/user_testing.h"
#include "support/process_runner.h"

namespace {

TEST(ConversionForms, TheProgressWindowIsMadeFromItsDescription) {
  auto* F = TCustomForm::Create<TProgressForm>(nullptr);
  EXPECT_EQ(F->Caption(), "Saving document");
  EXPECT_EQ(F->BorderIcons(), TBorderIcons());
  EXPECT_EQ(F->BorderStyle(), bsSingle);
  EXPECT_EQ(F->FormStyle(), fsStayOnTop);
  ASSERT_NE(F->LabelConverting, nullptr);
  EXPECT_EQ(F->LabelConverting->Caption(), "Converting...");
  EXPECT_TRUE(F->LabelConverting->Font()->Style().Contains(fsBold));
  ASSERT_NE(F->LabelConvertInfo, nullptr);
  EXPECT_TRUE(F->LabelConvertInfo->WordWrap());
  EXPECT_FALSE(F->LabelConvertInfo->ShowAccelChar()) << "an & in a file name is shown, not underlining";
  ASSERT_NE(F->ProgressBar, nullptr);
  EXPECT_TRUE(F->ProgressBar->Smooth());
  ASSERT_NE(F->ButtonStop, nullptr);
  EXPECT_EQ(F->ButtonStop->Caption(), "&Cancel");
  // The icon is drawn: more than one colour in it.
  ASSERT_NE(F->ImageIcon, nullptr);
  TCanvas* c = F->ImageIcon->Canvas();
  EXPECT_NE(c->Pixels(10, 12), c->Pixels(0, 0));
  EXPECT_NE(c->Pixels(26, 21), c->Pixels(0, 0));

  F->Show();
  const LONG style = GetWindowLongA(F->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_SYSMENU, 0) << "no close box";
  EXPECT_NE(GetWindowLongA(F->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  // A close from outside (the window manager, Alt+F4) is refused.
  PostMessageA(F->Handle(), WM_CLOSE, 0, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(F->Visible());
  bool stopped = false;
  F->OnStop = [&](TObject*) { stopped = true; };
  F->ButtonStop->Click();
  EXPECT_TRUE(stopped);
  F->Free();
}

TEST(ConversionForms, TheCompletionDialogIsMadeFromItsDescription) {
  TGlobalVars saved = GlobalVars;
  auto* F = TCustomForm::Create<TFormOpenOutputConfirmation>(nullptr);
  EXPECT_EQ(F->Caption(), "Conversion is complete");
  EXPECT_EQ(F->BorderIcons(), TBorderIcons{biSystemMenu});
  EXPECT_EQ(F->BorderStyle(), bsSingle);
  EXPECT_EQ(F->LabelQuestion->Caption(), kOpenOutputQuestion);
  EXPECT_EQ(F->CheckBoxDonotAskAgain->Caption(), "Don't ask me again");
  EXPECT_EQ(F->ButtonOpen->Caption(), "&Open output folder");
  EXPECT_TRUE(F->ButtonOpen->Default());
  EXPECT_EQ(F->ButtonOpen->ModalResult(), mrOk);
  EXPECT_EQ(F->ButtonCancel->Caption(), "&Cancel");
  EXPECT_EQ(F->ButtonCancel->ModalResult(), mrCancel);
  // Every click of the box decides the question at once.
  GlobalVars.PromptOpenOuput = true;
  F->CheckBoxDonotAskAgain->SetChecked(true);
  EXPECT_FALSE(GlobalVars.PromptOpenOuput);
  F->CheckBoxDonotAskAgain->SetChecked(false);
  EXPECT_TRUE(GlobalVars.PromptOpenOuput);
  // A summary of failures comes first, under a warning icon, and the
  // dialog grows to hold it; the buttons keep their place at the bottom.
  const TColor tick = F->ImageIcon->Canvas()->Pixels(24, 24);
  const Integer height = F->ClientHeight(), buttonTop = F->ButtonOpen->Top();
  const AnsiString summary = "None of the 3 files could be converted:\nfirst & only.pdf\nb.pdf\nc.pdf";
  F->ShowFailures(summary);
  EXPECT_EQ(F->Caption(), kFailedCaption);
  EXPECT_EQ(F->LabelQuestion->Caption(), summary + "\n\n" + kFailedQuestion);
  EXPECT_FALSE(F->LabelQuestion->ShowAccelChar()) << "an & in a file name is shown";
  EXPECT_GT(F->ClientHeight(), height + 3 * 13);
  EXPECT_EQ(F->ButtonOpen->Top() - buttonTop, F->ClientHeight() - height);
  EXPECT_NE(F->ImageIcon->Canvas()->Pixels(24, 24), tick) << "the icon is no longer the tick";
  F->Free();
  GlobalVars = saved;
}

TEST(ConversionForms, AFailureSummaryCountsTheFilesAndNamesTheFirstFew) {
  const std::vector<AnsiString> names = {"a.pdf", "b.pdf", "c.pdf", "d.pdf"};
  struct TCase {
    size_t Failed;
    Integer Total;
    const char* Summary;
  } cases[] = {
      {0, 4, ""},
      {1, 1, "The file could not be converted:\na.pdf"},
      {1, 4, "1 of 4 files could not be converted:\na.pdf"},
      {3, 3, "None of the 3 files could be converted:\na.pdf\nb.pdf\nc.pdf"},
      {4, 9, "4 of 9 files could not be converted:\na.pdf\nb.pdf\nc.pdf\nand 1 more"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(FailureSummary(std::vector<AnsiString>(names.begin(), names.begin() + static_cast<long>(c.Failed)), c.Total),
              c.Summary);
}

// A long path loses the middle of its folders, never its file name, and
// the text stays within the label; a short one is shown whole.
TEST(ConversionForms, TheProgressWindowKeepsTheFileNamesOfLongPaths) {
  auto* F = TCustomForm::Create<TProgressForm>(nullptr);
  const AnsiString deep = "/home/someone/Documents/customers/2026/december/scanned invoices/received by mail/";
  struct TCase {
    AnsiString Input, Output;
    bool Whole;
  } cases[] = {
      {"/in/a.pdf", "/out/a.doc", true},
      {deep + "invoice-0042-final.pdf", deep + "converted/invoice-0042-final(1).doc", false},
      {deep + deep + "x.pdf", "/out/x.doc", false},
  };
  TBitmap measure;
  measure.Canvas()->Font()->Assign(F->LabelConvertInfo->Font());
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Input);
    F->ShowConvertInfo(c.Input, c.Output);
    const AnsiString shown = F->LabelConvertInfo->Caption();
    if (c.Whole) {
      EXPECT_EQ(shown, ConvertInfoText(c.Input, c.Output));
      continue;
    }
    EXPECT_NE(shown.find("...") , AnsiString::npos) << shown;
    EXPECT_NE(shown.find("/" + ExtractFileName(c.Input) + "\" to \""), AnsiString::npos) << shown;
    EXPECT_NE(shown.find("/" + ExtractFileName(c.Output) + "\", please wait..."), AnsiString::npos) << shown;
    RECT r = {0, 0, F->LabelConvertInfo->Width(), 0};
    DrawTextA(measure.Canvas()->Handle(), shown.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_LE(r.Bottom, F->LabelConvertInfo->Height()) << shown;
  }
  F->Show();
  rtl::testing::RunUntilIdle();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(F->Handle(), PictureDir() + "progress-long-path.png", true));
  F->Free();
}

// The progress window goes before the driver (both belong to the program):
// the driver then neither touches it nor starts a batch.
using DriverLifetime = ConversionBatch;

TEST_F(DriverLifetime, AProgressWindowFreedFirstIsForgotten) {
  AddRows(Input, {"a.pdf"});
  Progress->Free();
  Progress = TCustomForm::Create<TProgressForm>(nullptr);  // for the fixture's end
  List.Progress = Progress;
  EXPECT_FALSE(Driver->Execute(ckWord));
  EXPECT_TRUE(List.Main->Enabled());
  delete Driver;
  Driver = new TConversionDriver(nullptr, List, Progress);
}

}  // namespace
