// The grid's cell store: rows of typed cells, one list of cells per
// column, the rows' tree and visibility flags, and sorting by one column.
// The store knows nothing of painting; what it needs of the grid and its
// columns it asks through TCellsHost.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"
#include "platform/win/kernel/objidl.h"

class TCells;

// Which cell class a column's cells get.
using TCellKind = Byte;
constexpr TCellKind ckIncrement = 0;
constexpr TCellKind ckBoolean = 1;
constexpr TCellKind ckDateTime = 3;
constexpr TCellKind ckFloat = 4;
constexpr TCellKind ckObject = 5;
constexpr TCellKind ckGuid = 6;
constexpr TCellKind ckInteger = 7;
constexpr TCellKind ckString = 8;
constexpr TCellKind ckVirtual = 11;

RTL_ENUM(TSortType, stAlphabetic, stBoolean, stCaseInsensitive, stCustom, stNumeric, stDate, stIP,
         stUnicodeAlphabetic)
RTL_ENUM(TSortKind, skAscending, skDescending)

// What the store asks of its grid and the grid's columns. Columns are
// handed back as the opaque object the host gave in TCellColumnInfo.
struct TCellColumnInfo {
  TCellKind Kind = ckString;
  TFontStyles FontStyle;
  TColor FontColor = clWindowText;
  TColor Color = clWindow;
  TObject* Column = nullptr;
};

class TCellsHost {
 public:
  virtual Integer CellColumnCount() const = 0;
  virtual TCellColumnInfo CellColumnInfo(Integer Index) const = 0;
  // The effective colours of the cell at (ACol, ARow).
  virtual TColor CellDisplayColor(Integer ACol, Integer ARow) const = 0;
  virtual TColor CellDisplayFontColor(Integer ACol, Integer ARow) const = 0;
  // The text of a virtual cell, kept by its column.
  virtual WideString GetVirtualCellText(TObject* Column, Integer ACol, Integer ARow) const = 0;
  virtual void SetVirtualCellText(TObject* Column, Integer ACol, Integer ARow, const WideString& Value) = 0;

 protected:
  ~TCellsHost() = default;
};

// ---- Cells ---------------------------------------------------------------------

class TCell : public TObject {
  RTL_CLASS(TCell, TObject)
  static constexpr Byte kHidden = 1;
  static constexpr Byte kUpdating = 2;

  TCells* FOwner;
  void* FObjectReference = nullptr;
  TFontStyles FFontStyle;
  TColor FColor = 0;
  WideString FHint;
  TColor FFontColor = 0;
  Byte FFlags = kUpdating;

 public:
  explicit TCell(TCells* Owner) : FOwner(Owner) {}
  // Cells come from a pool of their own: a store makes them by the
  // hundred thousand, and the general heap is slow at that.
  static void* operator new(std::size_t Size);
  static void operator delete(void* P, std::size_t Size);

  TCells* Owner() const { return FOwner; }
  // The store's current position: meaningful for the cell just looked up.
  Integer ColIndex() const;
  Integer RowIndex() const;

  virtual TColor GetDisplayColor();
  virtual TColor GetDisplayFontColor();
  virtual bool GetAsBoolean() = 0;
  virtual TDateTime GetAsDateTime() = 0;
  virtual double GetAsFloat() = 0;
  virtual Integer GetAsInteger() = 0;
  virtual WideString GetAsString() = 0;
  virtual void Changed();
  virtual void SetAsBoolean(bool Value);
  virtual void SetAsDateTime(TDateTime Value);
  virtual void SetAsFloat(double Value);
  virtual void SetAsInteger(Integer Value);
  virtual void SetAsString(const WideString& Value);
  // SetAsString for a text the caller no longer needs; a string cell takes
  // it over without a copy.
  virtual void MoveAsString(WideString&& Value) { SetAsString(Value); }
  virtual void Clear();

  bool AsBoolean() { return GetAsBoolean(); }
  TDateTime AsDateTime() { return GetAsDateTime(); }
  double AsFloat() { return GetAsFloat(); }
  Integer AsInteger() { return GetAsInteger(); }
  WideString AsString() { return GetAsString(); }

  void* ObjectReference() const { return FObjectReference; }
  void SetObjectReference(void* Value) { FObjectReference = Value; }
  TFontStyles FontStyle() const { return FFontStyle; }
  void SetFontStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor Value);
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& Value) { FHint = Value; }
  bool Hidden() const { return FFlags & kHidden; }
  void SetHidden(bool Value) { FFlags = Value ? FFlags | kHidden : FFlags & ~kHidden; }
  // While set, the three attribute setters do not notify.
  bool Updating() const { return FFlags & kUpdating; }
  void SetUpdating(bool Value) { FFlags = Value ? FFlags | kUpdating : FFlags & ~kUpdating; }
};

class TBooleanCell : public TCell {
  RTL_CLASS(TBooleanCell, TCell)
  bool FValue = false;

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  WideString GetAsString() override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(Integer Value) override;
  void SetAsString(const WideString& Value) override;
  void Clear() override;
};

class TDateTimeCell : public TCell {
  RTL_CLASS(TDateTimeCell, TCell)
  TDateTime FValue = 0;

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  WideString GetAsString() override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(Integer Value) override;
  void SetAsString(const WideString& Value) override;
  void Clear() override;
};

class TFloatCell : public TCell {
  RTL_CLASS(TFloatCell, TCell)
  double FValue = 0;

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  WideString GetAsString() override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(Integer Value) override;
  void SetAsString(const WideString& Value) override;
  void Clear() override;
};

class TIntegerCell : public TCell {
  RTL_CLASS(TIntegerCell, TCell)
  Integer FValue = 0;

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  WideString GetAsString() override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(Integer Value) override;
  void SetAsString(const WideString& Value) override;
  void Clear() override;
};

// Reads its text as the other kinds; the typed getters parse it.
class TStringCell : public TCell {
  RTL_CLASS(TStringCell, TCell)
  WideString FValue;

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  WideString GetAsString() override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(Integer Value) override;
  void SetAsString(const WideString& Value) override;
  void MoveAsString(WideString&& Value) override;
  void Clear() override;
};

// The row number (current row + 1); stores nothing.
class TIncrementCell : public TCell {
  RTL_CLASS(TIncrementCell, TCell)

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  WideString GetAsString() override;
  void Clear() override;
};

// A cell whose value is a text: the typed getters parse it and the typed
// setters store their text form through SetAsString.
class TTextFormCell : public TCell {
  RTL_CLASS(TTextFormCell, TCell)

 public:
  using TCell::TCell;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  double GetAsFloat() override;
  Integer GetAsInteger() override;
  void SetAsBoolean(bool Value) override;
  void SetAsDateTime(TDateTime Value) override;
  void SetAsFloat(double Value) override;
  void SetAsInteger(Integer Value) override;
};

// A new GUID at creation; text in the braced upper-case form.
class TGuidCell : public TTextFormCell {
  RTL_CLASS(TGuidCell, TTextFormCell)
  GUID FValue{};

 public:
  explicit TGuidCell(TCells* Owner);
  const GUID& Value() const { return FValue; }
  WideString GetAsString() override;
  void SetAsString(const WideString& Value) override;
};

// Reads and writes its text through its column.
class TVirtualCell : public TTextFormCell {
  RTL_CLASS(TVirtualCell, TTextFormCell)
  TObject* FColumn;

 public:
  TVirtualCell(TCells* Owner, TObject* Column) : TTextFormCell(Owner), FColumn(Column) {}
  TObject* Column() const { return FColumn; }
  WideString GetAsString() override;
  void SetAsString(const WideString& Value) override;
};

// ---- Rows ------------------------------------------------------------------------

class TRow {
 public:
  static void* operator new(std::size_t Size);
  static void operator delete(void* P, std::size_t Size);
  Integer ChildCount = 0;
  bool Expanded = true;
  Integer Tag = -1;
  Integer Level = 0;
  TRow* ParentRow = nullptr;
  Integer Height = 0;
  bool Selected = false;
  // Reachable through expanded ancestors.
  bool Shown = true;
  bool Visible = true;
};

// ---- The store -----------------------------------------------------------------------

using TCellChangeEvent = TClosure<void(TObject* Sender, Integer ACol, Integer ARow)>;
using TCellCompareEvent = TClosure<void(TObject* Sender, TCell* Cell1, TCell* Cell2, Integer& Compare)>;

class TCells : public TObject {
  RTL_CLASS(TCells, TObject)
  using TCellList = std::vector<std::unique_ptr<TCell>>;

  TCellsHost* FHost;
  std::vector<TCellList> FColumns;
  Integer FCurrentCol = 0;
  Integer FCurrentRow = 0;
  Integer FDefaultRowHeight = 16;
  std::vector<std::unique_ptr<TRow>> FRows;
  bool FSorted = false;
  Integer FSortedColumn = -1;
  bool FSortedDescending = false;
  Integer FVisibleRowCount = 0;

  void CheckCol(Integer ACol) const;
  void CheckRow(Integer ARow) const;
  std::unique_ptr<TCell> CreateCell(Integer Path, const TCellColumnInfo& Info);
  TCellList MakeColumnList(Integer Path, Integer Index);
  std::unique_ptr<TRow> NewRow() const;
  void ApplyOrder(const std::vector<Integer>& Order);

 public:
  explicit TCells(TCellsHost* Host);
  ~TCells() override;

  // Raises EListError for an index outside the store.
  TCell* GetCell(Integer ACol, Integer ARow);
  TRow* GetRow(Integer Index) const;
  Integer IndexOfRow(const TRow* Row) const;
  Integer DescendantCount(Integer Index) const;
  Integer ChildCount(Integer Index) const;

  // 0 AddColumn, 1 DeleteColumn(Index), 2 ClearColumns, 3
  // InsertColumn(Index), 4 MoveColumn(Index, ToIndex); other kinds do
  // nothing.
  void ColumnsChanged(Integer Kind, Integer Index, Integer ToIndex);
  void AddColumn();
  void InsertColumn(Integer Index);
  void DeleteColumn(Integer Index);
  void ClearColumns();
  void MoveColumn(Integer FromIndex, Integer ToIndex);

  void AddRows(Integer Count);
  void InsertRows(Integer Index, Integer Count);
  void AddChildRow(Integer ParentIndex, Integer AtIndex);
  // The parent's ChildCount and the row's descendants are the caller's.
  void DeleteRow(Integer Index);
  void ClearRows();
  void MoveRow(Integer FromIndex, Integer ToIndex);
  void ExchangeRows(Integer Index1, Integer Index2);
  void SetRowVisible(Integer Index, bool Value);
  void SetRowShown(Integer Index, bool Value);

  // Sorts every row by column ACol. A comparator that raises leaves the
  // rows and the sort state as they were.
  void Sort(Integer ACol, TSortType SortType, bool FullResort, bool Descending);
  // True when Y <= X, comparing the fourth number of the address first.
  static bool CompareIPText(const WideString& X, const WideString& Y);
  // The first four dot-separated numbers (0 where missing); raises
  // EConvertError for a part without digits or a number beyond 32 bits.
  static void ParseIPText(const WideString& Text, Integer (&Numbers)[4]);

  void CellChanged();
  void DoCompare(TCell* Cell1, TCell* Cell2, Integer& Compare);

  TCellsHost* Host() const { return FHost; }
  Integer ColumnCount() const { return static_cast<Integer>(FColumns.size()); }
  Integer RowCount() const { return static_cast<Integer>(FRows.size()); }
  // Rows that are both Visible and Shown.
  Integer VisibleRowCount() const { return FVisibleRowCount; }
  Integer CurrentCol() const { return FCurrentCol; }
  Integer CurrentRow() const { return FCurrentRow; }
  Integer DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(Integer Value) { FDefaultRowHeight = Value; }
  bool Sorted() const { return FSorted; }
  Integer SortedColumn() const { return FSortedColumn; }

  TCellChangeEvent OnCellChange;
  TCellCompareEvent OnCompare;
};
