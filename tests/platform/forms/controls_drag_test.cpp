// Dragging controls with injected mouse input: the threshold, the drag-over
// states and the end of the drag each way, the drag images over the
// controls that display them, the cursor, and a source that goes away
// while it drags.
#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/forms/image_list.h"

using namespace controls_test;
using rtl::testing::InjectMouseButton;
using rtl::testing::WindowPixel;

namespace {

// A shape that drags a 10 x 10 blue image held at its centre.
class TDragSource : public TTestShape {
 public:
  TDragImageList Images{10, 10};
  Log* L = nullptr;

  explicit TDragSource(TComponent* AOwner) : TTestShape(AOwner) {
    TBitmap B;
    B.SetSize(10, 10);
    B.Canvas()->Brush()->SetColor(clBlue);
    B.Canvas()->FillRect(TRect(0, 0, 10, 10));
    Images.AddMasked(&B, clFuchsia);
    Images.SetDragImage(0, 5, 5);
  }

 protected:
  TDragImageList* GetDragImages() override { return &Images; }
  void DragCanceled() override {
    if (L) L->push_back("canceled");
    TTestShape::DragCanceled();
  }
};

class ControlsDrag : public TFormsTest {
 protected:
  TForm* Form = nullptr;
  TDragSource* Source = nullptr;
  TTestPanel* Shown = nullptr;  // displays drag images, accepts the drag
  TTestPanel* Plain = nullptr;  // neither
  Log L;
  Integer SavedThreshold = 5;

  template <class T>
  T* Add(const char* Name, TRect Bounds, TColor Color) {
    T* C = new T(Form);
    C->SetName(Name);
    C->SetBoundsRect(Bounds);
    C->SetColor(Color);
    C->SetParent(Form);
    return C;
  }

  void SetUp() override {
    TFormsTest::SetUp();
    SavedThreshold = Mouse->DragThreshold();
    Form = MakeForm();
    Source = Add<TDragSource>("Source", Bounds(10, 10, 40, 40), clRed);
    Source->L = &L;
    Shown = Add<TTestPanel>("Shown", Bounds(100, 10, 120, 100), clWhite);
    Shown->SetControlStyle(Shown->ControlStyle() + csDisplayDragImage);
    Plain = Add<TTestPanel>("Plain", Bounds(100, 150, 120, 100), clAqua);
    Source->OnStartDrag = [this](TObject*, TDragObject*&) { L.push_back("start"); };
    Source->OnEndDrag = [this](TObject*, TObject* Target, Integer X, Integer Y) {
      L.push_back("end " + (Target ? static_cast<TControl*>(Target)->Name() + " " + std::to_string(X) + "," +
                                         std::to_string(Y)
                                   : std::string("nil")));
    };
    for (TTestPanel* P : {Shown, Plain}) {
      P->OnDragOver = [this](TObject* Sender, TObject* From, Integer, Integer, TDragState State, bool& Accept) {
        static const char* const Names[] = {"enter", "leave", "move"};
        L.push_back(static_cast<TControl*>(Sender)->Name() + " " + Names[State]);
        Accept = Sender == Shown && From == Source;
      };
      P->OnDragDrop = [this](TObject* Sender, TObject*, Integer X, Integer Y) {
        L.push_back(static_cast<TControl*>(Sender)->Name() + " drop " + std::to_string(X) + "," + std::to_string(Y));
      };
    }
    Form->Show();
    Pump();
  }
  void TearDown() override {
    CancelDrag();
    Mouse->SetDragThreshold(SavedThreshold);
    for (TCursor C : {crDrag, crMultiDrag, crNoDrop}) Screen->SetCursors(C, nullptr);
    TFormsTest::TearDown();
  }
  void Down(TControl* C, Integer X, Integer Y) {
    InjectMouseButton(rtl::testing::ibLeft, true, At(C, X, Y));
    Pump();
  }
  void Up(TControl* C, Integer X, Integer Y) {
    InjectMouseButton(rtl::testing::ibLeft, false, At(C, X, Y));
    Pump();
  }
  static COLORREF Pixel(TWinControl* C, Integer X, Integer Y) { return WindowPixel(C->Handle(), X, Y); }
};

TEST_F(ControlsDrag, ADragWaitsForTheMouseThresholdThenTellsTheTargetsEachState) {
  Mouse->SetDragThreshold(10);
  Down(Source, 5, 5);
  Source->BeginDrag(false);  // the threshold is the mouse's
  MoveTo(Source, 12, 12);
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_TRUE(L.empty());
  MoveTo(Shown, 5, 5);
  EXPECT_TRUE(Mouse->IsDragging());
  EXPECT_TRUE(Source->Dragging());
  MoveTo(Shown, 6, 6);
  MoveTo(Plain, 5, 5);
  MoveTo(Shown, 7, 8);
  Up(Shown, 7, 8);
  EXPECT_EQ(L, (Log{"start", "Shown enter", "Shown move", "Shown move", "Shown leave", "Plain enter", "Plain move",
                    "Plain leave", "Shown enter", "Shown move", "Shown drop 7,8", "end Shown 7,8"}));
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(ControlsDrag, EachWayOfEndingTellsTheTargetAndTheSource) {
  enum TEnd { ReleaseOverShown, ReleaseOverPlain, EndDragFalse, Escape, CancelDragCall };
  const struct {
    TEnd How;
    bool OverShown;
    Log Tail;
  } Cases[] = {
      {ReleaseOverShown, true, {"Shown drop 9,9", "end Shown 9,9"}},
      {ReleaseOverPlain, false, {"Plain leave", "canceled", "end nil"}},
      {EndDragFalse, true, {"Shown leave", "canceled", "end nil"}},
      {Escape, true, {"Shown leave", "canceled", "end nil"}},
      {CancelDragCall, true, {"Shown leave", "canceled", "end nil"}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.How));
    L.clear();
    Down(Source, 5, 5);
    Source->BeginDrag(true);
    TTestPanel* Over = C.OverShown ? Shown : Plain;
    MoveTo(Over, 9, 9);
    L.clear();
    switch (C.How) {
      case ReleaseOverShown:
      case ReleaseOverPlain: Up(Over, 9, 9); break;
      case EndDragFalse: Source->EndDrag(false); break;
      case Escape: Press(VK_ESCAPE); break;
      case CancelDragCall: CancelDrag(); break;
    }
    EXPECT_EQ(L, C.Tail);
    EXPECT_FALSE(Mouse->IsDragging());
    Up(Over, 9, 9);
    EXPECT_EQ(L, C.Tail) << "the release after the end is an ordinary one";
  }
}

TEST_F(ControlsDrag, TheImageShowsOverControlsThatDisplayItAndGoesAtTheDrop) {
  const COLORREF Blue = ColorToRGB(clBlue), White = ColorToRGB(clWhite), Aqua = ColorToRGB(clAqua);
  Down(Source, 5, 5);
  Source->BeginDrag(true);
  MoveTo(Shown, 50, 50);
  // The image's hot spot (its centre) is at the mouse.
  EXPECT_EQ(Pixel(Shown, 50, 50), Blue);
  EXPECT_EQ(Pixel(Shown, 45, 45), Blue);
  EXPECT_EQ(Pixel(Shown, 54, 54), Blue);
  EXPECT_EQ(Pixel(Shown, 55, 55), White);
  EXPECT_EQ(Pixel(Shown, 44, 50), White);
  EXPECT_TRUE(Source->Images.Dragging());

  MoveTo(Shown, 70, 60);
  EXPECT_EQ(Pixel(Shown, 50, 50), White) << "the old place is painted back";
  EXPECT_EQ(Pixel(Shown, 70, 60), Blue);

  MoveTo(Plain, 50, 50);
  EXPECT_EQ(Pixel(Plain, 50, 50), Aqua) << "hidden over a control that does not display it";
  EXPECT_EQ(Pixel(Shown, 70, 60), White);

  MoveTo(Shown, 30, 30);
  EXPECT_EQ(Pixel(Shown, 30, 30), Blue);
  Up(Shown, 30, 30);
  EXPECT_EQ(Pixel(Shown, 30, 30), White);
  EXPECT_FALSE(Source->Images.Dragging());
}

TEST_F(ControlsDrag, TheCursorSaysWhetherTheTargetAccepts) {
  // Cursors of their own, so that each answer can be told apart.
  Screen->SetCursors(crDrag, LoadCursor(nullptr, IDC_HAND));
  Screen->SetCursors(crMultiDrag, LoadCursor(nullptr, IDC_CROSS));
  Screen->SetCursors(crNoDrop, LoadCursor(nullptr, IDC_NO));
  Down(Source, 5, 5);
  Source->BeginDrag(true);
  MoveTo(Shown, 20, 20);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crDrag));
  MoveTo(Plain, 20, 20);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crNoDrop));
  // The control's own drag cursor, then the image list's while its image
  // shows.
  Source->SetDragCursor(crMultiDrag);
  MoveTo(Shown, 21, 20);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crMultiDrag));
  Source->Images.SetDragCursor(crNoDrop);
  MoveTo(Shown, 22, 20);
  EXPECT_EQ(GetCursor(), Screen->Cursors(crNoDrop));
}

TEST_F(ControlsDrag, ASourceThatGoesAwayEndsItsDragAndLeavesNoImage) {
  Down(Source, 5, 5);
  Source->BeginDrag(true);
  MoveTo(Shown, 50, 50);
  ASSERT_EQ(Pixel(Shown, 50, 50), ColorToRGB(clBlue));
  L.clear();
  delete Source;
  Source = nullptr;
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(L, (Log{"Shown leave"}));
  EXPECT_EQ(Pixel(Shown, 50, 50), ColorToRGB(clWhite));
  EXPECT_EQ(GetCaptureControl(), nullptr);
  // Another drag can begin.
  Up(Shown, 50, 50);
  Down(Plain, 5, 5);
  Plain->BeginDrag(true);
  MoveTo(Shown, 10, 10);
  EXPECT_TRUE(Plain->Dragging());
}

}  // namespace
