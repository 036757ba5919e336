// A control whose CreateParams make it a pop-up window while a control of
// the framework is its parent: markers floating over a grid are made so.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/win/gdi/gdi.h"

using namespace controls_test;

namespace {

class TFloatingMarker : public TCustomControl {
 public:
  explicit TFloatingMarker(TComponent* AOwner) : TCustomControl(AOwner) {}
  int Paints = 0;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~(WS_CHILD | WS_GROUP | WS_TABSTOP)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    Params.WindowClass.style |= CS_SAVEBITS;
  }
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(ClientRect());
  }
};

class PopupChild : public TFormsTest {
 protected:
  TForm* Form = nullptr;
  TTestPanel* Panel = nullptr;
  TTestEdit* Edit = nullptr;
  TFloatingMarker* Marker = nullptr;

  void SetUp() override {
    TFormsTest::SetUp();
    Form = MakeForm(400, 300);
    Panel = new TTestPanel(Form);
    Panel->SetBounds(20, 20, 100, 80);
    Panel->SetColor(clWhite);
    Panel->SetParent(Form);
    Edit = new TTestEdit(Form);
    Edit->SetBounds(200, 20, 80, 20);
    Edit->SetParent(Form);
    Form->Show();
    Pump();
    Edit->SetFocus();
    Pump();
    Marker = new TFloatingMarker(Form);
    Marker->SetVisible(false);
    Marker->SetParent(Panel);
  }
};

}  // namespace

TEST_F(PopupChild, LiesInScreenCoordinatesUnclippedByItsParent) {
  // Half over the panel, half beyond its right edge.
  const TPoint PanelOrigin = Panel->ClientToScreen(TPoint(0, 0));
  const TRect Where = Bounds(PanelOrigin.X + 80, PanelOrigin.Y + 10, 40, 30);
  Marker->SetBounds(Where.Left, Where.Top, Where.Width(), Where.Height());
  Marker->Show();
  Pump();
  HWND H = Marker->Handle();
  EXPECT_TRUE(GetWindowLong(H, GWL_STYLE) & WS_POPUP);
  EXPECT_FALSE(GetWindowLong(H, GWL_STYLE) & WS_CHILD);
  RECT R{};
  GetWindowRect(H, &R);
  EXPECT_EQ(R, Where);
  EXPECT_EQ(Marker->BoundsRect(), Where);
  EXPECT_EQ(Marker->ClientToScreen(TPoint(0, 0)), Where.TopLeft());
  // What shows at those screen points is the marker, inside and outside
  // the panel.
  EXPECT_EQ(WindowFromPoint(POINT{Where.Left + 5, Where.Top + 5}), H);
  EXPECT_EQ(WindowFromPoint(POINT{Where.Right - 5, Where.Top + 5}), H);
  EXPECT_EQ(rtl::testing::WindowPixel(H, 35, 5), ColorToRGB(clRed));
  EXPECT_GT(Marker->Paints, 0);
  // Moving it keeps it in screen coordinates.
  Marker->SetBounds(Where.Left + 7, Where.Top + 3, 40, 30);
  Pump();
  GetWindowRect(H, &R);
  EXPECT_EQ(R, Bounds(Where.Left + 7, Where.Top + 3, 40, 30));
}

TEST_F(PopupChild, ShowsWithoutTakingTheFocusOrActivating) {
  int Deactivations = 0;
  Form->OnDeactivate = [&](TObject*) { ++Deactivations; };
  HWND Active = GetActiveWindow();
  ASSERT_EQ(Active, Form->Handle());
  ASSERT_EQ(GetFocus(), Edit->Handle());
  Marker->SetBounds(300, 300, 30, 30);
  Marker->Show();
  Marker->BringToFront();
  Pump();
  EXPECT_TRUE(IsWindowVisible(Marker->Handle()));
  EXPECT_EQ(GetActiveWindow(), Active);
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_EQ(Deactivations, 0);
  Marker->Hide();
  Pump();
  EXPECT_FALSE(IsWindowVisible(Marker->Handle()));
  EXPECT_EQ(GetFocus(), Edit->Handle());
}

TEST_F(PopupChild, TakesItsWindowRegion) {
  Marker->SetBounds(300, 300, 30, 30);
  Marker->Show();
  Pump();
  SetWindowRgn(Marker->Handle(), CreateEllipticRgn(0, 0, 30, 30), TRUE);
  Pump();
  EXPECT_EQ(WindowFromPoint(POINT{315, 315}), Marker->Handle());
  EXPECT_NE(WindowFromPoint(POINT{301, 301}), Marker->Handle());
  HRGN Got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(Marker->Handle(), Got), ERROR);
  EXPECT_TRUE(PtInRegion(Got, 15, 15));
  EXPECT_FALSE(PtInRegion(Got, 1, 1));
  DeleteObject(Got);
}

TEST_F(PopupChild, ItsParentAndOwnerAreTheFrameworkParentsWindow) {
  Marker->SetBounds(300, 300, 30, 30);
  Marker->Show();
  Pump();
  // The window's owner is the top-level window of the parent control; the
  // framework keeps it among the panel's children.
  EXPECT_EQ(Marker->Parent(), Panel);
  EXPECT_EQ(GetAncestor(Marker->Handle(), GA_ROOT), Marker->Handle());
  EXPECT_EQ(GetWindow(Marker->Handle(), GW_OWNER), Form->Handle());
  // Destroying the panel takes the marker's window along.
  HWND H = Marker->Handle();
  delete Panel;
  Pump();
  EXPECT_FALSE(IsWindow(H));
}
