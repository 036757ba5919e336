// The common dialogs: choosing files to open (or a name to save under), a
// colour and a font. Records, flags and error codes are those of the public
// documentation; hook procedures and dialog templates are not offered.
// Paths are native ('/' separates folders) and the 8-bit functions speak
// UTF-8, as the rest of the layer does. Each dialog is modal: it disables
// its owner's top-level window and runs its own loop.
#pragma once

#include <functional>
#include <vector>

#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"

// ---- Open and save --------------------------------------------------------------

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_ENABLETEMPLATEHANDLE 0x00000080
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_SHAREAWARE 0x00004000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_NONETWORKBUTTON 0x00020000
#define OFN_NOLONGNAMES 0x00040000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLEINCLUDENOTIFY 0x00400000
#define OFN_ENABLESIZING 0x00800000
#define OFN_DONTADDTORECENT 0x02000000
#define OFN_FORCESHOWHIDDEN 0x10000000

// lpstrFilter holds pairs of a description and its patterns ("*.pdf;*.PDF"),
// each NUL-terminated, the whole list ending with an extra NUL;
// nFilterIndex counts the pairs from 1. lpstrFile is the buffer of nMaxFile
// characters that brings the initial name (or an empty string) and
// receives the result: the full path of one file, or with
// OFN_ALLOWMULTISELECT and several files the folder, a NUL, each name
// NUL-terminated and an extra NUL (the explorer format, whether or not
// OFN_EXPLORER is given). nFileOffset and nFileExtension are offsets into
// it, in characters.
struct OPENFILENAMEA {
  DWORD lStructSize = 0;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCSTR lpstrFilter = nullptr;
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

struct OPENFILENAMEW {
  DWORD lStructSize = 0;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCWSTR lpstrFilter = nullptr;
  LPWSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  LPWSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPWSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCWSTR lpstrInitialDir = nullptr;
  LPCWSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCWSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;
using OPENFILENAME = OPENFILENAMEA;
using LPOPENFILENAME = OPENFILENAMEA*;

// TRUE when the user chose; FALSE when the dialog was cancelled or closed
// (CommDlgExtendedError() is 0 then) or failed (it says why). The process's
// current folder is never changed, whatever OFN_NOCHANGEDIR says.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
// The same dialog asking for one name to save under: the file need not
// exist, and OFN_OVERWRITEPROMPT asks before an existing one is chosen.
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);
inline BOOL GetOpenFileName(LPOPENFILENAMEA ofn) { return GetOpenFileNameA(ofn); }
inline BOOL GetSaveFileName(LPOPENFILENAMEA ofn) { return GetSaveFileNameA(ofn); }

// ---- Colour ----------------------------------------------------------------------

#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SHOWHELP 0x00000008
#define CC_ENABLEHOOK 0x00000010
#define CC_ENABLETEMPLATE 0x00000020
#define CC_ENABLETEMPLATEHANDLE 0x00000040
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100

// lpCustColors points at 16 colours (required); the dialog updates them
// when the user defines custom colours.
struct CHOOSECOLORA {
  DWORD lStructSize = 0;
  HWND hwndOwner = nullptr;
  HWND hInstance = nullptr;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;
  DWORD Flags = 0;
  LPARAM lCustData = 0;
};
using LPCHOOSECOLORA = CHOOSECOLORA*;
using CHOOSECOLOR = CHOOSECOLORA;

BOOL ChooseColorA(LPCHOOSECOLORA cc);
inline BOOL ChooseColor(LPCHOOSECOLORA cc) { return ChooseColorA(cc); }

// ---- Font ------------------------------------------------------------------------

#define CF_SCREENFONTS 0x00000001
#define CF_PRINTERFONTS 0x00000002
#define CF_BOTH (CF_SCREENFONTS | CF_PRINTERFONTS)
#define CF_SHOWHELP 0x00000004
#define CF_ENABLEHOOK 0x00000008
#define CF_ENABLETEMPLATE 0x00000010
#define CF_ENABLETEMPLATEHANDLE 0x00000020
#define CF_INITTOLOGFONTSTRUCT 0x00000040
#define CF_USESTYLE 0x00000080
#define CF_EFFECTS 0x00000100
#define CF_APPLY 0x00000200
#define CF_ANSIONLY 0x00000400
#define CF_SCRIPTSONLY CF_ANSIONLY
#define CF_NOVECTORFONTS 0x00000800
#define CF_NOSIMULATIONS 0x00001000
#define CF_LIMITSIZE 0x00002000
#define CF_FIXEDPITCHONLY 0x00004000
#define CF_WYSIWYG 0x00008000
#define CF_FORCEFONTEXIST 0x00010000
#define CF_SCALABLEONLY 0x00020000
#define CF_TTONLY 0x00040000
#define CF_NOFACESEL 0x00080000
#define CF_NOSTYLESEL 0x00100000
#define CF_NOSIZESEL 0x00200000
#define CF_SELECTSCRIPT 0x00400000
#define CF_NOSCRIPTSEL 0x00800000
#define CF_NOVERTFONTS 0x01000000

#define BOLD_FONTTYPE 0x0100
#define ITALIC_FONTTYPE 0x0200
#define REGULAR_FONTTYPE 0x0400
#define SCREEN_FONTTYPE 0x2000
#define PRINTER_FONTTYPE 0x4000
#define SIMULATED_FONTTYPE 0x8000

// lpLogFont is required: it brings the initial choice with
// CF_INITTOLOGFONTSTRUCT and receives the result. iPointSize is in tenths
// of a point; rgbColors is the text colour (CF_EFFECTS); nSizeMin and
// nSizeMax bound the size with CF_LIMITSIZE.
struct CHOOSEFONTA {
  DWORD lStructSize = 0;
  HWND hwndOwner = nullptr;
  HDC hDC = nullptr;
  LOGFONTA* lpLogFont = nullptr;
  INT iPointSize = 0;
  DWORD Flags = 0;
  COLORREF rgbColors = 0;
  LPARAM lCustData = 0;
  HINSTANCE hInstance = nullptr;
  LPSTR lpszStyle = nullptr;
  WORD nFontType = 0;
  INT nSizeMin = 0;
  INT nSizeMax = 0;
};
using LPCHOOSEFONTA = CHOOSEFONTA*;
using CHOOSEFONT = CHOOSEFONTA;

BOOL ChooseFontA(LPCHOOSEFONTA cf);
inline BOOL ChooseFont(LPCHOOSEFONTA cf) { return ChooseFontA(cf); }

// ---- Errors ----------------------------------------------------------------------

#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define CDERR_NOTEMPLATE 0x0003
#define CDERR_NOHINSTANCE 0x0004
#define CDERR_LOADSTRFAILURE 0x0005
#define CDERR_FINDRESFAILURE 0x0006
#define CDERR_LOADRESFAILURE 0x0007
#define CDERR_LOCKRESFAILURE 0x0008
#define CDERR_MEMALLOCFAILURE 0x0009
#define CDERR_MEMLOCKFAILURE 0x000A
#define CDERR_NOHOOK 0x000B
#define CDERR_REGISTERMSGFAIL 0x000C
#define CFERR_NOFONTS 0x2001
#define CFERR_MAXLESSTHANMIN 0x2002
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
// The buffer cannot hold the result; its first two bytes (a WORD) hold
// the size it needs, in characters, with its NULs (0xFFFF when larger).
#define FNERR_BUFFERTOOSMALL 0x3003

// Why the calling thread's last common dialog failed; 0 after a success
// or a cancel.
DWORD CommDlgExtendedError();

// ---- Controls of the dialogs -------------------------------------------------------
// Ids of the children that tests and callers can find with GetDlgItem.

constexpr int lst1 = 0x0460;  // the folders and files (open), the font names (font)
constexpr int lst2 = 0x0461;  // the font styles
constexpr int lst3 = 0x0462;  // the font sizes
constexpr int cmb1 = 0x0470;  // the types of file; the font colour
constexpr int edt1 = 0x0480;  // the file name
constexpr int edt2 = 0x0481;  // red, green and blue of a colour being defined
constexpr int edt3 = 0x0482;
constexpr int edt4 = 0x0483;
constexpr int stc1 = 0x0440;  // the current folder; the font sample
constexpr int psh1 = 0x0400;  // one folder up; add to the custom colours
constexpr int psh2 = 0x0401;  // define custom colours
constexpr int chx1 = 0x0410;  // strikeout
constexpr int chx2 = 0x0411;  // underline
constexpr int ctl1 = 0x04A0;  // the basic colours
constexpr int ctl2 = 0x04A1;  // the custom colours
constexpr int ctl3 = 0x04A2;  // the colour chosen

namespace rtl::detail {

// ---- Scripted answers (tests) ------------------------------------------------------

// What an open or save dialog is asked for: the filter as (description,
// patterns) pairs, the 1-based filter index, the initial folder and name
// as given, the title and the OFN_ flags.
struct TOpenFileRequest {
  HWND Owner = nullptr;
  std::vector<std::pair<AnsiString, AnsiString>> Filters;
  DWORD FilterIndex = 0;
  AnsiString InitialDir;
  AnsiString FileName;
  AnsiString Title;
  DWORD Flags = 0;
  bool Save = false;
};
// The user's answer: Cancel, or the full paths chosen (in order) and the
// filter index in force at the end (0: the one asked for).
struct TOpenFileAnswer {
  bool Cancel = true;
  std::vector<AnsiString> Files;
  DWORD FilterIndex = 0;
};
// Answers open and save dialogs without showing them; an empty function
// shows them again.
using TOpenFileHook = std::function<TOpenFileAnswer(const TOpenFileRequest& Request)>;
void SetOpenFileHook(TOpenFileHook hook);
// Answer the colour and font dialogs without showing them: the hook gets
// the caller's record, may change its results (rgbResult and the custom
// colours; the LOGFONTA, iPointSize, rgbColors) and returns whether the
// user chose.
using TChooseColorHook = std::function<bool(CHOOSECOLORA& cc)>;
void SetChooseColorHook(TChooseColorHook hook);
using TChooseFontHook = std::function<bool(CHOOSEFONTA& cf)>;
void SetChooseFontHook(TChooseFontHook hook);

// Called with every common dialog once it is on the screen, before its
// loop runs (tests drive the real dialog with input from here).
using TCommonDialogShownHook = std::function<void(HWND dialog)>;
void SetCommonDialogShownHook(TCommonDialogShownHook hook);

}  // namespace rtl::detail
