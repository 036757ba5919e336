// The control classes: TControl (bounds, alignment, state, messages and
// mouse events), TWinControl (a control with a window: handles on demand,
// children, focus and keys), TGraphicControl (painted by its parent) and
// TCustomControl (a window with a canvas).
//
// Messages reach a control through WindowProc (a settable method, so that
// others can subclass it), which defaults to WndProc. WndProc does the work
// every control shares (capture, double clicks, graphic children, focus
// bookkeeping) and then calls Dispatch, which calls one named handler per
// message; messages without a handler go to DefaultHandler. A window's
// procedure runs WindowProc inside a handler that gives any exception to
// the application (Application->HandleException) and goes on.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/actions.h"
#include "platform/forms/controls_messages.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

class TControl;
class TWinControl;
class TCustomForm;
class TDragObject;
class TDragImageList;

// ---- Types ------------------------------------------------------------------

RTL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
using TAlignSet = TSet<TAlign, 8>;

RTL_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind, 4>;
// The anchors each alignment implies.
TAnchors AnchorAlign(TAlign Align);

RTL_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
RTL_ENUM(TDragMode, dmManual, dmAutomatic)
RTL_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
RTL_ENUM(TDragKind, dkDrag, dkDock)
RTL_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
RTL_ENUM(TBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
RTL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
RTL_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
RTL_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom)
using TBevelEdges = TSet<TBevelEdge, 4>;
RTL_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
RTL_ENUM(THelpType, htKeyword, htContext)

enum TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
  csDesignerHide,
  csPanning,
  csRecreating,
  csAligning,
  csGlassPaint,
  csPrintClient
};
using TControlState = TSet<TControlStateItem, 32>;

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground,
  csPannable,
  csAlignWithMargins,
  csGestures,
  csPaintBlackOpaqueOnGlass,
  csOverrideStylePaint
};
using TControlStyle = TSet<TControlStyleItem, 32>;

// Cursor ids: the stock ones are negative; applications add their own
// (positive) ids to Screen->Cursors.
using TCursor = SmallInt;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

// The names of the stock cursors in form descriptions ("crHandPoint").
std::span<const TIdentMapEntry> CursorIdentMap();
bool CursorToIdent(Integer Cursor, AnsiString& Ident);
bool IdentToCursor(const AnsiString& Ident, Integer& Cursor);
// The name, or the number for a cursor without one.
AnsiString CursorToString(TCursor Cursor);
// Raises EConvertError for text that is neither a name nor a number.
TCursor StringToCursor(const AnsiString& S);

// ---- Events -------------------------------------------------------------------

using TWndMethod = TClosure<void(TMessage& Message)>;
using TMouseEvent = TClosure<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = TClosure<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TKeyEvent = TClosure<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TClosure<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent =
    TClosure<void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TClosure<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = TClosure<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TClosure<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TClosure<void(TObject* Sender, Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight)>;
using TDragOverEvent =
    TClosure<void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TClosure<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
using TStartDragEvent = TClosure<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TClosure<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;
using TAlignInsertBeforeEvent = TClosure<bool(TWinControl* Sender, TControl* C1, TControl* C2)>;
using TAlignPositionEvent = TClosure<void(TWinControl* Sender, TControl* Control, Integer& NewLeft, Integer& NewTop,
                                          Integer& NewWidth, Integer& NewHeight, TRect& AlignRect)>;

// ---- Size constraints ------------------------------------------------------------

// Limits of a control's size; 0 means no limit. Raising a minimum above
// the maximum raises the maximum with it, and the other way round.
class TSizeConstraints : public TPersistent {
  RTL_CLASS(TSizeConstraints, TPersistent)
  TControl* FControl;
  Integer FMaxHeight = 0;
  Integer FMaxWidth = 0;
  Integer FMinHeight = 0;
  Integer FMinWidth = 0;

 protected:
  virtual void Change();
  void AssignTo(TPersistent* Dest) override;

 public:
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}

  TControl* Control() const { return FControl; }
  Integer MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(Integer Value);
  Integer MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(Integer Value);
  Integer MinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value);
  Integer MinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value);

  TNotifyEvent OnChange;
};

// ---- A weak link to a control ------------------------------------------------------

// Goes null when the control is destroyed. Code that calls out to handlers
// that may run a nested loop or free the control checks it afterwards.
class TControlLink {
  std::shared_ptr<TControl*> FTarget;

 public:
  TControlLink() = default;
  explicit TControlLink(TControl* Control);
  TControl* Get() const { return FTarget ? *FTarget : nullptr; }
  explicit operator bool() const { return Get() != nullptr; }
};

// ---- Drag objects -------------------------------------------------------------------

// What a drag carries: the framework's default drags a control.
class TDragObject : public TObject {
  RTL_CLASS(TDragObject, TObject)

 public:
  // The cursor at screen point (X, Y): crDrag where the control under the
  // mouse accepts the drag, crNoDrop elsewhere.
  virtual TCursor GetDragCursor(bool Accepted, Integer X, Integer Y);
  // The images that follow the mouse (none by default). The drag asks
  // again at every move, so that a source may change them.
  virtual TDragImageList* GetDragImages();
  // Show or hide the drag images (a control that paints during the drag
  // hides them first).
  virtual void ShowDragImage();
  virtual void HideDragImage();
  // The drag ended: dropped on Target (Accepted) or not.
  virtual void Finished(TObject* Target, Integer X, Integer Y, bool Accepted);
};

// Drags a control: the control's DragCursor where the drag is accepted,
// crNoDrop elsewhere; its GetDragImages; its OnEndDrag at the end (with no
// target when not dropped).
class TDragControlObject : public TDragObject {
  RTL_CLASS(TDragControlObject, TDragObject)
  TControl* FControl;

 public:
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  TDragImageList* GetDragImages() override;
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;
};

// ---- TControl -------------------------------------------------------------------------

class TControlActionLink;

class TControl : public TComponent {
  RTL_CLASS(TControl, TComponent)
  friend class TWinControl;
  friend class TCustomForm;
  friend class TApplication;
  friend class TControlActionLink;
  friend class TControlLink;
  friend class TDragControlObject;

  TWinControl* FParent = nullptr;
  TWndMethod FWindowProc;
  Integer FLeft = 0;
  Integer FTop = 0;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TControlStyle FControlStyle;
  TControlState FControlState;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentFont = true;
  bool FParentColor = true;
  bool FParentShowHint = true;
  bool FParentBiDiMode = true;
  bool FShowHint = false;
  bool FAutoSize = false;
  bool FAnchorMove = false;
  bool FIsControl = false;
  Integer FWheelAccumulator = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TPoint FAnchorRules;
  TPoint FOriginalParentSize;
  std::unique_ptr<TSizeConstraints> FConstraints;
  std::unique_ptr<TFont> FFont;
  TColor FColor = clWindow;
  TCursor FCursor = crDefault;
  TCursor FDragCursor = crDrag;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TBiDiMode FBiDiMode = bdLeftToRight;
  AnsiString FText;
  AnsiString FHint;
  THelpType FHelpType = htContext;
  THelpContext FHelpContext = 0;
  AnsiString FHelpKeyword;
  TComponent* FPopupMenu = nullptr;
  std::unique_ptr<TControlActionLink> FActionLink;
  std::shared_ptr<TControl*> FLink;

  void FontChanged(TObject* Sender);
  void DoConstraintsChange(TObject* Sender);
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  void DoActionChange(TObject* Sender);
  bool CheckNewSize(Integer& NewWidth, Integer& NewHeight);
  bool DoCanResize(Integer& NewWidth, Integer& NewHeight);
  bool DoCanAutoSize(Integer& NewWidth, Integer& NewHeight);
  void DoConstrainedResize(Integer& NewWidth, Integer& NewHeight);
  void BeginAutoDrag();
  bool DragMouseMessage(TMessage& Message);
  // Ends a drag this control is the source of, without events (it is
  // going away).
  void DragSourceDestroyed();

 protected:
  // ---- Message handlers (one per message; the inherited one is called
  // by overrides that add to it).
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonDblClk(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMParentBiDiModeChanged(TMessage& Message);
  virtual void CMBiDiModeChanged(TMessage& Message);
  virtual void CMCursorChanged(TMessage& Message);
  virtual void CMMouseWheel(TMessage& Message);
  virtual void CMHintShow(TMessage& Message);
  virtual void CMDrag(TMessage& Message);

  // ---- Overridable behaviour
  virtual void AdjustSize();
  virtual bool CanAutoSize(Integer& NewWidth, Integer& NewHeight);
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  virtual void ConstrainedResize(Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight);
  virtual void Changed();
  virtual void Click();
  virtual void DblClick();
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Resize();
  virtual void RequestAlign();
  virtual void SetZOrder(bool TopMost);
  virtual void SetParentComponent(TComponent* Value) override;
  virtual void UpdateBoundsRect(const TRect& R);
  virtual void VisibleChanging();
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual TPoint GetClientOrigin();
  virtual TRect GetClientRect();
  virtual AnsiString GetText();
  virtual bool GetEnabled() const { return FEnabled; }
  virtual TComponent* GetPopupMenu();
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  virtual void DragCanceled();
  // The images a drag of this control shows (none by default); they show
  // over the controls with csDisplayDragImage.
  virtual TDragImageList* GetDragImages();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  void UpdateAnchorRules();
  bool MouseCapture();
  void SetMouseCapture(bool Value);
  // Whether the control is streamed as a control of its own (a frame).
  bool IsControl() const { return FIsControl; }
  void SetIsControl(bool Value) { FIsControl = Value; }

 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- Overridable setters of public properties
  virtual void SetText(const AnsiString& Value);
  virtual void SetEnabled(bool Value);
  virtual void SetAutoSize(bool Value);
  virtual void SetAlign(TAlign Value);
  virtual void SetParentBiDiMode(bool Value);
  virtual void SetBiDiMode(TBiDiMode Value);
  virtual void SetDragMode(TDragMode Value);

  // ---- Messages
  const TWndMethod& WindowProc() const { return FWindowProc; }
  void SetWindowProc(const TWndMethod& Value) { FWindowProc = Value; }
  // Sends a message straight to WindowProc; answers its Result.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  virtual void WndProc(TMessage& Message);
  // Calls the handler of Message.Msg; DefaultHandler when there is none.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // ---- Bounds
  Integer Left() const { return FLeft; }
  void SetLeft(Integer Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  Integer Top() const { return FTop; }
  void SetTop(Integer Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect BoundsRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  TRect ClientRect() { return GetClientRect(); }
  Integer ClientWidth() { return GetClientRect().Right; }
  void SetClientWidth(Integer Value);
  Integer ClientHeight() { return GetClientRect().Bottom; }
  void SetClientHeight(Integer Value);
  void SetClientSize(TPoint Value);
  // The screen position of the client area's top left. Raises
  // EInvalidOperation "Control '%s' has no parent window" for a control
  // that is not in a window.
  TPoint ClientOrigin() { return GetClientOrigin(); }
  TPoint ClientToScreen(const TPoint& Point);
  TPoint ScreenToClient(const TPoint& Point);
  // A point of the client area in the client coordinates of AParent (the
  // parent when null), which must be one of the control's parents: raises
  // EInvalidOperation "Control '%s' has no parent window" or "Parent given
  // is not a parent of '%s'".
  TPoint ClientToParent(const TPoint& Point, TWinControl* AParent = nullptr);
  TPoint ParentToClient(const TPoint& Point, TWinControl* AParent = nullptr);
  TAlign Align() const { return FAlign; }
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }

  // ---- Tree and state
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show();
  void Hide();
  bool Enabled() const { return GetEnabled(); }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  bool Dragging();
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrderPosition(Integer Position);

  // ---- Appearance
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  // What the bidirectional mode asks of the control: text aligned from the
  // right (bdRightToLeft), read from the right (every right-to-left mode),
  // the vertical scroll bar on the left (bdRightToLeft and
  // bdRightToLeftNoAlign).
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftScrollBar() const { return FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign; }
  bool IsRightToLeft() const {
    return UseRightToLeftReading() || UseRightToLeftAlignment() || UseRightToLeftScrollBar();
  }
  // DrawText flags for the mode: DT_RTLREADING added when reading from the
  // right; with right alignment DT_LEFT and DT_RIGHT swap (DT_CENTER
  // stays).
  LongInt DrawTextBiDiModeFlags(LongInt Flags) const;
  // DT_RTLREADING when reading from the right, else 0.
  LongInt DrawTextBiDiModeFlagsReadingOnly() const;
  AnsiString Caption() { return GetText(); }
  void SetCaption(const AnsiString& Value) { SetText(Value); }
  AnsiString Text() { return GetText(); }
  // Copies the text into Buffer (at most BufSize - 1 bytes and a zero);
  // answers the length copied.
  Integer GetTextBuf(char* Buffer, Integer BufSize);
  Integer GetTextLen();
  void SetTextBuf(const char* Buffer);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  // The control's help: by context number (htContext, the default) or by
  // keyword. F1 asks for the focused control's, or its nearest parent's
  // that has one.
  THelpType HelpType() const { return FHelpType; }
  void SetHelpType(THelpType Value) { FHelpType = Value; }
  THelpContext HelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext Value) { FHelpContext = Value; }
  const AnsiString& HelpKeyword() const { return FHelpKeyword; }
  void SetHelpKeyword(const AnsiString& Value) { FHelpKeyword = Value; }
  TComponent* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* Value);
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragMode DragMode() const { return FDragMode; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }

  // ---- Painting
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // ---- Actions
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }
  // Lets the action update this control's state (at idle).
  virtual void InitiateAction();

  // Cancels the modes of the forms this control sits on (their active
  // control gets CM_CANCELMODE with Sender).
  void SendCancelMode(TControl* Sender);

  // ---- Drag and drop
  void BeginDrag(bool Immediate, Integer Threshold = -1);
  void EndDrag(bool Drop);

  void SetName(const AnsiString& NewName) override;
  void Loaded() override;
  // Reads the control from a description: its parent hears of it (its
  // colour, font and hints reach it) once it is read.
  void ReadState(TReader* Reader) override;

  TControlLink Link() const;

  // Stored rules of published properties: a value taken from the parent
  // or from the action is not written.
  bool IsFontStored() const { return !FParentFont; }
  bool IsColorStored() const { return !FParentColor; }
  bool IsShowHintStored() const { return !FParentShowHint; }
  bool IsBiDiModeStored() const { return !FParentBiDiMode; }
  bool IsCaptionStored() const;
  bool IsEnabledStored() const;
  bool IsHintStored() const;
  bool IsHelpContextStored() const;
  bool IsVisibleStored() const;
  bool IsOnClickStored() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TContextPopupEvent OnContextPopup;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
};

// The link of a control that follows an action: caption, enabled, hint,
// visible, the click handler and help context.
class TControlActionLink : public TActionLink {
  RTL_CLASS(TControlActionLink, TActionLink)

 protected:
  TControl* FClient = nullptr;
  void AssignClient(TObject* AClient) override;

 public:
  explicit TControlActionLink(TObject* AClient);
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsHelpContextLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const AnsiString& Value) override;
  void SetHelpContext(THelpContext Value) override;
  void SetVisible(bool Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;
};

// ---- TWinControl -------------------------------------------------------------------

// What CreateWnd asks the window system for.
struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0;
  Integer Y = 0;
  Integer Width = 0;
  Integer Height = 0;
  HWND WndParent = nullptr;
  LPVOID Param = nullptr;
  WNDCLASSA WindowClass{};
  AnsiString WinClassName;
};

// A control with a window of its own, made when first needed (Handle) and
// shown with its parents. Its children are aligned whether or not the
// window exists yet: without one, the client area is what the styles of
// CreateParams leave of the bounds.
//
// When a control is deleted, its children's windows are destroyed first,
// while the children are whole objects; its own window goes in
// TWinControl's destructor, where overrides of the derived classes no
// longer run. A class whose DestroyWnd or WM_DESTROY handling must run
// for itself calls DestroyHandle in its own destructor (forms do it in
// BeforeDestruction).
class TWinControl : public TControl {
  RTL_CLASS(TWinControl, TControl)
  friend class TControl;
  friend class TCustomForm;
  friend class TApplication;

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;      // graphic children, bottom to top
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom to top
  std::vector<TWinControl*> FTabList;
  std::unique_ptr<TBrush> FBrush;
  Integer FAlignLevel = 0;
  Integer FTabOrderLoading = -1;
  bool FTabStop = false;
  bool FShowing = false;
  bool FDoubleBuffered = false;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FMeasuring = false;  // CreateParams runs only to learn the styles
  // The non-client inset and bevels inside the window's own frame.
  Integer FBorderWidth = 0;
  TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  TBevelKind FBevelKind = bkNone;
  Integer FBevelWidth = 1;

  // The frame changed: the window computes its client area again.
  void BorderChanged();

  void Insert(TControl* AControl);
  void Remove(TControl* AControl);
  void UpdateTabOrder(Integer Value);
  // Puts the children read from a description in the tab order they were
  // read with.
  void FixupTabList();
  void UpdateBounds();
  HWND PrecedingWindow(TWinControl* Control);
  bool IsControlMouseMsg(TMessage& Message);
  void BrushChanged(TObject* Sender);
  void AlignControlsNow(TControl* AControl);
  // The window procedure of every control's window class.
  static LRESULT InitWndProc(HWND hwnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT MainWndProc(UINT Msg, WPARAM WParam, LPARAM LParam);

 protected:
  // ---- Message handlers
  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message) override;
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMSysKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  virtual void WMCommand(TMessage& Message);
  virtual void WMNotify(TMessage& Message);
  virtual void WMCtlColor(TMessage& Message);
  virtual void WMDrawItem(TMessage& Message);
  virtual void WMMeasureItem(TMessage& Message);
  virtual void WMScroll(TMessage& Message);
  // WM_DELETEITEM, WM_COMPAREITEM, WM_VKEYTOITEM and WM_CHARTOITEM.
  virtual void WMListItem(TMessage& Message);
  virtual void WMNCHitTest(TMessage& Message);
  // BorderWidth on every side and the bevel edges inside the default frame.
  virtual void WMNCCalcSize(TMessage& Message);
  // The bevel edges, after the default frame.
  virtual void WMNCPaint(TMessage& Message);
  void WMContextMenu(TMessage& Message) override;
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNKeyUp(TMessage& Message);
  virtual void CNChar(TMessage& Message);
  virtual void CNSysKeyDown(TMessage& Message);
  virtual void CNSysChar(TMessage& Message);
  virtual void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  virtual void CMShowHintChanged(TMessage& Message);
  void CMBiDiModeChanged(TMessage& Message) override;
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMChildKey(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMFocusChanged(TMessage& Message);
  virtual void CMRecreateWnd(TMessage& Message);
  virtual void CMInvalidate(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);
  virtual void CMSysFontChanged(TMessage& Message);
  virtual void CMControlListChange(TMessage& Message);
  virtual void CMParentCtl3DChanged(TMessage& Message);
  virtual void CMCursorChanged(TMessage& Message) override;

  // ---- Handles
  virtual void CreateParams(TCreateParams& Params);
  // Makes Params a subclass of a registered window class (its procedure
  // becomes the default window procedure).
  void CreateSubClass(TCreateParams& Params, LPCSTR ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  void SetHandle(HWND Value) { FHandle = Value; }
  WNDPROC DefWndProc() const { return FDefWndProc; }
  void SetDefWndProc(WNDPROC Value) { FDefWndProc = Value; }

  // ---- Layout
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  virtual bool CustomAlignInsertBefore(TControl* C1, TControl* C2);
  virtual void CustomAlignPosition(TControl* Control, Integer& NewLeft, Integer& NewTop, Integer& NewWidth,
                                   Integer& NewHeight, TRect& AlignRect);
  virtual void ControlsAligned() {}
  void AdjustSize() override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void RequestAlign() override;
  void SetZOrder(bool TopMost) override;
  TPoint GetClientOrigin() override;
  TRect GetClientRect() override;
  // The client rectangle the window would have at the current size (with
  // no handle yet, from the styles CreateParams asks for).
  TRect CalcClientRect();

  // ---- Painting
  // WM_PAINT's work: the window (less its opaque graphic children), then
  // the graphic children; with the message's DC, or between BeginPaint
  // and EndPaint.
  void PaintHandler(TMessage& Message);
  virtual void PaintWindow(HDC DC);
  // Paints the graphic children over DC (those above First, or all).
  void PaintControls(HDC DC, TControl* First);

  // ---- Keys and focus
  virtual bool DoKeyDown(TMessage& Message);
  virtual bool DoKeyPress(TMessage& Message);
  virtual bool DoKeyUp(TMessage& Message);
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void DoEnter();
  virtual void DoExit();
  // Popup menus of this control and its parents, then the form's
  // shortcuts (its action lists, OnShortCut) and the application's.
  bool IsMenuKey(TMessage& Message);
  void SelectFirst();
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void RemoveFocus(bool Removing);
  // Makes this control's window show or hide with its state.
  void UpdateShowing();
  void UpdateControlState();

 public:
  explicit TWinControl(TComponent* AOwner);
  // A control that lives in a window that is not one of ours.
  TWinControl(TComponent* AOwner, HWND ParentWindow);
  ~TWinControl() override;

  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

  // ---- Handles
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  void DestroyHandle();
  // Destroys the window; the next use of Handle makes a new one.
  void RecreateWnd();
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);
  bool Showing() const { return FShowing; }

  // ---- Children
  Integer ControlCount() const { return static_cast<Integer>(FControls.size() + FWinControls.size()); }
  // The graphic children first, then the windowed ones, each bottom to top.
  TControl* Controls(Integer Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The topmost visible child at Pos (client coordinates), enabled unless
  // AllowDisabled; windowed children only with AllowWinControls.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
  TControl* FindChildControl(const AnsiString& ControlName);
  // Sends Message to each child until one answers non-zero.
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);

  // ---- Layout
  void DisableAlign();
  void EnableAlign();
  void Realign();
  void AlignControl(TControl* AControl);
  bool AlignDisabled() const { return FAlignLevel != 0; }
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  // ---- Focus and tabs
  virtual bool CanFocus();
  bool Focused();
  virtual void SetFocus();
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  // This control's descendants in tab order (each container before its
  // children).
  virtual void GetTabOrderList(std::vector<TWinControl*>& List);
  Integer TabOrder() const;
  void SetTabOrder(Integer Value);
  bool TabStop() const { return FTabStop; }
  virtual void SetTabStop(bool Value);

  // ---- Appearance
  TBrush* Brush() const { return FBrush.get(); }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  // Whether the control lets its parent's background show (the
  // csParentBackground style).
  bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  void SetParentBackground(bool Value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  void PaintTo(HDC DC, Integer X, Integer Y);
  // The inset the window keeps inside its frame on every side.
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);
  TBevelEdges BevelEdges() const { return FBevelEdges; }
  void SetBevelEdges(TBevelEdges Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  // bkNone: no bevel is drawn, whatever the cuts say.
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind Value);
  Integer BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetZOrderPosition(Integer Position) override;
  void SetParent(TWinControl* AParent) override;
  // Reads with the alignment held back, then takes the tab order the
  // children were read with.
  void ReadState(TReader* Reader) override;
  bool IsCtl3DStored() const { return !FParentCtl3D; }
  // Asks the parents to show AControl (a page control brings its page to
  // the front).
  virtual void ShowControl(TControl* AControl);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TAlignInsertBeforeEvent OnAlignInsertBefore;
  TAlignPositionEvent OnAlignPosition;
};

// ---- TGraphicControl and TCustomControl -----------------------------------------

// A control without a window: its parent paints it (WM_PAINT with the
// parent's DC, offset and clipped to the control) and routes the mouse
// messages over it to it.
class TGraphicControl : public TControl {
  RTL_CLASS(TGraphicControl, TControl)
  std::unique_ptr<TCanvas> FCanvas;

 protected:
  virtual void WMPaint(TMessage& Message);
  virtual void Paint() {}

 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  void Dispatch(TMessage& Message) override;
  TCanvas* Canvas() const { return FCanvas.get(); }
};

// A window with a canvas: Paint draws the client area.
class TCustomControl : public TWinControl {
  RTL_CLASS(TCustomControl, TWinControl)
  std::unique_ptr<TCanvas> FCanvas;

 protected:
  void WMPaint(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  virtual void Paint() {}

 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
};

// A canvas that draws on a control: while not handed a DC it takes the
// control's own (a window DC, or the parent's clipped to a graphic
// control) and gives it back when freed or when the control loses its
// window.
class TControlCanvas : public TCanvas {
  RTL_CLASS(TControlCanvas, TCanvas)
  friend class TWinControl;
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;

 protected:
  void CreateHandle() override;

 public:
  ~TControlCanvas() override;
  // Gives the DC back to the window it came from.
  void FreeHandle();
  TControl* Control() const { return FControl; }
  void SetControl(TControl* AControl);
};

// ---- Popup menus -----------------------------------------------------------------

// What the popup menu classes do for controls, installed by them (a
// control's PopupMenu is any component until they exist): Popup shows
// Menu for Control at a screen point and answers whether it did (a menu
// that does not pop up by itself answers false); IsShortCut runs the item
// of Menu that has the key of a key message (CharCode in WParam, KeyData
// in LParam) and answers whether there was one. Empty steps do nothing.
struct TPopupMenuHooks {
  std::function<bool(TComponent* Menu, TControl* Control, TPoint Pos)> Popup;
  std::function<bool(TComponent* Menu, TMessage& Message)> IsShortCut;
};
TPopupMenuHooks& PopupMenuHooks();

// ---- Functions --------------------------------------------------------------------

// Ends the drag that runs, if any, without a drop.
void CancelDrag();
// The control of one of our windows; null for a foreign or stale handle.
TWinControl* FindControl(HWND Handle);
// The deepest of our controls at a screen position.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control at a screen position, graphic ones included.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The control that holds the mouse capture (a graphic control through its
// parent's window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The form a control sits on (through its parents); null when none.
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);
// GetParentForm, raising EInvalidOperation "Control '%s' has no parent
// form" when there is none.
TCustomForm* ValidParentForm(TControl* Control, bool TopForm = true);
// A hidden window whose messages go to Method (for objects that need a
// window to receive timers or posted messages); DeallocateHWnd destroys it.
HWND AllocateHWnd(const TWndMethod& Method);
void DeallocateHWnd(HWND Wnd);
// Whether Str marks VK as its accelerator ("&x").
bool IsAccel(Word VK, const AnsiString& Str);
// The part of a hint before "|" / after it (the whole hint when none).
AnsiString GetShortHint(const AnsiString& Hint);
AnsiString GetLongHint(const AnsiString& Hint);
