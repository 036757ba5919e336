// TControl: state, appearance, text, parent, messages and dispatch; size
// constraints, weak links, the control action link and the drag objects.
#include "platform/forms/controls.h"

#include <cstring>

#include "platform/forms/forms.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"

RTL_IMPLEMENT_PUBLISHED(TSizeConstraints,
                        RTL_PROP(MaxHeight).Default(0),
                        RTL_PROP(MaxWidth).Default(0),
                        RTL_PROP(MinHeight).Default(0),
                        RTL_PROP(MinWidth).Default(0))
RTL_IMPLEMENT_CLASS(TDragObject)
RTL_IMPLEMENT_CLASS(TDragControlObject)
RTL_IMPLEMENT_PUBLISHED(TControl,
                        RTL_PROP(Left),
                        RTL_PROP(Top),
                        RTL_PROP(Width),
                        RTL_PROP(Height),
                        RTL_PROP(Cursor).Default(crDefault).Idents(CursorIdentMap()),
                        RTL_PROP(Hint).Stored<&Self::IsHintStored>(),
                        RTL_PROP(HelpType).Default(htContext),
                        RTL_PROP(HelpKeyword).Stored<&Self::IsHelpContextStored>(),
                        RTL_PROP(HelpContext).Default(0).Stored<&Self::IsHelpContextStored>())
RTL_IMPLEMENT_CLASS(TControlActionLink)

// ---- Cursor names ---------------------------------------------------------------

namespace {

const TIdentMapEntry kCursorIdents[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},   {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

}  // namespace

std::span<const TIdentMapEntry> CursorIdentMap() { return kCursorIdents; }

bool CursorToIdent(Integer Cursor, AnsiString& Ident) { return IntToIdent(Cursor, Ident, kCursorIdents); }

bool IdentToCursor(const AnsiString& Ident, Integer& Cursor) { return IdentToInt(Ident, Cursor, kCursorIdents); }

AnsiString CursorToString(TCursor Cursor) {
  AnsiString S;
  return CursorToIdent(Cursor, S) ? S : IntToStr(Cursor);
}

TCursor StringToCursor(const AnsiString& S) {
  Integer Result;
  if (!IdentToCursor(S, Result)) Result = StrToInt(S);
  return static_cast<TCursor>(Result);
}

// ---- Helpers --------------------------------------------------------------------

TAnchors AnchorAlign(TAlign Align) {
  switch (Align) {
    case alTop:
      return {akLeft, akTop, akRight};
    case alBottom:
      return {akLeft, akRight, akBottom};
    case alLeft:
      return {akLeft, akTop, akBottom};
    case alRight:
      return {akRight, akTop, akBottom};
    case alClient:
      return {akLeft, akTop, akRight, akBottom};
    case alNone:
    case alCustom:
      break;
  }
  return {akLeft, akTop};
}

TShiftState KeysToShiftState(Word Keys) {
  TShiftState Result;
  if (Keys & MK_SHIFT) Result += ssShift;
  if (Keys & MK_CONTROL) Result += ssCtrl;
  if (Keys & MK_LBUTTON) Result += ssLeft;
  if (Keys & MK_RBUTTON) Result += ssRight;
  if (Keys & MK_MBUTTON) Result += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) Result += ssAlt;
  return Result;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState Result;
  if (GetKeyState(VK_SHIFT) < 0) Result += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) Result += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) Result += ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) Result += ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) Result += ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) Result += ssMiddle;
  return Result;
}

bool IsAccel(Word VK, const AnsiString& Str) {
  // The character after a single "&" ("&&" is a literal ampersand).
  for (size_t i = 0; i + 1 < Str.size(); ++i) {
    if (Str[i] != '&') continue;
    if (Str[i + 1] == '&') {
      ++i;
      continue;
    }
    auto Up = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; };
    return Up(static_cast<unsigned char>(Str[i + 1])) == Up(static_cast<unsigned char>(VK & 0xFF));
  }
  return false;
}

AnsiString GetShortHint(const AnsiString& Hint) {
  size_t i = Hint.find('|');
  return i == AnsiString::npos ? Hint : Hint.substr(0, i);
}

AnsiString GetLongHint(const AnsiString& Hint) {
  size_t i = Hint.find('|');
  return i == AnsiString::npos ? Hint : Hint.substr(i + 1);
}

// ---- TSizeConstraints ----------------------------------------------------------------

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

void TSizeConstraints::AssignTo(TPersistent* Dest) {
  if (auto* d = dynamic_cast<TSizeConstraints*>(Dest)) {
    d->FMinHeight = FMinHeight;
    d->FMaxHeight = FMaxHeight;
    d->FMinWidth = FMinWidth;
    d->FMaxWidth = FMaxWidth;
    d->Change();
    return;
  }
  inherited::AssignTo(Dest);
}

void TSizeConstraints::SetMaxHeight(Integer Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
  Change();
}

void TSizeConstraints::SetMaxWidth(Integer Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
  Change();
}

void TSizeConstraints::SetMinHeight(Integer Value) {
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
  Change();
}

void TSizeConstraints::SetMinWidth(Integer Value) {
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
  Change();
}

// ---- Links and drag objects ----------------------------------------------------------

TControlLink::TControlLink(TControl* Control) {
  if (Control) FTarget = Control->FLink;
}

TControlLink TControl::Link() const { return TControlLink(const_cast<TControl*>(this)); }

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

TDragImageList* TDragObject::GetDragImages() { return nullptr; }

TDragImageList* TDragControlObject::GetDragImages() { return FControl->GetDragImages(); }

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (Accepted) return FControl->DragCursor();
  return inherited::GetDragCursor(Accepted, X, Y);
}

void TDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  if (!Accepted) {
    FControl->DragCanceled();
    Target = nullptr;
  }
  FControl->DoEndDrag(Target, X, Y);
}

// ---- TControl: life -----------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner),
      FConstraints(std::make_unique<TSizeConstraints>(this)),
      FFont(std::make_unique<TFont>()),
      FLink(std::make_shared<TControl*>(this)) {
  FWindowProc = TWndMethod(this, &TControl::WndProc);
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
  FConstraints->OnChange = TNotifyEvent(this, &TControl::DoConstraintsChange);
}

TControl::~TControl() {
  Destroying();
  DragSourceDestroyed();
  *FLink = nullptr;
  if (Application) Application->ControlDestroyed(this);
  if (Screen) Screen->ControlDestroyed(this);
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  SetParent(nullptr);
  FActionLink.reset();
}

void TControl::SetName(const AnsiString& NewName) {
  const bool ChangeText = FControlStyle.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                          Name() == GetText() &&
                          (!Owner() || !dynamic_cast<TControl*>(Owner()) ||
                           !Owner()->ComponentState().Contains(csLoading));
  inherited::SetName(NewName);
  if (ChangeText) SetText(NewName);
}

void TControl::Loaded() {
  inherited::Loaded();
  if (FActionLink && FActionLink->Action()) ActionChange(FActionLink->Action(), true);
  UpdateAnchorRules();
}

void TControl::ReadState(TReader* Reader) {
  FControlState += csReadingState;
  {
    TScopeExit EndReadingState([&] { FControlState -= csReadingState; });
    inherited::ReadState(Reader);
  }
  if (FParent) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  }
}

bool TControl::IsCaptionStored() const { return !(FActionLink && FActionLink->IsCaptionLinked()); }

bool TControl::IsEnabledStored() const { return !(FActionLink && FActionLink->IsEnabledLinked()); }

bool TControl::IsHintStored() const { return !(FActionLink && FActionLink->IsHintLinked()); }

bool TControl::IsHelpContextStored() const { return !(FActionLink && FActionLink->IsHelpContextLinked()); }

bool TControl::IsVisibleStored() const { return !(FActionLink && FActionLink->IsVisibleLinked()); }

bool TControl::IsOnClickStored() const { return !(FActionLink && FActionLink->IsOnExecuteLinked()); }

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
  }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

// ---- Messages -----------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage Message{Msg, WParam, LParam, 0};
  FWindowProc(Message);
  return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_CANCELMODE || (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST)) &&
      DragMouseMessage(Message))
    return;
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
      }
    }
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
        if (Application) {
          // Enter and leave first, so that the control under the mouse
          // hears of it before its first move.
          TControlLink Self(this);
          Application->MouseMessage(this, Message);
          if (!Self) return;
        }
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FDragMode == dmAutomatic) {
          BeginAutoDrag();
          return;
        }
        FControlState += csLButtonDown;
        break;
      case WM_LBUTTONUP:
        FControlState -= csLButtonDown;
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(Message); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); return;
    case WM_LBUTTONUP: WMLButtonUp(Message); return;
    case WM_RBUTTONDOWN: WMRButtonDown(Message); return;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(Message); return;
    case WM_RBUTTONUP: WMRButtonUp(Message); return;
    case WM_MBUTTONDOWN: WMMButtonDown(Message); return;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(Message); return;
    case WM_MBUTTONUP: WMMButtonUp(Message); return;
    case WM_MOUSEMOVE: WMMouseMove(Message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case WM_CANCELMODE: WMCancelMode(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    case CM_HITTEST: CMHitTest(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_COLORCHANGED: CMColorChanged(Message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); return;
    case CM_PARENTBIDIMODECHANGED: CMParentBiDiModeChanged(Message); return;
    case CM_BIDIMODECHANGED: CMBiDiModeChanged(Message); return;
    case CM_CURSORCHANGED: CMCursorChanged(Message); return;
    case CM_MOUSEWHEEL: CMMouseWheel(Message); return;
    case CM_HINTSHOW: CMHintShow(Message); return;
    case CM_DRAG: CMDrag(Message); return;
    default: DefaultHandler(Message); return;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      char* Buffer = reinterpret_cast<char*>(Message.LParam);
      size_t Size = static_cast<size_t>(Message.WParam);
      if (!Buffer || Size == 0) {
        Message.Result = 0;
        return;
      }
      size_t n = std::min(FText.size(), Size - 1);
      std::memcpy(Buffer, FText.data(), n);
      Buffer[n] = 0;
      Message.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(FText.size());
      return;
    case WM_SETTEXT: {
      const char* P = reinterpret_cast<const char*>(Message.LParam);
      FText = P ? P : "";
      Message.Result = 1;
      return;
    }
  }
}

// ---- Text ------------------------------------------------------------------------------

Integer TControl::GetTextLen() { return static_cast<Integer>(Perform(WM_GETTEXTLENGTH, 0, 0)); }

Integer TControl::GetTextBuf(char* Buffer, Integer BufSize) {
  return static_cast<Integer>(Perform(WM_GETTEXT, static_cast<WPARAM>(BufSize), reinterpret_cast<LPARAM>(Buffer)));
}

void TControl::SetTextBuf(const char* Buffer) {
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Buffer));
  Perform(CM_TEXTCHANGED, 0, 0);
}

AnsiString TControl::GetText() {
  Integer Len = GetTextLen();
  if (Len <= 0) return AnsiString();
  AnsiString S(static_cast<size_t>(Len) + 1, '\0');
  Integer Got = GetTextBuf(S.data(), Len + 1);
  S.resize(static_cast<size_t>(std::max(0, Got)));
  return S;
}

void TControl::SetText(const AnsiString& Value) {
  if (GetText() != Value) SetTextBuf(Value.c_str());
}

// ---- State ---------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  // A parent among the control's own descendants would make a cycle.
  for (TControl* p = AParent; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

void TControl::VisibleChanging() {}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  if (!ComponentState().Contains(csDesigning) || FVisible) SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign != Value) {
    TAlign OldAlign = FAlign;
    FAlign = Value;
    SetAnchors(AnchorAlign(Value));
    auto Edge = [](TAlign A) { return A != alNone && A != alClient && A != alCustom; };
    if (!ComponentState().Contains(csLoading) && (!ComponentState().Contains(csDesigning) || FParent)) {
      // Turning a top or bottom control into a left or right one (or back)
      // swaps its width and height.
      if (Edge(OldAlign) && Edge(Value) &&
          (OldAlign == alTop || OldAlign == alBottom) == (Value == alRight || Value == alLeft))
        SetBounds(FLeft, FTop, FHeight, FWidth);
      else
        AdjustSize();
    }
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  if (!ComponentState().Contains(csLoading)) UpdateAnchorRules();
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::SetDragMode(TDragMode Value) { FDragMode = Value; }

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (FParentBiDiMode == Value) return;
  FParentBiDiMode = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

LongInt TControl::DrawTextBiDiModeFlags(LongInt Flags) const {
  LongInt Result = Flags;
  if (UseRightToLeftAlignment()) {
    // DT_LEFT is no bit of its own: without DT_RIGHT or DT_CENTER the text
    // is left-aligned.
    if (Result & DT_RIGHT)
      Result &= ~static_cast<LongInt>(DT_RIGHT);
    else if (!(Result & DT_CENTER))
      Result |= DT_RIGHT;
  }
  return Result | DrawTextBiDiModeFlagsReadingOnly();
}

LongInt TControl::DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

void TControl::CMBiDiModeChanged(TMessage&) { Invalidate(); }

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (FParentBiDiMode && FParent) {
    SetBiDiMode(FParent->BiDiMode());
    FParentBiDiMode = true;
  }
}

TComponent* TControl::GetPopupMenu() { return FPopupMenu; }

void TControl::SetPopupMenu(TComponent* Value) {
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

// ---- Appearance --------------------------------------------------------------------

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont) return;
  if (Message.WParam != 0)
    FFont->Assign(reinterpret_cast<TFont*>(Message.LParam));
  else if (FParent)
    FFont->Assign(FParent->Font());
  FParentFont = true;
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor) return;
  if (Message.WParam != 0)
    SetColor(static_cast<TColor>(Message.LParam));
  else if (FParent)
    SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (FParentShowHint == Value) return;
  FParentShowHint = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (FParentShowHint && FParent) {
    SetShowHint(FParent->ShowHint());
    FParentShowHint = true;
  }
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::CMCursorChanged(TMessage&) {
  // The parent's window sets the cursor of a graphic child.
  if (GetCapture() != nullptr || !FParent || !FParent->HandleAllocated()) return;
  POINT P;
  if (GetCursorPos(&P) && FindDragTarget(P, false) == this)
    FParent->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(FParent->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  if (!ComponentState().Contains(csDesigning) || FControlStyle.Contains(csNoDesignVisible))
    InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::CMHintShow(TMessage&) {}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

// ---- Painting --------------------------------------------------------------------------

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!(IsVisible || (ComponentState().Contains(csDesigning) && !FControlStyle.Contains(csNoDesignVisible))))
    return;
  if (!FParent || !FParent->HandleAllocated()) return;
  RECT R = BoundsRect();
  InvalidateRect(FParent->Handle(), &R, !(IsOpaque || FParent->ControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FControlStyle.Contains(csOpaque)) {
    // An opaque control repaints over its own area without erasing.
    HWND Wnd = FParent->Handle();
    HDC DC = GetDC(Wnd);
    IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    FParent->PaintControls(DC, this);
    ReleaseDC(Wnd, DC);
  } else {
    Invalidate();
    Update();
  }
}

// ---- Mouse capture and coordinates ---------------------------------------------

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() != Value) SetCaptureControl(Value ? this : nullptr);
}

TPoint TControl::GetClientOrigin() {
  if (!FParent) throw EInvalidOperation(Format("Control '%s' has no parent window", {Name()}));
  TPoint R = FParent->ClientOrigin();
  R.X += FLeft;
  R.Y += FTop;
  return R;
}

TRect TControl::GetClientRect() { return TRect(0, 0, FWidth, FHeight); }

TPoint TControl::ClientToScreen(const TPoint& Point) {
  TPoint O = ClientOrigin();
  return TPoint(Point.X + O.X, Point.Y + O.Y);
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
  TPoint O = ClientOrigin();
  return TPoint(Point.X - O.X, Point.Y - O.Y);
}

TPoint TControl::ClientToParent(const TPoint& Point, TWinControl* AParent) {
  if (!AParent) AParent = FParent;
  if (!AParent) throw EInvalidOperation(Format("Control '%s' has no parent window", {Name()}));
  TPoint Result = Point;
  for (TControl* C = this; C != AParent; C = C->FParent) {
    if (!C) throw EInvalidOperation(Format("Parent given is not a parent of '%s'", {Name()}));
    Result.X += C->FLeft;
    Result.Y += C->FTop;
  }
  return Result;
}

TPoint TControl::ParentToClient(const TPoint& Point, TWinControl* AParent) {
  TPoint Origin = ClientToParent(TPoint(0, 0), AParent);
  return TPoint(Point.X - Origin.X, Point.Y - Origin.Y);
}

void TControl::SetClientWidth(Integer Value) { SetClientSize(TPoint(Value, ClientHeight())); }

void TControl::SetClientHeight(Integer Value) { SetClientSize(TPoint(ClientWidth(), Value)); }

void TControl::SetClientSize(TPoint Value) {
  TRect Client = GetClientRect();
  SetBounds(FLeft, FTop, FWidth - Client.Right + Value.X, FHeight - Client.Bottom + Value.Y);
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  SetZOrderPosition(TopMost ? static_cast<Integer>(FParent->FControls.size()) - 1 : 0);
}

void TControl::SetZOrderPosition(Integer Position) {
  if (!FParent) return;
  auto& List = FParent->FControls;
  auto It = std::find(List.begin(), List.end(), this);
  if (It == List.end()) return;
  Integer I = static_cast<Integer>(It - List.begin());
  Integer Count = static_cast<Integer>(List.size());
  Position = std::max(0, std::min(Position, Count - 1));
  if (Position == I) return;
  List.erase(It);
  List.insert(List.begin() + Position, this);
  InvalidateControl(FVisible, true);
}

// ---- Actions ------------------------------------------------------------------------

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TControlActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* Sender) {
  if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* A = dynamic_cast<TCustomAction*>(Sender);
  if (!A) return;
  if (!CheckDefaults || GetText().empty() || GetText() == Name()) SetText(A->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(A->Hint());
  if (!CheckDefaults || FHelpContext == 0) SetHelpContext(A->HelpContext());
  if (!CheckDefaults || FVisible) SetVisible(A->Visible());
  if (!CheckDefaults || !OnClick) OnClick = A->OnExecute();
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

// ---- TControlActionLink ---------------------------------------------------------------

TControlActionLink::TControlActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

void TControlActionLink::AssignClient(TObject* AClient) { FClient = dynamic_cast<TControl*>(AClient); }

bool TControlActionLink::IsCaptionLinked() {
  auto* A = dynamic_cast<TCustomAction*>(FAction);
  return TActionLink::IsCaptionLinked() && A && FClient->GetText() == A->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
  auto* A = dynamic_cast<TCustomAction*>(FAction);
  return TActionLink::IsEnabledLinked() && A && FClient->FEnabled == A->Enabled();
}

bool TControlActionLink::IsHintLinked() {
  auto* A = dynamic_cast<TCustomAction*>(FAction);
  return TActionLink::IsHintLinked() && A && FClient->FHint == A->Hint();
}

bool TControlActionLink::IsHelpContextLinked() {
  auto* A = dynamic_cast<TCustomAction*>(FAction);
  return TActionLink::IsHelpContextLinked() && A && FClient->FHelpContext == A->HelpContext();
}

bool TControlActionLink::IsVisibleLinked() {
  auto* A = dynamic_cast<TCustomAction*>(FAction);
  return TActionLink::IsVisibleLinked() && A && FClient->FVisible == A->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FAction && FClient->OnClick == FAction->OnExecute();
}

void TControlActionLink::SetCaption(const AnsiString& Value) {
  if (IsCaptionLinked()) FClient->SetText(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const AnsiString& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetHelpContext(THelpContext Value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}

void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) FClient->OnClick = Value;
}
