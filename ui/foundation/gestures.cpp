#include "ui/foundation/gestures.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/rtl/mathutils.h"
#include "platform/rtl/registry.h"
#include "platform/win/kernel/kernel_module.h"
#include "platform/win/modules.h"
#include "platform/win/user/user.h"
#include "ui/foundation/dpi_scaling.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/hook_controller.h"
#include "ui/foundation/themes.h"

RTL_IMPLEMENT_CLASS(TdxGestureHelper)

TdxTouchApi dxTouchApi;

namespace {

const TdxTouchEntryPoint kTouchTable[] = {
    {"GetGestureInfo", &dxTouchApi.GetGestureInfo},
    {"CloseGestureInfoHandle", &dxTouchApi.CloseGestureInfoHandle},
    {"SetGestureConfig", &dxTouchApi.SetGestureConfig},
    {"LogicalToPhysicalPoint", &dxTouchApi.LogicalToPhysicalPoint},
    {"PhysicalToLogicalPoint", &dxTouchApi.PhysicalToLogicalPoint},
    {"IsProcessDPIAware", &dxTouchApi.IsProcessDPIAware},
};

// The gestures configured at an announcement, in this order, with every
// flag each one has.
struct TGestureKind {
  DWORD Id;
  DWORD AllFlags;
};
constexpr TGestureKind kGestures[] = {
    {GID_PAN, GC_PAN | GC_PAN_WITH_SINGLE_FINGER_VERTICALLY | GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY |
                  GC_PAN_WITH_GUTTER | GC_PAN_WITH_INERTIA},
    {GID_ZOOM, GC_ZOOM},
    {GID_ROTATE, GC_ROTATE},
    {GID_TWOFINGERTAP, GC_TWOFINGERTAP},
    {GID_PRESSANDTAP, GC_PRESSANDTAP},
};

HMODULE gUser32 = nullptr;
TPoint gTouchStartPoint;
Integer gAppliedDPI = 96;
bool gDPICorrection = false;

void BindTouchApi(HMODULE ALibrary) {
  for (const TdxTouchEntryPoint& e : kTouchTable) {
    FARPROC p = ALibrary ? GetProcAddress(ALibrary, e.Name) : nullptr;
    std::memcpy(e.Slot, &p, sizeof p);
  }
}

// Holds a reference while it lives: an interface asked of a client.
template <class T>
class TIntfQuery {
 public:
  TIntfQuery(IUnknown* AObject, REFIID AIid) {
    void* p = nullptr;
    if (AObject && AObject->QueryInterface(AIid, &p) == S_OK) FIntf = static_cast<T*>(p);
  }
  ~TIntfQuery() {
    if (FIntf) FIntf->Release();
  }
  TIntfQuery(const TIntfQuery&) = delete;
  TIntfQuery& operator=(const TIntfQuery&) = delete;
  T* operator->() const { return FIntf; }
  explicit operator bool() const { return FIntf != nullptr; }

 private:
  T* FIntf = nullptr;
};

// Replaces a referenced interface: the new one is referenced first, so
// that assigning the same one keeps it alive.
template <class T>
void AssignIntf(T*& AField, T* AValue) {
  if (AValue) AValue->AddRef();
  T* old = AField;
  AField = AValue;
  if (old) old->Release();
}

bool Negative(Integer A) { return A < 0; }

}  // namespace

// ---- Binding and wrappers ----------------------------------------------------------------

std::span<const TdxTouchEntryPoint> dxTouchEntryPointTable() { return kTouchTable; }

bool dxGetGestureInfo(HGESTUREINFO AGestureInfo, GESTUREINFO& AInfo) {
  return dxTouchApi.GetGestureInfo && dxTouchApi.GetGestureInfo(AGestureInfo, &AInfo);
}

bool dxCloseGestureInfoHandle(HGESTUREINFO AGestureInfo) {
  return dxTouchApi.CloseGestureInfoHandle && dxTouchApi.CloseGestureInfoHandle(AGestureInfo);
}

bool dxApplyGestureConfig(HWND AWnd, const TdxGestureConfigs& AConfigs) {
  if (!dxTouchApi.SetGestureConfig) return false;
  // The function takes a writable array but only reads it.
  TdxGestureConfigs configs = AConfigs;
  return dxTouchApi.SetGestureConfig(AWnd, 0, static_cast<UINT>(configs.size()), configs.data(),
                                     sizeof(GESTURECONFIG));
}

bool dxPhysicalToLogicalPoint(HWND AWnd, TPoint& APoint) {
  if (!dxTouchApi.PhysicalToLogicalPoint) return false;
  POINT p = APoint;
  if (!dxTouchApi.PhysicalToLogicalPoint(AWnd, &p)) return false;
  APoint = p;
  return true;
}

bool dxProcessIsDPIAware() { return dxTouchApi.IsProcessDPIAware && dxTouchApi.IsProcessDPIAware(); }

bool dxBlockAllGestures(HWND AWnd, TMessage& AMessage) {
  TdxGestureConfigs configs{GESTURECONFIG{0, 0, GC_ALLGESTURES}};
  bool result = dxApplyGestureConfig(AWnd, configs);
  AMessage.Result = 1;
  return result;
}

void dxGestureNotifyHook(int ACode, WPARAM AWParam, LPARAM ALParam, LRESULT& AResult) {
  (void)AWParam;
  (void)AResult;
  if (ACode != HC_ACTION || !ALParam) return;
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(ALParam);
  if (message->message != WM_GESTURENOTIFY || !message->lParam) return;
  const auto* notify = reinterpret_cast<const GESTURENOTIFYSTRUCT*>(message->lParam);
  gTouchStartPoint = TPoint(notify->ptsLocation.x, notify->ptsLocation.y);
}

Integer dxReadAppliedDPI() {
  Integer result = cxGetScreenDPI();
  try {
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (registry.OpenKeyReadOnly("Control Panel\\Desktop\\WindowMetrics") && registry.ValueExists("AppliedDPI")) {
      // A value of no use for a divisor counts as missing.
      Integer value = registry.ReadInteger("AppliedDPI");
      if (value > 0) result = value;
    }
  } catch (const Exception&) {
    // A value of another type counts as missing.
  }
  return result;
}

Integer dxAppliedDPI() { return gAppliedDPI; }
bool dxTouchDPICorrection() { return gDPICorrection; }
TPoint dxTouchStartPoint() { return gTouchStartPoint; }

namespace dx_touch_detail {

void StartTouch() {
  gUser32 = LoadLibraryA("user32.dll");
  BindTouchApi(gUser32);
  gAppliedDPI = dxReadAppliedDPI();
  ComputeDPICorrection();
  dxAddHookHandler(hkCallWndProc, &dxGestureNotifyHook);
}

void StopTouch() {
  dxRemoveHookHandler(&dxGestureNotifyHook);
  BindTouchApi(nullptr);
  if (gUser32) FreeLibrary(gUser32);
  gUser32 = nullptr;
}

void ComputeDPICorrection() { gDPICorrection = !OSWin8OrLater && !dxProcessIsDPIAware(); }
void SetAppliedDPI(Integer ADpi) { gAppliedDPI = ADpi; }
void SetDPICorrection(bool AValue) { gDPICorrection = AValue; }

}  // namespace dx_touch_detail

// ---- TdxGestureHelper ----------------------------------------------------------------------

TdxGestureHelper::TdxGestureHelper(IdxGestureOwner* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->AddRef();
}

TdxGestureHelper::~TdxGestureHelper() {
  SetActiveClient(nullptr);
  SetNotifyClient(nullptr);
  if (FOwner) FOwner->Release();
}

void TdxGestureHelper::SetActiveClient(IdxGestureClient* AClient) { AssignIntf(FActiveClient, AClient); }
void TdxGestureHelper::SetNotifyClient(IdxGestureClient* AClient) { AssignIntf(FNotifyClient, AClient); }

bool TdxGestureHelper::GestureAllowed(DWORD AGestureId) {
  return FNotifyClient && FNotifyClient->IsGestureAllowed(AGestureId);
}

bool TdxGestureHelper::PanAllowed(TScrollBarKind ADirection) {
  return FNotifyClient && FNotifyClient->IsPanAllowed(ADirection);
}

HWND TdxGestureHelper::WindowHandle() { return FOwner ? FOwner->GetOwnerWindow() : nullptr; }

DWORD TdxGestureHelper::PanFlags() { return FNotifyClient ? FNotifyClient->GetPanFlags() : 0; }

bool TdxGestureHelper::IsTarget(HWND AWnd) { return FOwner && FOwner->IsTargetWindow(AWnd); }

bool TdxGestureHelper::InPanArea(const TPoint& APoint) {
  return FNotifyClient && FNotifyClient->IsInPanArea(APoint);
}

bool TdxGestureHelper::WantsFeedback(TScrollBarKind ADirection) {
  return FActiveClient && FActiveClient->WantsPanFeedback(ADirection);
}

TPoint TdxGestureHelper::ToClient(const TPoint& APoint) { return FOwner ? FOwner->ScreenToOwner(APoint) : APoint; }

bool TdxGestureHelper::WantsAnyFeedback() { return WantsFeedback(sbHorizontal) || WantsFeedback(sbVertical); }

TPoint TdxGestureHelper::GetStartPoint() {
  TPoint p = gTouchStartPoint;
  dxPhysicalToLogicalPoint(WindowHandle(), p);
  return ToClient(p);
}

bool TdxGestureHelper::HandleMessage(TMessage& AMessage) {
  switch (AMessage.Msg) {
    case WM_GESTURE:
      return HandleGesture(AMessage);
    case WM_GESTURENOTIFY:
      return HandleGestureNotify(AMessage);
    case WM_DESTROY:
      // The window goes: nothing more of this gesture can arrive.
      if (FPanning) {
        EndScrolling();
        SetActiveClient(nullptr);
      }
      return false;
    default:
      return false;
  }
}

bool TdxGestureHelper::HandleGestureNotify(TMessage& AMessage) {
  IdxGestureClient* client = nullptr;
  if (FOwner) FOwner->FindGestureClient(GetStartPoint(), client);
  SetNotifyClient(client);
  if (client) client->Release();  // the field holds its own reference
  const auto* notify = reinterpret_cast<const GESTURENOTIFYSTRUCT*>(AMessage.LParam);
  if (FNotifyClient && notify && IsTarget(notify->hwndTarget)) return ConfigureGestures(AMessage);
  return false;
}

bool TdxGestureHelper::ConfigureGestures(TMessage& AMessage) {
  TdxGestureConfigs configs;
  for (const TGestureKind& kind : kGestures) {
    DWORD flags = kind.Id == GID_PAN ? GetPanFlagsAt(GetStartPoint()) : kind.AllFlags;
    DWORD want = GestureAllowed(kind.Id) ? flags : 0;
    configs.push_back(GESTURECONFIG{kind.Id, want, kind.AllFlags & ~want});
  }
  bool result = dxApplyGestureConfig(WindowHandle(), configs);
  AMessage.Result = 1;
  return result;
}

DWORD TdxGestureHelper::GetPanFlagsAt(const TPoint& APoint) {
  DWORD result = PanFlags();
  if (InPanArea(APoint)) {
    if (!PanAllowed(sbVertical)) result &= ~DWORD(GC_PAN_WITH_SINGLE_FINGER_VERTICALLY);
    if (!PanAllowed(sbHorizontal)) result &= ~DWORD(GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY);
  } else {
    result &= ~DWORD(GC_PAN_WITH_SINGLE_FINGER_VERTICALLY | GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY);
  }
  return result;
}

bool TdxGestureHelper::HandleGesture(TMessage& AMessage) {
  auto handle = reinterpret_cast<HGESTUREINFO>(AMessage.LParam);
  GESTUREINFO info{};
  info.cbSize = sizeof(GESTUREINFO);
  if (!dxGetGestureInfo(handle, info)) return true;
  const bool begin = (info.dwFlags & GF_BEGIN) != 0;
  const bool inertia = (info.dwFlags & GF_INERTIA) != 0;
  const bool end = (info.dwFlags & GF_END) != 0;
  // A record of another layout is not read further.
  if (info.cbSize == sizeof(GESTUREINFO) && (FActiveClient || (begin && FNotifyClient)) &&
      IsTarget(info.hwndTarget)) {
    const TPoint point = ToClient(TPoint(info.ptsLocation.x, info.ptsLocation.y));
    switch (info.dwID) {
      case GID_ZOOM:
        AMessage.Result = DoZoom(static_cast<Integer>(static_cast<uint32_t>(info.ullArguments)), begin, end);
        break;
      case GID_PAN:
        AMessage.Result = DoPan(point, begin, inertia, end);
        break;
      case GID_ROTATE: {
        const double pi = std::numbers::pi;
        const double angle = static_cast<double>(info.ullArguments & 0xFFFF) / 65535.0 * 4.0 * pi - 2.0 * pi;
        AMessage.Result = DoRotate(begin, end, angle);
        break;
      }
      default:
        break;
    }
  }
  dxCloseGestureInfoHandle(handle);
  if (AMessage.Result != 1)
    AMessage.Result = DefWindowProcA(WindowHandle(), AMessage.Msg, AMessage.WParam, AMessage.LParam);
  return true;
}

void TdxGestureHelper::BeginScrolling(const TPoint& APoint) {
  FPanning = true;
  if (FActiveClient) FActiveClient->StartGestureScroll(APoint);
  if (WantsAnyFeedback()) dxPanningFeedbackBegin(WindowHandle());
  FOverPan = TPoint(0, 0);
}

void TdxGestureHelper::EndScrolling() {
  FPanning = false;
  if (FActiveClient) FActiveClient->StopGestureScroll();
  if (WantsAnyFeedback()) dxPanningFeedbackEnd(WindowHandle(), true);
}

bool TdxGestureHelper::DoPan(TPoint APoint, bool ABegin, bool AInertia, bool AEnd) {
  if (gDPICorrection && gAppliedDPI > 0) {
    const Integer current = cxGetScreenDPI();
    APoint = TPoint(MulDiv(APoint.X, current, gAppliedDPI), MulDiv(APoint.Y, current, gAppliedDPI));
  }
  FInertia = AInertia;
  if (ABegin) {
    SetActiveClient(FNotifyClient);
    BeginScrolling(APoint);
    // A pan that ends where it begins leaves nothing running.
    if (AEnd) {
      EndScrolling();
      SetActiveClient(nullptr);
    }
  } else {
    Integer delta[2] = {APoint.X - FLastPanPoint.X, APoint.Y - FLastPanPoint.Y};
    if (AEnd) FOverPan = TPoint(0, 0);
    for (TScrollBarKind direction : {sbHorizontal, sbVertical}) {
      Integer& d = delta[direction];
      const Integer overPan = direction == sbVertical ? FOverPan.Y : FOverPan.X;
      if (overPan != 0 && d != 0 && Negative(overPan) != Negative(d) && WantsFeedback(direction)) {
        // The movement back pays the over-pan off before anything scrolls.
        const Integer amount = std::abs(overPan) >= std::abs(d) ? d : -overPan;
        AddOverPan(direction == sbVertical, amount);
        d -= amount;
      }
    }
    if (FActiveClient) FActiveClient->ScrollByGesture(delta[0], delta[1]);
    if (AEnd) {
      EndScrolling();
      SetActiveClient(nullptr);
    }
  }
  FLastPanPoint = APoint;
  return true;
}

bool TdxGestureHelper::DoZoom(Integer ADistance, bool ABegin, bool AEnd) {
  if (ABegin) {
    FLastZoomDistance = ADistance;
    SetActiveClient(FNotifyClient);
  }
  bool handled = false;
  if (TIntfQuery<IdxZoomGestureHandler> zoom(FActiveClient, IID_IdxZoomGestureHandler); zoom)
    zoom->Zoom(ADistance - FLastZoomDistance, handled);
  FLastZoomDistance = ADistance;
  if (AEnd) SetActiveClient(nullptr);
  return handled;
}

bool TdxGestureHelper::DoRotate(bool ABegin, bool AEnd, double AAngle) {
  if (ABegin) SetActiveClient(FNotifyClient);
  bool handled = false;
  if (TIntfQuery<IdxRotateGestureHandler> rotate(FActiveClient, IID_IdxRotateGestureHandler); rotate)
    rotate->Rotate(handled, AAngle);
  if (AEnd) SetActiveClient(nullptr);
  return handled;
}

bool TdxGestureHelper::CheckOverpan(TScrollBarKind ADirection, Integer APosition, Integer AMinimum,
                                    Integer AMaximum, Integer ADeltaX, Integer ADeltaY) {
  if (!WantsFeedback(ADirection)) return false;
  if (APosition > AMinimum && APosition < AMaximum) return true;
  return ADirection == sbVertical ? AddOverPan(true, ADeltaY) : AddOverPan(false, ADeltaX);
}

bool TdxGestureHelper::AddOverPan(bool AVertical, Integer ADelta) {
  if (AVertical)
    FOverPan.Y += ADelta;
  else
    FOverPan.X += ADelta;
  return dxPanningFeedbackUpdate(WindowHandle(), FOverPan, FInertia);
}
