// A form built in code with nested panels, graphic and windowed controls,
// shown offscreen and driven by injected input: mouse enter and leave,
// clicks, focus and the tab order, key preview, dialog keys, accelerators,
// painting and alignment after a resize.
#include <gtest/gtest.h>

#include "controls_test_support.h"

using namespace controls_test;
using rtl::testing::InjectKey;
using rtl::testing::InjectText;
using rtl::testing::WindowPixel;

namespace {

// A memory DC for colour questions.
struct TTestDc {
  HDC DC = CreateCompatibleDC(nullptr);
  ~TTestDc() { DeleteDC(DC); }
};

class Interaction : public TFormsTest {
 protected:
  TForm* Form = nullptr;
  TTestPanel* Top = nullptr;
  TTestPanel* Body = nullptr;
  TTestPanel* Inner = nullptr;
  TTestShape* Shape = nullptr;
  TTestEdit* Edit1 = nullptr;
  TTestEdit* Edit2 = nullptr;
  TTestButton* OK = nullptr;
  TTestButton* Cancel = nullptr;
  Log L;

  template <class T>
  T* Add(TWinControl* Parent, const char* Name, TRect Bounds) {
    T* C = new T(Form);
    C->SetName(Name);
    C->SetBoundsRect(Bounds);
    C->SetParent(Parent);
    return C;
  }

  void SetUp() override {
    TFormsTest::SetUp();
    Form = MakeForm();
    Form->SetName("Form");
    Top = Add<TTestPanel>(Form, "Top", Bounds(0, 0, 10, 60));
    Top->SetAlign(alTop);
    Body = Add<TTestPanel>(Form, "Body", Bounds(0, 0, 10, 10));
    Body->SetAlign(alClient);
    Shape = Add<TTestShape>(Body, "Shape", Bounds(10, 10, 40, 40));
    Shape->SetColor(clRed);
    Edit1 = Add<TTestEdit>(Body, "Edit1", Bounds(60, 10, 80, 20));
    Inner = Add<TTestPanel>(Body, "Inner", Bounds(10, 60, 250, 100));
    Inner->SetColor(clAqua);
    Edit2 = Add<TTestEdit>(Inner, "Edit2", Bounds(10, 10, 80, 20));
    OK = Add<TTestButton>(Inner, "OK", Bounds(100, 10, 75, 25));
    OK->SetCaption("&OK");
    OK->Default = true;
    Cancel = Add<TTestButton>(Inner, "Cancel", Bounds(100, 50, 75, 25));
    Cancel->Cancel = true;
    for (TControl* C : std::initializer_list<TControl*>{Form, Body, Inner, Shape, Edit1, Edit2, OK, Cancel})
      LogComponentMessages(C, &L);
    for (TControl* C : std::initializer_list<TControl*>{Body, Shape, Edit1}) {
      C->OnMouseEnter = [this](TObject* S) { L.push_back(static_cast<TControl*>(S)->Name() + ".OnMouseEnter"); };
      C->OnMouseLeave = [this](TObject* S) { L.push_back(static_cast<TControl*>(S)->Name() + ".OnMouseLeave"); };
    }
    for (TWinControl* C : std::initializer_list<TWinControl*>{Edit1, Edit2}) {
      C->OnEnter = [this](TObject* S) { L.push_back(static_cast<TControl*>(S)->Name() + ".OnEnter"); };
      C->OnExit = [this](TObject* S) { L.push_back(static_cast<TControl*>(S)->Name() + ".OnExit"); };
    }
    Form->Show();
    Pump();
  }
};

TEST_F(Interaction, TheFormShowsFocusedOnItsFirstTabStopAndPaintsItsChildren) {
  EXPECT_TRUE(Form->Showing());
  EXPECT_TRUE(IsWindowVisible(Edit2->Handle()));
  EXPECT_EQ(Form->ActiveControl(), Edit1);
  EXPECT_EQ(Screen->ActiveControl(), Edit1);
  EXPECT_EQ(Screen->ActiveForm(), Form);
  EXPECT_EQ(GetFocus(), Edit1->Handle());
  // The graphic child is painted by its parent's window.
  EXPECT_EQ(WindowPixel(Body->Handle(), 20, 20), ColorToRGB(clRed));
  EXPECT_EQ(WindowPixel(Body->Handle(), 5, 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(WindowPixel(Inner->Handle(), 5, 5), ColorToRGB(clAqua));
}

TEST_F(Interaction, MouseEnterAndLeaveComeInPairsAndTellTheParents) {
  MoveTo(Body, 200, 15);
  L.clear();
  MoveTo(Shape, 5, 5);
  MoveTo(Edit1, 5, 5);
  MoveTo(Body, 200, 15);
  EXPECT_EQ(L, (Log{
                   "Body.CM_MOUSELEAVE()", "Form.CM_MOUSELEAVE(Body)", "Body.OnMouseLeave",
                   "Shape.CM_MOUSEENTER()", "Body.CM_MOUSEENTER(Shape)", "Form.CM_MOUSEENTER(Shape)",
                   "Shape.OnMouseEnter",
                   "Shape.CM_MOUSELEAVE()", "Body.CM_MOUSELEAVE(Shape)", "Form.CM_MOUSELEAVE(Shape)",
                   "Shape.OnMouseLeave",
                   "Edit1.CM_MOUSEENTER()", "Body.CM_MOUSEENTER(Edit1)", "Form.CM_MOUSEENTER(Edit1)",
                   "Edit1.OnMouseEnter",
                   "Edit1.CM_MOUSELEAVE()", "Body.CM_MOUSELEAVE(Edit1)", "Form.CM_MOUSELEAVE(Edit1)",
                   "Edit1.OnMouseLeave",
                   "Body.CM_MOUSEENTER()", "Form.CM_MOUSEENTER(Body)", "Body.OnMouseEnter",
               }));
}

TEST_F(Interaction, LeavingEveryWindowOfTheApplicationIsALeaveToo) {
  MoveTo(Shape, 5, 5);
  L.clear();
  // The application notices at idle time at the latest.
  rtl::testing::InjectMouseMove(POINT(2, 2));
  Pump();
  Application->OnIdle = [this](TObject*, bool&) { PostMessage(Form->Handle(), WM_NULL, 0, 0); };
  Application->HandleMessage();
  Pump();
  EXPECT_EQ(L, (Log{"Shape.CM_MOUSELEAVE()", "Body.CM_MOUSELEAVE(Shape)", "Form.CM_MOUSELEAVE(Shape)",
                    "Shape.OnMouseLeave"}));
}

TEST_F(Interaction, AClickOnAGraphicControlReachesItInItsOwnCoordinates) {
  Log E;
  Shape->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, Integer X, Integer Y) {
    E.push_back("down " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y) +
                (S.Contains(ssLeft) ? " left" : ""));
  };
  Shape->OnClick = [&](TObject*) { E.push_back("click"); };
  Shape->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) {
    E.push_back("up " + std::to_string(X) + "," + std::to_string(Y));
  };
  ClickAt(Shape, 7, 9);
  EXPECT_EQ(E, (Log{"down 0 7,9 left", "click", "up 7,9"}));
  // A press that ends outside is no click; the capture keeps the release.
  E.clear();
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, At(Shape, 5, 5));
  rtl::testing::InjectMouseMove(At(Body, 200, 80));
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, At(Body, 200, 80));
  Pump();
  ASSERT_EQ(E.size(), 2u);
  EXPECT_EQ(E[0], "down 0 5,5 left");
  EXPECT_EQ(E[1].substr(0, 3), "up ");
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(Interaction, FocusMovesWithClicksAndTabsAndEntersAndExitsTheContainers) {
  L.clear();
  Press(VK_TAB);
  EXPECT_EQ(L, (Log{"Edit1.CM_EXIT", "Edit1.OnExit", "Inner.CM_ENTER", "Edit2.CM_ENTER", "Edit2.OnEnter"}));
  EXPECT_EQ(Form->ActiveControl(), Edit2);
  L.clear();
  InjectKey(VK_SHIFT, true);
  Press(VK_TAB);
  InjectKey(VK_SHIFT, false);
  Pump();
  EXPECT_EQ(L, (Log{"Edit2.CM_EXIT", "Edit2.OnExit", "Inner.CM_EXIT", "Edit1.CM_ENTER", "Edit1.OnEnter"}));
  L.clear();
  ClickAt(Edit2, 5, 5);
  EXPECT_EQ(Form->ActiveControl(), Edit2);
  Log Focus;
  for (const std::string& S : L)
    if (S.find("MOUSE") == std::string::npos) Focus.push_back(S);
  EXPECT_EQ(Focus, (Log{"Edit1.CM_EXIT", "Edit1.OnExit", "Inner.CM_ENTER", "Edit2.CM_ENTER", "Edit2.OnEnter"}));
  // Arrows move among the siblings of the active control, unless it takes
  // them itself.
  Press(VK_RIGHT);
  EXPECT_EQ(Form->ActiveControl(), Edit2) << "Edit2 takes the arrows itself";
  Press(VK_TAB);
  ASSERT_EQ(Form->ActiveControl(), OK);
  Press(VK_DOWN);
  EXPECT_EQ(Form->ActiveControl(), Cancel);
  Press(VK_DOWN);
  EXPECT_EQ(Form->ActiveControl(), Edit2) << "round within the parent";
}

TEST_F(Interaction, KeyPreviewLetsTheFormSeeChangeOrDiscardKeysFirst) {
  Log E;
  Form->SetKeyPreview(true);
  Form->OnKeyPress = [&](TObject*, char& Key) {
    E.push_back(std::string("form ") + Key);
    if (Key == 'x') Key = 0;
    if (Key == 'a') Key = 'b';
  };
  Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    if (Key == 'Q') {
      E.push_back("form ate Q");
      Key = 0;
    }
  };
  Edit1->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { E.push_back("edit down " + std::to_string(Key)); };
  InjectText("axc");
  Pump();
  EXPECT_EQ(Edit1->Typed, "bc");
  EXPECT_EQ(E, (Log{"edit down 65", "form a", "edit down 88", "form x", "edit down 67", "form c"}));
  // A key the form takes on its way down never reaches the control's
  // OnKeyDown; its character still comes (OnKeyPress decides on that).
  E.clear();
  Press('Q');
  EXPECT_EQ(E, (Log{"form ate Q", "form q"}));
  EXPECT_EQ(Edit1->Typed, "bcq");
}

TEST_F(Interaction, EnterAndEscClickTheDefaultAndCancelButtonsAndAltTheAccelerator) {
  Log E;
  OK->OnClick = [&](TObject*) { E.push_back("OK"); };
  Cancel->OnClick = [&](TObject*) { E.push_back("Cancel"); };
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  InjectKey(VK_MENU, true);
  Press('O');
  InjectKey(VK_MENU, false);
  Pump();
  EXPECT_EQ(E, (Log{"OK", "Cancel", "OK"}));
  EXPECT_EQ(Edit1->Typed, "") << "the keys went to the buttons";
}

TEST_F(Interaction, AResizeRealignsTheChildren) {
  TRect Client = Form->ClientRect();
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, Client.Right, 60));
  EXPECT_EQ(Body->BoundsRect(), Rect(0, 60, Client.Right, Client.Bottom));
  Integer Resized = 0;
  Body->OnResize = [&](TObject*) { ++Resized; };
  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 100, Form->Height() + 50);
  Pump();
  TRect After = Form->ClientRect();
  EXPECT_EQ(After.Right, Client.Right + 100);
  EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, After.Right, 60));
  EXPECT_EQ(Body->BoundsRect(), Rect(0, 60, After.Right, After.Bottom));
  RECT W;
  GetWindowRect(Body->Handle(), &W);
  EXPECT_EQ(W.Right - W.Left, After.Right) << "the window follows the control";
  EXPECT_GE(Resized, 1);
}

TEST_F(Interaction, HidingTheFocusedControlsContainerMovesTheFocusAway) {
  Press(VK_TAB);
  ASSERT_EQ(Form->ActiveControl(), Edit2);
  Inner->Hide();
  Pump();
  EXPECT_NE(Form->ActiveControl(), Edit2);
  EXPECT_FALSE(IsWindowVisible(Edit2->Handle()));
  EXPECT_THROW(Form->SetActiveControl(Edit2), EInvalidOperation);
}

TEST_F(Interaction, AChildWindowsNotificationsComeBackToItsControl) {
  Log E;
  TWndMethod Old = Edit2->WindowProc();
  Edit2->SetWindowProc([&, Old](TMessage& M) {
    if (M.Msg == CN_COMMAND) {
      E.push_back("CN_COMMAND " + std::to_string(HIWORD(M.WParam)));
      M.Result = 5;
      return;
    }
    Old(M);
  });
  EXPECT_EQ(SendMessage(Inner->Handle(), WM_COMMAND, MAKEWPARAM(1, 7), reinterpret_cast<LPARAM>(Edit2->Handle())),
            5);
  EXPECT_EQ(E, (Log{"CN_COMMAND 7"}));
  // A control's colours for a child's DC: its font colour and its brush.
  TTestDc Dc;
  Edit1->Font()->SetColor(clBlue);
  Edit1->SetColor(clYellow);
  LRESULT Brush =
      SendMessage(Body->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(Dc.DC), reinterpret_cast<LPARAM>(Edit1->Handle()));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(Brush), Edit1->Brush()->Handle());
  EXPECT_EQ(GetTextColor(Dc.DC), ColorToRGB(clBlue));
  EXPECT_EQ(GetBkColor(Dc.DC), ColorToRGB(clYellow));
}

TEST_F(Interaction, ASystemColourChangeReachesEveryControl) {
  Log E;
  for (TControl* C : std::initializer_list<TControl*>{Shape, Edit2}) {
    TWndMethod Old = C->WindowProc();
    C->SetWindowProc([&E, C, Old](TMessage& M) {
      if (M.Msg == CM_SYSCOLORCHANGE) E.push_back(C->Name());
      Old(M);
    });
  }
  SendMessage(Form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(E, (Log{"Shape", "Edit2"}));
}

TEST_F(Interaction, ADoubleBufferedWindowPaintsTheSame) {
  Body->SetDoubleBuffered(true);
  Body->Repaint();
  Pump();
  EXPECT_EQ(WindowPixel(Body->Handle(), 20, 20), ColorToRGB(clRed));
  EXPECT_EQ(WindowPixel(Body->Handle(), 5, 5), ColorToRGB(clBtnFace));
}

TEST_F(Interaction, TheWheelGoesToTheFocusedControlAndUpToTheParentThatTakesIt) {
  Log E;
  Body->OnMouseWheelDown = [&](TObject* S, TShiftState, TPoint, bool& Handled) {
    E.push_back(static_cast<TControl*>(S)->Name() + " down");
    Handled = true;
  };
  Edit1->OnMouseWheel = [&](TObject* S, TShiftState, Integer Delta, TPoint, bool&) {
    E.push_back(static_cast<TControl*>(S)->Name() + " " + std::to_string(Delta));
  };
  rtl::testing::InjectWheel(At(Edit1, 5, 5), -WHEEL_DELTA);
  Pump();
  EXPECT_EQ(E, (Log{"Edit1 -120", "Body down"}));
}

TEST_F(Interaction, ARightClickOnAGraphicControlAsksItForItsContextPopup) {
  TPoint Seen(-100, -100);
  Shape->OnContextPopup = [&](TObject*, TPoint MousePos, bool& Handled) {
    Seen = MousePos;
    Handled = true;
  };
  rtl::testing::InjectClick(At(Shape, 6, 8), rtl::testing::ibRight);
  Pump();
  EXPECT_EQ(Seen, TPoint(6, 8));
  // What a control leaves unhandled goes to its parents.
  Log E;
  Edit1->OnContextPopup = [&](TObject*, TPoint, bool&) { E.push_back("Edit1"); };
  Body->OnContextPopup = [&](TObject*, TPoint P, bool& Handled) {
    E.push_back("Body " + std::to_string(P.X) + "," + std::to_string(P.Y));
    Handled = true;
  };
  Form->OnContextPopup = [&](TObject*, TPoint, bool&) { E.push_back("Form"); };
  rtl::testing::AdvanceClock(1000);
  rtl::testing::InjectClick(At(Edit1, 2, 3), rtl::testing::ibRight);
  Pump();
  EXPECT_EQ(E, (Log{"Edit1", "Body 62,13"}));
}

TEST_F(Interaction, APopupMenuShowsWhereNoHandlerTookTheContextPopupAndAnswersItsShortcuts) {
  TComponent Menu(nullptr);
  Menu.SetName("Menu");
  Body->SetPopupMenu(&Menu);
  Log E;
  TPopupMenuHooks Saved = PopupMenuHooks();
  PopupMenuHooks().Popup = [&](TComponent* M, TControl* C, TPoint P) {
    TPoint Local = C->ScreenToClient(P);
    E.push_back(M->Name() + " for " + C->Name() + " at " + std::to_string(Local.X) + "," + std::to_string(Local.Y));
    return true;
  };
  PopupMenuHooks().IsShortCut = [&](TComponent* M, TMessage& Msg) {
    if (Msg.WParam != VK_F2) return false;
    E.push_back(M->Name() + " F2");
    return true;
  };
  rtl::testing::InjectClick(At(Body, 200, 100), rtl::testing::ibRight);
  Pump();
  // Edit1 has no menu of its own: the key goes to its parent's.
  Log Keys;
  Edit1->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Keys.push_back(std::to_string(Key)); };
  Press(VK_F2);
  Press(VK_F3);
  PopupMenuHooks() = Saved;
  Body->SetPopupMenu(nullptr);
  EXPECT_EQ(E, (Log{"Menu for Body at 200,100", "Menu F2"}));
  EXPECT_EQ(Keys, (Log{std::to_string(VK_F3)}));
}

TEST_F(Interaction, AnAutomaticDragCarriesTheControlToATargetThatAcceptsIt) {
  Log E;
  Shape->SetDragMode(dmAutomatic);
  Shape->OnStartDrag = [&](TObject*, TDragObject*&) { E.push_back("start"); };
  Edit1->OnDragOver = [&](TObject*, TObject* Source, Integer, Integer, TDragState State, bool& Accept) {
    E.push_back("over " + std::to_string(State));
    Accept = Source == Shape;
  };
  Edit1->OnDragDrop = [&](TObject*, TObject* Source, Integer X, Integer Y) {
    E.push_back("drop " + static_cast<TControl*>(Source)->Name() + " " + std::to_string(X) + "," +
                std::to_string(Y));
  };
  Shape->OnEndDrag = [&](TObject*, TObject* Target, Integer, Integer) {
    E.push_back("end " + (Target ? static_cast<TControl*>(Target)->Name() : std::string("none")));
  };
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, At(Shape, 5, 5));
  MoveTo(Edit1, 3, 4);
  MoveTo(Edit1, 4, 5);
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, At(Edit1, 4, 5));
  Pump();
  EXPECT_EQ(E, (Log{"start", "over 0", "over 2", "over 2", "drop Shape 4,5", "end Edit1"}));
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(Interaction, EscCancelsADragAndTheSourceHearsOfNoTarget) {
  Log E;
  Shape->OnEndDrag = [&](TObject*, TObject* Target, Integer, Integer) {
    E.push_back(std::string("end ") + (Target ? "target" : "none"));
  };
  Edit1->OnDragOver = [&](TObject*, TObject*, Integer, Integer, TDragState, bool& Accept) { Accept = true; };
  Edit1->OnDragDrop = [&](TObject*, TObject*, Integer, Integer) { E.push_back("drop"); };
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, true, At(Shape, 5, 5));
  Pump();
  Shape->BeginDrag(false, 3);
  EXPECT_FALSE(Mouse->IsDragging()) << "not before the mouse moves past the threshold";
  MoveTo(Edit1, 5, 5);
  EXPECT_TRUE(Mouse->IsDragging());
  Press(VK_ESCAPE);
  EXPECT_FALSE(Mouse->IsDragging());
  rtl::testing::InjectMouseButton(rtl::testing::ibLeft, false, At(Edit1, 5, 5));
  Pump();
  EXPECT_EQ(E, (Log{"end none"}));
}

}  // namespace
