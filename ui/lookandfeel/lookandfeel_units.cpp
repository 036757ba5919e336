#include "ui/lookandfeel/lookandfeel_units.h"

#include "platform/rtl/units.h"
#include "ui/foundation/units_loader.h"
#include "ui/lookandfeel/skins_core.h"

namespace {

void StartSkinsCoreUnit() {
  dxUnitsLoaderInstance()->RegisterUnitProcs(&dx_skins_core_detail::StartSkinsCore,
                                             &dx_skins_core_detail::StopSkinsCore);
}

void StopSkinsCoreUnit() {
  if (TdxUnitsLoader* loader = dxUnitsLoaderInstance()) loader->FinalizeUnitEarly(&dx_skins_core_detail::StopSkinsCore);
}

}  // namespace

void RegisterLookAndFeelUnits(TUnitRegistry& Registry) {
  Registry.Register("dxSkinsCore", &StartSkinsCoreUnit, &StopSkinsCoreUnit);
}

void RegisterLookAndFeelUnits() { RegisterLookAndFeelUnits(Units()); }
