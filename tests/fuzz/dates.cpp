// Date and time parsing under fuzzed settings (separators, the short date
// format, the two-digit year window), and FormatDateTime over the same
// format text.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  TFormatSettings fs;
  fs.DateSeparator = static_cast<char>(data[0]);
  fs.TimeSeparator = static_cast<char>(data[1]);
  fs.DecimalSeparator = static_cast<char>(data[2]);
  fs.TwoDigitYearCenturyWindow = data[3];
  AnsiString rest(reinterpret_cast<const char*>(data + 4), size - 4);
  AnsiString text = rest;
  const size_t nul = rest.find('\0');
  if (nul != AnsiString::npos) {
    fs.ShortDateFormat = rest.substr(0, nul);
    text = rest.substr(nul + 1);
  }
  TDateTime value = 0;
  TryStrToDate(text, value, fs);
  TryStrToTime(text, value, fs);
  TryStrToDateTime(text, value, fs);
  try {
    StrToDateTime(text, fs);
  } catch (const Exception&) {
  }
  try {
    FormatDateTime(fs.ShortDateFormat, value, fs);
    FormatDateTime(fs.ShortDateFormat, 45000.75, fs);
  } catch (const Exception&) {
  }
  return 0;
}
