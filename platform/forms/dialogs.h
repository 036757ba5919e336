// The common dialogs as components: choosing files to open, a colour and a
// font. Execute shows the window-system dialog as a modal dialog of the
// application (every other form disabled while it runs) and answers
// whether the user chose.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/properties.h"
#include "platform/win/kernel/windef.h"

class TStrings;
class TFont;

// ---- The common base -------------------------------------------------------------------------

class TCommonDialog : public TComponent {
  RTL_CLASS(TCommonDialog, TComponent)
  bool FCtl3D = true;
  Integer FHelpContext = 0;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

 protected:
  virtual void DoShow();
  virtual void DoClose();
  // Runs Func (the window-system dialog) with the application's other
  // windows disabled, capture and hints cancelled, OnShow before and
  // OnClose after; activation returns to the window that had it.
  bool TaskModalDialog(const std::function<bool()>& Func);

 public:
  explicit TCommonDialog(TComponent* AOwner);
  ~TCommonDialog() override;

  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value) { FCtl3D = Value; }
  Integer HelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer Value) { FHelpContext = Value; }

  // Owned by the active form's window, else the application's.
  virtual bool Execute();
  virtual bool Execute(HWND ParentWnd) = 0;

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
};

// ---- Open ------------------------------------------------------------------------------------

RTL_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
         ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
         ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
         ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden)
using TOpenOptions = TSet<TOpenOption, 32>;

// Filter is "Description|patterns|Description|patterns" (patterns like
// "*.pdf;*.PDF"); FilterIndex counts its pairs from 1. After Execute,
// Files holds the full path of every file chosen, in the dialog's order,
// and FileName the first of them.
class TOpenDialog : public TCommonDialog {
  RTL_CLASS(TOpenDialog, TCommonDialog)
  AnsiString FDefaultExt;
  AnsiString FFileName;
  AnsiString FFilter;
  Integer FFilterIndex = 1;
  AnsiString FInitialDir;
  AnsiString FTitle;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  std::unique_ptr<TStrings> FFiles;

 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  bool Execute(HWND ParentWnd) override;
  using TCommonDialog::Execute;

  TStrings* Files() const { return FFiles.get(); }
  const AnsiString& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const AnsiString& Value) { FDefaultExt = Value; }
  const AnsiString& FileName() const { return FFileName; }
  void SetFileName(const AnsiString& Value) { FFileName = Value; }
  const AnsiString& Filter() const { return FFilter; }
  void SetFilter(const AnsiString& Value) { FFilter = Value; }
  Integer FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(Integer Value) { FFilterIndex = Value; }
  const AnsiString& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const AnsiString& Value) { FInitialDir = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
};

// ---- Colour ----------------------------------------------------------------------------------

// CustomColors holds "ColorA=RRGGBB"-style lines (the hex digits of the
// colour value, "ColorA" to "ColorP"); a colour not named there is white.
class TColorDialog : public TCommonDialog {
  RTL_CLASS(TColorDialog, TCommonDialog)
  TColor FColor = 0;
  std::unique_ptr<TStrings> FCustomColors;

 public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;

  bool Execute(HWND ParentWnd) override;
  using TCommonDialog::Execute;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TStrings* CustomColors() const { return FCustomColors.get(); }
  void SetCustomColors(TStrings* Value);
};

// ---- Font ------------------------------------------------------------------------------------

class TFontDialog : public TCommonDialog {
  RTL_CLASS(TFontDialog, TCommonDialog)
  std::unique_ptr<TFont> FFont;

 public:
  explicit TFontDialog(TComponent* AOwner);
  ~TFontDialog() override;

  bool Execute(HWND ParentWnd) override;
  using TCommonDialog::Execute;

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
};

// Registers the dialog classes for form descriptions.
void RegisterDialogsClasses();
