// Forms read from and written to form descriptions: published properties
// of forms and controls, children with their alignment and tab order,
// handlers bound by name, OnCreate after the description.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls_test_support.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/image_list.h"
#include "platform/forms/menus.h"
#include "platform/forms/timer.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"

using namespace controls_test;

namespace description_test {

// A panel that publishes what panels publish.
class TStreamPanel : public TCustomControl {
  RTL_CLASS(TStreamPanel, TCustomControl)

 public:
  explicit TStreamPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
  }
};

RTL_IMPLEMENT_PUBLISHED(TStreamPanel,
                        RTL_PROP(Align).Default(alNone),
                        RTL_PROP(Anchors).Default({akLeft, akTop}),
                        RTL_PROP(Caption).Stored<&Self::IsCaptionStored>(),
                        RTL_PROP(Color).Stored<&Self::IsColorStored>().Idents(ColorIdentMap()),
                        RTL_PROP(Constraints),
                        RTL_PROP(Font).Stored<&Self::IsFontStored>(),
                        RTL_PROP(ParentColor).Default(true),
                        RTL_PROP(ParentFont).Default(true),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(false),
                        RTL_PROP(Visible).Default(true),
                        RTL_EVENT(OnClick),
                        RTL_EVENT(OnEnter))

const char* const kMainWindow =
    "object MainWindow: TMainWindow\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  BorderStyle = bsDialog\n"
    "  Caption = 'Batch'\n"
    "  ClientHeight = 200\n"
    "  ClientWidth = 300\n"
    "  Color = clWindow\n"
    "  Cursor = crHandPoint\n"
    "  Font.Height = -12\n"
    "  Font.Name = 'Liberation Sans'\n"
    "  KeyPreview = True\n"
    "  OldCreateOrder = False\n"
    "  OnCreate = FormCreate\n"
    "  PixelsPerInch = 96\n"
    "  TextHeight = 14\n"
    "  object Header: TStreamPanel\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 300\n"
    "    Height = 40\n"
    "    Align = alTop\n"
    "    TabOrder = 1\n"
    "  end\n"
    "  object Body: TStreamPanel\n"
    "    Left = 0\n"
    "    Top = 40\n"
    "    Width = 300\n"
    "    Height = 160\n"
    "    Align = alClient\n"
    "    Color = clYellow\n"
    "    TabOrder = 0\n"
    "    TabStop = True\n"
    "    OnClick = BodyClick\n"
    "  end\n"
    "end\n";

class TMainWindow : public TForm {
  RTL_CLASS(TMainWindow, TForm)

 public:
  explicit TMainWindow(TComponent* AOwner) : TForm(AOwner) {}
  TStreamPanel* Header = nullptr;
  TStreamPanel* Body = nullptr;
  Log Steps;
  const char* Description = kMainWindow;

  void FormCreate(TObject*) { Steps.push_back(Body ? "create after the description" : "create"); }
  void BodyClick(TObject*) { Steps.push_back("body click"); }

 protected:
  void ReadDescription() override {
    TStringStream Input(Description);
    ReadComponentText(&Input, this);
  }
};

RTL_IMPLEMENT_PUBLISHED(TMainWindow,
                        RTL_FIELD(Header),
                        RTL_FIELD(Body),
                        RTL_HANDLER(FormCreate),
                        RTL_HANDLER(BodyClick))

// A form whose description lies in the program's resources, under its
// class name.
class TTestResourceForm : public TForm {
  RTL_CLASS(TTestResourceForm, TForm)

 public:
  explicit TTestResourceForm(TComponent* AOwner) : TForm(AOwner) {}
  TStreamPanel* Panel = nullptr;
  Log Steps;
  void FormCreate(TObject*) { Steps.push_back(Panel ? "create after the description" : "create"); }
};

RTL_IMPLEMENT_PUBLISHED(TTestResourceForm, RTL_FIELD(Panel), RTL_HANDLER(FormCreate))

// A form built in code, to be written and read back.
class TToolWindow : public TForm {
  RTL_CLASS(TToolWindow, TForm)

 public:
  explicit TToolWindow(TComponent* AOwner) : TForm(AOwner) {}
};

RTL_IMPLEMENT_CLASS(TToolWindow)

AnsiString WriteToText(TComponent* Root) {
  TMemoryStream Binary;
  TWriter Writer(&Binary, 4096);
  Writer.WriteDescendent(Root, nullptr);
  Binary.SetPosition(0);
  TStringStream Text;
  ObjectBinaryToText(&Binary, &Text);
  return Text.DataString();
}

class Description : public TFormsTest {
 protected:
  void SetUp() override {
    TFormsTest::SetUp();
    RegisterClasses({TStreamPanel::StaticClass(), TMainWindow::StaticClass(), TTestResourceForm::StaticClass()});
  }
  void TearDown() override {
    UnRegisterClasses({TStreamPanel::StaticClass(), TMainWindow::StaticClass(), TTestResourceForm::StaticClass()});
    TFormsTest::TearDown();
  }
};

TEST_F(Description, AFormReadsItsPropertiesChildrenAndHandlersThenRunsOnCreate) {
  auto* F = TCustomForm::Create<TMainWindow>(nullptr);
  Forms.push_back(F->Link());
  EXPECT_EQ(F->Steps, (Log{"create after the description"}));
  ASSERT_NE(F->Body, nullptr);
  ASSERT_NE(F->Header, nullptr);
  EXPECT_EQ(F->Caption(), "Batch");
  EXPECT_EQ(F->BorderStyle(), bsDialog);
  EXPECT_EQ(F->Color(), clWindow);
  EXPECT_EQ(F->Cursor(), crHandPoint);
  EXPECT_TRUE(F->KeyPreview());
  EXPECT_FALSE(F->ComponentState().Contains(csLoading));
  // The children took the parent's font once read, but kept their colour.
  EXPECT_EQ(F->Header->Font()->Height(), -12);
  EXPECT_EQ(F->Header->Color(), clWindow);
  EXPECT_EQ(F->Body->Color(), clYellow);
  // The tab order is the one read, whatever the order of the children.
  EXPECT_EQ(F->Body->TabOrder(), 0);
  EXPECT_EQ(F->Header->TabOrder(), 1);
  // The client size holds for the window, and the children are aligned in it.
  F->Show();
  Pump();
  RECT R;
  ::GetClientRect(F->Handle(), &R);
  EXPECT_EQ(R.Right, 300);
  EXPECT_EQ(R.Bottom, 200);
  EXPECT_EQ(F->Header->BoundsRect(), Rect(0, 0, 300, 40));
  EXPECT_EQ(F->Body->BoundsRect(), Rect(0, 40, 300, 200));
  EXPECT_EQ(F->ActiveControl(), F->Body) << "the first tab stop";
  ClickAt(F->Body, 10, 10);
  EXPECT_EQ(F->Steps.back(), "body click");
}

TEST_F(Description, AFormClassReadsItsDescriptionFromTheResources) {
  auto* F = TCustomForm::Create<TTestResourceForm>(nullptr);
  Forms.push_back(F->Link());
  EXPECT_EQ(F->Steps, (Log{"create after the description"}));
  EXPECT_EQ(F->Name(), "TestResourceForm");
  EXPECT_EQ(F->Caption(), "Described");
  ASSERT_NE(F->Panel, nullptr);
  EXPECT_EQ(F->Panel->Caption(), "Inside");
  F->Show();
  Pump();
  EXPECT_EQ(F->Panel->BoundsRect(), Rect(0, 0, 200, 120));
  // A form class without a description of its own is built in code.
  auto* Plain = TCustomForm::Create<TForm>(nullptr);
  Forms.push_back(Plain->Link());
  EXPECT_EQ(Plain->ComponentCount(), 0);
}

TEST_F(Description, AFormWritesWhatItReadsAndReadsItBack) {
  auto* F = TCustomForm::Create<TMainWindow>(nullptr);
  Forms.push_back(F->Link());
  AnsiString Text = WriteToText(F);
  // The client size of a form that does not scroll, not its outer size.
  EXPECT_NE(Text.find("  ClientWidth = 300\n"), AnsiString::npos) << Text;
  EXPECT_EQ(Text.find("\n  Width ="), AnsiString::npos) << Text;
  EXPECT_NE(Text.find("  BorderStyle = bsDialog\n"), AnsiString::npos);
  EXPECT_NE(Text.find("  Cursor = crHandPoint\n"), AnsiString::npos);
  EXPECT_NE(Text.find("  OnCreate = FormCreate\n"), AnsiString::npos);
  EXPECT_NE(Text.find("    OnClick = BodyClick\n"), AnsiString::npos);
  EXPECT_NE(Text.find("  PixelsPerInch = 96\n"), AnsiString::npos);
  // The header takes the form's colour: no colour of its own is written.
  size_t Header = Text.find("object Header");
  size_t Body = Text.find("object Body");
  ASSERT_NE(Header, AnsiString::npos);
  ASSERT_NE(Body, AnsiString::npos);
  EXPECT_EQ(Text.substr(Header, Body - Header).find("Color"), AnsiString::npos);

  auto* Copy = new TMainWindow(nullptr);
  Forms.push_back(Copy->Link());
  Copy->Description = nullptr;
  TStringStream Input(Text);
  ReadComponentText(&Input, Copy);
  EXPECT_EQ(WriteToText(Copy), Text);
}

// The components a form owns that sit on no parent are written after its
// controls, in the order they were made, so that references to them read
// back; menu items and actions go inside their menu and list only.
TEST_F(Description, AFormWritesItsComponentsThatHaveNoParentAfterItsControls) {
  RegisterComCtrlsClasses();
  RegisterMenuClasses();
  RegisterClasses({TToolWindow::StaticClass(), TImageList::StaticClass(), TTimer::StaticClass(),
                   TActionList::StaticClass(), TAction::StaticClass()});
  auto* F = new TToolWindow(nullptr);
  Forms.push_back(F->Link());
  F->SetName("Tools");
  auto* Ticker = new TTimer(F);
  Ticker->SetName("Ticker");
  Ticker->SetEnabled(false);
  Ticker->SetInterval(250);
  auto* Glyphs = new TImageList(F);
  Glyphs->SetName("Glyphs");
  Glyphs->SetWidth(24);
  auto* Menu = new TPopupMenu(F);
  Menu->SetName("Menu");
  auto* OpenItem = new TMenuItem(F);
  OpenItem->SetName("OpenItem");
  OpenItem->SetCaption("Open");
  Menu->Items()->Add(OpenItem);
  auto* Commands = new TActionList(F);
  Commands->SetName("Commands");
  auto* Convert = new TAction(F);
  Convert->SetName("Convert");
  Convert->SetCaption("Convert");
  Convert->SetActionList(Commands);
  auto* Tabs = new TTabControl(F);
  Tabs->SetName("Tabs");
  Tabs->SetParent(F);
  Tabs->SetImages(Glyphs);
  Tabs->SetPopupMenu(Menu);

  const AnsiString Text = WriteToText(F);
  auto Count = [&](const AnsiString& What) {
    size_t N = 0;
    for (size_t At = Text.find(What); At != AnsiString::npos; At = Text.find(What, At + 1)) ++N;
    return N;
  };
  std::vector<size_t> Order;
  for (const char* Object : {"  object Tabs: TTabControl\n", "  object Ticker: TTimer\n", "  object Glyphs: TImageList\n",
                             "  object Menu: TPopupMenu\n", "    object OpenItem: TMenuItem\n",
                             "  object Commands: TActionList\n", "    object Convert: TAction\n"}) {
    EXPECT_EQ(Count(Object), 1u) << Object << Text;
    Order.push_back(Text.find(Object));
  }
  EXPECT_TRUE(std::is_sorted(Order.begin(), Order.end())) << Text;
  EXPECT_NE(Text.find("    Images = Glyphs\n"), AnsiString::npos) << Text;
  EXPECT_NE(Text.find("    PopupMenu = Menu\n"), AnsiString::npos) << Text;

  auto* Copy = new TToolWindow(nullptr);
  Forms.push_back(Copy->Link());
  TStringStream Input(Text);
  ReadComponentText(&Input, Copy);
  auto* CopyTabs = dynamic_cast<TTabControl*>(Copy->FindComponent("Tabs"));
  auto* CopyGlyphs = dynamic_cast<TImageList*>(Copy->FindComponent("Glyphs"));
  auto* CopyMenu = dynamic_cast<TPopupMenu*>(Copy->FindComponent("Menu"));
  auto* CopyTicker = dynamic_cast<TTimer*>(Copy->FindComponent("Ticker"));
  auto* CopyCommands = dynamic_cast<TActionList*>(Copy->FindComponent("Commands"));
  ASSERT_TRUE(CopyTabs && CopyGlyphs && CopyMenu && CopyTicker && CopyCommands);
  EXPECT_EQ(CopyTabs->Parent(), Copy);
  EXPECT_EQ(CopyTabs->Images(), CopyGlyphs);
  EXPECT_EQ(CopyTabs->PopupMenu(), CopyMenu);
  EXPECT_EQ(CopyGlyphs->Width(), 24);
  EXPECT_EQ(CopyTicker->Interval(), 250u);
  EXPECT_FALSE(CopyTicker->Enabled());
  ASSERT_EQ(CopyMenu->Items()->Count(), 1);
  EXPECT_EQ(CopyMenu->Items()->Items(0)->Caption(), "Open");
  ASSERT_EQ(CopyCommands->ActionCount(), 1);
  EXPECT_EQ(CopyCommands->Actions(0)->Name(), "Convert");
  EXPECT_EQ(WriteToText(Copy), Text);
}

}  // namespace description_test
