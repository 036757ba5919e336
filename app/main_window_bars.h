// What the main window's handlers ask of the bars around the file list:
// the two status texts, the context-menu style and the two context menus,
// and the appearance the ribbon keeps. The window runs on a plain stand-in
// of framework controls (a strip of command buttons, a two-panel status
// strip, a framework popup menu); the ribbon implements the same interface
// when it takes their place, and the handlers stay as they are.
#pragma once

#include "platform/rtl/types.h"

class TCustomAction;
class TCustomForm;
class TCustomPanel;
class TPopupMenu;

// The appearance the ribbon shows and the settings keep.
struct TRibbonAppearance {
  bool SupportNonClientDrawing = true;  // the ribbon draws the frame
  bool ApplicationButtonVisible = true;
  bool TouchMode = false;
  bool QATVisible = true;
  bool QATBelowRibbon = false;
  AnsiString ColorSchemeName = "White";
};

class IMainWindowBars {
 public:
  virtual ~IMainWindowBars() = default;

  // Panel 0 (the search state) and panel 1 (the row counts); other
  // indexes are ignored and read empty.
  virtual AnsiString PanelText(Integer Index) const = 0;
  virtual void SetPanelText(Integer Index, const AnsiString& Text) = 0;

  // Whether the radial menu is the file list's context menu (the button
  // that chooses it is down).
  virtual bool RadialMenuDown() const = 0;
  virtual void SetRadialMenuDown(bool Value) = 0;
  // The radial menu, or the popup menu, at the mouse cursor.
  virtual void PopupRadialMenuAtCursor() = 0;
  virtual void PopupMenuAtCursor() = 0;

  virtual TRibbonAppearance Appearance() const = 0;
  virtual void SetAppearance(const TRibbonAppearance& Value) = 0;
};

// The colour schemes the ribbon offers, index 0 to 5: skin name and caption.
struct TColorSchemeName {
  const char* Name;
  const char* Caption;
};
extern const TColorSchemeName ColorSchemeNames[6];

// The index of the first scheme whose name equals Name without regard to
// case; false when none does.
bool FindColorScheme(const AnsiString& Name, Integer& Index);
