#include "ui/foundation/window_helpers.h"

#include <cstdlib>
#include <cstring>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/forms/themes.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/upward_services.h"

namespace {

using TSetLayeredWindowAttributes = BOOL (*)(HWND, COLORREF, BYTE, DWORD);
using TUpdateLayeredWindow = BOOL (*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

// Layered windows are bound by name: a window system without them turns
// the helpers off.
FARPROC User32Proc(const char* AName) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? GetProcAddress(user32, AName) : nullptr;
}

TSetLayeredWindowAttributes SetLayeredWindowAttributesProc() {
  static const auto Proc = reinterpret_cast<TSetLayeredWindowAttributes>(User32Proc("SetLayeredWindowAttributes"));
  return Proc;
}

TUpdateLayeredWindow UpdateLayeredWindowProc() {
  static const auto Proc = reinterpret_cast<TUpdateLayeredWindow>(User32Proc("UpdateLayeredWindow"));
  return Proc;
}

int WindowLongIndex(TcxWindowLongIndex AIndex) { return AIndex == wliExStyle ? GWL_EXSTYLE : GWL_STYLE; }

}  // namespace

// ---- Window style and state ------------------------------------------------------------

bool cxWindowHasStyle(HWND AWnd, LONG ABits) { return (GetWindowLongA(AWnd, GWL_STYLE) & ABits) == ABits; }

LONG cxChangeWindowLong(HWND AWnd, LONG AValue, TcxWindowLongMode AMode, TcxWindowLongIndex AIndex) {
  const int Index = WindowLongIndex(AIndex);
  const LONG Previous = GetWindowLongA(AWnd, Index);
  LONG Value = AValue;
  if (AMode == wlmInclude)
    Value = Previous | AValue;
  else if (AMode == wlmExclude)
    Value = Previous & ~AValue;
  SetWindowLongA(AWnd, Index, Value);
  return Previous;
}

WNDPROC cxSetWindowProc(HWND AWnd, WNDPROC AProc) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(AWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(AProc)));
}

void cxSetWindowAlpha(HWND AWnd, Integer AAlpha) {
  TSetLayeredWindowAttributes SetAttributes = SetLayeredWindowAttributesProc();
  if (!SetAttributes) return;
  const LONG ExStyle = GetWindowLongA(AWnd, GWL_EXSTYLE);
  if (AAlpha < 255) {
    if (!(ExStyle & WS_EX_LAYERED)) SetWindowLongA(AWnd, GWL_EXSTYLE, ExStyle | WS_EX_LAYERED);
    SetAttributes(AWnd, 0, static_cast<BYTE>(AAlpha < 0 ? 0 : AAlpha), LWA_ALPHA);
  } else if (ExStyle & WS_EX_LAYERED) {
    SetWindowLongA(AWnd, GWL_EXSTYLE, ExStyle & ~WS_EX_LAYERED);
    RedrawWindow(AWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

bool cxUpdateLayeredWindow(HWND AWnd, TcxBitmap32* ABitmap, Byte AAlpha) {
  TUpdateLayeredWindow Update = UpdateLayeredWindowProc();
  if (!Update || !ABitmap) return false;
  SIZE Size{ABitmap->Width(), ABitmap->Height()};
  POINT Source{0, 0};
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, AAlpha, AC_SRC_ALPHA};
  HDC ScreenDC = GetDC(nullptr);
  TScopeExit ReleaseScreen([&] { ReleaseDC(nullptr, ScreenDC); });
  return Update(AWnd, ScreenDC, nullptr, &Size, ABitmap->Canvas()->Handle(), &Source, 0, &Blend, ULW_ALPHA) != FALSE;
}

void cxSetWindowZOrder(HWND AWnd, HWND AInsertAfter, bool AActivate, UINT AExtraFlags) {
  UINT Flags = SWP_NOSIZE | SWP_NOMOVE | AExtraFlags;
  if (!AActivate) Flags |= SWP_NOACTIVATE;
  SetWindowPos(AWnd, AInsertAfter, 0, 0, 0, 0, Flags);
}

bool cxIsChildStyleWindow(HWND AWnd) { return (GetWindowLongA(AWnd, GWL_STYLE) & WS_CHILD) != 0; }

bool cxIsSelfOrChildWindow(HWND AParent, HWND AWnd) {
  return AParent && (AWnd == AParent || IsChild(AParent, AWnd));
}

bool cxHasInParentChain(HWND AOwner, HWND AWnd) {
  if (!AOwner) return false;
  while (AWnd && AWnd != AOwner) AWnd = GetParent(AWnd);
  return AWnd == AOwner;
}

bool cxIsWindowReallyEnabled(HWND AWnd) {
  if (!IsWindowEnabled(AWnd)) return false;
  if (!cxIsChildStyleWindow(AWnd)) return true;
  for (HWND Parent = GetParent(AWnd); Parent; Parent = GetParent(Parent))
    if (!IsWindowEnabled(Parent)) return false;
  return true;
}

HWND cxFindFirstNonChildWindow(HWND AWnd) {
  while (AWnd && cxIsChildStyleWindow(AWnd)) AWnd = GetParent(AWnd);
  return AWnd;
}

AnsiString cxGetWindowCaption(HWND AWnd) {
  char Buffer[1024] = {};
  const int Length = GetWindowTextA(AWnd, Buffer, sizeof Buffer);
  return Length > 0 ? AnsiString(Buffer, static_cast<size_t>(Length)) : AnsiString();
}

// ---- Rectangles and points -------------------------------------------------------------

TRect cxWindowClientRect(HWND AWnd) {
  TRect R;
  if (!GetClientRect(AWnd, &R)) R = TRect(0, 0, 0, 0);
  return R;
}

TRect cxWindowScreenRect(HWND AWnd) {
  TRect R;
  if (!GetWindowRect(AWnd, &R)) R = TRect(0, 0, 0, 0);
  return R;
}

TRect cxWindowSizeRect(HWND AWnd) {
  const TRect R = cxWindowScreenRect(AWnd);
  return TRect(0, 0, R.Right - R.Left, R.Bottom - R.Top);
}

TPoint cxWindowClientOrigin(HWND AWnd) {
  const TPoint Client = cxClientPointToScreen(AWnd, TPoint(0, 0));
  const TRect Window = cxWindowScreenRect(AWnd);
  return TPoint(Client.X - Window.Left, Client.Y - Window.Top);
}

TPoint cxClientPointToScreen(HWND AWnd, const TPoint& P) {
  TPoint Result = P;
  ClientToScreen(AWnd, &Result);
  return Result;
}

TRect cxWinControlScreenRect(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() ? cxWindowScreenRect(AControl->Handle()) : TRect(0, 0, 0, 0);
}

TRect cxWinControlSizeRect(TWinControl* AControl) { return cxWindowSizeRect(AControl->Handle()); }

TPoint cxMapPointBetweenWindows(HWND ASrc, HWND ADst, const TPoint& P, bool AClientCoords) {
  TPoint Result = P;
  if (AClientCoords) {
    MapWindowPoints(ASrc, ADst, &Result, 1);
  } else {
    const TRect Src = cxWindowScreenRect(ASrc);
    const TRect Dst = cxWindowScreenRect(ADst);
    Result.X += Src.Left - Dst.Left;
    Result.Y += Src.Top - Dst.Top;
  }
  return Result;
}

TRect cxMapRectBetweenWindows(HWND ASrc, HWND ADst, const TRect& R, bool AClientCoords) {
  const TPoint TopLeft = cxMapPointBetweenWindows(ASrc, ADst, TPoint(R.Left, R.Top), AClientCoords);
  return TRect(TopLeft.X, TopLeft.Y, TopLeft.X + R.Right - R.Left, TopLeft.Y + R.Bottom - R.Top);
}

TPoint cxGetCursorPosSafe() {
  TPoint P;
  if (!GetCursorPos(&P)) P = TPoint(-1, -1);
  return P;
}

TRect cxWorkAreaAtPoint(const TPoint& P) { return cxMonitorWorkArea(MonitorFromPoint(P, MONITOR_DEFAULTTONEAREST)); }

TRect cxMonitorWorkArea(HMONITOR AMonitor) {
  if (!AMonitor) return Screen ? Screen->WorkAreaRect() : TRect(0, 0, 0, 0);
  MONITORINFO Info{};
  Info.cbSize = sizeof Info;
  if (!GetMonitorInfoA(AMonitor, &Info)) return TRect(0, 0, 0, 0);
  return Info.rcWork;
}

void cxFitRectToWorkArea(TRect& R, const TPoint& P) {
  const TRect Area = cxWorkAreaAtPoint(P);
  auto MoveBy = [&R](Integer DX, Integer DY) {
    R.Left += DX, R.Right += DX;
    R.Top += DY, R.Bottom += DY;
  };
  if (R.Right > Area.Right) MoveBy(Area.Right - R.Right, 0);
  if (R.Bottom > Area.Bottom) MoveBy(0, Area.Bottom - R.Bottom);
  if (R.Left < Area.Left) MoveBy(Area.Left - R.Left, 0);
  if (R.Top < Area.Top) MoveBy(0, Area.Top - R.Top);
}

HWND cxDeepestWindowAtPoint(const TPoint& P) {
  HWND Result = WindowFromPoint(P);
  while (Result) {
    TPoint Local = P;
    ScreenToClient(Result, &Local);
    HWND Child = ChildWindowFromPointEx(Result, Local, CWP_SKIPINVISIBLE);
    if (!Child || Child == Result) break;
    Result = Child;
  }
  return Result;
}

bool cxIsWindowSmallerThanWorkArea(HWND AWnd) {
  const TRect Area = cxMonitorWorkArea(MonitorFromWindow(AWnd, MONITOR_DEFAULTTOPRIMARY));
  const TRect Window = cxWindowScreenRect(AWnd);
  return Window.Right - Window.Left < Area.Right - Area.Left || Window.Bottom - Window.Top < Area.Bottom - Area.Top;
}

// ---- Framework controls and components -------------------------------------------------

bool cxCanHaveWindowHandle(TWinControl* AControl) {
  if (!AControl) return false;
  if (AControl->HandleAllocated()) return true;
  if (AControl->ComponentState().Contains(csDestroying)) return false;
  if (AControl->ParentWindow()) return true;
  if (TWinControl* Parent = AControl->Parent()) return cxCanHaveWindowHandle(Parent);
  return AControl->InheritsFrom(TCustomForm::StaticClass()) && Application && Application->Handle();
}

bool cxIsWinControlShown(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && IsWindowVisible(AControl->Handle());
}

TWinControl* cxWinControlOfWindow(HWND AWnd) {
  for (; AWnd; AWnd = GetAncestor(AWnd, GA_PARENT))
    if (TWinControl* Control = FindControl(AWnd)) return Control;
  return nullptr;
}

TCustomForm* cxParentFormOfWindow(HWND AWnd) {
  TWinControl* Control = cxWinControlOfWindowOrParent(AWnd);
  return Control ? GetParentForm(Control) : nullptr;
}

TComponent* cxFindOwnedComponentOfClass(TComponent* AOwner, TClass AClass) {
  if (!AOwner) return nullptr;
  for (Integer I = 0; I < AOwner->ComponentCount(); ++I)
    if (AOwner->Components(I)->InheritsFrom(AClass)) return AOwner->Components(I);
  return nullptr;
}

TPoint cxControlPointToParent(TControl* AControl, const TPoint& P, TWinControl* AParent) {
  if (!AParent) AParent = AControl->Parent();
  if (!AParent) throw EInvalidOperation(Format("Control '%s' has no parent window", {AControl->Name()}));
  TPoint Result(P.X + AControl->Left(), P.Y + AControl->Top());
  TWinControl* Ancestor = AControl->Parent();
  while (Ancestor && Ancestor != AParent) {
    if (Ancestor->Parent()) {
      Result.X += Ancestor->Left();
      Result.Y += Ancestor->Top();
    }
    Ancestor = Ancestor->Parent();
  }
  if (!Ancestor) throw EInvalidOperation(Format("Parent given is not a parent of '%s'", {AControl->Name()}));
  return Result;
}

void cxSendToControlChain(TControl* AControl, UINT AMsg) {
  for (TControl* Control = AControl; Control && !Control->InheritsFrom(TCustomForm::StaticClass());
       Control = Control->Parent())
    Control->Perform(AMsg, 0, 0);
}

bool cxIsMDIChildForm(TCustomForm* AForm) {
  return AForm && !cxIsDesignTime(AForm) && AForm->FormStyle() == fsMDIChild;
}

bool cxIsMDIParentForm(TCustomForm* AForm) {
  return AForm && !cxIsDesignTime(AForm) && AForm->FormStyle() == fsMDIForm;
}

AnsiString cxComponentFullName(TComponent* AComponent) {
  if (!AComponent || AComponent->Name().empty()) return AnsiString();
  AnsiString Result = AComponent->Name();
  for (TComponent* Owner = AComponent->Owner(); Owner && !Owner->Name().empty(); Owner = Owner->Owner())
    Result = Owner->Name() + "." + Result;
  return Result;
}

namespace {

bool IsBusy(TComponent* AComponent) {
  const TComponentState State = AComponent->ComponentState();
  return State.Contains(csLoading) || State.Contains(csWriting) || State.Contains(csDestroying);
}

// The designer of the form at the root of the component's parents (or
// owners, for a component that sits on no parent).
IDesignerHook* RootDesigner(TComponent* AComponent) {
  TComponent* Root = AComponent;
  while (TComponent* Up = Root->HasParent() ? Root->GetParentComponent() : nullptr) Root = Up;
  while (Root->Owner()) Root = Root->Owner();
  auto* Form = dynamic_cast<TCustomForm*>(Root);
  return Form ? Form->Designer() : nullptr;
}

}  // namespace

void cxNotifyDesignerModified(TComponent* AComponent) {
  if (!AComponent || !cxIsDesignTime(AComponent) || IsBusy(AComponent)) return;
  if (auto* Control = dynamic_cast<TControl*>(AComponent))
    for (TWinControl* Parent = Control->Parent(); Parent; Parent = Parent->Parent())
      if (IsBusy(Parent)) return;
  if (IDesignerHook* Designer = RootDesigner(AComponent)) Designer->Modified();
}

bool cxFrameworkThemesEnabled() { return ThemeServices()->ThemesEnabled(); }

// ---- Input -----------------------------------------------------------------------------

bool cxIsWithinDragThreshold(const TPoint& ADownPos, Integer X, Integer Y) {
  const Integer Threshold = Mouse ? Mouse->DragThreshold() : 5;
  return std::abs(X - ADownPos.X) < Threshold && std::abs(Y - ADownPos.Y) < Threshold;
}

TcxDragStartResult cxTrackDragStart(HWND AWnd, const TPoint& AScreenPos) {
  const Integer T = Mouse ? Mouse->DragThreshold() : 5;
  const TRect Square(AScreenPos.X - T, AScreenPos.Y - T, AScreenPos.X + T, AScreenPos.Y + T);
  TcxDragStartResult Result = dsrCancelled;
  SetCapture(AWnd);
  // A handler that raises inside the loop must not leave the mouse taken.
  TScopeExit Release([AWnd] {
    if (GetCapture() == AWnd) ReleaseCapture();
  });
  MSG Msg;
  while (GetCapture() == AWnd) {
    if (GetMessageA(&Msg, nullptr, 0, 0) <= 0) {
      if (Msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(Msg.wParam));
      break;
    }
    bool Done = true;
    switch (Msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        Done = Msg.wParam == VK_ESCAPE;
        break;
      case WM_MOUSEMOVE:
        if (Msg.hwnd == AWnd) {
          const TPoint P = cxClientPointToScreen(AWnd, TPoint(GET_X_LPARAM(Msg.lParam), GET_Y_LPARAM(Msg.lParam)));
          Done = !Square.Contains(P);
          if (Done) Result = dsrDragged;
        } else {
          Done = false;
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        Result = dsrReleased;
        break;
      default:
        Done = false;
        break;
    }
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
    if (Done) break;
  }
  return Result;
}

char cxVirtualKeyToChar(Word AKey) {
  BYTE State[256] = {};
  GetKeyboardState(State);
  WORD Chars[2] = {};
  return ToAscii(AKey, MapVirtualKeyA(AKey, 0), State, Chars, 0) == 1 ? static_cast<char>(Chars[0] & 0xFF) : 0;
}

bool cxIsCtrlKeyDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }

WPARAM cxShiftStateToMouseKeys(TShiftState AShift) {
  WPARAM Result = 0;
  if (AShift.Contains(ssShift)) Result |= MK_SHIFT;
  if (AShift.Contains(ssCtrl)) Result |= MK_CONTROL;
  if (AShift.Contains(ssLeft)) Result |= MK_LBUTTON;
  if (AShift.Contains(ssRight)) Result |= MK_RBUTTON;
  if (AShift.Contains(ssMiddle)) Result |= MK_MBUTTON;
  return Result;
}
