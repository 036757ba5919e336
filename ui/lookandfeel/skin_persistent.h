// Skin objects that carry typed properties, and the control group that
// holds the elements of one kind of control.
#pragma once

#include "ui/lookandfeel/skin_custom_object.h"

class TdxSkinElement;
class TdxSkinProperty;

// Changes of the object and of its properties reach OnChange at once, or
// once with their union at the end of a LockChanges bracket.
class TdxSkinPersistent : public TdxSkinCustomObject {
  RTL_CLASS(TdxSkinPersistent, TdxSkinCustomObject)
  TdxSkinProperties* FProperties;
  Integer FUpdateCount = 0;
  bool FModified = false;
  TdxSkinChanges FChanges;

 public:
  explicit TdxSkinPersistent(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  ~TdxSkinPersistent() override;

  // Copies the properties of any skin persistent (each recreated with its
  // class and name), inside one bracket; other sources raise the
  // framework's assignment error.
  void Assign(TPersistent* Source) override;
  void ReportChange(TdxSkinChanges AChanges) override;

  virtual void ClearProperties();
  // Frees the property and takes it out of the list.
  virtual void DeleteProperty(TdxSkinProperty* AProperty);
  virtual void SortProperties();

  void LockChanges();
  void UnlockChanges();
  TdxSkinProperty* FindProperty(const AnsiString& AName);
  bool TryFindProperty(const AnsiString& AName, TdxSkinProperty*& AProperty);

  TdxSkinProperties* Properties() const { return FProperties; }
  bool Modified() const { return FModified; }
  void SetModified(bool AValue) { FModified = AValue; }

 protected:
  // Copies the properties of ASource over this object's.
  void AssignProperties(TdxSkinPersistent* ASource);
};

// The elements and properties of one kind of control. Its stream record
// is its name, its elements and its properties; reading starts after the
// name, which whoever creates the group reads.
class TdxSkinControlGroup : public TdxSkinPersistent {
  RTL_CLASS(TdxSkinControlGroup, TdxSkinPersistent)
  TdxSkinElements* FElements;

 public:
  explicit TdxSkinControlGroup(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  ~TdxSkinControlGroup() override;

  // From another group: its elements (each recreated with its class and
  // name, then assigned), then its properties, inside one bracket.
  void Assign(TPersistent* Source) override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;
  // Also clears the elements.
  void ClearProperties() override;
  // Also sorts the elements.
  void SortProperties() override;

  TdxSkinElements* Elements() const { return FElements; }
  Integer Count() const;
  TdxSkinElement* Items(Integer AIndex) const;
};
