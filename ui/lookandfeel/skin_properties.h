// Named, typed values that any control group or element can carry. Every
// setter stores a different value and reports a content change; Assign
// copies from an object of the same class and refuses any other.
#pragma once

#include "ui/lookandfeel/skin_custom_object.h"

class TcxRect;

class TdxSkinProperty : public TdxSkinCustomObject {
  RTL_CLASS(TdxSkinProperty, TdxSkinCustomObject)

 public:
  using TdxSkinCustomObject::TdxSkinCustomObject;

  // The class name without "TdxSkin" and "Property" ("Integer", "Color").
  virtual AnsiString TypeDisplayName() const;
  // The base: the names are equal ignoring case.
  virtual bool SameAs(const TdxSkinProperty* AOther) const;

 protected:
  // Same name ignoring case and the same class as this property.
  bool SameNameAndClass(const TdxSkinProperty* AOther) const;
};

class TdxSkinIntegerProperty : public TdxSkinProperty {
  RTL_CLASS(TdxSkinIntegerProperty, TdxSkinProperty)
  Integer FValue = 0;

 public:
  using TdxSkinProperty::TdxSkinProperty;
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  Integer Value() const { return FValue; }
  void SetValue(Integer AValue);
};

class TdxSkinBooleanProperty : public TdxSkinProperty {
  RTL_CLASS(TdxSkinBooleanProperty, TdxSkinProperty)
  bool FValue = false;

 public:
  using TdxSkinProperty::TdxSkinProperty;
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  bool Value() const { return FValue; }
  void SetValue(bool AValue);
};

class TdxSkinColor : public TdxSkinProperty {
  RTL_CLASS(TdxSkinColor, TdxSkinProperty)
  TColor FValue;

 public:
  explicit TdxSkinColor(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  TColor Value() const { return FValue; }
  void SetValue(TColor AValue);
};

class TdxSkinRectProperty : public TdxSkinProperty {
  RTL_CLASS(TdxSkinRectProperty, TdxSkinProperty)
  TcxRect* FValue;

 public:
  explicit TdxSkinRectProperty(TPersistent* AOwner, const AnsiString& AName = AnsiString());
  ~TdxSkinRectProperty() override;
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  TcxRect* Value() const { return FValue; }
  void SetValue(TcxRect* AValue);
  // Sides 0 Left, 1 Top, 2 Right, 3 Bottom.
  Integer GetSide(Integer AIndex) const;
  void SetSide(Integer AIndex, Integer AValue);
  const TRect& Rect() const;

  Integer Left() const { return GetSide(0); }
  void SetLeft(Integer AValue) { SetSide(0, AValue); }
  Integer Top() const { return GetSide(1); }
  void SetTop(Integer AValue) { SetSide(1, AValue); }
  Integer Right() const { return GetSide(2); }
  void SetRight(Integer AValue) { SetSide(2, AValue); }
  Integer Bottom() const { return GetSide(3); }
  void SetBottom(Integer AValue) { SetSide(3, AValue); }
};

class TdxSkinSizeProperty : public TdxSkinProperty {
  RTL_CLASS(TdxSkinSizeProperty, TdxSkinProperty)
  TSize FValue;

 public:
  using TdxSkinProperty::TdxSkinProperty;
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  const TSize& Value() const { return FValue; }
  void SetValue(const TSize& AValue);
  // 0 cx, 1 cy.
  Integer GetDimension(Integer AIndex) const;
  void SetDimension(Integer AIndex, Integer AValue);

  Integer cx() const { return GetDimension(0); }
  void Setcx(Integer AValue) { SetDimension(0, AValue); }
  Integer cy() const { return GetDimension(1); }
  void Setcy(Integer AValue) { SetDimension(1, AValue); }
};

// Text compared with the locale-aware, case-sensitive comparison.
class TdxSkinStringProperty : public TdxSkinProperty {
  RTL_CLASS(TdxSkinStringProperty, TdxSkinProperty)
  AnsiString FValue;

 protected:
  virtual AnsiString GetValue() const { return FValue; }
  virtual void SetValueCore(const AnsiString& AValue);

 public:
  using TdxSkinProperty::TdxSkinProperty;
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  AnsiString Value() const { return GetValue(); }
  void SetValue(const AnsiString& AValue) { SetValueCore(AValue); }
};

// The text is held as UTF-16, as the stream stores it, so that no
// character is lost between reading and writing; Value gives it as 8-bit
// text.
class TdxSkinWideStringProperty : public TdxSkinStringProperty {
  RTL_CLASS(TdxSkinWideStringProperty, TdxSkinStringProperty)
  WideString FWideValue;

 protected:
  AnsiString GetValue() const override;
  void SetValueCore(const AnsiString& AValue) override;

 public:
  using TdxSkinStringProperty::TdxSkinStringProperty;
  void Assign(TPersistent* Source) override;
  bool SameAs(const TdxSkinProperty* AOther) const override;
  void LoadFromSkinStream(TStream* AStream, double AVersion) override;
  void SaveToSkinStream(TStream* AStream) override;

  const WideString& WideValue() const { return FWideValue; }
  void SetWideValue(const WideString& AValue);
};
