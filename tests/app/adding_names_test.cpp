// Files whose paths pass the old length limits or whose names hold quotes,
// added to the real main window the three ways a user adds files: dropped
// from the desktop, pasted from the clipboard, and chosen in the open
// dialog (the real dialog, driven by keys). None may be lost or changed on
// the way; a name typed in the dialog that is not there is told there.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "app/branding.h"
#include "app/globals.h"
#include "app/main_form.h"
#include "app/progress_form.h"
#include "app_fixture.h"
#include "grid/nx_grid.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/testing/user_testing.h"
#include "platform/win/comdlg/commdlg.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_clipdata.h"

namespace {

namespace fs = std::filesystem;

enum TRoute { rDrop, rPaste, rOpenDialog };

const char* RouteName(TRoute R) {
  switch (R) {
    case rDrop: return "Drop";
    case rPaste: return "Paste";
    case rOpenDialog: return "OpenDialog";
  }
  return "";
}

// The files of a case: in one folder, named in the order the dialog lists
// them, so that every route adds them in that order.
struct TNamesCase {
  const char* Name;
  size_t FolderLength;  // the folder is made at least this long
  std::vector<AnsiString> Names;
};

const TNamesCase kNameCases[] = {
    {"LongPaths", 1200, {"first.pdf", "second.pdf"}},
    {"PathsNearTheSystemsLimit", 3800, {AnsiString(120, 'n') + ".pdf"}},
    {"Quotes", 0, {"\"quoted\".pdf", "say \"hi\".pdf"}},
    {"LongPathsWithQuotes", 600, {"\"a\" and \"b\".pdf", "x\".pdf"}},
};

class AddingFiles : public AppFolders {
 protected:
  TFormMain* Form = nullptr;
  TProgressForm* Progress = nullptr;
  std::vector<AnsiString> Errors;

  void SetUp() override {
    AppFolders::SetUp();
    GlobalVars = TGlobalVars();
    rtl::testing::SetExternalClipboard({});
    Application->SetTitle("Adding Test");
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
    WriteBrandingFile(BrandingFilePath(), "[SYSTEM]\nName=Adding Test\n");
    Form = TCustomForm::Create<TFormMain>(nullptr);
    Progress = TCustomForm::Create<TProgressForm>(nullptr);
    Form->SetProgressForm(Progress);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Form->Free();
    Progress->Free();
    Application->ProcessMessages();
    rtl::detail::SetCommonDialogShownHook(nullptr);
    rtl::detail::SetMessageBoxHook(nullptr);
    rtl::testing::SetExternalClipboard({});
    Application->OnException = {};
    DeleteFile(BrandingFilePath());
    AppFolders::TearDown();
  }

  // A folder of the case's length with its files; their full paths.
  std::vector<AnsiString> MakeFiles(const TNamesCase& C, AnsiString& Folder) {
    Folder = Root + "files";
    for (int I = 0; Folder.size() < C.FolderLength; ++I)
      Folder += "/a-folder-with-a-long-name-" + std::to_string(I) + "-" + AnsiString(40, 'f');
    Folder += "/";
    fs::create_directories(Folder.c_str());
    std::vector<AnsiString> Paths;
    for (const AnsiString& N : C.Names) {
      WriteWholeFile(Folder + N, "%PDF-1.4\n");
      Paths.push_back(Folder + N);
    }
    return Paths;
  }

  std::vector<AnsiString> Rows() {
    std::vector<AnsiString> R;
    for (Integer I = 0; I < Form->FileGrid->RowCount(); ++I)
      R.push_back(WideToAnsi(Form->FileGrid->Cell(2, I)->AsString() + Form->FileGrid->Cell(1, I)->AsString()));
    return R;
  }

  // The open dialog starts in the folder; every file in it is chosen with
  // the keys.
  void ChooseAllInTheDialog(const AnsiString& Folder) {
    GlobalVars.LastOpenDir = Folder;
    rtl::detail::SetCommonDialogShownHook([](HWND Box) {
      rtl::testing::RunUntilIdle();  // the dialog is active and its focus in place
      SetFocus(GetDlgItem(Box, lst1));
      rtl::testing::InjectKeyPress(VK_HOME);
      rtl::testing::InjectKey(VK_SHIFT, true);
      rtl::testing::InjectKeyPress(VK_END);
      rtl::testing::InjectKey(VK_SHIFT, false);
      rtl::testing::InjectKeyPress(VK_RETURN);
      CancelIfStillOpen(Box);
    });
    Form->acAddFilesExecute(nullptr);
  }

  // A dialog the keys left open is cancelled once its loop has taken them
  // (timers come after input), so that a failure does not wait for a user.
  static void CancelIfStillOpen(HWND Box) {
    SetTimer(Box, 0xC0DE, 1, [](HWND H, UINT, UINT_PTR Id, DWORD) {
      KillTimer(H, Id);
      PostMessageA(H, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    rtl::testing::AdvanceClock(10);
  }
};

class AddingNames : public AddingFiles, public ::testing::WithParamInterface<std::tuple<TRoute, TNamesCase>> {};

TEST_P(AddingNames, EveryFileIsAddedWithItsWholeName) {
  const auto& [Route, C] = GetParam();
  AnsiString Folder;
  const std::vector<AnsiString> Paths = MakeFiles(C, Folder);
  ASSERT_GE(Folder.size(), C.FolderLength);
  switch (Route) {
    case rDrop:
      rtl::testing::InjectFileDrop(Form->FileGrid->ClientToScreen(TPoint(50, 50)), Paths);
      Application->ProcessMessages();
      break;
    case rPaste:
      rtl::testing::SetExternalClipboard(rtl::detail::FileListFormats(Paths, false));
      Application->ProcessMessages();
      Form->actPasteExecute(nullptr);
      break;
    case rOpenDialog:
      ChooseAllInTheDialog(Folder);
      EXPECT_EQ(GlobalVars.LastOpenDir, Folder);
      break;
  }
  EXPECT_EQ(Rows(), Paths);
  EXPECT_TRUE(Errors.empty()) << Errors[0];
  // The folder pasted or dropped instead finds the same files.
  if (Route == rOpenDialog) return;
  Form->acRemoveAllExecute(nullptr);
  rtl::testing::InjectFileDrop(Form->FileGrid->ClientToScreen(TPoint(50, 50)), {Folder});
  Application->ProcessMessages();
  EXPECT_EQ(Rows(), Paths);
}

INSTANTIATE_TEST_SUITE_P(Routes, AddingNames,
                         ::testing::Combine(::testing::Values(rDrop, rPaste, rOpenDialog),
                                            ::testing::ValuesIn(kNameCases)),
                         [](const auto& Info) {
                           return std::string(RouteName(std::get<0>(Info.param))) + "_" +
                                  std::get<1>(Info.param).Name;
                         });

// A name typed in the open dialog that is not there is told in the dialog,
// which stays open for the name to be put right.
TEST_F(AddingFiles, ATypedNameThatIsNotThereIsToldInTheDialog) {
  AnsiString Folder;
  const std::vector<AnsiString> Paths = MakeFiles({"One", 0, {"report.pdf"}}, Folder);
  std::vector<AnsiString> Told;
  rtl::detail::SetMessageBoxHook([&](HWND, const AnsiString& Text, const AnsiString&, UINT) {
    Told.push_back(Text);
    return IDOK;
  });
  GlobalVars.LastOpenDir = Folder;
  rtl::detail::SetCommonDialogShownHook([](HWND Box) {
    rtl::testing::RunUntilIdle();
    rtl::testing::InjectText("reprot.pdf");
    rtl::testing::InjectKeyPress(VK_RETURN);
    // Still open after the refusal: the name is typed anew.
    rtl::testing::InjectKey(VK_CONTROL, true);
    rtl::testing::InjectKeyPress('A');
    rtl::testing::InjectKey(VK_CONTROL, false);
    rtl::testing::InjectText("report.pdf");
    rtl::testing::InjectKeyPress(VK_RETURN);
    CancelIfStillOpen(Box);
  });
  Form->acAddFilesExecute(nullptr);
  ASSERT_EQ(Told.size(), 1u);
  EXPECT_EQ(Told[0], "reprot.pdf\nFile not found.\nCheck the file name and try again.");
  EXPECT_EQ(Rows(), Paths);
}

}  // namespace
