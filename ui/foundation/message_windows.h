// The window plumbing the library hooks into: hidden message windows, the
// system-settings cache with its listeners, a controller that flushes,
// locks and swallows messages, and window-procedure chains that let any
// number of parties hook a control or a plain window and unhook in any
// order. The shared instances come from the accessors at the end; they
// answer null once the unit is shutting down.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/closure.h"
#include "platform/win/kernel/windef.h"
#include "platform/win/user/user_sysinfo.h"
#include "ui/foundation/core_classes.h"

class TControl;
class TList;
class TcxObjectList;

using TWndMethod = TClosure<void(TMessage& Message)>;

// A hidden window whose messages go to ProcessMessage. An exception out of
// ProcessMessage goes to the application's exception handler and the
// message counts as handled: nothing leaves the window procedure.
class TcxMessageWindow : public TcxIUnknownObject {
  RTL_CLASS(TcxMessageWindow, TcxIUnknownObject)
  HWND FHandle = nullptr;

  void MainWndProc(TMessage& Message);

 protected:
  // The default window procedure.
  virtual void ProcessMessage(TMessage& Message);

 public:
  TcxMessageWindow();
  ~TcxMessageWindow() override;

  HWND Handle() const { return FHandle; }
};

// Runs the pending thread synchronisations on its private message.
class TcxSystemController : public TcxMessageWindow {
  RTL_CLASS(TcxSystemController, TcxMessageWindow)

 protected:
  void ProcessMessage(TMessage& Message) override;

 public:
  static constexpr UINT WM_SYNCHRONIZE = 0x8066;
  TcxSystemController() = default;
};

inline constexpr IID IID_IdxSystemInfoChangeListener = {
    0xF137963E, 0x6165, 0x47F9, {0xA4, 0xC7, 0x96, 0xBB, 0x4E, 0xB9, 0x1A, 0xE0}};

class IdxSystemInfoChangeListener : public IUnknown {
 public:
  // AParameter: the system-parameter action of the change.
  virtual void SystemParameterChanged(UINT AParameter) = 0;
};

// Caches the non-client metrics and the drop-shadow setting, refreshes
// them when the user changes them and tells its listeners.
class TdxSystemInfo : public TcxMessageWindow {
  RTL_CLASS(TdxSystemInfo, TcxMessageWindow)
  // Held references (AddRef on adding), in order of attachment.
  std::vector<IdxSystemInfoChangeListener*> FListeners;
  bool FListenersAlive = true;

  void Refresh(UINT AAction);

 protected:
  void ProcessMessage(TMessage& Message) override;

 public:
  TdxSystemInfo();
  ~TdxSystemInfo() override;

  NONCLIENTMETRICSA CachedNonClientMetrics{};
  bool DropShadowEnabled = false;

  // SystemParametersInfo's get with the sizes the action needs.
  bool QueryParameter(UINT AAction, void* ABuffer);
  // Duplicates are kept; removing takes the first occurrence.
  void AddChangeListener(IdxSystemInfoChangeListener* AListener);
  void RemoveChangeListener(IdxSystemInfoChangeListener* AListener);
  bool IsRemoteSession();
};

// Removes queued messages, locks message numbers and swallows the next
// message a window receives.
class TdxMessagesController : public TObject {
  RTL_CLASS(TdxMessagesController, TObject)
  std::vector<UINT> FLockedMessages;
  HWND FSwallowWindow = nullptr;
  WNDPROC FSavedWndProc = nullptr;
  WNDPROC FSwallowStub = nullptr;

  void SwallowWndProc(TMessage& Message);
  void DisarmSwallow();

 public:
  TdxMessagesController() = default;
  // Puts back the procedure of a swallow that never fired.
  ~TdxMessagesController() override;

  // Removes queued messages of AWnd in AMsgFirst..AMsgLast (0: only
  // AMsgFirst), one unless AAll; a quit message met on the way is posted
  // again and ends the removal. Whether any other message was removed.
  bool FlushMessages(HWND AWnd = nullptr, UINT AMsgFirst = 0, bool AAll = true, UINT AMsgLast = 0);
  // A number locked twice needs two unlocks.
  void LockMessages(const std::vector<UINT>& AMessages);
  void UnlockMessages(const std::vector<UINT>& AMessages);
  bool IsMessageLocked(UINT AMessage) const;
  // The window's next message is answered 1 and goes nowhere. Raises
  // EdxException "dxLockMessage fails" while another swallow is pending.
  void SwallowNextMessage(HWND AWnd);
  // A locked AMessage becomes WM_NULL and the window swallows it.
  void BlockLockedMessage(HWND AWnd, UINT& AMessage);
  bool SwallowPending() const { return FSavedWndProc != nullptr; }
};

// ---- Window-procedure chains -------------------------------------------------------------

class TcxSubclassingHelper;
class TcxWindowProcLinkedObjectList;

// One hook of a chain.
class TcxWindowProcLinkedObject : public TcxDoublyLinkedObject {
  RTL_CLASS(TcxWindowProcLinkedObject, TcxDoublyLinkedObject)
  friend class TcxWindowProcLinkedObjectList;
  TControl* FControl = nullptr;
  HWND FHandle = nullptr;
  // Shared so that a call survives the node being freed meanwhile.
  std::shared_ptr<const TWndMethod> FWindowProc;

 public:
  TcxWindowProcLinkedObject() = default;

  // Passes Message to the next older hook (or the initial procedure); a
  // hook that does not call it swallows the message.
  void CallPreviousWndProc(TMessage& Message);
  void CallWindowProc(TMessage& Message) const;

  TControl* Control() const { return FControl; }
  HWND Handle() const { return FHandle; }
  const TWndMethod& WindowProc() const { return *FWindowProc; }
  void SetWindowProc(const TWndMethod& Value) { FWindowProc = std::make_shared<const TWndMethod>(Value); }
};

// Saves, reroutes and restores the procedure of one control or window.
class TcxSubclassingHelper : public TObject {
  RTL_CLASS(TcxSubclassingHelper, TObject)

 protected:
  TWndMethod FDefaultWindowProc;

 public:
  TcxSubclassingHelper() = default;
  virtual TcxWindowProcLinkedObject* CreateNode();
  virtual void RestoreInitialWndProc() = 0;
  // Saves the current procedure as the default one and routes the
  // messages to ADispatcher.
  virtual void InstallDispatcher(const TWndMethod& ADispatcher) = 0;
  const TWndMethod& DefaultWindowProc() const { return FDefaultWindowProc; }
};

// For a framework control: through its WindowProc property.
class TcxVCLSubclassingHelper : public TcxSubclassingHelper {
  RTL_CLASS(TcxVCLSubclassingHelper, TcxSubclassingHelper)
  TControl* FControl;

 public:
  explicit TcxVCLSubclassingHelper(TControl* AControl) : FControl(AControl) {}
  void RestoreInitialWndProc() override;
  void InstallDispatcher(const TWndMethod& ADispatcher) override;
};

// For a plain window: through its GWL_WNDPROC and a callable stub.
class TcxWin32SubclassingHelper : public TcxSubclassingHelper {
  RTL_CLASS(TcxWin32SubclassingHelper, TcxSubclassingHelper)
  HWND FHandle;
  WNDPROC FPrevWndProc = nullptr;
  WNDPROC FStub = nullptr;

  void CallPrevWndProc(TMessage& Message);

 public:
  explicit TcxWin32SubclassingHelper(HWND AHandle) : FHandle(AHandle) {}
  ~TcxWin32SubclassingHelper() override;
  void RestoreInitialWndProc() override;
  void InstallDispatcher(const TWndMethod& ADispatcher) override;
};

// The chain of one control or window: the first node holds the initial
// procedure, the last is the newest hook.
class TcxWindowProcLinkedObjectList : public TcxDoublyLinkedObjectList {
  RTL_CLASS(TcxWindowProcLinkedObjectList, TcxDoublyLinkedObjectList)
  std::unique_ptr<TcxSubclassingHelper> FHelper;
  TControl* FControl;
  HWND FHandle;

  void Dispatch(TMessage& Message);

 public:
  TcxWindowProcLinkedObjectList(TControl* AControl, HWND AHandle);
  // Restores the initial procedure.
  ~TcxWindowProcLinkedObjectList() override;

  TcxDoublyLinkedObject* NewNode() override;
  TClass NodeClass() const override;
  virtual void Install();
  TcxWindowProcLinkedObject* AddWndProc(const TWndMethod& AWndProc);

  TControl* Control() const { return FControl; }
  HWND Handle() const { return FHandle; }
};

class TcxWindowProcController : public TObject {
  RTL_CLASS(TcxWindowProcController, TObject)
  std::unique_ptr<TcxObjectList> FChains;

  TcxWindowProcLinkedObjectList* FindChain(TControl* AControl, HWND AHandle) const;

 public:
  TcxWindowProcController();
  // Frees every chain, restoring the initial procedures.
  ~TcxWindowProcController() override;

  // The new hook gets the messages before all older ones; null for a null
  // control or handle.
  TcxWindowProcLinkedObject* AddControlWndProc(TControl* AControl, const TWndMethod& AWndProc);
  TcxWindowProcLinkedObject* AddHandleWndProc(HWND AHandle, const TWndMethod& AWndProc);
  // Frees the node and clears the variable; when only the initial
  // procedure is left, the chain goes and the procedure is restored.
  void RemoveWndProc(TcxWindowProcLinkedObject*& AObject);
  Integer ChainCount() const;
};

// ---- Shared instances ----------------------------------------------------------------

// Made on first use; null once the unit's shut-down has begun.
TcxMessageWindow* cxGetMessageWindow();
TcxWindowProcController* cxGetWindowProcController();
TdxSystemInfo* dxGetSystemInfo();
TdxMessagesController* dxGetMessagesController();

namespace cx_controls_detail {
// The unit's start-up: cursors, the control-child component class group,
// the system controller, buffered painting.
void StartControls();
// The unit's shut-down; never ends early.
void StopControls();
bool Finalizing();
TcxSystemController* SystemController();
// Stops the mouse trackers still alive at shut-down; set by the mouse
// tracking list, empty until then.
using TShutDownHook = void (*)();
void SetMouseTrackingShutDownHook(TShutDownHook AHook);
}  // namespace cx_controls_detail
