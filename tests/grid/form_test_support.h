// A shown form on the virtual clock, for tests of controls that live on
// one. Fixtures place their controls in PlaceControls, before the form
// shows, and may add their own clean-up after the form is gone.
#pragma once

#include <gtest/gtest.h>

#include "platform/forms/forms.h"
#include "platform/win/user/user_test_seams.h"

class FormTest : public ::testing::Test {
 protected:
  TForm* Form = nullptr;

  void SetUp() override {
    rtl::testing::UseVirtualClock(true);
    Form = TCustomForm::Create<TForm>(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    PlaceControls();
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    Pump();
    Screen->SetCursor(crDefault);
    AfterFormFreed();
    rtl::testing::UseVirtualClock(false);
  }
  virtual void PlaceControls() {}
  virtual void AfterFormFreed() {}
  static void Pump() { Application->ProcessMessages(); }
  // A control of class T at the given bounds on the form.
  template <class T>
  T* Place(Integer Left, Integer Top, Integer Width, Integer Height) {
    auto* C = new T(Form);
    C->SetBounds(Left, Top, Width, Height);
    C->SetParent(Form);
    return C;
  }
};
