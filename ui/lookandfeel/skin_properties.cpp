#include "ui/lookandfeel/skin_properties.h"

#include "platform/forms/graphics.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/lookandfeel/skin_stream.h"

RTL_IMPLEMENT_CLASS(TdxSkinProperty)
RTL_IMPLEMENT_CLASS(TdxSkinIntegerProperty)
RTL_IMPLEMENT_CLASS(TdxSkinBooleanProperty)
RTL_IMPLEMENT_CLASS(TdxSkinColor)
RTL_IMPLEMENT_CLASS(TdxSkinRectProperty)
RTL_IMPLEMENT_CLASS(TdxSkinSizeProperty)
RTL_IMPLEMENT_CLASS(TdxSkinStringProperty)
RTL_IMPLEMENT_CLASS(TdxSkinWideStringProperty)

// ---- TdxSkinProperty ------------------------------------------------------------------------

AnsiString TdxSkinProperty::TypeDisplayName() const {
  AnsiString s = StringReplace(ClassName(), "TdxSkin", "", {rfReplaceAll, rfIgnoreCase});
  return StringReplace(s, "Property", "", {rfReplaceAll, rfIgnoreCase});
}

bool TdxSkinProperty::SameAs(const TdxSkinProperty* AOther) const { return AOther && SameText(Name(), AOther->Name()); }

bool TdxSkinProperty::SameNameAndClass(const TdxSkinProperty* AOther) const {
  return TdxSkinProperty::SameAs(AOther) && AOther->ClassType() == ClassType();
}

// ---- TdxSkinIntegerProperty ------------------------------------------------------------------

void TdxSkinIntegerProperty::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinIntegerProperty*>(Source))
    SetValue(source->FValue);
  else
    TdxSkinProperty::Assign(Source);
}

bool TdxSkinIntegerProperty::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) && static_cast<const TdxSkinIntegerProperty*>(AOther)->FValue == FValue;
}

void TdxSkinIntegerProperty::LoadFromSkinStream(TStream* AStream, double) { SetValue(dxSkinReadInteger(AStream)); }

void TdxSkinIntegerProperty::SaveToSkinStream(TStream* AStream) { dxSkinWriteInteger(AStream, FValue); }

void TdxSkinIntegerProperty::SetValue(Integer AValue) {
  if (FValue == AValue) return;
  FValue = AValue;
  ReportChange({scContent});
}

// ---- TdxSkinBooleanProperty ------------------------------------------------------------------

void TdxSkinBooleanProperty::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinBooleanProperty*>(Source))
    SetValue(source->FValue);
  else
    TdxSkinProperty::Assign(Source);
}

bool TdxSkinBooleanProperty::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) && static_cast<const TdxSkinBooleanProperty*>(AOther)->FValue == FValue;
}

void TdxSkinBooleanProperty::LoadFromSkinStream(TStream* AStream, double) { SetValue(dxSkinReadBoolean(AStream)); }

void TdxSkinBooleanProperty::SaveToSkinStream(TStream* AStream) { dxSkinWriteBoolean(AStream, FValue); }

void TdxSkinBooleanProperty::SetValue(bool AValue) {
  if (FValue == AValue) return;
  FValue = AValue;
  ReportChange({scContent});
}

// ---- TdxSkinColor ------------------------------------------------------------------------------

TdxSkinColor::TdxSkinColor(TPersistent* AOwner, const AnsiString& AName)
    : TdxSkinProperty(AOwner, AName), FValue(clDefault) {}

void TdxSkinColor::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinColor*>(Source))
    SetValue(source->FValue);
  else
    TdxSkinProperty::Assign(Source);
}

bool TdxSkinColor::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) && static_cast<const TdxSkinColor*>(AOther)->FValue == FValue;
}

void TdxSkinColor::LoadFromSkinStream(TStream* AStream, double) { SetValue(dxSkinReadInteger(AStream)); }

void TdxSkinColor::SaveToSkinStream(TStream* AStream) { dxSkinWriteInteger(AStream, FValue); }

void TdxSkinColor::SetValue(TColor AValue) {
  if (FValue == AValue) return;
  FValue = AValue;
  ReportChange({scContent});
}

// ---- TdxSkinRectProperty ----------------------------------------------------------------------

TdxSkinRectProperty::TdxSkinRectProperty(TPersistent* AOwner, const AnsiString& AName)
    : TdxSkinProperty(AOwner, AName), FValue(new TcxRect(this)) {
  FValue->OnChange = [this](TObject*) { ReportChange({scContent}); };
}

TdxSkinRectProperty::~TdxSkinRectProperty() { delete FValue; }

void TdxSkinRectProperty::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinRectProperty*>(Source))
    SetValue(source->FValue);
  else
    TdxSkinProperty::Assign(Source);
}

bool TdxSkinRectProperty::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) && static_cast<const TdxSkinRectProperty*>(AOther)->FValue->IsEqual(FValue);
}

void TdxSkinRectProperty::LoadFromSkinStream(TStream* AStream, double) { FValue->AssignRect(dxSkinReadRect(AStream)); }

void TdxSkinRectProperty::SaveToSkinStream(TStream* AStream) { dxSkinWriteRect(AStream, FValue->Rect()); }

void TdxSkinRectProperty::SetValue(TcxRect* AValue) { FValue->Assign(AValue); }

Integer TdxSkinRectProperty::GetSide(Integer AIndex) const { return FValue->GetSide(AIndex); }

void TdxSkinRectProperty::SetSide(Integer AIndex, Integer AValue) { FValue->SetSide(AIndex, AValue); }

const TRect& TdxSkinRectProperty::Rect() const { return FValue->Rect(); }

// ---- TdxSkinSizeProperty ------------------------------------------------------------------------

void TdxSkinSizeProperty::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinSizeProperty*>(Source))
    SetValue(source->FValue);
  else
    TdxSkinProperty::Assign(Source);
}

bool TdxSkinSizeProperty::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) && static_cast<const TdxSkinSizeProperty*>(AOther)->FValue == FValue;
}

void TdxSkinSizeProperty::LoadFromSkinStream(TStream* AStream, double) { SetValue(dxSkinReadSize(AStream)); }

void TdxSkinSizeProperty::SaveToSkinStream(TStream* AStream) { dxSkinWriteSize(AStream, FValue); }

void TdxSkinSizeProperty::SetValue(const TSize& AValue) {
  if (FValue == AValue) return;
  FValue = AValue;
  ReportChange({scContent});
}

Integer TdxSkinSizeProperty::GetDimension(Integer AIndex) const { return AIndex == 0 ? FValue.cx : FValue.cy; }

void TdxSkinSizeProperty::SetDimension(Integer AIndex, Integer AValue) {
  TSize size = FValue;
  (AIndex == 0 ? size.cx : size.cy) = AValue;
  SetValue(size);
}

// ---- TdxSkinStringProperty -------------------------------------------------------------------------

void TdxSkinStringProperty::SetValueCore(const AnsiString& AValue) {
  if (FValue == AValue) return;
  FValue = AValue;
  ReportChange({scContent});
}

void TdxSkinStringProperty::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinStringProperty*>(Source))
    SetValue(source->Value());
  else
    TdxSkinProperty::Assign(Source);
}

bool TdxSkinStringProperty::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) &&
         AnsiCompareStr(static_cast<const TdxSkinStringProperty*>(AOther)->Value(), Value()) == 0;
}

void TdxSkinStringProperty::LoadFromSkinStream(TStream* AStream, double) { SetValue(dxSkinReadString(AStream)); }

void TdxSkinStringProperty::SaveToSkinStream(TStream* AStream) { dxSkinWriteString(AStream, Value()); }

// ---- TdxSkinWideStringProperty ---------------------------------------------------------------------

AnsiString TdxSkinWideStringProperty::GetValue() const { return WideToAnsi(FWideValue); }

void TdxSkinWideStringProperty::SetValueCore(const AnsiString& AValue) { SetWideValue(AnsiToWide(AValue)); }

void TdxSkinWideStringProperty::SetWideValue(const WideString& AValue) {
  if (FWideValue == AValue) return;
  FWideValue = AValue;
  ReportChange({scContent});
}

void TdxSkinWideStringProperty::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinWideStringProperty*>(Source))
    SetWideValue(source->FWideValue);
  else
    TdxSkinStringProperty::Assign(Source);
}

bool TdxSkinWideStringProperty::SameAs(const TdxSkinProperty* AOther) const {
  return SameNameAndClass(AOther) &&
         WideCompareStr(static_cast<const TdxSkinWideStringProperty*>(AOther)->FWideValue, FWideValue) == 0;
}

void TdxSkinWideStringProperty::LoadFromSkinStream(TStream* AStream, double) {
  SetWideValue(dxSkinReadWideString(AStream));
}

void TdxSkinWideStringProperty::SaveToSkinStream(TStream* AStream) { dxSkinWriteWideString(AStream, FWideValue); }
