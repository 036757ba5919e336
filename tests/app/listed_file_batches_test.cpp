// The found files read by reader threads: every file comes back once, in
// the order added, read as a single file is read, whatever the number of
// readers and however the taking goes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "app/listed_file_batches.h"
#include "app_fixture.h"
#include "platform/rtl/text_codec.h"

namespace {

namespace fs = std::filesystem;

class ListedFileBatches : public AppFolders {
 protected:
  // Files in a few folders, in the order a search would find them: PDF
  // files of several sizes, a text file, a folder named like a PDF, and a
  // name that is gone by the time it is read.
  std::vector<AnsiString> MakeTree(int Count) {
    std::vector<AnsiString> Paths;
    for (int i = 0; i < Count; ++i) {
      const AnsiString Folder = Root + "f" + std::to_string(i / 40) + "/";
      fs::create_directories(Folder);
      AnsiString Path = Folder + "doc" + std::to_string(i);
      switch (i % 10) {
        case 3: Path += ".txt"; WriteWholeFile(Path, "text"); break;
        case 5: Path += ".PDF"; fs::create_directories(Path); break;
        case 7: Path += ".pdf"; break;  // never made
        default: Path += ".pdf"; WriteWholeFile(Path, AnsiString(static_cast<size_t>(i * 37 % 5000), 'x'));
      }
      Paths.push_back(Path);
    }
    return Paths;
  }

  // Every path's row, as a single file is prepared.
  static std::vector<TListedRow> Expected(const std::vector<AnsiString>& Paths) {
    std::vector<TListedRow> Rows(Paths.size());
    for (size_t i = 0; i < Paths.size(); ++i) {
      Rows[i].Path = Paths[i];
      PrepareListedRow(Rows[i], nullptr);
    }
    return Rows;
  }

  static void ExpectSame(const std::vector<TListedRow>& Got, const std::vector<TListedRow>& Want) {
    ASSERT_EQ(Got.size(), Want.size());
    for (size_t i = 0; i < Want.size(); ++i) {
      SCOPED_TRACE(Want[i].Path);
      EXPECT_EQ(Got[i].Path, Want[i].Path);
      EXPECT_EQ(Got[i].Listed, Want[i].Listed);
      if (!Want[i].Listed) continue;
      EXPECT_EQ(Got[i].File.Size, Want[i].File.Size);
      EXPECT_EQ(Got[i].File.LastWrite, Want[i].File.LastWrite);
      EXPECT_EQ(Got[i].File.Creation, Want[i].File.Creation);
      EXPECT_EQ(WideToAnsi(Got[i].Name + Got[i].Folder + Got[i].SizeText),
                WideToAnsi(Want[i].Name + Want[i].Folder + Want[i].SizeText));
    }
  }
};

TEST(ListedRows, APreparedRowSplitsThePathAndReadsTheFile) {
  // Nothing on disk is needed for the refusals.
  TListedRow Row;
  Row.Path = "/no/such/folder/a.pdf";
  PrepareListedRow(Row, nullptr);
  EXPECT_FALSE(Row.Listed);
  Row.Path = "/etc/hostname";  // a file, but not a PDF name
  PrepareListedRow(Row, nullptr);
  EXPECT_FALSE(Row.Listed);
}

TEST_F(ListedFileBatches, APreparedRowShowsNameFolderAndSize) {
  const AnsiString Path = Root + "Report 1.Pdf";
  WriteWholeFile(Path, AnsiString(1536, 'x'));
  TListedRow Row;
  Row.Path = Path;
  PrepareListedRow(Row, nullptr);
  ASSERT_TRUE(Row.Listed);
  EXPECT_EQ(WideToAnsi(Row.Name), "Report 1.Pdf");
  EXPECT_EQ(WideToAnsi(Row.Folder), Root);
  EXPECT_EQ(WideToAnsi(Row.SizeText), "1.50 KB");
  EXPECT_EQ(Row.File.Size, 1536);
}

TEST_F(ListedFileBatches, EveryFileComesBackOnceInOrderWhateverTheReaders) {
  const std::vector<AnsiString> Paths = MakeTree(700);
  // Made before the batches read: the missing names stay missing.
  const std::vector<TListedRow> Want = Expected(Paths);
  struct TCase {
    unsigned Readers;
    bool TakeWhileAdding;  // as the search does, or all at the end
  } cases[] = {{0, true}, {0, false}, {1, true}, {3, true}, {3, false}, {8, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Readers << " readers, taking while adding " << c.TakeWhileAdding);
    TListedFileBatches Batches(c.Readers);
    std::vector<TListedRow> Got;
    std::vector<std::unique_ptr<TListedChunk>> Chunks;
    auto Keep = [&] {
      for (auto& Chunk : Chunks)
        for (TListedRow& Row : Chunk->Rows) Got.push_back(std::move(Row));
    };
    for (const AnsiString& Path : Paths)
      if (Batches.Add(Path) && c.TakeWhileAdding && Batches.Take(Chunks, false)) Keep();
    while (Batches.Take(Chunks, true)) Keep();
    EXPECT_EQ(Batches.Backlog(), 0u);
    ExpectSame(Got, Want);
    // Nothing more comes once all is taken.
    EXPECT_FALSE(Batches.Take(Chunks, true));
    EXPECT_FALSE(Batches.Take(Chunks, false));
  }
}

TEST_F(ListedFileBatches, FarMoreChunksThanTheReadersKeepUpWithComeBackInOrder) {
  // More files added before any is taken than the readers' queue holds,
  // then taken in turns so that taken chunks are filled again.
  const std::vector<AnsiString> Some = MakeTree(40);
  std::vector<AnsiString> Paths;
  for (int i = 0; i < 450; ++i) Paths.insert(Paths.end(), Some.begin(), Some.end());
  std::vector<TListedRow> Want;
  for (int i = 0; i < 2; ++i) {
    const std::vector<TListedRow> Once = Expected(Paths);
    Want.insert(Want.end(), Once.begin(), Once.end());
  }
  for (unsigned Readers : {0u, 1u}) {
    SCOPED_TRACE(Readers);
    TListedFileBatches Batches(Readers);
    std::vector<TListedRow> Got;
    std::vector<std::unique_ptr<TListedChunk>> Chunks;
    auto Keep = [&] {
      for (auto& Chunk : Chunks)
        for (TListedRow& Row : Chunk->Rows) Got.push_back(std::move(Row));
    };
    for (const AnsiString& Path : Paths) Batches.Add(Path);
    for (const AnsiString& Path : Paths)
      if (Batches.Add(Path) && Batches.Backlog() > 64 && Batches.Take(Chunks, true)) Keep();
    while (Batches.Take(Chunks, true)) Keep();
    ExpectSame(Got, Want);
  }
}

TEST_F(ListedFileBatches, NoFolderStaysOpenOnceAllIsTaken) {
  // The readers outlive the search; a folder they kept open would keep
  // its drive busy.
  const std::vector<AnsiString> Paths = MakeTree(200);
  auto OpenUnderRoot = [&] {
    int Open = 0;
    for (const auto& Fd : fs::directory_iterator("/proc/self/fd")) {
      std::error_code Error;
      const std::string Target = fs::read_symlink(Fd.path(), Error).string();
      if (!Error && Target.compare(0, Root.size() - 1, Root, 0, Root.size() - 1) == 0) ++Open;
    }
    return Open;
  };
  for (unsigned Readers : {0u, 3u}) {
    SCOPED_TRACE(Readers);
    TListedFileBatches Batches(Readers);
    std::vector<std::unique_ptr<TListedChunk>> Chunks;
    for (const AnsiString& Path : Paths) Batches.Add(Path);
    while (Batches.Take(Chunks, true)) {
    }
    // Idle readers let go of their folder when they go to sleep.
    for (int Wait = 0; Wait < 500 && OpenUnderRoot() > 0; ++Wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(OpenUnderRoot(), 0);
  }
}

TEST_F(ListedFileBatches, WithoutReadersOnlyFullChunksAreReadBeforeTheWait) {
  const std::vector<AnsiString> Paths = MakeTree(5);
  TListedFileBatches Batches(0);
  std::vector<std::unique_ptr<TListedChunk>> Chunks;
  for (const AnsiString& Path : Paths) EXPECT_FALSE(Batches.Add(Path));
  // A part chunk waits for more files or for the wait.
  EXPECT_FALSE(Batches.Take(Chunks, false));
  ASSERT_TRUE(Batches.Take(Chunks, true));
  ASSERT_EQ(Chunks.size(), 1u);
  ExpectSame(Chunks[0]->Rows, Expected(Paths));
}

TEST_F(ListedFileBatches, DroppingTheBatchesUnreadLosesNothingElse) {
  // The window drops them when an error ends the search: the readers stop
  // and the memory is freed (the sanitizers watch).
  const std::vector<AnsiString> Paths = MakeTree(300);
  for (unsigned Readers : {0u, 2u}) {
    TListedFileBatches Batches(Readers);
    for (const AnsiString& Path : Paths) Batches.Add(Path);
    EXPECT_GT(Batches.Backlog(), 0u);
  }
}

TEST_F(ListedFileBatches, SizeTextsUseTheSettingsTheSearchBeganWith) {
  // The readers never read the window's settings while its thread may
  // change them.
  const AnsiString Path = Root + "a.pdf";
  WriteWholeFile(Path, AnsiString(1536, 'x'));
  const TFormatSettings Saved = FormatSettings;
  FormatSettings.DecimalSeparator = ',';
  for (unsigned Readers : {0u, 2u}) {
    auto Batches = std::make_unique<TListedFileBatches>(Readers);
    FormatSettings.DecimalSeparator = '.';
    Batches->Add(Path);
    std::vector<std::unique_ptr<TListedChunk>> Chunks;
    ASSERT_TRUE(Batches->Take(Chunks, true));
    EXPECT_EQ(WideToAnsi(Chunks[0]->Rows[0].SizeText), "1,50 KB") << Readers;
    // The next search with the same readers takes the settings anew.
    Batches->Begin();
    FormatSettings.DecimalSeparator = ',';
    Batches->Add(Path);
    ASSERT_TRUE(Batches->Take(Chunks, true));
    EXPECT_EQ(WideToAnsi(Chunks[0]->Rows[0].SizeText), "1.50 KB") << Readers;
    // Not while files are still to take.
    Batches->Add(Path);
    EXPECT_THROW(Batches->Begin(), EInvalidOperation);
  }
  FormatSettings = Saved;
}

}  // namespace
