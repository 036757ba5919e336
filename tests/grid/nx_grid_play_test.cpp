// The mouse handed to a column's play element: the press, moves and
// release relative to the cell, the leave, and the refusal of OnBeforeEdit.
#include <gtest/gtest.h>

#include "grid/nx_displays.h"
#include "grid_mouse_test_support.h"

// The element's log; one test at a time.
static std::vector<std::string>* PlayLog = nullptr;

class TRecordingPlay : public TColumnPlay {
  RTL_CLASS(TRecordingPlay, TColumnPlay)

 public:
  using TColumnPlay::TColumnPlay;
  void MouseDown(Integer X, Integer Y) override { Note("down", X, Y); }
  void MouseMove(Integer X, Integer Y) override { Note("move", X, Y); }
  void MouseUp(Integer X, Integer Y) override { Note("up", X, Y); }
  void MouseLeave() override {
    if (PlayLog) PlayLog->push_back("leave");
  }
  void KeyDown(Word Key) override {
    if (PlayLog) PlayLog->push_back("key " + std::string(1, char(Key)) + " " + std::to_string(ColumnIndex) + "," +
                                    std::to_string(Row));
  }

 private:
  void Note(const char* What, Integer X, Integer Y) {
    if (PlayLog)
      PlayLog->push_back(std::string(What) + " " + std::to_string(ColumnIndex) + "," + std::to_string(Row) + " at " +
                         std::to_string(X) + "," + std::to_string(Y));
  }
};
RTL_IMPLEMENT_CLASS(TRecordingPlay)

namespace {

class TPlayColumn : public TNxTextColumn {
 public:
  explicit TPlayColumn(TComponent* AOwner) : TNxTextColumn(AOwner) { CreateElements(); }
  TClass GetPlayClass() const override { return TRecordingPlay::StaticClass(); }
};

class GridPlayTest : public GridMouseTest {
 protected:
  std::vector<std::string> Plays;
  void SetUp() override {
    GridMouseTest::SetUp();
    PlayLog = &Plays;
  }
  void AfterFormFreed() override { PlayLog = nullptr; }
  // Column 0 plain, column 1 with a play element; rows 16 high from y 18.
  void Make(TColumnOptions Extra) {
    G->SetOptions(TGridOptions{goHeader});
    AddColumn();
    auto* C = new TPlayColumn(Form);
    C->SetWidth(100);
    C->SetOptions(C->Options() + Extra);
    G->Columns()->Add(C);
    AddRows(3);
    Pump();
    Plays.clear();
  }
};

TEST_F(GridPlayTest, TheElementGetsTheMouseRelativeToItsCell) {
  Make(TColumnOptions{coEditing});
  Press(130, 18 + 16 + 5);
  Release(130, 18 + 16 + 5);
  MoveTo(50, 18 + 5);
  EXPECT_EQ(Plays, (std::vector<std::string>{"move 1,1 at 30,5", "down 1,1 at 30,5", "up 1,1 at 30,5", "leave"}));
  EXPECT_EQ(G->SelectedRow(), 1);
}

TEST_F(GridPlayTest, RefusedOrReadOnlyTheElementGetsNoPress) {
  Make(TColumnOptions{coEditing});
  std::vector<std::string> Asked;
  G->OnBeforeEdit = [&](TObject*, Integer C, Integer R, bool& Accept) {
    Asked.push_back(std::to_string(C) + "," + std::to_string(R));
    Accept = false;
  };
  Click(130, 18 + 16 + 5);
  // Asked for the press and the release; moves do not ask.
  EXPECT_EQ(Asked, (std::vector<std::string>{"1,1", "1,1"}));
  EXPECT_TRUE(std::none_of(Plays.begin(), Plays.end(), [](const std::string& S) { return S.rfind("down", 0) == 0; }));
  EXPECT_EQ(G->SelectedRow(), 1);
  G->OnBeforeEdit = nullptr;
  G->SetReadOnly(true);
  Plays.clear();
  Click(130, 18 + 2 * 16 + 5);
  // Only the leave of the cell before.
  EXPECT_EQ(Plays, (std::vector<std::string>{"leave"}));
}

TEST_F(GridPlayTest, WithoutEditingTheElementOnlyHearsMoves) {
  Make(TColumnOptions{});
  Click(130, 18 + 16 + 5);
  EXPECT_EQ(Plays, (std::vector<std::string>{"move 1,1 at 30,5"}));
}

// A typed character reaches the element of the selected cell when the
// grid may play it; read-only grids and refusals keep it away.
TEST_F(GridPlayTest, TheElementGetsTypedKeysOfTheSelectedCell) {
  Make(TColumnOptions{coEditing});
  bool Accept = true;
  G->OnBeforeEdit = [&](TObject*, Integer, Integer, bool& A) { A = Accept; };
  G->SelectCell(1, 2, TShiftState(), true, false);
  Plays.clear();
  G->SetFocus();
  rtl::testing::InjectText("x");
  Pump();
  Accept = false;
  rtl::testing::InjectText("y");
  Pump();
  Accept = true;
  G->SetReadOnly(true);
  rtl::testing::InjectText("z");
  Pump();
  EXPECT_EQ(Plays, (std::vector<std::string>{"key x 1,2"}));
}

}  // namespace
