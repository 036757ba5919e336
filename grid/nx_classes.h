// The enumerations the grid, its columns and its editors share, the locale
// names of the date popup, and measuring and showing wide text.
#pragma once

#include "platform/rtl/properties.h"
#include "platform/rtl/types.h"

class TCanvas;
class TControl;
class THintWindow;

// Values in the order the grid's published properties store them.
RTL_ENUM(TDrawingOptions, doNormal, doBackgroundOnly, doCustom, doCustomOnly)
RTL_ENUM(TStartDayOfWeek, dwAutomatic, dwMonday, dwSunday)
RTL_ENUM(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)
RTL_ENUM(TWrapKind, wkNone, wkEllipsis, wkPathEllipsis, wkWordWrap)

// The wide text functions are always there on this platform, so only the
// wide paths exist.
constexpr bool UnicodeApiAvailable = true;

// Locale day and month names, read from the runtime's format settings at
// call time.
class TLocalSettings {
 public:
  // 1 is Sunday, 7 Saturday.
  AnsiString GetLongDayName(Integer Index) const;
  // 1 is January.
  AnsiString GetLongMonthName(Integer Index) const;
};

// The one object, made by the unit's start-up and freed by its shut-down;
// null outside.
extern TLocalSettings* LocalSettings;

// The extent of the whole text on the canvas's DC; 0 by 0 when it cannot
// be measured.
TSize GetTextExtentWide(TCanvas* Canvas, const WideString& Text);
Integer TextHeightWide(TCanvas* Canvas, const WideString& Text);
Integer TextWidthWide(TCanvas* Canvas, const WideString& Text);
// The width DT_CALCRECT measures: the longest line of a text with breaks.
Integer MeasureTextWidth(TCanvas* Canvas, const WideString& Text);

// Hint windows show 8-bit text: these convert. Each does nothing (or
// answers an empty rectangle) without a hint window.
void ShowHintWide(THintWindow* HintWindow, const TRect& Rect, const WideString& Text);
TRect CalcHintRectWide(THintWindow* HintWindow, Integer MaxWidth, const WideString& Text, void* Data);
// Releases the window handle; the object remains.
void ReleaseHintWindow(THintWindow* HintWindow);

void SwapIntegers(Integer& A, Integer& B);
// The control has a parent form and it is the active one.
bool IsParentFormActive(TControl* Control);
// The grid keeps (column, row) pairs in points, -1 meaning none.
constexpr bool IsNoCell(const TPoint& P) { return P.X == -1 || P.Y == -1; }
