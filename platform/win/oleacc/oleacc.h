// Accessibility objects, in process: the IAccessible interface shape and
// its values, VARIANT and BSTR, and the functions that hand objects from
// windows to clients. No assistive technology is attached on Linux; the
// objects answer whoever asks within the process.
#pragma once

#include "platform/win/kernel/objidl.h"
#include "platform/win/kernel/windef.h"

// ---- Automation basics -------------------------------------------------------------

using OLECHAR = WCHAR;
using BSTR = OLECHAR*;
using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;
using DISPID = LONG;
using LCID = DWORD;
using SCODE = LONG;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
};

constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);

class IDispatch;
class ITypeInfo;

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONG lVal;
    SHORT iVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    LONGLONG llVal;
  };
};
using VARIANTARG = VARIANT;

// A BSTR keeps its length in bytes just before its characters.
BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui);
void SysFreeString(BSTR bstrString);
UINT SysStringLen(BSTR pbstr);
void VariantInit(VARIANT* pvarg);
// Frees a BSTR and releases an interface the variant holds.
HRESULT VariantClear(VARIANT* pvarg);

struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};

inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

class IDispatch : public IUnknown {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
  virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                         VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;

 protected:
  ~IDispatch() = default;
};

class IOleWindow : public IUnknown {
 public:
  virtual HRESULT GetWindow(HWND* phwnd) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;

 protected:
  ~IOleWindow() = default;
};

// ---- IAccessible -------------------------------------------------------------------

class IAccessible : public IDispatch {
 public:
  virtual HRESULT get_accParent(IDispatch** ppdispParent) = 0;
  virtual HRESULT get_accChildCount(LONG* pcountChildren) = 0;
  virtual HRESULT get_accChild(VARIANT varChildID, IDispatch** ppdispChild) = 0;
  virtual HRESULT get_accName(VARIANT varID, BSTR* pszName) = 0;
  virtual HRESULT get_accValue(VARIANT varID, BSTR* pszValue) = 0;
  virtual HRESULT get_accDescription(VARIANT varID, BSTR* pszDescription) = 0;
  virtual HRESULT get_accRole(VARIANT varID, VARIANT* pvarRole) = 0;
  virtual HRESULT get_accState(VARIANT varID, VARIANT* pvarState) = 0;
  virtual HRESULT get_accHelp(VARIANT varID, BSTR* pszHelp) = 0;
  virtual HRESULT get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID, LONG* pidTopic) = 0;
  virtual HRESULT get_accKeyboardShortcut(VARIANT varID, BSTR* pszKeyboardShortcut) = 0;
  virtual HRESULT get_accFocus(VARIANT* pvarID) = 0;
  virtual HRESULT get_accSelection(VARIANT* pvarChildren) = 0;
  virtual HRESULT get_accDefaultAction(VARIANT varID, BSTR* pszDefaultAction) = 0;
  virtual HRESULT accSelect(LONG flagsSelect, VARIANT varID) = 0;
  virtual HRESULT accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight, VARIANT varID) = 0;
  virtual HRESULT accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) = 0;
  virtual HRESULT accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) = 0;
  virtual HRESULT accDoDefaultAction(VARIANT varID) = 0;
  virtual HRESULT put_accName(VARIANT varID, BSTR szName) = 0;
  virtual HRESULT put_accValue(VARIANT varID, BSTR szValue) = 0;

 protected:
  ~IAccessible() = default;
};
using LPACCESSIBLE = IAccessible*;

// Object identifiers (WM_GETOBJECT's lParam), written as the window
// functions write those they share.
#define OBJID_WINDOW (static_cast<LONG>(0x00000000))
#define OBJID_SYSMENU (static_cast<LONG>(0xFFFFFFFF))
#define OBJID_TITLEBAR (static_cast<LONG>(0xFFFFFFFE))
#define OBJID_MENU (static_cast<LONG>(0xFFFFFFFD))
#define OBJID_CLIENT (static_cast<LONG>(0xFFFFFFFC))
#define OBJID_VSCROLL (static_cast<LONG>(0xFFFFFFFB))
#define OBJID_HSCROLL (static_cast<LONG>(0xFFFFFFFA))
#define OBJID_SIZEGRIP (static_cast<LONG>(0xFFFFFFF9))
#define OBJID_CARET (static_cast<LONG>(0xFFFFFFF8))
#define OBJID_CURSOR (static_cast<LONG>(0xFFFFFFF7))
#define OBJID_ALERT (static_cast<LONG>(0xFFFFFFF6))
#define OBJID_SOUND (static_cast<LONG>(0xFFFFFFF5))
#define OBJID_QUERYCLASSNAMEIDX (static_cast<LONG>(0xFFFFFFF4))
#define OBJID_NATIVEOM (static_cast<LONG>(0xFFFFFFF0))
constexpr LONG CHILDID_SELF = 0;

#define NAVDIR_MIN 0
#define NAVDIR_UP 0x1
#define NAVDIR_DOWN 0x2
#define NAVDIR_LEFT 0x3
#define NAVDIR_RIGHT 0x4
#define NAVDIR_NEXT 0x5
#define NAVDIR_PREVIOUS 0x6
#define NAVDIR_FIRSTCHILD 0x7
#define NAVDIR_LASTCHILD 0x8
#define NAVDIR_MAX 0x9

#define SELFLAG_NONE 0
#define SELFLAG_TAKEFOCUS 0x1
#define SELFLAG_TAKESELECTION 0x2
#define SELFLAG_EXTENDSELECTION 0x4
#define SELFLAG_ADDSELECTION 0x8
#define SELFLAG_REMOVESELECTION 0x10

#define STATE_SYSTEM_NORMAL 0
#define STATE_SYSTEM_UNAVAILABLE 0x00000001
#define STATE_SYSTEM_SELECTED 0x2
#define STATE_SYSTEM_FOCUSED 0x4
#define STATE_SYSTEM_PRESSED 0x00000008
#define STATE_SYSTEM_CHECKED 0x10
#define STATE_SYSTEM_MIXED 0x20
#define STATE_SYSTEM_INDETERMINATE STATE_SYSTEM_MIXED
#define STATE_SYSTEM_READONLY 0x40
#define STATE_SYSTEM_HOTTRACKED 0x80
#define STATE_SYSTEM_DEFAULT 0x100
#define STATE_SYSTEM_EXPANDED 0x200
#define STATE_SYSTEM_COLLAPSED 0x400
#define STATE_SYSTEM_BUSY 0x800
#define STATE_SYSTEM_FLOATING 0x1000
#define STATE_SYSTEM_MARQUEED 0x2000
#define STATE_SYSTEM_ANIMATED 0x4000
#define STATE_SYSTEM_INVISIBLE 0x00008000
#define STATE_SYSTEM_OFFSCREEN 0x00010000
#define STATE_SYSTEM_SIZEABLE 0x20000
#define STATE_SYSTEM_MOVEABLE 0x40000
#define STATE_SYSTEM_SELFVOICING 0x80000
#define STATE_SYSTEM_FOCUSABLE 0x100000
#define STATE_SYSTEM_SELECTABLE 0x200000
#define STATE_SYSTEM_LINKED 0x400000
#define STATE_SYSTEM_TRAVERSED 0x800000
#define STATE_SYSTEM_MULTISELECTABLE 0x1000000
#define STATE_SYSTEM_EXTSELECTABLE 0x2000000
#define STATE_SYSTEM_ALERT_LOW 0x4000000
#define STATE_SYSTEM_ALERT_MEDIUM 0x8000000
#define STATE_SYSTEM_ALERT_HIGH 0x10000000
#define STATE_SYSTEM_PROTECTED 0x20000000
#define STATE_SYSTEM_HASPOPUP 0x40000000

#define ROLE_SYSTEM_TITLEBAR 0x1
#define ROLE_SYSTEM_MENUBAR 0x2
#define ROLE_SYSTEM_SCROLLBAR 0x3
#define ROLE_SYSTEM_GRIP 0x4
#define ROLE_SYSTEM_SOUND 0x5
#define ROLE_SYSTEM_CURSOR 0x6
#define ROLE_SYSTEM_CARET 0x7
#define ROLE_SYSTEM_ALERT 0x8
#define ROLE_SYSTEM_WINDOW 0x9
#define ROLE_SYSTEM_CLIENT 0xa
#define ROLE_SYSTEM_MENUPOPUP 0xb
#define ROLE_SYSTEM_MENUITEM 0xc
#define ROLE_SYSTEM_TOOLTIP 0xd
#define ROLE_SYSTEM_APPLICATION 0xe
#define ROLE_SYSTEM_DOCUMENT 0xf
#define ROLE_SYSTEM_PANE 0x10
#define ROLE_SYSTEM_CHART 0x11
#define ROLE_SYSTEM_DIALOG 0x12
#define ROLE_SYSTEM_BORDER 0x13
#define ROLE_SYSTEM_GROUPING 0x14
#define ROLE_SYSTEM_SEPARATOR 0x15
#define ROLE_SYSTEM_TOOLBAR 0x16
#define ROLE_SYSTEM_STATUSBAR 0x17
#define ROLE_SYSTEM_TABLE 0x18
#define ROLE_SYSTEM_COLUMNHEADER 0x19
#define ROLE_SYSTEM_ROWHEADER 0x1a
#define ROLE_SYSTEM_COLUMN 0x1b
#define ROLE_SYSTEM_ROW 0x1c
#define ROLE_SYSTEM_CELL 0x1d
#define ROLE_SYSTEM_LINK 0x1e
#define ROLE_SYSTEM_HELPBALLOON 0x1f
#define ROLE_SYSTEM_CHARACTER 0x20
#define ROLE_SYSTEM_LIST 0x21
#define ROLE_SYSTEM_LISTITEM 0x22
#define ROLE_SYSTEM_OUTLINE 0x23
#define ROLE_SYSTEM_OUTLINEITEM 0x24
#define ROLE_SYSTEM_PAGETAB 0x25
#define ROLE_SYSTEM_PROPERTYPAGE 0x26
#define ROLE_SYSTEM_INDICATOR 0x27
#define ROLE_SYSTEM_GRAPHIC 0x28
#define ROLE_SYSTEM_STATICTEXT 0x29
#define ROLE_SYSTEM_TEXT 0x2a
#define ROLE_SYSTEM_PUSHBUTTON 0x2b
#define ROLE_SYSTEM_CHECKBUTTON 0x2c
#define ROLE_SYSTEM_RADIOBUTTON 0x2d
#define ROLE_SYSTEM_COMBOBOX 0x2e
#define ROLE_SYSTEM_DROPLIST 0x2f
#define ROLE_SYSTEM_PROGRESSBAR 0x30
#define ROLE_SYSTEM_DIAL 0x31
#define ROLE_SYSTEM_HOTKEYFIELD 0x32
#define ROLE_SYSTEM_SLIDER 0x33
#define ROLE_SYSTEM_SPINBUTTON 0x34
#define ROLE_SYSTEM_DIAGRAM 0x35
#define ROLE_SYSTEM_ANIMATION 0x36
#define ROLE_SYSTEM_EQUATION 0x37
#define ROLE_SYSTEM_BUTTONDROPDOWN 0x38
#define ROLE_SYSTEM_BUTTONMENU 0x39
#define ROLE_SYSTEM_BUTTONDROPDOWNGRID 0x3a
#define ROLE_SYSTEM_WHITESPACE 0x3b
#define ROLE_SYSTEM_PAGETABLIST 0x3c
#define ROLE_SYSTEM_CLOCK 0x3d
#define ROLE_SYSTEM_SPLITBUTTON 0x3e
#define ROLE_SYSTEM_IPADDRESS 0x3f
#define ROLE_SYSTEM_OUTLINEBUTTON 0x40

// ---- Functions -------------------------------------------------------------------------

// Asks the window (WM_GETOBJECT with dwObjectID); a window that answers
// nothing gets the standard object.
HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid, void** ppvObject);
// A positive reference to the object (which it keeps alive) for a
// WM_GETOBJECT answer; ObjectFromLresult turns it back, once.
LRESULT LresultFromObject(REFIID riid, WPARAM wParam, IUnknown* punk);
HRESULT ObjectFromLresult(LRESULT lResult, REFIID riid, WPARAM wParam, void** ppvObject);
// The object a window has when it provides none: its text as name, a
// window or client role, visibility and availability as state, its
// rectangle as location.
HRESULT CreateStdAccessibleObject(HWND hwnd, LONG idObject, REFIID riid, void** ppvObject);
