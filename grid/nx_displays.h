// The display elements that paint and measure a column's cells. The grid
// loads a cell's value, the canvas, the rectangle and a few row facts into
// the column's element and asks it to paint.
#pragma once

#include "grid/nx_columns.h"

class TCanvas;

class TVirtualColElement : public TPersistent {
  RTL_CLASS(TVirtualColElement, TPersistent)
  TNxCustomColumn* FColumn;

 public:
  using TConstructArg = TNxCustomColumn;
  explicit TVirtualColElement(TNxCustomColumn* Column) : FColumn(Column) {}

  TNxCustomColumn* Column() const { return FColumn; }

  // The cell's value as loaded for the column's cell kind.
  bool AsBoolean = false;
  TDateTime AsDateTime = 0;
  double AsFloat = 0;
  Integer AsInteger = 0;
  WideString AsString;
  TCanvas* Canvas = nullptr;
  TRect CellRect;
  void* ObjectReference = nullptr;
  HWND Handle = nullptr;
};

using TTreeLinkEvent = TClosure<void(TObject* Sender, Integer ARow)>;

class TColumnDisplay : public TVirtualColElement {
  RTL_CLASS(TColumnDisplay, TVirtualColElement)

 public:
  using TVirtualColElement::TVirtualColElement;

  Integer ChildCount = 0;
  bool Expanded = false;
  TColor HighlightedTextColor = clHighlightText;
  Integer RowTag = -1;
  bool LastSibling = false;
  Integer Level = 0;
  TTreeLinkEvent OnTreeLink;
  Integer Row = -1;
  bool SelectedCell = false;
  bool FirstVisibleRow = false;

  // The cell rectangle less 2 pixels on the left and the right.
  virtual void GetContentRect(TRect& Rect);
  virtual void DrawText(const WideString& Text, const TRect& Rect);
  // A small red triangle in the top right corner.
  virtual void DrawHintMark();
  virtual Integer GetContentWidth();
  // What the text needs, measured without ellipsis.
  virtual void MeasureContent(TSize& Size);
  virtual void Paint() = 0;

  // The DrawTextEx flags of the column for Text in Rect; for wrapped or
  // multi-line text that is not top-aligned, Rect's top is placed by hand.
  void GetTextFormat(const WideString& Text, TRect& Rect, bool AllowEllipsis, UINT& Flags);
};

// The element an interactive column could own; no column class makes one.
class TColumnPlay : public TVirtualColElement {
  RTL_CLASS(TColumnPlay, TVirtualColElement)

 public:
  using TVirtualColElement::TVirtualColElement;

  Integer ColumnIndex = -1;
  Integer Row = -1;
  TNotifyEvent OnChange;
  TNotifyEvent OnClick;

  virtual void KeyDown(Word Key) { (void)Key; }
  virtual void MouseDown(Integer X, Integer Y) { (void)X, (void)Y; }
  virtual void MouseMove(Integer X, Integer Y) { (void)X, (void)Y; }
  virtual void MouseUp(Integer X, Integer Y) { (void)X, (void)Y; }
  virtual void MouseLeave() {}
  // Hands its value to the column's display element, which paints.
  virtual void Paint();

 protected:
  void DoChange();
  void DoClick();
};

class TTextColumnDisplay : public TColumnDisplay {
  RTL_CLASS(TTextColumnDisplay, TColumnDisplay)

 public:
  using TColumnDisplay::TColumnDisplay;
  void Paint() override;
};

class TImageColumnDisplay : public TColumnDisplay {
  RTL_CLASS(TImageColumnDisplay, TColumnDisplay)

 public:
  using TColumnDisplay::TColumnDisplay;
  Integer GetContentWidth() override;
  void Paint() override;
};

class TDateColumnDisplay : public TColumnDisplay {
  RTL_CLASS(TDateColumnDisplay, TColumnDisplay)

 public:
  using TColumnDisplay::TColumnDisplay;
  void Paint() override;
};
