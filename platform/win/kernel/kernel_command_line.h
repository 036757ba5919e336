// The original platform's rules for splitting a command line into the
// program's arguments (see CreateProcess in kernel.h).
#pragma once

#include <string>
#include <vector>

namespace rtl::detail {

std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace rtl::detail
