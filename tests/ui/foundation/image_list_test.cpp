// The library's image list: native images and infos in step through adds,
// deletes, size changes and assignment; masks; reading images back.
#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/image_list.h"
#include "tests/ui/foundation/image_list_fixture.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/image_list.h"

namespace {

using namespace image_list_testing;

// A 16 x 16 list that counts its change notifications.
class ImageListTest : public ::testing::Test {
 protected:
  TcxImageList List{nullptr};
  Integer Changes = 0;

  void SetUp() override {
    List.OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  }

  void ExpectInStep() { EXPECT_EQ(List.Count(), List.ImageInfo()->Count()); }
};

TEST_F(ImageListTest, AStripOfFourImagesBecomesFourImagesAndFourInfosLeftToRight) {
  auto strip = Strip(16, 16, {kRed, kGreen, kBlue, kYellow});
  EXPECT_EQ(List.AddImage(strip.get(), nullptr), 0);
  EXPECT_EQ(List.Count(), 4);
  ASSERT_EQ(List.ImageInfo()->Count(), 4);
  EXPECT_EQ(NativeColors(List), Rgb({kRed, kGreen, kBlue, kYellow}));
  EXPECT_EQ(InfoColors(List), Rgb({kRed, kGreen, kBlue, kYellow}));
  for (TCollectionItem* item : *List.ImageInfo()) {
    TcxBitmap* image = static_cast<TcxImageInfoItem*>(item)->ImageInfo()->Image();
    EXPECT_EQ(image->Width(), 16);
    EXPECT_EQ(image->Height(), 16);
    EXPECT_EQ(image->PixelFormat(), pf32bit);
  }
  EXPECT_EQ(Changes, 1);
}

TEST_F(ImageListTest, AGridIsRecordedRowByRow) {
  // Two rows of two: the native list takes the top row only, so the infos
  // are rebuilt from the native images.
  auto grid = std::make_unique<TcxBitmap32>(32, 32);
  auto top = Strip(16, 16, {kRed, kGreen});
  auto bottom = Strip(16, 16, {kBlue, kYellow});
  grid->CopyBitmapRect(top.get(), TRect(0, 0, 32, 16), SRCCOPY, TPoint(0, 0));
  grid->CopyBitmapRect(bottom.get(), TRect(0, 16, 32, 32), SRCCOPY, TPoint(0, 0));
  List.AddImage(grid.get(), nullptr);
  EXPECT_EQ(NativeColors(List), Rgb({kRed, kGreen}));
  EXPECT_EQ(InfoColors(List), Rgb({kRed, kGreen}));
  EXPECT_EQ(Changes, 1) << "the users hear of the images that came";
}

TEST_F(ImageListTest, AnImageThatIsNotAWholeGridIsOneInfoOfItsOwnSize) {
  auto image = Solid(20, 16, kGreen);
  EXPECT_EQ(List.AddImage(image.get(), nullptr), 0);
  EXPECT_EQ(List.Count(), 1);
  ASSERT_EQ(List.ImageInfo()->Count(), 1);
  TcxBitmap* info = List.ImageInfo()->Items(0)->ImageInfo()->Image();
  EXPECT_EQ(info->Width(), 20);
  EXPECT_EQ(info->Height(), 16);
}

TEST_F(ImageListTest, AnImageNarrowerThanTheListIsRefusedAndRecordsNothing) {
  auto image = Solid(8, 16, kGreen);
  EXPECT_EQ(List.AddImage(image.get(), nullptr), -1);
  EXPECT_EQ(List.Count(), 0);
  ExpectInStep();
}

TEST_F(ImageListTest, ChangingTheSizeDeletesEveryImageAndZeroBecomesOne) {
  auto strip = Strip(16, 16, {kRed, kGreen});
  List.AddImage(strip.get(), nullptr);
  Changes = 0;
  List.SetWidth(0);
  EXPECT_EQ(List.Width(), 1);
  EXPECT_EQ(List.Height(), 16);
  EXPECT_EQ(List.Count(), 0);
  ExpectInStep();
  EXPECT_EQ(Changes, 1);
  // The native list took the new size as well.
  int cx = 0, cy = 0;
  ImageList_GetIconSize(List.Handle(), &cx, &cy);
  EXPECT_EQ(cx, 1);
  EXPECT_EQ(cy, 16);

  List.SetHeight(-3);
  EXPECT_EQ(List.Height(), 1);
  Changes = 0;
  List.SetImageSize(1, 1);
  EXPECT_EQ(Changes, 0) << "the same size changes nothing";
}

TEST_F(ImageListTest, WithoutMaskOrMaskColourEveryPixelIsOpaque) {
  // A 24-bit image and a 32-bit one whose alpha bytes are all 0.
  TBitmap rgb(16, 16);
  rgb.SetPixelFormat(pf24bit);
  rgb.Canvas()->Brush()->SetColor(clWhite);
  rgb.Canvas()->FillRect(TRect(0, 0, 16, 16));
  auto clear = std::make_unique<TcxBitmap32>(16, 16, true);
  EXPECT_EQ(List.AddMaskedImage(&rgb, clNone), 0);
  EXPECT_EQ(List.AddImage(clear.get(), nullptr), 1);
  for (Integer i = 0; i < 2; ++i) {
    auto mask = NativeMask(List, i);
    for (Integer y = 0; y < 16; ++y)
      for (Integer x = 0; x < 16; ++x) ASSERT_EQ(PixelAt(*mask, x, y) & 0xFFFFFF, 0u) << i << " at " << x << "," << y;
    // Drawn over red, nothing of the red shows.
    TcxBitmap32 target(16, 16);
    target.Canvas()->Brush()->SetColor(clRed);
    target.Canvas()->FillRect(TRect(0, 0, 16, 16));
    ImageList_Draw(List.Handle(), i, target.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(PixelAt(target, 5, 5) & 0xFFFFFF, i == 0 ? 0xFFFFFFu : 0u) << i;
  }
  EXPECT_EQ(List.ImageInfo()->Items(0)->MaskColor(), clNone);
  EXPECT_TRUE(List.ImageInfo()->Items(0)->Mask()->Empty());
}

TEST_F(ImageListTest, AMaskColourMasksItsPixelsAndIsKeptInTheInfo) {
  auto strip = Strip(8, 16, {kGreen, 0xFFFF00FFu});  // right half magenta
  EXPECT_EQ(List.AddMaskedImage(strip.get(), clFuchsia), 0);
  ExpectInStep();
  EXPECT_EQ(List.ImageInfo()->Items(0)->MaskColor(), clFuchsia);
  auto mask = NativeMask(List, 0);
  EXPECT_EQ(PixelAt(*mask, 2, 2) & 0xFFFFFF, 0u);
  EXPECT_EQ(PixelAt(*mask, 12, 2) & 0xFFFFFF, 0xFFFFFFu);
  // The bitmap handed in is left as it was.
  EXPECT_EQ(PixelAt(*strip, 12, 2), 0xFFFF00FFu);
  EXPECT_EQ(Changes, 1);
}

TEST_F(ImageListTest, AMaskGivenMarksItsWhitePixelsTransparent) {
  auto image = Solid(16, 16, kBlue);
  TBitmap mask(16, 16);
  mask.SetMonochrome(true);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(0, 0, 16, 16));
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(TRect(0, 0, 4, 16));
  List.AddImage(image.get(), &mask);
  auto native = NativeMask(List, 0);
  EXPECT_EQ(PixelAt(*native, 1, 1) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(PixelAt(*native, 8, 1) & 0xFFFFFF, 0u);
  EXPECT_FALSE(List.ImageInfo()->Items(0)->Mask()->Empty());
}

TEST_F(ImageListTest, DeletingAnImageDeletesItsInfo) {
  auto strip = Strip(16, 16, {kRed, kGreen, kBlue});
  List.AddImage(strip.get(), nullptr);
  Changes = 0;
  List.DeleteImage(1);
  EXPECT_EQ(NativeColors(List), Rgb({kRed, kBlue}));
  EXPECT_EQ(InfoColors(List), Rgb({kRed, kBlue}));
  EXPECT_EQ(Changes, 1);
  List.ClearImages();
  EXPECT_EQ(List.Count(), 0);
  ExpectInStep();
  EXPECT_THROW(List.DeleteImage(3), EInvalidOperation);
  ExpectInStep();
}

TEST_F(ImageListTest, ImagesAddedBehindTheListsBackGetInfosAndATelling) {
  auto strip = Strip(16, 16, {kRed, kGreen});
  static_cast<TCustomImageList&>(List).Add(strip.get(), nullptr);
  EXPECT_EQ(InfoColors(List), Rgb({kRed, kGreen}));
  EXPECT_EQ(Changes, 1);
  static_cast<TCustomImageList&>(List).Delete(0);
  EXPECT_EQ(InfoColors(List), Rgb({kGreen}));
  EXPECT_EQ(Changes, 2);
}

TEST_F(ImageListTest, TheUpdateLockHoldsTheChangeHandlerBack) {
  auto strip = Strip(16, 16, {kRed, kGreen});
  List.LockUpdate();
  List.LockUpdate();
  List.AddImage(strip.get(), nullptr);
  List.AddMaskedImage(strip.get(), clRed);
  EXPECT_EQ(Changes, 0);
  List.UnlockUpdate();
  EXPECT_EQ(Changes, 0);
  EXPECT_TRUE(List.IsUpdateLocked());
  List.UnlockUpdate();
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(List.Count(), 4);
  ExpectInStep();
  List.LockUpdate();
  List.DeleteImage(0);
  List.ReleaseUpdate();
  EXPECT_EQ(Changes, 1) << "released without running the handler";
  EXPECT_FALSE(List.IsUpdateLocked());
}

TEST_F(ImageListTest, AssigningCopiesTheInfosOfALibraryListAndTheImagesOfAnyOther) {
  TcxImageList source(nullptr);
  auto strip = Strip(8, 16, {kGreen, 0xFFFF00FFu});
  source.AddMaskedImage(strip.get(), clFuchsia);
  auto blue = Solid(16, 16, kBlue);
  source.AddImage(blue.get(), nullptr);
  List.Assign(&source);
  EXPECT_EQ(List.Count(), 2);
  ExpectInStep();
  EXPECT_EQ(List.ImageInfo()->Items(0)->MaskColor(), clFuchsia);
  EXPECT_EQ(InfoColors(List), Rgb({kGreen, kBlue}));

  TImageList plain(24, 24);
  auto red = Strip(24, 24, {kRed, kYellow});
  plain.Add(red.get(), nullptr);
  List.Assign(&plain);
  EXPECT_EQ(List.Width(), 24);
  EXPECT_EQ(NativeColors(List), Rgb({kRed, kYellow}));
  EXPECT_EQ(InfoColors(List), Rgb({kRed, kYellow}));

  List.Assign(&List);
  EXPECT_EQ(List.Count(), 2) << "assigning a list to itself keeps its images";
}

TEST_F(ImageListTest, AStored32BitImageComesBackWithItsAlpha) {
  auto image = Solid(16, 16, 0x80402010u);  // premultiplied, half transparent
  List.AddImage(image.get(), nullptr);
  TcxBitmap32 out, mask;
  List.GetImageAndMask(0, &out, &mask);
  ASSERT_EQ(out.Width(), 16);
  EXPECT_EQ(PixelAt(out, 3, 3), 0x80402010u);
  EXPECT_EQ(out.PixelFormat(), pf32bit);
  // No mask stored: the native one, opaque everywhere.
  ASSERT_EQ(mask.Width(), 16);
  EXPECT_EQ(PixelAt(mask, 3, 3) & 0xFFFFFF, 0u);
  EXPECT_EQ(mask.PixelFormat(), pf32bit) << "the target keeps its format";
}

TEST_F(ImageListTest, AnImageStoredBelow32BitsComesFromTheNativeList) {
  TBitmap rgb(16, 16);
  rgb.SetPixelFormat(pf24bit);
  rgb.Canvas()->Brush()->SetColor(clFuchsia);
  rgb.Canvas()->FillRect(TRect(0, 0, 16, 16));
  rgb.Canvas()->Brush()->SetColor(clLime);
  rgb.Canvas()->FillRect(TRect(0, 0, 8, 16));
  List.AddMaskedImage(&rgb, clFuchsia);
  TcxBitmap32 out, mask;
  cxImageListGetImageAndMask(&List, 0, &mask, &out);
  EXPECT_EQ(PixelAt(out, 2, 2) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(PixelAt(out, 12, 2) & 0xFFFFFF, 0u) << "masked pixels are black in the native image";
  EXPECT_EQ(PixelAt(mask, 2, 2) & 0xFFFFFF, 0u);
  EXPECT_EQ(PixelAt(mask, 12, 2) & 0xFFFFFF, 0xFFFFFFu);

  TcxBitmap32 untouched(3, 3);
  List.GetImageAndMask(5, &untouched, nullptr);
  EXPECT_EQ(untouched.Width(), 3) << "an index out of range gives nothing";
}

TEST_F(ImageListTest, AnyOtherListIsReadFromItsNativeImages) {
  TImageList plain(16, 16);
  auto strip = Strip(16, 16, {kRed, kBlue});
  plain.Add(strip.get(), nullptr);
  TcxBitmap32 out, mask;
  cxImageListGetImageAndMask(&plain, 1, &mask, &out);
  EXPECT_EQ(PixelAt(out, 0, 0) & 0xFFFFFF, kBlue & 0xFFFFFF);
  EXPECT_EQ(mask.Width(), 16);
}

TEST(ImageListNative, BitsPerPixelOfTheNativeList) {
  TcxImageList list(nullptr);
  EXPECT_EQ(TcxImageList::GetNativeBitsPerPixel(list.Handle()), 0);
  auto image = Solid(16, 16, kRed);
  list.AddImage(image.get(), nullptr);
  EXPECT_EQ(TcxImageList::GetNativeBitsPerPixel(list.Handle()), 32);
}

TEST(ImageListNative, ReadingAnImageThatIsNotThereChangesNothing) {
  TcxImageList list(nullptr);
  TcxBitmap32 image(5, 5), mask(5, 5);
  TcxImageList::ReadNativeImage(list.Handle(), 0, &mask, &image);
  TcxImageList::ReadNativeImage(list.Handle(), -1, &mask, &image);
  EXPECT_EQ(image.Width(), 5);
  EXPECT_EQ(mask.Width(), 5);
}

TEST(ImageListNative, MinusOneReadsTheWholeStrip) {
  TcxImageList list(nullptr);
  auto strip = Strip(16, 16, {kRed, kGreen});
  list.AddImage(strip.get(), nullptr);
  TBitmap image;
  TcxImageList::ReadNativeImage(list.Handle(), -1, nullptr, &image);
  EXPECT_GE(image.Width(), 32);
  EXPECT_EQ(image.Height(), 16);
}

TEST(ImageListsEqual, CountsThenBytes) {
  TcxImageList a(nullptr), b(nullptr);
  EXPECT_TRUE(cxImageListsEqual(&a, &b)) << "both empty";
  auto strip = Strip(16, 16, {kRed, kGreen});
  a.AddImage(strip.get(), nullptr);
  EXPECT_FALSE(cxImageListsEqual(&a, &b)) << "counts differ";
  b.AddImage(strip.get(), nullptr);
  EXPECT_TRUE(cxImageListsEqual(&a, &b));
  auto other = Strip(16, 16, {kRed, kBlue});
  b.ClearImages();
  b.AddImage(other.get(), nullptr);
  EXPECT_FALSE(cxImageListsEqual(&a, &b)) << "one image differs";
}

}  // namespace
