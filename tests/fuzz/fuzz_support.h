// What the fuzz targets share: a private scratch folder, writing an input
// to a file there, and the offscreen set-up of the window layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A folder of its own for this process, made on first use; XDG_CONFIG_HOME
// points into it so that nothing touches the user's settings.
const std::string& ScratchFolder();

// Writes the bytes to `name` under the scratch folder, replacing the file
// (a new file each time, so readers that cache by identity see a change).
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

// The offscreen backend and GDI+, started once.
void StartGraphics();

}  // namespace fuzz
