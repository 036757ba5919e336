#include "grid/nx_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "grid/nx_button_edit.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_date_picker.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/user_test_seams.h"
#include "platform/testing/uxtheme_recording.h"
#include "tests/grid/form_test_support.h"

namespace {

using rtl::testing::ClientPoint;

// A 16 x 16 glyph: magenta all round (so its bottom-left pixel is the
// transparent colour) with a black square in the middle.
std::unique_ptr<TBitmap> MagentaGlyph() {
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(pf24bit);
  B->SetWidth(16);
  B->SetHeight(16);
  B->Canvas()->Brush()->SetColor(static_cast<TColor>(0xFF00FF));
  B->Canvas()->FillRect(TRect(0, 0, 16, 16));
  B->Canvas()->Brush()->SetColor(clBlack);
  B->Canvas()->FillRect(TRect(4, 4, 12, 12));
  return B;
}

class NxEdit : public FormTest {
 protected:
  TNxEdit* E = nullptr;

  void PlaceControls() override { E = Place<TNxEdit>(10, 10, 200, 22); }
  static Integer LeftMargin(TWinControl* C) { return LOWORD(SendMessage(C->Handle(), EM_GETMARGINS, 0, 0)); }
  static Integer RightMargin(TWinControl* C) { return HIWORD(SendMessage(C->Handle(), EM_GETMARGINS, 0, 0)); }
  void Click(TWinControl* C, Integer X, Integer Y) {
    rtl::testing::InjectClick(ClientPoint(C->Handle(), X, Y));
    Pump();
    // The next click is no double click.
    rtl::testing::AdvanceClock(2000);
  }
};

TEST_F(NxEdit, LayoutOfGlyphAndPreview) {
  struct Case {
    bool Glyph, Preview;
    Integer MarginLeft;
    bool InfoVisible;
    Integer InfoWidth, TextLeft;
  };
  const Case Cases[] = {
      {true, true, 3, true, 40, 3 + 45},
      {false, false, 3, false, 0, 3},
      {true, false, 0, true, 20, 20},
      {false, true, 5, true, 20, 30},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "glyph " << C.Glyph << " preview " << C.Preview);
    auto G = MagentaGlyph();
    TBitmap Empty;
    E->SetGlyph(C.Glyph ? G.get() : &Empty);
    E->SetShowPreview(C.Preview);
    E->EditMargins()->SetLeft(C.MarginLeft);
    Pump();
    EXPECT_EQ(E->Info()->Visible(), C.InfoVisible);
    if (C.InfoVisible) EXPECT_EQ(E->Info()->Width(), C.InfoWidth);
    EXPECT_EQ(E->InfoRight(), C.InfoVisible ? C.InfoWidth : 0);
    EXPECT_EQ(LeftMargin(E), C.TextLeft);
  }
}

TEST_F(NxEdit, PreviewRectFollowsTheGlyph) {
  EXPECT_EQ(E->GetPreviewRect(), TRect(0, 0, 20, E->ClientHeight()));
  auto G = MagentaGlyph();
  E->SetGlyph(G.get());
  EXPECT_EQ(E->GetPreviewRect(), TRect(20, 0, 40, E->ClientHeight()));
}

TEST_F(NxEdit, ButtonEditRightMarginIsTheButton) {
  auto* B = new TNxButtonEdit(Form);
  B->SetBounds(10, 50, 200, 22);
  B->SetParent(Form);
  B->EditMargins()->SetRight(7);
  Pump();
  EXPECT_EQ(RightMargin(B), 21);
  EXPECT_TRUE(B->Button()->Visible());
  EXPECT_EQ(B->Button()->Left(), B->ClientWidth() - 21);
  B->SetShowButton(false);
  Pump();
  EXPECT_EQ(RightMargin(B), 0);
  EXPECT_FALSE(IsWindowVisible(B->Button()->Handle()));
}

// Typed text lands where the window class puts it with the same style.
TEST_F(NxEdit, AlignmentPlacesTextAsTheWindowClass) {
  const struct {
    TAlignment Alignment;
    DWORD Style;
  } Cases[] = {{taRightJustify, ES_RIGHT}, {taCenter, ES_CENTER}, {taLeftJustify, ES_LEFT}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Alignment));
    E->SetAlignment(C.Alignment);
    E->SetText("abc");
    HWND Plain = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "abc",
                                 WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_AUTOVSCROLL | C.Style, 10, 50, 200, 22,
                                 Form->Handle(), nullptr, nullptr, nullptr);
    SendMessage(Plain, WM_SETFONT, reinterpret_cast<WPARAM>(E->Font()->Handle()), 0);
    SendMessage(Plain, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    Pump();
    const LRESULT Ours = SendMessage(E->Handle(), EM_POSFROMCHAR, 0, 0);
    const LRESULT Theirs = SendMessage(Plain, EM_POSFROMCHAR, 0, 0);
    EXPECT_EQ(LOWORD(Ours), LOWORD(Theirs));
    if (C.Alignment != taLeftJustify) EXPECT_GT(LOWORD(Ours), 20);
    DestroyWindow(Plain);
  }
}

TEST_F(NxEdit, PressRightOfTheInfoBoxSelectsAll) {
  auto G = MagentaGlyph();
  E->SetGlyph(G.get());
  E->SetText("hello world");
  Pump();
  ASSERT_EQ(E->InfoRight(), 20);
  Click(E, E->InfoRight() + 2, 8);
  EXPECT_EQ(E->SelStart(), 0);
  EXPECT_EQ(E->SelLength(), 11);
  Click(E, E->InfoRight() + 3, 8);
  EXPECT_EQ(E->SelLength(), 0);
}

TEST_F(NxEdit, CursorOverTheInfoStripIsTheReversedArrow) {
  auto G = MagentaGlyph();
  E->SetGlyph(G.get());
  Pump();
  rtl::testing::InjectMouseMove(ClientPoint(E->Handle(), E->InfoRight() + 2, 8));
  Pump();
  EXPECT_EQ(E->Cursor(), crReversedArrow);
  EXPECT_NE(Screen->Cursors(crReversedArrow), nullptr);
  rtl::testing::InjectMouseMove(ClientPoint(E->Handle(), E->InfoRight() + 20, 8));
  Pump();
  EXPECT_EQ(E->Cursor(), crDefault);
}

TEST_F(NxEdit, PressOnTheGlyphFiresGlyphClick) {
  auto G = MagentaGlyph();
  E->SetGlyph(G.get());
  E->SetShowPreview(true);
  Pump();
  int Clicks = 0;
  E->OnGlyphClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, E);
    ++Clicks;
  };
  Click(E->Info(), 5, 5);
  EXPECT_EQ(Clicks, 1);
  // The preview box is no glyph.
  Click(E->Info(), 30, 5);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(NxEdit, MagentaGlyphPixelsAreTransparent) {
  auto G = MagentaGlyph();
  E->SetGlyph(G.get());
  E->SetColor(clWhite);
  E->Info()->SetColor(clWhite);
  Pump();
  HWND Info = E->Info()->Handle();
  const Integer Y = static_cast<Integer>(std::lround(E->Info()->Height() / 2.0 - 8));
  EXPECT_EQ(rtl::testing::WindowPixel(Info, 1, Y + 1), RGB(255, 255, 255));
  EXPECT_EQ(rtl::testing::WindowPixel(Info, 14, Y + 14), RGB(255, 255, 255));
  EXPECT_EQ(rtl::testing::WindowPixel(Info, 8, Y + 8), RGB(0, 0, 0));
}

TEST_F(NxEdit, TabLeavesUnlessWanted) {
  auto* Next = new TNxEdit(Form);
  Next->SetBounds(10, 50, 100, 22);
  Next->SetParent(Form);
  Pump();
  E->SetFocus();
  Pump();
  rtl::testing::InjectKeyPress(VK_TAB);
  Pump();
  EXPECT_TRUE(Next->Focused());
  E->SetWantTabs(true);
  int Tabs = 0;
  E->OnKeyPress = [&](TObject*, char& Key) { Tabs += Key == '\t'; };
  E->SetFocus();
  Pump();
  rtl::testing::InjectKeyPress(VK_TAB);
  Pump();
  EXPECT_TRUE(E->Focused());
  EXPECT_EQ(Tabs, 1);
}

TEST_F(NxEdit, ConversionGettersRaiseAndKeepTheText) {
  E->SetText("");
  EXPECT_EQ(E->GetAsInteger(), 0);
  EXPECT_EQ(E->GetAsFloat(), 0);
  EXPECT_EQ(E->GetAsDateTime(), 0);
  const struct {
    const char* Text;
    std::function<void()> Get;
  } Cases[] = {
      {"abc", [&] { E->GetAsInteger(); }},
      {"1.2.3x", [&] { E->GetAsFloat(); }},
      {"maybe", [&] { E->GetAsBoolean(); }},
      {"32/13/2024 99:00", [&] { E->GetAsDateTime(); }},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    E->SetText(C.Text);
    EXPECT_THROW(C.Get(), EConvertError);
    EXPECT_EQ(E->Text(), C.Text);
  }
  E->SetText("42");
  EXPECT_EQ(E->GetAsInteger(), 42);
}

TEST_F(NxEdit, ValueSettersWriteTheirText) {
  E->SetAsDateTime(EncodeDate(2024, 3, 5));
  EXPECT_EQ(E->Text(), DateTimeToStr(EncodeDate(2024, 3, 5)));
  EXPECT_EQ(E->Text().find(':'), AnsiString::npos);
  E->SetAsDateTime(EncodeDate(2024, 3, 5) + 0.5);
  EXPECT_NE(E->Text().find(':'), AnsiString::npos);
  EXPECT_DOUBLE_EQ(E->GetAsDateTime(), EncodeDate(2024, 3, 5) + 0.5);
  E->SetAsInteger(-17);
  EXPECT_EQ(E->Text(), "-17");
  E->SetAsBoolean(true);
  EXPECT_TRUE(E->GetAsBoolean());
  E->SetAsString(u"\u00e9t\u00e9");
  EXPECT_EQ(E->Text(), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(E->GetAsString(), u"\u00e9t\u00e9");
}

TEST_F(NxEdit, PrepareEditPutsTheCaretAtTheEnd) {
  E->SetText("abcdef");
  E->SelectAll();
  E->PrepareEdit();
  EXPECT_EQ(E->SelStart(), 6);
  EXPECT_EQ(E->SelLength(), 0);
}

TEST_F(NxEdit, BorderWidthFrameInTheEditsColour) {
  E->SetColor(clRed);
  E->SetBorderWidth(2);
  Pump();
  E->Repaint();
  Pump();
  const Integer Mid = E->Height() / 2;
  for (Integer X : {2, 3}) EXPECT_EQ(rtl::testing::WindowPixel(E->Handle(), X, Mid, true), RGB(255, 0, 0)) << X;
  EXPECT_EQ(rtl::testing::WindowPixel(E->Handle(), E->Width() - 3, Mid, true), RGB(255, 0, 0));
}

TEST_F(NxEdit, ThemedBorderOverTheFrame) {
  TRecordingTheme Theme;
  Pump();
  ASSERT_TRUE(IsThemed());
  Theme.Calls.clear();
  RedrawWindow(E->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  bool Edit = false;
  for (const auto& C : Theme.CallsOf("DrawThemeBackground"))
    if (C.ClassList == u"edit" && C.Part == 1 && C.State == 0) {
      Edit = true;
      EXPECT_EQ(C.Rect.Right - C.Rect.Left, E->Width());
    }
  EXPECT_TRUE(Edit);
  // Without a single border there is no themed frame.
  E->SetBorderStyle(bsNone);
  Pump();
  Theme.Calls.clear();
  RedrawWindow(E->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  for (const auto& C : Theme.CallsOf("DrawThemeBackground")) EXPECT_NE(C.ClassList, u"edit");
}

TEST(NxEditorClasses, ColumnsFindTheirEditorsOnceRegistered) {
  RegisterNxEditorClasses();
  TNxTextColumn Text(nullptr);
  TNxPopupColumn Popup(nullptr);
  TNxDateColumn Date(nullptr);
  const std::vector<std::pair<TNxCustomColumn*, TClass>> Expected = {
      {&Text, TNxEdit::StaticClass()}, {&Popup, TNxEdit::StaticClass()}, {&Date, TNxDatePicker::StaticClass()}};
  for (const auto& [Column, C] : Expected) {
    EXPECT_EQ(Column->GetEditorClass(), C) << Column->ClassName().c_str();
    // The classes make working editors through their class references.
    TObject* O = CreateInstance(Column->GetEditorClass(), nullptr);
    ASSERT_NE(dynamic_cast<TNxEdit*>(O), nullptr);
    delete O;
  }
  UnregisterColumnEditorClass("TNxEdit");
  UnregisterColumnEditorClass("TNxDatePicker");
  EXPECT_EQ(Text.GetEditorClass(), nullptr);
}

}  // namespace
