#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "grid/nx_cells.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/text_codec.h"
#include "tests/grid/cells_test_support.h"

namespace {

// A store of one sort column (texts or another kind) and an identity
// column that tells where each row went.
class SortFixture : public ::testing::Test {
 protected:
  TFakeCellsHost Host;
  TCells Store{&Host};

  void SetUp() override { RandSeed = 4242; }

  void Fill(TCellKind Kind, const std::vector<std::u16string>& Values) {
    Host.AddColumn(Store, Kind);
    Host.AddColumn(Store, ckInteger);
    Store.AddRows(static_cast<Integer>(Values.size()));
    for (size_t i = 0; i < Values.size(); ++i) {
      Store.GetCell(0, static_cast<Integer>(i))->SetAsString(Values[i]);
      Store.GetCell(1, static_cast<Integer>(i))->SetAsInteger(static_cast<Integer>(i));
    }
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> r;
    for (Integer i = 0; i < Store.RowCount(); ++i) r.push_back(WideToAnsi(Store.GetCell(0, i)->AsString()));
    return r;
  }
  std::vector<Integer> Ids() {
    std::vector<Integer> r;
    for (Integer i = 0; i < Store.RowCount(); ++i) r.push_back(Store.GetCell(1, i)->AsInteger());
    return r;
  }
};

TEST_F(SortFixture, AscendingThenDescendingReversesAndFullResortSortsAgain) {
  Fill(ckString, {u"d", u"b", u"a", u"c", u"b2", u"e"});
  Store.Sort(0, stAlphabetic, false, false);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "b", "b2", "c", "d", "e"}));
  EXPECT_TRUE(Store.Sorted());
  std::vector<Integer> ascending = Ids();
  Store.Sort(0, stAlphabetic, false, true);
  std::vector<Integer> reversed(ascending.rbegin(), ascending.rend());
  EXPECT_EQ(Ids(), reversed) << "the second sort reverses the rows";

  // A reversal does not consult the comparator; a full resort does.
  Integer compares = 0;
  Store.OnCompare = [&](TObject*, TCell*, TCell*, Integer&) { ++compares; };
  Store.Sort(0, stCustom, false, false);
  EXPECT_EQ(compares, 0);
  Store.Sort(0, stCustom, true, true);
  EXPECT_GT(compares, 0);
}

TEST_F(SortFixture, EachSortTypeOrdersByItsOwnKey) {
  struct TCase {
    const char* Name;
    TCellKind Kind;
    TSortType Type;
    bool Descending;
    std::vector<std::u16string> Values;
    std::vector<std::string> Sorted;
  };
  const TCase cases[] = {
      {"ordinal puts upper case first", ckString, stAlphabetic, false, {u"b", u"B", u"a", u"A"},
       {"A", "B", "a", "b"}},
      {"case-insensitive", ckString, stCaseInsensitive, false, {u"b", u"C", u"a"}, {"a", "b", "C"}},
      {"Boolean, False first", ckBoolean, stBoolean, false, {u"1", u"0", u"1", u"0"},
       {"False", "False", "True", "True"}},
      {"date", ckDateTime, stDate, false, {u"3/1/2020", u"1/1/2021", u"2/1/2020"},
       {"2/1/2020", "3/1/2020", "1/1/2021"}},
      {"date descending", ckDateTime, stDate, true, {u"3/1/2020", u"1/1/2021", u"2/1/2020"},
       {"1/1/2021", "3/1/2020", "2/1/2020"}},
      {"numeric", ckString, stNumeric, false, {u"10", u"9", u"100", u"-1"}, {"-1", "9", "10", "100"}},
      {"IP: the fourth number counts most", ckString, stIP, false, {u"1.0.0.1", u"2.0.0.2"},
       {"2.0.0.2", "1.0.0.1"}},
      {"IP: then the first", ckString, stIP, false, {u"9.0.0.1", u"10.0.0.1"}, {"10.0.0.1", "9.0.0.1"}},
      {"IP: parts after the fourth are ignored", ckString, stIP, false, {u"1.2.3.4.5", u"1.2.3.5", u"1.2.3.3"},
       {"1.2.3.5", "1.2.3.4.5", "1.2.3.3"}},
      {"Unicode text order", ckString, stUnicodeAlphabetic, false, {u"b", u"B", u"a", u"\u00e9"},
       {"a", "b", "B", "\xc3\xa9"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeCellsHost host;
    TCells store(&host);
    host.AddColumn(store, c.Kind);
    store.AddRows(static_cast<Integer>(c.Values.size()));
    for (size_t i = 0; i < c.Values.size(); ++i) store.GetCell(0, static_cast<Integer>(i))->SetAsString(c.Values[i]);
    store.Sort(0, c.Type, false, c.Descending);
    std::vector<std::string> got;
    for (Integer i = 0; i < store.RowCount(); ++i) got.push_back(WideToAnsi(store.GetCell(0, i)->AsString()));
    EXPECT_EQ(got, c.Sorted);
  }
}

TEST_F(SortFixture, NumericSortFallsBackToTextForNonNumbers) {
  Fill(ckString, {u"20", u"b", u"3", u"a", u"100"});
  EXPECT_NO_THROW(Store.Sort(0, stNumeric, false, false));
  std::vector<std::string> t = Texts();
  // Every pair of numbers is in numeric order, every pair of texts in text
  // order; where they meet the order is by text.
  auto pos = [&](const char* s) { return std::find(t.begin(), t.end(), s) - t.begin(); };
  EXPECT_LT(pos("3"), pos("20"));
  EXPECT_LT(pos("20"), pos("100"));
  EXPECT_LT(pos("a"), pos("b"));
  EXPECT_EQ(t.size(), 5u);
}

TEST_F(SortFixture, CustomSortAsksOnCompare) {
  Fill(ckString, {u"ccc", u"a", u"bb"});
  Store.OnCompare = [](TObject*, TCell* A, TCell* B, Integer& Compare) {
    Compare = static_cast<Integer>(A->AsString().size()) - static_cast<Integer>(B->AsString().size());
  };
  Store.Sort(0, stCustom, false, true);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"ccc", "bb", "a"}));
}

TEST_F(SortFixture, ComparatorThatRaisesLeavesEveryRowAndTheSortState) {
  struct TCase {
    const char* Name;
    TCellKind Kind;
    TSortType Type;
    std::vector<std::u16string> Values;
  };
  const TCase cases[] = {
      {"date over a text that is no date", ckString, stDate, {u"1/1/2020", u"x", u"3/1/2020", u"2/1/2020"}},
      {"Boolean over text", ckString, stBoolean, {u"1", u"maybe", u"0", u"1"}},
      {"IP part without digits", ckString, stIP, {u"1.1.1.1", u"10.0.0.", u"2.2.2.2"}},
      {"IP number beyond 32 bits", ckString, stIP, {u"1.1.1.1", u"99999999999.0.0.1", u"2.2.2.2"}},
      {"custom comparison that throws", ckString, stCustom, {u"b", u"a", u"c", u"d"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeCellsHost host;
    TCells store(&host);
    host.AddColumn(store, c.Kind);
    host.AddColumn(store, ckInteger);
    store.AddRows(static_cast<Integer>(c.Values.size()));
    for (size_t i = 0; i < c.Values.size(); ++i) {
      store.GetCell(0, static_cast<Integer>(i))->SetAsString(c.Values[i]);
      store.GetCell(1, static_cast<Integer>(i))->SetAsInteger(static_cast<Integer>(i));
    }
    store.Sort(1, stNumeric, false, false);
    ASSERT_TRUE(store.Sorted());
    Integer calls = 0;
    store.OnCompare = [&](TObject*, TCell*, TCell*, Integer&) {
      if (++calls == 2) throw EConvertError("no order");
    };
    EXPECT_THROW(store.Sort(0, c.Type, false, false), Exception);
    for (Integer i = 0; i < store.RowCount(); ++i) {
      EXPECT_EQ(store.GetCell(1, i)->AsInteger(), i) << "row " << i << " stayed";
      EXPECT_EQ(store.GetCell(0, i)->AsString(), c.Values[i]);
    }
    EXPECT_TRUE(store.Sorted()) << "the flag is kept";
    EXPECT_EQ(store.SortedColumn(), 1);
  }
}

TEST(IPTextTest, ParsesFourNumbersAndRefusesWhatIsNoNumber) {
  struct TCase {
    const char16_t* Text;
    Integer Numbers[4];
    bool Raises;
  };
  const TCase cases[] = {
      {u"192.168.0.1", {192, 168, 0, 1}, false},
      {u"10.0", {10, 0, 0, 0}, false},
      {u"1.2.3.4.5", {1, 2, 3, 4}, false},
      {u"1.2.3.4.x", {1, 2, 3, 4}, false},
      {u" 1 . 2 .3a.4", {1, 2, 3, 4}, false},
      {u"", {0, 0, 0, 0}, false},
      {u"10.0.0.", {}, true},
      {u"host", {}, true},
      {u"4294967296.1.1.1", {}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(WideToAnsi(c.Text));
    Integer n[4];
    if (c.Raises) {
      EXPECT_THROW(TCells::ParseIPText(c.Text, n), EConvertError);
      continue;
    }
    TCells::ParseIPText(c.Text, n);
    EXPECT_EQ(std::vector<Integer>(n, n + 4), std::vector<Integer>(c.Numbers, c.Numbers + 4));
  }
  EXPECT_TRUE(TCells::CompareIPText(u"1.1.1.2", u"9.9.9.1"));
  EXPECT_FALSE(TCells::CompareIPText(u"9.9.9.1", u"1.1.1.2"));
  EXPECT_TRUE(TCells::CompareIPText(u"1.1.1.1", u"1.1.1.1"));
}

TEST_F(SortFixture, LargeRandomSortMatchesTheReferenceForEveryDirection) {
  std::vector<std::u16string> values;
  for (int i = 0; i < 500; ++i) values.push_back(AnsiToWide(std::to_string(Random(50))));
  Fill(ckInteger, values);
  for (bool descending : {false, true, false}) {
    Store.Sort(0, stNumeric, true, descending);
    for (Integer i = 1; i < Store.RowCount(); ++i) {
      Integer a = Store.GetCell(0, i - 1)->AsInteger(), b = Store.GetCell(0, i)->AsInteger();
      EXPECT_TRUE(descending ? a >= b : a <= b) << i;
    }
    std::vector<Integer> ids = Ids();
    std::sort(ids.begin(), ids.end());
    for (Integer i = 0; i < 500; ++i) ASSERT_EQ(ids[i], i) << "every row is still there once";
  }
}

}  // namespace
