// Batches end to end with the converter stand-in: rows converted in
// order, Cancel, late ends of cancelled converters, failures, the
// completion notification in every setting, and a converter that cannot
// start.
#include <gtest/gtest.h>

#include <filesystem>

#include "../common/pictures.h"
#include "app/globals.h"
#include "app/open_output_confirmation.h"
#include "app/progress_form.h"
#include "conversion_fixture.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/stdctrls.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user.h"
#include "support/process_runner.h"

namespace {

namespace fs = std::filesystem;
using rtl::detail::skEvent;
using rtl::detail::skFile;
using rtl::detail::TSoundCall;

AnsiString StateEvent(Integer row, TRowState state, const AnsiString& input, const AnsiString& output,
                      Integer position) {
  return "state " + std::to_string(row) + " " + std::to_string(state) + " | " + ConvertInfoText(input, output) +
         " | " + std::to_string(position);
}

class Batch : public ConversionBatch {
 protected:
  void Quiet() {
    GlobalVars.PromptOpenOuput = false;
    GlobalVars.PlayASoundWhenFinished = false;
  }
  // Clicks Cancel as the user does.
  void ClickCancel() {
    rtl::testing::InjectClick(Progress->ButtonStop->ClientToScreen(TPoint(10, 10)));
    Application->ProcessMessages();
  }
  bool ConvertingRow(Integer row) {
    return RunUntil([&] { return Driver->CurrentRow() == row && Driver->Runner()->State() == psWatching; });
  }
};

TEST_F(Batch, FiveRowsAreConvertedInOrder) {
  Quiet();
  AddRows(Input, {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  EXPECT_FALSE(List.Main->Enabled()) << "the main window refuses input during the batch";
  EXPECT_TRUE(Progress->Visible());
  EXPECT_FALSE(Driver->CanStartConversion());
  // Centred over the main window.
  EXPECT_EQ(Progress->Left(), 100 + (800 - Progress->Width()) / 2);
  EXPECT_EQ(Progress->Top(), 80 + (500 - Progress->Height()) / 2);
  ASSERT_TRUE(WaitIdle());

  std::vector<AnsiString> expected = {"enabled 0"};
  const char* names[] = {"a", "b", "c", "d", "e"};
  for (int i = 0; i < 5; ++i)
    expected.push_back(StateEvent(i, rsProcessed, Input + names[i] + ".pdf", Input + names[i] + ".doc", i + 1));
  expected.push_back("enabled 1");
  EXPECT_EQ(List.Events, expected);
  EXPECT_EQ(Progress->ProgressBar->Max(), 5);
  EXPECT_FALSE(Progress->Visible());
  EXPECT_TRUE(List.Main->Enabled());
  EXPECT_TRUE(Driver->CanStartConversion());
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(runs[i][1], Input + names[i] + ".pdf");
  for (const char* n : names) EXPECT_TRUE(fs::exists(Input + n + ".doc"));
  EXPECT_TRUE(Sounds.empty());
  EXPECT_TRUE(Boxes.empty());
  EXPECT_TRUE(Dialogs.empty());
}

TEST_F(Batch, ASecondBatchNumbersItsOutputsAndAnImageBatchItsOwnExtension) {
  Quiet();
  AddRows(Input, {"a.pdf", "b.pdf"});
  ASSERT_TRUE(Convert(ckTIFF));
  ASSERT_TRUE(Convert(ckTIFF));
  ASSERT_TRUE(Convert(ckImage));
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_EQ(runs[2][2], Input + "a(1).tiff");
  EXPECT_EQ(runs[3][2], Input + "b(1).tiff");
  EXPECT_EQ(runs[4][0], "IMAGE");
  EXPECT_EQ(runs[4][2], Input + "a.IMAGE");
  EXPECT_EQ(List.States(), (std::vector<Integer>{rsProcessed, rsProcessed}));
}

TEST_F(Batch, CancelDuringTheSecondRowLeavesItAndTheRestWaiting) {
  GlobalVars.PromptOpenOuput = true;
  GlobalVars.PlayASoundWhenFinished = true;
  // b.pdf's converter writes its output, then takes its time.
  SetConverterEnv("TC_WHEN", "b.pdf=late:30000");
  AddRows(Input, {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  ASSERT_TRUE(ConvertingRow(1));
  ASSERT_TRUE(RunUntil([&] { return fs::exists(Input + "b.doc"); }));
  const std::string picture = PictureDir() + "conversion-progress.png";
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Progress->Handle(), picture, true)) << picture;

  ClickCancel();
  EXPECT_TRUE(List.Main->Enabled());
  EXPECT_FALSE(Progress->Visible());
  ASSERT_TRUE(RunUntil([&] { return Driver->Runner()->State() == psIdle; }, 10000)) << "the converter was ended";
  Application->ProcessMessages();
  EXPECT_EQ(List.States(), (std::vector<Integer>{rsProcessed, rsWaiting, rsWaiting, rsWaiting, rsWaiting}));
  EXPECT_FALSE(fs::exists(Input + "b.doc")) << "the cancelled converter's output goes";
  EXPECT_TRUE(fs::exists(Input + "a.doc"));
  EXPECT_EQ(Runs().size(), 2u) << "no further row starts";
  EXPECT_TRUE(Sounds.empty());
  EXPECT_TRUE(Dialogs.empty());
  EXPECT_TRUE(Boxes.empty());
  EXPECT_TRUE(Driver->CanStartConversion());
}

TEST_F(Batch, ACancelledRowThatWasConvertedBeforeGoesBackToWaiting) {
  Quiet();
  AddRows(Input, {"a.pdf"});
  ASSERT_TRUE(Convert(ckWord));
  ASSERT_EQ(List.States(), std::vector<Integer>{rsProcessed});
  // The second time a.doc exists: the output is a(1).doc, and a.doc stays.
  SetConverterEnv("TC_WHEN", "a.pdf=late:30000");
  ASSERT_TRUE(Driver->Execute(ckWord));
  ASSERT_TRUE(RunUntil([&] { return fs::exists(Input + "a(1).doc"); }));
  ClickCancel();
  ASSERT_TRUE(RunUntil([&] { return Driver->Runner()->State() == psIdle; }, 10000));
  EXPECT_EQ(List.States(), std::vector<Integer>{rsWaiting});
  EXPECT_TRUE(fs::exists(Input + "a.doc")) << "only what the cancelled converter made goes";
  EXPECT_FALSE(fs::exists(Input + "a(1).doc"));
}

TEST_F(Batch, TheCommandsStayOffUntilTheCancelledConverterHasEnded) {
  Quiet();
  SetConverterEnv("TC_WHEN", "a.pdf=late:30000");
  AddRows(Input, {"a.pdf", "b.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  ASSERT_TRUE(RunUntil([&] { return fs::exists(Input + "a.doc"); }));
  Progress->ButtonStop->Click();
  EXPECT_TRUE(List.Main->Enabled());
  EXPECT_FALSE(Driver->BatchRunning());
  EXPECT_FALSE(Driver->CanStartConversion()) << "the killed converter's end has not arrived yet";
  ASSERT_TRUE(RunUntil([&] { return Driver->CanStartConversion(); }, 10000));
  EXPECT_EQ(List.States(), (std::vector<Integer>{rsWaiting, rsWaiting}));
  EXPECT_EQ(Runs().size(), 1u);
}

TEST_F(Batch, ALateEndOfACancelledConverterDoesNotTouchTheNewBatch) {
  Quiet();
  SetConverterEnv("TC_WHEN", "a.pdf=late:1500");
  AddRows(Input, {"a.pdf", "b.pdf", "c.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  ASSERT_TRUE(RunUntil([&] { return fs::exists(Input + "a.doc"); }));
  // Cancel, and a new batch at once, before the killed converter's end has
  // been seen.
  Progress->ButtonStop->Click();
  ASSERT_NE(Driver->Runner()->State(), psIdle) << "the cancelled converter has not been seen ending yet";
  List.Events.clear();
  ASSERT_TRUE(Driver->Execute(ckWord)) << "the batch waits for the runner";
  EXPECT_FALSE(List.Main->Enabled());
  EXPECT_TRUE(Progress->Visible());
  ASSERT_TRUE(WaitIdle());
  const auto runs = Runs();
  ASSERT_EQ(runs.size(), 4u);
  // The old converter's output went before the new batch named its own.
  EXPECT_EQ(runs[1][2], Input + "a.doc");
  EXPECT_EQ(List.Events, (std::vector<AnsiString>{
                             "enabled 0",
                             StateEvent(0, rsProcessed, Input + "a.pdf", Input + "a.doc", 1),
                             StateEvent(1, rsProcessed, Input + "b.pdf", Input + "b.doc", 2),
                             StateEvent(2, rsProcessed, Input + "c.pdf", Input + "c.doc", 3),
                             "enabled 1",
                         }));
}

TEST_F(Batch, ALateEndAfterRowsWereRemovedMarksNothing) {
  Quiet();
  SetConverterEnv("TC_WHEN", "c.pdf=late:30000");
  AddRows(Input, {"a.pdf", "b.pdf", "c.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  ASSERT_TRUE(ConvertingRow(2));
  Progress->ButtonStop->Click();
  // The window is usable again: the user removes rows at once.
  List.Rows.erase(List.Rows.begin(), List.Rows.begin() + 2);
  List.Events.clear();
  ASSERT_TRUE(RunUntil([&] { return Driver->Runner()->State() == psIdle; }, 10000));
  Application->ProcessMessages();
  EXPECT_TRUE(List.Events.empty()) << "the late end marks no row";
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(List.States(), std::vector<Integer>{rsWaiting});
}

TEST_F(Batch, AFailedRowKeepsTheExitCodeAndTheLastErrorLineAsItsHint) {
  Quiet();
  // Every run writes to its error output; the last line is what counts.
  SetConverterEnv("TC_SCRIPT", "err:reading input\\n;err:Cannot open file\\n\\n");
  SetConverterEnv("TC_WHEN", "b.pdf=exit:3;d.pdf=abort;e.pdf=nocreate");
  AddRows(Input, {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"});
  ASSERT_TRUE(Convert(ckExcel));
  struct TCase {
    TRowState State;
    const char* Hint;
  } cases[] = {
      {rsProcessed, ""},
      {rsFailed, "The converter failed with exit code 3.\nCannot open file"},
      {rsProcessed, ""},
      // Ended before it wrote anything.
      {rsFailed, "The converter was ended abnormally (exit code 0xC000013A)."},
      {rsFailed, "The converter ended without writing the output file.\nCannot open file"},
  };
  ASSERT_EQ(List.Rows.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(List.Rows[i].Name);
    EXPECT_EQ(List.Rows[i].State, cases[i].State);
    EXPECT_EQ(List.Rows[i].Hint, cases[i].Hint);
  }
  EXPECT_EQ(Driver->Failures(), 3);
  EXPECT_EQ(Driver->FailedNames(), (std::vector<AnsiString>{"b.pdf", "d.pdf", "e.pdf"}));

  // Converted again without a failure, the row forgets it.
  SetConverterEnv("TC_WHEN", "");
  ASSERT_TRUE(Convert(ckExcel));
  for (const TTestFileList::TRow& r : List.Rows) EXPECT_EQ(r.Hint, "") << r.Name;
}

// Clean, partly and wholly failed batches, told by the message box and by
// the completion dialog.
TEST_F(Batch, TheCompletionSaysFirstWhichFilesFailed) {
  struct TCase {
    const char* Name;
    std::vector<AnsiString> Rows;
    const char* When;
    AnsiString Summary;  // empty: a clean batch
  } cases[] = {
      {"clean", {"a.pdf", "b.pdf"}, "", ""},
      {"one of three", {"a.pdf", "b.pdf", "c.pdf"}, "b.pdf=exit:3", "1 of 3 files could not be converted:\nb.pdf"},
      {"the only one", {"a.pdf"}, "a.pdf=exit:1", "The file could not be converted:\na.pdf"},
      {"all of three", {"a.pdf", "b.pdf", "c.pdf"}, "a.pdf=exit:1;b.pdf=abort;c.pdf=nocreate",
       "None of the 3 files could be converted:\na.pdf\nb.pdf\nc.pdf"},
      {"more than three", {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf", "f.pdf"},
       "a.pdf=exit:1;b.pdf=exit:1;d.pdf=exit:1;e.pdf=exit:1;f.pdf=exit:1",
       "5 of 6 files could not be converted:\na.pdf\nb.pdf\nd.pdf\nand 2 more"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    List.Rows.clear();
    AddRows(Input, c.Rows);
    SetConverterEnv("TC_WHEN", c.When);
    const bool clean = c.Summary.empty();

    // Without the question: a message box, a warning when rows failed.
    GlobalVars.PromptOpenOuput = false;
    GlobalVars.PlayASoundWhenFinished = true;
    Boxes.clear();
    ASSERT_TRUE(Convert(ckWord));
    EXPECT_EQ(Boxes, (std::vector<AnsiString>{"Batch Test|" + (clean ? AnsiString("Conversion is complete.") : c.Summary) +
                                              "|" + std::to_string(clean ? MB_ICONINFORMATION : MB_ICONWARNING)}));

    // With the question: the dialog says it first, then asks.
    GlobalVars.PromptOpenOuput = true;
    Dialogs.clear();
    if (std::string(c.Name) == "all of three") DialogPicture = PictureDir() + "completion-failed.png";
    ASSERT_TRUE(Convert(ckWord));
    DialogPicture.clear();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Caption, clean ? "Conversion is complete" : kFailedCaption);
    EXPECT_EQ(Dialogs[0].Question, clean ? AnsiString(kOpenOutputQuestion) : c.Summary + "\n\n" + kFailedQuestion);
  }
}

TEST_F(Batch, AnOverwrittenOutputThatWasNotRewrittenIsAFailure) {
  Quiet();
  GlobalVars.OverwriteFile = true;
  AddRows(Input, {"a.pdf", "b.pdf"});
  WriteWholeFile(Input + "a.doc", "old");
  WriteWholeFile(Input + "b.doc", "old");
  fs::last_write_time(Input + "a.doc", fs::file_time_type::clock::now() - std::chrono::hours(1));
  fs::last_write_time(Input + "b.doc", fs::file_time_type::clock::now() - std::chrono::hours(1));
  SetConverterEnv("TC_WHEN", "b.pdf=nocreate");
  ASSERT_TRUE(Convert(ckWord));
  EXPECT_EQ(List.States(), (std::vector<Integer>{rsProcessed, rsFailed}));
  EXPECT_EQ(ReadWholeFile(Input + "a.doc"), "converted\n");
}

TEST_F(Batch, ARowWithoutAFreeOutputNameFailsWithAMessage) {
  Quiet();
  AddRows(Input, {"full.pdf", "ok.pdf"});
  WriteWholeFile(Input + "full.doc", "x");
  for (int n = 1; n <= 32767; ++n) WriteWholeFile(Input + "full(" + std::to_string(n) + ").doc", "x");
  ASSERT_TRUE(Convert(ckWord));
  EXPECT_EQ(List.States(), (std::vector<Integer>{rsFailed, rsProcessed}));
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("was not converted: every output name up to \"" + Input + "full(32767).doc\""),
            AnsiString::npos)
      << Boxes[0];
  EXPECT_EQ(ReadWholeFile(Input + "full(32767).doc"), "x") << "nothing was overwritten";
  EXPECT_EQ(Runs().size(), 1u);
}

// ---- The completion notification ----------------------------------------------------------

TEST_F(Batch, TheCompletionNotificationFollowsTheSettings) {
  struct Case {
    bool Prompt, Sound;
    TDialogAnswer Answer;
    std::vector<AnsiString> Order;
    bool PromptAfter;
  };
  const std::vector<Case> cases = {
      {true, true, daOpen, {"sound", "dialog", "shell"}, true},
      {true, true, daCancel, {"sound", "dialog"}, true},
      {true, false, daOpen, {"dialog", "shell"}, true},
      {true, false, daTickThenCancel, {"dialog"}, false},
      {false, true, daOpen, {"sound", "box"}, false},
      {false, false, daOpen, {}, false},
  };
  AddRows(Input, {"a.pdf"});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Prompt) + std::to_string(c.Sound) + std::to_string(c.Answer));
    Sounds.clear();
    Boxes.clear();
    Spawned.clear();
    Dialogs.clear();
    Order.clear();
    GlobalVars.PromptOpenOuput = c.Prompt;
    GlobalVars.PlayASoundWhenFinished = c.Sound;
    Answer = c.Answer;
    ASSERT_TRUE(Convert(ckWord));
    EXPECT_EQ(Order, c.Order);
    EXPECT_EQ(GlobalVars.PromptOpenOuput, c.PromptAfter);
    for (const TSoundCall& s : Sounds) EXPECT_EQ(s, (TSoundCall{skFile, Program + "done.wav", true}));
    for (const auto& argv : Spawned) EXPECT_EQ(argv, (std::vector<AnsiString>{"xdg-open", Input}));
    for (const AnsiString& b : Boxes) EXPECT_EQ(b, "Batch Test|Conversion is complete.|64");
    for (const TDialogSeen& d : Dialogs) {
      EXPECT_EQ(d.Caption, "Conversion is complete");
      EXPECT_EQ(d.Question, kOpenOutputQuestion) << "no failure, no extra line";
      EXPECT_FALSE(d.Checked);
      EXPECT_EQ(d.Bounds.Left, 100 + (800 - d.Bounds.Width()) / 2);
      EXPECT_EQ(d.Bounds.Top, 80 + (500 - d.Bounds.Height()) / 2);
    }
  }
}

TEST_F(Batch, AMissingSoundFilePlaysTheDefaultSound) {
  GlobalVars.PromptOpenOuput = false;
  fs::remove(Program + "done.wav");
  AddRows(Input, {"a.pdf"});
  ASSERT_TRUE(Convert(ckWord));
  EXPECT_EQ(Sounds, (std::vector<TSoundCall>{{skEvent, "bell", true}}));
}

TEST_F(Batch, RowsFromTwoFoldersOpenTheLastRowsFolder) {
  Answer = daOpen;
  DialogPicture = PictureDir() + "conversion-complete.png";
  AddRows(Root + "first/", {"a.pdf"});
  AddRows(Root + "second dir/", {"b.pdf"});
  ASSERT_TRUE(Convert(ckWord));
  EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", Root + "second dir/"}}));
  EXPECT_TRUE(fs::exists(Root + "first/a.doc"));
  EXPECT_TRUE(fs::exists(Root + "second dir/b.doc"));

  // With an output folder, that folder opens.
  Spawned.clear();
  GlobalVars.OutputSameAsInput = false;
  GlobalVars.OutputFolder = Root + "out";
  fs::create_directories(Root + "out");
  ASSERT_TRUE(Convert(ckWord));
  EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", Root + "out"}}));
  EXPECT_TRUE(fs::exists(Root + "out/b.doc"));
}

TEST_F(Batch, AMissingConverterShowsTheErrorAndCancelRecovers) {
  Quiet();
  fs::remove(Program + "ConvertZelvo.exe");
  AddRows(Input, {"a.pdf", "b.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  ASSERT_EQ(Errors.size(), 1u);
  // The path that was tried, then the system's reason.
  EXPECT_EQ(Errors[0].rfind("The converter \"" + Program + "ConvertZelvo.exe\" could not be started.\n", 0), 0u)
      << Errors[0];
  EXPECT_NE(Errors[0].find("Code: 2"), AnsiString::npos) << Errors[0];
  EXPECT_TRUE(Progress->Visible()) << "the batch stops at that row";
  EXPECT_FALSE(List.Main->Enabled());
  ClickCancel();
  EXPECT_FALSE(Progress->Visible());
  EXPECT_TRUE(List.Main->Enabled());
  EXPECT_TRUE(Driver->CanStartConversion());
  EXPECT_EQ(List.States(), (std::vector<Integer>{rsWaiting, rsWaiting}));
  EXPECT_TRUE(Sounds.empty());
}

// An output folder of its own is checked once, before anything runs.
TEST_F(Batch, TheOutputFolderIsMadeOrReportedBeforeTheBatch) {
  Quiet();
  WriteWholeFile(Root + "a file", "x");
  struct TCase {
    AnsiString Folder;
    AnsiString Problem;  // empty: the batch runs
  } cases[] = {
      {"", "No output folder is set."},
      {"   ", "No output folder is set."},
      {Root + "made/on/demand/", ""},
      {Root + "made too", ""},
      {Root + "a file", "The output folder \"" + Root + "a file\" is not a folder."},
      {Root + "a file/below/", "The output folder \"" + Root + "a file/below/\" cannot be created: Not a directory."},
      {"/sys/", "The output folder \"/sys/\" cannot be written to: Permission denied."},
  };
  AddRows(Input, {"a.pdf", "b.pdf"});
  GlobalVars.OutputSameAsInput = false;
  for (const TCase& c : cases) {
    SCOPED_TRACE("\"" + c.Folder + "\"");
    GlobalVars.OutputFolder = c.Folder;
    Boxes.clear();
    List.Events.clear();
    fs::remove(ArgvLog);
    if (c.Problem.empty()) {
      ASSERT_TRUE(Convert(ckWord));
      EXPECT_TRUE(Boxes.empty());
      EXPECT_TRUE(fs::exists(WithTrailingBackslash(c.Folder) + "a.doc"));
      EXPECT_TRUE(fs::exists(WithTrailingBackslash(c.Folder) + "b.doc"));
      continue;
    }
    EXPECT_FALSE(Driver->Execute(ckWord));
    EXPECT_EQ(Boxes, (std::vector<AnsiString>{"Batch Test|" + c.Problem +
                                              "\n\nNothing was converted. Please choose another output folder in "
                                              "Options.|" + std::to_string(MB_ICONWARNING)}));
    EXPECT_TRUE(List.Events.empty()) << "nothing started, the window stayed usable";
    EXPECT_FALSE(Progress->Visible());
    EXPECT_TRUE(Runs().empty());
  }
  EXPECT_TRUE(Errors.empty());
}

TEST_F(Batch, NothingStartsWithoutRowsOrDuringABatch) {
  Quiet();
  EXPECT_FALSE(Driver->Execute(ckWord));
  EXPECT_FALSE(Progress->Visible());
  SetConverterEnv("TC_WHEN", "a.pdf=sleep:300");
  AddRows(Input, {"a.pdf"});
  ASSERT_TRUE(Driver->Execute(ckWord));
  EXPECT_FALSE(Driver->Execute(ckExcel));
  EXPECT_EQ(GlobalVars.ConversionType, "WORD");
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Runs().size(), 1u);
}

}  // namespace
