// Edit masks: formatting a plain value through a mask.
//
// A mask has up to three sections separated by ';': the mask itself;
// whether the value carries the mask's literal characters in place ("0":
// it does not, anything else or no section: it does); the character shown
// for a position the value leaves empty ('_' when not given).
//
// Mask characters: 0 digit, 9 digit or blank, # digit, sign or blank;
// L letter, l letter or blank; A letter or digit, a letter, digit or blank;
// C any character, c any character or blank. '>' makes the following
// letters upper case, '<' lower case, "<>" leaves them as they are. '!'
// puts the blanks of a short value in front instead of at the end. '\'
// takes the next character as a literal; '_' stands for a space; every
// other character is a literal.
#pragma once

#include "platform/rtl/types.h"

// Value's characters fill the mask's positions in order; a character that
// fits no position where it stands is left out, and the positions the
// value does not reach show the blank character.
WideString FormatMaskText(const WideString& EditMask, const WideString& Value);
AnsiString FormatMaskText(const AnsiString& EditMask, const AnsiString& Value);
