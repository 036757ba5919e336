#pragma once
#include "platform/win/user/user_test_seams.h"  // the seams' former name
