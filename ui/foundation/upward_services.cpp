#include "ui/foundation/upward_services.h"

#include "platform/forms/controls.h"
#include "platform/rtl/class_groups.h"
#include "platform/rtl/classes.h"

namespace {
TClass GControlChildComponentClass = nullptr;
TcxDesignTimePredicate GDesignTimePredicate = nullptr;
bool GRegisterOnSet = false;
}  // namespace

void cxSetControlChildComponentClass(TClass AClass) {
  GControlChildComponentClass = AClass;
  if (GRegisterOnSet) cx_controls_detail::RegisterControlChildComponentClass();
}

TClass cxControlChildComponentClass() { return GControlChildComponentClass; }

void cxSetDesignTimePredicate(TcxDesignTimePredicate APredicate) { GDesignTimePredicate = APredicate; }

bool cxIsDesignTime(TComponent* AComponent) {
  if (!AComponent) return false;
  bool Result = false;
  if (GDesignTimePredicate && GDesignTimePredicate(AComponent, Result)) return Result;
  return AComponent->ComponentState().Contains(csDesigning);
}

namespace cx_controls_detail {
void RegisterControlChildComponentClass() {
  // From the window unit's start-up on, a class set later registers too.
  GRegisterOnSet = true;
  if (!GControlChildComponentClass) return;
  StartClassGroup(TControl::StaticClass());
  GroupDescendentsWith(GControlChildComponentClass, TControl::StaticClass());
}
}  // namespace cx_controls_detail
