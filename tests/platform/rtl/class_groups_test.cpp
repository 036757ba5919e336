#include "platform/rtl/class_groups.h"

#include <gtest/gtest.h>

namespace {

class TGroupHead : public TObject {
  RTL_CLASS(TGroupHead, TObject)
};
class TOtherHead : public TObject {
  RTL_CLASS(TOtherHead, TObject)
};
class TGrouped : public TObject {
  RTL_CLASS(TGrouped, TObject)
};
class TGroupedChild : public TGrouped {
  RTL_CLASS(TGroupedChild, TGrouped)
};
class TRegrouped : public TGroupedChild {
  RTL_CLASS(TRegrouped, TGroupedChild)
};
RTL_IMPLEMENT_CLASS(TGroupHead)
RTL_IMPLEMENT_CLASS(TOtherHead)
RTL_IMPLEMENT_CLASS(TGrouped)
RTL_IMPLEMENT_CLASS(TGroupedChild)
RTL_IMPLEMENT_CLASS(TRegrouped)

TEST(ClassGroups, DescendantsFollowTheirNearestGroupedAncestor) {
  EXPECT_EQ(ClassGroupOf(TGrouped::StaticClass()), nullptr);
  StartClassGroup(TGroupHead::StaticClass());
  StartClassGroup(TOtherHead::StaticClass());
  EXPECT_EQ(ClassGroupOf(TGroupHead::StaticClass()), TGroupHead::StaticClass());

  GroupDescendentsWith(TGrouped::StaticClass(), TGroupHead::StaticClass());
  EXPECT_EQ(ClassGroupOf(TGrouped::StaticClass()), TGroupHead::StaticClass());
  EXPECT_EQ(ClassGroupOf(TGroupedChild::StaticClass()), TGroupHead::StaticClass());

  // Grouped with a member of another group: it joins that group's head.
  GroupDescendentsWith(TOtherHead::StaticClass(), TOtherHead::StaticClass());
  GroupDescendentsWith(TRegrouped::StaticClass(), TOtherHead::StaticClass());
  EXPECT_EQ(ClassGroupOf(TRegrouped::StaticClass()), TOtherHead::StaticClass());
  EXPECT_EQ(ClassGroupOf(TGroupedChild::StaticClass()), TGroupHead::StaticClass());
  EXPECT_EQ(ClassGroupOf(TObject::StaticClass()), nullptr);
}

}  // namespace
