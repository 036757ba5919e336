#include "grid/nx_columns.h"

#include <map>
#include <mutex>

#include "grid/nx_column_collection.h"
#include "grid/nx_displays.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"

RTL_IMPLEMENT_PUBLISHED(TColumnPart, RTL_PROP(Caption), RTL_PROP(Color).Idents(ColorIdentMap()),
                        RTL_PROP(DisplayMode).Default(dmTextOnly), RTL_PROP(Glyph), RTL_PROP(Hint),
                        RTL_PROP(DrawingOptions).Default(doNormal))
RTL_IMPLEMENT_PUBLISHED(TColumnHeader, RTL_PROP(Color).Default(clBtnFace).Idents(ColorIdentMap()),
                        RTL_PROP(Orientation).Default(hoHorizontal), RTL_PROP(Alignment).Default(taLeftJustify),
                        RTL_PROP(MultiLine).Default(false), RTL_PROP(HideArrow).Default(true))
RTL_IMPLEMENT_PUBLISHED(TColumnFooter, RTL_PROP(Color).Default(clWindow).Idents(ColorIdentMap()),
                        RTL_PROP(Alignment).Default(taLeftJustify), RTL_PROP(FormatMask),
                        RTL_PROP(FormatMaskKind).Default(mkText), RTL_PROP(FormulaKind).Default(fkNone),
                        RTL_PROP(TextAfter), RTL_PROP(TextBefore))
RTL_IMPLEMENT_PUBLISHED(TNxSlideBounds, RTL_PROP(Left).Default(8), RTL_PROP(Top).Default(8),
                        RTL_PROP(Height).Default(16), RTL_PROP(Width).Default(80))
RTL_IMPLEMENT_PUBLISHED(TNxCustomColumn, RTL_PROP(Alignment).Default(taLeftJustify),
                        RTL_PROP(AutoEdit).Default(false), RTL_PROP(BiDiMode).Default(bdLeftToRight),
                        RTL_PROP(Color).Default(clWindow).Idents(ColorIdentMap()),
                        RTL_PROP(Cursor).Default(crDefault).Idents(CursorIdentMap()), RTL_PROP(DefaultValue),
                        RTL_PROP(DefaultWidth).Default(80), RTL_PROP(DrawingOptions).Default(doNormal),
                        RTL_PROP(Enabled).Default(true), RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(Footer), RTL_PROP(Header), RTL_PROP(InplaceEdit), RTL_PROP(InputCaption),
                        RTL_PROP(InputValue), RTL_PROP(MinWidth).Default(8), RTL_PROP(ObjectReference),
                        RTL_PROP(Options).Default(kDefaultColumnOptions), RTL_PROP(Padding).Default(0),
                        RTL_PROP(ParentFont).Default(true), RTL_PROP(ParentCellColor).Default(false),
                        RTL_PROP(Position).Default(-1), RTL_PROP(SlideAnchors).Default(TAnchors{akLeft, akTop}),
                        RTL_PROP(SlideBounds), RTL_PROP(SlideCaption),
                        RTL_PROP(SlideCaptionLocation).Default(clTop), RTL_PROP(SlideOptions).Default(TSlideOptions{}),
                        RTL_PROP(Sorted).Default(false), RTL_PROP(SortKind).Default(skAscending),
                        RTL_PROP(SortType), RTL_PROP(StyleClass),
                        RTL_PROP(VerticalAlignment).Default(taVerticalCenter), RTL_PROP(Visible).Default(true),
                        RTL_PROP(Width).Default(80), RTL_PROP(WrapKind).Default(wkEllipsis),
                        RTL_EVENT(OnGetDrawText))

// ---- Editor classes ---------------------------------------------------------------------

namespace {

std::mutex gEditorLock;

std::map<AnsiString, TClass>& EditorClasses() {
  static auto* classes = new std::map<AnsiString, TClass>;  // outlives the columns of static forms
  return *classes;
}

}  // namespace

void RegisterColumnEditorClass(const AnsiString& Name, TClass EditorClass) {
  std::lock_guard<std::mutex> lock(gEditorLock);
  EditorClasses()[UpperCase(Name)] = EditorClass;
}

void UnregisterColumnEditorClass(const AnsiString& Name) {
  std::lock_guard<std::mutex> lock(gEditorLock);
  EditorClasses().erase(UpperCase(Name));
}

TClass FindColumnEditorClass(const AnsiString& Name) {
  std::lock_guard<std::mutex> lock(gEditorLock);
  auto it = EditorClasses().find(UpperCase(Name));
  return it == EditorClasses().end() ? nullptr : it->second;
}

// ---- TColumnPart ------------------------------------------------------------------------

TColumnPart::TColumnPart(TNxCustomColumn* Column, TColor DefaultColor)
    : FColumn(Column), FColor(DefaultColor), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->OnChange = TNotifyEvent(this, &TColumnPart::GlyphChanged);
}

TColumnPart::~TColumnPart() = default;

void TColumnPart::DoChange() {
  if (OnChange) OnChange(this);
}

void TColumnPart::Refresh(Integer Area) {
  if (FColumn) FColumn->RefreshArea(Area);
}

void TColumnPart::GlyphChanged(TObject*) {
  // The bottom-left pixel is the glyph's background.
  if (!FGlyph->Empty()) {
    FGlyph->OnChange = nullptr;
    FGlyph->SetTransparentColor(FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1));
    FGlyph->SetTransparent(true);
    FGlyph->OnChange = TNotifyEvent(this, &TColumnPart::GlyphChanged);
  }
  DoChange();
}

void TColumnPart::SetCaption(const WideString& Value) {
  FCaption = Value;
  Refresh(raAll);
}

void TColumnPart::SetColor(TColor Value) {
  FColor = Value;
  Refresh(raAll);
}

void TColumnPart::SetDisplayMode(TDisplayMode Value) {
  FDisplayMode = Value;
  DoChange();
}

void TColumnPart::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TColumnPart::SetDrawingOptions(TDrawingOptions Value) {
  FDrawingOptions = Value;
  DoChange();
}

void TColumnPart::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TColumnPart*>(Source);
  if (!Src) return inherited::Assign(Source);
  SetCaption(Src->Caption());
  SetColor(Src->Color());
  SetDisplayMode(Src->DisplayMode());
  SetGlyph(Src->Glyph());
}

// ---- TColumnHeader ------------------------------------------------------------------------

TColumnHeader::TColumnHeader(TNxCustomColumn* Column) : TColumnPart(Column, clBtnFace) {}

void TColumnHeader::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TColumnHeader*>(Source);
  if (!Src) return inherited::Assign(Source);
  SetAlignment(Src->Alignment());
  SetCaption(Src->Caption());
  SetColor(Src->Color());
  SetDisplayMode(Src->DisplayMode());
  SetGlyph(Src->Glyph());
  SetHint(Src->Hint());
  SetMultiLine(Src->MultiLine());
  SetOrientation(Src->Orientation());
}

void TColumnHeader::SetOrientation(THeaderOrientation Value) {
  FOrientation = Value;
  Refresh(raHeader);
}

void TColumnHeader::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Refresh(raHeader);
}

void TColumnHeader::SetMultiLine(bool Value) {
  FMultiLine = Value;
  Refresh(raHeader);
}

void TColumnHeader::SetHideArrow(bool Value) {
  FHideArrow = Value;
  Refresh(raHeader);
}

// ---- TColumnFooter ------------------------------------------------------------------------

TColumnFooter::TColumnFooter(TNxCustomColumn* Column) : TColumnPart(Column, clWindow) {}

void TColumnFooter::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TColumnFooter*>(Source);
  if (!Src) return inherited::Assign(Source);
  SetAlignment(Src->Alignment());
  SetDrawingOptions(Src->DrawingOptions());
  SetFormulaKind(Src->FormulaKind());
  SetFormatMask(Src->FormatMask());
  SetTextAfter(Src->TextAfter());
  SetTextBefore(Src->TextBefore());
}

void TColumnFooter::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Refresh(raFooter);
}

void TColumnFooter::SetFormatMask(const AnsiString& Value) {
  FFormatMask = Value;
  DoChange();
}

void TColumnFooter::SetFormatMaskKind(TFormatMaskKind Value) {
  FFormatMaskKind = Value;
  DoChange();
}

void TColumnFooter::SetFormulaKind(TFormulaKind Value) {
  FFormulaKind = Value;
  DoChange();
}

void TColumnFooter::SetFormulaValue(double Value) {
  FFormulaValue = Value;
  DoChange();
}

void TColumnFooter::SetTextAfter(const WideString& Value) {
  FTextAfter = Value;
  DoChange();
}

void TColumnFooter::SetTextBefore(const WideString& Value) {
  FTextBefore = Value;
  DoChange();
}

// ---- TNxSlideBounds -------------------------------------------------------------------------

void TNxSlideBounds::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TNxSlideBounds*>(Source);
  if (!Src) return inherited::Assign(Source);
  FLeft = Src->FLeft;
  FTop = Src->FTop;
  FHeight = Src->FHeight;
  FWidth = Src->FWidth;
}

void TNxSlideBounds::SetLeft(Integer Value) {
  FLeft = Value;
  if (FColumn) FColumn->Changed(ckSlideLayout);
}

void TNxSlideBounds::SetTop(Integer Value) {
  FTop = Value;
  if (FColumn) FColumn->Changed(ckSlideLayout);
}

void TNxSlideBounds::SetHeight(Integer Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  if (FColumn) FColumn->Changed(ckSlideLayout);
}

void TNxSlideBounds::SetWidth(Integer Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  if (FColumn) FColumn->Changed(ckSlideLayout);
}

// ---- TNxCustomColumn: life -------------------------------------------------------------------

TNxCustomColumn::TNxCustomColumn(TComponent* AOwner)
    : TComponent(AOwner),
      FFont(std::make_unique<TFont>()),
      FFooter(std::make_unique<TColumnFooter>(this)),
      FHeader(std::make_unique<TColumnHeader>(this)),
      FSlideBounds(std::make_unique<TNxSlideBounds>(this)) {
  FFont->OnChange = TNotifyEvent(this, &TNxCustomColumn::FontChanged);
  FFooter->OnChange = TNotifyEvent(this, &TNxCustomColumn::PartChanged);
  FHeader->OnChange = TNotifyEvent(this, &TNxCustomColumn::PartChanged);
  SetCellKind(ckString);
}

TNxCustomColumn::~TNxCustomColumn() {
  if (FColumns) FColumns->Remove(this);
  if (FInplaceEdit) FInplaceEdit->RemoveFreeNotification(this);
  FFont->OnChange = nullptr;
  FFooter->OnChange = nullptr;
  FHeader->OnChange = nullptr;
}

void TNxCustomColumn::CreateElements() {
  TClass DisplayClass = GetDisplayClass();
  if (DisplayClass && (!FDisplay || FDisplay->ClassType() != DisplayClass))
    FDisplay.reset(dynamic_cast<TVirtualColElement*>(CreateInstance(DisplayClass, this)));
  TClass PlayClass = GetPlayClass();
  if (PlayClass && (!FPlay || FPlay->ClassType() != PlayClass))
    FPlay.reset(dynamic_cast<TVirtualColElement*>(CreateInstance(PlayClass, this)));
  TClass EditorClass = GetEditorClass();
  if (EditorClass && (!FEditor || FEditor->ClassType() != EditorClass)) {
    delete FEditor;
    FEditor = dynamic_cast<TComponent*>(CreateInstance(EditorClass, this));
    if (auto* Control = dynamic_cast<TControl*>(FEditor)) Control->SetVisible(false);
  }
}

void TNxCustomColumn::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FInplaceEdit) FInplaceEdit = nullptr;
  if (AComponent == FEditor) FEditor = nullptr;
}

TNxColumnsGrid* TNxCustomColumn::Grid() const { return FColumns ? FColumns->Grid() : nullptr; }

bool TNxCustomColumn::CollectionLoading() const {
  return ComponentState().Contains(csLoading) || ComponentState().Contains(csReading) ||
         (FColumns && FColumns->IsLoading());
}

TComponent* TNxCustomColumn::GetParentComponent() const { return FColumns ? FColumns->Owner() : nullptr; }

void TNxCustomColumn::SetParentComponent(TComponent* Value) {
  if (auto* G = dynamic_cast<TNxColumnsGrid*>(Value); G && G->GridColumns()) G->GridColumns()->AppendLoading(this);
}

void TNxCustomColumn::ReadState(TReader* Reader) {
  inherited::ReadState(Reader);
  if (FColumns && dynamic_cast<TNxColumnsGrid*>(Reader->Parent())) {
    TNxColumns* Collection = FColumns;
    Collection->InsertLoaded(this);
    Collection->UpdatePositions(false);
  }
}

// ---- Change reporting ---------------------------------------------------------------------------

void TNxCustomColumn::Changed(Integer Kind, Integer Value) {
  if (FColumns) FColumns->ColumnChanged(this, Kind, Value);
}

void TNxCustomColumn::RefreshArea(Integer Area) {
  if (FColumns) FColumns->RefreshColumn(this, Area);
}

void TNxCustomColumn::FontChanged(TObject*) {
  if (!FFontGuard) FParentFont = false;
  Changed(ckAppearance);
}

void TNxCustomColumn::PartChanged(TObject*) { Changed(ckAppearance); }

// ---- Class operations ---------------------------------------------------------------------------

TClass TNxCustomColumn::GetEditorClass() const { return nullptr; }
TClass TNxCustomColumn::GetDisplayClass() const { return nullptr; }
TClass TNxCustomColumn::GetPlayClass() const { return nullptr; }

Byte TNxCustomColumn::GetEditAbilities() const {
  // The own-editor flag counts only once the editor exists: its class is
  // registered by the editors' units, which may be absent.
  if (!FEnabled || !(((GetColumnFlags() & cfOwnEditor) && FEditor) || FInplaceEdit)) return 0;
  Byte Result = 0;
  if (FOptions.Contains(coEditing)) Result |= eaEditing;
  if (FOptions.Contains(coCanInput)) Result |= eaInput;
  return Result;
}

Byte TNxCustomColumn::GetColumnFlags() const { return 0; }

void TNxCustomColumn::SetCellKind(TCellKind Kind) { FCellKind = Kind; }

Integer TNxCustomColumn::GetTextWidth(const WideString& Text) const {
  TNxColumnsGrid* G = Grid();
  TCanvas* Canvas = G ? G->GridCanvas() : nullptr;
  Integer W = Canvas ? Canvas->TextWidth(WideToAnsi(Text)) + 6 : 0;
  return Max(W, 8);
}

Byte TNxCustomColumn::GetTextOptions() const { return 0; }

void TNxCustomColumn::GetDrawText(const TCellInfo& Info, WideString& Text) {
  Text = Info.AsString;
  if (OnGetDrawText) OnGetDrawText(this, Text);
}

void TNxCustomColumn::GetFitHintText(const TCellInfo& Info, WideString& Text) { GetDrawText(Info, Text); }
void TNxCustomColumn::GetInputDisplayText(WideString& Text) { Text = FInputValue; }
void TNxCustomColumn::GetInputValue(WideString& Text) { Text = FInputValue; }
bool TNxCustomColumn::IsValidEditKey(WideChar) const { return false; }
void TNxCustomColumn::AdjustEditorRect(Integer, TRect&) {}
void TNxCustomColumn::PrepareEditText(WideString&) {}

void TNxCustomColumn::SetEditorProp(const AnsiString& Name, Int64 Value) {
  if (!FEditor) return;
  if (PPropInfo Info = GetPropInfo(FEditor, Name)) SetOrdProp(FEditor, Info, Value);
}

void TNxCustomColumn::SetEditorWideProp(const AnsiString& Name, const WideString& Value) {
  if (!FEditor) return;
  if (PPropInfo Info = GetPropInfo(FEditor, Name)) SetWideStrProp(FEditor, Info, Value);
}

void TNxCustomColumn::PrepareEditor() {
  // The editor sits inside the cell: no border, a one-pixel margin.
  SetEditorProp("Alignment", FAlignment);
  SetEditorProp("BorderStyle", bsNone);
  SetEditorProp("BorderWidth", 0);
  SetEditorProp("LeftMargin", 1);
}

void TNxCustomColumn::EditorTextSet() {}
TCellColumnInfo TNxCustomColumn::CellColumnInfo() const {
  TCellColumnInfo Info;
  Info.Kind = FCellKind;
  Info.FontStyle = FFont->Style();
  Info.FontColor = FFont->Color();
  Info.Color = FColor;
  Info.Column = const_cast<TNxCustomColumn*>(this);
  return Info;
}

WideString TNxCustomColumn::GetVirtualCellText(Integer) { return {}; }
void TNxCustomColumn::SetVirtualCellText(Integer, const WideString&) {}

// ---- Assign ---------------------------------------------------------------------------------------

void TNxCustomColumn::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TNxCustomColumn*>(Source);
  if (!Src) return inherited::Assign(Source);
  SetAlignment(Src->Alignment());
  SetAutoEdit(Src->AutoEdit());
  SetColor(Src->Color());
  SetCursor(Src->Cursor());
  SetDefaultValue(Src->DefaultValue());
  SetDrawingOptions(Src->DrawingOptions());
  SetFont(Src->Font());
  SetFooter(Src->Footer());
  SetHeader(Src->Header());
  SetInputCaption(Src->InputCaption());
  SetInputValue(Src->InputValue());
  SetOptions(Src->Options());
  SetParentFont(Src->ParentFont());
  SetPosition(Src->Position());
  SetSlideBounds(Src->SlideBounds());
  SetSorted(Src->Sorted());
  SetSortKind(Src->SortKind());
  SetVerticalAlignment(Src->VerticalAlignment());
  SetVisible(Src->Visible());
  SetWidth(Src->Width());
  SetWrapKind(Src->WrapKind());
}

// ---- Geometry and neighbours -------------------------------------------------------------------------

Integer TNxCustomColumn::GetDrawLeft() const {
  TNxColumnsGrid* G = Grid();
  if (!G || (FColumns && FPosition < FColumns->FixedCols())) return FLeft;
  return FLeft - G->GridHorzScrollPos();
}

Integer TNxCustomColumn::Index() const { return FColumns ? FColumns->IndexOf(this) : -1; }
bool TNxCustomColumn::IsFirstVisible() const { return FColumns && FColumns->IsFirstVisibleColumn(this); }
bool TNxCustomColumn::IsLastVisible() const { return FColumns && FColumns->IsLastVisibleColumn(this); }
TNxCustomColumn* TNxCustomColumn::NextVisibleColumn() { return FColumns ? FColumns->NextVisibleColumn(this) : this; }
TNxCustomColumn* TNxCustomColumn::PriorVisibleColumn() {
  return FColumns ? FColumns->PriorVisibleColumn(this) : this;
}
bool TNxCustomColumn::IsPressed() const { return Grid() && Grid()->GridPressedColumn() == this; }
bool TNxCustomColumn::IsHot() const { return Grid() && Grid()->GridHotColumn() == this; }
bool TNxCustomColumn::IsSelected() const { return Grid() && Index() == Grid()->GridSelectedColumn(); }
bool TNxCustomColumn::IsOnlyVisible() const { return FColumns && FColumns->VisibleCount() == 1; }

Integer TNxCustomColumn::GetEdgeKind() const {
  if (!FColumns || FColumns->VisibleCount() == 1) return 0;
  if (FVisibleIndex == 0) return 1;
  if (FVisibleIndex == FColumns->VisibleCount() - 1) return 3;
  return 2;
}

TRect TNxCustomColumn::GetSlideRect() const {
  return Bounds(FSlideBounds->Left(), FSlideBounds->Top(), FSlideBounds->Width(), FSlideBounds->Height());
}

void TNxCustomColumn::GetPartRect(Integer Area, TRect& Rect) const {
  TNxColumnsGrid* G = Grid();
  if (!G) return;
  TRect R;
  switch (Area) {
    case 0: {
      TRect F = G->GridFooterRect();
      R.Top = F.Top + 4;
      R.Bottom = F.Bottom;
      break;
    }
    case 1: R.Bottom = G->GridHeaderRect().Height(); break;
    case 4: {
      TRect I = G->GridInputLineRect();
      R.Top = I.Top;
      R.Bottom = I.Bottom - 6;
      break;
    }
    default: return;
  }
  R.Left = GetDrawLeft();
  R.Right = R.Left + FWidth;
  Rect = R;
}

// ---- Setters ---------------------------------------------------------------------------------------

void TNxCustomColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetBiDiMode(TBiDiMode Value) {
  FBiDiMode = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetColor(TColor Value) {
  FColor = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetCursor(TCursor Value) {
  FCursor = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetDrawingOptions(TDrawingOptions Value) {
  FDrawingOptions = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetFont(TFont* Value) {
  if (!Value) return;
  FFont->Assign(Value);
  Changed(ckAppearance);
}

void TNxCustomColumn::SetFooter(TColumnFooter* Value) {
  FFooter->Assign(Value);
  Changed(ckAppearance);
}

void TNxCustomColumn::SetHeader(TColumnHeader* Value) {
  FHeader->Assign(Value);
  Changed(ckAppearance);
}

void TNxCustomColumn::SetSlideBounds(TNxSlideBounds* Value) {
  FSlideBounds->Assign(Value);
  Changed(ckAppearance);
}

void TNxCustomColumn::SetInplaceEdit(TComponent* Value) {
  if (FInplaceEdit == Value) return;
  if (FInplaceEdit) FInplaceEdit->RemoveFreeNotification(this);
  FInplaceEdit = Value;
  if (FInplaceEdit) FInplaceEdit->FreeNotification(this);
}

void TNxCustomColumn::SetInputCaption(const WideString& Value) {
  FInputCaption = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetInputValue(const WideString& Value) {
  FInputValue = Value;
  Changed(ckInputValue);
}

void TNxCustomColumn::SetOptions(TColumnOptions Value) {
  if (Value.Contains(coSearchColumn) && !FOptions.Contains(coSearchColumn) && FColumns) {
    // One search column per grid.
    for (Integer i = 0; i < FColumns->Count(); ++i) {
      TNxCustomColumn* Other = FColumns->Items(i);
      if (Other != this && Other->Options().Contains(coSearchColumn))
        Other->SetOptions(Other->Options() - coSearchColumn);
    }
  }
  bool WasAuto = FOptions.Contains(coAutoSize);
  FOptions = Value;
  if (FColumns && !CollectionLoading() && !(WasAuto && Value.Contains(coAutoSize)))
    FColumns->AutoSizeColumns(this, true);
  Changed(ckAppearance);
}

void TNxCustomColumn::SetPadding(Integer Value) {
  FPadding = Value;
  RefreshArea(raBody);
}

void TNxCustomColumn::SetParentFont(bool Value) {
  FParentFont = Value;
  TNxColumnsGrid* G = Grid();
  if (Value && G && G->GridFont()) {
    FFontGuard = true;
    TScopeExit Done([&] { FFontGuard = false; });
    FFont->Assign(G->GridFont());
  }
}

void TNxCustomColumn::SetParentCellColor(bool Value) {
  FParentCellColor = Value;
  RefreshArea(raBody);
}

void TNxCustomColumn::SetPosition(Integer Value) {
  if (FColumns && !CollectionLoading()) {
    // A place outside the list (an unplaced column's -1 among them) moves
    // nothing and keeps the column's real place.
    if (Value < 0 || Value >= FColumns->Count() || Value == FPosition) return;
    Integer Old = FPosition;
    FColumns->Move(Old, Value);
    Changed(ckMoved, Old);
  }
  FPosition = Value;
}

void TNxCustomColumn::SetSlideCaption(const AnsiString& Value) {
  FSlideCaption = Value;
  RefreshArea(raAll);
}

void TNxCustomColumn::SetSlideCaptionLocation(TSlideCatpionLocation Value) {
  FSlideCaptionLocation = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetSlideOptions(TSlideOptions Value) {
  FSlideOptions = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetSorted(bool Value) {
  if (GetColumnFlags() & cfCannotSort) return;
  if (Value == FSorted) return;
  if (Value) {
    if (FColumns)
      for (Integer i = 0; i < FColumns->Count(); ++i)
        if (TNxCustomColumn* Other = FColumns->Items(i); Other != this && Other->Sorted()) Other->SetSorted(false);
    FSorted = true;
    Changed(ckSortedOn);
  } else {
    FSorted = false;
    Changed(ckSortedOff);
  }
}

void TNxCustomColumn::SetSortKind(TSortKind Value) {
  FSortKind = Value;
  Changed(ckSortSettings);
}

void TNxCustomColumn::SetSortType(TSortType Value) {
  FSortType = Value;
  Changed(ckSortSettings);
}

void TNxCustomColumn::SetVerticalAlignment(TVerticalAlignment Value) {
  FVerticalAlignment = Value;
  Changed(ckAppearance);
}

void TNxCustomColumn::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed(ckVisibility);
  if (FColumns && !CollectionLoading()) {
    FColumns->UpdatePositions(false);
    FColumns->AutoSizeColumns(nullptr, false);
  }
}

void TNxCustomColumn::SetClampedWidth(Integer Value) {
  FRequestedWidth = Value;
  Integer Old = FWidth;
  FWidth = Max(Value, FMinWidth);
  if (FColumns && !CollectionLoading()) FColumns->UpdatePositions(false);
  Changed(ckWidth, FWidth - Old);
}

void TNxCustomColumn::SetWidth(Integer Value) {
  SetClampedWidth(Value);
  if (FColumns) {
    FColumns->AutoSizeColumns(this, false);
    if (ComponentState().Contains(csDesigning)) FDefaultWidth = FWidth;
  }
}

void TNxCustomColumn::SetWrapKind(TWrapKind Value) {
  FWrapKind = Value;
  RefreshArea(raBody);
}
