#include "platform/forms/image_list.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/forms/icon.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/scope_exit.h"

RTL_IMPLEMENT_CLASS(TChangeLink)
RTL_IMPLEMENT_CLASS(TCustomImageList)
RTL_IMPLEMENT_CLASS(TDragImageList)
RTL_IMPLEMENT_PUBLISHED(TImageList,
                        RTL_PROP(BlendColor).Default(clNone).Idents(ColorIdentMap()),
                        RTL_PROP(BkColor).Default(clNone).Idents(ColorIdentMap()),
                        RTL_PROP(AllocBy).Default(4),
                        RTL_PROP(DrawingStyle).Default(dsNormal),
                        RTL_PROP(Height).Default(16),
                        RTL_PROP(ImageType).Default(itImage),
                        RTL_PROP(Masked).Default(true),
                        RTL_PROP(ShareImages).Default(false),
                        RTL_PROP(Width).Default(16),
                        RTL_EVENT(OnChange))

namespace {

constexpr UINT kDrawingStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
constexpr UINT kImageTypes[] = {0, ILD_MASK};
// Destination = brush where the source is white, else unchanged.
constexpr DWORD ROP_DSPDxax = 0x00E20746;

[[noreturn]] void IndexError() { throw EInvalidOperation("Invalid ImageList Index"); }

COLORREF RGBColor(TColor Value) {
  if (Value == clNone) return CLR_NONE;
  if (Value == clDefault) return CLR_DEFAULT;
  return ColorToRGB(Value);
}

TColor ColorOf(COLORREF Value) {
  if (Value == CLR_NONE) return clNone;
  if (Value == CLR_DEFAULT) return clDefault;
  return static_cast<TColor>(Value);
}

// One image of a list taken out as bitmaps of the list's image size: the
// pixels as they are stored, and the mask when the list has masks.
struct TImageCopy {
  HBITMAP Image = nullptr;
  HBITMAP Mask = nullptr;
  TImageCopy() = default;
  TImageCopy(TImageCopy&& o) noexcept : Image(o.Image), Mask(o.Mask) { o.Image = o.Mask = nullptr; }
  TImageCopy& operator=(TImageCopy&& o) noexcept {
    std::swap(Image, o.Image);
    std::swap(Mask, o.Mask);
    return *this;
  }
  ~TImageCopy() {
    if (Image) DeleteObject(Image);
    if (Mask) DeleteObject(Mask);
  }
};

TImageCopy Extract(HIMAGELIST list, int index, int cx, int cy) {
  TImageCopy copy;
  IMAGEINFO info{};
  if (!ImageList_GetImageInfo(list, index, &info)) IndexError();
  DIBSECTION ds{};
  GetObjectA(info.hbmImage, sizeof(ds), &ds);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  copy.Image = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy.Image || !ds.dsBm.bmBits) IndexError();
  GdiFlush();
  const auto* strip = static_cast<const uint8_t*>(ds.dsBm.bmBits);
  const int stride = ds.dsBm.bmWidth * 4, height = ds.dsBm.bmHeight;
  const bool topDown = ds.dsBmih.biHeight < 0;
  for (int y = 0; y < cy; ++y) {
    int row = info.rcImage.Top + y;
    const uint8_t* src = strip + ptrdiff_t(topDown ? row : height - 1 - row) * stride + info.rcImage.Left * 4;
    std::memcpy(static_cast<uint8_t*>(bits) + ptrdiff_t(y) * cx * 4, src, size_t(cx) * 4);
  }
  if (info.hbmMask) {
    copy.Mask = CreateBitmap(cx, cy, 1, 1, nullptr);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, info.hbmMask), oldTo = SelectObject(to, copy.Mask);
    BitBlt(to, 0, 0, cx, cy, from, info.rcImage.Left, info.rcImage.Top, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
  }
  return copy;
}

}  // namespace

// ---- TChangeLink ----------------------------------------------------------------------

TChangeLink::~TChangeLink() { Unlink(); }

void TChangeLink::Unlink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---- TCustomImageList -------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) { Initialize(); }

TCustomImageList::TCustomImageList(Integer AWidth, Integer AHeight) : TComponent(nullptr) {
  FWidth = AWidth;
  FHeight = AHeight;
  Initialize();
}

TCustomImageList::~TCustomImageList() {
  while (!FClients.empty()) UnRegisterChanges(FClients.back());
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
}

void TCustomImageList::Initialize() {}

void TCustomImageList::CreateImageList() {
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), FAllocBy, FAllocBy);
  if (!FHandle) throw EInvalidOperation("Invalid image list");
  if (FBkColor != clNone) ImageList_SetBkColor(FHandle, RGBColor(FBkColor));
}

void TCustomImageList::HandleNeeded() {
  if (!FHandle) CreateImageList();
}

HIMAGELIST TCustomImageList::Handle() {
  HandleNeeded();
  return FHandle;
}

void TCustomImageList::FreeHandle() {
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == FHandle) return;
  FreeHandle();
  FHandle = Value;
  if (Value) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(Value, &cx, &cy);
    FWidth = cx;
    FHeight = cy;
    FBkColor = ColorOf(ImageList_GetBkColor(Value));
  }
  Change();
}

void TCustomImageList::Rebuild() {
  if (!FHandle) return;
  std::vector<TImageCopy> images;
  for (int i = 0; i < ImageList_GetImageCount(FHandle); ++i) images.push_back(Extract(FHandle, i, FWidth, FHeight));
  HIMAGELIST old = FHandle;
  FHandle = nullptr;
  {
    TScopeExit KeepOld(seOnUnwind, [&] { FHandle = old; });
    CreateImageList();
  }
  for (TImageCopy& c : images) ImageList_Add(FHandle, c.Image, c.Mask);
  if (!FShareImages) ImageList_Destroy(old);
}

void TCustomImageList::CheckImage(Integer Index) const {
  if (!FHandle || Index < 0 || Index >= ImageList_GetImageCount(FHandle)) IndexError();
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  FChanged = false;
  for (size_t i = 0; i < FClients.size(); ++i) FClients[i]->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  Value->FSender = this;
  FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  Value->FSender = nullptr;
  FClients.erase(it);
}

void TCustomImageList::Assign(TPersistent* Source) {
  if (!Source) {
    FreeHandle();
    Change();
    return;
  }
  auto* src = dynamic_cast<TCustomImageList*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  // The copy is this list's own even when the source shares its handle.
  HIMAGELIST copy = src->FHandle ? ImageList_Duplicate(src->FHandle) : nullptr;
  if (src->FHandle && !copy) throw EInvalidOperation("Invalid image list");
  FreeHandle();
  FHandle = copy;
  FWidth = src->FWidth;
  FHeight = src->FHeight;
  FMasked = src->FMasked;
  FImageType = src->FImageType;
  FDrawingStyle = src->FDrawingStyle;
  FBkColor = src->FBkColor;
  FBlendColor = src->FBlendColor;
  FAllocBy = src->FAllocBy;
  Change();
}

Integer TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) return -1;
  HandleNeeded();
  Integer r = ImageList_Add(FHandle, Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
  return r;
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image) return -1;
  if (MaskColor == clNone) return Add(Image, nullptr);
  HandleNeeded();
  Integer r = ImageList_AddMasked(FHandle, Image->Handle(), ColorToRGB(MaskColor) & 0xFFFFFFu);
  Change();
  return r;
}

Integer TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image) return -1;
  HandleNeeded();
  Integer r = ImageList_AddIcon(FHandle, Image->Handle());
  Change();
  return r;
}

// Adds at the end, then turns the images from Index on so that the new
// ones come first.
template <class F>
void TCustomImageList::InsertBy(Integer Index, F AddImages) {
  if (Index < 0 || Index > Count()) IndexError();
  BeginUpdate();
  TScopeExit EndUpdating([&] { EndUpdate(); });
  Integer before = Count();
  AddImages();
  Integer added = Count() - before;
  if (added > 0 && Index < before) {
    std::vector<TImageCopy> images;
    for (Integer i = Index; i < Count(); ++i) images.push_back(Extract(FHandle, i, FWidth, FHeight));
    std::rotate(images.begin(), images.end() - added, images.end());
    for (size_t k = 0; k < images.size(); ++k)
      ImageList_Replace(FHandle, Index + static_cast<Integer>(k), images[k].Image, images[k].Mask);
  }
}

void TCustomImageList::Insert(Integer Index, TBitmap* Image, TBitmap* Mask) {
  InsertBy(Index, [&] { Add(Image, Mask); });
}

void TCustomImageList::InsertMasked(Integer Index, TBitmap* Image, TColor MaskColor) {
  InsertBy(Index, [&] { AddMasked(Image, MaskColor); });
}

void TCustomImageList::InsertIcon(Integer Index, TIcon* Image) {
  InsertBy(Index, [&] { AddIcon(Image); });
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  CheckImage(Index);
  if (!Image || !ImageList_Replace(FHandle, Index, Image->Handle(), Mask ? Mask->Handle() : nullptr))
    throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::ReplaceMasked(Integer Index, TBitmap* NewImage, TColor MaskColor) {
  CheckImage(Index);
  if (!NewImage) throw EInvalidOperation("Unable to Replace Image");
  HIMAGELIST temp = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 1, 1);
  IMAGEINFO info{};
  bool ok = temp && ImageList_AddMasked(temp, NewImage->Handle(), ColorToRGB(MaskColor) & 0xFFFFFFu) >= 0 &&
            ImageList_GetImageInfo(temp, 0, &info) && ImageList_Replace(FHandle, Index, info.hbmImage, info.hbmMask);
  if (temp) ImageList_Destroy(temp);
  if (!ok) throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::ReplaceIcon(Integer Index, TIcon* Image) {
  CheckImage(Index);
  if (!Image || ImageList_ReplaceIcon(FHandle, Index, Image->Handle()) < 0)
    throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::Delete(Integer Index) {
  if (Index < -1 || Index >= Count()) IndexError();
  if (!FHandle) return;
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Clear() { Delete(-1); }

void TCustomImageList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckImage(CurIndex);
  CheckImage(NewIndex);
  Integer first = std::min(CurIndex, NewIndex), last = std::max(CurIndex, NewIndex);
  std::vector<TImageCopy> images;
  for (Integer i = first; i <= last; ++i) images.push_back(Extract(FHandle, i, FWidth, FHeight));
  if (CurIndex < NewIndex)
    std::rotate(images.begin(), images.begin() + 1, images.end());
  else
    std::rotate(images.begin(), images.end() - 1, images.end());
  for (size_t k = 0; k < images.size(); ++k)
    ImageList_Replace(FHandle, first + static_cast<Integer>(k), images[k].Image, images[k].Mask);
  Change();
}

void TCustomImageList::DoDraw(Integer Index, TCanvas* Canvas, Integer X, Integer Y, UINT Style, bool Enabled) {
  if (!FHandle) return;
  if (Enabled) {
    ImageList_DrawEx(FHandle, Index, Canvas->Handle(), X, Y, 0, 0, RGBColor(BkColor()), RGBColor(FBlendColor), Style);
    return;
  }
  // The shape of the image (what is not white on white) in black on a
  // monochrome bitmap; then the shape in the highlight colour one pixel
  // down and right, and in the shadow colour over it.
  TBitmap image(FWidth, FHeight);
  image.SetPixelFormat(pf32bit);
  ImageList_DrawEx(FHandle, Index, image.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
  TBitmap shape(FWidth, FHeight);
  shape.SetMonochrome(true);
  HDC src = image.Canvas()->Handle();
  ::SetBkColor(src, RGB(255, 255, 255));
  BitBlt(shape.Canvas()->Handle(), 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
  HDC mono = shape.Canvas()->Handle();
  HDC dst = Canvas->Handle();
  HBRUSH highlight = CreateSolidBrush(ColorToRGB(clBtnHighlight));
  HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
  HGDIOBJ oldBrush = SelectObject(dst, highlight);
  COLORREF oldText = SetTextColor(dst, RGB(255, 255, 255));
  COLORREF oldBk = ::SetBkColor(dst, RGB(0, 0, 0));
  BitBlt(dst, X + 1, Y + 1, FWidth, FHeight, mono, 0, 0, ROP_DSPDxax);
  SelectObject(dst, shadow);
  BitBlt(dst, X, Y, FWidth, FHeight, mono, 0, 0, ROP_DSPDxax);
  ::SetBkColor(dst, oldBk);
  SetTextColor(dst, oldText);
  SelectObject(dst, oldBrush);
  DeleteObject(highlight);
  DeleteObject(shadow);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (FHandle) DoDraw(Index, Canvas, X, Y, kDrawingStyles[ADrawingStyle] | kImageTypes[AImageType], Enabled);
}

bool TCustomImageList::GetBitmap(Integer Index, TBitmap* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= Count()) return false;
  Image->SetSize(FWidth, FHeight);
  Draw(Image->Canvas(), 0, 0, Index);
  return true;
}

void TCustomImageList::GetIcon(Integer Index, TIcon* Image) { GetIcon(Index, Image, FDrawingStyle, FImageType); }

void TCustomImageList::GetIcon(Integer Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType) {
  if (Image && FHandle)
    Image->SetHandle(ImageList_GetIcon(FHandle, Index, kDrawingStyles[ADrawingStyle] | kImageTypes[AImageType]));
}

HBITMAP TCustomImageList::GetImageBitmap() {
  IMAGEINFO info{};
  return FHandle && Count() > 0 && ImageList_GetImageInfo(FHandle, 0, &info) ? info.hbmImage : nullptr;
}

HBITMAP TCustomImageList::GetMaskBitmap() {
  IMAGEINFO info{};
  return FHandle && Count() > 0 && ImageList_GetImageInfo(FHandle, 0, &info) ? info.hbmMask : nullptr;
}

void TCustomImageList::SetWidth(Integer Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  if (FHandle) ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

void TCustomImageList::SetHeight(Integer Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  if (FHandle) ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

TColor TCustomImageList::BkColor() const { return FBkColor; }

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, RGBColor(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  Rebuild();
  Change();
}

void TCustomImageList::SetShareImages(bool Value) { FShareImages = Value; }

// ---- Streaming ----------------------------------------------------------------------------

namespace {

// An IStream over a TStream for the ImageList_* stream functions.
class TAdapterRef {
  TStreamAdapter* FAdapter;

 public:
  explicit TAdapterRef(TStream* Stream) : FAdapter(new TStreamAdapter(Stream)) { FAdapter->AddRef(); }
  ~TAdapterRef() { FAdapter->Release(); }
  TAdapterRef(const TAdapterRef&) = delete;
  TAdapterRef& operator=(const TAdapterRef&) = delete;
  IStream* get() const { return FAdapter; }
};

}  // namespace

void TCustomImageList::DefineProperties(TFiler* Filer) {
  bool write;
  if (auto* ancestor = dynamic_cast<TCustomImageList*>(Filer->Ancestor())) {
    TMemoryStream mine, theirs;
    WriteData(&mine);
    ancestor->WriteData(&theirs);
    write = mine.Size() != theirs.Size() ||
            std::memcmp(mine.Memory(), theirs.Memory(), static_cast<size_t>(mine.Size())) != 0;
  } else {
    write = Count() > 0;
  }
  Filer->DefineBinaryProperty("Bitmap", TStreamProc(this, &TCustomImageList::ReadData),
                              TStreamProc(this, &TCustomImageList::WriteData), write);
}

void TCustomImageList::ReadData(TStream* Stream) {
  HIMAGELIST h;
  {
    TAdapterRef adapter(Stream);
    h = ImageList_Read(adapter.get());
  }
  if (!h) throw EReadError("Failed to read ImageList data from stream");
  SetHandle(h);
}

void TCustomImageList::WriteData(TStream* Stream) {
  TAdapterRef adapter(Stream);
  if (!ImageList_Write(Handle(), adapter.get())) throw EWriteError("Failed to write ImageList data to stream");
}

// ---- TDragImageList ----------------------------------------------------------------------

namespace {

// The list whose image drags now (the ImageList_ drag is one for all).
TDragImageList* g_DraggingList = nullptr;

}  // namespace

TDragImageList::~TDragImageList() { EndDrag(); }

TDragImageList* TDragImageList::DraggingList() { return g_DraggingList; }

bool TDragImageList::BeginDrag(HWND Window, Integer X, Integer Y) {
  if (!FDragging) {
    if (FDragIndex < 0 || FDragIndex >= Count()) return false;
    if (g_DraggingList) g_DraggingList->EndDrag();
    if (!ImageList_BeginDrag(Handle(), FDragIndex, FDragHotspot.X, FDragHotspot.Y)) return false;
    FDragging = true;
    FHidden = false;
    g_DraggingList = this;
  }
  return DragLock(Window, X, Y);
}

bool TDragImageList::DragLock(HWND Window, Integer XPos, Integer YPos) {
  if (!FDragging) return false;
  if (FLocked && Window == FDragLockWindow) return DragMove(XPos, YPos);
  DragUnlock();
  FLocked = ImageList_DragEnter(Window, XPos, YPos) != FALSE;
  if (FLocked) FDragLockWindow = Window;
  return FLocked;
}

void TDragImageList::DragUnlock() {
  if (!FLocked) return;
  ImageList_DragLeave(FDragLockWindow);
  FLocked = false;
  FDragLockWindow = nullptr;
}

bool TDragImageList::DragMove(Integer X, Integer Y) { return FDragging && ImageList_DragMove(X, Y); }

bool TDragImageList::EndDrag() {
  if (!FDragging) return false;
  DragUnlock();
  ImageList_EndDrag();
  FDragging = false;
  if (g_DraggingList == this) g_DraggingList = nullptr;
  return true;
}

void TDragImageList::ShowDragImage() {
  if (!FDragging) return;
  FHidden = false;
  ImageList_DragShowNolock(TRUE);
}

void TDragImageList::HideDragImage() {
  if (!FDragging) return;
  FHidden = true;
  ImageList_DragShowNolock(FALSE);
}

bool TDragImageList::SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY) {
  if (Index < 0 || (HandleAllocated() && Index >= Count())) return false;
  FDragIndex = Index;
  FDragHotspot = TPoint(HotSpotX, HotSpotY);
  if (!FDragging) return true;
  // The drag goes on with the new image, where and as it was.
  POINT Pos{};
  ImageList_GetDragImage(&Pos, nullptr);
  const HWND Window = FDragLockWindow;
  const bool WasLocked = FLocked, WasHidden = FHidden;
  EndDrag();
  if (!ImageList_BeginDrag(Handle(), FDragIndex, FDragHotspot.X, FDragHotspot.Y)) return false;
  FDragging = true;
  g_DraggingList = this;
  const bool Result = !WasLocked || DragLock(Window, Pos.X, Pos.Y);
  if (WasHidden) HideDragImage();
  return Result;
}
