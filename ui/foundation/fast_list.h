// Growable pointer lists without the framework list's notifications and
// sorting, for the hot paths of painters, calendars and registries.
#pragma once

#include "platform/rtl/object.h"

// Index errors raise EListError "List index out of bounds (%d)" and
// capacity errors "List capacity out of bounds (%d)"; the list is unchanged
// when one is raised.
class TdxFastList : public TObject {
  RTL_CLASS(TdxFastList, TObject)
  void** FList = nullptr;
  Integer FCount = 0;
  Integer FCapacity = 0;

  void CheckIndex(Integer Index) const;

 protected:
  void Grow();

 public:
  // The largest capacity a list accepts.
  static constexpr Integer MaxCapacity = 0x7FFFFFF;

  explicit TdxFastList(Integer ACapacity = 0);
  ~TdxFastList() override;

  Integer Add(void* Item);
  // Index may equal Count, which appends.
  void Insert(Integer Index, void* Item);
  void Delete(Integer Index);
  void* Items(Integer Index) const;
  void SetItem(Integer Index, void* Item);
  void* operator[](Integer Index) const { return Items(Index); }
  // The first index holding Item, searching from the end when
  // AFromEnd; -1 when absent.
  Integer IndexOf(void* Item, bool AFromEnd = false) const;
  // Deletes the first occurrence; returns its former index or -1.
  Integer Remove(void* Item);
  // Deletes the first occurrence; returns Item, or null when absent.
  void* Extract(void* Item);
  // Empties the list and releases its block.
  virtual void Clear();

  Integer Count() const { return FCount; }
  Integer Capacity() const { return FCapacity; }
  void SetCapacity(Integer NewCapacity);
  void* const* List() const { return FList; }
};

// A fast list of objects that, when it owns them, frees them on Clear and
// on its destruction, in index order. Deleting, removing or extracting an
// item never frees it.
class TdxFastObjectList : public TdxFastList {
  RTL_CLASS(TdxFastObjectList, TdxFastList)
  bool FOwnsObjects;

 public:
  explicit TdxFastObjectList(bool AOwnsObjects = true, Integer ACapacity = 0);
  ~TdxFastObjectList() override;

  void Clear() override;
  Integer Add(TObject* AObject) { return TdxFastList::Add(AObject); }
  TObject* Items(Integer Index) const { return static_cast<TObject*>(TdxFastList::Items(Index)); }
  TObject* operator[](Integer Index) const { return Items(Index); }
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
};
