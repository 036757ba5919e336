// The library's own multi-row text engine: splits a text into rows (word
// wrap, character wrap with Far-East line-breaking rules, explicit line
// breaks, tabs), places them in a rectangle (horizontal alignment left,
// centre, right, justified, spread; vertical top, centre, bottom, spread),
// cuts the last row with an end ellipsis, draws one highlighted substring
// in its own colours, draws rows as patterned bars when the font is too
// small to read, and measures instead of drawing when asked.
//
// Every call restores the DC's font, text colour, background mode, text
// justification and clip region. User-interface thread only.
#pragma once

#include <vector>

#include "platform/forms/graphics.h"

class TFont;

// ---- Layout flags ---------------------------------------------------------------------

// Horizontal alignment, bits 0-2.
constexpr Integer TLF_LEFT = 0;
constexpr Integer TLF_CENTER = 1;
constexpr Integer TLF_RIGHT = 2;
constexpr Integer TLF_JUSTIFY = 3;  // wrapped rows stretched; implies wrapping
constexpr Integer TLF_SPREAD = 4;   // every row stretched; implies wrapping
// Vertical alignment, bits 4-5.
constexpr Integer TLF_TOP = 0x00;
constexpr Integer TLF_VCENTER = 0x10;
constexpr Integer TLF_BOTTOM = 0x20;
constexpr Integer TLF_VSPREAD = 0x30;
constexpr Integer TLF_WORDWRAP = 0x100;
constexpr Integer TLF_ONELINE = 0x200;     // overrides wrapping
constexpr Integer TLF_TABS = 0x400;        // default tab stops from the row's left
constexpr Integer TLF_ELLIPSIS = 0x800;    // "..." after the last row when text was cut
constexpr Integer TLF_BARS = 0x1000;       // bars when the font is below 6 device pixels
constexpr Integer TLF_LEADING = 0x2000;    // external leading in the row pitch
constexpr Integer TLF_EDITRULES = 0x4000;  // words broken at characters; no partly visible last row
constexpr Integer TLF_NOCLIP = 0x8000;
constexpr Integer TLF_INSET = 0x10000;       // rectangle inset by 2 pixels
constexpr Integer TLF_CHARWRAP = 0x20000;    // overlong words broken at characters
constexpr Integer TLF_KEEPLEFT = 0x40000;    // no row starts left of the rectangle
constexpr Integer TLF_KEEPTOP = 0x80000;     // the first row does not start above it
constexpr Integer TLF_MEASURE = 0x100000;    // nothing drawn; R receives the size needed
constexpr Integer TLF_COUNTROWS = 0x200000;  // the result is the row count
constexpr Integer TLF_STRIPACCEL = 0x1000000;
constexpr Integer TLF_TRIMWRAPSPACES = 0x2000000;

// ---- Records --------------------------------------------------------------------------

struct TcxTextLayoutParams {
  Integer FontHeight;     // cell height
  Integer Leading;        // external leading with TLF_LEADING, else 0
  Integer RowPitch;       // (FontHeight + Leading) x line spacing
  Integer EllipsisWidth;  // of "..." with TLF_ELLIPSIS, else 0
  bool Bold;
  WideChar BreakChar;
  Byte HorzAlignment;  // TLF_LEFT .. TLF_SPREAD
  Byte VertAlignment;  // 0 .. 3: top, centre, bottom, spread
  bool WordWrap;
  bool OneLine;
  bool ExpandTabs;
  bool Ellipsis;
  bool AddLeading;
  bool EditRules;
  bool TrimWrapSpaces;
  bool NoClip;
  bool Inset;
  bool Bars;
  bool KeepLeft;
  bool KeepTop;
  bool CharWrap;
  bool CountRows;
  bool Measure;
  Integer MaxCharWidth;
  Byte CharSet;
  Integer OnePixel;  // logical width of one device pixel
  bool StripAccel;
};

struct TcxTextRowEntry {
  const WideChar* Text;  // the row's first character inside the laid-out text
  Integer Length;
  Integer Width;
  Integer Height;
  Integer BreakCount;  // blanks stretched by justification
  Integer Left;
  Integer Top;
  Integer StartIndex;  // of the first character in the whole text
};

constexpr Integer cxTextRowsInline = 32;
using TcxDynamicTextRows = std::vector<TcxTextRowEntry>;

// Up to 32 rows live inline; row i >= 32 is Dynamic[i - 32].
struct TcxTextRows {
  Integer RowCount = 0;
  WideString Text;
  TcxTextRowEntry Rows[cxTextRowsInline];
  TcxDynamicTextRows Dynamic;
};

TcxTextRowEntry& cxGetTextRow(TcxTextRows& ARows, Integer AIndex);
const TcxTextRowEntry& cxGetTextRow(const TcxTextRows& ARows, Integer AIndex);
// Count 0 and the dynamic part freed.
void cxClearTextRows(TcxTextRows& ARows);

// Measures ALength characters; AExpandTabs with default tab stops.
using TcxMeasureTextProc = bool (*)(HDC ADC, const WideChar* AText, Integer ALength, bool AExpandTabs,
                                    NativeInt ACallerValue, TSize& ASize);

// ---- The engine -----------------------------------------------------------------------

// SelStart is 0-based; MaxRowCount > 0 limits the rows; the indents are in
// pixels; TextColor clDefault keeps the DC's. Returns 0 for an empty text;
// with TLF_COUNTROWS the row count; otherwise the distance from the text's
// top to the last row's top plus the font height (the row count when that
// is 0). With TLF_MEASURE, R receives the rectangle the text needs.
Integer cxDrawTextRowsW(HDC ADC, const WideString& AText, TRect& R, Integer AFlags, Integer ASelStart = 0,
                        Integer ASelLength = 0, TFont* AFont = nullptr, TColor ASelBkColor = clNone,
                        TColor ASelTextColor = clNone, Integer AMaxRowCount = 0, Integer ALeftIndent = 0,
                        Integer ARightIndent = 0, TColor ATextColor = clDefault, double ALineSpacing = 1.0);
// The same for 8-bit text, read in the code page of the font's (or the
// DC's) character set.
Integer cxDrawTextRowsA(HDC ADC, const AnsiString& AText, TRect& R, Integer AFlags, Integer ASelStart = 0,
                        Integer ASelLength = 0, TFont* AFont = nullptr, TColor ASelBkColor = clNone,
                        TColor ASelTextColor = clNone, Integer AMaxRowCount = 0, Integer ALeftIndent = 0,
                        Integer ARightIndent = 0, TColor ATextColor = clDefault, double ALineSpacing = 1.0);

// ---- Its steps ------------------------------------------------------------------------

void cxInitTextLayoutParams(HDC ADC, Integer AFlags, TcxTextLayoutParams& AParams, double ALineSpacing = 1.0);
// Wrapping: TLF_ONELINE clear, and TLF_WORDWRAP or a justified alignment.
bool cxTextRowsWrap(const TcxTextLayoutParams& AParams);
// Character breaking: wrapping with TLF_CHARWRAP (or a Far-East locale) or
// TLF_EDITRULES.
bool cxTextRowsBreakChars(const TcxTextLayoutParams& AParams);
void cxShrinkTextRect(const TRect& R, const TcxTextLayoutParams& AParams, Integer ALeftIndent, Integer ARightIndent,
                      TRect& ATextRect);
void cxGrowTextRect(const TRect& ATextRect, const TcxTextLayoutParams& AParams, Integer ALeftIndent,
                    Integer ARightIndent, TRect& R);

bool cxMeasureTextExtent(HDC ADC, const WideChar* AText, Integer ALength, TSize& ASize, bool AExpandTabs);

bool cxIsFarEastChar(WideChar C);
bool cxIsNoLineStartChar(WideChar C);
// The end (exclusive) of the token starting at APos, ALength the text's
// length. Without wrapping a token runs to the next line break.
Integer cxScanTextToken(const WideChar* AText, Integer ALength, Integer APos, bool AWrapping);
// The longest prefix of the token (at least one character, never half a
// surrogate pair) whose width is at most AWidthLeft.
Integer cxFitCharCount(HDC ADC, const WideChar* AToken, Integer ALength, Integer AWidthLeft,
                       const TcxTextLayoutParams& AParams, TcxMeasureTextProc AMeasure = nullptr,
                       NativeInt ACallerValue = 0);

// One row from AStart; ARemaining characters are left in the text. The
// row's text, length and break count go to ARow (not its width, height or
// place); where the next row starts comes back.
void cxBuildTextRow(HDC ADC, const WideChar* AText, Integer AStart, Integer ARemaining, Integer AMaxWidth,
                    const TcxTextLayoutParams& AParams, bool AMayKeepWords, TcxTextRowEntry& ARow, Integer& ANextStart,
                    TcxMeasureTextProc AMeasure = nullptr, NativeInt ACallerValue = 0);
// True when all text fits (always in measure mode).
bool cxBuildTextRows(HDC ADC, const WideChar* AText, Integer ALength, const TRect& ATextRect,
                     const TcxTextLayoutParams& AParams, TcxTextRows& ARows, Integer& ARowCount, Integer AMaxRowCount,
                     TcxMeasureTextProc AMeasure = nullptr, NativeInt ACallerValue = 0);
void cxArrangeTextRows(HDC ADC, const TRect& ATextRect, TcxTextLayoutParams& AParams, Integer ARowCount,
                       TcxTextRows& ARows);
Integer cxWidestTextRowWidth(const TcxTextRows& ARows, Integer ACount);
// Shortens the row so that "..." fits after it.
void cxCutRowForEllipsis(HDC ADC, const TRect& ATextRect, const TcxTextLayoutParams& AParams, TcxTextRowEntry& ARow);
void cxPaintTextRows(HDC ADC, const TRect& ATextRect, const TcxTextLayoutParams& AParams, bool ATextCut,
                     TColor ASelTextColor, TColor ASelBkColor, Integer ASelLength, Integer ASelStart, Integer ARowCount,
                     TcxTextRows& ARows);

// True for a DC that records into a metafile.
bool cxIsMetafileDC(HDC ADC);

namespace cx_text_rows_detail {
// The unit's start-up creates the two bar brushes, its shut-down deletes
// them.
void StartTextRows();
void StopTextRows();
}  // namespace cx_text_rows_detail
