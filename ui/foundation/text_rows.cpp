#include "ui/foundation/text_rows.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/rtl/syslocale.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/kernel/kernel_codepages.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/text_routines.h"

namespace {

constexpr WideChar kEllipsis[] = u"...";
// TabbedTextOut writes at most this many characters.
constexpr Integer kMaxTabbedOutput = 4096;

HBRUSH SolidBarBrush = nullptr;
HBRUSH CheckerBarBrush = nullptr;

HBRUSH MakePatternBrush(Byte AEven, Byte AOdd) {
  // Monochrome rows are word-aligned.
  WORD bits[8];
  for (int i = 0; i < 8; ++i) bits[i] = (i % 2 == 0) ? AEven : AOdd;
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  return brush;
}

void CreateBarBrushes() {
  if (!SolidBarBrush) SolidBarBrush = MakePatternBrush(0x00, 0x00);
  if (!CheckerBarBrush) CheckerBarBrush = MakePatternBrush(0x55, 0xAA);
}

bool IsLineBreak(WideChar C) { return C == u'\r' || C == u'\n'; }
bool IsBlank(WideChar C) { return C == u' ' || C == u'\t'; }
bool IsNone(TColor AColor) { return AColor == clNone || AColor == clDefault; }

bool DefaultMeasure(HDC ADC, const WideChar* AText, Integer ALength, bool AExpandTabs, NativeInt, TSize& ASize) {
  return cxMeasureTextExtent(ADC, AText, ALength, ASize, AExpandTabs);
}

TSize MeasureWith(TcxMeasureTextProc AMeasure, NativeInt ACallerValue, HDC ADC, const WideChar* AText, Integer ALength,
                  bool AExpandTabs) {
  TSize size;
  (AMeasure ? AMeasure : DefaultMeasure)(ADC, AText, ALength, AExpandTabs, ACallerValue, size);
  return size;
}

TSize DrawTextExtent(HDC ADC, const WideChar* AText, Integer ALength) {
  RECT r{0, 0, 0, 0};
  DrawTextW(ADC, AText, ALength, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
  return TSize(r.Right - r.Left, r.Bottom - r.Top);
}

bool IsHighSurrogate(WideChar C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(WideChar C) { return C >= 0xDC00 && C <= 0xDFFF; }

// Where a line break at APos ends: CR with an optional LF, or LF with an
// optional CR.
Integer SkipLineBreak(const WideChar* AText, Integer AEnd, Integer APos) {
  const WideChar first = AText[APos++];
  const WideChar pair = first == u'\r' ? u'\n' : u'\r';
  if (APos < AEnd && AText[APos] == pair) ++APos;
  return APos;
}

// The clip region of the DC, saved on demand and put back once.
class TClipKeeper {
  HDC FDC;
  HRGN FSaved = nullptr;
  bool FHadClip = false;
  bool FActive = false;

 public:
  explicit TClipKeeper(HDC ADC) : FDC(ADC) {}
  ~TClipKeeper() {
    Restore();
    if (FSaved) DeleteObject(FSaved);
  }
  TClipKeeper(const TClipKeeper&) = delete;
  TClipKeeper& operator=(const TClipKeeper&) = delete;
  void Save() {
    if (FActive) return;
    if (!FSaved) FSaved = CreateRectRgn(0, 0, 0, 0);
    FHadClip = GetClipRgn(FDC, FSaved) == 1;
    FActive = true;
  }
  void Restore() {
    if (!FActive) return;
    SelectClipRgn(FDC, FHadClip ? FSaved : nullptr);
    FActive = false;
  }
};

void DrawRowText(HDC ADC, const TcxTextLayoutParams& AParams, const TcxTextRowEntry& ARow) {
  if (AParams.ExpandTabs)
    TabbedTextOutW(ADC, ARow.Left, ARow.Top, ARow.Text, std::min(ARow.Length, kMaxTabbedOutput), 0, nullptr, ARow.Left);
  else
    TextOutW(ADC, ARow.Left, ARow.Top, ARow.Text, ARow.Length);
}

void DrawEllipsis(HDC ADC, const TRect& ATextRect, const TcxTextLayoutParams& AParams, const TcxTextRowEntry& ARow) {
  const Integer x = ARow.Left + ARow.Width;
  if (x >= ATextRect.Right) return;
  RECT clip{x, ARow.Top, ATextRect.Right, ARow.Top + AParams.RowPitch};
  const bool fits = x + AParams.EllipsisWidth <= ATextRect.Right;
  ExtTextOutW(ADC, x, ARow.Top, (AParams.NoClip || fits) ? 0 : ETO_CLIPPED, &clip, kEllipsis, 3, nullptr);
}

}  // namespace

// ---- Rows -------------------------------------------------------------------------------

TcxTextRowEntry& cxGetTextRow(TcxTextRows& ARows, Integer AIndex) {
  return AIndex < cxTextRowsInline ? ARows.Rows[AIndex] : ARows.Dynamic[static_cast<size_t>(AIndex - cxTextRowsInline)];
}

const TcxTextRowEntry& cxGetTextRow(const TcxTextRows& ARows, Integer AIndex) {
  return AIndex < cxTextRowsInline ? ARows.Rows[AIndex] : ARows.Dynamic[static_cast<size_t>(AIndex - cxTextRowsInline)];
}

void cxClearTextRows(TcxTextRows& ARows) {
  ARows.RowCount = 0;
  TcxDynamicTextRows().swap(ARows.Dynamic);
}

namespace {

TcxTextRowEntry& AddRow(TcxTextRows& ARows) {
  const Integer index = ARows.RowCount++;
  if (index >= cxTextRowsInline) {
    const size_t needed = static_cast<size_t>(index - cxTextRowsInline + 1);
    if (ARows.Dynamic.size() < needed) ARows.Dynamic.resize(static_cast<size_t>(ARows.RowCount - cxTextRowsInline + 4));
  }
  TcxTextRowEntry& row = cxGetTextRow(ARows, index);
  row = TcxTextRowEntry{};
  return row;
}

}  // namespace

// ---- Parameters -------------------------------------------------------------------------

void cxInitTextLayoutParams(HDC ADC, Integer AFlags, TcxTextLayoutParams& AParams, double ALineSpacing) {
  AParams = TcxTextLayoutParams{};
  TEXTMETRICW tm{};
  if (!GetTextMetricsW(ADC, &tm)) {
    TEXTMETRICA a{};
    GetTextMetricsA(ADC, &a);
    tm.tmHeight = a.tmHeight;
    tm.tmExternalLeading = a.tmExternalLeading;
    tm.tmWeight = a.tmWeight;
    tm.tmBreakChar = static_cast<Byte>(a.tmBreakChar);
    tm.tmMaxCharWidth = a.tmMaxCharWidth;
    tm.tmCharSet = a.tmCharSet;
  }
  AParams.FontHeight = tm.tmHeight;
  AParams.Leading = (AFlags & TLF_LEADING) ? tm.tmExternalLeading : 0;
  AParams.Bold = tm.tmWeight >= FW_BOLD;
  AParams.BreakChar = tm.tmBreakChar;
  AParams.HorzAlignment = static_cast<Byte>(AFlags & 7);
  // Bits 0-2 above the spread value ask for nothing known: left.
  if (AParams.HorzAlignment > TLF_SPREAD) AParams.HorzAlignment = TLF_LEFT;
  AParams.VertAlignment = static_cast<Byte>((AFlags >> 4) & 3);
  AParams.WordWrap = (AFlags & TLF_WORDWRAP) != 0;
  AParams.OneLine = (AFlags & TLF_ONELINE) != 0;
  AParams.ExpandTabs = (AFlags & TLF_TABS) != 0;
  AParams.Ellipsis = (AFlags & TLF_ELLIPSIS) != 0;
  AParams.AddLeading = (AFlags & TLF_LEADING) != 0;
  AParams.EditRules = (AFlags & TLF_EDITRULES) != 0;
  AParams.TrimWrapSpaces = (AFlags & TLF_TRIMWRAPSPACES) != 0;
  AParams.NoClip = (AFlags & TLF_NOCLIP) != 0;
  AParams.Inset = (AFlags & TLF_INSET) != 0;
  AParams.Bars = (AFlags & TLF_BARS) != 0;
  AParams.KeepLeft = (AFlags & TLF_KEEPLEFT) != 0;
  AParams.KeepTop = (AFlags & TLF_KEEPTOP) != 0;
  AParams.CharWrap = (AFlags & TLF_CHARWRAP) != 0 || SysLocale.FarEast;
  AParams.CountRows = (AFlags & TLF_COUNTROWS) != 0;
  AParams.Measure = (AFlags & TLF_MEASURE) != 0;
  AParams.MaxCharWidth = tm.tmMaxCharWidth;
  AParams.CharSet = tm.tmCharSet;
  AParams.StripAccel = (AFlags & TLF_STRIPACCEL) != 0;

  POINT pixel[2] = {{0, 0}, {1, 1}};
  DPtoLP(ADC, pixel, 2);
  AParams.OnePixel = pixel[1].X - pixel[0].X;

  // A spacing that is no number, negative or absurd would put rows
  // anywhere: keep it between 0 and 1000 lines.
  if (!(ALineSpacing >= 0)) ALineSpacing = 1.0;
  ALineSpacing = std::min(ALineSpacing, 1000.0);
  AParams.RowPitch = static_cast<Integer>(std::nearbyint((AParams.FontHeight + AParams.Leading) * ALineSpacing));

  if (AParams.Bars) {
    POINT six[2] = {{0, 0}, {6, 6}};
    DPtoLP(ADC, six, 2);
    AParams.Bars = AParams.FontHeight < six[1].Y - six[0].Y;
  }
  if (AParams.Ellipsis) {
    TSize size;
    cxMeasureTextExtent(ADC, kEllipsis, 3, size, false);
    AParams.EllipsisWidth = size.cx;
  }
}

bool cxTextRowsWrap(const TcxTextLayoutParams& AParams) {
  return !AParams.OneLine &&
         (AParams.WordWrap || AParams.HorzAlignment == TLF_JUSTIFY || AParams.HorzAlignment == TLF_SPREAD);
}

bool cxTextRowsBreakChars(const TcxTextLayoutParams& AParams) {
  return cxTextRowsWrap(AParams) && (AParams.CharWrap || AParams.EditRules);
}

void cxShrinkTextRect(const TRect& R, const TcxTextLayoutParams& AParams, Integer ALeftIndent, Integer ARightIndent,
                      TRect& ATextRect) {
  ATextRect = R;
  if (AParams.Inset) {
    const Integer d = 2 * AParams.OnePixel;
    ATextRect = TRect(R.Left + d, R.Top + d, R.Right - d, R.Bottom - d);
  }
  ATextRect.Left += ALeftIndent * AParams.OnePixel;
  ATextRect.Right -= ARightIndent * AParams.OnePixel;
}

void cxGrowTextRect(const TRect& ATextRect, const TcxTextLayoutParams& AParams, Integer ALeftIndent,
                    Integer ARightIndent, TRect& R) {
  R = ATextRect;
  R.Left -= ALeftIndent * AParams.OnePixel;
  R.Right += ARightIndent * AParams.OnePixel;
  if (AParams.Inset) {
    const Integer d = 2 * AParams.OnePixel;
    R = TRect(R.Left - d, R.Top - d, R.Right + d, R.Bottom + d);
  }
}

// ---- Measuring --------------------------------------------------------------------------

bool cxMeasureTextExtent(HDC ADC, const WideChar* AText, Integer ALength, TSize& ASize, bool AExpandTabs) {
  ASize = TSize(0, 0);
  if (ALength < 0 || (ALength > 0 && !AText)) return false;
  if (!AExpandTabs) {
    SIZE size{};
    if (!GetTextExtentPoint32W(ADC, AText, ALength, &size)) return false;
    ASize = TSize(size.cx, size.cy);
    return true;
  }
  if (ALength < kMaxTabbedOutput) {
    const DWORD extent = GetTabbedTextExtentW(ADC, AText, ALength, 0, nullptr);
    ASize = TSize(LOWORD(extent), HIWORD(extent));
    SIZE w{};
    GetTextExtentPoint32W(ADC, u"W", 1, &w);
    // The width has only 16 bits: restore what it lost from DrawText's.
    if (static_cast<Int64>(ALength) * w.cx > 0xFFFF) {
      const TSize full = DrawTextExtent(ADC, AText, ALength);
      if (full.cx > 0xFFFF) ASize.cx = (ASize.cx & 0xFFFF) + 0x10000 * (full.cx / 0x10000);
    }
    return extent != 0 || ALength == 0;
  }
  ASize = DrawTextExtent(ADC, AText, ALength);
  if (ALength > kMaxTabbedOutput && ASize.cx == 0) ASize = DrawTextExtent(ADC, AText, kMaxTabbedOutput);
  return true;
}

// ---- Characters and tokens ---------------------------------------------------------------

bool cxIsFarEastChar(WideChar C) {
  if (C < 0x80) return false;
  if ((C >= 0x4E00 && C <= 0x9FFF) || (C >= 0x3040 && C <= 0x309F) || (C >= 0x30A0 && C <= 0x30FF) ||
      (C >= 0xAC00 && C <= 0xD7A3))
    return true;
  // Only a double-byte system code page says more; under UTF-8 every
  // accented Latin letter takes two bytes and is no Far-East character.
  const UINT codePage = GetACP();
  if (codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950) return false;
  char bytes[4];
  return WideCharToMultiByte(codePage, 0, &C, 1, bytes, sizeof bytes, nullptr, nullptr) > 1;
}

bool cxIsNoLineStartChar(WideChar C) {
  static constexpr WideChar kChars[] = {
      0x0021, 0x0025, 0x0029, 0x002C, 0x002E, 0x003A, 0x003B, 0x003E, 0x003F, 0x005D, 0x007D, 0x00A8, 0x00B0,
      0x00B7, 0x02C7, 0x02C9, 0x2013, 0x2014, 0x2015, 0x2016, 0x2018, 0x2019, 0x201D, 0x2022, 0x2025, 0x2026,
      0x2027, 0x2032, 0x2033, 0x2103, 0x2236, 0x2574, 0x3001, 0x3002, 0x3003, 0x3005, 0x3009, 0x300B, 0x300D,
      0x300F, 0x3011, 0x3015, 0x3017, 0x301E, 0x309B, 0x309C, 0xFE30, 0xFE31, 0xFE33, 0xFE34, 0xFE36, 0xFE38,
      0xFE3A, 0xFE3C, 0xFE3E, 0xFE40, 0xFE42, 0xFE44, 0xFE4F, 0xFE50, 0xFE51, 0xFE52, 0xFE54, 0xFE55, 0xFE56,
      0xFE57, 0xFE5A, 0xFE5C, 0xFE5E, 0xFF01, 0xFF02, 0xFF05, 0xFF07, 0xFF09, 0xFF0C, 0xFF0D, 0xFF0E, 0xFF1A,
      0xFF1B, 0xFF1E, 0xFF1F, 0xFF3D, 0xFF5C, 0xFF5D, 0xFF5E, 0xFF61, 0xFF63, 0xFF64, 0xFF9E, 0xFF9F};
  if (C >= 0xFFE0) return true;
  return std::binary_search(std::begin(kChars), std::end(kChars), C);
}

Integer cxScanTextToken(const WideChar* AText, Integer ALength, Integer APos, bool AWrapping) {
  Integer end = APos;
  if (!AWrapping) {
    while (end < ALength && !IsLineBreak(AText[end])) ++end;
    return end;
  }
  if (end >= ALength || IsLineBreak(AText[end])) return end;
  const WideChar first = AText[end++];
  if (IsBlank(first)) return end;
  if (cxIsFarEastChar(first)) {
    if (end < ALength && cxIsNoLineStartChar(AText[end])) ++end;
    return end;
  }
  while (end < ALength && !IsBlank(AText[end]) && !IsLineBreak(AText[end]) && !cxIsFarEastChar(AText[end])) ++end;
  return end;
}

Integer cxFitCharCount(HDC ADC, const WideChar* AToken, Integer ALength, Integer AWidthLeft,
                       const TcxTextLayoutParams& AParams, TcxMeasureTextProc AMeasure, NativeInt ACallerValue) {
  if (ALength <= 1) return 1;
  // Prefix lengths lo fit (0 trivially), hi does not.
  Integer lo = 0, hi = ALength;
  while (hi - lo > 1) {
    const Integer mid = lo + (hi - lo) / 2;
    if (MeasureWith(AMeasure, ACallerValue, ADC, AToken, mid, AParams.ExpandTabs).cx <= AWidthLeft)
      lo = mid;
    else
      hi = mid;
  }
  Integer count = std::max<Integer>(lo, 1);
  if (count < ALength && IsHighSurrogate(AToken[count - 1]) && IsLowSurrogate(AToken[count]))
    count += count == 1 ? 1 : -1;
  return count;
}

// ---- Building rows ---------------------------------------------------------------------

void cxBuildTextRow(HDC ADC, const WideChar* AText, Integer AStart, Integer ARemaining, Integer AMaxWidth,
                    const TcxTextLayoutParams& AParams, bool AMayKeepWords, TcxTextRowEntry& ARow, Integer& ANextStart,
                    TcxMeasureTextProc AMeasure, NativeInt ACallerValue) {
  const Integer end = AStart + std::max<Integer>(ARemaining, 0);
  const bool wrapping = cxTextRowsWrap(AParams);
  Integer pos = AStart, rowEnd = end, next = end;
  Integer widthSoFar = 0;
  bool wrapped = false;
  while (pos < end) {
    const Integer token = cxScanTextToken(AText, end, pos, wrapping);
    const Integer width =
        MeasureWith(AMeasure, ACallerValue, ADC, AText + AStart, token - AStart, AParams.ExpandTabs).cx;
    if (wrapping && width > AMaxWidth) {
      if (pos > AStart && !AMayKeepWords) {
        rowEnd = next = pos;
        wrapped = true;
      } else if (cxTextRowsBreakChars(AParams) && token > pos) {
        rowEnd = next = pos + cxFitCharCount(ADC, AText + pos, token - pos, AMaxWidth - widthSoFar, AParams, AMeasure,
                                             ACallerValue);
      } else {
        rowEnd = next = token;
        wrapped = true;
        if (AParams.Ellipsis) {
          if (next < end && AText[next] == u'\r') {
            ++next;
            if (next < end && AText[next] == u'\n') ++next;
          }
          if (next < end && AText[next] == u'\n') {
            ++next;
            if (next < end && AText[next] == u'\r') ++next;
          }
        }
      }
      break;
    }
    if (token < end && IsLineBreak(AText[token])) {
      rowEnd = token;
      next = SkipLineBreak(AText, end, token);
      break;
    }
    widthSoFar = width;
    pos = token;
  }

  Integer length = rowEnd - AStart;
  if (wrapped && next < end) {
    // Centred and right-aligned rows drop a closing blank. Every next row
    // skips one opening blank: a row ended before the blank that did not
    // fit, and that blank alone would otherwise wrap into an empty row.
    if ((AParams.HorzAlignment == TLF_CENTER || AParams.HorzAlignment == TLF_RIGHT) && length > 0 &&
        IsBlank(AText[AStart + length - 1]))
      --length;
    if (IsBlank(AText[next])) ++next;
    if (AParams.TrimWrapSpaces)
      while (next < end && AText[next] == u' ') ++next;
  }

  Integer breaks = 0;
  if (AParams.HorzAlignment == TLF_SPREAD || (AParams.HorzAlignment == TLF_JUSTIFY && wrapped)) {
    // Blanks that end the row are not stretched.
    while (length > 0 && IsBlank(AText[AStart + length - 1])) --length;
    for (Integer i = 0; i < length; ++i)
      if (IsBlank(AText[AStart + i])) ++breaks;
  }
  ARow.Text = AText + AStart;
  ARow.Length = length;
  ARow.BreakCount = breaks;
  // Every row moves on, whatever a measurer answers.
  ANextStart = std::max(next, std::min(AStart + 1, end));
}

bool cxBuildTextRows(HDC ADC, const WideChar* AText, Integer ALength, const TRect& ATextRect,
                     const TcxTextLayoutParams& AParams, TcxTextRows& ARows, Integer& ARowCount, Integer AMaxRowCount,
                     TcxMeasureTextProc AMeasure, NativeInt ACallerValue) {
  cxClearTextRows(ARows);
  ARowCount = 0;
  if (ALength <= 0 || !AText) return true;
  auto measureRow = [&](TcxTextRowEntry& row) {
    const TSize size = MeasureWith(AMeasure, ACallerValue, ADC, row.Text, row.Length, AParams.ExpandTabs);
    row.Width = size.cx;
    row.Height = size.cy;
  };
  if (AParams.Measure && AParams.OneLine) {
    TcxTextRowEntry& row = AddRow(ARows);
    row.Text = AText;
    row.Length = ALength;
    measureRow(row);
    ARowCount = ARows.RowCount;
    return true;
  }
  const Integer maxWidth = ATextRect.Right - ATextRect.Left;
  const Integer maxHeight = ATextRect.Bottom - ATextRect.Top;
  const bool heightLimited = AParams.VertAlignment == 0 && !AParams.Measure && !AParams.CountRows;
  const bool justified = AParams.HorzAlignment == TLF_JUSTIFY || AParams.HorzAlignment == TLF_SPREAD;
  Integer pos = 0;
  Int64 height = 0;
  for (;;) {
    TcxTextRowEntry& row = AddRow(ARows);
    height += AParams.RowPitch;
    bool last;
    if (AParams.OneLine)
      last = true;
    else if (!heightLimited)
      last = AMaxRowCount > 0 && ARows.RowCount == AMaxRowCount;
    else if (AParams.EditRules && !AParams.NoClip)
      last = height + AParams.RowPitch > maxHeight;
    else
      // The row that reaches the bottom is the last: one more would lie
      // wholly below it and take the ellipsis out of sight.
      last = height >= maxHeight;
    const bool mayKeepWords = last && AParams.Ellipsis && !AParams.NoClip && !justified;
    Integer next = pos;
    cxBuildTextRow(ADC, AText, pos, ALength - pos, maxWidth, AParams, mayKeepWords, row, next, AMeasure, ACallerValue);
    row.StartIndex = pos;
    measureRow(row);
    pos = next;
    if (last || pos >= ALength || (AMaxRowCount > 0 && ARows.RowCount >= AMaxRowCount)) break;
  }
  ARowCount = ARows.RowCount;
  if (AParams.Measure) return true;
  if (AParams.OneLine) return cxGetTextRow(ARows, 0).Width <= maxWidth;
  return pos >= ALength;
}

// ---- Placement --------------------------------------------------------------------------

void cxArrangeTextRows(HDC, const TRect& ATextRect, TcxTextLayoutParams& AParams, Integer ARowCount,
                       TcxTextRows& ARows) {
  if (ARowCount <= 0) return;
  const Integer height = ATextRect.Bottom - ATextRect.Top;
  const Integer width = ATextRect.Right - ATextRect.Left;
  Integer vert = AParams.VertAlignment;
  Integer extra = 0;
  if (vert == 3) {
    if (ARowCount > 1) {
      const Integer gap = height - AParams.FontHeight;
      if (AParams.FontHeight < static_cast<double>(gap) / (ARowCount - 1)) {
        AParams.RowPitch = gap / (ARowCount - 1);
        extra = gap % (ARowCount - 1);
      } else {
        vert = 0;
      }
    } else {
      vert = 0;
    }
  }
  const Int64 block = static_cast<Int64>(ARowCount) * AParams.RowPitch;
  Int64 top = ATextRect.Top;
  if (vert == 1)
    top = ATextRect.Top + (height - block) / 2;
  else if (vert == 2)
    top = ATextRect.Bottom - block + AParams.Leading;
  if (AParams.KeepTop) top = std::max<Int64>(top, ATextRect.Top);
  for (Integer i = 0; i < ARowCount; ++i) {
    TcxTextRowEntry& row = cxGetTextRow(ARows, i);
    Integer left = ATextRect.Left;
    if (AParams.HorzAlignment == TLF_CENTER)
      left = ATextRect.Left + (width - row.Width) / 2;
    else if (AParams.HorzAlignment == TLF_RIGHT)
      left = ATextRect.Right - row.Width;
    if (AParams.KeepLeft) left = std::max(left, ATextRect.Left);
    row.Left = left;
    row.Top = static_cast<Integer>(std::clamp<Int64>(top, INT32_MIN / 2, INT32_MAX / 2));
    top += AParams.RowPitch;
    if (extra > 0) {
      ++top;
      --extra;
    }
  }
}

Integer cxWidestTextRowWidth(const TcxTextRows& ARows, Integer ACount) {
  Integer widest = 0;
  for (Integer i = 0; i < std::min(ACount, ARows.RowCount); ++i)
    widest = std::max(widest, cxGetTextRow(ARows, i).Width);
  return widest;
}

// ---- Painting ---------------------------------------------------------------------------

bool cxIsMetafileDC(HDC ADC) {
  const DWORD type = GetObjectType(ADC);
  return type == OBJ_METADC || type == OBJ_ENHMETADC;
}

void cxCutRowForEllipsis(HDC ADC, const TRect& ATextRect, const TcxTextLayoutParams& AParams, TcxTextRowEntry& ARow) {
  const Integer available = std::max<Integer>(0, ATextRect.Right - ATextRect.Left - AParams.EllipsisWidth);
  INT fit = 0;
  SIZE size{};
  if (ARow.Length <= 0 || !GetTextExtentExPointW(ADC, ARow.Text, ARow.Length, available, &fit, nullptr, &size)) fit = 0;
  if (fit == 0 && ARow.Length > 0 && AParams.HorzAlignment == TLF_LEFT)
    fit = (ARow.Length > 1 && IsHighSurrogate(ARow.Text[0]) && IsLowSurrogate(ARow.Text[1])) ? 2 : 1;
  ARow.Length = std::min<Integer>(fit, ARow.Length);
  TSize extent;
  cxMeasureTextExtent(ADC, ARow.Text, ARow.Length, extent, AParams.ExpandTabs);
  ARow.Width = extent.cx;
  ARow.Height = extent.cy;
}

void cxPaintTextRows(HDC ADC, const TRect& ATextRect, const TcxTextLayoutParams& AParams, bool ATextCut,
                     TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength, Integer ASelStart, Integer ARowCount,
                     TcxTextRows& ARows) {
  // Background mode, justification and clip all come back with the DC.
  const int saved = SaveDC(ADC);
  SetBkMode(ADC, TRANSPARENT);
  const bool metafile = cxIsMetafileDC(ADC);
  const bool highlight = !metafile && ASelLength > 0 && (!IsNone(ASelBkColor) || !IsNone(ASelTextColor));
  HBRUSH selBrush = highlight && !IsNone(ASelBkColor) ? CreateSolidBrush(ColorToRGB(ASelBkColor)) : nullptr;
  const Integer width = ATextRect.Right - ATextRect.Left;
  const bool justified = AParams.HorzAlignment == TLF_JUSTIFY || AParams.HorzAlignment == TLF_SPREAD;
  if (AParams.Bars) CreateBarBrushes();

  for (Integer i = 0; i < ARowCount; ++i) {
    TcxTextRowEntry& row = cxGetTextRow(ARows, i);
    const bool last = i == ARowCount - 1;
    bool ellipsis = AParams.Ellipsis && last && (ATextCut || row.Width > width);
    const TRect rowRect(ATextRect.Left, row.Top, ATextRect.Right, row.Top + AParams.RowPitch);
    if (row.Length <= 0) {
      if (last && ATextCut && AParams.Ellipsis) {
        cxCutRowForEllipsis(ADC, ATextRect, AParams, row);
        DrawEllipsis(ADC, ATextRect, AParams, row);
      }
      continue;
    }
    if (!metafile && !RectVisible(ADC, &rowRect)) continue;

    if (AParams.Bars) {
      RECT bar{row.Left, rowRect.Top + AParams.OnePixel, std::min(row.Left + row.Width, ATextRect.Right),
               rowRect.Bottom - AParams.OnePixel};
      if (bar.Bottom <= bar.Top) bar.Bottom = bar.Top + std::max(1, AParams.OnePixel);
      const COLORREF oldBk = SetBkColor(ADC, GetSysColor(COLOR_WINDOW));
      FillRect(ADC, &bar, AParams.Bold ? SolidBarBrush : CheckerBarBrush);
      SetBkColor(ADC, oldBk);
      continue;
    }

    bool stretched = false;
    if (justified && !ellipsis && row.BreakCount > 0 && width - row.Width > 0) {
      SetTextJustification(ADC, width - row.Width, row.BreakCount);
      stretched = true;
    }
    TClipKeeper clip(ADC);
    if (!AParams.NoClip && (row.Width > width || rowRect.Top < ATextRect.Top || rowRect.Bottom > ATextRect.Bottom)) {
      clip.Save();
      IntersectClipRect(ADC, rowRect.Left, std::max(rowRect.Top, ATextRect.Top), rowRect.Right,
                        std::min(rowRect.Bottom, ATextRect.Bottom));
    }
    if (ellipsis) cxCutRowForEllipsis(ADC, ATextRect, AParams, row);

    if (highlight) {
      const Int64 a = std::max<Int64>(ASelStart, row.StartIndex) - row.StartIndex;
      const Int64 b =
          std::min<Int64>(static_cast<Int64>(ASelStart) + ASelLength, static_cast<Int64>(row.StartIndex) + row.Length) -
          row.StartIndex;
      if (a < b) {
        std::vector<INT> partial(static_cast<size_t>(row.Length));
        SIZE size{};
        if (!GetTextExtentExPointW(ADC, row.Text, row.Length, 0, nullptr, partial.data(), &size))
          std::fill(partial.begin(), partial.end(), 0);
        const Integer xa = a > 0 ? partial[static_cast<size_t>(a - 1)] : 0;
        const Integer xb = b > 0 ? partial[static_cast<size_t>(b - 1)] : 0;
        RECT area{row.Left + xa, rowRect.Top, row.Left + xb, rowRect.Bottom};
        const AnsiString start = WideToAnsi(WideString(row.Text, static_cast<size_t>(row.Length)));
        if (cxIsComplexScriptText(AParams.CharSet, start))
          area = RECT{row.Left + row.Width - xb, rowRect.Top, row.Left + row.Width - xa, rowRect.Bottom};
        if (area.Left < area.Right) {
          clip.Save();
          HRGN inner = CreateRectRgn(0, 0, 0, 0);
          const bool hadClip = GetClipRgn(ADC, inner) == 1;
          IntersectClipRect(ADC, area.Left, area.Top, area.Right, area.Bottom);
          if (selBrush) FillRect(ADC, &area, selBrush);
          const COLORREF oldColor = GetTextColor(ADC);
          if (!IsNone(ASelTextColor)) SetTextColor(ADC, ColorToRGB(ASelTextColor));
          DrawRowText(ADC, AParams, row);
          if (ellipsis && b == row.Length) {
            DrawEllipsis(ADC, ATextRect, AParams, row);
            ellipsis = false;
          }
          SetTextColor(ADC, oldColor);
          SelectClipRgn(ADC, hadClip ? inner : nullptr);
          DeleteObject(inner);
          ExcludeClipRect(ADC, area.Left, area.Top, area.Right, area.Bottom);
        }
      }
    }
    DrawRowText(ADC, AParams, row);
    if (ellipsis) DrawEllipsis(ADC, ATextRect, AParams, row);
    if (stretched) SetTextJustification(ADC, 0, 0);
  }
  if (selBrush) DeleteObject(selBrush);
  RestoreDC(ADC, saved);
}

// ---- The engine -------------------------------------------------------------------------

Integer cxDrawTextRowsW(HDC ADC, const WideString& AText, TRect& R, Integer AFlags, Integer ASelStart,
                        Integer ASelLength, TFont* AFont, TColor ASelBkColor, TColor ASelTextColor,
                        Integer AMaxRowCount, Integer ALeftIndent, Integer ARightIndent, TColor ATextColor,
                        double ALineSpacing) {
  if (AText.empty()) return 0;
  const HGDIOBJ oldFont = GetCurrentObject(ADC, OBJ_FONT);
  const COLORREF oldColor = GetTextColor(ADC);
  if (AFont) {
    SelectObject(ADC, AFont->Handle());
    SetTextColor(ADC, ColorToRGB(AFont->Color()));
  }
  if (ATextColor != clDefault) SetTextColor(ADC, ColorToRGB(ATextColor));

  TcxTextLayoutParams params;
  cxInitTextLayoutParams(ADC, AFlags, params, ALineSpacing);
  TRect textRect;
  cxShrinkTextRect(R, params, ALeftIndent, ARightIndent, textRect);
  const Integer width = textRect.Right - textRect.Left, height = textRect.Bottom - textRect.Top;
  Integer result = 0;
  const WideString stripped = params.StripAccel ? cxStripAccelCharsW(AText, false) : WideString();
  const WideString& text = params.StripAccel ? stripped : AText;
  if ((params.Measure ? width > 0 : width >= 1 && height >= 1) && !text.empty()) {
    const Integer length = static_cast<Integer>(std::min<size_t>(text.size(), INT32_MAX));
    TcxTextRows rows;
    Integer rowCount = 0;
    const bool textCut = !cxBuildTextRows(ADC, text.data(), length, textRect, params, rows, rowCount, AMaxRowCount);
    if (rowCount > 0) {
      if (params.Measure) {
        const Integer counted = AMaxRowCount > 0 ? std::min(AMaxRowCount, rowCount) : rowCount;
        textRect.Right = textRect.Left + cxWidestTextRowWidth(rows, counted);
        if (!params.OneLine) cxBuildTextRows(ADC, text.data(), length, textRect, params, rows, rowCount, AMaxRowCount);
        cxArrangeTextRows(ADC, textRect, params, rowCount, rows);
        textRect.Bottom = cxGetTextRow(rows, rowCount - 1).Top + params.FontHeight;
        cxGrowTextRect(textRect, params, ALeftIndent, ARightIndent, R);
      } else {
        cxArrangeTextRows(ADC, textRect, params, rowCount, rows);
        if (ASelStart < 0 || ASelStart >= length || ASelLength < 0)
          ASelLength = 0;
        else if (static_cast<Int64>(ASelStart) + ASelLength > length)
          ASelLength = length - ASelStart;
        cxPaintTextRows(ADC, textRect, params, textCut, ASelTextColor, ASelBkColor, ASelLength, ASelStart, rowCount,
                        rows);
      }
      if (params.CountRows) {
        result = rowCount;
      } else {
        result = cxGetTextRow(rows, rowCount - 1).Top - textRect.Top + params.FontHeight;
        if (result == 0) result = rowCount;
      }
    }
    cxClearTextRows(rows);
  }
  if (AFont) SelectObject(ADC, oldFont);
  SetTextColor(ADC, oldColor);
  return result;
}

Integer cxDrawTextRowsA(HDC ADC, const AnsiString& AText, TRect& R, Integer AFlags, Integer ASelStart,
                        Integer ASelLength, TFont* AFont, TColor ASelBkColor, TColor ASelTextColor,
                        Integer AMaxRowCount, Integer ALeftIndent, Integer ARightIndent, TColor ATextColor,
                        double ALineSpacing) {
  if (AText.empty()) return 0;
  // The character set the font gets on this DC: every font reads 8-bit
  // text in the system code page except the symbol ones.
  Integer charset;
  if (AFont) {
    const HGDIOBJ old = SelectObject(ADC, AFont->Handle());
    charset = GetTextCharset(ADC);
    SelectObject(ADC, old);
  } else {
    charset = GetTextCharset(ADC);
  }
  const WideString text = dxAnsiToWideUsingCodePage(AText, dxCharsetToCodePage(static_cast<Byte>(charset)));
  return cxDrawTextRowsW(ADC, text, R, AFlags, ASelStart, ASelLength, AFont, ASelBkColor, ASelTextColor, AMaxRowCount,
                         ALeftIndent, ARightIndent, ATextColor, ALineSpacing);
}

// ---- Unit --------------------------------------------------------------------------------

void cx_text_rows_detail::StartTextRows() { CreateBarBrushes(); }

void cx_text_rows_detail::StopTextRows() {
  if (SolidBarBrush) DeleteObject(SolidBarBrush);
  if (CheckerBarBrush) DeleteObject(CheckerBarBrush);
  SolidBarBrush = CheckerBarBrush = nullptr;
}
