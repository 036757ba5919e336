// The details of a skin or painter: one OnChange per real change and none
// inside an update bracket, the default icons, and assignment.
#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/sysutils.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/lookandfeel/skin_details.h"
#include "ui/lookandfeel/skin_properties.h"

namespace {

TEST(SkinDetails, SettersFireOncePerRealChangeAndNeverInsideABracket) {
  const struct {
    const char* Name;
    std::function<void(TdxSkinDetails&, int)> Set;  // the int picks one of two values
  } setters[] = {
      {"Name", [](TdxSkinDetails& D, int V) { D.SetName(V ? "One" : "Two"); }},
      {"DisplayName", [](TdxSkinDetails& D, int V) { D.SetDisplayName(V ? "One" : "Two"); }},
      {"GroupName", [](TdxSkinDetails& D, int V) { D.SetGroupName(V ? "One" : "Two"); }},
      {"Notes", [](TdxSkinDetails& D, int V) { D.SetNotes(V ? u"One" : u"Two"); }},
      {"small icon", [](TdxSkinDetails& D, int V) {
         if (V)
           D.LoadDefaultIcon(sis16);
         else
           D.GetIcon(sis16)->ReleaseImage();
       }},
  };
  for (const auto& s : setters) {
    SCOPED_TRACE(s.Name);
    TdxSkinDetails details;
    int fired = 0;
    details.OnChange = [&](TObject* Sender) {
      EXPECT_EQ(Sender, &details);
      ++fired;
    };
    s.Set(details, 1);
    EXPECT_EQ(fired, 1);
    if (std::string(s.Name) != "small icon") {
      s.Set(details, 1);
      EXPECT_EQ(fired, 1) << "the same value";
    }
    details.BeginUpdate();
    s.Set(details, 0);
    s.Set(details, 1);
    EXPECT_EQ(fired, 1) << "inside the bracket";
    details.EndUpdate();
    EXPECT_EQ(fired, 2) << "once when the bracket ends";
    details.BeginUpdate();
    details.EndUpdate();
    EXPECT_EQ(fired, 2) << "a bracket without a change";
  }
}

TEST(SkinDetails, ResetAndAssignNotifyOnce) {
  TdxSkinDetails source, target;
  source.SetName("Name");
  source.SetDisplayName("Display");
  source.SetGroupName("Group");
  source.SetNotes(u"Notes \u00FC");
  source.LoadDefaultIcon(sis16);
  source.LoadDefaultIcon(sis48);
  int fired = 0;
  target.OnChange = [&](TObject*) { ++fired; };
  target.Assign(&source);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(target.Name(), "Name");
  EXPECT_EQ(target.DisplayName(), "Display");
  EXPECT_EQ(target.GroupName(), "Group");
  EXPECT_TRUE(target.Notes() == source.Notes());
  EXPECT_TRUE(target.GetIcon(sis48)->SamePixelsAs(source.GetIcon(sis48)));
  target.ResetDetails();
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(target.Name(), "");
  EXPECT_TRUE(target.GetIcon(sis16)->Empty());
  EXPECT_TRUE(target.GetIcon(sis48)->Empty());
  target.ResetDetails();
  EXPECT_EQ(fired, 2) << "nothing left to reset";

  TdxSkinColor color(nullptr, "C");
  EXPECT_THROW(target.Assign(&color), EConvertError);
}

TEST(SkinDetails, TheDefaultIconsLoadAtTheirSizes) {
  TdxSkinDetails details;
  details.LoadDefaultIcon(sis16);
  details.LoadDefaultIcon(sis48);
  EXPECT_EQ(details.GetIcon(sis16)->GetSize(), TSize(16, 16));
  EXPECT_EQ(details.GetIcon(sis48)->GetSize(), TSize(48, 48));
  EXPECT_EQ(details.GetIcon(sis16)->GetImageFormat(), dxImagePng);
  // Transparent corners, an opaque middle.
  const TRGBColors pixels = details.GetIcon(sis48)->GetPixels();
  EXPECT_EQ(pixels[0].rgbReserved, 0);
  EXPECT_EQ(pixels[24 * 48 + 24].rgbReserved, 255);
}

}  // namespace
