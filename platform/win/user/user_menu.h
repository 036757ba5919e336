// Menus: menu objects and their items, the system menu of a window, and
// popup menus tracked by a modal loop (TrackPopupMenu). Menu bars are kept
// (SetMenu/GetMenu) but not drawn: the application draws its own bars.
#pragma once

#include "platform/win/kernel/windef.h"

#define MF_INSERT 0x00000000
#define MF_CHANGE 0x00000080
#define MF_APPEND 0x00000100
#define MF_DELETE 0x00000200
#define MF_REMOVE 0x00001000
#define MF_BYCOMMAND 0x00000000
#define MF_BYPOSITION 0x00000400
#define MF_SEPARATOR 0x00000800
#define MF_ENABLED 0x00000000
#define MF_GRAYED 0x00000001
#define MF_DISABLED 0x00000002
#define MF_UNCHECKED 0x00000000
#define MF_CHECKED 0x00000008
#define MF_USECHECKBITMAPS 0x00000200
#define MF_STRING 0x00000000
#define MF_BITMAP 0x00000004
#define MF_OWNERDRAW 0x00000100
#define MF_POPUP 0x00000010
#define MF_MENUBARBREAK 0x00000020
#define MF_MENUBREAK 0x00000040
#define MF_UNHILITE 0x00000000
#define MF_HILITE 0x00000080
#define MF_DEFAULT 0x00001000
#define MF_SYSMENU 0x00002000
#define MF_HELP 0x00004000
#define MF_RIGHTJUSTIFY 0x00004000
#define MF_MOUSESELECT 0x00008000
#define MF_END 0x00000080  // menu templates: the last item of a level

#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY

#define MFS_GRAYED 0x00000003
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_UNHILITE MF_UNHILITE
#define MFS_DEFAULT MF_DEFAULT

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

#define MIM_MAXHEIGHT 0x00000001
#define MIM_BACKGROUND 0x00000002
#define MIM_HELPID 0x00000004
#define MIM_MENUDATA 0x00000008
#define MIM_STYLE 0x00000010
#define MIM_APPLYTOSUBMENUS 0x80000000

#define MNS_NOCHECK 0x80000000
#define MNS_MODELESS 0x40000000
#define MNS_DRAGDROP 0x20000000
#define MNS_AUTODISMISS 0x10000000
#define MNS_NOTIFYBYPOS 0x08000000
#define MNS_CHECKORBMP 0x04000000

#define HBMMENU_CALLBACK (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(-1)))
#define HBMMENU_SYSTEM (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(1)))
#define HBMMENU_MBAR_RESTORE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(2)))
#define HBMMENU_MBAR_MINIMIZE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(3)))
#define HBMMENU_MBAR_CLOSE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(5)))
#define HBMMENU_MBAR_CLOSE_D (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(6)))
#define HBMMENU_MBAR_MINIMIZE_D (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(7)))
#define HBMMENU_POPUP_CLOSE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(8)))
#define HBMMENU_POPUP_RESTORE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(9)))
#define HBMMENU_POPUP_MAXIMIZE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(10)))
#define HBMMENU_POPUP_MINIMIZE (reinterpret_cast<HBITMAP>(static_cast<intptr_t>(11)))

#define TPM_LEFTBUTTON 0x0000
#define TPM_RIGHTBUTTON 0x0002
#define TPM_LEFTALIGN 0x0000
#define TPM_CENTERALIGN 0x0004
#define TPM_RIGHTALIGN 0x0008
#define TPM_TOPALIGN 0x0000
#define TPM_VCENTERALIGN 0x0010
#define TPM_BOTTOMALIGN 0x0020
#define TPM_HORIZONTAL 0x0000
#define TPM_VERTICAL 0x0040
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100
#define TPM_RECURSE 0x0001
#define TPM_NOANIMATION 0x4000

// WM_ENTERIDLE sources
#define MSGF_DIALOGBOX 0
#define MSGF_MENU 2

// WM_MENUCHAR answers
#define MNC_IGNORE 0
#define MNC_CLOSE 1
#define MNC_EXECUTE 2
#define MNC_SELECT 3

struct MENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};
using MENUITEMINFO = MENUITEMINFOA;
using LPMENUITEMINFOA = MENUITEMINFOA*;
using LPCMENUITEMINFOA = const MENUITEMINFOA*;

struct MENUINFO {
  DWORD cbSize;
  DWORD fMask;
  DWORD dwStyle;
  UINT cyMax;
  HBRUSH hbrBack;
  DWORD dwContextHelpID;
  ULONG_PTR dwMenuData;
};
using LPMENUINFO = MENUINFO*;
using LPCMENUINFO = const MENUINFO*;

struct TPMPARAMS {
  UINT cbSize;
  RECT rcExclude;
};
using LPTPMPARAMS = TPMPARAMS*;

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
inline BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR item) { return AppendMenuA(menu, flags, id, item); }
inline BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
  return InsertMenuA(menu, position, flags, id, item);
}
inline BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR item) {
  return ModifyMenuA(menu, position, flags, id, item);
}
inline BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  return InsertMenuItemA(menu, item, byPosition, info);
}
inline BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
  return GetMenuItemInfoA(menu, item, byPosition, info);
}
inline BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  return SetMenuItemInfoA(menu, item, byPosition, info);
}
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags);
inline int GetMenuString(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags) {
  return GetMenuStringA(menu, item, text, maxCount, flags);
}
BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable);
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
BOOL GetMenuInfo(HMENU menu, LPMENUINFO info);
BOOL SetMenuInfo(HMENU menu, LPCMENUINFO info);
// The system menu templates of the window system's own module
// (GetModuleHandle("user32")): 16 standard, 32 MDI child, 48 close only.
// Other modules' menus come from their RT_MENU resources.
HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
// A menu from a standard (version 0) or extended (version 1) menu template.
HMENU LoadMenuIndirectA(const void* menuTemplate);
inline HMENU LoadMenuIndirect(const void* menuTemplate) { return LoadMenuIndirectA(menuTemplate); }
inline HMENU LoadMenu(HINSTANCE instance, LPCSTR name) { return LoadMenuA(instance, name); }
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
HMENU GetMenu(HWND hwnd);
BOOL SetMenu(HWND hwnd, HMENU menu);
BOOL DrawMenuBar(HWND hwnd);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
BOOL EndMenu();
// The screen rectangle of an item of a popup menu on screen.
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, LPRECT rect);
// The position of the item of a popup menu on screen under a screen point,
// -1 for none.
int MenuItemFromPoint(HWND hwnd, HMENU menu, POINT screen);
