#include "ui/foundation/bitmaps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/mathutils.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/alpha_blend.h"
#include "ui/foundation/colors.h"
#include "ui/foundation/core_classes.h"
#include "ui/foundation/dx_core.h"

RTL_IMPLEMENT_CLASS(TcxBitmap)
RTL_IMPLEMENT_CLASS(TcxBitmap32)
RTL_IMPLEMENT_CLASS(TcxAlphaBitmap)

namespace {

constexpr Byte kSignature[4] = {'X', 'D', 'B', 'M'};
constexpr Integer kHeaderSize = 10;
constexpr Integer kMaxRun = 125;
// The largest width and height a streamed bitmap may claim.
constexpr Int64 kMaxExtent = 32767;

[[noreturn]] void StreamReadError() { throw EReadError("Stream read error"); }

uint32_t Get32(const Byte* P) { return P[0] | P[1] << 8 | P[2] << 16 | static_cast<uint32_t>(P[3]) << 24; }
uint16_t Get16(const Byte* P) { return static_cast<uint16_t>(P[0] | P[1] << 8); }

void Put32(Byte* P, uint32_t V) {
  P[0] = static_cast<Byte>(V);
  P[1] = static_cast<Byte>(V >> 8);
  P[2] = static_cast<Byte>(V >> 16);
  P[3] = static_cast<Byte>(V >> 24);
}

Cardinal PixelValue(const RGBQUAD& Q) {
  Cardinal v;
  std::memcpy(&v, &Q, 4);
  return v;
}

RGBQUAD QuadOf(Cardinal V) {
  RGBQUAD q;
  std::memcpy(&q, &V, 4);
  return q;
}

// Appends the runs of the data after the lead bytes: literal runs copy
// n x B bytes, repetitions one block written n times. Control bytes and
// repeated blocks are read only up to the end; a repeated block cut short
// is repeated as far as it was read; a literal run longer than what is
// left is a stream read error.
void DecodeRuns(const Byte* AData, size_t ASize, size_t APos, size_t ABlockSize, std::vector<Byte>& AOut) {
  while (APos < ASize) {
    const Byte control = AData[APos++];
    const size_t count = control & 0x7F;
    if (control & 0x80) {
      const size_t bytes = count * ABlockSize;
      if (bytes > ASize - APos) StreamReadError();
      const size_t at = AOut.size();
      AOut.resize(at + bytes);
      if (bytes > 0) std::memcpy(AOut.data() + at, AData + APos, bytes);
      APos += bytes;
    } else {
      const size_t got = std::min(ABlockSize, ASize - APos);
      const size_t at = AOut.size();
      AOut.resize(at + count * got);
      for (size_t i = 0; i < count; ++i) std::memcpy(AOut.data() + at + i * got, AData + APos, got);
      APos += got;
    }
  }
}

// Raises a stream read error when the plain form's length does not fit
// the data or its bitmap header claims more than the data holds, so that
// nothing is allocated for it and the bitmap keeps its content.
void CheckPlainForm(const Byte* AData, size_t ASize) {
  if (ASize < 4) StreamReadError();
  const Int64 length = static_cast<int32_t>(Get32(AData));
  if (length < 0 || length > static_cast<Int64>(ASize - 4)) StreamReadError();
  const Byte* bmp = AData + 4;
  if (length < 14 + 12 || bmp[0] != 'B' || bmp[1] != 'M') return;
  const uint32_t headerSize = Get32(bmp + 14);
  Int64 width, height;
  unsigned bits;
  uint32_t compression = BI_RGB;
  if (headerSize == 12) {
    width = Get16(bmp + 18);
    height = Get16(bmp + 20);
    bits = Get16(bmp + 24);
  } else if (headerSize >= 40 && length >= 14 + 40) {
    width = static_cast<int32_t>(Get32(bmp + 18));
    height = static_cast<int32_t>(Get32(bmp + 22));
    bits = Get16(bmp + 28);
    compression = Get32(bmp + 30);
  } else {
    return;
  }
  width = std::llabs(width);
  height = std::llabs(height);
  if (width > kMaxExtent || height > kMaxExtent) StreamReadError();
  if (compression != BI_RGB && compression != BI_BITFIELDS) return;
  const Int64 stride = (width * bits + 31) / 32 * 4;
  const Int64 needed = static_cast<Int64>(Get32(bmp + 10)) + stride * height;
  if (needed > length) StreamReadError();
}

// The value read by single-precision arithmetic, as the filters compute.
Byte Grey(const RGBQUAD& P, float AR, float AG, float AB) {
  return cxRoundClampByte(static_cast<float>(P.rgbRed * static_cast<double>(AR) +
                                             P.rgbGreen * static_cast<double>(AG) +
                                             P.rgbBlue * static_cast<double>(AB)));
}

void SetGrey(RGBQUAD& P, Byte G) { P.rgbRed = P.rgbGreen = P.rgbBlue = G; }

}  // namespace

// ---- Helpers --------------------------------------------------------------------------

Byte cxRoundClampByte(float AValue) {
  const double value = AValue;
  if (!(value > 0)) return 0;
  if (value >= 255) return 255;
  // Adding and taking away 1.5 x 2^52 leaves the nearest integer, halves to
  // even, under the default rounding mode.
  constexpr double kShift = 6755399441055744.0;
  return static_cast<Byte>((value + kShift) - kShift);
}

void cxBlendPixel(const RGBQUAD& AColor, RGBQUAD& APixel, Byte AAlpha) {
  const float a = AAlpha / 255.0f;
  const float k = 1.0f - (AColor.rgbReserved * a) / 255.0f;
  auto mix = [&](Byte C, Byte P) {
    return cxRoundClampByte(static_cast<float>(C * static_cast<double>(a) + P * static_cast<double>(k)));
  };
  APixel.rgbBlue = mix(AColor.rgbBlue, APixel.rgbBlue);
  APixel.rgbGreen = mix(AColor.rgbGreen, APixel.rgbGreen);
  APixel.rgbRed = mix(AColor.rgbRed, APixel.rgbRed);
  APixel.rgbReserved = mix(AColor.rgbReserved, APixel.rgbReserved);
}

void cxRotateBitmapPixels(TBitmap* ABitmap, TcxQuarterTurn ARotation, bool AMirror) {
  if (ARotation == qtNone && !AMirror) return;
  const Integer w = ABitmap->Width();
  const Integer h = ABitmap->Height();
  TRGBColors source;
  if (!dxGetBitmapPixels(ABitmap->Handle(), source, true)) return;
  TRGBColors target(source.size());
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      Integer index;
      switch (ARotation) {
        case qtLeft:
          index = AMirror ? x * h + y : (w - 1 - x) * h + y;
          break;
        case qtRight:
          index = AMirror ? (w - 1 - x) * h + (h - 1 - y) : x * h + (h - 1 - y);
          break;
        case qtHalf:
          index = AMirror ? y * w + (w - 1 - x) : (h - 1 - y) * w + (w - 1 - x);
          break;
        default:
          index = (h - 1 - y) * w + x;
          break;
      }
      target[static_cast<size_t>(index)] = source[static_cast<size_t>(y * w + x)];
    }
  if (ARotation == qtLeft || ARotation == qtRight) {
    ABitmap->SetHeight(0);
    ABitmap->SetWidth(h);
    ABitmap->SetHeight(w);
  }
  dxPutBitmapPixels32(ABitmap->Handle(), target, true);
}

void cxFillBitmapBlack(TBitmap* ABitmap) {
  RECT r{0, 0, ABitmap->Width(), ABitmap->Height()};
  FillRect(ABitmap->Canvas()->Handle(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

namespace {

// The run coder over blocks compared by Same(P, Q).
template <class TSame>
void EncodeRuns(const Byte* AData, size_t ASize, size_t ABlock, TSame Same, std::vector<Byte>& AOutput) {
  size_t pos = 0;
  while (pos + ABlock <= ASize) {
    const size_t first = pos;
    bool repeat = false;
    size_t length = 1;
    if (first + 2 * ABlock <= ASize) {
      repeat = Same(AData + first, AData + first + ABlock);
      size_t previous = first;
      size_t next = first + ABlock;
      while (length < kMaxRun && next + ABlock <= ASize) {
        const bool equal = Same(AData + next, AData + previous);
        if (repeat != equal) {
          // A literal run gives its last block to the repetition it opens.
          if (!repeat) --length;
          break;
        }
        ++length;
        previous = next;
        next += ABlock;
      }
    }
    AOutput.push_back(static_cast<Byte>(length | (repeat ? 0 : 0x80)));
    const size_t bytes = repeat ? ABlock : length * ABlock;
    AOutput.insert(AOutput.end(), AData + first, AData + first + bytes);
    pos = first + length * ABlock;
  }
}

}  // namespace

void cxEncodeBitmapRuns(const Byte* AData, size_t ASize, Integer ABlockSize, std::vector<Byte>& AOutput) {
  const size_t b = static_cast<size_t>(std::max(ABlockSize, 1));
  switch (b) {
    case 1:
      EncodeRuns(AData, ASize, 1, [](const Byte* P, const Byte* Q) { return *P == *Q; }, AOutput);
      break;
    case 3:
      EncodeRuns(AData, ASize, 3, [](const Byte* P, const Byte* Q) { return std::memcmp(P, Q, 3) == 0; }, AOutput);
      break;
    case 4:
      EncodeRuns(AData, ASize, 4, [](const Byte* P, const Byte* Q) { return std::memcmp(P, Q, 4) == 0; }, AOutput);
      break;
    default:
      EncodeRuns(AData, ASize, b, [b](const Byte* P, const Byte* Q) { return std::memcmp(P, Q, b) == 0; }, AOutput);
      break;
  }
}

// ---- TcxBitmap ----------------------------------------------------------------------

TcxBitmap::TcxBitmap() : TcxBitmap(0, 0, pf24bit) {}

TcxBitmap::TcxBitmap(Integer AWidth, Integer AHeight) : TcxBitmap(AWidth, AHeight, pf24bit) {}

TcxBitmap::TcxBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat) {
  InitializeBitmap(AWidth, AHeight, AFormat);
}

TcxBitmap::~TcxBitmap() = default;

void TcxBitmap::Changed(TObject* Sender) {
  if (FChangeLockCount > 0) {
    FChangeHeld = true;
    return;
  }
  FChangeHeld = false;
  inherited::Changed(Sender);
  AfterChange();
}

void TcxBitmap::InitializeBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat) {
  LockChanges();
  TScopeExit unlock([&] { UnlockChanges(true); });
  SetPixelFormat(AFormat);
  Resize(AWidth, AHeight);
}

void TcxBitmap::Resize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == Width() && AHeight == Height()) return;
  LockChanges();
  TScopeExit unlock([&] { UnlockChanges(false); });
  SetWidth(AWidth);
  SetHeight(AHeight);
}

void TcxBitmap::UnlockChanges(bool AForced) {
  if (FChangeLockCount <= 0) return;
  if (--FChangeLockCount == 0 && (AForced || FChangeHeld)) Changed(this);
}

void TcxBitmap::CopyBitmap(TBitmap* ASource, DWORD ARop) {
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), ASource->Canvas()->Handle(), 0, 0, ARop);
}

void TcxBitmap::CopyBitmapRect(TBitmap* ASource, const TRect& ADestRect, DWORD ARop, const TPoint& ASourcePoint) {
  BitBlt(Canvas()->Handle(), ADestRect.Left, ADestRect.Top, ADestRect.Right - ADestRect.Left,
         ADestRect.Bottom - ADestRect.Top, ASource->Canvas()->Handle(), ASourcePoint.X, ASourcePoint.Y, ARop);
}

TcxCanvas* TcxBitmap::GetCxCanvas() {
  if (!FcxCanvas) FcxCanvas = std::make_unique<TcxCanvas>(Canvas());
  return FcxCanvas.get();
}

void TcxBitmap::RotateFlip(TcxQuarterTurn ARotation, bool AMirror) { cxRotateBitmapPixels(this, ARotation, AMirror); }

void TcxBitmap::ReadData(TStream* Stream) {
  const Int64 start = Stream->Position();
  const Int64 available = Stream->Size() - start;
  Byte header[kHeaderSize];
  std::vector<Byte> plain;
  if (available >= kHeaderSize && Stream->Read(header, kHeaderSize) == kHeaderSize &&
      std::memcmp(header + 4, kSignature, 4) == 0) {
    const Int64 length = Get32(header);
    if (length > available - kHeaderSize) StreamReadError();
    std::vector<Byte> payload(static_cast<size_t>(length));
    if (length > 0) Stream->ReadBuffer(payload.data(), static_cast<Integer>(length));
    const uint16_t version = Get16(header + 8);
    if (version == 1) {
      DecodeRuns(payload.data(), payload.size(), 0, 1, plain);
    } else if (version == 2) {
      if (payload.size() < 2) StreamReadError();
      const size_t blockSize = payload[0];
      const size_t lead = payload[1];
      if (2 + lead > payload.size()) StreamReadError();
      plain.assign(payload.begin() + 2, payload.begin() + 2 + static_cast<ptrdiff_t>(lead));
      DecodeRuns(payload.data(), payload.size(), 2 + lead, blockSize, plain);
    }
    // Another version reads as an empty plain form: an empty bitmap.
    if (plain.empty()) plain.assign(4, 0);
  } else {
    Stream->SetPosition(start);
    Byte size[4];
    Stream->ReadBuffer(size, 4);
    const Int64 length = static_cast<int32_t>(Get32(size));
    if (length < 0 || length > available - 4) StreamReadError();
    plain.resize(static_cast<size_t>(4 + length));
    std::memcpy(plain.data(), size, 4);
    if (length > 0) Stream->ReadBuffer(plain.data() + 4, static_cast<Integer>(length));
  }
  CheckPlainForm(plain.data(), plain.size());
  TMemoryStream form;
  form.WriteBuffer(plain.data(), static_cast<Integer>(plain.size()));
  form.SetPosition(0);
  inherited::ReadData(&form);
}

void TcxBitmap::WriteData(TStream* Stream) {
  if (!FCompressData) {
    inherited::WriteData(Stream);
    return;
  }
  TMemoryStream plainStream;
  inherited::WriteData(&plainStream);
  const Byte* plain = static_cast<const Byte*>(plainStream.Memory());
  const size_t size = static_cast<size_t>(plainStream.Size());
  const Integer blockSize = std::max(dxGetBitmapBitsPerPixel(this) / 8, 1);
  const size_t lead = size % static_cast<size_t>(blockSize);
  std::vector<Byte> out(kHeaderSize);
  out.reserve(size / 2 + 64);
  out.push_back(static_cast<Byte>(blockSize));
  out.push_back(static_cast<Byte>(lead));
  out.insert(out.end(), plain, plain + lead);
  cxEncodeBitmapRuns(plain + lead, size - lead, blockSize, out);
  // The length counts the payload alone, wherever the stream starts.
  Put32(out.data(), static_cast<uint32_t>(out.size() - kHeaderSize));
  std::memcpy(out.data() + 4, kSignature, 4);
  out[8] = 2;
  out[9] = 0;
  Stream->WriteBuffer(out.data(), static_cast<Integer>(out.size()));
}

// ---- TcxBitmap32 --------------------------------------------------------------------

TcxBitmap32::TcxBitmap32(Integer AWidth, Integer AHeight, bool AClear) : TcxBitmap(AWidth, AHeight, pf32bit) {
  if (AClear) Clear();
}

void TcxBitmap32::AfterChange() {
  if (dxGetBitmapBitsPerPixel(this) != 32) throw EdxException("Wrong PixelFormat");
}

void TcxBitmap32::Clear() { cxFillBitmapBlack(this); }

void TcxBitmap32::ReadData(TStream* Stream) {
  LockChanges();
  TScopeExit done([&] {
    SetPixelFormat(pf32bit);
    UnlockChanges(true);
  });
  inherited::ReadData(Stream);
}

void TcxBitmap32::LoadFromStream(TStream* Stream) {
  LockChanges();
  TScopeExit done([&] {
    SetPixelFormat(pf32bit);
    UnlockChanges(true);
  });
  inherited::LoadFromStream(Stream);
}

void TcxBitmap32::LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName) {
  LockChanges();
  TScopeExit done([&] {
    SetPixelFormat(pf32bit);
    UnlockChanges(true);
  });
  TBitmap::LoadFromResourceName(Instance, ResName);
}

void TcxBitmap32::GetPixels(TRGBColors& APixels) {
  if (!dxGetBitmapPixels(Handle(), APixels, false)) APixels.clear();
}

void TcxBitmap32::SetPixels(const TRGBColors& APixels) { dxPutBitmapPixels32(Handle(), APixels, false); }

void TcxBitmap32::SetAlphaChannel(Byte AValue) {
  TRGBColors pixels;
  GetPixels(pixels);
  for (RGBQUAD& p : pixels) p.rgbReserved = AValue;
  SetPixels(pixels);
}

void TcxBitmap32::KeyOutColor(TColor AColor) {
  const Cardinal key = dxColorToQuadWithAlpha(AColor, 0) & 0xFFFFFFu;
  TRGBColors pixels;
  GetPixels(pixels);
  for (RGBQUAD& p : pixels) {
    if ((PixelValue(p) & 0xFFFFFFu) == key)
      p = QuadOf(0);
    else if (p.rgbReserved == 0)
      p.rgbReserved = 255;
  }
  SetPixels(pixels);
}

void TcxBitmap32::CutOutByMask(TBitmap* AMask) {
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), AMask->Canvas()->Handle(), 0, 0, 0x00220326);
}

bool TcxBitmap32::HasAlpha() { return dxBitmapHasAlpha(this); }

void TcxBitmap32::AlphaBlendTo(TBitmap* ADest, const TRect& R, Byte AAlpha, bool ASmooth) {
  cxAlphaBlendBitmapOntoBitmap(ADest, this, R, AAlpha, ASmooth, GetClientRect());
}

void TcxBitmap32::Premultiply() {
  TRGBColors pixels;
  GetPixels(pixels);
  for (RGBQUAD& p : pixels) {
    p.rgbBlue = static_cast<Byte>(MulDiv(p.rgbBlue, p.rgbReserved, 255));
    p.rgbGreen = static_cast<Byte>(MulDiv(p.rgbGreen, p.rgbReserved, 255));
    p.rgbRed = static_cast<Byte>(MulDiv(p.rgbRed, p.rgbReserved, 255));
  }
  SetPixels(pixels);
}

// ---- TcxAlphaBitmap -----------------------------------------------------------------

bool TcxColorList::Contains(Cardinal AValue) const {
  return std::find(FItems.begin(), FItems.end(), AValue) != FItems.end();
}

TcxAlphaBitmap::TcxAlphaBitmap(Integer AWidth, Integer AHeight) : TcxBitmap32(AWidth, AHeight) {}

TcxAlphaBitmap::TcxAlphaBitmap(Integer AWidth, Integer AHeight, bool AClear) : TcxBitmap32(AWidth, AHeight) {
  if (AClear) Clear();
}

std::unique_ptr<TcxAlphaBitmap> TcxAlphaBitmap::CreateWithBkColor(Integer AWidth, Integer AHeight,
                                                                   Cardinal ABkColor) {
  auto bitmap = std::make_unique<TcxAlphaBitmap>(AWidth, AHeight);
  bitmap->FTransparentBkColor = ABkColor;
  return bitmap;
}

void TcxAlphaBitmap::Clear() {
  if (FTransparentBkColor >> 24)
    ApplyFilter(bfFillBkColor);
  else
    inherited::Clear();
}

bool TcxAlphaBitmap::IsTransparentPixel(Cardinal APixel) const {
  return APixel == FTransparentBkColor ||
         (FTransparentPixels.Count() > 0 && FTransparentPixels.Contains(APixel & 0xFFFFFFu));
}

void TcxAlphaBitmap::AddTransparentColor(TColor AColor) {
  FTransparentPixels.Add(dxColorToQuadWithAlpha(AColor, 0) & 0xFFFFFFu);
}

void TcxAlphaBitmap::SetTransparentColor(TColor AColor) {
  FTransparentPixels.Clear();
  AddTransparentColor(AColor);
  FTransparentBkColor = dxColorToQuadWithAlpha(AColor, 0);
  ApplyFilter(bfFixAlpha);
}

void TcxAlphaBitmap::DrawHatch(TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1, Byte AAlpha2) {
  TcxHatchData data;
  data.Color1 = dxColorToQuadWithAlpha(AColor1, 255);
  data.Alpha1 = AAlpha1;
  data.Color2 = dxColorToQuadWithAlpha(AColor2, 255);
  data.Alpha2 = AAlpha2;
  data.Step = AStep;
  SetHatchData(data);
}

void TcxAlphaBitmap::SetHatchData(const TcxHatchData& AData) {
  FHatchData = AData;
  ApplyFilter(bfHatch);
}

void TcxAlphaBitmap::ApplyFilter(TcxBitmapFilter AFilter) {
  static constexpr float kLumaR = 0.299f, kLumaG = 0.587f, kLumaB = 0.114f;
  static constexpr float kAltR = 0.0729f, kAltG = 0.7146f, kAltB = 0.2125f;
  TRGBColors pixels;
  GetPixels(pixels);
  const Integer w = Width();
  const Integer h = Height();
  if (pixels.size() < static_cast<size_t>(w) * static_cast<size_t>(h)) return;
  // Each pixel depends on itself and its position alone, so rows are walked
  // in memory order, one loop per filter.
  auto walk = [&](auto AFilterPixel) {
    RGBQUAD* pixel = pixels.data();
    for (Integer y = 0; y < h; ++y)
      for (Integer x = 0; x < w; ++x, ++pixel) {
        FCurrentPixel = TPoint(x, y);
        AFilterPixel(*pixel);
      }
  };
  auto unlessTransparent = [&](auto AFilterPixel) {
    walk([&](RGBQUAD& P) {
      if (!IsTransparentPixel(PixelValue(P))) AFilterPixel(P);
    });
  };
  switch (AFilter) {
    case bfFade:
      unlessTransparent([](RGBQUAD& P) {
        if (P.rgbReserved == 255) {
          for (Byte* c : {&P.rgbBlue, &P.rgbGreen, &P.rgbRed}) *c = cxClampByte(*c + MulDiv(255 - *c, 3, 10));
        } else {
          for (Byte* c : {&P.rgbBlue, &P.rgbGreen, &P.rgbRed, &P.rgbReserved}) *c = cxClampByte(MulDiv(*c, 200, 255));
        }
      });
      break;
    case bfDisable: {
      const RGBQUAD shadow = QuadOf(dxColorToQuadWithAlpha(clBtnShadow, 0xC0));
      unlessTransparent([&](RGBQUAD& P) {
        SetGrey(P, Grey(P, kLumaR, kLumaG, kLumaB));
        cxBlendPixel(shadow, P, 238);
      });
      break;
    }
    case bfGrayAverage:
      unlessTransparent([](RGBQUAD& P) { SetGrey(P, static_cast<Byte>((P.rgbRed + P.rgbGreen + P.rgbBlue) / 3)); });
      break;
    case bfOpaque:
      walk([](RGBQUAD& P) { P.rgbReserved = 255; });
      break;
    case bfMask:
      walk([&](RGBQUAD& P) { P = QuadOf(IsTransparentPixel(PixelValue(P)) ? 0xFFFFFFFFu : 0); });
      break;
    case bfGrayLuma:
      unlessTransparent([](RGBQUAD& P) { SetGrey(P, Grey(P, kLumaR, kLumaG, kLumaB)); });
      break;
    case bfGrayLumaAlt:
      unlessTransparent([](RGBQUAD& P) { SetGrey(P, Grey(P, kAltR, kAltG, kAltB)); });
      break;
    case bfFixAlpha:
      walk([&](RGBQUAD& P) {
        if (P.rgbReserved == 0 && !IsTransparentPixel(PixelValue(P))) P.rgbReserved = 255;
      });
      break;
    case bfHatch: {
      // A step of 0 would divide by zero: it hatches pixel by pixel.
      const Integer step = std::max<Integer>(FHatchData.Step, 1);
      const RGBQUAD first = QuadOf(FHatchData.Color1);
      const RGBQUAD second = QuadOf(FHatchData.Color2);
      walk([&](RGBQUAD& P) {
        if ((FCurrentPixel.X / step + FCurrentPixel.Y / step) % 2 == 1)
          cxBlendPixel(second, P, FHatchData.Alpha2);
        else
          cxBlendPixel(first, P, FHatchData.Alpha1);
      });
      break;
    }
    case bfFillBkColor: {
      const RGBQUAD background = QuadOf(FTransparentBkColor);
      walk([&](RGBQUAD& P) { P = background; });
      break;
    }
    case bfClearAlpha:
      walk([](RGBQUAD& P) { P.rgbReserved = 0; });
      break;
  }
  SetPixels(pixels);
  Changed(this);
}

TClass cx_graphics_detail::BitmapClass() { return TcxBitmap::StaticClass(); }

TClass cx_graphics_detail::Bitmap32Class() { return TcxBitmap32::StaticClass(); }
