#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/rtl/scope_exit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"

RTL_IMPLEMENT_CLASS(TStrings)
RTL_IMPLEMENT_CLASS(TStringList)

namespace {
constexpr const char* kListIndexError = "List index out of bounds (%d)";
constexpr const char* kListCapacityError = "List capacity out of bounds (%d)";
constexpr const char* kDuplicateString = "String list does not allow duplicates";
constexpr const char* kSortedListError = "Operation not allowed on sorted list";

bool IsBlankChar(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }
}  // namespace

// ---- TStrings -------------------------------------------------------------

void TStrings::Error(const AnsiString& Msg, Integer Data) const { throw EStringListError(Msg, {Data}); }

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::Put(Integer Index, const AnsiString& S) {
  TObject* obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, obj);
}

void TStrings::PutObject(Integer, TObject*) {}

Integer TStrings::GetCapacity() const { return GetCount(); }

void TStrings::SetCapacity(Integer) {}

void TStrings::SetUpdateState(bool) {}

Integer TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const { return AnsiCompareText(S1, S2); }

AnsiString TStrings::GetTextStr() const {
  Integer count = GetCount();
  std::vector<AnsiString> lines;
  lines.reserve(static_cast<size_t>(count));
  size_t size = 0;
  for (Integer i = 0; i < count; ++i) {
    lines.push_back(Get(i));
    size += lines.back().size() + FLineBreak.size();
  }
  AnsiString result;
  result.reserve(size);
  for (const AnsiString& line : lines) {
    result += line;
    result += FLineBreak;
  }
  return result;
}

void TStrings::SetTextStr(const AnsiString& Value) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  const char* p = Value.c_str();  // a NUL byte ends the text
  while (*p) {
    const char* start = p;
    while (*p && *p != '\n' && *p != '\r') ++p;
    Add(AnsiString(start, static_cast<size_t>(p - start)));
    if (*p == '\r') ++p;
    if (*p == '\n') ++p;
  }
}

Integer TStrings::Add(const AnsiString& S) {
  Integer result = GetCount();
  Insert(result, S);
  return result;
}

Integer TStrings::AddObject(const AnsiString& S, TObject* AObject) {
  Integer result = Add(S);
  PutObject(result, AObject);
  return result;
}

void TStrings::AddStrings(TStrings* Strings) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Integer count = Strings->Count();
  for (Integer i = 0; i < count; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TStrings*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  FDelimiter = source->FDelimiter;
  FQuoteChar = source->FQuoteChar;
  FNameValueSeparator = source->FNameValueSeparator;
  FStrictDelimiter = source->FStrictDelimiter;
  FLineBreak = source->FLineBreak;
  AddStrings(source);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  AnsiString s = Get(Index1);
  TObject* o = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, o);
}

void TStrings::InsertObject(Integer Index, const AnsiString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  AnsiString s = Get(CurIndex);
  TObject* o = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, o);
}

Integer TStrings::IndexOf(const AnsiString& S) const {
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfName(const AnsiString& Name) const {
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i) {
    AnsiString s = Get(i);
    size_t p = s.find(FNameValueSeparator);
    if (p != AnsiString::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) const {
  Integer count = GetCount();
  for (Integer i = 0; i < count; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(const TStrings* Strings) const {
  Integer count = GetCount();
  if (count != Strings->GetCount()) return false;
  for (Integer i = 0; i < count; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
  // Read until the stream has nothing more, so that pipes and streams
  // whose size is unknown load whole.
  AnsiString text;
  constexpr Integer kChunk = 64 * 1024;
  for (;;) {
    size_t old = text.size();
    text.resize(old + kChunk);
    Integer n = Stream->Read(text.data() + old, kChunk);
    text.resize(old + static_cast<size_t>(std::max(n, 0)));
    if (n <= 0) break;
  }
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  SetTextStr(text);
}

void TStrings::SaveToFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::SaveToStream(TStream* Stream) {
  AnsiString s = GetTextStr();
  Stream->WriteBuffer(s.data(), static_cast<Integer>(s.size()));
}

AnsiString TStrings::Names(Integer Index) const {
  AnsiString s = Get(Index);
  size_t p = s.find(FNameValueSeparator);
  return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::ValueFromIndex(Integer Index) const {
  if (Index < 0) return AnsiString();
  AnsiString s = Get(Index);
  size_t p = s.find(FNameValueSeparator);
  return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer Index, const AnsiString& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(AnsiString());
    Put(Index, Names(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

AnsiString TStrings::Values(const AnsiString& Name) const { return ValueFromIndex(IndexOfName(Name)); }

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value) {
  Integer i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0) i = Add(AnsiString());
    Put(i, Name + FNameValueSeparator + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

AnsiString TStrings::CommaText() const { return JoinDelimited(',', '"', false); }

void TStrings::SetCommaText(const AnsiString& Value) { SplitDelimited(Value, ',', '"', false); }

AnsiString TStrings::DelimitedText() const { return JoinDelimited(FDelimiter, FQuoteChar, FStrictDelimiter); }

void TStrings::SetDelimitedText(const AnsiString& Value) { SplitDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter); }

AnsiString TStrings::JoinDelimited(char delimiter, char quoteChar, bool strict) const {
  Integer count = GetCount();
  if (count == 1 && Get(0).empty()) return AnsiString(2, quoteChar);
  AnsiString result;
  for (Integer i = 0; i < count; ++i) {
    AnsiString s = Get(i);
    bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
      return c == quoteChar || c == delimiter || c == '\0' || (!strict && static_cast<unsigned char>(c) <= ' ');
    });
    if (i > 0) result += delimiter;
    if (!quote) {
      result += s;
      continue;
    }
    result += quoteChar;
    for (char c : s) {
      result += c;
      if (c == quoteChar) result += c;
    }
    result += quoteChar;
  }
  return result;
}

void TStrings::SplitDelimited(const AnsiString& Value, char delimiter, char quoteChar, bool strict) {
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  const char* p = Value.c_str();  // a NUL byte ends the text
  auto skipBlanks = [&] {
    if (!strict)
      while (IsBlankChar(*p)) ++p;
  };
  skipBlanks();
  while (*p) {
    AnsiString s;
    if (*p == quoteChar) {
      // Up to the closing quote, doubled quotes made single; an
      // unterminated quote runs to the end.
      ++p;
      while (*p) {
        if (*p == quoteChar) {
          if (p[1] != quoteChar) {
            ++p;
            break;
          }
          ++p;
        }
        s += *p++;
      }
    } else {
      const char* start = p;
      while (*p && *p != delimiter && (strict || !IsBlankChar(*p))) ++p;
      s.assign(start, static_cast<size_t>(p - start));
    }
    Add(s);
    skipBlanks();
    // A NUL delimiter would match the terminator and step past it.
    if (*p && *p == delimiter) {
      if (p[1] == '\0') Add(AnsiString());  // a trailing delimiter ends with an empty string
      ++p;
      skipBlanks();
    }
  }
}

// ---- TStringList ----------------------------------------------------------

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  for (TStringItem& item : FList) {
    delete item.FString;
    if (FOwnsObjects) FreeAndNil(item.FObject);
  }
}

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(kListIndexError, Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

AnsiString TStringList::Get(Integer Index) const {
  CheckIndex(Index);
  return *FList[Index].FString;
}

TObject* TStringList::GetObject(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::Put(Integer Index, const AnsiString& S) {
  if (FSorted) Error(kSortedListError, 0);
  CheckIndex(Index);
  Changing();
  *FList[Index].FString = S;
  Changed();
}

void TStringList::PutObject(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  TObject* old = std::exchange(FList[Index].FObject, AObject);
  if (FOwnsObjects && old != AObject) delete old;
  Changed();
}

void TStringList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount()) Error(kListCapacityError, NewCapacity);
  if (NewCapacity > GetCapacity())
    FList.reserve(static_cast<size_t>(NewCapacity));
  else if (NewCapacity == 0)
    FList.shrink_to_fit();
}

Integer TStringList::CompareStrings(const AnsiString& S1, const AnsiString& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::InsertItem(Integer Index, const AnsiString& S, TObject* AObject) {
  Changing();
  auto str = std::make_unique<AnsiString>(S);
  FList.insert(FList.begin() + Index, TStringItem{str.get(), AObject});
  str.release();
  Changed();
}

Integer TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const AnsiString& S, TObject* AObject) {
  Integer result = GetCount();
  if (FSorted && Find(S, result)) {
    switch (FDuplicates) {
      case dupIgnore: return result;
      case dupError: Error(kDuplicateString, 0);
      case dupAccept: break;
    }
  }
  InsertItem(result, S, AObject);
  return result;
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  // Taken out first: an object's destructor may look at the list.
  std::vector<TStringItem> old;
  old.swap(FList);
  for (TStringItem& item : old) {
    delete item.FString;
    if (FOwnsObjects) FreeAndNil(item.FObject);
  }
  Changed();
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  TStringItem item = FList[Index];
  FList.erase(FList.begin() + Index);
  delete item.FString;
  if (FOwnsObjects) delete item.FObject;
  Changed();
}

void TStringList::ExchangeItems(Integer Index1, Integer Index2) { std::swap(FList[Index1], FList[Index2]); }

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  ExchangeItems(Index1, Index2);
  Changed();
}

bool TStringList::Find(const AnsiString& S, Integer& Index) const {
  bool result = false;
  Integer l = 0, h = GetCount() - 1;
  while (l <= h) {
    Integer i = l + (h - l) / 2;
    Integer c = CompareStrings(*FList[i].FString, S);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) {
        result = true;
        if (FDuplicates != dupAccept) l = i;
      }
    }
  }
  Index = l;
  return result;
}

Integer TStringList::IndexOf(const AnsiString& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  Integer i;
  return Find(S, i) ? i : -1;
}

void TStringList::Insert(Integer Index, const AnsiString& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(Integer Index, const AnsiString& S, TObject* AObject) {
  if (FSorted) Error(kSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(kListIndexError, Index);
  InsertItem(Index, S, AObject);
}

// Moves the item in place: going through Delete would delete an owned
// object, and a sorted list refuses before anything is lost.
void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  if (FSorted) Error(kSortedListError, 0);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  Changing();
  auto first = FList.begin();
  if (CurIndex < NewIndex)
    std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
  else
    std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
  Changed();
}

// Quicksort on indexes, as the compare function sees the list; the scans
// stay inside [L, R] even when Compare is not a consistent order.
void TStringList::QuickSort(Integer L, Integer R, const TStringListSortCompare& SCompare) {
  while (L < R) {
    Integer i = L, j = R, p = L + (R - L) / 2;
    do {
      while (i < R && SCompare(this, i, p) < 0) ++i;
      while (j > L && SCompare(this, j, p) > 0) --j;
      if (i <= j) {
        if (i != j) ExchangeItems(i, j);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    // Recurse into the smaller part, loop on the larger.
    if (j - L < R - i) {
      if (L < j) QuickSort(L, j, SCompare);
      L = i;
    } else {
      if (i < R) QuickSort(i, R, SCompare);
      R = j;
    }
  }
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || GetCount() < 2) return;
  Changing();
  QuickSort(0, GetCount() - 1, Compare);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, Integer a, Integer b) {
    return list->CompareStrings(*list->FList[a].FString, *list->FList[b].FString);
  });
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) {
    FSorted = false;
    Sort();
    FSorted = true;
  }
}
