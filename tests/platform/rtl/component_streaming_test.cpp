#include "platform/rtl/component_streaming.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "component_streaming_test_classes.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

namespace {

// ---- Values -------------------------------------------------------------------

template <class F>
AnsiString Written(F write) {
  TStringStream s;
  {
    TWriter w(&s, 16);
    write(w);
  }
  return s.DataString();
}

TEST(FilerValues, IntegersTakeTheSmallestKind) {
  struct {
    Int64 Value;
    TValueType Kind;
    size_t Size;
  } cases[] = {
      {0, vaInt8, 2},
      {-128, vaInt8, 2},
      {127, vaInt8, 2},
      {128, vaInt16, 3},
      {-32769, vaInt32, 5},
      {std::numeric_limits<int32_t>::max(), vaInt32, 5},
      {Int64(std::numeric_limits<int32_t>::max()) + 1, vaInt64, 9},
      {std::numeric_limits<Int64>::min(), vaInt64, 9},
  };
  for (const auto& c : cases) {
    AnsiString bytes = Written([&](TWriter& w) { w.WriteInteger(c.Value); });
    ASSERT_EQ(bytes.size(), c.Size) << c.Value;
    EXPECT_EQ(static_cast<TValueType>(bytes[0]), c.Kind) << c.Value;
    TStringStream in(bytes);
    TReader r(&in, 16);
    EXPECT_EQ(r.ReadInt64(), c.Value);
  }
  // ReadInteger takes only the 32-bit kinds.
  TStringStream in(Written([](TWriter& w) { w.WriteInteger(Int64(1) << 40); }));
  TReader r(&in, 16);
  EXPECT_THROW(r.ReadInteger(), EReadError);
}

TEST(FilerValues, FloatsAreStoredAsExtendedAndReadBackExactly) {
  // 1.0 and -2.5 in the 10-byte extended form: mantissa with its integer
  // bit, then sign and biased exponent.
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(1.0); }),
            AnsiString("\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 11));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(-2.5); }),
            AnsiString("\x05\x00\x00\x00\x00\x00\x00\x00\xA0\x00\xC0", 11));
  const double values[] = {0.0, -0.0, 0.1, -1e300, DBL_MAX, DBL_MIN, 4.9e-324, 1e-310,
                           std::numeric_limits<double>::infinity()};
  for (double v : values) {
    TStringStream in(Written([v](TWriter& w) { w.WriteFloat(v); }));
    TReader r(&in, 16);
    double back = r.ReadFloat();
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;
  }
  TStringStream in(Written([](TWriter& w) { w.WriteFloat(std::nan("")); }));
  TReader r(&in, 16);
  EXPECT_TRUE(std::isnan(r.ReadFloat()));
}

TEST(FilerValues, OtherNumberKindsReadAsFloats) {
  TStringStream in(Written([](TWriter& w) {
    w.WriteSingle(0.25f);
    w.WriteDouble(0.1);
    w.WriteCurrency(12.3456);
    w.WriteDate(45000.5);
    w.WriteInteger(-3);
  }));
  TReader r(&in, 16);
  EXPECT_EQ(r.ReadSingle(), 0.25f);
  EXPECT_EQ(r.ReadDouble(), 0.1);
  EXPECT_DOUBLE_EQ(r.ReadCurrency(), 12.3456);
  EXPECT_EQ(r.ReadDate(), 45000.5);
  EXPECT_EQ(r.ReadFloat(), -3.0);
}

TEST(FilerValues, StringsTakeTheKindTheirTextNeeds) {
  struct {
    AnsiString Text;
    TValueType Kind;
  } cases[] = {
      {"", vaString},
      {"plain", vaString},
      {AnsiString(256, 'x'), vaLString},
      {"caf\xC3\xA9", vaUTF8String},
  };
  for (const auto& c : cases) {
    AnsiString bytes = Written([&](TWriter& w) { w.WriteString(c.Text); });
    EXPECT_EQ(static_cast<TValueType>(bytes[0]), c.Kind);
    TStringStream in(bytes);
    TReader r(&in, 16);
    EXPECT_EQ(r.ReadString(), c.Text);
  }
  TStringStream in(Written([](TWriter& w) {
    w.WriteWideString(u"\u03A9x");
    w.WriteWideString(u"wide");
    w.WriteString("caf\xC3\xA9");
  }));
  TReader r(&in, 16);
  EXPECT_EQ(r.ReadString(), "\xCE\xA9x");
  EXPECT_EQ(r.ReadWideString(), u"wide");
  EXPECT_EQ(r.ReadWideString(), u"caf\u00E9");
}

TEST(FilerValues, IdentifiersOfTheSpecialKindsKeepTheirNames) {
  TStringStream in(Written([](TWriter& w) {
    for (const char* s : {"true", "FALSE", "nil", "Null", "alClient"}) w.WriteIdent(s);
  }));
  TReader r(&in, 16);
  for (const char* s : {"True", "False", "nil", "Null", "alClient"}) EXPECT_EQ(r.ReadIdent(), s);
}

TEST(FilerValues, SkipValuePassesOverEveryKind) {
  TStringStream in(Written([](TWriter& w) {
    w.WriteListBegin();
    w.WriteInteger(1);
    w.WriteInteger(100000);
    w.WriteInteger(Int64(1) << 40);
    w.WriteFloat(1.5);
    w.WriteSingle(1.5f);
    w.WriteDouble(1.5);
    w.WriteCurrency(1.5);
    w.WriteDate(1.5);
    w.WriteString("abc");
    w.WriteString(AnsiString(300, 'a'));
    w.WriteString("caf\xC3\xA9");
    w.WriteWideString(u"wide");
    w.WriteIdent("ident");
    w.WriteBoolean(true);
    w.WriteIdent("nil");
    w.WriteValue(vaSet);
    w.WriteStr("a");
    w.WriteStr("");
    w.WriteCollection(nullptr);
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteInteger(42);
  }));
  TReader r(&in, 16);
  r.SkipValue();
  EXPECT_EQ(r.ReadInteger(), 42);
}

// Lists nested thousands deep cost a level of stack each; past 128 the
// reader refuses them.
TEST(FilerValues, SkipValueRefusesListsNestedTooDeeply) {
  auto nested = [](int depth) {
    return Written([depth](TWriter& w) {
      for (int i = 0; i < depth; ++i) w.WriteListBegin();
      for (int i = 0; i < depth; ++i) w.WriteListEnd();
      w.WriteInteger(42);
    });
  };
  TStringStream deepest(nested(128));
  TReader r(&deepest, 16);
  r.SkipValue();
  EXPECT_EQ(r.ReadInteger(), 42);
  TStringStream tooDeep(nested(5000));
  TReader r2(&tooDeep, 16);
  try {
    r2.SkipValue();
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Objects or values nested too deeply");
  }
}

TEST(FilerValues, AReaderGivesBackWhatItReadAhead) {
  TStringStream s;
  {
    TWriter w(&s, 4096);
    w.WriteInteger(1);
    w.WriteString("second");
  }
  s.SetPosition(0);
  {
    TReader r(&s, 4096);
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.Position(), 2);
  }
  EXPECT_EQ(s.Position(), 2);
  TReader r(&s, 4096);
  EXPECT_EQ(r.ReadString(), "second");
}

// ---- Components ------------------------------------------------------------------

class StreamingTest : public ::testing::Test {
 protected:
  int live_ = 0;
  void SetUp() override {
    RegisterStreamTestClasses();
    live_ = LiveStreamObjects;
    LoadedLog.clear();
    LoadedStates.clear();
  }
  void TearDown() override { EXPECT_EQ(LiveStreamObjects, live_) << "objects leaked"; }

  static std::unique_ptr<TTestForm> Read(const AnsiString& text) {
    TComponent* root = ReadFromText(text);
    auto* form = dynamic_cast<TTestForm*>(root);
    if (!form) delete root;
    return std::unique_ptr<TTestForm>(form);
  }
};

const char* const kLinkedForm =
    "object MainForm: TTestForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  object Timer1: TTestTimer\n"
    "  end\n"
    "  object Panel1: TTestControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Link = Button1\n"
    "    object Button1: TTestButton\n"
    "      Left = 0\n"
    "      Top = 0\n"
    "      Link = Panel1\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST_F(StreamingTest, LoadedRunsOnceOnEachComponentInReadingOrderAfterReferencesResolve) {
  auto form = Read(kLinkedForm);
  EXPECT_EQ(LoadedLog, (std::vector<AnsiString>{"MainForm", "Timer1", "Panel1>Button1", "Button1>Panel1"}));
  for (const TComponentState& state : LoadedStates) {
    EXPECT_TRUE(state.Contains(csLoading));
    EXPECT_FALSE(state.Contains(csReading));
  }
  for (TComponent* c : {static_cast<TComponent*>(form.get()), form->Components(0), form->Components(1)}) {
    EXPECT_FALSE(c->ComponentState().Contains(csLoading)) << c->Name();
    EXPECT_FALSE(c->ComponentState().Contains(csReading)) << c->Name();
  }
}

TEST_F(StreamingTest, AFreedComponentIsClearedFromReferencesToIt) {
  auto form = Read(kLinkedForm);
  auto* panel = dynamic_cast<TTestControl*>(form->FindComponent("Panel1"));
  ASSERT_EQ(panel->Link(), form->Button1);
  delete form->Button1;
  EXPECT_EQ(panel->Link(), nullptr);
  EXPECT_EQ(form->FindComponent("Button1"), nullptr);
}

TEST_F(StreamingTest, ReadingIntoAGivenRootNamesItAndSetsItsFields) {
  TTestForm form(nullptr);
  EXPECT_EQ(ReadFromText(kLinkedForm, &form), &form);
  EXPECT_EQ(form.Name(), "MainForm");
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Name(), "Button1");
  EXPECT_EQ(form.Timer1, form.FindComponent("Timer1"));
  EXPECT_EQ(form.ComponentCount(), 3);
}

TEST_F(StreamingTest, ReaderEventsRenameMapClassesAndResolveHandlers) {
  const char* text =
      "object MainForm: TTestForm\n"
      "  OnClick = Missing\n"
      "  OnChange = Other\n"
      "  object Old: TOldButton\n"
      "  end\n"
      "end\n";
  TStringStream in(text), binary;
  ObjectTextToBinary(&in, &binary);
  binary.SetPosition(0);
  TReader reader(&binary, 4096);
  std::vector<AnsiString> methods;
  reader.OnFindMethod = [&methods](TReader*, const AnsiString& name, PMethodInfo& address, bool& error) {
    methods.push_back(name);
    if (name == "Other") {
      address = FindMethodInfo(TTestForm::StaticClass(), "FormChange");
      error = false;
    } else {
      error = false;  // leave the event unassigned
    }
  };
  reader.OnSetName = [](TReader*, TComponent*, AnsiString& name) {
    if (name == "Old") name = "Button1";
  };
  reader.OnFindComponentClass = [](TReader*, const AnsiString& name, TClass& cls) {
    if (name == "TOldButton") cls = TTestButton::StaticClass();
  };
  std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
  auto* form = dynamic_cast<TTestForm*>(root.get());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(methods, (std::vector<AnsiString>{"Missing", "Other"}));
  EXPECT_FALSE(form->OnClick);
  form->OnChange(form);
  EXPECT_EQ(form->LastHandler, "FormChange");
  ASSERT_NE(form->Button1, nullptr);
  EXPECT_TRUE(form->Button1->Is<TTestButton>());
}

TEST_F(StreamingTest, OnErrorCanSkipBadPropertiesAndGoOn) {
  const char* text =
      "object MainForm: TTestForm\n"
      "  Foo = (1 2 3)\n"
      "  Align = alWrong\n"
      "  Items = <\n"
      "    item\n"
      "      Value = 'x'\n"
      "      Caption = 'kept'\n"
      "    end>\n"
      "  Caption = 'after'\n"
      "end\n";
  TStringStream in(text), binary;
  ObjectTextToBinary(&in, &binary);
  binary.SetPosition(0);
  TReader reader(&binary, 16);
  std::vector<AnsiString> errors;
  reader.OnError = [&errors](TReader*, const AnsiString& message, bool& handled) {
    errors.push_back(message);
    handled = true;
  };
  std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
  auto* form = dynamic_cast<TTestForm*>(root.get());
  EXPECT_EQ(errors,
            (std::vector<AnsiString>{"Property Foo does not exist", "Invalid property value", "Invalid property value"}));
  EXPECT_EQ(form->Caption(), "after");
  EXPECT_EQ(form->Align(), taNone);
  ASSERT_EQ(form->Items()->Count(), 1);
  EXPECT_EQ(static_cast<TTestItem*>(form->Items()->Items(0))->Caption(), "kept");
}

TEST_F(StreamingTest, AnErrorDeclinedByOnErrorIsOfferedOnce) {
  const char* text = "object MainForm: TTestForm\n  Items = <\n    item\n      Value = 'x'\n    end>\nend\n";
  TStringStream in(text), binary;
  ObjectTextToBinary(&in, &binary);
  binary.SetPosition(0);
  TReader reader(&binary, 4096);
  int offered = 0;
  reader.OnError = [&offered](TReader*, const AnsiString&, bool&) { ++offered; };
  EXPECT_THROW(reader.ReadRootComponent(nullptr), EReadError);
  EXPECT_EQ(offered, 1);
}

// A binary form of components each inside the one before: the root and 127
// children are read; 2,000 are refused before the stack runs out, and
// what was made is freed.
TEST_F(StreamingTest, ComponentsNestedTooDeeplyAreRefused) {
  auto nested = [](int children) {
    AnsiString binary = AnsiString("TPF0\x09TTestForm\x08MainForm") + '\0';
    for (int i = 0; i < children; ++i) {
      const AnsiString name = "C" + std::to_string(i);
      binary += AnsiString("\x0CTTestControl") + char(name.size()) + name + '\0';
    }
    return binary + AnsiString(size_t(children) + 1, '\0');
  };
  TStringStream deepest(nested(127));
  std::unique_ptr<TComponent> root(TReader(&deepest, 4096).ReadRootComponent(nullptr));
  ASSERT_NE(root->FindComponent("C126"), nullptr);
  root.reset();
  TStringStream tooDeep(nested(2000));
  try {
    delete TReader(&tooDeep, 4096).ReadRootComponent(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Objects or values nested too deeply");
  }
}

// A collection given twice: the second read frees the items of the first
// while one still waits for its reference, which was then written into the
// freed item. The reference goes with its item.
TEST_F(StreamingTest, ACollectionReadTwiceDropsTheReferencesOfItsFreedItems) {
  std::unique_ptr<TComponent> root(ReadFromText(
      "object MainForm: TTestForm\n"
      "  Items = <\n    item\n      Target = P\n    end>\n"
      "  Items = <\n    item\n      Caption = 'second'\n    end\n    item\n      Target = P\n    end>\n"
      "  object P: TTestControl\n  end\n"
      "end\n"));
  auto* form = dynamic_cast<TTestForm*>(root.get());
  ASSERT_EQ(form->Items()->Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(form->Items()->Items(0))->Caption(), "second");
  EXPECT_EQ(static_cast<TTestItem*>(form->Items()->Items(0))->Target(), nullptr);
  EXPECT_EQ(static_cast<TTestItem*>(form->Items()->Items(1))->Target(), form->FindComponent("P"));
}

TEST_F(StreamingTest, InlineComponentsOwnTheirChildrenAndNameRelativeToThemselves) {
  const char* text =
      "object MainForm: TTestForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  inline Frame1: TTestFrame\n"
      "    Left = 0\n"
      "    Top = 0\n"
      "    object Inner: TTestButton\n"
      "      Left = 0\n"
      "      Top = 0\n"
      "      Link = Owner\n"
      "      OnClick = ButtonClick\n"
      "    end\n"
      "  end\n"
      "  object Panel1: TTestControl\n"
      "    Left = 0\n"
      "    Top = 0\n"
      "    Link = Frame1.Inner\n"
      "  end\n"
      "end\n";
  auto form = Read(text);
  auto* frame = dynamic_cast<TTestControl*>(form->FindComponent("Frame1"));
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->ComponentState().Contains(csInline));
  auto* inner = dynamic_cast<TTestControl*>(frame->FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Link(), frame);
  EXPECT_EQ(dynamic_cast<TTestControl*>(form->FindComponent("Panel1"))->Link(), inner);
  // Handlers are the form's, also for the frame's components.
  inner->OnClick(inner);
  EXPECT_EQ(form->LastHandler, "ButtonClick");
  EXPECT_EQ(WriteToText(form.get()), text);
}

TEST_F(StreamingTest, ComponentsCanBeReadOneByOneIntoAnOwner) {
  TTestForm source(nullptr);
  auto* button = new TTestButton(&source);
  button->SetName("Button1");
  button->SetCaption("copied");
  button->OnClick = TNotifyEvent(&source, &TTestForm::ButtonClick);
  TStringStream entry;
  {
    TWriter writer(&entry, 4096);
    writer.SetRoot(&source);
    writer.WriteComponent(button);
  }
  entry.SetPosition(0);
  TTestForm target(nullptr);
  TReader reader(&entry, 4096);
  reader.SetRoot(&target);
  reader.SetOwner(&target);
  reader.SetParent(&target);
  TComponent* copy = reader.ReadComponent(nullptr);
  EXPECT_EQ(copy, target.Button1);
  EXPECT_EQ(target.Button1->Caption(), "copied");
  EXPECT_EQ(target.Button1->Parent(), &target);
  target.Button1->OnClick(nullptr);
  EXPECT_EQ(target.LastHandler, "ButtonClick");
  EXPECT_EQ(LoadedLog, (std::vector<AnsiString>{"Button1"}));
}

// Descriptions that fail part-way; each names what failed and its line,
// and leaves nothing behind.
struct TReadErrorCase {
  const char* Name;
  const char* Body;  // inside "object MainForm: TTestForm" (line 1)
  const char* Message;
};

const TReadErrorCase kReadErrors[] = {
    {"unknown property", "  Caption = 'x'\n  Foo = 1\n", "Property Foo does not exist on line 3"},
    {"unknown nested property", "  Font.Foo = 1\n", "Property Foo does not exist on line 2"},
    {"path through a value", "  Caption.Size = 1\n", "Invalid property path on line 2"},
    {"unknown class", "  object A: TTestControl\n  end\n  object B: TNoSuch\n  end\n",
     "Class TNoSuch not found on line 4"},
    {"bad enumeration", "  Align = alClient\n", "Invalid property value on line 2"},
    {"bad set element", "  Anchors = [akLeft, akMiddle]\n", "Invalid property value on line 2"},
    {"text for a number", "  Width = '10'\n", "Invalid property value on line 2"},
    {"number out of range", "  Width = 99999999999\n", "Invalid property value on line 2"},
    {"unknown handler", "  OnClick = Nowhere\n", "Invalid property value on line 2"},
    {"handler of another type", "  OnClick = Resize\n", "Invalid property value on line 2"},
    {"duplicate name", "  object Panel1: TTestControl\n    object Panel1: TTestControl\n    end\n  end\n",
     "A component named Panel1 already exists on line 3"},
    {"unresolved reference", "  Link = Nowhere\n  object P: TTestControl\n  end\n",
     "Unresolved reference to Nowhere on line 2"},
    {"reference of the wrong class", "  Link = Timer1\n  object Timer1: TTestTimer\n  end\n",
     "Invalid property value on line 2"},
    {"missing ancestor", "  inherited Nothing: TTestControl\n  end\n", "Ancestor for 'Nothing' not found on line 2"},
    {"defined property of the wrong kind", "  Lines = 5\n", "Invalid property value on line 2"},
    {"binary property of the wrong kind", "  Data = 'x'\n", "Invalid property value on line 2"},
    {"read-only property", "  object T: TTestTimer\n    Ticks = 3\n  end\n", "Property is read-only on line 3"},
    {"error deep in the tree",
     "  object P1: TTestControl\n    object P2: TTestControl\n      object B: TTestButton\n        Link = P1\n"
     "      end\n      object B2: TTestButton\n        Visible = 3\n      end\n    end\n  end\n",
     "Invalid property value on line 8"},
};

class ReadErrorTest : public StreamingTest, public ::testing::WithParamInterface<TReadErrorCase> {};

TEST_P(ReadErrorTest, FailsWithTheLineAndFreesWhatItMade) {
  AnsiString text = AnsiString("object MainForm: TTestForm\n") + GetParam().Body + "end\n";
  try {
    delete ReadFromText(text);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), GetParam().Message);
  }
  // Into a given root: the root stays, without what the read made.
  TTestForm form(nullptr);
  EXPECT_THROW(ReadFromText(text, &form), Exception);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_TRUE(form.ComponentState().Empty());
  EXPECT_EQ(LiveStreamObjects, live_ + 2);  // the form and its font
  EXPECT_TRUE(LoadedLog.empty());
}

INSTANTIATE_TEST_SUITE_P(Errors, ReadErrorTest, ::testing::ValuesIn(kReadErrors), [](const auto& info) {
  AnsiString n = info.param.Name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

// ---- References between roots ------------------------------------------------------

std::vector<TComponent*> GlobalRoots;
int RootLookups = 0;

TComponent* FindTestRoot(const AnsiString& name) {
  ++RootLookups;
  for (TComponent* c : GlobalRoots)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

class GlobalReferenceTest : public StreamingTest {
 protected:
  void SetUp() override {
    StreamingTest::SetUp();
    GlobalRoots.clear();
    RegisterFindGlobalComponentProc(&FindTestRoot);
  }
  void TearDown() override {
    UnregisterFindGlobalComponentProc(&FindTestRoot);
    GlobalRoots.clear();
    StreamingTest::TearDown();
  }
};

const char* const kFormA =
    "object FormA: TTestForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Link = FormB.Button1\n"
    "end\n";
const char* const kFormB =
    "object FormB: TTestForm\n"
    "  object Button1: TTestButton\n"
    "  end\n"
    "end\n";

TEST_F(GlobalReferenceTest, AReferenceWaitsForItsRootAndIsWrittenQualified) {
  auto a = Read(kFormA);
  GlobalRoots.push_back(a.get());
  EXPECT_EQ(a->Link(), nullptr);
  auto b = Read(kFormB);
  GlobalRoots.push_back(b.get());
  GlobalFixupReferences();
  ASSERT_EQ(a->Link(), b->Button1);
  EXPECT_EQ(WriteToText(a.get()), kFormA);
  GlobalRoots.pop_back();
  b.reset();
  EXPECT_EQ(a->Link(), nullptr);
}

TEST_F(GlobalReferenceTest, AWaitingReferenceGoesWithItsHolder) {
  auto gone = Read(kFormA);
  auto kept = Read(kFormA);
  gone.reset();
  auto b = Read(kFormB);
  GlobalRoots.push_back(b.get());
  // Only the holder still alive looks its root up; the freed one's entry
  // went with it and is never touched again.
  RootLookups = 0;
  GlobalFixupReferences();
  EXPECT_EQ(RootLookups, 1);
  EXPECT_EQ(kept->Link(), b->Button1);
  RootLookups = 0;
  GlobalFixupReferences();
  EXPECT_EQ(RootLookups, 0);
  GlobalRoots.clear();
}

TEST_F(GlobalReferenceTest, ARootTakesAFreeNameAmongTheRoots) {
  auto b1 = Read(kFormB);
  GlobalRoots.push_back(b1.get());
  auto b2 = Read(kFormB);
  GlobalRoots.push_back(b2.get());
  auto b3 = Read(kFormB);
  EXPECT_EQ(b2->Name(), "FormB_1");
  EXPECT_EQ(b3->Name(), "FormB_2");
}

// ---- Descendants ----------------------------------------------------------------------

const char* const kBaseForm =
    "object MainForm: TTestForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Caption = 'Base'\n"
    "  Items = <\n"
    "    item\n"
    "      Caption = 'a'\n"
    "      Target = Button1\n"
    "    end>\n"
    "  Lines = (\n"
    "    'one')\n"
    "  object Timer1: TTestTimer\n"
    "  end\n"
    "  object Panel1: TTestControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    object Button1: TTestButton\n"
    "      Left = 0\n"
    "      Top = 0\n"
    "      Caption = 'OK'\n"
    "      OnClick = ButtonClick\n"
    "    end\n"
    "  end\n"
    "end\n";
const char* const kDerivedForm =
    "inherited MainForm: TTestForm2\n"
    "  Caption = 'Derived'\n"
    "  Lines = (\n"
    "    'one'\n"
    "    'two')\n"
    "  inherited Timer1: TTestTimer\n"
    "  end\n"
    "  inherited Panel1: TTestControl\n"
    "    inherited Button1: TTestButton\n"
    "      Caption = 'Go'\n"
    "      OnClick = nil\n"
    "    end\n"
    "  end\n"
    "  object Extra: TTestControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Link = Button1\n"
    "  end\n"
    "end\n";

TEST_F(StreamingTest, ADescendantIsReadOverItsAncestorAndWrittenAsTheDifference) {
  auto ancestor = Read(kBaseForm);
  TTestForm2 form(nullptr);
  ReadFromText(kBaseForm, &form);
  ReadFromText(kDerivedForm, &form);
  EXPECT_EQ(form.Caption(), "Derived");
  EXPECT_EQ(form.Button1->Caption(), "Go");
  EXPECT_FALSE(form.Button1->OnClick);
  EXPECT_EQ(form.ComponentCount(), 4);
  EXPECT_EQ(WriteToText(&form, ancestor.get()), kDerivedForm);
  // A collection that differs from the ancestor's is written whole.
  static_cast<TTestItem*>(form.Items()->Add())->SetValue(2);
  EXPECT_NE(WriteToText(&form, ancestor.get()).find("  Items = <\n    item\n      Caption = 'a'\n      Target = Button1\n"
                                                    "    end\n    item\n      Value = 2\n    end>\n"),
            AnsiString::npos);
}

// ---- Resources ----------------------------------------------------------------------------

TEST_F(StreamingTest, FormResourcesAreFoundByName) {
  try {
    ReadComponentRes("TNoSuchForm", nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource TNoSuchForm not found");
  }
  // A resource that is not a description.
  EXPECT_THROW(ReadComponentRes("TestBlob", nullptr), EReadError);
  // No description of its own below the root ancestor (TTestForm's own is
  // in the test resources).
  TTestForm2 form(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&form, TTestForm::StaticClass()));
  EXPECT_EQ(form.ComponentCount(), 0);
  // Above it, the ancestor's description is read into the descendant.
  TTestForm2 inheriting(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&inheriting, TTestControl::StaticClass()));
  EXPECT_EQ(inheriting.ComponentCount(), 1);
}

}  // namespace
