#include "platform/rtl/text_codec.h"

namespace {
// Length of the valid UTF-8 sequence at s[i], or 0 when it is not valid.
size_t ValidSequence(const unsigned char* p, size_t avail, char32_t& cp) {
  unsigned char c = p[0];
  size_t len;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2, min = 0x80, cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, min = 0x800, cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (avail < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF) return 0;
  // Surrogates are not characters: encoded ones would pair up into a code
  // point their bytes never spelled, and those of the escape range would
  // not come back as bytes.
  if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
  return len;
}
}  // namespace

WideString AnsiToWide(const AnsiString& s) {
  WideString r;
  r.reserve(s.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  size_t n = s.size();
  for (size_t i = 0; i < n;) {
    char32_t cp;
    size_t len = ValidSequence(p + i, n - i, cp);
    if (len == 0) {
      r.push_back(static_cast<char16_t>(0xDC00 + p[i]));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      r.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      r.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      r.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return r;
}

AnsiString WideToAnsi(const WideString& s) {
  AnsiString r;
  r.reserve(s.size());
  size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    char32_t cp = s[i];
    if (cp >= 0xDC80 && cp <= 0xDCFF) {
      r.push_back(static_cast<char>(cp - 0xDC00));
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      r.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      r.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      r.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      r.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return r;
}
