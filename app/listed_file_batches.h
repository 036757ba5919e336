// The files a folder search finds, read by a few reader threads while the
// search goes on: reading a file's size and times costs a system call per
// file, more than the search spends on the entry itself, and the window's
// thread only has to put the prepared rows into the list.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/file_list_utils.h"

// The hash the list's duplicate set keys a path by; the readers compute
// it so that the window's thread does not.
size_t ListedPathHash(const AnsiString& Path);

// A file as the list shows it, made ready off the window's thread.
struct TListedRow {
  AnsiString Path;
  // ListedPathHash(Path), once Listed.
  size_t Hash = 0;
  // False when no regular PDF file is at the path: no row is added.
  bool Listed = false;
  TListedFile File;
  WideString Name;
  WideString Folder;
  WideString SizeText;
};

// Reads the file at Row.Path into Row; a Reader keeps the last folder open.
// The size text takes its decimal separator from Settings.
void PrepareListedRow(TListedRow& Row, TListedFileReader* Reader, const TFormatSettings& Settings = FormatSettings);

// Files found, read by whichever reader is free, a small chunk at a time.
struct TListedChunk {
  std::vector<AnsiString> Paths;
  // One per path once Read is set.
  std::vector<TListedRow> Rows;
  std::atomic<bool> Read{false};
};

// Chunks come back in the order their files were added. With no reader
// threads (one processor) the taking thread reads them. Adding and taking
// are one thread's; the readers claim chunks without a lock and the lock
// is only for sleeping and waking.
class TListedFileBatches {
 public:
  // The reader threads for this machine: its other processors, at most
  // three (more gain nothing: the window's thread is the limit then).
  static unsigned DefaultReaders();

  explicit TListedFileBatches(unsigned Readers = DefaultReaders());
  TListedFileBatches(const TListedFileBatches&) = delete;
  TListedFileBatches& operator=(const TListedFileBatches&) = delete;
  // Waits for the chunks being read; the unread are dropped.
  ~TListedFileBatches();

  // Starts another search with the same readers (starting threads costs
  // more than reading a few hundred files): the size texts follow the
  // settings as they are now. Everything added must have been taken.
  void Begin();
  // Queues a found file; true when that handed a chunk to the readers.
  bool Add(const AnsiString& Path);
  // Replaces Chunks with the chunks read, in order, that no unread chunk
  // precedes; the chunks Chunks held are used again for later files, so
  // what they held must be taken out before. With Wait, the oldest unread
  // files are read (here, if no reader has started them) or waited for,
  // and those added last are read too. False when there was nothing to
  // give: with Wait, nothing is left.
  bool Take(std::vector<std::unique_ptr<TListedChunk>>& Chunks, bool Wait);
  // Chunks added and not yet taken.
  size_t Backlog() const { return FChunks.size(); }

 private:
  // Chunks handed to the readers and not yet claimed, at most this many.
  static constexpr size_t kRing = 1024;

  void Submit();
  void ReaderLoop();
  // The oldest chunk nobody reads yet, now the caller's to read.
  TListedChunk* Claim();
  void ReadChunk(TListedFileReader& Reader, TListedChunk& Chunk) const;
  void MarkRead(TListedChunk& Chunk);
  bool HasUnclaimed() const { return FClaimed.load() < FPublished.load(); }

  // The window's settings when the search began: the readers must not
  // read the global ones while the window's thread may change them.
  TFormatSettings FSettings;
  // The adding and taking thread's alone: the chunk being filled, every
  // chunk not yet taken in order, and the taken ones kept for reuse (their
  // vectors keep their room, and no thread frees what another made).
  std::unique_ptr<TListedChunk> FFilling;
  std::deque<std::unique_ptr<TListedChunk>> FChunks;
  std::vector<std::unique_ptr<TListedChunk>> FSpare;
  // Reads here; like the readers' own, let go once all is read, so that
  // no folder stays open between searches (its drive would stay busy).
  std::optional<TListedFileReader> FLocalReader;
  TListedFileReader& LocalReader();
  // Chunk n of those handed over sits at FRing[n % kRing] until claimed.
  std::unique_ptr<std::atomic<TListedChunk*>[]> FRing;
  // Each counter on a line of its own: the adder writes one, the readers
  // the other.
  alignas(64) std::atomic<size_t> FPublished{0};
  alignas(64) std::atomic<size_t> FClaimed{0};
  alignas(64) std::atomic<bool> FStopping{false};
  std::atomic<bool> FTakerWaiting{false};
  std::atomic<unsigned> FSleeping{0};
  std::mutex FLock;
  std::condition_variable FWork;
  std::condition_variable FDone;
  std::vector<std::thread> FReaders;
};
