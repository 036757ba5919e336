#include "platform/rtl/syslocale.h"

const TSysLocale SysLocale{0x0409, 0x09, 0x01, false, false};
const TSysCharSet LeadBytes{};
