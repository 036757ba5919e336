#include "support/text_utils.h"

#include <algorithm>
#include <string_view>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/strutils.h"

namespace {

// Works on characters: bytes of ASCII text, else code points.
template <class Ch>
struct TMatcher {
  std::basic_string_view<Ch> S;
  std::basic_string_view<Ch> M;
  char32_t W;
  char32_t Q;

  static char32_t At(std::basic_string_view<Ch> t, size_t i) {
    if constexpr (sizeof(Ch) == 1)
      return static_cast<unsigned char>(t[i]);
    else
      return t[i];
  }
  bool IsWild(size_t m) const { return At(M, m) == W; }
  bool Corresponds(size_t m, size_t s) const {
    const char32_t c = At(M, m);
    return c == Q || FoldCase(c) == FoldCase(At(S, s));
  }

  bool Run() const {
    const size_t sl = S.size(), ml = M.size();
    size_t s = 0, m = 0;
    // Prefix up to the first wild character.
    while (s < sl && m < ml && !IsWild(m) && Corresponds(m, s)) ++s, ++m;
    if (m == ml) return s == sl;
    if (!IsWild(m)) return false;
    for (;;) {
      while (m < ml && IsWild(m)) ++m;
      if (m == ml) return true;
      // Find the segment's first character, then walk the rest of it.
      const size_t segment = m;
      while (s < sl && !Corresponds(m, s)) ++s;
      if (s == sl) return false;
      const size_t resume = ++s;
      ++m;
      while (m < ml && s < sl && !IsWild(m) && Corresponds(m, s)) ++m, ++s;
      if (m < ml && !IsWild(m)) {
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

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

bool MatchWildcard(const AnsiString& text, const AnsiString& mask, char wild, char maskChar) {
  const auto w = static_cast<unsigned char>(wild), q = static_cast<unsigned char>(maskChar);
  // Folder searches match every path: plain ASCII needs no decoding.
  if (w < 0x80 && q < 0x80 && IsAscii(text) && IsAscii(mask))
    return TMatcher<char>{text, mask, w, q}.Run();
  const std::u32string t = AnsiToCodePoints(text), m = AnsiToCodePoints(mask);
  // The two characters as the mask's decoding sees them (a lone high byte
  // is not valid UTF-8).
  return TMatcher<char32_t>{t, m, AnsiToCodePoints(AnsiString(1, wild))[0],
                            AnsiToCodePoints(AnsiString(1, maskChar))[0]}.Run();
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
