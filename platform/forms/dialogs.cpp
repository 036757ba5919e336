#include "platform/forms/dialogs.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/forms/graphics.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/win/comdlg/commdlg.h"

namespace {

// A string list that form descriptions store as "Strings".
class TDialogStrings : public TStringList {
  RTL_CLASS(TDialogStrings, TStringList)

 protected:
  void DefineProperties(TFiler* Filer) override { DefineStringsProperty(this, Filer); }
};

RTL_IMPLEMENT_CLASS(TDialogStrings)

}  // namespace

RTL_IMPLEMENT_PUBLISHED(TCommonDialog,
                        RTL_PROP(Ctl3D).Default(true),
                        RTL_PROP(HelpContext).Default(0),
                        RTL_EVENT(OnClose),
                        RTL_EVENT(OnShow))
RTL_IMPLEMENT_PUBLISHED(TOpenDialog,
                        RTL_PROP(DefaultExt),
                        RTL_PROP(FileName),
                        RTL_PROP(Filter),
                        RTL_PROP(FilterIndex).Default(1),
                        RTL_PROP(InitialDir),
                        RTL_PROP(Options).Default({ofHideReadOnly, ofEnableSizing}),
                        RTL_PROP(Title))
RTL_IMPLEMENT_PUBLISHED(TColorDialog,
                        RTL_PROP(Color).Default(clBlack).Idents(ColorIdentMap()),
                        RTL_PROP(CustomColors))
RTL_IMPLEMENT_PUBLISHED(TFontDialog,
                        RTL_PROP(Font))

// ---- TCommonDialog -----------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

TCommonDialog::~TCommonDialog() { *FAlive = false; }

void TCommonDialog::DoShow() {
  if (OnShow) OnShow(this);
}

void TCommonDialog::DoClose() {
  if (OnClose) OnClose(this);
}

bool TCommonDialog::Execute() {
  HWND Owner = nullptr;
  if (Screen && Screen->ActiveCustomForm() && Screen->ActiveCustomForm()->HandleAllocated())
    Owner = Screen->ActiveCustomForm()->Handle();
  else if (Application)
    Owner = Application->Handle();
  return Execute(Owner);
}

bool TCommonDialog::TaskModalDialog(const std::function<bool()>& Func) {
  if (HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  if (Application) Application->CancelHint();
  HWND ActiveWindow = GetActiveWindow();
  HWND FocusBefore = GetFocus();
  std::vector<HWND> Windows = rtl::detail::DisableTaskWindows();
  std::shared_ptr<bool> Alive = FAlive;
  auto Restore = [&] {
    rtl::detail::EnableTaskWindows(Windows);
    rtl::detail::ReactivateAfterModal(ActiveWindow, FocusBefore);
  };
  bool Result = false;
  {
    TScopeExit RestoreOnExit([&] { Restore(); });
    DoShow();
    // The dialog runs its own loop: a handler may free this component.
    if (*Alive) Result = Func();
  }
  if (*Alive) DoClose();
  return Result && *Alive;
}

// ---- TOpenDialog -------------------------------------------------------------------------

namespace {

// The Win32 flags of the options; ofOldStyleDialog leaves OFN_EXPLORER out
// (the result format is the same).
DWORD OpenFlags(TOpenOptions Options) {
  static const DWORD Bits[] = {
      OFN_READONLY,         OFN_OVERWRITEPROMPT,     OFN_HIDEREADONLY,   OFN_NOCHANGEDIR,       OFN_SHOWHELP,
      OFN_NOVALIDATE,       OFN_ALLOWMULTISELECT,    OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST,
      OFN_CREATEPROMPT,     OFN_SHAREAWARE,          OFN_NOREADONLYRETURN,   OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON,
      OFN_NOLONGNAMES,      0,                       OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING,
      OFN_DONTADDTORECENT,  OFN_FORCESHOWHIDDEN};
  DWORD Flags = Options.Contains(ofOldStyleDialog) ? 0 : OFN_EXPLORER;
  for (int I = 0; I <= ofForceShowHidden; ++I)
    if (Options.Contains(static_cast<TOpenOption>(I))) Flags |= Bits[I];
  return Flags;
}

// "a|b|c|d" as the NUL-separated list the window system reads.
AnsiString FilterList(const AnsiString& Filter) {
  AnsiString R = Filter;
  for (char& C : R)
    if (C == '|') C = '\0';
  R.push_back('\0');
  R.push_back('\0');
  return R;
}

// The full paths of the buffer: one path, or a folder followed by names.
std::vector<AnsiString> ResultFiles(const char* Buffer) {
  std::vector<AnsiString> Parts;
  for (const char* P = Buffer; *P; P += std::strlen(P) + 1) Parts.push_back(P);
  if (Parts.size() <= 1) return Parts;
  std::vector<AnsiString> Files;
  for (size_t I = 1; I < Parts.size(); ++I)
    Files.push_back(!Parts[I].empty() && Parts[I][0] == PathDelim ? Parts[I]
                                                                   : IncludeTrailingPathDelimiter(Parts[0]) + Parts[I]);
  return Files;
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute(HWND ParentWnd) {
  // Room for a large selection: the dialog cannot be asked again once it
  // has closed.
  const size_t Size = FOptions.Contains(ofAllowMultiSelect) ? 1 << 20 : 1 << 14;
  std::vector<char> Buffer(Size, '\0');
  FFileName.copy(Buffer.data(), std::min(FFileName.size(), Size - 1));
  AnsiString Filter = FilterList(FFilter);
  OPENFILENAMEA Ofn{};
  Ofn.lStructSize = sizeof Ofn;
  Ofn.hwndOwner = ParentWnd;
  Ofn.lpstrFilter = FFilter.empty() ? nullptr : Filter.c_str();
  Ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex);
  Ofn.lpstrFile = Buffer.data();
  Ofn.nMaxFile = static_cast<DWORD>(Size);
  Ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  Ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  Ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  Ofn.Flags = OpenFlags(FOptions);
  bool Result = TaskModalDialog([&] { return GetOpenFileNameA(&Ofn) != FALSE; });
  if (!Result) {
    // A choice that does not fit is not a cancel.
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) throw EInvalidOperation("Too many files selected");
    return false;
  }
  std::vector<AnsiString> Chosen = ResultFiles(Buffer.data());
  FFiles->BeginUpdate();
  FFiles->Clear();
  for (const AnsiString& F : Chosen) FFiles->Add(F);
  FFiles->EndUpdate();
  FFileName = Chosen.empty() ? AnsiString() : Chosen.front();
  FFilterIndex = static_cast<Integer>(Ofn.nFilterIndex);
  if (Ofn.Flags & OFN_READONLY)
    FOptions.Include(ofReadOnly);
  else
    FOptions.Exclude(ofReadOnly);
  if (Ofn.Flags & OFN_EXTENSIONDIFFERENT)
    FOptions.Include(ofExtensionDifferent);
  else
    FOptions.Exclude(ofExtensionDifferent);
  return true;
}

// ---- TColorDialog ------------------------------------------------------------------------

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TDialogStrings>()) {}

TColorDialog::~TColorDialog() = default;

void TColorDialog::SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }

bool TColorDialog::Execute(HWND ParentWnd) {
  COLORREF Custom[16];
  for (int I = 0; I < 16; ++I) {
    AnsiString Value = FCustomColors->Values(AnsiString("Color") + static_cast<char>('A' + I));
    Integer C = 0;
    Custom[I] = !Value.empty() && TryStrToInt("$" + Value, C) ? static_cast<COLORREF>(C) & 0xFFFFFF : 0xFFFFFF;
  }
  CHOOSECOLORA Cc{};
  Cc.lStructSize = sizeof Cc;
  Cc.hwndOwner = ParentWnd;
  Cc.rgbResult = ColorToRGB(FColor);
  Cc.lpCustColors = Custom;
  Cc.Flags = CC_RGBINIT;
  if (!TaskModalDialog([&] { return ChooseColorA(&Cc) != FALSE; })) return false;
  FColor = static_cast<TColor>(Cc.rgbResult & 0xFFFFFF);
  FCustomColors->BeginUpdate();
  FCustomColors->Clear();
  for (int I = 0; I < 16; ++I)
    FCustomColors->Add(AnsiString("Color") + static_cast<char>('A' + I) + "=" + IntToHex(Custom[I] & 0xFFFFFF, 6));
  FCustomColors->EndUpdate();
  return true;
}

// ---- TFontDialog -------------------------------------------------------------------------

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TFont* Value) { FFont->Assign(Value); }

bool TFontDialog::Execute(HWND ParentWnd) {
  LOGFONTA Log{};
  GetObjectA(FFont->Handle(), sizeof Log, &Log);
  CHOOSEFONTA Cf{};
  Cf.lStructSize = sizeof Cf;
  Cf.hwndOwner = ParentWnd;
  Cf.lpLogFont = &Log;
  Cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  Cf.rgbColors = ColorToRGB(FFont->Color());
  if (!TaskModalDialog([&] { return ChooseFontA(&Cf) != FALSE; })) return false;
  FFont->SetName(Log.lfFaceName);
  FFont->SetHeight(Log.lfHeight);
  TFontStyles Style;
  if (Log.lfWeight >= FW_BOLD) Style.Include(fsBold);
  if (Log.lfItalic) Style.Include(fsItalic);
  if (Log.lfUnderline) Style.Include(fsUnderline);
  if (Log.lfStrikeOut) Style.Include(fsStrikeOut);
  FFont->SetStyle(Style);
  FFont->SetColor(static_cast<TColor>(Cf.rgbColors & 0xFFFFFF));
  return true;
}

void RegisterDialogsClasses() {
  RegisterClasses({TOpenDialog::StaticClass(), TColorDialog::StaticClass(), TFontDialog::StaticClass()});
}
