// The executable module: its handle and file name, and the resources
// compiled into it. tools/rescomp turns resources/resources.txt into the
// `resources` object library that every program links; a program without
// it has no resources.
#pragma once

#include <cstddef>

#include "platform/rtl/streams.h"
#include "platform/rtl/win_types.h"

// ---- The module ------------------------------------------------------------------

// The executable's module handle; FindResource, LoadString and
// GetModuleFileName also take 0 for it.
extern const HINSTANCE HInstance;
extern const HINSTANCE MainInstance;

// The executable's path (as ParamStr(0)) for 0 or HInstance; 0 with
// ERROR_MOD_NOT_FOUND for another module. A path that does not fit is cut
// to nSize - 1 characters and terminated, the result is nSize and the last
// error ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// The module's path, "" for an unknown module.
AnsiString GetModuleName(HMODULE Module);

// ---- Resources ---------------------------------------------------------------------

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)
#define RT_ANICURSOR MAKEINTRESOURCE(21)
#define RT_ANIICON MAKEINTRESOURCE(22)
#define RT_HTML MAKEINTRESOURCE(23)
#define RT_MANIFEST MAKEINTRESOURCE(24)

// Names and types are numbers (MAKEINTRESOURCE, or a string "#123") or
// names compared without regard to case. Null when missing, with the last
// error ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
//
// How the resource compiler stores what the manifest names: a BITMAP
// without its file header (a packed DIB); an ICON or CURSOR file as one
// RT_ICON / RT_CURSOR resource per image, numbered from 1 (a cursor image
// led by its hot spot, two 16-bit values), plus an RT_GROUP_ICON /
// RT_GROUP_CURSOR directory under the manifest's name; a string table as
// RT_STRING blocks (block n + 1 holds strings 16n to 16n + 15, each as its
// UTF-16 length and units); anything else as the file's bytes.
HRSRC FindResource(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
// The resource's data; it lives as long as the program (read-only).
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
// Nothing to free: FALSE, as on the original platform.
BOOL FreeResource(HGLOBAL hResData);

// Copies string uID of the string table into the buffer as UTF-8, cut to
// cchBufferMax - 1 bytes at a character boundary, and terminates it.
// Returns the bytes copied; 0 when the string is missing (the buffer then
// holds "").
int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// A resource string: the module variable and the string's identifier.
struct TResStringRec {
  const HINSTANCE* Module;
  UINT Identifier;
};
using PResStringRec = const TResStringRec*;

// The whole text of a string of the executable's string table; "" when
// missing.
AnsiString LoadStr(Integer Ident);
AnsiString LoadResString(Integer Ident);
AnsiString LoadResString(PResStringRec ResStringRec);

// A read-only stream over a resource. Raises EResNotFound "Resource %s not
// found" when it is missing; writing raises EStreamError.
class TResourceStream : public TCustomMemoryStream {
  RTL_CLASS(TResourceStream, TCustomMemoryStream)
  void Initialize(HINSTANCE Instance, LPCSTR Name, LPCSTR ResType, const AnsiString& displayName);

 public:
  TResourceStream(HINSTANCE Instance, const AnsiString& ResName, LPCSTR ResType);
  TResourceStream(HINSTANCE Instance, LPCSTR ResName, LPCSTR ResType);
  // The host's CreateFromID.
  TResourceStream(HINSTANCE Instance, Integer ResID, LPCSTR ResType);
  Integer Write(const void* Buffer, Integer Count) override;
};

// ---- The compiled table ---------------------------------------------------------------
// What tools/rescomp generates: constant data, so that lookups work from
// any static initialiser. The runtime library's own definition of
// ModuleResources is weak and empty; the generated one replaces it.

namespace rtl::detail {

struct TResourceEntry {
  Word TypeId;           // the type's number, 0 when it has a name
  const char* TypeName;  // the type's name in upper case, or null
  Word NameId;
  const char* Name;
  const void* Data;
  Cardinal Size;
};

struct TResourceDirectory {
  const TResourceEntry* Entries;
  size_t Count;
};

const TResourceDirectory& ModuleResources();

}  // namespace rtl::detail
