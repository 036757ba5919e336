#include <gtest/gtest.h>

#include <string>

#include "grid/nx_column_classes.h"
#include "grid/nx_column_collection.h"
#include "platform/forms/comctrls.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "tests/grid/description_test_support.h"
#include "tests/grid/columns_test_support.h"

namespace {

class ColumnStreamingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetClass("TFakeGrid")) RegisterClass(TFakeGrid::StaticClass());
    RegisterColumnClasses();
    RegisterColumnClasses();  // twice is harmless
  }
};

TEST_F(ColumnStreamingTest, DefaultColumnsWriteOnlyTheirSortType) {
  TFakeGrid grid;
  grid.SetName("Grid");
  grid.AddColumn<TNxTextColumn>(80, "Text");
  grid.AddColumn<TNxImageColumn>(80, "Image");
  grid.AddColumn<TNxPopupColumn>(80, "Popup");
  grid.AddColumn<TNxDateColumn>(80, "Date");
  for (Integer i = 0; i < 4; ++i) grid.FColumns->Items(i)->SetPosition(i);
  EXPECT_EQ(WriteDescriptionText(&grid),
            "object Grid: TFakeGrid\n"
            "  object Text: TNxTextColumn\n"
            "    Position = 0\n"
            "    SortType = stAlphabetic\n"
            "  end\n"
            "  object Image: TNxImageColumn\n"
            "    Position = 1\n"
            "    SortType = stNumeric\n"
            "  end\n"
            "  object Popup: TNxPopupColumn\n"
            "    Position = 2\n"
            "    SortType = stAlphabetic\n"
            "  end\n"
            "  object Date: TNxDateColumn\n"
            "    Position = 3\n"
            "    SortType = stDate\n"
            "  end\n"
            "end\n");
}

TEST_F(ColumnStreamingTest, ChangedPropertiesRoundTripThroughAFormDescription) {
  TFakeGrid grid;
  grid.SetName("Grid");
  auto* text = grid.AddColumn<TNxTextColumn>(400, "FileName");
  text->SetTextBefore(u"File to Convert:   ");
  text->Font()->SetStyle({fsBold});
  text->SlideBounds()->SetLeft(136);
  text->SlideBounds()->SetWidth(464);
  text->SetSlideAnchors({akLeft, akTop, akRight});
  text->Header()->SetCaption(u"Name");
  text->SetOptions(text->Options() + coFullResort);
  auto* image = grid.AddColumn<TNxImageColumn>(40, "State");
  image->SetTransparent(false);
  auto* date = grid.AddColumn<TNxDateColumn>(280, "Date");
  date->SetNoneCaption(u"Nothing");
  date->SetSortKind(skDescending);
  date->SetFormatMask("yyyy");
  const AnsiString written = WriteDescriptionText(&grid);
  EXPECT_NE(written.find("Font.Style = [fsBold]"), AnsiString::npos) << "ParentFont is off, so Font is written";
  EXPECT_EQ(written.find("DefaultValue"), AnsiString::npos) << written;
  EXPECT_NE(written.find("ParentFont = False"), AnsiString::npos);
  EXPECT_EQ(written.find("TodayCaption"), AnsiString::npos);

  TFakeGrid copy;
  TStringStream input(written);
  ReadComponentText(&input, &copy);
  ASSERT_EQ(copy.FColumns->Count(), 3);
  for (Integer p = 0; p < 3; ++p) EXPECT_EQ(copy.FColumns->ByPosition(p)->Position(), p);
  auto* t = dynamic_cast<TNxTextColumn*>(copy.FColumns->Items(0));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Name(), "FileName");
  EXPECT_EQ(t->TextBefore(), u"File to Convert:   ");
  EXPECT_EQ(t->Width(), 400);
  EXPECT_FALSE(t->ParentFont());
  EXPECT_TRUE(t->Font()->Style() == TFontStyles{fsBold});
  EXPECT_EQ(t->SlideBounds()->Left(), 136);
  EXPECT_TRUE(t->SlideAnchors() == (TAnchors{akLeft, akTop, akRight}));
  EXPECT_EQ(t->Header()->Caption(), u"Name");
  EXPECT_TRUE(t->Options().Contains(coFullResort));
  EXPECT_EQ(t->Columns(), copy.FColumns);
  auto* d = dynamic_cast<TNxDateColumn*>(copy.FColumns->Items(2));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->NoneCaption(), u"Nothing");
  EXPECT_EQ(d->SortKind(), skDescending);
  EXPECT_EQ(d->FormatMask(), "yyyy");
  EXPECT_FALSE(dynamic_cast<TNxImageColumn*>(copy.FColumns->Items(1))->Transparent());
  EXPECT_EQ(WriteDescriptionText(&copy), written) << "the read columns equal the written ones";
}

}  // namespace

// The grid's sort type and the tree view's share a name; streams must find
// each one's own value names in a program that holds both.
TEST(SortTypeNames, GridAndTreeViewKeepTheirOwnNames) {
  const struct {
    PTypeInfo Info;
    Integer Value;
    const char* Name;
  } cases[] = {
      {RtlEnumTypeInfo(static_cast<TSortType*>(nullptr)), stAlphabetic, "stAlphabetic"},
      {RtlEnumTypeInfo(static_cast<TSortType*>(nullptr)), stNumeric, "stNumeric"},
      {RtlEnumTypeInfo(static_cast<ComCtrls::TSortType*>(nullptr)), ComCtrls::stNone, "stNone"},
      {RtlEnumTypeInfo(static_cast<ComCtrls::TSortType*>(nullptr)), ComCtrls::stText, "stText"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetEnumName(c.Info, c.Value), c.Name);
}
