// Forms, the application object and its loop, the screen, the mouse and
// hints.
//
// A form is created in code with Create<T>(Owner) (or the application's
// CreateForm), which runs the form's description reader (ReadDescription)
// and then OnCreate once the object is whole. A form is freed with Free()
// (or Release() from its own handlers), which runs OnDestroy and destroys
// the window while the form is still whole; a plain delete does the same
// from TCustomForm's destructor, after the derived parts are gone.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/rtl/stringlist.h"

class THintWindow;
class TForm;

// What a form designer offers the components of the form it edits. There
// is no form designer at run time, so no form has one.
class IDesignerHook {
 public:
  virtual ~IDesignerHook() = default;
  // The form's description changed and should be stored.
  virtual void Modified() = 0;
};
class TIcon;

// ---- Types ---------------------------------------------------------------------

enum TCloseAction { caNone, caHide, caFree, caMinimize };
RTL_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
using TFormBorderStyle = TBorderStyle;
RTL_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon, 4>;
RTL_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
         poMainFormCenter, poOwnerFormCenter)
RTL_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
RTL_ENUM(TTileMode, tbHorizontal, tbVertical)
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem, 8>;

using TModalResult = Integer;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TClosure<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TClosure<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TClosure<void(TMessage& Msg, bool& Handled)>;
using TIdleEvent = TClosure<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TClosure<void(MSG& Msg, bool& Handled)>;
using TExceptionEvent = TClosure<void(TObject* Sender, Exception* E)>;

// ---- Help ------------------------------------------------------------------------------

// Answers whether the handler gave the help; CallHelp false keeps the help
// file out of it.
using THelpEvent = TClosure<bool(Word Command, NativeInt Data, bool& CallHelp)>;

// What help is asked for (the Command of HelpCommand).
#ifndef HELP_CONTEXT
#define HELP_CONTEXT 0x0001
#define HELP_QUIT 0x0002
#define HELP_CONTENTS 0x0003
#define HELP_HELPONHELP 0x0004
#define HELP_SETCONTENTS 0x0005
#define HELP_CONTEXTPOPUP 0x0008
#define HELP_FORCEFILE 0x0009
#define HELP_CONTEXTMENU 0x000A
#define HELP_FINDER 0x000B
#define HELP_WM_HELP 0x000C
#define HELP_KEY 0x0101
#define HELP_COMMAND 0x0102
#define HELP_PARTIALKEY 0x0105
#endif

// ---- TScrollingWinControl ---------------------------------------------------------

class TScrollingWinControl;

RTL_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
RTL_ENUM(TScrollBarStyle, ssRegular, ssFlat, ssHotTrack)
using TScrollBarInc = Integer;

// One of the two scroll bars of a scrolling control, shown on the
// control's own window. Range is the extent of the
// content; the bar shows when the range is larger than the client area,
// and Position is how far the content has moved (0 to Range less the
// client size).
class TControlScrollBar : public TPersistent {
  RTL_CLASS(TControlScrollBar, TPersistent)
  friend class TScrollingWinControl;

  TScrollingWinControl* FControl;
  TScrollBarKind FKind;
  TScrollBarInc FIncrement = 8;
  Integer FPageIncrement = 80;
  Integer FPosition = 0;
  Integer FRange = 0;
  Integer FCalcRange = 0;
  Integer FMargin = 0;
  Integer FSize = 0;
  Integer FButtonSize = 0;
  TScrollBarStyle FStyle = ssRegular;
  bool FVisible = true;
  bool FTracking = false;

  TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind) : FControl(AControl), FKind(AKind) {}
  // The window's bar: SB_HORZ or SB_VERT.
  int Bar() const;
  // The client size along the bar with the other bar as it is
  // (ControlSB), or as if it were shown (AssumeSB) or hidden.
  Integer ControlSize(bool ControlSB, bool AssumeSB);
  bool NeedsScrollBarVisible();
  void DoSetRange(Integer Value);
  void ScrollMessage(TMessage& Message);
  void Update(bool ControlSB, bool AssumeSB);

 protected:
  void AssignTo(TPersistent* Dest) override;

 public:
  // Whether the bar shows on the window now.
  bool IsScrollBarVisible();
  // Position while the bar shows, else 0.
  Integer ScrollPos();
  bool IsRangeStored() const;

  TScrollBarKind Kind() const { return FKind; }
  TScrollBarInc Increment() const { return FIncrement; }
  void SetIncrement(TScrollBarInc Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value);
  // Setting a range by hand ends the control's AutoScroll.
  Integer Range() const { return FRange; }
  void SetRange(Integer Value);
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Whether dragging the thumb scrolls at once (else on release).
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // Kept for descriptions; the bars take the system's sizes and look.
  Integer Size() const { return FSize; }
  void SetSize(Integer Value) { FSize = Value; }
  Integer ButtonSize() const { return FButtonSize; }
  void SetButtonSize(Integer Value) { FButtonSize = Value; }
  TScrollBarStyle Style() const { return FStyle; }
  void SetStyle(TScrollBarStyle Value) { FStyle = Value; }
};

// A container whose content may be larger than its client area: its
// window's scroll bars move the children. With AutoScroll the ranges
// follow the children's bounds.
class TScrollingWinControl : public TWinControl {
  RTL_CLASS(TScrollingWinControl, TWinControl)
  friend class TControlScrollBar;

  std::unique_ptr<TControlScrollBar> FHorzScrollBar;
  std::unique_ptr<TControlScrollBar> FVertScrollBar;
  bool FAutoScroll = false;
  bool FUpdatingScrollBars = false;
  Integer FAutoRangeCount = 0;

 protected:
  void WMSize(TMessage& Message) override;
  void WMScroll(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void CreateWnd() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  // The ranges from the children's bounds (AutoScroll only).
  void CalcAutoRange();
  void UpdateScrollBars();

 public:
  explicit TScrollingWinControl(TComponent* AOwner);
  ~TScrollingWinControl() override;

  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value);
  TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
  TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }
  // Holds the ranges while many children change; the last Enable
  // computes them.
  void DisableAutoRange();
  void EnableAutoRange();
  // Moves the content (the children) by DeltaX, DeltaY.
  void ScrollBy(Integer DeltaX, Integer DeltaY);
  // Scrolls so that AControl (a descendant) shows, with the margins.
  void ScrollInView(TControl* AControl);
  // ScrollInView for a control that got the focus.
  virtual void AutoScrollInView(TControl* AControl);
};

// A bordered scrolling container for a form's controls.
class TScrollBox : public TScrollingWinControl {
  RTL_CLASS(TScrollBox, TScrollingWinControl)
  TFormBorderStyle FBorderStyle = bsSingle;

 protected:
  void CreateParams(TCreateParams& Params) override;

 public:
  explicit TScrollBox(TComponent* AOwner);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
};

// ---- Forms ---------------------------------------------------------------------------

class TCustomForm : public TScrollingWinControl {
  RTL_CLASS(TCustomForm, TScrollingWinControl)
  friend class TApplication;
  friend class TWinControl;

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormBorderStyle FBorderStyle = bsSizeable;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormState FFormState;
  TModalResult FModalResult = mrNone;
  bool FKeyPreview = false;
  bool FOldCreateOrder = false;
  bool FActive = false;
  bool FCreated = false;
  bool FDestroyingDone = false;
  Integer FFocusCount = 0;
  HWND FClientHandle = nullptr;
  TTileMode FTileMode = tbHorizontal;
  AnsiString FHelpFile;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TIcon> FIcon;

  void SetWindowFocus();
  void IconChanged(TObject* Sender);
  void CloseModal();
  void PositionOnShow();

 protected:
  void WMClose(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMSize(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void CMActivate(TMessage& Message);
  void CMDeactivate(TMessage& Message);
  void CMRelease(TMessage& Message);
  void CMIconChanged(TMessage& Message);
  void WMActivateApp(TMessage& Message);
  void WMGetMinMaxInfo(TMessage& Message);
  void CMShowingChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void WMMDIActivate(TMessage& Message);
  // F1 (or a click in context-help mode) on one of the form's windows.
  void WMHelp(TMessage& Message);

  // Reads the form's description (its components and properties) once,
  // before OnCreate: by default the program's resources named after the
  // form's class and its ancestors below TForm; a form without one is
  // built in code.
  virtual void ReadDescription();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void PaintWindow(HDC DC) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // A document form (fsMDIChild) is made and destroyed through the main
  // form's MDI client.
  void CreateWindowHandle(const TCreateParams& Params) override;
  void DestroyWindowHandle() override;
  // The MDI client of a frame takes what the aligned controls leave.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void SetActive(bool Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The screen resolution and text height a description was made at
  // (read and written; the layout is not scaled).
  void DefineProperties(TFiler* Filer) override;
  // The child controls, then (for the form as the root) the components it
  // owns that sit on no parent: image lists, timers, menus, action lists.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Creates a form of class T and runs its construction steps (the
  // description, then OnCreate).
  template <class T>
  static T* Create(TComponent* AOwner) {
    T* Form = new T(AOwner);
    Form->AfterConstruction();
    return Form;
  }
  // The construction steps that need the whole object; Create and
  // CreateForm call it. Runs once.
  void AfterConstruction();
  // OnDestroy, hiding and destroying the window while the form is whole.
  void BeforeDestruction();
  // BeforeDestruction, then delete.
  void Free();
  // Frees the form once the messages queued now are handled (safe from
  // the form's own handlers).
  void Release();

  void Dispatch(TMessage& Message) override;
  // A frame's messages go on to the frame procedure with its MDI client.
  void DefaultHandler(TMessage& Message) override;

  // While the description is read, Visible is only remembered; the form
  // shows after OnCreate.
  void SetVisible(bool Value) override;
  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose decides: hide (caHide, the default),
  // free (caFree), minimise or nothing. Closing the main form ends the
  // application; closing a modal form sets ModalResult to mrCancel.
  void Close();
  virtual bool CloseQuery();
  // Shows the form and runs a loop until ModalResult is set; every other
  // form is disabled meanwhile. Raises EInvalidOperation "Cannot make a
  // visible window modal" for a visible or disabled form.
  virtual TModalResult ShowModal();
  void SetFocus() override;
  bool CanFocus() override;
  // Makes Control the active control and focuses it; activates the form.
  void FocusControl(TWinControl* Control);
  // Records Control as focused: CM_DEACTIVATE/CM_ACTIVATE between forms,
  // CM_EXIT up from the old control, CM_ENTER down to the new one. False
  // when a handler moved the focus meanwhile.
  bool SetFocusedControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  // Action lists owned by the form (and by its components), OnShortCut.
  virtual bool IsShortCut(TMessage& Message);
  void SendCancelMode(TControl* Sender);
  // Lets the actions of the form's action lists and controls update.
  virtual void UpdateActions();

  TWinControl* ActiveControl() const { return FActiveControl; }
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window"
  // for a control that cannot take the focus.
  void SetActiveControl(TWinControl* Control);
  bool Active() const { return FActive; }
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TFormState FormState() const { return FFormState; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  // Kept for descriptions that name it; OnCreate always runs once the
  // whole form is made.
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
  // A scrolling form stores its outer size, another its client size.
  bool IsFormSizeStored() const { return AutoScroll(); }
  bool IsClientSizeStored() const { return !AutoScroll(); }
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The form's own icon; empty, the application's shows.
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value);
  HICON GetIconHandle();
  // The monitor that holds most of the form.
  HMONITOR Monitor();
  // The designer editing the form; none at run time.
  virtual IDesignerHook* Designer() const { return nullptr; }

  // ---- MDI. A frame (fsMDIForm) holds its document forms (fsMDIChild,
  // which need the application's main form to be a frame) in the window
  // of its MDI client. A document form shows once made and cannot hide;
  // closing it minimises it unless OnClose says otherwise.
  HWND ClientHandle() const { return FClientHandle; }
  TForm* ActiveMDIChild();
  Integer MDIChildCount();
  TForm* MDIChildren(Integer Index);
  // The next (previous) document becomes the active one.
  void Next();
  void Previous();
  void Cascade();
  // Side by side (tbVertical) or above each other (tbHorizontal).
  void Tile();
  // Minimised documents in a row along the bottom.
  void ArrangeIcons();
  TTileMode TileMode() const { return FTileMode; }
  void SetTileMode(TTileMode Value) { FTileMode = Value; }

  // ---- Help. The form's own help file wins over the application's while
  // the form is active.
  const AnsiString& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const AnsiString& Value) { FHelpFile = Value; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;
};

// A form with its properties and events published for form descriptions.
class TForm : public TCustomForm {
  RTL_CLASS(TForm, TCustomForm)

 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---- Hints -----------------------------------------------------------------------------

// What a hint about to show looks like; CM_HINTSHOW and OnShowHint may
// change it.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos;
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;
  TPoint CursorPos;
  Integer ReshowTimeout = 0;
  Integer HideTimeout = 0;
  AnsiString HintStr;
  void* HintData = nullptr;
};
using TShowHintEvent = TClosure<void(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// The popup that shows a hint.
class THintWindow : public TCustomControl {
  RTL_CLASS(THintWindow, TCustomControl)

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMNCHitTest(TMessage& Message) override;

 public:
  explicit THintWindow(TComponent* AOwner);
  // The size the hint needs for AHint, at most MaxWidth wide.
  virtual TRect CalcHintRect(Integer MaxWidth, const AnsiString& AHint, void* AData);
  // Shows AHint at Rect (screen), kept on the desktop, without taking
  // the focus.
  virtual void ActivateHint(TRect Rect, const AnsiString& AHint);
  virtual void ActivateHintData(const TRect& Rect, const AnsiString& AHint, void* AData);
  // Whether Msg (a key or a click) should take the hint away.
  virtual bool IsHintMsg(const MSG& Msg);
  void ReleaseHandle() { DestroyHandle(); }
};

// The class the application makes hint windows of.
extern TClass HintWindowClass;

// ---- The screen and the mouse ------------------------------------------------------

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TMonitor : public TObject {
  RTL_CLASS(TMonitor, TObject)
  HMONITOR FHandle;
  Integer FMonitorNum;

 public:
  TMonitor(HMONITOR Handle, Integer Num) : FHandle(Handle), FMonitorNum(Num) {}
  HMONITOR Handle() const { return FHandle; }
  Integer MonitorNum() const { return FMonitorNum; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  bool Primary() const;
  Integer Left() const { return BoundsRect().Left; }
  Integer Top() const { return BoundsRect().Top; }
  Integer Width() const { return BoundsRect().Width(); }
  Integer Height() const { return BoundsRect().Height(); }
};

class TScreen : public TComponent {
  RTL_CLASS(TScreen, TComponent)
  friend class TCustomForm;
  friend class TApplication;

  std::vector<TCustomForm*> FCustomForms;  // most recently active first
  std::vector<TForm*> FForms;
  std::vector<TCustomForm*> FSaveFocusedList;
  std::vector<std::pair<TCursor, HCURSOR>> FCursorList;
  std::vector<std::unique_ptr<TMonitor>> FMonitors;
  std::unique_ptr<TStringList> FFonts;
  std::unique_ptr<TFont> FHintFont;
  TCustomForm* FActiveCustomForm = nullptr;
  TForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  TCustomForm* FLastActiveCustomForm = nullptr;
  TWinControl* FLastActiveControl = nullptr;
  TCursor FCursor = crDefault;
  Integer FCursorCount = 0;
  HCURSOR FDefaultCursor = nullptr;

  void AddForm(TCustomForm* AForm);
  void RemoveForm(TCustomForm* AForm);
  void UpdateLastActive();
  void GetMonitors();

 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  Integer Width();
  Integer Height();
  TRect DesktopRect();
  TRect WorkAreaRect();
  Integer MonitorCount();
  TMonitor* Monitors(Integer Index);
  TMonitor* PrimaryMonitor();
  TMonitor* MonitorFromPoint(const TPoint& Point, TMonitorDefaultTo MonitorDefault = mdNearest);
  TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo MonitorDefault = mdNearest);
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo MonitorDefault = mdNearest);

  // The cursor that overrides every control's (crDefault: none).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor of an id; the default arrow for an unknown id.
  HCURSOR Cursors(TCursor Index);
  // Adds or replaces a cursor; null takes a custom one out (and puts the
  // stock one back for a stock id).
  void SetCursors(TCursor Index, HCURSOR Handle);

  Integer FormCount() const { return static_cast<Integer>(FForms.size()); }
  TForm* Forms(Integer Index) const { return FForms.at(static_cast<size_t>(Index)); }
  Integer CustomFormCount() const { return static_cast<Integer>(FCustomForms.size()); }
  TCustomForm* CustomForms(Integer Index) const { return FCustomForms.at(static_cast<size_t>(Index)); }
  TForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  TCustomForm* FocusedForm() const { return FFocusedForm; }
  // The installed font families, sorted.
  TStrings* Fonts();
  Integer PixelsPerInch();
  TFont* HintFont() const { return FHintFont.get(); }
  // Forgets a control that goes away.
  void ControlDestroyed(TControl* Control);

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;
};

class TMouse : public TObject {
  RTL_CLASS(TMouse, TObject)
  Integer FDragThreshold = 5;
  bool FDragImmediate = true;

 public:
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& Value);
  HWND Capture() const;
  void SetCapture(HWND Value);
  Integer DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(Integer Value) { FDragThreshold = Value; }
  bool DragImmediate() const { return FDragImmediate; }
  void SetDragImmediate(bool Value) { FDragImmediate = Value; }
  bool WheelPresent() const { return true; }
  Integer WheelScrollLines() const;
  bool IsDragging() const;
};

// ---- The application ---------------------------------------------------------------

// How Application->MessageBox asks the user (text, caption, MB_ flags;
// answers the ID of the button). The standard dialogs install theirs;
// tests install scripted answers. Without one the answer is the default
// button's, and the text goes to the error output.
using TMessageBoxHandler = std::function<Integer(const AnsiString& Text, const AnsiString& Caption, Integer Flags)>;
void SetMessageBoxHandler(TMessageBoxHandler Handler);

class TApplication : public TComponent {
  RTL_CLASS(TApplication, TComponent)
  friend class TCustomForm;

  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  std::unique_ptr<TIcon> FIcon;
  bool FActive = false;
  AnsiString FTitle;
  AnsiString FHint;
  AnsiString FHelpFile;
  bool FTerminate = false;
  bool FRunning = false;
  bool FShowMainForm = true;
  bool FShowHint = true;
  bool FHintShortCuts = true;
  bool FHintActive = false;
  Integer FHintPause = 500;
  Integer FHintShortPause = 50;
  Integer FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  TRect FHintCursorRect;
  TControl* FHintControl = nullptr;
  THintWindow* FHintWindow = nullptr;
  UINT_PTR FHintTimer = 0;
  bool FHintTimerShows = false;
  TControl* FMouseControl = nullptr;
  bool FUpdateFormatSettings = true;

  bool ProcessMessage(MSG& Msg);
  void Idle(const MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  void DoActionIdle();
  void StartHintTimer(Integer Value, bool Show);
  void StopHintTimer();
  void HideHint();
  static void HintTimerProc(HWND, UINT, UINT_PTR, DWORD);
  static LRESULT AppWndProc(HWND, UINT, WPARAM, LPARAM);
  void CreateHandle();
  void IconChanged(TObject* Sender);

 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  // Creates a form owned by the application; the first form created
  // becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    T* Form = new T(this);
    Reference = Form;
    FormCreated(Form);
  }
  void CreateForm(TClass InstanceClass, TComponent*& Reference);
  // Shows the main form and runs the loop until the application
  // terminates (the main form closes, or Terminate).
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminate; }
  // Handles every message waiting, then returns.
  void ProcessMessages();
  // Handles one message; idles when there is none (OnIdle, action
  // updates, hints, enter and leave), waiting for the next unless OnIdle
  // says it is not done.
  void HandleMessage();
  // Call from a catch block: reports the exception being handled
  // (OnException, else ShowException); EAbort is silent.
  void HandleException(TObject* Sender);
  void ShowException(Exception* E);
  Integer MessageBox(const AnsiString& Text, const AnsiString& Caption, Integer Flags = MB_OK);
  // OnShortCut, then the main form's shortcuts.
  bool IsShortCut(TMessage& Message);

  // ---- Help. OnHelp answers first; unless it says CallHelp false, the
  // help file would be asked, but there is no help viewer here: without
  // a handler that answers, the answer is false and nothing happens.
  bool HelpCommand(Integer Command, NativeInt Data);
  bool HelpContext(THelpContext Context);
  // A topic of the help file by its id.
  bool HelpJump(const AnsiString& JumpID);
  bool HelpKeyword(const AnsiString& Keyword);
  const AnsiString& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const AnsiString& Value) { FHelpFile = Value; }
  // The active form's help file, else the application's.
  AnsiString CurrentHelpFile();

  // ---- Hints
  void HintMouseMessage(TControl* Control, TMessage& Message);
  void ActivateHint(const TPoint& CursorPos);
  void CancelHint();
  THintWindow* HintWindow() const { return FHintWindow; }
  // Whether a change of the user's regional settings re-reads the
  // framework's format settings (GetFormatSettings); on by default.
  bool UpdateFormatSettings() const { return FUpdateFormatSettings; }
  void SetUpdateFormatSettings(bool Value) { FUpdateFormatSettings = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  Integer HintPause() const { return FHintPause; }
  void SetHintPause(Integer Value) { FHintPause = Value; }
  Integer HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(Integer Value) { FHintShortPause = Value; }
  Integer HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(Integer Value) { FHintHidePause = Value; }
  // Whether hints of commands add their shortcut's text.
  bool HintShortCuts() const { return FHintShortCuts; }
  void SetHintShortCuts(bool Value) { FHintShortCuts = Value; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value);
  // The long hint of the control under the mouse.
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);

  // ---- The mouse over controls: CM_MOUSELEAVE to the control the mouse
  // left, CM_MOUSEENTER to the one it is over now.
  TControl* DoMouseIdle();
  // A mouse message for Control: enter and leave, then the hint.
  void MouseMessage(TControl* Control, TMessage& Message);
  // Forgets a control that goes away.
  void ControlDestroyed(TControl* Control);
  // Called by CreateForm once the form exists.
  void FormCreated(TCustomForm* Form);

  HWND Handle();
  TForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value);
  // The application's icon (forms without their own show it).
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value);
  HICON GetIconHandle();
  // Whether one of the application's windows is active.
  bool Active();
  // A top-level window of the application was activated or deactivated
  // (WM_ACTIVATEAPP): OnActivate / OnDeactivate once per change.
  void ActivateAppChanged(bool Activating);

  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TExceptionEvent OnException;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnHint;
  TShortCutEvent OnShortCut;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TActionEvent OnActionExecute;
  TActionEvent OnActionUpdate;
  THelpEvent OnHelp;
};

// The process's application, screen and mouse; they exist between the
// start-up and the shut-down of the "Forms" unit (RegisterFormsUnit).
extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;

// Registers the "Controls" and "Forms" units with the unit registry:
// their start-up creates Mouse, Screen and Application, their shut-down
// frees the forms and then those objects.
void RegisterFormsUnit();
