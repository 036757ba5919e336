#include "support/file_finder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "support/ansi_string_vectors.h"
#include "support/text_utils.h"

RTL_ENUM_NAMES(TDIAttributeFilter, afIgnore, afInclude, afExclude)

// What a form description stores of a finder.
RTL_IMPLEMENT_PUBLISHED(TDICustomFileFinder,
                        RTL_PROP(SearchFolder),
                        RTL_PROP(Recurse).Default(false),
                        RTL_PROP(FileFilter).Default(true),
                        RTL_PROP(FolderFilter).Default(false),
                        RTL_EVENT(OnProgress))
RTL_IMPLEMENT_PUBLISHED(TDICustomAttributeFileFinder,
                        RTL_PROP(ArchiveFilter).Default(afIgnore),
                        RTL_PROP(CompressedFilter).Default(afIgnore),
                        RTL_PROP(HiddenFilter).Default(afIgnore),
                        RTL_PROP(ReadOnlyFilter).Default(afIgnore),
                        RTL_PROP(SystemFilter).Default(afIgnore))
RTL_IMPLEMENT_PUBLISHED(TDIWildFileFinder,
                        RTL_PROP(WildChar).Default('*'),
                        RTL_PROP(MaskChar).Default('?'),
                        RTL_PROP(IncludeFilters),
                        RTL_PROP(ExcludeFilters))

namespace {
constexpr Integer faCompressed = 0x800;

// FPendingFolder when no subfolder is pending, and for one that cannot be
// opened (its listing is empty).
constexpr int kNoFolder = -1;
constexpr int kUnlistable = -2;

TDIAnsiStringCardinalItem* StackItem(void* Item) { return static_cast<TDIAnsiStringCardinalItem*>(Item); }

// The sort key of a name: upper case through the library's one case
// mapping, as the runtime library's search orders names. Plain ASCII, the
// common case, needs no text conversion.
WideString FoldedName(const AnsiString& Name) {
  bool ascii = true;
  for (unsigned char c : Name) ascii = ascii && c < 0x80;
  if (!ascii) return WideUpperCase(AnsiToWide(Name));
  WideString key(Name.size(), u'\0');
  for (size_t i = 0; i < Name.size(); ++i) {
    const char c = Name[i];
    key[i] = static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return key;
}
}  // namespace

// A folder's entries, read at once and sorted by name without regard to
// case ("." and ".." first), with the type the listing gives; nothing else
// is asked of the file system until someone needs it.
struct TDICustomFileFinder::TListing {
  struct TEntry {
    AnsiString Name;
    unsigned char Type;
  };
  AnsiString Folder;  // with its trailing delimiter
  int Fd = -1;
  DIR* Dir = nullptr;  // over Fd, open while the listing is
  uint64_t Dev = 0;
  uint64_t Ino = 0;
  std::vector<TEntry> Entries;
  size_t Next = 0;
  TListing() = default;
  TListing(const TListing&) = delete;
  TListing& operator=(const TListing&) = delete;
  ~TListing() {
    if (Dir)
      ::closedir(Dir);
    else if (Fd >= 0)
      ::close(Fd);
  }
  const TEntry& Current() const { return Entries[Next - 1]; }

  // Reads the folder open on Fd; false when it cannot be read.
  bool Read() {
    // The stream keeps the descriptor, which stays usable for the
    // entries' own look-ups.
    Dir = ::fdopendir(Fd);
    if (!Dir) return false;
    struct TKey {
      int Rank;
      WideString Folded;
      size_t Index;
    };
    std::vector<TEntry> read;
    while (struct dirent* e = ::readdir(Dir)) read.push_back({e->d_name, e->d_type});
    std::vector<TKey> keys;
    keys.reserve(read.size());
    for (size_t i = 0; i < read.size(); ++i) {
      const AnsiString& n = read[i].Name;
      keys.push_back({n == "." ? 0 : n == ".." ? 1 : 2, FoldedName(n), i});
    }
    std::sort(keys.begin(), keys.end(), [&](const TKey& a, const TKey& b) {
      if (a.Rank != b.Rank) return a.Rank < b.Rank;
      if (a.Folded != b.Folded) return a.Folded < b.Folded;
      return read[a.Index].Name < read[b.Index].Name;
    });
    Entries.reserve(read.size());
    for (const TKey& k : keys) Entries.push_back(std::move(read[k.Index]));
    return !Entries.empty();
  }
};

// ---- TDICustomFileFinder ----------------------------------------------------

TDICustomFileFinder::TDICustomFileFinder(TComponent* AOwner)
    : TComponent(AOwner), FFolderStack(std::make_unique<TDIAnsiStringCardinalVector>()) {}

TDICustomFileFinder::~TDICustomFileFinder() { CloseSearch(); }

const AnsiString& TDICustomFileFinder::CurrentName() const { return FCurrent->Current().Name; }

bool TDICustomFileFinder::CurrentIsFolder() const {
  const TListing::TEntry& e = FCurrent->Current();
  if (e.Type == DT_DIR) return true;
  if (e.Type != DT_LNK && e.Type != DT_UNKNOWN) return false;
  // A link is what it leads to; a dangling one is no folder.
  struct stat st;
  return ::fstatat(FCurrent->Fd, e.Name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode);
}

const TSearchRec& TDICustomFileFinder::FindData() const {
  if (!FFindData) FFindData = std::make_unique<TSearchRec>();
  if (FFindDataValid) return *FFindData;
  TSearchRec& rec = *FFindData;
  rec = TSearchRec();
  if (FCurrent) {
    const AnsiString& name = CurrentName();
    // The runtime library's record of that one entry: attributes, times
    // and size as its search gives them.
    WIN32_FILE_ATTRIBUTE_DATA data;
    const AnsiString path = FCurrent->Folder + name;
    if (!GetFileAttributesEx(path.c_str(), GetFileExInfoStandard, &data)) {
      data = WIN32_FILE_ATTRIBUTE_DATA();
      data.dwFileAttributes = CurrentIsFolder() ? faDirectory : faArchive;
    }
    WIN32_FIND_DATA& fd = rec.FindData;
    fd.dwFileAttributes = data.dwFileAttributes;
    fd.ftCreationTime = data.ftCreationTime;
    fd.ftLastAccessTime = data.ftLastAccessTime;
    fd.ftLastWriteTime = data.ftLastWriteTime;
    fd.nFileSizeHigh = data.nFileSizeHigh;
    fd.nFileSizeLow = data.nFileSizeLow;
    std::strncpy(fd.cFileName, name.c_str(), MAX_PATH - 1);
    FILETIME local;
    WORD date = 0, time = 0;
    rec.Time = FileTimeToLocalFileTime(&fd.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time)
                   ? static_cast<Integer>((DWORD(date) << 16) | time)
                   : 0;
    rec.Size = static_cast<Int64>((UInt64(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
    rec.Attr = static_cast<Integer>(fd.dwFileAttributes);
    rec.Name = name;
  }
  FFindDataValid = true;
  return rec;
}

void TDICustomFileFinder::SetSearchFolder(const AnsiString& Value) {
  CloseSearch();
  FSearchFolder = Value.empty() ? Value : EnsureTrailingBackslash(Value);
}

void TDICustomFileFinder::ClosePendingFolder() {
  if (FPendingFolder >= 0) ::close(FPendingFolder);
  FPendingFolder = kNoFolder;
}


bool TDICustomFileFinder::OpenListing() {
  auto listing = std::make_unique<TListing>();
  FSearchHandle = 0;
  FCurrent = nullptr;
  FFindDataValid = false;
  const int pending = FPendingFolder;
  FPendingFolder = kNoFolder;
  if (pending == kUnlistable) return false;
  listing->Fd = pending;
  if (listing->Fd < 0) {
    // The top folder; a subfolder was opened when the walk descended.
    if (FSearchFolder.empty()) return false;
    listing->Fd = ::open(FSearchFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (listing->Fd < 0 || ::fstat(listing->Fd, &st) != 0) return false;
    listing->Dev = st.st_dev;
    listing->Ino = st.st_ino;
  } else {
    // Its identity was taken for the loop check.
    listing->Dev = FPendingDev;
    listing->Ino = FPendingIno;
  }
  if (!listing->Read()) return false;
  listing->Folder = FSearchFolder;
  size_t slot = 0;
  while (slot < FListings.size() && FListings[slot]) ++slot;
  if (slot == FListings.size()) FListings.emplace_back();
  listing->Next = 1;
  FCurrent = listing.get();
  FListings[slot] = std::move(listing);
  FSearchHandle = static_cast<Cardinal>(slot + 1);
  return true;
}

bool TDICustomFileFinder::AdvanceListing() {
  FCurrent = nullptr;
  FFindDataValid = false;
  if (FSearchHandle == 0 || FSearchHandle > FListings.size()) return false;
  TListing* listing = FListings[FSearchHandle - 1].get();
  if (!listing || listing->Next >= listing->Entries.size()) return false;
  ++listing->Next;
  FCurrent = listing;
  return true;
}

void TDICustomFileFinder::CloseListing(Cardinal Handle) {
  if (Handle == 0 || Handle > FListings.size() || !FListings[Handle - 1]) return;
  std::unique_ptr<TListing>& listing = FListings[Handle - 1];
  if (FCurrent == listing.get()) {
    FCurrent = nullptr;
    FFindDataValid = false;
  }
  listing.reset();
}

bool TDICustomFileFinder::OpenSubfolder(const AnsiString& Name) {
  ClosePendingFolder();
  int fd = ::openat(FCurrent->Fd, Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // One that cannot be read still has an identity; one that cannot be
  // reached at all is descended into and lists nothing.
  if (fd < 0 && errno == EACCES) fd = ::openat(FCurrent->Fd, Name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    if (fd >= 0) ::close(fd);
    FPendingFolder = kUnlistable;
    return true;
  }
  // The one look at the folder: its identity, for the loop check. The open
  // listings are exactly the folders of the current path.
  for (const auto& listing : FListings)
    if (listing && listing->Dev == st.st_dev && listing->Ino == st.st_ino) {
      ::close(fd);
      return false;
    }
  FPendingFolder = fd;
  FPendingDev = st.st_dev;
  FPendingIno = st.st_ino;
  return true;
}

void TDICustomFileFinder::CloseSearch() {
  CloseListing(FSearchHandle);
  FSearchHandle = 0;
  ClosePendingFolder();
  if (FFolderStack->NotEmpty()) FSearchFolder = FFolderStack->GetString(0);
  for (Integer i = 0; i < FFolderStack->Count(); ++i) CloseListing(FFolderStack->GetCardinal(i));
  FFolderStack->Clear();
  FListings.clear();
  FCurrent = nullptr;
  FFindDataValid = false;
}

bool TDICustomFileFinder::NextMatch() {
  FStopRequested = false;
  bool have = FSearchHandle == 0 ? OpenListing() : AdvanceListing();
  for (;;) {
    while (have) {
      const AnsiString& name = CurrentName();
      bool descended = false;
      if (CurrentIsFolder()) {
        if (name != "." && name != "..") {
          const AnsiString folder = FSearchFolder + name + PathDelim;
          if (FRecurse && OpenSubfolder(name)) {
            TDIAnsiStringCardinalItem* parent = StackItem(FFolderStack->InsertLast());
            parent->Str.SetText(FSearchFolder);
            parent->Number = FSearchHandle;
            FSearchFolder = folder;
            // The parent's listing now waits on the stack; the subfolder's
            // is opened next, also when the walk stops or returns first.
            if (FFolderFilter) {
              FFoundPath = folder;
              if (AcceptEntry()) {
                FSearchHandle = 0;
                return true;
              }
            }
            FSearchHandle = 0;
            descended = true;
          } else if (FFolderFilter) {
            FFoundPath = folder;
            if (AcceptEntry()) return true;
          }
        }
      } else if (FFileFilter) {
        FFoundPath = FSearchFolder + name;
        if (AcceptEntry()) return true;
      }
      if (OnProgress) OnProgress(this);
      if (FStopRequested) return false;
      have = descended ? OpenListing() : AdvanceListing();
    }
    if (FStopRequested) return false;
    CloseListing(FSearchHandle);
    FSearchHandle = 0;
    if (FFolderStack->IsEmpty()) return false;
    TDIAnsiStringCardinalItem* parent = StackItem(FFolderStack->LastItem());
    FSearchFolder = parent->Str.Text();
    FSearchHandle = parent->Number;
    FFolderStack->DeleteLast();
    have = AdvanceListing();
  }
}

// ---- TDICustomAttributeFileFinder -------------------------------------------

bool TDICustomAttributeFileFinder::AcceptEntry() {
  const TDIAttributeFilter filters[] = {FArchiveFilter, FCompressedFilter, FHiddenFilter, FReadOnlyFilter,
                                        FSystemFilter};
  // Only a filter that is not ignored asks the file system.
  if (std::all_of(std::begin(filters), std::end(filters), [](TDIAttributeFilter f) { return f == afIgnore; }))
    return true;
  const Integer attr = FindData().Attr;
  const struct {
    TDIAttributeFilter Filter;
    Integer Bit;
  } tests[] = {{FArchiveFilter, faArchive},
               {FCompressedFilter, faCompressed},
               {FHiddenFilter, faHidden},
               {FReadOnlyFilter, faReadOnly},
               {FSystemFilter, faSysFile}};
  for (const auto& t : tests) {
    if (t.Filter == afInclude && !(attr & t.Bit)) return false;
    if (t.Filter == afExclude && (attr & t.Bit)) return false;
  }
  return true;
}

// ---- TDIWildFileFinder ------------------------------------------------------

TDIWildFileFinder::TDIWildFileFinder(TComponent* AOwner)
    : TDICustomAttributeFileFinder(AOwner),
      FIncludeFilters(std::make_unique<TDIAnsiStringVector>()),
      FExcludeFilters(std::make_unique<TDIAnsiStringVector>()) {}

TDIWildFileFinder::~TDIWildFileFinder() = default;

namespace {
void CopyStrings(TDIAnsiStringVector* Dest, const TDIAnsiStringVector* Source) {
  Dest->Clear();
  if (!Source) return;
  Dest->SetCount(Source->Count());
  for (Integer i = 0; i < Source->Count(); ++i) Dest->SetString(i, Source->GetString(i));
}
}  // namespace

void TDIWildFileFinder::SetIncludeFilters(TDIAnsiStringVector* Value) {
  if (Value != FIncludeFilters.get()) CopyStrings(FIncludeFilters.get(), Value);
}

void TDIWildFileFinder::SetExcludeFilters(TDIAnsiStringVector* Value) {
  if (Value != FExcludeFilters.get()) CopyStrings(FExcludeFilters.get(), Value);
}

bool TDIWildFileFinder::AcceptEntry() {
  if (!inherited::AcceptEntry()) return false;
  const AnsiString& path = FoundPath();
  for (Integer i = 0; i < FExcludeFilters->Count(); ++i)
    if (MatchWildcard(path, FExcludeFilters->GetString(i), FWildChar, FMaskChar)) return false;
  if (FIncludeFilters->IsEmpty()) return true;
  for (Integer i = 0; i < FIncludeFilters->Count(); ++i)
    if (MatchWildcard(path, FIncludeFilters->GetString(i), FWildChar, FMaskChar)) return true;
  return false;
}
