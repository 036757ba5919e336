// Assertions as the host framework raises them: a failed Assert raises
// EAssertionFailed whose message names the source unit and line.
#pragma once

#include "platform/rtl/sysutils.h"

RTL_EXCEPTION(EAssertionFailed, Exception)

// Raises EAssertionFailed when Condition is false, with "<Message> (<unit>,
// line <n>)"; an empty Message reads "Assertion failure". The unit is the
// caller's source file name without its folder (the defaults take the
// caller's place; std::source_location is not there on every compiler the
// project builds with).
void Assert(bool Condition, const AnsiString& Message = AnsiString(), const char* File = __builtin_FILE(),
            int Line = __builtin_LINE());
