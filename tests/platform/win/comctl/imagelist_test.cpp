#include "platform/win/comctl/commctrl.h"
#include "tests/common/dib_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A 32-bit top-down DIB section filled by a function of the pixel.
struct TDib {
  HBITMAP Bitmap = nullptr;
  uint32_t* Bits = nullptr;
  int Width, Height;
  template <class F>
  TDib(int w, int h, F colour) : Width(w), Height(h) {
    Bitmap = TestDib32(w, h, &Bits);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Bits[y * w + x] = colour(x, y);
  }
  ~TDib() { DeleteObject(Bitmap); }
};

// A canvas DC over a DIB.
struct TTarget {
  TDib Dib;
  HDC Dc;
  HGDIOBJ Old;
  TTarget(int w, int h, uint32_t fill) : Dib(w, h, [=](int, int) { return fill; }) {
    Dc = CreateCompatibleDC(nullptr);
    Old = SelectObject(Dc, Dib.Bitmap);
  }
  ~TTarget() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
  }
  uint32_t At(int x, int y) const { return Dib.Bits[y * Dib.Width + x]; }
};

struct TList {
  HIMAGELIST List;
  TList(int cx = 4, int cy = 4) : List(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 4, 4)) {}
  ~TList() { ImageList_Destroy(List); }
  operator HIMAGELIST() const { return List; }
};

int Channel(uint32_t p, int shift) { return int((p >> shift) & 0xFF); }

TEST(ImageListTest, GlyphsWithAlphaBlendOverTheTarget) {
  TList list;
  // Premultiplied half-transparent red, as 32-bit glyphs are kept.
  TDib glyph(4, 4, [](int, int) { return 0x80800000u; });
  ASSERT_EQ(ImageList_Add(list, glyph.Bitmap, nullptr), 0);
  TTarget t(8, 8, 0xFFFFFFFFu);
  ASSERT_TRUE(ImageList_Draw(list, 0, t.Dc, 2, 2, ILD_TRANSPARENT));
  uint32_t p = t.At(3, 3);
  EXPECT_EQ(Channel(p, 24), 255);
  EXPECT_NEAR(Channel(p, 16), 255, 1) << "red kept";
  EXPECT_NEAR(Channel(p, 8), 127, 1) << "white shows through half";
  EXPECT_EQ(t.At(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(6, 6), 0xFFFFFFFFu);
}

TEST(ImageListTest, MaskedImagesShowTheBackgroundOrTheListColour) {
  TList list;
  // Magenta marks the transparent pixels of a picture without alpha.
  TDib picture(4, 4, [](int x, int) { return x < 2 ? 0x00FF00FFu : 0x000000FFu; });
  ASSERT_EQ(ImageList_AddMasked(list, picture.Bitmap, RGB(255, 0, 255)), 0);
  TTarget t(4, 4, 0xFF00FF00u);
  ImageList_Draw(list, 0, t.Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(t.At(0, 0), 0xFF00FF00u) << "transparent: the target stays";
  EXPECT_EQ(t.At(3, 0) & 0xFFFFFF, 0x0000FFu);
  ImageList_SetBkColor(list, RGB(10, 20, 30));
  ImageList_Draw(list, 0, t.Dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(t.At(0, 0) & 0xFFFFFF, 0x0A141Eu) << "normal: the list's background colour";
  IMAGEINFO info{};
  ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info));
  BITMAP bm{};
  GetObject(info.hbmImage, sizeof bm, &bm);
  EXPECT_EQ(static_cast<uint32_t*>(bm.bmBits)[0], 0u) << "masked pixels are black in the image";
}

TEST(ImageListTest, BlendStylesMixInTheForegroundColour) {
  struct TCase {
    UINT Style;
    int Green;  // of a black pixel blended with pure green
  };
  TList list;
  TDib black(4, 4, [](int, int) { return 0x00000000u; });
  ImageList_Add(list, black.Bitmap, nullptr);
  for (TCase c : {TCase{ILD_NORMAL, 0}, TCase{ILD_BLEND25, 64}, TCase{ILD_BLEND50, 128}}) {
    TTarget t(4, 4, 0xFFFFFFFFu);
    ASSERT_TRUE(ImageList_DrawEx(list, 0, t.Dc, 0, 0, 0, 0, CLR_NONE, RGB(0, 255, 0), c.Style));
    EXPECT_NEAR(Channel(t.At(1, 1), 8), c.Green, 1) << c.Style;
    EXPECT_EQ(Channel(t.At(1, 1), 16), 0) << c.Style;
  }
  // With no foreground colour the image turns partly transparent.
  TTarget t(4, 4, 0xFFFFFFFFu);
  ImageList_DrawEx(list, 0, t.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_BLEND50);
  EXPECT_NEAR(Channel(t.At(1, 1), 16), 128, 1);
}

TEST(ImageListTest, StripsAreFourImagesWide) {
  TList list(3, 2);
  // Five images in one strip, each a colour of its own.
  TDib strip(15, 2, [](int x, int) { return 0xFF000000u | uint32_t(x / 3 + 1); });
  ASSERT_EQ(ImageList_Add(list, strip.Bitmap, nullptr), 0);
  ASSERT_EQ(ImageList_GetImageCount(list), 5);
  IMAGEINFO info{};
  ASSERT_TRUE(ImageList_GetImageInfo(list, 4, &info));
  EXPECT_EQ(info.rcImage, RECT(0, 2, 3, 4));
  ASSERT_TRUE(ImageList_GetImageInfo(list, 2, &info));
  EXPECT_EQ(info.rcImage, RECT(6, 0, 9, 2));
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(info.hbmImage, sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmWidth, 12);
  auto* bits = static_cast<uint32_t*>(ds.dsBm.bmBits);
  EXPECT_EQ(bits[6], 0xFF000003u) << "pixel-exact";
  EXPECT_EQ(bits[2 * 12], 0xFF000005u);
  EXPECT_NE(info.hbmMask, nullptr);
  EXPECT_FALSE(ImageList_GetImageInfo(list, 5, &info));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  EXPECT_EQ(cx, 3);
  EXPECT_EQ(cy, 2);
}

TEST(ImageListTest, RemoveReplaceAndCount) {
  TList list;
  TDib a(4, 4, [](int, int) { return 0xFF0000AAu; }), b(8, 4, [](int, int) { return 0xFF0000BBu; });
  ImageList_Add(list, a.Bitmap, nullptr);
  ImageList_Add(list, b.Bitmap, nullptr);
  ASSERT_EQ(ImageList_GetImageCount(list), 3);
  ASSERT_TRUE(ImageList_Remove(list, 0));
  EXPECT_FALSE(ImageList_Remove(list, 5));
  TTarget t(4, 4, 0);
  ImageList_Draw(list, 0, t.Dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(t.At(0, 0), 0xFF0000BBu);
  ASSERT_TRUE(ImageList_Replace(list, 1, a.Bitmap, nullptr));
  ImageList_Draw(list, 1, t.Dc, 0, 0, ILD_NORMAL);
  EXPECT_EQ(t.At(0, 0), 0xFF0000AAu);
  EXPECT_FALSE(ImageList_Replace(list, 2, a.Bitmap, nullptr));
  ASSERT_TRUE(ImageList_RemoveAll(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  EXPECT_FALSE(ImageList_Draw(list, 0, t.Dc, 0, 0, ILD_NORMAL));
  TDib narrow(3, 4, [](int, int) { return 0u; });
  EXPECT_EQ(ImageList_Add(list, narrow.Bitmap, nullptr), -1) << "narrower than one image";
}

TEST(ImageListTest, OverlaysAndIcons) {
  TList list;
  TDib base(4, 4, [](int, int) { return 0xFF0000FFu; });
  TDib badge(4, 4, [](int x, int y) { return x == 3 && y == 3 ? 0xFFFF0000u : 0u; });
  ImageList_Add(list, base.Bitmap, nullptr);
  ImageList_Add(list, badge.Bitmap, nullptr);
  ASSERT_TRUE(ImageList_SetOverlayImage(list, 1, 1));
  TTarget t(4, 4, 0);
  ImageList_Draw(list, 0, t.Dc, 0, 0, ILD_NORMAL | INDEXTOOVERLAYMASK(1));
  EXPECT_EQ(t.At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(t.At(3, 3), 0xFFFF0000u);

  HICON icon = ImageList_GetIcon(list, 1, ILD_NORMAL);
  ASSERT_NE(icon, nullptr);
  ASSERT_EQ(ImageList_AddIcon(list, icon), 2);
  TTarget u(4, 4, 0xFF00FF00u);
  ImageList_Draw(list, 2, u.Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(u.At(3, 3), 0xFFFF0000u);
  EXPECT_EQ(u.At(0, 0), 0xFF00FF00u);
  DestroyIcon(icon);
}

// Writes a list into memory through the stream adapter.
std::string Written(HIMAGELIST list) {
  TMemoryStream m;
  auto* a = new TStreamAdapter(&m);
  a->AddRef();
  EXPECT_TRUE(ImageList_Write(list, a));
  a->Release();
  return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

HIMAGELIST ReadFrom(const std::string& data) {
  TMemoryStream m;
  if (!data.empty()) m.WriteBuffer(data.data(), static_cast<Integer>(data.size()));
  m.SetPosition(0);
  auto* a = new TStreamAdapter(&m);
  a->AddRef();
  HIMAGELIST l = ImageList_Read(a);
  a->Release();
  return l;
}

TEST(ImageListTest, WriteAndReadKeepImagesExactly) {
  TList list(3, 3);
  TDib glyphs(9, 3, [](int x, int y) { return x < 3 ? 0x80402010u : 0xFF000000u | uint32_t(x * 16 + y); });
  ImageList_Add(list, glyphs.Bitmap, nullptr);
  TDib masked(3, 3, [](int x, int) { return x == 1 ? 0x00FF00FFu : 0x00123456u; });
  ImageList_AddMasked(list, masked.Bitmap, RGB(255, 0, 255));
  ImageList_SetBkColor(list, RGB(1, 2, 3));
  std::string data = Written(list);
  HIMAGELIST back = ReadFrom(data);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(back), 4);
  EXPECT_EQ(ImageList_GetBkColor(back), RGB(1, 2, 3));
  EXPECT_EQ(Written(back), data) << "the same lists write the same bytes";
  TTarget t(3, 3, 0xFF00FF00u);
  ImageList_Draw(back, 3, t.Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(t.At(1, 1), 0xFF00FF00u) << "the mask came back";
  EXPECT_EQ(t.At(0, 1) & 0xFFFFFF, 0x123456u);
  ImageList_Destroy(back);

  // Anything else is refused, never half read.
  EXPECT_EQ(ReadFrom(""), nullptr);
  EXPECT_EQ(ReadFrom(data.substr(0, data.size() - 1)), nullptr);
  std::string bad = data;
  bad[6] = char(0xFF);  // more images than room for them
  EXPECT_EQ(ReadFrom(bad), nullptr);
  EXPECT_EQ(ReadFrom(std::string(64, 'x')), nullptr);
}

TEST(ImageListTest, HandlesAreCheckedAndInitialisationAnswers) {
  HIMAGELIST l = ImageList_Create(4, 4, ILC_COLOR32, 1, 1);
  ASSERT_TRUE(ImageList_Destroy(l));
  EXPECT_FALSE(ImageList_Destroy(l));
  EXPECT_EQ(ImageList_GetImageCount(l), 0);
  EXPECT_EQ(ImageList_Create(0, 4, ILC_COLOR32, 1, 1), nullptr);
  HIMAGELIST copy = nullptr;
  {
    TList list;
    TDib a(4, 4, [](int, int) { return 0xFF010203u; });
    ImageList_Add(list, a.Bitmap, nullptr);
    copy = ImageList_Duplicate(list);
  }
  EXPECT_EQ(ImageList_GetImageCount(copy), 1);
  ImageList_Destroy(copy);
  InitCommonControls();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&icc));
  icc.dwSize = 4;
  EXPECT_FALSE(InitCommonControlsEx(&icc));
}

}  // namespace
