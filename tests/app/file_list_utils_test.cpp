// What the file list asks of files, drops and the clipboard: PDF names,
// sizes and their text, times (local, cut to two seconds only where a
// packed DOS time could hold them), and names read whole.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "app/file_list_utils.h"
#include "app_fixture.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_clipdata.h"
#include "platform/win/user/user_test_seams.h"

namespace {

namespace fs = std::filesystem;

TEST(FileListNames, PdfExtensionIgnoresTheCaseOfAsciiLettersOnly) {
  struct TCase {
    const char* Extension;
    bool Pdf;
  } cases[] = {
      {".pdf", true},   {".PDF", true},   {".Pdf", true},      {".pDf", true},     {"pdf", false},
      {".pdf ", false}, {" .pdf", false}, {".pd", false},      {".pdfx", false},   {"", false},
      {".", false},     {".p df", false}, {".\xC3\xBE" "df", false}, 
  };
  for (const TCase& c : cases) EXPECT_EQ(IsPdfExtension(c.Extension), c.Pdf) << "'" << c.Extension << "'";
  EXPECT_FALSE(IsPdfExtension(AnsiString(".pdf\0", 5)));
}

TEST(FileListNames, SizeTextShowsKilobytesWithTwoDecimals) {
  struct TCase {
    Int64 Bytes;
    const char* Text;
  } cases[] = {
      {1536, "1.50 KB"},  {0, "0.00 KB"},          {1, "0.00 KB"},  {1024, "1.00 KB"},
      {5242880, "5120.00 KB"}, {1023, "1.00 KB"}, {10LL << 30, "10485760.00 KB"},
  };
  for (const TCase& c : cases) EXPECT_EQ(FileSizeText(c.Bytes), c.Text) << c.Bytes;
  const TFormatSettings saved = FormatSettings;
  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(FileSizeText(1536), "1,50 KB");
  FormatSettings = saved;
}

// ---- Sizes and times of files ---------------------------------------------------

class FileListFiles : public AppFolders {
 protected:
  AnsiString savedTz_;
  bool hadTz_ = false;

  void SetUp() override {
    AppFolders::SetUp();
    if (const char* tz = std::getenv("TZ")) hadTz_ = true, savedTz_ = tz;
    // Two hours east of UTC all year, so that local times are known.
    setenv("TZ", "XST-2", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) setenv("TZ", savedTz_.c_str(), 1); else unsetenv("TZ");
    tzset();
    AppFolders::TearDown();
  }
  AnsiString MakeFile(const AnsiString& name, size_t bytes) {
    const AnsiString path = Root + name;
    WriteWholeFile(path, AnsiString(bytes, 'x'));
    return path;
  }
  // Sets the file's access and write times (UTC seconds and nanoseconds).
  static void SetTimes(const AnsiString& path, timespec access, timespec write) {
    const timespec times[2] = {access, write};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }
  static timespec Utc(int year, int month, int day, int hour, int min, int sec, long msec) {
    struct tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    return timespec{timegm(&t), msec * 1000000};
  }
};

constexpr double kMillisecond = 1.0 / 86400000.0;

TEST_F(FileListFiles, SizeIsThatOfThePathItself) {
  MakeFile("a*.pdf", 10);
  MakeFile("abc.pdf", 2000);
  MakeFile("xy.pdf", 300);
  fs::create_directories(Root + "folder.pdf");
  struct TCase {
    const char* Name;
    Int64 Size;
  } cases[] = {
      {"abc.pdf", 2000},
      {"a*.pdf", 10},     // the file with the star, not the first match of a pattern
      {"x?.pdf", -1},     // no such name, though xy.pdf matches the pattern
      {"*.pdf", -1},
      {"missing.pdf", -1},
      {"folder.pdf", 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(FileSizeOf(Root + c.Name), c.Size) << c.Name;
  EXPECT_EQ(FileSizeOf(MakeFile("empty.pdf", 0)), 0);
  EXPECT_EQ(FileSizeOf(""), -1);
}

TEST_F(FileListFiles, TimesAreLocalAndCutToTwoSecondsOnlyWithinThePackedRange) {
  struct TCase {
    const char* Name;
    timespec Written;  // UTC
    TDateTime Expected;  // local, two hours later
  } cases[] = {
      {"OddSecondCut", Utc(2021, 6, 15, 8, 20, 31, 750), EncodeDateTime(2021, 6, 15, 10, 20, 30, 0)},
      {"EvenSecondLosesMilliseconds", Utc(2021, 6, 15, 8, 20, 32, 999), EncodeDateTime(2021, 6, 15, 10, 20, 32, 0)},
      {"FirstPackedYear", Utc(1980, 1, 1, 0, 0, 1, 500), EncodeDateTime(1980, 1, 1, 2, 0, 0, 0)},
      {"LocallyStill1979", Utc(1979, 12, 31, 21, 59, 59, 500), EncodeDateTime(1979, 12, 31, 23, 59, 59, 500)},
      {"EpochKeptWhole", Utc(1970, 1, 1, 0, 0, 1, 250), EncodeDateTime(1970, 1, 1, 2, 0, 1, 250)},
      {"LongBefore", Utc(1930, 3, 4, 5, 6, 7, 8), EncodeDateTime(1930, 3, 4, 7, 6, 7, 8)},
      {"LastPackedYear", Utc(2107, 12, 31, 21, 59, 59, 0), EncodeDateTime(2107, 12, 31, 23, 59, 58, 0)},
      {"AfterThePackedRange", Utc(2108, 1, 1, 0, 0, 3, 500), EncodeDateTime(2108, 1, 1, 2, 0, 3, 500)},
  };
  const AnsiString path = MakeFile("t.pdf", 1);
  const timespec access = Utc(2001, 2, 3, 4, 5, 6, 0);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetTimes(path, access, c.Written);
    EXPECT_NEAR(FileTimeOf(path, ftLastWrite), c.Expected, kMillisecond);
    EXPECT_NEAR(FileTimeOf(path, ftLastAccess), EncodeDateTime(2001, 2, 3, 6, 5, 6, 0), kMillisecond);
  }
}

TEST_F(FileListFiles, TimesAreThoseOfThePathItselfOrNowWhenNothingIsThere) {
  const AnsiString star = MakeFile("t*.pdf", 1);
  const AnsiString other = MakeFile("tx.pdf", 1);
  SetTimes(star, Utc(2001, 1, 1, 0, 0, 0, 0), Utc(2001, 1, 1, 0, 0, 0, 0));
  SetTimes(other, Utc(2010, 1, 1, 0, 0, 0, 0), Utc(2010, 1, 1, 0, 0, 0, 0));
  EXPECT_NEAR(FileTimeOf(star, ftLastWrite), EncodeDateTime(2001, 1, 1, 2, 0, 0, 0), kMillisecond);
  for (const char* name : {"t?.pdf", "missing.pdf"}) {
    SCOPED_TRACE(name);
    const TDateTime before = Now();
    const TDateTime got = FileTimeOf(Root + name, ftLastWrite);
    const TDateTime after = Now();
    EXPECT_GE(got, before);
    EXPECT_LE(got, after);
  }
}

TEST_F(FileListFiles, CreationIsTheBirthTimeWhereKeptElseTheLastWrite) {
  const TDateTime before = Now();
  const AnsiString path = MakeFile("born.pdf", 1);
  SetTimes(path, Utc(2003, 3, 3, 3, 3, 3, 0), Utc(2002, 2, 2, 2, 2, 2, 0));
  struct statx st {};
  ASSERT_EQ(statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &st), 0);
  const TDateTime created = FileTimeOf(path, ftCreation);
  if (st.stx_mask & STATX_BTIME) {
    // Made just now; setting the other times does not move it.
    EXPECT_GE(created, before - 2.0 / 86400);
    EXPECT_LE(created, Now());
  } else {
    EXPECT_NEAR(created, EncodeDateTime(2002, 2, 2, 4, 2, 2, 0), kMillisecond);
  }
}

// The reader a folder search uses gives what the single-file routines give,
// whether the files come folder by folder or back and forth.
TEST_F(FileListFiles, ListedFilesReadAsTheirSizeAndTimes) {
  fs::create_directories(Root + "one");
  fs::create_directories(Root + "two");
  fs::create_directories(Root + "one/folder.pdf");
  const AnsiString a = MakeFile("one/a.pdf", 1536), b = MakeFile("one/b*.pdf", 0), c = MakeFile("two/c.pdf", 7);
  SetTimes(a, Utc(2001, 2, 3, 4, 5, 6, 0), Utc(2020, 5, 6, 7, 8, 9, 0));
  SetTimes(c, Utc(2001, 2, 3, 4, 5, 6, 0), Utc(1975, 1, 2, 3, 4, 5, 500));
  struct TCase {
    AnsiString Path;
    bool Found;
  } cases[] = {
      {a, true},  {b, true},  {c, true}, {a, true}, {Root + "one/missing.pdf", false},
      {Root + "one/folder.pdf", false}, {Root + "b?.pdf", false}, {Root + "none/x.pdf", false}, {c, true},
  };
  TListedFileReader reader;
  for (const TCase& t : cases) {
    SCOPED_TRACE(t.Path);
    TListedFile byReader, alone;
    ASSERT_EQ(reader.Read(t.Path, byReader), t.Found);
    ASSERT_EQ(ReadListedFile(t.Path, alone), t.Found);
    if (!t.Found) continue;
    for (const TListedFile& f : {byReader, alone}) {
      EXPECT_EQ(f.Size, FileSizeOf(t.Path));
      EXPECT_NEAR(f.LastWrite, FileTimeOf(t.Path, ftLastWrite), kMillisecond);
      EXPECT_NEAR(f.Creation, FileTimeOf(t.Path, ftCreation), kMillisecond);
    }
  }
  // A file gone since its folder was opened is not found.
  ASSERT_TRUE(fs::remove(c.c_str()));
  TListedFile gone;
  EXPECT_FALSE(reader.Read(c, gone));
}

// ---- Names of drops and of the clipboard ----------------------------------------------

TEST(FileListDrops, DroppedNamesAreReadWhole) {
  const std::vector<std::vector<AnsiString>> lists = {
      {},
      {"/tmp/a.pdf"},
      {"/tmp/" + AnsiString(300, 'n') + ".pdf", "/tmp/" + AnsiString(250, 'm') + "/" + AnsiString(250, 'o'),
       "/tmp/" + AnsiString(5000, 'p') + ".PDF"},
      {"/tmp/caf\xC3\xA9 \"x\".pdf", "/tmp/latin1-\xE9.pdf", "/tmp/folder"},
  };
  for (const auto& files : lists) {
    SCOPED_TRACE(files.size());
    HGLOBAL drop = rtl::detail::MakeDrop(files, POINT(1, 2), false);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DroppedFileNames(static_cast<HDROP>(drop)), files);
    GlobalFree(drop);
  }
}

class FileListClipboard : public AppFolders {
 protected:
  HWND Other = nullptr;
  void SetUp() override {
    AppFolders::SetUp();
    Other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(Other);
    rtl::testing::SetExternalClipboard({});
    AppFolders::TearDown();
  }
  static void CopyFiles(const std::vector<AnsiString>& files) {
    std::string uris;
    for (const AnsiString& f : files) uris += rtl::detail::FileUrl(f) + "\r\n";
    rtl::testing::SetExternalClipboard({{"text/uri-list", uris}});
  }
};

TEST_F(FileListClipboard, PasteIsOfferedForAFolderOrAPdfNameOnly) {
  fs::create_directories(Root + "folder");
  WriteWholeFile(Root + "notes.txt", "x");
  const AnsiString longPdf = Root + AnsiString(300, 'l') + ".pdf";
  struct TCase {
    const char* Name;
    std::vector<AnsiString> Files;
    bool Nothing;
  } cases[] = {
      {"OnlyText", {Root + "notes.txt"}, true},
      {"Folder", {Root + "notes.txt", Root + "folder"}, false},
      {"PdfByItsNameAlone", {Root + "gone.PDF"}, false},
      {"MissingFolder", {Root + "gone"}, true},
      {"LongPdfName", {longPdf}, false},
      {"NoFiles", {}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    CopyFiles(c.Files);
    EXPECT_EQ(ClipboardFileNames(nullptr), c.Files);
    EXPECT_EQ(NothingToPaste(nullptr), c.Nothing);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << "closed again";
  }
  rtl::testing::SetExternalClipboard({{"text/plain", Root + "folder"}});
  EXPECT_TRUE(ClipboardFileNames(nullptr).empty());
  EXPECT_TRUE(NothingToPaste(nullptr));
}

TEST_F(FileListClipboard, AClipboardHeldByAnotherIsLeftAlone) {
  fs::create_directories(Root + "folder");
  CopyFiles({Root + "folder"});
  ASSERT_TRUE(OpenClipboard(Other));
  EXPECT_TRUE(ClipboardFileNames(nullptr).empty());
  EXPECT_TRUE(NothingToPaste(nullptr));
  EXPECT_EQ(GetOpenClipboardWindow(), Other);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(NothingToPaste(nullptr));
}

}  // namespace
