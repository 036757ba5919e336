// The standard controls read from and written to form descriptions.
#include "stdctrls_test_support.h"

RTL_IMPLEMENT_CLASS(TDescribedForm)

using namespace stdctrls_test;

namespace {

}  // namespace
