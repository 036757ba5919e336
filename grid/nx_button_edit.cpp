#include "grid/nx_button_edit.h"

#include "grid/nx_popup_control.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/forms.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TNxSmallButton)
RTL_IMPLEMENT_CLASS(TNxExecuteButton)
RTL_IMPLEMENT_CLASS(TDropDownButton)
RTL_IMPLEMENT_CLASS(TNxCustomButtonEdit)

// ---- TNxSmallButton ------------------------------------------------------------------

TNxSmallButton::TNxSmallButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() + csCaptureMouse);
}

TNxSmallButton::~TNxSmallButton() {
  if (FTheme && NxThemesSupport::CloseThemeData) NxThemesSupport::CloseThemeData(FTheme);
  FTheme = nullptr;
}

void TNxSmallButton::CreateWnd() {
  TCustomControl::CreateWnd();
  if (FTheme && NxThemesSupport::CloseThemeData) NxThemesSupport::CloseThemeData(FTheme);
  FTheme = nullptr;
  if (IsThemed() && NxThemesSupport::OpenThemeData)
    FTheme = NxThemesSupport::OpenThemeData(Handle(), reinterpret_cast<LPCWSTR>(ThemeClass()));
}

void TNxSmallButton::DestroyWnd() {
  // The handle belongs to the window going away.
  if (FTheme && NxThemesSupport::CloseThemeData) NxThemesSupport::CloseThemeData(FTheme);
  FTheme = nullptr;
  TCustomControl::DestroyWnd();
}

void TNxSmallButton::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_THEMECHANGED) {
    // A handle of the style that went is useless under the next one, so it
    // is closed whether or not a style follows.
    if (FTheme && NxThemesSupport::CloseThemeData) NxThemesSupport::CloseThemeData(FTheme);
    FTheme = nullptr;
    if (IsThemed() && HandleAllocated() && NxThemesSupport::OpenThemeData)
      FTheme = NxThemesSupport::OpenThemeData(Handle(), reinterpret_cast<LPCWSTR>(ThemeClass()));
    Invalidate();
  }
  TCustomControl::Dispatch(Message);
}

bool TNxSmallButton::EditEnabled() const { return !FEdit || FEdit->Enabled(); }

Integer TNxSmallButton::ThemeState() {
  if (!EditEnabled()) return 4;
  if (FDown) return 3;
  if (FHover) return 2;
  return 1;
}

void TNxSmallButton::SetDown(bool Value) {
  FDown = Value;
  Invalidate();
}

void TNxSmallButton::SetHover(bool Value) {
  if (FHover == Value) return;
  FHover = Value;
  Invalidate();
}

void TNxSmallButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FEdit && FEdit->Visible() && FEdit->CanFocus()) FEdit->SetFocus();
  SetDown(true);
  if (OnPress) OnPress(this);
}

void TNxSmallButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FDown) return;
  SetDown(false);
  Repaint();
  if (OnRelease) OnRelease(this);
}

void TNxSmallButton::MouseEnter() {
  TCustomControl::MouseEnter();
  if (!ComponentState().Contains(csDesigning)) {
    FHover = true;
    Invalidate();
  }
}

void TNxSmallButton::MouseLeave() {
  TCustomControl::MouseLeave();
  if (!ComponentState().Contains(csDesigning)) {
    FHover = false;
    Invalidate();
  }
}

// ---- TNxExecuteButton ----------------------------------------------------------------

TNxExecuteButton::TNxExecuteButton(TComponent* AOwner) : TNxSmallButton(AOwner) { SetWidth(21); }

void TNxExecuteButton::Paint() {
  TRect R = ClientRect();
  HDC DC = Canvas()->Handle();
  if (IsThemed() && FTheme && NxThemesSupport::DrawThemeBackground) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    RECT T = R;
    InflateRect(&T, 1, 1);
    NxThemesSupport::DrawThemeBackground(FTheme, DC, 1, ThemeState(), &T, nullptr);
    return;
  }
  if (Down()) {
    Canvas()->Brush()->SetColor(clBtnFace);
    Canvas()->Pen()->SetColor(clBtnShadow);
    Canvas()->Rectangle(R);
    return;
  }
  RECT F = R;
  DrawFrameControl(DC, &F, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (EditEnabled() ? 0 : DFCS_INACTIVE));
}

// ---- TDropDownButton -----------------------------------------------------------------

TDropDownButton::TDropDownButton(TComponent* AOwner) : TNxSmallButton(AOwner) { SetWidth(16); }

void TDropDownButton::Paint() {
  const TRect R = ClientRect();
  HDC DC = Canvas()->Handle();
  Canvas()->Brush()->SetColor(clWindow);
  Canvas()->FillRect(R);
  if (IsThemed() && FTheme && NxThemesSupport::DrawThemeBackground) {
    RECT T = R;
    NxThemesSupport::DrawThemeBackground(FTheme, DC, 1, ThemeState(), &T, nullptr);
    return;
  }
  RECT F = R;
  UINT State = DFCS_SCROLLCOMBOBOX | DFCS_ADJUSTRECT;
  if (Down()) State |= DFCS_PUSHED;
  if (!EditEnabled()) State |= DFCS_INACTIVE;
  DrawFrameControl(DC, &F, DFC_SCROLL, State);
}

// ---- TNxCustomButtonEdit -------------------------------------------------------------

TNxCustomButtonEdit::TNxCustomButtonEdit(TComponent* AOwner) : TNxEdit(AOwner) {}

TNxCustomButtonEdit::~TNxCustomButtonEdit() {
  delete FPopup;
  FPopup = nullptr;
}

void TNxCustomButtonEdit::Init() {
  FButton = dynamic_cast<TNxSmallButton*>(CreateInstance(ButtonClass(), this));
  if (!FButton) FButton = new TNxExecuteButton(this);
  FButton->SetEdit(this);
  FButton->SetVisible(false);
  FButton->SetParent(this);
  FButton->OnPress = TNotifyEvent(this, &TNxCustomButtonEdit::ButtonPressed);
  FButton->OnRelease = TNotifyEvent(this, &TNxCustomButtonEdit::ButtonReleased);
  CreatePopup();
}

TClass TNxCustomButtonEdit::ButtonClass() { return TNxExecuteButton::StaticClass(); }

TClass TNxCustomButtonEdit::PopupClass() { return TNxPopupControl::StaticClass(); }

void TNxCustomButtonEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PASTE && FOptions.Contains(epDisablePaste)) return;
  TNxEdit::Dispatch(Message);
}

void TNxCustomButtonEdit::CreateWnd() {
  TNxEdit::CreateWnd();
  UpdateMargins();
  UpdateButton();
}

void TNxCustomButtonEdit::Resize() {
  TNxEdit::Resize();
  UpdateButton();
}

void TNxCustomButtonEdit::WMWindowPosChanged(TMessage& Message) {
  TNxEdit::WMWindowPosChanged(Message);
  if (FButton) FButton->Invalidate();
  Invalidate();
}

void TNxCustomButtonEdit::MouseEnter() {
  if (FButton && !ComponentState().Contains(csDesigning)) FButton->SetHover(true);
}

void TNxCustomButtonEdit::MouseLeave() {
  if (FButton && !ComponentState().Contains(csDesigning)) FButton->SetHover(false);
}

void TNxCustomButtonEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (FOptions.Contains(epDisableTyping) && (Key == VK_BACK || Key == VK_CLEAR || Key == VK_DELETE)) {
    Key = 0;
    return;
  }
  TNxEdit::KeyDown(Key, Shift);
}

void TNxCustomButtonEdit::KeyPress(char& Key) {
  if (FOptions.Contains(epDisableTyping)) {
    Key = 0;
    return;
  }
  TNxEdit::KeyPress(Key);
}

void TNxCustomButtonEdit::ButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
}

void TNxCustomButtonEdit::ButtonDown() {
  if (OnButtonDown) OnButtonDown(this);
}

void TNxCustomButtonEdit::ApplyPopupValue(TObject* /*Sender*/, const AnsiString& Value) {
  SetEditText(Value);
  if (FPopup) FPopup->Hide();
  if (FButton) {
    FButton->SetHover(false);
    FButton->SetDown(false);
  }
}

void TNxCustomButtonEdit::ReleaseButton(TObject* /*Sender*/) {
  if (FButton) FButton->SetDown(false);
}

void TNxCustomButtonEdit::UpdateButton() {
  Invalidate();
  if (!FButton) return;
  const Integer W = FButton->ButtonWidth();
  FButton->SetBounds(ClientWidth() - W, 0, W, ClientHeight());
  FButton->SetVisible(FShowButton);
  if (FShowButton) FButton->BringToFront();
  FButton->Invalidate();
}

void TNxCustomButtonEdit::SetShowButton(bool Value) {
  FShowButton = Value;
  if (FButton) FButton->SetVisible(Value);
  UpdateButton();
  UpdateMargins();
}

void TNxCustomButtonEdit::AdjustMargins(Integer& Left, Integer& Right) {
  TNxEdit::AdjustMargins(Left, Right);
  Right = FShowButton && FButton ? FButton->ButtonWidth() : 0;
}

void TNxCustomButtonEdit::PrepareEdit() {
  TNxEdit::PrepareEdit();
  if (FButton) FButton->Invalidate();
}

// ---- TNxPopupEdit --------------------------------------------------------------------

TNxPopupEdit::TNxPopupEdit(TComponent* AOwner, int /*Deferred*/) : TNxCustomButtonEdit(AOwner) {}

TClass TNxPopupEdit::ButtonClass() { return TDropDownButton::StaticClass(); }

void TNxPopupEdit::CreatePopup() {
  FPopup = dynamic_cast<TNxPopupControl*>(CreateInstance(PopupClass(), this));
  if (!FPopup) return;
  FPopup->SetVisible(false);
  FPopup->OnHide = TNotifyEvent(this, &TNxPopupEdit::ReleaseButton);
  FPopup->OnSelectValue = TPopupSelectEvent(this, &TNxPopupEdit::ApplyPopupValue);
}

TPoint TNxPopupEdit::PopupPoint() { return ClientToScreen(TPoint(-1, ClientHeight())); }

void TNxPopupEdit::ButtonDown() {
  TNxCustomButtonEdit::ButtonDown();
  if (!FPopup) return;
  const TPoint P = PopupPoint();
  FPopup->Font()->Assign(Font());
  FPopup->SetWidth(Width());
  FPopup->SetText(Text());
  FPopup->SetCursor(Cursor());
  BeforePopup(P);
  SetDroppedDown(true);
}

void TNxPopupEdit::SetDroppedDown(bool Value) {
  if (Value == FDroppedDown) return;
  // A popup edit whose popup was never made has nothing to open.
  if (!FPopup) return;
  if (Value) {
    FDroppedDown = true;
    const TPoint P = PopupPoint();
    FPopup->Font()->Assign(Font());
    FPopup->SetWidth(Width());
    FPopup->SetText(Text());
    BeforePopup(P);
    FPopup->Popup(P.X, P.Y);
    if (FStyle == dsDropDownList) Invalidate();
    return;
  }
  FDroppedDown = false;
  FPopup->SetSuppressHide(true);
  ReleaseCapture();
  if (FButton) FButton->SetDown(false);
  if (FPopup->HandleAllocated()) ShowWindow(FPopup->Handle(), SW_HIDE);
  FPopup->SetVisible(false);
  FPopup->SetShown(false);
  CloseUp();
}

void TNxPopupEdit::ApplyPopupValue(TObject* Sender, const AnsiString& Value) {
  Select();
  TNxCustomButtonEdit::ApplyPopupValue(Sender, Value);
}

void TNxPopupEdit::SetStyle(TDropDownStyle Value) {
  FStyle = Value;
  if (Value == dsDropDown) {
    SetReadOnly(false);
    SetCursor(crDefault);
  } else {
    SetReadOnly(true);
    SetCursor(crArrow);
  }
  UpdateMargins();
  Invalidate();
}

void TNxPopupEdit::SetDrawingOptions(TDrawingOptions Value) {
  FDrawingOptions = Value;
  Invalidate();
}

void TNxPopupEdit::SetHideFocus(bool Value) {
  FHideFocus = Value;
  Invalidate();
}

void TNxPopupEdit::InfoMouseDown(TObject* /*Sender*/, TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  MouseDown(Button, Shift, X + Info()->Left(), Y + Info()->Top());
}

void TNxPopupEdit::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TNxPopupEdit::DoPaint() {
  if (OnPaint) OnPaint(this);
}

void TNxPopupEdit::Select() {
  if (OnSelect) OnSelect(this);
}

void TNxPopupEdit::KeyDown(Word& Key, TShiftState Shift) {
  TNxCustomButtonEdit::KeyDown(Key, Shift);
  if ((Key == VK_UP || Key == VK_DOWN) && Shift.Contains(ssAlt)) {
    if (FDroppedDown)
      SetDroppedDown(false);
    else
      SetDroppedDown(true);
  } else if (Key == VK_RETURN) {
    SetDroppedDown(false);
  }
}

void TNxPopupEdit::KeyPress(char& Key) {
  TNxCustomButtonEdit::KeyPress(Key);
  if (Key == '\x1B' && FDroppedDown && FPopup) FPopup->Hide();
}

void TNxPopupEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxCustomButtonEdit::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && FStyle == dsDropDownList && !FDroppedDown) {
    ButtonDown();
    if (FButton) FButton->SetDown(true);
  }
}

void TNxPopupEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TNxCustomButtonEdit::MouseMove(Shift, X, Y);
  SetCursor(FStyle == dsDropDownList ? crArrow : crDefault);
}

void TNxPopupEdit::WMSetFocus(TMessage& Message) {
  TNxCustomButtonEdit::WMSetFocus(Message);
  if (FStyle == dsDropDownList) DestroyCaret();
  Invalidate();
}

void TNxPopupEdit::WMKillFocus(TMessage& Message) {
  TNxCustomButtonEdit::WMKillFocus(Message);
  SetDroppedDown(false);
  if (FButton) FButton->Invalidate();
  Invalidate();
}

void TNxPopupEdit::VisibleChanging() {
  TNxCustomButtonEdit::VisibleChanging();
  SetDroppedDown(false);
}

void TNxPopupEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      // List style paints its own background; the edit class fills its own.
      Message.Result = FStyle == dsDropDownList ? 1 : 0;
      return;
    case WM_SHOWWINDOW:
      TNxCustomButtonEdit::Dispatch(Message);
      if (!ComponentState().Contains(csDestroying)) SetDroppedDown(false);
      return;
    default: TNxCustomButtonEdit::Dispatch(Message); return;
  }
}

TColor TNxPopupEdit::FocusColor() {
  if (!TextColumnEditor() && FStyle == dsDropDownList && Focused()) return clHighlight;
  return Color();
}

void TNxPopupEdit::PaintText() {
  TControlCanvas* C = PaintCanvas();
  if (!C || !HandleAllocated()) return;
  const Integer ButtonW = FButton && ShowButton() ? FButton->ButtonWidth() : 0;
  const TRect R(0, 0, ClientWidth() - ButtonW, ClientHeight());
  C->Font()->Assign(Font());
  const bool ShowFocus = Focused() && !FHideFocus;
  if (!ShowFocus) {
    C->Brush()->SetColor(Color());
    if (FDrawingOptions != doCustomOnly) C->FillRect(R);
  } else {
    C->Brush()->SetColor(FocusColor());
    if (!TextColumnEditor()) C->Font()->SetColor(clHighlightText);
    if (FDrawingOptions != doCustomOnly) C->FillRect(R);
    if (!TextColumnEditor()) TGraphicsProvider::DrawFocusFrame(C, R, false);
  }
  TRect T = R;
  T.Left += EditMargins()->Left() + (Info()->Visible() ? Info()->Width() : 0);
  T.Right -= EditMargins()->Right();
  if (BorderStyle() == bsSingle) {
    RECT S = T;
    InflateRect(&S, -BorderWidth(), -BorderWidth());
    InflateRect(&S, -2, -2);
    T = S;
  }
  if (!Enabled()) C->Font()->SetColor(clGrayText);
  if (FDrawingOptions != doBackgroundOnly && FDrawingOptions != doCustomOnly)
    TGraphicsProvider::DrawTextRectEx(C, T, Alignment(), taAlignTop, false, AnsiToWide(Text()), BiDiMode());
  DoPaint();
  C->FreeHandle();
}

RTL_IMPLEMENT_PUBLISHED(TNxButtonEdit,
                        RTL_EVENT(OnButtonClick),
                        RTL_EVENT(OnButtonDown),
                        RTL_PROP(Options).Default({}),
                        RTL_PROP(ShowButton).Default(true))
RTL_IMPLEMENT_PUBLISHED(TNxPopupEdit,
                        RTL_PROP(DrawingOptions).Default(doNormal),
                        RTL_PROP(HideFocus).Default(false),
                        RTL_EVENT(OnButtonClick),
                        RTL_EVENT(OnButtonDown),
                        RTL_EVENT(OnCloseUp),
                        RTL_EVENT(OnPaint),
                        RTL_EVENT(OnSelect),
                        RTL_PROP(Options).Default({}),
                        RTL_PROP(ShowButton).Default(true),
                        RTL_PROP(Style).Default(dsDropDown))
