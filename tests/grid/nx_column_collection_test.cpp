#include "grid/nx_column_collection.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "grid/nx_cells.h"
#include "tests/grid/columns_test_support.h"

namespace {

using TChange = TFakeGrid::TChange;

std::vector<Integer> Widths(TNxColumns* c) {
  std::vector<Integer> r;
  for (Integer p = 0; p < c->Count(); ++p) r.push_back(c->ByPosition(p)->Width());
  return r;
}

// Three columns of 100 that share the width once they are all there.
void AddAutoSized(TFakeGrid& grid) {
  grid.BeginLoading();
  for (int i = 0; i < 3; ++i) {
    auto* c = grid.AddColumn(100);
    c->SetOptions(c->Options() + coAutoSize);
  }
  grid.Loaded();
  grid.FColumns->AutoSizeColumns(nullptr, false);
}

TEST(ColumnCollectionTest, AutoSizedColumnsShareTheUsableWidthAndTheLastPixel) {
  TFakeGrid grid;
  AddAutoSized(grid);
  EXPECT_EQ(Widths(grid.FColumns), (std::vector<Integer>{100, 100, 101}));
  EXPECT_EQ(grid.FColumns->ByPosition(2)->Left(), 200);

  TFakeGrid indicator;
  indicator.ShowIndicator = true;
  AddAutoSized(indicator);
  EXPECT_EQ(Widths(indicator.FColumns), (std::vector<Integer>{96, 96, 97}));
  EXPECT_EQ(indicator.FColumns->ByPosition(0)->Left(), 12) << "the body starts after the indicator";
  indicator.SetShowIndicator(false);
  EXPECT_EQ(indicator.FColumns->ByPosition(0)->Left(), 0) << "the collection hears of the indicator";
  EXPECT_EQ(indicator.FColumns->ByPosition(1)->Left(), 96);
}

TEST(ColumnCollectionTest, WidthChangeRefitsTheAutoSizedColumnsAfterIt) {
  TFakeGrid grid;
  grid.ClientWidth = 400;
  auto* fixed = grid.AddColumn(100);
  grid.BeginLoading();
  auto* a = grid.AddColumn(100);
  auto* b = grid.AddColumn(100);
  a->SetOptions(a->Options() + coAutoSize);
  b->SetOptions(b->Options() + coAutoSize);
  grid.Loaded();
  fixed->SetWidth(200);
  EXPECT_EQ(a->Width() + b->Width(), 200) << "the rest of the client width";
  EXPECT_EQ(fixed->Width(), 200);
  a->SetMinWidth(150);
  fixed->SetWidth(300);
  EXPECT_EQ(a->Width(), 150) << "MinWidth holds through the clamping path";
}

TEST(ColumnCollectionTest, RemovingAndMovingRenumberPositions) {
  TFakeGrid grid;
  std::vector<TNxCustomColumn*> cols;
  for (int i = 0; i < 5; ++i) cols.push_back(grid.AddColumn(50));
  grid.ClearRecords();
  grid.FColumns->Move(3, 1);
  EXPECT_EQ(grid.FColumns->ByPosition(1), cols[3]);
  EXPECT_EQ(cols[3]->Position(), 1);
  EXPECT_EQ(cols[1]->Position(), 2);
  EXPECT_EQ(cols[2]->Position(), 3);
  EXPECT_EQ(grid.Changes, (std::vector<TChange>{{cols[3], 2, 3}}));
  EXPECT_EQ(cols[1]->Left(), 100);

  // The Position setter does the same and reports the move itself.
  grid.ClearRecords();
  cols[0]->SetPosition(4);
  EXPECT_EQ(grid.FColumns->ByPosition(4), cols[0]);
  EXPECT_EQ(cols[0]->Position(), 4);
  ASSERT_EQ(grid.Changes.size(), 2u);
  EXPECT_EQ(std::get<1>(grid.Changes[1]), 2);

  grid.ClearRecords();
  TNxCustomColumn* first = grid.FColumns->ByPosition(0);
  Integer index = first->Index();
  delete first;
  EXPECT_EQ(grid.FColumns->Count(), 4);
  for (Integer p = 0; p < 4; ++p) EXPECT_EQ(grid.FColumns->ByPosition(p)->Position(), p);
  EXPECT_EQ(grid.DataNotes, (std::vector<std::pair<Integer, Integer>>{{1, index}}));
  EXPECT_EQ(grid.LayoutNotes, (std::vector<std::pair<Integer, Integer>>{{1, index}}));
  EXPECT_THROW(grid.FColumns->ByPosition(4), EListError);
  EXPECT_THROW(grid.FColumns->Items(-1), EListError);
}

TEST(ColumnCollectionTest, HidingGivesVisibleIndexMinusOneAndShiftsTheRest) {
  TFakeGrid grid;
  auto* a = grid.AddColumn(50);
  auto* b = grid.AddColumn(60);
  auto* c = grid.AddColumn(70);
  EXPECT_EQ(c->Left(), 110);
  b->SetVisible(false);
  EXPECT_EQ(b->VisibleIndex(), -1);
  EXPECT_EQ(c->VisibleIndex(), 1);
  EXPECT_EQ(c->Left(), 50);
  EXPECT_EQ(grid.FColumns->VisibleCount(), 2);
  EXPECT_EQ(grid.FColumns->TotalWidth(), 120);
  EXPECT_EQ(grid.FColumns->NextVisibleColumn(a), c);
  EXPECT_EQ(grid.FColumns->PriorVisibleColumn(c), a);
  EXPECT_EQ(grid.FColumns->NextVisibleColumn(c), c) << "none after it";
  c->SetEnabled(false);
  EXPECT_EQ(grid.FColumns->LastVisibleColumn(), a);
  EXPECT_TRUE(a->IsFirstVisible());
  EXPECT_EQ(a->GetEdgeKind(), 1);
}

TEST(ColumnCollectionTest, FixedWidthCountsTheVisibleFixedColumns) {
  TFakeGrid grid;
  auto* a = grid.AddColumn(30);
  grid.AddColumn(40);
  grid.AddColumn(50);
  grid.FColumns->SetFixedCols(2);
  EXPECT_EQ(grid.FColumns->FixedWidth(), 70);
  a->SetVisible(false);
  EXPECT_EQ(grid.FColumns->FixedWidth(), 40);
  grid.FColumns->SetFixedCols(9);
  EXPECT_EQ(grid.FColumns->FixedWidth(), 90);
  // Fixed columns do not scroll.
  grid.ScrollPos = 25;
  grid.FColumns->SetFixedCols(2);
  EXPECT_EQ(grid.FColumns->ByPosition(1)->GetDrawLeft(), 0);
  EXPECT_EQ(grid.FColumns->ByPosition(2)->GetDrawLeft(), 40 - 25);
}

TEST(ColumnCollectionTest, SlideAnchorsMoveRightAnchoredCellsAndStretchBothAnchored) {
  TFakeGrid grid;
  auto* left = grid.AddColumn();
  auto* right = grid.AddColumn();
  auto* both = grid.AddColumn();
  right->SetSlideAnchors({akRight, akTop});
  both->SetSlideAnchors({akLeft, akRight});
  grid.FColumns->ApplySlideAnchors(500, 530);
  EXPECT_EQ(left->SlideBounds()->Left(), 8);
  EXPECT_EQ(right->SlideBounds()->Left(), 38);
  EXPECT_EQ(right->SlideBounds()->Width(), 80);
  EXPECT_EQ(both->SlideBounds()->Left(), 8);
  EXPECT_EQ(both->SlideBounds()->Width(), 110);
}

TEST(ColumnCollectionTest, LoadedColumnWithAKnownNameUpdatesThatColumn) {
  TFakeGrid grid;
  auto* a = grid.AddColumn(50, "colA");
  grid.AddColumn(60, "colB");
  TNxTextColumn loaded(nullptr);
  loaded.SetName("colA");
  loaded.SetTextBefore(u"new");
  loaded.SetWidth(99);
  grid.FColumns->AppendLoading(&loaded);
  grid.FColumns->InsertLoaded(&loaded);
  EXPECT_EQ(dynamic_cast<TNxTextColumn*>(a)->TextBefore(), u"new");
  EXPECT_EQ(a->Width(), 99);
  EXPECT_EQ(grid.FColumns->Count(), 2) << "listed once";
  Integer seen = 0;
  for (Integer p = 0; p < 2; ++p) seen += grid.FColumns->ByPosition(p) == &loaded;
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(loaded.Columns(), nullptr) << "the newcomer leaves the collection";
}

TEST(ColumnCollectionTest, LoadedColumnJoinsBeforeTheFirstLaterPosition) {
  TFakeGrid grid;
  auto* a = grid.AddColumn(50);
  auto* b = grid.AddColumn(50);
  auto* c = new TNxTextColumn(&grid);
  c->BeginLoading();
  c->SetPosition(1);
  grid.FColumns->AppendLoading(c);
  grid.FColumns->InsertLoaded(c);
  c->Loaded();
  EXPECT_EQ(grid.FColumns->ByPosition(0), a);
  EXPECT_EQ(grid.FColumns->ByPosition(1), b) << "equal positions keep the earlier first";
  EXPECT_EQ(grid.FColumns->ByPosition(2), c);
  EXPECT_EQ(c->Index(), 2);
}

TEST(ColumnCollectionTest, AddNotifiesAndTheCollectionFreesItsColumns) {
  auto* grid = new TFakeGrid;
  grid->AddColumn();
  EXPECT_EQ(grid->DataNotes, (std::vector<std::pair<Integer, Integer>>{{0, -1}}));
  EXPECT_EQ(grid->LayoutNotes, (std::vector<std::pair<Integer, Integer>>{{0, -1}}));
  EXPECT_EQ(grid->FColumns->LastAdded(), grid->FColumns->Items(0));
  grid->AddColumn();
  delete grid;  // the collection frees both columns; the sanitizers see any leak
}

}  // namespace

namespace {

TEST(ColumnGeometryTest, PartRectsEdgesAndSlideRect) {
  TFakeGrid grid;
  auto* a = grid.AddColumn(50);
  auto* b = grid.AddColumn(60);
  auto* c = grid.AddColumn(70);
  grid.ScrollPos = 10;
  TRect r(1, 2, 3, 4);
  b->GetPartRect(0, r);
  EXPECT_EQ(r, TRect(40, 204, 100, 220)) << "footer: 4 below its top";
  b->GetPartRect(1, r);
  EXPECT_EQ(r, TRect(40, 0, 100, 18)) << "header";
  b->GetPartRect(4, r);
  EXPECT_EQ(r, TRect(40, 18, 100, 34)) << "input line: 6 above its bottom";
  r = TRect(1, 2, 3, 4);
  b->GetPartRect(3, r);
  EXPECT_EQ(r, TRect(1, 2, 3, 4)) << "other areas leave it";
  EXPECT_EQ(a->GetEdgeKind(), 1);
  EXPECT_EQ(b->GetEdgeKind(), 2);
  EXPECT_EQ(c->GetEdgeKind(), 3);
  b->SetVisible(false);
  c->SetVisible(false);
  EXPECT_EQ(a->GetEdgeKind(), 0);
  EXPECT_TRUE(a->IsOnlyVisible());
  EXPECT_EQ(c->Index(), 2);
  EXPECT_TRUE(a->IsSelected()) << "the fake grid selects index 0";
  EXPECT_FALSE(c->IsSelected());
  c->SlideBounds()->SetLeft(136);
  c->SlideBounds()->SetWidth(464);
  EXPECT_EQ(c->GetSlideRect(), TRect(136, 8, 600, 24));
}

// The store's host over real columns: the kind and attributes come from
// the column, a virtual cell's text from the column's operations.
class TMemoColumn : public TNxTextColumn {
 public:
  using TNxTextColumn::TNxTextColumn;
  std::map<Integer, WideString> Texts;
  WideString GetVirtualCellText(Integer ARow) override { return Texts[ARow]; }
  void SetVirtualCellText(Integer ARow, const WideString& Value) override { Texts[ARow] = Value; }
};

class TColumnsCellsHost : public TCellsHost {
 public:
  TNxColumns* Columns;
  explicit TColumnsCellsHost(TNxColumns* C) : Columns(C) {}
  Integer CellColumnCount() const override { return Columns->Count(); }
  TCellColumnInfo CellColumnInfo(Integer Index) const override { return Columns->Items(Index)->CellColumnInfo(); }
  TColor CellDisplayColor(Integer ACol, Integer) const override { return Columns->Items(ACol)->Color(); }
  TColor CellDisplayFontColor(Integer ACol, Integer) const override { return Columns->Items(ACol)->Font()->Color(); }
  WideString GetVirtualCellText(TObject* Column, Integer, Integer ARow) const override {
    return static_cast<TNxCustomColumn*>(Column)->GetVirtualCellText(ARow);
  }
  void SetVirtualCellText(TObject* Column, Integer, Integer ARow, const WideString& Value) override {
    static_cast<TNxCustomColumn*>(Column)->SetVirtualCellText(ARow, Value);
  }
};

TEST(ColumnCellsTest, StoreCellsTakeTheColumnsKindAndAttributes) {
  TFakeGrid grid;
  TColumnsCellsHost host(grid.FColumns);
  TCells store(&host);
  auto* date = grid.AddColumn<TNxDateColumn>();
  date->SetColor(clYellow);
  date->Font()->SetStyle({fsBold});
  store.AddColumn();
  auto* memo = new TMemoColumn(&grid);
  memo->SetCellKind(ckVirtual);
  grid.FColumns->Add(memo);
  store.AddColumn();
  store.AddRows(2);
  TCell* cell = store.GetCell(0, 1);
  EXPECT_EQ(cell->ClassName(), "TDateTimeCell");
  EXPECT_EQ(cell->Color(), clYellow);
  EXPECT_TRUE(cell->FontStyle() == TFontStyles{fsBold});
  store.GetCell(1, 1)->SetAsInteger(42);
  EXPECT_EQ(memo->Texts[1], u"42");
  EXPECT_EQ(store.GetCell(1, 1)->AsString(), u"42");
  EXPECT_EQ(store.GetCell(1, 0)->AsString(), u"");
}

}  // namespace
