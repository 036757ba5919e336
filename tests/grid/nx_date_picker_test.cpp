#include "grid/nx_date_picker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/nx_popup_control.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/component_streaming.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel_locale.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_test_seams.h"
#include "platform/testing/uxtheme_recording.h"
#include "tests/common/pictures.h"
#include "tests/grid/description_test_support.h"
#include "tests/grid/form_test_support.h"

namespace {

using rtl::testing::ClientPoint;

// The font height whose text metrics give tmHeight 13 (DejaVu Sans is
// installed everywhere the tests run).
Integer FontHeightFor13() {
  TFont F;
  F.SetName("DejaVu Sans");
  for (Integer H = -8; H >= -20; --H) {
    F.SetHeight(H);
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, F.Handle());
    TEXTMETRICA TM{};
    GetTextMetricsA(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    if (TM.tmHeight == 13) return H;
  }
  return 0;
}

class NxDatePicker : public FormTest {
 protected:
  TNxDatePicker* E = nullptr;

  void PlaceControls() override { E = Place<TNxDatePicker>(10, 10, 200, 22); }
  void AfterFormFreed() override { rtl::testing::ResetLocale(); }
  TNxDatePopup* Calendar() { return dynamic_cast<TNxDatePopup*>(E->Popup()); }
  static void Click(HWND H, Integer X, Integer Y) {
    rtl::testing::InjectClick(ClientPoint(H, X, Y));
    Pump();
    rtl::testing::AdvanceClock(2000);
  }
  static void Keys(std::initializer_list<UINT> Held, UINT Key) {
    for (UINT K : Held) rtl::testing::InjectKey(K, true);
    rtl::testing::InjectKeyPress(Key);
    for (UINT K : Held) rtl::testing::InjectKey(K, false);
    Pump();
  }
  void Open() {
    // The pointer starts away from the calendar.
    rtl::testing::InjectMouseMove(ClientPoint(Form->Handle(), 380, 280));
    E->SetFocus();
    Pump();
    E->SetDroppedDown(true);
    Pump();
  }
};

TEST_F(NxDatePicker, StartsWithTodayAndReadsItsText) {
  EXPECT_EQ(E->Text(), DateTimeToStr(Date()));
  const struct {
    const char* Text;
    bool Today;
  } Cases[] = {{"", true}, {"0", true}, {"no date", false}, {"31/31/2024", false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    E->SetText(C.Text);
    EXPECT_EQ(E->Date(), C.Today ? Date() : 0);
  }
  E->SetText("no date");
  Open();
  Word Y, M, D;
  DecodeDate(Date(), Y, M, D);
  EXPECT_EQ(Calendar()->Month(), M);
  EXPECT_EQ(Calendar()->Year(), Y);
  EXPECT_EQ(Calendar()->SelectedDate(), Date());
}

TEST_F(NxDatePicker, CalendarMetricsAtTmHeight13) {
  const Integer H = FontHeightFor13();
  ASSERT_NE(H, 0);
  TNxDatePopup* P = Calendar();
  P->Font()->SetName("DejaVu Sans");
  P->Font()->SetHeight(H);
  EXPECT_EQ(P->TodayButton()->BoundsRect(), TRect(20, 133, 67, 153));
  EXPECT_EQ(P->NoneButton()->BoundsRect(), TRect(82, 133, 129, 153));
  P->UpdateSize();
  EXPECT_EQ(P->Width(), 149);
  EXPECT_EQ(P->Height(), 160);
  EXPECT_EQ(P->CellSize().cx, 17);
  EXPECT_EQ(P->CellSize().cy, 15);
  EXPECT_EQ(P->GetClickRect(), TRect(15, 35, 15 + 7 * 17, 35 + 6 * 15));
}

// Every cell against the week arithmetic, for months starting on each
// weekday, under both first days.
TEST_F(NxDatePicker, DayGridOfMonthsStartingOnEachWeekday) {
  TNxDatePopup* P = Calendar();
  // 2024: Sep Sunday, Jan Monday, Oct Tuesday, May Wednesday, Feb Thursday,
  // Mar Friday, Jun Saturday.
  const Word Months[] = {9, 1, 10, 5, 2, 3, 6};
  for (TStartDayOfWeek Start : {dwSunday, dwMonday}) {
    P->SetStartDay(Start);
    for (Word Month : Months) {
      SCOPED_TRACE(testing::Message() << "month " << Month << " start " << static_cast<int>(Start));
      P->SetYear(2024);
      P->SetMonth(Month);
      const TDateTime First = EncodeDate(2024, Month, 1);
      const Integer FirstColumnDay = Start == dwSunday ? 1 : 2;  // DayOfWeek numbering
      const Integer Lead = (DayOfWeek(First) - FirstColumnDay + 7) % 7;
      for (Integer Row = 0; Row < 6; ++Row)
        for (Integer Column = 0; Column < 7; ++Column)
          ASSERT_EQ(P->DateAt(Column, Row), First - Lead + Row * 7 + Column) << Column << "," << Row;
      if (Lead == 0) {
        Word Y, M, D;
        DecodeDate(P->DateAt(6, 5), Y, M, D);
        EXPECT_EQ(D, 42 - DaysInAMonth(2024, Month));
      }
    }
  }
}

TEST_F(NxDatePicker, StepMonthCrossesTheYear) {
  Word Y = 2024, M = 12;
  TNxDatePopup::StepMonth(Y, M, false);
  EXPECT_EQ(Y, 2025);
  EXPECT_EQ(M, 1);
  TNxDatePopup::StepMonth(Y, M, true);
  EXPECT_EQ(Y, 2024);
  EXPECT_EQ(M, 12);
}

TEST_F(NxDatePicker, AutomaticFirstDayFollowsTheLocale) {
  TNxDatePopup* P = Calendar();
  P->SetStartDay(dwAutomatic);
  rtl::testing::InstallLocaleTable(LOCALE_EN_US, {{LOCALE_IFIRSTDAYOFWEEK, "6"}});
  EXPECT_EQ(P->FirstDayOfWeek(), dwSunday);
  rtl::testing::InstallLocaleTable(LOCALE_EN_US, {{LOCALE_IFIRSTDAYOFWEEK, "0"}});
  EXPECT_EQ(P->FirstDayOfWeek(), dwMonday);
  EXPECT_EQ(P->DayOfWeekIndex(EncodeDate(2024, 1, 1)), 1);  // a Monday
  char Buffer[2] = {};
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK, Buffer, 2), 2);
  EXPECT_STREQ(Buffer, "0");
  // Bound by name, as the library's own binding would find it.
  EXPECT_NE(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLocaleInfoA"), nullptr);
}

TEST_F(NxDatePicker, ShortNameListsFallBackToTheLocale) {
  TNxDatePopup* P = Calendar();
  TStringList Few;
  Few.SetText("Mo\nTu");
  P->SetDayNames(&Few);
  P->SetMonthNames(&Few);
  EXPECT_FALSE(P->DayInitial(1).empty());
  EXPECT_FALSE(P->MonthName(12).empty());
  TStringList Seven;
  Seven.SetText("xa\nxb\nxc\nxd\nxe\nxf\nxg");
  P->SetDayNames(&Seven);
  EXPECT_EQ(P->DayInitial(1), u"x");
}

TEST_F(NxDatePicker, ArrowsKeepTheCalendarOpenAndClicksSelect) {
  E->SetDate(EncodeDate(2024, 12, 15));
  Open();
  TNxDatePopup* P = Calendar();
  ASSERT_TRUE(P->Shown());
  const Integer TB = P->TitleRect().Bottom;
  Click(P->Handle(), P->ClientWidth() - 12, TB - 6);
  EXPECT_TRUE(E->DroppedDown());
  EXPECT_EQ(P->Month(), 1);
  EXPECT_EQ(P->Year(), 2025);
  Click(P->Handle(), 12, TB - 6);
  Click(P->Handle(), 12, TB - 6);
  EXPECT_EQ(P->Month(), 11);
  EXPECT_EQ(P->Year(), 2024);
  // Clicks outside the day grid select nothing.
  P->SelectAt(P->ClientWidth() - 14, P->GetClickRect().Top + 2);
  P->SelectAt(20, P->GetClickRect().Bottom + 2);
  EXPECT_EQ(P->SelectedDate(), EncodeDate(2024, 12, 15));
  std::vector<std::string> Log;
  E->OnSelect = [&](TObject*) { Log.push_back("select " + E->Text()); };
  // November 2024 starts on a Friday: the cell in column 0 of row 1 is the 3rd.
  const TSize C = P->CellSize();
  Click(P->Handle(), 15 + C.cx / 2, P->GetClickRect().Top + C.cy + C.cy / 2);
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_EQ(E->Date(), EncodeDate(2024, 11, 3));
  ASSERT_EQ(Log.size(), 1u);
}

TEST_F(NxDatePicker, OutsideClickClosesWithoutSelecting) {
  E->SetDate(EncodeDate(2024, 3, 9));
  const AnsiString Before = E->Text();
  int Selects = 0;
  E->OnSelect = [&](TObject*) { ++Selects; };
  Open();
  ASSERT_TRUE(E->DroppedDown());
  Click(Form->Handle(), 350, 250);
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_FALSE(IsWindowVisible(Calendar()->Handle()));
  EXPECT_EQ(E->Text(), Before);
  EXPECT_EQ(Selects, 0);
}

TEST_F(NxDatePicker, TodayAndNoneButtons) {
  E->SetDate(EncodeDate(2020, 2, 2));
  Open();
  TNxDatePopup* P = Calendar();
  TNxMiniButton* Today = P->TodayButton();
  Click(P->Handle(), Today->Left() + 5, Today->Top() + 5);
  EXPECT_EQ(E->Text(), DateTimeToStr(Date()));
  EXPECT_FALSE(E->DroppedDown());
  Open();
  TNxMiniButton* None = P->NoneButton();
  Click(P->Handle(), None->Left() + 5, None->Top() + 5);
  EXPECT_EQ(E->Text(), "");
}

TEST_F(NxDatePicker, ButtonLayoutBeforeShowing) {
  E->SetShowNoneButton(false);
  Open();
  TNxDatePopup* P = Calendar();
  TNxMiniButton* Today = P->TodayButton();
  EXPECT_FALSE(P->NoneButton()->Visible());
  EXPECT_EQ(Today->Width(), P->Width() / 3);
  EXPECT_EQ(Today->Height(), P->CellSize().cy + 6);
  EXPECT_EQ(Today->Left(), P->ClientWidth() / 2 - Today->Width() / 2);
  EXPECT_EQ(Today->Top(), P->Height() - Today->Height() - 8);
  E->SetDroppedDown(false);
  E->SetShowNoneButton(true);
  E->SetDroppedDown(true);
  const Integer T = P->Width() / 3;
  EXPECT_EQ(Today->Left(), T / 2 - 5);
  EXPECT_EQ(P->NoneButton()->Left(), T * 3 / 2 + 5);
}

TEST_F(NxDatePicker, KeysMoveTheDateWhileOpen) {
  struct Case {
    TDateTime From;
    UINT Key;
    bool Shift;
    TDateTime To;
  };
  const TDateTime Jan31 = EncodeDate(2024, 1, 31) + 0.25;
  const Case Cases[] = {
      {Jan31, VK_LEFT, false, EncodeDate(2024, 1, 30) + 0.25},
      {Jan31, VK_LEFT, true, EncodeDate(2023, 12, 31) + 0.25},
      {Jan31, VK_RIGHT, false, EncodeDate(2024, 2, 1) + 0.25},
      {Jan31, VK_RIGHT, true, EncodeDate(2024, 2, 29) + 0.25},
      {EncodeDate(2023, 1, 31), VK_RIGHT, true, EncodeDate(2023, 2, 28)},
      {Jan31, VK_UP, false, EncodeDate(2024, 1, 24) + 0.25},
      {Jan31, VK_UP, true, EncodeDate(2024, 1, 24) + 0.25},
      {Jan31, VK_DOWN, false, EncodeDate(2024, 2, 7) + 0.25},
      {Jan31, VK_DOWN, true, EncodeDate(2024, 2, 7) + 0.25},
      {Jan31, VK_PRIOR, false, EncodeDate(2023, 12, 31) + 0.25},
      {Jan31, VK_PRIOR, true, EncodeDate(2023, 1, 31) + 0.25},
      {Jan31, VK_NEXT, false, EncodeDate(2024, 2, 29) + 0.25},
      {Jan31, VK_NEXT, true, EncodeDate(2025, 1, 31) + 0.25},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "key " << C.Key << " shift " << C.Shift << " from " << C.From);
    E->SetDate(C.From);
    Open();
    ASSERT_TRUE(E->DroppedDown());
    if (C.Shift)
      Keys({VK_SHIFT}, C.Key);
    else
      Keys({}, C.Key);
    EXPECT_NEAR(E->Date(), C.To, 1e-6);
    Word Y, M, D;
    DecodeDate(C.To, Y, M, D);
    EXPECT_EQ(Calendar()->Month(), M);
    EXPECT_EQ(Calendar()->Year(), Y);
    EXPECT_NEAR(Calendar()->SelectedDate(), C.To, 1e-6);
    E->SetDroppedDown(false);
  }
  // Closed, the keys leave the date alone.
  E->SetDate(Jan31);
  Keys({}, VK_DOWN);
  EXPECT_NEAR(E->Date(), Jan31, 1e-6);
}

TEST_F(NxDatePicker, LeavingKeepsWhatTheUserTyped) {
  auto* Other = new TNxEdit(Form);
  Other->SetBounds(10, 60, 100, 22);
  Other->SetParent(Form);
  const TDateTime WithTime = EncodeDate(2024, 5, 6) + EncodeTime(13, 45, 0, 0);
  const struct {
    AnsiString Text;
    AnsiString After;
  } Cases[] = {
      {DateTimeToStr(WithTime), DateTimeToStr(WithTime)},
      {"not a date", "not a date"},
      {"", ""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    E->SetFocus();
    Pump();
    E->SetText(C.Text);
    Other->SetFocus();
    Pump();
    EXPECT_EQ(E->Text(), C.After);
  }
}

TEST_F(NxDatePicker, EmptyTextIsGreyWhenEmptyAndUnfocused) {
  auto* Other = new TNxEdit(Form);
  Other->SetBounds(10, 60, 100, 22);
  Other->SetParent(Form);
  Other->SetFocus();
  Pump();
  E->SetEmptyText("&Pick a date");
  E->SetText("");
  Pump();
  E->Repaint();
  auto CountGrey = [&] {
    const COLORREF Grey = GetSysColor(COLOR_GRAYTEXT);
    int N = 0;
    for (int Y = 0; Y < E->ClientHeight(); ++Y)
      for (int X = 0; X < 100; ++X) N += rtl::testing::WindowPixel(E->Handle(), X, Y) == Grey;
    return N;
  };
  // Anti-aliased text: a few pixels carry the grey exactly.
  EXPECT_GT(CountGrey(), 3);
  E->SetFocus();
  Pump();
  E->Repaint();
  EXPECT_EQ(CountGrey(), 0);
}

TEST_F(NxDatePicker, PublishedPropertiesRoundTrip) {
  auto Write = [](TComponent* Root) {
    TMemoryStream Binary;
    TWriter Writer(&Binary, 4096);
    Writer.WriteDescendent(Root, nullptr);
    Binary.SetPosition(0);
    TStringStream Text;
    ObjectBinaryToText(&Binary, &Text);
    return Text.DataString();
  };
  TNxDatePicker Source(nullptr);
  Source.SetName("Picker");
  AnsiString Defaults;
  try {
    Defaults = Write(&Source);
  } catch (Exception& X) {
    FAIL() << X.Message();
  }
  for (const char* Name : {"ShowNoneButton", "StartDay", "NoneCaption", "TodayCaption", "Style", "ShowButton",
                           "Alignment", "WantTabs", "ShowPreview", "BorderWidth", "BevelKind"})
    EXPECT_EQ(Defaults.find(Name), AnsiString::npos) << Name;
  Source.SetShowNoneButton(false);
  Source.SetStartDay(dwMonday);
  Source.SetNoneCaption(u"Nothing");
  Source.SetEmptyText("empty");
  Source.SetStyle(dsDropDownList);
  Source.SetAlignment(taCenter);
  Source.SetWantTabs(true);
  Source.SetBorderWidth(2);
  Source.SetBevelKind(bkFlat);
  Source.EditMargins()->SetLeft(4);
  Source.SetHideFocus(true);
  Source.SetText("01/02/2024");
  const AnsiString Text = Write(&Source);
  for (const char* Name : {"ShowNoneButton", "StartDay", "NoneCaption", "EmptyText", "Style", "Alignment",
                           "WantTabs", "BorderWidth", "BevelKind", "EditMargins.Left", "HideFocus"})
    EXPECT_NE(Text.find(Name), AnsiString::npos) << Name;
  TNxDatePicker Copy(nullptr);
  TStringStream Input(Text);
  try {
    ReadComponentText(&Input, &Copy);
  } catch (Exception& X) {
    FAIL() << X.Message() << "\n" << Text;
  }
  EXPECT_FALSE(Copy.ShowNoneButton());
  EXPECT_EQ(Copy.StartDay(), dwMonday);
  EXPECT_EQ(Copy.NoneCaption(), u"Nothing");
  EXPECT_EQ(Copy.TodayCaption(), u"Today");
  EXPECT_EQ(Copy.EmptyText(), "empty");
  EXPECT_EQ(Copy.Style(), dsDropDownList);
  EXPECT_EQ(Copy.Alignment(), taCenter);
  EXPECT_TRUE(Copy.WantTabs());
  EXPECT_EQ(Copy.BorderWidth(), 2);
  EXPECT_EQ(Copy.BevelKind(), bkFlat);
  EXPECT_EQ(Copy.EditMargins()->Left(), 4);
  EXPECT_TRUE(Copy.HideFocus());
  EXPECT_EQ(Copy.Text(), "01/02/2024");
}

TEST_F(NxDatePicker, PictureOfTheOpenCalendar) {
  const Integer H = FontHeightFor13();
  E->Font()->SetName("DejaVu Sans");
  if (H) E->Font()->SetHeight(H);
  // Today shows framed and another day selected.
  Word TY, TM, TD;
  DecodeDate(Date(), TY, TM, TD);
  const TDateTime Other = Date() + (TD > 15 ? -3 : 3);
  E->SetDate(Other);
  std::vector<HBITMAP> Shots;
  for (bool Themed : {true, false}) {
    SCOPED_TRACE(Themed);
    std::unique_ptr<TRecordingTheme> Theme;
    if (Themed) Theme = std::make_unique<TRecordingTheme>();
    Pump();
    ASSERT_EQ(IsThemed(), Themed);
    Open();
    TNxDatePopup* P = Calendar();
    P->Repaint();
    Pump();
    Shots.push_back(rtl::testing::CaptureWindow(P->Handle()));
    ASSERT_NE(Shots.back(), nullptr);
    // The selected cell's fill.
    Word Y, M, D;
    DecodeDate(Other, Y, M, D);
    const TDateTime First = EncodeDate(Y, M, 1);
    const Integer Index = static_cast<Integer>(Other - First) + (DayOfWeek(First) - 1);
    const TSize C = P->CellSize();
    const TRect Grid = P->GetClickRect();
    const COLORREF Fill = rtl::testing::WindowPixel(P->Handle(), Grid.Left + (Index % 7) * C.cx + 2,
                                                    Grid.Top + (Index / 7) * C.cy + 2);
    EXPECT_EQ(Fill, Themed ? RGB(251, 230, 148) : RGB(0xC0, 0xC0, 0xC0));
    E->SetDroppedDown(false);
    Pump();
  }
  // Both calendars side by side, themed on the left, on one sheet.
  TForm* Sheet = TCustomForm::Create<TForm>(nullptr);
  Sheet->SetBorderStyle(bsNone);
  Sheet->SetBounds(0, 0, 2 * Calendar()->Width() + 30, Calendar()->Height() + 20);
  Sheet->SetColor(clWhite);
  Sheet->Show();
  Pump();
  HDC DC = GetDC(Sheet->Handle());
  HDC Mem = CreateCompatibleDC(DC);
  for (size_t I = 0; I < Shots.size(); ++I) {
    HGDIOBJ Old = SelectObject(Mem, Shots[I]);
    BitBlt(DC, 10 + static_cast<int>(I) * (Calendar()->Width() + 10), 10, Calendar()->Width(), Calendar()->Height(),
           Mem, 0, 0, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteObject(Shots[I]);
  }
  DeleteDC(Mem);
  ReleaseDC(Sheet->Handle(), DC);
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Sheet->Handle(), PictureDir() + "grid-date-popup.png"));
  Sheet->Free();
  Pump();
}

TEST(NxEditStreaming, EditAndPopupEditRoundTrip) {
  TNxEdit Edit(nullptr);
  Edit.SetName("Edit");
  const AnsiString Defaults = WriteDescriptionText(&Edit);
  for (const char* Name : {"PreviewBorder", "ShowPreview", "WantTabs", "Alignment", "Glyph", "EditMargins", "Color"})
    EXPECT_EQ(Defaults.find(Name), AnsiString::npos) << Name;
  TBitmap G;
  G.SetPixelFormat(pf24bit);
  G.SetWidth(16);
  G.SetHeight(16);
  G.Canvas()->Brush()->SetColor(clRed);
  G.Canvas()->FillRect(TRect(0, 0, 16, 16));
  Edit.SetGlyph(&G);
  Edit.SetPreviewBorder(false);
  Edit.SetShowPreview(true);
  Edit.EditMargins()->SetRight(3);
  Edit.SetColor(clYellow);
  const AnsiString Text = WriteDescriptionText(&Edit);
  TNxEdit Copy(nullptr);
  TStringStream Input(Text);
  ReadComponentText(&Input, &Copy);
  EXPECT_FALSE(Copy.PreviewBorder());
  EXPECT_TRUE(Copy.ShowPreview());
  EXPECT_EQ(Copy.EditMargins()->Right(), 3);
  EXPECT_EQ(Copy.Color(), clYellow);
  ASSERT_EQ(Copy.Glyph()->Width(), 16);
  EXPECT_EQ(Copy.Glyph()->Canvas()->Pixels(8, 8), clRed);

  TNxPopupEdit Popup(nullptr);
  Popup.SetName("Popup");
  const AnsiString PopupDefaults = WriteDescriptionText(&Popup);
  for (const char* Name : {"DrawingOptions", "Style", "HideFocus", "ShowButton", "Options"})
    EXPECT_EQ(PopupDefaults.find(Name), AnsiString::npos) << Name;
  Popup.SetDrawingOptions(doBackgroundOnly);
  Popup.SetStyle(dsDropDownList);
  Popup.SetShowButton(false);
  Popup.SetOptions({epDisablePaste});
  TNxPopupEdit PopupCopy(nullptr);
  TStringStream PopupInput(WriteDescriptionText(&Popup));
  ReadComponentText(&PopupInput, &PopupCopy);
  EXPECT_EQ(PopupCopy.DrawingOptions(), doBackgroundOnly);
  EXPECT_EQ(PopupCopy.Style(), dsDropDownList);
  EXPECT_TRUE(PopupCopy.ReadOnly());
  EXPECT_FALSE(PopupCopy.ShowButton());
  EXPECT_EQ(PopupCopy.Options(), TNxEditOptions{epDisablePaste});
}

}  // namespace
