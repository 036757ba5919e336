#include "ui/lookandfeel/skin_custom_object.h"

#include <memory>

#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_properties.h"
#include "ui/lookandfeel/skin_stream.h"
#include "ui/lookandfeel/skins_core.h"

RTL_IMPLEMENT_CLASS(TdxSkinCustomObject)
RTL_IMPLEMENT_CLASS(TdxSkinCustomObjectList)
RTL_IMPLEMENT_CLASS(TdxSkinProperties)
RTL_IMPLEMENT_CLASS(TdxSkinElements)

// ---- TdxSkinCustomObject ----------------------------------------------------------------

TdxSkinCustomObject::TdxSkinCustomObject(TPersistent* AOwner, const AnsiString& AName)
    : FName(AName), FOwner(AOwner) {}

TdxSkinCustomObject* TdxSkinCustomObject::CreateOfClass(TClass AClass, TPersistent* AOwner, const AnsiString& AName) {
  if (!AClass || !AClass->InheritsFrom(StaticClass())) return nullptr;
  auto* object = dynamic_cast<TdxSkinCustomObject*>(CreateInstance(AClass, AOwner));
  if (object) object->FName = AName;
  return object;
}

void TdxSkinCustomObject::ReportChange(TdxSkinChanges AChanges) { NotifyOwner(AChanges); }

void TdxSkinCustomObject::LoadFromSkinStream(TStream*, double) {}

void TdxSkinCustomObject::SaveToSkinStream(TStream*) {}

void TdxSkinCustomObject::NotifyOwner(TdxSkinChanges AChanges) {
  if (!AChanges.Empty() && OnChange) OnChange(this, AChanges);
}

void TdxSkinCustomObject::SetName(const AnsiString& AValue) {
  if (FName == AValue) return;
  FName = AValue;
  ReportChange({scStruct});
}

// ---- TdxSkinCustomObjectList ----------------------------------------------------------------

TdxSkinCustomObjectList::TdxSkinCustomObjectList(TPersistent* AOwner) : TcxObjectList(true), FOwner(AOwner) {}

TdxSkinCustomObjectList::~TdxSkinCustomObjectList() {
  // The owner is going too: it hears nothing of the items leaving.
  OnChange = nullptr;
  FUpdateCount = 1;
  Clear();
}

void TdxSkinCustomObjectList::Notify(void* Ptr, TListNotification Action) {
  TcxObjectList::Notify(Ptr, Action);
  ListChanged({scStruct});
}

void TdxSkinCustomObjectList::ListChanged(TdxSkinChanges AChanges) {
  FSorted = false;
  FChanges += AChanges;
  if (FUpdateCount > 0) return;
  const TdxSkinChanges changes = FChanges;
  FChanges.Clear();
  if (OnChange) OnChange(this, changes);
}

void TdxSkinCustomObjectList::LoadFromSkinStream(TStream*, double) {}

void TdxSkinCustomObjectList::SaveToSkinStream(TStream*) {}

void TdxSkinCustomObjectList::LockChanges() { ++FUpdateCount; }

void TdxSkinCustomObjectList::UnlockChanges() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0 && !FChanges.Empty()) ListChanged({});
}

TdxSkinCustomObject* TdxSkinCustomObjectList::AppendNew(const AnsiString& AName, TClass AClass) {
  TdxSkinCustomObject* object = TdxSkinCustomObject::CreateOfClass(AClass, FOwner, AName);
  if (!object) throw EInvalidCast("Invalid class typecast");
  object->OnChange = [this](TObject*, TdxSkinChanges AChanges) { ListChanged(AChanges); };
  Add(object);
  return object;
}

void TdxSkinCustomObjectList::SortByName() {
  if (FSorted) return;
  Sort([](void* A, void* B) {
    return AnsiCompareStr(static_cast<TdxSkinCustomObject*>(A)->Name(), static_cast<TdxSkinCustomObject*>(B)->Name());
  });
  FSorted = true;
}

TdxSkinCustomObject* TdxSkinCustomObjectList::FindByName(const AnsiString& AName) {
  SortByName();
  Integer low = 0, high = Count() - 1;
  while (low <= high) {
    const Integer middle = low + (high - low) / 2;
    TdxSkinCustomObject* object = Items(middle);
    const Integer c = AnsiCompareStr(object->Name(), AName);
    if (c == 0) return object;
    if (c < 0)
      low = middle + 1;
    else
      high = middle - 1;
  }
  return nullptr;
}

// ---- Reading one entry ------------------------------------------------------------------

namespace {

// The object reads its record before it joins the list, so a record cut
// short leaves nothing half-read behind; objects read before it stay.
template <class TRead>
void AppendRead(TdxSkinCustomObjectList* AList, TdxSkinCustomObject* AObject, TRead ARead) {
  std::unique_ptr<TdxSkinCustomObject> object(AObject);
  ARead(object.get());
  AList->Add(object.get());
  TdxSkinCustomObject* added = object.release();
  added->OnChange = [AList](TObject*, TdxSkinChanges AChanges) { AList->ListChanged(AChanges); };
}

}  // namespace

// ---- TdxSkinProperties ------------------------------------------------------------------

TdxSkinProperty* TdxSkinProperties::Items(Integer AIndex) const {
  return static_cast<TdxSkinProperty*>(TdxSkinCustomObjectList::Items(AIndex));
}

void TdxSkinProperties::LoadFromSkinStream(TStream* AStream, double AVersion) {
  LockChanges();
  auto unlock = TScopeExit([this] { UnlockChanges(); });
  const Integer count = dxSkinReadInteger(AStream);
  for (Integer i = 0; i < count; ++i) {
    const AnsiString tag = dxSkinReadString(AStream);
    TClass propertyClass = dxSkinFindPropertyClass(tag);
    const AnsiString name = dxSkinReadString(AStream);
    AppendRead(this, TdxSkinCustomObject::CreateOfClass(propertyClass, Owner(), name),
               [&](TdxSkinCustomObject* AProperty) { AProperty->LoadFromSkinStream(AStream, AVersion); });
  }
}

void TdxSkinProperties::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteInteger(AStream, Count());
  for (Integer i = 0; i < Count(); ++i) {
    TdxSkinProperty* property = Items(i);
    dxSkinWriteString(AStream, property->ClassName());
    dxSkinWriteString(AStream, property->Name());
    property->SaveToSkinStream(AStream);
  }
}

// ---- TdxSkinElements --------------------------------------------------------------------

TdxSkinElement* TdxSkinElements::Items(Integer AIndex) const {
  return static_cast<TdxSkinElement*>(TdxSkinCustomObjectList::Items(AIndex));
}

void TdxSkinElements::LoadFromSkinStream(TStream* AStream, double AVersion) {
  const Integer count = dxSkinReadInteger(AStream);
  for (Integer i = 0; i < count; ++i) {
    const AnsiString name = dxSkinReadString(AStream);
    AppendRead(this, new TdxSkinElement(Owner(), name),
               [&](TdxSkinCustomObject* AElement) { AElement->LoadFromSkinStream(AStream, AVersion); });
  }
}

void TdxSkinElements::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteInteger(AStream, Count());
  for (Integer i = 0; i < Count(); ++i) {
    TdxSkinElement* element = Items(i);
    dxSkinWriteString(AStream, element->Name());
    element->SaveToSkinStream(AStream);
  }
}
