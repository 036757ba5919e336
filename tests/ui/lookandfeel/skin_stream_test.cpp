// The skin stream: every record written and read back, the older layouts
// by version, and damaged input, which must fail cleanly without reading
// past a block or allocating what a lying length asks for.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "alloc_probe.h"
#include "platform/forms/graphics.h"
#include "skin_fixture.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/geometry_objects.h"
#include "ui/lookandfeel/skin_borders.h"
#include "ui/lookandfeel/skin_details.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_image.h"
#include "ui/lookandfeel/skin_properties.h"
#include "ui/lookandfeel/skin_stream.h"

namespace {

using namespace skin_test;

// Text no 8-bit code page holds: Cyrillic, CJK, a pair of surrogates and
// a lone one.
const WideString kFarText = u"Ж日本\U0001F600\xD800z";

void LoadPng(TdxGPImage* AImage, const std::string& APng) {
  TStringStream s(APng);
  AImage->LoadFromStream(&s);
}

// Reads what the object wrote into the target with the newest version;
// the whole record is read. Returns the bytes.
template <class T>
std::string WriteAndRead(T* ASource, T* ATarget) {
  const std::string bytes = Saved(ASource);
  TStringStream s(bytes);
  ATarget->LoadFromSkinStream(&s, kNewest);
  EXPECT_EQ(s.Position(), s.Size());
  return bytes;
}

// An element carrying one property of every kind, none at its default.
void FillProperties(TdxSkinPersistent* AOwner) {
  AddProperty<TdxSkinIntegerProperty>(AOwner, "Integer")->SetValue(-123456);
  AddProperty<TdxSkinBooleanProperty>(AOwner, "Boolean")->SetValue(true);
  AddProperty<TdxSkinColor>(AOwner, "Color")->SetValue(clNone);
  auto* rect = AddProperty<TdxSkinRectProperty>(AOwner, "Rect");
  rect->Value()->AssignRect(TRect(-5, -6, -7, 8));
  AddProperty<TdxSkinSizeProperty>(AOwner, "Size")->SetValue(TSize(-3, 40));
  AddProperty<TdxSkinStringProperty>(AOwner, "String")->SetValue("Caption text");
  AddProperty<TdxSkinStringProperty>(AOwner, "EmptyString");
  AddProperty<TdxSkinWideStringProperty>(AOwner, "WideString")->SetWideValue(kFarText);
  auto* attributes = AddProperty<TdxSkinAlternateImageAttributes>(AOwner, "AlternateImage1Hot");
  attributes->SetAlpha(77);
  attributes->SetGradient(gmBackwardDiagonal);
  attributes->SetGradientBeginColor(0x010203);
  attributes->SetGradientEndColor(0x040506);
  attributes->Borders()->Top()->SetColor(0x0A0B0C);
  attributes->BordersInner()->Right()->SetThin(9);
  attributes->ContentOffsets()->AssignRect(TRect(1, -2, 3, -4));
}

void ExpectSameProperties(TdxSkinPersistent* A, TdxSkinPersistent* B) {
  ASSERT_EQ(A->Properties()->Count(), B->Properties()->Count());
  for (Integer i = 0; i < A->Properties()->Count(); ++i)
    EXPECT_TRUE(A->Properties()->Items(i)->SameAs(B->Properties()->Items(i))) << A->Properties()->Items(i)->Name();
}

void FillImage(TdxSkinImage* AImage, int ASeed) {
  LoadPng(AImage->Texture(), TestPng(6, 3, ASeed));
  AImage->SetImageLayout(ilVertical);
  AImage->SetImageCount(3);
  AImage->SetStates({esNormal, esHot, esCheckPressed});
  AImage->SetStretch(smNoResize);
  AImage->SetGradient(gmForwardDiagonal);
  AImage->SetGradientBeginColor(0x112233);
  AImage->SetGradientEndColor(clDefault);
  AImage->Margins()->SetLeft(2);
  AImage->Margins()->SetBottom(-1);
}

void FillElement(TdxSkinElement* AElement) {
  AElement->SetColor(0x00ABCDEF);
  AElement->SetAlpha(0);
  AElement->SetTextColor(clNone);
  AElement->ContentOffset()->AssignRect(TRect(-1, -2, 3, 4));
  AElement->MinSize()->SetAsSize(TSize(16, 22));
  AElement->Borders()->Left()->SetColor(0x0F0F0F);
  AElement->Borders()->Bottom()->SetThin(0);
  FillImage(AElement->Image(), 1);
  FillImage(AElement->Glyph(), 2);
  AElement->Glyph()->SetImageCount(1);
  FillProperties(AElement);
}

TEST(SkinStream, EveryRecordReadsBackAsItWasWritten) {
  const struct {
    const char* Name;
    std::function<void()> Check;
  } cases[] = {
      {"property list of every kind, twice",
       [] {
         TdxSkinElement source(nullptr, "E"), first(nullptr, "E"), second(nullptr, "E");
         FillProperties(&source);
         const std::string bytes = WriteAndRead(source.Properties(), first.Properties());
         ExpectSameProperties(&source, &first);
         // Read and written again, the wide text loses nothing.
         EXPECT_EQ(WriteAndRead(first.Properties(), second.Properties()), bytes);
         auto* wide = static_cast<TdxSkinWideStringProperty*>(second.FindProperty("WideString"));
         EXPECT_EQ(wide->WideValue(), kFarText);
         EXPECT_EQ(static_cast<TdxSkinStringProperty*>(second.FindProperty("EmptyString"))->Value(), "");
       }},
      {"empty property list",
       [] {
         TdxSkinElement source(nullptr, "E"), target(nullptr, "E");
         AddProperty<TdxSkinIntegerProperty>(&target, "Gone");
         EXPECT_EQ(WriteAndRead(source.Properties(), target.Properties()), TBytes().I32(0).Bytes());
         EXPECT_EQ(target.Properties()->Count(), 1) << "reading appends";
       }},
      {"border",
       [] {
         TdxSkinBorder source(nullptr, "Right", 2), target(nullptr, "Right", 2);
         source.SetColor(0x123456);
         source.SetThin(-3);
         EXPECT_EQ(WriteAndRead(&source, &target), TBytes().I32(0x123456).I32(-3).Bytes());
         EXPECT_TRUE(target.SameAs(&source));
       }},
      {"borders",
       [] {
         TdxSkinBorders source(nullptr, "Borders"), target(nullptr, "Borders");
         for (int kind = 0; kind < 4; ++kind) {
           source.Items(kind)->SetColor(0x10 << kind);
           source.Items(kind)->SetThin(kind);
         }
         EXPECT_EQ(WriteAndRead(&source, &target).size(), 32u);
         EXPECT_TRUE(target.SameAs(&source));
       }},
      {"image with a texture",
       [] {
         TdxSkinImage source(nullptr), target(nullptr);
         FillImage(&source, 3);
         WriteAndRead(&source, &target);
         EXPECT_TRUE(target.SameAs(&source));
         EXPECT_EQ(target.ImageCount(), 3);
         EXPECT_EQ(target.GradientEndColor(), clDefault);
         EXPECT_EQ(target.Margins()->Bottom(), -1);
         EXPECT_TRUE(target.Dirty());
       }},
      {"empty image",
       [] {
         TdxSkinImage source(nullptr), target(nullptr);
         const std::string bytes = WriteAndRead(&source, &target);
         EXPECT_EQ(bytes.substr(bytes.size() - 4), TBytes().I32(0).Bytes()) << "an empty block has size 0";
         EXPECT_TRUE(target.Empty());
         EXPECT_TRUE(target.SameAs(&source));
       }},
      {"element",
       [] {
         TdxSkinElement source(nullptr, "Button"), target(nullptr, "Button");
         FillElement(&source);
         WriteAndRead(&source, &target);
         EXPECT_TRUE(target.SameAs(&source));
         EXPECT_EQ(target.ContentOffset()->Rect(), TRect(-1, -2, 3, 4));
         EXPECT_EQ(target.Alpha(), 0);
       }},
      {"element list and control group",
       [] {
         TdxSkinControlGroup source(nullptr, "Common"), target(nullptr, "Common");
         FillElement(AddElement<TdxSkinElement>(&source, "Button"));
         AddElement<TdxSkinElement>(&source, "");
         FillProperties(&source);
         const std::string bytes = Saved(&source);
         TStringStream s(bytes);
         EXPECT_EQ(dxSkinReadString(&s), "Common");
         target.LoadFromSkinStream(&s, kNewest);
         EXPECT_EQ(s.Position(), s.Size());
         ASSERT_EQ(target.Count(), 2);
         EXPECT_TRUE(target.Items(0)->SameAs(source.Items(0)));
         EXPECT_TRUE(target.Items(1)->SameAs(source.Items(1)));
         EXPECT_EQ(target.Items(1)->Name(), "");
         ExpectSameProperties(&source, &target);
       }},
      {"details",
       [] {
         TdxSkinDetails source, target;
         source.SetName("Neutral");
         source.SetDisplayName("");
         source.SetGroupName("Built-in");
         source.SetNotes(kFarText);
         LoadPng(source.GetIcon(sis16), TestPng(16, 16, 4));
         LoadPng(source.GetIcon(sis48), TestPng(48, 48, 5));
         WriteAndRead(&source, &target);
         EXPECT_EQ(target.Name(), "Neutral");
         EXPECT_EQ(target.DisplayName(), "");
         EXPECT_EQ(target.GroupName(), "Built-in");
         EXPECT_EQ(target.Notes(), kFarText);
         EXPECT_TRUE(target.GetIcon(sis16)->SamePixelsAs(source.GetIcon(sis16)));
         EXPECT_TRUE(target.GetIcon(sis48)->SamePixelsAs(source.GetIcon(sis48)));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Check();
  }
}

TEST(SkinStream, WideTextKeepsTheBytesTheEightBitFormWrote) {
  TdxSkinWideStringProperty property(nullptr, "W");
  property.SetValue("Ab");
  EXPECT_EQ(Saved(&property), TBytes().I32(2).U16('A').U16('b').Bytes());
  property.SetWideValue(u"\x00E9");
  EXPECT_EQ(property.Value(), "\xC3\xA9") << "as 8-bit text";
}

// ---- Older layouts ---------------------------------------------------------------------

struct TLayout {
  double Version;
  bool ImageCountInElement;
  bool Gradients;
  bool BorderNames;
};

// An element record as a stream of that version holds it.
std::string ElementRecord(const TLayout& L) {
  TBytes b;
  b.I32(0x0A0B0C).U8(200);
  if (L.ImageCountInElement) b.I32(3);
  b.Rect(1, 2, 3, 4);
  for (int image = 0; image < 2; ++image) {
    b.Rect(0, 0, 0, 0).U8(ilVertical);
    if (!L.ImageCountInElement) b.I32(5);
    b.U16(0x3).U8(smTile);
    if (L.Gradients) b.I32(0x111111).I32(0x222222).U8(gmVertical);
    b.I32(0);
  }
  for (int kind = 0; kind < 4; ++kind) {
    if (L.BorderNames) b.Str("TdxSkinBorder").Str("Side");
    b.I32(0x100 + kind).I32(2);
  }
  b.I32(0x333333).Size(7, 9).I32(0);
  return b.Bytes();
}

TEST(SkinStream, OlderLayoutsAreReadByVersion) {
  const TLayout layouts[] = {
      {1.01, true, false, true},   {1.02, true, true, true},   {1.05, true, true, true},
      {1.08, true, true, true},    {1.09, true, true, false},  {1.1, false, true, false},
  };
  for (const TLayout& l : layouts) {
    SCOPED_TRACE(l.Version);
    TdxSkinElement element(nullptr, "E");
    const std::string bytes = ElementRecord(l);
    TStringStream s(bytes);
    element.LoadFromSkinStream(&s, l.Version);
    EXPECT_EQ(s.Position(), s.Size());
    for (TdxSkinImage* image : {element.Glyph(), element.Image()}) {
      EXPECT_EQ(image->ImageCount(), l.ImageCountInElement ? 3 : 5);
      EXPECT_EQ(image->GradientBeginColor(), l.Gradients ? 0x111111 : clNone);
      EXPECT_EQ(image->Gradient(), l.Gradients ? gmVertical : gmHorizontal);
      EXPECT_EQ(image->States(), (TdxSkinElementStates{esNormal, esHot}));
    }
    EXPECT_EQ(element.Borders()->Bottom()->Color(), 0x103);
    EXPECT_EQ(element.TextColor(), 0x333333);
    EXPECT_EQ(element.MinSize()->GetAsSize(), TSize(7, 9));
  }
}

TEST(SkinStream, DetailsBefore104HoldOnlyTheNameAndTakeTheDefaultIcons) {
  const struct {
    double Version;
    bool Full;
  } cases[] = {{1.03, false}, {1.04, true}, {1.1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Version);
    TBytes b;
    b.Str("Skin");
    if (c.Full) b.Str("Display").Str("Group").Wide(u"Notes").Block(TestPng(8, 8, 1)).I32(0);
    b.I32(0x7777);
    TdxSkinDetails details;
    details.SetGroupName("stale");
    TStringStream s(b.Bytes());
    details.LoadFromSkinStream(&s, c.Version);
    EXPECT_EQ(dxSkinReadInteger(&s), 0x7777) << "the record ends where it should";
    EXPECT_EQ(details.Name(), "Skin");
    EXPECT_EQ(details.GroupName(), c.Full ? "Group" : "");
    EXPECT_TRUE(details.Notes() == (c.Full ? u"Notes" : u""));
    EXPECT_EQ(details.GetIcon(sis16)->GetSize(), c.Full ? TSize(8, 8) : TSize(16, 16));
    EXPECT_EQ(details.GetIcon(sis48)->GetSize(), TSize(48, 48)) << "the default large icon";
  }
}

// ---- Damaged input -------------------------------------------------------------------------

enum TRecord { rkString, rkWideString, rkProperties, rkElements, rkPngBlock };
enum TOutcome { ocRead, ocReadError, ocClassNotFound, ocDecoderError };

// Reads one record of the kind; returns what the read raised.
TOutcome ReadRecord(TRecord AKind, TStream* AStream, TdxSkinControlGroup* AGroup, TdxGPImage* AImage) {
  try {
    switch (AKind) {
      case rkString: dxSkinReadString(AStream); break;
      case rkWideString: dxSkinReadWideString(AStream); break;
      case rkProperties: AGroup->Properties()->LoadFromSkinStream(AStream, kNewest); break;
      case rkElements: AGroup->Elements()->LoadFromSkinStream(AStream, kNewest); break;
      case rkPngBlock: dxSkinReadPngBlock(AStream, AImage); break;
    }
  } catch (const EClassNotFound&) {
    return ocClassNotFound;
  } catch (const EReadError&) {
    return ocReadError;
  } catch (const EdxGdipException&) {
    return ocDecoderError;
  }
  return ocRead;
}

TEST(SkinStream, DamagedInputFailsCleanly) {
  const std::string png = TestPng(8, 4);
  const std::string integer = TBytes().Str("TdxSkinIntegerProperty").Str("N").I32(1).Bytes();
  const struct {
    const char* Name;
    TRecord Kind;
    std::string Bytes;
    TOutcome Outcome;
    std::optional<Int64> End;  // where the stream must be left
    Integer Properties;        // in the group afterwards
    TSize Image = TSize(3, 5);  // the picture the block's image holds afterwards
  } cases[] = {
      {"string longer than the stream", rkString, TBytes().I32(1000).Raw("abc").Bytes(), ocReadError, {}, 0},
      {"string of the largest length", rkString, TBytes().I32(0x7FFFFFFF).Raw("abc").Bytes(), ocReadError, {}, 0},
      {"negative string length", rkString, TBytes().I32(-8).Bytes(), ocRead, 4, 0},
      {"wide length whose double overflows", rkWideString, TBytes().I32(0x40000000).Raw("abcd").Bytes(),
       ocReadError, {}, 0},
      {"wide length of the largest count", rkWideString, TBytes().I32(0x7FFFFFFF).Raw("ab").Bytes(), ocReadError, {},
       0},
      {"wide length of one byte too many", rkWideString, TBytes().I32(2).Raw("abc").Bytes(), ocReadError, {}, 0},
      {"negative property count", rkProperties, TBytes().I32(-5).Raw(integer).Bytes(), ocRead, 4, 0},
      {"unknown type tag", rkProperties,
       TBytes().I32(3).Raw(integer).Str("TdxSkinNoSuchProperty").Str("X").I32(2).Bytes(), ocClassNotFound, {}, 1},
      {"tag of a class that is no property", rkProperties,
       TBytes().I32(2).Raw(integer).Str("TdxSkinElement").Str("X").Bytes(), ocClassNotFound, {}, 1},
      {"tag of the property base class", rkProperties, TBytes().I32(1).Str("TdxSkinProperty").Str("X").Bytes(),
       ocClassNotFound, {}, 0},
      {"property cut in its value", rkProperties, TBytes().I32(2).Raw(integer).Raw(integer.substr(0, 30)).Bytes(),
       ocReadError, {}, 1},
      {"huge element count", rkElements, TBytes().I32(0x7FFFFFFF).Str("E").I32(0).Bytes(), ocReadError, {}, 0},
      {"enumeration byte out of range", rkElements,
       TBytes().I32(1).Str("E").I32(0).U8(255).Rect(0, 0, 0, 0).Rect(0, 0, 0, 0).U8(7).Bytes(), ocReadError, {}, 0},
      {"PNG block longer than the stream", rkPngBlock, TBytes().I32(100).Raw(png.substr(0, 50)).Bytes(), ocReadError,
       {}, 0},
      {"PNG block whose decoder stops early", rkPngBlock,
       TBytes().I32(static_cast<int32_t>(png.size() + 9)).Raw(png).Raw("trailing!").I32(0x7777).Bytes(), ocRead,
       static_cast<Int64>(4 + png.size() + 9), 0, TSize(8, 4)},
      {"PNG block with garbage inside", rkPngBlock, TBytes().Block(std::string(40, '\x5A')).I32(0x7777).Bytes(),
       ocDecoderError, 44, 0},
      {"PNG block cut short inside", rkPngBlock, TBytes().Block(png.substr(0, png.size() / 2)).I32(0x7777).Bytes(),
       ocDecoderError, static_cast<Int64>(4 + png.size() / 2), 0},
      {"empty PNG block", rkPngBlock, TBytes().I32(0).I32(0x7777).Bytes(), ocRead, 4, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TdxSkinControlGroup group(nullptr, "G");
    TdxPNGImage image;
    LoadPng(&image, TestPng(3, 5, 9));
    TStringStream s(c.Bytes);
    TOutcome outcome;
    size_t largest;
    {
      alloc_probe::TLargestAllocation probe;
      outcome = ReadRecord(c.Kind, &s, &group, &image);
      largest = probe.Largest();
    }
    EXPECT_EQ(outcome, c.Outcome);
    if (c.End) {
      EXPECT_EQ(s.Position(), *c.End);
    }
    EXPECT_LE(largest, c.Bytes.size() + 4096) << "no read allocates beyond what the stream holds";
    EXPECT_EQ(group.Properties()->Count(), c.Properties);
    if (c.Kind == rkPngBlock) {
      EXPECT_EQ(image.GetSize(), c.Image) << "a failed block leaves the image as it was";
    }
  }
}

TEST(SkinStream, ARecordCutAnywhereRaisesAReadErrorAndKeepsWhatWasWhole) {
  TdxSkinControlGroup source(nullptr, "Common");
  FillElement(AddElement<TdxSkinElement>(&source, "Button"));
  FillProperties(&source);
  // The group's own fields around a plain element; the element and the
  // property list are cut on their own.
  TdxSkinControlGroup group(nullptr, "Common");
  AddElement<TdxSkinElement>(&group, "Button")->SetColor(0x123456);
  AddProperty<TdxSkinIntegerProperty>(&group, "Indent")->SetValue(3);
  TdxSkinDetails details;
  details.SetName("Skin");
  details.SetNotes(kFarText);
  // Small icons keep the number of cuts down.
  LoadPng(details.GetIcon(sis16), TestPng(4, 4));
  LoadPng(details.GetIcon(sis48), TestPng(6, 6));

  const struct {
    const char* Name;
    std::string Bytes;
    std::function<void(TStream*)> Read;
  } records[] = {
      {"property list", Saved(source.Properties()),
       [&](TStream* S) {
         TdxSkinControlGroup target(nullptr, "Common");
         auto check = [&] {
           // Whatever was read is whole: each property SameAs its source.
           for (Integer i = 0; i < target.Properties()->Count(); ++i)
             EXPECT_TRUE(target.Properties()->Items(i)->SameAs(source.Properties()->Items(i)));
         };
         try {
           target.Properties()->LoadFromSkinStream(S, kNewest);
         } catch (...) {
           check();
           throw;
         }
       }},
      {"element", Saved(source.Items(0)),
       [](TStream* S) { TdxSkinElement(nullptr, "Button").LoadFromSkinStream(S, kNewest); }},
      {"control group", Saved(&group).substr(4 + 6),
       [](TStream* S) { TdxSkinControlGroup(nullptr, "Common").LoadFromSkinStream(S, kNewest); }},
      {"borders", Saved(source.Items(0)->Borders()),
       [](TStream* S) { TdxSkinBorders(nullptr, "Borders").LoadFromSkinStream(S, kNewest); }},
      {"image", Saved(source.Items(0)->Image()), [](TStream* S) { TdxSkinImage(nullptr).LoadFromSkinStream(S, kNewest); }},
      {"details", Saved(&details), [](TStream* S) { TdxSkinDetails().LoadFromSkinStream(S, kNewest); }},
  };
  for (const auto& r : records) {
    SCOPED_TRACE(r.Name);
    for (size_t cut = 0; cut < r.Bytes.size(); ++cut) {
      TStringStream s(r.Bytes.substr(0, cut));
      size_t largest = 0;
      bool failed = false;
      {
        alloc_probe::TLargestAllocation probe;
        try {
          r.Read(&s);
        } catch (const EReadError&) {
          failed = true;
        }
        largest = probe.Largest();
      }
      EXPECT_TRUE(failed) << "cut at " << cut;
      EXPECT_LE(largest, r.Bytes.size() + 4096) << "cut at " << cut;
    }
  }
}

// ---- The part stream ----------------------------------------------------------------------

TEST(SkinPartStream, ReadsAndSeeksStayInsideTheWindow) {
  TStringStream source("0123456789");
  TdxSkinPartStream part(&source, 3, 7);
  EXPECT_EQ(part.Size(), 4);
  char buffer[16] = {};
  source.SetPosition(3);
  EXPECT_EQ(part.Read(buffer, 10), 4);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(source.Position(), 7);
  EXPECT_EQ(part.Read(buffer, 1), 0) << "at the end";
  source.SetPosition(1);
  EXPECT_EQ(part.Read(buffer, 4), 0) << "before the window";

  const struct {
    Int64 Offset;
    TSeekOrigin Origin;
    Int64 Result;
  } seeks[] = {
      {2, soBeginning, 2},  {100, soBeginning, 4},  {-3, soBeginning, 0}, {-1, soEnd, 3},
      {5, soEnd, 4},        {-100, soCurrent, 0},   {1, soCurrent, 1},     {INT64_MAX, soCurrent, 4},
      {INT64_MIN, soEnd, 0},
  };
  for (const auto& k : seeks) {
    SCOPED_TRACE(k.Offset);
    EXPECT_EQ(part.Seek(k.Offset, k.Origin), k.Result);
    EXPECT_EQ(source.Position(), 3 + k.Result);
  }
}

}  // namespace
