#include "platform/forms/image_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/forms/icon.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

// A 32-bit bitmap of one colour, fully opaque.
void Solid(TBitmap& bmp, COLORREF color, int w = 16, int h = 16) {
  bmp.SetPixelFormat(pf32bit);
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<uint32_t*>(bmp.ScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = PixelOf(color, 0xFF);
  }
}

class ImageListTest : public ::testing::Test {
 protected:
  TImageList list{nullptr};
  TTestDib dib{64, 40, PixelOf(clLime)};
  TCanvas canvas;
  void SetUp() override { canvas.SetHandle(dib.dc); }
  void TearDown() override { canvas.SetHandle(nullptr); }

  void AddSolid(COLORREF color) {
    TBitmap bmp;
    Solid(bmp, color);
    list.Add(&bmp, nullptr);
  }
  // The colours of the images, drawn one by one.
  std::vector<COLORREF> Colors() {
    std::vector<COLORREF> r;
    for (Integer i = 0; i < list.Count(); ++i) {
      list.Draw(&canvas, 0, 0, i);
      r.push_back(dib.Color(8, 8));
    }
    return r;
  }
};

TEST_F(ImageListTest, DrawsThirtyTwoBitGlyphsWithTheirAlpha) {
  TBitmap glyph;
  Solid(glyph, clRed);
  for (int y = 0; y < 16; ++y) {
    auto* row = static_cast<uint32_t*>(glyph.ScanLine(y));
    for (int x = 8; x < 16; ++x) row[x] = 0;  // transparent right half
  }
  static_cast<uint32_t*>(glyph.ScanLine(4))[4] = 0x80000080u;  // half-transparent blue, premultiplied
  EXPECT_EQ(list.Add(&glyph, nullptr), 0);
  list.Draw(&canvas, 10, 10, 0);
  EXPECT_EQ(dib.Color(12, 12), static_cast<COLORREF>(clRed));
  EXPECT_EQ(dib.Color(20, 12), static_cast<COLORREF>(clLime));
  COLORREF half = dib.Color(14, 14);
  EXPECT_NEAR(GetRValue(half), 0, 1);
  EXPECT_NEAR(GetGValue(half), 127, 1);
  EXPECT_NEAR(GetBValue(half), 128, 1);
}

TEST_F(ImageListTest, MaskedImagesShowTheBackgroundOrTheListsColour) {
  TBitmap bmp(16, 16);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
  bmp.Canvas()->Brush()->SetColor(clBlue);
  bmp.Canvas()->FillRect(Rect(4, 4, 12, 12));
  list.AddMasked(&bmp, clFuchsia);
  list.Draw(&canvas, 0, 0, 0);
  EXPECT_EQ(dib.Color(1, 1), static_cast<COLORREF>(clLime));
  EXPECT_EQ(dib.Color(6, 6), static_cast<COLORREF>(clBlue));
  list.SetBkColor(clYellow);
  list.Draw(&canvas, 20, 0, 0);
  EXPECT_EQ(dib.Color(21, 1), static_cast<COLORREF>(clYellow));
  list.Draw(&canvas, 40, 0, 0, dsTransparent, itImage);
  EXPECT_EQ(dib.Color(41, 1), static_cast<COLORREF>(clLime)) << "transparent drawing ignores the colour";
}

TEST_F(ImageListTest, DisabledImagesAreEmbossedAndLeaveTheCanvasAsItWas) {
  TBitmap bmp(16, 16);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(4, 4, 8, 8));
  list.AddMasked(&bmp, clFuchsia);
  canvas.Brush()->SetColor(clAqua);
  list.Draw(&canvas, 10, 10, 0, false);
  EXPECT_EQ(dib.Color(15, 15), ColorToRGB(clBtnShadow));
  EXPECT_EQ(dib.Color(18, 18), ColorToRGB(clBtnHighlight)) << "one pixel down and right";
  EXPECT_EQ(dib.Color(11, 11), static_cast<COLORREF>(clLime));
  EXPECT_EQ(canvas.Brush()->Color(), clAqua);
}

TEST_F(ImageListTest, OrderChangesKeepEachImage) {
  for (COLORREF c : {clRed, clBlue, clYellow, clAqua}) AddSolid(c);
  list.Move(0, 2);
  EXPECT_EQ(Colors(), (std::vector<COLORREF>{clBlue, clYellow, clRed, clAqua}));
  list.Move(3, 0);
  EXPECT_EQ(Colors(), (std::vector<COLORREF>{clAqua, clBlue, clYellow, clRed}));
  TBitmap white;
  Solid(white, clWhite);
  list.Insert(1, &white, nullptr);
  EXPECT_EQ(Colors(), (std::vector<COLORREF>{clAqua, clWhite, clBlue, clYellow, clRed}));
  list.Delete(0);
  TBitmap black;
  Solid(black, clBlack);
  list.Replace(1, &black, nullptr);
  EXPECT_EQ(Colors(), (std::vector<COLORREF>{clWhite, clBlack, clYellow, clRed}));

  TBitmap keyed(16, 16);
  keyed.Canvas()->Brush()->SetColor(clFuchsia);
  keyed.Canvas()->FillRect(Rect(0, 0, 16, 16));
  list.InsertMasked(0, &keyed, clFuchsia);  // wholly transparent
  list.Move(0, 3);  // white, black, yellow, transparent, red
  std::vector<COLORREF> colors = Colors();
  EXPECT_EQ(colors[3], static_cast<COLORREF>(clYellow)) << "a masked image keeps its mask when it moves";
  EXPECT_EQ(colors[4], static_cast<COLORREF>(clRed));

  for (auto bad : {-2, 5}) {
    try {
      list.Delete(bad);
      ADD_FAILURE() << bad;
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), "Invalid ImageList Index");
    }
  }
  EXPECT_THROW(list.Move(0, 5), EInvalidOperation);
  EXPECT_THROW(list.Insert(6, &black, nullptr), EInvalidOperation);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageListTest, ChangesReachTheLinksOncePerUpdate) {
  TChangeLink link;
  int changes = 0;
  link.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.RegisterChanges(&link);
  EXPECT_EQ(link.Sender(), &list);
  AddSolid(clRed);
  EXPECT_EQ(changes, 1);
  list.BeginUpdate();
  AddSolid(clBlue);
  AddSolid(clRed);
  list.SetBlendColor(clRed);
  EXPECT_EQ(changes, 1);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  list.SetWidth(24);
  EXPECT_EQ(list.Count(), 0) << "a new size removes the images";
  EXPECT_EQ(changes, 3);
  {
    auto* gone = new TChangeLink;
    list.RegisterChanges(gone);
    delete gone;  // unregisters itself
  }
  AddSolid(clRed);
  EXPECT_EQ(changes, 4);

  auto* shortLived = new TImageList(nullptr);
  TChangeLink orphan;
  shortLived->RegisterChanges(&orphan);
  delete shortLived;
  EXPECT_EQ(orphan.Sender(), nullptr);
}

TEST_F(ImageListTest, GivesImagesAsBitmapsAndIcons) {
  AddSolid(clBlue);
  TBitmap out;
  EXPECT_TRUE(list.GetBitmap(0, &out));
  EXPECT_EQ(out.Width(), 16);
  EXPECT_EQ(out.Canvas()->Pixels(8, 8), clBlue);
  EXPECT_FALSE(list.GetBitmap(1, &out));
  TIcon icon;
  list.GetIcon(0, &icon);
  EXPECT_EQ(icon.Width(), 16);
  canvas.Draw(30, 10, &icon);
  EXPECT_EQ(dib.Color(38, 18), static_cast<COLORREF>(clBlue));
}

// Exposes the form description's binary value.
class TDataImageList : public TImageList {
 public:
  TDataImageList() : TImageList(nullptr) {}
  using TImageList::ReadData;
  using TImageList::WriteData;
};

TEST_F(ImageListTest, DataRoundTripsAndCopiesAreIndependent) {
  TDataImageList source;
  for (COLORREF c : {clRed, clBlue}) {
    TBitmap bmp;
    Solid(bmp, c);
    source.Add(&bmp, nullptr);
  }
  TMemoryStream data;
  source.WriteData(&data);
  data.SetPosition(0);
  TDataImageList back;
  back.ReadData(&data);
  EXPECT_EQ(back.Count(), 2);
  back.Draw(&canvas, 0, 0, 1);
  EXPECT_EQ(dib.Color(8, 8), static_cast<COLORREF>(clBlue));
  TMemoryStream junk;
  junk.WriteBuffer("not a list", 10);
  junk.SetPosition(0);
  EXPECT_THROW(back.ReadData(&junk), EReadError);

  TImageList copy(nullptr);
  copy.Assign(&source);
  source.Clear();
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_NE(copy.Handle(), source.Handle());
}

TEST(ImageListShareTest, ASharedHandleOutlivesTheList) {
  HIMAGELIST handle = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
  {
    TImageList list(nullptr);
    list.SetShareImages(true);
    list.SetHandle(handle);
    EXPECT_EQ(list.Width(), 8);
  }
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(handle, &cx, &cy));
  EXPECT_EQ(cx, 8);
  ImageList_Destroy(handle);
}

}  // namespace
