// The manifest and string-table formats.
//
// A manifest lists resources, one a line; blank lines and lines starting
// with '#' are ignored; a token may be double-quoted (with \" and \\):
//   TYPE NAME path      a resource from a file
//   STRINGTABLE path    the strings of a string-table file
//   INCLUDE path        the lines of another manifest
// Paths are relative to the manifest's folder. TYPE is a number from 1 to
// 65535, one of the keywords CURSOR, BITMAP, ICON, FONT, RCDATA,
// MESSAGETABLE, ANICURSOR, ANIICON, HTML, MANIFEST (the original platform's
// numbered types), or any other name (PNG, FORM, WAVE...). NAME is a number
// from 1 to 65535 or a name. Names of both kinds are kept in upper case, so
// lookups ignore case. BITMAP drops the file header; ICON and CURSOR split
// the file into images and a group (see images.h); others keep the bytes.
//
// A string-table file holds lines `ID "text"`: ID from 0 to 65535, text in
// UTF-8 with the escapes \n \r \t \a \b \f \v \\ \" \' \? \xHH \ooo
// (bytes) and \uXXXX (a character). Blank lines and '#' lines are ignored.
#pragma once

#include <string>

#include "tools/rescomp/resource_set.h"

namespace rescomp {

// Reads a manifest and everything it names into the set; raises TError.
void ReadManifest(const std::string& path, TResourceSet& set);
// Reads a string-table file into the set; raises TError.
void ReadStringTable(const std::string& path, TResourceSet& set);

}  // namespace rescomp
