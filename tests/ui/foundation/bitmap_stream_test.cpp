// The "Data" value of the library's bitmaps: the plain form and the run
// coded "XDBM" form, and what bad input does.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "ui/foundation/bitmaps.h"

namespace {

using TBytes = std::vector<Byte>;

// Opens the binary reader and writer of the "Data" value.
class TOpenBitmap32 : public TcxBitmap32 {
 public:
  using TcxBitmap32::TcxBitmap32;
  using TcxBitmap32::ReadData;
  using TcxBitmap32::WriteData;
};

class TOpenBitmap : public TcxBitmap {
 public:
  using TcxBitmap::TcxBitmap;
  using TcxBitmap::WriteData;
};

TBytes Written(TcxBitmap* B) {
  TMemoryStream stream;
  if (auto* b32 = dynamic_cast<TOpenBitmap32*>(B))
    b32->WriteData(&stream);
  else
    static_cast<TOpenBitmap*>(B)->WriteData(&stream);
  const Byte* p = static_cast<const Byte*>(stream.Memory());
  return TBytes(p, p + stream.Size());
}

void ReadInto(TOpenBitmap32& B, const TBytes& Data) {
  TMemoryStream stream;
  if (!Data.empty()) stream.WriteBuffer(Data.data(), static_cast<Integer>(Data.size()));
  stream.SetPosition(0);
  B.ReadData(&stream);
}

TRGBColors PixelsOf(TcxBitmap32& B) {
  TRGBColors p;
  B.GetPixels(p);
  return p;
}

bool SamePixels(TcxBitmap32& A, TcxBitmap32& B) {
  TRGBColors a = PixelsOf(A), b = PixelsOf(B);
  return A.Width() == B.Width() && A.Height() == B.Height() && a.size() == b.size() &&
         std::memcmp(a.data(), b.data(), a.size() * 4) == 0;
}

// A picture with runs and noise, alpha included.
void Paint(TcxBitmap32& B) {
  TRGBColors p(static_cast<size_t>(B.Width() * B.Height()));
  for (size_t i = 0; i < p.size(); ++i) {
    const Byte v = (i / 7) % 3 == 0 ? 0x40 : static_cast<Byte>(i * 37);
    p[i] = RGBQUAD{v, static_cast<Byte>(v + 1), static_cast<Byte>(i), static_cast<Byte>(255 - i)};
  }
  B.SetPixels(p);
}

TBytes Block(Byte V) { return TBytes(4, V); }

TBytes Concat(std::initializer_list<TBytes> Parts) {
  TBytes out;
  for (const TBytes& p : Parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TBytes Header(uint32_t Length, uint16_t Version) {
  return {Byte(Length), Byte(Length >> 8), Byte(Length >> 16), Byte(Length >> 24), 'X', 'D', 'B', 'M',
          Byte(Version), Byte(Version >> 8)};
}

// ---- The encoder -----------------------------------------------------------------------------

TEST(XdbmRuns, LiteralRunsGiveTheirLastBlockToARepetition) {
  const TBytes data = Concat({Block('A'), Block('B'), Block('C'), Block('C'), Block('D')});
  TBytes out;
  cxEncodeBitmapRuns(data.data(), data.size(), 4, out);
  EXPECT_EQ(out, Concat({{0x82}, Block('A'), Block('B'), {0x02}, Block('C'), {0x81}, Block('D')}));
}

TEST(XdbmRuns, LongRepetitionsSplitAt125) {
  const TBytes data(300 * 4, 0x5A);
  TBytes out;
  cxEncodeBitmapRuns(data.data(), data.size(), 4, out);
  EXPECT_EQ(out, Concat({{125}, Block(0x5A), {125}, Block(0x5A), {50}, Block(0x5A)}));
  // 126 different blocks: a literal run of 125, then one of 1.
  TBytes varied;
  for (int i = 0; i < 126; ++i) varied.push_back(static_cast<Byte>(i));
  out.clear();
  cxEncodeBitmapRuns(varied.data(), varied.size(), 1, out);
  ASSERT_EQ(out.size(), 128u);
  EXPECT_EQ(out[0], 0x80 | 125);
  EXPECT_EQ(out[126], 0x81);
}

// ---- Forms written --------------------------------------------------------------------------

TEST(XdbmStream, CompressedFormHasItsBlockSizeAndLeadBytes) {
  TOpenBitmap32 deep(5, 3, true);
  deep.SetCompressData(true);
  TOpenBitmap32 plainWriter(5, 3, true);
  const TBytes plain = Written(&plainWriter);
  ASSERT_EQ(plain.size(), 4u + 54 + 4 * 5 * 3);
  const TBytes packed = Written(&deep);
  EXPECT_EQ(TBytes(packed.begin() + 4, packed.begin() + 10), (TBytes{'X', 'D', 'B', 'M', 2, 0}));
  const uint32_t length = packed[0] | packed[1] << 8 | packed[2] << 16 | packed[3] << 24;
  EXPECT_EQ(length, packed.size() - 10);
  EXPECT_EQ(packed[10], 4);  // block size
  EXPECT_EQ(packed[11], 2);  // (4 + 54 + 60) mod 4
  EXPECT_EQ(packed[12], plain[0]);
  EXPECT_EQ(packed[13], plain[1]);
  EXPECT_LT(packed.size(), plain.size());

  TOpenBitmap shallow(5, 3, pf24bit);
  shallow.SetCompressData(true);
  const TBytes packed24 = Written(&shallow);
  EXPECT_EQ(packed24[10], 3);
}

TEST(XdbmStream, PlainFormIsWrittenAndReadUnchanged) {
  TOpenBitmap32 source(4, 3);
  Paint(source);
  const TBytes plain = Written(&source);
  EXPECT_EQ(plain.size(), 4u + 54 + 4 * 4 * 3);
  TOpenBitmap32 target(1, 1);
  ReadInto(target, plain);
  EXPECT_TRUE(SamePixels(source, target));
}

TEST(XdbmStream, BothVersionsDecode) {
  TOpenBitmap32 source(9, 7);
  Paint(source);
  const TBytes plain = Written(&source);
  source.SetCompressData(true);
  TOpenBitmap32 fromV2(1, 1);
  ReadInto(fromV2, Written(&source));
  EXPECT_TRUE(SamePixels(source, fromV2));

  TBytes runs;
  cxEncodeBitmapRuns(plain.data(), plain.size(), 1, runs);
  TOpenBitmap32 fromV1(1, 1);
  ReadInto(fromV1, Concat({Header(static_cast<uint32_t>(runs.size()), 1), runs}));
  EXPECT_TRUE(SamePixels(source, fromV1));
}

// Each bad input either raises a stream read error and leaves the bitmap
// as it was, or reads as stated.
TEST(XdbmStream, BadInputRaisesOrReadsAsStatedAndNeverHalfChanges) {
  TOpenBitmap32 source(2, 2);
  Paint(source);
  const TBytes plain = Written(&source);
  source.SetCompressData(true);
  const TBytes good = Written(&source);
  const TBytes goodPayload(good.begin() + 10, good.end());

  auto plainWithHeader = [&](int32_t W, int32_t H) {
    TBytes p = plain;
    std::memcpy(&p[4 + 18], &W, 4);
    std::memcpy(&p[4 + 22], &H, 4);
    return p;
  };
  auto packed = [](const TBytes& Plain) {
    TBytes runs{4, static_cast<Byte>(Plain.size() % 4)};
    runs.insert(runs.end(), Plain.begin(), Plain.begin() + runs[1]);
    cxEncodeBitmapRuns(Plain.data() + runs[1], Plain.size() - runs[1], 4, runs);
    return Concat({Header(static_cast<uint32_t>(runs.size()), 2), runs});
  };
  TBytes cutBlock = goodPayload;
  cutBlock.insert(cutBlock.end(), {0x03, 0xAA, 0xBB});  // a repetition with half a block
  TBytes emptyBlock = goodPayload;
  emptyBlock.push_back(0x03);  // a repetition with nothing left to repeat

  enum TOutcome { oRaises, oSameAsSource, oEmpty };
  const struct {
    const char* Name;
    TBytes Data;
    TOutcome Outcome;
  } cases[] = {
      {"length beyond the stream", Concat({Header(static_cast<uint32_t>(goodPayload.size() + 100), 2), goodPayload}),
       oRaises},
      {"length of 4 GB", Concat({Header(0xFFFFFFFFu, 2), goodPayload}), oRaises},
      {"literal run past the end", Concat({Header(9, 2), {4, 2, 'B', 'M', 0x85, 1, 2, 3, 4}}), oRaises},
      {"no block size", Concat({Header(1, 2), {4}}), oRaises},
      {"lead bytes past the end", Concat({Header(3, 2), {4, 9, 1}}), oRaises},
      {"repeated block cut short", Concat({Header(static_cast<uint32_t>(cutBlock.size()), 2), cutBlock}),
       oSameAsSource},
      {"repeated block with no bytes", Concat({Header(static_cast<uint32_t>(emptyBlock.size()), 2), emptyBlock}),
       oSameAsSource},
      {"version 3", Concat({Header(static_cast<uint32_t>(goodPayload.size()), 3), goodPayload}), oEmpty},
      {"version 0", Concat({Header(0, 0)}), oEmpty},
      {"plain, 40000 wide", plainWithHeader(40000, 1), oRaises},
      {"plain, 40000 high bottom-up", plainWithHeader(1, -40000), oRaises},
      {"plain, most negative height", plainWithHeader(1, INT32_MIN), oRaises},
      {"packed, 32768 x 32768", packed(plainWithHeader(32768, 32768)), oRaises},
      {"packed, 100 x 100 in a 2 x 2 file", packed(plainWithHeader(100, 100)), oRaises},
      {"plain length beyond the data", Concat({{0xFF, 0xFF, 0, 0}, TBytes(plain.begin() + 4, plain.end())}),
       oRaises},
      {"plain length negative", Concat({{0xFF, 0xFF, 0xFF, 0xFF}, TBytes(plain.begin() + 4, plain.end())}),
       oRaises},
      {"three bytes", {1, 2, 3}, oRaises},
      {"nothing", {}, oRaises},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TOpenBitmap32 target(3, 1);
    TRGBColors before = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    target.SetPixels(before);
    switch (c.Outcome) {
      case oRaises: {
        EXPECT_THROW(ReadInto(target, c.Data), EReadError);
        EXPECT_EQ(target.Width(), 3);
        EXPECT_EQ(target.Height(), 1);
        EXPECT_EQ(target.PixelFormat(), pf32bit);
        TRGBColors after = PixelsOf(target);
        EXPECT_EQ(std::memcmp(after.data(), before.data(), 12), 0);
        break;
      }
      case oSameAsSource:
        ReadInto(target, c.Data);
        EXPECT_TRUE(SamePixels(source, target));
        break;
      case oEmpty:
        ReadInto(target, c.Data);
        EXPECT_EQ(target.Width(), 0);
        EXPECT_EQ(target.Height(), 0);
        break;
    }
  }
}

// ---- Through a form description -----------------------------------------------------------

class TGlyphHolder : public TComponent {
  RTL_CLASS(TGlyphHolder, TComponent)
  std::unique_ptr<TcxBitmap32> FGlyph = std::make_unique<TcxBitmap32>();

 public:
  explicit TGlyphHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TcxBitmap32* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TcxBitmap32* Value) { FGlyph->Assign(Value); }
};

RTL_IMPLEMENT_PUBLISHED(TGlyphHolder, RTL_PROP(Glyph))

TEST(XdbmStream, RoundTripThroughTheTextFormKeepsEveryPixel) {
  for (bool compress : {true, false}) {
    TGlyphHolder written(nullptr);
    written.SetName("Holder");
    written.Glyph()->SetSize(17, 9);
    Paint(*written.Glyph());
    written.Glyph()->SetCompressData(compress);

    TMemoryStream binary;
    TWriter writer(&binary, 4096);
    writer.WriteDescendent(&written, nullptr);
    writer.FlushBuffer();
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&binary, &text);
    const AnsiString form = text.DataString();
    EXPECT_NE(form.find("Glyph.Data = {"), AnsiString::npos) << form;
    EXPECT_EQ(form.find("5844424D") != AnsiString::npos, compress) << form;

    TGlyphHolder read(nullptr);
    TStringStream input(form);
    ReadComponentText(&input, &read);
    EXPECT_TRUE(SamePixels(*written.Glyph(), *read.Glyph())) << "compress " << compress;
  }
}

}  // namespace
