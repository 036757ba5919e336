#include "grid/nx_button_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/nx_popup_control.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_test_seams.h"
#include "platform/testing/uxtheme_recording.h"
#include "tests/common/pictures.h"
#include "tests/grid/form_test_support.h"

namespace {

using rtl::testing::ClientPoint;

class NxButtonEdit : public FormTest {
 protected:
  void AfterFormFreed() override { rtl::testing::SetScreens({}); }
  template <class T>
  T* Add(Integer Top) {
    auto* E = Place<T>(10, Top, 200, 22);
    Pump();
    return E;
  }
  static void Click(HWND H, Integer X, Integer Y) {
    rtl::testing::InjectClick(ClientPoint(H, X, Y));
    Pump();
    rtl::testing::AdvanceClock(2000);
  }
  static void Keys(std::initializer_list<UINT> Held, UINT Key) {
    for (UINT K : Held) rtl::testing::InjectKey(K, true);
    rtl::testing::InjectKeyPress(Key);
    for (UINT K : Held) rtl::testing::InjectKey(K, false);
    Pump();
  }
};

TEST_F(NxButtonEdit, PressOnTheButtonAndReleaseAnywhere) {
  auto* E = Add<TNxButtonEdit>(10);
  std::vector<std::string> Log;
  E->OnButtonDown = [&](TObject*) { Log.push_back("down"); };
  E->OnButtonClick = [&](TObject*) { Log.push_back("click"); };
  HWND B = E->Button()->Handle();
  rtl::testing::InjectMouseMove(ClientPoint(B, 5, 5));
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, ClientPoint(B, 5, 5));
  Pump();
  EXPECT_TRUE(E->Button()->Down());
  EXPECT_TRUE(E->Focused());
  rtl::testing::InjectMouseMove(ClientPoint(B, 150, 120));
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, ClientPoint(B, 150, 120));
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"down", "click"}));
  EXPECT_FALSE(E->Button()->Down());
}

TEST_F(NxButtonEdit, DisableTypingKeepsTheTextButMovesTheCaret) {
  auto* E = Add<TNxButtonEdit>(10);
  E->SetOptions({epDisableTyping});
  E->SetText("abc");
  E->SetFocus();
  E->SetSelStart(3);
  Pump();
  rtl::testing::InjectText("xy");
  Keys({}, VK_BACK);
  Keys({}, VK_LEFT);
  EXPECT_EQ(E->SelStart(), 2);
  Keys({}, VK_DELETE);
  EXPECT_EQ(E->Text(), "abc");
  E->SetOptions({});
  Keys({}, VK_DELETE);
  EXPECT_EQ(E->Text(), "ab");
}

TEST_F(NxButtonEdit, DisablePasteIgnoresCtrlV) {
  auto* E = Add<TNxButtonEdit>(10);
  for (bool Disabled : {true, false}) {
    SCOPED_TRACE(Disabled);
    rtl::testing::SetExternalClipboard({{"text/plain", "zz"}});
    E->SetOptions(Disabled ? TNxEditOptions{epDisablePaste} : TNxEditOptions{});
    E->SetText("a");
    E->SetFocus();
    E->SetSelStart(1);
    Pump();
    Keys({VK_CONTROL}, 'V');
    EXPECT_EQ(E->Text(), Disabled ? "a" : "azz");
  }
}

TEST_F(NxButtonEdit, ThemedButtonStates) {
  TRecordingTheme Theme;
  Pump();
  ASSERT_TRUE(IsThemed());
  auto* E = Add<TNxButtonEdit>(10);
  TNxSmallButton* B = E->Button();
  ASSERT_NE(B->Theme(), nullptr);
  auto LastState = [&] {
    Theme.Calls.clear();
    B->Repaint();
    Pump();
    auto Calls = Theme.CallsOf("DrawThemeBackground");
    return Calls.empty() ? -1 : Calls.back().Part * 100 + Calls.back().State;
  };
  EXPECT_EQ(LastState(), 101);
  B->SetHover(true);
  EXPECT_EQ(LastState(), 102);
  B->SetDown(true);
  EXPECT_EQ(LastState(), 103);
  E->SetEnabled(false);
  EXPECT_EQ(LastState(), 104);
}

TEST_F(NxButtonEdit, ThemeHandleFollowsTheStyleSwitch) {
  auto* E = Add<TNxPopupEdit>(10);
  EXPECT_EQ(E->Button()->Theme(), nullptr);
  {
    TRecordingTheme Theme;
    Pump();
    ASSERT_NE(E->Button()->Theme(), nullptr);
    E->Button()->Repaint();
    Pump();
    auto Calls = Theme.CallsOf("DrawThemeBackground");
    ASSERT_FALSE(Calls.empty());
    EXPECT_EQ(Calls.back().ClassList, u"combobox");
  }
  Pump();
  EXPECT_EQ(E->Button()->Theme(), nullptr);
}

// Classic: the pressed execute button is a flat shadow-framed box, the
// raised one a push button; the combo arrow changes when pushed.
TEST_F(NxButtonEdit, ClassicButtonsDrawTheirFrameControlStates) {
  ASSERT_FALSE(IsThemed());
  auto* E = Add<TNxButtonEdit>(10);
  HWND B = E->Button()->Handle();
  E->Button()->SetDown(true);
  E->Button()->Repaint();
  EXPECT_EQ(rtl::testing::WindowPixel(B, 0, 0), GetSysColor(COLOR_BTNSHADOW));
  E->Button()->SetDown(false);
  E->Button()->Repaint();
  EXPECT_EQ(rtl::testing::WindowPixel(B, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));

  auto* P = Add<TNxPopupEdit>(50);
  HWND D = P->Button()->Handle();
  auto Pixels = [&] {
    P->Button()->Repaint();
    std::vector<COLORREF> All;
    for (int Y = 0; Y < P->Button()->Height(); ++Y)
      for (int X = 0; X < P->Button()->Width(); ++X) All.push_back(rtl::testing::WindowPixel(D, X, Y));
    return All;
  };
  const std::vector<COLORREF> Up = Pixels();
  P->Button()->SetDown(true);
  EXPECT_NE(Pixels(), Up);
  P->Button()->SetDown(false);
  P->SetEnabled(false);
  EXPECT_NE(Pixels(), Up);
}

// ---- Popup placement -------------------------------------------------------------

TEST_F(NxButtonEdit, PopupPlacementInTheWorkArea) {
  rtl::testing::TScreen S;
  S.Bounds = {0, 0, 1000, 800};
  S.WorkArea = {100, 0, 1000, 760};
  S.Primary = true;
  rtl::testing::SetScreens({S});
  auto* E = Add<TNxPopupEdit>(10);
  const Integer OwnerHeight = E->Height();
  struct Case {
    const char* Name;
    Integer X, Y, W, H;
    Integer ExpectX, ExpectY;
  };
  const Case Cases[] = {
      {"below", 300, 200, 150, 100, 300, 200},
      {"above past the bottom", 300, 700, 150, 100, 300, 700 - 100 - OwnerHeight},
      {"past the right edge", 950, 200, 150, 100, 850, 200},
      {"left of the work area", 50, 200, 150, 100, 100, 200},
      // Larger than the work area: the rules as they stand, without failing.
      {"larger than the work area", 300, 200, 1200, 900, -200, 200 - 900 - OwnerHeight},
  };
  TNxPopupControl* P = E->Popup();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    P->SetBounds(0, 0, C.W, C.H);
    P->Popup(C.X, C.Y);
    Pump();
    RECT R{};
    GetWindowRect(P->Handle(), &R);
    EXPECT_EQ(R.Left, C.ExpectX);
    EXPECT_EQ(R.Top, C.ExpectY);
    EXPECT_TRUE(IsWindowVisible(P->Handle()));
    P->Hide();
    Pump();
    EXPECT_FALSE(IsWindowVisible(P->Handle()));
  }
}

// A popup whose owner is no popup edit just hides.
TEST_F(NxButtonEdit, PopupOfAnotherOwnerHides) {
  auto* Owner = Add<TNxEdit>(10);
  auto* P = new TNxPopupControl(Owner);
  P->SetBounds(0, 0, 100, 50);
  int Hides = 0;
  P->OnHide = [&](TObject*) { ++Hides; };
  P->Popup(200, 200);
  Pump();
  EXPECT_TRUE(P->Shown());
  P->Hide();
  Pump();
  EXPECT_FALSE(P->Shown());
  EXPECT_FALSE(IsWindowVisible(P->Handle()));
  EXPECT_EQ(Hides, 1);
}

TEST_F(NxButtonEdit, PopupEditWithoutPopupNeverFails) {
  struct TNoPopupEdit : TNxPopupEdit {
    explicit TNoPopupEdit(TComponent* AOwner) : TNxPopupEdit(AOwner, 0) { Init(); }
    void CreatePopup() override {}
  };
  auto* E = Add<TNoPopupEdit>(10);
  EXPECT_EQ(E->Popup(), nullptr);
  E->SetDroppedDown(true);
  EXPECT_FALSE(E->DroppedDown());
  E->SetFocus();
  Pump();
  Keys({VK_MENU}, VK_DOWN);
  Click(E->Button()->Handle(), 5, 5);
  E->ApplyPopupValue(E, "x");
  EXPECT_EQ(E->Text(), "x");
}

TEST_F(NxButtonEdit, AltDownOpensAndClosesEnterAndEscapeClose) {
  auto* E = Add<TNxPopupEdit>(10);
  E->Popup()->SetHeight(60);
  E->SetFocus();
  Pump();
  int CloseUps = 0;
  E->OnCloseUp = [&](TObject*) { ++CloseUps; };
  Keys({VK_MENU}, VK_DOWN);
  EXPECT_TRUE(E->DroppedDown());
  EXPECT_TRUE(IsWindowVisible(E->Popup()->Handle()));
  Keys({VK_MENU}, VK_DOWN);
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_FALSE(IsWindowVisible(E->Popup()->Handle()));
  Keys({VK_MENU}, VK_UP);
  EXPECT_TRUE(E->DroppedDown());
  Keys({}, VK_RETURN);
  EXPECT_FALSE(E->DroppedDown());
  Keys({VK_MENU}, VK_DOWN);
  Keys({}, VK_ESCAPE);
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_EQ(CloseUps, 3);
}

TEST_F(NxButtonEdit, ListStyleClickAnywhereDropsDown) {
  auto* E = Add<TNxPopupEdit>(10);
  E->SetStyle(dsDropDownList);
  E->Popup()->SetHeight(60);
  EXPECT_TRUE(E->ReadOnly());
  Click(E->Handle(), 40, 8);
  EXPECT_TRUE(E->DroppedDown());
  EXPECT_TRUE(E->Button()->Down());
}

TEST_F(NxButtonEdit, DropDownButtonTogglesThePopup) {
  auto* E = Add<TNxPopupEdit>(10);
  E->Popup()->SetHeight(60);
  HWND B = E->Button()->Handle();
  Click(B, 5, 5);
  EXPECT_TRUE(E->DroppedDown());
  // The popup holds the mouse: it takes the press and hides on the release.
  Click(B, 5, 5);
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_FALSE(E->Button()->Down());
}

TEST_F(NxButtonEdit, FocusLossAndDeactivationClose) {
  auto* E = Add<TNxPopupEdit>(10);
  auto* Other = Add<TNxEdit>(60);
  E->Popup()->SetHeight(60);
  E->SetFocus();
  Pump();
  E->SetDroppedDown(true);
  Pump();
  Other->SetFocus();
  Pump();
  EXPECT_FALSE(E->DroppedDown());
  E->SetFocus();
  E->SetDroppedDown(true);
  Pump();
  SendMessage(E->Popup()->Handle(), WM_ACTIVATEAPP, 0, 0);
  Pump();
  EXPECT_FALSE(E->DroppedDown());
  EXPECT_FALSE(E->Popup()->Shown());
}

TEST_F(NxButtonEdit, ListStyleDrawingOptions) {
  auto* Other = Add<TNxEdit>(100);
  auto* E = Add<TNxPopupEdit>(10);
  E->SetStyle(dsDropDownList);
  E->SetText("WWWWWWWW");
  E->SetColor(clWhite);
  int Paints = 0;
  E->OnPaint = [&](TObject*) { ++Paints; };
  auto TextPixels = [&] {
    E->Repaint();
    Pump();
    int N = 0;
    // Inside the dotted focus frame.
    for (int Y = 1; Y < E->ClientHeight() - 1; ++Y)
      for (int X = 4; X < 80; ++X) {
        const COLORREF P = rtl::testing::WindowPixel(E->Handle(), X, Y);
        N += P != RGB(255, 255, 255) && P != GetSysColor(COLOR_HIGHLIGHT);
      }
    return N;
  };
  E->SetFocus();
  Pump();
  EXPECT_EQ(E->FocusColor(), clHighlight);
  EXPECT_GT(TextPixels(), 20);
  E->SetDrawingOptions(doBackgroundOnly);
  // The focus colour but no text.
  EXPECT_EQ(TextPixels(), 0);
  EXPECT_EQ(rtl::testing::WindowPixel(E->Handle(), 40, E->ClientHeight() / 2), GetSysColor(COLOR_HIGHLIGHT));
  const int Before = Paints;
  E->SetDrawingOptions(doCustomOnly);
  E->Repaint();
  Pump();
  EXPECT_GT(Paints, Before);
  // A text column's editor keeps its own colours while focused.
  E->SetTextColumnEditor(true);
  EXPECT_EQ(E->FocusColor(), clWhite);
  Other->SetFocus();
  Pump();
  E->SetTextColumnEditor(false);
  EXPECT_EQ(E->FocusColor(), clWhite);
}

// ---- Picture -----------------------------------------------------------------------

TEST_F(NxButtonEdit, PictureOfTheEdits) {
  Form->SetColor(clBtnFace);
  auto* Glyph = new TNxEdit(Form);
  Glyph->SetBounds(10, 10, 200, 22);
  Glyph->SetParent(Form);
  TBitmap G;
  G.SetPixelFormat(pf24bit);
  G.SetWidth(16);
  G.SetHeight(16);
  G.Canvas()->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
  G.Canvas()->FillRect(TRect(0, 0, 16, 16));
  G.Canvas()->Brush()->SetColor(static_cast<TColor>(0x008000));
  G.Canvas()->Ellipse(2, 2, 14, 14);
  Glyph->SetGlyph(&G);
  Glyph->SetShowPreview(true);
  Glyph->OnCustomPreviewDraw = [&](TObject*, const TRect& R) {
    Glyph->Info()->Canvas()->Brush()->SetColor(clRed);
    Glyph->Info()->Canvas()->FillRect(R);
  };
  Glyph->SetText("glyph and preview");
  auto* Button = Add<TNxButtonEdit>(40);
  Button->SetText("button edit");
  auto* Focused = Add<TNxPopupEdit>(70);
  Focused->SetStyle(dsDropDownList);
  Focused->SetText("list style, focused");
  auto* Plain = Add<TNxPopupEdit>(100);
  Plain->SetStyle(dsDropDownList);
  Plain->SetText("list style");
  Focused->SetFocus();
  Pump();
  Form->Repaint();
  Pump();
  // The focused list-style edit is highlighted, the other one is not.
  EXPECT_EQ(rtl::testing::WindowPixel(Focused->Handle(), 100, Focused->ClientHeight() / 2 + 6),
            GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(rtl::testing::WindowPixel(Plain->Handle(), 150, 3), GetSysColor(COLOR_WINDOW));
  // The preview box shows what the application paints.
  const TRect R = Glyph->GetPreviewRect();
  EXPECT_EQ(rtl::testing::WindowPixel(Glyph->Info()->Handle(), R.Left + 10, R.Top + 5), RGB(255, 0, 0));
  ASSERT_TRUE(rtl::testing::SaveWindowPng(Form->Handle(), PictureDir() + "grid-edits.png"));
}

}  // namespace
