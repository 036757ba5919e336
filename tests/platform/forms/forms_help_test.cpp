// Help: the application's help requests and OnHelp, and F1 on a focused
// control asking for its (or its parents') help.
#include <gtest/gtest.h>

#include "stdctrls_test_support.h"

using namespace controls_test;
using namespace stdctrls_test;

namespace {

class Help : public TFormsTest {
 protected:
  struct Request {
    Word Command;
    NativeInt Data;
    std::string Text;  // the data as text, for the commands that pass text
  };
  std::vector<Request> Requests;
  bool Answer = true;
  bool CallHelp = false;

  void TearDown() override {
    Application->OnHelp = nullptr;
    Application->SetHelpFile("");
    TFormsTest::TearDown();
  }
  void Listen() {
    Application->OnHelp = [this](Word Command, NativeInt Data, bool& Call) {
      const bool IsText = Command == HELP_KEY || Command == HELP_COMMAND || Command == HELP_PARTIALKEY;
      Requests.push_back({Command, Data, IsText ? std::string(reinterpret_cast<const char*>(Data)) : std::string()});
      Call = CallHelp;
      return Answer;
    };
  }
};

TEST_F(Help, WithoutAHandlerNothingHappensAndTheAnswerIsNo) {
  EXPECT_FALSE(Application->HelpContext(12));
  EXPECT_FALSE(Application->HelpCommand(HELP_CONTEXTPOPUP, 12));
  EXPECT_FALSE(Application->HelpKeyword("saving"));
  EXPECT_FALSE(Application->HelpJump("topic_1"));
  Application->SetHelpFile("/nonexistent/manual.chm");
  EXPECT_FALSE(Application->HelpContext(12)) << "no viewer for the help file";
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(Help, TheHandlerHearsEveryRequestAndAnswersIt) {
  Listen();
  EXPECT_TRUE(Application->HelpContext(12));
  EXPECT_TRUE(Application->HelpCommand(HELP_CONTEXTPOPUP, 34));
  EXPECT_TRUE(Application->HelpKeyword("saving"));
  EXPECT_TRUE(Application->HelpJump("topic_1"));
  ASSERT_EQ(Requests.size(), 4u);
  EXPECT_EQ(Requests[0].Command, HELP_CONTEXT);
  EXPECT_EQ(Requests[0].Data, 12);
  EXPECT_EQ(Requests[1].Command, HELP_CONTEXTPOPUP);
  EXPECT_EQ(Requests[1].Data, 34);
  EXPECT_EQ(Requests[2].Command, HELP_KEY);
  EXPECT_EQ(Requests[2].Text, "saving");
  EXPECT_EQ(Requests[3].Command, HELP_COMMAND);
  EXPECT_EQ(Requests[3].Text, "JumpID(\"\",\"topic_1\")");
  Answer = false;
  CallHelp = true;
  EXPECT_FALSE(Application->HelpContext(12)) << "the handler's answer stands";
}

TEST_F(Help, TheActiveFormsHelpFileComesFirst) {
  Application->SetHelpFile("app.hlp");
  TForm* F = MakeForm();
  F->Show();
  Pump();
  ASSERT_EQ(Screen->ActiveCustomForm(), F);
  EXPECT_EQ(Application->CurrentHelpFile(), "app.hlp");
  F->SetHelpFile("form.hlp");
  EXPECT_EQ(Application->CurrentHelpFile(), "form.hlp");
}

// F1 on the focused control asks for the help of the nearest control up
// its parents that has some; a form with a help button asks for a popup.
TEST_F(Help, F1AsksForTheFocusedControlsHelp) {
  struct Case {
    const char* Name;
    THelpContext Form, Panel, Edit;
    bool HelpButton;
    Word Command;
    NativeInt Context;
  };
  const Case Cases[] = {
      {"the control's own", 1, 2, 3, false, HELP_CONTEXT, 3},
      {"the parent's", 1, 2, 0, false, HELP_CONTEXT, 2},
      {"the form's", 1, 0, 0, false, HELP_CONTEXT, 1},
      {"as a popup", 1, 2, 3, true, HELP_CONTEXTPOPUP, 3},
  };
  Listen();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TForm* F = MakeForm();
    if (C.HelpButton) {
      F->SetBorderStyle(bsDialog);
      F->SetBorderIcons({biSystemMenu, biHelp});
    }
    auto* Panel = new TTestPanel(F);
    Panel->SetParent(F);
    auto* Edit = new TTestEdit(F);
    Edit->SetParent(Panel);
    F->SetHelpContext(C.Form);
    Panel->SetHelpContext(C.Panel);
    Edit->SetHelpContext(C.Edit);
    F->Show();
    Pump();
    Edit->SetFocus();
    Requests.clear();
    Press(VK_F1);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Command, C.Command);
    EXPECT_EQ(Requests[0].Data, C.Context);
    F->Free();
  }
  // Nothing to show: no request.
  TForm* F = MakeForm();
  auto* Edit = new TTestEdit(F);
  Edit->SetParent(F);
  F->Show();
  Pump();
  Edit->SetFocus();
  Requests.clear();
  Press(VK_F1);
  EXPECT_TRUE(Requests.empty());
}

TEST_F(Help, F1OnAControlWithKeywordHelpAsksForTheKeyword) {
  Listen();
  TForm* F = MakeForm();
  auto* Panel = new TTestPanel(F);
  Panel->SetParent(F);
  auto* Edit = new TTestEdit(F);
  Edit->SetParent(Panel);
  Panel->SetHelpContext(9);
  Edit->SetHelpType(htKeyword);
  Panel->SetHelpKeyword("output folder");
  EXPECT_EQ(Panel->HelpType(), htContext) << "context help unless asked otherwise";
  F->Show();
  Pump();
  Edit->SetFocus();
  Press(VK_F1);
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Command, HELP_KEY);
  EXPECT_EQ(Requests[0].Text, "output folder");
}

// The help of a control is part of its description; a help context that
// comes from the control's action is the action's to keep.
TEST_F(Help, AControlsHelpIsWrittenAndReadBackUnlessItsActionGivesIt) {
  RegisterStdCtrlsClasses();
  TDescribedForm* F = ReadForm(
      "object F: TDescribedForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  ClientHeight = 100\n"
      "  ClientWidth = 200\n"
      "  object Folder: TEdit\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 120\n"
      "    Height = 21\n"
      "    HelpType = htKeyword\n"
      "    HelpKeyword = 'output folder'\n"
      "    HelpContext = 12\n"
      "    TabOrder = 0\n"
      "  end\n"
      "  object Go: TButton\n"
      "    Left = 8\n"
      "    Top = 40\n"
      "    Width = 75\n"
      "    Height = 25\n"
      "    TabOrder = 1\n"
      "  end\n"
      "end\n");
  Forms.push_back(F->Link());
  auto* Folder = dynamic_cast<TEdit*>(F->FindComponent("Folder"));
  auto* Go = dynamic_cast<TButton*>(F->FindComponent("Go"));
  ASSERT_NE(Folder, nullptr);
  ASSERT_NE(Go, nullptr);
  EXPECT_EQ(Folder->HelpType(), htKeyword);
  EXPECT_EQ(Folder->HelpKeyword(), "output folder");
  EXPECT_EQ(Folder->HelpContext(), 12);
  EXPECT_EQ(Go->HelpType(), htContext);
  EXPECT_EQ(Go->HelpContext(), 0);

  const AnsiString Text = WriteToText(F);
  EXPECT_NE(Text.find("    HelpType = htKeyword\n    HelpKeyword = 'output folder'\n    HelpContext = 12\n"),
            AnsiString::npos)
      << Text;
  TDescribedForm* Copy = ReadForm(Text);
  Forms.push_back(Copy->Link());
  EXPECT_EQ(WriteToText(Copy), Text);

  // The button takes its action's help context and follows its changes;
  // the context is not written for it.
  auto* Save = new TAction(F);
  Save->SetName("Save");
  Save->SetHelpContext(40);
  Go->SetAction(Save);
  EXPECT_EQ(Go->HelpContext(), 40);
  Save->SetHelpContext(41);
  EXPECT_EQ(Go->HelpContext(), 41);
  auto ButtonText = [&] {
    const AnsiString All = WriteToText(F);
    const size_t From = All.find("  object Go");
    const size_t To = All.find("\n  end\n", From);
    return From == AnsiString::npos || To == AnsiString::npos ? AnsiString() : All.substr(From, To - From);
  };
  EXPECT_NE(ButtonText().find("Action = Save"), AnsiString::npos) << ButtonText();
  EXPECT_EQ(ButtonText().find("HelpContext"), AnsiString::npos) << ButtonText();
  // A context of the button's own parts it from the action.
  Go->SetHelpContext(7);
  Save->SetHelpContext(42);
  EXPECT_EQ(Go->HelpContext(), 7);
  EXPECT_NE(ButtonText().find("    HelpContext = 7\n"), AnsiString::npos) << ButtonText();
}

}  // namespace
