// The "BUTTON" class: push buttons, check boxes, radio buttons, group boxes
// and owner-drawn buttons, in the classic look.
#include <algorithm>

#include "platform/win/user/ctl_common.h"
#include "platform/win/user/user_internal.h"

namespace rtl::detail {
namespace {

struct TButtonData : TCtlBase {
  UINT State = 0;          // BST_ check bits, BST_PUSHED, BST_FOCUS
  bool MouseTracking = false;
  bool KeyPushed = false;  // Space is held
  HANDLE Image = nullptr;
  UINT ImageType = IMAGE_BITMAP;
};

constexpr int kCheckSize = 13;

UINT ButtonType(DWORD style) { return style & BS_TYPEMASK; }

bool IsCheckType(UINT t) {
  return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
}
bool IsRadioType(UINT t) { return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON; }
// Split buttons and command links come in pairs whose odd member is the
// default; they are pushed like push buttons.
bool IsSplitOrLinkType(UINT t) { return t >= BS_SPLITBUTTON && t <= BS_DEFCOMMANDLINK; }
bool IsDefaultType(UINT t) { return t == BS_DEFPUSHBUTTON || (IsSplitOrLinkType(t) && (t & 1)); }
bool IsPushType(UINT t) {
  return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_PUSHBOX || t == BS_USERBUTTON || IsSplitOrLinkType(t);
}

UINT MaxCheck(UINT t) {
  if (t == BS_3STATE || t == BS_AUTO3STATE) return BST_INDETERMINATE;
  if (IsCheckType(t) || IsRadioType(t)) return BST_CHECKED;
  return 0;
}

void Redraw(HWND h) {
  InvalidateRect(h, nullptr, FALSE);
}

void Repaint(HWND h, TButtonData* d, UINT action);

// The pushed look changes through the message, so that a subclass sees it.
void SetPushed(HWND h, TButtonData*, bool pushed) { SendMessageA(h, BM_SETSTATE, pushed ? TRUE : FALSE, 0); }

// The radio buttons of h's group: from the sibling that starts the group
// (WS_GROUP) up to the next one that starts another.
std::vector<HWND> RadioGroup(HWND h) {
  std::vector<HWND> r;
  HWND parent = GetParent(h);
  if (!parent || !(CtlStyle(h) & WS_CHILD)) return {h};
  HWND start = h;
  while (!(CtlStyle(start) & WS_GROUP)) {
    HWND prev = GetWindow(start, GW_HWNDPREV);
    if (!prev) break;
    start = prev;
  }
  for (HWND s = start; s; s = GetWindow(s, GW_HWNDNEXT)) {
    if (s != start && (CtlStyle(s) & WS_GROUP)) break;
    if (s == h || SendMessageA(s, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) r.push_back(s);
  }
  return r;
}

void CheckInGroup(HWND h) {
  for (HWND s : RadioGroup(h)) SendMessageA(s, BM_SETCHECK, s == h ? BST_CHECKED : BST_UNCHECKED, 0);
}

// What a click does: the automatic styles change their check, then the
// parent hears BN_CLICKED.
void Click(HWND h, TButtonData* d) {
  switch (ButtonType(CtlStyle(h))) {
    case BS_AUTOCHECKBOX:
      SendMessageA(h, BM_SETCHECK, (d->State & BST_CHECKED) ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE: {
      UINT c = d->State & 3;
      SendMessageA(h, BM_SETCHECK, c == BST_UNCHECKED ? BST_CHECKED : c == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED, 0);
      break;
    }
    case BS_AUTORADIOBUTTON:
      CheckInGroup(h);
      break;
  }
  CtlNotify(h, BN_CLICKED);
}

// ---- Painting ----------------------------------------------------------------

UINT TextFormat(DWORD style, UINT defaultAlign, bool multiLine) {
  UINT f = multiLine ? DT_WORDBREAK : DT_SINGLELINE;
  switch (style & BS_CENTER) {
    case BS_LEFT: f |= DT_LEFT; break;
    case BS_RIGHT: f |= DT_RIGHT; break;
    case BS_CENTER: f |= DT_CENTER; break;
    default: f |= defaultAlign; break;
  }
  if (!multiLine) {
    switch (style & BS_VCENTER) {
      case BS_TOP: f |= DT_TOP; break;
      case BS_BOTTOM: f |= DT_BOTTOM; break;
      default: f |= DT_VCENTER; break;
    }
  }
  return f;
}

// Vertical placement of multi-line text, which DrawText only does for a
// single line.
RECT PlaceMultiLine(HDC dc, const AnsiString& text, RECT r, UINT format, DWORD style) {
  RECT calc = r;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &calc, format | DT_CALCRECT);
  int h = calc.Height();
  switch (style & BS_VCENTER) {
    case BS_TOP: break;
    case BS_BOTTOM: r.Top = r.Bottom - h; break;
    default: r.Top += (r.Height() - h) / 2; break;
  }
  r.Bottom = r.Top + h;
  return r;
}

void DrawImage(HDC dc, TButtonData* d, const RECT& r, bool enabled) {
  if (d->ImageType == IMAGE_ICON) {
    ICONINFO ii{};
    int w = 32, ht = 32;
    if (GetIconInfo(static_cast<HICON>(d->Image), &ii)) {
      BITMAP bm{};
      if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
        w = bm.bmWidth;
        ht = bm.bmHeight;
      }
      if (ii.hbmColor) DeleteObject(ii.hbmColor);
      if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(d->Image), 0, r.Left + (r.Width() - w) / 2,
               r.Top + (r.Height() - ht) / 2, w, ht, DST_ICON | (enabled ? DSS_NORMAL : DSS_DISABLED));
  } else {
    BITMAP bm{};
    if (!GetObjectA(d->Image, sizeof bm, &bm)) return;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(d->Image), 0, r.Left + (r.Width() - bm.bmWidth) / 2,
               r.Top + (r.Height() - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight,
               DST_BITMAP | (enabled ? DSS_NORMAL : DSS_DISABLED));
  }
}

// The content (text or image) within r; answers the rectangle the text
// took, for the focus rectangle.
RECT DrawLabel(HWND h, HDC dc, TButtonData* d, RECT r, UINT defaultAlign, bool enabled) {
  DWORD style = CtlStyle(h);
  if ((style & (BS_ICON | BS_BITMAP)) && d->Image) {
    DrawImage(dc, d, r, enabled);
    return r;
  }
  AnsiString text = CtlText(h);
  bool multi = (style & BS_MULTILINE) != 0;
  UINT f = TextFormat(style, defaultAlign, multi);
  RECT place = multi ? PlaceMultiLine(dc, text, r, f, style) : r;
  DrawCtlText(dc, text, place, f, enabled);
  RECT calc = place;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &calc, f | DT_CALCRECT);
  // DT_CALCRECT keeps the left/top corner: align the measured box as drawn.
  int w = calc.Width(), ht = calc.Height();
  RECT out = place;
  if (f & DT_CENTER)
    out.Left = place.Left + (place.Width() - w) / 2;
  else if (f & DT_RIGHT)
    out.Left = place.Right - w;
  out.Right = out.Left + w;
  if (!multi) {
    if (f & DT_VCENTER)
      out.Top = place.Top + (place.Height() - ht) / 2;
    else if (f & DT_BOTTOM)
      out.Top = place.Bottom - ht;
    out.Bottom = out.Top + ht;
  }
  return out;
}

void PaintPush(HWND h, HDC dc, TButtonData* d, const RECT& client, bool pushed) {
  DWORD style = CtlStyle(h);
  bool enabled = IsWindowEnabled(h);
  bool focused = (d->State & BST_FOCUS) != 0;
  bool isDefault = IsDefaultType(ButtonType(style));
  HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORBTN);
  FillRect(dc, &client, bg);
  RECT r = client;
  if (isDefault) {
    // The default button wears a dark frame outside its edges.
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (pushed && !(style & BS_FLAT)) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW));
    RECT in = r;
    InflateRect(&in, -1, -1);
    FillRect(dc, &in, GetSysColorBrush(COLOR_3DFACE));
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (style & BS_FLAT ? DFCS_FLAT : 0));
  }
  RECT content = r;
  InflateRect(&content, -4, -3);
  if (pushed) OffsetRect(&content, 1, 1);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawLabel(h, dc, d, content, DT_CENTER, enabled);
  if (focused) {
    RECT f = r;
    InflateRect(&f, -3, -3);
    DrawFocusRect(dc, &f);
  }
}

void PaintCheck(HWND h, HDC dc, TButtonData* d, const RECT& client) {
  DWORD style = CtlStyle(h);
  UINT type = ButtonType(style);
  bool enabled = IsWindowEnabled(h);
  if (style & BS_PUSHLIKE) {
    PaintPush(h, dc, d, client, (d->State & (BST_PUSHED | BST_CHECKED)) != 0);
    return;
  }
  HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, bg);
  bool leftText = (style & BS_LEFTTEXT) != 0;
  RECT box;
  box.Top = client.Top + (client.Height() - kCheckSize) / 2;
  if ((style & BS_VCENTER) == BS_TOP) box.Top = client.Top;
  if ((style & BS_VCENTER) == BS_BOTTOM) box.Top = client.Bottom - kCheckSize;
  box.Bottom = box.Top + kCheckSize;
  box.Left = leftText ? client.Right - kCheckSize : client.Left;
  box.Right = box.Left + kCheckSize;
  UINT dfcs = IsRadioType(type) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  UINT check = d->State & 3;
  if (check == BST_INDETERMINATE) dfcs = DFCS_BUTTON3STATE | DFCS_CHECKED;
  else if (check == BST_CHECKED) dfcs |= DFCS_CHECKED;
  if (d->State & BST_PUSHED) dfcs |= DFCS_PUSHED;
  if (!enabled) dfcs |= DFCS_INACTIVE;
  if (style & BS_FLAT) dfcs |= DFCS_FLAT;
  DrawFrameControl(dc, &box, DFC_BUTTON, dfcs);
  RECT text = client;
  if (leftText)
    text.Right = box.Left - 4;
  else
    text.Left = box.Right + 4;
  RECT drawn = DrawLabel(h, dc, d, text, leftText ? DT_RIGHT : DT_LEFT, enabled);
  if ((d->State & BST_FOCUS) && !CtlText(h).empty()) {
    RECT f = drawn;
    InflateRect(&f, 1, 1);
    IntersectRect(&f, &f, &client);
    DrawFocusRect(dc, &f);
  }
}

void PaintGroup(HWND h, HDC dc, const RECT& client) {
  DWORD style = CtlStyle(h);
  HBRUSH bg = CtlColor(h, dc, WM_CTLCOLORSTATIC);
  AnsiString text = CtlText(h);
  int lineH = CtlLineHeight(dc);
  RECT frame = client;
  frame.Top += lineH / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (text.empty()) return;
  RECT t(0, 0, 0, 0);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_CALCRECT);
  int w = std::min(t.Width(), client.Width() - 18);
  int x = client.Left + 8;
  if ((style & BS_CENTER) == BS_CENTER) x = client.Left + (client.Width() - w) / 2;
  else if ((style & BS_CENTER) == BS_RIGHT) x = client.Right - 8 - w;
  RECT label(x - 2, client.Top, x + w + 2, client.Top + lineH);
  FillRect(dc, &label, bg);
  RECT tr(x, client.Top, x + w, client.Top + lineH);
  DrawCtlText(dc, text, tr, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_END_ELLIPSIS, IsWindowEnabled(h));
}

void PaintOwnerDraw(HWND h, HDC dc, TButtonData* d, const RECT& client, UINT action) {
  CtlColor(h, dc, WM_CTLCOLORBTN);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h));
  dis.itemAction = action;
  dis.itemState = (d->State & BST_PUSHED ? ODS_SELECTED : 0) | (d->State & BST_FOCUS ? ODS_FOCUS : 0) |
                  (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
  dis.hwndItem = h;
  dis.hDC = dc;
  dis.rcItem = client;
  if (HWND target = CtlNotifyTarget(h))
    SendMessageA(target, WM_DRAWITEM, static_cast<WPARAM>(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND h, HDC dc, TButtonData* d, UINT action = ODA_DRAWENTIRE) {
  RECT client;
  GetClientRect(h, &client);
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  UINT type = ButtonType(CtlStyle(h));
  if (type == BS_OWNERDRAW)
    PaintOwnerDraw(h, dc, d, client, action);
  else if (type == BS_GROUPBOX)
    PaintGroup(h, dc, client);
  else if (IsCheckType(type) || IsRadioType(type))
    PaintCheck(h, dc, d, client);
  else
    PaintPush(h, dc, d, client, (d->State & BST_PUSHED) != 0);
  SelectObject(dc, oldFont);
}

void Repaint(HWND h, TButtonData* d, UINT action) {
  // A group box frames its siblings and waits for WM_PAINT; any other
  // button shows a change of focus, state or text at once.
  if (ButtonType(CtlStyle(h)) == BS_GROUPBOX) {
    Redraw(h);
    return;
  }
  if (!IsWindowVisible(h)) return;
  HDC dc = GetDC(h);
  Paint(h, dc, d, action);
  ReleaseDC(h, dc);
}

void SetFocusState(HWND h, TButtonData* d, bool focus) {
  if (focus)
    d->State |= BST_FOCUS;
  else
    d->State &= ~static_cast<UINT>(BST_FOCUS);
  Repaint(h, d, ODA_FOCUS);
}

LRESULT DlgCode(DWORD style) {
  UINT t = ButtonType(style);
  if (t == BS_GROUPBOX) return DLGC_STATIC;
  if (IsRadioType(t)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
  if (IsDefaultType(t)) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
  if (IsPushType(t)) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
  return DLGC_BUTTON;
}

}  // namespace

LRESULT ButtonWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TButtonData* d = CtlBegin<TButtonData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (CtlFontMessage(h, msg, wParam, lParam, result)) return result;
  DWORD style = CtlStyle(h);
  UINT type = ButtonType(style);
  switch (msg) {
    case WM_NCHITTEST:
      if (type == BS_GROUPBOX) return HTTRANSPARENT;
      break;
    case WM_GETDLGCODE:
      return DlgCode(style);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      CtlPaint(h, msg, wParam, [&](HDC dc) { Paint(h, dc, d); });
      return 0;
    case WM_ENABLE:
      Redraw(h);
      if (!wParam && (style & BS_NOTIFY)) CtlNotify(h, BN_DISABLE);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(h, msg, wParam, lParam);
      if (type == BS_GROUPBOX)
        InvalidateRect(h, nullptr, TRUE);
      else
        Repaint(h, d, ODA_DRAWENTIRE);
      return r;
    }
    case WM_SETFOCUS:
      SetFocusState(h, d, true);
      if (style & BS_NOTIFY) CtlNotify(h, BN_SETFOCUS);
      // Moving into an unchecked radio button with the keyboard chooses it.
      if (type == BS_AUTORADIOBUTTON && GetCapture() != h && !(d->State & BST_CHECKED) &&
          !(GetKeyState(VK_LBUTTON) & 0x8000))
        Click(h, d);
      return 0;
    case WM_KILLFOCUS:
      SetFocusState(h, d, false);
      if (style & BS_NOTIFY) CtlNotify(h, BN_KILLFOCUS);
      if (d->KeyPushed || d->MouseTracking) {
        d->KeyPushed = false;
        if (d->MouseTracking && GetCapture() == h) ReleaseCapture();
        d->MouseTracking = false;
        SetPushed(h, d, false);
      }
      return 0;
    case WM_LBUTTONDBLCLK:
      if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || type == BS_OWNERDRAW || (style & BS_NOTIFY)) {
        CtlNotify(h, BN_DOUBLECLICKED);
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (type == BS_GROUPBOX) return 0;
      SetCapture(h);
      d->MouseTracking = true;
      SetFocus(h);
      SetPushed(h, d, true);
      return 0;
    case WM_MOUSEMOVE:
      if (d->MouseTracking && GetCapture() == h) {
        RECT r;
        GetClientRect(h, &r);
        SetPushed(h, d, PtInRect(&r, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))));
      }
      return 0;
    case WM_LBUTTONUP: {
      if (!d->MouseTracking) return 0;
      d->MouseTracking = false;
      bool pushed = (d->State & BST_PUSHED) != 0;
      SetPushed(h, d, false);
      if (GetCapture() == h) ReleaseCapture();
      RECT r;
      GetClientRect(h, &r);
      if (pushed && PtInRect(&r, POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))) Click(h, d);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if ((d->MouseTracking || d->KeyPushed) && reinterpret_cast<HWND>(lParam) != h) {
        d->MouseTracking = false;
        d->KeyPushed = false;
        SetPushed(h, d, false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && type != BS_GROUPBOX) {
        if (!(lParam & (1 << 30))) {
          // Held like the mouse button: the mouse goes to the button too.
          d->KeyPushed = true;
          SetPushed(h, d, true);
          SetCapture(h);
        }
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE && d->KeyPushed) {
        d->KeyPushed = false;
        bool pushed = (d->State & BST_PUSHED) != 0;
        SetPushed(h, d, false);
        if (GetCapture() == h) ReleaseCapture();
        if (pushed) Click(h, d);
        return 0;
      }
      break;
    case WM_CHAR:
      // The plus and minus keys set and clear a check box.
      if (IsCheckType(type) && (wParam == '+' || wParam == '=' || wParam == '-')) {
        UINT want = wParam == '-' ? BST_UNCHECKED : BST_CHECKED;
        if (type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE) {
          if ((d->State & 3) != want) Click(h, d);
        } else {
          CtlNotify(h, BN_CLICKED);
        }
        return 0;
      }
      break;
    case BM_GETCHECK:
      return MaxCheck(type) ? (d->State & 3) : 0;
    case BM_SETCHECK: {
      UINT maxCheck = MaxCheck(type);
      if (!maxCheck) return 0;
      UINT c = std::min<UINT>(static_cast<UINT>(wParam) & 3, maxCheck);
      if (IsRadioType(type)) {
        // The checked radio button of a group is its tab stop.
        DWORD s = c ? (style | WS_TABSTOP) : (style & ~static_cast<DWORD>(WS_TABSTOP));
        if (s != style) SetWindowLongA(h, GWL_STYLE, static_cast<LONG>(s));
      }
      if ((d->State & 3) != c) {
        d->State = (d->State & ~3u) | c;
        Repaint(h, d, ODA_SELECT);
      }
      return 0;
    }
    case BM_GETSTATE:
      return d->State;
    case BM_SETSTATE: {
      UINT old = d->State;
      if (wParam)
        d->State |= BST_PUSHED;
      else
        d->State &= ~static_cast<UINT>(BST_PUSHED);
      if (old != d->State) {
        Repaint(h, d, ODA_SELECT);
        if (style & BS_NOTIFY) CtlNotify(h, wParam ? BN_HILITE : BN_UNHILITE);
      }
      return 0;
    }
    case BM_SETSTYLE: {
      // Only the type changes, quietly (no WM_STYLECHANGING); the redraw
      // waits for WM_PAINT. A split button or command link told to be a
      // (default) push button, as the dialog manager tells the button that
      // takes or gives up the default look, stays what it is and only
      // takes or drops the default.
      UINT to = static_cast<UINT>(wParam) & BS_TYPEMASK;
      if (IsSplitOrLinkType(type) && (to == BS_PUSHBUTTON || to == BS_DEFPUSHBUTTON)) to = (type & ~1u) | to;
      DWORD s = (style & ~static_cast<DWORD>(BS_TYPEMASK)) | to;
      if (TWnd* w = GetWndNoError(h)) w->Style = s;
      if (lParam) InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      if (!IsWindowEnabled(h) || type == BS_GROUPBOX) return 0;
      SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageA(h, WM_LBUTTONUP, 0, 0);
      return 0;
    case BM_GETIMAGE:
      return wParam == d->ImageType ? reinterpret_cast<LRESULT>(d->Image) : 0;
    case BM_SETIMAGE: {
      if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
      HANDLE old = d->Image;
      d->Image = reinterpret_cast<HANDLE>(lParam);
      d->ImageType = static_cast<UINT>(wParam);
      InvalidateRect(h, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_UPDATEUISTATE:
      Redraw(h);
      break;
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
