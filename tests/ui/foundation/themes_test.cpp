#include "ui/foundation/themes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/rtl/sysutils.h"
#include "platform/testing/uxtheme_recording.h"
#include "platform/win/kernel/kernel_module.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_test_seams.h"
#include "platform/rtl/units.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/foundation_units.h"
#include "ui/foundation/resource_strings.h"
#include "ui/foundation/units_loader.h"
#include "ui/foundation/message_windows.h"
#include "unit_state_fixture.h"

namespace {

using namespace dx_themes_detail;

int ModuleIndex(const char* AName) {
  for (size_t i = 0; i < rtl::detail::ModuleCount(); ++i)
    if (std::string(rtl::detail::ModuleFileName(int(i))) == AName) return int(i);
  return -1;
}

// The UxTheme unit and the theme manager running as at start-up, with no
// visual style unless a test installs one.
class ThemeManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartUxThemeUnit();
    StartThemeManager();
  }
  void TearDown() override {
    theme_.reset();
    StopThemeManager();
    StopUxThemeUnit();
    SetUxThemeFileName("UxTheme.dll");
  }
  // Installing a style sends WM_THEMECHANGED to every window, the
  // receiver's among them.
  TRecordingTheme& InstallTheme(std::vector<std::u16string> AClasses = {}) {
    theme_ = std::make_unique<TRecordingTheme>(std::move(AClasses));
    return *theme_;
  }
  size_t CountOf(const char* AFunction) const { return theme_ ? theme_->CallsOf(AFunction).size() : 0; }
  void SendToReceiver(UINT AMsg) {
    ASSERT_NE(dxThemeChangedEventReceiver(), nullptr);
    EXPECT_EQ(SendMessageA(dxThemeChangedEventReceiver()->WindowHandle(), AMsg, 0, 0), 0);
  }

  std::unique_ptr<TRecordingTheme> theme_;
};

int GOpenCalls = 0;
HTHEME CountingOpen(HWND, LPCWSTR) {
  ++GOpenCalls;
  return reinterpret_cast<HTHEME>(1);
}

TEST_F(ThemeManagerTest, BindsEveryNameOfTheLibraryAndClearsThemOnShutDown) {
  ASSERT_TRUE(dxUxThemeLoaded());
  ASSERT_EQ(dxUxThemeEntryPointTable().size(), 56u);
  for (const TdxBindingEntryPoint& e : dxUxThemeEntryPointTable()) {
    void* p = nullptr;
    std::memcpy(&p, e.Slot, sizeof p);
    EXPECT_NE(p, nullptr) << e.Name;
  }
  StopThemeManager();
  StopUxThemeUnit();
  EXPECT_FALSE(dxUxThemeLoaded());
  EXPECT_EQ(dxUxThemeApi.OpenThemeData, nullptr);
  EXPECT_EQ(dxUxThemeApi.EndPanningFeedback, nullptr);
}

TEST_F(ThemeManagerTest, WithoutAStyleNoHandleIsAskedFor) {
  auto saved = dxUxThemeApi.OpenThemeData;
  dxUxThemeApi.OpenThemeData = &CountingOpen;
  GOpenCalls = 0;
  EXPECT_FALSE(ThemesActive());
  EXPECT_FALSE(dxAreVisualStylesAvailable());
  for (int i = 0; i < dxThemeClassCount; ++i) EXPECT_EQ(dxGetThemeHandle(TdxThemeClassIndex(i)), nullptr);
  EXPECT_EQ(dxGetThemeHandle(tciButton, u"Button"), nullptr);
  EXPECT_EQ(GOpenCalls, 0);
  EXPECT_EQ(dxCloseThemeHandle(tciButton), S_FALSE);
  dxUxThemeApi.OpenThemeData = saved;
}

TEST_F(ThemeManagerTest, AClassListDifferingOnlyInCaseReusesTheHandle) {
  TRecordingTheme& theme = InstallTheme();
  ASSERT_TRUE(ThemesActive());
  HTHEME upper = dxGetThemeHandle(tciButton, u"BUTTON");
  ASSERT_NE(upper, nullptr);
  EXPECT_EQ(dxGetThemeHandle(tciButton, u"button"), upper);
  EXPECT_EQ(dxGetThemeHandle(tciButton), upper);
  EXPECT_EQ(CountOf("OpenThemeData"), 1u);
  EXPECT_EQ(theme.CallsOf("OpenThemeData")[0].ClassList, u"BUTTON");
}

TEST_F(ThemeManagerTest, ADifferentClassListClosesAndReopens) {
  InstallTheme();
  HTHEME first = dxGetThemeHandle(tciButton);
  ASSERT_NE(first, nullptr);
  HTHEME second = dxGetThemeHandle(tciButton, u"Explorer::Button");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(CountOf("CloseThemeData"), 1u);
  EXPECT_EQ(CachedClassList(tciButton), u"Explorer::Button");
  EXPECT_EQ(dxCloseThemeHandle(tciButton), S_OK);
  EXPECT_EQ(CachedClassList(tciButton), u"");
  EXPECT_EQ(dxCloseThemeHandle(tciButton), S_OK);  // nothing cached
  EXPECT_EQ(CountOf("CloseThemeData"), 2u);
}

TEST_F(ThemeManagerTest, AfterAThemeChangeEachClassReopensWithItsList) {
  TRecordingTheme& theme = InstallTheme();
  ASSERT_NE(dxGetThemeHandle(tciHeader, u"Header;ListView"), nullptr);
  ASSERT_NE(dxGetThemeHandle(tciEdit), nullptr);
  for (UINT msg : {UINT(WM_THEMECHANGED), UINT(WM_SYSCOLORCHANGE)}) {
    theme.Calls.clear();
    SendToReceiver(msg);
    EXPECT_EQ(CountOf("CloseThemeData"), 2u);
    EXPECT_NE(dxGetThemeHandle(tciHeader), nullptr);
    EXPECT_NE(dxGetThemeHandle(tciEdit), nullptr);
    auto opened = theme.CallsOf("OpenThemeData");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].ClassList, u"Header;ListView");
    EXPECT_EQ(opened[1].ClassList, u"Edit");
  }
}

TEST_F(ThemeManagerTest, AvailabilityForASetNeedsAHandleForEveryClass) {
  InstallTheme({u"Button", u"Edit"});
  EXPECT_TRUE(dxAreVisualStylesAvailable());
  EXPECT_TRUE(dxAreVisualStylesAvailable({tciButton, tciEdit}));
  EXPECT_FALSE(dxAreVisualStylesAvailable({tciButton, tciTreeView}));
  EXPECT_EQ(CachedClassList(tciTreeView), u"");
  EXPECT_EQ(CachedClassList(tciEdit), u"Edit");
}

TEST_F(ThemeManagerTest, RemovingTheStyleTurnsAvailabilityOff) {
  InstallTheme();
  ASSERT_NE(dxGetThemeHandle(tciTab), nullptr);
  theme_.reset();  // the platform tells every window
  EXPECT_FALSE(ThemesActive());
  EXPECT_EQ(dxGetThemeHandle(tciTab), nullptr);
}

TEST_F(ThemeManagerTest, NotificatorsAreToldInOrderAndOnlyWhenMadeWhileTheManagerRuns) {
  std::vector<std::string> log;
  StopThemeManager();
  TdxThemeChangedNotificator early;
  early.OnThemeChanged = [&] { log.push_back("early"); };
  StartThemeManager();
  TdxThemeChangedNotificator first, second;
  first.OnThemeChanged = [&] { log.push_back("first"); };
  second.OnThemeChanged = [&] { log.push_back("second"); };
  {
    TdxThemeChangedNotificator gone;
    gone.OnThemeChanged = [&] { log.push_back("gone"); };
  }
  SendToReceiver(WM_THEMECHANGED);
  SendToReceiver(WM_SYSCOLORCHANGE);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "first", "second"}));
}

TEST_F(ThemeManagerTest, ANotificatorFreeingAnotherWhileToldIsSafe) {
  std::vector<std::string> log;
  auto first = std::make_unique<TdxThemeChangedNotificator>();
  auto second = std::make_unique<TdxThemeChangedNotificator>();
  first->OnThemeChanged = [&] {
    log.push_back("first");
    second.reset();
  };
  second->OnThemeChanged = [&] { log.push_back("second"); };
  SendToReceiver(WM_THEMECHANGED);
  EXPECT_EQ(log, std::vector<std::string>{"first"});
}

TEST_F(ThemeManagerTest, AnExceptionOfANotificatorGoesToTheApplication) {
  std::unique_ptr<TApplication> own;
  if (!Application) {
    own.reset(new TApplication(nullptr));
    Application = own.get();
  }
  bool reported = false;
  TExceptionEvent saved = Application->OnException;
  Application->OnException = [&](TObject*, Exception*) { reported = true; };
  TdxThemeChangedNotificator raising;
  raising.OnThemeChanged = [] { throw Exception("theme"); };
  SendToReceiver(WM_THEMECHANGED);
  Application->OnException = saved;
  if (own) Application = nullptr;
  EXPECT_TRUE(reported);
}

TEST(ThemeBindingTest, WithoutTheLibraryEverythingAnswersOff) {
  SetUxThemeFileName("missing-uxtheme.dll");
  StartUxThemeUnit();
  StartThemeManager();
  EXPECT_FALSE(dxUxThemeLoaded());
  EXPECT_EQ(dxThemeChangedEventReceiver(), nullptr);
  TRecordingTheme theme;
  EXPECT_FALSE(dxAreVisualStylesAvailable());
  EXPECT_EQ(dxGetThemeHandle(tciButton), nullptr);
  EXPECT_EQ(dxIsThemeActive(), FALSE);
  EXPECT_FALSE(dxPanningFeedbackBegin(nullptr));
  EXPECT_EQ(dxOpenThemeData(nullptr, u"Button"), nullptr);
  EXPECT_EQ(dxBufferedPaintInit(), E_NOTIMPL);
  TdxThemeChangedNotificator never;
  StopThemeManager();
  StopUxThemeUnit();
  SetUxThemeFileName("UxTheme.dll");
  EXPECT_TRUE(theme.CallsOf("OpenThemeData").empty());
}

BOOL GLastInertia = 0;
BOOL RecordingUpdate(HWND, LONG, LONG, BOOL AInertia) {
  GLastInertia = AInertia;
  return TRUE;
}

TEST_F(ThemeManagerTest, PanningFeedbackAnswersThePlatformAndPassesTrueAsMinusOne) {
  EXPECT_FALSE(dxPanningFeedbackBegin(nullptr));  // the platform never pans
  EXPECT_FALSE(dxPanningFeedbackEnd(nullptr, true));
  auto saved = dxUxThemeApi.UpdatePanningFeedback;
  dxUxThemeApi.UpdatePanningFeedback = &RecordingUpdate;
  EXPECT_TRUE(dxPanningFeedbackUpdate(nullptr, TPoint(3, 4), true));
  EXPECT_EQ(GLastInertia, -1);
  dxUxThemeApi.UpdatePanningFeedback = nullptr;
  EXPECT_FALSE(dxPanningFeedbackUpdate(nullptr, TPoint(3, 4), true));
  dxUxThemeApi.UpdatePanningFeedback = saved;
}

TEST_F(ThemeManagerTest, CurrentThemeNameAndBufferedPaintingGoThroughTheBinding) {
  TRecordingTheme& theme = InstallTheme();
  theme.FileName = u"aero.msstyles";
  char16_t file[1024], colour[1024], size[1024];
  ASSERT_EQ(dxGetCurrentThemeName(file, 1024, colour, 1024, size, 1024), S_OK);
  EXPECT_EQ(std::u16string(file), u"aero.msstyles");
  // The message-window unit's unchecked start-up of buffered painting.
  const bool vista = OSWinVistaOrLater;
  OSWinVistaOrLater = true;
  cx_controls_detail::StartControls();
  EXPECT_EQ(dxBufferedPaintInit(), S_OK);
  EXPECT_EQ(dxBufferedPaintUnInit(), S_OK);
  cx_controls_detail::StopControls();
  cx_controls_detail::StartControls();
  OSWinVistaOrLater = vista;
}

TEST(DwmBindingTest, BeforeVistaNothingIsLoaded) {
  const int dwm = ModuleIndex("dwmapi.dll");
  ASSERT_GE(dwm, 0);
  const int before = rtl::detail::ModuleReferenceCount(dwm);
  rtl::testing::SetVersion({5, 1, 2600, "Service Pack 3"});
  dxDWMBind();
  EXPECT_FALSE(dxDWMLoaded());
  EXPECT_FALSE(dxIsDesktopCompositionOn());
  EXPECT_EQ(rtl::detail::ModuleReferenceCount(dwm), before);
  EXPECT_EQ(dxDwmApi.DwmIsCompositionEnabled, nullptr);
  rtl::testing::ResetSystemInfo();
  dxDWMBind();
  EXPECT_TRUE(dxDWMLoaded());
  EXPECT_EQ(rtl::detail::ModuleReferenceCount(dwm), before + 1);
  for (const TdxBindingEntryPoint& e : dxDwmEntryPointTable()) {
    void* p = nullptr;
    std::memcpy(&p, e.Slot, sizeof p);
    EXPECT_NE(p, nullptr) << e.Name;
  }
  EXPECT_FALSE(dxIsDesktopCompositionOn());  // composition is off here
  dxDWMUnbind();
  EXPECT_EQ(rtl::detail::ModuleReferenceCount(dwm), before);
}

TEST(ThemeUnitsTest, TheFoundationsStartUpBindsAndItsShutDownLetsGo) {
  TUnitRegistry units;
  RegisterFoundationUnits(units);
  units.Initialize();
  EXPECT_TRUE(dxUxThemeLoaded());
  EXPECT_NE(dxThemeChangedEventReceiver(), nullptr);
  EXPECT_TRUE(dxDWMLoaded());
  EXPECT_FALSE(ThemesActive());
  units.Finalize();
  EXPECT_FALSE(dxUxThemeLoaded());
  EXPECT_EQ(dxThemeChangedEventReceiver(), nullptr);
  EXPECT_FALSE(dxDWMLoaded());
  EXPECT_EQ(GetModuleHandleA("uxtheme.dll"), nullptr);
  // The units that refuse service after their shut-down come back for the
  // tests that follow.
  unit_state_test::RestartShutDownUnits();
}

TEST(ThemeClassNamesTest, TwentySixNamesInOrder) {
  const char16_t* expected[] = {u"Button",   u"Clock",      u"ComboBox", u"Edit",     u"ExplorerBar", u"Header",
                                u"ListBox",  u"ListView",   u"Menu",     u"Page",     u"Progress",    u"Rebar",
                                u"ScrollBar", u"Spin",      u"StartPanel", u"Status", u"Tab",         u"TaskBand",
                                u"TaskBar",  u"ToolBar",    u"ToolTip",  u"TrackBar", u"TrayNotify",  u"TreeView",
                                u"Window",   u"Navigation"};
  static_assert(std::size(expected) == dxThemeClassCount);
  for (int i = 0; i < dxThemeClassCount; ++i) EXPECT_EQ(dxThemeClassName(TdxThemeClassIndex(i)), expected[i]);
  EXPECT_TRUE(dxSameClassList(u"Button;Edit", u"BUTTON;edit"));
  EXPECT_FALSE(dxSameClassList(u"Button", u"Button;Edit"));
}

}  // namespace
