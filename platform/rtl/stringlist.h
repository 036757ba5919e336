// String lists: the abstract TStrings (text, comma text, name=value pairs,
// files and streams) and TStringList (sorting, duplicates, change events).
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"

class TStream;

// The platform's line break. Text and SaveToStream end each line with
// LineBreak, which starts as sLineBreak; a caller that needs another
// (CR LF for a file another system reads) sets LineBreak first. Reading
// accepts CR LF, a lone LF and a lone CR whatever LineBreak is.
inline constexpr char sLineBreak[] = "\n";

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an object. Subclasses provide the storage
// (Get, GetCount, Insert, Delete, Clear, and usually GetObject, PutObject).
// Errors are EStringListError "List index out of bounds (%d)".
class TStrings : public TPersistent {
  RTL_CLASS(TStrings, TPersistent)
  Integer FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
  AnsiString FLineBreak = sLineBreak;

  AnsiString JoinDelimited(char delimiter, char quoteChar, bool strict) const;
  void SplitDelimited(const AnsiString& Value, char delimiter, char quoteChar, bool strict);

 protected:
  [[noreturn]] void Error(const AnsiString& Msg, Integer Data) const;
  // Called with true when the first BeginUpdate opens an update and with
  // false when the last EndUpdate closes it.
  virtual void SetUpdateState(bool Updating);
  virtual AnsiString GetTextStr() const;
  virtual void SetTextStr(const AnsiString& Value);
  // AnsiCompareText; TStringList compares by its CaseSensitive.
  virtual Integer CompareStrings(const AnsiString& S1, const AnsiString& S2) const;
  Integer UpdateCount() const { return FUpdateCount; }

 public:
  // The accessors of Strings, Count and Objects.
  virtual AnsiString Get(Integer Index) const = 0;
  virtual Integer GetCount() const = 0;
  virtual TObject* GetObject(Integer Index) const;
  // The default replaces the string by Delete and InsertObject.
  virtual void Put(Integer Index, const AnsiString& S);
  virtual void PutObject(Integer Index, TObject* AObject);

  virtual Integer Add(const AnsiString& S);
  virtual Integer AddObject(const AnsiString& S, TObject* AObject);
  void Append(const AnsiString& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  // Copies the strings, objects and the text settings (delimiters, quote
  // character, name-value separator, line break) of another TStrings.
  void Assign(TPersistent* Source) override;
  void BeginUpdate();
  void EndUpdate();
  virtual void Clear() = 0;
  virtual void Delete(Integer Index) = 0;
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual void Insert(Integer Index, const AnsiString& S) = 0;
  virtual void InsertObject(Integer Index, const AnsiString& S, TObject* AObject);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  // Compares with CompareStrings; -1 when absent.
  virtual Integer IndexOf(const AnsiString& S) const;
  // The first "Name=..." line whose name compares equal; -1 when none.
  virtual Integer IndexOfName(const AnsiString& Name) const;
  virtual Integer IndexOfObject(TObject* AObject) const;
  // Same count and the same strings, compared byte for byte.
  bool Equals(const TStrings* Strings) const;

  // Each line ends at CR LF, a lone LF or a lone CR; a NUL byte ends the
  // text. The stream is read from its position to its end.
  virtual void LoadFromFile(const AnsiString& FileName);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToFile(const AnsiString& FileName);
  virtual void SaveToStream(TStream* Stream);

  Integer Count() const { return GetCount(); }
  AnsiString Strings(Integer Index) const { return Get(Index); }
  void SetStrings(Integer Index, const AnsiString& S) { Put(Index, S); }
  AnsiString operator[](Integer Index) const { return Get(Index); }
  TObject* Objects(Integer Index) const { return GetObject(Index); }
  void SetObjects(Integer Index, TObject* AObject) { PutObject(Index, AObject); }
  Integer Capacity() const { return GetCapacity(); }
  virtual Integer GetCapacity() const;
  virtual void SetCapacity(Integer NewCapacity);

  // The name of a "Name=Value" line; empty when it has no separator.
  AnsiString Names(Integer Index) const;
  // The value of a "Name=Value" line; empty when it has no separator.
  AnsiString ValueFromIndex(Integer Index) const;
  // Sets the value of line Index (adding a line for a negative index);
  // an empty value deletes the line.
  void SetValueFromIndex(Integer Index, const AnsiString& Value);
  AnsiString Values(const AnsiString& Name) const;
  // Replaces or adds "Name=Value"; an empty value deletes the line.
  void SetValue(const AnsiString& Name, const AnsiString& Value);

  AnsiString Text() const { return GetTextStr(); }
  void SetText(const AnsiString& Value) { SetTextStr(Value); }
  // DelimitedText with ',' and '"', not strict.
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& Value);
  // The strings joined by Delimiter; a string with a control character,
  // space, delimiter or quote (only delimiter or quote when strict) is
  // quoted with QuoteChar, quotes doubled. A single empty string is "".
  AnsiString DelimitedText() const;
  // Splits at Delimiter and (unless StrictDelimiter) at spaces and control
  // characters; quoted parts keep them.
  void SetDelimitedText(const AnsiString& Value);

  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }
  const AnsiString& LineBreak() const { return FLineBreak; }
  void SetLineBreak(const AnsiString& Value) { FLineBreak = Value; }

  // Walks the strings by index (values, not references).
  class iterator {
    const TStrings* list_ = nullptr;
    Integer i_ = 0;

   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = AnsiString;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = AnsiString;
    iterator() = default;
    iterator(const TStrings* list, Integer i) : list_(list), i_(i) {}
    AnsiString operator*() const { return list_->Get(i_); }
    iterator& operator++() {
      ++i_;
      return *this;
    }
    iterator operator++(int) {
      iterator r = *this;
      ++i_;
      return r;
    }
    bool operator==(const iterator& o) const { return i_ == o.i_; }
  };
  iterator begin() const { return iterator(this, 0); }
  iterator end() const { return iterator(this, GetCount()); }
};

class TStringList;
// Negative when the string at Index1 sorts before the one at Index2.
using TStringListSortCompare = std::function<Integer(TStringList* List, Integer Index1, Integer Index2)>;

// A list of strings in memory. While Sorted, Add places a string by binary
// search (Find) and Duplicates decides what happens to an equal one;
// Insert, Put and Move raise "Operation not allowed on sorted list".
// Comparison follows CaseSensitive (false: AnsiCompareText). OnChanging and
// OnChange bracket every change, or a whole BeginUpdate/EndUpdate.
class TStringList : public TStrings {
  RTL_CLASS(TStringList, TStrings)
  // Plain pointers, so that inserting into a long list moves 16 bytes per
  // item instead of whole strings.
  struct TStringItem {
    AnsiString* FString;
    TObject* FObject;
  };
  std::vector<TStringItem> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;

  void ExchangeItems(Integer Index1, Integer Index2);
  void QuickSort(Integer L, Integer R, const TStringListSortCompare& SCompare);
  void CheckIndex(Integer Index) const;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  Integer CompareStrings(const AnsiString& S1, const AnsiString& S2) const override;
  virtual void InsertItem(Integer Index, const AnsiString& S, TObject* AObject);

 public:
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  TStringList() = default;
  // A list that deletes its objects when their strings leave the list.
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;

  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override { return static_cast<Integer>(FList.size()); }
  TObject* GetObject(Integer Index) const override;
  void Put(Integer Index, const AnsiString& S) override;
  // Deletes the object it replaces while OwnsObjects.
  void PutObject(Integer Index, TObject* AObject) override;

  Integer Add(const AnsiString& S) override;
  // In a sorted list an equal string is, by Duplicates: kept once
  // (dupIgnore: returns its index; AObject stays the caller's), added
  // (dupAccept) or refused with "String list does not allow duplicates"
  // (dupError).
  Integer AddObject(const AnsiString& S, TObject* AObject) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Exchange(Integer Index1, Integer Index2) override;
  // Binary search of a sorted list: true with the index of S (the first
  // of equal strings when Duplicates is dupAccept), else false with the
  // index where S would go.
  virtual bool Find(const AnsiString& S, Integer& Index) const;
  // Uses Find when sorted.
  Integer IndexOf(const AnsiString& S) const override;
  void Insert(Integer Index, const AnsiString& S) override;
  void InsertObject(Integer Index, const AnsiString& S, TObject* AObject) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
  // Sorts by CompareStrings; nothing when already Sorted.
  virtual void Sort();
  // Sorts with Compare, which receives indexes into the list as it is being
  // sorted; nothing when Sorted or with fewer than two strings.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  Integer GetCapacity() const override { return static_cast<Integer>(FList.capacity()); }
  // Raises "List capacity out of bounds (%d)" below Count.
  void SetCapacity(Integer NewCapacity) override;

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool Sorted() const { return FSorted; }
  // Sorts the list when switched on.
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  // Sorts a sorted list again by the new rule.
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
};
