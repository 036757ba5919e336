// What the main window's file list asks of files, of dropped file lists and
// of the clipboard: which names are PDF files, a file's size and times,
// and the names a drop or the clipboard carries.
#pragma once

#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/windef.h"

// True when the extension, its ASCII letters lower-cased, is ".pdf".
bool IsPdfExtension(const AnsiString& extension);

// The size of the file at the path itself (no wildcard matching: a name may
// hold "*" or "?"); 0 for a folder, -1 when nothing is there.
Int64 FileSizeOf(const AnsiString& path);

enum TFileTimeKind { ftCreation = 0, ftLastAccess = 1, ftLastWrite = 2 };

// A time of the file at the path itself, in local time. The creation time
// is the file's birth time where the file system keeps one, else its
// last-write time. Times within 1980 to 2107 are cut to two seconds, as
// the list has always shown them; earlier and later ones are kept whole.
// The current date and time when nothing is there.
TDateTime FileTimeOf(const AnsiString& path, TFileTimeKind which);

// What a row shows of a file: its size, last-write and creation times, as
// FileSizeOf and FileTimeOf give them, read at once.
struct TListedFile {
  Int64 Size = 0;
  TDateTime LastWrite = 0;
  TDateTime Creation = 0;
};
// False when no regular file is at the path (a folder, nothing at all).
bool ReadListedFile(const AnsiString& path, TListedFile& file);

// ReadListedFile for many files of few folders, as a folder search finds
// them: the folder of the last file stays open, so that only the name is
// looked up for the next file of the same folder. Keep one for a single
// search; a folder renamed meanwhile is still read where it was opened.
class TListedFileReader {
 public:
  TListedFileReader() = default;
  TListedFileReader(const TListedFileReader&) = delete;
  TListedFileReader& operator=(const TListedFileReader&) = delete;
  ~TListedFileReader();
  bool Read(const AnsiString& path, TListedFile& file);

 private:
  AnsiString FFolder;
  int FFolderFd = -1;
};

// The size column's text: bytes / 1024 formatted "%4.2f KB" with the
// locale's decimal separator ("1.50 KB").
AnsiString FileSizeText(Int64 size);
// The same with the given settings' decimal separator.
AnsiString FileSizeText(Int64 size, const TFormatSettings& settings);

// The names of a dropped file list, in order, each read whole.
std::vector<AnsiString> DroppedFileNames(HDROP drop);

// The names of the file list the clipboard holds, in order, each read
// whole; none when it holds none or cannot be opened. The clipboard is
// closed again before this returns, so the caller may take its time.
std::vector<AnsiString> ClipboardFileNames(HWND owner);

// True unless the clipboard's file list holds a name that is an existing
// folder or has the extension ".pdf".
bool NothingToPaste(HWND owner);
