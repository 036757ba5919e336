// Visual styles and desktop composition without importing them: the
// UxTheme functions bound by name from "UxTheme.dll", the theme manager
// that keeps one theme handle per theme class and tells interested objects
// when the theme or the system colours change, and the composition
// functions bound by name from "dwmapi.dll". A missing library or name
// turns its feature off; nothing here fails because of it. Tests put
// recording stand-ins into the procedure variables. User-interface thread
// only.
#pragma once

#include <span>

#include "platform/rtl/closure.h"
#include "platform/rtl/types.h"
#include "platform/win/dwm/dwmapi.h"
#include "platform/win/uxtheme/uxtheme.h"
#include "ui/foundation/core_classes.h"

// ---- UxTheme binding ------------------------------------------------------------------

// The 56 names bound, in the order they are looked up.
#define DX_UXTHEME_ENTRY_POINTS(X)      \
  X(CloseThemeData)                     \
  X(DrawThemeBackground)                \
  X(DrawThemeEdge)                      \
  X(DrawThemeIcon)                      \
  X(DrawThemeParentBackground)          \
  X(DrawThemeText)                      \
  X(DrawThemeTextEx)                    \
  X(EnableThemeDialogTexture)           \
  X(GetCurrentThemeName)                \
  X(GetThemeAppProperties)              \
  X(GetThemeBackgroundContentRect)      \
  X(GetThemeBackgroundRegion)           \
  X(GetThemeBackgroundExtent)           \
  X(GetThemeBool)                       \
  X(GetThemeColor)                      \
  X(GetThemeDocumentationProperty)      \
  X(GetThemeEnumValue)                  \
  X(GetThemeFilename)                   \
  X(GetThemeFont)                       \
  X(GetThemeInt)                        \
  X(GetThemeIntList)                    \
  X(GetThemeMargins)                    \
  X(GetThemeMetric)                     \
  X(GetThemePartSize)                   \
  X(GetThemePosition)                   \
  X(GetThemePropertyOrigin)             \
  X(GetThemeRect)                       \
  X(GetThemeString)                     \
  X(GetThemeSysBool)                    \
  X(GetThemeSysColor)                   \
  X(GetThemeSysColorBrush)              \
  X(GetThemeSysFont)                    \
  X(GetThemeSysInt)                     \
  X(GetThemeSysSize)                    \
  X(GetThemeSysString)                  \
  X(GetThemeTextExtent)                 \
  X(GetThemeTextMetrics)                \
  X(GetWindowTheme)                     \
  X(HitTestThemeBackground)             \
  X(IsAppThemed)                        \
  X(IsThemeActive)                      \
  X(IsThemePartDefined)                 \
  X(IsThemeBackgroundPartiallyTransparent) \
  X(IsThemeDialogTextureEnabled)        \
  X(OpenThemeData)                      \
  X(SetThemeAppProperties)              \
  X(SetWindowTheme)                     \
  X(BeginBufferedPaint)                 \
  X(BufferedPaintClear)                 \
  X(BufferedPaintInit)                  \
  X(BufferedPaintSetAlpha)              \
  X(BufferedPaintUnInit)                \
  X(EndBufferedPaint)                   \
  X(BeginPanningFeedback)               \
  X(UpdatePanningFeedback)              \
  X(EndPanningFeedback)

// The procedure variables; null while unbound or when the library lacks
// the name.
struct TdxUxThemeApi {
#define DX_UXTHEME_SLOT(Name) decltype(&::Name) Name = nullptr;
  DX_UXTHEME_ENTRY_POINTS(DX_UXTHEME_SLOT)
#undef DX_UXTHEME_SLOT
};
extern TdxUxThemeApi dxUxThemeApi;

// One name and the variable it fills.
struct TdxBindingEntryPoint {
  const char* Name;
  void* Slot;  // a function-pointer variable
};
std::span<const TdxBindingEntryPoint> dxUxThemeEntryPointTable();

// Whether "UxTheme.dll" is loaded.
bool dxUxThemeLoaded();
// Looks the names up in the loaded library; a missing name leaves its
// variable null.
void dxUxThemeBind();

// Wrappers passing their arguments on unchanged. Where the variable is
// null they answer failure (E_NOTIMPL, FALSE or null) instead of calling it.
HTHEME dxOpenThemeData(HWND AWnd, LPCWSTR AClassList);
HRESULT dxCloseThemeData(HTHEME ATheme);
HRESULT dxDrawThemeBackground(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R,
                              const TRect* AClipRect = nullptr);
HRESULT dxDrawThemeBackgroundClip(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R,
                                  const TRect& AClipRect);
HRESULT dxDrawThemeText(HTHEME ATheme, HDC DC, int APartId, int AStateId, const WideString& AText, int ACharCount,
                        DWORD AFlags, DWORD AFlags2, const TRect& R);
// Converts the 8-bit text to wide first.
HRESULT dxDrawThemeTextA(HTHEME ATheme, HDC DC, int APartId, int AStateId, const AnsiString& AText, int ACharCount,
                         DWORD AFlags, DWORD AFlags2, const TRect& R);
HRESULT dxDrawThemeTextEx(HTHEME ATheme, HDC DC, int APartId, int AStateId, const WideString& AText, int ACharCount,
                          DWORD AFlags, TRect& R, const DTTOPTS& AOptions);
HRESULT dxGetThemeBackgroundContentRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& ABounds,
                                        TRect& AContent);
HRESULT dxGetThemePartSize(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect* R, THEMESIZE ASize,
                           SIZE& AResult);
HRESULT dxGetThemePartSizeForRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R, THEMESIZE ASize,
                                  SIZE& AResult);
// No rectangle is passed.
HRESULT dxGetThemePartSizeNoRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, THEMESIZE ASize, SIZE& AResult);
HRESULT dxGetThemeBackgroundRegion(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R, HRGN& ARegion);
HRESULT dxDrawThemeEdge(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& ADest, UINT AEdge, UINT AFlags,
                        TRect* AContent = nullptr);
BOOL dxIsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APartId, int AStateId);
HRESULT dxGetThemeColor(HTHEME ATheme, int APartId, int AStateId, int APropId, COLORREF& AColor);
HRESULT dxGetThemeMargins(HTHEME ATheme, HDC DC, int APartId, int AStateId, int APropId, const TRect* R,
                          MARGINS& AMargins);
HRESULT dxGetCurrentThemeName(LPWSTR AFileName, int AFileNameChars, LPWSTR AColorName, int AColorNameChars,
                              LPWSTR ASizeName, int ASizeNameChars);
HRESULT dxBufferedPaintInit();
HRESULT dxBufferedPaintUnInit();
HPAINTBUFFER dxBeginBufferedPaint(HDC ATarget, const TRect& R, BP_BUFFERFORMAT AFormat, BP_PAINTPARAMS* AParams,
                                  HDC& ABufferDC);
HRESULT dxEndBufferedPaint(HPAINTBUFFER ABuffer, bool AUpdateTarget);
HRESULT dxBufferedPaintClear(HPAINTBUFFER ABuffer, const TRect* R);
HRESULT dxBufferedPaintSetAlpha(HPAINTBUFFER ABuffer, const TRect* R, Byte AAlpha);

// IsThemeActive's answer; 0 when the name is not bound.
BOOL dxIsThemeActive();
// False when the entry point is not bound; otherwise the platform's answer.
bool dxPanningFeedbackBegin(HWND AWnd);
bool dxPanningFeedbackUpdate(HWND AWnd, const TPoint& AOverpan, bool AInInertia);
bool dxPanningFeedbackEnd(HWND AWnd, bool AAnimateBack);

// ---- Theme manager ------------------------------------------------------------------------

enum TdxThemeClassIndex {
  tciButton, tciClock, tciComboBox, tciEdit, tciExplorerBar, tciHeader, tciListBox, tciListView, tciMenu,
  tciPage, tciProgress, tciRebar, tciScrollBar, tciSpin, tciStartPanel, tciStatus, tciTab, tciTaskBand,
  tciTaskBar, tciToolBar, tciToolTip, tciTrackBar, tciTrayNotify, tciTreeView, tciWindow, tciNavigation,
};
constexpr int dxThemeClassCount = tciNavigation + 1;
using TdxThemeClassIndexes = TSet<TdxThemeClassIndex, dxThemeClassCount>;

// "Button" ... "Navigation".
const WideString& dxThemeClassName(TdxThemeClassIndex AClass);

// Visual styles are loaded and active and, for a non-empty set, every class
// of the set gets a theme handle.
bool dxAreVisualStylesAvailable(TdxThemeClassIndexes AClasses = {});
// The class's cached theme handle, opened on first use with AClassList
// (null: the list it had, else the class's name); a different list closes
// the cached handle and opens another. 0 when visual styles are not
// available or the theme cannot be opened.
HTHEME dxGetThemeHandle(TdxThemeClassIndex AClass, LPCWSTR AClassList = nullptr);
// S_FALSE (1) without visual styles, S_OK when nothing is cached, else
// CloseThemeData's result; the class's handle and list are cleared.
HRESULT dxCloseThemeHandle(TdxThemeClassIndex AClass);
// Closes every cached handle and keeps the class lists, so that each class
// reopens with its list.
void dxCloseAllThemeHandles();
// Both lists converted to 8-bit text and compared without regard to case.
bool dxSameClassList(const WideString& A, const WideString& B);

using TdxThemeChangedEvent = TClosure<void()>;

// Told when the theme or the system colours change. Registered only when
// the theme library is loaded and the manager has started.
class TdxThemeChangedNotificator : public TObject {
  RTL_CLASS(TdxThemeChangedNotificator, TObject)

 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;
  TdxThemeChangedNotificator(const TdxThemeChangedNotificator&) = delete;
  TdxThemeChangedNotificator& operator=(const TdxThemeChangedNotificator&) = delete;

  // Calls OnThemeChanged when assigned.
  virtual void NotifyThemeChanged();
  TdxThemeChangedEvent OnThemeChanged;
};

// Closes the theme handles and tells the notificators on WM_THEMECHANGED
// and WM_SYSCOLORCHANGE, through a hidden window of its own.
class TdxThemeChangedEventReceiver : public TObject {
  RTL_CLASS(TdxThemeChangedEventReceiver, TObject)
  HWND FWindowHandle = nullptr;

  void HandleMessage(TMessage& Message);

 public:
  TdxThemeChangedEventReceiver();
  // Clears the themes-active flag and releases the window.
  ~TdxThemeChangedEventReceiver() override;

  void NotifyAll();
  HWND WindowHandle() const { return FWindowHandle; }
};

// The receiver while the manager runs; null otherwise.
TdxThemeChangedEventReceiver* dxThemeChangedEventReceiver();

// ---- Desktop composition binding -----------------------------------------------------------

#define DX_DWM_ENTRY_POINTS(X)    \
  X(DwmDefWindowProc)             \
  X(DwmEnableBlurBehindWindow)    \
  X(DwmEnableComposition)         \
  X(DwmEnableMMCSS)               \
  X(DwmExtendFrameIntoClientArea) \
  X(DwmGetColorizationColor)      \
  X(DwmGetWindowAttribute)        \
  X(DwmIsCompositionEnabled)      \
  X(DwmSetWindowAttribute)        \
  X(DwmSetIconicThumbnail)        \
  X(DwmSetIconicLivePreviewBitmap) \
  X(DwmInvalidateIconicBitmaps)

struct TdxDwmApi {
#define DX_DWM_SLOT(Name) decltype(&::Name) Name = nullptr;
  DX_DWM_ENTRY_POINTS(DX_DWM_SLOT)
#undef DX_DWM_SLOT
};
extern TdxDwmApi dxDwmApi;
std::span<const TdxBindingEntryPoint> dxDwmEntryPointTable();

// Loads "dwmapi.dll" and looks the 12 names up; nothing on a platform of
// major version 5 or below. Nothing when already loaded.
void dxDWMBind();
// Frees the library and clears the variables.
void dxDWMUnbind();
bool dxDWMLoaded();
// False without the library; otherwise whether composition is on.
bool dxIsDesktopCompositionOn();

namespace dx_themes_detail {
// The three units' start-ups and shut-downs. The theme manager's run
// through the units loader.
void StartUxThemeUnit();
void StopUxThemeUnit();
void StartThemeManager();
void StopThemeManager();
void RegisterThemeManagerUnit();
void FinalizeThemeManagerUnit();
void StartDwmUnit();
void StopDwmUnit();
// The file the UxTheme binding loads ("UxTheme.dll"); tests name a missing
// one.
void SetUxThemeFileName(const char* AFileName);
// The themes-active flag as it is.
bool ThemesActive();
// The class list cached for a class (empty when none).
WideString CachedClassList(TdxThemeClassIndex AClass);
}  // namespace dx_themes_detail
