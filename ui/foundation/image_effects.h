// Image drawing with effects: the one road every glyph takes to the screen.
// A glyph (a bitmap, or an image of an image list) is prepared as a 32-bit
// image with a mask in cached bitmaps, given an effect (disabled, faint,
// grey, light, shadowed) and blended premultiplied into an off-screen copy
// of the destination that is then copied back. Around it: fitting an image
// into a rectangle, a hatch over a DC area, the design-time selection mark,
// glyphs turned into alpha bitmaps, colourising, and a region of a
// bitmap's non-transparent pixels.
//
// User-interface thread only. The cached bitmaps are shared by all drawing,
// so drawing is not re-entrant: a draw nested in another (from the glyph
// hook, say) reuses the same bitmaps.
#pragma once

#include <functional>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/win/gdi/gdi_records.h"

class TBitmap;
class TChangeLink;
class TComponent;
class TCustomImageList;
class TcxAlphaBitmap;
class TcxCanvas;

enum TcxGlyphEffect { geNone, geDisabled, geFaint, geGray, geLight, geShadow };

enum TcxFitMode { fmOriginal, fmStretch, fmProportional, fmShrinkOnly, fmCover };

// When set and answering true for (canvas of the drawing bitmap, image
// list, index, effect, image rectangle in the drawing bitmap, glyph), it has
// drawn the image itself: the preparation and the effect are skipped.
// Empty by default; nothing in the library sets it.
using TcxGlyphDrawHook =
    std::function<bool(TcxCanvas*, TCustomImageList*, Integer, TcxGlyphEffect, const TRect&, TBitmap*)>;
extern TcxGlyphDrawHook cxGlyphDrawHook;

// ---- Drawing --------------------------------------------------------------------------

// Draws the glyph (or, without one, image AImageIndex of the list) into
// AImageRect with the effect, over ADrawRect's background: the background
// brush filled in, or (without a brush) the DC's own pixels. Mask colour
// clNone adds no transparent colour; with AUseGlyphTransparency the glyph's
// transparent colour is transparent too. Nothing when there is no glyph and
// the index is not valid for the list.
void cxDrawImageWithEffect(HDC DC, const TRect& AImageRect, const TRect& ADrawRect, TBitmap* AGlyph,
                           TCustomImageList* AImages, Integer AImageIndex, TcxGlyphEffect AEffect, bool ASmooth,
                           HBRUSH ABackgroundBrush, TColor AMaskColor, bool AUseGlyphTransparency);
// The image fitted into R (cxFitImageRect, 100 %, centred) and drawn there
// over the canvas's pixels.
void cxDrawImageFitted(TcxCanvas* ACanvas, const TRect& R, TBitmap* AGlyph, TCustomImageList* AImages,
                       Integer AImageIndex, TcxFitMode AFitMode, TcxGlyphEffect AEffect);
// Original size, centred; disabled when not enabled.
void cxDrawImageCentered(TcxCanvas* ACanvas, const TRect& R, TBitmap* AGlyph, TCustomImageList* AImages,
                         Integer AImageIndex, bool AEnabled);
// A non-empty graphic stretched into its fitted rectangle.
void cxDrawGraphicFitted(TcxCanvas* ACanvas, const TRect& R, TGraphic* AGraphic, TcxFitMode AFitMode);

// ---- Steps of the pipeline --------------------------------------------------------------

// The cached image and mask bitmaps after cxPrepareGlyph: the image with
// every transparent pixel 0, the mask white where the image is transparent
// and black elsewhere.
struct TcxPreparedGlyph {
  TcxAlphaBitmap* Image = nullptr;
  TcxAlphaBitmap* Mask = nullptr;
  // Some pixel of a 32-bit image carries alpha; otherwise the image was
  // made opaque before masking.
  bool HasAlpha = false;
};

TcxPreparedGlyph cxPrepareGlyph(TBitmap* AGlyph, TCustomImageList* AImages, Integer AImageIndex, TColor AMaskColor,
                                bool AUseGlyphTransparency);
// Builds the mask from the image (see TcxPreparedGlyph) and cuts the image
// by it.
void cxBuildGlyphMask(TcxAlphaBitmap* AMask, TcxAlphaBitmap* AImage, TBitmap* AGlyph, TCustomImageList* AImages,
                      Integer AImageIndex, TColor AMaskColor, bool AUseGlyphTransparency, bool AHasAlpha);
// Prepares the glyph, applies the effect and blends it into AImageRect of
// the drawing bitmap.
void cxApplyGlyphEffect(TcxAlphaBitmap* ADrawBitmap, const TRect& AImageRect, TBitmap* AGlyph,
                        TCustomImageList* AImages, Integer AImageIndex, TcxGlyphEffect AEffect, bool ASmooth,
                        TColor AMaskColor, bool AUseGlyphTransparency);
// Colours the pixels where the image is transparent but the pixel ADistance
// up and left of them is not; with AEnlarge the image grows by ADistance
// right and down to hold the whole silhouette. AMask is white where the
// image is transparent.
void cxAddGlyphSilhouette(TcxAlphaBitmap* AImage, TcxAlphaBitmap* AMask, Integer ADistance, TColor AColor,
                          bool AEnlarge);

// The shared bitmaps, AWidth x AHeight, 32 bits, cleared, without
// transparent colours.
TcxAlphaBitmap* cxCachedDrawBitmap(Integer AWidth, Integer AHeight);
TcxAlphaBitmap* cxCachedImageBitmap(Integer AWidth, Integer AHeight);
TcxAlphaBitmap* cxCachedMaskBitmap(Integer AWidth, Integer AHeight);

// ---- Sizes and fitting -------------------------------------------------------------------

// The glyph's size when it is not empty, else the list's image size for a
// valid index, else (0, 0).
TSize cxGetGlyphOrImageSize(TBitmap* AGlyph, TCustomImageList* AImages, Integer AImageIndex);
bool cxHasGlyph(TBitmap* AGlyph);
bool cxIsGraphicNonEmpty(TGraphic* AGraphic);
bool cxIsValidImageIndex(TCustomImageList* AImages, Integer AIndex);
// An image of ASize placed in R by the fit mode (fmOriginal scaled by
// APercent), centred or at R's top-left; R itself for a size without area.
TRect cxFitImageRect(const TRect& R, const TSize& ASize, TcxFitMode AFitMode, Integer APercent = 100,
                     bool ACentred = true);

// ---- Bitmaps ----------------------------------------------------------------------------

// Points AField at the new list: the old one loses the owner's free
// notification and the link, the new one gets both, and the link fires.
void cxAssignImageList(TCustomImageList* ANewList, TCustomImageList*& AField, TChangeLink* AChangeLink,
                       TComponent* AOwner);
// New framework bitmaps: the pixel format first, then the size.
std::unique_ptr<TBitmap> cxNewBitmapWH(Integer AWidth, Integer AHeight, TPixelFormat AFormat);
std::unique_ptr<TBitmap> cxNewBitmapFromSize(const TSize& ASize, TPixelFormat AFormat);
std::unique_ptr<TBitmap> cxNewBitmapFromRect(const TRect& R, TPixelFormat AFormat);
// A new alpha bitmap of the bitmap's size holding a copy of it.
std::unique_ptr<TcxAlphaBitmap> cxCopyToAlphaBitmap(TBitmap* ABitmap);
// The glyph, opaque, with its transparent colour fully transparent, into
// ATarget.
void cxGlyphToAlphaBitmap(TBitmap* AGlyph, TBitmap* ATarget);
// Tints every pixel that has some alpha towards the colour: grey 128 gives
// the colour itself, darker and lighter greys darker and lighter shades.
void cxColorizeBitmap32(TBitmap* ABitmap, TColor AColor);
// Blends a two-colour checker of AStep-pixel squares over the DC's pixels
// in R.
void cxHatchDCRect(HDC DC, const TRect& R, TColor AColor1, TColor AColor2, Byte AStep, Byte AAlpha1, Byte AAlpha2);
// The design-time mark of a selected (red) or unselected (green) group:
// filled, hatched by diagonals, framed, with a one-pixel shadow right and
// below, which is excluded from the clip with R.
void cxDrawDesignSelectionMark(TcxCanvas* ACanvas, const TRect& R, bool ASelected);
// The region of the pixels whose RGB differs from the colour (the caller
// owns it); null when every pixel has the colour.
HRGN cxRegionFromBitmapColor(TBitmap* ABitmap, TColor ATransparentColor);

namespace cx_image_effects_detail {
// Frees the cached bitmaps (the drawing unit's shut-down).
void FreeCachedBitmaps();
}  // namespace cx_image_effects_detail
