// The converter's command line and the output names: the exact line of a
// Word conversion, hostile names and titles reaching the converter stand-in
// byte for byte, and the numbering of existing outputs.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/globals.h"
#include "conversion_fixture.h"
#include "platform/forms/forms.h"

namespace {

namespace fs = std::filesystem;

// The options at their defaults, restored after each test.
class CommandLine : public ::testing::Test {
 protected:
  TGlobalVars Saved = GlobalVars;
  void SetUp() override { GlobalVars = TGlobalVars(); }
  void TearDown() override { GlobalVars = Saved; }
};

TEST_F(CommandLine, AWordConversionGivesTheDocumentedLine) {
  const AnsiString line = ConverterCommandLine("/opt/Pdf Tools/ConvertZelvo.exe", "WORD", "/data/In/report.pdf",
                                               "/data/In/report.doc", "report");
  EXPECT_EQ(line,
            "\"/opt/Pdf Tools/ConvertZelvo.exe\" \"WORD\" \"/data/In/report.pdf\" \"/data/In/report.doc\" \"-1\" "
            "\"-1\" \"Continuous\"  \"0\" \"0\" \"WithFormatting\" \"NotSingleSheet\" \"1\" \"PreserveImages\" "
            "\"NotIncludeImagesInHTML\" \"100\" \"report\"  \"JPG\" \"120\" \"Colored 24-bit, Truecolor\" "
            "\"(None)\" \"800\" \"120\" \"Colored 24-bit, Truecolor\" \"(None)\"");
}

TEST_F(CommandLine, EveryOptionHasItsPlaceWhateverTheType) {
  TGlobalVars& g = GlobalVars;
  g.WordAllPages = false;
  g.WordFromPage = 3;
  g.WordToPage = 7;
  g.ExcelAllPages = false;  // Excel's own range is not on the line
  g.ExcelFromPage = 9;
  g.ExcelLeftIndent = 4;
  g.ExcelTopIndent = 5;
  g.ExcelRenderMode = "Plain";
  g.ExcelPutAllToSign = true;
  g.ExcelSpacing = 2;
  g.HTMLPreserveImages = false;
  g.HTMLIncludeImage = true;
  g.HTMLQuality = 60;
  g.ImageFormat = "PNG";
  g.ImageDPI = 300;
  g.ImageResizeTo = 640;
  g.TIFFDPI = 200;
  g.TIFFCompressType = "LZW";
  const AnsiString line = ConverterCommandLine("/p/ConvertZelvo.exe", "EXCEL", "/i/a.pdf", "/i/a.xls", "T");
  EXPECT_EQ(line,
            "\"/p/ConvertZelvo.exe\" \"EXCEL\" \"/i/a.pdf\" \"/i/a.xls\" \"3\" \"7\" \"Continuous\"  \"4\" \"5\" "
            "\"Plain\" \"SingleSheet\" \"2\" \"NotPreserveImages\" \"IncludeImagesInHTML\" \"60\" \"T\"  \"PNG\" "
            "\"300\" \"Colored 24-bit, Truecolor\" \"(None)\" \"640\" \"200\" \"Colored 24-bit, Truecolor\" "
            "\"LZW\"");
}

TEST_F(CommandLine, QuotesAndBackslashesAreWrittenForTheSplitting) {
  const std::vector<std::pair<AnsiString, AnsiString>> cases = {
      {"plain", "\"plain\""},
      {"", "\"\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\b", "\"a\\b\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"end\\", "\"end\\\\\""},
      {"end\\\\", "\"end\\\\\\\\\""},
      {"50% off", "\"50% off\""},
  };
  for (const auto& [arg, quoted] : cases) EXPECT_EQ(QuoteArgument(arg), quoted) << arg;
  // A quote in the program's folder would move every argument.
  EXPECT_THROW(ConverterCommandLine("/odd\"dir/ConvertZelvo.exe", "WORD", "/a.pdf", "/a.doc", "a"),
               EOutputNameError);
}

TEST_F(CommandLine, TypesNameTheirWordAndExtension) {
  const std::vector<std::tuple<TConversionKind, AnsiString, AnsiString>> cases = {
      {ckWord, "WORD", ".doc"},   {ckExcel, "EXCEL", ".xls"},         {ckHTML, "HTML", ".html"},
      {ckImage, "IMAGE", ".IMAGE"}, {ckTIFF, "MultipageTIFF", ".tiff"},
  };
  for (const auto& [kind, word, ext] : cases) {
    EXPECT_EQ(ConversionTypeWord(kind), word);
    EXPECT_EQ(OutputExtension(word), ext);
  }
  EXPECT_EQ(BaseNameOf("a.b.pdf"), "a.b");
  EXPECT_EQ(BaseNameOf("noext"), "noext");
  EXPECT_EQ(BaseNameOf(".hidden"), "");
}

// ---- Output names ----------------------------------------------------------------------

class OutputNames : public AppFolders {
 protected:
  TGlobalVars Saved = GlobalVars;
  void SetUp() override {
    AppFolders::SetUp();
    GlobalVars = TGlobalVars();
  }
  void TearDown() override {
    GlobalVars = Saved;
    AppFolders::TearDown();
  }
  void Touch(const AnsiString& name) { WriteWholeFile(Root + name, "x"); }
};

TEST_F(OutputNames, ExistingOutputsAreNumberedUnlessOverwriting) {
  struct Case {
    const char* What;
    std::vector<AnsiString> Existing;
    AnsiString Input, Extension;
    bool Overwrite;
    AnsiString Expected;
  };
  const std::vector<Case> cases = {
      {"a free name", {}, "report.pdf", ".doc", false, "report.doc"},
      {"the first number", {"report.doc"}, "report.pdf", ".doc", false, "report(1).doc"},
      {"the next number", {"report.doc", "report(1).doc"}, "report.pdf", ".doc", false, "report(2).doc"},
      {"a gap is filled", {"report.doc", "report(2).doc"}, "report.pdf", ".doc", false, "report(1).doc"},
      {"a percent sign stays", {"50% off.doc"}, "50% off.pdf", ".doc", false, "50% off(1).doc"},
      {"overwriting takes the first", {"report.doc", "report(1).doc"}, "report.pdf", ".doc", true, "report.doc"},
      {"the base name ends at the last dot", {}, "a.b.pdf", ".html", false, "a.b.html"},
      {"the image type's extension", {}, "scan.PDF", ".IMAGE", false, "scan.IMAGE"},
      {"a folder takes a name too", {"dir.xls/"}, "dir.pdf", ".xls", false, "dir(1).xls"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    for (const AnsiString& e : c.Existing) {
      if (e.back() == '/')
        fs::create_directory(Root + e);
      else
        Touch(e);
    }
    GlobalVars.OverwriteFile = c.Overwrite;
    EXPECT_EQ(MakeOutputPath(Root + c.Input, c.Extension), Root + c.Expected);
    for (const AnsiString& e : c.Existing) fs::remove(Root + (e.back() == '/' ? e.substr(0, e.size() - 1) : e));
  }
}

TEST_F(OutputNames, AnOutputFolderTakesThePlaceOfTheInputsFolder) {
  GlobalVars.OutputSameAsInput = false;
  GlobalVars.OutputFolder = Root + "out";  // without its delimiter
  EXPECT_EQ(MakeOutputPath("/elsewhere/report.pdf", ".doc"), Root + "out/report.doc");
  // A dangling link is a taken name: writing through it would create its target.
  fs::create_directories(Root + "out");
  fs::create_symlink(Root + "nowhere", Root + "out/report.doc");
  EXPECT_EQ(MakeOutputPath("/elsewhere/report.pdf", ".doc"), Root + "out/report(1).doc");
}

TEST_F(OutputNames, WhenEveryNumberIsTakenNothingIsOverwritten) {
  Touch("full.doc");
  for (int n = 1; n <= 32767; ++n) Touch("full(" + std::to_string(n) + ").doc");
  EXPECT_THROW(MakeOutputPath(Root + "full.pdf", ".doc"), EOutputNameError);
  fs::remove(Root + "full(32767).doc");
  EXPECT_EQ(MakeOutputPath(Root + "full.pdf", ".doc"), Root + "full(32767).doc") << "the last number is a name";
}

// ---- Hostile names through the stand-in ------------------------------------------------

using HostileNames = ConversionBatch;

TEST_F(HostileNames, EveryNameAndTitleReachesTheConverterUnchanged) {
  GlobalVars.PromptOpenOuput = false;
  GlobalVars.PlayASoundWhenFinished = false;
  struct Case {
    AnsiString Name;   // the input file's name
    AnsiString Title;  // the custom title; empty: the base name
  };
  const std::vector<Case> cases = {
      {"quote\"inside.pdf", "He said \"hi\""},
      {"back\\\"slash.pdf", "ends with a backslash\\"},
      {"two  blanks .pdf", "\\\\\""},
      {"50% off %s %d.pdf", "%s%n%%"},
      {"Grüße ✓ データ.pdf", "Titel “quoted” ✓"},
      {"line\nbreak.pdf", "tab\there\nand line"},
      {"trailing\\.pdf", ""},
      {"a.b.pdf", ""},
      {"-1.pdf", "\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    List.Rows.clear();
    fs::remove(ArgvLog);
    AddRows(Input, {c.Name});
    GlobalVars.HTMLTitleUseFileName = c.Title.empty();
    GlobalVars.HTMLTitleCustom = c.Title;
    ASSERT_TRUE(Convert(ckHTML));
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].size(), 23u);
    const AnsiString base = BaseNameOf(c.Name);
    EXPECT_EQ(runs[0][0], "HTML");
    EXPECT_EQ(runs[0][1], Input + c.Name);
    EXPECT_EQ(runs[0][2], Input + base + ".html");
    EXPECT_EQ(runs[0][14], c.Title.empty() ? base : c.Title);
    EXPECT_EQ(runs[0][15], "JPG") << "the arguments after the title keep their places";
    EXPECT_EQ(List.States(), std::vector<Integer>{rsProcessed}) << "the stand-in wrote the output it was given";
    EXPECT_TRUE(Errors.empty());
  }
}

}  // namespace
