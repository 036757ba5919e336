#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/rtl/streams.h"

namespace {

// A temporary folder removed with its files at the end of the test.
class TempDir {
  std::string path_;

 public:
  TempDir() {
    char tmpl[] = "/tmp/streams_test_XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }
};

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// A source that hands out at most `chunk` bytes per Read, as a pipe does.
class TrickleStream : public TStream {
  AnsiString data_;
  Int64 pos_ = 0;
  Integer chunk_;

 public:
  TrickleStream(AnsiString data, Integer chunk) : data_(std::move(data)), chunk_(chunk) {}
  Integer Read(void* buffer, Integer count) override {
    Integer n = static_cast<Integer>(std::min<Int64>({count, chunk_, Int64(data_.size()) - pos_}));
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  Integer Write(const void*, Integer) override { return 0; }
  Int64 Seek(Int64 offset, TSeekOrigin origin) override {
    pos_ = origin == soBeginning ? offset : origin == soCurrent ? pos_ + offset : Int64(data_.size()) + offset;
    return pos_;
  }
};

// A fixed block of memory, as a resource stream is.
class FixedStream : public TCustomMemoryStream {
 public:
  FixedStream(void* p, Int64 n) { SetPointer(p, n); }
};

// Counts Realloc calls, to check that capacity grows geometrically.
class CountingMemoryStream : public TMemoryStream {
 public:
  int reallocs = 0;
  Int64 Cap() const { return Capacity(); }

 protected:
  void* Realloc(Int64& newCapacity) override {
    ++reallocs;
    return TMemoryStream::Realloc(newCapacity);
  }
};

TEST(MemoryStream, WriteSeekRead) {
  TMemoryStream s;
  s.WriteBuffer("hello world", 11);
  EXPECT_EQ(s.Size(), 11);
  EXPECT_EQ(s.Position(), 11);
  EXPECT_EQ(s.Seek(-5, soEnd), 6);
  char buf[16] = {};
  EXPECT_EQ(s.Read(buf, 16), 5);
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(s.Read(buf, 16), 0);
  s.SetPosition(0);
  s.WriteBuffer("J", 1);
  EXPECT_EQ(std::string(static_cast<char*>(s.Memory()), 11), "Jello world");
  EXPECT_EQ(s.Seek(2, soCurrent), 3);
}

TEST(MemoryStream, WritingPastTheEndZeroFillsTheGap) {
  TMemoryStream s;
  s.WriteBuffer("ab", 2);
  s.SetPosition(6);
  s.WriteBuffer("z", 1);
  ASSERT_EQ(s.Size(), 7);
  EXPECT_EQ(std::string(static_cast<char*>(s.Memory()), 7), std::string("ab\0\0\0\0z", 7));
}

TEST(MemoryStream, SetSizeKeepsDataZeroesGrowthAndClampsPosition) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  s.SetStreamSize(3);
  EXPECT_EQ(s.Position(), 3);
  s.SetStreamSize(5);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(std::string(static_cast<char*>(s.Memory()), 5), std::string("abc\0\0", 5));
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Memory(), nullptr);
}

TEST(MemoryStream, CapacityGrowsGeometrically) {
  CountingMemoryStream s;
  const char byte = 'x';
  for (int i = 0; i < 1 << 20; ++i) s.WriteBuffer(&byte, 1);
  EXPECT_EQ(s.Size(), 1 << 20);
  EXPECT_GE(s.Cap(), s.Size());
  EXPECT_EQ(s.Cap() % 0x2000, 0);
  EXPECT_LT(s.reallocs, 40);
}

TEST(MemoryStream, LoadFromStreamAndSaveToStream) {
  TStringStream src("payload");
  src.SetPosition(4);
  TMemoryStream m;
  m.LoadFromStream(&src);
  ASSERT_EQ(m.Size(), 7);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 7), "payload");
  TStringStream dst;
  m.SaveToStream(&dst);
  EXPECT_EQ(dst.DataString(), "payload");
}

TEST(MemoryStream, FilesRoundTrip) {
  TempDir dir;
  TMemoryStream m;
  m.WriteBuffer("a\0b", 3);
  m.SaveToFile(dir.File("f.bin"));
  EXPECT_EQ(ReadFile(dir.File("f.bin")), std::string("a\0b", 3));
  TMemoryStream back;
  back.LoadFromFile(dir.File("f.bin"));
  EXPECT_EQ(std::string(static_cast<char*>(back.Memory()), 3), std::string("a\0b", 3));
}

TEST(CustomMemoryStream, ReadsFixedMemoryAndRefusesWrites) {
  char data[] = "fixed";
  FixedStream s(data, 5);
  char buf[8] = {};
  s.ReadBuffer(buf, 5);
  EXPECT_STREQ(buf, "fixed");
  s.SetPosition(0);
  EXPECT_EQ(s.Write("x", 1), 0);
  EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
  EXPECT_STREQ(data, "fixed");
  s.SetPosition(-1);
  EXPECT_EQ(s.Read(buf, 1), 0);
}

TEST(Stream, ShortReadsAndWritesRaise) {
  TStringStream s("abc");
  char buf[8];
  try {
    s.ReadBuffer(buf, 4);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  char fixed[2] = {};
  FixedStream f(fixed, 2);
  try {
    f.WriteBuffer("ab", 2);
    FAIL() << "no exception";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
    EXPECT_TRUE(e.Is<EStreamError>());
  }
  s.SetPosition(0);
  EXPECT_NO_THROW(s.ReadBuffer(buf, 0));
}

TEST(Stream, ReadBufferCollectsPartialReads) {
  TrickleStream s("0123456789", 3);
  char buf[11] = {};
  s.ReadBuffer(buf, 10);
  EXPECT_STREQ(buf, "0123456789");
}

TEST(Stream, CopyFrom) {
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  struct Case {
    Int64 startPos, count;
    Int64 expectedCount;
    std::string expected;
  };
  const Case cases[] = {
      {5, 0, Int64(big.size()), big},  // 0: the whole source from its start
      {5, -1, Int64(big.size()), big},
      {100, 70000, 70000, big.substr(100, 70000)},
  };
  for (const Case& c : cases) {
    TStringStream src(big);
    src.SetPosition(c.startPos);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(&src, c.count), c.expectedCount);
    EXPECT_EQ(std::string(static_cast<char*>(dst.Memory()), dst.Size()), c.expected) << c.count;
  }
  TStringStream shortSrc("abc");
  TMemoryStream dst;
  EXPECT_THROW(dst.CopyFrom(&shortSrc, 10), EReadError);
}

TEST(StringStream, OverwritesInPlaceAndClampsSeeks) {
  TStringStream s("hello world");
  s.SetPosition(0);
  s.WriteString("J");
  EXPECT_EQ(s.DataString(), "Jello world");
  EXPECT_EQ(s.Seek(100, soBeginning), 11);
  EXPECT_EQ(s.Seek(-100, soCurrent), 0);
  s.SetPosition(6);
  EXPECT_EQ(s.ReadString(100), "world");
  s.Seek(-2, soEnd);
  s.WriteString("LD!");
  EXPECT_EQ(s.DataString(), "Jello worLD!");
  s.SetStreamSize(5);
  EXPECT_EQ(s.DataString(), "Jello");
  EXPECT_EQ(s.Position(), 5);
}

TEST(FileStream, CreateWriteReopenRead) {
  TempDir dir;
  const std::string name = dir.File("data.txt");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.FileName(), name);
  }
  {
    TFileStream f(name, fmOpenReadWrite | fmShareDenyWrite);
    f.Seek(-3, soEnd);
    f.WriteBuffer("XYZ", 3);
    f.SetStreamSize(12);
    EXPECT_EQ(f.Position(), 10);
    f.SetStreamSize(4);
    EXPECT_EQ(f.Position(), 4);
  }
  EXPECT_EQ(ReadFile(name), "0123");
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(f.Write("x", 1), 0);
  EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
  char buf[5] = {};
  f.ReadBuffer(buf, 4);
  EXPECT_STREQ(buf, "0123");
  EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
}

TEST(FileStream, CreateTruncatesAnExistingFile) {
  TempDir dir;
  const std::string name = dir.File("t.txt");
  { TFileStream(name, fmCreate).WriteBuffer("long content", 12); }
  { TFileStream(name, fmCreate | fmShareExclusive).WriteBuffer("ab", 2); }
  EXPECT_EQ(ReadFile(name), "ab");
}

TEST(FileStream, OpenErrorsCarryTheFileNameAndOSText) {
  TempDir dir;
  struct Case {
    std::string name;
    Word mode;
    bool create;
    const char* osText;
  };
  const Case cases[] = {
      {dir.File("missing.txt"), fmOpenRead, false, "The system cannot find the file specified"},
      {dir.File("no/such/folder.txt"), fmCreate, true, "The system cannot find the file specified"},
      {dir.Path(), fmOpenRead, false, "Access is denied"},
      {dir.Path(), fmCreate, true, "Access is denied"},
  };
  for (const Case& c : cases) {
    try {
      TFileStream f(c.name, c.mode);
      ADD_FAILURE() << "opened " << c.name;
    } catch (const EFileStreamError& e) {
      const char* verb = c.create ? "create" : "open";
      EXPECT_EQ(e.Message(), "Cannot " + std::string(verb) + " file \"" + c.name + "\". " + c.osText);
      EXPECT_EQ(e.Is<EFCreateError>(), c.create) << c.name;
      EXPECT_EQ(e.Is<EFOpenError>(), !c.create) << c.name;
    }
  }
}

TEST(HandleStream, UsesTheDescriptorWithoutClosingIt) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  {
    THandleStream w(fds[1]);
    w.WriteBuffer("pipe", 4);
  }
  {
    THandleStream r(fds[0]);
    char buf[5] = {};
    r.ReadBuffer(buf, 4);
    EXPECT_STREQ(buf, "pipe");
    EXPECT_EQ(r.Seek(0, soBeginning), -1);  // pipes cannot seek
  }
  EXPECT_EQ(::close(fds[0]), 0);
  EXPECT_EQ(::close(fds[1]), 0);
}

}  // namespace
