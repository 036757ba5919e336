// Component descriptions as text, the form they are kept in under
// resources/:
//
//   object Form1: TForm1
//     Caption = 'Don'#39't panic'
//     Font.Style = [fsBold]
//     Items.Strings = (
//       'one'
//       'two')
//     Columns = <
//       item
//         Width = 60
//       end>
//     Data = {
//       0A0B0C}
//     OnClick = Form1Click
//     object Button1: TButton
//     end
//   end
//
// Its conversions from and to the binary form, and reading a root from a
// description held as text or binary, in a stream or a form resource (type
// RCDATA, named after the class).
#pragma once

#include "platform/rtl/component_streaming.h"

RTL_EXCEPTION(EParserError, Exception)
RTL_EXCEPTION(EInvalidImage, EFilerError)

// Tokens of TParser: these, or the character of a one-character symbol.
constexpr char toEOF = 0;
constexpr char toSymbol = 1;
constexpr char toString = 2;
constexpr char toInteger = 3;
constexpr char toFloat = 4;
constexpr char toWString = 5;

// The tokenizer of the text form. Strings are runs of 'quoted' parts
// (a doubled quote stands for one; bytes are UTF-8) and #nnn or #$hh
// characters (UTF-16 units); a string with a character above #255 is a
// toWString. Numbers are decimal or $hex integers and decimal floats, a
// float optionally followed by its kind: s (single), c (currency) or d
// (date). Errors raise EParserError "%s on line %d".
class TParser : public TObject {
  RTL_CLASS(TParser, TObject)
  AnsiString FText;
  size_t FPos = 0;
  Integer FSourceLine = 1;
  Integer FTokenLine = 1;
  char FToken = toEOF;
  AnsiString FTokenText;
  WideString FWideStr;
  char FFloatType = '\0';

  void SkipBlanks();
  void ReadStringToken();
  void ReadNumberToken();

 public:
  // Reads the rest of Stream.
  explicit TParser(TStream* Stream);

  char Token() const { return FToken; }
  char NextToken();
  // The token's text (a string token's value as 8-bit text).
  AnsiString TokenString() const;
  WideString TokenWideString() const { return FWideStr; }
  Int64 TokenInt() const;
  Extended TokenFloat() const;
  // 's', 'c', 'd' or '\0' after a float.
  char FloatType() const { return FFloatType; }
  // The identifier with the ".Name" parts that directly follow it.
  AnsiString TokenComponentIdent();
  bool TokenSymbolIs(const AnsiString& S) const;
  // Raise "Identifier expected", "String expected", "Number expected" or
  // "'%s' expected".
  void CheckToken(char T);
  // Raises "%s expected".
  void CheckTokenSymbol(const AnsiString& S);
  // Reads hexadecimal bytes up to the closing '}' into Stream (the '{'
  // is the current token); raises "Invalid binary value".
  void HexToBinary(TStream* Stream);
  // The line of the current token, from 1.
  Integer SourceLine() const { return FTokenLine; }
  [[noreturn]] void Error(const AnsiString& Message) const;
};

enum TStreamOriginalFormat { sofUnknown, sofBinary, sofText, sofUTF8Text };

// What the stream holds from its position on (which is kept): a binary
// form (also in a resource header), or a text description (sofUTF8Text
// with a byte-order mark).
TStreamOriginalFormat TestStreamFormat(TStream* Stream);

void ObjectTextToBinary(TStream* Input, TStream* Output);
void ObjectBinaryToText(TStream* Input, TStream* Output);
// The text of a form resource: a binary form after a resource header
// (raises EInvalidImage "Invalid stream format" for a wrong header), or a
// binary form or text description as it is.
void ObjectResourceToText(TStream* Input, TStream* Output);

// Reads a root from a text description; errors in the description carry
// its line (" on line %d").
TComponent* ReadComponentText(TStream* Input, TComponent* Instance);
// Reads a root from the program's RCDATA resource ResName, which holds a
// text description or a binary form. Raises EResNotFound "Resource %s not
// found" when it is missing.
TComponent* ReadComponentRes(const AnsiString& ResName, TComponent* Instance);
// Reads into Instance the resources named after its class and its
// ancestors below RootAncestor (TComponent at the most), the ancestors'
// first, as one load. False when there was none. Call it once the instance
// is fully constructed: a constructor sees its own class, not the final
// one.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
