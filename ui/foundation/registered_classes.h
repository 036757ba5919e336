// Class registries: TcxRegisteredClassList maps an item class to a second
// class through the nearest registered ancestor (a bar item to its control
// editor); TcxRegisteredClasses is a described list of classes the user
// picks from (hint and panel styles).
#pragma once

#include <vector>

#include "ui/foundation/fast_list.h"

class TcxRegisteredClassList : public TObject {
  RTL_CLASS(TcxRegisteredClassList, TObject)
  TdxFastObjectList FItems{true};

 public:
  struct TEntry;

  TcxRegisteredClassList() = default;
  ~TcxRegisteredClassList() override;

  // Scans from the last entry: true with the index of the first entry for
  // AItemClass or one of its ancestors; an entry for a descendant met on
  // the way sets AIndex (the lowest one wins) and the scan goes on.
  virtual bool FindEntry(TClass AItemClass, Integer& AIndex) const;
  // Places the entry right after the nearest ancestor's, else before the
  // first descendant's, else at the end, so that a lookup always meets a
  // more derived entry first.
  virtual void RegisterPair(TClass AItemClass, TClass ARegisteredClass);
  // Frees every entry with exactly that pair.
  virtual void UnregisterPair(TClass AItemClass, TClass ARegisteredClass);

  // The registered class of the entry FindEntry finds; null when none.
  TClass FindClass(TClass AItemClass) const;
  void Clear();
  Integer Count() const { return FItems.Count(); }
  TClass ItemClasses(Integer Index) const;
  TClass RegisteredClasses(Integer Index) const;
};

// Entries of (description, class); a class is held once. The description
// shown is the text up to its first "|".
class TcxRegisteredClasses : public TObject {
  RTL_CLASS(TcxRegisteredClasses, TObject)
  struct TEntry {
    AnsiString Description;
    TClass Class;
  };
  std::vector<TEntry> FEntries;
  bool FRegisterClasses;
  bool FSorted = false;

  Integer IndexOfClass(TClass AClass) const;

 protected:
  // Compares the descriptions, ignoring case as the locale does.
  virtual Integer CompareEntries(Integer AIndex1, Integer AIndex2) const;
  virtual void SortEntries();

 public:
  // ARegisterClasses: also register each class with the streaming class
  // registry, so that forms can create it by name.
  explicit TcxRegisteredClasses(bool ARegisterClasses = false) : FRegisterClasses(ARegisterClasses) {}
  ~TcxRegisteredClasses() override;

  // Nothing when AClass is registered already (its description stays).
  void RegisterEntry(TClass AClass, const AnsiString& ADescription);
  void UnregisterEntry(TClass AClass);
  // The first class whose name is exactly AName (case-sensitive).
  TClass FindByClassName(const AnsiString& AName) const;
  void Clear();

  Integer Count() const { return static_cast<Integer>(FEntries.size()); }
  TClass Items(Integer Index) const;
  AnsiString Descriptions(Integer Index) const;
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool RegisterClasses() const { return FRegisterClasses; }
};
