// Re-reading the framework's format settings (FormatSettings) from the
// user's locale. The runtime knows no locale of its own: the locale
// provider of the Win32 layer installs the reader when it is linked in;
// without one the settings stay as they are.
#pragma once

struct TFormatSettings;

// Fills the settings from the user's locale; false when it cannot.
using TFormatSettingsReader = bool (*)(TFormatSettings& Settings);
void SetFormatSettingsReader(TFormatSettingsReader Reader);

// FormatSettings from the user's locale: currency string, format, negative
// format and decimals; thousand, decimal, date, time and list separators;
// short and long date pictures; AM and PM strings; short and long time
// pictures built from the locale's clock (h or hh, ":mm", ":ss", " AMPM"
// on the 12-hour clock, before the time when the locale puts it there);
// month and day names. The two-digit year window stays.
void GetFormatSettings();
