#include "ui/foundation/image_list.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/kernel/objidl.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/geometry.h"

RTL_IMPLEMENT_CLASS(TcxImageInfo)
RTL_IMPLEMENT_PUBLISHED(TcxImageInfoItem,
                        RTL_PROP(Image),
                        RTL_PROP(Mask).Stored<&Self::IsMaskStored>(),
                        RTL_PROP(MaskColor).Default(clNone).Idents(ColorIdentMap()))
RTL_IMPLEMENT_CLASS(TcxImageInfoCollection)
RTL_IMPLEMENT_PUBLISHED(TcxImageList,
                        RTL_PROP(BlendColor).Default(clNone).Idents(ColorIdentMap()),
                        RTL_PROP(BkColor).Default(clNone).Idents(ColorIdentMap()),
                        RTL_PROP(CompressData).Default(false),
                        RTL_PROP(DrawingStyle).Default(dsNormal),
                        RTL_PROP(Height).Default(16),
                        RTL_PROP(ImageType).Default(itImage),
                        RTL_PROP(ShareImages).Default(false),
                        RTL_PROP(Width).Default(16),
                        RTL_EVENT(OnChange))

namespace {

// Copies ASource's pixels into ATarget, which keeps its own pixel format
// (a 32-bit target of the glyph pipeline must stay 32-bit).
void BlitInto(TBitmap* ATarget, TBitmap* ASource) {
  ATarget->SetSize(ASource->Width(), ASource->Height());
  if (ASource->Empty()) return;
  BitBlt(ATarget->Canvas()->Handle(), 0, 0, ASource->Width(), ASource->Height(), ASource->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

// Image ARect of a native strip into ATarget, sized to the rectangle.
void CopyNativeRect(HBITMAP AStrip, const RECT& ARect, TBitmap* ATarget) {
  const Integer w = ARect.Right - ARect.Left, h = ARect.Bottom - ARect.Top;
  ATarget->SetSize(w, h);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, AStrip);
  BitBlt(ATarget->Canvas()->Handle(), 0, 0, w, h, dc, ARect.Left, ARect.Top, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  ATarget->SetModified(true);
}

// An IStream over a TStream for ImageList_Write.
class TAdapterRef {
  TStreamAdapter* FAdapter;

 public:
  explicit TAdapterRef(TStream* Stream) : FAdapter(new TStreamAdapter(Stream)) { FAdapter->AddRef(); }
  ~TAdapterRef() { FAdapter->Release(); }
  TAdapterRef(const TAdapterRef&) = delete;
  TAdapterRef& operator=(const TAdapterRef&) = delete;
  IStream* get() const { return FAdapter; }
};

bool WriteNative(TCustomImageList* AList, TMemoryStream& AStream) {
  TAdapterRef adapter(&AStream);
  return ImageList_Write(AList->Handle(), adapter.get()) != FALSE;
}

// Reads an integer value; a value of another kind is passed over and
// gives false.
bool ReadTolerantInteger(TReader* Reader, Integer& AValue) {
  const Int64 start = Reader->Position();
  try {
    AValue = Reader->ReadInteger();
    return true;
  } catch (Exception&) {
    Reader->SetPosition(start);
    Reader->SkipValue();
    return false;
  }
}

}  // namespace

// ---- TcxImageInfo ---------------------------------------------------------------------

TcxImageInfo::TcxImageInfo()
    : FImage(std::make_unique<TcxBitmap>()),
      FMask(std::make_unique<TcxBitmap>()),
      FInternalMask(std::make_unique<TcxBitmap>()) {}

TcxImageInfo::~TcxImageInfo() = default;

void TcxImageInfo::Assign(TPersistent* Source) {
  auto* info = dynamic_cast<TcxImageInfo*>(Source);
  if (!info) {
    inherited::Assign(Source);
    return;
  }
  AssignImage(info->Image());
  AssignMask(info->Mask());
  FMaskColor = info->FMaskColor;
}

void TcxImageInfo::AssignImage(TBitmap* AValue) {
  FImage->Assign(AValue);
  if (!FImage->Empty()) FImage->Handle();
}

void TcxImageInfo::AssignMask(TBitmap* AValue) {
  FMask->Assign(AValue);
  if (!FMask->Empty()) FMask->Handle();
}

void TcxImageInfo::Dormant() {
  FImage->Dormant();
  FMask->Dormant();
}

// ---- TcxImageInfoItem -----------------------------------------------------------------

TcxImageInfoItem::TcxImageInfoItem(TCollection* Collection)
    : TCollectionItem(Collection), FImageInfo(std::make_unique<TcxImageInfo>()) {
  if (auto* infos = dynamic_cast<TcxImageInfoCollection*>(Collection)) SetCompressData(infos->CompressData());
}

TcxImageInfoItem::~TcxImageInfoItem() = default;

void TcxImageInfoItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TcxImageInfoItem*>(Source))
    FImageInfo->Assign(item->ImageInfo());
  else
    inherited::Assign(Source);
}

bool TcxImageInfoItem::IsMaskStored() const { return !FImageInfo->Mask()->Empty(); }

TBitmap* TcxImageInfoItem::Image() const { return FImageInfo->Image(); }

void TcxImageInfoItem::SetImage(TBitmap* Value) { FImageInfo->AssignImage(Value); }

TBitmap* TcxImageInfoItem::Mask() const { return FImageInfo->Mask(); }

void TcxImageInfoItem::SetMask(TBitmap* Value) { FImageInfo->AssignMask(Value); }

TColor TcxImageInfoItem::MaskColor() const { return FImageInfo->MaskColor(); }

void TcxImageInfoItem::SetMaskColor(TColor Value) { FImageInfo->SetMaskColor(Value); }

bool TcxImageInfoItem::GetCompressData() const {
  return FImageInfo->Image()->CompressData() && FImageInfo->Mask()->CompressData();
}

void TcxImageInfoItem::SetCompressData(bool Value) {
  FImageInfo->Image()->SetCompressData(Value);
  FImageInfo->Mask()->SetCompressData(Value);
}

// ---- TcxImageInfoCollection -----------------------------------------------------------

TcxImageInfoCollection::TcxImageInfoCollection(TcxImageList* AImageList)
    : TCollection(TcxImageInfoItem::StaticClass()), FImageList(AImageList) {}

TPersistent* TcxImageInfoCollection::GetOwner() const { return FImageList; }

TcxImageInfoItem* TcxImageInfoCollection::Add(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor) {
  auto* item = static_cast<TcxImageInfoItem*>(TCollection::Add());
  item->ImageInfo()->AssignImage(AImage);
  item->ImageInfo()->AssignMask(AMask);
  item->ImageInfo()->SetMaskColor(AMaskColor);
  return item;
}

TcxImageInfoItem* TcxImageInfoCollection::Items(Integer Index) const {
  return static_cast<TcxImageInfoItem*>(GetItem(Index));
}

void TcxImageInfoCollection::SetCompressData(bool Value) {
  FCompressData = Value;
  for (TCollectionItem* item : *this) static_cast<TcxImageInfoItem*>(item)->SetCompressData(Value);
}

// ---- TcxImageList: set-up and the change handler --------------------------------------

TcxImageList::TcxImageList(TComponent* AOwner) : TDragImageList(AOwner) { InitializeList(); }

TcxImageList::TcxImageList(Integer AWidth, Integer AHeight) : TDragImageList(AWidth, AHeight) { InitializeList(); }

TcxImageList::~TcxImageList() { FImageInfo.reset(); }

void TcxImageList::InitializeList() {
  LockUpdate();
  TScopeExit release([&] { ReleaseUpdate(); });
  Initialize();
  FImageInfo = std::make_unique<TcxImageInfoCollection>(this);
  FAlphaBlending = true;
  SetHandle(ImageList_Create(Width(), Height(), ILC_COLOR32 | ILC_MASK, AllocBy(), AllocBy()));
}

void TcxImageList::Change() { ImagesChanged(); }

void TcxImageList::ImagesChanged() {
  if (IsUpdateLocked() || !FImageInfo) return;
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csDestroying)) return;
  // Images added behind the list's back (or split otherwise than the
  // native list did): the infos follow the native images. The users hear
  // of it too, since the images did change.
  if (Count() != FImageInfo->Count()) RebuildInfos();
  inherited::Change();
}

void TcxImageList::UnlockUpdate() {
  if (FUpdateLockCount == 0) return;
  if (--FUpdateLockCount == 0) ImagesChanged();
}

void TcxImageList::ReleaseUpdate() {
  if (FUpdateLockCount > 0) --FUpdateLockCount;
}

void TcxImageList::SetImageSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 1);
  AHeight = std::max(AHeight, 1);
  if (AWidth == Width() && AHeight == Height()) return;
  LockUpdate();
  TScopeExit unlock([&] { UnlockUpdate(); });
  ClearImages();
  TCustomImageList::SetWidth(AWidth);
  TCustomImageList::SetHeight(AHeight);
}

bool TcxImageList::CompressData() const { return FImageInfo->CompressData(); }

void TcxImageList::SetCompressData(bool Value) { FImageInfo->SetCompressData(Value); }

// ---- Adding and deleting --------------------------------------------------------------

Integer TcxImageList::AddImage(TBitmap* AImage, TBitmap* AMask) {
  if (!AImage) return -1;
  HBITMAP mask = nullptr;
  HBITMAP opaque = nullptr;
  if (AMask) {
    mask = AMask->Handle();
  } else {
    // All bits 0: every pixel opaque.
    const std::vector<Byte> zeros(size_t((Width() + 15) / 16) * 2 * size_t(Height()), 0);
    opaque = CreateBitmap(Width(), Height(), 1, 1, zeros.data());
    mask = opaque;
  }
  const Integer result = ImageList_Add(Handle(), AImage->Handle(), mask);
  if (opaque) DeleteObject(opaque);
  if (!FSynchronizing && result != -1) RecordImageInfo(AImage, AMask, clNone);
  ImagesChanged();
  return result;
}

Integer TcxImageList::AddMaskedImage(TBitmap* AImage, TColor AMaskColor) {
  if (AMaskColor == clNone) return AddImage(AImage, nullptr);
  if (!AImage) return -1;
  LockUpdate();
  TScopeExit unlock([&] { UnlockUpdate(); });
  // The native call may blacken the masked pixels of what it is given.
  TBitmap copy;
  copy.Assign(AImage);
  Integer result = ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(AMaskColor) & 0xFFFFFF);
  if (result >= Count()) result = -1;
  if (!FSynchronizing && result != -1) RecordImageInfo(AImage, nullptr, AMaskColor);
  return result;
}

void TcxImageList::DeleteImage(Integer AIndex) {
  LockUpdate();
  TScopeExit unlock([&] { UnlockUpdate(); });
  Delete(AIndex);
  if (FSynchronizing) return;
  if (AIndex == -1)
    FImageInfo->Clear();
  else if (AIndex < FImageInfo->Count())
    FImageInfo->Delete(AIndex);
}

Integer TcxImageList::AddFromInfo(TcxImageInfo* AInfo) {
  if (!AInfo->Mask()->Empty()) return AddImage(AInfo->Image(), AInfo->Mask());
  return AddMaskedImage(AInfo->Image(), AInfo->MaskColor());
}

void TcxImageList::AddInfosFrom(TcxImageList* ASource, Integer AFirst, Integer ALast) {
  ALast = std::min(ALast, ASource->ImageInfo()->Count() - 1);
  for (Integer i = std::max(AFirst, 0); i <= ALast; ++i) AddFromInfo(ASource->ImageInfo()->Items(i)->ImageInfo());
}

void TcxImageList::AddImagesFrom(TCustomImageList* ASource, Integer AFirst, Integer ALast) {
  TcxBitmap image(Width(), Height(), pf32bit);
  TcxBitmap mask(Width(), Height(), pf1bit);
  for (Integer i = std::max(AFirst, 0); i <= ALast; ++i) {
    ReadNativeImage(ASource->Handle(), i, &mask, &image);
    AddImage(&image, &mask);
  }
}

void TcxImageList::Assign(TPersistent* Source) {
  if (auto* list = dynamic_cast<TCustomImageList*>(Source))
    AssignImages(list);
  else
    inherited::Assign(Source);
}

void TcxImageList::AssignImages(TCustomImageList* ASource) {
  // Clearing first would lose the very images to copy.
  if (ASource == this) return;
  LockUpdate();
  TScopeExit unlock([&] { UnlockUpdate(); });
  TCustomImageList::Assign(ASource);
  ClearImages();
  if (auto* source = dynamic_cast<TcxImageList*>(ASource))
    AddInfosFrom(source, 0, source->Count() - 1);
  else
    AddImagesFrom(ASource, 0, ASource->Count() - 1);
}

// ---- Infos and native images ----------------------------------------------------------

void TcxImageList::RecordImageInfo(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor) {
  const Integer w = Width(), h = Height();
  const Integer imageW = AImage->Width(), imageH = AImage->Height();
  const bool grid = imageW > 0 && imageH > 0 && imageW % w == 0 && imageH % h == 0 && (imageW != w || imageH != h);
  if (!grid) {
    FImageInfo->Add(AImage, AMask, AMaskColor)->ImageInfo()->Dormant();
    return;
  }
  for (Integer row = 0; row < imageH / h; ++row)
    for (Integer col = 0; col < imageW / w; ++col) {
      const TRect cell(col * w, row * h, (col + 1) * w, (row + 1) * h);
      TcxBitmap image(w, h, AImage->PixelFormat());
      image.Canvas()->CopyRect(TRect(0, 0, w, h), AImage->Canvas(), cell);
      std::unique_ptr<TcxBitmap> mask;
      if (AMask) {
        mask = std::make_unique<TcxBitmap>(w, h, AMask->PixelFormat());
        mask->Canvas()->CopyRect(TRect(0, 0, w, h), AMask->Canvas(), cell);
      }
      FImageInfo->Add(&image, mask.get(), AMaskColor)->ImageInfo()->Dormant();
    }
}

void TcxImageList::RebuildInfos() {
  FImageInfo->BeginUpdate();
  TScopeExit endUpdate([&] { FImageInfo->EndUpdate(); });
  FImageInfo->Clear();
  TcxBitmap image(Width(), Height(), pf32bit);
  TcxBitmap mask(Width(), Height(), pf1bit);
  for (Integer i = 0; i < Count(); ++i) {
    ReadNativeImage(Handle(), i, &mask, &image);
    FImageInfo->Add(&image, &mask, clNone)->ImageInfo()->Dormant();
  }
}

bool TcxImageList::InfoFits(TcxImageInfo* AInfo) {
  // A mask of another size would mask other pixels than the image's own.
  TcxBitmap* mask = AInfo->Mask();
  return mask->Empty() || (mask->Width() == AInfo->Image()->Width() && mask->Height() == AInfo->Image()->Height());
}

void TcxImageList::RebuildImages() {
  LockUpdate();
  FSynchronizing = true;
  TScopeExit done([&] {
    FSynchronizing = false;
    UnlockUpdate();
  });
  DeleteImage(-1);
  Integer i = 0;
  while (i < FImageInfo->Count()) {
    TcxImageInfo* info = FImageInfo->Items(i)->ImageInfo();
    const Integer before = Count();
    Integer result = InfoFits(info) ? AddFromInfo(info) : -1;
    // An image two or more list images wide would add several native
    // images for one info.
    if (result != -1 && Count() != before + 1) result = -1;
    if (result == -1) {
      while (Count() > before) DeleteImage(Count() - 1);
      FImageInfo->Delete(i);
    } else {
      info->Dormant();
      ++i;
    }
  }
}

void TcxImageList::GetImageAndMask(Integer AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (AIndex < 0 || AIndex >= Count() || AIndex >= FImageInfo->Count()) return;
  TcxImageInfo* info = FImageInfo->Items(AIndex)->ImageInfo();
  if (info->Image()->PixelFormat() == pf32bit || OSWin9xFamily) {
    if (AImage) BlitInto(AImage, info->Image());
    if (AMask) {
      if (!info->Mask()->Empty()) {
        BlitInto(AMask, info->Mask());
      } else {
        if (info->InternalMask()->Empty()) ReadNativeImage(Handle(), AIndex, info->InternalMask(), nullptr);
        BlitInto(AMask, info->InternalMask());
      }
    }
  } else {
    ReadNativeImage(Handle(), AIndex, AMask, AImage);
  }
  info->Image()->Dormant();
}

void TcxImageList::ReadNativeImage(HIMAGELIST AHandle, Integer AIndex, TBitmap* AMask, TBitmap* AImage) {
  IMAGEINFO info{};
  if (!ImageList_GetImageInfo(AHandle, AIndex == -1 ? 0 : AIndex, &info)) return;
  if (AIndex == -1) {
    // The whole strips, as copies the targets own.
    if (AMask && info.hbmMask)
      AMask->SetHandle(static_cast<HBITMAP>(CopyImage(info.hbmMask, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (AImage) AImage->SetHandle(static_cast<HBITMAP>(CopyImage(info.hbmImage, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return;
  }
  if (AMask) {
    if (info.hbmMask) {
      CopyNativeRect(info.hbmMask, info.rcImage, AMask);
    } else {
      AMask->SetSize(info.rcImage.Right - info.rcImage.Left, info.rcImage.Bottom - info.rcImage.Top);
      cxFillBitmapBlack(AMask);
    }
  }
  if (AImage) CopyNativeRect(info.hbmImage, info.rcImage, AImage);
}

Integer TcxImageList::GetNativeBitsPerPixel(HIMAGELIST AHandle) {
  IMAGEINFO info{};
  if (ImageList_GetImageCount(AHandle) == 0 || !ImageList_GetImageInfo(AHandle, 0, &info)) return 0;
  BITMAP bm{};
  if (!GetObjectA(info.hbmImage, sizeof(bm), &bm)) return 0;
  return bm.bmBitsPixel;
}

// ---- Drawing --------------------------------------------------------------------------

void TcxImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled) {
  DrawImage(Index, Canvas, X, Y, Style, Enabled);
}

void TcxImageList::DrawImage(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled) {
  DrawImageInRect(Index, Canvas, TRect(X, Y, X + Width(), Y + Height()), Style, false, false, Enabled);
}

void TcxImageList::DrawImageInRect(Integer AIndex, TCanvas* ACanvas, const TRect& R, UINT AStyle, bool AStretch,
                                   bool ASmooth, bool AEnabled) {
  (void)ASmooth;
  if (R.Right - R.Left == Width() && R.Bottom - R.Top == Height()) AStretch = false;
  const TRect imageRect = AStretch ? R : cxRectCenterBox(R, Width(), Height());
  TCustomImageList::DoDraw(AIndex, ACanvas, imageRect.Left, imageRect.Top, AStyle, AEnabled);
}

// ---- Streaming ------------------------------------------------------------------------

void TcxImageList::DefineProperties(TFiler* Filer) { DefineStreamedData(Filer); }

void TcxImageList::DefineStreamedData(TFiler* Filer) {
  Filer->DefineProperty("FormatVersion", TReaderProc(this, &TcxImageList::ReadFormatVersion),
                        TWriterProc(this, &TcxImageList::WriteFormatVersion), true);
  if (ComponentState().Contains(csReading)) {
    // Older streams hold the native list's own dump; its images get infos.
    inherited::DefineProperties(Filer);
    RebuildInfos();
  }
  auto* ancestor = dynamic_cast<TCustomImageList*>(Filer->Ancestor());
  Filer->DefineProperty("DesignInfo", TReaderProc(this, &TcxImageList::ReadDesignInfo),
                        TWriterProc(this, &TcxImageList::WriteDesignInfo),
                        !ancestor || ancestor->DesignInfo() != DesignInfo());
  Filer->DefineProperty("ImageInfo", TReaderProc(this, &TcxImageList::ReadImageInfo),
                        TWriterProc(this, &TcxImageList::WriteImageInfo),
                        ancestor ? !cxImageListsEqual(this, ancestor) : Count() > 0);
}

void TcxImageList::ReadData(TStream* Stream) {
  try {
    inherited::ReadData(Stream);
  } catch (EReadError&) {
    // The dump is one value the reader has already passed; what it held is
    // lost, the rest of the stream is not.
  }
}

void TcxImageList::ReadFormatVersion(TReader* Reader) {
  Integer version = 0;
  FFormatVersion = ReadTolerantInteger(Reader, version) ? version : 0;
}

void TcxImageList::WriteFormatVersion(TWriter* Writer) {
  FFormatVersion = 1;
  Writer->WriteInteger(FFormatVersion);
}

void TcxImageList::ReadDesignInfo(TReader* Reader) {
  Integer value = 0;
  if (ReadTolerantInteger(Reader, value)) SetDesignInfo(value);
}

void TcxImageList::WriteDesignInfo(TWriter* Writer) { Writer->WriteInteger(DesignInfo()); }

void TcxImageList::ReadImageInfo(TReader* Reader) {
  FImageInfo->Clear();
  // Whatever happens, the native images follow the infos read.
  TScopeExit rebuild([&] { RebuildImages(); });
  if (Reader->ReadValue() != vaCollection) throw EReadError("Invalid property value");
  FImageInfo->BeginUpdate();
  TScopeExit endUpdate([&] { FImageInfo->EndUpdate(); });
  while (!Reader->EndOfList()) {
    const TValueType next = Reader->NextValue();
    if (next == vaInt8 || next == vaInt16 || next == vaInt32) Reader->ReadInteger();
    Reader->ReadListBegin();
    std::unique_ptr<TCollectionItem> item(FImageInfo->TCollection::Add());
    bool bad = false;
    while (!Reader->EndOfList()) {
      const Int64 start = Reader->Position();
      try {
        Reader->ReadProperty(item.get());
      } catch (Exception&) {
        // A value that cannot be taken spoils its item only; one that
        // cannot even be passed over is a broken stream.
        Reader->SetPosition(start);
        Reader->ReadStr();
        Reader->SkipValue();
        bad = true;
      }
    }
    Reader->ReadListEnd();
    if (!bad) item.release();
  }
  Reader->ReadListEnd();
}

void TcxImageList::WriteImageInfo(TWriter* Writer) { Writer->WriteCollection(FImageInfo.get()); }

// ---- Free functions -------------------------------------------------------------------

bool cxImageListsEqual(TCustomImageList* AList1, TCustomImageList* AList2) {
  if (!AList1 || !AList2) return AList1 == AList2;
  if (AList1->Count() != AList2->Count()) return false;
  if (AList1->Count() == 0) return true;
  TMemoryStream stream1, stream2;
  if (!WriteNative(AList1, stream1) || !WriteNative(AList2, stream2)) return false;
  return stream1.Size() == stream2.Size() &&
         std::memcmp(stream1.Memory(), stream2.Memory(), static_cast<size_t>(stream1.Size())) == 0;
}

void cxImageListGetImageAndMask(TCustomImageList* AImageList, Integer AIndex, TBitmap* AMask, TBitmap* AImage) {
  if (auto* list = dynamic_cast<TcxImageList*>(AImageList))
    list->GetImageAndMask(AIndex, AImage, AMask);
  else if (AImageList)
    TcxImageList::ReadNativeImage(AImageList->Handle(), AIndex, AMask, AImage);
}
