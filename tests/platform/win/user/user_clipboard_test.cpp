// The clipboard (text, file lists both ways, registered formats, owners,
// the viewer chain) and files dropped from the desktop.
#include <cstring>

#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::ExternalClipboardData;
using rtl::testing::SetExternalClipboard;

class UserClipboardTest : public TUserTest {
 protected:
  HWND Owner = nullptr;
  void SetUp() override {
    TUserTest::SetUp();
    Owner = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  }
  static HGLOBAL Wide(const WideString& s) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (s.size() + 1) * sizeof(WCHAR));
    auto* p = static_cast<WCHAR*>(GlobalLock(h));
    std::memcpy(p, s.c_str(), (s.size() + 1) * sizeof(WCHAR));
    GlobalUnlock(h);
    return h;
  }
  static std::string Narrow(UINT format) {
    HANDLE h = GetClipboardData(format);
    if (!h) return "<none>";
    std::string s(static_cast<const char*>(GlobalLock(h)));
    GlobalUnlock(h);
    return s;
  }
  static std::vector<AnsiString> Files(HDROP drop) {
    std::vector<AnsiString> r;
    UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
      std::string name(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
      name.resize(DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size())));
      r.push_back(name);
    }
    return r;
  }
};

TEST_F(UserClipboardTest, TextGoesOutWithLinuxLineEndsAndComesBackInAnyTextFormat) {
  ASSERT_TRUE(OpenClipboard(Owner));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, Wide(u"Gr\u00FC\u00DFe\r\nline two"));
  EXPECT_EQ(Narrow(CF_TEXT), "Gr\xC3\xBC\xC3\x9F" "e\r\nline two");
  ASSERT_TRUE(CloseClipboard());
  std::string out;
  ASSERT_TRUE(ExternalClipboardData("text/plain;charset=utf-8", out));
  EXPECT_EQ(out, "Gr\xC3\xBC\xC3\x9F" "e\nline two");
  EXPECT_EQ(GetClipboardOwner(), Owner);
  // Another application's text, read in the three text formats.
  SetExternalClipboard({{"text/plain", "x\ny"}});
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  ASSERT_TRUE(OpenClipboard(Owner));
  EXPECT_EQ(Narrow(CF_TEXT), "x\r\ny");
  HANDLE w = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(WideString(static_cast<const WCHAR*>(GlobalLock(w))), u"x\r\ny");
  GlobalUnlock(w);
  CloseClipboard();
}

TEST_F(UserClipboardTest, FileListsFromEitherLinuxFormat) {
  std::string longName = "/tmp/" + std::string(300, 'n') + ".pdf";
  struct TCase {
    std::vector<std::pair<AnsiString, std::string>> Content;
    std::vector<AnsiString> Files;
    DWORD Effect;
  } cases[] = {
      {{{"x-special/gnome-copied-files", "cut\nfile:///tmp/a%20b.pdf\nfile:///tmp/c.pdf"}},
       {"/tmp/a b.pdf", "/tmp/c.pdf"},
       2},
      {{{"text/uri-list", "# from a file manager\r\nfile://" + longName + "\r\nhttp://example.org/x\r\n"}},
       {longName},
       5},
  };
  UINT effectFormat = RegisterClipboardFormatA("Preferred DropEffect");
  for (const TCase& c : cases) {
    SetExternalClipboard(c.Content);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    ASSERT_TRUE(OpenClipboard(Owner));
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(Files(drop), c.Files);
    HANDLE effect = GetClipboardData(effectFormat);
    ASSERT_NE(effect, nullptr);
    DWORD value = 0;
    std::memcpy(&value, GlobalLock(effect), sizeof value);
    GlobalUnlock(effect);
    EXPECT_EQ(value, c.Effect);
    CloseClipboard();
  }
}

TEST_F(UserClipboardTest, FileListsGoOutInBothLinuxFormats) {
  // A drop block of two files, as an application puts it there.
  WideString list = u"/home/u/My Files/a.pdf";
  list.push_back(u'\0');
  list += u"/tmp/\u00E9.pdf";
  list.push_back(u'\0');
  list.push_back(u'\0');
  HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * 2);
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.data(), list.size() * 2);
  GlobalUnlock(h);
  ASSERT_TRUE(OpenClipboard(Owner));
  EmptyClipboard();
  SetClipboardData(CF_HDROP, h);
  CloseClipboard();
  std::string uris, copied;
  ASSERT_TRUE(ExternalClipboardData("text/uri-list", uris));
  EXPECT_EQ(uris, "file:///home/u/My%20Files/a.pdf\r\nfile:///tmp/%C3%A9.pdf\r\n");
  ASSERT_TRUE(ExternalClipboardData("x-special/gnome-copied-files", copied));
  EXPECT_EQ(copied, "copy\nfile:///home/u/My%20Files/a.pdf\nfile:///tmp/%C3%A9.pdf");
}

TEST_F(UserClipboardTest, RegisteredFormatsRoundTrip) {
  UINT fmt = RegisterClipboardFormatA("PdfBatch Settings");
  EXPECT_EQ(RegisterClipboardFormatA("pdfbatch settings"), fmt);
  char name[64];
  EXPECT_EQ(GetClipboardFormatNameA(fmt, name, sizeof name), 17);
  EXPECT_STREQ(name, "PdfBatch Settings");
  ASSERT_TRUE(OpenClipboard(Owner));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(h), "abc", 3);
  GlobalUnlock(h);
  SetClipboardData(fmt, h);
  CloseClipboard();
  // Another instance of the application offers the same format.
  std::string bytes;
  ASSERT_TRUE(ExternalClipboardData("application/x-pdfbatch-format;name=PdfBatch Settings", bytes));
  SetExternalClipboard({{"application/x-pdfbatch-format;name=PdfBatch Settings", bytes}});
  ASSERT_TRUE(OpenClipboard(Owner));
  HANDLE got = GetClipboardData(fmt);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(GlobalSize(got), 3u);
  EXPECT_EQ(std::memcmp(GlobalLock(got), "abc", 3), 0);
  GlobalUnlock(got);
  CloseClipboard();
}

TEST_F(UserClipboardTest, OpeningOwningAndErrors) {
  HWND other = MakeTop(WS_POPUP, RECT(0, 0, 10, 10));
  SetLastError(0);
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  ASSERT_TRUE(OpenClipboard(Owner));
  EXPECT_FALSE(OpenClipboard(other));
  EXPECT_EQ(GetOpenClipboardWindow(), Owner);
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAlloc(GPTR, 2));
  CloseClipboard();
  Log.Clear();
  ASSERT_TRUE(OpenClipboard(other));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(Log.Count(WM_DESTROYCLIPBOARD, Owner), 1);
  EXPECT_EQ(GetClipboardOwner(), other);
  DWORD seq = GetClipboardSequenceNumber();
  SetExternalClipboard({{"text/plain", "z"}});
  EXPECT_GT(GetClipboardSequenceNumber(), seq);
  EXPECT_EQ(Log.Count(WM_DESTROYCLIPBOARD, other), 1);
}

// A viewer that passes clipboard news along the chain, as viewers must.
HWND g_next[2] = {nullptr, nullptr};
HWND g_viewers[2] = {nullptr, nullptr};

LRESULT ViewerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Record(h, m, w, l);
  int me = h == g_viewers[0] ? 0 : 1;
  if (m == WM_DRAWCLIPBOARD) {
    if (g_next[me]) SendMessageA(g_next[me], m, w, l);
    return 0;
  }
  if (m == WM_CHANGECBCHAIN) {
    if (reinterpret_cast<HWND>(w) == g_next[me])
      g_next[me] = reinterpret_cast<HWND>(l);
    else if (g_next[me])
      SendMessageA(g_next[me], m, w, l);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

TEST_F(UserClipboardTest, ViewerChainHearsOfEveryChange) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.lpszClassName = "UserTestViewer";
  RegisterClassA(&wc);
  g_viewers[0] = Make(0, "UserTestViewer", WS_POPUP, RECT(0, 0, 1, 1));
  g_viewers[1] = Make(0, "UserTestViewer", WS_POPUP, RECT(0, 0, 1, 1));
  HWND first = g_viewers[0], second = g_viewers[1];
  Log.Clear();
  g_next[0] = SetClipboardViewer(first);
  g_next[1] = SetClipboardViewer(second);
  EXPECT_EQ(g_next[1], first);
  // Each hears once on joining (before it knows the next viewer).
  EXPECT_EQ(Log.Count(WM_DRAWCLIPBOARD, first), 1);
  EXPECT_EQ(Log.Count(WM_DRAWCLIPBOARD, second), 1);
  Log.Clear();
  SetExternalClipboard({{"text/plain", "news"}});
  EXPECT_TRUE(MatchesSequence(Log.Items, {TExpected{WM_DRAWCLIPBOARD, second, false, std::nullopt}, TExpected{WM_DRAWCLIPBOARD, first, false, std::nullopt}}));
  // The first leaves: the second hears of it and keeps the chain whole.
  Log.Clear();
  ChangeClipboardChain(first, g_next[0]);
  EXPECT_EQ(Log.Count(WM_CHANGECBCHAIN, second), 1);
  EXPECT_EQ(g_next[1], g_next[0]);
  ChangeClipboardChain(second, g_next[1]);
  EXPECT_EQ(GetClipboardViewer(), g_next[1]);
}

class UserDropTest : public TUserTest {};

TEST_F(UserDropTest, DroppedFilesReachTheAcceptingWindowWithFullNames) {
  HWND top = MakeTop(WS_POPUP | WS_VISIBLE, RECT(100, 100, 400, 400));
  HWND panel = MakeChild(top, WS_VISIBLE, RECT(10, 10, 200, 200));
  HWND inner = MakeChild(panel, WS_VISIBLE, RECT(10, 10, 50, 50));
  DragAcceptFiles(panel, TRUE);
  std::string longName = "/srv/" + std::string(400, 'x') + ".pdf";
  Log.Clear();
  rtl::testing::InjectFileDrop(POINT(125, 125), {"/tmp/one.pdf", longName});  // over `inner`
  rtl::testing::RunUntilIdle();
  auto drops = Log.For(panel);
  const TLogged* drop = nullptr;
  for (const TLogged& l : drops)
    if (l.Msg == WM_DROPFILES) drop = &l;
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(Log.Count(WM_DROPFILES, inner), 0);
  // The handle went with the message; the test's log holds it until here.
  HDROP h = reinterpret_cast<HDROP>(drop->WParam);
  EXPECT_EQ(DragQueryFileA(h, 0xFFFFFFFF, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileA(h, 1, nullptr, 0), longName.size());
  std::string name(longName.size() + 1, '\0');
  EXPECT_EQ(DragQueryFileA(h, 1, name.data(), static_cast<UINT>(name.size())), longName.size());
  EXPECT_EQ(name.c_str(), longName);
  WCHAR wide[16];
  EXPECT_EQ(DragQueryFileW(h, 0, wide, 16), 12u);
  EXPECT_EQ(WideString(wide), u"/tmp/one.pdf");
  POINT p;
  EXPECT_TRUE(DragQueryPoint(h, &p));
  EXPECT_EQ(p, POINT(15, 15));
  DragFinish(h);
  // Nobody accepts over the top-level window itself: nothing arrives.
  Log.Clear();
  rtl::testing::InjectFileDrop(POINT(350, 350), {"/tmp/two.pdf"});
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(Log.Count(WM_DROPFILES), 0);
}

}  // namespace
