// The skin unit's library-wide state: the alternate image mode, the empty
// element, the registered property classes, and its start-up and
// shut-down through the units loader.
#pragma once

#include "platform/rtl/object.h"

class TdxSkinElement;

// 0 automatic (alternate image attributes on low-colour devices), 1
// never, 2 always.
extern Byte dxSkinAlternateImageMode;

// The element drawn where a skin has none; null outside the unit's run.
TdxSkinElement* dxSkinEmptyElement();

// The property class a skin stream names by its full class name: one of
// the property classes registered at start-up. Any other name raises
// EClassNotFound "Class %s not found", also the name of a registered
// class that is no skin property.
TClass dxSkinFindPropertyClass(const AnsiString& AClassName);

namespace dx_skins_core_detail {
// The units loader's procedures (lookandfeel_units.h): the empty element and the class list;
// the group, element and image classes and the eight property classes
// registered with the class registry by their full names; GDI+ checked
// and its encoders prepared. The shut-down undoes them in the same order.
void StartSkinsCore();
void StopSkinsCore();
}  // namespace dx_skins_core_detail
