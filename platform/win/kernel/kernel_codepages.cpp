// UTF-8 is converted here; the Windows code pages go through the C
// library's iconv, one descriptor per page and thread, kept open.
#include "platform/win/kernel/kernel_codepages.h"

#include <errno.h>
#include <iconv.h>

#include <cstring>
#include <map>
#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/win/kernel/kernel.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsSystemPage(UINT cp) { return cp == CP_ACP || cp == CP_OEMCP || cp == CP_MACCP || cp == CP_THREAD_ACP || cp == CP_UTF8; }

// The iconv name of a code page, null for one not converted.
const char* IconvName(UINT cp) {
  switch (cp) {
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    default: return nullptr;
  }
}

// Open descriptors of this thread, by (page, direction).
class TConverters {
  std::map<std::pair<UINT, bool>, iconv_t> FOpen;

 public:
  ~TConverters() {
    for (auto& [key, cd] : FOpen) iconv_close(cd);
  }
  // toWide: from the page to UTF-16LE; else the reverse. Null when the C
  // library cannot convert the page.
  iconv_t Get(UINT cp, bool toWide) {
    auto key = std::make_pair(cp, toWide);
    auto it = FOpen.find(key);
    if (it != FOpen.end()) {
      iconv(it->second, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
      return it->second;
    }
    const char* name = IconvName(cp);
    iconv_t cd = toWide ? iconv_open("UTF-16LE", name) : iconv_open(name, "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    FOpen.emplace(key, cd);
    return cd;
  }
};

iconv_t Converter(UINT cp, bool toWide) {
  thread_local TConverters converters;
  return converters.Get(cp, toWide);
}

// ---- UTF-8 ------------------------------------------------------------------------

// Decodes UTF-8; each maximal invalid subpart becomes one U+FFFD. False
// when `strict` and the input is not valid.
bool DecodeUtf8(const unsigned char* s, size_t n, std::u16string& out, bool strict) {
  size_t i = 0;
  while (i < n) {
    unsigned c = s[i];
    if (c < 0x80) {
      out.push_back(static_cast<char16_t>(c));
      ++i;
      continue;
    }
    int len = 0;
    unsigned cp = 0;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    }
    if (len == 0) {
      if (strict) return false;
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j < static_cast<size_t>(len); ++j) {
      if (i + j >= n) break;
      unsigned b = s[i + j];
      if (b < (j == 1 ? lo : 0x80) || b > (j == 1 ? hi : 0xBF)) break;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (j < static_cast<size_t>(len)) {
      if (strict) return false;
      out.push_back(kReplacement);
      i += j;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<size_t>(len);
  }
  return true;
}

void PutUtf8(unsigned cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// False when `strict` and the text holds an unpaired surrogate.
bool EncodeUtf8(const char16_t* s, size_t n, std::string& out, bool strict) {
  for (size_t i = 0; i < n; ++i) {
    unsigned c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      PutUtf8(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00u), out);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (strict) return false;
      PutUtf8(kReplacement, out);
    } else {
      PutUtf8(c, out);
    }
  }
  return true;
}

// ---- Other pages ------------------------------------------------------------------

// Writes what a stateful converter still holds (a base character that
// waited for a combining mark, a shift back to the initial state).
template <class S>
void Flush(iconv_t cd, S& out) {
  char buf[64];
  char* o = buf;
  size_t oLeft = sizeof(buf);
  iconv(cd, nullptr, nullptr, &o, &oLeft);
  size_t bytes = static_cast<size_t>(o - buf);
  out.append(reinterpret_cast<const typename S::value_type*>(buf), bytes / sizeof(typename S::value_type));
}

bool DecodePage(iconv_t cd, const char* s, size_t n, std::u16string& out, bool strict) {
  char* in = const_cast<char*>(s);
  size_t inLeft = n;
  char16_t buf[256];
  while (inLeft > 0) {
    char* o = reinterpret_cast<char*>(buf);
    size_t oLeft = sizeof(buf);
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - reinterpret_cast<char*>(buf)) / 2);
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ: a byte the page does not define; EINVAL: a lead byte
    // without its trail byte at the end.
    if (strict) return false;
    out.push_back(kReplacement);
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  Flush(cd, out);
  return true;
}

bool EncodePage(iconv_t cd, const char16_t* s, size_t n, std::string& out, const char* defaultChar, bool& usedDefault,
                bool strict) {
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(s));
  size_t inLeft = n * 2;
  char buf[512];
  while (inLeft > 0) {
    char* o = buf;
    size_t oLeft = sizeof(buf);
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    if (r != static_cast<size_t>(-1)) {
      // Characters the page lacks but iconv mapped somehow count as
      // converted; iconv reports true losses through EILSEQ.
      continue;
    }
    if (errno == E2BIG) continue;
    if (strict) return false;
    usedDefault = true;
    out += defaultChar;
    // Skip one character: a whole surrogate pair when one stands here.
    auto* u = reinterpret_cast<const char16_t*>(in);
    size_t skip = (inLeft >= 4 && u[0] >= 0xD800 && u[0] <= 0xDBFF && u[1] >= 0xDC00 && u[1] <= 0xDFFF) ? 4 : 2;
    if (skip > inLeft) skip = inLeft;
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  Flush(cd, out);
  return true;
}

int FailCodePage(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr) || (lpWideCharStr && static_cast<const void*>(lpWideCharStr) == lpMultiByteStr))
    return FailCodePage(ERROR_INVALID_PARAMETER);
  bool utf8 = IsSystemPage(CodePage);
  if (!utf8 && !IconvName(CodePage)) return FailCodePage(ERROR_INVALID_PARAMETER);
  // The aliases of the system page take the flags callers pass for an
  // 8-bit system page; UTF-8 named as such is as strict as documented.
  if (CodePage == CP_UTF8 && (dwFlags & ~MB_ERR_INVALID_CHARS)) return FailCodePage(ERROR_INVALID_FLAGS);
  if (dwFlags & ~(MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS))
    return FailCodePage(ERROR_INVALID_FLAGS);
  size_t n = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  bool strict = dwFlags & MB_ERR_INVALID_CHARS;
  std::u16string out;
  out.reserve(n);
  bool ok;
  if (utf8) {
    ok = DecodeUtf8(reinterpret_cast<const unsigned char*>(lpMultiByteStr), n, out, strict);
  } else {
    iconv_t cd = Converter(CodePage, true);
    if (!cd) return FailCodePage(ERROR_INVALID_PARAMETER);
    ok = DecodePage(cd, lpMultiByteStr, n, out, strict);
  }
  if (!ok) return FailCodePage(ERROR_NO_UNICODE_TRANSLATION);
  if (cchWideChar == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(cchWideChar)) return FailCodePage(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpWideCharStr, out.data(), out.size() * sizeof(char16_t));
  return static_cast<int>(out.size());
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr) || (lpMultiByteStr && static_cast<const void*>(lpMultiByteStr) == lpWideCharStr))
    return FailCodePage(ERROR_INVALID_PARAMETER);
  bool utf8 = IsSystemPage(CodePage);
  if (!utf8 && !IconvName(CodePage)) return FailCodePage(ERROR_INVALID_PARAMETER);
  if (CodePage == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar)) return FailCodePage(ERROR_INVALID_PARAMETER);
  if (CodePage == CP_UTF8 && (dwFlags & ~WC_ERR_INVALID_CHARS)) return FailCodePage(ERROR_INVALID_FLAGS);
  size_t n = 0;
  if (cchWideChar == -1) {
    while (lpWideCharStr[n]) ++n;
    ++n;
  } else {
    n = static_cast<size_t>(cchWideChar);
  }
  bool strict = dwFlags & WC_ERR_INVALID_CHARS;
  std::string out;
  out.reserve(n);
  bool ok;
  bool usedDefault = false;
  if (utf8) {
    ok = EncodeUtf8(lpWideCharStr, n, out, strict);
  } else {
    iconv_t cd = Converter(CodePage, false);
    if (!cd) return FailCodePage(ERROR_INVALID_PARAMETER);
    ok = EncodePage(cd, lpWideCharStr, n, out, lpDefaultChar && *lpDefaultChar ? lpDefaultChar : "?", usedDefault,
                    strict);
  }
  if (!ok) return FailCodePage(ERROR_NO_UNICODE_TRANSLATION);
  if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  if (cbMultiByte == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(cbMultiByte)) return FailCodePage(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(lpMultiByteStr, out.data(), out.size());
  return static_cast<int>(out.size());
}

UINT GetACP() { return CP_UTF8; }
UINT GetOEMCP() { return CP_UTF8; }

BOOL IsValidCodePage(UINT CodePage) { return CodePage == CP_UTF8 || IconvName(CodePage) ? TRUE : FALSE; }

BOOL IsDBCSLeadByte(BYTE) { return FALSE; }

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
  switch (CodePage) {
    case 932: return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
    case 936:
    case 949:
    case 950: return TestChar >= 0x81 && TestChar <= 0xFE;
    default: return FALSE;
  }
}

LPSTR CharNextA(LPCSTR lpsz) {
  if (!lpsz || !*lpsz) return const_cast<LPSTR>(lpsz);
  const char* p = lpsz + 1;
  for (int i = 0; i < 3 && (static_cast<unsigned char>(*p) & 0xC0) == 0x80; ++i) ++p;
  return const_cast<LPSTR>(p);
}

LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent) {
  if (!lpszStart || !lpszCurrent || lpszCurrent <= lpszStart) return const_cast<LPSTR>(lpszStart);
  const char* p = lpszCurrent - 1;
  for (int i = 0; i < 3 && p > lpszStart && (static_cast<unsigned char>(*p) & 0xC0) == 0x80; ++i) --p;
  return const_cast<LPSTR>(p);
}
