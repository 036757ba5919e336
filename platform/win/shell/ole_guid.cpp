#include "platform/win/shell/ole_guid.h"

#include <sys/random.h>

#include <cstring>
#include <random>

#include "platform/win/shell/shlobj.h"

namespace {

void FillRandom(void* buf, size_t size) {
  auto* p = static_cast<unsigned char*>(buf);
  size_t got = 0;
  while (got < size) {
    ssize_t n = getrandom(p + got, size - got, 0);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (got < size) {
    // No kernel entropy: a seeded generator still gives distinct values.
    static thread_local std::mt19937_64 gen{std::random_device{}()};
    for (; got < size; ++got) p[got] = static_cast<unsigned char>(gen());
  }
}

int HexValue(WCHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads Digits hexadecimal digits at s; false on any other character.
bool ReadHex(LPCOLESTR& s, int Digits, uint64_t& Value) {
  Value = 0;
  for (int i = 0; i < Digits; ++i) {
    int v = HexValue(*s);
    if (v < 0) return false;
    Value = Value << 4 | static_cast<uint64_t>(v);
    ++s;
  }
  return true;
}

bool Expect(LPCOLESTR& s, WCHAR c) {
  if (*s != c) return false;
  ++s;
  return true;
}

}  // namespace

HRESULT CoCreateGuid(GUID* pguid) {
  if (!pguid) return E_INVALIDARG;
  GUID g;
  FillRandom(&g, sizeof g);
  g.Data3 = static_cast<WORD>((g.Data3 & 0x0FFF) | 0x4000);
  g.Data4[0] = static_cast<BYTE>((g.Data4[0] & 0x3F) | 0x80);
  *pguid = g;
  return S_OK;
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
  if (!lplpsz) return E_INVALIDARG;
  static const char kHex[] = "0123456789ABCDEF";
  WCHAR text[39];
  int n = 0;
  auto put = [&](uint64_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) text[n++] = static_cast<WCHAR>(kHex[(v >> (i * 4)) & 0xF]);
  };
  text[n++] = u'{';
  put(rclsid.Data1, 8);
  text[n++] = u'-';
  put(rclsid.Data2, 4);
  text[n++] = u'-';
  put(rclsid.Data3, 4);
  text[n++] = u'-';
  put(rclsid.Data4[0], 2);
  put(rclsid.Data4[1], 2);
  text[n++] = u'-';
  for (int i = 2; i < 8; ++i) put(rclsid.Data4[i], 2);
  text[n++] = u'}';
  text[n++] = 0;
  auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof text));
  if (!out) {
    *lplpsz = nullptr;
    return E_OUTOFMEMORY;
  }
  std::memcpy(out, text, sizeof text);
  *lplpsz = out;
  return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (!pclsid) return E_INVALIDARG;
  *pclsid = GUID_NULL;
  if (!lpsz) return E_INVALIDARG;
  LPCOLESTR s = lpsz;
  GUID g{};
  uint64_t v = 0;
  if (!Expect(s, u'{') || !ReadHex(s, 8, v)) return CO_E_CLASSSTRING;
  g.Data1 = static_cast<DWORD>(v);
  if (!Expect(s, u'-') || !ReadHex(s, 4, v)) return CO_E_CLASSSTRING;
  g.Data2 = static_cast<WORD>(v);
  if (!Expect(s, u'-') || !ReadHex(s, 4, v)) return CO_E_CLASSSTRING;
  g.Data3 = static_cast<WORD>(v);
  if (!Expect(s, u'-')) return CO_E_CLASSSTRING;
  for (int i = 0; i < 8; ++i) {
    if (i == 2 && !Expect(s, u'-')) return CO_E_CLASSSTRING;
    if (!ReadHex(s, 2, v)) return CO_E_CLASSSTRING;
    g.Data4[i] = static_cast<BYTE>(v);
  }
  if (!Expect(s, u'}') || *s != 0) return CO_E_CLASSSTRING;
  *pclsid = g;
  return S_OK;
}
