// Fonts, font families and collections, string formats, and text drawn
// and measured through one layout.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/backend/font_backend.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdiplus/gdiplus_internal.h"

namespace rtl::detail {

rtl::backend::TGpFontData DescribeFont(const GpFont* font, const GpGraphics* g) {
  rtl::backend::TGpFontData f;
  f.Family = font->Family;
  f.Bold = font->Style & FontStyleBold;
  f.Italic = font->Style & FontStyleItalic;
  f.Underline = font->Style & FontStyleUnderline;
  f.Strikeout = font->Style & FontStyleStrikeout;
  double em = font->Size;
  if (font->Unit != UnitWorld) {
    // The size in pixels, then in world units of this page.
    REAL dpi = g ? g->DpiY : 96.0f;
    double pixels = font->Unit == UnitPixel || font->Unit == UnitDisplay ? em : em * UnitToPixels(font->Unit, dpi);
    double page = g ? UnitToPixels(g->PageUnit, dpi) * g->PageScale : 1.0;
    em = page > 0 ? pixels / page : pixels;
  }
  f.EmSize = static_cast<float>(em);
  return f;
}

rtl::backend::TGpTextFormat DescribeFormat(const GpStringFormat* format) {
  rtl::backend::TGpTextFormat t;
  if (!format) return t;
  t.Flags = format->Flags;
  t.Align = static_cast<rtl::backend::TGpStringAlign>(format->Align);
  t.LineAlign = static_cast<rtl::backend::TGpStringAlign>(format->LineAlign);
  t.Trimming = format->Trimming;
  t.HotkeyPrefix = format->HotkeyPrefix;
  t.FirstTabOffset = format->FirstTabOffset;
  t.TabStops.assign(format->TabStops.begin(), format->TabStops.end());
  t.Typographic = format->Typographic;
  return t;
}

}  // namespace rtl::detail

using namespace rtl::detail;

namespace {

constexpr UINT16 kEmHeight = 2048;

GpStringFormat* GenericDefault() {
  static GpStringFormat f;
  return &f;
}

GpStringFormat* GenericTypographic() {
  static GpStringFormat f = [] {
    GpStringFormat t;
    t.Flags = StringFormatFlagsNoFitBlackBox | StringFormatFlagsLineLimit | StringFormatFlagsNoClip;
    t.Trimming = StringTrimmingNone;
    t.Typographic = true;
    return t;
  }();
  return &f;
}

GpFontCollection* Installed() {
  static GpFontCollection c;
  return &c;
}

// Families handed out by collection lists stay with the collection.
std::vector<std::unique_ptr<GpFontFamily>>& ListedFamilies() {
  static std::vector<std::unique_ptr<GpFontFamily>> families;
  return families;
}

std::u16string Lower(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return s;
}

std::vector<std::u16string> FamiliesOf(const GpFontCollection* c) {
  return c && c->Private ? c->Families : rtl::backend::GpInstalledFamilies();
}

UINT16 DesignUnits(float v) { return static_cast<UINT16>(std::lround(v * kEmHeight)); }

std::u16string Text(const WCHAR* string, INT length) {
  return length < 0 ? std::u16string(string) : std::u16string(string, static_cast<size_t>(length));
}

template <class LOGFONTT>
GpStatus FontFromLogfont(const LOGFONTT* lf, const std::u16string& face, GpFont** font) {
  auto* f = new GpFont;
  f->Family = face.empty() ? u"Microsoft Sans Serif" : face;
  INT style = FontStyleRegular;
  if (lf->lfWeight >= FW_SEMIBOLD) style |= FontStyleBold;
  if (lf->lfItalic) style |= FontStyleItalic;
  if (lf->lfUnderline) style |= FontStyleUnderline;
  if (lf->lfStrikeOut) style |= FontStyleStrikeout;
  f->Style = style;
  // A negative height is the em size; a positive one the cell height.
  if (lf->lfHeight < 0) {
    f->Size = REAL(-lf->lfHeight);
  } else {
    rtl::backend::TGpFontMetrics m = rtl::backend::GpFontMetrics(f->Family, style & FontStyleBold, style & FontStyleItalic);
    double cell = m.Ascent + m.Descent;
    f->Size = lf->lfHeight == 0 ? 12.0f : REAL(cell > 0 ? lf->lfHeight / cell : lf->lfHeight);
  }
  f->Unit = UnitWorld;
  *font = f;
  return Ok;
}

template <class LOGFONTT, class CHART>
GpStatus LogfontFromFont(GpFont* font, GpGraphics* graphics, LOGFONTT* lf, CHART* face,
                         const std::basic_string<CHART>& name) {
  if (!font || !lf) return InvalidParameter;
  std::memset(static_cast<void*>(lf), 0, sizeof(LOGFONTT));
  lf->lfHeight = -static_cast<LONG>(std::lround(DescribeFont(font, graphics).EmSize));
  lf->lfWeight = (font->Style & FontStyleBold) ? FW_BOLD : FW_NORMAL;
  lf->lfItalic = (font->Style & FontStyleItalic) ? 1 : 0;
  lf->lfUnderline = (font->Style & FontStyleUnderline) ? 1 : 0;
  lf->lfStrikeOut = (font->Style & FontStyleStrikeout) ? 1 : 0;
  lf->lfCharSet = DEFAULT_CHARSET;
  lf->lfQuality = ANTIALIASED_QUALITY;
  size_t n = std::min<size_t>(name.size(), LF_FACESIZE - 1);
  std::copy(name.begin(), name.begin() + ptrdiff_t(n), face);
  face[n] = 0;
  return Ok;
}

bool DeletableFormat(const GpStringFormat* f) { return f != GenericDefault() && f != GenericTypographic(); }

}  // namespace

// ---- Families ---------------------------------------------------------------------

GpStatus GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* fontCollection,
                                      GpFontFamily** fontFamily) {
  if (!name || !fontFamily) return InvalidParameter;
  std::u16string n(name);
  bool found;
  if (fontCollection && fontCollection->Private) {
    std::vector<std::u16string> list = FamiliesOf(fontCollection);
    found = std::any_of(list.begin(), list.end(), [&](const std::u16string& f) { return Lower(f) == Lower(n); });
  } else {
    found = rtl::backend::GpFontFamilyExists(n);
  }
  if (!found) return FontFamilyNotFound;
  *fontFamily = new GpFontFamily{n};
  return Ok;
}

GpStatus GdipDeleteFontFamily(GpFontFamily* fontFamily) {
  if (!fontFamily) return InvalidParameter;
  auto& listed = ListedFamilies();
  if (std::none_of(listed.begin(), listed.end(), [&](const auto& f) { return f.get() == fontFamily; }))
    delete fontFamily;
  return Ok;
}

GpStatus GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily) {
  if (!fontFamily || !clonedFontFamily) return InvalidParameter;
  *clonedFontFamily = new GpFontFamily(*fontFamily);
  return Ok;
}

GpStatus GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily) {
  if (!nativeFamily) return InvalidParameter;
  *nativeFamily = new GpFontFamily{u"Microsoft Sans Serif"};
  return Ok;
}

GpStatus GdipGetGenericFontFamilySerif(GpFontFamily** nativeFamily) {
  if (!nativeFamily) return InvalidParameter;
  *nativeFamily = new GpFontFamily{u"Times New Roman"};
  return Ok;
}

GpStatus GdipGetGenericFontFamilyMonospace(GpFontFamily** nativeFamily) {
  if (!nativeFamily) return InvalidParameter;
  *nativeFamily = new GpFontFamily{u"Courier New"};
  return Ok;
}

GpStatus GdipGetFamilyName(const GpFontFamily* family, WCHAR name[LF_FACESIZE], LANGID) {
  if (!family || !name) return InvalidParameter;
  size_t n = std::min<size_t>(family->Name.size(), LF_FACESIZE - 1);
  std::copy(family->Name.begin(), family->Name.begin() + ptrdiff_t(n), name);
  name[n] = 0;
  return Ok;
}

GpStatus GdipIsStyleAvailable(const GpFontFamily* family, INT, BOOL* isStyleAvailable) {
  if (!family || !isStyleAvailable) return InvalidParameter;
  *isStyleAvailable = TRUE;
  return Ok;
}

GpStatus GdipGetEmHeight(const GpFontFamily* family, INT, UINT16* EmHeight) {
  if (!family || !EmHeight) return InvalidParameter;
  *EmHeight = kEmHeight;
  return Ok;
}

GpStatus GdipGetCellAscent(const GpFontFamily* family, INT style, UINT16* CellAscent) {
  if (!family || !CellAscent) return InvalidParameter;
  *CellAscent = DesignUnits(rtl::backend::GpFontMetrics(family->Name, style & FontStyleBold, style & FontStyleItalic).Ascent);
  return Ok;
}

GpStatus GdipGetCellDescent(const GpFontFamily* family, INT style, UINT16* CellDescent) {
  if (!family || !CellDescent) return InvalidParameter;
  *CellDescent =
      DesignUnits(rtl::backend::GpFontMetrics(family->Name, style & FontStyleBold, style & FontStyleItalic).Descent);
  return Ok;
}

GpStatus GdipGetLineSpacing(const GpFontFamily* family, INT style, UINT16* LineSpacing) {
  if (!family || !LineSpacing) return InvalidParameter;
  *LineSpacing =
      DesignUnits(rtl::backend::GpFontMetrics(family->Name, style & FontStyleBold, style & FontStyleItalic).LineSpacing);
  return Ok;
}

// ---- Collections ------------------------------------------------------------------------

GpStatus GdipNewInstalledFontCollection(GpFontCollection** fontCollection) {
  if (!fontCollection) return InvalidParameter;
  *fontCollection = Installed();
  return Ok;
}

GpStatus GdipNewPrivateFontCollection(GpFontCollection** fontCollection) {
  if (!fontCollection) return InvalidParameter;
  *fontCollection = new GpFontCollection{true, {}};
  return Ok;
}

GpStatus GdipDeletePrivateFontCollection(GpFontCollection** fontCollection) {
  if (!fontCollection || !*fontCollection || !(*fontCollection)->Private) return InvalidParameter;
  delete *fontCollection;
  *fontCollection = nullptr;
  return Ok;
}

GpStatus GdipGetFontCollectionFamilyCount(GpFontCollection* fontCollection, INT* numFound) {
  if (!fontCollection || !numFound) return InvalidParameter;
  *numFound = static_cast<INT>(FamiliesOf(fontCollection).size());
  return Ok;
}

GpStatus GdipGetFontCollectionFamilyList(GpFontCollection* fontCollection, INT numSought, GpFontFamily* gpfamilies[],
                                         INT* numFound) {
  if (!fontCollection || !gpfamilies || !numFound || numSought < 0) return InvalidParameter;
  std::vector<std::u16string> list = FamiliesOf(fontCollection);
  INT n = std::min<INT>(numSought, static_cast<INT>(list.size()));
  auto& listed = ListedFamilies();
  for (INT i = 0; i < n; ++i) {
    listed.push_back(std::make_unique<GpFontFamily>(GpFontFamily{list[size_t(i)]}));
    gpfamilies[i] = listed.back().get();
  }
  *numFound = n;
  return Ok;
}

GpStatus GdipPrivateAddFontFile(GpFontCollection* fontCollection, const WCHAR* filename) {
  if (!fontCollection || !fontCollection->Private || !filename) return InvalidParameter;
  std::vector<std::u16string> before = rtl::backend::FontFamilies();
  if (rtl::backend::AddFontFile(WideToAnsi(WideString(filename))) <= 0) return FileNotFound;
  for (const std::u16string& f : rtl::backend::FontFamilies())
    if (std::find(before.begin(), before.end(), f) == before.end()) fontCollection->Families.push_back(f);
  return Ok;
}

// ---- Fonts ----------------------------------------------------------------------------------

GpStatus GdipCreateFontFromLogfontA(HDC, const LOGFONTA* logfont, GpFont** font) {
  if (!logfont || !font) return InvalidParameter;
  return FontFromLogfont(logfont, AnsiToWide(AnsiString(logfont->lfFaceName)), font);
}

GpStatus GdipCreateFontFromLogfontW(HDC, const LOGFONTW* logfont, GpFont** font) {
  if (!logfont || !font) return InvalidParameter;
  return FontFromLogfont(logfont, std::u16string(logfont->lfFaceName), font);
}

GpStatus GdipCreateFontFromDC(HDC hdc, GpFont** font) {
  if (!font) return InvalidParameter;
  LOGFONTW lf{};
  HGDIOBJ current = GetCurrentObject(hdc, OBJ_FONT);
  if (!current || GetObjectW(current, sizeof lf, &lf) == 0) return InvalidParameter;
  return GdipCreateFontFromLogfontW(hdc, &lf, font);
}

GpStatus GdipCreateFont(const GpFontFamily* fontFamily, REAL emSize, INT style, INT unit, GpFont** font) {
  if (!fontFamily || !font || !(emSize > 0) || unit < UnitWorld || unit > UnitMillimeter || unit == UnitDisplay)
    return InvalidParameter;
  *font = new GpFont{fontFamily->Name, emSize, style, static_cast<GpUnit>(unit)};
  return Ok;
}

GpStatus GdipCloneFont(GpFont* font, GpFont** cloneFont) {
  if (!font || !cloneFont) return InvalidParameter;
  *cloneFont = new GpFont(*font);
  return Ok;
}

GpStatus GdipDeleteFont(GpFont* font) {
  if (!font) return InvalidParameter;
  delete font;
  return Ok;
}

GpStatus GdipGetFamily(GpFont* font, GpFontFamily** family) {
  if (!font || !family) return InvalidParameter;
  *family = new GpFontFamily{font->Family};
  return Ok;
}

GpStatus GdipGetFontStyle(GpFont* font, INT* style) {
  if (!font || !style) return InvalidParameter;
  *style = font->Style;
  return Ok;
}

GpStatus GdipGetFontSize(GpFont* font, REAL* size) {
  if (!font || !size) return InvalidParameter;
  *size = font->Size;
  return Ok;
}

GpStatus GdipGetFontUnit(GpFont* font, GpUnit* unit) {
  if (!font || !unit) return InvalidParameter;
  *unit = font->Unit;
  return Ok;
}

GpStatus GdipGetFontHeight(const GpFont* font, const GpGraphics* graphics, REAL* height) {
  if (!font || !height) return InvalidParameter;
  rtl::backend::TGpFontMetrics m =
      rtl::backend::GpFontMetrics(font->Family, font->Style & FontStyleBold, font->Style & FontStyleItalic);
  *height = DescribeFont(font, graphics).EmSize * m.LineSpacing;
  return Ok;
}

GpStatus GdipGetFontHeightGivenDPI(const GpFont* font, REAL dpi, REAL* height) {
  if (!font || !height || !(dpi > 0)) return InvalidParameter;
  GpGraphics g;
  g.DpiX = g.DpiY = dpi;
  g.PageUnit = UnitPixel;
  return GdipGetFontHeight(font, &g, height);
}

GpStatus GdipGetLogFontA(GpFont* font, GpGraphics* graphics, LOGFONTA* logfontA) {
  if (!logfontA) return InvalidParameter;
  return LogfontFromFont(font, graphics, logfontA, logfontA->lfFaceName,
                         font ? WideToAnsi(font->Family) : std::string());
}

GpStatus GdipGetLogFontW(GpFont* font, GpGraphics* graphics, LOGFONTW* logfontW) {
  if (!logfontW) return InvalidParameter;
  return LogfontFromFont(font, graphics, logfontW, logfontW->lfFaceName, font ? font->Family : std::u16string());
}

// ---- String formats ------------------------------------------------------------------------

GpStatus GdipCreateStringFormat(INT formatAttributes, LANGID language, GpStringFormat** format) {
  if (!format) return InvalidParameter;
  auto* f = new GpStringFormat;
  f->Flags = formatAttributes;
  f->Language = language;
  *format = f;
  return Ok;
}

// The generic formats are shared; deleting them does nothing.
GpStatus GdipStringFormatGetGenericDefault(GpStringFormat** format) {
  if (!format) return InvalidParameter;
  *format = GenericDefault();
  return Ok;
}

GpStatus GdipStringFormatGetGenericTypographic(GpStringFormat** format) {
  if (!format) return InvalidParameter;
  *format = GenericTypographic();
  return Ok;
}

GpStatus GdipDeleteStringFormat(GpStringFormat* format) {
  if (!format) return InvalidParameter;
  if (DeletableFormat(format)) delete format;
  return Ok;
}

GpStatus GdipCloneStringFormat(const GpStringFormat* format, GpStringFormat** newFormat) {
  if (!format || !newFormat) return InvalidParameter;
  *newFormat = new GpStringFormat(*format);
  return Ok;
}

#define GP_FORMAT_FIELD(Name, Type, Field, Valid)                          \
  GpStatus GdipSetStringFormat##Name(GpStringFormat* format, Type value) { \
    if (!format || !(Valid)) return InvalidParameter;                      \
    format->Field = value;                                                 \
    return Ok;                                                             \
  }                                                                        \
  GpStatus GdipGetStringFormat##Name(const GpStringFormat* format, Type* value) { \
    if (!format || !value) return InvalidParameter;                        \
    *value = format->Field;                                                \
    return Ok;                                                             \
  }

GP_FORMAT_FIELD(Flags, INT, Flags, true)
GP_FORMAT_FIELD(Align, StringAlignment, Align, value >= StringAlignmentNear && value <= StringAlignmentFar)
GP_FORMAT_FIELD(LineAlign, StringAlignment, LineAlign, value >= StringAlignmentNear && value <= StringAlignmentFar)
GP_FORMAT_FIELD(Trimming, StringTrimming, Trimming,
                value >= StringTrimmingNone && value <= StringTrimmingEllipsisPath)
GP_FORMAT_FIELD(HotkeyPrefix, INT, HotkeyPrefix, value >= HotkeyPrefixNone && value <= HotkeyPrefixHide)

#undef GP_FORMAT_FIELD

GpStatus GdipSetStringFormatTabStops(GpStringFormat* format, REAL firstTabOffset, INT count, const REAL* tabStops) {
  if (!format || count < 0 || (count > 0 && !tabStops)) return InvalidParameter;
  format->FirstTabOffset = firstTabOffset;
  format->TabStops.assign(tabStops, tabStops + count);
  return Ok;
}

GpStatus GdipGetStringFormatTabStops(const GpStringFormat* format, INT count, REAL* firstTabOffset, REAL* tabStops) {
  if (!format || !firstTabOffset || (count > 0 && !tabStops)) return InvalidParameter;
  *firstTabOffset = format->FirstTabOffset;
  INT n = std::min<INT>(count, static_cast<INT>(format->TabStops.size()));
  std::copy(format->TabStops.begin(), format->TabStops.begin() + n, tabStops);
  return Ok;
}

GpStatus GdipGetStringFormatTabStopCount(const GpStringFormat* format, INT* count) {
  if (!format || !count) return InvalidParameter;
  *count = static_cast<INT>(format->TabStops.size());
  return Ok;
}

GpStatus GdipSetStringFormatDigitSubstitution(GpStringFormat* format, LANGID language,
                                              StringDigitSubstitute substitute) {
  if (!format) return InvalidParameter;
  format->DigitLanguage = language;
  format->DigitSubstitute = substitute;
  return Ok;
}

GpStatus GdipGetStringFormatDigitSubstitution(const GpStringFormat* format, LANGID* language,
                                              StringDigitSubstitute* substitute) {
  if (!format) return InvalidParameter;
  if (language) *language = format->DigitLanguage;
  if (substitute) *substitute = format->DigitSubstitute;
  return Ok;
}

GpStatus GdipGetStringFormatMeasurableCharacterRangeCount(const GpStringFormat* format, INT* count) {
  if (!format || !count) return InvalidParameter;
  *count = static_cast<INT>(format->Ranges.size());
  return Ok;
}

GpStatus GdipSetStringFormatMeasurableCharacterRanges(GpStringFormat* format, INT rangeCount,
                                                      const CharacterRange* ranges) {
  if (!format || rangeCount < 0 || rangeCount > 32 || (rangeCount > 0 && !ranges)) return InvalidParameter;
  format->Ranges.assign(ranges, ranges + rangeCount);
  return Ok;
}

// ---- Drawing and measuring text -------------------------------------------------------------

GpStatus GdipDrawString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                        const GpRectF* layoutRect, const GpStringFormat* stringFormat, const GpBrush* brush) {
  TGpBrushImpl* b = BrushImpl(brush);
  if (!graphics || !string || !font || !layoutRect || !b) return InvalidParameter;
  std::u16string text = Text(string, length);
  if (text.empty()) return Ok;
  rtl::backend::TGpBrushData brushData;
  b->Describe(brushData);
  rtl::backend::TGpFontData fontData = DescribeFont(font, graphics);
  rtl::backend::TGpTextFormat format = DescribeFormat(stringFormat ? stringFormat : GenericDefault());
  rtl::backend::TGpRectF layout{layoutRect->X, layoutRect->Y, layoutRect->Width, layoutRect->Height};
  return Paint(graphics, [&](rtl::backend::TGpPainter& p, const rtl::backend::TGpPaintState& s) {
    p.DrawText(s, text, fontData, layout, format, brushData);
  });
}

GpStatus GdipMeasureString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                           const GpRectF* layoutRect, const GpStringFormat* stringFormat, GpRectF* boundingBox,
                           INT* codepointsFitted, INT* linesFilled) {
  if (!graphics || !string || !font || !layoutRect || !boundingBox) return InvalidParameter;
  rtl::backend::TGpTextLayout out;
  rtl::backend::GpMeasureText(Text(string, length), DescribeFont(font, graphics),
                              {layoutRect->X, layoutRect->Y, layoutRect->Width, layoutRect->Height},
                              DescribeFormat(stringFormat ? stringFormat : GenericDefault()), out);
  *boundingBox = GpRectF{out.Bounds.X, out.Bounds.Y, out.Bounds.Width, out.Bounds.Height};
  if (codepointsFitted) *codepointsFitted = out.CodepointsFitted;
  if (linesFilled) *linesFilled = out.LinesFilled;
  return Ok;
}

GpStatus GdipMeasureCharacterRanges(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                                    const GpRectF& layoutRect, const GpStringFormat* stringFormat, INT regionCount,
                                    GpRegion** regions) {
  if (!graphics || !string || !font || !stringFormat || !regions) return InvalidParameter;
  if (regionCount < static_cast<INT>(stringFormat->Ranges.size())) return InvalidParameter;
  std::vector<std::pair<int, int>> ranges;
  for (const CharacterRange& r : stringFormat->Ranges) ranges.push_back({r.First, r.Length});
  rtl::backend::TGpTextLayout out;
  std::vector<std::vector<rtl::backend::TGpRectF>> boxes;
  rtl::backend::GpMeasureText(Text(string, length), DescribeFont(font, graphics),
                              {layoutRect.X, layoutRect.Y, layoutRect.Width, layoutRect.Height},
                              DescribeFormat(stringFormat), out, &ranges, &boxes);
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (!regions[i]) return InvalidParameter;
    auto node = RegionNode(TGpRegionNode::rnEmpty);
    for (const auto& b : boxes[i]) node = CombineNodes(node, RectNode(GpRectF{b.X, b.Y, b.Width, b.Height}), CombineModeUnion);
    regions[i]->Root = node;
  }
  return Ok;
}
