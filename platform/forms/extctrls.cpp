// Panels, bevels, images and shapes.
#include "platform/forms/extctrls.h"

#include <cmath>

#include "platform/forms/bitmap.h"
#include "platform/forms/icon.h"
#include "platform/forms/picture.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/scope_exit.h"

RTL_IMPLEMENT_PUBLISHED(TBevel,
                        RTL_PROP(Align).Default(alNone),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(Constraints),
                        RTL_PROP(ParentShowHint).Default(true),
                        RTL_PROP(Shape).Default(bsBox),
                        RTL_PROP(ShowHint).Stored<&Self::IsShowHintStored>(),
                        RTL_PROP(Style).Default(bsLowered),
                        RTL_PROP(Visible).Default(true).Stored<&Self::IsVisibleStored>())
RTL_IMPLEMENT_CLASS(TCustomPanel)
RTL_IMPLEMENT_PUBLISHED(TPanel,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(Alignment).Default(taCenter),
                        RTL_PROP(BevelInner).Default(bvNone),
                        RTL_PROP(BevelOuter).Default(bvRaised),
                        RTL_PROP(BevelWidth).Default(1),
                        RTL_PROP(BorderStyle).Default(bsNone),
                        RTL_PROP(BorderWidth).Default(0),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_COLOR_PROP(clBtnFace),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(FullRepaint).Default(true),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_EVENT(OnResize),
                        RTL_MOUSE_EVENTS,
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit))
RTL_IMPLEMENT_PUBLISHED(TImage,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AutoSize).Default(false),
                        RTL_PROP(Center).Default(false),
                        RTL_PROP(IncrementalDisplay).Default(false),
                        RTL_PROP(Picture),
                        RTL_PROP(Proportional).Default(false),
                        RTL_PROP(Stretch).Default(false),
                        RTL_PROP(Transparent).Default(false),
                        RTL_MOUSE_EVENTS)
RTL_IMPLEMENT_PUBLISHED(TShape,
                        RTL_PROP(Align).Default(alNone),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(Brush),
                        RTL_PROP(Constraints),
                        RTL_PROP(DragCursor).Default(crDrag).Idents(CursorIdentMap()),
                        RTL_PROP(DragKind).Default(dkDrag),
                        RTL_PROP(DragMode).Default(dmManual),
                        RTL_PROP(Enabled).Default(true).Stored<&Self::IsEnabledStored>(),
                        RTL_PROP(ParentShowHint).Default(true),
                        RTL_PROP(Pen),
                        RTL_PROP(Shape).Default(stRectangle),
                        RTL_PROP(ShowHint).Stored<&Self::IsShowHintStored>(),
                        RTL_PROP(Visible).Default(true).Stored<&Self::IsVisibleStored>(),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnDragDrop),
                        RTL_EVENT(OnDragOver),
                        RTL_EVENT(OnEndDrag),
                        RTL_EVENT(OnMouseDown),
                        RTL_EVENT(OnMouseMove),
                        RTL_EVENT(OnMouseUp),
                        RTL_EVENT(OnStartDrag))

void RegisterExtCtrlsClasses() {
  RegisterClasses({TBevel::StaticClass(), TPanel::StaticClass(), TImage::StaticClass(), TShape::StaticClass()});
}

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width) {
  Canvas->Pen()->SetWidth(1);
  --Rect.Bottom;
  --Rect.Right;
  while (Width-- > 0) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({TPoint(Rect.Left, Rect.Bottom), TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top)});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline(
        {TPoint(Rect.Right, Rect.Top), TPoint(Rect.Right, Rect.Bottom), TPoint(Rect.Left - 1, Rect.Bottom)});
    InflateRect(&Rect, -1, -1);
  }
  ++Rect.Bottom;
  ++Rect.Right;
}

// ---- TBevel ------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* C = Canvas();
  C->Pen()->SetWidth(1);
  TColor Color1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor Color2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  auto BevelRect = [&](const TRect& R) {
    C->Pen()->SetColor(Color1);
    C->Polyline({TPoint(R.Left, R.Bottom), TPoint(R.Left, R.Top), TPoint(R.Right, R.Top)});
    C->Pen()->SetColor(Color2);
    C->Polyline({TPoint(R.Right, R.Top), TPoint(R.Right, R.Bottom), TPoint(R.Left, R.Bottom)});
  };
  auto BevelLine = [&](TColor Color, Integer X1, Integer Y1, Integer X2, Integer Y2) {
    C->Pen()->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
  };
  const Integer W = Width(), H = Height();
  switch (FShape) {
    case bsBox:
      BevelRect(TRect(0, 0, W - 1, H - 1));
      break;
    case bsFrame: {
      // Two boxes, one pixel apart: an etched (or embossed) frame.
      const TColor Temp = Color1;
      Color1 = Color2;
      BevelRect(TRect(1, 1, W - 1, H - 1));
      Color2 = Temp;
      Color1 = Temp;
      BevelRect(TRect(0, 0, W - 2, H - 2));
      break;
    }
    case bsTopLine:
      BevelLine(Color1, 0, 0, W, 0);
      BevelLine(Color2, 0, 1, W, 1);
      break;
    case bsBottomLine:
      BevelLine(Color1, 0, H - 2, W, H - 2);
      BevelLine(Color2, 0, H - 1, W, H - 1);
      break;
    case bsLeftLine:
      BevelLine(Color1, 0, 0, 0, H);
      BevelLine(Color2, 1, 0, 1, H);
      break;
    case bsRightLine:
      BevelLine(Color1, W - 2, 0, W - 2, H);
      BevelLine(Color2, W - 1, 0, W - 1, H);
      break;
    case bsSpacer:
      break;
  }
}

// ---- TCustomPanel -----------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  InflateRect(&Rect, -FBorderWidth, -FBorderWidth);
  Integer BevelSize = 0;
  if (FBevelOuter != bvNone) BevelSize += FBevelWidth;
  if (FBevelInner != bvNone) BevelSize += FBevelWidth;
  InflateRect(&Rect, -BevelSize, -BevelSize);
}

void TCustomPanel::Paint() {
  static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  TCanvas* C = Canvas();
  TRect R = ClientRect();
  auto Bevel = [&](TPanelBevel B) {
    if (B == bvNone) return;
    TColor Top = B == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor Bottom = B == bvLowered ? clBtnHighlight : clBtnShadow;
    if (B == bvSpace) Top = Bottom = Color();
    Frame3D(C, R, Top, Bottom, FBevelWidth);
  };
  Bevel(FBevelOuter);
  Frame3D(C, R, Color(), Color(), FBorderWidth);
  Bevel(FBevelInner);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(R);
  const AnsiString Text = Caption();
  if (Text.empty()) return;
  C->Brush()->SetStyle(bsClear);
  C->SetFont(Font());
  const Integer FontHeight = C->TextHeight("W");
  R.Top = (R.Bottom + R.Top - FontHeight) / 2;
  R.Bottom = R.Top + FontHeight;
  rtl::detail::DrawControlText(C->Handle(), Text, R, DT_EXPANDTABS | DT_VCENTER | Alignments[FAlignment], Enabled());
}

void TCustomPanel::EdgeChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  EdgeChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  EdgeChanged();
}

void TCustomPanel::SetBevelWidth(Integer Value) {
  if (FBevelWidth == Value) return;
  FBevelWidth = std::max(0, Value);
  EdgeChanged();
}

void TCustomPanel::SetBorderWidth(Integer Value) {
  if (FBorderWidth == Value) return;
  FBorderWidth = std::max(0, Value);
  EdgeChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// ---- TImage --------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
  FPicture->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

TCanvas* TImage::Canvas() {
  if (!FPicture->Graphic()) {
    TBitmap Bitmap(Width(), Height());
    FPicture->SetGraphic(&Bitmap);
  }
  auto* Bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic());
  if (!Bitmap) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return Bitmap->Canvas();
}

TRect TImage::DestRect() {
  Integer W = FPicture->Width(), H = FPicture->Height();
  const Integer CW = ClientWidth(), CH = ClientHeight();
  if (FStretch || (FProportional && (W > CW || H > CH))) {
    if (FProportional && W > 0 && H > 0) {
      const double Aspect = static_cast<double>(W) / H;
      if (W > H) {
        W = CW;
        H = static_cast<Integer>(std::trunc(CW / Aspect));
        if (H > CH) {
          H = CH;
          W = static_cast<Integer>(std::trunc(CH * Aspect));
        }
      } else {
        H = CH;
        W = static_cast<Integer>(std::trunc(CH * Aspect));
        if (W > CW) {
          W = CW;
          H = static_cast<Integer>(std::trunc(CW / Aspect));
        }
      }
    } else {
      W = CW;
      H = CH;
    }
  }
  TRect R(0, 0, W, H);
  if (FCenter) OffsetRect(&R, (CW - W) / 2, (CH - H) / 2);
  return R;
}

void TImage::Paint() {
  TCanvas* C = TGraphicControl::Canvas();
  if (ComponentState().Contains(csDesigning)) {
    C->Pen()->SetStyle(psDash);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(0, 0, Width(), Height());
  }
  const bool Save = FDrawing;
  FDrawing = true;
  TScopeExit RestoreDrawing([&] { FDrawing = Save; });
  C->StretchDraw(DestRect(), FPicture->Graphic());
}

bool TImage::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  if (!ComponentState().Contains(csDesigning) || (FPicture->Width() > 0 && FPicture->Height() > 0)) {
    if (Align() == alNone || Align() == alLeft || Align() == alRight) NewWidth = FPicture->Width();
    if (Align() == alNone || Align() == alTop || Align() == alBottom) NewHeight = FPicture->Height();
  }
  return true;
}

void TImage::PictureChanged(TObject*) {
  if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  TGraphic* G = FPicture->Graphic();
  if (G) {
    // Icons carry their own transparency.
    if (!dynamic_cast<TIcon*>(G) && G->Transparent() != FTransparent) G->SetTransparent(FTransparent);
    const TRect D = DestRect();
    if (!G->Transparent() && D.Left <= 0 && D.Top <= 0 && D.Right >= Width() && D.Bottom >= Height())
      SetControlStyle(ControlStyle() + csOpaque);
    else
      SetControlStyle(ControlStyle() - csOpaque);
  } else {
    SetControlStyle(ControlStyle() - csOpaque);
  }
  if (!FDrawing) Invalidate();
}

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  PictureChanged(this);
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  PictureChanged(this);
}

void TImage::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  PictureChanged(this);
}

// ---- TShape --------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(0, 0, 65, 65);
  FPen->OnChange = TNotifyEvent(this, &TShape::StyleChanged);
  FBrush->OnChange = TNotifyEvent(this, &TShape::StyleChanged);
}

TShape::~TShape() {
  FPen->OnChange = nullptr;
  FBrush->OnChange = nullptr;
}

void TShape::StyleChanged(TObject*) { Invalidate(); }

void TShape::SetPen(TPen* Value) { FPen->Assign(Value); }

void TShape::SetBrush(TBrush* Value) { FBrush->Assign(Value); }

void TShape::SetShape(TShapeType Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* C = Canvas();
  C->SetPen(FPen.get());
  C->SetBrush(FBrush.get());
  const Integer PenWidth = FPen->Width();
  Integer X = PenWidth / 2, Y = X;
  Integer W = Width() - PenWidth + 1, H = Height() - PenWidth + 1;
  if (PenWidth == 0) {
    --W;
    --H;
  }
  const Integer S = std::min(W, H);
  if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
    X += (W - S) / 2;
    Y += (H - S) / 2;
    W = H = S;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare:
      C->Rectangle(X, Y, X + W, Y + H);
      break;
    case stRoundRect:
    case stRoundSquare:
      C->RoundRect(X, Y, X + W, Y + H, S / 4, S / 4);
      break;
    case stEllipse:
    case stCircle:
      C->Ellipse(X, Y, X + W, Y + H);
      break;
  }
}
