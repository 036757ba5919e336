// The application's activation change reaches every control of every form,
// after the application has heard of it.
#include "platform/forms/app_activation.h"

#include <gtest/gtest.h>

#include "controls_test_support.h"
#include "platform/forms/extctrls.h"
#include "platform/testing/app_activation_testing.h"

using namespace controls_test;

namespace {

// Logs the activation messages it receives.
class TListener : public TCustomControl {
 public:
  TListener(TComponent* AOwner, Log* L, std::string Name) : TCustomControl(AOwner), FLog(L), FName(std::move(Name)) {}
  std::function<void()> OnHeard;

  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_APPACTIVATECHANGED) {
      FLog->push_back(FName + " " + std::to_string(Message.WParam));
      if (OnHeard) OnHeard();
      return;
    }
    TCustomControl::Dispatch(Message);
  }

 private:
  Log* FLog;
  std::string FName;
};

class AppActivation : public TFormsTest {
 protected:
  // Outlives the forms: they hear the last deactivation as they go.
  Log L;
};

TEST_F(AppActivation, EveryControlOfEveryFormHearsItAfterTheApplication) {
  TForm* A = MakeForm();
  auto* Panel = new TPanel(A);
  Panel->SetParent(A);
  auto* Inner = new TListener(A, &L, "inner");
  Inner->SetParent(Panel);
  auto* Direct = new TListener(A, &L, "direct");
  Direct->SetParent(A);
  TForm* B = MakeForm();
  auto* Other = new TListener(B, &L, "other");
  Other->SetParent(B);
  A->Show();
  B->Show();
  Pump();
  // The first form shown may have activated the application.
  L.clear();
  Application->OnDeactivate = [&](TObject*) { L.push_back("application off"); };
  Application->OnActivate = [&](TObject*) { L.push_back("application on"); };
  rtl::testing::SetApplicationActive(false);
  Pump();
  ASSERT_EQ(L.size(), 4u);
  EXPECT_EQ(L.front(), "application off");
  std::sort(L.begin() + 1, L.end());
  EXPECT_EQ(L, (Log{"application off", "direct 0", "inner 0", "other 0"}));
  L.clear();
  rtl::testing::SetApplicationActive(true);
  Pump();
  ASSERT_EQ(L.size(), 4u);
  EXPECT_EQ(L.front(), "application on");
  std::sort(L.begin() + 1, L.end());
  EXPECT_EQ(L, (Log{"application on", "direct 1", "inner 1", "other 1"}));
  Application->OnDeactivate = nullptr;
  Application->OnActivate = nullptr;
}

TEST_F(AppActivation, AControlFreedByAnotherOnesHandlerIsSkipped) {
  TForm* A = MakeForm();
  auto* First = new TListener(A, &L, "first");
  First->SetParent(A);
  auto* Second = new TListener(A, &L, "second");
  Second->SetParent(A);
  A->Show();
  Pump();
  L.clear();
  First->OnHeard = [&] {
    delete Second;
    Second = nullptr;
  };
  rtl::testing::SetApplicationActive(false);
  Pump();
  EXPECT_EQ(L, (Log{"first 0"}));
  rtl::testing::SetApplicationActive(true);
  Pump();
  First->OnHeard = nullptr;  // it refers to this test's locals
}

}  // namespace
