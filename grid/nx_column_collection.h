// The grid's column collection: the columns in the order they joined (the
// cell store keeps one cell list per index) and in screen order, their
// left offsets and visible indexes, the fixed columns' width, the
// auto-sized widths and the slide anchors.
#pragma once

#include <vector>

#include "grid/nx_columns.h"

using TColumnChangeEvent = TClosure<void(TObject* Sender, TNxCustomColumn* Column, Integer Kind, Integer Value)>;
// Kind 0: a column was added (Index -1); 1: removed (Index its former
// index). Extra is -1.
using TColumnsNotifyEvent = TClosure<void(TObject* Sender, Integer Kind, Integer Index, Integer Extra)>;

class TNxColumns : public TComponent {
  RTL_CLASS(TNxColumns, TComponent)
  TNxColumnsGrid* FGrid;
  Integer FFixedCols = 0;
  Integer FFixedWidth = 0;
  std::vector<TNxCustomColumn*> FItems;
  TNxCustomColumn* FLastAdded = nullptr;
  std::vector<TNxCustomColumn*> FPositions;

  Integer PositionOf(const TNxCustomColumn* Column) const;
  void IndicatorChanged(TObject* Sender);
  static bool Usable(const TNxCustomColumn* Column);

 public:
  // Owner is the grid's component; Grid what the collection asks of it.
  TNxColumns(TComponent* AOwner, TNxColumnsGrid* Grid);
  ~TNxColumns() override;

  TNxColumnsGrid* Grid() const { return FGrid; }
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raise EListError for an index outside the lists.
  TNxCustomColumn* Items(Integer Index) const;
  TNxCustomColumn* ByPosition(Integer Pos) const;
  Integer IndexOf(const TNxCustomColumn* Column) const;
  bool IsValidIndex(Integer Index) const { return Index >= 0 && Index < Count(); }
  Integer VisibleCount() const;
  // The widths of the visible columns.
  Integer TotalWidth() const;
  Integer FixedCols() const { return FFixedCols; }
  void SetFixedCols(Integer Value);
  Integer FixedWidth() const { return FFixedWidth; }
  TNxCustomColumn* LastAdded() const { return FLastAdded; }

  // Visible and enabled columns, in position order; null when none.
  TNxCustomColumn* FirstVisibleColumn() const;
  TNxCustomColumn* LastVisibleColumn() const;
  bool IsFirstVisibleColumn(const TNxCustomColumn* Column) const { return Column == FirstVisibleColumn(); }
  bool IsLastVisibleColumn(const TNxCustomColumn* Column) const { return Column == LastVisibleColumn(); }
  // The next or previous usable column from the column's place; the column
  // itself when there is none.
  TNxCustomColumn* NextVisibleColumn(TNxCustomColumn* Column) const;
  TNxCustomColumn* PriorVisibleColumn(TNxCustomColumn* Column) const;

  void Add(TNxCustomColumn* Column);
  void Remove(TNxCustomColumn* Column);
  void Move(Integer FromPos, Integer ToPos);
  // A column read from a form: it takes over an existing column of its
  // name, or joins the position list by its Position.
  void InsertLoaded(TNxCustomColumn* Column);
  // A column whose parent became the grid while the form is read.
  void AppendLoading(TNxCustomColumn* Column);

  void UpdatePositions(bool Renumber);
  void Recalculate() { UpdatePositions(false); }
  void UpdateFixedWidth();
  void AutoSizeColumns(TNxCustomColumn* FromColumn, bool Inclusive);
  void ApplySlideAnchors(Integer OldWidth, Integer NewWidth);
  void RefreshColumn(TNxCustomColumn* Column, Integer Area);
  void ColumnChanged(TNxCustomColumn* Column, Integer Kind, Integer Value);
  bool IsLoading() const;

  TColumnChangeEvent OnColumnChange;
  TColumnsNotifyEvent OnDataNotify;
  TColumnsNotifyEvent OnLayoutChange;
};
