// Popup menus on screen: each level is a popup window of the menu class
// that never takes activation; a modal loop under capture follows the
// pointer and the keys, opens submenus, tells the owner (WM_INITMENU,
// WM_INITMENUPOPUP, WM_MENUSELECT, WM_MENUCHAR, WM_EXITMENULOOP) and ends
// with a command or nothing.
#include <algorithm>
#include <cctype>

#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_menu_internal.h"
#include "platform/win/user/user_paint.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

constexpr const char* kMenuClass = "#32768";
constexpr int kBorder = 3;
// Accessibility events about a popup name the popup window itself.
constexpr LONG kChildSelf = 0;
constexpr int kSeparator = 9;

struct TLevel {
  HMENU Menu = nullptr;
  HWND Window = nullptr;
  int Selected = -1;
  std::vector<RECT> Items;  // client coordinates
};

struct TTracker {
  HWND Owner = nullptr;
  UINT Flags = 0;
  bool System = false;
  bool Done = false;
  UINT Result = 0;
  std::vector<TLevel> Levels;
};

TTracker* g_tracker = nullptr;

bool Selectable(const TMenuItem& it) { return !(it.Type & MFT_SEPARATOR); }
bool Enabled(const TMenuItem& it) { return !(it.State & (MF_GRAYED | MF_DISABLED)); }

HFONT MenuFont(bool bold) {
  NONCLIENTMETRICSA nc{};
  nc.cbSize = sizeof(nc);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(nc), &nc, 0);
  if (bold) nc.lfMenuFont.lfWeight = 700;
  return CreateFontIndirectA(&nc.lfMenuFont);
}

void SplitText(const AnsiString& text, AnsiString& label, AnsiString& accel) {
  size_t tab = text.find('\t');
  label = text.substr(0, tab);
  accel = tab == AnsiString::npos ? AnsiString() : text.substr(tab + 1);
}

int CheckColumn() { return GetSystemMetrics(SM_CXMENUCHECK) + 6; }

// Lays the items out; answers the popup's window size.
SIZE Layout(TLevel& level) {
  auto m = MenuOf(level.Menu);
  level.Items.clear();
  HDC dc = GetDC(nullptr);
  HFONT font = MenuFont(false), bold = MenuFont(true);
  int rowHeight = GetSystemMetrics(SM_CYMENUSIZE);
  int labelWidth = 0, accelWidth = 0;
  for (const TMenuItem& it : m->Items) {
    if (it.Type & MFT_SEPARATOR) continue;
    AnsiString label, accel;
    SplitText(it.Text, label, accel);
    HGDIOBJ old = SelectObject(dc, (it.State & MF_DEFAULT) ? bold : font);
    RECT r;
    DrawTextA(dc, label.c_str(), -1, &(r = RECT()), DT_CALCRECT | DT_SINGLELINE);
    labelWidth = std::max(labelWidth, r.Width());
    rowHeight = std::max(rowHeight, r.Height() + 4);
    if (!accel.empty()) {
      DrawTextA(dc, accel.c_str(), -1, &(r = RECT()), DT_CALCRECT | DT_SINGLELINE);
      accelWidth = std::max(accelWidth, r.Width());
    }
    SelectObject(dc, old);
  }
  DeleteObject(font);
  DeleteObject(bold);
  ReleaseDC(nullptr, dc);
  int width = CheckColumn() + labelWidth + (accelWidth ? accelWidth + 16 : 0) + GetSystemMetrics(SM_CXMENUCHECK) + 8;
  int y = kBorder;
  for (const TMenuItem& it : m->Items) {
    int h = (it.Type & MFT_SEPARATOR) ? kSeparator : rowHeight;
    level.Items.push_back(RECT(kBorder, y, kBorder + width, y + h));
    y += h;
  }
  return SIZE(width + 2 * kBorder, y + kBorder);
}

void DrawCheck(HDC dc, const RECT& box, bool radio, COLORREF color) {
  HBRUSH b = CreateSolidBrush(color);
  HPEN p = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
  int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
  if (radio) {
    Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
  } else {
    for (int i = 0; i < 3; ++i) {
      MoveToEx(dc, cx - 3, cy - 1 + i, nullptr);
      LineTo(dc, cx - 1, cy + 1 + i);
      LineTo(dc, cx + 4, cy - 4 + i);
    }
  }
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(p);
}

void DrawArrow(HDC dc, const RECT& item, COLORREF color) {
  HBRUSH b = CreateSolidBrush(color);
  HPEN p = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
  int x = item.Right - 10, cy = (item.Top + item.Bottom) / 2;
  POINT tri[3] = {POINT(x, cy - 4), POINT(x + 4, cy), POINT(x, cy + 4)};
  Polygon(dc, tri, 3);
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(p);
}

// The caption glyphs the system menu items carry (HBMMENU_POPUP_*).
void DrawItemBitmap(HDC dc, HBITMAP bmp, const RECT& box, bool enabled) {
  UINT kind;
  if (bmp == HBMMENU_POPUP_CLOSE) kind = DFCS_CAPTIONCLOSE;
  else if (bmp == HBMMENU_POPUP_RESTORE) kind = DFCS_CAPTIONRESTORE;
  else if (bmp == HBMMENU_POPUP_MAXIMIZE) kind = DFCS_CAPTIONMAX;
  else if (bmp == HBMMENU_POPUP_MINIMIZE) kind = DFCS_CAPTIONMIN;
  else return;
  RECT r = box;
  DrawFrameControl(dc, &r, DFC_CAPTION, kind | DFCS_FLAT | DFCS_TRANSPARENT | (enabled ? 0 : DFCS_INACTIVE));
}

void PaintLevel(HWND hwnd, HDC dc) {
  if (!g_tracker) return;
  TLevel* level = nullptr;
  for (TLevel& l : g_tracker->Levels)
    if (l.Window == hwnd) level = &l;
  auto m = level ? MenuOf(level->Menu) : nullptr;
  if (!m) return;
  RECT all;
  GetClientRect(hwnd, &all);
  FillRect(dc, &all, m->Background ? m->Background : GetSysColorBrush(COLOR_MENU));
  DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
  HFONT font = MenuFont(false), bold = MenuFont(true);
  SetBkMode(dc, TRANSPARENT);
  for (size_t i = 0; i < m->Items.size() && i < level->Items.size(); ++i) {
    const TMenuItem& it = m->Items[i];
    RECT r = level->Items[i];
    if (it.Type & MFT_SEPARATOR) {
      RECT line(r.Left + 1, (r.Top + r.Bottom) / 2 - 1, r.Right - 1, (r.Top + r.Bottom) / 2 + 1);
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    bool selected = static_cast<int>(i) == level->Selected;
    bool enabled = Enabled(it);
    if (selected) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    COLORREF ink = GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    RECT box(r.Left, r.Top, r.Left + CheckColumn(), r.Bottom);
    if (it.State & MF_CHECKED)
      DrawCheck(dc, box, (it.Type & MFT_RADIOCHECK) != 0, ink);
    else if (it.Bitmap)
      DrawItemBitmap(dc, it.Bitmap, RECT(box.Left + 3, r.Top + 2, box.Right - 3, r.Bottom - 2), enabled);
    AnsiString label, accel;
    SplitText(it.Text, label, accel);
    HGDIOBJ old = SelectObject(dc, (it.State & MF_DEFAULT) ? bold : font);
    RECT tr(box.Right, r.Top, r.Right - GetSystemMetrics(SM_CXMENUCHECK) - 4, r.Bottom);
    auto text = [&](int dx, COLORREF c) {
      SetTextColor(dc, c);
      RECT t = OffsetR(tr, dx, dx);
      DrawTextA(dc, label.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      if (!accel.empty()) DrawTextA(dc, accel.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    };
    // Grey items are embossed, as the classic look has them.
    if (!enabled && !selected) text(1, GetSysColor(COLOR_3DHILIGHT));
    text(0, ink);
    SelectObject(dc, old);
    if (it.SubMenu) DrawArrow(dc, r, ink);
  }
  DeleteObject(font);
  DeleteObject(bold);
}

LRESULT MenuWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      PaintLevel(h, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
  }
  return DefWindowProcA(h, m, w, l);
}

void EnsureClass() {
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, kMenuClass, &wc)) return;
  wc.style = CS_SAVEBITS | CS_DROPSHADOW;
  wc.lpfnWndProc = MenuWndProc;
  wc.lpszClassName = kMenuClass;
  wc.hCursor = SystemCursor(IDC_ARROW);
  RegisterClassA(&wc);
}

RECT WorkAreaAt(POINT p) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoA(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

void Notify(TTracker& t, UINT msg, WPARAM w, LPARAM l) {
  if (t.Flags & TPM_NONOTIFY) return;
  if (TWnd* o = GetWndNoError(t.Owner)) SendToWnd(o, msg, w, l);
}

void SelectItem(TTracker& t, size_t levelIndex, int item) {
  TLevel& level = t.Levels[levelIndex];
  if (level.Selected == item) return;
  level.Selected = item;
  InvalidateRect(level.Window, nullptr, FALSE);
  auto m = MenuOf(level.Menu);
  if (item >= 0 && m) {
    const TMenuItem& it = m->Items[static_cast<size_t>(item)];
    UINT flags = MF_HILITE | (it.SubMenu ? MF_POPUP : 0) | (it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) |
                 (t.System ? MF_SYSMENU : 0);
    WPARAM id = it.SubMenu ? static_cast<WPARAM>(item) : it.Id;
    Notify(t, WM_MENUSELECT, MAKEWPARAM(id, flags), reinterpret_cast<LPARAM>(level.Menu));
  }
}

void CloseLevelsAbove(TTracker& t, size_t keep) {
  while (t.Levels.size() > keep + 1) {
    TLevel last = t.Levels.back();
    t.Levels.pop_back();
    Notify(t, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(last.Menu), t.System ? MF_SYSMENU << 16 : 0);
    RaiseWinEvent(EVENT_SYSTEM_MENUPOPUPEND, last.Window, OBJID_CLIENT, kChildSelf);
    DestroyWindow(last.Window);
  }
}

void OpenLevel(TTracker& t, HMENU menu, POINT at, const RECT* avoid, WPARAM index) {
  Notify(t, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, t.System ? 1 : 0));
  TLevel level;
  level.Menu = menu;
  SIZE size = Layout(level);
  RECT work = WorkAreaAt(at);
  int x = at.X, y = at.Y;
  if (!avoid) {
    if (t.Flags & TPM_RIGHTALIGN)
      x -= size.cx;
    else if (t.Flags & TPM_CENTERALIGN)
      x -= size.cx / 2;
    if (t.Flags & TPM_BOTTOMALIGN)
      y -= size.cy;
    else if (t.Flags & TPM_VCENTERALIGN)
      y -= size.cy / 2;
  }
  // The popup stays on the screen: it flips to the other side of the
  // parent item (or of the point) when it does not fit.
  if (x + size.cx > work.Right) x = avoid ? avoid->Left - size.cx + kBorder : work.Right - size.cx;
  if (y + size.cy > work.Bottom) y = std::max(work.Top, work.Bottom - size.cy);
  x = std::max(x, static_cast<int>(work.Left));
  y = std::max(y, static_cast<int>(work.Top));
  level.Window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kMenuClass, "", WS_POPUP, x, y,
                                 size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
  t.Levels.push_back(level);
  ShowWindow(level.Window, SW_SHOWNA);
  UpdateWindow(level.Window);
  RaiseWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, level.Window, OBJID_CLIENT, kChildSelf);
}

void OpenSubmenu(TTracker& t, size_t levelIndex, bool selectFirst) {
  TLevel& level = t.Levels[levelIndex];
  auto m = MenuOf(level.Menu);
  if (!m || level.Selected < 0) return;
  const TMenuItem& it = m->Items[static_cast<size_t>(level.Selected)];
  if (!it.SubMenu || !Enabled(it)) return;
  CloseLevelsAbove(t, levelIndex);
  RECT item = level.Items[static_cast<size_t>(level.Selected)];
  POINT o(0, 0);
  ClientToScreen(level.Window, &o);
  RECT screen = OffsetR(item, o.X, o.Y);
  OpenLevel(t, it.SubMenu, POINT(screen.Right - kBorder, screen.Top - kBorder), &screen,
            static_cast<WPARAM>(level.Selected));
  if (selectFirst) {
    auto sub = MenuOf(it.SubMenu);
    for (size_t i = 0; sub && i < sub->Items.size(); ++i)
      if (Selectable(sub->Items[i])) {
        SelectItem(t, t.Levels.size() - 1, static_cast<int>(i));
        break;
      }
  }
}

void Choose(TTracker& t, size_t levelIndex, int item) {
  auto m = MenuOf(t.Levels[levelIndex].Menu);
  const TMenuItem it = m->Items[static_cast<size_t>(item)];
  if (!Enabled(it) || !Selectable(it)) return;
  if (it.SubMenu) {
    SelectItem(t, levelIndex, item);
    OpenSubmenu(t, levelIndex, true);
    return;
  }
  t.Result = it.Id;
  t.Done = true;
}

// The level and item under a screen point; false when over no popup.
bool Hit(TTracker& t, POINT screen, size_t& levelIndex, int& item) {
  for (size_t i = t.Levels.size(); i-- > 0;) {
    RECT r;
    GetWindowRect(t.Levels[i].Window, &r);
    if (!r.Contains(screen)) continue;
    levelIndex = i;
    item = -1;
    POINT c(screen.X - r.Left, screen.Y - r.Top);
    auto m = MenuOf(t.Levels[i].Menu);
    for (size_t k = 0; m && k < t.Levels[i].Items.size(); ++k)
      if (t.Levels[i].Items[k].Contains(c) && Selectable(m->Items[k])) item = static_cast<int>(k);
    return true;
  }
  return false;
}

void Step(TTracker& t, int direction) {
  size_t li = t.Levels.size() - 1;
  TLevel& level = t.Levels[li];
  auto m = MenuOf(level.Menu);
  int n = static_cast<int>(m->Items.size());
  if (!n) return;
  int i = level.Selected;
  for (int k = 0; k < n; ++k) {
    i = ((i < 0 ? (direction > 0 ? -1 : 0) : i) + direction + n) % n;
    if (Selectable(m->Items[static_cast<size_t>(i)])) {
      SelectItem(t, li, i);
      return;
    }
  }
}

void Key(TTracker& t, const MSG& msg) {
  size_t li = t.Levels.size() - 1;
  TLevel& level = t.Levels[li];
  switch (msg.wParam) {
    case VK_DOWN: Step(t, 1); return;
    case VK_UP: Step(t, -1); return;
    case VK_RIGHT: OpenSubmenu(t, li, true); return;
    case VK_LEFT:
      if (li > 0) CloseLevelsAbove(t, li - 1);
      return;
    case VK_ESCAPE:
      if (li > 0)
        CloseLevelsAbove(t, li - 1);
      else
        t.Done = true;
      return;
    case VK_RETURN:
      if (level.Selected >= 0) Choose(t, li, level.Selected);
      return;
    case VK_MENU:
    case VK_F10:
      t.Done = true;
      return;
    case VK_F1: {
      // Help about the selected item goes to the owner.
      auto m = MenuOf(level.Menu);
      if (!m || level.Selected < 0) return;
      HELPINFO hi{};
      hi.cbSize = sizeof hi;
      hi.iContextType = HELPINFO_MENUITEM;
      hi.iCtrlId = static_cast<int>(m->Items[static_cast<size_t>(level.Selected)].Id);
      hi.hItemHandle = level.Menu;
      hi.dwContextId = m->HelpId;
      GetCursorPos(&hi.MousePos);
      if (TWnd* o = GetWndNoError(t.Owner)) SendToWnd(o, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
      return;
    }
  }
}

void Char(TTracker& t, char c) {
  size_t li = t.Levels.size() - 1;
  auto m = MenuOf(t.Levels[li].Menu);
  char want = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < m->Items.size(); ++i) {
    const AnsiString& s = m->Items[i].Text;
    size_t amp = s.find('&');
    while (amp != AnsiString::npos && amp + 1 < s.size() && s[amp + 1] == '&') amp = s.find('&', amp + 2);
    if (amp == AnsiString::npos || amp + 1 >= s.size()) continue;
    if (std::tolower(static_cast<unsigned char>(s[amp + 1])) == want) {
      SelectItem(t, li, static_cast<int>(i));
      Choose(t, li, static_cast<int>(i));
      return;
    }
  }
  // No mnemonic: the owner may know better.
  LRESULT r = 0;
  if (TWnd* o = GetWndNoError(t.Owner))
    r = SendToWnd(o, WM_MENUCHAR, MAKEWPARAM(static_cast<WORD>(static_cast<unsigned char>(c)), t.System ? MF_SYSMENU : MF_POPUP),
                  reinterpret_cast<LPARAM>(t.Levels[li].Menu));
  switch (HIWORD(r)) {
    case MNC_EXECUTE: Choose(t, li, LOWORD(r)); break;
    case MNC_SELECT: SelectItem(t, li, LOWORD(r)); break;
    case MNC_CLOSE: t.Done = true; break;
    default: MessageBeep(0);
  }
}

UINT Track(HMENU menu, UINT flags, POINT at, HWND owner, bool system) {
  if (g_tracker && !(flags & TPM_RECURSE)) return 0;
  EnsureClass();
  TTracker t;
  t.Owner = owner;
  t.Flags = flags;
  t.System = system;
  TTracker* outer = g_tracker;
  g_tracker = &t;
  Notify(t, WM_ENTERMENULOOP, TRUE, 0);
  RaiseWinEvent(EVENT_SYSTEM_MENUSTART, owner, system ? OBJID_SYSMENU : OBJID_MENU);
  Notify(t, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  OpenLevel(t, menu, at, nullptr, 0);
  HWND grab = t.Levels.front().Window;
  SetCapture(grab);
  bool rightButton = (flags & TPM_RIGHTBUTTON) != 0;
  bool idle = false;
  MSG m;
  while (!t.Done && GetCapture() == grab && IsWindow(grab)) {
    if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      // The owner hears once per idle spell.
      if (!idle) {
        idle = true;
        Notify(t, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(t.Levels.back().Window));
        continue;
      }
      WaitMessage();
      continue;
    }
    idle = false;
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    size_t li = 0;
    int item = -1;
    switch (m.message) {
      case WM_MOUSEMOVE:
        if (Hit(t, m.pt, li, item)) {
          // Over the item whose submenu is open already: nothing changes.
          if (item >= 0 && item == t.Levels[li].Selected && t.Levels.size() > li + 1) continue;
          CloseLevelsAbove(t, li);
          SelectItem(t, li, item);
          if (item >= 0) OpenSubmenu(t, li, false);
        }
        continue;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        if (!Hit(t, m.pt, li, item)) t.Done = true;  // a press outside dismisses
        continue;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        if (m.message == WM_RBUTTONUP && !rightButton) continue;
        if (Hit(t, m.pt, li, item) && item >= 0) Choose(t, li, item);
        continue;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        Key(t, m);
        TranslateMessage(&m);
        continue;
      case WM_CHAR:
      case WM_SYSCHAR:
        if (m.wParam > 0x20) Char(t, static_cast<char>(m.wParam));
        continue;
      case WM_KEYF1:
        continue;  // the menu answered F1 itself
    }
    if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) || (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST))
      continue;
    DispatchMessageA(&m);
  }
  CloseLevelsAbove(t, 0);
  if (GetCapture() == grab) ReleaseCapture();
  Notify(t, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu), system ? MF_SYSMENU << 16 : 0);
  RaiseWinEvent(EVENT_SYSTEM_MENUPOPUPEND, grab, OBJID_CLIENT, kChildSelf);
  DestroyWindow(grab);
  Notify(t, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  Notify(t, WM_EXITMENULOOP, TRUE, 0);
  RaiseWinEvent(EVENT_SYSTEM_MENUEND, owner, system ? OBJID_SYSMENU : OBJID_MENU);
  g_tracker = outer;
  return t.Result;
}

}  // namespace

void ShowSystemMenu(TWnd* w, POINT screen) {
  HWND h = w->Handle;
  HMENU sys = GetSystemMenu(h, FALSE);
  UpdateSystemMenu(w, sys);
  UINT cmd = Track(sys, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen, h, true);
  if (cmd && IsWindow(h)) PostMessageA(h, WM_SYSCOMMAND, cmd, MAKELPARAM(screen.X, screen.Y));
}

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
  auto m = MenuOf(menu);
  if (!m) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!GetWnd(owner)) return FALSE;
  bool system = m->SysOwner != nullptr;
  UINT cmd = Track(menu, flags, POINT(x, y), owner, system);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(cmd);
  if (cmd && IsWindow(owner)) PostMessageA(owner, system ? WM_SYSCOMMAND : WM_COMMAND, cmd, 0);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL GetMenuItemRect(HWND, HMENU menu, UINT item, LPRECT rect) {
  if (!g_tracker || !rect) return FALSE;
  for (const TLevel& l : g_tracker->Levels) {
    if (l.Menu != menu || item >= l.Items.size()) continue;
    POINT o(0, 0);
    ClientToScreen(l.Window, &o);
    *rect = OffsetR(l.Items[item], o.X, o.Y);
    return TRUE;
  }
  return FALSE;
}

int MenuItemFromPoint(HWND, HMENU menu, POINT screen) {
  if (!g_tracker) return -1;
  for (const TLevel& l : g_tracker->Levels) {
    if (l.Menu != menu) continue;
    POINT c = screen;
    ScreenToClient(l.Window, &c);
    for (size_t i = 0; i < l.Items.size(); ++i)
      if (l.Items[i].Contains(c)) return static_cast<int>(i);
  }
  return -1;
}

BOOL EndMenu() {
  if (!g_tracker) return FALSE;
  g_tracker->Done = true;
  if (TThreadQueue* q = &CurrentQueue()) q->Wake();
  return TRUE;
}
