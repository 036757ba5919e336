// What the menu files share: the menu objects and the system menu.
#pragma once

#include <vector>

#include "platform/win/user/user_internal.h"
#include "platform/win/user/user_menu.h"

namespace rtl::detail {

struct TMenuItem {
  UINT Type = MFT_STRING;
  UINT State = 0;
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  HBITMAP Checked = nullptr;
  HBITMAP Unchecked = nullptr;
  ULONG_PTR Data = 0;
  AnsiString Text;
  HBITMAP Bitmap = nullptr;  // hbmpItem, or the bitmap of an MFT_BITMAP item
};

struct TMenu {
  bool Popup = false;
  std::vector<TMenuItem> Items;
  DWORD Style = 0;
  UINT MaxHeight = 0;
  HBRUSH Background = nullptr;
  DWORD HelpId = 0;
  ULONG_PTR MenuData = 0;
  HWND SysOwner = nullptr;  // the window whose system menu this is
};

// Holds the menu for as long as the caller keeps the reference.
THandleRef<TMenu> MenuOf(HMENU menu);
// Greys the system menu's commands that the window's state rules out.
void UpdateSystemMenu(TWnd* w, HMENU sys);
// Shows the window's system menu at a screen point and runs the chosen
// command.
void ShowSystemMenu(TWnd* w, POINT screen);

}  // namespace rtl::detail
