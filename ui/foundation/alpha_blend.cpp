#include "ui/foundation/alpha_blend.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/forms/bitmap.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/geometry.h"
#include "ui/foundation/graphics_unit.h"

namespace {

// GDI+ interpolation modes.
constexpr Byte kInterpolationLowQuality = 1;
constexpr Byte kInterpolationHighQualityBicubic = 7;

// A palette of the bitmap's colour table; null for a bitmap without one.
HPALETTE PaletteOfBitmap(TBitmap* ABitmap) {
  if (ABitmap->PixelFormat() == pfDevice || ABitmap->PixelFormat() > pf8bit) return nullptr;
  HDC dc = ABitmap->Canvas()->Handle();
  RGBQUAD colors[256];
  const UINT count = GetDIBColorTable(dc, 0, 256, colors);
  if (count == 0) return nullptr;
  std::vector<Byte> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(count);
  PALETTEENTRY* entries = palette->palPalEntry;
  for (UINT i = 0; i < count; ++i)
    entries[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
  return CreatePalette(palette);
}

void BlitBitmapToDCInternal(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, DWORD ARop,
                            const TPoint& ASourcePoint) {
  // Old systems leave garbage in the fourth byte of a copy from a shallower
  // bitmap to a 32-bit surface; the copy's alpha is cleared first.
  if (OSWin9xFamily && GetDeviceCaps(ADestDC, BITSPIXEL) == 32 && dxGetBitmapBitsPerPixel(ASource) < 32) {
    TcxAlphaBitmap copy(cxRectGetWidth(ADestRect), cxRectGetHeight(ADestRect));
    cxBlitRect(copy.Canvas()->Handle(), ASource->Canvas()->Handle(), copy.GetClientRect(), SRCCOPY, ASourcePoint);
    copy.ApplyFilter(bfClearAlpha);
    cxBlitRect(ADestDC, copy.Canvas()->Handle(), ADestRect, ARop, TPoint(0, 0));
  } else
    cxBlitRect(ADestDC, ASource->Canvas()->Handle(), ADestRect, ARop, ASourcePoint);
}

std::unique_ptr<TBitmap> NewBitmap32(Integer AWidth, Integer AHeight) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(AWidth, AHeight);
  return bitmap;
}

// The GDI+ road of 32-bit emulation; false when GDI+ is missing.
bool BlendThroughGdiPlus(HDC ADestDC, TBitmap* ASourceCopy, const TRect& ADestRect, bool ASmooth,
                         Byte AConstantAlpha) {
  if (!dxGpCheckAvailable()) return false;
  TdxGPCustomPaintCanvas* canvas = dxGpBeginPaint(ADestDC, ADestRect);
  auto end = TScopeExit([&] { dxGpEndPaint(canvas); });
  canvas->SetInterpolationMode(ASmooth ? kInterpolationHighQualityBicubic : kInterpolationLowQuality);
  canvas->DrawGraphic(ASourceCopy, ADestRect, TdxGpAlpha(AConstantAlpha));
  return true;
}

void BlendInSoftware(HDC ADestDC, TBitmap* ASourceCopy, const TRect& ADestRect, bool ASmooth, Byte AConstantAlpha) {
  std::unique_ptr<TBitmap> dest = cxCopyDCRectToBitmap(ADestDC, ADestRect);
  std::unique_ptr<TBitmap> resized = NewBitmap32(cxRectGetWidth(ADestRect), cxRectGetHeight(ADestRect));
  if (ASmooth)
    cxResampleLanczos3(ASourceCopy, resized.get());
  else
    cxStretchBitmapPlain(resized.get(), ASourceCopy);
  const TRect whole(0, 0, resized->Width(), resized->Height());
  if (!cxAlphaBlendGDI(dest->Canvas()->Handle(), resized->Canvas()->Handle(), whole, whole, AConstantAlpha, true))
    cxBlendBitmapsSoftware(dest.get(), resized.get(), AConstantAlpha);
  cxBlitRect(ADestDC, dest->Canvas()->Handle(), ADestRect, SRCCOPY, TPoint(0, 0));
}

// Mirrors a position beyond an edge back into 0..S-1. A filter wider than
// the line (a line of one or two pixels, or a strong shrink) can reach
// farther than one reflection brings back, so the result is also clamped.
Integer MirrorIndex(Integer J, Integer S) {
  if (J < 0)
    J = -J;
  else if (J >= S)
    J = 2 * S - 1 - J;
  return std::clamp(J, 0, S - 1);
}

// The filter's rounded weights add up to a little more or less than 256
// between source pixels, which would darken a flat colour and make an
// opaque image slightly transparent; the heaviest weight takes the rest.
void NormaliseWeights(TContributors& AEntry) {
  if (AEntry.Count == 0) return;
  Integer sum = 0;
  size_t heaviest = 0;
  for (size_t k = 0; k < static_cast<size_t>(AEntry.Count); ++k) {
    sum += AEntry.Contributors[k].Weight;
    if (AEntry.Contributors[k].Weight > AEntry.Contributors[heaviest].Weight) heaviest = k;
  }
  AEntry.Contributors[heaviest].Weight += 256 - sum;
}

Byte ChannelOfSum(Integer ASum) { return ASum < 0 ? 0 : static_cast<Byte>(std::min(255, ASum >> 8)); }

struct TSums {
  Integer B = 0, G = 0, R = 0, A = 0;
  void Add(const RGBQUAD& Q, Integer W) {
    B += W * Q.rgbBlue;
    G += W * Q.rgbGreen;
    R += W * Q.rgbRed;
    A += W * Q.rgbReserved;
  }
  RGBQUAD Quad() const { return RGBQUAD{ChannelOfSum(B), ChannelOfSum(G), ChannelOfSum(R), ChannelOfSum(A)}; }
};

}  // namespace

// ---- Copies ------------------------------------------------------------------------

void cxBlitRect(HDC ADestDC, HDC ASourceDC, const TRect& ADestRect, DWORD ARop, const TPoint& ASourcePoint) {
  BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, cxRectGetWidth(ADestRect), cxRectGetHeight(ADestRect), ASourceDC,
         ASourcePoint.X, ASourcePoint.Y, ARop);
}

void cxBlitBitmapToDC(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, DWORD ARop, const TPoint& ASourcePoint) {
  if (!ASource) return;
  HPALETTE palette = GetDeviceCaps(ADestDC, BITSPIXEL) <= 8 ? PaletteOfBitmap(ASource) : nullptr;
  if (!palette) {
    BlitBitmapToDCInternal(ADestDC, ASource, ADestRect, ARop, ASourcePoint);
    return;
  }
  HPALETTE previous = SelectPalette(ADestDC, palette, TRUE);
  auto restore = TScopeExit([&] {
    SelectPalette(ADestDC, previous, TRUE);
    DeleteObject(palette);
  });
  RealizePalette(ADestDC);
  BlitBitmapToDCInternal(ADestDC, ASource, ADestRect, ARop, ASourcePoint);
}

std::unique_ptr<TBitmap> cxCopyDCRectToBitmap(HDC DC, const TRect& R) {
  std::unique_ptr<TBitmap> bitmap = NewBitmap32(cxRectGetWidth(R), cxRectGetHeight(R));
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(TRect(0, 0, bitmap->Width(), bitmap->Height()));
  BitBlt(canvas->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), DC, R.Left, R.Top, SRCCOPY);
  return bitmap;
}

void cxStretchBitmapPlain(TBitmap* ADest, TBitmap* ASource) {
  StretchBlt(ADest->Canvas()->Handle(), 0, 0, ADest->Width(), ADest->Height(), ASource->Canvas()->Handle(), 0, 0,
             ASource->Width(), ASource->Height(), SRCCOPY);
}

// ---- Blending ----------------------------------------------------------------------

bool cxIsAlphaBlendAvailable() { return cxAlphaBlendProc() != nullptr; }

bool cxAlphaBlendGDI(HDC ADestDC, HDC ASourceDC, const TRect& ADestRect, const TRect& ASourceRect,
                     Byte AConstantAlpha, bool APerPixel) {
  TcxAlphaBlendFunc blend = cxAlphaBlendProc();
  if (!blend) return false;
  BLENDFUNCTION function{};
  function.BlendOp = AC_SRC_OVER;
  function.BlendFlags = 0;
  function.SourceConstantAlpha = AConstantAlpha;
  function.AlphaFormat = APerPixel ? AC_SRC_ALPHA : 0;
  return blend(ADestDC, ADestRect.Left, ADestRect.Top, cxRectGetWidth(ADestRect), cxRectGetHeight(ADestRect),
               ASourceDC, ASourceRect.Left, ASourceRect.Top, cxRectGetWidth(ASourceRect),
               cxRectGetHeight(ASourceRect), function) != FALSE;
}

void cxAlphaBlendDC(HDC ADestDC, HDC ASourceDC, const TRect& ADestRect, const TRect& ASourceRect, bool ASmooth,
                    Byte AConstantAlpha) {
  if (cxRectHasNoArea(ADestRect) || cxRectHasNoArea(ASourceRect)) return;
  const bool smooth = ASmooth && !cxSizesEqual(cxRectGetSize(ADestRect), cxRectGetSize(ASourceRect));
  if (!OSWow64Process && !OSWin9xFamily && cxIsAlphaBlendAvailable() && !smooth) {
    cxAlphaBlendGDI(ADestDC, ASourceDC, ADestRect, ASourceRect, AConstantAlpha, true);
    return;
  }
  std::unique_ptr<TBitmap> source = cxCopyDCRectToBitmap(ASourceDC, ASourceRect);
  if (OSWow64Process && BlendThroughGdiPlus(ADestDC, source.get(), ADestRect, smooth, AConstantAlpha)) return;
  BlendInSoftware(ADestDC, source.get(), ADestRect, smooth, AConstantAlpha);
}

void cxAlphaBlendBitmapOntoBitmap(TBitmap* ADest, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha,
                                  bool ASmooth, const TRect& ASourceRect) {
  if (!ADest || !ASource) return;
  cxAlphaBlendDC(ADest->Canvas()->Handle(), ASource->Canvas()->Handle(), ADestRect, ASourceRect, ASmooth,
                 AConstantAlpha);
}

void cxAlphaBlendBitmapOntoBitmap(TBitmap* ADest, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha,
                                  bool ASmooth) {
  if (!ASource) return;
  cxAlphaBlendBitmapOntoBitmap(ADest, ASource, ADestRect, AConstantAlpha, ASmooth,
                               TRect(0, 0, ASource->Width(), ASource->Height()));
}

void cxAlphaBlendBitmapOntoDC(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha,
                              bool ASmooth, const TRect& ASourceRect) {
  if (!ASource) return;
  cxAlphaBlendDC(ADestDC, ASource->Canvas()->Handle(), ADestRect, ASourceRect, ASmooth, AConstantAlpha);
}

void cxAlphaBlendBitmapOntoDC(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha,
                              bool ASmooth) {
  if (!ASource) return;
  cxAlphaBlendBitmapOntoDC(ADestDC, ASource, ADestRect, AConstantAlpha, ASmooth,
                           TRect(0, 0, ASource->Width(), ASource->Height()));
}

void cxBlendBitmapsSoftware(TBitmap* ADest, TBitmap* ASource, Byte AConstantAlpha) {
  if (!ADest || !ASource || ADest->Width() != ASource->Width() || ADest->Height() != ASource->Height()) return;
  std::vector<RGBQUAD> source, dest;
  if (!dxGetBitmapPixels(ASource->Handle(), source, false) || !dxGetBitmapPixels(ADest->Handle(), dest, false))
    return;
  for (size_t i = 0; i < dest.size(); ++i) cxBlendPixel(source[i], dest[i], AConstantAlpha);
  dxPutBitmapPixels32(ADest->Handle(), dest, false);
}

// ---- Lanczos3 resampling -------------------------------------------------------------

float cxSinC(float X) {
  if (X == 0) return 1;
  const float y = static_cast<float>(X * std::numbers::pi);
  return static_cast<float>(std::sin(y)) / y;
}

float cxLanczos3(float X) {
  const float x = std::fabs(X);
  if (x >= 3) return 0;
  return cxSinC(x) * cxSinC(x / 3);
}

float cxResampleScale(Integer ASourceSize, Integer ADestSize) {
  if (ASourceSize == 1 || ADestSize == 1) return static_cast<float>(ADestSize) / static_cast<float>(ASourceSize);
  return static_cast<float>(ADestSize - 1) / static_cast<float>(ASourceSize - 1);
}

void cxBuildContributors(TContributorList& AList, Integer ASourceSize, Integer ADestSize, float AScale) {
  AList.assign(static_cast<size_t>(std::max(0, ADestSize)), TContributors{});
  if (ASourceSize <= 0 || AScale <= 0) return;
  const float f = AScale < 1 ? 1 / AScale : 1.0f;
  const float w = 3 * f;
  const size_t room = static_cast<size_t>(std::trunc(2 * w + 1));
  for (Integer i = 0; i < ADestSize; ++i) {
    TContributors& entry = AList[static_cast<size_t>(i)];
    entry.Contributors.resize(room);
    const float c = static_cast<float>(i) / AScale;
    const Integer first = static_cast<Integer>(std::floor(c - w));
    const Integer last = static_cast<Integer>(std::ceil(c + w));
    for (Integer j = first; j <= last; ++j) {
      const float weight = cxLanczos3((c - static_cast<float>(j)) / f) / f * 256;
      const Integer rounded = static_cast<Integer>(std::nearbyint(weight));
      if (rounded == 0) continue;
      // Never reached by the filter's support, kept for rounding at its ends.
      if (static_cast<size_t>(entry.Count) == entry.Contributors.size()) entry.Contributors.emplace_back();
      entry.Contributors[static_cast<size_t>(entry.Count++)] = TContributor{MirrorIndex(j, ASourceSize), rounded};
    }
    NormaliseWeights(entry);
  }
}

void cxApplyContributors(const TContributorList& AList, const std::vector<RGBQUAD>& ASource, Integer ALineCount,
                         bool AHorizontal, Integer ASourceSize, Integer ADestSize, std::vector<RGBQUAD>& ADest) {
  const size_t lines = static_cast<size_t>(std::max(0, ALineCount));
  const size_t destSize = static_cast<size_t>(std::max(0, ADestSize));
  const size_t sourceSize = static_cast<size_t>(std::max(0, ASourceSize));
  ADest.assign(lines * destSize, RGBQUAD{});
  if (ASource.size() < lines * sourceSize || AList.size() < destSize) return;
  if (AHorizontal) {
    for (size_t line = 0; line < lines; ++line) {
      const RGBQUAD* row = ASource.data() + line * sourceSize;
      RGBQUAD* out = ADest.data() + line * destSize;
      for (size_t i = 0; i < destSize; ++i) {
        const TContributors& entry = AList[i];
        TSums sums;
        for (Integer k = 0; k < entry.Count; ++k) {
          const TContributor& c = entry.Contributors[static_cast<size_t>(k)];
          sums.Add(row[c.Pixel], c.Weight);
        }
        out[i] = sums.Quad();
      }
    }
    return;
  }
  // Columns are summed a destination row at a time, so that memory is read
  // along rows.
  std::vector<TSums> sums(lines);
  for (size_t i = 0; i < destSize; ++i) {
    std::fill(sums.begin(), sums.end(), TSums{});
    const TContributors& entry = AList[i];
    for (Integer k = 0; k < entry.Count; ++k) {
      const TContributor& c = entry.Contributors[static_cast<size_t>(k)];
      const RGBQUAD* row = ASource.data() + static_cast<size_t>(c.Pixel) * lines;
      for (size_t x = 0; x < lines; ++x) sums[x].Add(row[x], c.Weight);
    }
    RGBQUAD* out = ADest.data() + i * lines;
    for (size_t x = 0; x < lines; ++x) out[x] = sums[x].Quad();
  }
}

void cxResampleLanczos3(TBitmap* ASource, TBitmap* ADest) {
  if (!ASource || !ADest) return;
  const Integer sw = ASource->Width(), sh = ASource->Height();
  const Integer dw = ADest->Width(), dh = ADest->Height();
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  ASource->Canvas()->Lock();
  ADest->Canvas()->Lock();
  auto unlock = TScopeExit([&] {
    ADest->Canvas()->Unlock();
    ASource->Canvas()->Unlock();
  });
  std::vector<RGBQUAD> source;
  if (!dxGetBitmapPixels(ASource->Handle(), source, false)) return;

  TContributorList list;
  std::vector<RGBQUAD> across;
  cxBuildContributors(list, sw, dw, cxResampleScale(sw, dw));
  cxApplyContributors(list, source, sh, true, sw, dw, across);
  source = {};

  std::vector<RGBQUAD> result;
  cxBuildContributors(list, sh, dh, cxResampleScale(sh, dh));
  cxApplyContributors(list, across, dw, false, sh, dh, result);
  list = {};
  across = {};

  if (ADest->PixelFormat() != pf32bit) ADest->SetPixelFormat(pf32bit);
  dxPutBitmapPixels32(ADest->Handle(), result, false);
}
