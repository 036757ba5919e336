#include "support/filer.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/streams.h"

namespace {

std::string FilerBytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s.push_back(static_cast<char>(v));
  return s;
}

template <class F>
std::string Written(F write, Integer bufferSize = 4096) {
  TStringStream stream;
  {
    TDIBinaryWriter writer(&stream, bufferSize);
    write(writer);
    writer.FlushBuffer();
  }
  return stream.DataString();
}

struct IntegerCase {
  Integer value;
  std::string bytes;
};
void PrintTo(const IntegerCase& c, std::ostream* os) { *os << c.value; }

class IntegerEncoding : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerEncoding, WritesTheTableBytesAndReadsThemBack) {
  const IntegerCase& c = GetParam();
  EXPECT_EQ(Written([&](TDIBinaryWriter& w) { w.WriteInteger(c.value); }), c.bytes);
  TStringStream stream(c.bytes);
  TDIBinaryReader reader(&stream, 4096);
  EXPECT_EQ(reader.ReadInteger(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Filer, IntegerEncoding,
    testing::Values(IntegerCase{0, FilerBytes({0x02, 0x00})}, IntegerCase{-1, FilerBytes({0x01, 0xFF})},
                    IntegerCase{-128, FilerBytes({0x01, 0x80})}, IntegerCase{127, FilerBytes({0x02, 0x7F})},
                    IntegerCase{128, FilerBytes({0x03, 0x80})}, IntegerCase{255, FilerBytes({0x03, 0xFF})},
                    IntegerCase{256, FilerBytes({0x05, 0x00, 0x01})}, IntegerCase{-129, FilerBytes({0x04, 0x7F, 0xFF})},
                    IntegerCase{65535, FilerBytes({0x06, 0xFF, 0xFF})}, IntegerCase{65536, FilerBytes({0x08, 0x00, 0x00, 0x01})},
                    IntegerCase{-32769, FilerBytes({0x07, 0xFF, 0x7F, 0xFF})},
                    IntegerCase{0x00FFFFFF, FilerBytes({0x09, 0xFF, 0xFF, 0xFF})},
                    IntegerCase{0x7FFFFFFF, FilerBytes({0x0B, 0xFF, 0xFF, 0xFF, 0x7F})},
                    IntegerCase{INT32_MIN, FilerBytes({0x0A, 0x00, 0x00, 0x00, 0x80})}));

TEST(Filer, FullCardinalUsesTag12WhichOnlyReadCardinalAccepts) {
  std::string bytes = Written([](TDIBinaryWriter& w) { w.WriteCardinal(4294967295u); });
  EXPECT_EQ(bytes, FilerBytes({0x0C, 0xFF, 0xFF, 0xFF, 0xFF}));
  {
    TStringStream stream(bytes);
    TDIBinaryReader reader(&stream, 4096);
    EXPECT_EQ(reader.ReadCardinal(), 4294967295u);
  }
  TStringStream stream(bytes);
  TDIBinaryReader reader(&stream, 4096);
  try {
    reader.ReadInteger();
    FAIL() << "tag 12 accepted as an integer";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Invalid Element Type");
  }
}

TEST(Filer, ReadersRefuseTagsOfAnotherKind) {
  struct Case {
    int tag;
    bool integer, cardinal, string;
  };
  const Case cases[] = {{0, false, false, false},  {1, true, false, false},   {2, true, true, false},
                        {4, true, false, false},   {11, true, true, false},   {12, false, true, false},
                        {13, false, false, false}, {28, false, false, false}, {29, false, false, true},
                        {33, false, false, true},  {34, false, false, true},  {35, false, false, false}};
  for (const Case& c : cases) {
    // Enough trailing bytes for any accepted element.
    std::string data = FilerBytes({c.tag, 0, 0, 0, 0});
    auto accepted = [&](auto read) {
      TStringStream stream(data);
      TDIBinaryReader reader(&stream, 16);
      try {
        read(reader);
        return true;
      } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Invalid Element Type") << "tag " << c.tag;
        return false;
      }
    };
    EXPECT_EQ(accepted([](TDIBinaryReader& r) { r.ReadInteger(); }), c.integer) << "tag " << c.tag;
    EXPECT_EQ(accepted([](TDIBinaryReader& r) { r.ReadCardinal(); }), c.cardinal) << "tag " << c.tag;
    EXPECT_EQ(accepted([](TDIBinaryReader& r) { r.ReadAnsiString(); }), c.string) << "tag " << c.tag;
  }
}

TEST(Filer, StringsCarryTheirLengthInAsFewBytesAsItNeeds) {
  struct Case {
    size_t length;
    std::string head;
  };
  const Case cases[] = {{0, FilerBytes({0x1D})},
                        {1, FilerBytes({0x1E, 0x01})},
                        {255, FilerBytes({0x1E, 0xFF})},
                        {300, FilerBytes({0x1F, 0x2C, 0x01})},
                        {65536, FilerBytes({0x20, 0x00, 0x00, 0x01})}};
  for (const Case& c : cases) {
    std::string text(c.length, 'x');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    // A small buffer makes the writer and reader refill many times.
    std::string bytes = Written([&](TDIBinaryWriter& w) { w.WriteAnsiString(text); }, 7);
    EXPECT_EQ(bytes, c.head + text) << c.length;
    TStringStream stream(bytes);
    TDIBinaryReader reader(&stream, 7);
    EXPECT_EQ(reader.ReadAnsiString(), text);
  }
  TStringStream stream(FilerBytes({0x22}));
  TDIBinaryReader reader(&stream, 16);
  EXPECT_EQ(reader.ReadAnsiString(), "");
}

TEST(Filer, ReadingPastTheEndRaisesStreamReadError) {
  const std::string cases[] = {"", FilerBytes({0x05, 0x01}), FilerBytes({0x1F, 0x2C, 0x01, 'a', 'b'}),
                               // A damaged length must fail, not allocate 4 GB.
                               FilerBytes({0x21, 0xFF, 0xFF, 0xFF, 0xFF, 'a'})};
  for (const std::string& data : cases) {
    TStringStream stream(data);
    TDIBinaryReader reader(&stream, 4096);
    try {
      if (!data.empty() && data[0] >= 0x1D)
        reader.ReadAnsiString();
      else
        reader.ReadInteger();
      FAIL() << "no error for " << data.size() << " bytes";
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), "Stream read error");
    }
  }
}

TEST(Filer, DestroyedReaderLeavesTheStreamAfterTheLastElementConsumed) {
  std::string data(100, 'z');
  TStringStream stream(data);
  stream.SetPosition(5);
  {
    TDIBinaryReader reader(&stream, 4096);
    char ten[10];
    reader.ReadBuffer(ten, 10);
    EXPECT_EQ(stream.Position(), 100);  // the buffer took everything
  }
  EXPECT_EQ(stream.Position(), 15);
}

TEST(Filer, ElementsFollowEachOtherAcrossBufferRefills) {
  std::string bytes = Written(
      [](TDIBinaryWriter& w) {
        for (Integer i = -300; i <= 300; i += 7) {
          w.WriteInteger(i * 1000);
          w.WriteAnsiString(std::to_string(i));
          w.WriteCardinal(static_cast<Cardinal>(i) * 3u);
        }
      },
      3);
  TStringStream stream(bytes);
  TDIBinaryReader reader(&stream, 5);
  for (Integer i = -300; i <= 300; i += 7) {
    ASSERT_EQ(reader.ReadInteger(), i * 1000);
    ASSERT_EQ(reader.ReadAnsiString(), std::to_string(i));
    ASSERT_EQ(reader.ReadCardinal(), static_cast<Cardinal>(i) * 3u);
  }
}

// A stream that takes only the first `room` bytes written to it.
class ShortStream : public TStream {
  Integer room_;

 public:
  std::string Data;
  explicit ShortStream(Integer room) : room_(room) {}
  Integer Read(void*, Integer) override { return 0; }
  Integer Write(const void* buffer, Integer count) override {
    Integer n = std::min(count, room_ - static_cast<Integer>(Data.size()));
    Data.append(static_cast<const char*>(buffer), static_cast<size_t>(n));
    return n;
  }
  Int64 Seek(Int64, TSeekOrigin) override { return static_cast<Int64>(Data.size()); }
};

TEST(Filer, FailedFlushRaisesAndIsNotRepeated) {
  ShortStream stream(3);
  TDIBinaryWriter writer(&stream, 4096);
  writer.WriteAnsiString("abcdef");
  EXPECT_EQ(stream.Data, "");  // still buffered
  try {
    writer.FlushBuffer();
    FAIL() << "short write reported as success";
  } catch (const EWriteError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
  EXPECT_EQ(stream.Data.size(), 3u);
  EXPECT_NO_THROW(writer.FlushBuffer());  // nothing left to write twice
  EXPECT_EQ(stream.Data.size(), 3u);
}

TEST(Filer, FullBufferIsFlushedBeforeMoreIsWritten) {
  TStringStream stream;
  TDIBinaryWriter writer(&stream, 4);
  writer.WriteAnsiString("abc");  // 5 bytes: one flush of 4
  EXPECT_EQ(stream.DataString(), FilerBytes({0x1E, 0x03, 'a', 'b'}));
  writer.FlushBuffer();
  EXPECT_EQ(stream.DataString(), FilerBytes({0x1E, 0x03, 'a', 'b', 'c'}));
}

}  // namespace
