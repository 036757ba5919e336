// Buffered binary readers and writers over a stream, with a compact tagged
// encoding for integers, cardinals and 8-bit strings (little-endian).
//
// Every element starts with a tag byte that gives its kind and how many
// bytes follow:
//   1..12   integers of 1 to 4 value bytes, three tags per size: negative
//           (high bytes all ones), fits in 8n-1 bits, full 8n bits
//   29      empty string
//   30..33  string whose length takes 1..4 bytes, then the characters
//   34      read as an empty string, never written
// Tags 13 to 28 (wider integers and reserved sizes) are never written and
// not accepted.
#pragma once

#include <memory>

#include "platform/rtl/object.h"

class TStream;

class TDIFiler : public TObject {
  RTL_CLASS(TDIFiler, TObject)

 protected:
  TStream* FStream;  // not owned
  std::unique_ptr<Byte[]> FBuffer;
  Integer FBufferSize;
  Integer FBufferPos = 0;
  Integer FBufferEnd = 0;

 public:
  // A buffer size below 1 is taken as 1.
  TDIFiler(TStream* stream, Integer bufferSize);
  TStream* Stream() const { return FStream; }
};

class TDIReader : public TDIFiler {
  RTL_CLASS(TDIReader, TDIFiler)

 public:
  TDIReader(TStream* stream, Integer bufferSize) : TDIFiler(stream, bufferSize) {}
  // Seeks the stream back over the bytes still unread in the buffer, so
  // that it stands right after the last element consumed.
  ~TDIReader() override;
  // Raises EReadError "Stream read error" when the stream runs dry.
  void ReadBuffer(void* dest, Integer count);
};

class TDIBinaryReader : public TDIReader {
  RTL_CLASS(TDIBinaryReader, TDIReader)

 public:
  using TDIReader::TDIReader;
  Byte ReadTag();
  // Tags 1 to 11; anything else raises EReadError "Invalid Element Type".
  Integer ReadInteger();
  // Tags 2, 3, 5, 6, 8, 9, 11 and 12.
  Cardinal ReadCardinal();
  // Tags 29 and 34 (empty) and 30 to 33.
  AnsiString ReadAnsiString();
};

class TDIWriter : public TDIFiler {
  RTL_CLASS(TDIWriter, TDIFiler)

 public:
  TDIWriter(TStream* stream, Integer bufferSize) : TDIFiler(stream, bufferSize) {}
  // Flushes what is still buffered. A destructor cannot raise, so a failure
  // here goes unreported: whoever needs to know that the bytes reached the
  // stream calls FlushBuffer first, which raises.
  ~TDIWriter() override;
  void WriteBuffer(const void* source, Integer count);
  // Writes the buffered bytes (EWriteError "Stream write error" on a short
  // write) and empties the buffer. The buffer is emptied before the write,
  // so a failed flush is never repeated by a later one.
  void FlushBuffer();
};

class TDIBinaryWriter : public TDIWriter {
  RTL_CLASS(TDIBinaryWriter, TDIWriter)

 public:
  using TDIWriter::TDIWriter;
  void WriteTag(Byte tag);
  void WriteInteger(Integer value);
  void WriteCardinal(Cardinal value);
  void WriteAnsiString(const AnsiString& text);
};
