// The image list in form descriptions: what it writes, what it reads, old
// streams with the native dump, and bad input.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <regex>
#include <string>

#include "platform/forms/image_list.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "tests/ui/foundation/image_list_fixture.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/image_list.h"

namespace {

using namespace image_list_testing;

AnsiString BinaryToText(TMemoryStream& ABinary) {
  ABinary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&ABinary, &text);
  return text.DataString();
}

// The list's form description, written as a descendant of AAncestor.
AnsiString FormOf(TComponent& AList, TComponent* AAncestor = nullptr) {
  TMemoryStream binary;
  TWriter writer(&binary, 4096);
  writer.WriteDescendent(&AList, AAncestor);
  writer.FlushBuffer();
  return BinaryToText(binary);
}

void ReadForm(TComponent& AList, const AnsiString& AForm) {
  TStringStream input(AForm);
  ReadComponentText(&input, &AList);
}

bool Has(const AnsiString& AForm, const char* AText) { return AForm.find(AText) != AnsiString::npos; }

// The bytes of each "Image.Data" value, in order.
std::vector<size_t> ImageDataSizes(const AnsiString& AForm) {
  std::vector<size_t> sizes;
  size_t at = 0;
  while ((at = AForm.find("Image.Data = {", at)) != AnsiString::npos) {
    size_t end = AForm.find('}', at);
    size_t digits = 0;
    for (size_t i = at + 14; i < end; ++i)
      if (std::isxdigit(static_cast<unsigned char>(AForm[i]))) ++digits;
    sizes.push_back(digits / 2);
    at = end;
  }
  return sizes;
}

// A named 16 x 16 list holding red, green and blue.
std::unique_ptr<TcxImageList> ThreeColours() {
  auto list = std::make_unique<TcxImageList>(nullptr);
  list->SetName("Images");
  auto strip = Strip(16, 16, {kRed, kGreen, kBlue});
  list->AddImage(strip.get(), nullptr);
  return list;
}

TEST(ImageListStream, ARoundTripWritesVersionDesignInfoAndInfosButNoNativeDump) {
  auto list = ThreeColours();
  auto magenta = Strip(8, 16, {kYellow, 0xFFFF00FFu});
  list->AddMaskedImage(magenta.get(), clFuchsia);
  list->SetDesignInfo((40 << 16) | 24);
  const AnsiString form = FormOf(*list);
  EXPECT_TRUE(Has(form, "FormatVersion = 1")) << form;
  EXPECT_TRUE(Has(form, "DesignInfo = 2621464")) << form;
  EXPECT_TRUE(Has(form, "ImageInfo = <")) << form;
  EXPECT_TRUE(Has(form, "MaskColor = clFuchsia")) << form;
  EXPECT_FALSE(Has(form, "Bitmap")) << form;
  EXPECT_FALSE(Has(form, "Mask.Data")) << "no mask was given" << form;
  EXPECT_EQ(list->FormatVersion(), 1);

  TcxImageList read(nullptr);
  ReadForm(read, form);
  EXPECT_EQ(read.FormatVersion(), 1);
  EXPECT_EQ(read.DesignInfo(), (40 << 16) | 24);
  EXPECT_EQ(read.Count(), 4);
  EXPECT_EQ(InfoColors(read), Rgb({kRed, kGreen, kBlue, kYellow}));
  EXPECT_EQ(NativeColors(read), Rgb({kRed, kGreen, kBlue, kYellow}));
  EXPECT_EQ(read.ImageInfo()->Items(3)->MaskColor(), clFuchsia);
  EXPECT_EQ(PixelAt(*NativeMask(read, 3), 12, 4) & 0xFFFFFF, 0xFFFFFFu) << "the mask colour masks again";
}

TEST(ImageListStream, MasksTravelWithTheirImages) {
  auto list = ThreeColours();
  auto image = Solid(16, 16, kGrey);
  TBitmap mask(16, 16);
  mask.SetMonochrome(true);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect(0, 0, 16, 16));
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(TRect(0, 0, 16, 4));
  list->AddImage(image.get(), &mask);
  const AnsiString form = FormOf(*list);
  EXPECT_TRUE(Has(form, "Mask.Data = {")) << form;
  TcxImageList read(nullptr);
  ReadForm(read, form);
  auto native = NativeMask(read, 3);
  EXPECT_EQ(PixelAt(*native, 3, 1) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(PixelAt(*native, 3, 9) & 0xFFFFFF, 0u);
}

TEST(ImageListStream, AnEmptyListWithoutAncestorWritesVersionAndDesignInfoOnly) {
  TcxImageList list(nullptr);
  list.SetName("Empty");
  const AnsiString form = FormOf(list);
  EXPECT_TRUE(Has(form, "FormatVersion = 1")) << form;
  EXPECT_TRUE(Has(form, "DesignInfo = 0")) << form;
  EXPECT_FALSE(Has(form, "ImageInfo")) << form;
  EXPECT_FALSE(Has(form, "Bitmap")) << form;
}

TEST(ImageListStream, AgainstAnAncestorOnlyWhatDiffersIsWritten) {
  auto list = ThreeColours();
  auto ancestor = ThreeColours();
  list->SetDesignInfo(7);
  ancestor->SetDesignInfo(7);
  AnsiString form = FormOf(*list, ancestor.get());
  EXPECT_TRUE(Has(form, "FormatVersion = 1")) << form;
  EXPECT_FALSE(Has(form, "DesignInfo")) << form;
  EXPECT_FALSE(Has(form, "ImageInfo")) << form;

  ancestor->DeleteImage(2);
  ancestor->SetDesignInfo(8);
  form = FormOf(*list, ancestor.get());
  EXPECT_TRUE(Has(form, "DesignInfo = 7")) << form;
  EXPECT_TRUE(Has(form, "ImageInfo = <")) << form;
}

TEST(ImageListStream, CompressDataWritesTheRunCodedForm) {
  auto list = ThreeColours();
  list->SetCompressData(true);
  auto more = Solid(16, 16, kYellow);
  list->AddImage(more.get(), nullptr);
  const AnsiString form = FormOf(*list);
  EXPECT_TRUE(Has(form, "CompressData = True")) << form;
  // Length, then "XDBM" and version 2, in every image's data.
  const std::regex xdbm("Image\\.Data = \\{\\s*[0-9A-F]{8}5844424D0200");
  EXPECT_EQ(std::distance(std::sregex_iterator(form.begin(), form.end(), xdbm), std::sregex_iterator()), 4) << form;
  for (size_t size : ImageDataSizes(form)) EXPECT_LT(size, 200u) << "solid colours pack small";

  TcxImageList read(nullptr);
  ReadForm(read, form);
  EXPECT_TRUE(read.CompressData());
  EXPECT_EQ(InfoColors(read), Rgb({kRed, kGreen, kBlue, kYellow}));
  EXPECT_TRUE(read.ImageInfo()->Items(3)->GetCompressData()) << "items read take the flag";
}

TEST(ImageListStream, PlainImageDataIsTheBitmapFileWithItsLength) {
  struct TSizeCase {
    Integer W, H;
    size_t Bytes;
  };
  for (const TSizeCase& c : {TSizeCase{32, 32, 4154}, TSizeCase{16, 16, 1082}, TSizeCase{48, 48, 9274},
                             TSizeCase{120, 80, 38458}}) {
    TcxImageList list(c.W, c.H);
    list.SetName("Sized");
    auto image = Solid(c.W, c.H, kGreen);
    list.AddImage(image.get(), nullptr);
    const AnsiString form = FormOf(list);
    EXPECT_EQ(ImageDataSizes(form), std::vector<size_t>{c.Bytes}) << c.W << " x " << c.H;
    EXPECT_FALSE(Has(form, "Mask.Data")) << c.W;
    EXPECT_FALSE(Has(form, "MaskColor")) << c.W;
  }
}

// A stream written by the framework's own list: the native dump only.
AnsiString NativeDumpForm() {
  TImageList old(16, 16);
  old.SetName("Images");
  auto strip = Strip(16, 16, {kRed, kGreen, kBlue});
  old.Add(strip.get(), nullptr);
  AnsiString form = FormOf(old);
  form.replace(form.find("TImageList"), 10, "TcxImageList");
  return form;
}

TEST(ImageListStream, AStreamWithOnlyTheNativeDumpGetsOneInfoPerImageAndIsWrittenAsInfos) {
  const AnsiString old = NativeDumpForm();
  ASSERT_TRUE(Has(old, "Bitmap = {")) << old;
  TcxImageList read(nullptr);
  ReadForm(read, old);
  EXPECT_EQ(read.Count(), 3);
  EXPECT_EQ(InfoColors(read), Rgb({kRed, kGreen, kBlue}));
  EXPECT_EQ(read.FormatVersion(), 0) << "no version in the old stream";
  const AnsiString again = FormOf(read);
  EXPECT_TRUE(Has(again, "ImageInfo = <")) << again;
  EXPECT_FALSE(Has(again, "Bitmap")) << again;
}

// ---- Bad input -------------------------------------------------------------------------

// Rewrites the text of the value that follows the n-th occurrence of AKey.
AnsiString ReplaceNth(AnsiString AForm, const AnsiString& AKey, Integer ANth, const AnsiString& AOld,
                      const AnsiString& ANew) {
  size_t at = 0;
  for (Integer i = 0; i <= ANth; ++i) {
    at = AForm.find(AKey, i == 0 ? 0 : at + 1);
    if (at == AnsiString::npos) return AForm;
  }
  size_t old = AForm.find(AOld, at);
  if (old != AnsiString::npos) AForm.replace(old, AOld.size(), ANew);
  return AForm;
}

// The image data of item ANth cut to its first ABytes bytes: a bitmap
// whose file says more than the value holds.
AnsiString TruncateImage(AnsiString AForm, Integer ANth, size_t ABytes) {
  size_t at = 0;
  for (Integer i = 0; i <= ANth; ++i) at = AForm.find("Image.Data = {", i == 0 ? 0 : at + 1);
  const size_t start = at + 14, end = AForm.find('}', start);
  std::string digits;
  for (size_t i = start; i < end; ++i)
    if (std::isxdigit(static_cast<unsigned char>(AForm[i]))) digits += AForm[i];
  AForm.replace(start, end - start, digits.substr(0, ABytes * 2));
  return AForm;
}

// Item 1 of a red, green, blue list made into something else before
// writing.
AnsiString WithItem1(const std::function<void(TcxImageInfoItem*)>& AChange) {
  auto list = ThreeColours();
  AChange(list->ImageInfo()->Items(1));
  return FormOf(*list);
}

struct TBadInputCase {
  const char* Name;
  std::function<AnsiString()> Form;
  bool Raises;
  std::vector<Cardinal> Colors;  // the images kept
  Integer Version;
};

void PrintTo(const TBadInputCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class ImageListBadInput : public ::testing::TestWithParam<TBadInputCase> {};

TEST_P(ImageListBadInput, ItemsAreSkippedAndImagesAndInfosStayInStep) {
  const TBadInputCase& c = GetParam();
  // The list holds something before, so that a failed read shows whether
  // the two sides were kept together.
  TcxImageList read(nullptr);
  auto before = Strip(16, 16, {kYellow, kGrey});
  read.AddImage(before.get(), nullptr);
  const AnsiString form = c.Form();
  if (c.Raises)
    EXPECT_THROW(ReadForm(read, form), Exception) << form;
  else
    EXPECT_NO_THROW(ReadForm(read, form)) << form;
  EXPECT_EQ(read.Count(), read.ImageInfo()->Count());
  EXPECT_EQ(NativeColors(read), InfoColors(read));
  if (!c.Raises) {
    EXPECT_EQ(InfoColors(read), c.Colors);
    EXPECT_EQ(read.FormatVersion(), c.Version);
  }
}

const AnsiString& GoodForm() {
  static const AnsiString form = FormOf(*ThreeColours());
  return form;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageListBadInput,
    ::testing::Values(
        TBadInputCase{"AnotherVersion", [] { return ReplaceNth(GoodForm(), "FormatVersion", 0, "= 1", "= 7"); },
                      false, Rgb({kRed, kGreen, kBlue}), 7},
        TBadInputCase{"VersionNotANumber",
                      [] { return ReplaceNth(GoodForm(), "FormatVersion", 0, "= 1", "= 'one'"); }, false,
                      Rgb({kRed, kGreen, kBlue}), 0},
        TBadInputCase{"DesignInfoNotANumber",
                      [] { return ReplaceNth(GoodForm(), "DesignInfo", 0, "= 0", "= (1 2)"); }, false,
                      Rgb({kRed, kGreen, kBlue}), 1},
        TBadInputCase{"TruncatedImageData", [] { return TruncateImage(GoodForm(), 1, 200); }, false,
                      Rgb({kRed, kBlue}), 1},
        TBadInputCase{"EmptyImageData", [] { return TruncateImage(GoodForm(), 2, 0); },
                      false, Rgb({kRed, kGreen}), 1},
        TBadInputCase{"ImageNarrowerThanTheList",
                      [] { return WithItem1([](TcxImageInfoItem* i) { i->SetImage(Solid(8, 16, kGreen).get()); }); },
                      false, Rgb({kRed, kBlue}), 1},
        TBadInputCase{"ImageTwoListImagesWide",
                      [] { return WithItem1([](TcxImageInfoItem* i) { i->SetImage(Strip(16, 16, {kGreen, kGreen}).get()); }); },
                      false, Rgb({kRed, kBlue}), 1},
        TBadInputCase{"MaskOfAnotherSize",
                      [] { return WithItem1([](TcxImageInfoItem* i) { i->SetMask(Solid(8, 8, kGreen).get()); }); },
                      false, Rgb({kRed, kBlue}), 1},
        TBadInputCase{"UnknownPropertyInAnItem",
                      [] { return ReplaceNth(GoodForm(), "item", 1, "item", "item\n      Rotation = 3"); }, false,
                      Rgb({kRed, kBlue}), 1},
        TBadInputCase{"MaskColourNotAColour",
                      [] { return ReplaceNth(GoodForm(), "item", 0, "item", "item\n      MaskColor = clNoSuchColour"); },
                      false, Rgb({kGreen, kBlue}), 1},
        TBadInputCase{"CorruptNativeDump",
                      [] { return ReplaceNth(NativeDumpForm(), "Bitmap", 0, "{", "{ 4C49 0101 "); }, false,
                      Rgb({kYellow, kGrey}), 0}),
    [](const ::testing::TestParamInfo<TBadInputCase>& info) { return std::string(info.param.Name); });

// The binary form of the red, green and blue list, and where its infos
// start (the byte after the "ImageInfo" name).
std::string GoodBinary(size_t& AInfos) {
  TMemoryStream whole;
  TWriter writer(&whole, 4096);
  writer.WriteDescendent(ThreeColours().get(), nullptr);
  writer.FlushBuffer();
  const std::string all(static_cast<const char*>(whole.Memory()), static_cast<size_t>(whole.Size()));
  AInfos = all.find("ImageInfo") + 9;
  return all;
}

// Reads a binary form into a list that held two images, expecting the
// reader's error; the two sides must still be together.
void ExpectRaisesInStep(const std::string& ABinary, const std::string& AWhat) {
  TMemoryStream part;
  part.WriteBuffer(ABinary.data(), static_cast<Integer>(ABinary.size()));
  part.SetPosition(0);
  TcxImageList read(nullptr);
  auto before = Strip(16, 16, {kYellow, kGrey});
  read.AddImage(before.get(), nullptr);
  TReader reader(&part, 4096);
  EXPECT_THROW(reader.ReadRootComponent(&read), EReadError) << AWhat;
  EXPECT_EQ(read.Count(), read.ImageInfo()->Count()) << AWhat;
  EXPECT_EQ(NativeColors(read), InfoColors(read)) << AWhat;
}

TEST(ImageListBadBinary, AMalformedListOfInfosRaisesTheReadersError) {
  size_t infos = 0;
  const std::string good = GoodBinary(infos);
  ASSERT_EQ(good[infos], char(vaCollection));
  ASSERT_EQ(good[infos + 1], char(vaList));
  std::string notACollection = good;
  notACollection[infos] = char(vaInt8);
  ExpectRaisesInStep(notACollection, "not a collection");
  std::string itemNotAList = good;
  itemNotAList[infos + 1] = char(vaString);
  ExpectRaisesInStep(itemNotAList, "an item that is not a list");
}

// A binary stream cut anywhere inside the infos raises the reader's error,
// and whatever was read by then stays in step.
TEST(ImageListBadBinary, AStreamCutInsideTheInfosRaisesAndKeepsTheTwoSidesTogether) {
  size_t infos = 0;
  const std::string good = GoodBinary(infos);
  for (size_t cut = infos + 1; cut < good.size(); cut += 97)
    ExpectRaisesInStep(good.substr(0, cut), "cut at " + std::to_string(cut));
}

}  // namespace
