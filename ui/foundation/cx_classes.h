// An object list that may own its objects, a multicast set of event
// handlers, and the resource-string helpers the library's descriptions
// and captions go through.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/closure.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/resources.h"

// A pointer list that, when it owns its objects, frees them only when it is
// cleared (ClearAll) or destroyed; deleting or removing an entry leaves the
// object alone unless FreeAndDelete / FreeAndRemove asks for it.
class TcxObjectList : public TList {
  RTL_CLASS(TcxObjectList, TList)
  bool FOwnObjects;

 public:
  explicit TcxObjectList(bool AOwnObjects = true) : FOwnObjects(AOwnObjects) {}
  ~TcxObjectList() override;

  void Clear() override;
  void ClearAll() { Clear(); }
  // Frees the object at Index and deletes the entry.
  void FreeAndDelete(Integer Index);
  // Frees AObject and deletes its first entry; returns that index, or -1
  // (nothing freed) when it is absent.
  Integer FreeAndRemove(TObject* AObject);
  TObject* ItemAt(Integer Index) const { return static_cast<TObject*>(Items(Index)); }
  bool OwnObjects() const { return FOwnObjects; }
};

// (Sender, AEventArgs); what AEventArgs points at is the raiser's choice.
using TcxEventHandler = TClosure<void(TObject* Sender, void* AEventArgs)>;

// Handlers in order of addition, none held twice (same code and object).
class TcxEventHandlerCollection : public TObject {
  RTL_CLASS(TcxEventHandlerCollection, TObject)
  struct TEntry {
    TcxEventHandler Handler;
    bool Removed = false;
  };
  // Entries stay where they are while an invocation runs: a removal then
  // only marks its entry, and the last invocation to end drops them.
  std::vector<std::unique_ptr<TEntry>> FHandlers;
  Integer FInvoking = 0;
  Integer FRemoved = 0;

  // The position in FHandlers of the live entry equal to AHandler, or of
  // the live entry number Index; -1 when none.
  Integer IndexOf(const TcxEventHandler& AHandler) const;
  Integer PositionOf(Integer Index) const;
  void DropRemoved();

 public:
  TcxEventHandlerCollection() = default;

  void AddHandler(const TcxEventHandler& AHandler);
  void RemoveHandler(const TcxEventHandler& AHandler);
  // Removes the handler at Index; any other index is ignored.
  void Delete(Integer Index);
  // Calls the handlers present when the call starts, in order of addition.
  // A handler may add or remove handlers: one removed meanwhile is skipped,
  // one added meanwhile waits for the next call.
  void InvokeAll(TObject* Sender, void* AEventArgs);

  Integer Count() const { return static_cast<Integer>(FHandlers.size()) - FRemoved; }
};

// The text of a resource string as the string table holds it.
AnsiString cxResolveResourceString(PResStringRec AResString);
// AText up to its first "|", the whole text when it has none.
AnsiString cxGetFirstDescriptionPart(const AnsiString& AText);
