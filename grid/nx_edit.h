// The grid library's single-line editor: alignment, margins, a glyph and a
// preview box at the left edge, conversions of the text to and from
// values, a themed border and a frame of the border width.
#pragma once

#include <memory>

#include "platform/forms/stdctrls.h"

class TBitmap;
class TControlCanvas;
class TNxCustomEdit;

constexpr TCursor crReversedArrow = 1000;

class TNxEditMargins : public TPersistent {
  RTL_CLASS(TNxEditMargins, TPersistent)
  TNxCustomEdit* FOwner;
  Integer FLeft = 0;
  Integer FRight = 0;

 public:
  explicit TNxEditMargins(TNxCustomEdit* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  Integer Left() const { return FLeft; }
  // Each setter recreates the owner's window, which applies the margins.
  void SetLeft(Integer Value);
  Integer Right() const { return FRight; }
  void SetRight(Integer Value);
};

// The box at the left end of the edit that shows the glyph and the preview.
class TNxEditInfo : public TCustomControl {
  RTL_CLASS(TNxEditInfo, TCustomControl)
  TNxCustomEdit* FOwner;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 public:
  TNxEditInfo(TComponent* AOwner, TNxCustomEdit* Edit);
  TNxCustomEdit* Edit() const { return FOwner; }
};

using TCustomPreviewDrawEvent = TClosure<void(TObject* Sender, const TRect& PreviewRect)>;

class TNxCustomEdit : public TCustomEdit {
  RTL_CLASS(TNxCustomEdit, TCustomEdit)
  friend class TNxEditInfo;
  TAlignment FAlignment = taLeftJustify;
  std::unique_ptr<TControlCanvas> FCanvas;
  TNxEditInfo* FInfo = nullptr;
  std::unique_ptr<TNxEditMargins> FEditMargins;
  std::unique_ptr<TBitmap> FGlyph;
  bool FTextColumnEditor = false;
  bool FPreviewBorder = true;
  bool FShowPreview = false;
  bool FWantTabs = false;

  void GlyphChanged(TObject* Sender);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMEraseBkgndEdit(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void CMEnabledChanged(TMessage& Message) override;
  void WMWindowPosChanged(TMessage& Message) override;
  // The edit's own size rule (the font's height) holds; the info box and
  // the button inside never size it.
  bool CanAutoSize(Integer& /*NewWidth*/, Integer& /*NewHeight*/) override { return false; }

  // The canvas bound to the edit's own window, to paint over its text.
  TControlCanvas* PaintCanvas() const { return FCanvas.get(); }
  // Fire OnCustomPreviewDraw and OnGlyphClick.
  virtual void CustomPreviewDraw(const TRect& PreviewRect);
  virtual void GlyphClick();

 public:
  explicit TNxCustomEdit(TComponent* AOwner);
  ~TNxCustomEdit() override;
  void Dispatch(TMessage& Message) override;
  // The info box, button and popup are the edit's own parts, never
  // written with it.
  void GetChildren(const TGetChildProc& /*Proc*/, TComponent* /*Root*/) override {}

  // Values of the text. The getters raise EConvertError for text that is
  // no such value and leave the text as it is.
  virtual bool GetAsBoolean();
  virtual TDateTime GetAsDateTime();
  virtual double GetAsFloat();
  virtual Integer GetAsInteger();
  virtual WideString GetAsString();
  // False when the edit paints its text itself (PaintText).
  virtual bool IsTextDrawnByEdit() { return true; }
  virtual TRect GetPreviewRect();
  virtual void InfoMouseDown(TObject* /*Sender*/, TMouseButton /*Button*/, TShiftState /*Shift*/, Integer /*X*/,
                             Integer /*Y*/) {}
  virtual void PaintText() {}
  virtual void DoCustomPreviewDraw(const TRect& PreviewRect);
  virtual void SetAsBoolean(bool Value);
  virtual void SetAsDateTime(TDateTime Value);
  virtual void SetAsFloat(double Value);
  virtual void SetAsInteger(Integer Value);
  virtual void SetAsString(const WideString& Value);
  // The text margins: the preview and the glyph widen the left one.
  virtual void AdjustMargins(Integer& Left, Integer& Right);
  // The grid calls it when it opens the editor on a cell.
  virtual void PrepareEdit() {}

  // Sends the margins to the window (EM_SETMARGINS, both sides).
  void UpdateMargins();
  // Sizes and shows (or hides) the info box at the left end.
  void PlaceInfo();
  // The right end of the info box; 0 when it is hidden.
  Integer InfoRight();

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TNxEditMargins* EditMargins() const { return FEditMargins.get(); }
  void SetEditMargins(TNxEditMargins* Value) { FEditMargins->Assign(Value); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  // Copies the bitmap; its bottom-left pixel becomes the transparent colour.
  void SetGlyph(TBitmap* Value);
  TNxEditInfo* Info() const { return FInfo; }
  bool TextColumnEditor() const { return FTextColumnEditor; }
  void SetTextColumnEditor(bool Value) { FTextColumnEditor = Value; }
  bool PreviewBorder() const { return FPreviewBorder; }
  void SetPreviewBorder(bool Value);
  bool ShowPreview() const { return FShowPreview; }
  void SetShowPreview(bool Value);
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }

  TCustomPreviewDrawEvent OnCustomPreviewDraw;
  TNotifyEvent OnGlyphClick;
};

class TNxEdit : public TNxCustomEdit {
  RTL_CLASS(TNxEdit, TNxCustomEdit)

 protected:
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Resize() override;
  void CMFontChanged(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  // The "edit" part over the window's frame, when themed and single-bordered.
  void DrawThemedBorder();

 public:
  explicit TNxEdit(TComponent* AOwner) : TNxCustomEdit(AOwner) {}
  void Dispatch(TMessage& Message) override;
  void SetAsString(const WideString& Value) override;
  // Moves the caret to the end of the text.
  void PrepareEdit() override;
};
