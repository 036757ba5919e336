#include "grid/nx_columns.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/nx_column_classes.h"
#include "grid/nx_column_collection.h"
#include "grid/nx_displays.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/text_codec.h"
#include "tests/grid/columns_test_support.h"

RTL_IMPLEMENT_CLASS(TFakeGrid)

namespace {

using TChange = TFakeGrid::TChange;

// ---- Setters ------------------------------------------------------------------------------

struct TSetterCase {
  const char* Name;
  std::function<void(TNxTextColumn*)> Set;
  std::vector<std::pair<Integer, Integer>> Kinds;  // (kind, value) of the column's changes
  std::vector<Integer> Areas;                      // refreshed areas
};

TEST(ColumnSetterTest, EachSetterReportsItsChangeOrRefresh) {
  const TSetterCase cases[] = {
      {"Alignment", [](auto* c) { c->SetAlignment(taCenter); }, {{7, 0}}, {}},
      {"BiDiMode", [](auto* c) { c->SetBiDiMode(bdRightToLeft); }, {{7, 0}}, {}},
      {"Color", [](auto* c) { c->SetColor(clRed); }, {{7, 0}}, {}},
      {"Cursor", [](auto* c) { c->SetCursor(-21); }, {{7, 0}}, {}},
      {"DrawingOptions", [](auto* c) { c->SetDrawingOptions(doCustom); }, {{7, 0}}, {}},
      {"InputCaption", [](auto* c) { c->SetInputCaption(u"x"); }, {{7, 0}}, {}},
      {"VerticalAlignment", [](auto* c) { c->SetVerticalAlignment(taAlignTop); }, {{7, 0}}, {}},
      {"SlideCaptionLocation", [](auto* c) { c->SetSlideCaptionLocation(clLeft); }, {{7, 0}}, {}},
      {"SlideOptions", [](auto* c) { c->SetSlideOptions({soAutoSize}); }, {{7, 0}}, {}},
      {"InputValue", [](auto* c) { c->SetInputValue(u"v"); }, {{1, 0}}, {}},
      {"SortType", [](auto* c) { c->SetSortType(stDate); }, {{6, 0}}, {}},
      {"SortKind", [](auto* c) { c->SetSortKind(skDescending); }, {{6, 0}}, {}},
      {"Visible off", [](auto* c) { c->SetVisible(false); }, {{8, 0}}, {}},
      {"Visible unchanged", [](auto* c) { c->SetVisible(true); }, {}, {}},
      {"Sorted on", [](auto* c) { c->SetSorted(true); }, {{5, 0}}, {}},
      {"SlideBounds.Left twice", [](auto* c) { c->SlideBounds()->SetLeft(8), c->SlideBounds()->SetLeft(8); },
       {{4, 0}, {4, 0}}, {}},
      {"SlideBounds.Top", [](auto* c) { c->SlideBounds()->SetTop(8); }, {{4, 0}}, {}},
      {"SlideBounds.Width unchanged", [](auto* c) { c->SlideBounds()->SetWidth(80); }, {}, {}},
      {"SlideBounds.Height", [](auto* c) { c->SlideBounds()->SetHeight(20); }, {{4, 0}}, {}},
      {"Width below MinWidth", [](auto* c) { c->SetMinWidth(30), c->SetWidth(5); }, {{10, -50}}, {}},
      {"Width", [](auto* c) { c->SetWidth(120); }, {{10, 40}}, {}},
      {"ParentCellColor", [](auto* c) { c->SetParentCellColor(true); }, {}, {1}},
      {"Padding", [](auto* c) { c->SetPadding(3); }, {}, {1}},
      {"WrapKind", [](auto* c) { c->SetWrapKind(wkWordWrap); }, {}, {1}},
      {"MaxLength", [](auto* c) { c->SetMaxLength(4); }, {}, {1}},
      {"MultiLine", [](auto* c) { c->SetMultiLine(true); }, {}, {1}},
      {"PasswordChar", [](auto* c) { c->SetPasswordChar('*'); }, {}, {1}},
      {"TextAfter", [](auto* c) { c->SetTextAfter(u"a"); }, {}, {1}},
      {"TextBefore", [](auto* c) { c->SetTextBefore(u"b"); }, {}, {1}},
      {"SlideCaption", [](auto* c) { c->SetSlideCaption("s"); }, {}, {0}},
      {"DefaultValue", [](auto* c) { c->SetDefaultValue(u"d"); }, {}, {}},
      {"DefaultWidth", [](auto* c) { c->SetDefaultWidth(50); }, {}, {}},
      {"Enabled", [](auto* c) { c->SetEnabled(false); }, {}, {}},
      {"MinWidth", [](auto* c) { c->SetMinWidth(20); }, {}, {}},
      {"SlideAnchors", [](auto* c) { c->SetSlideAnchors({akRight}); }, {}, {}},
      {"Header.Caption", [](auto* c) { c->Header()->SetCaption(u"H"); }, {}, {0}},
      {"Header.Color", [](auto* c) { c->Header()->SetColor(clRed); }, {}, {0}},
      {"Header.DisplayMode", [](auto* c) { c->Header()->SetDisplayMode(dmImageOnly); }, {{7, 0}}, {}},
      {"Header.Alignment", [](auto* c) { c->Header()->SetAlignment(taCenter); }, {}, {3}},
      {"Header.MultiLine", [](auto* c) { c->Header()->SetMultiLine(true); }, {}, {3}},
      {"Header.Orientation", [](auto* c) { c->Header()->SetOrientation(hoVertical); }, {}, {3}},
      {"Header.HideArrow", [](auto* c) { c->Header()->SetHideArrow(false); }, {}, {3}},
      {"Header.Hint", [](auto* c) { c->Header()->SetHint(u"h"); }, {}, {}},
      {"Footer.Alignment", [](auto* c) { c->Footer()->SetAlignment(taCenter); }, {}, {2}},
      {"Footer.FormulaKind", [](auto* c) { c->Footer()->SetFormulaKind(fkSum); }, {{7, 0}}, {}},
      {"Footer.TextBefore", [](auto* c) { c->Footer()->SetTextBefore(u"t"); }, {{7, 0}}, {}},
      {"Footer.FormulaValue", [](auto* c) { c->Footer()->SetFormulaValue(2); }, {{7, 0}}, {}},
  };
  for (const TSetterCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeGrid grid;
    auto* col = grid.AddColumn();
    grid.AddColumn();
    grid.ClearRecords();
    c.Set(col);
    std::vector<std::pair<Integer, Integer>> kinds;
    for (auto& [column, kind, value] : grid.Changes)
      if (column == col) kinds.emplace_back(kind, value);
    std::vector<Integer> areas;
    for (auto& [column, area] : grid.Refreshes) {
      EXPECT_EQ(column, col);
      areas.push_back(area);
    }
    EXPECT_EQ(kinds, c.Kinds);
    EXPECT_EQ(areas, c.Areas);
  }
}

TEST(ColumnSetterTest, WidthIsClampedAndTheRequestRemembered) {
  TFakeGrid grid;
  auto* col = grid.AddColumn(80);
  col->SetMinWidth(30);
  col->SetWidth(5);
  EXPECT_EQ(col->Width(), 30);
  EXPECT_EQ(col->RequestedWidth(), 5);
}

TEST(ColumnSetterTest, SortedAndSearchColumnAreOnePerGrid) {
  TFakeGrid grid;
  auto* a = grid.AddColumn();
  auto* b = grid.AddColumn();
  a->SetSorted(true);
  grid.ClearRecords();
  b->SetSorted(true);
  EXPECT_FALSE(a->Sorted());
  EXPECT_TRUE(b->Sorted());
  EXPECT_EQ(grid.Changes, (std::vector<TChange>{{a, 9, 0}, {b, 5, 0}}));

  a->SetOptions(a->Options() + coSearchColumn);
  b->SetOptions(b->Options() + coSearchColumn);
  EXPECT_FALSE(a->Options().Contains(coSearchColumn));
  EXPECT_TRUE(b->Options().Contains(coSearchColumn));
}

// A column whose flags forbid sorting.
class TUnsortableColumn : public TNxTextColumn {
 public:
  using TNxTextColumn::TNxTextColumn;
  Byte GetColumnFlags() const override { return cfCannotSort; }
};

TEST(ColumnSetterTest, ColumnThatCannotBeSortedIgnoresSorted) {
  TFakeGrid grid;
  auto* col = new TUnsortableColumn(&grid);
  grid.FColumns->Add(col);
  grid.ClearRecords();
  col->SetSorted(true);
  EXPECT_FALSE(col->Sorted());
  EXPECT_TRUE(grid.Changes.empty());
}

TEST(ColumnSetterTest, ParentFontTakesTheGridFontAndOwnFontChangesClearIt) {
  TFakeGrid grid;
  auto* col = grid.AddColumn();
  EXPECT_TRUE(col->ParentFont());
  col->SetParentFont(true);
  EXPECT_TRUE(col->ParentFont()) << "taking the grid font does not clear the flag";
  EXPECT_EQ(col->Font()->Name(), "Liberation Serif");
  EXPECT_EQ(col->Font()->Height(), -15);
  grid.ClearRecords();
  col->Font()->SetStyle({fsBold});
  EXPECT_FALSE(col->ParentFont());
  EXPECT_EQ(grid.Changes, (std::vector<TChange>{{col, 7, 0}}));
  col->SetParentFont(true);
  TFont other;
  other.SetName("Liberation Mono");
  col->SetFont(&other);
  EXPECT_FALSE(col->ParentFont());
  EXPECT_EQ(col->Font()->Name(), "Liberation Mono");
}

TEST(ColumnSetterTest, HeaderGlyphBecomesTransparentByItsBottomLeftPixel) {
  TFakeGrid grid;
  auto* col = grid.AddColumn();
  Integer changes = 0;
  TNotifyEvent inner = col->Header()->OnChange;
  col->Header()->OnChange = [&](TObject* s) {
    ++changes;
    inner(s);
  };
  TBitmap glyph;
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clWhite);
  glyph.Canvas()->FillRect(TRect(0, 0, 4, 4));
  glyph.Canvas()->SetPixels(0, 3, 0x00FF00);
  grid.ClearRecords();
  col->Header()->SetGlyph(&glyph);
  EXPECT_TRUE(col->Header()->Glyph()->Transparent());
  EXPECT_EQ(col->Header()->Glyph()->TransparentColor() & 0xFFFFFF, 0x00FF00);
  EXPECT_GE(changes, 1);
  EXPECT_FALSE(grid.Changes.empty());
}

TEST(ColumnAssignTest, CopiesThePartsListPerClassAndRefusesOtherSources) {
  TFakeGrid grid;
  auto* src = grid.AddColumn<TNxTextColumn>(120);
  src->SetAlignment(taRightJustify);
  src->SetAutoEdit(true);
  src->SetColor(clRed);
  src->SetDefaultValue(u"dv");
  src->SetInputValue(u"iv");
  src->SetWrapKind(wkWordWrap);
  src->SetTextBefore(u"tb");
  src->SetPasswordChar('#');
  src->SetMinWidth(40);     // not in the list
  src->SetBiDiMode(bdRightToLeft);  // not in the list
  src->SetSlideCaption("sc");       // not in the list
  src->Header()->SetCaption(u"Cap");
  src->Footer()->SetTextAfter(u"ft");
  src->SlideBounds()->SetTop(33);
  TNxTextColumn dst(nullptr);
  dst.Assign(src);
  EXPECT_EQ(dst.Alignment(), taRightJustify);
  EXPECT_TRUE(dst.AutoEdit());
  EXPECT_EQ(dst.Color(), clRed);
  EXPECT_EQ(dst.DefaultValue(), u"dv");
  EXPECT_EQ(dst.InputValue(), u"iv");
  EXPECT_EQ(dst.WrapKind(), wkWordWrap);
  EXPECT_EQ(dst.Width(), 120);
  EXPECT_EQ(dst.TextBefore(), u"tb");
  EXPECT_EQ(dst.PasswordChar(), '#');
  EXPECT_EQ(dst.Header()->Caption(), u"Cap");
  EXPECT_EQ(dst.Footer()->TextAfter(), u"ft");
  EXPECT_EQ(dst.SlideBounds()->Top(), 33);
  EXPECT_EQ(dst.MinWidth(), 8);
  EXPECT_EQ(dst.BiDiMode(), bdLeftToRight);
  EXPECT_EQ(dst.SlideCaption(), "");

  TNxImageColumn image(nullptr);
  TCustomImageList list(16, 16);
  TNxImageColumn image2(nullptr);
  image2.SetImages(&list);
  image.Assign(&image2);
  EXPECT_EQ(image.Images(), &list);
  image.SetImages(nullptr);

  TFont font;
  EXPECT_THROW(dst.Assign(&font), EConvertError);
  EXPECT_THROW(dst.Header()->Assign(&font), EConvertError);
  EXPECT_THROW(dst.SlideBounds()->Assign(&font), EConvertError);
}

TEST(ColumnAssignTest, HeaderAndFooterCopyTheirOwnLists) {
  TColumnHeader h1(nullptr), h2(nullptr);
  h1.SetHint(u"hint");
  h1.SetMultiLine(true);
  h1.SetHideArrow(false);  // not copied
  h1.SetDrawingOptions(doCustom);  // not copied by a header
  h2.Assign(&h1);
  EXPECT_EQ(h2.Hint(), u"hint");
  EXPECT_TRUE(h2.MultiLine());
  EXPECT_TRUE(h2.HideArrow());
  EXPECT_EQ(h2.DrawingOptions(), doNormal);
  TColumnFooter f1(nullptr), f2(nullptr);
  f1.SetCaption(u"not copied");
  f1.SetDrawingOptions(doCustom);
  f1.SetFormatMask("0.00");
  f1.SetFormulaKind(fkAverage);
  f2.Assign(&f1);
  EXPECT_EQ(f2.Caption(), u"");
  EXPECT_EQ(f2.DrawingOptions(), doCustom);
  EXPECT_EQ(f2.FormatMask(), "0.00");
  EXPECT_EQ(f2.FormulaKind(), fkAverage);
}

// ---- Display text -------------------------------------------------------------------------

TEST(ColumnDrawTextTest, TextAndDateColumnsComposeTheirText) {
  TNxTextColumn text(nullptr);
  TCellInfo info;
  info.AsString = u"b";
  text.SetTextBefore(u"a");
  text.SetTextAfter(u"c");
  WideString out;
  text.GetDrawText(info, out);
  EXPECT_EQ(out, u"abc");
  text.SetPasswordChar('*');
  text.GetDrawText(info, out);
  EXPECT_EQ(out, u"***");
  text.OnGetDrawText = [](TObject*, WideString& t) { t += u"!"; };
  text.GetDrawText(info, out);
  EXPECT_EQ(out, u"***!") << "the event runs last";

  TNxDateColumn date(nullptr);
  date.SetEmptyCaption(u"(none)");
  info.AsDateTime = 0;
  date.SetHideWhenEmpty(true);
  date.GetDrawText(info, out);
  EXPECT_EQ(out, u"(none)");
  date.SetHideWhenEmpty(false);
  date.GetDrawText(info, out);
  EXPECT_EQ(out, AnsiToWide(DateTimeToStr(0)));
  info.AsDateTime = EncodeDate(2024, 3, 9);
  date.SetFormatMask("yyyy-mm-dd");
  date.SetTextBefore(u"<");
  date.GetDrawText(info, out);
  EXPECT_EQ(out, u"<2024-03-09");
  date.OnGetDrawText = [](TObject* s, WideString& t) {
    EXPECT_NE(dynamic_cast<TNxDateColumn*>(s), nullptr);
    t = u"[" + t + u"]";
  };
  date.SetHideWhenEmpty(true);
  info.AsDateTime = 0;
  date.GetDrawText(info, out);
  EXPECT_EQ(out, u"[(none)]");
}

TEST(ColumnClassTest, DefaultsFlagsAndEditKeysPerClass) {
  // The grid's start-up registered the real editors; without one a column
  // has no editor and cannot edit.
  const TClass Registered = FindColumnEditorClass("TNxEdit");
  UnregisterColumnEditorClass("TNxEdit");
  struct TRestore {
    TClass C;
    ~TRestore() {
      if (C) RegisterColumnEditorClass("TNxEdit", C);
    }
  } Restore{Registered};
  TNxTextColumn text(nullptr);
  TNxImageColumn image(nullptr);
  TNxPopupColumn popup(nullptr);
  TNxDateColumn date(nullptr);
  EXPECT_EQ(text.Options().ToBits(), 9230u);
  EXPECT_EQ(image.Options().ToBits(), 1038u);
  EXPECT_EQ(text.GetColumnFlags(), 42);
  EXPECT_EQ(popup.GetColumnFlags(), 42);
  EXPECT_EQ(date.GetColumnFlags(), 42);
  EXPECT_EQ(image.GetColumnFlags(), 8);
  EXPECT_EQ(image.CellKind(), ckInteger);
  EXPECT_EQ(image.SortType(), stNumeric);
  EXPECT_EQ(image.DefaultValue(), u"0");
  EXPECT_EQ(date.CellKind(), ckDateTime);
  EXPECT_EQ(date.SortType(), stDate);
  EXPECT_EQ(date.DefaultValue(), AnsiToWide(DateTimeToStr(Date())));
  EXPECT_EQ(text.CellKind(), ckString);
  EXPECT_EQ(text.Display()->ClassName(), "TTextColumnDisplay");
  EXPECT_EQ(popup.Display()->ClassName(), "TTextColumnDisplay");
  EXPECT_EQ(date.Display()->ClassName(), "TDateColumnDisplay");
  EXPECT_EQ(image.Display()->ClassName(), "TImageColumnDisplay");
  EXPECT_TRUE(text.IsValidEditKey(u'a'));
  EXPECT_FALSE(text.IsValidEditKey(u' '));
  EXPECT_TRUE(date.IsValidEditKey(u'7'));
  EXPECT_TRUE(date.IsValidEditKey(u'/'));
  EXPECT_FALSE(date.IsValidEditKey(u'a'));
  EXPECT_FALSE(image.IsValidEditKey(u'a'));
  EXPECT_EQ(text.GetTextOptions(), 0);
  text.SetMultiLine(true);
  EXPECT_EQ(text.GetTextOptions(), toMultiLine);
  EXPECT_EQ(text.Editor(), nullptr) << "no editor class registered";
  EXPECT_EQ(text.GetEditAbilities(), 0);
  TNxTextColumn* self = &text;
  (void)self;
}

// A stand-in for the editors, which come later: published properties that
// the columns prepare, and the popup's two notifications.
class TStubEditor : public TComponent {
  RTL_CLASS(TStubEditor, TComponent)

 public:
  using TComponent::TComponent;
  TAlignment FAlignment = taLeftJustify;
  Integer FMaxLength = 0;
  char FPasswordChar = 0;
  bool FShowNoneButton = false;
  WideString FTodayCaption;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v) { FAlignment = v; }
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer v) { FMaxLength = v; }
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char v) { FPasswordChar = v; }
  bool ShowNoneButton() const { return FShowNoneButton; }
  void SetShowNoneButton(bool v) { FShowNoneButton = v; }
  const WideString& TodayCaption() const { return FTodayCaption; }
  void SetTodayCaption(const WideString& v) { FTodayCaption = v; }
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;
};

RTL_IMPLEMENT_PUBLISHED(TStubEditor, RTL_PROP(Alignment), RTL_PROP(MaxLength), RTL_PROP(PasswordChar),
                        RTL_PROP(ShowNoneButton), RTL_PROP(TodayCaption), RTL_EVENT(OnCloseUp),
                        RTL_EVENT(OnSelect))

TEST(ColumnEditorTest, RegisteredEditorIsCreatedHiddenPreparedAndWired) {
  RegisterColumnEditorClass("TNxEdit", TStubEditor::StaticClass());
  RegisterColumnEditorClass("TNxDatePicker", TStubEditor::StaticClass());
  {
    TNxPopupColumn popup(nullptr);
    auto* ed = dynamic_cast<TStubEditor*>(popup.Editor());
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->Owner(), &popup);
    popup.SetAlignment(taCenter);
    popup.SetMaxLength(12);
    popup.SetPasswordChar('*');
    popup.PrepareEditor();
    EXPECT_EQ(ed->Alignment(), taCenter);
    EXPECT_EQ(ed->MaxLength(), 12);
    EXPECT_EQ(ed->PasswordChar(), '*');
    popup.SetOptions(popup.Options() + coEditing);
    EXPECT_EQ(popup.GetEditAbilities(), eaEditing | eaInput);
    TObject* closed = nullptr;
    popup.OnCloseUp = [&](TObject* s) { closed = s; };
    ASSERT_TRUE(static_cast<bool>(ed->OnCloseUp));
    ed->OnCloseUp(ed);
    EXPECT_EQ(closed, &popup) << "the column is the sender";

    TNxDateColumn date(nullptr);
    auto* ded = dynamic_cast<TStubEditor*>(date.Editor());
    ASSERT_NE(ded, nullptr);
    date.SetTodayCaption(u"Now");
    date.PrepareEditor();
    EXPECT_TRUE(ded->ShowNoneButton());
    EXPECT_EQ(ded->TodayCaption(), u"Now");
  }
  UnregisterColumnEditorClass("TNxEdit");
  UnregisterColumnEditorClass("TNxDatePicker");
}

TEST(ColumnEditorTest, InplaceEditIsForgottenWhenFreed) {
  TNxTextColumn col(nullptr);
  auto* edit = new TComponent(nullptr);
  col.SetInplaceEdit(edit);
  EXPECT_EQ(col.InplaceEdit(), edit);
  EXPECT_EQ(col.GetEditAbilities(), eaInput);
  delete edit;
  EXPECT_EQ(col.InplaceEdit(), nullptr);
}

}  // namespace
