// Conversions between the clipboard's and drops' Win32 formats and the
// formats of the Linux desktop: text line ends, file lists as URLs.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/win/user/user.h"

namespace rtl::detail {

// CRLF line ends become LF on the way out and LF becomes CRLF on the way in.
std::string ToSystemText(const std::string& text);
std::string FromSystemText(const std::string& text);

// file:// URLs of paths (percent-encoded) and back; non-file URLs give "".
std::string FileUrl(const AnsiString& path);
AnsiString PathOfUrl(const std::string& url);

// The MIME formats that carry a file list: text/uri-list and the
// copied-files format of GNOME-style and KDE file managers.
std::vector<std::pair<AnsiString, std::string>> FileListFormats(const std::vector<AnsiString>& files, bool cut);
std::vector<AnsiString> ParseUriList(const std::string& data);
// "copy" or "cut", then one URL per line.
bool ParseCopiedFiles(const std::string& data, std::vector<AnsiString>& files, bool& cut);

// A DROPFILES block (wide names) and the names of one, either width.
HGLOBAL MakeDrop(const std::vector<AnsiString>& files, POINT pt, bool nonClient);
std::vector<AnsiString> FilesOfDrop(HDROP drop);

}  // namespace rtl::detail
