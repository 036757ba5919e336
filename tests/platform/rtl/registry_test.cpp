#include "platform/rtl/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/testing/fault_hooks.h"
#include "tests/common/hang_guard.h"

namespace {

namespace fs = std::filesystem;

// Points the application-data folder at a fresh temporary folder.
class RegistryTest : public ::testing::Test {
 protected:
  AnsiString dir, savedXdg;
  bool hadXdg = false;

  void SetUp() override {
    char tmpl[] = "/tmp/registry_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    if (const char* x = getenv("XDG_CONFIG_HOME")) {
      hadXdg = true;
      savedXdg = x;
    }
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  }
  void TearDown() override {
    rtl::testing::SetReplaceFileFaultHook(nullptr);
    rtl::detail::FlushRegistry();
    if (hadXdg)
      setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(dir);
  }
  static AnsiString File() { return rtl::detail::RegistryFileName(); }
  static AnsiString FileText() {
    std::ifstream in(File(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // Stands for another process replacing the file.
  static void ReplaceFileText(const AnsiString& text) { ASSERT_TRUE(ReplaceWholeFile(File(), text)); }
  static std::vector<AnsiString> Lines(TStrings& s) {
    std::vector<AnsiString> v;
    for (Integer i = 0; i < s.Count(); ++i) v.push_back(s[i]);
    return v;
  }
  template <class E>
  static AnsiString MessageOf(E&& f) {
    try {
      f();
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return "(no exception)";
  }
  // Runs body in a child process; returns its exit status.
  template <class F>
  static pid_t Spawn(F body) {
    pid_t pid = fork();
    if (pid == 0) {
      int rc = 1;
      try {
        rc = body() ? 0 : 1;
      } catch (...) {
      }
      _exit(rc);
    }
    return pid;
  }
  static int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(RegistryTest, ValuesOfEachTypeRoundTripThroughTheFile) {
  const Byte bin[] = {1, 2, 0xFF};
  {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Test");
    EXPECT_NE(reg.CurrentKey(), nullptr);
    reg.WriteString("Str", "a \"quoted\" \\ path");
    reg.WriteString("", "default");
    reg.WriteInteger("Int", 10);
    reg.WriteBool("Bool", true);
    reg.WriteBinaryData("Bin", bin, sizeof bin);
    reg.WriteExpandString("Exp", "%H");
    reg.WriteFloat("Float", 2.5);
    reg.WriteString("Multi", "line\r\nbreak");
    EXPECT_FALSE(fs::exists(File()));  // lazily written
  }
  EXPECT_EQ(FileText(),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
            "\"Str\"=\"a \\\"quoted\\\" \\\\ path\"\r\n"
            "@=\"default\"\r\n"
            "\"Int\"=dword:0000000a\r\n"
            "\"Bool\"=dword:00000001\r\n"
            "\"Bin\"=hex:01,02,ff\r\n"
            "\"Exp\"=hex(2):25,48,00\r\n"
            "\"Float\"=hex:00,00,00,00,00,00,04,40\r\n"
            "\"Multi\"=hex(1):6c,69,6e,65,0d,0a,62,72,65,61,6b,00\r\n\r\n");

  // Read back from the file as another process wrote it.
  ReplaceFileText(FileText() + "; added elsewhere\r\n[HKEY_CURRENT_USER\\Software\\Test]\r\n\"Extra\"=dword:ffffffff\r\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Test"));
  EXPECT_EQ(reg.ReadString("Str"), "a \"quoted\" \\ path");
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadInteger("Int"), 10);
  EXPECT_EQ(reg.ReadInteger("Extra"), -1);
  EXPECT_TRUE(reg.ReadBool("Bool"));
  EXPECT_EQ(reg.ReadString("Exp"), "%H");
  EXPECT_EQ(reg.ReadFloat("Float"), 2.5);
  EXPECT_EQ(reg.ReadString("Multi"), "line\r\nbreak");
  Byte out[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("Bin", out, sizeof out), 3);
  EXPECT_EQ(std::memcmp(out, bin, 3), 0);

  struct Case {
    const char* name;
    TRegDataType type;
    Integer size;
  };
  const Case cases[] = {{"Str", rdString, 18},     {"", rdString, 8},       {"Int", rdInteger, 4},
                        {"Bin", rdBinary, 3},      {"Exp", rdExpandString, 3}, {"Float", rdBinary, 8},
                        {"Missing", rdUnknown, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(reg.GetDataType(c.name), c.type) << c.name;
    EXPECT_EQ(reg.GetDataSize(c.name), c.size) << c.name;
  }
  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<AnsiString>{"Str", "", "Int", "Bool", "Bin", "Exp", "Float", "Multi", "Extra"}));
}

TEST_F(RegistryTest, ErrorsCarryTheValueName) {
  TRegistry reg;
  EXPECT_EQ(MessageOf([&] { reg.WriteString("X", "v"); }), "Failed to set data for 'X'");  // no key open
  ASSERT_TRUE(reg.OpenKey("Software\\Errors", true));
  reg.WriteString("Str", "ab");
  reg.WriteString("Long", "a longer text");
  reg.WriteInteger("Int", 1);
  const Byte big[16] = {};
  reg.WriteBinaryData("Big", big, sizeof big);
  struct Case {
    std::function<void()> call;
    const char* message;
  };
  Byte small[4];
  const Case cases[] = {
      {[&] { reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
      {[&] { reg.ReadInteger("Str"); }, "Invalid data type for 'Str'"},
      {[&] { reg.ReadInteger("Long"); }, "Failed to get data for 'Long'"},
      {[&] { reg.ReadString("Int"); }, "Invalid data type for 'Int'"},
      {[&] { reg.ReadFloat("Int"); }, "Invalid data type for 'Int'"},
      {[&] { reg.ReadBinaryData("Big", small, sizeof small); }, "Invalid data type for 'Big'"},
      {[&] { reg.ReadBinaryData("Str", small, sizeof small); }, "Invalid data type for 'Str'"},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageOf(c.call), c.message);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadBinaryData("Missing", small, sizeof small), 0);

  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Errors"));
  EXPECT_EQ(MessageOf([&] { reg.WriteInteger("Int", 2); }), "Failed to set data for 'Int'");
  EXPECT_FALSE(reg.DeleteValue("Int"));
  EXPECT_EQ(reg.ReadInteger("Int"), 1);
}

TEST_F(RegistryTest, KeyPathsAndCase) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("Software\\Missing", false));
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_TRUE(reg.CreateKey("Software\\MyApp\\Sub"));
  EXPECT_EQ(reg.CurrentKey(), nullptr);  // CreateKey does not open
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\myapp", false));
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\myapp");
  EXPECT_TRUE(reg.HasSubKeys());
  ASSERT_TRUE(reg.OpenKey("sub", false));  // relative to the open key
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\myapp\\sub");
  reg.WriteInteger("Value", 5);
  EXPECT_TRUE(reg.ValueExists("VALUE"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\MyApp"));  // absolute from the root
  EXPECT_FALSE(reg.KeyExists("Software\\MyApp"));   // relative: under sub
  EXPECT_FALSE(reg.OpenKey("a\\\\b", true));        // empty name inside the path

  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  TStringList names;
  reg.CreateKey("beta");
  reg.CreateKey("Alpha");
  reg.GetKeyNames(&names);
  // Kept case, sorted; Microsoft holds the shell folders.
  EXPECT_EQ(Lines(names), (std::vector<AnsiString>{"Alpha", "beta", "Microsoft", "MyApp"}));

  reg.SetRootKey(HKEY_LOCAL_MACHINE);  // another root closes the key
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_FALSE(reg.KeyExists("Software\\MyApp"));
}

TEST_F(RegistryTest, DeleteKeyIsRecursive) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Tree\\A\\B\\C", true));
  reg.WriteString("Deep", "x");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Tree\\Keep", true));
  reg.WriteString("Stay", "y");
  reg.CloseKey();
  EXPECT_FALSE(reg.DeleteKey("\\"));  // never the root
  EXPECT_TRUE(reg.DeleteKey("Software\\Tree\\a"));
  EXPECT_FALSE(reg.DeleteKey("Software\\Tree\\A"));
  EXPECT_FALSE(reg.KeyExists("Software\\Tree\\A\\B\\C"));
  EXPECT_TRUE(reg.KeyExists("Software\\Tree\\Keep"));
  rtl::detail::FlushRegistry();
  EXPECT_EQ(FileText().find("Tree\\A"), AnsiString::npos);
  EXPECT_NE(FileText().find("\"Stay\"=\"y\""), AnsiString::npos);
}

TEST_F(RegistryTest, AnOpenKeyDeletedElsewhereRefusesWrites) {
  TRegistry a, b;
  ASSERT_TRUE(a.OpenKey("Software\\Gone", true));
  EXPECT_TRUE(b.DeleteKey("Software\\Gone"));
  EXPECT_EQ(MessageOf([&] { a.WriteString("v", "x"); }), "Failed to set data for 'v'");
  EXPECT_FALSE(b.KeyExists("Software\\Gone"));
}

TEST_F(RegistryTest, MoveKeyCopiesTheTree) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Old\\Sub", true));
  reg.WriteInteger("n", 3);
  reg.CloseKey();
  reg.MoveKey("Software\\Old", "Software\\New", true);
  EXPECT_FALSE(reg.KeyExists("Software\\Old"));
  ASSERT_TRUE(reg.OpenKey("Software\\New\\Sub", false));
  EXPECT_EQ(reg.ReadInteger("n"), 3);
}

TEST_F(RegistryTest, ReadsAgainWhenAnotherProcessChangedTheFile) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Fresh", true));
  reg.WriteString("v", "mine");
  rtl::detail::FlushRegistry();
  ReplaceFileText(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fresh]\r\n\"v\"=\"theirs\"\r\n"
      "\"long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,\\\r\n"
      "  19,1a\r\n"
      "\"gone\"=-\r\n[-HKEY_CURRENT_USER\\Software\\Other]\r\n");
  EXPECT_EQ(reg.ReadString("v"), "theirs");
  EXPECT_EQ(reg.GetDataSize("long"), 27);
}

TEST_F(RegistryTest, LazyWriteDecidesWhenCloseKeyWrites) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Lazy", true));
  reg.WriteInteger("a", 1);
  reg.CloseKey();
  EXPECT_FALSE(fs::exists(File()));
  reg.SetLazyWrite(false);
  ASSERT_TRUE(reg.OpenKey("Software\\Lazy", false));
  reg.WriteInteger("b", 2);
  reg.CloseKey();
  EXPECT_NE(FileText().find("\"b\"=dword:00000002"), AnsiString::npos);
}

TEST_F(RegistryTest, FailedWriteKeepsTheOldFileAndTheChanges) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Safe", true));
  reg.WriteString("v", "old");
  ASSERT_TRUE(rtl::detail::FlushRegistry());
  const AnsiString before = FileText();
  reg.WriteString("v", "new");
  rtl::testing::SetReplaceFileFaultHook([](const AnsiString&) { return ENOSPC; });
  EXPECT_FALSE(rtl::detail::FlushRegistry());
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(reg.ReadString("v"), "new");
  rtl::testing::SetReplaceFileFaultHook(nullptr);
  EXPECT_TRUE(rtl::detail::FlushRegistry());
  EXPECT_NE(FileText().find("\"v\"=\"new\""), AnsiString::npos);
}

TEST_F(RegistryTest, AStoreThatIsNotAReadableRegularFileIsNeitherReadNorReplaced) {
  alarm(30);  // a blocking open ends the program, not the run
  fs::create_directories(fs::path(File()).parent_path());
  ASSERT_EQ(mkfifo(File().c_str(), 0600), 0);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Kept", true));  // held in memory
    reg.WriteString("v", "pending");
    EXPECT_EQ(reg.ReadString("v"), "pending");
  }
  EXPECT_FALSE(rtl::detail::FlushRegistry());
  EXPECT_TRUE(fs::is_fifo(File()));
  alarm(0);
  // Once a regular file can be written, the changes kept meanwhile go in.
  fs::remove(File());
  ASSERT_TRUE(rtl::detail::FlushRegistry());
  EXPECT_NE(FileText().find("\"v\"=\"pending\""), AnsiString::npos);
}

TEST_F(RegistryTest, ShellFoldersAnswerTheUsersFoldersWithoutStoringThem) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
  EXPECT_EQ(reg.ReadString("AppData"), dir);
  EXPECT_FALSE(reg.ReadString("Personal").empty());
  ASSERT_TRUE(reg.OpenKey("\\Software\\Other", true));
  reg.WriteInteger("x", 1);
  ASSERT_TRUE(rtl::detail::FlushRegistry());
  EXPECT_EQ(FileText(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"x\"=dword:00000001\r\n\r\n");
}

TEST_F(RegistryTest, TwoProcessesWritingInTurnKeepEachOthersKeys) {
  // The child starts before the parent changes anything, so it carries none
  // of the parent's pending changes.
  int go[2], done[2];
  ASSERT_EQ(pipe(go), 0);
  ASSERT_EQ(pipe(done), 0);
  pid_t child = Spawn([&] {
    char c;
    if (read(go[0], &c, 1) != 1) return false;
    {
      TRegistry reg;
      if (!reg.OpenKey("\\Software\\Shared\\Child", true)) return false;
      reg.WriteString("From", "child");
    }
    return write(done[1], "x", 1) == 1;
  });
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Shared\\Parent", true));
  reg.WriteString("From", "parent");  // pending in this process
  ASSERT_EQ(write(go[1], "x", 1), 1);
  char c;
  ASSERT_EQ(read(done[0], &c, 1), 1);
  EXPECT_EQ(Wait(child), 0);
  ASSERT_TRUE(rtl::detail::FlushRegistry());  // merges onto the child's file
  for (int fd : {go[0], go[1], done[0], done[1]}) close(fd);

  TStringList names;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Shared", false));
  reg.GetKeyNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<AnsiString>{"Child", "Parent"}));
  EXPECT_NE(FileText().find("[HKEY_CURRENT_USER\\Software\\Shared\\Child]\r\n\"From\"=\"child\""), AnsiString::npos);
  EXPECT_NE(FileText().find("[HKEY_CURRENT_USER\\Software\\Shared\\Parent]\r\n\"From\"=\"parent\""), AnsiString::npos);
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
  constexpr int kProcesses = 4, kWrites = 15;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p)
    children.push_back(Spawn([p] {
      for (int i = 0; i < kWrites; ++i) {
        TRegistry reg;  // each one writes the file when destroyed
        if (!reg.OpenKey("\\Software\\Many\\P" + std::to_string(p), true)) return false;
        reg.WriteInteger("V" + std::to_string(i), i);
      }
      return true;
    }));
  for (pid_t c : children) EXPECT_EQ(Wait(c), 0);
  TRegistry reg;
  for (int p = 0; p < kProcesses; ++p) {
    ASSERT_TRUE(reg.OpenKey("\\Software\\Many\\P" + std::to_string(p), false)) << p;
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(names.Count(), kWrites) << p;
  }
}

TEST_F(RegistryTest, RegistryIniFileMapsSectionsToSubkeys) {
  const Byte data[] = {7, 8, 9};
  {
    TRegistryIniFile ini("\\Software\\Zelvo\\");
    ini.WriteString("Items", "Name", "text");
    ini.WriteInteger("Bar0", "DockingStyle", 3);
    ini.WriteBool("Bar0", "Visible", true);
    ini.WriteFloat("Bar0", "Ratio", 0.25);
    TMemoryStream in;
    in.WriteBuffer(data, sizeof data);
    in.SetPosition(0);
    ini.WriteBinaryStream("Bar0\\ItemLink0", "UserDefine", &in);
    ini.WriteString("\\Software\\Zelvo\\Bar1", "Caption", "absolute");
    ini.WriteString("Items", "Count", "12");
    ini.WriteInteger("Items", "Count", 13);  // a string stays a string

    TRegistry* reg = ini.RegIniFile();
    ASSERT_TRUE(reg->OpenKey("\\Software\\Zelvo\\Bar0", false));
    EXPECT_EQ(reg->GetDataType("DockingStyle"), rdInteger);
    EXPECT_EQ(reg->GetDataType("Visible"), rdString);
    EXPECT_EQ(reg->GetDataType("Ratio"), rdBinary);
    ASSERT_TRUE(reg->OpenKey("\\Software\\Zelvo", false));
  }
  TRegistryIniFile ini("Software\\Zelvo");
  EXPECT_EQ(ini.ReadString("items", "NAME", ""), "text");
  EXPECT_EQ(ini.ReadInteger("Bar0", "DockingStyle", 0), 3);
  EXPECT_EQ(ini.ReadInteger("Items", "Count", 0), 13);
  EXPECT_EQ(ini.ReadInteger("Items", "Name", -1), -1);
  EXPECT_TRUE(ini.ReadBool("Bar0", "Visible", false));
  EXPECT_EQ(ini.ReadFloat("Bar0", "Ratio", 0), 0.25);
  EXPECT_EQ(ini.ReadString("Bar1", "Caption", ""), "absolute");
  EXPECT_EQ(ini.ReadString("Missing", "Caption", "def"), "def");
  TMemoryStream out;
  EXPECT_EQ(ini.ReadBinaryStream("Bar0\\ItemLink0", "UserDefine", &out), 3);

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (std::vector<AnsiString>{"Bar0", "Bar1", "Items"}));
  ini.ReadSectionValues("Bar0", &list);
  EXPECT_EQ(Lines(list), (std::vector<AnsiString>{"DockingStyle=3", "Visible=1", "Ratio=000000000000D03F"}));
  EXPECT_TRUE(ini.SectionExists("Bar0"));
  EXPECT_TRUE(ini.ValueExists("Bar0", "visible"));
  ini.DeleteKey("Bar0", "Visible");
  EXPECT_FALSE(ini.ValueExists("Bar0", "Visible"));
  ini.EraseSection("Bar0");
  EXPECT_FALSE(ini.SectionExists("Bar0"));
  EXPECT_FALSE(ini.RegIniFile()->KeyExists("\\Software\\Zelvo\\Bar0\\ItemLink0"));
  ini.UpdateFile();
  EXPECT_EQ(FileText().find("Bar0"), AnsiString::npos);
}

// ---- Saves that fail ------------------------------------------------------------

// Ways the store's file cannot be written; Undo makes it writable again.
struct TSaveFailure {
  const char* Name;
  void (*Make)(const AnsiString& dir);
  void (*Undo)(const AnsiString& dir);
  const char* Reason;
};

const TSaveFailure kSaveFailures[] = {
    {"the folder's parent is a regular file",
     [](const AnsiString& dir) {
       std::ofstream(dir + "/plain") << "x";
       setenv("XDG_CONFIG_HOME", (dir + "/plain").c_str(), 1);
     },
     [](const AnsiString& dir) { setenv("XDG_CONFIG_HOME", dir.c_str(), 1); }, "The file exists."},
    {"the store is a FIFO",
     [](const AnsiString&) {
       fs::create_directories(fs::path(rtl::detail::RegistryFileName()).parent_path());
       fs::remove(rtl::detail::RegistryFileName());
       ASSERT_EQ(mkfifo(rtl::detail::RegistryFileName().c_str(), 0600), 0);
     },
     [](const AnsiString&) { fs::remove(rtl::detail::RegistryFileName()); }, "It is not a regular file."},
    {"the disk is full", [](const AnsiString&) { rtl::testing::SetReplaceFileFaultHook([](const AnsiString&) { return ENOSPC; }); },
     [](const AnsiString&) { rtl::testing::SetReplaceFileFaultHook(nullptr); }, "There is not enough space on the disk."},
};

TEST_F(RegistryTest, AnExplicitSaveThatFailsRaisesWithTheFileAndTheReason) {
  HangGuard guard(30);
  for (const TSaveFailure& f : kSaveFailures) {
    SCOPED_TRACE(f.Name);
    f.Make(dir);
    const AnsiString expected = "Unable to write to " + File() + ". " + f.Reason;
    {
      TRegistryIniFile ini("\\Software\\Saved");
      ini.WriteString("S", "ini", "1");
      EXPECT_EQ(MessageOf([&] { ini.UpdateFile(); }), expected);

      TRegistry reg;
      reg.SetLazyWrite(false);
      ASSERT_TRUE(reg.OpenKey("\\Software\\Saved", true));
      reg.WriteString("closed", "1");
      EXPECT_EQ(MessageOf([&] { reg.CloseKey(); }), expected);
      EXPECT_EQ(reg.CurrentKey(), nullptr);
      f.Undo(dir);
      // The changes were kept: the next save writes them all.
      ini.UpdateFile();
    }
    EXPECT_NE(FileText().find("\"closed\"=\"1\""), AnsiString::npos);
    EXPECT_NE(FileText().find("\"ini\"=\"1\""), AnsiString::npos);
    fs::remove_all(fs::path(File()).parent_path());
  }
}

TEST_F(RegistryTest, ASaveThatFailsOnDestructionIsWrittenToStandardErrorOnce) {
  for (const TSaveFailure& f : kSaveFailures) {
    SCOPED_TRACE(f.Name);
    HangGuard guard(30);
    f.Make(dir);
    const AnsiString message = "The registry changes were not saved. Unable to write to " + File() + ". " + f.Reason + "\n";
    auto writeAndClose = [](const char* name) {
      TRegistry reg;
      ASSERT_TRUE(reg.OpenKey("\\Software\\Closed", true));
      reg.WriteString(name, "1");
    };
    testing::internal::CaptureStderr();
    writeAndClose("a");
    writeAndClose("b");  // the same failure again: not repeated
    EXPECT_EQ(testing::internal::GetCapturedStderr(), message);

    f.Undo(dir);
    testing::internal::CaptureStderr();
    writeAndClose("c");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(FileText().find("\"a\"=\"1\""), AnsiString::npos);
    EXPECT_NE(FileText().find("\"c\"=\"1\""), AnsiString::npos);

    // After a save that succeeded, the next failure is news again.
    f.Make(dir);
    testing::internal::CaptureStderr();
    writeAndClose("d");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
    f.Undo(dir);
    ASSERT_TRUE(rtl::detail::FlushRegistry());
    fs::remove_all(fs::path(File()).parent_path());
  }
}

TEST_F(RegistryTest, ChangesThatCannotBeSavedAtExitAreWrittenToStandardErrorOnce) {
  HangGuard guard(30);
  kSaveFailures[0].Make(dir);
  const AnsiString message = "The registry changes were not saved. Unable to write to " + File() + ". " + kSaveFailures[0].Reason + "\n";
  // Pending changes of a registry still alive at exit, and of one whose
  // destruction already reported the failure.
  for (bool destroyed : {false, true}) {
    SCOPED_TRACE(destroyed ? "destroyed before the exit" : "alive at the exit");
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(out[1], 2);
      close(out[0]);
      close(out[1]);
      auto* reg = new TRegistry;
      if (!reg->OpenKey("\\Software\\AtExit", true)) _exit(2);
      reg->WriteString("v", "1");
      if (destroyed) delete reg;
      std::exit(0);
    }
    close(out[1]);
    AnsiString text;
    char buf[512];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(out[0]);
    EXPECT_EQ(Wait(pid), 0);
    EXPECT_EQ(text, message);
  }
  kSaveFailures[0].Undo(dir);
}

}  // namespace
