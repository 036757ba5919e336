// Mouse and keyboard handling of controls: clicks, capture, the wheel,
// context popups, enter and leave, dialog keys, focus and tab order.
#include <algorithm>
#include <cstdlib>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/rtl/scope_exit.h"

// ---- TControl: mouse -------------------------------------------------------------------

void TControl::SendCancelMode(TControl* Sender) {
  for (TControl* C = this; C; C = C->FParent)
    if (auto* F = dynamic_cast<TCustomForm*>(C)) F->SendCancelMode(Sender);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint P = SmallPointToPoint(Message.LParam);
  MouseDown(Button, KeysToShiftState(static_cast<Word>(Message.WParam)) + Shift, P.X, P.Y);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint P = SmallPointToPoint(Message.LParam);
  MouseUp(Button, KeysToShiftState(static_cast<Word>(Message.WParam)), P.X, P.Y);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

// A click whose handler is the action's runs the action (its update, its
// chain); a handler of the control's own runs as it is.
void TControl::Click() {
  TBasicAction* A = Action();
  if (OnClick && A && !(OnClick == A->OnExecute()))
    OnClick(this);
  else if (!ComponentState().Contains(csDesigning) && FActionLink)
    FActionLink->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// A press: cancel other modes, capture, remember the click, tell the
// handlers. Each step checks that the control survived the one before.
void TControl::WMLButtonDown(TMessage& Message) {
  TControlLink Self(this);
  SendCancelMode(this);
  if (!Self) return;
  DefaultHandler(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState += csClicked;
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  TControlLink Self(this);
  SendCancelMode(this);
  if (!Self) return;
  DefaultHandler(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) {
    DblClick();
    if (!Self) return;
  }
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
  TControlLink Self(this);
  DefaultHandler(Message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState -= csClicked;
    if (GetClientRect().Contains(SmallPointToPoint(Message.LParam))) {
      Click();
      if (!Self) return;
    }
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& Message) {
  TControlLink Self(this);
  SendCancelMode(this);
  if (!Self) return;
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonDblClk(TMessage& Message) {
  TControlLink Self(this);
  SendCancelMode(this);
  if (!Self) return;
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMRButtonUp(TMessage& Message) {
  TControlLink Self(this);
  DefaultHandler(Message);
  if (!Self) return;
  DoMouseUp(Message, mbRight);
}

void TControl::WMMButtonDown(TMessage& Message) {
  TControlLink Self(this);
  SendCancelMode(this);
  if (!Self) return;
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonDblClk(TMessage& Message) {
  TControlLink Self(this);
  SendCancelMode(this);
  if (!Self) return;
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {ssDouble});
}

void TControl::WMMButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TMessage& Message) {
  DefaultHandler(Message);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint P = SmallPointToPoint(Message.LParam);
  MouseMove(KeysToShiftState(static_cast<Word>(Message.WParam)), P.X, P.Y);
}

void TControl::WMCancelMode(TMessage& Message) {
  DefaultHandler(Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    // A press that capture was waiting on ends outside the control.
    if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, PointToSmallPoint(TPoint(-1, -1)));
  } else {
    FControlState -= csLButtonDown;
  }
}

// The message's control is the one the mouse entered (the receiver itself
// when LParam is 0); the parents hear of it with that control.
void TControl::CMMouseEnter(TMessage& Message) {
  LPARAM Target = Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this);
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, Target);
  if (Target == reinterpret_cast<LPARAM>(this)) MouseEnter();
}

void TControl::CMMouseLeave(TMessage& Message) {
  LPARAM Target = Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this);
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, Target);
  if (Target == reinterpret_cast<LPARAM>(this)) MouseLeave();
}

// ---- TControl: wheel and context popup ------------------------------------------------

void TControl::WMMouseWheel(TMessage& Message) {
  // CM_MOUSEWHEEL carries the shift state in the low word of WParam.
  TShiftState Shift = KeysToShiftState(LOWORD(Message.WParam));
  WPARAM W = MAKEWPARAM(static_cast<WORD>(Shift.ToBits()), HIWORD(Message.WParam));
  Message.Result = Perform(CM_MOUSEWHEEL, W, Message.LParam);
  if (Message.Result == 0) DefaultHandler(Message);
}

void TControl::CMMouseWheel(TMessage& Message) {
  TShiftState Shift = TShiftState::FromBits(LOWORD(Message.WParam));
  Integer Delta = static_cast<SHORT>(HIWORD(Message.WParam));
  TControlLink Self(this);
  Message.Result = 0;
  if (DoMouseWheel(Shift, Delta, SmallPointToPoint(Message.LParam))) {
    Message.Result = 1;
  } else if (Self && FParent) {
    Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  }
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  bool Result = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, Result);
  if (Result) return true;
  // Fine-grained wheels send less than a notch: the notches add up.
  FWheelAccumulator += WheelDelta;
  while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
    bool IsNeg = FWheelAccumulator < 0;
    FWheelAccumulator = std::abs(FWheelAccumulator) - WHEEL_DELTA;
    if (IsNeg) {
      FWheelAccumulator = -FWheelAccumulator;
      Result = DoMouseWheelDown(Shift, MousePos);
    } else {
      Result = DoMouseWheelUp(Shift, MousePos);
    }
  }
  return Result;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool Result = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, Result);
  return Result;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool Result = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, Result);
  return Result;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

// From the keyboard the position is (-1, -1); the handlers then get
// (-1, -1) too.
void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0 || ComponentState().Contains(csDesigning)) return;
  TPoint Pt = SmallPointToPoint(Message.LParam);
  TPoint Temp = Pt;
  const bool FromKeyboard = Pt.X == -1 && Pt.Y == -1;
  if (!FromKeyboard) {
    Temp = ScreenToClient(Pt);
    if (!GetClientRect().Contains(Temp)) {
      DefaultHandler(Message);
      return;
    }
  }
  bool Handled = false;
  TControlLink Self(this);
  DoContextPopup(Temp, Handled);
  if (!Self) return;
  Message.Result = Handled ? 1 : 0;
  if (!Handled) {
    TComponent* Menu = GetPopupMenu();
    const TPopupMenuHooks& Hooks = PopupMenuHooks();
    if (Menu && Hooks.Popup) {
      SendCancelMode(nullptr);
      if (Self && Hooks.Popup(Menu, this, FromKeyboard ? ClientToScreen(TPoint(0, 0)) : Pt)) {
        if (Self) Message.Result = 1;
        return;
      }
      if (!Self) return;
    }
  }
  // Unhandled, the parents get their turn.
  if (Message.Result == 0) DefaultHandler(Message);
}

// ---- TWinControl: keys -----------------------------------------------------------------

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

// The form sees the key first when it previews keys; a handler that sets
// the key to 0 takes it.
bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->KeyPreview() && Form->DoKeyDown(Message)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word Key = static_cast<Word>(Message.WParam);
    KeyDown(Key, KeyDataToShiftState(Message.LParam));
    Message.WParam = Key;
    if (Key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->KeyPreview() && Form->DoKeyUp(Message)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word Key = static_cast<Word>(Message.WParam);
    KeyUp(Key, KeyDataToShiftState(Message.LParam));
    Message.WParam = Key;
    if (Key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->KeyPreview() && Form->DoKeyPress(Message)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    char Ch = static_cast<char>(Message.WParam);
    KeyPress(Ch);
    Message.WParam = static_cast<unsigned char>(Ch);
    if (Ch == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

TPopupMenuHooks& PopupMenuHooks() {
  static TPopupMenuHooks Hooks;
  return Hooks;
}

bool TWinControl::IsMenuKey(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning)) {
    const TPopupMenuHooks& Hooks = PopupMenuHooks();
    if (Hooks.IsShortCut)
      for (TControl* C = this; C; C = C->FParent)
        if (TComponent* Menu = C->GetPopupMenu())
          if (Hooks.IsShortCut(Menu, Message)) return true;
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form->IsShortCut(Message)) return true;
  }
  return Application && Application->IsShortCut(Message);
}

// Before the key message itself: shortcuts, the parents (CM_CHILDKEY),
// then the form's dialog keys (Tab, arrows, Enter, Esc) unless the control
// wants the key.
void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    Word CharCode = static_cast<Word>(Message.WParam);
    if (Perform(CM_CHILDKEY, CharCode, reinterpret_cast<LPARAM>(this)) != 0) return;
    UINT Mask = 0;
    switch (CharCode) {
      case VK_TAB:
        Mask = DLGC_WANTTAB;
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        Mask = DLGC_WANTARROWS;
        break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL:
        Mask = DLGC_WANTALLKEYS;
        break;
    }
    if (Mask != 0 && Perform(CM_WANTSPECIALKEY, CharCode, Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & Mask) == 0) {
      TCustomForm* Form = GetParentForm(this);
      if (Form && Form->Perform(CM_DIALOGKEY, CharCode, Message.LParam) != 0) return;
    }
  }
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message) {
  if (ComponentState().Contains(csDesigning)) return;
  switch (static_cast<Word>(Message.WParam)) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      Message.Result = Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam);
      break;
  }
}

void TWinControl::CNChar(TMessage& Message) {
  if (ComponentState().Contains(csDesigning)) return;
  Message.Result = 1;
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

// Alt plus a character: the form's controls look for their accelerator.
void TWinControl::CNSysChar(TMessage& Message) {
  if (ComponentState().Contains(csDesigning) || Message.WParam == VK_SPACE) return;
  TCustomForm* Form = GetParentForm(this);
  if (Form) Message.Result = Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
}

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMChildKey(TMessage& Message) {
  if (FParent) Message.Result = FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

// ---- TWinControl: focus ----------------------------------------------------------------

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

void TWinControl::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

bool TWinControl::CanFocus() {
  TCustomForm* Form = GetParentForm(this);
  if (!Form) return false;
  for (TControl* C = this; C != Form; C = C->FParent)
    if (!(C->FVisible && C->Enabled())) return false;
  return true;
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  TCustomForm* Form = GetParentForm(this);
  if (Form)
    Form->FocusControl(this);
  else if (FParentWindow)
    ::SetFocus(Handle());
  else
    ValidParentForm(this);
}

void TWinControl::RemoveFocus(bool Removing) {
  TCustomForm* Form = GetParentForm(this);
  if (Form) Form->DefocusControl(this, Removing);
}

void TWinControl::SelectFirst() {
  TCustomForm* Form = GetParentForm(this);
  if (!Form) return;
  TWinControl* Control = FindNextControl(nullptr, true, true, false);
  if (!Control) Control = FindNextControl(nullptr, true, false, false);
  if (Control) Form->SetActiveControl(Control);
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
  if (Next) Next->SetFocus();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* C : FTabList) {
    List.push_back(C);
    C->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> List;
  GetTabOrderList(List);
  return rtl::detail::FindCyclic(List, CurControl, GoForward, [&](TWinControl* C) {
    return C->CanFocus() && (!CheckTabStop || C->FTabStop) && (!CheckParent || C->FParent == this);
  });
}

Integer TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& L = FParent->FTabList;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<Integer>(It - L.begin());
}

void TWinControl::SetTabOrder(Integer Value) {
  if (ComponentState().Contains(csReading))
    FTabOrderLoading = Value;
  else
    UpdateTabOrder(Value);
}

void TWinControl::FixupTabList() {
  const Integer Count = static_cast<Integer>(FWinControls.size());
  std::vector<TWinControl*> List(static_cast<size_t>(Count), nullptr);
  for (TWinControl* C : FWinControls) {
    Integer J = C->FTabOrderLoading;
    if (J >= 0 && J < Count) List[static_cast<size_t>(J)] = C;
    C->FTabOrderLoading = -1;
  }
  for (Integer I = 0; I < Count; ++I)
    if (TWinControl* C = List[static_cast<size_t>(I)]) C->UpdateTabOrder(I);
}

void TWinControl::ReadState(TReader* Reader) {
  DisableAlign();
  {
    TScopeExit EnableAlignOnExit([&] { EnableAlign(); });
    inherited::ReadState(Reader);
  }
  FixupTabList();
  if (FParent) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
  UpdateControlState();
}

void TWinControl::UpdateTabOrder(Integer Value) {
  Integer CurIndex = TabOrder();
  if (CurIndex < 0) return;
  auto& L = FParent->FTabList;
  Integer Count = static_cast<Integer>(L.size());
  Value = std::max(0, std::min(Value, Count - 1));
  if (Value == CurIndex) return;
  L.erase(L.begin() + CurIndex);
  L.insert(L.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FHandle) {
    LONG Style = GetWindowLong(FHandle, GWL_STYLE);
    SetWindowLong(FHandle, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~static_cast<LONG>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

// A graphic child under the mouse gets the context popup first.
void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint Pt = SmallPointToPoint(Message.LParam);
  if (!(Pt.X == -1 && Pt.Y == -1))
    if (TControl* C = ControlAtPos(ScreenToClient(Pt), false))
      Message.Result = C->Perform(WM_CONTEXTMENU, 0, Message.LParam);
  if (Message.Result == 0) inherited::WMContextMenu(Message);
}
