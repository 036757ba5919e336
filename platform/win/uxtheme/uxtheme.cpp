// Visual styles through an optional provider, and buffered painting.
#include "platform/win/uxtheme/uxtheme.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <map>
#include <set>

#include "platform/rtl/threads.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_messages.h"
#include "platform/win/user/user_sysinfo.h"

namespace {

// What SetWindowTheme and EnableThemeDialogTexture keep per window, and the
// theme OpenThemeData last gave it. Handles carry a generation, so an entry of
// a destroyed window never answers for a new one; such entries are dropped
// when the table is next written.
struct TWindowTheme {
  bool HasSubApp = false, HasIdList = false;
  std::u16string SubApp, IdList;
  HTHEME Last = nullptr;
  DWORD Texture = 0;
};
std::mutex gWindowThemesLock;
std::map<HWND, TWindowTheme> gWindowThemes;

}  // namespace

namespace rtl::detail {

HRESULT TThemeProvider::DrawBackground(HTHEME, HDC, int, int, const RECT&, const RECT*) { return E_NOTIMPL; }
HRESULT TThemeProvider::DrawEdge(HTHEME, HDC, int, int, const RECT&, UINT, UINT, RECT*) { return E_NOTIMPL; }
HRESULT TThemeProvider::DrawText(HTHEME, HDC, int, int, const std::u16string&, DWORD, RECT&, const DTTOPTS*) {
  return E_NOTIMPL;
}
HRESULT TThemeProvider::PartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*) { return E_NOTIMPL; }
HRESULT TThemeProvider::ContentRect(HTHEME, HDC, int, int, const RECT&, RECT*) { return E_NOTIMPL; }
HRESULT TThemeProvider::BackgroundRegion(HTHEME, HDC, int, int, const RECT&, HRGN*) { return E_NOTIMPL; }
HRESULT TThemeProvider::Color(HTHEME, int, int, int, COLORREF*) { return E_NOTIMPL; }
HRESULT TThemeProvider::Margins(HTHEME, HDC, int, int, int, MARGINS*) { return E_NOTIMPL; }
HRESULT TThemeProvider::Int(HTHEME, int, int, int, int*) { return E_NOTIMPL; }
bool TThemeProvider::PartiallyTransparent(HTHEME, int, int) { return false; }
bool TThemeProvider::PartDefined(HTHEME, int, int) { return false; }
int TThemeProvider::SysSize(HTHEME, int id) { return GetSystemMetrics(id); }
HRESULT TThemeProvider::CurrentName(std::u16string&, std::u16string&, std::u16string&) { return E_NOTIMPL; }

namespace {
std::atomic<TThemeProvider*> gProvider{nullptr};
}

namespace {

BOOL ThemeChangedToChild(HWND hwnd, LPARAM) {
  if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
    SendMessageA(hwnd, WM_THEMECHANGED, 0, 0);
  else
    PostMessageA(hwnd, WM_THEMECHANGED, 0, 0);
  return TRUE;
}

BOOL ThemeChangedToTop(HWND hwnd, LPARAM lParam) {
  ThemeChangedToChild(hwnd, lParam);
  EnumChildWindows(hwnd, &ThemeChangedToChild, lParam);
  return TRUE;
}

}  // namespace

void SetThemeProvider(TThemeProvider* provider) {
  {
    // Handles of the style going away are no window's theme under the next one.
    std::lock_guard g(gWindowThemesLock);
    for (auto& [hwnd, w] : gWindowThemes) w.Last = nullptr;
    if (gProvider.load() == provider) return;
    gProvider = provider;
  }
  // Every window hears of the switch, as when the user switches styles;
  // other threads' windows by post, so that no thread waits on another.
  EnumWindows(&ThemeChangedToTop, 0);
}

TThemeProvider* ThemeProvider() { return gProvider.load(); }

}  // namespace rtl::detail

using rtl::detail::TThemeProvider;
using rtl::detail::ThemeProvider;

// ---- Buffered painting ----------------------------------------------------------------

struct _PAINTBUFFER {
  HDC Target = nullptr;
  RECT Rect{};
  BP_BUFFERFORMAT Format = BPBF_TOPDOWNDIB;
  DWORD Flags = 0;
  bool HasExclude = false;
  RECT Exclude{};
  bool HasBlend = false;
  BLENDFUNCTION Blend{};
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  BYTE* Bits = nullptr;  // first row in memory
  int Stride = 0;        // bytes
  bool TopDown = true;
};

namespace {

std::mutex gBuffersLock;
std::set<HPAINTBUFFER> gBuffers;
std::atomic<int> gInitCount{0};

bool ValidBuffer(HPAINTBUFFER b) {
  std::lock_guard<std::mutex> lock(gBuffersLock);
  return b && gBuffers.count(b);
}

// The buffer's pixels a rectangle of target coordinates covers.
bool BufferArea(HPAINTBUFFER b, const RECT* prc, RECT& out) {
  const int w = b->Rect.Width(), h = b->Rect.Height();
  RECT r = prc ? RECT(prc->Left - b->Rect.Left, prc->Top - b->Rect.Top, prc->Right - b->Rect.Left,
                      prc->Bottom - b->Rect.Top)
               : RECT(0, 0, w, h);
  out = RECT(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, w), std::min(r.Bottom, h));
  return !out.IsEmpty();
}

uint32_t* PixelRow(HPAINTBUFFER b, int y) {
  int row = b->TopDown ? y : b->Rect.Height() - 1 - y;
  return reinterpret_cast<uint32_t*>(b->Bits + ptrdiff_t(row) * b->Stride);
}

TThemeProvider* ProviderFor(HTHEME theme) {
  TThemeProvider* p = ThemeProvider();
  return theme && p ? p : nullptr;
}

void CopyName(const std::u16string& s, LPWSTR buffer, int chars) {
  if (!buffer || chars <= 0) return;
  size_t n = std::min<size_t>(s.size(), size_t(chars - 1));
  std::copy(s.begin(), s.begin() + ptrdiff_t(n), buffer);
  buffer[n] = 0;
}

}  // namespace

HRESULT BufferedPaintInit() {
  ++gInitCount;
  return S_OK;
}

HRESULT BufferedPaintUnInit() {
  if (gInitCount > 0) --gInitCount;
  return S_OK;
}

HPAINTBUFFER BeginBufferedPaint(HDC hdcTarget, const RECT* prcTarget, BP_BUFFERFORMAT dwFormat,
                                BP_PAINTPARAMS* pPaintParams, HDC* phdc) {
  if (phdc) *phdc = nullptr;
  DWORD type = GetObjectType(hdcTarget);
  if ((type != OBJ_DC && type != OBJ_MEMDC) || !prcTarget || prcTarget->IsEmpty() || !phdc ||
      dwFormat < BPBF_COMPATIBLEBITMAP || dwFormat > BPBF_TOPDOWNMONODIB)
    return nullptr;
  auto* b = new _PAINTBUFFER;
  b->Target = hdcTarget;
  b->Rect = *prcTarget;
  b->Format = dwFormat;
  if (pPaintParams) {
    b->Flags = pPaintParams->dwFlags;
    if (pPaintParams->prcExclude) {
      b->HasExclude = true;
      b->Exclude = *pPaintParams->prcExclude;
    }
    if (pPaintParams->pBlendFunction) {
      b->HasBlend = true;
      b->Blend = *pPaintParams->pBlendFunction;
    }
  }
  const int w = b->Rect.Width(), h = b->Rect.Height();
  const bool mono = dwFormat == BPBF_TOPDOWNMONODIB;
  b->TopDown = dwFormat != BPBF_DIB;
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Colours[2];
  } bi{};
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  bi.Header.biWidth = w;
  bi.Header.biHeight = b->TopDown ? -h : h;
  bi.Header.biPlanes = 1;
  bi.Header.biBitCount = mono ? 1 : 32;
  bi.Colours[1] = RGBQUAD{255, 255, 255, 0};
  void* bits = nullptr;
  b->Bitmap = CreateDIBSection(hdcTarget, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!b->Bitmap) {
    delete b;
    return nullptr;
  }
  b->Bits = static_cast<BYTE*>(bits);
  b->Stride = mono ? ((w + 31) / 32) * 4 : w * 4;
  b->Dc = CreateCompatibleDC(hdcTarget);
  b->Old = SelectObject(b->Dc, b->Bitmap);
  // The buffer shows the target's coordinates, and draws text as it would.
  SetWindowOrgEx(b->Dc, b->Rect.Left, b->Rect.Top, nullptr);
  SelectObject(b->Dc, GetCurrentObject(hdcTarget, OBJ_FONT));
  SetTextColor(b->Dc, GetTextColor(hdcTarget));
  SetBkColor(b->Dc, GetBkColor(hdcTarget));
  SetBkMode(b->Dc, GetBkMode(hdcTarget));
  {
    std::lock_guard<std::mutex> lock(gBuffersLock);
    gBuffers.insert(b);
  }
  *phdc = b->Dc;
  return b;
}

HRESULT EndBufferedPaint(HPAINTBUFFER hBufferedPaint, BOOL fUpdateTarget) {
  {
    std::lock_guard<std::mutex> lock(gBuffersLock);
    if (!hBufferedPaint || !gBuffers.erase(hBufferedPaint)) return E_INVALIDARG;
  }
  HPAINTBUFFER b = hBufferedPaint;
  HRESULT result = S_OK;
  if (fUpdateTarget) {
    int saved = SaveDC(b->Target);
    if (b->HasExclude) ExcludeClipRect(b->Target, b->Exclude.Left, b->Exclude.Top, b->Exclude.Right, b->Exclude.Bottom);
    SetWindowOrgEx(b->Dc, 0, 0, nullptr);
    const int w = b->Rect.Width(), h = b->Rect.Height();
    BOOL ok = b->HasBlend ? AlphaBlend(b->Target, b->Rect.Left, b->Rect.Top, w, h, b->Dc, 0, 0, w, h, b->Blend)
                          : BitBlt(b->Target, b->Rect.Left, b->Rect.Top, w, h, b->Dc, 0, 0, SRCCOPY);
    if (!ok) result = E_FAIL;
    RestoreDC(b->Target, saved);
  }
  SelectObject(b->Dc, b->Old);
  DeleteDC(b->Dc);
  DeleteObject(b->Bitmap);
  delete b;
  return result;
}

HRESULT BufferedPaintClear(HPAINTBUFFER hBufferedPaint, const RECT* prc) {
  if (!ValidBuffer(hBufferedPaint)) return E_INVALIDARG;
  HPAINTBUFFER b = hBufferedPaint;
  RECT area;
  if (!BufferArea(b, prc, area)) return S_OK;
  if (b->Format == BPBF_TOPDOWNMONODIB) {
    RECT r = RECT(area.Left + b->Rect.Left, area.Top + b->Rect.Top, area.Right + b->Rect.Left,
                  area.Bottom + b->Rect.Top);
    return PatBlt(b->Dc, r.Left, r.Top, r.Width(), r.Height(), BLACKNESS) ? S_OK : E_FAIL;
  }
  for (int y = area.Top; y < area.Bottom; ++y) std::fill_n(PixelRow(b, y) + area.Left, area.Width(), 0u);
  return S_OK;
}

HRESULT BufferedPaintSetAlpha(HPAINTBUFFER hBufferedPaint, const RECT* prc, BYTE alpha) {
  if (!ValidBuffer(hBufferedPaint)) return E_INVALIDARG;
  HPAINTBUFFER b = hBufferedPaint;
  if (b->Format == BPBF_TOPDOWNMONODIB) return E_INVALIDARG;
  RECT area;
  if (!BufferArea(b, prc, area)) return S_OK;
  for (int y = area.Top; y < area.Bottom; ++y) {
    uint32_t* row = PixelRow(b, y);
    for (int x = area.Left; x < area.Right; ++x) row[x] = (row[x] & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
  }
  return S_OK;
}

HRESULT GetBufferedPaintBits(HPAINTBUFFER hBufferedPaint, RGBQUAD** ppbBuffer, int* pcxRow) {
  if (!ValidBuffer(hBufferedPaint) || !ppbBuffer || !pcxRow) return E_INVALIDARG;
  HPAINTBUFFER b = hBufferedPaint;
  if (b->Format != BPBF_DIB && b->Format != BPBF_TOPDOWNDIB) return E_FAIL;
  *ppbBuffer = reinterpret_cast<RGBQUAD*>(b->Bits);
  *pcxRow = b->Stride / 4;
  return S_OK;
}

HDC GetBufferedPaintDC(HPAINTBUFFER hBufferedPaint) {
  return ValidBuffer(hBufferedPaint) ? hBufferedPaint->Dc : nullptr;
}

HDC GetBufferedPaintTargetDC(HPAINTBUFFER hBufferedPaint) {
  return ValidBuffer(hBufferedPaint) ? hBufferedPaint->Target : nullptr;
}

HRESULT GetBufferedPaintTargetRect(HPAINTBUFFER hBufferedPaint, RECT* prc) {
  if (!ValidBuffer(hBufferedPaint) || !prc) return E_INVALIDARG;
  *prc = hBufferedPaint->Rect;
  return S_OK;
}

HRESULT BufferedPaintStopAllAnimations(HWND) { return S_OK; }

// ---- Themes ------------------------------------------------------------------------------

BOOL IsThemeActive() { return ThemeProvider() != nullptr; }

BOOL IsAppThemed() { return ThemeProvider() != nullptr; }

namespace {

TWindowTheme& WindowThemeLocked(HWND hwnd) {
  for (auto it = gWindowThemes.begin(); it != gWindowThemes.end();)
    it = it->first != hwnd && !IsWindow(it->first) ? gWindowThemes.erase(it) : std::next(it);
  return gWindowThemes[hwnd];
}

// The class list OpenThemeData asks the style for: the window's own list in
// place of the caller's, each name first under the window's sub-application.
std::u16string EffectiveClassList(const TWindowTheme& w, const std::u16string& classList) {
  std::u16string list = w.HasIdList && !w.IdList.empty() ? w.IdList : classList;
  if (!w.HasSubApp || w.SubApp.empty()) return list;
  std::u16string out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string::npos) end = list.size();
    std::u16string name = list.substr(start, end - start);
    if (!name.empty()) {
      if (!out.empty()) out += u';';
      out += w.SubApp + u"::" + name + u';' + name;
    }
    start = end + 1;
  }
  return out;
}

}  // namespace

HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList) {
  TThemeProvider* p = ThemeProvider();
  if (!p || !pszClassList) return nullptr;
  std::u16string classList(pszClassList);
  if (hwnd) {
    std::lock_guard g(gWindowThemesLock);
    auto it = gWindowThemes.find(hwnd);
    if (it != gWindowThemes.end()) {
      const TWindowTheme& w = it->second;
      if (w.HasSubApp && w.HasIdList && w.SubApp.empty() && w.IdList.empty()) return nullptr;
      classList = EffectiveClassList(w, classList);
    }
  }
  HTHEME theme = p->Open(hwnd, classList);
  if (theme && hwnd && IsWindow(hwnd)) {
    std::lock_guard g(gWindowThemesLock);
    WindowThemeLocked(hwnd).Last = theme;
  }
  return theme;
}

HRESULT CloseThemeData(HTHEME hTheme) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  {
    std::lock_guard g(gWindowThemesLock);
    for (auto& [hwnd, w] : gWindowThemes)
      if (w.Last == hTheme) w.Last = nullptr;
  }
  return p->Close(hTheme);
}

HTHEME GetWindowTheme(HWND hwnd) {
  if (!ThemeProvider() || !IsWindow(hwnd)) return nullptr;
  std::lock_guard g(gWindowThemesLock);
  auto it = gWindowThemes.find(hwnd);
  return it == gWindowThemes.end() ? nullptr : it->second.Last;
}

HRESULT SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList) {
  if (!IsWindow(hwnd)) return E_HANDLE;
  {
    std::lock_guard g(gWindowThemesLock);
    TWindowTheme& w = WindowThemeLocked(hwnd);
    w.HasSubApp = pszSubAppName != nullptr;
    w.SubApp = pszSubAppName ? pszSubAppName : u"";
    w.HasIdList = pszSubIdList != nullptr;
    w.IdList = pszSubIdList ? pszSubIdList : u"";
  }
  // The window reopens its theme data with the new names.
  SendMessageA(hwnd, WM_THEMECHANGED, 0, 0);
  return S_OK;
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, LPCRECT pClipRect) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pRect) return E_POINTER;
  return p->DrawBackground(hTheme, hdc, iPartId, iStateId, *pRect, pClipRect);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pDestRect, UINT uEdge, UINT uFlags,
                      LPRECT pContentRect) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pDestRect) return E_POINTER;
  return p->DrawEdge(hTheme, hdc, iPartId, iStateId, *pDestRect, uEdge, uFlags, pContentRect);
}

HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int, int, LPCRECT pRect, HIMAGELIST himl, int iImageIndex) {
  if (!ProviderFor(hTheme)) return E_HANDLE;
  if (!pRect) return E_POINTER;
  return ImageList_Draw(himl, iImageIndex, hdc, pRect->Left, pRect->Top, ILD_TRANSPARENT) ? S_OK : E_FAIL;
}

HRESULT DrawThemeParentBackground(HWND, HDC, const RECT*) { return E_FAIL; }

HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchText,
                      DWORD dwTextFlags, DWORD, LPCRECT pRect) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pszText || !pRect) return E_POINTER;
  std::u16string text = cchText < 0 ? std::u16string(pszText) : std::u16string(pszText, size_t(cchText));
  RECT r = *pRect;
  return p->DrawText(hTheme, hdc, iPartId, iStateId, text, dwTextFlags, r, nullptr);
}

HRESULT DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int cchText,
                        DWORD dwTextFlags, LPRECT pRect, const DTTOPTS* pOptions) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pszText || !pRect) return E_POINTER;
  std::u16string text = cchText < 0 ? std::u16string(pszText) : std::u16string(pszText, size_t(cchText));
  return p->DrawText(hTheme, hdc, iPartId, iStateId, text, dwTextFlags, *pRect, pOptions);
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags) {
  if (!IsWindow(hwnd)) return E_HANDLE;
  if ((dwFlags & ~DWORD(ETDT_VALIDBITS)) || (dwFlags & ETDT_ENABLE && dwFlags & ETDT_DISABLE)) return E_INVALIDARG;
  std::lock_guard g(gWindowThemesLock);
  TWindowTheme& w = WindowThemeLocked(hwnd);
  if (dwFlags & ETDT_DISABLE)
    w.Texture = 0;
  else if (dwFlags & ETDT_ENABLE)
    w.Texture = dwFlags;
  return S_OK;
}

BOOL IsThemeDialogTextureEnabled(HWND hwnd) {
  if (!IsWindow(hwnd)) return FALSE;
  std::lock_guard g(gWindowThemesLock);
  auto it = gWindowThemes.find(hwnd);
  return it != gWindowThemes.end() && (it->second.Texture & ETDT_ENABLE) ? TRUE : FALSE;
}

HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff, int cchMaxColorChars,
                            LPWSTR pszSizeBuff, int cchMaxSizeChars) {
  std::u16string file, colour, size;
  TThemeProvider* p = ThemeProvider();
  HRESULT hr = p ? p->CurrentName(file, colour, size) : E_FAIL;
  if (FAILED(hr)) file.clear(), colour.clear(), size.clear();
  CopyName(file, pszThemeFileName, cchMaxNameChars);
  CopyName(colour, pszColorBuff, cchMaxColorChars);
  CopyName(size, pszSizeBuff, cchMaxSizeChars);
  return hr;
}

namespace {
std::atomic<DWORD> gAppProperties{STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT};
}

DWORD GetThemeAppProperties() { return gAppProperties; }

void SetThemeAppProperties(DWORD dwFlags) { gAppProperties = dwFlags; }

HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pBoundingRect,
                                      LPRECT pContentRect) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pBoundingRect || !pContentRect) return E_POINTER;
  return p->ContentRect(hTheme, hdc, iPartId, iStateId, *pBoundingRect, pContentRect);
}

HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC, int, int, LPCRECT pContentRect, LPRECT pExtentRect) {
  if (!ProviderFor(hTheme)) return E_HANDLE;
  if (!pContentRect || !pExtentRect) return E_POINTER;
  *pExtentRect = *pContentRect;
  return S_OK;
}

HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, HRGN* pRegion) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pRect || !pRegion) return E_POINTER;
  return p->BackgroundRegion(hTheme, hdc, iPartId, iStateId, *pRect, pRegion);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT prc, THEMESIZE eSize, SIZE* psz) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!psz) return E_POINTER;
  return p->PartSize(hTheme, hdc, iPartId, iStateId, prc, eSize, psz);
}

HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pColor) return E_POINTER;
  return p->Color(hTheme, iPartId, iStateId, iPropId, pColor);
}

HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LPCRECT,
                        MARGINS* pMargins) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!pMargins) return E_POINTER;
  return p->Margins(hTheme, hdc, iPartId, iStateId, iPropId, pMargins);
}

HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal) {
  TThemeProvider* p = ProviderFor(hTheme);
  if (!p) return E_HANDLE;
  if (!piVal) return E_POINTER;
  return p->Int(hTheme, iPartId, iStateId, iPropId, piVal);
}

HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal) {
  return GetThemeInt(hTheme, iPartId, iStateId, iPropId, piVal);
}

HRESULT GetThemeMetric(HTHEME hTheme, HDC, int iPartId, int iStateId, int iPropId, int* piVal) {
  return GetThemeInt(hTheme, iPartId, iStateId, iPropId, piVal);
}

HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal) {
  if (!pfVal) return ProviderFor(hTheme) ? E_POINTER : E_HANDLE;
  int v = 0;
  HRESULT hr = GetThemeInt(hTheme, iPartId, iStateId, iPropId, &v);
  if (SUCCEEDED(hr)) *pfVal = v != 0;
  return hr;
}

// Properties no provider answers: a theme handle is checked, then nothing.
#define THEME_PROPERTY_ABSENT(Signature) \
  HRESULT Signature {                    \
    return ProviderFor(hTheme) ? E_NOTIMPL : E_HANDLE; \
  }

THEME_PROPERTY_ABSENT(GetThemeIntList(HTHEME hTheme, int, int, int, INTLIST*))
THEME_PROPERTY_ABSENT(GetThemePosition(HTHEME hTheme, int, int, int, POINT*))
THEME_PROPERTY_ABSENT(GetThemeRect(HTHEME hTheme, int, int, int, LPRECT))
THEME_PROPERTY_ABSENT(GetThemeString(HTHEME hTheme, int, int, int, LPWSTR, int))
THEME_PROPERTY_ABSENT(GetThemeFilename(HTHEME hTheme, int, int, int, LPWSTR, int))
THEME_PROPERTY_ABSENT(GetThemeFont(HTHEME hTheme, HDC, int, int, int, LOGFONTW*))
THEME_PROPERTY_ABSENT(GetThemeTextExtent(HTHEME hTheme, HDC, int, int, LPCWSTR, int, DWORD, LPCRECT, LPRECT))
THEME_PROPERTY_ABSENT(GetThemeTextMetrics(HTHEME hTheme, HDC, int, int, TEXTMETRICW*))
THEME_PROPERTY_ABSENT(HitTestThemeBackground(HTHEME hTheme, HDC, int, int, DWORD, LPCRECT, HRGN, POINT, WORD*))
THEME_PROPERTY_ABSENT(GetThemeSysFont(HTHEME hTheme, int, LOGFONTW*))
THEME_PROPERTY_ABSENT(GetThemeSysInt(HTHEME hTheme, int, int*))
THEME_PROPERTY_ABSENT(GetThemeSysString(HTHEME hTheme, int, LPWSTR, int))

#undef THEME_PROPERTY_ABSENT

HRESULT GetThemePropertyOrigin(HTHEME hTheme, int, int, int, PROPERTYORIGIN* pOrigin) {
  if (!ProviderFor(hTheme)) return E_HANDLE;
  if (!pOrigin) return E_POINTER;
  *pOrigin = PO_NOTFOUND;
  return S_OK;
}

HRESULT GetThemeDocumentationProperty(LPCWSTR, LPCWSTR, LPWSTR pszValueBuff, int cchMaxValChars) {
  CopyName(std::u16string(), pszValueBuff, cchMaxValChars);
  return E_FAIL;
}

BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId) {
  TThemeProvider* p = ProviderFor(hTheme);
  return p && p->PartDefined(hTheme, iPartId, iStateId);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId) {
  TThemeProvider* p = ProviderFor(hTheme);
  return p && p->PartiallyTransparent(hTheme, iPartId, iStateId);
}

// Without a theme handle the system values stand in.
BOOL GetThemeSysBool(HTHEME, int) { return FALSE; }

COLORREF GetThemeSysColor(HTHEME, int iColorId) { return GetSysColor(iColorId); }

HBRUSH GetThemeSysColorBrush(HTHEME, int iColorId) { return GetSysColorBrush(iColorId); }

int GetThemeSysSize(HTHEME hTheme, int iSizeId) {
  TThemeProvider* p = ProviderFor(hTheme);
  return p ? p->SysSize(hTheme, iSizeId) : GetSystemMetrics(iSizeId);
}

BOOL BeginPanningFeedback(HWND) { return FALSE; }

BOOL UpdatePanningFeedback(HWND, LONG, LONG, BOOL) { return FALSE; }

BOOL EndPanningFeedback(HWND, BOOL) { return FALSE; }
