#include "platform/rtl/properties.h"

#include <gtest/gtest.h>

#include "component_streaming_test_classes.h"
#include "platform/rtl/strutils.h"

// An enumeration declared elsewhere, named afterwards.
enum TPlainKind { pkFirst, pkSecond, pkThird };
RTL_ENUM_NAMES(TPlainKind, pkFirst, pkSecond, pkThird)

namespace {

TEST(TypeInfo, EnumerationsAreNamedByTheirDeclaration) {
  struct {
    PTypeInfo Type;
    Integer Value;
    const char* Name;
  } cases[] = {
      {TypeInfo<TTestAlign>(), taNone, "taNone"},
      {TypeInfo<TTestAlign>(), taClient, "taClient"},
      {TypeInfo<TPlainKind>(), pkThird, "pkThird"},
      {TypeInfo<bool>(), 1, "True"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Type->Kind, tkEnumeration);
    EXPECT_EQ(GetEnumName(c.Type, c.Value), c.Name);
    EXPECT_EQ(GetEnumValue(c.Type, c.Name), c.Value);
    EXPECT_EQ(GetEnumValue(c.Type, UpperCase(c.Name)), c.Value);
  }
  EXPECT_EQ(TypeInfo<TTestAlign>()->EnumNames.size(), 6u);
  EXPECT_EQ(GetEnumName(TypeInfo<TTestAlign>(), 6), "");
  EXPECT_EQ(GetEnumName(TypeInfo<TTestAlign>(), -1), "");
  EXPECT_EQ(GetEnumValue(TypeInfo<TTestAlign>(), "alClient"), -1);
}

TEST(TypeInfo, KindsFollowTheValueTypes) {
  EXPECT_EQ(TypeInfo<Integer>()->Kind, tkInteger);
  EXPECT_EQ(TypeInfo<Cardinal>()->Kind, tkInteger);
  EXPECT_EQ(TypeInfo<Int64>()->Kind, tkInt64);
  EXPECT_EQ(TypeInfo<char>()->Kind, tkChar);
  EXPECT_EQ(TypeInfo<WideChar>()->Kind, tkWChar);
  EXPECT_EQ(TypeInfo<float>()->FloatType, ftSingle);
  EXPECT_EQ(TypeInfo<double>()->Kind, tkFloat);
  EXPECT_EQ(TypeInfo<AnsiString>()->Kind, tkLString);
  EXPECT_EQ(TypeInfo<WideString>()->Kind, tkWString);
  EXPECT_EQ(TypeInfo<TTestAnchors>()->CompType, TypeInfo<TTestAnchor>());
  EXPECT_EQ(TypeInfo<TTestFont*>()->ClassType(), TTestFont::StaticClass());
  EXPECT_EQ(TypeInfo<TNotifyEvent>()->Kind, tkMethod);
  EXPECT_NE(TypeInfo<TNotifyEvent>(), TypeInfo<TClosure<void(TObject*, Integer)>>());
}

TEST(TypeInfo, SetsConvertToAndFromTheirNames) {
  PTypeInfo anchors = TypeInfo<TTestAnchors>();
  Int64 bits = static_cast<Int64>(TTestAnchors{akLeft, akBottom}.ToBits());
  EXPECT_EQ(SetToString(anchors, bits), "akLeft,akBottom");
  EXPECT_EQ(SetToString(anchors, bits, true), "[akLeft,akBottom]");
  EXPECT_EQ(SetToString(anchors, 0, true), "[]");
  EXPECT_EQ(StringToSet(anchors, "[ akbottom , akLeft ]"), bits);
  EXPECT_EQ(StringToSet(anchors, ""), 0);
  try {
    StringToSet(anchors, "akLeft,akMiddle");
    ADD_FAILURE() << "no error";
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Invalid property element: akMiddle");
  }
}

TEST(TypeInfo, IdentsNameIntegerValues) {
  Integer v = 0;
  EXPECT_TRUE(IdentToInt("CLRED", v, TestColorIdents));
  EXPECT_EQ(v, clTestRed);
  EXPECT_FALSE(IdentToInt("clBlue", v, TestColorIdents));
  AnsiString ident;
  EXPECT_TRUE(IntToIdent(clTestWindow, ident, TestColorIdents));
  EXPECT_EQ(ident, "clWindow");
  EXPECT_FALSE(IntToIdent(5, ident, TestColorIdents));
}

TEST(PublishedProperties, AreInheritedInDeclarationOrder) {
  const auto& control = GetPropList(TTestControl::StaticClass());
  const auto& button = GetPropList(TTestButton::StaticClass());
  ASSERT_EQ(control.size(), button.size());
  EXPECT_STREQ(control[0]->Name, "Tag");  // the component's own comes first
  EXPECT_STREQ(control[1]->Name, "Left");
  EXPECT_STREQ(control.back()->Name, "OnChange");
  // Published again with another default, in its ancestor's place.
  PPropInfo width = GetPropInfo(TTestButton::StaticClass(), "width");
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->Default, 75);
  EXPECT_EQ(width->DeclaringClass(), TTestButton::StaticClass());
  EXPECT_EQ(button[3], width);
  EXPECT_EQ(control[3]->Default, 64);
  // Classes that add no properties have their ancestor's.
  EXPECT_EQ(GetPropList(TTestForm2::StaticClass()), control);
  EXPECT_EQ(GetPropInfo(TTestControl::StaticClass(), "Nothing"), nullptr);
  ASSERT_EQ(GetPropList(TComponent::StaticClass()).size(), 1u);
  EXPECT_TRUE(GetPropList(TPersistent::StaticClass()).empty());
}

TEST(PublishedProperties, AreReadAndWrittenByKind) {
  TTestControl c(nullptr);
  auto prop = [&c](const char* name) { return GetPropInfo(&c, name); };
  SetOrdProp(&c, prop("Width"), 120);
  EXPECT_EQ(c.Width(), 120);
  SetEnumProp(&c, prop("Align"), "taclient");
  EXPECT_EQ(c.Align(), taClient);
  EXPECT_EQ(GetEnumProp(&c, prop("Align")), "taClient");
  SetOrdProp(&c, prop("Visible"), 0);
  EXPECT_FALSE(c.Visible());
  SetSetProp(&c, prop("Anchors"), "[akRight]");
  EXPECT_EQ(c.Anchors(), TTestAnchors{akRight});
  EXPECT_EQ(GetSetProp(&c, prop("Anchors"), true), "[akRight]");
  SetStrProp(&c, prop("Caption"), "caf\xC3\xA9");
  SetStrProp(&c, prop("Hint"), "caf\xC3\xA9");
  EXPECT_EQ(c.Hint(), u"caf\u00E9");
  EXPECT_EQ(GetWideStrProp(&c, prop("Caption")), u"caf\u00E9");
  SetFloatProp(&c, prop("Ratio"), 0.5);
  EXPECT_EQ(c.Ratio(), 0.5f);
  SetOrdProp(&c, prop("Big"), Int64(1) << 40);
  EXPECT_EQ(c.Big(), Int64(1) << 40);
  SetOrdProp(&c, prop("Accel"), 'Q');
  EXPECT_EQ(c.Accel(), 'Q');
  EXPECT_EQ(GetObjectProp(&c, prop("Font")), c.Font());
  TTestControl other(nullptr);
  SetObjectProp(&c, prop("Link"), &other);
  EXPECT_EQ(c.Link(), &other);
  TTestTimer timer(nullptr);
  EXPECT_THROW(SetObjectProp(&c, prop("Link"), &timer), EPropertyConvertError);
  try {
    GetOrdProp(&c, prop("Caption"));
    ADD_FAILURE() << "no error";
  } catch (const EPropertyConvertError& e) {
    EXPECT_EQ(e.Message(), "Invalid property type: AnsiString");
  }
  EXPECT_THROW(SetEnumProp(&c, prop("Align"), "alClient"), EPropertyError);
  EXPECT_THROW(SetOrdProp(&timer, GetPropInfo(&timer, "Ticks"), 1), EPropertyError);
}

TEST(PublishedProperties, StoredRulesDecideWhatIsWritten) {
  TTestControl c(nullptr);
  PPropInfo font = GetPropInfo(&c, "Font");
  EXPECT_FALSE(IsStoredProp(&c, font));
  c.SetParentFont(false);
  EXPECT_TRUE(IsStoredProp(&c, font));
  EXPECT_TRUE(IsStoredProp(&c, GetPropInfo(&c, "Caption")));
}

TEST(PublishedProperties, EventsBindToHandlersByName) {
  TTestForm form(nullptr);
  PPropInfo onClick = GetPropInfo(&form, "OnClick");
  EXPECT_FALSE(IsMethodPropAssigned(&form, onClick));
  PMethodInfo handler = FindMethodInfo(TTestForm2::StaticClass(), "buttonclick");
  ASSERT_NE(handler, nullptr);
  SetMethodProp(&form, onClick, handler, &form);
  form.OnClick(&form);
  EXPECT_EQ(form.LastHandler, "ButtonClick");
  EXPECT_EQ(GetMethodPropName(&form, onClick, &form), "ButtonClick");
  // The same handler on another form is not this form's.
  TTestForm other(nullptr);
  EXPECT_EQ(GetMethodPropName(&form, onClick, &other), "");
  // A handler in code has no name.
  form.OnClick = [](TObject*) {};
  EXPECT_TRUE(IsMethodPropAssigned(&form, onClick));
  EXPECT_EQ(GetMethodPropName(&form, onClick, &form), "");
  // Handlers that do not fit, or an object without them.
  EXPECT_THROW(SetMethodProp(&form, onClick, FindMethodInfo(form.ClassType(), "Resize"), &form), EPropertyConvertError);
  TTestControl plain(nullptr);
  EXPECT_THROW(SetMethodProp(&form, onClick, handler, &plain), EPropertyConvertError);
  SetMethodProp(&form, onClick, nullptr, nullptr);
  EXPECT_FALSE(form.OnClick);
  EXPECT_EQ(FindMethodInfo(TTestControl::StaticClass(), "ButtonClick"), nullptr);
}

TEST(PublishedProperties, FieldsPointAtComponentsOfTheirClass) {
  TTestForm form(nullptr);
  TTestButton button(nullptr);
  TTestTimer timer(nullptr);
  EXPECT_TRUE(SetFieldReference(&form, "button1", &button));
  EXPECT_EQ(form.Button1, &button);
  EXPECT_FALSE(SetFieldReference(&form, "Button1", &timer));
  EXPECT_EQ(form.Button1, &button);
  EXPECT_TRUE(SetFieldReference(&form, "Button1", nullptr));
  EXPECT_EQ(form.Button1, nullptr);
  EXPECT_FALSE(SetFieldReference(&form, "Nothing", &button));
  EXPECT_EQ(GetFieldClass(TTestForm2::StaticClass(), "ttesttimer"), TTestTimer::StaticClass());
  EXPECT_EQ(GetFieldClass(TTestForm::StaticClass(), "TTestButton"), nullptr);
}

TEST(PublishedProperties, AnOwnersFieldFollowsItsComponent) {
  TTestForm form(nullptr);
  auto* button = new TTestButton(nullptr);
  button->SetName("Button1");
  form.InsertComponent(button);
  EXPECT_EQ(form.Button1, button);  // named on insertion
  button->SetName("Other");
  EXPECT_EQ(form.Button1, nullptr);  // renamed away
  button->SetName("Button1");
  EXPECT_EQ(form.Button1, button);
  delete button;
  EXPECT_EQ(form.Button1, nullptr);  // freed
}

}  // namespace
