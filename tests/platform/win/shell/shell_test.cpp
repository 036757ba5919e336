// The shell: item identifier lists and the task allocator, the desktop
// folder's parsing, the folder browser (answered by its hook, and the real
// dialog driven through injected input with the callback a program uses),
// and ShellExecute's argument vectors recorded instead of started.

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/rtl/text_codec.h"
#include "platform/win/shell/shellapi.h"
#include "platform/win/shell/shlobj.h"
#include "tests/common/pictures.h"
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;
namespace fs = std::filesystem;

// A folder tree of its own for each test:
//   Alpha/Inner/  beta/  Gamma/  .hidden/  file.txt
class TShellTest : public TCtlTest {
 protected:
  AnsiString Tmp;

  void SetUp() override {
    TCtlTest::SetUp();
    char pattern[] = "/tmp/shell_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    Tmp = pattern;
    for (const char* d : {"Alpha/Inner", "beta", "Gamma", ".hidden"}) fs::create_directories(Tmp + "/" + d);
    std::ofstream(Tmp + "/file.txt") << "x";
  }

  void TearDown() override {
    rtl::detail::SetBrowseForFolderHook(nullptr);
    rtl::detail::SetBrowseForFolderShownHook(nullptr);
    rtl::detail::SetShellSpawnHook(nullptr);
    rtl::detail::SetMessageBoxHook(nullptr);
    TCtlTest::TearDown();
    std::error_code ec;
    fs::remove_all(Tmp, ec);
  }

  static PIDLIST_ABSOLUTE Parse(const AnsiString& path, HRESULT* hr = nullptr, ULONG* attrs = nullptr) {
    IShellFolder* desktop = nullptr;
    EXPECT_EQ(SHGetDesktopFolder(&desktop), S_OK);
    WideString w = AnsiToWide(path);
    PIDLIST_RELATIVE pidl = reinterpret_cast<PIDLIST_RELATIVE>(1);
    ULONG eaten = 0;
    HRESULT r = desktop->ParseDisplayName(nullptr, nullptr, w.data(), &eaten, &pidl, attrs);
    if (hr) *hr = r;
    if (SUCCEEDED(r)) {
      EXPECT_EQ(eaten, w.size());
    }
    desktop->Release();
    return pidl;
  }

  static AnsiString PathOf(PCIDLIST_ABSOLUTE pidl, BOOL* ok = nullptr) {
    char buf[MAX_PATH];
    std::memset(buf, 'x', sizeof buf);
    BOOL r = SHGetPathFromIDListA(pidl, buf);
    if (ok) *ok = r;
    return buf;
  }
};

// ---- Lists, the allocator and parsing ------------------------------------------------

TEST_F(TShellTest, PathsRoundTripThroughLists) {
  fs::create_directories(Tmp + "/with space/Ünï ço,de");
  struct TCase {
    AnsiString Given, Expected;
  } cases[] = {
      {"/", "/"},
      {Tmp, Tmp},
      {Tmp + "/file.txt", Tmp + "/file.txt"},
      {Tmp + "/with space/Ünï ço,de", Tmp + "/with space/Ünï ço,de"},
      {Tmp + "//Alpha/./Inner/../", Tmp + "/Alpha"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Given);
    PIDLIST_ABSOLUTE pidl = Parse(c.Given);
    ASSERT_NE(pidl, nullptr);
    BOOL ok = FALSE;
    EXPECT_EQ(PathOf(pidl, &ok), c.Expected);
    EXPECT_TRUE(ok);
    WCHAR wide[MAX_PATH];
    EXPECT_TRUE(SHGetPathFromIDListW(pidl, wide));
    EXPECT_EQ(WideString(wide), AnsiToWide(c.Expected));
    PIDLIST_ABSOLUTE copy = ILClone(pidl);
    EXPECT_NE(copy, pidl);
    EXPECT_EQ(ILGetSize(copy), ILGetSize(pidl));
    EXPECT_TRUE(ILIsEqual(copy, pidl));
    ILFree(copy);
    CoTaskMemFree(pidl);
  }
}

TEST_F(TShellTest, VirtualAndBrokenListsHaveNoPath) {
  PIDLIST_ABSOLUTE computer = nullptr, desktop = nullptr;
  ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &computer), S_OK);
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop), S_OK);
  // A path longer than the buffer is refused, not cut.
  PIDLIST_ABSOLUTE longPath = rtl::detail::EncodeShellItem({rtl::detail::skPath, "/" + AnsiString(300, 'a')});
  const BYTE unknownTag[] = {4, 0, 'Z', 'q', 0, 0};
  const BYTE noTerminator[] = {5, 0, 'P', '/', 'a', 7, 0};
  const BYTE relative[] = {5, 0, 'P', 'a', 'b', 0, 0};
  struct TCase {
    const char* Name;
    PCIDLIST_ABSOLUTE Pidl;
  } cases[] = {
      {"computer", computer},
      {"desktop", desktop},
      {"null", nullptr},
      {"too long", longPath},
      {"unknown tag", reinterpret_cast<PCIDLIST_ABSOLUTE>(unknownTag)},
      {"second item", reinterpret_cast<PCIDLIST_ABSOLUTE>(noTerminator)},
      {"relative", reinterpret_cast<PCIDLIST_ABSOLUTE>(relative)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    BOOL ok = TRUE;
    EXPECT_EQ(PathOf(c.Pidl, &ok), "");
    EXPECT_FALSE(ok);
    WCHAR wide[MAX_PATH] = {'x', 0};
    EXPECT_FALSE(SHGetPathFromIDListW(c.Pidl, wide));
    EXPECT_EQ(wide[0], 0);
  }
  EXPECT_FALSE(ILIsEqual(computer, desktop));
  EXPECT_TRUE(ILIsEqual(computer, computer));
  ILFree(computer);
  ILFree(desktop);
  ILFree(longPath);

  PIDLIST_ABSOLUTE home = nullptr;
  ASSERT_EQ(SHGetFolderLocation(nullptr, CSIDL_PROFILE, nullptr, 0, &home), S_OK);
  EXPECT_EQ(PathOf(home), rtl::detail::ShellHomeFolder());
  ILFree(home);
  EXPECT_EQ(SHGetFolderLocation(nullptr, 0x7F, nullptr, 0, &home), E_INVALIDARG);
  EXPECT_EQ(home, nullptr);
}

TEST_F(TShellTest, ParsingFailsForWhatIsNotThere) {
  struct TCase {
    AnsiString Path;
    HRESULT Expected;
  } cases[] = {
      {Tmp + "/missing", static_cast<HRESULT>(0x80070002u)},
      {Tmp + "/file.txt/below", static_cast<HRESULT>(0x80070003u)},
      {"relative/path", E_INVALIDARG},
      {"", E_INVALIDARG},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    HRESULT hr = S_OK;
    EXPECT_EQ(Parse(c.Path, &hr), nullptr);
    EXPECT_EQ(hr, c.Expected);
  }
}

TEST_F(TShellTest, ParsingAnswersTheAttributesAskedFor) {
  const ULONG asked = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_HIDDEN;
  struct TCase {
    const char* Name;
    ULONG Expected;
  } cases[] = {
      {"Alpha", SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER},
      {"Gamma", SFGAO_FOLDER | SFGAO_FILESYSTEM},
      {".hidden", SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HIDDEN},
      {"file.txt", SFGAO_FILESYSTEM},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ULONG attrs = asked;
    PIDLIST_ABSOLUTE pidl = Parse(Tmp + "/" + c.Name, nullptr, &attrs);
    EXPECT_EQ(attrs, c.Expected);
    ILFree(pidl);
  }
}

TEST_F(TShellTest, TaskAllocatorKnowsItsBlocks) {
  IMalloc* m = nullptr;
  ASSERT_EQ(SHGetMalloc(&m), S_OK);
  ASSERT_NE(m, nullptr);
  void* same = nullptr;
  EXPECT_EQ(m->QueryInterface(IID_IMalloc, &same), S_OK);
  EXPECT_EQ(same, m);
  m->Release();
  EXPECT_EQ(m->QueryInterface(IID_IShellFolder, &same), E_NOINTERFACE);
  EXPECT_EQ(same, nullptr);

  auto* p = static_cast<char*>(m->Alloc(10));
  ASSERT_NE(p, nullptr);
  std::memcpy(p, "123456789", 10);
  EXPECT_EQ(m->GetSize(p), 10u);
  EXPECT_EQ(m->DidAlloc(p), 1);
  p = static_cast<char*>(m->Realloc(p, 5000));
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p, "123456789");
  EXPECT_EQ(m->GetSize(p), 5000u);
  int local = 0;
  EXPECT_EQ(m->DidAlloc(&local), 0);
  EXPECT_EQ(m->DidAlloc(nullptr), -1);
  EXPECT_EQ(m->Realloc(&local, 8), nullptr);  // not ours: refused
  m->Free(&local);                            // not ours: ignored
  CoTaskMemFree(&local);
  m->Free(p);
  EXPECT_EQ(m->DidAlloc(p), 0);
  // Lists come from the same allocator.
  PIDLIST_ABSOLUTE pidl = Parse(Tmp);
  EXPECT_EQ(m->DidAlloc(pidl), 1);
  EXPECT_EQ(m->GetSize(pidl), ILGetSize(pidl));
  m->Free(pidl);
  m->Release();
}

// ---- The folder browser ---------------------------------------------------------------

// What the program's callback saw and did.
struct TBrowseLog {
  AnsiString Start;  // selected when the dialog is up ("" for none)
  std::vector<UINT> Messages;
  std::vector<AnsiString> Selected;  // the paths BFFM_SELCHANGED told
  std::vector<std::function<void(HWND)>> OnInit;
};

// The callback of a program's folder browser: the start folder selected
// when the dialog is up, each selection's path in the status line, OK
// disabled for an item without a path.
int BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data) {
  auto* log = reinterpret_cast<TBrowseLog*>(data);
  log->Messages.push_back(msg);
  if (msg == BFFM_INITIALIZED) {
    SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(log->Start.c_str()));
    for (auto& f : log->OnInit) f(hwnd);
  } else if (msg == BFFM_SELCHANGED) {
    char path[MAX_PATH];
    SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
    log->Selected.push_back(path);
    SendMessageA(hwnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    if (!*path) SendMessageA(hwnd, BFFM_ENABLEOK, 0, 0);
  }
  return 0;
}

struct TDialogSeen {
  bool OwnerEnabled = true;
  HWND Dialog = nullptr;
};

class TBrowseTest : public TShellTest {
 protected:
  TBrowseLog Cb;
  TDialogSeen Seen;
  char DisplayName[MAX_PATH] = "unchanged";

  // Shows the browser; `drive` acts once it is up. The chosen path, or
  // nullopt when cancelled.
  std::optional<AnsiString> Browse(UINT flags, const AnsiString& root, std::function<void(HWND)> drive,
                                   bool withCallback = true, const char* title = "Choose the output folder:") {
    PIDLIST_ABSOLUTE rootPidl = root.empty() ? nullptr : Parse(root);
    rtl::detail::SetBrowseForFolderShownHook([&](HWND dialog) {
      Seen.Dialog = dialog;
      Seen.OwnerEnabled = IsWindowEnabled(Dialog);
      drive(dialog);
    });
    BROWSEINFOA bi{};
    bi.hwndOwner = Dialog;
    bi.pidlRoot = rootPidl;
    bi.pszDisplayName = DisplayName;
    bi.lpszTitle = title;
    bi.ulFlags = flags;
    bi.lpfn = withCallback ? BrowseCallback : nullptr;
    bi.lParam = reinterpret_cast<LPARAM>(&Cb);
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&bi);
    ILFree(rootPidl);
    EXPECT_FALSE(IsWindow(Seen.Dialog));
    EXPECT_TRUE(IsWindowEnabled(Dialog));
    if (!pidl) return std::nullopt;
    char path[MAX_PATH];
    AnsiString r = SHGetPathFromIDListA(pidl, path) ? path : "<virtual>";
    CoTaskMemFree(pidl);
    return r;
  }

  static HWND Tree(HWND dialog) { return GetDlgItem(dialog, rtl::detail::kBrowseTreeId); }
  static HTREEITEM Item(HWND tree, HTREEITEM from, UINT how) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  }
  static HTREEITEM Selection(HWND dialog) { return Item(Tree(dialog), nullptr, TVGN_CARET); }
  static AnsiString Text(HWND tree, HTREEITEM h) {
    if (!h) return "<none>";
    char buf[MAX_PATH] = {};
    TVITEMA it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = h;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
  }
  static int ChildrenFlag(HWND tree, HTREEITEM h) {
    TVITEMA it{};
    it.mask = TVIF_CHILDREN | TVIF_HANDLE;
    it.hItem = h;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return it.cChildren;
  }
  static std::vector<AnsiString> Children(HWND tree, HTREEITEM h) {
    std::vector<AnsiString> r;
    for (HTREEITEM c = Item(tree, h, TVGN_CHILD); c; c = Item(tree, c, TVGN_NEXT)) r.push_back(Text(tree, c));
    return r;
  }
  static HTREEITEM Child(HWND tree, HTREEITEM h, const AnsiString& text) {
    for (HTREEITEM c = Item(tree, h, TVGN_CHILD); c; c = Item(tree, c, TVGN_NEXT))
      if (Text(tree, c) == text) return c;
    return nullptr;
  }
  // Clicks an item's label and lets the dialog see it.
  static void ClickItem(HWND tree, HTREEITEM h) {
    RECT r{};
    ASSERT_TRUE(TreeView_GetItemRect(tree, h, &r, TRUE));
    InjectClick(ClientPoint(tree, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    RunUntilIdle();
  }
  static void ClickButton(HWND dialog, int id) {
    InjectClick(ClientPoint(GetDlgItem(dialog, id), 10, 10));
    RunUntilIdle();
  }
  static AnsiString Status(HWND dialog) { return CtlText(GetDlgItem(dialog, rtl::detail::kBrowseStatusId)); }
  static bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)); }
};

struct TStartCase {
  const char* Name;
  const char* Start;        // below the test's folder
  const char* DisplayName;  // of the chosen folder
};

class TBrowseStartTest : public TBrowseTest, public ::testing::WithParamInterface<TStartCase> {};

TEST_P(TBrowseStartTest, CallbackSelectsTheStartAndEnterChoosesIt) {
  const TStartCase& c = GetParam();
  Cb.Start = Tmp + "/" + c.Start;
  AnsiString start = rtl::detail::NormalShellPath(Cb.Start);
  AnsiString statusSeen, parentSeen;
  bool okSeen = false;
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, "", [&](HWND d) {
    statusSeen = Status(d);
    okSeen = OkEnabled(d);
    parentSeen = Text(Tree(d), Item(Tree(d), Selection(d), TVGN_PARENT));
    InjectKeyPress(VK_RETURN);
  });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, start);
  EXPECT_STREQ(DisplayName, c.DisplayName);
  EXPECT_EQ(statusSeen, start);
  EXPECT_TRUE(okSeen);
  EXPECT_EQ(parentSeen, fs::path(start).parent_path().filename().string());
  EXPECT_FALSE(Seen.OwnerEnabled);
  ASSERT_GE(Cb.Messages.size(), 2u);
  EXPECT_EQ(Cb.Messages[0], BFFM_INITIALIZED);
  EXPECT_EQ(Cb.Messages[1], BFFM_SELCHANGED);
  EXPECT_EQ(Cb.Selected, std::vector<AnsiString>{start});
}

INSTANTIATE_TEST_SUITE_P(Starts, TBrowseStartTest,
                         ::testing::Values(TStartCase{"Folder", "Alpha", "Alpha"},
                                           TStartCase{"Deeper", "Alpha/Inner", "Inner"},
                                           TStartCase{"TrailingDelimiter", "Gamma/", "Gamma"},
                                           TStartCase{"HiddenFolderAddedWhenAsked", ".hidden", ".hidden"}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(TBrowseTest, ExpandingReadsSubFoldersAndOkReturnsTheClickedOne) {
  std::vector<AnsiString> tops, kids, innerBefore, innerAfter;
  std::vector<int> plus;
  AnsiString statusAfterClick;
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp, [&](HWND d) {
    HWND tree = Tree(d);
    for (HTREEITEM t = Item(tree, nullptr, TVGN_ROOT); t; t = Item(tree, t, TVGN_NEXT)) tops.push_back(Text(tree, t));
    HTREEITEM top = Item(tree, nullptr, TVGN_ROOT);
    kids = Children(tree, top);
    for (HTREEITEM c = Item(tree, top, TVGN_CHILD); c; c = Item(tree, c, TVGN_NEXT)) plus.push_back(ChildrenFlag(tree, c));
    HTREEITEM alpha = Child(tree, top, "Alpha");
    innerBefore = Children(tree, alpha);
    ClickItem(tree, alpha);
    statusAfterClick = Status(d);
    InjectKeyPress(VK_RIGHT);  // opens the folder
    RunUntilIdle();
    innerAfter = Children(tree, alpha);
    ClickItem(tree, Child(tree, alpha, "Inner"));
    ClickButton(d, IDOK);
  });
  EXPECT_EQ(tops, std::vector<AnsiString>{fs::path(Tmp).filename().string()});
  // Hidden folders and files are left out; case does not order names.
  EXPECT_EQ(kids, (std::vector<AnsiString>{"Alpha", "beta", "Gamma"}));
  EXPECT_EQ(plus, (std::vector<int>{1, 0, 0}));
  EXPECT_TRUE(innerBefore.empty());
  EXPECT_EQ(innerAfter, std::vector<AnsiString>{"Inner"});
  EXPECT_EQ(statusAfterClick, Tmp + "/Alpha");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/Alpha/Inner");
  EXPECT_STREQ(DisplayName, "Inner");
}

TEST_F(TBrowseTest, VirtualTopItemCannotBeChosenForAFolder) {
  struct TCase {
    const char* Name;
    UINT Flags;
    bool Callback;
    bool OkExpected;
  } cases[] = {
      {"OnlyFolders", BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, false, false},
      {"CallbackDisablesForAnEmptyPath", BIF_NEWDIALOGSTYLE, true, false},
      {"AnyItem", BIF_NEWDIALOGSTYLE, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Cb = TBrowseLog{};
    bool okBefore = true, okOnComputer = !c.OkExpected, newFolder = true;
    HTREEITEM before = reinterpret_cast<HTREEITEM>(1);
    std::vector<AnsiString> computerKids;
    AnsiString computer;
    auto chosen = Browse(c.Flags, "", [&](HWND d) {
      HWND tree = Tree(d);
      before = Selection(d);
      okBefore = OkEnabled(d);
      HTREEITEM top = Item(tree, nullptr, TVGN_ROOT);
      computer = Text(tree, top);
      computerKids = Children(tree, top);
      ClickItem(tree, top);
      okOnComputer = OkEnabled(d);
      newFolder = IsWindowEnabled(GetDlgItem(d, rtl::detail::kBrowseNewFolderId));
      InjectKeyPress(VK_RETURN);  // nothing when OK is disabled
      InjectKeyPress(VK_ESCAPE);
    }, c.Callback);
    EXPECT_EQ(before, nullptr);  // no start folder: nothing selected
    EXPECT_FALSE(okBefore);
    EXPECT_EQ(computer, "Computer");
    EXPECT_EQ(computerKids, (std::vector<AnsiString>{"Home", "/"}));
    EXPECT_EQ(okOnComputer, c.OkExpected);
    EXPECT_FALSE(newFolder);
    if (c.OkExpected) {
      ASSERT_TRUE(chosen);
      EXPECT_EQ(*chosen, "<virtual>");
      EXPECT_STREQ(DisplayName, "Computer");
    } else {
      EXPECT_FALSE(chosen);
    }
  }
}

TEST_F(TBrowseTest, CancellingReturnsNothing) {
  struct TCase {
    const char* Name;
    std::function<void(HWND)> Drive;
  } cases[] = {
      {"Escape", [](HWND) { InjectKeyPress(VK_ESCAPE); }},
      {"CancelButton", [](HWND d) { ClickButton(d, IDCANCEL); }},
      {"CloseBox", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }},
      {"TabToCancelThenEnter",
       [](HWND) {
         InjectKeyPress(VK_TAB);  // from the tree past the disabled buttons
         InjectKeyPress(VK_RETURN);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Cb = TBrowseLog{};
    std::strcpy(DisplayName, "unchanged");
    auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, "", c.Drive);
    EXPECT_FALSE(chosen);
    EXPECT_STREQ(DisplayName, "unchanged");
  }
}

TEST_F(TBrowseTest, StartOutsideTheTreeLeavesNoSelection) {
  struct TCase {
    const char* Name;
    AnsiString Root, Start;
  } cases[] = {
      {"Missing", "", Tmp + "/missing"},
      {"AFile", "", Tmp + "/file.txt"},
      {"OutsideTheRoot", Tmp + "/Alpha", Tmp + "/beta"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Cb = TBrowseLog{};
    Cb.Start = c.Start;
    HTREEITEM selection = reinterpret_cast<HTREEITEM>(1);
    bool ok = true;
    auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, c.Root, [&](HWND d) {
      selection = Selection(d);
      ok = OkEnabled(d);
      InjectKeyPress(VK_ESCAPE);
    });
    EXPECT_EQ(selection, nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Cb.Messages, std::vector<UINT>{BFFM_INITIALIZED});
  }
}

TEST_F(TBrowseTest, RootLimitsTheTree) {
  std::vector<AnsiString> tops, kids;
  Cb.Start = Tmp + "/Alpha/Inner";
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp + "/Alpha", [&](HWND d) {
    HWND tree = Tree(d);
    for (HTREEITEM t = Item(tree, nullptr, TVGN_ROOT); t; t = Item(tree, t, TVGN_NEXT)) tops.push_back(Text(tree, t));
    kids = Children(tree, Item(tree, nullptr, TVGN_ROOT));
    ClickButton(d, IDOK);
  });
  EXPECT_EQ(tops, std::vector<AnsiString>{"Alpha"});
  EXPECT_EQ(kids, std::vector<AnsiString>{"Inner"});
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/Alpha/Inner");

  // A root that is not a folder shows nothing.
  bool shown = false;
  EXPECT_FALSE(Browse(BIF_RETURNONLYFSDIRS, Tmp + "/file.txt", [&](HWND) { shown = true; }));
  EXPECT_FALSE(shown);
}

TEST_F(TBrowseTest, CallbackSetsOkTextExpandsAndSelectsByList) {
  AnsiString okText;
  int alphaState = 0;
  HTREEITEM selection = nullptr;
  AnsiString selected;
  PIDLIST_ABSOLUTE beta = Parse(Tmp + "/beta");
  Cb.OnInit.push_back([&](HWND d) {
    SendMessageA(d, BFFM_SETOKTEXT, 0, reinterpret_cast<LPARAM>(u"Choose"));
    WideString alpha = AnsiToWide(Tmp + "/Alpha");
    SendMessageA(d, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(alpha.c_str()));
    SendMessageA(d, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(beta));
    SendMessageA(d, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(u"wide status"));
  });
  AnsiString status;
  auto chosen = Browse(BIF_RETURNONLYFSDIRS, Tmp, [&](HWND d) {
    HWND tree = Tree(d);
    okText = CtlText(GetDlgItem(d, IDOK));
    HTREEITEM alpha = Child(tree, Item(tree, nullptr, TVGN_ROOT), "Alpha");
    alphaState = static_cast<int>(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(alpha), TVIS_EXPANDED));
    selection = Selection(d);
    selected = Text(tree, selection);
    status = Status(d);
    InjectKeyPress(VK_RETURN);
  });
  ILFree(beta);
  EXPECT_EQ(okText, "Choose");
  EXPECT_EQ(alphaState, TVIS_EXPANDED);
  EXPECT_EQ(selected, "beta");
  EXPECT_EQ(status, "wide status");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/beta");
}

TEST_F(TBrowseTest, MakeNewFolderMakesAUniqueOneAndSelectsIt) {
  Cb.Start = Tmp + "/Gamma";
  std::vector<AnsiString> selectedNames;
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp, [&](HWND d) {
    HWND tree = Tree(d);
    ClickButton(d, rtl::detail::kBrowseNewFolderId);
    selectedNames.push_back(Text(tree, Selection(d)));
    SendMessageA(d, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>((Tmp + "/Gamma").c_str()));
    ClickButton(d, rtl::detail::kBrowseNewFolderId);
    selectedNames.push_back(Text(tree, Selection(d)));
    InjectKeyPress(VK_RETURN);  // keeps the name offered
    InjectKeyPress(VK_RETURN);  // chooses
  });
  EXPECT_EQ(selectedNames, (std::vector<AnsiString>{"New Folder", "New Folder (2)"}));
  EXPECT_TRUE(fs::is_directory(Tmp + "/Gamma/New Folder"));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/Gamma/New Folder (2)");

  // Without the new style there is no such button.
  bool hasButton = true;
  Browse(BIF_RETURNONLYFSDIRS, "", [&](HWND d) {
    hasButton = GetDlgItem(d, rtl::detail::kBrowseNewFolderId) != nullptr;
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(hasButton);
}

// The new folder's name is edited at once; what the user types there
// becomes the folder's name on disk, or is refused with a word and edited
// again.
struct TNameStep {
  AnsiString Typed;  // replaces the selected text of the name's edit
  UINT Key;          // ends the edit (Enter or Esc); 0: OK is clicked
};

struct TNewNameCase {
  const char* Name;
  std::vector<TNameStep> Steps;
  AnsiString Chosen;  // below Alpha
  size_t Told;        // message boxes shown
};

void PrintTo(const TNewNameCase& c, std::ostream* os) { *os << c.Name; }

class TBrowseNewNameTest : public TBrowseTest, public ::testing::WithParamInterface<TNewNameCase> {};

TEST_P(TBrowseNewNameTest, TheNewFolderIsNamedInPlace) {
  const TNewNameCase& c = GetParam();
  std::vector<AnsiString> told;
  rtl::detail::SetMessageBoxHook([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    told.push_back(text);
    return IDOK;
  });
  Cb.Start = Tmp + "/Alpha";
  bool editing = false;
  AnsiString offered, itemAfter, statusAfter;
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp, [&](HWND d) {
    HWND tree = Tree(d);
    ClickButton(d, rtl::detail::kBrowseNewFolderId);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
    editing = edit && GetFocus() == edit;
    offered = edit ? CtlText(edit) : "<no edit>";
    for (const TNameStep& step : c.Steps) {
      InjectText(step.Typed);
      if (step.Key)
        InjectKeyPress(step.Key);
      else
        InjectClick(ClientPoint(GetDlgItem(d, IDOK), 10, 10));
      RunUntilIdle();
    }
    itemAfter = Text(tree, Selection(d));
    statusAfter = Status(d);
    if (IsWindow(d) && c.Steps.back().Key) InjectKeyPress(VK_RETURN);
  });
  EXPECT_TRUE(editing);
  EXPECT_EQ(offered, "New Folder");
  EXPECT_EQ(told.size(), c.Told);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/Alpha/" + c.Chosen);
  EXPECT_EQ(itemAfter, c.Chosen);
  EXPECT_EQ(statusAfter, *chosen) << "the caller heard of the new path";
  EXPECT_TRUE(fs::is_directory(*chosen));
  EXPECT_EQ(fs::exists(Tmp + "/Alpha/New Folder"), c.Chosen == "New Folder");
  EXPECT_TRUE(fs::is_directory(Tmp + "/Alpha/Inner")) << "nothing else was renamed";
}

INSTANTIATE_TEST_SUITE_P(
    Names, TBrowseNewNameTest,
    ::testing::Values(TNewNameCase{"TypedThenEnter", {{"Reports", VK_RETURN}}, "Reports", 0},
                      TNewNameCase{"TypedThenOk", {{"Reports", 0}}, "Reports", 0},
                      TNewNameCase{"EscapeKeepsTheOfferedName", {{"Reports", VK_ESCAPE}}, "New Folder", 0},
                      TNewNameCase{"ATakenNameIsToldAndEditedAgain", {{"Inner", VK_RETURN}, {"Outer", VK_RETURN}}, "Outer", 1},
                      TNewNameCase{"ASlashIsToldAndEditedAgain", {{"a/b", VK_RETURN}, {"a-b", VK_RETURN}}, "a-b", 1}),
    [](const auto& info) { return info.param.Name; });

// Letters typed quickly in the tree find the folder they begin.
TEST_F(TBrowseTest, TypingAFoldersNameSelectsIt) {
  fs::create_directories(Tmp + "/Gallery");
  Cb.Start = Tmp + "/Alpha";
  AnsiString afterOne, afterThree;
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp, [&](HWND d) {
    InjectText("g");
    RunUntilIdle();
    afterOne = Status(d);
    rtl::testing::AdvanceClock(5000);
    InjectText("gam");
    RunUntilIdle();
    afterThree = Status(d);
    InjectKeyPress(VK_RETURN);
  });
  EXPECT_EQ(afterOne, Tmp + "/Gallery");
  EXPECT_EQ(afterThree, Tmp + "/Gamma");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/Gamma");
}

// With BIF_EDITBOX a folder can be typed: relative to the selection or
// whole; one that is not there keeps the dialog open and says so, or is
// the callback's to judge with BIF_VALIDATE.
struct TTypedFolderCase {
  const char* Name;
  UINT Flags;
  AnsiString Typed;  // "@" stands for the test's folder
  std::optional<AnsiString> Chosen;
  size_t Told;
  bool Validated;
};

void PrintTo(const TTypedFolderCase& c, std::ostream* os) { *os << c.Name; }

class TBrowseTypedFolderTest : public TBrowseTest, public ::testing::WithParamInterface<TTypedFolderCase> {};

TEST_P(TBrowseTypedFolderTest, ATypedFolderIsChosen) {
  const TTypedFolderCase& c = GetParam();
  std::vector<AnsiString> told;
  rtl::detail::SetMessageBoxHook([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    told.push_back(text);
    return IDOK;
  });
  Cb.Start = Tmp + "/Alpha";
  AnsiString shown;
  auto at = [&](const AnsiString& s) { return !s.empty() && s[0] == '@' ? Tmp + s.substr(1) : s; };
  auto chosen = Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX | c.Flags, Tmp, [&](HWND d) {
    RunUntilIdle();  // the dialog is active and its focus in place
    HWND edit = GetDlgItem(d, rtl::detail::kBrowseEditId);
    shown = edit ? CtlText(edit) : "<no edit>";
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    InjectText(at(c.Typed));
    // The dialog's own loop takes the keys: Enter is its default button.
    InjectKeyPress(VK_RETURN);
    InjectKeyPress(VK_ESCAPE);  // still open after a refusal: cancels
  });
  EXPECT_EQ(shown, "Alpha") << "the edit shows the selection";
  EXPECT_EQ(told.size(), c.Told);
  EXPECT_EQ(std::count(Cb.Messages.begin(), Cb.Messages.end(), BFFM_VALIDATEFAILEDA), c.Validated ? 1 : 0);
  EXPECT_EQ(chosen, c.Chosen ? std::optional<AnsiString>(at(*c.Chosen)) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, TBrowseTypedFolderTest,
    ::testing::Values(TTypedFolderCase{"BelowTheSelection", 0, "Inner", "@/Alpha/Inner", 0, false},
                      TTypedFolderCase{"WholePath", 0, "@/beta", "@/beta", 0, false},
                      TTypedFolderCase{"TheSelectionsOwnName", 0, "Alpha", "@/Alpha", 0, false},
                      TTypedFolderCase{"MissingIsTold", 0, "Nowhere", std::nullopt, 1, false},
                      TTypedFolderCase{"OutsideTheRootIsTold", 0, "/", std::nullopt, 1, false},
                      TTypedFolderCase{"MissingGoesToTheCallbackWhenValidated", BIF_VALIDATE, "Nowhere", std::nullopt,
                                       0, true}),
    [](const auto& info) { return info.param.Name; });

// The edit box lies between the tree and the buttons, with its label; the
// dialog has none unless the flags ask for one.
TEST_F(TBrowseTest, TheEditBoxSitsBelowTheTreeWhenAskedFor) {
  for (bool asked : {false, true}) {
    SCOPED_TRACE(asked ? "asked" : "not asked");
    Cb.Start = Tmp + "/Alpha";
    RECT tree{}, edit{}, label{}, ok{};
    bool hasEdit = false;
    Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (asked ? BIF_EDITBOX : 0), Tmp, [&](HWND d) {
      HWND e = GetDlgItem(d, rtl::detail::kBrowseEditId);
      hasEdit = e != nullptr;
      GetWindowRect(Tree(d), &tree);
      GetWindowRect(GetDlgItem(d, IDOK), &ok);
      if (e) {
        GetWindowRect(e, &edit);
        GetWindowRect(GetDlgItem(d, rtl::detail::kBrowseEditLabelId), &label);
        RunUntilIdle();
        EXPECT_TRUE(rtl::testing::SaveWindowPng(d, PictureDir() + "folder_browser_edit_box.png", true));
      }
      InjectKeyPress(VK_ESCAPE);
    });
    EXPECT_EQ(hasEdit, asked);
    if (!asked) continue;
    EXPECT_LE(tree.Bottom, edit.Top);
    EXPECT_LE(edit.Bottom, ok.Top);
    EXPECT_EQ(edit.Left, label.Right);
    EXPECT_EQ(edit.Right, tree.Right);
  }
}

TEST_F(TBrowseTest, MakeNewFolderReportsWhenItCannot) {
  std::vector<AnsiString> told;
  rtl::detail::SetMessageBoxHook([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    told.push_back(text);
    return IDOK;
  });
  Cb.Start = Tmp + "/beta";
  AnsiString after;
  Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp, [&](HWND d) {
    fs::remove(Tmp + "/beta");  // gone since it was listed
    ClickButton(d, rtl::detail::kBrowseNewFolderId);
    after = Text(Tree(d), Selection(d));
    InjectKeyPress(VK_ESCAPE);
  });
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find(Tmp + "/beta"), AnsiString::npos);
  EXPECT_EQ(after, "beta");
}

TEST_F(TBrowseTest, SelectionStaysInSightWhenTheStatusLineAppears) {
  for (int i = 0; i < 40; ++i) fs::create_directories(Tmp + "/f" + std::to_string(100 + i));
  Cb.Start = Tmp + "/f139";
  RECT item{}, tree{};
  Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, Tmp, [&](HWND d) {
    HTREEITEM sel = Selection(d);
    TreeView_GetItemRect(Tree(d), sel, &item, FALSE);
    GetClientRect(Tree(d), &tree);
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_GE(item.Top, 0);
  EXPECT_LE(item.Bottom, tree.Bottom);
}

TEST_F(TBrowseTest, SizingKeepsTheButtonsInTheCorner) {
  RECT tree1{}, tree2{}, ok2{}, client2{};
  Browse(BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, "", [&](HWND d) {
    GetWindowRect(Tree(d), &tree1);
    RECT w;
    GetWindowRect(d, &w);
    SetWindowPos(d, nullptr, 0, 0, w.Width() + 100, w.Height() + 80, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(Tree(d), &tree2);
    GetWindowRect(GetDlgItem(d, IDCANCEL), &ok2);
    GetClientRect(d, &client2);
    POINT corner(client2.Right, client2.Bottom);
    ClientToScreen(d, &corner);
    client2 = RECT(0, 0, corner.X, corner.Y);
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(tree2.Width(), tree1.Width() + 100);
  EXPECT_EQ(tree2.Height(), tree1.Height() + 80);
  EXPECT_EQ(client2.Right - ok2.Right, 11);
  EXPECT_EQ(client2.Bottom - ok2.Bottom, 11);
}

TEST_F(TBrowseTest, HookAnswersWithoutADialog) {
  std::vector<std::tuple<HWND, AnsiString, UINT>> asked;
  std::optional<AnsiString> answer = Tmp + "/Alpha/";
  rtl::detail::SetBrowseForFolderHook([&](const BROWSEINFOA& bi) {
    asked.emplace_back(bi.hwndOwner, bi.lpszTitle, bi.ulFlags);
    return answer;
  });
  bool shown = false;
  auto chosen = Browse(65, "", [&](HWND) { shown = true; });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, Tmp + "/Alpha");
  EXPECT_STREQ(DisplayName, "Alpha");
  EXPECT_FALSE(shown);

  WCHAR wideName[MAX_PATH] = {};
  BROWSEINFOW bw{};
  bw.hwndOwner = Dialog;
  bw.pszDisplayName = wideName;
  bw.lpszTitle = u"Wide title";
  bw.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bw);
  EXPECT_EQ(PathOf(pidl), Tmp + "/Alpha");
  EXPECT_EQ(WideString(wideName), u"Alpha");
  ILFree(pidl);

  answer = std::nullopt;
  EXPECT_EQ(SHBrowseForFolderW(&bw), nullptr);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0], std::make_tuple(Dialog, AnsiString("Choose the output folder:"), 65u));
  EXPECT_EQ(std::get<1>(asked[1]), "Wide title");
}

// ---- ShellExecute -------------------------------------------------------------------------

class TShellExecuteTest : public TShellTest {
 protected:
  std::vector<std::vector<AnsiString>> Spawned;
  int DbusStatus = 0;  // what the file manager's call answers

  void SetUp() override {
    TShellTest::SetUp();
    rtl::detail::SetShellSpawnHook([this](const std::vector<AnsiString>& argv) {
      Spawned.push_back(argv);
      return argv[0] == "dbus-send" ? DbusStatus : 0;
    });
  }
  static intptr_t Code(HINSTANCE h) { return reinterpret_cast<intptr_t>(h); }
};

TEST_F(TShellExecuteTest, OpensDocumentsFoldersAndAddressesWithOneArgument) {
  AnsiString odd = Tmp + "/it's \"quoted\"; rm -rf $HOME & `x`.txt";
  std::ofstream(odd) << "x";
  struct TCase {
    const char* Name;
    const char* Verb;
    AnsiString File;
    const char* Directory;
    AnsiString Expected;
  } cases[] = {
      {"Document", "Open", Tmp + "/file.txt", nullptr, Tmp + "/file.txt"},
      {"Folder", nullptr, Tmp + "/Alpha", nullptr, Tmp + "/Alpha"},
      {"RelativeToTheDirectory", "open", "file.txt", nullptr, Tmp + "/file.txt"},
      {"QuotesAndSpaces", "OPEN", odd, nullptr, odd},
      {"Address", "Open", "https://example.com/a?b=c&d=\"e\"", nullptr, "https://example.com/a?b=c&d=\"e\""},
      {"Mail", "", "mailto:someone@example.com", nullptr, "mailto:someone@example.com"},
  };
  cases[2].Directory = Tmp.c_str();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Spawned.clear();
    HINSTANCE r = ShellExecuteA(Dialog, c.Verb, c.File.c_str(), nullptr, c.Directory, SW_SHOWNORMAL);
    EXPECT_GT(Code(r), 32);
    EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", c.Expected}}));
  }
  Spawned.clear();
  WideString wide = AnsiToWide(Tmp + "/file.txt");
  EXPECT_GT(Code(ShellExecuteW(nullptr, u"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
  EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", Tmp + "/file.txt"}}));
}

TEST_F(TShellExecuteTest, ExplorerSelectShowsTheItemInTheFileManager) {
  AnsiString item = Tmp + "/a, b \"c\" 100%.txt";
  std::ofstream(item) << "x";
  const AnsiString uri = "file://" + Tmp + "/a%2C%20b%20%22c%22%20100%25.txt";
  const std::vector<AnsiString> dbus = {"dbus-send",
                                        "--session",
                                        "--print-reply",
                                        "--dest=org.freedesktop.FileManager1",
                                        "--type=method_call",
                                        "/org/freedesktop/FileManager1",
                                        "org.freedesktop.FileManager1.ShowItems",
                                        "array:string:" + uri,
                                        "string:"};
  struct TCase {
    const char* Name;
    AnsiString Parameters;
  } cases[] = {
      {"WithE", "/e, /select," + item},
      {"SelectOnly", "/select," + item},
      {"Quoted", "/select, \"" + item + "\""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Spawned.clear();
    EXPECT_GT(Code(ShellExecuteA(Dialog, "Open", "explorer.exe", c.Parameters.c_str(), nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_EQ(Spawned, std::vector<std::vector<AnsiString>>{dbus});
  }
  // No file manager answering: its folder opens instead.
  DbusStatus = 1;
  Spawned.clear();
  EXPECT_GT(Code(ShellExecuteA(Dialog, "Open", "explorer.exe", ("/e, /select," + item).c_str(), nullptr, SW_SHOWNORMAL)), 32);
  EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{dbus, {"xdg-open", Tmp}}));
  // A folder given without /select opens.
  Spawned.clear();
  EXPECT_GT(Code(ShellExecuteA(Dialog, nullptr, "explorer.exe", (Tmp + "/Alpha").c_str(), nullptr, SW_SHOWNORMAL)), 32);
  EXPECT_EQ(Spawned, (std::vector<std::vector<AnsiString>>{{"xdg-open", Tmp + "/Alpha"}}));
}

TEST_F(TShellExecuteTest, FailuresAnswerSmallCodesAndStartNothing) {
  struct TCase {
    const char* Name;
    const char* Verb;
    AnsiString File;
    AnsiString Parameters;
    intptr_t Expected;
  } cases[] = {
      {"MissingFile", "Open", Tmp + "/missing.pdf", "", SE_ERR_FNF},
      {"MissingFolder", "Open", Tmp + "/nowhere/missing.pdf", "", SE_ERR_PNF},
      {"NoFile", "Open", "", "", SE_ERR_FNF},
      {"SelectMissing", "Open", "explorer.exe", "/e, /select," + Tmp + "/missing.pdf", SE_ERR_FNF},
      {"UnknownVerb", "frobnicate", Tmp + "/file.txt", "", SE_ERR_NOASSOC},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Spawned.clear();
    HINSTANCE r = ShellExecuteA(Dialog, c.Verb, c.File.c_str(), c.Parameters.c_str(), nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(Code(r), c.Expected);
    EXPECT_TRUE(Spawned.empty());
  }
  EXPECT_EQ(Code(ShellExecuteA(Dialog, "open", nullptr, nullptr, nullptr, SW_SHOWNORMAL)), SE_ERR_FNF);
}

}  // namespace

namespace {

// Programs of our own in place of the desktop's, found along PATH.
class TShellProgramsTest : public TShellTest {
 protected:
  AnsiString Bin, OldPath;

  void SetUp() override {
    TShellTest::SetUp();
    Bin = Tmp + "/bin";
    fs::create_directories(Bin);
    const char* path = std::getenv("PATH");
    OldPath = path ? path : "";
    setenv("PATH", Bin.c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", OldPath.c_str(), 1);
    TShellTest::TearDown();
  }
  // A program that writes its arguments, one a line, to <name>.out and
  // exits with `status`.
  void Program(const AnsiString& name, int status) {
    AnsiString file = Bin + "/" + name;
    std::ofstream(file) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" << file
                        << ".tmp\" && /bin/mv \"" << file << ".tmp\" \"" << file << ".out\"\nexit " << status << "\n";
    chmod(file.c_str(), 0755);
  }
  // What a program was given once it has run (it runs on its own, so this
  // waits for its file, for ten seconds at most).
  std::vector<AnsiString> Given(const AnsiString& name) {
    AnsiString out = Bin + "/" + name + ".out";
    for (int i = 0; i < 1000 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<AnsiString> lines;
    std::ifstream in(out);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }
  static intptr_t Code(HINSTANCE h) { return reinterpret_cast<intptr_t>(h); }
};

TEST_F(TShellProgramsTest, ProgramsGetTheirArgumentsUntouched) {
  Program("xdg-open", 0);
  AnsiString odd = Tmp + "/it's \"quoted\"; echo $HOME `id` & x.txt";
  std::ofstream(odd) << "x";
  EXPECT_GT(Code(ShellExecuteA(nullptr, "open", odd.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
  EXPECT_EQ(Given("xdg-open"), std::vector<AnsiString>{odd});
}

TEST_F(TShellProgramsTest, FolderOpensWhenTheFileManagerDoesNotAnswer) {
  Program("dbus-send", 1);
  Program("xdg-open", 0);
  AnsiString item = Tmp + "/Alpha/Inner";
  EXPECT_GT(Code(ShellExecuteA(nullptr, "Open", "explorer.exe", ("/e, /select," + item).c_str(), nullptr, SW_SHOWNORMAL)), 32);
  std::vector<AnsiString> dbus = Given("dbus-send");
  ASSERT_EQ(dbus.size(), 8u);
  EXPECT_EQ(dbus[6], "array:string:file://" + item);
  EXPECT_EQ(Given("xdg-open"), std::vector<AnsiString>{Tmp + "/Alpha"});
}

TEST_F(TShellProgramsTest, NoProgramToOpenWithIsNoAssociation) {
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", (Tmp + "/file.txt").c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
            SE_ERR_NOASSOC);
  // Without dbus-send the folder opens, without xdg-open nothing can.
  EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "explorer.exe", ("/select," + Tmp + "/file.txt").c_str(), nullptr,
                               SW_SHOWNORMAL)),
            SE_ERR_NOASSOC);
}

}  // namespace
