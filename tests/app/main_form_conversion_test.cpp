// The conversion commands of the real main window: its rows go to the
// converter stand-in (placed as "ConvertZelvo.exe" where the driver looks
// for it), the state column shows each row's end, and the commands are off
// while a batch runs.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "../common/process_helpers.h"
#include "app/branding.h"
#include "app/end_signals.h"
#include "app/globals.h"
#include "app/main_form.h"
#include "app/progress_form.h"
#include "app_fixture.h"
#include "grid/nx_grid.h"
#include "platform/forms/actions.h"
#include "platform/forms/image_list.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/testing/user_testing.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/mmsystem.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_native.h"
#include "support/process_runner.h"
#include "tests/common/pictures.h"

namespace {

namespace fs = std::filesystem;

const char* const kConverterVars[] = {"TC_ARGV", "TC_CREATE_ARG", "TC_WHEN"};

class MainWindowConversion : public AppFolders {
 protected:
  TFormMain* Form = nullptr;
  TProgressForm* Progress = nullptr;
  AnsiString Program;  // where the converter lies, with a delimiter
  AnsiString Files;    // the listed files' folder, with a delimiter
  std::vector<AnsiString> Boxes;
  std::vector<AnsiString> Errors;

  void SetUp() override {
    AppFolders::SetUp();
    GlobalVars = TGlobalVars();
    Program = Root + "program/";
    Files = Root + "files/";
    fs::create_directories(Program.c_str());
    fs::create_directories(Files.c_str());
    fs::create_symlink(test_helpers::ConverterPath(), (Program + "ConvertZelvo.exe").c_str());
    setenv("TC_ARGV", (Root + "argv.log").c_str(), 1);
    setenv("TC_CREATE_ARG", "3", 1);
    Application->SetTitle("Conversion Test");
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
    SetMessageBoxHandler([this](const AnsiString& Text, const AnsiString&, Integer) {
      Boxes.push_back(Text);
      return IDOK;
    });
    rtl::detail::SetSoundHook([](const rtl::detail::TSoundCall&) {});
    WriteBrandingFile(BrandingFilePath(), "[SYSTEM]\nName=Conversion Test\n");
    // As the program does: the main window, then the progress window.
    Form = TCustomForm::Create<TFormMain>(nullptr);
    Progress = TCustomForm::Create<TProgressForm>(nullptr);
    Form->SetProgressForm(Progress);
    Form->Driver->SetProgramFolder(Program);
    // The settings' defaults would ask and play at the end.
    GlobalVars.PromptOpenOuput = false;
    GlobalVars.PlayASoundWhenFinished = false;
    Form->SetBounds(40, 30, 900, 560);
    Form->Show();
    Application->ProcessMessages();
  }

  void TearDown() override {
    TJvCreateProcess* Runner = Form->Driver->Runner();
    if (Runner->State() != psIdle) {
      try {
        Runner->TerminateChild();
      } catch (Exception&) {
      }
      RunUntil([&] { return Runner->State() == psIdle; });
    }
    Form->Free();
    Progress->Free();
    Application->ProcessMessages();
    rtl::detail::SetSoundHook(nullptr);
    SetMessageBoxHandler(nullptr);
    Application->OnException = {};
    for (const char* V : kConverterVars) unsetenv(V);
    DeleteFile(BrandingFilePath());
    AppFolders::TearDown();
  }

  void AddRows(std::initializer_list<const char*> Names) {
    for (const char* N : Names) {
      WriteWholeFile(Files + N, "%PDF-1.4\n");
      Form->AddFile(Files + N);
    }
  }
  bool RunUntil(const std::function<bool()>& Done, int Ms = 20000) {
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!Done()) {
      if (std::chrono::steady_clock::now() > End) return false;
      Application->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  bool BatchEnded() {
    return RunUntil([&] { return !Form->Driver->BatchRunning() && Form->Driver->Runner()->State() == psIdle; });
  }
  bool ConvertingRow(Integer Row) {
    return RunUntil(
        [&] { return Form->Driver->CurrentRow() == Row && Form->Driver->Runner()->State() == psWatching; });
  }
  std::vector<Integer> States() {
    std::vector<Integer> S;
    for (Integer R = 0; R < Form->FileGrid->RowCount(); ++R) S.push_back(Form->FileGrid->Cell(0, R)->AsInteger());
    return S;
  }
  std::vector<TAction*> ConversionCommands() {
    return {Form->actZelvoWord, Form->actZelvoExcel, Form->actZelvoHTML, Form->actZelvoImage, Form->actZelvoTIFF};
  }
  // The commands as the framework's idle update leaves them.
  std::vector<bool> CommandsEnabled() {
    Form->alActions->Actions(0)->Update();
    std::vector<bool> E;
    for (TAction* A : ConversionCommands()) E.push_back(A->Enabled());
    return E;
  }
  static std::vector<bool> All(bool Value) { return std::vector<bool>(5, Value); }
};

TEST_F(MainWindowConversion, EachCommandConvertsEveryRowAndIsOffWhileItsBatchRuns) {
  AddRows({"a.pdf", "b.pdf", "c.pdf"});
  // Command, the output extension.
  const struct {
    TAction* TFormMain::*Command;
    const char* Extension;
  } Cases[] = {
      {&TFormMain::actZelvoWord, ".doc"},  {&TFormMain::actZelvoExcel, ".xls"},
      {&TFormMain::actZelvoHTML, ".html"}, {&TFormMain::actZelvoImage, ".IMAGE"},
      {&TFormMain::actZelvoTIFF, ".tiff"},
  };
  // Each row waits a moment, so that the batch is seen running.
  setenv("TC_WHEN", "a.pdf=sleep:300", 1);
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Extension);
    for (Integer R = 0; R < 3; ++R) Form->FileGrid->Cell(0, R)->SetAsInteger(rsWaiting);
    EXPECT_EQ(CommandsEnabled(), All(true));
    ASSERT_TRUE((Form->*C.Command)->Execute());
    EXPECT_TRUE(Progress->Visible());
    EXPECT_FALSE(Form->Enabled()) << "the window refuses input during the batch";
    EXPECT_EQ(CommandsEnabled(), All(false));
    // A second command meanwhile starts nothing.
    EXPECT_FALSE(Form->Driver->Execute(ckWord));
    ASSERT_TRUE(BatchEnded());
    EXPECT_EQ(States(), (std::vector<Integer>{rsProcessed, rsProcessed, rsProcessed}));
    for (const char* N : {"a", "b", "c"}) EXPECT_TRUE(fs::exists((Files + N + C.Extension).c_str())) << N;
    EXPECT_TRUE(Form->Enabled());
    EXPECT_FALSE(Progress->Visible());
    EXPECT_EQ(CommandsEnabled(), All(true));
  }
  EXPECT_TRUE(Errors.empty()) << Errors.front();
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainWindowConversion, AFailingRowShowsTheFailedPictureAndTheOthersGoOn) {
  AddRows({"good.pdf", "bad.pdf", "crash.pdf", "last.pdf"});
  setenv("TC_WHEN", "bad.pdf=exit:3;crash.pdf=abort", 1);
  GlobalVars.PlayASoundWhenFinished = true;  // the message box names the failures
  ASSERT_TRUE(Form->Driver->Execute(ckWord));
  ASSERT_TRUE(BatchEnded());
  EXPECT_EQ(States(), (std::vector<Integer>{rsProcessed, rsFailed, rsFailed, rsProcessed}));
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "2 of 4 files could not be converted:\nbad.pdf\ncrash.pdf");
  // The failed picture is the state column's third.
  EXPECT_EQ(Form->cxImageList->Count(), 3);
  EXPECT_EQ(CommandsEnabled(), All(true));
}

// Whether the process runs: it exists and is not a zombie.
bool ProcessRuns(pid_t Pid) {
  std::ifstream Stat("/proc/" + std::to_string(Pid) + "/stat");
  std::string Text;
  if (!std::getline(Stat, Text)) return false;
  const size_t Paren = Text.rfind(')');
  return Paren != std::string::npos && Paren + 2 < Text.size() && Text[Paren + 2] != 'Z' && Text[Paren + 2] != 'X';
}

// The session ending (SIGTERM) or Ctrl+C (SIGINT) during a batch closes the
// window as its close box would: the settings are written, the batch ends
// and its converter does not outlive it.
TEST_F(MainWindowConversion, AnEndSignalDuringABatchClosesTheWindowAndEndsTheConverter) {
  for (int Signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(strsignal(Signal));
    Form->Show();
    Form->FileGrid->ClearRows();
    AddRows({"a.pdf", "b.pdf"});
    setenv("TC_WHEN", "a.pdf=sleep:600000", 1);
    ASSERT_TRUE(Form->actZelvoWord->Execute());
    ASSERT_TRUE(ConvertingRow(0));
    const pid_t Child = static_cast<pid_t>(Form->Driver->Runner()->ProcessInfo().dwProcessId);
    ASSERT_TRUE(ProcessRuns(Child));
    const AnsiString Mark = "/marked/by/" + std::to_string(Signal) + "/";
    GlobalVars.LastOpenDir = Mark;
    DeleteFile(SettingsFilePath("Conversion Test"));
    CloseOnEndSignals(Form->Handle());
    kill(getpid(), Signal);
    ASSERT_TRUE(RunUntil([&] { return !Form->Visible(); }));
    CloseOnEndSignals(nullptr);
    TMemIniFile Ini(SettingsFilePath("Conversion Test"));
    EXPECT_EQ(Ini.ReadString("System", "LastOpenDir", ""), Mark);
    EXPECT_FALSE(Progress->Visible());
    EXPECT_FALSE(Form->Driver->BatchRunning());
    EXPECT_TRUE(RunUntil([&] { return !ProcessRuns(Child); })) << "no converter left";
    EXPECT_EQ(States(), (std::vector<Integer>{rsWaiting, rsWaiting}));
    ASSERT_TRUE(BatchEnded());
  }
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(MainWindowConversion, CancelPutsTheRowBackAndTheCommandsWaitForTheConverterToEnd) {
  AddRows({"a.pdf", "b.pdf", "c.pdf"});
  // The second row's converter would take long, and ends slowly when told.
  setenv("TC_WHEN", "b.pdf=sleep:30000", 1);
  ASSERT_TRUE(Form->actZelvoWord->Execute());
  ASSERT_TRUE(ConvertingRow(1));
  rtl::testing::InjectClick(Progress->ButtonStop->ClientToScreen(TPoint(10, 10)));
  ASSERT_TRUE(RunUntil([&] { return !Progress->Visible(); }));
  EXPECT_TRUE(Form->Enabled());
  ASSERT_TRUE(BatchEnded());
  EXPECT_EQ(States(), (std::vector<Integer>{rsProcessed, rsWaiting, rsWaiting}));
  EXPECT_FALSE(fs::exists((Files + "b.doc").c_str()));
  EXPECT_EQ(CommandsEnabled(), All(true));
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainWindowConversion, WithoutRowsOrAProgressWindowNothingIsOffered) {
  EXPECT_EQ(CommandsEnabled(), All(false)) << "no rows";
  AddRows({"a.pdf"});
  EXPECT_EQ(CommandsEnabled(), All(true));
  Form->SetProgressForm(nullptr);
  EXPECT_EQ(CommandsEnabled(), All(false)) << "no progress window";
  EXPECT_FALSE(Form->Driver->Execute(ckWord));
  Form->SetProgressForm(Progress);
  EXPECT_EQ(CommandsEnabled(), All(true));
}

// Captures a window with its frame into a DIB section and copies it onto
// another's at the offset of their screen places.
bool SaveOverlayPng(HWND Below, HWND Above, const AnsiString& Path) {
  HBITMAP B = rtl::testing::CaptureWindow(Below, true);
  HBITMAP A = rtl::testing::CaptureWindow(Above, true);
  bool Ok = false;
  DIBSECTION DB{}, DA{};
  RECT RB{}, RA{};
  if (B && A && GetObjectA(B, sizeof DB, &DB) && GetObjectA(A, sizeof DA, &DA) && GetWindowRect(Below, &RB) &&
      GetWindowRect(Above, &RA)) {
    const int DX = RA.Left - RB.Left, DY = RA.Top - RB.Top;
    auto* PB = static_cast<uint8_t*>(DB.dsBm.bmBits);
    auto* PA = static_cast<const uint8_t*>(DA.dsBm.bmBits);
    for (int Y = 0; Y < DA.dsBm.bmHeight; ++Y) {
      const int TY = Y + DY;
      if (TY < 0 || TY >= DB.dsBm.bmHeight) continue;
      for (int X = 0; X < DA.dsBm.bmWidth; ++X) {
        const int TX = X + DX;
        if (TX < 0 || TX >= DB.dsBm.bmWidth) continue;
        std::memcpy(PB + TY * DB.dsBm.bmWidthBytes + TX * 4, PA + Y * DA.dsBm.bmWidthBytes + X * 4, 4);
      }
    }
    Ok = rtl::detail::WritePng(Path, PB, DB.dsBm.bmWidth, DB.dsBm.bmHeight, DB.dsBm.bmWidthBytes);
  }
  if (B) DeleteObject(B);
  if (A) DeleteObject(A);
  return Ok;
}

TEST_F(MainWindowConversion, PictureOfTheWindowDuringABatch) {
  AddRows({"annual report.pdf", "broken scan.pdf", "contract.pdf", "delivery note.pdf", "estimate.pdf"});
  setenv("TC_WHEN", "broken scan.pdf=exit:1;delivery note.pdf=sleep:30000", 1);
  ASSERT_TRUE(Form->Driver->Execute(ckWord));
  ASSERT_TRUE(ConvertingRow(3));
  EXPECT_EQ(States(), (std::vector<Integer>{rsProcessed, rsFailed, rsProcessed, rsWaiting, rsWaiting}));
  rtl::testing::RunUntilIdle();
  EXPECT_TRUE(SaveOverlayPng(Form->Handle(), Progress->Handle(), PictureDir() + "main-window-converting.png"));
  Form->Driver->ButtonStopClick(nullptr);
  ASSERT_TRUE(BatchEnded());
}

}  // namespace
