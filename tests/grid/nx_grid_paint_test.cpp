// Painting of the grid, checked by pixels of captured windows: the file
// list's slides, cell colours in the report view, grid lines, the caption
// over an empty grid, the focus frame, the border, the order of the
// painting events, and pictures after row operations against a full
// repaint.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/nx_shared_common.h"
#include "grid/nx_style_display.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/stdctrls.h"
#include "platform/testing/user_testing.h"
#include "platform/testing/uxtheme_recording.h"
#include "platform/win/user/user_native.h"
#include "platform/win/user/user.h"
#include "tests/common/pictures.h"
#include "tests/grid/form_test_support.h"
#include "tests/grid/main_grid_support.h"

using main_grid::Capture;
using main_grid::TShot;

namespace {

// A grid that lets a test reach the state painting reads.
class TPaintGrid : public TNxGrid {
 public:
  using TNxGrid::TNxGrid;
  bool PartialHidden = false;
  Integer ExtraFocusFrames = 0;
  bool HidePartialRows() override { return PartialHidden; }
  void FakeEditing(Integer ACol, Integer ARow) {
    FState.Include(sfEditing);
    FEditCol = ACol;
    FEditRow = ARow;
  }
  void FakeInputLine(bool Active) { FInputLineActive = Active; }

 protected:
  void Paint() override {
    TNxGrid::Paint();
    for (Integer i = 0; i < ExtraFocusFrames; ++i) DrawFocusFrame();
  }
};

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

// The ink (pixels unlike Back) of a region: its bounding box, empty when
// there is none, and the darkest ink pixel.
struct TInk {
  TRect Box;
  COLORREF Darkest = 0xFFFFFF;
  bool Any() const { return !Box.IsEmpty(); }
};
TInk InkIn(const TShot& P, const TRect& R, COLORREF Back) {
  TInk Ink;
  Ink.Box = TRect(R.Right, R.Bottom, R.Left, R.Top);
  int Best = 3 * 256;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X) {
      const COLORREF C = P.At(X, Y);
      if (C == Back) continue;
      Ink.Box.Left = std::min<Integer>(Ink.Box.Left, X);
      Ink.Box.Top = std::min<Integer>(Ink.Box.Top, Y);
      Ink.Box.Right = std::max<Integer>(Ink.Box.Right, X + 1);
      Ink.Box.Bottom = std::max<Integer>(Ink.Box.Bottom, Y + 1);
      const int Sum = GetRValue(C) + GetGValue(C) + GetBValue(C);
      if (Sum < Best) {
        Best = Sum;
        Ink.Darkest = C;
      }
    }
  if (Ink.Box.Left >= Ink.Box.Right) Ink.Box = TRect();
  return Ink;
}

// Where two pictures of one size differ, as "L,T,R,B".
std::string DiffBox(const TShot& A, const TShot& B) {
  if (A.Width != B.Width || A.Height != B.Height) return "sizes differ";
  int L = A.Width, T = A.Height, R = -1, Bo = -1;
  for (int Y = 0; Y < A.Height; ++Y)
    for (int X = 0; X < A.Width; ++X)
      if (A.At(X, Y) != B.At(X, Y)) {
        L = std::min(L, X);
        T = std::min(T, Y);
        R = std::max(R, X + 1);
        Bo = std::max(Bo, Y + 1);
      }
  return "differ in " + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(R) + "," +
         std::to_string(Bo);
}

class GridPaintTest : public FormTest {
 protected:
  TPaintGrid* G = nullptr;
  TButton* Other = nullptr;
  TCustomImageList* Images = nullptr;

  void PlaceControls() override {
    Form->SetBounds(40, 40, 820, 620);
    Other = Place<TButton>(750, 10, 40, 20);
    G = new TPaintGrid(Form);
    G->SetBorderStyle(bsNone);
    G->SetBounds(0, 0, 700, 500);
    G->SetParent(Form);
    Images = new TCustomImageList(120, 80);
    main_grid::FillStatePictures(Images);
  }
  void AfterFormFreed() override { delete Images; }

  void FocusGrid(bool Focused) {
    if (Focused)
      G->SetFocus();
    else
      Other->SetFocus();
    Pump();
  }
  TShot Shot() {
    G->Invalidate();
    Pump();
    return Capture(G->Handle());
  }
  // The file list with three rows, the middle one current, the first one
  // selected by Ctrl as well.
  void FileList() {
    main_grid::ConfigureFileList(G);
    main_grid::AddFileListColumns(G, Form, Images);
    main_grid::AddFileRow(G, u"report.pdf", u"C:\\Docs\\", u"12.50 KB", 0);
    main_grid::AddFileRow(G, u"invoice-2024.pdf", u"C:\\Docs\\Bills\\", u"3.00 KB", 1);
    main_grid::AddFileRow(G, u"a.pdf", u"D:\\", u"0.00 KB", 0);
    G->SelectCell(0, 1, TShiftState(), true, false);
    G->SelectCell(0, 0, TShiftState{ssCtrl}, false, false);
    G->SelectCell(0, 1, TShiftState{ssCtrl}, false, false);
    G->SelectCell(0, 1, TShiftState{ssCtrl}, false, false);
    Pump();
  }
  // A report view: two columns of 100 with empty cells, three rows,
  // (column 0, row 1) current.
  void Report(TGridOptions Options, TAppearanceOptions Appearance) {
    G->SetOptions(Options);
    G->SetAppearanceOptions(Appearance);
    for (int i = 0; i < 2; ++i) {
      auto* C = new TNxTextColumn(Form);
      C->SetWidth(100);
      G->Columns()->Add(C);
    }
    G->AddRow(3);
    G->SelectCell(0, 1, TShiftState(), true, false);
    Pump();
  }
  // The middle of a report cell.
  COLORREF CellPixel(const TShot& P, Integer ACol, Integer ARow) {
    const TRect R = G->GetCellRect(ACol, ARow);
    return P.At(R.Left + R.Width() / 2, R.Top + R.Height() / 2);
  }
};

// ---- The file list ------------------------------------------------------------------------------

TEST_F(GridPaintTest, FileListPaintsSlidesInColourAndFramesTheCurrentOne) {
  FileList();
  ASSERT_EQ(G->SelectedRow(), 1);
  ASSERT_TRUE(G->GetSelected(0)) << "a multi-selection that the slides do not show";
  const COLORREF White = Rgb(clWindow);
  for (bool Focused : {true, false}) {
    SCOPED_TRACE(Focused);
    FocusGrid(Focused);
    const TShot P = Shot();
    const COLORREF Frame = Focused ? RGB(43, 87, 154) : RGB(204, 218, 241);
    // Slide 1 lies at y 90..180: frames (1, 91)-(699, 178) and (2, 92)-(698, 177).
    EXPECT_EQ(P.At(1, 130), Frame);
    EXPECT_EQ(P.At(2, 130), Frame);
    EXPECT_EQ(P.At(3, 130), White);
    EXPECT_EQ(P.At(0, 130), White);
    EXPECT_EQ(P.At(698, 130), Frame);
    EXPECT_EQ(P.At(697, 130), Frame);
    EXPECT_EQ(P.At(699, 130), White);
    EXPECT_EQ(P.At(350, 91), Frame);
    EXPECT_EQ(P.At(350, 92), Frame);
    EXPECT_EQ(P.At(350, 177), Frame);
    EXPECT_EQ(P.At(350, 176), Frame);
    EXPECT_EQ(P.At(350, 178), White);
    // Slides 0 and 2 (0 selected by Ctrl) are plain Color, without a frame.
    for (int Y : {1, 2, 45, 181, 250}) EXPECT_EQ(P.At(1, Y), White) << Y;
    // Below the last slide: Color.
    EXPECT_EQ(P.At(350, 400), White);
  }
}

TEST_F(GridPaintTest, FileListDrawsThePictureAndTheTextsBeforeEachValue) {
  FileList();
  FocusGrid(true);
  const TShot P = Shot();
  const COLORREF White = Rgb(clWindow);
  // The image cell is (8, 6, 128, 86); the picture is placed 2 pixels in
  // from the cell's left (the display's margin) and clipped by the cell.
  EXPECT_EQ(P.At(10, 6), Rgb(main_grid::kWaiting));
  EXPECT_EQ(P.At(127, 85), Rgb(main_grid::kWaiting));
  EXPECT_EQ(P.At(9, 6), White);
  EXPECT_EQ(P.At(128, 6), White);
  EXPECT_EQ(P.At(10, 96), Rgb(main_grid::kProcessed)) << "row 1 holds the processed picture";
  // Each text starts at its cell's left + 2 and is as wide as the text
  // before followed by the value, in the column's font.
  TBitmap Measure;
  Measure.SetSize(10, 10);
  struct TCase {
    Integer Col, Left, Top;
    bool Bold;
    const char* Text;
  } Cases[] = {{1, 136, 8, true, "File to Convert:   report.pdf"},
               {2, 136, 33, false, "Containing Folder:   C:\\Docs\\"},
               {3, 136, 49, false, "Size (KB):   12.50 KB"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    main_grid::TahomaFont(Measure.Canvas()->Font(), C.Bold);
    const Integer W = Measure.Canvas()->TextWidth(C.Text);
    main_grid::TahomaFont(Measure.Canvas()->Font(), !C.Bold);
    const Integer Other = Measure.Canvas()->TextWidth(C.Text);
    ASSERT_NE(W, Other);
    const TInk Ink = InkIn(P, TRect(C.Left, C.Top, C.Left + 464, C.Top + 16), White);
    ASSERT_TRUE(Ink.Any());
    EXPECT_NEAR(Ink.Box.Left, C.Left + 2, 1);
    EXPECT_NEAR(Ink.Box.Right, C.Left + 2 + W, 2) << "the other weight would end at " << C.Left + 2 + Other;
  }
  // The dates start with their texts before.
  const TInk Modified = InkIn(P, TRect(384, 65, 600, 81), White);
  const TInk Created = InkIn(P, TRect(136, 65, 352, 81), White);
  ASSERT_TRUE(Modified.Any());
  ASSERT_TRUE(Created.Any());
  EXPECT_NEAR(Modified.Box.Left, 386, 1);
  EXPECT_NEAR(Created.Box.Left, 138, 1);
}

// ---- Cell colours in the report view ----------------------------------------------------------------

TEST_F(GridPaintTest, CellColoursFollowSelectionOptionsAndFocus) {
  const COLORREF Window = Rgb(clWindow), Highlight = Rgb(clHighlight);
  struct TCase {
    const char* Name;
    TGridOptions Options;
    TAppearanceOptions Appearance;
    bool Focused;
    COLORREF Current, Other;  // (0, 1) and (1, 1); row 0 is never highlighted
  } Cases[] = {
      {"full row", {goSelectFullRow}, {}, true, Highlight, Highlight},
      {"full row, current cell indicated", {goSelectFullRow}, {aoIndicateSelectedCell}, true, Window, Highlight},
      {"single cell", {}, {}, true, Highlight, Window},
      {"hidden selection without focus", {goSelectFullRow}, {aoHideSelection}, false, Window, Window},
      {"inactive selection", {goSelectFullRow}, {}, false, Rgb(clBtnFace), Rgb(clBtnFace)},
      {"alpha blended",
       {goSelectFullRow},
       {aoAlphaBlendedSelection},
       true,
       Rgb(TGraphicsProvider::MixColors(clWindow, clHighlight, 0.25)),
       Rgb(TGraphicsProvider::MixColors(clWindow, clHighlight, 0.25))},
  };
  Report({}, {});
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    G->SetOptions(C.Options);
    G->SetAppearanceOptions(C.Appearance);
    G->SelectCell(0, 1, TShiftState(), true, false);
    FocusGrid(C.Focused);
    const TShot P = Shot();
    EXPECT_EQ(CellPixel(P, 0, 1), C.Current);
    EXPECT_EQ(CellPixel(P, 1, 1), C.Other);
    EXPECT_EQ(CellPixel(P, 1, 0), Window);
  }
}

TEST_F(GridPaintTest, SortedColumnDarkenedTwiceButSelectionKeepsItsColour) {
  Report({goSelectFullRow}, {aoIndicateSortedColumn});
  G->SetSortedStyle(soDarker);
  G->Columns()->Items(1)->SetSorted(true);
  G->SelectCell(0, 1, TShiftState(), true, false);
  FocusGrid(true);
  ASSERT_EQ(G->SelectedRow(), 1);
  ASSERT_TRUE(G->GetSelected(1));
  const TShot P = Shot();
  const TColor White = static_cast<TColor>(ColorToRGB(clWindow));
  const TColor Twice = TGraphicsProvider::BlendColor(TGraphicsProvider::BlendColor(White, clBlack, 245), clBlack, 245);
  EXPECT_EQ(CellPixel(P, 1, 0), Rgb(Twice));
  EXPECT_EQ(GetRValue(Rgb(Twice)), (245 * ((245 * 255) / 256)) / 256);
  EXPECT_EQ(CellPixel(P, 1, 1), Rgb(clHighlight)) << "a highlighted sorted cell";
  EXPECT_EQ(CellPixel(P, 0, 0), Rgb(clWindow));
  // Below the last row the sorted column is darkened once.
  const TRect R = G->GetCellRect(1, 2);
  EXPECT_EQ(P.At(R.Left + 50, R.Bottom + 8), Rgb(TGraphicsProvider::BlendColor(White, clBlack, 245)));
}

TEST_F(GridPaintTest, FramedLinesAreBlackOnTheLastRowAndTheLastColumn) {
  Report({goGrid}, {});
  G->SetGridLinesStyle(lsFramed);
  const TShot P = Shot();
  const COLORREF Face = Rgb(clBtnFace);
  const TRect Last = G->GetCellRect(1, 2);  // bottom line at y = Bottom
  EXPECT_EQ(P.At(Last.Left + 10, Last.Bottom), RGB(0, 0, 0));
  EXPECT_EQ(P.At(Last.Left + 10, G->GetCellRect(1, 1).Bottom), Face);
  // The last visible column's right line, on real rows only.
  EXPECT_EQ(P.At(Last.Right - 1, G->GetCellRect(1, 0).Top + 5), RGB(0, 0, 0));
  EXPECT_EQ(P.At(G->GetCellRect(0, 0).Right - 1, G->GetCellRect(0, 0).Top + 5), Face);
  EXPECT_EQ(P.At(Last.Right - 1, Last.Bottom + 10), Face) << "below the last row";
}

TEST_F(GridPaintTest, CustomOnlyCellsAreFilledOnlyWhenTheBackgroundEventAsks) {
  Report({}, {});
  TNxCustomColumn* C = G->Columns()->Items(1);
  C->SetParentCellColor(true);
  C->SetColor(clYellow);
  G->SetCellsText(1, 0, u"XXXXXXXX");
  C->SetDrawingOptions(doCustomOnly);
  const TShot Plain = Shot();
  EXPECT_NE(CellPixel(Plain, 1, 0), Rgb(clYellow));
  bool Ask = false;
  G->OnDrawCellBackground = [&](TObject*, Integer, Integer, const TRect&, TCellState, bool& Default) {
    Default = Ask;
  };
  Ask = true;
  const TShot Asked = Shot();
  const TRect R = G->GetCellRect(1, 0);
  EXPECT_EQ(CellPixel(Asked, 1, 0), Rgb(clYellow));
  EXPECT_FALSE(InkIn(Asked, TRect(R.Left, R.Top, R.Right - 1, R.Bottom), Rgb(clYellow)).Any()) << "no value";
  C->SetDrawingOptions(doNormal);
  EXPECT_TRUE(InkIn(Shot(), TRect(R.Left, R.Top, R.Right - 1, R.Bottom), Rgb(clYellow)).Any());
}

TEST_F(GridPaintTest, PartialRowsAreEmptyCellsWhenHidden) {
  G->SetColor(clAqua);
  Report({goHeader}, {});
  G->AddRow(40);
  // Rows of 16 from y 18; the body ends at 500, so row 30 (at y 498) is
  // cut by it.
  const Integer Partial = 30;
  ASSERT_EQ(G->RowTop(Partial), 18 + 16 * Partial);
  ASSERT_GT(G->RowTop(Partial) + 16, G->BodyRect().Bottom);
  const Integer Y = G->RowTop(Partial) + 1;
  EXPECT_EQ(Shot().At(50, Y), Rgb(clWindow));
  G->PartialHidden = true;
  EXPECT_EQ(Shot().At(50, Y), Rgb(clAqua));
  EXPECT_EQ(Shot().At(50, Y - 16), Rgb(clWindow)) << "whole rows stay";
}

TEST_F(GridPaintTest, APartialSlideEndsThePaintingWhenHidden) {
  FileList();
  for (int i = 0; i < 3; ++i) main_grid::AddFileRow(G, u"more.pdf", u"C:\\", u"1.00 KB");
  // Slides of 90 in a body of 500: the sixth starts at 450 and is cut.
  EXPECT_EQ(Shot().At(10, 456), Rgb(main_grid::kWaiting));
  G->PartialHidden = true;
  const TShot P = Shot();
  EXPECT_EQ(P.At(10, 456), Rgb(clWindow));
  EXPECT_EQ(P.At(10, 366), Rgb(main_grid::kWaiting)) << "the fifth slide is whole";
}

TEST_F(GridPaintTest, TheEditorsRectangleIsNeverPaintedOver) {
  Report({}, {});
  G->SetDoubleBuffered(false);
  TNxCustomColumn* C = G->Columns()->Items(1);
  C->SetParentCellColor(true);
  C->SetColor(clYellow);
  Shot();
  G->FakeEditing(1, 1);
  C->SetColor(clRed);
  const TShot P = Shot();
  const TRect R = G->GetCellRect(1, 1);
  EXPECT_EQ(P.At(R.Left, R.Top), Rgb(clRed)) << "the ring outside the editor";
  EXPECT_EQ(P.At(R.Left + 1, R.Top + 1), Rgb(clYellow)) << "the editor's rectangle keeps what it had";
  EXPECT_EQ(P.At(R.Right - 3, R.Bottom - 2), Rgb(clYellow));
  EXPECT_EQ(P.At(R.Right - 2, R.Bottom - 2), Rgb(clRed));
  EXPECT_EQ(CellPixel(P, 1, 0), Rgb(clRed));
}

TEST_F(GridPaintTest, IndicatorCellsByTheirDrawingOptions) {
  Report({goIndicator, goGrid, goSelectFullRow}, {});
  FocusGrid(true);
  struct TCall {
    Integer Index;
    TRect Rect;
    bool Selected, Highlighted;
  };
  std::vector<TCall> Calls;
  G->OnCustomDrawIndicator = [&](TObject*, Integer Index, const TRect& R, bool Selected, bool Highlighted) {
    Calls.push_back({Index, R, Selected, Highlighted});
    G->Canvas()->Brush()->SetColor(clYellow);
    G->Canvas()->FillRect(R);
  };
  const TRect Row1 = G->RowRect(1);
  struct TCase {
    TDrawingOptions Options;
    bool Event;
  } Cases[] = {{doNormal, false}, {doBackgroundOnly, false}, {doCustom, true}, {doCustomOnly, true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Options));
    G->SetIndicatorDrawingOptions(C.Options);
    Calls.clear();
    const TShot P = Shot();
    EXPECT_EQ(!Calls.empty(), C.Event);
    EXPECT_EQ(P.At(5, Row1.Top + 2) == Rgb(clYellow), C.Event);
    if (!C.Event) continue;
    // Every row of the body, the ones below the last included.
    ASSERT_GT(Calls.size(), 3u);
    EXPECT_EQ(Calls[1].Index, 1);
    EXPECT_EQ(Calls[1].Rect, TRect(0, G->RowTop(1), 12, G->RowTop(1) + 16 + 1));
    EXPECT_TRUE(Calls[1].Selected);
    EXPECT_TRUE(Calls[1].Highlighted);
    EXPECT_FALSE(Calls[0].Selected);
    EXPECT_FALSE(Calls[0].Highlighted);
    EXPECT_FALSE(Calls[3].Selected) << "below the last row";
  }
}

TEST_F(GridPaintTest, SlidesHeaderAndTheStripBesideIt) {
  FileList();
  G->SetOptions(G->Options() + goHeader);
  for (Integer i = 0; i < 6; ++i) G->Columns()->Items(i)->SetWidth(60);
  G->SetColor(clAqua);
  const TShot P = Shot();
  EXPECT_EQ(P.At(500, 5), Rgb(clAqua)) << "the strip right of the headers";
  EXPECT_NE(P.At(30, 5), Rgb(clAqua)) << "a header";
  // Slides start under the header.
  EXPECT_EQ(P.At(10, 18 + 6), Rgb(main_grid::kWaiting));
}

// ---- Focus frame, caption, border -------------------------------------------------------------------

TEST_F(GridPaintTest, TheDottedFocusFrameDrawnTwiceDisappears) {
  Report({goSelectFullRow}, {});
  FocusGrid(true);
  const TShot Once = Shot();
  G->ExtraFocusFrames = 1;
  const TShot Twice = Shot();
  G->ExtraFocusFrames = 2;
  const TShot Thrice = Shot();
  EXPECT_FALSE(Once == Twice) << "the second frame takes the first away";
  EXPECT_TRUE(Once == Thrice);
  // The frame is dotted over the selected row's highlight.
  const TRect R = G->RowRect(1);
  EXPECT_NE(Once.At(R.Left + 1, R.Top), Twice.At(R.Left + 1, R.Top));
}

TEST_F(GridPaintTest, EmptyGridShowsItsCaptionCentredGreyWhenDisabled) {
  Report({goHeader}, {});
  G->ClearRows();
  G->SetCaption(u"Drop PDF files here");
  for (bool Enabled : {true, false}) {
    SCOPED_TRACE(Enabled);
    G->SetEnabled(Enabled);
    const TShot P = Shot();
    const TInk Ink = InkIn(P, TRect(0, 18, 700, 60), Rgb(clWindow));
    ASSERT_TRUE(Ink.Any());
    EXPECT_NEAR((Ink.Box.Left + Ink.Box.Right) / 2, 350, 2) << "centred on the client width";
    EXPECT_GE(Ink.Box.Top, 22) << "under the header, 4 pixels down";
    const COLORREF Want = Enabled ? Rgb(clWindowText) : Rgb(clGrayText);
    EXPECT_NEAR(GetRValue(Ink.Darkest), GetRValue(Want), 4);
    EXPECT_NEAR(GetGValue(Ink.Darkest), GetGValue(Want), 4);
  }
  G->SetEnabled(true);
  G->AddRow(1);
  EXPECT_FALSE(InkIn(Shot(), TRect(0, 18, 700, 60), Rgb(clWindow)).Any());
}

TEST_F(GridPaintTest, BorderVariants) {
  Report({goHeader}, {});
  G->SetBorderStyle(bsSingle);
  Pump();
  const HWND H = G->Handle();
  const COLORREF Scheme = ColorToRGB(GetSchemeColor(2, DefaultColorScheme));
  // Office styles: a one-pixel frame in the scheme's border colour.
  G->SetHeaderStyle(hsOffice2007);
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(H, 0, 0, true), Scheme);
  EXPECT_EQ(rtl::testing::WindowPixel(H, 350, G->Height() - 1, true), Scheme);
  G->SetHeaderStyle(hsOffice2010);
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(H, G->Width() - 1, 40, true), Scheme);
  // The default style: the themed list-view frame, only its outer pixel.
  G->SetHeaderStyle(hsAuto);
  {
    TRecordingTheme Theme;
    Pump();
    ASSERT_TRUE(IsThemed());
    SetWindowPos(H, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Pump();
    bool Found = false;
    for (const auto& Call : Theme.CallsOf("DrawThemeBackground"))
      if (Call.ClassList == u"listview" && Call.Part == 1 && Call.State == 0) Found = true;
    EXPECT_TRUE(Found);
    EXPECT_EQ(rtl::testing::WindowPixel(H, 0, 0, true), TRecordingTheme::PartColor(1, 0));
    EXPECT_NE(rtl::testing::WindowPixel(H, 1, 1, true), TRecordingTheme::PartColor(1, 0));
  }
  // Without styles: the plain client edge.
  Pump();
  SetWindowPos(H, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Pump();
  EXPECT_NE(rtl::testing::WindowPixel(H, 0, 0, true), TRecordingTheme::PartColor(1, 0));
  EXPECT_NE(rtl::testing::WindowPixel(H, 0, 0, true), Scheme);
}

// ---- Events -------------------------------------------------------------------------------------------

TEST_F(GridPaintTest, PaintingEventsComeInOrder) {
  Report({}, {});
  G->Columns()->Items(1)->SetDrawingOptions(doCustom);
  std::vector<std::string> Log;
  auto Cell = [&](const char* Name, Integer C, Integer R) {
    if (C == 1 && R == 0) Log.push_back(Name);
  };
  G->OnCellColoring = [&](TObject*, Integer C, Integer R, TColor&, TColor&, TCellState) { Cell("coloring", C, R); };
  G->OnDrawCellBackground = [&](TObject*, Integer C, Integer R, const TRect&, TCellState, bool&) {
    Cell("background", C, R);
  };
  G->OnCellFormating = [&](TObject*, Integer C, Integer R, TColor&, TFontStyles&, TCellState) {
    Cell("formating", C, R);
  };
  G->OnCustomDrawCell = [&](TObject*, Integer C, Integer R, const TRect&, TCellState) { Cell("custom", C, R); };
  G->OnPostDraw = [&](TObject*) { Log.push_back("post"); };
  Shot();
  EXPECT_EQ(Log, (std::vector<std::string>{"coloring", "background", "formating", "custom", "post"}));
}

TEST_F(GridPaintTest, EverySlideIsColouredOnceAndCanBeRecoloured) {
  FileList();
  FocusGrid(true);
  std::vector<Integer> Slides;
  G->OnSlideColoring = [&](TObject*, Integer Index, TColor& Slide, TColor&, TSlideState State) {
    Slides.push_back(Index);
    EXPECT_EQ(State.Contains(stSelected), Index == 1);
    EXPECT_EQ(State.Contains(stFocused), Index == 1);
    if (Index == 2) Slide = clYellow;
  };
  const TShot P = Shot();
  EXPECT_EQ(Slides, (std::vector<Integer>{0, 1, 2}));
  // Outside every cell of the slides.
  EXPECT_EQ(P.At(650, 200), Rgb(clYellow));
  EXPECT_EQ(P.At(650, 100), Rgb(clWindow));
}

TEST_F(GridPaintTest, SelectedSlidesShowWithoutHideSelection) {
  FileList();
  G->SetSlidesOptions(TGridSlideOptions{soFrame});
  G->SetSlideSelectionColor(clYellow);
  FocusGrid(true);
  // Outside every cell of the slides.
  EXPECT_EQ(Shot().At(650, 45), Rgb(clYellow)) << "row 0 is selected";
  FocusGrid(false);
  EXPECT_EQ(Shot().At(650, 45), Rgb(clBtnFace));
  EXPECT_EQ(Shot().At(650, 200), Rgb(clWindow)) << "row 2 is not";
}

// ---- Pictures after row operations --------------------------------------------------------------------

// After each operation the picture on the screen (scrolled and repainted
// in strips by the operation) equals a full repaint of the same state.
TEST_F(GridPaintTest, PicturesAfterRowOperationsEqualAFullRepaint) {
  struct TOp {
    const char* Name;
    std::function<void(TPaintGrid*)> Run;
  };
  const std::vector<TOp> Ops = {
      {"add", [](TPaintGrid* g) { main_grid::AddFileRow(g, u"new.pdf", u"E:\\", u"1.00 KB"); }},
      {"insert above top", [](TPaintGrid* g) { g->InsertRow(std::max(g->TopRow() - 1, 0)); }},
      {"insert at top", [](TPaintGrid* g) { g->InsertRow(g->TopRow()); }},
      {"insert below top", [](TPaintGrid* g) { g->InsertRow(g->TopRow() + 2); }},
      {"delete above top", [](TPaintGrid* g) { g->DeleteRow(std::max(g->TopRow() - 1, 0)); }},
      {"delete at top", [](TPaintGrid* g) { g->DeleteRow(g->TopRow()); }},
      {"delete below top", [](TPaintGrid* g) { g->DeleteRow(g->TopRow() + 2); }},
      {"hide", [](TPaintGrid* g) { g->SetRowVisible(g->TopRow() + 1, false); }},
      {"show", [](TPaintGrid* g) {
         for (Integer i = 0; i < g->RowCount(); ++i)
           if (!g->GetRowVisible(i)) g->SetRowVisible(i, true);
       }},
      {"collapse", [](TPaintGrid* g) { g->SetExpanded(g->TopRow() + 3, false); }},
      {"expand", [](TPaintGrid* g) { g->SetExpanded(g->TopRow() + 3, true); }},
      {"row height", [](TPaintGrid* g) { g->SetRowHeight(g->TopRow() + 1, 30); }},
  };
  for (int View : {0, 1, 2})
    for (bool Scrolled : {false, true}) {
      const bool Slides = View == 1;
      delete G;
      G = new TPaintGrid(Form);
      G->SetBorderStyle(bsNone);
      G->SetBounds(0, 0, 700, 500);
      G->SetParent(Form);
      if (Slides) {
        main_grid::ConfigureFileList(G);
        main_grid::AddFileListColumns(G, Form, Images);
      } else {
        G->SetGridStyle(gsReport);
        G->SetOptions(TGridOptions{goHeader, goGrid, goIndicator, goSelectFullRow});
        G->SetAppearanceOptions(View == 2 ? TAppearanceOptions{ao3DGridLines} : TAppearanceOptions{});
        main_grid::AddFileListColumns(G, Form, Images);
        G->SetRowSize(18);
      }
      for (int i = 0; i < 60; ++i)
        main_grid::AddFileRow(G, u"file" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u".pdf",
                              u"C:\\", u"1.00 KB", i % 2);
      G->AddChildRow(5);
      G->AddChildRow(5);
      if (Scrolled) G->VertScrollBar()->SetPosition(3);
      Shot();
      for (const auto& Op : Ops) {
        SCOPED_TRACE(std::string(Slides ? "slides " : View == 2 ? "3D report " : "report ") +
                     (Scrolled ? "scrolled " : "") + Op.Name);
        Op.Run(G);
        Pump();
        const TShot After = Capture(G->Handle());
        const TShot Full = Shot();
        EXPECT_TRUE(After == Full) << DiffBox(After, Full);
      }
    }
}

// Focus changes and horizontal scrolling repaint what they change: the
// picture they leave equals a full repaint.
TEST_F(GridPaintTest, PicturesAfterFocusChangesAndHorizontalScrollsEqualAFullRepaint) {
  struct TCase {
    const char* Name;
    bool Slides;
    TGridOptions Options;
    TAppearanceOptions Appearance;
    TGridSlideOptions SlidesOptions;
  } Cases[] = {
      {"file list", true, {goMultiSelect, goRowMoving, goSelectFullRow}, {aoAlphaBlendedSelection},
       {soFrame, soHideSelection}},
      {"slides showing the selection", true, {goMultiSelect, goSelectFullRow}, {}, {soFrame}},
      {"report, full rows", false, {goHeader, goGrid, goSelectFullRow, goMultiSelect}, {}, {}},
      {"report, one cell", false, {goHeader, goGrid}, {}, {}},
      {"report, hidden selection", false, {goHeader, goSelectFullRow}, {aoHideSelection}, {}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    delete G;
    G = new TPaintGrid(Form);
    G->SetBorderStyle(bsNone);
    G->SetBounds(0, 0, 700, 500);
    G->SetParent(Form);
    main_grid::AddFileListColumns(G, Form, Images);
    G->SetGridStyle(C.Slides ? gsSlides : gsReport);
    G->SetSlideSize(90);
    G->SetOptions(C.Options);
    G->SetAppearanceOptions(C.Appearance);
    G->SetSlidesOptions(C.SlidesOptions);
    for (int i = 0; i < 12; ++i) main_grid::AddFileRow(G, u"name.pdf", u"C:\\", u"1.00 KB", i % 2);
    G->SelectCell(1, 2, TShiftState(), true, false);
    G->SelectCell(1, 1, TShiftState{ssCtrl}, false, false);
    G->SelectCell(1, 2, TShiftState{ssCtrl}, false, false);
    G->SelectCell(1, 2, TShiftState{ssCtrl}, false, false);
    Shot();
    for (bool Focused : {true, false, true}) {
      SCOPED_TRACE(Focused);
      FocusGrid(Focused);
      const TShot After = Capture(G->Handle());
      EXPECT_TRUE(After == Shot()) << DiffBox(After, Shot());
    }
    if (!C.Slides) {
      for (Integer Pos : {40, 200, 0}) {
        SCOPED_TRACE(Pos);
        G->HorzScrollBar()->SetPosition(Pos);
        Pump();
        const TShot After = Capture(G->Handle());
        EXPECT_TRUE(After == Shot()) << DiffBox(After, Shot());
      }
    }
  }
}

// Guides and the drop mark are drawn on the canvas between paints; the
// file list is double-buffered, and they still reach the window.
TEST_F(GridPaintTest, DrawingOutsidePaintingReachesADoubleBufferedWindow) {
  FileList();
  ASSERT_TRUE(G->DoubleBuffered());
  Shot();
  const HWND H = G->Handle();
  TCanvas* C = G->Canvas();
  C->Pen()->SetMode(pmCopy);
  C->Pen()->SetColor(clRed);
  C->MoveTo(0, 95);
  C->LineTo(700, 95);
  EXPECT_EQ(rtl::testing::WindowPixel(H, 650, 95), RGB(255, 0, 0));
  // An inverting guide, drawn twice, leaves the picture as it was.
  C->Pen()->SetMode(pmNot);
  C->MoveTo(650, 0);
  C->LineTo(650, 500);
  EXPECT_EQ(rtl::testing::WindowPixel(H, 650, 300), RGB(0, 0, 0));
  C->MoveTo(650, 0);
  C->LineTo(650, 500);
  EXPECT_EQ(rtl::testing::WindowPixel(H, 650, 300), RGB(255, 255, 255));
  C->Pen()->SetMode(pmCopy);
  // The next paint draws the list again over the mark.
  EXPECT_EQ(Shot().At(650, 95), Rgb(clWindow));
}

// ---- Pictures -----------------------------------------------------------------------------------------

// Pure red pixels: the insertion mark's colour, found nowhere else.
int RedPixels(const TShot& P) {
  int N = 0;
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X) N += P.At(X, Y) == RGB(255, 0, 0);
  return N;
}

// The list as the user handles it: injected presses, moves and releases
// on the painted grid.
class GridMainRoadTest : public GridPaintTest {
 protected:
  std::vector<std::string> Log;

  POINT At(Integer X, Integer Y) { return rtl::testing::ClientPoint(G->Handle(), X, Y); }
  void Button(Integer X, Integer Y, bool Down, rtl::testing::TInjectButton B = rtl::testing::ibLeft) {
    // Far enough apart never to make a double click.
    if (Down) rtl::testing::AdvanceClock(1000);
    rtl::testing::InjectMouseButton(B, Down, At(X, Y));
    Pump();
  }
  void MoveTo(Integer X, Integer Y) {
    rtl::testing::InjectMouseMove(At(X, Y));
    Pump();
  }
  void Click(Integer X, Integer Y, TShiftState Shift = {}, rtl::testing::TInjectButton B = rtl::testing::ibLeft) {
    const UINT Vk = Shift.Contains(ssCtrl) ? VK_CONTROL : Shift.Contains(ssShift) ? VK_SHIFT : 0;
    if (Vk) rtl::testing::InjectKey(Vk, true);
    Button(X, Y, true, B);
    Button(X, Y, false, B);
    if (Vk) rtl::testing::InjectKey(Vk, false);
    Pump();
  }
  // The middle of slide Row.
  Integer SlideY(Integer Row) { return G->SlideRect(Row).Top + 45; }
  void TwelveFiles() {
    main_grid::ConfigureFileList(G);
    main_grid::AddFileListColumns(G, Form, Images);
    for (int i = 0; i < 12; ++i)
      main_grid::AddFileRow(G, u"file-" + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u".pdf", u"C:\\",
                            u"1.00 KB", i % 2);
    G->OnAfterRowMove = [this](TObject*, Integer F, Integer T) {
      Log.push_back("after row move " + std::to_string(F) + " " + std::to_string(T));
    };
    FocusGrid(true);
  }
};

TEST_F(GridMainRoadTest, SelectingAndMovingRowsOnThePaintedList) {
  TwelveFiles();
  Click(300, SlideY(0));
  Click(300, SlideY(2), {ssShift});
  EXPECT_EQ(G->SelectedCount(), 3);
  Click(300, SlideY(4), {ssCtrl});
  EXPECT_EQ(G->SelectedCount(), 4);
  Click(300, SlideY(0));
  ASSERT_EQ(G->SelectedCount(), 1);
  EXPECT_EQ(RedPixels(Shot()), 0);
  // Row 0 carried below row 2: the red mark shows on the window while the
  // button is held, and is gone after the drop.
  Button(300, SlideY(0), true);
  for (Integer Y : {SlideY(0) + 20, SlideY(1), SlideY(2), 2 * 90 + 70}) MoveTo(300, Y);
  EXPECT_GT(RedPixels(Capture(G->Handle())), 0);
  Button(300, 2 * 90 + 70, false);
  EXPECT_EQ(Log, (std::vector<std::string>{"after row move 0 2"}));
  EXPECT_EQ(G->SelectedRow(), 2);
  EXPECT_EQ(G->Cells(1, 2), u"file-a.pdf");
  EXPECT_EQ(RedPixels(Capture(G->Handle())), 0);
  EXPECT_EQ(RedPixels(Shot()), 0);
}

TEST_F(GridMainRoadTest, TheRightPressMenuSeesThePressedRowAndSurvivesRemovals) {
  TwelveFiles();
  Click(300, SlideY(1));
  Integer Seen = -2;
  bool Remove = false;
  G->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState, Integer, Integer) {
    if (B != mbRight) return;
    Seen = G->SelectedRow();
    // The menu's own loop runs here; its Remove takes rows away.
    Application->ProcessMessages();
    if (Remove) G->ClearRows();
  };
  Click(300, SlideY(3), {}, rtl::testing::ibRight);
  EXPECT_EQ(Seen, 3);
  EXPECT_EQ(G->SelectedCount(), 1);
  EXPECT_TRUE(G->GetSelected(3));
  Remove = true;
  EXPECT_NO_THROW(Click(300, SlideY(5), {}, rtl::testing::ibRight));
  EXPECT_EQ(Seen, 5);
  EXPECT_EQ(G->RowCount(), 0);
  EXPECT_EQ(G->SelectedRow(), -1);
  EXPECT_NO_THROW(MoveTo(300, SlideY(2)));
  EXPECT_NO_THROW(Shot());
}

TEST_F(GridMainRoadTest, PictureOfTheReportView) {
  G->SetOptions(TGridOptions{goHeader, goInput, goFooter, goIndicator, goGrid, goSelectFullRow, goMultiSelect,
                             goRowMoving});
  main_grid::AddFileListColumns(G, Form, Images);
  const char16_t* Captions[] = {u"State", u"Name", u"Folder", u"Size", u"Modified", u"Created"};
  for (Integer i = 0; i < 6; ++i) {
    G->Columns()->Items(i)->SetWidth(i == 0 ? 60 : 130);
    G->Columns()->Items(i)->Header()->SetCaption(Captions[i]);
    G->Columns()->Items(i)->Footer()->SetCaption(i == 1 ? u"8 files" : u"");
  }
  G->Columns()->Items(2)->SetInputValue(u"C:\\New\\");
  G->Columns()->Items(0)->SetSortType(stNumeric);
  G->SetRowSize(20);
  for (int i = 0; i < 8; ++i)
    main_grid::AddFileRow(G, u"document-" + std::u16string(1, static_cast<char16_t>(u'1' + i)) + u".pdf",
                          u"C:\\Work\\", u"4.00 KB", i % 2);
  G->Columns()->Items(1)->SetSorted(true);
  G->SelectCell(1, 2, TShiftState(), true, false);
  G->SelectCell(1, 4, TShiftState{ssCtrl}, false, false);
  FocusGrid(true);
  Shot();
  // Row 1 carried to the lower half of row 5, the button still held.
  const TRect From = G->RowRect(1), To = G->RowRect(5);
  Button(200, (From.Top + From.Bottom) / 2, true);
  for (Integer Y : {From.Bottom + 2, To.Top, To.Bottom - 4}) MoveTo(200, Y);
  EXPECT_EQ(G->RowDropTarget(), 6);
  const TShot Dropping = Capture(G->Handle());
  EXPECT_GT(RedPixels(Dropping), 0);
  EXPECT_TRUE(rtl::testing::SaveWindowPng(G->Handle(), PictureDir() + "grid-report.png"));
  Button(200, To.Bottom - 4, false);
  EXPECT_EQ(RedPixels(Capture(G->Handle())), 0);
}

TEST_F(GridMainRoadTest, PictureOfTheFileList) {
  FileList();
  TNxCustomColumn* Name = G->Columns()->Items(1);
  Name->SetOptions(Name->Options() + coShowTextFitHint);
  G->SetCellsText(1, 2, u"a-file-name-far-too-long-for-its-place-on-the-slide-of-the-list-of-files-to-convert-in-one-batch.pdf");
  FocusGrid(true);
  const TRect Cell = G->GetCellRect(1, 2);
  MoveTo(Cell.Left + 20, Cell.Top + 6);
  THintWindow* Hint = G->GridHintWindow();
  ASSERT_NE(Hint, nullptr);
  ASSERT_TRUE(Hint->HandleAllocated() && IsWindowVisible(Hint->Handle()));
  EXPECT_EQ(G->HintKind(), 3);
  // The hint is a window of its own: it joins the list's picture where it
  // stands on the screen.
  TShot P = Capture(G->Handle());
  const TShot H = Capture(Hint->Handle());
  RECT HR;
  GetWindowRect(Hint->Handle(), &HR);
  const POINT O = At(0, 0);
  for (int Y = 0; Y < H.Height; ++Y)
    for (int X = 0; X < H.Width; ++X) {
      const int PX = HR.Left - O.X + X, PY = HR.Top - O.Y + Y;
      if (PX < 0 || PY < 0 || PX >= P.Width || PY >= P.Height) continue;
      const COLORREF C = H.At(X, Y);
      P.Pixels[static_cast<size_t>(PY) * P.Width + PX] = (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
    }
  std::vector<uint32_t> Bgra(P.Pixels.size());
  for (size_t i = 0; i < Bgra.size(); ++i) Bgra[i] = P.Pixels[i] | 0xFF000000u;
  EXPECT_TRUE(rtl::detail::WritePng(PictureDir() + "grid-file-list.png", Bgra.data(), P.Width, P.Height, P.Width * 4));
}

}  // namespace
