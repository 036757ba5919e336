// BSTRs and VARIANTs, object references for WM_GETOBJECT, and the
// standard accessible object of a window.
#include "platform/win/oleacc/oleacc.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/win/user/user.h"

// ---- BSTR and VARIANT -------------------------------------------------------------

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + (size_t(ui) + 1) * sizeof(OLECHAR)));
  if (!block) return nullptr;
  uint32_t bytes = ui * sizeof(OLECHAR);
  std::memcpy(block, &bytes, sizeof bytes);
  auto* s = reinterpret_cast<BSTR>(block + sizeof(uint32_t));
  if (strIn)
    std::memcpy(s, strIn, size_t(ui) * sizeof(OLECHAR));
  else
    std::memset(s, 0, size_t(ui) * sizeof(OLECHAR));
  s[ui] = 0;
  return s;
}

BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  return SysAllocStringLen(psz, static_cast<UINT>(std::char_traits<char16_t>::length(psz)));
}

void SysFreeString(BSTR bstrString) {
  if (bstrString) std::free(reinterpret_cast<char*>(bstrString) - sizeof(uint32_t));
}

UINT SysStringLen(BSTR pbstr) {
  if (!pbstr) return 0;
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<char*>(pbstr) - sizeof(uint32_t), sizeof bytes);
  return bytes / sizeof(OLECHAR);
}

void VariantInit(VARIANT* pvarg) {
  if (!pvarg) return;
  std::memset(static_cast<void*>(pvarg), 0, sizeof(VARIANT));
  pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  switch (pvarg->vt) {
    case VT_BSTR: SysFreeString(pvarg->bstrVal); break;
    case VT_DISPATCH:
      if (pvarg->pdispVal) pvarg->pdispVal->Release();
      break;
    case VT_UNKNOWN:
      if (pvarg->punkVal) pvarg->punkVal->Release();
      break;
    default: break;
  }
  VariantInit(pvarg);
  return S_OK;
}

namespace {

// ---- References handed out for WM_GETOBJECT ------------------------------------------

std::mutex gRefsLock;
std::map<LRESULT, IUnknown*> gRefs;
LRESULT gNextRef = 1;

VARIANT I4(LONG v) {
  VARIANT out;
  VariantInit(&out);
  out.vt = VT_I4;
  out.lVal = v;
  return out;
}

bool IsSelf(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

// ---- The standard object ----------------------------------------------------------------

class TStdAccessible final : public IAccessible, public IOleWindow {
  HWND FWnd;
  LONG FObject;
  std::atomic<ULONG> FRefs{0};

 public:
  TStdAccessible(HWND hwnd, LONG object) : FWnd(hwnd), FObject(object) {}
  virtual ~TStdAccessible() = default;

  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible)
      *ppv = static_cast<IAccessible*>(this);
    else if (riid == IID_IOleWindow)
      *ppv = static_cast<IOleWindow*>(this);
    else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++FRefs; }
  ULONG Release() override {
    ULONG n = --FRefs;
    if (n == 0) delete this;
    return n;
  }

  // IDispatch: the interface is reached directly, never by name.
  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (pctinfo) *pctinfo = 0;
    return E_NOTIMPL;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

  HRESULT get_accParent(IDispatch** ppdispParent) override {
    if (!ppdispParent) return E_POINTER;
    *ppdispParent = nullptr;
    return S_FALSE;
  }
  HRESULT get_accChildCount(LONG* pcountChildren) override {
    if (!pcountChildren) return E_POINTER;
    *pcountChildren = 0;
    return S_OK;
  }
  HRESULT get_accChild(VARIANT, IDispatch** ppdispChild) override {
    if (!ppdispChild) return E_POINTER;
    *ppdispChild = nullptr;
    return E_INVALIDARG;
  }
  HRESULT get_accName(VARIANT varID, BSTR* pszName) override {
    if (!pszName) return E_POINTER;
    *pszName = nullptr;
    if (!IsSelf(varID)) return E_INVALIDARG;
    if (!IsWindow(FWnd)) return E_FAIL;
    WCHAR text[512];
    int n = GetWindowTextW(FWnd, text, 512);
    if (n <= 0) return S_FALSE;
    *pszName = SysAllocStringLen(text, static_cast<UINT>(n));
    return S_OK;
  }
  HRESULT get_accValue(VARIANT, BSTR* pszValue) override { return NoString(pszValue); }
  HRESULT get_accDescription(VARIANT, BSTR* pszDescription) override { return NoString(pszDescription); }
  HRESULT get_accRole(VARIANT varID, VARIANT* pvarRole) override {
    if (!pvarRole) return E_POINTER;
    VariantInit(pvarRole);
    if (!IsSelf(varID)) return E_INVALIDARG;
    *pvarRole = I4(FObject == OBJID_CLIENT ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_WINDOW);
    return S_OK;
  }
  HRESULT get_accState(VARIANT varID, VARIANT* pvarState) override {
    if (!pvarState) return E_POINTER;
    VariantInit(pvarState);
    if (!IsSelf(varID)) return E_INVALIDARG;
    if (!IsWindow(FWnd)) return E_FAIL;
    LONG state = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowVisible(FWnd)) state |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(FWnd)) state |= STATE_SYSTEM_UNAVAILABLE;
    if (GetFocus() == FWnd) state |= STATE_SYSTEM_FOCUSED;
    *pvarState = I4(state);
    return S_OK;
  }
  HRESULT get_accHelp(VARIANT, BSTR* pszHelp) override { return NoString(pszHelp); }
  HRESULT get_accHelpTopic(BSTR* pszHelpFile, VARIANT, LONG* pidTopic) override {
    if (pszHelpFile) *pszHelpFile = nullptr;
    if (pidTopic) *pidTopic = 0;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT get_accKeyboardShortcut(VARIANT, BSTR* psz) override { return NoString(psz); }
  HRESULT get_accFocus(VARIANT* pvarID) override {
    if (!pvarID) return E_POINTER;
    VariantInit(pvarID);
    if (GetFocus() != FWnd) return S_FALSE;
    *pvarID = I4(CHILDID_SELF);
    return S_OK;
  }
  HRESULT get_accSelection(VARIANT* pvarChildren) override {
    if (!pvarChildren) return E_POINTER;
    VariantInit(pvarChildren);
    return S_FALSE;
  }
  HRESULT get_accDefaultAction(VARIANT, BSTR* psz) override { return NoString(psz); }
  HRESULT accSelect(LONG flagsSelect, VARIANT varID) override {
    if (!IsSelf(varID)) return E_INVALIDARG;
    if (flagsSelect != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
    SetFocus(FWnd);
    return S_OK;
  }
  HRESULT accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight, VARIANT varID) override {
    if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight) return E_POINTER;
    if (!IsSelf(varID)) return E_INVALIDARG;
    RECT r{};
    if (!Bounds(r)) return E_FAIL;
    *pxLeft = r.Left;
    *pyTop = r.Top;
    *pcxWidth = r.Width();
    *pcyHeight = r.Height();
    return S_OK;
  }
  HRESULT accNavigate(LONG, VARIANT, VARIANT* pvarEndUpAt) override {
    if (!pvarEndUpAt) return E_POINTER;
    VariantInit(pvarEndUpAt);
    return S_FALSE;
  }
  HRESULT accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) override {
    if (!pvarID) return E_POINTER;
    VariantInit(pvarID);
    RECT r{};
    if (!Bounds(r) || !r.Contains(POINT(xLeft, yTop))) return S_FALSE;
    *pvarID = I4(CHILDID_SELF);
    return S_OK;
  }
  HRESULT accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // IOleWindow
  HRESULT GetWindow(HWND* phwnd) override {
    if (!phwnd) return E_POINTER;
    *phwnd = FWnd;
    return S_OK;
  }
  HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  static HRESULT NoString(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }
  // Screen coordinates: the whole window, or its client area.
  bool Bounds(RECT& r) const {
    if (!IsWindow(FWnd)) return false;
    if (FObject != OBJID_CLIENT) return GetWindowRect(FWnd, &r);
    if (!GetClientRect(FWnd, &r)) return false;
    POINT tl(r.Left, r.Top), br(r.Right, r.Bottom);
    ClientToScreen(FWnd, &tl);
    ClientToScreen(FWnd, &br);
    r = RECT(tl, br);
    return true;
  }
};

}  // namespace

LRESULT LresultFromObject(REFIID riid, WPARAM, IUnknown* punk) {
  if (!punk) return E_INVALIDARG;
  // Held as the interface asked for, so that the client gets that one.
  void* held = nullptr;
  if (FAILED(punk->QueryInterface(riid, &held)) || !held) return E_NOINTERFACE;
  std::lock_guard<std::mutex> lock(gRefsLock);
  LRESULT ref = gNextRef++;
  gRefs[ref] = static_cast<IUnknown*>(held);
  return ref;
}

HRESULT ObjectFromLresult(LRESULT lResult, REFIID riid, WPARAM, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  IUnknown* held = nullptr;
  {
    std::lock_guard<std::mutex> lock(gRefsLock);
    auto it = gRefs.find(lResult);
    if (lResult <= 0 || it == gRefs.end()) return E_INVALIDARG;
    held = it->second;
    gRefs.erase(it);
  }
  HRESULT hr = held->QueryInterface(riid, ppvObject);
  held->Release();
  return hr;
}

HRESULT CreateStdAccessibleObject(HWND hwnd, LONG idObject, REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  if (!IsWindow(hwnd)) return E_INVALIDARG;
  auto* object = new TStdAccessible(hwnd, idObject);
  object->AddRef();
  HRESULT hr = object->QueryInterface(riid, ppvObject);
  object->Release();
  return hr;
}

HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  if (!IsWindow(hwnd)) return E_INVALIDARG;
  LRESULT answer = SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<LONG>(dwObjectID)));
  if (answer > 0) return ObjectFromLresult(answer, riid, 0, ppvObject);
  return CreateStdAccessibleObject(hwnd, static_cast<LONG>(dwObjectID), riid, ppvObject);
}
