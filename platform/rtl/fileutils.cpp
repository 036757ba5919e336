#include "platform/rtl/fileutils.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

namespace {

constexpr Cardinal ERROR_FILE_NOT_FOUND = 2;
constexpr Cardinal ERROR_PATH_NOT_FOUND = 3;
constexpr Cardinal ERROR_INVALID_HANDLE = 6;
constexpr Cardinal ERROR_NO_MORE_FILES = 18;
constexpr Cardinal ERROR_INVALID_PARAMETER = 87;
constexpr Cardinal ERROR_ALREADY_EXISTS = 183;

// FILETIME ticks per second and the seconds between 1601 and 1970.
constexpr Int64 kTicksPerSecond = 10000000;
constexpr Int64 kEpochDelta = 11644473600LL;
constexpr Int64 kTicksPerDay = kTicksPerSecond * 86400;
// Days from 1601-01-01 to 1970-01-01, and from 1899-12-30 (day 0 of a
// TDateTime) to 1970-01-01.
constexpr Int64 kDays1601To1970 = 134774;
constexpr Int64 kDays1899To1970 = 25569;

bool Fail() {
  SetLastErrorFromErrno();
  return false;
}

// ---- Calendar arithmetic (proleptic Gregorian, days relative to 1970) ----

Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  const Int64 era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<Int64>(doe) - 719468;
}

void CivilFromDays(Int64 z, Int64& y, unsigned& m, unsigned& d) {
  z += 719468;
  const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<Int64>(yoe) + era * 400 + (m <= 2);
}

bool IsLeapYear(Int64 y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(Int64 y, unsigned m) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// ---- FILETIME helpers ----

UInt64 Ticks(const FILETIME& ft) { return (UInt64(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

FILETIME FromTicks(UInt64 t) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  return ft;
}

// A time before 1601 has no FILETIME: it becomes 0.
FILETIME FromUnix(Int64 sec, Int64 nsec) {
  if (sec < -kEpochDelta) return FILETIME();
  return FromTicks(static_cast<UInt64>((sec + kEpochDelta) * kTicksPerSecond + nsec / 100));
}

Int64 FloorQuotient(Int64 a, Int64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Makes the C library's zone current. With TZ set that costs nothing (the
// library compares the text), so it is done every time; without TZ the
// library would look at the system's zone file on every call, so that is
// done only when TZ was just removed or at most once a second, to notice a
// new zone file.
void LoadTimeZone() {
  static std::mutex lock;
  static bool loaded = false;
  static std::string zone;
  static std::chrono::steady_clock::time_point checked;
  const char* tz = std::getenv("TZ");
  const std::string current = tz ? std::string(1, '=') + tz : std::string();
  const auto now = std::chrono::steady_clock::now();
  std::lock_guard<std::mutex> g(lock);
  if (loaded && !tz && current == zone && now - checked < std::chrono::seconds(1)) return;
  tzset();
  loaded = true;
  zone = current;
  checked = now;
}

// The local time's offset from UTC, in seconds, at a UTC instant.
long LocalOffsetAt(Int64 unixSeconds) {
  LoadTimeZone();
  time_t t = static_cast<time_t>(unixSeconds);
  struct tm tm;
  if (!localtime_r(&t, &tm)) return 0;
  return tm.tm_gmtoff;
}

// A TDateTime from a FILETIME taken as is, to the millisecond.
TDateTime DateTimeFromTicks(UInt64 ticks) {
  const Int64 ms = static_cast<Int64>(ticks / 10000);
  const Int64 days = ms / 86400000 - (kDays1601To1970 - kDays1899To1970);
  const double frac = static_cast<double>(ms % 86400000) / 86400000.0;
  // Before day 0 the fraction counts away from zero, as TDateTime does.
  return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

// The last-write time of a stat result as a local file date, -1 outside
// the packed range.
Integer LocalFileDate(const struct timespec& mtime) {
  FILETIME utc = FromUnix(mtime.tv_sec, mtime.tv_nsec), local;
  WORD date, time;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return -1;
  return static_cast<Integer>((DWORD(date) << 16) | time);
}

// ---- Entry information ----

// The last component of a path, ignoring trailing delimiters.
AnsiString LastComponent(const AnsiString& path) {
  size_t end = path.find_last_not_of('/');
  if (end == AnsiString::npos) return AnsiString();
  size_t start = path.rfind('/', end);
  start = start == AnsiString::npos ? 0 : start + 1;
  return path.substr(start, end + 1 - start);
}

bool IsHiddenName(const AnsiString& name) { return !name.empty() && name[0] == '.' && name != "." && name != ".."; }

struct TEntryInfo {
  DWORD Attributes = 0;
  FILETIME Creation, Access, Write;
  UInt64 Size = 0;
};

FILETIME FromStatx(const struct statx_timestamp& ts) { return FromUnix(ts.tv_sec, ts.tv_nsec); }

// Reads the attributes, size and times of the entry at path (relative to
// the folder dirFd when that is open); name decides whether it is hidden.
bool StatEntry(const AnsiString& path, const AnsiString& name, TEntryInfo& info, int dirFd = AT_FDCWD) {
  constexpr unsigned kMask = STATX_BASIC_STATS | STATX_BTIME;
  struct statx sx;
  if (statx(dirFd, path.c_str(), AT_SYMLINK_NOFOLLOW, kMask, &sx) != 0) return Fail();
  DWORD attr = 0;
  if (S_ISLNK(sx.stx_mode)) {
    attr |= FILE_ATTRIBUTE_REPARSE_POINT;
    struct statx target;
    if (statx(dirFd, path.c_str(), 0, kMask, &target) == 0) sx = target;
  }
  const bool isDir = S_ISDIR(sx.stx_mode);
  if (isDir)
    attr |= FILE_ATTRIBUTE_DIRECTORY;
  else if (S_ISREG(sx.stx_mode))
    attr |= FILE_ATTRIBUTE_ARCHIVE;
  else if (!S_ISLNK(sx.stx_mode))
    attr |= FILE_ATTRIBUTE_SYSTEM;
  if (IsHiddenName(name)) attr |= FILE_ATTRIBUTE_HIDDEN;
  if (faccessat(dirFd, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS))
    attr |= FILE_ATTRIBUTE_READONLY;
  if (attr == 0) attr = FILE_ATTRIBUTE_NORMAL;
  info.Attributes = attr;
  info.Write = FromStatx(sx.stx_mtime);
  info.Access = FromStatx(sx.stx_atime);
  // Not every file system records a birth time.
  info.Creation = (sx.stx_mask & STATX_BTIME) ? FromStatx(sx.stx_btime) : info.Write;
  info.Size = isDir || S_ISLNK(sx.stx_mode) ? 0 : sx.stx_size;
  return true;
}

void FillFindData(const TEntryInfo& info, const AnsiString& name, WIN32_FIND_DATA& fd) {
  fd = WIN32_FIND_DATA();
  fd.dwFileAttributes = info.Attributes;
  fd.ftCreationTime = info.Creation;
  fd.ftLastAccessTime = info.Access;
  fd.ftLastWriteTime = info.Write;
  fd.nFileSizeHigh = static_cast<DWORD>(info.Size >> 32);
  fd.nFileSizeLow = static_cast<DWORD>(info.Size);
  std::strncpy(fd.cFileName, name.c_str(), MAX_PATH - 1);
}

// ---- Name matching and ordering without regard to case ----

// Names compare through the library's one case mapping, so that file
// search agrees with the string functions.
WideString Folded(const AnsiString& s) {
  bool ascii = true;
  for (unsigned char c : s) ascii = ascii && c < 0x80;
  if (!ascii) return WideUpperCase(AnsiToWide(s));
  // Plain ASCII, the common case, needs no text conversion.
  WideString key(s.size(), u'\0');
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    key[i] = static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return key;
}

// '*' matches any run, '?' one unit; both strings folded.
bool WildcardMatch(const WideString& mask, const WideString& name) {
  size_t mi = 0, ni = 0, star = WideString::npos, mark = 0;
  while (ni < name.size()) {
    if (mi < mask.size() && (mask[mi] == u'?' || mask[mi] == name[ni])) {
      ++mi;
      ++ni;
    } else if (mi < mask.size() && mask[mi] == u'*') {
      star = mi++;
      mark = ni;
    } else if (star != WideString::npos) {
      mi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (mi < mask.size() && mask[mi] == u'*') ++mi;
  return mi == mask.size();
}

bool HasWildcards(const AnsiString& s) { return s.find_first_of("*?") != AnsiString::npos; }

}  // namespace

namespace rtl::detail {

// An open listing: the matching names with their entry types, sorted,
// taken when the search started.
struct TFindListing {
  struct TEntry {
    AnsiString Name;
    unsigned char Type;  // DT_*
  };
  AnsiString Prefix;  // the folder part of the pattern, with its delimiter
  std::vector<TEntry> Entries;
  size_t Next = 0;
  // The folder, kept open so that each entry is looked up by its name
  // alone rather than by its whole path.
  int DirFd = -1;
  TFindListing() = default;
  TFindListing(const TFindListing&) = delete;
  TFindListing& operator=(const TFindListing&) = delete;
  ~TFindListing() {
    if (DirFd >= 0) close(DirFd);
  }
};

}  // namespace rtl::detail

namespace {

using rtl::detail::TFindListing;
using TListingRef = std::shared_ptr<TFindListing>;

std::mutex& FindLock() {
  static std::mutex m;
  return m;
}
// The live listings by handle, so that a stale or foreign handle fails
// instead of being dereferenced.
std::unordered_map<TFindListing*, TListingRef>& FindListings() {
  static std::unordered_map<TFindListing*, TListingRef> s;
  return s;
}

TListingRef LookupListing(HANDLE h) {
  std::lock_guard<std::mutex> g(FindLock());
  auto it = FindListings().find(static_cast<TFindListing*>(h));
  return it == FindListings().end() ? nullptr : it->second;
}

HANDLE RegisterListing(TListingRef l) {
  TFindListing* h = l.get();
  std::lock_guard<std::mutex> g(FindLock());
  FindListings().emplace(h, std::move(l));
  return h;
}

// Each entry is examined when it is reached, so entries removed meanwhile
// are skipped.
bool NextEntry(TFindListing& l, WIN32_FIND_DATA& fd) {
  while (l.Next < l.Entries.size()) {
    const AnsiString& name = l.Entries[l.Next++].Name;
    TEntryInfo info;
    if (StatEntry(name, name, info, l.DirFd)) {
      FillFindData(info, name, fd);
      return true;
    }
  }
  return false;
}

unsigned char EntryTypeOfMode(mode_t mode) {
  switch (mode & S_IFMT) {
    case S_IFDIR: return DT_DIR;
    case S_IFREG: return DT_REG;
    case S_IFLNK: return DT_LNK;
    case S_IFCHR: return DT_CHR;
    case S_IFBLK: return DT_BLK;
    case S_IFIFO: return DT_FIFO;
    case S_IFSOCK: return DT_SOCK;
    default: return DT_UNKNOWN;
  }
}

// What an entry's type and name tell of its attributes; a link or an entry
// of unknown type needs a look at the file system for more.
DWORD TypeAttributes(unsigned char type, const AnsiString& name) {
  DWORD attr = 0;
  switch (type) {
    case DT_DIR: attr = FILE_ATTRIBUTE_DIRECTORY; break;
    case DT_REG: attr = FILE_ATTRIBUTE_ARCHIVE; break;
    case DT_LNK: attr = FILE_ATTRIBUTE_REPARSE_POINT; break;
    case DT_UNKNOWN: break;
    default: attr = FILE_ATTRIBUTE_SYSTEM;
  }
  if (IsHiddenName(name)) attr |= FILE_ATTRIBUTE_HIDDEN;
  return attr;
}

bool TypeTellsAttributes(unsigned char type) { return type != DT_LNK && type != DT_UNKNOWN; }

// Sorted without regard to case, the exact bytes breaking ties; "." and
// ".." first, as the original file system lists them.
void SortEntries(std::vector<TFindListing::TEntry>& entries) {
  struct TKey {
    int Rank;
    WideString Folded;
    size_t Index;
  };
  std::vector<TKey> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const AnsiString& n = entries[i].Name;
    keys.push_back({n == "." ? 0 : n == ".." ? 1 : 2, Folded(n), i});
  }
  std::sort(keys.begin(), keys.end(), [&](const TKey& a, const TKey& b) {
    if (a.Rank != b.Rank) return a.Rank < b.Rank;
    if (a.Folded != b.Folded) return a.Folded < b.Folded;
    return entries[a.Index].Name < entries[b.Index].Name;
  });
  std::vector<TFindListing::TEntry> sorted;
  sorted.reserve(entries.size());
  for (const TKey& k : keys) sorted.push_back(std::move(entries[k.Index]));
  entries = std::move(sorted);
}

// Fills the listing's entries; false with the last error set on failure.
bool ListNames(TFindListing& l, const AnsiString& mask) {
  const char* folder = l.Prefix.empty() ? "." : l.Prefix.c_str();
  l.DirFd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (l.DirFd < 0 && errno == EACCES) {
    // A folder that cannot be listed may still be searched for a name.
    l.DirFd = open(folder, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (l.DirFd >= 0) errno = EACCES;
  }
  if (l.DirFd < 0) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrnoToOSError(errno));
    return false;
  }
  struct stat st;
  if (!HasWildcards(mask) && fstatat(l.DirFd, mask.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    l.Entries.push_back({mask, EntryTypeOfMode(st.st_mode)});
    return true;
  }
  const bool all = mask == "*" || mask == "*.*";
  const WideString foldedMask = Folded(mask);
  // Read straight from the descriptor: a directory stream would first ask
  // again what the descriptor is.
  alignas(struct dirent64) char buffer[32768];
  for (bool first = true;; first = false) {
    const ssize_t n = getdents64(l.DirFd, buffer, sizeof buffer);
    if (n < 0 && first) {
      SetLastError(ErrnoToOSError(errno == EBADF ? EACCES : errno));
      return false;
    }
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const struct dirent64*>(buffer + at);
      at += e->d_reclen;
      AnsiString name = e->d_name;
      if (all || WildcardMatch(foldedMask, Folded(name))) l.Entries.push_back({std::move(name), e->d_type});
    }
  }
  if (l.Entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  SortEntries(l.Entries);
  return true;
}

// A listing of the names that match the pattern's last component; null
// with the last error set when there is none.
TListingRef OpenListing(const AnsiString& pattern) {
  auto listing = std::make_shared<TFindListing>();
  listing->Prefix = ExtractFilePath(pattern);
  const AnsiString mask = ExtractFileName(pattern);
  if (mask.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return ListNames(*listing, mask) ? listing : nullptr;
}

AnsiString StripTrailingDelimiters(AnsiString s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::vector<AnsiString> SplitPath(const AnsiString& path) {
  std::vector<AnsiString> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == AnsiString::npos) j = path.size();
    if (j > i) parts.push_back(path.substr(i, j - i));
    i = j + 1;
  }
  return parts;
}

std::vector<AnsiString>& Arguments() {
  static std::vector<AnsiString> args;
  return args;
}

AnsiString HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return StripTrailingDelimiters(home);
  struct passwd pw, *result = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &result) == 0 && result && result->pw_dir && *result->pw_dir)
    return StripTrailingDelimiters(result->pw_dir);
  return "/";
}

// The value of a user-dirs.dirs entry: a shell-quoted path that starts with
// "$HOME" or "/". "" when it is neither.
AnsiString UserDirValue(const AnsiString& raw, const AnsiString& home) {
  AnsiString v;
  if (!raw.empty() && raw[0] == '"') {
    for (size_t i = 1; i < raw.size() && raw[i] != '"'; ++i) {
      if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
      v += raw[i];
    }
  } else {
    v = raw.substr(0, raw.find_last_not_of(" \t\r") + 1);
  }
  if (v.compare(0, 5, "$HOME") == 0 && (v.size() == 5 || v[5] == '/')) return StripTrailingDelimiters(home + v.substr(5));
  return !v.empty() && v[0] == '/' ? StripTrailingDelimiters(v) : AnsiString();
}

}  // namespace

// ---- Path names ----------------------------------------------------------------

AnsiString ExtractFilePath(const AnsiString& FileName) {
  size_t i = FileName.rfind(PathDelim);
  return i == AnsiString::npos ? AnsiString() : FileName.substr(0, i + 1);
}

AnsiString ExtractFileDir(const AnsiString& FileName) {
  size_t i = FileName.rfind(PathDelim);
  if (i == AnsiString::npos) return AnsiString();
  // Keep the delimiter of the root and of a run of delimiters.
  if (i > 0 && FileName[i - 1] != PathDelim) return FileName.substr(0, i);
  return FileName.substr(0, i + 1);
}

AnsiString ExtractFileName(const AnsiString& FileName) {
  size_t i = FileName.rfind(PathDelim);
  return i == AnsiString::npos ? FileName : FileName.substr(i + 1);
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
  size_t i = FileName.find_last_of("./");
  return i != AnsiString::npos && FileName[i] == '.' ? FileName.substr(i) : AnsiString();
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension) {
  size_t i = FileName.find_last_of("./");
  if (i == AnsiString::npos || FileName[i] != '.') i = FileName.size();
  return FileName.substr(0, i) + Extension;
}

AnsiString ExtractFileDrive(const AnsiString&) { return AnsiString(); }

AnsiString IncludeTrailingPathDelimiter(const AnsiString& S) {
  return !S.empty() && S.back() == PathDelim ? S : S + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S) {
  return S.size() > 1 && S.back() == PathDelim ? S.substr(0, S.size() - 1) : S;
}

bool IsPathDelimiter(const AnsiString& S, Integer Index) {
  return Index >= 1 && static_cast<size_t>(Index) <= S.size() && S[Index - 1] == PathDelim;
}

AnsiString ExpandFileName(const AnsiString& FileName) {
  if (FileName.empty()) return AnsiString();
  const AnsiString full = FileName[0] == PathDelim ? FileName : GetCurrentDir() + PathDelim + FileName;
  std::vector<AnsiString> parts;
  for (AnsiString& p : SplitPath(full)) {
    if (p == ".") continue;
    if (p == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(p));
  }
  AnsiString r;
  for (const AnsiString& p : parts) r += PathDelim + p;
  if (r.empty() || FileName.back() == PathDelim) r += PathDelim;
  return r;
}

AnsiString ExtractRelativePath(const AnsiString& BaseName, const AnsiString& DestName) {
  auto folderOf = [](const AnsiString& name) {
    AnsiString dir = ExtractFilePath(name);
    return SplitPath(dir.empty() ? GetCurrentDir() : ExpandFileName(dir));
  };
  const std::vector<AnsiString> base = folderOf(BaseName), dest = folderOf(DestName);
  size_t common = 0;
  while (common < base.size() && common < dest.size() && base[common] == dest[common]) ++common;
  AnsiString r;
  for (size_t i = common; i < base.size(); ++i) r += "../";
  for (size_t i = common; i < dest.size(); ++i) r += dest[i] + PathDelim;
  return r + ExtractFileName(DestName);
}

// ---- Files and folders -----------------------------------------------------------

bool FileExists(const AnsiString& FileName) {
  struct stat st;
  if (stat(FileName.c_str(), &st) != 0) return Fail();
  return S_ISREG(st.st_mode);
}

bool DirectoryExists(const AnsiString& Directory) {
  struct stat st;
  if (stat(Directory.c_str(), &st) != 0) return Fail();
  return S_ISDIR(st.st_mode);
}

bool CreateDir(const AnsiString& Dir) { return mkdir(Dir.c_str(), 0777) == 0 || Fail(); }

bool ForceDirectories(const AnsiString& Dir) {
  if (Dir.empty()) throw EOSError("Unable to create directory");
  const AnsiString dir = StripTrailingDelimiters(Dir);
  if (DirectoryExists(dir)) return true;
  const AnsiString parent = ExtractFilePath(dir);
  if (!parent.empty() && !ForceDirectories(parent)) return false;
  if (CreateDir(dir)) return true;
  // Another process may have made it meanwhile.
  const Cardinal err = GetLastError();
  if (DirectoryExists(dir)) return true;
  SetLastError(err);
  return false;
}

bool RemoveDir(const AnsiString& Dir) { return rmdir(Dir.c_str()) == 0 || Fail(); }

bool DeleteFile(const AnsiString& FileName) { return unlink(FileName.c_str()) == 0 || Fail(); }

bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
  if (renameat2(AT_FDCWD, OldName.c_str(), AT_FDCWD, NewName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS) {
    // A file system without the no-replace rename: check, then rename.
    struct stat st;
    if (lstat(NewName.c_str(), &st) == 0) errno = EEXIST;
    else if (rename(OldName.c_str(), NewName.c_str()) == 0) return true;
  }
  if (errno == EEXIST) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return false;
  }
  return Fail();
}

AnsiString GetCurrentDir() {
  std::vector<char> buf(256);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) {
      SetLastErrorFromErrno();
      return AnsiString();
    }
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

bool SetCurrentDir(const AnsiString& Dir) { return chdir(Dir.c_str()) == 0 || Fail(); }

Integer FileGetAttr(const AnsiString& FileName) {
  DWORD attr = GetFileAttributes(FileName.c_str());
  return attr == INVALID_FILE_ATTRIBUTES ? -1 : static_cast<Integer>(attr);
}

Int64 FileSize(const AnsiString& FileName) {
  struct stat st;
  if (stat(FileName.c_str(), &st) != 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  return S_ISDIR(st.st_mode) ? -1 : static_cast<Int64>(st.st_size);
}

AnsiString GetTempDir() {
  const char* tmp = std::getenv("TMPDIR");
  if (tmp && tmp[0] == PathDelim) {
    struct stat st;
    if (stat(tmp, &st) == 0 && S_ISDIR(st.st_mode)) return IncludeTrailingPathDelimiter(tmp);
  }
  return "/tmp/";
}

// ---- File dates --------------------------------------------------------------------

Integer FileAge(const AnsiString& FileName) {
  struct stat st;
  if (stat(FileName.c_str(), &st) != 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  return S_ISDIR(st.st_mode) ? -1 : LocalFileDate(st.st_mtim);
}

bool FileAge(const AnsiString& FileName, TDateTime& FileDateTime) {
  struct stat st;
  if (stat(FileName.c_str(), &st) != 0) return Fail();
  if (S_ISDIR(st.st_mode)) return false;
  FILETIME utc = FromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec), local;
  if (!FileTimeToLocalFileTime(&utc, &local)) return false;
  FileDateTime = DateTimeFromTicks(Ticks(local));
  return true;
}

Integer FileGetDate(int Handle) {
  struct stat st;
  if (fstat(Handle, &st) != 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  return LocalFileDate(st.st_mtim);
}

Integer FileSetDate(const AnsiString& FileName, Integer Age) {
  FILETIME local, utc;
  const DWORD age = static_cast<DWORD>(Age);
  if (!DosDateTimeToFileTime(static_cast<WORD>(age >> 16), static_cast<WORD>(age), &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return static_cast<Integer>(ERROR_INVALID_PARAMETER);
  const Int64 ticks = static_cast<Int64>(Ticks(utc));
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(ticks / kTicksPerSecond - kEpochDelta);
  times[1].tv_nsec = static_cast<long>(ticks % kTicksPerSecond * 100);
  if (utimensat(AT_FDCWD, FileName.c_str(), times, 0) != 0) return static_cast<Integer>(ErrnoToOSError(errno));
  return 0;
}

TDateTime FileDateToDateTime(Integer FileDate) {
  const DWORD fd = static_cast<DWORD>(FileDate);
  const WORD date = static_cast<WORD>(fd >> 16), time = static_cast<WORD>(fd);
  const Int64 y = (date >> 9) + 1980;
  const unsigned m = (date >> 5) & 15, d = date & 31;
  const unsigned h = time >> 11, mi = (time >> 5) & 63, s = (time & 31) * 2;
  if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) throw EConvertError("Invalid argument to date encode");
  if (h > 23 || mi > 59 || s > 59) throw EConvertError("Invalid argument to time encode");
  return static_cast<double>(DaysFromCivil(y, m, d) + kDays1899To1970) + (h * 3600.0 + mi * 60.0 + s) / 86400.0;
}

Integer DateTimeToFileDate(TDateTime DateTime) {
  if (!(DateTime >= 0) || DateTime > 1e7) return 0;
  const Int64 ms = std::llround(DateTime * 86400000.0);
  Int64 y;
  unsigned m, d;
  CivilFromDays(ms / 86400000 - kDays1899To1970, y, m, d);
  if (y < 1980 || y > 2107) return 0;
  const Int64 secs = (ms % 86400000) / 1000;
  const DWORD date = static_cast<DWORD>(((y - 1980) << 9) | (m << 5) | d);
  const DWORD time = static_cast<DWORD>(((secs / 3600) << 11) | ((secs / 60 % 60) << 5) | (secs % 60 / 2));
  return static_cast<Integer>((date << 16) | time);
}

// ---- Descriptors ------------------------------------------------------------------------

int FileCreate(const AnsiString& FileName) { return FileCreate(FileName, 0666); }

int FileCreate(const AnsiString& FileName, Integer Rights) {
  int fd = open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(Rights));
  if (fd < 0) SetLastErrorFromErrno();
  return fd;
}

int FileOpen(const AnsiString& FileName, LongWord Mode) {
  int flags;
  switch (Mode & 3) {
    case fmOpenRead: flags = O_RDONLY; break;
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return -1;
  }
  int fd = open(FileName.c_str(), flags | O_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    SetLastError(ErrnoToOSError(EISDIR));
    return -1;
  }
  return fd;
}

Integer FileRead(int Handle, void* Buffer, Integer Count) {
  if (Count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  ssize_t n;
  do n = read(Handle, Buffer, static_cast<size_t>(Count));
  while (n < 0 && errno == EINTR);
  if (n < 0) SetLastErrorFromErrno();
  return static_cast<Integer>(n);
}

Integer FileWrite(int Handle, const void* Buffer, Integer Count) {
  if (Count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const char* p = static_cast<const char*>(Buffer);
  Integer done = 0;
  while (done < Count) {
    ssize_t n = write(Handle, p + done, static_cast<size_t>(Count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno();
      return -1;
    }
    done += static_cast<Integer>(n);
  }
  return done;
}

Int64 FileSeek(int Handle, Int64 Offset, Integer Origin) {
  int whence;
  switch (Origin) {
    case 0: whence = SEEK_SET; break;
    case 1: whence = SEEK_CUR; break;
    case 2: whence = SEEK_END; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return -1;
  }
  off_t r = lseek(Handle, static_cast<off_t>(Offset), whence);
  if (r < 0) SetLastErrorFromErrno();
  return static_cast<Int64>(r);
}

void FileClose(int Handle) {
  if (Handle >= 0) close(Handle);
}

// ---- Win32-shaped times and find data --------------------------------------------------

BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, FILETIME* lpLocalFileTime) {
  if (!lpFileTime || !lpLocalFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Int64 ticks = static_cast<Int64>(Ticks(*lpFileTime));
  const Int64 local = ticks + LocalOffsetAt(FloorQuotient(ticks, kTicksPerSecond) - kEpochDelta) * kTicksPerSecond;
  *lpLocalFileTime = FromTicks(static_cast<UInt64>(std::max<Int64>(local, 0)));
  return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, FILETIME* lpFileTime) {
  if (!lpLocalFileTime || !lpFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Int64 ticks = static_cast<Int64>(Ticks(*lpLocalFileTime));
  const Int64 localSecs = FloorQuotient(ticks, kTicksPerSecond) - kEpochDelta;
  // The offset at the instant itself: guess it from the local reading, then
  // take the offset in force at the guessed instant.
  const Int64 guess = localSecs - LocalOffsetAt(localSecs);
  const Int64 utc = ticks - LocalOffsetAt(guess) * kTicksPerSecond;
  *lpFileTime = FromTicks(static_cast<UInt64>(std::max<Int64>(utc, 0)));
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime) {
  if (!lpFileTime || !lpSystemTime || (lpFileTime->dwHighDateTime & 0x80000000u)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const UInt64 ticks = Ticks(*lpFileTime);
  const Int64 days = static_cast<Int64>(ticks / kTicksPerDay);
  const UInt64 ms = ticks % kTicksPerDay / 10000;
  Int64 y;
  unsigned m, d;
  CivilFromDays(days - kDays1601To1970, y, m, d);
  SYSTEMTIME& st = *lpSystemTime;
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  st.wHour = static_cast<WORD>(ms / 3600000);
  st.wMinute = static_cast<WORD>(ms / 60000 % 60);
  st.wSecond = static_cast<WORD>(ms / 1000 % 60);
  st.wMilliseconds = static_cast<WORD>(ms % 1000);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, FILETIME* lpFileTime) {
  if (!lpSystemTime || !lpFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const SYSTEMTIME& st = *lpSystemTime;
  if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
      st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
      st.wMilliseconds > 999) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Int64 days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kDays1601To1970;
  const Int64 ms = ((st.wHour * 60 + st.wMinute) * 60 + st.wSecond) * 1000LL + st.wMilliseconds;
  *lpFileTime = FromTicks(static_cast<UInt64>(days * kTicksPerDay + ms * 10000));
  return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* lpFileTime, WORD* lpFatDate, WORD* lpFatTime) {
  SYSTEMTIME st;
  if (!lpFatDate || !lpFatTime || !FileTimeToSystemTime(lpFileTime, &st) || st.wYear < 1980 || st.wYear > 2107) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpFatDate = static_cast<WORD>(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
  *lpFatTime = static_cast<WORD>((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
  return TRUE;
}

BOOL DosDateTimeToFileTime(WORD wFatDate, WORD wFatTime, FILETIME* lpFileTime) {
  SYSTEMTIME st;
  st.wYear = static_cast<WORD>((wFatDate >> 9) + 1980);
  st.wMonth = static_cast<WORD>((wFatDate >> 5) & 15);
  st.wDay = static_cast<WORD>(wFatDate & 31);
  st.wHour = static_cast<WORD>(wFatTime >> 11);
  st.wMinute = static_cast<WORD>((wFatTime >> 5) & 63);
  st.wSecond = static_cast<WORD>((wFatTime & 31) * 2);
  return SystemTimeToFileTime(&st, lpFileTime);
}

DWORD GetFileAttributes(LPCSTR lpFileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesEx(lpFileName, GetFileExInfoStandard, &data)) return INVALID_FILE_ATTRIBUTES;
  return data.dwFileAttributes;
}

BOOL GetFileAttributesEx(LPCSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId, LPVOID lpFileInformation) {
  if (!lpFileName || fInfoLevelId != GetFileExInfoStandard || !lpFileInformation) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TEntryInfo info;
  if (!StatEntry(lpFileName, LastComponent(lpFileName), info)) return FALSE;
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
  data->dwFileAttributes = info.Attributes;
  data->ftCreationTime = info.Creation;
  data->ftLastAccessTime = info.Access;
  data->ftLastWriteTime = info.Write;
  data->nFileSizeHigh = static_cast<DWORD>(info.Size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(info.Size);
  return TRUE;
}

HANDLE FindFirstFile(LPCSTR lpFileName, WIN32_FIND_DATA* lpFindFileData) {
  if (!lpFileName || !lpFindFileData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  TListingRef listing = OpenListing(lpFileName);
  if (!listing) return INVALID_HANDLE_VALUE;
  if (!NextEntry(*listing, *lpFindFileData)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return RegisterListing(std::move(listing));
}

BOOL FindNextFile(HANDLE hFindFile, WIN32_FIND_DATA* lpFindFileData) {
  TListingRef l = LookupListing(hFindFile);
  if (!l || !lpFindFileData) {
    SetLastError(l ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (NextEntry(*l, *lpFindFileData)) return TRUE;
  SetLastError(ERROR_NO_MORE_FILES);
  return FALSE;
}

BOOL FindClose(HANDLE hFindFile) {
  // A record still to be read keeps the listing until it is.
  TListingRef l;
  {
    std::lock_guard<std::mutex> g(FindLock());
    auto it = FindListings().find(static_cast<TFindListing*>(hFindFile));
    if (it == FindListings().end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    l = std::move(it->second);
    FindListings().erase(it);
  }
  return TRUE;
}

// ---- File search --------------------------------------------------------------------------

TSearchRec::TSearchRec(const TSearchRec& Other)
    : Time(this, Other.Time.FValue),
      Size(this, Other.Size.FValue),
      Attr(this, Other.Attr.FValue),
      Name(Other.Name),
      ExcludeAttr(Other.ExcludeAttr),
      FindHandle(Other.FindHandle),
      FindData(this, Other.FindData.FValue),
      FPending(Other.FPending),
      FEntry(Other.FEntry),
      FType(Other.FType) {}

TSearchRec& TSearchRec::operator=(const TSearchRec& Other) {
  Time.FValue = Other.Time.FValue;
  Size.FValue = Other.Size.FValue;
  Attr.FValue = Other.Attr.FValue;
  Name = Other.Name;
  ExcludeAttr = Other.ExcludeAttr;
  FindHandle = Other.FindHandle;
  FindData.FValue = Other.FindData.FValue;
  FPending = Other.FPending;
  FEntry = Other.FEntry;
  FType = Other.FType;
  return *this;
}

TSearchRec::~TSearchRec() = default;

void TSearchRec::Load() const {
  const TListingRef l = std::move(FPending);
  FPending = nullptr;
  const TFindListing::TEntry& e = l->Entries[FEntry];
  TEntryInfo info;
  // Reading a field leaves the last error as it was.
  const Cardinal error = GetLastError();
  if (!StatEntry(e.Name, e.Name, info, l->DirFd)) {
    // Gone since it was listed: what the listing knew.
    info = TEntryInfo();
    info.Attributes = TypeAttributes(e.Type, e.Name);
    if (info.Attributes == 0) info.Attributes = FILE_ATTRIBUTE_NORMAL;
  }
  SetLastError(error);
  WIN32_FIND_DATA& fd = FindData.FValue;
  FillFindData(info, e.Name, fd);
  FILETIME local;
  WORD date = 0, time = 0;
  Time.FValue = FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time)
                    ? static_cast<Integer>((DWORD(date) << 16) | time)
                    : 0;
  Size.FValue = static_cast<Int64>((UInt64(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
  Attr.FValue = static_cast<Integer>(fd.dwFileAttributes);
}

bool TSearchRec::IsDirectory() const {
  if (TypeTellsAttributes(FType)) return FType == DT_DIR;
  return Attr & faDirectory;
}

bool TSearchRec::Advance(TSearchRec& F, const TListingRef& Listing) {
  TFindListing& l = *Listing;
  const DWORD exclude = static_cast<DWORD>(F.ExcludeAttr);
  while (l.Next < l.Entries.size()) {
    const size_t index = l.Next++;
    const TFindListing::TEntry& e = l.Entries[index];
    if (exclude != 0) {
      // The filter looks only at what the type and the name tell, where
      // they tell all it needs.
      DWORD attr = TypeAttributes(e.Type, e.Name);
      if (!TypeTellsAttributes(e.Type)) {
        TEntryInfo info;
        const Cardinal error = GetLastError();
        if (StatEntry(e.Name, e.Name, info, l.DirFd)) attr = info.Attributes;
        SetLastError(error);
      }
      if (attr & exclude) continue;
    }
    F.FPending = Listing;
    F.FEntry = index;
    F.FType = e.Type;
    F.Name = e.Name;
    return true;
  }
  // The record keeps describing the last entry it found.
  return false;
}

Integer FindFirst(const AnsiString& Path, Integer Attr, TSearchRec& F) {
  constexpr Integer faSpecial = faHidden | faSysFile | faDirectory;
  F.ExcludeAttr = ~Attr & faSpecial;
  F.FPending = nullptr;
  F.FindHandle = INVALID_HANDLE_VALUE;
  TListingRef listing = OpenListing(Path);
  if (!listing) return static_cast<Integer>(GetLastError());
  F.FindHandle = RegisterListing(listing);
  if (TSearchRec::Advance(F, listing)) return 0;
  FindClose(F);
  return static_cast<Integer>(ERROR_NO_MORE_FILES);
}

Integer FindNext(TSearchRec& F) {
  TListingRef l = LookupListing(F.FindHandle);
  if (!l) return static_cast<Integer>(ERROR_INVALID_HANDLE);
  return TSearchRec::Advance(F, l) ? 0 : static_cast<Integer>(ERROR_NO_MORE_FILES);
}

void FindClose(TSearchRec& F) {
  if (F.FindHandle != INVALID_HANDLE_VALUE) FindClose(F.FindHandle);
  F.FindHandle = INVALID_HANDLE_VALUE;
}

// ---- The command line and the executable ---------------------------------------------------

void SetCommandLine(int argc, const char* const* argv) {
  std::vector<AnsiString>& args = Arguments();
  args.clear();
  for (int i = 0; i < argc; ++i) args.emplace_back(argv && argv[i] ? argv[i] : "");
}

Integer ParamCount() {
  const size_t n = Arguments().size();
  return n > 1 ? static_cast<Integer>(n - 1) : 0;
}

AnsiString ParamStr(Integer Index) {
  if (Index == 0) {
    std::vector<char> buf(256);
    for (;;) {
      ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
      if (n < 0) return Arguments().empty() ? AnsiString() : ExpandFileName(Arguments()[0]);
      if (static_cast<size_t>(n) < buf.size()) return AnsiString(buf.data(), static_cast<size_t>(n));
      buf.resize(buf.size() * 2);
    }
  }
  if (Index < 0 || Index > ParamCount()) return AnsiString();
  return Arguments()[static_cast<size_t>(Index)];
}

// ---- The user's folders ---------------------------------------------------------------------

AnsiString GetAppDataFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == PathDelim) return StripTrailingDelimiters(config);
  return HomeFolder() + "/.config";
}

AnsiString GetPersonalFolder() {
  const AnsiString home = HomeFolder();
  std::ifstream in(GetAppDataFolder() + "/user-dirs.dirs");
  AnsiString documents, line;
  static const AnsiString kKey = "XDG_DOCUMENTS_DIR=";
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start != AnsiString::npos && line.compare(start, kKey.size(), kKey) == 0)
      documents = UserDirValue(line.substr(start + kKey.size()), home);
  }
  struct stat st;
  if (!documents.empty() && stat(documents.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return documents;
  return home;
}
