#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

RTL_IMPLEMENT_CLASS(TStream)
RTL_IMPLEMENT_CLASS(THandleStream)
RTL_IMPLEMENT_CLASS(TFileStream)
RTL_IMPLEMENT_CLASS(TCustomMemoryStream)
RTL_IMPLEMENT_CLASS(TMemoryStream)
RTL_IMPLEMENT_CLASS(TStringStream)

namespace {
constexpr const char* kReadError = "Stream read error";
constexpr const char* kWriteError = "Stream write error";
constexpr const char* kMemoryStreamError = "Out of memory while expanding memory stream";
constexpr Integer kCopyBufferSize = 0xF000;
constexpr Int64 kMemoryDelta = 0x2000;
constexpr Int64 kMaxChunk = std::numeric_limits<Integer>::max();

// Count of bytes a 32-bit Read/Write may move of what remains.
Integer Chunk(Int64 remaining) { return static_cast<Integer>(std::min(remaining, kMaxChunk)); }
}  // namespace

// ---- TStream --------------------------------------------------------------

void TStream::SetSize(Int64) {}

void TStream::ReadBuffer(void* buffer, Integer count) {
  auto* p = static_cast<char*>(buffer);
  Integer done = 0;
  while (done < count) {
    Integer n = Read(p + done, count - done);
    if (n <= 0) throw EReadError(kReadError);
    done += n;
  }
}

void TStream::WriteBuffer(const void* buffer, Integer count) {
  auto* p = static_cast<const char*>(buffer);
  Integer done = 0;
  while (done < count) {
    Integer n = Write(p + done, count - done);
    if (n <= 0) throw EWriteError(kWriteError);
    done += n;
  }
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (count <= 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  Int64 result = count;
  std::vector<char> buffer(static_cast<size_t>(std::min<Int64>(count, kCopyBufferSize)));
  while (count > 0) {
    Integer n = static_cast<Integer>(std::min<Int64>(count, kCopyBufferSize));
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return result;
}

Int64 TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(Int64 pos) { Seek(pos, soBeginning); }

Int64 TStream::Size() {
  Int64 pos = Seek(0, soCurrent);
  Int64 result = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return result;
}

// ---- THandleStream --------------------------------------------------------

Integer THandleStream::Read(void* buffer, Integer count) {
  if (count <= 0) return 0;
  ssize_t n;
  do n = ::read(FHandle, buffer, static_cast<size_t>(count));
  while (n < 0 && errno == EINTR);
  if (n < 0) {
    SetLastErrorFromErrno();
    return 0;
  }
  return static_cast<Integer>(n);
}

Integer THandleStream::Write(const void* buffer, Integer count) {
  if (count <= 0) return 0;
  ssize_t n;
  do n = ::write(FHandle, buffer, static_cast<size_t>(count));
  while (n < 0 && errno == EINTR);
  if (n < 0) {
    SetLastErrorFromErrno();
    return 0;
  }
  return static_cast<Integer>(n);
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(FHandle, static_cast<off_t>(offset), whence);
  if (r < 0) {
    SetLastErrorFromErrno();
    return -1;
  }
  return static_cast<Int64>(r);
}

// Keeps the position, moved back to the new end when it lay beyond it.
void THandleStream::SetSize(Int64 newSize) {
  Int64 pos = Position();
  if (::ftruncate(FHandle, static_cast<off_t>(newSize)) != 0) {
    SetLastErrorFromErrno();
    RaiseLastOSError();
  }
  if (pos > newSize) Seek(newSize, soBeginning);
}

// ---- TFileStream ----------------------------------------------------------

TFileStream::TFileStream(const AnsiString& fileName, Word mode) : THandleStream(-1), FFileName(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 3) {
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: flags |= O_RDONLY; break;
    }
  }
  int fd;
  do fd = ::open(fileName.c_str(), flags, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd >= 0) {
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      fd = -1;
      errno = EISDIR;
    }
  }
  if (fd < 0) {
    SetLastErrorFromErrno();
    AnsiString reason = SysErrorMessage(GetLastError());
    if (create) throw EFCreateError("Cannot create file \"%s\". %s", {fileName, reason});
    throw EFOpenError("Cannot open file \"%s\". %s", {fileName, reason});
  }
  FHandle = fd;
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ---- TCustomMemoryStream --------------------------------------------------

void TCustomMemoryStream::SetPointer(void* ptr, Int64 size) {
  FMemory = ptr;
  FSize = size;
}

Integer TCustomMemoryStream::Read(void* buffer, Integer count) {
  if (FPosition < 0 || count <= 0) return 0;
  Int64 available = FSize - FPosition;
  if (available <= 0) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(available, count));
  std::memcpy(buffer, static_cast<const char*>(FMemory) + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

Integer TCustomMemoryStream::Write(const void*, Integer) { return 0; }

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: FPosition = offset; break;
    case soCurrent: FPosition += offset; break;
    case soEnd: FPosition = FSize + offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  const char* p = static_cast<const char*>(FMemory);
  for (Int64 done = 0; done < FSize;) {
    Integer n = Chunk(FSize - done);
    stream->WriteBuffer(p + done, n);
    done += n;
  }
}

void TCustomMemoryStream::SaveToFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

// ---- TMemoryStream --------------------------------------------------------

TMemoryStream::~TMemoryStream() { Clear(); }

void* TMemoryStream::Realloc(Int64& newCapacity) {
  if (newCapacity > 0 && newCapacity != FSize)
    newCapacity = (newCapacity + (kMemoryDelta - 1)) & ~(kMemoryDelta - 1);
  void* result = FMemory;
  if (newCapacity != FCapacity) {
    if (newCapacity <= 0) {
      std::free(FMemory);
      result = nullptr;
    } else {
      result = std::realloc(FMemory, static_cast<size_t>(newCapacity));
      if (!result) throw EStreamError(kMemoryStreamError);
    }
  }
  return result;
}

void TMemoryStream::SetCapacity(Int64 newCapacity) {
  SetPointer(Realloc(newCapacity), FSize);
  FCapacity = newCapacity;
}

void TMemoryStream::SetSize(Int64 newSize) {
  if (newSize < 0) newSize = 0;
  Int64 oldSize = FSize;
  Int64 oldPosition = FPosition;
  SetCapacity(newSize);
  if (newSize > oldSize) std::memset(static_cast<char*>(FMemory) + oldSize, 0, static_cast<size_t>(newSize - oldSize));
  FSize = newSize;
  if (oldPosition > newSize) Seek(0, soEnd);
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  FSize = 0;
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  Int64 count = stream->Size();
  SetSize(count);
  char* p = static_cast<char*>(FMemory);
  for (Int64 done = 0; done < count;) {
    Integer n = Chunk(count - done);
    stream->ReadBuffer(p + done, n);
    done += n;
  }
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

Integer TMemoryStream::Write(const void* buffer, Integer count) {
  if (FPosition < 0 || count <= 0) return 0;
  Int64 end = FPosition + count;
  if (end > FSize) {
    // Grow by a quarter beyond what is needed, so that a stream written
    // piece by piece is not copied on every write.
    if (end > FCapacity) SetCapacity(end + end / 4);
    if (FPosition > FSize) std::memset(static_cast<char*>(FMemory) + FSize, 0, static_cast<size_t>(FPosition - FSize));
    FSize = end;
  }
  std::memcpy(static_cast<char*>(FMemory) + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

// ---- TStringStream --------------------------------------------------------

Integer TStringStream::Read(void* buffer, Integer count) {
  if (count <= 0) return 0;
  Int64 available = Size() - FPosition;
  if (available <= 0) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(available, count));
  std::memcpy(buffer, FDataString.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

Integer TStringStream::Write(const void* buffer, Integer count) {
  if (count <= 0) return 0;
  size_t end = static_cast<size_t>(FPosition) + static_cast<size_t>(count);
  if (end > FDataString.size()) FDataString.resize(end);
  std::memcpy(FDataString.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = static_cast<Int64>(end);
  return count;
}

Int64 TStringStream::Seek(Int64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: FPosition = offset; break;
    case soCurrent: FPosition += offset; break;
    case soEnd: FPosition = Size() + offset; break;
  }
  FPosition = std::clamp<Int64>(FPosition, 0, Size());
  return FPosition;
}

void TStringStream::SetSize(Int64 newSize) {
  FDataString.resize(static_cast<size_t>(std::max<Int64>(newSize, 0)));
  if (FPosition > Size()) FPosition = Size();
}

AnsiString TStringStream::ReadString(Integer count) {
  Int64 n = std::clamp<Int64>(Size() - FPosition, 0, std::max(count, 0));
  AnsiString result = FDataString.substr(static_cast<size_t>(FPosition), static_cast<size_t>(n));
  FPosition += n;
  return result;
}

void TStringStream::WriteString(const AnsiString& s) { WriteBuffer(s.data(), static_cast<Integer>(s.size())); }
