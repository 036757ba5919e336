// The small base classes the UI library derives from or keeps its data in:
// the library's exception, an interface object without reference counting,
// persistent objects that know their owner, a component that reports the
// destruction of watched components, and doubly linked node lists.
#pragma once

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/objidl.h"

class TList;

RTL_EXCEPTION(EdxException, Exception)

// Hands out interfaces without counting references: its owner decides when
// it dies, so AddRef and Release change nothing and answer -1.
class TcxIUnknownObject : public TObject, public IUnknown {
  RTL_CLASS(TcxIUnknownObject, TObject)

 protected:
  // The interface `iid` of this object in `obj`; descendants add the
  // interfaces they implement and pass the rest on.
  virtual bool GetInterface(REFIID iid, void** obj);

 public:
  TcxIUnknownObject() = default;
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }
};

// An interfaced persistent object whose owner query answers the owner
// given at creation.
class TcxInterfacedPersistent : public TInterfacedPersistent {
  RTL_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)
  TPersistent* FOwner;

 public:
  explicit TcxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }
};

// A persistent object that knows its owner. Assigning an object of the same
// class (or a derived one) copies it through CopyFrom; anything else goes to
// the framework's default, which refuses unrelated classes.
class TcxOwnedPersistent : public TPersistent {
  RTL_CLASS(TcxOwnedPersistent, TPersistent)
  TPersistent* FOwner;

 public:
  explicit TcxOwnedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}

  // Descendants copy their state from Source, which is of their class.
  virtual void CopyFrom(TPersistent* Source);
  void Assign(TPersistent* Source) override { AssignPersistent(Source); }
  void AssignPersistent(TPersistent* Source);

  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }
};

// Watches components and reports each one that is destroyed.
class TcxFreeNotificator : public TComponent {
  RTL_CLASS(TcxFreeNotificator, TComponent)

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TcxFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}

  // Sender is the notificator, AComponent the component being destroyed.
  TClosure<void(TObject* Sender, TComponent* AComponent)> OnComponentFreed;

  void WatchComponent(TComponent* AComponent);
  void UnwatchComponent(TComponent* AComponent);
};

// ---- Doubly linked lists ----------------------------------------------------

class TcxDoublyLinkedObject : public TObject {
  RTL_CLASS(TcxDoublyLinkedObject, TObject)
  friend class TcxDoublyLinkedObjectList;
  TcxDoublyLinkedObject* FPrev = nullptr;
  TcxDoublyLinkedObject* FNext = nullptr;

 public:
  TcxDoublyLinkedObject() = default;
  TcxDoublyLinkedObject* Prev() const { return FPrev; }
  TcxDoublyLinkedObject* Next() const { return FNext; }
  void SetPrev(TcxDoublyLinkedObject* Value) { FPrev = Value; }
  void SetNext(TcxDoublyLinkedObject* Value) { FNext = Value; }
};

class TcxDoublyLinkedData : public TcxDoublyLinkedObject {
  RTL_CLASS(TcxDoublyLinkedData, TcxDoublyLinkedObject)
  void* FData = nullptr;

 public:
  TcxDoublyLinkedData() = default;
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
};

// Keeps only its last node; the list owns its nodes and frees them, last
// to first, when it is destroyed.
class TcxDoublyLinkedObjectList : public TObject {
  RTL_CLASS(TcxDoublyLinkedObjectList, TObject)
  TcxDoublyLinkedObject* FLast = nullptr;

 protected:
  void FreeAllNodes();

 public:
  TcxDoublyLinkedObjectList() = default;
  ~TcxDoublyLinkedObjectList() override;

  // An instance of NodeClass, not yet linked.
  virtual TcxDoublyLinkedObject* NewNode();
  virtual TClass NodeClass() const;
  virtual TcxDoublyLinkedObject* AppendNode();
  // Takes the node out of the chain; it keeps its own links and lives on.
  virtual void UnlinkNode(TcxDoublyLinkedObject* ANode);
  // Unlinks and frees the node, and clears the variable.
  virtual void DeleteNode(TcxDoublyLinkedObject*& ANode);

  Integer CountNodes() const;
  TcxDoublyLinkedObject* Last() const { return FLast; }
};

class TcxDoublyLinkedDataList : public TcxDoublyLinkedObjectList {
  RTL_CLASS(TcxDoublyLinkedDataList, TcxDoublyLinkedObjectList)

 public:
  TcxDoublyLinkedDataList() = default;

  TClass NodeClass() const override;
  TcxDoublyLinkedData* AppendData(void* AData);
  // One node per pointer of AList, first to last.
  virtual void AppendList(TList* AList);
  // Makes AList hold the nodes' pointers, the first node's at index 0.
  virtual void CopyToList(TList* AList);
};
