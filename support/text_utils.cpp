#include "support/text_utils.h"

#include <algorithm>

#include "platform/rtl/fileutils.h"

namespace {

// Upper-case mapping of the Windows-1252 code page.
unsigned char Upper1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:  // s caron
    case 0x9C:  // oe
    case 0x9E:  // z caron
      return static_cast<unsigned char>(c - 0x10);
    case 0xFF:  // y diaeresis
      return 0x9F;
    default:
      break;
  }
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

struct TMatcher {
  const AnsiString& S;
  const AnsiString& M;
  char W;
  char Q;

  bool Corresponds(size_t m, size_t s) const {
    return M[m] == Q || Upper1252(static_cast<unsigned char>(M[m])) == Upper1252(static_cast<unsigned char>(S[s]));
  }

  bool Run() const {
    const size_t sl = S.size(), ml = M.size();
    size_t s = 0, m = 0;
    // Prefix up to the first wild character.
    while (s < sl && m < ml && M[m] != W && Corresponds(m, s)) ++s, ++m;
    if (m == ml) return s == sl;
    if (M[m] != W) return false;
    for (;;) {
      while (m < ml && M[m] == W) ++m;
      if (m == ml) return true;
      // Find the segment's first character, then walk the rest of it.
      const size_t segment = m;
      while (s < sl && !Corresponds(m, s)) ++s;
      if (s == sl) return false;
      const size_t resume = ++s;
      ++m;
      while (m < ml && s < sl && M[m] != W && Corresponds(m, s)) ++m, ++s;
      if (m < ml && M[m] != W) {
        m = segment;
        s = resume;
        continue;
      }
      if (m < ml) continue;
      if (s == sl) return true;
      // The last segment has to sit at the very end of the text.
      const size_t length = ml - segment;
      if (length > sl) return false;
      for (size_t i = 0; i < length; ++i)
        if (!Corresponds(segment + i, sl - length + i)) return false;
      return true;
    }
  }
};

}  // namespace

bool MatchWildcard(const AnsiString& text, const AnsiString& mask, char wild, char maskChar) {
  return TMatcher{text, mask, wild, maskChar}.Run();
}

AnsiString EnsureTrailingChar(const AnsiString& text, char c) {
  if (!text.empty() && text.back() == c) return text;
  return text + c;
}

AnsiString EnsureTrailingBackslash(const AnsiString& text) { return EnsureTrailingChar(text, PathDelim); }

Integer CompareOrdinal(const AnsiString& a, const AnsiString& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x != y) return Integer(x) - Integer(y);
  }
  return static_cast<Integer>(a.size()) - static_cast<Integer>(b.size());
}
