#include "ui/lookandfeel/skin_details.h"

#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/lookandfeel/skin_stream.h"

RTL_IMPLEMENT_CLASS(TdxSkinDetails)

TdxSkinDetails::TdxSkinDetails() {
  for (TdxPNGImage*& icon : FIcons) {
    icon = new TdxPNGImage();
    icon->OnChange = [this](TObject*) { DetailsChanged(); };
  }
}

TdxSkinDetails::~TdxSkinDetails() {
  for (TdxPNGImage* icon : FIcons) {
    icon->OnChange = nullptr;
    delete icon;
  }
}

void TdxSkinDetails::DetailsChanged() {
  if (FUpdateCount > 0) {
    FChangedInUpdate = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TdxSkinDetails::BeginUpdate() { ++FUpdateCount; }

void TdxSkinDetails::EndUpdate() {
  if (FUpdateCount <= 0 || --FUpdateCount > 0 || !FChangedInUpdate) return;
  FChangedInUpdate = false;
  DetailsChanged();
}

void TdxSkinDetails::LoadFromSkinStream(TStream* AStream, double AVersion) {
  BeginUpdate();
  auto end = TScopeExit([this] { EndUpdate(); });
  ResetDetails();
  SetName(dxSkinReadString(AStream));
  if (dxSkinVersionAtLeast(AVersion, dxSkinVersionDetails)) {
    SetDisplayName(dxSkinReadString(AStream));
    SetGroupName(dxSkinReadString(AStream));
    SetNotes(dxSkinReadWideString(AStream));
    dxSkinReadPngBlock(AStream, FIcons[sis16]);
    dxSkinReadPngBlock(AStream, FIcons[sis48]);
  }
  for (TdxSkinIconSize size : {sis16, sis48})
    if (FIcons[size]->Empty()) LoadDefaultIcon(size);
}

void TdxSkinDetails::SaveToSkinStream(TStream* AStream) {
  dxSkinWriteString(AStream, FName);
  dxSkinWriteString(AStream, FDisplayName);
  dxSkinWriteString(AStream, FGroupName);
  dxSkinWriteWideString(AStream, FNotes);
  dxSkinWritePngBlock(AStream, FIcons[sis16]);
  dxSkinWritePngBlock(AStream, FIcons[sis48]);
}

void TdxSkinDetails::ResetDetails() {
  BeginUpdate();
  auto end = TScopeExit([this] { EndUpdate(); });
  SetName(AnsiString());
  SetDisplayName(AnsiString());
  SetGroupName(AnsiString());
  SetNotes(WideString());
  for (TdxPNGImage* icon : FIcons) icon->ReleaseImage();
}

void TdxSkinDetails::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TdxSkinDetails*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  auto end = TScopeExit([this] { EndUpdate(); });
  SetName(source->FName);
  SetNotes(source->FNotes);
  SetGroupName(source->FGroupName);
  SetDisplayName(source->FDisplayName);
  for (TdxSkinIconSize size : {sis16, sis48}) FIcons[size]->Assign(source->FIcons[size]);
}

void TdxSkinDetails::LoadDefaultIcon(TdxSkinIconSize ASize) {
  static const char* const kNames[2] = {"DEFAULTSKINICONSMALL", "DEFAULTSKINICONLARGE"};
  FIcons[ASize]->LoadFromResource(HInstance, kNames[ASize], "DXSKINS");
}

void TdxSkinDetails::SetName(const AnsiString& AValue) {
  if (FName == AValue) return;
  FName = AValue;
  DetailsChanged();
}

void TdxSkinDetails::SetDisplayName(const AnsiString& AValue) {
  if (FDisplayName == AValue) return;
  FDisplayName = AValue;
  DetailsChanged();
}

void TdxSkinDetails::SetGroupName(const AnsiString& AValue) {
  if (FGroupName == AValue) return;
  FGroupName = AValue;
  DetailsChanged();
}

void TdxSkinDetails::SetNotes(const WideString& AValue) {
  if (FNotes == AValue) return;
  FNotes = AValue;
  DetailsChanged();
}
