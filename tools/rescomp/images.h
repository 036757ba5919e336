// The image files that the original platform's resource compiler takes
// apart: a bitmap loses its file header, an icon or cursor file becomes one
// resource per image plus a group directory that refers to them by number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rescomp/resource_set.h"

namespace rescomp {

// RT_BITMAP: the file without its 14-byte BITMAPFILEHEADER.
void AddBitmap(TResourceSet& set, const TResId& name, const std::vector<uint8_t>& file, const std::string& origin);

// RT_ICON images and an RT_GROUP_ICON directory named `name` (entries of
// 14 bytes: width, height, colour count, reserved, planes, bit count, size,
// image number).
void AddIcon(TResourceSet& set, const TResId& name, const std::vector<uint8_t>& file, const std::string& origin);

// RT_CURSOR images (each led by its hot spot, two 16-bit values) and an
// RT_GROUP_CURSOR directory named `name` (entries of 14 bytes: width,
// height of the XOR and AND masks together, planes, bit count, size,
// image number).
void AddCursor(TResourceSet& set, const TResId& name, const std::vector<uint8_t>& file, const std::string& origin);

}  // namespace rescomp
