// Blending 32-bit images with per-pixel alpha and a constant opacity onto
// device contexts and bitmaps, optionally resized on the way; the copy of a
// bitmap onto a DC that every image drawing uses; the Lanczos3 resampler of
// the software path.
//
// Sources are premultiplied: the blend is source-over with the source
// scaled by the constant alpha. cxAlphaBlendDC takes the system's
// AlphaBlend whenever it can; under 32-bit emulation it draws through GDI+,
// and without AlphaBlend (or when smoothing) it resizes and blends in
// software.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/win/gdi/gdi_constants.h"
#include "platform/win/gdi/gdi_records.h"

class TBitmap;

// ---- Copies ------------------------------------------------------------------------

// BitBlt of ADestRect's size from ASourcePoint.
void cxBlitRect(HDC ADestDC, HDC ASourceDC, const TRect& ADestRect, DWORD ARop = SRCCOPY,
                const TPoint& ASourcePoint = TPoint(0, 0));
// Copies the bitmap's pixels at ASourcePoint into ADestRect. On a palette
// display (8 bits per pixel or fewer) a palette bitmap's colours are
// realised in the background for the copy and the DC's palette is selected
// back afterwards.
void cxBlitBitmapToDC(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, DWORD ARop = SRCCOPY,
                      const TPoint& ASourcePoint = TPoint(0, 0));
// A new 32-bit bitmap of R's size holding the DC's pixels at R.
std::unique_ptr<TBitmap> cxCopyDCRectToBitmap(HDC DC, const TRect& R);
// StretchBlt of the whole source over the whole destination, with the
// destination DC's stretch mode.
void cxStretchBitmapPlain(TBitmap* ADest, TBitmap* ASource);

// ---- Blending ----------------------------------------------------------------------

// Whether the drawing unit bound msimg32's AlphaBlend.
bool cxIsAlphaBlendAvailable();
// AlphaBlend with source-over and the constant alpha (AC_SRC_ALPHA when
// APerPixel); false when it is missing or fails.
bool cxAlphaBlendGDI(HDC ADestDC, HDC ASourceDC, const TRect& ADestRect, const TRect& ASourceRect,
                     Byte AConstantAlpha, bool APerPixel);
// Blends ASourceRect of the source DC into ADestRect, resized (smoothly
// only when asked and the sizes differ). Nothing when a rectangle has no
// area.
void cxAlphaBlendDC(HDC ADestDC, HDC ASourceDC, const TRect& ADestRect, const TRect& ASourceRect,
                    bool ASmooth = false, Byte AConstantAlpha = 255);
// cxAlphaBlendDC with the bitmaps' own DCs; without a source rectangle the
// whole source.
void cxAlphaBlendBitmapOntoBitmap(TBitmap* ADest, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha,
                                  bool ASmooth, const TRect& ASourceRect);
void cxAlphaBlendBitmapOntoBitmap(TBitmap* ADest, TBitmap* ASource, const TRect& ADestRect,
                                  Byte AConstantAlpha = 255, bool ASmooth = false);
void cxAlphaBlendBitmapOntoDC(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha,
                              bool ASmooth, const TRect& ASourceRect);
void cxAlphaBlendBitmapOntoDC(HDC ADestDC, TBitmap* ASource, const TRect& ADestRect, Byte AConstantAlpha = 255,
                              bool ASmooth = false);
// cxBlendPixel of every source pixel onto the destination pixel at the
// same place; nothing unless both bitmaps have the same size.
void cxBlendBitmapsSoftware(TBitmap* ADest, TBitmap* ASource, Byte AConstantAlpha);

// ---- Lanczos3 resampling -------------------------------------------------------------

// One source pixel's share of a destination pixel: the weight is scaled
// by 256.
struct TContributor {
  Integer Pixel = 0;
  Integer Weight = 0;
};
using TContributorArray = std::vector<TContributor>;
// The contributions to one destination pixel: the first Count entries of
// Contributors are used.
struct TContributors {
  Integer Count = 0;
  TContributorArray Contributors;
};
using TContributorList = std::vector<TContributors>;

// sin(y) / y with y = x * pi rounded to single; 1 at 0.
float cxSinC(float X);
// 0 from |x| = 3 on.
float cxLanczos3(float X);
// The scale of one pass: D / S when either size is 1, else
// (D - 1) / (S - 1), so that the first and last pixels meet.
float cxResampleScale(Integer ASourceSize, Integer ADestSize);
// ADestSize entries, each with room for trunc(2w + 1) contributions, w the
// filter's half-width in source pixels (3, or 3 / scale when shrinking).
// Source positions beyond an edge are mirrored back into the line.
void cxBuildContributors(TContributorList& AList, Integer ASourceSize, Integer ADestSize, float AScale);
// One pass over ALineCount lines: horizontally each line is a row of
// ASourceSize pixels (ASource[line * ASourceSize + i]) becoming ADestSize
// pixels (ADest[line * ADestSize + i]); vertically each line is a column,
// ASource holding ASourceSize rows of ALineCount pixels and ADest ADestSize
// rows. Each channel is the weighted sum shifted right by 8, clamped to
// 0..255.
void cxApplyContributors(const TContributorList& AList, const std::vector<RGBQUAD>& ASource, Integer ALineCount,
                         bool AHorizontal, Integer ASourceSize, Integer ADestSize, std::vector<RGBQUAD>& ADest);
// The source's pixels resized into the destination's current size; nothing
// when either bitmap is empty. The destination becomes 32 bits deep.
void cxResampleLanczos3(TBitmap* ASource, TBitmap* ADest);
