#include "support/file_finder.h"

#include <sys/stat.h>

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

// The device and inode of a folder (links followed); false when it cannot
// be reached.
bool FolderIdentity(const AnsiString& Folder, dev_t& Dev, ino_t& Ino) {
  struct stat st;
  if (::stat(Folder.c_str(), &st) != 0) return false;
  Dev = st.st_dev;
  Ino = st.st_ino;
  return true;
}

TDIAnsiStringCardinalItem* StackItem(void* Item) { return static_cast<TDIAnsiStringCardinalItem*>(Item); }
}  // namespace

struct TDICustomFileFinder::TListing {
  TSearchRec Rec;
  dev_t Dev = 0;
  ino_t Ino = 0;
};

// ---- TDICustomFileFinder ----------------------------------------------------

TDICustomFileFinder::TDICustomFileFinder(TComponent* AOwner)
    : TComponent(AOwner), FFolderStack(std::make_unique<TDIAnsiStringCardinalVector>()) {}

TDICustomFileFinder::~TDICustomFileFinder() { CloseSearch(); }

const TSearchRec& TDICustomFileFinder::FindData() const {
  static const TSearchRec none;
  return FFindData ? *FFindData : none;
}

void TDICustomFileFinder::SetSearchFolder(const AnsiString& Value) {
  CloseSearch();
  FSearchFolder = Value.empty() ? Value : EnsureTrailingBackslash(Value);
}

bool TDICustomFileFinder::OpenListing() {
  auto listing = std::make_unique<TListing>();
  FSearchHandle = 0;
  FFindData = nullptr;
  if (FSearchFolder.empty() || !FolderIdentity(FSearchFolder, listing->Dev, listing->Ino) ||
      FindFirst(FSearchFolder + "*", faAnyFile, listing->Rec) != 0)
    return false;
  size_t slot = 0;
  while (slot < FListings.size() && FListings[slot]) ++slot;
  if (slot == FListings.size()) FListings.emplace_back();
  FFindData = &listing->Rec;
  FListings[slot] = std::move(listing);
  FSearchHandle = static_cast<Cardinal>(slot + 1);
  return true;
}

bool TDICustomFileFinder::AdvanceListing() {
  FFindData = nullptr;
  if (FSearchHandle == 0 || FSearchHandle > FListings.size()) return false;
  TListing* listing = FListings[FSearchHandle - 1].get();
  if (!listing || FindNext(listing->Rec) != 0) return false;
  FFindData = &listing->Rec;
  return true;
}

void TDICustomFileFinder::CloseListing(Cardinal Handle) {
  if (Handle == 0 || Handle > FListings.size() || !FListings[Handle - 1]) return;
  std::unique_ptr<TListing>& listing = FListings[Handle - 1];
  if (FFindData == &listing->Rec) FFindData = nullptr;
  FindClose(listing->Rec);
  listing.reset();
}

bool TDICustomFileFinder::IsOpenOnPath(const AnsiString& Folder) const {
  dev_t dev;
  ino_t ino;
  if (!FolderIdentity(Folder, dev, ino)) return false;
  // The open listings are exactly the folders of the current path.
  for (const auto& listing : FListings)
    if (listing && listing->Dev == dev && listing->Ino == ino) return true;
  return false;
}

void TDICustomFileFinder::CloseSearch() {
  CloseListing(FSearchHandle);
  FSearchHandle = 0;
  if (FFolderStack->NotEmpty()) FSearchFolder = FFolderStack->GetString(0);
  for (Integer i = 0; i < FFolderStack->Count(); ++i) CloseListing(FFolderStack->GetCardinal(i));
  FFolderStack->Clear();
  FListings.clear();
  FFindData = nullptr;
}

bool TDICustomFileFinder::NextMatch() {
  FStopRequested = false;
  bool have = FSearchHandle == 0 ? OpenListing() : AdvanceListing();
  for (;;) {
    while (have) {
      const AnsiString name = FFindData->Name;
      bool descended = false;
      if (FFindData->Attr & faDirectory) {
        if (name != "." && name != "..") {
          const AnsiString folder = FSearchFolder + name + PathDelim;
          if (FRecurse && !IsOpenOnPath(folder)) {
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
