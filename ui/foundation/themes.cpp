#include "ui/foundation/themes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/comctl/commctrl.h"
#include "platform/win/kernel/kernel_module.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"
#include "ui/foundation/units_loader.h"

RTL_IMPLEMENT_CLASS(TdxThemeChangedNotificator)
RTL_IMPLEMENT_CLASS(TdxThemeChangedEventReceiver)

TdxUxThemeApi dxUxThemeApi;
TdxDwmApi dxDwmApi;

namespace {

// ---- Binding tables ---------------------------------------------------------------------

#define DX_TABLE_ROW(Api, Name) {#Name, &Api.Name},
#define DX_UXTHEME_ROW(Name) DX_TABLE_ROW(dxUxThemeApi, Name)
#define DX_DWM_ROW(Name) DX_TABLE_ROW(dxDwmApi, Name)
const TdxBindingEntryPoint kUxThemeTable[] = {DX_UXTHEME_ENTRY_POINTS(DX_UXTHEME_ROW)};
const TdxBindingEntryPoint kDwmTable[] = {DX_DWM_ENTRY_POINTS(DX_DWM_ROW)};
#undef DX_DWM_ROW
#undef DX_UXTHEME_ROW
#undef DX_TABLE_ROW

void BindTable(HMODULE ALibrary, std::span<const TdxBindingEntryPoint> ATable) {
  for (const TdxBindingEntryPoint& e : ATable) {
    FARPROC p = ALibrary ? GetProcAddress(ALibrary, e.Name) : nullptr;
    std::memcpy(e.Slot, &p, sizeof p);
  }
}

const char* gUxThemeFileName = "UxTheme.dll";
HMODULE gUxTheme = nullptr;
HMODULE gDwm = nullptr;
bool gDwmLoaded = false;

// ---- Theme manager state ----------------------------------------------------------------

struct TdxThemeData {
  HTHEME Handle = nullptr;
  WideString ClassList;
};

const std::array<WideString, dxThemeClassCount> kClassNames = {
    u"Button",   u"Clock",      u"ComboBox",   u"Edit",    u"ExplorerBar", u"Header",   u"ListBox",
    u"ListView", u"Menu",       u"Page",       u"Progress", u"Rebar",      u"ScrollBar", u"Spin",
    u"StartPanel", u"Status",   u"Tab",        u"TaskBand", u"TaskBar",    u"ToolBar",  u"ToolTip",
    u"TrackBar", u"TrayNotify", u"TreeView",   u"Window",  u"Navigation",
};

std::array<TdxThemeData, dxThemeClassCount> gThemeData;
bool gThemesActive = false;
// Null while the manager is not running: notificators made then are never
// registered.
std::vector<TdxThemeChangedNotificator*>* gNotificators = nullptr;
TdxThemeChangedEventReceiver* gReceiver = nullptr;

}  // namespace

// ---- UxTheme binding ----------------------------------------------------------------------

std::span<const TdxBindingEntryPoint> dxUxThemeEntryPointTable() { return kUxThemeTable; }

bool dxUxThemeLoaded() { return gUxTheme != nullptr; }

void dxUxThemeBind() { BindTable(gUxTheme, kUxThemeTable); }

HTHEME dxOpenThemeData(HWND AWnd, LPCWSTR AClassList) {
  return dxUxThemeApi.OpenThemeData ? dxUxThemeApi.OpenThemeData(AWnd, AClassList) : nullptr;
}

HRESULT dxCloseThemeData(HTHEME ATheme) {
  return dxUxThemeApi.CloseThemeData ? dxUxThemeApi.CloseThemeData(ATheme) : E_NOTIMPL;
}

HRESULT dxDrawThemeBackground(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R,
                              const TRect* AClipRect) {
  if (!dxUxThemeApi.DrawThemeBackground) return E_NOTIMPL;
  return dxUxThemeApi.DrawThemeBackground(ATheme, DC, APartId, AStateId, &R, AClipRect);
}

HRESULT dxDrawThemeBackgroundClip(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R,
                                  const TRect& AClipRect) {
  return dxDrawThemeBackground(ATheme, DC, APartId, AStateId, R, &AClipRect);
}

HRESULT dxDrawThemeText(HTHEME ATheme, HDC DC, int APartId, int AStateId, const WideString& AText, int ACharCount,
                        DWORD AFlags, DWORD AFlags2, const TRect& R) {
  if (!dxUxThemeApi.DrawThemeText) return E_NOTIMPL;
  return dxUxThemeApi.DrawThemeText(ATheme, DC, APartId, AStateId, AText.c_str(), ACharCount, AFlags, AFlags2, &R);
}

HRESULT dxDrawThemeTextA(HTHEME ATheme, HDC DC, int APartId, int AStateId, const AnsiString& AText, int ACharCount,
                         DWORD AFlags, DWORD AFlags2, const TRect& R) {
  // A count of bytes becomes the count of the characters they make.
  WideString text = AnsiToWide(ACharCount < 0 ? AText : AText.substr(0, size_t(ACharCount)));
  return dxDrawThemeText(ATheme, DC, APartId, AStateId, text, ACharCount < 0 ? -1 : int(text.size()), AFlags,
                         AFlags2, R);
}

HRESULT dxDrawThemeTextEx(HTHEME ATheme, HDC DC, int APartId, int AStateId, const WideString& AText, int ACharCount,
                          DWORD AFlags, TRect& R, const DTTOPTS& AOptions) {
  if (!dxUxThemeApi.DrawThemeTextEx) return E_NOTIMPL;
  // DT_MODIFYSTRING may write into the text: hand over a copy.
  std::vector<char16_t> text(AText.begin(), AText.end());
  text.resize(text.size() + 5, 0);
  return dxUxThemeApi.DrawThemeTextEx(ATheme, DC, APartId, AStateId, text.data(), ACharCount, AFlags, &R, &AOptions);
}

HRESULT dxGetThemeBackgroundContentRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& ABounds,
                                        TRect& AContent) {
  if (!dxUxThemeApi.GetThemeBackgroundContentRect) return E_NOTIMPL;
  return dxUxThemeApi.GetThemeBackgroundContentRect(ATheme, DC, APartId, AStateId, &ABounds, &AContent);
}

HRESULT dxGetThemePartSize(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect* R, THEMESIZE ASize,
                           SIZE& AResult) {
  if (!dxUxThemeApi.GetThemePartSize) return E_NOTIMPL;
  return dxUxThemeApi.GetThemePartSize(ATheme, DC, APartId, AStateId, R, ASize, &AResult);
}

HRESULT dxGetThemePartSizeForRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R, THEMESIZE ASize,
                                  SIZE& AResult) {
  return dxGetThemePartSize(ATheme, DC, APartId, AStateId, &R, ASize, AResult);
}

HRESULT dxGetThemePartSizeNoRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, THEMESIZE ASize, SIZE& AResult) {
  return dxGetThemePartSize(ATheme, DC, APartId, AStateId, nullptr, ASize, AResult);
}

HRESULT dxGetThemeBackgroundRegion(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& R, HRGN& ARegion) {
  if (!dxUxThemeApi.GetThemeBackgroundRegion) return E_NOTIMPL;
  return dxUxThemeApi.GetThemeBackgroundRegion(ATheme, DC, APartId, AStateId, &R, &ARegion);
}

HRESULT dxDrawThemeEdge(HTHEME ATheme, HDC DC, int APartId, int AStateId, const TRect& ADest, UINT AEdge, UINT AFlags,
                        TRect* AContent) {
  if (!dxUxThemeApi.DrawThemeEdge) return E_NOTIMPL;
  return dxUxThemeApi.DrawThemeEdge(ATheme, DC, APartId, AStateId, &ADest, AEdge, AFlags, AContent);
}

BOOL dxIsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APartId, int AStateId) {
  if (!dxUxThemeApi.IsThemeBackgroundPartiallyTransparent) return FALSE;
  return dxUxThemeApi.IsThemeBackgroundPartiallyTransparent(ATheme, APartId, AStateId);
}

HRESULT dxGetThemeColor(HTHEME ATheme, int APartId, int AStateId, int APropId, COLORREF& AColor) {
  if (!dxUxThemeApi.GetThemeColor) return E_NOTIMPL;
  return dxUxThemeApi.GetThemeColor(ATheme, APartId, AStateId, APropId, &AColor);
}

HRESULT dxGetThemeMargins(HTHEME ATheme, HDC DC, int APartId, int AStateId, int APropId, const TRect* R,
                          MARGINS& AMargins) {
  if (!dxUxThemeApi.GetThemeMargins) return E_NOTIMPL;
  return dxUxThemeApi.GetThemeMargins(ATheme, DC, APartId, AStateId, APropId, R, &AMargins);
}

HRESULT dxGetCurrentThemeName(LPWSTR AFileName, int AFileNameChars, LPWSTR AColorName, int AColorNameChars,
                              LPWSTR ASizeName, int ASizeNameChars) {
  if (!dxUxThemeApi.GetCurrentThemeName) return E_NOTIMPL;
  return dxUxThemeApi.GetCurrentThemeName(AFileName, AFileNameChars, AColorName, AColorNameChars, ASizeName,
                                          ASizeNameChars);
}

HRESULT dxBufferedPaintInit() { return dxUxThemeApi.BufferedPaintInit ? dxUxThemeApi.BufferedPaintInit() : E_NOTIMPL; }

HRESULT dxBufferedPaintUnInit() {
  return dxUxThemeApi.BufferedPaintUnInit ? dxUxThemeApi.BufferedPaintUnInit() : E_NOTIMPL;
}

HPAINTBUFFER dxBeginBufferedPaint(HDC ATarget, const TRect& R, BP_BUFFERFORMAT AFormat, BP_PAINTPARAMS* AParams,
                                  HDC& ABufferDC) {
  ABufferDC = nullptr;
  if (!dxUxThemeApi.BeginBufferedPaint) return nullptr;
  return dxUxThemeApi.BeginBufferedPaint(ATarget, &R, AFormat, AParams, &ABufferDC);
}

HRESULT dxEndBufferedPaint(HPAINTBUFFER ABuffer, bool AUpdateTarget) {
  if (!dxUxThemeApi.EndBufferedPaint) return E_NOTIMPL;
  return dxUxThemeApi.EndBufferedPaint(ABuffer, AUpdateTarget ? TRUE : FALSE);
}

HRESULT dxBufferedPaintClear(HPAINTBUFFER ABuffer, const TRect* R) {
  return dxUxThemeApi.BufferedPaintClear ? dxUxThemeApi.BufferedPaintClear(ABuffer, R) : E_NOTIMPL;
}

HRESULT dxBufferedPaintSetAlpha(HPAINTBUFFER ABuffer, const TRect* R, Byte AAlpha) {
  return dxUxThemeApi.BufferedPaintSetAlpha ? dxUxThemeApi.BufferedPaintSetAlpha(ABuffer, R, AAlpha) : E_NOTIMPL;
}

BOOL dxIsThemeActive() { return dxUxThemeApi.IsThemeActive ? dxUxThemeApi.IsThemeActive() : FALSE; }

namespace {
// The platform's Boolean convention of these calls: -1 for true.
BOOL Flag(bool AValue) { return AValue ? -1 : 0; }
}  // namespace

bool dxPanningFeedbackBegin(HWND AWnd) {
  return dxUxThemeApi.BeginPanningFeedback && dxUxThemeApi.BeginPanningFeedback(AWnd);
}

bool dxPanningFeedbackUpdate(HWND AWnd, const TPoint& AOverpan, bool AInInertia) {
  return dxUxThemeApi.UpdatePanningFeedback &&
         dxUxThemeApi.UpdatePanningFeedback(AWnd, AOverpan.X, AOverpan.Y, Flag(AInInertia));
}

bool dxPanningFeedbackEnd(HWND AWnd, bool AAnimateBack) {
  return dxUxThemeApi.EndPanningFeedback && dxUxThemeApi.EndPanningFeedback(AWnd, Flag(AAnimateBack));
}

// ---- Theme manager --------------------------------------------------------------------------

const WideString& dxThemeClassName(TdxThemeClassIndex AClass) { return kClassNames[size_t(AClass)]; }

bool dxAreVisualStylesAvailable(TdxThemeClassIndexes AClasses) {
  if (!gThemesActive || !dxUxThemeLoaded()) return false;
  for (int i = 0; i < dxThemeClassCount; ++i) {
    auto c = static_cast<TdxThemeClassIndex>(i);
    if (AClasses.Contains(c) && !dxGetThemeHandle(c)) return false;
  }
  return true;
}

bool dxSameClassList(const WideString& A, const WideString& B) {
  return AnsiUpperCase(WideToAnsi(A)) == AnsiUpperCase(WideToAnsi(B));
}

HTHEME dxGetThemeHandle(TdxThemeClassIndex AClass, LPCWSTR AClassList) {
  if (!dxAreVisualStylesAvailable()) return nullptr;
  TdxThemeData& data = gThemeData[size_t(AClass)];
  if (data.Handle) {
    if (!AClassList || dxSameClassList(AClassList, data.ClassList)) return data.Handle;
    dxCloseThemeHandle(AClass);
  }
  WideString list;
  if (AClassList)
    list = AClassList;
  else
    list = data.ClassList.empty() ? kClassNames[size_t(AClass)] : data.ClassList;
  data.Handle = dxOpenThemeData(nullptr, list.c_str());
  if (data.Handle)
    data.ClassList = list;
  else
    data.ClassList.clear();
  return data.Handle;
}

HRESULT dxCloseThemeHandle(TdxThemeClassIndex AClass) {
  if (!dxAreVisualStylesAvailable()) return S_FALSE;
  TdxThemeData& data = gThemeData[size_t(AClass)];
  if (!data.Handle) return S_OK;
  HRESULT result = dxCloseThemeData(data.Handle);
  data.Handle = nullptr;
  data.ClassList.clear();
  return result;
}

void dxCloseAllThemeHandles() {
  for (TdxThemeData& data : gThemeData)
    if (data.Handle) {
      dxCloseThemeData(data.Handle);
      data.Handle = nullptr;
    }
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (dxUxThemeLoaded() && gNotificators) gNotificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (dxUxThemeLoaded() && gNotificators) std::erase(*gNotificators, this);
}

void TdxThemeChangedNotificator::NotifyThemeChanged() {
  if (OnThemeChanged) OnThemeChanged();
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver() {
  FWindowHandle = AllocateHWnd(TWndMethod(this, &TdxThemeChangedEventReceiver::HandleMessage));
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  gThemesActive = false;
  if (FWindowHandle) DeallocateHWnd(FWindowHandle);
}

void TdxThemeChangedEventReceiver::HandleMessage(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED && Message.Msg != WM_SYSCOLORCHANGE) {
    Message.Result = DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  try {
    dxCloseAllThemeHandles();
    DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    gThemesActive = dxIsThemeActive() != FALSE;
    NotifyAll();
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  Message.Result = 0;
}

void TdxThemeChangedEventReceiver::NotifyAll() {
  if (!gNotificators) return;
  // A notificator may free itself or another while told: walk a copy and
  // skip those gone meanwhile.
  const std::vector<TdxThemeChangedNotificator*> snapshot = *gNotificators;
  for (TdxThemeChangedNotificator* n : snapshot)
    if (gNotificators && std::find(gNotificators->begin(), gNotificators->end(), n) != gNotificators->end())
      n->NotifyThemeChanged();
}

TdxThemeChangedEventReceiver* dxThemeChangedEventReceiver() { return gReceiver; }

// ---- Desktop composition --------------------------------------------------------------------

std::span<const TdxBindingEntryPoint> dxDwmEntryPointTable() { return kDwmTable; }

void dxDWMBind() {
  if (gDwm) return;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info) || info.dwMajorVersion <= 5) return;
  gDwm = LoadLibraryA("dwmapi.dll");
  gDwmLoaded = gDwm != nullptr;
  if (gDwm) BindTable(gDwm, kDwmTable);
}

void dxDWMUnbind() {
  if (gDwm) FreeLibrary(gDwm);
  gDwm = nullptr;
  gDwmLoaded = false;
  BindTable(nullptr, kDwmTable);
}

bool dxDWMLoaded() { return gDwmLoaded; }

bool dxIsDesktopCompositionOn() {
  if (!gDwmLoaded || !dxDwmApi.DwmIsCompositionEnabled) return false;
  BOOL enabled = FALSE;
  return SUCCEEDED(dxDwmApi.DwmIsCompositionEnabled(&enabled)) && enabled;
}

// ---- Units ----------------------------------------------------------------------------------

namespace dx_themes_detail {

void StartUxThemeUnit() {
  InitCommonControls();
  if (!gUxTheme) gUxTheme = LoadLibraryA(gUxThemeFileName);
  if (gUxTheme) dxUxThemeBind();
}

void StopUxThemeUnit() {
  if (gUxTheme) FreeLibrary(gUxTheme);
  gUxTheme = nullptr;
  BindTable(nullptr, kUxThemeTable);
}

void StartThemeManager() {
  if (!dxUxThemeLoaded() || gReceiver) return;
  gThemesActive = dxIsThemeActive() != FALSE;
  gReceiver = new TdxThemeChangedEventReceiver;
  gNotificators = new std::vector<TdxThemeChangedNotificator*>;
}

void StopThemeManager() {
  delete gReceiver;
  gReceiver = nullptr;
  dxCloseAllThemeHandles();
  delete gNotificators;
  gNotificators = nullptr;
}

void RegisterThemeManagerUnit() {
  if (TdxUnitsLoader* loader = dxUnitsLoaderInstance()) loader->RegisterUnitProcs(&StartThemeManager, &StopThemeManager);
}

void FinalizeThemeManagerUnit() {
  if (TdxUnitsLoader* loader = dxUnitsLoaderInstance()) loader->FinalizeUnitEarly(&StopThemeManager);
  for (TdxThemeData& data : gThemeData) data.ClassList.clear();
}

void StartDwmUnit() { dxDWMBind(); }

void StopDwmUnit() { dxDWMUnbind(); }

void SetUxThemeFileName(const char* AFileName) { gUxThemeFileName = AFileName; }

bool ThemesActive() { return gThemesActive; }

WideString CachedClassList(TdxThemeClassIndex AClass) { return gThemeData[size_t(AClass)].ClassList; }

}  // namespace dx_themes_detail
