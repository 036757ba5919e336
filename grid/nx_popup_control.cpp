#include "grid/nx_popup_control.h"

#include "grid/nx_button_edit.h"
#include "grid/nx_shared_common.h"
#include "grid/nx_themes_support.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel_locale.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TNxMiniButton)
RTL_IMPLEMENT_CLASS(TNxPopupControl)
RTL_IMPLEMENT_PUBLISHED(TNxDatePopup,
                        RTL_PROP(Date),
                        RTL_PROP(Day).Stored(false),
                        RTL_PROP(DayNames),
                        RTL_PROP(Month),
                        RTL_PROP(MonthNames),
                        RTL_PROP(SelectedDate),
                        RTL_PROP(StartDay),
                        RTL_PROP(Year))

// ---- TNxMiniButton -------------------------------------------------------------------

TNxMiniButton::TNxMiniButton(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TNxMiniButton::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  TGraphicControl::Dispatch(Message);
}

void TNxMiniButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  FPressed = true;
  Repaint();
}

void TNxMiniButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  FPressed = false;
  Repaint();
}

void TNxMiniButton::Paint() {
  TGraphicControl::Paint();
  const TRect R = ClientRect();
  if (IsThemed() && Parent() && Parent()->HandleAllocated()) {
    ThemeDrawBackground(Parent()->Handle(), Canvas()->Handle(), R, u"button", 1, FPressed ? 3 : 1);
  } else {
    Canvas()->Brush()->SetColor(clBtnFace);
    Canvas()->FillRect(R);
    RECT E = R;
    DrawEdge(Canvas()->Handle(), &E, FPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  Canvas()->Font()->Assign(Font());
  NxSharedCommon::DrawTextInRect(Canvas(), R, taCenter, AnsiToWide(Caption()), false);
}

// ---- TNxPopupControl -----------------------------------------------------------------

TNxPopupControl::TNxPopupControl(TComponent* AOwner)
    : TNxScrollControl(AOwner), FOwnerControl(dynamic_cast<TControl*>(AOwner)) {
  SetControlStyle(ControlStyle() + csNoDesignVisible);
  SetVisible(false);
  SetParentWindow(GetDesktopWindow());
}

void TNxPopupControl::CreateParams(TCreateParams& Params) {
  TNxScrollControl::CreateParams(Params);
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WindowClass.style = CS_SAVEBITS | CS_DBLCLKS;
  Params.WndParent = GetDesktopWindow();
}

void TNxPopupControl::CreateWnd() {
  TNxScrollControl::CreateWnd();
  ::SetParent(Handle(), nullptr);
  VertScrollBar()->SetLargeStep(10);
}

bool TNxPopupControl::CursorInside() {
  if (!HandleAllocated()) return false;
  POINT P{};
  GetCursorPos(&P);
  RECT R{};
  GetWindowRect(Handle(), &R);
  return PtInRect(&R, P) != FALSE;
}

void TNxPopupControl::Popup(Integer X, Integer Y) {
  FPressed = false;
  FSuppressHide = true;
  HandleNeeded();
  const Integer W = Width();
  const Integer H = Height();
  RECT R{X, Y, X + W, Y + H};
  MONITORINFO Info{};
  Info.cbSize = sizeof(Info);
  GetMonitorInfoA(MonitorFromRect(&R, MONITOR_DEFAULTTONEAREST), &Info);
  const RECT& Work = Info.rcWork;
  Integer NewX, NewY;
  if (Work.Right < R.Right)
    NewX = Work.Right - W;
  else
    NewX = R.Left < Work.Left ? Work.Left : X;
  if (Work.Bottom < R.Bottom)
    NewY = Work.Bottom - H;
  else
    NewY = R.Top < Work.Top ? Work.Top : Y;
  const Integer OwnerHeight = FOwnerControl ? FOwnerControl->Height() : 0;
  if (NewY < Y && Y + OwnerHeight < NewY + H) NewY = Y - H - OwnerHeight;
  SetWindowPos(Handle(), HWND_TOPMOST, NewX, NewY, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FSuppressHide = false;
  SetVisible(true);
  Invalidate();
  if (!CursorInside()) SetCapture(Handle());
  FShown = true;
}

void TNxPopupControl::Hide() {
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  FShown = false;
  if (auto* Edit = dynamic_cast<TNxPopupEdit*>(FOwnerControl)) Edit->SetDroppedDown(false);
  // Any other owner, or a popup edit that did not open it itself, just
  // sees the popup go.
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    FSuppressHide = true;
    ShowWindow(Handle(), SW_HIDE);
  }
  SetVisible(false);
  DoHide();
}

void TNxPopupControl::DoHide() {
  if (OnHide) OnHide(this);
}

void TNxPopupControl::DoSelect(const AnsiString& Value) {
  if (OnSelectValue) OnSelectValue(this, Value);
}

void TNxPopupControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_MOUSEACTIVATE) {
    // A click in the popup leaves the focus in the edit that opened it.
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TNxScrollControl::WndProc(Message);
  if (Message.Msg == WM_ACTIVATEAPP && Message.WParam == 0 && FShown) Hide();
}

void TNxPopupControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxScrollControl::MouseDown(Button, Shift, X, Y);
  FPressed = true;
}

void TNxPopupControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TNxScrollControl::MouseMove(Shift, X, Y);
  // Inside, the children get the mouse.
  if (CursorInside() && GetCapture() == Handle()) ReleaseCapture();
}

void TNxPopupControl::MouseLeave() {
  TNxScrollControl::MouseLeave();
  if (FShown && !CursorInside() && !FSuppressHide && HandleAllocated()) SetCapture(Handle());
}

void TNxPopupControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxScrollControl::MouseUp(Button, Shift, X, Y);
  if (FPressed) {
    if (GetClickRect().Contains(TPoint(X, Y)))
      ClickAt(X, Y);
    else if (!FSuppressHide)
      Hide();
  } else if (!ClientRect().Contains(TPoint(X, Y)) && FShown && HandleAllocated()) {
    // The release of the press that opened the popup.
    SetCapture(Handle());
  }
}

// ---- TNxDatePopup --------------------------------------------------------------------

TNxDatePopup::TNxDatePopup(TComponent* AOwner)
    : TNxPopupControl(AOwner),
      FDayNames(std::make_unique<TStringList>()),
      FMonthNames(std::make_unique<TStringList>()) {
  SetDoubleBuffered(true);
  FTodayButton = new TNxMiniButton(this);
  FTodayButton->SetTag(0);
  FTodayButton->SetBounds(20, 133, 47, 20);
  FTodayButton->SetParent(this);
  FTodayButton->OnClick = TNotifyEvent(this, &TNxDatePopup::ButtonClick);
  FNoneButton = new TNxMiniButton(this);
  FNoneButton->SetTag(1);
  FNoneButton->SetBounds(82, 133, 47, 20);
  FNoneButton->SetParent(this);
  FNoneButton->OnClick = TNotifyEvent(this, &TNxDatePopup::ButtonClick);
}

TNxDatePopup::~TNxDatePopup() = default;

void TNxDatePopup::CreateWnd() {
  TNxPopupControl::CreateWnd();
  ShowScrollBar(Handle(), SB_VERT, FALSE);
}

void TNxDatePopup::SetDate(TDateTime Value) {
  FDate = Value;
  FSelectedDate = Value;
  DecodeDate(Value, FYear, FMonth, FDay);
}

TStrings* TNxDatePopup::DayNames() const { return FDayNames.get(); }

TStrings* TNxDatePopup::MonthNames() const { return FMonthNames.get(); }

void TNxDatePopup::SetDayNames(TStrings* Value) { FDayNames->Assign(Value); }

void TNxDatePopup::SetMonthNames(TStrings* Value) { FMonthNames->Assign(Value); }

Integer TNxDatePopup::FontHeight() {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font()->Handle());
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return TM.tmHeight;
}

TSize TNxDatePopup::CellSize() {
  const Integer H = FontHeight();
  return TSize{H + 4, H + 2};
}

TRect TNxDatePopup::TitleRect() { return TRect(5, 5, ClientWidth() - 5, CellSize().cy + 5); }

void TNxDatePopup::UpdateSize() {
  const TSize C = CellSize();
  const Integer TB = C.cy + 5;
  SetWidth(7 * C.cx + 30);
  SetHeight(TB + 8 * C.cy + 20);
}

TRect TNxDatePopup::GetClickRect() {
  const TSize C = CellSize();
  return Bounds(15, GridTop(), 7 * C.cx, 6 * C.cy);
}

TStartDayOfWeek TNxDatePopup::FirstDayOfWeek() {
  if (FStartDay == dwMonday || FStartDay == dwSunday) return FStartDay;
  char Buffer[2] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2);
  return Buffer[0] == '0' ? dwMonday : dwSunday;
}

Integer TNxDatePopup::DayOfWeekIndex(TDateTime Date) {
  const Integer D = DayOfWeek(Date);  // 1 Sunday .. 7 Saturday
  if (FirstDayOfWeek() == dwMonday) return (D + 5) % 7 + 1;
  return D;
}

WideString TNxDatePopup::DayInitial(Integer Column) {
  if (FDayNames->Count() >= 7) return AnsiToWide(FDayNames->Strings(Column - 1)).substr(0, 1);
  Integer Day = Column;  // 1 Sunday .. 7 Saturday
  if (FirstDayOfWeek() == dwMonday) Day = Column == 7 ? 1 : Column + 1;
  const AnsiString Name = LocalSettings ? LocalSettings->GetLongDayName(Day) : AnsiString();
  return AnsiToWide(Name).substr(0, 1);
}

WideString TNxDatePopup::MonthName(Integer Month) {
  if (FMonthNames->Count() >= 12) return AnsiToWide(FMonthNames->Strings(Month - 1));
  return AnsiToWide(LocalSettings ? LocalSettings->GetLongMonthName(Month) : AnsiString());
}

void TNxDatePopup::StepMonth(Word& Year, Word& Month, bool Backward) {
  if (Backward) {
    if (Month == 1) {
      Month = 12;
      --Year;
    } else {
      --Month;
    }
  } else if (Month == 12) {
    Month = 1;
    ++Year;
  } else {
    ++Month;
  }
}

TDateTime TNxDatePopup::DateAt(Integer Column, Integer Row) {
  const Integer D = Row * 7 + Column;
  const Integer F = DayOfWeekIndex(EncodeDate(FYear, FMonth, 1));
  const Integer Length = DaysInAMonth(FYear, FMonth);
  if (D < F - 1) {
    Word Y = FYear, M = FMonth;
    StepMonth(Y, M, true);
    const Integer PLength = DaysInAMonth(Y, M);
    const Integer E = DayOfWeekIndex(EncodeDate(Y, M, static_cast<Word>(PLength)));
    return EncodeDate(Y, M, static_cast<Word>(PLength - E + Column + 1));
  }
  if (D + 2 <= F + Length) return EncodeDate(FYear, FMonth, static_cast<Word>(D - F + 2));
  Word Y = FYear, M = FMonth;
  StepMonth(Y, M, false);
  return EncodeDate(Y, M, static_cast<Word>(D - F - Length + 2));
}

bool TNxDatePopup::CellAt(Integer X, Integer Y, Integer& Column, Integer& Row) {
  if (!GetClickRect().Contains(TPoint(X, Y))) return false;
  const TSize C = CellSize();
  Column = (X - 15) / C.cx;
  Row = (Y - GridTop()) / C.cy;
  return Column >= 0 && Column < 7 && Row >= 0 && Row < 6;
}

void TNxDatePopup::SelectAt(Integer X, Integer Y) {
  Integer Column, Row;
  // Points beside or below the grid name no day that is shown.
  if (!CellAt(X, Y, Column, Row)) return;
  const TDateTime D = DateAt(Column, Row);
  if (D == FSelectedDate) return;
  FSelectedDate = D;
  const TSize C = CellSize();
  const TRect Cell = Bounds(15 + Column * C.cx, GridTop() + Row * C.cy, C.cx, C.cy);
  if (HandleAllocated()) {
    InvalidateRect(Handle(), &FLastSelectedRect, FALSE);
    InvalidateRect(Handle(), &Cell, FALSE);
  }
}

void TNxDatePopup::ClickAt(Integer X, Integer Y) {
  Integer Column, Row;
  if (CellAt(X, Y, Column, Row)) DoSelect(DateTimeToStr(DateAt(Column, Row)));
}

void TNxDatePopup::ButtonClick(TObject* Sender) {
  auto* Button = dynamic_cast<TComponent*>(Sender);
  if (!Button) return;
  if (Button->Tag() == 0)
    DoSelect(DateTimeToStr(::Date()));
  else if (Button->Tag() == 1)
    DoSelect("");
}

void TNxDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxPopupControl::MouseDown(Button, Shift, X, Y);
  const Integer TB = TitleRect().Bottom;
  const TSize C = CellSize();
  const TPoint P(X, Y);
  if (TRect(5, 5, 18, TB).Contains(P)) {
    StepMonth(FYear, FMonth, true);
    Invalidate();
  } else if (TRect(TitleRect().Right - 18, 5, ClientWidth(), TB).Contains(P)) {
    StepMonth(FYear, FMonth, false);
    Invalidate();
  } else if (TRect(15, TB + C.cy, ClientWidth() - 15, TB + 7 * C.cy).Contains(P)) {
    FPressedInDays = true;
    SelectAt(X, Y);
  }
}

void TNxDatePopup::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TNxPopupControl::MouseMove(Shift, X, Y);
  if (FPressedInDays && TRect(14, 38, ClientWidth() - 14, ClientHeight() - 20).Contains(TPoint(X, Y)))
    SelectAt(X, Y);
}

void TNxDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  // The arrows keep the calendar open.
  if (!TRect(0, 0, ClientWidth(), 19).Contains(TPoint(X, Y))) TNxPopupControl::MouseUp(Button, Shift, X, Y);
  FPressedInDays = false;
}

void TNxDatePopup::DrawTitle() {
  TCanvas* C = Canvas();
  const TRect R = TitleRect();
  C->Brush()->SetColor(IsThemed() ? TGraphicsProvider::BlendColor(clGradientInactiveCaption, clWindow, 249)
                                  : clBtnFace);
  C->FillRect(R);
  C->Font()->SetColor(clWindowText);
  const WideString Caption = MonthName(FMonth) + u" " + AnsiToWide(IntToStr(FYear));
  NxSharedCommon::DrawTextInRect(C, R, taCenter, Caption, false);
  C->Brush()->SetColor(clWindowText);
  C->Pen()->SetColor(clWindowText);
  const Integer M = R.Top + R.Height() / 2 - 4;
  const Integer W = ClientWidth();
  const TPoint Left[3] = {TPoint(15, M), TPoint(15, M + 8), TPoint(11, M + 4)};
  const TPoint Right[3] = {TPoint(W - 15, M), TPoint(W - 15, M + 8), TPoint(W - 11, M + 4)};
  C->Polygon(std::span<const TPoint>(Left, 3));
  C->Polygon(std::span<const TPoint>(Right, 3));
}

void TNxDatePopup::DrawDayNumber(const TRect& Rect, Integer Day) {
  TGraphicsProvider::DrawTextRectEx(Canvas(), Rect, taRightJustify, taVerticalCenter, false,
                                    AnsiToWide(IntToStr(Day)), bdLeftToRight);
}

void TNxDatePopup::Paint() {
  TNxPopupControl::Paint();
  TCanvas* C = Canvas();
  C->Font()->Assign(Font());
  C->Font()->SetColor(clWindowText);
  C->Brush()->SetColor(Color());
  C->Pen()->SetColor(clGrayText);
  C->Rectangle(ClientRect());
  DrawTitle();
  const TSize Cell = CellSize();
  const Integer TB = TitleRect().Bottom;
  const Integer W = ClientWidth();
  C->Brush()->SetColor(Color());
  C->Font()->SetColor(clWindowText);
  for (Integer Column = 1; Column <= 7; ++Column)
    TGraphicsProvider::DrawTextRect(C, Bounds(15 + (Column - 1) * Cell.cx, TB, Cell.cx, Cell.cy), taRightJustify,
                                    DayInitial(Column), false);
  C->Pen()->SetColor(clGrayText);
  C->MoveTo(15, TB + Cell.cy - 1);
  C->LineTo(W - 15, TB + Cell.cy - 1);

  const Integer F = DayOfWeekIndex(EncodeDate(FYear, FMonth, 1));
  TDateTime Day = EncodeDate(FYear, FMonth, 1);
  if (F > 1) Day -= F - 1;
  const TDateTime Today = ::Date();
  const bool Themed = IsThemed();
  for (Integer I = 0; I < 42; ++I, Day += 1) {
    const TRect R = Bounds(15 + (I % 7) * Cell.cx, TB + Cell.cy + (I / 7) * Cell.cy, Cell.cx, Cell.cy);
    Word Y, M, D;
    DecodeDate(Day, Y, M, D);
    C->Font()->SetColor(M == FMonth ? clWindowText : clGrayText);
    if (static_cast<Integer>(Day) == static_cast<Integer>(FSelectedDate)) {
      C->Brush()->SetColor(Themed ? static_cast<TColor>(RGB(251, 230, 148)) : static_cast<TColor>(0xC0C0C0));
      C->FillRect(R);
      FLastSelectedRect = R;
    }
    if (Day == Today) {
      C->Brush()->SetColor(Themed ? static_cast<TColor>(0x000080) : clHighlight);
      C->FrameRect(R);
    }
    C->Brush()->SetColor(Color());
    DrawDayNumber(R, D);
  }
  C->Pen()->SetColor(clGrayText);
  C->MoveTo(15, TB + 7 * Cell.cy);
  C->LineTo(W - 15, TB + 7 * Cell.cy);
}
