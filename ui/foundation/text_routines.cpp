#include "ui/foundation/text_routines.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "platform/rtl/text_codec.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/cx_components.h"

namespace {

// A count as the routines take it: negative means the whole text, and a
// count never reaches past the text.
int ClampCount(const AnsiString& AText, Integer ACount) {
  const int length = static_cast<int>(AText.size());
  return ACount < 0 ? length : std::min(ACount, length);
}

// The shared screen canvas's DC, given back when the scope ends, and the
// canvas's font as it was: a measurement without a font of its own must
// not get the one an earlier measurement assigned.
class TScreenDC {
  TcxScreenCanvas* FCanvas = cxSharedScreenCanvas();
  TFont FFont;

 public:
  TScreenDC() {
    if (FCanvas) FFont.Assign(FCanvas->GetFont());
  }
  ~TScreenDC() {
    if (!FCanvas) return;
    FCanvas->ReleaseScreenDC();
    FCanvas->GetFont()->Assign(&FFont);
  }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  TcxScreenCanvas* Canvas() const { return FCanvas; }
};

// Drops the bytes of a UTF-8 sequence the end of the text cuts short.
void TrimBrokenTail(AnsiString& S) {
  size_t lead = S.size();
  size_t back = 0;
  while (lead > 0 && back < 4 && (static_cast<Byte>(S[lead - 1]) & 0xC0) == 0x80) {
    --lead;
    ++back;
  }
  if (lead == 0) return;
  const Byte b = static_cast<Byte>(S[lead - 1]);
  const size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  if (need > 1 && back + 1 < need) S.resize(lead - 1);
}

constexpr UINT kWrappedCalc = DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK;

TRect WrappedCalc(HDC ADC, const AnsiString& AText, Integer AWidth) {
  TRect r(0, 0, AWidth, 1);
  cxDrawTextDC(ADC, AText, r, TRANSPARENT, clDefault, -1, kWrappedCalc);
  return r;
}

template <typename S>
S StripAccel(const S& AText, bool AUnderscoreForTrailing) {
  S result;
  result.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != '&') {
      result.push_back(AText[i]);
    } else if (i + 1 < AText.size()) {
      result.push_back(AText[++i]);
    } else if (AUnderscoreForTrailing) {
      result.push_back('_');
    }
  }
  return result;
}

}  // namespace

Integer cxDrawTextDC(HDC ADC, const AnsiString& AText, TRect& R, Integer ABkMode, TColor AColor, Integer ACount,
                     UINT AFlags) {
  const int count = ClampCount(AText, ACount);
  if (count == 0) return DrawTextA(ADC, AText.c_str(), 0, &R, AFlags);
  const bool setColor = AColor != clDefault;
  const COLORREF oldColor = setColor ? SetTextColor(ADC, ColorToRGB(AColor)) : 0;
  const int oldMode = SetBkMode(ADC, ABkMode);
  const int result = DrawTextA(ADC, AText.c_str(), count, &R, AFlags);
  SetBkMode(ADC, oldMode);
  if (setColor) SetTextColor(ADC, oldColor);
  return result;
}

bool cxExtTextOutString(HDC ADC, const AnsiString& AText, const TPoint& P, Integer ACount, UINT AOptions,
                        const TRect& ARect) {
  return ExtTextOutA(ADC, P.X, P.Y, AOptions, &ARect, AText.c_str(), static_cast<UINT>(ClampCount(AText, ACount)),
                     nullptr) != FALSE;
}

bool cxMeasureTextDC(HDC ADC, const AnsiString& AText, TSize& ASize, Integer ACount) {
  ASize = TSize(0, 0);
  SIZE size{};
  if (!GetTextExtentPoint32A(ADC, AText.c_str(), ClampCount(AText, ACount), &size)) return false;
  ASize = TSize(size.cx, size.cy);
  return true;
}

Integer cxGetDCFontHeight(HDC ADC) {
  TEXTMETRICA tm{};
  GetTextMetricsA(ADC, &tm);
  return tm.tmHeight;
}

bool cxGetFontTextMetrics(TFont* AFont, TEXTMETRICA& AMetrics) {
  AMetrics = TEXTMETRICA{};
  TScreenDC screen;
  if (!screen.Canvas() || !AFont) return false;
  screen.Canvas()->GetFont()->Assign(AFont);
  return GetTextMetricsA(screen.Canvas()->GetHandle(), &AMetrics) != FALSE;
}

Integer cxGetFontLineHeight(TFont* AFont) {
  TEXTMETRICA tm{};
  cxGetFontTextMetrics(AFont, tm);
  return tm.tmHeight;
}

TSize cxMeasureFontText(TFont* AFont, const AnsiString& AText, Integer APointSize) {
  TScreenDC screen;
  if (!screen.Canvas() || !AFont) return TSize(0, 0);
  TcxCanvas* canvas = screen.Canvas();
  canvas->GetFont()->Assign(AFont);
  if (APointSize != 0) canvas->GetFont()->SetSize(APointSize);
  return canvas->GetTextSize(AText);
}

Integer cxMeasureFontTextWidth(TFont* AFont, const AnsiString& AText, Integer APointSize) {
  return cxMeasureFontText(AFont, AText, APointSize).cx;
}

TSize cxTextSizeDC(HDC ADC, const AnsiString& AText) {
  TRect r;
  cxCalcTextRect(ADC, AText, 1, r);
  return TSize(r.Right, r.Bottom);
}

void cxCalcTextRect(HDC ADC, const AnsiString& AText, Integer ALineCount, TRect& R, bool AClipHeight) {
  R = TRect(0, 0, 0, 0);
  TRect line;
  cxDrawTextDC(ADC, AText, line, TRANSPARENT, clDefault, -1, DT_CALCRECT | DT_SINGLELINE);
  if (ALineCount == 1) {
    R = line;
    return;
  }
  const Integer limit = ALineCount > 0 ? ALineCount * cxGetDCFontHeight(ADC) : 32000;
  // Between the widest unbreakable part and the single line.
  Integer lo = WrappedCalc(ADC, AText, 1).Right;
  Integer hi = line.Right;
  while (hi - lo > 1) {
    const Integer mid = (lo + hi) / 2;
    if (WrappedCalc(ADC, AText, mid).Bottom > limit)
      lo = mid;
    else
      hi = mid;
  }
  R = WrappedCalc(ADC, AText, lo);
  if (R.Bottom > limit) R = WrappedCalc(ADC, AText, hi);
  if (AClipHeight) R.Bottom = limit;
}

void cxEllipsizeText(HDC ADC, HFONT AFont, const AnsiString& AText, AnsiString& AResult, Integer AKind,
                     Integer AMaxWidth) {
  AResult.clear();
  if (AText.empty() || AMaxWidth <= 0) return;
  // The text, its terminator and room for the ellipsis DrawText may add.
  std::vector<char> buffer(AText.size() + 5, 0);
  std::memcpy(buffer.data(), AText.data(), AText.size());
  std::unique_ptr<TScreenDC> screen;
  HDC dc = ADC;
  if (!dc) {
    screen = std::make_unique<TScreenDC>();
    if (!screen->Canvas()) return;
    dc = screen->Canvas()->GetHandle();
  }
  if (AFont) SelectObject(dc, AFont);
  TRect r(0, 0, AMaxWidth, 32);
  const UINT kind = AKind == cxEllipsisPath ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS;
  DrawTextExA(dc, buffer.data(), -1, &r, DT_MODIFYSTRING | DT_CALCRECT | DT_SINGLELINE | kind, nullptr);
  AResult.assign(buffer.data());
  TrimBrokenTail(AResult);
}

void cxWrapTextLines(const AnsiString& AText, TcxCanvas* ACanvas, const TRect& R, TStrings* ALines) {
  if (AText.empty() || !ACanvas || !ALines) return;
  const WideString text = AnsiToWide(AText);
  const Integer n = static_cast<Integer>(text.size());
  const Integer width = R.Right - R.Left;
  HDC dc = ACanvas->GetHandle();
  // 1-based positions, as the rules below count them.
  auto at = [&](Integer p) { return text[static_cast<size_t>(p - 1)]; };
  auto isBlank = [&](Integer p) {
    const WideChar c = at(p);
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
  };
  auto isBreak = [&](Integer p) { return at(p) == u'\r' || at(p) == u'\n'; };
  // A blank preceded by a blank: runs of blanks become words of one blank.
  auto isDoubleBlank = [&](Integer p) { return p >= 2 && p <= n && isBlank(p) && isBlank(p - 1); };
  auto part = [&](Integer from, Integer to) {
    if (to < from) return AnsiString();
    return WideToAnsi(text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1)));
  };
  auto skipBreaks = [&](Integer p) {
    while (p <= n && isBreak(p)) ++p;
    return p;
  };

  Integer prevEnd = 0;
  Integer lineStart = 1;
  do {
    Integer start = prevEnd + 1;
    while (start < n && isBlank(start) && !isDoubleBlank(start)) ++start;
    Integer end = start;
    while (end + 1 <= n && !isBlank(end + 1) && !isDoubleBlank(end)) ++end;

    Integer lineBreak = 0;
    for (Integer p = lineStart; p <= std::min(end, n); ++p)
      if (isBreak(p)) {
        lineBreak = p;
        break;
      }
    if (lineBreak) {
      ALines->Add(part(lineStart, lineBreak - 1));
      lineStart = skipBreaks(lineBreak);
      start = lineStart;
    } else if (cxTextSizeDC(dc, part(lineStart, end)).cx > width) {
      ALines->Add(part(lineStart, prevEnd));
      lineStart = skipBreaks(start);
    }
    prevEnd = end;
  } while (prevEnd < n);
  ALines->Add(part(lineStart, n));
}

Integer cxDrawWrappedText(TcxCanvas* ACanvas, const AnsiString& AText, const TRect& R, TColor AColor, UINT AFlags) {
  if (!ACanvas) return 0;
  TStringList lines;
  cxWrapTextLines(AText, ACanvas, R, &lines);
  HDC dc = ACanvas->GetHandle();
  const Integer h = cxGetDCFontHeight(dc);
  const Integer n = lines.Count();
  Integer top = R.Top;
  if (AFlags & DT_VCENTER)
    top = std::max(R.Top, R.Top + (R.Bottom - R.Top - n * h) / 2);
  else if (AFlags & DT_BOTTOM)
    top = std::max(R.Top, R.Bottom - n * h);
  for (Integer i = 0; i < n; ++i, top += h) {
    TRect line(R.Left, top, R.Right, top + h);
    cxDrawTextDC(dc, lines.Get(i), line, TRANSPARENT, AColor, -1, AFlags | DT_SINGLELINE);
  }
  return n;
}

Integer cxDrawRotatedText(TcxCanvas* ACanvas, const AnsiString& AText, const TRect& R, TcxQuarterTurn ARotation,
                          TColor AColor, UINT AFlags) {
  if (!ACanvas) return 0;
  if (ARotation == qtNone) {
    TRect r = R;
    return cxDrawTextDC(ACanvas->GetHandle(), AText, r, TRANSPARENT, AColor, -1, AFlags);
  }
  if (R.Right <= R.Left || R.Bottom <= R.Top) return 0;
  TcxBitmap bitmap(R, pf32bit);
  TCanvas* target = bitmap.Canvas();
  BitBlt(target->Handle(), 0, 0, R.Right - R.Left, R.Bottom - R.Top, ACanvas->GetHandle(), R.Left, R.Top, SRCCOPY);
  const TcxQuarterTurn inverse = ARotation == qtLeft ? qtRight : ARotation == qtRight ? qtLeft : qtHalf;
  bitmap.RotateFlip(inverse);
  target->Font()->Assign(ACanvas->GetFont());
  TRect client = bitmap.GetClientRect();
  const Integer result = cxDrawTextDC(target->Handle(), AText, client, TRANSPARENT, AColor, -1, AFlags);
  bitmap.RotateFlip(ARotation);
  BitBlt(ACanvas->GetHandle(), R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top, bitmap.Canvas()->Handle(), 0, 0,
         SRCCOPY);
  return result;
}

Byte cxGetDefaultCharset() {
  static const Byte charset = [] {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const int value = GetTextCharset(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    return static_cast<Byte>(value < 0 ? ANSI_CHARSET : value);
  }();
  return charset;
}

bool cxIsComplexScriptText(Byte ACharset, const AnsiString& AText) {
  if (ACharset == DEFAULT_CHARSET) ACharset = cxGetDefaultCharset();
  if (!AText.empty() && static_cast<Byte>(AText[0]) < 0x80 && cxCharLengthAt(AText, 1) == 1) return false;
  return ACharset == GB2312_CHARSET || ACharset == CHINESEBIG5_CHARSET || ACharset == ARABIC_CHARSET;
}

void cxSetFontNonAntialiased(TFont* AFont) {
  if (!AFont) return;
  LOGFONTA log{};
  if (!GetObjectA(AFont->Handle(), sizeof(log), &log)) return;
  log.lfQuality = NONANTIALIASED_QUALITY;
  AFont->SetHandle(CreateFontIndirectA(&log));
}

AnsiString cxStripAccelChars(const AnsiString& S, bool AUnderscoreForTrailing) {
  return StripAccel(S, AUnderscoreForTrailing);
}

WideString cxStripAccelCharsW(const WideString& S, bool AUnderscoreForTrailing) {
  return StripAccel(S, AUnderscoreForTrailing);
}
