// Common controls: initialisation and image lists. An image list keeps its
// images side by side in one 32-bit DIB section (four to a row) and, with
// ILC_MASK, their masks in a monochrome bitmap of the same layout; both
// belong to the list. Images whose pixels carry alpha are drawn with it
// (as premultiplied pixels); the others through their mask.
#pragma once

#include "platform/win/gdi/gdi.h"
#include "platform/win/kernel/objidl.h"

// ---- Initialisation -----------------------------------------------------------

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_HOTKEY_CLASS 0x00000040
#define ICC_ANIMATE_CLASS 0x00000080
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_DATE_CLASSES 0x00000100
#define ICC_USEREX_CLASSES 0x00000200
#define ICC_COOL_CLASSES 0x00000400
#define ICC_INTERNET_CLASSES 0x00000800
#define ICC_PAGESCROLLER_CLASS 0x00001000
#define ICC_NATIVEFNTCTL_CLASS 0x00002000
#define ICC_STANDARD_CLASSES 0x00004000
#define ICC_LINK_CLASS 0x00008000

void InitCommonControls();
// FALSE when the record's size is not sizeof(INITCOMMONCONTROLSEX).
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);

// ---- Image lists --------------------------------------------------------------

struct _IMAGELIST;
using HIMAGELIST = _IMAGELIST*;

#define ILC_MASK 0x00000001
#define ILC_COLOR 0x00000000
#define ILC_COLORDDB 0x000000FE
#define ILC_COLOR4 0x00000004
#define ILC_COLOR8 0x00000008
#define ILC_COLOR16 0x00000010
#define ILC_COLOR24 0x00000018
#define ILC_COLOR32 0x00000020
#define ILC_PALETTE 0x00000800
#define ILC_MIRROR 0x00002000
#define ILC_PERITEMMIRROR 0x00008000

#define ILD_NORMAL 0x00000000
#define ILD_TRANSPARENT 0x00000001
#define ILD_BLEND25 0x00000002
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x00000004
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50
#define ILD_MASK 0x00000010
#define ILD_IMAGE 0x00000020
#define ILD_ROP 0x00000040
#define ILD_OVERLAYMASK 0x00000F00
#define ILD_PRESERVEALPHA 0x00001000
#define ILD_SCALE 0x00002000
#define ILD_DPISCALE 0x00004000
#define ILD_ASYNC 0x00008000
#define INDEXTOOVERLAYMASK(i) ((i) << 8)

#define ILS_NORMAL 0x00000000
#define ILS_GLOW 0x00000001
#define ILS_SHADOW 0x00000002
#define ILS_SATURATE 0x00000004
#define ILS_ALPHA 0x00000008

#define CLR_HILIGHT CLR_DEFAULT

struct IMAGEINFO {
  HBITMAP hbmImage;
  HBITMAP hbmMask;
  int Unused1;
  int Unused2;
  RECT rcImage;
};

struct IMAGELISTDRAWPARAMS {
  DWORD cbSize;
  HIMAGELIST himl;
  int i;
  HDC hdcDst;
  int x;
  int y;
  int cx;
  int cy;
  int xBitmap;
  int yBitmap;
  COLORREF rgbBk;
  COLORREF rgbFg;
  UINT fStyle;
  DWORD dwRop;
  DWORD fState;
  DWORD Frame;
  COLORREF crEffect;
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_SetImageCount(HIMAGELIST himl, UINT uNewCount);
// Adds as many images as the bitmap is wide; the index of the first, -1 on
// failure.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
// Pixels of colour crMask become transparent (and black in the image).
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
inline int ImageList_AddIcon(HIMAGELIST himl, HICON hicon) { return ImageList_ReplaceIcon(himl, -1, hicon); }
BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask);
// -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST himl, int i);
inline BOOL ImageList_RemoveAll(HIMAGELIST himl) { return ImageList_Remove(himl, -1); }
HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
BOOL ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* pImageInfo);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
// Also removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST himl, int cx, int cy);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);
BOOL ImageList_SetOverlayImage(HIMAGELIST himl, int iImage, int iOverlay);
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle);
BOOL ImageList_DrawIndirect(IMAGELISTDRAWPARAMS* pimldp);
HIMAGELIST ImageList_Duplicate(HIMAGELIST himl);
// A header and the image and mask strips as BMP files; Read takes back
// what Write wrote, and null for anything else.
BOOL ImageList_Write(HIMAGELIST himl, IStream* pstm);
HIMAGELIST ImageList_Read(IStream* pstm);

// ---- Dragging an image ----------------------------------------------------------
// One drag image at a time: BeginDrag copies an image into a list of its
// own; DragEnter shows it over a window, its hot spot at a point relative
// to the window's top-left corner (not the client area), and DragMove and
// DragLeave put back what it covered. The covered pixels are kept aside
// when it is drawn; where the window painted over the image meanwhile, the
// new paint stays.

// (dxHotspot, dyHotspot): the point of the image that follows the mouse.
// A drag already running ends first.
BOOL ImageList_BeginDrag(HIMAGELIST himlTrack, int iTrack, int dxHotspot, int dyHotspot);
// Shows the image over hwndLock (null: the desktop) with its hot spot at
// (x, y); another window the image is over loses it first.
BOOL ImageList_DragEnter(HWND hwndLock, int x, int y);
// Moves the hot spot to (x, y) of the window entered (the image stays
// hidden when it is).
BOOL ImageList_DragMove(int x, int y);
// Takes the image off the window entered (hwndLock).
BOOL ImageList_DragLeave(HWND hwndLock);
// Shows or hides the image over the window entered.
BOOL ImageList_DragShowNolock(BOOL fShow);
// Hides the image and frees the drag's list.
void ImageList_EndDrag();
// Makes the drag image the one BeginDrag took with image iDrag of
// himlDrag (a cursor, say) drawn over it, that image's hot spot
// (dxHotspot, dyHotspot) on the drag's hot spot. A later call replaces the
// image added before.
BOOL ImageList_SetDragCursorImage(HIMAGELIST himlDrag, int iDrag, int dxHotspot, int dyHotspot);
// The drag's list (owned by the drag; null when none runs), the hot
// spot's position in the window entered and the hot spot in the image.
HIMAGELIST ImageList_GetDragImage(POINT* ppt, POINT* pptHotspot);

// The common controls themselves (tree view, tabs, progress bar, ...).
#include "platform/win/comctl/commctrl_controls.h"
