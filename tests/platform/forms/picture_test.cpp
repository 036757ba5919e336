#include "platform/forms/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/forms/icon.h"

namespace {

// A graphic that is its text.
class TTextGraphic : public TGraphic {
  RTL_CLASS(TTextGraphic, TGraphic)

 protected:
  void Draw(TCanvas*, const TRect&) override {}
  bool GetEmpty() const override { return Text.empty(); }
  Integer GetWidth() const override { return static_cast<Integer>(Text.size()); }
  Integer GetHeight() const override { return 1; }

 public:
  AnsiString Text;
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}
  void Assign(TPersistent* Source) override {
    if (auto* t = dynamic_cast<TTextGraphic*>(Source)) {
      Text = t->Text;
      Changed(this);
    } else {
      TGraphic::Assign(Source);
    }
  }
  void LoadFromStream(TStream* Stream) override {
    Text.resize(static_cast<size_t>(Stream->Size() - Stream->Position()));
    Stream->ReadBuffer(Text.data(), static_cast<Integer>(Text.size()));
  }
  void SaveToStream(TStream* Stream) override { Stream->WriteBuffer(Text.data(), static_cast<Integer>(Text.size())); }
};

class TOtherTextGraphic : public TTextGraphic {
  RTL_CLASS(TOtherTextGraphic, TTextGraphic)
};

RTL_IMPLEMENT_CLASS(TTextGraphic)
RTL_IMPLEMENT_CLASS(TOtherTextGraphic)

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  std::string path = ::testing::TempDir() + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

TEST(PictureTest, TheRegistryStartsWithIconsBitmapsAndJpegs) {
  EXPECT_EQ(GraphicFilter(TGraphic::StaticClass()),
            "All (*.ico;*.bmp;*.jpeg;*.jpg)|*.ico;*.bmp;*.jpeg;*.jpg|Icons (*.ico)|*.ico|Bitmaps (*.bmp)|*.bmp|"
            "JPEG Image File (*.jpeg)|*.jpeg|JPEG Image File (*.jpg)|*.jpg");
  EXPECT_EQ(GraphicFilter(TBitmap::StaticClass()), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(GraphicFileMask(TGraphic::StaticClass()), "*.ico;*.bmp;*.jpeg;*.jpg");
  EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), "ico");
  EXPECT_EQ(GraphicFilter(TTextGraphic::StaticClass()), "");
}

TEST(PictureTest, LoadFromFileChoosesTheClassByExtension) {
  TPicture::RegisterFileFormat("TXT1", "Text pictures", TTextGraphic::StaticClass());
  std::string path = WriteTemp("picture_test.Txt1", "hello");
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(path);
  ASSERT_NE(dynamic_cast<TTextGraphic*>(picture.Graphic()), nullptr);
  EXPECT_EQ(static_cast<TTextGraphic*>(picture.Graphic())->Text, "hello");
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(changes, 1);

  TPicture::RegisterFileFormat("txt1", "Other text", TOtherTextGraphic::StaticClass());
  picture.LoadFromFile(path);
  EXPECT_EQ(picture.Graphic()->ClassType(), TOtherTextGraphic::StaticClass()) << "the latest registration wins";

  TPicture::UnregisterGraphicClass(TTextGraphic::StaticClass());  // and its descendants
  try {
    picture.LoadFromFile(path);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.Txt1)");
  }
  EXPECT_NE(picture.Graphic(), nullptr) << "a failed load keeps the picture";
  std::remove(path.c_str());
}

TEST(PictureTest, LoadsABitmapFile) {
  TBitmap bmp(3, 2);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  std::string path = ::testing::TempDir() + "picture_test.BMP";
  bmp.SaveToFile(path);
  TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Bitmap()->Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(picture.Height(), 2);
  std::remove(path.c_str());
}

TEST(PictureTest, KeepsACopyAndReportsItsChanges) {
  TBitmap bmp(2, 2);
  TPicture picture;
  picture.SetGraphic(&bmp);
  ASSERT_NE(picture.Graphic(), &bmp);
  bmp.SetSize(5, 5);
  EXPECT_EQ(picture.Width(), 2);
  int changes = 0;
  picture.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &picture);
    ++changes;
  };
  picture.Bitmap()->Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes, 1);

  TBitmap out;
  out.Assign(&picture);  // the picture gives its bitmap
  EXPECT_EQ(out.Width(), 2);
  TIcon icon;
  EXPECT_THROW(icon.Assign(&picture), EConvertError);

  TIcon* asIcon = picture.Icon();  // another type: replaced by an empty one
  EXPECT_TRUE(asIcon->Empty());
  EXPECT_EQ(changes, 2);
  picture.Assign(nullptr);
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
}

TEST(PictureTest, DataNamesTheClassThenHoldsTheGraphicsData) {
  TPicture picture;
  picture.Bitmap()->SetSize(2, 1);
  TMemoryStream data;
  picture.WriteData(&data);
  auto* p = static_cast<const uint8_t*>(data.Memory());
  ASSERT_GT(data.Size(), 8);
  EXPECT_EQ(p[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 1), 7), "TBitmap");
  EXPECT_EQ(data.Size(), 1 + 7 + 4 + 54 + 8);
  data.SetPosition(0);
  TPicture back;
  back.ReadData(&data);
  ASSERT_NE(dynamic_cast<TBitmap*>(back.Graphic()), nullptr);
  EXPECT_EQ(back.Width(), 2);

  TMemoryStream unknown;
  unknown.WriteBuffer("\x07TNoSuch", 8);
  unknown.SetPosition(0);
  back.ReadData(&unknown);
  EXPECT_EQ(back.Graphic(), nullptr);
}

}  // namespace
