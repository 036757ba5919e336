// Dialogs built from in-memory templates: the dialog class "#32770" that
// calls the caller's dialog procedure, the template reader (plain and
// extended forms), dialog units from the dialog's font, modeless and
// modal dialogs and EndDialog.
#include <cstdint>
#include <cstring>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/dialog_frame.h"
#include "platform/win/user/standard_classes.h"

namespace rtl::detail {
namespace {

const char kDialogClass[] = "#32770";
const char kFontProp[] = "#DialogFont";      // the font the template asked for, owned
const char kEndedProp[] = "#DialogEnded";    // EndDialog ran
const char kResultProp[] = "#DialogResult";  // what it gave

// ---- Reading templates ----------------------------------------------------------

struct TReader {
  const BYTE* P;
  WORD Word() {
    WORD w;
    std::memcpy(&w, P, 2);
    P += 2;
    return w;
  }
  DWORD Dword() {
    DWORD d;
    std::memcpy(&d, P, 4);
    P += 4;
    return d;
  }
  short Short() { return static_cast<short>(Word()); }
  AnsiString String() {
    WideString w;
    for (WORD c = Word(); c; c = Word()) w.push_back(static_cast<char16_t>(c));
    return WideToAnsi(w);
  }
  // A string or an ordinal (0xFFFF then the number); none is an empty string.
  AnsiString NameOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    WORD first;
    std::memcpy(&first, P, 2);
    if (first == 0xFFFF) {
      P += 2;
      *ordinal = Word();
      return AnsiString();
    }
    return String();
  }
  void AlignDword(const BYTE* base) {
    size_t off = static_cast<size_t>(P - base);
    P += (4 - off % 4) % 4;
  }
};

struct TItem {
  DWORD Style = 0, ExStyle = 0;
  short X = 0, Y = 0, Cx = 0, Cy = 0;
  DWORD Id = 0;
  AnsiString Class;
  WORD ClassAtom = 0;
  AnsiString Title;
  WORD TitleOrdinal = 0;
  const BYTE* Data = nullptr;  // creation data (its size word first), if any
};

struct TTemplate {
  DWORD Style = 0, ExStyle = 0;
  short X = 0, Y = 0, Cx = 0, Cy = 0;
  AnsiString Menu, Class, Title;
  WORD MenuOrdinal = 0, ClassOrdinal = 0;
  WORD PointSize = 0;
  WORD Weight = FW_NORMAL;
  bool Italic = false;
  AnsiString Face;
  std::vector<TItem> Items;
};

TTemplate Read(const DLGTEMPLATE* t) {
  TTemplate r;
  const BYTE* base = reinterpret_cast<const BYTE*>(t);
  TReader in{base};
  WORD ver, sig;
  std::memcpy(&ver, base, 2);
  std::memcpy(&sig, base + 2, 2);
  bool ex = ver == 1 && sig == 0xFFFF;
  WORD count;
  if (ex) {
    in.P += 4;
    in.Dword();  // help id
    r.ExStyle = in.Dword();
    r.Style = in.Dword();
  } else {
    r.Style = in.Dword();
    r.ExStyle = in.Dword();
  }
  count = in.Word();
  r.X = in.Short();
  r.Y = in.Short();
  r.Cx = in.Short();
  r.Cy = in.Short();
  r.Menu = in.NameOrOrdinal(&r.MenuOrdinal);
  r.Class = in.NameOrOrdinal(&r.ClassOrdinal);
  r.Title = in.String();
  if (r.Style & DS_SETFONT) {
    r.PointSize = in.Word();
    if (ex) {
      r.Weight = in.Word();
      r.Italic = (in.P[0] != 0);
      in.P += 2;  // italic, character set
    }
    r.Face = in.String();
  }
  for (WORD i = 0; i < count; ++i) {
    in.AlignDword(base);
    TItem it;
    if (ex) {
      in.Dword();  // help id
      it.ExStyle = in.Dword();
      it.Style = in.Dword();
    } else {
      it.Style = in.Dword();
      it.ExStyle = in.Dword();
    }
    it.X = in.Short();
    it.Y = in.Short();
    it.Cx = in.Short();
    it.Cy = in.Short();
    it.Id = ex ? in.Dword() : in.Word();
    it.Class = in.NameOrOrdinal(&it.ClassAtom);
    it.Title = in.NameOrOrdinal(&it.TitleOrdinal);
    WORD extra = in.Word();
    if (extra) {
      it.Data = in.P - 2;
      in.P += extra;
    }
    r.Items.push_back(std::move(it));
  }
  return r;
}

const char* PredefinedClass(WORD atom) {
  switch (atom) {
    case 0x80: return "BUTTON";
    case 0x81: return "EDIT";
    case 0x82: return "STATIC";
    case 0x83: return "LISTBOX";
    case 0x84: return "SCROLLBAR";
    case 0x85: return "COMBOBOX";
  }
  return nullptr;
}

// ---- Dialog units ------------------------------------------------------------------

int Scale(int v, int num, int den) {
  int64_t p = static_cast<int64_t>(v) * num;
  // Rounded half away from zero, as the platform's MulDiv does.
  return static_cast<int>(p >= 0 ? (p + den / 2) / den : (p - den / 2) / den);
}

SIZE BaseUnits(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  // The average width of the letters, as the platform measures it.
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE ext{};
  GetTextExtentPoint32A(dc, kLetters, 52, &ext);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE((ext.cx / 26 + 1) / 2, tm.tmHeight);
}

HFONT FontOf(HWND dlg) {
  if (HANDLE f = GetPropA(dlg, kFontProp)) return reinterpret_cast<HFONT>(f);
  return reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

RECT ToPixels(SIZE base, int x, int y, int cx, int cy) {
  int l = Scale(x, base.cx, 4), t = Scale(y, base.cy, 8);
  return RECT(l, t, l + Scale(cx, base.cx, 4), t + Scale(cy, base.cy, 8));
}

// ---- The dialog class ----------------------------------------------------------

bool ResultIsReturnValue(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
  }
  return false;
}

LRESULT DialogClassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(h, DWLP_DLGPROC));
  if (proc) {
    SetWindowLongPtrA(h, DWLP_MSGRESULT, 0);
    INT_PTR r = proc(h, msg, wParam, lParam);
    if (!IsWindow(h)) return r;
    if (r) return ResultIsReturnValue(msg) ? r : GetWindowLongPtrA(h, DWLP_MSGRESULT);
  }
  switch (msg) {
    case WM_ERASEBKGND: {
      LRESULT result = 0;
      if (DialogFaceMessage(h, msg, wParam, result)) return result;
      break;
    }
    case WM_CLOSE:
      // Closing is Cancel, when the dialog can cancel.
      if (HWND cancel = GetDlgItem(h, IDCANCEL); !cancel || IsWindowEnabled(cancel))
        PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropA(h, kFontProp));
    case WM_NCDESTROY:
      if (HANDLE f = RemovePropA(h, kFontProp)) DeleteObject(f);
      RemovePropA(h, kEndedProp);
      RemovePropA(h, kResultProp);
      break;
  }
  return DefDlgProcA(h, msg, wParam, lParam);
}

void EnsureDialogClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterStandardControlClasses();
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = DialogClassProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kDialogClass;
    RegisterClassA(&wc);
  });
}

HWND CreateFromTemplate(HINSTANCE instance, const DLGTEMPLATE* tmpl, HWND parent, DLGPROC proc, LPARAM init,
                        bool modal) {
  if (!tmpl) {
    SetLastError(87);
    return nullptr;
  }
  EnsureDialogClass();
  TTemplate t = Read(tmpl);
  HFONT font = nullptr;
  if (t.Style & DS_SETFONT) {
    HDC dc = GetDC(nullptr);
    int height = -Scale(t.PointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    font = CreateFontA(height, 0, 0, 0, t.Weight, t.Italic, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                       t.Face.c_str());
  }
  SIZE base = BaseUnits(font ? font : reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT)));

  DWORD style = t.Style;
  // A modal dialog shows when its loop starts.
  if (modal) style &= ~static_cast<DWORD>(WS_VISIBLE);
  RECT r = ToPixels(base, t.X, t.Y, t.Cx, t.Cy);
  RECT frame(0, 0, r.Width(), r.Height());
  AdjustWindowRectEx(&frame, style, FALSE, t.ExStyle);
  int w = frame.Width(), hgt = frame.Height();
  int x = r.Left, y = r.Top;
  bool child = (style & (WS_CHILD | WS_POPUP)) == WS_CHILD;
  if (!child) {
    if (t.Style & DS_CENTER) {
      RECT work = DialogWorkArea(parent);
      x = work.Left + (work.Width() - w) / 2;
      y = work.Top + (work.Height() - hgt) / 2;
    } else if (parent && !(t.Style & DS_ABSALIGN)) {
      // Relative to the owner's client area.
      POINT o(0, 0);
      ClientToScreen(parent, &o);
      x += o.X;
      y += o.Y;
    }
  }
  const char* cls = t.ClassOrdinal ? reinterpret_cast<const char*>(static_cast<uintptr_t>(t.ClassOrdinal))
                                   : (t.Class.empty() ? kDialogClass : t.Class.c_str());
  HWND dlg = CreateWindowExA(t.ExStyle, cls, t.Title.c_str(), style & ~static_cast<DWORD>(WS_VISIBLE), x, y, w, hgt,
                             parent, nullptr, instance, nullptr);
  if (!dlg) {
    if (font) DeleteObject(font);
    return nullptr;
  }
  if (font) SetPropA(dlg, kFontProp, font);
  SetWindowLongPtrA(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  if (font) SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const TItem& it : t.Items) {
    const char* itemClass = it.ClassAtom ? PredefinedClass(it.ClassAtom) : it.Class.c_str();
    if (!itemClass) continue;
    RECT ir = ToPixels(base, it.X, it.Y, it.Cx, it.Cy);
    AnsiString title = it.TitleOrdinal ? "#" + std::to_string(it.TitleOrdinal) : it.Title;
    HWND c = CreateWindowExA(it.ExStyle | WS_EX_NOPARENTNOTIFY, itemClass, title.c_str(), it.Style | WS_CHILD,
                             ir.Left, ir.Top, ir.Width(), ir.Height(), dlg,
                             reinterpret_cast<HMENU>(static_cast<uintptr_t>(it.Id)), instance,
                             const_cast<BYTE*>(it.Data));
    if (!IsWindow(dlg)) return nullptr;
    if (!c) {
      // A control that cannot be made fails the dialog.
      DestroyWindow(dlg);
      return nullptr;
    }
    if (font) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
  if (SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init) && IsWindow(dlg) && first &&
      IsWindow(first))
    SetFocus(first);
  if (!IsWindow(dlg)) return nullptr;
  if (!modal && (t.Style & WS_VISIBLE)) {
    ShowWindow(dlg, SW_SHOWNORMAL);
    UpdateWindow(dlg);
  }
  return dlg;
}

}  // namespace
}  // namespace rtl::detail

using namespace rtl::detail;

HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc, LPARAM init) {
  return CreateFromTemplate(instance, tmpl, parent, proc, init, false);
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA tmpl, HWND parent, DLGPROC proc, LPARAM init) {
  HWND dlg = CreateFromTemplate(instance, tmpl, parent, proc, init, true);
  if (!dlg) return -1;
  auto ended = [dlg] { return !IsWindow(dlg) || GetPropA(dlg, kEndedProp) != nullptr; };
  HWND top = DialogOwnerRoot(parent);
  // EndDialog may already have run in WM_INITDIALOG: then nothing shows.
  if (!ended()) {
    bool ownerWasEnabled = top && IsWindowEnabled(top);
    if (ownerWasEnabled) EnableWindow(top, FALSE);
    ShowWindow(dlg, SW_SHOW);
    MSG m;
    bool quit = false;
    int quitCode = 0;
    while (!ended()) {
      if (!GetMessageA(&m, nullptr, 0, 0)) {
        quit = true;
        quitCode = static_cast<int>(m.wParam);
        break;
      }
      if (IsDialogMessageA(dlg, &m)) continue;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    // The owner takes input again before the dialog goes, so that the
    // activation can return to it.
    if (ownerWasEnabled && IsWindow(top)) EnableWindow(top, TRUE);
    if (quit) {
      if (IsWindow(dlg)) DestroyWindow(dlg);
      PostQuitMessage(quitCode);
      return 0;
    }
  }
  if (!IsWindow(dlg)) return -1;
  INT_PTR result = static_cast<INT_PTR>(reinterpret_cast<intptr_t>(GetPropA(dlg, kResultProp)));
  DestroyWindow(dlg);
  if (top && IsWindow(top)) SetActiveWindow(top);
  return result;
}

// Templates live in the program's resources, which this layer does not
// read: the named forms fail as for a missing resource.
HWND CreateDialogParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) {
  SetLastError(1814);  // resource name not found
  return nullptr;
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) {
  SetLastError(1814);  // resource name not found
  return -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  if (!IsWindow(dialog)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  SetPropA(dialog, kResultProp, reinterpret_cast<HANDLE>(static_cast<intptr_t>(result)));
  SetPropA(dialog, kEndedProp, reinterpret_cast<HANDLE>(1));
  // Hidden at once; the modal loop wakes to see it ended.
  ShowWindow(dialog, SW_HIDE);
  PostMessageA(dialog, WM_NULL, 0, 0);
  return TRUE;
}

namespace rtl::detail {

bool DialogEnded(HWND dialog, INT_PTR* result) {
  if (!GetPropA(dialog, kEndedProp)) return false;
  if (result) *result = static_cast<INT_PTR>(reinterpret_cast<intptr_t>(GetPropA(dialog, kResultProp)));
  return true;
}

}  // namespace rtl::detail

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  if (!rect || !IsWindow(dialog)) return FALSE;
  SIZE base = BaseUnits(FontOf(dialog));
  *rect = RECT(Scale(rect->Left, base.cx, 4), Scale(rect->Top, base.cy, 8), Scale(rect->Right, base.cx, 4),
               Scale(rect->Bottom, base.cy, 8));
  return TRUE;
}
