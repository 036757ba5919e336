// The framework's record of the system locale. The system code page is
// UTF-8, which has no lead bytes in the double-byte sense, so the locale
// is never a Far East one, whatever language the user reads.
#pragma once

#include "platform/rtl/strutils.h"
#include "platform/rtl/types.h"

struct TSysLocale {
  Integer DefaultLCID;
  Integer PriLangID;
  Integer SubLangID;
  bool FarEast;
  bool MiddleEast;
};

// en-US as the identifier (the layer's locale data lives in the Win32
// layer); FarEast and MiddleEast false.
extern const TSysLocale SysLocale;
// The lead bytes of the system code page: none.
extern const TSysCharSet LeadBytes;
