// Streams: the abstract stream, handle and file streams, memory and
// string streams.
#pragma once

#include "platform/rtl/sysutils.h"

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File open modes of TFileStream, with the host framework's values.
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
  RTL_CLASS(TStream, TObject)

 protected:
  virtual void SetSize(Int64 newSize);

 public:
  // Reads or writes up to count bytes; returns how many were moved.
  virtual Integer Read(void* buffer, Integer count) = 0;
  virtual Integer Write(const void* buffer, Integer count) = 0;
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

  // Raise EReadError "Stream read error" / EWriteError "Stream write error"
  // when fewer than count bytes move. Partial transfers (pipes) are
  // repeated until the stream reports that nothing more moves.
  void ReadBuffer(void* buffer, Integer count);
  void WriteBuffer(const void* buffer, Integer count);
  // Copies count bytes from source (all of it from its start when count is
  // 0 or less); returns the number of bytes copied.
  Int64 CopyFrom(TStream* source, Int64 count);

  Int64 Position();
  void SetPosition(Int64 pos);
  virtual Int64 Size();
  void SetStreamSize(Int64 newSize) { SetSize(newSize); }
};

// A stream over a file descriptor, which it does not close. Read returns 0
// and Seek returns -1 on failure, with the last OS error set.
class THandleStream : public TStream {
  RTL_CLASS(THandleStream, TStream)

 protected:
  int FHandle = -1;
  void SetSize(Int64 newSize) override;

 public:
  explicit THandleStream(int handle) : FHandle(handle) {}
  int Handle() const { return FHandle; }
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
};

// Raises EFOpenError "Cannot open file \"%s\". %s" or EFCreateError
// "Cannot create file \"%s\". %s" when the file cannot be opened (the
// second %s is the OS error text). fmCreate creates or truncates the file
// and opens it for reading and writing. Share flags are accepted and not
// enforced. A folder cannot be opened as a file.
class TFileStream : public THandleStream {
  RTL_CLASS(TFileStream, THandleStream)
  AnsiString FFileName;

 public:
  TFileStream(const AnsiString& fileName, Word mode);
  ~TFileStream() override;
  const AnsiString& FileName() const { return FFileName; }
};

// A stream over a block of memory that it does not own.
class TCustomMemoryStream : public TStream {
  RTL_CLASS(TCustomMemoryStream, TStream)

 protected:
  void* FMemory = nullptr;
  Int64 FSize = 0;
  Int64 FPosition = 0;
  void SetPointer(void* ptr, Int64 size);

 public:
  Integer Read(void* buffer, Integer count) override;
  // The memory is fixed: writes nothing and returns 0, so that WriteBuffer
  // raises EWriteError.
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override { return FSize; }
  void* Memory() const { return FMemory; }
  void SaveToStream(TStream* stream);
  void SaveToFile(const AnsiString& fileName);
};

// A growable memory stream. Realloc is virtual so that subclasses can
// change how the memory grows; the default rounds capacities up to 8 KB
// blocks with malloc/realloc/free and raises EStreamError "Out of memory
// while expanding memory stream". The destructor releases the memory
// through TMemoryStream's own Realloc, so a subclass that allocates
// differently must release it (Clear) in its own destructor. Bytes between
// the old end and a later write or a larger size read as zero.
class TMemoryStream : public TCustomMemoryStream {
  RTL_CLASS(TMemoryStream, TCustomMemoryStream)
  Int64 FCapacity = 0;

 protected:
  void SetCapacity(Int64 newCapacity);
  virtual void* Realloc(Int64& newCapacity);
  void SetSize(Int64 newSize) override;
  Int64 Capacity() const { return FCapacity; }

 public:
  TMemoryStream() = default;
  ~TMemoryStream() override;
  void Clear();
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const AnsiString& fileName);
  Integer Write(const void* buffer, Integer count) override;
};

// A stream over a string's bytes. Seek clamps the position to [0, Size];
// writing overwrites in place and extends the string at its end.
class TStringStream : public TStream {
  RTL_CLASS(TStringStream, TStream)
  AnsiString FDataString;
  Int64 FPosition = 0;

 protected:
  void SetSize(Int64 newSize) override;

 public:
  explicit TStringStream(const AnsiString& s = AnsiString()) : FDataString(s) {}
  const AnsiString& DataString() const { return FDataString; }
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 Size() override { return static_cast<Int64>(FDataString.size()); }
  AnsiString ReadString(Integer count);
  void WriteString(const AnsiString& s);
};
