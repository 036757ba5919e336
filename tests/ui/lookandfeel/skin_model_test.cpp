// The skin objects in memory: look-up by name, change bubbling and its
// brackets, typed values, border equality, text colours, alternate image
// sets, images and assignment.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms/graphics.h"
#include "platform/rtl/resources.h"
#include "skin_fixture.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/lookandfeel/skin_borders.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_image.h"
#include "ui/lookandfeel/skin_properties.h"

namespace {

using namespace skin_test;

// Every change notification an object's OnChange receives.
struct TChangeLog {
  std::vector<TdxSkinChanges> Changes;
  TdxSkinChangeNotify Handler() {
    return [this](TObject*, TdxSkinChanges AChanges) { Changes.push_back(AChanges); };
  }
};

TEST(SkinObjectList, FindByNameSortsAgainAfterARename) {
  TdxSkinElement element(nullptr, "Button");
  for (const char* name : {"Delta", "Alpha", "Charlie", "Bravo"}) AddProperty<TdxSkinIntegerProperty>(&element, name);
  TdxSkinProperty* charlie = element.FindProperty("Charlie");
  ASSERT_NE(charlie, nullptr);
  EXPECT_EQ(element.FindProperty("charlie"), nullptr) << "the look-up is case-sensitive";

  charlie->SetName("Zulu");
  EXPECT_EQ(element.FindProperty("Zulu"), charlie);
  EXPECT_EQ(element.FindProperty("Charlie"), nullptr);
  for (const char* name : {"Alpha", "Bravo", "Delta"}) {
    TdxSkinProperty* found = nullptr;
    EXPECT_TRUE(element.TryFindProperty(name, found)) << name;
    EXPECT_EQ(found->Name(), name);
  }
}

TEST(SkinObjectList, ChangesInsideABracketReachTheGroupOnceWithTheirUnion) {
  // The bracket of a list, and the bracket of a skin object.
  enum TBracket { bkPropertyList, bkGroup };
  for (TBracket bracket : {bkPropertyList, bkGroup}) {
    SCOPED_TRACE(bracket == bkPropertyList ? "property list" : "group");
    TdxSkinControlGroup group(nullptr, "Common");
    TdxSkinElement* element = AddElement<TdxSkinElement>(&group, "Button");
    auto* size = AddProperty<TdxSkinIntegerProperty>(element, "Size");
    TChangeLog log;
    group.OnChange = log.Handler();

    auto lock = [&] { bracket == bkPropertyList ? element->Properties()->LockChanges() : group.LockChanges(); };
    auto unlock = [&] { bracket == bkPropertyList ? element->Properties()->UnlockChanges() : group.UnlockChanges(); };
    lock();
    for (int i = 1; i <= 9; ++i) size->SetValue(i);
    size->SetName("Width");  // the tenth: a rename
    EXPECT_TRUE(log.Changes.empty());
    unlock();
    ASSERT_EQ(log.Changes.size(), 1u);
    EXPECT_EQ(log.Changes[0], (TdxSkinChanges{scStruct, scContent}));
  }
}

TEST(SkinObjectList, ChangesClimbFromPropertyToGroup) {
  TdxSkinControlGroup group(nullptr, "Common");
  TdxSkinElement* element = AddElement<TdxSkinElement>(&group, "Button");
  TChangeLog log;
  group.OnChange = log.Handler();
  auto* color = AddProperty<TdxSkinColor>(element, "TextColor");
  color->SetValue(0x123456);
  element->Borders()->Left()->SetThin(3);
  element->Image()->SetImageCount(4);
  element->DeleteProperty(color);
  const std::vector<TdxSkinChanges> expected = {{scStruct}, {scContent}, {scContent}, {scContent}, {scStruct}};
  EXPECT_EQ(log.Changes, expected);
  EXPECT_TRUE(element->Modified());
}

TEST(SkinProperties, ASizeIsReportedOnceAndTheSameSizeNotAtAll) {
  TdxSkinSizeProperty property(nullptr, "MinSize");
  TChangeLog log;
  property.OnChange = log.Handler();
  property.SetValue(TSize(10, 20));
  property.SetValue(TSize(10, 20));
  ASSERT_EQ(log.Changes.size(), 1u);
  EXPECT_EQ(log.Changes[0], TdxSkinChanges{scContent});

  TdxSkinSizeProperty other(nullptr, "Other");
  other.SetValue(TSize(10, 20));
  property.Assign(&other);
  EXPECT_EQ(log.Changes.size(), 1u) << "assigning the same size";
  other.Setcy(-4);
  property.Assign(&other);
  EXPECT_EQ(log.Changes.size(), 2u);
  EXPECT_EQ(property.Value(), TSize(10, -4));
}

TEST(SkinProperties, TypeDisplayNameDropsThePrefixAndPropertyWord) {
  const struct {
    TClass Class;
    const char* Expected;
  } cases[] = {
      {TdxSkinIntegerProperty::StaticClass(), "Integer"},
      {TdxSkinBooleanProperty::StaticClass(), "Boolean"},
      {TdxSkinColor::StaticClass(), "Color"},
      {TdxSkinRectProperty::StaticClass(), "Rect"},
      {TdxSkinSizeProperty::StaticClass(), "Size"},
      {TdxSkinStringProperty::StaticClass(), "String"},
      {TdxSkinWideStringProperty::StaticClass(), "WideString"},
      {TdxSkinBorder::StaticClass(), "Border"},
      {TdxSkinBorders::StaticClass(), "Borders"},
      {TdxSkinAlternateImageAttributes::StaticClass(), "AlternateImageAttributes"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TdxSkinCustomObject> object(TdxSkinCustomObject::CreateOfClass(c.Class, nullptr, "P"));
    ASSERT_NE(object, nullptr) << c.Expected;
    EXPECT_EQ(static_cast<TdxSkinProperty*>(object.get())->TypeDisplayName(), c.Expected);
  }
}

TEST(SkinProperties, SameAsWantsTheNameClassAndValue) {
  TdxSkinStringProperty a(nullptr, "Caption"), b(nullptr, "CAPTION");
  a.SetValue("Text");
  b.SetValue("Text");
  EXPECT_TRUE(a.SameAs(&b)) << "names compare without case";
  b.SetValue("text");
  EXPECT_FALSE(a.SameAs(&b)) << "values compare with case";
  TdxSkinWideStringProperty wide(nullptr, "Caption");
  wide.SetValue("Text");
  EXPECT_FALSE(a.SameAs(&wide)) << "another class";
  TdxSkinIntegerProperty one(nullptr, "N"), two(nullptr, "N");
  one.SetValue(1);
  EXPECT_FALSE(one.SameAs(&two));
  two.SetValue(1);
  EXPECT_TRUE(one.SameAs(&two));
}

TEST(SkinBorders, EqualOnlyWhenAllFourSidesAre) {
  TdxSkinBorders a(nullptr, "Borders"), b(nullptr, "BordersInner");
  for (int kind = 0; kind < 4; ++kind) {
    a.Items(kind)->SetColor(0x101010 * (kind + 1));
    b.Items(kind)->SetColor(0x101010 * (kind + 1));
  }
  EXPECT_TRUE(a.SameAs(&b)) << "the names do not count";
  for (int kind = 0; kind < 4; ++kind) {
    SCOPED_TRACE(kind);
    b.Items(kind)->SetThin(2);
    EXPECT_FALSE(a.SameAs(&b));
    EXPECT_FALSE(b.SameAs(&a));
    b.Items(kind)->SetThin(1);
    b.Items(kind)->SetColor(clNone);
    EXPECT_FALSE(a.SameAs(&b));
    b.Items(kind)->SetColor(0x101010 * (kind + 1));
    EXPECT_TRUE(a.SameAs(&b));
  }
  EXPECT_FALSE(a.Left()->SameAs(a.Top())) << "another side";
  EXPECT_EQ(a.BorderWidths(), TRect(1, 1, 1, 1));
  a.Top()->ResetBorder();
  a.Right()->SetThin(4);
  EXPECT_EQ(a.BorderWidths(), TRect(1, 0, 4, 1));
}

TEST(SkinElement, TextColorFallsBackToNormalTextThenToTextColor) {
  const TColor normal = 0x0000FF, pressed = 0x00FF00, own = 0xFF0000;
  const struct {
    const char* Trace;
    bool HasNormal, HasPressed, NormalIsDefault;
    int Index;
    TColor Expected;
  } cases[] = {
      {"pressed property", true, true, false, 3, pressed},
      {"no pressed property", true, false, false, 3, normal},
      {"nothing but TextColor", false, false, false, 3, own},
      {"normal property holds clDefault", true, false, true, 3, own},
      {"index 0 names nothing", true, true, false, 0, normal},
      {"normal", true, true, false, 1, normal},
      {"hot", true, true, false, 2, normal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Trace);
    TdxSkinElement element(nullptr, "Button");
    element.SetTextColor(own);
    if (c.HasNormal) AddProperty<TdxSkinColor>(&element, "TabTextColor")->SetValue(c.NormalIsDefault ? clDefault : normal);
    if (c.HasPressed) AddProperty<TdxSkinColor>(&element, "TabTextColorPressed")->SetValue(pressed);
    AddProperty<TdxSkinColor>(&element, "TextColorPressed")->SetValue(0x777777);  // another prefix
    EXPECT_EQ(element.TextColorOf(c.Index, "Tab"), c.Expected);
  }
}

TEST(SkinElement, ATextColorPropertyOfAnotherClassIsAnInvalidCast) {
  TdxSkinElement element(nullptr, "Button");
  AddProperty<TdxSkinIntegerProperty>(&element, "TextColorHot")->SetValue(5);
  EXPECT_THROW(element.TextColorOf(2), EInvalidCast);
}

TEST(SkinElement, AlternateImageSetFollowsThePropertiesAndTheIndex) {
  TdxSkinElement element(nullptr, "Button");
  auto* hot = AddProperty<TdxSkinAlternateImageAttributes>(&element, "AlternateImage1Hot");
  AddProperty<TdxSkinColor>(&element, "AlternateImage1Normal");  // not attributes
  auto* second = AddProperty<TdxSkinAlternateImageAttributes>(&element, "AlternateImage2Normal");
  const TdxSkinAlternateImageSet& set = element.AlternateImageSet(0);
  EXPECT_EQ(set[esHot], hot);
  EXPECT_EQ(set[esNormal], nullptr);
  EXPECT_EQ(set[esPressed], nullptr);

  auto* pressed = AddProperty<TdxSkinAlternateImageAttributes>(&element, "AlternateImage1Pressed");
  EXPECT_EQ(element.AlternateImageSet(0)[esPressed], pressed) << "a new property makes the set stale";
  element.DeleteProperty(hot);
  EXPECT_EQ(element.AlternateImageSet(0)[esHot], nullptr) << "so does a deleted one";
  EXPECT_EQ(element.AlternateImageSet(1)[esNormal], second);
  EXPECT_EQ(element.AlternateImageSet(1)[esPressed], nullptr);
}

TEST(SkinImage, ClearImageReportsOnceAndOnlyWhenThereIsSomethingToClear) {
  TdxSkinImage image(nullptr);
  int changes = 0;
  image.OnChange = [&](TObject*) { ++changes; };
  image.ClearImage();
  EXPECT_EQ(changes, 0);
  image.LoadTextureFromResource(HInstance, "DEFAULTSKINICONSMALL", "DXSKINS");
  EXPECT_GT(changes, 0);
  EXPECT_FALSE(image.Empty());
  EXPECT_EQ(image.Texture()->GetSize(), TSize(16, 16));
  changes = 0;
  image.ClearImage();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(image.Empty());
  EXPECT_TRUE(image.Dirty());
}

TEST(SkinImage, TextureSourceNameComesFromGroupAndElementUnlessStored) {
  TdxSkinControlGroup group(nullptr, "Editors");
  TdxSkinElement* element = AddElement<TdxSkinElement>(&group, "Checkbox");
  EXPECT_EQ(element->Image()->TextureSourceName(), "") << "no texture";
  element->Image()->LoadTextureFromResource(HInstance, "DEFAULTSKINICONSMALL", "DXSKINS");
  element->Glyph()->LoadTextureFromResource(HInstance, "DEFAULTSKINICONSMALL", "DXSKINS");
  EXPECT_EQ(element->Image()->TextureSourceName(), "Editors\\Checkbox_Image.png");
  EXPECT_EQ(element->Glyph()->TextureSourceName(), "Editors\\Checkbox_Glyph.png");
  element->Image()->SetSourceName("own.png");
  EXPECT_EQ(element->Image()->TextureSourceName(), "own.png");
}

TEST(SkinImage, SameAsComparesSettingsFrameAndPixels) {
  auto make = [](int ASeed) {
    auto image = std::make_unique<TdxSkinImage>(nullptr);
    const std::string png = TestPng(8, 4, ASeed);
    TStringStream s(png);
    image->Texture()->LoadFromStream(&s);
    image->SetImageCount(2);
    return image;
  };
  auto a = make(0), b = make(0);
  EXPECT_TRUE(a->SameAs(b.get()));
  EXPECT_FALSE(a->SameAs(make(1).get())) << "other pixels";
  b->SetImageCount(4);
  EXPECT_FALSE(a->SameAs(b.get())) << "another frame size";
  b->SetImageCount(2);
  b->Margins()->SetLeft(1);
  EXPECT_FALSE(a->SameAs(b.get()));
  b->Margins()->SetLeft(0);
  b->SetStretch(smTile);
  EXPECT_FALSE(a->SameAs(b.get()));
}

TEST(SkinImage, AssignTakesOnlyImagesAndClearsForAnEmptyOne) {
  TdxSkinImage image(nullptr), other(nullptr);
  image.LoadTextureFromResource(HInstance, "DEFAULTSKINICONLARGE", "DXSKINS");
  image.SetStates({esNormal, esHot});
  TdxSkinColor color(nullptr, "C");
  image.Assign(&color);
  EXPECT_FALSE(image.Empty()) << "a foreign source is ignored";

  TdxSkinImage copy(nullptr);
  copy.Assign(&image);
  EXPECT_TRUE(copy.SameAs(&image));
  other.SetGradientBeginColor(0x445566);
  copy.Assign(&other);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(copy.GradientBeginColor(), 0x445566);
  EXPECT_EQ(copy.States(), TdxSkinElementStates{esNormal});
}

TEST(SkinAssign, AGroupCopiesElementsWithTheirClassesAndNames) {
  TdxSkinControlGroup source(nullptr, "Common");
  TdxSkinElement* button = AddElement<TdxSkinElement>(&source, "Button");
  button->SetColor(0x102030);
  button->Borders()->Bottom()->SetColor(0x405060);
  button->ContentOffset()->AssignRect(TRect(1, 2, 3, 4));
  AddProperty<TdxSkinRectProperty>(button, "Padding")->SetValue(button->ContentOffset());
  AddElement<TdxSkinEmptyElement>(&source, "Missing");
  AddProperty<TdxSkinBooleanProperty>(&source, "Flat")->SetValue(true);

  TdxSkinControlGroup target(nullptr, "Other");
  AddElement<TdxSkinElement>(&target, "Old");
  TChangeLog log;
  target.OnChange = log.Handler();
  target.Assign(&source);
  EXPECT_EQ(log.Changes.size(), 1u) << "one bracket";
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.Items(0)->ClassType(), TdxSkinElement::StaticClass());
  EXPECT_EQ(target.Items(0)->Name(), "Button");
  EXPECT_EQ(target.Items(1)->ClassType(), TdxSkinEmptyElement::StaticClass());
  EXPECT_EQ(target.Items(1)->Name(), "Missing");
  EXPECT_TRUE(target.Items(0)->SameAs(button));
  EXPECT_EQ(target.Items(0)->GetOwner(), &target);
  ASSERT_NE(target.FindProperty("Flat"), nullptr);
  EXPECT_TRUE(static_cast<TdxSkinBooleanProperty*>(target.FindProperty("Flat"))->Value());
}

TEST(SkinAssign, UnrelatedClassesRaiseTheAssignmentErrorExceptBordersAndImages) {
  TdxSkinElement element(nullptr, "E");
  TdxSkinColor color(nullptr, "C");
  TdxSkinIntegerProperty integer(nullptr, "I");
  EXPECT_THROW(element.Assign(&color), EConvertError);
  EXPECT_THROW(color.Assign(&integer), EConvertError);
  EXPECT_THROW(integer.Assign(&element), EConvertError);

  TdxSkinBorder border(nullptr, "Left");
  border.SetColor(0x111111);
  EXPECT_NO_THROW(border.Assign(&color));
  EXPECT_EQ(border.Color(), 0x111111);
  TdxSkinBorders borders(nullptr, "Borders");
  EXPECT_NO_THROW(borders.Assign(&integer));

  // An element takes the properties of any skin persistent.
  TdxSkinControlGroup group(nullptr, "G");
  AddProperty<TdxSkinIntegerProperty>(&group, "Indent")->SetValue(7);
  element.Assign(&group);
  ASSERT_EQ(element.Properties()->Count(), 1);
  EXPECT_EQ(static_cast<TdxSkinIntegerProperty*>(element.FindProperty("Indent"))->Value(), 7);
}

}  // namespace
