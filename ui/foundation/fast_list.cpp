#include "ui/foundation/fast_list.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/rtl/lists.h"
#include "platform/rtl/sysutils.h"

RTL_IMPLEMENT_CLASS(TdxFastList)
RTL_IMPLEMENT_CLASS(TdxFastObjectList)

namespace {
const char kIndexError[] = "List index out of bounds (%d)";
const char kCapacityError[] = "List capacity out of bounds (%d)";
}  // namespace

TdxFastList::TdxFastList(Integer ACapacity) { SetCapacity(ACapacity); }

TdxFastList::~TdxFastList() { TdxFastList::Clear(); }

void TdxFastList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= FCount) TList::Error(kIndexError, Index);
}

void TdxFastList::Grow() {
  Integer delta = FCapacity > 128 ? FCapacity / 2 : FCapacity > 16 ? 32 : 16;
  SetCapacity(FCapacity + delta);
}

void TdxFastList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < FCount || NewCapacity > MaxCapacity) TList::Error(kCapacityError, NewCapacity);
  if (NewCapacity == FCapacity) return;
  if (NewCapacity == 0) {
    std::free(FList);
    FList = nullptr;
  } else {
    void* p = std::realloc(FList, static_cast<size_t>(NewCapacity) * sizeof(void*));
    if (!p) throw std::bad_alloc();
    FList = static_cast<void**>(p);
  }
  FCapacity = NewCapacity;
}

Integer TdxFastList::Add(void* Item) {
  if (FCount == FCapacity) Grow();
  FList[FCount] = Item;
  return FCount++;
}

void TdxFastList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > FCount) TList::Error(kIndexError, Index);
  if (FCount == FCapacity) Grow();
  if (Index < FCount)
    std::memmove(FList + Index + 1, FList + Index, static_cast<size_t>(FCount - Index) * sizeof(void*));
  FList[Index] = Item;
  ++FCount;
}

void TdxFastList::Delete(Integer Index) {
  CheckIndex(Index);
  --FCount;
  if (Index < FCount)
    std::memmove(FList + Index, FList + Index + 1, static_cast<size_t>(FCount - Index) * sizeof(void*));
}

void* TdxFastList::Items(Integer Index) const {
  CheckIndex(Index);
  return FList[Index];
}

void TdxFastList::SetItem(Integer Index, void* Item) {
  CheckIndex(Index);
  FList[Index] = Item;
}

Integer TdxFastList::IndexOf(void* Item, bool AFromEnd) const {
  if (AFromEnd) {
    for (Integer i = FCount - 1; i >= 0; --i)
      if (FList[i] == Item) return i;
  } else {
    for (Integer i = 0; i < FCount; ++i)
      if (FList[i] == Item) return i;
  }
  return -1;
}

Integer TdxFastList::Remove(void* Item) {
  Integer i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

void* TdxFastList::Extract(void* Item) {
  Integer i = IndexOf(Item);
  if (i < 0) return nullptr;
  Delete(i);
  return Item;
}

void TdxFastList::Clear() {
  FCount = 0;
  SetCapacity(0);
}

// ---- TdxFastObjectList ------------------------------------------------------------

TdxFastObjectList::TdxFastObjectList(bool AOwnsObjects, Integer ACapacity)
    : TdxFastList(ACapacity), FOwnsObjects(AOwnsObjects) {}

TdxFastObjectList::~TdxFastObjectList() { TdxFastObjectList::Clear(); }

void TdxFastObjectList::Clear() {
  if (FOwnsObjects)
    for (Integer i = 0; i < Count(); ++i) delete Items(i);
  TdxFastList::Clear();
}
