// Pointer lists: TList, the owning TObjectList and TComponentList, which
// forgets a component as soon as it is destroyed.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <vector>

#include "platform/rtl/object.h"

class TComponent;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative when Item1 sorts before Item2, zero when equal, positive after.
using TListSortCompare = std::function<Integer(void* Item1, void* Item2)>;

// The largest count or capacity a list accepts.
constexpr Integer MaxListSize = 0x7FFFFFFF / 16;

namespace rtl::detail {
// Walks a list's pointers as T*, for range-for over typed lists.
template <class T, class Stored = TObject>
class TListCastIterator {
  void* const* p_ = nullptr;

 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = T*;
  using difference_type = std::ptrdiff_t;
  using pointer = T* const*;
  using reference = T*;

  TListCastIterator() = default;
  explicit TListCastIterator(void* const* p) : p_(p) {}
  T* operator*() const { return static_cast<T*>(static_cast<Stored*>(*p_)); }
  TListCastIterator& operator++() {
    ++p_;
    return *this;
  }
  TListCastIterator operator++(int) {
    TListCastIterator r = *this;
    ++p_;
    return r;
  }
  bool operator==(const TListCastIterator&) const = default;
};
}  // namespace rtl::detail

// A list of untyped pointers. Every change that adds or drops a non-null
// item calls Notify, which subclasses override to own or watch their items.
// TList's destructor clears the list through TList::Notify only (C++ calls
// no override from a base destructor), so a subclass that overrides Notify
// calls Clear in its own destructor.
class TList : public TObject {
  RTL_CLASS(TList, TObject)
  std::vector<void*> FList;  // FList.size() is the capacity
  Integer FCount = 0;

 protected:
  virtual void Notify(void* Ptr, TListNotification Action);
  virtual void Grow();
  void* Get(Integer Index) const;
  void Put(Integer Index, void* Item);

 public:
  TList() = default;
  ~TList() override;

  // Raises EListError with Msg formatted with Data ("List index out of
  // bounds (%d)").
  [[noreturn]] static void Error(const AnsiString& Msg, Integer Data);

  Integer Add(void* Item);
  void Insert(Integer Index, void* Item);
  void Delete(Integer Index);
  // Deletes the first occurrence; returns its former index or -1.
  Integer Remove(void* Item);
  // Takes the first occurrence out without deleting it (lnExtracted);
  // returns Item, or null when absent.
  void* Extract(void* Item);
  Integer IndexOf(void* Item) const;
  virtual void Clear();
  void Exchange(Integer Index1, Integer Index2);
  void Move(Integer CurIndex, Integer NewIndex);
  // Drops the null items.
  void Pack();
  // Sorts with a stable merge sort, so that a compare function that is not
  // a strict order cannot corrupt the list.
  void Sort(const TListSortCompare& Compare);
  void* First() const;
  void* Last() const;
  // Grows the capacity when the list is full; returns the list.
  TList* Expand();
  // Makes this list a copy of Source's items (lnDeleted, then lnAdded).
  void Assign(TList* Source);

  void* Items(Integer Index) const { return Get(Index); }
  void SetItem(Integer Index, void* Item) { Put(Index, Item); }
  void* operator[](Integer Index) const { return Get(Index); }
  Integer Count() const { return FCount; }
  // Raises "List count out of bounds (%d)"; new items are null.
  void SetCount(Integer NewCount);
  Integer Capacity() const { return static_cast<Integer>(FList.size()); }
  // Raises "List capacity out of bounds (%d)" below Count.
  void SetCapacity(Integer NewCapacity);
  void* const* List() const { return FList.data(); }

  void* const* begin() const { return FList.data(); }
  void* const* end() const { return FList.data() + FCount; }
};

// A list of objects that, while OwnsObjects (the default), deletes an
// object when it leaves the list by Delete, Remove, Clear, SetItem or the
// list's destruction (not by Extract).
class TObjectList : public TList {
  RTL_CLASS(TObjectList, TList)
  bool FOwnsObjects = true;

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 public:
  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  TObject* Items(Integer Index) const { return static_cast<TObject*>(Get(Index)); }
  void SetItem(Integer Index, TObject* AObject) { Put(Index, AObject); }
  TObject* operator[](Integer Index) const { return Items(Index); }
  // Index of the first object from AStartAt that is of class AClass (or,
  // when not AExact, of a class derived from it); -1 when none.
  Integer FindInstanceOf(TClass AClass, bool AExact = true, Integer AStartAt = 0) const;

  using iterator = rtl::detail::TListCastIterator<TObject>;
  iterator begin() const { return iterator(TList::begin()); }
  iterator end() const { return iterator(TList::end()); }
};

// An object list of components (owning by default) that drops a component
// from the list when the component is destroyed elsewhere, through a free
// notification.
class TComponentList : public TObjectList {
  RTL_CLASS(TComponentList, TObjectList)
  TComponent* FNexus = nullptr;  // receives the free notifications

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 public:
  TComponentList() = default;
  explicit TComponentList(bool AOwnsObjects) : TObjectList(AOwnsObjects) {}
  ~TComponentList() override;

  // Called by the nexus when a member is being destroyed.
  void HandleFreeNotify(TComponent* AComponent);

  Integer Add(TComponent* AComponent);
  void Insert(Integer Index, TComponent* AComponent);
  Integer Remove(TComponent* AComponent);
  TComponent* Extract(TComponent* Item);
  Integer IndexOf(TComponent* AComponent) const;
  TComponent* First() const;
  TComponent* Last() const;
  TComponent* Items(Integer Index) const;
  void SetItem(Integer Index, TComponent* AComponent);
  TComponent* operator[](Integer Index) const { return Items(Index); }

  using iterator = rtl::detail::TListCastIterator<TComponent>;
  iterator begin() const { return iterator(TList::begin()); }
  iterator end() const { return iterator(TList::end()); }
};
