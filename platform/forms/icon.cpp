#include "platform/forms/icon.h"

#include <cstring>

#include "platform/forms/bitmap_internal.h"

RTL_IMPLEMENT_CLASS(TIcon)

using rtl::detail::Get16;
using rtl::detail::Get32;
using rtl::detail::Put16;
using rtl::detail::Put32;
using rtl::detail::RowBytes;

namespace {

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic("Icon image is not valid"); }

struct TIconEntry {
  int Width, Height, Bits;
  uint32_t Size, Offset;
};

// The directory of an .ico file, every image inside the data.
std::vector<TIconEntry> ReadDirectory(const std::vector<uint8_t>& d) {
  if (d.size() < 6 || Get16(d.data()) != 0 || Get16(d.data() + 2) != 1) InvalidIcon();
  size_t count = Get16(d.data() + 4);
  if (count == 0 || d.size() < 6 + count * 16) InvalidIcon();
  std::vector<TIconEntry> entries;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = d.data() + 6 + i * 16;
    TIconEntry t{e[0] ? e[0] : 256, e[1] ? e[1] : 256, Get16(e + 6), Get32(e + 8), Get32(e + 12)};
    if (t.Size == 0 || t.Offset > d.size() || t.Size > d.size() - t.Offset) InvalidIcon();
    entries.push_back(t);
  }
  return entries;
}

// The image of the requested size with the most colours; else the
// smallest larger one; else the largest.
const TIconEntry& Pick(const std::vector<TIconEntry>& entries, int cx, int cy) {
  const TIconEntry* best = nullptr;
  auto area = [](const TIconEntry& e) { return e.Width * e.Height; };
  for (const TIconEntry& e : entries)
    if (e.Width == cx && e.Height == cy && (!best || e.Bits > best->Bits)) best = &e;
  if (best) return *best;
  for (const TIconEntry& e : entries)
    if (e.Width >= cx && e.Height >= cy && (!best || area(e) < area(*best))) best = &e;
  if (best) return *best;
  for (const TIconEntry& e : entries)
    if (!best || area(e) > area(*best) || (area(e) == area(*best) && e.Bits > best->Bits)) best = &e;
  return *best;
}

HICON CreateFromFile(std::vector<uint8_t>& d, int cx, int cy) {
  std::vector<TIconEntry> entries = ReadDirectory(d);
  const TIconEntry& e = Pick(entries, cx, cy);
  HICON icon = CreateIconFromResourceEx(d.data() + e.Offset, e.Size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
  if (!icon) InvalidIcon();
  return icon;
}

// The bits of a bitmap as a bottom-up DIB of the given depth.
std::vector<uint8_t> DIBits(HBITMAP bitmap, int width, int height, int bits) {
  std::vector<uint8_t> out(size_t(RowBytes(width, bits)) * size_t(height));
  rtl::detail::GetBottomUpBits(bitmap, width, height, bits, out.data());
  return out;
}

}  // namespace

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::TakeHandle(HICON Value) {
  if (FHandle && FHandle != Value) DestroyIcon(FHandle);
  FHandle = Value;
  FWidth = FHeight = 0;
  ICONINFO info{};
  if (!Value || !GetIconInfo(Value, &info)) return;
  BITMAP bm{};
  if (info.hbmColor) {
    GetObjectA(info.hbmColor, sizeof(bm), &bm);
    FWidth = bm.bmWidth;
    FHeight = bm.bmHeight;
  } else if (info.hbmMask) {
    // A monochrome icon's mask holds the AND and XOR halves.
    GetObjectA(info.hbmMask, sizeof(bm), &bm);
    FWidth = bm.bmWidth;
    FHeight = bm.bmHeight / 2;
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

void TIcon::HandleNeeded() {
  if (!FHandle && !FData.empty()) TakeHandle(CreateFromFile(FData, FRequestedWidth, FRequestedHeight));
}

void TIcon::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TIcon*>(Source);
  if (Source && !src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  HICON copy = src && src->FHandle ? CopyIcon(src->FHandle) : nullptr;
  TakeHandle(copy);
  if (src) {
    FData = src->FData;
    FRequestedWidth = src->FRequestedWidth;
    FRequestedHeight = src->FRequestedHeight;
    if (!copy) FWidth = src->FWidth, FHeight = src->FHeight;
  } else {
    FData.clear();
  }
  Changed(this);
}

void TIcon::SetWidth(Integer Value) { SetSize(Value, GetHeight()); }

void TIcon::SetHeight(Integer Value) { SetSize(GetWidth(), Value); }

void TIcon::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth == GetWidth() && AHeight == GetHeight()) return;
  if (!GetEmpty()) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  FRequestedWidth = AWidth;
  FRequestedHeight = AHeight;
}

HICON TIcon::Handle() {
  HandleNeeded();
  return FHandle;
}

void TIcon::SetHandle(HICON Value) {
  if (Value == FHandle) return;
  FData.clear();
  TakeHandle(Value);
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HandleNeeded();
  HICON h = FHandle;
  FHandle = nullptr;
  FData.clear();
  FWidth = FHeight = 0;
  return h;
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  HandleNeeded();
  if (!FHandle) return;
  ACanvas->RequiredState({csHandleValid});
  DrawIconEx(ACanvas->FHandle, Rect.Left, Rect.Top, FHandle, Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream* Stream) {
  Int64 size = Stream->Size() - Stream->Position();
  if (size <= 0) InvalidIcon();
  std::vector<uint8_t> data(static_cast<size_t>(size));
  Stream->ReadBuffer(data.data(), static_cast<Integer>(size));
  HICON icon = CreateFromFile(data, FRequestedWidth, FRequestedHeight);
  FData = std::move(data);
  TakeHandle(icon);
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
  if (!FData.empty()) {
    Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
    return;
  }
  if (!FHandle) return;
  ICONINFO info{};
  if (!GetIconInfo(FHandle, &info)) return;
  int w = FWidth, h = FHeight;
  bool mono = info.hbmColor == nullptr;
  std::vector<uint8_t> image;
  Put32(image, 40);
  Put32(image, static_cast<uint32_t>(w));
  Put32(image, static_cast<uint32_t>(h * 2));
  Put16(image, 1);
  Put16(image, mono ? 1 : 32);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  if (mono) {
    // Black and white; the mask's bottom half is the XOR image, the top
    // half the AND mask, which is the file's order bottom-up.
    Put32(image, 0);
    Put32(image, 0x00FFFFFF);
    std::vector<uint8_t> both = DIBits(info.hbmMask, w, h * 2, 1);
    image.insert(image.end(), both.begin(), both.end());
  } else {
    std::vector<uint8_t> color = DIBits(info.hbmColor, w, h, 32);
    std::vector<uint8_t> mask = DIBits(info.hbmMask, w, h, 1);
    image.insert(image.end(), color.begin(), color.end());
    image.insert(image.end(), mask.begin(), mask.end());
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, 1);
  file.push_back(static_cast<uint8_t>(w >= 256 ? 0 : w));
  file.push_back(static_cast<uint8_t>(h >= 256 ? 0 : h));
  file.push_back(mono ? 2 : 0);
  file.push_back(0);
  Put16(file, 1);
  Put16(file, mono ? 1 : 32);
  Put32(file, static_cast<uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  Stream->WriteBuffer(file.data(), static_cast<Integer>(file.size()));
}
