#include "ui/foundation/format_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/win/user/user.h"
#include "tests/ui/foundation/date_utils_fixture.h"

namespace {

using rtl::testing::TDateTestLocale;
using TItems = std::vector<std::pair<TcxFormatItemKind, std::string>>;

TItems ItemsOf(const TcxDateTimeFormatInfo& AInfo) {
  TItems items;
  for (Integer i = 0; i < AInfo.ItemCount(); ++i) items.emplace_back(AInfo.Items(i)->Kind, AInfo.Items(i)->Text);
  return items;
}

TItems Parse(const AnsiString& APicture) {
  TcxDateTimeFormatInfo info;
  cxParseFormatPicture(APicture, &info);
  return ItemsOf(info);
}

// Whether every apostrophe of the expression that is not escaped has its
// partner.
bool QuotesBalanced(const AnsiString& AExpression) {
  bool quoted = false;
  for (size_t i = 0; i < AExpression.size(); ++i) {
    if (AExpression[i] == '\\' && !quoted) {
      ++i;
      continue;
    }
    if (AExpression[i] == '\'') quoted = !quoted;
  }
  return !quoted;
}

// ---- Pictures ----------------------------------------------------------------------------

using FormatPictures = DateUtilsTest;

TEST_F(FormatPictures, ParsedItems) {
  const struct {
    const char* Picture;
    TItems Items;
  } cases[] = {
      {"d/M/yyyy", {{fikDay, "D"}, {fikDateSeparator, ""}, {fikMonth, "M"}, {fikDateSeparator, ""}, {fikYear, "YYYY"}}},
      {"h:mm:ss AMPM",
       {{fikHour, "12H"},
        {fikTimeSeparator, ""},
        {fikMinute, "NN"},
        {fikTimeSeparator, ""},
        {fikSecond, "SS"},
        {fikLiteral, " "},
        {fikAmPm, "AMPM"}}},
      {"AMPM h:mm", {{fikAmPm, "AMPM"}, {fikLiteral, " "}, {fikHour, "12H"}, {fikTimeSeparator, ""}, {fikMinute, "NN"}}},
      {"h:mm A/P", {{fikHour, "12H"}, {fikTimeSeparator, ""}, {fikMinute, "NN"}, {fikLiteral, " "}, {fikAmPm, "A/P"}}},
      {"h am/pm", {{fikHour, "12H"}, {fikLiteral, " "}, {fikAmPm, "am/pm"}}},
      {"HH:mm", {{fikHour, "24HH"}, {fikTimeSeparator, ""}, {fikMinute, "NN"}}},
      {"AM/PM", {}},
      {"h' 'm", {{fikHour, "24H"}, {fikLiteral, " "}, {fikMinute, "N"}}},
      {"mm/dd hh", {{fikMonth, "MM"}, {fikDateSeparator, ""}, {fikDay, "DD"}, {fikLiteral, " "}, {fikHour, "24HH"}}},
      {"d/M dd", {{fikDay, "D"}, {fikDateSeparator, ""}, {fikMonth, "M"}, {fikLiteral, " "}}},
      {"yy-Q \"x\"yy", {{fikYear, "YY"}, {fikLiteral, "-Q x"}}},
      {"aaaa, e", {{fikDay, "DDDD"}, {fikLiteral, ", "}, {fikYear, "YY"}}},
      {"mmmmm zzzz", {{fikMonth, "MMMM"}, {fikLiteral, " "}, {fikMillisecond, "ZZZ"}}},
      {"gg yyyy", {}},
      {"dd 'G' yyyy", {{fikDay, "DD"}, {fikLiteral, " G "}, {fikYear, "YYYY"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Picture);
    EXPECT_EQ(Parse(c.Picture), c.Items);
  }
}

TEST_F(FormatPictures, SubPicturesExpandOneLevel) {
  // An empty picture is "C": the short date, a blank, the time picture.
  EXPECT_EQ(Parse(""), (TItems{{fikMonth, "M"},
                               {fikDateSeparator, ""},
                               {fikDay, "D"},
                               {fikDateSeparator, ""},
                               {fikYear, "YYYY"},
                               {fikLiteral, " "},
                               {fikHour, "12H"},
                               {fikTimeSeparator, ""},
                               {fikMinute, "NN"},
                               {fikTimeSeparator, ""},
                               {fikSecond, "SS"},
                               {fikLiteral, " "},
                               {fikAmPm, "AMPM"}}));
  EXPECT_EQ(Parse("ddddd"), Parse("M/d/yyyy"));
  // A sub-picture naming another one stops there.
  FormatSettings.ShortDateFormat = "c";
  EXPECT_EQ(Parse("ddddd"), (TItems{{fikLiteral, " "}}));
  FormatSettings.ShortDateFormat = "gg d";
  EXPECT_EQ(Parse("ddddd h"), TItems{});
  EXPECT_EQ(cxLocaleTimePicture("h:mm:ss tt"), "h:mm:ss AMPM");
  EXPECT_EQ(cxLocaleTimePicture("t h TTT"), "A/P h AMPM");
  EXPECT_EQ(cxRepeatChar('x', 3), "xxx");
  EXPECT_EQ(cxRepeatChar('x', -1), "");
}

TEST_F(FormatPictures, DayFirstShortDate) {
  FormatSettings.ShortDateFormat = "d/M/yyyy";
  TcxFormatController* c = cxGetFormatController();
  c->RebuildFormats();
  EXPECT_EQ(ItemsOf(*c->DatePictureInfo),
            (TItems{{fikDay, "D"}, {fikDateSeparator, ""}, {fikMonth, "M"}, {fikDateSeparator, ""}, {fikYear, "YYYY"}}));
  EXPECT_EQ(c->DateEditPicture, "dd/MM/yyyy");
  EXPECT_EQ(c->MaskEditDateMask, "!99/99/9999;1; ");
  EXPECT_EQ(c->MaskEditDatePicture, "dd/mm/yyyy");
  EXPECT_EQ(c->BuildRegExMask(c->DatePictureInfo.get(), 0),
            "([012]?[1-9]|[123]0|31)\\/((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|"
            "'Oct'|'Nov'|'Dec'))\\/\\d\\d\\d\\d");
  EXPECT_EQ(c->RegExDateMask.find("(([012]?[1-9]|[123]0|31)\\/"), 0u);
  EXPECT_NE(c->RegExDateMask.find("|'eom')((\\+|-)"), AnsiString::npos);
  EXPECT_EQ(c->RegExDateMask.find("'now'"), AnsiString::npos);
  EXPECT_NE(c->RegExDateTimeMask.find("|'now')"), AnsiString::npos);
  EXPECT_NE(c->RegExDateTimeMask.find(" ' '((0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?)?"), AnsiString::npos);
  EXPECT_EQ(c->MaskEditDateTimeMask, "!99/99/9999\\ 99:99:99\\ cc;1; ");
  EXPECT_EQ(c->MaskEditDateTimePicture, "dd/mm/yyyy' 'hh:nn:ss' 'ampm");
  EXPECT_EQ(c->PictureOfType(2), "d/M/yyyy h:mm:ss AMPM");
  FormatSettings.ShortDateFormat = "dMMMMd";
  EXPECT_EQ(c->BuildDateEditPicture(false), "ddMMMMdd");
  FormatSettings.ShortDateFormat = "d.MMMM.yy";
  EXPECT_EQ(c->BuildDateEditPicture(true), "dd.MMM.yy");
  FormatSettings.ShortDateFormat = "D/m/yy";
  EXPECT_EQ(c->BuildDateEditPicture(false), "D/m/yy");
}

TEST_F(FormatPictures, TimeMasks) {
  TcxFormatController* c = cxGetFormatController();
  TcxDateTimeFormatInfo info;
  cxParseFormatPicture("h:mm:ss AMPM", &info);
  EXPECT_EQ(c->BuildRegExMask(&info, 1), "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?");
  EXPECT_EQ(c->BuildMaskEditMask(&info, 1), "00:00:00\\ cc;1;0");
  cxParseFormatPicture("h:mm A/P", &info);
  EXPECT_EQ(c->BuildMaskEditMask(&info, 1), "00:00\\ c;1;0");
  EXPECT_EQ(c->BuildRegExMask(&info, 1), "(0?[1-9]|1[012])\\:[0-5]?\\d' '(A|P)?");
  EXPECT_EQ(c->BuildMaskEditPicture(&info), "hh:nn' 'a/p");
  cxParseFormatPicture("HH:mm", &info);
  EXPECT_EQ(c->BuildRegExMask(&info, 1), "([01]?\\d|2[0-3])\\:[0-5]?\\d");
  // Time items say nothing in a date mask, and date items nothing in a
  // time mask.
  EXPECT_EQ(c->BuildRegExMask(&info, 0), "");
  FormatSettings.TimeAMString = "";
  cxParseFormatPicture("h AMPM", &info);
  EXPECT_EQ(c->BuildRegExMask(&info, 1), "(0?[1-9]|1[012])' '('PM')?");
  FormatSettings.TimePMString = "";
  EXPECT_EQ(c->BuildRegExMask(&info, 1), "(0?[1-9]|1[012])' '");
  FormatSettings.TimeSeparator = ' ';
  FormatSettings.DateSeparator = '\0';
  cxParseFormatPicture("d/M h:m", &info);
  EXPECT_EQ(c->BuildRegExMask(&info, 2), "([012]?[1-9]|[123]0|31)((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|"
                                         "'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|'Nov'|'Dec'))' '([01]?\\d|2[0-3])' '[0-5]?\\d");
}

TEST_F(FormatPictures, ControllerFollowsTheLocaleTimePicture) {
  const struct {
    const char* Picture;
    const char* Expression;
  } cases[] = {
      {"h:mm:ss tt", "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?"},
      {"tt h:mm", "('AM'|'PM')?' '(0?[1-9]|1[012])\\:[0-5]?\\d"},
      {"h:mm t", "(0?[1-9]|1[012])\\:[0-5]?\\d' '(A|P)?"},
      {"HH:mm", "([01]?\\d|2[0-3])\\:[0-5]?\\d"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Picture);
    auto items = rtl::detail::EnUsLocaleItems();
    for (auto& item : items)
      if (item.first == LOCALE_STIMEFORMAT) item.second = c.Picture;
    rtl::testing::InstallLocaleTable(LOCALE_EN_US, items);
    TcxFormatController* controller = cxGetFormatController();
    controller->RebuildFormats();
    EXPECT_EQ(controller->BuildRegExMask(controller->TimePictureInfo.get(), 1), c.Expression);
  }
}

TEST_F(FormatPictures, EraPicturesGiveEmptyMasks) {
  FormatSettings.ShortDateFormat = "gg yyyy/MM/dd";
  TcxFormatController* c = cxGetFormatController();
  c->RebuildFormats();
  EXPECT_EQ(c->DatePictureInfo->ItemCount(), 0);
  EXPECT_EQ(c->DateTimePictureInfo->ItemCount(), 0);
  EXPECT_EQ(c->MaskEditDateMask, "");
  EXPECT_EQ(c->MaskEditDatePicture, "");
  EXPECT_EQ(c->MaskEditDateTimeMask, "");
  EXPECT_EQ(c->RegExDateMask.find("()|('today'"), 0u);
  EXPECT_EQ(c->DateEditPicture, "gg yyyy/MM/dd");
}

TEST_F(FormatPictures, CurrencyPictures) {
  TcxFormatController* c = cxGetFormatController();
  const char* negatives[16] = {"($,0.00)",  "-$,0.00",   "$-,0.00",   "$,0.00-",   "(,0.00$)",  "-,0.00$",
                               ",0.00-$",   ",0.00$-",   "-,0.00 $",  "-$ ,0.00",  ",0.00 $-",  "$ ,0.00-",
                               "$ -,0.00",  ",0.00- $",  "($ ,0.00)", "(,0.00 $)"};
  for (Byte format = 0; format < 16; ++format) {
    FormatSettings.NegCurrFormat = format;
    EXPECT_EQ(c->BuildCurrencyPicture(), AnsiString("$,0.00;") + negatives[format]) << int(format);
  }
  FormatSettings.NegCurrFormat = 16;
  EXPECT_EQ(c->BuildCurrencyPicture(), "$,0.00;");
  FormatSettings.NegCurrFormat = 0;
  FormatSettings.CurrencyDecimals = 0;
  FormatSettings.CurrencyString = "kr.";
  const char* positives[5] = {"kr'.',0.", ",0.kr'.'", "kr'.' ,0.", ",0. kr'.'", ""};
  for (Byte format = 0; format < 5; ++format) {
    FormatSettings.CurrencyFormat = format;
    EXPECT_EQ(c->BuildCurrencyPicture(), AnsiString(positives[format]) + ";(kr'.',0.)") << int(format);
  }
  FormatSettings.CurrencyString = "a,b";
  FormatSettings.CurrencyFormat = 0;
  EXPECT_EQ(c->BuildCurrencyPicture(), "a','b,0.;(a','b,0.)");
}

TEST_F(FormatPictures, ApostrophesInNamesAndLiteralsStayQuoted) {
  UseLocale(TDateTestLocale::kApostropheMonths);
  TcxFormatController* c = cxGetFormatController();
  EXPECT_NE(c->RegExDateMask.find("|'m'\\''r'|"), AnsiString::npos);
  EXPECT_TRUE(QuotesBalanced(c->RegExDateMask));
  EXPECT_TRUE(QuotesBalanced(c->RegExDateTimeMask));
  TcxDateTimeFormatInfo info;
  cxParseFormatPicture("d \"o'\" MMMM yyyy", &info);
  const AnsiString expression = c->BuildRegExMask(&info, 0);
  EXPECT_NE(expression.find("' o'\\'' '"), AnsiString::npos);
  EXPECT_NE(expression.find("|'ma'\\''r'|"), AnsiString::npos);
  EXPECT_TRUE(QuotesBalanced(expression));
}

TEST_F(FormatPictures, Accessors) {
  UseLocale(TDateTestLocale::kDayFirstDots);
  EXPECT_EQ(cxGetDecimalSeparator(), ',');
  EXPECT_EQ(cxGetDateSeparator(), '.');
  EXPECT_EQ(cxGetListSeparator(), ';');
  EXPECT_EQ(cxGetShortDateFormat(), "dd.MM.yyyy");
  EXPECT_EQ(cxGetCurrencyString(), "€");
  EXPECT_EQ(cxGetCurrencyFormat(), 3);
  EXPECT_EQ(cxGetNegCurrFormat(), 8);
  EXPECT_EQ(cxGetCurrencyDecimals(), 2);
  EXPECT_EQ(cxGetLongDayName(1), "Sunday");
  EXPECT_EQ(cxGetShortDayName(7), "Sat");
  EXPECT_EQ(cxGetLongMonthName(12), "December");
  EXPECT_EQ(cxGetShortMonthName(1), "Jan");
  EXPECT_EQ(cxGetTimeSeparator(), ':');
  EXPECT_EQ(cxGetTimeAMString(), "");
  EXPECT_EQ(cxGetLongTimeFormat(), "h:mm:ss");
}

// ---- The controller's window ----------------------------------------------------------------

class TRecordingListener : public IcxFormatListener, public IcxSystemTimeListener {
 public:
  explicit TRecordingListener(bool ATimeListener) : FTimeListener(ATimeListener) {}
  int Pictures = 0;
  int Times = 0;
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    if (FTimeListener && IsEqualIID(riid, IID_IcxSystemTimeListener)) {
      *ppvObject = static_cast<IcxSystemTimeListener*>(this);
      return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  void PicturesChanged() override { ++Pictures; }
  void SystemTimeChanged() override { ++Times; }

 private:
  bool FTimeListener;
};

class FormatControllerWindow : public DateUtilsTest {
 protected:
  void SetUp() override {
    DateUtilsTest::SetUp();
    if (!Application) {
      Application = new TApplication(nullptr);
      FOwnsApplication = true;
    }
  }
  void TearDown() override {
    if (FOwnsApplication) FreeAndNil(Application);
    DateUtilsTest::TearDown();
  }
  static LRESULT Intl(WPARAM AWParam = 0, const char* ASection = "intl") {
    return SendMessageA(cxGetFormatController()->Handle(), WM_SETTINGCHANGE, AWParam,
                        reinterpret_cast<LPARAM>(ASection));
  }
  bool FOwnsApplication = false;
};

TEST_F(FormatControllerWindow, FirstUseBuildsOneController) {
  TcxFormatController* c = cxGetFormatController();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(cxGetFormatController(), c);
  EXPECT_NE(c->Handle(), nullptr);
  EXPECT_GT(c->DatePictureInfo->ItemCount(), 0);
  EXPECT_FALSE(c->UseFrameworkFormats);
  EXPECT_TRUE(c->LocaleCalendarIsGregorian);
  EXPECT_EQ(c->ThreadLocaleSettings.ShortDateFormat, "M/d/yyyy");
  // After the unit's shut-down nothing is made again.
  cx_formats_detail::StopFormats();
  EXPECT_EQ(cxGetFormatController(), nullptr);
  cx_formats_detail::StartFormats();
}

TEST_F(FormatControllerWindow, IntlWithTheSwitchOffRefreshesTheLocaleCopyOnly) {
  TcxFormatController* c = cxGetFormatController();
  TRecordingListener listener(true);
  c->AttachListener(&listener);
  Application->SetUpdateFormatSettings(false);
  rtl::testing::InstallCalendarLocale(CAL_HIJRI);
  const AnsiString masks = c->MaskEditDateMask;
  EXPECT_EQ(Intl(), 0);
  EXPECT_FALSE(c->LocaleCalendarIsGregorian);
  rtl::testing::InstallDateTestLocale(TDateTestLocale::kDayFirstDots);
  EXPECT_EQ(Intl(), 0);
  EXPECT_TRUE(c->LocaleCalendarIsGregorian);
  EXPECT_EQ(c->ThreadLocaleSettings.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(c->ThreadLocaleSettings.DateSeparator, '.');
  EXPECT_EQ(FormatSettings.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(c->MaskEditDateMask, masks);
  EXPECT_EQ(c->DateEditPicture, "MM/dd/yyyy");
  EXPECT_EQ(listener.Pictures, 0);
  c->DetachListener(&listener);
}

TEST_F(FormatControllerWindow, IntlWithTheSwitchOnRebuildsAndTellsEveryListenerOnce) {
  TcxFormatController* c = cxGetFormatController();
  TRecordingListener first(false), second(true);
  c->AttachListener(&first);
  c->AttachListener(&second);
  Application->SetUpdateFormatSettings(true);
  rtl::testing::InstallDateTestLocale(TDateTestLocale::kDayFirstDots);
  EXPECT_EQ(Intl(), 0);
  EXPECT_EQ(FormatSettings.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(c->DateEditPicture, "dd.MM.yyyy");
  EXPECT_EQ(c->MaskEditDateMask, "!99\\.99\\.9999;1; ");
  EXPECT_EQ(c->ThreadLocaleSettings.ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(first.Pictures, 1);
  EXPECT_EQ(second.Pictures, 1);
  EXPECT_EQ(first.Times + second.Times, 0);
  c->DetachListener(&first);
  c->DetachListener(&second);
}

TEST_F(FormatControllerWindow, OtherSettingChangesChangeNothing) {
  TcxFormatController* c = cxGetFormatController();
  TRecordingListener listener(true);
  c->AttachListener(&listener);
  rtl::testing::InstallDateTestLocale(TDateTestLocale::kDayFirstDots);
  // A null lParam is common and names no section.
  SendMessageA(c->Handle(), WM_SETTINGCHANGE, 0, 0);
  Intl(1);
  Intl(0, "Intl");
  Intl(0, "intl2");
  EXPECT_EQ(c->ThreadLocaleSettings.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(FormatSettings.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(listener.Pictures, 0);
  c->DetachListener(&listener);
}

TEST_F(FormatControllerWindow, TimeChangesReachTimeListenersOnly) {
  TcxFormatController* c = cxGetFormatController();
  TRecordingListener formats(false), times(true);
  c->AttachListener(&formats);
  c->AttachListener(&times);
  EXPECT_EQ(SendMessageA(c->Handle(), WM_TIMECHANGE, 0, 0), 0);
  EXPECT_EQ(times.Times, 1);
  EXPECT_EQ(formats.Times, 0);
  EXPECT_EQ(formats.Pictures + times.Pictures, 0);
  c->DetachListener(&formats);
  c->DetachListener(&times);
}

TEST_F(FormatControllerWindow, ListenersAreListedOnce) {
  TcxFormatController* c = cxGetFormatController();
  TRecordingListener listener(false), other(false);
  c->AttachListener(&listener);
  c->AttachListener(&listener);
  c->AttachListener(&other);
  EXPECT_EQ(c->ListenerCount(), 2);
  c->NotifyPicturesChanged();
  EXPECT_EQ(listener.Pictures, 1);
  c->DetachListener(&listener);
  EXPECT_EQ(c->ListenerCount(), 1);
  EXPECT_EQ(c->Listeners(0), &other);
  c->DetachListener(&listener);
  EXPECT_EQ(c->ListenerCount(), 1);
  c->ResourceStringsChanged();
  EXPECT_EQ(other.Pictures, 2);
  EXPECT_EQ(listener.Pictures, 1);
  c->DetachListener(&other);
}

}  // namespace
