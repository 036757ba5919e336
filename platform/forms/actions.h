// Actions: commands that menu items, buttons and shortcuts share, with
// their caption, state and handlers, gathered in action lists; shortcuts
// and shift states.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/stringlist.h"
#include "platform/win/kernel/windef.h"

// ---- Shift states and shortcuts -------------------------------------------

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble, ssTouch, ssPen, ssCommand, ssHorizontal };
using TShiftState = TSet<TShiftStateItem, 11>;

// A virtual key in the low byte and modifier bits above it.
using TShortCut = Word;
constexpr TShortCut scNone = 0;
constexpr TShortCut scCommand = 0x1000;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// scNone for a key above 255.
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+V", "Shift+Ctrl+Alt+F4", "Del", "Num +"; "" for a key without a
// name. Modifiers come in the order Shift, Ctrl, Alt.
AnsiString ShortCutToText(TShortCut ShortCut);
// The inverse, ignoring case; "^" also stands for "Ctrl+". scNone when
// the text names no key.
TShortCut TextToShortCut(AnsiString Text);
// The modifiers of a key message: Shift and Ctrl from the keyboard state,
// Alt from the key data's context bit.
TShiftState KeyDataToShiftState(LPARAM KeyData);

// A string list of shortcut texts that keeps each text's shortcut.
class TShortCutList : public TStringList {
  RTL_CLASS(TShortCutList, TStringList)

 public:
  Integer Add(const AnsiString& S) override;
  TShortCut ShortCuts(Integer Index) const;
  // -1 when absent.
  Integer IndexOfShortCut(TShortCut ShortCut) const;
};

// ---- Actions ------------------------------------------------------------------

class TBasicAction;
class TCustomActionList;
class TCustomImageList;
class TChangeLink;

// What ties a client (a control, a menu item) to an action: the action
// tells its links when its properties change, and a client executes the
// action through its link. A client's link class overrides the setters of
// the properties the client follows. A link takes its client in its own
// constructor (the base constructor cannot reach a derived AssignClient).
class TBasicActionLink : public TObject {
  RTL_CLASS(TBasicActionLink, TObject)
  friend class TBasicAction;
  struct TFrame;
  TFrame* FFrames = nullptr;  // Execute calls running on this link

 protected:
  TBasicAction* FAction = nullptr;
  virtual void AssignClient(TObject* AClient);
  virtual void Change();

 public:
  using TConstructArg = TObject;
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;

  // Executes the action with AComponent as its ActionComponent. False when
  // the link has no action or nobody handled it.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  virtual bool IsOnExecuteLinked();
  virtual void SetOnExecute(const TNotifyEvent& Value);

  TBasicAction* Action() const { return FAction; }
  virtual void SetAction(TBasicAction* Value);

  TNotifyEvent OnChange;
};

// A command with an execute handler and its links.
class TBasicAction : public TComponent {
  RTL_CLASS(TBasicAction, TComponent)
  friend class TBasicActionLink;
  TComponent* FActionComponent = nullptr;
  TNotifyEvent FOnExecute;

 protected:
  std::vector<TBasicActionLink*> FClients;
  // Fires OnChange, then each link's Change.
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // The targets a standard action works on (an edit for "copy"); none here.
  virtual bool HandlesTarget(TObject* Target);
  virtual void UpdateTarget(TObject* Target);
  virtual void ExecuteTarget(TObject* Target);
  // OnExecute (true when assigned).
  virtual bool Execute();
  // OnUpdate (true when assigned).
  virtual bool Update();

  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);

  // The client that asked for the current execution.
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);
  const TNotifyEvent& OnExecute() const { return FOnExecute; }
  // Also hands the handler to the links (SetOnExecute).
  virtual void SetOnExecute(const TNotifyEvent& Value);

  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;
};

// The application object's steps of the chains that Execute and Update
// run, installed once it exists: Application* after the action list's
// handler (the application's own OnActionExecute / OnActionUpdate),
// Target* last, to let the active form's controls handle the action.
// Each answers whether it handled the action; an empty step does not.
struct TActionChain {
  std::function<bool(TBasicAction*)> ApplicationExecute;
  std::function<bool(TBasicAction*)> ApplicationUpdate;
  std::function<bool(TBasicAction*)> TargetExecute;
  std::function<bool(TBasicAction*)> TargetUpdate;
};
TActionChain& ActionChain();

// An action that lives in an action list, under a category.
class TContainedAction : public TBasicAction {
  RTL_CLASS(TContainedAction, TBasicAction)
  friend class TCustomActionList;
  AnsiString FCategory;
  TCustomActionList* FActionList = nullptr;

 protected:
  void SetParentComponent(TComponent* AParent) override;

 public:
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;

  // The list's OnExecute, the application, OnExecute, the targets: the
  // first that handles the action ends the chain.
  bool Execute() override;
  // The same chain with the update handlers.
  bool Update() override;

  bool HasParent() const override { return FActionList != nullptr; }
  TComponent* GetParentComponent() const override;

  // The place in the list; -1 without a list.
  Integer Index() const;
  void SetIndex(Integer Value);
  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* AActionList);
  const AnsiString& Category() const { return FCategory; }
  void SetCategory(const AnsiString& Value);
};

using TActionEvent = TClosure<void(TBasicAction* Action, bool& Handled)>;
using THintEvent = TClosure<void(AnsiString& HintStr, bool& CanShow)>;
using THelpContext = Integer;

class TActionLink;

// An action with the state its clients show. Each setter hands the value
// to the links first, then fires Change.
class TCustomAction : public TContainedAction {
  RTL_CLASS(TCustomAction, TContainedAction)
  AnsiString FCaption;
  bool FChecking = false;
  bool FChecked = false;
  bool FEnabled = true;
  bool FAutoCheck = false;
  bool FDisableIfNoHandler = true;
  Integer FGroupIndex = 0;
  THelpContext FHelpContext = 0;
  AnsiString FHint;
  Integer FImageIndex = -1;
  TShortCut FShortCut = scNone;
  bool FVisible = true;
  std::unique_ptr<TShortCutList> FSecondaryShortCuts;

  template <class F>
  void ForEachLink(F f);

 public:
  explicit TCustomAction(TComponent* AOwner);
  ~TCustomAction() override;

  // Updates first; a disabled action does nothing. AutoCheck toggles
  // Checked (an action of a group only turns on) before the chain runs.
  bool Execute() override;
  // Execute, for a shortcut.
  virtual bool HandleShortCut();
  // OnHint; false hides the hint.
  virtual bool DoHint(AnsiString& HintStr);

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of
  // that group in the same list.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  // Left to the application's target step: disable an action nobody
  // handles.
  bool DisableIfNoHandler() const { return FDisableIfNoHandler; }
  void SetDisableIfNoHandler(bool Value) { FDisableIfNoHandler = Value; }
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  THelpContext HelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext Value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // More shortcuts that execute the action (created on first use).
  TShortCutList* SecondaryShortCuts();
  void SetSecondaryShortCuts(TShortCutList* Value);
  bool HasSecondaryShortCuts() const { return FSecondaryShortCuts && FSecondaryShortCuts->Count() > 0; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  THintEvent OnHint;
};

class TAction : public TCustomAction {
  RTL_CLASS(TAction, TCustomAction)

 public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// The link of a client that follows a TCustomAction. Is*Linked answers
// whether the client takes that property from the action (yes, when the
// action is a TCustomAction); the setters receive the action's new values
// and do nothing here.
class TActionLink : public TBasicActionLink {
  RTL_CLASS(TActionLink, TBasicActionLink)

 public:
  using TBasicActionLink::TBasicActionLink;

  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();

  virtual void SetAutoCheck(bool Value);
  virtual void SetCaption(const AnsiString& Value);
  virtual void SetChecked(bool Value);
  virtual void SetEnabled(bool Value);
  virtual void SetGroupIndex(Integer Value);
  virtual void SetHelpContext(THelpContext Value);
  virtual void SetHint(const AnsiString& Value);
  virtual void SetImageIndex(Integer Value);
  virtual void SetShortCut(TShortCut Value);
  virtual void SetVisible(bool Value);
};

// ---- Action lists -------------------------------------------------------------

// A list of actions. The list deletes its actions when it is destroyed.
class TCustomActionList : public TComponent {
  RTL_CLASS(TCustomActionList, TComponent)
  friend class TContainedAction;
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;

  void ImageListChange(TObject* Sender);

 protected:
  virtual void AddAction(TContainedAction* Action);
  virtual void RemoveAction(TContainedAction* Action);
  // Fires OnChange.
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Streaming: a child action's place in the list.
  void SetChildOrder(TComponent* Child, Integer Order) override;

 public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  // OnExecute / OnUpdate for Action; true when the handler set Handled.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Executes the first TCustomAction whose ShortCut or one of whose
  // SecondaryShortCuts is the key of the key message (CharCode in WParam,
  // KeyData in LParam); its result, or false when none has it.
  bool IsShortCut(TMessage& Message);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  // Raises EListError "List index out of bounds (%d)".
  TContainedAction* Actions(Integer Index) const;
  Integer ActionCount() const { return static_cast<Integer>(FActions.size()); }
  // The image list the clients take ImageIndex from; its changes fire
  // OnChange.
  TCustomImageList* Images() const { return FImages; }
  virtual void SetImages(TCustomImageList* Value);

  TNotifyEvent OnChange;
  TActionEvent OnExecute;
  TActionEvent OnUpdate;
};

class TActionList : public TCustomActionList {
  RTL_CLASS(TActionList, TCustomActionList)

 public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};
