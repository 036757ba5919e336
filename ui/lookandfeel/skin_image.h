// A skin image: a PNG texture holding one frame per state and per image
// index, cut by margins into nine parts when drawn, or a gradient when it
// has no texture. Its derived layout is recomputed when something asks for
// it after a change.
#pragma once

#include "platform/rtl/classes.h"
#include "platform/win/kernel/windef.h"
#include "ui/lookandfeel/skin_types.h"

class TStream;
class TcxMargin;
class TdxPNGImage;
class TdxSkinCanvas;
class TdxSkinElement;

class TdxSkinImage : public TPersistent {
  RTL_CLASS(TdxSkinImage, TPersistent)
  TdxSkinElement* FOwner;
  TdxSkinGradientMode FGradient = gmHorizontal;
  TColor FGradientBeginColor;
  TColor FGradientEndColor;
  Integer FImageCount = 1;
  TdxSkinImageLayout FImageLayout = ilHorizontal;
  TcxMargin* FMargins;
  TdxSkinElementStates FStates{esNormal};
  TdxSkinStretchMode FStretch = smStretch;
  TdxPNGImage* FTexture;
  AnsiString FSourceName;
  bool FDirty = true;

  // The frame a texture of this image holds for one state and one image.
  TSize FrameSize() const;

 public:
  // Streams create images through a class reference, with their element.
  using TConstructArg = TPersistent;

  explicit TdxSkinImage(TPersistent* AOwner);
  ~TdxSkinImage() override;

  // Marks the layout for recalculation and fires OnChange.
  virtual void ReportChange();
  virtual void UpdateLayout();
  virtual bool SameAs(TdxSkinImage* AImage);
  virtual void PaintImage(HDC DC, const TRect& R, Integer AImageIndex, TdxSkinElementState AState);
  virtual void PaintImageOnCanvas(TdxSkinCanvas* ACanvas, const TRect& R, Integer AImageIndex,
                                  TdxSkinElementState AState);

  // Copies texture, source name and settings from another image; anything
  // else leaves the image as it is.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  // The image record; versions before 1.1 take the image count from the
  // element, versions before 1.02 have no gradient.
  void LoadFromSkinStream(TStream* AStream, double AVersion);
  void SaveToSkinStream(TStream* AStream);

  // No source name and an empty texture.
  bool Empty() const;
  // Drops the texture and the source name (nothing when both are empty).
  void ClearImage();
  void LoadTextureFromResource(HINSTANCE AModule, const AnsiString& AName, LPCSTR AResType);
  // The stored source name; without one, for a texture of an element:
  // group name + "\" + the element's name for this image.
  AnsiString TextureSourceName() const;

  TdxSkinElement* Owner() const { return FOwner; }
  TdxPNGImage* Texture() const { return FTexture; }
  const AnsiString& SourceName() const { return FSourceName; }
  void SetSourceName(const AnsiString& AValue);
  // Set by every change; the derived layout is recalculated while it is.
  bool Dirty() const { return FDirty; }

  TdxSkinGradientMode Gradient() const { return FGradient; }
  void SetGradient(TdxSkinGradientMode AValue);
  TColor GradientBeginColor() const { return FGradientBeginColor; }
  void SetGradientBeginColor(TColor AValue);
  TColor GradientEndColor() const { return FGradientEndColor; }
  void SetGradientEndColor(TColor AValue);
  Integer ImageCount() const { return FImageCount; }
  // Below 1 becomes 1.
  void SetImageCount(Integer AValue);
  TdxSkinImageLayout ImageLayout() const { return FImageLayout; }
  void SetImageLayout(TdxSkinImageLayout AValue);
  TcxMargin* Margins() const { return FMargins; }
  void SetMargins(TcxMargin* AValue);
  TdxSkinElementStates States() const { return FStates; }
  void SetStates(TdxSkinElementStates AValue);
  TdxSkinStretchMode Stretch() const { return FStretch; }
  void SetStretch(TdxSkinStretchMode AValue);

  TNotifyEvent OnChange;
};
