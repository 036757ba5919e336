// System menus of custom-drawn forms, built from the window system's own
// templates and enabled for the window's state, copying menus, and popup
// menus shown for a control (the framework's or the library's own).
#pragma once

#include "platform/forms/forms.h"
#include "platform/win/kernel/objidl.h"

class TComponent;
class TControl;

inline constexpr IID IID_IcxContextMenuSupport = {
    0x61EEDA7D, 0x88CC, 0x45BF, {0x8A, 0x00, 0x5C, 0x25, 0x17, 0x4D, 0x65, 0x01}};

// A popup menu of the library's own that stands for a framework popup
// menu.
class IcxContextMenuSupport : public IUnknown {
 public:
  // Runs the item whose short cut the key message (CharCode in WParam) is.
  virtual bool IsShortCutKey(TMessage& AMessage) = 0;
  // Shows the menu at a screen point.
  virtual void Popup(Integer X, Integer Y) = 0;
};

// The system menu template 16, 32 or 48 (AIndex 0, 1, 2) of the window
// system, each a menu bar holding one popup, with check marks or bitmaps
// and the caption glyphs beside Close (and, but for 2, Minimize, Maximize
// and Restore); null when it cannot be loaded.
HMENU cxLoadSystemMenuTemplate(Integer AIndex);
// With a system menu among ABorderIcons: a dialog loses the task list, the
// items at positions 7 and 5, Maximize, Minimize, Size and Restore; then
// the items are enabled for the window's state. With ALockUpdate the
// window does not draw meanwhile. AWindowState is not used.
void cxAdjustSystemMenu(HMENU ASysMenu, HWND AWnd, bool AIsDialog, TBorderIcons ABorderIcons,
                        TWindowState AWindowState, bool ALockUpdate = false);
// Size, Minimize, Maximize, Restore and Move enabled or grayed for the
// window's styles and state; the default item Close, or Restore when the
// window is minimized.
void cxEnableSystemMenuItems(HWND AWnd, HMENU AMenu);
// Makes ADst's items copies of ASrc's.
void cxCopyMenuItems(HMENU ASrc, HMENU ADst);

// A framework popup menu or a component that supports
// IcxContextMenuSupport.
bool cxIsPopupMenuComponent(TComponent* AComponent);
// Runs the menu's item with the short cut of the key message.
bool cxPopupMenuIsShortCut(TComponent* AMenu, TMessage& AKeyMessage);
// Shows the menu for AControl at a screen point; false when the menu
// shows nothing by itself (none, or a framework menu without AutoPopup).
bool cxPopupContextMenu(TControl* AControl, TComponent* AMenu, Integer X, Integer Y);
