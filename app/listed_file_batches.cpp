#include "app/listed_file_batches.h"

#include <algorithm>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"

namespace {

// Small, so that the first rows show at once and the last files are
// shared among the readers; a dozen files cost more than the hand-over.
constexpr size_t kChunkFiles = 16;

// How often an idle reader looks for more files before it sleeps (about a
// millisecond): a search finds the next chunk sooner than that, and waking
// a sleeping thread costs the finding thread as much as reading a dozen
// files.
constexpr int kReaderPatience = 20000;

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

}  // namespace

void PrepareListedRow(TListedRow& Row, TListedFileReader* Reader, const TFormatSettings& Settings) {
  Row.Listed = false;
  // The name first: it costs nothing, the file system does.
  if (!IsPdfExtension(ExtractFileExt(Row.Path))) return;
  if (!(Reader ? Reader->Read(Row.Path, Row.File) : ReadListedFile(Row.Path, Row.File))) return;
  const size_t Slash = Row.Path.rfind(PathDelim);
  Row.Name = AnsiToWide(Row.Path.substr(Slash + 1));
  Row.Folder = AnsiToWide(Row.Path.substr(0, Slash + 1));
  Row.SizeText = AnsiToWide(FileSizeText(Row.File.Size, Settings));
  Row.Listed = true;
}

unsigned TListedFileBatches::DefaultReaders() {
  const unsigned Processors = std::thread::hardware_concurrency();
  return Processors > 1 ? std::min(Processors - 1, 3u) : 0u;
}

TListedFileBatches::TListedFileBatches(unsigned Readers) : FSettings(FormatSettings) {
  FReaders.reserve(Readers);
  for (unsigned i = 0; i < Readers; ++i) FReaders.emplace_back([this] { ReaderLoop(); });
}

TListedFileBatches::~TListedFileBatches() {
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FStopping.store(true);
  }
  FWork.notify_all();
  for (std::thread& T : FReaders) T.join();
}

bool TListedFileBatches::Add(const AnsiString& Path) {
  if (!FFilling) {
    FFilling = std::make_unique<TListedChunk>();
    FFilling->Paths.reserve(kChunkFiles);
  }
  FFilling->Paths.push_back(Path);
  if (FFilling->Paths.size() < kChunkFiles) return false;
  Submit();
  return true;
}

void TListedFileBatches::Submit() {
  if (!FFilling) return;
  bool Wake;
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FPending.push_back(FFilling.get());
    FPendingCount.store(FPending.size(), std::memory_order_release);
    FChunks.push_back(std::move(FFilling));
    FChunkCount.store(FChunks.size(), std::memory_order_relaxed);
    Wake = FSleeping > 0;
  }
  if (Wake) FWork.notify_one();
}

TListedChunk* TListedFileBatches::ClaimPending() {
  if (FPending.empty()) return nullptr;
  TListedChunk* Chunk = FPending.front();
  FPending.pop_front();
  FPendingCount.store(FPending.size(), std::memory_order_release);
  return Chunk;
}

void TListedFileBatches::ReadChunk(TListedFileReader& Reader, TListedChunk& Chunk) const {
  Chunk.Rows.resize(Chunk.Paths.size());
  for (size_t i = 0; i < Chunk.Paths.size(); ++i) {
    TListedRow& Row = Chunk.Rows[i];
    Row.Path = std::move(Chunk.Paths[i]);
    // Nothing may escape a reader thread; a file that cannot be made
    // ready (no memory left) is left out like one that is gone.
    try {
      PrepareListedRow(Row, &Reader, FSettings);
    } catch (...) {
      Row.Listed = false;
    }
  }
}

void TListedFileBatches::ReaderLoop() {
  TListedFileReader Reader;
  std::unique_lock<std::mutex> Lock(FLock);
  for (;;) {
    if (FStopping.load()) return;
    if (TListedChunk* Chunk = ClaimPending()) {
      Lock.unlock();
      ReadChunk(Reader, *Chunk);
      Chunk->Read.store(true);
      // The taker sets its flag before it looks at Read under the lock:
      // either it sees this chunk read or this sees it waiting.
      if (FTakerWaiting.load()) {
        Lock.lock();
        FDone.notify_one();
      } else {
        Lock.lock();
      }
      continue;
    }
    // Idle: look again for a while before sleeping.
    Lock.unlock();
    for (int Look = 0; Look < kReaderPatience && FPendingCount.load(std::memory_order_acquire) == 0 &&
                       !FStopping.load(std::memory_order_acquire);
         ++Look)
      CpuRelax();
    Lock.lock();
    if (!FPending.empty() || FStopping.load()) continue;
    ++FSleeping;
    FWork.wait(Lock, [this] { return FStopping.load() || !FPending.empty(); });
    --FSleeping;
  }
}

bool TListedFileBatches::Take(std::vector<std::unique_ptr<TListedChunk>>& Chunks, bool Wait) {
  Chunks.clear();
  if (Wait) Submit();
  std::unique_lock<std::mutex> Lock(FLock);
  // With no readers, chunks are read here, as they come.
  while (!FChunks.empty() && !FChunks.front()->Read.load() && (Wait || FReaders.empty())) {
    if (TListedChunk* Chunk = ClaimPending()) {
      Lock.unlock();
      ReadChunk(FLocalReader, *Chunk);
      Chunk->Read.store(true);
      Lock.lock();
      continue;
    }
    FTakerWaiting.store(true);
    FDone.wait(Lock, [this] { return FChunks.front()->Read.load(); });
    FTakerWaiting.store(false);
  }
  while (!FChunks.empty() && FChunks.front()->Read.load()) {
    Chunks.push_back(std::move(FChunks.front()));
    FChunks.pop_front();
  }
  FChunkCount.store(FChunks.size(), std::memory_order_relaxed);
  return !Chunks.empty();
}

size_t TListedFileBatches::Backlog() const { return FChunkCount.load(std::memory_order_relaxed); }
