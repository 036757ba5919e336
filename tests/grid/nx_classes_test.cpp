#include "grid/nx_classes.h"

#include <gtest/gtest.h>

#include "platform/forms/forms.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/gdi/gdi.h"
#include "tests/common/dib_canvas.h"

namespace {

// A canvas on a DIB with the grid's usual font.
struct TTextCanvas {
  TDibCanvas Dib{200, 60, 0xFFFFFFFFu};
  TCanvas Canvas;
  TTextCanvas() {
    Canvas.SetHandle(Dib.dc);
    Canvas.Font()->SetName("Tahoma");
    Canvas.Font()->SetHeight(-11);
  }
  ~TTextCanvas() { Canvas.SetHandle(nullptr); }
};

}  // namespace

TEST(NxClasses, EnumerationsStreamByNameInTheirOrder) {
  struct TCase {
    PTypeInfo Type;
    std::vector<const char*> Names;
  };
  const TCase Cases[] = {
      {TypeInfo<TDrawingOptions>(), {"doNormal", "doBackgroundOnly", "doCustom", "doCustomOnly"}},
      {TypeInfo<TStartDayOfWeek>(), {"dwAutomatic", "dwMonday", "dwSunday"}},
      {TypeInfo<TVerticalAlignment>(), {"taAlignTop", "taAlignBottom", "taVerticalCenter"}},
      {TypeInfo<TWrapKind>(), {"wkNone", "wkEllipsis", "wkPathEllipsis", "wkWordWrap"}},
  };
  for (const TCase& C : Cases)
    for (size_t I = 0; I < C.Names.size(); ++I) {
      EXPECT_EQ(GetEnumName(C.Type, static_cast<Integer>(I)), C.Names[I]);
      EXPECT_EQ(GetEnumValue(C.Type, C.Names[I]), static_cast<Integer>(I));
    }
}

TEST(NxClasses, LocalSettingsExistWhileTheUnitRunsAndReadTheLocaleAtCallTime) {
  ASSERT_NE(LocalSettings, nullptr);
  TFormatSettings Saved = FormatSettings;
  FormatSettings = TFormatSettings::Default();
  EXPECT_EQ(LocalSettings->GetLongDayName(1), "Sunday");
  EXPECT_EQ(LocalSettings->GetLongDayName(7), "Saturday");
  EXPECT_EQ(LocalSettings->GetLongMonthName(1), "January");
  EXPECT_EQ(LocalSettings->GetLongMonthName(12), "December");
  FormatSettings.LongDayNames[0] = "Sonntag";
  FormatSettings.LongMonthNames[11] = "Dezember";
  EXPECT_EQ(LocalSettings->GetLongDayName(1), "Sonntag");
  EXPECT_EQ(LocalSettings->GetLongMonthName(12), "Dezember");
  // Out of range is nothing rather than a read past the tables.
  EXPECT_EQ(LocalSettings->GetLongDayName(0), "");
  EXPECT_EQ(LocalSettings->GetLongMonthName(13), "");
  FormatSettings = Saved;
}

TEST(NxClasses, WideTextIsMeasuredWholeAndALineBreakGivesTheLongerLine) {
  TTextCanvas T;
  const WideString Short = u"Name", Long = u"Date Modified:   ";
  SIZE Expected{};
  GetTextExtentPoint32W(T.Canvas.Handle(), Long.c_str(), static_cast<int>(Long.size()), &Expected);
  EXPECT_EQ(TextWidthWide(&T.Canvas, Long), Expected.cx);
  EXPECT_EQ(TextHeightWide(&T.Canvas, Long), Expected.cy);
  EXPECT_GT(Expected.cx, TextWidthWide(&T.Canvas, Short));
  EXPECT_EQ(GetTextExtentWide(&T.Canvas, u"").cx, 0);
  // Two lines measure as the longer one, whichever comes first.
  EXPECT_EQ(MeasureTextWidth(&T.Canvas, Short + u"\r\n" + Long), Expected.cx);
  EXPECT_EQ(MeasureTextWidth(&T.Canvas, Long + u"\r\n" + Short), Expected.cx);
  EXPECT_EQ(MeasureTextWidth(&T.Canvas, Long), Expected.cx);
}

TEST(NxClasses, CellPointsAndSmallHelpers) {
  struct TCase {
    TPoint P;
    bool NoCell;
  };
  for (const TCase& C : {TCase{{-1, 5}, true}, TCase{{3, -1}, true}, TCase{{-1, -1}, true}, TCase{{0, 0}, false},
                         TCase{{-2, 4}, false}})
    EXPECT_EQ(IsNoCell(C.P), C.NoCell) << C.P.X << "," << C.P.Y;
  Integer A = 3, B = -7;
  SwapIntegers(A, B);
  EXPECT_EQ(A, -7);
  EXPECT_EQ(B, 3);
  // No hint window: nothing happens and nothing is needed.
  ShowHintWide(nullptr, TRect(0, 0, 10, 10), u"x");
  ReleaseHintWindow(nullptr);
  EXPECT_EQ(CalcHintRectWide(nullptr, 100, u"x", nullptr), TRect());
  EXPECT_FALSE(IsParentFormActive(nullptr));
}

TEST(NxClasses, HintWindowsGetTheTextConvertedAndLoseOnlyTheirHandle) {
  THintWindow Hint(nullptr);
  const TRect Need = CalcHintRectWide(&Hint, 300, u"Caf\u00e9 cr\u00e8me", nullptr);
  EXPECT_EQ(Need, Hint.CalcHintRect(300, "Caf\xc3\xa9 cr\xc3\xa8me", nullptr));
  ShowHintWide(&Hint, TRect(10, 10, 10 + Need.Width(), 10 + Need.Height()), u"Caf\u00e9 cr\u00e8me");
  EXPECT_TRUE(Hint.HandleAllocated());
  EXPECT_EQ(Hint.Caption(), "Caf\xc3\xa9 cr\xc3\xa8me");
  ReleaseHintWindow(&Hint);
  EXPECT_FALSE(Hint.HandleAllocated());
}
