// The GDI part may not use the window manager above it.
#include "platform/win/user/user.h"
