// The selected font realised for a DC, text layout helpers and the text
// renderer shared by the text functions and DrawText.
#pragma once

#include <string>
#include <vector>

#include "platform/win/gdi/gdi_objects.h"

namespace rtl::backend {
class TFontFace;
}

namespace rtl::detail {

struct TRealFont {
  TGdiFont* Font = nullptr;
  rtl::backend::TFontFace* Face = nullptr;
  double Scale = 1;  // device pixels per logical unit
  int Angle = 0;     // glyph angle on the target, tenths of a degree
  TEXTMETRICW Tm{};  // logical units
};

// False for a DC without a usable font.
bool RealizeFont(TGdiDC* dc, TRealFont& out);

// One character of a string: its code point and the UTF-16 units it takes.
struct TTextChar {
  char32_t Code;
  int Units;
};
std::vector<TTextChar> SplitText(const char16_t* s, int n);

// Logical advance of each character as the DC lays text out: the font's
// advance plus the character extra (no justification).
void CharAdvances(TGdiDC* dc, TRealFont& font, const std::vector<TTextChar>& chars, std::vector<int>& out);

// Draws UTF-16 text with its reference point at (x, y) (logical), using
// the DC's alignment, colours and background mode; dx gives per-unit
// advances (logical) or is null. What ExtTextOutW does.
BOOL TextOutCore(TGdiDC* dc, int x, int y, UINT options, const RECT* rect, const char16_t* text, int count,
                 const INT* dx);

// UTF-8 text and per-byte arrays of the A functions.
WideString AnsiText(LPCSTR text, int count);

}  // namespace rtl::detail
