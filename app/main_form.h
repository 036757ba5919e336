// The main window: the list of PDF files to convert, every command of the
// application in one action list, and the bars around the list (a
// stand-in of framework controls until the ribbon exists). The window
// accepts dropped files and watches the clipboard for files to paste.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "app/branding.h"
#include "app/conversion_driver.h"
#include "app/main_window_bars.h"
#include "platform/forms/forms.h"

class TAction;
class TActionList;
class TBasicAction;
class TDICustomFileFinder;
class TDIWildFileFinder;
class TImageList;
class TListedFileBatches;
struct TListedRow;
class TNxDateColumn;
class TNxGrid;
class TNxImageColumn;
class TNxTextColumn;
class TOpenDialog;
class TPopupMenu;
class TProgressForm;
class TStandInBars;

class TFormMain : public TForm, public IBrandingTarget, public IConversionFileList {
  RTL_CLASS(TFormMain, TForm)

  // A folder to search or a file to add, waiting for the running search.
  struct TPendingItem {
    AnsiString Path;
    bool IsFolder;
  };

  std::unique_ptr<IMainWindowBars> FBars;
  bool FNothingToPaste = true;
  HWND FNextClipboardViewer = nullptr;
  bool FInClipboardChain = false;
  bool FJoinedOnce = false;
  // Set by ESC (and by closing) while a search runs; ends it and drops
  // what waits.
  bool FSearchCancelled = false;
  std::deque<TPendingItem> FPending;
  // A row's folder and name, with their hash made where the row was.
  struct TListedKey {
    AnsiString Path;
    size_t Hash;
    bool operator==(const TListedKey& Other) const { return Hash == Other.Hash && Path == Other.Path; }
  };
  struct TListedKeyHash {
    size_t operator()(const TListedKey& Key) const noexcept { return Key.Hash; }
  };
  // Folder and name of every row, for the duplicate test of AddFile;
  // rebuilt from the grid whenever its size disagrees with the row count.
  std::unordered_set<TListedKey, TListedKeyHash> FListed;
  DWORD FLastPump = 0;
  unsigned FPumpCalls = 0;
  // The folder searches' reader threads, kept from one search to the next;
  // shared only so that this header needs not know the type.
  std::shared_ptr<TListedFileBatches> FBatches;

  void BuildComponents();
  TAction* NewAction(const char* Name, const char* Caption, const char* Hint, Integer ImageIndex,
                     TShortCut ShortCut, void (TFormMain::*Execute)(TObject*));
  void LoadStatePictures();
  // Runs Step; an error is reported and the caller goes on.
  void Guarded(const std::function<void()>& Step);
  void JoinDesktop();
  void LeaveClipboardChain();
  // Searches the waiting folders (and adds the waiting files) in order
  // until none is left or the search is cancelled.
  void RunPending();
  void SearchOneFolder(const AnsiString& Folder);
  // Lets the application handle its pending messages during a search, at
  // most every few milliseconds (at once the first time).
  void PumpDuringSearch();
  void AddNames(const std::vector<AnsiString>& Names, bool FoldersFirst);
  TListedKey ListedKey(Integer Row);
  // Adds a row for each listed file not yet in the list, in order.
  void AddListedRows(std::vector<TListedRow>& Rows);
  void SyncListed();
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

 protected:
  // The bars the window uses; the stand-in of framework controls here.
  // Made when the window is created, before its creation handler runs.
  virtual std::unique_ptr<IMainWindowBars> CreateBars();
  void DoCreate() override;
  // The stand-in's buttons for the commands.
  void AddStripCommands(TStandInBars& Bars);
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;

 public:
  explicit TFormMain(TComponent* AOwner);
  ~TFormMain() override;

  // ---- Components -----------------------------------------------------------
  TNxGrid* FileGrid = nullptr;
  TNxImageColumn* NxImageColumnImage = nullptr;
  TNxTextColumn* NxTextColumnFileName = nullptr;
  TNxTextColumn* NxTextColumnPath = nullptr;
  TNxTextColumn* NxTextColumnSize = nullptr;
  TNxDateColumn* NxTextColumnDate2 = nullptr;
  TNxDateColumn* NxTextColumnDate = nullptr;
  TImageList* cxImageList = nullptr;
  TActionList* alActions = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TPopupMenu* dxBarPopupMenu = nullptr;
  TDIWildFileFinder* DIWildFileFinder = nullptr;

  TAction* acAddFiles = nullptr;
  TAction* acAddFolder = nullptr;
  TAction* actPaste = nullptr;
  TAction* acRemove = nullptr;
  TAction* acRemoveAll = nullptr;
  TAction* acMoveUp = nullptr;
  TAction* acMoveDown = nullptr;
  TAction* acOpenSelectFileFolder = nullptr;
  TAction* acOpenOutputFolder = nullptr;
  TAction* acOptions = nullptr;
  TAction* actZelvoWord = nullptr;
  TAction* actZelvoExcel = nullptr;
  TAction* actZelvoHTML = nullptr;
  TAction* actZelvoImage = nullptr;
  TAction* actZelvoTIFF = nullptr;
  TAction* actRibbonForm = nullptr;
  TAction* actApplicationButton = nullptr;
  TAction* actTouchMode = nullptr;
  TAction* actVisible = nullptr;
  TAction* acQATAboveRibbon = nullptr;
  TAction* acQATBelowRibbon = nullptr;
  TAction* actRadialMenu = nullptr;
  TAction* actMiniToolbar = nullptr;
  TAction* actHelpContent = nullptr;
  TAction* actHomePage = nullptr;
  TAction* actCheckforUpdates = nullptr;
  TAction* actContactSupport = nullptr;
  TAction* actMoreFreeTools = nullptr;
  TAction* actAbout = nullptr;
  TAction* acExit = nullptr;

  // Runs the batches of the five conversion commands; made by the creation
  // handler, working once the progress window is handed over.
  TConversionDriver* Driver = nullptr;

  IMainWindowBars& Bars() const { return *FBars; }
  // The progress window, made at start-up after this window.
  void SetProgressForm(TProgressForm* Progress);

  // ---- State ------------------------------------------------------------------
  // True while a folder search runs (and until the folders and files
  // dropped or pasted meanwhile are taken up).
  bool Searching = false;
  bool NothingToPaste() const { return FNothingToPaste; }
  HWND NextClipboardViewer() const { return FNextClipboardViewer; }
  // The folders and files waiting for the running search.
  Integer PendingCount() const { return static_cast<Integer>(FPending.size()); }

  // ---- The file list ---------------------------------------------------------
  void AddFile(const AnsiString& Path);
  void AddFileList(TStrings* Strings);
  void AddFileList(const std::vector<AnsiString>& Names);
  // Searches the folder and its subfolders and adds every ".pdf" file
  // found. While a search runs the folder waits its turn after it.
  void AddFolder(const AnsiString& Folder);
  void SelectRowClamped(Integer Index);
  // Sets NothingToPaste from the clipboard.
  void TestClipboard();
  // ESC during a search.
  void CancelSearch();

  // ---- Handlers ---------------------------------------------------------------
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void acAddFilesExecute(TObject* Sender);
  void acAddFolderExecute(TObject* Sender);
  void actPasteExecute(TObject* Sender);
  void acRemoveExecute(TObject* Sender);
  void acRemoveAllExecute(TObject* Sender);
  void acMoveUpExecute(TObject* Sender);
  void acMoveDownExecute(TObject* Sender);
  void acOpenSelectFileFolderExecute(TObject* Sender);
  void acOpenOutputFolderExecute(TObject* Sender);
  void acOptionsExecute(TObject* Sender);
  void actZelvoWordExecute(TObject* Sender);
  void actZelvoExcelExecute(TObject* Sender);
  void actZelvoHTMLExecute(TObject* Sender);
  void actZelvoImageExecute(TObject* Sender);
  void actZelvoTIFFExecute(TObject* Sender);
  void actRibbonFormExecute(TObject* Sender);
  void actApplicationButtonExecute(TObject* Sender);
  void actTouchModeExecute(TObject* Sender);
  void actVisibleExecute(TObject* Sender);
  void acQATAboveRibbonUpdate(TObject* Sender);
  void acQATBelowRibbonExecute(TObject* Sender);
  void actRadialMenuExecute(TObject* Sender);
  void actMiniToolbarExecute(TObject* Sender);
  void actHelpContentExecute(TObject* Sender);
  void actHomePageExecute(TObject* Sender);
  void actCheckforUpdatesExecute(TObject* Sender);
  void actContactSupportExecute(TObject* Sender);
  void actMoreFreeToolsExecute(TObject* Sender);
  void actAboutExecute(TObject* Sender);
  void acExitExecute(TObject* Sender);
  void alActionsUpdate(TBasicAction* Action, bool& Handled);
  // The enabling table and the status counts, at once.
  void UpdateCommands();
  void FileGridAfterRowMove(TObject* Sender, Integer FromPos, Integer ToPos);
  void FileGridDblClick(TObject* Sender);
  void FileGridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void DIWildFileFinderProgress(TDICustomFileFinder* Sender);

  // ---- IBrandingTarget --------------------------------------------------------
  void SetCaption(const AnsiString& Caption) override;
  void SetConversionOffered(TConversionKind Kind, bool Offered) override;

  // ---- IConversionFileList ------------------------------------------------------
  Integer RowCount() const override;
  AnsiString RowFileName(Integer Row) const override;
  AnsiString RowFolder(Integer Row) const override;
  void SetRowState(Integer Row, TRowState State) override;
  void SetRowHint(Integer Row, const AnsiString& Hint) override;
  TCustomForm* Window() const override { return const_cast<TFormMain*>(this); }
  void SetWindowEnabled(bool Enabled) override;
};

// The status texts of a search.
AnsiString SearchingStatusText(const AnsiString& Folder);
extern const char* const CompleteStatusText;
