// Form-streaming class groups: a group starts at a class, and classes are
// put into the group of another class with all their descendants. The
// groups are recorded only; form reading accepts every registered class.
#pragma once

#include "platform/rtl/object.h"

// Starts a group headed by AClass (nothing when it already heads one).
void StartClassGroup(TClass AClass);
// Puts AClass and its descendants into the group AClassGroup belongs to.
// A class grouped again moves to the new group.
void GroupDescendentsWith(TClass AClass, TClass AClassGroup);
// The head of the group that AClass belongs to: through its own grouping
// or that of its nearest grouped ancestor; null when it is in none.
TClass ClassGroupOf(TClass AClass);
