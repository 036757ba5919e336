// The library's non-visual component bases, the window-message timer that
// all its timed behaviour runs on, weak object links cleared when their
// target dies, a one-slot component holder and a few small functions.
#pragma once

#include "platform/rtl/classes.h"
#include "platform/rtl/closure.h"
#include "platform/rtl/types.h"
#include "platform/win/kernel/windef.h"

class TList;
class TFiler;
class TReader;
class TWriter;

// The common base of the library's components.
class TcxCustomComponent : public TComponent {
  RTL_CLASS(TcxCustomComponent, TComponent)

 public:
  explicit TcxCustomComponent(TComponent* AOwner) : TComponent(AOwner) {}
};

// A component that clears the object links to it when it dies and shows a
// form designer up to three linked components.
class TcxComponent : public TcxCustomComponent {
  RTL_CLASS(TcxComponent, TcxCustomComponent)
  TComponent* FFakeComponentLinks[3] = {};

 protected:
  // Adds the components a designer should show as linked; none here.
  virtual void CollectFakeLinks(TList* AList);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  explicit TcxComponent(TComponent* AOwner) : TcxCustomComponent(AOwner) {}
  ~TcxComponent() override;

  void Loaded() override;
  // Only in a designer, not while destroying and with an owner.
  void RefreshFakeLinks();

  TComponent* FakeComponentLink1() const { return FFakeComponentLinks[0]; }
  TComponent* FakeComponentLink2() const { return FFakeComponentLinks[1]; }
  TComponent* FakeComponentLink3() const { return FFakeComponentLinks[2]; }
  void SetFakeComponentLink1(TComponent* Value) { SetFakeLink(0, Value); }
  void SetFakeComponentLink2(TComponent* Value) { SetFakeLink(1, Value); }
  void SetFakeComponentLink3(TComponent* Value) { SetFakeLink(2, Value); }

 private:
  void SetFakeLink(Integer AIndex, TComponent* AValue);
};

// A component whose sizes were made for a screen resolution; read on
// another one, it rescales itself.
class TcxScalableComponent : public TcxComponent {
  RTL_CLASS(TcxScalableComponent, TcxComponent)
  Integer FPixelsPerInch;
  bool FScalable = true;

  void ReadPixelsPerInch(TReader* AReader);
  void WritePixelsPerInch(TWriter* AWriter);

 protected:
  void DefineProperties(TFiler* Filer) override;
  // Rescales the component's sizes; nothing here.
  virtual void ApplyScale(Integer ANewPixelsPerInch, Integer AOldPixelsPerInch);

 public:
  explicit TcxScalableComponent(TComponent* AOwner);

  void Loaded() override;

  Integer PixelsPerInch() const { return FPixelsPerInch; }
  bool Scalable() const { return FScalable; }
  void SetScalable(bool AValue) { FScalable = AValue; }
};

// A timer on the window messages of one shared hidden window; its id is
// its own address, so ids never collide.
class TcxTimer : public TComponent {
  RTL_CLASS(TcxTimer, TComponent)
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  bool FTimerOn = false;

  void Start();
  void Stop();
  void Restart() { Stop(), Start(); }

 public:
  explicit TcxTimer(TComponent* AOwner);
  ~TcxTimer() override;

  // Calls OnTimer when assigned.
  virtual void FireTimer();

  bool Enabled() const { return FEnabled; }
  // Restarts only when the value changes.
  void SetEnabled(bool AValue);
  Cardinal Interval() const { return FInterval; }
  // 0 is ignored; restarts only when the value changes.
  void SetInterval(Cardinal AValue);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  // Always restarts.
  void SetOnTimer(const TNotifyEvent& AValue);
  // Whether a window timer is set.
  bool TimerOn() const { return FTimerOn; }
  UINT_PTR TimerID() const { return reinterpret_cast<UINT_PTR>(this); }
};

// An ownerless timer; the caller frees it.
TcxTimer* cxMakeTimer(Cardinal AInterval, bool AEnabled, const TNotifyEvent& AEvent);

// A weak reference: Object() becomes null when the object is destroyed.
class TcxObjectLink : public TObject {
  RTL_CLASS(TcxObjectLink, TObject)
  friend void cxClearLinksToObject(TObject* AObject);
  TObject* FObject;

 public:
  explicit TcxObjectLink(TObject* AObject) : FObject(AObject) {}
  TObject* Object() const { return FObject; }
};

// Null for null.
TcxObjectLink* cxCreateObjectLink(TObject* AObject);
// Frees the link (null: nothing); the last one frees the link controller.
void cxFreeObjectLink(TcxObjectLink*& ALink);
// Every link to AObject gets null.
void cxClearLinksToObject(TObject* AObject);
// Whether the link controller exists (for tests).
bool cxObjectLinkControllerExists();

// Holds one component and lets go of it when it is destroyed.
class TcxComponentHolder : public TComponent {
  RTL_CLASS(TcxComponentHolder, TComponent)
  TComponent* FHeldComponent = nullptr;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 public:
  TcxComponentHolder() : TComponent(nullptr) {}
  explicit TcxComponentHolder(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxComponentHolder() override;

  TNotifyEvent OnHeldComponentChanging;
  TNotifyEvent OnHeldComponentChanged;

  TComponent* HeldComponent() const { return FHeldComponent; }
  void SetHeldComponent(TComponent* AValue);
};

// ---- Small functions ----------------------------------------------------------------------

void cxCallNotifyEvent(const TNotifyEvent& AEvent, TObject* ASender);
template <class Sig>
bool cxMethodsEqual(const TClosure<Sig>& A, const TClosure<Sig>& B) {
  return A == B;
}
inline TSize cxMakeSize(Integer ACX, Integer ACY) { return TSize{ACX, ACY}; }
// (A + B) halved, rounded toward minus infinity.
constexpr Integer cxRangeCenter(Integer A, Integer B) {
  const Int64 Sum = static_cast<Int64>(A) + B;
  return static_cast<Integer>(Sum >= 0 ? Sum / 2 : -((-Sum + 1) / 2));
}
// At most 256 characters; empty when the system answers nothing.
AnsiString cxGetWindowClassName(HWND AWindow);
// The byte length (1 to 4) of the UTF-8 character at the 1-based byte
// position; 1 for a byte that starts no whole character; 0 outside.
Integer cxCharLengthAt(const AnsiString& AText, Integer APosition);
LRESULT cxSendMessage(HWND AWindow, UINT AMessage, WPARAM AWParam, LPARAM ALParam);

namespace cx_classes_detail {
// The unit's start-up (the component classes join the control class
// group) and shut-down (the timer window and the active timer list go).
void StartClasses();
void StopClasses();
// The shared timer window while it exists.
HWND TimerWindowHandle();
}  // namespace cx_classes_detail
