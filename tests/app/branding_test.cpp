#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "app/branding.h"
#include "app/globals.h"
#include "app_fixture.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

namespace {

class RecordingWindow : public IBrandingTarget {
 public:
  AnsiString Caption = "unset";
  std::array<int, 5> Offered = {-1, -1, -1, -1, -1};
  void SetCaption(const AnsiString& c) override { Caption = c; }
  void SetConversionOffered(TConversionKind k, bool offered) override { Offered[k] = offered ? 1 : 0; }
};

using Branding = AppFolders;

TEST_F(Branding, InvertLineComplementsEveryByte) {
  EXPECT_EQ(InvertLine(""), "");
  EXPECT_EQ(InvertLine(AnsiString("\x00\x01\xFE\xFF", 4)), AnsiString("\xFF\xFE\x01\x00", 4));
  EXPECT_EQ(InvertLine(InvertLine("Name=Demo")), "Name=Demo");
}

TEST_F(Branding, ValuesAndOfferedConversions) {
  struct Case {
    const char* name;
    const char* plain;
    const char* title;
    std::array<int, 5> offered;  // Word, Excel, HTML, Image, TIFF
  };
  const Case cases[] = {
      {"empty file", "", "", {1, 1, 1, 1, 1}},
      {"only Excel off", "[SYSTEM]\r\nToExcel=0\r\n", "", {1, 0, 1, 1, 1}},
      {"names in another case", "[system]\r\ntoword=0\r\nNAME=Demo\r\n", "Demo", {0, 1, 1, 1, 1}},
      {"letters keep the default", "[SYSTEM]\nToImage=yes\n", "", {1, 1, 1, 1, 1}},
      {"hex zero", "[SYSTEM]\nToImage=0x0\nToTIFF=0x10\n", "", {1, 1, 1, 0, 1}},
      {"lone CR line breaks", "[SYSTEM]\rName=CR Tool\rToHTML=0\r", "CR Tool", {1, 1, 0, 1, 1}},
      {"other sections ignored", "[OTHER]\nToWord=0\n[SYSTEM]\nToTIFF=0\n", "", {1, 1, 1, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AnsiString path = Root + "PCore.dll";
    WriteBrandingFile(path, c.plain);
    EXPECT_EQ(ReadProductName(path), c.title);
    RecordingWindow w;
    GlobalVars = TGlobalVars();
    ReadBranding(w, c.title, path);
    EXPECT_EQ(w.Caption, c.title);
    EXPECT_EQ(w.Offered, c.offered);
    EXPECT_EQ(GlobalVars.ToWord, c.offered[ckWord] == 1);
    EXPECT_EQ(GlobalVars.ToTIFF, c.offered[ckTIFF] == 1);
  }
}

TEST_F(Branding, TextValuesAreReadIntoTheSettingsRecord) {
  const AnsiString path = Root + "PCore.dll";
  WriteBrandingFile(path,
                    "[SYSTEM]\r\nVersion=2.5\r\nCopyright=Acme\r\nHelpContectLink=https://h/c\r\n"
                    "HelpHomePageLink=https://h/\r\nHelpMoreFreeToolsLink=m\r\nHelpCheckForUpdatesLink=u\r\n"
                    "HelpSupportLink=s\r\n");
  RecordingWindow w;
  GlobalVars = TGlobalVars();
  ReadBranding(w, "T", path);
  EXPECT_EQ(GlobalVars.Version, "2.5");
  EXPECT_EQ(GlobalVars.Copyright, "Acme");
  EXPECT_EQ(GlobalVars.HelpContectLink, "https://h/c");
  EXPECT_EQ(GlobalVars.HelpHomePageLink, "https://h/");
  EXPECT_EQ(GlobalVars.HelpMoreFreeToolsLink, "m");
  EXPECT_EQ(GlobalVars.HelpCheckForUpdatesLink, "u");
  EXPECT_EQ(GlobalVars.HelpSupportLink, "s");
}

TEST_F(Branding, AnUnstorableByteSplitsTheValue) {
  // 0xF5's complement is LF: the stored line breaks there and the value is cut.
  const AnsiString path = Root + "PCore.dll";
  WriteBrandingFile(path, "[SYSTEM]\nName=Ab\xF5""cd\n");
  EXPECT_EQ(ReadProductName(path), "Ab");
}

TEST_F(Branding, AStoredNulEndsTheText) {
  const AnsiString path = Root + "PCore.dll";
  AnsiString stored = InvertLine("[SYSTEM]") + "\n" + InvertLine("Name=Before") + "\n" + AnsiString(1, '\0') + "\n" +
                      InvertLine("Name=After") + "\n";
  WriteWholeFile(path, stored);
  EXPECT_EQ(ReadProductName(path), "Before");
}

TEST_F(Branding, APlainFileGivesEveryDefault) {
  const AnsiString path = Root + "PCore.dll";
  WriteWholeFile(path, "[SYSTEM]\nName=Plain\nToWord=0\n");
  EXPECT_EQ(ReadProductName(path), "");
  RecordingWindow w;
  GlobalVars = TGlobalVars();
  ReadBranding(w, "", path);
  EXPECT_EQ(w.Offered, (std::array<int, 5>{1, 1, 1, 1, 1}));
}

TEST_F(Branding, AMissingFileIsAnOpenError) {
  EXPECT_THROW(ReadProductName(Root + "missing/PCore.dll"), EFOpenError);
}

TEST_F(Branding, AFifoALinkToADeviceOrAnOversizedFileIsAnOpenErrorAtOnce) {
  alarm(30);  // a blocking open or an endless read ends the program, not the run
  const AnsiString fifo = Root + "fifo/PCore.dll", zero = Root + "zero/PCore.dll", big = Root + "big/PCore.dll";
  for (const AnsiString& p : {fifo, zero, big}) std::filesystem::create_directories(ExtractFileDir(p));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  WriteBrandingFile(big, "[SYSTEM]\nName=Big\nCopyright=" + AnsiString(5 * 1024 * 1024, 'c') + "\n");
  const std::pair<AnsiString, AnsiString> cases[] = {
      {fifo, "It is not a regular file."}, {zero, "It is not a regular file."}, {big, "It is larger than 4 MB."}};
  for (const auto& [path, why] : cases) {
    try {
      ReadProductName(path);
      ADD_FAILURE() << "no exception for " << path;
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), "Cannot open file \"" + path + "\". " + why);
    }
    RecordingWindow w;
    EXPECT_THROW(ReadBranding(w, "T", path), EFOpenError);
  }
  alarm(0);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(Branding, TheFileLiesNextToTheExecutable) {
  const AnsiString p = BrandingFilePath();
  EXPECT_EQ(ExtractFileName(p), "PCore.dll");
  EXPECT_EQ(p.substr(0, p.size() - 9), ExtractFilePath(ParamStr(0)));
}

}  // namespace
