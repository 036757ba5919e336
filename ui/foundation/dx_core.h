// The lowest layer of the UI library: which Windows version runs, and the
// small helpers for pixel buffers, colour values, byte sets, short strings,
// streams, locale items and code pages that every library unit uses.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/rtl/closure.h"
#include "platform/rtl/object.h"
#include "platform/win/gdi/gdi_records.h"
#include "platform/win/kernel/kernel_locale.h"

class TBitmap;
class TStream;

// ---- Windows version flags --------------------------------------------------------
// Computed once at the unit's start-up (dxDetectOSVersion) from the platform
// id and version numbers the system reports.

extern bool OSWin9xFamily;
extern bool OSWin95;
extern bool OSWin98;
extern bool OSWinMe;
extern bool OSWinNTFamily;
extern bool OSWin2000;
extern bool OSWin2000OrLater;
extern bool OSWinXP;
extern bool OSWinXPOrLater;
extern bool OSWin2000OrXP;
extern bool OSWinVista;
extern bool OSWinVistaOrLater;
extern bool OSWin7;
extern bool OSWin7OrLater;
extern bool OSWin8;
extern bool OSWin8OrLater;
// The process runs under 32-bit emulation on a 64-bit system.
extern bool OSWow64Process;

// Reads the version (GetVersionEx) and sets the flags above; the or-later
// flags of 7 and 8 are derived by exclusion, so a later NT version counts
// as both. OSWow64Process asks "IsWow64Process" of "kernel32.dll", bound by
// name; false when it is missing or fails.
void dxDetectOSVersion();

// True when this module is a dynamic library other than a package; the
// program is an executable, so never.
bool dxIsInsideLibrary();

// ---- Memory, events, streams ----------------------------------------------------------

void dxMoveBytes(const void* ASource, void* ADestination, size_t ACount);
void dxZeroFillMemory(void* ABlock, size_t ALength);
void* dxAllocZeroed(size_t ASize);
void dxFreeBlock(void* ABlock);
template <class T>
void dxFreeThenNil(T*& AObject) {
  delete AObject;
  AObject = nullptr;
}
void dxSwapIntegers(Integer& A, Integer& B);
void dxFireNotifyEvent(const TNotifyEvent& AEvent, TObject* ASender);
// X in the low 16 bits, Y in the high 16 bits.
LPARAM dxPointToMessageParam(const TPoint& P);
// Four bytes, little-endian.
void dxWriteInt32ToStream(TStream* AStream, Integer AValue);

// ---- Strings ------------------------------------------------------------------------

// The text as the native string; 8-bit text is native here, so a copy.
AnsiString dxAssignAnsiAsString(const AnsiString& AText, UINT ACodePage);
AnsiString dxAssignStringAsAnsi(const AnsiString& AText, UINT ACodePage);

// A length-prefixed string: byte 0 holds the length (at most 255).
using TdxShortString = Byte[256];
AnsiString dxShortStrToLongStr(const TdxShortString& S);
// Longer text is cut to 255 bytes, at a character boundary.
void dxLongStrToShortStr(const AnsiString& S, TdxShortString& AResult);

// Bit (AValue mod 32) of the 32-bit word (AValue div 32) of a 256-bit set.
bool dxSetContainsByte(Byte AValue, const Cardinal (&ASet)[8]);

// The locale item, without its terminating zero; ADefault when the locale
// does not have it.
AnsiString dxGetLocaleInfoString(LCID ALocale, LCTYPE AType, const AnsiString& ADefault = AnsiString());

// The code page of a font character set (Shift-JIS 932, Hangul and Johab
// 949, GB2312 936, Big5 950, Greek 1253, Turkish 1254, Hebrew 1255, Arabic
// 1256, Baltic 1257, Russian 1251, Thai 874, East European 1250); 0 (the
// system code page) for any other.
UINT dxCharsetToCodePage(Byte ACharset);
// 8-bit text in the code page to wide text; ALength -1 means the whole
// text. Invalid bytes become U+FFFD.
WideString dxAnsiToWideUsingCodePage(const AnsiString& AText, UINT ACodePage, Integer ALength = -1);
// Wide text to 8-bit text in the code page; characters the page lacks
// become "?".
AnsiString dxWideToAnsiUsingCodePage(const WideString& AText, UINT ACodePage, Integer ALength = -1);

// ---- Colours and pixels -----------------------------------------------------------------

// The colour resolved to RGB (system colours too) as a 32-bit pixel: blue
// in bits 0-7, green 8-15, red 16-23, AAlpha 24-31.
Cardinal dxColorToQuadWithAlpha(TColor AColor, Byte AAlpha = 255);
// Exchanges bits 0-7 with bits 16-23.
Cardinal dxSwapRedBlue(Cardinal AValue);

// 1, 4, 8, 16, 16, 24, 32 for the 1- to 32-bit formats (15 counts as 16);
// the screen's depth for device-dependent and custom ones.
Integer dxGetBitmapBitsPerPixel(TBitmap* ABitmap);
void dxInitBitmapInfoHeader(BITMAPINFOHEADER& AHeader, Integer AWidth, Integer AHeight, bool ATopDown);
// Reads width x height 32-bit pixels; false for an empty or invalid bitmap
// or when a row cannot be read (twice).
bool dxGetBitmapPixels(HBITMAP ABitmap, std::vector<RGBQUAD>& APixels, bool ATopDown);
// Writes width x height 32-bit pixels; false for an empty or invalid
// bitmap, too few pixels, or a failed write.
bool dxPutBitmapPixels32(HBITMAP ABitmap, const std::vector<RGBQUAD>& APixels, bool ATopDown);
// A bitmap of 32 bits per pixel with at least one non-zero alpha byte.
bool dxBitmapHasAlpha(TBitmap* ABitmap);
