// Shared pieces of the standard controls and the registration of their
// classes.
#include "platform/win/user/ctl_common.h"


#include <cstring>
#include <mutex>

namespace rtl::detail {

const char kCtlDataProp[] = "#ControlData";

void SetCtlData(HWND h, TCtlBase* data) { SetPropA(h, kCtlDataProp, data); }

void FreeCtlData(HWND h) { delete static_cast<TCtlBase*>(RemovePropA(h, kCtlDataProp)); }

void RegisterCtlClass(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor, HBRUSH background) {
  WNDCLASSA wc{};
  wc.style = style | CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursorA(nullptr, cursor);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (RegisterClassA(&wc)) return;
  // The window system predefines a plain class of some of these names:
  // ours takes its place through a short-lived window of the class.
  HWND probe = CreateWindowExA(0, name, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!probe) return;
  SetClassLongPtrA(probe, GCL_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  SetClassLongPtrA(probe, GCL_STYLE, static_cast<LONG_PTR>(wc.style));
  SetClassLongPtrA(probe, GCL_HCURSOR, reinterpret_cast<LONG_PTR>(wc.hCursor));
  DestroyWindow(probe);
}

DWORD CtlStyle(HWND h) { return static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)); }

HWND CtlNotifyTarget(HWND h) {
  // The list of a combo box talks to its combo box, popup or not.
  if (HANDLE combo = GetPropA(h, "#Combo")) return static_cast<HWND>(combo);
  if (CtlStyle(h) & WS_CHILD) return GetParent(h);
  return GetWindow(h, GW_OWNER);
}

void CtlNotify(HWND h, int code) {
  HWND target = CtlNotifyTarget(h);
  if (!target) return;
  SendMessageA(target, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), static_cast<WORD>(code)), reinterpret_cast<LPARAM>(h));
}

HBRUSH CtlColor(HWND h, HDC dc, UINT msg) {
  HWND target = CtlNotifyTarget(h);
  HBRUSH b = nullptr;
  if (target) b = reinterpret_cast<HBRUSH>(SendMessageA(target, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
  if (!b) b = reinterpret_cast<HBRUSH>(DefWindowProcA(h, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
  return b;
}

HFONT CtlDefaultFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HFONT CtlFont(HWND h) {
  TCtlBase* d = static_cast<TCtlBase*>(GetPropA(h, kCtlDataProp));
  return d && d->Font ? d->Font : CtlDefaultFont();
}

bool CtlFontMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  TCtlBase* d = static_cast<TCtlBase*>(GetPropA(h, kCtlDataProp));
  if (!d) return false;
  if (msg == WM_SETFONT) {
    d->Font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam)) InvalidateRect(h, nullptr, TRUE);
    result = 0;
    return true;
  }
  if (msg == WM_GETFONT) {
    result = reinterpret_cast<LRESULT>(d->Font);
    return true;
  }
  return false;
}

int CtlLineHeight(HDC dc) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm.tmHeight > 0 ? tm.tmHeight : 13;
}

AnsiString CtlText(HWND h) {
  int n = GetWindowTextLengthA(h);
  AnsiString s(static_cast<size_t>(n) + 1, '\0');
  int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return s;
}

bool CtlHasFocus(HWND h) { return GetFocus() == h; }

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  COLORREF old = SetBkColor(dc, color);
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void DrawCtlText(HDC dc, const AnsiString& text, RECT r, UINT format, bool enabled) {
  int mode = SetBkMode(dc, TRANSPARENT);
  if (enabled) {
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  } else {
    COLORREF old = SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    RECT shifted = r;
    OffsetRect(&shifted, 1, 1);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    SetTextColor(dc, old);
  }
  SetBkMode(dc, mode);
}

bool ClipboardGetText(HWND owner, AnsiString& text) {
  if (!OpenClipboard(owner)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      size_t size = GlobalSize(data);
      text.assign(p, strnlen(p, size));
      GlobalUnlock(data);
      ok = true;
    }
  }
  CloseClipboard();
  return ok;
}

bool ClipboardSetText(HWND owner, const AnsiString& text) {
  if (!OpenClipboard(owner)) return false;
  bool ok = false;
  EmptyClipboard();
  if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (char* p = static_cast<char*>(GlobalLock(mem))) {
      std::memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(mem);
      ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    }
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

int Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

size_t PrevCharPos(const AnsiString& s, size_t pos) {
  if (pos == 0) return 0;
  if (pos > s.size()) return s.size();
  --pos;
  while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
  return pos;
}

size_t NextCharPos(const AnsiString& s, size_t pos) {
  if (pos >= s.size()) return s.size();
  ++pos;
  while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
  return pos;
}

// Registration may be asked for again from inside itself (the window system
// looks classes up while we create the probe window): once started, later
// calls return at once.
void RegisterStandardControlClasses() {
  static std::recursive_mutex lock;
  static bool started = false;
  std::lock_guard<std::recursive_mutex> guard(lock);
  if (started) return;
  started = true;
  RegisterCtlClass("BUTTON", ButtonWndProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  RegisterCtlClass("STATIC", StaticWndProc, CS_DBLCLKS | CS_PARENTDC, IDC_ARROW);
  RegisterCtlClass("EDIT", EditWndProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
  RegisterCtlClass("LISTBOX", ListBoxWndProc, CS_DBLCLKS | CS_PARENTDC, IDC_ARROW);
  RegisterCtlClass("ComboLBox", ListBoxWndProc, CS_DBLCLKS | CS_SAVEBITS, IDC_ARROW);
  RegisterCtlClass("COMBOBOX", ComboBoxWndProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
  RegisterCtlClass("SCROLLBAR", ScrollBarWndProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
}

}  // namespace rtl::detail
