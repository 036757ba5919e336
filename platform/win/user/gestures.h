// Touch gestures: the records and values of the gesture messages. The
// functions (GetGestureInfo, CloseGestureInfoHandle, SetGestureConfig,
// LogicalToPhysicalPoint, PhysicalToLogicalPoint, IsProcessDPIAware) are
// absent from "user32.dll" on purpose: GetProcAddress answers null, and
// code that binds them turns touch support off.
#pragma once

#include "platform/win/kernel/windef.h"

RTL_DECLARE_HANDLE(HGESTUREINFO);

struct GESTUREINFO {
  UINT cbSize;
  DWORD dwFlags;
  DWORD dwID;
  HWND hwndTarget;
  POINTS ptsLocation;
  DWORD dwInstanceID;
  DWORD dwSequenceID;
  ULONGLONG ullArguments;
  UINT cbExtraArgs;
};
using PGESTUREINFO = GESTUREINFO*;

struct GESTURENOTIFYSTRUCT {
  UINT cbSize;
  DWORD dwFlags;
  HWND hwndTarget;
  POINTS ptsLocation;
  DWORD dwInstanceID;
};
using PGESTURENOTIFYSTRUCT = GESTURENOTIFYSTRUCT*;

struct GESTURECONFIG {
  DWORD dwID;
  DWORD dwWant;
  DWORD dwBlock;
};
using PGESTURECONFIG = GESTURECONFIG*;

#define GF_BEGIN 0x00000001
#define GF_INERTIA 0x00000002
#define GF_END 0x00000004

#define GID_BEGIN 1
#define GID_END 2
#define GID_ZOOM 3
#define GID_PAN 4
#define GID_ROTATE 5
#define GID_TWOFINGERTAP 6
#define GID_PRESSANDTAP 7
#define GID_ROLLOVER GID_PRESSANDTAP

#define GC_ALLGESTURES 0x00000001
#define GC_ZOOM 0x00000001
#define GC_PAN 0x00000001
#define GC_PAN_WITH_SINGLE_FINGER_VERTICALLY 0x00000002
#define GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY 0x00000004
#define GC_PAN_WITH_GUTTER 0x00000008
#define GC_PAN_WITH_INERTIA 0x00000010
#define GC_ROTATE 0x00000001
#define GC_TWOFINGERTAP 0x00000001
#define GC_PRESSANDTAP 0x00000001
#define GC_ROLLOVER GC_PRESSANDTAP

// The rotation angle (radians) packed in a GID_ROTATE gesture's arguments.
#define GID_ROTATE_ANGLE_FROM_ARGUMENT(arg) \
  ((static_cast<double>(arg) / 65535.0) * 4.0 * 3.14159265 - 2.0 * 3.14159265)
