#include "platform/backend/locale_data.h"

#include <QLocale>
#include <QString>

namespace rtl::backend {

namespace {
AnsiString U8(const QString& s) { return s.toUtf8().toStdString(); }
}  // namespace

bool LookupLocale(const AnsiString& name, TLocaleFacts& facts) {
  QLocale l(QString::fromUtf8(name.c_str()));
  if (l.language() == QLocale::C || l.language() == QLocale::AnyLanguage) return false;
  facts.Name = U8(l.bcp47Name());
  QString qtName = l.name();  // "de_DE"
  int sep = qtName.indexOf(u'_');
  facts.IsoLanguage = U8(sep < 0 ? qtName : qtName.left(sep));
  facts.IsoCountry = sep < 0 ? AnsiString() : U8(qtName.mid(sep + 1));
  if (!facts.IsoCountry.empty() && facts.Name.find('-') == AnsiString::npos)
    facts.Name += "-" + facts.IsoCountry;
  facts.EnglishLanguage = U8(QLocale::languageToString(l.language()));
  facts.EnglishCountry = U8(QLocale::territoryToString(l.territory()));
  facts.NativeLanguage = U8(l.nativeLanguageName());
  facts.NativeCountry = U8(l.nativeTerritoryName());
  for (int d = 1; d <= 7; ++d) {
    facts.LongDayNames[d - 1] = U8(l.dayName(d, QLocale::LongFormat));
    facts.ShortDayNames[d - 1] = U8(l.dayName(d, QLocale::ShortFormat));
    facts.NarrowDayNames[d - 1] = U8(l.dayName(d, QLocale::NarrowFormat));
  }
  for (int m = 1; m <= 12; ++m) {
    facts.LongMonthNames[m - 1] = U8(l.monthName(m, QLocale::LongFormat));
    facts.ShortMonthNames[m - 1] = U8(l.monthName(m, QLocale::ShortFormat));
  }
  facts.ShortDatePattern = U8(l.dateFormat(QLocale::ShortFormat));
  facts.LongDatePattern = U8(l.dateFormat(QLocale::LongFormat));
  facts.ShortTimePattern = U8(l.timeFormat(QLocale::ShortFormat));
  facts.LongTimePattern = U8(l.timeFormat(QLocale::LongFormat));
  facts.AmText = U8(l.amText());
  facts.PmText = U8(l.pmText());
  facts.DecimalPoint = U8(l.decimalPoint());
  facts.GroupSeparator = U8(l.groupSeparator());
  facts.NegativeSign = U8(l.negativeSign());
  facts.PositiveSign = U8(l.positiveSign());
  facts.CurrencySymbol = U8(l.currencySymbol());
  facts.FirstDayOfWeek = static_cast<int>(l.firstDayOfWeek());
  return true;
}

}  // namespace rtl::backend
