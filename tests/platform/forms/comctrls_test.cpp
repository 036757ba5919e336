// Progress bars, track bars, up-downs, tab and page controls and tree views
// driven by injected mouse and keys; their state kept without a window;
// tab images, tab controls read from descriptions, labels edited in place.
#include "platform/forms/comctrls.h"

#include <string>

#include "platform/forms/extctrls.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/image_list.h"
#include "platform/win/comctl/commctrl_controls.h"
#include "stdctrls_test_support.h"

using namespace stdctrls_test;
using rtl::testing::InjectKey;

namespace {

class ComCtrls : public TStdCtrlsTest {
 protected:
  void SetUp() override {
    TStdCtrlsTest::SetUp();
    RegisterComCtrlsClasses();
    ShowForm(500, 400);
  }
  static void CtrlPress(UINT Vk, bool Shift = false) {
    InjectKey(VK_CONTROL, true);
    if (Shift) InjectKey(VK_SHIFT, true);
    Press(Vk);
    if (Shift) InjectKey(VK_SHIFT, false);
    InjectKey(VK_CONTROL, false);
    Pump();
  }
};

// ---- Progress bar --------------------------------------------------------------------------

TEST_F(ComCtrls, AProgressBarKeepsItsPositionWithinItsRangeWithOrWithoutAWindow) {
  auto* P = new TProgressBar(Form);
  P->SetMax(4);
  P->SetPosition(3);
  P->SetPosition(9);
  EXPECT_EQ(P->Position(), 4);
  P->SetParent(Form);
  P->SetBounds(10, 10, 200, 16);
  Pump();
  ASSERT_TRUE(P->HandleAllocated());
  EXPECT_EQ(SendMessage(P->Handle(), PBM_GETPOS, 0, 0), 4);
  P->SetPosition(2);
  P->SetSmooth(true);  // a new window
  Pump();
  EXPECT_TRUE(GetWindowLong(P->Handle(), GWL_STYLE) & PBS_SMOOTH);
  EXPECT_EQ(P->Position(), 2);
  EXPECT_EQ(SendMessage(P->Handle(), PBM_GETRANGE, FALSE, 0), 4);
  P->SetMax(1);
  EXPECT_EQ(P->Position(), 1);
  EXPECT_THROW(P->SetMin(5), EInvalidOperation);
  P->SetMax(10);
  P->SetStep(4);
  P->SetPosition(8);
  P->StepIt();
  EXPECT_EQ(P->Position(), 2) << "past the end it starts again";
}

TEST_F(ComCtrls, ASmoothProgressBarFillsItsShare) {
  auto* P = Add<TProgressBar>(Rect(10, 10, 210, 26));
  P->SetSmooth(true);
  P->SetMax(4);
  P->SetPosition(1);
  Pump();
  const COLORREF Bar = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(rtl::testing::WindowPixel(P->Handle(), 20, 8), Bar);
  EXPECT_NE(rtl::testing::WindowPixel(P->Handle(), 150, 8), Bar);
  P->SetPosition(4);
  Pump();
  EXPECT_EQ(rtl::testing::WindowPixel(P->Handle(), 150, 8), Bar);
}

// ---- Track bar -----------------------------------------------------------------------------

TEST_F(ComCtrls, ATrackBarMovesByKeysAndTellsOnChange) {
  auto* T = Add<TTrackBar>(Rect(10, 10, 210, 55));
  T->SetMax(20);
  T->SetPageSize(5);
  Log E;
  T->OnChange = [&](TObject*) { E.push_back(std::to_string(T->Position())); };
  Pump();
  T->SetFocus();
  Pump();
  Press(VK_RIGHT);
  Press(VK_NEXT);
  Press(VK_END);
  EXPECT_EQ(T->Position(), 20);
  EXPECT_EQ(E, (Log{"1", "6", "20"}));
  T->SetPosition(3);
  EXPECT_EQ(E.back(), "3");
  EXPECT_EQ(SendMessage(T->Handle(), TBM_GETPOS, 0, 0), 3);
  T->SetMax(2);
  EXPECT_EQ(T->Position(), 2);
}

// ---- Up-down -------------------------------------------------------------------------------

TEST_F(ComCtrls, AnUpDownStepsItsAssociatesNumber) {
  auto* E = Add<TEdit>(Rect(10, 10, 90, 31));
  auto* U = Add<TUpDown>(Rect(0, 0, 16, 21));
  U->SetMin(10);
  U->SetMax(600);
  U->SetPosition(120);
  U->SetAssociate(E);
  Log Events;
  U->OnClick = [&](TObject*, TUDBtnType B) { Events.push_back(B == btNext ? "next" : "prev"); };
  bool Allow = true;
  U->OnChanging = [&](TObject*, bool& AllowChange) { AllowChange = Allow; };
  Pump();
  EXPECT_EQ(E->Text(), "120");
  EXPECT_EQ(U->Left(), 90 - U->Width()) << "the arrows sit at the edit's right edge";
  const Integer W = U->Width();
  ClickAt(U, W / 2, 3);
  ClickAt(U, W / 2, 3);
  ClickAt(U, W / 2, U->Height() - 3);
  EXPECT_EQ(U->Position(), 121);
  EXPECT_EQ(E->Text(), "121");
  EXPECT_EQ(Events, (Log{"next", "next", "prev"}));
  Allow = false;
  ClickAt(U, W / 2, 3);
  EXPECT_EQ(U->Position(), 121) << "OnChanging refused";
  Allow = true;
  E->SetFocus();
  Pump();
  Press(VK_UP);
  EXPECT_EQ(E->Text(), "122");
  delete E;
  EXPECT_EQ(U->Associate(), nullptr);
  U->SetPosition(600);
  EXPECT_EQ(U->Position(), 600);
}

// ---- Page control -----------------------------------------------------------------------------

// The customization dialog's pages: the Key Tips page has no tab.
class ComPage : public ComCtrls {
 protected:
  TPageControl* Pages = nullptr;
  TTabSheet *Toolbars = nullptr, *Commands = nullptr, *KeyTips = nullptr, *Options = nullptr;
  TEdit* Edit = nullptr;
  Log Events;

  void SetUp() override {
    ComCtrls::SetUp();
    Pages = Add<TPageControl>(Rect(10, 10, 410, 310));
    auto Sheet = [this](const char* Name, const char* Caption) {
      auto* S = new TTabSheet(Form);
      S->SetName(Name);
      S->SetCaption(Caption);
      S->SetPageControl(Pages);
      return S;
    };
    Toolbars = Sheet("Toolbars", "Toolbars");
    Commands = Sheet("Commands", "Commands");
    KeyTips = Sheet("KeyTips", "Key Tips");
    KeyTips->SetTabVisible(false);
    Options = Sheet("Options", "Options");
    Edit = Add<TEdit>(Rect(10, 10, 100, 31), Commands);
    Pages->OnChange = [this](TObject*) { Events.push_back("change " + Pages->ActivePage()->Name()); };
    Pages->OnChanging = [this](TObject*, bool&) { Events.push_back("changing " + Pages->ActivePage()->Name()); };
    Pump();
  }
  void ClickTab(Integer Index) {
    RECT R;
    SendMessage(Pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
    ClickAt(Pages, R.Left + R.Width() / 2, R.Top + R.Height() / 2);
  }
};

TEST_F(ComPage, TheFirstPageShowsAndAHiddenTabIsLeftOut) {
  EXPECT_EQ(Pages->ActivePage(), Toolbars);
  EXPECT_EQ(Pages->PageCount(), 4);
  EXPECT_EQ(Pages->Tabs()->CommaText(), "Toolbars,Commands,Options");
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(KeyTips->TabIndex(), -1);
  EXPECT_EQ(Options->TabIndex(), 2);
  EXPECT_EQ(Options->PageIndex(), 3);
  EXPECT_TRUE(IsWindowVisible(Toolbars->Handle()));
  EXPECT_FALSE(Commands->Visible());
  // The page fills the area inside the tabs.
  const TRect D = Pages->DisplayRect();
  EXPECT_EQ(Toolbars->BoundsRect(), D);
  EXPECT_GT(D.Top, 10);
}

TEST_F(ComPage, ClickingATabChangesThePageAndTellsOnChanging) {
  ClickTab(2);
  EXPECT_EQ(Pages->ActivePage(), Options);
  EXPECT_EQ(Pages->TabIndex(), 2);
  EXPECT_TRUE(Options->Visible());
  EXPECT_FALSE(Toolbars->Visible());
  EXPECT_EQ(Events, (Log{"changing Toolbars", "change Options"}));
  // A refusal keeps the page.
  Pages->OnChanging = [](TObject*, bool& Allow) { Allow = false; };
  ClickTab(0);
  EXPECT_EQ(Pages->ActivePage(), Options);
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
}

TEST_F(ComPage, APageWithoutATabCanStillBeShownInCode) {
  Pages->SetActivePage(KeyTips);
  EXPECT_EQ(Pages->ActivePage(), KeyTips);
  EXPECT_TRUE(KeyTips->Visible());
  EXPECT_FALSE(Toolbars->Visible());
  EXPECT_EQ(Pages->TabIndex(), -1);
  EXPECT_TRUE(Events.empty()) << "a page set in code tells no events";
  // Its tab shown again: it takes its place among the tabs.
  KeyTips->SetTabVisible(true);
  EXPECT_EQ(Pages->Tabs()->CommaText(), "Toolbars,Commands,\"Key Tips\",Options");
  EXPECT_EQ(KeyTips->TabIndex(), 2);
}

TEST_F(ComPage, CtrlTabGoesRoundThePagesWithTabs) {
  Pages->SetActivePage(Commands);
  Edit->SetFocus();
  Pump();
  Pages->SetActivePage(Toolbars);
  EXPECT_FALSE(Edit->Focused()) << "the focus left the page that hid";
  Pages->SetFocus();
  Pump();
  std::vector<TTabSheet*> Seen;
  for (int I = 0; I < 4; ++I) {
    CtrlPress(VK_TAB);
    Seen.push_back(Pages->ActivePage());
  }
  EXPECT_EQ(Seen, (std::vector<TTabSheet*>{Commands, Options, Toolbars, Commands}));
  CtrlPress(VK_TAB, true);
  EXPECT_EQ(Pages->ActivePage(), Toolbars);
  Press(VK_RIGHT);
  EXPECT_EQ(Pages->ActivePage(), Commands) << "the arrows choose the tabs";
}

TEST_F(ComPage, RemovingTheActivePageShowsTheNextOne) {
  Pages->SetActivePage(Commands);
  Pages->SetActivePage(Commands);
  delete Commands;
  EXPECT_EQ(Pages->PageCount(), 3);
  EXPECT_EQ(Pages->ActivePage(), Options);
  EXPECT_EQ(Pages->Tabs()->CommaText(), "Toolbars,Options");
  Toolbars->SetPageControl(nullptr);
  EXPECT_EQ(Pages->ActivePage(), Options) << "an inactive page going changes nothing";
  EXPECT_EQ(Pages->Tabs()->CommaText(), "Options");
  delete Toolbars;
}

TEST_F(ComPage, TabsAndTheActivePageSurviveANewWindow) {
  Pages->SetActivePage(Options);
  Pages->SetMultiLine(true);  // a new window
  Pump();
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Pages->ActivePage(), Options);
  EXPECT_TRUE(IsWindowVisible(Options->Handle()));
  Options->SetCaption("General");
  char Text[32] = {};
  TCITEMA Item{};
  Item.mask = TCIF_TEXT;
  Item.pszText = Text;
  Item.cchTextMax = sizeof Text;
  SendMessage(Pages->Handle(), TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&Item));
  EXPECT_STREQ(Text, "General");
}

TEST_F(ComPage, PagesRoundTripThroughADescription) {
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  ClientHeight = 300\n"
      "  ClientWidth = 400\n"
      "  PixelsPerInch = 96\n"
      "  TextHeight = 12\n"
      "  object PageControl: TPageControl\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 380\n"
      "    Height = 280\n"
      "    ActivePage = TabSheetMisc\n"
      "    TabOrder = 0\n"
      "    object TabSheetConversions: TTabSheet\n"
      "      Caption = 'Conversions'\n"
      "    end\n"
      "    object TabSheetKeyTips: TTabSheet\n"
      "      Caption = 'Key Tips'\n"
      "      TabVisible = False\n"
      "    end\n"
      "    object TabSheetMisc: TTabSheet\n"
      "      Caption = 'Misc'\n"
      "      ImageIndex = 1\n"
      "      object Progress: TProgressBar\n"
      "        Left = 8\n"
      "        Top = 8\n"
      "        Width = 150\n"
      "        Height = 16\n"
      "        Max = 5\n"
      "        Position = 3\n"
      "        Smooth = True\n"
      "        TabOrder = 0\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* P = dynamic_cast<TPageControl*>(F->FindComponent("PageControl"));
  ASSERT_NE(P, nullptr);
  ASSERT_EQ(P->PageCount(), 3);
  EXPECT_EQ(P->ActivePage()->Name(), "TabSheetMisc");
  EXPECT_FALSE(P->Pages(1)->TabVisible());
  EXPECT_EQ(P->Tabs()->CommaText(), "Conversions,Misc");
  const AnsiString Text = WriteToText(F);
  for (const char* Line : {"    ActivePage = TabSheetMisc\n", "      TabVisible = False\n", "        Smooth = True\n",
                           "        Max = 5\n", "        Position = 3\n"})
    EXPECT_NE(Text.find(Line), AnsiString::npos) << Line << "\n" << Text;
  EXPECT_EQ(Text.find("\n      Left ="), AnsiString::npos) << "the pages' bounds are the page control's to set";
  TDescribedForm* Copy = ReadForm(Text);
  Forms.push_back(Copy->Link());
  EXPECT_EQ(WriteToText(Copy), Text);
}

// A page's image is its tab's, and images make the tabs wider.
TEST_F(ComPage, PagesNameTheImagesOfTheirTabs) {
  auto* Images = new TImageList(Form);
  TBitmap Glyph(16, 16);
  Images->Add(&Glyph, nullptr);
  Images->Add(&Glyph, nullptr);
  RECT Before;
  SendMessage(Pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&Before));
  Options->SetImageIndex(1);
  Pages->SetImages(Images);
  Pump();
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(Images->Handle()));
  auto TabImage = [this](Integer Tab) {
    TCITEMA Item{};
    Item.mask = TCIF_IMAGE;
    SendMessage(Pages->Handle(), TCM_GETITEMA, static_cast<WPARAM>(Tab), reinterpret_cast<LPARAM>(&Item));
    return Item.iImage;
  };
  EXPECT_EQ(TabImage(0), 0);
  EXPECT_EQ(TabImage(2), 1);
  Commands->SetImageIndex(-1);
  EXPECT_EQ(TabImage(1), -1) << "a page without an image";
  RECT After;
  SendMessage(Pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&After));
  EXPECT_EQ(After.Width(), Before.Width() + 16 + 3);
  EXPECT_EQ(Toolbars->BoundsRect(), Pages->DisplayRect()) << "the pages follow the taller tabs";
  // A new window keeps them.
  Pages->SetMultiLine(true);
  Pump();
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETIMAGELIST, 0, 0), reinterpret_cast<LRESULT>(Images->Handle()));
  EXPECT_EQ(TabImage(2), 1);
  delete Images;
  EXPECT_EQ(Pages->Images(), nullptr) << "a freed image list is forgotten";
  EXPECT_EQ(SendMessage(Pages->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
}

TEST_F(ComPage, AHighlightedPageHighlightsItsTab) {
  auto TabHighlighted = [this](Integer Tab) {
    TCITEMA Item{};
    Item.mask = TCIF_STATE;
    Item.dwStateMask = TCIS_HIGHLIGHTED;
    SendMessage(Pages->Handle(), TCM_GETITEMA, static_cast<WPARAM>(Tab), reinterpret_cast<LPARAM>(&Item));
    return Item.dwState == TCIS_HIGHLIGHTED;
  };
  Options->SetHighlighted(true);
  EXPECT_TRUE(TabHighlighted(2));
  EXPECT_FALSE(TabHighlighted(1));
  KeyTips->SetTabVisible(true);  // a tab before it: the highlight moves along
  EXPECT_TRUE(TabHighlighted(3));
  EXPECT_FALSE(TabHighlighted(2));
  Pages->SetMultiLine(true);  // a new window
  Pump();
  EXPECT_TRUE(TabHighlighted(3));
  Options->SetHighlighted(false);
  EXPECT_FALSE(TabHighlighted(3));
}

// ---- Tab control ---------------------------------------------------------------------------------

TEST_F(ComCtrls, ATabControlTellsTheUsersChoiceAndMayHaveNone) {
  auto* T = Add<TTabControl>(Rect(10, 10, 310, 210));
  for (const char* S : {"Conversions", "Misc", "Word Options"}) T->Tabs()->Add(S);
  Log E;
  bool Allow = true;
  T->OnChanging = [&](TObject*, bool& AllowChange) {
    E.push_back("changing " + std::to_string(T->TabIndex()));
    AllowChange = Allow;
  };
  T->OnChange = [&](TObject*) { E.push_back("change " + std::to_string(T->TabIndex())); };
  Pump();
  EXPECT_EQ(T->TabIndex(), 0) << "the first tab is chosen";
  auto ClickTab = [T](Integer Index) {
    RECT R;
    SendMessage(T->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
    ClickAt(T, R.Left + R.Width() / 2, R.Top + R.Height() / 2);
  };
  ClickTab(2);
  EXPECT_EQ(E, (Log{"changing 0", "change 2"}));
  Allow = false;
  ClickTab(1);
  EXPECT_EQ(T->TabIndex(), 2);
  EXPECT_EQ(SendMessage(T->Handle(), TCM_GETCURSEL, 0, 0), 2);

  // None chosen, in code: told to the window, kept by a new one.
  E.clear();
  T->SetTabIndex(-1);
  EXPECT_EQ(SendMessage(T->Handle(), TCM_GETCURSEL, 0, 0), -1);
  T->SetMultiLine(true);
  Pump();
  EXPECT_EQ(SendMessage(T->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(T->Handle(), TCM_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(T->TabIndex(), -1);
  EXPECT_TRUE(E.empty()) << "a choice in code tells no events";
  // A control on it sits inside the tabs and the frame.
  auto* Inner = Add<TPanel>(Rect(0, 0, 50, 50), T);
  Inner->SetAlign(alClient);
  EXPECT_EQ(Inner->BoundsRect(), T->DisplayRect());
}

TEST_F(ComCtrls, ATabControlReadsItsTabsAndChoiceFromADescription) {
  RegisterClasses({TImageList::StaticClass()});
  const AnsiString Tabs = "    Tabs.Strings = (\n      'PNG'\n      'JPG'\n      'TIFF')\n";
  const AnsiString Index = "    TabIndex = 2\n";
  // The index may come before the tabs it chooses among.
  for (bool IndexFirst : {false, true}) {
    SCOPED_TRACE(IndexFirst ? "index first" : "tabs first");
    TDescribedForm* F = ReadForm(
        "object F: TDescribedForm\n"
        "  Left = 0\n"
        "  Top = 0\n"
        "  ClientHeight = 300\n"
        "  ClientWidth = 400\n"
        "  PixelsPerInch = 96\n"
        "  TextHeight = 12\n"
        "  object Glyphs: TImageList\n"
        "  end\n"
        "  object TabControlFormat: TTabControl\n"
        "    Left = 8\n"
        "    Top = 8\n"
        "    Width = 380\n"
        "    Height = 280\n"
        "    Images = Glyphs\n"
        "    MultiLine = True\n"
        "    TabOrder = 0\n" +
        (IndexFirst ? Index + Tabs : Tabs + Index) +
        "  end\n"
        "end\n");
    Forms.push_back(F->Link());
    auto* T = dynamic_cast<TTabControl*>(F->FindComponent("TabControlFormat"));
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->Tabs()->CommaText(), "PNG,JPG,TIFF");
    EXPECT_EQ(T->TabIndex(), 2);
    EXPECT_TRUE(T->MultiLine());
    EXPECT_EQ(T->Images(), F->FindComponent("Glyphs"));
    EXPECT_EQ(SendMessage(T->Handle(), TCM_GETIMAGELIST, 0, 0),
              reinterpret_cast<LRESULT>(T->Images() ? T->Images()->Handle() : nullptr));
    EXPECT_EQ(SendMessage(T->Handle(), TCM_GETCURSEL, 0, 0), 2);
    // Written back with the image list, which the copy's tabs find again.
    const AnsiString Text = WriteToText(F);
    EXPECT_NE(Text.find("    MultiLine = True\n    TabOrder = 0\n" + Tabs + Index), AnsiString::npos)
        << "the index after the tabs\n"
        << Text;
    EXPECT_NE(Text.find("    Images = Glyphs\n"), AnsiString::npos) << Text;
    EXPECT_NE(Text.find("  object Glyphs: TImageList\n"), AnsiString::npos) << Text;
    TDescribedForm* Copy = ReadForm(Text);
    Forms.push_back(Copy->Link());
    auto* CopyTabs = dynamic_cast<TTabControl*>(Copy->FindComponent("TabControlFormat"));
    ASSERT_NE(CopyTabs, nullptr);
    ASSERT_NE(CopyTabs->Images(), nullptr);
    EXPECT_EQ(CopyTabs->Images(), Copy->FindComponent("Glyphs"));
    EXPECT_EQ(SendMessage(CopyTabs->Handle(), TCM_GETIMAGELIST, 0, 0),
              reinterpret_cast<LRESULT>(CopyTabs->Images()->Handle()));
    EXPECT_EQ(WriteToText(Copy), Text);
  }
}

// Many pages in a narrow control: the row scrolls with its arrows and
// every page can be reached by clicking.
TEST_F(ComCtrls, EveryPageOfAnOverlongRowCanBeReachedThroughTheArrows) {
  auto* P = Add<TPageControl>(Rect(10, 10, 210, 160));
  std::vector<TTabSheet*> Sheets;
  for (int I = 0; I < 9; ++I) {
    auto* S = new TTabSheet(Form);
    S->SetCaption("Sheet " + std::to_string(I));
    S->SetPageControl(P);
    Sheets.push_back(S);
  }
  Pump();
  HWND Arrows = FindWindowExA(P->Handle(), nullptr, UPDOWN_CLASSA, nullptr);
  ASSERT_TRUE(Arrows && IsWindowVisible(Arrows));
  RECT A;
  GetWindowRect(Arrows, &A);
  MapWindowPoints(nullptr, P->Handle(), reinterpret_cast<POINT*>(&A), 2);
  auto TabRect = [P](Integer I) {
    RECT R;
    SendMessage(P->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    return R;
  };
  for (Integer I = 0; I < 9; ++I) {
    SCOPED_TRACE(I);
    for (int Clicks = 0; TabRect(I).Right > A.Left && Clicks < 20; ++Clicks)
      ClickAt(P, A.Right - 3, (A.Top + A.Bottom) / 2);  // the right arrow
    RECT R = TabRect(I);
    ASSERT_LE(R.Right, A.Left);
    ClickAt(P, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    EXPECT_EQ(P->ActivePage(), Sheets[static_cast<size_t>(I)]);
    EXPECT_EQ(P->TabIndex(), I);
  }
  // Ctrl+Tab round to the first page scrolls it back into view.
  P->SetFocus();
  Pump();
  CtrlPress(VK_TAB);
  EXPECT_EQ(P->ActivePage(), Sheets[0]);
  EXPECT_EQ(TabRect(0).Left, 2);
}

// MultiLine and TabPosition reach the window, and the pages follow the
// display area they leave.
TEST_F(ComCtrls, APageControlsPagesFollowItsRowsAndTabPosition) {
  auto* P = Add<TPageControl>(Rect(10, 10, 210, 210));
  auto* First = new TTabSheet(Form);
  for (int I = 0; I < 6; ++I) {
    auto* S = I ? new TTabSheet(Form) : First;
    S->SetCaption("Sheet " + std::to_string(I));
    S->SetPageControl(P);
  }
  Pump();
  const TRect OneRow = P->DisplayRect();
  EXPECT_EQ(First->BoundsRect(), OneRow);

  P->SetMultiLine(true);
  Pump();
  EXPECT_TRUE(GetWindowLongA(P->Handle(), GWL_STYLE) & TCS_MULTILINE);
  const LRESULT Rows = SendMessage(P->Handle(), TCM_GETROWCOUNT, 0, 0);
  ASSERT_GE(Rows, 2);
  const TRect Wrapped = P->DisplayRect();
  EXPECT_GT(Wrapped.Top, OneRow.Top);
  EXPECT_EQ(First->BoundsRect(), Wrapped);
  P->SetWidth(1000);  // wide enough for one row again
  Pump();
  EXPECT_EQ(SendMessage(P->Handle(), TCM_GETROWCOUNT, 0, 0), 1);
  EXPECT_EQ(First->BoundsRect().Top, OneRow.Top);
  P->SetWidth(200);
  Pump();

  P->SetTabPosition(tpBottom);
  Pump();
  EXPECT_TRUE(GetWindowLongA(P->Handle(), GWL_STYLE) & TCS_BOTTOM);
  const TRect Below = P->DisplayRect();
  EXPECT_EQ(Below.Top, 4);
  EXPECT_EQ(Below.Height(), Wrapped.Height()) << "the same rows, now under the pages";
  EXPECT_EQ(First->BoundsRect(), Below);
  RECT R;
  SendMessage(P->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_GE(R.Top, Below.Bottom);
}

TEST_F(ComCtrls, ATabControlReadsItsTabPosition) {
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  ClientHeight = 300\n"
      "  ClientWidth = 400\n"
      "  PixelsPerInch = 96\n"
      "  TextHeight = 12\n"
      "  object Formats: TTabControl\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 380\n"
      "    Height = 280\n"
      "    TabOrder = 0\n"
      "    TabPosition = tpBottom\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* T = dynamic_cast<TTabControl*>(F->FindComponent("Formats"));
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->TabPosition(), tpBottom);
  EXPECT_TRUE(GetWindowLongA(T->Handle(), GWL_STYLE) & TCS_BOTTOM);
  EXPECT_NE(WriteToText(F).find("    TabPosition = tpBottom\n"), AnsiString::npos);
}

// ---- Tree view -------------------------------------------------------------------------------

class ComTree : public ComCtrls {
 protected:
  TTreeView* Tree = nullptr;
  TTreeNode *Bars = nullptr, *File = nullptr, *AddFile = nullptr, *Help = nullptr;
  Log Events;

  void SetUp() override {
    ComCtrls::SetUp();
    Tree = Add<TTreeView>(Rect(10, 10, 260, 260));
    TTreeNodes* N = Tree->Items();
    Bars = N->AddChild(nullptr, "Toolbars");
    N->AddChild(Bars, "Quick Access Toolbar");
    File = N->AddChild(Bars, "File");
    AddFile = N->AddChild(File, "Add File");
    N->AddChild(File, "Add Folder");
    Help = N->Add(Bars, "Help");
    N->AddChild(Help, "About");
    auto Name = [](TTreeNode* Node) { return Node ? Node->Text() : AnsiString("nil"); };
    Tree->OnExpanding = [this, Name](TObject*, TTreeNode* Node, bool&) { Events.push_back("expanding " + Name(Node)); };
    Tree->OnExpanded = [this, Name](TObject*, TTreeNode* Node) { Events.push_back("expanded " + Name(Node)); };
    Tree->OnCollapsed = [this, Name](TObject*, TTreeNode* Node) { Events.push_back("collapsed " + Name(Node)); };
    Tree->OnChanging = [this, Name](TObject*, TTreeNode* Node, bool&) { Events.push_back("changing " + Name(Node)); };
    Tree->OnChange = [this, Name](TObject*, TTreeNode* Node) { Events.push_back("change " + Name(Node)); };
    Tree->OnDeletion = [this, Name](TObject*, TTreeNode* Node) { Events.push_back("deletion " + Name(Node)); };
    Pump();
  }
  void ClickNode(TTreeNode* Node, Integer DX = 0) {
    const TRect R = Node->DisplayRect(true);
    ClickAt(Tree, R.Left + 3 + DX, R.Top + R.Height() / 2);
  }
};

TEST_F(ComTree, NodesKnowTheirPlace) {
  EXPECT_EQ(Tree->Items()->Count(), 7);
  EXPECT_EQ(Tree->Items()->Item(3), AddFile);
  EXPECT_EQ(AddFile->AbsoluteIndex(), 3);
  EXPECT_EQ(AddFile->Level(), 2);
  EXPECT_EQ(File->Index(), 1);
  EXPECT_EQ(File->Count(), 2);
  EXPECT_EQ(Bars->getNextSibling(), Help);
  EXPECT_EQ(Help->GetPrev(), File->GetLastChild());
  EXPECT_TRUE(AddFile->HasAsParent(Bars));
  EXPECT_THROW(Tree->Items()->Item(7), EListError);
  EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETCOUNT, 0, 0), 7);
  EXPECT_FALSE(AddFile->IsVisible());
}

TEST_F(ComTree, ClickingAButtonExpandsAndClickingALabelSelects) {
  const TRect R = Bars->DisplayRect(true);
  EXPECT_EQ(Tree->GetHitTestInfoAt(R.Left + 3, R.Top + 3), (THitTests{htOnItem, htOnLabel}));
  // The button sits an indent left of the label.
  ClickAt(Tree, R.Left - Tree->Indent() / 2 - 1, R.Top + R.Height() / 2);
  EXPECT_TRUE(Bars->Expanded());
  EXPECT_EQ(Events, (Log{"expanding Toolbars", "expanded Toolbars"}));
  Events.clear();
  ClickNode(File);
  EXPECT_EQ(Tree->Selected(), File);
  EXPECT_TRUE(File->Selected());
  EXPECT_EQ(Events, (Log{"changing File", "change File"}));
  // Keys: Right expands the selected node, Down goes to its first child.
  Events.clear();
  Press(VK_RIGHT);
  Press(VK_DOWN);
  EXPECT_EQ(Tree->Selected(), AddFile);
  EXPECT_EQ(Events, (Log{"expanding File", "expanded File", "changing Add File", "change Add File"}));
  EXPECT_TRUE(AddFile->IsVisible());
}

TEST_F(ComTree, HandlersCanRefuseExpandingAndChanging) {
  Tree->OnExpanding = [](TObject*, TTreeNode*, bool& Allow) { Allow = false; };
  Bars->Expand(false);
  EXPECT_FALSE(Bars->Expanded());
  Tree->OnExpanding = nullptr;
  Bars->Expand(false);
  EXPECT_TRUE(Bars->Expanded());
  Tree->SetSelected(File);
  Tree->OnChanging = [](TObject*, TTreeNode*, bool& Allow) { Allow = false; };
  ClickNode(Help);
  EXPECT_EQ(Tree->Selected(), File);
  Bars->Collapse(false);
  EXPECT_FALSE(File->IsVisible());
}

TEST_F(ComTree, DeletingANodeDeletesItsChildrenFirst) {
  Events.clear();
  File->Delete();
  EXPECT_EQ(Events, (Log{"deletion Add File", "deletion Add Folder", "deletion File"}));
  EXPECT_EQ(Tree->Items()->Count(), 4);
  EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETCOUNT, 0, 0), 4);
  Events.clear();
  Tree->Items()->Clear();
  EXPECT_EQ(Events.size(), 4u);
  EXPECT_EQ(Tree->Items()->GetFirstNode(), nullptr);
}

TEST_F(ComTree, AViewGoingAwayTellsOnDeletionForEveryNode) {
  Events.clear();
  delete Tree;
  EXPECT_EQ(Events.size(), 7u);
  EXPECT_EQ(Events.back(), "deletion Help") << "each node after its children";
}

TEST_F(ComTree, NodesTheirStatesAndTheSelectionSurviveANewWindow) {
  File->MakeVisible();
  Tree->SetSelected(AddFile);
  AddFile->SetImageIndex(2);
  HWND Old = Tree->Handle();
  Events.clear();
  Tree->SetShowLines(false);  // a new window
  Pump();
  EXPECT_NE(Tree->Handle(), Old);
  EXPECT_TRUE(Events.empty()) << "no events for a new window: " << (Events.empty() ? "" : Events.front());
  EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETCOUNT, 0, 0), 7);
  EXPECT_TRUE(Bars->Expanded());
  EXPECT_TRUE(File->Expanded());
  EXPECT_FALSE(Help->Expanded());
  EXPECT_EQ(Tree->Selected(), AddFile);
  EXPECT_EQ(AddFile->ImageIndex(), 2);
  EXPECT_FALSE(AddFile->DisplayRect(true).IsEmpty());
}

TEST_F(ComTree, ImagesComeFromOnGetImageIndexAsTheViewDraws) {
  auto* Images = new TImageList(Form);
  TBitmap Glyph(16, 16);
  Images->Add(&Glyph, nullptr);
  Images->Add(&Glyph, nullptr);
  std::vector<TTreeNode*> Asked;
  Tree->OnGetImageIndex = [&](TObject* Sender, TTreeNode* Node) {
    EXPECT_EQ(Sender, Tree);
    Asked.push_back(Node);
    Node->SetImageIndex(Node->Level());
  };
  Tree->SetImages(Images);
  Pump();
  EXPECT_NE(std::find(Asked.begin(), Asked.end(), Help), Asked.end());
  delete Images;
  EXPECT_EQ(Tree->Images(), nullptr) << "a freed image list is forgotten";
}

TEST_F(ComTree, SortingAndMovingKeepTheNodesAndTheWindowAlike) {
  Tree->Items()->AddChild(nullptr, "Appearance");
  Tree->AlphaSort(true);
  EXPECT_EQ(Tree->Items()->GetFirstNode()->Text(), "Appearance");
  EXPECT_EQ(Bars->Item(0), File) << "children sorted too";
  AddFile->MoveTo(Help, naAddChildFirst);
  EXPECT_EQ(AddFile->Parent(), Help);
  EXPECT_EQ(Help->Item(0), AddFile);
  // The window agrees: its items walk in the same order.
  std::vector<AnsiString> Window;
  for (auto H = reinterpret_cast<HTREEITEM>(SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_CHILD,
                                                         reinterpret_cast<LPARAM>(Help->ItemId())));
       H; H = reinterpret_cast<HTREEITEM>(
              SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(H))))
    Window.push_back(Tree->Items()->GetNode(H)->Text());
  EXPECT_EQ(Window, (std::vector<AnsiString>{"Add File", "About"}));
  Tree->SetSortType(::ComCtrls::stText);
  TTreeNode* A = Tree->Items()->AddChild(Help, "Zzz");
  TTreeNode* B = Tree->Items()->AddChild(Help, "Abc");
  EXPECT_EQ(B->Index(), 0);
  EXPECT_EQ(A->Index(), Help->Count() - 1);
}

TEST_F(ComTree, WithoutAWindowNodesAreKeptAndHandedOn) {
  auto* T = new TTreeView(Form);
  TTreeNode* Root = T->Items()->AddChild(nullptr, "Root");
  TTreeNode* Kid = T->Items()->AddChild(Root, "Kid");
  Root->Expand(false);
  T->SetSelected(Kid);
  EXPECT_TRUE(Root->Expanded());
  EXPECT_EQ(T->Selected(), Kid);
  T->SetParent(Form);
  T->SetBounds(270, 10, 200, 100);
  Pump();
  ASSERT_TRUE(T->HandleAllocated());
  EXPECT_EQ(SendMessage(T->Handle(), TVM_GETCOUNT, 0, 0), 2);
  EXPECT_TRUE(Root->Expanded());
  EXPECT_EQ(T->Selected(), Kid);
}

// Labels are the user's to edit unless ReadOnly: OnEditing may refuse,
// OnEdited sees (and may change) the text the node takes.
TEST_F(ComTree, EditingALabelAsksOnEditingAndOnEditedGivesTheText) {
  EXPECT_TRUE(GetWindowLong(Tree->Handle(), GWL_STYLE) & TVS_EDITLABELS);
  Tree->OnEditing = [this](TObject*, TTreeNode* Node, bool& AllowEdit) {
    Events.push_back("editing " + Node->Text());
    AllowEdit = Node != Help;
  };
  Tree->OnEdited = [this](TObject*, TTreeNode* Node, AnsiString& S) {
    Events.push_back("edited " + Node->Text() + " as " + S);
    S += "!";
  };
  Tree->SetSelected(Bars);
  Pump();
  Events.clear();
  EXPECT_TRUE(Bars->EditText());
  EXPECT_TRUE(Tree->IsEditing());
  Type("Bars");
  Press(VK_RETURN);
  EXPECT_FALSE(Tree->IsEditing());
  auto EditEvents = [this] {
    Log R;
    for (const AnsiString& E : Events)
      if (E.rfind("edit", 0) == 0) R.push_back(E);
    return R;
  };
  EXPECT_EQ(EditEvents(), (Log{"editing Toolbars", "edited Toolbars as Bars"}));
  EXPECT_EQ(Bars->Text(), "Bars!");
  char Text[32] = {};
  TVITEMA Item{};
  Item.mask = TVIF_TEXT;
  Item.hItem = Bars->ItemId();
  Item.pszText = Text;
  Item.cchTextMax = sizeof Text;
  SendMessage(Tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
  EXPECT_STREQ(Text, "Bars!") << "the window shows the node's text";

  // Refused, cancelled, and ended in code.
  Events.clear();
  EXPECT_FALSE(Help->EditText());
  EXPECT_FALSE(Tree->IsEditing());
  Tree->SetSelected(Bars);
  EXPECT_TRUE(Bars->EditText());
  Type("Other");
  Press(VK_ESCAPE);
  EXPECT_EQ(Bars->Text(), "Bars!");
  Tree->SetSelected(Bars);
  EXPECT_TRUE(Bars->EditText());
  Type("Menus");
  Bars->EndEdit(false);
  EXPECT_EQ(Bars->Text(), "Menus!");
  EXPECT_EQ(EditEvents(), (Log{"editing Help", "editing Bars!", "editing Bars!", "edited Bars! as Menus"}));

  // Leaving the edit for another control keeps the text typed.
  auto* Other = Add<TEdit>(Rect(300, 10, 400, 31));
  Pump();
  EXPECT_TRUE(Bars->EditText());
  Type("Kept");
  ClickAt(Other, 5, 5);
  EXPECT_TRUE(Other->Focused());
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Bars->Text(), "Kept!");

  Tree->SetReadOnly(true);
  EXPECT_FALSE(GetWindowLong(Tree->Handle(), GWL_STYLE) & TVS_EDITLABELS);
}

}  // namespace
