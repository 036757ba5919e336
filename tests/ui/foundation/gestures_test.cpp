#include "ui/foundation/gestures.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "platform/rtl/registry.h"
#include "platform/win/user/user.h"
#include "ui/foundation/dpi_scaling.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/hook_controller.h"
#include "ui/foundation/themes.h"

namespace {

std::vector<std::string> GLog;

void Log(const std::string& AText) { GLog.push_back(AText); }

std::string PointText(const TPoint& P) { return std::to_string(P.X) + "," + std::to_string(P.Y); }

// ---- Stand-ins for the functions the platform lacks ---------------------------------------

std::map<HGESTUREINFO, GESTUREINFO> GRecords;
std::vector<HGESTUREINFO> GClosed;
std::vector<GESTURECONFIG> GConfigs;
HWND GConfigWindow = nullptr;
int GConfigCalls = 0;
bool GDpiAware = false;

// Hands the record out as it is, size field included.
BOOL FakeGetGestureInfo(HGESTUREINFO AHandle, PGESTUREINFO AInfo) {
  auto it = GRecords.find(AHandle);
  if (it == GRecords.end()) return FALSE;
  *AInfo = it->second;
  return TRUE;
}

BOOL FakeCloseGestureInfoHandle(HGESTUREINFO AHandle) {
  GClosed.push_back(AHandle);
  return TRUE;
}

BOOL FakeSetGestureConfig(HWND AWnd, DWORD AReserved, UINT ACount, PGESTURECONFIG AConfigs, UINT ASize) {
  ++GConfigCalls;
  if (AReserved != 0 || ASize != sizeof(GESTURECONFIG)) return FALSE;
  GConfigWindow = AWnd;
  GConfigs.assign(AConfigs, AConfigs + ACount);
  return TRUE;
}

BOOL FakePhysicalToLogicalPoint(HWND, LPPOINT) { return TRUE; }
BOOL FakeIsProcessDPIAware() { return GDpiAware; }

BOOL FakeBeginPanningFeedback(HWND) {
  Log("feedback begin");
  return TRUE;
}
BOOL FakeUpdatePanningFeedback(HWND, LONG AX, LONG AY, BOOL AInertia) {
  Log("feedback " + std::to_string(AX) + "," + std::to_string(AY) + (AInertia ? " inertia" : ""));
  return TRUE;
}
BOOL FakeEndPanningFeedback(HWND, BOOL AAnimateBack) {
  Log(std::string("feedback end") + (AAnimateBack ? " animated" : ""));
  return TRUE;
}

// ---- A client and an owner that count their references ------------------------------------

class TFakeClient : public IdxGestureClient, public IdxZoomGestureHandler, public IdxRotateGestureHandler {
 public:
  ULONG Refs = 1;
  bool OffersZoom = true;
  bool OffersRotate = true;
  std::vector<DWORD> Allowed{GID_PAN, GID_ZOOM, GID_ROTATE, GID_TWOFINGERTAP, GID_PRESSANDTAP};
  bool PanH = true, PanV = true;
  bool FeedbackH = false, FeedbackV = false;
  DWORD Flags = 31;
  TRect PanArea{0, 0, 100, 100};
  double LastAngle = 0;

  HRESULT QueryInterface(REFIID riid, void** obj) override {
    if (riid == IID_IUnknown || riid == IID_IdxGestureClient) {
      *obj = static_cast<IdxGestureClient*>(this);
    } else if (riid == IID_IdxZoomGestureHandler && OffersZoom) {
      *obj = static_cast<IdxZoomGestureHandler*>(this);
    } else if (riid == IID_IdxRotateGestureHandler && OffersRotate) {
      *obj = static_cast<IdxRotateGestureHandler*>(this);
    } else {
      *obj = nullptr;
      return E_NOINTERFACE;
    }
    ++Refs;
    return S_OK;
  }
  ULONG AddRef() override { return ++Refs; }
  ULONG Release() override { return --Refs; }

  bool IsGestureAllowed(DWORD AId) override {
    for (DWORD id : Allowed)
      if (id == AId) return true;
    return false;
  }
  bool IsPanAllowed(TScrollBarKind ADirection) override { return ADirection == sbVertical ? PanV : PanH; }
  void StartGestureScroll(const TPoint& P) override { Log("start " + PointText(P)); }
  void StopGestureScroll() override { Log("stop"); }
  void ScrollByGesture(Integer ADx, Integer ADy) override { Log("scroll " + PointText(TPoint(ADx, ADy))); }
  DWORD GetPanFlags() override { return Flags; }
  bool IsInPanArea(const TPoint& P) override { return PanArea.Contains(P); }
  bool WantsPanFeedback(TScrollBarKind ADirection) override { return ADirection == sbVertical ? FeedbackV : FeedbackH; }
  void Zoom(Integer ADelta, bool& AHandled) override {
    Log("zoom " + std::to_string(ADelta));
    AHandled = true;
  }
  void Rotate(bool& AHandled, double AAngle) override {
    LastAngle = AAngle;
    Log("rotate");
    AHandled = true;
  }
};

class TFakeOwner : public IdxGestureOwner {
 public:
  ULONG Refs = 1;
  HWND Window = nullptr;
  TFakeClient* Client = nullptr;

  HRESULT QueryInterface(REFIID riid, void** obj) override {
    if (riid == IID_IUnknown || riid == IID_IdxGestureOwner) {
      *obj = static_cast<IdxGestureOwner*>(this);
      ++Refs;
      return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++Refs; }
  ULONG Release() override { return --Refs; }

  void FindGestureClient(const TPoint& P, IdxGestureClient*& AClient) override {
    Log("find " + PointText(P));
    AClient = Client;
    if (AClient) AClient->AddRef();
  }
  HWND GetOwnerWindow() override { return Window; }
  bool IsTargetWindow(HWND AWnd) override { return AWnd == Window; }
  TPoint ScreenToOwner(const TPoint& P) override {
    POINT p{P.X, P.Y};
    ScreenToClient(Window, &p);
    return p;
  }
};

TdxGestureHelper* GHelper = nullptr;

LRESULT GestureWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  TMessage message{msg, w, l, 0};
  if (GHelper && GHelper->HandleMessage(message)) return message.Result;
  return DefWindowProcA(hwnd, msg, w, l);
}

HWND MakeWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &GestureWindowProc;
    wc.lpszClassName = "dxGestureProbe";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "dxGestureProbe", "", WS_POPUP | WS_VISIBLE, 40, 40, 200, 150, nullptr, nullptr,
                         nullptr, nullptr);
}

// The unit runs over a window whose messages go to a helper; the table
// holds the stand-ins and the panning feedback records what it is told.
class GestureTest : public ::testing::Test {
 protected:
  TFakeOwner Owner;
  TFakeClient Client;
  TdxTouchApi SavedApi;
  TdxUxThemeApi SavedTheme;
  HWND Window = nullptr;
  int NextHandle = 1;

  void SetUp() override {
    dx_core_detail::StartHooks();
    dx_touch_detail::StartTouch();
    SavedApi = dxTouchApi;
    SavedTheme = dxUxThemeApi;
    InstallFakes();
    GLog.clear();
    GRecords.clear();
    GClosed.clear();
    GConfigs.clear();
    GConfigCalls = 0;
    GConfigWindow = nullptr;
    GDpiAware = false;
    dx_touch_detail::SetDPICorrection(false);
    Window = MakeWindow();
    Owner.Window = Window;
    Owner.Client = &Client;
    GHelper = new TdxGestureHelper(&Owner);
  }

  void TearDown() override {
    delete GHelper;
    GHelper = nullptr;
    if (IsWindow(Window)) DestroyWindow(Window);
    dxTouchApi = SavedApi;
    dxUxThemeApi = SavedTheme;
    dx_touch_detail::StopTouch();
    dx_core_detail::StopHooks();
  }

  static void InstallFakes() {
    dxTouchApi.GetGestureInfo = &FakeGetGestureInfo;
    dxTouchApi.CloseGestureInfoHandle = &FakeCloseGestureInfoHandle;
    dxTouchApi.SetGestureConfig = &FakeSetGestureConfig;
    dxTouchApi.PhysicalToLogicalPoint = &FakePhysicalToLogicalPoint;
    dxTouchApi.IsProcessDPIAware = &FakeIsProcessDPIAware;
    dxUxThemeApi.BeginPanningFeedback = &FakeBeginPanningFeedback;
    dxUxThemeApi.UpdatePanningFeedback = &FakeUpdatePanningFeedback;
    dxUxThemeApi.EndPanningFeedback = &FakeEndPanningFeedback;
  }

  POINT Screen(int x, int y) {
    POINT p{x, y};
    ClientToScreen(Window, &p);
    return p;
  }

  // The announcement as the system sends it: through the window procedure,
  // so that the hook sees it first.
  LRESULT Announce(int x, int y, HWND ATarget = nullptr) {
    POINT s = Screen(x, y);
    GESTURENOTIFYSTRUCT notify{sizeof(GESTURENOTIFYSTRUCT), 0, ATarget ? ATarget : Window,
                               POINTS{SHORT(s.X), SHORT(s.Y)}, 0};
    return SendMessageA(Window, WM_GESTURENOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
  }

  // A gesture step at a client point; answers the message's result.
  LRESULT Deliver(DWORD AId, DWORD AFlags, int x, int y, ULONGLONG AArguments = 0,
                  UINT ASize = sizeof(GESTUREINFO)) {
    auto handle = reinterpret_cast<HGESTUREINFO>(static_cast<intptr_t>(NextHandle++));
    POINT s = Screen(x, y);
    GESTUREINFO info{};
    info.cbSize = ASize;
    info.dwFlags = AFlags;
    info.dwID = AId;
    info.hwndTarget = Window;
    info.ptsLocation = POINTS{SHORT(s.X), SHORT(s.Y)};
    info.ullArguments = AArguments;
    GRecords[handle] = info;
    LRESULT result = SendMessageA(Window, WM_GESTURE, AId, reinterpret_cast<LPARAM>(handle));
    EXPECT_EQ(GClosed.empty() ? nullptr : GClosed.back(), handle) << "the record is closed whatever happened";
    return result;
  }
};

// ---- Announcement and configuration -----------------------------------------------------------

TEST_F(GestureTest, AnnouncementConfiguresWhatTheClientAllowsAtTheTouchPoint) {
  const struct {
    const char* Name;
    int X, Y;  // client point of the touch; the pan area is (0, 0, 100, 100)
    bool PanH, PanV;
    std::vector<DWORD> Allowed;
    std::vector<GESTURECONFIG> Expected;
  } cases[] = {
      {"vertical pan only, inside the pan area", 10, 20, false, true,
       {GID_PAN, GID_ZOOM, GID_TWOFINGERTAP},
       {{GID_PAN, 27, 4}, {GID_ZOOM, 1, 0}, {GID_ROTATE, 0, 1}, {GID_TWOFINGERTAP, 1, 0}, {GID_PRESSANDTAP, 0, 1}}},
      {"vertical pan only, outside the pan area", 150, 120, false, true,
       {GID_PAN, GID_ZOOM, GID_TWOFINGERTAP},
       {{GID_PAN, 25, 6}, {GID_ZOOM, 1, 0}, {GID_ROTATE, 0, 1}, {GID_TWOFINGERTAP, 1, 0}, {GID_PRESSANDTAP, 0, 1}}},
      {"both pans, everything allowed", 50, 50, true, true,
       {GID_PAN, GID_ZOOM, GID_ROTATE, GID_TWOFINGERTAP, GID_PRESSANDTAP},
       {{GID_PAN, 31, 0}, {GID_ZOOM, 1, 0}, {GID_ROTATE, 1, 0}, {GID_TWOFINGERTAP, 1, 0}, {GID_PRESSANDTAP, 1, 0}}},
      {"pan not allowed", 50, 50, true, true,
       {GID_ROTATE},
       {{GID_PAN, 0, 31}, {GID_ZOOM, 0, 1}, {GID_ROTATE, 1, 0}, {GID_TWOFINGERTAP, 0, 1}, {GID_PRESSANDTAP, 0, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Client.PanH = c.PanH;
    Client.PanV = c.PanV;
    Client.Allowed = c.Allowed;
    GLog.clear();
    EXPECT_EQ(Announce(c.X, c.Y), 1);
    POINT s = Screen(c.X, c.Y);
    EXPECT_EQ(dxTouchStartPoint(), TPoint(s.X, s.Y)) << "the hook keeps the screen point";
    ASSERT_FALSE(GLog.empty());
    EXPECT_EQ(GLog.front(), "find " + PointText(TPoint(c.X, c.Y))) << "the client is found at the client point";
    EXPECT_EQ(GConfigWindow, Window);
    ASSERT_EQ(GConfigs.size(), c.Expected.size());
    for (size_t i = 0; i < GConfigs.size(); ++i) {
      EXPECT_EQ(GConfigs[i].dwID, c.Expected[i].dwID) << i;
      EXPECT_EQ(GConfigs[i].dwWant, c.Expected[i].dwWant) << i;
      EXPECT_EQ(GConfigs[i].dwBlock, c.Expected[i].dwBlock) << i;
    }
  }
}

TEST_F(GestureTest, AnnouncementWithoutClientOrForAnotherWindowConfiguresNothing) {
  Owner.Client = nullptr;
  EXPECT_EQ(Announce(10, 10), 0) << "the default procedure answers";
  EXPECT_EQ(GConfigCalls, 0);
  EXPECT_EQ(GHelper->NotifyClient(), nullptr);

  Owner.Client = &Client;
  HWND other = MakeWindow();
  EXPECT_EQ(Announce(10, 10, other), 0);
  EXPECT_EQ(GConfigCalls, 0);
  DestroyWindow(other);

  // A notification without its record is no announcement of ours.
  EXPECT_EQ(SendMessageA(Window, WM_GESTURENOTIFY, 0, 0), 0);
  EXPECT_EQ(GConfigCalls, 0);
}

TEST_F(GestureTest, BlockingAllGesturesSendsOneRecordAndAnswersOne) {
  TMessage message{WM_GESTURENOTIFY, 0, 0, 0};
  EXPECT_TRUE(dxBlockAllGestures(Window, message));
  EXPECT_EQ(message.Result, 1);
  ASSERT_EQ(GConfigs.size(), 1u);
  EXPECT_EQ(GConfigs[0].dwID, 0u);
  EXPECT_EQ(GConfigs[0].dwWant, 0u);
  EXPECT_EQ(GConfigs[0].dwBlock, 1u);
}

// ---- Pan and over-pan ------------------------------------------------------------------------

TEST_F(GestureTest, PanStartsScrollsAndStopsTheClientWithFeedback) {
  Client.FeedbackV = true;
  Announce(10, 10);
  GLog.clear();
  EXPECT_EQ(Deliver(GID_PAN, GF_BEGIN, 10, 10), 1);
  EXPECT_TRUE(GHelper->Panning());
  EXPECT_EQ(GHelper->ActiveClient(), &Client);
  EXPECT_EQ(Deliver(GID_PAN, 0, 13, 30), 1);
  EXPECT_EQ(Deliver(GID_PAN, GF_INERTIA, 15, 40), 1);
  EXPECT_TRUE(GHelper->Inertia());
  EXPECT_EQ(Deliver(GID_PAN, GF_END, 15, 41), 1);
  EXPECT_FALSE(GHelper->Panning());
  EXPECT_EQ(GHelper->ActiveClient(), nullptr);
  const std::vector<std::string> expected{"start 10,10",     "feedback begin", "scroll 3,20", "scroll 2,10",
                                          "scroll 0,1", "stop",           "feedback end animated"};
  EXPECT_EQ(GLog, expected);

  // One step that begins and ends leaves no pan running.
  Announce(10, 10);
  GLog.clear();
  EXPECT_EQ(Deliver(GID_PAN, GF_BEGIN | GF_END, 20, 20), 1);
  EXPECT_FALSE(GHelper->Panning());
  EXPECT_EQ(GHelper->ActiveClient(), nullptr);
  const std::vector<std::string> once{"start 20,20", "feedback begin", "stop", "feedback end animated"};
  EXPECT_EQ(GLog, once);
}

TEST_F(GestureTest, OverPanIsPaidBackByMagnitudeBeforeTheClientScrolls) {
  const struct {
    const char* Name;
    bool Vertical;
    bool Feedback;
    Integer OverPan;  // accumulated before the steps
    Integer Step1, Step2;
    Integer OverPan1, Scroll1, OverPan2, Scroll2;
  } cases[] = {
      {"left edge, moving right", false, true, -30, 10, 25, -20, 0, 0, 5},
      {"right edge, moving left", false, true, 30, -10, -25, 20, 0, 0, -5},
      {"top edge, moving down", true, true, -30, 10, 25, -20, 0, 0, 5},
      {"same direction as the over-pan", false, true, -30, -10, -5, -30, -10, -30, -5},
      {"no feedback wanted", false, false, -30, 10, 25, -30, 10, -30, 25},
      {"exactly paid back", true, true, 12, -12, -3, 0, 0, 0, -3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Client.FeedbackH = !c.Vertical && c.Feedback;
    Client.FeedbackV = c.Vertical && c.Feedback;
    Announce(50, 50);
    Deliver(GID_PAN, GF_BEGIN, 50, 50);
    GHelper->AddOverPan(c.Vertical, c.OverPan);
    auto along = [&](const TPoint& P) { return c.Vertical ? P.Y : P.X; };
    auto step = [&](Integer d, Integer atX, Integer atY) {
      GLog.clear();
      Deliver(GID_PAN, 0, c.Vertical ? atX : atX + d, c.Vertical ? atY + d : atY);
    };
    step(c.Step1, 50, 50);
    EXPECT_EQ(along(GHelper->OverPan()), c.OverPan1);
    TPoint scroll1 = c.Vertical ? TPoint(0, c.Scroll1) : TPoint(c.Scroll1, 0);
    EXPECT_EQ(GLog.back(), "scroll " + PointText(scroll1));
    const Integer at = 50 + c.Step1;
    step(c.Step2, c.Vertical ? 50 : at, c.Vertical ? at : 50);
    EXPECT_EQ(along(GHelper->OverPan()), c.OverPan2);
    TPoint scroll2 = c.Vertical ? TPoint(0, c.Scroll2) : TPoint(c.Scroll2, 0);
    EXPECT_EQ(GLog.back(), "scroll " + PointText(scroll2));
    Deliver(GID_PAN, GF_END, 0, 0);
    EXPECT_EQ(GHelper->OverPan(), TPoint(0, 0));
  }
}

TEST_F(GestureTest, CheckOverpanGrowsTheOverPanOnlyPastAnEndAndOnlyWhereFeedbackIsWanted) {
  Client.FeedbackV = true;
  Announce(50, 50);
  Deliver(GID_PAN, GF_BEGIN | GF_INERTIA, 50, 50);
  GLog.clear();
  EXPECT_FALSE(GHelper->CheckOverpan(sbHorizontal, -5, 0, 100, -5, 0)) << "no horizontal feedback wanted";
  EXPECT_TRUE(GHelper->CheckOverpan(sbVertical, 40, 0, 100, 0, 7)) << "strictly inside";
  EXPECT_TRUE(GLog.empty());
  EXPECT_TRUE(GHelper->CheckOverpan(sbVertical, 0, 0, 100, 3, -7)) << "the edge itself is past it";
  EXPECT_TRUE(GHelper->CheckOverpan(sbVertical, -4, 0, 100, 3, -4));
  EXPECT_EQ(GHelper->OverPan(), TPoint(0, -11));
  const std::vector<std::string> expected{"feedback 0,-7 inertia", "feedback 0,-11 inertia"};
  EXPECT_EQ(GLog, expected);
  dxUxThemeApi.UpdatePanningFeedback = nullptr;
  EXPECT_FALSE(GHelper->CheckOverpan(sbVertical, 101, 0, 100, 0, 2)) << "the feedback's own answer";
}

TEST_F(GestureTest, DestroyingTheWindowMidPanEndsIt) {
  Client.FeedbackH = true;
  Announce(10, 10);
  Deliver(GID_PAN, GF_BEGIN, 10, 10);
  GLog.clear();
  DestroyWindow(Window);
  EXPECT_FALSE(GHelper->Panning());
  EXPECT_EQ(GHelper->ActiveClient(), nullptr);
  const std::vector<std::string> expected{"stop", "feedback end animated"};
  EXPECT_EQ(GLog, expected);
}

TEST_F(GestureTest, PanPointsAreScaledByCurrentOverAppliedDpiOnlyWithTheCorrection) {
  ASSERT_EQ(cxGetScreenDPI(), 96);
  const Integer savedApplied = dxAppliedDPI();
  dx_touch_detail::SetAppliedDPI(120);
  for (bool correction : {true, false}) {
    SCOPED_TRACE(correction);
    dx_touch_detail::SetDPICorrection(correction);
    Announce(10, 10);
    GLog.clear();
    Deliver(GID_PAN, GF_BEGIN, 100, 50);
    Deliver(GID_PAN, GF_END, 150, 100);
    const std::vector<std::string> expected =
        correction ? std::vector<std::string>{"start 80,40", "scroll 40,40", "stop"}
                   : std::vector<std::string>{"start 100,50", "scroll 50,50", "stop"};
    EXPECT_EQ(GLog, expected);
  }
  dx_touch_detail::SetAppliedDPI(savedApplied);
}

// ---- Zoom and rotation -------------------------------------------------------------------------

TEST_F(GestureTest, ZoomGivesTheChangeOfDistanceAndRotationTheAngle) {
  Announce(10, 10);
  GLog.clear();
  EXPECT_EQ(Deliver(GID_ZOOM, GF_BEGIN, 10, 10, 0), 1) << "a distance of 0 is a distance";
  EXPECT_EQ(Deliver(GID_ZOOM, 0, 10, 10, 0xFFFFFFFF00000050ull), 1) << "the low 32 bits";
  EXPECT_EQ(Deliver(GID_ZOOM, GF_END, 10, 10, 0x30), 1);
  EXPECT_EQ(GHelper->ActiveClient(), nullptr);
  const std::vector<std::string> expected{"zoom 0", "zoom 80", "zoom -32"};
  EXPECT_EQ(GLog, expected);

  const double pi = std::numbers::pi;
  const struct {
    ULONGLONG Argument;
    double Angle;
  } rotations[] = {{32767, 0.0}, {65535, 2 * pi}, {0, -2 * pi}, {0x1FFFF, 2 * pi}};
  for (const auto& r : rotations) {
    EXPECT_EQ(Deliver(GID_ROTATE, GF_BEGIN | GF_END, 10, 10, r.Argument), 1);
    EXPECT_NEAR(Client.LastAngle, r.Angle, 1e-3) << r.Argument;
  }
  EXPECT_EQ(GHelper->ActiveClient(), nullptr);
}

TEST_F(GestureTest, ClientWithoutZoomOrRotateLeavesThemToTheDefaultProcedure) {
  Client.OffersZoom = false;
  Client.OffersRotate = false;
  const ULONG refs = Client.Refs;
  Announce(10, 10);
  GLog.clear();
  EXPECT_EQ(Deliver(GID_ZOOM, GF_BEGIN | GF_END, 10, 10, 5), 0);
  EXPECT_EQ(Deliver(GID_ROTATE, GF_BEGIN | GF_END, 10, 10, 5), 0);
  EXPECT_TRUE(GLog.empty());
  EXPECT_EQ(Client.Refs, refs + 1) << "only the notify client's reference remains";
}

// ---- Bad input ---------------------------------------------------------------------------------

TEST_F(GestureTest, RecordsOfWrongSizeUnknownGesturesAndStrayStepsAreIgnored) {
  Announce(10, 10);
  GLog.clear();
  const struct {
    const char* Name;
    DWORD Id;
    DWORD Flags;
    UINT Size;
  } cases[] = {
      {"size field too small", GID_PAN, GF_BEGIN, sizeof(GESTUREINFO) - 8},
      {"size field of the 32-bit record", GID_ZOOM, GF_BEGIN, 48},
      {"unknown gesture", 42, GF_BEGIN, sizeof(GESTUREINFO)},
      {"a tap is only configured", GID_TWOFINGERTAP, GF_BEGIN, sizeof(GESTUREINFO)},
      {"a step without a beginning", GID_PAN, 0, sizeof(GESTUREINFO)},
  };
  Owner.Client = nullptr;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Flags == 0) Announce(10, 10);  // no client: nothing may start
    EXPECT_EQ(Deliver(c.Id, c.Flags, 10, 10, 5, c.Size), 0);
    EXPECT_FALSE(GHelper->Panning());
    EXPECT_EQ(GHelper->ActiveClient(), nullptr);
  }
  EXPECT_EQ(GLog, std::vector<std::string>{"find 10,10"}) << "the client saw none of them";

  // A handle the system does not know: nothing happens, nothing to close.
  GClosed.clear();
  EXPECT_EQ(SendMessageA(Window, WM_GESTURE, GID_PAN, 12345), 0);
  EXPECT_TRUE(GClosed.empty());
}

TEST_F(GestureTest, HelperReleasesEveryReferenceItTook) {
  const ULONG ownerRefs = Owner.Refs, clientRefs = Client.Refs;
  auto* helper = new TdxGestureHelper(&Owner);
  EXPECT_EQ(Owner.Refs, ownerRefs + 1);
  TdxGestureHelper* saved = GHelper;
  GHelper = helper;
  Announce(10, 10);
  Deliver(GID_PAN, GF_BEGIN, 10, 10);
  EXPECT_EQ(Client.Refs, clientRefs + 2) << "notify and active client";
  Announce(10, 10);
  EXPECT_EQ(Client.Refs, clientRefs + 2) << "the same client announced again";
  GHelper = saved;
  delete helper;
  EXPECT_EQ(Owner.Refs, ownerRefs);
  EXPECT_EQ(Client.Refs, clientRefs);
}

// ---- The platform's own (missing) functions ---------------------------------------------------

TEST_F(GestureTest, WithThePlatformsBindingsNothingIsConfiguredAndNothingFails) {
  dx_touch_detail::StopTouch();
  dx_touch_detail::StartTouch();
  for (const TdxTouchEntryPoint& e : dxTouchEntryPointTable()) {
    void* slot = nullptr;
    std::memcpy(&slot, e.Slot, sizeof slot);
    EXPECT_EQ(slot, nullptr) << e.Name << " is absent from user32";
  }
  TMessage message{WM_GESTURENOTIFY, 0, 0, 0};
  EXPECT_FALSE(dxBlockAllGestures(Window, message));
  EXPECT_EQ(message.Result, 1);
  TPoint p(5, 6);
  EXPECT_FALSE(dxPhysicalToLogicalPoint(Window, p));
  EXPECT_EQ(p, TPoint(5, 6));
  EXPECT_FALSE(dxProcessIsDPIAware());
  EXPECT_FALSE(dxCloseGestureInfoHandle(nullptr));
  GESTUREINFO info{};
  EXPECT_FALSE(dxGetGestureInfo(nullptr, info));

  GLog.clear();
  EXPECT_EQ(Announce(10, 10), 0) << "not configured: the default procedure answers";
  EXPECT_NO_THROW(SendMessageA(Window, WM_GESTURE, GID_PAN, 7));
  EXPECT_EQ(GConfigCalls, 0);
  EXPECT_EQ(GLog, std::vector<std::string>{"find 10,10"});
  EXPECT_FALSE(GHelper->Panning());
}

TEST_F(GestureTest, CorrectionFlagFollowsTheVersionAndTheProcessesDpiAwareness) {
  const bool saved = OSWin8OrLater;
  const struct {
    bool Win8OrLater;
    bool Aware;
    bool Correction;
  } cases[] = {{false, false, true}, {false, true, false}, {true, false, false}, {true, true, false}};
  for (const auto& c : cases) {
    OSWin8OrLater = c.Win8OrLater;
    GDpiAware = c.Aware;
    dx_touch_detail::ComputeDPICorrection();
    EXPECT_EQ(dxTouchDPICorrection(), c.Correction) << "8 or later " << c.Win8OrLater << " aware " << c.Aware;
  }
  OSWin8OrLater = saved;
}

// ---- Applied DPI ---------------------------------------------------------------------------

// The registry file in a fresh folder of its own.
class AppliedDpiTest : public ::testing::Test {
 protected:
  std::string Dir, SavedXdg;
  bool HadXdg = false;

  void SetUp() override {
    char tmpl[] = "/tmp/applied_dpi_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
    if (const char* x = getenv("XDG_CONFIG_HOME")) {
      HadXdg = true;
      SavedXdg = x;
    }
    setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
  }
  void TearDown() override {
    rtl::detail::FlushRegistry();
    if (HadXdg)
      setenv("XDG_CONFIG_HOME", SavedXdg.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(Dir);
  }
  static void Write(const char* AName, bool AsString, Integer AValue) {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("Control Panel\\Desktop\\WindowMetrics", true));
    if (AsString)
      reg.WriteString(AName, std::to_string(AValue));
    else
      reg.WriteInteger(AName, AValue);
  }
};

TEST_F(AppliedDpiTest, ReadFromTheRegistryElseTheCurrentDpi) {
  const Integer current = cxGetScreenDPI();
  EXPECT_EQ(dxReadAppliedDPI(), current) << "no key";
  Write("OtherValue", false, 144);
  EXPECT_EQ(dxReadAppliedDPI(), current) << "no value";
  Write("AppliedDPI", false, 120);
  EXPECT_EQ(dxReadAppliedDPI(), 120);
  Write("AppliedDPI", false, 0);
  EXPECT_EQ(dxReadAppliedDPI(), current) << "nothing to divide by";
  Write("AppliedDPI", true, 144);
  EXPECT_EQ(dxReadAppliedDPI(), current) << "a text value";
}

}  // namespace
