// The skin unit's start-up and shut-down through the units loader: the
// classes a stream names are registered by their full names between the
// two, and the empty element lives between them.
#include <gtest/gtest.h>

#include "platform/rtl/classes.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/units.h"
#include "ui/lookandfeel/lookandfeel_units.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skins_core.h"

namespace {

const char* const kClassNames[] = {
    "TdxSkinControlGroup",     "TdxSkinElement",         "TdxSkinImage",
    "TdxSkinAlternateImageAttributes", "TdxSkinBooleanProperty", "TdxSkinColor",
    "TdxSkinIntegerProperty",  "TdxSkinRectProperty",    "TdxSkinSizeProperty",
    "TdxSkinStringProperty",   "TdxSkinWideStringProperty",
};

TEST(SkinsCoreUnit, StartUpRegistersTheElevenClassesAndShutDownTakesThemOut) {
  // The test program runs the unit itself; this test runs it as the
  // program's units do, and leaves it running again.
  dx_skins_core_detail::StopSkinsCore();
  auto restart = TScopeExit([] { dx_skins_core_detail::StartSkinsCore(); });
  EXPECT_EQ(dxSkinEmptyElement(), nullptr);

  TUnitRegistry units;
  RegisterLookAndFeelUnits(units);
  units.Initialize();
  for (const char* name : kClassNames) {
    TClass c = GetClass(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_STREQ(c->Name, name);
  }
  EXPECT_EQ(dxSkinFindPropertyClass("TdxSkinColor"), GetClass("TdxSkinColor"));
  TdxSkinElement* empty = dxSkinEmptyElement();
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->ClassType(), TdxSkinEmptyElement::StaticClass());
  EXPECT_EQ(empty->Name(), "");
  EXPECT_EQ(empty->GetOwner(), nullptr);

  units.Finalize();
  for (const char* name : kClassNames) EXPECT_EQ(GetClass(name), nullptr) << name;
  EXPECT_THROW(dxSkinFindPropertyClass("TdxSkinColor"), EClassNotFound);
  EXPECT_EQ(dxSkinEmptyElement(), nullptr);
}

}  // namespace
