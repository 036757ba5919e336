// The main window's file list over temporary folders, with the clipboard
// and the drops injected as the desktop would send them: adding by dialog,
// folder, drop and paste, removing and moving, the enabling of the
// commands, the status texts, the creation and the closing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "app/branding.h"
#include "app/file_list_utils.h"
#include "app/globals.h"
#include "app/main_form.h"
#include "app/options_form.h"
#include "app/main_window_standins.h"
#include "app/progress_form.h"
#include "app_fixture.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_grid.h"
#include "platform/forms/image_list.h"
#include "platform/forms/actions.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/menus.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/text_codec.h"
#include "platform/testing/user_testing.h"
#include "platform/win/comdlg/commdlg.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/shell/shlobj.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_clipdata.h"
#include "support/file_finder.h"
#include "tests/common/picture_png.h"
#include "tests/common/pictures.h"

namespace {

namespace fs = std::filesystem;

// The stand-in bars, with the context menus recorded instead of shown.
class TRecordingBars : public TStandInBars {
 public:
  using TStandInBars::TStandInBars;
  std::vector<AnsiString> Popups;
  void PopupRadialMenuAtCursor() override { Popups.push_back("radial"); }
  void PopupMenuAtCursor() override { Popups.push_back("popup"); }
};

class TTestFormMain : public TFormMain {
 public:
  using TFormMain::TFormMain;
  TRecordingBars* Recorder = nullptr;

 protected:
  std::unique_ptr<IMainWindowBars> CreateBars() override {
    auto Bars = std::make_unique<TRecordingBars>(this, dxBarPopupMenu);
    Recorder = Bars.get();
    AddStripCommands(*Bars);
    return Bars;
  }
};

const char* const kTitle = "List Test";

class MainWindow : public AppFolders {
 protected:
  TTestFormMain* Form = nullptr;
  TProgressForm* Progress = nullptr;
  std::vector<AnsiString> Errors;
  AnsiString Files;  // a folder for the files of a test, with a delimiter

  void SetUp() override {
    AppFolders::SetUp();
    GlobalVars = TGlobalVars();
    Files = Root + "files/";
    fs::create_directories(Files.c_str());
    rtl::testing::SetExternalClipboard({});
    Application->SetTitle(kTitle);
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
    WriteBrandingFile(BrandingFilePath(), Branding());
    BeforeCreate();
    Form = TCustomForm::Create<TTestFormMain>(nullptr);
    // As the program does: the progress window after the main window.
    Progress = TCustomForm::Create<TProgressForm>(nullptr);
    Form->SetProgressForm(Progress);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    if (Form) Form->Free();
    if (Progress) Progress->Free();
    Pump();
    rtl::detail::SetOpenFileHook(nullptr);
    SetMessageBoxHandler(nullptr);
    rtl::testing::SetExternalClipboard({});
    Application->OnException = {};
    DeleteFile(BrandingFilePath());
    Screen->SetCursor(crDefault);
    AppFolders::TearDown();
  }
  virtual AnsiString Branding() { return AnsiString("[SYSTEM]\nName=") + kTitle + "\n"; }
  virtual void BeforeCreate() {}
  static void Pump() { Application->ProcessMessages(); }

  AnsiString MakeFile(const AnsiString& Path, size_t Bytes = 0) {
    fs::create_directories(fs::path(Path.c_str()).parent_path());
    WriteWholeFile(Path, AnsiString(Bytes, 'x'));
    return Path;
  }
  // Folder/name of every row, in order.
  std::vector<AnsiString> Rows() {
    std::vector<AnsiString> r;
    for (Integer i = 0; i < Form->FileGrid->RowCount(); ++i)
      r.push_back(WideToAnsi(Form->FileGrid->Cell(2, i)->AsString() + Form->FileGrid->Cell(1, i)->AsString()));
    return r;
  }
  // A tree of PDF files: Folders folders of PerFolder files each, in name
  // order; answers the paths in the order the search finds them.
  std::vector<AnsiString> MakeTree(const AnsiString& Top, int Folders, int PerFolder) {
    std::vector<AnsiString> r;
    char name[64];
    for (int f = 0; f < Folders; ++f)
      for (int i = 0; i < PerFolder; ++i) {
        std::snprintf(name, sizeof name, "d%03d/f%04d.pdf", f, i);
        r.push_back(MakeFile(Top + name));
      }
    return r;
  }
  void Drop(const std::vector<AnsiString>& Names) {
    rtl::testing::InjectFileDrop(Form->FileGrid->ClientToScreen(TPoint(50, 50)), Names);
  }
  void Select(std::initializer_list<Integer> RowsToSelect, Integer Selected) {
    for (Integer R : RowsToSelect) Form->FileGrid->SetSelected(R, true);
    Form->FileGrid->SetSelectedRow(Selected);
    for (Integer R : RowsToSelect) Form->FileGrid->SetSelected(R, true);
  }
};

// ---- Adding files ---------------------------------------------------------------------

TEST_F(MainWindow, AddFileTakesExistingPdfFilesOnceWithTheirSizeText) {
  const AnsiString a = MakeFile(Files + "a.pdf", 1536);
  const AnsiString upper = MakeFile(Files + "A.PDF", 0);
  const AnsiString text = MakeFile(Files + "notes.txt", 10);
  Form->AddFile(a);
  Form->AddFile(a);                       // the same file again
  Form->AddFile(upper);                   // another name by case: another row
  Form->AddFile(text);                    // not a PDF
  Form->AddFile(Files + "missing.pdf");   // not there
  Form->AddFile(Files);                   // a folder
  ASSERT_EQ(Rows(), (std::vector<AnsiString>{a, upper}));
  TNxGrid* G = Form->FileGrid;
  EXPECT_EQ(G->Cell(0, 0)->AsInteger(), 0);
  EXPECT_EQ(G->Cell(1, 0)->AsString(), u"a.pdf");
  EXPECT_EQ(G->Cell(2, 0)->AsString(), AnsiToWide(Files));
  EXPECT_EQ(G->Cell(3, 0)->AsString(), u"1.50 KB");
  EXPECT_EQ(G->Cell(3, 1)->AsString(), u"0.00 KB");
  EXPECT_NEAR(G->Cell(4, 0)->AsDateTime(), FileTimeOf(a, ftLastWrite), 1e-9);
  EXPECT_NEAR(G->Cell(5, 0)->AsDateTime(), FileTimeOf(a, ftCreation), 1e-9);

  // Removing a row lets the file come back.
  Form->FileGrid->SetSelectedRow(0);
  Form->acRemoveExecute(nullptr);
  Form->AddFile(a);
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{upper, a}));
}

TEST_F(MainWindow, OpenDialogFilesComeInItsOrderAndItsFolderIsRemembered) {
  const AnsiString b = MakeFile(Files + "sub/b.pdf"), a = MakeFile(Files + "a.pdf"), c = MakeFile(Files + "c.pdf");
  GlobalVars.LastOpenDir = Root;
  std::vector<rtl::detail::TOpenFileRequest> Requests;
  rtl::detail::SetOpenFileHook([&](const rtl::detail::TOpenFileRequest& R) {
    Requests.push_back(R);
    rtl::detail::TOpenFileAnswer A;
    A.Cancel = false;
    A.Files = {b, a, c};
    return A;
  });
  Form->acAddFilesExecute(nullptr);
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{b, a, c}));
  EXPECT_EQ(GlobalVars.LastOpenDir, Files + "sub/");
  Form->acAddFilesExecute(nullptr);
  ASSERT_EQ(Requests.size(), 2u);
  EXPECT_EQ(WithTrailingBackslash(Requests[0].InitialDir), Root);
  EXPECT_EQ(Requests[1].FileName, "") << "the name box is empty after several files";
  EXPECT_EQ(WithTrailingBackslash(Requests[1].InitialDir), Files + "sub/");
  EXPECT_NE(Requests[0].Flags & OFN_ALLOWMULTISELECT, 0u);
  ASSERT_EQ(Requests[0].Filters.size(), 2u);
  EXPECT_EQ(Requests[0].Filters[0].second, "*.pdf");
  EXPECT_EQ(Rows().size(), 3u) << "the same files again add nothing";
}

TEST_F(MainWindow, TheKeysGoBackToTheListAfterTheOpenDialog) {
  ASSERT_EQ(GetFocus(), Form->FileGrid->Handle());
  rtl::detail::SetCommonDialogShownHook([](HWND Dialog) { PostMessageA(Dialog, WM_COMMAND, IDCANCEL, 0); });
  Form->acAddFilesExecute(nullptr);
  rtl::detail::SetCommonDialogShownHook(nullptr);
  Pump();
  EXPECT_EQ(GetFocus(), Form->FileGrid->Handle());
}

TEST_F(MainWindow, ADropAddsTheFoldersFilesFirstThenTheDroppedFiles) {
  const AnsiString one = MakeFile(Files + "one.pdf"), two = MakeFile(Files + "two.pdf");
  const std::vector<AnsiString> found = MakeTree(Root + "tree/", 2, 3);
  MakeFile(Root + "tree/d000/skip.txt");
  Drop({one, Root + "tree", Files + "notes.txt", two});
  Pump();
  std::vector<AnsiString> want = found;
  want.push_back(one);
  want.push_back(two);
  EXPECT_EQ(Rows(), want);
  EXPECT_EQ(Form->Bars().PanelText(0), "Complete.");
  EXPECT_FALSE(Form->Searching);
}

TEST_F(MainWindow, DroppedAndPastedNamesLongerThanTheOldLimitsAreAdded) {
  AnsiString deep = Files;
  while (deep.size() < 300) deep += "a-rather-long-folder-name/";
  const AnsiString file = MakeFile(deep + "file.pdf");
  ASSERT_GT(file.size(), 300u);
  Drop({file});
  Pump();
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{file}));
  Form->acRemoveAllExecute(nullptr);
  rtl::testing::SetExternalClipboard(rtl::detail::FileListFormats({file}, false));
  Pump();
  Form->actPasteExecute(nullptr);
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{file}));
}

// ---- Searches -----------------------------------------------------------------------------

TEST_F(MainWindow, EscapeDuringTheSearchOfALargeTreeStopsIt) {
  const std::vector<AnsiString> all = MakeTree(Root + "big/", 40, 50);
  // The key waits in the queue; the search handles it with its first
  // messages.
  Form->FileGrid->SetFocus();
  Pump();
  rtl::testing::InjectKeyPress(VK_ESCAPE);
  Form->AddFolder(Root + "big");
  EXPECT_LT(Rows().size(), all.size());
  EXPECT_EQ(Form->Bars().PanelText(0), "Complete.");
  EXPECT_FALSE(Form->Searching);
  EXPECT_TRUE(Form->acAddFolder->Enabled());
  // What was found before stays, in order.
  const std::vector<AnsiString> rows = Rows();
  EXPECT_TRUE(std::equal(rows.begin(), rows.end(), all.begin()));
  // The next search goes to the end.
  Form->AddFolder(Root + "big");
  EXPECT_EQ(Rows(), all);
}

TEST_F(MainWindow, AFolderDroppedDuringASearchIsSearchedAfterIt) {
  const std::vector<AnsiString> first = MakeTree(Root + "first/", 5, 20);
  const std::vector<AnsiString> second = MakeTree(Root + "second/", 2, 5);
  const AnsiString loose = MakeFile(Files + "loose.pdf");
  // Seen from inside the search: whether the search still counted as
  // running while the dropped folder waited.
  bool SawQueue = false, SearchingThroughout = true;
  const TDIFileFinderProgress Inner = Form->DIWildFileFinder->OnProgress;
  Form->DIWildFileFinder->OnProgress = [&](TDICustomFileFinder* Sender) {
    Inner(Sender);
    SawQueue = SawQueue || Form->PendingCount() > 0;
    SearchingThroughout = SearchingThroughout && Form->Searching && !Form->acAddFiles->Enabled();
  };
  Drop({Root + "second", loose});
  Form->AddFolder(Root + "first");
  std::vector<AnsiString> want = first;
  want.insert(want.end(), second.begin(), second.end());
  want.push_back(loose);
  EXPECT_EQ(Rows(), want) << "nothing found or still to find is lost";
  EXPECT_TRUE(SawQueue);
  EXPECT_TRUE(SearchingThroughout);
  EXPECT_FALSE(Form->Searching);
  EXPECT_EQ(Form->PendingCount(), 0);
}

TEST_F(MainWindow, FilesRemovedAfterASearchComeBackOnceWithTheNextSearch) {
  // The search's rows are keyed where they were read; removal keys them
  // from the cells. Both must meet, also after rows moved.
  const std::vector<AnsiString> tree = MakeTree(Root + "tree/", 4, 30);
  Form->AddFolder(Root + "tree");
  ASSERT_EQ(Rows(), tree);
  Form->FileGrid->SetSelectedRow(5);
  Form->acMoveUpExecute(nullptr);  // tree[5] is now row 4
  Form->FileGrid->SetSelectedRow(4);
  Form->acRemoveExecute(nullptr);
  Form->FileGrid->SetSelectedRow(100);
  Form->acRemoveExecute(nullptr);
  Form->FileGrid->SetSelectedRow(0);
  Form->acRemoveExecute(nullptr);
  std::vector<AnsiString> want = tree;
  want.erase(want.begin() + 101);
  want.erase(want.begin() + 5);
  want.erase(want.begin());
  ASSERT_EQ(Rows(), want);
  Form->AddFolder(Root + "tree");
  want.insert(want.end(), {tree[0], tree[5], tree[101]});
  EXPECT_EQ(Rows(), want);
  // And by name the same files are already there.
  Form->AddFile(tree[5]);
  Form->AddFileList(std::vector<AnsiString>{tree[0], tree[119]});
  EXPECT_EQ(Rows(), want);
}

TEST_F(MainWindow, TheStatusNamesTheFolderSearchedAsItIs) {
  const AnsiString Folder = Root + "Tom & Jerry";
  MakeTree(Folder + "/", 1, 3);
  std::vector<AnsiString> Seen;
  const TDIFileFinderProgress Inner = Form->DIWildFileFinder->OnProgress;
  Form->DIWildFileFinder->OnProgress = [&](TDICustomFileFinder* Sender) {
    Seen.push_back(Form->Bars().PanelText(0) + "|" + Form->Recorder->StatusPanel(0)->Caption());
    Inner(Sender);
  };
  Form->AddFolder(Folder);
  ASSERT_FALSE(Seen.empty());
  EXPECT_EQ(Seen.front(), "Searching path... - Press ESC to cancel (" + Folder + ")|" +
                              "Searching path... - Press ESC to cancel (" + Root + "Tom && Jerry)");
  EXPECT_EQ(Form->Bars().PanelText(0), "Complete.");
}

TEST_F(MainWindow, PasteClosesTheClipboardBeforeItsSearchesRun) {
  const std::vector<AnsiString> tree = MakeTree(Root + "tree/", 3, 4);
  const AnsiString file = MakeFile(Files + "x.pdf");
  rtl::testing::SetExternalClipboard(rtl::detail::FileListFormats({file, Root + "tree"}, false));
  Pump();
  bool ClipboardOpenDuringSearch = false;
  const TDIFileFinderProgress Inner = Form->DIWildFileFinder->OnProgress;
  Form->DIWildFileFinder->OnProgress = [&](TDICustomFileFinder* Sender) {
    ClipboardOpenDuringSearch = ClipboardOpenDuringSearch || GetOpenClipboardWindow() != nullptr;
    Inner(Sender);
  };
  Form->actPasteExecute(nullptr);
  std::vector<AnsiString> want{file};
  want.insert(want.end(), tree.begin(), tree.end());
  EXPECT_EQ(Rows(), want) << "pasted names in their order";
  EXPECT_FALSE(ClipboardOpenDuringSearch);
}

// ---- Removing and moving ---------------------------------------------------------------

class MainWindowRows : public MainWindow {
 protected:
  std::vector<AnsiString> Made;
  void AddRows(int N) {
    for (int i = 0; i < N; ++i) {
      Made.push_back(MakeFile(Files + "r" + std::to_string(i) + ".pdf"));
      Form->AddFile(Made.back());
    }
  }
};

TEST_F(MainWindowRows, RemoveTakesOnlyTheSelectedRowAndClampsTheSelection) {
  AddRows(4);
  Select({1, 2}, 2);
  ASSERT_EQ(Form->FileGrid->SelectedCount(), 2);
  Form->acRemoveExecute(nullptr);
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{Made[0], Made[1], Made[3]}));
  // The last row removed: the selection moves to the new last row.
  Form->FileGrid->SetSelectedRow(2);
  Form->acRemoveExecute(nullptr);
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{Made[0], Made[1]}));
  EXPECT_EQ(Form->FileGrid->SelectedRow(), 1);
  Form->acRemoveAllExecute(nullptr);
  EXPECT_EQ(Form->FileGrid->RowCount(), 0);
  Form->acRemoveExecute(nullptr);  // nothing selected, nothing to do
}

TEST_F(MainWindowRows, RemovingAsksFirstWhenThePromptIsOn) {
  AddRows(2);
  GlobalVars.PromptRemove = true;
  int Answer = IDNO;
  std::vector<std::pair<AnsiString, UINT>> Asked;
  SetMessageBoxHandler([&](const AnsiString& Text, const AnsiString& Caption, Integer Type) {
    Asked.push_back({Text + "|" + Caption, static_cast<UINT>(Type)});
    return Answer;
  });
  Form->FileGrid->SetSelectedRow(0);
  Form->acRemoveExecute(nullptr);
  Form->acRemoveAllExecute(nullptr);
  EXPECT_EQ(Form->FileGrid->RowCount(), 2);
  Answer = IDYES;
  Form->acRemoveExecute(nullptr);
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{Made[1]}));
  Form->acRemoveAllExecute(nullptr);
  EXPECT_EQ(Form->FileGrid->RowCount(), 0);
  ASSERT_EQ(Asked.size(), 4u);
  EXPECT_EQ(Asked[0].first, AnsiString("Are you sure?|") + kTitle);
  EXPECT_EQ(Asked[0].second, 36u);
}

TEST_F(MainWindowRows, MovingStopsAtTheEnds) {
  AddRows(3);
  struct TCase {
    Integer Selected;
    bool Up;
    std::vector<int> Order;
    Integer SelectedAfter;
  } cases[] = {
      {0, true, {0, 1, 2}, 0},   // Move Up on the first row
      {2, false, {0, 1, 2}, 2},  // Move Down on the last row
      {1, true, {1, 0, 2}, 0},
      {1, false, {0, 2, 1}, 2},
  };
  for (const TCase& c : cases) {
    Form->acRemoveAllExecute(nullptr);
    for (const AnsiString& f : Made) Form->AddFile(f);
    Form->FileGrid->SetSelectedRow(c.Selected);
    if (c.Up)
      Form->acMoveUpExecute(nullptr);
    else
      Form->acMoveDownExecute(nullptr);
    std::vector<AnsiString> want;
    for (int i : c.Order) want.push_back(Made[i]);
    EXPECT_EQ(Rows(), want) << c.Selected << (c.Up ? " up" : " down");
    EXPECT_EQ(Form->FileGrid->SelectedRow(), c.SelectedAfter);
  }
}

// ---- Commands on the selected row and the double click --------------------------------

TEST_F(MainWindowRows, TheSelectedRowsFoldersOpenInTheDesktop) {
  std::vector<std::vector<AnsiString>> Started;
  rtl::detail::SetShellSpawnHook([&](const std::vector<AnsiString>& Argv) {
    Started.push_back(Argv);
    return 0;
  });
  int Dialogs = 0;
  rtl::detail::SetOpenFileHook([&](const rtl::detail::TOpenFileRequest&) {
    ++Dialogs;
    return rtl::detail::TOpenFileAnswer();
  });
  // No rows: a double click asks for files; nothing selected, nothing opens.
  Form->FileGridDblClick(nullptr);
  EXPECT_EQ(Dialogs, 1);
  AddRows(2);
  Form->acOpenSelectFileFolderExecute(nullptr);
  Form->acOpenOutputFolderExecute(nullptr);
  EXPECT_TRUE(Started.empty());

  Form->FileGrid->SetSelectedRow(1);
  Form->FileGridDblClick(nullptr);  // rows: the source folder, the file shown
  GlobalVars.OutputSameAsInput = true;
  Form->acOpenOutputFolderExecute(nullptr);
  GlobalVars.OutputSameAsInput = false;
  GlobalVars.OutputFolder = Root;
  Form->acOpenOutputFolderExecute(nullptr);
  rtl::detail::SetShellSpawnHook(nullptr);
  ASSERT_EQ(Started.size(), 3u);
  EXPECT_EQ(Started[0].back(), "string:");
  EXPECT_NE(std::find(Started[0].begin(), Started[0].end(), "array:string:file://" + Made[1]), Started[0].end());
  EXPECT_EQ(Started[1], (std::vector<AnsiString>{"xdg-open", Files}));
  EXPECT_EQ(Started[2], (std::vector<AnsiString>{"xdg-open", Root}));
  EXPECT_EQ(Dialogs, 1);
  EXPECT_EQ(Screen->Cursor(), crDefault) << "the busy cursor ends";
}

// The Options, About and link commands of the window reach their dialogs
// and the branding's addresses.
TEST_F(MainWindow, OptionsRenameTheImageCommandAndTheLinksOpenTheBrandingsAddresses) {
  GlobalVars.ImageFormat = "PNG";
  Application->OnIdle = [&](TObject*, bool& Done) {
    for (Integer i = 0; i < Form->ComponentCount(); ++i) {
      auto* d = dynamic_cast<TFormOptions*>(Form->Components(i));
      if (!d || !d->Visible() || d->ModalResult() != mrNone) continue;
      d->btnOK->Click();
      Done = false;
    }
  };
  Form->acOptions->Execute();
  Application->OnIdle = nullptr;
  EXPECT_EQ(Form->actZelvoImage->Caption(), "PDF to &PNG");
  EXPECT_EQ(Form->actZelvoImage->Hint(), "PDF to PNG");

  std::vector<std::vector<AnsiString>> Started;
  rtl::detail::SetShellSpawnHook([&](const std::vector<AnsiString>& Argv) {
    Started.push_back(Argv);
    return 0;
  });
  GlobalVars.HelpHomePageLink = "https://example.com/home";
  GlobalVars.HelpSupportLink = "";
  Form->actHomePage->Execute();
  Form->actContactSupport->Execute();  // no address: nothing opens
  rtl::detail::SetShellSpawnHook(nullptr);
  ASSERT_EQ(Started.size(), 1u);
  EXPECT_EQ(Started[0].back(), "https://example.com/home");
}

TEST_F(MainWindow, AddFolderSearchesTheChosenFolderAndRemembersIt) {
  const std::vector<AnsiString> tree = MakeTree(Root + "picked/", 2, 2);
  GlobalVars.AddFolderPath = Root;
  AnsiString Start, Prompt;
  UINT Flags = 0;
  rtl::detail::SetBrowseForFolderHook([&](const BROWSEINFOA& Info) -> std::optional<AnsiString> {
    Start = reinterpret_cast<const char*>(Info.lParam);
    Prompt = Info.lpszTitle;
    Flags = Info.ulFlags;
    return Root + "picked";
  });
  Form->acAddFolderExecute(nullptr);
  rtl::detail::SetBrowseForFolderHook(nullptr);
  EXPECT_EQ(Rows(), tree);
  EXPECT_EQ(Start, Root);
  EXPECT_EQ(Prompt, "Select the folder you want to add to the Convert List: ");
  EXPECT_EQ(Flags, 65u);
  EXPECT_EQ(GlobalVars.AddFolderPath, Root + "picked");
}

// ---- Enabling and status ---------------------------------------------------------------

TEST_F(MainWindowRows, CommandsFollowTheSearchTheRowsAndTheSelection) {
  // S = searching, R = rows, L = selected row; the expected enabled state
  // of: add (files, folder, options), remove/open (one row), remove all,
  // up, down, convert.
  struct TCase {
    bool S;
    int R, L;
    bool Add, One, All, Up, Down, Convert;
  } cases[] = {
      {false, 0, -1, true, false, false, false, false, false},
      {false, 3, -1, true, false, true, false, false, true},
      {false, 3, 0, true, true, true, false, true, true},
      {false, 3, 1, true, true, true, true, true, true},
      {false, 3, 2, true, true, true, true, false, true},
      {false, 1, 0, true, true, true, false, false, true},
      {true, 0, -1, false, false, false, false, false, false},
      {true, 3, 1, false, false, false, false, false, false},
  };
  for (const TCase& c : cases) {
    Form->acRemoveAllExecute(nullptr);
    Made.clear();
    AddRows(c.R);
    if (c.L >= 0) Form->FileGrid->SetSelectedRow(c.L);
    ASSERT_EQ(Form->FileGrid->SelectedRow(), c.L);
    Form->Searching = c.S;
    Form->UpdateCommands();
    Form->Searching = false;
    const std::string at = "S=" + std::to_string(c.S) + " R=" + std::to_string(c.R) + " L=" + std::to_string(c.L);
    for (TAction* A : {Form->acAddFiles, Form->acAddFolder, Form->acOptions}) EXPECT_EQ(A->Enabled(), c.Add) << at;
    for (TAction* A : {Form->acRemove, Form->acOpenSelectFileFolder, Form->acOpenOutputFolder})
      EXPECT_EQ(A->Enabled(), c.One) << at << " " << A->Name();
    EXPECT_EQ(Form->acRemoveAll->Enabled(), c.All) << at;
    EXPECT_EQ(Form->acMoveUp->Enabled(), c.Up) << at;
    EXPECT_EQ(Form->acMoveDown->Enabled(), c.Down) << at;
    for (TAction* A : {Form->actZelvoWord, Form->actZelvoExcel, Form->actZelvoHTML, Form->actZelvoImage,
                       Form->actZelvoTIFF})
      EXPECT_EQ(A->Enabled(), c.Convert) << at << " " << A->Name();
    for (TAction* A : {Form->actAbout, Form->acExit, Form->actHelpContent, Form->actRibbonForm})
      EXPECT_TRUE(A->Enabled()) << at;
  }
}

TEST_F(MainWindowRows, TheSecondPanelCountsRowsAndSelectedRows) {
  AddRows(3);
  Select({0, 2}, 2);
  Form->UpdateCommands();
  EXPECT_EQ(Form->Bars().PanelText(1), "3 items, 2 items currently selected");
  // The framework's idle update does the same.
  Form->acRemoveAllExecute(nullptr);
  Form->alActions->Actions(0)->Update();
  EXPECT_EQ(Form->Bars().PanelText(1), "0 items, 0 items currently selected");
}

TEST_F(MainWindow, PasteIsEnabledOnlyForAFolderOrAPdfAfterTheChangeNotification) {
  MakeFile(Files + "notes.txt");
  rtl::testing::SetExternalClipboard(rtl::detail::FileListFormats({Files + "notes.txt"}, false));
  Pump();
  Form->UpdateCommands();
  EXPECT_TRUE(Form->NothingToPaste());
  EXPECT_FALSE(Form->actPaste->Enabled());
  rtl::testing::SetExternalClipboard(rtl::detail::FileListFormats({Files}, false));
  Pump();  // the chain's notification
  Form->UpdateCommands();
  EXPECT_FALSE(Form->NothingToPaste());
  EXPECT_TRUE(Form->actPaste->Enabled());
}

TEST_F(MainWindow, TheClipboardChainPassesNotificationsOnAndHealsWhenAViewerLeaves) {
  // Two viewers join after the window: the chain runs last, middle, window.
  std::vector<UINT> Seen;
  struct TViewer {
    HWND Wnd;
    HWND Next;
  };
  static std::vector<UINT>* Log;
  Log = &Seen;
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_DRAWCLIPBOARD || m == WM_CHANGECBCHAIN) Log->push_back(m);
    return DefWindowProcA(h, m, w, l);
  };
  wc.lpszClassName = "ChainViewerTest";
  RegisterClassA(&wc);
  HWND Middle = CreateWindowExA(0, "ChainViewerTest", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const HWND AfterMiddle = SetClipboardViewer(Middle);
  EXPECT_EQ(AfterMiddle, Form->Handle());
  // The window is told when a viewer after it leaves: here it is the
  // window's own next viewer that it names, from the chain's start.
  const HWND Extra = CreateWindowExA(0, "ChainViewerTest", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  TMessage M;
  M.Msg = WM_CHANGECBCHAIN;
  M.WParam = reinterpret_cast<WPARAM>(Form->NextClipboardViewer());
  M.LParam = reinterpret_cast<LPARAM>(Extra);
  SendMessageA(Form->Handle(), M.Msg, M.WParam, M.LParam);
  EXPECT_EQ(Form->NextClipboardViewer(), Extra);
  // A notification reaching the window goes on to its next viewer.
  Seen.clear();
  M.Msg = WM_DRAWCLIPBOARD;
  M.WParam = M.LParam = 0;
  SendMessageA(Form->Handle(), M.Msg, M.WParam, M.LParam);
  EXPECT_EQ(Seen, std::vector<UINT>{WM_DRAWCLIPBOARD});
  // A leaving window that is not the next one: the message goes on.
  Seen.clear();
  M.Msg = WM_CHANGECBCHAIN;
  M.WParam = reinterpret_cast<WPARAM>(Middle);
  M.LParam = 0;
  SendMessageA(Form->Handle(), M.Msg, M.WParam, M.LParam);
  EXPECT_EQ(Seen, std::vector<UINT>{WM_CHANGECBCHAIN});
  ChangeClipboardChain(Middle, AfterMiddle);
  DestroyWindow(Middle);
  DestroyWindow(Extra);
  // Its handle gone, the window has left the chain.
  const HWND Handle = Form->Handle();
  EXPECT_EQ(GetClipboardViewer(), Handle);
  Form->Free();
  Form = nullptr;
  EXPECT_NE(GetClipboardViewer(), Handle);
}

// ---- The context menu -------------------------------------------------------------------

TEST_F(MainWindow, TheRightButtonOpensTheChosenContextMenu) {
  TNxGrid* G = Form->FileGrid;
  const POINT P = rtl::testing::ClientPoint(G->Handle(), 40, 40);
  rtl::testing::InjectClick(P, rtl::testing::ibRight);
  Pump();
  rtl::testing::InjectClick(P, rtl::testing::ibLeft);
  Pump();
  Form->actMiniToolbar->Execute();
  EXPECT_FALSE(Form->Bars().RadialMenuDown());
  rtl::testing::InjectClick(P, rtl::testing::ibRight);
  Pump();
  EXPECT_EQ(Form->Recorder->Popups, (std::vector<AnsiString>{"radial", "popup"}));
  // The popup menu lists the list's commands.
  std::vector<AnsiString> Items;
  for (Integer i = 0; i < Form->dxBarPopupMenu->Items()->Count(); ++i)
    Items.push_back(Form->dxBarPopupMenu->Items()->Items(i)->Caption());
  EXPECT_EQ(Items, (std::vector<AnsiString>{"&Add File(s)", "&Paste", "-", "&Remove", "R&emove All", "-",
                                            "&Open Source Folder", "O&pen Output Folder", "-", "Op&tions"}));
}

// ---- Creation and closing ----------------------------------------------------------------

TEST_F(MainWindow, TheCommandsCarryTheirCaptionsHintsAndShortcuts) {
  struct TCase {
    TAction* TFormMain::*Action;
    const char* Caption;
    const char* Hint;
    const char* ShortCut;
  } cases[] = {
      {&TFormMain::acAddFiles, "&Add File(s)", "Add File(s)", "Alt+A"},
      {&TFormMain::acAddFolder, "Add &Folder", "Add Folder", "Alt+D"},
      {&TFormMain::actPaste, "&Paste", "Paste", "Ctrl+V"},
      {&TFormMain::acRemove, "&Remove", "Remove", "Del"},
      {&TFormMain::acRemoveAll, "R&emove All", "Remove All", ""},
      {&TFormMain::acMoveUp, "Move &Up", "Move Up", ""},
      {&TFormMain::acMoveDown, "Move &Down", "Move Down", ""},
      {&TFormMain::acOpenSelectFileFolder, "&Open Source Folder", "Open Source Folder", ""},
      {&TFormMain::acOpenOutputFolder, "O&pen Output Folder", "Open Output Folder", ""},
      {&TFormMain::acOptions, "Op&tions", "Options", ""},
      {&TFormMain::actZelvoWord, "PD&F to Word", "PDF to Word", "F3"},
      {&TFormMain::actZelvoExcel, "PDF to &Excel", "PDF to Excel", "F4"},
      {&TFormMain::actZelvoHTML, "PDF to &HTML", "PDF to HTML", "F6"},
      {&TFormMain::actZelvoImage, "PDF to &JPG", "PDF to JPG", "F7"},
      {&TFormMain::actZelvoTIFF, "PDF to &Multipage TIFF", "PDF to Multipage TIFF", "F8"},
      {&TFormMain::actRibbonForm, "Ribbon &Form", "", ""},
      {&TFormMain::actApplicationButton, "&Application Button", "Application Button", ""},
      {&TFormMain::actTouchMode, "Touch &Mode", "Touch Mode", ""},
      {&TFormMain::actVisible, "&Visible", "Visible", ""},
      {&TFormMain::acQATAboveRibbon, "Ab&ove the Ribbon", "", ""},
      {&TFormMain::acQATBelowRibbon, "B&elow the Ribbon", "", ""},
      {&TFormMain::actRadialMenu, "&Radial Menu", "Radial Menu", ""},
      {&TFormMain::actMiniToolbar, "Mini &Toolbar", "Mini Toolbar", ""},
      {&TFormMain::actHelpContent, "Help &Content", "Help &Content", "F1"},
      {&TFormMain::actHomePage, "Home &Page", "Home Page", ""},
      {&TFormMain::actCheckforUpdates, "Check for &Updates", "Check for Updates", ""},
      {&TFormMain::actContactSupport, "Contact Technical &Support", "Contact Technical Support", ""},
      {&TFormMain::actMoreFreeTools, "More Free &Tools", "More Free Tools", ""},
      {&TFormMain::actAbout, "A&bout", "", ""},
      {&TFormMain::acExit, "E&xit", "Exit", "Alt+F4"},
  };
  EXPECT_EQ(Form->alActions->ActionCount(), static_cast<Integer>(std::size(cases)));
  for (const TCase& c : cases) {
    TAction* A = Form->*c.Action;
    ASSERT_NE(A, nullptr) << c.Caption;
    EXPECT_EQ(A->Caption(), c.Caption);
    EXPECT_EQ(A->Hint(), c.Hint) << c.Caption;
    EXPECT_EQ(ShortCutToText(A->ShortCut()), c.ShortCut) << c.Caption;
    EXPECT_EQ(A->ActionList(), Form->alActions) << c.Caption;
  }
  EXPECT_EQ(Form->Caption(), kTitle);
  EXPECT_EQ(GetFocus(), Form->FileGrid->Handle()) << "the keys go to the list";
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

TEST_F(MainWindow, TheListShowsSixColumnsAsSlides) {
  TNxGrid* G = Form->FileGrid;
  EXPECT_EQ(G->GridStyle(), gsSlides);
  EXPECT_EQ(G->SlideSize(), 90);
  EXPECT_EQ(G->Options(), (TGridOptions{goMultiSelect, goRowMoving, goSelectFullRow}));
  EXPECT_EQ(G->AppearanceOptions(), TAppearanceOptions{aoAlphaBlendedSelection});
  EXPECT_EQ(G->GridLinesColor(), static_cast<TColor>(15850188));
  EXPECT_TRUE(G->ReadOnly());
  EXPECT_TRUE(G->DoubleBuffered());
  EXPECT_EQ(G->Align(), alClient);
  // Class, report width, slide left, top, width, height, sort, bold, text.
  struct TCase {
    const char* Name;
    TClass Class;
    Integer Width, Left, Top, SlideWidth, SlideHeight;
    TSortType Sort;
    bool Bold;
    const char16_t* Before;
  } cases[] = {
      {"NxImageColumnImage", TNxImageColumn::StaticClass(), 80, 8, 6, 120, 80, stNumeric, false, u""},
      {"NxTextColumnFileName", TNxTextColumn::StaticClass(), 400, 136, 8, 464, 16, stAlphabetic, true,
       u"File to Convert:   "},
      {"NxTextColumnPath", TNxTextColumn::StaticClass(), 400, 136, 33, 464, 16, stAlphabetic, false,
       u"Containing Folder:   "},
      {"NxTextColumnSize", TNxTextColumn::StaticClass(), 280, 136, 49, 464, 16, stAlphabetic, false, u"Size (KB):   "},
      {"NxTextColumnDate2", TNxDateColumn::StaticClass(), 280, 384, 65, 216, 16, stDate, false,
       u"Date Modified:   "},
      {"NxTextColumnDate", TNxDateColumn::StaticClass(), 280, 136, 65, 216, 16, stDate, false, u"Date Created:   "},
  };
  ASSERT_EQ(G->Columns()->Count(), 6);
  for (Integer i = 0; i < 6; ++i) {
    const TCase& c = cases[i];
    TNxCustomColumn* C = G->Columns()->Items(i);
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(C->Name(), c.Name);
    EXPECT_EQ(C->ClassType(), c.Class);
    EXPECT_EQ(C->Width(), c.Width);
    EXPECT_EQ(C->SlideBounds()->Left(), c.Left);
    EXPECT_EQ(C->SlideBounds()->Top(), c.Top);
    EXPECT_EQ(C->SlideBounds()->Width(), c.SlideWidth);
    EXPECT_EQ(C->SlideBounds()->Height(), c.SlideHeight);
    EXPECT_EQ(C->SortType(), c.Sort);
    if (auto* T = dynamic_cast<TNxTextColumn*>(C)) {
      EXPECT_EQ(T->TextBefore(), c.Before);
      EXPECT_EQ(T->Font()->Style().Contains(fsBold), c.Bold);
      EXPECT_EQ(T->Font()->Name(), "Tahoma");
    }
  }
  EXPECT_EQ(Form->NxImageColumnImage->Images(), Form->cxImageList);
  EXPECT_EQ(Form->cxImageList->Count(), 3) << "waiting, processed, failed";
  EXPECT_EQ(Form->cxImageList->Width(), 120);
  EXPECT_EQ(Form->cxImageList->Height(), 80);
}

TEST_F(MainWindow, ShortcutsRunTheirCommands) {
  const AnsiString a = MakeFile(Files + "a.pdf"), b = MakeFile(Files + "b.pdf");
  Form->AddFile(a);
  Form->AddFile(b);
  rtl::testing::InjectKeyPress(VK_HOME);
  rtl::testing::InjectKeyPress(VK_DELETE);
  Pump();
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{b}));
}

TEST_F(MainWindow, ClosingWritesTheSettingsAndThePlacement) {
  Form->actMiniToolbar->Execute();
  Form->acQATBelowRibbon->Execute();
  Form->acQATAboveRibbonUpdate(nullptr);
  EXPECT_TRUE(Form->acQATBelowRibbon->Checked());
  EXPECT_FALSE(Form->acQATAboveRibbon->Checked());
  GlobalVars.LastOpenDir = "/somewhere/else/";
  Form->SetBounds(20, 30, 700, 500);
  Form->Close();
  TMemIniFile Ini(SettingsFilePath(kTitle));
  EXPECT_EQ(Ini.ReadString("System", "RadialMenu", ""), "0");
  EXPECT_EQ(Ini.ReadString("System", "LastOpenDir", ""), "/somewhere/else/");
  EXPECT_EQ(Ini.ReadInteger("Form", "x", -1), 20);
  EXPECT_EQ(Ini.ReadInteger("Form", "y", -1), 30);
  EXPECT_EQ(Ini.ReadInteger("Form", "width", -1), 700);
  EXPECT_EQ(Ini.ReadInteger("Form", "height", -1), 500);
  EXPECT_EQ(Ini.ReadString("Form", "maximized", ""), "0");
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

// The window as the settings left it: a second window reads what the
// first wrote.
TEST_F(MainWindow, ASecondRunStartsWhereTheFirstEnded) {
  Form->actMiniToolbar->Execute();
  Form->actTouchMode->Execute();
  Form->SetBounds(60, 70, 640, 480);
  Form->Close();
  Form->Free();
  Form = TCustomForm::Create<TTestFormMain>(nullptr);
  EXPECT_EQ(Form->BoundsRect(), TRect(60, 70, 700, 550));
  EXPECT_FALSE(Form->Bars().RadialMenuDown());
  EXPECT_TRUE(Form->actMiniToolbar->Checked());
  EXPECT_FALSE(Form->actRadialMenu->Checked());
  EXPECT_TRUE(Form->Bars().Appearance().TouchMode);
  EXPECT_TRUE(Form->actTouchMode->Checked());
}

class MainWindowFirstRun : public MainWindow {
 protected:
  AnsiString Offered;
  AnsiString Branding() override { return AnsiString("[SYSTEM]\nName=") + kTitle + "\n" + Offered; }
  void SetUp() override {}
  void Run(const AnsiString& Keys) {
    Offered = Keys;
    // A screen of known size, after the display has told its own.
    Pump();
    rtl::testing::SetScreens({{RECT(0, 0, 1600, 1200), RECT(0, 0, 1600, 1160), true, "test"}});
    MainWindow::SetUp();
  }
  void TearDown() override {
    if (Form) MainWindow::TearDown();
    rtl::testing::SetScreens({});
  }
};

TEST_F(MainWindowFirstRun, WidthFollowsTheOfferedConversionsAndTheWindowIsCentred) {
  struct TCase {
    const char* Keys;
    Integer Width;
  } cases[] = {
      {"ToHTML=0\nToImage=0\nToTIFF=0\n", 800},
      {"", 950},
      {"ToWord=0\nToExcel=0\nToHTML=0\nToImage=0\nToTIFF=0\n", 901},
      {"ToWord=0\nToExcel=0\nToHTML=0\nToImage=0\n", 750},
  };
  for (const TCase& c : cases) {
    Run(c.Keys);
    EXPECT_EQ(Form->Width(), c.Width) << c.Keys;
    EXPECT_EQ(Form->Left(), (1600 - Form->Width()) / 2) << c.Keys;
    EXPECT_EQ(Form->Top(), (1160 - Form->Height()) / 2) << c.Keys;  // in the work area
    EXPECT_EQ(Form->actZelvoWord->Visible(), AnsiString(c.Keys).find("ToWord=0") == AnsiString::npos);
    MainWindow::TearDown();
    Form = nullptr;
  }
}

class MainWindowUnwritable : public MainWindow {
 protected:
  void BeforeCreate() override {
    // A folder in the settings file's place makes every write fail.
    fs::create_directories((AppData + kTitle + "/listtestSystem.dat").c_str());
  }
};

TEST_F(MainWindowUnwritable, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowStillWorks) {
  ASSERT_FALSE(Errors.empty());
  EXPECT_NE(Errors.front().find("Unable to write"), AnsiString::npos) << Errors.front();
  // Drops, the clipboard chain and the image command's caption were still
  // set up.
  EXPECT_EQ(GetClipboardViewer(), Form->Handle());
  EXPECT_EQ(Form->actZelvoImage->Caption(), "PDF to &JPG");
  const AnsiString file = MakeFile(Files + "a.pdf");
  Drop({file});
  Pump();
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{file}));
}

// ---- The stand-in command strip ----------------------------------------------------------------

// A caption as shown, without its "&" marks.
AnsiString ShownText(const AnsiString& Caption) {
  AnsiString R;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;
    R += Caption[i];
  }
  return R;
}

// What Alt and the letter reach: each button's letter is its own, and no
// command's Alt+letter shortcut takes it from the button.
TEST_F(MainWindow, TheStripsMnemonicsAreUniqueAndReachTheirCommands) {
  TStandInBars* Strip = Form->Recorder;
  std::set<char> Reserved;
  for (Integer i = 0; i < Form->alActions->ActionCount(); ++i) {
    const TShortCut S = static_cast<TCustomAction*>(Form->alActions->Actions(i))->ShortCut();
    const char Key = static_cast<char>(S & 0xFF);  // a virtual key: letters upper case
    if ((S & scAlt) && !(S & (scCtrl | scShift)) && (std::isupper(Key) || std::isdigit(Key))) Reserved.insert(Key);
  }
  EXPECT_EQ(Reserved, (std::set<char>{'A', 'D'}));
  std::map<char, TButton*> Letters;
  for (TButton* B : Strip->CommandButtons()) {
    auto* A = static_cast<TCustomAction*>(B->Action());
    const AnsiString C = B->Caption();
    SCOPED_TRACE(C);
    EXPECT_EQ(ShownText(C), ShownText(A->Caption())) << "the command's words";
    const size_t At = C.find('&');
    ASSERT_NE(At, AnsiString::npos) << "every button has a letter";
    const char L = static_cast<char>(std::toupper(C[At + 1]));
    EXPECT_TRUE(Letters.emplace(L, B).second) << "the letter " << L << " is taken twice";
    const TShortCut Own = A->ShortCut();
    if (Reserved.count(L)) {
      EXPECT_EQ(Own & 0xFF, L) << "only its own shortcut's letter";
    }
  }
  // The fault seen: Move Down showed D and PDF to Word F; both letters
  // ran Add Folder.
  EXPECT_EQ(Letters.size(), Strip->CommandButtons().size());

  // The help commands and Exit are on the strip.
  std::vector<TBasicAction*> OnStrip;
  for (TButton* B : Strip->CommandButtons()) OnStrip.push_back(B->Action());
  for (TAction* A : {Form->actAbout, Form->actHomePage, Form->actCheckforUpdates, Form->actContactSupport,
                     Form->actMoreFreeTools, Form->acExit})
    EXPECT_NE(std::find(OnStrip.begin(), OnStrip.end(), A), OnStrip.end()) << A->Caption();

  // Alt and Move Down's letter moves the row down, as its button would.
  const AnsiString a = MakeFile(Files + "a.pdf"), b = MakeFile(Files + "b.pdf");
  Form->AddFile(a);
  Form->AddFile(b);
  Form->FileGrid->SetSelectedRow(0);
  Form->UpdateCommands();
  char MoveDown = 0;
  for (const auto& [L, B] : Letters)
    if (B->Action() == Form->acMoveDown) MoveDown = L;
  ASSERT_NE(MoveDown, 0);
  rtl::testing::InjectKey(VK_MENU, true);
  rtl::testing::InjectKeyPress(static_cast<UINT>(MoveDown));
  rtl::testing::InjectKey(VK_MENU, false);
  Pump();
  EXPECT_EQ(Rows(), (std::vector<AnsiString>{b, a}));

  // A changed caption gets a letter again.
  Form->actZelvoImage->SetCaption("PDF to &PNG");
  for (TButton* B : Strip->CommandButtons())
    if (B->Action() == Form->actZelvoImage) {
      EXPECT_EQ(ShownText(B->Caption()), "PDF to PNG");
    }
}

TEST_F(MainWindow, TabGoesFromTheListToTheStripAndBack) {
  Form->AddFile(MakeFile(Files + "a.pdf"));
  Form->UpdateCommands();
  Pump();
  ASSERT_EQ(GetFocus(), Form->FileGrid->Handle());
  rtl::testing::InjectKeyPress(VK_TAB);
  Pump();
  const std::vector<TButton*>& Buttons = Form->Recorder->CommandButtons();
  ASSERT_FALSE(Buttons.empty());
  EXPECT_EQ(GetFocus(), Buttons[0]->Handle()) << "the first button of the strip";
  rtl::testing::InjectKey(VK_SHIFT, true);
  rtl::testing::InjectKeyPress(VK_TAB);
  rtl::testing::InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(GetFocus(), Form->FileGrid->Handle());
}

// ---- The selection ------------------------------------------------------------------------------

// The window's pixels, top row first.
std::vector<uint32_t> WindowBits(HWND H, int& W, int& Hgt) {
  HBITMAP B = rtl::testing::CaptureWindow(H, true);
  DIBSECTION D{};
  GetObject(B, sizeof D, &D);
  W = D.dsBm.bmWidth;
  Hgt = D.dsBm.bmHeight;
  const auto* Bits = static_cast<const uint32_t*>(D.dsBm.bmBits);
  std::vector<uint32_t> R(Bits, Bits + size_t(W) * size_t(Hgt));
  DeleteObject(B);
  return R;
}

// Three rows selected: every one is tinted, with the focus in the list and
// without it; the current one is framed in the selection colour while the
// list has the focus.
TEST_F(MainWindow, SelectedRowsShowWithAndWithoutTheFocus) {
  TNxGrid* G = Form->FileGrid;
  EXPECT_EQ(G->SelectionColor(), static_cast<TColor>(10114859));
  EXPECT_EQ(G->InactiveSelectionColor(), static_cast<TColor>(15850188));
  EXPECT_EQ(G->SlideSelectionColor(), clWhite);
  EXPECT_EQ(G->BorderStyle(), bsNone);
  EXPECT_EQ(G->SlidesOptions(), TGridSlideOptions{soFrame}) << "the selection is not hidden";
  EXPECT_TRUE(G->OnAfterRowMove) << "rows dragged repaint the list";
  for (int i = 0; i < 5; ++i) Form->AddFile(MakeFile(Files + "report-" + std::to_string(i) + ".pdf", 2048 * i));
  Pump();
  rtl::testing::RunUntilIdle();
  // As the user selects: a click, then Ctrl+clicks; the last is current.
  for (Integer Row : {0, 3, 2}) {
    const TRect S = G->SlideRect(Row);
    if (Row != 0) rtl::testing::InjectKey(VK_CONTROL, true);
    rtl::testing::AdvanceClock(1000);
    rtl::testing::InjectClick(rtl::testing::ClientPoint(G->Handle(), S.Right - 40, S.Top + 40));
    if (Row != 0) rtl::testing::InjectKey(VK_CONTROL, false);
    Pump();
  }
  ASSERT_EQ(G->SelectedCount(), 3);
  ASSERT_EQ(G->SelectedRow(), 2);
  const COLORREF Tint = RGB(204, 218, 241), White = RGB(255, 255, 255), Frame = RGB(43, 87, 154);
  struct TCase {
    const char* Name;
    bool Focused;
    COLORREF CurrentFrame;
  } Cases[] = {{"focused", true, Frame}, {"unfocused", false, Tint}};
  std::vector<uint32_t> Both;
  int W = 0, H = 0;
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (C.Focused)
      G->SetFocus();
    else
      Form->Recorder->CommandButtons()[0]->SetFocus();
    Form->UpdateCommands();
    Pump();
    rtl::testing::RunUntilIdle();
    ASSERT_EQ(G->Focused(), C.Focused);
    // Right of the texts, in the middle of each slide.
    for (Integer Row = 0; Row < 5; ++Row) {
      const TRect S = G->SlideRect(Row);
      const bool Selected = Row == 0 || Row == 2 || Row == 3;
      EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), S.Right - 20, S.Top + 45), Selected ? Tint : White) << Row;
      // Inside the name cell, right of its text.
      EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), 560, S.Top + 12), Selected ? Tint : White) << Row;
    }
    const TRect Current = G->SlideRect(2);
    EXPECT_EQ(rtl::testing::WindowPixel(G->Handle(), Current.Right - 20, Current.Top + 1), C.CurrentFrame);
    const std::vector<uint32_t> Shot = WindowBits(Form->Handle(), W, H);
    Both.insert(Both.end(), Shot.begin(), Shot.end());
  }
  // Focused above, unfocused below.
  WriteOpaquePng("main-window-selection.png", Both.data(), W, 2 * H);
}

// ---- A picture -------------------------------------------------------------------------------

TEST_F(MainWindow, PictureOfTheWindowWithADozenRows) {
  for (int i = 0; i < 12; ++i) Form->AddFile(MakeFile(Files + "report-" + std::to_string(2014 + i) + ".pdf", 1000 * i));
  Form->FileGrid->Cell(0, 1)->SetAsInteger(1);
  Form->FileGrid->SetSelectedRow(1);
  Form->UpdateCommands();
  Form->Bars().SetPanelText(0, "Complete.");
  Pump();
  rtl::testing::RunUntilIdle();
  EXPECT_TRUE(rtl::testing::SaveWindowPng(Form->Handle(), PictureDir() + "main-window.png", true));
}

}  // namespace
