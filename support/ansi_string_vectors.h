// Vectors of 8-bit strings, and of strings paired with a cardinal, over
// two shared item handlers.
#pragma once

#include "support/containers.h"

class TStrings;

// The item of a string vector. The string is held through a pointer (null
// while empty) so that items move as raw bytes, as the vectors move them.
struct TDIAnsiStringItem {
  AnsiString* FText;

  const AnsiString& Text() const;
  void SetText(const AnsiString& Value);
  void Release();
};

// The item of a string-and-cardinal vector.
struct TDIAnsiStringCardinalItem {
  TDIAnsiStringItem Str;
  Cardinal Number;
};

// The shared handlers, created on first use and freed at their unit's
// shut-down. Items are the records above; bytes of ItemSize beyond the
// record are copied nowhere and streamed raw after it. Streams count a
// string as 4 bytes, the size of a string reference in the format's
// original 32-bit layout, so the header of a plain string vector holds 4
// and that of a string-and-cardinal vector 8; reading another size raises
// "Invalid ItemSize (%d)" with the size read.
TDIItemHandler* AnsiStringItemHandler();
TDIItemHandler* AnsiStringCardinalItemHandler();
// The unit shut-downs. While a container still uses its handler they raise
// "ItemHandler in use during destruction" and keep it.
void FreeAnsiStringItemHandler();
void FreeAnsiStringCardinalItemHandler();

class TDIAnsiStringVector : public TDIVector {
  RTL_CLASS(TDIAnsiStringVector, TDIVector)

 protected:
  explicit TDIAnsiStringVector(TDIItemHandler* ItemHandler) : TDIVector(ItemHandler) {}

 public:
  TDIAnsiStringVector() : TDIVector(AnsiStringItemHandler()) {}

  // Both raise "List index out of bounds (%d)" outside 0..Count-1.
  AnsiString GetString(Integer Index) const;
  void SetString(Integer Index, const AnsiString& Value);
  // Clears, then takes every line of Strings.
  void AssignFromStrings(TStrings* Strings);
};

class TDIAnsiStringCardinalVector : public TDIAnsiStringVector {
  RTL_CLASS(TDIAnsiStringCardinalVector, TDIAnsiStringVector)

 public:
  TDIAnsiStringCardinalVector() : TDIAnsiStringVector(AnsiStringCardinalItemHandler()) {}

  // Raises "List index out of bounds (%d)" outside 0..Count-1.
  Cardinal GetCardinal(Integer Index) const;
};
