// The child-process runner: starts a program from a command line, connects
// its standard streams to pipes when asked, hands its output to the
// user-interface thread as raw chunks and as assembled lines, and tells of
// its end with the exit code, on the user-interface thread.
//
// One shared service thread watches every child and reads every pipe (see
// process_threads.h); it hands its work to the user-interface thread
// through a hidden utility window: WM_USER + 1 when output is waiting, and
// a message when a pipe or the child has ended, each counted as a
// completion. Every event handler runs on the user-interface thread; a
// message loop must run there.
//
// A child runs in its own process group, so that TerminateChild also ends
// what the child started. A child never outlives its runner: it joins the
// runner's job, which ends it when the runner goes, and the system ends it
// when the program dies (see the job objects in kernel.h).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/properties.h"
#include "platform/win/kernel/kernel.h"
#include "support/support_errors.h"
#include "support/thread_base.h"

class TStrings;
class TStringList;
class TJvCreateProcess;
class TJvRWEHandles;
class TJvOutputLines;
struct TJvWatch;

RTL_EXCEPTION(EJvProcessError, Exception)
RTL_EXCEPTION(EJclStringError, EJclError)

RTL_ENUM(TJvProcessPriority, ppIdle, ppNormal, ppHigh, ppRealTime, ppBelowNormal, ppAboveNormal)
RTL_ENUM(TJvConsoleOption, coOwnerData, coRedirect, coSeparateError)
using TJvConsoleOptions = TSet<TJvConsoleOption, 3>;
RTL_ENUM(TJvCPSFlag, cfDefaultErrorMode, cfNewConsole, cfNewProcGroup, cfSeparateWdm, cfSharedWdm, cfSuspended,
         cfUnicode, cfDetached)
using TJvCPSFlags = TSet<TJvCPSFlag, 8>;
RTL_ENUM(TJvCPSShowWindow, swHide, swMinimize, swMaximize, swNormal)
// Idle; Started: created and not watched; Watching: watched until the
// pending completions are counted.
enum TJvCPSState { psIdle, psStarted, psWatching };

using TJvCPSRawReadEvent = TClosure<void(TObject* Sender, const AnsiString& S)>;
using TJvCPSReadEvent = TClosure<void(TObject* Sender, const AnsiString& S, bool StartsOnNewLine)>;
using TJvCPSTerminateEvent = TClosure<void(TObject* Sender, Cardinal ExitCode)>;

// ---- Helpers -----------------------------------------------------------------

// An environment block: each string followed by a NUL, in list order, and
// one more NUL. A string that is empty (up to its first NUL) raises
// EJclStringError. Free it with ReleaseMultiSz.
char* StringsToMultiSz(const TStrings* Strings);
// Frees the block and clears the reference; nothing for a null one.
void ReleaseMultiSz(char*& Block);
// Raises EOSError for the last OS error when Ok is false.
void CheckOSResult(bool Ok);

using TUtilityWindowMethod = TClosure<void(TMessage& Message)>;
// A hidden window whose messages go to Method (to the default window
// procedure when Method is empty). The class is "TPUtilWindowEx" unless
// named.
HWND CreateUtilityWindow(const AnsiString& ClassName, TUtilityWindowMethod Method);
void DestroyUtilityWindow(HWND Window);

// ---- Startup information -------------------------------------------------------

class TJvCPSStartupInfo : public TPersistent {
  RTL_CLASS(TJvCPSStartupInfo, TPersistent)
  AnsiString FDesktop;
  AnsiString FTitle;
  Integer FLeft = 0;
  Integer FTop = 0;
  Integer FWidth = 0;
  Integer FHeight = 0;
  bool FDefaultPosition = true;
  bool FDefaultSize = true;
  bool FDefaultWindowState = true;
  TJvCPSShowWindow FShowWindow = swNormal;
  bool FForceOnFeedback = false;
  bool FForceOffFeedback = false;

 protected:
  void AssignTo(TPersistent* Dest) override;

 public:
  // Fills the startup record from the properties (without standard handles).
  void FillStartupInfo(STARTUPINFO& Info) const;

  const AnsiString& Desktop() const { return FDesktop; }
  void SetDesktop(const AnsiString& V) { FDesktop = V; }
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& V) { FTitle = V; }
  Integer Left() const { return FLeft; }
  void SetLeft(Integer V) { FLeft = V; }
  Integer Top() const { return FTop; }
  void SetTop(Integer V) { FTop = V; }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer V) { FWidth = V; }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer V) { FHeight = V; }
  bool DefaultPosition() const { return FDefaultPosition; }
  void SetDefaultPosition(bool V) { FDefaultPosition = V; }
  bool DefaultSize() const { return FDefaultSize; }
  void SetDefaultSize(bool V) { FDefaultSize = V; }
  bool DefaultWindowState() const { return FDefaultWindowState; }
  void SetDefaultWindowState(bool V) { FDefaultWindowState = V; }
  TJvCPSShowWindow ShowWindow() const { return FShowWindow; }
  void SetShowWindow(TJvCPSShowWindow V) { FShowWindow = V; }
  bool ForceOnFeedback() const { return FForceOnFeedback; }
  void SetForceOnFeedback(bool V) { FForceOnFeedback = V; }
  bool ForceOffFeedback() const { return FForceOffFeedback; }
  void SetForceOffFeedback(bool V) { FForceOffFeedback = V; }
};

// ---- Readers -----------------------------------------------------------------------

// Assembles console output into lines. Bytes 8 (backspace), 9 (tab: 8
// blanks), 10 (line feed) and 13 (carriage return) move a cursor within
// the current line, other bytes overwrite the line at the cursor, NUL and
// BEL show as blanks. Each line is emitted, finished at a line feed and
// unfinished at the end of each chunk, to OnRead and (without coOwnerData)
// to OutputLines, where an unfinished line is replaced by its next state.
class TJvBaseReader : public TObject {
  RTL_CLASS(TJvBaseReader, TObject)

 public:
  explicit TJvBaseReader(TJvCreateProcess* AOwner);
  ~TJvBaseReader() override;

  TStrings* OutputLines() const;
  TJvCPSRawReadEvent OnRawRead;
  TJvCPSReadEvent OnRead;

  const AnsiString& CurrentLine() const { return FCurrentLine; }
  bool StartsOnNewLine() const { return FStartsOnNewLine; }

 protected:
  // Starts a new run: no line, cursor at 0, at the start of a line.
  void ResetLine();
  // Hands a chunk of output to the handlers and assembles it; the bytes
  // are changed in place (NUL and BEL become blanks).
  void ParseChunk(char* Data, DWORD Count);
  void EmitLine(bool Finished);

  TJvCreateProcess* FOwner;
  char FTransferBuffer[1024];

 private:
  TJvOutputLines* FOutputLines;
  AnsiString FCurrentLine;
  Integer FCursor = 0;
  bool FStartsOnNewLine = true;
  // The start of what changed in the line since it was last emitted, so
  // that the kept line is brought up to date in time proportional to that.
  size_t FChangedFrom = 0;
  size_t FEmittedSize = 0;

  void WriteSegment(const char* Data, size_t Count);
};

// A reader of one pipe end, read by the runner's service thread.
class TJvReader : public TJvBaseReader {
  RTL_CLASS(TJvReader, TJvBaseReader)
  std::shared_ptr<TJvWatch> FSource;
  HWND FWindow = nullptr;

 public:
  using TJvBaseReader::TJvBaseReader;
  ~TJvReader() override;

  // Starts reading the pipe end, which the service then owns; it posts to
  // Window. The watch, or null when the pipe cannot be watched.
  std::shared_ptr<TJvWatch> StartRead(HANDLE PipeEnd, HWND Window);
  // Parses what the service holds (on WM_USER + 1).
  void Drain();
  // The pipe has ended (watch Id): parses the rest, emits an unfinished
  // line and forgets the pipe; false for a pipe it no longer reads.
  bool PipeEnded(uint64_t Id);
  // Stops reading without any report and forgets the pipe, so that a late
  // WM_USER + 1 finds nothing to do.
  void StopRead();
  bool Reading() const { return FSource != nullptr; }
};

// ---- The runner ----------------------------------------------------------------------

class TJvCreateProcess : public TJvComponent {
  RTL_CLASS(TJvCreateProcess, TJvComponent)

  AnsiString FApplicationName;
  AnsiString FCommandLine;
  TJvCPSFlags FCreationFlags;
  AnsiString FCurrentDirectory;
  TStringList* FEnvironment;
  TJvProcessPriority FPriority = ppNormal;
  TJvCPSStartupInfo* FStartupInfo;
  bool FWaitForTerminate = true;
  TJvConsoleOptions FConsoleOptions{coOwnerData};

  TJvCPSState FState = psIdle;
  PROCESS_INFORMATION FProcessInfo = {};
  Integer FPendingCompletions = 0;
  Cardinal FExitCode = 0;
  std::shared_ptr<TJvWatch> FProcessWatch;
  TJvReader* FOutputReader;
  TJvReader* FErrorReader;
  HWND FUtilityWindow = nullptr;
  HANDLE FJob = nullptr;

  void ResetState();
  void JoinJob();
  void CloseProcessHandles();
  void StartWatching(TJvRWEHandles& Parent, bool Redirect, bool SeparateError);
  void ProcessEnded(uint64_t Id, Cardinal Code);
  void CountCompletion();
  void WndProc(TMessage& Msg);

 public:
  explicit TJvCreateProcess(TComponent* AOwner);
  ~TJvCreateProcess() override;

  void Start();
  // Terminates the child with exit code 0, and its process group; whether
  // that ended anything. Once the child is gone the run ends when its pipes
  // are drained or after a short grace period, even when something outside
  // the group still holds them. Raises EJvProcessError "Process is not
  // running" when idle.
  bool TerminateChild();
  // Stops watching the child without OnTerminate; the child runs on (until
  // the runner goes).
  void StopWatching();

  // The utility window the service thread posts to, made on first need.
  HWND UtilityWindow();

  TJvCPSState State() const { return FState; }
  const PROCESS_INFORMATION& ProcessInfo() const { return FProcessInfo; }
  Cardinal ExitCode() const { return FExitCode; }
  TJvReader* OutputReader() const { return FOutputReader; }
  TJvReader* ErrorReader() const { return FErrorReader; }

  // Blanks at both ends are removed before use; empty means none.
  const AnsiString& ApplicationName() const { return FApplicationName; }
  void SetApplicationName(const AnsiString& V) { FApplicationName = V; }
  const AnsiString& CommandLine() const { return FCommandLine; }
  void SetCommandLine(const AnsiString& V) { FCommandLine = V; }
  TJvCPSFlags CreationFlags() const { return FCreationFlags; }
  void SetCreationFlags(TJvCPSFlags V) { FCreationFlags = V; }
  // Trimmed like ApplicationName; empty means the parent's.
  const AnsiString& CurrentDirectory() const { return FCurrentDirectory; }
  void SetCurrentDirectory(const AnsiString& V) { FCurrentDirectory = V; }
  // Lines name=value; empty: the child inherits this process's environment.
  TStrings* Environment() const;
  void SetEnvironment(TStrings* V);
  TJvProcessPriority Priority() const { return FPriority; }
  void SetPriority(TJvProcessPriority V) { FPriority = V; }
  TJvCPSStartupInfo* StartupInfo() const { return FStartupInfo; }
  void SetStartupInfo(TJvCPSStartupInfo* V);
  bool WaitForTerminate() const { return FWaitForTerminate; }
  // Resets first, so it raises while a child is watched.
  void SetWaitForTerminate(bool V);
  TJvConsoleOptions ConsoleOptions() const { return FConsoleOptions; }
  void SetConsoleOptions(TJvConsoleOptions V) { FConsoleOptions = V; }

  TJvCPSTerminateEvent OnTerminate;
  // The output reader's and the error reader's handlers.
  TJvCPSReadEvent OnRead() const;
  void SetOnRead(TJvCPSReadEvent V);
  TJvCPSRawReadEvent OnRawRead() const;
  void SetOnRawRead(TJvCPSRawReadEvent V);
  TJvCPSReadEvent OnErrorRead() const;
  void SetOnErrorRead(TJvCPSReadEvent V);
  TJvCPSRawReadEvent OnErrorRawRead() const;
  void SetOnErrorRawRead(TJvCPSRawReadEvent V);
};
