#include "platform/forms/bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "platform/forms/bitmap_internal.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/image_limits.h"
#include "platform/rtl/resources.h"
#include "platform/win/user/user.h"

// A bitmap's canvas: a memory DC with the bitmap selected, made on demand
// and let go whenever the bitmap is re-created underneath.
class TBitmapCanvas : public TCanvas {
  RTL_CLASS(TBitmapCanvas, TCanvas)
  TBitmap* FBitmap;
  HGDIOBJ FOldBitmap = nullptr;

 protected:
  void CreateHandle() override;

 public:
  explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext();
  // The DC, made when needed, without the change events.
  HDC DC() {
    RequiredState({csHandleValid});
    return FHandle;
  }
};

RTL_IMPLEMENT_CLASS(TGraphic)
RTL_IMPLEMENT_CLASS(TBitmap)
RTL_IMPLEMENT_CLASS(TBitmapCanvas)

namespace rtl::detail {
[[noreturn]] void RaiseGDIError();
}

using rtl::detail::Get16;
using rtl::detail::Get32;
using rtl::detail::Put16;
using rtl::detail::Put32;
using rtl::detail::RowBytes;

namespace {

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

// ---- Formats ------------------------------------------------------------------

int BitsOf(TPixelFormat f) {
  switch (f) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

constexpr uint32_t kMasks555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr uint32_t kMasks565[3] = {0xF800, 0x07E0, 0x001F};
constexpr uint32_t kMasks888[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

bool SameMasks(const uint32_t* a, const uint32_t* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

bool SameColors(const std::vector<RGBQUAD>& a, const std::vector<RGBQUAD>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RGBQUAD)) == 0);
}

// The colour table a new 1-, 4- or 8-bit bitmap starts with: black and
// white; the sixteen VGA colours; those, a 6 x 6 x 6 cube and 24 greys.
std::vector<RGBQUAD> DefaultColors(int bits) {
  static const RGBQUAD vga[16] = {Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
                                  Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
                                  Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
                                  Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
  std::vector<RGBQUAD> c;
  if (bits == 1) return {Quad(0, 0, 0), Quad(255, 255, 255)};
  c.assign(vga, vga + 16);
  if (bits == 4) return c;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) c.push_back(Quad(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51)));
  for (int i = 0; i < 24; ++i) c.push_back(Quad(BYTE(8 + i * 10), BYTE(8 + i * 10), BYTE(8 + i * 10)));
  return c;
}

// A memory DC with a bitmap selected into it, for as long as it lives.
class TBitmapDC {
 public:
  explicit TBitmapDC(HBITMAP bitmap) : DC(CreateCompatibleDC(nullptr)), FOld(SelectObject(DC, bitmap)) {}
  ~TBitmapDC() {
    SelectObject(DC, FOld);
    DeleteDC(DC);
  }
  TBitmapDC(const TBitmapDC&) = delete;
  TBitmapDC& operator=(const TBitmapDC&) = delete;

  const HDC DC;

 private:
  HGDIOBJ FOld;
};

HDC ScreenDC() {
  static const HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  return dc;
}

// A BITMAPINFO with room for a full colour table or the three masks; the
// header starts as that of an uncompressed bottom-up DIB.
struct TBitmapInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};

  TBitmapInfo(int width, int height, int bits) {
    Header.biSize = sizeof(BITMAPINFOHEADER);
    Header.biWidth = width;
    Header.biHeight = height;
    Header.biPlanes = 1;
    Header.biBitCount = static_cast<WORD>(bits);
    Header.biCompression = BI_RGB;
  }
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

}  // namespace

void rtl::detail::GetBottomUpBits(HBITMAP Bitmap, int Width, int Height, int Bits, uint8_t* Out) {
  TBitmapInfo bi(Width, Height, Bits);
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, Bitmap, 0, static_cast<UINT>(Height), Out, bi.Info(), DIB_RGB_COLORS);
  DeleteDC(dc);
}

namespace {

// A bottom-up DIB section of the format; null when it cannot be made.
HBITMAP CreateDIB(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>& colors, void** bits) {
  TBitmapInfo bi(width, height, BitsOf(format));
  if (format == pf16bit) {
    bi.Header.biCompression = BI_BITFIELDS;
    std::memcpy(bi.Colors, kMasks565, sizeof(kMasks565));
  } else if (bi.Header.biBitCount <= 8) {
    size_t n = std::min<size_t>(colors.size(), size_t(1) << bi.Header.biBitCount);
    std::copy(colors.begin(), colors.begin() + static_cast<ptrdiff_t>(n), bi.Colors);
    bi.Header.biClrUsed = static_cast<DWORD>(n);
  }
  return CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, bits, nullptr, 0);
}

HBITMAP CreateHandle(int width, int height, TPixelFormat format, bool mono, const std::vector<RGBQUAD>& colors) {
  HBITMAP h;
  if (format == pfDevice)
    h = mono ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(ScreenDC(), width, height);
  else {
    void* bits = nullptr;
    h = CreateDIB(width, height, format, colors, &bits);
  }
  if (!h) rtl::detail::RaiseGDIError();
  return h;
}

// The pixels of a DIB section: the first byte of image row y.
struct TDibView {
  uint8_t* Bits = nullptr;
  int Stride = 0;
  int Height = 0;
  bool TopDown = false;
  int BitCount = 0;
  uint32_t Masks[3] = {};

  uint8_t* Row(int y) const { return Bits + ptrdiff_t(TopDown ? y : Height - 1 - y) * Stride; }
};

bool ViewDIB(HBITMAP h, TDibView& v) {
  DIBSECTION ds{};
  if (!h || GetObjectA(h, sizeof(ds), &ds) != static_cast<int>(sizeof(ds)) || !ds.dsBm.bmBits) return false;
  GdiFlush();
  v.Bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
  v.Stride = RowBytes(ds.dsBm.bmWidth, ds.dsBm.bmBitsPixel);
  v.Height = ds.dsBm.bmHeight;
  v.TopDown = ds.dsBmih.biHeight < 0;
  v.BitCount = ds.dsBm.bmBitsPixel;
  if (ds.dsBmih.biCompression == BI_BITFIELDS)
    std::memcpy(v.Masks, ds.dsBitfields, sizeof(v.Masks));
  else if (v.BitCount == 16)
    std::memcpy(v.Masks, kMasks555, sizeof(v.Masks));
  else if (v.BitCount >= 24)
    std::memcpy(v.Masks, kMasks888, sizeof(v.Masks));
  return true;
}

// Copies the top-left width x height pixels of one bitmap into another:
// byte for byte between DIBs of one layout (RawOk: same colour table too),
// through GDI otherwise. Neither may be selected into a DC.
void CopyPixels(HBITMAP from, HBITMAP to, int width, int height, bool RawOk) {
  if (width <= 0 || height <= 0) return;
  TDibView a, b;
  if (RawOk && ViewDIB(from, a) && ViewDIB(to, b) && a.BitCount == b.BitCount && SameMasks(a.Masks, b.Masks)) {
    size_t bytes = (size_t(width) * a.BitCount + 7) / 8;
    int tail = (width * a.BitCount) % 8;
    for (int y = 0; y < height; ++y) {
      uint8_t* d = b.Row(y);
      const uint8_t* s = a.Row(y);
      if (tail == 0) {
        std::memcpy(d, s, bytes);
      } else {
        // Keep the bits of the last byte that lie beyond the copied width.
        std::memcpy(d, s, bytes - 1);
        uint8_t keep = static_cast<uint8_t>(0xFF >> tail);
        d[bytes - 1] = static_cast<uint8_t>((s[bytes - 1] & ~keep) | (d[bytes - 1] & keep));
      }
    }
    return;
  }
  TBitmapDC src(from), dst(to);
  BitBlt(dst.DC, 0, 0, width, height, src.DC, 0, 0, SRCCOPY);
}

void FillBitmap(HBITMAP h, int width, int height, HBRUSH brush) {
  TBitmapDC dc(h);
  RECT r(0, 0, width, height);
  FillRect(dc.DC, &r, brush);
}

// ---- BMP decoding -------------------------------------------------------------

struct TDecoded {
  HBITMAP Handle = nullptr;
  int Width = 0, Height = 0;
  TPixelFormat Format = pf24bit;
  std::vector<RGBQUAD> Colors;

  TDecoded() = default;
  TDecoded(const TDecoded&) = delete;
  TDecoded& operator=(const TDecoded&) = delete;
  ~TDecoded() {
    if (Handle) DeleteObject(Handle);
  }
  HBITMAP Release() {
    HBITMAP h = Handle;
    Handle = nullptr;
    return h;
  }
};

// A channel of a bit-field pixel scaled to 0..255.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;

  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (mask) {
      Shift = std::countr_zero(mask);
      Max = mask >> Shift;
    }
  }
  uint32_t Get(uint32_t v) const { return Max ? (((v & Mask) >> Shift) * 255 + Max / 2) / Max : 0; }
};

// Expands RLE8 or RLE4 data into a zeroed bottom-up pixel buffer; runs
// that leave the image are clipped, data that ends early ends the image.
void DecodeRLE(const uint8_t* p, size_t n, bool rle4, int width, int height, int stride, uint8_t* out) {
  auto put = [&](int x, int y, int v) {
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    uint8_t* row = out + ptrdiff_t(y) * stride;
    if (rle4) {
      uint8_t& b = row[x / 2];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (v & 0x0F)) : static_cast<uint8_t>((b & 0x0F) | (v << 4));
    } else {
      row[x] = static_cast<uint8_t>(v);
    }
  };
  int x = 0, y = 0;
  size_t i = 0;
  while (i + 1 < n && y < height) {
    int count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k, ++x)
        put(x, y, rle4 ? ((k & 1) ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (i + 1 >= n) break;
      x += p[i];
      y += p[i + 1];
      i += 2;
    } else {
      size_t bytes = rle4 ? (size_t(value) + 1) / 2 : size_t(value);
      if (i + bytes > n) break;
      for (int k = 0; k < value; ++k, ++x) {
        int v = rle4 ? ((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k];
        put(x, y, v);
      }
      i += (bytes + 1) & ~size_t(1);
    }
  }
}

// Parses a BMP file image (or, without the file header, a packed DIB) into
// a new DIB section. Every offset and size is checked against the data.
void DecodeBMP(const uint8_t* p, size_t n, bool fileHeader, TDecoded& d) {
  size_t base = 0;
  size_t offBits = 0;
  if (fileHeader) {
    if (n < 14 || p[0] != 'B' || p[1] != 'M') InvalidBitmap();
    offBits = Get32(p + 10);
    base = 14;
  }
  if (n - base < 4) InvalidBitmap();
  const uint8_t* h = p + base;
  size_t headerSize = Get32(h);
  int64_t width, height;
  int bits;
  uint32_t compression = BI_RGB, clrUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t quadSize = 4;
  if (headerSize == 12) {
    if (n - base < 12) InvalidBitmap();
    width = Get16(h + 4);
    height = Get16(h + 6);
    bits = Get16(h + 10);
    quadSize = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    if (n - base < headerSize) InvalidBitmap();
    width = static_cast<int32_t>(Get32(h + 4));
    height = static_cast<int32_t>(Get32(h + 8));
    bits = Get16(h + 14);
    compression = Get32(h + 16);
    clrUsed = Get32(h + 32);
    if (headerSize >= 52)
      for (int i = 0; i < 3; ++i) masks[i] = Get32(h + 40 + 4 * i);
    if (headerSize >= 56) masks[3] = Get32(h + 52);
  } else {
    InvalidBitmap();
  }
  size_t pos = base + headerSize;
  if (compression == BI_BITFIELDS && headerSize == 40) {
    if (n - pos < 12) InvalidBitmap();
    for (int i = 0; i < 3; ++i) masks[i] = Get32(p + pos + 4 * i);
    pos += 12;
  }

  bool topDown = height < 0;
  int64_t absHeight = topDown ? -height : height;
  if (width <= 0 || absHeight <= 0 || width > 0x7FFF'FFFF / 32) InvalidBitmap();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) InvalidBitmap();
  switch (compression) {
    case BI_RGB:
      break;
    case BI_RLE8:
      if (bits != 8 || topDown) InvalidBitmap();
      break;
    case BI_RLE4:
      if (bits != 4 || topDown) InvalidBitmap();
      break;
    case BI_BITFIELDS:
      if (bits != 16 && bits != 32) InvalidBitmap();
      break;
    default:
      InvalidBitmap();
  }
  // The limits every decoder of the layer shares.
  if (!rtl::ImageSizeAllowed(width, absHeight)) InvalidBitmap();
  int64_t stride = RowBytes(static_cast<int>(width), bits);

  // Colour table.
  if (bits <= 8) {
    size_t max = size_t(1) << bits;
    size_t count = clrUsed ? clrUsed : max;
    if (count > n || (n - pos) / quadSize < count) InvalidBitmap();
    for (size_t i = 0; i < std::min(count, max); ++i) {
      const uint8_t* q = p + pos + i * quadSize;
      d.Colors.push_back(RGBQUAD{q[0], q[1], q[2], 0});
    }
    pos += count * quadSize;
  } else if (clrUsed) {
    if (clrUsed > n || (n - pos) / quadSize < clrUsed) InvalidBitmap();
    pos += clrUsed * quadSize;
  }
  if (fileHeader && offBits) {
    if (offBits > n) InvalidBitmap();
    if (offBits >= base + headerSize) pos = offBits;
  }
  const uint8_t* data = p + pos;
  size_t dataSize = n - pos;
  bool compressed = compression == BI_RLE8 || compression == BI_RLE4;
  if (!compressed && dataSize < static_cast<uint64_t>(stride * absHeight)) InvalidBitmap();
  if (compressed && !rtl::BitmapRunsPlausible(width * absHeight, dataSize)) InvalidBitmap();

  // The format kept: the file's own, except that unusual bit fields become
  // 32-bit B,G,R,A.
  if (bits == 16 && compression != BI_BITFIELDS) std::memcpy(masks, kMasks555, sizeof(kMasks555));
  if (bits == 32 && compression != BI_BITFIELDS) std::memcpy(masks, kMasks888, sizeof(kMasks888));
  bool convert = false;
  switch (bits) {
    case 1:
      d.Format = pf1bit;
      break;
    case 4:
      d.Format = pf4bit;
      break;
    case 8:
      d.Format = pf8bit;
      break;
    case 16:
      if (SameMasks(masks, kMasks555))
        d.Format = pf15bit;
      else if (SameMasks(masks, kMasks565))
        d.Format = pf16bit;
      else
        d.Format = pf32bit, convert = true;
      break;
    case 24:
      d.Format = pf24bit;
      break;
    default:
      d.Format = pf32bit;
      convert = !SameMasks(masks, kMasks888);
      break;
  }
  d.Width = static_cast<int>(width);
  d.Height = static_cast<int>(absHeight);
  void* bitsPtr = nullptr;
  d.Handle = CreateDIB(d.Width, d.Height, d.Format, d.Colors, &bitsPtr);
  if (!d.Handle) rtl::detail::RaiseGDIError();
  auto* out = static_cast<uint8_t*>(bitsPtr);
  int outStride = RowBytes(d.Width, BitsOf(d.Format));

  if (compressed) {
    DecodeRLE(data, dataSize, compression == BI_RLE4, d.Width, d.Height, outStride, out);
    return;
  }
  for (int y = 0; y < d.Height; ++y) {
    // Output rows are bottom-up; so are the file's unless it is top-down.
    const uint8_t* src = data + (topDown ? ptrdiff_t(d.Height - 1 - y) : ptrdiff_t(y)) * stride;
    uint8_t* dst = out + ptrdiff_t(y) * outStride;
    if (!convert) {
      std::memcpy(dst, src, static_cast<size_t>(stride));
      continue;
    }
    TChannel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    for (int x = 0; x < d.Width; ++x) {
      uint32_t v = bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
      uint32_t px = b.Get(v) | g.Get(v) << 8 | r.Get(v) << 16 | a.Get(v) << 24;
      std::memcpy(dst + 4 * x, &px, 4);
    }
  }
}

}  // namespace

// ---- TGraphic -----------------------------------------------------------------

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::DefineProperties(TFiler* Filer) {
  bool write;
  if (auto* ancestor = dynamic_cast<TGraphic*>(Filer->Ancestor()))
    write = !Equals(ancestor);
  else
    write = !Empty();
  Filer->DefineBinaryProperty("Data", TStreamProc(this, &TGraphic::ReadData), TStreamProc(this, &TGraphic::WriteData),
                              write);
}

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }

void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

void TGraphic::LoadFromClipboardFormat(Word, HANDLE, HPALETTE) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(Word&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SetSize(Integer AWidth, Integer AHeight) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::LoadFromFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream a, b;
  SaveToStream(&a);
  Graphic->SaveToStream(&b);
  return a.Size() == b.Size() && std::memcmp(a.Memory(), b.Memory(), static_cast<size_t>(a.Size())) == 0;
}

// ---- TBitmapCanvas --------------------------------------------------------------

void TBitmapCanvas::CreateHandle() {
  FBitmap->HandleNeeded();
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) rtl::detail::RaiseGDIError();
  FOldBitmap = FBitmap->FHandle ? SelectObject(dc, FBitmap->FHandle) : nullptr;
  SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
  HDC dc = FHandle;
  if (!dc) return;
  if (FOldBitmap) SelectObject(dc, FOldBitmap);
  FOldBitmap = nullptr;
  SetHandle(nullptr);
  DeleteDC(dc);
}

// ---- TBitmap ----------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::TBitmap(Integer AWidth, Integer AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeHandles();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeHandles() {
  if (FHandle) DeleteObject(FHandle);
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FHandle = FMaskHandle = nullptr;
  FMaskValid = false;
}

void TBitmap::HandleNeeded() {
  if (FHandle || GetEmpty()) return;
  if (FImage) {
    // The image holds a DIB; a device bitmap becomes one again.
    std::unique_ptr<TMemoryStream> image = std::move(FImage);
    TPixelFormat format = FPixelFormat;
    bool mono = FMonochrome;
    LoadImage(static_cast<const uint8_t*>(image->Memory()), static_cast<size_t>(image->Size()), true);
    if (format != FPixelFormat) Reformat(FWidth, FHeight, format, mono);
    return;
  }
  if (FPixelFormat != pfDevice && BitsOf(FPixelFormat) <= 8 && FColors.empty())
    FColors = DefaultColors(BitsOf(FPixelFormat));
  FHandle = CreateHandle(FWidth, FHeight, FPixelFormat, FMonochrome, FColors);
  FillBitmap(FHandle, FWidth, FHeight, FCanvas ? FCanvas->Brush()->Handle() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void TBitmap::Reformat(Integer AWidth, Integer AHeight, TPixelFormat Format, bool Monochrome) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  FreeContext();
  HandleNeeded();
  std::vector<RGBQUAD> colors;
  int bits = Format == pfDevice ? 0 : BitsOf(Format);
  if (bits && bits <= 8) colors = BitsOf(FPixelFormat) == bits && !FColors.empty() ? FColors : DefaultColors(bits);
  HBITMAP handle = nullptr;
  if (AWidth > 0 && AHeight > 0) {
    handle = CreateHandle(AWidth, AHeight, Format, Monochrome, colors);
    FillBitmap(handle, AWidth, AHeight,
               FCanvas ? FCanvas->Brush()->Handle() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (FHandle)
      CopyPixels(FHandle, handle, std::min(AWidth, FWidth), std::min(AHeight, FHeight),
                 bits > 8 || SameColors(colors, FColors));
  }
  FreeHandles();
  FHandle = handle;
  FWidth = AWidth;
  FHeight = AHeight;
  FPixelFormat = Format;
  FMonochrome = Format == pfDevice && Monochrome;
  FColors = std::move(colors);
  FTopDown = false;
}

void TBitmap::Changed(TObject* Sender) {
  FMaskValid = false;
  inherited::Changed(Sender);
}

void TBitmap::Changing(TObject*) { FreeImage(); }

void TBitmap::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TBitmap*>(Source);
  if (Source && !src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  FreeContext();
  if (src) src->FreeContext();
  HBITMAP handle = nullptr;
  if (src && src->FHandle) {
    handle = CreateHandle(src->FWidth, src->FHeight, src->FPixelFormat, src->FMonochrome, src->FColors);
    CopyPixels(src->FHandle, handle, src->FWidth, src->FHeight, true);
  }
  FreeHandles();
  FImage.reset();
  FHandle = handle;
  if (src) {
    if (src->FImage) {
      FImage = std::make_unique<TMemoryStream>();
      FImage->WriteBuffer(src->FImage->Memory(), static_cast<Integer>(src->FImage->Size()));
    }
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FPixelFormat = src->FPixelFormat;
    FMonochrome = src->FMonochrome;
    FColors = src->FColors;
    FTransparentColor = src->FTransparentColor;
    FTransparentMode = src->FTransparentMode;
    FAlphaFormat = src->FAlphaFormat;
    FTransparent = src->FTransparent;
  } else {
    FWidth = FHeight = 0;
  }
  FTopDown = false;
  Changed(this);
}

void TBitmap::SetWidth(Integer Value) { SetSize(Value, FHeight); }

void TBitmap::SetHeight(Integer Value) { SetSize(FWidth, Value); }

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth == FWidth && AHeight == FHeight) return;
  Reformat(AWidth, AHeight, FPixelFormat == pfCustom ? pf32bit : FPixelFormat, FMonochrome);
  Changed(this);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->OnChange = TNotifyEvent(this, &TBitmap::Changed);
    FCanvas->OnChanging = TNotifyEvent(this, &TBitmap::Changing);
  }
  return FCanvas.get();
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  HandleNeeded();
  Changing(this);
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  FreeContext();
  FreeHandles();
  FImage.reset();
  FColors.clear();
  FWidth = FHeight = 0;
  FPixelFormat = pfDevice;
  FMonochrome = FTopDown = false;
  if (Value) {
    DIBSECTION ds{};
    int got = GetObjectA(Value, sizeof(ds), &ds);
    if (got == 0) rtl::detail::RaiseGDIError();
    FWidth = ds.dsBm.bmWidth;
    FHeight = ds.dsBm.bmHeight;
    if (got == static_cast<int>(sizeof(DIBSECTION)) && ds.dsBm.bmBits) {
      FTopDown = ds.dsBmih.biHeight < 0;
      switch (ds.dsBm.bmBitsPixel) {
        case 1:
          FPixelFormat = pf1bit;
          break;
        case 4:
          FPixelFormat = pf4bit;
          break;
        case 8:
          FPixelFormat = pf8bit;
          break;
        case 16:
          FPixelFormat = ds.dsBmih.biCompression != BI_BITFIELDS || SameMasks(ds.dsBitfields, kMasks555) ? pf15bit
                         : SameMasks(ds.dsBitfields, kMasks565)                                          ? pf16bit
                                                                                                         : pfCustom;
          break;
        case 24:
          FPixelFormat = pf24bit;
          break;
        default:
          FPixelFormat =
              ds.dsBmih.biCompression != BI_BITFIELDS || SameMasks(ds.dsBitfields, kMasks888) ? pf32bit : pfCustom;
          break;
      }
      if (ds.dsBm.bmBitsPixel <= 8) {
        RGBQUAD table[256];
        UINT n = GetDIBColorTable(TBitmapDC(Value).DC, 0, 256, table);
        FColors.assign(table, table + n);
      }
    } else {
      FMonochrome = ds.dsBm.bmBitsPixel == 1;
    }
    FHandle = Value;
  }
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  HandleNeeded();
  Changing(this);
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FreeHandles();
  FWidth = FHeight = 0;
  return h;
}

void TBitmap::MaskHandleNeeded() {
  if (FMaskValid && FMaskHandle) return;
  HandleNeeded();
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FMaskHandle = nullptr;
  FMaskValid = false;
  if (GetEmpty()) return;
  COLORREF key = ColorToRGB(TransparentColor()) & 0xFFFFFFu;
  HBITMAP mask = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
  if (!mask) rtl::detail::RaiseGDIError();
  HDC src = static_cast<TBitmapCanvas*>(Canvas())->DC();
  TBitmapDC dc(mask);
  COLORREF oldBk = SetBkColor(src, key);
  BitBlt(dc.DC, 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
  SetBkColor(src, oldBk);
  FMaskHandle = mask;
  FMaskValid = true;
}

HBITMAP TBitmap::MaskHandle() {
  MaskHandleNeeded();
  return FMaskHandle;
}

void TBitmap::SetMaskHandle(HBITMAP Value) {
  if (Value == FMaskHandle) return;
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FMaskHandle = Value;
  FMaskValid = Value != nullptr;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  MaskHandleNeeded();
  HBITMAP h = FMaskHandle;
  FMaskHandle = nullptr;
  FMaskValid = false;
  return h;
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == HandleType()) return;
  if (Value == bmDDB)
    SetPixelFormat(pfDevice);
  else
    SetPixelFormat(FMonochrome ? pf1bit : pf32bit);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pfCustom) throw EInvalidGraphic("Invalid pixel format");
  if (Value == FPixelFormat) return;
  Reformat(FWidth, FHeight, Value, false);
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  Reformat(FWidth, FHeight, pfDevice, Value);
  Changed(this);
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value) {
  if (Value == FAlphaFormat) return;
  FAlphaFormat = Value;
  Changed(this);
}

void* TBitmap::ScanLine(Integer Row) {
  Changing(this);
  if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation("Scan line index out of range");
  if (FPixelFormat == pfDevice) SetHandleType(bmDIB);
  HandleNeeded();
  TDibView v;
  if (!ViewDIB(FHandle, v)) throw EInvalidGraphicOperation("Scan line index out of range");
  return v.Row(Row);
}

TColor TBitmap::TransparentColor() {
  if (FTransparentColor != clDefault) return static_cast<TColor>(ColorToRGB(FTransparentColor));
  if (Monochrome()) return clWhite;
  if (GetEmpty()) return clDefault;
  return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  FTransparentColor = Value;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  SetTransparentColor(Value == tmAuto ? clDefault : TransparentColor());
}

void TBitmap::Dormant() {
  if (!FHandle) return;
  std::vector<uint8_t> image;
  WriteImage(image);
  auto stream = std::make_unique<TMemoryStream>();
  stream->WriteBuffer(image.data(), static_cast<Integer>(image.size()));
  FreeContext();
  FreeHandles();
  FImage = std::move(stream);
}

void TBitmap::FreeImage() {
  if (FImage && !FHandle) HandleNeeded();
  FImage.reset();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (GetEmpty()) return;
  ACanvas->RequiredState(csAllValid);
  HDC dst = ACanvas->FHandle;
  HDC src = static_cast<TBitmapCanvas*>(Canvas())->DC();
  int w = Rect.Width(), h = Rect.Height();
  if (FTransparent) {
    TransparentBlt(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight,
                   ColorToRGB(TransparentColor()) & 0xFFFFFFu);
    return;
  }
  if (FPixelFormat == pf32bit && FAlphaFormat != afIgnored) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (FAlphaFormat == afPremultiplied) {
      AlphaBlend(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight, blend);
      return;
    }
    // Straight alpha: blend from a premultiplied copy.
    void* bits = nullptr;
    HBITMAP copy = CreateDIB(FWidth, FHeight, pf32bit, {}, &bits);
    if (!copy) rtl::detail::RaiseGDIError();
    TDibView v;
    ViewDIB(FHandle, v);
    auto* out = static_cast<uint8_t*>(bits);
    for (int y = 0; y < FHeight; ++y) {
      const uint8_t* s = v.Row(y);
      uint8_t* d = out + ptrdiff_t(FHeight - 1 - y) * FWidth * 4;
      for (int x = 0; x < FWidth; ++x, s += 4, d += 4) {
        unsigned a = s[3];
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + 127) / 255);
        d[3] = s[3];
      }
    }
    AlphaBlend(dst, Rect.Left, Rect.Top, w, h, TBitmapDC(copy).DC, 0, 0, FWidth, FHeight, blend);
    DeleteObject(copy);
    return;
  }
  bool stretched = w != FWidth || h != FHeight;
  int oldMode = stretched ? SetStretchBltMode(dst, COLORONCOLOR) : 0;
  StretchBlt(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight, static_cast<DWORD>(ACanvas->CopyMode()));
  if (stretched && oldMode) SetStretchBltMode(dst, oldMode);
}

// ---- BMP files ------------------------------------------------------------------

void TBitmap::LoadImage(const uint8_t* Data, size_t Size, bool FileHeader) {
  TDecoded d;
  DecodeBMP(Data, Size, FileHeader, d);
  FreeContext();
  FreeHandles();
  FHandle = d.Release();
  FWidth = d.Width;
  FHeight = d.Height;
  FPixelFormat = d.Format;
  FMonochrome = FTopDown = false;
  FColors = std::move(d.Colors);
}

void TBitmap::ReadStream(TStream* Stream, Int64 Size) {
  if (Size <= 0) {
    FreeContext();
    FreeHandles();
    FImage.reset();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  if (Size > Stream->Size() - Stream->Position()) InvalidBitmap();
  std::vector<uint8_t> data(static_cast<size_t>(Size));
  Stream->ReadBuffer(data.data(), static_cast<Integer>(Size));
  LoadImage(data.data(), data.size(), true);
  FImage.reset();
  Changed(this);
}

void TBitmap::WriteImage(std::vector<uint8_t>& Out) {
  HandleNeeded();
  if (GetEmpty()) return;
  FreeContext();
  TDibView v;
  bool raw = FPixelFormat != pfDevice && FPixelFormat != pfCustom && ViewDIB(FHandle, v);
  int bits = raw ? BitsOf(FPixelFormat) : FMonochrome ? 1 : 32;
  std::vector<RGBQUAD> colors;
  if (bits <= 8) colors = raw ? FColors : DefaultColors(1);
  bool bitfields = raw && FPixelFormat == pf16bit;
  int stride = RowBytes(FWidth, bits);
  uint32_t imageSize = static_cast<uint32_t>(stride) * static_cast<uint32_t>(FHeight);
  uint32_t offBits = 14 + 40 + (bitfields ? 12 : 0) + static_cast<uint32_t>(colors.size()) * 4;
  Out.reserve(offBits + imageSize);
  Put16(Out, 'B' | 'M' << 8);
  Put32(Out, offBits + imageSize);
  Put32(Out, 0);
  Put32(Out, offBits);
  Put32(Out, 40);
  Put32(Out, static_cast<uint32_t>(FWidth));
  Put32(Out, static_cast<uint32_t>(FHeight));
  Put16(Out, 1);
  Put16(Out, static_cast<uint32_t>(bits));
  Put32(Out, bitfields ? BI_BITFIELDS : BI_RGB);
  Put32(Out, imageSize);
  Put32(Out, 0);
  Put32(Out, 0);
  Put32(Out, static_cast<uint32_t>(colors.size()));
  Put32(Out, 0);
  if (bitfields)
    for (uint32_t m : kMasks565) Put32(Out, m);
  for (const RGBQUAD& q : colors) {
    Out.push_back(q.rgbBlue);
    Out.push_back(q.rgbGreen);
    Out.push_back(q.rgbRed);
    Out.push_back(0);
  }
  size_t start = Out.size();
  Out.resize(start + imageSize);
  uint8_t* dst = Out.data() + start;
  if (raw) {
    for (int y = 0; y < FHeight; ++y)
      std::memcpy(dst + ptrdiff_t(y) * stride, v.Row(FHeight - 1 - y), static_cast<size_t>(stride));
    return;
  }
  rtl::detail::GetBottomUpBits(FHandle, FWidth, FHeight, bits, dst);
}

void TBitmap::LoadFromStream(TStream* Stream) { ReadStream(Stream, Stream->Size() - Stream->Position()); }

void TBitmap::SaveToStream(TStream* Stream) {
  std::vector<uint8_t> image;
  WriteImage(image);
  if (!image.empty()) Stream->WriteBuffer(image.data(), static_cast<Integer>(image.size()));
}

void TBitmap::ReadData(TStream* Stream) {
  uint8_t size[4];
  Stream->ReadBuffer(size, 4);
  ReadStream(Stream, static_cast<int32_t>(Get32(size)));
}

void TBitmap::WriteData(TStream* Stream) {
  std::vector<uint8_t> image;
  WriteImage(image);
  std::vector<uint8_t> size;
  Put32(size, static_cast<uint32_t>(image.size()));
  Stream->WriteBuffer(size.data(), 4);
  if (!image.empty()) Stream->WriteBuffer(image.data(), static_cast<Integer>(image.size()));
}

void TBitmap::LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE) {
  if (AFormat == CF_BITMAP && AData) {
    // The clipboard keeps its bitmap: take a copy of it.
    HANDLE copy = CopyImage(AData, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!copy) InvalidBitmap();
    SetHandle(static_cast<HBITMAP>(copy));
    return;
  }
  if (AFormat == CF_DIB && AData) {
    size_t size = GlobalSize(AData);
    const void* p = GlobalLock(AData);
    if (!p || size == 0) InvalidBitmap();
    std::vector<uint8_t> data(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + size);
    GlobalUnlock(AData);
    FImage.reset();
    LoadImage(data.data(), data.size(), false);
    Changed(this);
    return;
  }
  TGraphic::LoadFromClipboardFormat(AFormat, AData, nullptr);
}

void TBitmap::SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) {
  std::vector<uint8_t> image;
  WriteImage(image);
  // The packed DIB is the file image without its 14-byte file header.
  size_t size = image.size() > 14 ? image.size() - 14 : 0;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!mem) throw EOutOfResources("Out of system resources");
  if (size) {
    std::memcpy(GlobalLock(mem), image.data() + 14, size);
    GlobalUnlock(mem);
  }
  AFormat = CF_DIB;
  AData = mem;
  APalette = nullptr;
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const AnsiString& ResName) {
  TResourceStream stream(Instance, ResName, RT_BITMAP);
  LoadImage(static_cast<const uint8_t*>(stream.Memory()), static_cast<size_t>(stream.Size()), false);
  FImage.reset();
  Changed(this);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, Integer ResID) {
  TResourceStream stream(Instance, ResID, RT_BITMAP);
  LoadImage(static_cast<const uint8_t*>(stream.Memory()), static_cast<size_t>(stream.Size()), false);
  FImage.reset();
  Changed(this);
}
