#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const TStrings& s) {
  Lines r;
  for (const AnsiString& line : s) r.push_back(line);
  return r;
}

void Fill(TStrings& s, const Lines& lines) {
  for (const auto& l : lines) s.Add(l);
}

template <class E>
std::string MessageOf(const std::function<void()>& op) {
  try {
    op();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no exception)";
}

class Counted : public TObject {
 public:
  int* destroyed;
  explicit Counted(int* d) : destroyed(d) {}
  ~Counted() override { ++*destroyed; }
};

// ---- Text, streams and files -----------------------------------------------

TEST(StringsText, LineBreaksAndNul) {
  struct Case {
    std::string text;
    Lines expected;
  };
  const Case cases[] = {
      {std::string("a\r\nb\nc\rd\0e", 10), {"a", "b", "c", "d"}},
      {"one\n", {"one"}},
      {"one", {"one"}},
      {"", {}},
      {"\n", {""}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR is two breaks
      {"a\r\rb\r", {"a", "", "b"}},
      {" x \t\n", {" x \t"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(LinesOf(list), c.expected) << testing::PrintToString(c.text);
    TStringList fromStream;
    TStringStream stream(c.text);
    fromStream.LoadFromStream(&stream);
    EXPECT_EQ(LinesOf(fromStream), c.expected) << testing::PrintToString(c.text);
  }
}

TEST(StringsText, EveryLineEndsWithLineBreak) {
  TStringList list;
  Fill(list, {"a", "", "b"});
  EXPECT_EQ(list.Text(), "a\n\nb\n");
  list.SetLineBreak("\r\n");
  TStringStream out;
  list.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), "a\r\n\r\nb\r\n");
  TStringList empty;
  EXPECT_EQ(empty.Text(), "");
}

TEST(StringsText, LoadFromStreamReadsFromThePosition) {
  TStringStream stream("skip\nkeep\nthis");
  stream.SetPosition(5);
  TStringList list;
  Fill(list, {"old"});
  list.LoadFromStream(&stream);
  EXPECT_EQ(LinesOf(list), (Lines{"keep", "this"}));
}

TEST(StringsText, FilesRoundTrip) {
  char tmpl[] = "/tmp/stringlist_test_XXXXXX";
  std::string dir = ::mkdtemp(tmpl);
  std::string name = dir + "/lines.txt";
  TStringList list;
  Fill(list, {"first", "sécond", ""});
  list.SaveToFile(name);
  std::ifstream f(name, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}), "first\nsécond\n\n");
  TStringList back;
  back.LoadFromFile(name);
  EXPECT_TRUE(back.Equals(&list));
  EXPECT_THROW(back.LoadFromFile(dir + "/missing.txt"), EFOpenError);
  std::system(("rm -rf '" + dir + "'").c_str());
}

// ---- Comma text and delimited text ------------------------------------------

TEST(StringsDelimited, CommaTextQuotingRoundTrips) {
  struct Case {
    Lines lines;
    const char* comma;
  };
  const Case cases[] = {
      {{"a", "b", "c"}, "a,b,c"},
      {{"a b", "c"}, "\"a b\",c"},
      {{"say \"hi\"", "x,y"}, "\"say \"\"hi\"\"\",\"x,y\""},
      {{""}, "\"\""},
      {{"a", ""}, "a,"},
      {{"", "a"}, ",a"},
      {{"a", "", "b"}, "a,,b"},
      {{"tab\there"}, "\"tab\there\""},
      {{}, ""},
  };
  for (const Case& c : cases) {
    TStringList list;
    Fill(list, c.lines);
    EXPECT_EQ(list.CommaText(), c.comma);
    TStringList back;
    back.SetCommaText(c.comma);
    EXPECT_EQ(LinesOf(back), c.lines) << c.comma;
  }
}

TEST(StringsDelimited, ParsingRules) {
  struct Case {
    std::string text;
    char delimiter;
    bool strict;
    Lines expected;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {"a b,c", ',', false, {"a", "b", "c"}},  // blanks separate unless strict
      {"a b,c", ',', true, {"a b", "c"}},
      {"  a ,  b  ", ',', false, {"a", "b"}},
      {" a , b ", ',', true, {" a ", " b "}},
      {"\"a, b\"c", ',', false, {"a, b", "c"}},
      {"\"open", ',', false, {"open"}},
      {"x;y z;", ';', false, {"x", "y", "z", ""}},
      {"x;y z", ';', true, {"x", "y z"}},
      // A NUL byte ends the text, also when it is the delimiter: what lies
      // after it is never read.
      {"ab\0zz"s, '\0', true, {"ab"}},
      {"a b\0zz"s, '\0', false, {"a", "b"}},
      {"\"q\"\0zz"s, '\0', false, {"q"}},
      {"x,\0y"s, ',', false, {"x", ""}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetDelimiter(c.delimiter);
    list.SetStrictDelimiter(c.strict);
    list.SetDelimitedText(c.text);
    EXPECT_EQ(LinesOf(list), c.expected) << c.text;
  }
  TStringList strict;
  strict.SetStrictDelimiter(true);
  strict.SetDelimiter(';');
  Fill(strict, {" a b ", "c;d"});
  EXPECT_EQ(strict.DelimitedText(), " a b ;\"c;d\"");
  EXPECT_EQ(strict.CommaText(), "\" a b \",c;d");  // comma text is never strict
}

// ---- Names and values ---------------------------------------------------------

TEST(StringsValues, NamesAndValues) {
  TStringList list;
  Fill(list, {"Width=10", "plain", "Height=", "Path=a=b"});
  EXPECT_EQ(list.Names(0), "Width");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.ValueFromIndex(1), "");
  EXPECT_EQ(list.ValueFromIndex(3), "a=b");
  EXPECT_EQ(list.Values("WIDTH"), "10");  // names compare without case
  EXPECT_EQ(list.Values("Height"), "");
  EXPECT_EQ(list.Values("Missing"), "");
  EXPECT_EQ(list.IndexOfName("path"), 3);
  EXPECT_EQ(list.IndexOfName("plain"), -1);
  list.SetValue("width", "20");
  EXPECT_EQ(list[0], "width=20");
  list.SetValue("New", "1");
  EXPECT_EQ(list[4], "New=1");
  list.SetValue("Path", "");
  EXPECT_EQ(list.IndexOfName("Path"), -1);
  list.SetValueFromIndex(0, "30");
  EXPECT_EQ(list[0], "width=30");
  list.SetNameValueSeparator(':');
  list.Add("Key:v");
  EXPECT_EQ(list.Values("key"), "v");
}

// ---- TStringList ----------------------------------------------------------------

TEST(StringList, SortedAddFollowsTheDuplicatesPolicy) {
  struct Case {
    TDuplicates policy;
    Lines expected;
    std::string error;
  };
  const Case cases[] = {
      {dupIgnore, {"a", "B", "c"}, ""},
      {dupAccept, {"a", "b", "B", "c"}, ""},
      {dupError, {"a", "B", "c"}, "String list does not allow duplicates"},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.policy);
    Fill(list, {"c", "B", "a"});
    std::string error = MessageOf<EStringListError>([&] {
      Integer i = list.Add("b");
      if (c.policy == dupIgnore) {
        EXPECT_EQ(i, 1);
      }
    });
    EXPECT_EQ(LinesOf(list), c.expected) << c.policy;
    EXPECT_EQ(error, c.error.empty() ? "(no exception)" : c.error);
  }
}

TEST(StringList, FindAndIndexOfFollowCaseSensitivity) {
  struct Case {
    bool sorted, caseSensitive;
    const char* search;
    Integer index;
  };
  const Case cases[] = {
      {false, false, "APPLE", 1},  {false, true, "APPLE", -1}, {false, true, "Apple", 1},
      {true, false, "APPLE", 0},   {true, true, "APPLE", -1},  {true, true, "Apple", 0},
      {true, false, "zzz", -1},
  };
  for (const Case& c : cases) {
    TStringList list;
    Fill(list, {"pear", "Apple", "fig"});
    list.SetCaseSensitive(c.caseSensitive);
    list.SetSorted(c.sorted);
    EXPECT_EQ(list.IndexOf(c.search), c.index) << c.sorted << c.caseSensitive << c.search;
  }
  TStringList accents;
  Fill(accents, {"rue", "école"});
  EXPECT_EQ(accents.IndexOf("ÉCOLE"), 1);  // case folds beyond ASCII
  accents.SetCaseSensitive(true);
  EXPECT_EQ(accents.IndexOf("ÉCOLE"), -1);
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"b", "d"});
  Integer at = -1;
  EXPECT_FALSE(list.Find("c", at));
  EXPECT_EQ(at, 1);
  EXPECT_TRUE(list.Find("D", at));
  EXPECT_EQ(at, 1);
}

TEST(StringList, FindReturnsTheFirstOfEqualStringsWhenAccepted) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"b", "a", "b", "B", "c", "b"});
  Integer at = -1;
  ASSERT_TRUE(list.Find("b", at));
  EXPECT_EQ(at, 1);
  EXPECT_EQ(list.IndexOf("B"), 1);
}

TEST(StringList, CaseSensitiveSortOrder) {
  TStringList list;
  Fill(list, {"b", "B", "a", "A"});
  list.SetCaseSensitive(true);
  list.Sort();
  EXPECT_EQ(LinesOf(list), (Lines{"a", "A", "b", "B"}));
  list.SetSorted(true);
  list.SetCaseSensitive(false);  // a sorted list is sorted again
  Integer at = -1;
  EXPECT_TRUE(list.Find("A", at));
  list.SetCaseSensitive(true);
  list.SetDuplicates(dupAccept);
  list.Add("Aa");
  EXPECT_EQ(LinesOf(list), (Lines{"a", "A", "Aa", "b", "B"}));
}

TEST(StringList, SortedListRefusesPositionalEdits) {
  TStringList list;
  Fill(list, {"b", "a"});
  list.SetSorted(true);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
  const std::function<void()> ops[] = {
      [&] { list.Insert(0, "x"); },
      [&] { list.SetStrings(0, "x"); },
      [&] { list.Move(0, 1); },
  };
  for (const auto& op : ops) EXPECT_EQ(MessageOf<EStringListError>(op), "Operation not allowed on sorted list");
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
}

TEST(StringList, IndexErrors) {
  TStringList list;
  Fill(list, {"a", "b"});
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { list.Strings(2); }, "List index out of bounds (2)"},
      {[&] { list.Objects(-1); }, "List index out of bounds (-1)"},
      {[&] { list.Delete(5); }, "List index out of bounds (5)"},
      {[&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
      {[&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
      {[&] { list.Move(0, 2); }, "List index out of bounds (2)"},
      {[&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
  };
  for (const auto& [op, message] : cases) EXPECT_EQ(MessageOf<EStringListError>(op), message);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
}

TEST(StringList, EditingKeepsObjectsWithTheirStrings) {
  TStringList list;
  TObject o1, o2, o3;
  list.AddObject("one", &o1);
  list.AddObject("two", &o2);
  list.InsertObject(0, "zero", &o3);
  list.Move(0, 2);
  EXPECT_EQ(LinesOf(list), (Lines{"one", "two", "zero"}));
  EXPECT_EQ(list.Objects(2), &o3);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Objects(0), &o2);
  EXPECT_EQ(list.IndexOfObject(&o1), 1);
  list.Sort();
  EXPECT_EQ(LinesOf(list), (Lines{"one", "two", "zero"}));
  EXPECT_EQ(list.Objects(0), &o1);
  list.CustomSort([](TStringList* l, Integer a, Integer b) { return Integer(l->Strings(b).size()) - Integer(l->Strings(a).size()); });
  EXPECT_EQ(list[0], "zero");
}

TEST(StringList, CustomSortSurvivesAnInconsistentCompare) {
  TStringList list;
  for (int i = 0; i < 200; ++i) list.Add(std::to_string(i));
  list.CustomSort([](TStringList*, Integer, Integer) { return -1; });
  // Whatever the order, every item is still there exactly once.
  std::vector<AnsiString> items;
  for (Integer i = 0; i < list.Count(); ++i) items.push_back(list[i]);
  std::sort(items.begin(), items.end(), [](const AnsiString& a, const AnsiString& b) { return std::stoi(a) < std::stoi(b); });
  ASSERT_EQ(items.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(items[i], std::to_string(i));
}

TEST(StringList, OwnsObjectsDeletesThemAsTheyLeave) {
  int destroyed = 0;
  {
    TStringList list(true);
    list.AddObject("a", new Counted(&destroyed));
    list.AddObject("b", new Counted(&destroyed));
    list.AddObject("c", new Counted(&destroyed));
    list.AddObject("d", new Counted(&destroyed));
    list.Delete(0);
    EXPECT_EQ(destroyed, 1);
    list.Move(0, 1);  // moving keeps the object
    EXPECT_EQ(destroyed, 1);
    list.SetObjects(0, new Counted(&destroyed));
    EXPECT_EQ(destroyed, 2);
    list.Clear();
    EXPECT_EQ(destroyed, 5);
    list.AddObject("e", new Counted(&destroyed));
  }
  EXPECT_EQ(destroyed, 6);
}

TEST(StringList, ChangeEventsBracketChangesAndUpdates) {
  TStringList list;
  std::vector<std::string> log;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    log.push_back("changing");
  };
  list.OnChange = [&](TObject*) { log.push_back("change " + std::to_string(list.Count())); };
  list.Add("a");
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 1"}));
  log.clear();
  list.BeginUpdate();
  list.Add("b");
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 2"}));
  log.clear();
  list.SetText("x\ny\nz");
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 3"}));
  log.clear();
  list.Clear();
  list.Clear();  // already empty: no events
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 0"}));
}

TEST(StringList, AssignCopiesStringsObjectsAndSettings) {
  TStringList src;
  TObject o;
  src.AddObject("b", &o);
  src.Add("a");
  src.SetDelimiter(';');
  src.SetLineBreak("\r\n");
  TStringList dst;
  dst.SetSorted(true);
  Fill(dst, {"old"});
  dst.Assign(&src);
  EXPECT_EQ(LinesOf(dst), (Lines{"a", "b"}));  // the destination stays sorted
  EXPECT_EQ(dst.Objects(1), &o);
  EXPECT_EQ(dst.Delimiter(), ';');
  EXPECT_EQ(dst.Text(), "a\r\nb\r\n");
  dst.Assign(&dst);
  EXPECT_EQ(dst.Count(), 2);
  TStringList target;
  target.AddStrings(&src);
  target.AddStrings(&target);  // doubles itself once
  EXPECT_EQ(LinesOf(target), (Lines{"b", "a", "b", "a"}));
  EXPECT_FALSE(target.Equals(&src));
  EXPECT_THROW(target.Assign(nullptr), EConvertError);
}

}  // namespace
