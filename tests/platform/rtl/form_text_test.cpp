#include "platform/rtl/form_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "component_streaming_test_classes.h"
#include "platform/rtl/streams.h"

namespace {

// A form in the writer's own layout: reading it and writing it back must
// give the same bytes.
const char* const kForm =
    "object MainForm: TTestForm\n"
    "  Tag = 5\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  Width = 400\n"
    "  Height = 300\n"
    "  Caption = 'Don'#39't panic'#13#10'caf'#233' '#937\n"
    "  Hint = 'wide '#8364\n"
    "  ParentFont = False\n"
    "  Font.Name = 'Segoe UI'\n"
    "  Font.Size = 10\n"
    "  Font.Style = [fsBold, fsUnderline]\n"
    "  Font.Color = clRed\n"
    "  Scale = 1.250000000000000000\n"
    "  Ratio = 0.500000000000000000s\n"
    "  Big = 12345678901234\n"
    "  Accel = 'K'\n"
    "  Items = <\n"
    "    item\n"
    "      Caption = 'first'\n"
    "      Value = -7\n"
    "      Target = Button1\n"
    "    end\n"
    "    item\n"
    "      Caption = 'second'\n"
    "    end>\n"
    "  OnChange = FormChange\n"
    "  Data = {\n"
    "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
    "    2021222324252627}\n"
    "  Lines = (\n"
    "    'alpha'\n"
    "    'beta')\n"
    "  object Timer1: TTestTimer\n"
    "    Interval = 250\n"
    "    Enabled = False\n"
    "    OnTimer = TimerTick\n"
    "  end\n"
    "  object Panel1: TTestControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Caption = \n"
    "      'This caption is long enough to be written on two lines by the wr' +\n"
    "      'iter'\n"
    "    Align = taTop\n"
    "    Anchors = [akLeft, akRight]\n"
    "    Visible = False\n"
    "    Link = Button1\n"
    "    object Button1: TTestButton\n"
    "      Left = 8\n"
    "      Top = 8\n"
    "      Caption = 'OK'\n"
    "      OnClick = ButtonClick\n"
    "    end\n"
    "  end\n"
    "end\n";

class FormTextTest : public ::testing::Test {
 protected:
  int live_ = 0;
  void SetUp() override {
    RegisterStreamTestClasses();
    live_ = LiveStreamObjects;
    LoadedLog.clear();
  }
  void TearDown() override { EXPECT_EQ(LiveStreamObjects, live_) << "objects leaked"; }
};

AnsiString TextToBinaryString(const AnsiString& text) {
  TStringStream in(text), out;
  ObjectTextToBinary(&in, &out);
  return out.DataString();
}

AnsiString BinaryToTextString(const AnsiString& binary) {
  TStringStream in(binary), out;
  ObjectBinaryToText(&in, &out);
  return out.DataString();
}

TEST_F(FormTextTest, FormRoundTripsThroughComponentsByteForByte) {
  std::unique_ptr<TComponent> root(ReadFromText(kForm));
  auto* form = dynamic_cast<TTestForm*>(root.get());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "Don't panic\r\ncaf\xC3\xA9 \xCE\xA9");
  EXPECT_EQ(form->Hint(), u"wide \u20AC");
  EXPECT_EQ(form->Font()->Style(), (TTestFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(form->Font()->Color(), clTestRed);
  EXPECT_DOUBLE_EQ(form->Scale(), 1.25);
  EXPECT_EQ(form->Big(), 12345678901234);
  EXPECT_EQ(form->Data().size(), 40u);
  EXPECT_EQ(form->Lines(), (std::vector<AnsiString>{"alpha", "beta"}));
  ASSERT_NE(form->Button1, nullptr);
  EXPECT_EQ(form->Button1->Parent()->Name(), "Panel1");
  EXPECT_EQ(form->Button1->Width(), 75);
  EXPECT_EQ(static_cast<TTestItem*>(form->Items()->Items(0))->Target(), form->Button1);
  form->Button1->OnClick(form->Button1);
  EXPECT_EQ(form->LastHandler, "ButtonClick");
  EXPECT_EQ(WriteToText(form), kForm);
}

TEST_F(FormTextTest, FormRoundTripsThroughTheBinaryForm) {
  TStringStream binary(TextToBinaryString(kForm));
  std::unique_ptr<TComponent> root(TReader(&binary, 4096).ReadRootComponent(nullptr));
  TStringStream written;
  {
    TWriter writer(&written, 4096);
    writer.WriteRootComponent(root.get());
  }
  EXPECT_EQ(BinaryToTextString(written.DataString()), kForm);
  // Converting text and binary forms is lossless for the writer's output.
  EXPECT_EQ(BinaryToTextString(TextToBinaryString(kForm)), kForm);
}

TEST_F(FormTextTest, ComponentsAtTheirDefaultsWriteNothingButTheirHeader) {
  std::unique_ptr<TTestForm> form(new TTestForm(nullptr));
  form->SetName("Form1");
  auto* button = new TTestButton(form.get());
  button->SetName("Button1");
  button->SetParent(form.get());
  auto* timer = new TTestTimer(form.get());
  timer->SetName("Timer1");
  // Left and Top declare no default: they are always written.
  EXPECT_EQ(WriteToText(form.get()),
            "object Form1: TTestForm\n"
            "  Left = 0\n"
            "  Top = 0\n"
            "  object Timer1: TTestTimer\n"
            "  end\n"
            "  object Button1: TTestButton\n"
            "    Left = 0\n"
            "    Top = 0\n"
            "  end\n"
            "end\n");
}

// Text forms that are not in the writer's layout, and what it makes of them.
struct TCanonicalCase {
  const char* Name;
  const char* Input;
  const char* Expected;
};

const TCanonicalCase kCanonicalCases[] = {
    {"quotes and continuations",
     "object A: T\n P = 'it''s' + 'x'#$41 +\n 'y'\nend",
     "object A: T\n  P = 'it'#39'sxAy'\nend\n"},
    {"empty values", "object A: T\n S = ''\n L = ()\n C = <>\n B = {}\n E = []\nend",
     "object A: T\n  S = ''\n  L = ()\n  C = <>\n  B = {}\n  E = []\nend\n"},
    {"integers of every size", "object A: T\n L = (0 -128 128 -32769 2147483647 2147483648 $FF)\nend",
     "object A: T\n  L = (\n    0\n    -128\n    128\n    -32769\n    2147483647\n    2147483648\n    255)\nend\n"},
    {"float kinds", "object A: T\n L = (0.1 -2.5e3 1E20 1.5s 2.75c 45000.5d 0.0)\nend",
     "object A: T\n  L = (\n    0.100000000000000000\n    -2500.000000000000000000\n    1E+20\n    1.500000000000000000s\n"
     "    2.75c\n    45000.500000000000000000d\n    0.000000000000000000)\nend\n"},
    {"identifiers", "object A: T\n L = (true FALSE nil Form2.Button1 alClient)\nend",
     "object A: T\n  L = (\n    True\n    False\n    nil\n    Form2.Button1\n    alClient)\nend\n"},
    {"headers", "inherited A: T [2]\n inline B: U\n end\n object V\n end\nend",
     "inherited A: T [2]\n  inline B: U\n  end\n  object V\n  end\nend\n"},
    {"collection items with order", "object A: T\n C = <item [3] X = 1 end item end>\nend",
     "object A: T\n  C = <\n    item [3]\n      X = 1\n    end\n    item\n    end>\nend\n"},
    {"nested lists and sets", "object A: T\n L = ((1) [a,b])\nend",
     "object A: T\n  L = (\n    (\n      1)\n    [a, b])\nend\n"},
    {"UTF-8 in quotes and a byte-order mark", "\xEF\xBB\xBFobject A: T\n S = 'caf\xC3\xA9'\nend",
     "object A: T\n  S = 'caf'#233\nend\n"},
};

class CanonicalTextTest : public ::testing::TestWithParam<TCanonicalCase> {};

TEST_P(CanonicalTextTest, ConvertsToTheWritersLayout) {
  const TCanonicalCase& c = GetParam();
  AnsiString text = BinaryToTextString(TextToBinaryString(c.Input));
  EXPECT_EQ(text, c.Expected);
  // The layout is a fixed point.
  EXPECT_EQ(BinaryToTextString(TextToBinaryString(text)), text);
}

INSTANTIATE_TEST_SUITE_P(Values, CanonicalTextTest, ::testing::ValuesIn(kCanonicalCases),
                         [](const auto& info) {
                           AnsiString n = info.param.Name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(FormTextConversion, StringKindsFollowTheirCharacters) {
  struct {
    const char* Text;
    TValueType Kind;
  } cases[] = {
      {"'abc'", vaString},
      {"'caf'#233", vaUTF8String},
      {"'x'#937", vaWString},
      {"#13#10", vaString},
  };
  for (const auto& c : cases) {
    AnsiString binary = TextToBinaryString(AnsiString("object A: T\n P = ") + c.Text + "\nend");
    // "TPF0", class and name, the property name "P", then the value.
    EXPECT_EQ(static_cast<TValueType>(binary[4 + 2 + 2 + 2]), c.Kind) << c.Text;
  }
  AnsiString longText = "object A: T\n P = '" + AnsiString(300, 'x') + "'\nend";
  EXPECT_EQ(static_cast<TValueType>(TextToBinaryString(longText)[10]), vaLString);
}

TEST(FormTextConversion, LongBinaryDataAndStringsWrapAtTheirLineLengths) {
  AnsiString binary = TextToBinaryString("object A: T\n D = {" + AnsiString(140, 'a') + "}\n S = '" +
                                         AnsiString(130, 'b') + "'\nend");
  AnsiString text = BinaryToTextString(binary);
  EXPECT_EQ(text, "object A: T\n  D = {\n    " + AnsiString(64, 'A') + "\n    " + AnsiString(64, 'A') + "\n    " +
                      AnsiString(12, 'A') + "}\n" +
                      "  S = \n    '" + AnsiString(64, 'b') + "' +\n    '" + AnsiString(64, 'b') + "' +\n    'bb'\n" +
                      "end\n");
}

struct TParseErrorCase {
  const char* Name;
  const char* Text;
  const char* Message;
};

const TParseErrorCase kParseErrors[] = {
    {"no object", "\n\nthing A: T\nend", "object expected on line 3"},
    {"no class", "object A: 5\nend", "Identifier expected on line 1"},
    {"no equals", "object A: T\n  P 1\nend", "'=' expected on line 2"},
    {"unterminated string", "object A: T\n  P = 'abc\nend", "Invalid string constant on line 2"},
    {"character out of range", "object A: T\n  P = #70000\nend", "Invalid string constant on line 2"},
    {"continuation without string", "object A: T\n  P = 'a' +\n   1\nend", "String expected on line 3"},
    {"odd hex digits", "object A: T\n  P = {\n  ABC}\nend", "Invalid binary value on line 2"},
    {"no value", "object A: T\n  P = )\nend", "Invalid property value on line 2"},
    {"set without comma", "object A: T\n  P = [a b]\nend", "',' expected on line 2"},
    {"no item", "object A: T\n  P = <\n  thing\n  >\nend", "item expected on line 3"},
    {"missing end", "object A: T\n  P = 1\n", "Identifier expected on line 3"},
    {"integer too large", "object A: T\n  P = 99999999999999999999\nend", "Invalid numeric value on line 2"},
};

class ParseErrorTest : public ::testing::TestWithParam<TParseErrorCase> {};

TEST_P(ParseErrorTest, ReportsTheLine) {
  TStringStream in(GetParam().Text), out;
  try {
    ObjectTextToBinary(&in, &out);
    FAIL() << "no error";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(), GetParam().Message);
  }
}

INSTANTIATE_TEST_SUITE_P(Errors, ParseErrorTest, ::testing::ValuesIn(kParseErrors), [](const auto& info) {
  AnsiString n = info.param.Name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

TEST(FormTextConversion, CorruptBinaryFormsRaiseReadErrors) {
  AnsiString good = TextToBinaryString("object A: T\n  P = 'abc'\nend");
  struct {
    const char* Name;
    AnsiString Binary;
  } cases[] = {
      {"signature", "TPF1" + good.substr(4)},
      {"truncated", good.substr(0, good.size() - 3)},
      {"unknown value kind", good.substr(0, 10) + "\x30" + good.substr(11)},
      {"unknown kind in a list", good.substr(0, 10) + "\x01\x30" + good.substr(11)},
  };
  for (const auto& c : cases) {
    EXPECT_THROW(BinaryToTextString(c.Binary), EReadError) << c.Name;
  }
}

// Each level of nesting indents the text form further, so 2,000 nested
// lists made text quadratic in the input. 127 lists inside the object
// still convert both ways; 2,000 are refused in either form.
TEST(FormTextConversion, NestingDeeperThanTheLimitIsRefused) {
  auto nested = [](size_t n) {
    return "object A: T\n  P = " + AnsiString(n, '(') + "1" + AnsiString(n, ')') + "\nend";
  };
  const AnsiString deepest = TextToBinaryString(nested(127));
  const AnsiString text = BinaryToTextString(deepest);
  EXPECT_EQ(std::count(text.begin(), text.end(), '('), 127);
  EXPECT_EQ(TextToBinaryString(text), deepest);

  TStringStream in(nested(2000)), out;
  try {
    ObjectTextToBinary(&in, &out);
    FAIL() << "no error";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(), "Objects or values nested too deeply on line 2");
  }
  // The same in the binary form: the value (an 8-bit integer 1) wrapped in
  // 2,000 list openings and ends.
  AnsiString binary = TextToBinaryString(nested(0));
  const size_t value = binary.find("\x02\x01");
  ASSERT_NE(value, AnsiString::npos);
  binary = binary.substr(0, value) + AnsiString(2000, '\x01') + "\x02\x01" + AnsiString(2000, '\0') +
           binary.substr(value + 2);
  try {
    BinaryToTextString(binary);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Objects or values nested too deeply");
  }
}

TEST(FormTextConversion, StreamFormatsAreRecognised) {
  struct {
    AnsiString Data;
    TStreamOriginalFormat Format;
  } cases[] = {
      {"TPF0\x01", sofBinary},
      {"\xFF\x0A\x00", sofBinary},
      {"  \n\tobject A: T end", sofText},
      {"INHERITED A: T end", sofText},
      {"\xEF\xBB\xBFinline A: T end", sofUTF8Text},
      {"objection", sofUnknown},
      {"", sofUnknown},
  };
  for (const auto& c : cases) {
    TStringStream s(c.Data);
    EXPECT_EQ(TestStreamFormat(&s), c.Format) << c.Data;
    EXPECT_EQ(s.Position(), 0);
  }
}

TEST(FormTextConversion, ResourceStreamsAreShownAsText) {
  const AnsiString text = "object A: T\n  P = 1\nend\n";
  AnsiString binary = TextToBinaryString(text);
  // The header of a single form resource: type RCDATA, the name, memory
  // flags and the size.
  AnsiString header = AnsiString("\xFF\x0A\x00", 3) + "TFORM1" + AnsiString("\0\x30\x10", 3);
  Cardinal size = static_cast<Cardinal>(binary.size());
  header += AnsiString(reinterpret_cast<const char*>(&size), 4);
  for (const AnsiString& resource : {header + binary, binary, text}) {
    TStringStream in(resource), out;
    ObjectResourceToText(&in, &out);
    EXPECT_EQ(out.DataString(), text);
  }
  TStringStream bad(AnsiString("\xFF\x05\x00", 3) + "X"), out;
  EXPECT_THROW(ObjectResourceToText(&bad, &out), EInvalidImage);
}

}  // namespace

namespace {

TEST_F(FormTextTest, AFormClassReadsItsDescriptionFromTheProgramsResources) {
  TTestForm form(nullptr);
  ASSERT_TRUE(InitInheritedComponent(&form, TTestControl::StaticClass()));
  EXPECT_EQ(form.Name(), "TestRoot");
  EXPECT_EQ(form.Caption(), "From a resource");
  EXPECT_EQ(form.Left(), 4);
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Caption(), "OK");
  ASSERT_TRUE(form.Button1->OnClick);
  form.Button1->OnClick(form.Button1);
  EXPECT_EQ(form.LastHandler, "ButtonClick");
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_THROW(ReadComponentRes("TTestMissingForm", &form), EResNotFound);
}

}  // namespace
