// Collections of components that belong to a parent component (a ribbon's
// tabs, a gallery's groups): the items are real components owned by the
// parent's owner, named uniquely from the parent's name, and every change
// is reported through one event. Beside them: an owned collection of
// interfaced items with optional sorting, a string list with a compare
// event, and a non-owning component list with update locking.
#pragma once

#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/stringlist.h"
#include "platform/win/kernel/objidl.h"

class TControl;
class TReader;
class TcxComponentCollection;

// What happened to an item (or, with no item, to the whole collection).
enum TcxItemChange { ichAdded, ichChanged, ichRemoving, ichRemoved, ichDeleted };

// A component that lives in the collection of its parent component.
class TcxComponentCollectionItem : public TComponent {
  RTL_CLASS(TcxComponentCollectionItem, TComponent)
  friend class TcxComponentCollection;
  TcxComponentCollection* FCollection = nullptr;
  Integer FID = 0;

 protected:
  // Moves the item into the collection of AParent it belongs in.
  void SetParentComponent(TComponent* Value) override;

 public:
  explicit TcxComponentCollectionItem(TComponent* AOwner) : TComponent(AOwner) {}
  // Leaves the collection first.
  ~TcxComponentCollectionItem() override;

  // The collection of AParent that items of this class belong in.
  virtual TcxComponentCollection* CollectionFromParent(TComponent* AParent) = 0;
  // The component name.
  virtual AnsiString DisplayText();
  // Leaves the old collection and joins the new one (either may be null);
  // nothing when it is the current one.
  virtual void MoveToCollection(TcxComponentCollection* ACollection);
  // Moves the item to AIndex of its collection and reports a change of the
  // whole collection; nothing outside a collection or at that index.
  virtual void ChangePosition(Integer AIndex);
  // The collection reports a change of this item, or of all items; nothing
  // while the item is being destroyed or outside a collection.
  void NotifyChanged(bool AAllItems = false);

  // The collection's parent component while in a collection.
  bool HasParent() const override;
  TComponent* GetParentComponent() const override;

  TcxComponentCollection* Collection() const { return FCollection; }
  // Given when the item joins a collection; unique within it.
  Integer ID() const { return FID; }
  // The position in the collection; -1 outside one.
  Integer IndexInCollection() const;
};

using TcxComponentCollectionChangeEvent =
    TClosure<void(TObject* Sender, TcxComponentCollectionItem* AItem, TcxItemChange AChange)>;

class TcxComponentCollection : public TPersistent {
  RTL_CLASS(TcxComponentCollection, TPersistent)
  friend class TcxComponentCollectionItem;
  TComponent* FParentComponent;
  TClass FItemClass;
  std::vector<TcxComponentCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;

  void JoinItem(TcxComponentCollectionItem* AItem);
  void LeaveItem(TcxComponentCollectionItem* AItem);
  // Reported only outside an update lock.
  void Changed(TcxComponentCollectionItem* AItem, TcxItemChange AChange);

 protected:
  // The control whose form names the items; none here.
  virtual TControl* ParentControl();
  virtual AnsiString ItemNamePrefix();
  virtual AnsiString ItemBaseName();
  // Called as items join (ichAdded) and leave (ichRemoving, ichRemoved).
  virtual void ItemNotification(TcxComponentCollectionItem* AItem, TcxItemChange AChange);
  // Names the item after the parent component, unique on its form.
  virtual void AssignUniqueItemName(TcxComponentCollectionItem* AItem);
  virtual void RaiseOnChange(TcxComponentCollectionItem* AItem, TcxItemChange AChange);

 public:
  TcxComponentCollection(TComponent* AParentComponent, TClass AItemClass);
  // Reports nothing more, then frees the items.
  ~TcxComponentCollection() override;

  TcxComponentCollectionChangeEvent OnCollectionChanged;

  virtual void IncUpdateLock();
  // With AForce, a change of the whole collection is reported (when the
  // lock is then open).
  virtual void DecUpdateLock(bool AForce = false);

  // Another collection's items copied into new items of this one; other
  // sources go to the framework's default.
  void Assign(TPersistent* ASource) override;
  void AssignFromCollection(TcxComponentCollection* ASource);
  // A new item owned by the parent's owner, in this collection, named.
  TcxComponentCollectionItem* AppendItem();
  TcxComponentCollectionItem* InsertItem(Integer AIndex);
  // Frees every item inside one update lock and reports once.
  void DeleteAllItems();
  // Reads a collection value into the items: the i-th entry goes into the
  // item at position i (appended when there is none). A reader error comes
  // out with the items read before it kept.
  void ReadItemsFromReader(TReader* AReader);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  Integer Count() const { return GetCount(); }
  // Raises EListError "List index out of bounds (%d)".
  TcxComponentCollectionItem* GetItem(Integer AIndex) const;
  TcxComponentCollectionItem* Items(Integer AIndex) const { return GetItem(AIndex); }
  Integer IndexOf(const TcxComponentCollectionItem* AItem) const;
  TComponent* ParentComponent() const { return FParentComponent; }
  TClass ItemClass() const { return FItemClass; }
  Integer UpdateCount() const { return FUpdateCount; }
  TPersistent* GetOwner() const override;
};

// The unique name for a component among everything Root owns, at any depth
// (Root null: the component's topmost owner): the parent's name, then the
// base reduced to ASCII letters, digits and underscores (with the class
// name, less APrefix or the leading "T", in front when that is empty or
// starts with a digit), then a number from AStartNumber on (-1: 1 for an
// empty base, else 0; 0 adds no number).
AnsiString cxGenerateUniqueName(TComponent* ARoot, TComponent* AParentComponent, TComponent* AComponent,
                                const AnsiString& APrefix, const AnsiString& ABaseName, Integer AStartNumber = -1);

// ---- Interfaced collections -------------------------------------------------------------

// A collection item whose reference counting is its owner's.
class TcxInterfacedCollectionItem : public TCollectionItem, public IUnknown {
  RTL_CLASS(TcxInterfacedCollectionItem, TCollectionItem)
  IUnknown* FOwnerInterface = nullptr;

 protected:
  // The interface `iid` of this item in `obj`; descendants add theirs.
  virtual bool GetInterface(REFIID iid, void** obj);

 public:
  explicit TcxInterfacedCollectionItem(TCollection* ACollection);

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  // The owner's when it has an interface, else -1.
  ULONG AddRef() override;
  ULONG Release() override;
};

using TcxCompareCollectionItemsEvent =
    TClosure<Integer(TObject* Sender, TCollectionItem* AItem1, TCollectionItem* AItem2)>;
using TcxCollectionItemsUpdatedEvent = TClosure<void(TObject* Sender, TCollectionItem* AItem)>;

// An owned collection without reference counting that can keep its items
// sorted and reports each update.
class TcxOwnedInterfacedCollection : public TOwnedCollection, public IUnknown {
  RTL_CLASS(TcxOwnedInterfacedCollection, TOwnedCollection)
  enum { csDestroyingBit = 1, csUpdatingBit = 2, csSortingBit = 4 };
  Integer FState = 0;
  bool FSorted = false;

 protected:
  // Sorts first when sorted and the whole collection changed; does nothing
  // when called again from inside itself.
  void Update(TCollectionItem* AItem) override;
  // The sign of the difference of the two indexes.
  virtual Integer CompareItems(TCollectionItem* AItem1, TCollectionItem* AItem2);
  virtual HRESULT QueryInterfaceImpl(REFIID riid, void** ppvObject);

 public:
  TcxOwnedInterfacedCollection(TPersistent* AOwner, TCollectionItemClass AItemClass)
      : TOwnedCollection(AOwner, AItemClass) {}
  ~TcxOwnedInterfacedCollection() override;

  TcxCompareCollectionItemsEvent OnCompareCollectionItems;
  TcxCollectionItemsUpdatedEvent OnItemsUpdated;

  // Orders the items by OnCompareCollectionItems (else CompareItems);
  // nothing inside an update or while sorting.
  void Sort();
  bool Sorted() const { return FSorted; }
  void SetSorted(bool AValue) { FSorted = AValue; }

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override { return QueryInterfaceImpl(riid, ppvObject); }
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }
};

using TcxStringListCompareEvent = TClosure<Integer(TObject* Sender, Integer AIndex1, Integer AIndex2)>;

// A string list that sorts with OnCompare when it is assigned.
class TcxStringList : public TStringList {
  RTL_CLASS(TcxStringList, TStringList)

 public:
  TcxStringList() = default;

  TcxStringListCompareEvent OnCompare;

  void Sort() override;
};

// ---- Component list -------------------------------------------------------------------

using TcxComponentListNotifyEvent =
    TClosure<void(TObject* Sender, TComponent* AComponent, TListNotification AAction)>;
using TcxComponentListChangeEvent =
    TClosure<void(TObject* Sender, TComponent* AComponent, TcxItemChange AChange)>;

// A list of components that owns none, takes only components of its
// accepted class and reports changes outside its update lock.
class TcxComponentList : public TComponentList {
  RTL_CLASS(TcxComponentList, TComponentList)
  Integer FUpdateCount = 0;

  void Changed(TComponent* AComponent, TcxItemChange AChange);

 protected:
  // Components of the accepted class go to HandleItemNotify; any other is
  // taken out again as soon as it was added.
  void Notify(void* Ptr, TListNotification Action) override;
  // The framework's handling, OnItemNotify, then the report.
  virtual void HandleItemNotify(TComponent* AComponent, TListNotification AAction);
  virtual TClass AcceptedItemClass();

 public:
  TcxComponentList() : TComponentList(false) {}
  ~TcxComponentList() override;

  TcxComponentListNotifyEvent OnItemNotify;
  TcxComponentListChangeEvent OnListChanged;

  void LockUpdates() { ++FUpdateCount; }
  // Reports a change of the whole list when the lock opens.
  void UnlockUpdates();
  void UnlockSilently() { --FUpdateCount; }
  // Deletes the items one by one inside one lock.
  void RemoveAll();
};
