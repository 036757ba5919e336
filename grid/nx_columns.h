// A grid's columns: what the grid needs to lay out, paint, edit and sort
// one column, its header and footer parts and its place in a slide. The
// column classes themselves are in nx_column_classes.h, the collection in
// nx_column_collection.h, the display elements in nx_displays.h.
#pragma once

#include <memory>

#include "grid/nx_cells.h"
#include "grid/nx_classes.h"
#include "platform/forms/controls.h"

class TBitmap;
class TCanvas;
class TFont;
class TNxColumns;
class TNxCustomColumn;
class TVirtualColElement;

// The value of one cell in every form the columns may need; the grid fills
// it from a cell by the column's cell kind.
struct TCellInfo {
  bool AsBoolean = false;
  TDateTime AsDateTime = 0;
  double AsFloat = 0;
  Integer AsInteger = 0;
  WideString AsString;
  void* ObjectReference = nullptr;
};

RTL_ENUM(TColumnOption, coAutoSize, coCanClick, coCanInput, coCanSort, coDisableMoving, coDontHighlight, coEditing,
         coEditorAutoSelect, coFixedSize, coImageForIcon, coPublicUsing, coFullResort, coSearchColumn,
         coShowTextFitHint, coTextForCaption)
using TColumnOptions = TSet<TColumnOption, 16>;
constexpr TColumnOptions kDefaultColumnOptions{coCanClick, coCanInput, coCanSort, coPublicUsing};

RTL_ENUM(TDisplayMode, dmImageOnly, dmTextAndImage, dmTextOnly)
RTL_ENUM(THeaderOrientation, hoHorizontal, hoVertical)
RTL_ENUM(TFormatMaskKind, mkText, mkFloat)
RTL_ENUM(TFormulaKind, fkNone, fkAverage, fkCount, fkDistinct, fkMaximum, fkMinimum, fkSum, fkCustom)
RTL_ENUM(TSlideCatpionLocation, clLeft, clTop)
RTL_ENUM(TSlideOption, soAutoSize)
using TSlideOptions = TSet<TSlideOption, 8>;

// Column change kinds (Changed) and repaint areas (RefreshArea).
constexpr Integer ckInputValue = 1, ckMoved = 2, ckSlideLayout = 4, ckSortedOn = 5, ckSortSettings = 6,
                  ckAppearance = 7, ckVisibility = 8, ckSortedOff = 9, ckWidth = 10;
constexpr Integer raAll = 0, raBody = 1, raFooter = 2, raHeader = 3;

// Behaviour flags of GetColumnFlags.
constexpr Byte cfPlayWithoutEditing = 1, cfOwnEditor = 2, cfCannotSort = 4, cfFitOnBorderClick = 8,
               cfRedrawEditor = 16, cfKeepsEnter = 64;

// Edit abilities of GetEditAbilities.
constexpr Byte eaEditing = 1, eaInput = 2;

// Text options of GetTextOptions.
constexpr Byte toMultiLine = 1;

using TColumnGetTextEvent = TClosure<void(TObject* Sender, WideString& Text)>;

// What the columns and their collection ask of the grid that holds them.
class TNxColumnsGrid {
 public:
  virtual TNxColumns* GridColumns() const = 0;
  // The grid is being read from its form description.
  virtual bool GridLoading() const = 0;
  virtual bool GridDestroying() const = 0;
  virtual bool GridDesigning() const = 0;
  // The width the auto-sized columns share (the client width, less the
  // indicator in the report view) and the body's left edge.
  virtual Integer GridUsableWidth() const = 0;
  virtual Integer GridBodyLeft() const = 0;
  virtual bool GridShowIndicator() const = 0;
  virtual Integer GridHorzScrollPos() const = 0;
  virtual TNxCustomColumn* GridPressedColumn() const = 0;
  virtual TNxCustomColumn* GridHotColumn() const = 0;
  virtual Integer GridSelectedColumn() const = 0;
  virtual TFont* GridFont() const = 0;
  virtual TCanvas* GridCanvas() const = 0;
  virtual TRect GridFooterRect() const = 0;
  virtual TRect GridHeaderRect() const = 0;
  virtual TRect GridInputLineRect() const = 0;
  // Repaints the column within one area (raAll ... raHeader).
  virtual void GridRefreshColumn(TNxCustomColumn* Column, Integer Area) = 0;
  // The collection's notification for a change of the indicator, which
  // moves the body's left edge.
  virtual void GridSetIndicatorChange(const TNotifyEvent& OnChange) = 0;

 protected:
  ~TNxColumnsGrid() = default;
};

// ---- Editor classes ---------------------------------------------------------------------
// The editors' units register their classes here at start-up, so that a
// column can name its editor before the editors are built.

void RegisterColumnEditorClass(const AnsiString& Name, TClass EditorClass);
void UnregisterColumnEditorClass(const AnsiString& Name);
// Null when nothing of that name is registered.
TClass FindColumnEditorClass(const AnsiString& Name);

// ---- Header and footer parts ------------------------------------------------------------

class TColumnPart : public TPersistent {
  RTL_CLASS(TColumnPart, TPersistent)
  TNxCustomColumn* FColumn;
  WideString FCaption;
  TColor FColor;
  TDisplayMode FDisplayMode = dmTextOnly;
  std::unique_ptr<TBitmap> FGlyph;
  WideString FHint;
  TDrawingOptions FDrawingOptions = doNormal;

  void GlyphChanged(TObject* Sender);

 protected:
  void DoChange();
  void Refresh(Integer Area);

 public:
  TColumnPart(TNxCustomColumn* Column, TColor DefaultColor);
  ~TColumnPart() override;
  void Assign(TPersistent* Source) override;

  TNxCustomColumn* Column() const { return FColumn; }
  const WideString& Caption() const { return FCaption; }
  void SetCaption(const WideString& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TDisplayMode DisplayMode() const { return FDisplayMode; }
  void SetDisplayMode(TDisplayMode Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& Value) { FHint = Value; }
  TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
  void SetDrawingOptions(TDrawingOptions Value);

  TNotifyEvent OnChange;
};

class TColumnHeader : public TColumnPart {
  RTL_CLASS(TColumnHeader, TColumnPart)
  THeaderOrientation FOrientation = hoHorizontal;
  TAlignment FAlignment = taLeftJustify;
  bool FMultiLine = false;
  bool FHideArrow = true;

 public:
  explicit TColumnHeader(TNxCustomColumn* Column);
  void Assign(TPersistent* Source) override;

  THeaderOrientation Orientation() const { return FOrientation; }
  void SetOrientation(THeaderOrientation Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  bool HideArrow() const { return FHideArrow; }
  void SetHideArrow(bool Value);
};

class TColumnFooter : public TColumnPart {
  RTL_CLASS(TColumnFooter, TColumnPart)
  TAlignment FAlignment = taLeftJustify;
  AnsiString FFormatMask;
  TFormatMaskKind FFormatMaskKind = mkText;
  TFormulaKind FFormulaKind = fkNone;
  double FFormulaValue = 0;
  WideString FTextAfter, FTextBefore;

 public:
  explicit TColumnFooter(TNxCustomColumn* Column);
  void Assign(TPersistent* Source) override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const AnsiString& FormatMask() const { return FFormatMask; }
  void SetFormatMask(const AnsiString& Value);
  TFormatMaskKind FormatMaskKind() const { return FFormatMaskKind; }
  void SetFormatMaskKind(TFormatMaskKind Value);
  TFormulaKind FormulaKind() const { return FFormulaKind; }
  void SetFormulaKind(TFormulaKind Value);
  double FormulaValue() const { return FFormulaValue; }
  void SetFormulaValue(double Value);
  const WideString& TextAfter() const { return FTextAfter; }
  void SetTextAfter(const WideString& Value);
  const WideString& TextBefore() const { return FTextBefore; }
  void SetTextBefore(const WideString& Value);
};

// The rectangle of the column's cell inside a slide, relative to the
// slide's top-left corner.
class TNxSlideBounds : public TPersistent {
  RTL_CLASS(TNxSlideBounds, TPersistent)
  TNxCustomColumn* FColumn;
  Integer FLeft = 8, FTop = 8, FHeight = 16, FWidth = 80;

 public:
  explicit TNxSlideBounds(TNxCustomColumn* Column) : FColumn(Column) {}
  void Assign(TPersistent* Source) override;

  Integer Left() const { return FLeft; }
  void SetLeft(Integer Value);
  Integer Top() const { return FTop; }
  void SetTop(Integer Value);
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
};

// ---- The column --------------------------------------------------------------------------

class TNxCustomColumn : public TComponent {
  RTL_CLASS(TNxCustomColumn, TComponent)
  friend class TNxColumns;

  TAlignment FAlignment = taLeftJustify;
  bool FAutoEdit = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TColor FColor = clWindow;
  TNxColumns* FColumns = nullptr;
  TCellKind FCellKind = ckString;
  TCursor FCursor = crDefault;
  WideString FDefaultValue;
  Integer FDefaultWidth = 80;
  std::unique_ptr<TVirtualColElement> FDisplay;
  TDrawingOptions FDrawingOptions = doNormal;
  TComponent* FEditor = nullptr;  // owned as one of the column's components
  bool FEnabled = true;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TColumnFooter> FFooter;
  std::unique_ptr<TColumnHeader> FHeader;
  TComponent* FInplaceEdit = nullptr;
  bool FInputEditing = false;
  WideString FInputCaption, FInputValue;
  Integer FLeft = 0;
  TColumnOptions FOptions = kDefaultColumnOptions;
  bool FParentCellColor = false;
  bool FParentFont = true;
  bool FFontGuard = false;
  std::unique_ptr<TVirtualColElement> FPlay;
  Integer FPosition = -1;
  Integer FRequestedWidth = 80;
  std::unique_ptr<TNxSlideBounds> FSlideBounds;
  AnsiString FSlideCaption;
  TSlideCatpionLocation FSlideCaptionLocation = clTop;
  bool FSorted = false;
  TSortKind FSortKind = skAscending;
  TSortType FSortType = stAlphabetic;
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
  bool FVisible = true;
  Integer FVisibleIndex = -1;
  Integer FWidth = 80;
  TWrapKind FWrapKind = wkEllipsis;
  AnsiString FStyleClass;
  Integer FMinWidth = 8;
  Integer FPadding = 0;
  TSlideOptions FSlideOptions;
  TAnchors FSlideAnchors{akLeft, akTop};
  TObject* FObjectReference = nullptr;

  void FontChanged(TObject* Sender);
  void PartChanged(TObject* Sender);
  bool IsFontStored() const { return !FParentFont; }
  TNxColumnsGrid* Grid() const;
  bool CollectionLoading() const;

 protected:
  // The display element and the editor come from the class operations,
  // which a constructor cannot reach in the final class: each concrete
  // class calls this at the end of its constructor.
  void CreateElements();
  // Stores the width through MinWidth and tells the collection.
  void SetClampedWidth(Integer Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader* Reader) override;
  // Sets a published property of the own editor, when it has one.
  void SetEditorProp(const AnsiString& Name, Int64 Value);
  void SetEditorWideProp(const AnsiString& Name, const WideString& Value);

 public:
  explicit TNxCustomColumn(TComponent* AOwner);
  ~TNxCustomColumn() override;

  // ---- Class operations, in their order
  virtual TClass GetEditorClass() const;
  virtual TClass GetDisplayClass() const;
  virtual TClass GetPlayClass() const;
  virtual Byte GetEditAbilities() const;
  virtual Byte GetColumnFlags() const;
  virtual void SetCellKind(TCellKind Kind);
  virtual Integer GetTextWidth(const WideString& Text) const;
  virtual Byte GetTextOptions() const;
  virtual void GetDrawText(const TCellInfo& Info, WideString& Text);
  virtual void GetFitHintText(const TCellInfo& Info, WideString& Text);
  virtual void GetInputDisplayText(WideString& Text);
  virtual void GetInputValue(WideString& Text);
  virtual bool IsValidEditKey(WideChar Key) const;
  virtual void AdjustEditorRect(Integer Level, TRect& Rect);
  virtual void PrepareEditText(WideString& Text);
  virtual void PrepareEditor();
  virtual void EditorTextSet();
  // What the cell store copies into the column's new cells.
  TCellColumnInfo CellColumnInfo() const;
  // The text of a virtual cell: the base keeps none.
  virtual WideString GetVirtualCellText(Integer ARow);
  virtual void SetVirtualCellText(Integer ARow, const WideString& Value);

  void Assign(TPersistent* Source) override;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;

  // ---- Used by the grid and the header painters
  Integer GetDrawLeft() const;
  Integer Index() const;
  bool IsFirstVisible() const;
  bool IsLastVisible() const;
  TNxCustomColumn* NextVisibleColumn();
  TNxCustomColumn* PriorVisibleColumn();
  bool IsPressed() const;
  bool IsHot() const;
  bool IsSelected() const;
  bool IsOnlyVisible() const;
  Integer GetEdgeKind() const;
  TRect GetSlideRect() const;
  void GetPartRect(Integer Area, TRect& Rect) const;
  void Changed(Integer Kind, Integer Value = 0);
  void RefreshArea(Integer Area);

  // ---- State kept by the grid and the collection
  TNxColumns* Columns() const { return FColumns; }
  TCellKind CellKind() const { return FCellKind; }
  TVirtualColElement* Display() const { return FDisplay.get(); }
  TVirtualColElement* Play() const { return FPlay.get(); }
  TComponent* Editor() const { return FEditor; }
  Integer Left() const { return FLeft; }
  Integer VisibleIndex() const { return FVisibleIndex; }
  Integer RequestedWidth() const { return FRequestedWidth; }
  bool InputEditing() const { return FInputEditing; }
  void SetInputEditing(bool Value) { FInputEditing = Value; }

  // ---- Published properties
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const WideString& DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(const WideString& Value) { FDefaultValue = Value; }
  Integer DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(Integer Value) { FDefaultWidth = Value; }
  TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
  void SetDrawingOptions(TDrawingOptions Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  TColumnFooter* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooter* Value);
  TColumnHeader* Header() const { return FHeader.get(); }
  void SetHeader(TColumnHeader* Value);
  TComponent* InplaceEdit() const { return FInplaceEdit; }
  void SetInplaceEdit(TComponent* Value);
  const WideString& InputCaption() const { return FInputCaption; }
  void SetInputCaption(const WideString& Value);
  const WideString& InputValue() const { return FInputValue; }
  void SetInputValue(const WideString& Value);
  Integer MinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value) { FMinWidth = Value; }
  TObject* ObjectReference() const { return FObjectReference; }
  void SetObjectReference(TObject* Value) { FObjectReference = Value; }
  TColumnOptions Options() const { return FOptions; }
  void SetOptions(TColumnOptions Value);
  Integer Padding() const { return FPadding; }
  void SetPadding(Integer Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  bool ParentCellColor() const { return FParentCellColor; }
  void SetParentCellColor(bool Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value);
  TAnchors SlideAnchors() const { return FSlideAnchors; }
  void SetSlideAnchors(TAnchors Value) { FSlideAnchors = Value; }
  TNxSlideBounds* SlideBounds() const { return FSlideBounds.get(); }
  void SetSlideBounds(TNxSlideBounds* Value);
  const AnsiString& SlideCaption() const { return FSlideCaption; }
  void SetSlideCaption(const AnsiString& Value);
  TSlideCatpionLocation SlideCaptionLocation() const { return FSlideCaptionLocation; }
  void SetSlideCaptionLocation(TSlideCatpionLocation Value);
  TSlideOptions SlideOptions() const { return FSlideOptions; }
  void SetSlideOptions(TSlideOptions Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TSortKind SortKind() const { return FSortKind; }
  void SetSortKind(TSortKind Value);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  const AnsiString& StyleClass() const { return FStyleClass; }
  void SetStyleClass(const AnsiString& Value) { FStyleClass = Value; }
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TWrapKind WrapKind() const { return FWrapKind; }
  void SetWrapKind(TWrapKind Value);

  TColumnGetTextEvent OnGetDrawText;
};
