#include "ui/foundation/fading.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/forms/bitmap.h"
#include "platform/forms/timer.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/properties.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_sysinfo.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/gdiplus_binding.h"
#include "ui/foundation/gdiplus_images.h"
#include "ui/foundation/message_windows.h"

RTL_IMPLEMENT_PUBLISHED(TdxFadingOptions, RTL_PROP(FadeInFrameCount).Default(4), RTL_PROP(FadeInFrameDelay).Default(15),
                        RTL_PROP(FadeOutFrameCount).Default(12), RTL_PROP(FadeOutFrameDelay).Default(20))
RTL_IMPLEMENT_CLASS(TdxFadingElement)
RTL_IMPLEMENT_CLASS(TdxFadingList)
RTL_IMPLEMENT_CLASS(TdxFader)
RTL_IMPLEMENT_CLASS(TdxFadingObjectHelper)

namespace {

TdxFader* GFader = nullptr;

constexpr Integer kMaxFrameCount = 32;
constexpr Integer kTimerInterval = 10;

// GDI draws with alpha 0: such a pixel that is not black is opaque.
void FixGdiAlpha(TRGBColors& APixels) {
  for (RGBQUAD& P : APixels)
    if (P.rgbReserved == 0 && (P.rgbBlue | P.rgbGreen | P.rgbRed) != 0) P.rgbReserved = 255;
}

}  // namespace

// ---- TdxFadingOptions ----------------------------------------------------------------

void TdxFadingOptions::Assign(TPersistent* Source) {
  if (auto* Options = dynamic_cast<TdxFadingOptions*>(Source)) {
    SetFadeInFrameCount(Options->FadeInFrameCount());
    SetFadeInFrameDelay(Options->FadeInFrameDelay());
    SetFadeOutFrameCount(Options->FadeOutFrameCount());
    SetFadeOutFrameDelay(Options->FadeOutFrameDelay());
  } else {
    TPersistent::Assign(Source);
  }
}

void TdxFadingOptions::SetFadeInFrameCount(Integer AValue) {
  FFadeInFrameCount = std::clamp(AValue, 0, kMaxFrameCount);
}
void TdxFadingOptions::SetFadeInFrameDelay(Integer AValue) { FFadeInFrameDelay = std::clamp(AValue, 10, 300); }
void TdxFadingOptions::SetFadeOutFrameCount(Integer AValue) {
  FFadeOutFrameCount = std::clamp(AValue, 0, kMaxFrameCount);
}
void TdxFadingOptions::SetFadeOutFrameDelay(Integer AValue) { FFadeOutFrameDelay = std::clamp(AValue, 10, 300); }

// ---- TdxFadingElement ------------------------------------------------------------------

TdxFadingElement::TLifeGuard::TLifeGuard(TdxFadingElement* AOwner) : Owner(AOwner), Outer(AOwner->FLifeGuard) {
  AOwner->FLifeGuard = this;
}

TdxFadingElement::TLifeGuard::~TLifeGuard() {
  if (!Freed) Owner->FLifeGuard = Outer;
}

TdxFadingElement::TdxFadingElement(TdxFader* AFader, TObject* AElement, IdxFadingObject* AFadingObject)
    : FElement(AElement), FFadingObject(AFadingObject), FFader(AFader) {}

TdxFadingElement::~TdxFadingElement() {
  for (TLifeGuard* Guard = FLifeGuard; Guard; Guard = Guard->Outer) Guard->Freed = true;
  delete FWorkImage;
  FWorkImage = nullptr;
  if (FFader) FFader->RemoveElement(this);
}

void TdxFadingElement::SetTiming(Integer AFrameCount, Integer AFrameDelay) {
  FFrameCount = std::clamp(AFrameCount, 1, kMaxFrameCount);
  FFrameDelay = std::clamp(AFrameDelay, 1, 300);
  FTicksPerFrame = std::max(FFrameDelay / kTimerInterval, 1);
  FTickIndex = 0;
}

void TdxFadingElement::SetImages(TBitmap* AStartBitmap, TBitmap* AEndBitmap) {
  FImageWidth = AStartBitmap->Width();
  FImageHeight = AStartBitmap->Height();
  if (!dxGetBitmapPixels(AStartBitmap->Handle(), FStartPixels, true)) FStartPixels.clear();
  if (!dxGetBitmapPixels(AEndBitmap->Handle(), FEndPixels, true)) FEndPixels.clear();
  FixGdiAlpha(FStartPixels);
  FixGdiAlpha(FEndPixels);
}

void TdxFadingElement::BuildFrame() {
  const size_t Count = static_cast<size_t>(FImageWidth) * static_cast<size_t>(FImageHeight);
  // Pixels that could not be read leave the element without a frame: the
  // object paints itself.
  if (Count == 0 || FStartPixels.size() != Count || FEndPixels.size() != Count) return;
  const float F = static_cast<float>(MulDiv(FStage, 255, FFrameCount)) / 255.0f;
  const float G = 1.0f - F;
  TRGBColors Frame(Count);
  const auto* Start = reinterpret_cast<const Byte*>(FStartPixels.data());
  const auto* End = reinterpret_cast<const Byte*>(FEndPixels.data());
  auto* Out = reinterpret_cast<Byte*>(Frame.data());
  for (size_t i = 0; i < Count * 4; ++i)
    Out[i] = static_cast<Byte>(std::nearbyintf(static_cast<float>(Start[i]) * G + static_cast<float>(End[i]) * F));
  SetWorkImage(new TdxGPImage(FImageWidth, FImageHeight, Frame, true));
}

void TdxFadingElement::SetWorkImage(TdxGPImage* AImage) {
  if (AImage == FWorkImage) return;
  TdxGPImage* Old = FWorkImage;
  FWorkImage = AImage;
  delete Old;
  // Last: the object may free itself, and this element with it.
  FFadingObject->RepaintFadingFrame();
}

void TdxFadingElement::Step() {
  FTickIndex = (FTickIndex + 1) % FTicksPerFrame;
  if (FTickIndex != 0) return;
  if (FStage < FFrameCount) {
    ++FStage;
    BuildFrame();
  } else {
    Finish();
  }
}

void TdxFadingElement::Finish() {
  TLifeGuard Guard(this);
  delete FWorkImage;
  FWorkImage = nullptr;
  FFadingObject->RepaintFadingFrame();
  // The object may have freed itself, detaching this element.
  if (!Guard.Freed) delete this;
}

// ---- TdxFadingList -------------------------------------------------------------------------

TdxFadingList::~TdxFadingList() { Clear(); }

void TdxFadingList::Clear() {
  // An element leaves the list itself when freed; one that does not (no
  // fader) is taken off here.
  while (Count() > 0) {
    TdxFadingElement* Last = Element(Count() - 1);
    const Integer Before = Count();
    delete Last;
    if (Count() == Before) Delete(Count() - 1);
  }
  TList::Clear();
}

// ---- TdxFader -----------------------------------------------------------------------------

TdxFader::TdxFader() : FList(new TdxFadingList()), FTimer(new TTimer(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kTimerInterval);
  FTimer->SetOnTimer(TNotifyEvent(this, &TdxFader::TimerTick));
}

TdxFader::~TdxFader() {
  ClearElements();
  delete FTimer;
  FTimer = nullptr;
  delete FList;
  FList = nullptr;
}

bool TdxFader::IsActive() {
  TdxSystemInfo* Info = dxGetSystemInfo();
  BOOL Value = FALSE;
  return Info && Info->QueryParameter(SPI_GETMENUANIMATION, &Value) && Value;
}

bool TdxFader::CanAnimate() {
  if (!IsActive() || FMaxAnimationCount <= 0 || !dxGpCheckAvailable(false)) return false;
  TcxScreenCanvas* Screen = cxSharedScreenCanvas();
  return Screen && GetDeviceCaps(Screen->GetHandle(), BITSPIXEL) > 16;
}

bool TdxFader::CanFadeObject(TObject* AObject, IdxFadingObject*& AFadingObject) {
  AFadingObject = nullptr;
  if (!AObject || !CanAnimate()) return false;
  AFadingObject = dynamic_cast<IdxFadingObject*>(AObject);
  return AFadingObject && AFadingObject->FadingWanted();
}

void TdxFader::StartFadeIn(TObject* AObject) { StartFading(AObject, false); }

void TdxFader::StartFadeOut(TObject* AObject) { StartFading(AObject, true); }

void TdxFader::StartFading(TObject* AObject, bool AFadeOut) {
  IdxFadingObject* FadingObject;
  if (!CanFadeObject(AObject, FadingObject)) return;
  TcxBitmap32* Normal = nullptr;
  TcxBitmap32* Hot = nullptr;
  FadingObject->ProvideFadeBitmaps(Normal, Hot);
  std::unique_ptr<TBitmap> NormalHolder(Normal), HotHolder(Hot);
  auto Options = std::make_unique<TdxFadingOptions>();
  if (auto* Provider = dynamic_cast<IdxFadingOptionsProvider*>(AObject))
    if (TdxFadingOptions* Own = Provider->GetFadingOptions()) Options->Assign(Own);
  if (AFadeOut)
    BeginElementFade(AObject, HotHolder.release(), Options->FadeOutFrameDelay(), Options->FadeOutFrameCount(),
                     NormalHolder.release());
  else
    BeginElementFade(AObject, NormalHolder.release(), Options->FadeInFrameDelay(), Options->FadeInFrameCount(),
                     HotHolder.release());
}

void TdxFader::BeginElementFade(TObject* AObject, TBitmap* AStartBitmap, Integer AFrameDelay, Integer AFrameCount,
                                TBitmap* AEndBitmap) {
  std::unique_ptr<TBitmap> Start(AStartBitmap), End(AEndBitmap);
  IdxFadingObject* FadingObject;
  if (!CanFadeObject(AObject, FadingObject) || !Start || !End || Start->Empty() || End->Empty() ||
      Start->Width() != End->Width() || Start->Height() != End->Height() || AFrameCount <= 0)
    return;
  TdxFadingElement* Element;
  if (LookupElement(AObject, Element)) {
    // Turning round mid-fade: go on from the frame on screen.
    if (Start->Width() == Element->FImageWidth && Start->Height() == Element->FImageHeight) {
      if (Element->FWorkImage) Start.reset(Element->FWorkImage->ToBitmap32());
      Element->SetTiming(AFrameCount, AFrameDelay);
      Element->FStage = 0;
    }
  } else {
    Element = new TdxFadingElement(this, AObject, FadingObject);
    Element->SetTiming(AFrameCount, AFrameDelay);
    AddElement(Element);
    // Making room may have finished this very element (with a repaint).
    TdxFadingElement* Check;
    if (!LookupElement(AObject, Check) || Check != Element) return;
  }
  Element->SetImages(Start.get(), End.get());
  Element->BuildFrame();
}

bool TdxFader::PaintFadingObject(TObject* AObject, HDC DC, const TRect& R) {
  TdxFadingElement* Element;
  if (!LookupElement(AObject, Element) || !Element->FWorkImage) return false;
  Element->FWorkImage->DrawOnDC(DC, R);
  return true;
}

bool TdxFader::LookupElement(TObject* AObject, TdxFadingElement*& AElement) {
  for (Integer i = 0; i < FList->Count(); ++i)
    if (FList->Element(i)->FElement == AObject) {
      AElement = FList->Element(i);
      return true;
    }
  AElement = nullptr;
  return false;
}

void TdxFader::DetachObject(TObject* AObject, bool ADestroying) {
  TdxFadingElement* Element;
  if (!LookupElement(AObject, Element)) return;
  if (ADestroying)
    delete Element;
  else
    Element->Finish();
}

void TdxFader::ClearElements() { FList->Clear(); }

void TdxFader::AddElement(TdxFadingElement* AElement) {
  AElement->FSerial = FNextSerial++;
  FList->Add(AElement);
  TrimQueue();
}

void TdxFader::RemoveElement(TdxFadingElement* AElement) {
  if (!FList) return;
  FList->Remove(AElement);
  TrimQueue();
}

void TdxFader::TrimQueue() {
  while (FList->Count() > FMaxAnimationCount) FList->Element(0)->Finish();
  if (FTimer) FTimer->SetEnabled(FList->Count() > 0);
}

void TdxFader::TimerTick(TObject*) {
  struct TEntry {
    TdxFadingElement* Element;
    uint64_t Serial;
  };
  // Last to first; repaints may free elements or start new fades.
  std::vector<TEntry> Walk;
  Walk.reserve(static_cast<size_t>(FList->Count()));
  for (Integer i = FList->Count() - 1; i >= 0; --i) Walk.push_back({FList->Element(i), FList->Element(i)->FSerial});
  for (const TEntry& E : Walk) {
    if (FList->IndexOf(E.Element) < 0 || E.Element->FSerial != E.Serial) continue;
    E.Element->Step();
  }
}

// ---- TdxFadingObjectHelper -------------------------------------------------------------------

TdxFadingObjectHelper::~TdxFadingObjectHelper() {
  if (TdxFader* Fader = dxGetFader()) Fader->DetachObject(this, true);
}

bool TdxFadingObjectHelper::GetInterface(REFIID iid, void** obj) {
  if (IsEqualIID(iid, IID_IdxFadingObject)) {
    *obj = static_cast<IdxFadingObject*>(this);
    return true;
  }
  return TcxIUnknownObject::GetInterface(iid, obj);
}

void TdxFadingObjectHelper::BeginFadeIn() {
  if (TdxFader* Fader = dxGetFader()) Fader->StartFadeIn(this);
}

void TdxFadingObjectHelper::BeginFadeOut() {
  if (TdxFader* Fader = dxGetFader()) Fader->StartFadeOut(this);
}

void TdxFadingObjectHelper::CancelFading() {
  if (TdxFader* Fader = dxGetFader()) Fader->DetachObject(this, false);
}

void TdxFadingObjectHelper::StateChanged(Integer APreviousState, Integer ANewState) {
  constexpr Integer kHot = 2;
  if (APreviousState == ANewState) return;
  if (ANewState == kHot && APreviousState < kHot)
    BeginFadeIn();
  else if (ANewState < kHot && APreviousState == kHot)
    BeginFadeOut();
  else
    CancelFading();
}

bool TdxFadingObjectHelper::PaintFrame(HDC DC, const TRect& R) {
  TdxFader* Fader = dxGetFader();
  return Fader && Fader->PaintFadingObject(this, DC, R);
}

// ---- The shared fader -----------------------------------------------------------------------

TdxFader* dxGetFader() { return GFader; }

namespace dx_fading_detail {

void StartFading() {
  if (!GFader) GFader = new TdxFader();
}

void StopFading() {
  // Objects detaching while their fades go find no fader.
  TdxFader* Fader = GFader;
  GFader = nullptr;
  delete Fader;
}

}  // namespace dx_fading_detail
