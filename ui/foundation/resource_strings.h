// The resource-string repository: each product of the library files the
// names of its user-visible strings here, and controls that show such
// strings attach as listeners. Texts are always loaded from the string
// table; nothing reads the names back or calls the listeners.
#pragma once

#include <vector>

#include "platform/rtl/lists.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/stringlist.h"
#include "platform/win/kernel/objidl.h"

inline constexpr IID IID_IdxResourceStringsListener = {
    0x2E881B9F, 0x1A56, 0x4599, {0xDE, 0xE4, 0xA1, 0x3C, 0x3E, 0x6B, 0x50, 0x01}};

// Re-reads every text taken from resource strings.
class IdxResourceStringsListener : public IUnknown {
 public:
  virtual void ResourceStringsChanged() = 0;

 protected:
  ~IdxResourceStringsListener() = default;
};

class TdxProductResourceStrings;
// Files a product's strings (RegisterString); called as the product is made.
using TdxAddResourceStringsProc = void (*)(TdxProductResourceStrings* AProduct);

class TdxProductResourceStrings : public TObject {
  RTL_CLASS(TdxProductResourceStrings, TObject)
  AnsiString FName;
  TdxAddResourceStringsProc FInitializeProc;
  // Sorted, case-insensitive, duplicates ignored; each entry's object is
  // the string's record.
  TStringList FNames;

 public:
  // Runs AInitializeProc (when given) with the new product.
  TdxProductResourceStrings(const AnsiString& AName, TdxAddResourceStringsProc AInitializeProc);

  // A name present already (in any letter case) keeps its first record.
  void RegisterString(const AnsiString& AName, PResStringRec AResString);

  const AnsiString& Name() const { return FName; }
  TdxAddResourceStringsProc InitializeProc() const { return FInitializeProc; }
  Integer NameCount() const { return FNames.Count(); }
  AnsiString Names(Integer Index) const { return FNames[Index]; }
  PResStringRec ResStrings(Integer Index) const;
  // -1 when absent.
  Integer IndexOfName(const AnsiString& AName) const { return FNames.IndexOf(AName); }
};

class TdxResourceStringsRepository : public TObject {
  RTL_CLASS(TdxResourceStringsRepository, TObject)
  TObjectList FProducts{true};
  // No references are held on the listeners.
  std::vector<IdxResourceStringsListener*> FListeners;

 public:
  TdxResourceStringsRepository() = default;

  // Appends a new product (no duplicate check: the same name twice gives
  // two products).
  void AddProduct(const AnsiString& AProductName, TdxAddResourceStringsProc AInitializeProc);
  // Frees the first product of exactly that name; nothing when none.
  void RemoveProduct(const AnsiString& AProductName);
  Integer IndexOfProduct(const AnsiString& AProductName) const;
  TdxProductResourceStrings* GetProduct(Integer Index) const;
  Integer ProductCount() const { return FProducts.Count(); }

  // Once per listener.
  void AttachListener(IdxResourceStringsListener* AListener);
  void DetachListener(IdxResourceStringsListener* AListener);
  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  IdxResourceStringsListener* Listeners(Integer Index) const { return FListeners.at(static_cast<size_t>(Index)); }
};

// The repository, created on first use; null once the library core has
// shut down.
TdxResourceStringsRepository* dxResourceStringsRepositoryInstance();

namespace dx_core_detail {
// The library core's start-up and shut-down of the repository.
void StartResourceStrings();
void FreeResourceStrings();
}  // namespace dx_core_detail
