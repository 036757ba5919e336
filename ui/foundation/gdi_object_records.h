// Readers of the records behind GDI object handles, and the reset of a
// font to the framework's default. Each reader answers false for a handle
// that is not (or no longer) an object of its kind; the record is then
// undefined. Two names of one reader behave the same.
#pragma once

#include "platform/win/gdi/gdi_records.h"

class TFont;

bool dxGetBitmapInfo(HBITMAP ABitmap, BITMAP& AInfo);
bool cxReadBitmapRecord(HBITMAP ABitmap, BITMAP& AInfo);

bool dxGetLogBrushData(HBRUSH ABrush, LOGBRUSH& ALogBrush);
bool dxGetLogBrushOf(HBRUSH ABrush, LOGBRUSH& ALogBrush);
bool cxReadBrushRecord(HBRUSH ABrush, LOGBRUSH& ALogBrush);
bool cxGetLogBrush(HBRUSH ABrush, LOGBRUSH& ALogBrush);

// The ANSI record, with its 32-character face name.
bool dxGetLogFontData(HFONT AFont, LOGFONTA& ALogFont);
bool dxGetLogFontOf(HFONT AFont, LOGFONTA& ALogFont);
bool cxReadFontRecord(HFONT AFont, LOGFONTA& ALogFont);

bool cxReadPenRecord(HPEN APen, LOGPEN& ALogPen);

// Sets, in this order, the font's charset, name, height, pitch and style
// to those a new framework font takes.
void cxResetToDefaultFont(TFont* AFont);
