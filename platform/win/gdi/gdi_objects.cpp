// The handle table, stock objects, pens, brushes, palettes and the
// generic object functions (SelectObject, GetObject, DeleteObject, ...).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_objects.h"
#include "platform/win/kernel/handle_table.h"

namespace rtl::detail {

namespace {

THandleTable<TGdiObject>& Table() {
  static THandleTable<TGdiObject> table(THandleKind::Gdi);
  return table;
}

constexpr int kStockCount = DC_PEN + 1;

struct TStock {
  HGDIOBJ Objects[kStockCount] = {};
  HBITMAP DefaultBitmap = nullptr;
};

HGDIOBJ AddStock(std::unique_ptr<TGdiObject> obj) {
  obj->Stock = true;
  return GdiAdd(std::move(obj));
}

HGDIOBJ StockBrush(UINT style, COLORREF color, bool dc = false) {
  auto b = std::make_unique<TGdiBrush>();
  b->Style = style;
  b->Color = color;
  b->DCBrush = dc;
  return AddStock(std::move(b));
}

HGDIOBJ StockPen(int style, COLORREF color, bool dc = false) {
  auto p = std::make_unique<TGdiPen>();
  p->Style = static_cast<DWORD>(style);
  p->Color = color;
  p->DCPen = dc;
  return AddStock(std::move(p));
}

HGDIOBJ StockFont(const char16_t* face, int height, int weight, int pitch) {
  auto f = std::make_unique<TGdiFont>();
  f->Log.lfHeight = height;
  f->Log.lfWeight = weight;
  f->Log.lfCharSet = ANSI_CHARSET;
  f->Log.lfPitchAndFamily = static_cast<BYTE>(pitch);
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) f->Log.lfFaceName[i] = face[i];
  return AddStock(std::move(f));
}

const TStock& Stock() {
  static const TStock stock = [] {
    TStock s;
    s.Objects[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
    s.Objects[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
    s.Objects[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
    s.Objects[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
    s.Objects[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
    s.Objects[NULL_BRUSH] = StockBrush(BS_NULL, 0);
    s.Objects[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
    s.Objects[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
    s.Objects[NULL_PEN] = StockPen(PS_NULL, 0);
    s.Objects[OEM_FIXED_FONT] = StockFont(u"Terminal", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    s.Objects[ANSI_FIXED_FONT] = StockFont(u"Courier", 12, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    s.Objects[ANSI_VAR_FONT] = StockFont(u"MS Sans Serif", 12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    s.Objects[SYSTEM_FONT] = StockFont(u"System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
    s.Objects[DEVICE_DEFAULT_FONT] = StockFont(u"System", 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS);
    s.Objects[SYSTEM_FIXED_FONT] = StockFont(u"Fixedsys", 15, FW_NORMAL, FIXED_PITCH | FF_MODERN);
    s.Objects[DEFAULT_GUI_FONT] = StockFont(u"MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    auto pal = std::make_unique<TGdiPalette>();
    const auto& def = DefaultPalette(8);
    for (size_t i = 0; i < def.size(); ++i)
      if (i < 10 || i >= def.size() - 10)
        pal->Entries.push_back(PALETTEENTRY{BYTE(def[i] >> 16), BYTE(def[i] >> 8), BYTE(def[i]), 0});
    s.Objects[DEFAULT_PALETTE] = AddStock(std::move(pal));
    s.Objects[DC_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255), true);
    s.Objects[DC_PEN] = StockPen(PS_SOLID, 0, true);
    auto bmp = std::make_unique<TGdiBitmap>();
    bmp->Width = bmp->Height = 1;
    bmp->Format = TPixelFormat::Mono();
    bmp->Stride = 2;
    bmp->Storage = GdiAllocBits(2);
    bmp->Bits = bmp->Storage.get();
    s.DefaultBitmap = static_cast<HBITMAP>(AddStock(std::move(bmp)));
    return s;
  }();
  return stock;
}

std::shared_ptr<const TPatternImage> PatternFromBitmap(TGdiBitmap* b) {
  auto img = std::make_shared<TPatternImage>();
  img->Width = b->Width;
  img->Height = b->Height;
  img->Mono = b->Format.Bits == 1;
  img->Pixels.resize(size_t(b->Width) * b->Height);
  for (int y = 0; y < b->Height; ++y) {
    uint32_t* out = img->Pixels.data() + size_t(y) * b->Width;
    if (img->Mono) {
      const uint8_t* row = b->Row(y);
      for (int x = 0; x < b->Width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    } else {
      DecodeRow(b->Format, b->Row(y), 0, b->Width, out);
      // A 32-bit pattern keeps its fourth byte: it is drawn as it is.
      if (b->Format.Bits != 32)
        for (int x = 0; x < b->Width; ++x) out[x] &= 0xFFFFFF;
    }
  }
  return img;
}

std::shared_ptr<const TPatternImage> PatternFromPackedDib(const void* packed, UINT usage) {
  const auto* info = static_cast<const BITMAPINFO*>(packed);
  TPixelFormat f;
  if (!TPixelFormat::FromInfo(info, usage, f)) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  TDibExtent dib;
  if (!DibExtentOf(f, h.biWidth, h.biHeight, dib)) return nullptr;
  const int w = dib.Width, hh = dib.Height;
  size_t colors = 0;
  if (f.Bits <= 8)
    colors = size_t(h.biClrUsed ? h.biClrUsed : 1u << f.Bits) * (usage == DIB_PAL_COLORS ? 2 : 4);
  else if (h.biCompression == BI_BITFIELDS && h.biSize == 40)
    colors = 12;
  const uint8_t* bits = static_cast<const uint8_t*>(packed) + h.biSize + colors;
  auto img = std::make_shared<TPatternImage>();
  if (usage == DIB_PAL_COLORS && f.Bits <= 8) {
    // Each pixel decodes to its palette index, resolved when drawn.
    const uint8_t* table = static_cast<const uint8_t*>(packed) + h.biSize;
    const size_t n = colors / 2;
    for (size_t i = 0; i < f.Palette.size(); ++i) {
      WORD idx = 0;
      if (i < n) std::memcpy(&idx, table + 2 * i, 2);
      f.Palette[i] = idx;
    }
    img->PaletteIndexes = true;
  }
  img->Width = w;
  img->Height = hh;
  img->Pixels.resize(size_t(w) * hh);
  for (int y = 0; y < hh; ++y) {
    int src = dib.TopDown ? y : hh - 1 - y;
    DecodeRow(f, bits + size_t(src) * dib.Stride, 0, w, img->Pixels.data() + size_t(y) * w);
    if (f.Bits != 32)
      for (int x = 0; x < w; ++x) img->Pixels[size_t(y) * w + x] &= 0xFFFFFF;
  }
  return img;
}

template <class T>
HGDIOBJ Add(std::unique_ptr<T> obj) {
  return GdiAdd(std::unique_ptr<TGdiObject>(obj.release()));
}

}  // namespace

HGDIOBJ GdiAdd(std::unique_ptr<TGdiObject> obj) {
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(Table().Add(std::move(obj)));
  if (!h) SetLastError(8);  // every slot taken
  return h;
}

TGdiRef<TGdiDC> GdiDC(HDC h) {
  auto dc = GdiGetAs<TGdiDC>(h, OBJ_DC);
  if (!dc) SetLastError(6);
  return dc;
}

TGdiRef<TGdiObject> GdiGet(const void* handle) {
  return TGdiRef<TGdiObject>(Table().Get(reinterpret_cast<uintptr_t>(handle)));
}

std::shared_ptr<TGdiObject> GdiRemove(const void* handle) {
  return Table().Remove(reinterpret_cast<uintptr_t>(handle));
}

HBITMAP GdiDefaultBitmap() { return Stock().DefaultBitmap; }

std::mutex& GdiSelectionMutex() {
  static std::mutex m;
  return m;
}

bool GdiMoveSelection(HGDIOBJ old, HGDIOBJ obj) {
  if (old == obj) return true;
  auto n = GdiGet(obj);
  if (obj && !n) return false;
  if (auto o = GdiGet(old)) --o->Selected;
  if (n) ++n->Selected;
  return true;
}

namespace {

// Large pixel blocks (a double-buffered window's back buffer, made and
// dropped with every paint) are kept for the next bitmap of the same size:
// fresh memory from the system costs a page fault per page. The block's
// size is stored in front of its pixels.
constexpr size_t kBitsAlign = 64;
constexpr size_t kKeptLeast = 256 * 1024;
constexpr size_t kKeptMost = 64 * 1024 * 1024;
constexpr size_t kKeptBlocks = 4;

struct TKeptBits {
  std::mutex Lock;
  void* Blocks[kKeptBlocks] = {};
  size_t Sizes[kKeptBlocks] = {};
};

TKeptBits& KeptBits() {
  // Never destroyed: bitmaps freed during shut-down still find it.
  static TKeptBits* K = new TKeptBits;
  return *K;
}

// Sanitized builds keep nothing, so that a use after free is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepBits = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeepBits = false;
#else
constexpr bool kKeepBits = true;
#endif
#else
constexpr bool kKeepBits = true;
#endif

void* TakeKeptBits(size_t rounded) {
  if (!kKeepBits || rounded < kKeptLeast || rounded > kKeptMost) return nullptr;
  TKeptBits& K = KeptBits();
  std::lock_guard<std::mutex> guard(K.Lock);
  for (size_t i = 0; i < kKeptBlocks; ++i)
    if (K.Blocks[i] && K.Sizes[i] == rounded) {
      void* block = K.Blocks[i];
      K.Blocks[i] = nullptr;
      return block;
    }
  return nullptr;
}

void FreeBits(void* bits) {
  if (!bits) return;
  void* block = static_cast<uint8_t*>(bits) - kBitsAlign;
  size_t rounded;
  std::memcpy(&rounded, block, sizeof rounded);
  if (kKeepBits && rounded >= kKeptLeast && rounded <= kKeptMost) {
    TKeptBits& K = KeptBits();
    std::lock_guard<std::mutex> guard(K.Lock);
    // An empty slot, else the oldest kept block gives way.
    size_t slot = 0;
    while (slot < kKeptBlocks && K.Blocks[slot]) ++slot;
    if (slot == kKeptBlocks) {
      std::free(K.Blocks[0]);
      for (size_t i = 1; i < kKeptBlocks; ++i) {
        K.Blocks[i - 1] = K.Blocks[i];
        K.Sizes[i - 1] = K.Sizes[i];
      }
      slot = kKeptBlocks - 1;
    }
    K.Blocks[slot] = block;
    K.Sizes[slot] = rounded;
    return;
  }
  std::free(block);
}

}  // namespace

std::unique_ptr<uint8_t, void (*)(void*)> GdiAllocBits(size_t bytes) {
  size_t rounded = (bytes + kBitsAlign - 1) / kBitsAlign * kBitsAlign;
  if (rounded == 0) rounded = kBitsAlign;
  void* block = TakeKeptBits(rounded);
  if (!block) {
    block = rounded > SIZE_MAX - kBitsAlign ? nullptr : std::aligned_alloc(kBitsAlign, rounded + kBitsAlign);
    if (!block) return std::unique_ptr<uint8_t, void (*)(void*)>(nullptr, &FreeBits);
    std::memcpy(block, &rounded, sizeof rounded);
  }
  uint8_t* bits = static_cast<uint8_t*>(block) + kBitsAlign;
  std::memset(bits, 0, rounded);
  return std::unique_ptr<uint8_t, void (*)(void*)>(bits, &FreeBits);
}

void GdiSetDefaultState(TGdiDC* dc) {
  const TStock& s = Stock();
  {
    std::lock_guard<std::mutex> guard(GdiSelectionMutex());
    auto swap = [](auto& slot, HGDIOBJ h) {
      GdiMoveSelection(slot, h);
      slot = static_cast<std::remove_reference_t<decltype(slot)>>(h);
    };
    swap(dc->S.Pen, s.Objects[BLACK_PEN]);
    swap(dc->S.Brush, s.Objects[WHITE_BRUSH]);
    swap(dc->S.Font, s.Objects[SYSTEM_FONT]);
    swap(dc->S.Palette, s.Objects[DEFAULT_PALETTE]);
    if (dc->Kind == dckMemory) {
      if (auto b = GdiBitmap(dc->S.Bitmap))
        if (b->SelectedIn == dc->Handle) b->SelectedIn = nullptr;
      swap(dc->S.Bitmap, s.DefaultBitmap);
    }
  }
  TDCState fresh;
  fresh.Pen = dc->S.Pen;
  fresh.Brush = dc->S.Brush;
  fresh.Font = dc->S.Font;
  fresh.Palette = dc->S.Palette;
  fresh.Bitmap = dc->S.Bitmap;
  dc->S = fresh;
  dc->Saved.clear();
  dc->PathOpen = dc->HasPath = false;
  dc->Path.clear();
  dc->Invalidate();
}

void GdiAccumulateBounds(TGdiDC* dc, const RECT& t) {
  if (!dc->BoundsOn || t.Left >= t.Right || t.Top >= t.Bottom) return;
  RECT d{t.Left - dc->DeviceOrigin.X, t.Top - dc->DeviceOrigin.Y, t.Right - dc->DeviceOrigin.X,
         t.Bottom - dc->DeviceOrigin.Y};
  RECT& b = dc->Bounds;
  if (b.Left >= b.Right || b.Top >= b.Bottom)
    b = d;
  else
    b = RECT{std::min(b.Left, d.Left), std::min(b.Top, d.Top), std::max(b.Right, d.Right), std::max(b.Bottom, d.Bottom)};
}

std::vector<uint32_t> GdiPalettePixels(const TGdiDC* dc) {
  std::vector<uint32_t> out;
  if (!dc) return out;
  if (auto pal = GdiGetAs<TGdiPalette>(dc->S.Palette, OBJ_PAL))
    for (const PALETTEENTRY& e : pal->Entries)
      out.push_back((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
  return out;
}

TGdiRef<TGdiBrush> GdiResolveBrush(HBRUSH brush) {
  uintptr_t v = reinterpret_cast<uintptr_t>(brush);
  if (v >= 1 && v <= COLOR_MENUBAR + 1) return GdiBrush(GetSysColorBrush(static_cast<int>(v - 1)));
  return GdiBrush(brush);
}

}  // namespace rtl::detail

using namespace rtl::detail;

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  return Stock().Objects[index];
}

// ---- Pens ---------------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style == PS_NULL) return static_cast<HPEN>(GetStockObject(NULL_PEN));
  // Styles past the last one draw solid.
  if (style < PS_SOLID || style > PS_INSIDEFRAME) style = PS_SOLID;
  auto p = std::make_unique<TGdiPen>();
  p->Style = static_cast<DWORD>(style);
  p->Width = width < 0 ? -width : width;
  p->Color = color;
  return static_cast<HPEN>(Add(std::move(p)));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) return nullptr;
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.X, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles) {
  if (!brush) return nullptr;
  DWORD kind = style & PS_STYLE_MASK;
  bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  // A cosmetic pen is one pixel wide and solid-brushed; a null one needs
  // only the width, and an inside frame is for geometric pens only.
  const bool cosmeticOk = width == 1 && (brush->lbStyle == BS_SOLID || kind == PS_NULL) && kind != PS_INSIDEFRAME;
  if (kind > PS_ALTERNATE || (!geometric && !cosmeticOk) ||
      (kind == PS_ALTERNATE && geometric) || (kind == PS_USERSTYLE && (styleCount == 0 || styleCount > 16 || !styles)) ||
      (kind != PS_USERSTYLE && styleCount != 0)) {
    SetLastError(87);
    return nullptr;
  }
  auto p = std::make_unique<TGdiPen>();
  p->Type = OBJ_EXTPEN;
  p->Style = style;
  p->Width = static_cast<int>(width);
  p->Color = brush->lbColor;
  p->BrushStyle = brush->lbStyle;
  p->Hatch = brush->lbHatch;
  if (kind == PS_USERSTYLE) p->UserStyle.assign(styles, styles + styleCount);
  if (geometric && brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL) {
    // The stroke is painted with a brush of its own, made as the brush
    // functions make it: the pattern is copied now, so the caller may
    // free its bitmap or DIB afterwards.
    HBRUSH h = CreateBrushIndirect(brush);
    std::shared_ptr<TGdiBrush> copy;
    if (auto made = GdiBrush(h)) {
      copy = std::make_shared<TGdiBrush>();
      copy->Style = made->Style;
      copy->Color = made->Color;
      copy->Hatch = made->Hatch;
      copy->Pattern = made->Pattern;
      copy->PatternHandle = made->PatternHandle;
    }
    if (h) DeleteObject(h);
    if (!copy) {
      SetLastError(87);
      return nullptr;
    }
    p->Brush = std::move(copy);
  }
  return static_cast<HPEN>(Add(std::move(p)));
}

// ---- Brushes ------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_unique<TGdiBrush>();
  b->Color = color;
  return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > 11) return nullptr;
  // The styles after the six patterns make a plain brush of the colour.
  if (hatch > HS_DIAGCROSS) return CreateSolidBrush(color);
  auto b = std::make_unique<TGdiBrush>();
  b->Style = BS_HATCHED;
  b->Color = color;
  b->Hatch = hatch;
  return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  auto bmp = GdiBitmap(bitmap);
  if (!bmp) return nullptr;
  auto b = std::make_unique<TGdiBrush>();
  b->Style = BS_PATTERN;
  b->Pattern = PatternFromBitmap(bmp);
  b->PatternHandle = reinterpret_cast<ULONG_PTR>(bitmap);
  return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage) {
  if (!packedDib || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) {
    SetLastError(87);
    return nullptr;
  }
  auto pattern = PatternFromPackedDib(packedDib, usage);
  if (!pattern) return nullptr;
  auto b = std::make_unique<TGdiBrush>();
  b->Style = BS_DIBPATTERNPT;
  b->Color = usage;
  b->Pattern = std::move(pattern);
  b->PatternHandle = reinterpret_cast<ULONG_PTR>(packedDib);
  return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return nullptr;
  switch (lb->lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(lb->lbColor);
    case BS_NULL:
      return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED:
      return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8:
      return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
    case BS_DIBPATTERN8X8:
      return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(lb->lbHatch), lb->lbColor);
    default:
      return nullptr;
  }
}

// ---- Palettes -----------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300) return nullptr;
  auto p = std::make_unique<TGdiPalette>();
  p->Entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return static_cast<HPALETTE>(Add(std::move(p)));
}

HPALETTE CreateHalftonePalette(HDC) {
  auto p = std::make_unique<TGdiPalette>();
  for (uint32_t c : DefaultPalette(8)) p->Entries.push_back(PALETTEENTRY{BYTE(c >> 16), BYTE(c >> 8), BYTE(c), 0});
  return static_cast<HPALETTE>(Add(std::move(p)));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  auto dc = GdiDC(hdc);
  if (!dc || !GdiGetAs<TGdiPalette>(palette, OBJ_PAL)) return nullptr;
  HPALETTE old = dc->S.Palette;
  if (!GdiSwapSelection(dc->S.Palette, palette)) return nullptr;
  dc->Invalidate();
  return old;
}

UINT RealizePalette(HDC hdc) { return GdiDC(hdc) ? 0 : GDI_ERROR; }

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  auto p = GdiGetAs<TGdiPalette>(palette, OBJ_PAL);
  if (!p) return 0;
  UINT n = static_cast<UINT>(p->Entries.size());
  if (!entries) return n;
  if (start >= n) return 0;
  if (count > n - start) count = n - start;
  std::memcpy(entries, p->Entries.data() + start, count * sizeof(PALETTEENTRY));
  return count;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
  auto p = GdiGetAs<TGdiPalette>(palette, OBJ_PAL);
  if (!p || !entries || p->Stock) return 0;
  UINT n = static_cast<UINT>(p->Entries.size());
  if (start >= n) return 0;
  if (count > n - start) count = n - start;
  std::memcpy(p->Entries.data() + start, entries, count * sizeof(PALETTEENTRY));
  return count;
}

UINT GetSystemPaletteEntries(HDC, UINT, UINT, PALETTEENTRY*) { return 0; }

// ---- Generic object functions -------------------------------------------

DWORD GetGuiResources(HANDLE, DWORD uiFlags) {
  if (uiFlags != GR_GDIOBJECTS) return 0;
  DWORD count = 0;
  Table().ForEach([&](uintptr_t, const std::shared_ptr<TGdiObject>& o) { count += o->Stock ? 0 : 1; });
  return count;
}

DWORD GetObjectType(HGDIOBJ obj) {
  auto o = GdiGet(obj);
  if (!o) {
    SetLastError(6);
    return 0;
  }
  return o->Type;
}

namespace {

// The previous object, or null when obj was deleted before it could be
// selected.
template <class Slot>
HGDIOBJ Swap(Slot& slot, HGDIOBJ obj) {
  HGDIOBJ old = slot;
  if (!GdiSwapSelection(slot, obj)) {
    SetLastError(6);
    return nullptr;
  }
  return old;
}

}  // namespace

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  auto dc = GdiDC(hdc);
  auto o = GdiGet(obj);
  if (!dc || !o) {
    SetLastError(6);
    return nullptr;
  }
  switch (o->Type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return Swap(dc->S.Pen, obj);
    case OBJ_BRUSH:
      return Swap(dc->S.Brush, obj);
    case OBJ_FONT:
      return Swap(dc->S.Font, obj);
    case OBJ_BITMAP: {
      if (dc->Kind != dckMemory) return nullptr;
      auto* b = static_cast<TGdiBitmap*>(o.get());
      HGDIOBJ old = dc->S.Bitmap;
      {
        std::lock_guard<std::mutex> guard(GdiSelectionMutex());
        if (!b->Stock && b->SelectedIn && b->SelectedIn != hdc) return nullptr;
        if (old == obj) return old;
        if (!GdiMoveSelection(old, obj)) {
          SetLastError(6);
          return nullptr;
        }
        if (auto ob = GdiBitmap(static_cast<HBITMAP>(old)))
          if (ob->SelectedIn == hdc) ob->SelectedIn = nullptr;
        dc->S.Bitmap = static_cast<HBITMAP>(obj);
        if (!b->Stock) b->SelectedIn = hdc;
      }
      dc->Invalidate();
      return old;
    }
    case OBJ_REGION: {
      int r = SelectClipRgn(hdc, static_cast<HRGN>(obj));
      return r == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(r));
    }
    default:
      return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  auto dc = GdiDC(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return dc->S.Pen;
    case OBJ_BRUSH:
      return dc->S.Brush;
    case OBJ_FONT:
      return dc->S.Font;
    case OBJ_PAL:
      return dc->S.Palette;
    case OBJ_BITMAP:
      return dc->Kind == dckMemory ? static_cast<HGDIOBJ>(dc->S.Bitmap) : static_cast<HGDIOBJ>(dc->Surface);
    default:
      return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ obj) {
  auto o = GdiGet(obj);
  if (!o) {
    SetLastError(6);
    return FALSE;
  }
  if (o->Type == OBJ_DC || o->Type == OBJ_MEMDC || o->Type == OBJ_ENHMETADC || o->Type == OBJ_ENHMETAFILE)
    return FALSE;
  if (o->Stock) return TRUE;
  std::shared_ptr<TGdiObject> removed;  // freed after the lock is let go
  {
    // The check and the removal are one step against SelectObject: a
    // selected object stays alive, since the DC still draws with it.
    std::lock_guard<std::mutex> guard(GdiSelectionMutex());
    if (o->Selected > 0) return FALSE;
    if (o->Type == OBJ_BITMAP && static_cast<TGdiBitmap*>(o.get())->SelectedIn) return FALSE;
    removed = GdiRemove(obj);
  }
  return removed ? TRUE : FALSE;
}

BOOL UnrealizeObject(HGDIOBJ obj) { return GdiGet(obj) ? TRUE : FALSE; }

namespace {

int CopyOut(const void* src, int srcSize, int size, void* buffer) {
  if (!buffer) return srcSize;
  int n = size < srcSize ? size : srcSize;
  if (n <= 0) return 0;
  std::memcpy(buffer, src, static_cast<size_t>(n));
  return n;
}

int GetPenObject(TGdiPen* p, int size, void* buffer) {
  if (p->Type == OBJ_EXTPEN) {
    int entries = static_cast<int>(p->UserStyle.size());
    // The record ends after its style entries: without any, before the
    // first.
    int need = static_cast<int>(offsetof(EXTLOGPEN, elpStyleEntry)) + entries * 4;
    if (!buffer) return need;
    if (size < need) return 0;
    auto* e = static_cast<EXTLOGPEN*>(buffer);
    e->elpPenStyle = p->Style;
    e->elpWidth = static_cast<DWORD>(p->Width);
    e->elpBrushStyle = p->BrushStyle;
    e->elpColor = p->Color;
    e->elpHatch = p->Hatch;
    e->elpNumEntries = static_cast<DWORD>(entries);
    for (int i = 0; i < entries; ++i) e->elpStyleEntry[i] = p->UserStyle[i];
    return need;
  }
  if (!buffer) return sizeof(LOGPEN);
  if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
  LOGPEN lp{p->Style, POINT(p->Width, 0), p->Color};
  std::memcpy(buffer, &lp, sizeof(lp));
  return sizeof(LOGPEN);
}

int GetBrushObject(TGdiBrush* b, int size, void* buffer) {
  if (!buffer) return sizeof(LOGBRUSH);
  // Callers that size the record for 32-bit handles still get its fields.
  if (size < static_cast<int>(offsetof(LOGBRUSH, lbHatch))) return 0;
  LOGBRUSH lb{b->Style, b->Color, 0};
  if (b->Style == BS_HATCHED)
    lb.lbHatch = static_cast<ULONG_PTR>(b->Hatch);
  else if (b->Style == BS_PATTERN || b->Style == BS_DIBPATTERNPT)
    lb.lbHatch = b->PatternHandle;
  if (b->Style == BS_PATTERN || b->Style == BS_NULL) lb.lbColor = 0;
  return CopyOut(&lb, sizeof(lb), size, buffer);
}

int GetBitmapObject(TGdiBitmap* b, int size, void* buffer) {
  BITMAP bm{};
  bm.bmType = 0;
  bm.bmWidth = b->Width;
  bm.bmHeight = b->Height;
  bm.bmWidthBytes = b->Dib ? b->Stride : b->Format.RowBytes(b->Width, 2);
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(b->Format.Bits);
  bm.bmBits = b->Dib ? b->Bits : nullptr;
  if (b->Dib) {
    if (!buffer) return sizeof(DIBSECTION);
    if (size >= static_cast<int>(sizeof(DIBSECTION))) {
      DIBSECTION ds{};
      ds.dsBm = bm;
      ds.dsBmih = b->Header;
      // A 16-bit DIB without masks reports the 5-5-5 masks it uses.
      if (b->Format.Bits == 16 && ds.dsBmih.biCompression == BI_RGB) ds.dsBmih.biCompression = BI_BITFIELDS;
      if (b->Format.Bitfields || b->Format.Bits == 16) {
        ds.dsBitfields[0] = b->Format.Masks[0];
        ds.dsBitfields[1] = b->Format.Masks[1];
        ds.dsBitfields[2] = b->Format.Masks[2];
      }
      ds.dshSection = b->Section;
      ds.dsOffset = b->Offset;
      std::memcpy(buffer, &ds, sizeof(ds));
      return sizeof(DIBSECTION);
    }
  }
  if (!buffer) return sizeof(BITMAP);
  if (size < static_cast<int>(offsetof(BITMAP, bmBits))) return 0;
  return CopyOut(&bm, sizeof(bm), size, buffer);
}

}  // namespace

int GetObjectW(HGDIOBJ obj, int size, LPVOID buffer) {
  auto o = GdiGet(obj);
  if (!o) {
    SetLastError(6);
    return 0;
  }
  switch (o->Type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return GetPenObject(static_cast<TGdiPen*>(o.get()), size, buffer);
    case OBJ_BRUSH:
      return GetBrushObject(static_cast<TGdiBrush*>(o.get()), size, buffer);
    case OBJ_BITMAP:
      return GetBitmapObject(static_cast<TGdiBitmap*>(o.get()), size, buffer);
    case OBJ_FONT: {
      const LOGFONTW& lf = static_cast<TGdiFont*>(o.get())->Log;
      return CopyOut(&lf, sizeof(LOGFONTW), size, buffer);
    }
    case OBJ_PAL: {
      WORD n = static_cast<WORD>(static_cast<TGdiPalette*>(o.get())->Entries.size());
      return CopyOut(&n, sizeof(n), size, buffer);
    }
    default:
      return 0;
  }
}

int GetObjectA(HGDIOBJ obj, int size, LPVOID buffer) {
  auto o = GdiGet(obj);
  if (o && o->Type == OBJ_FONT) {
    const LOGFONTW& w = static_cast<TGdiFont*>(o.get())->Log;
    LOGFONTA a{};
    std::memcpy(&a, &w, offsetof(LOGFONTW, lfFaceName));
    std::u16string face;
    for (int i = 0; i < LF_FACESIZE && w.lfFaceName[i]; ++i) face.push_back(w.lfFaceName[i]);
    std::string narrow = WideToAnsi(face);
    if (narrow.size() > LF_FACESIZE - 1) narrow.resize(LF_FACESIZE - 1);
    std::memcpy(a.lfFaceName, narrow.data(), narrow.size());
    return CopyOut(&a, sizeof(LOGFONTA), size, buffer);
  }
  return GetObjectW(obj, size, buffer);
}
