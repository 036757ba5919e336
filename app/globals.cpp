#include "app/globals.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"

TGlobalVars GlobalVars;

namespace {

const char kSystemSection[] = "System";
const char kShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// One stored setting: its key and the field it lives in. The table's order
// is the order in which the keys are written and read.
struct TSettingField {
  const char* Key;
  enum { skBool, skInt, skText } Kind;
  bool TGlobalVars::*Bool;
  Integer TGlobalVars::*Int;
  AnsiString TGlobalVars::*Text;
};

constexpr TSettingField B(const char* key, bool TGlobalVars::*f) { return {key, TSettingField::skBool, f, nullptr, nullptr}; }
constexpr TSettingField I(const char* key, Integer TGlobalVars::*f) { return {key, TSettingField::skInt, nullptr, f, nullptr}; }
constexpr TSettingField T(const char* key, AnsiString TGlobalVars::*f) { return {key, TSettingField::skText, nullptr, nullptr, f}; }

const TSettingField kSettings[] = {
    B("OutputSameAsInput", &TGlobalVars::OutputSameAsInput),
    T("OutputFolder", &TGlobalVars::OutputFolder),
    B("OverwriteFile", &TGlobalVars::OverwriteFile),
    B("PromptRemove", &TGlobalVars::PromptRemove),
    B("PromptOpenOuput", &TGlobalVars::PromptOpenOuput),
    B("PlayASoundWhenFinished", &TGlobalVars::PlayASoundWhenFinished),
    B("WordAllPages", &TGlobalVars::WordAllPages),
    I("WordFromPage", &TGlobalVars::WordFromPage),
    I("WordToPage", &TGlobalVars::WordToPage),
    T("WordRenderMode", &TGlobalVars::WordRenderMode),
    B("ExcelAllPages", &TGlobalVars::ExcelAllPages),
    I("ExcelFromPage", &TGlobalVars::ExcelFromPage),
    I("ExcelToPage", &TGlobalVars::ExcelToPage),
    I("ExcelLeftIndent", &TGlobalVars::ExcelLeftIndent),
    I("ExcelTopIndent", &TGlobalVars::ExcelTopIndent),
    T("ExcelRenderMode", &TGlobalVars::ExcelRenderMode),
    B("ExcelPutAllToSign", &TGlobalVars::ExcelPutAllToSign),
    I("ExcelSpacing", &TGlobalVars::ExcelSpacing),
    B("HTMLAllPages", &TGlobalVars::HTMLAllPages),
    I("HTMLFromPage", &TGlobalVars::HTMLFromPage),
    I("HTMLToPage", &TGlobalVars::HTMLToPage),
    B("HTMLPreserveImages", &TGlobalVars::HTMLPreserveImages),
    B("HTMLIncludeImage", &TGlobalVars::HTMLIncludeImage),
    I("HTMLQuality", &TGlobalVars::HTMLQuality),
    B("HTMLTitleUseFileName", &TGlobalVars::HTMLTitleUseFileName),
    T("HTMLTitleCustom", &TGlobalVars::HTMLTitleCustom),
    T("ImageFormat", &TGlobalVars::ImageFormat),
    I("ImageDPI", &TGlobalVars::ImageDPI),
    T("ImageColorDepth", &TGlobalVars::ImageColorDepth),
    T("ImageResizingMode", &TGlobalVars::ImageResizingMode),
    I("ImageResizeTo", &TGlobalVars::ImageResizeTo),
    I("TIFFDPI", &TGlobalVars::TIFFDPI),
    T("TIFFColorDepth", &TGlobalVars::TIFFColorDepth),
    T("TIFFCompressType", &TGlobalVars::TIFFCompressType),
    B("RibbonForm", &TGlobalVars::RibbonForm),
    B("ApplicationButton", &TGlobalVars::ApplicationButton),
    B("TouchMode", &TGlobalVars::TouchMode),
    B("Visible", &TGlobalVars::Visible),
    T("ASkinName", &TGlobalVars::ASkinName),
    B("RadialMenu", &TGlobalVars::RadialMenu),
    T("AddFolderPath", &TGlobalVars::AddFolderPath),
    T("LastOpenDir", &TGlobalVars::LastOpenDir),
};

AnsiString SettingsFolderFallback() { return WithTrailingBackslash(ShellFolderPath("AppData")); }

}  // namespace

AnsiString WithTrailingBackslash(const AnsiString& s) {
  if (!s.empty() && s.back() == PathDelim) return s;
  return s + PathDelim;
}

AnsiString ShellFolderPath(const AnsiString& name) {
  AnsiString result;
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  if (reg.OpenKeyReadOnly(kShellFoldersKey)) {
    if (reg.ValueExists(name)) result = reg.ReadString(name);
    reg.CloseKey();
  }
  // The original fell back to the root of the system drive; here the
  // user's home folder is the place that always exists.
  if (result.empty()) {
    const char* home = std::getenv("HOME");
    result = WithTrailingBackslash(home && *home ? home : "/");
  }
  return result;
}

AnsiString SettingsFileName(const AnsiString& title) {
  AnsiString name;
  for (char c : title) {
    if (c == ' ' || c == '/' || c == '\\') continue;
    name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return name + "System.dat";
}

AnsiString SettingsFilePath(const AnsiString& title) {
  return WithTrailingBackslash(GlobalVars.SettingsFolder) + SettingsFileName(title);
}

void InitializeSettings(const AnsiString& title) {
  TGlobalVars& g = GlobalVars;
  // A new account may have no application-data folder yet; without it no
  // settings could ever be written.
  const AnsiString appData = SettingsFolderFallback();
  if (!DirectoryExists(appData)) ForceDirectories(appData);
  g.SettingsFolder = WithTrailingBackslash(appData + title);
  if (!DirectoryExists(g.SettingsFolder) && !CreateDir(g.SettingsFolder)) g.SettingsFolder = SettingsFolderFallback();

  // Stored fields take their defaults; the branding values, the folder and
  // the batch type are not stored and stay as they are.
  const TGlobalVars defaults;
  for (const TSettingField& f : kSettings) {
    switch (f.Kind) {
      case TSettingField::skBool: g.*f.Bool = defaults.*f.Bool; break;
      case TSettingField::skInt: g.*f.Int = defaults.*f.Int; break;
      case TSettingField::skText: g.*f.Text = defaults.*f.Text; break;
    }
  }
  g.OutputFolder = ShellFolderPath("Personal");
  g.AddFolderPath = ShellFolderPath("Personal");
  g.LastOpenDir = ShellFolderPath("Personal");
}

bool LoadSettings(const AnsiString& title) {
  const AnsiString path = SettingsFilePath(title);
  if (!FileExists(path)) {
    SaveSettings(title);
    return false;
  }
  TIniFile ini(path);
  TGlobalVars& g = GlobalVars;
  for (const TSettingField& f : kSettings) {
    switch (f.Kind) {
      case TSettingField::skBool: g.*f.Bool = ini.ReadBool(kSystemSection, f.Key, g.*f.Bool); break;
      case TSettingField::skInt: g.*f.Int = ini.ReadInteger(kSystemSection, f.Key, g.*f.Int); break;
      case TSettingField::skText: g.*f.Text = ini.ReadString(kSystemSection, f.Key, g.*f.Text); break;
    }
  }
  return true;
}

void SaveSettings(const AnsiString& title) {
  TIniFile ini(SettingsFilePath(title));
  const TGlobalVars& g = GlobalVars;
  // Every key the file can hold is written. One it cannot (a folder name
  // with a line break, a value longer than a read returns) keeps what the
  // file had and is reported, with any other, once all are written.
  AnsiString refused;
  for (const TSettingField& f : kSettings) {
    try {
      switch (f.Kind) {
        case TSettingField::skBool: ini.WriteBool(kSystemSection, f.Key, g.*f.Bool); break;
        case TSettingField::skInt: ini.WriteInteger(kSystemSection, f.Key, g.*f.Int); break;
        case TSettingField::skText: ini.WriteString(kSystemSection, f.Key, g.*f.Text); break;
      }
    } catch (const EIniValueError& e) {
      refused += (refused.empty() ? "" : "\n") + e.Message();
    }
  }
  if (!refused.empty()) throw EIniValueError(refused);
}

void LoadWindowPlacement(const AnsiString& title, const AnsiString& section, IPlacementWindow& window) {
  TIniFile ini(SettingsFilePath(title));
  const TRect b = window.Bounds();
  bool maximized = ini.ReadBool(section, "maximized", false);
  Integer x = ini.ReadInteger(section, "x", b.Left);
  Integer y = ini.ReadInteger(section, "y", b.Top);
  Integer height = ini.ReadInteger(section, "height", b.Height());
  Integer width = ini.ReadInteger(section, "width", b.Width());

  // Wide arithmetic: the stored values may be anything an Integer holds,
  // and x + width must not wrap round. A size below the window's minimum
  // (zero or negative in the file) would give an empty window.
  const TSize minimum = window.MinimumSize();
  Int64 w = std::max<Int64>(width, std::max<Int64>(minimum.cx, 1));
  Int64 h = std::max<Int64>(height, std::max<Int64>(minimum.cy, 1));
  // The monitor is the one the stored rectangle lies on (or the nearest),
  // so that a window kept on a second monitor opens there again.
  auto clampInt = [](Int64 v) {
    return static_cast<Integer>(std::clamp<Int64>(v, std::numeric_limits<Integer>::min(),
                                                  std::numeric_limits<Integer>::max()));
  };
  const TRect work = window.WorkArea(TRect(x, y, clampInt(Int64(x) + w), clampInt(Int64(y) + h)));
  w = std::min<Int64>(width, work.Width());
  h = std::min<Int64>(height, work.Height());
  w = std::max<Int64>(w, std::max<Int64>(minimum.cx, 1));
  h = std::max<Int64>(h, std::max<Int64>(minimum.cy, 1));
  Int64 left = x, top = y;
  if (left + w > work.Right) left = work.Right - w;
  if (top + h > work.Bottom) top = work.Bottom - h;
  left = std::max<Int64>(left, work.Left);
  top = std::max<Int64>(top, work.Top);
  x = static_cast<Integer>(left);
  y = static_cast<Integer>(top);
  width = static_cast<Integer>(w);
  height = static_cast<Integer>(h);

  if (GlobalVars.RibbonForm) height += window.RibbonExtraCaptionHeight();
  // The normal bounds are set first, so that a maximized window restores
  // to them.
  window.SetBounds(Bounds(x, y, width, height));
  window.SetMaximized(maximized);
}

void SaveWindowPlacement(const AnsiString& title, const AnsiString& section, const IPlacementWindow& window) {
  TIniFile ini(SettingsFilePath(title));
  // A maximized window stores its restored bounds: storing the maximized
  // ones would open the next run's normal window over the whole screen.
  const TRect b = window.Maximized() ? window.NormalBounds() : window.Bounds();
  ini.WriteInteger(section, "x", b.Left);
  ini.WriteInteger(section, "y", b.Top);
  ini.WriteInteger(section, "height", b.Height());
  ini.WriteInteger(section, "width", b.Width());
  ini.WriteBool(section, "maximized", window.Maximized());
}
