#include "grid/nx_classes.h"

#include <utility>

#include "platform/forms/forms.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"

TLocalSettings* LocalSettings = nullptr;

AnsiString TLocalSettings::GetLongDayName(Integer Index) const {
  if (Index < 1 || Index > 7) return AnsiString();
  return FormatSettings.LongDayNames[Index - 1];
}

AnsiString TLocalSettings::GetLongMonthName(Integer Index) const {
  if (Index < 1 || Index > 12) return AnsiString();
  return FormatSettings.LongMonthNames[Index - 1];
}

TSize GetTextExtentWide(TCanvas* Canvas, const WideString& Text) {
  SIZE Size{0, 0};
  if (!GetTextExtentPoint32W(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &Size))
    Size = SIZE{0, 0};
  return Size;
}

Integer TextHeightWide(TCanvas* Canvas, const WideString& Text) { return GetTextExtentWide(Canvas, Text).cy; }

Integer TextWidthWide(TCanvas* Canvas, const WideString& Text) { return GetTextExtentWide(Canvas, Text).cx; }

Integer MeasureTextWidth(TCanvas* Canvas, const WideString& Text) {
  RECT R{0, 0, 0, 0};
  WideString Copy = Text;
  DrawTextExW(Canvas->Handle(), Copy.data(), static_cast<int>(Copy.size()), &R, DT_CALCRECT, nullptr);
  return R.Right - R.Left;
}

void ShowHintWide(THintWindow* HintWindow, const TRect& Rect, const WideString& Text) {
  if (HintWindow) HintWindow->ActivateHint(Rect, WideToAnsi(Text));
}

TRect CalcHintRectWide(THintWindow* HintWindow, Integer MaxWidth, const WideString& Text, void* Data) {
  if (!HintWindow) return TRect();
  return HintWindow->CalcHintRect(MaxWidth, WideToAnsi(Text), Data);
}

void ReleaseHintWindow(THintWindow* HintWindow) {
  if (HintWindow) HintWindow->ReleaseHandle();
}

void SwapIntegers(Integer& A, Integer& B) { std::swap(A, B); }

bool IsParentFormActive(TControl* Control) {
  TCustomForm* Form = Control ? GetParentForm(Control) : nullptr;
  return Form && Screen && Form == Screen->ActiveForm();
}
