#include "app/conversion_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/globals.h"
#include "app/open_output_confirmation.h"
#include "app/progress_form.h"
#include "app/util_funcs.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "support/process_runner.h"
#include "platform/win/user/mmsystem.h"

RTL_IMPLEMENT_CLASS(EOutputNameError)
RTL_IMPLEMENT_CLASS(TConversionDriver)

namespace {

// The last numbered candidate of an output name.
constexpr Integer kLastNumber = 32767;

struct TConversionType {
  TConversionKind Kind;
  const char* Word;
  const char* Extension;
};

const TConversionType kTypes[] = {
    {ckWord, "WORD", ".doc"},        {ckExcel, "EXCEL", ".xls"},          {ckHTML, "HTML", ".html"},
    {ckImage, "IMAGE", ".IMAGE"},    {ckTIFF, "MultipageTIFF", ".tiff"},
};

// Anything at the path, a dangling link included: writing there would
// replace or reach something.
bool PathTaken(const AnsiString& path) {
  struct stat st = {};
  return lstat(path.c_str(), &st) == 0;
}

// A regular file's modification time in nanoseconds; false when none is
// there.
bool RegularFileTime(const AnsiString& path, int64_t& time) {
  struct stat st = {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  time = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

AnsiString Decimal(Integer n) { return std::to_string(n); }

}  // namespace

// ---- Names and the command line ------------------------------------------------------

AnsiString ConversionTypeWord(TConversionKind kind) {
  for (const TConversionType& t : kTypes)
    if (t.Kind == kind) return t.Word;
  return AnsiString();
}

AnsiString OutputExtension(const AnsiString& typeWord) {
  for (const TConversionType& t : kTypes)
    if (typeWord == t.Word) return t.Extension;
  return AnsiString();
}

AnsiString BaseNameOf(const AnsiString& fileName) {
  const size_t dot = fileName.rfind('.');
  return dot == AnsiString::npos ? fileName : fileName.substr(0, dot);
}

AnsiString MakeOutputPath(const AnsiString& input, const AnsiString& extension) {
  const TGlobalVars& g = GlobalVars;
  const AnsiString folder = WithTrailingBackslash(g.OutputSameAsInput ? ExtractFilePath(input) : g.OutputFolder);
  const AnsiString base = BaseNameOf(ExtractFileName(input));
  const AnsiString first = folder + base + extension;
  if (g.OverwriteFile || !PathTaken(first)) return first;
  AnsiString candidate;
  for (Integer n = 1; n <= kLastNumber; ++n) {
    candidate = folder + base + "(" + Decimal(n) + ")" + extension;
    if (!PathTaken(candidate)) return candidate;
  }
  // The last candidate exists too: overwriting it is not allowed.
  throw EOutputNameError("The file \"" + input + "\" was not converted: every output name up to \"" + candidate +
                         "\" exists already.");
}

AnsiString QuoteArgument(const AnsiString& arg) {
  AnsiString r = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      r.append(2 * backslashes + 1, '\\');
    } else {
      r.append(backslashes, '\\');
    }
    r += c;
    backslashes = 0;
  }
  // Before the closing quote every backslash is doubled.
  r.append(2 * backslashes, '\\');
  r += '"';
  return r;
}

AnsiString ConverterCommandLine(const AnsiString& converter, const AnsiString& typeWord, const AnsiString& input,
                                const AnsiString& output, const AnsiString& title) {
  // The program's name is taken up to its closing quote, with no escapes:
  // a quote in it would move every argument.
  if (converter.find('"') != AnsiString::npos)
    throw EOutputNameError("The converter \"" + converter + "\" cannot be started from a folder whose name holds \".");
  const TGlobalVars& g = GlobalVars;
  const AnsiString args[23] = {
      typeWord,
      input,
      output,
      g.WordAllPages ? AnsiString("-1") : Decimal(g.WordFromPage),
      g.WordAllPages ? AnsiString("-1") : Decimal(g.WordToPage),
      g.WordRenderMode,
      Decimal(g.ExcelLeftIndent),
      Decimal(g.ExcelTopIndent),
      g.ExcelRenderMode,
      g.ExcelPutAllToSign ? "SingleSheet" : "NotSingleSheet",
      Decimal(g.ExcelSpacing),
      g.HTMLPreserveImages ? "PreserveImages" : "NotPreserveImages",
      g.HTMLIncludeImage ? "IncludeImagesInHTML" : "NotIncludeImagesInHTML",
      Decimal(g.HTMLQuality),
      title,
      g.ImageFormat,
      Decimal(g.ImageDPI),
      g.ImageColorDepth,
      g.ImageResizingMode,
      Decimal(g.ImageResizeTo),
      Decimal(g.TIFFDPI),
      g.TIFFColorDepth,
      g.TIFFCompressType,
  };
  AnsiString line = "\"" + converter + "\"";
  for (int i = 0; i < 23; ++i) {
    // Two blanks after the 6th and the 15th argument.
    line += (i == 6 || i == 15) ? "  " : " ";
    line += QuoteArgument(args[i]);
  }
  return line;
}

AnsiString FailureSummary(const std::vector<AnsiString>& failedNames, Integer total) {
  const Integer failed = static_cast<Integer>(failedNames.size());
  if (failed == 0) return AnsiString();
  // A few names are enough to find the rows; the list shows the rest.
  constexpr Integer kNamesShown = 3;
  AnsiString r;
  if (failed == 1 && total == 1)
    r = "The file could not be converted:";
  else if (failed == total)
    r = "None of the " + Decimal(total) + " files could be converted:";
  else
    r = Decimal(failed) + " of " + Decimal(total) + (total == 1 ? " file" : " files") + " could not be converted:";
  for (Integer i = 0; i < failed && i < kNamesShown; ++i) r += "\n" + failedNames[static_cast<size_t>(i)];
  if (failed > kNamesShown) r += "\nand " + Decimal(failed - kNamesShown) + " more";
  return r;
}

AnsiString ConverterFailureText(Cardinal exitCode, const AnsiString& lastErrorLine) {
  AnsiString r;
  // A clean exit fails only for want of a (new) output file.
  if (exitCode == 0)
    r = "The converter ended without writing the output file.";
  else if (exitCode == STATUS_CONTROL_C_EXIT)
    r = "The converter was ended abnormally (exit code 0xC000013A).";
  else
    r = "The converter failed with exit code " + std::to_string(exitCode) + ".";
  if (!lastErrorLine.empty()) r += "\n" + lastErrorLine;
  return r;
}

// ---- The driver -------------------------------------------------------------------------

TConversionDriver::TConversionDriver(TComponent* AOwner, IConversionFileList& List, TProgressForm* Progress)
    : TComponent(AOwner), FList(List) {
  FRunner = new TJvCreateProcess(this);
  FRunner->OnTerminate = TJvCPSTerminateEvent(this, &TConversionDriver::JvCreateProcessTerminate);
  FRunner->SetOnErrorRead(TJvCPSReadEvent(this, &TConversionDriver::JvCreateProcessErrorRead));
  SetProgress(Progress);
  FProgramFolder = WithTrailingBackslash(ExtractFilePath(ParamStr(0)));
}

TConversionDriver::~TConversionDriver() {
  // A converter still running is left to itself; its end reports nowhere.
  FRunner->OnTerminate = nullptr;
  SetProgress(nullptr);
}

void TConversionDriver::SetProgress(TProgressForm* Progress) {
  if (Progress == FProgress) return;
  if (FProgress) {
    FProgress->RemoveFreeNotification(this);
    if (FProgress->OnStop == TNotifyEvent(this, &TConversionDriver::ButtonStopClick)) FProgress->OnStop = nullptr;
  }
  FProgress = Progress;
  if (FProgress) {
    FProgress->OnStop = TNotifyEvent(this, &TConversionDriver::ButtonStopClick);
    FProgress->FreeNotification(this);
  }
}

void TConversionDriver::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FProgress) FProgress = nullptr;
}

void TConversionDriver::SetProgramFolder(const AnsiString& folder) { FProgramFolder = WithTrailingBackslash(folder); }

AnsiString TConversionDriver::ConverterPath() const { return FProgramFolder + "ConvertZelvo.exe"; }

bool TConversionDriver::CanStartConversion() const {
  return FProgress && !FRunning && FRunner->State() == psIdle;
}

bool TConversionDriver::Execute(TConversionKind kind) {
  if (FRunning) return false;
  GlobalVars.ConversionType = ConversionTypeWord(kind);
  return StartConversion();
}

void TConversionDriver::ShowProgress() {
  TProgressForm* p = FProgress;
  if (TCustomForm* main = FList.Window()) {
    p->SetLeft(main->Left() + (main->Width() - p->Width()) / 2);
    p->SetTop(main->Top() + (main->Height() - p->Height()) / 2);
  }
  p->Show();
}

bool TConversionDriver::CheckOutputFolder() {
  const TGlobalVars& g = GlobalVars;
  if (g.OutputSameAsInput) return true;
  const AnsiString folder = Trim(g.OutputFolder);
  AnsiString problem;
  if (folder.empty()) {
    problem = "No output folder is set.";
  } else {
    std::error_code error;
    const std::filesystem::path path(ExcludeTrailingPathDelimiter(folder));
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
      error.clear();
      // A folder that was removed or never made: made now, as the user
      // asked for the outputs to go there.
      std::filesystem::create_directories(path, error);
      if (error) problem = "The output folder \"" + folder + "\" cannot be created: " + error.message() + ".";
    } else if (!std::filesystem::is_directory(status)) {
      problem = "The output folder \"" + folder + "\" is not a folder.";
    }
    if (problem.empty()) {
      // Trying is the only sure test: permissions, read-only mounts and
      // special file systems all answer here.
      AnsiString probe = WithTrailingBackslash(folder) + ".write-test-XXXXXX";
      const int fd = mkstemp(probe.data());
      if (fd < 0) {
        problem = "The output folder \"" + folder + "\" cannot be written to: " + std::strerror(errno) + ".";
      } else {
        close(fd);
        unlink(probe.c_str());
      }
    }
  }
  if (problem.empty()) return true;
  Application->MessageBox(problem + "\n\nNothing was converted. Please choose another output folder in Options.",
                          Application->Title(), MB_OK | MB_ICONWARNING);
  return false;
}

bool TConversionDriver::StartConversion() {
  const Integer count = FList.RowCount();
  if (FRunning || count <= 0 || !FProgress) return false;
  if (!CheckOutputFolder()) return false;
  ++FBatch;
  FCurrentRow = 0;
  FCancelled = false;
  FRunning = true;
  FFailures = 0;
  FFailedNames.clear();
  FProgress->ProgressBar->SetParams(0, count);
  FProgress->ProgressBar->SetPosition(0);
  ShowProgress();
  FList.SetWindowEnabled(false);
  if (FRunner->State() != psIdle) {
    // A cancelled converter is still ending; its end starts this batch.
    FStartPending = true;
    return true;
  }
  ConvertCurrentRow();
  return true;
}

void TConversionDriver::ConvertCurrentRow() {
  FStartPending = false;
  while (FRunning && !FCancelled) {
    if (FCurrentRow >= FList.RowCount()) {
      FinishBatch();
      return;
    }
    const Integer row = FCurrentRow;
    const AnsiString name = FList.RowFileName(row);
    const AnsiString input = WithTrailingBackslash(FList.RowFolder(row)) + name;
    if (FProgress) FProgress->ProgressBar->SetPosition(row + 1);
    AnsiString output;
    try {
      output = MakeOutputPath(input, OutputExtension(GlobalVars.ConversionType));
    } catch (EOutputNameError& e) {
      RowFailed(row, e.Message());
      Application->MessageBox(e.Message(), Application->Title(), MB_OK | MB_ICONWARNING);
      ++FCurrentRow;
      continue;
    }
    const AnsiString title = GlobalVars.HTMLTitleUseFileName ? BaseNameOf(name) : GlobalVars.HTMLTitleCustom;
    if (FProgress) FProgress->ShowConvertInfo(input, output);

    FConverter = TRunningRow();
    FConverter.Batch = FBatch;
    FConverter.Row = row;
    FConverter.Output = output;
    FConverter.OutputExisted = PathTaken(output);
    RegularFileTime(output, FConverter.OutputTimeBefore);
    FLastErrorLine.clear();
    try {
      const AnsiString line = ConverterCommandLine(ConverterPath(), GlobalVars.ConversionType, input, output, title);
      // The program is named apart from the line, so that nothing in the
      // line can choose another one.
      FRunner->SetApplicationName(ConverterPath());
      FRunner->SetCommandLine(line);
      TJvConsoleOptions options = FRunner->ConsoleOptions();
      options.Include(coRedirect);
      // The error output apart, so that a failed row can tell why.
      options.Include(coSeparateError);
      FRunner->SetConsoleOptions(options);
      FRunner->StartupInfo()->SetShowWindow(swHide);
      FRunner->StartupInfo()->SetDefaultWindowState(false);
      FRunner->Start();
    } catch (EOSError& e) {
      // The system's error alone does not say which program was missing.
      FConverter = TRunningRow();
      e.SetMessage("The converter \"" + ConverterPath() + "\" could not be started.\n" + e.Message());
      Application->HandleException(this);
    } catch (Exception&) {
      // The batch stops here with the progress window open; Cancel
      // recovers the window.
      FConverter = TRunningRow();
      Application->HandleException(this);
    }
    return;
  }
}

bool TConversionDriver::RowSucceeded(Cardinal ExitCode) const {
  if (ExitCode != 0) return false;
  // Which files an image conversion writes is the converter's choice.
  if (GlobalVars.ConversionType == "IMAGE") return true;
  int64_t time = 0;
  if (!RegularFileTime(FConverter.Output, time)) return false;
  return !FConverter.OutputExisted || time != FConverter.OutputTimeBefore;
}

void TConversionDriver::RowFailed(Integer row, const AnsiString& why) {
  FList.SetRowState(row, rsFailed);
  FList.SetRowHint(row, why);
  ++FFailures;
  FFailedNames.push_back(FList.RowFileName(row));
}

void TConversionDriver::JvCreateProcessErrorRead(TObject*, const AnsiString& S, bool) {
  // A line is handed over again as it grows; blank lines say nothing.
  const AnsiString line = Trim(S);
  if (!line.empty()) FLastErrorLine = line;
}

void TConversionDriver::RemoveCancelledOutput() {
  if (!FConverter.Output.empty() && !FConverter.OutputExisted && PathTaken(FConverter.Output))
    DeleteFile(FConverter.Output);
}

void TConversionDriver::JvCreateProcessTerminate(TObject*, Cardinal ExitCode) {
  if (FConverter.Batch == 0) return;
  if (FConverter.Batch != FBatch || FCancelled) {
    // A cancelled converter: its row went back to waiting at Cancel, and
    // what it left at a new name goes.
    RemoveCancelledOutput();
    FConverter = TRunningRow();
    if (FStartPending && FRunning) ConvertCurrentRow();
    return;
  }
  const bool ok = RowSucceeded(ExitCode);
  const Integer row = FConverter.Row;
  FConverter = TRunningRow();
  if (ok) {
    FList.SetRowState(row, rsProcessed);
    FList.SetRowHint(row, AnsiString());
  } else {
    RowFailed(row, ConverterFailureText(ExitCode, FLastErrorLine));
  }
  ++FCurrentRow;
  ConvertCurrentRow();
}

void TConversionDriver::ButtonStopClick(TObject*) {
  if (FRunner->State() != psIdle) {
    try {
      FRunner->TerminateChild();
    } catch (Exception&) {
      // The child ended by itself meanwhile; its end is on its way.
    }
  }
  if (FRunning && !FStartPending && FCurrentRow < FList.RowCount()) FList.SetRowState(FCurrentRow, rsWaiting);
  FCancelled = true;
  FRunning = false;
  FStartPending = false;
  FList.SetWindowEnabled(true);
  if (FProgress) FProgress->Hide();
}

void TConversionDriver::FinishBatch() {
  FRunning = false;
  FList.SetWindowEnabled(true);
  if (FProgress) FProgress->Hide();
  const Integer count = FList.RowCount();
  NotifyCompletion(count > 0 ? WithTrailingBackslash(FList.RowFolder(count - 1)) : AnsiString());
}

void TConversionDriver::NotifyCompletion(const AnsiString& lastFolder) {
  TGlobalVars& g = GlobalVars;
  const AnsiString sound = FProgramFolder + "done.wav";
  if (g.PromptOpenOuput) {
    if (g.PlayASoundWhenFinished) sndPlaySound(sound.c_str(), SND_ASYNC);
    TCustomForm* main = FList.Window();
    auto* dialog = TCustomForm::Create<TFormOpenOutputConfirmation>(main);
    TScopeExit Free([&] { dialog->Free(); });
    dialog->ShowFailures(FailureSummary(FFailedNames, FList.RowCount()));
    if (main) {
      dialog->SetTop(main->Top() + (main->Height() - dialog->Height()) / 2);
      dialog->SetLeft(main->Left() + (main->Width() - dialog->Width()) / 2);
    }
    dialog->CheckBoxDonotAskAgain->SetChecked(!g.PromptOpenOuput);
    if (dialog->ShowModal() == mrOk) {
      g.PromptOpenOuput = !dialog->CheckBoxDonotAskAgain->Checked();
      const AnsiString folder = g.OutputSameAsInput ? lastFolder : g.OutputFolder;
      BeginBusy();
      TScopeExit Done([] { EndBusy(); });
      ShellOpen(folder);
    }
  } else if (g.PlayASoundWhenFinished) {
    sndPlaySound(sound.c_str(), SND_ASYNC);
    if (FFailedNames.empty())
      Application->MessageBox("Conversion is complete.", Application->Title(), MB_OK | MB_ICONINFORMATION);
    else
      Application->MessageBox(FailureSummary(FFailedNames, FList.RowCount()), Application->Title(),
                              MB_OK | MB_ICONWARNING);
  }
}
