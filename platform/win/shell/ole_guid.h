// Globally unique identifiers of the component-object library: making new
// ones and their braced text form ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// upper-case hexadecimal). They sit beside the task allocator that their
// text comes from.
#pragma once

#include "platform/win/kernel/objidl.h"

using LPCOLESTR = const WCHAR*;
using LPCLSID = CLSID*;

constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);

// A new random (version 4) identifier; E_INVALIDARG without pguid.
HRESULT CoCreateGuid(GUID* pguid);
// The braced text of rclsid in memory from the task allocator, which the
// caller frees with CoTaskMemFree (shlobj.h).
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
// Parses the braced form, hexadecimal digits in either case; anything else
// gives CO_E_CLASSSTRING and leaves *pclsid cleared.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
