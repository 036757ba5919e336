#include "ui/lookandfeel/skin_borders.h"

#include "platform/forms/graphics.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/lookandfeel/skin_stream.h"

RTL_IMPLEMENT_CLASS(TdxSkinBorder)
RTL_IMPLEMENT_CLASS(TdxSkinBorders)
RTL_IMPLEMENT_CLASS(TdxSkinAlternateImageAttributes)

// ---- TdxSkinBorder ---------------------------------------------------------------------------

TdxSkinBorder::TdxSkinBorder(TPersistent* AOwner, const AnsiString& AName, Integer AKind)
    : TdxSkinProperty(AOwner, AName), FColor(clNone), FKind(AKind) {}

void TdxSkinBorder::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinBorder*>(Source)) {
    SetColor(source->FColor);
    SetThin(source->FThin);
  }
}

bool TdxSkinBorder::SameAs(const TdxSkinProperty* AOther) const {
  auto* other = dynamic_cast<const TdxSkinBorder*>(AOther);
  return other && other->FColor == FColor && other->FThin == FThin && other->FKind == FKind;
}

void TdxSkinBorder::LoadFromSkinStream(TStream* AStream, double) {
  const TColor color = dxSkinReadInteger(AStream);
  const Integer thin = dxSkinReadInteger(AStream);
  SetColor(color);
  SetThin(thin);
}

void TdxSkinBorder::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteInteger(AStream, FColor);
  dxSkinWriteInteger(AStream, FThin);
}

// Drawn with the element drawing.
void TdxSkinBorder::PaintOnDC(HDC, const TRect&) {}

void TdxSkinBorder::PaintSide(TdxSkinCanvas*, const TRect&) {}

void TdxSkinBorder::ResetBorder() {
  SetColor(clNone);
  SetThin(1);
}

void TdxSkinBorder::SetColor(TColor AValue) {
  if (FColor == AValue) return;
  FColor = AValue;
  ReportChange({scContent});
}

void TdxSkinBorder::SetThin(Integer AValue) {
  if (FThin == AValue) return;
  FThin = AValue;
  ReportChange({scContent});
}

Integer TdxSkinBorder::Width() const { return FColor != clNone ? FThin : 0; }

// ---- TdxSkinBorders --------------------------------------------------------------------------

TdxSkinBorders::TdxSkinBorders(TPersistent* AOwner, const AnsiString& AName) : TdxSkinProperty(AOwner, AName) {
  static const char* const kNames[4] = {"Left", "Top", "Right", "Bottom"};
  for (Integer kind = 0; kind < 4; ++kind) {
    FBorders[kind] = new TdxSkinBorder(this, kNames[kind], kind);
    FBorders[kind]->OnChange = [this](TObject*, TdxSkinChanges AChanges) { ReportChange(AChanges); };
  }
}

TdxSkinBorders::~TdxSkinBorders() {
  for (TdxSkinBorder* border : FBorders) delete border;
}

void TdxSkinBorders::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TdxSkinBorders*>(Source))
    for (Integer kind = 0; kind < 4; ++kind) FBorders[kind]->Assign(source->FBorders[kind]);
}

bool TdxSkinBorders::SameAs(const TdxSkinProperty* AOther) const {
  auto* other = dynamic_cast<const TdxSkinBorders*>(AOther);
  if (!other) return false;
  for (Integer kind = 0; kind < 4; ++kind)
    if (!FBorders[kind]->SameAs(other->FBorders[kind])) return false;
  return true;
}

void TdxSkinBorders::LoadFromSkinStream(TStream* AStream, double AVersion) {
  for (TdxSkinBorder* border : FBorders) {
    if (dxSkinVersionAtMost(AVersion, dxSkinVersionBareBorders)) {
      dxSkinReadString(AStream);
      dxSkinReadString(AStream);
    }
    border->LoadFromSkinStream(AStream, AVersion);
  }
}

void TdxSkinBorders::SaveToSkinStream(TStream* AStream) {
  for (TdxSkinBorder* border : FBorders) border->SaveToSkinStream(AStream);
}

void TdxSkinBorders::PaintBorders(TdxSkinCanvas* ACanvas, const TRect& R) {
  for (TdxSkinBorder* border : FBorders) border->PaintSide(ACanvas, R);
}

void TdxSkinBorders::ResetBorders() {
  for (TdxSkinBorder* border : FBorders) border->ResetBorder();
}

TRect TdxSkinBorders::BorderWidths() const {
  return TRect(FBorders[0]->Width(), FBorders[1]->Width(), FBorders[2]->Width(), FBorders[3]->Width());
}

// ---- TdxSkinAlternateImageAttributes ------------------------------------------------------------

TdxSkinAlternateImageAttributes::TdxSkinAlternateImageAttributes(TPersistent* AOwner, const AnsiString& AName)
    : TdxSkinProperty(AOwner, AName),
      FBorders(new TdxSkinBorders(this, "Borders")),
      FBordersInner(new TdxSkinBorders(this, "BordersInner")),
      FContentOffsets(new TcxRect(this)),
      FGradientBeginColor(clNone),
      FGradientEndColor(clNone) {
  auto report = [this](TObject*, TdxSkinChanges AChanges) { ReportChange(AChanges); };
  FBorders->OnChange = report;
  FBordersInner->OnChange = report;
  FContentOffsets->OnChange = [this](TObject*) { ReportChange({scContent}); };
}

TdxSkinAlternateImageAttributes::~TdxSkinAlternateImageAttributes() {
  delete FContentOffsets;
  delete FBordersInner;
  delete FBorders;
}

void TdxSkinAlternateImageAttributes::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinAlternateImageAttributes*>(Source);
  if (!source) {
    TdxSkinProperty::Assign(Source);
    return;
  }
  SetAlpha(source->FAlpha);
  FBorders->Assign(source->FBorders);
  FBordersInner->Assign(source->FBordersInner);
  FContentOffsets->Assign(source->FContentOffsets);
  SetGradient(source->FGradient);
  SetGradientBeginColor(source->FGradientBeginColor);
  SetGradientEndColor(source->FGradientEndColor);
}

bool TdxSkinAlternateImageAttributes::SameAs(const TdxSkinProperty* AOther) const {
  if (!SameNameAndClass(AOther)) return false;
  auto* other = static_cast<const TdxSkinAlternateImageAttributes*>(AOther);
  return other->FAlpha == FAlpha && other->FGradient == FGradient &&
         other->FGradientBeginColor == FGradientBeginColor && other->FGradientEndColor == FGradientEndColor &&
         other->FBorders->SameAs(FBorders) && other->FBordersInner->SameAs(FBordersInner) &&
         other->FContentOffsets->IsEqual(FContentOffsets);
}

void TdxSkinAlternateImageAttributes::LoadFromSkinStream(TStream* AStream, double AVersion) {
  SetAlpha(dxSkinReadByte(AStream));
  SetGradient(static_cast<TdxSkinGradientMode>(dxSkinReadOrdinal(AStream, gmBackwardDiagonal + 1)));
  SetGradientBeginColor(dxSkinReadInteger(AStream));
  SetGradientEndColor(dxSkinReadInteger(AStream));
  FBorders->LoadFromSkinStream(AStream, AVersion);
  FBordersInner->LoadFromSkinStream(AStream, AVersion);
  FContentOffsets->AssignRect(dxSkinReadRect(AStream));
}

void TdxSkinAlternateImageAttributes::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteByte(AStream, FAlpha);
  dxSkinWriteByte(AStream, FGradient);
  dxSkinWriteInteger(AStream, FGradientBeginColor);
  dxSkinWriteInteger(AStream, FGradientEndColor);
  FBorders->SaveToSkinStream(AStream);
  FBordersInner->SaveToSkinStream(AStream);
  dxSkinWriteRect(AStream, FContentOffsets->Rect());
}

// Drawn with the element drawing.
void TdxSkinAlternateImageAttributes::PaintAttributes(TdxSkinCanvas*, const TRect&) {}

void TdxSkinAlternateImageAttributes::SetAlpha(Byte AValue) {
  if (FAlpha == AValue) return;
  FAlpha = AValue;
  ReportChange({scContent});
}

void TdxSkinAlternateImageAttributes::SetGradient(TdxSkinGradientMode AValue) {
  if (FGradient == AValue) return;
  FGradient = AValue;
  ReportChange({scContent});
}

void TdxSkinAlternateImageAttributes::SetGradientBeginColor(TColor AValue) {
  if (FGradientBeginColor == AValue) return;
  FGradientBeginColor = AValue;
  ReportChange({scContent});
}

void TdxSkinAlternateImageAttributes::SetGradientEndColor(TColor AValue) {
  if (FGradientEndColor == AValue) return;
  FGradientEndColor = AValue;
  ReportChange({scContent});
}
