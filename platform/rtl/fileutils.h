// File and path functions, file search, file times, descriptors, the
// command line and the executable's path, and the user's standard folders.
// Paths are native: '/' separates folders and there are no drives.
#pragma once

#include <memory>

#include "platform/rtl/types.h"
#include "platform/rtl/win_types.h"

constexpr char PathDelim = '/';
constexpr const char* DriveDelim = "";
constexpr char PathSep = ':';

// ---- Path names -------------------------------------------------------------
// Pure text operations: nothing here touches the file system except
// ExpandFileName and ExtractRelativePath, which read the current folder.

// The folder part with its trailing delimiter ("" when there is none).
AnsiString ExtractFilePath(const AnsiString& FileName);
// The folder part without its trailing delimiter, except for the root "/".
AnsiString ExtractFileDir(const AnsiString& FileName);
// The part after the last delimiter.
AnsiString ExtractFileName(const AnsiString& FileName);
// The extension with its dot: the text from the last dot of the file name
// part; "" when that part has no dot. A dot in a folder name is not an
// extension. As on the host, a name that starts with its only dot is all
// extension: ExtractFileExt(".bashrc") is ".bashrc".
AnsiString ExtractFileExt(const AnsiString& FileName);
// Replaces the extension as ExtractFileExt sees it (appends when none).
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension);
// Always "": there are no drives.
AnsiString ExtractFileDrive(const AnsiString& FileName);
// Appends a delimiter unless there is one; "" becomes "/", as on the host.
AnsiString IncludeTrailingPathDelimiter(const AnsiString& S);
// Removes one trailing delimiter; the root "/" stays "/" (without its
// delimiter the root would read as the current folder).
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S);
// Whether the character at the 1-based Index is the delimiter.
bool IsPathDelimiter(const AnsiString& S, Integer Index);
// The absolute form against the current folder, with "." and ".." and
// repeated delimiters resolved as text (links are not followed). A trailing
// delimiter is kept. "" stays "".
AnsiString ExpandFileName(const AnsiString& FileName);
// DestName relative to the folder of BaseName (the part up to its last
// delimiter: pass a folder with a trailing delimiter). Both are expanded
// first; components compare with case, as the file system does.
AnsiString ExtractRelativePath(const AnsiString& BaseName, const AnsiString& DestName);

// ---- Files and folders --------------------------------------------------------
// Failures set the last OS error (GetLastError).

// A regular file, or a link to one. False for folders and special files.
bool FileExists(const AnsiString& FileName);
// A folder, or a link to one.
bool DirectoryExists(const AnsiString& Directory);
// Creates one folder; false when it exists or its parent is missing.
bool CreateDir(const AnsiString& Dir);
// Creates the folder and every missing parent; true when it exists at the
// end. Raises EOSError "Unable to create directory" for an empty name.
bool ForceDirectories(const AnsiString& Dir);
// Removes an empty folder.
bool RemoveDir(const AnsiString& Dir);
// Deletes a file (a link itself, not its target); false for a folder.
bool DeleteFile(const AnsiString& FileName);
// Renames or moves; never replaces an existing NewName (fails with
// ERROR_ALREADY_EXISTS instead).
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName);
AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& Dir);
// The attributes (fa* bits) or -1 when the name does not exist.
Integer FileGetAttr(const AnsiString& FileName);
// The size of a file in bytes, -1 when it does not exist or is a folder.
Int64 FileSize(const AnsiString& FileName);
// The temporary folder ($TMPDIR, else /tmp), with a trailing delimiter.
AnsiString GetTempDir();

// ---- File dates ----------------------------------------------------------------
// A file date is the packed DOS date and time in local time: the date in the
// high word ((year - 1980) << 9 | month << 5 | day), the time in the low word
// (hour << 11 | minute << 5 | second / 2). It covers 1980 to 2107.

// The last-write time of a file (not a folder); -1 when missing or outside
// the packed range.
Integer FileAge(const AnsiString& FileName);
// The last-write time in local time, to the millisecond; false when the
// name is missing or a folder.
bool FileAge(const AnsiString& FileName, TDateTime& FileDateTime);
// The last-write time of an open descriptor; -1 on failure.
Integer FileGetDate(int Handle);
// Sets the last-write time; 0 on success, else the OS error code.
Integer FileSetDate(const AnsiString& FileName, Integer Age);
// Raises EConvertError for a packed value that is not a valid date.
TDateTime FileDateToDateTime(Integer FileDate);
// 0 for a date outside 1980 to 2107.
Integer DateTimeToFileDate(TDateTime DateTime);

// ---- Descriptors ----------------------------------------------------------------
// Descriptors are closed on exec, so child processes never inherit them.
// Share modes in FileOpen's mode are accepted and not enforced.

// Creates or truncates for reading and writing; -1 on failure.
int FileCreate(const AnsiString& FileName);
int FileCreate(const AnsiString& FileName, Integer Rights);
// Opens with an fmOpen* access mode; -1 on failure (and for a folder).
int FileOpen(const AnsiString& FileName, LongWord Mode);
// Bytes moved, -1 on failure. FileWrite writes all of the buffer or fails.
Integer FileRead(int Handle, void* Buffer, Integer Count);
Integer FileWrite(int Handle, const void* Buffer, Integer Count);
// Origin 0 = beginning, 1 = current, 2 = end. The new position, -1 on failure.
Int64 FileSeek(int Handle, Int64 Offset, Integer Origin);
void FileClose(int Handle);

// ---- Win32-shaped times and find data ------------------------------------------

// 100-nanosecond intervals since 1601-01-01, UTC unless said otherwise.
struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};
using TFileTime = FILETIME;

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};
using TSystemTime = SYSTEMTIME;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

struct WIN32_FIND_DATA {
  DWORD dwFileAttributes = 0;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  DWORD dwReserved0 = 0;
  DWORD dwReserved1 = 0;
  CHAR cFileName[MAX_PATH] = {};
  CHAR cAlternateFileName[14] = {};
};
using TWin32FindData = WIN32_FIND_DATA;

struct WIN32_FILE_ATTRIBUTE_DATA {
  DWORD dwFileAttributes = 0;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
};
enum GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard = 0 };

// UTC to local time and back, with the offset in force at that instant.
BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, FILETIME* lpLocalFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, FILETIME* lpFileTime);
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime);
// FALSE for fields out of range (wDayOfWeek is ignored).
BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, FILETIME* lpFileTime);
// Truncates to two seconds; FALSE outside 1980 to 2107.
BOOL FileTimeToDosDateTime(const FILETIME* lpFileTime, WORD* lpFatDate, WORD* lpFatTime);
BOOL DosDateTimeToFileTime(WORD wFatDate, WORD wFatTime, FILETIME* lpFileTime);

// Attributes of a name, from the file system:
// - FILE_ATTRIBUTE_DIRECTORY for a folder;
// - FILE_ATTRIBUTE_HIDDEN for a name starting with a dot ("." and ".." are not);
// - FILE_ATTRIBUTE_READONLY when the current user may not write it;
// - FILE_ATTRIBUTE_ARCHIVE for a regular file;
// - FILE_ATTRIBUTE_SYSTEM for anything else (devices, pipes, sockets);
// - FILE_ATTRIBUTE_REPARSE_POINT for a symbolic link, whose other attributes,
//   size and times are those of its target (of the link when it dangles).
// The creation time is the birth time where the file system records one,
// else the last-write time. A folder's size is 0.
DWORD GetFileAttributes(LPCSTR lpFileName);
BOOL GetFileAttributesEx(LPCSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId, LPVOID lpFileInformation);

// Lists the entries of a folder whose names match the last component of
// lpFileName ('*' any run, '?' one character, "*.*" every name, without
// regard to case), sorted by name without regard to case ("." and ".."
// first when they match). A last component without wildcards that names an
// entry exactly finds that entry alone. Fails with ERROR_PATH_NOT_FOUND for
// a missing folder, ERROR_ACCESS_DENIED for an unreadable one and
// ERROR_FILE_NOT_FOUND when nothing matches.
HANDLE FindFirstFile(LPCSTR lpFileName, WIN32_FIND_DATA* lpFindFileData);
// FALSE with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFile(HANDLE hFindFile, WIN32_FIND_DATA* lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// ---- File search ------------------------------------------------------------------

constexpr Integer faReadOnly = 0x01;
constexpr Integer faHidden = 0x02;
constexpr Integer faSysFile = 0x04;
constexpr Integer faVolumeID = 0x08;
constexpr Integer faDirectory = 0x10;
constexpr Integer faArchive = 0x20;
constexpr Integer faNormal = 0x80;
constexpr Integer faSymLink = 0x400;
constexpr Integer faAnyFile = 0x3F;

namespace rtl::detail {
struct TFindListing;
}

// The listing gives each entry's name and type alone: FindFirst and FindNext
// set Name and leave the other fields to be read from the file system when
// one of them is first read (all of them then). A copy made before that
// reads them too when read; a closed search's last record can still be read
// (a record still to be read keeps its folder open until it is read, moves
// on or goes).
struct TSearchRec {
  // A field read on demand: reads as its value.
  template <class T>
  class TField {
   public:
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;
    const T& Get() const {
      if (FOwner->FPending) FOwner->Load();
      return FValue;
    }
    operator const T&() const { return Get(); }
    const T* operator->() const { return &Get(); }

   private:
    friend struct TSearchRec;
    explicit TField(const TSearchRec* owner, const T& value = T()) : FOwner(owner), FValue(value) {}
    const TSearchRec* FOwner;
    mutable T FValue;
  };

  // The last-write time as a local file date; 0 outside the packed range
  // (FindData keeps the exact times).
  TField<Integer> Time{this};
  TField<Int64> Size{this};
  TField<Integer> Attr{this};
  AnsiString Name;
  Integer ExcludeAttr = 0;
  HANDLE FindHandle = INVALID_HANDLE_VALUE;
  TField<WIN32_FIND_DATA> FindData{this};

  TSearchRec() = default;
  TSearchRec(const TSearchRec& Other);
  TSearchRec& operator=(const TSearchRec& Other);
  ~TSearchRec();

  // Whether the entry is a folder: Attr & faDirectory, read from the
  // listing's entry type where that tells (it does not for a link).
  bool IsDirectory() const;

 private:
  friend Integer FindFirst(const AnsiString& Path, Integer Attr, TSearchRec& F);
  friend Integer FindNext(TSearchRec& F);
  // Moves to the listing's next entry that ExcludeAttr lets through.
  static bool Advance(TSearchRec& F, const std::shared_ptr<rtl::detail::TFindListing>& Listing);
  void Load() const;
  // The listing and entry whose fields are still to be read.
  mutable std::shared_ptr<rtl::detail::TFindListing> FPending;
  size_t FEntry = 0;
  unsigned char FType = 0;  // the listing's entry type (DT_UNKNOWN when none)
};

// Starts a search (see FindFirstFile, but the names are those listed when the
// search starts: an entry removed since is still found, its fields then
// telling only what its listed type does). Entries with the hidden, system or
// directory attribute are found only when Attr asks for that attribute; the
// others always are. Returns 0 when an entry was found, else the OS error
// code (ERROR_NO_MORE_FILES when names matched but none passed the
// attribute filter); the search is closed on failure.
Integer FindFirst(const AnsiString& Path, Integer Attr, TSearchRec& F);
Integer FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// ---- The command line and the executable ---------------------------------------

// Keeps a copy of main's arguments for ParamStr and ParamCount.
void SetCommandLine(int argc, const char* const* argv);
// The number of arguments after the program name.
Integer ParamCount();
// ParamStr(0) is the executable's absolute path (from the system, not from
// argv); 1..ParamCount the arguments; "" otherwise.
AnsiString ParamStr(Integer Index);

// ---- The user's folders -----------------------------------------------------------
// Both without a trailing delimiter.

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
AnsiString GetAppDataFolder();
// The XDG documents folder (XDG_DOCUMENTS_DIR of user-dirs.dirs in the
// configuration folder) when it exists, else the home folder.
AnsiString GetPersonalFolder();
