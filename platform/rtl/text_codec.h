// The one pair of conversions between 8-bit text (UTF-8, the system code
// page here) and UTF-16. Lossless for 8-bit text: a byte that is not part
// of valid UTF-8 (a file name from another encoding) becomes U+DC80+byte
// and turns back into the same byte.
#pragma once

#include "platform/rtl/types.h"

WideString AnsiToWide(const AnsiString& s);
AnsiString WideToAnsi(const WideString& s);
