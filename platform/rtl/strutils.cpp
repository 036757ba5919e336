#include "platform/rtl/strutils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/rtl/decimal_digits.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

// ---- Unicode case ---------------------------------------------------------------

namespace {

// Upper-case letters and the distance to their lower case. Step 2 marks
// alternating pairs (upper at First, First + 2, ...).
struct TCaseRange {
  char16_t First, Last;
  int16_t Delta;
  uint8_t Step;
};
constexpr TCaseRange kCaseRanges[] = {
    {0x00C0, 0x00D6, 32, 1},  {0x00D8, 0x00DE, 32, 1},  {0x0100, 0x012E, 1, 2},   {0x0132, 0x0136, 1, 2},
    {0x0139, 0x0147, 1, 2},   {0x014A, 0x0176, 1, 2},   {0x0178, 0x0178, -121, 1}, {0x0179, 0x017D, 1, 2},
    {0x01CD, 0x01DB, 1, 2},   {0x01DE, 0x01EE, 1, 2},   {0x01F4, 0x01F4, 1, 1},   {0x01F8, 0x021E, 1, 2},
    {0x0222, 0x0232, 1, 2},   {0x0246, 0x024E, 1, 2},   {0x0386, 0x0386, 38, 1},  {0x0388, 0x038A, 37, 1},
    {0x038C, 0x038C, 64, 1},  {0x038E, 0x038F, 63, 1},  {0x0391, 0x03A1, 32, 1},  {0x03A3, 0x03AB, 32, 1},
    {0x03D8, 0x03EE, 1, 2},   {0x0400, 0x040F, 80, 1},  {0x0410, 0x042F, 32, 1},  {0x0460, 0x0480, 1, 2},
    {0x048A, 0x04BE, 1, 2},   {0x04C0, 0x04C0, 15, 1},  {0x04C1, 0x04CD, 1, 2},   {0x04D0, 0x052E, 1, 2},
    {0x0531, 0x0556, 48, 1},  {0x1E00, 0x1E94, 1, 2},   {0x1EA0, 0x1EFE, 1, 2},   {0x2160, 0x216F, 16, 1},
    {0x24B6, 0x24CF, 26, 1},  {0xFF21, 0xFF3A, 32, 1},
};

bool InRangeOf(const TCaseRange& r, char32_t c) {
  return c >= r.First && c <= r.Last && (r.Step == 1 || (c - r.First) % 2 == 0);
}

char32_t ToLowerCP(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c == 0x0130) return 'i';
  for (const TCaseRange& r : kCaseRanges)
    if (InRangeOf(r, c)) return static_cast<char32_t>(static_cast<int32_t>(c) + r.Delta);
  return c;
}

char32_t ToUpperCP(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
  switch (c) {
    case 0x0131: return 'I';
    case 0x017F: return 'S';
    case 0x03C2: return 0x03A3;
    default: break;
  }
  for (const TCaseRange& r : kCaseRanges) {
    auto u = static_cast<char32_t>(static_cast<int32_t>(c) - r.Delta);
    if (InRangeOf(r, u)) return u;
  }
  return c;
}

bool IsAscii(const AnsiString& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Case mapping of UTF-16 text unit by unit (surrogates stay as they are),
// so the length never changes.
template <char32_t (*Map)(char32_t)>
WideString MapWide(const WideString& s) {
  WideString r(s);
  for (char16_t& c : r)
    if (c < 0xD800 || c > 0xDFFF) c = static_cast<char16_t>(Map(c));
  return r;
}

// The next code point of UTF-16 text; a lone surrogate stands for itself.
char32_t NextCP(const WideString& s, size_t& i) {
  char32_t c = s[i++];
  if (c >= 0xD800 && c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF)
    c = 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
  return c;
}

Integer CollateWide(const WideString& a, const WideString& b, bool tieByCase) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t ca = FoldCase(NextCP(a, i)), cb = FoldCase(NextCP(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  if (!tieByCase) return 0;
  i = j = 0;
  while (i < a.size()) {
    char32_t ca = NextCP(a, i), cb = NextCP(b, j);
    if (ca == cb) continue;
    bool lowerA = ToLowerCP(ca) == ca, lowerB = ToLowerCP(cb) == cb;
    if (lowerA != lowerB) return lowerA ? -1 : 1;
    return ca < cb ? -1 : 1;
  }
  return 0;
}

Integer CollateAscii(const AnsiString& a, const AnsiString& b, bool tieByCase) {
  size_t n = std::min(a.size(), b.size());
  for (size_t k = 0; k < n; ++k) {
    char ca = AsciiLower(a[k]), cb = AsciiLower(b[k]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  if (!tieByCase) return 0;
  for (size_t k = 0; k < n; ++k) {
    if (a[k] == b[k]) continue;
    bool lowerA = AsciiLower(a[k]) == a[k], lowerB = AsciiLower(b[k]) == b[k];
    if (lowerA != lowerB) return lowerA ? -1 : 1;
    return a[k] < b[k] ? -1 : 1;
  }
  return 0;
}

Integer Collate(const AnsiString& a, const AnsiString& b, bool tieByCase) {
  if (IsAscii(a) && IsAscii(b)) return CollateAscii(a, b, tieByCase);
  return CollateWide(AnsiToWide(a), AnsiToWide(b), tieByCase);
}

// Case-folded UTF-16, unit for unit, for case-insensitive searches.
WideString FoldWide(const WideString& s) { return MapWide<FoldCase>(s); }

}  // namespace

AnsiString UpperCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

AnsiString LowerCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

WideString WideUpperCase(const WideString& s) { return MapWide<ToUpperCP>(s); }
WideString WideLowerCase(const WideString& s) { return MapWide<ToLowerCP>(s); }

AnsiString AnsiUpperCase(const AnsiString& s) {
  return IsAscii(s) ? UpperCase(s) : WideToAnsi(WideUpperCase(AnsiToWide(s)));
}

AnsiString AnsiLowerCase(const AnsiString& s) {
  return IsAscii(s) ? LowerCase(s) : WideToAnsi(WideLowerCase(AnsiToWide(s)));
}

// Final sigma and long s meet their plain forms.
char32_t FoldCase(char32_t c) { return ToLowerCP(ToUpperCP(c)); }

std::u32string AnsiToCodePoints(const AnsiString& s) {
  const WideString w = AnsiToWide(s);
  std::u32string r;
  r.reserve(w.size());
  for (size_t i = 0; i < w.size();) r.push_back(NextCP(w, i));
  return r;
}

// ---- Comparison -------------------------------------------------------------------

Integer CompareStr(const AnsiString& s1, const AnsiString& s2) {
  size_t n = std::min(s1.size(), s2.size());
  for (size_t k = 0; k < n; ++k) {
    int d = static_cast<unsigned char>(s1[k]) - static_cast<unsigned char>(s2[k]);
    if (d) return d;
  }
  return static_cast<Integer>(static_cast<int64_t>(s1.size()) - static_cast<int64_t>(s2.size()));
}

Integer CompareText(const AnsiString& s1, const AnsiString& s2) {
  size_t n = std::min(s1.size(), s2.size());
  for (size_t k = 0; k < n; ++k) {
    int d = static_cast<unsigned char>(AsciiUpper(s1[k])) - static_cast<unsigned char>(AsciiUpper(s2[k]));
    if (d) return d;
  }
  return static_cast<Integer>(static_cast<int64_t>(s1.size()) - static_cast<int64_t>(s2.size()));
}

bool SameStr(const AnsiString& s1, const AnsiString& s2) { return s1 == s2; }
bool SameText(const AnsiString& s1, const AnsiString& s2) { return s1.size() == s2.size() && CompareText(s1, s2) == 0; }

Integer AnsiCompareStr(const AnsiString& s1, const AnsiString& s2) { return Collate(s1, s2, true); }
Integer AnsiCompareText(const AnsiString& s1, const AnsiString& s2) { return Collate(s1, s2, false); }
bool AnsiSameStr(const AnsiString& s1, const AnsiString& s2) { return s1 == s2; }
bool AnsiSameText(const AnsiString& s1, const AnsiString& s2) { return Collate(s1, s2, false) == 0; }
Integer WideCompareStr(const WideString& s1, const WideString& s2) { return CollateWide(s1, s2, true); }
Integer WideCompareText(const WideString& s1, const WideString& s2) { return CollateWide(s1, s2, false); }
bool WideSameText(const WideString& s1, const WideString& s2) { return CollateWide(s1, s2, false) == 0; }

// ---- Trimming -------------------------------------------------------------------------

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

AnsiString Trim(const AnsiString& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

AnsiString TrimLeft(const AnsiString& s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

AnsiString TrimRight(const AnsiString& s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

// ---- Integers ---------------------------------------------------------------------------

AnsiString IntToStr(Int64 value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return AnsiString(buf, r.ptr);
}

AnsiString UIntToStr(UInt64 value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  return AnsiString(buf, r.ptr);
}

AnsiString rtl::detail::HexText(UInt64 value, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  char buf[16];
  int n = 0;
  do {
    buf[15 - n++] = kHex[value & 15];
    value >>= 4;
  } while (value);
  AnsiString r;
  if (digits > n) r.assign(static_cast<size_t>(digits - n), '0');
  r.append(buf + 16 - n, static_cast<size_t>(n));
  return r;
}

namespace {

// Reads an integer the way the host's Val does. `bits` is the width of the
// target type: decimal must fit its signed range, hexadecimal its unsigned
// range (and wraps into the signed one).
bool ParseInteger(const AnsiString& s, int bits, Int64& out) {
  size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  bool hex = false;
  if (i < n && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  UInt64 mag = 0;
  if (hex) {
    const UInt64 limit = bits == 64 ? ~UInt64(0) : (UInt64(1) << bits) - 1;
    for (; i < n; ++i) {
      char c = s[i];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0 || mag > (limit >> 4)) return false;
      mag = mag << 4 | static_cast<UInt64>(d);
    }
    UInt64 u = neg ? UInt64(0) - mag : mag;
    out = bits == 64 ? static_cast<Int64>(u) : static_cast<int32_t>(static_cast<uint32_t>(u));
    return true;
  }
  const UInt64 limit = (UInt64(1) << (bits - 1)) - (neg ? 0 : 1);
  for (; i < n; ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return false;
    UInt64 d = static_cast<UInt64>(c - '0');
    if (mag > (limit - d) / 10) return false;
    mag = mag * 10 + d;
  }
  out = neg ? static_cast<Int64>(UInt64(0) - mag) : static_cast<Int64>(mag);
  return true;
}

[[noreturn]] void InvalidInteger(const AnsiString& s) { throw EConvertError("'" + s + "' is not a valid integer value"); }

}  // namespace

bool TryStrToInt(const AnsiString& s, Integer& value) {
  Int64 v;
  if (!ParseInteger(s, 32, v)) return false;
  value = static_cast<Integer>(v);
  return true;
}

Integer StrToInt(const AnsiString& s) {
  Integer v;
  if (!TryStrToInt(s, v)) InvalidInteger(s);
  return v;
}

Integer StrToIntDef(const AnsiString& s, Integer defaultValue) {
  Integer v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

bool TryStrToInt64(const AnsiString& s, Int64& value) { return ParseInteger(s, 64, value); }

Int64 StrToInt64(const AnsiString& s) {
  Int64 v;
  if (!ParseInteger(s, 64, v)) InvalidInteger(s);
  return v;
}

Int64 StrToInt64Def(const AnsiString& s, Int64 defaultValue) {
  Int64 v;
  return ParseInteger(s, 64, v) ? v : defaultValue;
}

// ---- Floating point ---------------------------------------------------------------------

bool TryStrToFloat(const AnsiString& s, Extended& value, const TFormatSettings& fs) {
  size_t i = 0, n = s.size();
  while (i < n && s[i] == ' ') ++i;
  while (n > i && s[n - 1] == ' ') --n;
  // Rebuilt in the C form for from_chars, which ignores the locale.
  std::string text;
  bool neg = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  int mantissaDigits = 0, leadingExp = 0;  // order of magnitude of the first non-zero digit
  bool seenPoint = false, seenNonZero = false;
  for (; i < n; ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      ++mantissaDigits;
      if (c != '0' && !seenNonZero) seenNonZero = true;
      if (seenNonZero && !seenPoint) ++leadingExp;
      if (!seenNonZero && seenPoint) --leadingExp;
      text += c;
    } else if (c == fs.DecimalSeparator && !seenPoint) {
      seenPoint = true;
      text += '.';
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  long exponent = 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    text += 'e';
    ++i;
    bool negExp = false;
    if (i < n && (s[i] == '-' || s[i] == '+')) {
      negExp = s[i] == '-';
      text += s[i++];
    }
    size_t start = i;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i) {
      text += s[i];
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (i == start) return false;
    if (negExp) exponent = -exponent;
  }
  if (i != n) return false;
  double v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ptr != text.data() + text.size()) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Too small to represent is zero; too large is an error.
    if (seenNonZero && leadingExp + exponent > 0) return false;
    v = 0;
  }
  value = neg ? -v : v;
  return true;
}

bool TryStrToFloat(const AnsiString& s, Extended& value) { return TryStrToFloat(s, value, FormatSettings); }

Extended StrToFloat(const AnsiString& s, const TFormatSettings& fs) {
  Extended v;
  if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

Extended StrToFloat(const AnsiString& s) { return StrToFloat(s, FormatSettings); }

Extended StrToFloatDef(const AnsiString& s, Extended defaultValue, const TFormatSettings& fs) {
  Extended v;
  return TryStrToFloat(s, v, fs) ? v : defaultValue;
}

Extended StrToFloatDef(const AnsiString& s, Extended defaultValue) {
  return StrToFloatDef(s, defaultValue, FormatSettings);
}

AnsiString FloatToStr(Extended value, const TFormatSettings& fs) { return FloatToStrF(value, ffGeneral, 15, 0, fs); }
AnsiString FloatToStr(Extended value) { return FloatToStr(value, FormatSettings); }

// ---- FormatFloat ---------------------------------------------------------------------------

namespace {

using TDigits = rtl::detail::TDecimalDigits;

char DigitAt(const TDigits& d, int index) {
  return index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[index] : '0';
}

// One section of a picture, split into what it outputs.
struct TPicture {
  enum TKind { kLiteral, kIntDigit, kPoint, kFracDigit, kExponent };
  struct TItem {
    TKind Kind;
    std::string Text;  // literal text, or "E+"/"e-"... for the exponent
  };
  std::vector<TItem> Items;
  int IntCount = 0, MinInt = 0;   // integer placeholders; those from the first '0' on
  int FracCount = 0, MinFrac = 0; // fraction placeholders; those up to the last '0'
  bool Thousands = false;
  bool Scientific = false;
  int ExpDigits = 0;
};

TPicture ParsePicture(std::string_view f) {
  TPicture p;
  bool seenPoint = false;
  int firstIntZero = -1;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (c == '\'' || c == '"') {
      size_t close = f.find(c, i + 1);
      if (close == std::string_view::npos) close = f.size();
      p.Items.push_back({TPicture::kLiteral, std::string(f.substr(i + 1, close - i - 1))});
      i = close;
    } else if ((c == '0' || c == '#') && !p.Scientific) {
      if (seenPoint) {
        ++p.FracCount;
        if (c == '0') p.MinFrac = p.FracCount;
        p.Items.push_back({TPicture::kFracDigit, {}});
      } else {
        if (c == '0' && firstIntZero < 0) firstIntZero = p.IntCount;
        ++p.IntCount;
        p.Items.push_back({TPicture::kIntDigit, {}});
      }
    } else if (c == '.' && !p.Scientific) {
      if (!seenPoint) p.Items.push_back({TPicture::kPoint, {}});
      seenPoint = true;
    } else if (c == ',' && !p.Scientific) {
      p.Thousands = true;
    } else if ((c == 'E' || c == 'e') && !p.Scientific && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
      p.Scientific = true;
      p.Items.push_back({TPicture::kExponent, std::string(f.substr(i, 2))});
      ++i;
      while (i + 1 < f.size() && f[i + 1] == '0' && p.ExpDigits < 4) {
        ++p.ExpDigits;
        ++i;
      }
      if (p.ExpDigits == 0) p.ExpDigits = 1;
    } else {
      p.Items.push_back({TPicture::kLiteral, std::string(1, c)});
    }
  }
  if (firstIntZero >= 0) p.MinInt = p.IntCount - firstIntZero;
  return p;
}

// Splits a format into its sections at ';' outside quotes.
std::vector<std::string_view> Sections(std::string_view f) {
  std::vector<std::string_view> r;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      r.push_back(f.substr(start, i - start));
      start = i + 1;
    }
  }
  r.push_back(f.substr(start));
  return r;
}

AnsiString Render(const TPicture& p, double value, bool minus, const TFormatSettings& fs) {
  TDigits d = rtl::detail::ExpandDecimal(value);
  std::string intDigits, fracDigits, expText;
  if (p.Scientific) {
    int intCount = std::max(1, p.IntCount);
    rtl::detail::RoundDecimal(d, intCount + p.FracCount);
    int exp = 0;
    if (d.Digits.empty()) {
      intDigits.assign(static_cast<size_t>(std::max(1, p.MinInt)), '0');
    } else {
      exp = d.Exponent - (intCount - 1);
      for (int k = 0; k < intCount; ++k) intDigits += DigitAt(d, k);
    }
    for (int k = 0; k < p.FracCount; ++k) fracDigits += DigitAt(d, intCount + k);
    expText = std::to_string(std::abs(exp));
    if (static_cast<int>(expText.size()) < p.ExpDigits) expText.insert(0, p.ExpDigits - expText.size(), '0');
    expText.insert(0, exp < 0 ? "-" : "+");
  } else {
    rtl::detail::RoundDecimal(d, d.Exponent + 1 + p.FracCount);
    if (!d.Digits.empty())
      for (int k = 0; k <= d.Exponent; ++k) intDigits += DigitAt(d, k);
    for (int k = 0; k < p.FracCount; ++k) fracDigits += DigitAt(d, d.Exponent + 1 + k);
    if (static_cast<int>(intDigits.size()) < p.MinInt) intDigits.insert(0, p.MinInt - intDigits.size(), '0');
  }
  while (static_cast<int>(fracDigits.size()) > p.MinFrac && fracDigits.back() == '0') fracDigits.pop_back();

  AnsiString out;
  if (minus) out += '-';
  const int len = static_cast<int>(intDigits.size());
  const bool groups = p.Thousands && !p.Scientific && fs.ThousandSeparator;
  auto putIntDigit = [&](int j) {
    out += intDigits[j];
    int rest = len - 1 - j;
    if (groups && rest > 0 && rest % 3 == 0) out += fs.ThousandSeparator;
  };
  int intSeen = 0, fracSeen = 0;
  bool intDone = p.IntCount == 0 && len == 0;
  auto flushAllInt = [&]() {
    for (int j = 0; j < len; ++j) putIntDigit(j);
    intDone = true;
  };
  for (const TPicture::TItem& it : p.Items) {
    switch (it.Kind) {
      case TPicture::kLiteral: out += it.Text; break;
      case TPicture::kIntDigit: {
        // Digits beyond the placeholders all go at the first one.
        int offset = len - p.IntCount;
        if (intSeen == 0)
          for (int j = 0; j < offset; ++j) putIntDigit(j);
        int j = intSeen + offset;
        if (j >= 0) putIntDigit(j);
        if (++intSeen == p.IntCount) intDone = true;
        break;
      }
      case TPicture::kPoint:
        if (!intDone) flushAllInt();
        if (!fracDigits.empty()) out += fs.DecimalSeparator;
        break;
      case TPicture::kFracDigit:
        if (fracSeen < static_cast<int>(fracDigits.size())) out += fracDigits[fracSeen];
        ++fracSeen;
        break;
      case TPicture::kExponent:
        if (!intDone) flushAllInt();
        out += it.Text[0];
        if (expText[0] == '-' || it.Text[1] == '+') out += expText[0];
        out.append(expText, 1);
        break;
    }
  }
  if (!intDone) flushAllInt();
  return out;
}

}  // namespace

AnsiString FormatFloat(const AnsiString& format, Extended value, const TFormatSettings& fs) {
  if (format.empty() || !std::isfinite(value)) return FloatToStrF(value, ffGeneral, 15, 0, fs);
  std::vector<std::string_view> sections = Sections(format);
  auto section = [&](size_t k) -> std::string_view {
    return k < sections.size() && !sections[k].empty() ? sections[k] : sections[0];
  };
  size_t index = value > 0 ? 0 : value < 0 ? 1 : 2;
  TPicture p = ParsePicture(section(index));
  TDigits d = rtl::detail::ExpandDecimal(value);
  if (!d.Digits.empty()) {
    if (!p.Scientific && d.Exponent >= 18) return FloatToStrF(value, ffGeneral, 15, 0, fs);
    rtl::detail::RoundDecimal(d, p.Scientific ? std::max(1, p.IntCount) + p.FracCount : d.Exponent + 1 + p.FracCount);
  }
  if (d.Digits.empty() && index != 2) {
    // A value that rounds to zero shows as zero.
    index = 2;
    value = 0;
    p = ParsePicture(section(index));
  }
  bool minus = index == 1 && (sections.size() < 2 || sections[1].empty());
  return Render(p, value, minus, fs);
}

AnsiString FormatFloat(const AnsiString& format, Extended value) { return FormatFloat(format, value, FormatSettings); }

// ---- Booleans ------------------------------------------------------------------------------

AnsiString BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? "True" : "False";
  return value ? "-1" : "0";
}

bool TryStrToBool(const AnsiString& s, bool& value) {
  Extended v;
  if (TryStrToFloat(s, v)) {
    value = v != 0;
    return true;
  }
  if (AnsiSameText(s, "True")) {
    value = true;
    return true;
  }
  if (AnsiSameText(s, "False")) {
    value = false;
    return true;
  }
  return false;
}

bool StrToBool(const AnsiString& s) {
  bool v;
  if (!TryStrToBool(s, v)) throw EConvertError("'" + s + "' is not a valid boolean value");
  return v;
}

bool StrToBoolDef(const AnsiString& s, bool defaultValue) {
  bool v;
  return TryStrToBool(s, v) ? v : defaultValue;
}

// ---- Searching and editing -------------------------------------------------------------------

Integer Pos(const AnsiString& substr, const AnsiString& s) { return PosEx(substr, s, 1); }

Integer PosEx(const AnsiString& substr, const AnsiString& s, Integer offset) {
  if (substr.empty() || offset < 1 || static_cast<size_t>(offset) > s.size()) return 0;
  size_t p = s.find(substr, static_cast<size_t>(offset - 1));
  return p == AnsiString::npos ? 0 : static_cast<Integer>(p + 1);
}

Integer AnsiPos(const AnsiString& substr, const AnsiString& s) { return Pos(substr, s); }

AnsiString Copy(const AnsiString& s, Integer index, Integer count) {
  const int64_t len = static_cast<int64_t>(s.size());
  int64_t start = index < 1 ? 0 : std::min<int64_t>(index - 1, len);
  int64_t n = std::clamp<int64_t>(count, 0, len - start);
  return s.substr(static_cast<size_t>(start), static_cast<size_t>(n));
}

void Delete(AnsiString& s, Integer index, Integer count) {
  if (index < 1 || static_cast<size_t>(index) > s.size() || count <= 0) return;
  s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(const AnsiString& source, AnsiString& s, Integer index) {
  size_t at = index < 1 ? 0 : std::min(static_cast<size_t>(index - 1), s.size());
  s.insert(at, source);
}

AnsiString StringOfChar(char ch, Integer count) { return count > 0 ? AnsiString(static_cast<size_t>(count), ch) : AnsiString(); }

AnsiString DupeString(const AnsiString& s, Integer count) {
  AnsiString r;
  if (count <= 0) return r;
  r.reserve(s.size() * static_cast<size_t>(count));
  for (Integer k = 0; k < count; ++k) r += s;
  return r;
}

AnsiString ReverseString(const AnsiString& s) { return AnsiString(s.rbegin(), s.rend()); }

AnsiString LeftStr(const AnsiString& s, Integer count) { return Copy(s, 1, count); }

AnsiString RightStr(const AnsiString& s, Integer count) {
  if (count <= 0) return AnsiString();
  size_t n = std::min(s.size(), static_cast<size_t>(count));
  return s.substr(s.size() - n);
}

AnsiString MidStr(const AnsiString& s, Integer start, Integer count) { return Copy(s, start, count); }

AnsiString IfThen(bool condition, const AnsiString& ifTrue, const AnsiString& ifFalse) {
  return condition ? ifTrue : ifFalse;
}

AnsiString StringReplace(const AnsiString& s, const AnsiString& oldPattern, const AnsiString& newPattern,
                         TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  const bool all = flags.Contains(rfReplaceAll);
  if (!flags.Contains(rfIgnoreCase)) {
    AnsiString r;
    size_t from = 0, p;
    while ((p = s.find(oldPattern, from)) != AnsiString::npos) {
      r.append(s, from, p - from);
      r += newPattern;
      from = p + oldPattern.size();
      if (!all) break;
    }
    r.append(s, from, AnsiString::npos);
    return r;
  }
  // Matched in case-folded UTF-16, where folding keeps every position.
  WideString ws = AnsiToWide(s), wold = AnsiToWide(oldPattern), wnew = AnsiToWide(newPattern);
  WideString folded = FoldWide(ws), fold = FoldWide(wold);
  WideString r;
  size_t from = 0, p;
  while ((p = folded.find(fold, from)) != WideString::npos) {
    r.append(ws, from, p - from);
    r += wnew;
    from = p + fold.size();
    if (!all) break;
  }
  r.append(ws, from, WideString::npos);
  return WideToAnsi(r);
}

AnsiString AnsiQuotedStr(const AnsiString& s, char quote) {
  AnsiString r(1, quote);
  for (char c : s) {
    r += c;
    if (c == quote) r += quote;
  }
  r += quote;
  return r;
}

AnsiString QuotedStr(const AnsiString& s) { return AnsiQuotedStr(s, '\''); }

AnsiString AnsiDequotedStr(const AnsiString& s, char quote) {
  if (s.empty() || s[0] != quote) return s;
  AnsiString r;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] != quote) {
      r += s[i];
    } else if (i + 1 < s.size() && s[i + 1] == quote) {
      r += quote;
      ++i;
    } else {
      return r;
    }
  }
  return s;
}

bool ContainsStr(const AnsiString& text, const AnsiString& subText) { return Pos(subText, text) > 0; }

bool ContainsText(const AnsiString& text, const AnsiString& subText) {
  if (subText.empty()) return false;
  return FoldWide(AnsiToWide(text)).find(FoldWide(AnsiToWide(subText))) != WideString::npos;
}

bool StartsStr(const AnsiString& subText, const AnsiString& text) { return text.starts_with(subText); }
bool EndsStr(const AnsiString& subText, const AnsiString& text) { return text.ends_with(subText); }
bool AnsiStartsStr(const AnsiString& subText, const AnsiString& text) { return text.starts_with(subText); }
bool AnsiEndsStr(const AnsiString& subText, const AnsiString& text) { return text.ends_with(subText); }

bool StartsText(const AnsiString& subText, const AnsiString& text) {
  return FoldWide(AnsiToWide(text)).starts_with(FoldWide(AnsiToWide(subText)));
}

bool EndsText(const AnsiString& subText, const AnsiString& text) {
  return FoldWide(AnsiToWide(text)).ends_with(FoldWide(AnsiToWide(subText)));
}

bool AnsiStartsText(const AnsiString& subText, const AnsiString& text) { return StartsText(subText, text); }
bool AnsiEndsText(const AnsiString& subText, const AnsiString& text) { return EndsText(subText, text); }

Integer LastDelimiter(const AnsiString& delimiters, const AnsiString& s) {
  size_t p = s.find_last_of(delimiters);
  return p == AnsiString::npos ? 0 : static_cast<Integer>(p + 1);
}

bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, Integer index) {
  if (index < 1 || static_cast<size_t>(index) > s.size()) return false;
  return delimiters.find(s[static_cast<size_t>(index - 1)]) != AnsiString::npos;
}

AnsiString WrapText(const AnsiString& line, const AnsiString& breakStr, const TSysCharSet& breakChars,
                    Integer maxCol) {
  AnsiString r;
  const size_t n = line.size();
  size_t lineStart = 0, i = 0, breakPos = AnsiString::npos;
  Integer col = 0;
  char quote = 0;
  while (i < n) {
    if (!quote && !breakStr.empty() && line.compare(i, breakStr.size(), breakStr) == 0) {
      i += breakStr.size();
      r.append(line, lineStart, i - lineStart);
      lineStart = i;
      breakPos = AnsiString::npos;
      col = 0;
      continue;
    }
    char c = line[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (breakChars.Contains(c)) {
      breakPos = i;
    }
    ++i;
    ++col;
    if (!quote && col > maxCol && breakPos != AnsiString::npos) {
      r.append(line, lineStart, breakPos + 1 - lineStart);
      size_t next = breakPos + 1;
      while (next < n && (breakChars.Contains(line[next]) || line[next] == '\r' || line[next] == '\n')) ++next;
      if (next < n) r += breakStr;
      lineStart = next;
      i = std::max(i, next);
      col = static_cast<Integer>(i - next);
      breakPos = AnsiString::npos;
    }
  }
  r.append(line, lineStart, AnsiString::npos);
  return r;
}

AnsiString WrapText(const AnsiString& line, Integer maxCol) { return WrapText(line, "\r\n", {' ', '-', '\t'}, maxCol); }

AnsiString AdjustLineBreaks(const AnsiString& s, TTextLineBreakStyle style) {
  const char* brk = style == tlbsCRLF ? "\r\n" : "\n";
  AnsiString r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      r += brk;
    } else if (c == '\n') {
      r += brk;
    } else {
      r += c;
    }
  }
  return r;
}

bool IsValidIdent(const AnsiString& ident, bool allowDots) {
  auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  bool atStart = true;
  for (char c : ident) {
    if (atStart) {
      if (!alpha(c)) return false;
      atStart = false;
    } else if (c == '.' && allowDots) {
      atStart = true;
    } else if (!alpha(c) && !(c >= '0' && c <= '9')) {
      return false;
    }
  }
  return !atStart;
}

// ---- Null-terminated strings ---------------------------------------------------------------

Cardinal StrLen(const char* s) { return s ? static_cast<Cardinal>(std::strlen(s)) : 0; }

AnsiString StrPas(const char* s) { return s ? AnsiString(s) : AnsiString(); }

char* StrPCopy(char* dest, const AnsiString& source) {
  std::memcpy(dest, source.c_str(), source.size() + 1);
  return dest;
}

char* StrLCopy(char* dest, const char* source, Cardinal maxLen) {
  Cardinal k = 0;
  for (; k < maxLen && source[k]; ++k) dest[k] = source[k];
  dest[k] = '\0';
  return dest;
}
