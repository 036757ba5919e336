#include "ui/foundation/component_collections.h"

#include <algorithm>
#include <climits>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"

RTL_IMPLEMENT_CLASS(TcxComponentCollectionItem)
RTL_IMPLEMENT_CLASS(TcxComponentCollection)
RTL_IMPLEMENT_CLASS(TcxInterfacedCollectionItem)
RTL_IMPLEMENT_CLASS(TcxOwnedInterfacedCollection)
RTL_IMPLEMENT_CLASS(TcxStringList)
RTL_IMPLEMENT_CLASS(TcxComponentList)

namespace {

// Runs its action when the scope ends, also by an exception; only for
// actions that call no event handler (a destructor must not throw).
template <class F>
struct TFinally {
  F Action;
  ~TFinally() { Action(); }
};
template <class F>
TFinally(F) -> TFinally<F>;

}  // namespace

// ---- TcxComponentCollectionItem ----------------------------------------------------------

TcxComponentCollectionItem::~TcxComponentCollectionItem() { MoveToCollection(nullptr); }

void TcxComponentCollectionItem::SetParentComponent(TComponent* Value) {
  MoveToCollection(Value ? CollectionFromParent(Value) : nullptr);
}

AnsiString TcxComponentCollectionItem::DisplayText() { return Name(); }

void TcxComponentCollectionItem::MoveToCollection(TcxComponentCollection* ACollection) {
  if (ACollection == FCollection) return;
  if (FCollection) FCollection->LeaveItem(this);
  if (ACollection) ACollection->JoinItem(this);
}

void TcxComponentCollectionItem::ChangePosition(Integer AIndex) {
  if (!FCollection) return;
  auto& items = FCollection->FItems;
  Integer current = IndexInCollection();
  if (AIndex == current) return;
  if (AIndex < 0 || AIndex >= static_cast<Integer>(items.size())) TList::Error("List index out of bounds (%d)", AIndex);
  items.erase(items.begin() + current);
  items.insert(items.begin() + AIndex, this);
  FCollection->Changed(nullptr, ichChanged);
}

void TcxComponentCollectionItem::NotifyChanged(bool AAllItems) {
  if (ComponentState().Contains(csDestroying) || !FCollection) return;
  FCollection->Changed(AAllItems ? nullptr : this, ichChanged);
}

bool TcxComponentCollectionItem::HasParent() const { return GetParentComponent() != nullptr; }

TComponent* TcxComponentCollectionItem::GetParentComponent() const {
  return FCollection ? FCollection->ParentComponent() : TComponent::GetParentComponent();
}

Integer TcxComponentCollectionItem::IndexInCollection() const { return FCollection ? FCollection->IndexOf(this) : -1; }

// ---- TcxComponentCollection --------------------------------------------------------------

TcxComponentCollection::TcxComponentCollection(TComponent* AParentComponent, TClass AItemClass)
    : FParentComponent(AParentComponent), FItemClass(AItemClass) {}

TcxComponentCollection::~TcxComponentCollection() {
  FUpdateCount = 1;
  while (!FItems.empty()) delete FItems.back();
}

TPersistent* TcxComponentCollection::GetOwner() const { return FParentComponent; }

TControl* TcxComponentCollection::ParentControl() { return nullptr; }

AnsiString TcxComponentCollection::ItemNamePrefix() { return AnsiString(); }

AnsiString TcxComponentCollection::ItemBaseName() { return AnsiString(); }

void TcxComponentCollection::ItemNotification(TcxComponentCollectionItem*, TcxItemChange) {}

void TcxComponentCollection::RaiseOnChange(TcxComponentCollectionItem* AItem, TcxItemChange AChange) {
  if (OnCollectionChanged) OnCollectionChanged(this, AItem, AChange);
}

void TcxComponentCollection::Changed(TcxComponentCollectionItem* AItem, TcxItemChange AChange) {
  if (FUpdateCount == 0) RaiseOnChange(AItem, AChange);
}

void TcxComponentCollection::IncUpdateLock() { ++FUpdateCount; }

void TcxComponentCollection::DecUpdateLock(bool AForce) {
  --FUpdateCount;
  if (AForce) Changed(nullptr, ichChanged);
}

void TcxComponentCollection::JoinItem(TcxComponentCollectionItem* AItem) {
  if (!AItem->InheritsFrom(FItemClass)) return;
  FItems.push_back(AItem);
  AItem->FCollection = this;
  AItem->FID = FNextID++;
  ItemNotification(AItem, ichAdded);
  Changed(AItem, ichAdded);
}

void TcxComponentCollection::LeaveItem(TcxComponentCollectionItem* AItem) {
  ItemNotification(AItem, ichRemoving);
  FItems.erase(std::find(FItems.begin(), FItems.end(), AItem));
  AItem->FCollection = nullptr;
  ItemNotification(AItem, ichRemoved);
  Changed(AItem, ichRemoved);
}

TcxComponentCollectionItem* TcxComponentCollection::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= GetCount()) TList::Error("List index out of bounds (%d)", AIndex);
  return FItems[AIndex];
}

Integer TcxComponentCollection::IndexOf(const TcxComponentCollectionItem* AItem) const {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TcxComponentCollection::AssignUniqueItemName(TcxComponentCollectionItem* AItem) {
  TComponent* root = nullptr;
  if (TControl* control = ParentControl()) root = GetParentForm(control);
  if (!root)
    for (TComponent* owner = FParentComponent ? FParentComponent->Owner() : nullptr; owner; owner = owner->Owner())
      if (owner->Is<TCustomForm>()) root = owner;
  if (!root) root = Application;
  AItem->SetName(cxGenerateUniqueName(root, FParentComponent, AItem, ItemNamePrefix(), ItemBaseName(), -1));
}

TcxComponentCollectionItem* TcxComponentCollection::AppendItem() {
  TComponent* owner = FParentComponent ? FParentComponent->Owner() : nullptr;
  auto* item = dynamic_cast<TcxComponentCollectionItem*>(CreateInstance(FItemClass, owner));
  if (!item) throw EComponentError("Cannot create an item of class %s", {FItemClass->ClassName()});
  TScopeExit Undo(seOnUnwind, [&] { delete item; });
  item->SetParentComponent(FParentComponent);
  AssignUniqueItemName(item);
  return item;
}

TcxComponentCollectionItem* TcxComponentCollection::InsertItem(Integer AIndex) {
  TcxComponentCollectionItem* item = AppendItem();
  item->ChangePosition(AIndex);
  return item;
}

void TcxComponentCollection::DeleteAllItems() {
  if (FItems.empty()) return;
  IncUpdateLock();
  TScopeExit Done([&] { DecUpdateLock(true); });
  while (!FItems.empty()) delete FItems.back();
}

void TcxComponentCollection::Assign(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TcxComponentCollection*>(ASource))
    AssignFromCollection(source);
  else
    TPersistent::Assign(ASource);
}

void TcxComponentCollection::AssignFromCollection(TcxComponentCollection* ASource) {
  IncUpdateLock();
  TScopeExit Done([&] { DecUpdateLock(true); });
  DeleteAllItems();
  for (TcxComponentCollectionItem* source : ASource->FItems) AppendItem()->Assign(source);
}

void TcxComponentCollection::ReadItemsFromReader(TReader* AReader) {
  if (AReader->ReadValue() != vaCollection) throw EReadError("Invalid property value");
  for (Integer i = 0; !AReader->EndOfList(); ++i) {
    TValueType next = AReader->NextValue();
    if (next == vaInt8 || next == vaInt16 || next == vaInt32) AReader->ReadInteger();
    AReader->ReadListBegin();
    TcxComponentCollectionItem* item = i < GetCount() ? FItems[i] : AppendItem();
    while (!AReader->EndOfList()) AReader->ReadProperty(item);
    AReader->ReadListEnd();
  }
  AReader->ReadListEnd();
}

// ---- Unique names -------------------------------------------------------------------------

namespace {

bool IsNameTaken(TComponent* AOwner, TComponent* AExcept, const AnsiString& AName) {
  for (Integer i = 0; i < AOwner->ComponentCount(); ++i) {
    TComponent* c = AOwner->Components(i);
    if (c != AExcept && SameText(c->Name(), AName)) return true;
    if (IsNameTaken(c, AExcept, AName)) return true;
  }
  return false;
}

bool IsAsciiIdentChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

AnsiString cxGenerateUniqueName(TComponent* ARoot, TComponent* AParentComponent, TComponent* AComponent,
                                const AnsiString& APrefix, const AnsiString& ABaseName, Integer AStartNumber) {
  if (!ARoot)
    for (TComponent* owner = AComponent->Owner(); owner; owner = owner->Owner()) ARoot = owner;
  if (AStartNumber < 0) AStartNumber = ABaseName.empty() ? 1 : 0;

  // Every byte of a multi-byte UTF-8 character lies above ASCII, so a
  // character outside the set goes whole.
  AnsiString s;
  for (char c : ABaseName)
    if (IsAsciiIdentChar(c)) s += c;
  AnsiString className = AComponent->ClassName();
  if ((s.empty() || (s[0] >= '0' && s[0] <= '9')) && !className.empty()) {
    if (!APrefix.empty() && className.size() >= APrefix.size() &&
        SameText(className.substr(0, APrefix.size()), APrefix)) {
      s = className.substr(APrefix.size()) + s;
    } else {
      s = className + s;
      if (s[0] == 'T') s.erase(0, 1);
    }
  }
  if (AParentComponent) s = AParentComponent->Name() + s;

  for (Integer n = AStartNumber;; ++n) {
    AnsiString candidate = n > 0 ? s + IntToStr(n) : s;
    if (!ARoot || !IsNameTaken(ARoot, AComponent, candidate)) return candidate;
    if (n == INT_MAX) return candidate;
  }
}

// ---- TcxInterfacedCollectionItem -----------------------------------------------------------

TcxInterfacedCollectionItem::TcxInterfacedCollectionItem(TCollection* ACollection) : TCollectionItem(ACollection) {
  if (ACollection) FOwnerInterface = dynamic_cast<IUnknown*>(ACollection->Owner());
}

bool TcxInterfacedCollectionItem::GetInterface(REFIID iid, void** obj) {
  if (IsEqualIID(iid, IID_IUnknown)) {
    *obj = static_cast<IUnknown*>(this);
    return true;
  }
  return false;
}

HRESULT TcxInterfacedCollectionItem::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  return GetInterface(riid, ppvObject) ? S_OK : E_NOINTERFACE;
}

ULONG TcxInterfacedCollectionItem::AddRef() {
  return FOwnerInterface ? FOwnerInterface->AddRef() : static_cast<ULONG>(-1);
}

ULONG TcxInterfacedCollectionItem::Release() {
  return FOwnerInterface ? FOwnerInterface->Release() : static_cast<ULONG>(-1);
}

// ---- TcxOwnedInterfacedCollection ----------------------------------------------------------

TcxOwnedInterfacedCollection::~TcxOwnedInterfacedCollection() {
  FState |= csDestroyingBit;
  Clear();
}

HRESULT TcxOwnedInterfacedCollection::QueryInterfaceImpl(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown)) {
    *ppvObject = static_cast<IUnknown*>(this);
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

Integer TcxOwnedInterfacedCollection::CompareItems(TCollectionItem* AItem1, TCollectionItem* AItem2) {
  Integer d = AItem1->Index() - AItem2->Index();
  return d < 0 ? -1 : d > 0 ? 1 : 0;
}

void TcxOwnedInterfacedCollection::Update(TCollectionItem* AItem) {
  if (FState & csUpdatingBit) return;
  FState |= csUpdatingBit;
  TFinally clear{[this] { FState &= ~csUpdatingBit; }};
  if (FSorted && !AItem) Sort();
  TOwnedCollection::Update(AItem);
  if (!(FState & csDestroyingBit) && OnItemsUpdated) OnItemsUpdated(this, AItem);
}

void TcxOwnedInterfacedCollection::Sort() {
  if (UpdateCount() != 0 || (FState & csSortingBit)) return;
  FState |= csSortingBit;
  TFinally clear{[this] { FState &= ~csSortingBit; }};
  TcxStringList order;
  for (Integer i = 0; i < Count(); ++i) order.AddObject(IntToStr(i), Items(i));
  order.OnCompare = TcxStringListCompareEvent([this, &order](TObject*, Integer AIndex1, Integer AIndex2) {
    auto* item1 = static_cast<TCollectionItem*>(order.GetObject(AIndex1));
    auto* item2 = static_cast<TCollectionItem*>(order.GetObject(AIndex2));
    return OnCompareCollectionItems ? OnCompareCollectionItems(this, item1, item2) : CompareItems(item1, item2);
  });
  order.Sort();
  BeginUpdate();
  TScopeExit Done([&] { EndUpdate(); });
  for (Integer i = 0; i < order.GetCount(); ++i) static_cast<TCollectionItem*>(order.GetObject(i))->SetIndex(i);
}

// ---- TcxStringList ----------------------------------------------------------------------------

void TcxStringList::Sort() {
  if (!OnCompare) {
    TStringList::Sort();
    return;
  }
  CustomSort([this](TStringList*, Integer AIndex1, Integer AIndex2) { return OnCompare(this, AIndex1, AIndex2); });
}

// ---- TcxComponentList -------------------------------------------------------------------------

TcxComponentList::~TcxComponentList() {
  FUpdateCount = 1;
  Clear();
}

TClass TcxComponentList::AcceptedItemClass() { return TComponent::StaticClass(); }

void TcxComponentList::Notify(void* Ptr, TListNotification Action) {
  auto* component = static_cast<TComponent*>(Ptr);
  if (component->InheritsFrom(AcceptedItemClass()))
    HandleItemNotify(component, Action);
  else if (Action == lnAdded)
    TList::Remove(Ptr);
}

void TcxComponentList::HandleItemNotify(TComponent* AComponent, TListNotification AAction) {
  TComponentList::Notify(AComponent, AAction);
  if (OnItemNotify) OnItemNotify(this, AComponent, AAction);
  switch (AAction) {
    case lnAdded: Changed(AComponent, ichAdded); break;
    case lnExtracted: Changed(AComponent, ichRemoved); break;
    case lnDeleted: Changed(AComponent, ichDeleted); break;
  }
}

void TcxComponentList::Changed(TComponent* AComponent, TcxItemChange AChange) {
  if (FUpdateCount == 0 && OnListChanged) OnListChanged(this, AComponent, AChange);
}

void TcxComponentList::UnlockUpdates() {
  --FUpdateCount;
  Changed(nullptr, ichChanged);
}

void TcxComponentList::RemoveAll() {
  if (Count() == 0) return;
  {
    LockUpdates();
    TScopeExit Done([&] { UnlockUpdates(); });
    while (Count() > 0) Delete(0);
  }
  Clear();
}
