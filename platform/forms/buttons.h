// Buttons with a glyph: the bitmap button (a push button drawn by its
// owner) and the speed button (a graphic control that can stay down, alone
// or in a group).
#pragma once

#include <memory>

#include "platform/forms/stdctrls.h"

class TBitmap;
struct DRAWITEMSTRUCT;

RTL_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
RTL_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
RTL_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll)
using TNumGlyphs = Integer;

namespace rtl::detail {

// A button's glyph: a strip of NumGlyphs images of equal width (up,
// disabled, down, exclusive); its bottom-left pixel's colour is
// transparent. Lays out and draws the glyph with the caption.
class TButtonGlyph {
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;

 public:
  TButtonGlyph();
  ~TButtonGlyph();
  TBitmap* Glyph() const { return FGlyph.get(); }
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value) { FNumGlyphs = Value < 1 ? 1 : (Value > 4 ? 4 : Value); }
  TSize GlyphSize() const;
  // Draws glyph and caption in Client (offset by Offset when pushed) as
  // Layout, Margin (-1: centred) and Spacing say; answers where the
  // caption went.
  TRect Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const AnsiString& Caption,
             TButtonLayout Layout, Integer Margin, Integer Spacing, TButtonState State);
};

}  // namespace rtl::detail

// A push button with a glyph beside its caption. Kind gives the usual
// captions, results and glyphs (a check mark for OK, a cross for Cancel,
// ...) unless the button has a glyph of its own; a Close button closes its
// form. A disabled glyph without an image of its own is drawn embossed.
class TBitBtn : public TButton {
  RTL_CLASS(TBitBtn, TButton)
  std::unique_ptr<rtl::detail::TButtonGlyph> FGlyph;
  std::unique_ptr<TControlCanvas> FCanvas;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  bool FModifiedGlyph = false;
  bool FDrawingKindGlyph = false;

  void GlyphChanged(TObject* Sender);
  void DrawItem(const DRAWITEMSTRUCT& Item);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void SetButtonStyle(bool ADefault) override;

 public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;
  void Dispatch(TMessage& Message) override;
  void Click() override;

  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value);
  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  // Stored rules: a kind's own caption, result and glyph are not written.
  bool IsCustom() const { return FKind == bkCustom; }
  bool IsCustomCaption();
  bool IsGlyphStored() const { return FModifiedGlyph; }
};

// A tool button painted on its parent. With a GroupIndex it stays down
// when clicked, and pressing one button of a group releases the others
// (all may be up only with AllowAllUp). Flat buttons show their edge only
// under the mouse.
class TSpeedButton : public TGraphicControl {
  RTL_CLASS(TSpeedButton, TGraphicControl)
  std::unique_ptr<rtl::detail::TButtonGlyph> FGlyph;
  Integer FGroupIndex = 0;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  TButtonState FState = bsUp;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FFlat = false;
  bool FTransparent = true;
  bool FDragging = false;
  bool FMouseInControl = false;

  void GlyphChanged(TObject* Sender);
  void UpdateExclusive();

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter() override;
  void MouseLeave() override;

 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  void Dispatch(TMessage& Message) override;
  void Click() override;

  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value);
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  TButtonState State() const { return FState; }
};

// Registers these buttons' classes for reading form descriptions.
void RegisterButtonsClasses();
