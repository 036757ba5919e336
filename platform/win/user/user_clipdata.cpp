// Clipboard and drop formats.
#include "platform/win/user/user_clipdata.h"

#include <cstring>

#include "platform/rtl/text_codec.h"

namespace rtl::detail {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<std::string> Lines(const std::string& data) {
  std::vector<std::string> r;
  size_t start = 0;
  while (start <= data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    r.push_back(line);
    start = end + 1;
  }
  return r;
}

}  // namespace

std::string ToSystemText(const std::string& text) {
  std::string r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    r.push_back(text[i]);
  }
  return r;
}

std::string FromSystemText(const std::string& text) {
  std::string r;
  r.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) r.push_back('\r');
    r.push_back(text[i]);
  }
  return r;
}

std::string FileUrl(const AnsiString& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string r = "file://";
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 std::strchr("/-_.~!$&'()*+,;=:@", c);
    if (plain) {
      r.push_back(static_cast<char>(c));
    } else {
      r.push_back('%');
      r.push_back(hex[c >> 4]);
      r.push_back(hex[c & 15]);
    }
  }
  return r;
}

AnsiString PathOfUrl(const std::string& url) {
  if (url.rfind("file:", 0) != 0) return AnsiString();
  std::string rest = url.substr(5);
  // file:///path or file://host/path (only the local host is ours).
  if (rest.rfind("//", 0) == 0) {
    size_t slash = rest.find('/', 2);
    if (slash == std::string::npos) return AnsiString();
    std::string host = rest.substr(2, slash - 2);
    if (!host.empty() && host != "localhost") return AnsiString();
    rest = rest.substr(slash);
  }
  AnsiString path;
  for (size_t i = 0; i < rest.size(); ++i) {
    int h1, h2;
    if (rest[i] == '%' && i + 2 < rest.size() && (h1 = HexValue(rest[i + 1])) >= 0 && (h2 = HexValue(rest[i + 2])) >= 0) {
      path.push_back(static_cast<char>(h1 * 16 + h2));
      i += 2;
    } else {
      path.push_back(rest[i]);
    }
  }
  return path;
}

std::vector<std::pair<AnsiString, std::string>> FileListFormats(const std::vector<AnsiString>& files, bool cut) {
  std::string uriList, copied = cut ? "cut" : "copy";
  for (const AnsiString& f : files) {
    std::string u = FileUrl(f);
    uriList += u + "\r\n";
    copied += "\n" + u;
  }
  std::vector<std::pair<AnsiString, std::string>> r = {{"text/uri-list", uriList},
                                                       {"x-special/gnome-copied-files", copied}};
  if (cut) r.push_back({"application/x-kde-cutselection", "1"});
  return r;
}

std::vector<AnsiString> ParseUriList(const std::string& data) {
  std::vector<AnsiString> files;
  for (const std::string& line : Lines(data)) {
    if (line.empty() || line[0] == '#') continue;
    AnsiString p = PathOfUrl(line);
    if (!p.empty()) files.push_back(p);
  }
  return files;
}

bool ParseCopiedFiles(const std::string& data, std::vector<AnsiString>& files, bool& cut) {
  std::vector<std::string> lines = Lines(data);
  if (lines.empty() || (lines[0] != "copy" && lines[0] != "cut")) return false;
  cut = lines[0] == "cut";
  files.clear();
  for (size_t i = 1; i < lines.size(); ++i) {
    AnsiString p = PathOfUrl(lines[i]);
    if (!p.empty()) files.push_back(p);
  }
  return !files.empty();
}

HGLOBAL MakeDrop(const std::vector<AnsiString>& files, POINT pt, bool nonClient) {
  WideString list;
  for (const AnsiString& f : files) {
    list += AnsiToWide(f);
    list.push_back(u'\0');
  }
  list.push_back(u'\0');
  size_t size = sizeof(DROPFILES) + list.size() * sizeof(WCHAR);
  HGLOBAL h = GlobalAlloc(GHND, size);
  if (!h) return nullptr;
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  df->pt = pt;
  df->fNC = nonClient ? TRUE : FALSE;
  df->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.data(), list.size() * sizeof(WCHAR));
  GlobalUnlock(h);
  return h;
}

std::vector<AnsiString> FilesOfDrop(HDROP drop) {
  std::vector<AnsiString> files;
  size_t size = GlobalSize(drop);
  const char* base = static_cast<const char*>(GlobalLock(drop));
  if (!base || size < sizeof(DROPFILES)) return files;
  const auto* df = reinterpret_cast<const DROPFILES*>(base);
  size_t pos = df->pFiles;
  if (df->fWide) {
    while (pos + sizeof(WCHAR) <= size) {
      const auto* p = reinterpret_cast<const WCHAR*>(base + pos);
      size_t n = 0;
      while (pos + (n + 1) * sizeof(WCHAR) <= size && p[n]) ++n;
      if (n == 0) break;
      files.push_back(WideToAnsi(WideString(p, n)));
      pos += (n + 1) * sizeof(WCHAR);
    }
  } else {
    while (pos < size) {
      const char* p = base + pos;
      size_t n = strnlen(p, size - pos);
      if (n == 0) break;
      files.push_back(AnsiString(p, n));
      pos += n + 1;
    }
  }
  GlobalUnlock(drop);
  return files;
}

}  // namespace rtl::detail
