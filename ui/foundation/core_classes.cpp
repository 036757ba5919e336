#include "ui/foundation/core_classes.h"

#include <vector>

#include "platform/rtl/lists.h"

RTL_IMPLEMENT_CLASS(EdxException)
RTL_IMPLEMENT_CLASS(TcxIUnknownObject)
RTL_IMPLEMENT_CLASS(TcxInterfacedPersistent)
RTL_IMPLEMENT_CLASS(TcxOwnedPersistent)
RTL_IMPLEMENT_CLASS(TcxFreeNotificator)
RTL_IMPLEMENT_CLASS(TcxDoublyLinkedObject)
RTL_IMPLEMENT_CLASS(TcxDoublyLinkedData)
RTL_IMPLEMENT_CLASS(TcxDoublyLinkedObjectList)
RTL_IMPLEMENT_CLASS(TcxDoublyLinkedDataList)

// ---- TcxIUnknownObject --------------------------------------------------------

bool TcxIUnknownObject::GetInterface(REFIID iid, void** obj) {
  if (IsEqualIID(iid, IID_IUnknown)) {
    *obj = static_cast<IUnknown*>(this);
    return true;
  }
  return false;
}

HRESULT TcxIUnknownObject::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  return GetInterface(riid, ppvObject) ? S_OK : E_NOINTERFACE;
}

// ---- TcxOwnedPersistent --------------------------------------------------------

void TcxOwnedPersistent::CopyFrom(TPersistent*) {}

void TcxOwnedPersistent::AssignPersistent(TPersistent* Source) {
  if (Source && Source->InheritsFrom(ClassType()))
    CopyFrom(Source);
  else
    TPersistent::Assign(Source);
}

// ---- TcxFreeNotificator --------------------------------------------------------

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && OnComponentFreed) OnComponentFreed(this, AComponent);
}

void TcxFreeNotificator::WatchComponent(TComponent* AComponent) {
  if (AComponent) AComponent->FreeNotification(this);
}

void TcxFreeNotificator::UnwatchComponent(TComponent* AComponent) {
  if (AComponent) AComponent->RemoveFreeNotification(this);
}

// ---- TcxDoublyLinkedObjectList ---------------------------------------------------

TcxDoublyLinkedObjectList::~TcxDoublyLinkedObjectList() { FreeAllNodes(); }

void TcxDoublyLinkedObjectList::FreeAllNodes() {
  while (FLast) {
    TcxDoublyLinkedObject* node = FLast;
    FLast = node->FPrev;
    if (FLast) FLast->FNext = nullptr;
    delete node;
  }
}

TClass TcxDoublyLinkedObjectList::NodeClass() const { return TcxDoublyLinkedObject::StaticClass(); }

TcxDoublyLinkedObject* TcxDoublyLinkedObjectList::NewNode() {
  TObject* obj = CreateInstance(NodeClass());
  auto* node = dynamic_cast<TcxDoublyLinkedObject*>(obj);
  if (!node) {
    delete obj;
    throw EdxException("Cannot create a node of class " + NodeClass()->ClassName());
  }
  return node;
}

TcxDoublyLinkedObject* TcxDoublyLinkedObjectList::AppendNode() {
  TcxDoublyLinkedObject* node = NewNode();
  node->FPrev = FLast;
  if (FLast) FLast->FNext = node;
  FLast = node;
  return node;
}

void TcxDoublyLinkedObjectList::UnlinkNode(TcxDoublyLinkedObject* ANode) {
  if (ANode->FNext)
    ANode->FNext->FPrev = ANode->FPrev;
  else
    FLast = ANode->FPrev;
  if (ANode->FPrev) ANode->FPrev->FNext = ANode->FNext;
}

void TcxDoublyLinkedObjectList::DeleteNode(TcxDoublyLinkedObject*& ANode) {
  UnlinkNode(ANode);
  FreeAndNil(ANode);
}

Integer TcxDoublyLinkedObjectList::CountNodes() const {
  Integer n = 0;
  for (TcxDoublyLinkedObject* node = FLast; node; node = node->FPrev) ++n;
  return n;
}

// ---- TcxDoublyLinkedDataList -------------------------------------------------------

TClass TcxDoublyLinkedDataList::NodeClass() const { return TcxDoublyLinkedData::StaticClass(); }

TcxDoublyLinkedData* TcxDoublyLinkedDataList::AppendData(void* AData) {
  auto* node = static_cast<TcxDoublyLinkedData*>(AppendNode());
  node->SetData(AData);
  return node;
}

void TcxDoublyLinkedDataList::AppendList(TList* AList) {
  for (Integer i = 0; i < AList->Count(); ++i) AppendData(AList->Items(i));
}

void TcxDoublyLinkedDataList::CopyToList(TList* AList) {
  Integer n = CountNodes();
  // Shrink the count first: a capacity below the count is refused.
  AList->SetCount(n);
  AList->SetCapacity(n);
  Integer i = n;
  for (TcxDoublyLinkedObject* node = Last(); node; node = node->Prev())
    AList->SetItem(--i, static_cast<TcxDoublyLinkedData*>(node)->Data());
}
