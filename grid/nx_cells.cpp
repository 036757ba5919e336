#include "grid/nx_cells.h"

#include <algorithm>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_compare.h"
#include "platform/win/shell/ole_guid.h"
#include "platform/win/shell/shlobj.h"

RTL_IMPLEMENT_CLASS(TCell)
RTL_IMPLEMENT_CLASS(TBooleanCell)
RTL_IMPLEMENT_CLASS(TDateTimeCell)
RTL_IMPLEMENT_CLASS(TFloatCell)
RTL_IMPLEMENT_CLASS(TIntegerCell)
RTL_IMPLEMENT_CLASS(TStringCell)
RTL_IMPLEMENT_CLASS(TIncrementCell)
RTL_IMPLEMENT_CLASS(TTextFormCell)
RTL_IMPLEMENT_CLASS(TGuidCell)
RTL_IMPLEMENT_CLASS(TVirtualCell)
RTL_IMPLEMENT_CLASS(TCells)

namespace {

AnsiString ToAnsi(const WideString& s) { return WideToAnsi(s); }
WideString ToWide(const AnsiString& s) { return AnsiToWide(s); }

// A 64-bit result that must fit a cell's 32-bit integer.
Integer ToInteger(Int64 v) {
  if (v < INT32_MIN || v > INT32_MAX) throw EConvertError(Format("%d is not a valid integer value", {v}));
  return static_cast<Integer>(v);
}

// The parsing shared by the cells whose value is a text.
bool TextAsBoolean(const WideString& s) { return StrToBool(ToAnsi(s)); }
TDateTime TextAsDateTime(const WideString& s) { return s.empty() ? 0 : StrToDateTime(ToAnsi(s)); }
double TextAsFloat(const WideString& s) { return StrToFloat(ToAnsi(s)); }
Integer TextAsInteger(const WideString& s) { return StrToInt(ToAnsi(s)); }
WideString BooleanText(bool v) { return v ? u"True" : u"False"; }
WideString DateTimeText(TDateTime v) { return ToWide(DateTimeToStr(v)); }
WideString FloatText(double v) { return ToWide(FloatToStr(v)); }
WideString IntegerText(Integer v) { return ToWide(IntToStr(v)); }

// Creation paths, which choose different classes for some kinds.
enum { cpAdd, cpInsertRows, cpInsertColumn, cpAddChild };

}  // namespace

// ---- TCell ------------------------------------------------------------------------

Integer TCell::ColIndex() const { return FOwner->CurrentCol(); }
Integer TCell::RowIndex() const { return FOwner->CurrentRow(); }

TColor TCell::GetDisplayColor() { return FOwner->Host()->CellDisplayColor(ColIndex(), RowIndex()); }
TColor TCell::GetDisplayFontColor() { return FOwner->Host()->CellDisplayFontColor(ColIndex(), RowIndex()); }

void TCell::Changed() { FOwner->CellChanged(); }
void TCell::SetAsBoolean(bool) { Changed(); }
void TCell::SetAsDateTime(TDateTime) { Changed(); }
void TCell::SetAsFloat(double) { Changed(); }
void TCell::SetAsInteger(Integer) { Changed(); }
void TCell::SetAsString(const WideString&) { Changed(); }
void TCell::Clear() { Changed(); }

void TCell::SetFontStyle(TFontStyles Value) {
  FFontStyle = Value;
  if (!Updating()) Changed();
}

void TCell::SetColor(TColor Value) {
  FColor = Value;
  if (!Updating()) Changed();
}

void TCell::SetFontColor(TColor Value) {
  FFontColor = Value;
  if (!Updating()) Changed();
}

// ---- TBooleanCell ---------------------------------------------------------------------

bool TBooleanCell::GetAsBoolean() { return FValue; }
TDateTime TBooleanCell::GetAsDateTime() { return 0; }
double TBooleanCell::GetAsFloat() { return FValue ? 1 : 0; }
Integer TBooleanCell::GetAsInteger() { return FValue ? 1 : 0; }
WideString TBooleanCell::GetAsString() { return BooleanText(FValue); }

void TBooleanCell::SetAsBoolean(bool Value) {
  FValue = Value;
  Changed();
}

void TBooleanCell::SetAsDateTime(TDateTime Value) {
  FValue = Value != 0;
  Changed();
}

void TBooleanCell::SetAsFloat(double Value) {
  FValue = Value != 0;
  Changed();
}

void TBooleanCell::SetAsInteger(Integer Value) {
  FValue = Value != 0;
  Changed();
}

void TBooleanCell::SetAsString(const WideString& Value) {
  FValue = Value == u"1" || LowerCase(ToAnsi(Value)) == "true";
  Changed();
}

void TBooleanCell::Clear() {
  FValue = false;
  Changed();
}

// ---- TDateTimeCell --------------------------------------------------------------------

bool TDateTimeCell::GetAsBoolean() { return false; }
TDateTime TDateTimeCell::GetAsDateTime() { return FValue; }
double TDateTimeCell::GetAsFloat() { return FValue; }
Integer TDateTimeCell::GetAsInteger() { return ToInteger(Trunc(FValue)); }
WideString TDateTimeCell::GetAsString() { return DateTimeText(FValue); }

void TDateTimeCell::SetAsBoolean(bool Value) {
  FValue = Value ? 1 : 0;
  Changed();
}

void TDateTimeCell::SetAsDateTime(TDateTime Value) {
  FValue = Value;
  Changed();
}

void TDateTimeCell::SetAsFloat(double Value) {
  FValue = Value;
  Changed();
}

void TDateTimeCell::SetAsInteger(Integer Value) {
  FValue = Value;
  Changed();
}

void TDateTimeCell::SetAsString(const WideString& Value) {
  // A text that is no date raises, as every other typed cell does, rather
  // than storing 0 in silence.
  FValue = TextAsDateTime(Value);
  Changed();
}

void TDateTimeCell::Clear() {
  FValue = 0;
  Changed();
}

// ---- TFloatCell -----------------------------------------------------------------------

bool TFloatCell::GetAsBoolean() { return false; }
TDateTime TFloatCell::GetAsDateTime() { return FValue; }
double TFloatCell::GetAsFloat() { return FValue; }
Integer TFloatCell::GetAsInteger() { return ToInteger(Round(FValue)); }
WideString TFloatCell::GetAsString() { return FloatText(FValue); }

void TFloatCell::SetAsBoolean(bool Value) {
  FValue = Value ? 1 : 0;
  Changed();
}

void TFloatCell::SetAsDateTime(TDateTime Value) {
  FValue = Value;
  Changed();
}

void TFloatCell::SetAsFloat(double Value) {
  FValue = Value;
  Changed();
}

void TFloatCell::SetAsInteger(Integer Value) {
  FValue = Value;
  Changed();
}

void TFloatCell::SetAsString(const WideString& Value) {
  FValue = TextAsFloat(Value);
  Changed();
}

void TFloatCell::Clear() {
  FValue = 0;
  Changed();
}

// ---- TIntegerCell ---------------------------------------------------------------------

bool TIntegerCell::GetAsBoolean() { return FValue > 0; }
TDateTime TIntegerCell::GetAsDateTime() { return 0; }
double TIntegerCell::GetAsFloat() { return FValue; }
Integer TIntegerCell::GetAsInteger() { return FValue; }
WideString TIntegerCell::GetAsString() { return IntegerText(FValue); }

void TIntegerCell::SetAsBoolean(bool Value) {
  FValue = Value ? 1 : 0;
  Changed();
}

void TIntegerCell::SetAsDateTime(TDateTime Value) {
  FValue = ToInteger(Trunc(Value));
  Changed();
}

void TIntegerCell::SetAsFloat(double Value) {
  FValue = ToInteger(Round(Value));
  Changed();
}

void TIntegerCell::SetAsInteger(Integer Value) {
  FValue = Value;
  Changed();
}

void TIntegerCell::SetAsString(const WideString& Value) {
  FValue = Value.empty() ? 0 : TextAsInteger(Value);
  Changed();
}

void TIntegerCell::Clear() {
  FValue = 0;
  Changed();
}

// ---- TStringCell ----------------------------------------------------------------------

bool TStringCell::GetAsBoolean() { return TextAsBoolean(FValue); }
TDateTime TStringCell::GetAsDateTime() { return TextAsDateTime(FValue); }
double TStringCell::GetAsFloat() { return TextAsFloat(FValue); }
Integer TStringCell::GetAsInteger() { return TextAsInteger(FValue); }
WideString TStringCell::GetAsString() { return FValue; }

void TStringCell::SetAsBoolean(bool Value) {
  FValue = BooleanText(Value);
  Changed();
}

void TStringCell::SetAsDateTime(TDateTime Value) {
  FValue = DateTimeText(Value);
  Changed();
}

void TStringCell::SetAsFloat(double Value) {
  FValue = FloatText(Value);
  Changed();
}

void TStringCell::SetAsInteger(Integer Value) {
  FValue = IntegerText(Value);
  Changed();
}

void TStringCell::SetAsString(const WideString& Value) {
  FValue = Value;
  Changed();
}

void TStringCell::MoveAsString(WideString&& Value) {
  FValue = std::move(Value);
  Changed();
}

void TStringCell::Clear() {
  FValue.clear();
  Changed();
}

// ---- TIncrementCell -------------------------------------------------------------------

bool TIncrementCell::GetAsBoolean() { return false; }
TDateTime TIncrementCell::GetAsDateTime() { return 0; }
double TIncrementCell::GetAsFloat() { return RowIndex() + 1; }
Integer TIncrementCell::GetAsInteger() { return RowIndex() + 1; }
WideString TIncrementCell::GetAsString() { return IntegerText(RowIndex() + 1); }
void TIncrementCell::Clear() {}

// ---- Text-valued cells ---------------------------------------------------------------------

bool TTextFormCell::GetAsBoolean() { return TextAsBoolean(GetAsString()); }
TDateTime TTextFormCell::GetAsDateTime() { return TextAsDateTime(GetAsString()); }
double TTextFormCell::GetAsFloat() { return TextAsFloat(GetAsString()); }
Integer TTextFormCell::GetAsInteger() { return TextAsInteger(GetAsString()); }
void TTextFormCell::SetAsBoolean(bool Value) { SetAsString(BooleanText(Value)); }
void TTextFormCell::SetAsDateTime(TDateTime Value) { SetAsString(DateTimeText(Value)); }
void TTextFormCell::SetAsFloat(double Value) { SetAsString(FloatText(Value)); }
void TTextFormCell::SetAsInteger(Integer Value) { SetAsString(IntegerText(Value)); }

TGuidCell::TGuidCell(TCells* Owner) : TTextFormCell(Owner) { CoCreateGuid(&FValue); }

WideString TGuidCell::GetAsString() {
  LPOLESTR Text = nullptr;
  if (FAILED(StringFromCLSID(FValue, &Text))) throw EOutOfMemory("Out of memory");
  WideString Result(Text);
  CoTaskMemFree(Text);
  return Result;
}

void TGuidCell::SetAsString(const WideString& Value) {
  GUID Parsed;
  if (FAILED(CLSIDFromString(Value.c_str(), &Parsed)))
    throw EConvertError(Format("'%s' is not a valid GUID value", {ToAnsi(Value)}));
  FValue = Parsed;
  Changed();
}

WideString TVirtualCell::GetAsString() {
  return Owner()->Host()->GetVirtualCellText(FColumn, ColIndex(), RowIndex());
}

void TVirtualCell::SetAsString(const WideString& Value) {
  Owner()->Host()->SetVirtualCellText(FColumn, ColIndex(), RowIndex(), Value);
  Changed();
}

// ---- TCells -------------------------------------------------------------------------------

TCells::TCells(TCellsHost* Host) : FHost(Host) {}

TCells::~TCells() {
  ClearRows();
  ClearColumns();
}

void TCells::CheckCol(Integer ACol) const {
  if (ACol < 0 || ACol >= ColumnCount()) TList::Error("List index out of bounds (%d)", ACol);
}

void TCells::CheckRow(Integer ARow) const {
  if (ARow < 0 || ARow >= RowCount()) TList::Error("List index out of bounds (%d)", ARow);
}

std::unique_ptr<TCell> TCells::CreateCell(Integer Path, const TCellColumnInfo& Info) {
  std::unique_ptr<TCell> Cell;
  switch (Info.Kind) {
    case ckIncrement:
      if (Path == cpInsertRows || Path == cpInsertColumn)
        Cell = std::make_unique<TIntegerCell>(this);
      else
        Cell = std::make_unique<TIncrementCell>(this);
      break;
    case ckBoolean: Cell = std::make_unique<TBooleanCell>(this); break;
    case ckDateTime: Cell = std::make_unique<TDateTimeCell>(this); break;
    case ckFloat: Cell = std::make_unique<TFloatCell>(this); break;
    case ckGuid:
      if (Path == cpAdd || Path == cpInsertColumn)
        Cell = std::make_unique<TGuidCell>(this);
      else
        Cell = std::make_unique<TStringCell>(this);
      break;
    case ckInteger: Cell = std::make_unique<TIntegerCell>(this); break;
    case ckVirtual: Cell = std::make_unique<TVirtualCell>(this, Info.Column); break;
    default: Cell = std::make_unique<TStringCell>(this); break;
  }
  Cell->SetFontStyle(Info.FontStyle);
  if (Path != cpAddChild) Cell->SetFontColor(Info.FontColor);
  Cell->SetColor(Info.Color);
  Cell->SetUpdating(false);
  return Cell;
}

TCells::TCellList TCells::MakeColumnList(Integer Path, Integer Index) {
  TCellColumnInfo Info = FHost->CellColumnInfo(Index);
  TCellList List;
  List.reserve(FRows.size());
  for (size_t i = 0; i < FRows.size(); ++i) List.push_back(CreateCell(Path, Info));
  return List;
}

std::unique_ptr<TRow> TCells::NewRow() const {
  auto Row = std::make_unique<TRow>();
  Row->Height = FDefaultRowHeight;
  return Row;
}

TCell* TCells::GetCell(Integer ACol, Integer ARow) {
  CheckCol(ACol);
  CheckRow(ARow);
  FCurrentCol = ACol;
  FCurrentRow = ARow;
  return FColumns[ACol][ARow].get();
}

TRow* TCells::GetRow(Integer Index) const {
  CheckRow(Index);
  return FRows[Index].get();
}

Integer TCells::IndexOfRow(const TRow* Row) const {
  for (size_t i = 0; i < FRows.size(); ++i)
    if (FRows[i].get() == Row) return static_cast<Integer>(i);
  return -1;
}

Integer TCells::DescendantCount(Integer Index) const {
  Integer Level = GetRow(Index)->Level;
  Integer Result = 0;
  for (Integer i = Index + 1; i < RowCount() && FRows[i]->Level > Level; ++i) ++Result;
  return Result;
}

Integer TCells::ChildCount(Integer Index) const {
  Integer Level = GetRow(Index)->Level;
  Integer Result = 0;
  for (Integer i = Index + 1; i < RowCount() && FRows[i]->Level > Level; ++i)
    if (FRows[i]->Level == Level + 1) ++Result;
  return Result;
}

void TCells::ColumnsChanged(Integer Kind, Integer Index, Integer ToIndex) {
  switch (Kind & 0x7F) {
    case 0: AddColumn(); break;
    case 1: DeleteColumn(Index); break;
    case 2: ClearColumns(); break;
    case 3: InsertColumn(Index); break;
    case 4: MoveColumn(Index, ToIndex); break;
    default: break;
  }
}

void TCells::AddColumn() {
  FColumns.push_back(MakeColumnList(cpAdd, FHost->CellColumnCount() - 1));
}

void TCells::InsertColumn(Integer Index) {
  if (Index < 0 || Index > ColumnCount()) TList::Error("List index out of bounds (%d)", Index);
  FColumns.insert(FColumns.begin() + Index, MakeColumnList(cpInsertColumn, Index));
  FSorted = false;
}

void TCells::DeleteColumn(Integer Index) {
  CheckCol(Index);
  FColumns.erase(FColumns.begin() + Index);
  if (FColumns.empty()) {
    FRows.clear();
    FVisibleRowCount = 0;
  }
}

void TCells::ClearColumns() {
  FColumns.clear();
  FRows.clear();
  FVisibleRowCount = 0;
}

void TCells::MoveColumn(Integer FromIndex, Integer ToIndex) {
  CheckCol(FromIndex);
  CheckCol(ToIndex);
  TCellList List = std::move(FColumns[FromIndex]);
  FColumns.erase(FColumns.begin() + FromIndex);
  FColumns.insert(FColumns.begin() + ToIndex, std::move(List));
}

void TCells::AddRows(Integer Count) {
  if (Count <= 0) {
    FSorted = false;
    return;
  }
  std::vector<TCellColumnInfo> Infos;
  Infos.reserve(ColumnCount());
  for (Integer c = 0; c < ColumnCount(); ++c) Infos.push_back(FHost->CellColumnInfo(c));
  // Growing by at least half keeps adding one row at a time linear: an
  // exact reservation would move every row on every add.
  auto Grow = [Count](auto& V) {
    const size_t Need = V.size() + static_cast<size_t>(Count);
    if (Need > V.capacity()) V.reserve(std::max(Need, V.capacity() + V.capacity() / 2));
  };
  Grow(FRows);
  for (auto& List : FColumns) Grow(List);
  // A column at a time: each list is written straight through. Rows come
  // whole or not at all, so that every column keeps as many cells as there
  // are rows.
  const size_t Old = FRows.size();
  try {
    for (Integer n = 0; n < Count; ++n) FRows.push_back(NewRow());
    for (Integer c = 0; c < ColumnCount(); ++c) {
      TCellList& List = FColumns[c];
      const TCellColumnInfo& Info = Infos[c];
      for (Integer n = 0; n < Count; ++n) List.push_back(CreateCell(cpAdd, Info));
    }
  } catch (...) {
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(Old), FRows.end());
    for (auto& List : FColumns)
      if (List.size() > Old) List.erase(List.begin() + static_cast<std::ptrdiff_t>(Old), List.end());
    throw;
  }
  FVisibleRowCount += Count;
  FSorted = false;
}

void TCells::InsertRows(Integer Index, Integer Count) {
  if (Index < 0 || Index > RowCount()) TList::Error("List index out of bounds (%d)", Index);
  for (Integer n = 0; n < Count; ++n) {
    for (Integer c = 0; c < ColumnCount(); ++c)
      FColumns[c].insert(FColumns[c].begin() + Index, CreateCell(cpInsertRows, FHost->CellColumnInfo(c)));
    FRows.insert(FRows.begin() + Index, NewRow());
    ++FVisibleRowCount;
  }
  FSorted = false;
}

void TCells::AddChildRow(Integer ParentIndex, Integer AtIndex) {
  CheckRow(ParentIndex);
  if (AtIndex < 0 || AtIndex > RowCount()) TList::Error("List index out of bounds (%d)", AtIndex);
  TRow* Parent = FRows[ParentIndex].get();
  auto Row = NewRow();
  Row->ParentRow = Parent;
  Row->Shown = Parent->Expanded && Parent->Shown;
  Row->Level = Parent->Level + 1;
  ++Parent->ChildCount;
  bool Counted = Row->Shown && Row->Visible;
  FRows.insert(FRows.begin() + AtIndex, std::move(Row));
  if (Counted) ++FVisibleRowCount;
  for (Integer c = 0; c < ColumnCount(); ++c)
    FColumns[c].insert(FColumns[c].begin() + AtIndex, CreateCell(cpAddChild, FHost->CellColumnInfo(c)));
}

void TCells::DeleteRow(Integer Index) {
  CheckRow(Index);
  for (auto& List : FColumns) List.erase(List.begin() + Index);
  if (FRows[Index]->Visible && FRows[Index]->Shown) --FVisibleRowCount;
  FRows.erase(FRows.begin() + Index);
}

void TCells::ClearRows() {
  for (auto& List : FColumns) List.clear();
  FRows.clear();
  FVisibleRowCount = 0;
  FSorted = false;
}

void TCells::MoveRow(Integer FromIndex, Integer ToIndex) {
  CheckRow(FromIndex);
  CheckRow(ToIndex);
  auto MoveIn = [&](auto& List) {
    auto Item = std::move(List[FromIndex]);
    List.erase(List.begin() + FromIndex);
    List.insert(List.begin() + ToIndex, std::move(Item));
  };
  MoveIn(FRows);
  for (auto& List : FColumns) MoveIn(List);
  FSorted = false;
}

void TCells::ExchangeRows(Integer Index1, Integer Index2) {
  CheckRow(Index1);
  CheckRow(Index2);
  std::swap(FRows[Index1], FRows[Index2]);
  for (auto& List : FColumns) std::swap(List[Index1], List[Index2]);
}

void TCells::SetRowVisible(Integer Index, bool Value) {
  TRow* Row = GetRow(Index);
  if (Row->Visible == Value) return;
  bool Was = Row->Visible && Row->Shown;
  Row->Visible = Value;
  bool Now = Row->Visible && Row->Shown;
  if (Now != Was) FVisibleRowCount += Now ? 1 : -1;
}

void TCells::SetRowShown(Integer Index, bool Value) {
  TRow* Row = GetRow(Index);
  if (Row->Shown == Value) return;
  bool Was = Row->Visible && Row->Shown;
  Row->Shown = Value;
  bool Now = Row->Visible && Row->Shown;
  if (Now != Was) FVisibleRowCount += Now ? 1 : -1;
}

void TCells::CellChanged() {
  if (OnCellChange) OnCellChange(this, FCurrentCol, FCurrentRow);
  FSorted = false;
}

void TCells::DoCompare(TCell* Cell1, TCell* Cell2, Integer& Compare) {
  if (OnCompare) OnCompare(this, Cell1, Cell2, Compare);
}

// ---- Sorting --------------------------------------------------------------------------------

void TCells::ParseIPText(const WideString& Text, Integer (&Numbers)[4]) {
  for (Integer& n : Numbers) n = 0;
  AnsiString Digits;
  int Count = 0;
  for (size_t i = 0; i < Text.size() && Count < 4; ++i) {
    char16_t c = Text[i];
    if (c >= u'0' && c <= u'9') Digits += static_cast<char>(c);
    // A dot ends a number, and so does the end of the text: a trailing dot
    // leaves an empty last part. StrToInt raises for no digits and for a
    // number beyond 32 bits.
    if (c == u'.') {
      Numbers[Count++] = StrToInt(Digits);
      Digits.clear();
    }
    if (i + 1 == Text.size() && Count < 4) Numbers[Count++] = StrToInt(Digits);
  }
}

bool TCells::CompareIPText(const WideString& X, const WideString& Y) {
  Integer A[4], B[4];
  ParseIPText(X, A);
  ParseIPText(Y, B);
  for (int i = 3; i >= 0; --i)
    if (A[i] != B[i]) return B[i] < A[i];
  return true;
}

namespace {

// The comparator pair of a sort type: C1 is "A >= B", C2 "A <= B" in the
// type's order.
struct TComparators {
  TCells* Store;
  TSortType Type;

  static bool Ordinal(const WideString& A, const WideString& B, bool GreaterOrEqual) {
    return GreaterOrEqual ? A >= B : A <= B;
  }

  bool Test(TCell* A, TCell* B, bool C1) const {
    switch (Type) {
      case stBoolean: {
        bool a = A->AsBoolean(), b = B->AsBoolean();
        return C1 ? a >= b : a <= b;
      }
      case stCaseInsensitive: {
        AnsiString a = LowerCase(WideToAnsi(A->AsString())), b = LowerCase(WideToAnsi(B->AsString()));
        return C1 ? a >= b : a <= b;
      }
      case stCustom: {
        Integer Compare = 0;
        Store->DoCompare(A, B, Compare);
        return C1 ? Compare >= 0 : Compare <= 0;
      }
      case stNumeric: {
        double a, b;
        try {
          a = A->AsFloat();
          b = B->AsFloat();
        } catch (const EConvertError&) {
          return Ordinal(A->AsString(), B->AsString(), C1);
        }
        return C1 ? a >= b : a <= b;
      }
      case stDate: {
        TDateTime a = A->AsDateTime(), b = B->AsDateTime();
        return C1 ? a >= b : a <= b;
      }
      case stIP:
        return C1 ? TCells::CompareIPText(B->AsString(), A->AsString())
                  : TCells::CompareIPText(A->AsString(), B->AsString());
      case stUnicodeAlphabetic: {
        WideString a = A->AsString(), b = B->AsString();
        int r = CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1);
        return C1 ? r != CSTR_LESS_THAN : r != CSTR_GREATER_THAN;
      }
      case stAlphabetic:
      default:
        return Ordinal(A->AsString(), B->AsString(), C1);
    }
  }
};

}  // namespace

void TCells::ApplyOrder(const std::vector<Integer>& Order) {
  auto Permute = [&](auto& List) {
    std::remove_reference_t<decltype(List)> Result;
    Result.reserve(List.size());
    for (Integer i : Order) Result.push_back(std::move(List[i]));
    List = std::move(Result);
  };
  Permute(FRows);
  for (auto& List : FColumns) Permute(List);
}

void TCells::Sort(Integer ACol, TSortType SortType, bool FullResort, bool Descending) {
  CheckCol(ACol);
  const Integer N = RowCount();
  // The rows are ordered through a permutation of their indexes and moved
  // once at the end, so that a comparator that raises leaves them as they
  // were.
  std::vector<Integer> Order(N);
  for (Integer i = 0; i < N; ++i) Order[i] = i;
  if (ACol == FSortedColumn && FSorted && Descending != FSortedDescending && !FullResort) {
    std::reverse(Order.begin(), Order.end());
  } else {
    TComparators Cmp{this, SortType};
    auto CellAt = [&](Integer Pos) { return GetCell(ACol, Order[Pos]); };
    // The first test of the scan from the left, then the one from the right.
    const bool FirstIsC1 = Descending;
    auto QuickSort = [&](auto& Self, Integer Lo, Integer Hi) -> void {
      while (Lo < Hi) {
        TCell* Pivot = CellAt(Lo + 1 + Random(Hi - Lo));
        Integer I = Lo - 1, J = Hi + 1;
        do {
          // The bounds only matter to a comparator that is no order.
          do ++I;
          while (I < Hi && !Cmp.Test(Pivot, CellAt(I), FirstIsC1));
          do --J;
          while (J > Lo && !Cmp.Test(Pivot, CellAt(J), !FirstIsC1));
          if (I != J) std::swap(Order[I], Order[J]);
        } while (I < J);
        if (I != J) std::swap(Order[I], Order[J]);
        if (I <= Lo) I = Lo + 1;
        Self(Self, Lo, I - 1);
        Lo = I;
      }
    };
    QuickSort(QuickSort, 0, N - 1);
  }
  ApplyOrder(Order);
  FSortedDescending = Descending;
  FSortedColumn = ACol;
  FSorted = true;
}
