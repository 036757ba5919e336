#include "support/containers.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "support/ansi_string_vectors.h"
#include "support/filer.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s.push_back(static_cast<char>(v));
  return s;
}

// Expects fn to raise EDIContainerError with exactly this message.
void ExpectError(const std::function<void()>& fn, const std::string& message) {
  try {
    fn();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const EDIContainerError& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

// Integer items whose handler logs every initialisation and release.
class LoggingVector : public testing::Test {
 protected:
  TDIItemHandler handler;
  std::vector<std::string> log;
  Integer next = 0;

  void SetUp() override {
    handler.SetItemSize(sizeof(Integer));
    handler.SetOnInitItem([this](void* item) {
      *static_cast<Integer*>(item) = ++next;
      log.push_back("init " + std::to_string(next));
    });
    handler.SetOnFreeItem([this](void* item) { log.push_back("free " + std::to_string(*static_cast<Integer*>(item))); });
  }
  static std::vector<Integer> Items(TDIVector& v) {
    std::vector<Integer> r;
    v.IterateItems([&](void* item) { r.push_back(*static_cast<Integer*>(item)); });
    return r;
  }
};

TEST_F(LoggingVector, CapacityFollowsTheCountBothWays) {
  // capacity(n) for n = 0..20: powers of two exactly, else b plus steps of
  // a quarter of b (at least 2).
  const Integer expected[] = {0, 1, 2, 4, 4, 6, 6, 8, 8, 10, 10, 12, 12, 14, 14, 16, 16, 20, 20, 20, 20};
  TDIVector v(&handler);
  for (Integer n = 1; n <= 20; ++n) {
    v.InsertLast();
    EXPECT_EQ(v.Capacity(), expected[n]) << "growing to " << n;
  }
  for (Integer n = 19; n >= 0; --n) {
    v.DeleteLast();
    EXPECT_EQ(v.Capacity(), expected[n]) << "shrinking to " << n;
  }
  const struct {
    Integer from, to, capacity;
  } jumps[] = {{0, 3, 4}, {0, 5, 6}, {0, 9, 10}, {0, 17, 20}, {0, 64, 64}, {64, 65, 80},
               {80, 33, 40}, {40, 36, 40}, {40, 1, 1}, {1, 0, 0}};
  for (const auto& j : jumps) {
    v.SetCount(j.from);
    v.SetCount(j.to);
    EXPECT_EQ(v.Capacity(), j.capacity) << j.from << " -> " << j.to;
  }
}

TEST_F(LoggingVector, ItemsAreInitialisedAndReleasedInTheirOrder) {
  TDIVector v(&handler);
  v.SetCount(3);                        // 1 2 3
  *static_cast<Integer*>(v.InsertFirstRaw()) = 100;
  v.InsertFirst();                      // 4 100 1 2 3
  v.InsertLastRaw();
  *static_cast<Integer*>(v.LastItem()) = 200;
  EXPECT_EQ(Items(v), (std::vector<Integer>{4, 100, 1, 2, 3, 200}));
  EXPECT_EQ(*static_cast<Integer*>(v.FirstItem()), 4);
  log.clear();
  v.SetCount(4);
  v.DeleteLast();
  EXPECT_EQ(log, (std::vector<std::string>{"free 200", "free 3", "free 2"}));
  log.clear();
  v.Clear();
  EXPECT_EQ(log, (std::vector<std::string>{"free 4", "free 100", "free 1"}));
  EXPECT_TRUE(v.IsEmpty());
  EXPECT_EQ(v.Capacity(), 0);
}

TEST_F(LoggingVector, FailedInitialisationLeavesTheItemsAsTheyWere) {
  TDIVector v(&handler);
  v.SetCount(2);
  TDIItemHandler failing;
  failing.SetItemSize(sizeof(Integer));
  bool fail = false;
  failing.SetOnInitItem([&](void* item) {
    if (fail) throw EDIContainerError("no");
    *static_cast<Integer*>(item) = 7;
  });
  TDIVector w(&failing);
  w.SetCount(2);
  *static_cast<Integer*>(w.LastItem()) = 8;
  fail = true;
  EXPECT_THROW(w.InsertFirst(), EDIContainerError);
  EXPECT_THROW(w.SetCount(5), EDIContainerError);
  EXPECT_EQ(Items(w), (std::vector<Integer>{7, 8}));
}

TEST_F(LoggingVector, SearchesRunForwardOrBackward) {
  TDIVector v(&handler);
  v.SetCount(6);  // 1..6
  auto odd = [](const void* item, const void*) { return *static_cast<const Integer*>(item) % 2 == 1; };
  auto equal = [](const void* item, const void* value) {
    return *static_cast<const Integer*>(item) == *static_cast<const Integer*>(value);
  };
  EXPECT_EQ(*static_cast<Integer*>(v.FirstThat(nullptr, odd)), 1);
  EXPECT_EQ(*static_cast<Integer*>(v.LastThat(nullptr, odd)), 5);
  Integer four = 4, nine = 9;
  EXPECT_TRUE(v.AnyItem(&four, equal));
  EXPECT_TRUE(v.AnyItemBackward(&four, equal));
  EXPECT_FALSE(v.AnyItem(&nine, equal));
  EXPECT_EQ(v.FirstThat(&nine, equal), nullptr);
}

TEST_F(LoggingVector, ErrorTexts) {
  TDIVector v(&handler);
  TDIAnsiStringCardinalVector stack;
  TDIAnsiStringVector strings;
  ExpectError([] { TDIVector nil(nullptr); }, "Class TDIVector: ItemHandler is nil");
  ExpectError([&] { stack.LastItem(); }, "Class TDIAnsiStringCardinalVector: List index out of bounds (0)");
  ExpectError([&] { stack.FirstItem(); }, "Class TDIAnsiStringCardinalVector: List index out of bounds (0)");
  ExpectError([&] { v.DeleteLast(); }, "Class TDIVector: Container is empty");
  ExpectError([&] { v.SetCount(-1); }, "Class TDIVector: List index out of bounds (-1)");
  ExpectError([&] { v.AnyItem(nullptr, nullptr); }, "Class TDIVector: SameItems not assigned");
  ExpectError([&] { v.AnyItemBackward(nullptr, nullptr); }, "Class TDIVector: SameItems not assigned");
  ExpectError([&] { v.FirstThat(nullptr, nullptr); }, "Class TDIVector: SameItems not assigned");
  ExpectError([&] { v.LastThat(nullptr, nullptr); }, "Class TDIVector: SameItems not assigned");
  ExpectError([&] { v.IterateItems(nullptr); }, "Class TDIVector: IterateItems not assigned");
  ExpectError([&] { strings.Assign(&stack); }, "Class TDIAnsiStringVector: Itemhandlers do not match");
  TDIVector other(&handler);
  ExpectError([&] { v.Assign(&other); }, "Class TDIVector: OnCopyItems not assigned");
  TStringStream stream;
  TDIBinaryWriter writer(&stream, 16);
  ExpectError([&] { v.WriteToFiler(&writer, 7, nullptr); }, "Class TDIItemHandler: OnWriteItem not assigned");
  TDIBinaryReader reader(&stream, 16);
  ExpectError([&] { v.ReadFromFiler(&reader, 7, nullptr); }, "Class TDIItemHandler: OnReadItem not assigned");
  ExpectError([&] { strings.WriteData(nullptr); }, "Class TDIAnsiStringVector: Stream is nil");
  ExpectError([&] { strings.ReadData(nullptr); }, "Class TDIAnsiStringVector: Stream is nil");
  strings.SetCount(1);
  for (Integer index : {-1, 1}) {
    const std::string text = "Class TDIAnsiStringVector: List index out of bounds (" + std::to_string(index) + ")";
    ExpectError([&] { strings.GetString(index); }, text);
    ExpectError([&] { strings.SetString(index, "x"); }, text);
  }
  ExpectError([&] { stack.GetCardinal(0); }, "Class TDIAnsiStringCardinalVector: List index out of bounds (0)");
  // Any other source goes to the framework's assignment.
  EXPECT_THROW(strings.Assign(nullptr), EConvertError);
}

TEST_F(LoggingVector, HandlerCannotChangeWhileAContainerUsesIt) {
  auto v = std::make_unique<TDIVector>(&handler);
  EXPECT_EQ(handler.InUseCount(), 1);
  const std::string prefix = "Class TDIItemHandler: ItemHandler in use while ";
  ExpectError([&] { handler.SetItemSize(8); }, prefix + "setting ItemSize");
  ExpectError([&] { handler.SetOnInitItem(nullptr); }, prefix + "assigning OnInitItem");
  ExpectError([&] { handler.SetOnFreeItem(nullptr); }, prefix + "assigning OnFreeItem");
  ExpectError([&] { handler.SetOnCompareItems(nullptr); }, prefix + "assigning OnCompareItems");
  ExpectError([&] { handler.SetOnCopyItem(nullptr); }, prefix + "assigning OnCopyItem");
  ExpectError([&] { handler.SetOnReadItem(nullptr); }, prefix + "assigning OnReadItem");
  ExpectError([&] { handler.SetOnWriteItem(nullptr); }, prefix + "assigning OnWriteItem");
  ExpectError([&] { handler.SetOnReadHeader(nullptr); }, prefix + "assigning OnReadHeader");
  ExpectError([&] { handler.SetOnWriteHeader(nullptr); }, prefix + "assigning OnWriteHeader");
  ExpectError([&] { handler.BeforeDestruction(); }, "Class TDIItemHandler: ItemHandler in use during destruction");
  v.reset();
  EXPECT_EQ(handler.InUseCount(), 0);
  EXPECT_NO_THROW(handler.BeforeDestruction());
  EXPECT_NO_THROW(handler.SetItemSize(8));
}

TEST(AnsiStringVector, StreamsTwoStringsAsTheDocumentedBytes) {
  TDIAnsiStringVector v;
  v.SetCount(2);
  v.SetString(0, "a");
  v.SetString(1, "bc");
  TStringStream stream;
  v.WriteData(&stream);
  EXPECT_EQ(stream.DataString(),
            Bytes({'D', 'I', 'V', 'C', 0x02, 0x01, 0x02, 0x04, 0x02, 0x02, 0x1E, 0x01, 0x61, 0x1E, 0x02, 0x62, 0x63}));

  TDIAnsiStringVector back;
  back.SetCount(5);
  stream.SetPosition(0);
  back.ReadData(&stream);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.GetString(0), "a");
  EXPECT_EQ(back.GetString(1), "bc");
}

TEST(AnsiStringVector, StringCardinalPairsRoundTrip) {
  TDIAnsiStringCardinalVector v;
  for (Cardinal n : {0u, 300u, 4294967295u}) {
    auto* item = static_cast<TDIAnsiStringCardinalItem*>(v.InsertLast());
    item->Str.SetText("folder " + std::to_string(n));
    item->Number = n;
  }
  TStringStream stream;
  v.WriteData(&stream);
  EXPECT_EQ(stream.DataString().substr(0, 10), Bytes({'D', 'I', 'V', 'C', 0x02, 0x01, 0x02, 0x08, 0x02, 0x03}));
  TDIAnsiStringCardinalVector back;
  stream.SetPosition(0);
  back.ReadData(&stream);
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.GetString(2), "folder 4294967295");
  EXPECT_EQ(back.GetCardinal(1), 300u);

  // Eight-byte items do not go into a plain string vector.
  TDIAnsiStringVector strings;
  stream.SetPosition(0);
  ExpectError([&] { strings.ReadData(&stream); }, "Class TDIAnsiStringVector: Invalid ItemSize (8)");
}

TEST(AnsiStringVector, ReadingChecksSignatureAndVersionAndKeepsWhatWasRead) {
  const std::string valid = Bytes({'D', 'I', 'V', 'C', 0x02, 0x01, 0x02, 0x04});
  for (const std::string& head : {Bytes({'D', 'I', 'V', 'X', 0x02, 0x01}), Bytes({'D', 'I', 'V', 'C', 0x02, 0x02})}) {
    TStringStream stream(head + Bytes({0x02, 0x04, 0x02, 0x00}));
    TDIAnsiStringVector v;
    ExpectError([&] { v.ReadData(&stream); }, "Class TDIAnsiStringVector: Invalid stream format");
  }
  // Three strings announced, the stream ends inside the second.
  TStringStream stream(valid + Bytes({0x02, 0x03, 0x1E, 0x01, 'a', 0x1E, 0x05, 'b'}));
  TDIAnsiStringVector v;
  try {
    v.ReadData(&stream);
    FAIL() << "short stream accepted";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  ASSERT_EQ(v.Count(), 2);
  EXPECT_EQ(v.GetString(0), "a");
  EXPECT_EQ(v.GetString(1), "");
}

TEST(AnsiStringVector, AssignCopiesTheStrings) {
  TDIAnsiStringVector a, b;
  a.SetCount(3);
  a.SetString(0, "x");
  a.SetString(2, "zz");
  b.SetCount(7);
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 3);
  b.SetString(0, "changed");
  EXPECT_EQ(a.GetString(0), "x");
  EXPECT_EQ(b.GetString(1), "");
  EXPECT_EQ(b.GetString(2), "zz");
  EXPECT_EQ(AnsiStringItemHandler()->OnCompareItems()(a.FirstItem(), b.FirstItem()), 'x' - 'c');
}

TEST(AnsiStringVector, AssignFromStringsReplacesTheItems) {
  TStringList list;
  list.Add("*.pdf");
  list.Add("");
  list.Add("x");
  TDIAnsiStringVector v;
  v.SetCount(9);
  v.AssignFromStrings(&list);
  ASSERT_EQ(v.Count(), 3);
  EXPECT_EQ(v.GetString(0), "*.pdf");
  EXPECT_EQ(v.GetString(1), "");
  EXPECT_EQ(v.GetString(2), "x");
}

TEST(AnsiStringVector, SharedHandlerIsKeptWhileInUse) {
  TDIItemHandler* before = AnsiStringItemHandler();
  {
    TDIAnsiStringVector v;
    ExpectError([] { FreeAnsiStringItemHandler(); }, "Class TDIItemHandler: ItemHandler in use during destruction");
    EXPECT_EQ(v.ItemHandler(), before);
    v.SetCount(1);
    v.SetString(0, "still usable");
  }
  EXPECT_NO_THROW(FreeAnsiStringItemHandler());
  TDIAnsiStringVector v;  // created again on first use
  EXPECT_NE(v.ItemHandler(), nullptr);
}

TEST(AnsiStringVector, EmptyVectorWritesOnlyTheFrame) {
  // The framework's streaming skips an empty vector altogether (NotEmpty);
  // written anyway, it holds a count of zero.
  TDIAnsiStringVector v;
  EXPECT_FALSE(v.NotEmpty());
  TStringStream stream;
  v.WriteData(&stream);
  EXPECT_EQ(stream.DataString(), Bytes({'D', 'I', 'V', 'C', 0x02, 0x01, 0x02, 0x04, 0x02, 0x00}));
}

// Records what an object declares to the component streaming.
class RecordingFiler : public TFiler {
 public:
  RecordingFiler() : TFiler(nullptr, 0) {}
  int Definitions = 0;
  AnsiString Name;
  TStreamProc Read, Write;
  bool HasData = false;
  void DefineProperty(const AnsiString&, const TReaderProc&, const TWriterProc&, bool) override {}
  void DefineBinaryProperty(const AnsiString& name, const TStreamProc& read, const TStreamProc& write,
                            bool hasData) override {
    ++Definitions;
    Name = name;
    Read = read;
    Write = write;
    HasData = hasData;
  }
  void FlushBuffer() override {}
};

template <class TVector>
struct Streamable : TVector {
  using TVector::DefineProperties;
};

TEST(AnsiStringVector, DeclaresOneBinaryPropertyNamedAfterItsClass) {
  Streamable<TDIAnsiStringCardinalVector> v;
  RecordingFiler empty;
  v.DefineProperties(&empty);
  EXPECT_EQ(empty.Definitions, 1);
  EXPECT_EQ(empty.Name, "TDIAnsiStringCardinalVector");
  EXPECT_FALSE(empty.HasData);  // an empty vector is not stored

  Streamable<TDIAnsiStringVector> strings;
  strings.SetCount(2);
  strings.SetString(0, "a");
  strings.SetString(1, "bc");
  RecordingFiler writing;
  strings.DefineProperties(&writing);
  EXPECT_EQ(writing.Name, "TDIAnsiStringVector");
  ASSERT_TRUE(writing.HasData);
  TStringStream stream;
  writing.Write(&stream);
  EXPECT_EQ(stream.DataString().size(), 17u);

  Streamable<TDIAnsiStringVector> back;
  RecordingFiler reading;
  back.DefineProperties(&reading);
  stream.SetPosition(0);
  reading.Read(&stream);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.GetString(1), "bc");
}

// A stream that refuses every write.
class FullStream : public TStream {
 public:
  Integer Read(void*, Integer) override { return 0; }
  Integer Write(const void*, Integer) override { return 0; }
  Int64 Seek(Int64, TSeekOrigin) override { return 0; }
};

TEST(AnsiStringVector, FailedWriteOfThePropertyDataRaises) {
  TDIAnsiStringVector v;
  v.SetCount(1);
  FullStream stream;
  EXPECT_THROW(v.WriteData(&stream), EWriteError);
}

}  // namespace
