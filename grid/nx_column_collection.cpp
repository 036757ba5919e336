#include "grid/nx_column_collection.h"

#include <algorithm>

#include "platform/rtl/lists.h"

RTL_IMPLEMENT_CLASS(TNxColumns)

TNxColumns::TNxColumns(TComponent* AOwner, TNxColumnsGrid* Grid) : TComponent(AOwner), FGrid(Grid) {
  if (FGrid) FGrid->GridSetIndicatorChange(TNotifyEvent(this, &TNxColumns::IndicatorChanged));
}

void TNxColumns::IndicatorChanged(TObject*) { Recalculate(); }

TNxColumns::~TNxColumns() {
  if (FGrid) FGrid->GridSetIndicatorChange(nullptr);
  // Each column leaves the collection while it is freed.
  while (!FItems.empty()) delete FItems.back();
}

bool TNxColumns::Usable(const TNxCustomColumn* Column) { return Column->Visible() && Column->Enabled(); }

TNxCustomColumn* TNxColumns::Items(Integer Index) const {
  if (!IsValidIndex(Index)) TList::Error("List index out of bounds (%d)", Index);
  return FItems[Index];
}

TNxCustomColumn* TNxColumns::ByPosition(Integer Pos) const {
  if (Pos < 0 || Pos >= static_cast<Integer>(FPositions.size())) TList::Error("List index out of bounds (%d)", Pos);
  return FPositions[Pos];
}

Integer TNxColumns::IndexOf(const TNxCustomColumn* Column) const {
  auto it = std::find(FItems.begin(), FItems.end(), Column);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

Integer TNxColumns::PositionOf(const TNxCustomColumn* Column) const {
  auto it = std::find(FPositions.begin(), FPositions.end(), Column);
  return it == FPositions.end() ? -1 : static_cast<Integer>(it - FPositions.begin());
}

Integer TNxColumns::VisibleCount() const {
  return static_cast<Integer>(std::count_if(FItems.begin(), FItems.end(), [](auto* c) { return c->Visible(); }));
}

Integer TNxColumns::TotalWidth() const {
  Integer W = 0;
  for (auto* c : FItems)
    if (c->Visible()) W += c->Width();
  return W;
}

TNxCustomColumn* TNxColumns::FirstVisibleColumn() const {
  for (auto* c : FPositions)
    if (Usable(c)) return c;
  return nullptr;
}

TNxCustomColumn* TNxColumns::LastVisibleColumn() const {
  for (auto it = FPositions.rbegin(); it != FPositions.rend(); ++it)
    if (Usable(*it)) return *it;
  return nullptr;
}

TNxCustomColumn* TNxColumns::NextVisibleColumn(TNxCustomColumn* Column) const {
  Integer p = PositionOf(Column);
  if (p < 0) return Column;
  for (size_t i = static_cast<size_t>(p) + 1; i < FPositions.size(); ++i)
    if (Usable(FPositions[i])) return FPositions[i];
  return Column;
}

TNxCustomColumn* TNxColumns::PriorVisibleColumn(TNxCustomColumn* Column) const {
  Integer p = PositionOf(Column);
  for (Integer i = p - 1; i >= 0; --i)
    if (Usable(FPositions[i])) return FPositions[i];
  return Column;
}

bool TNxColumns::IsLoading() const { return FGrid && FGrid->GridLoading(); }

void TNxColumns::Add(TNxCustomColumn* Column) {
  Column->FColumns = this;
  FItems.push_back(Column);
  FPositions.push_back(Column);
  Column->FPosition = static_cast<Integer>(FPositions.size()) - 1;
  UpdatePositions(false);
  AutoSizeColumns(nullptr, false);
  FLastAdded = Column;
  if (OnDataNotify) OnDataNotify(this, 0, -1, -1);
  if (OnLayoutChange) OnLayoutChange(this, 0, -1, -1);
}

void TNxColumns::AppendLoading(TNxCustomColumn* Column) {
  if (IndexOf(Column) >= 0) return;
  Column->FColumns = this;
  FItems.push_back(Column);
  if (OnDataNotify) OnDataNotify(this, 0, -1, -1);
}

void TNxColumns::Remove(TNxCustomColumn* Column) {
  Integer Index = IndexOf(Column);
  if (Index >= 0) {
    FItems.erase(FItems.begin() + Index);
    if (OnDataNotify) OnDataNotify(this, 1, Index, -1);
  }
  if (Integer p = PositionOf(Column); p >= 0) FPositions.erase(FPositions.begin() + p);
  if (FLastAdded == Column) FLastAdded = nullptr;
  Column->FColumns = nullptr;
  if (FGrid && FGrid->GridDestroying()) return;
  UpdatePositions(true);
  AutoSizeColumns(nullptr, false);
  if (OnLayoutChange) OnLayoutChange(this, 1, Index, -1);
}

void TNxColumns::Move(Integer FromPos, Integer ToPos) {
  if (FromPos == ToPos) return;
  ByPosition(FromPos);
  ByPosition(ToPos);
  TNxCustomColumn* c = FPositions[FromPos];
  FPositions.erase(FPositions.begin() + FromPos);
  FPositions.insert(FPositions.begin() + ToPos, c);
  UpdatePositions(true);
  if (OnColumnChange) OnColumnChange(this, FPositions[ToPos], ckMoved, FromPos);
}

void TNxColumns::InsertLoaded(TNxCustomColumn* Column) {
  for (auto* c : FPositions) {
    if (c == Column) return;
    if (!Column->Name().empty() && c->Name() == Column->Name()) {
      // An inherited form's column: the existing one takes the new values,
      // and the newcomer leaves the index list it joined.
      c->Assign(Column);
      if (Integer i = IndexOf(Column); i >= 0) FItems.erase(FItems.begin() + i);
      // It belongs to no collection now, so it cannot reach this one after
      // the collection is gone.
      Column->FColumns = nullptr;
      return;
    }
  }
  auto at = std::find_if(FPositions.begin(), FPositions.end(),
                         [&](auto* c) { return c->Position() > Column->Position(); });
  FPositions.insert(at, Column);
}

void TNxColumns::UpdatePositions(bool Renumber) {
  UpdateFixedWidth();
  Integer X = FGrid ? FGrid->GridBodyLeft() : 0;
  Integer Visible = 0;
  for (size_t i = 0; i < FPositions.size(); ++i) {
    TNxCustomColumn* c = FPositions[i];
    if (c->Visible()) {
      c->FLeft = X;
      c->FVisibleIndex = Visible++;
      X += c->Width();
    } else {
      c->FVisibleIndex = -1;
    }
    if (Renumber) c->FPosition = static_cast<Integer>(i);
  }
}

void TNxColumns::UpdateFixedWidth() {
  Integer W = 0;
  for (Integer i = 0; i < FFixedCols && i < static_cast<Integer>(FPositions.size()); ++i)
    if (FPositions[i]->Visible()) W += FPositions[i]->Width();
  FFixedWidth = W;
}

void TNxColumns::SetFixedCols(Integer Value) {
  FFixedCols = Value;
  UpdatePositions(false);
}

void TNxColumns::AutoSizeColumns(TNxCustomColumn* FromColumn, bool Inclusive) {
  if (IsLoading() || !FGrid) return;
  const Integer I = FGrid->GridShowIndicator() ? 12 : 0;
  Integer Start = 0, Base = 0;
  if (FromColumn) {
    if (Inclusive) {
      Start = FromColumn->Position();
      Base = FromColumn->Left();
    } else {
      Start = FromColumn->Position() + 1;
      Base = FromColumn->Left() + (FromColumn->Visible() ? FromColumn->Width() : 0);
    }
    Base -= I;
  }
  Start = std::max(Start, 0);
  Integer Avail = FGrid->GridUsableWidth() - Base;
  Integer Fixed = 0, Auto = 0;
  for (size_t p = static_cast<size_t>(Start); p < FPositions.size(); ++p) {
    TNxCustomColumn* c = FPositions[p];
    if (!c->Visible()) continue;
    (c->Options().Contains(coAutoSize) ? Auto : Fixed) += c->Width();
  }
  Avail -= Fixed;
  double Carry = 0;
  TNxCustomColumn* LastPlain = nullptr;
  // Widths go through the clamping path: the Width setter would re-fit the
  // following columns and come back here.
  std::vector<std::pair<TNxCustomColumn*, Integer>> Shares;
  for (size_t p = static_cast<size_t>(Start); p < FPositions.size(); ++p) {
    TNxCustomColumn* c = FPositions[p];
    if (!c->Visible() || !c->Options().Contains(coAutoSize)) continue;
    double Share = Auto ? static_cast<double>(c->Width()) / Auto : 0;
    Shares.push_back({c, 0});
    double Exact = Avail * Share;
    auto W = static_cast<Integer>(Exact);
    Carry += Exact - W;
    if (Carry >= 1) {
      Shares.back().second = W + 1;
      Carry -= 1;
    } else {
      Shares.back().second = W;
      LastPlain = c;
    }
  }
  for (auto& [c, W] : Shares) c->SetClampedWidth(W);
  if (Carry > 0.001 && LastPlain) LastPlain->SetClampedWidth(LastPlain->RequestedWidth() + 1);
}

void TNxColumns::ApplySlideAnchors(Integer OldWidth, Integer NewWidth) {
  const Integer Delta = NewWidth - OldWidth;
  for (auto* c : FItems) {
    TAnchors a = c->SlideAnchors();
    if (!a.Contains(akRight)) continue;
    TNxSlideBounds* b = c->SlideBounds();
    if (a.Contains(akLeft))
      b->SetWidth(b->Width() + Delta);
    else
      b->SetLeft(b->Left() + Delta);
  }
}

void TNxColumns::RefreshColumn(TNxCustomColumn* Column, Integer Area) {
  if (FGrid) FGrid->GridRefreshColumn(Column, Area);
}

void TNxColumns::ColumnChanged(TNxCustomColumn* Column, Integer Kind, Integer Value) {
  if (OnColumnChange) OnColumnChange(this, Column, Kind, Value);
}
