// Image attributes: colour keys, remap tables, colour matrices, thresholds
// and gamma, per colour-adjust category.
#include <algorithm>
#include <cmath>

#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

namespace {

bool IsGray(uint32_t c) { return ((c >> 16) & 0xFF) == ((c >> 8) & 0xFF) && ((c >> 8) & 0xFF) == (c & 0xFF); }

uint32_t ApplyMatrix(const ColorMatrix& m, uint32_t c) {
  // The pixel as the row (r, g, b, a, 1) times the matrix, in 0..1.
  const double v[5] = {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                       (c >> 24) / 255.0, 1.0};
  uint32_t out[4];
  for (int j = 0; j < 4; ++j) {
    double s = 0;
    for (int i = 0; i < 5; ++i) s += v[i] * m.m[i][j];
    out[j] = static_cast<uint32_t>(std::lround(std::clamp(s, 0.0, 1.0) * 255));
  }
  return (out[3] << 24) | (out[0] << 16) | (out[1] << 8) | out[2];
}

bool InRange(uint32_t c, ARGB low, ARGB high) {
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t v = (c >> shift) & 0xFF;
    if (v < ((low >> shift) & 0xFF) || v > ((high >> shift) & 0xFF)) return false;
  }
  return true;
}

}  // namespace

void AdjustColors(const GpImageAttributes* attributes, ColorAdjustType type, uint32_t* pixels, size_t count) {
  if (!attributes) return;
  const TGpColorAdjust& a = attributes->Adjust[type].Set ? attributes->Adjust[type] : attributes->Adjust[0];
  if (a.NoOp) return;
  std::vector<uint8_t> gamma;
  if (a.HasGamma) {
    gamma.resize(256);
    for (int i = 0; i < 256; ++i) gamma[i] = uint8_t(std::lround(255 * std::pow(i / 255.0, a.Gamma)));
  }
  const uint32_t cut = a.HasThreshold ? uint32_t(std::lround(std::clamp(a.Threshold, 0.0f, 1.0f) * 255)) : 0;
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = pixels[i];
    if (a.HasKeys && InRange(c, a.KeyLow, a.KeyHigh)) {
      pixels[i] = 0;
      continue;
    }
    for (const ColorMap& m : a.Remap)
      if (m.oldColor == c) {
        c = m.newColor;
        break;
      }
    if (a.HasMatrix) {
      bool gray = IsGray(c);
      if (!(gray && a.MatrixFlags == ColorMatrixFlagsSkipGrays))
        c = ApplyMatrix(gray && a.MatrixFlags == ColorMatrixFlagsAltGray ? a.Gray : a.Matrix, c);
    }
    if (a.HasThreshold) {
      uint32_t out = c & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8)
        if (((c >> shift) & 0xFF) > cut) out |= 0xFFu << shift;
      c = out;
    }
    if (a.HasGamma)
      c = (c & 0xFF000000u) | (uint32_t(gamma[(c >> 16) & 0xFF]) << 16) | (uint32_t(gamma[(c >> 8) & 0xFF]) << 8) |
          gamma[c & 0xFF];
    pixels[i] = c;
  }
}

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

TGpColorAdjust* Category(GpImageAttributes* a, ColorAdjustType type) {
  if (!a || type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount) return nullptr;
  TGpColorAdjust* c = &a->Adjust[type];
  c->Set = true;
  return c;
}

}  // namespace

GpStatus GdipCreateImageAttributes(GpImageAttributes** imageattr) {
  if (!imageattr) return InvalidParameter;
  *imageattr = new GpImageAttributes;
  return Ok;
}

GpStatus GdipCloneImageAttributes(const GpImageAttributes* imageattr, GpImageAttributes** cloneImageattr) {
  if (!imageattr || !cloneImageattr) return InvalidParameter;
  *cloneImageattr = new GpImageAttributes(*imageattr);
  return Ok;
}

GpStatus GdipDisposeImageAttributes(GpImageAttributes* imageattr) {
  if (!imageattr) return InvalidParameter;
  delete imageattr;
  return Ok;
}

GpStatus GdipSetImageAttributesToIdentity(GpImageAttributes* imageattr, ColorAdjustType type) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c) return InvalidParameter;
  *c = TGpColorAdjust();
  return Ok;
}

GpStatus GdipResetImageAttributes(GpImageAttributes* imageattr, ColorAdjustType type) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c) return InvalidParameter;
  *c = TGpColorAdjust();
  c->Set = false;
  return Ok;
}

GpStatus GdipSetImageAttributesColorMatrix(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                           const ColorMatrix* colorMatrix, const ColorMatrix* grayMatrix,
                                           ColorMatrixFlags flags) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c || flags < ColorMatrixFlagsDefault || flags > ColorMatrixFlagsAltGray) return InvalidParameter;
  if (!enableFlag) {
    c->HasMatrix = false;
    return Ok;
  }
  if (!colorMatrix || (flags == ColorMatrixFlagsAltGray && !grayMatrix)) return InvalidParameter;
  c->HasMatrix = true;
  c->Matrix = *colorMatrix;
  c->Gray = grayMatrix ? *grayMatrix : ColorMatrix{};
  c->MatrixFlags = flags;
  return Ok;
}

GpStatus GdipSetImageAttributesThreshold(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                         REAL threshold) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c) return InvalidParameter;
  c->HasThreshold = enableFlag;
  c->Threshold = threshold;
  return Ok;
}

GpStatus GdipSetImageAttributesGamma(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                     REAL gamma) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c || (enableFlag && !(gamma > 0))) return InvalidParameter;
  c->HasGamma = enableFlag;
  c->Gamma = gamma;
  return Ok;
}

GpStatus GdipSetImageAttributesNoOp(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c) return InvalidParameter;
  c->NoOp = enableFlag;
  return Ok;
}

GpStatus GdipSetImageAttributesColorKeys(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                         ARGB colorLow, ARGB colorHigh) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c) return InvalidParameter;
  c->HasKeys = enableFlag;
  c->KeyLow = colorLow;
  c->KeyHigh = colorHigh;
  return Ok;
}

GpStatus GdipSetImageAttributesRemapTable(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                          UINT mapSize, const ColorMap* map) {
  TGpColorAdjust* c = Category(imageattr, type);
  if (!c || (enableFlag && (!map || mapSize == 0))) return InvalidParameter;
  if (enableFlag)
    c->Remap.assign(map, map + mapSize);
  else
    c->Remap.clear();
  return Ok;
}

GpStatus GdipSetImageAttributesWrapMode(GpImageAttributes* imageAttr, WrapMode wrap, ARGB argb, BOOL) {
  if (!imageAttr || wrap < WrapModeTile || wrap > WrapModeClamp) return InvalidParameter;
  imageAttr->Wrap = wrap;
  imageAttr->WrapColor = argb;
  return Ok;
}

GpStatus GdipSetImageAttributesICMMode(GpImageAttributes* imageAttr, BOOL) { return imageAttr ? Ok : InvalidParameter; }

GpStatus GdipSetImageAttributesCachedBackground(GpImageAttributes* imageattr, BOOL) {
  return imageattr ? Ok : InvalidParameter;
}
