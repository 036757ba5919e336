// The primitive encodings of the skin stream (little-endian), the version
// thresholds of its older layouts, and the windowed stream a PNG block is
// decoded through.
//
// Skin streams come from outside, so every length is checked against the
// bytes the stream still holds before anything is allocated: a length that
// claims more raises EReadError, as a short read does.
#pragma once

#include "platform/rtl/streams.h"
#include "ui/lookandfeel/skin_types.h"

class TdxGPImage;

// ---- Versions ---------------------------------------------------------------------
// The layouts were told apart by comparing the version with thresholds
// held in 80-bit precision, a hair below the double nearest each of them;
// so a version equal to a threshold passes a lower bound and fails the
// one upper bound.

constexpr double dxSkinVersionGradients = 1.02;   // image gradient fields
constexpr double dxSkinVersionDetails = 1.04;     // details beyond the name
constexpr double dxSkinVersionBareBorders = 1.09;  // borders without tag and name
constexpr double dxSkinVersionImageCount = 1.1;   // image count in the image record

// Version at least AThreshold, the threshold itself included.
inline bool dxSkinVersionAtLeast(double AVersion, double AThreshold) { return AVersion >= AThreshold; }
// Version at most AThreshold, the threshold itself excluded.
inline bool dxSkinVersionAtMost(double AVersion, double AThreshold) { return AVersion < AThreshold; }

// ---- Primitives ---------------------------------------------------------------------

Integer dxSkinReadInteger(TStream* AStream);
void dxSkinWriteInteger(TStream* AStream, Integer AValue);
Byte dxSkinReadByte(TStream* AStream);
void dxSkinWriteByte(TStream* AStream, Byte AValue);
bool dxSkinReadBoolean(TStream* AStream);
void dxSkinWriteBoolean(TStream* AStream, bool AValue);
// A byte holding an ordinal below ACount; any other byte is damage and
// raises EReadError.
Byte dxSkinReadOrdinal(TStream* AStream, Byte ACount);
TdxSkinElementStates dxSkinReadStates(TStream* AStream);
void dxSkinWriteStates(TStream* AStream, TdxSkinElementStates AValue);
// Length N, then N bytes; N <= 0 reads as "".
AnsiString dxSkinReadString(TStream* AStream);
void dxSkinWriteString(TStream* AStream, const AnsiString& AValue);
// Count N of UTF-16 units, then 2 x N bytes; N <= 0 reads as "".
WideString dxSkinReadWideString(TStream* AStream);
void dxSkinWriteWideString(TStream* AStream, const WideString& AValue);
TRect dxSkinReadRect(TStream* AStream);
void dxSkinWriteRect(TStream* AStream, const TRect& AValue);
TSize dxSkinReadSize(TStream* AStream);
void dxSkinWriteSize(TStream* AStream, const TSize& AValue);

// Size S, then S bytes of a PNG file. S <= 0 leaves the image as it is.
// The block is decoded on its own, through a part stream over its bytes;
// a picture the decoder refuses raises its error and leaves the image as
// it was. Whatever happens, the stream is left at the byte after the
// block.
void dxSkinReadPngBlock(TStream* AStream, TdxGPImage* AImage);
// An empty image is written as S = 0.
void dxSkinWritePngBlock(TStream* AStream, TdxGPImage* AImage);

// The bytes the stream holds after its position (never negative).
Int64 dxSkinBytesLeft(TStream* AStream);

// ---- The part stream --------------------------------------------------------------

// A window [start, end) of another stream. Reads and seeks never leave the
// window, so a decoder handed the part cannot read into the records that
// follow it; a write goes to the source and moves the end to where it
// stopped.
class TdxSkinPartStream : public TStream {
  RTL_CLASS(TdxSkinPartStream, TStream)
  TStream* FSource;
  Int64 FStart;
  Int64 FEnd;

 public:
  TdxSkinPartStream(TStream* ASource, Int64 AStart, Int64 AEnd);

  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override { return FEnd - FStart; }

  TStream* Source() const { return FSource; }
  Int64 Start() const { return FStart; }
  Int64 End() const { return FEnd; }
};
