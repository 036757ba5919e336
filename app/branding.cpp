#include "app/branding.h"

#include "app/globals.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/whole_files.h"

namespace {
const char kSection[] = "SYSTEM";
}

AnsiString BrandingFilePath() { return WithTrailingBackslash(ExtractFilePath(ParamStr(0))) + "PCore.dll"; }

AnsiString InvertLine(const AnsiString& line) {
  AnsiString r(line);
  for (char& c : r) c = static_cast<char>(255 - static_cast<unsigned char>(c));
  return r;
}

std::unique_ptr<TMemIniFile> OpenBranding(const AnsiString& path) {
  // Read without blocking and bounded: a FIFO or a device in the file's
  // place must not hang or fill memory before any window exists.
  AnsiString text;
  const TWholeFileRead r = ReadWholeFile(path, text, MaxSettingsFileSize);
  if (r != wfOk) throw EFOpenError("Cannot open file \"%s\". %s", {path, WholeFileReadFailure(r, MaxSettingsFileSize)});
  TStringList lines;
  lines.SetText(text);  // CR LF, LF or CR end a line; a NUL ends the text
  for (Integer i = 0; i < lines.Count(); ++i) lines.Put(i, InvertLine(lines.Get(i)));
  // The in-memory ini gets no file name: it would only read the raw file
  // again, to have it replaced by the lines, and it is never written.
  auto ini = std::make_unique<TMemIniFile>("");
  ini->SetStrings(&lines);
  return ini;
}

AnsiString ReadProductName(const AnsiString& path) { return OpenBranding(path)->ReadString(kSection, "Name", ""); }

void ReadBranding(IBrandingTarget& window, const AnsiString& title, const AnsiString& path) {
  window.SetCaption(title);
  std::unique_ptr<TMemIniFile> ini = OpenBranding(path);
  TGlobalVars& g = GlobalVars;
  g.Version = ini->ReadString(kSection, "Version", "");
  g.Copyright = ini->ReadString(kSection, "Copyright", "");
  g.HelpContectLink = ini->ReadString(kSection, "HelpContectLink", "");
  g.HelpHomePageLink = ini->ReadString(kSection, "HelpHomePageLink", "");
  g.HelpMoreFreeToolsLink = ini->ReadString(kSection, "HelpMoreFreeToolsLink", "");
  g.HelpCheckForUpdatesLink = ini->ReadString(kSection, "HelpCheckForUpdatesLink", "");
  g.HelpSupportLink = ini->ReadString(kSection, "HelpSupportLink", "");
  g.ToWord = ini->ReadBool(kSection, "ToWord", true);
  g.ToExcel = ini->ReadBool(kSection, "ToExcel", true);
  g.ToHTML = ini->ReadBool(kSection, "ToHTML", true);
  g.ToImage = ini->ReadBool(kSection, "ToImage", true);
  g.ToTIFF = ini->ReadBool(kSection, "ToTIFF", true);

  window.SetConversionOffered(ckWord, g.ToWord);
  window.SetConversionOffered(ckExcel, g.ToExcel);
  window.SetConversionOffered(ckHTML, g.ToHTML);
  window.SetConversionOffered(ckImage, g.ToImage);
  window.SetConversionOffered(ckTIFF, g.ToTIFF);
}
