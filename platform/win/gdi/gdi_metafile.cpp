// Enhanced metafiles: the recording DC, the record layout, and playback
// onto any DC. Bits handed in from outside are walked record by record and
// every field is checked against its record's size before it is read.
#include "platform/win/gdi/gdi_metafile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi_blit.h"
#include "platform/win/gdi/gdi_int_range.h"
#include "platform/win/gdi/gdi_objects.h"

namespace rtl::detail {

std::atomic<int> gEmfRecordingDCs{0};

namespace {

constexpr uint32_t kHeaderSize = 108;  // with szlMicrometers
constexpr uint32_t kMinHeaderSize = 88;
constexpr uint32_t kEofSize = 20;
// Bitmaps in records: at most this many pixels, and this many on a side,
// so that a hostile header cannot ask for an absurd allocation.
constexpr int64_t kMaxPixels = int64_t(1) << 26;
constexpr int kMaxSide = 65536;

// ---- Writing records --------------------------------------------------------

class TRecordWriter {
 public:
  explicit TRecordWriter(DWORD type) {
    U32(type);
    U32(0);
  }
  void U32(uint32_t v) { Bytes(&v, 4); }
  void I32(int32_t v) { Bytes(&v, 4); }
  void F32(float v) { Bytes(&v, 4); }
  void Rect(const RECT& r) {
    I32(r.Left);
    I32(r.Top);
    I32(r.Right);
    I32(r.Bottom);
  }
  void Point(POINT p) {
    I32(p.X);
    I32(p.Y);
  }
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    Data.insert(Data.end(), b, b + n);
  }
  void Pad() {
    while (Data.size() % 4) Data.push_back(0);
  }
  size_t Size() const { return Data.size(); }
  // Patches a 32-bit field written earlier.
  void Set(size_t offset, uint32_t v) { std::memcpy(Data.data() + offset, &v, 4); }
  std::vector<uint8_t>& Finish() {
    Pad();
    Set(4, static_cast<uint32_t>(Data.size()));
    return Data;
  }
  std::vector<uint8_t> Data;
};

void PutRegionData(TRecordWriter& w, const TRegion& r) {
  const auto& rects = r.Rects();
  w.U32(32);
  w.U32(RDH_RECTANGLES);
  w.U32(static_cast<uint32_t>(rects.size()));
  w.U32(static_cast<uint32_t>(rects.size() * 16));
  w.Rect(r.Box());
  for (const RECT& rc : rects) w.Rect(rc);
}

// A 32-bit top-down DIB header for w x h pixels.
BITMAPINFOHEADER Dib32Header(int w, int h) {
  BITMAPINFOHEADER bh{};
  bh.biSize = sizeof(BITMAPINFOHEADER);
  bh.biWidth = w;
  bh.biHeight = -h;
  bh.biPlanes = 1;
  bh.biBitCount = 32;
  bh.biCompression = BI_RGB;
  bh.biSizeImage = static_cast<DWORD>(int64_t(w) * h * 4);
  return bh;
}

// ---- The recorder -----------------------------------------------------------

struct TRecordedState {
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  int MapMode = MM_TEXT;
  int PolyFillMode = ALTERNATE;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  UINT TextAlign = 0;
  POINT WindowOrg{}, ViewportOrg{}, BrushOrg{}, CurPos{};
  SIZE WindowExt{1, 1}, ViewportExt{1, 1};
  std::optional<TRegion> Clip;
  // Handle-table index (or stock marker) selected last; 0 = none yet.
  DWORD Pen = 0, Brush = 0, Font = 0;
};

struct TEmfRecorder {
  HDC Handle = nullptr;
  std::vector<uint8_t> Records;
  DWORD RecordCount = 0;
  std::string File;
  bool HasFrame = false;
  RECT Frame{};
  std::u16string Description;
  SIZE Device{}, Millimeters{};
  bool HasBounds = false;
  RECT Bounds{};
  TRecordedState State;
  // Object definitions (a creation record without its index) and their
  // index, so that an object used again is selected, not created again.
  std::map<std::vector<uint8_t>, DWORD> Objects;
  DWORD NextIndex = 1;

  void Add(std::vector<uint8_t>& record) {
    Records.insert(Records.end(), record.begin(), record.end());
    ++RecordCount;
  }
  void AddBounds(const RECT& r) {
    if (r.Left > r.Right || r.Top > r.Bottom) return;
    if (!HasBounds) {
      Bounds = r;
      HasBounds = true;
      return;
    }
    Bounds.Left = std::min(Bounds.Left, r.Left);
    Bounds.Top = std::min(Bounds.Top, r.Top);
    Bounds.Right = std::max(Bounds.Right, r.Right);
    Bounds.Bottom = std::max(Bounds.Bottom, r.Bottom);
  }
};

std::mutex& RecordersMutex() {
  static std::mutex m;
  return m;
}
std::unordered_map<HDC, std::unique_ptr<TEmfRecorder>>& Recorders() {
  static std::unordered_map<HDC, std::unique_ptr<TEmfRecorder>> r;
  return r;
}

TEmfRecorder* RecorderOf(HDC hdc) {
  std::lock_guard<std::mutex> guard(RecordersMutex());
  auto it = Recorders().find(hdc);
  return it == Recorders().end() ? nullptr : it->second.get();
}

void Emit(TEmfRecorder& rec, TRecordWriter& w) { rec.Add(w.Finish()); }

void EmitU32(TEmfRecorder& rec, DWORD type, uint32_t v) {
  TRecordWriter w(type);
  w.U32(v);
  Emit(rec, w);
}

void EmitPoint(TEmfRecorder& rec, DWORD type, POINT p) {
  TRecordWriter w(type);
  w.Point(p);
  Emit(rec, w);
}

void EmitSize(TEmfRecorder& rec, DWORD type, SIZE s) {
  TRecordWriter w(type);
  w.I32(s.cx);
  w.I32(s.cy);
  Emit(rec, w);
}

// The stock index of a stock object, -1 for any other.
int StockIndex(HGDIOBJ h) {
  for (int i = 0; i <= DC_PEN; ++i)
    if (GetStockObject(i) == h) return i;
  return -1;
}

// The record that creates an object like `def` (type, size 0, index 0,
// then its fields): selects the existing one or creates it.
void SelectDefinition(TEmfRecorder& rec, std::vector<uint8_t> def, DWORD& slot) {
  DWORD index;
  auto it = rec.Objects.find(def);
  if (it != rec.Objects.end()) {
    index = it->second;
  } else {
    index = rec.NextIndex++;
    rec.Objects.emplace(def, index);
    std::memcpy(def.data() + 8, &index, 4);
    rec.Add(def);
  }
  if (slot == index) return;
  slot = index;
  EmitU32(rec, EMR_SELECTOBJECT, index);
}

void SelectStock(TEmfRecorder& rec, int stock, DWORD& slot) {
  const DWORD marker = ENHMETA_STOCK_OBJECT | static_cast<DWORD>(stock);
  if (slot == marker) return;
  slot = marker;
  EmitU32(rec, EMR_SELECTOBJECT, marker);
}

void SyncPen(TEmfRecorder& rec, TGdiDC* dc) {
  auto pen = GdiPen(dc->S.Pen);
  if (!pen) return;
  if (!pen->DCPen) {
    const int stock = StockIndex(dc->S.Pen);
    if (stock >= 0) return SelectStock(rec, stock, rec.State.Pen);
  }
  TRecordWriter w(EMR_CREATEPEN);
  w.U32(0);
  w.U32(pen->Style);
  w.I32(pen->Width);
  w.I32(0);
  w.U32(pen->DCPen ? dc->S.DCPenColor : pen->Color);
  SelectDefinition(rec, w.Finish(), rec.State.Pen);
}

void SyncBrush(TEmfRecorder& rec, TGdiDC* dc, HBRUSH handle) {
  auto brush = GdiResolveBrush(handle);
  if (!brush) return;
  if (!brush->DCBrush && brush->SysColor < 0) {
    const int stock = StockIndex(handle);
    if (stock >= 0) return SelectStock(rec, stock, rec.State.Brush);
  }
  const bool pattern = (brush->Style == BS_PATTERN || brush->Style == BS_DIBPATTERN ||
                        brush->Style == BS_DIBPATTERNPT) &&
                       brush->Pattern && brush->Pattern->Width > 0 && brush->Pattern->Height > 0;
  if (pattern) {
    const TPatternImage& p = *brush->Pattern;
    const bool mono = p.Mono;
    TRecordWriter w(mono ? EMR_CREATEMONOBRUSH : EMR_CREATEDIBPATTERNBRUSHPT);
    w.U32(0);
    w.U32(DIB_RGB_COLORS);
    const uint32_t bmiSize = mono ? 40 + 8 : 40;
    const uint32_t stride = mono ? ((static_cast<uint32_t>(p.Width) + 31) / 32) * 4 : static_cast<uint32_t>(p.Width) * 4;
    const uint32_t bitsSize = stride * static_cast<uint32_t>(p.Height);
    w.U32(32);
    w.U32(bmiSize);
    w.U32(32 + bmiSize);
    w.U32(bitsSize);
    BITMAPINFOHEADER bh = Dib32Header(p.Width, p.Height);
    if (mono) {
      bh.biBitCount = 1;
      bh.biSizeImage = bitsSize;
    }
    w.Bytes(&bh, sizeof bh);
    if (mono) {
      const uint32_t colors[2] = {0x000000, 0xFFFFFF};
      w.Bytes(colors, sizeof colors);
      for (int y = 0; y < p.Height; ++y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < p.Width; ++x)
          if (p.Pixels[size_t(y) * size_t(p.Width) + size_t(x)]) row[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
        w.Bytes(row.data(), row.size());
      }
    } else {
      w.Bytes(p.Pixels.data(), p.Pixels.size() * 4);
    }
    SelectDefinition(rec, w.Finish(), rec.State.Brush);
    return;
  }
  TRecordWriter w(EMR_CREATEBRUSHINDIRECT);
  w.U32(0);
  UINT style = brush->Style;
  if (style != BS_SOLID && style != BS_NULL && style != BS_HATCHED) style = BS_SOLID;
  w.U32(style);
  w.U32(brush->DCBrush ? dc->S.DCBrushColor : brush->SysColor >= 0 ? GetSysColor(brush->SysColor) : brush->Color);
  w.U32(static_cast<uint32_t>(brush->Hatch));
  SelectDefinition(rec, w.Finish(), rec.State.Brush);
}

void SyncFont(TEmfRecorder& rec, TGdiDC* dc) {
  auto font = GdiFont(dc->S.Font);
  if (!font) return;
  const int stock = StockIndex(dc->S.Font);
  if (stock >= 0) return SelectStock(rec, stock, rec.State.Font);
  TRecordWriter w(EMR_EXTCREATEFONTINDIRECTW);
  w.U32(0);
  const LOGFONTW& f = font->Log;
  w.I32(f.lfHeight);
  w.I32(f.lfWidth);
  w.I32(f.lfEscapement);
  w.I32(f.lfOrientation);
  w.I32(f.lfWeight);
  const uint8_t bytes[8] = {f.lfItalic,       f.lfUnderline,     f.lfStrikeOut, f.lfCharSet,
                            f.lfOutPrecision, f.lfClipPrecision, f.lfQuality,   f.lfPitchAndFamily};
  w.Bytes(bytes, 8);
  w.Bytes(f.lfFaceName, sizeof f.lfFaceName);
  // The rest of a LogFontPanose: full name, style, version and the
  // classification, unknown here.
  const std::vector<uint8_t> rest(320 - 92, 0);
  w.Bytes(rest.data(), rest.size());
  SelectDefinition(rec, w.Finish(), rec.State.Font);
}

// Writes the state a drawing call depends on where it changed since the
// last one. brush: the brush the call fills with (null = the DC's).
void Sync(TEmfRecorder& rec, TGdiDC* dc, HBRUSH brush = nullptr, bool text = false) {
  TRecordedState& r = rec.State;
  const TDCState& s = dc->S;
  if (r.MapMode != s.MapMode) EmitU32(rec, EMR_SETMAPMODE, static_cast<uint32_t>(r.MapMode = s.MapMode));
  if (r.WindowExt != s.WindowExt) EmitSize(rec, EMR_SETWINDOWEXTEX, r.WindowExt = s.WindowExt);
  if (r.ViewportExt != s.ViewportExt) EmitSize(rec, EMR_SETVIEWPORTEXTEX, r.ViewportExt = s.ViewportExt);
  if (r.WindowOrg != s.WindowOrg) EmitPoint(rec, EMR_SETWINDOWORGEX, r.WindowOrg = s.WindowOrg);
  if (r.ViewportOrg != s.ViewportOrg) EmitPoint(rec, EMR_SETVIEWPORTORGEX, r.ViewportOrg = s.ViewportOrg);
  if (r.BrushOrg != s.BrushOrg) EmitPoint(rec, EMR_SETBRUSHORGEX, r.BrushOrg = s.BrushOrg);
  if (r.Clip != s.Clip) {
    r.Clip = s.Clip;
    TRecordWriter w(EMR_EXTSELECTCLIPRGN);
    const size_t sizeAt = w.Size();
    w.U32(0);
    w.U32(RGN_COPY);
    if (s.Clip) {
      PutRegionData(w, *s.Clip);
      w.Set(sizeAt, static_cast<uint32_t>(w.Size() - sizeAt - 8));
    }
    Emit(rec, w);
  }
  if (r.TextColor != s.TextColor) EmitU32(rec, EMR_SETTEXTCOLOR, r.TextColor = s.TextColor);
  if (r.BkColor != s.BkColor) EmitU32(rec, EMR_SETBKCOLOR, r.BkColor = s.BkColor);
  if (r.BkMode != s.BkMode) EmitU32(rec, EMR_SETBKMODE, static_cast<uint32_t>(r.BkMode = s.BkMode));
  if (r.Rop2 != s.Rop2) EmitU32(rec, EMR_SETROP2, static_cast<uint32_t>(r.Rop2 = s.Rop2));
  if (r.PolyFillMode != s.PolyFillMode)
    EmitU32(rec, EMR_SETPOLYFILLMODE, static_cast<uint32_t>(r.PolyFillMode = s.PolyFillMode));
  if (r.StretchMode != s.StretchMode)
    EmitU32(rec, EMR_SETSTRETCHBLTMODE, static_cast<uint32_t>(r.StretchMode = s.StretchMode));
  if (text) {
    // The reference point is resolved at recording.
    const UINT align = s.TextAlign & ~UINT(TA_UPDATECP);
    if (r.TextAlign != align) EmitU32(rec, EMR_SETTEXTALIGN, r.TextAlign = align);
    SyncFont(rec, dc);
  }
  SyncPen(rec, dc);
  SyncBrush(rec, dc, brush ? brush : s.Brush);
}

// Bounds are of what can be drawn: within the DC's clip.
RECT Clipped(TGdiDC* dc, RECT r) {
  if (!dc->S.Clip) return r;
  const RECT& c = dc->S.Clip->Box();
  return RECT{std::max(r.Left, c.Left), std::max(r.Top, c.Top), std::min(r.Right, c.Right - 1),
              std::min(r.Bottom, c.Bottom - 1)};
}

// Logical rectangle to inclusive device bounds.
RECT DeviceBounds(TGdiDC* dc, RECT r, int grow = 0) {
  const TXform m = dc->LogicalToDevice();
  double xs[4], ys[4];
  const POINT corners[4] = {{r.Left, r.Top}, {r.Right, r.Top}, {r.Left, r.Bottom}, {r.Right, r.Bottom}};
  for (int i = 0; i < 4; ++i) {
    xs[i] = corners[i].X * m.M11 + corners[i].Y * m.M21 + m.Dx;
    ys[i] = corners[i].X * m.M12 + corners[i].Y * m.M22 + m.Dy;
  }
  RECT out{static_cast<int>(std::floor(*std::min_element(xs, xs + 4))) - grow,
           static_cast<int>(std::floor(*std::min_element(ys, ys + 4))) - grow,
           static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))) - 1 + grow,
           static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))) - 1 + grow};
  return Clipped(dc, out);
}

RECT PointsBox(const POINT* p, DWORD n) {
  RECT r{p[0].X, p[0].Y, p[0].X, p[0].Y};
  for (DWORD i = 1; i < n; ++i) {
    r.Left = std::min(r.Left, p[i].X);
    r.Top = std::min(r.Top, p[i].Y);
    r.Right = std::max(r.Right, p[i].X);
    r.Bottom = std::max(r.Bottom, p[i].Y);
  }
  return r;
}

int PenGrow(TGdiDC* dc) {
  auto pen = GdiPen(dc->S.Pen);
  return pen ? std::max(1, pen->Width / 2 + 1) : 1;
}

// The rectangle at (x, y) of size w x h, its far corner held inside the
// range of int.
RECT SizedRect(int x, int y, int w, int h) {
  return RECT{x, y, ClampInt(int64_t(x) + w), ClampInt(int64_t(y) + h)};
}

RECT Normalized(const RECT& r) {
  return RECT{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
              std::max(r.Top, r.Bottom)};
}

struct TRecording {
  TGdiRef<TGdiDC> DC;
  TEmfRecorder* Rec = nullptr;
  explicit TRecording(HDC hdc) : DC(GdiDC(hdc)), Rec(DC ? RecorderOf(hdc) : nullptr) {}
  explicit operator bool() const { return DC && Rec; }
};

// A bitmap record's source part: BITMAPINFOHEADER and 32-bit pixels.
void PutDib32(TRecordWriter& w, size_t offBmiAt, const std::vector<uint32_t>& pixels, int width, int height) {
  const size_t bmiOffset = w.Size();
  const BITMAPINFOHEADER bh = Dib32Header(width, height);
  w.Bytes(&bh, sizeof bh);
  const size_t bitsOffset = w.Size();
  w.Bytes(pixels.data(), pixels.size() * 4);
  w.Set(offBmiAt, static_cast<uint32_t>(bmiOffset));
  w.Set(offBmiAt + 4, sizeof bh);
  w.Set(offBmiAt + 8, static_cast<uint32_t>(bitsOffset));
  w.Set(offBmiAt + 12, static_cast<uint32_t>(pixels.size() * 4));
}

// Draws through a temporary 32-bit DIB and takes its pixels; false when
// they cannot be held, or are more than playback reads back.
template <class F>
bool CapturePixels(TGdiDC* colours, int width, int height, std::vector<uint32_t>& pixels, F draw) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || int64_t(width) * height > kMaxPixels)
    return false;
  uint32_t* bits = nullptr;
  HBITMAP bmp = GdiCreateDib32(width, height, &bits);
  if (!bmp || !bits) {
    if (bmp) DeleteObject(bmp);
    return false;
  }
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bmp);
  // A monochrome source takes the recording DC's colours, as it would on
  // the DC itself.
  SetTextColor(mem, colours->S.TextColor);
  SetBkColor(mem, colours->S.BkColor);
  draw(mem);
  bool held = true;
  try {
    pixels.assign(bits, bits + size_t(width) * size_t(height));
  } catch (const std::bad_alloc&) {
    held = false;
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  return held;
}

bool RecordedRopUsesSource(DWORD rop) { return (((rop >> 18) ^ (rop >> 16)) & 0x33) != 0; }

}  // namespace

bool EmfIsRecordingDC(HDC hdc) {
  auto o = GdiGet(hdc);
  return o && o->Type == OBJ_ENHMETADC;
}

BOOL EmfRecordPatBlt(HDC hdc, const RECT& rect, HBRUSH brush, DWORD rop) {
  TRecording r(hdc);
  if (!r) return FALSE;
  const RECT n = Normalized(rect);
  if (n.Left == n.Right || n.Top == n.Bottom) return TRUE;
  Sync(*r.Rec, r.DC, brush);
  TRecordWriter w(EMR_BITBLT);
  const RECT bounds = DeviceBounds(r.DC, n);
  w.Rect(bounds);
  w.I32(n.Left);
  w.I32(n.Top);
  w.I32(n.Right - n.Left);
  w.I32(n.Bottom - n.Top);
  w.U32(rop);
  w.I32(0);
  w.I32(0);
  const float identity[6] = {1, 0, 0, 1, 0, 0};
  w.Bytes(identity, sizeof identity);
  w.U32(0);  // BkColorSrc
  w.U32(DIB_RGB_COLORS);
  for (int i = 0; i < 4; ++i) w.U32(0);  // no source bitmap
  Emit(*r.Rec, w);
  r.Rec->AddBounds(bounds);
  return TRUE;
}

BOOL EmfRecordFrameRect(HDC hdc, const RECT& rc, HBRUSH brush) {
  if (rc.Left >= rc.Right || rc.Top >= rc.Bottom) return TRUE;
  const RECT sides[4] = {{rc.Left, rc.Top, rc.Right, rc.Top + 1},
                         {rc.Left, rc.Bottom - 1, rc.Right, rc.Bottom},
                         {rc.Left, rc.Top + 1, rc.Left + 1, rc.Bottom - 1},
                         {rc.Right - 1, rc.Top + 1, rc.Right, rc.Bottom - 1}};
  for (const RECT& s : sides)
    if (s.Left < s.Right && s.Top < s.Bottom && !EmfRecordPatBlt(hdc, s, brush, PATCOPY)) return FALSE;
  return TRUE;
}

BOOL EmfRecordShape(HDC hdc, DWORD type, const RECT& box, SIZE corner) {
  TRecording r(hdc);
  if (!r) return FALSE;
  Sync(*r.Rec, r.DC);
  TRecordWriter w(type);
  w.Rect(box);
  if (type == EMR_ROUNDRECT) {
    w.I32(corner.cx);
    w.I32(corner.cy);
  }
  Emit(*r.Rec, w);
  r.Rec->AddBounds(DeviceBounds(r.DC, Normalized(box), PenGrow(r.DC) - 1));
  return TRUE;
}

BOOL EmfRecordLineTo(HDC hdc, int x, int y) {
  TRecording r(hdc);
  if (!r) return FALSE;
  Sync(*r.Rec, r.DC);
  const POINT from = r.DC->S.CurPos;
  if (r.Rec->State.CurPos != from) EmitPoint(*r.Rec, EMR_MOVETOEX, from);
  EmitPoint(*r.Rec, EMR_LINETO, POINT(x, y));
  r.Rec->State.CurPos = r.DC->S.CurPos = POINT(x, y);
  const POINT pts[2] = {from, POINT(x, y)};
  RECT box = PointsBox(pts, 2);
  r.Rec->AddBounds(DeviceBounds(r.DC, RECT{box.Left, box.Top, box.Right + 1, box.Bottom + 1}, PenGrow(r.DC) - 1));
  return TRUE;
}

BOOL EmfRecordPoly(HDC hdc, DWORD type, const POINT* points, DWORD count) {
  TRecording r(hdc);
  if (!r || !points || count == 0) return FALSE;
  Sync(*r.Rec, r.DC);
  const RECT box = PointsBox(points, count);
  const RECT bounds = DeviceBounds(r.DC, RECT{box.Left, box.Top, box.Right + 1, box.Bottom + 1}, PenGrow(r.DC) - 1);
  TRecordWriter w(type);
  w.Rect(bounds);
  w.U32(count);
  for (DWORD i = 0; i < count; ++i) w.Point(points[i]);
  Emit(*r.Rec, w);
  r.Rec->AddBounds(bounds);
  return TRUE;
}

BOOL EmfRecordPolyPoly(HDC hdc, DWORD type, const POINT* points, const DWORD* counts, DWORD polys) {
  TRecording r(hdc);
  if (!r || !points || !counts || polys == 0) return FALSE;
  uint64_t total = 0;
  for (DWORD i = 0; i < polys; ++i) total += counts[i];
  if (total == 0 || total > (1u << 26)) return FALSE;
  Sync(*r.Rec, r.DC);
  const RECT box = PointsBox(points, static_cast<DWORD>(total));
  const RECT bounds = DeviceBounds(r.DC, RECT{box.Left, box.Top, box.Right + 1, box.Bottom + 1}, PenGrow(r.DC) - 1);
  TRecordWriter w(type);
  w.Rect(bounds);
  w.U32(polys);
  w.U32(static_cast<uint32_t>(total));
  for (DWORD i = 0; i < polys; ++i) w.U32(counts[i]);
  for (uint64_t i = 0; i < total; ++i) w.Point(points[i]);
  Emit(*r.Rec, w);
  r.Rec->AddBounds(bounds);
  return TRUE;
}

namespace {

int Extent(int from, int to) { return ClampInt(int64_t(to) - from); }
bool FitsInt(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// One axis of a blit's source in the source's pixels, as the blit engine
// reads it: Start and Span as given (a negative span mirrors, covering
// Start + Span + 1 through Start), and [First, Last), the part of that
// over the source's pixels [lo, hi): the only part ever drawn.
struct TSourceAxis {
  int64_t Start, Span, First, Last;
  TSourceAxis(int64_t start, int64_t span, int64_t lo, int64_t hi) : Start(start), Span(span) {
    const int64_t from = span < 0 ? start + span + 1 : start;
    First = std::max(from, lo);
    Last = std::min(from + (span < 0 ? -span : span), hi);
  }
  bool Empty() const { return First >= Last; }
  int Size() const { return static_cast<int>(Last - First); }
};

// The pixels captured from a blit's source, and the source rectangle on
// them (X, Y top-down, W and H signed as the call's). The rectangle may
// reach past them as the call's reached past its source: only the part
// over pixels is drawn, either way.
struct TCapture {
  std::vector<uint32_t> Pixels;
  int Width = 0, Height = 0;
  int X = 0, Y = 0, W = 0, H = 0;
};

// Places a blit whose source was captured over (ax, ay): an unstretched
// blit onto a DC that only moves its coordinates is cut with its source,
// its destination moved by as much. Any other keeps its destination and
// the whole source rectangle, set on the captured pixels, so that
// playback maps each destination pixel onto the same source pixel as the
// call did. False when the rectangle cannot be written.
bool Place(TGdiDC* dc, const RECT& target, int& x, int& y, int& w, int& h, const TSourceAxis& ax,
           const TSourceAxis& ay, TCapture& c) {
  c.Width = ax.Size();
  c.Height = ay.Size();
  const bool plain = dc->Simple() && !dc->Mirrored() && w > 0 && h > 0 && ax.Span == w && ay.Span == h &&
                     Extent(target.Left, target.Right) == w && Extent(target.Top, target.Bottom) == h;
  if (plain) {
    const int64_t cx = int64_t(x) + (ax.First - ax.Start), cy = int64_t(y) + (ay.First - ay.Start);
    if (FitsInt(cx + c.Width) && FitsInt(cy + c.Height)) {
      x = static_cast<int>(cx);
      y = static_cast<int>(cy);
      w = c.W = c.Width;
      h = c.H = c.Height;
      return true;
    }
  }
  const int64_t sx = ax.Start - ax.First, sy = ay.Start - ay.First;
  if (!FitsInt(sx) || !FitsInt(sy)) return false;
  c.X = static_cast<int>(sx);
  c.Y = static_cast<int>(sy);
  c.W = static_cast<int>(ax.Span);
  c.H = static_cast<int>(ay.Span);
  return true;
}

// EMR_BITBLT / EMR_STRETCHBLT of a captured source, or of none.
BOOL RecordBlt(TRecording& r, int x, int y, int w, int h, const TCapture* capture, DWORD rop) {
  Sync(*r.Rec, r.DC);
  const bool stretch = capture && (capture->W != w || capture->H != h);
  TRecordWriter out(stretch ? EMR_STRETCHBLT : EMR_BITBLT);
  const RECT bounds = DeviceBounds(r.DC, Normalized(SizedRect(x, y, w, h)));
  out.Rect(bounds);
  out.I32(x);
  out.I32(y);
  out.I32(w);
  out.I32(h);
  out.U32(rop);
  out.I32(capture ? capture->X : 0);
  out.I32(capture ? capture->Y : 0);
  const float identity[6] = {1, 0, 0, 1, 0, 0};
  out.Bytes(identity, sizeof identity);
  out.U32(r.DC->S.BkColor);
  out.U32(DIB_RGB_COLORS);
  const size_t offAt = out.Size();
  for (int i = 0; i < 4; ++i) out.U32(0);
  if (stretch) {
    out.I32(capture->W);
    out.I32(capture->H);
  }
  if (capture) PutDib32(out, offAt, capture->Pixels, capture->Width, capture->Height);
  Emit(*r.Rec, out);
  r.Rec->AddBounds(bounds);
  return TRUE;
}

BOOL RecordBltOf(TRecording& r, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, DWORD rop) {
  if (!RecordedRopUsesSource(rop)) return RecordBlt(r, x, y, w, h, nullptr, rop);
  auto sdc = GdiDC(src);
  if (!sdc) return FALSE;
  // What the call itself does: draws nothing from a DC without pixels or
  // onto no destination, and fails without a source rectangle.
  TBlitSource source;
  if (!source.FromDC(sdc)) return TRUE;
  const RECT t = DestRectOf(r.DC, x, y, w, h);
  if (Extent(t.Left, t.Right) == 0 || Extent(t.Top, t.Bottom) == 0) return TRUE;
  const RECT s = TargetRectOf(sdc, xs, ys, ws, hs);
  const TSourceAxis ax(s.Left, Extent(s.Left, s.Right), 0, source.Width);
  const TSourceAxis ay(s.Top, Extent(s.Top, s.Bottom), source.RowFirst, source.RowLast);
  if (ax.Span == 0 || ay.Span == 0) return FALSE;
  // Nothing is drawn where the source rectangle has no pixels, however
  // far it reaches, so only its part over them is captured.
  if (ax.Empty() || ay.Empty()) return TRUE;
  TCapture c;
  const int cw = ax.Size(), ch = ay.Size();
  if (!CapturePixels(r.DC, cw, ch, c.Pixels, [&](HDC mem) {
        TBlitParams p;
        p.DW = p.SW = cw;
        p.DH = p.SH = ch;
        p.SX = static_cast<int>(ax.First);
        p.SY = static_cast<int>(ay.First);
        if (auto m = GdiDC(mem)) BlitTarget(m, p, &source, nullptr);
      }))
    return FALSE;
  if (!Place(r.DC, t, x, y, w, h, ax, ay, c)) return FALSE;
  return RecordBlt(r, x, y, w, h, &c, rop);
}

// What StretchDIBits makes of the image without drawing it: the rows it
// reports, 0 for an image it refuses.
int TakesDIBits(int xs, int ys, int ws, int hs, const void* bits, const BITMAPINFO* info, UINT usage) {
  HDC probe = CreateCompatibleDC(nullptr);
  const int rows = StretchDIBits(probe, 0, 0, 0, 0, xs, ys, ws, hs, bits, info, usage, SRCCOPY);
  DeleteDC(probe);
  return rows;
}

int RecordDIBitsOf(TRecording& r, int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* bits,
                   const BITMAPINFO* info, UINT usage, DWORD rop) {
  const int64_t rows = std::abs(int64_t(info->bmiHeader.biHeight));
  if (rows > INT32_MAX) return 0;
  // Answers as the call does: the source rectangle's scan lines.
  if (!RecordedRopUsesSource(rop)) return RecordBlt(r, x, y, w, h, nullptr, rop) ? hs : 0;
  // As the call: negative source extents draw nothing, a refused image
  // nothing, no destination nothing but the image is taken, and an empty
  // source fails.
  if (ws < 0 || hs < 0) return 0;
  const int taken = TakesDIBits(xs, ys, ws, hs, bits, info, usage);
  if (taken == 0) return 0;
  const RECT t = DestRectOf(r.DC, x, y, w, h);
  if (Extent(t.Left, t.Right) == 0 || Extent(t.Top, t.Bottom) == 0) return taken;
  if (ws == 0 || hs == 0) return 0;
  // Source rows count from the bottom of the image.
  const TSourceAxis ax(xs, ws, 0, info->bmiHeader.biWidth);
  const TSourceAxis ay(rows - ys - hs, hs, 0, rows);
  if (ax.Empty() || ay.Empty()) return taken;
  TCapture c;
  const int cw = ax.Size(), ch = ay.Size();
  int drawn = 0;
  if (!CapturePixels(r.DC, cw, ch, c.Pixels, [&](HDC mem) {
        drawn = StretchDIBits(mem, 0, 0, cw, ch, static_cast<int>(ax.First), static_cast<int>(rows - ay.Last), cw,
                              ch, bits, info, usage, SRCCOPY);
      }))
    return 0;
  if (drawn == 0 || !Place(r.DC, t, x, y, w, h, ax, ay, c)) return 0;
  Sync(*r.Rec, r.DC);
  TRecordWriter out(EMR_STRETCHDIBITS);
  const RECT bounds = DeviceBounds(r.DC, Normalized(SizedRect(x, y, w, h)));
  out.Rect(bounds);
  out.I32(x);
  out.I32(y);
  out.I32(c.X);
  // Counted from the bottom of the captured rows; within [ch - hs, 0].
  out.I32(static_cast<int>(int64_t(c.Height) - c.Y - c.H));
  out.I32(c.W);
  out.I32(c.H);
  const size_t offAt = out.Size();
  for (int i = 0; i < 4; ++i) out.U32(0);
  out.U32(DIB_RGB_COLORS);
  out.U32(rop);
  out.I32(w);
  out.I32(h);
  PutDib32(out, offAt, c.Pixels, c.Width, c.Height);
  Emit(*r.Rec, out);
  r.Rec->AddBounds(bounds);
  return taken;
}

}  // namespace

BOOL EmfRecordBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, DWORD rop) {
  TRecording r(dest);
  if (!r) return FALSE;
  // A record that cannot be held is not written, and the call fails.
  try {
    return RecordBltOf(r, x, y, w, h, src, xs, ys, ws, hs, rop);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

int EmfRecordDIBits(HDC dest, int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void* bits,
                    const BITMAPINFO* info, UINT usage, DWORD rop) {
  TRecording r(dest);
  if (!r || !info) return 0;
  try {
    return RecordDIBitsOf(r, x, y, w, h, xs, ys, ws, hs, bits, info, usage, rop);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

BOOL EmfRecordPixel(HDC hdc, int x, int y, COLORREF color) {
  TRecording r(hdc);
  if (!r) return FALSE;
  Sync(*r.Rec, r.DC);
  TRecordWriter w(EMR_SETPIXELV);
  w.Point(POINT(x, y));
  w.U32(color);
  Emit(*r.Rec, w);
  r.Rec->AddBounds(DeviceBounds(r.DC, RECT{x, y, x + 1, y + 1}));
  return TRUE;
}

void EmfRecordText(TGdiDC* dc, POINT ref, UINT options, const RECT* rect, const char16_t* text, int count,
                   const std::vector<int>& unitAdvances, int width, int ascent, int descent) {
  TEmfRecorder* rec = RecorderOf(dc->Handle);
  if (!rec || count < 0) return;
  Sync(*rec, dc, nullptr, true);
  // The line's box, for the bounds; wide, as a huge font's width and
  // height may reach the ends of int.
  const UINT align = dc->S.TextAlign;
  const int64_t height = int64_t(ascent) + descent;
  int64_t left = ref.X, top = ref.Y;
  if ((align & TA_CENTER) == TA_RIGHT) left -= width;
  if ((align & TA_CENTER) == TA_CENTER) left -= width / 2;
  if ((align & TA_BASELINE) == TA_BASELINE) top -= ascent;
  if ((align & TA_BASELINE) == TA_BOTTOM) top -= height;
  RECT box{ClampInt(left), ClampInt(top), ClampInt(left + width), ClampInt(top + height)};
  if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
    const RECT n = Normalized(*rect);
    if (options & ETO_CLIPPED) {
      box.Left = std::max(box.Left, n.Left);
      box.Top = std::max(box.Top, n.Top);
      box.Right = std::min(box.Right, n.Right);
      box.Bottom = std::min(box.Bottom, n.Bottom);
    }
    if (options & ETO_OPAQUE) {
      box.Left = std::min(box.Left, n.Left);
      box.Top = std::min(box.Top, n.Top);
      box.Right = std::max(box.Right, n.Right);
      box.Bottom = std::max(box.Bottom, n.Bottom);
    }
  }
  const RECT bounds = DeviceBounds(dc, box);
  TRecordWriter w(EMR_EXTTEXTOUTW);
  w.Rect(bounds);
  w.U32(GM_COMPATIBLE);
  w.F32(0);
  w.F32(0);
  w.Point(ref);
  w.U32(static_cast<uint32_t>(count));
  const size_t offStringAt = w.Size();
  w.U32(0);
  w.U32(options & ~UINT(ETO_PDY));
  w.Rect(rect ? *rect : RECT{});
  const size_t offDxAt = w.Size();
  w.U32(0);
  w.Set(offStringAt, static_cast<uint32_t>(w.Size()));
  w.Bytes(text, size_t(count) * 2);
  w.Pad();
  w.Set(offDxAt, static_cast<uint32_t>(w.Size()));
  for (int i = 0; i < count; ++i) w.I32(i < static_cast<int>(unitAdvances.size()) ? unitAdvances[size_t(i)] : 0);
  Emit(*rec, w);
  if (box.Left < box.Right && box.Top < box.Bottom) rec->AddBounds(bounds);
}

void EmfForgetDC(HDC hdc) {
  std::lock_guard<std::mutex> guard(RecordersMutex());
  if (Recorders().erase(hdc)) --gEmfRecordingDCs;
}

// ---- The metafile object ----------------------------------------------------

namespace {

struct TGdiEnhMetaFile : TGdiObject {
  std::vector<uint8_t> Bits;  // a whole, checked metafile
  TGdiEnhMetaFile() : TGdiObject(OBJ_ENHMETAFILE) {}
};

TGdiRef<TGdiEnhMetaFile> MetaFile(HENHMETAFILE h) { return GdiGetAs<TGdiEnhMetaFile>(h, OBJ_ENHMETAFILE); }

uint32_t ReadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
int32_t ReadI32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// True when data is a whole metafile: a header record first, records
// that each fit in what remains, EMR_EOF last and ending the data, and the
// header's counts agreeing with what is there.
bool WellFormed(const uint8_t* data, size_t size, size_t& used) {
  if (!data || size < kMinHeaderSize) return false;
  if (ReadU32(data) != EMR_HEADER) return false;
  const uint32_t headerSize = ReadU32(data + 4);
  const uint32_t bytes = ReadU32(data + 48);
  const uint32_t records = ReadU32(data + 52);
  if (ReadU32(data + 40) != ENHMETA_SIGNATURE) return false;
  if (headerSize < kMinHeaderSize || headerSize % 4 || headerSize > bytes || bytes > size || bytes % 4) return false;
  const uint32_t nDescription = ReadU32(data + 60), offDescription = ReadU32(data + 64);
  if (nDescription && (offDescription < kMinHeaderSize ||
                       uint64_t(offDescription) + uint64_t(nDescription) * 2 > headerSize))
    return false;
  uint64_t offset = 0;
  uint32_t count = 0;
  uint32_t lastType = 0;
  while (offset < bytes) {
    if (bytes - offset < 8) return false;
    const uint32_t type = ReadU32(data + offset), n = ReadU32(data + offset + 4);
    if (n < 8 || n % 4 || n > bytes - offset) return false;
    if (count > 0 && type == EMR_HEADER) return false;
    if (lastType == EMR_EOF) return false;  // nothing after the end
    lastType = type;
    offset += n;
    ++count;
  }
  if (lastType != EMR_EOF || count != records) return false;
  used = bytes;
  return true;
}

HENHMETAFILE NewMetaFile(std::vector<uint8_t> bits) {
  auto mf = std::make_unique<TGdiEnhMetaFile>();
  mf->Bits = std::move(bits);
  return static_cast<HENHMETAFILE>(GdiAdd(std::move(mf)));
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bits) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bits.data(), 1, bits.size(), f) == bits.size();
  return std::fclose(f) == 0 && ok;
}

HDC CreateRecording(HDC reference, std::string file, const RECT* frame, std::u16string description) {
  if (reference && !GdiDC(reference)) return nullptr;
  auto dc = std::make_unique<TGdiDC>(dckInfo);
  dc->Type = OBJ_ENHMETADC;
  TGdiDC* raw = dc.get();
  HDC h = static_cast<HDC>(GdiAdd(std::move(dc)));
  if (!h) return nullptr;
  raw->Handle = h;
  GdiSetDefaultState(raw);
  auto rec = std::make_unique<TEmfRecorder>();
  rec->Handle = h;
  rec->File = std::move(file);
  if (frame) {
    rec->HasFrame = true;
    rec->Frame = *frame;
  }
  rec->Description = std::move(description);
  HDC ref = reference ? reference : h;
  rec->Device = SIZE(GetDeviceCaps(ref, HORZRES), GetDeviceCaps(ref, VERTRES));
  rec->Millimeters = SIZE(GetDeviceCaps(ref, HORZSIZE), GetDeviceCaps(ref, VERTSIZE));
  if (rec->Device.cx <= 0 || rec->Device.cy <= 0 || rec->Millimeters.cx <= 0 || rec->Millimeters.cy <= 0) {
    rec->Device = GdiScreenSize();
    rec->Millimeters = SIZE(static_cast<int>(std::lround(rec->Device.cx * 25.4 / GdiScreenDpi())),
                            static_cast<int>(std::lround(rec->Device.cy * 25.4 / GdiScreenDpi())));
  }
  std::lock_guard<std::mutex> guard(RecordersMutex());
  Recorders()[h] = std::move(rec);
  ++gEmfRecordingDCs;
  return h;
}

std::vector<uint8_t> Assemble(const TEmfRecorder& rec) {
  TRecordWriter head(EMR_HEADER);
  const RECT bounds = rec.HasBounds ? rec.Bounds : RECT{0, 0, -1, -1};
  RECT frame = rec.Frame;
  if (!rec.HasFrame) {
    // The bounds' pixels in .01 mm; a picture of nothing has an empty frame.
    const double kx = rec.Millimeters.cx * 100.0 / rec.Device.cx, ky = rec.Millimeters.cy * 100.0 / rec.Device.cy;
    frame = rec.HasBounds ? RECT{static_cast<int>(std::lround(bounds.Left * kx)),
                                 static_cast<int>(std::lround(bounds.Top * ky)),
                                 static_cast<int>(std::lround((bounds.Right + 1) * kx)),
                                 static_cast<int>(std::lround((bounds.Bottom + 1) * ky))}
                          : RECT{};
  }
  head.Rect(rec.HasBounds ? bounds : RECT{});
  head.Rect(frame);
  head.U32(ENHMETA_SIGNATURE);
  head.U32(0x10000);
  head.U32(0);  // nBytes, patched below
  head.U32(rec.RecordCount + 2);
  const uint32_t handles = rec.NextIndex;
  head.U32(std::min<uint32_t>(handles, 0xFFFF));  // nHandles and sReserved
  head.U32(static_cast<uint32_t>(rec.Description.size()));
  head.U32(rec.Description.empty() ? 0 : kHeaderSize);
  head.U32(0);  // no palette
  head.I32(rec.Device.cx);
  head.I32(rec.Device.cy);
  head.I32(rec.Millimeters.cx);
  head.I32(rec.Millimeters.cy);
  head.U32(0);
  head.U32(0);
  head.U32(0);
  head.I32(rec.Millimeters.cx * 1000);
  head.I32(rec.Millimeters.cy * 1000);
  head.Bytes(rec.Description.data(), rec.Description.size() * 2);
  std::vector<uint8_t> out = head.Finish();
  out.insert(out.end(), rec.Records.begin(), rec.Records.end());
  TRecordWriter eof(EMR_EOF);
  eof.U32(0);
  eof.U32(16);
  eof.U32(kEofSize);
  const std::vector<uint8_t>& tail = eof.Finish();
  out.insert(out.end(), tail.begin(), tail.end());
  const uint32_t total = static_cast<uint32_t>(out.size());
  std::memcpy(out.data() + 48, &total, 4);
  return out;
}

std::u16string DescriptionW(LPCWSTR d) {
  if (!d) return {};
  // Two strings, each ending with a null, then a null.
  size_t n = 0;
  for (int strings = 0; strings < 2; ++strings) {
    while (d[n]) ++n;
    ++n;
  }
  return std::u16string(d, n) + u'\0';
}

std::u16string DescriptionA(LPCSTR d) {
  if (!d) return {};
  std::u16string out;
  size_t n = 0;
  for (int strings = 0; strings < 2; ++strings) {
    const size_t start = n;
    while (d[n]) ++n;
    out += AnsiToWide(AnsiString(d + start, n - start));
    out += u'\0';
    ++n;
  }
  return out + u'\0';
}

}  // namespace

}  // namespace rtl::detail

using namespace rtl::detail;

HDC CreateEnhMetaFileA(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description) {
  return CreateRecording(reference, file ? std::string(file) : std::string(), frame, DescriptionA(description));
}

HDC CreateEnhMetaFileW(HDC reference, LPCWSTR file, const RECT* frame, LPCWSTR description) {
  return CreateRecording(reference, file ? WideToAnsi(WideString(file)) : std::string(), frame,
                         DescriptionW(description));
}

HENHMETAFILE CloseEnhMetaFile(HDC hdc) {
  std::unique_ptr<TEmfRecorder> rec;
  {
    std::lock_guard<std::mutex> guard(RecordersMutex());
    auto it = Recorders().find(hdc);
    if (it == Recorders().end()) {
      SetLastError(6);
      return nullptr;
    }
    rec = std::move(it->second);
    Recorders().erase(it);
    --gEmfRecordingDCs;
  }
  if (auto dc = GdiDC(hdc)) {
    dc->Type = OBJ_DC;  // an ordinary DC now, which DeleteDC frees
  }
  DeleteDC(hdc);
  std::vector<uint8_t> bits = Assemble(*rec);
  if (!rec->File.empty() && !WriteFile(rec->File, bits)) return nullptr;
  return NewMetaFile(std::move(bits));
}

BOOL DeleteEnhMetaFile(HENHMETAFILE metafile) {
  if (!MetaFile(metafile)) {
    SetLastError(6);
    return FALSE;
  }
  GdiRemove(metafile);
  return TRUE;
}

HENHMETAFILE CopyEnhMetaFileA(HENHMETAFILE metafile, LPCSTR file) {
  auto mf = MetaFile(metafile);
  if (!mf) {
    SetLastError(6);
    return nullptr;
  }
  if (file && !WriteFile(file, mf->Bits)) return nullptr;
  return NewMetaFile(mf->Bits);
}

HENHMETAFILE GetEnhMetaFileA(LPCSTR file) {
  if (!file) return nullptr;
  FILE* f = std::fopen(file, "rb");
  if (!f) {
    SetLastError(2);
    return nullptr;
  }
  std::vector<uint8_t> bits;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    bits.insert(bits.end(), buffer, buffer + n);
    if (bits.size() > (size_t(1) << 30)) break;
  }
  std::fclose(f);
  return SetEnhMetaFileBits(static_cast<UINT>(std::min<size_t>(bits.size(), UINT32_MAX)), bits.data());
}

UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, LPENHMETAHEADER header) {
  auto mf = MetaFile(metafile);
  if (!mf) return 0;
  const uint32_t headerSize = ReadU32(mf->Bits.data() + 4);
  const UINT full = std::min<UINT>(headerSize, sizeof(ENHMETAHEADER));
  if (!header) return full;
  const UINT n = std::min(size, full);
  std::memset(static_cast<void*>(header), 0, std::min<size_t>(size, sizeof(ENHMETAHEADER)));
  std::memcpy(header, mf->Bits.data(), n);
  return n;
}

UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* data) {
  auto mf = MetaFile(metafile);
  if (!mf) return 0;
  const UINT full = static_cast<UINT>(mf->Bits.size());
  if (!data) return full;
  if (size < full) return 0;
  std::memcpy(data, mf->Bits.data(), full);
  return full;
}

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data) {
  size_t used = 0;
  if (!WellFormed(data, size, used)) {
    SetLastError(13);  // ERROR_INVALID_DATA
    return nullptr;
  }
  return NewMetaFile(std::vector<uint8_t>(data, data + used));
}

// ---- Playback ---------------------------------------------------------------

namespace rtl::detail {
namespace {

// A record as handed to the player: its bytes and their count, every read
// checked against them.
struct TRecordView {
  const uint8_t* P;
  uint32_t Size;
  bool Has(uint64_t offset, uint64_t bytes) const { return offset + bytes <= Size; }
  bool U32(uint64_t offset, uint32_t& v) const {
    if (!Has(offset, 4)) return false;
    v = ReadU32(P + offset);
    return true;
  }
  bool I32(uint64_t offset, int32_t& v) const {
    if (!Has(offset, 4)) return false;
    v = ReadI32(P + offset);
    return true;
  }
  bool Rect(uint64_t offset, RECT& r) const {
    return I32(offset, r.Left) && I32(offset + 4, r.Top) && I32(offset + 8, r.Right) && I32(offset + 12, r.Bottom);
  }
  bool Point(uint64_t offset, POINT& p) const { return I32(offset, p.X) && I32(offset + 4, p.Y); }
};

// A DIB in a record, checked: header, masks, colour table and rows all
// within the record, a size that can be allocated, an uncompressed layout.
struct TRecordDib {
  std::vector<uint8_t> Info;  // BITMAPINFO with its colour table
  const uint8_t* Bits = nullptr;
  size_t BitsSize = 0;
  int Width = 0, Height = 0;  // height as the header has it (negative = top-down)

  bool From(const TRecordView& v, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits) {
    if (cbBmi < sizeof(BITMAPINFOHEADER) || !v.Has(offBmi, cbBmi) || !v.Has(offBits, cbBits)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, v.P + offBmi, sizeof h);
    if (h.biSize < sizeof h || h.biSize > cbBmi || h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN)
      return false;
    const int64_t rows = std::abs(int64_t(h.biHeight));
    if (h.biWidth > 65536 || rows > 65536 || int64_t(h.biWidth) * rows > kMaxPixels) return false;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    uint64_t table = 0;
    if (h.biCompression == BI_BITFIELDS) {
      if (bpp != 16 && bpp != 32) return false;
      if (h.biSize == sizeof h) table = 12;
    } else if (h.biCompression != BI_RGB) {
      return false;
    }
    if (bpp <= 8) {
      const uint64_t entries = h.biClrUsed ? h.biClrUsed : (uint64_t(1) << bpp);
      if (entries > (uint64_t(1) << bpp)) return false;
      table = entries * 4;
    }
    if (uint64_t(h.biSize) + table > cbBmi) return false;
    const uint64_t stride = (uint64_t(h.biWidth) * uint64_t(bpp) + 31) / 32 * 4;
    if (stride * uint64_t(rows) > cbBits) return false;
    Info.assign(v.P + offBmi, v.P + offBmi + h.biSize + table);
    // The platform's readers know the 40-byte header; a longer one is
    // shortened to it, its masks following.
    if (h.biSize > sizeof h) {
      BITMAPINFOHEADER shortened = h;
      shortened.biSize = sizeof h;
      std::vector<uint8_t> info(sizeof h);
      std::memcpy(info.data(), &shortened, sizeof h);
      if (h.biCompression == BI_BITFIELDS && h.biSize >= sizeof h + 12)
        info.insert(info.end(), v.P + offBmi + sizeof h, v.P + offBmi + sizeof h + 12);
      else if (h.biCompression == BI_BITFIELDS)
        return false;
      info.insert(info.end(), v.P + offBmi + h.biSize, v.P + offBmi + h.biSize + table);
      Info = std::move(info);
    }
    Bits = v.P + offBits;
    BitsSize = static_cast<size_t>(stride * uint64_t(rows));
    Width = h.biWidth;
    Height = h.biHeight;
    return true;
  }
  const BITMAPINFO* BitmapInfo() const { return reinterpret_cast<const BITMAPINFO*>(Info.data()); }
  int Rows() const { return std::abs(Height); }
};

// A memory DC holding a record's DIB, for the blits of playback.
struct TDibDC {
  HDC DC = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  bool Make(const TRecordDib& dib) {
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, dib.BitmapInfo(), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Bitmap || !bits) return false;
    std::memcpy(bits, dib.Bits, dib.BitsSize);
    DC = CreateCompatibleDC(nullptr);
    Old = SelectObject(DC, Bitmap);
    return true;
  }
  ~TDibDC() {
    if (DC) {
      SelectObject(DC, Old);
      DeleteDC(DC);
    }
    if (Bitmap) DeleteObject(Bitmap);
  }
};

struct TPlayer {
  HDC Dest = nullptr;
  std::vector<HGDIOBJ> Handles;  // the handle table; slot 0 is the metafile's own
  // The picture's device space (pixels of the reference device) onto the
  // destination's logical space.
  double Sx = 1, Sy = 1, Ox = 0, Oy = 0;
  // The recorded page transform.
  int MapMode = MM_TEXT;
  POINT WindowOrg{}, ViewportOrg{};
  SIZE WindowExt{1, 1}, ViewportExt{1, 1};
  double PxPerMmX = 96 / 25.4, PxPerMmY = 96 / 25.4;
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  int Saved = 0;
  HRGN BaseClip = nullptr;  // the destination's clip before playback; null = none

  bool Start(HDC dest, const uint8_t* bits, const RECT* rect) {
    Dest = dest;
    const uint8_t* h = bits;
    Handles.assign(std::max<size_t>(1, ReadU32(h + 56) & 0xFFFF), nullptr);
    RECT frame{ReadI32(h + 24), ReadI32(h + 28), ReadI32(h + 32), ReadI32(h + 36)};
    const SIZE device(ReadI32(h + 72), ReadI32(h + 76));
    const SIZE mm(ReadI32(h + 80), ReadI32(h + 84));
    if (device.cx > 0 && device.cy > 0 && mm.cx > 0 && mm.cy > 0) {
      PxPerMmX = double(device.cx) / mm.cx;
      PxPerMmY = double(device.cy) / mm.cy;
    }
    if (rect) {
      // The frame in the reference device's pixels, whole ones.
      const double fl = std::round(frame.Left * PxPerMmX / 100), ft = std::round(frame.Top * PxPerMmY / 100);
      const double fr = std::round(frame.Right * PxPerMmX / 100), fb = std::round(frame.Bottom * PxPerMmY / 100);
      const double fw = fr - fl, fh = fb - ft;
      Sx = fw > 0 ? (rect->Right - rect->Left) / fw : 1;
      Sy = fh > 0 ? (rect->Bottom - rect->Top) / fh : 1;
      Ox = rect->Left - fl * Sx;
      Oy = rect->Top - ft * Sy;
    }
    if (!dest) return true;
    Saved = SaveDC(dest);
    if (!Saved) return false;
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(dest, clip) == 1)
      BaseClip = clip;
    else
      DeleteObject(clip);
    // Playback starts from the default attributes.
    SetTextColor(dest, 0);
    SetBkColor(dest, 0xFFFFFF);
    SetBkMode(dest, OPAQUE);
    SetTextAlign(dest, 0);
    SetROP2(dest, R2_COPYPEN);
    SetPolyFillMode(dest, ALTERNATE);
    SetStretchBltMode(dest, BLACKONWHITE);
    SelectObject(dest, GetStockObject(BLACK_PEN));
    SelectObject(dest, GetStockObject(WHITE_BRUSH));
    SelectObject(dest, GetStockObject(SYSTEM_FONT));
    return true;
  }

  void Finish() {
    if (Dest && Saved) RestoreDC(Dest, Saved);
    for (HGDIOBJ& o : Handles)
      if (o) {
        DeleteObject(o);
        o = nullptr;
      }
    if (BaseClip) DeleteObject(BaseClip);
    BaseClip = nullptr;
  }

  // Logical units of the picture to its device pixels.
  void PageScale(double& kx, double& ky) const {
    switch (MapMode) {
      case MM_LOMETRIC: kx = PxPerMmX / 10, ky = -PxPerMmY / 10; return;
      case MM_HIMETRIC: kx = PxPerMmX / 100, ky = -PxPerMmY / 100; return;
      case MM_LOENGLISH: kx = PxPerMmX * 0.254, ky = -PxPerMmY * 0.254; return;
      case MM_HIENGLISH: kx = PxPerMmX * 0.0254, ky = -PxPerMmY * 0.0254; return;
      case MM_TWIPS: kx = PxPerMmX * 25.4 / 1440, ky = -PxPerMmY * 25.4 / 1440; return;
      case MM_ISOTROPIC:
      case MM_ANISOTROPIC:
        kx = WindowExt.cx ? double(ViewportExt.cx) / WindowExt.cx : 1;
        ky = WindowExt.cy ? double(ViewportExt.cy) / WindowExt.cy : 1;
        return;
      default: kx = ky = 1; return;
    }
  }
  double ScaleX() const {
    double kx, ky;
    PageScale(kx, ky);
    return kx * Sx;
  }
  double ScaleY() const {
    double kx, ky;
    PageScale(kx, ky);
    return ky * Sy;
  }
  // Picture device pixels to destination logical units.
  POINT FromDevice(double x, double y) const {
    return POINT(static_cast<int>(std::lround(std::clamp(x * Sx + Ox, -1e9, 1e9))),
                 static_cast<int>(std::lround(std::clamp(y * Sy + Oy, -1e9, 1e9))));
  }
  POINT Map(POINT p) const {
    double kx, ky;
    PageScale(kx, ky);
    return FromDevice((double(p.X) - WindowOrg.X) * kx + ViewportOrg.X, (double(p.Y) - WindowOrg.Y) * ky + ViewportOrg.Y);
  }
  RECT MapRect(const RECT& r) const {
    const POINT a = Map(POINT(r.Left, r.Top)), b = Map(POINT(r.Right, r.Bottom));
    return RECT{a.X, a.Y, b.X, b.Y};
  }
  int MapLength(int v, bool vertical) const {
    const double s = std::abs(vertical ? ScaleY() : ScaleX());
    return static_cast<int>(std::lround(std::clamp(v * s, -1e9, 1e9)));
  }

  HGDIOBJ Object(uint32_t index) const {
    if (index & ENHMETA_STOCK_OBJECT) {
      const uint32_t stock = index & ~ENHMETA_STOCK_OBJECT;
      return stock <= DC_PEN ? GetStockObject(static_cast<int>(stock)) : nullptr;
    }
    return index > 0 && index < Handles.size() ? Handles[index] : nullptr;
  }

  // Puts a created object into its slot, replacing (and freeing) what the
  // slot held.
  void Store(uint32_t index, HGDIOBJ obj) {
    if (!obj) return;
    if (index == 0 || index >= Handles.size()) {
      DeleteObject(obj);
      return;
    }
    Release(index);
    Handles[index] = obj;
  }
  void Release(uint32_t index) {
    HGDIOBJ old = Handles[index];
    if (!old) return;
    // The destination lets go of it first.
    if (old == Pen) {
      SelectObject(Dest, GetStockObject(BLACK_PEN));
      Pen = nullptr;
    }
    if (old == Brush) {
      SelectObject(Dest, GetStockObject(WHITE_BRUSH));
      Brush = nullptr;
    }
    if (old == Font) {
      SelectObject(Dest, GetStockObject(SYSTEM_FONT));
      Font = nullptr;
    }
    DeleteObject(old);
    Handles[index] = nullptr;
  }

  void SelectClip(const TRecordView& v) {
    uint32_t cb = 0, mode = 0;
    if (!v.U32(8, cb) || !v.U32(12, mode)) return;
    if (cb == 0 || !v.Has(16, cb)) {
      if (mode == RGN_COPY) SelectClipRgn(Dest, BaseClip);
      return;
    }
    uint32_t count = 0;
    if (cb < 32 || !v.U32(16 + 8, count) || uint64_t(count) * 16 > cb - 32) return;
    std::vector<RECT> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      RECT r;
      v.Rect(16 + 32 + uint64_t(i) * 16, r);
      // Picture device pixels to the destination's device pixels.
      POINT pts[2] = {FromDevice(r.Left, r.Top), FromDevice(r.Right, r.Bottom)};
      LPtoDP(Dest, pts, 2);
      rects.push_back(Normalized(RECT{pts[0].X, pts[0].Y, pts[1].X, pts[1].Y}));
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects) {
      HRGN one = CreateRectRgnIndirect(&r);
      CombineRgn(region, region, one, RGN_OR);
      DeleteObject(one);
    }
    if (BaseClip) CombineRgn(region, region, BaseClip, RGN_AND);
    if (mode == RGN_COPY || mode == RGN_AND || mode == RGN_OR || mode == RGN_XOR || mode == RGN_DIFF)
      ExtSelectClipRgn(Dest, region, static_cast<int>(mode));
    DeleteObject(region);
  }

  void Blit(const TRecordView& v, DWORD type) {
    RECT bounds;
    int32_t x, y, w, h, xs = 0, ys = 0, ws, hs;
    uint32_t rop = SRCCOPY, offBmi, cbBmi, offBits, cbBits, usage = DIB_RGB_COLORS;
    bool alpha = false;
    BLENDFUNCTION blend{};
    if (!v.Rect(8, bounds)) return;
    if (type == EMR_STRETCHDIBITS) {
      if (!v.I32(24, x) || !v.I32(28, y) || !v.I32(32, xs) || !v.I32(36, ys) || !v.I32(40, ws) || !v.I32(44, hs) ||
          !v.U32(48, offBmi) || !v.U32(52, cbBmi) || !v.U32(56, offBits) || !v.U32(60, cbBits) ||
          !v.U32(64, usage) || !v.U32(68, rop) || !v.I32(72, w) || !v.I32(76, h))
        return;
    } else {
      if (!v.I32(24, x) || !v.I32(28, y) || !v.I32(32, w) || !v.I32(36, h) || !v.U32(40, rop) || !v.I32(44, xs) ||
          !v.I32(48, ys) || !v.U32(80, usage) || !v.U32(84, offBmi) || !v.U32(88, cbBmi) || !v.U32(92, offBits) ||
          !v.U32(96, cbBits))
        return;
      ws = w;
      hs = h;
      if (type == EMR_STRETCHBLT || type == EMR_ALPHABLEND) {
        if (!v.I32(100, ws) || !v.I32(104, hs)) return;
      }
      if (type == EMR_ALPHABLEND) {
        alpha = true;
        std::memcpy(&blend, &rop, sizeof blend);
      }
    }
    const RECT d = MapRect(SizedRect(x, y, w, h));
    if (!alpha && !RecordedRopUsesSource(rop)) {
      PatBlt(Dest, d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top, rop);
      return;
    }
    if (usage != DIB_RGB_COLORS) return;
    TRecordDib dib;
    if (!dib.From(v, offBmi, cbBmi, offBits, cbBits)) return;
    // Source rows of StretchDIBits count from the bottom of the image.
    if (type == EMR_STRETCHDIBITS) {
      const int64_t top = int64_t(dib.Rows()) - ys - hs;
      if (top < INT32_MIN || top > INT32_MAX) return;
      ys = static_cast<int32_t>(top);
    }
    TDibDC src;
    if (!src.Make(dib)) return;
    if (alpha)
      AlphaBlend(Dest, d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top, src.DC, xs, ys, ws, hs, blend);
    else
      StretchBlt(Dest, d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top, src.DC, xs, ys, ws, hs, rop);
  }

  HBRUSH PatternBrush(const TRecordView& v, bool mono) {
    uint32_t usage, offBmi, cbBmi, offBits, cbBits;
    if (!v.U32(12, usage) || !v.U32(16, offBmi) || !v.U32(20, cbBmi) || !v.U32(24, offBits) || !v.U32(28, cbBits))
      return nullptr;
    TRecordDib dib;
    if (!dib.From(v, offBmi, cbBmi, offBits, cbBits)) return nullptr;
    if (mono) {
      const BITMAPINFOHEADER& h = dib.BitmapInfo()->bmiHeader;
      if (h.biBitCount != 1) return nullptr;
      // Word-aligned rows, top row first, for a monochrome bitmap.
      const int w = dib.Width, rows = dib.Rows();
      const size_t dibStride = (size_t(w) + 31) / 32 * 4, bmpStride = (size_t(w) + 15) / 16 * 2;
      std::vector<uint8_t> bits(bmpStride * size_t(rows));
      for (int y = 0; y < rows; ++y) {
        const int from = dib.Height > 0 ? rows - 1 - y : y;
        std::memcpy(bits.data() + size_t(y) * bmpStride, dib.Bits + size_t(from) * dibStride, bmpStride);
      }
      HBITMAP bmp = CreateBitmap(w, rows, 1, 1, bits.data());
      if (!bmp) return nullptr;
      HBRUSH b = CreatePatternBrush(bmp);
      DeleteObject(bmp);
      return b;
    }
    std::vector<uint8_t> packed(dib.Info);
    packed.insert(packed.end(), dib.Bits, dib.Bits + dib.BitsSize);
    return CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
  }

  void Text(const TRecordView& v) {
    uint32_t chars, offString, options, offDx;
    POINT ref;
    RECT rect;
    if (!v.Point(36, ref) || !v.U32(44, chars) || !v.U32(48, offString) || !v.U32(52, options) || !v.Rect(56, rect) ||
        !v.U32(72, offDx))
      return;
    if (!v.Has(offString, uint64_t(chars) * 2)) return;
    std::u16string text(chars, u'\0');
    if (chars) std::memcpy(text.data(), v.P + offString, size_t(chars) * 2);
    std::vector<INT> dx;
    const bool pdy = (options & ETO_PDY) != 0;
    const uint64_t dxCount = uint64_t(chars) * (pdy ? 2 : 1);
    if (offDx && v.Has(offDx, dxCount * 4)) {
      // Scaled from the accumulated positions, so that rounding does not add up.
      dx.resize(size_t(dxCount));
      const double s = ScaleX(), sv = ScaleY();
      double pos = 0, posV = 0;
      int placed = 0, placedV = 0;
      for (uint32_t i = 0; i < chars; ++i) {
        const size_t step = pdy ? 2 : 1;
        pos += ReadI32(v.P + offDx + uint64_t(i) * step * 4) * std::abs(s);
        // Positions held to the range the picture's coordinates are held
        // to, so that the steps between them fit an int.
        const int next = static_cast<int>(std::lround(std::clamp(pos, -1e9, 1e9)));
        dx[i * step] = next - placed;
        placed = next;
        if (pdy) {
          posV += ReadI32(v.P + offDx + (uint64_t(i) * 2 + 1) * 4) * std::abs(sv);
          const int nextV = static_cast<int>(std::lround(std::clamp(posV, -1e9, 1e9)));
          dx[i * 2 + 1] = nextV - placedV;
          placedV = nextV;
        }
      }
    }
    const POINT p = Map(ref);
    const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
    RECT r = hasRect ? MapRect(rect) : RECT{};
    ExtTextOutW(Dest, p.X, p.Y, options, hasRect ? &r : nullptr, text.data(), chars, dx.empty() ? nullptr : dx.data());
  }

  void Play(const uint8_t* record, uint32_t size) {
    const TRecordView v{record, size};
    uint32_t type = 0, u = 0;
    if (!v.U32(0, type) || !Dest) return;
    POINT pt;
    SIZE sz;
    RECT rc;
    switch (type) {
      case EMR_SETMAPMODE:
        if (v.U32(8, u) && u >= MM_TEXT && u <= MM_ANISOTROPIC) MapMode = static_cast<int>(u);
        break;
      case EMR_SETWINDOWEXTEX:
        if (v.I32(8, sz.cx) && v.I32(12, sz.cy) && sz.cx && sz.cy) WindowExt = sz;
        break;
      case EMR_SETVIEWPORTEXTEX:
        if (v.I32(8, sz.cx) && v.I32(12, sz.cy) && sz.cx && sz.cy) ViewportExt = sz;
        break;
      case EMR_SETWINDOWORGEX:
        if (v.Point(8, pt)) WindowOrg = pt;
        break;
      case EMR_SETVIEWPORTORGEX:
        if (v.Point(8, pt)) ViewportOrg = pt;
        break;
      case EMR_SETBRUSHORGEX:
        if (v.Point(8, pt)) {
          const POINT m = FromDevice(pt.X, pt.Y);
          SetBrushOrgEx(Dest, m.X, m.Y, nullptr);
        }
        break;
      case EMR_SETTEXTCOLOR:
        if (v.U32(8, u)) SetTextColor(Dest, u);
        break;
      case EMR_SETBKCOLOR:
        if (v.U32(8, u)) SetBkColor(Dest, u);
        break;
      case EMR_SETBKMODE:
        if (v.U32(8, u) && (u == TRANSPARENT || u == OPAQUE)) SetBkMode(Dest, static_cast<int>(u));
        break;
      case EMR_SETTEXTALIGN:
        if (v.U32(8, u)) SetTextAlign(Dest, u);
        break;
      case EMR_SETROP2:
        if (v.U32(8, u) && u >= 1 && u <= 16) SetROP2(Dest, static_cast<int>(u));
        break;
      case EMR_SETPOLYFILLMODE:
        if (v.U32(8, u) && (u == ALTERNATE || u == WINDING)) SetPolyFillMode(Dest, static_cast<int>(u));
        break;
      case EMR_SETSTRETCHBLTMODE:
        if (v.U32(8, u) && u >= 1 && u <= 4) SetStretchBltMode(Dest, static_cast<int>(u));
        break;
      case EMR_SAVEDC:
        SaveDC(Dest);
        break;
      case EMR_RESTOREDC: {
        int32_t n;
        // Never below the state playback saved.
        if (v.I32(8, n) && n < 0) RestoreDC(Dest, n);
        break;
      }
      case EMR_EXTSELECTCLIPRGN:
        SelectClip(v);
        break;
      case EMR_INTERSECTCLIPRECT:
      case EMR_EXCLUDECLIPRECT:
        if (v.Rect(8, rc)) {
          const RECT m = Normalized(MapRect(rc));
          if (type == EMR_INTERSECTCLIPRECT)
            IntersectClipRect(Dest, m.Left, m.Top, m.Right, m.Bottom);
          else
            ExcludeClipRect(Dest, m.Left, m.Top, m.Right, m.Bottom);
        }
        break;
      case EMR_SELECTOBJECT:
        if (v.U32(8, u))
          if (HGDIOBJ o = Object(u)) {
            SelectObject(Dest, o);
            switch (GetObjectType(o)) {
              case OBJ_PEN:
              case OBJ_EXTPEN: Pen = static_cast<HPEN>(o); break;
              case OBJ_BRUSH: Brush = static_cast<HBRUSH>(o); break;
              case OBJ_FONT: Font = static_cast<HFONT>(o); break;
              default: break;
            }
          }
        break;
      case EMR_DELETEOBJECT:
        if (v.U32(8, u) && u > 0 && u < Handles.size()) Release(u);
        break;
      case EMR_CREATEPEN: {
        uint32_t index, style, color;
        int32_t width;
        if (!v.U32(8, index) || !v.U32(12, style) || !v.I32(16, width) || !v.U32(24, color)) break;
        const int w = width <= 1 ? std::max(width, 0) : std::max(1, MapLength(width, false));
        HPEN pen;
        if (style & ~UINT(PS_STYLE_MASK)) {
          LOGBRUSH lb{BS_SOLID, color, 0};
          pen = ExtCreatePen(style, static_cast<DWORD>(std::max(w, 1)), &lb, 0, nullptr);
        } else {
          pen = CreatePen(static_cast<int>(style), w, color);
        }
        Store(index, pen);
        break;
      }
      case EMR_CREATEBRUSHINDIRECT: {
        uint32_t index, style, color, hatch;
        if (!v.U32(8, index) || !v.U32(12, style) || !v.U32(16, color) || !v.U32(20, hatch)) break;
        if (style != BS_SOLID && style != BS_NULL && style != BS_HATCHED) style = BS_SOLID;
        LOGBRUSH lb{style, color, hatch};
        Store(index, CreateBrushIndirect(&lb));
        break;
      }
      case EMR_CREATEMONOBRUSH:
      case EMR_CREATEDIBPATTERNBRUSHPT:
        if (v.U32(8, u)) Store(u, PatternBrush(v, type == EMR_CREATEMONOBRUSH));
        break;
      case EMR_EXTCREATEFONTINDIRECTW: {
        if (!v.U32(8, u) || !v.Has(12, 92)) break;
        LOGFONTW f{};
        const uint8_t* p = record + 12;
        f.lfHeight = ReadI32(p);
        f.lfWidth = ReadI32(p + 4);
        f.lfEscapement = ReadI32(p + 8);
        f.lfOrientation = ReadI32(p + 12);
        f.lfWeight = ReadI32(p + 16);
        f.lfItalic = p[20];
        f.lfUnderline = p[21];
        f.lfStrikeOut = p[22];
        f.lfCharSet = p[23];
        f.lfOutPrecision = p[24];
        f.lfClipPrecision = p[25];
        f.lfQuality = p[26];
        f.lfPitchAndFamily = p[27];
        std::memcpy(f.lfFaceName, p + 28, sizeof f.lfFaceName);
        f.lfFaceName[LF_FACESIZE - 1] = 0;
        const int sign = f.lfHeight < 0 ? -1 : 1;
        f.lfHeight = sign * MapLength(std::abs(f.lfHeight), true);
        f.lfWidth = MapLength(f.lfWidth, false);
        Store(u, CreateFontIndirectW(&f));
        break;
      }
      case EMR_MOVETOEX:
        if (v.Point(8, pt)) {
          const POINT m = Map(pt);
          MoveToEx(Dest, m.X, m.Y, nullptr);
        }
        break;
      case EMR_LINETO:
        if (v.Point(8, pt)) {
          const POINT m = Map(pt);
          LineTo(Dest, m.X, m.Y);
        }
        break;
      case EMR_SETPIXELV:
        if (v.Point(8, pt) && v.U32(16, u)) {
          const POINT m = Map(pt);
          SetPixelV(Dest, m.X, m.Y, u);
        }
        break;
      case EMR_RECTANGLE:
      case EMR_ELLIPSE:
      case EMR_ROUNDRECT:
        if (v.Rect(8, rc)) {
          const RECT m = MapRect(rc);
          if (type == EMR_RECTANGLE) Rectangle(Dest, m.Left, m.Top, m.Right, m.Bottom);
          if (type == EMR_ELLIPSE) Ellipse(Dest, m.Left, m.Top, m.Right, m.Bottom);
          if (type == EMR_ROUNDRECT && v.I32(24, sz.cx) && v.I32(28, sz.cy))
            RoundRect(Dest, m.Left, m.Top, m.Right, m.Bottom, MapLength(sz.cx, false), MapLength(sz.cy, true));
        }
        break;
      case EMR_POLYLINE:
      case EMR_POLYGON:
      case EMR_POLYBEZIER: {
        uint32_t count;
        if (!v.U32(24, count) || count == 0 || !v.Has(28, uint64_t(count) * 8)) break;
        std::vector<POINT> pts(count);
        for (uint32_t i = 0; i < count; ++i) v.Point(28 + uint64_t(i) * 8, pts[i]), pts[i] = Map(pts[i]);
        if (type == EMR_POLYLINE) Polyline(Dest, pts.data(), static_cast<int>(count));
        if (type == EMR_POLYGON) Polygon(Dest, pts.data(), static_cast<int>(count));
        if (type == EMR_POLYBEZIER) PolyBezier(Dest, pts.data(), count);
        break;
      }
      case EMR_POLYPOLYLINE:
      case EMR_POLYPOLYGON: {
        uint32_t polys, total;
        if (!v.U32(24, polys) || !v.U32(28, total) || polys == 0 || !v.Has(32, uint64_t(polys) * 4) ||
            !v.Has(32 + uint64_t(polys) * 4, uint64_t(total) * 8))
          break;
        std::vector<DWORD> counts(polys);
        uint64_t sum = 0;
        for (uint32_t i = 0; i < polys; ++i) sum += counts[i] = ReadU32(record + 32 + uint64_t(i) * 4);
        if (sum != total) break;
        std::vector<POINT> pts(total);
        const uint64_t at = 32 + uint64_t(polys) * 4;
        for (uint32_t i = 0; i < total; ++i) v.Point(at + uint64_t(i) * 8, pts[i]), pts[i] = Map(pts[i]);
        if (type == EMR_POLYPOLYLINE) {
          PolyPolyline(Dest, pts.data(), counts.data(), polys);
        } else {
          std::vector<INT> ints(counts.begin(), counts.end());
          PolyPolygon(Dest, pts.data(), ints.data(), static_cast<int>(polys));
        }
        break;
      }
      case EMR_BITBLT:
      case EMR_STRETCHBLT:
      case EMR_STRETCHDIBITS:
      case EMR_ALPHABLEND:
        Blit(v, type);
        break;
      case EMR_EXTTEXTOUTW:
        Text(v);
        break;
      default:
        break;
    }
  }
};

// The player of the enumeration running on this thread, for
// PlayEnhMetaFileRecord.
thread_local TPlayer* tCurrentPlayer = nullptr;

}  // namespace
}  // namespace rtl::detail

BOOL EnumEnhMetaFile(HDC hdc, HENHMETAFILE metafile, ENHMFENUMPROC proc, LPVOID data, const RECT* rect) {
  auto mf = MetaFile(metafile);
  if (!mf || (hdc && !GdiDC(hdc)) || (hdc && !rect)) {
    SetLastError(87);
    return FALSE;
  }
  // A copy: the callback may delete the metafile.
  const std::vector<uint8_t> bits = mf->Bits;
  mf = nullptr;
  TPlayer player;
  if (!player.Start(hdc, bits.data(), rect)) return FALSE;
  TPlayer* outer = tCurrentPlayer;
  tCurrentPlayer = &player;
  BOOL result = TRUE;
  for (size_t offset = 0; offset + 8 <= bits.size();) {
    const uint32_t n = ReadU32(bits.data() + offset + 4);
    const auto* record = reinterpret_cast<const ENHMETARECORD*>(bits.data() + offset);
    const int handles = static_cast<int>(player.Handles.size());
    const bool goOn = proc ? proc(hdc, reinterpret_cast<HANDLETABLE*>(player.Handles.data()), record, handles,
                                  reinterpret_cast<LPARAM>(data)) != 0
                           : (player.Play(bits.data() + offset, n), true);
    if (!goOn) {
      result = FALSE;
      break;
    }
    offset += n;
  }
  tCurrentPlayer = outer;
  player.Finish();
  return result;
}

BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE metafile, const RECT* rect) {
  if (!hdc || !rect) {
    SetLastError(87);
    return FALSE;
  }
  return EnumEnhMetaFile(hdc, metafile, nullptr, nullptr, rect);
}

BOOL PlayEnhMetaFileRecord(HDC hdc, LPHANDLETABLE table, const ENHMETARECORD* record, UINT handles) {
  TPlayer* player = tCurrentPlayer;
  if (!player || !record || player->Dest != hdc || reinterpret_cast<HGDIOBJ*>(table) != player->Handles.data() ||
      handles != player->Handles.size())
    return FALSE;
  if (record->nSize < 8) return FALSE;
  player->Play(reinterpret_cast<const uint8_t*>(record), record->nSize);
  return TRUE;
}
