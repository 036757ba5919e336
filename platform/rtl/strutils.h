// String functions: conversions between text and numbers, trimming and
// case, comparison, and searching and editing with 1-based positions.
//
// AnsiString holds UTF-8. The Ansi* and Wide* functions (and ContainsText,
// StartsText, EndsText, rfIgnoreCase) compare and change case over Unicode
// letters; UpperCase, LowerCase, CompareText and SameText follow ASCII
// rules. Positions and lengths count bytes.
#pragma once

#include <concepts>

#include "platform/rtl/types.h"

struct TFormatSettings;

// ---- Character sets ---------------------------------------------------------

// The host framework's `set of AnsiChar`.
class TSysCharSet {
  uint64_t bits_[4] = {};

 public:
  constexpr TSysCharSet() = default;
  constexpr TSysCharSet(std::initializer_list<char> chars) {
    for (char c : chars) Include(c);
  }
  constexpr bool Contains(char c) const {
    auto i = static_cast<unsigned char>(c);
    return (bits_[i / 64] >> (i % 64)) & 1u;
  }
  constexpr TSysCharSet& Include(char c) {
    auto i = static_cast<unsigned char>(c);
    bits_[i / 64] |= uint64_t(1) << (i % 64);
    return *this;
  }
};

inline bool CharInSet(char c, const TSysCharSet& set) { return set.Contains(c); }
// ASCII upper case of one character.
inline char UpCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// ---- Integers -----------------------------------------------------------------

AnsiString IntToStr(Int64 value);
AnsiString UIntToStr(UInt64 value);

namespace rtl::detail {
AnsiString HexText(UInt64 value, int digits);
}

// Upper-case hexadecimal with at least `digits` digits. Negative values
// show their two's complement: 8 digits for 32-bit and smaller types,
// 16 for 64-bit ones (IntToHex(-1, 2) is "FFFFFFFF").
template <std::integral T>
AnsiString IntToHex(T value, int digits) {
  if constexpr (sizeof(T) <= 4)
    return rtl::detail::HexText(static_cast<uint32_t>(value), digits);
  else
    return rtl::detail::HexText(static_cast<UInt64>(value), digits);
}

// Decimal, or hexadecimal after "$", "0x" or "0X", with an optional sign
// and leading blanks; nothing may follow the digits. Hexadecimal takes the
// full unsigned width and wraps ("$FFFFFFFF" is -1); decimal out of range
// is an error. StrToInt raises EConvertError "'%s' is not a valid integer
// value".
Integer StrToInt(const AnsiString& s);
Integer StrToIntDef(const AnsiString& s, Integer defaultValue);
bool TryStrToInt(const AnsiString& s, Integer& value);
Int64 StrToInt64(const AnsiString& s);
Int64 StrToInt64Def(const AnsiString& s, Int64 defaultValue);
bool TryStrToInt64(const AnsiString& s, Int64& value);

// ---- Floating point -------------------------------------------------------------

// Decimal text with the settings' decimal separator (no thousand
// separators), an optional sign and exponent; blanks around it are
// allowed. StrToFloat raises EConvertError "'%s' is not a valid floating
// point value".
Extended StrToFloat(const AnsiString& s);
Extended StrToFloat(const AnsiString& s, const TFormatSettings& fs);
Extended StrToFloatDef(const AnsiString& s, Extended defaultValue);
Extended StrToFloatDef(const AnsiString& s, Extended defaultValue, const TFormatSettings& fs);
bool TryStrToFloat(const AnsiString& s, Extended& value);
bool TryStrToFloat(const AnsiString& s, Extended& value, const TFormatSettings& fs);

// The shortest general text with up to 15 significant digits.
AnsiString FloatToStr(Extended value);
AnsiString FloatToStr(Extended value, const TFormatSettings& fs);

// Formats with a picture: "0" and "#" digit placeholders, "." the decimal
// point, "," thousand separators, "E+00"/"E-00" scientific notation,
// 'text' and "text" literals, and up to three sections separated by ";"
// for positive, negative and zero values (an empty or missing section
// falls back to the first; a negative value in the first section gets a
// minus sign). Halves round away from zero.
AnsiString FormatFloat(const AnsiString& format, Extended value);
AnsiString FormatFloat(const AnsiString& format, Extended value, const TFormatSettings& fs);

// ---- Booleans -----------------------------------------------------------------

// "-1"/"0", or "True"/"False" when useBoolStrs is set.
AnsiString BoolToStr(bool value, bool useBoolStrs = false);
// A number (non-zero is true) or "True"/"False" in any case. StrToBool
// raises EConvertError "'%s' is not a valid boolean value".
bool StrToBool(const AnsiString& s);
bool StrToBoolDef(const AnsiString& s, bool defaultValue);
bool TryStrToBool(const AnsiString& s, bool& value);

// ---- Trimming and case ----------------------------------------------------------

// Cut characters <= ' ' (blanks and control characters).
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);

// ASCII letters only.
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);
// Unicode letters (Latin, Greek, Cyrillic, Armenian and others), the same
// on every machine.
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);
WideString WideUpperCase(const WideString& s);
WideString WideLowerCase(const WideString& s);

// The one case folding of every case-insensitive comparison here (the
// Ansi*, Wide* and *Text functions over Unicode letters, and the folder
// search's masks): a code point's simple one-to-one folded form.
char32_t FoldCase(char32_t c);
// The code points of UTF-8 text, one per character. A byte that is not part
// of valid UTF-8 becomes U+DC80+byte, as in AnsiToWide, so it meets only
// the same byte.
std::u32string AnsiToCodePoints(const AnsiString& s);

// ---- Comparison ---------------------------------------------------------------

// Byte order: the difference of the first differing bytes (as unsigned),
// else of the lengths.
Integer CompareStr(const AnsiString& s1, const AnsiString& s2);
// The same after ASCII upper-casing.
Integer CompareText(const AnsiString& s1, const AnsiString& s2);
bool SameStr(const AnsiString& s1, const AnsiString& s2);
bool SameText(const AnsiString& s1, const AnsiString& s2);

// Text order, -1, 0 or 1. Code points are compared case-folded; the *Str
// forms break ties by case, lower case first ("a" < "A" < "b"). The order
// is ours and does not follow the machine's locale.
Integer AnsiCompareStr(const AnsiString& s1, const AnsiString& s2);
Integer AnsiCompareText(const AnsiString& s1, const AnsiString& s2);
bool AnsiSameStr(const AnsiString& s1, const AnsiString& s2);
bool AnsiSameText(const AnsiString& s1, const AnsiString& s2);
Integer WideCompareStr(const WideString& s1, const WideString& s2);
Integer WideCompareText(const WideString& s1, const WideString& s2);
bool WideSameText(const WideString& s1, const WideString& s2);

// ---- Searching and editing (1-based) ----------------------------------------------

// Position of the first occurrence, 0 when absent or when substr is empty.
Integer Pos(const AnsiString& substr, const AnsiString& s);
// The same starting at offset; 0 when offset is outside 1..Length(s).
Integer PosEx(const AnsiString& substr, const AnsiString& s, Integer offset = 1);
Integer AnsiPos(const AnsiString& substr, const AnsiString& s);

// Up to count characters from index; an index below 1 counts from the
// start, one past the end gives "".
AnsiString Copy(const AnsiString& s, Integer index, Integer count);
// Removes up to count characters from index; nothing when index is
// outside the string or count <= 0.
void Delete(AnsiString& s, Integer index, Integer count);
// Inserts before index, clamped to 1..Length(s) + 1.
void Insert(const AnsiString& source, AnsiString& s, Integer index);

AnsiString StringOfChar(char ch, Integer count);
AnsiString DupeString(const AnsiString& s, Integer count);
AnsiString ReverseString(const AnsiString& s);
AnsiString LeftStr(const AnsiString& s, Integer count);
AnsiString RightStr(const AnsiString& s, Integer count);
AnsiString MidStr(const AnsiString& s, Integer start, Integer count);
AnsiString IfThen(bool condition, const AnsiString& ifTrue, const AnsiString& ifFalse = AnsiString());

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag, 2>;
// Replaces the first (or every) occurrence of oldPattern; with
// rfIgnoreCase the match is case-insensitive over Unicode letters.
AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         TReplaceFlags flags);

// 'text' with embedded quotes doubled.
AnsiString QuotedStr(const AnsiString& s);
AnsiString AnsiQuotedStr(const AnsiString& s, char quote);
// Undoes AnsiQuotedStr: the text up to the closing quote with doubled
// quotes made single. A text that does not start with the quote, or has
// no closing quote, comes back unchanged.
AnsiString AnsiDequotedStr(const AnsiString& s, char quote);

// Case-insensitive (Unicode letters) and case-sensitive tests.
bool ContainsText(const AnsiString& text, const AnsiString& subText);
bool ContainsStr(const AnsiString& text, const AnsiString& subText);
bool StartsText(const AnsiString& subText, const AnsiString& text);
bool EndsText(const AnsiString& subText, const AnsiString& text);
bool StartsStr(const AnsiString& subText, const AnsiString& text);
bool EndsStr(const AnsiString& subText, const AnsiString& text);
bool AnsiStartsText(const AnsiString& subText, const AnsiString& text);
bool AnsiEndsText(const AnsiString& subText, const AnsiString& text);
bool AnsiStartsStr(const AnsiString& subText, const AnsiString& text);
bool AnsiEndsStr(const AnsiString& subText, const AnsiString& text);

// Position of the last character of s that is one of delimiters, 0 if none.
Integer LastDelimiter(const AnsiString& delimiters, const AnsiString& s);
// Whether s[index] is one of delimiters (false outside the string).
bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, Integer index);

// Breaks text into lines of at most maxCol characters after one of
// breakChars, inserting breakStr; quoted text ('...' or "...") is not
// broken, a word longer than maxCol stays whole and existing breakStr
// line breaks start a new line.
AnsiString WrapText(const AnsiString& line, const AnsiString& breakStr, const TSysCharSet& breakChars,
                    Integer maxCol);
// Breaks at blanks, tabs and hyphens with CR LF.
AnsiString WrapText(const AnsiString& line, Integer maxCol = 45);

enum TTextLineBreakStyle { tlbsLF, tlbsCRLF };
// Turns every CR, LF and CR LF into the style's line break.
AnsiString AdjustLineBreaks(const AnsiString& s, TTextLineBreakStyle style = tlbsCRLF);

// Letters, digits and "_", not starting with a digit; with allowDots,
// such names joined by single dots.
bool IsValidIdent(const AnsiString& ident, bool allowDots = false);

// ---- Null-terminated strings --------------------------------------------------------

Cardinal StrLen(const char* s);
AnsiString StrPas(const char* s);
// Copies with the terminator; dest must hold the text and the null.
char* StrPCopy(char* dest, const AnsiString& source);
// Copies at most maxLen characters and a null.
char* StrLCopy(char* dest, const char* source, Cardinal maxLen);
