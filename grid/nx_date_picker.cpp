#include "grid/nx_date_picker.h"

#include "grid/nx_columns.h"

#include "grid/nx_popup_control.h"
#include "grid/nx_shared_draw.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/text_codec.h"

RTL_IMPLEMENT_PUBLISHED(TNxDatePicker,
                        RTL_PROP(Date).Stored(false),
                        RTL_PROP(DayNames),
                        RTL_PROP(EmptyText),
                        RTL_PROP(MonthNames),
                        RTL_PROP(NoneCaption).Stored<&Self::IsNoneCaptionStored>(),
                        RTL_PROP(ShowNoneButton).Default(true),
                        RTL_PROP(StartDay).Default(dwSunday),
                        RTL_PROP(TodayCaption).Stored<&Self::IsTodayCaptionStored>())

TNxDatePicker::TNxDatePicker(TComponent* AOwner)
    : TNxPopupEdit(AOwner, 0),
      FDayNames(std::make_unique<TStringList>()),
      FMonthNames(std::make_unique<TStringList>()) {
  Init();
  SetAsDateTime(::Date());
}

TNxDatePicker::~TNxDatePicker() = default;

TClass TNxDatePicker::PopupClass() { return TNxDatePopup::StaticClass(); }

TStrings* TNxDatePicker::DayNames() const { return FDayNames.get(); }

void TNxDatePicker::SetDayNames(TStrings* Value) { FDayNames->Assign(Value); }

TStrings* TNxDatePicker::MonthNames() const { return FMonthNames.get(); }

void TNxDatePicker::SetMonthNames(TStrings* Value) { FMonthNames->Assign(Value); }

void TNxDatePicker::SetEmptyText(const AnsiString& Value) {
  FEmptyText = Value;
  Invalidate();
}

TDateTime TNxDatePicker::GetAsDateTime() {
  const AnsiString S = Text();
  if (S.empty() || S == "0") return ::Date();
  TDateTime Value = 0;
  return TryStrToDateTime(S, Value) ? Value : 0;
}

void TNxDatePicker::SetAsDateTime(TDateTime Value) { SetText(DateTimeToStr(Value)); }

void TNxDatePicker::BeforePopup(const TPoint& /*ScreenPoint*/) {
  auto* P = dynamic_cast<TNxDatePopup*>(Popup());
  if (!P) return;
  P->Font()->Assign(Font());
  P->NoneButton()->SetCaption(WideToAnsi(FNoneCaption));
  const TDateTime D = GetAsDateTime();
  P->SetSelectedDate(D != 0 ? D : ::Date());
  P->SetDayNames(FDayNames.get());
  Word Y, M, Day;
  DecodeDate(P->SelectedDate(), Y, M, Day);
  P->SetYear(Y);
  P->SetMonth(M);
  P->SetDay(Day);
  P->SetStartDay(FStartDay);
  P->TodayButton()->SetCaption(WideToAnsi(FTodayCaption));
  P->SetMonthNames(FMonthNames.get());
  P->UpdateSize();
  const Integer ButtonWidth = P->Width() / 3;
  const Integer ButtonHeight = P->CellSize().cy + 6;
  P->TodayButton()->SetWidth(ButtonWidth);
  P->TodayButton()->SetHeight(ButtonHeight);
  P->NoneButton()->SetWidth(ButtonWidth);
  P->NoneButton()->SetHeight(ButtonHeight);
  P->NoneButton()->SetVisible(FShowNoneButton);
  if (FShowNoneButton) {
    const Integer T = P->Width() / 3;
    P->TodayButton()->SetLeft(T / 2 - 5);
    P->NoneButton()->SetLeft(T * 3 / 2 + 5);
  } else {
    P->TodayButton()->SetLeft(P->ClientWidth() / 2 - ButtonWidth / 2);
  }
  const Integer Top = P->Height() - ButtonHeight - 8;
  P->TodayButton()->SetTop(Top);
  P->NoneButton()->SetTop(Top);
}

void TNxDatePicker::CalendarFollows() {
  auto* P = dynamic_cast<TNxDatePopup*>(Popup());
  if (!P) return;
  const TDateTime D = GetAsDateTime();
  Word Y, M, Day;
  DecodeDate(D, Y, M, Day);
  P->SetYear(Y);
  P->SetMonth(M);
  P->SetDay(Day);
  P->SetSelectedDate(D);
  P->Invalidate();
}

void TNxDatePicker::KeyDown(Word& Key, TShiftState Shift) {
  TNxPopupEdit::KeyDown(Key, Shift);
  if (!DroppedDown() || Key == 0) return;
  const bool WithShift = Shift.Contains(ssShift);
  const TDateTime D = GetAsDateTime();
  TDateTime New = D;
  switch (Key) {
    case VK_LEFT: New = WithShift ? IncMonth(D, -1) : D - 1; break;
    case VK_RIGHT: New = WithShift ? IncMonth(D, 1) : D + 1; break;
    case VK_UP: New = D - 7; break;
    case VK_DOWN: New = D + 7; break;
    case VK_PRIOR: New = IncMonth(D, WithShift ? -12 : -1); break;
    case VK_NEXT: New = IncMonth(D, WithShift ? 12 : 1); break;
    default:
      if (Style() == dsDropDownList) Key = 0;
      if (Key != 0) CalendarFollows();
      return;
  }
  SetAsDateTime(New);
  // The caret stays where it is: the key moved the date, not the caret.
  Key = 0;
  CalendarFollows();
}

void TNxDatePicker::WMKillFocus(TMessage& Message) {
  TNxPopupEdit::WMKillFocus(Message);
  const AnsiString S = Text();
  if (S.empty()) return;
  // Reformat a valid date and time as it is, time of day included; text
  // that is no date stays for the user to correct.
  TDateTime Value = 0;
  if (TryStrToDateTime(S, Value)) {
    const AnsiString Formatted = DateTimeToStr(Value);
    if (Formatted != S) SetText(Formatted);
  }
}

void TNxDatePicker::WMPaint(TMessage& Message) {
  TNxPopupEdit::WMPaint(Message);
  if (!Text().empty() || Focused() || FEmptyText.empty()) return;
  TControlCanvas* C = PaintCanvas();
  if (!C || !HandleAllocated()) return;
  C->Font()->Assign(Font());
  C->Font()->SetColor(clGrayText);
  NxSharedDraw::DrawTextInRect(C, ClientRect(), taLeftJustify, AnsiToWide(FEmptyText), false);
  C->FreeHandle();
}

void RegisterNxEditorClasses() {
  RegisterColumnEditorClass("TNxEdit", TNxEdit::StaticClass());
  RegisterColumnEditorClass("TNxDatePicker", TNxDatePicker::StaticClass());
}
