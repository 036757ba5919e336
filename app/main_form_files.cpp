// The main window's file list: adding files by dialog, folder search, drop
// and paste, removing and moving rows, the commands on the selected row,
// the clipboard watching, the enabling of the commands and the status
// texts.
#include <algorithm>
#include <functional>

#include "app/file_list_utils.h"
#include "app/globals.h"
#include "app/listed_file_batches.h"
#include "app/main_form.h"
#include "app/util_funcs.h"
#include "grid/nx_grid.h"
#include "platform/forms/actions.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/rtl/threads.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/trace.h"
#include "platform/win/user/user.h"
#include "support/ansi_string_vectors.h"
#include "support/file_finder.h"

namespace {

enum TFileColumn { fcState = 0, fcName = 1, fcFolder = 2, fcSize = 3, fcModified = 4, fcCreated = 5 };

// How long a search may go without handling the window's messages.
constexpr DWORD kPumpInterval = 50;
// Entries walked between looks at the clock: an entry costs about a
// microsecond.
constexpr unsigned kCallsPerClockRead = 8;

// Chunks of found files that may wait for their reads.
constexpr size_t kMaxReadBacklog = 64;

// The "list" channel reports rows added and removed and the context menus.
bool TraceList() {
  static const bool On = rtl::detail::TraceOn("list");
  return On;
}

}  // namespace

const char* const CompleteStatusText = "Complete.";

AnsiString SearchingStatusText(const AnsiString& Folder) {
  return "Searching path... - Press ESC to cancel (" + Folder + ")";
}

// ---- Adding files ---------------------------------------------------------------------

// Folder and name of a row; the folder ends with the delimiter and the
// name holds none, so equal keys are equal cells.
TFormMain::TListedKey TFormMain::ListedKey(Integer Row) {
  AnsiString Path =
      WideToAnsi(FileGrid->Cell(fcFolder, Row)->AsString()) + WideToAnsi(FileGrid->Cell(fcName, Row)->AsString());
  const size_t Hash = ListedPathHash(Path);
  return {std::move(Path), Hash};
}

void TFormMain::SyncListed() {
  const Integer Rows = FileGrid->RowCount();
  if (static_cast<Integer>(FListed.size()) == Rows) return;
  FListed.clear();
  FListed.reserve(static_cast<size_t>(Rows));
  for (Integer Row = 0; Row < Rows; ++Row) FListed.insert(ListedKey(Row));
}

void TFormMain::AddFile(const AnsiString& Path) {
  std::vector<TListedRow> Rows(1);
  Rows[0].Path = Path;
  PrepareListedRow(Rows[0], nullptr);
  AddListedRows(Rows);
}

void TFormMain::AddListedRows(std::vector<TListedRow>& Rows) {
  // Rows are the same file when folder and name are equal, case and all.
  SyncListed();
  Integer Count = 0;
  for (TListedRow& R : Rows) {
    if (!R.Listed) continue;
    if (!FListed.insert({std::move(R.Path), R.Hash}).second) {
      R.Listed = false;
      continue;
    }
    ++Count;
  }
  if (Count == 0) return;
  Integer Row = FileGrid->RowCount();
  FileGrid->AddRow(Count);
  for (TListedRow& R : Rows) {
    if (!R.Listed) continue;
    FileGrid->Cell(fcState, Row)->SetAsInteger(0);
    if (TraceList()) rtl::detail::Trace("list", "added %d %s", Row, WideToAnsi(R.Folder + R.Name).c_str());
    FileGrid->Cell(fcName, Row)->MoveAsString(std::move(R.Name));
    FileGrid->Cell(fcFolder, Row)->MoveAsString(std::move(R.Folder));
    FileGrid->Cell(fcSize, Row)->MoveAsString(std::move(R.SizeText));
    FileGrid->Cell(fcModified, Row)->SetAsDateTime(R.File.LastWrite);
    FileGrid->Cell(fcCreated, Row)->SetAsDateTime(R.File.Creation);
    ++Row;
  }
}

void TFormMain::AddFileList(TStrings* Strings) {
  for (Integer i = 0; i < Strings->Count(); ++i) AddFile(Strings->Get(i));
}

void TFormMain::AddFileList(const std::vector<AnsiString>& Names) {
  for (const AnsiString& Name : Names) AddFile(Name);
}

void TFormMain::AddFolder(const AnsiString& Folder) {
  FPending.push_back({Folder, true});
  // A running search takes the folder up when it is done: searching it
  // now would end the running walk and lose what it has still to find.
  if (!Searching) RunPending();
}

void TFormMain::RunPending() {
  Searching = true;
  FSearchCancelled = false;
  FLastPump = 0;
  TScopeExit Done([this] {
    FPending.clear();
    FBars->SetPanelText(0, CompleteStatusText);
    Searching = false;
    UpdateCommands();
  });
  while (!FPending.empty()) {
    const TPendingItem Item = FPending.front();
    FPending.pop_front();
    // ESC ends the searching; files dropped or pasted meanwhile still come.
    if (Item.IsFolder) {
      if (!FSearchCancelled) SearchOneFolder(Item.Path);
    } else {
      AddFile(Item.Path);
    }
  }
}

void TFormMain::SearchOneFolder(const AnsiString& Folder) {
  TDIWildFileFinder* F = DIWildFileFinder;
  F->SetSearchFolder(Folder);
  F->SetFileFilter(true);
  F->SetFolderFilter(false);
  F->SetRecurse(true);
  F->SetArchiveFilter(afIgnore);
  F->SetCompressedFilter(afIgnore);
  F->SetHiddenFilter(afIgnore);
  F->SetReadOnlyFilter(afIgnore);
  F->SetSystemFilter(afIgnore);
  F->SetWildChar('*');
  F->SetMaskChar('?');
  F->IncludeFilters()->SetCount(1);
  F->IncludeFilters()->SetString(0, "*.pdf");
  FBars->SetPanelText(0, SearchingStatusText(Folder));
  UpdateCommands();
  // The walk ends with its top folder; a cancelled one is closed here so
  // that no listing stays open. The list shows its new rows each time the
  // messages are handled, not row by row.
  FileGrid->BeginUpdate();
  TScopeExit Close([this, F] {
    F->CloseSearch();
    FileGrid->EndUpdate();
  });
  // The found files are read by the batch on other threads while the walk
  // goes on; their rows are added here, in the order found. A search that
  // ends in an error may leave files the readers still hold: its readers
  // go with them.
  if (!FBatches) FBatches = std::make_shared<TListedFileBatches>();
  FBatches->Begin();
  TListedFileBatches& Batches = *FBatches;
  bool AllTaken = false;
  TScopeExit DropUnfinished([this, &AllTaken] {
    if (!AllTaken) FBatches.reset();
  });
  std::vector<std::unique_ptr<TListedChunk>> Read;
  auto AddRead = [this, &Read] {
    for (const auto& Chunk : Read) AddListedRows(Chunk->Rows);
  };
  while (!FSearchCancelled && F->NextMatch()) {
    // Found files wait for slow reads only so many at a time.
    if (Batches.Add(F->FoundPath()) && Batches.Take(Read, Batches.Backlog() > kMaxReadBacklog)) AddRead();
    // A folder of nothing but PDF files must still answer ESC and paint.
    PumpDuringSearch();
  }
  // What was found before an ESC is still added.
  while (Batches.Take(Read, true)) AddRead();
  AllTaken = true;
}

void TFormMain::PumpDuringSearch() {
  // Called for every entry the walk passes: the clock is read only every
  // few calls.
  if (FLastPump != 0 && ++FPumpCalls % kCallsPerClockRead != 0) return;
  const DWORD Now = GetTickCount();
  if (FLastPump != 0 && Now - FLastPump < kPumpInterval) return;
  FLastPump = Now == 0 ? 1 : Now;
  const bool Batching = FileGrid->IsUpdating();
  if (Batching) FileGrid->EndUpdate();
  TScopeExit Again([this, Batching] {
    if (Batching) FileGrid->BeginUpdate();
  });
  Application->ProcessMessages();
}

void TFormMain::DIWildFileFinderProgress(TDICustomFileFinder* Sender) {
  PumpDuringSearch();
  if (FSearchCancelled) Sender->SetStopRequested(true);
}

void TFormMain::CancelSearch() {
  if (!Searching) return;
  FSearchCancelled = true;
  DIWildFileFinder->SetStopRequested(true);
}

void TFormMain::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_ESCAPE && Searching) {
    CancelSearch();
    Key = 0;
  }
}

// Folders are searched and files added in the given order; with
// FoldersFirst the files follow every folder. While a search runs they all
// wait their turn after it, in that order.
void TFormMain::AddNames(const std::vector<AnsiString>& Names, bool FoldersFirst) {
  std::vector<TPendingItem> Items;
  for (const AnsiString& Name : Names) {
    const bool Folder = DirectoryExists(Name);
    if (!Folder && FoldersFirst && !IsPdfExtension(ExtractFileExt(Name))) continue;
    Items.push_back({Name, Folder});
  }
  if (FoldersFirst)
    std::stable_partition(Items.begin(), Items.end(), [](const TPendingItem& I) { return I.IsFolder; });
  FPending.insert(FPending.end(), Items.begin(), Items.end());
  if (Searching) return;
  if (std::any_of(Items.begin(), Items.end(), [](const TPendingItem& I) { return I.IsFolder; })) {
    RunPending();
    return;
  }
  // Files alone are no search.
  FPending.clear();
  for (const TPendingItem& I : Items) AddFile(I.Path);
}

void TFormMain::acAddFilesExecute(TObject*) {
  OpenDialog->SetInitialDir(GlobalVars.LastOpenDir);
  if (!OpenDialog->Execute()) return;
  TStrings* Files = OpenDialog->Files();
  BeginBusy();
  {
    TScopeExit Busy([] { EndBusy(); });
    AddFileList(Files);
  }
  if (Files->Count() > 1) OpenDialog->SetFileName("");
  if (Files->Count() > 0) GlobalVars.LastOpenDir = ExtractFilePath(Files->Get(0));
}

void TFormMain::acAddFolderExecute(TObject*) {
  AnsiString Folder = GlobalVars.AddFolderPath;
  if (!BrowseForFolder(Handle(), Folder, "Select the folder you want to add to the Convert List: ", 65, ""))
    return;
  AddFolder(Folder);
  GlobalVars.AddFolderPath = Folder;
}

void TFormMain::actPasteExecute(TObject*) {
  // The names are copied out and the clipboard closed before any search:
  // other programs keep the clipboard meanwhile.
  AddNames(ClipboardFileNames(Handle()), false);
}

// ---- Removing and moving -------------------------------------------------------------

namespace {

bool ConfirmRemove() {
  if (!GlobalVars.PromptRemove) return true;
  return Application->MessageBox("Are you sure?", Application->Title(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

void TFormMain::acRemoveExecute(TObject*) {
  if (FileGrid->SelectedRow() < 0) return;
  if (!ConfirmRemove()) return;
  // The answer may have taken a while: the row is read again.
  const Integer Row = FileGrid->SelectedRow();
  if (Row < 0 || Row >= FileGrid->RowCount()) return;
  SyncListed();
  FListed.erase(ListedKey(Row));
  if (TraceList())
    rtl::detail::Trace("list", "removed %d %s", Row,
                       WideToAnsi(FileGrid->Cell(fcFolder, Row)->AsString() + FileGrid->Cell(fcName, Row)->AsString()).c_str());
  FileGrid->DeleteRow(Row);
  SelectRowClamped(FileGrid->SelectedRow());
}

void TFormMain::acRemoveAllExecute(TObject*) {
  if (!ConfirmRemove()) return;
  FileGrid->ClearRows();
  FListed.clear();
  if (TraceList()) rtl::detail::Trace("list", "removed all");
}

void TFormMain::SelectRowClamped(Integer Index) {
  const Integer Row = std::min(Index, FileGrid->RowCount() - 1);
  if (Row < 0) return;
  FileGrid->SetSelectedRow(Row);
}

void TFormMain::acMoveUpExecute(TObject*) {
  const Integer Row = FileGrid->SelectedRow();
  if (Row < 1) return;
  FileGrid->MoveRow(Row, Row - 1);
  FileGrid->SetSelectedRow(Row - 1);
}

void TFormMain::acMoveDownExecute(TObject*) {
  const Integer Row = FileGrid->SelectedRow();
  if (Row < 0 || Row + 1 >= FileGrid->RowCount()) return;
  FileGrid->MoveRow(Row, Row + 1);
  FileGrid->SetSelectedRow(Row + 1);
}

void TFormMain::FileGridAfterRowMove(TObject*, Integer, Integer) { FileGrid->Repaint(); }

// ---- Commands on the selected row ----------------------------------------------------

void TFormMain::acOpenSelectFileFolderExecute(TObject*) {
  const Integer Row = FileGrid->SelectedRow();
  if (Row < 0) return;
  const AnsiString Path =
      WithTrailingBackslash(WideToAnsi(FileGrid->Cell(fcFolder, Row)->AsString())) +
      WideToAnsi(FileGrid->Cell(fcName, Row)->AsString());
  BeginBusy();
  TScopeExit Busy([] { EndBusy(); });
  ShellExecuteA(Handle(), nullptr, "explorer.exe", ("/e, /select," + Path).c_str(), nullptr, SW_SHOWNORMAL);
}

void TFormMain::acOpenOutputFolderExecute(TObject*) {
  const Integer Row = FileGrid->SelectedRow();
  if (Row < 0) return;
  const AnsiString Folder = GlobalVars.OutputSameAsInput
                                ? WithTrailingBackslash(WideToAnsi(FileGrid->Cell(fcFolder, Row)->AsString()))
                                : GlobalVars.OutputFolder;
  BeginBusy();
  TScopeExit Busy([] { EndBusy(); });
  ShellOpen(Folder);
}

void TFormMain::FileGridDblClick(TObject*) {
  // The commands are off while a search runs; so is the double click.
  if (Searching) return;
  if (FileGrid->RowCount() == 0)
    acAddFilesExecute(FileGrid);
  else
    acOpenSelectFileFolderExecute(FileGrid);
}

void TFormMain::FileGridMouseDown(TObject*, TMouseButton Button, TShiftState, Integer, Integer) {
  if (Button != mbRight) return;
  if (TraceList()) rtl::detail::Trace("list", "context menu %s", FBars->RadialMenuDown() ? "radial" : "popup");
  if (FBars->RadialMenuDown())
    FBars->PopupRadialMenuAtCursor();
  else
    FBars->PopupMenuAtCursor();
}

// ---- Enabling and status ---------------------------------------------------------------

void TFormMain::alActionsUpdate(TBasicAction*, bool&) { UpdateCommands(); }

void TFormMain::UpdateCommands() {
  const bool S = Searching;
  const Integer R = FileGrid->RowCount();
  const Integer L = FileGrid->SelectedRow();
  acAddFiles->SetEnabled(!S);
  acAddFolder->SetEnabled(!S);
  acOptions->SetEnabled(!S);
  actPaste->SetEnabled(!FNothingToPaste && !S);
  acRemove->SetEnabled(L >= 0 && !S);
  acOpenSelectFileFolder->SetEnabled(L >= 0 && !S);
  acOpenOutputFolder->SetEnabled(L >= 0 && !S);
  acRemoveAll->SetEnabled(R > 0 && !S);
  acMoveUp->SetEnabled(L >= 1 && !S);
  acMoveDown->SetEnabled(L >= 0 && L < R - 1 && !S);
  // Not while a batch runs, nor while a cancelled converter is still ending.
  const bool Convert = R > 0 && !S && Driver && Driver->CanStartConversion();
  for (TAction* A : {actZelvoWord, actZelvoExcel, actZelvoHTML, actZelvoImage, actZelvoTIFF}) A->SetEnabled(Convert);
  FBars->SetPanelText(1, IntToStr(R) + " items, " + IntToStr(FileGrid->SelectedCount()) +
                             " items currently selected");
}

// ---- The desktop: drops and the clipboard ---------------------------------------------

void TFormMain::TestClipboard() { FNothingToPaste = ::NothingToPaste(Handle()); }

void TFormMain::JoinDesktop() {
  FJoinedOnce = true;
  DragAcceptFiles(Handle(), TRUE);
  if (!FInClipboardChain) {
    FNextClipboardViewer = SetClipboardViewer(Handle());
    FInClipboardChain = true;
  }
  TestClipboard();
}

void TFormMain::LeaveClipboardChain() {
  if (!FInClipboardChain) return;
  FInClipboardChain = false;
  ChangeClipboardChain(Handle(), FNextClipboardViewer);
  FNextClipboardViewer = nullptr;
}

void TFormMain::CreateWnd() {
  TForm::CreateWnd();
  // A window made anew after the first joins again what the first had
  // joined.
  if (FJoinedOnce) {
    DragAcceptFiles(Handle(), TRUE);
    FNextClipboardViewer = SetClipboardViewer(Handle());
    FInClipboardChain = true;
  }
}

void TFormMain::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DROPFILES: {
      auto Drop = reinterpret_cast<HDROP>(Message.WParam);
      BeginBusy();
      TScopeExit Done([Drop] {
        DragFinish(Drop);
        EndBusy();
      });
      AddNames(DroppedFileNames(Drop), true);
      Message.Result = 0;
      return;
    }
    case WM_DRAWCLIPBOARD:
      if (FNextClipboardViewer) SendMessageA(FNextClipboardViewer, Message.Msg, Message.WParam, Message.LParam);
      TestClipboard();
      Message.Result = 0;
      return;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(Message.WParam) == FNextClipboardViewer)
        FNextClipboardViewer = reinterpret_cast<HWND>(Message.LParam);
      else if (FNextClipboardViewer)
        SendMessageA(FNextClipboardViewer, Message.Msg, Message.WParam, Message.LParam);
      Message.Result = 0;
      return;
    case WM_DESTROY:
      LeaveClipboardChain();
      break;
  }
  TForm::Dispatch(Message);
}

// ---- The list as the conversion driver sees it -------------------------------------

Integer TFormMain::RowCount() const { return FileGrid->RowCount(); }

AnsiString TFormMain::RowFileName(Integer Row) const { return WideToAnsi(FileGrid->Cell(fcName, Row)->AsString()); }

AnsiString TFormMain::RowFolder(Integer Row) const { return WideToAnsi(FileGrid->Cell(fcFolder, Row)->AsString()); }

void TFormMain::SetRowState(Integer Row, TRowState State) {
  if (Row < 0 || Row >= FileGrid->RowCount()) return;
  FileGrid->Cell(fcState, Row)->SetAsInteger(State);
  if (TraceList()) rtl::detail::Trace("list", "state %d %d", Row, static_cast<int>(State));
}

void TFormMain::SetRowHint(Integer Row, const AnsiString& Hint) {
  if (Row < 0 || Row >= FileGrid->RowCount()) return;
  // On every cell, so that the pointer finds it anywhere on the slide.
  const WideString Text = AnsiToWide(Hint);
  for (Integer Col = 0; Col < FileGrid->Columns()->Count(); ++Col) FileGrid->Cell(Col, Row)->SetHint(Text);
}

void TFormMain::SetWindowEnabled(bool Enabled) {
  SetEnabled(Enabled);
  // The commands follow at once, not at the next idle turn.
  UpdateCommands();
}
