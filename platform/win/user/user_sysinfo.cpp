// System metrics and parameters (a classic profile at 96 DPI, scaled with
// the DPI), screens and monitors, the version answer and MessageBeep.
#include "platform/win/user/user_sysinfo.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/rtl/mathutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi_internal.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/user_internal.h"
#include "platform/win/user/mmsystem.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user_test_seams.h"

namespace rtl::detail {
namespace {


struct TSysInfo {
  std::mutex Lock;
  int Dpi = 96;
  // The display's screens as the backend reports them, and the screens a
  // test put in their place (these win while set).
  std::vector<rtl::testing::TScreen> BackendScreens;
  std::vector<rtl::testing::TScreen> TestScreens;
  // Up to SM_REMOTESESSION, the highest index tests fix.
  int Overrides[SM_REMOTESESSION + 1];
  bool Overridden[SM_REMOTESESSION + 1] = {};
  // Parameters
  UINT DoubleClickTime = 500;
  int DoubleClickWidth = 4, DoubleClickHeight = 4;
  int DragWidth = 4, DragHeight = 4;
  bool SwapButtons = false;
  UINT HoverTime = 400;
  int HoverWidth = 4, HoverHeight = 4;
  UINT WheelLines = 3, WheelChars = 3;
  UINT MenuShowDelay = 400;
  BOOL DragFullWindows = TRUE;
  BOOL DropShadow = TRUE;
  BOOL MenuAnimation = TRUE, MenuFade = TRUE, ToolTipAnimation = TRUE, ToolTipFade = TRUE;
  BOOL ComboAnimation = TRUE, ListSmooth = TRUE, GradientCaptions = TRUE, KeyboardCues = FALSE;
  BOOL HotTracking = TRUE, SelectionFade = TRUE, CursorShadow = TRUE, FlatMenu = FALSE, UIEffects = TRUE;
  BOOL ClientAnimation = TRUE, FontSmoothing = TRUE, Beep = TRUE, MinAnimate = TRUE;
  BOOL ActiveTracking = FALSE;
  UINT CaretWidth = 1;
  UINT KeyboardDelay = 1, KeyboardSpeed = 31;
  bool NcSet = false;
  NONCLIENTMETRICSA Nc{};
  bool IconFontSet = false;
  LOGFONTA IconFont{};
  bool WorkAreaSet = false;
  RECT WorkArea{};
  rtl::testing::TVersion Version{6, 1, 7601, "Service Pack 1"};
  std::atomic<int> Beeps{0};
  UINT LastBeep = 0;
};

TSysInfo& Info() {
  static TSysInfo info;
  return info;
}

std::vector<rtl::testing::TScreen> ScreensLocked(TSysInfo& s) {
  if (!s.TestScreens.empty()) return s.TestScreens;
  if (!s.BackendScreens.empty()) return s.BackendScreens;
  // No display tells its screens (headless): one screen of a common size.
  rtl::testing::TScreen scr;
  scr.Bounds = RECT(0, 0, 1920, 1080);
  scr.WorkArea = RECT(0, 0, 1920, 1040);
  scr.Primary = true;
  return {scr};
}

// The screens now: the display is asked first (the first query may come
// before any window shows), so the lock is taken only after.
std::vector<rtl::testing::TScreen> CurrentScreens() {
  AttachBackendScreens();
  TSysInfo& s = Info();
  std::lock_guard<std::mutex> g(s.Lock);
  return ScreensLocked(s);
}

int Scale(int v) { return MulDiv(v, Info().Dpi, 96); }

LOGFONTA MakeFont(int height, int weight) {
  LOGFONTA f{};
  f.lfHeight = -MulDiv(height, Info().Dpi, 72);
  f.lfWeight = weight;
  f.lfCharSet = 1;  // DEFAULT_CHARSET
  std::strcpy(f.lfFaceName, "Tahoma");
  return f;
}

NONCLIENTMETRICSA DefaultNc() {
  NONCLIENTMETRICSA nc{};
  nc.cbSize = sizeof(nc);
  nc.iBorderWidth = 1;
  nc.iScrollWidth = Scale(17);
  nc.iScrollHeight = Scale(17);
  nc.iCaptionWidth = Scale(18);
  nc.iCaptionHeight = Scale(18);
  nc.lfCaptionFont = MakeFont(8, 700);
  nc.iSmCaptionWidth = Scale(12);
  nc.iSmCaptionHeight = Scale(14);
  nc.lfSmCaptionFont = MakeFont(8, 700);
  nc.iMenuWidth = Scale(18);
  nc.iMenuHeight = Scale(18);
  nc.lfMenuFont = MakeFont(8, 400);
  nc.lfStatusFont = MakeFont(8, 400);
  nc.lfMessageFont = MakeFont(8, 400);
  return nc;
}

NONCLIENTMETRICSA CurrentNc() {
  TSysInfo& s = Info();
  return s.NcSet ? s.Nc : DefaultNc();
}

RECT VirtualScreen() {
  auto screens = CurrentScreens();
  RECT u = screens.front().Bounds;
  for (auto& x : screens) {
    u.Left = std::min(u.Left, x.Bounds.Left);
    u.Top = std::min(u.Top, x.Bounds.Top);
    u.Right = std::max(u.Right, x.Bounds.Right);
    u.Bottom = std::max(u.Bottom, x.Bounds.Bottom);
  }
  return u;
}

HMONITOR MonitorHandle(size_t index) { return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x10000 + index)); }

bool MonitorIndex(HMONITOR m, size_t& index, std::vector<rtl::testing::TScreen>& screens) {
  uintptr_t v = reinterpret_cast<uintptr_t>(m);
  screens = CurrentScreens();
  if (v < 0x10000 || v - 0x10000 >= screens.size()) return false;
  index = v - 0x10000;
  return true;
}

size_t PrimaryIndex(const std::vector<rtl::testing::TScreen>& screens) {
  for (size_t i = 0; i < screens.size(); ++i)
    if (screens[i].Primary) return i;
  return 0;
}

long DistanceTo(const RECT& r, POINT p) {
  long dx = p.X < r.Left ? r.Left - p.X : (p.X >= r.Right ? p.X - r.Right + 1 : 0);
  long dy = p.Y < r.Top ? r.Top - p.Y : (p.Y >= r.Bottom ? p.Y - r.Bottom + 1 : 0);
  return dx * dx + dy * dy;
}

HMONITOR FromRect(const RECT& r, DWORD flags) {
  std::vector<rtl::testing::TScreen> screens = CurrentScreens();
  long best = 0;
  size_t bestIndex = SIZE_MAX;
  for (size_t i = 0; i < screens.size(); ++i) {
    RECT x = IntersectR(screens[i].Bounds, r.IsEmpty() ? RECT(r.Left, r.Top, r.Left + 1, r.Top + 1) : r);
    long area = static_cast<long>(x.Width()) * x.Height();
    if (area > best) {
      best = area;
      bestIndex = i;
    }
  }
  if (bestIndex != SIZE_MAX) return MonitorHandle(bestIndex);
  if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorHandle(PrimaryIndex(screens));
  if (flags == MONITOR_DEFAULTTONEAREST) {
    POINT c((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    long bestDist = -1;
    size_t nearest = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
      long d = DistanceTo(screens[i].Bounds, c);
      if (bestDist < 0 || d < bestDist) {
        bestDist = d;
        nearest = i;
      }
    }
    return MonitorHandle(nearest);
  }
  return nullptr;
}

}  // namespace

RECT PrimaryScreenRect() {
  auto screens = CurrentScreens();
  return screens[PrimaryIndex(screens)].Bounds;
}

RECT PrimaryWorkArea() {
  auto screens = CurrentScreens();
  TSysInfo& s = Info();
  std::lock_guard<std::mutex> g(s.Lock);
  if (s.WorkAreaSet) return s.WorkArea;
  return screens[PrimaryIndex(screens)].WorkArea;
}

DWORD CurrentProcessId() { return static_cast<DWORD>(getpid()); }

UINT DoubleClickTime() { return Info().DoubleClickTime; }
UINT HoverTimeDefault() { return Info().HoverTime; }
SIZE HoverSize() { return SIZE(Info().HoverWidth, Info().HoverHeight); }
bool ButtonsSwapped() { return Info().SwapButtons; }

}  // namespace rtl::detail

using namespace rtl::detail;

int GetSystemMetrics(int index) {
  TSysInfo& s = Info();
  if (index >= 0 && index <= SM_REMOTESESSION && s.Overridden[index]) return s.Overrides[index];
  RECT primary = PrimaryScreenRect();
  RECT work = PrimaryWorkArea();
  NONCLIENTMETRICSA nc = CurrentNc();
  switch (index) {
    case SM_CXSCREEN: return primary.Width();
    case SM_CYSCREEN: return primary.Height();
    case SM_CXVSCROLL: return nc.iScrollWidth;
    case SM_CYHSCROLL: return nc.iScrollHeight;
    case SM_CYCAPTION: return nc.iCaptionHeight + 1;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CYVTHUMB: return nc.iScrollHeight;
    case SM_CXHTHUMB: return nc.iScrollWidth;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return Scale(32);
    case SM_CYMENU: return nc.iMenuHeight + 1;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - (nc.iCaptionHeight + 1);
    case SM_CYKANJIWINDOW: return 0;
    case SM_MOUSEPRESENT: return 1;
    case SM_CYVSCROLL: return nc.iScrollWidth;
    case SM_CXHSCROLL: return nc.iScrollHeight;
    case SM_DEBUG: return 0;
    case SM_SWAPBUTTON: return s.SwapButtons ? 1 : 0;
    case SM_CXMIN: return Scale(112);
    case SM_CYMIN: return Scale(27);
    case SM_CXSIZE: return nc.iCaptionWidth;
    case SM_CYSIZE: return nc.iCaptionHeight;
    case SM_CXFRAME:
    case SM_CYFRAME: return 3 + nc.iBorderWidth;
    case SM_CXMINTRACK: return Scale(112);
    case SM_CYMINTRACK: return Scale(27);
    case SM_CXDOUBLECLK: return s.DoubleClickWidth;
    case SM_CYDOUBLECLK: return s.DoubleClickHeight;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return Scale(75);
    case SM_MENUDROPALIGNMENT: return 0;
    case SM_PENWINDOWS: return 0;
    case SM_DBCSENABLED: return 0;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_SECURE: return 0;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXMINSPACING: return Scale(160);
    case SM_CYMINSPACING: return Scale(24);
    case SM_CXSMICON:
    case SM_CYSMICON: return Scale(16);
    case SM_CYSMCAPTION: return nc.iSmCaptionHeight + 1;
    case SM_CXSMSIZE: return nc.iSmCaptionWidth;
    case SM_CYSMSIZE: return nc.iSmCaptionHeight;
    case SM_CXMENUSIZE: return nc.iMenuWidth;
    case SM_CYMENUSIZE: return nc.iMenuHeight;
    case SM_ARRANGE: return 8;
    case SM_CXMINIMIZED: return Scale(160);
    case SM_CYMINIMIZED: return Scale(24);
    case SM_CXMAXTRACK: return GetSystemMetrics(SM_CXVIRTUALSCREEN) + 2 * GetSystemMetrics(SM_CXFRAME);
    case SM_CYMAXTRACK: return GetSystemMetrics(SM_CYVIRTUALSCREEN) + 2 * GetSystemMetrics(SM_CYFRAME);
    case SM_CXMAXIMIZED: return work.Width() + 2 * GetSystemMetrics(SM_CXFRAME);
    case SM_CYMAXIMIZED: return work.Height() + 2 * GetSystemMetrics(SM_CYFRAME);
    case SM_NETWORK: return 3;
    case SM_CLEANBOOT: return 0;
    case SM_CXDRAG: return s.DragWidth;
    case SM_CYDRAG: return s.DragHeight;
    case SM_SHOWSOUNDS: return 0;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return Scale(13);
    case SM_SLOWMACHINE: return 0;
    case SM_MIDEASTENABLED: return 0;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_XVIRTUALSCREEN: return VirtualScreen().Left;
    case SM_YVIRTUALSCREEN: return VirtualScreen().Top;
    case SM_CXVIRTUALSCREEN: return VirtualScreen().Width();
    case SM_CYVIRTUALSCREEN: return VirtualScreen().Height();
    case SM_CMONITORS: return static_cast<int>(CurrentScreens().size());
    case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_IMMENABLED: return 0;
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
    case SM_TABLETPC:
    case SM_MEDIACENTER:
    case SM_STARTER:
    case SM_SERVERR2: return 0;
    case SM_MOUSEHORIZONTALWHEELPRESENT: return 1;
    case SM_CXPADDEDBORDER: return 0;
    case SM_DIGITIZER:
    case SM_MAXIMUMTOUCHES: return 0;
    case SM_REMOTESESSION:
    case SM_SHUTTINGDOWN:
    case SM_REMOTECONTROL: return 0;
  }
  return 0;
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni) {
  TSysInfo& s = Info();
  auto getBool = [&](BOOL v) {
    if (!pvParam) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *static_cast<BOOL*>(pvParam) = v;
    return TRUE;
  };
  auto getUint = [&](UINT v) {
    if (!pvParam) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *static_cast<UINT*>(pvParam) = v;
    return TRUE;
  };
  // Set actions take the new value in pvParam (as a BOOL or UINT value) or
  // in uiParam, as each one is documented.
  BOOL pvBool = static_cast<BOOL>(reinterpret_cast<uintptr_t>(pvParam) != 0);
  BOOL ok = TRUE;
  bool changed = false;
  switch (action) {
    case SPI_GETBEEP: return getBool(s.Beep);
    case SPI_SETBEEP: s.Beep = uiParam != 0; changed = true; break;
    case SPI_GETBORDER: return getUint(1) ? TRUE : FALSE;
    case SPI_GETKEYBOARDSPEED: return getUint(s.KeyboardSpeed);
    case SPI_SETKEYBOARDSPEED: s.KeyboardSpeed = uiParam; changed = true; break;
    case SPI_GETKEYBOARDDELAY: return getUint(s.KeyboardDelay);
    case SPI_SETKEYBOARDDELAY: s.KeyboardDelay = uiParam; changed = true; break;
    case SPI_GETSCREENSAVEACTIVE: return getBool(FALSE);
    case SPI_GETSCREENSAVETIMEOUT: return getUint(0);
    case SPI_GETICONTITLEWRAP: return getBool(TRUE);
    case SPI_GETMENUDROPALIGNMENT: return getBool(FALSE);
    case SPI_SETDOUBLECLKWIDTH: s.DoubleClickWidth = static_cast<int>(uiParam); changed = true; break;
    case SPI_SETDOUBLECLKHEIGHT: s.DoubleClickHeight = static_cast<int>(uiParam); changed = true; break;
    case SPI_SETDOUBLECLICKTIME: s.DoubleClickTime = uiParam ? uiParam : 500; changed = true; break;
    case SPI_SETMOUSEBUTTONSWAP: s.SwapButtons = uiParam != 0; changed = true; break;
    case SPI_GETICONTITLELOGFONT:
      if (!pvParam || (uiParam != 0 && uiParam != sizeof(LOGFONTA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      *static_cast<LOGFONTA*>(pvParam) = s.IconFontSet ? s.IconFont : MakeFont(8, 400);
      return TRUE;
    case SPI_SETICONTITLELOGFONT:
      if (!pvParam) return FALSE;
      s.IconFont = *static_cast<LOGFONTA*>(pvParam);
      s.IconFontSet = true;
      changed = true;
      break;
    case SPI_GETDRAGFULLWINDOWS: return getBool(s.DragFullWindows);
    case SPI_SETDRAGFULLWINDOWS: s.DragFullWindows = uiParam != 0; changed = true; break;
    case SPI_GETNONCLIENTMETRICS: {
      auto* nc = static_cast<NONCLIENTMETRICSA*>(pvParam);
      if (!nc || (nc->cbSize != sizeof(NONCLIENTMETRICSA) && nc->cbSize != sizeof(NONCLIENTMETRICSA) + 4)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      UINT size = nc->cbSize;
      *nc = CurrentNc();
      nc->cbSize = size;
      if (size == sizeof(NONCLIENTMETRICSA) + 4) std::memset(reinterpret_cast<char*>(nc) + sizeof(*nc), 0, 4);
      return TRUE;
    }
    case SPI_SETNONCLIENTMETRICS: {
      auto* nc = static_cast<NONCLIENTMETRICSA*>(pvParam);
      if (!nc || nc->cbSize < sizeof(NONCLIENTMETRICSA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      s.Nc = *nc;
      s.Nc.cbSize = sizeof(NONCLIENTMETRICSA);
      s.NcSet = true;
      changed = true;
      break;
    }
    case SPI_GETWORKAREA:
      if (!pvParam) return FALSE;
      *static_cast<RECT*>(pvParam) = PrimaryWorkArea();
      return TRUE;
    case SPI_SETWORKAREA:
      if (!pvParam) return FALSE;
      {
        std::lock_guard<std::mutex> g(s.Lock);
        s.WorkArea = *static_cast<RECT*>(pvParam);
        s.WorkAreaSet = true;
      }
      changed = true;
      break;
    case SPI_GETHIGHCONTRAST: return FALSE;
    case SPI_GETKEYBOARDPREF:
    case SPI_GETSCREENREADER: return getBool(FALSE);
    case SPI_GETANIMATION: {
      auto* ai = static_cast<ANIMATIONINFO*>(pvParam);
      if (!ai || ai->cbSize != sizeof(ANIMATIONINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      ai->iMinAnimate = s.MinAnimate;
      return TRUE;
    }
    case SPI_SETANIMATION: {
      auto* ai = static_cast<ANIMATIONINFO*>(pvParam);
      if (!ai) return FALSE;
      s.MinAnimate = ai->iMinAnimate != 0;
      changed = true;
      break;
    }
    case SPI_GETFONTSMOOTHING: return getBool(s.FontSmoothing);
    case SPI_SETFONTSMOOTHING: s.FontSmoothing = uiParam != 0; changed = true; break;
    case SPI_GETFONTSMOOTHINGTYPE: return getUint(2);
    case SPI_SETDRAGWIDTH: s.DragWidth = static_cast<int>(uiParam); changed = true; break;
    case SPI_SETDRAGHEIGHT: s.DragHeight = static_cast<int>(uiParam); changed = true; break;
    case SPI_GETMOUSEHOVERWIDTH: return getUint(static_cast<UINT>(s.HoverWidth));
    case SPI_SETMOUSEHOVERWIDTH: s.HoverWidth = static_cast<int>(uiParam); changed = true; break;
    case SPI_GETMOUSEHOVERHEIGHT: return getUint(static_cast<UINT>(s.HoverHeight));
    case SPI_SETMOUSEHOVERHEIGHT: s.HoverHeight = static_cast<int>(uiParam); changed = true; break;
    case SPI_GETMOUSEHOVERTIME: return getUint(s.HoverTime);
    case SPI_SETMOUSEHOVERTIME: s.HoverTime = std::max<UINT>(uiParam, USER_TIMER_MINIMUM); changed = true; break;
    case SPI_GETWHEELSCROLLLINES: return getUint(s.WheelLines);
    case SPI_SETWHEELSCROLLLINES: s.WheelLines = uiParam; changed = true; break;
    case SPI_GETWHEELSCROLLCHARS: return getUint(s.WheelChars);
    case SPI_SETWHEELSCROLLCHARS: s.WheelChars = uiParam; changed = true; break;
    case SPI_GETMENUSHOWDELAY: return getUint(s.MenuShowDelay);
    case SPI_SETMENUSHOWDELAY: s.MenuShowDelay = uiParam; changed = true; break;
    case SPI_GETMOUSESPEED: return getUint(10);
    case SPI_GETACTIVEWINDOWTRACKING: return getBool(s.ActiveTracking);
    case SPI_SETACTIVEWINDOWTRACKING: s.ActiveTracking = pvBool; changed = true; break;
    case SPI_GETMENUANIMATION: return getBool(s.MenuAnimation);
    case SPI_SETMENUANIMATION: s.MenuAnimation = pvBool; changed = true; break;
    case SPI_GETCOMBOBOXANIMATION: return getBool(s.ComboAnimation);
    case SPI_SETCOMBOBOXANIMATION: s.ComboAnimation = pvBool; changed = true; break;
    case SPI_GETLISTBOXSMOOTHSCROLLING: return getBool(s.ListSmooth);
    case SPI_SETLISTBOXSMOOTHSCROLLING: s.ListSmooth = pvBool; changed = true; break;
    case SPI_GETGRADIENTCAPTIONS: return getBool(s.GradientCaptions);
    case SPI_SETGRADIENTCAPTIONS: s.GradientCaptions = pvBool; changed = true; break;
    case SPI_GETKEYBOARDCUES: return getBool(s.KeyboardCues);
    case SPI_SETKEYBOARDCUES: s.KeyboardCues = pvBool; changed = true; break;
    case SPI_GETHOTTRACKING: return getBool(s.HotTracking);
    case SPI_SETHOTTRACKING: s.HotTracking = pvBool; changed = true; break;
    case SPI_GETMENUFADE: return getBool(s.MenuFade);
    case SPI_SETMENUFADE: s.MenuFade = pvBool; changed = true; break;
    case SPI_GETSELECTIONFADE: return getBool(s.SelectionFade);
    case SPI_SETSELECTIONFADE: s.SelectionFade = pvBool; changed = true; break;
    case SPI_GETTOOLTIPANIMATION: return getBool(s.ToolTipAnimation);
    case SPI_SETTOOLTIPANIMATION: s.ToolTipAnimation = pvBool; changed = true; break;
    case SPI_GETTOOLTIPFADE: return getBool(s.ToolTipFade);
    case SPI_SETTOOLTIPFADE: s.ToolTipFade = pvBool; changed = true; break;
    case SPI_GETCURSORSHADOW: return getBool(s.CursorShadow);
    case SPI_SETCURSORSHADOW: s.CursorShadow = pvBool; changed = true; break;
    case SPI_GETFLATMENU: return getBool(s.FlatMenu);
    case SPI_SETFLATMENU: s.FlatMenu = pvBool; changed = true; break;
    case SPI_GETDROPSHADOW: return getBool(s.DropShadow);
    case SPI_SETDROPSHADOW: s.DropShadow = pvBool; changed = true; break;
    case SPI_GETUIEFFECTS: return getBool(s.UIEffects);
    case SPI_SETUIEFFECTS: s.UIEffects = pvBool; changed = true; break;
    case SPI_GETCLIENTAREAANIMATION: return getBool(s.ClientAnimation);
    case SPI_SETCLIENTAREAANIMATION: s.ClientAnimation = pvBool; changed = true; break;
    case SPI_GETFOREGROUNDLOCKTIMEOUT: return getUint(0);
    case SPI_GETCARETWIDTH: return getUint(s.CaretWidth);
    case SPI_SETCARETWIDTH: s.CaretWidth = std::max<UINT>(1, static_cast<UINT>(reinterpret_cast<uintptr_t>(pvParam))); changed = true; break;
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT: return getUint(1);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      ok = FALSE;
  }
  if (changed && (winIni & SPIF_SENDCHANGE)) {
    // Tell every top-level window, as the system broadcasts it.
    for (HWND h : TChildSnapshot(Desktop()).Handles()) SendNotifyMessageA(h, WM_SETTINGCHANGE, action, 0);
  }
  return ok;
}

// ---- Monitors ---------------------------------------------------------------------

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
  RECT r(point.X, point.Y, point.X + 1, point.Y + 1);
  return FromRect(r, flags);
}

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) {
  if (!rect) return nullptr;
  return FromRect(*rect, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  TWnd* w = GetWndNoError(hwnd);
  if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : FromRect(RECT(0, 0, 0, 0), MONITOR_DEFAULTTOPRIMARY);
  TWnd* top = TopLevelOf(w);
  RECT r = (top->Style & WS_MINIMIZE) ? top->NormalRect : WindowScreenRect(top);
  return FromRect(r, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
  size_t index = 0;
  std::vector<rtl::testing::TScreen> screens;
  if (!info || !MonitorIndex(monitor, index, screens)) {
    SetLastError(ERROR_INVALID_MONITOR_HANDLE);
    return FALSE;
  }
  if (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto& scr = screens[index];
  info->rcMonitor = scr.Bounds;
  info->rcWork = scr.WorkArea;
  if (scr.Primary) {
    TSysInfo& s = Info();
    std::lock_guard<std::mutex> g(s.Lock);
    if (s.WorkAreaSet) info->rcWork = s.WorkArea;
  }
  info->dwFlags = scr.Primary ? MONITORINFOF_PRIMARY : 0;
  if (info->cbSize == sizeof(MONITORINFOEXA)) {
    auto* ex = static_cast<MONITORINFOEXA*>(info);
    std::string name = scr.Name.empty() ? "\\\\.\\DISPLAY" + std::to_string(index + 1) : scr.Name;
    std::strncpy(ex->szDevice, name.c_str(), CCHDEVICENAME - 1);
    ex->szDevice[CCHDEVICENAME - 1] = 0;
  }
  return TRUE;
}

BOOL EnumDisplayMonitors(HDC, LPCRECT clip, MONITORENUMPROC proc, LPARAM data) {
  if (!proc) return FALSE;
  std::vector<rtl::testing::TScreen> screens = CurrentScreens();
  for (size_t i = 0; i < screens.size(); ++i) {
    RECT r = screens[i].Bounds;
    if (clip) {
      r = IntersectR(r, *clip);
      if (r.IsEmpty()) continue;
    }
    if (!proc(MonitorHandle(i), nullptr, &r, data)) break;
  }
  return TRUE;
}

// ---- Version, DPI, beep ---------------------------------------------------------

DWORD GetVersion() {
  const auto& v = Info().Version;
  DWORD notNt = v.PlatformId == VER_PLATFORM_WIN32_NT ? 0 : 0x80000000u;
  return (v.Major & 0xFF) | ((v.Minor & 0xFF) << 8) | ((v.Build & 0x7FFF) << 16) | notNt;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) &&
                info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto& v = Info().Version;
  info->dwMajorVersion = v.Major;
  info->dwMinorVersion = v.Minor;
  info->dwBuildNumber = v.Build;
  info->dwPlatformId = v.PlatformId;
  std::strncpy(info->szCSDVersion, v.ServicePack.c_str(), sizeof(info->szCSDVersion) - 1);
  info->szCSDVersion[sizeof(info->szCSDVersion) - 1] = 0;
  if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
    auto* ex = static_cast<OSVERSIONINFOEXA*>(info);
    ex->wServicePackMajor = v.ServicePack.empty() ? 0 : 1;
    ex->wServicePackMinor = 0;
    ex->wSuiteMask = 0x100;  // single user
    ex->wProductType = VER_NT_WORKSTATION;
    ex->wReserved = 0;
  }
  return TRUE;
}

UINT GetDpiForSystem() { return static_cast<UINT>(Info().Dpi); }

BOOL MessageBeep(UINT type) {
  TSysInfo& s = Info();
  s.Beeps++;
  s.LastBeep = type;
  // The desktop's event sound, else whatever beep the backend has.
  if (s.Beep && !PlayBeepSound(type)) SystemBeep();
  return TRUE;
}

UINT GetDoubleClickTime() { return Info().DoubleClickTime; }

BOOL SetDoubleClickTime(UINT ms) {
  Info().DoubleClickTime = ms ? ms : 500;
  return TRUE;
}

BOOL SwapMouseButton(BOOL swap) {
  bool old = Info().SwapButtons;
  Info().SwapButtons = swap != 0;
  return old ? TRUE : FALSE;
}

// ---- Test support -----------------------------------------------------------------

BOOL SetSysColors(int count, const INT* elements, const COLORREF* values) {
  if (!rtl::detail::GdiSetSysColors(count, elements, values)) return FALSE;
  // Every top-level window learns of the change, as after a change made in
  // the system's settings.
  SendMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

namespace rtl::detail {

void SetScreenList(const std::vector<rtl::testing::TScreen>& screens) {
  TSysInfo& s = Info();
  {
    std::lock_guard<std::mutex> g(s.Lock);
    s.TestScreens = screens;
  }
  if (Desktop()) Desktop()->Window = Desktop()->Client = PrimaryScreenRect();
}

void SetBackendScreenList(const std::vector<rtl::testing::TScreen>& screens) {
  TSysInfo& s = Info();
  {
    std::lock_guard<std::mutex> g(s.Lock);
    s.BackendScreens = screens;
  }
  if (Desktop()) Desktop()->Window = Desktop()->Client = PrimaryScreenRect();
}

void OverrideSystemMetric(int index, int value) {
  if (index < 0 || index > SM_REMOTESESSION) return;
  Info().Overrides[index] = value;
  Info().Overridden[index] = true;
}

void ResetSystemProfile() {
  TSysInfo& s = Info();
  std::fill(std::begin(s.Overridden), std::end(s.Overridden), false);
  s.NcSet = false;
  s.IconFontSet = false;
  s.WorkAreaSet = false;
  s.Dpi = 96;
  GdiSetScreenDpi(96);
  s.DoubleClickTime = 500;
  s.SwapButtons = false;
  s.Version = rtl::testing::TVersion{6, 1, 7601, "Service Pack 1"};
}

void SetSystemDpi(int dpi) {
  if (dpi <= 0) return;
  Info().Dpi = dpi;
  GdiSetScreenDpi(dpi);
}

void SetSystemVersion(const rtl::testing::TVersion& version) { Info().Version = version; }

int BeepsSoFar() { return Info().Beeps; }

}  // namespace rtl::detail
