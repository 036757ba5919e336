#include "ui/foundation/foundation_units.h"

#include "platform/rtl/units.h"
#include "ui/foundation/animation.h"
#include "ui/foundation/calendar_tables.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/date_utils.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/fading.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/format_controller.h"
#include "ui/foundation/gestures.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/foundation/graphics_unit.h"
#include "ui/foundation/hook_controller.h"
#include "ui/foundation/image_effects.h"
#include "ui/foundation/library_strs.h"
#include "ui/foundation/message_windows.h"
#include "ui/foundation/office11_colors.h"
#include "ui/foundation/resource_strings.h"
#include "ui/foundation/text_rows.h"
#include "ui/foundation/themes.h"
#include "ui/foundation/threading.h"
#include "ui/foundation/units_loader.h"

namespace {

void StartCore() {
  dxDetectOSVersion();
  dx_core_detail::StartResourceStrings();
  dx_core_detail::StartUnitsLoader();
}

void StopCore() {
  dx_core_detail::FreeResourceStrings();
  dx_core_detail::FreeUnitsLoader();
}

// The two GDI+ units run their procedures through the units loader.
void StartGdiPlusApi() {
  dxUnitsLoaderInstance()->RegisterUnitProcs(&dx_gdiplus_detail::StartBindingUnit,
                                             &dx_gdiplus_detail::StopBindingUnit);
}

void StopGdiPlusApi() {
  if (TdxUnitsLoader* loader = dxUnitsLoaderInstance()) loader->FinalizeUnitEarly(&dx_gdiplus_detail::StopBindingUnit);
}

void StartGdiPlusClasses() {
  dxUnitsLoaderInstance()->RegisterUnitProcs(&dx_gdiplus_detail::StartImagesUnit, &dx_gdiplus_detail::StopImagesUnit);
}

void StopGdiPlusClasses() {
  if (TdxUnitsLoader* loader = dxUnitsLoaderInstance()) loader->FinalizeUnitEarly(&dx_gdiplus_detail::StopImagesUnit);
}

}  // namespace

void RegisterFoundationUnits(TUnitRegistry& Registry) {
  Registry.Register("dxCore", &StartCore, &StopCore);
  Registry.Register("dxThreading", &dx_core_detail::StartThreading, &dx_core_detail::StopThreading);
  Registry.Register("cxLibraryStrs", &dx_core_detail::StartLibraryStrings, &dx_core_detail::StopLibraryStrings);
  Registry.Register("cxGeometry", &cx_geometry_detail::StartGeometry, &cx_geometry_detail::StopGeometry);
  Registry.Register("dxGDIPlusAPI", &StartGdiPlusApi, &StopGdiPlusApi);
  Registry.Register("cxGraphics", &cx_graphics_detail::StartGraphics, &cx_graphics_detail::StopGraphics);
  // The image drawing's cached bitmaps go before the drawing unit stops.
  Registry.Register("cxImageEffects", [] {}, &cx_image_effects_detail::FreeCachedBitmaps);
  Registry.Register("dxUxTheme", &dx_themes_detail::StartUxThemeUnit, &dx_themes_detail::StopUxThemeUnit);
  Registry.Register("cxDWMApi", &dx_themes_detail::StartDwmUnit, &dx_themes_detail::StopDwmUnit);
  Registry.Register("dxThemeManager", &dx_themes_detail::RegisterThemeManagerUnit,
                    &dx_themes_detail::FinalizeThemeManagerUnit);
  Registry.Register("dxOffice11", &dx_office11_detail::StartOffice11, &dx_office11_detail::StopOffice11);
  Registry.Register("cxDrawTextUtils", &cx_text_rows_detail::StartTextRows, &cx_text_rows_detail::StopTextRows);
  Registry.Register("dxGDIPlusClasses", &StartGdiPlusClasses, &StopGdiPlusClasses);
  Registry.Register("cxControls", &cx_controls_detail::StartControls, &cx_controls_detail::StopControls);
  Registry.Register("cxClasses", &cx_classes_detail::StartClasses, &cx_classes_detail::StopClasses);
  // Before every unit that registers hook handlers, so it stops after them.
  Registry.Register("dxHooks", &dx_core_detail::StartHooks, &dx_core_detail::StopHooks);
  // After the component classes: both run on their timers.
  // After the hooks: its announcement handler stays registered for the whole run.
  Registry.Register("dxTouch", &dx_touch_detail::StartTouch, &dx_touch_detail::StopTouch);
  Registry.Register("dxAnimation", &dx_animation_detail::StartAnimation, &dx_animation_detail::StopAnimation);
  Registry.Register("dxFading", &dx_fading_detail::StartFading, &dx_fading_detail::StopFading);
  Registry.Register("cxDateUtils", &cx_date_utils_detail::StartDateUtils, &cx_date_utils_detail::StopDateUtils);
  // After the date utilities, so the controller goes before the calendar tables.
  Registry.Register("cxFormats", &cx_formats_detail::StartFormats, &cx_formats_detail::StopFormats);
}

void RegisterFoundationUnits() { RegisterFoundationUnits(Units()); }
