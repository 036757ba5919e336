// Frames and their document forms: the MDI client, which document is
// active and what each one hears of it, cycling, maximising, closing, and
// the simple layouts.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/win/user/user_mdi.h"
#include "platform/win/user/user_sysinfo.h"

using namespace controls_test;

namespace {

class Mdi : public TFormsTest {
 protected:
  TForm* Frame = nullptr;
  TTestPanel* Bar = nullptr;
  Log Events;

  void SetUp() override {
    TFormsTest::SetUp();
    ASSERT_EQ(Application->MainForm(), nullptr);
    Application->CreateForm(Frame);
    Forms.push_back(Frame->Link());
    Frame->SetName("Frame");
    Frame->SetBounds(50, 50, 600, 400);
    Frame->SetFormStyle(fsMDIForm);
    // A tool bar along the top; the client takes the rest.
    Bar = new TTestPanel(Frame);
    Bar->SetParent(Frame);
    Bar->SetHeight(30);
    Bar->SetAlign(alTop);
    Frame->Show();
    Pump();
  }

  // A document form that logs what it hears of the activation.
  TForm* MakeDocument(const char* Name) {
    TForm* F = TCustomForm::Create<TForm>(nullptr);
    Forms.push_back(F->Link());
    F->SetName(Name);
    F->SetBounds(10, 10, 200, 150);
    F->OnActivate = [this, F](TObject*) { Events.push_back(F->Name() + ".OnActivate"); };
    F->OnDeactivate = [this, F](TObject*) { Events.push_back(F->Name() + ".OnDeactivate"); };
    TWndMethod Old = F->WindowProc();
    F->SetWindowProc([this, F, Old](TMessage& M) {
      if (M.Msg == WM_MDIACTIVATE) {
        auto Name = [](LPARAM H) {
          TWinControl* C = FindControl(reinterpret_cast<HWND>(H));
          return C ? C->Name() : std::string("-");
        };
        Events.push_back(F->Name() + ".WM_MDIACTIVATE(" + Name(static_cast<LPARAM>(M.WParam)) + ">" + Name(M.LParam) +
                         ")");
      }
      Old(M);
    });
    F->SetFormStyle(fsMDIChild);
    Pump();
    return F;
  }

  HWND Active(BOOL* Maximized = nullptr) {
    return reinterpret_cast<HWND>(
        SendMessage(Frame->ClientHandle(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(Maximized)));
  }
  // A window's rectangle in the MDI client's coordinates.
  RECT InClient(HWND H) {
    RECT R;
    GetWindowRect(H, &R);
    MapWindowPoints(nullptr, Frame->ClientHandle(), reinterpret_cast<POINT*>(&R), 2);
    return R;
  }
};

TEST_F(Mdi, TheFrameHasAClientWindowBelowItsAlignedControls) {
  HWND Client = Frame->ClientHandle();
  ASSERT_TRUE(Client);
  char Name[32] = {};
  GetClassName(Client, Name, sizeof Name);
  EXPECT_STREQ(Name, "MDICLIENT");
  EXPECT_EQ(GetParent(Client), Frame->Handle());
  RECT R;
  GetWindowRect(Client, &R);
  MapWindowPoints(nullptr, Frame->Handle(), reinterpret_cast<POINT*>(&R), 2);
  EXPECT_EQ(R, RECT(0, 30, Frame->ClientWidth(), Frame->ClientHeight()));
  Frame->SetBounds(50, 50, 500, 300);
  Pump();
  GetWindowRect(Client, &R);
  MapWindowPoints(nullptr, Frame->Handle(), reinterpret_cast<POINT*>(&R), 2);
  EXPECT_EQ(R, RECT(0, 30, Frame->ClientWidth(), Frame->ClientHeight())) << "it follows the frame's size";
  EXPECT_EQ(Frame->ActiveMDIChild(), nullptr);
  EXPECT_EQ(Frame->MDIChildCount(), 0);
}

TEST_F(Mdi, TheNewestDocumentIsActiveAndBothHearOfTheChange) {
  TForm* A = MakeDocument("A");
  EXPECT_EQ(Frame->ActiveMDIChild(), A);
  EXPECT_EQ(GetParent(A->Handle()), Frame->ClientHandle());
  EXPECT_TRUE(GetWindowLong(A->Handle(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(GetWindowLong(A->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_TRUE(A->Visible()) << "a document shows once made";
  Events.clear();
  TForm* B = MakeDocument("B");
  BOOL Maximized = TRUE;
  EXPECT_EQ(Active(&Maximized), B->Handle());
  EXPECT_FALSE(Maximized);
  EXPECT_EQ(Frame->ActiveMDIChild(), B);
  const Log Expected{"A.WM_MDIACTIVATE(A>B)", "B.WM_MDIACTIVATE(A>B)", "A.OnDeactivate", "B.OnActivate"};
  EXPECT_EQ(Events, Expected);
  EXPECT_TRUE(B->Active());
  EXPECT_FALSE(A->Active());
  ASSERT_EQ(Frame->MDIChildCount(), 2);
  EXPECT_TRUE((Frame->MDIChildren(0) == A && Frame->MDIChildren(1) == B) ||
              (Frame->MDIChildren(0) == B && Frame->MDIChildren(1) == A));
  EXPECT_THROW(Frame->MDIChildren(2), EListError);
}

TEST_F(Mdi, TheActiveDocumentFollowsClicksNextAndPrevious) {
  TForm* A = MakeDocument("A");
  auto* Edit = new TTestEdit(A);
  Edit->SetParent(A);
  Edit->SetBounds(10, 10, 80, 20);
  TForm* B = MakeDocument("B");
  B->SetBounds(220, 10, 200, 150);
  Pump();
  ASSERT_EQ(Frame->ActiveMDIChild(), B);
  // Into a control of the other document.
  ClickAt(Edit, 5, 5);
  EXPECT_EQ(Frame->ActiveMDIChild(), A);
  EXPECT_EQ(GetFocus(), Edit->Handle());
  // On the other document itself.
  ClickAt(B, 100, 100);
  EXPECT_EQ(Frame->ActiveMDIChild(), B);
  // On its caption.
  POINT Caption = At(A, 50, 0);
  Caption.Y -= GetSystemMetrics(SM_CYCAPTION) / 2;
  rtl::testing::AdvanceClock(1000);
  rtl::testing::InjectClick(Caption);
  Pump();
  EXPECT_EQ(Frame->ActiveMDIChild(), A);
  TForm* C = MakeDocument("C");
  ASSERT_EQ(Frame->ActiveMDIChild(), C);
  // Next visits every document before it comes back; Previous goes back.
  Log Visited;
  for (int I = 0; I < 3; ++I) {
    Frame->Next();
    Pump();
    Visited.push_back(Frame->ActiveMDIChild()->Name());
  }
  EXPECT_EQ(Visited.back(), "C");
  EXPECT_NE(Visited[0], Visited[1]);
  Frame->Previous();
  Pump();
  EXPECT_EQ(Frame->ActiveMDIChild()->Name(), Visited[1]);
}

TEST_F(Mdi, AMaximisedDocumentFillsTheClientAndPassesItOn) {
  TForm* A = MakeDocument("A");
  TForm* B = MakeDocument("B");
  SendMessage(Frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(B->Handle()), 0);
  Pump();
  BOOL Maximized = FALSE;
  EXPECT_EQ(Active(&Maximized), B->Handle());
  EXPECT_TRUE(Maximized);
  EXPECT_EQ(B->WindowState(), wsMaximized);
  RECT ClientArea;
  GetClientRect(Frame->ClientHandle(), &ClientArea);
  POINT Origin = B->ClientToScreen(TPoint(0, 0));
  ScreenToClient(Frame->ClientHandle(), &Origin);
  EXPECT_EQ(Origin, POINT(0, 0)) << "the frame lies outside the client";
  EXPECT_EQ(B->ClientWidth(), ClientArea.Right);
  EXPECT_EQ(B->ClientHeight(), ClientArea.Bottom);
  Frame->Next();
  Pump();
  EXPECT_EQ(Frame->ActiveMDIChild(), A);
  EXPECT_TRUE(IsZoomed(A->Handle())) << "the next document takes the maximised state";
  EXPECT_FALSE(IsZoomed(B->Handle()));
  SendMessage(Frame->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(A->Handle()), 0);
  EXPECT_FALSE(IsZoomed(A->Handle()));
}

TEST_F(Mdi, ClosingMinimisesADocumentUnlessItsHandlerFreesIt) {
  TForm* A = MakeDocument("A");
  TForm* B = MakeDocument("B");
  A->Close();
  Pump();
  EXPECT_TRUE(IsIconic(A->Handle()));
  EXPECT_EQ(A->WindowState(), wsMinimized);
  EXPECT_EQ(Frame->MDIChildCount(), 2);
  // The minimised ones line up along the bottom of the client.
  RECT ClientArea;
  GetClientRect(Frame->ClientHandle(), &ClientArea);
  EXPECT_EQ(InClient(A->Handle()).Bottom, ClientArea.Bottom);
  EXPECT_EQ(InClient(A->Handle()).Left, 0);
  TControlLink BLink = B->Link();
  B->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  Frame->Next();
  Pump();
  B->Close();
  Pump();
  EXPECT_FALSE(BLink) << "caFree frees the document";
  EXPECT_EQ(Frame->MDIChildCount(), 1);
  EXPECT_EQ(Frame->ActiveMDIChild(), A) << "the activation goes to what is left";
  EXPECT_THROW(A->Hide(), EInvalidOperation) << "a document cannot hide";
}

TEST_F(Mdi, CascadeAndTileLayTheDocumentsOut) {
  TForm* A = MakeDocument("A");
  TForm* B = MakeDocument("B");
  RECT Area;
  GetClientRect(Frame->ClientHandle(), &Area);
  Frame->SetTileMode(tbVertical);
  Frame->Tile();
  EXPECT_EQ(InClient(A->Handle()).Width(), Area.Right / 2);
  EXPECT_EQ(InClient(B->Handle()).Height(), Area.Bottom);
  EXPECT_NE(InClient(A->Handle()).Left, InClient(B->Handle()).Left) << "side by side";
  Frame->SetTileMode(tbHorizontal);
  Frame->Tile();
  EXPECT_EQ(InClient(A->Handle()).Width(), Area.Right);
  EXPECT_EQ(InClient(A->Handle()).Height(), Area.Bottom / 2);
  EXPECT_NE(InClient(A->Handle()).Top, InClient(B->Handle()).Top) << "above each other";
  Frame->Cascade();
  const RECT RA = InClient(A->Handle()), RB = InClient(B->Handle());
  EXPECT_EQ(RA.Width(), RB.Width());
  EXPECT_NE(RA.Left, RB.Left);
  EXPECT_EQ(RA.Top - RB.Top, RA.Left - RB.Left) << "a step down and right each";
  EXPECT_EQ(Frame->ActiveMDIChild(), B) << "the layouts keep the active document";
}

TEST_F(Mdi, ADocumentNeedsAFrameAsTheMainForm) {
  TForm* Other = MakeForm();
  Other->SetFormStyle(fsMDIForm);
  Frame->SetFormStyle(fsNormal);
  TForm* F = MakeForm();
  EXPECT_THROW(F->SetFormStyle(fsMDIChild), EInvalidOperation);
}

}  // namespace
