// Bitmap buttons and speed buttons, and the glyph-and-caption layout they
// share.
#include "platform/forms/buttons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/user/standard_classes.h"

RTL_IMPLEMENT_PUBLISHED(TBitBtn,
                        RTL_PROP(Cancel).Default(false).Stored<&Self::IsCustom>(),
                        RTL_PROP(Caption).Stored<&Self::IsCustomCaption>(),
                        RTL_PROP(Default).Default(false).Stored<&Self::IsCustom>(),
                        RTL_PROP(Glyph).Stored<&Self::IsGlyphStored>(),
                        RTL_PROP(Kind).Default(bkCustom),
                        RTL_PROP(Layout).Default(blGlyphLeft),
                        RTL_PROP(Margin).Default(-1),
                        RTL_PROP(ModalResult).Default(mrNone).Stored<&Self::IsCustom>(),
                        RTL_PROP(NumGlyphs).Default(1),
                        RTL_PROP(Spacing).Default(4))
RTL_IMPLEMENT_PUBLISHED(TSpeedButton,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AllowAllUp).Default(false),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(GroupIndex).Default(0),
                        RTL_PROP(Down).Default(false),
                        RTL_PROP(Flat).Default(false),
                        RTL_PROP(Glyph),
                        RTL_PROP(Layout).Default(blGlyphLeft),
                        RTL_PROP(Margin).Default(-1),
                        RTL_PROP(NumGlyphs).Default(1),
                        RTL_PROP(Spacing).Default(4),
                        RTL_PROP(Transparent).Default(true),
                        RTL_MOUSE_EVENTS)

void RegisterButtonsClasses() { RegisterClasses({TBitBtn::StaticClass(), TSpeedButton::StaticClass()}); }

// ---- The glyph ---------------------------------------------------------------------------

namespace rtl::detail {

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}

TButtonGlyph::~TButtonGlyph() = default;

TSize TButtonGlyph::GlyphSize() const {
  if (FGlyph->Empty()) return TSize();
  return TSize(FGlyph->Width() / FNumGlyphs, FGlyph->Height());
}

namespace {

// A glyph with no image of its own for the disabled state is drawn
// embossed: its dark pixels in the highlight one pixel down and right, then
// in the shadow.
void DrawDisabledGlyph(TCanvas* Canvas, TBitmap* Glyph, Integer Left, Integer Width, const TPoint& At) {
  const COLORREF Transparent = ColorToRGB(Glyph->TransparentColor()) & 0xFFFFFFu;
  HDC Src = Glyph->Canvas()->Handle();
  HDC Dst = Canvas->Handle();
  for (Integer Pass = 0; Pass < 2; ++Pass) {
    const COLORREF Ink = GetSysColor(Pass == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
    const Integer D = Pass == 0 ? 1 : 0;
    for (Integer Y = 0; Y < Glyph->Height(); ++Y)
      for (Integer X = 0; X < Width; ++X) {
        const COLORREF C = GetPixel(Src, Left + X, Y) & 0xFFFFFFu;
        if (C == Transparent) continue;
        const Integer Light = (GetRValue(C) * 30 + GetGValue(C) * 59 + GetBValue(C) * 11) / 100;
        if (Light < 0xC0) SetPixel(Dst, At.X + X + D, At.Y + Y + D, Ink);
      }
  }
}

}  // namespace

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const AnsiString& Caption,
                         TButtonLayout Layout, Integer Margin, Integer Spacing, TButtonState State) {
  const TSize G = GlyphSize();
  const Integer CW = Client.Width(), CH = Client.Height();
  TSize T;
  HDC DC = Canvas->Handle();
  if (!Caption.empty()) {
    TRect Bounds(0, 0, CW, 0);
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &Bounds, DT_CALCRECT | DT_SINGLELINE);
    T = TSize(Bounds.Width(), Bounds.Height());
  }
  const bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  TPoint GlyphPos, TextPos;
  if (Horizontal) {
    GlyphPos.Y = (CH - G.cy + 1) / 2;
    TextPos.Y = (CH - T.cy + 1) / 2;
  } else {
    GlyphPos.X = (CW - G.cx + 1) / 2;
    TextPos.X = (CW - T.cx + 1) / 2;
  }
  if (T.cx == 0 || G.cx == 0) Spacing = 0;
  const Integer Room = Horizontal ? CW : CH;
  const Integer GlyphLen = Horizontal ? G.cx : G.cy;
  const Integer TextLen = Horizontal ? T.cx : T.cy;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (Room - GlyphLen - TextLen) / 3;
      Spacing = Margin;
    } else {
      Margin = (Room - (GlyphLen + Spacing + TextLen) + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (Room - (Margin + GlyphLen) - TextLen) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      TextPos.X = GlyphPos.X + G.cx + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = CW - Margin - G.cx;
      TextPos.X = GlyphPos.X - Spacing - T.cx;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      TextPos.Y = GlyphPos.Y + G.cy + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = CH - Margin - G.cy;
      TextPos.Y = GlyphPos.Y - Spacing - T.cy;
      break;
  }
  const Integer DX = Client.Left + Offset.X, DY = Client.Top + Offset.Y;
  GlyphPos = TPoint(GlyphPos.X + DX, GlyphPos.Y + DY);
  TextPos = TPoint(TextPos.X + DX, TextPos.Y + DY);

  if (G.cx > 0) {
    // The images of the strip a state falls back to: exclusive to down,
    // down to up; disabled is drawn from the up image when missing.
    Integer Index = State;
    if (Index == bsExclusive && FNumGlyphs < 4) Index = bsDown;
    if (Index == bsDown && FNumGlyphs < 3) Index = bsUp;
    if (Index == bsDisabled && FNumGlyphs < 2) {
      DrawDisabledGlyph(Canvas, FGlyph.get(), 0, G.cx, GlyphPos);
    } else {
      const COLORREF Transparent = ColorToRGB(FGlyph->TransparentColor()) & 0xFFFFFFu;
      TransparentBlt(Canvas->Handle(), GlyphPos.X, GlyphPos.Y, G.cx, G.cy, FGlyph->Canvas()->Handle(), Index * G.cx,
                     0, G.cx, G.cy, Transparent);
    }
  }
  TRect TextRect(TextPos.X, TextPos.Y, TextPos.X + T.cx, TextPos.Y + T.cy);
  if (!Caption.empty()) {
    TRect R = TextRect;
    DrawControlText(Canvas->Handle(), Caption, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE, State != bsDisabled);
  }
  return TextRect;
}

}  // namespace rtl::detail

// ---- TBitBtn -----------------------------------------------------------------------------

namespace {

struct TKindInfo {
  const char* Caption;
  TModalResult Result;
};
constexpr TKindInfo kKinds[] = {
    {"", mrNone},         {"OK", mrOk},           {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},      {"&No", mrNo},          {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry},  {"&Ignore", mrIgnore},  {"&All", mrAll},
};

// The glyphs of the kinds: 16 x 16 pictures drawn with a few strokes on a
// fuchsia ground (the bottom-left pixel, so transparent).
void DrawKindGlyph(TBitBtnKind Kind, TBitmap* Glyph) {
  constexpr TColor Green = clGreen, Red = static_cast<TColor>(0x0000C0), Blue = clNavy;
  constexpr TColor Brown = static_cast<TColor>(0x004080);
  Glyph->SetSize(16, 16);
  TCanvas* C = Glyph->Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clFuchsia);
  C->FillRect(TRect(0, 0, 16, 16));
  const auto Pen = [C](TColor Color, Integer Width) {
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(Color);
    C->Pen()->SetWidth(Width);
  };
  const auto Fill = [C](TColor Color) { C->Brush()->SetColor(Color); };
  switch (Kind) {
    case bkOK:
    case bkYes:
      Pen(Green, 3);
      C->Polyline({TPoint(3, 8), TPoint(6, 11), TPoint(12, 4)});
      break;
    case bkAll:
      // Two check marks.
      Pen(Green, 2);
      C->Polyline({TPoint(1, 9), TPoint(3, 11), TPoint(8, 5)});
      C->Polyline({TPoint(6, 9), TPoint(8, 11), TPoint(14, 4)});
      break;
    case bkCancel:
    case bkNo:
      Pen(Red, 3);
      C->Polyline({TPoint(4, 4), TPoint(12, 12)});
      C->Polyline({TPoint(12, 4), TPoint(4, 12)});
      break;
    case bkAbort:
      // A white cross on a red disc.
      Pen(Red, 1);
      Fill(Red);
      C->Ellipse(1, 1, 15, 15);
      Pen(clWhite, 2);
      C->Polyline({TPoint(5, 5), TPoint(11, 11)});
      C->Polyline({TPoint(11, 5), TPoint(5, 11)});
      break;
    case bkHelp:
      Pen(Blue, 2);
      C->Polyline({TPoint(4, 5), TPoint(5, 3), TPoint(7, 2), TPoint(9, 2), TPoint(11, 3), TPoint(12, 5), TPoint(11, 7),
                   TPoint(8, 9), TPoint(8, 11)});
      Pen(Blue, 1);
      Fill(Blue);
      C->Rectangle(7, 13, 10, 16);
      break;
    case bkClose:
      // A door with an arrow going out of it.
      Pen(clBlack, 1);
      Fill(Brown);
      C->Rectangle(2, 1, 9, 15);
      C->SetPixels(7, 8, clYellow);
      Pen(Green, 2);
      C->Polyline({TPoint(8, 8), TPoint(14, 8)});
      C->Polyline({TPoint(11, 5), TPoint(14, 8), TPoint(11, 11)});
      break;
    case bkRetry: {
      // Three quarters of a circle ending in an arrow head.
      Pen(Green, 2);
      std::vector<TPoint> Arc;
      for (Integer Degrees = 45; Degrees <= 315; Degrees += 15) {
        const double A = Degrees * 3.14159265358979 / 180;
        Arc.emplace_back(static_cast<Integer>(std::lround(8 + 5 * std::cos(A))),
                         static_cast<Integer>(std::lround(8 - 5 * std::sin(A))));
      }
      C->Polyline(Arc);
      Pen(Green, 1);
      Fill(Green);
      C->Polygon({TPoint(9, 13), TPoint(14, 13), TPoint(14, 8)});
      break;
    }
    case bkIgnore:
      // An arrow hopping over a bar.
      Pen(clGray, 2);
      C->Polyline({TPoint(6, 13), TPoint(11, 13)});
      Pen(Blue, 2);
      C->Polyline({TPoint(2, 12), TPoint(4, 7), TPoint(8, 4), TPoint(11, 6)});
      Pen(Blue, 1);
      Fill(Blue);
      C->Polygon({TPoint(9, 8), TPoint(14, 4), TPoint(14, 10)});
      break;
    case bkCustom:
      break;
  }
}

}  // namespace

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner),
      FGlyph(std::make_unique<rtl::detail::TButtonGlyph>()),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  FGlyph->Glyph()->OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
  // A second press soon after the first is another click.
  SetControlStyle(ControlStyle() - csDoubleClicks);
}

TBitBtn::~TBitBtn() { FGlyph->Glyph()->OnChange = nullptr; }

void TBitBtn::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

// The owner-drawn button shows the default frame itself.
void TBitBtn::SetButtonStyle(bool) {
  if (HandleAllocated()) Invalidate();
}

void TBitBtn::GlyphChanged(TObject*) {
  if (!FDrawingKindGlyph) FModifiedGlyph = true;
  Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
  const bool IsDown = Item.itemState & ODS_SELECTED;
  const bool IsFocused = Item.itemState & ODS_FOCUS;
  FCanvas->SetHandle(Item.hDC);
  TScopeExit ReleaseCanvas([&] { FCanvas->SetHandle(nullptr); });
  TRect R = Item.rcItem;
  FCanvas->SetFont(Font());
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->Brush()->SetColor(Color());
  FCanvas->FillRect(R);
  if (Active() || IsFocused) {
    FCanvas->Brush()->SetColor(clWindowFrame);
    FCanvas->FrameRect(R);
    InflateRect(&R, -1, -1);
  }
  DrawFrameControl(FCanvas->Handle(), &R, DFC_BUTTON, DFCS_BUTTONPUSH | (IsDown ? DFCS_PUSHED : 0));
  const TButtonState State = !Enabled() ? bsDisabled : IsDown ? bsDown : bsUp;
  TRect Content = R;
  InflateRect(&Content, -2, -2);
  FGlyph->Draw(FCanvas.get(), Content, IsDown ? TPoint(1, 1) : TPoint(0, 0), Caption(), FLayout, FMargin, FSpacing,
               State);
  if (IsFocused) {
    TRect Focus = R;
    InflateRect(&Focus, -3, -3);
    DrawFocusRect(FCanvas->Handle(), &Focus);
  }
}

void TBitBtn::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TBitBtn::Click() {
  if (FKind == bkClose) {
    if (TCustomForm* Form = GetParentForm(this)) {
      Form->Close();
      return;
    }
  }
  inherited::Click();
}

TBitmap* TBitBtn::Glyph() const { return FGlyph->Glyph(); }

void TBitBtn::SetGlyph(TBitmap* Value) { FGlyph->Glyph()->Assign(Value); }

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
  FGlyph->SetNumGlyphs(Value);
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (FKind == Value) return;
  if (Value != bkCustom) {
    const TKindInfo& K = kKinds[Value];
    // A caption read before the kind is the button's own.
    if (!ComponentState().Contains(csLoading) || Caption().empty()) SetCaption(K.Caption);
    SetModalResult(K.Result);
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
    if (!FModifiedGlyph) {
      FDrawingKindGlyph = true;
      {
        TScopeExit EndDrawingKindGlyph([&] { FDrawingKindGlyph = false; });
        DrawKindGlyph(Value, FGlyph->Glyph());
      }
      FGlyph->SetNumGlyphs(1);
    }
  } else if (!FGlyph->Glyph()->Empty()) {
    // The kind's picture stays, as the button's own now.
    FModifiedGlyph = true;
  }
  FKind = Value;
  Invalidate();
}

bool TBitBtn::IsCustomCaption() { return IsCaptionStored() && (FKind == bkCustom || Caption() != kKinds[FKind].Caption); }

void TBitBtn::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TBitBtn::SetMargin(Integer Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TBitBtn::SetSpacing(Integer Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

// ---- TSpeedButton ------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<rtl::detail::TButtonGlyph>()) {
  SetControlStyle({csCaptureMouse, csDoubleClicks});
  SetBounds(0, 0, 23, 22);
  FGlyph->Glyph()->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
}

TSpeedButton::~TSpeedButton() { FGlyph->Glyph()->OnChange = nullptr; }

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::Paint() {
  TCanvas* C = Canvas();
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  }
  C->SetFont(Font());
  TRect R = ClientRect();
  const bool Pushed = FState == bsDown || FState == bsExclusive;
  if (!FFlat || !FTransparent || Pushed) {
    C->Brush()->SetStyle(bsSolid);
    // A button held down by its group shows a lighter face.
    C->Brush()->SetColor(FState == bsExclusive && (!FFlat || !FMouseInControl) ? cl3DLight : clBtnFace);
    C->FillRect(R);
  }
  if (!FFlat) {
    UINT Flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (Pushed) Flags |= DFCS_PUSHED;
    if (FState == bsExclusive) Flags |= DFCS_CHECKED;
    TRect Frame = R;
    DrawFrameControl(C->Handle(), &Frame, DFC_BUTTON, Flags);
    if (FState == bsExclusive) {
      C->Brush()->SetColor(cl3DLight);
      InflateRect(&Frame, -1, -1);
      C->FillRect(Frame);
    }
  } else if (Pushed || (FMouseInControl && FState != bsDisabled)) {
    TRect Edge = R;
    DrawEdge(C->Handle(), &Edge, Pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  C->Brush()->SetStyle(bsClear);
  TRect Content = R;
  InflateRect(&Content, -1, -1);
  FGlyph->Draw(C, Content, Pushed ? TPoint(1, 1) : TPoint(0, 0), Caption(), FLayout, FMargin, FSpacing, FState);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TControlLink Self(this);
  inherited::MouseDown(Button, Shift, X, Y);
  if (!Self || Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  // While the press lasts the button follows the pointer in and out.
  const bool Inside = ClientRect().Contains(TPoint(X, Y));
  const TButtonState NewState = !FDown ? (Inside ? bsDown : bsUp) : (Inside ? bsDown : bsExclusive);
  if (NewState != FState) {
    FState = NewState;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TControlLink Self(this);
  inherited::MouseUp(Button, Shift, X, Y);
  if (!Self || !FDragging) return;
  FDragging = false;
  const bool DoClick = ClientRect().Contains(TPoint(X, Y));
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
  } else if (DoClick) {
    SetDown(!FDown);
    // A button that could not come up (AllowAllUp off) stays down.
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  } else {
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  }
  if (DoClick) Click();
}

void TSpeedButton::MouseEnter() {
  inherited::MouseEnter();
  FMouseInControl = true;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::MouseLeave() {
  inherited::MouseLeave();
  FMouseInControl = false;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::Click() { inherited::Click(); }

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage Message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(Message);
}

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED: {
      auto* Sender = reinterpret_cast<TSpeedButton*>(Message.LParam);
      if (static_cast<Integer>(Message.WParam) == FGroupIndex && Sender != this) {
        if (Sender->FDown && FDown) {
          FDown = false;
          FState = bsUp;
          Invalidate();
        }
        FAllowAllUp = Sender->FAllowAllUp;
      }
      return;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
          Parent()->Showing()) {
        Click();
        Message.Result = 1;
      }
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(Message);
      Invalidate();
      return;
    default:
      inherited::Dispatch(Message);
  }
}

TBitmap* TSpeedButton::Glyph() const { return FGlyph->Glyph(); }

void TSpeedButton::SetGlyph(TBitmap* Value) { FGlyph->Glyph()->Assign(Value); }

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
  FGlyph->SetNumGlyphs(Value);
  Invalidate();
}

void TSpeedButton::SetGroupIndex(Integer Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  SetControlStyle(Value ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(Integer Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(Integer Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}
