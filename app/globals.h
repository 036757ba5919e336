// The settings record of the application, its ini file and the window
// placement kept in that file.
#pragma once

#include "platform/rtl/types.h"

// Every user setting, the branding values and the running batch's type.
// Fields named like an ini key are stored under that key in section
// "System" of the settings file.
struct TGlobalVars {
  AnsiString SettingsFolder;  // always ends with the path delimiter
  AnsiString ConversionType;  // "WORD", "EXCEL", "HTML", "IMAGE" or "MultipageTIFF"
  AnsiString AddFolderPath;
  AnsiString LastOpenDir;
  bool OutputSameAsInput = true;
  AnsiString OutputFolder;
  bool OverwriteFile = false;
  bool PromptRemove = false;
  bool PromptOpenOuput = true;
  bool PlayASoundWhenFinished = true;
  bool WordAllPages = true;
  Integer WordFromPage = 1;
  Integer WordToPage = 1;
  AnsiString WordRenderMode = "Continuous";
  bool ExcelAllPages = true;
  Integer ExcelFromPage = 1;
  Integer ExcelToPage = 1;
  Integer ExcelLeftIndent = 0;
  Integer ExcelTopIndent = 0;
  AnsiString ExcelRenderMode = "WithFormatting";
  bool ExcelPutAllToSign = false;
  Integer ExcelSpacing = 1;
  bool HTMLAllPages = true;
  Integer HTMLFromPage = 1;
  Integer HTMLToPage = 1;
  bool HTMLPreserveImages = true;
  bool HTMLIncludeImage = false;
  Integer HTMLQuality = 100;
  bool HTMLTitleUseFileName = true;
  AnsiString HTMLTitleCustom = "Untitled document";
  AnsiString ImageFormat = "JPG";
  Integer ImageDPI = 120;
  AnsiString ImageColorDepth = "Colored 24-bit, Truecolor";
  AnsiString ImageResizingMode = "(None)";
  Integer ImageResizeTo = 800;
  Integer TIFFDPI = 120;
  AnsiString TIFFColorDepth = "Colored 24-bit, Truecolor";
  AnsiString TIFFCompressType = "(None)";
  bool RibbonForm = true;
  bool ApplicationButton = true;
  bool TouchMode = false;
  bool Visible = true;
  AnsiString ASkinName = "White";
  bool RadialMenu = true;
  // Branding values, never stored in the settings file.
  AnsiString Version;
  AnsiString Copyright;
  AnsiString HelpContectLink;
  AnsiString HelpHomePageLink;
  AnsiString HelpMoreFreeToolsLink;
  AnsiString HelpCheckForUpdatesLink;
  AnsiString HelpSupportLink;
  bool ToWord = true;
  bool ToExcel = true;
  bool ToHTML = true;
  bool ToImage = true;
  bool ToTIFF = true;
};

extern TGlobalVars GlobalVars;

// The text with the platform's path delimiter appended unless it already
// ends with one; an empty text gives a lone delimiter.
AnsiString WithTrailingBackslash(const AnsiString& s);

// The current user's shell folder of that name ("AppData", "Personal"),
// read from the registry's "Shell Folders" key without creating it; the
// home folder when the key or the value is missing or empty.
AnsiString ShellFolderPath(const AnsiString& name);

// The settings file's name for a product title: blanks, "/" and "\"
// removed, A-Z lower-cased, then "System.dat".
AnsiString SettingsFileName(const AnsiString& title);

// The settings file's full path: the settings folder, then the file name.
AnsiString SettingsFilePath(const AnsiString& title);

// Fixes GlobalVars.SettingsFolder for the title (created one level deep
// when missing; the application-data folder when that fails) and gives
// every stored field its default.
void InitializeSettings(const AnsiString& title);

// True when the settings file existed and was read; otherwise writes it
// with the current values and returns false. A file that is there but
// cannot be read (not a regular file, larger than MaxSettingsFileSize, no
// permission) raises EIniFileException "Unable to read %s. <why>" and is
// left as it is: it is neither taken as read nor replaced.
bool LoadSettings(const AnsiString& title);
// Writes every key of section "System" in the documented order. A value
// the file cannot hold (a line break, more than 2047 bytes) is not
// written; the others are, and then EIniValueError names every key
// refused. Raises EIniFileException when the file cannot be written or
// read (and then writes nothing more).
void SaveSettings(const AnsiString& title);

// What the placement routines need of a window.
class IPlacementWindow {
 public:
  virtual ~IPlacementWindow() = default;
  virtual TRect Bounds() const = 0;
  // The bounds the window has when restored (equal to Bounds unless it is
  // maximized).
  virtual TRect NormalBounds() const = 0;
  virtual void SetBounds(const TRect& r) = 0;
  virtual bool Maximized() const = 0;
  virtual void SetMaximized(bool value) = 0;
  // The work area of the monitor nearest to the given bounds.
  virtual TRect WorkArea(const TRect& bounds) const = 0;
  // The smallest size the window takes (its size constraints); a stored
  // size below it is raised to it.
  virtual TSize MinimumSize() const = 0;
  // The height the ribbon draws inside the window's caption area.
  virtual Integer RibbonExtraCaptionHeight() const = 0;
};

// Reads the placement kept in the section, fits it to the work area of the
// monitor it lies on and to the window's minimum size, and sets it (normal
// bounds first).
void LoadWindowPlacement(const AnsiString& title, const AnsiString& section, IPlacementWindow& window);
void SaveWindowPlacement(const AnsiString& title, const AnsiString& section, const IPlacementWindow& window);
