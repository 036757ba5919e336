// Hot-track fading: when the mouse enters or leaves an element, the element
// is painted for a short while from frames that cross-fade between its
// normal and its hot picture. One process-wide fader runs every fade from
// one 10 ms timer; an element takes part through IdxFadingObject and, when
// asked to paint, first lets the fader paint its current frame. A fade that
// cannot be shown is simply not started. User-interface thread only.
#pragma once

#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/lists.h"
#include "platform/win/gdi/gdi_records.h"
#include "platform/win/kernel/objidl.h"
#include "platform/win/kernel/windef.h"
#include "ui/foundation/core_classes.h"

class TBitmap;
class TcxBitmap32;
class TdxGPImage;
class TTimer;
class TdxFader;

inline constexpr IID IID_IdxFadingObject = {
    0x73AB2A92, 0xCDD9, 0x4F13, {0x96, 0x5A, 0xDC, 0x79, 0x9D, 0xE8, 0x37, 0xF9}};

// An element that fades. Its paint asks TdxFader::PaintFadingObject first.
class IdxFadingObject : public IUnknown {
 public:
  // Whether the element wants to fade now.
  virtual bool FadingWanted() = 0;
  // The frame changed: repaint yourself. The element may free itself here.
  virtual void RepaintFadingFrame() = 0;
  // Two new bitmaps of the element, normal and hot; the fader frees them.
  virtual void ProvideFadeBitmaps(TcxBitmap32*& ANormalBitmap, TcxBitmap32*& AHotBitmap) = 0;

 protected:
  ~IdxFadingObject() = default;
};

class TdxFadingOptions;

inline constexpr IID IID_IdxFadingOptionsProvider = {
    0xFAAAF4F8, 0x7F10, 0x42CD, {0x93, 0x68, 0x2B, 0xB5, 0xA1, 0xF1, 0x48, 0x2B}};

// Implemented by a fading object with timing of its own.
class IdxFadingOptionsProvider : public IUnknown {
 public:
  // Null: the defaults.
  virtual TdxFadingOptions* GetFadingOptions() = 0;

 protected:
  ~IdxFadingOptionsProvider() = default;
};

// Frame counts 0..32 and frame delays 10..300 ms; the setters clamp.
class TdxFadingOptions : public TPersistent {
  RTL_CLASS(TdxFadingOptions, TPersistent)
  Integer FFadeInFrameCount = 4;
  Integer FFadeInFrameDelay = 15;
  Integer FFadeOutFrameCount = 12;
  Integer FFadeOutFrameDelay = 20;

 public:
  TdxFadingOptions() = default;
  // Another TdxFadingOptions is copied through the setters; anything else
  // goes to the inherited assignment, which refuses it.
  void Assign(TPersistent* Source) override;

  Integer FadeInFrameCount() const { return FFadeInFrameCount; }
  void SetFadeInFrameCount(Integer AValue);
  Integer FadeInFrameDelay() const { return FFadeInFrameDelay; }
  void SetFadeInFrameDelay(Integer AValue);
  Integer FadeOutFrameCount() const { return FFadeOutFrameCount; }
  void SetFadeOutFrameCount(Integer AValue);
  Integer FadeOutFrameDelay() const { return FFadeOutFrameDelay; }
  void SetFadeOutFrameDelay(Integer AValue);
};

using TRGBColors = std::vector<RGBQUAD>;

// One running fade: the pixels of both ends and the frame on screen.
class TdxFadingElement : public TcxIUnknownObject {
  RTL_CLASS(TdxFadingElement, TcxIUnknownObject)
  friend class TdxFader;

  Integer FFrameCount = 1;
  Integer FFrameDelay = 1;
  Integer FTicksPerFrame = 1;
  Integer FTickIndex = 0;
  TObject* FElement;
  IdxFadingObject* FFadingObject;
  Integer FImageWidth = 0;
  Integer FImageHeight = 0;
  TdxFader* FFader;
  Integer FStage = 0;
  TdxGPImage* FWorkImage = nullptr;  // owned
  TRGBColors FStartPixels;
  TRGBColors FEndPixels;
  uint64_t FSerial = 0;

  // As with transitions: the innermost call in progress learns from it
  // whether the element was freed (by the object's repaint) meanwhile.
  struct TLifeGuard {
    TdxFadingElement* Owner;
    TLifeGuard* Outer;
    bool Freed = false;
    explicit TLifeGuard(TdxFadingElement* AOwner);
    ~TLifeGuard();
  };
  TLifeGuard* FLifeGuard = nullptr;

 public:
  TdxFadingElement(TdxFader* AFader, TObject* AElement, IdxFadingObject* AFadingObject);
  // Leaves the fader's list.
  ~TdxFadingElement() override;

  // Count clamped to 1..32, delay to 1..300 ms; one frame per delay div 10
  // ticks (at least one); the tick index starts again.
  void SetTiming(Integer AFrameCount, Integer AFrameDelay);
  // Both read as 32-bit pixels, top-down; a pixel of alpha 0 that is not
  // black was drawn by GDI and becomes opaque.
  void SetImages(TBitmap* AStartBitmap, TBitmap* AEndBitmap);
  // The frame of the current stage becomes the work image.
  void BuildFrame();
  // One timer tick: a new frame every TicksPerFrame ticks, and the end one
  // tick after the last frame.
  void Step();
  // Drops the frame, asks the object to repaint and frees the element.
  void Finish();

  Integer FrameCount() const { return FFrameCount; }
  Integer FrameDelay() const { return FFrameDelay; }
  Integer TicksPerFrame() const { return FTicksPerFrame; }
  Integer TickIndex() const { return FTickIndex; }
  Integer Stage() const { return FStage; }
  TObject* Element() const { return FElement; }
  IdxFadingObject* FadingObject() const { return FFadingObject; }
  Integer ImageWidth() const { return FImageWidth; }
  Integer ImageHeight() const { return FImageHeight; }
  TdxGPImage* WorkImage() const { return FWorkImage; }
  const TRGBColors& StartPixels() const { return FStartPixels; }
  const TRGBColors& EndPixels() const { return FEndPixels; }

 private:
  void SetWorkImage(TdxGPImage* AImage);
};

// The running elements in order of start; clearing frees them.
class TdxFadingList : public TList {
  RTL_CLASS(TdxFadingList, TList)

 public:
  TdxFadingList() = default;
  ~TdxFadingList() override;
  void Clear() override;
  TdxFadingElement* Element(Integer AIndex) const { return static_cast<TdxFadingElement*>(Items(AIndex)); }
};

class TdxFader : public TObject {
  RTL_CLASS(TdxFader, TObject)
  TdxFadingList* FList;  // owned
  Integer FMaxAnimationCount = 10;
  TTimer* FTimer;  // owned
  uint64_t FNextSerial = 1;

  void TimerTick(TObject* Sender);
  void StartFading(TObject* AObject, bool AFadeOut);
  // Takes ownership of both bitmaps.
  void BeginElementFade(TObject* AObject, TBitmap* AStartBitmap, Integer AFrameDelay, Integer AFrameCount,
                        TBitmap* AEndBitmap);
  void AddElement(TdxFadingElement* AElement);
  void RemoveElement(TdxFadingElement* AElement);
  // Finishes the oldest fades beyond the maximum; the timer runs exactly
  // while a fade does.
  void TrimQueue();

  friend class TdxFadingElement;

 public:
  TdxFader();
  ~TdxFader() override;

  // Fading is active, GDI+ is there and the screen is deeper than 16 bits.
  bool CanAnimate();
  // The system's menu-animation setting.
  bool IsActive();
  bool CanFadeObject(TObject* AObject, IdxFadingObject*& AFadingObject);

  void StartFadeIn(TObject* AObject);
  void StartFadeOut(TObject* AObject);
  // Draws the object's current frame into R; false (nothing drawn) when no
  // fade of the object runs.
  bool PaintFadingObject(TObject* AObject, HDC DC, const TRect& R);
  bool LookupElement(TObject* AObject, TdxFadingElement*& AElement);
  // Ends the object's fade: silently when it is being destroyed, else with
  // a repaint.
  void DetachObject(TObject* AObject, bool ADestroying = false);
  // Frees every fade without repaints.
  void ClearElements();

  Integer Count() const { return FList->Count(); }
  TdxFadingElement* Elements(Integer AIndex) const { return FList->Element(AIndex); }
  Integer MaxAnimationCount() const { return FMaxAnimationCount; }
  TTimer* Timer() const { return FTimer; }
};

// A fading object that is not a control; descendants answer whether to
// fade, repaint their area and supply the two bitmaps.
class TdxFadingObjectHelper : public TcxIUnknownObject, public IdxFadingObject {
  RTL_CLASS(TdxFadingObjectHelper, TcxIUnknownObject)

 protected:
  bool GetInterface(REFIID iid, void** obj) override;

  virtual void BeginFadeIn();
  virtual void BeginFadeOut();
  // Ends a running fade at once (with a repaint).
  virtual void CancelFading();

 public:
  TdxFadingObjectHelper() = default;
  // Detaches from the fader, silently.
  ~TdxFadingObjectHelper() override;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    return TcxIUnknownObject::QueryInterface(riid, ppvObject);
  }
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }

  bool FadingWanted() override { return false; }
  void RepaintFadingFrame() override {}
  void ProvideFadeBitmaps(TcxBitmap32*&, TcxBitmap32*&) override {}

  // Button states of the painters: 2 is hot, 0 and 1 lie below it.
  // Entering hot fades in, leaving it downwards fades out, any other
  // change (hot to pressed) ends the fade at once.
  void StateChanged(Integer APreviousState, Integer ANewState);
  bool PaintFrame(HDC DC, const TRect& R);
};

// The process-wide fader; null outside the unit's life.
TdxFader* dxGetFader();

namespace dx_fading_detail {
void StartFading();
void StopFading();
}  // namespace dx_fading_detail
