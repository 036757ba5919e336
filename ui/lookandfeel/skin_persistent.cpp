#include "ui/lookandfeel/skin_persistent.h"

#include "platform/rtl/scope_exit.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_properties.h"
#include "ui/lookandfeel/skin_stream.h"

RTL_IMPLEMENT_CLASS(TdxSkinPersistent)
RTL_IMPLEMENT_CLASS(TdxSkinControlGroup)

// ---- TdxSkinPersistent -------------------------------------------------------------------------

TdxSkinPersistent::TdxSkinPersistent(TPersistent* AOwner, const AnsiString& AName)
    : TdxSkinCustomObject(AOwner, AName), FProperties(new TdxSkinProperties(this)) {
  FProperties->OnChange = [this](TObject*, TdxSkinChanges AChanges) { ReportChange(AChanges); };
}

TdxSkinPersistent::~TdxSkinPersistent() { delete FProperties; }

void TdxSkinPersistent::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinPersistent*>(Source);
  if (!source) {
    TdxSkinCustomObject::Assign(Source);
    return;
  }
  LockChanges();
  auto unlock = TScopeExit([this] { UnlockChanges(); });
  AssignProperties(source);
}

void TdxSkinPersistent::AssignProperties(TdxSkinPersistent* ASource) {
  if (ASource == this) return;
  FProperties->LockChanges();
  auto unlock = TScopeExit([this] { FProperties->UnlockChanges(); });
  FProperties->Clear();
  TdxSkinProperties* from = ASource->FProperties;
  for (Integer i = 0; i < from->Count(); ++i) {
    TdxSkinProperty* property = from->Items(i);
    FProperties->AppendNew(property->Name(), property->ClassType())->Assign(property);
  }
}

void TdxSkinPersistent::ReportChange(TdxSkinChanges AChanges) {
  FModified = true;
  FChanges += AChanges;
  if (FUpdateCount > 0) return;
  const TdxSkinChanges changes = FChanges;
  FChanges.Clear();
  TdxSkinCustomObject::ReportChange(changes);
}

void TdxSkinPersistent::ClearProperties() { FProperties->Clear(); }

void TdxSkinPersistent::DeleteProperty(TdxSkinProperty* AProperty) { FProperties->FreeAndRemove(AProperty); }

void TdxSkinPersistent::SortProperties() { FProperties->SortByName(); }

void TdxSkinPersistent::LockChanges() { ++FUpdateCount; }

void TdxSkinPersistent::UnlockChanges() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount > 0 || FChanges.Empty()) return;
  const TdxSkinChanges changes = FChanges;
  FChanges.Clear();
  TdxSkinCustomObject::ReportChange(changes);
}

TdxSkinProperty* TdxSkinPersistent::FindProperty(const AnsiString& AName) {
  return static_cast<TdxSkinProperty*>(FProperties->FindByName(AName));
}

bool TdxSkinPersistent::TryFindProperty(const AnsiString& AName, TdxSkinProperty*& AProperty) {
  AProperty = FindProperty(AName);
  return AProperty != nullptr;
}

// ---- TdxSkinControlGroup -----------------------------------------------------------------------

TdxSkinControlGroup::TdxSkinControlGroup(TPersistent* AOwner, const AnsiString& AName)
    : TdxSkinPersistent(AOwner, AName), FElements(new TdxSkinElements(this)) {
  FElements->OnChange = [this](TObject*, TdxSkinChanges AChanges) { ReportChange(AChanges); };
}

TdxSkinControlGroup::~TdxSkinControlGroup() { delete FElements; }

void TdxSkinControlGroup::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinControlGroup*>(Source);
  if (!source) {
    TdxSkinPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  LockChanges();
  auto unlock = TScopeExit([this] { UnlockChanges(); });
  FElements->LockChanges();
  auto unlockElements = TScopeExit([this] { FElements->UnlockChanges(); });
  FElements->Clear();
  for (Integer i = 0; i < source->Count(); ++i) {
    TdxSkinElement* element = source->Items(i);
    FElements->AppendNew(element->Name(), element->ClassType())->Assign(element);
  }
  AssignProperties(source);
}

void TdxSkinControlGroup::LoadFromSkinStream(TStream* AStream, double AVersion) {
  FElements->LoadFromSkinStream(AStream, AVersion);
  Properties()->LoadFromSkinStream(AStream, AVersion);
}

void TdxSkinControlGroup::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteString(AStream, Name());
  FElements->SaveToSkinStream(AStream);
  Properties()->SaveToSkinStream(AStream);
}

void TdxSkinControlGroup::ClearProperties() {
  TdxSkinPersistent::ClearProperties();
  FElements->Clear();
}

void TdxSkinControlGroup::SortProperties() {
  TdxSkinPersistent::SortProperties();
  FElements->SortByName();
}

Integer TdxSkinControlGroup::Count() const { return FElements->Count(); }

TdxSkinElement* TdxSkinControlGroup::Items(Integer AIndex) const { return FElements->Items(AIndex); }
