#include "platform/win/kernel/kernel_locale.h"

#include <atomic>
#include <cstring>
#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"

namespace {

// Not among the kernel's error numbers yet.
constexpr DWORD kErrorInvalidFlags = 1004;  // ERROR_INVALID_FLAGS

// The default locale is one whose week starts on Sunday.
constexpr int kDefaultFirstDay = 6;
std::atomic<int> gFirstDay{kDefaultFirstDay};

}  // namespace

int GetLocaleInfoA(LCID /*Locale*/, LCTYPE LCType, LPSTR lpLCData, int cchData) {
  std::string Value;
  switch (LCType & 0xFFFF) {
    case LOCALE_IFIRSTDAYOFWEEK: Value = std::to_string(gFirstDay.load()); break;
    default: SetLastError(kErrorInvalidFlags); return 0;
  }
  const int Needed = static_cast<int>(Value.size()) + 1;
  if (cchData == 0) return Needed;
  if (!lpLCData || cchData < Needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpLCData, Value.c_str(), static_cast<size_t>(Needed));
  return Needed;
}

namespace rtl::testing {

void SetLocaleFirstDayOfWeek(int day) { gFirstDay = (day < 0 || day > 6) ? kDefaultFirstDay : day; }

}  // namespace rtl::testing
