// The conversion driver: a batch over every row of the file list, one
// converter process per row, started one after another from the runner's
// termination event; the progress window with Cancel; numbered output
// names; the completion notification (sound, completion dialog or message
// box).
//
// A converter's end belongs to the batch and row that started it: once
// its batch was cancelled it marks nothing and starts nothing. A converter
// that exits with a non-zero code, is ended by a signal, or leaves no
// output file has failed: its row shows the failed picture, its hint says
// why (the exit code and the last line the converter wrote to its error
// output), and the completion notification names it. A batch into an
// output folder of its own starts only once that folder exists and can be
// written to.
//
// The main window implements IConversionFileList, makes the driver once
// in its creation handler, hands it the progress window made at start-up
// right after, calls Execute from each of the five conversion commands,
// and offers those commands only while CanStartConversion holds.
#pragma once

#include <cstdint>
#include <vector>

#include "app/branding.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

class TJvCreateProcess;
class TProgressForm;
class TCustomForm;

// The pictures of the file list's state column.
enum TRowState { rsWaiting = 0, rsProcessed = 1, rsFailed = 2 };

// What the driver needs of the main window and its file list.
class IConversionFileList {
 public:
  virtual ~IConversionFileList() = default;
  virtual Integer RowCount() const = 0;
  // The texts of the name column (1) and the folder column (2), in the
  // system's 8-bit code page.
  virtual AnsiString RowFileName(Integer row) const = 0;
  virtual AnsiString RowFolder(Integer row) const = 0;
  virtual void SetRowState(Integer row, TRowState state) = 0;
  // What went wrong with the row's last conversion, shown as its hint;
  // empty when nothing did.
  virtual void SetRowHint(Integer row, const AnsiString& hint) = 0;
  // The main window, which refuses input while a batch runs; the progress
  // window and the completion dialog are centred over it, and the dialog
  // is owned by it.
  virtual TCustomForm* Window() const = 0;
  virtual void SetWindowEnabled(bool enabled) = 0;
};

RTL_EXCEPTION(EOutputNameError, Exception)

// The type word of a conversion ("WORD", "EXCEL", "HTML", "IMAGE",
// "MultipageTIFF") and the extension of its output (".doc", ".xls",
// ".html", ".IMAGE", ".tiff"; empty for an unknown word).
AnsiString ConversionTypeWord(TConversionKind kind);
AnsiString OutputExtension(const AnsiString& typeWord);

// A file's name without its extension (the part from the name's last dot
// on): "a.b.pdf" gives "a.b".
AnsiString BaseNameOf(const AnsiString& fileName);

// The output path of an input file: the input's folder (OutputSameAsInput)
// or OutputFolder, the input's base name and the extension. Unless
// OverwriteFile is on, an existing name is numbered "name(1).ext",
// "name(2).ext", ... up to 32767; when every one of those exists too,
// raises EOutputNameError rather than overwrite a file.
AnsiString MakeOutputPath(const AnsiString& input, const AnsiString& extension);

// One argument in double quotes, written so that the process layer's
// splitting gives back its bytes unchanged: a quote inside is escaped with
// a backslash, and backslashes are doubled where they stand before a quote
// (also before the closing one). Other bytes are taken as they are.
AnsiString QuoteArgument(const AnsiString& arg);

// The converter's command line: the converter's path, quoted, then the
// 23 quoted arguments of the batch's type and options (GlobalVars),
// separated by one blank, two after the 6th and the 15th.
AnsiString ConverterCommandLine(const AnsiString& converter, const AnsiString& typeWord, const AnsiString& input,
                                const AnsiString& output, const AnsiString& title);

class TConversionDriver : public TComponent {
  RTL_CLASS(TConversionDriver, TComponent)

 public:
  // The progress window is the program's, made at start-up; the driver
  // only shows and hides it (and starts nothing without it). The runner is
  // the driver's own.
  TConversionDriver(TComponent* AOwner, IConversionFileList& List, TProgressForm* Progress);
  ~TConversionDriver() override;
  // The program makes the progress window after the main window, whose
  // creation makes the driver: it is handed over then.
  void SetProgress(TProgressForm* Progress);

  // The five conversion commands: sets GlobalVars.ConversionType and starts
  // a batch. False when nothing started (no rows, or a batch runs).
  bool Execute(TConversionKind kind);
  // Whether the conversion commands may be offered: there is a progress
  // window, no batch runs and no cancelled converter is still ending.
  bool CanStartConversion() const;
  bool BatchRunning() const { return FRunning; }

  // Starts a batch of every row at row 0 with GlobalVars.ConversionType.
  // When a cancelled converter is still ending, the first row starts once
  // it has ended. An output folder that is missing is made first; one that
  // cannot be made or written to is reported, and nothing starts.
  bool StartConversion();
  // Starts the converter for the current row; a row without a free output
  // name fails with a message and the next is tried.
  void ConvertCurrentRow();
  // The runner's OnTerminate.
  void JvCreateProcessTerminate(TObject* Sender, Cardinal ExitCode);
  // The progress window's Cancel.
  void ButtonStopClick(TObject* Sender);

  // The folder of the converter and of "done.wav": the executable's folder
  // unless set (tests, benchmarks).
  const AnsiString& ProgramFolder() const { return FProgramFolder; }
  void SetProgramFolder(const AnsiString& folder);
  AnsiString ConverterPath() const;

  TJvCreateProcess* Runner() const { return FRunner; }
  TProgressForm* Progress() const { return FProgress; }
  Integer CurrentRow() const { return FCurrentRow; }
  // Rows of the last batch that could not be converted, and their names.
  Integer Failures() const { return FFailures; }
  const std::vector<AnsiString>& FailedNames() const { return FFailedNames; }

 private:
  IConversionFileList& FList;
  TProgressForm* FProgress = nullptr;
  TJvCreateProcess* FRunner;
  AnsiString FProgramFolder;

  // The batch: its number, the current row, whether it was cancelled.
  uint64_t FBatch = 0;
  Integer FCurrentRow = 0;
  bool FCancelled = false;
  bool FRunning = false;
  Integer FFailures = 0;
  std::vector<AnsiString> FFailedNames;
  // The last line the running converter wrote to its error output.
  AnsiString FLastErrorLine;
  // The first row waits for a cancelled converter to end.
  bool FStartPending = false;

  // The converter running, if any: its batch and row, its output and what
  // stood at the output's path before it started.
  struct TRunningRow {
    uint64_t Batch = 0;
    Integer Row = -1;
    AnsiString Output;
    bool OutputExisted = false;
    int64_t OutputTimeBefore = 0;
  } FConverter;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ShowProgress();
  void FinishBatch();
  void NotifyCompletion(const AnsiString& lastFolder);
  bool RowSucceeded(Cardinal ExitCode) const;
  void RowFailed(Integer row, const AnsiString& why);
  bool CheckOutputFolder();
  void JvCreateProcessErrorRead(TObject* Sender, const AnsiString& S, bool StartsOnNewLine);
  void RemoveCancelledOutput();
};

// What the completion dialog and the message box say first when rows
// failed: how many of the batch's files, and the first few names; empty
// for none.
AnsiString FailureSummary(const std::vector<AnsiString>& failedNames, Integer total);

// The hint of a row whose converter failed: its exit code (or, for a
// clean exit, that it wrote no output file) and the last line of its error
// output.
AnsiString ConverterFailureText(Cardinal exitCode, const AnsiString& lastErrorLine);
