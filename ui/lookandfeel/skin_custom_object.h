// The base of the named skin objects and the lists that hold them: a
// change climbs from an object to its list and from the list to the
// list's owner; a list finds its objects by name.
#pragma once

#include "platform/rtl/classes.h"
#include "ui/foundation/cx_classes.h"
#include "ui/lookandfeel/skin_types.h"

class TStream;
class TdxSkinElement;
class TdxSkinProperty;

// A named skin object that knows its owner and reports its changes.
class TdxSkinCustomObject : public TPersistent {
  RTL_CLASS(TdxSkinCustomObject, TPersistent)
  AnsiString FName;
  TPersistent* FOwner;

 public:
  // Created through a class reference with the owner; the name is given
  // by CreateOfClass.
  using TConstructArg = TPersistent;

  explicit TdxSkinCustomObject(TPersistent* AOwner, const AnsiString& AName = AnsiString());

  // An instance of AClass (a descendant of this class) with the owner and
  // the name; null for a class that is not a skin object.
  static TdxSkinCustomObject* CreateOfClass(TClass AClass, TPersistent* AOwner, const AnsiString& AName);

  virtual void ReportChange(TdxSkinChanges AChanges);
  virtual void LoadFromSkinStream(TStream* AStream, double AVersion);
  virtual void SaveToSkinStream(TStream* AStream);
  // Fires OnChange for a change that is not empty.
  virtual void NotifyOwner(TdxSkinChanges AChanges);

  TPersistent* GetOwner() const override { return FOwner; }

  const AnsiString& Name() const { return FName; }
  // A different name is a structural change.
  void SetName(const AnsiString& AValue);

  TdxSkinChangeNotify OnChange;
};

// An owning list of skin objects that reports its changes to its owner,
// once per bracket of LockChanges and UnlockChanges, and finds objects by
// name through a sorted order it rebuilds after any change.
class TdxSkinCustomObjectList : public TcxObjectList {
  RTL_CLASS(TdxSkinCustomObjectList, TcxObjectList)
  TPersistent* FOwner;
  TdxSkinChanges FChanges;
  Integer FUpdateCount = 0;
  bool FSorted = false;

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 public:
  explicit TdxSkinCustomObjectList(TPersistent* AOwner);
  ~TdxSkinCustomObjectList() override;

  virtual void ListChanged(TdxSkinChanges AChanges);
  virtual void LoadFromSkinStream(TStream* AStream, double AVersion);
  virtual void SaveToSkinStream(TStream* AStream);

  void LockChanges();
  void UnlockChanges();
  // A new object of AClass with the list's owner and the name, appended;
  // its changes reach ListChanged.
  TdxSkinCustomObject* AppendNew(const AnsiString& AName, TClass AClass);
  // The object of that name (case-sensitive), or null.
  TdxSkinCustomObject* FindByName(const AnsiString& AName);
  // Sorts by name unless the order is still sorted.
  void SortByName();

  TdxSkinCustomObject* Items(Integer AIndex) const { return static_cast<TdxSkinCustomObject*>(ItemAt(AIndex)); }
  TPersistent* Owner() const { return FOwner; }
  Integer UpdateCount() const { return FUpdateCount; }

  TdxSkinChangeNotify OnChange;
};

// Typed properties. The stream form: a count, then per property its class
// name, its name and its value.
class TdxSkinProperties : public TdxSkinCustomObjectList {
  RTL_CLASS(TdxSkinProperties, TdxSkinCustomObjectList)

 public:
  using TdxSkinCustomObjectList::TdxSkinCustomObjectList;

  // Reads inside one bracket of LockChanges, so the owner hears of the
  // whole list once. A class name that is no registered property class
  // raises EClassNotFound; what was read before stays in the list.
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  TdxSkinProperty* Items(Integer AIndex) const;
};

// The elements of a control group. The stream form: a count, then per
// element its name and its record.
class TdxSkinElements : public TdxSkinCustomObjectList {
  RTL_CLASS(TdxSkinElements, TdxSkinCustomObjectList)

 public:
  using TdxSkinCustomObjectList::TdxSkinCustomObjectList;

  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  TdxSkinElement* Items(Integer AIndex) const;
};
