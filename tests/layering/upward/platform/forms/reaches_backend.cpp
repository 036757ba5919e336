// The visual classes may not see the backend under the Win32 layer.
#include "platform/backend/backend.h"
