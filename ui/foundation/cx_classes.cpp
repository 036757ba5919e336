#include "ui/foundation/cx_classes.h"

RTL_IMPLEMENT_CLASS(TcxObjectList)
RTL_IMPLEMENT_CLASS(TcxEventHandlerCollection)

// ---- TcxObjectList ------------------------------------------------------------

TcxObjectList::~TcxObjectList() { TcxObjectList::Clear(); }

void TcxObjectList::Clear() {
  if (FOwnObjects)
    for (Integer i = 0; i < Count(); ++i) delete ItemAt(i);
  TList::Clear();
}

void TcxObjectList::FreeAndDelete(Integer Index) {
  TObject* obj = ItemAt(Index);
  Delete(Index);
  delete obj;
}

Integer TcxObjectList::FreeAndRemove(TObject* AObject) {
  Integer i = IndexOf(AObject);
  if (i >= 0) FreeAndDelete(i);
  return i;
}

// ---- TcxEventHandlerCollection ----------------------------------------------------

Integer TcxEventHandlerCollection::IndexOf(const TcxEventHandler& AHandler) const {
  for (size_t i = 0; i < FHandlers.size(); ++i)
    if (!FHandlers[i]->Removed && FHandlers[i]->Handler == AHandler) return static_cast<Integer>(i);
  return -1;
}

Integer TcxEventHandlerCollection::PositionOf(Integer Index) const {
  if (Index < 0) return -1;
  for (size_t i = 0; i < FHandlers.size(); ++i)
    if (!FHandlers[i]->Removed && Index-- == 0) return static_cast<Integer>(i);
  return -1;
}

void TcxEventHandlerCollection::AddHandler(const TcxEventHandler& AHandler) {
  if (IndexOf(AHandler) < 0) FHandlers.push_back(std::make_unique<TEntry>(TEntry{AHandler}));
}

void TcxEventHandlerCollection::RemoveHandler(const TcxEventHandler& AHandler) {
  Integer i = IndexOf(AHandler);
  if (i < 0) return;
  if (FInvoking > 0) {
    FHandlers[static_cast<size_t>(i)]->Removed = true;
    ++FRemoved;
  } else {
    FHandlers.erase(FHandlers.begin() + i);
  }
}

void TcxEventHandlerCollection::Delete(Integer Index) {
  Integer i = PositionOf(Index);
  if (i >= 0) RemoveHandler(FHandlers[static_cast<size_t>(i)]->Handler);
}

void TcxEventHandlerCollection::DropRemoved() {
  std::erase_if(FHandlers, [](const std::unique_ptr<TEntry>& e) { return e->Removed; });
  FRemoved = 0;
}

void TcxEventHandlerCollection::InvokeAll(TObject* Sender, void* AEventArgs) {
  // The count is that of the start; entries keep their places until the
  // walk ends, so a handler that changes the set cannot make it skip,
  // repeat or read past a handler.
  struct TGuard {
    TcxEventHandlerCollection* Owner;
    ~TGuard() {
      if (--Owner->FInvoking == 0 && Owner->FRemoved > 0) Owner->DropRemoved();
    }
  };
  const size_t n = FHandlers.size();
  ++FInvoking;
  TGuard guard{this};
  for (size_t i = 0; i < n; ++i) {
    TEntry* e = FHandlers[i].get();
    if (!e->Removed) e->Handler(Sender, AEventArgs);
  }
}

// ---- Resource strings -------------------------------------------------------------

AnsiString cxResolveResourceString(PResStringRec AResString) { return LoadResString(AResString); }

AnsiString cxGetFirstDescriptionPart(const AnsiString& AText) {
  size_t p = AText.find('|');
  return p == AnsiString::npos ? AText : AText.substr(0, p);
}
