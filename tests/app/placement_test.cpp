// Where the main window opens on screens of several sizes and on two
// monitors: the first run centres it in the work area of its monitor, and
// a stored placement is fitted to the work area of the monitor it lies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/branding.h"
#include "app/globals.h"
#include "app/main_form.h"
#include "app_fixture.h"
#include "platform/forms/dialogs.h"
#include "platform/testing/user_testing.h"
#include "platform/win/user/standard_classes.h"
#include "platform/rtl/fileutils.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"

namespace {

namespace fs = std::filesystem;

const char* const kPlacementTitle = "Placement Test";

struct TPlacementCase {
  const char* Name;
  std::vector<rtl::testing::TScreen> Screens;
  const char* Stored;  // the settings file's "Form" section; null: a first run
  TRect Expected;
};

// 1280 x 800 with a panel of 30 at the bottom; 1920 x 1080 with one of 40;
// and the small one left of a large one, a panel of 30 at the small one's
// top.
const rtl::testing::TScreen kSmall{RECT(0, 0, 1280, 800), RECT(0, 0, 1280, 770), true, "small"};
const rtl::testing::TScreen kFull{RECT(0, 0, 1920, 1080), RECT(0, 0, 1920, 1040), true, "full"};
const rtl::testing::TScreen kLeft{RECT(0, 0, 1280, 800), RECT(0, 30, 1280, 800), true, "left"};
const rtl::testing::TScreen kRight{RECT(1280, 0, 3200, 1080), RECT(1280, 0, 3200, 1040), false, "right"};

class MainWindowPlacement : public AppFolders {
 protected:
  TFormMain* Form = nullptr;
  std::vector<AnsiString> Errors;

  void SetUp() override {
    AppFolders::SetUp();
    GlobalVars = TGlobalVars();
    Application->SetTitle(kPlacementTitle);
    Application->OnException = [this](TObject*, Exception* E) { Errors.push_back(E->Message()); };
    WriteBrandingFile(BrandingFilePath(), AnsiString("[SYSTEM]\nName=") + kPlacementTitle + "\n");
  }
  void TearDown() override {
    if (Form) Form->Free();
    Application->ProcessMessages();
    rtl::testing::SetScreens({});
    Application->OnException = {};
    DeleteFile(BrandingFilePath());
    AppFolders::TearDown();
  }
  void Open(const TPlacementCase& C) {
    // The display has told its screens by now; the fake ones replace them.
    Application->ProcessMessages();
    rtl::testing::SetScreens(C.Screens);
    fs::remove_all((AppData + kPlacementTitle).c_str());
    if (C.Stored) {
      fs::create_directories((AppData + kPlacementTitle).c_str());
      WriteWholeFile(SettingsFilePath(kPlacementTitle), AnsiString("[System]\nRibbonForm=0\n[Form]\n") + C.Stored);
    }
    Form = TCustomForm::Create<TFormMain>(nullptr);
  }
};

TEST_F(MainWindowPlacement, TheWindowOpensWhollyInsideTheWorkAreaOfItsMonitor) {
  const TPlacementCase Cases[] = {
      // Five conversions offered: 950 wide, the design's 551 high.
      {"first run on 1280 x 800", {kSmall}, nullptr, TRect(165, 109, 1115, 660)},
      {"first run on 1920 x 1080", {kFull}, nullptr, TRect(485, 244, 1435, 795)},
      {"first run on two monitors", {kLeft, kRight}, nullptr, TRect(165, 139, 1115, 690)},
      {"stored beyond the bottom right", {kSmall}, "x=1500\ny=900\nwidth=950\nheight=551\n",
       TRect(330, 219, 1280, 770)},
      {"stored wider than the screen", {kSmall}, "x=-300\ny=10\nwidth=5000\nheight=300\n", TRect(0, 10, 1280, 310)},
      {"stored larger than the screen", {kSmall}, "x=-300\ny=-50\nwidth=5000\nheight=5000\n", TRect(0, 0, 1280, 770)},
      {"stored on 1920 x 1080", {kFull}, "x=1500\ny=900\nwidth=950\nheight=551\n", TRect(970, 489, 1920, 1040)},
      {"stored on the second monitor", {kLeft, kRight}, "x=1500\ny=100\nwidth=950\nheight=551\n",
       TRect(1500, 100, 2450, 651)},
      {"stored under the first monitor's panel", {kLeft, kRight}, "x=100\ny=0\nwidth=950\nheight=551\n",
       TRect(100, 30, 1050, 581)},
  };
  for (const TPlacementCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Open(C);
    EXPECT_EQ(Form->BoundsRect(), C.Expected);
    Form->Free();
    Form = nullptr;
  }
  EXPECT_TRUE(Errors.empty()) << Errors.front();
}

// A message box without an owner (an error before the main window exists)
// comes up in the middle of the primary monitor's work area.
TEST_F(MainWindowPlacement, AnUnownedMessageBoxIsCentredInThePrimaryWorkArea) {
  // The display may put its primary monitor anywhere, not only at 0, 0.
  rtl::testing::TScreen RightPrimary = kRight, LeftSecond = kLeft;
  RightPrimary.Primary = true;
  LeftSecond.Primary = false;
  for (const auto& Screens : {std::vector<rtl::testing::TScreen>{kSmall}, std::vector<rtl::testing::TScreen>{kFull},
                              std::vector<rtl::testing::TScreen>{LeftSecond, RightPrimary}}) {
    rtl::testing::SetScreens(Screens);
    RECT Work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    RECT Box{};
    rtl::detail::SetMessageBoxShownHook([&](HWND H) {
      GetWindowRect(H, &Box);
      PostMessageA(H, WM_COMMAND, IDOK, 0);
    });
    MessageBoxA(nullptr, "The branding file is missing.", "Error", MB_OK | MB_ICONSTOP);
    rtl::detail::SetMessageBoxShownHook(nullptr);
    SCOPED_TRACE(Screens.back().Name);
    EXPECT_LE(std::abs((Box.Left + Box.Right) / 2 - (Work.Left + Work.Right) / 2), 1);
    EXPECT_LE(std::abs((Box.Top + Box.Bottom) / 2 - (Work.Top + Work.Bottom) / 2), 1);
  }
}

}  // namespace
