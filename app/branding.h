// The branding file next to the executable: an ini text whose lines are
// stored with every byte inverted. It names the product and decides which
// conversions are offered.
#pragma once

#include <memory>

#include "platform/rtl/types.h"

class TMemIniFile;

// The executable's folder with a trailing delimiter, then "PCore.dll".
AnsiString BrandingFilePath();

// A copy of the line in which every byte b is replaced by 255 - b.
AnsiString InvertLine(const AnsiString& line);

// Loads the branding file as lines, un-inverts each and hands the result
// to an in-memory ini. Raises EFOpenError when the file cannot be read:
// missing, not a regular file (a FIFO, a device) or larger than
// MaxSettingsFileSize; the message names the file and the reason.
std::unique_ptr<TMemIniFile> OpenBranding(const AnsiString& path);

// The product name: key "Name" of section "SYSTEM" (empty by default).
AnsiString ReadProductName(const AnsiString& path);

// The five conversions, in the order the ribbon shows them.
enum TConversionKind { ckWord, ckExcel, ckHTML, ckImage, ckTIFF };

// What reading the branding changes on the main window: its caption and
// which conversion commands are shown.
class IBrandingTarget {
 public:
  virtual ~IBrandingTarget() = default;
  virtual void SetCaption(const AnsiString& caption) = 0;
  virtual void SetConversionOffered(TConversionKind kind, bool offered) = 0;
};

// Sets the window's caption to the title, reads the remaining branding
// values into GlobalVars and shows or hides the five conversions.
void ReadBranding(IBrandingTarget& window, const AnsiString& title, const AnsiString& path);
