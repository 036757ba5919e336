// Writes the compiled resources as a C++ source that defines the runtime
// library's resource directory (rtl::detail::ModuleResources), and the
// build's dependency file.
#pragma once

#include <string>
#include <vector>

#include "tools/rescomp/resource_set.h"

namespace rescomp {

std::string SourceText(const std::vector<TResource>& resources, const std::string& manifest);
// A make-style rule: the output depends on every input.
std::string DepfileText(const std::string& output, const std::vector<std::string>& inputs);
// Writes through a temporary file and a rename; raises TError on failure.
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace rescomp
