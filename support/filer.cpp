#include "support/filer.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/streams.h"

RTL_IMPLEMENT_CLASS(TDIFiler)
RTL_IMPLEMENT_CLASS(TDIReader)
RTL_IMPLEMENT_CLASS(TDIBinaryReader)
RTL_IMPLEMENT_CLASS(TDIWriter)
RTL_IMPLEMENT_CLASS(TDIBinaryWriter)

namespace {
constexpr const char* kReadError = "Stream read error";
constexpr const char* kWriteError = "Stream write error";
constexpr const char* kInvalidElementType = "Invalid Element Type";

constexpr Byte kTagEmptyString = 29;
constexpr Byte kTagLastLength = 33;
constexpr Byte kTagEmptyStringAlt = 34;

// Strings are read in pieces, so that a damaged length in a short stream
// fails with a read error instead of asking for gigabytes first.
constexpr Cardinal kStringChunk = 0x10000;

// Number of value bytes after an integer tag (1 to 12).
constexpr int ValueBytes(Byte tag) { return (tag - 1) / 3 + 1; }

// 0 for 0, else the position of the highest set bit plus 1.
int BitLength(Cardinal v) {
  int n = 0;
  while (v) {
    ++n;
    v >>= 1;
  }
  return n;
}

// The tag of a value that is not negative, by its bit length: 7, 15, 23
// and 31 bits "fit", 8, 16, 24 and 32 are "full".
Byte NonNegativeTag(int bits) {
  if (bits <= 7) return 2;
  if (bits == 8) return 3;
  if (bits <= 15) return 5;
  if (bits == 16) return 6;
  if (bits <= 23) return 8;
  if (bits == 24) return 9;
  if (bits <= 31) return 11;
  return 12;
}

// The tag of a negative value, by the bit length of its complement.
Byte NegativeTag(int bits) {
  if (bits <= 7) return 1;
  if (bits <= 15) return 4;
  if (bits <= 23) return 7;
  return 10;
}
}  // namespace

// ---- TDIFiler ---------------------------------------------------------------

TDIFiler::TDIFiler(TStream* stream, Integer bufferSize)
    : FStream(stream), FBufferSize(std::max<Integer>(bufferSize, 1)) {
  FBuffer = std::make_unique<Byte[]>(static_cast<size_t>(FBufferSize));
}

// ---- TDIReader --------------------------------------------------------------

TDIReader::~TDIReader() {
  if (FStream && FBufferEnd > FBufferPos) FStream->Seek(-static_cast<Int64>(FBufferEnd - FBufferPos), soCurrent);
}

void TDIReader::ReadBuffer(void* dest, Integer count) {
  auto* p = static_cast<Byte*>(dest);
  while (count > 0) {
    if (FBufferPos >= FBufferEnd) {
      Integer n = FStream->Read(FBuffer.get(), FBufferSize);
      if (n <= 0) throw EReadError(kReadError);
      FBufferPos = 0;
      FBufferEnd = n;
    }
    Integer k = std::min(count, FBufferEnd - FBufferPos);
    std::memcpy(p, FBuffer.get() + FBufferPos, static_cast<size_t>(k));
    FBufferPos += k;
    p += k;
    count -= k;
  }
}

// ---- TDIBinaryReader --------------------------------------------------------

Byte TDIBinaryReader::ReadTag() {
  Byte tag;
  ReadBuffer(&tag, 1);
  return tag;
}

namespace {
// Replaces the low-order bytes of start with the next n value bytes.
Cardinal ReadValueBytes(TDIReader* reader, int n, Cardinal start) {
  Byte bytes[4];
  reader->ReadBuffer(bytes, n);
  Cardinal v = start;
  for (int i = 0; i < n; ++i) {
    v &= ~(Cardinal(0xFF) << (8 * i));
    v |= Cardinal(bytes[i]) << (8 * i);
  }
  return v;
}
}  // namespace

Integer TDIBinaryReader::ReadInteger() {
  Byte tag = ReadTag();
  if (tag < 1 || tag > 11) throw EReadError(kInvalidElementType);
  Cardinal start = (tag % 3 == 1) ? 0xFFFFFFFFu : 0;
  return static_cast<Integer>(ReadValueBytes(this, ValueBytes(tag), start));
}

Cardinal TDIBinaryReader::ReadCardinal() {
  Byte tag = ReadTag();
  if (tag < 2 || tag > 12 || tag % 3 == 1) throw EReadError(kInvalidElementType);
  return ReadValueBytes(this, ValueBytes(tag), 0);
}

AnsiString TDIBinaryReader::ReadAnsiString() {
  Byte tag = ReadTag();
  if (tag == kTagEmptyString || tag == kTagEmptyStringAlt) return AnsiString();
  if (tag < kTagEmptyString || tag > kTagLastLength) throw EReadError(kInvalidElementType);
  Cardinal length = ReadValueBytes(this, tag - kTagEmptyString, 0);
  AnsiString s;
  while (length > 0) {
    Cardinal chunk = std::min(length, kStringChunk);
    size_t old = s.size();
    s.resize(old + chunk);
    ReadBuffer(s.data() + old, static_cast<Integer>(chunk));
    length -= chunk;
  }
  return s;
}

// ---- TDIWriter --------------------------------------------------------------

TDIWriter::~TDIWriter() {
  try {
    FlushBuffer();
  } catch (const Exception&) {
    // Cannot raise from here; see the header.
  }
}

void TDIWriter::WriteBuffer(const void* source, Integer count) {
  auto* p = static_cast<const Byte*>(source);
  while (count > 0) {
    if (FBufferPos >= FBufferSize) FlushBuffer();
    Integer k = std::min(count, FBufferSize - FBufferPos);
    std::memcpy(FBuffer.get() + FBufferPos, p, static_cast<size_t>(k));
    FBufferPos += k;
    p += k;
    count -= k;
  }
}

void TDIWriter::FlushBuffer() {
  Integer n = FBufferPos;
  FBufferPos = 0;
  if (n > 0) FStream->WriteBuffer(FBuffer.get(), n);
}

// ---- TDIBinaryWriter --------------------------------------------------------

void TDIBinaryWriter::WriteTag(Byte tag) { WriteBuffer(&tag, 1); }

namespace {
void WriteValue(TDIWriter* writer, Byte tag, Cardinal v) {
  Byte bytes[5] = {tag, Byte(v), Byte(v >> 8), Byte(v >> 16), Byte(v >> 24)};
  writer->WriteBuffer(bytes, 1 + ValueBytes(tag));
}
}  // namespace

void TDIBinaryWriter::WriteInteger(Integer value) {
  Cardinal v = static_cast<Cardinal>(value);
  Byte tag = value >= 0 ? NonNegativeTag(BitLength(v)) : NegativeTag(BitLength(~v));
  WriteValue(this, tag, v);
}

void TDIBinaryWriter::WriteCardinal(Cardinal value) { WriteValue(this, NonNegativeTag(BitLength(value)), value); }

void TDIBinaryWriter::WriteAnsiString(const AnsiString& text) {
  if (text.empty()) {
    WriteTag(kTagEmptyString);
    return;
  }
  // The length field holds at most 32 bits; a longer text cannot be stored
  // without corrupting what follows it.
  if (text.size() > 0xFFFFFFFFu) throw EWriteError(kWriteError);
  Cardinal length = static_cast<Cardinal>(text.size());
  int n = 1;
  while (n < 4 && length >= (Cardinal(1) << (8 * n))) ++n;
  Byte head[5] = {Byte(kTagEmptyString + n), Byte(length), Byte(length >> 8), Byte(length >> 16), Byte(length >> 24)};
  WriteBuffer(head, 1 + n);
  const char* p = text.data();
  Cardinal left = length;
  while (left > 0) {
    Cardinal chunk = std::min<Cardinal>(left, 0x40000000u);
    WriteBuffer(p, static_cast<Integer>(chunk));
    p += chunk;
    left -= chunk;
  }
}
