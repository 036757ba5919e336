#include "ui/lookandfeel/skin_image.h"

#include "platform/forms/graphics.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_stream.h"

RTL_IMPLEMENT_CLASS(TdxSkinImage)

namespace {

Integer StateCount(TdxSkinElementStates AStates) {
  Integer count = 0;
  for (int state = 0; state < dxSkinElementStateCount; ++state)
    if (AStates.Contains(static_cast<TdxSkinElementState>(state))) ++count;
  return count;
}

}  // namespace

TdxSkinImage::TdxSkinImage(TPersistent* AOwner)
    : FOwner(dynamic_cast<TdxSkinElement*>(AOwner)),
      FGradientBeginColor(clNone),
      FGradientEndColor(clNone),
      FMargins(new TcxMargin(this)),
      FTexture(new TdxPNGImage()) {
  FMargins->OnChange = [this](TObject*) { ReportChange(); };
  FTexture->OnChange = [this](TObject*) { ReportChange(); };
}

TdxSkinImage::~TdxSkinImage() {
  FTexture->OnChange = nullptr;
  delete FTexture;
  delete FMargins;
}

TPersistent* TdxSkinImage::GetOwner() const { return FOwner; }

void TdxSkinImage::ReportChange() {
  FDirty = true;
  if (OnChange) OnChange(this);
}

// The frames and part rectangles are derived with the image drawing.
void TdxSkinImage::UpdateLayout() {}

TSize TdxSkinImage::FrameSize() const {
  TSize size = FTexture->GetSize();
  const Integer states = StateCount(FStates);
  if (states >= 1) {
    Integer& along = FImageLayout == ilHorizontal ? size.cx : size.cy;
    along = along / FImageCount / states;
  }
  return size;
}

bool TdxSkinImage::SameAs(TdxSkinImage* AImage) {
  if (!AImage) return false;
  if (AImage == this) return true;
  return AImage->FImageLayout == FImageLayout && AImage->Empty() == Empty() && AImage->FStates == FStates &&
         AImage->FGradient == FGradient && AImage->FGradientBeginColor == FGradientBeginColor &&
         AImage->FGradientEndColor == FGradientEndColor && AImage->FStretch == FStretch &&
         AImage->FrameSize() == FrameSize() && AImage->FMargins->IsEqual(FMargins) &&
         AImage->FTexture->SamePixelsAs(FTexture);
}

// Drawn with the element drawing.
void TdxSkinImage::PaintImage(HDC, const TRect&, Integer, TdxSkinElementState) {}

void TdxSkinImage::PaintImageOnCanvas(TdxSkinCanvas*, const TRect&, Integer, TdxSkinElementState) {}

void TdxSkinImage::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinImage*>(Source);
  if (!source || source == this) return;
  if (source->Empty()) {
    ClearImage();
  } else {
    FTexture->Assign(source->FTexture);
    SetSourceName(source->FSourceName);
  }
  SetGradientBeginColor(source->FGradientBeginColor);
  SetGradientEndColor(source->FGradientEndColor);
  SetGradient(source->FGradient);
  SetImageCount(source->FImageCount);
  SetImageLayout(source->FImageLayout);
  SetMargins(source->FMargins);
  SetStretch(source->FStretch);
  SetStates(source->FStates);
}

void TdxSkinImage::LoadFromSkinStream(TStream* AStream, double AVersion) {
  FMargins->ReadFromStream(AStream);
  SetImageLayout(static_cast<TdxSkinImageLayout>(dxSkinReadOrdinal(AStream, ilVertical + 1)));
  if (dxSkinVersionAtLeast(AVersion, dxSkinVersionImageCount))
    SetImageCount(dxSkinReadInteger(AStream));
  else if (FOwner)
    SetImageCount(FOwner->StoredImageCount());
  SetStates(dxSkinReadStates(AStream));
  SetStretch(static_cast<TdxSkinStretchMode>(dxSkinReadOrdinal(AStream, smNoResize + 1)));
  if (dxSkinVersionAtLeast(AVersion, dxSkinVersionGradients)) {
    SetGradientBeginColor(dxSkinReadInteger(AStream));
    SetGradientEndColor(dxSkinReadInteger(AStream));
    SetGradient(static_cast<TdxSkinGradientMode>(dxSkinReadOrdinal(AStream, gmBackwardDiagonal + 1)));
  }
  dxSkinReadPngBlock(AStream, FTexture);
  FDirty = true;
}

void TdxSkinImage::SaveToSkinStream(TStream* AStream) {
  FMargins->WriteToStream(AStream);
  dxSkinWriteByte(AStream, FImageLayout);
  dxSkinWriteInteger(AStream, FImageCount);
  dxSkinWriteStates(AStream, FStates);
  dxSkinWriteByte(AStream, FStretch);
  dxSkinWriteInteger(AStream, FGradientBeginColor);
  dxSkinWriteInteger(AStream, FGradientEndColor);
  dxSkinWriteByte(AStream, FGradient);
  dxSkinWritePngBlock(AStream, FTexture);
}

bool TdxSkinImage::Empty() const { return FSourceName.empty() && FTexture->Empty(); }

void TdxSkinImage::ClearImage() {
  if (FSourceName.empty() && FTexture->Empty()) return;
  FSourceName.clear();
  FTexture->OnChange = nullptr;
  FTexture->ReleaseImage();
  FTexture->OnChange = [this](TObject*) { ReportChange(); };
  ReportChange();
}

void TdxSkinImage::LoadTextureFromResource(HINSTANCE AModule, const AnsiString& AName, LPCSTR AResType) {
  FTexture->LoadFromResource(AModule, AName, AResType);
}

AnsiString TdxSkinImage::TextureSourceName() const {
  if (!FSourceName.empty() || FTexture->Empty() || !FOwner) return FSourceName;
  auto* group = dynamic_cast<TdxSkinCustomObject*>(FOwner->GetOwner());
  return (group ? group->Name() : AnsiString()) + "\\" + FOwner->ImageSourceName(const_cast<TdxSkinImage*>(this));
}

void TdxSkinImage::SetSourceName(const AnsiString& AValue) {
  if (FSourceName == AValue) return;
  FSourceName = AValue;
  ReportChange();
}

void TdxSkinImage::SetGradient(TdxSkinGradientMode AValue) {
  if (FGradient == AValue) return;
  FGradient = AValue;
  ReportChange();
}

void TdxSkinImage::SetGradientBeginColor(TColor AValue) {
  if (FGradientBeginColor == AValue) return;
  FGradientBeginColor = AValue;
  ReportChange();
}

void TdxSkinImage::SetGradientEndColor(TColor AValue) {
  if (FGradientEndColor == AValue) return;
  FGradientEndColor = AValue;
  ReportChange();
}

void TdxSkinImage::SetImageCount(Integer AValue) {
  if (AValue < 1) AValue = 1;
  if (FImageCount == AValue) return;
  FImageCount = AValue;
  ReportChange();
}

void TdxSkinImage::SetImageLayout(TdxSkinImageLayout AValue) {
  if (FImageLayout == AValue) return;
  FImageLayout = AValue;
  ReportChange();
}

void TdxSkinImage::SetMargins(TcxMargin* AValue) { FMargins->Assign(AValue); }

void TdxSkinImage::SetStates(TdxSkinElementStates AValue) {
  if (FStates == AValue) return;
  FStates = AValue;
  ReportChange();
}

void TdxSkinImage::SetStretch(TdxSkinStretchMode AValue) {
  if (FStretch == AValue) return;
  FStretch = AValue;
  ReportChange();
}
