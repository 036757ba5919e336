#include "ui/foundation/mouse_tracking.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/forms/controls_messages.h"
#include "platform/testing/user_testing.h"
#include "platform/win/win32.h"
#include "ui/foundation/core_classes.h"
#include "ui/foundation/message_windows.h"
#include "window_helpers_fixture.h"

namespace {

using window_helpers_test::TWindowTest;

// Logs the CM_MOUSELEAVE messages it gets, with the control they name.
class TTrackedControl : public TWinControl {
 public:
  explicit TTrackedControl(TComponent* AOwner) : TWinControl(AOwner) {}
  std::vector<TControl*> Leaves;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_MOUSELEAVE) Leaves.push_back(reinterpret_cast<TControl*>(Message.LParam));
    TWinControl::WndProc(Message);
  }
};

class TCaller : public TcxIUnknownObject, public IcxMouseTrackingCaller {
 public:
  int Leaves = 0;
  std::function<void()> OnLeave;
  void NotifyMouseLeave() override {
    ++Leaves;
    if (OnLeave) OnLeave();
  }
  HRESULT QueryInterface(REFIID riid, void** ppv) override { return TcxIUnknownObject::QueryInterface(riid, ppv); }
  ULONG AddRef() override { return TcxIUnknownObject::AddRef(); }
  ULONG Release() override { return TcxIUnknownObject::Release(); }
};

// Decides itself which points are inside.
class TAreaCaller : public TcxIUnknownObject, public IcxMouseTrackingArea {
 public:
  int Leaves = 0;
  bool Inside = true;
  std::vector<TPoint> Asked;
  void NotifyMouseLeave() override { ++Leaves; }
  bool IsPointInCaller(const TPoint& P) override {
    Asked.push_back(P);
    return Inside;
  }
  HRESULT QueryInterface(REFIID riid, void** ppv) override { return TcxIUnknownObject::QueryInterface(riid, ppv); }
  ULONG AddRef() override { return TcxIUnknownObject::AddRef(); }
  ULONG Release() override { return TcxIUnknownObject::Release(); }

 protected:
  bool GetInterface(REFIID iid, void** obj) override {
    if (IsEqualIID(iid, IID_IcxMouseTrackingArea) || IsEqualIID(iid, IID_IcxMouseTrackingCaller)) {
      *obj = static_cast<IcxMouseTrackingArea*>(this);
      return true;
    }
    return TcxIUnknownObject::GetInterface(iid, obj);
  }
};

class MouseTrackingTest : public TWindowTest {
 protected:
  TForm* FForm = nullptr;
  TTrackedControl* FControl = nullptr;
  std::vector<IcxMouseTrackingCaller*> FCallers;

  void SetUp() override {
    TWindowTest::SetUp();
    FForm = MakeForm(TRect(100, 100, 400, 300));
    FControl = new TTrackedControl(FForm);
    FControl->SetParent(FForm);
    FControl->SetBounds(10, 10, 100, 50);
    FForm->Show();
    Pump();
  }

  // A test that fails early leaves no watch of a caller that is gone.
  void TearDown() override {
    for (IcxMouseTrackingCaller* C : FCallers) cxStopMouseTracking(C);
    TWindowTest::TearDown();
  }

  void Track(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller) {
    FCallers.push_back(ACaller);
    cxBeginMouseTracking(AControl, ABounds, ACaller);
  }
  void MoveTo(const TPoint& AScreen) {
    rtl::testing::InjectMouseMove(AScreen);
    Pump();
    // What the framework says about entering and leaving is not ours.
    FControl->Leaves.clear();
  }
  void MoveOver(TControl* AControl, Integer X, Integer Y) { MoveTo(AControl->ClientToScreen(TPoint(X, Y))); }
  static void Tick() {
    rtl::testing::AdvanceClock(10);
    Pump();
  }
};

TEST_F(MouseTrackingTest, TheLeaveIsReportedOnTheFirstTickWithTheMouseOutside) {
  TCaller Caller;
  MoveOver(FControl, 20, 20);
  Track(FControl, FControl->ClientRect(), &Caller);
  ASSERT_TRUE(cxIsMouseTracking(&Caller));
  EXPECT_EQ(cxFindMouseTrackingTimer(&Caller)->Bounds(),
            TRect(FControl->ClientToScreen(TPoint(0, 0)), FControl->ClientToScreen(TPoint(100, 50))));
  Tick();
  Tick();
  EXPECT_EQ(Caller.Leaves, 0);

  MoveOver(FForm, 250, 150);
  EXPECT_EQ(Caller.Leaves, 0) << "only a tick notices";
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
  EXPECT_EQ(FControl->Leaves, (std::vector<TControl*>{FControl}));
  EXPECT_FALSE(cxIsMouseTracking(&Caller));
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
}

TEST_F(MouseTrackingTest, ADisabledControlGetsItsLeaveOnTheNextTickWithTheMouseOverIt) {
  TCaller Caller;
  MoveOver(FControl, 20, 20);
  Track(FControl, FControl->ClientRect(), &Caller);
  Tick();
  EXPECT_EQ(Caller.Leaves, 0);
  FControl->SetEnabled(false);
  FControl->Leaves.clear();
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
  EXPECT_EQ(FControl->Leaves, (std::vector<TControl*>{FControl}));
  EXPECT_FALSE(cxIsMouseTracking(&Caller));
}

TEST_F(MouseTrackingTest, AnAreaCallerDecidesWithPointsInTheControlsCoordinates) {
  TAreaCaller Caller;
  MoveOver(FControl, 20, 30);
  // The bounds do not count for an area caller.
  Track(FControl, TRect(0, 0, 1, 1), &Caller);
  Tick();
  EXPECT_EQ(Caller.Leaves, 0);
  EXPECT_EQ(Caller.Asked, (std::vector<TPoint>{TPoint(20, 30)}));
  Caller.Inside = false;
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
  // Still over the control's client area: the control hears nothing.
  EXPECT_TRUE(FControl->Leaves.empty());

  // Without a control it is asked with screen points.
  TAreaCaller Loose;
  Track(nullptr, TRect(), &Loose);
  Tick();
  EXPECT_EQ(Loose.Asked, (std::vector<TPoint>{FControl->ClientToScreen(TPoint(20, 30))}));
  cxStopMouseTracking(&Loose);
  EXPECT_EQ(Loose.Leaves, 0) << "stopping tells nobody";
}

TEST_F(MouseTrackingTest, WithoutAControlTheScreenBoundsDecide) {
  TCaller Caller;
  MoveTo(TPoint(600, 600));
  Track(nullptr, TRect(590, 590, 620, 620), &Caller);
  Track(nullptr, TRect(0, 0, 1, 1), &Caller);
  EXPECT_EQ(cxFindMouseTrackingTimer(&Caller)->Bounds(), TRect(590, 590, 620, 620)) << "one watch per caller";
  MoveTo(TPoint(619, 619));
  Tick();
  EXPECT_EQ(Caller.Leaves, 0);
  MoveTo(TPoint(620, 600));
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
}

TEST_F(MouseTrackingTest, AControlDestroyedWhileTrackedEndsTheWatch) {
  TCaller Caller;
  MoveOver(FControl, 20, 20);
  Track(FControl, FControl->ClientRect(), &Caller);
  delete FControl;
  FControl = nullptr;
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
  EXPECT_FALSE(cxIsMouseTracking(&Caller));
}

TEST_F(MouseTrackingTest, AControlWithoutAWindowIsLeftOnTheFirstTick) {
  TCaller Caller;
  TTrackedControl Orphan(nullptr);
  MoveOver(FControl, 20, 20);
  EXPECT_NO_THROW(Track(&Orphan, TRect(0, 0, 10, 10), &Caller));
  ASSERT_TRUE(cxIsMouseTracking(&Caller));
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
  EXPECT_TRUE(Orphan.Leaves.empty());
  EXPECT_FALSE(Orphan.HandleAllocated());
}

TEST_F(MouseTrackingTest, ACallerThatRaisesOnTheLeaveIsStillNoLongerTracked) {
  std::vector<AnsiString> Reports;
  TExceptionEvent Saved = Application->OnException;
  Application->OnException = TExceptionEvent([&](TObject*, Exception* E) { Reports.push_back(E->Message()); });
  TCaller Caller;
  Caller.OnLeave = [] { throw Exception("leave failed"); };
  MoveOver(FControl, 20, 20);
  Track(FControl, FControl->ClientRect(), &Caller);
  FControl->SetEnabled(false);
  Tick();
  Tick();
  EXPECT_EQ(Caller.Leaves, 1);
  EXPECT_EQ(Reports, (std::vector<AnsiString>{"leave failed"}));
  EXPECT_FALSE(cxIsMouseTracking(&Caller));
  Application->OnException = Saved;
}

TEST_F(MouseTrackingTest, ShutDownWithALiveTrackerStopsItAndFinishes) {
  TCaller Caller;
  MoveOver(FControl, 20, 20);
  Track(FControl, FControl->ClientRect(), &Caller);
  HWND Plain = MakeWindow(WS_POPUP, TRect(0, 0, 10, 10));
  const LONG_PTR InitialProc = GetWindowLongPtrA(Plain, GWL_WNDPROC);
  const TWndMethod InitialMethod = FControl->WindowProc();
  ASSERT_NE(cxGetWindowProcController()->AddHandleWndProc(Plain, TWndMethod([](TMessage& M) { M.Result = 0; })),
            nullptr);
  ASSERT_NE(cxGetWindowProcController()->AddControlWndProc(FControl, TWndMethod([](TMessage&) {})), nullptr);

  EXPECT_NO_THROW(cx_controls_detail::StopControls());
  EXPECT_FALSE(cxIsMouseTracking(&Caller));
  EXPECT_EQ(GetWindowLongPtrA(Plain, GWL_WNDPROC), InitialProc);
  EXPECT_TRUE(FControl->WindowProc() == InitialMethod);
  EXPECT_EQ(cxGetWindowProcController(), nullptr);
  // Nothing is watched while the unit is down.
  Track(FControl, FControl->ClientRect(), &Caller);
  EXPECT_FALSE(cxIsMouseTracking(&Caller));
  FControl->SetEnabled(false);
  Tick();
  EXPECT_EQ(Caller.Leaves, 0);

  cx_controls_detail::StartControls();
  Track(FControl, FControl->ClientRect(), &Caller);
  Tick();
  EXPECT_EQ(Caller.Leaves, 1) << "tracking works again after a new start";
}

}  // namespace
