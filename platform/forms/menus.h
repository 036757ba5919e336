// Menus: trees of menu items with captions, check marks, shortcuts and
// actions, the main menu a form stores and popup menus that controls show
// on a right click. Each menu builds its window-system menu from its items
// on demand and routes the command of a chosen item back to that item.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/actions.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"

struct TMessage;
class TCustomImageList;
class TMenu;
class TMenuItem;

RTL_EXCEPTION(EMenuError, Exception)

// The link of a menu item that follows a TCustomAction: the item takes
// each property from the action as long as it still shows the action's
// value.
class TMenuActionLink : public TActionLink {
  RTL_CLASS(TMenuActionLink, TActionLink)

 protected:
  TMenuItem* FClient = nullptr;
  void AssignClient(TObject* AClient) override;

 public:
  explicit TMenuActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;

  void SetCaption(const AnsiString& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetGroupIndex(Integer Value) override;
  void SetHint(const AnsiString& Value) override;
  void SetImageIndex(Integer Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
};

// An entry of a menu; one whose caption is "-" is a separator, "&" marks
// the accelerator. An item with items of its own opens a submenu. An item
// frees its items; a freed item leaves its parent.
class TMenuItem : public TComponent {
  RTL_CLASS(TMenuItem, TComponent)
  friend class TMenu;
  friend class TMenuActionLink;
  AnsiString FCaption;
  AnsiString FHint;
  bool FChecked = false;
  bool FRadioItem = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  Integer FGroupIndex = 0;
  Integer FImageIndex = -1;
  TShortCut FShortCut = scNone;
  Word FCommand = 0;
  HMENU FHandle = nullptr;  // the submenu while the menu's handle is built
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on a menu's root item only
  std::vector<TMenuItem*> FItems;
  std::unique_ptr<TMenuActionLink> FActionLink;

  void DoActionChange(TObject* Sender);
  // Unchecks the checked radio items of the same group among the siblings.
  void TurnSiblingsOff();
  // Drops the window-system menu of the menu this item belongs to.
  void MenuChanged();
  // Appends this item (and its submenu) to a window-system menu.
  void AppendTo(HMENU Menu);
  void ClearHandles();

 protected:
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetParentComponent(TComponent* Value) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;

 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // OnClick when assigned, else the action; nothing when disabled.
  virtual void Click();
  // Runs the action's update handlers for this item and its items.
  void InitiateAction();

  // Raises EMenuError "Menu index out of range" outside 0..Count-1.
  TMenuItem* Items(Integer Index) const;
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EMenuError "Menu inserted twice" for an item that has a parent.
  void Add(TMenuItem* Item);
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out and frees it.
  void Delete(Integer Index);
  // Takes the item out without freeing it.
  void Remove(TMenuItem* Item);
  void Clear();
  // -1 when the item is not one of this item's.
  Integer IndexOf(const TMenuItem* Item) const;
  // The item whose caption, without its "&" marks, is ACaption (ignoring
  // case); null when none.
  TMenuItem* Find(const AnsiString& ACaption) const;
  TMenuItem* Parent() const { return FParent; }
  // -1 without parent.
  Integer MenuIndex() const;
  void SetMenuIndex(Integer Value);
  // The menu whose tree holds this item; null when it hangs in none.
  TMenu* GetParentMenu() const;
  bool IsLine() const { return FCaption == "-"; }
  // The identifier of the item's command, unique while the item exists.
  Word Command() const { return FCommand; }
  // The submenu of an item with items while its menu's handle is built.
  HMENU Handle() const { return FHandle; }

  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return FActionLink.get(); }

  TNotifyEvent OnClick;
};

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

// A tree of menu items under the root item Items.
class TMenu : public TComponent {
  RTL_CLASS(TMenu, TComponent)
  friend class TMenuItem;
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  HMENU FHandle = nullptr;

 protected:
  // An empty window-system menu of this kind (a popup menu here).
  virtual HMENU CreateMenuHandle();
  // Drops the window-system menu; the next Handle builds it anew.
  virtual void MenuChanged();
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The window-system menu built from the visible items.
  HMENU Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void DestroyHandle();

  // The item with that command, submenu handle or shortcut; null when
  // none.
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
  // Clicks the enabled item whose shortcut is the key of the key message
  // (CharCode in WParam, KeyData in LParam), after its action's update;
  // false when no enabled item has it.
  bool IsShortCut(TMessage& Message);
  // Clicks the item with that command; false when there is none.
  bool DispatchCommand(Word ACommand);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TMenuItem* Items() const { return FItems; }
  // Where the items' ImageIndex points.
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
};

// The menu bar of a form. It is kept and stored; the window system does
// not draw menu bars, so nothing shows it yet.
class TMainMenu : public TMenu {
  RTL_CLASS(TMainMenu, TMenu)

 protected:
  HMENU CreateMenuHandle() override;

 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

RTL_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
RTL_ENUM(TTrackButton, tbRightButton, tbLeftButton)

// A menu shown at a point, by Popup or by a right click on a control whose
// PopupMenu it is.
class TPopupMenu : public TMenu {
  RTL_CLASS(TPopupMenu, TMenu)
  TPopupAlignment FAlignment = paLeft;
  TTrackButton FTrackButton = tbRightButton;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  HWND FWindowHandle = nullptr;

 protected:
  // OnPopup.
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Fires OnPopup, updates the items' actions and tracks the menu with its
  // top-left corner (or the corner Alignment says) at the screen point;
  // the chosen item's command reaches WindowHandle, which clicks it.
  virtual void Popup(Integer X, Integer Y);

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }
  // Whether a right click on a control shows the menu by itself.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // The control the menu was shown for.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  // Where the last Popup showed the menu.
  TPoint PopupPoint() const { return FPopupPoint; }
  // The window that receives the chosen item's WM_COMMAND: a window shared
  // by the popup menus, unless set.
  HWND WindowHandle() const;
  void SetWindowHandle(HWND Value) { FWindowHandle = Value; }

  TNotifyEvent OnPopup;
};

// Registers the menu classes for form descriptions.
void RegisterMenuClasses();
