// The component model: persistent objects with Assign, components with
// owners, names and free notification, collections of items, and the
// registry of classes that streams create by name.
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/rtl/object.h"

class TFiler;
class TReader;
class TWriter;
class TComponent;
class TCollection;

// ---- TPersistent ----------------------------------------------------------

// An object that can copy another's state (Assign) and be streamed.
class TPersistent : public TObject {
  RTL_CLASS(TPersistent, TObject)
  friend class TFiler;
  friend class TReader;
  friend class TWriter;

 protected:
  // Raises EConvertError "Cannot assign a %s to a %s" (Source's class name
  // or "nil", then this object's class name).
  [[noreturn]] void AssignError(const TPersistent* Source) const;
  // Copies this object into Dest; the default fails with AssignError.
  virtual void AssignTo(TPersistent* Dest);
  // Declares the values the filer stores beyond the published properties.
  virtual void DefineProperties(TFiler* Filer);

 public:
  // Copies Source into this object. The default asks Source (AssignTo),
  // so that either side may know how to copy.
  virtual void Assign(TPersistent* Source);
  virtual TPersistent* GetOwner() const;
  // "Owner path.ClassName" for the object inspector and the filer.
  virtual AnsiString GetNamePath() const;
};

// A persistent object that other subsystems expose through interfaces; the
// interfaces carry no reference count here.
class TInterfacedPersistent : public TPersistent {
  RTL_CLASS(TInterfacedPersistent, TPersistent)
};

// ---- TComponent -----------------------------------------------------------

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

using TGetChildProc = std::function<void(TComponent* Child)>;

// A named, owned object. An owner deletes its components when it is
// destroyed, from the last to the first. Components that hold references
// to each other ask for a free notification: when one of them is destroyed
// the other's Notification receives opRemove and clears its reference.
//
// Destruction order: Destroying (csDestroying, also for every owned
// component), then opRemove to every component that asked for a free
// notification, then the owned components are destroyed, then the
// component leaves its owner (which tells the owner's components). These
// steps run in TComponent's destructor, after the destructors of derived
// classes, so csDestroying is not yet set while the derived destructors of
// the component being deleted run (it is for the components it owns). A
// derived class that must see its owned components destroyed earlier calls
// Destroying and DestroyComponents in its own destructor.
class TComponent : public TPersistent {
  RTL_CLASS(TComponent, TPersistent)
  friend class TReader;
  friend class TWriter;

  TComponent* FOwner = nullptr;
  AnsiString FName;
  NativeInt FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  LongInt FDesignInfo = 0;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle{csInheritable};

  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  void SetReference(bool Enable);

 protected:
  virtual void ChangeName(const AnsiString& NewName);
  // Called on every component of the owner (recursively through their
  // own components) when a component is inserted into or removed from the
  // owner, and on every free-notification partner when a component is
  // destroyed. The default drops the free notification of a component that
  // is being destroyed (not of one that only leaves its owner) and passes
  // the call on to the owned components.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Raises EComponentError "A component named %s already exists" when one
  // of this component's components other than AComponent has NewName.
  virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
  // Lets this component refuse AComponent as its owner; the default asks
  // AComponent (ValidateInsert).
  virtual void ValidateContainer(TComponent* AComponent);
  // Lets this component refuse AComponent as one of its components.
  virtual void ValidateInsert(TComponent* AComponent);
  virtual void SetParentComponent(TComponent* Value);
  // Streaming: the owner of the children read with this component (null:
  // the root), the component they get as parent (this), their order.
  virtual TComponent* GetChildOwner();
  virtual TComponent* GetChildParent();
  virtual void SetChildOrder(TComponent* Child, Integer Order);
  // Reads this component's properties and children (Reader->ReadData).
  virtual void ReadState(TReader* Reader);
  virtual void Updating();
  virtual void Updated();
  void SetComponentStyle(const TComponentStyle& Value) { FComponentStyle = Value; }

 public:
  using TConstructArg = TComponent;

  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  // Deletes the owned components, from the last to the first.
  void DestroyComponents();
  // Marks this component and its components as being destroyed.
  void Destroying();
  // The component named AName (case-insensitive) among this one's
  // components; null when none.
  TComponent* FindComponent(const AnsiString& AName) const;
  // Asks that AComponent's Notification receive opRemove when this
  // component is destroyed, and the other way round.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  // Makes this component AComponent's owner (taking it from its former
  // owner) and tells this component's components (opInsert).
  void InsertComponent(TComponent* AComponent);
  // Takes AComponent out of this component's components (opRemove).
  void RemoveComponent(TComponent* AComponent);

  // Ends loading: clears csLoading. Components built in code as if read
  // from a form open the bracket with BeginLoading.
  virtual void Loaded();
  void BeginLoading() { FComponentState.Include(csLoading); }
  void SetDesigning(bool Value, bool SetChildren = true);

  virtual bool HasParent() const;
  virtual TComponent* GetParentComponent() const;
  // Calls Proc for each child the filer writes with this component.
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  // Writes this component's entry and children (Writer->WriteData).
  virtual void WriteState(TWriter* Writer);

  TPersistent* GetOwner() const override;
  AnsiString GetNamePath() const override;

  const AnsiString& Name() const { return FName; }
  // Raises EComponentError "Component name \"%s\" is not valid" for a name
  // that is not an identifier (the empty name is allowed), or the owner's
  // duplicate-name error.
  virtual void SetName(const AnsiString& NewName);
  TComponent* Owner() const { return FOwner; }
  TComponent* Components(Integer Index) const;
  Integer ComponentCount() const { return static_cast<Integer>(FComponents.size()); }
  // This component's place among its owner's components; -1 without owner.
  Integer ComponentIndex() const;
  void SetComponentIndex(Integer Value);
  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }
  LongInt DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(LongInt Value) { FDesignInfo = Value; }
};

// ---- Collections ----------------------------------------------------------

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// The class of a collection's items: a class reference derived from
// TCollectionItem.
using TCollectionItemClass = TClass;

// An item of a collection. Its constructor adds it to the collection; its
// destructor takes it out.
class TCollectionItem : public TPersistent {
  RTL_CLASS(TCollectionItem, TPersistent)
  friend class TCollection;
  TCollection* FCollection = nullptr;
  Integer FID = 0;

 protected:
  // Tells the collection that this item (or, with AllItems, the whole
  // collection) changed; nothing while the collection is being updated.
  void Changed(bool AllItems);

 public:
  using TConstructArg = TCollection;

  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item into another collection (or out of any with null); it
  // gets a new ID there. Raises EListError "Invalid property value" when
  // the item is not of Value's item class.
  virtual void SetCollection(TCollection* Value);
  Integer ID() const { return FID; }
  Integer Index() const;
  // Moves the item to position Value of its collection.
  virtual void SetIndex(Integer Value);
  AnsiString DisplayName() const { return GetDisplayName(); }
  virtual AnsiString GetDisplayName() const;
  virtual void SetDisplayName(const AnsiString& Value);

  TPersistent* GetOwner() const override;
  // "CollectionPath[Index]".
  AnsiString GetNamePath() const override;
};

// A list of items of one class, created through the class reference with
// the collection as the constructor's argument.
//
// Notify(cnAdded) and Update for an item made by Add or Insert run once the
// item is fully constructed. The destructor clears the collection through
// TCollection's own hooks (C++ calls no override from a base destructor),
// so a collection whose Notify must see its items go calls Clear in its own
// destructor.
class TCollection : public TPersistent {
  RTL_CLASS(TCollection, TPersistent)
  friend class TCollectionItem;
  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
  AnsiString FPropName;
  // The item whose construction Add is running, announced when it returns.
  TCollectionItem* FPendingItem = nullptr;
  bool FCreating = false;

  void InsertItem(TCollectionItem* Item, bool CheckClass);
  void RemoveItem(TCollectionItem* Item);
  void Added(TCollectionItem* Item);

 protected:
  // Calls Update(null) unless an update is in progress.
  void Changed();
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  // Called when Item (or, for null, the whole collection) changed.
  virtual void Update(TCollectionItem* Item);
  // Lets a designer name a newly added item.
  virtual void SetItemName(TCollectionItem* Item);
  Integer UpdateCount() const { return FUpdateCount; }

 public:
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  // Adds an item and moves it to Index.
  TCollectionItem* Insert(Integer Index);
  void Delete(Integer Index);
  void Clear();
  virtual void BeginUpdate();
  virtual void EndUpdate();
  // Copies a collection item by item (Add then Assign); anything else goes
  // to TPersistent::Assign.
  void Assign(TPersistent* Source) override;
  TCollectionItem* FindItemID(Integer ID) const;

  // Raises EListError "List index out of bounds (%d)".
  TCollectionItem* GetItem(Integer Index) const;
  TCollectionItem* Items(Integer Index) const { return GetItem(Index); }
  // Assigns Value to the item at Index.
  void SetItem(Integer Index, TCollectionItem* Value);
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TCollectionItemClass ItemClass() const { return FItemClass; }
  TPersistent* Owner() const { return GetOwner(); }
  // The name of the owner's property that holds this collection, used in
  // the name path.
  const AnsiString& PropName() const { return FPropName; }
  void SetPropName(const AnsiString& Value) { FPropName = Value; }
  // "OwnerPath.PropName" when both are known, else the class name.
  AnsiString GetNamePath() const override;

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }
};

// A collection that belongs to an object (usually a component).
class TOwnedCollection : public TCollection {
  RTL_CLASS(TOwnedCollection, TCollection)
  TPersistent* FOwner;

 public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
};

// ---- The class registry ---------------------------------------------------
// Classes that streams create by name. Names compare case-insensitively.
// Registering a class registers its ancestors up to TPersistent as well.

// Raises EFilerError "A class named %s already exists" when another class
// of that name is registered.
void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> AClasses);
void UnRegisterClass(TClass AClass);
void UnRegisterClasses(std::initializer_list<TClass> AClasses);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(const AnsiString& ClassName);
// Null when no class of that name is registered.
TClass GetClass(const AnsiString& ClassName);
