// Assertions as the host framework raises them: a failed Assert raises
// EAssertionFailed whose message names the source unit and line.
#pragma once

#include <source_location>

#include "platform/rtl/sysutils.h"

RTL_EXCEPTION(EAssertionFailed, Exception)

// Raises EAssertionFailed when Condition is false, with "<Message> (<unit>,
// line <n>)"; an empty Message reads "Assertion failure". The unit is the
// caller's source file name without its folder.
void Assert(bool Condition, const AnsiString& Message = AnsiString(),
            std::source_location Where = std::source_location::current());
