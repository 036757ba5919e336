// Touch gestures and the DPI that the desktop applies. A control that wants
// gestures owns a TdxGestureHelper and hands it its window's messages: when
// the system announces a gesture, the helper asks the owner which part of
// the control (a client) gets it and tells the system which gestures to
// deliver; delivered gestures become calls on that client, with over-pan
// feedback at the ends of the content. The gesture and DPI functions of
// "user32.dll" are bound by name into one table; where they are missing
// every wrapper answers false and touch is off. Tests fill the table with
// stand-ins. User-interface thread only.
#pragma once

#include <span>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/rtl/types.h"
#include "platform/win/kernel/objidl.h"
#include "platform/win/kernel/windef.h"
#include "platform/win/user/gestures.h"

inline constexpr IID IID_IdxGestureOwner = {
    0x4DF001DA, 0xBE2C, 0x4817, {0xB7, 0x5C, 0x55, 0x17, 0x12, 0x70, 0xD1, 0x58}};
inline constexpr IID IID_IdxGestureClient = {
    0x652B8A09, 0xDAC8, 0x4332, {0x92, 0x06, 0xC8, 0x90, 0x5A, 0xEE, 0x77, 0x91}};
inline constexpr IID IID_IdxZoomGestureHandler = {
    0xB3A0623E, 0xD155, 0x462F, {0xB2, 0x34, 0x22, 0xE9, 0xCF, 0xC6, 0xBF, 0xBF}};
inline constexpr IID IID_IdxRotateGestureHandler = {
    0xEAC9BA3A, 0xC2C3, 0x42E2, {0x8C, 0xA8, 0x8C, 0xEA, 0x85, 0x82, 0x1C, 0xAE}};

// The part of a control that receives a gesture.
class IdxGestureClient : public IUnknown {
 public:
  virtual bool IsGestureAllowed(DWORD AGestureId) = 0;
  virtual bool IsPanAllowed(TScrollBarKind ADirection) = 0;
  virtual void StartGestureScroll(const TPoint& AClientPoint) = 0;
  virtual void StopGestureScroll() = 0;
  virtual void ScrollByGesture(Integer ADeltaX, Integer ADeltaY) = 0;
  // The GC_PAN... bits the client wants.
  virtual DWORD GetPanFlags() = 0;
  virtual bool IsInPanArea(const TPoint& AClientPoint) = 0;
  virtual bool WantsPanFeedback(TScrollBarKind ADirection) = 0;

 protected:
  ~IdxGestureClient() = default;
};

// The control that owns a gesture helper.
class IdxGestureOwner : public IUnknown {
 public:
  // The client at a point of the owner's client area, or null. A client
  // handed out carries a reference that the caller releases.
  virtual void FindGestureClient(const TPoint& AClientPoint, IdxGestureClient*& AClient) = 0;
  virtual HWND GetOwnerWindow() = 0;
  virtual bool IsTargetWindow(HWND AWnd) = 0;
  virtual TPoint ScreenToOwner(const TPoint& AScreenPoint) = 0;

 protected:
  ~IdxGestureOwner() = default;
};

// Optional on a client.
class IdxZoomGestureHandler : public IUnknown {
 public:
  // ADelta: the change of the distance between the fingers since the last
  // step.
  virtual void Zoom(Integer ADelta, bool& AHandled) = 0;

 protected:
  ~IdxZoomGestureHandler() = default;
};

// Optional on a client.
class IdxRotateGestureHandler : public IUnknown {
 public:
  // AAngle in radians.
  virtual void Rotate(bool& AHandled, double AAngle) = 0;

 protected:
  ~IdxRotateGestureHandler() = default;
};

// ---- The functions of "user32.dll" bound by name ---------------------------------------

using TdxGetGestureInfoProc = BOOL (*)(HGESTUREINFO AGestureInfo, PGESTUREINFO AInfo);
using TdxCloseGestureInfoHandleProc = BOOL (*)(HGESTUREINFO AGestureInfo);
using TdxSetGestureConfigProc = BOOL (*)(HWND AWnd, DWORD AReserved, UINT ACount, PGESTURECONFIG AConfigs,
                                         UINT ASize);
using TdxLogicalToPhysicalPointProc = BOOL (*)(HWND AWnd, LPPOINT APoint);
using TdxPhysicalToLogicalPointProc = BOOL (*)(HWND AWnd, LPPOINT APoint);
using TdxIsProcessDPIAwareProc = BOOL (*)();

// The bound addresses; null where the name is missing.
struct TdxTouchApi {
  TdxGetGestureInfoProc GetGestureInfo = nullptr;
  TdxCloseGestureInfoHandleProc CloseGestureInfoHandle = nullptr;
  TdxSetGestureConfigProc SetGestureConfig = nullptr;
  TdxLogicalToPhysicalPointProc LogicalToPhysicalPoint = nullptr;
  TdxPhysicalToLogicalPointProc PhysicalToLogicalPoint = nullptr;
  TdxIsProcessDPIAwareProc IsProcessDPIAware = nullptr;
};
extern TdxTouchApi dxTouchApi;

// One name and the variable it fills, in the order they are looked up.
struct TdxTouchEntryPoint {
  const char* Name;
  void* Slot;  // a function-pointer variable of dxTouchApi
};
std::span<const TdxTouchEntryPoint> dxTouchEntryPointTable();

using TdxGestureConfigs = std::vector<GESTURECONFIG>;

// Each calls the bound function and answers false where it is missing.
bool dxGetGestureInfo(HGESTUREINFO AGestureInfo, GESTUREINFO& AInfo);
bool dxCloseGestureInfoHandle(HGESTUREINFO AGestureInfo);
bool dxApplyGestureConfig(HWND AWnd, const TdxGestureConfigs& AConfigs);
bool dxPhysicalToLogicalPoint(HWND AWnd, TPoint& APoint);
bool dxProcessIsDPIAware();

// The answer to a gesture announcement of a control that handles no
// gestures: every gesture blocked, the message's result 1. Answers whether
// the configuration was accepted.
bool dxBlockAllGestures(HWND AWnd, TMessage& AMessage);

// The call-window-procedure hook handler that remembers where the last
// gesture announcement touched (screen coordinates). It never sets the
// result.
void dxGestureNotifyHook(int ACode, WPARAM AWParam, LPARAM ALParam, LRESULT& AResult);

// The value "AppliedDPI" of the current user's key
// "Control Panel\Desktop\WindowMetrics"; the screen's current DPI when the
// value is missing or not a positive number.
Integer dxReadAppliedDPI();
// As read at the unit's start-up.
Integer dxAppliedDPI();
// Pan points are scaled by current DPI / applied DPI: a system older than
// Windows 8 and a process that is not DPI aware.
bool dxTouchDPICorrection();
// The screen point of the last gesture announcement.
TPoint dxTouchStartPoint();

// ---- The helper ----------------------------------------------------------------------

class TdxGestureHelper : public TObject {
  RTL_CLASS(TdxGestureHelper, TObject)

  bool FInertia = false;
  IdxGestureClient* FActiveClient = nullptr;  // referenced
  IdxGestureClient* FNotifyClient = nullptr;  // referenced
  IdxGestureOwner* FOwner;                    // referenced
  bool FPanning = false;
  Integer FLastZoomDistance = 0;
  TPoint FLastPanPoint;
  TPoint FOverPan;

  void SetActiveClient(IdxGestureClient* AClient);
  void SetNotifyClient(IdxGestureClient* AClient);
  bool WantsAnyFeedback();

 protected:
  // Each forwards to the notify client, the owner or the active client;
  // false, 0 or the point unchanged without one.
  virtual bool GestureAllowed(DWORD AGestureId);
  virtual bool PanAllowed(TScrollBarKind ADirection);
  virtual HWND WindowHandle();
  virtual DWORD PanFlags();
  virtual bool IsTarget(HWND AWnd);
  virtual bool InPanArea(const TPoint& APoint);
  virtual bool WantsFeedback(TScrollBarKind ADirection);
  virtual TPoint ToClient(const TPoint& APoint);

  // The announcement's point in the owner's client coordinates.
  TPoint GetStartPoint();
  void BeginScrolling(const TPoint& APoint);
  void EndScrolling();

 public:
  explicit TdxGestureHelper(IdxGestureOwner* AOwner);
  ~TdxGestureHelper() override;
  TdxGestureHelper(const TdxGestureHelper&) = delete;
  TdxGestureHelper& operator=(const TdxGestureHelper&) = delete;

  // WM_GESTURE and WM_GESTURENOTIFY; WM_DESTROY ends a running pan and, as
  // everything else, answers false.
  bool HandleMessage(TMessage& AMessage);
  bool HandleGestureNotify(TMessage& AMessage);
  bool HandleGesture(TMessage& AMessage);
  // Tells the system which gestures the notify client takes; the message's
  // result becomes 1. Answers whether the configuration was accepted.
  bool ConfigureGestures(TMessage& AMessage);
  DWORD GetPanFlagsAt(const TPoint& APoint);

  bool DoPan(TPoint APoint, bool ABegin, bool AInertia, bool AEnd);
  bool DoZoom(Integer ADistance, bool ABegin, bool AEnd);
  bool DoRotate(bool ABegin, bool AEnd, double AAngle);

  // Called by the client while it scrolls: true while the position lies
  // strictly inside (minimum, maximum); past an end the over-pan of that
  // direction grows by its delta and the feedback's answer comes back.
  bool CheckOverpan(TScrollBarKind ADirection, Integer APosition, Integer AMinimum, Integer AMaximum,
                    Integer ADeltaX, Integer ADeltaY);
  bool AddOverPan(bool AVertical, Integer ADelta);

  bool Panning() const { return FPanning; }
  bool Inertia() const { return FInertia; }
  const TPoint& OverPan() const { return FOverPan; }
  IdxGestureClient* ActiveClient() const { return FActiveClient; }
  IdxGestureClient* NotifyClient() const { return FNotifyClient; }
};

namespace dx_touch_detail {
// Binds the functions, reads the applied DPI, computes the correction flag
// and registers the hook handler; the shut-down undoes it.
void StartTouch();
void StopTouch();
// The correction flag computed again from the version flags and the
// process's DPI awareness.
void ComputeDPICorrection();
void SetAppliedDPI(Integer ADpi);
void SetDPICorrection(bool AValue);
}  // namespace dx_touch_detail
