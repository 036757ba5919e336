// The grid library's own binding of the visual-styles library, bound by
// name at start-up, and its built-in table of colour schemes.
#pragma once

#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"


namespace NxThemesSupport {

using TOpenThemeData = HTHEME (*)(HWND hwnd, LPCWSTR pszClassList);
using TCloseThemeData = HRESULT (*)(HTHEME hTheme);
using TDrawThemeBackground = HRESULT (*)(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                         const RECT* pClipRect);
using TDrawThemeEdge = HRESULT (*)(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect, UINT uEdge,
                                   UINT uFlags, RECT* pContentRect);
using TGetThemeSysSize = int (*)(HTHEME hTheme, int iSizeId);
using TIsThemeActive = BOOL (*)();
using TIsAppThemed = BOOL (*)();

// The library's module (null when loading failed) and what was bound from
// it (each null when the library or the export is missing).
extern HMODULE ThemeLibrary;
extern TOpenThemeData OpenThemeData;
extern TCloseThemeData CloseThemeData;
extern TDrawThemeBackground DrawThemeBackground;
extern TDrawThemeEdge DrawThemeEdge;
extern TGetThemeSysSize GetThemeSysSize;
extern TIsThemeActive IsThemeActive;
extern TIsAppThemed IsAppThemed;

}  // namespace NxThemesSupport

// Loads "uxtheme.dll" and binds the seven functions, once.
void LoadThemeLibrary();
// Whether themed drawing is possible now. Ask it at every paint: it follows
// the user switching visual styles. Never raises: a missing function or a
// failing call answers false.
bool IsThemed();
// Draws the part and state background of the window's theme class into
// Rect (clipped to it), opening and closing the theme data around it.
// Callers ask IsThemed first.
void ThemeDrawBackground(HWND Wnd, HDC DC, const TRect& Rect, const WideString& ClassList, Integer PartId,
                         Integer StateId);

constexpr Integer SchemeCount = 6;
constexpr Integer SchemeRoleCount = 24;
// Schemes 1 to 6, kept at [scheme - 1]; filled by the unit's start-up.
extern TColor SchemeColors[SchemeCount][SchemeRoleCount];
extern Byte DefaultColorScheme;

// The colour of a role in a scheme (0: the default scheme); both taken
// modulo 128. Anything outside the table answers 0.
TColor GetSchemeColor(Integer Index, Integer Scheme);
// Fills SchemeColors as the unit's start-up does.
void FillSchemeColors();
