#include "app/file_list_utils.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>

#include <ctime>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

namespace {

// Years a packed DOS date and time can hold.
constexpr int kDosFirstYear = 1980;
constexpr int kDosLastYear = 2107;

TDateTime LocalDateTime(const struct statx_timestamp& t) {
  const time_t seconds = static_cast<time_t>(t.tv_sec);
  struct tm local {};
  if (!localtime_r(&seconds, &local)) return UnixToDateTime(t.tv_sec, false);
  const int year = local.tm_year + 1900;
  Word second = static_cast<Word>(local.tm_sec > 59 ? 59 : local.tm_sec);
  Word msec = static_cast<Word>(t.tv_nsec / 1000000);
  if (year >= kDosFirstYear && year <= kDosLastYear) {
    second = static_cast<Word>(second / 2 * 2);
    msec = 0;
  }
  TDateTime r;
  if (year < 1 || year > 9999 ||
      !TryEncodeDateTime(static_cast<Word>(year), static_cast<Word>(local.tm_mon + 1), static_cast<Word>(local.tm_mday),
                         static_cast<Word>(local.tm_hour), static_cast<Word>(local.tm_min), second, msec, r))
    return UnixToDateTime(t.tv_sec, false);
  return r;
}

bool IsPasteCandidate(const AnsiString& name) {
  return DirectoryExists(name) || IsPdfExtension(ExtractFileExt(name));
}

}  // namespace

bool IsPdfExtension(const AnsiString& extension) {
  static const char kPdf[] = ".pdf";
  if (extension.size() != sizeof kPdf - 1) return false;
  for (size_t i = 0; i < extension.size(); ++i) {
    char c = extension[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kPdf[i]) return false;
  }
  return true;
}

Int64 FileSizeOf(const AnsiString& path) {
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
  return S_ISDIR(st.st_mode) ? 0 : static_cast<Int64>(st.st_size);
}

TDateTime FileTimeOf(const AnsiString& path, TFileTimeKind which) {
  struct statx st {};
  if (path.empty() || statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0) return Now();
  switch (which) {
    case ftCreation:
      return LocalDateTime((st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_mtime);
    case ftLastAccess:
      return LocalDateTime(st.stx_atime);
    case ftLastWrite:
      break;
  }
  return LocalDateTime(st.stx_mtime);
}

namespace {

constexpr unsigned kListedMask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME;

bool FillListedFile(const struct statx& st, TListedFile& file) {
  if (!S_ISREG(st.stx_mode)) return false;
  file.Size = static_cast<Int64>(st.stx_size);
  file.LastWrite = LocalDateTime(st.stx_mtime);
  file.Creation = (st.stx_mask & STATX_BTIME) ? LocalDateTime(st.stx_btime) : file.LastWrite;
  return true;
}

}  // namespace

bool ReadListedFile(const AnsiString& path, TListedFile& file) {
  struct statx st {};
  if (path.empty() || statx(AT_FDCWD, path.c_str(), 0, kListedMask, &st) != 0) return false;
  return FillListedFile(st, file);
}

TListedFileReader::~TListedFileReader() {
  if (FFolderFd >= 0) close(FFolderFd);
}

bool TListedFileReader::Read(const AnsiString& path, TListedFile& file) {
  const size_t slash = path.rfind(PathDelim);
  if (slash == AnsiString::npos || slash + 1 == path.size()) return ReadListedFile(path, file);
  // The folder part with its delimiter; compared without a copy.
  if (FFolderFd < 0 || FFolder.size() != slash + 1 || path.compare(0, slash + 1, FFolder) != 0) {
    if (FFolderFd >= 0) close(FFolderFd);
    FFolder = path.substr(0, slash + 1);
    FFolderFd = open(FFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (FFolderFd < 0) return ReadListedFile(path, file);
  }
  struct statx st {};
  if (statx(FFolderFd, path.c_str() + slash + 1, 0, kListedMask, &st) != 0) return false;
  return FillListedFile(st, file);
}

AnsiString FileSizeText(Int64 size) { return FileSizeText(size, FormatSettings); }

AnsiString FileSizeText(Int64 size, const TFormatSettings& settings) {
  return Format("%4.2f KB", {static_cast<double>(size) / 1024.0}, settings);
}

std::vector<AnsiString> DroppedFileNames(HDROP drop) {
  std::vector<AnsiString> names;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  names.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    // The length first, so that no name is cut.
    AnsiString name(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    name.resize(DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size())));
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<AnsiString> ClipboardFileNames(HWND owner) {
  if (!OpenClipboard(owner)) return {};
  TScopeExit close([] { CloseClipboard(); });
  HANDLE data = GetClipboardData(CF_HDROP);
  if (!data) return {};
  return DroppedFileNames(static_cast<HDROP>(data));
}

bool NothingToPaste(HWND owner) {
  for (const AnsiString& name : ClipboardFileNames(owner))
    if (IsPasteCandidate(name)) return false;
  return true;
}
