// Visual styles. No visual style is active: IsThemeActive and IsAppThemed
// answer FALSE, OpenThemeData answers null and the functions that take a
// theme handle fail with E_HANDLE. A theme provider can be installed (tests
// install a recording one) to stand for a visual style. Buffered painting
// works for real.
#pragma once

#include <string>

#include "platform/win/comctl/commctrl.h"
#include "platform/win/gdi/gdi.h"

// ---- Records and values ---------------------------------------------------------

struct MARGINS {
  int cxLeftWidth;
  int cxRightWidth;
  int cyTopHeight;
  int cyBottomHeight;
};
using PMARGINS = MARGINS*;

enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW };
enum PROPERTYORIGIN { PO_STATE, PO_PART, PO_CLASS, PO_GLOBAL, PO_NOTFOUND };

#define MAX_INTLIST_COUNT 402
struct INTLIST {
  int iValueCount;
  int iValues[MAX_INTLIST_COUNT];
};

using DTT_CALLBACK_PROC = int (*)(HDC hdc, LPWSTR pszText, int cchText, LPRECT prc, UINT dwFlags, LPARAM lParam);

struct DTTOPTS {
  DWORD dwSize;
  DWORD dwFlags;
  COLORREF crText;
  COLORREF crBorder;
  COLORREF crShadow;
  int iTextShadowType;
  POINT ptShadowOffset;
  int iBorderSize;
  int iFontPropId;
  int iColorPropId;
  int iStateId;
  BOOL fApplyOverlay;
  int iGlowSize;
  DTT_CALLBACK_PROC pfnDrawTextCallback;
  LPARAM lParam;
};

#define DTT_TEXTCOLOR (1UL << 0)
#define DTT_BORDERCOLOR (1UL << 1)
#define DTT_SHADOWCOLOR (1UL << 2)
#define DTT_SHADOWTYPE (1UL << 3)
#define DTT_SHADOWOFFSET (1UL << 4)
#define DTT_BORDERSIZE (1UL << 5)
#define DTT_FONTPROP (1UL << 6)
#define DTT_COLORPROP (1UL << 7)
#define DTT_STATEID (1UL << 8)
#define DTT_CALCRECT (1UL << 9)
#define DTT_APPLYOVERLAY (1UL << 10)
#define DTT_GLOWSIZE (1UL << 11)
#define DTT_CALLBACK (1UL << 12)
#define DTT_COMPOSITED (1UL << 13)

#define ETDT_DISABLE 0x00000001
#define ETDT_ENABLE 0x00000002
#define ETDT_USETABTEXTURE 0x00000004
#define ETDT_ENABLETAB (ETDT_ENABLE | ETDT_USETABTEXTURE)
#define ETDT_USEAEROWIZARDTABTEXTURE 0x00000008
#define ETDT_ENABLEAEROWIZARDTAB (ETDT_ENABLE | ETDT_USEAEROWIZARDTABTEXTURE)
#define ETDT_VALIDBITS (ETDT_DISABLE | ETDT_ENABLE | ETDT_USETABTEXTURE | ETDT_USEAEROWIZARDTABTEXTURE)

#define STAP_ALLOW_NONCLIENT (1UL << 0)
#define STAP_ALLOW_CONTROLS (1UL << 1)
#define STAP_ALLOW_WEBCONTENT (1UL << 2)

// Theme properties the painters ask for.
#define TMT_SIZINGMARGINS 3601
#define TMT_CONTENTMARGINS 3602
#define TMT_CAPTIONMARGINS 3603
#define TMT_BORDERCOLOR 3801
#define TMT_FILLCOLOR 3802
#define TMT_TEXTCOLOR 3803
#define TMT_EDGELIGHTCOLOR 3804
#define TMT_EDGEHIGHLIGHTCOLOR 3805
#define TMT_EDGESHADOWCOLOR 3806
#define TMT_EDGEDKSHADOWCOLOR 3807
#define TMT_EDGEFILLCOLOR 3808

#define HTTB_BACKGROUNDSEG 0x0000
#define HTTB_FIXEDBORDER 0x0002
#define HTTB_CAPTION 0x0004
#define HTTB_RESIZINGBORDER_LEFT 0x0010
#define HTTB_RESIZINGBORDER_TOP 0x0020
#define HTTB_RESIZINGBORDER_RIGHT 0x0040
#define HTTB_RESIZINGBORDER_BOTTOM 0x0080

// ---- Buffered painting ------------------------------------------------------------

struct _PAINTBUFFER;
using HPAINTBUFFER = _PAINTBUFFER*;

enum BP_BUFFERFORMAT { BPBF_COMPATIBLEBITMAP, BPBF_DIB, BPBF_TOPDOWNDIB, BPBF_TOPDOWNMONODIB };

#define BPPF_ERASE 0x0001
#define BPPF_NOCLIP 0x0002
#define BPPF_NONCLIENT 0x0004

struct BP_PAINTPARAMS {
  DWORD cbSize;
  DWORD dwFlags;
  const RECT* prcExclude;
  const BLENDFUNCTION* pBlendFunction;
};

HRESULT BufferedPaintInit();
HRESULT BufferedPaintUnInit();
// A memory DC whose logical coordinates are the target's: what is drawn
// on it at prcTarget lands at prcTarget on the target when the paint ends.
// Every format is a 32-bit buffer except BPBF_TOPDOWNMONODIB (1 bit);
// BPBF_DIB is bottom-up, the others top-down.
HPAINTBUFFER BeginBufferedPaint(HDC hdcTarget, const RECT* prcTarget, BP_BUFFERFORMAT dwFormat,
                                BP_PAINTPARAMS* pPaintParams, HDC* phdc);
// Copies (or, with a blend function, alpha-blends) the buffer onto the
// target when fUpdateTarget, leaving prcExclude alone; frees the buffer.
HRESULT EndBufferedPaint(HPAINTBUFFER hBufferedPaint, BOOL fUpdateTarget);
// prc in the target's coordinates; null for the whole buffer.
HRESULT BufferedPaintClear(HPAINTBUFFER hBufferedPaint, const RECT* prc);
HRESULT BufferedPaintSetAlpha(HPAINTBUFFER hBufferedPaint, const RECT* prc, BYTE alpha);
// The buffer's first row in memory and its length in pixels (DIB formats).
HRESULT GetBufferedPaintBits(HPAINTBUFFER hBufferedPaint, RGBQUAD** ppbBuffer, int* pcxRow);
HDC GetBufferedPaintDC(HPAINTBUFFER hBufferedPaint);
HDC GetBufferedPaintTargetDC(HPAINTBUFFER hBufferedPaint);
HRESULT GetBufferedPaintTargetRect(HPAINTBUFFER hBufferedPaint, RECT* prc);
HRESULT BufferedPaintStopAllAnimations(HWND hwnd);

// ---- Themes -------------------------------------------------------------------------

BOOL IsThemeActive();
BOOL IsAppThemed();
HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
HRESULT CloseThemeData(HTHEME hTheme);
// The handle OpenThemeData last gave for the window and that is still
// open; null when none or when no style is active.
HTHEME GetWindowTheme(HWND hwnd);
// Per window: a sub-application name that prefixes the class names
// OpenThemeData looks up ("Name::Class", then "Class"), and a list that
// replaces the class list. Null leaves that part to the window's class; two
// empty strings turn visual styles off for the window. Sends WM_THEMECHANGED.
HRESULT SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList);
HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, LPCRECT pClipRect);
HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pDestRect, UINT uEdge, UINT uFlags,
                      LPRECT pContentRect);
HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, HIMAGELIST himl,
                      int iImageIndex);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc);
HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchText,
                      DWORD dwTextFlags, DWORD dwTextFlags2, LPCRECT pRect);
HRESULT DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchText,
                        DWORD dwTextFlags, LPRECT pRect, const DTTOPTS* pOptions);
// The window's dialog texture flag, kept whether or not a style is active
// (it takes effect when one is); ETDT_ENABLE with ETDT_DISABLE is
// E_INVALIDARG.
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags);
BOOL IsThemeDialogTextureEnabled(HWND hwnd);
HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff, int cchMaxColorChars,
                            LPWSTR pszSizeBuff, int cchMaxSizeChars);
DWORD GetThemeAppProperties();
void SetThemeAppProperties(DWORD dwFlags);
HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pBoundingRect,
                                      LPRECT pContentRect);
HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pContentRect,
                                 LPRECT pExtentRect);
HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, HRGN* pRegion);
HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT prc, THEMESIZE eSize, SIZE* psz);
HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor);
HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LPCRECT prc,
                        MARGINS* pMargins);
HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal);
HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
HRESULT GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal);
HRESULT GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId, INTLIST* pIntList);
HRESULT GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId, POINT* pPoint);
HRESULT GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPRECT pRect);
HRESULT GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszBuff, int cchMaxBuffChars);
HRESULT GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszThemeFileName,
                         int cchMaxBuffChars);
HRESULT GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LOGFONTW* pFont);
HRESULT GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId, int iPropId, PROPERTYORIGIN* pOrigin);
HRESULT GetThemeDocumentationProperty(LPCWSTR pszThemeName, LPCWSTR pszPropertyName, LPWSTR pszValueBuff,
                                      int cchMaxValChars);
HRESULT GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchCharCount,
                           DWORD dwTextFlags, LPCRECT pBoundingRect, LPRECT pExtentRect);
HRESULT GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, TEXTMETRICW* ptm);
HRESULT HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, DWORD dwOptions, LPCRECT pRect,
                               HRGN hrgn, POINT ptTest, WORD* pwHitTestCode);
BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId);
BOOL GetThemeSysBool(HTHEME hTheme, int iBoolId);
COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId);
HBRUSH GetThemeSysColorBrush(HTHEME hTheme, int iColorId);
HRESULT GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf);
HRESULT GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue);
int GetThemeSysSize(HTHEME hTheme, int iSizeId);
HRESULT GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff, int cchMaxStringChars);

// Over-pan feedback of touch panning; touch never pans here: FALSE.
BOOL BeginPanningFeedback(HWND hwnd);
BOOL UpdatePanningFeedback(HWND hwnd, LONG lTotalOverpanOffsetX, LONG lTotalOverpanOffsetY, BOOL fInInertia);
BOOL EndPanningFeedback(HWND hwnd, BOOL fAnimateBack);

namespace rtl::detail {

// What stands for a visual style. Calls with a theme handle reach the
// provider that opened it; what a provider does not answer fails with
// E_NOTIMPL.
class TThemeProvider {
 public:
  virtual ~TThemeProvider() = default;
  // Null when the class list names no class the style draws.
  virtual HTHEME Open(HWND hwnd, const std::u16string& classList) = 0;
  virtual HRESULT Close(HTHEME theme) = 0;
  virtual HRESULT DrawBackground(HTHEME, HDC, int part, int state, const RECT& rect, const RECT* clip);
  virtual HRESULT DrawEdge(HTHEME, HDC, int part, int state, const RECT& rect, UINT edge, UINT flags, RECT* content);
  virtual HRESULT DrawText(HTHEME, HDC, int part, int state, const std::u16string& text, DWORD flags, RECT& rect,
                           const DTTOPTS* options);
  virtual HRESULT PartSize(HTHEME, HDC, int part, int state, const RECT* rect, THEMESIZE size, SIZE* out);
  virtual HRESULT ContentRect(HTHEME, HDC, int part, int state, const RECT& bounds, RECT* content);
  virtual HRESULT BackgroundRegion(HTHEME, HDC, int part, int state, const RECT& rect, HRGN* region);
  virtual HRESULT Color(HTHEME, int part, int state, int prop, COLORREF* color);
  virtual HRESULT Margins(HTHEME, HDC, int part, int state, int prop, MARGINS* margins);
  virtual HRESULT Int(HTHEME, int part, int state, int prop, int* value);
  virtual bool PartiallyTransparent(HTHEME, int part, int state);
  virtual bool PartDefined(HTHEME, int part, int state);
  virtual int SysSize(HTHEME, int id);
  // File, colour scheme and size names of the style.
  virtual HRESULT CurrentName(std::u16string& file, std::u16string& colour, std::u16string& size);
};

// Installs a provider (not owned; null: no visual style, the default).
void SetThemeProvider(TThemeProvider* provider);
TThemeProvider* ThemeProvider();

}  // namespace rtl::detail
