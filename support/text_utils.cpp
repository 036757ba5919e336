#include "support/text_utils.h"

#include <algorithm>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/strutils.h"

namespace {

// Works on characters, not bytes: S is the folded text, M the mask as
// written (so a letter never turns into the wild or mask character) and F
// the folded mask.
struct TMatcher {
  const std::u32string& S;
  const std::u32string& M;
  const std::u32string& F;
  char32_t W;
  char32_t Q;

  bool Corresponds(size_t m, size_t s) const { return M[m] == Q || F[m] == S[s]; }

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
  std::u32string folded = AnsiToCodePoints(text);
  for (char32_t& c : folded) c = FoldCase(c);
  const std::u32string written = AnsiToCodePoints(mask);
  std::u32string foldedMask = written;
  for (char32_t& c : foldedMask) c = FoldCase(c);
  // The two characters as the mask's decoding sees them (a lone high byte
  // is not valid UTF-8).
  const char32_t w = AnsiToCodePoints(AnsiString(1, wild))[0];
  const char32_t q = AnsiToCodePoints(AnsiString(1, maskChar))[0];
  return TMatcher{folded, written, foldedMask, w, q}.Run();
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
