#include "ui/foundation/geometry_objects.h"

#include "platform/rtl/mathutils.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/streams.h"
#include "ui/foundation/geometry.h"

RTL_IMPLEMENT_CLASS(TcxGeometryObject)
RTL_IMPLEMENT_PUBLISHED(TcxRect,
                       RTL_PROP(Left).Default(0),
                       RTL_PROP(Top).Default(0),
                       RTL_PROP(Right).Default(0),
                       RTL_PROP(Bottom).Default(0),
                       RTL_EVENT(OnChange))
RTL_IMPLEMENT_PUBLISHED(TcxSize,
                       RTL_PROP(Height).Stored<&Self::IsHeightStored>(),
                       RTL_PROP(Width).Stored<&Self::IsWidthStored>(),
                       RTL_EVENT(OnChange))
RTL_IMPLEMENT_PUBLISHED(TcxMargin,
                       RTL_PROP(All).Stored<&Self::IsAllStored>(),
                       RTL_PROP(Left).Stored<&Self::IsLeftStored>(),
                       RTL_PROP(Top).Stored<&Self::IsTopStored>(),
                       RTL_PROP(Right).Stored<&Self::IsRightStored>(),
                       RTL_PROP(Bottom).Stored<&Self::IsBottomStored>(),
                       RTL_EVENT(OnChange))

namespace {

// The whole record is read before anything is decoded, so a short stream
// raises before the object changes.
template <size_t N>
void ReadInt32s(TStream* AStream, Integer (&AValues)[N]) {
  Byte bytes[N * 4];
  AStream->ReadBuffer(bytes, static_cast<Integer>(sizeof(bytes)));
  for (size_t i = 0; i < N; ++i) {
    const Byte* b = bytes + i * 4;
    AValues[i] = static_cast<Integer>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                      uint32_t(b[3]) << 24);
  }
}

template <size_t N>
void WriteInt32s(TStream* AStream, const Integer (&AValues)[N]) {
  Byte bytes[N * 4];
  for (size_t i = 0; i < N; ++i) {
    auto v = static_cast<uint32_t>(AValues[i]);
    for (size_t k = 0; k < 4; ++k) bytes[i * 4 + k] = static_cast<Byte>(v >> (8 * k));
  }
  AStream->WriteBuffer(bytes, static_cast<Integer>(sizeof(bytes)));
}

Integer* SideOf(TRect& R, Integer AIndex) {
  switch (AIndex) {
    case 0: return &R.Left;
    case 1: return &R.Top;
    case 2: return &R.Right;
    case 3: return &R.Bottom;
    default: return nullptr;
  }
}

}  // namespace

// ---- TcxGeometryObject ---------------------------------------------------------------

void TcxGeometryObject::NotifyChanged() {
  if (OnChange) OnChange(this);
}

void TcxGeometryObject::ReadFromStream(TStream*) {}

void TcxGeometryObject::WriteToStream(TStream*) {}

// ---- TcxRect ---------------------------------------------------------------------------

void TcxRect::AdjustRect(TRect&) {}

void TcxRect::AssignRect(const TRect& ARect) {
  TRect r = ARect;
  AdjustRect(r);
  if (cxRectsEqual(r, FRect)) return;
  FRect = r;
  NotifyChanged();
}

Integer TcxRect::GetSide(Integer AIndex) const {
  TRect r = FRect;
  Integer* side = SideOf(r, AIndex);
  return side ? *side : 0;
}

void TcxRect::SetSide(Integer AIndex, Integer AValue) {
  TRect r = FRect;
  Integer* side = SideOf(r, AIndex);
  if (!side) return;
  *side = AValue;
  AssignRect(r);
}

bool TcxRect::IsEqual(const TcxRect* ARect) const { return ARect && cxRectsEqual(FRect, ARect->FRect); }

bool TcxRect::IsEqualToRect(const TRect& ARect) const { return cxRectsEqual(FRect, ARect); }

void TcxRect::CopyFrom(TPersistent* ASource) { AssignRect(static_cast<TcxRect*>(ASource)->FRect); }

void TcxRect::ReadFromStream(TStream* AStream) {
  Integer v[4];
  ReadInt32s(AStream, v);
  AssignRect(TRect(v[0], v[1], v[2], v[3]));
}

void TcxRect::WriteToStream(TStream* AStream) {
  const Integer v[4] = {FRect.Left, FRect.Top, FRect.Right, FRect.Bottom};
  WriteInt32s(AStream, v);
}

// ---- TcxSize -------------------------------------------------------------------------------

Integer TcxSize::GetDimension(Integer AIndex) const { return AIndex == 0 ? FSize.cy : FSize.cx; }

bool TcxSize::IsDimensionStored(Integer AIndex) const { return GetDimension(AIndex) != 0; }

void TcxSize::SetAsSize(const TSize& ASize) {
  TSize s(Max(ASize.cx, 0), Max(ASize.cy, 0));
  if (cxSizesEqual(s, FSize)) return;
  FSize = s;
  NotifyChanged();
}

TSize TcxSize::GetAsSize() const { return TSize(GetDimension(1), GetDimension(0)); }

void TcxSize::SetDimension(Integer AIndex, Integer AValue) {
  TSize s = GetAsSize();
  if (AIndex == 1)
    s.cx = AValue;
  else
    s.cy = AValue;
  SetAsSize(s);
}

bool TcxSize::IsEqual(const TcxSize* ASize) const { return ASize && cxSizesEqual(ASize->GetAsSize(), FSize); }

void TcxSize::CopyFrom(TPersistent* ASource) { SetAsSize(static_cast<TcxSize*>(ASource)->GetAsSize()); }

void TcxSize::ReadFromStream(TStream* AStream) {
  Integer v[2];
  ReadInt32s(AStream, v);
  SetAsSize(TSize(v[0], v[1]));
}

void TcxSize::WriteToStream(TStream* AStream) {
  const Integer v[2] = {FSize.cx, FSize.cy};
  WriteInt32s(AStream, v);
}

// ---- TcxMargin -------------------------------------------------------------------------------

TcxMargin::TcxMargin(TPersistent* AOwner, Integer ADefaultValue)
    : TcxGeometryObject(AOwner), FDefaultValue(ADefaultValue) {
  SetAll(ADefaultValue);
}

Integer TcxMargin::GetSide(Integer AIndex) const {
  switch (AIndex) {
    case 1: return FMargin.Left;
    case 2: return FMargin.Top;
    case 3: return FMargin.Right;
    case 4: return FMargin.Bottom;
    default: {
      const TRect& m = FMargin;
      return m.Left == m.Top && m.Left == m.Right && m.Left == m.Bottom ? m.Left : -1;
    }
  }
}

void TcxMargin::SetSide(Integer AIndex, Integer AValue) {
  if (AValue == GetSide(AIndex)) return;
  switch (AIndex) {
    case 1: FMargin.Left = AValue; break;
    case 2: FMargin.Top = AValue; break;
    case 3: FMargin.Right = AValue; break;
    case 4: FMargin.Bottom = AValue; break;
    default: FMargin = TRect(AValue, AValue, AValue, AValue); break;
  }
  NotifyChanged();
}

bool TcxMargin::IsSideStored(Integer AIndex) const {
  if (AIndex >= 1 && AIndex <= 4) return All() == -1;
  return All() != FDefaultValue;
}

void TcxMargin::SetMargins(const TRect& AMargin) {
  if (cxRectsEqual(AMargin, FMargin)) return;
  FMargin = AMargin;
  NotifyChanged();
}

bool TcxMargin::IsEqual(const TcxMargin* AMargin) const { return AMargin && cxRectsEqual(FMargin, AMargin->FMargin); }

void TcxMargin::CopyFrom(TPersistent* ASource) { SetMargins(static_cast<TcxMargin*>(ASource)->FMargin); }

void TcxMargin::ReadFromStream(TStream* AStream) {
  Integer v[4];
  ReadInt32s(AStream, v);
  SetMargins(TRect(v[0], v[1], v[2], v[3]));
}

void TcxMargin::WriteToStream(TStream* AStream) {
  const Integer v[4] = {FMargin.Left, FMargin.Top, FMargin.Right, FMargin.Bottom};
  WriteInt32s(AStream, v);
}

// ---- Unit ------------------------------------------------------------------------------------

void cx_geometry_detail::StartGeometry() { RegisterClass(TcxRect::StaticClass()); }

void cx_geometry_detail::StopGeometry() { UnRegisterClass(TcxRect::StaticClass()); }
