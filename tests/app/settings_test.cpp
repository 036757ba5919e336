#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <random>
#include <thread>

#include "app/globals.h"
#include "app_fixture.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/testing/fault_hooks.h"
#include "tests/common/hang_guard.h"
#include "tests/common/unprivileged.h"

namespace {

namespace fs = std::filesystem;

template <class F>
AnsiString MessageOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

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

TEST_F(Settings, AMissingApplicationDataFolderIsCreatedWithItsParents) {
  fs::remove_all(AppData.c_str());
  const AnsiString deeper = Root + "fresh/config/";
  setenv("XDG_CONFIG_HOME", (Root + "fresh/config").c_str(), 1);
  InitializeSettings("Demo Tool");
  EXPECT_EQ(GlobalVars.SettingsFolder, deeper + "Demo Tool/");
  EXPECT_FALSE(LoadSettings("Demo Tool"));
  EXPECT_TRUE(FileExists(deeper + "Demo Tool/demotoolSystem.dat"));
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
  // The work area of every monitor asked for; a test of several monitors
  // gives one per rectangle.
  std::vector<TRect> monitors{TRect(0, 0, 1280, 1024)};
  TSize minimum{120, 90};
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
  TRect WorkArea(const TRect& r) const override {
    // The monitor sharing most of the rectangle, else the first.
    TRect best = monitors.front();
    Int64 bestArea = 0;
    for (const TRect& m : monitors) {
      const Int64 w = std::min<Int64>(m.Right, r.Right) - std::max<Int64>(m.Left, r.Left);
      const Int64 h = std::min<Int64>(m.Bottom, r.Bottom) - std::max<Int64>(m.Top, r.Top);
      if (w > 0 && h > 0 && w * h > bestArea) {
        bestArea = w * h;
        best = m;
      }
    }
    return best;
  }
  TSize MinimumSize() const override { return minimum; }
  Integer RibbonExtraCaptionHeight() const override { return extra; }
};

TEST_F(Settings, AFifoOrALinkToADeviceIsReportedNotReadAndNotReplaced) {
  HangGuard guard(30);
  InitializeSettings("T");
  const AnsiString path = SettingsFilePath("T");
  const AnsiString message = "Unable to read " + path + ". It is not a regular file.";
  for (bool fifo : {true, false}) {
    SCOPED_TRACE(fifo ? "FIFO" : "link to /dev/zero");
    fs::remove(path);
    if (fifo)
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    else
      ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
    EXPECT_EQ(MessageOf([&] { LoadSettings("T"); }), message);
    EXPECT_EQ(MessageOf([&] { SaveSettings("T"); }), message);
    FakeWindow w;
    EXPECT_EQ(MessageOf([&] { LoadWindowPlacement("T", "Form", w); }), message);
    EXPECT_EQ(MessageOf([&] { SaveWindowPlacement("T", "Form", w); }), message);
    if (fifo) {
      EXPECT_TRUE(fs::is_fifo(path));
    } else {
      EXPECT_TRUE(fs::is_symlink(path));
      EXPECT_EQ(fs::read_symlink(path), "/dev/zero");
    }
  }
  EXPECT_FALSE(fs::exists("/dev/zero.lock"));
}

TEST_F(Settings, AnOversizedFileIsReportedAndKept) {
  InitializeSettings("T");
  const AnsiString path = SettingsFilePath("T");
  const AnsiString big = "[System]\r\nHTMLTitleCustom=" + AnsiString(5 * 1024 * 1024, 't') + "\r\n";
  WriteWholeFile(path, big);
  EXPECT_EQ(MessageOf([&] { LoadSettings("T"); }), "Unable to read " + path + ". It is larger than 4 MB.");
  EXPECT_EQ(GlobalVars.HTMLTitleCustom, "Untitled document");
  EXPECT_THROW(SaveSettings("T"), EIniFileException);
  EXPECT_EQ(fs::file_size(path), big.size());
}

TEST_F(Settings, AnUnreadableFileIsReportedAndNotOverwrittenWithDefaults) {
  InitializeSettings("T");
  const AnsiString path = SettingsFilePath("T");
  const AnsiString stored = "[System]\r\nOverwriteFile=1\r\nASkinName=Black\r\n";
  WriteWholeFile(path, stored);
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  // Everything on the way may be changed by anyone: only the file's own
  // permission keeps it from being read (or renamed over).
  for (const AnsiString& d : {Root, AppData, GlobalVars.SettingsFolder}) ASSERT_EQ(chmod(d.c_str(), 0777), 0);
  const AnsiString message = "Unable to read " + path + ". Access is denied.";
  const int rc = test_helpers::RunUnprivileged([&] {
    if (MessageOf([] { LoadSettings("T"); }) != message) return 1;
    if (GlobalVars.OverwriteFile || GlobalVars.ASkinName != "White") return 2;  // nothing taken as read
    if (MessageOf([] { SaveSettings("T"); }) != message) return 3;
    return 0;
  });
  if (rc == -1) GTEST_SKIP() << "cannot drop root's privileges";
  EXPECT_EQ(rc, 0);
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(path), stored);
}

TEST_F(Settings, AFileWithCarriageReturnsOnlyIsRead) {
  InitializeSettings("T");
  WriteWholeFile(SettingsFilePath("T"), "[System]\rOverwriteFile=1\rExcelSpacing=4\rASkinName=Black\r[Form]\rx=5\r");
  EXPECT_TRUE(LoadSettings("T"));
  EXPECT_TRUE(GlobalVars.OverwriteFile);
  EXPECT_EQ(GlobalVars.ExcelSpacing, 4);
  EXPECT_EQ(GlobalVars.ASkinName, "Black");
}

TEST_F(Settings, BlanksQuotesAndLongPathsRoundTrip) {
  const AnsiString longest(2047, 'd');
  const std::pair<AnsiString, AnsiString> titles[] = {
      {"blanks", "  Padded title  "}, {"quotes", "\"Quoted\""}, {"single quotes", "'Single'"},
      {"a lone quote", "\""},          {"empty", ""},             {"quotes and blanks", " \"x\" "}};
  for (const auto& [name, title] : titles) {
    SCOPED_TRACE(name);
    InitializeSettings("T");
    GlobalVars.HTMLTitleCustom = title;
    GlobalVars.OutputFolder = "/" + longest.substr(1);
    GlobalVars.AddFolderPath = " /home/user/with blank/ ";
    SaveSettings("T");
    InitializeSettings("T");
    ASSERT_TRUE(LoadSettings("T"));
    EXPECT_EQ(GlobalVars.HTMLTitleCustom, title);
    EXPECT_EQ(GlobalVars.OutputFolder.size(), 2047u);
    EXPECT_EQ(GlobalVars.AddFolderPath, " /home/user/with blank/ ");
  }
}

TEST_F(Settings, FilesWrittenBeforeReadAsBefore) {
  InitializeSettings("T");
  WriteWholeFile(SettingsFilePath("T"),
                 "[System]\r\nHTMLTitleCustom=   Spaced   \r\nASkinName=\"Black\"\r\nWordRenderMode='Exact'\r\n"
                 "ImageFormat=\"PNG\r\nLastOpenDir=" +
                     AnsiString(3000, 'l') + "\r\n");
  ASSERT_TRUE(LoadSettings("T"));
  EXPECT_EQ(GlobalVars.HTMLTitleCustom, "Spaced");
  EXPECT_EQ(GlobalVars.ASkinName, "Black");
  EXPECT_EQ(GlobalVars.WordRenderMode, "Exact");
  EXPECT_EQ(GlobalVars.ImageFormat, "\"PNG");
  EXPECT_EQ(GlobalVars.LastOpenDir, AnsiString(2047, 'l'));  // the read limit stays
}

TEST_F(Settings, AValueTheFileCannotHoldIsRefusedByKeyAndTheOthersAreSaved) {
  InitializeSettings("T");
  SaveSettings("T");  // the defaults are stored
  const AnsiString path = SettingsFilePath("T");
  const AnsiString storedOutput = GlobalVars.OutputFolder;
  GlobalVars.OutputFolder = "/home/user/line\nbreak";  // a legal folder name on Linux
  GlobalVars.LastOpenDir = "/" + AnsiString(4094, 'p');  // a legal path, longer than a read returns
  GlobalVars.OverwriteFile = true;
  GlobalVars.ASkinName = "Black";
  GlobalVars.AddFolderPath = "/home/user/add";
  try {
    SaveSettings("T");
    FAIL() << "no exception";
  } catch (const EIniValueError& e) {
    EXPECT_EQ(e.Message(),
              "The value of \"OutputFolder\" cannot be stored in " + path + ": it holds a line break.\n"
              "The value of \"LastOpenDir\" cannot be stored in " + path + ": it is longer than 2047 bytes.");
  }
  InitializeSettings("T");
  ASSERT_TRUE(LoadSettings("T"));
  EXPECT_EQ(GlobalVars.OutputFolder, storedOutput);  // the stored value is kept
  EXPECT_TRUE(GlobalVars.OverwriteFile);            // keys after the refused one are saved
  EXPECT_EQ(GlobalVars.ASkinName, "Black");
  EXPECT_EQ(GlobalVars.AddFolderPath, "/home/user/add");
  EXPECT_EQ(KeysOf(path, "System").size(), 42u);
  EXPECT_EQ(KeysOf(path, "Injected").size(), 0u);
}

TEST_F(Settings, WritersKilledDuringASaveLeaveNoTemporaryFiles) {
  InitializeSettings("T");
  SaveSettings("T");
  const AnsiString path = SettingsFilePath("T");
  const AnsiString folder = GlobalVars.SettingsFolder, name = ExtractFileName(path);
  auto temporaryFiles = [&] {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string f = e.path().filename().string();
      if (f != name && f != name + ".lock") ++n;
    }
    return n;
  };
  auto hasTemporaryFileOf = [&](pid_t pid) {
    const std::string prefix = "." + name + "." + std::to_string(pid) + ".";
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().filename().string().starts_with(prefix)) return true;
    return false;
  };
  // Killed while their temporary file exists (the write is held there) ...
  for (int i = 0; i < 5; ++i) {
    pid_t child = fork();
    if (child == 0) {
      rtl::testing::SetReplaceFileFaultHook([](const AnsiString&) {
        pause();
        return 0;
      });
      GlobalVars.ASkinName = "Never";
      SaveSettings("T");
      _exit(1);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!hasTemporaryFileOf(child) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(hasTemporaryFileOf(child));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(temporaryFiles(), 1u);  // its own; the one before it was removed by its save
  }
  // ... and at random moments of saves that run in a loop.
  std::mt19937 random(42);
  for (int i = 0; i < 60; ++i) {
    pid_t child = fork();
    if (child == 0) {
      for (int n = 0;; ++n) {
        GlobalVars.ExcelSpacing = n;
        SaveSettings("T");
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  EXPECT_LE(temporaryFiles(), 1u);
  InitializeSettings("T");
  GlobalVars.ASkinName = "Final";
  SaveSettings("T");
  EXPECT_EQ(temporaryFiles(), 0u);
  EXPECT_EQ(KeysOf(path, "System").size(), 42u);
  InitializeSettings("T");
  ASSERT_TRUE(LoadSettings("T"));
  EXPECT_EQ(GlobalVars.ASkinName, "Final");
}

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

TEST_F(Settings, PlacementExtremesGiveAVisibleWindowOfAtLeastItsMinimumSize) {
  struct Case {
    const char* name;
    AnsiString form;
    TRect expected;
  };
  const AnsiString max = std::to_string(INT_MAX), min = std::to_string(INT_MIN);
  const Case cases[] = {
      {"x near INT_MAX", "x=" + std::to_string(INT_MAX - 10) + "\ny=0\nwidth=400\nheight=300\n", {880, 0, 1280, 300}},
      {"every value INT_MAX", "x=" + max + "\ny=" + max + "\nwidth=" + max + "\nheight=" + max + "\n", {0, 0, 1280, 1024}},
      {"every value INT_MIN", "x=" + min + "\ny=" + min + "\nwidth=" + min + "\nheight=" + min + "\n", {0, 0, 120, 90}},
      {"zero size", "x=10\ny=20\nwidth=0\nheight=0\n", {10, 20, 130, 110}},
      {"negative size", "x=10\ny=20\nwidth=-400\nheight=-1\n", {10, 20, 130, 110}},
      {"negative size at the far edge", "x=1270\ny=1020\nwidth=-5\nheight=-5\n", {1160, 934, 1280, 1024}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitializeSettings("P");
    GlobalVars.RibbonForm = false;
    WriteWholeFile(SettingsFilePath("P"), "[Form]\n" + c.form);
    FakeWindow w;
    LoadWindowPlacement("P", "Form", w);
    EXPECT_EQ(w.bounds, c.expected);
  }
  // A minimum larger than the screen wins over the screen.
  InitializeSettings("P");
  GlobalVars.RibbonForm = false;
  WriteWholeFile(SettingsFilePath("P"), "[Form]\nx=50\ny=50\nwidth=10\nheight=10\n");
  FakeWindow w;
  w.monitors = {TRect(0, 0, 100, 80)};
  LoadWindowPlacement("P", "Form", w);
  EXPECT_EQ(w.bounds, TRect(0, 0, 120, 90));
}

TEST_F(Settings, PlacementFitsTheWorkAreaOfTheMonitorItLiesOn) {
  struct Case {
    const char* name;
    std::vector<TRect> monitors;
    AnsiString form;
    TRect expected;
  };
  // A 1280 x 800 screen with a panel of 30 pixels at the bottom, and a
  // second monitor right of it with a panel of 24 at its top.
  const TRect small(0, 0, 1280, 770), right(1280, 24, 3200, 1080);
  const Case cases[] = {
      {"beyond the bottom right of a small screen", {small}, "x=1500\ny=900\nwidth=950\nheight=551\n",
       {330, 219, 1280, 770}},
      {"wider and taller than a small screen", {small}, "x=-300\ny=0\nwidth=5000\nheight=5000\n", {0, 0, 1280, 770}},
      {"kept on the second monitor", {small, right}, "x=1400\ny=100\nwidth=800\nheight=600\n",
       {1400, 100, 2200, 700}},
      {"mostly on the second monitor", {small, right}, "x=1000\ny=100\nwidth=800\nheight=600\n",
       {1280, 100, 2080, 700}},
      {"above the second monitor's panel", {small, right}, "x=2000\ny=0\nwidth=800\nheight=600\n",
       {2000, 24, 2800, 624}},
      {"mostly on the first monitor", {small, right}, "x=900\ny=300\nwidth=600\nheight=600\n", {680, 170, 1280, 770}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitializeSettings("P");
    GlobalVars.RibbonForm = false;
    WriteWholeFile(SettingsFilePath("P"), "[Form]\n" + c.form);
    FakeWindow w;
    w.monitors = c.monitors;
    LoadWindowPlacement("P", "Form", w);
    EXPECT_EQ(w.bounds, c.expected);
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
#include "platform/forms/forms.h"
#include "platform/win/user/user.h"
#include "platform/rtl/units.h"

namespace {

TEST(ApplicationUnits, ShutDownReleasesTheSettingsText) {
  // A registry of its own: the process's units stay up for the other tests.
  TUnitRegistry Registry;
  RegisterApplicationUnits(Registry);
  Screen->SetCursors(crHandPoint, LoadCursorA(nullptr, IDC_ARROW));
  Registry.Initialize();
  // Main's start-up: the hand-point cursor is the system's hand.
  EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursorA(nullptr, IDC_HAND));
  GlobalVars.OutputFolder = "/somewhere/";
  GlobalVars.Version = "1.0";
  Registry.Finalize();
  EXPECT_EQ(GlobalVars.OutputFolder, "");
  EXPECT_EQ(GlobalVars.Version, "");
}

}  // namespace
