// The common dialogs driven as a user would: the open dialog over a folder
// of a few files (navigation, types, Shift and Ctrl selection, typed
// names and paths, refusals, cancelling, the caller's buffer), the colour
// and font dialogs chosen and cancelled, and the scripted answers.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/win/comdlg/commdlg.h"
#include "tests/common/pictures.h"
#include "tests/platform/win/ctl_test_support.h"

namespace {

using namespace ctl_test;
namespace fs = std::filesystem;

// A folder with folders first and files of mixed case, a hidden file and a
// text file:  Sub/inner.pdf, zeta/, Alpha.pdf, beta.PDF, gamma.txt, .hidden.pdf
class TTempFolder {
 public:
  AnsiString Root;
  TTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "comdlg-XXXXXX").string();
    Root = mkdtemp(pattern.data());
    fs::create_directory(Root + "/Sub");
    fs::create_directory(Root + "/zeta");
    for (const char* f : {"Alpha.pdf", "beta.PDF", "gamma.txt", ".hidden.pdf", "Sub/inner.pdf"})
      std::ofstream(Root + "/" + f) << "%PDF";
  }
  ~TTempFolder() { fs::remove_all(Root); }
};

const char kFilter[] = "PDF Files\0*.pdf\0All Files\0*.*\0";

// What GetOpenFileName gave back, decoded.
struct TOpenResult {
  BOOL Ok = FALSE;
  DWORD Error = 0;
  std::vector<AnsiString> Parts;  // the NUL-separated strings of the buffer
  DWORD FilterIndex = 0;
  WORD FileOffset = 0;
  WORD FileExtension = 0;
  std::vector<char> Buffer;
};

// A dialog that the input left open is cancelled once the queue is empty
// (timers come after input), so that a failing test never blocks.
inline bool& Guarded() {
  static bool guarded = false;
  return guarded;
}

inline void Guard(HWND box) {
  Guarded() = false;
  if (!IsWindow(box)) return;
  SetTimer(box, 0xC0DE, 1, [](HWND h, UINT, UINT_PTR id, DWORD) {
    KillTimer(h, id);
    Guarded() = true;
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  rtl::testing::AdvanceClock(10);
}

class OpenDialogTest : public TCtlTest {
 protected:
  TTempFolder Folder;
  HWND Box = nullptr;  // the dialog while it runs
  bool OwnerEnabledWhileShown = true;
  std::vector<AnsiString> Messages;  // message boxes the dialog showed
  int BoxAnswer = IDOK;

  void SetUp() override {
    TCtlTest::SetUp();
    rtl::detail::SetMessageBoxHook([this](HWND owner, const AnsiString& text, const AnsiString&, UINT) {
      EXPECT_EQ(owner, Box) << "a refusal is owned by the dialog";
      Messages.push_back(text);
      return BoxAnswer;
    });
  }

  void TearDown() override {
    rtl::detail::SetCommonDialogShownHook(nullptr);
    rtl::detail::SetMessageBoxHook(nullptr);
    rtl::detail::SetOpenFileHook(nullptr);
    TCtlTest::TearDown();
  }

  TOpenResult Open(DWORD flags, std::function<void(HWND)> drive, DWORD filterIndex = 1, size_t bufferSize = 4096,
                   const char* initial = "") {
    rtl::detail::SetCommonDialogShownHook([this, drive](HWND box) {
      Box = box;
      OwnerEnabledWhileShown = IsWindowEnabled(Dialog);
      RunUntilIdle();
      drive(box);
      Guard(box);
    });
    TOpenResult r;
    r.Buffer.assign(bufferSize, '\0');
    std::strncpy(r.Buffer.data(), initial, bufferSize - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Dialog;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = filterIndex;
    ofn.lpstrFile = r.Buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(bufferSize);
    ofn.lpstrInitialDir = Folder.Root.c_str();
    ofn.Flags = flags | OFN_EXPLORER;
    r.Ok = GetOpenFileNameA(&ofn);
    r.Error = CommDlgExtendedError();
    r.FilterIndex = ofn.nFilterIndex;
    r.FileOffset = ofn.nFileOffset;
    r.FileExtension = ofn.nFileExtension;
    if (r.Ok)
      for (const char* p = r.Buffer.data(); *p; p += std::strlen(p) + 1) r.Parts.push_back(p);
    return r;
  }

  static HWND List(HWND box) { return GetDlgItem(box, lst1); }

  static std::vector<AnsiString> Items(HWND box) {
    std::vector<AnsiString> r;
    HWND l = List(box);
    int n = static_cast<int>(SendMessageA(l, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char t[256] = {};
      SendMessageA(l, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(t));
      r.push_back(t);
    }
    return r;
  }

  static int IndexOf(HWND box, const AnsiString& item) {
    auto items = Items(box);
    auto it = std::find(items.begin(), items.end(), item);
    EXPECT_NE(it, items.end()) << item;
    return static_cast<int>(it - items.begin());
  }

  // Clicks an item of the list (twice for a double click), away in time
  // from the click before.
  static void ClickItem(HWND box, const AnsiString& item, UINT modifier = 0, bool twice = false) {
    RECT r;
    SendMessageA(List(box), LB_GETITEMRECT, static_cast<WPARAM>(IndexOf(box, item)), reinterpret_cast<LPARAM>(&r));
    rtl::testing::AdvanceClock(1000);
    if (modifier) InjectKey(modifier, true);
    InjectClick(ClientPoint(List(box), 10, r.Top + 2));
    if (twice) InjectClick(ClientPoint(List(box), 10, r.Top + 2));
    if (modifier) InjectKey(modifier, false);
    RunUntilIdle();
  }

  static void ClickButton(HWND box, int id) {
    InjectClick(ClientPoint(GetDlgItem(box, id), 5, 5));
    RunUntilIdle();
  }

  static AnsiString Look(HWND box) { return CtlText(GetDlgItem(box, stc1)); }
  static AnsiString Name(HWND box) { return CtlText(GetDlgItem(box, edt1)); }
};

TEST_F(OpenDialogTest, ListsFoldersFirstThenTheFilesOfTheType) {
  std::vector<AnsiString> pdf, all;
  AnsiString look, title;
  TOpenResult r = Open(OFN_FILEMUSTEXIST, [&](HWND box) {
    title = CtlText(box);
    look = Look(box);
    pdf = Items(box);
    // The type list is a drop-down list: Down chooses the next type.
    SetFocus(GetDlgItem(box, cmb1));
    Press(VK_DOWN);
    all = Items(box);
    ClickItem(box, "gamma.txt");
    InjectKeyPress(VK_RETURN);
  });
  EXPECT_EQ(title, "Open");
  EXPECT_EQ(look, Folder.Root);
  EXPECT_EQ(pdf, (std::vector<AnsiString>{"Sub/", "zeta/", "Alpha.pdf", "beta.PDF"}))
      << "patterns match without regard to case; hidden files stay out";
  EXPECT_EQ(all, (std::vector<AnsiString>{"Sub/", "zeta/", "Alpha.pdf", "beta.PDF", "gamma.txt"}));
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root + "/gamma.txt"}));
  EXPECT_EQ(r.FilterIndex, 2u) << "the type in force at the end";
  EXPECT_EQ(r.FileOffset, Folder.Root.size() + 1);
  EXPECT_EQ(r.FileExtension, Folder.Root.size() + 1 + 6);
  EXPECT_FALSE(OwnerEnabledWhileShown);
  EXPECT_TRUE(IsWindowEnabled(Dialog));
  EXPECT_FALSE(IsWindow(Box));
}


TEST_F(OpenDialogTest, DoubleClickOpensAFolderAndUpComesBack) {
  AnsiString inSub, back;
  std::vector<AnsiString> subItems;
  bool upEnabled = false;
  TOpenResult r = Open(OFN_FILEMUSTEXIST, [&](HWND box) {
    ClickItem(box, "Sub/", 0, true);
    inSub = Look(box);
    subItems = Items(box);
    upEnabled = IsWindowEnabled(GetDlgItem(box, psh1));
    ClickButton(box, psh1);
    back = Look(box);
    ClickItem(box, "beta.PDF");
    ClickButton(box, IDOK);
  });
  EXPECT_EQ(inSub, Folder.Root + "/Sub");
  EXPECT_EQ(subItems, (std::vector<AnsiString>{"inner.pdf"}));
  EXPECT_TRUE(upEnabled);
  EXPECT_EQ(back, Folder.Root);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root + "/beta.PDF"}));
}

TEST_F(OpenDialogTest, KeyboardOnlyEnterOpensAFolderBackspaceGoesUp) {
  TOpenResult r = Open(OFN_FILEMUSTEXIST, [&](HWND box) {
    SetFocus(List(box));
    for (UINT k : {VK_DOWN, VK_RETURN, VK_BACK, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) InjectKeyPress(k);
  });
  EXPECT_FALSE(Guarded());
  ASSERT_TRUE(r.Ok);
  // Into Sub and back, then the third item: folders Sub/ and zeta/ come first.
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root + "/Alpha.pdf"}));
}

struct TTypedCase {
  const char* Name;
  std::vector<AnsiString> Typed;  // each followed by Enter; "@" stands for the folder
  AnsiString Result;              // relative to the folder
};

class OpenDialogTypedTest : public OpenDialogTest, public ::testing::WithParamInterface<TTypedCase> {};

TEST_P(OpenDialogTypedTest, TypedNamesAndPaths) {
  const TTypedCase& c = GetParam();
  TOpenResult r = Open(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, [&](HWND) {
    for (AnsiString t : c.Typed) {
      if (t[0] == '@') t = Folder.Root + t.substr(1);
      InjectText(t);
      InjectKeyPress(VK_RETURN);
    }
  });
  EXPECT_TRUE(Messages.empty()) << Messages[0];
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root + c.Result}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, OpenDialogTypedTest,
    ::testing::Values(TTypedCase{"Plain", {"Alpha.pdf"}, "/Alpha.pdf"},
                      TTypedCase{"RelativePath", {"Sub/inner.pdf"}, "/Sub/inner.pdf"},
                      TTypedCase{"AbsolutePath", {"@/beta.PDF"}, "/beta.PDF"},
                      TTypedCase{"DotsResolved", {"@/Sub/../gamma.txt"}, "/gamma.txt"},
                      TTypedCase{"FolderThenName", {"Sub", "inner.pdf"}, "/Sub/inner.pdf"},
                      TTypedCase{"AbsoluteFolderThenUpward", {"@/zeta/", "../Alpha.pdf"}, "/Alpha.pdf"}),
    [](const auto& info) { return info.param.Name; });

TEST_F(OpenDialogTest, ShiftAndCtrlSelectSeveralFilesInListOrder) {
  std::vector<AnsiString> names;
  TOpenResult r = Open(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, [&](HWND box) {
    ClickItem(box, "Sub/");
    ClickItem(box, "beta.PDF", VK_SHIFT);
    names.push_back(Name(box));  // the folders of the range stay out
    ClickItem(box, "Alpha.pdf");
    ClickItem(box, "gamma.txt", VK_SHIFT);
    names.push_back(Name(box));
    ClickItem(box, "beta.PDF", VK_CONTROL);
    names.push_back(Name(box));
    InjectKeyPress(VK_RETURN);
  }, 2);
  EXPECT_EQ(names, (std::vector<AnsiString>{"\"Alpha.pdf\" \"beta.PDF\"", "\"Alpha.pdf\" \"beta.PDF\" \"gamma.txt\"",
                                            "\"Alpha.pdf\" \"gamma.txt\""}));
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root, "Alpha.pdf", "gamma.txt"}));
  EXPECT_EQ(r.FileOffset, Folder.Root.size() + 1);
  EXPECT_EQ(r.FileExtension, 0);
}

TEST_F(OpenDialogTest, ASingleChoiceOfAMultiSelectionIsTheFullPath) {
  TOpenResult r = Open(OFN_ALLOWMULTISELECT, [&](HWND box) {
    ClickItem(box, "Alpha.pdf");
    InjectKeyPress(VK_RETURN);
  });
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root + "/Alpha.pdf"}));
}

// Names may hold quotes, which the name edit also uses to list several
// names: what the list chose comes back exactly, and so does a name typed
// whole.
struct TExactNamesCase {
  const char* Name;
  std::vector<AnsiString> Clicked;  // the first alone, the others with Ctrl
  AnsiString Typed;                 // typed instead when there is no click
  std::vector<AnsiString> Parts;    // "@" stands for the folder
};

void PrintTo(const TExactNamesCase& c, std::ostream* os) { *os << c.Name; }

class OpenDialogExactNamesTest : public OpenDialogTest, public ::testing::WithParamInterface<TExactNamesCase> {};

TEST_P(OpenDialogExactNamesTest, NamesWithQuotesComeBackExactly) {
  const TExactNamesCase& c = GetParam();
  for (const char* f : {"say \"hi\".pdf", "\"quoted\".pdf"}) std::ofstream(Folder.Root + "/" + f) << "%PDF";
  TOpenResult r = Open(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, [&](HWND box) {
    for (size_t i = 0; i < c.Clicked.size(); ++i) ClickItem(box, c.Clicked[i], i == 0 ? 0 : VK_CONTROL);
    if (c.Clicked.empty()) {
      SetFocus(GetDlgItem(box, edt1));
      InjectText(c.Typed);
    }
    InjectKeyPress(VK_RETURN);
  });
  EXPECT_TRUE(Messages.empty()) << Messages[0];
  ASSERT_TRUE(r.Ok);
  std::vector<AnsiString> want;
  for (const AnsiString& p : c.Parts) want.push_back(p[0] == '@' ? Folder.Root + p.substr(1) : p);
  EXPECT_EQ(r.Parts, want);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OpenDialogExactNamesTest,
    ::testing::Values(
        TExactNamesCase{"OneClicked", {"say \"hi\".pdf"}, "", {"@/say \"hi\".pdf"}},
        TExactNamesCase{"SeveralClickedInListOrder",
                        {"say \"hi\".pdf", "\"quoted\".pdf", "Alpha.pdf"},
                        "",
                        {"@", "\"quoted\".pdf", "Alpha.pdf", "say \"hi\".pdf"}},
        TExactNamesCase{"OneTypedWhole", {}, "say \"hi\".pdf", {"@/say \"hi\".pdf"}},
        TExactNamesCase{"SeveralTypedWithDoubledQuotes",
                        {},
                        "\"say \"\"hi\"\".pdf\" \"\"\"quoted\"\".pdf\" \"beta.PDF\"",
                        {"@", "say \"hi\".pdf", "\"quoted\".pdf", "beta.PDF"}}),
    [](const auto& info) { return info.param.Name; });

// Folders and names far beyond the old path limit, chosen in the list.
TEST_F(OpenDialogTest, PathsLongerThanTheOldLimitComeBackWhole) {
  AnsiString deep = Folder.Root;
  while (deep.size() < 1500) deep += "/a-folder-name-of-some-length-" + std::to_string(deep.size());
  fs::create_directories(deep.c_str());
  const AnsiString first = AnsiString(150, 'n') + ".pdf", second = "z-" + AnsiString(200, 'm') + ".pdf";
  for (const AnsiString& f : {first, second}) std::ofstream(deep + "/" + f) << "%PDF";
  const AnsiString start = deep + "/";
  for (bool several : {false, true}) {
    SCOPED_TRACE(several ? "several" : "one");
    TOpenResult r = Open(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, [&](HWND box) {
      SetFocus(List(box));
      InjectKeyPress(VK_HOME);
      if (several) {
        InjectKey(VK_SHIFT, true);
        InjectKeyPress(VK_END);
        InjectKey(VK_SHIFT, false);
      }
      InjectKeyPress(VK_RETURN);
    }, 1, 8192, start.c_str());
    ASSERT_TRUE(r.Ok);
    if (several)
      EXPECT_EQ(r.Parts, (std::vector<AnsiString>{deep, first, second}));
    else
      EXPECT_EQ(r.Parts, (std::vector<AnsiString>{deep + "/" + first}));
  }
}

struct TRefusalCase {
  const char* Name;
  DWORD Flags;
  AnsiString Typed;
  AnsiString Message;  // what the box says after the name; "" when accepted
};

class OpenDialogRefusalTest : public OpenDialogTest, public ::testing::WithParamInterface<TRefusalCase> {};

TEST_P(OpenDialogRefusalTest, MissingFilesAndFolders) {
  const TRefusalCase& c = GetParam();
  TOpenResult r = Open(c.Flags, [&](HWND) {
    InjectText(c.Typed);
    InjectKeyPress(VK_RETURN);
    InjectKeyPress(VK_ESCAPE);  // still open after a refusal: cancels
  });
  if (c.Message.empty()) {
    EXPECT_TRUE(Messages.empty());
    ASSERT_TRUE(r.Ok);
    EXPECT_EQ(r.Parts, (std::vector<AnsiString>{Folder.Root + "/" + c.Typed}));
    return;
  }
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0], c.Typed + "\n" + c.Message);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, 0u);
  EXPECT_FALSE(Guarded());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, OpenDialogRefusalTest,
    ::testing::Values(
        TRefusalCase{"FileMustExist", OFN_FILEMUSTEXIST, "missing.pdf", "File not found.\nCheck the file name and try again."},
        TRefusalCase{"PathMustExist", OFN_PATHMUSTEXIST, "nowhere/x.pdf", "Path does not exist.\nCheck the path and try again."},
        TRefusalCase{"FileMustExistNamesTheFolderToo", OFN_FILEMUSTEXIST, "nowhere/x.pdf",
                     "Path does not exist.\nCheck the path and try again."},
        TRefusalCase{"NothingAskedAcceptsANewName", 0, "new.pdf", ""}),
    [](const auto& info) { return info.param.Name; });

struct TCancelCase {
  const char* Name;
  std::function<void(HWND)> Drive;
};

class OpenDialogCancelTest : public OpenDialogTest, public ::testing::WithParamInterface<TCancelCase> {};

TEST_P(OpenDialogCancelTest, CancelledIsFalseWithoutError) {
  TOpenResult r = Open(OFN_FILEMUSTEXIST, [&](HWND box) {
    ClickItem(box, "Alpha.pdf");
    GetParam().Drive(box);
  });
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, 0u);
  EXPECT_FALSE(Guarded());
  EXPECT_EQ(r.Buffer[0], '\0') << "the buffer is left alone";
  EXPECT_TRUE(IsWindowEnabled(Dialog));
  EXPECT_FALSE(IsWindow(Box));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, OpenDialogCancelTest,
    ::testing::Values(TCancelCase{"Escape", [](HWND) { InjectKeyPress(VK_ESCAPE); }},
                      TCancelCase{"CancelButton", [](HWND box) { InjectClick(ClientPoint(GetDlgItem(box, IDCANCEL), 5, 5)); }},
                      TCancelCase{"CloseBox", [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); }}),
    [](const auto& info) { return info.param.Name; });

TEST_F(OpenDialogTest, TooSmallABufferSaysHowMuchItNeeds) {
  TOpenResult r = Open(OFN_FILEMUSTEXIST, [&](HWND box) {
    ClickItem(box, "Alpha.pdf");
    InjectKeyPress(VK_RETURN);
  }, 1, 12);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Error, static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  WORD need = 0;
  std::memcpy(&need, r.Buffer.data(), sizeof need);
  EXPECT_EQ(need, Folder.Root.size() + std::strlen("/Alpha.pdf") + 1);
}

TEST_F(OpenDialogTest, AGivenPathStartsInItsFolderWithItsName) {
  AnsiString look, name;
  AnsiString initial = Folder.Root + "/Sub/inner.pdf";
  TOpenResult r = Open(OFN_FILEMUSTEXIST, [&](HWND box) {
    look = Look(box);
    name = Name(box);
    InjectKeyPress(VK_RETURN);
  }, 1, 4096, initial.c_str());
  EXPECT_EQ(look, Folder.Root + "/Sub");
  EXPECT_EQ(name, "inner.pdf");
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Parts, (std::vector<AnsiString>{initial}));
}

TEST_F(OpenDialogTest, SizingMovesTheChildrenWithTheEdges) {
  RECT list0{}, list1{}, ok0{}, ok1{};
  RECT client{};
  DWORD style = 0;
  Open(OFN_ENABLESIZING, [&](HWND box) {
    style = static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE));
    GetWindowRect(List(box), &list0);
    GetWindowRect(GetDlgItem(box, IDOK), &ok0);
    RECT w;
    GetWindowRect(box, &w);
    SetWindowPos(box, nullptr, 0, 0, w.Width() + 200, w.Height() + 100, SWP_NOMOVE | SWP_NOZORDER);
    RunUntilIdle();
    GetWindowRect(List(box), &list1);
    GetWindowRect(GetDlgItem(box, IDOK), &ok1);
    GetClientRect(box, &client);
    // Smaller than at the start is refused.
    SetWindowPos(box, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    RunUntilIdle();
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_EQ(list1.Width() - list0.Width(), 200);
  EXPECT_EQ(list1.Height() - list0.Height(), 100);
  EXPECT_EQ(ok1.Left - ok0.Left, 200);
  EXPECT_EQ(ok1.Top - ok0.Top, 100);
  DWORD fixed = 0;
  Open(0, [&](HWND box) {
    fixed = static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE));
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(fixed & WS_THICKFRAME);
}

TEST_F(OpenDialogTest, SaveAsksBeforeReplacingAndAddsTheDefaultExtension) {
  auto save = [&](const char* typed, int answer, AnsiString& title, AnsiString& button) {
    BoxAnswer = answer;
    Messages.clear();
    rtl::detail::SetCommonDialogShownHook([&](HWND box) {
      Box = box;
      title = CtlText(box);
      button = CtlText(GetDlgItem(box, IDOK));
      InjectText(typed);
      InjectKeyPress(VK_RETURN);
      if (answer == IDNO) InjectKeyPress(VK_ESCAPE);
      Guard(box);
    });
    char buffer[1024] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = sizeof buffer;
    ofn.lpstrInitialDir = Folder.Root.c_str();
    ofn.lpstrDefExt = "pdf";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    return GetSaveFileNameA(&ofn) ? AnsiString(buffer) : AnsiString();
  };
  AnsiString title, button;
  EXPECT_EQ(save("Alpha", IDNO, title, button), "") << "kept open, then cancelled";
  EXPECT_EQ(Messages, (std::vector<AnsiString>{"Alpha.pdf already exists.\nDo you want to replace it?"}));
  EXPECT_EQ(title, "Save As");
  EXPECT_EQ(button, "&Save");
  EXPECT_EQ(save("Alpha.pdf", IDYES, title, button), Folder.Root + "/Alpha.pdf");
  EXPECT_EQ(save("report", IDYES, title, button), Folder.Root + "/report.pdf");
  EXPECT_TRUE(Messages.empty());
}

// ---- Scripted answers and the caller's record ----------------------------------------

TEST_F(OpenDialogTest, TheHookSeesTheRequestAndItsAnswerFillsTheRecord) {
  rtl::detail::TOpenFileRequest seen;
  rtl::detail::SetOpenFileHook([&](const rtl::detail::TOpenFileRequest& q) {
    seen = q;
    rtl::detail::TOpenFileAnswer a;
    a.Cancel = false;
    a.Files = {"/data/b.pdf", "/data/a.pdf", "/elsewhere/c.pdf"};
    a.FilterIndex = 2;
    return a;
  });
  std::vector<char> buffer(200, 'x');
  std::strcpy(buffer.data(), "start.pdf");
  char title[8];
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Dialog;
  ofn.lpstrFilter = "PDF Files\0*.pdf;*.PDF\0All Files\0*.*\0Broken\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = 200;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = sizeof title;
  ofn.lpstrInitialDir = "/data";
  ofn.lpstrTitle = "Add Files";
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER;
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(seen.Owner, Dialog);
  EXPECT_EQ(seen.Filters, (std::vector<std::pair<AnsiString, AnsiString>>{{"PDF Files", "*.pdf;*.PDF"}, {"All Files", "*.*"}}))
      << "a description without patterns is dropped";
  EXPECT_EQ(seen.FilterIndex, 1u);
  EXPECT_EQ(seen.InitialDir, "/data");
  EXPECT_EQ(seen.FileName, "start.pdf");
  EXPECT_EQ(seen.Title, "Add Files");
  EXPECT_FALSE(seen.Save);
  // The folder of the first, the names in the answer's order; a file of
  // another folder keeps its path.
  const char expected[] = "/data\0b.pdf\0a.pdf\0/elsewhere/c.pdf\0";
  EXPECT_EQ(std::string(buffer.data(), sizeof expected), std::string(expected, sizeof expected));
  EXPECT_EQ(ofn.nFileOffset, 6);
  EXPECT_EQ(ofn.nFilterIndex, 2u);
  EXPECT_STREQ(title, "b.pdf") << "cut to the title buffer";
  // Without multi-select only the first counts.
  ofn.Flags = 0;
  ofn.lpstrFileTitle = nullptr;
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(buffer.data(), "/data/b.pdf");
  EXPECT_EQ(ofn.nFileOffset, 6);
  EXPECT_EQ(ofn.nFileExtension, 8);
}

TEST_F(OpenDialogTest, BadRecordsFailWithTheirErrors) {
  bool asked = false;
  rtl::detail::SetOpenFileHook([&](const rtl::detail::TOpenFileRequest&) {
    asked = true;
    return rtl::detail::TOpenFileAnswer{};
  });
  char buffer[10] = {};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn - 1;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFile = nullptr;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_INITIALIZATION));
  EXPECT_FALSE(asked);
  ofn.lpstrFile = buffer;
  EXPECT_FALSE(GetOpenFileNameA(&ofn)) << "cancelled";
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_TRUE(asked);
}

TEST_F(OpenDialogTest, TheWideRecordCountsInUtf16Units) {
  rtl::detail::TOpenFileRequest seen;
  rtl::detail::SetOpenFileHook([&](const rtl::detail::TOpenFileRequest& q) {
    seen = q;
    rtl::detail::TOpenFileAnswer a;
    a.Cancel = false;
    a.Files = {"/d\xC3\xA9j\xC3\xA0/r\xC3\xA9sum\xC3\xA9.pdf", "/d\xC3\xA9j\xC3\xA0/x.pdf"};
    return a;
  });
  std::vector<char16_t> buffer(64, u'x');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = u"Documents \u00E9crits\0*.pdf\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = 64;
  buffer[0] = 0;
  ofn.Flags = OFN_ALLOWMULTISELECT;
  ASSERT_TRUE(GetOpenFileNameW(&ofn));
  ASSERT_EQ(seen.Filters.size(), 1u);
  EXPECT_EQ(seen.Filters[0].first, "Documents \xC3\xA9" "crits");
  const char16_t expected[] = u"/d\u00E9j\u00E0\0r\u00E9sum\u00E9.pdf\0x.pdf\0";
  EXPECT_EQ(std::u16string(buffer.data(), std::size(expected)), std::u16string(expected, std::size(expected)));
  EXPECT_EQ(ofn.nFileOffset, 6);
  EXPECT_EQ(ofn.nFilterIndex, 1u);
  // Too small: the size needed in characters.
  ofn.nMaxFile = 10;
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  EXPECT_EQ(static_cast<WORD>(buffer[0]), std::size(expected));
}

// ---- Colour ------------------------------------------------------------------------------

class ColorDialogTest : public OpenDialogTest {
 protected:
  COLORREF Custom[16] = {};

  BOOL Choose(CHOOSECOLORA& cc, std::function<void(HWND)> drive) {
    rtl::detail::SetCommonDialogShownHook([this, drive](HWND box) {
      Box = box;
      OwnerEnabledWhileShown = IsWindowEnabled(Dialog);
      RunUntilIdle();
      drive(box);
      Guard(box);
    });
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = Dialog;
    cc.lpCustColors = Custom;
    return ChooseColorA(&cc);
  }

  // The centre of a cell of a grid of 8 columns.
  static POINT Cell(HWND grid, int i) {
    RECT r;
    GetClientRect(grid, &r);
    int w = r.Width() / 8, h = w * 22 / 26;
    return ClientPoint(grid, (i % 8) * w + w / 2, (i / 8) * h + h / 2);
  }
};

TEST_F(ColorDialogTest, InitialColourIsPreselectedAndArrowsMoveOn) {
  CHOOSECOLORA cc{};
  cc.rgbResult = RGB(255, 0, 0);  // the first of the second row
  cc.Flags = CC_RGBINIT;
  BOOL ok = Choose(cc, [](HWND) {
    InjectKeyPress(VK_RIGHT);
    InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_RETURN);
  });
  EXPECT_FALSE(Guarded());
  ASSERT_TRUE(ok);
  EXPECT_EQ(cc.rgbResult, RGB(255, 128, 64)) << "one right, one down from red";
  EXPECT_FALSE(OwnerEnabledWhileShown);
}

TEST_F(ColorDialogTest, ClickedCellIsTheResultAndTheSwatchShowsIt) {
  CHOOSECOLORA cc{};
  COLORREF swatch = 0;
  BOOL ok = Choose(cc, [&](HWND box) {
    InjectClick(Cell(GetDlgItem(box, ctl1), 28));
    RunUntilIdle();
    RECT r;
    GetClientRect(GetDlgItem(box, ctl3), &r);
    swatch = rtl::testing::WindowPixel(GetDlgItem(box, ctl3), r.Width() / 2, r.Height() / 2);
    InjectClick(ClientPoint(GetDlgItem(box, IDOK), 5, 5));
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(cc.rgbResult, RGB(0, 0, 255));
  EXPECT_EQ(swatch, RGB(0, 0, 255));
}

TEST_F(ColorDialogTest, CancelKeepsTheColour) {
  CHOOSECOLORA cc{};
  cc.rgbResult = RGB(1, 2, 3);
  cc.Flags = CC_RGBINIT;
  BOOL ok = Choose(cc, [](HWND) {
    InjectKeyPress(VK_RIGHT);
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(cc.rgbResult, RGB(1, 2, 3));
}

TEST_F(ColorDialogTest, DefinedColourGoesToTheCustomColours) {
  Custom[0] = RGB(9, 9, 9);
  CHOOSECOLORA cc{};
  bool valuesHidden = false, valuesShown = false;
  BOOL ok = Choose(cc, [&](HWND box) {
    valuesHidden = !IsWindowVisible(GetDlgItem(box, edt2));
    InjectClick(ClientPoint(GetDlgItem(box, psh2), 5, 5));
    RunUntilIdle();
    valuesShown = IsWindowVisible(GetDlgItem(box, edt2));
    for (int id : {edt2, edt3, edt4}) {
      SetFocus(GetDlgItem(box, id));
      SendMessageA(GetDlgItem(box, id), EM_SETSEL, 0, -1);
      Type(id == edt2 ? "10" : id == edt3 ? "20" : "300");
    }
    InjectClick(ClientPoint(GetDlgItem(box, psh1), 5, 5));
    InjectClick(ClientPoint(GetDlgItem(box, IDOK), 5, 5));
  });
  EXPECT_TRUE(valuesHidden);
  EXPECT_TRUE(valuesShown);
  ASSERT_TRUE(ok);
  EXPECT_EQ(cc.rgbResult, RGB(10, 20, 255)) << "values are cut to 255";
  EXPECT_EQ(Custom[0], RGB(10, 20, 255));
}

// ---- Font --------------------------------------------------------------------------------

class FontDialogTest : public ColorDialogTest {
 protected:
  BOOL ChooseFontWith(CHOOSEFONTA& cf, std::function<void(HWND)> drive) {
    rtl::detail::SetCommonDialogShownHook([this, drive](HWND box) {
      Box = box;
      RunUntilIdle();
      drive(box);
      Guard(box);
    });
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = Dialog;
    return ChooseFontA(&cf);
  }

  static AnsiString Selected(HWND list) {
    int i = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    char t[LF_FACESIZE * 2] = {};
    if (i >= 0) SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(t));
    return t;
  }
};

TEST_F(FontDialogTest, InitialFontIsShownAndTheChoiceComesBack) {
  LOGFONTA lf{};
  std::strcpy(lf.lfFaceName, "liberation serif");  // any case
  lf.lfHeight = -16;  // 12 points at 96 dpi
  lf.lfItalic = 1;
  lf.lfCharSet = DEFAULT_CHARSET;
  CHOOSEFONTA cf{};
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  cf.rgbColors = RGB(128, 0, 0);
  AnsiString face, style, size;
  BOOL ok = ChooseFontWith(cf, [&](HWND box) {
    // Inside the Effects group, beside its check boxes: the dialog's face.
    EXPECT_EQ(rtl::testing::WindowPixel(box, 12, 240), GetSysColor(COLOR_BTNFACE));
    face = Selected(GetDlgItem(box, lst1));
    style = Selected(GetDlgItem(box, lst2));
    size = Selected(GetDlgItem(box, lst3));
    HWND styles = GetDlgItem(box, lst2);
    RECT r;
    SendMessageA(styles, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    InjectClick(ClientPoint(styles, 5, r.Top + 2));
    InjectClick(ClientPoint(GetDlgItem(box, chx2), 5, 5));
    RunUntilIdle();
    InjectKeyPress(VK_RETURN);
  });
  EXPECT_EQ(face, "Liberation Serif");
  EXPECT_EQ(style, "Italic");
  EXPECT_EQ(size, "12");
  ASSERT_TRUE(ok);
  EXPECT_STREQ(lf.lfFaceName, "Liberation Serif");
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfHeight, -16);
  EXPECT_EQ(cf.iPointSize, 120);
  EXPECT_EQ(cf.nFontType & (BOLD_FONTTYPE | ITALIC_FONTTYPE), BOLD_FONTTYPE | ITALIC_FONTTYPE);
  EXPECT_EQ(cf.rgbColors, RGB(128, 0, 0));
}

TEST_F(FontDialogTest, CancelLeavesTheFontAlone) {
  LOGFONTA lf{};
  std::strcpy(lf.lfFaceName, "Liberation Sans");
  lf.lfHeight = -13;
  CHOOSEFONTA cf{};
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  bool noEffects = false;
  BOOL ok = ChooseFontWith(cf, [&](HWND box) {
    noEffects = GetDlgItem(box, chx1) == nullptr;
    InjectKeyPress(VK_DOWN);
    InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_TRUE(noEffects);
  EXPECT_STREQ(lf.lfFaceName, "Liberation Sans");
  EXPECT_EQ(lf.lfHeight, -13);
}

TEST_F(FontDialogTest, SizesOutsideTheLimitsFail) {
  LOGFONTA lf{};
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.lpLogFont = &lf;
  cf.Flags = CF_LIMITSIZE;
  cf.nSizeMin = 20;
  cf.nSizeMax = 10;
  EXPECT_FALSE(ChooseFontA(&cf));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CFERR_MAXLESSTHANMIN));
}

// The three dialogs are dialogs of the dialog class, and EndDialog ends
// each of them as a cancel, giving the owner back its input.
TEST_F(FontDialogTest, CommonDialogsAreDialogsThatEndDialogEnds) {
  const char* names[] = {"open", "color", "font"};
  for (const char* name : names) {
    AnsiString cls;
    bool ownerEnabled = true;
    auto drive = [&](HWND box) {
      char c[32];
      GetClassNameA(box, c, sizeof c);
      cls = c;
      ownerEnabled = IsWindowEnabled(Dialog);
      EXPECT_TRUE(rtl::testing::SaveWindowPng(box, PictureDir() + "common_dialog_" + name + ".png", true));
      EXPECT_TRUE(EndDialog(box, IDOK));
    };
    BOOL ok = FALSE;
    CHOOSECOLORA cc{};
    LOGFONTA lf{};
    CHOOSEFONTA cf{};
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS;
    if (name == names[0])
      ok = Open(0, drive).Ok;
    else if (name == names[1])
      ok = Choose(cc, drive);
    else
      ok = ChooseFontWith(cf, drive);
    EXPECT_FALSE(Guarded()) << name;
    EXPECT_EQ(cls, "#32770") << name;
    EXPECT_FALSE(ownerEnabled) << name;
    EXPECT_FALSE(ok) << name;
    EXPECT_EQ(CommDlgExtendedError(), 0u) << name;
    EXPECT_TRUE(IsWindowEnabled(Dialog)) << name;
    EXPECT_FALSE(IsWindow(Box)) << name;
  }
}

}  // namespace
