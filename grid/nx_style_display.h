// The header style painters: everything of the grid outside its body cells
// (column headers, footer cells, input-line cells, the indicator column,
// the separator bands and the empty header strip), one class per header
// style. A painter owns nothing and keeps nothing between calls: the grid
// sets its canvas, Themed, the theme handle and the two callbacks before
// use, and the painter reads the column and the grid's colour.
#pragma once

#include "grid/nx_classes.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/object.h"
#include "platform/win/kernel/windef.h"

class TCanvas;
class TCustomControl;
class TNxCustomColumn;

// (Sender, column Index, Rect): Sender is the painter.
using TStyleCustomDrawEvent = TClosure<void(TObject* Sender, Integer Index, const TRect& Rect)>;

// Capability bits of GetCapabilities.
constexpr Byte scHotTracking = 1, scInvertPressed = 2, scOwnSortMark = 4;

class TStyleDisplay : public TPersistent {
  RTL_CLASS(TStyleDisplay, TPersistent)
  TCustomControl* FGrid;

 public:
  // Created through the class reference with the grid as argument.
  using TConstructArg = TCustomControl;
  explicit TStyleDisplay(TCustomControl* Grid);

  TCanvas* Canvas = nullptr;
  bool ShowSortArrow = true;
  // Set by the grid from IsThemed before each paint.
  bool Themed = false;
  // The grid's theme data of the class "header"; a themed call with none
  // draws nothing.
  HTHEME ThemeHandle = nullptr;
  TStyleCustomDrawEvent CustomDrawFooter;
  TStyleCustomDrawEvent CustomDrawHeader;

  TCustomControl* Grid() const { return FGrid; }

  virtual Byte GetCapabilities() const;
  virtual void AdjustCaptionRect(TRect& Rect);
  virtual void DrawSortArrow(Integer X, Integer Y, bool Ascending);
  virtual void DrawFooterContent(TNxCustomColumn* Column, const TRect& Rect);
  virtual void DrawHeaderContent(TNxCustomColumn* Column, const TRect& Rect);
  virtual void DrawBand(const TRect& Rect);
  // Kind 0 beside the header or the input line, 1 beside the footer.
  virtual void DrawIndicatorCorner(const TRect& Rect, Integer Kind);
  virtual void DrawFooter(TNxCustomColumn* Column, const TRect& Rect, bool GridLines);
  virtual void DrawHeader(TNxCustomColumn* Column, const TRect& Rect);
  virtual void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect);
  virtual void DrawIndicatorBackground(const TRect& Rect, Integer Index, bool Current, bool Highlighted);
  virtual void DrawIndicatorGlyph(const TRect& Rect, bool Current, bool Highlighted);
  virtual void DrawInputCell(TNxCustomColumn* Column, const TRect& Rect, bool GridLines, bool Active, bool Focused);
  virtual void DrawEmptyHeader(const TRect& Rect);

  // The width the header's content needs, measured with the canvas's font.
  Integer MeasureHeaderWidth(TNxCustomColumn* Column);
  void DrawCaption(TCanvas* ACanvas, const TRect& Rect, bool MultiLine, const WideString& Text);
  // The bottom row and the right column of Rect, the right one down to and
  // including the row Bottom.
  void DrawGridLines(const TRect& Rect, TColor Color);

 protected:
  TColor GridColor() const;
  void Fill(const TRect& Rect, TColor Color);
  // A pen line from P to Q, Q left out.
  void Line(Integer X1, Integer Y1, Integer X2, Integer Y2, TColor Color);
  void Pixel(Integer X, Integer Y, TColor Color);
  // DSTINVERT of Rect onto itself.
  void Invert(const TRect& Rect);
  // The header theme's part and state in Rect; nothing without a theme
  // handle or a bound library.
  void DrawThemePart(Integer Part, Integer State, const TRect& Rect);
};

class TDefaultStyleDisplay : public TStyleDisplay {
  RTL_CLASS(TDefaultStyleDisplay, TStyleDisplay)

 public:
  using TStyleDisplay::TStyleDisplay;
  Byte GetCapabilities() const override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  void DrawEmptyHeader(const TRect& Rect) override;
  virtual void DrawClassicHeader(TNxCustomColumn* Column, const TRect& Rect);
  virtual void DrawThemedHeader(TNxCustomColumn* Column, const TRect& Rect);
  void DrawFooterCorner(const TRect& Rect);
};

class TFlatStyleDisplay : public TStyleDisplay {
  RTL_CLASS(TFlatStyleDisplay, TStyleDisplay)
  void DrawFlatCell(const TRect& Rect, TColor Color);

 public:
  using TStyleDisplay::TStyleDisplay;
  void DrawBand(const TRect& Rect) override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  void DrawIndicatorBackground(const TRect& Rect, Integer Index, bool Current, bool Highlighted) override;
  virtual void DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect);
};

class TOldStyleDisplay : public TStyleDisplay {
  RTL_CLASS(TOldStyleDisplay, TStyleDisplay)

 public:
  using TStyleDisplay::TStyleDisplay;
  Byte GetCapabilities() const override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  void DrawIndicatorBackground(const TRect& Rect, Integer Index, bool Current, bool Highlighted) override;
  void DrawRaisedCell(const TRect& Rect);
};

class TOutlookStyleDisplay : public TStyleDisplay {
  RTL_CLASS(TOutlookStyleDisplay, TStyleDisplay)
  // The three bottom rows of Rect: the shadow blended over Base.
  void DrawShadowRows(const TRect& Rect, TColor Base);

 public:
  using TStyleDisplay::TStyleDisplay;
  Byte GetCapabilities() const override;
  void AdjustCaptionRect(TRect& Rect) override;
  void DrawBand(const TRect& Rect) override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  virtual void DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect);
};

class TVistaStyleDisplay : public TStyleDisplay {
  RTL_CLASS(TVistaStyleDisplay, TStyleDisplay)

 public:
  using TStyleDisplay::TStyleDisplay;
  Byte GetCapabilities() const override;
  void AdjustCaptionRect(TRect& Rect) override;
  void DrawBand(const TRect& Rect) override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  void DrawIndicatorBackground(const TRect& Rect, Integer Index, bool Current, bool Highlighted) override;
  virtual void DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect);
  void DrawSortMark(Integer X, Integer Y, bool Ascending);
};

// The two Office styles differ only in their gradient colours (G1 at the
// top, G2 at the bottom) and in the 2010 sort arrow.
class TOffice2007StyleDisplay : public TStyleDisplay {
  RTL_CLASS(TOffice2007StyleDisplay, TStyleDisplay)

 public:
  using TStyleDisplay::TStyleDisplay;
  void AdjustCaptionRect(TRect& Rect) override;
  void DrawBand(const TRect& Rect) override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  void DrawIndicatorBackground(const TRect& Rect, Integer Index, bool Current, bool Highlighted) override;
  virtual void DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect);
};

class TOffice2010StyleDisplay : public TStyleDisplay {
  RTL_CLASS(TOffice2010StyleDisplay, TStyleDisplay)

 public:
  using TStyleDisplay::TStyleDisplay;
  void AdjustCaptionRect(TRect& Rect) override;
  void DrawSortArrow(Integer X, Integer Y, bool Ascending) override;
  void DrawBand(const TRect& Rect) override;
  void DrawIndicatorCorner(const TRect& Rect, Integer Kind) override;
  void DrawHeaderBackground(TNxCustomColumn* Column, const TRect& Rect) override;
  void DrawIndicatorBackground(const TRect& Rect, Integer Index, bool Current, bool Highlighted) override;
  virtual void DrawHeaderFace(TNxCustomColumn* Column, const TRect& Rect);
};
