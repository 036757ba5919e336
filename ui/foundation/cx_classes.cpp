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
    if (FHandlers[i]->Handler == AHandler) return static_cast<Integer>(i);
  return -1;
}

void TcxEventHandlerCollection::AddHandler(const TcxEventHandler& AHandler) {
  if (IndexOf(AHandler) < 0) FHandlers.push_back(std::make_shared<TEntry>(TEntry{AHandler}));
}

void TcxEventHandlerCollection::RemoveHandler(const TcxEventHandler& AHandler) { Delete(IndexOf(AHandler)); }

void TcxEventHandlerCollection::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) return;
  FHandlers[static_cast<size_t>(Index)]->Removed = true;
  FHandlers.erase(FHandlers.begin() + Index);
}

void TcxEventHandlerCollection::InvokeAll(TObject* Sender, void* AEventArgs) {
  // A handler may change the set (remove itself, another, or add one): the
  // walk runs over the entries of the start and checks each before calling.
  // The snapshot also keeps an entry alive while its handler runs.
  const std::vector<std::shared_ptr<TEntry>> snapshot = FHandlers;
  for (const auto& entry : snapshot)
    if (!entry->Removed) entry->Handler(Sender, AEventArgs);
}

// ---- Resource strings -------------------------------------------------------------

AnsiString cxResolveResourceString(PResStringRec AResString) { return LoadResString(AResString); }

AnsiString cxGetFirstDescriptionPart(const AnsiString& AText) {
  size_t p = AText.find('|');
  return p == AnsiString::npos ? AText : AText.substr(0, p);
}
