#include "platform/rtl/inifiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

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
    rtl::detail::SetReplaceFileFaultHook(nullptr);
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
  size_t FilesInDir() { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }
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
  rtl::detail::SetReplaceFileFaultHook([](const AnsiString&) { return ENOSPC; });
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
  rtl::detail::SetReplaceFileFaultHook(nullptr);
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

}  // namespace
