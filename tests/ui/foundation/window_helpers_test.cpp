#include "ui/foundation/window_helpers.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "../../common/hang_guard.h"
#include "../../common/pictures.h"
#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/sysutils.h"
#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "window_helpers_fixture.h"

namespace {

using window_helpers_test::TWindowTest;

// ---- Window styles and alpha -----------------------------------------------------------

struct TChangeCase {
  const char* Name;
  TcxWindowLongIndex Index;
  TcxWindowLongMode Mode;
  LONG Value;
};

TEST_F(TWindowTest, ChangeWindowLongStoresAddsOrRemovesBitsAndAnswersThePreviousValue) {
  const TChangeCase Cases[] = {
      {"style set", wliStyle, wlmSet, static_cast<LONG>(WS_POPUP | WS_DLGFRAME)},
      {"style include", wliStyle, wlmInclude, WS_SYSMENU | WS_BORDER},
      {"style exclude", wliStyle, wlmExclude, WS_BORDER},
      {"ex set", wliExStyle, wlmSet, WS_EX_TOOLWINDOW | WS_EX_CONTEXTHELP},
      {"ex include", wliExStyle, wlmInclude, WS_EX_APPWINDOW},
      {"ex exclude", wliExStyle, wlmExclude, WS_EX_TOOLWINDOW},
  };
  HWND W = MakeWindow(WS_POPUP | WS_BORDER, TRect(0, 0, 50, 50), nullptr, WS_EX_TOOLWINDOW);
  for (const TChangeCase& C : Cases) {
    const int Index = C.Index == wliStyle ? GWL_STYLE : GWL_EXSTYLE;
    const LONG Before = GetWindowLongA(W, Index);
    const LONG Expected = C.Mode == wlmSet ? C.Value : C.Mode == wlmInclude ? Before | C.Value : Before & ~C.Value;
    EXPECT_EQ(cxChangeWindowLong(W, C.Value, C.Mode, C.Index), Before) << C.Name;
    // Bits the window system keeps up by itself for top-level windows.
    const LONG Own = C.Index == wliStyle ? WS_CLIPSIBLINGS : WS_EX_WINDOWEDGE;
    EXPECT_EQ(GetWindowLongA(W, Index) & ~Own, Expected & ~Own) << C.Name;
  }
  EXPECT_TRUE(cxWindowHasStyle(W, WS_POPUP | WS_DLGFRAME | WS_SYSMENU));
  EXPECT_FALSE(cxWindowHasStyle(W, WS_POPUP | WS_BORDER));
}

TEST_F(TWindowTest, WindowAlphaBelowOpaqueMakesTheWindowLayeredAndOpaqueUndoesItWithARedraw) {
  HWND W = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(10, 10, 110, 80));
  Pump();
  cxSetWindowAlpha(W, 128);
  EXPECT_TRUE(GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(W, nullptr, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 128);
  EXPECT_EQ(Flags, static_cast<DWORD>(LWA_ALPHA));

  Pump();
  ValidateRect(W, nullptr);
  cxSetWindowAlpha(W, 255);
  EXPECT_FALSE(GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT Update{};
  EXPECT_TRUE(GetUpdateRect(W, &Update, FALSE));
  EXPECT_EQ(Update, cxWindowClientRect(W));

  // Opaque on a window that is not layered changes nothing.
  Pump();
  cxSetWindowAlpha(W, 255);
  EXPECT_FALSE(GetUpdateRect(W, &Update, FALSE));
}

TEST_F(TWindowTest, UpdateLayeredWindowShowsTheBitmapsPixelsOnAPopup) {
  HWND W = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(40, 40, 120, 90), nullptr, WS_EX_LAYERED);
  HWND Plain = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(200, 40, 280, 90));
  Pump();
  TcxBitmap32 Bitmap(80, 50, true);
  TCanvas* Canvas = Bitmap.Canvas();
  Canvas->Brush()->SetColor(clRed);
  Canvas->FillRect(TRect(0, 0, 40, 50));
  Canvas->Brush()->SetColor(clLime);
  Canvas->FillRect(TRect(40, 0, 80, 25));
  Canvas->Brush()->SetColor(clBlue);
  Canvas->FillRect(TRect(40, 25, 80, 50));
  Bitmap.MakeOpaque();

  EXPECT_TRUE(cxUpdateLayeredWindow(W, &Bitmap));
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(W, 5, 5), static_cast<COLORREF>(RGB(255, 0, 0)));
  EXPECT_EQ(rtl::testing::WindowPixel(W, 60, 10), static_cast<COLORREF>(RGB(0, 255, 0)));
  EXPECT_EQ(rtl::testing::WindowPixel(W, 60, 40), static_cast<COLORREF>(RGB(0, 0, 255)));
  EXPECT_TRUE(rtl::testing::SaveWindowPng(W, PictureDir() + "update_layered_window.png"));

  // A window that is not layered takes no picture.
  EXPECT_FALSE(cxUpdateLayeredWindow(Plain, &Bitmap));
  EXPECT_FALSE(cxUpdateLayeredWindow(W, nullptr));
}

TEST_F(TWindowTest, ParentChainQueries) {
  HWND Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(0, 0, 200, 200));
  HWND Child = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 110), Top);
  HWND Grandchild = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(5, 5, 50, 50), Child);
  HWND Other = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));

  EXPECT_EQ(cxFindFirstNonChildWindow(Grandchild), Top);
  EXPECT_EQ(cxFindFirstNonChildWindow(Top), Top);
  EXPECT_EQ(cxFindFirstNonChildWindow(nullptr), nullptr);

  EXPECT_TRUE(cxIsSelfOrChildWindow(Top, Grandchild));
  EXPECT_TRUE(cxIsSelfOrChildWindow(Top, Top));
  EXPECT_FALSE(cxIsSelfOrChildWindow(Top, Other));
  EXPECT_FALSE(cxIsSelfOrChildWindow(nullptr, nullptr));
  EXPECT_TRUE(cxHasInParentChain(Child, Grandchild));
  EXPECT_FALSE(cxHasInParentChain(Grandchild, Child));
  EXPECT_FALSE(cxHasInParentChain(nullptr, Child));

  EXPECT_TRUE(cxIsWindowReallyEnabled(Grandchild));
  EnableWindow(Top, FALSE);
  EXPECT_FALSE(cxIsWindowReallyEnabled(Grandchild));
  EXPECT_TRUE(IsWindowEnabled(Grandchild));
  EnableWindow(Top, TRUE);

  SetWindowTextA(Top, "Caption text");
  EXPECT_EQ(cxGetWindowCaption(Top), "Caption text");
  EXPECT_EQ(cxGetWindowCaption(nullptr), "");
}

// ---- Rectangles and points -------------------------------------------------------------

TEST_F(TWindowTest, PointsAndRectanglesMapBetweenClientAreasOrWindowRectangles) {
  HWND A = MakeWindow(WS_POPUP | WS_BORDER | WS_VISIBLE, TRect(100, 50, 300, 250));
  HWND B = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(20, 30, 120, 130));
  const TRect ClientA = cxWindowScreenRect(A);
  const TPoint OriginA = cxWindowClientOrigin(A);
  EXPECT_EQ(OriginA, TPoint(1, 1));
  EXPECT_EQ(cxWindowSizeRect(A), TRect(0, 0, 200, 200));
  EXPECT_EQ(cxClientPointToScreen(A, TPoint(0, 0)), TPoint(ClientA.Left + 1, ClientA.Top + 1));

  // Client A (0, 0) is the screen's (101, 51), B's client (81, 21).
  EXPECT_EQ(cxMapPointBetweenWindows(A, B, TPoint(0, 0), true), TPoint(81, 21));
  EXPECT_EQ(cxMapPointBetweenWindows(A, B, TPoint(0, 0), false), TPoint(80, 20));
  EXPECT_EQ(cxMapPointBetweenWindows(A, nullptr, TPoint(5, 5), true), TPoint(106, 56));
  EXPECT_EQ(cxMapRectBetweenWindows(A, B, TRect(2, 3, 12, 8), true), TRect(83, 24, 93, 29));
  EXPECT_EQ(cxMapRectBetweenWindows(B, A, TRect(0, 0, 4, 4), false), TRect(-80, -20, -76, -16));

  EXPECT_EQ(cxWindowClientRect(nullptr), TRect(0, 0, 0, 0));
  EXPECT_EQ(cxWindowScreenRect(nullptr), TRect(0, 0, 0, 0));
}

struct TFitCase {
  const char* Name;
  TRect R;
  TRect Expected;
};

class FitRectTest : public TWindowTest {
 protected:
  void SetUp() override {
    TWindowTest::SetUp();
    rtl::testing::SetScreens({{TRect(0, 0, 1000, 800), TRect(0, 0, 1000, 760), true, "left"},
                              {TRect(1000, 0, 1800, 600), TRect(1050, 20, 1800, 600), false, "right"}});
  }
  void TearDown() override {
    rtl::testing::SetScreens({});
    TWindowTest::TearDown();
  }
};

TEST_F(FitRectTest, RectanglesMoveIntoTheWorkAreaAtThePoint) {
  EXPECT_EQ(cxWorkAreaAtPoint(TPoint(10, 10)), TRect(0, 0, 1000, 760));
  EXPECT_EQ(cxWorkAreaAtPoint(TPoint(5000, 10)), TRect(1050, 20, 1800, 600));

  const TFitCase Cases[] = {
      {"inside stays", TRect(1100, 100, 1200, 200), TRect(1100, 100, 1200, 200)},
      {"beyond right and bottom", TRect(1750, 550, 1850, 650), TRect(1700, 500, 1800, 600)},
      {"before left and above top", TRect(1010, 0, 1110, 100), TRect(1050, 20, 1150, 120)},
      {"larger than the area", TRect(1100, 100, 2000, 900), TRect(1050, 20, 1950, 820)},
  };
  for (const TFitCase& C : Cases) {
    TRect R = C.R;
    cxFitRectToWorkArea(R, TPoint(1400, 300));
    EXPECT_EQ(R, C.Expected) << C.Name;
  }
}

TEST_F(FitRectTest, WindowsSmallerThanTheirWorkArea) {
  HWND Small = MakeWindow(WS_POPUP, TRect(10, 10, 200, 200));
  HWND Covering = MakeWindow(WS_POPUP, TRect(0, 0, 1000, 760));
  EXPECT_TRUE(cxIsWindowSmallerThanWorkArea(Small));
  EXPECT_FALSE(cxIsWindowSmallerThanWorkArea(Covering));
  EXPECT_EQ(cxMonitorWorkArea(nullptr), Screen->WorkAreaRect());
}

TEST_F(TWindowTest, DeepestWindowAtAPointSkipsHiddenChildren) {
  HWND Top = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(300, 300, 500, 500));
  HWND Child = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 110, 110), Top);
  HWND Grandchild = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(10, 10, 50, 50), Child);
  HWND Hidden = MakeWindow(WS_CHILD, TRect(120, 120, 190, 190), Top);
  Pump();
  EXPECT_EQ(cxDeepestWindowAtPoint(TPoint(325, 325)), Grandchild);
  EXPECT_EQ(cxDeepestWindowAtPoint(TPoint(380, 380)), Child);
  EXPECT_EQ(cxDeepestWindowAtPoint(TPoint(450, 450)), Top);
  EXPECT_NE(cxDeepestWindowAtPoint(TPoint(450, 450)), Hidden);
}

// ---- Framework controls and components -------------------------------------------------

class TRecordingDesigner : public IDesignerHook {
 public:
  int Calls = 0;
  void Modified() override { ++Calls; }
};

class TDesignedForm : public TForm {
 public:
  explicit TDesignedForm(TComponent* AOwner) : TForm(AOwner) {}
  TRecordingDesigner Recorder;
  IDesignerHook* Designer() const override { return const_cast<TRecordingDesigner*>(&Recorder); }
};

TEST_F(TWindowTest, ComponentFullNameJoinsTheNamedOwners) {
  TComponent Module(nullptr);
  TForm* Form = TCustomForm::Create<TForm>(&Module);
  Form->SetName("Form1");
  TWinControl* Button = new TWinControl(Form);
  Button->SetName("Button1");
  EXPECT_EQ(cxComponentFullName(Button), "Form1.Button1");
  EXPECT_EQ(cxComponentFullName(Form), "Form1");
  Module.SetName("Data");
  EXPECT_EQ(cxComponentFullName(Button), "Data.Form1.Button1");
  TWinControl* Unnamed = new TWinControl(Form);
  EXPECT_EQ(cxComponentFullName(Unnamed), "");
  EXPECT_EQ(cxComponentFullName(nullptr), "");
  Form->Free();
}

TEST_F(TWindowTest, ControlPointToParentAddsTheOffsetsOrRaises) {
  TForm* Form = MakeForm();
  TWinControl* Panel = new TWinControl(Form);
  Panel->SetParent(Form);
  Panel->SetBounds(10, 20, 100, 100);
  TWinControl* Child = new TWinControl(Form);
  Child->SetName("Child");
  Child->SetParent(Panel);
  Child->SetBounds(3, 4, 20, 20);
  EXPECT_EQ(cxControlPointToParent(Child, TPoint(1, 1), Form), TPoint(14, 25));
  EXPECT_EQ(cxControlPointToParent(Child, TPoint(1, 1), Panel), TPoint(4, 5));
  EXPECT_EQ(cxControlPointToParent(Child, TPoint(1, 1)), TPoint(4, 5));

  TWinControl Orphan(nullptr);
  Orphan.SetName("Orphan");
  TWinControl Stranger(nullptr);
  try {
    cxControlPointToParent(&Orphan, TPoint(0, 0));
    ADD_FAILURE() << "no exception";
  } catch (EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Control 'Orphan' has no parent window");
  }
  try {
    cxControlPointToParent(Child, TPoint(0, 0), &Stranger);
    ADD_FAILURE() << "no exception";
  } catch (EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Parent given is not a parent of 'Child'");
  }
}

TEST_F(TWindowTest, WindowHandlesMayBeMadeOnlyForControlsInAWindowTree) {
  TForm* Form = MakeForm();
  TWinControl* OnForm = new TWinControl(Form);
  OnForm->SetParent(Form);
  TWinControl Orphan(nullptr);
  TWinControl OrphanChild(nullptr);
  OrphanChild.SetParent(&Orphan);
  TWinControl Hosted(nullptr);
  HWND Host = MakeWindow(WS_POPUP, TRect(0, 0, 50, 50));
  Hosted.SetParentWindow(Host);

  EXPECT_FALSE(cxCanHaveWindowHandle(nullptr));
  EXPECT_TRUE(cxCanHaveWindowHandle(Form));
  EXPECT_TRUE(cxCanHaveWindowHandle(OnForm));
  EXPECT_FALSE(cxCanHaveWindowHandle(&Orphan));
  EXPECT_FALSE(cxCanHaveWindowHandle(&OrphanChild));
  EXPECT_TRUE(cxCanHaveWindowHandle(&Hosted));

  EXPECT_FALSE(cxIsWinControlShown(OnForm));
  Form->Show();
  Pump();
  EXPECT_TRUE(cxIsWinControlShown(OnForm));
  EXPECT_EQ(cxWinControlScreenRect(&Orphan), TRect(0, 0, 0, 0));
  EXPECT_FALSE(Orphan.HandleAllocated());
}

TEST_F(TWindowTest, TheControlOfAWindowIsFoundThroughItsAncestors) {
  TForm* Form = MakeForm();
  TWinControl* Panel = new TWinControl(Form);
  Panel->SetParent(Form);
  Panel->SetBounds(0, 0, 100, 100);
  HWND Foreign = MakeWindow(WS_CHILD | WS_VISIBLE, TRect(1, 1, 20, 20), Panel->Handle());
  HWND Loose = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  EXPECT_EQ(cxWinControlOfWindow(Panel->Handle()), Panel);
  EXPECT_EQ(cxWinControlOfWindow(Foreign), Panel);
  EXPECT_EQ(cxWinControlOfWindowOrParent(Foreign), Panel);
  EXPECT_EQ(cxWinControlOfWindow(Loose), nullptr);
  EXPECT_EQ(cxWinControlOfWindow(nullptr), nullptr);
  EXPECT_EQ(cxParentFormOfWindow(Foreign), Form);
  EXPECT_EQ(cxParentFormOfWindow(Loose), nullptr);
  EXPECT_EQ(cxFindOwnedComponentOfClass(Form, TWinControl::StaticClass()), Panel);
  EXPECT_EQ(cxFindOwnedComponentOfClass(Form, TCustomForm::StaticClass()), nullptr);
}

LRESULT CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 3) return 42;
  return DefWindowProcA(h, m, w, l);
}

TEST_F(TWindowTest, MessagesGoUpTheControlChainBelowTheFormAndProceduresAreSwapped) {
  TForm* Form = MakeForm();
  TWinControl* Panel = new TWinControl(Form);
  Panel->SetParent(Form);
  TWinControl* Control = new TWinControl(Form);
  Control->SetParent(Panel);
  std::vector<TControl*> Reached;
  for (TControl* C : std::vector<TControl*>{Form, Panel, Control}) {
    TWndMethod Old = C->WindowProc();
    C->SetWindowProc([C, Old, &Reached](TMessage& M) {
      if (M.Msg == WM_USER + 4) Reached.push_back(C);
      Old(M);
    });
  }
  cxSendToControlChain(Control, WM_USER + 4);
  EXPECT_EQ(Reached, (std::vector<TControl*>{Control, Panel}));

  HWND W = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  const WNDPROC Initial = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W, GWL_WNDPROC));
  EXPECT_EQ(cxSetWindowProc(W, &CountingProc), Initial);
  EXPECT_EQ(SendMessageA(W, WM_USER + 3, 0, 0), 42);
  EXPECT_EQ(cxSetWindowProc(W, Initial), &CountingProc);
  EXPECT_EQ(SendMessageA(W, WM_USER + 3, 0, 0), 0);
  Control->SetBounds(1, 2, 30, 40);
  EXPECT_EQ(cxWinControlSizeRect(Control), TRect(0, 0, 30, 40));
  EXPECT_TRUE(Control->HandleAllocated());
}

TEST_F(TWindowTest, TheDesignerHearsOfChangesOnlyWhileAComponentIsDesignedAndSettled) {
  auto* Form = MakeForm<TDesignedForm>();
  TWinControl* Panel = new TWinControl(Form);
  Panel->SetParent(Form);
  TWinControl* Control = new TWinControl(Form);
  Control->SetParent(Panel);
  TRecordingDesigner& Designer = Form->Recorder;

  cxNotifyDesignerModified(Control);
  EXPECT_EQ(Designer.Calls, 0) << "not designed";
  Form->SetDesigning(true);
  cxNotifyDesignerModified(Control);
  EXPECT_EQ(Designer.Calls, 1);
  Panel->BeginLoading();
  cxNotifyDesignerModified(Control);
  EXPECT_EQ(Designer.Calls, 1) << "a parent is loading";
  cxNotifyDesignerModified(Form);
  EXPECT_EQ(Designer.Calls, 2);
  Form->BeginLoading();
  cxNotifyDesignerModified(Form);
  EXPECT_EQ(Designer.Calls, 2) << "loading";
  cxNotifyDesignerModified(nullptr);

  // A plain form has no designer at run time.
  TForm* Plain = MakeForm();
  EXPECT_EQ(Plain->Designer(), nullptr);
  Plain->SetDesigning(true);
  cxNotifyDesignerModified(Plain);
  EXPECT_FALSE(cxFrameworkThemesEnabled());
}

TEST_F(TWindowTest, MDIFormsByStyle) {
  TForm* Form = MakeForm();
  EXPECT_FALSE(cxIsMDIChildForm(Form));
  EXPECT_FALSE(cxIsMDIParentForm(Form));
  EXPECT_FALSE(cxIsMDIChildForm(nullptr));
  Form->SetFormStyle(fsMDIForm);
  EXPECT_TRUE(cxIsMDIParentForm(Form));
  Form->SetDesigning(true);
  EXPECT_FALSE(cxIsMDIParentForm(Form)) << "at design time";
}

// ---- Input -----------------------------------------------------------------------------

LRESULT ThievingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) {
    SetCapture(h);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT RaisingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 2) throw std::runtime_error("handler failed");
  return DefWindowProcA(h, m, w, l);
}

class DragStartTest : public TWindowTest {
 protected:
  HWND FWnd = nullptr;
  TPoint FPress;
  int FUps = 0;

  void SetUp() override {
    TWindowTest::SetUp();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "DragStartThief", &wc)) {
      wc.lpfnWndProc = &ThievingProc;
      wc.lpszClassName = "DragStartThief";
      RegisterClassA(&wc);
      wc.lpfnWndProc = &RaisingProc;
      wc.lpszClassName = "DragStartRaising";
      RegisterClassA(&wc);
    }
    FWnd = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(100, 100, 300, 300), nullptr, 0, "DragStartRaising");
    Pump();
    FPress = TPoint(150, 150);
    rtl::testing::InjectMouseMove(FPress);
    rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, FPress);
    Pump();
  }
};

TEST_F(DragStartTest, ReleasingInsideTheSquareIsAClick) {
  HangGuard Guard(30);
  rtl::testing::InjectMouseMove(TPoint(152, 153));
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, TPoint(152, 153));
  EXPECT_EQ(cxTrackDragStart(FWnd, FPress), dsrReleased);
  EXPECT_NE(GetCapture(), FWnd);
}

TEST_F(DragStartTest, LeavingTheSquareStartsADrag) {
  HangGuard Guard(30);
  const Integer T = Mouse->DragThreshold();
  rtl::testing::InjectMouseMove(TPoint(FPress.X + T - 1, FPress.Y));
  rtl::testing::InjectMouseMove(TPoint(FPress.X + T, FPress.Y));
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, TPoint(FPress.X + T, FPress.Y));
  EXPECT_EQ(cxTrackDragStart(FWnd, FPress), dsrDragged);
  EXPECT_NE(GetCapture(), FWnd);
  // The release after the leave was left for the caller.
  MSG M;
  EXPECT_TRUE(PeekMessageA(&M, FWnd, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE));
}

TEST_F(DragStartTest, EscapeCancels) {
  HangGuard Guard(30);
  rtl::testing::InjectKey('A', true);
  rtl::testing::InjectKey(VK_ESCAPE, true);
  EXPECT_EQ(cxTrackDragStart(FWnd, FPress), dsrCancelled);
  EXPECT_NE(GetCapture(), FWnd);
}

TEST_F(DragStartTest, AnotherWindowTakingTheMouseCancels) {
  HangGuard Guard(30);
  HWND Thief = MakeWindow(WS_POPUP | WS_VISIBLE, TRect(400, 100, 450, 150), nullptr, 0, "DragStartThief");
  PostMessageA(Thief, WM_USER + 1, 0, 0);
  EXPECT_EQ(cxTrackDragStart(FWnd, FPress), dsrCancelled);
  EXPECT_EQ(GetCapture(), Thief) << "the thief keeps what it took";
}

TEST_F(DragStartTest, TheEndOfTheProgramCancelsAndIsPassedOn) {
  HangGuard Guard(30);
  PostQuitMessage(7);
  EXPECT_EQ(cxTrackDragStart(FWnd, FPress), dsrCancelled);
  EXPECT_NE(GetCapture(), FWnd);
  MSG M;
  ASSERT_TRUE(PeekMessageA(&M, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(M.wParam, 7u);
}

TEST_F(DragStartTest, AHandlerThatRaisesLeavesTheMouseFree) {
  HangGuard Guard(30);
  PostMessageA(FWnd, WM_USER + 2, 0, 0);
  EXPECT_THROW(cxTrackDragStart(FWnd, FPress), std::runtime_error);
  EXPECT_NE(GetCapture(), FWnd);
}

TEST_F(TWindowTest, DragThresholdKeyCharactersAndMouseKeys) {
  const Integer T = Mouse->DragThreshold();
  EXPECT_TRUE(cxIsWithinDragThreshold(TPoint(10, 10), 10 + T - 1, 10 - T + 1));
  EXPECT_FALSE(cxIsWithinDragThreshold(TPoint(10, 10), 10 + T, 10));
  EXPECT_FALSE(cxIsWithinDragThreshold(TPoint(10, 10), 10, 10 - T));

  EXPECT_EQ(cxVirtualKeyToChar('A'), 'a');
  EXPECT_EQ(cxVirtualKeyToChar('7'), '7');
  EXPECT_EQ(cxVirtualKeyToChar(VK_F5), 0);
  EXPECT_EQ(cxVirtualKeyToChar(VK_LEFT), 0);
  EXPECT_FALSE(cxIsCtrlKeyDown());
  EXPECT_TRUE(cxIsPrintableCharCode(32));
  EXPECT_FALSE(cxIsPrintableCharCode(31));

  EXPECT_EQ(cxShiftStateToMouseKeys(TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle, ssAlt, ssDouble}),
            static_cast<WPARAM>(MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON));
  EXPECT_EQ(cxShiftStateToMouseKeys(TShiftState{ssAlt, ssDouble}), 0u);
}

}  // namespace
