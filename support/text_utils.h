// Small text routines of the folder search and the string containers.
#pragma once

#include "platform/rtl/types.h"

// Case-insensitive wildcard match of a whole UTF-8 text: wild matches any
// run of characters (also none), mask any one character. Case is folded as
// by the runtime library's FoldCase; a byte that is not part of valid UTF-8
// is a character of its own that matches only itself.
bool MatchWildcard(const AnsiString& text, const AnsiString& mask, char wild = '*', char maskChar = '?');

// Appends c unless the text already ends with it; an empty text becomes c.
AnsiString EnsureTrailingChar(const AnsiString& text, char c);
// The same with the platform's path delimiter.
AnsiString EnsureTrailingBackslash(const AnsiString& text);

// Byte-wise comparison as unsigned values: the first difference gives the
// byte of a minus the byte of b; equal prefixes give the difference of the
// lengths.
Integer CompareOrdinal(const AnsiString& a, const AnsiString& b);
