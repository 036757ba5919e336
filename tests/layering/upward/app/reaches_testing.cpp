// The application may not use the test library.
#include "platform/testing/fault_hooks.h"
