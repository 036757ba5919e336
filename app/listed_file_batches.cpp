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

size_t ListedPathHash(const AnsiString& Path) { return std::hash<AnsiString>()(Path); }

void PrepareListedRow(TListedRow& Row, TListedFileReader* Reader, const TFormatSettings& Settings) {
  Row.Listed = false;
  // The name first: it costs nothing, the file system does.
  if (!IsPdfExtension(ExtractFileExt(Row.Path))) return;
  if (!(Reader ? Reader->Read(Row.Path, Row.File) : ReadListedFile(Row.Path, Row.File))) return;
  const size_t Slash = Row.Path.rfind(PathDelim);
  Row.Name = AnsiToWide(Row.Path.substr(Slash + 1));
  Row.Folder = AnsiToWide(Row.Path.substr(0, Slash + 1));
  Row.SizeText = AnsiToWide(FileSizeText(Row.File.Size, Settings));
  Row.Hash = ListedPathHash(Row.Path);
  Row.Listed = true;
}

unsigned TListedFileBatches::DefaultReaders() {
  const unsigned Processors = std::thread::hardware_concurrency();
  return Processors > 1 ? std::min(Processors - 1, 3u) : 0u;
}

TListedFileBatches::TListedFileBatches(unsigned Readers)
    : FSettings(FormatSettings), FRing(new std::atomic<TListedChunk*>[kRing]) {
  for (size_t i = 0; i < kRing; ++i) FRing[i].store(nullptr, std::memory_order_relaxed);
  FReaders.reserve(Readers);
  for (unsigned i = 0; i < Readers; ++i) FReaders.emplace_back([this] { ReaderLoop(); });
}

TListedFileBatches::~TListedFileBatches() {
  FStopping.store(true);
  {
    // Between a reader's look at FStopping and its sleep.
    std::lock_guard<std::mutex> Guard(FLock);
  }
  FWork.notify_all();
  for (std::thread& T : FReaders) T.join();
}

void TListedFileBatches::Begin() {
  // No reader reads the settings now: no chunk waits. The next chunk
  // handed over carries them to the readers.
  if (FFilling || !FChunks.empty()) throw EInvalidOperation("The found files are not all taken");
  FSettings = FormatSettings;
}

bool TListedFileBatches::Add(const AnsiString& Path) {
  if (!FFilling) {
    if (FSpare.empty()) {
      FFilling = std::make_unique<TListedChunk>();
      FFilling->Paths.reserve(kChunkFiles);
    } else {
      FFilling = std::move(FSpare.back());
      FSpare.pop_back();
    }
  }
  FFilling->Paths.push_back(Path);
  if (FFilling->Paths.size() < kChunkFiles) return false;
  Submit();
  return true;
}

void TListedFileBatches::Submit() {
  if (!FFilling) return;
  const size_t N = FPublished.load(std::memory_order_relaxed);
  // A full ring (readers far behind) makes room by reading here: a slot is
  // used again only once its chunk is claimed.
  while (N - FClaimed.load() >= kRing)
    if (TListedChunk* Chunk = Claim()) {
      ReadChunk(LocalReader(), *Chunk);
      MarkRead(*Chunk);
    }
  FRing[N % kRing].store(FFilling.get(), std::memory_order_relaxed);
  FChunks.push_back(std::move(FFilling));
  FPublished.store(N + 1);
  // Order against a reader going to sleep: it counts itself, then looks
  // for work; this publishes, then looks for sleepers.
  if (FSleeping.load() > 0) {
    { std::lock_guard<std::mutex> Guard(FLock); }
    FWork.notify_one();
  }
}

TListedChunk* TListedFileBatches::Claim() {
  size_t N = FClaimed.load();
  for (;;) {
    if (N >= FPublished.load()) return nullptr;
    // Read before the claim: once claimed, the slot may be filled anew.
    TListedChunk* Chunk = FRing[N % kRing].load(std::memory_order_relaxed);
    if (FClaimed.compare_exchange_weak(N, N + 1)) return Chunk;
  }
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

void TListedFileBatches::MarkRead(TListedChunk& Chunk) {
  Chunk.Read.store(true);
  // The taker sets its flag before it looks at Read under the lock: either
  // it sees this chunk read or this sees it waiting.
  if (FTakerWaiting.load()) {
    { std::lock_guard<std::mutex> Guard(FLock); }
    FDone.notify_one();
  }
}

TListedFileReader& TListedFileBatches::LocalReader() {
  if (!FLocalReader) FLocalReader.emplace();
  return *FLocalReader;
}

void TListedFileBatches::ReaderLoop() {
  std::optional<TListedFileReader> Reader;
  for (;;) {
    if (FStopping.load()) return;
    if (TListedChunk* Chunk = Claim()) {
      if (!Reader) Reader.emplace();
      ReadChunk(*Reader, *Chunk);
      MarkRead(*Chunk);
      continue;
    }
    // Idle: look again for a while before sleeping.
    for (int Look = 0; Look < kReaderPatience && !HasUnclaimed() && !FStopping.load(std::memory_order_relaxed);
         ++Look)
      CpuRelax();
    if (HasUnclaimed()) continue;
    // The folder read last is closed while there is nothing to read.
    Reader.reset();
    std::unique_lock<std::mutex> Lock(FLock);
    FSleeping.fetch_add(1);
    FWork.wait(Lock, [this] { return FStopping.load() || HasUnclaimed(); });
    FSleeping.fetch_sub(1);
  }
}

bool TListedFileBatches::Take(std::vector<std::unique_ptr<TListedChunk>>& Chunks, bool Wait) {
  for (auto& Chunk : Chunks) {
    Chunk->Paths.clear();
    Chunk->Read.store(false, std::memory_order_relaxed);
    FSpare.push_back(std::move(Chunk));
  }
  Chunks.clear();
  if (Wait) Submit();
  // With no readers, chunks are read here, as they come.
  while (!FChunks.empty() && !FChunks.front()->Read.load() && (Wait || FReaders.empty())) {
    if (TListedChunk* Chunk = Claim()) {
      ReadChunk(LocalReader(), *Chunk);
      Chunk->Read.store(true);
      continue;
    }
    // A reader has the oldest chunk.
    TListedChunk& Front = *FChunks.front();
    for (int Look = 0; Look < kReaderPatience && !Front.Read.load(std::memory_order_acquire); ++Look) CpuRelax();
    if (Front.Read.load()) continue;
    std::unique_lock<std::mutex> Lock(FLock);
    FTakerWaiting.store(true);
    FDone.wait(Lock, [&Front] { return Front.Read.load(); });
    FTakerWaiting.store(false);
  }
  while (!FChunks.empty() && FChunks.front()->Read.load(std::memory_order_acquire)) {
    Chunks.push_back(std::move(FChunks.front()));
    FChunks.pop_front();
  }
  if (Chunks.empty() && Wait) FLocalReader.reset();
  return !Chunks.empty();
}
