#include "ui/foundation/image_effects.h"

#include <algorithm>
#include <vector>

#include "platform/forms/image_list.h"
#include "platform/rtl/mathutils.h"
#include "platform/win/gdi/gdi.h"
#include "ui/foundation/alpha_blend.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/geometry.h"
#include "ui/foundation/image_list.h"

TcxGlyphDrawHook cxGlyphDrawHook;

namespace {

// Freed only by the unit's shut-down: at process exit GDI may be gone
// before static destructors run.
TcxAlphaBitmap* DrawBitmap = nullptr;
TcxAlphaBitmap* ImageBitmap = nullptr;
TcxAlphaBitmap* MaskBitmap = nullptr;

TcxAlphaBitmap* PrepareCachedBitmap(TcxAlphaBitmap*& ABitmap, Integer AWidth, Integer AHeight) {
  if (!ABitmap) {
    ABitmap = new TcxAlphaBitmap(AWidth, AHeight, true);
  } else {
    ABitmap->Resize(AWidth, AHeight);
    ABitmap->TransparentPixels()->Clear();
    ABitmap->Clear();
  }
  return ABitmap;
}

HDC DCOf(TBitmap* ABitmap) { return ABitmap->Canvas()->Handle(); }

void CopyWhole(TBitmap* ADest, TBitmap* ASource, const TPoint& AAt = TPoint(0, 0), DWORD ARop = SRCCOPY) {
  BitBlt(DCOf(ADest), AAt.X, AAt.Y, ASource->Width(), ASource->Height(), DCOf(ASource), 0, 0, ARop);
}

// The image into the cached image bitmap; true when its source has 32 bits
// per pixel (the image may carry alpha).
bool LoadGlyphImage(TcxAlphaBitmap* AImage, TBitmap* AGlyph, TCustomImageList* AImages, Integer AImageIndex) {
  if (cxHasGlyph(AGlyph)) {
    CopyWhole(AImage, AGlyph);
    return dxGetBitmapBitsPerPixel(AGlyph) >= 32;
  }
  cxImageListGetImageAndMask(AImages, AImageIndex, nullptr, AImage);
  return TcxImageList::GetNativeBitsPerPixel(AImages->Handle()) >= 32;
}

void PrepareDrawBackground(TcxAlphaBitmap* ABitmap, HDC DC, const TRect& ADrawRect, HBRUSH ABrush) {
  const TRect whole = ABitmap->GetClientRect();
  if (ABrush) {
    RECT r{whole.Left, whole.Top, whole.Right, whole.Bottom};
    FillRect(DCOf(ABitmap), &r, ABrush);
  } else
    BitBlt(DCOf(ABitmap), 0, 0, whole.Right, whole.Bottom, DC, ADrawRect.Left, ADrawRect.Top, SRCCOPY);
}

// Each channel of the colour scaled to APercent, truncated.
TColor ScaleColor(TColor AColor, Integer APercent) {
  const Integer r = (AColor & 0xFF) * APercent / 100;
  const Integer g = ((AColor >> 8) & 0xFF) * APercent / 100;
  const Integer b = ((AColor >> 16) & 0xFF) * APercent / 100;
  return static_cast<TColor>(r | g << 8 | b << 16);
}

Byte ColorizeChannel(Byte AChannel, Byte AAlpha, Byte AColor) {
  const Byte v = static_cast<Byte>(AChannel * 255 / AAlpha);
  const Integer t = (v - 128) * (v - 128);
  Byte c;
  if (v < 128)
    c = static_cast<Byte>(AColor - AColor * t / 16384);
  else
    c = static_cast<Byte>(AColor + (255 - AColor) * t / 16384);
  return static_cast<Byte>(c * AAlpha / 255);
}

}  // namespace

// ---- Cached bitmaps ------------------------------------------------------------------------

TcxAlphaBitmap* cxCachedDrawBitmap(Integer AWidth, Integer AHeight) {
  return PrepareCachedBitmap(DrawBitmap, AWidth, AHeight);
}

TcxAlphaBitmap* cxCachedImageBitmap(Integer AWidth, Integer AHeight) {
  return PrepareCachedBitmap(ImageBitmap, AWidth, AHeight);
}

TcxAlphaBitmap* cxCachedMaskBitmap(Integer AWidth, Integer AHeight) {
  return PrepareCachedBitmap(MaskBitmap, AWidth, AHeight);
}

void cx_image_effects_detail::FreeCachedBitmaps() {
  dxFreeThenNil(DrawBitmap);
  dxFreeThenNil(ImageBitmap);
  dxFreeThenNil(MaskBitmap);
}

// ---- Drawing --------------------------------------------------------------------------

void cxDrawImageWithEffect(HDC DC, const TRect& AImageRect, const TRect& ADrawRect, TBitmap* AGlyph,
                           TCustomImageList* AImages, Integer AImageIndex, TcxGlyphEffect AEffect, bool ASmooth,
                           HBRUSH ABackgroundBrush, TColor AMaskColor, bool AUseGlyphTransparency) {
  if (!cxHasGlyph(AGlyph) && !cxIsValidImageIndex(AImages, AImageIndex)) return;
  if (cxRectHasNoArea(ADrawRect)) return;
  TcxAlphaBitmap* drawBitmap = cxCachedDrawBitmap(cxRectGetWidth(ADrawRect), cxRectGetHeight(ADrawRect));
  PrepareDrawBackground(drawBitmap, DC, ADrawRect, ABackgroundBrush);
  const TRect imageRect = cxRectShift(AImageRect, ADrawRect.Left, ADrawRect.Top, false);
  const bool hooked = cxGlyphDrawHook &&
                      cxGlyphDrawHook(drawBitmap->GetCxCanvas(), AImages, AImageIndex, AEffect, imageRect, AGlyph);
  if (!hooked)
    cxApplyGlyphEffect(drawBitmap, imageRect, AGlyph, AImages, AImageIndex, AEffect, ASmooth, AMaskColor,
                       AUseGlyphTransparency);
  cxBlitBitmapToDC(DC, drawBitmap, ADrawRect, SRCCOPY, TPoint(0, 0));
}

void cxDrawImageFitted(TcxCanvas* ACanvas, const TRect& R, TBitmap* AGlyph, TCustomImageList* AImages,
                       Integer AImageIndex, TcxFitMode AFitMode, TcxGlyphEffect AEffect) {
  const TSize size = cxGetGlyphOrImageSize(AGlyph, AImages, AImageIndex);
  if (size.cx == 0 && size.cy == 0) return;
  const TRect imageRect = cxFitImageRect(R, size, AFitMode, 100, true);
  cxDrawImageWithEffect(ACanvas->GetHandle(), imageRect, imageRect, AGlyph, AImages, AImageIndex, AEffect, false,
                        nullptr, clNone, true);
}

void cxDrawImageCentered(TcxCanvas* ACanvas, const TRect& R, TBitmap* AGlyph, TCustomImageList* AImages,
                         Integer AImageIndex, bool AEnabled) {
  cxDrawImageFitted(ACanvas, R, AGlyph, AImages, AImageIndex, fmOriginal, AEnabled ? geNone : geDisabled);
}

void cxDrawGraphicFitted(TcxCanvas* ACanvas, const TRect& R, TGraphic* AGraphic, TcxFitMode AFitMode) {
  if (!cxIsGraphicNonEmpty(AGraphic)) return;
  ACanvas->StretchDrawGraphic(
      cxFitImageRect(R, TSize(AGraphic->Width(), AGraphic->Height()), AFitMode, 100, true), AGraphic);
}

// ---- Steps of the pipeline --------------------------------------------------------------

TcxPreparedGlyph cxPrepareGlyph(TBitmap* AGlyph, TCustomImageList* AImages, Integer AImageIndex, TColor AMaskColor,
                                bool AUseGlyphTransparency) {
  const bool glyph = cxHasGlyph(AGlyph);
  if (!glyph && !cxIsValidImageIndex(AImages, AImageIndex)) return TcxPreparedGlyph();
  const Integer w = glyph ? AGlyph->Width() : AImages->Width();
  const Integer h = glyph ? AGlyph->Height() : AImages->Height();
  TcxPreparedGlyph result;
  result.Image = cxCachedImageBitmap(w, h);
  result.HasAlpha = LoadGlyphImage(result.Image, AGlyph, AImages, AImageIndex) && result.Image->HasAlpha();
  if (!result.HasAlpha) result.Image->ApplyFilter(bfOpaque);
  // An image list may hand over an image of its own size (an info wider
  // than the list's images): the mask follows the image.
  result.Mask = cxCachedMaskBitmap(result.Image->Width(), result.Image->Height());
  cxBuildGlyphMask(result.Mask, result.Image, AGlyph, AImages, AImageIndex, AMaskColor, AUseGlyphTransparency,
                   result.HasAlpha);
  return result;
}

void cxBuildGlyphMask(TcxAlphaBitmap* AMask, TcxAlphaBitmap* AImage, TBitmap* AGlyph, TCustomImageList* AImages,
                      Integer AImageIndex, TColor AMaskColor, bool AUseGlyphTransparency, bool AHasAlpha) {
  CopyWhole(AMask, AImage);
  if (!AHasAlpha) {
    if (!cxHasGlyph(AGlyph) && AImages) {
      TcxAlphaBitmap listMask(AMask->Width(), AMask->Height(), true);
      TcxImageList::ReadNativeImage(AImages->Handle(), AImageIndex, &listMask, nullptr);
      listMask.ApplyFilter(bfFixAlpha);
      AMask->CutOutByMask(&listMask);
    }
    if (AMaskColor != clNone) AMask->AddTransparentColor(AMaskColor);
    if (AUseGlyphTransparency && cxHasGlyph(AGlyph)) AMask->AddTransparentColor(AGlyph->TransparentColor());
  }
  AMask->ApplyFilter(bfMask);
  AImage->CutOutByMask(AMask);
}

void cxApplyGlyphEffect(TcxAlphaBitmap* ADrawBitmap, const TRect& AImageRect, TBitmap* AGlyph,
                        TCustomImageList* AImages, Integer AImageIndex, TcxGlyphEffect AEffect, bool ASmooth,
                        TColor AMaskColor, bool AUseGlyphTransparency) {
  TcxPreparedGlyph glyph = cxPrepareGlyph(AGlyph, AImages, AImageIndex, AMaskColor, AUseGlyphTransparency);
  if (!glyph.Image) return;
  TRect imageRect = AImageRect;
  Byte alpha = 255;
  switch (AEffect) {
    case geNone:
      break;
    case geDisabled:
      if (glyph.HasAlpha) {
        glyph.Image->ApplyFilter(bfGrayLumaAlt);
        alpha = 151;
      } else {
        glyph.Image->ApplyFilter(bfDisable);
        cxAddGlyphSilhouette(glyph.Image, glyph.Mask, 1, clBtnHighlight, false);
      }
      break;
    case geFaint:
      glyph.Image->ApplyFilter(bfGrayLuma);
      alpha = 64;
      break;
    case geGray:
      glyph.Image->ApplyFilter(bfGrayAverage);
      break;
    case geLight:
      glyph.Image->ApplyFilter(bfFade);
      break;
    case geShadow:
      cxAddGlyphSilhouette(glyph.Image, glyph.Mask, 2, clBtnShadow, true);
      imageRect.Right += 2;
      imageRect.Bottom += 2;
      imageRect = cxRectShift(imageRect, -1, -1);
      break;
  }
  glyph.Image->AlphaBlendTo(ADrawBitmap, imageRect, alpha, ASmooth);
}

void cxAddGlyphSilhouette(TcxAlphaBitmap* AImage, TcxAlphaBitmap* AMask, Integer ADistance, TColor AColor,
                          bool AEnlarge) {
  const Integer w = AImage->Width(), h = AImage->Height(), d = ADistance;
  // S: white around the mask; drawn onto itself d pixels down and right with
  // destination AND pattern AND NOT source, a pixel keeps the colour where
  // the image is transparent and the pixel d up and left of it is not.
  std::unique_ptr<TcxAlphaBitmap> s = TcxAlphaBitmap::CreateWithBkColor(w + 2 * d, h + 2 * d, 0xFFFFFFFFu);
  s->Clear();
  CopyWhole(s.get(), AMask, TPoint(d, d));
  s->Canvas()->Brush()->SetColor(AColor);
  HDC sDC = DCOf(s.get());
  BitBlt(sDC, d, d, s->Width(), s->Height(), sDC, 0, 0, 0x00200F09);
  s->SetTransparentBkColor(0);
  s->ApplyFilter(bfFixAlpha);

  TcxAlphaBitmap t(w + d, h + d, true);
  CopyWhole(&t, AImage);
  // The filter took the bitmap's handle, which lets its DC go.
  BitBlt(DCOf(&t), 0, 0, t.Width(), t.Height(), DCOf(s.get()), d, d, SRCPAINT);
  if (AEnlarge) AImage->Resize(w + d, h + d);
  CopyWhole(AImage, &t);
}

// ---- Sizes and fitting -------------------------------------------------------------------

bool cxHasGlyph(TBitmap* AGlyph) { return AGlyph && !AGlyph->Empty(); }

bool cxIsGraphicNonEmpty(TGraphic* AGraphic) { return AGraphic && !AGraphic->Empty(); }

bool cxIsValidImageIndex(TCustomImageList* AImages, Integer AIndex) {
  return AImages && AIndex >= 0 && AIndex < AImages->Count();
}

TSize cxGetGlyphOrImageSize(TBitmap* AGlyph, TCustomImageList* AImages, Integer AImageIndex) {
  if (cxHasGlyph(AGlyph)) return TSize(AGlyph->Width(), AGlyph->Height());
  if (cxIsValidImageIndex(AImages, AImageIndex)) return TSize(AImages->Width(), AImages->Height());
  return TSize(0, 0);
}

TRect cxFitImageRect(const TRect& R, const TSize& ASize, TcxFitMode AFitMode, Integer APercent, bool ACentred) {
  if (ASize.cx <= 0 || ASize.cy <= 0) return R;
  const Integer w = cxRectGetWidth(R), h = cxRectGetHeight(R);
  const double rx = static_cast<double>(w) / ASize.cx, ry = static_cast<double>(h) / ASize.cy;
  auto proportional = [&] {
    return rx >= ry ? TSize(static_cast<Integer>(ASize.cx * ry), h) : TSize(w, static_cast<Integer>(ASize.cy * rx));
  };
  TSize size;
  switch (AFitMode) {
    case fmStretch:
      size = TSize(w, h);
      break;
    case fmProportional:
      size = proportional();
      break;
    case fmShrinkOnly:
      size = std::min(rx, ry) >= 1 ? ASize : proportional();
      break;
    case fmCover:
      size = rx > ry ? TSize(w, static_cast<Integer>(ASize.cy * rx)) : TSize(static_cast<Integer>(ASize.cx * ry), h);
      break;
    default:
      size = TSize(MulDiv(ASize.cx, APercent, 100), MulDiv(ASize.cy, APercent, 100));
      break;
  }
  return ACentred ? cxRectCenterSize(R, size) : cxRectFromOriginSize(TPoint(R.Left, R.Top), size.cx, size.cy);
}

// ---- Bitmaps ----------------------------------------------------------------------------

void cxAssignImageList(TCustomImageList* ANewList, TCustomImageList*& AField, TChangeLink* AChangeLink,
                       TComponent* AOwner) {
  if (AField == ANewList) return;
  if (AField) {
    if (AOwner) AField->RemoveFreeNotification(AOwner);
    if (AChangeLink) AField->UnRegisterChanges(AChangeLink);
  }
  AField = ANewList;
  if (ANewList) {
    if (AChangeLink) ANewList->RegisterChanges(AChangeLink);
    if (AOwner) ANewList->FreeNotification(AOwner);
  }
  if (AChangeLink) AChangeLink->Change();
}

std::unique_ptr<TBitmap> cxNewBitmapWH(Integer AWidth, Integer AHeight, TPixelFormat AFormat) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(AFormat);
  bitmap->SetWidth(AWidth);
  bitmap->SetHeight(AHeight);
  return bitmap;
}

std::unique_ptr<TBitmap> cxNewBitmapFromSize(const TSize& ASize, TPixelFormat AFormat) {
  return cxNewBitmapWH(ASize.cx, ASize.cy, AFormat);
}

std::unique_ptr<TBitmap> cxNewBitmapFromRect(const TRect& R, TPixelFormat AFormat) {
  return cxNewBitmapWH(cxRectGetWidth(R), cxRectGetHeight(R), AFormat);
}

std::unique_ptr<TcxAlphaBitmap> cxCopyToAlphaBitmap(TBitmap* ABitmap) {
  auto result = std::make_unique<TcxAlphaBitmap>(ABitmap->Width(), ABitmap->Height());
  CopyWhole(result.get(), ABitmap);
  return result;
}

void cxGlyphToAlphaBitmap(TBitmap* AGlyph, TBitmap* ATarget) {
  if (!AGlyph || !ATarget) return;
  std::unique_ptr<TcxAlphaBitmap> image = cxCopyToAlphaBitmap(AGlyph);
  image->ApplyFilter(bfOpaque);
  std::unique_ptr<TcxAlphaBitmap> mask = cxCopyToAlphaBitmap(AGlyph);
  mask->SetTransparentColor(AGlyph->TransparentColor());
  mask->ApplyFilter(bfMask);
  image->CutOutByMask(mask.get());
  ATarget->Assign(image.get());
}

void cxColorizeBitmap32(TBitmap* ABitmap, TColor AColor) {
  if (!ABitmap) return;
  const Cardinal color = dxColorToQuadWithAlpha(AColor, 0);
  const Byte blue = static_cast<Byte>(color), green = static_cast<Byte>(color >> 8),
             red = static_cast<Byte>(color >> 16);
  std::vector<RGBQUAD> pixels;
  if (!dxGetBitmapPixels(ABitmap->Handle(), pixels, false)) return;
  for (RGBQUAD& q : pixels) {
    const Byte a = q.rgbReserved;
    if (a == 0) continue;
    q.rgbBlue = ColorizeChannel(q.rgbBlue, a, blue);
    q.rgbGreen = ColorizeChannel(q.rgbGreen, a, green);
    q.rgbRed = ColorizeChannel(q.rgbRed, a, red);
  }
  dxPutBitmapPixels32(ABitmap->Handle(), pixels, false);
}

void cxHatchDCRect(HDC DC, const TRect& R, TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1, Byte AAlpha2) {
  if (cxRectHasNoArea(R)) return;
  TcxAlphaBitmap bitmap(cxRectGetWidth(R), cxRectGetHeight(R));
  BitBlt(DCOf(&bitmap), 0, 0, bitmap.Width(), bitmap.Height(), DC, R.Left, R.Top, SRCCOPY);
  bitmap.DrawHatch(AColor1, AColor2, AStep, AAlpha1, AAlpha2);
  cxBlitBitmapToDC(DC, &bitmap, R, SRCCOPY, TPoint(0, 0));
}

void cxDrawDesignSelectionMark(TcxCanvas* ACanvas, const TRect& R, bool ASelected) {
  if (cxRectHasNoArea(R)) return;
  const TColor color = ASelected ? static_cast<TColor>(0x9090FF) : static_cast<TColor>(0xA0FFA0);
  ACanvas->PushState();
  ACanvas->ClipToRect(R);
  ACanvas->FillRectColor(R, color);
  ACanvas->GetPen()->SetColor(ScaleColor(color, 75));
  // Lines that start farther left than R's width and height together never
  // cross R; the clip would drop them anyway.
  const Integer count = std::min(MulDiv(std::max(R.Right, R.Bottom), 3, 2),
                                 (cxRectGetWidth(R) + cxRectGetHeight(R)) / 3 + 1);
  for (Integer i = 1; i <= count; ++i) {
    ACanvas->MoveTo(R.Right - 3 * i, R.Top);
    ACanvas->LineTo(R.Right, R.Top + 3 * i);
  }
  ACanvas->DrawFrameSides(R, ScaleColor(color, 50));
  ACanvas->PopState();
  ACanvas->ClipOutRect(R);
  const TRect shadow = cxRectShift(R, 1, 1);
  ACanvas->FillRectColor(shadow, clBtnShadow);
  ACanvas->ClipOutRect(shadow);
}

HRGN cxRegionFromBitmapColor(TBitmap* ABitmap, TColor ATransparentColor) {
  if (!ABitmap) return nullptr;
  std::vector<RGBQUAD> pixels;
  if (!dxGetBitmapPixels(ABitmap->Handle(), pixels, true)) return nullptr;
  const Cardinal key = dxColorToQuadWithAlpha(ATransparentColor, 0) & 0xFFFFFFu;
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  HRGN result = nullptr;
  for (Integer y = 0; y < h; ++y) {
    const RGBQUAD* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    auto opaque = [&](Integer x) {
      const RGBQUAD& q = row[x];
      return (static_cast<Cardinal>(q.rgbBlue) | q.rgbGreen << 8 | q.rgbRed << 16) != key;
    };
    for (Integer x = 0; x < w;) {
      if (!opaque(x)) {
        ++x;
        continue;
      }
      const Integer start = x;
      while (x < w && opaque(x)) ++x;
      HRGN run = CreateRectRgn(start, y, x, y + 1);
      if (!result) {
        result = run;
      } else {
        CombineRgn(result, result, run, RGN_OR);
        DeleteObject(run);
      }
    }
  }
  return result;
}
