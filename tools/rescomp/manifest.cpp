#include "tools/rescomp/manifest.h"

#include <fstream>

#include "tools/rescomp/images.h"

namespace rescomp {

namespace {

struct TKeyword {
  const char* Name;
  uint16_t Id;
};
constexpr TKeyword kTypes[] = {
    {"CURSOR", kRtCursor}, {"BITMAP", kRtBitmap},   {"ICON", kRtIcon},     {"FONT", 8},
    {"RCDATA", 10},        {"MESSAGETABLE", 11},    {"ANICURSOR", 21},     {"ANIICON", 22},
    {"HTML", 23},          {"MANIFEST", 24},
};

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string FolderOf(const std::string& path) {
  size_t i = path.rfind('/');
  return i == std::string::npos ? std::string() : path.substr(0, i + 1);
}

std::string Resolve(const std::string& folder, const std::string& path) {
  return !path.empty() && path[0] == '/' ? path : folder + path;
}

// Splits a line into tokens; double quotes group, with \" and \\ inside.
std::vector<std::string> Tokens(const std::string& line, const std::string& origin) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size()) break;
    std::string t;
    if (line[i] == '"') {
      ++i;
      while (i < line.size() && line[i] != '"') {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        t += line[i++];
      }
      if (i >= line.size()) throw TError(origin + ": unterminated quoted text");
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') t += line[i++];
    }
    tokens.push_back(t);
  }
  return tokens;
}

bool ParseNumber(const std::string& s, unsigned long max, unsigned long& value) {
  if (s.empty() || s.size() > 10 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::stoul(s);
  return value <= max;
}

bool IsName(const std::string& s) {
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
          c == '-'))
      return false;
  return true;
}

TResId ParseId(const std::string& s, const char* what, const std::string& origin) {
  unsigned long v;
  if (ParseNumber(s, 0xFFFF, v) && v > 0) return TResId::Number(static_cast<uint16_t>(v));
  if (IsName(s)) return TResId{0, Upper(s)};
  throw TError(origin + ": bad resource " + what + " \"" + s + "\"");
}

TResId ParseType(const std::string& s, const std::string& origin) {
  for (const TKeyword& k : kTypes)
    if (Upper(s) == k.Name) return TResId::Number(k.Id);
  return ParseId(s, "type", origin);
}

void ReadManifestFile(const std::string& path, TResourceSet& set, int depth) {
  if (depth > 16) throw TError(path + ": INCLUDE nests too deeply");
  std::ifstream in(path);
  if (!in) throw TError(path + ": cannot read the manifest");
  set.AddInput(path);
  const std::string folder = FolderOf(path);
  std::string line;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    const std::string origin = path + ":" + std::to_string(lineNo);
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    const std::vector<std::string> t = Tokens(line, origin);
    const std::string keyword = Upper(t[0]);
    if (keyword == "INCLUDE" || keyword == "STRINGTABLE") {
      if (t.size() != 2) throw TError(origin + ": expected " + keyword + " path");
      if (keyword == "INCLUDE")
        ReadManifestFile(Resolve(folder, t[1]), set, depth + 1);
      else
        ReadStringTable(Resolve(folder, t[1]), set);
      continue;
    }
    if (t.size() != 3) throw TError(origin + ": expected TYPE NAME path");
    const TResId type = ParseType(t[0], origin), name = ParseId(t[1], "name", origin);
    const std::string file = Resolve(folder, t[2]);
    set.AddInput(file);
    std::vector<uint8_t> data = ReadFile(file, origin);
    if (type == TResId::Number(kRtBitmap))
      AddBitmap(set, name, data, origin);
    else if (type == TResId::Number(kRtIcon))
      AddIcon(set, name, data, origin);
    else if (type == TResId::Number(kRtCursor))
      AddCursor(set, name, data, origin);
    else
      set.Add(TResource{type, name, std::move(data)}, origin);
  }
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// UTF-8 to UTF-16; raises TError for bytes that are not UTF-8.
std::u16string ToUtf16(const std::string& s, const std::string& origin) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    if (extra < 0 || i + extra >= s.size()) throw TError(origin + ": the text is not UTF-8");
    for (int k = 1; k <= extra; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) throw TError(origin + ": the text is not UTF-8");
      cp = (cp << 6) | (cc & 0x3F);
    }
    static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      throw TError(origin + ": the text is not UTF-8");
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += extra + 1;
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text of a quoted string starting at line[i] == '"'; i ends after it.
std::string Unescape(const std::string& line, size_t& i, const std::string& origin) {
  std::string out;
  ++i;
  while (i < line.size() && line[i] != '"') {
    char c = line[i++];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= line.size()) break;
    c = line[i++];
    switch (c) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'v': out += '\v'; break;
      case '\\': case '"': case '\'': case '?': out += c; break;
      case 'x': {
        int v = 0, n = 0;
        while (n < 2 && i < line.size() && HexValue(line[i]) >= 0) v = v * 16 + HexValue(line[i++]), ++n;
        if (n == 0) throw TError(origin + ": \\x without hex digits");
        out += static_cast<char>(v);
        break;
      }
      case 'u': {
        uint32_t v = 0;
        for (int n = 0; n < 4; ++n) {
          if (i >= line.size() || HexValue(line[i]) < 0) throw TError(origin + ": \\u needs four hex digits");
          v = v * 16 + static_cast<uint32_t>(HexValue(line[i++]));
        }
        if (v == 0 || (v >= 0xD800 && v <= 0xDFFF)) throw TError(origin + ": bad \\u character");
        AppendUtf8(out, v);
        break;
      }
      default:
        if (c >= '0' && c <= '7') {
          int v = c - '0', n = 1;
          while (n < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7') v = v * 8 + (line[i++] - '0'), ++n;
          if (v > 255) throw TError(origin + ": octal escape out of range");
          out += static_cast<char>(v);
          break;
        }
        throw TError(origin + ": unknown escape \\" + std::string(1, c));
    }
  }
  if (i >= line.size()) throw TError(origin + ": unterminated string");
  ++i;
  return out;
}

}  // namespace

void ReadManifest(const std::string& path, TResourceSet& set) { ReadManifestFile(path, set, 0); }

void ReadStringTable(const std::string& path, TResourceSet& set) {
  std::ifstream in(path);
  if (!in) throw TError(path + ": cannot read the string table");
  set.AddInput(path);
  std::string line;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    const std::string origin = path + ":" + std::to_string(lineNo);
    size_t i = line.find_first_not_of(" \t\r");
    if (i == std::string::npos || line[i] == '#') continue;
    size_t end = line.find_first_of(" \t", i);
    unsigned long id;
    if (end == std::string::npos || !ParseNumber(line.substr(i, end - i), 0xFFFF, id))
      throw TError(origin + ": expected ID \"text\"");
    i = line.find_first_not_of(" \t", end);
    if (i == std::string::npos || line[i] != '"') throw TError(origin + ": expected ID \"text\"");
    const std::string text = Unescape(line, i, origin);
    if (line.find_first_not_of(" \t\r", i) != std::string::npos) throw TError(origin + ": text after the string");
    set.AddString(static_cast<uint16_t>(id), ToUtf16(text, origin), origin);
  }
}

}  // namespace rescomp
