// The progress window and the completion dialog as their descriptions make
// them, and what the user can and cannot do with them.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/open_output_confirmation.h"
#include "app/progress_form.h"
#include "conversion_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/forms/stdctrls.h"
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
  // A failure line makes room for itself.
  const Integer height = F->ClientHeight(), buttonTop = F->ButtonOpen->Top();
  F->AddLine("2 files could not be converted.");
  EXPECT_EQ(F->LabelQuestion->Caption(), AnsiString(kOpenOutputQuestion) + "\n2 files could not be converted.");
  EXPECT_GT(F->ClientHeight(), height);
  EXPECT_EQ(F->ButtonOpen->Top() - buttonTop, F->ClientHeight() - height);
  F->AddLine("");
  EXPECT_EQ(F->LabelQuestion->Caption(), AnsiString(kOpenOutputQuestion) + "\n2 files could not be converted.");
  F->Free();
  GlobalVars = saved;
}

TEST(ConversionForms, FailureLinesCountFiles) {
  EXPECT_EQ(FailureLine(0), "");
  EXPECT_EQ(FailureLine(1), "1 file could not be converted.");
  EXPECT_EQ(FailureLine(12), "12 files could not be converted.");
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
