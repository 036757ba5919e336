// Desktop composition, which is always off.
#include "platform/win/dwm/dwmapi.h"

BOOL DwmDefWindowProc(HWND, UINT, WPARAM, LPARAM, LRESULT* plResult) {
  if (plResult) *plResult = 0;
  return FALSE;
}

HRESULT DwmEnableBlurBehindWindow(HWND, const DWM_BLURBEHIND* pBlurBehind) {
  return pBlurBehind ? DWM_E_COMPOSITIONDISABLED : E_INVALIDARG;
}

// Switching composition on is not possible; switching it off is done.
HRESULT DwmEnableComposition(UINT uCompositionAction) {
  return uCompositionAction == DWM_EC_DISABLECOMPOSITION ? S_OK : DWM_E_COMPOSITIONDISABLED;
}

HRESULT DwmEnableMMCSS(BOOL) { return S_OK; }

HRESULT DwmExtendFrameIntoClientArea(HWND, const MARGINS* pMarInset) {
  return pMarInset ? DWM_E_COMPOSITIONDISABLED : E_INVALIDARG;
}

HRESULT DwmGetColorizationColor(DWORD* pcrColorization, BOOL* pfOpaqueBlend) {
  if (!pcrColorization || !pfOpaqueBlend) return E_INVALIDARG;
  return DWM_E_COMPOSITIONDISABLED;
}

HRESULT DwmGetWindowAttribute(HWND, DWORD dwAttribute, LPVOID pvAttribute, DWORD cbAttribute) {
  if (!pvAttribute || cbAttribute == 0 || dwAttribute < DWMWA_NCRENDERING_ENABLED || dwAttribute >= DWMWA_LAST)
    return E_INVALIDARG;
  if (dwAttribute == DWMWA_NCRENDERING_ENABLED && cbAttribute >= sizeof(BOOL)) {
    *static_cast<BOOL*>(pvAttribute) = FALSE;
    return S_OK;
  }
  return DWM_E_COMPOSITIONDISABLED;
}

HRESULT DwmIsCompositionEnabled(BOOL* pfEnabled) {
  if (!pfEnabled) return E_INVALIDARG;
  *pfEnabled = FALSE;
  return S_OK;
}

HRESULT DwmSetWindowAttribute(HWND, DWORD, LPCVOID pvAttribute, DWORD cbAttribute) {
  return pvAttribute && cbAttribute ? DWM_E_COMPOSITIONDISABLED : E_INVALIDARG;
}

HRESULT DwmSetIconicThumbnail(HWND, HBITMAP, DWORD) { return DWM_E_COMPOSITIONDISABLED; }

HRESULT DwmSetIconicLivePreviewBitmap(HWND, HBITMAP, POINT*, DWORD) { return DWM_E_COMPOSITIONDISABLED; }

HRESULT DwmInvalidateIconicBitmaps(HWND) { return DWM_E_COMPOSITIONDISABLED; }
