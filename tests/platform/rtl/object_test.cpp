#include <gtest/gtest.h>

#include "platform/rtl/closure.h"
#include "platform/rtl/object.h"
#include "platform/rtl/sysutils.h"

namespace {

enum TFruit { frApple, frPear, frPlum, frFig };
using TFruits = TSet<TFruit>;

TEST(Sets, OperationsFollowSetAlgebra) {
  TFruits a{frApple, frPear};
  TFruits b{frPear, frPlum};
  EXPECT_EQ(a + b, (TFruits{frApple, frPear, frPlum}));
  EXPECT_EQ(a - b, TFruits{frApple});
  EXPECT_EQ(a * b, TFruits{frPear});
  EXPECT_TRUE((a * TFruits{frFig}).Empty());
  EXPECT_TRUE(TFruits{frPear} <= a);
  EXPECT_FALSE(b <= a);
  a += frFig;
  a -= frApple;
  EXPECT_TRUE(a.Contains(frFig));
  EXPECT_FALSE(a.Contains(frApple));
  EXPECT_EQ(TFruits::FromBits(a.ToBits()), a);
}

TEST(Sets, WideEnumerationsSpanWords) {
  enum TWide { w0 = 0, w63 = 63, w64 = 64, w200 = 200 };
  TSet<TWide, 256> s{w0, w63, w64, w200};
  EXPECT_TRUE(s.Contains(w64));
  EXPECT_TRUE(s.Contains(w200));
  s.Exclude(w64);
  EXPECT_FALSE(s.Contains(w64));
  EXPECT_TRUE(s.Contains(w63));
}

}  // namespace

// Outside the anonymous namespace: the class-reference members of an
// abstract class are otherwise reported unused.
namespace object_test {

class TShape : public TObject {
  RTL_CLASS(TShape, TObject)
 public:
  int Sides = 0;
};
class TSquare : public TShape {
  RTL_CLASS(TSquare, TShape)
 public:
  TSquare() { Sides = 4; }
};
class TAbstractShape : public TShape {
  RTL_CLASS(TAbstractShape, TShape)
 public:
  virtual int Area() const = 0;
};
RTL_IMPLEMENT_CLASS(TShape)
RTL_IMPLEMENT_CLASS(TSquare)
RTL_IMPLEMENT_CLASS(TAbstractShape)

}  // namespace object_test

namespace {
using namespace object_test;

TEST(ClassReferences, NamesAncestryAndCreation) {
  TClass cls = TSquare::StaticClass();
  EXPECT_EQ(cls->ClassName(), "TSquare");
  EXPECT_TRUE(cls->InheritsFrom(TShape::StaticClass()));
  EXPECT_TRUE(cls->InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(cls));

  std::unique_ptr<TObject> made(CreateInstance(cls));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassType(), cls);
  EXPECT_EQ(static_cast<TSquare*>(made.get())->Sides, 4);
  EXPECT_EQ(CreateInstance(TAbstractShape::StaticClass()), nullptr);
  EXPECT_EQ(CreateInstance(nullptr), nullptr);
}

TEST(ClassReferences, FreeAndNilClearsBeforeDeleting) {
  TShape* s = new TSquare;
  FreeAndNil(s);
  EXPECT_EQ(s, nullptr);
}

struct TReceiver {
  int Count = 0;
  void Handler(TObject*) { ++Count; }
  void Other(TObject*) { Count += 10; }
};

TEST(Closures, EqualWhenCodeAndObjectMatch) {
  TReceiver a, b;
  TNotifyEvent e1(&a, &TReceiver::Handler);
  TNotifyEvent e2(&a, &TReceiver::Handler);
  TNotifyEvent e3(&b, &TReceiver::Handler);
  TNotifyEvent e4(&a, &TReceiver::Other);
  EXPECT_TRUE(e1 == e2);
  EXPECT_FALSE(e1 == e3);
  EXPECT_FALSE(e1 == e4);
  EXPECT_EQ(e1.Data(), &a);

  TNotifyEvent none;
  EXPECT_FALSE(none);
  EXPECT_TRUE(none == nullptr);
  EXPECT_TRUE(none == TNotifyEvent());

  int calls = 0;
  TNotifyEvent lambda([&](TObject*) { ++calls; });
  TNotifyEvent copy = lambda;
  TNotifyEvent other([&](TObject*) { ++calls; });
  EXPECT_TRUE(lambda == copy);
  EXPECT_FALSE(lambda == other);

  e1(nullptr);
  copy(nullptr);
  EXPECT_EQ(a.Count, 1);
  EXPECT_EQ(calls, 1);
}

}  // namespace
