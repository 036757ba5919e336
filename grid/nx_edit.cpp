#include "grid/nx_edit.h"

#include <cmath>

#include "grid/nx_shared_common.h"
#include "grid/nx_themes_support.h"
#include "platform/forms/bitmap.h"
#include "platform/forms/forms.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/standard_classes.h"

RTL_IMPLEMENT_PUBLISHED(TNxEditMargins, RTL_PROP(Left).Default(0), RTL_PROP(Right).Default(0))
RTL_IMPLEMENT_CLASS(TNxEditInfo)
RTL_IMPLEMENT_CLASS(TNxCustomEdit)

// ---- TNxEditMargins -------------------------------------------------------------------

void TNxEditMargins::Assign(TPersistent* Source) {
  if (auto* M = dynamic_cast<TNxEditMargins*>(Source)) {
    FLeft = M->FLeft;
    FRight = M->FRight;
    FOwner->RecreateWnd();
    return;
  }
  TPersistent::Assign(Source);
}

void TNxEditMargins::SetLeft(Integer Value) {
  FLeft = Value;
  FOwner->RecreateWnd();
}

void TNxEditMargins::SetRight(Integer Value) {
  FRight = Value;
  FOwner->RecreateWnd();
}

// ---- TNxEditInfo ----------------------------------------------------------------------

TNxEditInfo::TNxEditInfo(TComponent* AOwner, TNxCustomEdit* Edit) : TCustomControl(AOwner), FOwner(Edit) {}

void TNxEditInfo::Paint() {
  TCustomControl::Paint();
  Integer X = 0;
  TBitmap* Glyph = FOwner->Glyph();
  if (!Glyph->Empty()) {
    const Integer Y = static_cast<Integer>(std::lround(Height() / 2.0 - Glyph->Height() / 2.0));
    NxSharedCommon::DrawAlphaBitmap(Canvas(), X, Y, Glyph);
    X += Glyph->Width() + 2;
  }
  if (FOwner->ShowPreview()) {
    TRect R(X, 0, X + 20, ClientHeight());
    if (FOwner->PreviewBorder()) {
      Canvas()->Brush()->SetColor(static_cast<TColor>(0x808080));
      Canvas()->FrameRect(R);
      InflateRect(&R, -1, -1);
    }
    FOwner->DoCustomPreviewDraw(R);
  }
}

void TNxEditInfo::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  FOwner->InfoMouseDown(this, Button, Shift, X, Y);
  TBitmap* Glyph = FOwner->Glyph();
  if (!Glyph->Empty() && TRect(0, 0, Glyph->Width(), Height()).Contains(TPoint(X, Y))) FOwner->GlyphClick();
}

// ---- TNxCustomEdit --------------------------------------------------------------------

TNxCustomEdit::TNxCustomEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FInfo = new TNxEditInfo(this, this);
  FInfo->SetVisible(false);
  FInfo->SetParent(this);
  FEditMargins = std::make_unique<TNxEditMargins>(this);
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = TNotifyEvent(this, &TNxCustomEdit::GlyphChanged);
  SetAutoSize(true);
  SetBorderStyle(bsSingle);
  SetColor(clWindow);
  SetHeight(20);
  SetParentColor(false);
  SetTabStop(true);
  SetWidth(121);
  if (Screen) Screen->SetCursors(crReversedArrow, LoadCursor(HInstance, "REVERSEDARROW"));
}

TNxCustomEdit::~TNxCustomEdit() {
  // The canvas lets go of the window's DC before the window goes.
  FCanvas.reset();
  FGlyph->OnChange = nullptr;
}

void TNxCustomEdit::CreateParams(TCreateParams& Params) {
  static constexpr DWORD Alignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  TCustomEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | Alignments[FAlignment];
}

void TNxCustomEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  UpdateMargins();
}

void TNxCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
    case WM_ERASEBKGND: WMEraseBkgndEdit(Message); return;
    default: TCustomEdit::Dispatch(Message); return;
  }
}

void TNxCustomEdit::WMEraseBkgndEdit(TMessage& Message) {
  if (IsTextDrawnByEdit()) {
    TCustomEdit::Dispatch(Message);
    return;
  }
  // The edit paints its text itself over what it fills: no erase.
  Message.Result = 1;
}

void TNxCustomEdit::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result |= DLGC_WANTARROWS;
  if (FWantTabs)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
}

void TNxCustomEdit::WMSetFocus(TMessage& Message) {
  TCustomEdit::WMSetFocus(Message);
  if (FInfo->Visible()) FInfo->Invalidate();
}

void TNxCustomEdit::WMKillFocus(TMessage& Message) {
  TCustomEdit::WMKillFocus(Message);
  if (FInfo->Visible()) FInfo->Invalidate();
}

void TNxCustomEdit::CMEnabledChanged(TMessage& Message) {
  TCustomEdit::CMEnabledChanged(Message);
  for (Integer I = 0; I < ComponentCount(); ++I)
    if (auto* C = dynamic_cast<TControl*>(Components(I))) C->Invalidate();
}

void TNxCustomEdit::WMWindowPosChanged(TMessage& Message) {
  TCustomEdit::WMWindowPosChanged(Message);
  PlaceInfo();
}

bool TNxCustomEdit::GetAsBoolean() { return StrToBool(Text()); }

TDateTime TNxCustomEdit::GetAsDateTime() { return Text().empty() ? 0 : StrToDateTime(Text()); }

double TNxCustomEdit::GetAsFloat() { return Text().empty() ? 0 : static_cast<double>(StrToFloat(Text())); }

Integer TNxCustomEdit::GetAsInteger() { return Text().empty() ? 0 : StrToInt(Text()); }

WideString TNxCustomEdit::GetAsString() { return AnsiToWide(Text()); }

void TNxCustomEdit::SetAsBoolean(bool Value) { SetText(BoolToStr(Value, true)); }

void TNxCustomEdit::SetAsDateTime(TDateTime Value) { SetText(DateTimeToStr(Value)); }

void TNxCustomEdit::SetAsFloat(double Value) { SetText(FloatToStr(Value)); }

void TNxCustomEdit::SetAsInteger(Integer Value) { SetText(IntToStr(Value)); }

void TNxCustomEdit::SetAsString(const WideString& Value) { SetText(WideToAnsi(Value)); }

TRect TNxCustomEdit::GetPreviewRect() {
  TRect R = ClientRect();
  R.Left += FGlyph->Empty() ? 0 : FGlyph->Width() + 4;
  R.Right = R.Left + 20;
  return R;
}

void TNxCustomEdit::DoCustomPreviewDraw(const TRect& PreviewRect) { CustomPreviewDraw(PreviewRect); }

void TNxCustomEdit::CustomPreviewDraw(const TRect& PreviewRect) {
  if (OnCustomPreviewDraw) OnCustomPreviewDraw(this, PreviewRect);
}

void TNxCustomEdit::GlyphClick() {
  if (OnGlyphClick) OnGlyphClick(this);
}

void TNxCustomEdit::AdjustMargins(Integer& Left, Integer& /*Right*/) {
  if (FShowPreview) Left += 25;
  if (!FGlyph->Empty()) Left += FGlyph->Width() + 4;
}

void TNxCustomEdit::UpdateMargins() {
  if (!HandleAllocated()) return;
  Integer Left = FEditMargins->Left();
  Integer Right = FEditMargins->Right();
  AdjustMargins(Left, Right);
  SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
              MAKELONG(static_cast<WORD>(Left), static_cast<WORD>(Right)));
}

void TNxCustomEdit::PlaceInfo() {
  if (!FInfo) return;
  Integer W = FGlyph->Empty() ? 0 : FGlyph->Width() + 4;
  if (FShowPreview) W += 20;
  FInfo->SetBounds(0, 0, W, ClientHeight());
  FInfo->BringToFront();
  FInfo->SetVisible(FShowPreview || !FGlyph->Empty());
}

Integer TNxCustomEdit::InfoRight() { return FInfo->Visible() ? FInfo->Left() + FInfo->Width() : 0; }

void TNxCustomEdit::GlyphChanged(TObject* /*Sender*/) {
  if (!FGlyph->Empty()) {
    FGlyph->SetTransparentColor(FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1));
    FGlyph->SetTransparent(true);
  }
  UpdateMargins();
  PlaceInfo();
  RecreateWnd();
}

void TNxCustomEdit::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
}

void TNxCustomEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TNxCustomEdit::SetPreviewBorder(bool Value) {
  if (FPreviewBorder == Value) return;
  FPreviewBorder = Value;
  FInfo->Invalidate();
}

void TNxCustomEdit::SetShowPreview(bool Value) {
  if (FShowPreview == Value) return;
  FShowPreview = Value;
  UpdateMargins();
  PlaceInfo();
  Invalidate();
}

// ---- TNxEdit --------------------------------------------------------------------------

void TNxEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCPAINT) {
    TNxCustomEdit::Dispatch(Message);
    if (IsThemed()) DrawThemedBorder();
    return;
  }
  TNxCustomEdit::Dispatch(Message);
}

void TNxEdit::SetAsString(const WideString& Value) { SetText(WideToAnsi(Value)); }

void TNxEdit::PrepareEdit() {
  const Integer End = static_cast<Integer>(Text().size());
  SetSelStart(End);
  SetSelLength(0);
}

void TNxEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TNxCustomEdit::MouseMove(Shift, X, Y);
  SetCursor(X <= InfoRight() + 2 ? crReversedArrow : crDefault);
}

void TNxEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TNxCustomEdit::MouseDown(Button, Shift, X, Y);
  if (X > InfoRight() + 2) return;
  // The window class would go on tracking the press and move the
  // selection back to the caret.
  if (GetCapture() == Handle()) ReleaseCapture();
  SelectAll();
}

void TNxEdit::Resize() {
  TNxCustomEdit::Resize();
  UpdateMargins();
  PlaceInfo();
}

void TNxEdit::CMFontChanged(TMessage& Message) {
  TNxCustomEdit::CMFontChanged(Message);
  UpdateMargins();
}

void TNxEdit::DrawThemedBorder() {
  if (!IsThemed() || BorderStyle() != bsSingle || !HandleAllocated()) return;
  HWND H = Handle();
  HDC DC = GetWindowDC(H);
  if (!DC) return;
  RECT R{};
  GetWindowRect(H, &R);
  OffsetRect(&R, -R.Left, -R.Top);
  ExcludeClipRect(DC, R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
  ThemeDrawBackground(H, DC, R, u"edit", 1, 0);
  ReleaseDC(H, DC);
}

void TNxEdit::WMPaint(TMessage& Message) {
  if (BorderWidth() > 0 && HandleAllocated()) {
    HWND H = Handle();
    HDC DC = GetWindowDC(H);
    if (DC) {
      RECT R{};
      GetWindowRect(H, &R);
      OffsetRect(&R, -R.Left, -R.Top);
      HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color()));
      if (BorderStyle() == bsSingle)
        InflateRect(&R, -1, -1);
      else
        InflateRect(&R, 1, 1);
      for (Integer I = 0; I < BorderWidth(); ++I) {
        InflateRect(&R, -1, -1);
        FrameRect(DC, &R, Brush);
      }
      DeleteObject(Brush);
      ReleaseDC(H, DC);
    }
  }
  TNxCustomEdit::WMPaint(Message);
  if (!IsTextDrawnByEdit()) PaintText();
}

RTL_IMPLEMENT_PUBLISHED(TNxEdit,
                        RTL_PROP(Align).Default(alNone),
                        RTL_PROP(Alignment).Default(taLeftJustify),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(AutoSelect).Default(true),
                        RTL_PROP(AutoSize).Default(true),
                        RTL_PROP(BiDiMode).Default(bdLeftToRight),
                        RTL_PROP(BevelEdges).Default({beLeft, beTop, beRight, beBottom}),
                        RTL_PROP(BevelInner).Default(bvRaised),
                        RTL_PROP(BevelKind).Default(bkNone),
                        RTL_PROP(BevelOuter).Default(bvLowered),
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_PROP(BorderWidth).Default(0),
                        RTL_PROP(Color).Default(clWindow).Stored<&Self::IsColorStored>().Idents(ColorIdentMap()),
                        RTL_PROP(Constraints),
                        RTL_PROP(CharCase).Default(ecNormal),
                        RTL_PROP(EditMargins),
                        RTL_PROP(Enabled).Default(true),
                        RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(Glyph),
                        RTL_PROP(MaxLength).Default(0),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentFont).Default(true),
                        RTL_PROP(PasswordChar).Default('\0'),
                        RTL_PROP(PopupMenu),
                        RTL_PROP(PreviewBorder).Default(true),
                        RTL_PROP(ReadOnly).Default(false),
                        RTL_PROP(ShowHint).Stored<&Self::IsShowHintStored>(),
                        RTL_PROP(ShowPreview).Default(false),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(Text),
                        RTL_PROP(Visible).Default(true),
                        RTL_PROP(WantTabs).Default(false),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnClick),
                        RTL_EVENT(OnContextPopup),
                        RTL_EVENT(OnCustomPreviewDraw),
                        RTL_EVENT(OnDblClick),
                        RTL_EVENT(OnDragDrop),
                        RTL_EVENT(OnDragOver),
                        RTL_EVENT(OnEndDrag),
                        RTL_EVENT(OnEnter),
                        RTL_EVENT(OnExit),
                        RTL_EVENT(OnGlyphClick),
                        RTL_EVENT(OnKeyDown),
                        RTL_EVENT(OnKeyPress),
                        RTL_EVENT(OnKeyUp),
                        RTL_EVENT(OnMouseDown),
                        RTL_EVENT(OnMouseMove),
                        RTL_EVENT(OnMouseUp),
                        RTL_EVENT(OnStartDrag))
