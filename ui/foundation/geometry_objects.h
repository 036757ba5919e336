// A rectangle, a size and four margins as persistent objects: published,
// streamable properties with a change event, owned by skin elements,
// shadows and galleries.
#pragma once

#include "platform/rtl/closure.h"
#include "ui/foundation/core_classes.h"

class TStream;

// The base: a change event and a byte form (empty here).
class TcxGeometryObject : public TcxOwnedPersistent {
  RTL_CLASS(TcxGeometryObject, TcxOwnedPersistent)

 public:
  // Streams create the objects by class name, with their owner.
  using TConstructArg = TPersistent;

  explicit TcxGeometryObject(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}

  // Sender is the object.
  TNotifyEvent OnChange;

  virtual void NotifyChanged();
  virtual void ReadFromStream(TStream* AStream);
  virtual void WriteToStream(TStream* AStream);
};

// One rectangle. A new rectangle goes through AdjustRect, then is stored
// (and reported) only when it differs from the held one.
class TcxRect : public TcxGeometryObject {
  RTL_CLASS(TcxRect, TcxGeometryObject)
  TRect FRect;

 protected:
  // May correct a new rectangle before it is compared and stored.
  virtual void AdjustRect(TRect& ARect);

 public:
  explicit TcxRect(TPersistent* AOwner) : TcxGeometryObject(AOwner) {}

  void CopyFrom(TPersistent* ASource) override;
  // 16 bytes: Left, Top, Right, Bottom, each a little-endian 32-bit
  // integer. A short stream raises EReadError and changes nothing.
  void ReadFromStream(TStream* AStream) override;
  void WriteToStream(TStream* AStream) override;

  void AssignRect(const TRect& ARect);
  const TRect& Rect() const { return FRect; }
  // Sides 0 Left, 1 Top, 2 Right, 3 Bottom.
  Integer GetSide(Integer AIndex) const;
  void SetSide(Integer AIndex, Integer AValue);
  bool IsEqual(const TcxRect* ARect) const;
  bool IsEqualToRect(const TRect& ARect) const;

  Integer Left() const { return GetSide(0); }
  void SetLeft(Integer AValue) { SetSide(0, AValue); }
  Integer Top() const { return GetSide(1); }
  void SetTop(Integer AValue) { SetSide(1, AValue); }
  Integer Right() const { return GetSide(2); }
  void SetRight(Integer AValue) { SetSide(2, AValue); }
  Integer Bottom() const { return GetSide(3); }
  void SetBottom(Integer AValue) { SetSide(3, AValue); }
};

// One size, never negative: Height is dimension 0, Width dimension 1. A
// dimension is written to a form only when it is not zero.
class TcxSize : public TcxGeometryObject {
  RTL_CLASS(TcxSize, TcxGeometryObject)
  TSize FSize;

  bool IsHeightStored() const { return IsDimensionStored(0); }
  bool IsWidthStored() const { return IsDimensionStored(1); }

 public:
  explicit TcxSize(TPersistent* AOwner) : TcxGeometryObject(AOwner) {}

  void CopyFrom(TPersistent* ASource) override;
  // 8 bytes: width, then height, little-endian 32-bit integers. A short
  // stream raises EReadError and changes nothing.
  void ReadFromStream(TStream* AStream) override;
  void WriteToStream(TStream* AStream) override;

  virtual Integer GetDimension(Integer AIndex) const;
  virtual bool IsDimensionStored(Integer AIndex) const;
  // Negative members become 0; stored and reported only when it changes.
  virtual void SetAsSize(const TSize& ASize);

  // (Width, Height) through GetDimension.
  TSize GetAsSize() const;
  void SetDimension(Integer AIndex, Integer AValue);
  bool IsEqual(const TcxSize* ASize) const;

  Integer Height() const { return GetDimension(0); }
  void SetHeight(Integer AValue) { SetDimension(0, AValue); }
  Integer Width() const { return GetDimension(1); }
  void SetWidth(Integer AValue) { SetDimension(1, AValue); }
};

// Four margins with a default value. All (side 0) reads the common margin
// when the four are equal and -1 when they differ; sides 1-4 are Left, Top,
// Right and Bottom. A form stores All when it is not the default, and the
// single sides only when they differ.
class TcxMargin : public TcxGeometryObject {
  RTL_CLASS(TcxMargin, TcxGeometryObject)
  Integer FDefaultValue;
  TRect FMargin;

  // Stores and reports the four margins when they differ from the held ones.
  void SetMargins(const TRect& AMargin);
  bool IsAllStored() const { return IsSideStored(0); }
  bool IsLeftStored() const { return IsSideStored(1); }
  bool IsTopStored() const { return IsSideStored(2); }
  bool IsRightStored() const { return IsSideStored(3); }
  bool IsBottomStored() const { return IsSideStored(4); }

 public:
  explicit TcxMargin(TPersistent* AOwner, Integer ADefaultValue = 0);

  void CopyFrom(TPersistent* ASource) override;
  // 16 bytes: left, top, right, bottom margins, little-endian 32-bit
  // integers. A short stream raises EReadError and changes nothing.
  void ReadFromStream(TStream* AStream) override;
  void WriteToStream(TStream* AStream) override;

  Integer GetSide(Integer AIndex) const;
  // Nothing when AValue is what GetSide answers; sides 1-4 set one
  // margin, any other index all four.
  void SetSide(Integer AIndex, Integer AValue);
  bool IsSideStored(Integer AIndex) const;
  bool IsEqual(const TcxMargin* AMargin) const;

  Integer DefaultValue() const { return FDefaultValue; }
  // The margins as a rectangle of thicknesses.
  const TRect& Margin() const { return FMargin; }

  Integer All() const { return GetSide(0); }
  void SetAll(Integer AValue) { SetSide(0, AValue); }
  Integer Left() const { return GetSide(1); }
  void SetLeft(Integer AValue) { SetSide(1, AValue); }
  Integer Top() const { return GetSide(2); }
  void SetTop(Integer AValue) { SetSide(2, AValue); }
  Integer Right() const { return GetSide(3); }
  void SetRight(Integer AValue) { SetSide(3, AValue); }
  Integer Bottom() const { return GetSide(4); }
  void SetBottom(Integer AValue) { SetSide(4, AValue); }
};

namespace cx_geometry_detail {
// The unit's start-up registers TcxRect with the class registry, so that
// streams can create it by name; its shut-down takes it out again.
void StartGeometry();
void StopGeometry();
}  // namespace cx_geometry_detail
