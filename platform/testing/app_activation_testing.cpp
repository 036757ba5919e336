#include "platform/testing/app_activation_testing.h"

#include "platform/win/user/user_internal.h"

namespace rtl::testing {

void SetApplicationActive(bool active) { rtl::detail::AppActivationChanged(nullptr, active); }

}  // namespace rtl::testing
