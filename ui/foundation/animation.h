// Time-based animation: a transition maps the time since its start,
// through an easing curve, onto a position 0 .. length and tells its owner
// whenever the position changes; one process-wide controller steps every
// running transition from one 1 ms timer, and the timer runs only while a
// transition does. An image transition also draws the frame between two
// pictures (slides, a fade and segmented fades). User-interface thread only.
#pragma once

#include <vector>

#include "platform/rtl/closure.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TBitmap;
class TcxBitmap32;
class TcxCanvas;
class TcxObjectList;
class TcxTimer;
class TdxGPImage;
class TGraphic;
struct GpGraphics;
class TdxAnimationController;
class TdxAnimationInfo;
class TdxAnimationTransition;

// ---- Clock --------------------------------------------------------------------------

// The performance counter, or the millisecond tick count (zero-extended)
// when the counter cannot be read.
Int64 dxPreciseTickCount();
// Milliseconds as counter ticks; unchanged when the frequency is unknown.
Int64 dxMillisecondsToTicks(Cardinal AMilliseconds);
// A x B / ADivisor truncated, the product in 64 bits and the division in
// extended precision; 0 for a divisor of 0.
Int64 dxScaleInt64(Int64 A, Int64 B, Int64 ADivisor);

// ---- Transitions --------------------------------------------------------------------

// Any other value behaves as linear.
enum TdxAnimationTransitionEffect : Byte {
  ateLinear = 0,
  ateSexticEaseOut = 1,
  ateCubeRootEaseOut = 2,
  ateTanhSCurve = 3,
};

// The curve's position for AElapsed of ATotal ticks, clamped to
// 0 .. ALength.
Integer dxAnimationCurvePosition(TdxAnimationTransitionEffect AEffect, Integer ALength, Int64 AElapsed, Int64 ATotal);

using TdxAnimationTransitionEvent = TClosure<void(TdxAnimationTransition* Sender, Integer& APosition, bool& AFinished)>;

// Made locked and registered with the controller; the owner sets its
// events, then either unlocks it (the controller's timer plays it) or runs
// it to its end at once. Frees itself once finished unless told otherwise.
// A handler may finish it, replay it, change the position it sees, or free
// it (nothing of the transition is touched afterwards).
class TdxAnimationTransition : public TObject {
  RTL_CLASS(TdxAnimationTransition, TObject)
  friend class TdxAnimationController;
  using TCurve = Integer (*)(Integer ALength, Int64 AElapsed, Int64 ATotal);

  Int64 FCurrentTick = 0;
  Int64 FFinishTick = 0;
  bool FFinished = false;
  bool FFreeWhenFinished = true;
  TdxAnimationInfo* FInfo;  // owned
  Integer FLength;
  Integer FLockCount = 1;
  Integer FPosition = 0;
  Int64 FStartTick = 0;
  Cardinal FTime;
  TdxAnimationTransitionEffect FEffect;
  TCurve FCurve;
  // Whether the controller counts this transition as running.
  bool FCounted = false;
  // Set by the controller when it registers the transition.
  uint64_t FSerial = 0;

  // The innermost call in progress on this transition learns from it
  // whether the transition was freed meanwhile.
  struct TLifeGuard {
    TdxAnimationTransition* Owner;
    TLifeGuard* Outer;
    bool Freed = false;
    explicit TLifeGuard(TdxAnimationTransition* AOwner);
    ~TLifeGuard();
  };
  TLifeGuard* FLifeGuard = nullptr;

  // Tells the controller when the transition starts or stops running.
  void UpdateRunning();
  // The step operations in order; false when a handler freed the
  // transition.
  bool RunSteps();

 protected:
  // For image transitions: the info object comes made.
  TdxAnimationTransition(Integer ATime, Integer ALength, TdxAnimationTransitionEffect AEffect, TdxAnimationInfo* AInfo);

  virtual void DoAfterStep(Integer& APosition, bool& AFinished);
  virtual void DoStep(Integer& APosition, bool& AFinished);
  virtual void DoBeforeStep(Integer& APosition, bool& AFinished);

  void StartTiming();
  void UpdatePosition();
  // One timer step; false when the transition was freed.
  bool Tick();

 public:
  // A time or a length of 0 or less ends the transition at its first step
  // (a negative length counts as 0).
  TdxAnimationTransition(Integer ATime, Integer ALength, TdxAnimationTransitionEffect AEffect = ateLinear);
  ~TdxAnimationTransition() override;

  // True here; a transition that answers false is finished when ANew is
  // made. ANew is still being constructed: only its base part is there.
  virtual bool CanRunWith(TdxAnimationTransition* ANew);

  void Lock();
  // From 1 to 0 the transition starts (or resumes where it was).
  void Unlock();
  // Plays the transition through without the message loop, locked or not;
  // then frees it when it is finished and free when finished.
  void RunToEnd();

  bool IsFinished() const { return FFinished; }
  bool IsLocked() const { return FLockCount > 0; }
  // True jumps to the end (with its events); false on a finished
  // transition plays it again from the beginning.
  void SetFinished(bool AValue);

  Integer Position() const { return FPosition; }
  Integer Length() const { return FLength; }
  Cardinal Time() const { return FTime; }
  TdxAnimationTransitionEffect Effect() const { return FEffect; }
  bool FreeWhenFinished() const { return FFreeWhenFinished; }
  void SetFreeWhenFinished(bool AValue) { FFreeWhenFinished = AValue; }
  TdxAnimationInfo* Info() const { return FInfo; }

  TdxAnimationTransitionEvent OnAfterStep;
  TdxAnimationTransitionEvent OnStep;
  TdxAnimationTransitionEvent OnBeforeStep;
  TNotifyEvent OnFinished;
};

// ---- Image transitions ----------------------------------------------------------------

enum TdxImageAnimationMode : Byte {
  iamSlideLeft = 0,
  iamSlideUp = 1,
  iamSlideRight = 2,
  iamSlideDown = 3,
  iamFade = 4,
  iamSegmentedFade = 5,
  iamRandomSegmentedFade = 6,
};

// The segments of a segmented fade: each cell fades from the start image
// to the finish image over Duration percent of the transition, beginning
// at its own delay.
class TdxAnimationInfoSegments : public TObject {
  RTL_CLASS(TdxAnimationInfoSegments, TObject)

 public:
  // Diagonal delays from the top-left corner, or random ones
  // (RandSeed's sequence) for ARandom.
  TdxAnimationInfoSegments(const TRect& AFrame, bool ARandom);

  std::vector<std::vector<Integer>> StartDelays;
  std::vector<std::vector<TRect>> DestRects;
  std::vector<std::vector<TRect>> SourceRects;
  Integer Left = 0;
  Integer Top = 0;
  Integer RowCount = 0;
  Integer ColumnCount = 0;
  Integer Duration = 0;

  // Moves the destination rectangles with the frame.
  void MoveTo(Integer ALeft, Integer ATop);
  // The cell's alpha (0 .. 255) of the finish image at APosition percent.
  Byte SegmentAlpha(Integer ARow, Integer AColumn, Integer APosition) const;
};

// What an image transition draws: the two pictures as GDI+ images and the
// bitmap each frame is composed in.
class TdxAnimationInfo : public TObject {
  RTL_CLASS(TdxAnimationInfo, TObject)
  TcxBitmap32* FDestination;  // owned
  bool FOwnGraphics;
  TdxAnimationInfoSegments* FSegments = nullptr;  // owned
  TdxGPImage* FStartImage;
  TdxGPImage* FFinishImage;
  TGraphic* FStartGraphic;
  TGraphic* FFinishGraphic;
  bool FStartImageMade = false;
  bool FFinishImageMade = false;

 public:
  // AOwnGraphics: the two graphics are freed with the info.
  TdxAnimationInfo(TGraphic* AStartGraphic, TGraphic* AFinishGraphic, bool AOwnGraphics);
  ~TdxAnimationInfo() override;

  // The image to draw for a graphic: a GDI+ image of bitmap format as it is
  // (AMade false), else a new one (AMade true); null for null.
  static TdxGPImage* PrepareImage(TGraphic* AGraphic, bool& AMade);

  TcxBitmap32* Destination() const { return FDestination; }
  TdxGPImage* StartImage() const { return FStartImage; }
  TdxGPImage* FinishImage() const { return FFinishImage; }
  TdxAnimationInfoSegments* Segments() const { return FSegments; }
  // Made for the frame at the first segmented frame.
  TdxAnimationInfoSegments* NeedSegments(const TRect& AFrame, bool ARandom);
  // Both images there, not empty and of one size.
  bool CanDraw() const;
};

class TdxImageAnimationTransition : public TdxAnimationTransition {
  RTL_CLASS(TdxImageAnimationTransition, TdxAnimationTransition)
  TdxImageAnimationMode FMode;

  struct TSetup {
    TdxAnimationInfo* Info;
    Integer Time;
    Integer Length;
  };
  static TSetup SetUp(TGraphic* AImage1, TGraphic* AImage2, TdxImageAnimationMode AMode, Integer ATime, Integer ALength,
                      bool AOwnImages);
  TdxImageAnimationTransition(const TSetup& ASetup, TdxImageAnimationMode AMode, TdxAnimationTransitionEffect AEffect);
  void DrawFrame(TdxAnimationInfo* AInfo, GpGraphics* AGraphics, const TRect& AFrame);

 public:
  // AImage1 is the start picture (a 32-bit bitmap or any graphic), AImage2
  // the finish picture. Fades take the length 100 (percent) whatever is
  // passed; for slides -1 means the start picture's width (left, right) or
  // height (up, down). Pictures that cannot be drawn (missing, empty, of two
  // sizes) or an unknown mode end the transition at its first step and
  // draw nothing.
  TdxImageAnimationTransition(TGraphic* AImage1, TGraphic* AImage2, TdxImageAnimationMode AMode, Integer ATime,
                              Integer ALength = -1, TdxAnimationTransitionEffect AEffect = ateLinear,
                              bool AOwnImages = false);

  TdxImageAnimationMode Mode() const { return FMode; }
  // Paints the frame of the current position into R of the canvas.
  void Draw(TcxCanvas* ACanvas, const TRect& R);
};

// ---- Controller ----------------------------------------------------------------------

class TdxAnimationController : public TObject {
  RTL_CLASS(TdxAnimationController, TObject)
  TcxObjectList* FTransitions;  // owns them
  Integer FActiveCount = 0;
  TcxTimer* FTimer;
  uint64_t FNextSerial = 1;

 public:
  TdxAnimationController();
  ~TdxAnimationController() override;

  virtual void TimerHandler(TObject* Sender);

  // Finishes every registered transition that cannot run with ANew, then
  // registers ANew.
  void AddTransition(TdxAnimationTransition* ANew);
  void RemoveTransition(TdxAnimationTransition* ATransition);
  // Counts a transition that starts running and turns the timer on.
  void TransitionStarted();
  // Counts one that ended (finished, locked again or freed); the timer
  // stops when none runs.
  void TransitionStopped();

  Integer TransitionCount() const;
  TdxAnimationTransition* Transitions(Integer AIndex) const;
  Integer ActiveCount() const { return FActiveCount; }
  TcxTimer* Timer() const { return FTimer; }
};

// Made on first use; null once the unit has shut down.
TdxAnimationController* dxAnimationControllerInstance();

namespace dx_animation_detail {
// The unit's start-up (the controller may be made again) and shut-down
// (the controller and its transitions go).
void StartAnimation();
void StopAnimation();
}  // namespace dx_animation_detail
