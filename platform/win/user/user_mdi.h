// Multiple-document windows: the "MDICLIENT" class that holds a frame's
// document windows, the default procedures of frames and document
// windows, and their messages (WM_MDICREATE ... WM_MDISETMENU come with
// the other message numbers).
#pragma once

#include "platform/win/user/user.h"

// What CreateWindowEx of an "MDICLIENT" window takes as its parameter.
struct CLIENTCREATESTRUCT {
  HANDLE hWindowMenu;
  UINT idFirstChild;
};
using LPCLIENTCREATESTRUCT = CLIENTCREATESTRUCT*;

// WM_MDICREATE's parameter; the new document window gets it as its
// creation parameter.
struct MDICREATESTRUCTA {
  LPCSTR szClass;
  LPCSTR szTitle;
  HANDLE hOwner;
  int x;
  int y;
  int cx;
  int cy;
  DWORD style;
  LPARAM lParam;
};
using MDICREATESTRUCT = MDICREATESTRUCTA;
using LPMDICREATESTRUCTA = MDICREATESTRUCTA*;
using LPMDICREATESTRUCT = MDICREATESTRUCTA*;

// The client's style: document windows keep the styles they ask for.
#define MDIS_ALLCHILDSTYLES 0x0001

// WM_MDITILE and TileWindows.
#define MDITILE_VERTICAL 0x0000
#define MDITILE_HORIZONTAL 0x0001
#define MDITILE_SKIPDISABLED 0x0002
#define MDITILE_ZORDER 0x0004

// The default procedure of a frame window (hwndMDIClient may be null).
LRESULT DefFrameProcA(HWND hwnd, HWND hwndMDIClient, UINT msg, WPARAM wParam, LPARAM lParam);
// The default procedure of a document window.
LRESULT DefMDIChildProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT DefFrameProc(HWND hwnd, HWND hwndMDIClient, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefFrameProcA(hwnd, hwndMDIClient, msg, wParam, lParam);
}
inline LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}

namespace rtl::detail {
// Registers the "MDICLIENT" class (the window system does it when the
// class is first looked for).
void RegisterMdiClientClass();
}  // namespace rtl::detail
