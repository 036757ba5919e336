// Kernel objects over POSIX: handles, processes, threads, pipes, events,
// mutexes, file mappings and waits, with the original platform's names,
// numbers and return conventions. Failures return FALSE (or a null handle,
// or WAIT_FAILED) and set the last error (GetLastError, platform/rtl).
// GetCurrentThreadId, Sleep and GetTickCount live in platform/rtl/threads.h.
//
// How the Linux side behaves where the two systems differ:
// - Every descriptor the layer creates is close-on-exec; a child gets its
//   three standard streams and nothing else.
// - The handle of a started child keeps the child unreaped, so its process
//   id cannot be reused while a handle is open: OpenProcess by that id finds
//   the same child. A child whose handles were all closed is reaped when it
//   ends, so no zombie stays behind.
// - Exit codes: a normal exit gives its status (0..255); a child ended by
//   TerminateProcess gives the code passed to it; a child ended by any other
//   signal gives STATUS_CONTROL_C_EXIT. The exit code of a process that this
//   layer did not start (reached through OpenProcess) reads 0 once it ended,
//   unless it is a child of this process.
// - Named mutexes and named file mappings are shared between processes
//   (POSIX shared memory); named events are shared within the process only.
//   A waiter blocked on a mutex held by another process looks again every
//   few milliseconds.
// - CREATE_SUSPENDED holds the child before it runs the program, until
//   ResumeThread of its primary thread; closing that handle before it is
//   resumed ends the child (exit code 127) rather than leave it held.
// - A priority class is the child's nice value (idle 19, below normal 10,
//   normal 0, above normal -5, high -10, real time -20), set once it is
//   started; a raise the user may not make leaves it at 0. More than one
//   class fails with ERROR_INVALID_PARAMETER.
// - Consoles, window placement and feedback flags are accepted and have no
//   effect.
// - Job objects carry only the kill-on-close limit. A child that joins
//   such a job while it is held by CREATE_SUSPENDED is also ended by the
//   system (a parent-death signal) when the thread that started it, or this
//   process, dies without closing the job; one that joins while it runs is
//   ended only when the job's last handle closes.
// - WaitForInputIdle fails at once (WAIT_FAILED, ERROR_NOT_GUI_PROCESS), as
//   for a process without a message queue: no process has one visible here.
#pragma once

#include "platform/win/kernel/windef.h"

// ---- Constants ---------------------------------------------------------------

// Error numbers the kernel functions report.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_LENGTH = 24;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BROKEN_PIPE = 109;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_NO_DATA = 232;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_NOT_OWNER = 288;
constexpr DWORD ERROR_INVALID_ADDRESS = 487;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_MAPPED_ALIGNMENT = 1132;
constexpr DWORD ERROR_NOT_GUI_PROCESS = 1471;

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED_0 = 0x80;
constexpr DWORD WAIT_ABANDONED = WAIT_ABANDONED_0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

constexpr DWORD STILL_ACTIVE = 259;
// The exit code of a child ended by a signal other than TerminateProcess's.
constexpr DWORD STATUS_CONTROL_C_EXIT = 0xC000013A;

// Access rights.
constexpr DWORD SYNCHRONIZE = 0x00100000;
constexpr DWORD STANDARD_RIGHTS_REQUIRED = 0x000F0000;
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD GENERIC_ALL = 0x10000000;
constexpr DWORD PROCESS_TERMINATE = 0x0001;
constexpr DWORD PROCESS_DUP_HANDLE = 0x0040;
constexpr DWORD PROCESS_SET_INFORMATION = 0x0200;
constexpr DWORD PROCESS_QUERY_INFORMATION = 0x0400;
constexpr DWORD PROCESS_QUERY_LIMITED_INFORMATION = 0x1000;
constexpr DWORD PROCESS_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0xFFFF;
constexpr DWORD THREAD_TERMINATE = 0x0001;
constexpr DWORD THREAD_SUSPEND_RESUME = 0x0002;
constexpr DWORD THREAD_SET_INFORMATION = 0x0020;
constexpr DWORD THREAD_QUERY_INFORMATION = 0x0040;
constexpr DWORD THREAD_SET_LIMITED_INFORMATION = 0x0400;
constexpr DWORD THREAD_QUERY_LIMITED_INFORMATION = 0x0800;
constexpr DWORD THREAD_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0xFFFF;
constexpr DWORD EVENT_MODIFY_STATE = 0x0002;
constexpr DWORD EVENT_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0x3;
constexpr DWORD MUTEX_MODIFY_STATE = 0x0001;
constexpr DWORD MUTEX_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0x1;
constexpr DWORD FILE_MAP_COPY = 0x0001;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | 0x001F;

// DuplicateHandle options.
constexpr DWORD DUPLICATE_CLOSE_SOURCE = 0x1;
constexpr DWORD DUPLICATE_SAME_ACCESS = 0x2;

// Creation flags of CreateProcess (and CREATE_SUSPENDED of CreateThread).
constexpr DWORD DEBUG_PROCESS = 0x1;
constexpr DWORD DEBUG_ONLY_THIS_PROCESS = 0x2;
constexpr DWORD CREATE_SUSPENDED = 0x4;
constexpr DWORD DETACHED_PROCESS = 0x8;
constexpr DWORD CREATE_NEW_CONSOLE = 0x10;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x20;
constexpr DWORD IDLE_PRIORITY_CLASS = 0x40;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x80;
constexpr DWORD REALTIME_PRIORITY_CLASS = 0x100;
constexpr DWORD CREATE_NEW_PROCESS_GROUP = 0x200;
constexpr DWORD CREATE_UNICODE_ENVIRONMENT = 0x400;
constexpr DWORD CREATE_SEPARATE_WOW_VDM = 0x800;
constexpr DWORD CREATE_SHARED_WOW_VDM = 0x1000;
constexpr DWORD BELOW_NORMAL_PRIORITY_CLASS = 0x4000;
constexpr DWORD ABOVE_NORMAL_PRIORITY_CLASS = 0x8000;
constexpr DWORD CREATE_DEFAULT_ERROR_MODE = 0x4000000;
constexpr DWORD CREATE_NO_WINDOW = 0x8000000;

// STARTUPINFO flags.
constexpr DWORD STARTF_USESHOWWINDOW = 0x1;
constexpr DWORD STARTF_USESIZE = 0x2;
constexpr DWORD STARTF_USEPOSITION = 0x4;
constexpr DWORD STARTF_USECOUNTCHARS = 0x8;
constexpr DWORD STARTF_USEFILLATTRIBUTE = 0x10;
constexpr DWORD STARTF_RUNFULLSCREEN = 0x20;
constexpr DWORD STARTF_FORCEONFEEDBACK = 0x40;
constexpr DWORD STARTF_FORCEOFFFEEDBACK = 0x80;
constexpr DWORD STARTF_USESTDHANDLES = 0x100;

// Thread priorities.
constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Page protections of CreateFileMapping.
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD PAGE_WRITECOPY = 0x08;

// FormatMessage flags.
constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x0100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x0200;
constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x0400;
constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x0800;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
constexpr DWORD FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x2000;
constexpr DWORD FORMAT_MESSAGE_MAX_WIDTH_MASK = 0x00FF;

// ---- Records -----------------------------------------------------------------

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  BYTE* lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using STARTUPINFO = STARTUPINFOA;
using LPSTARTUPINFOA = STARTUPINFOA*;
using LPSTARTUPINFO = STARTUPINFO*;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID lpThreadParameter);
using PHANDLE = HANDLE*;
using LPDWORD = DWORD*;
using HLOCAL = HANDLE;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

// ---- Handles -----------------------------------------------------------------

// Closes a handle; the object goes when its last handle (and, for a mapping,
// its last view) goes. Closing the last handle of a pipe end wakes a thread
// blocked in ReadFile or WriteFile on it (ERROR_OPERATION_ABORTED); the
// descriptor itself is closed only after that call returned.
BOOL CloseHandle(HANDLE hObject);
// Only the current process may be source and target.
BOOL DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                     PHANDLE lpTargetHandle, DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwOptions);
// Pseudo handles: (HANDLE)-1 and (HANDLE)-2; closing them does nothing.
HANDLE GetCurrentProcess();
HANDLE GetCurrentThread();
DWORD GetCurrentProcessId();

// ---- Processes ---------------------------------------------------------------

// The command line is split into the child's arguments by the original
// platform's rules: blanks and tabs separate arguments; double quotes group;
// within quotes a doubled quote is a literal quote; 2n backslashes before a
// quote give n backslashes and the quote groups, 2n+1 give n backslashes and
// a literal quote; other backslashes are literal. The first argument (the
// program) ends at the first blank outside quotes and takes no escapes.
// The program is the application name or, without one, the first argument.
// A program with a folder is taken as it is (relative to the current
// folder); the application name without a folder is looked for in the
// current folder; the first argument without a folder is looked for in the
// executable's folder, the current folder, then the PATH folders. No
// extension is added or removed. The child is started directly (no shell).
// A missing program fails with ERROR_FILE_NOT_FOUND, a missing current
// folder with ERROR_DIRECTORY, a file that is no program with
// ERROR_BAD_EXE_FORMAT.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation);
inline BOOL CreateProcess(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                          LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                          LPVOID lpEnvironment, LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                          LPPROCESS_INFORMATION lpProcessInformation) {
  return CreateProcessA(lpApplicationName, lpCommandLine, lpProcessAttributes, lpThreadAttributes, bInheritHandles,
                        dwCreationFlags, lpEnvironment, lpCurrentDirectory, lpStartupInfo, lpProcessInformation);
}
// A process started by this layer and still referenced gives a handle to the
// same process; another id gives a handle that can wait for and terminate
// that process. An id with no process fails with ERROR_INVALID_PARAMETER.
HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// Fails with ERROR_ACCESS_DENIED once the process has ended.
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode);
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
// The system descriptor behind a pipe end or a child process (a process
// descriptor), for one thread to wait on many with poll or epoll; it is the
// handle's and lives as long as the object. -1 for other objects.
int GetHandleDescriptor(HANDLE hObject);
// There is no input idleness to wait for: 0 at once for a process handle.
DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds);

// ---- Jobs ---------------------------------------------------------------------

constexpr DWORD JOB_OBJECT_ASSIGN_PROCESS = 0x0001;
constexpr DWORD JOB_OBJECT_SET_ATTRIBUTES = 0x0002;
constexpr DWORD JOB_OBJECT_TERMINATE = 0x0008;
constexpr DWORD JOB_OBJECT_ALL_ACCESS = STANDARD_RIGHTS_REQUIRED | SYNCHRONIZE | 0x3F;
constexpr DWORD JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE = 0x00002000;
constexpr DWORD PROCESS_SET_QUOTA = 0x0100;

enum JOBOBJECTINFOCLASS { JobObjectBasicLimitInformation = 2, JobObjectExtendedLimitInformation = 9 };

struct JOBOBJECT_BASIC_LIMIT_INFORMATION {
  LARGE_INTEGER PerProcessUserTimeLimit;
  LARGE_INTEGER PerJobUserTimeLimit;
  DWORD LimitFlags;
  size_t MinimumWorkingSetSize;
  size_t MaximumWorkingSetSize;
  DWORD ActiveProcessLimit;
  ULONG_PTR Affinity;
  DWORD PriorityClass;
  DWORD SchedulingClass;
};
struct IO_COUNTERS {
  ULONGLONG ReadOperationCount;
  ULONGLONG WriteOperationCount;
  ULONGLONG OtherOperationCount;
  ULONGLONG ReadTransferCount;
  ULONGLONG WriteTransferCount;
  ULONGLONG OtherTransferCount;
};
struct JOBOBJECT_EXTENDED_LIMIT_INFORMATION {
  JOBOBJECT_BASIC_LIMIT_INFORMATION BasicLimitInformation;
  IO_COUNTERS IoInfo;
  size_t ProcessMemoryLimit;
  size_t JobMemoryLimit;
  size_t PeakProcessMemoryUsed;
  size_t PeakJobMemoryUsed;
};

// Unnamed jobs only: a name fails with ERROR_NOT_SUPPORTED.
HANDLE CreateJobObjectA(LPSECURITY_ATTRIBUTES lpJobAttributes, LPCSTR lpName);
// The extended limits with no flag but JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
// anything else fails with ERROR_NOT_SUPPORTED (a wrong size with
// ERROR_BAD_LENGTH).
BOOL SetInformationJobObject(HANDLE hJob, JOBOBJECTINFOCLASS JobObjectInformationClass, LPVOID lpJobObjectInformation,
                             DWORD cbJobObjectInformationLength);
// A process of another job fails with ERROR_ACCESS_DENIED.
BOOL AssignProcessToJobObject(HANDLE hJob, HANDLE hProcess);
BOOL TerminateJobObject(HANDLE hJob, UINT uExitCode);

// ---- Threads -----------------------------------------------------------------

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, size_t dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                    LPDWORD lpThreadId);
// The previous suspend count; a child process's primary thread reads 0.
DWORD ResumeThread(HANDLE hThread);
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
// The value is kept and read back as given; it is also applied to the
// thread's nice value where the system allows it (lowering always works,
// raising above normal usually needs privileges and is then skipped).
BOOL SetThreadPriority(HANDLE hThread, int nPriority);
int GetThreadPriority(HANDLE hThread);

// ---- Pipes and files ---------------------------------------------------------

// nSize is a hint and is ignored.
BOOL CreatePipe(PHANDLE hReadPipe, PHANDLE hWritePipe, LPSECURITY_ATTRIBUTES lpPipeAttributes, DWORD nSize);
// Synchronous only (lpOverlapped must be null). Reading a pipe whose write
// ends are all closed fails with ERROR_BROKEN_PIPE; writing a pipe whose
// read ends are all closed fails with ERROR_NO_DATA.
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped);
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped);

// ---- Events, mutexes and waits -----------------------------------------------

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName);
inline HANDLE CreateEvent(LPSECURITY_ATTRIBUTES a, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
  return CreateEventA(a, bManualReset, bInitialState, lpName);
}
HANDLE OpenEventA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
inline HANDLE OpenEvent(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName) {
  return OpenEventA(dwDesiredAccess, bInheritHandle, lpName);
}
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);
// Releases the threads waiting at this moment (all of them for a
// manual-reset event, one for an auto-reset event), then resets.
BOOL PulseEvent(HANDLE hEvent);

// A named mutex that exists already (in this or another process) gives a
// handle to it, bInitialOwner is ignored and the last error is
// ERROR_ALREADY_EXISTS; a name used by another kind of object fails with
// ERROR_INVALID_HANDLE.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
inline HANDLE CreateMutex(LPSECURITY_ATTRIBUTES a, BOOL bInitialOwner, LPCSTR lpName) {
  return CreateMutexA(a, bInitialOwner, lpName);
}
HANDLE OpenMutexA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
inline HANDLE OpenMutex(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName) {
  return OpenMutexA(dwDesiredAccess, bInheritHandle, lpName);
}
// Fails with ERROR_NOT_OWNER unless the calling thread owns the mutex.
BOOL ReleaseMutex(HANDLE hMutex);

// Waits on processes, threads, events and mutexes. A mutex whose owner
// thread ended without releasing it is acquired with WAIT_ABANDONED_0 + i.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds);

// ---- File mappings -----------------------------------------------------------

// Only mappings backed by the paging file (hFile = INVALID_HANDLE_VALUE).
// A named mapping that exists already gives a handle to it with its own
// size and the last error ERROR_ALREADY_EXISTS.
HANDLE CreateFileMappingA(HANDLE hFile, LPSECURITY_ATTRIBUTES lpFileMappingAttributes, DWORD flProtect,
                          DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName);
inline HANDLE CreateFileMapping(HANDLE hFile, LPSECURITY_ATTRIBUTES a, DWORD flProtect, DWORD dwMaximumSizeHigh,
                                DWORD dwMaximumSizeLow, LPCSTR lpName) {
  return CreateFileMappingA(hFile, a, flProtect, dwMaximumSizeHigh, dwMaximumSizeLow, lpName);
}
HANDLE OpenFileMappingA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);
inline HANDLE OpenFileMapping(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName) {
  return OpenFileMappingA(dwDesiredAccess, bInheritHandle, lpName);
}
// The offset is a multiple of 65536; 0 bytes maps to the mapping's end.
LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                     DWORD dwFileOffsetLow, size_t dwNumberOfBytesToMap);
BOOL UnmapViewOfFile(LPCVOID lpBaseAddress);

// ---- Messages ----------------------------------------------------------------

// FORMAT_MESSAGE_FROM_SYSTEM only: the system's text of dwMessageId followed
// by ".\r\n" (by "." alone with a width limit, which is not applied).
// With FORMAT_MESSAGE_ALLOCATE_BUFFER, lpBuffer is an LPSTR* that receives
// a buffer to free with LocalFree. Returns the length without the
// terminating NUL, 0 on failure.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                     DWORD nSize, void* Arguments);
inline DWORD FormatMessage(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                           DWORD nSize, void* Arguments) {
  return FormatMessageA(dwFlags, lpSource, dwMessageId, dwLanguageId, lpBuffer, nSize, Arguments);
}
// Frees a buffer of FormatMessage; returns null.
HLOCAL LocalFree(HLOCAL hMem);
