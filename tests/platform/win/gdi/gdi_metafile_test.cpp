// Enhanced metafiles: what the recording DC writes, the picture played back
// against the same calls drawn directly, the header, the bits in and out,
// and hostile bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/common/dib_canvas.h"
#include "tests/common/picture_png.h"

namespace {

constexpr int kMetaW = 200, kMetaH = 120;

// One drawing that uses what the library draws with: solid and pattern
// brushes, pens, fonts, text colours and modes, clipping, a moved
// viewport, and pixels copied from a bitmap and from DIB data.
void Scene(HDC dc) {
  RECT all{0, 0, kMetaW, kMetaH};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HBRUSH blue = CreateSolidBrush(RGB(40, 60, 200));
  RECT r{10, 10, 60, 40};
  FillRect(dc, &r, blue);
  HPEN red = CreatePen(PS_SOLID, 3, RGB(220, 30, 30));
  HGDIOBJ oldPen = SelectObject(dc, red);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, 70, 10, 120, 40);
  MoveToEx(dc, 10, 50, nullptr);
  LineTo(dc, 120, 60);
  SelectObject(dc, blue);
  Ellipse(dc, 130, 10, 190, 50);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(red);
  DeleteObject(blue);

  // Text, transparent and opaque, in two colours.
  HFONT font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Sans");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(0, 120, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 10, 66, u"Metafile", 8);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(90, 0, 90));
  SetBkMode(dc, OPAQUE);
  RECT box{100, 64, 190, 84};
  DrawTextW(dc, u"Opaque", -1, &box, DT_CENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
  DeleteObject(font);

  // A pattern brush clipped to a rectangle, through a moved viewport.
  uint32_t* bits = nullptr;
  HBITMAP pattern = TestDib32(4, 4, &bits);
  for (int i = 0; i < 16; ++i) bits[i] = ((i % 4) / 2 + i / 8) % 2 ? 0x00FFC000u : 0x00004080u;
  HBRUSH checks = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  SaveDC(dc);
  SetViewportOrgEx(dc, 10, 90, nullptr);
  IntersectClipRect(dc, 0, 0, 50, 20);
  RECT big{-10, -10, 80, 40};
  FillRect(dc, &big, checks);
  RestoreDC(dc, -1);
  DeleteObject(checks);

  // Pixels: a bitmap through BitBlt and StretchBlt, and DIB data.
  uint32_t* src = nullptr;
  HBITMAP image = TestDib32(8, 8, &src);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) src[y * 8 + x] = (x < 4) == (y < 4) ? 0x00E02020u : 0x0020E020u;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ oldImage = SelectObject(mem, image);
  BitBlt(dc, 70, 92, 8, 8, mem, 0, 0, SRCCOPY);
  StretchBlt(dc, 82, 92, 16, 16, mem, 0, 0, 8, 8, SRCCOPY);
  SelectObject(mem, oldImage);
  DeleteDC(mem);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 8;
  info.bmiHeader.biHeight = -8;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  StretchDIBits(dc, 104, 92, 24, 16, 0, 0, 8, 8, src, &info, DIB_RGB_COLORS, SRCCOPY);
  DeleteObject(image);
}

std::vector<DWORD> RecordTypes(HENHMETAFILE mf) {
  std::vector<DWORD> types;
  EnumEnhMetaFile(
      nullptr, mf,
      [](HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
        reinterpret_cast<std::vector<DWORD>*>(data)->push_back(r->iType);
        return 1;
      },
      &types, nullptr);
  return types;
}

int Count(const std::vector<DWORD>& types, DWORD type) {
  int n = 0;
  for (DWORD t : types) n += t == type;
  return n;
}

HENHMETAFILE RecordScene(const RECT* frame = nullptr) {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, frame, "Test\0Scene\0");
  EXPECT_NE(dc, nullptr);
  Scene(dc);
  return CloseEnhMetaFile(dc);
}

TEST(GdiMetafileTest, RecordingDCAndMetafileHaveTheirObjectTypes) {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_ENHMETADC));
  // It keeps its state like any DC.
  SetTextColor(dc, RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  HENHMETAFILE mf = CloseEnhMetaFile(dc);
  ASSERT_NE(mf, nullptr);
  EXPECT_EQ(GetObjectType(mf), DWORD(OBJ_ENHMETAFILE));
  EXPECT_EQ(GetObjectType(dc), 0u) << "closing frees the recording DC";
  EXPECT_FALSE(DeleteObject(mf)) << "a metafile goes with DeleteEnhMetaFile";
  EXPECT_TRUE(DeleteEnhMetaFile(mf));
  EXPECT_EQ(GetObjectType(mf), 0u);
  EXPECT_FALSE(DeleteEnhMetaFile(mf));
}

TEST(GdiMetafileTest, RecordsFollowThePublicLayout) {
  HENHMETAFILE mf = RecordScene();
  ASSERT_NE(mf, nullptr);
  const std::vector<DWORD> types = RecordTypes(mf);
  ASSERT_GE(types.size(), 3u);
  EXPECT_EQ(types.front(), DWORD(EMR_HEADER));
  EXPECT_EQ(types.back(), DWORD(EMR_EOF));
  EXPECT_EQ(Count(types, EMR_HEADER), 1);
  EXPECT_EQ(Count(types, EMR_EOF), 1);
  const struct {
    DWORD Type;
    int AtLeast;
  } expected[] = {{EMR_CREATEPEN, 1},       {EMR_CREATEBRUSHINDIRECT, 1},     {EMR_EXTCREATEFONTINDIRECTW, 1},
                  {EMR_SELECTOBJECT, 4},    {EMR_CREATEDIBPATTERNBRUSHPT, 1}, {EMR_RECTANGLE, 1},
                  {EMR_ELLIPSE, 1},         {EMR_MOVETOEX, 1},                {EMR_LINETO, 1},
                  {EMR_EXTTEXTOUTW, 2},     {EMR_SETTEXTCOLOR, 2},            {EMR_SETBKCOLOR, 1},
                  {EMR_SETBKMODE, 2},       {EMR_SETVIEWPORTORGEX, 1},        {EMR_EXTSELECTCLIPRGN, 2},
                  {EMR_BITBLT, 2},          {EMR_STRETCHBLT, 1},              {EMR_STRETCHDIBITS, 1}};
  for (const auto& e : expected) EXPECT_GE(Count(types, e.Type), e.AtLeast) << "record type " << e.Type;

  ENHMETAHEADER h{};
  ASSERT_EQ(GetEnhMetaFileHeader(mf, sizeof h, &h), sizeof h);
  EXPECT_EQ(h.iType, DWORD(EMR_HEADER));
  EXPECT_EQ(h.dSignature, DWORD(ENHMETA_SIGNATURE));
  EXPECT_EQ(h.nRecords, types.size());
  EXPECT_EQ(h.nBytes, GetEnhMetaFileBits(mf, 0, nullptr));
  EXPECT_EQ(h.nBytes % 4, 0u);
  EXPECT_GE(h.nHandles, 4) << "index 0 and the objects created";
  // The bounds are the pixels drawn: the white fill covers the picture.
  EXPECT_EQ(h.rclBounds.Left, 0);
  EXPECT_EQ(h.rclBounds.Top, 0);
  EXPECT_EQ(h.rclBounds.Right, kMetaW - 1);
  EXPECT_EQ(h.rclBounds.Bottom, kMetaH - 1);
  EXPECT_GT(h.rclFrame.Right, h.rclFrame.Left);
  // The description: two strings and a closing null.
  ASSERT_EQ(h.nDescription, 12u);
  std::vector<BYTE> bits(h.nBytes);
  ASSERT_EQ(GetEnhMetaFileBits(mf, h.nBytes, bits.data()), h.nBytes);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bits.data() + h.offDescription), 11),
            std::u16string(u"Test\0Scene\0", 11));
  DeleteEnhMetaFile(mf);
}

TEST(GdiMetafileTest, PlaybackMatchesTheCallsDrawnDirectly) {
  TDibCanvas direct(kMetaW, kMetaH, 0);
  Scene(direct.dc);
  HENHMETAFILE mf = RecordScene();
  ASSERT_NE(mf, nullptr);
  TDibCanvas played(kMetaW, kMetaH, 0);
  // The destination's state comes back after playback.
  HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Sans");
  SelectObject(played.dc, font);
  SetTextColor(played.dc, RGB(9, 8, 7));
  SetBkMode(played.dc, TRANSPARENT);
  RECT to{0, 0, kMetaW, kMetaH};
  ASSERT_TRUE(PlayEnhMetaFile(played.dc, mf, &to));
  EXPECT_EQ(GetCurrentObject(played.dc, OBJ_FONT), font);
  EXPECT_EQ(GetTextColor(played.dc), RGB(9, 8, 7));
  EXPECT_EQ(GetBkMode(played.dc), TRANSPARENT);
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(played.dc, clip), 0) << "no clip left behind";
  DeleteObject(clip);
  int differ = 0;
  for (int y = 0; y < kMetaH; ++y)
    for (int x = 0; x < kMetaW; ++x) differ += direct.Rgb(x, y) != played.Rgb(x, y);
  EXPECT_EQ(differ, 0);
  WriteOpaquePng("gdi_metafile_direct.png", direct.bits, kMetaW, kMetaH);
  WriteOpaquePng("gdi_metafile_played.png", played.bits, kMetaW, kMetaH);
  DeleteEnhMetaFile(mf);
  DeleteObject(font);
}

TEST(GdiMetafileTest, PlaybackMapsTheFrameOntoTheRectangle) {
  HENHMETAFILE mf = RecordScene();
  ASSERT_NE(mf, nullptr);
  // Half size, moved: the blue square (10,10)-(60,40) lands at
  // (105,55)-(130,70).
  TDibCanvas c(kMetaW, kMetaH, 0);
  RECT to{100, 50, 100 + kMetaW / 2, 50 + kMetaH / 2};
  ASSERT_TRUE(PlayEnhMetaFile(c.dc, mf, &to));
  EXPECT_EQ(c.Rgb(110, 60), 0x283CC8u) << "the blue square, halved and moved";
  EXPECT_EQ(c.Rgb(104, 54), 0xFFFFFFu) << "the white fill starts at the rectangle";
  EXPECT_EQ(c.Rgb(131, 60), 0xFFFFFFu) << "the blue square ends at half its width";
  EXPECT_EQ(c.CountNot(0, 0, 0, 100, kMetaH, 0xFFFFFF), 0) << "nothing left of the rectangle";
  EXPECT_EQ(c.CountNot(0, 0, 0, kMetaW, 50, 0xFFFFFF), 0) << "nothing above it";
  EXPECT_EQ(c.CountNot(0xFFFFFF, 100, 50, 103, 110, 0xFFFFFF), 0) << "the white fill reaches the rectangle's edge";
  WriteOpaquePng("gdi_metafile_half.png", c.bits, kMetaW, kMetaH);
  DeleteEnhMetaFile(mf);
}

TEST(GdiMetafileTest, StateOnlyChangedAndRestoredLeavesNoRecords) {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  SaveDC(dc);
  SetTextColor(dc, RGB(255, 0, 0));
  SetViewportOrgEx(dc, 5, 5, nullptr);
  RestoreDC(dc, -1);
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  RECT r{0, 0, 4, 4};
  FillRect(dc, &r, b);
  FillRect(dc, &r, b);
  DeleteObject(b);
  HENHMETAFILE mf = CloseEnhMetaFile(dc);
  const std::vector<DWORD> types = RecordTypes(mf);
  EXPECT_EQ(Count(types, EMR_SETTEXTCOLOR), 0);
  EXPECT_EQ(Count(types, EMR_SETVIEWPORTORGEX), 0);
  EXPECT_EQ(Count(types, EMR_CREATEBRUSHINDIRECT), 1) << "the same brush is created once";
  EXPECT_EQ(Count(types, EMR_BITBLT), 2);
  DeleteEnhMetaFile(mf);
}

TEST(GdiMetafileTest, BitsRoundTripAndCopies) {
  HENHMETAFILE mf = RecordScene();
  const UINT size = GetEnhMetaFileBits(mf, 0, nullptr);
  std::vector<BYTE> bits(size);
  EXPECT_EQ(GetEnhMetaFileBits(mf, size - 1, bits.data()), 0u) << "too small a buffer";
  ASSERT_EQ(GetEnhMetaFileBits(mf, size, bits.data()), size);
  HENHMETAFILE again = SetEnhMetaFileBits(size, bits.data());
  ASSERT_NE(again, nullptr);
  HENHMETAFILE copy = CopyEnhMetaFileA(again, nullptr);
  ASSERT_NE(copy, nullptr);
  std::vector<BYTE> copied(size);
  ASSERT_EQ(GetEnhMetaFileBits(copy, size, copied.data()), size);
  EXPECT_EQ(copied, bits);
  // Through a file.
  const std::string path = PictureDir() + "gdi_metafile_scene.emf";
  HENHMETAFILE onDisk = CopyEnhMetaFileA(mf, path.c_str());
  ASSERT_NE(onDisk, nullptr);
  HENHMETAFILE read = GetEnhMetaFileA(path.c_str());
  ASSERT_NE(read, nullptr);
  std::vector<BYTE> fromFile(size);
  ASSERT_EQ(GetEnhMetaFileBits(read, size, fromFile.data()), size);
  EXPECT_EQ(fromFile, bits);
  for (HENHMETAFILE h : {mf, again, copy, onDisk, read}) DeleteEnhMetaFile(h);
}

TEST(GdiMetafileTest, RecordingToAFileWritesItWhenClosed) {
  const std::string path = PictureDir() + "gdi_metafile_recorded.emf";
  std::remove(path.c_str());
  HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), nullptr, nullptr);
  Rectangle(dc, 0, 0, 10, 10);
  HENHMETAFILE mf = CloseEnhMetaFile(dc);
  ASSERT_NE(mf, nullptr);
  HENHMETAFILE read = GetEnhMetaFileA(path.c_str());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(GetEnhMetaFileBits(read, 0, nullptr), GetEnhMetaFileBits(mf, 0, nullptr));
  DeleteEnhMetaFile(mf);
  DeleteEnhMetaFile(read);
}

TEST(GdiMetafileTest, AGivenFrameIsKept) {
  RECT frame{0, 0, 5000, 2500};  // 50 by 25 mm
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  HENHMETAFILE mf = CloseEnhMetaFile(dc);
  ENHMETAHEADER h{};
  GetEnhMetaFileHeader(mf, sizeof h, &h);
  EXPECT_EQ(h.rclFrame, frame);
  EXPECT_EQ(h.nRecords, 2u) << "header and end only";
  DeleteEnhMetaFile(mf);
}

// The metafile's bytes with a change; offsets are of the whole file.
std::vector<BYTE> SceneBits() {
  HENHMETAFILE mf = RecordScene();
  std::vector<BYTE> bits(GetEnhMetaFileBits(mf, 0, nullptr));
  GetEnhMetaFileBits(mf, static_cast<UINT>(bits.size()), bits.data());
  DeleteEnhMetaFile(mf);
  return bits;
}

uint32_t MetaGet32(const std::vector<BYTE>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
void Put32(std::vector<BYTE>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

// Offset of the first record of a type.
size_t FindRecord(const std::vector<BYTE>& b, DWORD type) {
  for (size_t at = 0; at + 8 <= b.size(); at += MetaGet32(b, at + 4))
    if (MetaGet32(b, at) == type) return at;
  return SIZE_MAX;
}

TEST(GdiMetafileTest, MalformedBitsAreRefused) {
  const std::vector<BYTE> good = SceneBits();
  const size_t firstAfterHeader = MetaGet32(good, 4);
  const struct {
    const char* Name;
    void (*Spoil)(std::vector<BYTE>&, size_t);
  } cases[] = {
      {"cut short", [](std::vector<BYTE>& b, size_t) { b.resize(b.size() - 4); }},
      {"header only", [](std::vector<BYTE>& b, size_t) { b.resize(MetaGet32(b, 4)); }},
      {"too short for a header", [](std::vector<BYTE>& b, size_t) { b.resize(40); }},
      {"not a header first", [](std::vector<BYTE>& b, size_t) { Put32(b, 0, EMR_EOF); }},
      {"wrong signature", [](std::vector<BYTE>& b, size_t) { Put32(b, 40, 0x12345678); }},
      {"record runs past the end", [](std::vector<BYTE>& b, size_t at) { Put32(b, at + 4, 0x7FFFFFF0); }},
      {"record size not whole words", [](std::vector<BYTE>& b, size_t at) { Put32(b, at + 4, MetaGet32(b, at + 4) + 2); }},
      {"record of zero size", [](std::vector<BYTE>& b, size_t at) { Put32(b, at + 4, 0); }},
      {"record count wrong", [](std::vector<BYTE>& b, size_t) { Put32(b, 52, MetaGet32(b, 52) + 1); }},
      {"byte count past the data", [](std::vector<BYTE>& b, size_t) { Put32(b, 48, MetaGet32(b, 48) + 4); }},
      {"no end record", [](std::vector<BYTE>& b, size_t) { Put32(b, b.size() - 20, EMR_SETBKMODE); }},
      {"description past the header", [](std::vector<BYTE>& b, size_t) { Put32(b, 60, 4000); }},
  };
  for (const auto& c : cases) {
    std::vector<BYTE> bits = good;
    c.Spoil(bits, firstAfterHeader);
    HENHMETAFILE mf = SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
    EXPECT_EQ(mf, nullptr) << c.Name;
    if (mf) DeleteEnhMetaFile(mf);
  }
  EXPECT_EQ(SetEnhMetaFileBits(0, nullptr), nullptr);
}

TEST(GdiMetafileTest, HostileFieldsInsideRecordsDrawNothingWrong) {
  const std::vector<BYTE> good = SceneBits();
  // Each spoils a field inside a well-sized record; playback must skip or
  // clamp it without reading past the record.
  const struct {
    const char* Name;
    DWORD Type;
    size_t Field;
    uint32_t Value;
  } cases[] = {
      {"text longer than its record", EMR_EXTTEXTOUTW, 44, 0x40000000},
      {"string offset past the record", EMR_EXTTEXTOUTW, 48, 0xFFFFFFF0},
      {"advances offset past the record", EMR_EXTTEXTOUTW, 72, 0xFFFFFF00},
      {"bitmap header offset past the record", EMR_STRETCHBLT, 84, 0xFFFFFFF0},
      {"bitmap bits too few", EMR_STRETCHBLT, 96, 4},
      {"bitmap info size huge", EMR_STRETCHDIBITS, 52, 0x7FFFFFFF},
      {"object index beyond the table", EMR_SELECTOBJECT, 8, 60000},
      {"created object beyond the table", EMR_CREATEPEN, 8, 60000},
      {"clip data larger than the record", EMR_EXTSELECTCLIPRGN, 8, 0x10000},
      {"clip rectangles more than the data", EMR_EXTSELECTCLIPRGN, 24, 0x10000000},
      {"pattern bits offset past the record", EMR_CREATEDIBPATTERNBRUSHPT, 24, 0xFFFFFF00},
  };
  for (const auto& c : cases) {
    std::vector<BYTE> bits = good;
    const size_t at = FindRecord(bits, c.Type);
    ASSERT_NE(at, SIZE_MAX) << c.Name;
    if (c.Field + 4 > MetaGet32(bits, at + 4)) continue;
    Put32(bits, at + c.Field, c.Value);
    HENHMETAFILE mf = SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
    ASSERT_NE(mf, nullptr) << c.Name << ": the records are still whole";
    TDibCanvas canvas(kMetaW, kMetaH, 0);
    RECT to{0, 0, kMetaW, kMetaH};
    EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, mf, &to)) << c.Name;
    DeleteEnhMetaFile(mf);
  }
  // A bitmap whose header claims a huge image is not allocated.
  std::vector<BYTE> bits = good;
  const size_t at = FindRecord(bits, EMR_STRETCHDIBITS);
  const uint32_t offBmi = MetaGet32(bits, at + 48);
  Put32(bits, at + offBmi + 4, 0x7FFFFFFF);
  Put32(bits, at + offBmi + 8, 0x7FFFFFFF);
  HENHMETAFILE mf = SetEnhMetaFileBits(static_cast<UINT>(bits.size()), bits.data());
  ASSERT_NE(mf, nullptr);
  TDibCanvas canvas(kMetaW, kMetaH, 0);
  RECT to{0, 0, kMetaW, kMetaH};
  EXPECT_TRUE(PlayEnhMetaFile(canvas.dc, mf, &to));
  DeleteEnhMetaFile(mf);
}

TEST(GdiMetafileTest, TextOfAFontAsWideAsIntAllowsKeepsItsBounds) {
  // The line's box reaches past the range of int to the right or left
  // of the reference point; the bounds keep the part inside it instead of
  // wrapping to an empty box.
  const struct {
    const char* Name;
    UINT Align;
  } cases[] = {{"left", TA_LEFT}, {"right", TA_RIGHT}, {"centre", TA_CENTER}};
  for (const auto& c : cases) {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    HFONT font = CreateFontA(1600000000, 1850000000, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextAlign(dc, c.Align);
    const std::u16string line(200, u'W');
    EXPECT_TRUE(ExtTextOutW(dc, 400, 300, 0, nullptr, line.c_str(), 200, nullptr)) << c.Name;
    SelectObject(dc, old);
    DeleteObject(font);
    HENHMETAFILE mf = CloseEnhMetaFile(dc);
    ASSERT_NE(mf, nullptr) << c.Name;
    ENHMETAHEADER h{};
    ASSERT_EQ(GetEnhMetaFileHeader(mf, sizeof h, &h), sizeof h);
    // Inclusive bounds around the reference point, the line's length wide.
    EXPECT_LE(h.rclBounds.Left, 400) << c.Name;
    EXPECT_GE(h.rclBounds.Right, 399) << c.Name;
    EXPECT_GT(int64_t(h.rclBounds.Right) - h.rclBounds.Left, 1'000'000'000) << c.Name;
    DeleteEnhMetaFile(mf);
  }
}

TEST(GdiMetafileTest, EnumerationStopsWhenTheCallbackSaysSoAndPlaysRecordsItHandsBack) {
  HENHMETAFILE mf = RecordScene();
  int seen = 0;
  EXPECT_FALSE(EnumEnhMetaFile(
      nullptr, mf, [](HDC, HANDLETABLE*, const ENHMETARECORD*, int, LPARAM data) { return ++*reinterpret_cast<int*>(data) < 3 ? 1 : 0; },
      &seen, nullptr));
  EXPECT_EQ(seen, 3);
  // Playing every record through the callback draws the picture.
  TDibCanvas direct(kMetaW, kMetaH, 0);
  Scene(direct.dc);
  TDibCanvas played(kMetaW, kMetaH, 0);
  RECT to{0, 0, kMetaW, kMetaH};
  EXPECT_TRUE(EnumEnhMetaFile(
      played.dc, mf,
      [](HDC dc, HANDLETABLE* table, const ENHMETARECORD* r, int n, LPARAM) {
        return PlayEnhMetaFileRecord(dc, table, r, static_cast<UINT>(n)) ? 1 : 0;
      },
      nullptr, &to));
  int differ = 0;
  for (int y = 0; y < kMetaH; ++y)
    for (int x = 0; x < kMetaW; ++x) differ += direct.Rgb(x, y) != played.Rgb(x, y);
  EXPECT_EQ(differ, 0);
  DeleteEnhMetaFile(mf);
}

TEST(GdiMetafileTest, PlayingIntoARecordingDCRecordsThePictureAgain) {
  HENHMETAFILE mf = RecordScene();
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  RECT to{0, 0, kMetaW, kMetaH};
  ASSERT_TRUE(PlayEnhMetaFile(dc, mf, &to));
  HENHMETAFILE again = CloseEnhMetaFile(dc);
  TDibCanvas a(kMetaW, kMetaH, 0), b(kMetaW, kMetaH, 0);
  PlayEnhMetaFile(a.dc, mf, &to);
  PlayEnhMetaFile(b.dc, again, &to);
  int differ = 0;
  for (int y = 0; y < kMetaH; ++y)
    for (int x = 0; x < kMetaW; ++x) differ += a.Rgb(x, y) != b.Rgb(x, y);
  EXPECT_EQ(differ, 0);
  DeleteEnhMetaFile(mf);
  DeleteEnhMetaFile(again);
}

TEST(GdiMetafileTest, DeletingARecordingDCDropsItsRecording) {
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  Rectangle(dc, 0, 0, 5, 5);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(CloseEnhMetaFile(dc), nullptr);
  // Ordinary DCs draw again without looking for a recording.
  TDibCanvas c(4, 4, 0);
  RECT r{0, 0, 4, 4};
  FillRect(c.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(c.Rgb(1, 1), 0xFFFFFFu);
}

// ---- Blits whose source rectangle reaches past the source ------------------

constexpr int kCanvasW = 64, kCanvasH = 48;

enum class TBlitCall { Bit, Stretch, StretchDIBits, DIBitsToDevice };

struct TOutsideBlit {
  const char* Name;
  TBlitCall Call;
  int X, Y, W, H;      // destination
  int XS = 0, YS = 0, WS = 0, HS = 0;  // source (WS, HS unused by BitBlt and SetDIBitsToDevice)
  DWORD Rop = SRCCOPY;
  int Mode = COLORONCOLOR;
  POINT SourceOrg{};   // the source DC's viewport origin
  int SourceScale = 1;  // device pixels per logical unit of the source DC
  bool BottomUp = false;  // the DIB data's row order
};

// An 8 x 8 image, every pixel its own colour, as a DIB section in a memory
// DC and as DIB data.
struct TEightByEight {
  HBITMAP Bitmap = nullptr;
  uint32_t* Bits = nullptr;
  HDC DC = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t Data[64];
  BITMAPINFO Info{};
  explicit TEightByEight(const TOutsideBlit& c) {
    Bitmap = TestDib32(8, 8, &Bits);
    for (int i = 0; i < 64; ++i) Bits[i] = 0x00100000u * uint32_t(i % 8 + 4) + 0x00001000u * uint32_t(i / 8 + 4) + 0x40u;
    DC = CreateCompatibleDC(nullptr);
    Old = SelectObject(DC, Bitmap);
    SetViewportOrgEx(DC, c.SourceOrg.X, c.SourceOrg.Y, nullptr);
    if (c.SourceScale != 1) {
      SetMapMode(DC, MM_ANISOTROPIC);
      SetWindowExtEx(DC, 1, 1, nullptr);
      SetViewportExtEx(DC, c.SourceScale, c.SourceScale, nullptr);
    }
    for (int y = 0; y < 8; ++y) std::memcpy(Data + 8 * y, Bits + 8 * (c.BottomUp ? 7 - y : y), 32);
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = 8;
    Info.bmiHeader.biHeight = c.BottomUp ? 8 : -8;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
  }
  ~TEightByEight() {
    SelectObject(DC, Old);
    DeleteDC(DC);
    DeleteObject(Bitmap);
  }
};

// The canvas in two colours, then the blit; its result.
int OutsideBlitScene(HDC dc, const TOutsideBlit& c) {
  RECT all{0, 0, kCanvasW, kCanvasH}, half{0, kCanvasH / 2, kCanvasW, kCanvasH};
  HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90)), teal = CreateSolidBrush(RGB(0, 128, 128));
  FillRect(dc, &all, grey);
  FillRect(dc, &half, teal);
  HBRUSH pattern = CreateSolidBrush(RGB(200, 120, 40));
  HGDIOBJ oldBrush = SelectObject(dc, pattern);
  SetStretchBltMode(dc, c.Mode);
  TEightByEight image(c);
  int result = 0;
  switch (c.Call) {
    case TBlitCall::Bit: result = BitBlt(dc, c.X, c.Y, c.W, c.H, image.DC, c.XS, c.YS, c.Rop); break;
    case TBlitCall::Stretch:
      result = StretchBlt(dc, c.X, c.Y, c.W, c.H, image.DC, c.XS, c.YS, c.WS, c.HS, c.Rop);
      break;
    case TBlitCall::StretchDIBits:
      result = StretchDIBits(dc, c.X, c.Y, c.W, c.H, c.XS, c.YS, c.WS, c.HS, image.Data, &image.Info, DIB_RGB_COLORS,
                             c.Rop);
      break;
    case TBlitCall::DIBitsToDevice:
      result = SetDIBitsToDevice(dc, c.X, c.Y, DWORD(c.W), DWORD(c.H), c.XS, c.YS, 0, 8, image.Data, &image.Info,
                                 DIB_RGB_COLORS);
      break;
  }
  SelectObject(dc, oldBrush);
  DeleteObject(pattern);
  DeleteObject(grey);
  DeleteObject(teal);
  return result;
}

TEST(GdiMetafileTest, BlitsReachingPastTheirSourceRecordOnlyThePixelsDrawn) {
  using enum TBlitCall;
  constexpr int kMillion = 1000000;
  const TOutsideBlit cases[] = {
      // Unstretched, reaching past one side, all sides or none.
      {"past the left", Bit, 10, 10, 8, 8, -3, 0},
      {"past the top", Bit, 10, 10, 8, 8, 0, -3},
      {"past the right", Bit, 10, 10, 8, 8, 5, 0},
      {"past the bottom", Bit, 10, 10, 8, 8, 2, 6},
      {"past every side", Bit, 10, 10, 14, 14, -3, -3},
      {"nowhere over the source", Bit, 10, 10, 8, 8, 9, 0},
      {"millions of rows", Bit, 20, -7 * kMillion / 2, 8, 7 * kMillion, 0, -7 * kMillion / 2},
      {"millions of columns", Bit, -5 * kMillion, 20, 10 * kMillion, 8, -5 * kMillion - 4, 0},
      {"millions on every side", Bit, -100 * kMillion, -100 * kMillion, 200 * kMillion, 200 * kMillion,
       -100 * kMillion - 30, -100 * kMillion - 20},
      {"millions of rows, none over the source", Bit, 0, -7 * kMillion / 2, 8, 7 * kMillion, 8, -7 * kMillion / 2},
      {"with the destination", Bit, 10, 10, 14, 14, -3, -3, SRCINVERT},
      {"with the brush", Bit, 10, 10, 14, 14, -3, -3, MERGECOPY},
      {"with the brush and the destination", Bit, 10, 10, 14, 14, -3, -3, 0x00B8074Au},
      {"no source, millions of rows", Bit, 20, -7 * kMillion / 2, 8, 7 * kMillion, 0, 0, 0, 0, PATINVERT},
      {"no source, inverted", Bit, 10, 10, 14, 14, -3, -3, 0, 0, DSTINVERT},
      {"through a moved source origin", Bit, 10, 10, 8, 8, 0, 0, 0, 0, SRCCOPY, COLORONCOLOR, {-3, 2}},
      {"through a scaled source", Bit, 10, 10, 8, 8, -1, 1, 0, 0, SRCCOPY, COLORONCOLOR, {}, 2},
      // Stretched: up, down, by an odd ratio, mirrored, huge either way.
      {"twice as large", Stretch, 10, 10, 20, 20, -2, -2, 10, 10},
      {"shrunk", Stretch, 10, 10, 5, 6, -4, 2, 10, 11},
      {"shrunk, whites kept", Stretch, 10, 10, 5, 6, -4, 2, 10, 11, SRCCOPY, WHITEONBLACK},
      {"shrunk, averaged", Stretch, 10, 10, 5, 6, -4, 2, 10, 11, SRCCOPY, HALFTONE},
      {"by an odd ratio", Stretch, 3, 5, 37, 23, -5, -4, 17, 13},
      {"by an odd ratio, averaged", Stretch, 3, 5, 37, 23, -5, -4, 17, 13, SRCCOPY, HALFTONE},
      {"mirrored", Stretch, 40, 10, -20, 20, -3, 4, 12, 10},
      {"mirrored source", Stretch, 10, 10, 20, 20, 10, 4, -12, -10},
      {"nowhere over the source, stretched", Stretch, 10, 10, 20, 20, -12, 0, 10, 10},
      {"millions of rows shrunk", Stretch, 10, 0, 16, 40, 0, -7 * kMillion / 2, 8, 7 * kMillion},
      {"millions of rows shrunk, averaged", Stretch, 10, 0, 16, 40, 0, -7 * kMillion / 2, 8, 7 * kMillion, SRCCOPY,
       HALFTONE},
      {"millions of rows enlarged", Stretch, 10, -7 * kMillion + 10, 16, 14 * kMillion, 0, -7 * kMillion / 2, 8,
       7 * kMillion},
      {"millions on every side, stretched", Stretch, -100 * kMillion, -100 * kMillion, 200 * kMillion, 200 * kMillion,
       -50 * kMillion - 10, -50 * kMillion - 8, 100 * kMillion, 100 * kMillion},
      {"stretched, with the destination", Stretch, 3, 5, 37, 23, -5, -4, 17, 13, SRCINVERT},
      {"stretched, with the brush", Stretch, 3, 5, 37, 23, -5, -4, 17, 13, MERGECOPY},
      // DIB data, whose source rows count from the bottom.
      {"DIB data past the left and bottom", StretchDIBits, 10, 10, 8, 8, -3, -2, 8, 8},
      {"DIB data past every side", StretchDIBits, 10, 10, 14, 14, -3, -3, 14, 14},
      {"DIB data, bottom-up", StretchDIBits, 10, 10, 14, 14, -3, -3, 14, 14, SRCCOPY, COLORONCOLOR, {}, 1, true},
      {"DIB data stretched", StretchDIBits, 3, 5, 37, 23, -5, -4, 17, 13},
      {"DIB data mirrored", StretchDIBits, 40, 10, -20, 20, -3, 4, 12, 10},
      {"DIB data, millions of rows", StretchDIBits, 20, -7 * kMillion / 2, 8, 7 * kMillion, 0, -7 * kMillion / 2, 8,
       7 * kMillion},
      {"DIB data, millions of rows shrunk", StretchDIBits, 10, 0, 16, 40, 0, -7 * kMillion / 2, 8, 7 * kMillion},
      {"DIB data with the destination", StretchDIBits, 10, 10, 14, 14, -3, -3, 14, 14, SRCINVERT},
      {"DIB data nowhere over the image", StretchDIBits, 10, 10, 8, 8, 0, 9, 8, 8},
      {"DIB data to the device", DIBitsToDevice, 10, 10, 14, 14, -3, -3, 0, 0, SRCCOPY, COLORONCOLOR, {}, 1, true},
      // Its ySrc counts from the top of a top-down image.
      {"top-down DIB data to the device", DIBitsToDevice, 10, 10, 6, 5, 1, 2},
      {"top-down DIB data to the device, past the bottom", DIBitsToDevice, 10, 10, 8, 8, -2, 3},
      {"bottom-up DIB data to the device, lower rows", DIBitsToDevice, 10, 10, 6, 5, 1, 2, 0, 0, SRCCOPY, COLORONCOLOR,
       {}, 1, true},
      {"DIB data to the device, millions of rows", DIBitsToDevice, 20, -7 * kMillion / 2, 8, 7 * kMillion, 0,
       -7 * kMillion / 2, 0, 0, SRCCOPY, COLORONCOLOR, {}, 1, true},
  };
  TDibCanvas probe(1, 1);
  // The frame of the canvas in the reference device's pixels: playback at
  // one to one, however far the recorded bounds reach.
  const double mmPerPixelX = double(GetDeviceCaps(probe.dc, HORZSIZE)) / GetDeviceCaps(probe.dc, HORZRES);
  const double mmPerPixelY = double(GetDeviceCaps(probe.dc, VERTSIZE)) / GetDeviceCaps(probe.dc, VERTRES);
  const RECT frame{0, 0, int(std::lround(kCanvasW * 100 * mmPerPixelX)), int(std::lround(kCanvasH * 100 * mmPerPixelY))};
  for (const TOutsideBlit& c : cases) {
    SCOPED_TRACE(c.Name);
    TDibCanvas direct(kCanvasW, kCanvasH);
    const int drawn = OutsideBlitScene(direct.dc, c);
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(OutsideBlitScene(dc, c), drawn) << "the call's result";
    HENHMETAFILE mf = CloseEnhMetaFile(dc);
    ASSERT_NE(mf, nullptr);
    // The image is 256 bytes: never more than it is kept.
    EXPECT_LT(GetEnhMetaFileBits(mf, 0, nullptr), 2048u);
    TDibCanvas played(kCanvasW, kCanvasH);
    RECT to{0, 0, kCanvasW, kCanvasH};
    ASSERT_TRUE(PlayEnhMetaFile(played.dc, mf, &to));
    int differ = 0;
    for (int y = 0; y < kCanvasH; ++y)
      for (int x = 0; x < kCanvasW; ++x) differ += direct.Rgb(x, y) != played.Rgb(x, y);
    EXPECT_EQ(differ, 0);
    DeleteEnhMetaFile(mf);
  }
}


}  // namespace
