#include "conversion_fixture.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "../common/process_helpers.h"
#include "app/globals.h"
#include "app/open_output_confirmation.h"
#include "app/progress_form.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/fileutils.h"
#include "platform/win/user/standard_classes.h"
#include "platform/testing/user_testing.h"
#include "platform/win/shell/shellapi.h"
#include "support/process_runner.h"

namespace fs = std::filesystem;

namespace {
TGlobalVars SavedGlobals;
const char* const kConverterVars[] = {"TC_ARGV", "TC_CREATE_ARG", "TC_WHEN", "TC_EXIT", "TC_ABORT", "TC_SCRIPT"};
}  // namespace

// ---- The list -----------------------------------------------------------------------

void TTestFileList::SetRowState(Integer row, TRowState state) {
  TRow& r = Rows.at(static_cast<size_t>(row));
  r.State = state;
  AnsiString e = "state " + std::to_string(row) + " " + std::to_string(state);
  if (Progress)
    e += " | " + Progress->LabelConvertInfo->Caption() + " | " + std::to_string(Progress->ProgressBar->Position());
  Events.push_back(e);
}

TCustomForm* TTestFileList::Window() const { return Main; }

void TTestFileList::SetWindowEnabled(bool enabled) {
  Main->SetEnabled(enabled);
  Events.push_back(enabled ? "enabled 1" : "enabled 0");
}

std::vector<Integer> TTestFileList::States() const {
  std::vector<Integer> r;
  for (const TRow& row : Rows) r.push_back(row.State);
  return r;
}

// ---- The fixture -----------------------------------------------------------------------

void ConversionBatch::SetConverterEnv(const char* name, const AnsiString& value) {
  setenv(name, value.c_str(), 1);
}

void ConversionBatch::SetUp() {
  AppFolders::SetUp();
  SavedGlobals = GlobalVars;
  GlobalVars = TGlobalVars();
  Program = Root + "prog dir/";
  Input = Root + "in/";
  fs::create_directories(Program);
  fs::create_directories(Input);
  fs::create_symlink(test_helpers::ConverterPath(), Program + "ConvertZelvo.exe");
  WriteWholeFile(Program + "done.wav", "RIFF");
  ArgvLog = Root + "argv.log";
  SetConverterEnv("TC_ARGV", ArgvLog);
  SetConverterEnv("TC_CREATE_ARG", "3");

  SavedTitle = Application->Title();
  Application->SetTitle("Batch Test");
  List.Main = TCustomForm::Create<TForm>(nullptr);
  List.Main->SetCaption("Main");
  List.Main->SetBounds(100, 80, 800, 500);
  List.Main->Show();
  Progress = TCustomForm::Create<TProgressForm>(nullptr);
  List.Progress = Progress;
  Driver = new TConversionDriver(nullptr, List, Progress);
  Driver->SetProgramFolder(Program);

  rtl::detail::SetSoundHook([this](const rtl::detail::TSoundCall& c) {
    Sounds.push_back(c);
    Order.push_back("sound");
  });
  SetMessageBoxHandler([this](const AnsiString& Text, const AnsiString& Caption, Integer Flags) {
    Boxes.push_back(Caption + "|" + Text + "|" + std::to_string(Flags));
    Order.push_back("box");
    return IDOK;
  });
  rtl::detail::SetShellSpawnHook([this](const std::vector<AnsiString>& argv) {
    Spawned.push_back(argv);
    Order.push_back("shell");
    return 0;
  });
  Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
  Application->OnIdle = [this](TObject*, bool& Done) {
    TForm* main = List.Main;
    for (Integer i = 0; i < main->ComponentCount(); ++i) {
      auto* d = dynamic_cast<TFormOpenOutputConfirmation*>(main->Components(i));
      if (!d || !d->Visible() || d->ModalResult() != mrNone) continue;
      Order.push_back("dialog");
      Dialogs.push_back({d->Caption(), d->LabelQuestion->Caption(), d->CheckBoxDonotAskAgain->Checked(),
                         d->BoundsRect()});
      if (!DialogPicture.empty()) rtl::testing::SaveWindowPng(d->Handle(), DialogPicture, true);
      if (Answer == daTickThenCancel) {
        // Real clicks: the box, then the button.
        rtl::testing::InjectClick(d->CheckBoxDonotAskAgain->ClientToScreen(TPoint(6, 8)));
        Application->ProcessMessages();
        rtl::testing::InjectClick(d->ButtonCancel->ClientToScreen(TPoint(10, 10)));
        Application->ProcessMessages();
      } else {
        (Answer == daOpen ? d->ButtonOpen : d->ButtonCancel)->Click();
      }
      // The modal loop looks at its result once this idle turn returns.
      Done = false;
    }
  };
}

void ConversionBatch::TearDown() {
  Application->OnIdle = nullptr;
  Application->OnException = nullptr;
  rtl::detail::SetShellSpawnHook(nullptr);
  SetMessageBoxHandler(nullptr);
  // A converter still running ends with the test.
  if (Driver->Runner()->State() != psIdle) {
    try {
      Driver->Runner()->TerminateChild();
    } catch (Exception&) {
    }
    WaitIdle();
  }
  rtl::detail::SetSoundHook(nullptr);
  delete Driver;
  Progress->Free();
  List.Main->Free();
  for (const char* v : kConverterVars) unsetenv(v);
  GlobalVars = SavedGlobals;
  Application->SetTitle(SavedTitle);
  AppFolders::TearDown();
}

void ConversionBatch::AddRows(const AnsiString& folder, const std::vector<AnsiString>& names) {
  fs::create_directories(folder);
  for (const AnsiString& n : names) {
    if (!fs::exists(folder + n)) WriteWholeFile(folder + n, "%PDF-1.4\n");
    List.Rows.push_back({ExcludeTrailingPathDelimiter(folder), n, rsWaiting, AnsiString()});
  }
}

bool ConversionBatch::RunUntil(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool ConversionBatch::WaitIdle() {
  return RunUntil([&] { return Driver->Runner()->State() == psIdle && !Driver->BatchRunning(); });
}

bool ConversionBatch::Convert(TConversionKind kind) {
  if (!Driver->Execute(kind)) return false;
  return WaitIdle();
}

std::vector<std::vector<AnsiString>> ConversionBatch::Runs() const {
  const AnsiString data = ReadWholeFile(ArgvLog);
  std::vector<std::vector<AnsiString>> runs;
  size_t pos = 0;
  auto next = [&] {
    const size_t end = data.find('\0', pos);
    AnsiString s = data.substr(pos, end - pos);
    pos = end + 1;
    return s;
  };
  while (pos < data.size()) {
    const int count = std::stoi(next());
    std::vector<AnsiString> run;
    for (int i = 0; i < count; ++i) run.push_back(next());
    runs.push_back(run);
  }
  return runs;
}
