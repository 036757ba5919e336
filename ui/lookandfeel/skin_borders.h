// Border lines of skin elements and the alternate fill-and-border
// attributes an element may draw instead of its image. Borders take only
// borders in Assign and leave themselves unchanged for anything else.
#pragma once

#include "platform/win/kernel/windef.h"
#include "ui/lookandfeel/skin_properties.h"

class TdxSkinCanvas;

// One side: a colour and a thickness. Its width for layout is Thin when it
// has a colour, else 0.
class TdxSkinBorder : public TdxSkinProperty {
  RTL_CLASS(TdxSkinBorder, TdxSkinProperty)
  TColor FColor;
  Integer FThin = 1;
  Integer FKind = 0;

 public:
  // Kind 0 left, 1 top, 2 right, 3 bottom.
  explicit TdxSkinBorder(TPersistent* AOwner, const AnsiString& AName = AnsiString(), Integer AKind = 0);

  void Assign(TPersistent* Source) override;
  // Equal colour, thickness and side; the name does not count.
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  virtual void PaintOnDC(HDC DC, const TRect& R);
  virtual void PaintSide(TdxSkinCanvas* ACanvas, const TRect& R);
  // Back to no colour and a thickness of 1.
  virtual void ResetBorder();

  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  Integer Thin() const { return FThin; }
  void SetThin(Integer AValue);
  Integer Kind() const { return FKind; }
  Integer Width() const;
};

// The four sides, named "Left", "Top", "Right" and "Bottom"; a change of
// any side is a change of the borders.
class TdxSkinBorders : public TdxSkinProperty {
  RTL_CLASS(TdxSkinBorders, TdxSkinProperty)
  TdxSkinBorder* FBorders[4];

 public:
  explicit TdxSkinBorders(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  ~TdxSkinBorders() override;

  void Assign(TPersistent* Source) override;
  // Every side SameAs the other's side.
  bool SameAs(const TdxSkinProperty* AOther) const override;
  // Versions before 1.09 put a class name and a name before each side;
  // both are read and dropped.
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  // Left, top, right, bottom.
  virtual void PaintBorders(TdxSkinCanvas* ACanvas, const TRect& R);
  virtual void ResetBorders();

  // The widths of the four sides as a rectangle.
  TRect BorderWidths() const;
  TdxSkinBorder* Items(Integer AKind) const { return FBorders[AKind & 3]; }
  TdxSkinBorder* Left() const { return FBorders[0]; }
  TdxSkinBorder* Top() const { return FBorders[1]; }
  TdxSkinBorder* Right() const { return FBorders[2]; }
  TdxSkinBorder* Bottom() const { return FBorders[3]; }
};

// A gradient fill inside offsets, framed by two sets of borders: what an
// element draws for a state when its image cannot be used.
class TdxSkinAlternateImageAttributes : public TdxSkinProperty {
  RTL_CLASS(TdxSkinAlternateImageAttributes, TdxSkinProperty)
  Byte FAlpha = 255;
  TdxSkinBorders* FBorders;
  TdxSkinBorders* FBordersInner;
  TcxRect* FContentOffsets;
  TdxSkinGradientMode FGradient = gmHorizontal;
  TColor FGradientBeginColor;
  TColor FGradientEndColor;

 public:
  explicit TdxSkinAlternateImageAttributes(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  ~TdxSkinAlternateImageAttributes() override;

  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  virtual void PaintAttributes(TdxSkinCanvas* ACanvas, const TRect& R);

  Byte Alpha() const { return FAlpha; }
  void SetAlpha(Byte AValue);
  TdxSkinBorders* Borders() const { return FBorders; }
  TdxSkinBorders* BordersInner() const { return FBordersInner; }
  TcxRect* ContentOffsets() const { return FContentOffsets; }
  TdxSkinGradientMode Gradient() const { return FGradient; }
  void SetGradient(TdxSkinGradientMode AValue);
  TColor GradientBeginColor() const { return FGradientBeginColor; }
  void SetGradientBeginColor(TColor AValue);
  TColor GradientEndColor() const { return FGradientEndColor; }
  void SetGradientEndColor(TColor AValue);
};
