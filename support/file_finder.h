// A resumable walk over a folder and, optionally, all its subfolders,
// returning one accepted entry per call so that the caller can add each
// match, pump messages through the progress event and stop at any time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"

struct TSearchRec;
class TDIAnsiStringCardinalVector;
class TDIAnsiStringVector;
class TDICustomFileFinder;

using TDIFileFinderProgress = TClosure<void(TDICustomFileFinder* Sender)>;

// The walk is depth-first: a subfolder is searched completely when its
// entry comes up in its parent's listing, before the parent goes on. A
// folder's entries come in the order the runtime library lists them (by
// name, without regard to case); "." and ".." are skipped. Paths use the
// platform's delimiter, and a folder's path ends with it.
//
// The walk never descends into a folder that is already open on the
// current path (same device and inode), so a cycle of links ends; such a
// folder is judged as an entry like any other. A folder that cannot be
// listed contributes no entries.
class TDICustomFileFinder : public TComponent {
  RTL_CLASS(TDICustomFileFinder, TComponent)
  struct TListing;

  AnsiString FSearchFolder;
  bool FRecurse = false;
  bool FFileFilter = true;
  bool FFolderFilter = false;
  bool FStopRequested = false;
  AnsiString FFoundPath;
  // The open listing of SearchFolder: a handle into FListings (slot + 1),
  // 0 for none. The folder stack keeps these numbers.
  Cardinal FSearchHandle = 0;
  std::vector<std::unique_ptr<TListing>> FListings;
  // (folder, search handle) of each folder the walk descended from.
  std::unique_ptr<TDIAnsiStringCardinalVector> FFolderStack;
  // The subfolder the walk has descended into, whose identity was taken
  // for the loop check, listed by the next OpenListing; or one that cannot
  // be reached, whose listing is empty.
  enum TPendingFolder { pfNone, pfFolder, pfUnreachable } FPendingFolder = pfNone;
  uint64_t FPendingDev = 0;
  uint64_t FPendingIno = 0;
  // The listing whose current entry is being judged; null when none.
  TListing* FCurrent = nullptr;

  bool OpenListing();
  bool AdvanceListing();
  void CloseListing(Cardinal Handle);
  // Takes the subfolder Name of the current listing for descending; false
  // when it is already open on the current path.
  bool OpenSubfolder(const AnsiString& Name);
  bool CurrentIsFolder() const;
  const AnsiString& CurrentName() const;

 protected:
  // Judges the entry of FindData whose full path is FoundPath.
  virtual bool AcceptEntry() = 0;
  // The entry being judged: attributes, times, size and name, the runtime
  // library's search record, which reads them only when they are read.
  const TSearchRec& FindData() const;

 public:
  explicit TDICustomFileFinder(TComponent* AOwner);
  ~TDICustomFileFinder() override;

  // Continues the walk to the next accepted entry: true with FoundPath set;
  // false when the walk has ended (the next call starts anew) or was
  // stopped (the next call goes on where it stopped).
  bool NextMatch();
  // Closes every open listing and takes SearchFolder back to the top
  // folder of the walk; the next NextMatch starts anew there.
  void CloseSearch();

  // The folder being listed, with a trailing delimiter when not empty;
  // the top folder again when the walk has ended. Setting it closes the
  // search first.
  const AnsiString& SearchFolder() const { return FSearchFolder; }
  void SetSearchFolder(const AnsiString& Value);
  bool Recurse() const { return FRecurse; }
  void SetRecurse(bool Value) { FRecurse = Value; }
  bool FileFilter() const { return FFileFilter; }
  void SetFileFilter(bool Value) { FFileFilter = Value; }
  bool FolderFilter() const { return FFolderFilter; }
  void SetFolderFilter(bool Value) { FFolderFilter = Value; }
  // Cleared by each NextMatch; when set (by OnProgress, say) the walk
  // stops at its next test.
  bool StopRequested() const { return FStopRequested; }
  void SetStopRequested(bool Value) { FStopRequested = Value; }
  const AnsiString& FoundPath() const { return FFoundPath; }

  // Called after every entry that was not returned as a match.
  TDIFileFinderProgress OnProgress;
};

enum TDIAttributeFilter { afIgnore, afInclude, afExclude };

// Filters on the attributes the runtime library's search reports: hidden
// is a name starting with a dot, read-only a file the user may not write,
// archive a regular file, system anything that is neither file nor
// folder; nothing is compressed.
class TDICustomAttributeFileFinder : public TDICustomFileFinder {
  RTL_CLASS(TDICustomAttributeFileFinder, TDICustomFileFinder)
  TDIAttributeFilter FArchiveFilter = afIgnore;
  TDIAttributeFilter FCompressedFilter = afIgnore;
  TDIAttributeFilter FHiddenFilter = afIgnore;
  TDIAttributeFilter FReadOnlyFilter = afIgnore;
  TDIAttributeFilter FSystemFilter = afIgnore;

 protected:
  // afInclude requires the attribute, afExclude its absence.
  bool AcceptEntry() override;

 public:
  using TDICustomFileFinder::TDICustomFileFinder;

  TDIAttributeFilter ArchiveFilter() const { return FArchiveFilter; }
  void SetArchiveFilter(TDIAttributeFilter Value) { FArchiveFilter = Value; }
  TDIAttributeFilter CompressedFilter() const { return FCompressedFilter; }
  void SetCompressedFilter(TDIAttributeFilter Value) { FCompressedFilter = Value; }
  TDIAttributeFilter HiddenFilter() const { return FHiddenFilter; }
  void SetHiddenFilter(TDIAttributeFilter Value) { FHiddenFilter = Value; }
  TDIAttributeFilter ReadOnlyFilter() const { return FReadOnlyFilter; }
  void SetReadOnlyFilter(TDIAttributeFilter Value) { FReadOnlyFilter = Value; }
  TDIAttributeFilter SystemFilter() const { return FSystemFilter; }
  void SetSystemFilter(TDIAttributeFilter Value) { FSystemFilter = Value; }
};

// Accepts an entry whose attributes pass and whose full path matches no
// exclude pattern and, when there are include patterns, one of them. The
// patterns match the whole path: "*.pdf" takes a ".pdf" file in any folder.
class TDIWildFileFinder : public TDICustomAttributeFileFinder {
  RTL_CLASS(TDIWildFileFinder, TDICustomAttributeFileFinder)
  char FWildChar = '*';
  char FMaskChar = '?';
  std::unique_ptr<TDIAnsiStringVector> FIncludeFilters;
  std::unique_ptr<TDIAnsiStringVector> FExcludeFilters;

 protected:
  bool AcceptEntry() override;

 public:
  explicit TDIWildFileFinder(TComponent* AOwner);
  ~TDIWildFileFinder() override;

  char WildChar() const { return FWildChar; }
  void SetWildChar(char Value) { FWildChar = Value; }
  char MaskChar() const { return FMaskChar; }
  void SetMaskChar(char Value) { FMaskChar = Value; }
  // Setting copies the given vector's strings.
  TDIAnsiStringVector* IncludeFilters() const { return FIncludeFilters.get(); }
  void SetIncludeFilters(TDIAnsiStringVector* Value);
  TDIAnsiStringVector* ExcludeFilters() const { return FExcludeFilters.get(); }
  void SetExcludeFilters(TDIAnsiStringVector* Value);
};
