#include "ui/foundation/cx_components.h"

#include <memory>

#include "platform/forms/controls.h"
#include "platform/rtl/class_groups.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/properties.h"
#include "platform/win/user/user.h"
#include "ui/foundation/dpi_scaling.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/fast_list.h"
#include "ui/foundation/message_windows.h"

RTL_IMPLEMENT_CLASS(TcxCustomComponent)
RTL_IMPLEMENT_PUBLISHED(TcxComponent, RTL_PROP(FakeComponentLink1).Stored(false),
                        RTL_PROP(FakeComponentLink2).Stored(false), RTL_PROP(FakeComponentLink3).Stored(false))
RTL_IMPLEMENT_CLASS(TcxScalableComponent)
RTL_IMPLEMENT_PUBLISHED(TcxTimer, RTL_PROP(Enabled).Default(true), RTL_PROP(Interval).Default(1000),
                        RTL_PROP(OnTimer))
RTL_IMPLEMENT_CLASS(TcxObjectLink)
RTL_IMPLEMENT_CLASS(TcxComponentHolder)

namespace {

bool GFinalizing = false;

// ---- Timer window ----------------------------------------------------------------------

class TcxTimerWindow : public TcxMessageWindow {
 protected:
  void ProcessMessage(TMessage& Message) override;
};

TcxTimerWindow* GTimerWindow = nullptr;
TdxFastList* GActiveTimers = nullptr;

TcxTimerWindow* TimerWindow() {
  if (!GTimerWindow && !GFinalizing) GTimerWindow = new TcxTimerWindow;
  return GTimerWindow;
}

TdxFastList* ActiveTimers() {
  if (!GActiveTimers && !GFinalizing) GActiveTimers = new TdxFastList;
  return GActiveTimers;
}

void TcxTimerWindow::ProcessMessage(TMessage& Message) {
  if (Message.Msg == WM_TIMER) {
    // Only a timer still in the list is touched: a tick queued before its
    // timer stopped (or was freed) is dropped.
    void* Id = reinterpret_cast<void*>(Message.WParam);
    if (GActiveTimers && GActiveTimers->IndexOf(Id) >= 0) static_cast<TcxTimer*>(Id)->FireTimer();
    return;
  }
  TcxMessageWindow::ProcessMessage(Message);
}

// ---- Object links ----------------------------------------------------------------------

struct TcxObjectLinkController {
  TdxFastList Links;
  Integer UserCount = 0;
};

TcxObjectLinkController* GLinkController = nullptr;

}  // namespace

// ---- TcxComponent ---------------------------------------------------------------------------

TcxComponent::~TcxComponent() {
  if (!ComponentState().Contains(csDestroying)) Destroying();
  cxClearLinksToObject(this);
}

void TcxComponent::CollectFakeLinks(TList*) {}

void TcxComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TcxCustomComponent::Notification(AComponent, Operation);
  if (Operation == opRemove)
    for (TComponent*& Link : FFakeComponentLinks)
      if (Link == AComponent) Link = nullptr;
}

void TcxComponent::SetFakeLink(Integer AIndex, TComponent* AValue) {
  TComponent*& Link = FFakeComponentLinks[AIndex];
  if (Link == AValue) return;
  Link = AValue;
  // The link is cleared when its component dies.
  if (AValue) AValue->FreeNotification(this);
}

void TcxComponent::Loaded() {
  TcxCustomComponent::Loaded();
  RefreshFakeLinks();
}

void TcxComponent::RefreshFakeLinks() {
  const TComponentState State = ComponentState();
  if (!State.Contains(csDesigning) || State.Contains(csDestroying) || !Owner()) return;
  TList List;
  CollectFakeLinks(&List);
  for (Integer I = 0; I < 3; ++I)
    SetFakeLink(I, I < List.Count() ? static_cast<TComponent*>(List.Items(I)) : nullptr);
}

// ---- TcxScalableComponent -----------------------------------------------------------------

TcxScalableComponent::TcxScalableComponent(TComponent* AOwner)
    : TcxComponent(AOwner), FPixelsPerInch(cxGetScreenDPI()) {}

void TcxScalableComponent::ApplyScale(Integer, Integer) {}

void TcxScalableComponent::DefineProperties(TFiler* Filer) {
  TcxComponent::DefineProperties(Filer);
  Filer->DefineProperty("PixelsPerInch", TReaderProc(this, &TcxScalableComponent::ReadPixelsPerInch),
                        TWriterProc(this, &TcxScalableComponent::WritePixelsPerInch), true);
}

void TcxScalableComponent::ReadPixelsPerInch(TReader* AReader) { FPixelsPerInch = AReader->ReadInteger(); }

void TcxScalableComponent::WritePixelsPerInch(TWriter* AWriter) { AWriter->WriteInteger(FPixelsPerInch); }

void TcxScalableComponent::Loaded() {
  TcxComponent::Loaded();
  const Integer Current = cxGetScreenDPI();
  if (FScalable && Current != FPixelsPerInch) ApplyScale(Current, FPixelsPerInch);
  FPixelsPerInch = Current;
}

// ---- TcxTimer ---------------------------------------------------------------------------

TcxTimer::TcxTimer(TComponent* AOwner) : TComponent(AOwner) {}

TcxTimer::~TcxTimer() { Stop(); }

void TcxTimer::Start() {
  if (!FEnabled || FTimerOn || !FOnTimer) return;
  TcxTimerWindow* Window = TimerWindow();
  TdxFastList* Active = ActiveTimers();
  if (!Window || !Active) return;
  if (SetTimer(Window->Handle(), TimerID(), FInterval, nullptr) == 0) return;
  FTimerOn = true;
  Active->Add(this);
}

void TcxTimer::Stop() {
  if (!FTimerOn) return;
  FTimerOn = false;
  if (GActiveTimers) GActiveTimers->Remove(this);
  if (GTimerWindow) KillTimer(GTimerWindow->Handle(), TimerID());
}

void TcxTimer::FireTimer() { dxFireNotifyEvent(FOnTimer, this); }

void TcxTimer::SetEnabled(bool AValue) {
  if (FEnabled == AValue) return;
  FEnabled = AValue;
  Restart();
}

void TcxTimer::SetInterval(Cardinal AValue) {
  if (AValue == 0 || FInterval == AValue) return;
  FInterval = AValue;
  Restart();
}

void TcxTimer::SetOnTimer(const TNotifyEvent& AValue) {
  FOnTimer = AValue;
  Restart();
}

TcxTimer* cxMakeTimer(Cardinal AInterval, bool AEnabled, const TNotifyEvent& AEvent) {
  auto* Timer = new TcxTimer(nullptr);
  Timer->SetEnabled(AEnabled);
  Timer->SetInterval(AInterval);
  Timer->SetOnTimer(AEvent);
  return Timer;
}

// ---- Object links ----------------------------------------------------------------------------

TcxObjectLink* cxCreateObjectLink(TObject* AObject) {
  if (!AObject) return nullptr;
  if (!GLinkController) GLinkController = new TcxObjectLinkController;
  ++GLinkController->UserCount;
  auto* Link = new TcxObjectLink(AObject);
  GLinkController->Links.Add(Link);
  return Link;
}

void cxFreeObjectLink(TcxObjectLink*& ALink) {
  TcxObjectLink* Link = ALink;
  if (!Link) return;
  ALink = nullptr;
  if (Link->Object() && GLinkController) GLinkController->Links.Remove(Link);
  delete Link;
  if (GLinkController && --GLinkController->UserCount == 0) {
    delete GLinkController;
    GLinkController = nullptr;
  }
}

void cxClearLinksToObject(TObject* AObject) {
  if (!GLinkController || !AObject) return;
  TdxFastList& Links = GLinkController->Links;
  for (Integer I = Links.Count() - 1; I >= 0; --I) {
    auto* Link = static_cast<TcxObjectLink*>(Links[I]);
    if (Link->FObject == AObject) {
      Link->FObject = nullptr;
      Links.Delete(I);
    }
  }
}

bool cxObjectLinkControllerExists() { return GLinkController != nullptr; }

// ---- TcxComponentHolder -------------------------------------------------------------------

TcxComponentHolder::~TcxComponentHolder() {
  if (FHeldComponent) FHeldComponent->RemoveFreeNotification(this);
}

void TcxComponentHolder::SetHeldComponent(TComponent* AValue) {
  if (FHeldComponent == AValue) return;
  dxFireNotifyEvent(OnHeldComponentChanging, this);
  if (FHeldComponent) FHeldComponent->RemoveFreeNotification(this);
  FHeldComponent = AValue;
  if (FHeldComponent) FHeldComponent->FreeNotification(this);
  dxFireNotifyEvent(OnHeldComponentChanged, this);
}

void TcxComponentHolder::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FHeldComponent) SetHeldComponent(nullptr);
}

// ---- Small functions ---------------------------------------------------------------------

void cxCallNotifyEvent(const TNotifyEvent& AEvent, TObject* ASender) { dxFireNotifyEvent(AEvent, ASender); }

AnsiString cxGetWindowClassName(HWND AWindow) {
  char Buffer[257] = {};
  const int Length = GetClassName(AWindow, Buffer, 256);
  return Length > 0 ? AnsiString(Buffer, static_cast<size_t>(Length)) : AnsiString();
}

Integer cxCharLengthAt(const AnsiString& AText, Integer APosition) {
  const Integer Size = static_cast<Integer>(AText.size());
  if (APosition < 1 || APosition > Size) return 0;
  const auto Byte = [&](Integer I) { return static_cast<unsigned char>(AText[static_cast<size_t>(I - 1)]); };
  const unsigned char Lead = Byte(APosition);
  Integer Length = 1;
  if (Lead >= 0xC2 && Lead <= 0xDF)
    Length = 2;
  else if (Lead >= 0xE0 && Lead <= 0xEF)
    Length = 3;
  else if (Lead >= 0xF0 && Lead <= 0xF4)
    Length = 4;
  if (APosition + Length - 1 > Size) return 1;
  for (Integer I = 1; I < Length; ++I)
    if ((Byte(APosition + I) & 0xC0) != 0x80) return 1;
  return Length;
}

LRESULT cxSendMessage(HWND AWindow, UINT AMessage, WPARAM AWParam, LPARAM ALParam) {
  return SendMessage(AWindow, AMessage, AWParam, ALParam);
}

// ---- The unit ---------------------------------------------------------------------------------

namespace cx_classes_detail {

void StartClasses() {
  GFinalizing = false;
  StartClassGroup(TControl::StaticClass());
  GroupDescendentsWith(TcxComponent::StaticClass(), TControl::StaticClass());
}

void StopClasses() {
  GFinalizing = true;
  delete GActiveTimers;
  GActiveTimers = nullptr;
  delete GTimerWindow;
  GTimerWindow = nullptr;
}

HWND TimerWindowHandle() { return GTimerWindow ? GTimerWindow->Handle() : nullptr; }

}  // namespace cx_classes_detail
