// Dialogs from in-memory templates: what the dialog procedure hears, the
// controls and their sizes in dialog units, the dialog's own result long,
// and the modal loop that EndDialog ends.
#include <string>

#include "platform/win/user/standard_classes.h"
#include "tests/platform/win/user_test_support.h"

namespace {

using namespace user_test;
using rtl::testing::RunUntilIdle;

// Writes a template as resources store it.
class TTemplateWriter {
  std::vector<WORD> W;
  bool Ex;
  void Dword(DWORD d) {
    W.push_back(static_cast<WORD>(d & 0xFFFF));
    W.push_back(static_cast<WORD>(d >> 16));
  }
  void Str(const std::string& s) {
    for (char c : s) W.push_back(static_cast<WORD>(static_cast<unsigned char>(c)));
    W.push_back(0);
  }
  void Align() {
    if (W.size() % 2) W.push_back(0);
  }

 public:
  TTemplateWriter(bool ex, DWORD style, int count, RECT r, const std::string& title) : Ex(ex) {
    if (ex) {
      W = {1, 0xFFFF};
      Dword(0);      // help id
      Dword(0);      // extended style
      Dword(style);
    } else {
      Dword(style);
      Dword(0);
    }
    W.push_back(static_cast<WORD>(count));
    for (int v : {r.Left, r.Top, r.Width(), r.Height()}) W.push_back(static_cast<WORD>(v));
    W.push_back(0);  // no menu
    W.push_back(0);  // the dialog class
    Str(title);
    if (style & DS_SETFONT) {
      W.push_back(8);
      if (ex) {
        W.push_back(FW_NORMAL);
        W.push_back(0);  // italic, character set
      }
      Str("MS Shell Dlg");
    }
  }
  void Item(DWORD style, RECT r, WORD id, WORD classAtom, const std::string& text) {
    Align();
    if (Ex) {
      Dword(0);
      Dword(0);
      Dword(style);
    } else {
      Dword(style);
      Dword(0);
    }
    for (int v : {r.Left, r.Top, r.Width(), r.Height()}) W.push_back(static_cast<WORD>(v));
    if (Ex)
      Dword(id);
    else
      W.push_back(id);
    W.push_back(0xFFFF);
    W.push_back(classAtom);
    Str(text);
    W.push_back(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(W.data()); }
};

std::vector<std::pair<UINT, WPARAM>> g_dlgMsgs;
LPARAM g_initParam = 0;

INT_PTR CALLBACK_Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_INITDIALOG:
      g_dlgMsgs.emplace_back(m, w);
      g_initParam = l;
      return TRUE;
    case WM_USER + 1:
      SetWindowLongPtrA(h, DWLP_MSGRESULT, 77);
      return TRUE;
    case WM_COMMAND:
      g_dlgMsgs.emplace_back(m, w);
      if (LOWORD(w) == IDOK) EndDialog(h, 42);
      return TRUE;
  }
  return FALSE;
}

class UserDialogTemplateTest : public TUserTest {
 protected:
  void SetUp() override {
    TUserTest::SetUp();
    rtl::detail::RegisterStandardControlClasses();
    g_dlgMsgs.clear();
    g_initParam = 0;
  }
};

TEST_F(UserDialogTemplateTest, ModelessDialogBuildsItsControlsAndInitialises) {
  for (bool ex : {false, true}) {
    TTemplateWriter t(ex, WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 2, RECT(10, 10, 210, 110), "Options");
    t.Item(WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, RECT(150, 80, 200, 94), IDOK, 0x80, "OK");
    t.Item(WS_VISIBLE | WS_TABSTOP | WS_BORDER, RECT(10, 10, 110, 24), 100, 0x81, "text");
    g_dlgMsgs.clear();
    HWND dlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, CALLBACK_Proc, 1234);
    ASSERT_NE(dlg, nullptr) << ex;
    Created.push_back(dlg);
    char cls[16];
    GetClassNameA(dlg, cls, sizeof cls);
    EXPECT_STREQ(cls, "#32770");
    EXPECT_TRUE(IsWindowVisible(dlg));
    HWND ok = GetDlgItem(dlg, IDOK);
    HWND edit = GetDlgItem(dlg, 100);
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(g_dlgMsgs.size(), 1u);
    EXPECT_EQ(g_dlgMsgs[0], std::make_pair(static_cast<UINT>(WM_INITDIALOG), reinterpret_cast<WPARAM>(ok)));
    EXPECT_EQ(g_initParam, 1234);
    EXPECT_EQ(GetFocus(), ok);  // WM_INITDIALOG said TRUE
    char text[16];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "text");
    // The edit is where its dialog units say, in the dialog's font.
    RECT want(10, 10, 110, 24);
    MapDialogRect(dlg, &want);
    RECT got;
    GetWindowRect(edit, &got);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got, want) << ex;
    EXPECT_EQ(SendMessageA(edit, WM_GETFONT, 0, 0), SendMessageA(dlg, WM_GETFONT, 0, 0));
    // A handled message answers through DWLP_MSGRESULT.
    EXPECT_EQ(SendMessageA(dlg, WM_USER + 1, 0, 0), 77);
    DestroyWindow(dlg);
  }
}

TEST_F(UserDialogTemplateTest, ModalDialogRunsUntilEndDialogAndGivesItsResult) {
  HWND owner = MakeTop(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT(100, 100, 500, 400));
  TTemplateWriter t(false, WS_POPUP | WS_CAPTION | DS_SETFONT | DS_CENTER, 1, RECT(0, 0, 200, 100), "Ask");
  t.Item(WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, RECT(150, 80, 200, 94), IDOK, 0x80, "OK");
  // Enter presses the default button once the loop runs.
  rtl::testing::InjectKeyPress(VK_RETURN);
  INT_PTR r = DialogBoxIndirectParamA(nullptr, t.Get(), owner, CALLBACK_Proc, 0);
  EXPECT_EQ(r, 42);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowA("#32770", "Ask"), nullptr);
  EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(UserDialogTemplateTest, EndDialogInInitDialogNeverShows) {
  TTemplateWriter t(false, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, RECT(0, 0, 100, 50), "Gone");
  INT_PTR r = DialogBoxIndirectParamA(
      nullptr, t.Get(), nullptr,
      [](HWND h, UINT m, WPARAM, LPARAM) -> INT_PTR {
        if (m == WM_INITDIALOG) EndDialog(h, 7);
        if (m == WM_SHOWWINDOW) ADD_FAILURE() << "shown";
        return FALSE;
      },
      0);
  EXPECT_EQ(r, 7);
  EXPECT_EQ(DialogBoxParamA(nullptr, "NOSUCH", nullptr, CALLBACK_Proc, 0), -1);
}

}  // namespace
