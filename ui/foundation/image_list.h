// The library's image list: a native image list (32-bit colour with a
// mask) that also keeps every image as a pair of bitmaps with a mask
// colour, streams those pairs ("ImageInfo") instead of the native list's
// own dump, and draws through the effect pipeline.
//
// Native images and infos run in step: every add, delete and clear through
// TcxImageList changes both, and a change that leaves their counts apart
// (images added behind the list's back) rebuilds the infos from the native
// images. User-interface thread only.
#pragma once

#include <memory>

#include "platform/forms/image_list.h"

class TcxBitmap;
class TcxImageList;

// ---- TcxImageInfo ---------------------------------------------------------------------

// One image as an image bitmap, a mask bitmap (white where transparent;
// may be empty) and a mask colour (clNone: none).
class TcxImageInfo : public TPersistent {
  RTL_CLASS(TcxImageInfo, TPersistent)
  std::unique_ptr<TcxBitmap> FImage;
  std::unique_ptr<TcxBitmap> FMask;
  TColor FMaskColor = clNone;
  // The native list's mask of this image, read when a mask is asked for
  // and the info has none.
  std::unique_ptr<TcxBitmap> FInternalMask;

 public:
  TcxImageInfo();
  ~TcxImageInfo() override;

  // Another info: its image, mask and mask colour.
  void Assign(TPersistent* Source) override;
  // Copies AValue (framework assign; null empties) and makes the handle
  // exist.
  virtual void AssignImage(TBitmap* AValue);
  virtual void AssignMask(TBitmap* AValue);
  // Lets both bitmaps go of their GDI handles (the pixels stay).
  void Dormant();

  TcxBitmap* Image() const { return FImage.get(); }
  TcxBitmap* Mask() const { return FMask.get(); }
  TcxBitmap* InternalMask() const { return FInternalMask.get(); }
  TColor MaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor Value) { FMaskColor = Value; }
};

// ---- TcxImageInfoItem -----------------------------------------------------------------

// A collection item that owns one info; publishes Image, Mask (stored when
// not empty) and MaskColor (default clNone).
class TcxImageInfoItem : public TCollectionItem {
  RTL_CLASS(TcxImageInfoItem, TCollectionItem)
  std::unique_ptr<TcxImageInfo> FImageInfo;

  bool IsMaskStored() const;

 public:
  // Takes the collection's compress flag.
  explicit TcxImageInfoItem(TCollection* Collection);
  ~TcxImageInfoItem() override;

  void Assign(TPersistent* Source) override;

  TcxImageInfo* ImageInfo() const { return FImageInfo.get(); }
  TBitmap* Image() const;
  void SetImage(TBitmap* Value);
  TBitmap* Mask() const;
  void SetMask(TBitmap* Value);
  TColor MaskColor() const;
  void SetMaskColor(TColor Value);
  // True when both bitmaps write the compressed form.
  bool GetCompressData() const;
  void SetCompressData(bool Value);
};

// ---- TcxImageInfoCollection -----------------------------------------------------------

class TcxImageInfoCollection : public TCollection {
  RTL_CLASS(TcxImageInfoCollection, TCollection)
  TcxImageList* FImageList;
  bool FCompressData = false;

 public:
  explicit TcxImageInfoCollection(TcxImageList* AImageList);

  // The image list, for name paths.
  TPersistent* GetOwner() const override;
  // A new item holding copies of the bitmaps.
  TcxImageInfoItem* Add(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor);
  TcxImageInfoItem* Items(Integer Index) const;
  TcxImageList* ImageList() const { return FImageList; }
  bool CompressData() const { return FCompressData; }
  // Also sets the flag of every item.
  void SetCompressData(bool Value);
};

// ---- TcxImageList ---------------------------------------------------------------------

class TcxImageList : public TDragImageList {
  RTL_CLASS(TcxImageList, TDragImageList)
  bool FAlphaBlending = false;
  Integer FFormatVersion = 0;
  std::unique_ptr<TcxImageInfoCollection> FImageInfo;
  Integer FUpdateLockCount = 0;
  bool FSynchronizing = false;

  void ReadFormatVersion(TReader* Reader);
  void WriteFormatVersion(TWriter* Writer);
  void ReadDesignInfo(TReader* Reader);
  void WriteDesignInfo(TWriter* Writer);
  void ReadImageInfo(TReader* Reader);
  void WriteImageInfo(TWriter* Writer);
  // Whether the info can become exactly one native image.
  bool InfoFits(TcxImageInfo* AInfo);

 protected:
  // The native handle (ILC_COLOR32 | ILC_MASK), the infos, alpha blending.
  void InitializeList();
  // Runs ImagesChanged.
  void Change() override;
  // Runs DrawImage.
  void DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled = true) override;
  // Runs DefineStreamedData.
  void DefineProperties(TFiler* Filer) override;
  // A native dump that cannot be read leaves the list as it was.
  void ReadData(TStream* Stream) override;

  // "FormatVersion" (always written as 1), the native dump while reading
  // (then RebuildInfos), "DesignInfo" and "ImageInfo".
  virtual void DefineStreamedData(TFiler* Filer);
  // The change handler: nothing while locked, loading, reading or being
  // destroyed; counts apart rebuild the infos; then OnChange and the links.
  virtual void ImagesChanged();
  // DrawImageInRect over the list's image size at (X, Y).
  virtual void DrawImage(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled);
  // A strip or grid of whole list images is recorded cell by cell (rows
  // top to bottom, columns left to right); anything else as one info.
  void RecordImageInfo(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor);
  // Infos from the native images (32-bit images, 1-bit masks).
  void RebuildInfos();
  // Native images from the infos; infos that cannot be added are dropped.
  void RebuildImages();

 public:
  explicit TcxImageList(TComponent* AOwner);
  TcxImageList(Integer AWidth, Integer AHeight);
  ~TcxImageList() override;

  // Another image list: AssignImages; anything else as the framework does.
  void Assign(TPersistent* Source) override;
  void AssignImages(TCustomImageList* ASource);

  // The index of the (first) new image or -1. Without a mask every pixel
  // is opaque.
  Integer AddImage(TBitmap* AImage, TBitmap* AMask);
  // Pixels of AMaskColor become transparent; clNone: AddImage without mask.
  Integer AddMaskedImage(TBitmap* AImage, TColor AMaskColor);
  // -1 deletes every image.
  void DeleteImage(Integer AIndex);
  void ClearImages() { DeleteImage(-1); }
  Integer AddFromInfo(TcxImageInfo* AInfo);
  void AddInfosFrom(TcxImageList* ASource, Integer AFirst, Integer ALast);
  void AddImagesFrom(TCustomImageList* ASource, Integer AFirst, Integer ALast);

  // Image AIndex as stored (a 32-bit stored image keeps its alpha) and its
  // mask; either may be null. Nothing for an index out of range.
  void GetImageAndMask(Integer AIndex, TBitmap* AImage, TBitmap* AMask);
  // Image AIndex of a native list (-1: the whole strip) into the bitmaps
  // given (either may be null); a list without mask gives a black mask.
  // Nothing when the image does not exist.
  static void ReadNativeImage(HIMAGELIST AHandle, Integer AIndex, TBitmap* AMask, TBitmap* AImage);
  // Bits per pixel of the native list's image bitmap; 0 without images.
  static Integer GetNativeBitsPerPixel(HIMAGELIST AHandle);
  // Draws image AIndex in R: stretched to R when AStretch (and R is not
  // the list's size), else centred; disabled with the library's disabled
  // effect.
  void DrawImageInRect(Integer AIndex, TCanvas* ACanvas, const TRect& R, UINT AStyle, bool AStretch, bool ASmooth,
                       bool AEnabled);

  void LockUpdate() { ++FUpdateLockCount; }
  // The change handler runs when the last lock goes.
  void UnlockUpdate();
  // The lock goes without running the change handler.
  void ReleaseUpdate();
  bool IsUpdateLocked() const { return FUpdateLockCount > 0; }

  // Each raised to at least 1; a change deletes every image.
  void SetImageSize(Integer AWidth, Integer AHeight);
  void SetWidth(Integer Value) { SetImageSize(Value, Height()); }
  void SetHeight(Integer Value) { SetImageSize(Width(), Value); }

  bool CompressData() const;
  void SetCompressData(bool Value);
  // The version the last stream read gave (0: none read), or 1 once
  // written.
  Integer FormatVersion() const { return FFormatVersion; }
  bool AlphaBlending() const { return FAlphaBlending; }
  TcxImageInfoCollection* ImageInfo() const { return FImageInfo.get(); }
};

// False when the counts differ; true when both are empty; else whether the
// native lists write the same bytes.
bool cxImageListsEqual(TCustomImageList* AList1, TCustomImageList* AList2);
// GetImageAndMask for a TcxImageList, ReadNativeImage for any other list.
// Note the order: the mask comes before the image.
void cxImageListGetImageAndMask(TCustomImageList* AImageList, Integer AIndex, TBitmap* AMask, TBitmap* AImage);
