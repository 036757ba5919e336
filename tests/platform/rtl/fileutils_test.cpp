#include "platform/rtl/fileutils.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

// ---- Path names ----------------------------------------------------------------

struct PathCase {
  const char* name;
  const char* path;
  const char* dir;
  const char* file;
  const char* ext;
};

TEST(PathNames, ExtractParts) {
  const PathCase cases[] = {
      {"", "", "", "", ""},
      {"/", "/", "/", "", ""},
      {"file", "", "", "file", ""},
      {"/a/b.txt", "/a/", "/a", "b.txt", ".txt"},
      {"/a", "/", "/", "a", ""},
      {"dir/", "dir/", "dir", "", ""},
      {"a.b/c", "a.b/", "a.b", "c", ""},
      {"a.b/c.d/", "a.b/c.d/", "a.b/c.d", "", ""},
      {"x/archive.tar.gz", "x/", "x", "archive.tar.gz", ".gz"},
      {".bashrc", "", "", ".bashrc", ".bashrc"},
      {"home/.config.d/.bashrc", "home/.config.d/", "home/.config.d", ".bashrc", ".bashrc"},
      {"name.", "", "", "name.", "."},
      {"a//b", "a//", "a//", "b", ""},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    EXPECT_EQ(ExtractFileDrive(c.name), "") << c.name;
  }
}

TEST(PathNames, ChangeFileExt) {
  const struct {
    const char* name;
    const char* ext;
    const char* expected;
  } cases[] = {
      {"a/b.txt", ".pdf", "a/b.pdf"},       {"a.b/c", ".x", "a.b/c.x"}, {"c", ".x", "c.x"},
      {"a.tar.gz", "", "a.tar"},            {".bashrc", ".x", ".x"},    {"", ".x", ".x"},
      {"dir.d/file.name.doc", ".html", "dir.d/file.name.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangeFileExt(c.name, c.ext), c.expected) << c.name;
}

TEST(PathNames, TrailingDelimiters) {
  const struct {
    const char* in;
    const char* included;
    const char* excluded;
  } cases[] = {
      {"", "/", ""}, {"/", "/", "/"}, {"a", "a/", "a"}, {"a/", "a/", "a"}, {"/a/b//", "/a/b//", "/a/b/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IncludeTrailingPathDelimiter(c.in), c.included) << c.in;
    EXPECT_EQ(ExcludeTrailingPathDelimiter(c.in), c.excluded) << c.in;
  }
  EXPECT_TRUE(IsPathDelimiter("a/b", 2));
  EXPECT_FALSE(IsPathDelimiter("a/b", 1));
  EXPECT_FALSE(IsPathDelimiter("a/b", 0));
  EXPECT_FALSE(IsPathDelimiter("a/", 3));
}

// ---- A temporary folder next to the test executable ------------------------------

class TempFolder : public ::testing::Test {
 protected:
  std::string root;  // with a trailing delimiter
  std::string savedCwd;

  void SetUp() override {
    std::string tmpl = ExtractFilePath(ParamStr(0)) + "fileutils-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    root = tmpl + "/";
    savedCwd = GetCurrentDir();
  }
  void TearDown() override {
    ASSERT_TRUE(SetCurrentDir(savedCwd));
    std::error_code ec;
    // Give back the permissions a test took away, so that everything goes.
    for (auto it = std::filesystem::recursive_directory_iterator(
             root, std::filesystem::directory_options::skip_permission_denied, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0755);
    chmod((root + "locked").c_str(), 0755);
    std::filesystem::remove_all(root, ec);
  }

  void Write(const std::string& name, const std::string& content = "x") {
    std::ofstream(root + name, std::ios::binary) << content;
  }
  void MakeDir(const std::string& name) { ASSERT_EQ(mkdir((root + name).c_str(), 0755), 0) << name; }
  void Link(const std::string& target, const std::string& name) {
    ASSERT_EQ(symlink(target.c_str(), (root + name).c_str()), 0) << name;
  }

  struct Listing {
    Integer Result = 0;
    std::vector<std::string> Names;
    std::vector<TSearchRec> Recs;
  };
  Listing Find(const std::string& pattern, Integer attr) {
    Listing l;
    TSearchRec sr;
    l.Result = FindFirst(pattern, attr, sr);
    if (l.Result != 0) return l;
    do {
      l.Names.push_back(sr.Name);
      l.Recs.push_back(sr);
    } while (FindNext(sr) == 0);
    FindClose(sr);
    return l;
  }
  const TSearchRec& Rec(const Listing& l, const std::string& name) {
    for (size_t i = 0; i < l.Names.size(); ++i)
      if (l.Names[i] == name) return l.Recs[i];
    ADD_FAILURE() << name << " not listed";
    return l.Recs.at(0);
  }
};

bool IsRoot() { return geteuid() == 0; }

// ---- File search ------------------------------------------------------------------

class FindFiles : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    Write("b.txt", std::string(1000, 'b'));
    Write("a.txt");
    Write("A.TXT");
    Write("A.pdf");
    Write("c.PDF");
    Write(".hidden");
    MakeDir("sub");
    MakeDir(".hiddendir");
  }
};

TEST_F(FindFiles, ListsSortedWithoutRegardToCaseAndFiltersAttributes) {
  const struct {
    const char* pattern;
    Integer attr;
    std::vector<std::string> expected;
  } cases[] = {
      {"*", faAnyFile, {".", "..", ".hidden", ".hiddendir", "A.pdf", "A.TXT", "a.txt", "b.txt", "c.PDF", "sub"}},
      {"*.*", faAnyFile, {".", "..", ".hidden", ".hiddendir", "A.pdf", "A.TXT", "a.txt", "b.txt", "c.PDF", "sub"}},
      // Hidden, system and directory entries come only when asked for.
      {"*", 0, {"A.pdf", "A.TXT", "a.txt", "b.txt", "c.PDF"}},
      {"*", faDirectory, {".", "..", "A.pdf", "A.TXT", "a.txt", "b.txt", "c.PDF", "sub"}},
      {"*", faHidden, {".hidden", "A.pdf", "A.TXT", "a.txt", "b.txt", "c.PDF"}},
      {"*.pdf", faAnyFile, {"A.pdf", "c.PDF"}},
      {"?.txt", 0, {"A.TXT", "a.txt", "b.txt"}},
      {"*b*", faAnyFile, {"b.txt", "sub"}},
      // Without wildcards: the exact name alone, else any case.
      {"a.txt", 0, {"a.txt"}},
      {"B.TXT", 0, {"b.txt"}},
  };
  for (const auto& c : cases) {
    Listing l = Find(root + c.pattern, c.attr);
    EXPECT_EQ(l.Result, 0) << c.pattern;
    EXPECT_EQ(l.Names, c.expected) << c.pattern << " attr " << c.attr;
  }
}

TEST_F(FindFiles, ReportsAttributesSizesAndNames) {
  Link("b.txt", "link-to-file");
  Link("sub", "link-to-dir");
  Link("missing", "dangling");
  Listing l = Find(root + "*", faAnyFile);
  ASSERT_EQ(l.Result, 0);
  EXPECT_EQ(Rec(l, ".").Attr, faDirectory);
  EXPECT_EQ(Rec(l, "..").Attr, faDirectory);
  EXPECT_EQ(Rec(l, "sub").Attr, faDirectory);
  EXPECT_EQ(Rec(l, ".hiddendir").Attr, faDirectory | faHidden);
  EXPECT_EQ(Rec(l, ".hidden").Attr, faArchive | faHidden);
  const TSearchRec& b = Rec(l, "b.txt");
  EXPECT_EQ(b.Attr, faArchive);
  EXPECT_EQ(b.Size, 1000);
  EXPECT_EQ(b.FindData->nFileSizeLow, 1000u);
  EXPECT_EQ(b.FindData->dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_STREQ(b.FindData->cFileName, "b.txt");
  // Links carry the target's attributes and size, plus the link bit.
  EXPECT_EQ(Rec(l, "link-to-file").Attr, faArchive | faSymLink);
  EXPECT_EQ(Rec(l, "link-to-file").Size, 1000);
  EXPECT_EQ(Rec(l, "link-to-dir").Attr, faDirectory | faSymLink);
  EXPECT_EQ(Rec(l, "dangling").Attr & faSymLink, faSymLink);
  EXPECT_EQ(Rec(l, "dangling").Size, 0);
  EXPECT_EQ(Rec(l, "sub").Size, 0);
}

TEST_F(FindFiles, ReadOnlyIsWhatTheUserMayNotWrite) {
  chmod((root + "a.txt").c_str(), 0444);
  if (IsRoot()) GTEST_SKIP() << "root may write any file";
  Listing l = Find(root + "*.txt", 0);
  ASSERT_EQ(l.Result, 0);
  EXPECT_EQ(Rec(l, "a.txt").Attr, faArchive | faReadOnly);
  EXPECT_EQ(Rec(l, "b.txt").Attr, faArchive);
  EXPECT_EQ(FileGetAttr(root + "a.txt"), faArchive | faReadOnly);
}

TEST_F(FindFiles, FailuresReturnTheErrorCode) {
  EXPECT_EQ(Find(root + "nothing/*", faAnyFile).Result, 3);   // ERROR_PATH_NOT_FOUND
  EXPECT_EQ(Find(root + "b.txt/*", faAnyFile).Result, 3);
  EXPECT_EQ(Find(root + "*.doc", faAnyFile).Result, 2);       // ERROR_FILE_NOT_FOUND
  EXPECT_EQ(Find(root + "sub/", faAnyFile).Result, 2);
  EXPECT_EQ(Find(root + "sub", 0).Result, 18);                // matched, filtered out
  EXPECT_EQ(Find(root + ".hidden", 0).Result, 18);
  EXPECT_EQ(Find(root + "sub", faDirectory).Names, std::vector<std::string>{"sub"});

  TSearchRec sr;
  ASSERT_EQ(FindFirst(root + "?.txt", 0, sr), 0);
  EXPECT_EQ(FindNext(sr), 0);
  EXPECT_EQ(FindNext(sr), 0);
  EXPECT_EQ(FindNext(sr), 18);  // ERROR_NO_MORE_FILES
  FindClose(sr);
  FindClose(sr);  // closing twice is harmless
  EXPECT_EQ(FindNext(sr), 6);  // ERROR_INVALID_HANDLE
  WIN32_FIND_DATA fd;
  EXPECT_FALSE(FindNextFile(reinterpret_cast<HANDLE>(&fd), &fd));
  EXPECT_EQ(GetLastError(), 6u);
  EXPECT_FALSE(FindClose(reinterpret_cast<HANDLE>(&fd)));
}

TEST_F(FindFiles, UnreadableFolderGivesAccessDenied) {
  MakeDir("locked");
  Write("locked/inside");
  chmod((root + "locked").c_str(), 0);
  if (IsRoot()) GTEST_SKIP() << "permission bits do not deny root";
  EXPECT_EQ(Find(root + "locked/*", faAnyFile).Result, 5);  // ERROR_ACCESS_DENIED
}

// FindNextFile looks at each entry when it reaches it and skips one removed
// meanwhile. FindNext gives the names listed when the search started, and a
// removed entry's record tells what its listed type does.
TEST_F(FindFiles, EntriesRemovedDuringTheSearch) {
  WIN32_FIND_DATA fd;
  HANDLE h = FindFirstFile((root + "*.txt").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(fd.cFileName, "A.TXT");
  ASSERT_TRUE(DeleteFile(root + "a.txt"));
  ASSERT_TRUE(FindNextFile(h, &fd));
  EXPECT_STREQ(fd.cFileName, "b.txt");
  EXPECT_FALSE(FindNextFile(h, &fd));
  FindClose(h);

  Write("a.txt");
  TSearchRec sr;
  ASSERT_EQ(FindFirst(root + "*.txt", 0, sr), 0);
  EXPECT_EQ(sr.Name, "A.TXT");
  ASSERT_TRUE(DeleteFile(root + "a.txt"));
  ASSERT_EQ(FindNext(sr), 0);
  EXPECT_EQ(sr.Name, "a.txt");
  EXPECT_EQ(sr.Attr, faArchive);
  EXPECT_EQ(sr.Size, 0);
  EXPECT_EQ(sr.Time, 0);
  ASSERT_EQ(FindNext(sr), 0);
  EXPECT_EQ(sr.Name, "b.txt");
  EXPECT_EQ(sr.Size, 1000);
  EXPECT_EQ(FindNext(sr), 18);
  FindClose(sr);
}

// The record's fields are read when first read: a file changed after the
// entry was found but before its fields are read shows the change; fields
// once read stay, and so does the record of a search already closed.
TEST_F(FindFiles, RecordFieldsAreReadWhenFirstRead) {
  TSearchRec sr;
  ASSERT_EQ(FindFirst(root + "b.txt", 0, sr), 0);
  Write("b.txt", std::string(2000, 'b'));
  TSearchRec copy = sr;
  EXPECT_EQ(sr.Size, 2000);
  Write("b.txt", std::string(3000, 'b'));
  EXPECT_EQ(sr.Size, 2000);
  EXPECT_EQ(sr.FindData->nFileSizeLow, 2000u);
  FindClose(sr);
  EXPECT_EQ(copy.Size, 3000);
  EXPECT_EQ(copy.Attr, faArchive);
  EXPECT_FALSE(copy.IsDirectory());

  ASSERT_EQ(FindFirst(root + "a.txt", 0, sr), 0);
  FindClose(sr);
  EXPECT_EQ(sr.Name, "a.txt");
  EXPECT_EQ(sr.Attr, faArchive);
  EXPECT_EQ(sr.Size, 1);
}

// Whether an entry is a folder comes from its listed type, as its
// attributes would tell; a link is what it leads to.
TEST_F(FindFiles, IsDirectoryAgreesWithTheAttributes) {
  Link("sub", "link-to-dir");
  Link("b.txt", "link-to-file");
  Link("missing", "dangling");
  ASSERT_EQ(mkfifo((root + "fifo").c_str(), 0644), 0);
  Listing l = Find(root + "*", faAnyFile);
  ASSERT_EQ(l.Result, 0);
  for (const TSearchRec& r : l.Recs) {
    const bool folder = r.Name == "." || r.Name == ".." || r.Name == "sub" || r.Name == ".hiddendir" ||
                        r.Name == "link-to-dir";
    EXPECT_EQ(folder, r.IsDirectory()) << r.Name;
    EXPECT_EQ(folder, (r.Attr & faDirectory) != 0) << r.Name;
  }
  EXPECT_EQ(Rec(l, "fifo").Attr, faSysFile);
}

TEST_F(FindFiles, RelativePatternsSearchTheCurrentFolder) {
  ASSERT_TRUE(SetCurrentDir(root));
  Listing l = Find("*.pdf", 0);
  EXPECT_EQ(l.Names, (std::vector<std::string>{"A.pdf", "c.PDF"}));
  EXPECT_EQ(Find("sub/*", faDirectory).Names, (std::vector<std::string>{".", ".."}));
}

// ---- File times ----------------------------------------------------------------------

// Sets an environment variable for the scope of a test.
class ScopedEnv {
  std::string name_;
  std::optional<std::string> saved_;

 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* v = std::getenv(name)) saved_ = v;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (saved_)
      setenv(name_.c_str(), saved_->c_str(), 1);
    else
      unsetenv(name_.c_str());
    tzset();  // the C library keeps the zone it read last
  }
};

FILETIME MakeFileTime(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms = 0) {
  SYSTEMTIME st;
  st.wYear = y;
  st.wMonth = mo;
  st.wDay = d;
  st.wHour = h;
  st.wMinute = mi;
  st.wSecond = s;
  st.wMilliseconds = ms;
  FILETIME ft;
  EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
  return ft;
}

UInt64 Ticks(const FILETIME& ft) { return (UInt64(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

TEST(FileTimes, SystemTimeConversions) {
  // The Unix epoch is 11644473600 seconds after 1601-01-01.
  EXPECT_EQ(Ticks(MakeFileTime(1970, 1, 1, 0, 0, 0)), 116444736000000000ull);
  FILETIME ft = MakeFileTime(2024, 2, 29, 23, 59, 58, 999);
  SYSTEMTIME st;
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(st.wYear, 2024);
  EXPECT_EQ(st.wMonth, 2);
  EXPECT_EQ(st.wDay, 29);
  EXPECT_EQ(st.wDayOfWeek, 4);  // a Thursday
  EXPECT_EQ(st.wHour, 23);
  EXPECT_EQ(st.wMinute, 59);
  EXPECT_EQ(st.wSecond, 58);
  EXPECT_EQ(st.wMilliseconds, 999);

  const SYSTEMTIME bad[] = {
      {2023, 2, 0, 29, 0, 0, 0, 0}, {1600, 12, 0, 31, 0, 0, 0, 0}, {2024, 13, 0, 1, 0, 0, 0, 0},
      {2024, 1, 0, 1, 24, 0, 0, 0}, {2024, 1, 0, 1, 0, 60, 0, 0},  {2024, 1, 0, 1, 0, 0, 0, 1000},
  };
  for (const SYSTEMTIME& b : bad) EXPECT_FALSE(SystemTimeToFileTime(&b, &ft)) << b.wYear << "-" << b.wMonth;
  FILETIME negative{0, 0x80000000u};
  EXPECT_FALSE(FileTimeToSystemTime(&negative, &st));
}

TEST(FileTimes, DosDateTimeTruncatesToTwoSecondsWithinItsRange) {
  FILETIME ft = MakeFileTime(2021, 6, 15, 13, 45, 31, 900);
  WORD date = 0, time = 0;
  ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
  EXPECT_EQ(date, ((2021 - 1980) << 9) | (6 << 5) | 15);
  EXPECT_EQ(time, (13 << 11) | (45 << 5) | 15);
  FILETIME back;
  ASSERT_TRUE(DosDateTimeToFileTime(date, time, &back));
  EXPECT_EQ(Ticks(back), Ticks(MakeFileTime(2021, 6, 15, 13, 45, 30)));

  FILETIME early = MakeFileTime(1979, 12, 31, 23, 59, 59), late = MakeFileTime(2108, 1, 1, 0, 0, 0);
  EXPECT_FALSE(FileTimeToDosDateTime(&early, &date, &time));
  EXPECT_FALSE(FileTimeToDosDateTime(&late, &date, &time));
  FILETIME first = MakeFileTime(1980, 1, 1, 0, 0, 0);
  EXPECT_TRUE(FileTimeToDosDateTime(&first, &date, &time));
  EXPECT_FALSE(DosDateTimeToFileTime(0, 0, &back));  // month 0, day 0
}

TEST(FileTimes, LocalTimeUsesTheOffsetInForceAtThatInstant) {
  ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  const struct {
    FILETIME utc;
    int hours;
  } cases[] = {{MakeFileTime(2021, 1, 15, 12, 0, 0), 1}, {MakeFileTime(2021, 7, 15, 12, 0, 0), 2}};
  for (const auto& c : cases) {
    FILETIME local, back;
    ASSERT_TRUE(FileTimeToLocalFileTime(&c.utc, &local));
    EXPECT_EQ(Ticks(local) - Ticks(c.utc), UInt64(c.hours) * 3600 * 10000000);
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(Ticks(back), Ticks(c.utc));
  }
}

TEST(FileTimes, FileDateToDateTime) {
  const Integer fd = static_cast<Integer>((((2000 - 1980) << 9 | 1 << 5 | 2) << 16) | (12 << 11 | 30 << 5 | 5));
  const TDateTime dt = FileDateToDateTime(fd);
  EXPECT_DOUBLE_EQ(dt, 36527.0 + (12 * 3600 + 30 * 60 + 10) / 86400.0);  // 2000-01-02 12:30:10
  EXPECT_EQ(DateTimeToFileDate(dt), fd);
  EXPECT_EQ(DateTimeToFileDate(10000.0), 0);  // 1927
  EXPECT_THROW(FileDateToDateTime(0), EConvertError);
}

class FileTimesOnDisk : public TempFolder {};

TEST_F(FileTimesOnDisk, SetAndReadBack) {
  ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  Write("f.txt");
  const Integer age = static_cast<Integer>((((2015 - 1980) << 9 | 7 << 5 | 4) << 16) | (10 << 11 | 20 << 5 | 21));
  ASSERT_EQ(FileSetDate(root + "f.txt", age), 0);
  EXPECT_EQ(FileAge(root + "f.txt"), age);
  TDateTime dt = 0;
  ASSERT_TRUE(FileAge(root + "f.txt", dt));
  EXPECT_DOUBLE_EQ(dt, FileDateToDateTime(age));
  int fd = FileOpen(root + "f.txt", fmOpenRead);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(FileGetDate(fd), age);
  FileClose(fd);

  Listing l = Find(root + "f.txt", 0);
  ASSERT_EQ(l.Result, 0);
  EXPECT_EQ(l.Recs[0].Time, age);
  // 10:20:42 local summer time is 08:20:42 UTC.
  EXPECT_EQ(Ticks(l.Recs[0].FindData->ftLastWriteTime), Ticks(MakeFileTime(2015, 7, 4, 8, 20, 42)));

  EXPECT_EQ(FileAge(root + "missing"), -1);
  EXPECT_FALSE(FileAge(root, dt));
  EXPECT_NE(FileSetDate(root + "missing", age), 0);
}

TEST_F(FileTimesOnDisk, OutOfRangeTimesLeaveThePackedTimeEmpty) {
  Write("old.txt");
  struct timespec times[2] = {{0, UTIME_OMIT}, {86400 * 365, 0}};  // 1971
  ASSERT_EQ(utimensat(AT_FDCWD, (root + "old.txt").c_str(), times, 0), 0);
  Listing l = Find(root + "old.txt", 0);
  ASSERT_EQ(l.Result, 0);
  EXPECT_EQ(l.Recs[0].Time, 0);
  EXPECT_EQ(Ticks(l.Recs[0].FindData->ftLastWriteTime), Ticks(MakeFileTime(1971, 1, 1, 0, 0, 0)));
  EXPECT_EQ(FileAge(root + "old.txt"), -1);
}

TEST_F(FileTimesOnDisk, CreationTimeIsTheBirthTimeWhereRecorded) {
  Write("f.txt");
  struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};  // 2001-09-09, long before the file's birth
  ASSERT_EQ(utimensat(AT_FDCWD, (root + "f.txt").c_str(), times, 0), 0);
  struct statx sx;
  ASSERT_EQ(statx(AT_FDCWD, (root + "f.txt").c_str(), 0, STATX_BTIME, &sx), 0);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesEx((root + "f.txt").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(Ticks(data.ftLastWriteTime), Ticks(MakeFileTime(2001, 9, 9, 1, 46, 40)));
  if (sx.stx_mask & STATX_BTIME)
    EXPECT_GT(Ticks(data.ftCreationTime), Ticks(data.ftLastWriteTime));
  else
    EXPECT_EQ(Ticks(data.ftCreationTime), Ticks(data.ftLastWriteTime));
}

// ---- Files and folders --------------------------------------------------------------------

class FileOps : public TempFolder {};

TEST_F(FileOps, ExistenceTests) {
  Write("file");
  MakeDir("dir");
  Link("file", "lf");
  Link("dir", "ld");
  Link("gone", "dangling");
  mkfifo((root + "fifo").c_str(), 0644);
  const struct {
    const char* name;
    bool file, dir;
  } cases[] = {{"file", true, false}, {"dir", false, true},     {"lf", true, false},   {"ld", false, true},
               {"dangling", false, false}, {"fifo", false, false}, {"none", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(FileExists(root + c.name), c.file) << c.name;
    EXPECT_EQ(DirectoryExists(root + c.name), c.dir) << c.name;
  }
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(DirectoryExists(""));
  EXPECT_EQ(FileGetAttr(root + "fifo"), faSysFile);
  EXPECT_EQ(FileGetAttr(root + "none"), -1);
  EXPECT_EQ(GetFileAttributes((root + "dir/").c_str()), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(FileSize(root + "file"), 1);
  EXPECT_EQ(FileSize(root + "dir"), -1);
}

TEST_F(FileOps, CreateAndForceDirectories) {
  EXPECT_FALSE(CreateDir(root + "p/q"));  // one level only
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_TRUE(CreateDir(root + "p"));
  EXPECT_FALSE(CreateDir(root + "p"));
  EXPECT_TRUE(ForceDirectories(root + "x/y//z/"));
  EXPECT_TRUE(DirectoryExists(root + "x/y/z"));
  EXPECT_TRUE(ForceDirectories(root + "x/y/z"));  // already there
  Write("file");
  EXPECT_FALSE(ForceDirectories(root + "file/sub"));
  EXPECT_FALSE(ForceDirectories(root + "file"));
  // Short relative names are created like any other.
  ASSERT_TRUE(SetCurrentDir(root));
  EXPECT_TRUE(ForceDirectories("ab/c"));
  EXPECT_TRUE(DirectoryExists(root + "ab/c"));
  try {
    ForceDirectories("");
    FAIL() << "no exception";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Message(), "Unable to create directory");
  }
}

TEST_F(FileOps, RemoveDeleteAndRename) {
  MakeDir("d");
  Write("d/f", "inner");
  EXPECT_FALSE(RemoveDir(root + "d"));  // not empty
  EXPECT_FALSE(DeleteFile(root + "d"));  // a folder
  Write("a", "first");
  Write("b", "second");
  EXPECT_FALSE(RenameFile(root + "a", root + "b"));
  EXPECT_EQ(GetLastError(), 183u);  // ERROR_ALREADY_EXISTS
  std::ifstream in(root + "b");
  std::string content;
  in >> content;
  EXPECT_EQ(content, "second");
  EXPECT_TRUE(RenameFile(root + "a", root + "d/a"));
  EXPECT_FALSE(FileExists(root + "a"));
  EXPECT_TRUE(FileExists(root + "d/a"));
  EXPECT_FALSE(RenameFile(root + "missing", root + "c"));
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_TRUE(DeleteFile(root + "d/f"));
  EXPECT_TRUE(DeleteFile(root + "d/a"));
  EXPECT_TRUE(RemoveDir(root + "d"));
  EXPECT_FALSE(DirectoryExists(root + "d"));
}

TEST_F(FileOps, ExpandAndRelativePaths) {
  MakeDir("w");
  ASSERT_TRUE(SetCurrentDir(root + "w"));
  const std::string cwd = GetCurrentDir();
  const std::string parent = ExtractFileDir(cwd);
  const struct {
    const char* in;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"f.txt", cwd + "/f.txt"},
      {"./a/./b", cwd + "/a/b"},
      {"a/../b/", cwd + "/b/"},
      {"..", parent},
      {"/a//b/./c/", "/a/b/c/"},
      {"/../..", "/"},
      {"/x/..", "/"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.in), c.expected) << c.in;

  const struct {
    const char* base;
    const char* dest;
    const char* expected;
  } rel[] = {
      {"/a/b/", "/a/b/c.txt", "c.txt"},
      {"/a/b/", "/a/x/c.txt", "../x/c.txt"},
      {"/a/b/c/", "/a/c.txt", "../../c.txt"},
      {"/a/b/base.txt", "/a/b/d/e.txt", "d/e.txt"},
      {"/a/B/", "/a/b/c.txt", "../b/c.txt"},
      {"/a/b/", "/a/b/", ""},
  };
  for (const auto& r : rel) EXPECT_EQ(ExtractRelativePath(r.base, r.dest), r.expected) << r.base << " " << r.dest;
  EXPECT_EQ(ExtractRelativePath(cwd + "/", "f.txt"), "f.txt");
}

TEST_F(FileOps, Descriptors) {
  int fd = FileCreate(root + "data");
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC);  // never inherited by a child
  EXPECT_EQ(FileWrite(fd, "hello world", 11), 11);
  EXPECT_EQ(FileSeek(fd, 6, 0), 6);
  char buf[16] = {};
  EXPECT_EQ(FileRead(fd, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(FileSeek(fd, -5, 2), 6);
  EXPECT_EQ(FileSeek(fd, 0, 7), -1);
  FileClose(fd);

  fd = FileOpen(root + "data", fmOpenRead | fmShareDenyNone);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(FileWrite(fd, "x", 1), -1);
  FileClose(fd);
  EXPECT_EQ(FileOpen(root + "missing", fmOpenRead), -1);
  EXPECT_EQ(GetLastError(), 2u);
  MakeDir("dir");
  EXPECT_EQ(FileOpen(root + "dir", fmOpenRead), -1);
  EXPECT_EQ(GetLastError(), 5u);
}

// ---- The command line and the user's folders ----------------------------------------------

TEST(CommandLine, ExecutablePathAndArguments) {
  const AnsiString exe = ParamStr(0);
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe[0], '/');
  EXPECT_TRUE(FileExists(exe));
  EXPECT_TRUE(DirectoryExists(ExtractFilePath(ParamStr(0))));
  EXPECT_EQ(ExtractFileName(exe), "test_platform_rtl");

  const char* argv[] = {"prog", "one", "two words"};
  SetCommandLine(3, argv);
  EXPECT_EQ(ParamCount(), 2);
  EXPECT_EQ(ParamStr(0), exe);  // from the system, not argv[0]
  EXPECT_EQ(ParamStr(2), "two words");
  EXPECT_EQ(ParamStr(3), "");
  EXPECT_EQ(ParamStr(-1), "");
  SetCommandLine(0, nullptr);
  EXPECT_EQ(ParamCount(), 0);
  EXPECT_EQ(ParamStr(1), "");
}

class UserFolders : public TempFolder {};

TEST_F(UserFolders, ConfigurationAndDocuments) {
  ScopedEnv home("HOME", (root + "home/").c_str());
  MakeDir("home");
  {
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(GetAppDataFolder(), root + "home/.config");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(GetAppDataFolder(), root + "home/.config");
  }
  ScopedEnv config("XDG_CONFIG_HOME", (root + "cfg/").c_str());
  EXPECT_EQ(GetAppDataFolder(), root + "cfg");
  // No user-dirs.dirs: the home folder.
  EXPECT_EQ(GetPersonalFolder(), root + "home");
  MakeDir("cfg");
  Write("cfg/user-dirs.dirs",
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n");
  // Configured but missing: still the home folder.
  EXPECT_EQ(GetPersonalFolder(), root + "home");
  MakeDir("home/My \"Docs\"");
  EXPECT_EQ(GetPersonalFolder(), root + "home/My \"Docs\"");
  MakeDir("abs");
  Write("cfg/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"" + root + "abs/\"\n");
  EXPECT_EQ(GetPersonalFolder(), root + "abs");
}

TEST(TempDir, EndsWithADelimiter) {
  const AnsiString t = GetTempDir();
  EXPECT_EQ(t.back(), '/');
  EXPECT_TRUE(DirectoryExists(t));
}

}  // namespace
