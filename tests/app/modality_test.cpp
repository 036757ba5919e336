// The main window while something modal runs: during a batch (the window
// disabled, the first converter held stopped) and under a modal dialog or
// message box, clicks, keys, drops and the window manager's close request
// on it change nothing; the keyboard's state after a dialog closed with
// Alt+F4; and the keys of the dialogs (Esc, Return, and the edit commands
// in numeric edits).
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "../common/process_helpers.h"
#include "app/branding.h"
#include "app/globals.h"
#include "app/main_form.h"
#include "app/main_window_standins.h"
#include "app/open_output_confirmation.h"
#include "app/options_form.h"
#include "app/progress_form.h"
#include "app_fixture.h"
#include "platform/forms/actions.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/fileutils.h"
#include "platform/testing/user_testing.h"
#include "platform/win/comdlg/commdlg.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/user/mmsystem.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_clipdata.h"
#include "platform/win/user/user_native.h"
#include "support/process_runner.h"

namespace {

namespace fs = std::filesystem;

const char* const kModalConverterVars[] = {"TC_ARGV", "TC_CREATE_ARG", "TC_WHEN"};

class Modality : public AppFolders {
 public:
  // Public: the attempts below act on the fixture they are given.
  TFormMain* Form = nullptr;
  TProgressForm* Progress = nullptr;
  AnsiString Program;  // where the converter lies, with a delimiter
  AnsiString Files;    // the listed files' folder, with a delimiter
  std::vector<AnsiString> Boxes;
  std::vector<AnsiString> Errors;
  std::vector<AnsiString> OpenRequests;
  // Modal forms that came up and were closed at once (their class names).
  std::vector<AnsiString> StrayForms;
  // What runs once a modal form is up (the form given); its form is then
  // left alone.
  std::function<void(TCustomForm*)> WhileModal;
  TCustomForm* Handling = nullptr;  // the form WhileModal runs for

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
    rtl::testing::SetExternalClipboard({});
    Application->SetTitle("Modal Test");
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
    SetMessageBoxHandler([this](const AnsiString& Text, const AnsiString&, Integer) {
      Boxes.push_back(Text);
      return IDYES;
    });
    rtl::detail::SetOpenFileHook([this](const rtl::detail::TOpenFileRequest&) {
      OpenRequests.push_back("open");
      return rtl::detail::TOpenFileAnswer{};
    });
    rtl::detail::SetSoundHook([](const rtl::detail::TSoundCall&) {});
    // A modal loop idles here: what it did must not leave the loop waiting.
    Application->OnIdle = [this](TObject*, bool& Done) {
      if (WatchModalForms()) Done = false;
    };
    WriteBrandingFile(BrandingFilePath(), "[SYSTEM]\nName=Modal Test\n");
    Form = TCustomForm::Create<TFormMain>(nullptr);
    Progress = TCustomForm::Create<TProgressForm>(nullptr);
    Form->SetProgressForm(Progress);
    Form->Driver->SetProgramFolder(Program);
    GlobalVars.PromptOpenOuput = false;
    GlobalVars.PlayASoundWhenFinished = false;
    GlobalVars.PromptRemove = true;
    Form->SetBounds(40, 30, 900, 560);
    Form->Show();
    Pump();
  }

  void TearDown() override {
    TJvCreateProcess* Runner = Form->Driver->Runner();
    if (Runner->State() != psIdle) {
      kill(static_cast<pid_t>(Runner->ProcessInfo().dwProcessId), SIGCONT);
      try {
        Runner->TerminateChild();
      } catch (Exception&) {
      }
      RunUntil([&] { return Runner->State() == psIdle; });
    }
    Application->OnIdle = {};
    Form->Free();
    Progress->Free();
    Pump();
    rtl::detail::SetSoundHook(nullptr);
    rtl::detail::SetOpenFileHook(nullptr);
    SetMessageBoxHandler(nullptr);
    rtl::testing::SetExternalClipboard({});
    Application->OnException = {};
    for (const char* V : kModalConverterVars) unsetenv(V);
    DeleteFile(BrandingFilePath());
    AppFolders::TearDown();
  }

  // A modal form that is not the one the test waits for is a fault: it is
  // noted and closed, so that the test goes on. True when it acted.
  bool WatchModalForms() {
    for (Integer I = 0; I < Screen->CustomFormCount(); ++I) {
      TCustomForm* F = Screen->CustomForms(I);
      if (F == Handling || !F->FormState().Contains(fsModal) || !F->Visible() || F->ModalResult() != mrNone) continue;
      if (WhileModal) {
        auto Run = std::move(WhileModal);
        WhileModal = nullptr;
        Handling = F;
        Run(F);
        Handling = nullptr;
        return true;
      }
      StrayForms.push_back(F->ClassName());
      F->SetModalResult(mrCancel);
      return true;
    }
    return false;
  }

  static void Pump() {
    Application->ProcessMessages();
    rtl::testing::RunUntilIdle();
    Application->ProcessMessages();
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
  void AddRows(std::initializer_list<const char*> Names) {
    for (const char* N : Names) {
      WriteWholeFile(Files + N, "%PDF-1.4\n");
      Form->AddFile(Files + N);
    }
  }
  // A point of the file list, which fills the window below the strip.
  POINT ListPoint() { return Form->ClientToScreen(TPoint(Form->ClientWidth() / 2, Form->ClientHeight() / 2)); }
  TButton* StripButton(TCustomAction* Action) {
    auto& Bars = dynamic_cast<TStandInBars&>(Form->Bars());
    for (TButton* B : Bars.CommandButtons())
      if (B->Action() == Action) return B;
    ADD_FAILURE() << "no button for " << Action->Caption();
    return nullptr;
  }
  void ClickButton(TCustomAction* Action) {
    if (TButton* B = StripButton(Action)) rtl::testing::InjectClick(B->ClientToScreen(TPoint(8, 8)));
  }
  void PutFileOnClipboard(const AnsiString& Path) {
    rtl::testing::SetExternalClipboard({{"text/uri-list", "file://" + Path + "\r\n"}});
  }
  pid_t ConverterPid() const { return static_cast<pid_t>(Form->Driver->Runner()->ProcessInfo().dwProcessId); }
};

// What a user may try on the main window while it is disabled.
struct TAttempt {
  const char* Name;
  std::function<void(Modality&)> Act;
};

class ModalityAttempts : public Modality {
 public:
  std::vector<TAttempt> Attempts() {
    const AnsiString Extra = Files + "extra.pdf";
    WriteWholeFile(Extra, "%PDF-1.4\n");
    return {
        {"click on Remove All", [](Modality& T) { T.ClickButton(T.Form->acRemoveAll); }},
        {"click on Remove", [](Modality& T) { T.ClickButton(T.Form->acRemove); }},
        {"click on Paste",
         [Extra](Modality& T) {
           T.PutFileOnClipboard(Extra);
           T.ClickButton(T.Form->actPaste);
         }},
        {"click on Add File(s)", [](Modality& T) { T.ClickButton(T.Form->acAddFiles); }},
        {"click on Options", [](Modality& T) { T.ClickButton(T.Form->acOptions); }},
        {"click on PDF to Word", [](Modality& T) { T.ClickButton(T.Form->actZelvoWord); }},
        {"right click in the list",
         [](Modality& T) {
           rtl::testing::InjectClick(T.ListPoint(), rtl::testing::ibRight);
         }},
        {"files dropped on the list",
         [Extra](Modality& T) {
           rtl::testing::InjectFileDrop(T.ListPoint(), {Extra});
         }},
        {"Delete, Ctrl+V and F4",
         [Extra](Modality& T) {
           T.PutFileOnClipboard(Extra);
           rtl::testing::InjectKeyPress(VK_DELETE);
           rtl::testing::InjectKey(VK_CONTROL, true);
           rtl::testing::InjectKeyPress('V');
           rtl::testing::InjectKey(VK_CONTROL, false);
           rtl::testing::InjectKeyPress(VK_F4);
         }},
        {"the window manager's close request",
         [](Modality& T) {
           rtl::testing::SimulateNativeInput(T.Form->Handle(), rtl::backend::neClose, POINT(0, 0));
         }},
    };
  }
};

TEST_F(ModalityAttempts, DuringABatchTheMainWindowTakesNoInputAndEveryRowIsConverted) {
  AddRows({"a.pdf", "b.pdf", "c.pdf", "d.pdf"});
  ASSERT_TRUE(Form->actZelvoWord->Execute());
  ASSERT_TRUE(RunUntil([&] { return Form->Driver->Runner()->State() == psWatching; }));
  // The first converter stays stopped while the user tries the window.
  ASSERT_EQ(kill(ConverterPid(), SIGSTOP), 0);
  EXPECT_FALSE(IsWindowEnabled(Form->Handle()));
  for (const TAttempt& A : Attempts()) {
    SCOPED_TRACE(A.Name);
    A.Act(*this);
    Pump();
    EXPECT_EQ(Form->RowCount(), 4);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_TRUE(OpenRequests.empty());
    EXPECT_TRUE(StrayForms.empty());
    EXPECT_TRUE(Form->Visible());
    EXPECT_TRUE(Form->Driver->BatchRunning());
    EXPECT_EQ(GlobalVars.ConversionType, "WORD");
    Boxes.clear();
    OpenRequests.clear();
    StrayForms.clear();
  }
  ASSERT_EQ(kill(ConverterPid(), SIGCONT), 0);
  ASSERT_TRUE(RunUntil([&] { return !Form->Driver->BatchRunning() && Form->Driver->Runner()->State() == psIdle; }));
  for (const char* N : {"a", "b", "c", "d"}) EXPECT_TRUE(fs::exists((Files + N + ".doc").c_str())) << N;
  EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(ModalityAttempts, UnderTheOptionsDialogTheMainWindowTakesNoInput) {
  AddRows({"a.pdf", "b.pdf"});
  bool Checked = false;
  WhileModal = [&](TCustomForm* Options) {
    EXPECT_EQ(Options->Name(), "FormOptions");
    EXPECT_FALSE(IsWindowEnabled(Form->Handle()));
    for (const TAttempt& A : Attempts()) {
      SCOPED_TRACE(A.Name);
      A.Act(*this);
      Pump();
      EXPECT_EQ(Form->RowCount(), 2);
      EXPECT_TRUE(Boxes.empty());
      EXPECT_TRUE(OpenRequests.empty());
      EXPECT_TRUE(StrayForms.empty());
      EXPECT_FALSE(Form->Driver->BatchRunning());
      EXPECT_TRUE(Options->Visible());
      Boxes.clear();
      OpenRequests.clear();
      StrayForms.clear();
    }
    Checked = true;
    Options->SetModalResult(mrCancel);
  };
  Form->acOptions->Execute();
  EXPECT_TRUE(Checked);
  EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(Modality, UnderAMessageBoxTheMainWindowTakesNoInput) {
  AddRows({"a.pdf", "b.pdf"});
  // "Are you sure?" is up: more clicks on Remove All ask nothing more.
  int Depth = 0, Asked = 0;
  SetMessageBoxHandler([&](const AnsiString& Text, const AnsiString&, Integer) {
    ++Asked;
    ++Depth;
    EXPECT_EQ(Text, "Are you sure?");
    EXPECT_FALSE(IsWindowEnabled(Form->Handle()));
    if (Depth == 1)
      for (int I = 0; I < 3; ++I) {
        ClickButton(Form->acRemoveAll);
        Pump();
      }
    --Depth;
    return IDNO;
  });
  ClickButton(Form->acRemoveAll);
  Pump();
  EXPECT_EQ(Asked, 1);
  EXPECT_EQ(Form->RowCount(), 2);
  EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
}

// ---- The keyboard after a dialog closed with Alt+F4 -------------------------------------------

struct TAltF4Case {
  const char* Name;
  // After Alt and F4 went down on the completion dialog (which closes on
  // them): their releases come to no window; or the display never tells of
  // them and reports Alt up with the next key.
  bool DisplayReports;
};

TEST_F(Modality, AfterTheCompletionDialogClosedWithAltF4F4ConvertsToExcel) {
  const TAltF4Case Cases[] = {
      {"the releases come while no window is active", false},
      {"the display reports Alt released with the next key", true},
  };
  AddRows({"a.pdf"});
  for (const TAltF4Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (C.DisplayReports && !rtl::testing::HasNativeWindow(Form->Handle())) continue;
    GlobalVars.PromptOpenOuput = true;
    GlobalVars.ConversionType = "";
    bool Closed = false;
    WhileModal = [&](TCustomForm* Dialog) {
      EXPECT_NE(dynamic_cast<TFormOpenOutputConfirmation*>(Dialog), nullptr);
      rtl::testing::InjectKey(VK_MENU, true);
      rtl::testing::InjectKey(VK_F4, true);
      Closed = true;
    };
    ASSERT_TRUE(Form->Driver->Execute(ckWord));
    ASSERT_TRUE(RunUntil([&] { return Closed && !Form->Driver->BatchRunning(); }));
    Pump();
    if (!C.DisplayReports) {
      // The dialog went away and the display took the program's activation
      // with it: the releases come while no window of ours is active.
      rtl::backend::TNativeEvent Out;
      Out.Kind = rtl::backend::neFocusOut;
      rtl::detail::HandleNativeEvent(Out);
      Pump();
      rtl::testing::InjectKey(VK_F4, false);
      rtl::testing::InjectKey(VK_MENU, false);
      Pump();
      EXPECT_GE(GetKeyState(VK_MENU), 0);
      SetActiveWindow(Form->Handle());
      Form->SetFocus();
      Pump();
    }
    EXPECT_TRUE(StrayForms.empty());
    ASSERT_TRUE(Form->Visible());
    GlobalVars.PromptOpenOuput = false;
    // The next F4, alone.
    if (C.DisplayReports) {
      const POINT P = Form->ClientToScreen(TPoint(100, 100));
      EXPECT_TRUE(rtl::testing::SimulateNativeInput(Form->Handle(), rtl::backend::neKeyDown, P, VK_F4, "", 0));
      EXPECT_TRUE(rtl::testing::SimulateNativeInput(Form->Handle(), rtl::backend::neKeyUp, P, VK_F4, "", 0));
    } else {
      rtl::testing::InjectKeyPress(VK_F4);
    }
    Pump();
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    EXPECT_GE(GetAsyncKeyState(VK_MENU), 0);
    EXPECT_TRUE(Form->Visible()) << "F4 closed the main window";
    EXPECT_EQ(GlobalVars.ConversionType, "EXCEL");
    ASSERT_TRUE(RunUntil([&] { return !Form->Driver->BatchRunning() && Form->Driver->Runner()->State() == psIdle; }));
    EXPECT_TRUE(fs::exists((Files + "a.xls").c_str()));
    DeleteFile(Files + "a.xls");
  }
}

// ---- The keys of the dialogs -----------------------------------------------------------------

struct TDialogKeyCase {
  const char* Name;
  // The control of the options dialog that has the focus.
  TWinControl* (*Focus)(TFormOptions*);
  UINT Key;
  bool Stored;  // the dialog closed with OK
};

TEST_F(Modality, EscCancelsAndReturnConfirmsTheOptionsDialogFromAnyControl) {
  const TDialogKeyCase Cases[] = {
      {"Esc on the tabs", [](TFormOptions* D) -> TWinControl* { return D->PageControl; }, VK_ESCAPE, false},
      {"Return on the tabs", [](TFormOptions* D) -> TWinControl* { return D->PageControl; }, VK_RETURN, true},
      {"Esc in a check box", [](TFormOptions* D) -> TWinControl* { return D->CheckBoxPromptRemove; }, VK_ESCAPE,
       false},
      {"Return in a check box", [](TFormOptions* D) -> TWinControl* { return D->CheckBoxPromptRemove; }, VK_RETURN,
       true},
      {"Esc in a numeric edit", [](TFormOptions* D) -> TWinControl* { return D->EditExcelLeftIndent; }, VK_ESCAPE,
       false},
      {"Return in a numeric edit", [](TFormOptions* D) -> TWinControl* { return D->EditExcelLeftIndent; }, VK_RETURN,
       true},
  };
  for (const TDialogKeyCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    GlobalVars.PromptRemove = false;
    bool Seen = false;
    WhileModal = [&](TCustomForm* Form) {
      auto* D = dynamic_cast<TFormOptions*>(Form);
      ASSERT_NE(D, nullptr);
      Seen = true;
      D->CheckBoxPromptRemove->SetChecked(true);
      TWinControl* Target = C.Focus(D);
      if (auto* Sheet = dynamic_cast<TTabSheet*>(Target->Parent()->Parent())) D->PageControl->SetActivePage(Sheet);
      Target->SetFocus();
      rtl::testing::InjectKeyPress(C.Key);
    };
    Form->acOptions->Execute();
    EXPECT_TRUE(Seen);
    EXPECT_EQ(GlobalVars.PromptRemove, C.Stored);
    EXPECT_TRUE(StrayForms.empty());
  }
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(Modality, EscAndReturnAnswerTheCompletionDialog) {
  std::vector<std::vector<AnsiString>> Spawned;
  rtl::detail::SetShellSpawnHook([&](const std::vector<AnsiString>& Argv) {
    Spawned.push_back(Argv);
    return 0;
  });
  AddRows({"a.pdf"});
  const struct {
    const char* Name;
    UINT Key;
    bool Opened;
  } Cases[] = {{"Esc", VK_ESCAPE, false}, {"Return", VK_RETURN, true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Spawned.clear();
    GlobalVars.PromptOpenOuput = true;
    bool Seen = false;
    WhileModal = [&](TCustomForm* Dialog) {
      EXPECT_NE(dynamic_cast<TFormOpenOutputConfirmation*>(Dialog), nullptr);
      Seen = true;
      rtl::testing::InjectKeyPress(C.Key);
    };
    ASSERT_TRUE(Form->Driver->Execute(ckWord));
    ASSERT_TRUE(RunUntil([&] { return Seen && !Form->Driver->BatchRunning(); }));
    Pump();
    EXPECT_TRUE(StrayForms.empty());
    EXPECT_EQ(Spawned.size(), C.Opened ? 1u : 0u);
    DeleteFile(Files + "a.doc");
  }
  rtl::detail::SetShellSpawnHook(nullptr);
}

TEST_F(Modality, NumericEditsTakeCtrlAAndCtrlVAndRefuseLetters) {
  bool Seen = false;
  WhileModal = [&](TCustomForm* Form) {
    auto* D = dynamic_cast<TFormOptions*>(Form);
    ASSERT_NE(D, nullptr);
    Seen = true;
    // "2048" on the clipboard, copied from another edit.
    HWND Source = D->EditOutputDir->Handle();
    SetWindowTextA(Source, "2048");
    SendMessageA(Source, EM_SETSEL, 0, -1);
    SendMessageA(Source, WM_COPY, 0, 0);
    D->PageControl->SetActivePage(D->TabSheetExcelOptions);
    TEdit* E = D->EditExcelLeftIndent;
    E->SetText("12");
    E->SetFocus();
    SendMessageA(E->Handle(), EM_SETSEL, 1, 1);
    const int Beeps = rtl::testing::BeepCount();
    rtl::testing::InjectKey(VK_CONTROL, true);
    rtl::testing::InjectKeyPress('A');
    rtl::testing::InjectKey(VK_CONTROL, false);
    Pump();
    DWORD From = 0, To = 0;
    SendMessageA(E->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&From), reinterpret_cast<LPARAM>(&To));
    EXPECT_EQ(From, 0u);
    EXPECT_EQ(To, 2u);
    rtl::testing::InjectKey(VK_CONTROL, true);
    rtl::testing::InjectKeyPress('V');
    rtl::testing::InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(E->Text(), "2048");
    EXPECT_EQ(rtl::testing::BeepCount(), Beeps);
    rtl::testing::InjectText("x");
    Pump();
    EXPECT_EQ(E->Text(), "2048");
    EXPECT_EQ(rtl::testing::BeepCount(), Beeps + 1);
    D->SetModalResult(mrCancel);
  };
  Form->acOptions->Execute();
  EXPECT_TRUE(Seen);
}

}  // namespace
