#include <gtest/gtest.h>

#include <filesystem>

#include "app/globals.h"
#include "app_fixture.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {

class Settings : public AppFolders {
 protected:
  void SetUp() override {
    AppFolders::SetUp();
    GlobalVars = TGlobalVars();
  }
  // The keys of a section of the settings file, in file order.
  std::vector<AnsiString> KeysOf(const AnsiString& path, const AnsiString& section) {
    TMemIniFile ini(path);
    TStringList keys;
    ini.ReadSection(section, &keys);
    std::vector<AnsiString> r;
    for (Integer i = 0; i < keys.Count(); ++i) r.push_back(keys.Get(i));
    return r;
  }
};

TEST_F(Settings, TrailingDelimiter) {
  EXPECT_EQ(WithTrailingBackslash(""), "/");
  EXPECT_EQ(WithTrailingBackslash("/data"), "/data/");
  EXPECT_EQ(WithTrailingBackslash("/data/"), "/data/");
}

TEST_F(Settings, FileNameFromTheTitle) {
  const std::pair<const char*, const char*> cases[] = {
      {"Demo Tool 2", "demotool2System.dat"},
      {"", "System.dat"},
      {"A/B\\C d", "abcdSystem.dat"},
      {"\xC3\x84rger Tool", "\xC3\x84rgertoolSystem.dat"},  // only ASCII letters are lowered
  };
  for (const auto& [title, file] : cases) EXPECT_EQ(SettingsFileName(title), file) << title;
}

TEST_F(Settings, FolderIsTheTitleUnderTheApplicationData) {
  InitializeSettings("Demo Tool 2");
  EXPECT_EQ(GlobalVars.SettingsFolder, AppData + "Demo Tool 2/");
  EXPECT_TRUE(DirectoryExists(AppData + "Demo Tool 2"));
  EXPECT_EQ(SettingsFilePath("Demo Tool 2"), AppData + "Demo Tool 2/demotool2System.dat");

  InitializeSettings("");
  EXPECT_EQ(GlobalVars.SettingsFolder, AppData);
  EXPECT_EQ(SettingsFilePath(""), AppData + "System.dat");
}

TEST_F(Settings, AFolderThatCannotBeCreatedFallsBackToTheApplicationData) {
  // Only one level is created: "a" does not exist, so "a/b" cannot be made.
  InitializeSettings("a/b");
  EXPECT_EQ(GlobalVars.SettingsFolder, AppData);
}

TEST_F(Settings, DefaultsComeFromThePersonalFolder) {
  GlobalVars.WordFromPage = 7;
  GlobalVars.ConversionType = "WORD";
  InitializeSettings("T");
  EXPECT_EQ(GlobalVars.WordFromPage, 1);
  EXPECT_EQ(GlobalVars.ConversionType, "WORD");  // not a stored setting
  EXPECT_EQ(WithTrailingBackslash(GlobalVars.OutputFolder), WithTrailingBackslash(GetPersonalFolder()));
  EXPECT_EQ(GlobalVars.LastOpenDir, GlobalVars.OutputFolder);
  EXPECT_EQ(GlobalVars.AddFolderPath, GlobalVars.OutputFolder);
}

TEST_F(Settings, FirstRunWritesEveryKeyAndNoPlacement) {
  InitializeSettings("Demo");
  EXPECT_FALSE(LoadSettings("Demo"));
  const AnsiString path = SettingsFilePath("Demo");
  ASSERT_TRUE(FileExists(path));
  const std::vector<AnsiString> expected = {
      "OutputSameAsInput", "OutputFolder", "OverwriteFile", "PromptRemove", "PromptOpenOuput",
      "PlayASoundWhenFinished", "WordAllPages", "WordFromPage", "WordToPage", "WordRenderMode",
      "ExcelAllPages", "ExcelFromPage", "ExcelToPage", "ExcelLeftIndent", "ExcelTopIndent",
      "ExcelRenderMode", "ExcelPutAllToSign", "ExcelSpacing", "HTMLAllPages", "HTMLFromPage",
      "HTMLToPage", "HTMLPreserveImages", "HTMLIncludeImage", "HTMLQuality", "HTMLTitleUseFileName",
      "HTMLTitleCustom", "ImageFormat", "ImageDPI", "ImageColorDepth", "ImageResizingMode",
      "ImageResizeTo", "TIFFDPI", "TIFFColorDepth", "TIFFCompressType", "RibbonForm",
      "ApplicationButton", "TouchMode", "Visible", "ASkinName", "RadialMenu", "AddFolderPath",
      "LastOpenDir"};
  EXPECT_EQ(KeysOf(path, "System"), expected);
  EXPECT_TRUE(KeysOf(path, "Form").empty());

  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("System", "OutputSameAsInput", ""), "1");
  EXPECT_EQ(ini.ReadString("System", "OverwriteFile", ""), "0");
  EXPECT_EQ(ini.ReadString("System", "HTMLQuality", ""), "100");
  EXPECT_EQ(ini.ReadString("System", "ImageColorDepth", ""), "Colored 24-bit, Truecolor");
  EXPECT_EQ(ini.ReadString("System", "ASkinName", ""), "White");
}

TEST_F(Settings, StoredValuesRoundTripAndBadNumbersKeepTheField) {
  InitializeSettings("Demo");
  GlobalVars.OverwriteFile = true;
  GlobalVars.ExcelSpacing = 4;
  GlobalVars.HTMLTitleCustom = "My title";
  GlobalVars.ImageFormat = "PNG";
  SaveSettings("Demo");

  TIniFile ini(SettingsFilePath("Demo"));
  ini.WriteString("System", "ImageDPI", "high");
  ini.WriteString("System", "PromptRemove", "yes");

  InitializeSettings("Demo");
  GlobalVars.ImageDPI = 300;
  GlobalVars.PromptRemove = true;
  EXPECT_TRUE(LoadSettings("Demo"));
  EXPECT_TRUE(GlobalVars.OverwriteFile);
  EXPECT_EQ(GlobalVars.ExcelSpacing, 4);
  EXPECT_EQ(GlobalVars.HTMLTitleCustom, "My title");
  EXPECT_EQ(GlobalVars.ImageFormat, "PNG");
  EXPECT_EQ(GlobalVars.ImageDPI, 300);      // non-numeric: the field keeps its value
  EXPECT_TRUE(GlobalVars.PromptRemove);     // likewise for a boolean
}

TEST_F(Settings, AnUnwritableFileRaisesTheIniWriteError) {
  InitializeSettings("Demo");
  // A folder in the file's place makes every write fail.
  std::filesystem::create_directories(SettingsFilePath("Demo"));
  try {
    LoadSettings("Demo");
    FAIL() << "expected EIniFileException";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + SettingsFilePath("Demo"));
  }
}

class FakeWindow : public IPlacementWindow {
 public:
  TRect bounds{100, 50, 900, 650};
  TRect normal{100, 50, 900, 650};
  bool maximized = false;
  TSize screen{1280, 1024};
  Integer extra = 0;
  std::vector<AnsiString> calls;

  TRect Bounds() const override { return bounds; }
  TRect NormalBounds() const override { return normal; }
  void SetBounds(const TRect& r) override {
    calls.push_back("bounds");
    bounds = normal = r;
  }
  bool Maximized() const override { return maximized; }
  void SetMaximized(bool v) override {
    calls.push_back(v ? "maximized" : "normal");
    maximized = v;
  }
  TSize PrimaryScreenSize() const override { return screen; }
  Integer RibbonExtraCaptionHeight() const override { return extra; }
};

TEST_F(Settings, PlacementIsClampedToThePrimaryScreen) {
  struct Case {
    const char* name;
    const char* form;  // the "Form" section's lines
    TRect expected;
  };
  const Case cases[] = {
      {"no section keeps the window's bounds", "", {100, 50, 900, 650}},
      {"width wider than the screen", "x=200\ny=10\nwidth=5000\nheight=300\n", {0, 10, 1280, 310}},
      {"negative x", "x=-300\ny=20\nwidth=400\nheight=300\n", {0, 20, 400, 320}},
      {"beyond the bottom right", "x=1200\ny=900\nwidth=400\nheight=300\n", {880, 724, 1280, 1024}},
      {"taller than the screen", "x=0\ny=5\nwidth=400\nheight=2000\n", {0, 0, 400, 1024}},
      {"non-numeric keeps the window's value", "x=left\ny=20\n", {100, 20, 900, 620}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitializeSettings("P");
    GlobalVars.RibbonForm = false;
    WriteWholeFile(SettingsFilePath("P"), AnsiString("[Form]\n") + c.form);
    FakeWindow w;
    LoadWindowPlacement("P", "Form", w);
    EXPECT_EQ(w.bounds, c.expected);
    EXPECT_FALSE(w.maximized);
  }
}

TEST_F(Settings, RibbonCaptionHeightIsAddedWhenTheRibbonDrawsTheFrame) {
  InitializeSettings("P");
  WriteWholeFile(SettingsFilePath("P"), "[Form]\nx=0\ny=0\nwidth=400\nheight=300\n");
  FakeWindow w;
  w.extra = 24;
  GlobalVars.RibbonForm = true;
  LoadWindowPlacement("P", "Form", w);
  EXPECT_EQ(w.bounds.Height(), 324);
  GlobalVars.RibbonForm = false;
  LoadWindowPlacement("P", "Form", w);
  EXPECT_EQ(w.bounds.Height(), 300);
}

TEST_F(Settings, MaximizedRestoresTheNormalBoundsFirst) {
  InitializeSettings("P");
  WriteWholeFile(SettingsFilePath("P"), "[Form]\nx=10\ny=20\nwidth=400\nheight=300\nmaximized=1\n");
  FakeWindow w;
  GlobalVars.RibbonForm = false;
  LoadWindowPlacement("P", "Form", w);
  EXPECT_EQ(w.calls, (std::vector<AnsiString>{"bounds", "maximized"}));
  EXPECT_EQ(w.normal, TRect(10, 20, 410, 320));
}

TEST_F(Settings, SavingAMaximizedWindowStoresItsNormalBounds) {
  InitializeSettings("P");
  FakeWindow w;
  w.maximized = true;
  w.bounds = TRect(0, 0, 1280, 1024);
  w.normal = TRect(30, 40, 630, 540);
  SaveWindowPlacement("P", "Form", w);
  EXPECT_EQ(KeysOf(SettingsFilePath("P"), "Form"), (std::vector<AnsiString>{"x", "y", "height", "width", "maximized"}));
  TIniFile ini(SettingsFilePath("P"));
  EXPECT_EQ(ini.ReadInteger("Form", "x", -1), 30);
  EXPECT_EQ(ini.ReadInteger("Form", "y", -1), 40);
  EXPECT_EQ(ini.ReadInteger("Form", "width", -1), 600);
  EXPECT_EQ(ini.ReadInteger("Form", "height", -1), 500);
  EXPECT_EQ(ini.ReadString("Form", "maximized", ""), "1");
}

}  // namespace

#include "app/app_units.h"
#include "platform/rtl/units.h"

namespace {

TEST(ApplicationUnits, ShutDownReleasesTheSettingsText) {
  RegisterApplicationUnits();
  InitializeUnits();
  GlobalVars.OutputFolder = "/somewhere/";
  GlobalVars.Version = "1.0";
  FinalizeUnits();
  EXPECT_EQ(GlobalVars.OutputFolder, "");
  EXPECT_EQ(GlobalVars.Version, "");
}

}  // namespace
