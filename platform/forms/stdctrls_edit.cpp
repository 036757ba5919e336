// Edits and memos over the "EDIT" window class.
#include <algorithm>

#include "platform/forms/stdctrls.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_CLASS(TCustomEdit)
RTL_IMPLEMENT_PUBLISHED(TEdit,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AutoSelect).Default(true),
                        RTL_PROP(AutoSize).Default(true),
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_PROP(CharCase).Default(ecNormal),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(HideSelection).Default(true),
                        RTL_PROP(MaxLength).Default(0),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(PasswordChar).Default('\0'),
                        RTL_PROP(ReadOnly).Default(false),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(Text),
                        RTL_EVENT(OnChange),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)
RTL_IMPLEMENT_CLASS(TMemoStrings)
RTL_IMPLEMENT_CLASS(TCustomMemo)
RTL_IMPLEMENT_PUBLISHED(TMemo,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(HideSelection).Default(true),
                        RTL_PROP(Lines),
                        RTL_PROP(MaxLength).Default(0),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(ReadOnly).Default(false),
                        RTL_PROP(ScrollBars).Default(ssNone),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(WantReturns).Default(true),
                        RTL_PROP(WantTabs).Default(false),
                        RTL_PROP(WordWrap).Default(true),
                        RTL_EVENT(OnChange),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)

// ---- TCustomEdit --------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetAutoSize(true);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  static constexpr DWORD CharCases[] = {0, ES_UPPERCASE, ES_LOWERCASE};
  inherited::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | CharCases[FCharCase];
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomEdit::CreateWnd() {
  // The window may tell of its first text; that is no change.
  FCreating = true;
  {
    TScopeExit EndCreating([&] { FCreating = false; });
    inherited::CreateWnd();
  }
  HWND H = Handle();
  SendMessage(H, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  SendMessage(H, EM_SETMODIFY, FModified ? 1 : 0, 0);
  if (FPasswordChar) SendMessage(H, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
  UpdateHeight();
}

void TCustomEdit::DestroyWnd() {
  FModified = SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0;
  inherited::DestroyWnd();
}

void TCustomEdit::UpdateHeight() {
  if (ComponentState().Contains(csLoading) || !AutoSize() || FBorderStyle != bsSingle) return;
  const Integer Border = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
  SetHeight(rtl::detail::FontLineHeight(Font()) + Border);
}

void TCustomEdit::AdjustSize() { UpdateHeight(); }

void TCustomEdit::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TMessage& Message) {
  if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (FAutoSelect && !ControlState().Contains(csLButtonDown) && HandleAllocated() &&
      !(GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  inherited::CMEnter(Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  UpdateHeight();
}

void TCustomEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomEdit::Clear() { SetText(""); }

void TCustomEdit::ClearSelection() { SendMessage(Handle(), WM_CLEAR, 0, 0); }

void TCustomEdit::CopyToClipboard() { SendMessage(Handle(), WM_COPY, 0, 0); }

void TCustomEdit::CutToClipboard() { SendMessage(Handle(), WM_CUT, 0, 0); }

void TCustomEdit::PasteFromClipboard() { SendMessage(Handle(), WM_PASTE, 0, 0); }

void TCustomEdit::Undo() { SendMessage(Handle(), WM_UNDO, 0, 0); }

bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessage(Handle(), EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::ClearUndo() {
  if (HandleAllocated()) SendMessage(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessage(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::SetMaxLength(Integer Value) {
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  if (HandleAllocated()) SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  UpdateHeight();
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (!HandleAllocated()) return;
  SendMessage(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
  Invalidate();
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  if (HandleAllocated()) SendMessage(Handle(), EM_SETREADONLY, Value ? 1 : 0, 0);
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  RecreateWnd();
  if (Value == ecNormal) return;
  const AnsiString Old = Text();
  const AnsiString New = Value == ecUpperCase ? AnsiUpperCase(Old) : AnsiLowerCase(Old);
  if (New != Old) SetText(New);
}

bool TCustomEdit::Modified() {
  return HandleAllocated() ? SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value) {
  if (HandleAllocated())
    SendMessage(Handle(), EM_SETMODIFY, Value ? 1 : 0, 0);
  else
    FModified = Value;
}

Integer TCustomEdit::SelStart() {
  DWORD Start = 0, End = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return static_cast<Integer>(Start);
}

void TCustomEdit::SetSelStart(Integer Value) {
  SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

Integer TCustomEdit::SelLength() {
  DWORD Start = 0, End = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return static_cast<Integer>(End) - static_cast<Integer>(Start);
}

void TCustomEdit::SetSelLength(Integer Value) {
  const Integer Start = SelStart();
  SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Start), Start + Value);
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

AnsiString TCustomEdit::SelText() {
  const Integer Start = SelStart();
  const Integer Length = SelLength();
  const AnsiString T = Text();
  if (Start >= static_cast<Integer>(T.size())) return AnsiString();
  return T.substr(static_cast<size_t>(Start), static_cast<size_t>(Length));
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
  SendMessage(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

// ---- TMemoStrings ----------------------------------------------------------------------------

std::vector<AnsiString> TMemoStrings::Lines() const {
  const AnsiString T = FMemo->Text();
  std::vector<AnsiString> Result;
  size_t P = 0;
  while (P < T.size()) {
    size_t Brk = T.find_first_of("\r\n", P);
    if (Brk == AnsiString::npos) {
      Result.push_back(T.substr(P));
      break;
    }
    Result.push_back(T.substr(P, Brk - P));
    P = Brk + ((T.compare(Brk, 2, "\r\n") == 0) ? 2 : 1);
  }
  return Result;
}

void TMemoStrings::SetLines(const std::vector<AnsiString>& Lines) {
  AnsiString T;
  for (size_t I = 0; I < Lines.size(); ++I) {
    if (I) T += "\r\n";
    T += Lines[I];
  }
  FMemo->SetText(T);
}

AnsiString TMemoStrings::Get(Integer Index) const {
  std::vector<AnsiString> L = Lines();
  if (Index < 0 || Index >= static_cast<Integer>(L.size())) Error("List index out of bounds (%d)", Index);
  return L[static_cast<size_t>(Index)];
}

Integer TMemoStrings::GetCount() const { return static_cast<Integer>(Lines().size()); }

void TMemoStrings::Put(Integer Index, const AnsiString& S) {
  std::vector<AnsiString> L = Lines();
  if (Index < 0 || Index >= static_cast<Integer>(L.size())) Error("List index out of bounds (%d)", Index);
  L[static_cast<size_t>(Index)] = S;
  SetLines(L);
}

void TMemoStrings::Insert(Integer Index, const AnsiString& S) {
  std::vector<AnsiString> L = Lines();
  if (Index < 0 || Index > static_cast<Integer>(L.size())) Error("List index out of bounds (%d)", Index);
  L.insert(L.begin() + Index, S);
  SetLines(L);
}

void TMemoStrings::Delete(Integer Index) {
  std::vector<AnsiString> L = Lines();
  if (Index < 0 || Index >= static_cast<Integer>(L.size())) Error("List index out of bounds (%d)", Index);
  L.erase(L.begin() + Index);
  SetLines(L);
}

void TMemoStrings::Clear() { FMemo->SetText(""); }

AnsiString TMemoStrings::GetTextStr() const { return TStrings::GetTextStr(); }

void TMemoStrings::SetTextStr(const AnsiString& Value) {
  std::vector<AnsiString> L;
  size_t P = 0;
  while (P < Value.size()) {
    size_t Brk = Value.find_first_of("\r\n", P);
    if (Brk == AnsiString::npos) {
      L.push_back(Value.substr(P));
      break;
    }
    L.push_back(Value.substr(P, Brk - P));
    P = Brk + ((Value.compare(Brk, 2, "\r\n") == 0) ? 2 : 1);
  }
  SetLines(L);
}

void TMemoStrings::SetUpdateState(bool Updating) {
  if (!FMemo->HandleAllocated()) return;
  SendMessage(FMemo->Handle(), WM_SETREDRAW, Updating ? 0 : 1, 0);
  if (!Updating) FMemo->Refresh();
}

void TMemoStrings::DefineProperties(TFiler* Filer) { DefineStringsProperty(this, Filer); }

// ---- TCustomMemo -----------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>()) {
  FLines->FMemo = this;
  SetAutoSize(false);
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
  static constexpr DWORD ScrollBarStyles[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  inherited::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ScrollBarStyles[FScrollBars];
  if (FWordWrap) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  RecreateWnd();
}

TPoint TCustomMemo::CaretPos() {
  DWORD Start = 0, End = 0;
  const HWND H = Handle();
  SendMessage(H, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  const Integer Line = static_cast<Integer>(SendMessage(H, EM_LINEFROMCHAR, End, 0));
  const Integer LineStart = static_cast<Integer>(SendMessage(H, EM_LINEINDEX, static_cast<WPARAM>(Line), 0));
  return TPoint(static_cast<Integer>(End) - LineStart, Line);
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
  const HWND H = Handle();
  const Integer Lines = static_cast<Integer>(SendMessage(H, EM_GETLINECOUNT, 0, 0));
  const Integer Line = std::clamp(Value.Y, 0, std::max(0, Lines - 1));
  const Integer LineStart = static_cast<Integer>(SendMessage(H, EM_LINEINDEX, static_cast<WPARAM>(Line), 0));
  const Integer Length = static_cast<Integer>(SendMessage(H, EM_LINELENGTH, static_cast<WPARAM>(LineStart), 0));
  const Integer Pos = LineStart + std::clamp(Value.X, 0, Length);
  SendMessage(H, EM_SETSEL, static_cast<WPARAM>(Pos), Pos);
  SendMessage(H, EM_SCROLLCARET, 0, 0);
}

void TCustomMemo::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if ((Key == '\r' && !FWantReturns) || (Key == '\t' && !FWantTabs)) Key = 0;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(Message);
    if (FWantTabs)
      Message.Result |= DLGC_WANTTAB;
    else
      Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!FWantReturns) Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return;
  }
  inherited::Dispatch(Message);
}
