#include "ui/lookandfeel/skin_stream.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/scope_exit.h"
#include "ui/foundation/gdiplus_images.h"

RTL_IMPLEMENT_CLASS(TdxSkinPartStream)

namespace {

constexpr const char* kReadError = "Stream read error";

[[noreturn]] void RaiseReadError() { throw EReadError(kReadError); }

// A length read from the stream, refused when the stream cannot hold that
// many bytes after it: a lying length must not allocate before it fails.
void CheckBytesLeft(TStream* AStream, Int64 ABytes) {
  if (ABytes > dxSkinBytesLeft(AStream) || ABytes > 0x7FFFFFFF) RaiseReadError();
}

// AOrigin + AOffset held inside [ALow, AHigh], also when the sum overflows.
Int64 ClampedSum(Int64 AOrigin, Int64 AOffset, Int64 ALow, Int64 AHigh) {
  Int64 sum;
  if (__builtin_add_overflow(AOrigin, AOffset, &sum)) return AOffset < 0 ? ALow : AHigh;
  return std::clamp(sum, ALow, AHigh);
}

}  // namespace

Int64 dxSkinBytesLeft(TStream* AStream) {
  Int64 left = AStream->Size() - AStream->Position();
  return left > 0 ? left : 0;
}

// ---- Primitives ---------------------------------------------------------------------

Integer dxSkinReadInteger(TStream* AStream) {
  Byte b[4];
  AStream->ReadBuffer(b, 4);
  return static_cast<Integer>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

void dxSkinWriteInteger(TStream* AStream, Integer AValue) {
  auto v = static_cast<uint32_t>(AValue);
  const Byte b[4] = {static_cast<Byte>(v), static_cast<Byte>(v >> 8), static_cast<Byte>(v >> 16),
                     static_cast<Byte>(v >> 24)};
  AStream->WriteBuffer(b, 4);
}

Byte dxSkinReadByte(TStream* AStream) {
  Byte b = 0;
  AStream->ReadBuffer(&b, 1);
  return b;
}

void dxSkinWriteByte(TStream* AStream, Byte AValue) { AStream->WriteBuffer(&AValue, 1); }

bool dxSkinReadBoolean(TStream* AStream) { return dxSkinReadByte(AStream) != 0; }

void dxSkinWriteBoolean(TStream* AStream, bool AValue) { dxSkinWriteByte(AStream, AValue ? 1 : 0); }

Byte dxSkinReadOrdinal(TStream* AStream, Byte ACount) {
  Byte b = dxSkinReadByte(AStream);
  if (b >= ACount) RaiseReadError();
  return b;
}

TdxSkinElementStates dxSkinReadStates(TStream* AStream) {
  Byte b[2];
  AStream->ReadBuffer(b, 2);
  return TdxSkinElementStates::FromBits(uint64_t(b[0]) | uint64_t(b[1]) << 8);
}

void dxSkinWriteStates(TStream* AStream, TdxSkinElementStates AValue) {
  const uint64_t bits = AValue.ToBits();
  const Byte b[2] = {static_cast<Byte>(bits), static_cast<Byte>(bits >> 8)};
  AStream->WriteBuffer(b, 2);
}

AnsiString dxSkinReadString(TStream* AStream) {
  const Integer n = dxSkinReadInteger(AStream);
  if (n <= 0) return AnsiString();
  CheckBytesLeft(AStream, n);
  AnsiString s(static_cast<size_t>(n), '\0');
  AStream->ReadBuffer(s.data(), n);
  return s;
}

void dxSkinWriteString(TStream* AStream, const AnsiString& AValue) {
  const auto n = static_cast<Integer>(AValue.size());
  dxSkinWriteInteger(AStream, n);
  if (n > 0) AStream->WriteBuffer(AValue.data(), n);
}

WideString dxSkinReadWideString(TStream* AStream) {
  const Integer n = dxSkinReadInteger(AStream);
  if (n <= 0) return WideString();
  // Twice the count in 64 bits: 2 x N of a 32-bit N does not fit 32 bits.
  const Int64 bytes = Int64{n} * 2;
  CheckBytesLeft(AStream, bytes);
  std::unique_ptr<Byte[]> raw(new Byte[static_cast<size_t>(bytes)]);
  AStream->ReadBuffer(raw.get(), static_cast<Integer>(bytes));
  WideString s(static_cast<size_t>(n), u'\0');
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<WideChar>(raw[2 * i] | raw[2 * i + 1] << 8);
  return s;
}

void dxSkinWriteWideString(TStream* AStream, const WideString& AValue) {
  const auto n = static_cast<Integer>(AValue.size());
  dxSkinWriteInteger(AStream, n);
  if (n <= 0) return;
  std::unique_ptr<Byte[]> raw(new Byte[AValue.size() * 2]);
  for (size_t i = 0; i < AValue.size(); ++i) {
    raw[2 * i] = static_cast<Byte>(AValue[i]);
    raw[2 * i + 1] = static_cast<Byte>(AValue[i] >> 8);
  }
  AStream->WriteBuffer(raw.get(), n * 2);
}

TRect dxSkinReadRect(TStream* AStream) {
  TRect r;
  r.Left = dxSkinReadInteger(AStream);
  r.Top = dxSkinReadInteger(AStream);
  r.Right = dxSkinReadInteger(AStream);
  r.Bottom = dxSkinReadInteger(AStream);
  return r;
}

void dxSkinWriteRect(TStream* AStream, const TRect& AValue) {
  dxSkinWriteInteger(AStream, AValue.Left);
  dxSkinWriteInteger(AStream, AValue.Top);
  dxSkinWriteInteger(AStream, AValue.Right);
  dxSkinWriteInteger(AStream, AValue.Bottom);
}

TSize dxSkinReadSize(TStream* AStream) {
  TSize s;
  s.cx = dxSkinReadInteger(AStream);
  s.cy = dxSkinReadInteger(AStream);
  return s;
}

void dxSkinWriteSize(TStream* AStream, const TSize& AValue) {
  dxSkinWriteInteger(AStream, AValue.cx);
  dxSkinWriteInteger(AStream, AValue.cy);
}

// ---- PNG blocks ---------------------------------------------------------------------

void dxSkinReadPngBlock(TStream* AStream, TdxGPImage* AImage) {
  const Integer size = dxSkinReadInteger(AStream);
  if (size <= 0) return;
  CheckBytesLeft(AStream, size);
  const Int64 start = AStream->Position();
  // The picture is decoded here, not at its first use, so that a damaged
  // block fails while the stream is read and the image keeps its picture.
  TdxPNGImage decoded;
  {
    auto restore = TScopeExit([&] { AStream->SetPosition(start + size); });
    TdxSkinPartStream part(AStream, start, start + size);
    decoded.LoadFromStream(&part);
    decoded.EnsureHandle();
  }
  AImage->Assign(&decoded);
}

void dxSkinWritePngBlock(TStream* AStream, TdxGPImage* AImage) {
  if (!AImage || AImage->Empty()) {
    dxSkinWriteInteger(AStream, 0);
    return;
  }
  TMemoryStream png;
  AImage->SaveToStreamByFormat(&png, dxImagePng);
  dxSkinWriteInteger(AStream, static_cast<Integer>(png.Size()));
  AStream->WriteBuffer(png.Memory(), static_cast<Integer>(png.Size()));
}

// ---- TdxSkinPartStream ----------------------------------------------------------------

TdxSkinPartStream::TdxSkinPartStream(TStream* ASource, Int64 AStart, Int64 AEnd)
    : FSource(ASource), FStart(AStart), FEnd(std::max(AStart, AEnd)) {}

Integer TdxSkinPartStream::Read(void* buffer, Integer count) {
  const Int64 at = FSource->Position();
  if (count <= 0 || at < FStart || at >= FEnd) return 0;
  return FSource->Read(buffer, static_cast<Integer>(std::min<Int64>(count, FEnd - at)));
}

Integer TdxSkinPartStream::Write(const void* buffer, Integer count) {
  const Integer written = FSource->Write(buffer, count);
  FEnd = std::max(FStart, FSource->Position());
  return written;
}

Int64 TdxSkinPartStream::Seek(Int64 offset, TSeekOrigin origin) {
  const Int64 base = origin == soBeginning ? FStart : origin == soEnd ? FEnd : FSource->Position();
  const Int64 target = ClampedSum(base, offset, FStart, FEnd);
  FSource->SetPosition(target);
  return target - FStart;
}
