#include "platform/rtl/form_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/rtl/filer_limits.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"

RTL_IMPLEMENT_CLASS(TParser)
RTL_IMPLEMENT_CLASS(EParserError)
RTL_IMPLEMENT_CLASS(EInvalidImage)

namespace {
constexpr const char* kInvalidStreamFormat = "Invalid stream format";
// Text form: strings break after this many characters, binary data after
// this many bytes.
constexpr size_t kLineLength = 64;
constexpr size_t kBytesPerLine = 32;
using rtl::detail::kFilerNestedTooDeeply;
using TNestingLevel = rtl::detail::TFilerNesting;

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

AnsiString ReadRest(TStream* Stream) {
  AnsiString text;
  char buf[4096];
  for (;;) {
    Integer n = Stream->Read(buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  return text;
}
}  // namespace

// ---- TParser ---------------------------------------------------------------

TParser::TParser(TStream* Stream) : FText(ReadRest(Stream)) {
  if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0) FPos = 3;
  NextToken();
}

void TParser::Error(const AnsiString& Message) const {
  throw EParserError("%s on line %d", {Message, FTokenLine});
}

void TParser::SkipBlanks() {
  while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ') {
    if (FText[FPos] == '\n') ++FSourceLine;
    ++FPos;
  }
}

char TParser::NextToken() {
  SkipBlanks();
  FTokenLine = FSourceLine;
  FTokenText.clear();
  FWideStr.clear();
  FFloatType = '\0';
  if (FPos >= FText.size()) return FToken = toEOF;
  char c = FText[FPos];
  if (IsIdentStart(c)) {
    size_t start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    FTokenText = FText.substr(start, FPos - start);
    return FToken = toSymbol;
  }
  if (c == '\'' || c == '#') {
    ReadStringToken();
    return FToken;
  }
  if (c == '$' || IsDigit(c) || (c == '-' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1]))) {
    ReadNumberToken();
    return FToken;
  }
  ++FPos;
  FTokenText = AnsiString(1, c);
  return FToken = c;
}

void TParser::ReadStringToken() {
  bool wide = false;
  for (;;) {
    if (FPos < FText.size() && FText[FPos] == '\'') {
      ++FPos;
      AnsiString part;
      for (;;) {
        if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r') Error("Invalid string constant");
        char ch = FText[FPos++];
        if (ch == '\'') {
          if (FPos < FText.size() && FText[FPos] == '\'') {
            ++FPos;
          } else {
            break;
          }
        }
        part += ch;
      }
      FWideStr += AnsiToWide(part);
    } else if (FPos < FText.size() && FText[FPos] == '#') {
      ++FPos;
      UInt64 v = 0;
      size_t digits = 0;
      if (FPos < FText.size() && FText[FPos] == '$') {
        ++FPos;
        for (; FPos < FText.size() && HexValue(FText[FPos]) >= 0 && v <= 0xFFFF; ++FPos, ++digits)
          v = v * 16 + HexValue(FText[FPos]);
      } else {
        for (; FPos < FText.size() && IsDigit(FText[FPos]) && v <= 0xFFFF; ++FPos, ++digits) v = v * 10 + (FText[FPos] - '0');
      }
      if (!digits || v > 0xFFFF) Error("Invalid string constant");
      if (v > 0xFF) wide = true;
      FWideStr += static_cast<WideChar>(v);
    } else {
      break;
    }
  }
  FTokenText = WideToAnsi(FWideStr);
  FToken = wide ? toWString : toString;
}

void TParser::ReadNumberToken() {
  size_t start = FPos;
  if (FText[FPos] == '$') {
    ++FPos;
    while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) ++FPos;
    FTokenText = FText.substr(start, FPos - start);
    FToken = toInteger;
    return;
  }
  if (FText[FPos] == '-') ++FPos;
  while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
  FToken = toInteger;
  if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
    FToken = toFloat;
    ++FPos;
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
  }
  if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
    size_t p = FPos + 1;
    if (p < FText.size() && (FText[p] == '+' || FText[p] == '-')) ++p;
    if (p < FText.size() && IsDigit(FText[p])) {
      FToken = toFloat;
      FPos = p;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
  }
  FTokenText = FText.substr(start, FPos - start);
  if (FPos < FText.size()) {
    char suffix = static_cast<char>(FText[FPos] | 0x20);
    if (suffix == 's' || suffix == 'c' || suffix == 'd') {
      FToken = toFloat;
      FFloatType = suffix;
      ++FPos;
    }
  }
}

AnsiString TParser::TokenString() const { return FTokenText; }

Int64 TParser::TokenInt() const {
  const char* b = FTokenText.data();
  const char* e = b + FTokenText.size();
  if (FTokenText.size() > 1 && FTokenText[0] == '$') {
    UInt64 v = 0;
    auto r = std::from_chars(b + 1, e, v, 16);
    if (r.ec != std::errc() || r.ptr != e) Error("Invalid numeric value");
    return static_cast<Int64>(v);
  }
  Int64 v = 0;
  auto r = std::from_chars(b, e, v);
  if (r.ec != std::errc() || r.ptr != e) Error("Invalid numeric value");
  return v;
}

Extended TParser::TokenFloat() const {
  double v = 0;
  const char* b = FTokenText.data();
  const char* e = b + FTokenText.size();
  auto r = std::from_chars(b, e, v);
  if (r.ec != std::errc() || r.ptr != e) Error("Invalid numeric value");
  return v;
}

AnsiString TParser::TokenComponentIdent() {
  CheckToken(toSymbol);
  while (FPos < FText.size() && FText[FPos] == '.') {
    ++FPos;
    if (FPos >= FText.size() || !IsIdentStart(FText[FPos])) Error("Identifier expected");
    size_t start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    FTokenText += "." + FText.substr(start, FPos - start);
  }
  return FTokenText;
}

bool TParser::TokenSymbolIs(const AnsiString& S) const { return FToken == toSymbol && SameText(FTokenText, S); }

void TParser::CheckToken(char T) {
  if (FToken == T) return;
  switch (T) {
    case toSymbol:
      Error("Identifier expected");
    case toString:
    case toWString:
      Error("String expected");
    case toInteger:
    case toFloat:
      Error("Number expected");
    default:
      Error(Format("'%s' expected", {AnsiString(1, T)}));
  }
}

void TParser::CheckTokenSymbol(const AnsiString& S) {
  if (!TokenSymbolIs(S)) Error(Format("%s expected", {S}));
}

void TParser::HexToBinary(TStream* Stream) {
  AnsiString bytes;
  for (;;) {
    SkipBlanks();
    if (FPos >= FText.size()) Error("Invalid binary value");
    if (FText[FPos] == '}') {
      ++FPos;
      break;
    }
    int hi = HexValue(FText[FPos]);
    int lo = FPos + 1 < FText.size() ? HexValue(FText[FPos + 1]) : -1;
    if (hi < 0 || lo < 0) Error("Invalid binary value");
    bytes += static_cast<char>(hi * 16 + lo);
    FPos += 2;
  }
  if (!bytes.empty()) Stream->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

// ---- Text to binary ------------------------------------------------------------

namespace {
class TTextToBinary {
  TParser FParser;
  TWriter FWriter;
  rtl::detail::TSourceLines* FLines;
  Integer FDepth = 0;

  TNestingLevel Nest() {
    return TNestingLevel(FDepth, [this] { FParser.Error(kFilerNestedTooDeeply); });
  }

  void Mark() {
    if (FLines) FLines->Entries.emplace_back(FWriter.Position(), FParser.SourceLine());
  }

  void ConvertHeader(bool Inherited, bool Inline) {
    FParser.CheckToken(toSymbol);
    AnsiString className = FParser.TokenString();
    AnsiString objectName;
    FParser.NextToken();
    if (FParser.Token() == ':') {
      FParser.NextToken();
      FParser.CheckToken(toSymbol);
      objectName = className;
      className = FParser.TokenString();
      FParser.NextToken();
    }
    TFilerFlags flags;
    if (Inherited) flags.Include(ffInherited);
    if (Inline) flags.Include(ffInline);
    Integer position = 0;
    if (FParser.Token() == '[') {
      FParser.NextToken();
      FParser.CheckToken(toInteger);
      position = static_cast<Integer>(FParser.TokenInt());
      flags.Include(ffChildPos);
      FParser.NextToken();
      FParser.CheckToken(']');
      FParser.NextToken();
    }
    FWriter.WritePrefix(flags, position);
    FWriter.WriteStr(className);
    FWriter.WriteStr(objectName);
  }

  void ConvertProperty() {
    FParser.CheckToken(toSymbol);
    Mark();
    AnsiString name = FParser.TokenString();
    FParser.NextToken();
    while (FParser.Token() == '.') {
      FParser.NextToken();
      FParser.CheckToken(toSymbol);
      name += "." + FParser.TokenString();
      FParser.NextToken();
    }
    if (name.size() > 255) FParser.Error("Invalid property path");
    FWriter.WriteStr(name);
    FParser.CheckToken('=');
    FParser.NextToken();
    ConvertValue();
  }

  void ConvertString() {
    WideString value = FParser.TokenWideString();
    bool wide = FParser.Token() == toWString;
    while (FParser.NextToken() == '+') {
      FParser.NextToken();
      if (FParser.Token() != toWString) FParser.CheckToken(toString);
      value += FParser.TokenWideString();
      wide = wide || FParser.Token() == toWString;
    }
    if (wide)
      FWriter.WriteWideString(value);
    else
      FWriter.WriteString(WideToAnsi(value));
  }

  void ConvertValue() {
    switch (FParser.Token()) {
      case toString:
      case toWString:
        ConvertString();
        return;
      case toInteger:
        FWriter.WriteInteger(FParser.TokenInt());
        break;
      case toFloat:
        switch (FParser.FloatType()) {
          case 's':
            FWriter.WriteSingle(static_cast<float>(FParser.TokenFloat()));
            break;
          case 'c':
            FWriter.WriteCurrency(FParser.TokenFloat());
            break;
          case 'd':
            FWriter.WriteDate(FParser.TokenFloat());
            break;
          default:
            FWriter.WriteFloat(FParser.TokenFloat());
        }
        break;
      case toSymbol:
        FWriter.WriteIdent(FParser.TokenComponentIdent());
        break;
      case '[':
        FParser.NextToken();
        FWriter.WriteValue(vaSet);
        if (FParser.Token() != ']') {
          for (;;) {
            FParser.CheckToken(toSymbol);
            FWriter.WriteStr(FParser.TokenString());
            if (FParser.NextToken() == ']') break;
            FParser.CheckToken(',');
            FParser.NextToken();
          }
        }
        FWriter.WriteStr(AnsiString());
        break;
      case '(': {
        TNestingLevel level = Nest();
        FParser.NextToken();
        FWriter.WriteListBegin();
        while (FParser.Token() != ')') ConvertValue();
        FWriter.WriteListEnd();
        break;
      }
      case '{': {
        TMemoryStream data;
        FParser.HexToBinary(&data);
        FWriter.WriteValue(vaBinary);
        auto size = static_cast<Cardinal>(data.Size());
        unsigned char b[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                              static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
        FWriter.Write(b, 4);
        if (size) FWriter.Write(data.Memory(), static_cast<Integer>(size));
        break;
      }
      case '<': {
        TNestingLevel level = Nest();
        FParser.NextToken();
        FWriter.WriteValue(vaCollection);
        while (FParser.Token() != '>') {
          FParser.CheckTokenSymbol("item");
          Mark();
          FParser.NextToken();
          if (FParser.Token() == '[') {
            FParser.NextToken();
            FParser.CheckToken(toInteger);
            FWriter.WriteInteger(FParser.TokenInt());
            FParser.NextToken();
            FParser.CheckToken(']');
            FParser.NextToken();
          }
          FWriter.WriteListBegin();
          while (!FParser.TokenSymbolIs("end")) ConvertProperty();
          FWriter.WriteListEnd();
          FParser.NextToken();
        }
        FWriter.WriteListEnd();
        break;
      }
      default:
        FParser.Error("Invalid property value");
    }
    FParser.NextToken();
  }

  bool AtObject() const {
    return FParser.TokenSymbolIs("object") || FParser.TokenSymbolIs("inherited") || FParser.TokenSymbolIs("inline");
  }

 public:
  TTextToBinary(TStream* Input, TStream* Output, rtl::detail::TSourceLines* Lines)
      : FParser(Input), FWriter(Output, 4096), FLines(Lines) {}

  void ConvertObject() {
    TNestingLevel level = Nest();
    bool isInherited = FParser.TokenSymbolIs("inherited");
    bool isInline = FParser.TokenSymbolIs("inline");
    if (!isInherited && !isInline) FParser.CheckTokenSymbol("object");
    Mark();
    FParser.NextToken();
    ConvertHeader(isInherited, isInline);
    while (!FParser.TokenSymbolIs("end") && !AtObject()) ConvertProperty();
    FWriter.WriteListEnd();
    while (!FParser.TokenSymbolIs("end")) ConvertObject();
    FWriter.WriteListEnd();
    FParser.NextToken();
  }

  void Convert() {
    FWriter.WriteSignature();
    ConvertObject();
    FWriter.FlushBuffer();
  }
};

void TextToBinary(TStream* Input, TStream* Output, rtl::detail::TSourceLines* Lines) {
  TTextToBinary(Input, Output, Lines).Convert();
}
}  // namespace

void ObjectTextToBinary(TStream* Input, TStream* Output) { TextToBinary(Input, Output, nullptr); }

// ---- Binary to text ------------------------------------------------------------

namespace {
AnsiString Spaces(Integer n) { return AnsiString(static_cast<size_t>(n), ' '); }

// Exactly enough digits to read the same value back, fixed with at least
// 18 decimals where that stays readable, else with an exponent.
template <class F>
AnsiString FloatText(F v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  AnsiString sci(buf, r.ptr);
  AnsiString sign;
  if (sci[0] == '-') {
    sign = "-";
    sci.erase(0, 1);
  }
  size_t ePos = sci.find('e');
  int exp = std::stoi(sci.substr(ePos + 1));
  AnsiString digits = sci.substr(0, ePos);
  if (digits.size() > 1) digits.erase(1, 1);  // the point
  if (v != 0 && (exp >= 15 || exp < -18)) {
    AnsiString m = digits.substr(0, 1);
    if (digits.size() > 1) m += "." + digits.substr(1);
    return sign + m + "E" + (exp < 0 ? "-" : "+") + std::to_string(std::abs(exp));
  }
  AnsiString intPart, frac;
  if (v == 0) {
    intPart = "0";
  } else if (exp >= 0) {
    if (digits.size() < static_cast<size_t>(exp) + 1) digits.append(exp + 1 - digits.size(), '0');
    intPart = digits.substr(0, exp + 1);
    frac = digits.substr(exp + 1);
  } else {
    intPart = "0";
    frac = AnsiString(static_cast<size_t>(-exp - 1), '0') + digits;
  }
  if (frac.size() < 18) frac.append(18 - frac.size(), '0');
  return sign + intPart + "." + frac;
}

AnsiString CurrencyText(Extended v) {
  auto c = static_cast<Int64>(std::llround(v * 10000));
  AnsiString sign = c < 0 ? "-" : "";
  UInt64 a = c < 0 ? UInt64(0) - static_cast<UInt64>(c) : static_cast<UInt64>(c);
  AnsiString frac = std::to_string(a % 10000);
  frac = AnsiString(4 - frac.size(), '0') + frac;
  while (frac.size() > 1 && frac.back() == '0') frac.pop_back();
  return sign + std::to_string(a / 10000) + "." + frac;
}

class TBinaryToText {
  TReader FReader;
  AnsiString FOut;
  Integer FDepth = 0;

  TNestingLevel Nest() {
    return TNestingLevel(FDepth, [] { throw EReadError(kFilerNestedTooDeeply); });
  }

  void WriteString(const WideString& s, Integer indent) {
    if (s.empty()) {
      FOut += "''";
      return;
    }
    size_t len = s.size();
    if (len > kLineLength) FOut += "\n" + Spaces(indent + 2);
    size_t i = 0, lineStart = 0;
    while (i < len) {
      bool lineBreak = false;
      WideChar c = s[i];
      if (c >= u' ' && c != u'\'' && c <= 127) {
        size_t j = i;
        do {
          ++i;
        } while (i < len && s[i] >= u' ' && s[i] != u'\'' && s[i] <= 127 && i - lineStart < kLineLength);
        if (i - lineStart >= kLineLength) lineBreak = true;
        FOut += '\'';
        for (size_t k = j; k < i; ++k) FOut += static_cast<char>(s[k]);
        FOut += '\'';
      } else {
        FOut += "#" + std::to_string(c);
        ++i;
        if (i - lineStart >= kLineLength) lineBreak = true;
      }
      if (lineBreak && i < len) {
        FOut += " +\n" + Spaces(indent + 2);
        lineStart = i;
      }
    }
  }

  void WriteBinary(Integer indent) {
    FReader.ReadValue();
    unsigned char b4[4];
    FReader.Read(b4, 4);
    Cardinal size = b4[0] | (b4[1] << 8) | (b4[2] << 16) | (Cardinal(b4[3]) << 24);
    static const char kHex[] = "0123456789ABCDEF";
    FOut += "{";
    unsigned char chunk[kBytesPerLine];
    while (size > 0) {
      auto n = static_cast<Integer>(std::min<Cardinal>(size, kBytesPerLine));
      FReader.Read(chunk, n);
      FOut += "\n" + Spaces(indent + 2);
      for (Integer i = 0; i < n; ++i) {
        FOut += kHex[chunk[i] >> 4];
        FOut += kHex[chunk[i] & 15];
      }
      size -= static_cast<Cardinal>(n);
    }
    FOut += "}";
  }

  void WriteValue(Integer indent) {
    switch (FReader.NextValue()) {
      case vaList: {
        TNestingLevel level = Nest();
        FReader.ReadValue();
        FOut += "(";
        while (!FReader.EndOfList()) {
          FOut += "\n" + Spaces(indent + 2);
          WriteValue(indent + 2);
        }
        FReader.ReadListEnd();
        FOut += ")";
        break;
      }
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64:
        FOut += std::to_string(FReader.ReadInt64());
        break;
      case vaExtended:
      case vaDouble:
        FOut += FloatText(FReader.ReadFloat());
        break;
      case vaSingle:
        FOut += FloatText(FReader.ReadSingle()) + "s";
        break;
      case vaCurrency:
        FOut += CurrencyText(FReader.ReadCurrency()) + "c";
        break;
      case vaDate:
        FOut += FloatText(FReader.ReadDate()) + "d";
        break;
      case vaString:
      case vaLString:
      case vaUTF8String:
      case vaWString:
        WriteString(FReader.ReadWideString(), indent);
        break;
      case vaIdent:
      case vaFalse:
      case vaTrue:
      case vaNil:
      case vaNull:
        FOut += FReader.ReadIdent();
        break;
      case vaBinary:
        WriteBinary(indent);
        break;
      case vaSet: {
        FReader.ReadValue();
        FOut += "[";
        bool first = true;
        for (AnsiString name = FReader.ReadStr(); !name.empty(); name = FReader.ReadStr()) {
          if (!first) FOut += ", ";
          FOut += name;
          first = false;
        }
        FOut += "]";
        break;
      }
      case vaCollection: {
        TNestingLevel level = Nest();
        FReader.ReadValue();
        FOut += "<";
        while (!FReader.EndOfList()) {
          FOut += "\n" + Spaces(indent + 2) + "item";
          TValueType next = FReader.NextValue();
          if (next == vaInt8 || next == vaInt16 || next == vaInt32) FOut += " [" + std::to_string(FReader.ReadInteger()) + "]";
          FOut += "\n";
          FReader.ReadListBegin();
          while (!FReader.EndOfList()) WriteProperty(indent + 4);
          FReader.ReadListEnd();
          FOut += Spaces(indent + 2) + "end";
        }
        FReader.ReadListEnd();
        FOut += ">";
        break;
      }
      default:
        throw EReadError(kInvalidStreamFormat);
    }
  }

  void WriteProperty(Integer indent) {
    FOut += Spaces(indent) + FReader.ReadStr() + " = ";
    WriteValue(indent);
    FOut += "\n";
  }

  void WriteObject(Integer indent) {
    TNestingLevel level = Nest();
    TFilerFlags flags;
    Integer position = 0;
    FReader.ReadPrefix(flags, position);
    AnsiString className = FReader.ReadStr();
    AnsiString objectName = FReader.ReadStr();
    FOut += Spaces(indent);
    if (flags.Contains(ffInherited))
      FOut += "inherited ";
    else if (flags.Contains(ffInline))
      FOut += "inline ";
    else
      FOut += "object ";
    if (!objectName.empty()) FOut += objectName + ": ";
    FOut += className;
    if (flags.Contains(ffChildPos)) FOut += " [" + std::to_string(position) + "]";
    FOut += "\n";
    while (!FReader.EndOfList()) WriteProperty(indent + 2);
    FReader.ReadListEnd();
    while (!FReader.EndOfList()) WriteObject(indent + 2);
    FReader.ReadListEnd();
    FOut += Spaces(indent) + "end\n";
  }

 public:
  explicit TBinaryToText(TStream* Input) : FReader(Input, 4096) {}

  AnsiString Convert() {
    FReader.ReadSignature();
    WriteObject(0);
    return FOut;
  }
};

// Skips the header of a resource stream when there is one: 0xFF, the type
// (RCDATA), the name, the memory flags and the data size.
void SkipResHeader(TStream* Stream) {
  Int64 pos = Stream->Position();
  unsigned char b[3];
  if (Stream->Read(b, 1) != 1 || b[0] != 0xFF) {
    Stream->SetPosition(pos);
    return;
  }
  Stream->SetPosition(pos);
  Stream->ReadBuffer(b, 3);
  if (b[0] != 0xFF || b[1] != 10 || b[2] != 0) throw EInvalidImage(kInvalidStreamFormat);
  char c;
  do {
    Stream->ReadBuffer(&c, 1);
  } while (c != '\0');
  unsigned char rest[6];
  Stream->ReadBuffer(rest, 6);
}

TComponent* ReadResourceStream(TStream* Stream, TComponent* Instance) {
  SkipResHeader(Stream);
  switch (TestStreamFormat(Stream)) {
    case sofBinary: {
      TReader reader(Stream, 4096);
      return reader.ReadRootComponent(Instance);
    }
    case sofText:
    case sofUTF8Text:
      return ReadComponentText(Stream, Instance);
    default:
      throw EReadError(kInvalidStreamFormat);
  }
}
}  // namespace

void ObjectBinaryToText(TStream* Input, TStream* Output) {
  AnsiString text = TBinaryToText(Input).Convert();
  Output->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

TStreamOriginalFormat TestStreamFormat(TStream* Stream) {
  Int64 pos = Stream->Position();
  char buf[64];
  Integer n = Stream->Read(buf, sizeof buf);
  Stream->SetPosition(pos);
  if (n <= 0) return sofUnknown;
  AnsiString head(buf, static_cast<size_t>(n));
  if (head.compare(0, 4, "TPF0") == 0 || static_cast<unsigned char>(head[0]) == 0xFF) return sofBinary;
  bool bom = head.compare(0, 3, "\xEF\xBB\xBF") == 0;
  size_t i = bom ? 3 : 0;
  while (i < head.size() && static_cast<unsigned char>(head[i]) <= ' ') ++i;
  for (const char* keyword : {"object", "inherited", "inline"}) {
    size_t len = std::strlen(keyword);
    if (i + len <= head.size() && SameText(head.substr(i, len), keyword) &&
        (i + len == head.size() || !IsIdentChar(head[i + len])))
      return bom ? sofUTF8Text : sofText;
  }
  return sofUnknown;
}

void ObjectResourceToText(TStream* Input, TStream* Output) {
  SkipResHeader(Input);
  switch (TestStreamFormat(Input)) {
    case sofBinary:
      ObjectBinaryToText(Input, Output);
      break;
    case sofText:
    case sofUTF8Text: {
      AnsiString text = ReadRest(Input);
      Output->WriteBuffer(text.data(), static_cast<Integer>(text.size()));
      break;
    }
    default:
      throw EInvalidImage(kInvalidStreamFormat);
  }
}

TComponent* ReadComponentText(TStream* Input, TComponent* Instance) {
  rtl::detail::TSourceLines lines;
  TMemoryStream binary;
  TextToBinary(Input, &binary, &lines);
  binary.SetPosition(0);
  TReader reader(&binary, 4096);
  reader.SetSourceLines(&lines);
  return reader.ReadRootComponent(Instance);
}

TComponent* ReadComponentRes(const AnsiString& ResName, TComponent* Instance) {
  TResourceStream stream(HInstance, ResName, RT_RCDATA);
  return ReadResourceStream(&stream, Instance);
}

namespace {
bool InitComponent(TComponent* Instance, TClass ClassType, TClass RootAncestor) {
  if (!ClassType || ClassType == TComponent::StaticClass() || ClassType == RootAncestor) return false;
  bool result = InitComponent(Instance, ClassType->Parent, RootAncestor);
  if (!FindResource(HInstance, ClassType->Name, RT_RCDATA)) return result;
  TResourceStream stream(HInstance, ClassType->Name, RT_RCDATA);
  ReadResourceStream(&stream, Instance);
  return true;
}
}  // namespace

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  rtl::detail::TLoadingScope scope;
  bool result = InitComponent(Instance, Instance->ClassType(), RootAncestor);
  scope.Finish();
  return result;
}
