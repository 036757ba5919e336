// A grid stand-in for columns and their collection: fixed metrics, its
// own font, and a record of every change and repaint the columns report.
#pragma once

#include <memory>
#include <tuple>
#include <vector>

#include "grid/nx_column_classes.h"
#include "grid/nx_column_collection.h"
#include "platform/forms/graphics.h"

class TFakeGrid : public TComponent, public TNxColumnsGrid {
  RTL_CLASS(TFakeGrid, TComponent)

 public:
  using TChange = std::tuple<TNxCustomColumn*, Integer, Integer>;

  explicit TFakeGrid(TComponent* AOwner = nullptr) : TComponent(AOwner) {
    FColumns = new TNxColumns(this, this);
    FColumns->OnColumnChange = [this](TObject*, TNxCustomColumn* c, Integer k, Integer v) {
      Changes.emplace_back(c, k, v);
    };
    FColumns->OnDataNotify = [this](TObject*, Integer k, Integer i, Integer) { DataNotes.emplace_back(k, i); };
    FColumns->OnLayoutChange = [this](TObject*, Integer k, Integer i, Integer) { LayoutNotes.emplace_back(k, i); };
    Font.SetName("Liberation Serif");
    Font.SetHeight(-15);
  }
  ~TFakeGrid() override {
    Destroying();
    FColumns->OnColumnChange = nullptr;
    FColumns->OnDataNotify = nullptr;
    FColumns->OnLayoutChange = nullptr;
    delete FColumns;
    FColumns = nullptr;
  }

  TNxColumns* FColumns;
  TFont Font;
  Integer ClientWidth = 301;
  Integer BodyLeft = 0;
  bool ShowIndicator = false;
  Integer ScrollPos = 0;
  std::vector<TChange> Changes;
  std::vector<std::pair<Integer, Integer>> DataNotes, LayoutNotes;
  std::vector<std::pair<TNxCustomColumn*, Integer>> Refreshes;

  TNxColumns* GridColumns() const override { return FColumns; }
  bool GridLoading() const override {
    return ComponentState().Contains(csReading) || ComponentState().Contains(csLoading);
  }
  bool GridDestroying() const override { return ComponentState().Contains(csDestroying); }
  bool GridDesigning() const override { return ComponentState().Contains(csDesigning); }
  Integer GridUsableWidth() const override { return ClientWidth - (ShowIndicator ? 12 : 0); }
  Integer GridBodyLeft() const override { return BodyLeft + (ShowIndicator ? 12 : 0); }
  bool GridShowIndicator() const override { return ShowIndicator; }
  Integer GridHorzScrollPos() const override { return ScrollPos; }
  TNxCustomColumn* GridPressedColumn() const override { return nullptr; }
  TNxCustomColumn* GridHotColumn() const override { return nullptr; }
  Integer GridSelectedColumn() const override { return 0; }
  TFont* GridFont() const override { return const_cast<TFont*>(&Font); }
  TCanvas* GridCanvas() const override { return nullptr; }
  TRect GridFooterRect() const override { return TRect(0, 200, 300, 220); }
  TRect GridHeaderRect() const override { return TRect(0, 0, 300, 18); }
  TRect GridInputLineRect() const override { return TRect(0, 18, 300, 40); }
  void GridRefreshColumn(TNxCustomColumn* Column, Integer Area) override { Refreshes.emplace_back(Column, Area); }
  void GridSetIndicatorChange(const TNotifyEvent& OnChange) override { IndicatorChange = OnChange; }
  TNotifyEvent IndicatorChange;
  // Shows or hides the indicator as the grid does.
  void SetShowIndicator(bool Value) {
    ShowIndicator = Value;
    if (IndicatorChange) IndicatorChange(this);
  }

  void GetChildren(const TGetChildProc& Proc, TComponent*) override {
    for (Integer i = 0; i < FColumns->Count(); ++i) Proc(FColumns->Items(i));
  }

  template <class C = TNxTextColumn>
  C* AddColumn(Integer Width = 80, const char* Name = "") {
    auto* c = new C(this);
    if (*Name) c->SetName(Name);
    c->SetWidth(Width);
    FColumns->Add(c);
    return c;
  }
  void ClearRecords() {
    Changes.clear();
    DataNotes.clear();
    LayoutNotes.clear();
    Refreshes.clear();
  }
};
