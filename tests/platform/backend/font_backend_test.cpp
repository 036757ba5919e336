#include "platform/backend/font_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace rtl::backend;

namespace {

struct TGlyphCase {
  const char* Name;
  char32_t Code;
  int PixelSize;
  int Angle;  // tenths of a degree
  bool Italic = false;
  bool Antialias = true;
};

// A glyph's coverage at (x, y) relative to the pen; 0 outside its mask.
int CoverageAt(const TGlyph& g, int x, int y) {
  x -= g.Left;
  y -= g.Top;
  if (x < 0 || y < 0 || x >= g.Width || y >= g.Height) return 0;
  return g.Coverage[size_t(y) * size_t(g.Width) + size_t(x)];
}

// A glyph filled from its outline inside a window is the glyph's whole
// mask: placed, turned and shaped alike, and inside the bounds that say
// where its ink may lie. (Huge glyphs have no whole mask to compare with;
// this is what lets them be made a window at a time.)
TEST(FontBackend, GlyphPartIsTheWholeGlyphWithinItsBounds) {
  const TGlyphCase cases[] = {
      {"small", U'g', 13, 0},
      {"engine-filled", U'W', 300, 0},
      {"turned", U'R', 200, 300},
      {"upside down", U'Q', 150, 1800},
      {"italic", U'f', 250, 0, true},
      {"aliased", U'S', 220, 0, false, false},
      {"aliased turned", U'&', 180, 2700, false, false},
      {"from another family", U'\u2603', 200, 0},  // a snowman: seldom in the first family
  };
  for (const TGlyphCase& k : cases) {
    SCOPED_TRACE(k.Name);
    TFontRequest request;
    request.Face = u"Arial";
    request.PixelSize = k.PixelSize;
    request.Italic = k.Italic;
    request.Antialias = k.Antialias;
    auto face = TFontFace::Get(request);
    const TGlyph* whole = face->Glyph(k.Code, k.Angle);
    ASSERT_NE(whole, nullptr);
    ASSERT_GT(whole->Width, 0);
    const TGlyphBox bounds = face->GlyphBounds(k.Code, k.Angle);
    EXPECT_LE(bounds.Left, whole->Left);
    EXPECT_LE(bounds.Top, whole->Top);
    EXPECT_GE(bounds.Right, whole->Left + whole->Width);
    EXPECT_GE(bounds.Bottom, whole->Top + whole->Height);
    // Cut by a window over the middle, the part is the same pixels.
    const TGlyphBox window{whole->Left + whole->Width / 4, whole->Top + whole->Height / 3,
                           whole->Left + whole->Width, whole->Top + whole->Height * 2 / 3};
    const TGlyph part = face->GlyphPart(k.Code, k.Angle, window);
    EXPECT_EQ(part.Left, std::max(window.Left, bounds.Left));
    EXPECT_EQ(part.Top, std::max(window.Top, bounds.Top));
    EXPECT_EQ(part.Left + part.Width, std::min(window.Right, bounds.Right));
    EXPECT_EQ(part.Top + part.Height, std::min(window.Bottom, bounds.Bottom));
    // The whole mask comes from the engine's own drawing, the part from the
    // outline flattened more finely: edges shade up to a quarter of a pixel
    // apart, and an aliased edge may move a pixel here and there. A glyph
    // misplaced by a pixel, turned or sized wrongly differs by far more.
    int differ = 0, inked = 0, boundary = 0;
    for (int y = window.Top; y < window.Bottom; ++y)
      for (int x = window.Left; x < window.Right; ++x) {
        const int w = CoverageAt(*whole, x, y), p = CoverageAt(part, x, y);
        if (std::abs(w - p) > 64) ++differ;
        if (w >= 128) ++inked;
        if (w >= 128 && (CoverageAt(*whole, x - 1, y) < 128 || CoverageAt(*whole, x + 1, y) < 128 ||
                         CoverageAt(*whole, x, y - 1) < 128 || CoverageAt(*whole, x, y + 1) < 128))
          ++boundary;
      }
    if (k.Antialias)
      EXPECT_EQ(differ, 0);
    else
      EXPECT_LE(differ, boundary / 20) << boundary << " pixels on the boundary";
    EXPECT_GT(inked, 0) << "the window shows ink";
  }
}

// Past a few thousand pixels a glyph is not made whole, and its bounds grow
// with the face however far past the engine's own sizes.
TEST(FontBackend, HugeGlyphsHaveBoundsButNoWholeMask) {
  TFontRequest request;
  request.Face = u"Arial";
  request.PixelSize = 4000;
  const TGlyphBox reference = TFontFace::Get(request)->GlyphBounds(U'I', 0);
  for (int size : {65522, 10'000'000, kLargestPixelSize}) {
    SCOPED_TRACE(size);
    request.PixelSize = size;
    auto face = TFontFace::Get(request);
    EXPECT_EQ(face->Glyph(U'I', 0), nullptr);
    EXPECT_EQ(face->Glyph(U'I', 450), nullptr);
    const TGlyphBox b = face->GlyphBounds(U'I', 0);
    // In proportion, but for the margins (a few pixels, and a little more
    // as the glyph grows).
    const double scale = size / 4000.0;
    EXPECT_NEAR(b.Right - b.Left, (reference.Right - reference.Left) * scale, 0.02 * size);
    EXPECT_NEAR(b.Bottom - b.Top, (reference.Bottom - reference.Top) * scale, 0.02 * size);
    // A window in the middle of the stem is all ink.
    const int midX = b.Left + (b.Right - b.Left) / 2, midY = b.Top + (b.Bottom - b.Top) / 2;
    const TGlyph part = face->GlyphPart(U'I', 0, TGlyphBox{midX - 8, midY - 8, midX + 8, midY + 8});
    ASSERT_EQ(part.Width, 16);
    ASSERT_EQ(part.Height, 16);
    EXPECT_EQ(std::count(part.Coverage.begin(), part.Coverage.end(), 255), 256);
  }
}

}  // namespace
