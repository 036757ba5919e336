#include "grid/nx_cells.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/text_codec.h"
#include "tests/grid/cells_test_support.h"

namespace {

// One store with one column of the kind and one row, its change events
// counted.
class CellFixture : public ::testing::Test {
 protected:
  TFakeCellsHost Host;
  TCells Store{&Host};
  std::vector<std::pair<Integer, Integer>> Changes;

  void SetUp() override {
    Store.OnCellChange = [this](TObject* Sender, Integer ACol, Integer ARow) {
      EXPECT_EQ(Sender, &Store);
      Changes.push_back({ACol, ARow});
    };
  }
  TCell* Make(TCellKind Kind) {
    Host.AddColumn(Store, ckString);
    Host.AddColumn(Store, Kind);
    Store.AddRows(3);
    Changes.clear();
    return Store.GetCell(1, 2);
  }
};

// ---- Getters --------------------------------------------------------------------------

struct TGetterCase {
  const char* Name;
  TCellKind Kind;
  std::function<void(TCell*)> Fill;
  // Expected text of each getter, or "raises".
  const char* Boolean;
  const char* DateTime;
  const char* Float;
  const char* Integer;
  const char16_t* String;
};

std::string Read(const std::function<std::string()>& f) {
  try {
    return f();
  } catch (const EConvertError&) {
    return "raises";
  }
}

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

TEST_F(CellFixture, GettersFollowTheConversionTable) {
  const TGetterCase cases[] = {
      {"boolean true", ckBoolean, [](TCell* c) { c->SetAsBoolean(true); }, "1", "0", "1", "1", u"True"},
      {"boolean false", ckBoolean, [](TCell* c) { c->SetAsBoolean(false); }, "0", "0", "0", "0", u"False"},
      {"date-time 2.75", ckDateTime, [](TCell* c) { c->SetAsDateTime(2.75); }, "0", "2.75",
       "2.75", "2", u"1/1/1900 6:00:00 PM"},
      {"date-time -2.75 truncates toward zero", ckDateTime, [](TCell* c) { c->SetAsDateTime(-2.75); }, "0",
       "-2.75", "-2.75", "-2", nullptr},
      {"float 2.5", ckFloat, [](TCell* c) { c->SetAsFloat(2.5); }, "0", "2.5", "2.5", "2",
       u"2.5"},
      {"float 3.5", ckFloat, [](TCell* c) { c->SetAsFloat(3.5); }, "0", "3.5", "3.5", "4",
       u"3.5"},
      {"integer -3", ckInteger, [](TCell* c) { c->SetAsInteger(-3); }, "0", "0", "-3", "-3", u"-3"},
      {"integer 7", ckInteger, [](TCell* c) { c->SetAsInteger(7); }, "1", "0", "7", "7", u"7"},
      {"string 42", ckString, [](TCell* c) { c->SetAsString(u"42"); }, "1", "raises", "42", "42",
       u"42"},
      {"string yes", ckString, [](TCell* c) { c->SetAsString(u"yes"); }, "raises", "raises", "raises", "raises",
       u"yes"},
      {"string empty", ckString, [](TCell* c) { c->SetAsString(u""); }, "raises", "0", "raises", "raises", u""},
      {"string date", ckString, [](TCell* c) { c->SetAsString(u"1/2/1900"); }, "raises", "3",
       "raises", "raises", u"1/2/1900"},
      {"increment at row 2", ckIncrement, [](TCell*) {}, "0", "0", "3", "3", u"3"},
      {"GUID text", ckGuid, [](TCell* c) { c->SetAsString(u"{00000001-0002-0003-0405-060708090A0B}"); }, "raises",
       "raises", "raises", "raises", u"{00000001-0002-0003-0405-060708090A0B}"},
      {"virtual 12", ckVirtual, [](TCell* c) { c->SetAsString(u"12"); }, "1", "0.5", "12", "12",
       u"12"},
  };
  for (const TGetterCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeCellsHost host;
    TCells store(&host);
    host.AddColumn(store, ckString);
    host.AddColumn(store, c.Kind);
    store.AddRows(3);
    TCell* cell = store.GetCell(1, 2);
    c.Fill(cell);
    store.GetCell(1, 2);
    EXPECT_EQ(Read([&] { return std::to_string(cell->AsBoolean()); }), c.Boolean);
    EXPECT_EQ(Read([&] { return Num(cell->AsDateTime()); }), c.DateTime);
    EXPECT_EQ(Read([&] { return Num(cell->AsFloat()); }), c.Float);
    EXPECT_EQ(Read([&] { return std::to_string(cell->AsInteger()); }), c.Integer);
    if (c.String) {
      EXPECT_EQ(WideToAnsi(cell->AsString()), WideToAnsi(c.String));
    }
  }
}

TEST_F(CellFixture, IncrementCellReadsTheRowOfTheLastLookup) {
  Host.AddColumn(Store, ckIncrement);
  Store.AddRows(6);
  TCell* cell = Store.GetCell(0, 4);
  EXPECT_EQ(cell->AsInteger(), 5);
  EXPECT_EQ(cell->AsString(), u"5");
  Store.GetCell(0, 1);
  EXPECT_EQ(cell->AsInteger(), 2) << "a cell's position is the store's current one";
}

TEST_F(CellFixture, GuidCellTextIsBracedUpperCaseAndRoundTrips) {
  TCell* cell = Make(ckGuid);
  WideString text = cell->AsString();
  ASSERT_EQ(text.size(), 38u);
  EXPECT_EQ(text.front(), u'{');
  EXPECT_EQ(text.back(), u'}');
  for (char16_t ch : text) EXPECT_FALSE(ch >= u'a' && ch <= u'z');
  EXPECT_NE(text, Store.GetCell(1, 0)->AsString()) << "every cell gets its own GUID";
  cell = Store.GetCell(1, 2);
  cell->SetAsString(u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}");
  EXPECT_EQ(cell->AsString(), u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
  Changes.clear();
  EXPECT_THROW(cell->SetAsString(u"not a guid"), EConvertError);
  EXPECT_THROW(cell->SetAsInteger(5), EConvertError);
  EXPECT_EQ(cell->AsString(), u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}") << "kept on failure";
  EXPECT_TRUE(Changes.empty()) << "a setter that raises reports no change";
  EXPECT_THROW(cell->AsInteger(), EConvertError);
}

// ---- Setters ----------------------------------------------------------------------------

struct TSetterCase {
  const char* Name;
  TCellKind Kind;
  std::function<void(TCell*)> Set;
  // What the cell reads afterwards, as its text; "raises" when the setter
  // raises and the cell keeps "before".
  const char16_t* After;
};

TEST_F(CellFixture, SettersFollowTheConversionTableAndEachReportsOneChange) {
  const TSetterCase cases[] = {
      {"boolean from TRUE", ckBoolean, [](TCell* c) { c->SetAsString(u"TRUE"); }, u"True"},
      {"boolean from 1", ckBoolean, [](TCell* c) { c->SetAsString(u"1"); }, u"True"},
      {"boolean from yes", ckBoolean, [](TCell* c) { c->SetAsString(u"yes"); }, u"False"},
      {"boolean from float 0.5", ckBoolean, [](TCell* c) { c->SetAsFloat(0.5); }, u"True"},
      {"boolean from integer 0", ckBoolean, [](TCell* c) { c->SetAsInteger(0); }, u"False"},
      // mended: the date-time's truth, not always False
      {"boolean from date-time 2", ckBoolean, [](TCell* c) { c->SetAsDateTime(2); }, u"True"},
      // mended: 1 or 0, not today's date
      {"date-time from True", ckDateTime, [](TCell* c) { c->SetAsBoolean(true); }, u"12/31/1899"},
      {"date-time from float", ckDateTime, [](TCell* c) { c->SetAsFloat(2.75); }, u"1/1/1900 6:00:00 PM"},
      {"date-time from integer", ckDateTime, [](TCell* c) { c->SetAsInteger(2); }, u"1/1/1900"},
      {"date-time from empty text", ckDateTime, [](TCell* c) { c->SetAsString(u""); }, u"12/30/1899"},
      {"date-time from a time", ckDateTime, [](TCell* c) { c->SetAsString(u"6:00 PM"); }, u"12/30/1899 6:00:00 PM"},
      {"date-time from a date", ckDateTime, [](TCell* c) { c->SetAsString(u"1/1/1900"); }, u"1/1/1900"},
      // mended: raises like every other typed cell, instead of storing 0
      {"date-time from no date", ckDateTime, [](TCell* c) { c->SetAsString(u"soon"); }, nullptr},
      // mended: 1, not 0
      {"float from True", ckFloat, [](TCell* c) { c->SetAsBoolean(true); }, u"1"},
      {"float from date-time", ckFloat, [](TCell* c) { c->SetAsDateTime(1.5); }, u"1.5"},
      {"float from text", ckFloat, [](TCell* c) { c->SetAsString(u"2.25"); }, u"2.25"},
      {"float from empty text", ckFloat, [](TCell* c) { c->SetAsString(u""); }, nullptr},
      {"integer from True", ckInteger, [](TCell* c) { c->SetAsBoolean(true); }, u"1"},
      // mended: the value truncated toward zero, not 0
      {"integer from date-time -2.75", ckInteger, [](TCell* c) { c->SetAsDateTime(-2.75); }, u"-2"},
      {"integer from float 2.5", ckInteger, [](TCell* c) { c->SetAsFloat(2.5); }, u"2"},
      {"integer from float 3.5", ckInteger, [](TCell* c) { c->SetAsFloat(3.5); }, u"4"},
      {"integer from empty text", ckInteger, [](TCell* c) { c->SetAsString(u""); }, u"0"},
      {"integer from text", ckInteger, [](TCell* c) { c->SetAsString(u"x1"); }, nullptr},
      {"integer from too large a float", ckInteger, [](TCell* c) { c->SetAsFloat(1e12); }, nullptr},
      {"string from Boolean", ckString, [](TCell* c) { c->SetAsBoolean(false); }, u"False"},
      {"string from date-time", ckString, [](TCell* c) { c->SetAsDateTime(2); }, u"1/1/1900"},
      {"string from float", ckString, [](TCell* c) { c->SetAsFloat(0.1); }, u"0.1"},
      {"string from integer", ckString, [](TCell* c) { c->SetAsInteger(-12); }, u"-12"},
      {"increment stores nothing", ckIncrement, [](TCell* c) { c->SetAsInteger(99); }, u"3"},
      {"increment text stores nothing", ckIncrement, [](TCell* c) { c->SetAsString(u"x"); }, u"3"},
      {"virtual hands the text on", ckVirtual, [](TCell* c) { c->SetAsFloat(1.5); }, u"1.5"},
      {"boolean from Boolean", ckBoolean, [](TCell* c) { c->SetAsBoolean(true); }, u"True"},
      {"date-time from date-time", ckDateTime, [](TCell* c) { c->SetAsDateTime(2.5); }, u"1/1/1900 12:00:00 PM"},
      {"float from float", ckFloat, [](TCell* c) { c->SetAsFloat(-0.25); }, u"-0.25"},
      {"float from integer", ckFloat, [](TCell* c) { c->SetAsInteger(7); }, u"7"},
      {"integer from integer", ckInteger, [](TCell* c) { c->SetAsInteger(-9); }, u"-9"},
      {"integer from text", ckInteger, [](TCell* c) { c->SetAsString(u"31"); }, u"31"},
      {"string from text", ckString, [](TCell* c) { c->SetAsString(u"abc"); }, u"abc"},
      {"string from moved text", ckString, [](TCell* c) { c->MoveAsString(u"a text longer than a short string"); },
       u"a text longer than a short string"},
      {"integer from moved text", ckInteger, [](TCell* c) { c->MoveAsString(u"31"); }, u"31"},
      {"date-time from moved no date", ckDateTime, [](TCell* c) { c->MoveAsString(u"soon"); }, nullptr},
      {"virtual from moved text", ckVirtual, [](TCell* c) { c->MoveAsString(u"moved"); }, u"moved"},
      {"increment Boolean stores nothing", ckIncrement, [](TCell* c) { c->SetAsBoolean(true); }, u"3"},
      {"increment date-time stores nothing", ckIncrement, [](TCell* c) { c->SetAsDateTime(5); }, u"3"},
      {"increment float stores nothing", ckIncrement, [](TCell* c) { c->SetAsFloat(5); }, u"3"},
      {"GUID from its text", ckGuid, [](TCell* c) { c->SetAsString(u"{00000001-0002-0003-0405-060708090A0B}"); },
       u"{00000001-0002-0003-0405-060708090A0B}"},
      {"GUID from Boolean", ckGuid, [](TCell* c) { c->SetAsBoolean(true); }, nullptr},
      {"GUID from date-time", ckGuid, [](TCell* c) { c->SetAsDateTime(1); }, nullptr},
      {"GUID from float", ckGuid, [](TCell* c) { c->SetAsFloat(1); }, nullptr},
      {"virtual from Boolean", ckVirtual, [](TCell* c) { c->SetAsBoolean(true); }, u"True"},
      {"virtual from date-time", ckVirtual, [](TCell* c) { c->SetAsDateTime(2); }, u"1/1/1900"},
      {"virtual from integer", ckVirtual, [](TCell* c) { c->SetAsInteger(4); }, u"4"},
      {"virtual from text", ckVirtual, [](TCell* c) { c->SetAsString(u"v"); }, u"v"},
  };
  for (const TSetterCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeCellsHost host;
    TCells store(&host);
    std::vector<std::pair<Integer, Integer>> changes;
    store.OnCellChange = [&](TObject*, Integer ACol, Integer ARow) { changes.push_back({ACol, ARow}); };
    host.AddColumn(store, ckString);
    host.AddColumn(store, c.Kind);
    store.AddRows(3);
    store.Sort(1, stAlphabetic, false, false);
    TCell* cell = store.GetCell(1, 2);
    WideString before = cell->AsString();
    ASSERT_TRUE(store.Sorted());
    if (!c.After) {
      EXPECT_THROW(c.Set(cell), EConvertError);
      EXPECT_EQ(cell->AsString(), before) << "the cell keeps its value";
      EXPECT_TRUE(changes.empty());
      EXPECT_TRUE(store.Sorted());
      continue;
    }
    c.Set(cell);
    store.GetCell(1, 2);
    EXPECT_EQ(WideToAnsi(cell->AsString()), WideToAnsi(c.After));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(1, 2));
    EXPECT_FALSE(store.Sorted()) << "a change clears the sorted flag";
  }
}

TEST_F(CellFixture, ClearResetsEachClassAndIncrementCellsIgnoreIt) {
  struct TCase {
    TCellKind Kind;
    std::function<void(TCell*)> Set;
    const char16_t* AfterClear;
    size_t Changes;
  };
  const TCase cases[] = {
      {ckBoolean, [](TCell* c) { c->SetAsBoolean(true); }, u"False", 1},
      {ckDateTime, [](TCell* c) { c->SetAsDateTime(5); }, u"12/30/1899", 1},
      {ckFloat, [](TCell* c) { c->SetAsFloat(5); }, u"0", 1},
      {ckInteger, [](TCell* c) { c->SetAsInteger(5); }, u"0", 1},
      {ckString, [](TCell* c) { c->SetAsString(u"x"); }, u"", 1},
      {ckIncrement, [](TCell*) {}, u"3", 0},
      {ckGuid, [](TCell* c) { c->SetAsString(u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}"); },
       u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", 1},
      {ckVirtual, [](TCell* c) { c->SetAsString(u"v"); }, u"v", 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Kind));
    TFakeCellsHost host;
    TCells store(&host);
    size_t changes = 0;
    host.AddColumn(store, c.Kind);
    store.AddRows(3);
    TCell* cell = store.GetCell(0, 2);
    c.Set(cell);
    store.OnCellChange = [&](TObject*, Integer, Integer) { ++changes; };
    cell->Clear();
    EXPECT_EQ(changes, c.Changes);
    EXPECT_EQ(WideToAnsi(cell->AsString()), WideToAnsi(c.AfterClear));
  }
}

TEST_F(CellFixture, AttributeSettersNotifyUnlessUpdating) {
  TCell* cell = Make(ckString);
  cell->SetColor(clRed);
  cell->SetFontColor(clRed);
  cell->SetFontStyle({fsBold});
  EXPECT_EQ(Changes.size(), 3u);
  cell->SetUpdating(true);
  cell->SetColor(clWindow);
  cell->SetHint(u"hint");
  EXPECT_EQ(Changes.size(), 3u);
  EXPECT_EQ(cell->Color(), clWindow);
  EXPECT_EQ(cell->GetDisplayColor(), 1002) << "asked of the grid at the current position";
  EXPECT_EQ(cell->GetDisplayFontColor(), -1002);
}

// ---- Creation paths ---------------------------------------------------------------------

TEST(CellCreationTest, EachPathCreatesItsClassAndCopiesTheAttributes) {
  enum TPath { AddRows, InsertRows, InsertColumn, AddChildRow, AddColumn };
  struct TCase {
    TCellKind Kind;
    const char* Classes[5];  // per path, in the order above
  };
  const TCase cases[] = {
      {0, {"TIncrementCell", "TIntegerCell", "TIntegerCell", "TIncrementCell", "TIncrementCell"}},
      {1, {"TBooleanCell", "TBooleanCell", "TBooleanCell", "TBooleanCell", "TBooleanCell"}},
      {3, {"TDateTimeCell", "TDateTimeCell", "TDateTimeCell", "TDateTimeCell", "TDateTimeCell"}},
      {4, {"TFloatCell", "TFloatCell", "TFloatCell", "TFloatCell", "TFloatCell"}},
      {6, {"TGuidCell", "TStringCell", "TGuidCell", "TStringCell", "TGuidCell"}},
      {7, {"TIntegerCell", "TIntegerCell", "TIntegerCell", "TIntegerCell", "TIntegerCell"}},
      {8, {"TStringCell", "TStringCell", "TStringCell", "TStringCell", "TStringCell"}},
      {11, {"TVirtualCell", "TVirtualCell", "TVirtualCell", "TVirtualCell", "TVirtualCell"}},
      {2, {"TStringCell", "TStringCell", "TStringCell", "TStringCell", "TStringCell"}},
  };
  const TColor color = 0x123456, fontColor = 0x654321;
  const TFontStyles style{fsItalic};
  for (const TCase& c : cases) {
    for (int path = AddRows; path <= AddColumn; ++path) {
      SCOPED_TRACE(std::to_string(c.Kind) + " path " + std::to_string(path));
      TFakeCellsHost host;
      TCells store(&host);
      Integer changes = 0;
      store.OnCellChange = [&](TObject*, Integer, Integer) { ++changes; };
      TCell* cell = nullptr;
      if (path == InsertColumn) {
        host.AddColumn(store, ckString);
        store.AddRows(2);
        TCellColumnInfo info{c.Kind, style, fontColor, color, nullptr};
        host.Columns.insert(host.Columns.begin(), info);
        store.InsertColumn(0);
        cell = store.GetCell(0, 1);
      } else if (path == AddColumn) {
        store.AddRows(0);
        host.AddColumn(store, ckString);
        store.AddRows(2);
        host.AddColumn(store, c.Kind, color, fontColor, style);
        cell = store.GetCell(1, 1);
      } else {
        host.AddColumn(store, c.Kind, color, fontColor, style);
        store.AddRows(2);
        if (path == AddRows) cell = store.GetCell(0, 1);
        if (path == InsertRows) {
          store.InsertRows(1, 1);
          cell = store.GetCell(0, 1);
        }
        if (path == AddChildRow) {
          store.AddChildRow(0, 1);
          cell = store.GetCell(0, 1);
        }
      }
      EXPECT_EQ(cell->ClassName(), c.Classes[path]);
      EXPECT_EQ(cell->Color(), color);
      EXPECT_TRUE(cell->FontStyle() == style);
      EXPECT_EQ(cell->FontColor(), path == AddChildRow ? 0 : fontColor) << "child rows keep a black text colour";
      EXPECT_FALSE(cell->Updating());
      EXPECT_EQ(changes, 0) << "creation reports no change";
      if (path == InsertRows && c.Kind == ckIncrement) {
        EXPECT_EQ(cell->AsInteger(), 0);
      }
    }
  }
}

// ---- Rows, columns and the reference model ---------------------------------------------------

struct TModelRow {
  Integer Id;
  bool Visible = true;
  bool Shown = true;
};

TEST(CellStoreModelTest, RandomOperationsKeepTheStoreConsistent) {
  RandSeed = 20261211;
  TFakeCellsHost host;
  TCells store(&host);
  std::vector<TModelRow> rows;  // the reference
  Integer columns = 0;
  bool sorted = false;
  Integer nextId = 0;
  // Each row's identity lives in column 0's text, when there is a column.
  auto idOf = [&](Integer r) { return store.GetCell(0, r)->AsString(); };
  auto stamp = [&](Integer r, Integer id) { store.GetCell(0, r)->SetAsString(AnsiToWide(std::to_string(id))); };
  auto check = [&](const std::string& step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(store.RowCount(), static_cast<Integer>(rows.size()));
    ASSERT_EQ(store.ColumnCount(), columns);
    Integer visible = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      TRow* row = store.GetRow(static_cast<Integer>(i));
      EXPECT_EQ(row->Visible, rows[i].Visible);
      EXPECT_EQ(row->Shown, rows[i].Shown);
      if (rows[i].Visible && rows[i].Shown) ++visible;
      for (Integer c = 0; c < columns; ++c) EXPECT_NE(store.GetCell(c, static_cast<Integer>(i)), nullptr);
      if (columns > 0) {
        EXPECT_EQ(idOf(static_cast<Integer>(i)), AnsiToWide(std::to_string(rows[i].Id)));
      }
    }
    EXPECT_EQ(store.VisibleRowCount(), visible);
    EXPECT_EQ(store.Sorted(), sorted);
    // Bad indexes raise and change nothing.
    Integer before = store.RowCount();
    EXPECT_THROW(store.GetCell(columns, 0), EListError);
    EXPECT_THROW(store.GetCell(0, before), EListError);
    EXPECT_THROW(store.GetCell(-1, 0), EListError);
    EXPECT_THROW(store.DeleteRow(before), EListError);
    EXPECT_THROW(store.InsertRows(before + 1, 1), EListError);
    EXPECT_THROW(store.MoveRow(0, before), EListError);
    EXPECT_THROW(store.ExchangeRows(-1, 0), EListError);
    EXPECT_THROW(store.SetRowVisible(before, false), EListError);
    EXPECT_THROW(store.DeleteColumn(columns), EListError);
    EXPECT_EQ(store.RowCount(), before);
    EXPECT_EQ(store.Sorted(), sorted);
  };
  auto restamp = [&] {
    // After rows were made with no column to hold their identity.
    if (columns == 0) return;
    for (size_t i = 0; i < rows.size(); ++i) {
      stamp(static_cast<Integer>(i), rows[i].Id);
      sorted = false;
    }
  };
  for (int step = 0; step < 400; ++step) {
    Integer n = static_cast<Integer>(rows.size());
    int op = Random(12);
    std::string name = "step " + std::to_string(step) + " op " + std::to_string(op);
    switch (op) {
      case 0: {  // add rows
        Integer count = Random(4);
        store.AddRows(count);
        for (Integer i = 0; i < count; ++i) {
          rows.push_back({nextId++});
          if (columns) {
            stamp(n + i, rows.back().Id);
          }
        }
        sorted = false;
        break;
      }
      case 1: {  // insert rows
        Integer at = Random(n + 1), count = 1 + Random(3);
        store.InsertRows(at, count);
        for (Integer i = 0; i < count; ++i) rows.insert(rows.begin() + at, {nextId++});
        for (Integer i = 0; columns && i < count; ++i) stamp(at + i, rows[at + i].Id);
        sorted = false;
        break;
      }
      case 2:
        if (n) {
          Integer at = Random(n);
          store.DeleteRow(at);
          rows.erase(rows.begin() + at);
        }
        break;
      case 3:
        if (n) {
          Integer from = Random(n), to = Random(n);
          store.MoveRow(from, to);
          TModelRow r = rows[from];
          rows.erase(rows.begin() + from);
          rows.insert(rows.begin() + to, r);
          sorted = false;
        }
        break;
      case 4:
        if (n) {
          Integer a = Random(n), b = Random(n);
          store.ExchangeRows(a, b);
          std::swap(rows[a], rows[b]);
        }
        break;
      case 5:
        if (n) {
          Integer at = Random(n);
          bool v = Random(2);
          store.SetRowVisible(at, v);
          rows[at].Visible = v;
        }
        break;
      case 6:
        if (n) {
          Integer at = Random(n);
          bool v = Random(2);
          store.SetRowShown(at, v);
          rows[at].Shown = v;
        }
        break;
      case 7:  // add a column
        host.AddColumn(store, columns == 0 || Random(2) ? ckString : ckInteger);
        if (++columns == 1) restamp();
        break;
      case 8:
        if (columns > 1) {  // delete a column other than the identity one
          Integer c = 1 + Random(columns - 1);
          store.DeleteColumn(c);
          host.Columns.erase(host.Columns.begin() + c);
          --columns;
        } else if (columns == 1 && Random(4) == 0) {
          store.DeleteColumn(0);
          host.Columns.clear();
          columns = 0;
          rows.clear();  // the last column takes the rows with it
        }
        break;
      case 9:
        if (columns) {
          store.Sort(0, stAlphabetic, Random(2), Random(2));
          std::map<WideString, TModelRow> byId;
          for (const TModelRow& r : rows) byId[AnsiToWide(std::to_string(r.Id))] = r;
          for (Integer i = 0; i < n; ++i) rows[i] = byId.at(idOf(i));
          sorted = true;
        }
        break;
      case 10:
        if (columns && n) {
          Integer r = Random(n);
          stamp(r, rows[r].Id);
          sorted = false;
        }
        break;
      case 11:
        if (columns > 1) {
          Integer from = 1 + Random(columns - 1), to = 1 + Random(columns - 1);
          store.MoveColumn(from, to);
          std::swap(host.Columns[from], host.Columns[to]);
        }
        break;
    }
    check(name);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(CellStoreTest, VisibleRowCountCountsRowsBothVisibleAndShown) {
  TFakeCellsHost host;
  TCells store(&host);
  host.AddColumn(store, ckString);
  store.AddRows(3);
  store.SetRowVisible(1, false);
  store.SetRowVisible(1, false);
  EXPECT_EQ(store.VisibleRowCount(), 2) << "twice lowers it once";
  store.SetRowShown(1, false);
  EXPECT_EQ(store.VisibleRowCount(), 2) << "collapsing the parent of a hidden row";
  store.SetRowShown(1, true);
  EXPECT_EQ(store.VisibleRowCount(), 2) << "expanding the parent of a hidden row";
  store.SetRowVisible(1, true);
  EXPECT_EQ(store.VisibleRowCount(), 3);
  store.GetRow(0)->Expanded = false;
  store.AddChildRow(0, 1);
  EXPECT_EQ(store.RowCount(), 4);
  EXPECT_EQ(store.VisibleRowCount(), 3) << "a child of a collapsed row is not shown";
  EXPECT_EQ(store.GetRow(1)->Level, 1);
  EXPECT_EQ(store.GetRow(1)->ParentRow, store.GetRow(0));
  EXPECT_EQ(store.GetRow(0)->ChildCount, 1);
  store.DeleteRow(1);
  EXPECT_EQ(store.VisibleRowCount(), 3);
}

TEST(CellStoreTest, TreeCountsWalkTheFollowingDeeperRows) {
  TFakeCellsHost host;
  TCells store(&host);
  host.AddColumn(store, ckString);
  store.AddRows(2);
  store.AddChildRow(0, 1);  // 0 > 1
  store.AddChildRow(1, 2);  // 1 > 2
  store.AddChildRow(0, 3);  // 0 > 3
  EXPECT_EQ(store.DescendantCount(0), 3);
  EXPECT_EQ(store.ChildCount(0), 2);
  EXPECT_EQ(store.DescendantCount(1), 1);
  EXPECT_EQ(store.DescendantCount(4), 0);
  EXPECT_EQ(store.IndexOfRow(store.GetRow(3)), 3);
  EXPECT_EQ(store.IndexOfRow(nullptr), -1);
}

TEST(CellStoreTest, ColumnsChangedDispatchesOnTheLowSevenBits) {
  TFakeCellsHost host;
  TCells store(&host);
  host.Columns.push_back({ckString, {}, 0, 0, nullptr});
  store.ColumnsChanged(0x80, -1, -1);  // add
  host.Columns.push_back({ckInteger, {}, 0, 0, nullptr});
  store.ColumnsChanged(0, -1, -1);
  store.AddRows(1);
  EXPECT_EQ(store.ColumnCount(), 2);
  store.ColumnsChanged(4, 0, 1);  // move
  EXPECT_EQ(store.GetCell(0, 0)->ClassName(), "TIntegerCell");
  store.ColumnsChanged(9, 0, 0);  // nothing
  EXPECT_EQ(store.ColumnCount(), 2);
  store.ColumnsChanged(1, 0, -1);  // delete
  EXPECT_EQ(store.ColumnCount(), 1);
  store.ColumnsChanged(2, -1, -1);  // clear
  EXPECT_EQ(store.ColumnCount(), 0);
  EXPECT_EQ(store.RowCount(), 0);
  EXPECT_EQ(store.VisibleRowCount(), 0);
}

TEST(CellStoreTest, ManyColumnsAreHeld) {
  TFakeCellsHost host;
  TCells store(&host);
  store.AddRows(0);
  for (int i = 0; i < 1100; ++i) host.AddColumn(store, ckInteger);
  store.AddRows(2);
  store.GetCell(1099, 1)->SetAsInteger(7);
  EXPECT_EQ(store.GetCell(1099, 1)->AsInteger(), 7);
  EXPECT_THROW(store.GetCell(1100, 0), EListError);
}

TEST(CellPool, CellsMadeOnOneThreadMayBeFreedOnAnotherAndMadeAgain) {
  // Each thread carves cells from pools of its own; a store filled on one
  // thread and emptied on another hands its cells to that one's pools.
  TFakeCellsHost Host;
  auto Store = std::make_unique<TCells>(&Host);
  Host.AddColumn(*Store, ckString);
  Host.AddColumn(*Store, ckDateTime);
  std::thread Filler([&] {
    Store->AddRows(5000);
    for (Integer r = 0; r < Store->RowCount(); ++r) Store->GetCell(0, r)->SetAsString(u"made on the filler");
  });
  Filler.join();
  EXPECT_EQ(WideToAnsi(Store->GetCell(0, 4999)->AsString()), "made on the filler");
  Store->ClearRows();
  Store->AddRows(6000);
  Store->GetCell(0, 5999)->SetAsString(u"made again");
  EXPECT_EQ(WideToAnsi(Store->GetCell(0, 5999)->AsString()), "made again");
  EXPECT_EQ(Store->GetCell(1, 0)->AsDateTime(), 0);
  std::thread Emptier([&] { Store.reset(); });
  Emptier.join();
}

}  // namespace
