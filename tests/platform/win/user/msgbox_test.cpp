// The message box: the answering hook, and real boxes driven by injected
// keys and clicks (buttons of every type, the default button, Esc, Tab and
// arrows, underlined letters), its owner kept disabled while it runs, and
// text wrapped to the screen.
#include <cstdlib>
#include <functional>

#include "tests/platform/win/ctl_test_support.h"
#include "tests/common/pictures.h"

namespace {

using namespace ctl_test;

struct TBoxSeen {
  HWND Box = nullptr;
  AnsiString Caption;
  std::vector<AnsiString> Buttons;
  AnsiString DefaultButton;
  AnsiString Focused;
  bool OwnerEnabled = true;
  bool HasIcon = false;
  RECT Window{};
  RECT TextRect{};
};

class MessageBoxTest : public TCtlTest {
 protected:
  TBoxSeen Seen;

  void TearDown() override {
    rtl::detail::SetMessageBoxShownHook(nullptr);
    rtl::detail::SetMessageBoxHook(nullptr);
    TCtlTest::TearDown();
  }

  // Shows a box; `drive` injects input once it is up.
  int Show(const char* text, const char* caption, UINT type, std::function<void(HWND)> drive) {
    rtl::detail::SetMessageBoxShownHook([this, drive](HWND box) {
      Seen.Box = box;
      Seen.Caption = CtlText(box);
      Seen.OwnerEnabled = IsWindowEnabled(Dialog);
      GetWindowRect(box, &Seen.Window);
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(c, cls, sizeof cls);
        DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
        if (std::string(cls) == "BUTTON") {
          Seen.Buttons.push_back(CtlText(c));
          if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) Seen.DefaultButton = CtlText(c);
        } else if ((style & SS_TYPEMASK) == SS_ICON) {
          Seen.HasIcon = SendMessageA(c, STM_GETICON, 0, 0) != 0;
        } else {
          GetWindowRect(c, &Seen.TextRect);
        }
      }
      Seen.Focused = CtlText(GetFocus());
      drive(box);
    });
    return MessageBoxA(Dialog, text, caption, type);
  }
};

TEST_F(MessageBoxTest, HookAnswersWithoutABox) {
  std::vector<std::tuple<HWND, AnsiString, AnsiString, UINT>> asked;
  rtl::detail::SetMessageBoxHook([&](HWND o, const AnsiString& t, const AnsiString& c, UINT type) {
    asked.emplace_back(o, t, c, type);
    return IDYES;
  });
  EXPECT_EQ(MessageBoxA(Dialog, "Are you sure?", "Title", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, u"Conversion is complete.", nullptr, MB_OK | MB_ICONINFORMATION), IDYES);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], std::make_tuple(Dialog, AnsiString("Are you sure?"), AnsiString("Title"),
                                      static_cast<UINT>(MB_YESNO | MB_ICONQUESTION)));
  EXPECT_EQ(std::get<1>(asked[1]), "Conversion is complete.");
  EXPECT_EQ(std::get<2>(asked[1]), "Error");  // no caption given
}

struct TBoxCase {
  const char* Name;
  UINT Type;
  std::vector<AnsiString> Buttons;
  AnsiString Default;
  std::vector<UINT> Keys;  // pressed once the box is up
  int Result;
};

class MessageBoxKeyTest : public MessageBoxTest, public ::testing::WithParamInterface<TBoxCase> {};

TEST_P(MessageBoxKeyTest, ButtonsDefaultAndKeys) {
  const TBoxCase& c = GetParam();
  int r = Show("Text", "Caption", c.Type, [&](HWND) {
    for (UINT k : c.Keys) InjectKeyPress(k);
  });
  EXPECT_EQ(r, c.Result);
  EXPECT_EQ(Seen.Buttons, c.Buttons);
  EXPECT_EQ(Seen.DefaultButton, c.Default);
  EXPECT_EQ(Seen.Focused, c.Default);
  EXPECT_EQ(Seen.Caption, "Caption");
  EXPECT_FALSE(IsWindow(Seen.Box));
}

INSTANTIATE_TEST_SUITE_P(
    Types, MessageBoxKeyTest,
    ::testing::Values(
        TBoxCase{"OkEnter", MB_OK, {"OK"}, "OK", {VK_RETURN}, IDOK},
        TBoxCase{"OkEscape", MB_OK, {"OK"}, "OK", {VK_ESCAPE}, IDOK},
        TBoxCase{"OkCancelEscape", MB_OKCANCEL, {"OK", "Cancel"}, "OK", {VK_ESCAPE}, IDCANCEL},
        TBoxCase{"YesNoSecondDefault", MB_YESNO | MB_DEFBUTTON2, {"&Yes", "&No"}, "&No", {VK_RETURN}, IDNO},
        TBoxCase{"YesNoEscapeDoesNothingThenLetter", MB_YESNO, {"&Yes", "&No"}, "&Yes", {VK_ESCAPE, 'N'}, IDNO},
        TBoxCase{"YesNoCancelTab", MB_YESNOCANCEL, {"&Yes", "&No", "Cancel"}, "&Yes", {VK_TAB, VK_RETURN}, IDNO},
        TBoxCase{"AbortRetryIgnoreArrows", MB_ABORTRETRYIGNORE, {"&Abort", "&Retry", "&Ignore"}, "&Abort",
                 {VK_RIGHT, VK_RIGHT, VK_RETURN}, IDIGNORE},
        TBoxCase{"RetryCancelLeftWraps", MB_RETRYCANCEL, {"&Retry", "Cancel"}, "&Retry", {VK_LEFT, VK_RETURN},
                 IDCANCEL},
        TBoxCase{"CancelTryContinueSpace", MB_CANCELTRYCONTINUE | MB_DEFBUTTON3,
                 {"Cancel", "&Try Again", "&Continue"}, "&Continue", {VK_SPACE}, IDCONTINUE},
        TBoxCase{"DefaultBeyondTheButtonsIsTheFirst", MB_OKCANCEL | MB_DEFBUTTON4, {"OK", "Cancel"}, "OK",
                 {VK_RETURN}, IDOK}),
    [](const auto& info) { return info.param.Name; });

TEST_F(MessageBoxTest, ClickedButtonAnswersAndTheOwnerWaitsDisabled) {
  int before = rtl::testing::BeepCount();
  int r = Show("Are you sure?", "Remove", MB_YESNO | MB_ICONQUESTION, [](HWND box) {
    HWND no = GetDlgItem(box, IDNO);
    InjectClick(ClientPoint(no, 10, 10));
  });
  EXPECT_EQ(r, IDNO);
  EXPECT_FALSE(Seen.OwnerEnabled);
  EXPECT_TRUE(IsWindowEnabled(Dialog));
  EXPECT_TRUE(Seen.HasIcon);
  EXPECT_EQ(rtl::testing::BeepCount() - before, 1);
  // Centred over the owner.
  RECT owner;
  GetWindowRect(Dialog, &owner);
  EXPECT_NEAR((Seen.Window.Left + Seen.Window.Right) / 2, (owner.Left + owner.Right) / 2, 1);
}

TEST_F(MessageBoxTest, CloseBoxFollowsEscape) {
  int r = Show("x", "c", MB_OKCANCEL, [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
  EXPECT_EQ(r, IDCANCEL);
  HWND seenBox = nullptr;
  r = Show("x", "c", MB_YESNO, [&](HWND box) {
    seenBox = box;
    PostMessageA(box, WM_CLOSE, 0, 0);  // ignored: Yes/No cannot be cancelled
    InjectKeyPress('Y');
  });
  EXPECT_EQ(r, IDYES);
}

TEST_F(MessageBoxTest, LongTextWrapsToTheScreen) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "Conversion is complete. ";
  Show(text.c_str(), "Long", MB_OK | MB_ICONINFORMATION, [](HWND) { InjectKeyPress(VK_RETURN); });
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromPoint(POINT(0, 0), MONITOR_DEFAULTTOPRIMARY), &mi);
  EXPECT_LE(Seen.Window.Width(), mi.rcWork.Width());
  EXPECT_GT(Seen.TextRect.Height(), 3 * 13);  // several lines
  EXPECT_GE(Seen.Window.Left, mi.rcWork.Left);
  EXPECT_LE(Seen.Window.Right, mi.rcWork.Right);
}

// The box is a dialog of the dialog class: it answers DM_GETDEFID with
// its default button, and EndDialog ends it with the result given, as a
// click on a button would.
TEST_F(MessageBoxTest, TheBoxIsADialogThatEndDialogEnds) {
  AnsiString cls;
  LRESULT defId = 0;
  int answer = Show("Replace the file?", "PDF Batch", MB_YESNO | MB_DEFBUTTON2, [&](HWND box) {
    char name[32];
    GetClassNameA(box, name, sizeof name);
    cls = name;
    defId = SendMessageA(box, DM_GETDEFID, 0, 0);
    EXPECT_TRUE(EndDialog(box, IDYES));
  });
  EXPECT_EQ(cls, "#32770");
  EXPECT_EQ(defId, MAKELRESULT(IDNO, DC_HASDEFID));
  EXPECT_EQ(answer, IDYES);
  EXPECT_FALSE(IsWindow(Seen.Box));
  EXPECT_TRUE(IsWindowEnabled(Dialog)) << "the owner takes input again";
}

TEST_F(MessageBoxTest, PictureOfABox) {
  AnsiString path = PictureDir() + "message_box.png";
  bool saved = false;
  Show("Conversion is complete. Do you want to open the output folder?", "PDF Batch",
       MB_YESNOCANCEL | MB_ICONQUESTION, [&](HWND box) {
         RunUntilIdle();
         saved = rtl::testing::SaveWindowPng(box, path, true);
         InjectKeyPress(VK_ESCAPE);
       });
  EXPECT_TRUE(saved);
}

}  // namespace
