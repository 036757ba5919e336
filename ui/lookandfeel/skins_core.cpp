#include "ui/lookandfeel/skins_core.h"

#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/strutils.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/lookandfeel/skin_borders.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_image.h"
#include "ui/lookandfeel/skin_properties.h"

Byte dxSkinAlternateImageMode = 0;

namespace {

TdxSkinElement* gEmptyElement = nullptr;
std::vector<TClass>* gClassList = nullptr;

// The classes a skin stream names, besides the property classes.
TClass const kObjectClasses[] = {TdxSkinControlGroup::StaticClass(), TdxSkinElement::StaticClass(),
                                 TdxSkinImage::StaticClass()};

const std::vector<TClass>& PropertyClasses() {
  static const std::vector<TClass> classes = {
      TdxSkinAlternateImageAttributes::StaticClass(), TdxSkinBooleanProperty::StaticClass(),
      TdxSkinColor::StaticClass(),                    TdxSkinIntegerProperty::StaticClass(),
      TdxSkinRectProperty::StaticClass(),             TdxSkinSizeProperty::StaticClass(),
      TdxSkinStringProperty::StaticClass(),           TdxSkinWideStringProperty::StaticClass()};
  return classes;
}

}  // namespace

TdxSkinElement* dxSkinEmptyElement() { return gEmptyElement; }

TClass dxSkinFindPropertyClass(const AnsiString& AClassName) {
  // The registered property classes are the class list: a name the class
  // registry knows for anything else must not create, say, an element
  // where a property belongs.
  if (gClassList)
    for (TClass c : *gClassList)
      if (SameText(c->Name, AClassName)) return c;
  throw EClassNotFound("Class %s not found", {AClassName});
}

namespace dx_skins_core_detail {

void StartSkinsCore() {
  if (gClassList) return;
  gEmptyElement = new TdxSkinEmptyElement(nullptr);
  gClassList = new std::vector<TClass>();
  for (TClass c : kObjectClasses) RegisterClass(c);
  for (TClass c : PropertyClasses()) {
    RegisterClass(c);
    gClassList->push_back(c);
  }
  if (dxGpCheckAvailable(false)) dxGpPrepareEncoders();
}

void StopSkinsCore() {
  if (!gClassList) return;
  for (TClass c : kObjectClasses) UnRegisterClass(c);
  for (TClass c : PropertyClasses()) UnRegisterClass(c);
  delete gClassList;
  gClassList = nullptr;
  FreeAndNil(gEmptyElement);
}

}  // namespace dx_skins_core_detail
