#include "ui/foundation/geometry_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/streams.h"

namespace {

// Counts OnChange calls and checks the sender.
struct TChangeCounter {
  TObject* Expected = nullptr;
  int Count = 0;
  void Changed(TObject* Sender) {
    EXPECT_EQ(Sender, Expected);
    ++Count;
  }
  void Watch(TcxGeometryObject* AObject) {
    Expected = AObject;
    AObject->OnChange = TNotifyEvent(this, &TChangeCounter::Changed);
  }
};

// A rectangle that never lets Right go left of Left.
class TOrderedRect : public TcxRect {
 public:
  using TcxRect::TcxRect;

 protected:
  void AdjustRect(TRect& ARect) override {
    if (ARect.Right < ARect.Left) ARect.Right = ARect.Left;
  }
};

TEST(GeometryObjects, RectReportsOnlyRealChanges) {
  TcxRect r(nullptr);
  TChangeCounter changes;
  changes.Watch(&r);
  r.SetSide(0, 0);
  EXPECT_EQ(changes.Count, 0);
  r.SetSide(2, 7);
  r.SetSide(2, 7);
  EXPECT_EQ(changes.Count, 1);
  r.AssignRect(TRect(1, 2, 3, 4));
  r.AssignRect(TRect(1, 2, 3, 4));
  EXPECT_EQ(changes.Count, 2);
  EXPECT_EQ(r.Rect(), TRect(1, 2, 3, 4));
  EXPECT_EQ(r.Left(), 1);
  EXPECT_EQ(r.Top(), 2);
  EXPECT_EQ(r.Right(), 3);
  EXPECT_EQ(r.Bottom(), 4);
  EXPECT_TRUE(r.IsEqualToRect(TRect(1, 2, 3, 4)));

  // The hook corrects before the comparison: a rectangle it turns into the
  // held one changes nothing.
  TOrderedRect ordered(nullptr);
  TChangeCounter orderedChanges;
  orderedChanges.Watch(&ordered);
  ordered.AssignRect(TRect(5, 0, 9, 1));
  ordered.AssignRect(TRect(5, 0, 2, 1));
  EXPECT_EQ(ordered.Rect(), TRect(5, 0, 5, 1));
  ordered.SetRight(-10);
  EXPECT_EQ(orderedChanges.Count, 2);

  // Assign copies between rectangles; a foreign class is refused.
  TcxRect copy(nullptr);
  copy.Assign(&r);
  EXPECT_TRUE(copy.IsEqual(&r));
  TcxSize size(nullptr);
  EXPECT_THROW(copy.Assign(&size), EConvertError);
}

TEST(GeometryObjects, SizeClampsNegativeMembers) {
  TcxSize s(nullptr);
  TChangeCounter changes;
  changes.Watch(&s);
  s.SetAsSize(TSize(-5, 3));
  EXPECT_EQ(s.GetAsSize(), TSize(0, 3));
  EXPECT_EQ(s.Width(), 0);
  EXPECT_EQ(s.Height(), 3);
  EXPECT_EQ(changes.Count, 1);
  // Width is already 0: a negative width changes nothing.
  s.SetWidth(-1);
  EXPECT_EQ(changes.Count, 1);
  s.SetWidth(4);
  s.SetWidth(-1);
  EXPECT_EQ(s.Width(), 0);
  EXPECT_EQ(changes.Count, 3);
  EXPECT_FALSE(s.IsDimensionStored(1));
  EXPECT_TRUE(s.IsDimensionStored(0));
  s.SetHeight(-2);
  EXPECT_EQ(s.GetAsSize(), TSize(0, 0));

  TcxSize other(nullptr);
  other.SetAsSize(TSize(2, 9));
  s.Assign(&other);
  EXPECT_TRUE(s.IsEqual(&other));
}

TEST(GeometryObjects, MarginAllStandsForFourEqualSides) {
  TcxMargin m(nullptr, 2);
  TChangeCounter changes;
  changes.Watch(&m);
  EXPECT_EQ(m.All(), 2);
  EXPECT_EQ(m.Margin(), TRect(2, 2, 2, 2));
  for (Integer side = 0; side <= 4; ++side) EXPECT_FALSE(m.IsSideStored(side)) << side;

  m.SetLeft(5);
  EXPECT_EQ(m.All(), -1);
  EXPECT_EQ(m.Margin(), TRect(5, 2, 2, 2));
  for (Integer side = 0; side <= 4; ++side) EXPECT_TRUE(m.IsSideStored(side)) << side;
  EXPECT_EQ(changes.Count, 1);

  // -1 is what All reads already: nothing happens.
  m.SetAll(-1);
  EXPECT_EQ(m.Margin(), TRect(5, 2, 2, 2));
  EXPECT_EQ(changes.Count, 1);

  m.SetAll(3);
  EXPECT_EQ(m.Margin(), TRect(3, 3, 3, 3));
  EXPECT_TRUE(m.IsSideStored(0));
  EXPECT_FALSE(m.IsSideStored(1));
  EXPECT_EQ(changes.Count, 2);

  // Copying equal margins reports nothing; different ones once.
  TcxMargin other(nullptr, 0);
  other.SetAll(3);
  m.Assign(&other);
  EXPECT_EQ(changes.Count, 2);
  other.SetBottom(8);
  m.Assign(&other);
  EXPECT_EQ(changes.Count, 3);
  EXPECT_TRUE(m.IsEqual(&other));
  EXPECT_EQ(m.Bottom(), 8);
  EXPECT_EQ(m.DefaultValue(), 2);
}

// ---- Byte streams ------------------------------------------------------------------------

std::vector<Byte> Bytes(TMemoryStream& AStream) {
  const Byte* p = static_cast<const Byte*>(AStream.Memory());
  return std::vector<Byte>(p, p + AStream.Size());
}

template <class TObjectClass>
void ExpectRoundTrip(TObjectClass& AObject, const std::vector<Byte>& AExpected) {
  TMemoryStream stream;
  AObject.WriteToStream(&stream);
  EXPECT_EQ(Bytes(stream), AExpected) << AObject.ClassName();
  stream.SetPosition(0);
  TObjectClass copy(nullptr);
  copy.ReadFromStream(&stream);
  EXPECT_TRUE(copy.IsEqual(&AObject)) << AObject.ClassName();
  EXPECT_EQ(stream.Position(), static_cast<Int64>(AExpected.size()));

  // One byte short: the read error comes out and nothing changes.
  TMemoryStream shortStream;
  shortStream.WriteBuffer(AExpected.data(), static_cast<Integer>(AExpected.size()) - 1);
  shortStream.SetPosition(0);
  TObjectClass target(nullptr);
  TChangeCounter changes;
  changes.Watch(&target);
  TMemoryStream untouched;
  target.WriteToStream(&untouched);
  EXPECT_THROW(target.ReadFromStream(&shortStream), EReadError) << AObject.ClassName();
  TMemoryStream after;
  target.WriteToStream(&after);
  EXPECT_EQ(Bytes(after), Bytes(untouched)) << AObject.ClassName();
  EXPECT_EQ(changes.Count, 0) << AObject.ClassName();
}

TEST(GeometryObjects, ByteFormsAreLittleEndianAndShortStreamsRaise) {
  TcxRect r(nullptr);
  r.AssignRect(TRect(1, -2, 0x01020304, 0));
  ExpectRoundTrip(r, {1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1, 0, 0, 0, 0});

  TcxSize s(nullptr);
  s.SetAsSize(TSize(300, 2));  // width first
  ExpectRoundTrip(s, {0x2C, 1, 0, 0, 2, 0, 0, 0});

  TcxMargin m(nullptr);
  m.SetLeft(1);
  m.SetTop(2);
  m.SetRight(3);
  m.SetBottom(256);
  ExpectRoundTrip(m, {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0, 1, 0, 0});
}

TEST(GeometryObjects, ASizeReadFromAStreamIsClamped) {
  TMemoryStream stream;
  const Byte bytes[] = {0xFB, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0};  // (-5, 3)
  stream.WriteBuffer(bytes, sizeof(bytes));
  stream.SetPosition(0);
  TcxSize s(nullptr);
  s.ReadFromStream(&stream);
  EXPECT_EQ(s.GetAsSize(), TSize(0, 3));
}

// ---- Form text ------------------------------------------------------------------------

class TGeometryHolder : public TComponent {
  RTL_CLASS(TGeometryHolder, TComponent)
  std::unique_ptr<TcxRect> FBounds = std::make_unique<TcxRect>(this);
  std::unique_ptr<TcxSize> FGlyphSize = std::make_unique<TcxSize>(this);
  std::unique_ptr<TcxMargin> FPadding = std::make_unique<TcxMargin>(this, 2);

 public:
  explicit TGeometryHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TcxRect* Bounds() const { return FBounds.get(); }
  void SetBounds(TcxRect* Value) { FBounds->Assign(Value); }
  TcxSize* GlyphSize() const { return FGlyphSize.get(); }
  void SetGlyphSize(TcxSize* Value) { FGlyphSize->Assign(Value); }
  TcxMargin* Padding() const { return FPadding.get(); }
  void SetPadding(TcxMargin* Value) { FPadding->Assign(Value); }
};

RTL_IMPLEMENT_PUBLISHED(TGeometryHolder, RTL_PROP(Bounds), RTL_PROP(GlyphSize), RTL_PROP(Padding))

AnsiString WriteToText(TComponent* ARoot) {
  TMemoryStream binary;
  TWriter writer(&binary, 4096);
  writer.WriteDescendent(ARoot, nullptr);
  writer.FlushBuffer();
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(&binary, &text);
  return text.DataString();
}

void ReadFromText(const AnsiString& AText, TComponent* ARoot) {
  TStringStream input(AText);
  ReadComponentText(&input, ARoot);
}

TEST(GeometryObjects, FormTextWritesWhatDiffersFromTheDefaults) {
  const struct {
    const char* Name;
    void (*Set)(TGeometryHolder&);
    const char* Text;
  } cases[] = {
      {"defaults", [](TGeometryHolder&) {}, "object Holder: TGeometryHolder\nend\n"},
      {"zero sides are left out",
       [](TGeometryHolder& h) {
         h.Bounds()->AssignRect(TRect(0, 5, 0, -7));
         h.GlyphSize()->SetWidth(16);
         h.Padding()->SetAll(4);
       },
       "object Holder: TGeometryHolder\n"
       "  Bounds.Top = 5\n"
       "  Bounds.Bottom = -7\n"
       "  GlyphSize.Width = 16\n"
       "  Padding.All = 4\n"
       "end\n"},
      {"sides of a margin that differ",
       [](TGeometryHolder& h) {
         h.Bounds()->AssignRect(TRect(1, 2, 3, 4));
         h.GlyphSize()->SetAsSize(TSize(16, 15));
         h.Padding()->SetLeft(5);
       },
       "object Holder: TGeometryHolder\n"
       "  Bounds.Left = 1\n"
       "  Bounds.Top = 2\n"
       "  Bounds.Right = 3\n"
       "  Bounds.Bottom = 4\n"
       "  GlyphSize.Height = 15\n"
       "  GlyphSize.Width = 16\n"
       "  Padding.All = -1\n"
       "  Padding.Left = 5\n"
       "  Padding.Top = 2\n"
       "  Padding.Right = 2\n"
       "  Padding.Bottom = 2\n"
       "end\n"},
  };
  for (const auto& c : cases) {
    TGeometryHolder written(nullptr);
    written.SetName("Holder");
    c.Set(written);
    AnsiString text = WriteToText(&written);
    EXPECT_EQ(text, c.Text) << c.Name;

    TGeometryHolder read(nullptr);
    ReadFromText(text, &read);
    EXPECT_TRUE(read.Bounds()->IsEqual(written.Bounds())) << c.Name;
    EXPECT_TRUE(read.GlyphSize()->IsEqual(written.GlyphSize())) << c.Name;
    EXPECT_TRUE(read.Padding()->IsEqual(written.Padding())) << c.Name;
  }
}

TEST(GeometryObjects, StartUpRegistersTheRectangleClassByName) {
  cx_geometry_detail::StartGeometry();
  TClass found = GetClass("TcxRect");
  ASSERT_EQ(found, TcxRect::StaticClass());
  TComponent owner(nullptr);
  std::unique_ptr<TObject> made(CreateInstance(found, &owner));
  auto* rect = dynamic_cast<TcxRect*>(made.get());
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->Owner(), &owner);
  cx_geometry_detail::StopGeometry();
  EXPECT_EQ(GetClass("TcxRect"), nullptr);
}

}  // namespace
