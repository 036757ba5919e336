// The state a cell is drawn, formatted or measured in.
#pragma once

#include "platform/rtl/properties.h"
#include "platform/rtl/types.h"

RTL_ENUM(TCellStateFlag, csBoldTextSelection, csEmpty, csFocused, csSelected)
using TCellState = TSet<TCellStateFlag, 8>;
