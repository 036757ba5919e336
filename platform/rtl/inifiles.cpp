#include "platform/rtl/inifiles.h"

#include "platform/rtl/dateutils.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

RTL_IMPLEMENT_CLASS(TCustomIniFile)
RTL_IMPLEMENT_CLASS(TIniFile)
RTL_IMPLEMENT_CLASS(TMemIniFile)
RTL_IMPLEMENT_CLASS(EIniValueError)

// ---- TCustomIniFile ------------------------------------------------------------------

namespace {

[[noreturn]] void WriteFailed(const AnsiString& fileName) { throw EIniFileException("Unable to write to %s", {fileName}); }

// The file's content; false when there is none to read (no file, or a
// folder in its place, which the profile functions read as empty). Raises
// for anything else that cannot be read: taking it as empty would let the
// next write replace it.
bool ReadIniText(const AnsiString& fileName, AnsiString& text) {
  const TWholeFileRead r = ReadWholeFile(fileName, text, MaxSettingsFileSize);
  if (r == wfOk) return true;
  if (r == wfMissing || r == wfIsDirectory) return false;
  throw EIniFileException("Unable to read %s. %s", {fileName, WholeFileReadFailure(r, MaxSettingsFileSize)});
}

// Replaces the file with the text; raises the write error.
void ReplaceIniText(const AnsiString& fileName, const AnsiString& text) {
  if (!ReplaceWholeFile(fileName, text)) WriteFailed(fileName);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Integer TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) {
  return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

Extended TCustomIniFile::ReadFloat(const AnsiString& Section, const AnsiString& Name, Extended Default) {
  return StrToFloatDef(ReadString(Section, Name, ""), Default);
}

void TCustomIniFile::WriteFloat(const AnsiString& Section, const AnsiString& Name, Extended Value) {
  WriteString(Section, Name, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const AnsiString& Section, const AnsiString& Name, TDateTime Default) {
  return StrToDateDef(ReadString(Section, Name, ""), Default);
}

void TCustomIniFile::WriteDate(const AnsiString& Section, const AnsiString& Name, TDateTime Value) {
  WriteString(Section, Name, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const AnsiString& Section, const AnsiString& Name, TDateTime Default) {
  return StrToDateTimeDef(ReadString(Section, Name, ""), Default);
}

void TCustomIniFile::WriteDateTime(const AnsiString& Section, const AnsiString& Name, TDateTime Value) {
  WriteString(Section, Name, DateTimeToStr(Value));
}

Integer TCustomIniFile::ReadBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) {
  const AnsiString text = ReadString(Section, Name, "");
  std::vector<Byte> bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) break;  // the bytes up to the first bad digit
    bytes.push_back(static_cast<Byte>(hi * 16 + lo));
  }
  if (!bytes.empty()) Value->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return static_cast<Integer>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const AnsiString& Section, const AnsiString& Name, TStream* Value) {
  static const char kHex[] = "0123456789ABCDEF";
  AnsiString text;
  Byte buf[4096];
  for (Integer n; (n = Value->Read(buf, sizeof buf)) > 0;)
    for (Integer i = 0; i < n; ++i) {
      text += kHex[buf[i] >> 4];
      text += kHex[buf[i] & 15];
    }
  WriteString(Section, Name, text);
}

bool TCustomIniFile::SectionExists(const AnsiString& Section) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) >= 0;
}

// ---- TIniFile: the private-profile dialect -----------------------------------------

namespace {

constexpr size_t kMaxValue = 2047;
const char kBom[] = "\xEF\xBB\xBF";

struct TProfileLine {
  enum TKind { lkOther, lkSection, lkKey } Kind = lkOther;
  AnsiString Text;  // the line as read, without its line end
  AnsiString Name;  // section name or key, trimmed
  AnsiString Value;  // a key's value, trimmed
};

struct TProfile {
  bool Bom = false;
  std::vector<TProfileLine> Lines;
};

TProfileLine ClassifyLine(AnsiString text) {
  TProfileLine line;
  line.Text = std::move(text);
  const AnsiString t = Trim(line.Text);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    size_t close = t.rfind(']');
    if (close != AnsiString::npos && close > 0) {
      line.Kind = TProfileLine::lkSection;
      line.Name = Trim(t.substr(1, close - 1));
    }
    return line;
  }
  size_t eq = t.find('=');
  if (eq == AnsiString::npos) return line;
  line.Kind = TProfileLine::lkKey;
  line.Name = Trim(t.substr(0, eq));
  line.Value = Trim(t.substr(eq + 1));
  return line;
}

// Lines end at CR LF, LF or a lone CR, as in the string lists.
TProfile ParseProfile(const AnsiString& text) {
  TProfile p;
  size_t pos = 0;
  if (text.compare(0, 3, kBom) == 0) {
    p.Bom = true;
    pos = 3;
  }
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == AnsiString::npos) end = text.size();
    p.Lines.push_back(ClassifyLine(text.substr(pos, end - pos)));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  return p;
}

AnsiString ProfileText(const TProfile& p) {
  AnsiString s = p.Bom ? kBom : "";
  for (const TProfileLine& l : p.Lines) {
    s += l.Text;
    s += "\r\n";
  }
  return s;
}

// The range [begin, end) of lines of the first section named Section
// (begin is its header); begin == Lines.size() when there is none.
struct TSectionRange {
  size_t Header, End;
};

TSectionRange FindProfileSection(const TProfile& p, const AnsiString& Section, size_t from = 0) {
  const size_t n = p.Lines.size();
  const AnsiString name = Trim(Section);
  for (size_t i = from; i < n; ++i) {
    if (p.Lines[i].Kind != TProfileLine::lkSection || !AnsiSameText(p.Lines[i].Name, name)) continue;
    size_t end = i + 1;
    while (end < n && p.Lines[end].Kind != TProfileLine::lkSection) ++end;
    return {i, end};
  }
  return {n, n};
}

size_t FindProfileKey(const TProfile& p, TSectionRange r, const AnsiString& Ident) {
  const AnsiString name = Trim(Ident);
  for (size_t i = r.Header + 1; i < r.End; ++i)
    if (p.Lines[i].Kind == TProfileLine::lkKey && AnsiSameText(p.Lines[i].Name, name)) return i;
  return p.Lines.size();
}

// Surrounded by a pair of the same quote, which a read removes.
bool InQuotes(const AnsiString& v) { return v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]; }

// A value as the profile functions return it: unquoted and cut.
AnsiString ProfileValue(AnsiString v) {
  if (InQuotes(v)) v = v.substr(1, v.size() - 2);
  if (v.size() > kMaxValue) {
    // Never split a UTF-8 sequence.
    size_t n = kMaxValue;
    while (n > 0 && (static_cast<unsigned char>(v[n]) & 0xC0) == 0x80) --n;
    v.resize(n);
  }
  return v;
}

// The value as the file stores it: in double quotes when reading it bare
// would change it (blanks cut at either end, a surrounding pair of quotes
// removed), so that what is written reads back exactly.
AnsiString StoredValue(const AnsiString& v) {
  if (Trim(v) != v || InQuotes(v)) return "\"" + v + "\"";
  return v;
}

// Why the file cannot hold the text, or "" when it can.
AnsiString UnstorableText(const AnsiString& s) {
  if (s.find_first_of("\r\n") != AnsiString::npos) return "it holds a line break";
  if (s.find('\0') != AnsiString::npos) return "it holds a NUL byte";
  return AnsiString();
}

// Refuses, before anything is read or written, a section, key or value
// that the file cannot hold or that a read would not return whole.
void CheckStorable(const AnsiString& fileName, const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  AnsiString why = UnstorableText(Section);
  if (!why.empty()) throw EIniValueError("The section \"%s\" cannot be stored in %s: %s.", {Section, fileName, why});
  const AnsiString key = Trim(Ident);
  why = UnstorableText(Ident);
  if (why.empty() && key.empty()) why = "it is empty";
  if (why.empty() && key.find('=') != AnsiString::npos) why = "it holds \"=\"";
  if (why.empty() && (key[0] == ';' || key[0] == '[')) why = "it starts with \"" + key.substr(0, 1) + "\"";
  if (!why.empty()) throw EIniValueError("The key \"%s\" cannot be stored in %s: %s.", {Ident, fileName, why});
  why = UnstorableText(Value);
  if (why.empty() && Value.size() > kMaxValue) why = "it is longer than " + IntToStr(static_cast<Int64>(kMaxValue)) + " bytes";
  if (!why.empty()) throw EIniValueError("The value of \"%s\" cannot be stored in %s: %s.", {Ident, fileName, why});
}

}  // namespace

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  AnsiString text;
  if (ReadIniText(FileName(), text)) {
    const TProfile p = ParseProfile(text);
    const TSectionRange r = FindProfileSection(p, Section);
    const size_t k = r.Header < p.Lines.size() ? FindProfileKey(p, r, Ident) : p.Lines.size();
    if (k < p.Lines.size()) return ProfileValue(p.Lines[k].Value);
  }
  // The default loses its trailing blanks, as the profile functions do.
  return ProfileValue(TrimRight(Default));
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  CheckStorable(FileName(), Section, Ident, Value);
  const AnsiString line = Trim(Ident) + "=" + StoredValue(Value);
  // Read, change and replace as one step against other writers.
  TFileUpdateLock lock(FileName());
  if (!lock.Locked()) WriteFailed(FileName());
  AnsiString text;
  ReadIniText(FileName(), text);
  TProfile p = ParseProfile(text);
  const TSectionRange r = FindProfileSection(p, Section);
  if (r.Header == p.Lines.size()) {
    if (!p.Lines.empty() && !Trim(p.Lines.back().Text).empty()) p.Lines.push_back(ClassifyLine(""));
    p.Lines.push_back(ClassifyLine("[" + Section + "]"));
    p.Lines.push_back(ClassifyLine(line));
  } else {
    const size_t k = FindProfileKey(p, r, Ident);
    if (k < p.Lines.size()) {
      p.Lines[k] = ClassifyLine(p.Lines[k].Name + "=" + StoredValue(Value));
    } else {
      // After the section's last non-empty line, before the blank lines
      // that separate it from the next.
      size_t at = r.End;
      while (at > r.Header + 1 && Trim(p.Lines[at - 1].Text).empty()) --at;
      p.Lines.insert(p.Lines.begin() + static_cast<std::ptrdiff_t>(at), ClassifyLine(line));
    }
  }
  ReplaceIniText(FileName(), ProfileText(p));
}

Integer TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) {
  const AnsiString s = ReadString(Section, Ident, "");
  const size_t digits = !s.empty() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (s.size() > digits && s[digits] == '$') return Default;
  return StrToIntDef(s, Default);
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  AnsiString text;
  if (ReadIniText(FileName(), text)) {
    const TProfile p = ParseProfile(text);
    const TSectionRange r = FindProfileSection(p, Section);
    for (size_t i = r.Header + 1; i < r.End; ++i)
      if (p.Lines[i].Kind == TProfileLine::lkKey) Strings->Add(p.Lines[i].Name);
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  AnsiString text;
  if (ReadIniText(FileName(), text)) {
    for (const TProfileLine& l : ParseProfile(text).Lines)
      if (l.Kind == TProfileLine::lkSection && Strings->IndexOf(l.Name) < 0) Strings->Add(l.Name);
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  AnsiString text;
  if (ReadIniText(FileName(), text)) {
    const TProfile p = ParseProfile(text);
    const TSectionRange r = FindProfileSection(p, Section);
    for (size_t i = r.Header + 1; i < r.End; ++i)
      if (p.Lines[i].Kind == TProfileLine::lkKey) Strings->Add(p.Lines[i].Name + "=" + ProfileValue(p.Lines[i].Value));
  }
  Strings->EndUpdate();
}

void TIniFile::EraseSection(const AnsiString& Section) {
  AnsiString text;
  if (!ReadIniText(FileName(), text)) return;  // nothing to erase
  TFileUpdateLock lock(FileName());
  if (!lock.Locked()) WriteFailed(FileName());
  if (!ReadIniText(FileName(), text)) return;  // removed meanwhile
  TProfile p = ParseProfile(text);
  bool changed = false;
  // Every section of that name goes, so that none shows up afterwards.
  for (TSectionRange r = FindProfileSection(p, Section); r.Header < p.Lines.size(); r = FindProfileSection(p, Section, r.Header)) {
    p.Lines.erase(p.Lines.begin() + static_cast<std::ptrdiff_t>(r.Header), p.Lines.begin() + static_cast<std::ptrdiff_t>(r.End));
    changed = true;
  }
  if (changed) ReplaceIniText(FileName(), ProfileText(p));
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  AnsiString text;
  if (!ReadIniText(FileName(), text)) return;
  TFileUpdateLock lock(FileName());
  if (!lock.Locked() || !ReadIniText(FileName(), text)) return;
  TProfile p = ParseProfile(text);
  TSectionRange r = FindProfileSection(p, Section);
  bool changed = false;
  for (size_t k; r.Header < p.Lines.size() && (k = FindProfileKey(p, r, Ident)) < p.Lines.size(); --r.End) {
    p.Lines.erase(p.Lines.begin() + static_cast<std::ptrdiff_t>(k));
    changed = true;
  }
  // As the profile functions, a failed delete is not reported.
  if (changed) ReplaceWholeFile(FileName(), ProfileText(p));
}

// ---- TMemIniFile -----------------------------------------------------------------

TMemIniFile::TMemIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) { LoadValues(); }

bool TMemIniFile::SameName(const AnsiString& a, const AnsiString& b) const {
  return FCaseSensitive ? a == b : AnsiSameText(a, b);
}

TMemIniFile::TSection* TMemIniFile::FindSection(const AnsiString& Section) {
  for (TSection& s : FSections)
    if (SameName(s.Name, Section)) return &s;
  return nullptr;
}

Integer TMemIniFile::IndexOfName(const TSection& s, const AnsiString& Name) const {
  for (size_t i = 0; i < s.Lines.size(); ++i) {
    const AnsiString& line = s.Lines[i];
    size_t eq = line.find('=');
    if (eq != AnsiString::npos && SameName(line.substr(0, eq), Name)) return static_cast<Integer>(i);
  }
  return -1;
}

void TMemIniFile::LoadValues() {
  AnsiString text;
  FSections.clear();
  if (FileName().empty() || !ReadIniText(FileName(), text)) return;
  if (text.compare(0, 3, kBom) == 0) text.erase(0, 3);
  TStringList lines;
  lines.SetText(text);
  SetStrings(&lines);
}

AnsiString TMemIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  if (TSection* s = FindSection(Section)) {
    Integer i = IndexOfName(*s, Ident);
    if (i >= 0) {
      const AnsiString& line = s->Lines[static_cast<size_t>(i)];
      return line.substr(line.find('=') + 1);
    }
  }
  return Default;
}

void TMemIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  TSection* s = FindSection(Section);
  if (!s) {
    FSections.push_back({Section, {}});
    s = &FSections.back();
  }
  const AnsiString line = Ident + "=" + Value;
  Integer i = IndexOfName(*s, Ident);
  if (i >= 0)
    s->Lines[static_cast<size_t>(i)] = line;
  else
    s->Lines.push_back(line);
}

void TMemIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  if (TSection* s = FindSection(Section))
    for (const AnsiString& line : s->Lines) {
      size_t eq = line.find('=');
      if (eq != AnsiString::npos) Strings->Add(line.substr(0, eq));
    }
  Strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  for (const TSection& s : FSections) Strings->Add(s.Name);
  Strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  Strings->Clear();
  if (TSection* s = FindSection(Section))
    for (const AnsiString& line : s->Lines) Strings->Add(line);
  Strings->EndUpdate();
}

void TMemIniFile::EraseSection(const AnsiString& Section) {
  std::erase_if(FSections, [&](const TSection& s) { return SameName(s.Name, Section); });
}

void TMemIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  if (TSection* s = FindSection(Section)) {
    Integer i = IndexOfName(*s, Ident);
    if (i >= 0) s->Lines.erase(s->Lines.begin() + i);
  }
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  AnsiString text;
  for (const TSection& s : FSections) {
    text += "[" + s.Name + "]\r\n";
    for (const AnsiString& line : s.Lines) text += line + "\r\n";
    text += "\r\n";
  }
  TFileUpdateLock lock(FileName());
  if (!lock.Locked()) WriteFailed(FileName());
  ReplaceIniText(FileName(), text);
}

void TMemIniFile::GetStrings(TStrings* List) {
  List->BeginUpdate();
  for (const TSection& s : FSections) {
    List->Add("[" + s.Name + "]");
    for (const AnsiString& line : s.Lines) List->Add(line);
    List->Add("");
  }
  List->EndUpdate();
}

void TMemIniFile::SetStrings(TStrings* List) {
  FSections.clear();
  TSection* current = nullptr;
  for (Integer i = 0; i < List->Count(); ++i) {
    const AnsiString s = Trim(List->Strings(i));
    if (s.empty() || s[0] == ';') continue;
    if (s[0] == '[' && s.back() == ']') {
      const AnsiString name = Trim(s.substr(1, s.size() - 2));
      current = FindSection(name);
      if (!current) {
        FSections.push_back({name, {}});
        current = &FSections.back();
      }
    } else if (current) {
      size_t eq = s.find('=');
      current->Lines.push_back(eq == AnsiString::npos ? s : Trim(s.substr(0, eq)) + "=" + Trim(s.substr(eq + 1)));
    }
  }
}

void TMemIniFile::Rename(const AnsiString& FileName, bool Reload) {
  SetFileName(FileName);
  if (Reload) LoadValues();
}
