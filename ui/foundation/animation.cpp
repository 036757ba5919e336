#include "ui/foundation/animation.h"

#include <algorithm>
#include <cmath>

#include "platform/forms/bitmap.h"
#include "platform/forms/graphics.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/threads.h"
#include "platform/win/kernel/kernel_system.h"
#include "ui/foundation/alpha_blend.h"
#include "ui/foundation/bitmaps.h"
#include "ui/foundation/canvas.h"
#include "ui/foundation/cx_classes.h"
#include "ui/foundation/cx_components.h"
#include "ui/foundation/gdiplus_canvas.h"
#include "ui/foundation/gdiplus_images.h"

RTL_IMPLEMENT_CLASS(TdxAnimationTransition)
RTL_IMPLEMENT_CLASS(TdxAnimationInfoSegments)
RTL_IMPLEMENT_CLASS(TdxAnimationInfo)
RTL_IMPLEMENT_CLASS(TdxImageAnimationTransition)
RTL_IMPLEMENT_CLASS(TdxAnimationController)

namespace {

TdxAnimationController* GController = nullptr;
bool GFinalized = false;

// ---- Curves ----

Integer CurveLinear(Integer ALength, Int64 AElapsed, Int64 ATotal) {
  return static_cast<Integer>(dxScaleInt64(ALength, AElapsed, ATotal));
}

Integer CurveSexticEaseOut(Integer ALength, Int64 AElapsed, Int64 ATotal) {
  const double t = static_cast<double>(AElapsed) / static_cast<double>(ATotal);
  // nearbyint rounds halves to even under the default rounding mode.
  return static_cast<Integer>(std::nearbyint(ALength * (1.0 - std::pow(t - 1.0, 6))));
}

Integer CurveCubeRootEaseOut(Integer ALength, Int64 AElapsed, Int64 ATotal) {
  const long double k = static_cast<long double>(ALength) - 1;
  const long double v = static_cast<long double>(AElapsed) * (k * k * k + 1) / static_cast<long double>(ATotal) - 1;
  return static_cast<Integer>(std::trunc(std::cbrt(v) + 1 + 0.5L));
}

Integer CurveTanhSCurve(Integer ALength, Int64 AElapsed, Int64 ATotal) {
  const double t = static_cast<double>(AElapsed) / static_cast<double>(ATotal);
  const double k = ALength / (2 * std::tanh(3.0));
  return static_cast<Integer>(std::trunc(k * (std::tanh(6 * t - 3) - std::tanh(-3.0)) + 0.5));
}

using TCurve = Integer (*)(Integer, Int64, Int64);

TCurve CurveOf(TdxAnimationTransitionEffect AEffect) {
  switch (AEffect) {
    case ateSexticEaseOut:
      return &CurveSexticEaseOut;
    case ateCubeRootEaseOut:
      return &CurveCubeRootEaseOut;
    case ateTanhSCurve:
      return &CurveTanhSCurve;
    default:
      return &CurveLinear;
  }
}

Integer EvaluateCurve(TCurve ACurve, Integer ALength, Int64 AElapsed, Int64 ATotal) {
  if (ATotal <= 0) return ALength;
  return std::clamp(ACurve(ALength, std::clamp<Int64>(AElapsed, 0, ATotal), ATotal), 0, ALength);
}

// ---- Image transitions ----

bool IsKnownMode(TdxImageAnimationMode AMode) { return AMode <= iamRandomSegmentedFade; }

Integer ImageLength(TGraphic* AStart, TdxImageAnimationMode AMode, Integer ALength) {
  switch (AMode) {
    case iamFade:
    case iamSegmentedFade:
    case iamRandomSegmentedFade:
      return 100;
    case iamSlideLeft:
    case iamSlideRight:
      return ALength == -1 ? (AStart ? AStart->Width() : 0) : ALength;
    case iamSlideUp:
    case iamSlideDown:
      return ALength == -1 ? (AStart ? AStart->Height() : 0) : ALength;
    default:
      return ALength;
  }
}

}  // namespace

// ---- Clock ---------------------------------------------------------------------------

Int64 dxPreciseTickCount() {
  LARGE_INTEGER Count;
  if (QueryPerformanceCounter(&Count)) return Count.QuadPart;
  return static_cast<Int64>(static_cast<uint32_t>(GetTickCount()));
}

Int64 dxMillisecondsToTicks(Cardinal AMilliseconds) {
  LARGE_INTEGER Frequency;
  if (QueryPerformanceFrequency(&Frequency)) return static_cast<Int64>(AMilliseconds) * Frequency.QuadPart / 1000;
  return AMilliseconds;
}

Int64 dxScaleInt64(Int64 A, Int64 B, Int64 ADivisor) {
  if (ADivisor == 0) return 0;
  // Exact product even past 64 bits, so a long transition never wraps.
  const __int128 Product = static_cast<__int128>(A) * B;
  return static_cast<Int64>(std::trunc(static_cast<long double>(Product) / static_cast<long double>(ADivisor)));
}

Integer dxAnimationCurvePosition(TdxAnimationTransitionEffect AEffect, Integer ALength, Int64 AElapsed, Int64 ATotal) {
  return EvaluateCurve(CurveOf(AEffect), std::max(ALength, 0), AElapsed, ATotal);
}

// ---- TdxAnimationTransition -----------------------------------------------------------

TdxAnimationTransition::TLifeGuard::TLifeGuard(TdxAnimationTransition* AOwner)
    : Owner(AOwner), Outer(AOwner->FLifeGuard) {
  AOwner->FLifeGuard = this;
}

TdxAnimationTransition::TLifeGuard::~TLifeGuard() {
  if (!Freed) Owner->FLifeGuard = Outer;
}

TdxAnimationTransition::TdxAnimationTransition(Integer ATime, Integer ALength, TdxAnimationTransitionEffect AEffect)
    : TdxAnimationTransition(ATime, ALength, AEffect, nullptr) {}

TdxAnimationTransition::TdxAnimationTransition(Integer ATime, Integer ALength, TdxAnimationTransitionEffect AEffect,
                                               TdxAnimationInfo* AInfo)
    : FInfo(AInfo),
      FLength(std::max(ALength, 0)),
      // Nothing to move through: the first step is the end.
      FTime(ATime > 0 && ALength > 0 ? static_cast<Cardinal>(ATime) : 0),
      FEffect(AEffect),
      FCurve(CurveOf(AEffect)) {
  try {
    if (TdxAnimationController* Controller = dxAnimationControllerInstance()) Controller->AddTransition(this);
  } catch (...) {
    delete FInfo;
    throw;
  }
}

TdxAnimationTransition::~TdxAnimationTransition() {
  for (TLifeGuard* Guard = FLifeGuard; Guard; Guard = Guard->Outer) Guard->Freed = true;
  if (GController) {
    if (FCounted) GController->TransitionStopped();
    GController->RemoveTransition(this);
  }
  delete FInfo;
}

bool TdxAnimationTransition::CanRunWith(TdxAnimationTransition*) { return true; }

void TdxAnimationTransition::UpdateRunning() {
  // A finished transition that frees itself still needs the tick that
  // frees it.
  const bool Running = FLockCount == 0 && (!FFinished || FFreeWhenFinished);
  if (Running == FCounted || !GController) return;
  FCounted = Running;
  if (Running)
    GController->TransitionStarted();
  else
    GController->TransitionStopped();
}

void TdxAnimationTransition::Lock() {
  ++FLockCount;
  UpdateRunning();
}

void TdxAnimationTransition::Unlock() {
  if (FLockCount <= 0) return;
  if (--FLockCount == 0) {
    StartTiming();
    UpdateRunning();
  }
}

void TdxAnimationTransition::StartTiming() {
  const Int64 Now = dxPreciseTickCount();
  if (FCurrentTick == 0) {
    FStartTick = Now;
  } else {
    const Int64 Elapsed = FCurrentTick - FStartTick;
    FStartTick = Now - Elapsed;
    FCurrentTick = Now;
  }
  FFinishTick = FStartTick + dxMillisecondsToTicks(FTime);
}

void TdxAnimationTransition::UpdatePosition() {
  TLifeGuard Guard(this);
  FCurrentTick = std::min(dxPreciseTickCount(), FFinishTick);
  FFinished = FFinished || FCurrentTick >= FFinishTick;
  Integer NewPosition;
  if (FFinished) {
    FCurrentTick = FFinishTick;
    NewPosition = FLength;
  } else {
    NewPosition = EvaluateCurve(FCurve, FLength, FCurrentTick - FStartTick, FFinishTick - FStartTick);
  }
  if (NewPosition != FPosition || FPosition == 0 || FFinished) {
    FPosition = NewPosition;
    if (!RunSteps()) return;
  }
  UpdateRunning();
}

bool TdxAnimationTransition::RunSteps() {
  TLifeGuard Guard(this);
  // A handler that changes the finished state has the steps of the new
  // state run at once; the rest of this round would repeat them (and
  // OnFinished) with a stale state.
  bool Finished = FFinished;
  DoBeforeStep(FPosition, Finished);
  if (Guard.Freed) return false;
  if (Finished != FFinished) {
    SetFinished(Finished);
    return !Guard.Freed;
  }
  Finished = FFinished;
  DoStep(FPosition, Finished);
  if (Guard.Freed) return false;
  if (Finished != FFinished) {
    SetFinished(Finished);
    return !Guard.Freed;
  }
  Finished = FFinished;
  DoAfterStep(FPosition, Finished);
  if (Guard.Freed) return false;
  FFinished = Finished;
  if (FFinished && OnFinished) {
    const TNotifyEvent Handler = OnFinished;
    Handler(this);
    if (Guard.Freed) return false;
  }
  return true;
}

void TdxAnimationTransition::DoBeforeStep(Integer& APosition, bool& AFinished) {
  if (!OnBeforeStep) return;
  // A copy: the handler may free the transition and its events with it.
  const TdxAnimationTransitionEvent Handler = OnBeforeStep;
  Handler(this, APosition, AFinished);
}

void TdxAnimationTransition::DoStep(Integer& APosition, bool& AFinished) {
  if (!OnStep) return;
  const TdxAnimationTransitionEvent Handler = OnStep;
  Handler(this, APosition, AFinished);
}

void TdxAnimationTransition::DoAfterStep(Integer& APosition, bool& AFinished) {
  if (!OnAfterStep) return;
  const TdxAnimationTransitionEvent Handler = OnAfterStep;
  Handler(this, APosition, AFinished);
}

void TdxAnimationTransition::SetFinished(bool AValue) {
  if (FFinished == AValue) return;
  TLifeGuard Guard(this);
  FCurrentTick = FFinishTick;
  FFinished = AValue;
  if (!AValue) {
    FCurrentTick = 0;
    StartTiming();
  }
  UpdatePosition();
  if (!Guard.Freed) UpdateRunning();
}

bool TdxAnimationTransition::Tick() {
  if (IsLocked()) return true;
  TLifeGuard Guard(this);
  if (FFinished || dxPreciseTickCount() >= FFinishTick)
    SetFinished(true);
  else
    UpdatePosition();
  if (Guard.Freed) return false;
  if (FFinished && FFreeWhenFinished) {
    delete this;
    return false;
  }
  return true;
}

void TdxAnimationTransition::RunToEnd() {
  TLifeGuard Guard(this);
  StartTiming();
  while (!FFinished) {
    UpdatePosition();
    if (Guard.Freed) return;
  }
  if (FFreeWhenFinished) delete this;
}

// ---- TdxAnimationInfoSegments --------------------------------------------------------------

TdxAnimationInfoSegments::TdxAnimationInfoSegments(const TRect& AFrame, bool ARandom)
    : Left(AFrame.Left), Top(AFrame.Top) {
  const Integer W = AFrame.Width(), H = AFrame.Height();
  if (W <= 0 || H <= 0) return;
  Integer SegmentWidth = std::min(100, std::max(1, W / 10));
  Integer SegmentHeight = std::min(100, std::max(1, H / 10));
  while (SegmentWidth > 1 && W / SegmentWidth <= 4) --SegmentWidth;
  while (SegmentHeight > 1 && H / SegmentHeight <= 4) --SegmentHeight;
  ColumnCount = (W + SegmentWidth - 1) / SegmentWidth;
  RowCount = (H + SegmentHeight - 1) / SegmentHeight;
  Duration = std::max(1, 100 / std::min(RowCount, ColumnCount));

  StartDelays.assign(RowCount, std::vector<Integer>(ColumnCount));
  SourceRects.assign(RowCount, std::vector<TRect>(ColumnCount));
  DestRects.assign(RowCount, std::vector<TRect>(ColumnCount));
  for (Integer i = 0; i < RowCount; ++i)
    for (Integer j = 0; j < ColumnCount; ++j) {
      const TRect Source(j * SegmentWidth, i * SegmentHeight, std::min((j + 1) * SegmentWidth, W),
                         std::min((i + 1) * SegmentHeight, H));
      SourceRects[i][j] = Source;
      DestRects[i][j] = TRect(Source.Left + Left, Source.Top + Top, Source.Right + Left, Source.Bottom + Top);
      StartDelays[i][j] =
          ARandom ? Random(100 - Duration + 1) : MulDiv(100 - Duration, i + j + 2, RowCount + ColumnCount);
    }
}

void TdxAnimationInfoSegments::MoveTo(Integer ALeft, Integer ATop) {
  const Integer DX = ALeft - Left, DY = ATop - Top;
  if (DX == 0 && DY == 0) return;
  for (auto& Row : DestRects)
    for (TRect& R : Row) R = TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY);
  Left = ALeft;
  Top = ATop;
}

Byte TdxAnimationInfoSegments::SegmentAlpha(Integer ARow, Integer AColumn, Integer APosition) const {
  return static_cast<Byte>(std::clamp(MulDiv(255, APosition - StartDelays[ARow][AColumn], Duration), 0, 255));
}

// ---- TdxAnimationInfo ------------------------------------------------------------------

TdxAnimationInfo::TdxAnimationInfo(TGraphic* AStartGraphic, TGraphic* AFinishGraphic, bool AOwnGraphics)
    : FDestination(new TcxBitmap32(AStartGraphic ? AStartGraphic->Width() : 0,
                                   AStartGraphic ? AStartGraphic->Height() : 0, true)),
      FOwnGraphics(AOwnGraphics),
      FStartImage(nullptr),
      FFinishImage(nullptr),
      FStartGraphic(AStartGraphic),
      FFinishGraphic(AFinishGraphic) {
  FStartImage = PrepareImage(AStartGraphic, FStartImageMade);
  FFinishImage = PrepareImage(AFinishGraphic, FFinishImageMade);
}

TdxAnimationInfo::~TdxAnimationInfo() {
  delete FSegments;
  delete FDestination;
  if (FStartImageMade) delete FStartImage;
  if (FFinishImageMade) delete FFinishImage;
  if (FOwnGraphics) {
    delete FStartGraphic;
    if (FFinishGraphic != FStartGraphic) delete FFinishGraphic;
  }
}

TdxGPImage* TdxAnimationInfo::PrepareImage(TGraphic* AGraphic, bool& AMade) {
  AMade = false;
  if (!AGraphic) return nullptr;
  auto* Image = dynamic_cast<TdxGPImage*>(AGraphic);
  if (Image && Image->GetImageFormat() == dxImageBitmap) return Image;
  TdxGPImage* Result;
  if (auto* Bitmap = dynamic_cast<TBitmap*>(AGraphic)) {
    Result = new TdxGPImage(Bitmap);
  } else {
    TcxBitmap32 Buffer(AGraphic->Width(), AGraphic->Height(), true);
    Buffer.Canvas()->Draw(0, 0, AGraphic);
    Result = new TdxGPImage(Buffer.Handle());
  }
  AMade = true;
  TcxScreenCanvas* Screen = cxSharedScreenCanvas();
  if (Screen && dxGpDCNeedsBuffer(Screen->GetHandle())) Result->ConvertToFormat(dxImagePng);
  return Result;
}

TdxAnimationInfoSegments* TdxAnimationInfo::NeedSegments(const TRect& AFrame, bool ARandom) {
  if (!FSegments) FSegments = new TdxAnimationInfoSegments(AFrame, ARandom);
  return FSegments;
}

bool TdxAnimationInfo::CanDraw() const {
  if (!FStartImage || !FFinishImage || FStartImage->Empty() || FFinishImage->Empty()) return false;
  const TSize Start = FStartImage->GetSize(), Finish = FFinishImage->GetSize();
  return Start.cx == Finish.cx && Start.cy == Finish.cy;
}

// ---- TdxImageAnimationTransition ------------------------------------------------------------

TdxImageAnimationTransition::TSetup TdxImageAnimationTransition::SetUp(TGraphic* AImage1, TGraphic* AImage2,
                                                                       TdxImageAnimationMode AMode, Integer ATime,
                                                                       Integer ALength, bool AOwnImages) {
  auto* Info = new TdxAnimationInfo(AImage1, AImage2, AOwnImages);
  // Nothing to show: the transition ends at its first step.
  const bool CanShow = Info->CanDraw() && IsKnownMode(AMode);
  return {Info, CanShow ? ATime : 0, ImageLength(AImage1, AMode, ALength)};
}

TdxImageAnimationTransition::TdxImageAnimationTransition(TGraphic* AImage1, TGraphic* AImage2,
                                                         TdxImageAnimationMode AMode, Integer ATime, Integer ALength,
                                                         TdxAnimationTransitionEffect AEffect, bool AOwnImages)
    : TdxImageAnimationTransition(SetUp(AImage1, AImage2, AMode, ATime, ALength, AOwnImages), AMode, AEffect) {}

TdxImageAnimationTransition::TdxImageAnimationTransition(const TSetup& ASetup, TdxImageAnimationMode AMode,
                                                         TdxAnimationTransitionEffect AEffect)
    : TdxAnimationTransition(ASetup.Time, ASetup.Length, AEffect, ASetup.Info), FMode(AMode) {}

void TdxImageAnimationTransition::Draw(TcxCanvas* ACanvas, const TRect& R) {
  TdxAnimationInfo* AInfo = Info();
  if (!ACanvas || !AInfo || !AInfo->CanDraw() || !IsKnownMode(FMode) || R.Width() <= 0 || R.Height() <= 0) return;
  TcxBitmap32* Destination = AInfo->Destination();
  Destination->Clear();
  {
    TdxGPCanvas Graphics;
    Graphics.OpenOnDC(Destination->Canvas()->Handle());
    DrawFrame(AInfo, Graphics.Handle(), TRect(0, 0, R.Width(), R.Height()));
    Graphics.CloseGraphics();
  }
  cxAlphaBlendBitmapOntoDC(ACanvas->GetHandle(), Destination, R, 255, false, Destination->GetClientRect());
}

void TdxImageAnimationTransition::DrawFrame(TdxAnimationInfo* AInfo, GpGraphics* AGraphics, const TRect& AFrame) {
  const Integer W = AFrame.Width(), H = AFrame.Height(), X = AFrame.Left, Y = AFrame.Top, P = Position();
  GpImage* Start = AInfo->StartImage()->GetHandle();
  GpImage* Finish = AInfo->FinishImage()->GetHandle();
  auto DrawAt = [&](GpImage* AImage, Integer AX, Integer AY) {
    dxGpCheck(dxGpApi.GdipDrawImageRectI(AGraphics, AImage, AX, AY, W, H));
  };
  switch (FMode) {
    case iamSlideLeft:
      DrawAt(Start, X - P, Y);
      DrawAt(Finish, X + W - P, Y);
      break;
    case iamSlideUp:
      DrawAt(Start, X, Y - P);
      DrawAt(Finish, X, Y + H - P);
      break;
    case iamSlideRight:
      DrawAt(Start, X + P, Y);
      DrawAt(Finish, X + P - W, Y);
      break;
    case iamSlideDown:
      DrawAt(Start, X, Y + P);
      DrawAt(Finish, X, Y + P - H);
      break;
    case iamFade: {
      const TRect Whole(0, 0, W, H);
      dxGpDrawImagePart(AGraphics, Whole, Whole, dxGpOpaque, Start);
      dxGpDrawImagePart(AGraphics, Whole, Whole, TdxGpAlpha(static_cast<Byte>(MulDiv(255, P, 100))), Finish);
      break;
    }
    case iamSegmentedFade:
    case iamRandomSegmentedFade: {
      TdxAnimationInfoSegments* Segments = AInfo->NeedSegments(AFrame, FMode == iamRandomSegmentedFade);
      Segments->MoveTo(X, Y);
      for (Integer i = 0; i < Segments->RowCount; ++i)
        for (Integer j = 0; j < Segments->ColumnCount; ++j) {
          const Byte Alpha = Segments->SegmentAlpha(i, j, P);
          const TRect& Dest = Segments->DestRects[i][j];
          const TRect& Source = Segments->SourceRects[i][j];
          if (Alpha < 255) dxGpDrawImagePart(AGraphics, Dest, Source, dxGpOpaque, Start);
          if (Alpha > 0) dxGpDrawImagePart(AGraphics, Dest, Source, TdxGpAlpha(Alpha), Finish);
        }
      break;
    }
  }
}

// ---- TdxAnimationController ------------------------------------------------------------------

TdxAnimationController::TdxAnimationController()
    : FTransitions(new TcxObjectList(true)), FTimer(new TcxTimer(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(1);
  FTimer->SetOnTimer(TNotifyEvent(this, &TdxAnimationController::TimerHandler));
}

TdxAnimationController::~TdxAnimationController() {
  delete FTimer;
  FTimer = nullptr;
  // Each transition takes itself off the list as it goes.
  while (FTransitions->Count() > 0) delete Transitions(FTransitions->Count() - 1);
  delete FTransitions;
  if (GController == this) GController = nullptr;
}

Integer TdxAnimationController::TransitionCount() const { return FTransitions->Count(); }

TdxAnimationTransition* TdxAnimationController::Transitions(Integer AIndex) const {
  return static_cast<TdxAnimationTransition*>(FTransitions->ItemAt(AIndex));
}

namespace {

struct TRegistration {
  TdxAnimationTransition* Transition;
  uint64_t Serial;
};

}  // namespace

void TdxAnimationController::AddTransition(TdxAnimationTransition* ANew) {
  ANew->FSerial = FNextSerial++;
  // Handlers of the finished ones may make or free transitions meanwhile.
  std::vector<TRegistration> Walk;
  Walk.reserve(static_cast<size_t>(FTransitions->Count()));
  for (Integer i = 0; i < FTransitions->Count(); ++i) Walk.push_back({Transitions(i), Transitions(i)->FSerial});
  for (const TRegistration& R : Walk) {
    if (FTransitions->IndexOf(R.Transition) < 0 || R.Transition->FSerial != R.Serial) continue;
    if (!R.Transition->CanRunWith(ANew)) R.Transition->SetFinished(true);
  }
  FTransitions->Add(ANew);
}

void TdxAnimationController::RemoveTransition(TdxAnimationTransition* ATransition) {
  FTransitions->Remove(ATransition);
}

void TdxAnimationController::TransitionStarted() {
  ++FActiveCount;
  if (FActiveCount > 0 && FTimer) FTimer->SetEnabled(true);
}

void TdxAnimationController::TransitionStopped() {
  if (FActiveCount > 0) --FActiveCount;
  if (FActiveCount == 0 && FTimer) FTimer->SetEnabled(false);
}

void TdxAnimationController::TimerHandler(TObject*) {
  // Newest first; a transition freed or made during the walk is skipped.
  std::vector<TRegistration> Walk;
  Walk.reserve(static_cast<size_t>(FTransitions->Count()));
  for (Integer i = FTransitions->Count() - 1; i >= 0; --i) Walk.push_back({Transitions(i), Transitions(i)->FSerial});
  for (const TRegistration& R : Walk) {
    if (GController != this) return;
    if (FTransitions->IndexOf(R.Transition) < 0 || R.Transition->FSerial != R.Serial) continue;
    R.Transition->Tick();
  }
}

TdxAnimationController* dxAnimationControllerInstance() {
  if (!GController && !GFinalized) GController = new TdxAnimationController();
  return GController;
}

namespace dx_animation_detail {

void StartAnimation() { GFinalized = false; }

void StopAnimation() {
  GFinalized = true;
  delete GController;
  GController = nullptr;
}

}  // namespace dx_animation_detail
