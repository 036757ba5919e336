// The GDI+ flat API bound by name from "gdiplus.dll" at run time: one
// process-wide availability flag, start-up and shut-down of GDI+, the
// status check that turns a failed call into an exception, colour and
// rectangle conversions, and the class ids of the five image encoders.
// Every GDI+ drawing of the library calls through dxGpApi, so tests can put
// recording stand-ins into its slots. User-interface thread only.
#pragma once

#include <cstddef>
#include <span>

#include "platform/win/gdiplus/gdiplus.h"
#include "platform/win/modules.h"
#include "ui/foundation/core_classes.h"

class TFont;

// The entry points the library calls, in the order they are bound.
#define DX_GP_CALLED_ENTRY_POINTS(X)                                                                             \
  X(GdipAlloc)                                                                                                   \
  X(GdipFree)                                                                                                    \
  X(GdiplusStartup)                                                                                              \
  X(GdiplusShutdown)                                                                                             \
  X(GdipCreateFromHDC)                                                                                           \
  X(GdipGetImageGraphicsContext)                                                                                 \
  X(GdipDeleteGraphics)                                                                                          \
  X(GdipSetInterpolationMode)                                                                                    \
  X(GdipSetSmoothingMode)                                                                                        \
  X(GdipSetCompositingMode)                                                                                      \
  X(GdipSetTextRenderingHint)                                                                                    \
  X(GdipIsVisibleRectI)                                                                                          \
  X(GdipCreateSolidFill)                                                                                         \
  X(GdipCreateLineBrushFromRectI)                                                                                \
  X(GdipCreateTexture2I)                                                                                         \
  X(GdipDeleteBrush)                                                                                             \
  X(GdipCreatePen1)                                                                                              \
  X(GdipSetPenDashStyle)                                                                                         \
  X(GdipDeletePen)                                                                                               \
  X(GdipFillRectangleI)                                                                                          \
  X(GdipDrawArcI)                                                                                                \
  X(GdipFillEllipseI)                                                                                            \
  X(GdipDrawEllipseI)                                                                                            \
  X(GdipDrawLineI)                                                                                               \
  X(GdipFillPieI)                                                                                                \
  X(GdipDrawPieI)                                                                                                \
  X(GdipFillPolygon)                                                                                             \
  X(GdipDrawPolygon)                                                                                             \
  X(GdipCreateBitmapFromScan0)                                                                                   \
  X(GdipCreateBitmapFromHBITMAP)                                                                                 \
  X(GdipCreateHBITMAPFromBitmap)                                                                                 \
  X(GdipLoadImageFromStream)                                                                                     \
  X(GdipSaveImageToStream)                                                                                       \
  X(GdipGetImageRawFormat)                                                                                       \
  X(GdipGetImageDimension)                                                                                       \
  X(GdipGetImageWidth)                                                                                           \
  X(GdipGetImageHeight)                                                                                          \
  X(GdipDrawImageRectI)                                                                                          \
  X(GdipDrawImageRectRectI)                                                                                      \
  X(GdipDisposeImage)                                                                                            \
  X(GdipCreateImageAttributes)                                                                                   \
  X(GdipSetImageAttributesColorMatrix)                                                                           \
  X(GdipDisposeImageAttributes)                                                                                  \
  X(GdipCreateFontFromLogfontA)                                                                                  \
  X(GdipDeleteFont)                                                                                              \
  X(GdipCreateStringFormat)                                                                                      \
  X(GdipSetStringFormatAlign)                                                                                    \
  X(GdipSetStringFormatLineAlign)                                                                                \
  X(GdipDeleteStringFormat)                                                                                      \
  X(GdipDrawString)                                                                                              \
  X(GdipGetImageEncodersSize)                                                                                    \
  X(GdipGetImageEncoders)

// The procedure variables of the called entry points; null while unbound.
struct TdxGpApi {
#define DX_GP_API_SLOT(Name) decltype(&::Name) Name = nullptr;
  DX_GP_CALLED_ENTRY_POINTS(DX_GP_API_SLOT)
#undef DX_GP_API_SLOT
  // The generic font-from-LOGFONT entry: a copy of the 8-bit one.
  decltype(&::GdipCreateFontFromLogfontA) GdipCreateFontFromLogfont = nullptr;
};
extern TdxGpApi dxGpApi;

// One name of the binding table and the variable it fills.
struct TdxGpEntryPoint {
  const char* Name;
  void* Slot;  // a function-pointer variable
};
// The whole table: the called entry points first (GdipAlloc first), then
// every other name the library exports, GdipEmfToWmfBits last.
std::span<const TdxGpEntryPoint> dxGpEntryPointTable();

// ---- Availability ---------------------------------------------------------------

// Binds the library when the flag is false, then answers the flag. With
// AShowMessage and GDI+ still missing: an error box, then the units shut
// down and the process ends.
bool dxGpCheckAvailable(bool AShowMessage = false);
// The flag as it is, without binding.
bool dxGpIsAvailable();
// Loads "gdiplus.dll" (no open-file error box), binds the table and starts
// GDI+; nothing when the flag is already true. A failed binding frees its
// library reference at once.
void dxGpBindLibrary();
// While the flag is true: the address of the name, and the flag becomes
// whether it was found; while false: null without a lookup.
FARPROC dxGpBindEntryPoint(const char* AName);
// Unhooks and shuts GDI+ down when started, frees the library, clears the
// flag and every procedure variable.
void dxGpReleaseLibrary();

namespace dx_gdiplus_detail {
// dxGpBindLibrary over another table (tests bind a table naming an entry
// point the library lacks).
void BindLibraryWith(std::span<const TdxGpEntryPoint> ATable);
// The units loader's procedures of the binding unit.
void StartBindingUnit();
void StopBindingUnit();
// The start-up token (0 while GDI+ is not started).
ULONG_PTR StartupToken();
// The file the binding loads ("gdiplus.dll"); tests name a missing one.
void SetLibraryFileName(const char* AFileName);
}  // namespace dx_gdiplus_detail

// ---- Status ---------------------------------------------------------------------

class EdxGdipException : public EdxException {
  RTL_CLASS(EdxGdipException, EdxException)
  GpStatus FErrorCode;

 public:
  // "Invalid operation in GDI+ (Code: %d)".
  explicit EdxGdipException(GpStatus AErrorCode);
  GpStatus ErrorCode() const { return FErrorCode; }
};

// Raises EdxGdipException for a status other than Ok.
void dxGpCheck(GpStatus AStatus);
inline void dxGpCheck(INT AStatus) { dxGpCheck(static_cast<GpStatus>(AStatus)); }

// ---- Distinct value types ---------------------------------------------------------
// Alphas and ARGB values have types of their own, so that an argument list
// written in another order does not compile.

// 0 transparent .. 255 opaque.
struct TdxGpAlpha {
  Byte Value;
  constexpr explicit TdxGpAlpha(Byte AValue) : Value(AValue) {}
  friend constexpr bool operator==(TdxGpAlpha, TdxGpAlpha) = default;
};
inline constexpr TdxGpAlpha dxGpOpaque{255};

// A GDI+ colour: alpha in bits 24-31, then red, green, blue.
enum class TdxGpARGB : ARGB {};
constexpr ARGB dxGpARGBValue(TdxGpARGB AColor) { return static_cast<ARGB>(AColor); }

// ---- Conversions and helpers --------------------------------------------------------

// clNone gives 0 (transparent black); other colours are resolved with
// ColorToRGB.
TdxGpARGB dxGpColorToARGB(TColor AColor, TdxGpAlpha AAlpha = dxGpOpaque);
// New premultiplied 32-bit GDI+ bitmaps; the caller disposes of them.
GpBitmap* dxGpCreateBitmapOfSize(Integer AWidth, Integer AHeight);
GpBitmap* dxGpCreateBitmapOfSize(const TSize& ASize);
GpBitmap* dxGpCreateBitmapForRect(const TRect& R);
// A GDI+ font of the font's LOGFONT; the caller deletes it.
GpFont* dxGpCreateFontFromTFont(TFont* AFont);
GpRectF dxGpRectToRectF(const TRect& R);
GpRect dxGpMakeRect(Integer X, Integer Y, Integer AWidth, Integer AHeight);

// ---- Encoders ----------------------------------------------------------------------------

extern CLSID dxGpBmpEncoder;
extern CLSID dxGpPngEncoder;
extern CLSID dxGpJpegEncoder;
extern CLSID dxGpTiffEncoder;
extern CLSID dxGpGifEncoder;

// Status Ok and the class id of the first encoder of the MIME type (case
// ignored); GenericError when none has it.
GpStatus dxGpFindEncoderByMimeType(const WideString& AMimeType, CLSID& AClassID);
// Looks the encoder up only while the first eight bytes of the id are zero;
// raises EdxGdipException when it is not found.
void dxGpEnsureEncoder(const WideString& AMimeType, CLSID& AClassID);
// BMP, PNG, JPEG, TIFF and GIF, in that order.
void dxGpPrepareEncoders();

// ---- Wrapper objects ---------------------------------------------------------------------

// Base of the GDI+ wrapper objects. While GDI+ is bound an instance's memory
// comes from GdipAlloc; each instance keeps the free function of the
// allocator it came from, so one released after the library is fine.
class TdxGpBase : public TObject {
  RTL_CLASS(TdxGpBase, TObject)
  bool FAllocatedByGdiPlus;

 public:
  TdxGpBase();
  static void* operator new(size_t ASize);
  static void operator delete(void* APointer) noexcept;
  // Whether this instance's memory came from GdipAlloc.
  bool AllocatedByGdiPlus() const;
};
