#include "ui/foundation/registered_classes.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/classes.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/strutils.h"
#include "ui/foundation/cx_classes.h"

RTL_IMPLEMENT_CLASS(TcxRegisteredClassList)
RTL_IMPLEMENT_CLASS(TcxRegisteredClasses)

struct TcxRegisteredClassList::TEntry : TObject {
  TClass ItemClass;
  TClass RegisteredClass;
  TEntry(TClass AItemClass, TClass ARegisteredClass) : ItemClass(AItemClass), RegisteredClass(ARegisteredClass) {}
};

// ---- TcxRegisteredClassList ---------------------------------------------------------

TcxRegisteredClassList::~TcxRegisteredClassList() = default;

bool TcxRegisteredClassList::FindEntry(TClass AItemClass, Integer& AIndex) const {
  for (Integer i = FItems.Count() - 1; i >= 0; --i) {
    TClass c = static_cast<TEntry*>(FItems.Items(i))->ItemClass;
    if (AItemClass->InheritsFrom(c)) {
      AIndex = i;
      return true;
    }
    if (c->InheritsFrom(AItemClass)) AIndex = i;
  }
  return false;
}

void TcxRegisteredClassList::RegisterPair(TClass AItemClass, TClass ARegisteredClass) {
  auto* entry = new TEntry(AItemClass, ARegisteredClass);
  Integer index = -1;
  if (FindEntry(AItemClass, index))
    FItems.Insert(index + 1, entry);
  else if (index >= 0)
    FItems.Insert(index, entry);
  else
    FItems.Add(entry);
}

void TcxRegisteredClassList::UnregisterPair(TClass AItemClass, TClass ARegisteredClass) {
  for (Integer i = FItems.Count() - 1; i >= 0; --i) {
    auto* e = static_cast<TEntry*>(FItems.Items(i));
    if (e->ItemClass == AItemClass && e->RegisteredClass == ARegisteredClass) {
      FItems.Delete(i);
      delete e;
    }
  }
}

TClass TcxRegisteredClassList::FindClass(TClass AItemClass) const {
  Integer index = -1;
  return FindEntry(AItemClass, index) ? RegisteredClasses(index) : nullptr;
}

void TcxRegisteredClassList::Clear() { FItems.Clear(); }

TClass TcxRegisteredClassList::ItemClasses(Integer Index) const {
  return static_cast<TEntry*>(FItems.Items(Index))->ItemClass;
}

TClass TcxRegisteredClassList::RegisteredClasses(Integer Index) const {
  return static_cast<TEntry*>(FItems.Items(Index))->RegisteredClass;
}

// ---- TcxRegisteredClasses -------------------------------------------------------------

TcxRegisteredClasses::~TcxRegisteredClasses() { Clear(); }

Integer TcxRegisteredClasses::IndexOfClass(TClass AClass) const {
  for (size_t i = 0; i < FEntries.size(); ++i)
    if (FEntries[i].Class == AClass) return static_cast<Integer>(i);
  return -1;
}

Integer TcxRegisteredClasses::CompareEntries(Integer AIndex1, Integer AIndex2) const {
  return AnsiCompareText(FEntries[static_cast<size_t>(AIndex1)].Description,
                         FEntries[static_cast<size_t>(AIndex2)].Description);
}

void TcxRegisteredClasses::SortEntries() {
  std::vector<Integer> order(FEntries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](Integer a, Integer b) { return CompareEntries(a, b) < 0; });
  std::vector<TEntry> sorted;
  sorted.reserve(FEntries.size());
  for (Integer i : order) sorted.push_back(FEntries[static_cast<size_t>(i)]);
  FEntries.swap(sorted);
}

void TcxRegisteredClasses::RegisterEntry(TClass AClass, const AnsiString& ADescription) {
  if (!AClass || IndexOfClass(AClass) >= 0) return;
  FEntries.push_back({ADescription, AClass});
  if (FSorted) SortEntries();
  if (FRegisterClasses) RegisterClass(AClass);
}

void TcxRegisteredClasses::UnregisterEntry(TClass AClass) {
  Integer i = IndexOfClass(AClass);
  if (i >= 0) FEntries.erase(FEntries.begin() + i);
}

TClass TcxRegisteredClasses::FindByClassName(const AnsiString& AName) const {
  for (const TEntry& e : FEntries)
    if (AName == e.Class->Name) return e.Class;
  return nullptr;
}

void TcxRegisteredClasses::Clear() { FEntries.clear(); }

TClass TcxRegisteredClasses::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) TList::Error("List index out of bounds (%d)", Index);
  return FEntries[static_cast<size_t>(Index)].Class;
}

AnsiString TcxRegisteredClasses::Descriptions(Integer Index) const {
  if (Index < 0 || Index >= Count()) TList::Error("List index out of bounds (%d)", Index);
  return cxGetFirstDescriptionPart(FEntries[static_cast<size_t>(Index)].Description);
}

void TcxRegisteredClasses::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (FSorted) SortEntries();
}
