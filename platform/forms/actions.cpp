#include "platform/forms/actions.h"

#include <algorithm>

#include "platform/forms/image_list.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/user/user.h"

RTL_IMPLEMENT_CLASS(TShortCutList)
RTL_IMPLEMENT_CLASS(TBasicActionLink)
RTL_IMPLEMENT_CLASS(TBasicAction)
RTL_IMPLEMENT_PUBLISHED(TContainedAction, RTL_PROP(Category))
RTL_IMPLEMENT_CLASS(TCustomAction)
RTL_IMPLEMENT_PUBLISHED(TAction,
                        RTL_PROP(AutoCheck).Default(false),
                        RTL_PROP(Caption),
                        RTL_PROP(Checked).Default(false),
                        RTL_PROP(Enabled).Default(true),
                        RTL_PROP(GroupIndex).Default(0),
                        RTL_PROP(HelpContext).Default(0),
                        RTL_PROP(Hint),
                        RTL_PROP(ImageIndex).Default(-1),
                        RTL_PROP(ShortCut).Default(0),
                        RTL_PROP(SecondaryShortCuts).Stored<&Self::HasSecondaryShortCuts>(),
                        RTL_PROP(Visible).Default(true),
                        RTL_PROP(OnExecute),
                        RTL_EVENT(OnHint),
                        RTL_EVENT(OnUpdate))
RTL_IMPLEMENT_CLASS(TActionLink)
RTL_IMPLEMENT_CLASS(TCustomActionList)
RTL_IMPLEMENT_PUBLISHED(TActionList,
                        RTL_PROP(Images),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnExecute),
                        RTL_EVENT(OnUpdate))

namespace {

// Names of the keys that have no character of their own, as a US keyboard
// labels them.
struct TKeyName {
  Word Key;
  const char* Name;
};

constexpr TKeyName kSpecialKeys[] = {
    {VK_PAUSE, "Pause"},     {VK_CAPITAL, "Caps Lock"},   {VK_APPS, "Application"}, {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},       {VK_SUBTRACT, "Num -"},      {VK_DECIMAL, "Num Del"},  {VK_DIVIDE, "Num /"},
    {VK_NUMLOCK, "Num Lock"}, {VK_SCROLL, "Scroll Lock"}, {VK_OEM_1, ";"},          {VK_OEM_PLUS, "="},
    {VK_OEM_COMMA, ","},     {VK_OEM_MINUS, "-"},         {VK_OEM_PERIOD, "."},     {VK_OEM_2, "/"},
    {VK_OEM_3, "`"},         {VK_OEM_4, "["},             {VK_OEM_5, "\\"},         {VK_OEM_6, "]"},
    {VK_OEM_7, "'"},
};

constexpr const char* kNavigationKeys[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};

AnsiString KeyName(int key) {
  if (key == VK_BACK) return "BkSp";
  if (key == VK_TAB) return "Tab";
  if (key == VK_RETURN) return "Enter";
  if (key == VK_ESCAPE) return "Esc";
  if (key >= VK_SPACE && key <= VK_DOWN) return kNavigationKeys[key - VK_SPACE];
  if (key == VK_INSERT) return "Ins";
  if (key == VK_DELETE) return "Del";
  if (key >= '0' && key <= '9') return AnsiString(1, static_cast<char>(key));
  if (key >= 'A' && key <= 'Z') return AnsiString(1, static_cast<char>(key));
  // The numeric keypad's digits read as the digits.
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return AnsiString(1, static_cast<char>('0' + key - VK_NUMPAD0));
  if (key >= VK_F1 && key <= VK_F24) return "F" + IntToStr(key - VK_F1 + 1);
  for (const TKeyName& k : kSpecialKeys)
    if (k.Key == key) return k.Name;
  return AnsiString();
}

bool CutFront(AnsiString& text, const char* front) {
  size_t n = std::char_traits<char>::length(front);
  if (text.size() < n || !SameText(text.substr(0, n), front)) return false;
  text.erase(0, n);
  return true;
}

// Calls f for each link, by index, so that a link that leaves during the
// call does not disturb the walk.
template <class L, class F>
void ForEachClient(const std::vector<TBasicActionLink*>& clients, F f) {
  for (size_t i = 0; i < clients.size(); ++i)
    if (auto* link = dynamic_cast<L*>(clients[i])) f(link);
}

}  // namespace

// ---- Shortcuts --------------------------------------------------------------

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key > 0xFF) return scNone;
  TShortCut r = Key;
  if (Shift.Contains(ssShift)) r |= scShift;
  if (Shift.Contains(ssCtrl)) r |= scCtrl;
  if (Shift.Contains(ssAlt)) r |= scAlt;
  if (Shift.Contains(ssCommand)) r |= scCommand;
  return r;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & ~(scShift | scCtrl | scAlt | scCommand);
  Shift.Clear();
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
  if (ShortCut & scCommand) Shift.Include(ssCommand);
}

AnsiString ShortCutToText(TShortCut ShortCut) {
  AnsiString name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return name;
  AnsiString r;
  if (ShortCut & scShift) r += "Shift+";
  if (ShortCut & scCtrl) r += "Ctrl+";
  if (ShortCut & scAlt) r += "Alt+";
  return r + name;
}

TShortCut TextToShortCut(AnsiString Text) {
  TShortCut shift = 0;
  for (;;) {
    if (CutFront(Text, "Shift+"))
      shift |= scShift;
    else if (CutFront(Text, "^") || CutFront(Text, "Ctrl+"))
      shift |= scCtrl;
    else if (CutFront(Text, "Alt+"))
      shift |= scAlt;
    else
      break;
  }
  if (Text.empty()) return scNone;
  for (int key = VK_BACK; key <= 0xFF; ++key)
    if (SameText(Text, KeyName(key))) return static_cast<TShortCut>(key | shift);
  return scNone;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  constexpr LPARAM AltMask = 0x20000000;
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (KeyData & AltMask) s.Include(ssAlt);
  return s;
}

Integer TShortCutList::Add(const AnsiString& S) {
  Integer i = TStringList::Add(S);
  PutObject(i, reinterpret_cast<TObject*>(static_cast<uintptr_t>(TextToShortCut(S))));
  return i;
}

TShortCut TShortCutList::ShortCuts(Integer Index) const {
  return static_cast<TShortCut>(reinterpret_cast<uintptr_t>(Objects(Index)));
}

Integer TShortCutList::IndexOfShortCut(TShortCut ShortCut) const {
  for (Integer i = 0; i < Count(); ++i)
    if (ShortCuts(i) == ShortCut) return i;
  return -1;
}

// ---- TBasicActionLink ---------------------------------------------------------

// One running Execute: cleared when the link is destroyed under it.
struct TBasicActionLink::TFrame {
  bool Alive = true;
  TFrame* Outer = nullptr;
};

TBasicActionLink::TBasicActionLink(TObject*) {}

TBasicActionLink::~TBasicActionLink() {
  for (TFrame* f = FFrames; f; f = f->Outer) f->Alive = false;
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::AssignClient(TObject*) {}

void TBasicActionLink::Change() {
  if (OnChange) OnChange(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  TFrame frame;
  frame.Outer = FFrames;
  FFrames = &frame;
  // The handler may destroy the client and its link, or the action.
  TScopeExit Leave([&] {
    if (!frame.Alive) return;
    FFrames = frame.Outer;
    if (FAction) FAction->SetActionComponent(nullptr);
  });
  return FAction->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

bool TBasicActionLink::IsOnExecuteLinked() { return true; }

void TBasicActionLink::SetOnExecute(const TNotifyEvent&) {}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = nullptr;
  if (Value) Value->RegisterChanges(this);
}

// ---- TBasicAction ---------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  SetActionComponent(nullptr);
  while (!FClients.empty()) UnRegisterChanges(FClients.back());
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  for (size_t i = 0; i < FClients.size(); ++i) FClients[i]->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

bool TBasicAction::HandlesTarget(TObject*) { return false; }
void TBasicAction::UpdateTarget(TObject*) {}
void TBasicAction::ExecuteTarget(TObject*) {}

bool TBasicAction::Execute() {
  if (!FOnExecute) return false;
  FOnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  Value->FAction = this;
  FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  Value->FAction = nullptr;
  FClients.erase(it);
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (Value == FActionComponent) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value) {
  if (Value == FOnExecute) return;
  ForEachClient<TBasicActionLink>(FClients, [&](TBasicActionLink* l) { l->SetOnExecute(Value); });
  FOnExecute = Value;
  Change();
}

TActionChain& ActionChain() {
  static TActionChain chain;
  return chain;
}

// ---- TContainedAction -------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
  if (FActionList) FActionList->RemoveAction(this);
}

bool TContainedAction::Execute() {
  TActionChain& chain = ActionChain();
  return (FActionList && FActionList->ExecuteAction(this)) ||
         (chain.ApplicationExecute && chain.ApplicationExecute(this)) || inherited::Execute() ||
         (chain.TargetExecute && chain.TargetExecute(this));
}

bool TContainedAction::Update() {
  TActionChain& chain = ActionChain();
  return (FActionList && FActionList->UpdateAction(this)) ||
         (chain.ApplicationUpdate && chain.ApplicationUpdate(this)) || inherited::Update() ||
         (chain.TargetUpdate && chain.TargetUpdate(this));
}

void TContainedAction::SetParentComponent(TComponent* AParent) {
  SetActionList(dynamic_cast<TCustomActionList*>(AParent));
}

TComponent* TContainedAction::GetParentComponent() const {
  return FActionList ? FActionList : inherited::GetParentComponent();
}

Integer TContainedAction::Index() const {
  if (!FActionList) return -1;
  auto& list = FActionList->FActions;
  return static_cast<Integer>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TContainedAction::SetIndex(Integer Value) {
  Integer current = Index();
  if (current < 0) return;
  auto& list = FActionList->FActions;
  Value = std::clamp(Value, 0, static_cast<Integer>(list.size()) - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

void TContainedAction::SetActionList(TCustomActionList* AActionList) {
  if (AActionList == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (AActionList) AActionList->AddAction(this);
}

void TContainedAction::SetCategory(const AnsiString& Value) {
  if (Value == FCategory) return;
  FCategory = Value;
  if (FActionList) FActionList->Change();
}

// ---- TCustomAction ----------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

TCustomAction::~TCustomAction() = default;

template <class F>
void TCustomAction::ForEachLink(F f) {
  ForEachClient<TActionLink>(FClients, f);
}

bool TCustomAction::Execute() {
  Update();
  if (FEnabled && FAutoCheck && (!FChecked || FGroupIndex == 0)) SetChecked(!FChecked);
  return FEnabled && inherited::Execute();
}

bool TCustomAction::HandleShortCut() { return Execute(); }

bool TCustomAction::DoHint(AnsiString& HintStr) {
  bool canShow = true;
  if (OnHint) OnHint(HintStr, canShow);
  return canShow;
}

void TCustomAction::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  ForEachLink([&](TActionLink* l) { l->SetCaption(Value); });
  FCaption = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (FChecking || Value == FChecked) return;
  FChecking = true;
  TScopeExit EndChecking([&] { FChecking = false; });
  ForEachLink([&](TActionLink* l) { l->SetChecked(Value); });
  FChecked = Value;
  TCustomActionList* list = ActionList();
  if (Value && FGroupIndex > 0 && list)
    for (Integer i = 0; i < list->ActionCount(); ++i) {
      auto* other = dynamic_cast<TCustomAction*>(list->Actions(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
    }
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  ForEachLink([&](TActionLink* l) { l->SetEnabled(Value); });
  FEnabled = Value;
  Change();
}

void TCustomAction::SetAutoCheck(bool Value) {
  if (Value == FAutoCheck) return;
  ForEachLink([&](TActionLink* l) { l->SetAutoCheck(Value); });
  FAutoCheck = Value;
  Change();
}

void TCustomAction::SetGroupIndex(Integer Value) {
  if (Value == FGroupIndex) return;
  ForEachLink([&](TActionLink* l) { l->SetGroupIndex(Value); });
  FGroupIndex = Value;
  Change();
}

void TCustomAction::SetHelpContext(THelpContext Value) {
  if (Value == FHelpContext) return;
  ForEachLink([&](TActionLink* l) { l->SetHelpContext(Value); });
  FHelpContext = Value;
  Change();
}

void TCustomAction::SetHint(const AnsiString& Value) {
  if (Value == FHint) return;
  ForEachLink([&](TActionLink* l) { l->SetHint(Value); });
  FHint = Value;
  Change();
}

void TCustomAction::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  ForEachLink([&](TActionLink* l) { l->SetImageIndex(Value); });
  FImageIndex = Value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  ForEachLink([&](TActionLink* l) { l->SetShortCut(Value); });
  FShortCut = Value;
  Change();
}

TShortCutList* TCustomAction::SecondaryShortCuts() {
  if (!FSecondaryShortCuts) FSecondaryShortCuts = std::make_unique<TShortCutList>();
  return FSecondaryShortCuts.get();
}

void TCustomAction::SetSecondaryShortCuts(TShortCutList* Value) {
  TShortCutList* list = SecondaryShortCuts();
  list->Clear();
  if (Value)
    for (Integer i = 0; i < Value->Count(); ++i) list->Add(Value->Get(i));
}

void TCustomAction::SetVisible(bool Value) {
  if (Value == FVisible) return;
  ForEachLink([&](TActionLink* l) { l->SetVisible(Value); });
  FVisible = Value;
  Change();
}

// ---- TActionLink ------------------------------------------------------------------

bool TActionLink::IsCaptionLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsCheckedLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsEnabledLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsHelpContextLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsHintLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsImageIndexLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsShortCutLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }
bool TActionLink::IsVisibleLinked() { return dynamic_cast<TCustomAction*>(FAction) != nullptr; }

void TActionLink::SetAutoCheck(bool) {}
void TActionLink::SetCaption(const AnsiString&) {}
void TActionLink::SetChecked(bool) {}
void TActionLink::SetEnabled(bool) {}
void TActionLink::SetGroupIndex(Integer) {}
void TActionLink::SetHelpContext(THelpContext) {}
void TActionLink::SetHint(const AnsiString&) {}
void TActionLink::SetImageIndex(Integer) {}
void TActionLink::SetShortCut(TShortCut) {}
void TActionLink::SetVisible(bool) {}

// ---- TCustomActionList ------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner)
    : TComponent(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()) {
  FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomActionList::ImageListChange);
}

TCustomActionList::~TCustomActionList() {
  if (FImages) {
    FImageChangeLink->Unlink();
    FImages->RemoveFreeNotification(this);
  }
  while (!FActions.empty()) delete FActions.back();
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  FActions.push_back(Action);
  Action->FActionList = this;
  Action->FreeNotification(this);
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  auto it = std::find(FActions.begin(), FActions.end(), Action);
  if (it == FActions.end()) return;
  FActions.erase(it);
  Action->FActionList = nullptr;
}

void TCustomActionList::Change() {
  if (OnChange) OnChange(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) {
    // The list is going: only its component part is left to talk to.
    FImages = nullptr;
    Change();
  } else if (auto* action = dynamic_cast<TContainedAction*>(AComponent))
    RemoveAction(action);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (OnUpdate) OnUpdate(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TMessage& Message) {
  TShortCut shortCut = ShortCut(LOWORD(Message.WParam), KeyDataToShiftState(Message.LParam));
  if (shortCut == scNone) return false;
  for (TContainedAction* a : FActions) {
    auto* action = dynamic_cast<TCustomAction*>(a);
    if (action && (action->ShortCut() == shortCut ||
                   (action->HasSecondaryShortCuts() && action->SecondaryShortCuts()->IndexOfShortCut(shortCut) >= 0)))
      return action->HandleShortCut();
  }
  return false;
}

void TCustomActionList::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* action = dynamic_cast<TContainedAction*>(Child); action && action->FActionList == this)
    action->SetIndex(Order);
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
    if (a->Owner() == Root) Proc(a);
}

TContainedAction* TCustomActionList::Actions(Integer Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::ImageListChange(TObject* Sender) {
  if (Sender == FImages) Change();
}

void TCustomActionList::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) {
    FImageChangeLink->Unlink();
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (Value) {
    Value->RegisterChanges(FImageChangeLink.get());
    Value->FreeNotification(this);
  }
  Change();
}
