#include "ui/foundation/system_menu.h"

#include "platform/forms/menus.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/win32.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_menu.h"
#include "ui/foundation/window_helpers.h"

namespace {

IcxContextMenuSupport* ContextMenuSupport(TComponent* AComponent) {
  auto* Unknown = dynamic_cast<IUnknown*>(AComponent);
  void* Support = nullptr;
  if (!Unknown || Unknown->QueryInterface(IID_IcxContextMenuSupport, &Support) != S_OK) return nullptr;
  return static_cast<IcxContextMenuSupport*>(Support);
}

void SetItemBitmap(HMENU AMenu, UINT ACommand, HBITMAP ABitmap) {
  MENUITEMINFOA Info{};
  Info.cbSize = sizeof Info;
  Info.fMask = MIIM_BITMAP;
  Info.hbmpItem = ABitmap;
  SetMenuItemInfoA(AMenu, ACommand, FALSE, &Info);
}

}  // namespace

HMENU cxLoadSystemMenuTemplate(Integer AIndex) {
  if (AIndex < 0 || AIndex > 2) return nullptr;
  HMENU Menu = LoadMenuA(GetModuleHandleA("user32.dll"), MAKEINTRESOURCE(16 * (AIndex + 1)));
  if (!Menu) return nullptr;
  MENUINFO Info{};
  Info.cbSize = sizeof Info;
  Info.fMask = MIM_STYLE | MIM_APPLYTOSUBMENUS;
  Info.dwStyle = MNS_CHECKORBMP;
  SetMenuInfo(Menu, &Info);
  SetItemBitmap(Menu, SC_CLOSE, HBMMENU_POPUP_CLOSE);
  if (AIndex != 2) {
    SetItemBitmap(Menu, SC_MINIMIZE, HBMMENU_POPUP_MINIMIZE);
    SetItemBitmap(Menu, SC_MAXIMIZE, HBMMENU_POPUP_MAXIMIZE);
    SetItemBitmap(Menu, SC_RESTORE, HBMMENU_POPUP_RESTORE);
  }
  return Menu;
}

void cxAdjustSystemMenu(HMENU ASysMenu, HWND AWnd, bool AIsDialog, TBorderIcons ABorderIcons, TWindowState,
                        bool ALockUpdate) {
  if (!ABorderIcons.Contains(biSystemMenu)) return;
  if (ALockUpdate) LockWindowUpdate(AWnd);
  TScopeExit Unlock([&] {
    if (ALockUpdate) LockWindowUpdate(nullptr);
  });
  if (AIsDialog) {
    DeleteMenu(ASysMenu, SC_TASKLIST, MF_BYCOMMAND);
    DeleteMenu(ASysMenu, 7, MF_BYPOSITION);
    DeleteMenu(ASysMenu, 5, MF_BYPOSITION);
    DeleteMenu(ASysMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(ASysMenu, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(ASysMenu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(ASysMenu, SC_RESTORE, MF_BYCOMMAND);
  }
  cxEnableSystemMenuItems(AWnd, ASysMenu);
}

void cxEnableSystemMenuItems(HWND AWnd, HMENU AMenu) {
  UINT Size = MF_ENABLED, Minimize = MF_ENABLED, Maximize = MF_ENABLED, Move = MF_ENABLED, Restore = MF_GRAYED;
  UINT Default = SC_CLOSE;
  const LONG Style = GetWindowLongA(AWnd, GWL_STYLE);
  if (IsIconic(AWnd)) {
    Restore = MF_ENABLED;
    Minimize = MF_GRAYED;
    Size = MF_GRAYED;
    Default = SC_RESTORE;
  } else if (!(Style & WS_MINIMIZEBOX)) {
    Minimize = MF_GRAYED;
  }
  if (!(Style & WS_MAXIMIZEBOX)) {
    Maximize = MF_GRAYED;
  } else if (IsZoomed(AWnd)) {
    Restore = MF_ENABLED;
    if (cxIsChildStyleWindow(AWnd) || !cxIsWindowSmallerThanWorkArea(AWnd)) Move = MF_GRAYED;
    Size = MF_GRAYED;
    Maximize = MF_GRAYED;
  }
  if (!(Style & WS_THICKFRAME)) Size = MF_GRAYED;
  EnableMenuItem(AMenu, SC_SIZE, MF_BYCOMMAND | Size);
  EnableMenuItem(AMenu, SC_MINIMIZE, MF_BYCOMMAND | Minimize);
  EnableMenuItem(AMenu, SC_MAXIMIZE, MF_BYCOMMAND | Maximize);
  EnableMenuItem(AMenu, SC_RESTORE, MF_BYCOMMAND | Restore);
  EnableMenuItem(AMenu, SC_MOVE, MF_BYCOMMAND | Move);
  SetMenuDefaultItem(AMenu, Default, FALSE);
}

void cxCopyMenuItems(HMENU ASrc, HMENU ADst) {
  if (ASrc == ADst || !IsMenu(ASrc) || !IsMenu(ADst)) return;
  // By position: separators share the identifier 0 and submenu items have
  // none, so identifiers would miss them. Removed, not deleted: a submenu
  // of an earlier copy belongs to the source menu too.
  for (int I = GetMenuItemCount(ADst) - 1; I >= 0; --I) RemoveMenu(ADst, static_cast<UINT>(I), MF_BYPOSITION);
  const int Count = GetMenuItemCount(ASrc);
  for (int I = 0; I < Count; ++I) {
    char Text[512] = {};
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_DATA;
    Info.dwTypeData = Text;
    Info.cch = sizeof Text;
    if (!GetMenuItemInfoA(ASrc, static_cast<UINT>(I), TRUE, &Info)) continue;
    InsertMenuItemA(ADst, static_cast<UINT>(I), TRUE, &Info);

    MENUITEMINFOA Extra{};
    Extra.cbSize = sizeof Extra;
    Extra.fMask = MIIM_STRING | MIIM_BITMAP;
    Extra.dwTypeData = Text;
    Extra.cch = sizeof Text;
    Text[0] = 0;
    if (GetMenuItemInfoA(ASrc, static_cast<UINT>(I), TRUE, &Extra)) {
      Extra.fMask = MIIM_BITMAP | (Text[0] ? MIIM_STRING : 0);
      SetMenuItemInfoA(ADst, static_cast<UINT>(I), TRUE, &Extra);
    }
  }
  // Redraws the caption buttons of a system menu's window.
  EnableMenuItem(ADst, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  EnableMenuItem(ADst, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

bool cxIsPopupMenuComponent(TComponent* AComponent) {
  return AComponent && (AComponent->InheritsFrom(TPopupMenu::StaticClass()) || ContextMenuSupport(AComponent));
}

bool cxPopupMenuIsShortCut(TComponent* AMenu, TMessage& AKeyMessage) {
  if (IcxContextMenuSupport* Support = ContextMenuSupport(AMenu)) return Support->IsShortCutKey(AKeyMessage);
  if (auto* Popup = dynamic_cast<TPopupMenu*>(AMenu))
    if (Popup->WindowHandle()) return Popup->IsShortCut(AKeyMessage);
  return false;
}

bool cxPopupContextMenu(TControl* AControl, TComponent* AMenu, Integer X, Integer Y) {
  if (IcxContextMenuSupport* Support = ContextMenuSupport(AMenu)) {
    Support->Popup(X, Y);
    return true;
  }
  auto* Popup = dynamic_cast<TPopupMenu*>(AMenu);
  if (!Popup || !Popup->AutoPopup()) return false;
  Popup->SetPopupComponent(AControl);
  Popup->Popup(X, Y);
  return true;
}
