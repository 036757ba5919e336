// TCustomForm: creation and destruction steps, showing and placement,
// closing, modal loops, activation and the focus bookkeeping that fires
// OnEnter and OnExit.
#include "platform/forms/forms.h"

#include <algorithm>

#include "platform/forms/app_activation.h"
#include "platform/forms/forms_internal.h"
#include "platform/forms/icon.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/threads.h"
#include "platform/win/user/dialog_frame.h"
#include "platform/win/user/user_mdi.h"

RTL_IMPLEMENT_CLASS(TCustomForm)
RTL_IMPLEMENT_PUBLISHED(TForm,
                        RTL_PROP(ActiveControl),
                        RTL_PROP(Align).Default(alNone),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(AutoScroll).Default(false),
                        RTL_PROP(AutoSize).Default(false),
                        RTL_PROP(BiDiMode).Stored<&Self::IsBiDiModeStored>(),
                        RTL_PROP(BorderIcons).Default({biSystemMenu, biMinimize, biMaximize}),
                        RTL_PROP(BorderStyle).Default(bsSizeable),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(ClientHeight).Stored<&Self::IsClientSizeStored>(),
                        RTL_PROP(ClientWidth).Stored<&Self::IsClientSizeStored>(),
                        RTL_PROP(Color).Default(clBtnFace).Idents(ColorIdentMap()),
                        RTL_PROP(Constraints),
                        RTL_PROP(Ctl3D).Default(true),
                        RTL_PROP(DragKind).Default(dkDrag),
                        RTL_PROP(DragMode).Default(dmManual),
                        RTL_PROP(Enabled).Default(true),
                        RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(FormStyle).Default(fsNormal),
                        RTL_PROP(Height).Stored<&Self::IsFormSizeStored>(),
                        RTL_PROP(HelpFile),
                        RTL_PROP(HorzScrollBar),
                        RTL_PROP(Icon),
                        RTL_PROP(KeyPreview).Default(false),
                        RTL_PROP(OldCreateOrder).Default(false),
                        RTL_PROP(ParentBiDiMode).Default(true),
                        RTL_PROP(ParentFont).Default(false),
                        RTL_PROP(PopupMenu),
                        RTL_PROP(Position).Default(poDesigned),
                        RTL_PROP(ShowHint).Default(false),
                        RTL_PROP(VertScrollBar),
                        RTL_PROP(Visible).Default(false),
                        RTL_PROP(Width).Stored<&Self::IsFormSizeStored>(),
                        RTL_PROP(WindowState).Default(wsNormal),
                        RTL_EVENT(OnActivate),
                        RTL_EVENT(OnCanResize),
                        RTL_EVENT(OnClick),
                        RTL_EVENT(OnClose),
                        RTL_EVENT(OnCloseQuery),
                        RTL_EVENT(OnConstrainedResize),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnCreate),
                        RTL_EVENT(OnDblClick),
                        RTL_EVENT(OnDestroy),
                        RTL_EVENT(OnDeactivate),
                        RTL_EVENT(OnDragDrop),
                        RTL_EVENT(OnDragOver),
                        RTL_EVENT(OnHide),
                        RTL_EVENT(OnKeyDown),
                        RTL_EVENT(OnKeyPress),
                        RTL_EVENT(OnKeyUp),
                        RTL_EVENT(OnMouseDown),
                        RTL_EVENT(OnMouseMove),
                        RTL_EVENT(OnMouseUp),
                        RTL_EVENT(OnMouseWheel),
                        RTL_EVENT(OnMouseWheelDown),
                        RTL_EVENT(OnMouseWheelUp),
                        RTL_EVENT(OnPaint),
                        RTL_EVENT(OnResize),
                        RTL_EVENT(OnShortCut),
                        RTL_EVENT(OnShow),
                        RTL_EVENT(OnStartDrag))

namespace rtl::detail {

// As the window system's own modal loops do.
std::vector<HWND> DisableTaskWindows() { return DisableThreadWindows(); }

void EnableTaskWindows(const std::vector<HWND>& Windows) { EnableThreadWindows(Windows); }

}  // namespace rtl::detail

using rtl::detail::DisableTaskWindows;
using rtl::detail::EnableTaskWindows;

TCustomForm* GetParentForm(TControl* Control, bool TopForm) {
  if (!Control) return nullptr;
  while ((TopForm || !dynamic_cast<TCustomForm*>(Control)) && Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control, bool TopForm) {
  TCustomForm* Result = GetParentForm(Control, TopForm);
  if (!Result) throw EInvalidOperation(Format("Control '%s' has no parent form", {Control ? Control->Name() : ""}));
  return Result;
}

// ---- Life ---------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()), FIcon(std::make_unique<TIcon>()) {
  // Forms live among the screen's forms and in the application's loop.
  if (!Screen || !Application)
    throw EInvalidOperation("Forms need the application: register and start the Forms unit first");
  FCanvas->SetControl(this);
  FIcon->OnChange = TNotifyEvent(this, &TCustomForm::IconChanged);
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 320, 240);
  FVisible = false;
  SetColor(clBtnFace);
  FParentFont = false;
  FParentColor = false;
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  try {
    BeforeDestruction();
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  if (Screen) Screen->RemoveForm(this);
  FActiveControl = nullptr;
  FFocusedControl = nullptr;
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  FFormState += fsCreating;
  {
    TScopeExit EndCreating([&] { FFormState -= fsCreating; });
    ReadDescription();
  }
  TControlLink Self(this);
  DoCreate();
  if (!Self) return;
  if (FFormState.Contains(fsActivated)) {
    FFormState -= fsActivated;
    Activate();
  }
  if (Self && FFormState.Contains(fsVisible)) {
    FFormState -= fsVisible;
    SetVisible(true);
  }
}

void TCustomForm::SetVisible(bool Value) {
  if (FFormState.Contains(fsCreating)) {
    if (Value)
      FFormState += fsVisible;
    else
      FFormState -= fsVisible;
    return;
  }
  if (!Value && FVisible && FFormStyle == fsMDIChild && !ComponentState().Contains(csDestroying) &&
      !ComponentState().Contains(csDesigning))
    throw EInvalidOperation("Cannot hide an MDI Child Form");
  inherited::SetVisible(Value);
}

void TCustomForm::BeforeDestruction() {
  if (FDestroyingDone) return;
  FDestroyingDone = true;
  Destroying();
  if (Screen) {
    auto& L = Screen->FSaveFocusedList;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
  }
  if (FFormStyle != fsMDIChild && FVisible) {
    try {
      Hide();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  DoDestroy();
  DestroyHandle();
}

void TCustomForm::Free() {
  BeforeDestruction();
  delete this;
}

void TCustomForm::Release() {
  if (HandleAllocated())
    PostMessage(Handle(), CM_RELEASE, 0, 0);
  else
    Free();
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

void TCustomForm::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineProperty(
      "PixelsPerInch", [](TReader* Reader) { Reader->ReadInteger(); },
      [](TWriter* Writer) { Writer->WriteInteger(Screen ? Screen->PixelsPerInch() : 96); }, !Filer->Ancestor());
  Filer->DefineProperty(
      "TextHeight", [](TReader* Reader) { Reader->ReadInteger(); },
      [this](TWriter* Writer) {
        // Measured on the screen, so that writing makes no window.
        HDC DC = GetDC(nullptr);
        HGDIOBJ Old = SelectObject(DC, Font()->Handle());
        SIZE Size{};
        GetTextExtentPoint32(DC, "0", 1, &Size);
        SelectObject(DC, Old);
        ReleaseDC(nullptr, DC);
        Writer->WriteInteger(Size.cy);
      },
      !Filer->Ancestor());
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  inherited::GetChildren(Proc, Root);
  if (Root != this) return;
  for (Integer I = 0; I < ComponentCount(); ++I) {
    TComponent* C = Components(I);
    if (!C->HasParent()) Proc(C);
  }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  }
}

// ---- Handlers -------------------------------------------------------------------------------

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (!OnDestroy) return;
  try {
    OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  TScopeExit ReleaseCanvas([&] {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  });
  Paint();
}

void TCustomForm::WMPaint(TMessage& Message) {
  if (HandleAllocated() && IsIconic(FHandle)) {
    DefaultHandler(Message);
    return;
  }
  FControlState += csCustomPaint;
  TScopeExit EndCustomPaint([&] { FControlState -= csCustomPaint; });
  inherited::WMPaint(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE: WMClose(Message); return;
    case WM_ACTIVATE: WMActivate(Message); return;
    case CM_ACTIVATE: CMActivate(Message); return;
    case CM_DEACTIVATE: CMDeactivate(Message); return;
    case CM_RELEASE: CMRelease(Message); return;
    case CM_ICONCHANGED: CMIconChanged(Message); return;
    case WM_ACTIVATEAPP: WMActivateApp(Message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); return;
    case WM_MDIACTIVATE: WMMDIActivate(Message); return;
    case WM_HELP: WMHelp(Message); return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // A click on a document form makes it the active document.
      if (FFormStyle == fsMDIChild && FHandle) {
        HWND Client = GetParent(FHandle);
        if (reinterpret_cast<HWND>(SendMessage(Client, WM_MDIGETACTIVE, 0, 0)) != FHandle)
          SendMessage(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
      }
      inherited::Dispatch(Message);
      return;
    default: inherited::Dispatch(Message); return;
  }
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::DefaultHandler(TMessage& Message) {
  // A frame sizes its MDI client itself (AlignControls).
  if (FClientHandle && FHandle && Message.Msg != WM_SIZE &&
      !(Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC)) {
    Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  inherited::DefaultHandler(Message);
}

// The client tells a document form whether it is the active document now.
void TCustomForm::WMMDIActivate(TMessage& Message) {
  DefaultHandler(Message);
  if (FFormStyle == fsMDIChild) SetActive(reinterpret_cast<HWND>(Message.LParam) == FHandle && FHandle);
}

// The help of the window asked about, or of its nearest parent with one;
// a form with a help button in its caption asks for a popup.
void TCustomForm::WMHelp(TMessage& Message) {
  const auto* Info = reinterpret_cast<const HELPINFO*>(Message.LParam);
  if (ComponentState().Contains(csDesigning) || !Application || !Info) {
    DefaultHandler(Message);
    return;
  }
  Message.Result = 1;
  THelpContext Context = 0;
  if (Info->iContextType == HELPINFO_WINDOW) {
    TControl* Control = FindControl(static_cast<HWND>(Info->hItemHandle));
    if (!Control) Control = this;
    if (Control->HelpType() == htKeyword) {
      while (Control && Control->HelpKeyword().empty()) Control = Control->Parent();
      if (Control) Application->HelpKeyword(Control->HelpKeyword());
      return;
    }
    while (Control && Control->HelpContext() == 0) Control = Control->Parent();
    if (!Control) return;
    Context = Control->HelpContext();
  } else {
    Context = static_cast<THelpContext>(Info->dwContextId);
  }
  if (Context == 0) return;
  if (FBorderIcons.Contains(biHelp))
    Application->HelpCommand(HELP_CONTEXTPOPUP, Context);
  else
    Application->HelpContext(Context);
}

void TCustomForm::WMActivate(TMessage& Message) {
  if (FFormStyle != fsMDIForm) SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
}

void TCustomForm::WMSize(TMessage& Message) {
  // Only a shown window tells the state; the sizes of a window that is
  // being made must not undo the state it is to show in.
  if (IsWindowVisible(FHandle)) {
    if (Message.WParam == SIZE_MINIMIZED)
      FWindowState = wsMinimized;
    else if (Message.WParam == SIZE_MAXIMIZED)
      FWindowState = wsMaximized;
    else if (Message.WParam == SIZE_RESTORED)
      FWindowState = wsNormal;
  }
  inherited::WMSize(Message);
}

void TCustomForm::CMActivate(TMessage&) {
  if (ComponentState().Contains(csReading))
    FFormState += fsActivated;
  else
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&) {
  if (ComponentState().Contains(csReading))
    FFormState -= fsActivated;
  else
    Deactivate();
}

// Tab and Shift+Tab go through the tab order; arrows move among the
// active control's siblings; other keys go to the controls (default and
// cancel buttons).
void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN,
                                               false);
          Message.Result = 1;
        }
        return;
    }
  }
  inherited::CMDialogKey(Message);
}

// ---- Window ------------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (!FParent && !FParentWindow) {
    // A secondary form stays with the main form; a modal one with the
    // window that was active when it started.
    HWND Owner = nullptr;
    if (FFormState.Contains(fsModal)) Owner = GetActiveWindow();
    TForm* Main = Application ? Application->MainForm() : nullptr;
    if (!Owner && Main && Main != this && Main->HandleAllocated()) Owner = Main->FHandle;
    Params.WndParent = Owner;
    Params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  Params.WindowClass.style = CS_DBLCLKS;
  switch (FPosition) {
    case poDefault:
      Params.X = Params.Y = CW_USEDEFAULT;
      break;
    case poDefaultPosOnly:
      Params.X = Params.Y = CW_USEDEFAULT;
      break;
    default:
      break;
  }
  TBorderIcons Icons = FBorderIcons;
  TFormBorderStyle CreateStyle = FBorderStyle;
  switch (CreateStyle) {
    case bsNone:
      if (!FParent && !FParentWindow) Params.Style |= WS_POPUP;
      Icons = {};
      break;
    case bsSingle:
    case bsToolWindow:
      Params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      if (FPosition == poDefault || FPosition == poDefaultSizeOnly) Params.Width = Params.Height = CW_USEDEFAULT;
      break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      Icons = Icons * TBorderIcons{biSystemMenu, biHelp};
      Params.WindowClass.style |= CS_DBLCLKS | CS_SAVEBITS;
      break;
  }
  if (CreateStyle == bsToolWindow || CreateStyle == bsSizeToolWin) {
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Icons = Icons * TBorderIcons{biSystemMenu};
  }
  if (CreateStyle == bsSingle || CreateStyle == bsSizeable || CreateStyle == bsNone) {
    if (Icons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
    if (Icons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
  } else {
    FWindowState = wsNormal;
  }
  if (Icons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
  if (Icons.Contains(biHelp) && (CreateStyle == bsDialog || (Icons * TBorderIcons{biMinimize, biMaximize}).Empty()))
    Params.ExStyle |= WS_EX_CONTEXTHELP;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FFormStyle == fsMDIChild && !ComponentState().Contains(csDesigning)) {
    TForm* Main = Application ? Application->MainForm() : nullptr;
    if (!Main || Main == this || !Main->FClientHandle)
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    Params.WndParent = Main->FClientHandle;
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle |= WS_EX_MDICHILD;
    Params.WindowClass.lpfnWndProc = &DefMDIChildProcA;
  }
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
  if (FFormStyle != fsMDIChild || ComponentState().Contains(csDesigning)) {
    inherited::CreateWindowHandle(Params);
    return;
  }
  MDICREATESTRUCTA Create{};
  Create.szClass = Params.WinClassName.c_str();
  Create.szTitle = Params.Caption.c_str();
  Create.hOwner = Params.WindowClass.hInstance;
  Create.x = Params.X;
  Create.y = Params.Y;
  Create.cx = Params.Width;
  Create.cy = Params.Height;
  Create.style = Params.Style;
  Create.lParam = reinterpret_cast<LPARAM>(Params.Param);
  HWND H = reinterpret_cast<HWND>(SendMessage(Params.WndParent, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&Create)));
  if (H) {
    SetHandle(H);
    FFormState += fsCreatedMDIChild;
  }
}

void TCustomForm::DestroyWindowHandle() {
  FFormState -= fsCreatedMDIChild;
  inherited::DestroyWindowHandle();
  FClientHandle = nullptr;
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  inherited::AlignControls(AControl, Rect);
  if (FClientHandle)
    SetWindowPos(FClientHandle, nullptr, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::SetIcon(TIcon* Value) { FIcon->Assign(Value); }

HICON TCustomForm::GetIconHandle() {
  HICON Result = FIcon->Empty() ? nullptr : FIcon->Handle();
  return Result ? Result : (Application ? Application->GetIconHandle() : nullptr);
}

void TCustomForm::IconChanged(TObject*) {
  if (FHandle) SendMessage(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GetIconHandle()));
}

void TCustomForm::CMIconChanged(TMessage&) {
  if (FIcon->Empty()) IconChanged(nullptr);
}

void TCustomForm::WMActivateApp(TMessage& Message) {
  if (Application) Application->ActivateAppChanged(Message.WParam != 0);
  DefaultHandler(Message);
  NotifyAppActivationChanged(this, Message.WParam != 0);
}

// Sizing the window by hand keeps to the constraints.
void TCustomForm::WMGetMinMaxInfo(TMessage& Message) {
  DefaultHandler(Message);
  auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  if (!Info || ComponentState().Contains(csDesigning)) return;
  TSizeConstraints* C = Constraints();
  if (C->MinWidth() > 0) Info->ptMinTrackSize.X = C->MinWidth();
  if (C->MinHeight() > 0) Info->ptMinTrackSize.Y = C->MinHeight();
  if (C->MaxWidth() > 0) Info->ptMaxTrackSize.X = C->MaxWidth();
  if (C->MaxHeight() > 0) Info->ptMaxTrackSize.Y = C->MaxHeight();
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  if (FFormStyle == fsMDIForm && !ComponentState().Contains(csDesigning)) {
    CLIENTCREATESTRUCT Create{nullptr, 0xFF00};
    FClientHandle = CreateWindowEx(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                       MDIS_ALLCHILDSTYLES,
                                   0, 0, ClientWidth(), ClientHeight(), FHandle, nullptr, HInstance, &Create);
    if (!FClientHandle) RaiseLastOSError();
    Realign();
  }
  IconChanged(nullptr);
  if (FFormStyle == fsStayOnTop)
    SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  if (!ComponentState().Contains(csDesigning)) RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (!ComponentState().Contains(csDesigning)) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  TFormStyle Old = FFormStyle;
  FFormStyle = Value;
  if (FHandle && (Old == fsStayOnTop || Value == fsStayOnTop) && Old != fsMDIChild && Value != fsMDIChild) {
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  if (!ComponentState().Contains(csDesigning)) RecreateWnd();
  if (Value == fsMDIChild) SetVisible(true);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  static const int ShowCommands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  if (!ComponentState().Contains(csDesigning) && Showing()) ShowWindow(Handle(), ShowCommands[Value]);
}

HMONITOR TCustomForm::Monitor() { return MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST); }

// ---- Showing ----------------------------------------------------------------------------

void TCustomForm::Show() {
  AfterConstruction();
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

namespace {

// The work area of the monitor a rectangle lies on (or the nearest).
TRect WorkAreaAt(const TRect& R) {
  MONITORINFO I{};
  I.cbSize = sizeof I;
  if (GetMonitorInfo(MonitorFromRect(&R, MONITOR_DEFAULTTONEAREST), &I)) return TRect(I.rcWork);
  return Screen->WorkAreaRect();
}

}  // namespace

void TCustomForm::PositionOnShow() {
  Integer X, Y;
  TCustomForm* CenterForm = nullptr;
  // What the form is centred in decides the monitor whose work area it is
  // kept in: a form centred over a window half off the screen still shows
  // whole.
  TRect Work;
  switch (FPosition) {
    case poScreenCenter: {
      // The monitor of the main form, as a user expects the dialogs of a
      // program to come up where the program is.
      TCustomForm* Main = Application->MainForm();
      Work = WorkAreaAt(Main && Main != this && Main->HandleAllocated() ? Main->BoundsRect() : BoundsRect());
      X = Work.Left + (Work.Width() - FWidth) / 2;
      Y = Work.Top + (Work.Height() - FHeight) / 2;
      break;
    }
    case poDesktopCenter: {
      TRect Desktop = Screen->DesktopRect();
      X = Desktop.Left + (Desktop.Width() - FWidth) / 2;
      Y = Desktop.Top + (Desktop.Height() - FHeight) / 2;
      Work = Desktop;
      break;
    }
    case poMainFormCenter:
    case poOwnerFormCenter:
      CenterForm = Application->MainForm();
      if (FPosition == poOwnerFormCenter && dynamic_cast<TCustomForm*>(Owner()))
        CenterForm = static_cast<TCustomForm*>(Owner());
      if (CenterForm && CenterForm != this) {
        X = CenterForm->Left() + (CenterForm->Width() - FWidth) / 2;
        Y = CenterForm->Top() + (CenterForm->Height() - FHeight) / 2;
        Work = WorkAreaAt(CenterForm->BoundsRect());
      } else {
        Work = WorkAreaAt(BoundsRect());
        X = Work.Left + (Work.Width() - FWidth) / 2;
        Y = Work.Top + (Work.Height() - FHeight) / 2;
      }
      break;
    default:
      return;
  }
  // Inside the work area; the top left wins when the form is larger.
  X = std::max<Integer>(Work.Left, std::min<Integer>(X, Work.Right - FWidth));
  Y = std::max<Integer>(Work.Top, std::min<Integer>(Y, Work.Bottom - FHeight));
  SetBounds(X, Y, FWidth, FHeight);
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (FFormState.Contains(fsShowing))
    throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  FFormState += fsShowing;
  TControlLink Self(this);
  TScopeExit EndShowing([&] {
    if (Self) FFormState -= fsShowing;
  });
  if (Showing()) {
    try {
      DoShow();
    } catch (...) {
      Application->HandleException(this);
    }
    if (!Self) return;
    // The position is taken once, at the first show.
    PositionOnShow();
    if (FPosition != poDefault && FPosition != poDefaultPosOnly && FPosition != poDefaultSizeOnly)
      FPosition = poDesigned;
    static const int ShowCommands[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, ShowCommands[FWindowState]);
    // A document that shows becomes the active one.
    if (FFormStyle == fsMDIChild && FHandle)
      SendMessage(GetParent(FHandle), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
  } else {
    try {
      DoHide();
    } catch (...) {
      Application->HandleException(this);
    }
    if (!Self) return;
    if (FFormState.Contains(fsModal)) {
      SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      ShowWindow(FHandle, SW_HIDE);
    }
  }
}

// ---- Closing ----------------------------------------------------------------------------

bool TCustomForm::CloseQuery() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  return CanClose;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  TControlLink Self(this);
  if (!CloseQuery() || !Self) return;
  TCloseAction Action = FFormStyle == fsMDIChild ? (FBorderIcons.Contains(biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(Action);
  if (!Self || Action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (Action == caHide)
    Hide();
  else if (Action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction Action = caNone;
    if (CloseQuery()) {
      Action = caHide;
      DoClose(Action);
    }
    switch (Action) {
      case caNone:
        FModalResult = mrNone;
        break;
      case caFree:
        Release();
        break;
      default:
        break;
    }
  } catch (...) {
    FModalResult = mrNone;
    Application->HandleException(this);
  }
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !Enabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  AfterConstruction();
  CancelDrag();
  if (HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState += fsModal;
  HWND ActiveWindow = GetActiveWindow();
  const Integer SaveFocusCount = FFocusCount;
  Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
  Screen->FFocusedForm = this;
  const TCursor SaveCursor = Screen->Cursor();
  Screen->SetCursor(crDefault);
  const Integer SaveCount = Screen->FCursorCount;
  std::vector<HWND> WindowList = DisableTaskWindows();
  TControlLink Self(this);
  TModalResult Result = mrNone;
  TScopeExit Restore([&] {
    if (Screen->FCursorCount == SaveCount)
      Screen->SetCursor(SaveCursor);
    else
      Screen->SetCursor(crDefault);
    EnableTaskWindows(WindowList);
    auto& L = Screen->FSaveFocusedList;
    if (!L.empty()) {
      Screen->FFocusedForm = L.front();
      L.erase(L.begin());
    } else {
      Screen->FFocusedForm = nullptr;
    }
    if (ActiveWindow && IsWindow(ActiveWindow)) SetActiveWindow(ActiveWindow);
    if (Self) {
      FFocusCount = SaveFocusCount;
      FFormState -= fsModal;
    }
  });
  TScopeExit HideOnUnwind(seOnUnwind, [&] {
    if (Self && FVisible) Hide();
  });
  Show();
  SendMessage(Handle(), CM_ACTIVATE, 0, 0);
  FModalResult = mrNone;
  do {
    Application->HandleMessage();
    if (!Self) break;
    if (Application->Terminated())
      FModalResult = mrCancel;
    else if (FModalResult != mrNone)
      CloseModal();
  } while (Self && FModalResult == mrNone);
  if (Self) {
    Result = FModalResult;
    SendMessage(FHandle, CM_DEACTIVATE, 0, 0);
    if (GetActiveWindow() != FHandle) ActiveWindow = nullptr;
    Hide();
  }
  return Result;
}

// ---- Activation and focus ---------------------------------------------------------------------

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (Value) {
    if (!FActiveControl && !ComponentState().Contains(csDesigning))
      SetActiveControl(FindNextControl(nullptr, true, true, false));
    SetWindowFocus();
  }
}

void TCustomForm::SetWindowFocus() {
  HWND FocusHandle = FActiveControl ? FActiveControl->Handle() : Handle();
  if (FocusHandle && GetFocus() != FocusHandle) ::SetFocus(FocusHandle);
}

bool TCustomForm::CanFocus() { return FVisible && Enabled(); }

void TCustomForm::SetFocus() {
  if (FActive) return;
  if (!(FVisible && Enabled())) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (!(Control == nullptr ||
        (Control != this && GetParentForm(Control) == this &&
         (ComponentState().Contains(csLoading) || Control->CanFocus()))))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = Control;
  if (!ComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  const bool WasActive = FActive;
  SetActiveControl(Control);
  if (!WasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
  if (Control->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  // The focus going into a document form makes it the active document.
  if (FFormStyle == fsMDIChild && FHandle) {
    HWND Client = GetParent(FHandle);
    if (reinterpret_cast<HWND>(SendMessage(Client, WM_MDIGETACTIVE, 0, 0)) != FHandle)
      SendMessage(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
  }
  ++FFocusCount;
  if (Control != this)
    FActiveControl = Control;
  else
    FActiveControl = nullptr;
  Screen->FActiveControl = Control;
  Screen->FActiveCustomForm = this;
  auto& CF = Screen->FCustomForms;
  CF.erase(std::remove(CF.begin(), CF.end(), this), CF.end());
  CF.insert(CF.begin(), this);
  if (auto* F = dynamic_cast<TForm*>(this)) {
    Screen->FActiveForm = F;
    auto& FL = Screen->FForms;
    FL.erase(std::remove(FL.begin(), FL.end(), F), FL.end());
    FL.insert(FL.begin(), F);
  } else {
    Screen->FActiveForm = nullptr;
  }
  if (Control->FControlState.Contains(csFocusing)) return false;
  TControlLink ControlLink(Control);
  Control->FControlState += csFocusing;
  // Whether a handler moved the focus elsewhere while Msg was handled.
  const Integer Count = FFocusCount;
  auto SendFocusMessage = [&](HWND Window, UINT Msg) {
    SendMessage(Window, Msg, 0, 0);
    return FFocusCount == Count;
  };
  {
    TScopeExit EndFocusing([&] {
      if (ControlLink) Control->FControlState -= csFocusing;
    });
    if (Screen->FFocusedForm != this) {
      if (Screen->FFocusedForm) {
        HWND FocusHandle = Screen->FFocusedForm->Handle();
        Screen->FFocusedForm = nullptr;
        if (!SendFocusMessage(FocusHandle, CM_DEACTIVATE)) return false;
      }
      Screen->FFocusedForm = this;
      if (!SendFocusMessage(Handle(), CM_ACTIVATE)) return false;
    }
    if (!FFocusedControl) FFocusedControl = this;
    if (FFocusedControl != Control) {
      while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
        HWND FocusHandle = FFocusedControl->Handle();
        FFocusedControl = FFocusedControl->Parent();
        if (!SendFocusMessage(FocusHandle, CM_EXIT)) return false;
      }
      while (FFocusedControl != Control) {
        TWinControl* Temp = Control;
        while (Temp->Parent() != FFocusedControl) Temp = Temp->Parent();
        FFocusedControl = Temp;
        if (!SendFocusMessage(Temp->Handle(), CM_ENTER)) return false;
      }
      // The scrolling containers on the way bring the control into view.
      for (TWinControl* P = Control->Parent(); P; P = P->Parent())
        if (auto* S = dynamic_cast<TScrollingWinControl*>(P)) S->AutoScrollInView(Control);
      Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
  }
  Screen->UpdateLastActive();
  return true;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

// ---- Shortcuts and actions ------------------------------------------------------------------

namespace {

bool DispatchShortCut(TComponent* Owner, TMessage& Message) {
  for (Integer I = 0; I < Owner->ComponentCount(); ++I) {
    TComponent* C = Owner->Components(I);
    if (auto* List = dynamic_cast<TCustomActionList*>(C)) {
      if (List->IsShortCut(Message)) return true;
    } else if (DispatchShortCut(C, Message)) {
      return true;
    }
  }
  return false;
}

void UpdateActionLists(TComponent* Owner) {
  for (Integer I = 0; I < Owner->ComponentCount(); ++I) {
    TComponent* C = Owner->Components(I);
    if (auto* List = dynamic_cast<TCustomActionList*>(C)) {
      for (Integer J = 0; J < List->ActionCount(); ++J) List->Actions(J)->Update();
    } else {
      UpdateActionLists(C);
    }
  }
}

void TraverseClients(TWinControl* Container) {
  if (!Container->Showing()) return;
  for (Integer I = 0; I < Container->ControlCount(); ++I) {
    TControl* Control = Container->Controls(I);
    if (Control->ControlStyle().Contains(csActionClient) && Control->Visible()) Control->InitiateAction();
    auto* W = dynamic_cast<TWinControl*>(Control);
    if (W && W->ControlStyle().Contains(csAcceptsControls)) TraverseClients(W);
  }
}

}  // namespace

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool Handled = false;
  if (OnShortCut) OnShortCut(Message, Handled);
  return Handled || DispatchShortCut(this, Message);
}

void TCustomForm::UpdateActions() {
  if (ComponentState().Contains(csDesigning) || !Showing()) return;
  InitiateAction();
  UpdateActionLists(this);
  TraverseClients(this);
}

void TCustomForm::ReadDescription() { InitInheritedComponent(this, TForm::StaticClass()); }

// ---- MDI ------------------------------------------------------------------------------------

TForm* TCustomForm::ActiveMDIChild() {
  if (FFormStyle != fsMDIForm || !FClientHandle) return nullptr;
  return dynamic_cast<TForm*>(FindControl(reinterpret_cast<HWND>(SendMessage(FClientHandle, WM_MDIGETACTIVE, 0, 0))));
}

namespace {

std::vector<TForm*> DocumentsOf(HWND Client) {
  std::vector<TForm*> List;
  if (!Client || !Screen) return List;
  for (Integer I = 0; I < Screen->FormCount(); ++I) {
    TForm* F = Screen->Forms(I);
    if (F->FormStyle() == fsMDIChild && F->HandleAllocated() && GetParent(F->Handle()) == Client) List.push_back(F);
  }
  return List;
}

}  // namespace

Integer TCustomForm::MDIChildCount() {
  return FFormStyle == fsMDIForm ? static_cast<Integer>(DocumentsOf(FClientHandle).size()) : 0;
}

TForm* TCustomForm::MDIChildren(Integer Index) {
  std::vector<TForm*> List = FFormStyle == fsMDIForm ? DocumentsOf(FClientHandle) : std::vector<TForm*>();
  if (Index < 0 || static_cast<size_t>(Index) >= List.size())
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  return List[static_cast<size_t>(Index)];
}

void TCustomForm::Next() {
  if (FFormStyle == fsMDIForm && FClientHandle) SendMessage(FClientHandle, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (FFormStyle == fsMDIForm && FClientHandle) SendMessage(FClientHandle, WM_MDINEXT, 0, 1);
}

void TCustomForm::Cascade() {
  if (FFormStyle == fsMDIForm && FClientHandle) SendMessage(FClientHandle, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (FFormStyle == fsMDIForm && FClientHandle)
    SendMessage(FClientHandle, WM_MDITILE, FTileMode == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons() {
  if (FFormStyle == fsMDIForm && FClientHandle) SendMessage(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}
