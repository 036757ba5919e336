#include "platform/forms/menus.h"

#include <algorithm>

#include "platform/forms/controls.h"
#include "platform/forms/image_list.h"
#include "platform/rtl/strutils.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_menu.h"

RTL_IMPLEMENT_CLASS(EMenuError)
RTL_IMPLEMENT_CLASS(TMenuActionLink)

RTL_IMPLEMENT_PUBLISHED(TMenuItem,
                        RTL_PROP(Action),
                        RTL_PROP(Caption),
                        RTL_PROP(Checked).Default(false),
                        RTL_PROP(Default).Default(false),
                        RTL_PROP(Enabled).Default(true),
                        RTL_PROP(GroupIndex).Default(0),
                        RTL_PROP(Hint),
                        RTL_PROP(ImageIndex).Default(-1),
                        RTL_PROP(RadioItem).Default(false),
                        RTL_PROP(ShortCut).Default(0),
                        RTL_PROP(Visible).Default(true),
                        RTL_EVENT(OnClick))

RTL_IMPLEMENT_PUBLISHED(TMenu, RTL_PROP(Images))

RTL_IMPLEMENT_CLASS(TMainMenu)

RTL_IMPLEMENT_PUBLISHED(TPopupMenu,
                        RTL_PROP(Alignment).Default(paLeft),
                        RTL_PROP(AutoPopup).Default(true),
                        RTL_PROP(TrackButton).Default(tbRightButton),
                        RTL_EVENT(OnPopup))

namespace {

// ---- Command identifiers ------------------------------------------------------------

// In use: command identifiers 1..size; 0 means none.
std::vector<bool>& CommandPool() {
  static std::vector<bool> Pool;
  return Pool;
}

Word AllocateCommand() {
  std::vector<bool>& Pool = CommandPool();
  auto Free = std::find(Pool.begin(), Pool.end(), false);
  if (Free == Pool.end()) {
    if (Pool.size() >= 0xFFFF) throw EMenuError("Too many menu items");
    Pool.push_back(true);
    return static_cast<Word>(Pool.size());
  }
  *Free = true;
  return static_cast<Word>(Free - Pool.begin() + 1);
}

void ReleaseCommand(Word Command) {
  if (Command && Command <= CommandPool().size()) CommandPool()[Command - 1u] = false;
}

AnsiString StripHotkey(const AnsiString& Text) {
  AnsiString Result;
  for (size_t I = 0; I < Text.size(); ++I) {
    // "&&" stands for "&"; a single "&" marks the next character.
    if (Text[I] == '&' && ++I >= Text.size()) break;
    Result += Text[I];
  }
  return Result;
}

// ---- The popup list -------------------------------------------------------------------

// The live popup menus and the window that receives their commands.
struct TPopupList {
  std::vector<TPopupMenu*> Menus;
  HWND Window = nullptr;

  void WndProc(TMessage& Message) {
    if (Message.Msg == WM_COMMAND) {
      // The menu may be gone by the time its posted command arrives.
      Word Command = LOWORD(Message.WParam);
      for (size_t I = 0; I < Menus.size(); ++I)
        if (Menus[I]->DispatchCommand(Command)) return;
      return;
    }
    Message.Result = DefWindowProc(Window, Message.Msg, Message.WParam, Message.LParam);
  }
  HWND Handle() {
    if (!Window) Window = AllocateHWnd(TWndMethod([this](TMessage& M) { WndProc(M); }));
    return Window;
  }
  void Remove(TPopupMenu* Menu) {
    Menus.erase(std::remove(Menus.begin(), Menus.end(), Menu), Menus.end());
    if (Menus.empty() && Window) {
      DeallocateHWnd(Window);
      Window = nullptr;
    }
  }
};

TPopupList& PopupList() {
  static TPopupList List;
  return List;
}

bool IsLive(const TPopupMenu* Menu) {
  const auto& Menus = PopupList().Menus;
  return std::find(Menus.begin(), Menus.end(), Menu) != Menus.end();
}

void InstallPopupHooks() {
  TPopupMenuHooks& Hooks = PopupMenuHooks();
  if (Hooks.Popup) return;
  Hooks.Popup = [](TComponent* Menu, TControl* Control, TPoint Pos) {
    auto* Popup = dynamic_cast<TPopupMenu*>(Menu);
    if (!Popup || !Popup->AutoPopup()) return false;
    Popup->SetPopupComponent(Control);
    Popup->Popup(Pos.X, Pos.Y);
    return true;
  };
  Hooks.IsShortCut = [](TComponent* Menu, TMessage& Message) {
    auto* M = dynamic_cast<TMenu*>(Menu);
    return M && M->IsShortCut(Message);
  };
}

}  // namespace

// ---- TMenuActionLink -----------------------------------------------------------------------

void TMenuActionLink::AssignClient(TObject* AClient) { FClient = dynamic_cast<TMenuItem*>(AClient); }

namespace {
TCustomAction* CustomAction(TBasicAction* Action) { return dynamic_cast<TCustomAction*>(Action); }
}  // namespace

bool TMenuActionLink::IsCaptionLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsCaptionLinked() && A && FClient->FCaption == A->Caption();
}

bool TMenuActionLink::IsCheckedLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsCheckedLinked() && A && FClient->FChecked == A->Checked();
}

bool TMenuActionLink::IsEnabledLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsEnabledLinked() && A && FClient->FEnabled == A->Enabled();
}

bool TMenuActionLink::IsGroupIndexLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsGroupIndexLinked() && A && FClient->FGroupIndex == A->GroupIndex();
}

bool TMenuActionLink::IsHintLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsHintLinked() && A && FClient->FHint == A->Hint();
}

bool TMenuActionLink::IsImageIndexLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsImageIndexLinked() && A && FClient->FImageIndex == A->ImageIndex();
}

bool TMenuActionLink::IsShortCutLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsShortCutLinked() && A && FClient->FShortCut == A->ShortCut();
}

bool TMenuActionLink::IsVisibleLinked() {
  auto* A = CustomAction(FAction);
  return TActionLink::IsVisibleLinked() && A && FClient->FVisible == A->Visible();
}

void TMenuActionLink::SetCaption(const AnsiString& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TMenuActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) FClient->SetChecked(Value);
}

void TMenuActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TMenuActionLink::SetGroupIndex(Integer Value) {
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(Value);
}

void TMenuActionLink::SetHint(const AnsiString& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}

void TMenuActionLink::SetImageIndex(Integer Value) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(Value);
}

void TMenuActionLink::SetShortCut(TShortCut Value) {
  if (IsShortCutLinked()) FClient->SetShortCut(Value);
}

void TMenuActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}

// ---- TMenuItem: life ---------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem() {
  Clear();
  if (FParent) FParent->Remove(this);
  FActionLink.reset();
  ReleaseCommand(FCommand);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Action()) SetAction(nullptr);
}

// ---- TMenuItem: the tree -------------------------------------------------------------------

TMenuItem* TMenuItem::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  for (const TMenuItem* P = this; P; P = P->FParent)
    if (P == Item) throw EMenuError("Menu inserted twice");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged();
}

void TMenuItem::Delete(Integer Index) {
  TMenuItem* Item = Items(Index);
  Remove(Item);
  delete Item;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  if (It == FItems.end()) throw EMenuError("Menu item not found");
  // The tree's handle goes while the item still hangs in it.
  MenuChanged();
  FItems.erase(It);
  Item->FParent = nullptr;
}

void TMenuItem::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : static_cast<Integer>(It - FItems.begin());
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const {
  const AnsiString Wanted = StripHotkey(ACaption);
  for (TMenuItem* Item : FItems)
    if (SameText(StripHotkey(Item->FCaption), Wanted)) return Item;
  return nullptr;
}

Integer TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(Integer Value) {
  if (!FParent) return;
  TMenuItem* P = FParent;
  Value = std::clamp(Value, 0, P->Count() - 1);
  if (Value == MenuIndex()) return;
  P->Remove(this);
  P->Insert(Value, this);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* Root = this;
  while (Root->FParent) Root = Root->FParent;
  return Root->FMenu;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* Menu = dynamic_cast<TMenu*>(Value))
    Menu->Items()->Add(this);
  else if (auto* Item = dynamic_cast<TMenuItem*>(Value))
    Item->Add(this);
}

void TMenuItem::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* Item = dynamic_cast<TMenuItem*>(Child); Item && Item->FParent == this) Item->SetMenuIndex(Order);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent*) {
  for (TMenuItem* Item : FItems) Proc(Item);
}

// ---- TMenuItem: state ----------------------------------------------------------------------

void TMenuItem::MenuChanged() {
  if (TMenu* Menu = GetParentMenu()) Menu->MenuChanged();
}

void TMenuItem::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  MenuChanged();
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* Item : FParent->FItems)
    if (Item != this && Item->FRadioItem && Item->FGroupIndex == FGroupIndex && Item->FChecked) Item->SetChecked(false);
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetGroupIndex(Integer Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  MenuChanged();
}

void TMenuItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  MenuChanged();
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  // One default item per submenu.
  if (Value && FParent)
    for (TMenuItem* Item : FParent->FItems)
      if (Item != this) Item->FDefault = false;
  FDefault = Value;
  MenuChanged();
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  MenuChanged();
}

void TMenuItem::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  MenuChanged();
}

void TMenuItem::SetHint(const AnsiString& Value) { FHint = Value; }

// ---- TMenuItem: actions --------------------------------------------------------------------

void TMenuItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TMenuItem::DoActionChange);
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
  if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* A = dynamic_cast<TCustomAction*>(Sender);
  if (!A) return;
  if (!CheckDefaults || FCaption.empty()) SetCaption(A->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(A->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
  if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(A->GroupIndex());
  if (!CheckDefaults || FHint.empty()) SetHint(A->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(A->ImageIndex());
  if (!CheckDefaults || FShortCut == scNone) SetShortCut(A->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(A->Visible());
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
  // An update may add or remove items: walk a copy.
  const std::vector<TMenuItem*> Items = FItems;
  for (TMenuItem* Item : Items)
    if (IndexOf(Item) >= 0) Item->InitiateAction();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (OnClick)
    OnClick(this);
  else if (FActionLink && !ComponentState().Contains(csDesigning))
    FActionLink->Execute(this);
}

// ---- TMenuItem: the window-system menu -------------------------------------------------------

void TMenuItem::AppendTo(HMENU Menu) {
  MENUITEMINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
  Info.wID = FCommand;
  Info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  AnsiString Text;
  if (IsLine()) {
    Info.fType = MFT_SEPARATOR;
  } else {
    Info.fMask |= MIIM_STRING;
    Info.fType = MFT_STRING | (FRadioItem ? MFT_RADIOCHECK : 0);
    Info.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : 0) | (FDefault ? MFS_DEFAULT : 0);
    Text = FCaption;
    if (FShortCut != scNone && FItems.empty()) Text += "\t" + ShortCutToText(FShortCut);
    Info.dwTypeData = Text.data();
    Info.cch = static_cast<UINT>(Text.size());
    if (!FItems.empty()) {
      FHandle = CreatePopupMenu();
      for (TMenuItem* Item : FItems)
        if (Item->FVisible) Item->AppendTo(FHandle);
      Info.fMask |= MIIM_SUBMENU;
      Info.hSubMenu = FHandle;
    }
  }
  InsertMenuItem(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &Info);
}

void TMenuItem::ClearHandles() {
  FHandle = nullptr;
  for (TMenuItem* Item : FItems) Item->ClearHandles();
}

// ---- TMenu ---------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
  DestroyHandle();
  TMenuItem* Items = FItems;
  // The items' changes while they go must not reach a half-destroyed menu.
  Items->FMenu = nullptr;
  FItems = nullptr;
  delete Items;
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
  MenuChanged();
}

HMENU TMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TMenu::MenuChanged() { DestroyHandle(); }

void TMenu::DestroyHandle() {
  if (!FHandle) return;
  // Destroying a menu destroys its submenus.
  DestroyMenu(FHandle);
  FHandle = nullptr;
  if (FItems) FItems->ClearHandles();
}

HMENU TMenu::Handle() {
  if (!FHandle) {
    HMENU Menu = CreateMenuHandle();
    if (!Menu) RaiseLastOSError();
    for (TMenuItem* Item : FItems->FItems)
      if (Item->FVisible) Item->AppendTo(Menu);
    FHandle = Menu;
    FItems->FHandle = Menu;
  }
  return FHandle;
}

namespace {
TMenuItem* FindIn(TMenuItem* Parent, UINT_PTR Value, TFindItemKind Kind) {
  for (Integer I = 0; I < Parent->Count(); ++I) {
    TMenuItem* Item = Parent->Items(I);
    switch (Kind) {
      case fkCommand:
        if (Item->Command() == Value) return Item;
        break;
      case fkHandle:
        if (Item->Handle() && reinterpret_cast<UINT_PTR>(Item->Handle()) == Value) return Item;
        break;
      case fkShortCut:
        if (Item->ShortCut() != scNone && Item->ShortCut() == Value) return Item;
        break;
    }
    if (TMenuItem* Found = FindIn(Item, Value, Kind)) return Found;
  }
  return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const { return FindIn(FItems, Value, Kind); }

bool TMenu::IsShortCut(TMessage& Message) {
  TShortCut Short = ::ShortCut(static_cast<Word>(Message.WParam), KeyDataToShiftState(Message.LParam));
  if (Short == scNone) return false;
  TMenuItem* Item = FindItem(Short, fkShortCut);
  if (!Item) return false;
  // An item inside a disabled or hidden submenu cannot be reached.
  for (TMenuItem* P = Item->Parent(); P && P != FItems; P = P->Parent())
    if (!P->Enabled() || !P->Visible()) return false;
  Item->InitiateAction();
  if (!Item->Enabled() || !Item->Visible()) return false;
  Item->Click();
  return true;
}

bool TMenu::DispatchCommand(Word ACommand) {
  TMenuItem* Item = FindItem(ACommand, fkCommand);
  if (!Item) return false;
  Item->Click();
  return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

// ---- TMainMenu -----------------------------------------------------------------------------

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

// ---- TPopupMenu ----------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {
  InstallPopupHooks();
  PopupList().Menus.push_back(this);
}

TPopupMenu::~TPopupMenu() { PopupList().Remove(this); }

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (Value == FPopupComponent) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

HWND TPopupMenu::WindowHandle() const { return FWindowHandle ? FWindowHandle : PopupList().Handle(); }

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(Integer X, Integer Y) {
  static constexpr UINT Aligns[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  static constexpr UINT Buttons[] = {TPM_RIGHTBUTTON, TPM_LEFTBUTTON};
  FPopupPoint = TPoint(X, Y);
  DoPopup(this);
  if (!IsLive(this)) return;
  Items()->InitiateAction();
  if (!IsLive(this)) return;
  TrackPopupMenuEx(Handle(), Aligns[FAlignment] | Buttons[FTrackButton], X, Y, WindowHandle(), nullptr);
}

void RegisterMenuClasses() {
  RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
}
