#include "support/process_runner.h"

#include <signal.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_object_instance.h"
#include "support/process_threads.h"

RTL_IMPLEMENT_CLASS(EJvProcessError)
RTL_IMPLEMENT_CLASS(EJclStringError)
RTL_IMPLEMENT_PUBLISHED(TJvCPSStartupInfo,
                        RTL_PROP(Desktop),
                        RTL_PROP(Title),
                        RTL_PROP(Left).Default(0),
                        RTL_PROP(Top).Default(0),
                        RTL_PROP(Width).Default(0),
                        RTL_PROP(Height).Default(0),
                        RTL_PROP(DefaultPosition).Default(true),
                        RTL_PROP(DefaultSize).Default(true),
                        RTL_PROP(DefaultWindowState).Default(true),
                        RTL_PROP(ShowWindow).Default(swNormal),
                        RTL_PROP(ForceOnFeedback).Default(false),
                        RTL_PROP(ForceOffFeedback).Default(false))
RTL_IMPLEMENT_CLASS(TJvBaseReader)
RTL_IMPLEMENT_CLASS(TJvReader)
RTL_IMPLEMENT_PUBLISHED(TJvCreateProcess,
                        RTL_PROP(ApplicationName),
                        RTL_PROP(CommandLine),
                        RTL_PROP(CreationFlags).Default({}),
                        RTL_PROP(CurrentDirectory),
                        RTL_PROP(Environment),
                        RTL_PROP(Priority).Default(ppNormal),
                        RTL_PROP(StartupInfo),
                        RTL_PROP(WaitForTerminate).Default(true),
                        RTL_PROP(ConsoleOptions).Default({coOwnerData}),
                        RTL_EVENT(OnTerminate),
                        RTL_PROP(OnRead),
                        RTL_PROP(OnErrorRead),
                        RTL_PROP(OnRawRead),
                        RTL_PROP(OnErrorRawRead))

namespace {

constexpr DWORD kPriorityClass[] = {IDLE_PRIORITY_CLASS,         NORMAL_PRIORITY_CLASS,      HIGH_PRIORITY_CLASS,
                                    REALTIME_PRIORITY_CLASS,     BELOW_NORMAL_PRIORITY_CLASS, ABOVE_NORMAL_PRIORITY_CLASS};
constexpr DWORD kCreationFlag[] = {CREATE_DEFAULT_ERROR_MODE, CREATE_NEW_CONSOLE,    CREATE_NEW_PROCESS_GROUP,
                                   CREATE_SEPARATE_WOW_VDM,   CREATE_SHARED_WOW_VDM, CREATE_SUSPENDED,
                                   CREATE_UNICODE_ENVIRONMENT, DETACHED_PROCESS};
constexpr WORD kShowCommand[] = {0, 2, 3, 1};  // hide, minimize, maximize, normal
constexpr size_t kTabWidth = 8;

const char* const kProcessRunning = "Cannot perform this operation when process is running";
const char* const kProcessNotRunning = "Process is not running";

}  // namespace

// ---- Helpers -----------------------------------------------------------------

char* StringsToMultiSz(const TStrings* Strings) {
  size_t size = 1;
  const Integer count = Strings->Count();
  for (Integer i = 0; i < count; ++i) {
    // A string is taken up to its first NUL; one that is empty there would
    // end the block early.
    size_t length = std::strlen(Strings->Get(i).c_str());
    if (length == 0) throw EJclStringError("String list passed to StringsToMultiSz cannot contain empty strings.");
    size += length + 1;
  }
  char* block = new char[size];
  char* p = block;
  for (Integer i = 0; i < count; ++i) {
    AnsiString s = Strings->Get(i);
    size_t length = std::strlen(s.c_str());
    std::memcpy(p, s.c_str(), length);
    p += length;
    *p++ = '\0';
  }
  *p = '\0';
  return block;
}

void ReleaseMultiSz(char*& Block) {
  delete[] Block;
  Block = nullptr;
}

void CheckOSResult(bool Ok) {
  if (!Ok) RaiseLastOSError();
}

HWND CreateUtilityWindow(const AnsiString& ClassName, TUtilityWindowMethod Method) {
  const AnsiString className = ClassName.empty() ? AnsiString("TPUtilWindowEx") : ClassName;
  WNDCLASSA existing = {};
  bool registered = GetClassInfoA(HInstance, className.c_str(), &existing);
  if (registered && existing.lpfnWndProc != &DefWindowProcA) {
    UnregisterClassA(className.c_str(), HInstance);
    registered = false;
  }
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = HInstance;
    wc.lpszClassName = className.c_str();
    RegisterClassA(&wc);
  }
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                HInstance, nullptr);
  if (window && Method)
    SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MakeObjectInstance(std::move(Method))));
  return window;
}

void DestroyUtilityWindow(HWND Window) {
  auto instance = reinterpret_cast<WNDPROC>(GetWindowLongPtr(Window, GWLP_WNDPROC));
  // Messages that come while the window goes reach the default procedure.
  SetWindowLongPtr(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
  DestroyWindow(Window);
  FreeObjectInstance(instance);
}

// ---- TJvCPSStartupInfo ---------------------------------------------------------

void TJvCPSStartupInfo::AssignTo(TPersistent* Dest) {
  auto* d = dynamic_cast<TJvCPSStartupInfo*>(Dest);
  if (!d) {
    inherited::AssignTo(Dest);
    return;
  }
  d->FDesktop = FDesktop;
  d->FTitle = FTitle;
  d->FLeft = FLeft;
  d->FTop = FTop;
  d->FWidth = FWidth;
  d->FHeight = FHeight;
  d->FDefaultPosition = FDefaultPosition;
  d->FDefaultSize = FDefaultSize;
  d->FDefaultWindowState = FDefaultWindowState;
  d->FShowWindow = FShowWindow;
  d->FForceOnFeedback = FForceOnFeedback;
  d->FForceOffFeedback = FForceOffFeedback;
}

void TJvCPSStartupInfo::FillStartupInfo(STARTUPINFO& Info) const {
  Info = {};
  Info.cb = sizeof Info;
  // The record only reads these texts while the process is created.
  if (!FDesktop.empty()) Info.lpDesktop = const_cast<char*>(FDesktop.c_str());
  if (!FTitle.empty()) Info.lpTitle = const_cast<char*>(FTitle.c_str());
  if (!FDefaultPosition) {
    Info.dwX = static_cast<DWORD>(FLeft);
    Info.dwY = static_cast<DWORD>(FTop);
    Info.dwFlags |= STARTF_USEPOSITION;
  }
  if (!FDefaultSize) {
    Info.dwXSize = static_cast<DWORD>(FWidth);
    Info.dwYSize = static_cast<DWORD>(FHeight);
    Info.dwFlags |= STARTF_USESIZE;
  }
  if (!FDefaultWindowState) {
    Info.wShowWindow = kShowCommand[FShowWindow];
    Info.dwFlags |= STARTF_USESHOWWINDOW;
  }
  if (FForceOnFeedback) Info.dwFlags |= STARTF_FORCEONFEEDBACK;
  if (FForceOffFeedback) Info.dwFlags |= STARTF_FORCEOFFFEEDBACK;
}

// ---- TJvOutputLines -----------------------------------------------------------------

// The reader's own line list: a plain list of lines whose last line the
// reader can bring up to date in place.
class TJvOutputLines : public TStrings {
  RTL_CLASS(TJvOutputLines, TStrings)
  std::vector<AnsiString> FLines;

  void CheckIndex(Integer Index, Integer Limit) const {
    if (Index < 0 || Index >= Limit) Error("List index out of bounds (%d)", Index);
  }

 public:
  AnsiString Get(Integer Index) const override {
    CheckIndex(Index, GetCount());
    return FLines[static_cast<size_t>(Index)];
  }
  Integer GetCount() const override { return static_cast<Integer>(FLines.size()); }
  void Put(Integer Index, const AnsiString& S) override {
    CheckIndex(Index, GetCount());
    FLines[static_cast<size_t>(Index)] = S;
  }
  void Clear() override { FLines.clear(); }
  void Delete(Integer Index) override {
    CheckIndex(Index, GetCount());
    FLines.erase(FLines.begin() + Index);
  }
  void Insert(Integer Index, const AnsiString& S) override {
    CheckIndex(Index, GetCount() + 1);
    FLines.insert(FLines.begin() + Index, S);
  }
  // The last line (the list is not empty).
  AnsiString& Last() { return FLines.back(); }
};

RTL_IMPLEMENT_CLASS(TJvOutputLines)

// ---- TJvBaseReader ------------------------------------------------------------------

TJvBaseReader::TJvBaseReader(TJvCreateProcess* AOwner) : FOwner(AOwner), FOutputLines(new TJvOutputLines) {}

TJvBaseReader::~TJvBaseReader() { delete FOutputLines; }

TStrings* TJvBaseReader::OutputLines() const { return FOutputLines; }

void TJvBaseReader::ResetLine() {
  FStartsOnNewLine = true;
  FCurrentLine.clear();
  FCursor = 0;
  FChangedFrom = 0;
}

void TJvBaseReader::WriteSegment(const char* Data, size_t Count) {
  const size_t cursor = static_cast<size_t>(FCursor);
  const size_t end = cursor + Count;
  if (Count == 0) return;
  if (FCurrentLine.size() < end) FCurrentLine.resize(end);
  std::memcpy(FCurrentLine.data() + cursor, Data, Count);
  FChangedFrom = std::min(FChangedFrom, cursor);
  FCursor = static_cast<Integer>(end);
}

void TJvBaseReader::ParseChunk(char* Data, DWORD Count) {
  if (OnRawRead) OnRawRead(FOwner, AnsiString(Data, Count));
  DWORD start = 0;
  for (DWORD i = 0; i < Count; ++i) {
    const char c = Data[i];
    if (c == '\0' || c == '\a') {
      Data[i] = ' ';
      continue;
    }
    if (c != '\b' && c != '\t' && c != '\n' && c != '\r') continue;
    WriteSegment(Data + start, i - start);
    start = i + 1;
    switch (c) {
      case '\b':
        if (FCursor > 0) --FCursor;
        break;
      case '\t':
        WriteSegment("        ", kTabWidth);
        break;
      case '\n':
        EmitLine(true);
        break;
      default:
        FCursor = 0;
    }
  }
  WriteSegment(Data + start, Count - start);
  EmitLine(false);
}

void TJvBaseReader::EmitLine(bool Finished) {
  if (!FOwner->ConsoleOptions().Contains(coOwnerData)) {
    const Integer count = FOutputLines->Count();
    if (FStartsOnNewLine || count == 0) {
      FOutputLines->Add(FCurrentLine);
    } else {
      // The kept line is this line as last emitted: only what changed since
      // is copied. One whose length someone else changed is copied whole.
      AnsiString& kept = FOutputLines->Last();
      const size_t from = kept.size() == FEmittedSize ? FChangedFrom : 0;
      kept.resize(FCurrentLine.size());
      if (from < FCurrentLine.size())
        std::memcpy(kept.data() + from, FCurrentLine.data() + from, FCurrentLine.size() - from);
    }
  }
  FChangedFrom = FEmittedSize = FCurrentLine.size();
  if (OnRead) OnRead(FOwner, FCurrentLine, FStartsOnNewLine);
  if (Finished) {
    FCurrentLine.clear();
    FCursor = 0;
    FChangedFrom = 0;
  }
  FStartsOnNewLine = Finished;
}

// ---- TJvReader --------------------------------------------------------------------------

TJvReader::~TJvReader() { StopRead(); }

std::shared_ptr<TJvWatch> TJvReader::StartRead(HANDLE PipeEnd, HWND Window) {
  ResetLine();
  FWindow = Window;
  FSource = jv_process_service::WatchPipe(PipeEnd, Window, reinterpret_cast<WPARAM>(this));
  return FSource;
}

void TJvReader::Drain() {
  while (FSource) {
    DWORD n = jv_process_service::TakeBytes(FSource, FTransferBuffer, sizeof FTransferBuffer);
    if (n == 0) break;
    ParseChunk(FTransferBuffer, n);
  }
}

void TJvReader::StopRead() {
  if (!FSource) return;
  jv_process_service::Cancel(FSource);
  FSource = nullptr;
}

bool TJvReader::PipeEnded(uint64_t Id) {
  if (!FSource || jv_process_service::WatchId(FSource) != Id) return false;
  Drain();
  if (!CurrentLine().empty()) EmitLine(false);
  FSource = nullptr;
  return true;
}

// ---- TJvCreateProcess ----------------------------------------------------------------------

TJvCreateProcess::TJvCreateProcess(TComponent* AOwner)
    : TJvComponent(AOwner),
      FEnvironment(new TStringList),
      FStartupInfo(new TJvCPSStartupInfo),
      FOutputReader(new TJvReader(this)),
      FErrorReader(new TJvReader(this)) {}

TJvCreateProcess::~TJvCreateProcess() {
  StopWatching();
  delete FOutputReader;
  delete FErrorReader;
  delete FEnvironment;
  delete FStartupInfo;
  if (FUtilityWindow) DestroyUtilityWindow(FUtilityWindow);
  // Closing the job ends every child still running.
  if (FJob) CloseHandle(FJob);
  // Nothing may escape a destructor; a handle that will not close is lost.
  for (HANDLE h : {FProcessInfo.hProcess, FProcessInfo.hThread})
    if (h) CloseHandle(h);
}

TStrings* TJvCreateProcess::Environment() const { return FEnvironment; }
void TJvCreateProcess::SetEnvironment(TStrings* V) { FEnvironment->Assign(V); }
void TJvCreateProcess::SetStartupInfo(TJvCPSStartupInfo* V) { FStartupInfo->Assign(V); }

void TJvCreateProcess::SetWaitForTerminate(bool V) {
  ResetState();
  FWaitForTerminate = V;
}

TJvCPSReadEvent TJvCreateProcess::OnRead() const { return FOutputReader->OnRead; }
void TJvCreateProcess::SetOnRead(TJvCPSReadEvent V) { FOutputReader->OnRead = std::move(V); }
TJvCPSRawReadEvent TJvCreateProcess::OnRawRead() const { return FOutputReader->OnRawRead; }
void TJvCreateProcess::SetOnRawRead(TJvCPSRawReadEvent V) { FOutputReader->OnRawRead = std::move(V); }
TJvCPSReadEvent TJvCreateProcess::OnErrorRead() const { return FErrorReader->OnRead; }
void TJvCreateProcess::SetOnErrorRead(TJvCPSReadEvent V) { FErrorReader->OnRead = std::move(V); }
TJvCPSRawReadEvent TJvCreateProcess::OnErrorRawRead() const { return FErrorReader->OnRawRead; }
void TJvCreateProcess::SetOnErrorRawRead(TJvCPSRawReadEvent V) { FErrorReader->OnRawRead = std::move(V); }

HWND TJvCreateProcess::UtilityWindow() {
  if (!FUtilityWindow) FUtilityWindow = CreateUtilityWindow("", TUtilityWindowMethod(this, &TJvCreateProcess::WndProc));
  return FUtilityWindow;
}

void TJvCreateProcess::CloseProcessHandles() {
  // Empty slots are skipped: before the first run there is nothing to close.
  for (HANDLE* h : {&FProcessInfo.hProcess, &FProcessInfo.hThread}) {
    HANDLE handle = *h;
    *h = nullptr;
    if (handle) CheckOSResult(CloseHandle(handle));
  }
}

void TJvCreateProcess::ResetState() {
  if (FState == psWatching && FPendingCompletions > 0) throw EJvProcessError(kProcessRunning);
  FState = psIdle;
  CloseProcessHandles();
  FPendingCompletions = 0;
}

namespace {

enum TChildStream { csInput, csOutput, csError };

// A pipe for one of the child's streams: the child's end is inheritable,
// the parent keeps a copy of the other end that is not. Each call is
// checked; the sets own every handle made so far.
void CreateChildPipe(TJvRWEHandles& Child, TJvRWEHandles& Parent, TChildStream Stream) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE r = nullptr, w = nullptr;
  CheckOSResult(CreatePipe(&r, &w, &sa, 0));
  const bool childWrites = Stream != csInput;
  HANDLE parentEnd = childWrites ? r : w;
  switch (Stream) {
    case csInput: Child.SetRead(r); break;
    case csOutput: Child.SetWrite(w); break;
    case csError: Child.SetError(w); break;
  }
  HANDLE kept = nullptr;
  // The inheritable source is closed whatever happens.
  CheckOSResult(DuplicateHandle(GetCurrentProcess(), parentEnd, GetCurrentProcess(), &kept, 0, FALSE,
                                DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS));
  switch (Stream) {
    case csInput: Parent.SetWrite(kept); break;
    case csOutput: Parent.SetRead(kept); break;
    case csError: Parent.SetError(kept); break;
  }
}

}  // namespace

void TJvCreateProcess::Start() {
  ResetState();
  FProcessInfo = {};

  // Its own process group, so that TerminateChild reaches what the child
  // starts; held until it has joined the runner's job.
  DWORD flags = kPriorityClass[FPriority] | CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED;
  for (int f = cfDefaultErrorMode; f <= cfDetached; ++f)
    if (FCreationFlags.Contains(static_cast<TJvCPSFlag>(f))) flags |= kCreationFlag[f];

  std::unique_ptr<char[]> environment(FEnvironment->Count() > 0 ? StringsToMultiSz(FEnvironment) : nullptr);
  TJvRWEHandles child, parent;
  STARTUPINFO si;
  FStartupInfo->FillStartupInfo(si);

  const bool redirect = FConsoleOptions.Contains(coRedirect);
  const bool separateError = FConsoleOptions.Contains(coSeparateError);
  if (redirect) {
    CreateChildPipe(child, parent, csOutput);
    if (separateError) {
      CreateChildPipe(child, parent, csError);
    } else {
      // Both streams into one pipe, in the order the child writes them.
      HANDLE error = nullptr;
      CheckOSResult(DuplicateHandle(GetCurrentProcess(), child.Write(), GetCurrentProcess(), &error, 0, TRUE,
                                    DUPLICATE_SAME_ACCESS));
      child.SetError(error);
    }
    CreateChildPipe(child, parent, csInput);
    si.dwFlags |= STARTF_USESTDHANDLES;
    si.hStdInput = child.Read();
    si.hStdOutput = child.Write();
    si.hStdError = child.Error();
  }

  const AnsiString application = Trim(FApplicationName);
  const AnsiString directory = Trim(FCurrentDirectory);
  AnsiString commandLine = FCommandLine;
  if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), commandLine.data(), nullptr, nullptr,
                      redirect, flags, environment.get(), directory.empty() ? nullptr : directory.c_str(), &si,
                      &FProcessInfo)) {
    const Cardinal error = GetLastError();
    for (HANDLE h : {FProcessInfo.hProcess, FProcessInfo.hThread})
      if (h) CloseHandle(h);
    FProcessInfo = {};
    if (error == ERROR_FILENAME_EXCED_RANGE) {
      EOSError e(Format("System Error.  Code: %d.\nThe command line is too long (%d bytes)",
                        {static_cast<Int64>(error), static_cast<Int64>(FCommandLine.size())}));
      e.SetErrorCode(error);
      throw e;
    }
    RaiseLastOSError(error);
  }
  JoinJob();
  if (!FCreationFlags.Contains(cfSuspended)) ResumeThread(FProcessInfo.hThread);

  if (redirect) {
    FState = psWatching;
    FPendingCompletions = separateError ? 3 : 2;
    StartWatching(parent, true, separateError);
  } else if (FWaitForTerminate) {
    FState = psWatching;
    FPendingCompletions = 1;
    StartWatching(parent, false, false);
  } else {
    WaitForInputIdle(FProcessInfo.hProcess, INFINITE);
    if (FState != psIdle) throw EJvProcessError(kProcessRunning);
    FState = psStarted;
    // The process handle stays until the next run: it keeps the child's id
    // from going to another process while TerminateChild may still use it.
    HANDLE thread = FProcessInfo.hThread;
    FProcessInfo.hThread = nullptr;
    CheckOSResult(CloseHandle(thread));
  }
}

void TJvCreateProcess::JoinJob() {
  if (!FJob) {
    FJob = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (FJob) SetInformationJobObject(FJob, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  // Without a job the child still runs; only its end with ours is lost.
  if (FJob) AssignProcessToJobObject(FJob, FProcessInfo.hProcess);
}

void TJvCreateProcess::StartWatching(TJvRWEHandles& Parent, bool Redirect, bool SeparateError) {
  // Each pipe end leaves the set once the service owns it; nothing is left
  // watching a child that cannot be watched.
  TScopeExit Unwatch(seOnUnwind, [this] { StopWatching(); });
  const HWND window = UtilityWindow();
  FProcessWatch =
      jv_process_service::WatchProcess(FProcessInfo.hProcess, Redirect ? Parent.Write() : nullptr, window);
  CheckOSResult(FProcessWatch != nullptr);
  if (Redirect) Parent.TakeWrite();
  if (Redirect) {
    std::shared_ptr<TJvWatch> pipe = FOutputReader->StartRead(Parent.Read(), window);
    CheckOSResult(pipe != nullptr);
    Parent.TakeRead();
    jv_process_service::AttachPipe(FProcessWatch, pipe);
  }
  if (SeparateError) {
    std::shared_ptr<TJvWatch> pipe = FErrorReader->StartRead(Parent.Error(), window);
    CheckOSResult(pipe != nullptr);
    Parent.TakeError();
    jv_process_service::AttachPipe(FProcessWatch, pipe);
  }
}

void TJvCreateProcess::ProcessEnded(uint64_t Id, Cardinal Code) {
  if (!FProcessWatch || jv_process_service::WatchId(FProcessWatch) != Id) return;
  FExitCode = Code;
  FProcessWatch = nullptr;
  PostMessage(UtilityWindow(), CM_THREADTERMINATED, 0, 0);
}

void TJvCreateProcess::CountCompletion() {
  if (FState != psWatching) return;
  if (--FPendingCompletions > 0) return;
  ResetState();
  if (OnTerminate) OnTerminate(this, FExitCode);
}

void TJvCreateProcess::WndProc(TMessage& Msg) {
  // An exception of a handler is the application's to report.
  try {
    switch (Msg.Msg) {
      case CM_READ: {
        // Only this runner's readers; a stopped one has nothing to drain.
        auto* reader = reinterpret_cast<TJvReader*>(Msg.WParam);
        if (reader == FOutputReader || reader == FErrorReader) reader->Drain();
        break;
      }
      case CM_READEND: {
        auto* reader = reinterpret_cast<TJvReader*>(Msg.WParam);
        if ((reader == FOutputReader || reader == FErrorReader) && reader->PipeEnded(static_cast<uint64_t>(Msg.LParam)))
          PostMessage(FUtilityWindow, CM_THREADTERMINATED, 0, 0);
        break;
      }
      case CM_PROCESSEND:
        ProcessEnded(static_cast<uint64_t>(Msg.WParam), static_cast<Cardinal>(Msg.LParam));
        break;
      case CM_THREADTERMINATED:
        CountCompletion();
        break;
      default:
        Msg.Result = DefWindowProcA(FUtilityWindow, Msg.Msg, Msg.WParam, Msg.LParam);
    }
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

bool TJvCreateProcess::TerminateChild() {
  if (FState == psIdle) throw EJvProcessError(kProcessNotRunning);
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, FProcessInfo.dwProcessId);
  CheckOSResult(process != nullptr);
  bool ok = TerminateProcess(process, 0);
  CloseHandle(process);
  // The group bears the child's id, which stays taken while the run holds
  // the child's handle; what the child started goes with it.
  const pid_t group = static_cast<pid_t>(FProcessInfo.dwProcessId);
  if (group > 1 && ::kill(-group, SIGKILL) == 0) ok = true;
  jv_process_service::TerminationAsked(FProcessWatch);
  return ok;
}

void TJvCreateProcess::StopWatching() {
  if (FState != psWatching) return;
  jv_process_service::Cancel(FProcessWatch);
  FProcessWatch = nullptr;
  FOutputReader->StopRead();
  FErrorReader->StopRead();
  FPendingCompletions = 0;
  ResetState();
}
