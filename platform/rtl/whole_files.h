// Small files read and replaced whole: settings, ini files, the registry
// store and the branding file.
//
// Reading never blocks and never runs away: the name is opened without
// waiting (a FIFO with no writer, a device), only a regular file is read,
// and a file larger than the caller's limit is refused before it is read.
//
// Replacing is atomic: the new content goes to a temporary file beside the
// target, is flushed and renamed over it. A name that is a symbolic link is
// followed the way writing through it would: the regular file it points to
// (or the file it would create when it dangles) is replaced and the link
// stays. Anything that is not a regular file (a device, a FIFO, a folder)
// is never replaced, nor is a file the caller may not write.
//
// A writer killed between creating its temporary file and renaming it
// leaves that file behind; the next replace of the same file removes such
// files of processes that no longer exist.
#pragma once

#include "platform/rtl/types.h"

// The limit of a settings-like file (ini files, the branding file).
constexpr Int64 MaxSettingsFileSize = 4 * 1024 * 1024;

enum TWholeFileRead {
  wfOk,
  wfMissing,      // nothing at that name (a dangling link, a missing folder)
  wfIsDirectory,  // a folder
  wfNotRegular,   // a device, FIFO or socket: not opened for reading
  wfTooLarge,     // a regular file over the limit
  wfFailed        // the system refused (permissions, I/O); the last error says why
};

// Reads the whole regular file FileName into Contents (empty unless wfOk).
// Sets the last OS error whenever the result is not wfOk.
TWholeFileRead ReadWholeFile(const AnsiString& FileName, AnsiString& Contents, Int64 MaxSize = MaxSettingsFileSize);

// Why a read failed, as a sentence: "It is not a regular file.", "It is
// larger than 4 MB.", or the system's message for wfFailed and wfMissing
// (taken from the last OS error, so call it right after the read).
AnsiString WholeFileReadFailure(TWholeFileRead Result, Int64 MaxSize = MaxSettingsFileSize);

// Replaces FileName whole (see above), keeping the old file's permissions.
// False, with the last OS error set, when any step fails or the target is
// not a writable regular file; the old file is then untouched and no
// temporary file is left.
bool ReplaceWholeFile(const AnsiString& FileName, const AnsiString& Contents);

// An exclusive lock between processes (and threads) that read, change and
// replace the same file: held on "<file>.lock" beside the regular file
// that FileName names (through symbolic links, so every name of one file
// shares one lock; beside the name itself when it leads to no regular
// file). Waits until the lock is free. Locked() is false when the lock
// file cannot be opened (a missing or read-only folder) and sets the last
// OS error.
class TFileUpdateLock {
  int FHandle = -1;

 public:
  explicit TFileUpdateLock(const AnsiString& FileName);
  ~TFileUpdateLock();
  TFileUpdateLock(const TFileUpdateLock&) = delete;
  TFileUpdateLock& operator=(const TFileUpdateLock&) = delete;

  bool Locked() const { return FHandle >= 0; }
};
