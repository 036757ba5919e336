// Shared pieces of the standard-control tests: a fixture with a shown form
// to put controls on, and reading and writing form descriptions.
#pragma once

#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/forms/stdctrls.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "platform/win/user/standard_classes.h"

// A form whose components come from a description given in code.
class TDescribedForm : public TForm {
  RTL_CLASS(TDescribedForm, TForm)

 public:
  explicit TDescribedForm(TComponent* AOwner) : TForm(AOwner) {}
  AnsiString Description;

 protected:
  void ReadDescription() override {
    if (Description.empty()) return;
    TStringStream Input(Description);
    ReadComponentText(&Input, this);
  }
};

namespace stdctrls_test {

using namespace controls_test;

class TStdCtrlsTest : public TFormsTest {
 protected:
  TForm* Form = nullptr;

  void SetUp() override {
    TFormsTest::SetUp();
    RegisterStdCtrlsClasses();
  }

  // A shown form that has the focus.
  TForm* ShowForm(Integer Width = 400, Integer Height = 300) {
    Form = MakeForm(Width, Height);
    Form->Show();
    Pump();
    return Form;
  }

  // A control of class T on Parent (the form when null), at Bounds.
  template <class T>
  T* Add(const TRect& Bounds, TWinControl* Parent = nullptr) {
    auto* C = new T(Form);
    C->SetParent(Parent ? Parent : Form);
    C->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    return C;
  }

  static void Type(const AnsiString& Text) {
    rtl::testing::InjectText(Text);
    Pump();
  }

  // A loop that waits for something that never comes ends after a while
  // instead of blocking the test.
  static void GuardLoop(TCustomForm* Modal, TModalResult GiveUp) {
    auto Idles = std::make_shared<Integer>(0);
    Application->OnIdle = [Idles, Modal, GiveUp](TObject*, bool& Done) {
      Done = false;
      if (++*Idles == 1000) Modal->SetModalResult(GiveUp);
    };
  }
};

// The text form of a component tree, as the writer makes it.
inline AnsiString WriteToText(TComponent* Root) {
  TMemoryStream Binary;
  {
    TWriter Writer(&Binary, 4096);
    Writer.WriteDescendent(Root, nullptr);
  }
  Binary.SetPosition(0);
  TStringStream Text;
  ObjectBinaryToText(&Binary, &Text);
  return Text.DataString();
}

// Reads Description into a new form (not shown).
inline TDescribedForm* ReadForm(const AnsiString& Description) {
  auto* F = new TDescribedForm(nullptr);
  F->Description = Description;
  F->AfterConstruction();
  return F;
}

}  // namespace stdctrls_test
