// The shell and dialog services: opening through the desktop, the folder
// browser (answered by its hook, and the real dialog steered by the
// callback), and the nesting busy cursor.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

#include "app/util_funcs.h"
#include "app_fixture.h"
#include "platform/forms/forms.h"
#include "platform/rtl/text_codec.h"
#include "platform/rtl/units.h"
#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/shell/shlobj.h"
#include "platform/win/user/standard_classes.h"

namespace {

namespace fs = std::filesystem;

// ---- The busy cursor -------------------------------------------------------------

class BusyCursor : public ::testing::Test {
 protected:
  void SetUp() override {
    // The screen is the "Forms" unit's; a test that shuts the units down
    // leaves them for the next to start again.
    InitializeUnits();
    ASSERT_NE(Screen, nullptr);
    Screen->SetCursor(crDefault);
  }
};

TEST_F(BusyCursor, NestedCallsKeepTheHourGlassUntilTheLastEnd) {
  BeginBusy();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  BeginBusy();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  EndBusy();
  EXPECT_EQ(Screen->Cursor(), crHourGlass) << "one guarded operation is still running";
  EndBusy();
  EXPECT_EQ(Screen->Cursor(), crDefault);

  // An end without a begin changes nothing, and owes nothing later.
  Screen->SetCursor(crHandPoint);
  EndBusy();
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  BeginBusy();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  EndBusy();
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(BusyCursor, EveryBeginShowsTheHourGlassAgain) {
  BeginBusy();
  Screen->SetCursor(crHandPoint);  // something in the guarded work changed it
  BeginBusy();
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  EndBusy();
  EndBusy();
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

// ---- Folders for the shell tests ---------------------------------------------------

class ShellServices : public AppFolders {
 protected:
  HWND Owner = nullptr;
  std::vector<std::vector<AnsiString>> Spawned;
  std::vector<std::tuple<HWND, AnsiString, UINT>> Boxes;

  void SetUp() override {
    AppFolders::SetUp();
    Owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(Owner, nullptr);
    ShowWindow(Owner, SW_SHOWNORMAL);
    rtl::detail::SetShellSpawnHook([this](const std::vector<AnsiString>& argv) {
      Spawned.push_back(argv);
      return 0;
    });
    rtl::detail::SetMessageBoxHook([this](HWND owner, const AnsiString& text, const AnsiString&, UINT type) {
      Boxes.emplace_back(owner, text, type);
      return IDOK;
    });
  }
  void TearDown() override {
    rtl::detail::SetBrowseForFolderHook(nullptr);
    rtl::detail::SetBrowseForFolderShownHook(nullptr);
    rtl::detail::SetShellSpawnHook(nullptr);
    rtl::detail::SetMessageBoxHook(nullptr);
    DestroyWindow(Owner);
    AppFolders::TearDown();
  }
  AnsiString MakeFolder(const AnsiString& relative) {
    const AnsiString path = Root + relative;
    fs::create_directories(path);
    return path;
  }
};

TEST_F(ShellServices, ShellOpenHandsTheNameOverUntouched) {
  const AnsiString folder = MakeFolder("My Files");
  const AnsiString odd = Root + "it's \"quoted\" & $x.pdf";
  WriteWholeFile(odd, "x");
  for (const AnsiString& target : {folder, odd, AnsiString("https://example.com/help?a=1&b=2")}) {
    SCOPED_TRACE(target);
    Spawned.clear();
    ShellOpen(target);
    EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", target}}));
  }
  // The answer is not examined: a name that is not there just opens nothing.
  Spawned.clear();
  ShellOpen(Root + "missing.pdf");
  EXPECT_TRUE(Spawned.empty());
}

// ---- The folder browser, answered by its hook ---------------------------------------

struct TBrowseCase {
  const char* Name;
  const char* Answer;  // below the test's folder; null cancels
  bool Confirmed;
  bool Refused;  // with a message about the line break
};

TEST_F(ShellServices, BrowseForFolderHandsBackWholeFoldersAndRefusesLineBreaks) {
  const AnsiString longTail = AnsiString(150, 'a') + "/" + AnsiString(150, 'b');
  const TBrowseCase cases[] = {
      {"Plain", "Alpha", true, false},
      {"LongerThanMaxPath", nullptr, true, false},  // longTail, set below
      {"Cancelled", nullptr, false, false},
      {"LineFeed", "two\nlines", false, true},
      {"CarriageReturn", "two\rlines", false, true},
      {"BothAtTheEnd", "ends\r\n", false, true},
      {"LineBreakHigherUp", "a\nb/inner", false, true},
  };
  for (const TBrowseCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const bool isLong = std::string(c.Name) == "LongerThanMaxPath";
    std::optional<AnsiString> answer;
    if (isLong)
      answer = MakeFolder(longTail);
    else if (c.Answer)
      answer = MakeFolder(c.Answer);
    std::vector<std::tuple<HWND, AnsiString, UINT, AnsiString, bool>> asked;
    rtl::detail::SetBrowseForFolderHook([&](const BROWSEINFOA& bi) {
      asked.emplace_back(bi.hwndOwner, bi.lpszTitle, bi.ulFlags,
                         bi.lParam ? reinterpret_cast<const char*>(bi.lParam) : "<none>", bi.lpfn != nullptr);
      return answer;
    });
    Boxes.clear();
    AnsiString folder = Root + "start";
    const bool r = BrowseForFolder(Owner, folder, "Select the folder you want to add to the Convert List: ", 65, "");
    EXPECT_EQ(r, c.Confirmed);
    EXPECT_EQ(folder, c.Confirmed ? *answer : Root + "start");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_tuple(Owner, AnsiString("Select the folder you want to add to the Convert List: "), 65u,
                                        Root + "start", true));
    if (c.Refused) {
      ASSERT_EQ(Boxes.size(), 1u);
      EXPECT_EQ(std::get<0>(Boxes[0]), Owner);
      EXPECT_NE(std::get<1>(Boxes[0]).find("line break"), AnsiString::npos) << std::get<1>(Boxes[0]);
      EXPECT_NE(std::get<1>(Boxes[0]).find(*answer), AnsiString::npos) << "the message names the folder";
    } else {
      EXPECT_TRUE(Boxes.empty());
    }
  }
}

TEST_F(ShellServices, BrowseForFolderLimitsTheTreeToAnExistingRoot) {
  const AnsiString root = MakeFolder("Root");
  struct TCase {
    const char* Name;
    AnsiString Root;
    AnsiString Expected;  // the root the browser is given; empty for the whole tree
  } cases[] = {
      {"NoRoot", "", ""},
      {"Existing", root, root},
      {"Missing", Root + "missing", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    AnsiString given = "<unset>";
    rtl::detail::SetBrowseForFolderHook([&](const BROWSEINFOA& bi) {
      WCHAR path[MAX_PATH] = {};
      given = bi.pidlRoot ? (SHGetPathFromIDListEx(bi.pidlRoot, path, MAX_PATH, GPFIDL_DEFAULT) ? WideToAnsi(path)
                                                                                                : AnsiString("<virtual>"))
                          : AnsiString();
      return std::nullopt;
    });
    AnsiString folder;
    EXPECT_FALSE(BrowseForFolder(Owner, folder, "", 65, c.Root));
    EXPECT_EQ(given, c.Expected);
  }
}

// ---- The real dialog, steered by the callback ---------------------------------------------

struct TDialogLook {
  bool Selected = false;
  AnsiString Status;
  bool OkEnabled = false;
};

AnsiString WindowText(HWND h) {
  AnsiString s(static_cast<size_t>(GetWindowTextLengthA(h)) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowTextA(h, s.data(), static_cast<int>(s.size()))));
  return s;
}

HTREEITEM TreeItem(HWND dialog, UINT how, HTREEITEM from = nullptr) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(GetDlgItem(dialog, rtl::detail::kBrowseTreeId), TVM_GETNEXTITEM, how,
                                                  reinterpret_cast<LPARAM>(from)));
}

TDialogLook Look(HWND dialog) {
  TDialogLook r;
  r.Selected = TreeItem(dialog, TVGN_CARET) != nullptr;
  r.Status = WindowText(GetDlgItem(dialog, rtl::detail::kBrowseStatusId));
  r.OkEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK));
  return r;
}

void Press(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST_F(ShellServices, BrowserOpensAtTheStartFolderAndShowsItsWholePath) {
  // Longer than MAX_PATH: a cut path would leave the status empty and OK off.
  const AnsiString start = MakeFolder(AnsiString(150, 's') + "/" + AnsiString(150, 't'));
  TDialogLook seen;
  rtl::detail::SetBrowseForFolderShownHook([&](HWND dialog) {
    seen = Look(dialog);
    // A dialog that will not take OK is cancelled, so that the test ends.
    Press(dialog, seen.OkEnabled ? IDOK : IDCANCEL);
  });
  AnsiString folder = start;
  EXPECT_TRUE(BrowseForFolder(Owner, folder, "Choose:", 65, ""));
  EXPECT_EQ(folder, start);
  EXPECT_TRUE(seen.Selected);
  EXPECT_EQ(seen.Status, start);
  EXPECT_TRUE(seen.OkEnabled);
}

TEST_F(ShellServices, BrowserWithoutAnExistingStartFolderSelectsNothing) {
  TDialogLook seen{true, "<unseen>", true};
  rtl::detail::SetBrowseForFolderShownHook([&](HWND dialog) {
    seen = Look(dialog);
    Press(dialog, IDCANCEL);
  });
  AnsiString folder = Root + "missing";
  EXPECT_FALSE(BrowseForFolder(Owner, folder, "Choose:", 65, ""));
  EXPECT_EQ(folder, Root + "missing");
  EXPECT_FALSE(seen.Selected);
  EXPECT_FALSE(seen.OkEnabled);
}

TEST_F(ShellServices, CallbackDisablesOkOnAnItemWithoutAPath) {
  // Without the file-system-only flag only the callback keeps a virtual
  // item from being chosen.
  const AnsiString start = MakeFolder("Alpha");
  TDialogLook onFolder, onVirtual;
  rtl::detail::SetBrowseForFolderShownHook([&](HWND dialog) {
    onFolder = Look(dialog);
    HWND tree = GetDlgItem(dialog, rtl::detail::kBrowseTreeId);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(TreeItem(dialog, TVGN_ROOT)));
    onVirtual = Look(dialog);
    Press(dialog, IDOK);  // refused while OK is off
    Press(dialog, IDCANCEL);
  });
  AnsiString folder = start;
  EXPECT_FALSE(BrowseForFolder(Owner, folder, "Choose:", BIF_NEWDIALOGSTYLE, ""));
  EXPECT_EQ(folder, start);
  EXPECT_TRUE(onFolder.OkEnabled);
  EXPECT_EQ(onFolder.Status, start);
  EXPECT_FALSE(onVirtual.OkEnabled);
  EXPECT_EQ(onVirtual.Status, "");
}

}  // namespace
