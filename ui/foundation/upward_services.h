// What the foundation needs from the look-and-feel folder above it, filled
// in by that folder at its start-up: the class of the components that live
// inside custom-painted controls, and the design-time test of the base
// control.
#pragma once

#include "platform/rtl/object.h"

class TComponent;

// The component class whose descendants live inside custom-painted
// controls; null until set. Setting it after the window unit has started
// puts it into the control class group at once.
void cxSetControlChildComponentClass(TClass AClass);
TClass cxControlChildComponentClass();

// Answers the design-time state of a component that the look and feel
// knows better (its base control); false leaves the answer to the
// component state.
using TcxDesignTimePredicate = bool (*)(TComponent* AComponent, bool& AIsDesignTime);
void cxSetDesignTimePredicate(TcxDesignTimePredicate APredicate);
// Through the predicate when it answers, else csDesigning of the
// component's state; false for null.
bool cxIsDesignTime(TComponent* AComponent);

namespace cx_controls_detail {
// Puts the control-child component class into the control class group.
void RegisterControlChildComponentClass();
}  // namespace cx_controls_detail
