#include "ui/lookandfeel/skin_element.h"

#include "platform/forms/graphics.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/lookandfeel/skin_borders.h"
#include "ui/lookandfeel/skin_image.h"
#include "ui/lookandfeel/skin_stream.h"
#include "ui/lookandfeel/skin_vocabulary.h"

RTL_IMPLEMENT_CLASS(TdxSkinElement)
RTL_IMPLEMENT_CLASS(TdxSkinEmptyElement)

TdxSkinElement::TdxSkinElement(TPersistent* AOwner, const AnsiString& AName)
    : TdxSkinPersistent(AOwner, AName),
      FBorders(new TdxSkinBorders(this, "Borders")),
      FColor(clDefault),
      FContentOffset(new TcxRect(this)),
      FGlyph(new TdxSkinImage(this)),
      FImage(new TdxSkinImage(this)),
      FMinSize(new TcxSize(this)),
      FTextColor(clDefault) {
  FBorders->OnChange = [this](TObject*, TdxSkinChanges AChanges) { ReportChange(AChanges); };
  auto content = [this](TObject*) { ContentChanged(); };
  FContentOffset->OnChange = content;
  FGlyph->OnChange = content;
  FImage->OnChange = content;
  FMinSize->OnChange = content;
}

TdxSkinElement::~TdxSkinElement() {
  SetCachingEnabled(false);
  delete FMinSize;
  delete FImage;
  delete FGlyph;
  delete FContentOffset;
  delete FBorders;
}

void TdxSkinElement::ContentChanged() { ReportChange({scContent}); }

void TdxSkinElement::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinElement*>(Source);
  if (!source) {
    TdxSkinPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  LockChanges();
  auto unlock = TScopeExit([this] { UnlockChanges(); });
  SetImage(source->FImage);
  SetGlyph(source->FGlyph);
  SetColor(source->FColor);
  SetAlpha(source->FAlpha);
  SetContentOffset(source->FContentOffset);
  SetBorders(source->FBorders);
  SetMinSize(source->FMinSize);
  SetTextColor(source->FTextColor);
  SetCachingEnabled(source->FCachingEnabled);
  TdxSkinPersistent::Assign(Source);
}

void TdxSkinElement::ReportChange(TdxSkinChanges AChanges) {
  if (AChanges.Contains(scStruct)) FAlternateImageSetDirty = true;
  TdxSkinPersistent::ReportChange(AChanges);
}

void TdxSkinElement::LoadFromSkinStream(TStream* AStream, double AVersion) {
  SetColor(dxSkinReadInteger(AStream));
  SetAlpha(dxSkinReadByte(AStream));
  if (!dxSkinVersionAtLeast(AVersion, dxSkinVersionImageCount)) FImageCount = dxSkinReadInteger(AStream);
  FContentOffset->ReadFromStream(AStream);
  FGlyph->LoadFromSkinStream(AStream, AVersion);
  FImage->LoadFromSkinStream(AStream, AVersion);
  FBorders->LoadFromSkinStream(AStream, AVersion);
  SetTextColor(dxSkinReadInteger(AStream));
  FMinSize->ReadFromStream(AStream);
  Properties()->LoadFromSkinStream(AStream, AVersion);
}

void TdxSkinElement::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteInteger(AStream, FColor);
  dxSkinWriteByte(AStream, FAlpha);
  FContentOffset->WriteToStream(AStream);
  FGlyph->SaveToSkinStream(AStream);
  FImage->SaveToSkinStream(AStream);
  FBorders->SaveToSkinStream(AStream);
  dxSkinWriteInteger(AStream, FTextColor);
  FMinSize->WriteToStream(AStream);
  Properties()->SaveToSkinStream(AStream);
}

AnsiString TdxSkinElement::ImageSourceName(TdxSkinImage* AImage) {
  if (AImage == FImage) return Name() + "_Image.png";
  if (AImage == FGlyph) return Name() + "_Glyph.png";
  return AnsiString();
}

bool TdxSkinElement::SameAs(TdxSkinElement* AElement) {
  if (!AElement) return false;
  if (AElement == this) return true;
  if (!SameText(AElement->Name(), Name()) || AElement->FColor != FColor || AElement->FAlpha != FAlpha ||
      AElement->FTextColor != FTextColor || !AElement->FMinSize->IsEqual(FMinSize) ||
      !AElement->FContentOffset->IsEqual(FContentOffset) || !AElement->FBorders->SameAs(FBorders))
    return false;
  TdxSkinProperties* mine = Properties();
  TdxSkinProperties* theirs = AElement->Properties();
  if (mine->Count() != theirs->Count()) return false;
  for (Integer i = 0; i < mine->Count(); ++i)
    if (!mine->Items(i)->SameAs(theirs->Items(i))) return false;
  return AElement->FImage->SameAs(FImage) && AElement->FGlyph->SameAs(FGlyph);
}

TColor TdxSkinElement::TextColorOf(Integer AIndex, const AnsiString& APrefix) {
  TColor result = clDefault;
  if (AIndex >= 1 && AIndex <= 4) {
    if (TdxSkinProperty* property = FindProperty(APrefix + dxSkinTextColorNames[AIndex])) {
      auto* color = dynamic_cast<TdxSkinColor*>(property);
      if (!color) throw EInvalidCast("Invalid class typecast");
      result = color->Value();
    }
  }
  if (result == clDefault) result = AIndex == 1 ? FTextColor : TextColorOf(1, APrefix);
  return result;
}

// Drawn with the element drawing.
void TdxSkinElement::PaintElement(HDC, const TRect&, Integer, TdxSkinElementState) {}

const TdxSkinAlternateImageSet& TdxSkinElement::AlternateImageSet(Integer AIndex) {
  if (FAlternateImageSetDirty || AIndex != FAlternateImageSetIndex) {
    const AnsiString prefix = "AlternateImage" + IntToStr(Int64{AIndex} + 1);
    for (size_t state = 0; state < FAlternateImageSet.size(); ++state)
      FAlternateImageSet[state] =
          dynamic_cast<TdxSkinAlternateImageAttributes*>(FindProperty(prefix + dxSkinElementStateNames[state]));
    FAlternateImageSetIndex = AIndex;
    FAlternateImageSetDirty = false;
  }
  return FAlternateImageSet;
}

void TdxSkinElement::SetAlpha(Byte AValue) {
  if (FAlpha == AValue) return;
  FAlpha = AValue;
  ReportChange({scContent});
}

void TdxSkinElement::SetBorders(TdxSkinBorders* AValue) { FBorders->Assign(AValue); }

void TdxSkinElement::SetCachingEnabled(bool AValue) { FCachingEnabled = AValue; }

void TdxSkinElement::SetColor(TColor AValue) {
  if (FColor == AValue) return;
  FColor = AValue;
  ReportChange({scContent});
}

void TdxSkinElement::SetContentOffset(TcxRect* AValue) { FContentOffset->Assign(AValue); }

void TdxSkinElement::SetGlyph(TdxSkinImage* AValue) { FGlyph->Assign(AValue); }

void TdxSkinElement::SetImage(TdxSkinImage* AValue) { FImage->Assign(AValue); }

void TdxSkinElement::SetMinSize(TcxSize* AValue) { FMinSize->Assign(AValue); }

void TdxSkinElement::SetTextColor(TColor AValue) {
  if (FTextColor == AValue) return;
  FTextColor = AValue;
  ReportChange({scContent});
}
