// The "MDICLIENT" window: it holds a frame's document windows, keeps which
// one is active (WM_MDIACTIVATE to the one that loses and the one that
// gains), cycles through them, maximises, restores, cascades, tiles and
// lines up the minimised ones; and the default procedures of frames and
// document windows.
#include "platform/win/user/user_mdi.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win/user/ctl_common.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user_menu.h"
#include "platform/win/user/user_sysinfo.h"

namespace rtl::detail {
namespace {

struct TMdiClientData : TCtlBase {
  HMENU FrameMenu = nullptr;
  HMENU WindowMenu = nullptr;
  UINT FirstChild = 0;
  UINT NextId = 0;
  HWND Active = nullptr;
};

TMdiClientData* ClientData(HWND client) { return CtlData<TMdiClientData>(client); }

bool IsDocument(HWND h) { return (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0; }

// The document windows, top of the z-order first.
std::vector<HWND> Documents(HWND client) {
  std::vector<HWND> List;
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (IsDocument(h)) List.push_back(h);
  return List;
}

bool CanTakeActivation(HWND h) { return IsWindowVisible(h) && IsWindowEnabled(h); }

void Activate(HWND client, HWND child) {
  TMdiClientData* D = ClientData(client);
  if (!D) return;
  HWND Old = D->Active;
  if (Old == child) return;
  if (Old && !IsWindow(Old)) Old = nullptr;
  D->Active = child;
  // A maximised document hands the maximised state to the next one.
  const bool WasZoomed = Old && IsZoomed(Old);
  if (Old) {
    SendMessageA(Old, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(Old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Old), reinterpret_cast<LPARAM>(child));
  }
  if (!child || !IsWindow(child) || ClientData(client) != D || D->Active != child) return;
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (WasZoomed && IsWindow(Old)) {
    ShowWindow(Old, SW_RESTORE);
    ShowWindow(child, SW_MAXIMIZE);
  }
  HWND Frame = GetParent(client);
  SendMessageA(child, WM_NCACTIVATE, Frame && GetActiveWindow() == Frame, 0);
  SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Old), reinterpret_cast<LPARAM>(child));
  if (!IsWindow(child) || D->Active != child) return;
  // The keyboard follows when the frame has it.
  if (Frame && GetActiveWindow() == Frame) {
    HWND Focus = GetFocus();
    if (!Focus || (Focus != child && !IsChild(child, Focus))) SetFocus(child);
  }
}

// The document after (or before) `from` that may take the activation.
HWND Neighbour(HWND client, HWND from, bool previous) {
  std::vector<HWND> List = Documents(client);
  if (List.empty()) return nullptr;
  if (previous) std::reverse(List.begin(), List.end());
  auto It = std::find(List.begin(), List.end(), from);
  size_t Start = It == List.end() ? 0 : static_cast<size_t>(It - List.begin()) + 1;
  for (size_t I = 0; I < List.size(); ++I) {
    HWND H = List[(Start + I) % List.size()];
    if (H != from && CanTakeActivation(H)) return H;
  }
  return nullptr;
}

// The next document becomes active; the one that was goes to the bottom,
// so that repeated steps visit every document.
void ActivateNext(HWND client, HWND from, bool previous) {
  TMdiClientData* D = ClientData(client);
  if (!D) return;
  if (!from) from = D->Active;
  HWND To = Neighbour(client, from, previous);
  if (!To) return;
  Activate(client, To);
  if (!previous && from && IsWindow(from))
    SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// A document that goes away or hides hands the activation on.
void Leaving(HWND client, HWND child) {
  TMdiClientData* D = ClientData(client);
  if (!D || D->Active != child) return;
  HWND To = Neighbour(client, child, false);
  if (To) {
    Activate(client, To);
  } else {
    D->Active = nullptr;
    SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
  }
}

RECT ClientArea(HWND client) {
  RECT R{};
  GetClientRect(client, &R);
  return R;
}

// Where a new document goes by default: a step down and right per
// document, three quarters of the client's size.
void DefaultPlacement(HWND client, MDICREATESTRUCTA& cs) {
  RECT R = ClientArea(client);
  const int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  const int N = static_cast<int>(Documents(client).size()) % 8;
  if (cs.x == CW_USEDEFAULT) {
    cs.x = N * Step;
    cs.y = N * Step;
  }
  if (cs.cx == CW_USEDEFAULT) {
    cs.cx = std::max(R.Width() * 3 / 4, 100);
    cs.cy = std::max(R.Height() * 3 / 4, 60);
  }
}

HWND CreateDocument(HWND client, const MDICREATESTRUCTA* in) {
  TMdiClientData* D = ClientData(client);
  if (!D || !in) return nullptr;
  MDICREATESTRUCTA cs = *in;
  DefaultPlacement(client, cs);
  DWORD Style = cs.style;
  if (!(GetWindowLongA(client, GWL_STYLE) & MDIS_ALLCHILDSTYLES))
    Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;
  Style = (Style | WS_CHILD | WS_CLIPSIBLINGS) & ~static_cast<DWORD>(WS_POPUP);
  const bool Maximize = (Style & WS_MAXIMIZE) != 0;
  const bool Minimize = (Style & WS_MINIMIZE) != 0;
  const bool Show = (Style & WS_VISIBLE) != 0;
  Style &= ~static_cast<DWORD>(WS_MAXIMIZE | WS_MINIMIZE | WS_VISIBLE);
  const UINT Id = D->FirstChild + D->NextId++;
  HWND Child = CreateWindowExA(WS_EX_MDICHILD, cs.szClass, cs.szTitle, Style, cs.x, cs.y, cs.cx, cs.cy, client,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(Id)),
                               static_cast<HINSTANCE>(cs.hOwner), &cs);
  if (!Child) return nullptr;
  if (Show) {
    ShowWindow(Child, Maximize ? SW_SHOWMAXIMIZED : Minimize ? SW_SHOWMINNOACTIVE : SW_SHOW);
    if (IsWindow(Child)) Activate(client, Child);
  }
  return IsWindow(Child) ? Child : nullptr;
}

void Cascade(HWND client) {
  RECT R = ClientArea(client);
  const int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  std::vector<HWND> List = Documents(client);
  std::reverse(List.begin(), List.end());  // the active one ends on top
  int N = 0;
  for (HWND H : List) {
    if (!IsWindowVisible(H) || IsIconic(H)) continue;
    if (IsZoomed(H)) ShowWindow(H, SW_RESTORE);
    const int Offset = (N++ % 8) * Step;
    SetWindowPos(H, HWND_TOP, Offset, Offset, std::max(R.Width() * 3 / 4, 100), std::max(R.Height() * 3 / 4, 60),
                 SWP_NOACTIVATE);
  }
}

// Vertical tiles stand side by side, horizontal ones above each other;
// more than three make a grid.
void Tile(HWND client, UINT how) {
  std::vector<HWND> List;
  for (HWND H : Documents(client)) {
    if (!IsWindowVisible(H) || IsIconic(H)) continue;
    if ((how & MDITILE_SKIPDISABLED) && !IsWindowEnabled(H)) continue;
    List.push_back(H);
  }
  if (List.empty()) return;
  RECT R = ClientArea(client);
  // Minimised documents keep a row at the bottom.
  for (HWND H : Documents(client))
    if (IsWindowVisible(H) && IsIconic(H)) {
      R.Bottom -= GetSystemMetrics(SM_CYMINIMIZED);
      break;
    }
  const int N = static_cast<int>(List.size());
  const int Major = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(N))));
  const bool Horizontal = (how & MDITILE_HORIZONTAL) != 0;
  const int Cols = N <= 3 ? (Horizontal ? 1 : N) : (Horizontal ? (N + Major - 1) / Major : Major);
  const int Rows = (N + Cols - 1) / Cols;
  for (int I = 0; I < N; ++I) {
    if (IsZoomed(List[static_cast<size_t>(I)])) ShowWindow(List[static_cast<size_t>(I)], SW_RESTORE);
    const int Col = I % Cols, Row = I / Cols;
    // The last row shares its width among what is left.
    const int InRow = Row == Rows - 1 ? N - Row * Cols : Cols;
    const int W = R.Width() / InRow, H = R.Height() / Rows;
    SetWindowPos(List[static_cast<size_t>(I)], nullptr, R.Left + Col * W, R.Top + Row * H, W, H,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Minimised documents in a row along the bottom, left to right.
void ArrangeIcons(HWND client) {
  RECT R = ClientArea(client);
  const int W = GetSystemMetrics(SM_CXMINIMIZED), H = GetSystemMetrics(SM_CYMINIMIZED);
  int X = 0, Y = R.Height() - H;
  for (HWND Child : Documents(client)) {
    if (!IsIconic(Child)) continue;
    WINDOWPLACEMENT WP{};
    WP.length = sizeof(WP);
    GetWindowPlacement(Child, &WP);
    WP.flags = WPF_SETMINPOSITION;
    WP.ptMinPosition = POINT(X, Y);
    WP.showCmd = IsWindowVisible(Child) ? SW_SHOWMINNOACTIVE : SW_HIDE;
    SetWindowPlacement(Child, &WP);
    SetWindowPos(Child, nullptr, X, Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    X += W;
    if (X + W > R.Width()) {
      X = 0;
      Y -= H;
    }
  }
}

LRESULT MdiClientWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      auto* D = new TMdiClientData;
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpCreateParams) {
        const auto* ccs = static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams);
        D->WindowMenu = static_cast<HMENU>(ccs->hWindowMenu);
        D->FirstChild = ccs->idFirstChild;
      }
      SetCtlData(hwnd, D);
      return 0;
    }
    case WM_NCDESTROY:
      FreeCtlData(hwnd);
      break;
    case WM_ERASEBKGND: {
      RECT R = ClientArea(hwnd);
      FillRect(reinterpret_cast<HDC>(wParam), &R, GetSysColorBrush(COLOR_APPWORKSPACE));
      return 1;
    }
    case WM_MDICREATE:
      return reinterpret_cast<LRESULT>(CreateDocument(hwnd, reinterpret_cast<const MDICREATESTRUCTA*>(lParam)));
    case WM_MDIDESTROY: {
      HWND Child = reinterpret_cast<HWND>(wParam);
      if (Child && GetParent(Child) == hwnd) DestroyWindow(Child);
      return 0;
    }
    case WM_MDIACTIVATE: {
      HWND Child = reinterpret_cast<HWND>(wParam);
      if (Child && GetParent(Child) == hwnd && IsDocument(Child)) Activate(hwnd, Child);
      return 0;
    }
    case WM_MDIGETACTIVE: {
      TMdiClientData* D = ClientData(hwnd);
      HWND Active = D && IsWindow(D->Active) ? D->Active : nullptr;
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = Active && IsZoomed(Active);
      return reinterpret_cast<LRESULT>(Active);
    }
    case WM_MDINEXT:
      ActivateNext(hwnd, reinterpret_cast<HWND>(wParam), lParam != 0);
      return 0;
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE: {
      HWND Child = reinterpret_cast<HWND>(wParam);
      if (Child && GetParent(Child) == hwnd) ShowWindow(Child, msg == WM_MDIMAXIMIZE ? SW_MAXIMIZE : SW_RESTORE);
      return 0;
    }
    case WM_MDICASCADE:
      Cascade(hwnd);
      return TRUE;
    case WM_MDITILE:
      Tile(hwnd, static_cast<UINT>(wParam));
      return TRUE;
    case WM_MDIICONARRANGE:
      ArrangeIcons(hwnd);
      return 0;
    case WM_MDISETMENU: {
      TMdiClientData* D = ClientData(hwnd);
      if (!D) return 0;
      HMENU Old = D->FrameMenu;
      if (wParam) {
        D->FrameMenu = reinterpret_cast<HMENU>(wParam);
        if (HWND Frame = GetParent(hwnd)) SetMenu(Frame, D->FrameMenu);
      }
      if (lParam) D->WindowMenu = reinterpret_cast<HMENU>(lParam);
      return reinterpret_cast<LRESULT>(Old);
    }
    case WM_MDIREFRESHMENU:
      return reinterpret_cast<LRESULT>(ClientData(hwnd) ? ClientData(hwnd)->FrameMenu : nullptr);
    case WM_PARENTNOTIFY:
      if (LOWORD(wParam) == WM_DESTROY && IsDocument(reinterpret_cast<HWND>(lParam)) &&
          GetParent(reinterpret_cast<HWND>(lParam)) == hwnd)
        Leaving(hwnd, reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_SIZE:
      // A maximised document keeps filling the client.
      if (TMdiClientData* D = ClientData(hwnd))
        if (D->Active && IsWindow(D->Active) && IsZoomed(D->Active)) {
          ShowWindow(D->Active, SW_RESTORE);
          ShowWindow(D->Active, SW_MAXIMIZE);
        }
      break;
    case WM_SETFOCUS:
      if (TMdiClientData* D = ClientData(hwnd))
        if (D->Active && IsWindow(D->Active) && !IsIconic(D->Active)) SetFocus(D->Active);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND ClientOf(HWND child) {
  HWND Parent = GetParent(child);
  return Parent && ClientData(Parent) ? Parent : nullptr;
}

}  // namespace

void RegisterMdiClientClass() {
  RegisterCtlClass("MDICLIENT", MdiClientWndProc, 0, IDC_ARROW);
}

}  // namespace rtl::detail

using namespace rtl::detail;

LRESULT DefFrameProcA(HWND hwnd, HWND hwndMDIClient, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwndMDIClient && IsWindow(hwndMDIClient)) {
    TMdiClientData* D = ClientData(hwndMDIClient);
    switch (msg) {
      case WM_SETFOCUS:
        SetFocus(hwndMDIClient);
        return 0;
      case WM_SIZE: {
        LRESULT R = DefWindowProcA(hwnd, msg, wParam, lParam);
        MoveWindow(hwndMDIClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return R;
      }
      case WM_NCACTIVATE:
        // The active document's caption shows the frame's state.
        if (D && D->Active && IsWindow(D->Active)) SendMessageA(D->Active, WM_NCACTIVATE, wParam, 0);
        break;
      case WM_COMMAND: {
        // The window menu's entries name the documents by id.
        const UINT Id = LOWORD(wParam);
        if (D && Id >= D->FirstChild && Id < D->FirstChild + D->NextId)
          for (HWND H : Documents(hwndMDIClient))
            if (static_cast<UINT>(GetDlgCtrlID(H)) == Id) {
              if (IsIconic(H)) ShowWindow(H, SW_RESTORE);
              Activate(hwndMDIClient, H);
              return 0;
            }
        break;
      }
      case WM_SYSCOMMAND:
        // The active document's system commands while it is maximised.
        if (D && D->Active && IsWindow(D->Active) && IsZoomed(D->Active) &&
            (wParam & 0xFFF0) != SC_CLOSE && (wParam & 0xFFF0) != SC_MINIMIZE && (wParam & 0xFFF0) != SC_MAXIMIZE &&
            (wParam & 0xFFF0) != SC_RESTORE && (wParam & 0xFFF0) != 0xF010 && (wParam & 0xFFF0) != 0xF000)
          return SendMessageA(D->Active, msg, wParam, lParam);
        break;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT DefMDIChildProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND Client = ClientOf(hwnd);
  if (!Client) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMdiClientData* D = ClientData(Client);
  switch (msg) {
    case WM_CHILDACTIVATE:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      if (D->Active != hwnd && IsWindowVisible(hwnd)) Activate(Client, hwnd);
      break;
    case WM_SETFOCUS:
      if (D->Active != hwnd && IsWindowVisible(hwnd)) Activate(Client, hwnd);
      return 0;
    case WM_CLOSE:
      SendMessageA(Client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) Leaving(Client, hwnd);
      break;
    case WM_GETMINMAXINFO: {
      // Maximised, the frame lies just outside the client.
      LRESULT R = DefWindowProcA(hwnd, msg, wParam, lParam);
      auto* Info = reinterpret_cast<MINMAXINFO*>(lParam);
      RECT Area = ClientArea(Client);
      RECT Frame(0, 0, Area.Width(), Area.Height());
      AdjustWindowRectEx(&Frame, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
      Info->ptMaxPosition = POINT(Frame.Left, Frame.Top);
      Info->ptMaxSize = POINT(Frame.Width(), Frame.Height());
      Info->ptMaxTrackSize = POINT(std::max<LONG>(Info->ptMaxTrackSize.X, Frame.Width()),
                                   std::max<LONG>(Info->ptMaxTrackSize.Y, Frame.Height()));
      return R;
    }
    case WM_SIZE: {
      LRESULT R = DefWindowProcA(hwnd, msg, wParam, lParam);
      if (wParam == SIZE_MINIMIZED) PostMessageA(Client, WM_MDIICONARRANGE, 0, 0);
      return R;
    }
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
          SendMessageA(Client, WM_MDINEXT, reinterpret_cast<WPARAM>(hwnd), (wParam & 0xFFF0) == SC_PREVWINDOW);
          return 0;
      }
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
