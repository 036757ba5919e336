#include "ui/foundation/dx_core.h"

#include <cstdlib>
#include <cstring>

#include "platform/forms/bitmap.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/kernel/kernel_codepages.h"
#include "platform/win/kernel/kernel_system.h"
#include "platform/win/modules.h"
#include "platform/win/user/user_sysinfo.h"

bool OSWin9xFamily = false;
bool OSWin95 = false;
bool OSWin98 = false;
bool OSWinMe = false;
bool OSWinNTFamily = false;
bool OSWin2000 = false;
bool OSWin2000OrLater = false;
bool OSWinXP = false;
bool OSWinXPOrLater = false;
bool OSWin2000OrXP = false;
bool OSWinVista = false;
bool OSWinVistaOrLater = false;
bool OSWin7 = false;
bool OSWin7OrLater = false;
bool OSWin8 = false;
bool OSWin8OrLater = false;
bool OSWow64Process = false;

namespace {

bool DetectWow64() {
  using TIsWow64Process = BOOL (*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto isWow64 = kernel ? reinterpret_cast<TIsWow64Process>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
  BOOL result = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &result) && result;
}

}  // namespace

void dxDetectOSVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) info = OSVERSIONINFOA{};
  DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
  OSWin9xFamily = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  OSWin95 = OSWin9xFamily && minor == 0;
  OSWin98 = OSWin9xFamily && minor == 10;
  OSWinMe = OSWin9xFamily && minor == 90;
  OSWinNTFamily = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  OSWin2000 = OSWinNTFamily && major == 5 && minor == 0;
  OSWin2000OrLater = OSWinNTFamily && major >= 5;
  OSWinXP = OSWinNTFamily && major == 5 && minor > 0;
  OSWinXPOrLater = OSWin2000OrLater && !OSWin2000;
  OSWin2000OrXP = OSWin2000 || OSWinXP;
  OSWinVista = OSWinNTFamily && major == 6 && minor == 0;
  OSWinVistaOrLater = OSWinNTFamily && major >= 6;
  OSWin7 = OSWinNTFamily && major == 6 && minor == 1;
  OSWin7OrLater = OSWinVistaOrLater && !OSWinVista;
  OSWin8 = OSWinNTFamily && major == 6 && minor == 2;
  OSWin8OrLater = OSWin7OrLater && !OSWin7;
  OSWow64Process = DetectWow64();
}

bool dxIsInsideLibrary() { return false; }

// ---- Memory, events, streams ---------------------------------------------------------

void dxMoveBytes(const void* ASource, void* ADestination, size_t ACount) {
  if (ACount) std::memmove(ADestination, ASource, ACount);
}

void dxZeroFillMemory(void* ABlock, size_t ALength) {
  if (ALength) std::memset(ABlock, 0, ALength);
}

void* dxAllocZeroed(size_t ASize) { return std::calloc(ASize ? ASize : 1, 1); }

void dxFreeBlock(void* ABlock) { std::free(ABlock); }

void dxSwapIntegers(Integer& A, Integer& B) {
  Integer t = A;
  A = B;
  B = t;
}

void dxFireNotifyEvent(const TNotifyEvent& AEvent, TObject* ASender) {
  if (AEvent) AEvent(ASender);
}

LPARAM dxPointToMessageParam(const TPoint& P) { return MAKELPARAM(P.X, P.Y); }

void dxWriteInt32ToStream(TStream* AStream, Integer AValue) {
  auto v = static_cast<uint32_t>(AValue);
  const Byte bytes[4] = {static_cast<Byte>(v), static_cast<Byte>(v >> 8), static_cast<Byte>(v >> 16),
                         static_cast<Byte>(v >> 24)};
  AStream->WriteBuffer(bytes, 4);
}

// ---- Strings ---------------------------------------------------------------------------

AnsiString dxAssignAnsiAsString(const AnsiString& AText, UINT) { return AText; }
AnsiString dxAssignStringAsAnsi(const AnsiString& AText, UINT) { return AText; }

AnsiString dxShortStrToLongStr(const TdxShortString& S) { return AnsiString(reinterpret_cast<const char*>(S + 1), S[0]); }

void dxLongStrToShortStr(const AnsiString& S, TdxShortString& AResult) {
  size_t n = S.size();
  if (n > 255) {
    n = 255;
    // Never leave half a UTF-8 sequence at the end.
    while (n > 0 && (static_cast<Byte>(S[n]) & 0xC0) == 0x80) --n;
  }
  AResult[0] = static_cast<Byte>(n);
  std::memcpy(AResult + 1, S.data(), n);
}

bool dxSetContainsByte(Byte AValue, const Cardinal (&ASet)[8]) { return (ASet[AValue / 32] >> (AValue % 32)) & 1u; }

AnsiString dxGetLocaleInfoString(LCID ALocale, LCTYPE AType, const AnsiString& ADefault) {
  int size = GetLocaleInfoA(ALocale, AType, nullptr, 0);
  if (size <= 0) return ADefault;
  AnsiString buffer(static_cast<size_t>(size), '\0');
  int got = GetLocaleInfoA(ALocale, AType, buffer.data(), size);
  if (got <= 0) return ADefault;
  buffer.resize(static_cast<size_t>(got - 1));
  return buffer;
}

UINT dxCharsetToCodePage(Byte ACharset) {
  switch (ACharset) {
    case 128: return 932;
    case 129:
    case 130: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
  }
}

WideString dxAnsiToWideUsingCodePage(const AnsiString& AText, UINT ACodePage, Integer ALength) {
  size_t n = ALength < 0 ? AText.size() : std::min(AText.size(), static_cast<size_t>(ALength));
  if (n == 0) return WideString();
  if (OSWin9xFamily && ACodePage == CP_UTF8) return AnsiToWide(AText.substr(0, n));
  int len = MultiByteToWideChar(ACodePage, 0, AText.data(), static_cast<int>(n), nullptr, 0);
  if (len <= 0) return WideString();
  WideString result(static_cast<size_t>(len), u'\0');
  DWORD flags = ACodePage == CP_UTF8 ? 0 : MB_PRECOMPOSED;
  len = MultiByteToWideChar(ACodePage, flags, AText.data(), static_cast<int>(n), result.data(), len);
  result.resize(len > 0 ? static_cast<size_t>(len) : 0);
  return result;
}

AnsiString dxWideToAnsiUsingCodePage(const WideString& AText, UINT ACodePage, Integer ALength) {
  size_t n = ALength < 0 ? AText.size() : std::min(AText.size(), static_cast<size_t>(ALength));
  if (n == 0) return AnsiString();
  if (OSWin9xFamily && ACodePage == CP_UTF8) return WideToAnsi(AText.substr(0, n));
  int len = WideCharToMultiByte(ACodePage, 0, AText.data(), static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  if (len <= 0) return AnsiString();
  AnsiString result(static_cast<size_t>(len), '\0');
  len = WideCharToMultiByte(ACodePage, 0, AText.data(), static_cast<int>(n), result.data(), len, nullptr, nullptr);
  result.resize(len > 0 ? static_cast<size_t>(len) : 0);
  return result;
}

// ---- Colours and pixels ------------------------------------------------------------------

Cardinal dxColorToQuadWithAlpha(TColor AColor, Byte AAlpha) {
  COLORREF c = ColorToRGB(AColor);
  return GetBValue(c) | (Cardinal(GetGValue(c)) << 8) | (Cardinal(GetRValue(c)) << 16) | (Cardinal(AAlpha) << 24);
}

Cardinal dxSwapRedBlue(Cardinal AValue) {
  return (AValue & 0xFF00FF00u) | ((AValue & 0xFFu) << 16) | ((AValue >> 16) & 0xFFu);
}

Integer dxGetBitmapBitsPerPixel(TBitmap* ABitmap) {
  switch (ABitmap->PixelFormat()) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return GetDeviceCaps(ABitmap->Canvas()->Handle(), BITSPIXEL);
  }
}

void dxInitBitmapInfoHeader(BITMAPINFOHEADER& AHeader, Integer AWidth, Integer AHeight, bool ATopDown) {
  std::memset(&AHeader, 0, sizeof(AHeader));
  AHeader.biSize = sizeof(BITMAPINFOHEADER);
  AHeader.biWidth = AWidth;
  AHeader.biHeight = ATopDown ? -AHeight : AHeight;
  AHeader.biPlanes = 1;
  AHeader.biBitCount = 32;
  AHeader.biCompression = BI_RGB;
}

namespace {

// The size of a bitmap handle; false for an invalid handle or an empty
// bitmap.
bool BitmapSize(HBITMAP ABitmap, Integer& AWidth, Integer& AHeight) {
  BITMAP bm{};
  if (!ABitmap || GetObjectA(ABitmap, sizeof(bm), &bm) != sizeof(bm)) return false;
  AWidth = bm.bmWidth;
  AHeight = bm.bmHeight;
  return AWidth > 0 && AHeight > 0;
}

// A memory DC compatible with the screen, deleted whatever happens.
struct TScreenMemoryDC {
  HDC DC = CreateCompatibleDC(nullptr);
  ~TScreenMemoryDC() {
    if (DC) DeleteDC(DC);
  }
};

}  // namespace

bool dxGetBitmapPixels(HBITMAP ABitmap, std::vector<RGBQUAD>& APixels, bool ATopDown) {
  Integer width = 0, height = 0;
  if (!BitmapSize(ABitmap, width, height)) return false;
  BITMAPINFO info{};
  dxInitBitmapInfoHeader(info.bmiHeader, width, height, ATopDown);
  TScreenMemoryDC dc;
  APixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), RGBQUAD{});
  if (GetDIBits(dc.DC, ABitmap, 0, static_cast<UINT>(height), APixels.data(), &info, DIB_RGB_COLORS) == height)
    return true;
  // Row by row; a row that fails is read once more into a clean buffer.
  bool result = true;
  std::vector<RGBQUAD> scratch(static_cast<size_t>(width));
  for (Integer i = 0; i < height; ++i) {
    UINT line = static_cast<UINT>(ATopDown ? height - 1 - i : i);
    RGBQUAD* row = APixels.data() + static_cast<size_t>(width) * static_cast<size_t>(i);
    if (GetDIBits(dc.DC, ABitmap, line, 1, row, &info, DIB_RGB_COLORS) == 1) continue;
    std::fill(scratch.begin(), scratch.end(), RGBQUAD{});
    if (GetDIBits(dc.DC, ABitmap, line, 1, scratch.data(), &info, DIB_RGB_COLORS) != 1) result = false;
    std::copy(scratch.begin(), scratch.end(), row);
  }
  return result;
}

bool dxPutBitmapPixels32(HBITMAP ABitmap, const std::vector<RGBQUAD>& APixels, bool ATopDown) {
  Integer width = 0, height = 0;
  if (!BitmapSize(ABitmap, width, height)) return false;
  // Too few pixels would be read past their end.
  if (APixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return false;
  BITMAPINFO info{};
  dxInitBitmapInfoHeader(info.bmiHeader, width, height, ATopDown);
  TScreenMemoryDC dc;
  return SetDIBits(dc.DC, ABitmap, 0, static_cast<UINT>(height), APixels.data(), &info, DIB_RGB_COLORS) != 0;
}

bool dxBitmapHasAlpha(TBitmap* ABitmap) {
  if (!ABitmap || dxGetBitmapBitsPerPixel(ABitmap) <= 31) return false;
  std::vector<RGBQUAD> pixels;
  if (!dxGetBitmapPixels(ABitmap->Handle(), pixels, false)) return false;
  for (const RGBQUAD& p : pixels)
    if (p.rgbReserved != 0) return true;
  return false;
}
