// TWinControl: children, window handles on demand, the window procedure,
// showing, painting (graphic children included) and the reflection of
// child notifications; TGraphicControl, TCustomControl, TControlCanvas and
// the window-to-control lookups.
#include <algorithm>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/user/user_object_instance.h"

RTL_IMPLEMENT_CLASS(TWinControl)
RTL_IMPLEMENT_CLASS(TGraphicControl)
RTL_IMPLEMENT_CLASS(TCustomControl)
RTL_IMPLEMENT_CLASS(TControlCanvas)

namespace {

// The window property that leads from a window to its control.
constexpr char kControlProp[] = "ControlOfs";

// The control whose window CreateWindowEx is making: its first message
// ties the new window to it.
TWinControl* g_CreationControl = nullptr;

// The graphic control that holds the capture through its parent's window.
TControl* g_CaptureControl = nullptr;

// Canvases that took a window's DC; each gives it back when the message
// that took it is done.
std::vector<TControlCanvas*> g_CanvasList;

void FreeDeviceContexts() {
  while (!g_CanvasList.empty()) g_CanvasList.back()->FreeHandle();
}

// The leading fields of the records that child notifications carry, as
// their documented layouts have them.
struct TNotifyHeader {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
struct TDrawItemHead {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
};
struct TMeasureItemHead {
  UINT CtlType;
  UINT CtlID;
};
struct TDeleteItemHead {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  HWND hwndItem;
};
struct TCompareItemHead {
  UINT CtlType;
  UINT CtlID;
  HWND hwndItem;
};
constexpr UINT kOdtMenu = 1;

void MoveWindowOrg(HDC DC, Integer DX, Integer DY) {
  POINT P;
  GetWindowOrgEx(DC, &P);
  SetWindowOrgEx(DC, P.X - DX, P.Y - DY, nullptr);
}

}  // namespace

// ---- Lookups ----------------------------------------------------------------------------

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  return static_cast<TWinControl*>(GetProp(Handle, kControlProp));
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
  for (HWND H = WindowFromPoint(Pos); H; H = GetParent(H))
    if (TWinControl* C = FindControl(H)) return C;
  return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* Window = FindVCLWindow(Pos);
  if (!Window) return nullptr;
  if (TControl* C = Window->ControlAtPos(Window->ScreenToClient(Pos), AllowDisabled)) return C;
  return Window;
}

TControl* GetCaptureControl() {
  TControl* Result = FindControl(GetCapture());
  if (Result && g_CaptureControl && g_CaptureControl->Parent() == Result) Result = g_CaptureControl;
  return Result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  g_CaptureControl = nullptr;
  if (!Control) return;
  auto* W = dynamic_cast<TWinControl*>(Control);
  if (!W) {
    if (!Control->Parent()) return;
    g_CaptureControl = Control;
    W = Control->Parent();
  }
  SetCapture(W->Handle());
}

// ---- Utility windows ---------------------------------------------------------------------

namespace {

constexpr char kUtilWindowClass[] = "TPUtilWindow";

}  // namespace

// The window's procedure is an object instance of the method, which keeps
// the method alive through a call that deallocates the window.
HWND AllocateHWnd(const TWndMethod& Method) {
  WNDCLASSA Class{};
  if (!GetClassInfo(HInstance, kUtilWindowClass, &Class)) {
    Class.lpfnWndProc = &DefWindowProcA;
    Class.hInstance = HInstance;
    Class.lpszClassName = kUtilWindowClass;
    RegisterClass(&Class);
  }
  HWND Result = CreateWindowEx(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               HInstance, nullptr);
  if (Result && Method) {
    WNDPROC Instance = MakeObjectInstance(TWndMethod([Method](TMessage& Message) {
      try {
        Method(Message);
      } catch (...) {
        if (!Application) throw;
        Application->HandleException(nullptr);
      }
    }));
    SetWindowLongPtr(Result, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Instance));
  }
  return Result;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto Instance = reinterpret_cast<WNDPROC>(GetWindowLongPtr(Wnd, GWLP_WNDPROC));
  // Messages that come while the window goes reach the default procedure.
  SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
  DestroyWindow(Wnd);
  FreeObjectInstance(Instance);
}

// ---- Life --------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FBrush->SetColor(Color());
  FBrush->OnChange = TNotifyEvent(this, &TWinControl::BrushChanged);
}

TWinControl::TWinControl(TComponent* AOwner, HWND ParentWindow) : TWinControl(AOwner) {
  FParentWindow = ParentWindow;
}

// The children go first, while they are whole objects, so that their own
// handle overrides run; a descendant whose DestroyWnd or WM_DESTROY
// handling must run for itself destroys its handle in its own destructor.
TWinControl::~TWinControl() {
  Destroying();
  if (FParent) RemoveFocus(true);
  // Nothing may leave a destructor: a window that cannot be destroyed
  // any more is left to the window system.
  try {
    DestroyHandle();
  } catch (...) {
    FHandle = nullptr;
  }
  while (ControlCount() > 0) {
    TControl* C = Controls(ControlCount() - 1);
    Remove(C);
    delete C;
  }
  if (FParent) FParent->RemoveControl(this);
}

void TWinControl::BrushChanged(TObject*) { Invalidate(); }

// ---- Children ----------------------------------------------------------------------------

TControl* TWinControl::Controls(Integer Index) const {
  const Integer N = static_cast<Integer>(FControls.size());
  if (Index < 0 || Index >= ControlCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  if (Index < N) return FControls[static_cast<size_t>(Index)];
  return FWinControls[static_cast<size_t>(Index - N)];
}

void TWinControl::Insert(TControl* AControl) {
  if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(W);
    FTabList.push_back(W);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
}

void TWinControl::Remove(TControl* AControl) {
  auto Erase = [](auto& V, auto* X) {
    auto It = std::find(V.begin(), V.end(), X);
    if (It != V.end()) V.erase(It);
  };
  if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
    Erase(FTabList, W);
    Erase(FWinControls, W);
  } else {
    Erase(FControls, AControl);
  }
  AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  Insert(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
      W->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      W->UpdateControlState();
    } else if (FHandle) {
      AControl->Invalidate();
    }
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* W = dynamic_cast<TWinControl*>(AControl)) {
    W->RemoveFocus(true);
    W->DestroyHandle();
  } else if (FHandle) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

void TWinControl::SetParent(TWinControl* AParent) { inherited::SetParent(AParent); }

void TWinControl::ShowControl(TControl*) {
  if (FParent) FParent->ShowControl(this);
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  auto Hit = [&](TControl* C) {
    TPoint P(Pos.X - C->Left(), Pos.Y - C->Top());
    if (!TRect(0, 0, C->Width(), C->Height()).Contains(P)) return false;
    if (C->ComponentState().Contains(csDesigning))
      return C->Visible() || !C->ControlStyle().Contains(csNoDesignVisible);
    return C->Visible() && (C->Enabled() || AllowDisabled) && C->Perform(CM_HITTEST, 0, PointToSmallPoint(P)) != 0;
  };
  if (AllowWinControls)
    for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
      if (Hit(*It)) return *It;
  for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
    if (Hit(*It)) return *It;
  return nullptr;
}

TControl* TWinControl::FindChildControl(const AnsiString& ControlName) {
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    if (C->Name().size() == ControlName.size() &&
        std::equal(ControlName.begin(), ControlName.end(), C->Name().begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                               std::tolower(static_cast<unsigned char>(b)); }))
      return C;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (Integer I = 0; I < ControlCount(); ++I) {
    Controls(I)->WindowProc()(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage Message{Msg, 0, 0, 0};
  Broadcast(Message);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    if (C->Owner() == Root) Proc(C);
  }
}

void TWinControl::SetZOrder(bool TopMost) {
  if (FParent) {
    Integer N = TopMost ? static_cast<Integer>(FParent->FWinControls.size()) - 1 : 0;
    SetZOrderPosition(static_cast<Integer>(FParent->FControls.size()) + N);
  } else if (FHandle) {
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void TWinControl::SetZOrderPosition(Integer Position) {
  if (!FParent) return;
  Position -= static_cast<Integer>(FParent->FControls.size());
  auto& List = FParent->FWinControls;
  auto It = std::find(List.begin(), List.end(), this);
  if (It == List.end()) return;
  Integer I = static_cast<Integer>(It - List.begin());
  Integer Count = static_cast<Integer>(List.size());
  Position = std::max(0, std::min(Position, Count - 1));
  if (Position != I) {
    List.erase(It);
    List.insert(List.begin() + Position, this);
  }
  if (FHandle) {
    // The list runs bottom to top; the window goes below the next one up.
    HWND After = Position == Count - 1 ? HWND_TOP : FParent->PrecedingWindow(this);
    // A pop-up among the children (a floating marker) must not activate.
    SetWindowPos(FHandle, After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) {
  auto It = std::find(FWinControls.begin(), FWinControls.end(), Control);
  if (It != FWinControls.end())
    for (++It; It != FWinControls.end(); ++It)
      if ((*It)->FHandle) return (*It)->FHandle;
  return HWND_TOP;
}

// ---- Handles --------------------------------------------------------------------------

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!ComponentState().Contains(csDesigning) && !Enabled()) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? (FMeasuring ? nullptr : FParent->Handle()) : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = &DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hInstance = HInstance;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, LPCSTR ControlClassName) {
  if (!ControlClassName) return;
  HINSTANCE SaveInstance = Params.WindowClass.hInstance;
  if (!GetClassInfo(HInstance, ControlClassName, &Params.WindowClass))
    GetClassInfo(nullptr, ControlClassName, &Params.WindowClass);
  Params.WindowClass.hInstance = SaveInstance;
  constexpr UINT CsOff = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS;
  Params.WindowClass.style = (Params.WindowClass.style & ~CsOff) | CS_VREDRAW | CS_HREDRAW;
}

LRESULT TWinControl::InitWndProc(HWND hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* Control = FindControl(hwnd);
  if (!Control && g_CreationControl) {
    Control = g_CreationControl;
    g_CreationControl = nullptr;
    Control->FHandle = hwnd;
    SetProp(hwnd, kControlProp, Control);
  }
  if (!Control) return DefWindowProc(hwnd, Msg, WParam, LParam);
  return Control->MainWndProc(Msg, WParam, LParam);
}

// Every message of the window passes here: an exception that a handler
// lets out is the application's to report, and the loop goes on.
LRESULT TWinControl::MainWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage Message{Msg, WParam, LParam, 0};
  TControlLink Self(this);
  try {
    FWindowProc(Message);
  } catch (...) {
    FreeDeviceContexts();
    // The handler may have freed the control before it failed.
    if (Application)
      Application->HandleException(Self.Get());
    else
      throw;
  }
  FreeDeviceContexts();
  return Message.Result;
}

void TWinControl::CreateWnd() {
  TCreateParams Params;
  CreateParams(Params);
  if (!Params.WndParent && (Params.Style & WS_CHILD)) {
    auto* OwnerControl = dynamic_cast<TWinControl*>(Owner());
    if (OwnerControl && Owner()->ComponentState().Contains(csReading))
      Params.WndParent = OwnerControl->Handle();
    else
      throw EInvalidOperation(Format("Control '%s' has no parent window", {Name()}));
  }
  FDefWndProc = Params.WindowClass.lpfnWndProc;
  WNDCLASSA TempClass{};
  bool Registered = GetClassInfo(Params.WindowClass.hInstance, Params.WinClassName.c_str(), &TempClass);
  if (!Registered || TempClass.lpfnWndProc != &TWinControl::InitWndProc) {
    if (Registered) UnregisterClass(Params.WinClassName.c_str(), Params.WindowClass.hInstance);
    Params.WindowClass.lpfnWndProc = &TWinControl::InitWndProc;
    Params.WindowClass.lpszClassName = Params.WinClassName.c_str();
    if (RegisterClass(&Params.WindowClass) == 0) RaiseLastOSError();
  }
  g_CreationControl = this;
  {
    TScopeExit EndCreation([&] { g_CreationControl = nullptr; });
    CreateWindowHandle(Params);
  }
  if (!FHandle) RaiseLastOSError();
  if ((GetWindowLong(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLong(FHandle, GWL_ID) == 0)
    SetWindowLongPtr(FHandle, GWL_ID, reinterpret_cast<LONG_PTR>(FHandle) & 0xFFFF);
  // The window holds the text now.
  FText.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
  if (FAutoSize) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND H = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                          Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                          Params.WindowClass.hInstance, Params.Param);
  if (H) FHandle = H;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  if (FParent)
    SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (Integer I = 0; I < ControlCount(); ++I) Controls(I)->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* C : std::vector<TWinControl*>(FWinControls)) C->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // The text goes back into the control while it has no window.
  Integer Len = GetWindowTextLength(FHandle);
  if (Len > 0) {
    AnsiString S(static_cast<size_t>(Len) + 1, '\0');
    Integer Got = GetWindowText(FHandle, S.data(), Len + 1);
    S.resize(static_cast<size_t>(std::max(0, Got)));
    FText = S;
  } else {
    FText.clear();
  }
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState += csDestroyingHandle;
  for (TControlCanvas* C : std::vector<TControlCanvas*>(g_CanvasList))
    if (C->FWindowHandle == FHandle) C->FreeHandle();
  BOOL Ok = DestroyWindow(FHandle);
  FControlState -= csDestroyingHandle;
  FHandle = nullptr;
  if (!Ok) RaiseLastOSError();
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  bool WasFocused = Focused();
  FControlState += csRecreating;
  {
    TScopeExit EndRecreating([&] { FControlState -= csRecreating; });
    DestroyHandle();
    UpdateControlState();
  }
  if (WasFocused && Handle()) ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle && FParentWindow && Value) {
    FParentWindow = Value;
    ::SetParent(FHandle, Value);
  } else {
    DestroyHandle();
    FParentWindow = Value;
  }
  UpdateControlState();
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  RemoveProp(FHandle, kControlProp);
  DefaultHandler(Message);
  FHandle = nullptr;
  FShowing = false;
}

// ---- Showing ------------------------------------------------------------------------------

void TWinControl::UpdateShowing() {
  const bool ShowControl = FVisible && !FControlState.Contains(csReadingState);
  if (ShowControl) {
    if (!FHandle) CreateHandle();
    for (TWinControl* C : std::vector<TWinControl*>(FWinControls)) C->UpdateShowing();
  }
  if (FHandle && FShowing != ShowControl) {
    FShowing = ShowControl;
    {
      TScopeExit Undo(seOnUnwind, [&] { FShowing = !ShowControl; });
      Perform(CM_SHOWINGCHANGED, 0, 0);
    }
    if (!ShowControl)
      for (TWinControl* C : std::vector<TWinControl*>(FWinControls)) C->UpdateShowing();
  }
}

// Only a control whose parents all show, up to a form or a foreign
// window, can show.
void TWinControl::UpdateControlState() {
  TWinControl* Control = this;
  while (Control->FParent) {
    Control = Control->FParent;
    if (!Control->FShowing) return;
  }
  if (dynamic_cast<TCustomForm*>(Control) || Control->FParentWindow) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  constexpr UINT Common = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, Common | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) RemoveFocus(false);
  if (!ComponentState().Contains(csDesigning) || FControlStyle.Contains(csNoDesignVisible)) UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
  if (!Enabled() && FParent) RemoveFocus(false);
  if (FHandle && !ComponentState().Contains(csDesigning)) EnableWindow(FHandle, Enabled());
  inherited::CMEnabledChanged(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  inherited::CMColorChanged(Message);
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMBiDiModeChanged(TMessage& Message) {
  inherited::CMBiDiModeChanged(Message);
  NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::CMSysColorChange(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMSysFontChanged(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMControlListChange(TMessage& Message) {
  if (FParent) Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::CMCursorChanged(TMessage&) {
  if (GetCapture() != nullptr || !FHandle) return;
  POINT P;
  if (GetCursorPos(&P) && FindDragTarget(P, false) == this)
    Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TWinControl::SetParentBackground(bool Value) {
  if (ParentBackground() == Value) return;
  if (Value)
    FControlStyle += csParentBackground;
  else
    FControlStyle -= csParentBackground;
  Invalidate();
}

void TWinControl::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (FParentCtl3D == Value) return;
  FParentCtl3D = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TWinControl::CMParentCtl3DChanged(TMessage&) {
  if (FParentCtl3D && FParent) {
    SetCtl3D(FParent->Ctl3D());
    FParentCtl3D = true;
  }
}

// ---- Bounds from the window ------------------------------------------------------

TRect TWinControl::CalcClientRect() {
  if (FHandle) {
    RECT R;
    ::GetClientRect(FHandle, &R);
    return R;
  }
  // The styles alone decide the frame; no window is made for it.
  TCreateParams Params;
  FMeasuring = true;
  {
    TScopeExit EndMeasuring([&] { FMeasuring = false; });
    CreateParams(Params);
  }
  RECT Frame{0, 0, 0, 0};
  AdjustWindowRectEx(&Frame, Params.Style, FALSE, Params.ExStyle);
  return TRect(0, 0, std::max(0, FWidth - Frame.Width()), std::max(0, FHeight - Frame.Height()));
}

TRect TWinControl::GetClientRect() { return CalcClientRect(); }

TPoint TWinControl::GetClientOrigin() {
  POINT P{0, 0};
  ::ClientToScreen(Handle(), &P);
  return P;
}

void TWinControl::UpdateBounds() {
  RECT R;
  if (IsIconic(FHandle)) {
    WINDOWPLACEMENT WP{};
    WP.length = sizeof(WP);
    GetWindowPlacement(FHandle, &WP);
    R = WP.rcNormalPosition;
  } else {
    GetWindowRect(FHandle, &R);
  }
  if (GetWindowLong(FHandle, GWL_STYLE) & WS_CHILD) {
    if (HWND ParentHandle = GetParent(FHandle)) MapWindowPoints(nullptr, ParentHandle, reinterpret_cast<POINT*>(&R), 2);
  }
  UpdateBoundsRect(R);
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  if (!FControlState.Contains(csDestroyingHandle) && FHandle) UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& Message) {
  DefaultHandler(Message);
  UpdateBounds();
}

// ---- The window procedure ------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* Form = GetParentForm(this);
      if (Form && !Form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST:
      inherited::WndProc(Message);
      if (Message.Result == HTTRANSPARENT &&
          ControlAtPos(ScreenToClient(SmallPointToPoint(Message.LParam)), false) != nullptr)
        Message.Result = HTCLIENT;
      return;
    case WM_MOUSELEAVE:
      if (Application) Application->DoMouseIdle();
      break;
    case WM_CANCELMODE:
      if (GetCapture() == FHandle && g_CaptureControl && g_CaptureControl->Parent() == this)
        g_CaptureControl->Perform(WM_CANCELMODE, 0, 0);
      break;
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
        if (Message.Msg == WM_MOUSEMOVE && FHandle) {
          // Ask for WM_MOUSELEAVE, so that leaving all windows is seen.
          TRACKMOUSEEVENT Track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, FHandle, 0};
          TrackMouseEvent(&Track);
        }
        TControlLink Self(this);
        if (IsControlMouseMsg(Message)) {
          if (Self && Message.Result == 0 && FHandle)
            DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      } else if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
        if (Dragging()) return;
      }
      break;
  }
  inherited::WndProc(Message);
}

// Mouse messages over a graphic child (or for the one that holds the
// capture) go to it, in its own coordinates.
bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* Control = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    if (g_CaptureControl && g_CaptureControl->Parent() == this) Control = g_CaptureControl;
  } else if (Message.Msg != WM_MOUSEWHEEL && Message.Msg != WM_MOUSEHWHEEL) {
    Control = ControlAtPos(SmallPointToPoint(Message.LParam), false);
  }
  if (!Control) return false;
  TPoint P = SmallPointToPoint(Message.LParam);
  P.X -= Control->Left();
  P.Y -= Control->Top();
  Message.Result = Control->Perform(Message.Msg, Message.WParam, PointToSmallPoint(P));
  return true;
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_PRINTCLIENT:
      // Printing paints into the given DC as a paint does; a hidden control
      // asked to check its visibility is left to the default.
      if ((static_cast<DWORD>(Message.LParam) & PRF_CHECKVISIBLE) == 0 || Visible())
        PaintHandler(Message);
      else
        DefaultHandler(Message);
      return;
    case WM_SIZE: WMSize(Message); return;
    case WM_MOVE: WMMove(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_KEYDOWN: WMKeyDown(Message); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(Message); return;
    case WM_KEYUP: WMKeyUp(Message); return;
    case WM_SYSKEYUP: WMSysKeyUp(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_HSCROLL:
    case WM_VSCROLL: WMScroll(Message); return;
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: WMListItem(Message); return;
    case CN_KEYDOWN: CNKeyDown(Message); return;
    case CN_KEYUP: CNKeyUp(Message); return;
    case CN_CHAR: CNChar(Message); return;
    case CN_SYSKEYDOWN: CNSysKeyDown(Message); return;
    case CN_SYSCHAR: CNSysChar(Message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(Message); return;
    case CM_BIDIMODECHANGED: CMBiDiModeChanged(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_CHILDKEY: CMChildKey(Message); return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_RECREATEWND: CMRecreateWnd(Message); return;
    case CM_INVALIDATE: CMInvalidate(Message); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); return;
    case WM_SYSCOLORCHANGE:
      // The system's colours changed: the controls hear of it.
      Perform(CM_SYSCOLORCHANGE, 0, 0);
      DefaultHandler(Message);
      return;
    case CM_SYSFONTCHANGED: CMSysFontChanged(Message); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(Message); return;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(Message); return;
    default: inherited::Dispatch(Message); return;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    inherited::DefaultHandler(Message);
    return;
  }
  if (Message.Msg == WM_CONTEXTMENU && FParent) {
    Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
    if (Message.Result != 0) return;
  }
  if (Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(DC, ColorToRGB(FFont->Color()));
    SetBkColor(DC, ColorToRGB(FBrush->Color()));
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
    return;
  }
  Message.Result = CallWindowProc(FDefWndProc ? FDefWndProc : &DefWindowProcA, FHandle, Message.Msg, Message.WParam,
                                  Message.LParam);
}

void TWinControl::WMNCHitTest(TMessage& Message) {
  if (ComponentState().Contains(csDesigning) && FParent)
    Message.Result = HTCLIENT;
  else
    DefaultHandler(Message);
}

void TWinControl::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FHandle && static_cast<SHORT>(LOWORD(Message.LParam)) == HTCLIENT) {
    TCursor Cur = Screen ? Screen->Cursor() : crDefault;
    if (Cur == crDefault) {
      POINT P;
      GetCursorPos(&P);
      if (TControl* C = ControlAtPos(ScreenToClient(P), false))
        Cur = C->ComponentState().Contains(csDesigning) ? crArrow : C->Cursor();
      if (Cur == crDefault) Cur = ComponentState().Contains(csDesigning) ? crArrow : FCursor;
    }
    if (Cur != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(Cur));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

// ---- Reflection of child notifications -----------------------------------------------

namespace {

bool DoControlMsg(HWND ControlHandle, TMessage& Message) {
  TWinControl* Control = FindControl(ControlHandle);
  if (!Control) return false;
  Message.Result = Control->Perform(Message.Msg + CN_BASE, Message.WParam, Message.LParam);
  return true;
}

}  // namespace

void TWinControl::WMCommand(TMessage& Message) {
  if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
  auto* Header = reinterpret_cast<const TNotifyHeader*>(Message.LParam);
  if (!Header || !DoControlMsg(Header->hwndFrom, Message)) DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message) {
  if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message) {
  auto* Item = reinterpret_cast<const TDrawItemHead*>(Message.LParam);
  if (!Item || Item->CtlType == kOdtMenu || !DoControlMsg(Item->hwndItem, Message)) DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message) {
  auto* Item = reinterpret_cast<const TMeasureItemHead*>(Message.LParam);
  if (!Item || Item->CtlType == kOdtMenu ||
      !DoControlMsg(GetDlgItem(FHandle, static_cast<int>(Item->CtlID)), Message))
    DefaultHandler(Message);
}

void TWinControl::WMListItem(TMessage& Message) {
  HWND Item = nullptr;
  if (Message.Msg == WM_DELETEITEM) {
    if (auto* Head = reinterpret_cast<const TDeleteItemHead*>(Message.LParam)) Item = Head->hwndItem;
  } else if (Message.Msg == WM_COMPAREITEM) {
    if (auto* Head = reinterpret_cast<const TCompareItemHead*>(Message.LParam)) Item = Head->hwndItem;
  } else {
    Item = reinterpret_cast<HWND>(Message.LParam);
  }
  if (!Item || !DoControlMsg(Item, Message)) DefaultHandler(Message);
}

void TWinControl::WMScroll(TMessage& Message) {
  if (!Message.LParam || !DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

// ---- Painting -----------------------------------------------------------------------------

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage& Message) {
  if (!FHandle || ComponentState().Contains(csDestroying)) return;
  if (FParent) FParent->Perform(CM_INVALIDATE, 1, 0);
  if (Message.WParam == 0) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  // A double-buffered control erases into its buffer (WParam = LParam).
  if (!FDoubleBuffered || Message.WParam == static_cast<WPARAM>(Message.LParam)) {
    RECT R = GetClientRect();
    FillRect(reinterpret_cast<HDC>(Message.WParam), &R, FBrush->Handle());
  }
  Message.Result = 1;
}

void TWinControl::WMPaint(TMessage& Message) {
  if (!FDoubleBuffered || Message.WParam != 0) {
    if (!FControlState.Contains(csCustomPaint) && ControlCount() == 0)
      DefaultHandler(Message);
    else
      PaintHandler(Message);
    return;
  }
  TRect R = GetClientRect();
  HDC ScreenDC = GetDC(nullptr);
  HBITMAP MemBitmap = CreateCompatibleBitmap(ScreenDC, std::max(1, R.Right), std::max(1, R.Bottom));
  ReleaseDC(nullptr, ScreenDC);
  HDC MemDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldBitmap = SelectObject(MemDC, MemBitmap);
  PAINTSTRUCT PS;
  HDC DC = BeginPaint(FHandle, &PS);
  TScopeExit Cleanup([&] {
    EndPaint(FHandle, &PS);
    SelectObject(MemDC, OldBitmap);
    DeleteDC(MemDC);
    DeleteObject(MemBitmap);
  });
  // Only the part to be painted reaches the screen: paint no more of the
  // buffer than that.
  IntersectClipRect(MemDC, PS.rcPaint.Left, PS.rcPaint.Top, PS.rcPaint.Right, PS.rcPaint.Bottom);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(MemDC), reinterpret_cast<LPARAM>(MemDC));
  Message.WParam = reinterpret_cast<WPARAM>(MemDC);
  WMPaint(Message);
  Message.WParam = 0;
  BitBlt(DC, 0, 0, R.Right, R.Bottom, MemDC, 0, 0, SRCCOPY);
}

// Paints the window, leaving out the opaque graphic children, then the
// graphic children over it.
void TWinControl::PaintHandler(TMessage& Message) {
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT PS;
  const bool OwnDC = DC == nullptr;
  if (OwnDC) DC = BeginPaint(FHandle, &PS);
  TScopeExit EndPainting([&] { if (OwnDC) EndPaint(FHandle, &PS); });
  if (FControls.empty()) {
    PaintWindow(DC);
  } else {
    int SaveIndex = SaveDC(DC);
    int Clip = SIMPLEREGION;
    for (TControl* C : FControls) {
      if (C->Visible() && C->ControlStyle().Contains(csOpaque)) {
        Clip = ExcludeClipRect(DC, C->Left(), C->Top(), C->Left() + C->Width(), C->Top() + C->Height());
        if (Clip == NULLREGION) break;
      }
    }
    if (Clip != NULLREGION) PaintWindow(DC);
    RestoreDC(DC, SaveIndex);
  }
  PaintControls(DC, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage Message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(Message);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t I = 0;
  if (First) {
    auto It = std::find(FControls.begin(), FControls.end(), First);
    if (It != FControls.end()) I = static_cast<size_t>(It - FControls.begin());
  }
  for (; I < FControls.size(); ++I) {
    TControl* C = FControls[I];
    RECT R = C->BoundsRect();
    if (!C->Visible() || !RectVisible(DC, &R)) continue;
    if (FControlState.Contains(csPaintCopy)) C->FControlState += csPaintCopy;
    int SaveIndex = SaveDC(DC);
    MoveWindowOrg(DC, C->Left(), C->Top());
    IntersectClipRect(DC, 0, 0, C->Width(), C->Height());
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, SaveIndex);
    C->FControlState -= csPaintCopy;
  }
}

// Paints the control and its children into DC at (X, Y), whether or not
// they are on screen.
void TWinControl::PaintTo(HDC DC, Integer X, Integer Y) {
  FControlState += csPaintCopy;
  int SaveIndex = SaveDC(DC);
  MoveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  for (TWinControl* C : FWinControls)
    if (C->Visible()) C->PaintTo(DC, C->Left(), C->Top());
  RestoreDC(DC, SaveIndex);
  FControlState -= csPaintCopy;
}

// ---- TGraphicControl ---------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  static_cast<TControlCanvas*>(FCanvas.get())->SetControl(this);
}

TGraphicControl::~TGraphicControl() { Destroying(); }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message) {
  if (Message.WParam == 0 || ComponentState().Contains(csDestroying)) return;
  FCanvas->Lock();
  FCanvas->SetHandle(reinterpret_cast<HDC>(Message.WParam));
  TScopeExit ReleaseCanvas([&] {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  });
  Paint();
}

// ---- TCustomControl -----------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  static_cast<TControlCanvas*>(FCanvas.get())->SetControl(this);
}

TCustomControl::~TCustomControl() { Destroying(); }

void TCustomControl::WMPaint(TMessage& Message) {
  SetControlState(ControlState() + csCustomPaint);
  TScopeExit EndCustomPaint([&] { SetControlState(ControlState() - csCustomPaint); });
  inherited::WMPaint(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  TScopeExit ReleaseCanvas([&] {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  });
  Paint();
}

// ---- TControlCanvas -------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* AControl) {
  if (FControl == AControl) return;
  FreeHandle();
  FControl = AControl;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) {
    inherited::CreateHandle();
    return;
  }
  if (!FDeviceContext) {
    if (auto* W = dynamic_cast<TWinControl*>(FControl)) {
      FWindowHandle = W->Handle();
      FDeviceContext = GetDC(FWindowHandle);
    } else {
      TWinControl* P = FControl->Parent();
      if (!P) throw EInvalidOperation(Format("Control '%s' has no parent window", {FControl->Name()}));
      FWindowHandle = P->Handle();
      FDeviceContext = GetDC(FWindowHandle);
      SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
      IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
    }
    if (!FDeviceContext) throw EOutOfResources("Error creating window device context");
    g_CanvasList.push_back(this);
  }
  SetHandle(FDeviceContext);
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  auto It = std::find(g_CanvasList.begin(), g_CanvasList.end(), this);
  if (It != g_CanvasList.end()) g_CanvasList.erase(It);
}
