// Image lists: equal-sized images (with masks or alpha) over the
// ImageList_* functions, and the links that tell their users of changes.
#pragma once

#include <vector>

#include "platform/forms/bitmap.h"
#include "platform/rtl/classes.h"
#include "platform/win/comctl/commctrl.h"

class TCustomImageList;
class TIcon;
// As controls.h has it (a cursor id of Screen->Cursors).
using TCursor = SmallInt;

// Tells its owner (a control that shows images) when the image list it
// is registered with changes. Deleting the link unregisters it; the list
// clears Sender when it goes first.
class TChangeLink : public TObject {
  RTL_CLASS(TChangeLink, TObject)
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;

 public:
  TChangeLink() = default;
  ~TChangeLink() override;
  // Fires OnChange with the list as the sender.
  virtual void Change();
  TCustomImageList* Sender() const { return FSender; }
  // Leaves the list it is registered with, if any. Clients call this rather
  // than the list's UnRegisterChanges: when they hear of the list's
  // destruction the list has already let go of its links and is no longer
  // an image list.
  void Unlink();
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  TNotifyEvent OnChange;
};

RTL_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
RTL_ENUM(TImageType, itImage, itMask)

// A list of images of one size (16 x 16 unless told), kept in an image
// list handle (32-bit, with masks while Masked) that is made on first use.
// Changes reach OnChange and the registered change links, once per
// BeginUpdate/EndUpdate bracket. A bad index raises EInvalidOperation
// "Invalid ImageList Index".
class TCustomImageList : public TComponent {
  RTL_CLASS(TCustomImageList, TComponent)
  HIMAGELIST FHandle = nullptr;
  Integer FWidth = 16;
  Integer FHeight = 16;
  Integer FAllocBy = 4;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true;
  bool FShareImages = false;
  Integer FUpdateCount = 0;
  bool FChanged = false;
  std::vector<TChangeLink*> FClients;

  void CreateImageList();
  void FreeHandle();
  void CheckImage(Integer Index) const;
  // Re-creates the handle with the current flags, keeping the images.
  void Rebuild();
  template <class F>
  void InsertBy(Integer Index, F AddImages);

 protected:
  // Tells OnChange and the change links, or remembers it while updating.
  virtual void Change();
  // Draws image Index with ImageList_DrawEx; disabled images are drawn
  // embossed in the 3D highlight and shadow colours.
  virtual void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled = true);
  // Called by the constructors, for descendants to set themselves up.
  virtual void Initialize();
  // "Bitmap": the list's own stream format (ImageList_Write).
  void DefineProperties(TFiler* Filer) override;
  // Raise EReadError "Failed to read ImageList data from stream" /
  // EWriteError "Failed to write ImageList data to stream".
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);

 public:
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(Integer AWidth, Integer AHeight);
  ~TCustomImageList() override;

  // Another image list: its size, settings and images.
  void Assign(TPersistent* Source) override;

  HIMAGELIST Handle();
  // Takes Value as the list's handle (freed with the list unless
  // ShareImages); Width and Height follow it.
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();

  // The index of the first image added (a wide bitmap adds several); the
  // mask, when given, marks transparent pixels white.
  Integer Add(TBitmap* Image, TBitmap* Mask);
  // Pixels of MaskColor become transparent (clNone: no mask).
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  Integer AddIcon(TIcon* Image);
  void Insert(Integer Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor);
  void InsertIcon(Integer Index, TIcon* Image);
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor);
  void ReplaceIcon(Integer Index, TIcon* Image);
  void Delete(Integer Index);
  void Clear();
  void Move(Integer CurIndex, Integer NewIndex);

  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // Draws image Index into Image, sized to the list's images; false for a
  // bad index or no handle.
  bool GetBitmap(Integer Index, TBitmap* Image);
  void GetIcon(Integer Index, TIcon* Image);
  void GetIcon(Integer Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType);
  // The list's own strips (owned by the list).
  HBITMAP GetImageBitmap();
  HBITMAP GetMaskBitmap();

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);

  Integer Count();
  Integer Width() const { return FWidth; }
  // Changing the size removes every image.
  void SetWidth(Integer Value);
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  Integer AllocBy() const { return FAllocBy; }
  void SetAllocBy(Integer Value) { FAllocBy = Value; }
  TColor BkColor() const;
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  // A shared handle belongs to someone else: the list never frees it.
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool Value);

  TNotifyEvent OnChange;
};

// An image list whose image DragIndex can follow the mouse over a window
// (the ImageList_ drag functions): BeginDrag shows it over a window with
// its hot spot at a point in the window's coordinates (its top-left corner
// is 0, 0), DragMove moves it, DragLock moves it to another window,
// EndDrag takes it away. One list drags at a time: a list that begins
// ends the drag of another.
class TDragImageList : public TCustomImageList {
  RTL_CLASS(TDragImageList, TCustomImageList)
  Integer FDragIndex = 0;
  TPoint FDragHotspot;
  TCursor FDragCursor = 0;  // crDefault
  HWND FDragLockWindow = nullptr;
  bool FDragging = false;
  bool FLocked = false;
  bool FHidden = false;

 public:
  explicit TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  TDragImageList(Integer AWidth, Integer AHeight) : TCustomImageList(AWidth, AHeight) {}
  ~TDragImageList() override;

  // False for an image that is not there.
  bool BeginDrag(HWND Window, Integer X, Integer Y);
  // Shows the image over Window (leaving the window it was over).
  bool DragLock(HWND Window, Integer XPos, Integer YPos);
  void DragUnlock();
  bool DragMove(Integer X, Integer Y);
  bool EndDrag();
  void ShowDragImage();
  void HideDragImage();
  // The image that drags and its hot spot; a drag that runs takes the new
  // image at once.
  bool SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY);
  bool Dragging() const { return FDragging; }
  // The list whose image drags now; null when none.
  static TDragImageList* DraggingList();
  HWND DragLockWindow() const { return FDragLockWindow; }
  Integer DragIndex() const { return FDragIndex; }
  TPoint DragHotspot() const { return FDragHotspot; }
  void SetDragHotspot(const TPoint& Value) { SetDragImage(FDragIndex, Value.X, Value.Y); }
  TPoint GetHotSpot() const { return FDragHotspot; }
  // The cursor while the image shows over a control that accepts the
  // drag; crDefault leaves the drag object's cursor.
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
};

class TImageList : public TDragImageList {
  RTL_CLASS(TImageList, TDragImageList)

 public:
  explicit TImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
  TImageList(Integer AWidth, Integer AHeight) : TDragImageList(AWidth, AHeight) {}
};
