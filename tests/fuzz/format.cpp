// Format with a fuzzed format string over a fixed set of arguments of
// every kind; the first byte rotates which argument comes first.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::vector<TVarRec> args = {TVarRec(42),        TVarRec(-7),          TVarRec(Int64(1) << 40),
                               TVarRec(3.25),      TVarRec(-1e300),      TVarRec(AnsiString("text")),
                               TVarRec("chars"),   TVarRec(INT32_MAX),   TVarRec(INT32_MIN),
                               TVarRec(Int64(-1)), TVarRec(1e-300),      TVarRec(AnsiString()),
                               TVarRec('c'),       TVarRec(true),        TVarRec(static_cast<const void*>(data))};
  std::rotate(args.begin(), args.begin() + data[0] % args.size(), args.end());
  const AnsiString fmt(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    Format(fmt, args.data(), static_cast<int>(args.size()), FormatSettings);
  } catch (const Exception&) {
  }
  return 0;
}
