// More controls the forms are made of: panels, bevels, images and shapes.
// All of them paint themselves (no standard window class underneath).
#pragma once

#include <memory>

#include "platform/forms/controls.h"

class TPicture;
class TGraphic;

RTL_ENUM(TBevelStyle, bsLowered, bsRaised)
RTL_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
// TBevelCut lives with the window control's bevels (controls.h).
using TPanelBevel = TBevelCut;
RTL_ENUM(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)

// Draws Width nested frames inside Rect, the top and left edges in
// TopColor, the bottom and right ones in BottomColor; Rect shrinks by
// Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width);

// ---- Bevel --------------------------------------------------------------------------------

// A sunken or raised box, frame or line.
class TBevel : public TGraphicControl {
  RTL_CLASS(TBevel, TGraphicControl)
  TBevelStyle FStyle = bsLowered;
  TBevelShape FShape = bsBox;

 protected:
  void Paint() override;

 public:
  explicit TBevel(TComponent* AOwner);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
};

// ---- Panel --------------------------------------------------------------------------------

// A container with a raised or lowered edge (two bevels around a border)
// and a caption in its middle. Its children are laid out inside the edge.
class TCustomPanel : public TCustomControl {
  RTL_CLASS(TCustomPanel, TCustomControl)
  TAlignment FAlignment = taCenter;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  Integer FBevelWidth = 1;
  Integer FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;

  void EdgeChanged();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;

 public:
  explicit TCustomPanel(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  Integer BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
};

class TPanel : public TCustomPanel {
  RTL_CLASS(TPanel, TCustomPanel)

 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---- Image --------------------------------------------------------------------------------

// Shows a picture at its own size (Center puts it in the middle), or
// stretched over the control (Proportional keeps its shape). Transparent
// lets the parent show through the picture's transparent colour.
class TImage : public TGraphicControl {
  RTL_CLASS(TImage, TGraphicControl)
  std::unique_ptr<TPicture> FPicture;
  bool FCenter = false;
  bool FStretch = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FIncrementalDisplay = false;
  bool FDrawing = false;

  void PictureChanged(TObject* Sender);

 protected:
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void Paint() override;
  // Where the picture goes in the client area.
  TRect DestRect();

 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  // The picture's bitmap canvas (an empty picture becomes a bitmap of the
  // control's size); raises EInvalidOperation "Can only modify an image if
  // it contains a bitmap" for another kind of picture.
  TCanvas* Canvas();
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool IncrementalDisplay() const { return FIncrementalDisplay; }
  void SetIncrementalDisplay(bool Value) { FIncrementalDisplay = Value; }
};

// ---- Shape --------------------------------------------------------------------------------

// A rectangle, square, rounded one, ellipse or circle in its pen and
// brush.
class TShape : public TGraphicControl {
  RTL_CLASS(TShape, TGraphicControl)
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TShapeType FShape = stRectangle;

  void StyleChanged(TObject* Sender);

 protected:
  void Paint() override;

 public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;

  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value);
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value);
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
};

// Registers these controls' classes for reading form descriptions.
void RegisterExtCtrlsClasses();
