// Font objects: creation, realisation for a DC, metrics, character widths,
// face names and enumeration.
#include <numbers>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/backend/font_backend.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_text.h"
#include "platform/win/gdi/gdi_int_range.h"

namespace rtl::detail {

namespace {

using rtl::backend::TFontFace;
using rtl::backend::TFontRequest;


std::u16string FaceOf(const LOGFONTW& lf) {
  std::u16string s;
  for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i) s.push_back(lf.lfFaceName[i]);
  return s;
}

TFontRequest RequestFor(const LOGFONTW& lf, int em) {
  TFontRequest r;
  r.Face = FaceOf(lf);
  r.PixelSize = std::clamp(em, 1, rtl::backend::kLargestPixelSize);
  r.Weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 100, 900);
  r.Italic = lf.lfItalic != 0;
  r.Antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
  int family = lf.lfPitchAndFamily & 0xF0;
  r.PreferFixed = (lf.lfPitchAndFamily & 3) == FIXED_PITCH || family == FF_MODERN;
  r.PreferSerif = family == FF_ROMAN;
  return r;
}

HFONT NewFont(const LOGFONTW& lf) {
  auto f = std::make_unique<TGdiFont>();
  f->Log = lf;
  return static_cast<HFONT>(GdiAdd(std::move(f)));
}

LOGFONTW Widen(const LOGFONTA& a) {
  LOGFONTW w{};
  std::memcpy(&w, &a, offsetof(LOGFONTA, lfFaceName));
  size_t n = strnlen(a.lfFaceName, LF_FACESIZE);
  std::u16string face = AnsiToWide(AnsiString(a.lfFaceName, n));
  for (size_t i = 0; i < face.size() && i < LF_FACESIZE - 1; ++i) w.lfFaceName[i] = face[i];
  return w;
}

LOGFONTA Narrow(const LOGFONTW& w) {
  LOGFONTA a{};
  std::memcpy(&a, &w, offsetof(LOGFONTW, lfFaceName));
  std::string face = WideToAnsi(FaceOf(w));
  if (face.size() > LF_FACESIZE - 1) face.resize(LF_FACESIZE - 1);
  std::memcpy(a.lfFaceName, face.data(), face.size());
  return a;
}

// Every font here draws Unicode and 8-bit text is UTF-8 whatever set a
// font asks for; reporting the asked set would make callers decode text in
// a legacy code page. Symbol fonts keep theirs: their glyphs differ.
BYTE RealizedCharset(BYTE asked) { return asked == SYMBOL_CHARSET ? SYMBOL_CHARSET : ANSI_CHARSET; }

// Device pixels as logical units, held inside int.
int L(double v, double scale) { return ClampWhole(std::round(v / scale)); }

// An em or cell height in pixels, held to what a face takes.
int EmPixels(double v) {
  if (!(v >= 1)) return 1;  // NaN too
  return static_cast<int>(std::min(std::round(v), double(rtl::backend::kLargestPixelSize)));
}

}  // namespace

bool RealizeFont(TGdiDC* dc, TRealFont& out) {
  auto f = GdiFont(dc->S.Font);
  if (!f) return false;
  const TXform& m = dc->ToTarget();
  double scale = std::sqrt(std::fabs(m.M11 * m.M22 - m.M12 * m.M21));
  if (scale <= 0) scale = 1;
  const LOGFONTW& lf = f->Log;
  if (!f->Face || f->FaceScale != scale) {
    int em;
    if (lf.lfHeight < 0) {
      em = EmPixels(-double(lf.lfHeight) * scale);
    } else {
      // A positive height is the cell: the largest em whose cell fits.
      int cell = EmPixels((lf.lfHeight ? lf.lfHeight : 16) * scale);
      auto cellOf = [&](int e) {
        const auto& m = TFontFace::Get(RequestFor(lf, e))->Metrics();
        return int64_t(m.Ascent) + m.Descent;
      };
      em = EmPixels(double(cell) * cell / double(std::max<int64_t>(1, cellOf(cell))));
      for (int i = 0; i < 4; ++i) {
        if (cellOf(em) > cell && em > 1)
          --em;
        else if (em < rtl::backend::kLargestPixelSize && cellOf(em + 1) <= cell)
          ++em;
        else
          break;
      }
    }
    TFontRequest req = RequestFor(lf, em);
    if (lf.lfWidth > 0) {
      int natural = TFontFace::Get(req)->Metrics().AveCharWidth;
      if (natural > 0)
        req.Stretch = static_cast<int>(std::clamp(std::round(lf.lfWidth * scale * 100.0 / natural), 1.0, 4000.0));
    }
    f->Face = TFontFace::Get(req);
    f->FaceScale = scale;
  }
  out.Font = f;
  out.Face = f->Face.get();
  out.Scale = scale;
  int worldAngle = 0;
  if (m.M12 != 0 || m.M21 != 0) worldAngle = static_cast<int>(std::lround(-std::atan2(m.M12, m.M11) * 1800 / std::numbers::pi));
  out.Angle = lf.lfEscapement + worldAngle;
  const auto& fm = out.Face->Metrics();
  TEXTMETRICW& tm = out.Tm;
  tm = TEXTMETRICW{};
  tm.tmAscent = L(fm.Ascent, scale);
  tm.tmDescent = L(fm.Descent, scale);
  tm.tmHeight = static_cast<int>(std::min<int64_t>(int64_t(tm.tmAscent) + tm.tmDescent, INT32_MAX));
  tm.tmInternalLeading = std::max(0, tm.tmHeight - L(out.Face->Request().PixelSize, scale));
  tm.tmExternalLeading = L(fm.ExternalLeading, scale);
  tm.tmAveCharWidth = L(fm.AveCharWidth, scale);
  tm.tmMaxCharWidth = L(fm.MaxCharWidth, scale);
  tm.tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = GdiScreenDpi();
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = lf.lfItalic ? 255 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 255 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 255 : 0;
  int family = lf.lfPitchAndFamily & 0xF0;
  if (family == FF_DONTCARE) family = fm.FixedPitch ? FF_MODERN : FF_SWISS;
  // The "fixed pitch" bit is set for variable-pitch fonts, as documented.
  tm.tmPitchAndFamily = static_cast<BYTE>(family | TMPF_TRUETYPE | TMPF_VECTOR | (fm.FixedPitch ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = RealizedCharset(lf.lfCharSet);
  return true;
}

std::vector<TTextChar> SplitText(const char16_t* s, int n) {
  std::vector<TTextChar> out;
  out.reserve(static_cast<size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) {
    char16_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      out.push_back(TTextChar{char32_t(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00)), 2});
      ++i;
    } else {
      out.push_back(TTextChar{c, 1});
    }
  }
  return out;
}

void CharAdvances(TGdiDC* dc, TRealFont& font, const std::vector<TTextChar>& chars, std::vector<int>& out) {
  out.resize(chars.size());
  for (size_t i = 0; i < chars.size(); ++i) {
    int a = font.Face->Advance(chars[i].Code);
    int64_t logical = int64_t(font.Scale == 1 ? a : L(a, font.Scale)) + dc->S.CharExtra;
    out[i] = ClampInt(logical);
  }
}

WideString AnsiText(LPCSTR text, int count) {
  if (!text) return WideString();
  if (count < 0) count = static_cast<int>(std::strlen(text));
  return AnsiToWide(AnsiString(text, static_cast<size_t>(count)));
}

}  // namespace rtl::detail

using namespace rtl::detail;

HFONT CreateFontIndirectW(const LOGFONTW* font) { return font ? NewFont(*font) : nullptr; }
HFONT CreateFontIndirectA(const LOGFONTA* font) { return font ? NewFont(Widen(*font)) : nullptr; }

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCWSTR face) {
  LOGFONTW lf{height,
              width,
              escapement,
              orientation,
              weight,
              BYTE(italic),
              BYTE(underline),
              BYTE(strikeOut),
              BYTE(charSet),
              BYTE(outPrecision),
              BYTE(clipPrecision),
              BYTE(quality),
              BYTE(pitchAndFamily),
              {}};
  for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return NewFont(lf);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR face) {
  WideString w = face ? AnsiToWide(face) : WideString();
  return CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                     outPrecision, clipPrecision, quality, pitchAndFamily, face ? w.c_str() : nullptr);
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW metrics) {
  auto dc = GdiDC(hdc);
  TRealFont f;
  if (!dc || !metrics || !RealizeFont(dc, f)) return FALSE;
  *metrics = f.Tm;
  return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA metrics) {
  TEXTMETRICW w;
  if (!metrics || !GetTextMetricsW(hdc, &w)) return FALSE;
  std::memcpy(metrics, &w, offsetof(TEXTMETRICA, tmFirstChar));
  metrics->tmFirstChar = 0x1E;
  metrics->tmLastChar = 0xFF;
  metrics->tmDefaultChar = 0x1F;
  metrics->tmBreakChar = 0x20;
  metrics->tmItalic = w.tmItalic;
  metrics->tmUnderlined = w.tmUnderlined;
  metrics->tmStruckOut = w.tmStruckOut;
  metrics->tmPitchAndFamily = w.tmPitchAndFamily;
  metrics->tmCharSet = w.tmCharSet;
  return TRUE;
}

int GetTextCharset(HDC hdc) {
  auto dc = GdiDC(hdc);
  auto f = dc ? GdiFont(dc->S.Font) : nullptr;
  if (!f) return DEFAULT_CHARSET;
  return RealizedCharset(f->Log.lfCharSet);
}

BOOL GetCharWidth32W(HDC hdc, UINT first, UINT last, INT* widths) {
  auto dc = GdiDC(hdc);
  TRealFont f;
  if (!dc || !widths || last < first || !RealizeFont(dc, f)) return FALSE;
  for (UINT c = first; c <= last; ++c) {
    int a = f.Face->Advance(char32_t(c));
    widths[c - first] = f.Scale == 1 ? a : static_cast<int>(std::lround(a / f.Scale));
  }
  return TRUE;
}

BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, INT* widths) { return GetCharWidth32W(hdc, first, last, widths); }

BOOL GetCharABCWidthsW(HDC hdc, UINT first, UINT last, LPABC widths) {
  auto dc = GdiDC(hdc);
  TRealFont f;
  if (!dc || !widths || last < first || !RealizeFont(dc, f)) return FALSE;
  for (UINT c = first; c <= last; ++c) {
    int adv = f.Face->Advance(char32_t(c)), a = 0, cr = 0;
    f.Face->Bearings(char32_t(c), a, cr);
    ABC& abc = widths[c - first];
    abc.abcA = a;
    abc.abcC = cr;
    abc.abcB = static_cast<UINT>(std::max(0, adv - a - cr));
  }
  return TRUE;
}

BOOL GetCharABCWidthsA(HDC hdc, UINT first, UINT last, LPABC widths) {
  return GetCharABCWidthsW(hdc, first, last, widths);
}

int GetTextFaceW(HDC hdc, int count, LPWSTR face) {
  auto dc = GdiDC(hdc);
  auto f = dc ? GdiFont(dc->S.Font) : nullptr;
  if (!f) return 0;
  std::u16string name = FaceOf(f->Log);
  if (name.empty()) name = rtl::backend::ResolveFontFamily(name);
  if (!face) return static_cast<int>(name.size()) + 1;
  if (count <= 0) return 0;
  int n = std::min<int>(count - 1, static_cast<int>(name.size()));
  std::copy(name.begin(), name.begin() + n, face);
  face[n] = 0;
  return n + 1;
}

int GetTextFaceA(HDC hdc, int count, LPSTR face) {
  char16_t buf[LF_FACESIZE + 64];
  int n = GetTextFaceW(hdc, LF_FACESIZE + 64, buf);
  if (n <= 0) return 0;
  std::string s = WideToAnsi(std::u16string(buf));
  if (!face) return static_cast<int>(s.size()) + 1;
  if (count <= 0) return 0;
  int k = std::min<int>(count - 1, static_cast<int>(s.size()));
  std::memcpy(face, s.data(), size_t(k));
  face[k] = 0;
  return k + 1;
}

namespace {

int EnumFamilies(HDC hdc, const std::u16string& only, BYTE charset, FONTENUMPROCW proc, LPARAM lparam) {
  if (!proc) return 0;
  int last = 1;
  for (const std::u16string& family : rtl::backend::FontFamilies()) {
    if (!only.empty()) {
      std::u16string a = family, b = only;
      for (auto* s : {&a, &b})
        for (char16_t& c : *s)
          if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
      if (a != b) continue;
    }
    bool fixed = rtl::backend::FamilyIsFixedPitch(family);
    ENUMLOGFONTEXW elf{};
    LOGFONTW& lf = elf.elfLogFont;
    lf.lfHeight = 16;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = charset == DEFAULT_CHARSET ? ANSI_CHARSET : charset;
    lf.lfOutPrecision = OUT_STROKE_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = DRAFT_QUALITY;
    lf.lfPitchAndFamily = static_cast<BYTE>((fixed ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS));
    for (size_t i = 0; i < family.size() && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = family[i];
    for (size_t i = 0; i < family.size() && i < LF_FULLFACESIZE - 1; ++i) elf.elfFullName[i] = family[i];
    const char16_t style[] = u"Regular", script[] = u"Western";
    std::copy(std::begin(style), std::end(style), elf.elfStyle);
    std::copy(std::begin(script), std::end(script), elf.elfScript);
    NEWTEXTMETRICEXW ntm{};
    HFONT font = CreateFontIndirectW(&lf);
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(mem, &tm);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(font);
    std::memcpy(&ntm.ntmTm, &tm, sizeof(tm));
    ntm.ntmTm.ntmFlags = NTM_REGULAR;
    ntm.ntmTm.ntmSizeEM = 2048;
    ntm.ntmTm.ntmCellHeight = static_cast<UINT>(tm.tmHeight);
    ntm.ntmTm.ntmAvgWidth = static_cast<UINT>(tm.tmAveCharWidth);
    ntm.ntmFontSig.fsCsb[0] = 1;
    last = proc(&elf.elfLogFont, reinterpret_cast<const TEXTMETRICW*>(&ntm), TRUETYPE_FONTTYPE, lparam);
    if (!last) break;
  }
  return last;
}

struct TAnsiEnum {
  FONTENUMPROCA Proc;
  LPARAM Param;
};

int AnsiThunk(const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM param) {
  auto* e = reinterpret_cast<TAnsiEnum*>(param);
  const auto* elf = reinterpret_cast<const ENUMLOGFONTEXW*>(lf);
  const auto* ntm = reinterpret_cast<const NEWTEXTMETRICEXW*>(tm);
  ENUMLOGFONTEXA a{};
  a.elfLogFont = Narrow(elf->elfLogFont);
  auto copy = [](const char16_t* w, BYTE* out, size_t cap) {
    std::string s = WideToAnsi(std::u16string(w));
    if (s.size() > cap - 1) s.resize(cap - 1);
    std::memcpy(out, s.data(), s.size());
  };
  copy(elf->elfFullName, a.elfFullName, LF_FULLFACESIZE);
  copy(elf->elfStyle, a.elfStyle, LF_FACESIZE);
  copy(elf->elfScript, a.elfScript, LF_FACESIZE);
  NEWTEXTMETRICEXA m{};
  std::memcpy(&m.ntmTm, &ntm->ntmTm, offsetof(NEWTEXTMETRICA, tmFirstChar));
  m.ntmTm.tmFirstChar = 0x1E;
  m.ntmTm.tmLastChar = 0xFF;
  m.ntmTm.tmDefaultChar = 0x1F;
  m.ntmTm.tmBreakChar = 0x20;
  m.ntmTm.tmItalic = ntm->ntmTm.tmItalic;
  m.ntmTm.tmUnderlined = ntm->ntmTm.tmUnderlined;
  m.ntmTm.tmStruckOut = ntm->ntmTm.tmStruckOut;
  m.ntmTm.tmPitchAndFamily = ntm->ntmTm.tmPitchAndFamily;
  m.ntmTm.tmCharSet = ntm->ntmTm.tmCharSet;
  m.ntmTm.ntmFlags = ntm->ntmTm.ntmFlags;
  m.ntmTm.ntmSizeEM = ntm->ntmTm.ntmSizeEM;
  m.ntmTm.ntmCellHeight = ntm->ntmTm.ntmCellHeight;
  m.ntmTm.ntmAvgWidth = ntm->ntmTm.ntmAvgWidth;
  m.ntmFontSig = ntm->ntmFontSig;
  return e->Proc(&a.elfLogFont, reinterpret_cast<const TEXTMETRICA*>(&m), type, e->Param);
}

}  // namespace

int EnumFontFamiliesExW(HDC hdc, LOGFONTW* font, FONTENUMPROCW proc, LPARAM lparam, DWORD) {
  return EnumFamilies(hdc, font ? FaceOf(*font) : std::u16string(), font ? font->lfCharSet : BYTE(DEFAULT_CHARSET),
                      proc, lparam);
}

int EnumFontFamiliesW(HDC hdc, LPCWSTR family, FONTENUMPROCW proc, LPARAM lparam) {
  return EnumFamilies(hdc, family ? std::u16string(family) : std::u16string(), DEFAULT_CHARSET, proc, lparam);
}

int EnumFontFamiliesExA(HDC hdc, LOGFONTA* font, FONTENUMPROCA proc, LPARAM lparam, DWORD flags) {
  if (!proc) return 0;
  TAnsiEnum e{proc, lparam};
  LOGFONTW w{};
  if (font) w = Widen(*font);
  return EnumFontFamiliesExW(hdc, font ? &w : nullptr, &AnsiThunk, reinterpret_cast<LPARAM>(&e), flags);
}

int EnumFontFamiliesA(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM lparam) {
  if (!proc) return 0;
  TAnsiEnum e{proc, lparam};
  WideString w = family ? AnsiToWide(family) : WideString();
  return EnumFontFamiliesW(hdc, family ? w.c_str() : nullptr, &AnsiThunk, reinterpret_cast<LPARAM>(&e));
}

namespace {
// What AddFontResourceExA added, by file and flags: remove must name both,
// and a file added n times is gone after n removes.
struct TAddedFont {
  std::string Path;
  DWORD Flags;
  int Id;
};
std::mutex gAddedFontsLock;
std::vector<TAddedFont> gAddedFonts;

std::string FontPathKey(LPCSTR name) {
  char* full = realpath(name, nullptr);
  if (!full) return name;
  std::string key(full);
  free(full);
  return key;
}
}  // namespace

int AddFontResourceExA(LPCSTR name, DWORD flags, void*) {
  if (!name || !*name) return 0;
  int id = -1;
  int faces = rtl::backend::AddFontFile(name, &id);
  if (faces <= 0) return 0;
  std::lock_guard g(gAddedFontsLock);
  gAddedFonts.push_back({FontPathKey(name), flags, id});
  return faces;
}

BOOL RemoveFontResourceExA(LPCSTR name, DWORD flags, void*) {
  if (!name || !*name) return FALSE;
  std::string key = FontPathKey(name);
  int id = -1;
  {
    std::lock_guard g(gAddedFontsLock);
    auto it = std::find_if(gAddedFonts.rbegin(), gAddedFonts.rend(),
                           [&](const TAddedFont& f) { return f.Path == key && f.Flags == flags; });
    if (it == gAddedFonts.rend()) return FALSE;
    id = it->Id;
    gAddedFonts.erase(std::next(it).base());
  }
  return rtl::backend::RemoveFontFile(id) ? TRUE : FALSE;
}
