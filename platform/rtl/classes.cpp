#include "platform/rtl/classes.h"

#include <algorithm>
#include <mutex>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"

RTL_IMPLEMENT_CLASS(TPersistent)
RTL_IMPLEMENT_CLASS(TInterfacedPersistent)
RTL_IMPLEMENT_PUBLISHED(TComponent, RTL_PROP(Tag).Default(0))
RTL_IMPLEMENT_CLASS(TCollectionItem)
RTL_IMPLEMENT_CLASS(TCollection)
RTL_IMPLEMENT_CLASS(TOwnedCollection)

namespace {
constexpr const char* kListIndexError = "List index out of bounds (%d)";

template <class T>
bool EraseOne(std::vector<T*>& v, T* item) {
  auto it = std::find(v.begin(), v.end(), item);
  if (it == v.end()) return false;
  v.erase(it);
  return true;
}
}  // namespace

// ---- TPersistent ----------------------------------------------------------

void TPersistent::AssignError(const TPersistent* Source) const {
  AnsiString sourceName = Source ? Source->ClassName() : AnsiString("nil");
  throw EConvertError("Cannot assign a %s to a %s", {sourceName, ClassName()});
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::DefineProperties(TFiler*) {}

void TPersistent::Assign(TPersistent* Source) {
  if (Source)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

TPersistent* TPersistent::GetOwner() const { return nullptr; }

AnsiString TPersistent::GetNamePath() const {
  AnsiString result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    AnsiString s = owner->GetNamePath();
    if (!s.empty()) result = s + "." + result;
  }
  return result;
}

// ---- TComponent -----------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Each link is dropped on both sides before the partner hears of it, so
  // a partner that removes itself or others cannot upset the walk.
  while (!FFreeNotifies.empty()) {
    TComponent* partner = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    EraseOne(partner->FFreeNotifies, this);
    if (partner->FFreeNotifies.empty()) partner->FComponentState.Exclude(csFreeNotification);
    partner->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  AComponent->FOwner = nullptr;
  EraseOne(FComponents, AComponent);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    // Only components that someone watches are announced to the others.
    if (instance->FComponentState.Contains(csFreeNotification) ||
        (FComponentState.Contains(csDesigning) && FComponentState.Contains(csInline)))
      RemoveComponent(instance);
    else
      Remove(instance);
    delete instance;
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (size_t i = 0; i < FComponents.size(); ++i) FComponents[i]->Destroying();
}

void TComponent::ChangeName(const AnsiString& NewName) { FName = NewName; }

// Points the owner's published field of this component's name at it (or
// clears it), so that a form's fields follow its components.
void TComponent::SetReference(bool Enable) {
  if (FOwner && !FName.empty()) SetFieldReference(FOwner, FName, Enable ? this : nullptr);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  // A component that only changes owner keeps its links: the partners
  // still hold references to it.
  if (Operation == opRemove && AComponent && AComponent->FComponentState.Contains(csDestroying))
    RemoveFreeNotification(AComponent);
  // From the last to the first; a component that drops others while it is
  // told keeps the walk inside the list.
  Integer i = ComponentCount() - 1;
  while (i >= 0) {
    FComponents[i]->Notification(AComponent, Operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName) {
  if (!AComponent || NewName.empty() || SameText(CurName, NewName)) return;
  TComponent* existing = FindComponent(NewName);
  if (existing && existing != AComponent) throw EComponentError("A component named %s already exists", {NewName});
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::SetParentComponent(TComponent*) {}

TComponent* TComponent::GetChildOwner() { return nullptr; }

TComponent* TComponent::GetChildParent() { return this; }

void TComponent::SetChildOrder(TComponent*, Integer) {}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

void TComponent::Updating() { FComponentState.Include(csUpdating); }

void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
  // Registered even between components of one owner: the owner's own
  // announcement reaches them only while both stay with that owner.
  if (AComponent && AComponent != this && std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  if (EraseOne(FFreeNotifies, AComponent) && FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  AComponent->ValidateContainer(this);
  ValidateRename(AComponent, AnsiString(), AComponent->FName);
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  AComponent->SetReference(true);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  ValidateRename(AComponent, AComponent->FName, AnsiString());
  Notification(AComponent, opRemove);
  AComponent->SetReference(false);
  Remove(AComponent);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

bool TComponent::HasParent() const { return false; }

TComponent* TComponent::GetParentComponent() const { return nullptr; }

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

TPersistent* TComponent::GetOwner() const { return FOwner; }

AnsiString TComponent::GetNamePath() const { return FName; }

void TComponent::SetName(const AnsiString& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError("Component name \"%s\" is not valid", {NewName});
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  SetReference(false);
  ChangeName(NewName);
  SetReference(true);
}

TComponent* TComponent::Components(Integer Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(kListIndexError, {Index});
  return FComponents[Index];
}

Integer TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TComponent::SetComponentIndex(Integer Value) {
  Integer cur = ComponentIndex();
  if (cur < 0) return;
  auto& list = FOwner->FComponents;
  Value = std::clamp(Value, 0, static_cast<Integer>(list.size()) - 1);
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
}

// ---- TCollectionItem ------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) {
  // This object is not yet of its final class here, so the class check
  // is left to SetCollection and to Add, which creates ItemClass itself.
  if (Collection) Collection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (Value && !InheritsFrom(Value->FItemClass)) throw EListError("Invalid property value");
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this, true);
}

Integer TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  Integer cur = Index();
  if (cur < 0 || cur == Value) return;
  auto& items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<Integer>(items.size())) throw EListError(kListIndexError, {Value});
  items.erase(items.begin() + cur);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

AnsiString TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const AnsiString&) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

AnsiString TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return Format("%s[%d]", {FCollection->GetNamePath(), Index()});
}

// ---- TCollection ----------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;
  Clear();
}

void TCollection::InsertItem(TCollectionItem* Item, bool CheckClass) {
  if (CheckClass && !Item->InheritsFrom(FItemClass)) throw EListError("Invalid property value");
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  if (FCreating && !FPendingItem)
    FPendingItem = Item;  // announced by Add once constructed
  else
    Added(Item);
}

void TCollection::Added(TCollectionItem* Item) {
  SetItemName(Item);
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  // An item whose constructor failed inside Add was never announced.
  bool announced = Item != FPendingItem;
  if (!announced) FPendingItem = nullptr;
  if (announced) Notify(Item, cnExtracting);
  if (!FItems.empty() && FItems.back() == Item)
    FItems.pop_back();
  else
    EraseOne(FItems, Item);
  Item->FCollection = nullptr;
  if (announced) Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Update(TCollectionItem*) {}

void TCollection::SetItemName(TCollectionItem*) {}

TCollectionItem* TCollection::Add() {
  TCollectionItem* savedPending = FPendingItem;
  bool savedCreating = FCreating;
  FPendingItem = nullptr;
  FCreating = true;
  TObject* created;
  TCollectionItem* pending;
  {
    TScopeExit restore([&] {
      FPendingItem = savedPending;
      FCreating = savedCreating;
    });
    created = CreateInstance(FItemClass, this);
    pending = FPendingItem;
  }
  auto* item = dynamic_cast<TCollectionItem*>(created);
  if (!item) {
    delete created;
    throw EInvalidOperation("Cannot create an item of class %s", {AnsiString(FItemClass ? FItemClass->Name : "nil")});
  }
  if (pending == item) Added(item);
  return item;
}

TCollectionItem* TCollection::Insert(Integer Index) {
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = GetItem(Index);
  Notify(item, cnDeleting);
  // Extracted while still whole, so that Notify sees the item's own class
  // rather than the base that its destructor leaves.
  RemoveItem(item);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  while (!FItems.empty()) {
    TCollectionItem* item = FItems.back();
    RemoveItem(item);
    delete item;
  }
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  --FUpdateCount;
  Changed();
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  TScopeExit endUpdate([&] { EndUpdate(); });
  Clear();
  for (TCollectionItem* item : source->FItems) Add()->Assign(item);
}

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

TCollectionItem* TCollection::GetItem(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(kListIndexError, {Index});
  return FItems[Index];
}

void TCollection::SetItem(Integer Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

AnsiString TCollection::GetNamePath() const {
  AnsiString result = ClassName();
  TPersistent* owner = GetOwner();
  if (!owner || FPropName.empty()) return result;
  AnsiString s = owner->GetNamePath();
  return s.empty() ? result : s + "." + FPropName;
}

// ---- The class registry ---------------------------------------------------

namespace {
std::mutex& RegistryLock() {
  static std::mutex m;
  return m;
}
std::vector<TClass>& Registry() {
  static std::vector<TClass> classes;
  return classes;
}
TClass FindRegistered(const AnsiString& name) {
  for (TClass c : Registry())
    if (SameText(c->Name, name)) return c;
  return nullptr;
}
}  // namespace

void RegisterClass(TClass AClass) {
  std::lock_guard<std::mutex> lock(RegistryLock());
  for (TClass c = AClass; c && c != TObject::StaticClass(); c = c->Parent) {
    TClass existing = FindRegistered(c->Name);
    if (existing == c) break;  // so are its ancestors
    if (existing) throw EFilerError("A class named %s already exists", {AnsiString(c->Name)});
    Registry().push_back(c);
    if (c == TPersistent::StaticClass()) break;
  }
}

void RegisterClasses(std::initializer_list<TClass> AClasses) {
  for (TClass c : AClasses) RegisterClass(c);
}

void UnRegisterClass(TClass AClass) {
  std::lock_guard<std::mutex> lock(RegistryLock());
  EraseOne(Registry(), AClass);
}

void UnRegisterClasses(std::initializer_list<TClass> AClasses) {
  for (TClass c : AClasses) UnRegisterClass(c);
}

TClass GetClass(const AnsiString& ClassName) {
  std::lock_guard<std::mutex> lock(RegistryLock());
  return FindRegistered(ClassName);
}

TClass FindClass(const AnsiString& ClassName) {
  TClass c = GetClass(ClassName);
  if (!c) throw EClassNotFound("Class %s not found", {ClassName});
  return c;
}
