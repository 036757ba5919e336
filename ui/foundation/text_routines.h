// DC-level text routines of the drawing unit: DrawText and ExtTextOut
// wrappers that restore what they change, font measurements on the shared
// screen canvas, the narrowest rectangle that holds a text in a number of
// lines, ellipsis shortening, word wrapping into a string list, stacked
// drawing of wrapped lines, text turned by quarter turns, and accelerator
// stripping. 8-bit text is in the system code page (UTF-8).
#pragma once

#include "platform/forms/graphics.h"
#include "ui/foundation/canvas.h"

class TFont;
class TStrings;

// DrawText with a background mode and a text colour; clDefault keeps the
// DC's colour. ACount -1 (any negative) means the whole text; a count past
// the end is cut to it. A count of 0 draws nothing and leaves the DC as it
// is. Returns DrawText's result (the text height).
Integer cxDrawTextDC(HDC ADC, const AnsiString& AText, TRect& R, Integer ABkMode, TColor AColor, Integer ACount,
                     UINT AFlags);
// ExtTextOut at the point, no spacing array; ACount as for cxDrawTextDC.
bool cxExtTextOutString(HDC ADC, const AnsiString& AText, const TPoint& P, Integer ACount, UINT AOptions,
                        const TRect& ARect);
// The extent of the first ACount bytes (all for -1); (0, 0) on failure.
bool cxMeasureTextDC(HDC ADC, const AnsiString& AText, TSize& ASize, Integer ACount = -1);

// tmHeight of the DC's font.
Integer cxGetDCFontHeight(HDC ADC);
// Measurements of a font on the shared screen canvas, whose DC is given
// back afterwards.
Integer cxGetFontLineHeight(TFont* AFont);
bool cxGetFontTextMetrics(TFont* AFont, TEXTMETRICA& AMetrics);
// APointSize 0 keeps the font's size.
TSize cxMeasureFontText(TFont* AFont, const AnsiString& AText, Integer APointSize = 0);
Integer cxMeasureFontTextWidth(TFont* AFont, const AnsiString& AText, Integer APointSize = 0);

// One line: (Right, Bottom) of cxCalcTextRect with one line.
TSize cxTextSizeDC(HDC ADC, const AnsiString& AText);
// ALineCount 1: the single-line extent. Otherwise the narrowest rectangle
// whose word-wrapped text is no taller than ALineCount lines (32000 pixels
// for a count of 0 or less); AClipHeight sets its bottom to that limit.
void cxCalcTextRect(HDC ADC, const AnsiString& AText, Integer ALineCount, TRect& R, bool AClipHeight = false);

enum { cxEllipsisEnd = 0, cxEllipsisPath = 1 };
// The text shortened to AMaxWidth pixels with "..." at its end (kind 0) or
// in its middle keeping the last path component (kind 1). Without a DC it
// measures on the shared screen canvas; a given font is selected into the
// DC first and stays selected. Empty for an empty text or a width <= 0.
void cxEllipsizeText(HDC ADC, HFONT AFont, const AnsiString& AText, AnsiString& AResult, Integer AKind,
                     Integer AMaxWidth);

// Breaks the text at blanks and explicit line breaks into lines that fit
// R's width on the canvas's DC, adding them to ALines.
void cxWrapTextLines(const AnsiString& AText, TcxCanvas* ACanvas, const TRect& R, TStrings* ALines);
// The wrapped lines drawn one under another (DT_VCENTER and DT_BOTTOM
// place the block); returns the line count.
Integer cxDrawWrappedText(TcxCanvas* ACanvas, const AnsiString& AText, const TRect& R, TColor AColor, UINT AFlags);
// The text drawn over R's background along the rotated direction: qtLeft
// reads bottom to top, qtRight top to bottom, qtHalf upside down. Returns
// the text height; 0 for an empty R.
Integer cxDrawRotatedText(TcxCanvas* ACanvas, const AnsiString& AText, const TRect& R, TcxQuarterTurn ARotation,
                          TColor AColor, UINT AFlags);

// The font character set the system uses for DEFAULT_CHARSET.
Byte cxGetDefaultCharset();
// True when text in the character set is laid out right to left or by
// complex rules: GB2312, Big5 and Arabic, unless the text starts with a
// one-byte ASCII character.
bool cxIsComplexScriptText(Byte ACharset, const AnsiString& AText);
// The font re-created from its LOGFONT without anti-aliasing.
void cxSetFontNonAntialiased(TFont* AFont);

// Accelerator marks removed: "&&" gives "&", "&x" gives "x"; a trailing
// lone "&" becomes "_" with AUnderscoreForTrailing and goes otherwise.
AnsiString cxStripAccelChars(const AnsiString& S, bool AUnderscoreForTrailing = false);
WideString cxStripAccelCharsW(const WideString& S, bool AUnderscoreForTrailing = false);
