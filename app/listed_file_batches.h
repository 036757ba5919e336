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
#include <thread>
#include <vector>

#include "app/file_list_utils.h"

// A file as the list shows it, made ready off the window's thread.
struct TListedRow {
  AnsiString Path;
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
// threads (one processor) the taking thread reads them.
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

  // Queues a found file; true when that handed a chunk to the readers.
  bool Add(const AnsiString& Path);
  // Replaces Chunks with the chunks read, in order, that no unread chunk
  // precedes. With Wait, the oldest unread files are read (here, if no
  // reader has started them) or waited for, and those added last are read
  // too. False when there was nothing to give: with Wait, nothing is left.
  bool Take(std::vector<std::unique_ptr<TListedChunk>>& Chunks, bool Wait);
  // Chunks added and not yet taken.
  size_t Backlog() const;

 private:
  void Submit();
  void ReaderLoop();
  // The oldest chunk nobody reads yet, taken off the pending list.
  TListedChunk* ClaimPending();
  void ReadChunk(TListedFileReader& Reader, TListedChunk& Chunk) const;

  // The window's settings when the search began: the readers must not
  // read the global ones while the window's thread may change them.
  const TFormatSettings FSettings;
  // The finding thread's alone.
  std::unique_ptr<TListedChunk> FFilling;
  // What the readers touch starts on a line of its own.
  alignas(64) mutable std::mutex FLock;
  std::condition_variable FWork;
  std::condition_variable FDone;
  // Every chunk not yet taken, in order; FPending those nobody reads yet.
  std::deque<std::unique_ptr<TListedChunk>> FChunks;
  std::deque<TListedChunk*> FPending;
  unsigned FSleeping = 0;
  // Read without the lock, on lines of their own: the finding thread's
  // fields beside them would be fetched back and forth with every file.
  alignas(64) std::atomic<size_t> FPendingCount{0};
  std::atomic<bool> FStopping{false};
  std::atomic<bool> FTakerWaiting{false};
  alignas(64) std::atomic<size_t> FChunkCount{0};
  std::vector<std::thread> FReaders;
  // Reads on the taking thread.
  TListedFileReader FLocalReader;
};
