#include "ui/foundation/message_windows.h"

#include <algorithm>
#include <cstdio>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/threads.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_object_instance.h"
#include "platform/win/uxtheme/uxtheme.h"
#include "ui/foundation/cx_classes.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/upward_services.h"

RTL_IMPLEMENT_CLASS(TcxMessageWindow)
RTL_IMPLEMENT_CLASS(TcxSystemController)
RTL_IMPLEMENT_CLASS(TdxSystemInfo)
RTL_IMPLEMENT_CLASS(TdxMessagesController)
RTL_IMPLEMENT_CLASS(TcxWindowProcLinkedObject)
RTL_IMPLEMENT_CLASS(TcxSubclassingHelper)
RTL_IMPLEMENT_CLASS(TcxVCLSubclassingHelper)
RTL_IMPLEMENT_CLASS(TcxWin32SubclassingHelper)
RTL_IMPLEMENT_CLASS(TcxWindowProcLinkedObjectList)
RTL_IMPLEMENT_CLASS(TcxWindowProcController)

// ---- TcxMessageWindow -----------------------------------------------------------------

TcxMessageWindow::TcxMessageWindow() { FHandle = AllocateHWnd(TWndMethod(this, &TcxMessageWindow::MainWndProc)); }

TcxMessageWindow::~TcxMessageWindow() {
  if (FHandle) DeallocateHWnd(FHandle);
}

void TcxMessageWindow::MainWndProc(TMessage& Message) {
  try {
    ProcessMessage(Message);
  } catch (...) {
    if (Application)
      Application->HandleException(this);
  }
}

void TcxMessageWindow::ProcessMessage(TMessage& Message) {
  Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- TcxSystemController --------------------------------------------------------------

// In an executable the framework wakes the main thread itself, so this
// window only answers its message (a library would post it from its own
// wake-up handler).
void TcxSystemController::ProcessMessage(TMessage& Message) {
  if (Message.Msg == WM_SYNCHRONIZE)
    CheckSynchronize();
  else
    TcxMessageWindow::ProcessMessage(Message);
}

// ---- TdxSystemInfo ----------------------------------------------------------------------

TdxSystemInfo::TdxSystemInfo() {
  Refresh(SPI_SETDROPSHADOW);
  Refresh(SPI_SETNONCLIENTMETRICS);
}

TdxSystemInfo::~TdxSystemInfo() {
  FListenersAlive = false;
  std::vector<IdxSystemInfoChangeListener*> Listeners;
  Listeners.swap(FListeners);
  for (IdxSystemInfoChangeListener* L : Listeners) L->Release();
}

bool TdxSystemInfo::QueryParameter(UINT AAction, void* ABuffer) {
  UINT Param = 0;
  switch (AAction) {
    case SPI_GETICONTITLELOGFONT:
      Param = 60;
      break;
    case SPI_GETNONCLIENTMETRICS:
      static_cast<NONCLIENTMETRICSA*>(ABuffer)->cbSize = 340;
      break;
    case SPI_GETANIMATION:
      *static_cast<UINT*>(ABuffer) = 8;
      Param = 8;
      break;
    default:
      break;
  }
  return SystemParametersInfo(AAction, Param, ABuffer, 0) != FALSE;
}

void TdxSystemInfo::Refresh(UINT AAction) {
  switch (AAction) {
    case SPI_SETNONCLIENTMETRICS:
      QueryParameter(SPI_GETNONCLIENTMETRICS, &CachedNonClientMetrics);
      break;
    case SPI_SETDROPSHADOW: {
      BOOL Value = FALSE;
      if (QueryParameter(SPI_GETDROPSHADOW, &Value)) DropShadowEnabled = Value != FALSE;
      break;
    }
    default:
      break;
  }
}

void TdxSystemInfo::ProcessMessage(TMessage& Message) {
  if (Message.Msg == WM_SETTINGCHANGE && Message.WParam != 0) {
    const UINT Action = static_cast<UINT>(Message.WParam);
    Refresh(Action);
    // A listener may detach (or attach) while being told: tell those
    // attached when the change came, skipping any that left meanwhile.
    std::vector<IdxSystemInfoChangeListener*> Snapshot = FListeners;
    for (IdxSystemInfoChangeListener* L : Snapshot)
      if (std::find(FListeners.begin(), FListeners.end(), L) != FListeners.end()) L->SystemParameterChanged(Action);
    Message.Result = 0;
  } else {
    TcxMessageWindow::ProcessMessage(Message);
  }
}

void TdxSystemInfo::AddChangeListener(IdxSystemInfoChangeListener* AListener) {
  if (!AListener) return;
  AListener->AddRef();
  FListeners.push_back(AListener);
}

void TdxSystemInfo::RemoveChangeListener(IdxSystemInfoChangeListener* AListener) {
  if (!FListenersAlive) return;
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  AListener->Release();
}

bool TdxSystemInfo::IsRemoteSession() { return GetSystemMetrics(SM_REMOTESESSION) == 1; }

// ---- TdxMessagesController ----------------------------------------------------------------

TdxMessagesController::~TdxMessagesController() {
  if (FSavedWndProc && IsWindow(FSwallowWindow))
    SetWindowLongPtr(FSwallowWindow, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FSavedWndProc));
  DisarmSwallow();
}

bool TdxMessagesController::FlushMessages(HWND AWnd, UINT AMsgFirst, bool AAll, UINT AMsgLast) {
  if (AMsgLast == 0) AMsgLast = AMsgFirst;
  bool Result = false;
  MSG Msg;
  while (PeekMessage(&Msg, AWnd, AMsgFirst, AMsgLast, PM_REMOVE)) {
    if (Msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(Msg.wParam));
      break;
    }
    Result = true;
    if (!AAll) break;
  }
  return Result;
}

void TdxMessagesController::LockMessages(const std::vector<UINT>& AMessages) {
  FLockedMessages.insert(FLockedMessages.end(), AMessages.begin(), AMessages.end());
}

void TdxMessagesController::UnlockMessages(const std::vector<UINT>& AMessages) {
  for (UINT M : AMessages) {
    auto it = std::find(FLockedMessages.begin(), FLockedMessages.end(), M);
    if (it != FLockedMessages.end()) FLockedMessages.erase(it);
  }
}

bool TdxMessagesController::IsMessageLocked(UINT AMessage) const {
  return std::find(FLockedMessages.begin(), FLockedMessages.end(), AMessage) != FLockedMessages.end();
}

void TdxMessagesController::SwallowNextMessage(HWND AWnd) {
  if (FSavedWndProc) throw EdxException("dxLockMessage fails");
  WNDPROC Stub = MakeObjectInstance(TWndMethod(this, &TdxMessagesController::SwallowWndProc));
  WNDPROC Old = reinterpret_cast<WNDPROC>(SetWindowLongPtr(AWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Stub)));
  if (!Old) {
    // Not a window: nothing is armed.
    FreeObjectInstance(Stub);
    return;
  }
  FSwallowWindow = AWnd;
  FSwallowStub = Stub;
  FSavedWndProc = Old;
}

void TdxMessagesController::SwallowWndProc(TMessage& Message) {
  SetWindowLongPtr(FSwallowWindow, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FSavedWndProc));
  DisarmSwallow();
  Message.Result = 1;
}

void TdxMessagesController::DisarmSwallow() {
  FSavedWndProc = nullptr;
  FSwallowWindow = nullptr;
  // The running call holds its own copy of the method.
  FreeObjectInstance(FSwallowStub);
  FSwallowStub = nullptr;
}

void TdxMessagesController::BlockLockedMessage(HWND AWnd, UINT& AMessage) {
  if (!IsMessageLocked(AMessage)) return;
  SwallowNextMessage(AWnd);
  AMessage = WM_NULL;
}

// ---- Window-procedure chains ------------------------------------------------------------

void TcxWindowProcLinkedObject::CallWindowProc(TMessage& Message) const {
  std::shared_ptr<const TWndMethod> Proc = FWindowProc;
  if (Proc && *Proc) (*Proc)(Message);
}

void TcxWindowProcLinkedObject::CallPreviousWndProc(TMessage& Message) {
  if (auto* Previous = static_cast<TcxWindowProcLinkedObject*>(Prev())) Previous->CallWindowProc(Message);
}

TcxWindowProcLinkedObject* TcxSubclassingHelper::CreateNode() { return new TcxWindowProcLinkedObject; }

void TcxVCLSubclassingHelper::InstallDispatcher(const TWndMethod& ADispatcher) {
  FDefaultWindowProc = FControl->WindowProc();
  FControl->SetWindowProc(ADispatcher);
}

void TcxVCLSubclassingHelper::RestoreInitialWndProc() { FControl->SetWindowProc(FDefaultWindowProc); }

TcxWin32SubclassingHelper::~TcxWin32SubclassingHelper() { FreeObjectInstance(FStub); }

void TcxWin32SubclassingHelper::InstallDispatcher(const TWndMethod& ADispatcher) {
  FStub = MakeObjectInstance(ADispatcher);
  FPrevWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(FHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FStub)));
  FDefaultWindowProc = TWndMethod(this, &TcxWin32SubclassingHelper::CallPrevWndProc);
}

void TcxWin32SubclassingHelper::CallPrevWndProc(TMessage& Message) {
  Message.Result = ::CallWindowProc(FPrevWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TcxWin32SubclassingHelper::RestoreInitialWndProc() {
  if (IsWindow(FHandle)) SetWindowLongPtr(FHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevWndProc));
  FreeObjectInstance(FStub);
  FStub = nullptr;
}

TcxWindowProcLinkedObjectList::TcxWindowProcLinkedObjectList(TControl* AControl, HWND AHandle)
    : FControl(AControl), FHandle(AHandle) {
  if (AControl)
    FHelper = std::make_unique<TcxVCLSubclassingHelper>(AControl);
  else
    FHelper = std::make_unique<TcxWin32SubclassingHelper>(AHandle);
}

TcxWindowProcLinkedObjectList::~TcxWindowProcLinkedObjectList() {
  FHelper->RestoreInitialWndProc();
  FreeAllNodes();
}

TcxDoublyLinkedObject* TcxWindowProcLinkedObjectList::NewNode() {
  TcxWindowProcLinkedObject* Node = FHelper->CreateNode();
  Node->FControl = FControl;
  Node->FHandle = FHandle;
  return Node;
}

TClass TcxWindowProcLinkedObjectList::NodeClass() const { return TcxWindowProcLinkedObject::StaticClass(); }

void TcxWindowProcLinkedObjectList::Dispatch(TMessage& Message) {
  if (auto* Node = static_cast<TcxWindowProcLinkedObject*>(Last())) Node->CallWindowProc(Message);
}

void TcxWindowProcLinkedObjectList::Install() {
  FHelper->InstallDispatcher(TWndMethod(this, &TcxWindowProcLinkedObjectList::Dispatch));
  AddWndProc(FHelper->DefaultWindowProc());
}

TcxWindowProcLinkedObject* TcxWindowProcLinkedObjectList::AddWndProc(const TWndMethod& AWndProc) {
  auto* Node = static_cast<TcxWindowProcLinkedObject*>(AppendNode());
  Node->SetWindowProc(AWndProc);
  return Node;
}

TcxWindowProcController::TcxWindowProcController() : FChains(std::make_unique<TcxObjectList>(true)) {}

TcxWindowProcController::~TcxWindowProcController() {
  // Newest chains first, so that a window hooked again after another
  // chain took it gets its procedures back in the reverse order.
  while (FChains->Count() > 0) FChains->FreeAndDelete(FChains->Count() - 1);
}

TcxWindowProcLinkedObjectList* TcxWindowProcController::FindChain(TControl* AControl, HWND AHandle) const {
  for (Integer I = 0; I < FChains->Count(); ++I) {
    auto* Chain = static_cast<TcxWindowProcLinkedObjectList*>(FChains->ItemAt(I));
    if (AControl ? Chain->Control() == AControl : (!Chain->Control() && Chain->Handle() == AHandle)) return Chain;
  }
  return nullptr;
}

TcxWindowProcLinkedObject* TcxWindowProcController::AddControlWndProc(TControl* AControl,
                                                                      const TWndMethod& AWndProc) {
  if (!AControl) return nullptr;
  TcxWindowProcLinkedObjectList* Chain = FindChain(AControl, nullptr);
  if (!Chain) {
    Chain = new TcxWindowProcLinkedObjectList(AControl, nullptr);
    FChains->Add(Chain);
    Chain->Install();
  }
  return Chain->AddWndProc(AWndProc);
}

TcxWindowProcLinkedObject* TcxWindowProcController::AddHandleWndProc(HWND AHandle, const TWndMethod& AWndProc) {
  if (!AHandle) return nullptr;
  TcxWindowProcLinkedObjectList* Chain = FindChain(nullptr, AHandle);
  if (!Chain) {
    Chain = new TcxWindowProcLinkedObjectList(nullptr, AHandle);
    FChains->Add(Chain);
    Chain->Install();
  }
  return Chain->AddWndProc(AWndProc);
}

void TcxWindowProcController::RemoveWndProc(TcxWindowProcLinkedObject*& AObject) {
  if (!AObject) return;
  TcxWindowProcLinkedObjectList* Chain = FindChain(AObject->Control(), AObject->Handle());
  if (!Chain) {
    AObject = nullptr;
    return;
  }
  TcxDoublyLinkedObject* Node = AObject;
  Chain->DeleteNode(Node);
  AObject = nullptr;
  if (Chain->CountNodes() <= 1) FChains->FreeAndRemove(Chain);
}

Integer TcxWindowProcController::ChainCount() const { return FChains->Count(); }

// ---- Shared instances and the unit --------------------------------------------------------

namespace {

bool GFinalizing = false;
TcxMessageWindow* GMessageWindow = nullptr;
TcxWindowProcController* GWindowProcController = nullptr;
TdxSystemInfo* GSystemInfo = nullptr;
TdxMessagesController* GMessagesController = nullptr;
TcxSystemController* GSystemController = nullptr;
cx_controls_detail::TShutDownHook GMouseTrackingShutDown = nullptr;

struct TCursorEntry {
  Integer Id;
  const char* Resource;  // null: the system's hand cursor
};

const TCursorEntry kCursors[] = {
    {2100, "CX_DRAGCOPYCURSOR"},  {2101, "CX_FULLSCROLLCURSOR"}, {2102, "CX_HORSCROLLCURSOR"},
    {2103, "CX_VERSCROLLCURSOR"}, {2104, "CX_UPSCROLLCURSOR"},   {2105, "CX_RIGHTSCROLLCURSOR"},
    {2106, "CX_DOWNSCROLLCURSOR"}, {2107, "CX_LEFTSCROLLCURSOR"}, {2108, "CX_REMOVECURSOR"},
    {2109, "CX_VERTSIZECURSOR"},  {2110, "CX_HORZSIZECURSOR"},   {2111, "CX_MULTIDRAGCURSOR"},
    {2112, "CX_NODROPCURSOR"},    {2113, "CX_DRAGCURSOR"},       {-2099, nullptr},
    {2114, "CX_COLORPICKERCURSOR"}, {2115, "CX_MULTIDRAGCOPYCURSOR"}, {2116, "CX_HANDCURSOR"},
    {2117, "CX_HANDDRAGCURSOR"},
};

template <class T>
void FreeShared(T*& AInstance) {
  T* Instance = AInstance;
  AInstance = nullptr;
  delete Instance;
}

// One step of the shut-down: whatever it throws, the next step runs.
template <class F>
void ShutDownStep(F AStep) {
  try {
    AStep();
  } catch (Exception& E) {
    std::fprintf(stderr, "cxControls shut-down: %s\n", E.Message().c_str());
  } catch (...) {
    std::fprintf(stderr, "cxControls shut-down: unknown exception\n");
  }
}

}  // namespace

TcxMessageWindow* cxGetMessageWindow() {
  if (GFinalizing) return nullptr;
  if (!GMessageWindow) GMessageWindow = new TcxMessageWindow;
  return GMessageWindow;
}

TcxWindowProcController* cxGetWindowProcController() {
  if (GFinalizing) return nullptr;
  if (!GWindowProcController) GWindowProcController = new TcxWindowProcController;
  return GWindowProcController;
}

TdxSystemInfo* dxGetSystemInfo() {
  if (GFinalizing) return nullptr;
  if (!GSystemInfo) GSystemInfo = new TdxSystemInfo;
  return GSystemInfo;
}

TdxMessagesController* dxGetMessagesController() {
  if (GFinalizing) return nullptr;
  if (!GMessagesController) GMessagesController = new TdxMessagesController;
  return GMessagesController;
}

namespace cx_controls_detail {

bool Finalizing() { return GFinalizing; }
TcxSystemController* SystemController() { return GSystemController; }
void SetMouseTrackingShutDownHook(TShutDownHook AHook) { GMouseTrackingShutDown = AHook; }

void StartControls() {
  GFinalizing = false;
  if (Screen)
    for (const TCursorEntry& C : kCursors)
      Screen->SetCursors(C.Id, C.Resource ? LoadCursor(HInstance, C.Resource) : LoadCursor(nullptr, IDC_HAND));
  RegisterControlChildComponentClass();
  if (!GSystemController) GSystemController = new TcxSystemController;
  if (OSWinVistaOrLater) BufferedPaintInit();
}

void StopControls() {
  GFinalizing = true;
  ShutDownStep([] {
    if (OSWinVistaOrLater) BufferedPaintUnInit();
  });
  ShutDownStep([] { FreeShared(GSystemController); });
  // Trackers still alive are stopped rather than failing the shut-down.
  ShutDownStep([] {
    if (GMouseTrackingShutDown) GMouseTrackingShutDown();
  });
  ShutDownStep([] { FreeShared(GMessageWindow); });
  ShutDownStep([] { FreeShared(GWindowProcController); });
  ShutDownStep([] { FreeShared(GMessagesController); });
  ShutDownStep([] { FreeShared(GSystemInfo); });
}

}  // namespace cx_controls_detail
