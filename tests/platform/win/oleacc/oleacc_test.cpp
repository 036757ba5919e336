#include "platform/win/oleacc/oleacc.h"

#include <gtest/gtest.h>

#include "platform/win/user/user.h"

namespace {

// An accessible object that counts its references and answers a name.
class TFakeAccessible final : public IAccessible {
 public:
  int Refs = 0;
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
      *ppv = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG Release() override { return static_cast<ULONG>(--Refs); }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
  HRESULT get_accParent(IDispatch**) override { return S_FALSE; }
  HRESULT get_accChildCount(LONG* n) override {
    *n = 3;
    return S_OK;
  }
  HRESULT get_accChild(VARIANT, IDispatch**) override { return E_INVALIDARG; }
  HRESULT get_accName(VARIANT, BSTR* name) override {
    *name = SysAllocString(u"fake");
    return S_OK;
  }
  HRESULT get_accValue(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accDescription(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accRole(VARIANT, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accState(VARIANT, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accHelp(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accHelpTopic(BSTR*, VARIANT, LONG*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accKeyboardShortcut(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT get_accFocus(VARIANT*) override { return S_FALSE; }
  HRESULT get_accSelection(VARIANT*) override { return S_FALSE; }
  HRESULT get_accDefaultAction(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT accLocation(LONG*, LONG*, LONG*, LONG*, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT accNavigate(LONG, VARIANT, VARIANT*) override { return S_FALSE; }
  HRESULT accHitTest(LONG, LONG, VARIANT*) override { return S_FALSE; }
  HRESULT accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
};

VARIANT Self() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}

TEST(AccessibilityTest, StringsAndVariants) {
  BSTR s = SysAllocString(u"abc");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(std::u16string(s), u"abc");
  BSTR t = SysAllocStringLen(u"abcdef", 2);
  EXPECT_EQ(SysStringLen(t), 2u);
  EXPECT_EQ(t[2], 0);
  SysFreeString(t);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = s;
  EXPECT_EQ(VariantClear(&v), S_OK);  // frees the string
  EXPECT_EQ(v.vt, VT_EMPTY);
  TFakeAccessible fake;
  v.vt = VT_DISPATCH;
  v.pdispVal = &fake;
  fake.AddRef();
  VariantClear(&v);
  EXPECT_EQ(fake.Refs, 0) << "the reference the variant held is released";
}

TEST(AccessibilityTest, ReferencesForWmGetObjectWorkOnce) {
  TFakeAccessible fake;
  LRESULT ref = LresultFromObject(IID_IAccessible, 0, &fake);
  ASSERT_GT(ref, 0);
  EXPECT_EQ(fake.Refs, 1) << "kept alive until taken";
  IAccessible* acc = nullptr;
  ASSERT_EQ(ObjectFromLresult(ref, IID_IAccessible, 0, reinterpret_cast<void**>(&acc)), S_OK);
  ASSERT_EQ(acc, &fake);
  EXPECT_EQ(fake.Refs, 1) << "the caller's reference only";
  LONG n = 0;
  acc->get_accChildCount(&n);
  EXPECT_EQ(n, 3);
  acc->Release();
  void* again = nullptr;
  EXPECT_EQ(ObjectFromLresult(ref, IID_IAccessible, 0, &again), E_INVALIDARG);
  EXPECT_EQ(ObjectFromLresult(12345678, IID_IAccessible, 0, &again), E_INVALIDARG);
  EXPECT_LT(LresultFromObject(IID_IAccessible, 0, nullptr), 0);
  EXPECT_LT(LresultFromObject(IID_IStream, 0, &fake), 0) << "an interface the object lacks";
  EXPECT_EQ(fake.Refs, 0);
}

TFakeAccessible* gAnswer = nullptr;

LRESULT AccessibleProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_GETOBJECT && gAnswer && static_cast<LONG>(lParam) == OBJID_CLIENT)
    return LresultFromObject(IID_IAccessible, wParam, gAnswer);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(AccessibilityTest, WindowsAnswerTheirOwnObjectOrTheStandardOne) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = AccessibleProc;
  wc.lpszClassName = "AccessibilityTestWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "AccessibilityTestWindow", "Settings", WS_OVERLAPPEDWINDOW, 10, 20, 200, 100,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  TFakeAccessible fake;
  gAnswer = &fake;

  IAccessible* acc = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(hwnd, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&acc)),
            S_OK);
  EXPECT_EQ(acc, &fake) << "the window's own object";
  acc->Release();

  // The window frame has no object of its own: the standard one.
  ASSERT_EQ(AccessibleObjectFromWindow(hwnd, DWORD(OBJID_WINDOW), IID_IAccessible, reinterpret_cast<void**>(&acc)),
            S_OK);
  ASSERT_NE(acc, nullptr);
  BSTR name = nullptr;
  ASSERT_EQ(acc->get_accName(Self(), &name), S_OK);
  EXPECT_EQ(std::u16string(name), u"Settings");
  SysFreeString(name);
  VARIANT role;
  acc->get_accRole(Self(), &role);
  EXPECT_EQ(role.vt, VT_I4);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_WINDOW);
  VARIANT state;
  acc->get_accState(Self(), &state);
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_INVISIBLE) << "not shown yet";
  LONG x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(acc->accLocation(&x, &y, &w, &h, Self()), S_OK);
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 100);
  VARIANT other;
  VariantInit(&other);
  other.vt = VT_I4;
  other.lVal = 5;
  EXPECT_EQ(acc->get_accName(other, &name), E_INVALIDARG) << "no children";
  IOleWindow* ole = nullptr;
  ASSERT_EQ(acc->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&ole)), S_OK);
  HWND got = nullptr;
  ole->GetWindow(&got);
  EXPECT_EQ(got, hwnd);
  ole->Release();
  acc->Release();

  gAnswer = nullptr;
  DestroyWindow(hwnd);
  EXPECT_EQ(AccessibleObjectFromWindow(hwnd, DWORD(OBJID_WINDOW), IID_IAccessible, reinterpret_cast<void**>(&acc)),
            E_INVALIDARG);
}

}  // namespace
