// The GDI side of the Win32-shaped API: device contexts, drawing objects,
// bitmaps and DIBs, raster operations, shapes, regions and clipping, fonts
// and text, the classic 3D drawing helpers, icons and system colours.
// Names, values and record layouts are those of the public documentation.
#pragma once

#include "platform/win/gdi/gdi_constants.h"
#include "platform/win/gdi/gdi_records.h"

// ---- Device contexts ----------------------------------------------------

HDC CreateCompatibleDC(HDC hdc);
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* initData);
HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const void* initData);
inline HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* initData) {
  return CreateDCA(driver, device, output, initData);
}
BOOL DeleteDC(HDC hdc);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int savedDC);
int GetDeviceCaps(HDC hdc, int index);
HWND WindowFromDC(HDC hdc);
BOOL GetDCOrgEx(HDC hdc, LPPOINT point);
BOOL GdiFlush();
DWORD SetLayout(HDC hdc, DWORD layout);
DWORD GetLayout(HDC hdc);

// Coordinates.
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT point);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT point);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old);
BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old);
BOOL GetWindowExtEx(HDC hdc, LPSIZE size);
BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old);
BOOL GetViewportExtEx(HDC hdc, LPSIZE size);
BOOL ScaleViewportExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE old);
BOOL ScaleWindowExtEx(HDC hdc, int xn, int xd, int yn, int yd, LPSIZE old);
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
int SetGraphicsMode(HDC hdc, int mode);
int GetGraphicsMode(HDC hdc);
BOOL SetWorldTransform(HDC hdc, const XFORM* xform);
BOOL GetWorldTransform(HDC hdc, LPXFORM xform);
BOOL ModifyWorldTransform(HDC hdc, const XFORM* xform, DWORD mode);
BOOL CombineTransform(LPXFORM result, const XFORM* a, const XFORM* b);
BOOL DPtoLP(HDC hdc, LPPOINT points, int count);
BOOL LPtoDP(HDC hdc, LPPOINT points, int count);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT point);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT point);

// Attributes.
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int mode);
int GetROP2(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetArcDirection(HDC hdc, int direction);
int GetArcDirection(HDC hdc);
// The rectangle (logical coordinates) drawing has touched since it was
// enabled and last reset, and its control.
UINT SetBoundsRect(HDC hdc, const RECT* rect, UINT flags);
UINT GetBoundsRect(HDC hdc, LPRECT rect, UINT flags);
// The longest a mitred join may be, as a multiple of the pen's width;
// longer joins are bevelled. 10 by default.
BOOL SetMiterLimit(HDC hdc, float limit, float* old);
BOOL GetMiterLimit(HDC hdc, float* limit);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF GetDCBrushColor(HDC hdc);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);
COLORREF GetDCPenColor(HDC hdc);
COLORREF GetNearestColor(HDC hdc, COLORREF color);

// ---- Objects ------------------------------------------------------------

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL DeleteObject(HGDIOBJ obj);
DWORD GetObjectType(HGDIOBJ obj);
int GetObjectA(HGDIOBJ obj, int size, LPVOID buffer);
int GetObjectW(HGDIOBJ obj, int size, LPVOID buffer);
inline int GetObject(HGDIOBJ obj, int size, LPVOID buffer) { return GetObjectA(obj, size, buffer); }
BOOL UnrealizeObject(HGDIOBJ obj);

#define GR_GDIOBJECTS 0
#define GR_USEROBJECTS 1
// GR_GDIOBJECTS: how many GDI objects (device contexts included, stock
// objects not) live now; the process handle is not looked at. Any other
// flag answers 0.
DWORD GetGuiResources(HANDLE hProcess, DWORD uiFlags);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);

// Palettes: the display is true-colour; the palette selected into a DC
// gives the colours of PALETTEINDEX and of DIB_PAL_COLORS tables.
HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, PALETTEENTRY* entries);
HPALETTE CreateHalftonePalette(HDC hdc);

// ---- System colours -----------------------------------------------------

DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

// ---- Bitmaps ------------------------------------------------------------

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
HBITMAP CreateDiscardableBitmap(HDC hdc, int width, int height);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage);
int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits);
UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, LPSIZE size);
BOOL SetBitmapDimensionEx(HBITMAP bitmap, int width, int height, LPSIZE old);
HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
inline HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) { return LoadBitmapA(instance, name); }
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
inline HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  return LoadImageA(instance, name, type, cx, cy, flags);
}

COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);

// ---- Raster operations --------------------------------------------------

BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop);
BOOL StretchBlt(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
BOOL MaskBlt(HDC dest, int xDest, int yDest, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop);
BOOL PlgBlt(HDC dest, const POINT* points, HDC src, int xSrc, int ySrc, int width, int height, HBITMAP mask,
            int xMask, int yMask);
BOOL AlphaBlend(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                BLENDFUNCTION blend);
BOOL GradientFill(HDC hdc, PTRIVERTEX vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode);
BOOL TransparentBlt(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc, int wSrc,
                    int hSrc, UINT transparent);

// ---- Shapes -------------------------------------------------------------

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, int count);
BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons);
BOOL PolyBezier(HDC hdc, const POINT* points, DWORD count);
BOOL PolyBezierTo(HDC hdc, const POINT* points, DWORD count);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL ArcTo(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL AngleArc(HDC hdc, int x, int y, DWORD radius, float startAngle, float sweepAngle);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rect);
BOOL DrawFocusRect(HDC hdc, const RECT* rect);
BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int width, int height);
BOOL InvertRgn(HDC hdc, HRGN region);
BOOL PaintRgn(HDC hdc, HRGN region);
BOOL ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type);
#define FLOODFILLBORDER 0
#define FLOODFILLSURFACE 1

// Paths: recorded in device coordinates while a bracket is open.
BOOL BeginPath(HDC hdc);
BOOL EndPath(HDC hdc);
BOOL AbortPath(HDC hdc);
BOOL CloseFigure(HDC hdc);
BOOL FillPath(HDC hdc);
BOOL StrokePath(HDC hdc);
BOOL StrokeAndFillPath(HDC hdc);
HRGN PathToRegion(HDC hdc);
BOOL SelectClipPath(HDC hdc, int mode);

// ---- Regions ------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode);
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data);
DWORD GetRegionData(HRGN region, DWORD count, LPRGNDATA data);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN region, int x, int y);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
int GetRgnBox(HRGN region, LPRECT rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);

// Clipping.
int SelectClipRgn(HDC hdc, HRGN region);
int ExtSelectClipRgn(HDC hdc, HRGN region, int mode);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int x, int y);
int GetClipRgn(HDC hdc, HRGN region);
int GetMetaRgn(HDC hdc, HRGN region);
int SetMetaRgn(HDC hdc);
int GetRandomRgn(HDC hdc, HRGN region, INT which);
int GetClipBox(HDC hdc, LPRECT rect);
BOOL RectVisible(HDC hdc, const RECT* rect);
BOOL PtVisible(HDC hdc, int x, int y);

// ---- Fonts --------------------------------------------------------------

HFONT CreateFontIndirectA(const LOGFONTA* font);
HFONT CreateFontIndirectW(const LOGFONTW* font);
inline HFONT CreateFontIndirect(const LOGFONTA* font) { return CreateFontIndirectA(font); }
inline HFONT CreateFontIndirect(const LOGFONTW* font) { return CreateFontIndirectW(font); }
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR face);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCWSTR face);
inline HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                        DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                        DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  return CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                     outPrecision, clipPrecision, quality, pitchAndFamily, face);
}
int EnumFontFamiliesA(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM lparam);
int EnumFontFamiliesW(HDC hdc, LPCWSTR family, FONTENUMPROCW proc, LPARAM lparam);
int EnumFontFamiliesExA(HDC hdc, LOGFONTA* font, FONTENUMPROCA proc, LPARAM lparam, DWORD flags);
int EnumFontFamiliesExW(HDC hdc, LOGFONTW* font, FONTENUMPROCW proc, LPARAM lparam, DWORD flags);
inline int EnumFontFamilies(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM lparam) {
  return EnumFontFamiliesA(hdc, family, proc, lparam);
}
inline int EnumFontFamiliesEx(HDC hdc, LOGFONTA* font, FONTENUMPROCA proc, LPARAM lparam, DWORD flags) {
  return EnumFontFamiliesExA(hdc, font, proc, lparam, flags);
}
int GetTextFaceA(HDC hdc, int count, LPSTR face);
int GetTextFaceW(HDC hdc, int count, LPWSTR face);
inline int GetTextFace(HDC hdc, int count, LPSTR face) { return GetTextFaceA(hdc, count, face); }
inline int GetTextFace(HDC hdc, int count, LPWSTR face) { return GetTextFaceW(hdc, count, face); }
// The fonts of a file for this process; the count of faces added, 0 on
// failure. A remove must name the file and flags of an add; a file added n
// times goes after n removes. Neither reports an extended error.
int AddFontResourceExA(LPCSTR name, DWORD flags, void* reserved);
BOOL RemoveFontResourceExA(LPCSTR name, DWORD flags, void* reserved);

// ---- Text ---------------------------------------------------------------

UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetTextCharacterExtra(HDC hdc, int extra);
int GetTextCharacterExtra(HDC hdc);
BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount);
int GetTextCharset(HDC hdc);

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count);
BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count);
inline BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count) { return TextOutA(hdc, x, y, text, count); }
inline BOOL TextOut(HDC hdc, int x, int y, LPCWSTR text, int count) { return TextOutW(hdc, x, y, text, count); }
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx);
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx);
inline BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                       const INT* dx) {
  return ExtTextOutA(hdc, x, y, options, rect, text, count, dx);
}
inline BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                       const INT* dx) {
  return ExtTextOutW(hdc, x, y, options, rect, text, count, dx);
}
LONG TabbedTextOutA(HDC hdc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabStops, int tabOrigin);
LONG TabbedTextOutW(HDC hdc, int x, int y, LPCWSTR text, int count, int tabCount, const INT* tabStops,
                    int tabOrigin);
inline LONG TabbedTextOut(HDC hdc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabStops,
                          int tabOrigin) {
  return TabbedTextOutA(hdc, x, y, text, count, tabCount, tabStops, tabOrigin);
}
inline LONG TabbedTextOut(HDC hdc, int x, int y, LPCWSTR text, int count, int tabCount, const INT* tabStops,
                          int tabOrigin) {
  return TabbedTextOutW(hdc, x, y, text, count, tabCount, tabStops, tabOrigin);
}
DWORD GetTabbedTextExtentA(HDC hdc, LPCSTR text, int count, int tabCount, const INT* tabStops);
DWORD GetTabbedTextExtentW(HDC hdc, LPCWSTR text, int count, int tabCount, const INT* tabStops);
inline DWORD GetTabbedTextExtent(HDC hdc, LPCSTR text, int count, int tabCount, const INT* tabStops) {
  return GetTabbedTextExtentA(hdc, text, count, tabCount, tabStops);
}
inline DWORD GetTabbedTextExtent(HDC hdc, LPCWSTR text, int count, int tabCount, const INT* tabStops) {
  return GetTabbedTextExtentW(hdc, text, count, tabCount, tabStops);
}
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size);
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size);
inline BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  return GetTextExtentPoint32A(hdc, text, count, size);
}
inline BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
  return GetTextExtentPoint32W(hdc, text, count, size);
}
BOOL GetTextExtentExPointA(HDC hdc, LPCSTR text, int count, int maxExtent, INT* fit, INT* dx, LPSIZE size);
BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, LPSIZE size);
inline BOOL GetTextExtentExPoint(HDC hdc, LPCSTR text, int count, int maxExtent, INT* fit, INT* dx, LPSIZE size) {
  return GetTextExtentExPointA(hdc, text, count, maxExtent, fit, dx, size);
}
inline BOOL GetTextExtentExPoint(HDC hdc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, LPSIZE size) {
  return GetTextExtentExPointW(hdc, text, count, maxExtent, fit, dx, size);
}
BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA metrics);
BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW metrics);
inline BOOL GetTextMetrics(HDC hdc, LPTEXTMETRICA metrics) { return GetTextMetricsA(hdc, metrics); }
inline BOOL GetTextMetrics(HDC hdc, LPTEXTMETRICW metrics) { return GetTextMetricsW(hdc, metrics); }
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, INT* widths);
BOOL GetCharWidth32W(HDC hdc, UINT first, UINT last, INT* widths);
inline BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths) {
  return GetCharWidth32W(hdc, first, last, widths);
}
BOOL GetCharABCWidthsA(HDC hdc, UINT first, UINT last, LPABC widths);
BOOL GetCharABCWidthsW(HDC hdc, UINT first, UINT last, LPABC widths);
inline BOOL GetCharABCWidths(HDC hdc, UINT first, UINT last, LPABC widths) {
  return GetCharABCWidthsW(hdc, first, last, widths);
}

int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format);
int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format);
inline int DrawText(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  return DrawTextA(hdc, text, count, rect, format);
}
inline int DrawText(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  return DrawTextW(hdc, text, count, rect, format);
}
// With DT_MODIFYSTRING the buffer must hold count + 4 characters.
int DrawTextExA(HDC hdc, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);
int DrawTextExW(HDC hdc, LPWSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);
inline int DrawTextEx(HDC hdc, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params) {
  return DrawTextExA(hdc, text, count, rect, format, params);
}
inline int DrawTextEx(HDC hdc, LPWSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params) {
  return DrawTextExW(hdc, text, count, rect, format, params);
}
BOOL DrawStateA(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
                UINT flags);
BOOL DrawStateW(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
                UINT flags);
inline BOOL DrawState(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wdata, int x, int y, int cx,
                      int cy, UINT flags) {
  return DrawStateA(hdc, brush, proc, data, wdata, x, y, cx, cy, flags);
}
BOOL GrayStringA(HDC hdc, HBRUSH brush, GRAYSTRINGPROC proc, LPARAM data, int count, int x, int y, int cx, int cy);
BOOL GrayStringW(HDC hdc, HBRUSH brush, GRAYSTRINGPROC proc, LPARAM data, int count, int x, int y, int cx, int cy);

// ---- Classic drawing ----------------------------------------------------

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state);

// ---- Icons and cursors --------------------------------------------------

HICON CreateIconIndirect(PICONINFO info);
HICON CreateIcon(HINSTANCE instance, int width, int height, BYTE planes, BYTE bitsPixel, const BYTE* andBits,
                 const BYTE* xorBits);
HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version);
HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int cx, int cy, UINT flags);
int LookupIconIdFromDirectoryEx(BYTE* dir, BOOL icon, int cx, int cy, UINT flags);
BOOL GetIconInfo(HICON icon, PICONINFO info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
inline HICON LoadIcon(HINSTANCE instance, LPCSTR name) { return LoadIconA(instance, name); }
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker, UINT flags);
