// The bars of the main window until the ribbon exists: a strip of buttons
// bound to the commands along the top (Tab reaches them; each shows a
// mnemonic of its own), a status strip of two text panels
// along the bottom, and the framework popup menu as the file list's
// context menu. There is no radial menu yet: when its style is chosen the
// popup menu stands in for it too.
#pragma once

#include <vector>

#include "app/main_window_bars.h"

class TButton;
class TPanel;

class TStandInBars : public IMainWindowBars {
 public:
  // Places the strips on the form; the form owns every control made.
  TStandInBars(TCustomForm* Form, TPopupMenu* PopupMenu);

  // A button for the command at the end of the strip; a gap before it
  // when it starts a new group.
  TButton* AddCommand(TCustomAction* Action, bool NewGroup = false);

  // Places the buttons in rows as wide as the strip.
  void Layout();
  // Gives every button a mnemonic no other button shows and no Alt+letter
  // shortcut of a command takes; runs whenever a command changes.
  void AssignMnemonics();

  TPanel* CommandStrip() const { return FCommandStrip; }
  TPanel* StatusStrip() const { return FStatusStrip; }
  TPanel* StatusPanel(Integer Index) const { return FPanels[Index]; }
  const std::vector<TButton*>& CommandButtons() const { return FButtons; }

  AnsiString PanelText(Integer Index) const override;
  void SetPanelText(Integer Index, const AnsiString& Text) override;
  bool RadialMenuDown() const override { return FRadialMenuDown; }
  void SetRadialMenuDown(bool Value) override { FRadialMenuDown = Value; }
  void PopupRadialMenuAtCursor() override;
  void PopupMenuAtCursor() override;
  TRibbonAppearance Appearance() const override { return FAppearance; }
  void SetAppearance(const TRibbonAppearance& Value) override;

 private:
  TCustomForm* FForm;
  TPopupMenu* FPopupMenu;
  TPanel* FCommandStrip = nullptr;
  TPanel* FStatusStrip = nullptr;
  TPanel* FPanels[2] = {nullptr, nullptr};
  AnsiString FTexts[2];
  std::vector<TButton*> FButtons;
  std::vector<bool> FGroupStarts;
  bool FRadialMenuDown = true;
  TRibbonAppearance FAppearance;
};
