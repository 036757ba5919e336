// Dispatch, subclassing, the parent notifications, text, z-order, tab
// order and the lifetime of controls, without windows.
#include <gtest/gtest.h>

#include "controls_test_support.h"

using namespace controls_test;

namespace {

// Records the handlers Dispatch reaches.
class TProbe : public TGraphicControl {
 public:
  explicit TProbe(TComponent* AOwner) : TGraphicControl(AOwner) {}
  Log Calls;

 protected:
  void CMEnabledChanged(TMessage& M) override {
    Calls.push_back("CMEnabledChanged");
    TGraphicControl::CMEnabledChanged(M);
  }
  void CMVisibleChanged(TMessage& M) override {
    Calls.push_back("CMVisibleChanged");
    TGraphicControl::CMVisibleChanged(M);
  }
  void CMFontChanged(TMessage& M) override {
    Calls.push_back("CMFontChanged");
    TGraphicControl::CMFontChanged(M);
  }
  void DefaultHandler(TMessage& M) override {
    if (M.Msg == CM_TEXTCHANGED) Calls.push_back("CM_TEXTCHANGED");
    TGraphicControl::DefaultHandler(M);
  }
};

TEST(ControlMessages, StateChangesReachTheirHandlersOnlyWhenTheyChange) {
  TProbe P(nullptr);
  P.SetEnabled(false);
  P.SetEnabled(false);
  P.SetVisible(false);
  P.SetVisible(true);
  P.Font()->SetSize(12);
  P.SetText("x");
  P.SetText("x");
  EXPECT_EQ(P.Calls, (Log{"CMEnabledChanged", "CMVisibleChanged", "CMVisibleChanged", "CMFontChanged",
                          "CM_TEXTCHANGED"}));
  EXPECT_EQ(P.Perform(CM_HITTEST, 0, 0), HTCLIENT);
}

TEST(ControlMessages, MouseMessagesPerformedOutsideAnyWindowReachTheHandlers) {
  TProbe P(nullptr);
  Log E;
  P.OnMouseMove = [&](TObject*, TShiftState, Integer X, Integer Y) {
    E.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
  };
  P.OnClick = [&](TObject*) { E.push_back("click"); };
  P.SetBounds(0, 0, 50, 50);
  P.Perform(WM_MOUSEMOVE, 0, PointToSmallPoint(TPoint(3, 4)));
  P.Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToSmallPoint(TPoint(3, 4)));
  P.Perform(WM_LBUTTONUP, 0, PointToSmallPoint(TPoint(3, 4)));
  EXPECT_EQ(E, (Log{"move 3,4", "click"}));
}

TEST(ControlMessages, WindowProcChainsRunNewestFirstAndRestoreInAnyOrder) {
  TProbe P(nullptr);
  Log L;
  TWndMethod Base = P.WindowProc();
  auto Hook = [&](const char* Name, TWndMethod Next) {
    return TWndMethod([&L, Name, Next](TMessage& M) {
      if (M.Msg == CM_ENABLEDCHANGED) L.push_back(Name);
      Next(M);
    });
  };
  TWndMethod First = Hook("first", Base);
  P.SetWindowProc(First);
  P.SetWindowProc(Hook("second", First));
  P.SetEnabled(false);
  EXPECT_EQ(L, (Log{"second", "first"}));
  EXPECT_EQ(P.Calls, (Log{"CMEnabledChanged"}));
  P.SetWindowProc(Base);
  L.clear();
  P.SetEnabled(true);
  EXPECT_TRUE(L.empty());
  EXPECT_EQ(P.Calls.size(), 2u);
}

TEST(ControlMessages, ChildrenFollowTheParentsFontColorAndHintUntilTheyHaveTheirOwn) {
  TWinControl Parent(nullptr);
  auto* A = new TProbe(nullptr);
  auto* B = new TProbe(nullptr);
  Parent.SetColor(clRed);
  Parent.Font()->SetName("Liberation Serif");
  Parent.SetShowHint(true);
  A->SetParent(&Parent);
  B->SetParent(&Parent);
  EXPECT_EQ(A->Color(), clRed);
  EXPECT_EQ(A->Font()->Name(), "Liberation Serif");
  EXPECT_TRUE(A->ShowHint());
  EXPECT_TRUE(A->ParentColor());

  B->SetColor(clBlue);
  B->Font()->SetSize(20);
  EXPECT_FALSE(B->ParentColor());
  EXPECT_FALSE(B->ParentFont());
  Parent.SetColor(clGreen);
  Parent.Font()->SetStyle({fsBold});
  EXPECT_EQ(A->Color(), clGreen);
  EXPECT_TRUE(A->Font()->Style().Contains(fsBold));
  EXPECT_EQ(B->Color(), clBlue);
  EXPECT_FALSE(B->Font()->Style().Contains(fsBold));
  // Going back to the parent's takes its current value.
  B->SetParentColor(true);
  EXPECT_EQ(B->Color(), clGreen);
}

TEST(ControlMessages, TextLivesInTheControlAndTheCaptionFollowsTheName) {
  TProbe P(nullptr);
  P.SetName("Probe1");
  EXPECT_EQ(P.Caption(), "Probe1");
  P.SetName("Probe2");
  EXPECT_EQ(P.Caption(), "Probe2");
  P.SetCaption("Other");
  P.SetName("Probe3");
  EXPECT_EQ(P.Caption(), "Other");
  char Buffer[4];
  EXPECT_EQ(P.GetTextBuf(Buffer, sizeof(Buffer)), 3);
  EXPECT_STREQ(Buffer, "Oth");
  EXPECT_EQ(P.GetTextLen(), 5);
}

TEST(ControlMessages, GraphicChildrenComeFirstAndZOrderMovesWithinEachKind) {
  TWinControl Parent(nullptr);
  auto* W1 = new TWinControl(nullptr);
  auto* G1 = new TProbe(nullptr);
  auto* W2 = new TWinControl(nullptr);
  auto* G2 = new TProbe(nullptr);
  for (TControl* C : std::initializer_list<TControl*>{W1, G1, W2, G2}) C->SetParent(&Parent);
  auto Order = [&] {
    std::vector<TControl*> R;
    for (Integer I = 0; I < Parent.ControlCount(); ++I) R.push_back(Parent.Controls(I));
    return R;
  };
  EXPECT_EQ(Order(), (std::vector<TControl*>{G1, G2, W1, W2}));
  G1->BringToFront();
  W2->SendToBack();
  EXPECT_EQ(Order(), (std::vector<TControl*>{G2, G1, W2, W1}));
  EXPECT_THROW(Parent.Controls(4), EListError);
}

TEST(ControlMessages, TabOrderIsTheOrderOfInsertionUntilSet) {
  TWinControl Parent(nullptr);
  auto* A = new TWinControl(nullptr);
  auto* B = new TWinControl(nullptr);
  auto* C = new TWinControl(nullptr);
  for (TWinControl* W : {A, B, C}) W->SetParent(&Parent);
  auto* Inner = new TWinControl(nullptr);
  Inner->SetParent(B);
  EXPECT_EQ(C->TabOrder(), 2);
  C->SetTabOrder(0);
  A->SetTabOrder(99);  // clamped to the last place
  std::vector<TWinControl*> List;
  Parent.GetTabOrderList(List);
  EXPECT_EQ(List, (std::vector<TWinControl*>{C, B, Inner, A}));
}

TEST(ControlMessages, DestroyingAParentDestroysItsChildrenAndLinksGoNull) {
  auto* Parent = new TWinControl(nullptr);
  auto* Child = new TProbe(nullptr);
  Child->SetParent(Parent);
  TControlLink ParentLink(Parent), ChildLink(Child);
  auto* Other = new TProbe(nullptr);
  Other->SetParent(Parent);
  delete Other;
  EXPECT_EQ(Parent->ControlCount(), 1);
  delete Parent;
  EXPECT_FALSE(ParentLink);
  EXPECT_FALSE(ChildLink);
}

TEST(ControlMessages, AParentCannotBeTheControlOrOneOfItsChildren) {
  TWinControl Outer(nullptr);
  auto* Inner = new TWinControl(nullptr);
  Inner->SetParent(&Outer);
  EXPECT_THROW(Outer.SetParent(&Outer), EInvalidOperation);
  EXPECT_THROW(Outer.SetParent(Inner), EInvalidOperation);
  EXPECT_EQ(Inner->Parent(), &Outer);
}

TEST(ControlMessages, ClientOriginNeedsAWindowSomewhereUp) {
  TProbe P(nullptr);
  P.SetName("Lonely");
  try {
    P.ClientOrigin();
    FAIL();
  } catch (EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Control 'Lonely' has no parent window");
  }
}

TEST(ControlMessages, PointsConvertBetweenAControlAndAnyOfItsParents) {
  TWinControl Outer(nullptr);
  Outer.SetName("Outer");
  auto* Middle = new TWinControl(nullptr);
  Middle->SetBounds(10, 20, 100, 100);
  Middle->SetParent(&Outer);
  auto* Leaf = new TProbe(nullptr);
  Leaf->SetName("Leaf");
  Leaf->SetBounds(3, 4, 10, 10);
  Leaf->SetParent(Middle);
  EXPECT_EQ(Leaf->ClientToParent(TPoint(1, 1)), TPoint(4, 5));
  EXPECT_EQ(Leaf->ClientToParent(TPoint(1, 1), &Outer), TPoint(14, 25));
  EXPECT_EQ(Leaf->ParentToClient(TPoint(14, 25), &Outer), TPoint(1, 1));
  TWinControl Stranger(nullptr);
  try {
    Leaf->ClientToParent(TPoint(0, 0), &Stranger);
    FAIL();
  } catch (EInvalidOperation& E) {
    EXPECT_EQ(E.Message(), "Parent given is not a parent of 'Leaf'");
  }
  EXPECT_THROW(Outer.ClientToParent(TPoint(0, 0)), EInvalidOperation);
}

TEST(ControlMessages, AUtilityWindowHandsItsMessagesToAMethod) {
  Log L;
  HWND Wnd = nullptr;
  Wnd = AllocateHWnd([&](TMessage& M) {
    if (M.Msg == WM_USER + 1) {
      L.push_back("user " + std::to_string(M.WParam));
      M.Result = 42;
    } else {
      M.Result = DefWindowProc(Wnd, M.Msg, M.WParam, M.LParam);
    }
  });
  ASSERT_NE(Wnd, nullptr);
  EXPECT_FALSE(IsWindowVisible(Wnd));
  EXPECT_EQ(SendMessage(Wnd, WM_USER + 1, 7, 0), 42);
  EXPECT_EQ(L, (Log{"user 7"}));
  DeallocateHWnd(Wnd);
  EXPECT_FALSE(IsWindow(Wnd));
}

TEST(ControlMessages, AUtilityWindowMayReplaceItselfFromItsOwnHandler) {
  // The handler deallocates its own window and allocates its successor
  // while it runs; what it captured must outlive that.
  Log L;
  HWND First = nullptr, Second = nullptr;
  auto Gone = std::make_shared<bool>(false);
  struct TMark {
    std::shared_ptr<bool> Gone;
    explicit TMark(std::shared_ptr<bool> G) : Gone(std::move(G)) {}
    ~TMark() { *Gone = true; }
  };
  First = AllocateHWnd([&, Mark = std::make_shared<TMark>(Gone), Name = std::string("first")](TMessage& M) {
    if (M.Msg != WM_USER + 1) {
      M.Result = DefWindowProc(First, M.Msg, M.WParam, M.LParam);
      return;
    }
    DeallocateHWnd(First);
    L.push_back(Name + (IsWindow(First) ? " alive" : " gone") + (*Mark->Gone ? " freed" : " held"));
    Second = AllocateHWnd([&](TMessage& N) {
      if (N.Msg == WM_USER + 2) {
        L.push_back("second " + std::to_string(N.WParam));
        DeallocateHWnd(Second);
        N.Result = 2;
      } else {
        N.Result = DefWindowProc(Second, N.Msg, N.WParam, N.LParam);
      }
    });
    M.Result = SendMessage(Second, WM_USER + 2, 5, 0);
  });
  ASSERT_NE(First, nullptr);
  EXPECT_EQ(SendMessage(First, WM_USER + 1, 0, 0), 2);
  EXPECT_EQ(L, (Log{"first gone held", "second 5"}));
  EXPECT_TRUE(*Gone);
  EXPECT_FALSE(IsWindow(First));
  EXPECT_FALSE(IsWindow(Second));
  EXPECT_EQ(SendMessage(First, WM_USER + 1, 0, 0), 0);
}

TEST(ControlMessages, AControlFollowsItsActionAndItsClickRunsIt) {
  TComponent Owner(nullptr);
  auto* A = new TAction(&Owner);
  Integer Runs = 0;
  A->SetCaption("&Open");
  A->SetHint("Open|Opens a file");
  A->SetOnExecute([&](TObject*) { ++Runs; });
  auto* P = new TProbe(&Owner);
  P->SetBounds(0, 0, 20, 20);
  P->SetAction(A);
  EXPECT_EQ(P->Caption(), "&Open");
  EXPECT_EQ(P->Hint(), "Open|Opens a file");
  A->SetVisible(false);
  A->SetEnabled(false);
  A->SetCaption("Open again");
  EXPECT_FALSE(P->Visible());
  EXPECT_FALSE(P->Enabled());
  EXPECT_EQ(P->Caption(), "Open again");
  // A click runs the action through its chain: a disabled one does not run.
  P->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  P->Perform(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Runs, 0);
  A->SetEnabled(true);
  A->SetVisible(true);
  P->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  P->Perform(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(Runs, 1);
  EXPECT_EQ(A->ActionComponent(), nullptr) << "only while it runs";
  // A caption set on the control itself is no longer the action's.
  P->SetCaption("Mine");
  A->SetCaption("Theirs");
  EXPECT_EQ(P->Caption(), "Mine");
  delete A;
  EXPECT_EQ(P->Action(), nullptr) << "the link goes with the action";
}

TEST(ControlMessages, AcceleratorsAndHintParts) {
  EXPECT_TRUE(IsAccel('N', "&Name"));
  EXPECT_TRUE(IsAccel('n', "Fi&nd"));
  EXPECT_FALSE(IsAccel('N', "&&Name"));
  EXPECT_FALSE(IsAccel('A', "Name"));
  EXPECT_EQ(GetShortHint("Open|Opens a file"), "Open");
  EXPECT_EQ(GetLongHint("Open|Opens a file"), "Opens a file");
  EXPECT_EQ(GetLongHint("Open"), "Open");
}

}  // namespace
