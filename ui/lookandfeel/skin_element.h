// A skin element: how one part of a control is drawn (colour, alpha, an
// image, a glyph, borders, text colours, minimum size), with the alternate
// fill-and-border attributes its properties may hold per state.
#pragma once

#include <array>

#include "platform/win/kernel/windef.h"
#include "ui/lookandfeel/skin_persistent.h"

class TcxRect;
class TcxSize;
class TdxSkinAlternateImageAttributes;
class TdxSkinBorders;
class TdxSkinImage;

using TdxSkinAlternateImageSet = std::array<TdxSkinAlternateImageAttributes*, 11>;

class TdxSkinElement : public TdxSkinPersistent {
  RTL_CLASS(TdxSkinElement, TdxSkinPersistent)
  Byte FAlpha = 255;
  TdxSkinBorders* FBorders;
  TColor FColor;
  TcxRect* FContentOffset;
  TdxSkinImage* FGlyph;
  TdxSkinImage* FImage;
  TcxSize* FMinSize;
  TColor FTextColor;
  // The drawing cache comes with the element drawing; until then only
  // whether it is wanted.
  bool FCachingEnabled = false;
  Integer FImageCount = 1;
  TdxSkinAlternateImageSet FAlternateImageSet{};
  Integer FAlternateImageSetIndex = -1;
  bool FAlternateImageSetDirty = true;

  void ContentChanged();

 public:
  explicit TdxSkinElement(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  ~TdxSkinElement() override;

  // From another element its look, then (from any skin persistent) its
  // properties.
  void Assign(TPersistent* Source) override;
  // A structural change makes the alternate image set stale.
  void ReportChange(TdxSkinChanges AChanges) override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  // Element name + "_Image.png" or "_Glyph.png".
  virtual AnsiString ImageSourceName(TdxSkinImage* AImage);
  virtual bool SameAs(TdxSkinElement* AElement);
  // Index 1 normal, 2 hot, 3 pressed, 4 disabled: the colour property
  // prefix + "TextColor", "TextColorHot", ... when it holds a colour, else
  // the normal text colour; that is the property prefix + "TextColor" or,
  // failing it, TextColor. A property of that name that is no colour
  // raises EInvalidCast.
  virtual TColor TextColorOf(Integer AIndex, const AnsiString& APrefix = AnsiString());
  virtual void PaintElement(HDC DC, const TRect& R, Integer AImageIndex, TdxSkinElementState AState);

  // The attributes of each state in set AIndex (0-based): the properties
  // "AlternateImage" + (AIndex + 1) + state name, null where a state has
  // none.
  const TdxSkinAlternateImageSet& AlternateImageSet(Integer AIndex);

  Byte Alpha() const { return FAlpha; }
  void SetAlpha(Byte AValue);
  TdxSkinBorders* Borders() const { return FBorders; }
  void SetBorders(TdxSkinBorders* AValue);
  bool CachingEnabled() const { return FCachingEnabled; }
  void SetCachingEnabled(bool AValue);
  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  TcxRect* ContentOffset() const { return FContentOffset; }
  void SetContentOffset(TcxRect* AValue);
  TdxSkinImage* Glyph() const { return FGlyph; }
  void SetGlyph(TdxSkinImage* AValue);
  TdxSkinImage* Image() const { return FImage; }
  void SetImage(TdxSkinImage* AValue);
  TcxSize* MinSize() const { return FMinSize; }
  void SetMinSize(TcxSize* AValue);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor AValue);
  // The image count of streams before version 1.1, for both images.
  Integer StoredImageCount() const { return FImageCount; }
};

// What stands where a skin has no element; its drawing (a white rectangle
// with a red frame) comes with the element drawing.
class TdxSkinEmptyElement : public TdxSkinElement {
  RTL_CLASS(TdxSkinEmptyElement, TdxSkinElement)

 public:
  using TdxSkinElement::TdxSkinElement;
};
