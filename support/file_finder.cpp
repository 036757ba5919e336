#include "support/file_finder.h"

#include <sys/stat.h>

#include <algorithm>
#include <iterator>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/properties.h"
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

TDIAnsiStringCardinalItem* StackItem(void* Item) { return static_cast<TDIAnsiStringCardinalItem*>(Item); }
}  // namespace

// A folder's listing through the runtime library's search, which gives
// names and entry types and asks the file system for nothing else until
// someone reads more, with the folder's identity for the loop check.
struct TDICustomFileFinder::TListing {
  TSearchRec Rec;
  uint64_t Dev = 0;
  uint64_t Ino = 0;
  TListing() = default;
  TListing(const TListing&) = delete;
  TListing& operator=(const TListing&) = delete;
  ~TListing() { FindClose(Rec); }
};

// ---- TDICustomFileFinder ----------------------------------------------------

TDICustomFileFinder::TDICustomFileFinder(TComponent* AOwner)
    : TComponent(AOwner), FFolderStack(std::make_unique<TDIAnsiStringCardinalVector>()) {}

TDICustomFileFinder::~TDICustomFileFinder() { CloseSearch(); }

const AnsiString& TDICustomFileFinder::CurrentName() const { return FCurrent->Rec.Name; }

bool TDICustomFileFinder::CurrentIsFolder() const { return FCurrent->Rec.IsDirectory(); }

const TSearchRec& TDICustomFileFinder::FindData() const {
  static const TSearchRec none;
  return FCurrent ? FCurrent->Rec : none;
}

void TDICustomFileFinder::SetSearchFolder(const AnsiString& Value) {
  CloseSearch();
  FSearchFolder = Value.empty() ? Value : EnsureTrailingBackslash(Value);
}

bool TDICustomFileFinder::OpenListing() {
  FSearchHandle = 0;
  FCurrent = nullptr;
  const TPendingFolder pending = FPendingFolder;
  FPendingFolder = pfNone;
  if (pending == pfUnreachable || FSearchFolder.empty()) return false;
  auto listing = std::make_unique<TListing>();
  if (pending == pfFolder) {
    // Its identity was taken for the loop check.
    listing->Dev = FPendingDev;
    listing->Ino = FPendingIno;
  } else {
    // The top folder.
    struct stat st;
    if (::stat(FSearchFolder.c_str(), &st) != 0) return false;
    listing->Dev = st.st_dev;
    listing->Ino = st.st_ino;
  }
  if (FindFirst(FSearchFolder + "*", faAnyFile, listing->Rec) != 0) return false;
  size_t slot = 0;
  while (slot < FListings.size() && FListings[slot]) ++slot;
  if (slot == FListings.size()) FListings.emplace_back();
  FCurrent = listing.get();
  FListings[slot] = std::move(listing);
  FSearchHandle = static_cast<Cardinal>(slot + 1);
  return true;
}

bool TDICustomFileFinder::AdvanceListing() {
  FCurrent = nullptr;
  if (FSearchHandle == 0 || FSearchHandle > FListings.size()) return false;
  TListing* listing = FListings[FSearchHandle - 1].get();
  if (!listing || FindNext(listing->Rec) != 0) return false;
  FCurrent = listing;
  return true;
}

void TDICustomFileFinder::CloseListing(Cardinal Handle) {
  if (Handle == 0 || Handle > FListings.size() || !FListings[Handle - 1]) return;
  std::unique_ptr<TListing>& listing = FListings[Handle - 1];
  if (FCurrent == listing.get()) FCurrent = nullptr;
  listing.reset();
}

bool TDICustomFileFinder::OpenSubfolder(const AnsiString& Name) {
  // The one look at the folder: its identity, for the loop check. One that
  // cannot be reached at all is descended into and lists nothing.
  struct stat st;
  if (::stat((FSearchFolder + Name).c_str(), &st) != 0) {
    FPendingFolder = pfUnreachable;
    return true;
  }
  // The open listings are exactly the folders of the current path.
  for (const auto& listing : FListings)
    if (listing && listing->Dev == st.st_dev && listing->Ino == st.st_ino) return false;
  FPendingFolder = pfFolder;
  FPendingDev = st.st_dev;
  FPendingIno = st.st_ino;
  return true;
}

void TDICustomFileFinder::CloseSearch() {
  CloseListing(FSearchHandle);
  FSearchHandle = 0;
  FPendingFolder = pfNone;
  if (FFolderStack->NotEmpty()) FSearchFolder = FFolderStack->GetString(0);
  for (Integer i = 0; i < FFolderStack->Count(); ++i) CloseListing(FFolderStack->GetCardinal(i));
  FFolderStack->Clear();
  FListings.clear();
  FCurrent = nullptr;
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
