#include "platform/rtl/inifiles.h"

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

namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  AnsiString dir, path;

  void SetUp() override {
    char tmpl[] = "/tmp/inifiles_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    path = dir + "/settings.ini";
  }
  void TearDown() override {
    rtl::testing::SetReplaceFileFaultHook(nullptr);
    fs::remove_all(dir);
  }
  void Put(const AnsiString& text, const AnsiString& file = "") {
    std::ofstream(file.empty() ? path : file, std::ios::binary) << text;
  }
  AnsiString Get(const AnsiString& file = "") {
    std::ifstream in(file.empty() ? path : file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::vector<AnsiString> Lines(TStrings& s) {
    std::vector<AnsiString> v;
    for (Integer i = 0; i < s.Count(); ++i) v.push_back(s[i]);
    return v;
  }
  // Files other than the writers' lock file, which stays by design.
  size_t FilesInDir() {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir))
      if (!e.path().filename().string().ends_with(".lock")) ++n;
    return n;
  }
};

const AnsiString kLong(3000, 'x');

// One file, read through both ini classes: the private-profile reader and
// the in-memory one differ on quotes, the length cut and "$" numbers.
const AnsiString kSample =
    "; a comment\r\n"
    "[Main]\r\n"
    "  Name  =  Some value  \r\n"
    "Quoted=\"  padded  \"\n"
    "Single='x'\r\n"
    "Unbalanced=\"x\r\n"
    "Hex=0x10\r\n"
    "Dollar=$10\r\n"
    "Bad=12abc\r\n"
    "Neg=-42\r\n"
    "True=1\r\n"
    "False=0\r\n"
    "Two=2\r\n"
    "Empty=\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    ";Hidden=1\r\n"
    "Long=" + kLong + "\r\n"
    "\r\n"
    "[other]\n"
    "Key=other value\n";

TEST_F(IniFileTest, ReadsValuesAsTheProfileFunctionsDo) {
  Put(kSample);
  TIniFile ini(path);
  TMemIniFile mem(path);
  struct Case {
    const char *section, *key;
    AnsiString ini, mem;
  };
  const Case cases[] = {
      {"Main", "Name", "Some value", "Some value"},
      {"MAIN", "name", "Some value", "Some value"},  // any case
      {"Main", "Quoted", "  padded  ", "\"  padded  \""},
      {"Main", "Single", "x", "'x'"},
      {"Main", "Unbalanced", "\"x", "\"x"},
      {"Main", "Empty", "", ""},
      {"Main", "Dup", "first", "first"},
      {"Main", "Hidden", "(default)", "(default)"},
      {"Main", "Long", AnsiString(2047, 'x'), kLong},
      {"Other", "KEY", "other value", "other value"},
      {"Main", "Missing", "(default)", "(default)"},
      {"Missing", "Name", "(default)", "(default)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadString(c.section, c.key, "(default)"), c.ini) << c.section << "/" << c.key;
    EXPECT_EQ(mem.ReadString(c.section, c.key, "(default)"), c.mem) << c.section << "/" << c.key;
  }
}

TEST_F(IniFileTest, ReadsIntegersAndBooleans) {
  Put(kSample);
  TIniFile ini(path);
  TMemIniFile mem(path);
  struct Case {
    const char* key;
    Integer ini, mem;
  };
  const Case ints[] = {{"Hex", 16, 16}, {"Dollar", -1, 16}, {"Bad", -1, -1}, {"Neg", -42, -42},
                       {"Empty", -1, -1}, {"Name", -1, -1}, {"Missing", -1, -1}};
  for (const Case& c : ints) {
    EXPECT_EQ(ini.ReadInteger("Main", c.key, -1), c.ini) << c.key;
    EXPECT_EQ(mem.ReadInteger("Main", c.key, -1), c.mem) << c.key;
  }
  struct BoolCase {
    const char* key;
    bool def, expected;
  };
  const BoolCase bools[] = {{"True", false, true}, {"False", true, false}, {"Two", false, true},
                            {"Name", true, true},  {"Name", false, false}, {"Missing", true, true}};
  for (const BoolCase& c : bools) {
    EXPECT_EQ(ini.ReadBool("Main", c.key, c.def), c.expected) << c.key;
    EXPECT_EQ(mem.ReadBool("Main", c.key, c.def), c.expected) << c.key;
  }
}

TEST_F(IniFileTest, DefaultLosesTrailingBlanksAndMissingFileGivesDefaults) {
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "K", " def  "), " def");
  EXPECT_EQ(ini.ReadInteger("S", "K", 5), 5);
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_FALSE(fs::exists(path));  // reading never creates the file
}

TEST_F(IniFileTest, WritesInPlaceKeepingCommentsWithCrLf) {
  Put("; settings\n[A]\nx=1\n\n[B]\ny=2\n");
  TIniFile ini(path);
  ini.WriteString("a", "X", "10");   // existing key, other case: replaced in place
  ini.WriteString("A", "z", "new");  // new key: after the section's last line
  ini.WriteInteger("C", "n", -5);    // new section at the end
  ini.WriteBool("C", "on", true);
  ini.WriteBool("C", "off", false);
  EXPECT_EQ(Get(),
            "; settings\r\n[A]\r\nx=10\r\nz=new\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nn=-5\r\non=1\r\noff=0\r\n");
}

TEST_F(IniFileTest, FirstWriteCreatesTheFile) {
  TIniFile ini(path);
  ini.WriteString("Form", "x", "12");
  EXPECT_EQ(Get(), "[Form]\r\nx=12\r\n");
}

TEST_F(IniFileTest, NoCacheBetweenInstancesOrAgainstOtherWriters) {
  TIniFile a(path), b(path);
  a.WriteString("S", "k", "one");
  EXPECT_EQ(b.ReadString("S", "k", ""), "one");
  Put("[S]\r\nk=changed outside\r\n");
  EXPECT_EQ(a.ReadString("S", "k", ""), "changed outside");
}

TEST_F(IniFileTest, SectionsKeysAndDeletion) {
  Put(kSample);
  TIniFile ini(path);
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (std::vector<AnsiString>{"Main", "other"}));
  ini.ReadSection("other", &list);
  EXPECT_EQ(Lines(list), std::vector<AnsiString>{"Key"});
  ini.ReadSectionValues("Other", &list);
  EXPECT_EQ(Lines(list), std::vector<AnsiString>{"Key=other value"});
  EXPECT_TRUE(ini.SectionExists("OTHER"));
  EXPECT_TRUE(ini.ValueExists("main", "quoted"));
  EXPECT_FALSE(ini.ValueExists("main", "Hidden"));

  ini.DeleteKey("Main", "dup");  // every copy: the second must not show up
  EXPECT_EQ(ini.ReadString("Main", "Dup", "gone"), "gone");
  ini.EraseSection("main");
  EXPECT_FALSE(ini.SectionExists("Main"));
  EXPECT_EQ(ini.ReadString("other", "Key", ""), "other value");
  EXPECT_EQ(Get(), "; a comment\r\n[other]\r\nKey=other value\r\n");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileIntact) {
  const AnsiString before = "[S]\r\nk=old\r\n";
  Put(before);
  rtl::testing::SetReplaceFileFaultHook([](const AnsiString&) { return ENOSPC; });
  TIniFile ini(path);
  try {
    ini.WriteString("S", "k", "new");
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + path);
  }
  TMemIniFile mem(path);
  mem.WriteString("S", "k", "new");
  EXPECT_THROW(mem.UpdateFile(), EIniFileException);
  EXPECT_EQ(Get(), before);
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
  rtl::testing::SetReplaceFileFaultHook(nullptr);
  mem.UpdateFile();
  EXPECT_EQ(ini.ReadString("S", "k", ""), "new");
}

TEST_F(IniFileTest, WriteIntoAMissingFolderRaisesAndCreatesNoFolder) {
  const AnsiString file = dir + "/missing/settings.ini";
  TIniFile ini(file);
  try {
    ini.WriteBool("System", "AutoUpdate", true);
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + file);
  }
  EXPECT_FALSE(fs::exists(dir + "/missing"));
}

TEST_F(IniFileTest, RefusesTextThatWouldChangeTheFilesStructure) {
  Put("[S]\r\nk=old\r\n");
  TIniFile ini(path);
  const std::pair<const char*, const char*> bad[] = {{"k", "a\r\n[Injected]"}, {"a=b", "v"}, {"", "v"}};
  for (const auto& [key, value] : bad) EXPECT_THROW(ini.WriteString("S", key, value), EIniFileException) << key;
  EXPECT_EQ(Get(), "[S]\r\nk=old\r\n");
}

TEST_F(IniFileTest, ReplacingKeepsPermissionsAndFollowsLinks) {
  const AnsiString real = dir + "/real.ini", link = dir + "/link.ini";
  Put("[S]\r\n", real);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  TIniFile(link).WriteString("S", "k", "v");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(real), "[S]\r\nk=v\r\n");
  struct stat st;
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(IniFileTest, MemIniFileLoadsEditsAndWritesBack) {
  Put(kSample);
  TMemIniFile mem(path);
  TStringList list;
  mem.ReadSection("Main", &list);
  EXPECT_EQ(list.Count(), 15);  // the comment is not a key; both Dup lines are
  mem.WriteString("main", "Name", "changed");
  mem.WriteInteger("New", "n", 7);
  mem.DeleteKey("Main", "Long");
  mem.EraseSection("other");
  EXPECT_EQ(mem.ReadString("Main", "Name", ""), "changed");
  mem.SetCaseSensitive(true);
  EXPECT_EQ(mem.ReadString("main", "Name", "none"), "none");
  mem.SetCaseSensitive(false);

  mem.Rename(dir + "/copy.ini", false);
  mem.UpdateFile();
  TMemIniFile copy(dir + "/copy.ini");
  EXPECT_EQ(copy.ReadString("MAIN", "name", ""), "changed");
  EXPECT_EQ(copy.ReadInteger("New", "n", 0), 7);
  EXPECT_FALSE(copy.SectionExists("other"));
  EXPECT_TRUE(Get(dir + "/copy.ini").starts_with("[Main]\r\nName=changed\r\nQuoted=\""));

  copy.Rename(path, true);  // back to the original content
  EXPECT_EQ(copy.ReadString("Main", "Name", ""), "Some value");
  copy.Clear();
  EXPECT_FALSE(copy.SectionExists("Main"));
}

TEST_F(IniFileTest, MemIniFileStringsRoundTrip) {
  TStringList in;
  in.SetText("[A]\n k = v \n; note\n\nflag\n[B]\nx=1\n[a]\nk=later\ny=2\n");
  TMemIniFile mem("");
  mem.SetStrings(&in);
  EXPECT_EQ(mem.ReadString("A", "k", ""), "v");  // the first of a repeated key
  EXPECT_EQ(mem.ReadString("A", "y", ""), "2");  // a repeated section joins the first
  TStringList out;
  mem.GetStrings(&out);
  EXPECT_EQ(Lines(out), (std::vector<AnsiString>{"[A]", "k=v", "flag", "k=later", "y=2", "", "[B]", "x=1", ""}));
  mem.UpdateFile();  // no file name: nothing written
  EXPECT_EQ(FilesInDir(), 0u);
}

TEST_F(IniFileTest, BinaryStreamsAsHexText) {
  TIniFile ini(path);
  const Byte data[] = {0x00, 0x01, 0xAB, 0xFF};
  TMemoryStream in;
  in.WriteBuffer(data, sizeof data);
  in.SetPosition(0);
  ini.WriteBinaryStream("S", "Bin", &in);
  EXPECT_EQ(ini.ReadString("S", "Bin", ""), "0001ABFF");
  TMemoryStream out;
  EXPECT_EQ(ini.ReadBinaryStream("S", "Bin", &out), 4);
  ASSERT_EQ(out.Size(), 4);
  EXPECT_EQ(std::memcmp(out.Memory(), data, 4), 0);
  EXPECT_EQ(ini.ReadBinaryStream("S", "Missing", &out), 0);
}

TEST_F(IniFileTest, FloatsAndDates) {
  TIniFile ini(path);
  ini.WriteFloat("S", "f", 1.5);
  EXPECT_EQ(ini.ReadFloat("S", "f", 0), 1.5);
  ini.WriteString("S", "bad", "abc");
  EXPECT_EQ(ini.ReadFloat("S", "bad", 2.5), 2.5);
  ini.WriteDate("S", "d", 45000);
  EXPECT_EQ(ini.ReadDate("S", "d", 0), 45000);
  ini.WriteDateTime("S", "dt", 45000.5);
  EXPECT_EQ(ini.ReadDateTime("S", "dt", 0), 45000.5);
  EXPECT_EQ(ini.ReadDateTime("S", "bad", 1), 1);
}

TEST_F(IniFileTest, ReadsLinesEndedByCrLfOrCrAlone) {
  Put("[S]\ra=1\rb= two \r\n[T]\nc=3\r");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "a", ""), "1");
  EXPECT_EQ(ini.ReadString("S", "b", ""), "two");
  EXPECT_EQ(ini.ReadString("T", "c", ""), "3");
  TStringList keys;
  ini.ReadSection("S", &keys);
  EXPECT_EQ(Lines(keys), (std::vector<AnsiString>{"a", "b"}));
  // A write keeps every value, and the file then ends its lines in CR LF.
  ini.WriteString("S", "d", "4");
  EXPECT_EQ(Get(), "[S]\r\na=1\r\nb= two \r\nd=4\r\n[T]\r\nc=3\r\n");
  EXPECT_EQ(TMemIniFile(path).ReadString("S", "a", ""), "1");
}

TEST_F(IniFileTest, EveryValueWrittenReadsBackExactly) {
  TIniFile ini(path);
  const AnsiString values[] = {"",
                               "plain",
                               "  leading and trailing  ",
                               " ",
                               "\ttab\t",
                               "\"quoted\"",
                               "'single'",
                               "\"\"",
                               "''",
                               "\"",
                               "\"half",
                               "'mixed\"",
                               "\"x\" ",
                               "say \"hi\"",
                               "a=b",
                               "; not a comment",
                               "[not a section]",
                               "/home/user/My Documents/",
                               AnsiString(2047, 'p'),
                               AnsiString(2045, 'u') + "\xC3\xA4"};  // 2047 bytes ending in a whole character
  int n = 0;
  for (const AnsiString& v : values) ini.WriteString("S", "k" + std::to_string(n++), v);
  n = 0;
  for (const AnsiString& v : values) EXPECT_EQ(ini.ReadString("S", "k" + std::to_string(n++), "(default)"), v) << n;
  // Only values a bare read would change are quoted.
  const AnsiString text = Get();
  EXPECT_NE(text.find("k1=plain\r\n"), AnsiString::npos);
  EXPECT_NE(text.find("k2=\"  leading and trailing  \"\r\n"), AnsiString::npos);
  EXPECT_NE(text.find("k5=\"\"quoted\"\"\r\n"), AnsiString::npos);
  EXPECT_NE(text.find("k9=\"\r\n"), AnsiString::npos);
  EXPECT_NE(text.find("k13=say \"hi\"\r\n"), AnsiString::npos);
  // Replacing a value quotes it the same way.
  ini.WriteString("S", "k1", " now padded ");
  EXPECT_EQ(ini.ReadString("S", "k1", ""), " now padded ");
}

TEST_F(IniFileTest, AValueTheFileCannotHoldIsRefusedByName) {
  const AnsiString before = "[S]\r\nk=old\r\n";
  Put(before);
  TIniFile ini(path);
  struct Case {
    const char* key;
    AnsiString value, message;
  };
  const Case cases[] = {
      {"k", "line\nbreak", "The value of \"k\" cannot be stored in " + path + ": it holds a line break."},
      {"k", "carriage\rreturn", "The value of \"k\" cannot be stored in " + path + ": it holds a line break."},
      {"k", AnsiString("nul\0byte", 8), "The value of \"k\" cannot be stored in " + path + ": it holds a NUL byte."},
      {"k", AnsiString(2048, 'x'), "The value of \"k\" cannot be stored in " + path + ": it is longer than 2047 bytes."},
      {"a=b", "v", "The key \"a=b\" cannot be stored in " + path + ": it holds \"=\"."},
      {" ", "v", "The key \" \" cannot be stored in " + path + ": it is empty."},
      {";k", "v", "The key \";k\" cannot be stored in " + path + ": it starts with \";\"."},
      {"[k", "v", "The key \"[k\" cannot be stored in " + path + ": it starts with \"[\"."},
  };
  for (const Case& c : cases) {
    try {
      ini.WriteString("S", c.key, c.value);
      ADD_FAILURE() << "no exception for " << c.key;
    } catch (const EIniValueError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_THROW(ini.WriteString("S\nT", "k", "v"), EIniValueError);
  EXPECT_EQ(Get(), before);
}

TEST_F(IniFileTest, AFifoADeviceOrAnOversizedFileIsReportedAndKept) {
  struct Guard {
    Guard() { alarm(20); }  // a blocking open ends the program, not the run
    ~Guard() { alarm(0); }
  } guard;
  const AnsiString fifo = dir + "/fifo.ini", zero = dir + "/zero.ini", big = dir + "/big.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  Put("[S]\r\nk=" + AnsiString(MaxSettingsFileSize, 'x') + "\r\n", big);
  const std::pair<AnsiString, AnsiString> cases[] = {
      {fifo, "It is not a regular file."}, {zero, "It is not a regular file."}, {big, "It is larger than 4 MB."}};
  for (const auto& [file, why] : cases) {
    const AnsiString message = "Unable to read " + file + ". " + why;
    TIniFile ini(file);
    for (auto op : {+[](TIniFile& i) { i.ReadString("S", "k", ""); }, +[](TIniFile& i) { i.WriteString("S", "k", "v"); },
                    +[](TIniFile& i) { i.EraseSection("S"); }}) {
      try {
        op(ini);
        ADD_FAILURE() << "no exception for " << file;
      } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), message);
      }
    }
    try {
      TMemIniFile mem(file);
      ADD_FAILURE() << "no exception for " << file;
    } catch (const EIniFileException& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(zero));
  EXPECT_EQ(fs::file_size(big), static_cast<uintmax_t>(MaxSettingsFileSize + 9));
  EXPECT_FALSE(fs::exists("/dev/zero.lock"));
}

TEST_F(IniFileTest, TwoProcessesWritingTheSameFileLoseNothing) {
  constexpr int kProcesses = 2, kKeys = 300;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    if (pid == 0) {
      int rc = 0;
      try {
        TIniFile ini(path);
        for (int i = 0; i < kKeys; ++i) ini.WriteInteger("Shared", "P" + std::to_string(p) + "K" + std::to_string(i), i);
      } catch (...) {
        rc = 1;
      }
      _exit(rc);
    }
    children.push_back(pid);
  }
  for (pid_t c : children) {
    int status = 0;
    waitpid(c, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  TIniFile ini(path);
  TStringList keys;
  ini.ReadSection("Shared", &keys);
  EXPECT_EQ(keys.Count(), kProcesses * kKeys);
  for (int p = 0; p < kProcesses; ++p)
    for (int i = 0; i < kKeys; i += 37) EXPECT_EQ(ini.ReadInteger("Shared", "P" + std::to_string(p) + "K" + std::to_string(i), -1), i);
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left
}

}  // namespace
