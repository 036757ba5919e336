// TApplication: forms, the message loop and idle time, key messages
// before dispatch, exceptions, message boxes, the mouse over controls and
// the action chain; the units that create the global objects.
#include <cstdio>

#include "platform/forms/buttons.h"
#include "platform/forms/comctrls.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/extctrls.h"
#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/forms/icon.h"
#include "platform/forms/menus.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/timer.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/threads.h"
#include "platform/rtl/units.h"

RTL_IMPLEMENT_CLASS(TApplication)

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

namespace {

TMessageBoxHandler g_MessageBoxHandler;

// The answer of a message box nobody sees: its default button.
Integer DefaultAnswer(Integer Flags) {
  static const std::vector<std::vector<Integer>> Buttons = {
      {mrOk},                      // MB_OK
      {mrOk, mrCancel},            // MB_OKCANCEL
      {mrAbort, mrRetry, mrIgnore},  // MB_ABORTRETRYIGNORE
      {mrYes, mrNo, mrCancel},     // MB_YESNOCANCEL
      {mrYes, mrNo},               // MB_YESNO
      {mrRetry, mrCancel},         // MB_RETRYCANCEL
  };
  size_t Kind = static_cast<size_t>(Flags & 0xF);
  if (Kind >= Buttons.size()) Kind = 0;
  size_t Default = static_cast<size_t>((Flags >> 8) & 0xF);
  const auto& B = Buttons[Kind];
  return B[Default < B.size() ? Default : 0];
}

AnsiString GetHint(TControl* Control) {
  for (; Control; Control = Control->Parent())
    if (!Control->Hint().empty()) return Control->Hint();
  return AnsiString();
}

bool ExecuteOnTarget(TBasicAction* Action, TComponent* Target, bool Update) {
  if (!Target || !Action->HandlesTarget(Target)) return false;
  if (Update)
    Action->UpdateTarget(Target);
  else
    Action->ExecuteTarget(Target);
  return true;
}

// The last step of an action's chain: the active form's focused control,
// then the form itself.
bool TargetStep(TBasicAction* Action, bool Update) {
  TCustomForm* Form = Screen ? Screen->ActiveCustomForm() : nullptr;
  if (Form && (ExecuteOnTarget(Action, Form->ActiveControl(), Update) || ExecuteOnTarget(Action, Form, Update)))
    return true;
  if (Update) {
    // An action nobody handles is disabled when it asks for that.
    auto* A = dynamic_cast<TCustomAction*>(Action);
    if (A && A->Enabled() && A->DisableIfNoHandler() && !A->OnExecute()) A->SetEnabled(false);
  }
  return false;
}

}  // namespace

void SetMessageBoxHandler(TMessageBoxHandler Handler) { g_MessageBoxHandler = std::move(Handler); }

// ---- Help -------------------------------------------------------------------------------

AnsiString TApplication::CurrentHelpFile() {
  TCustomForm* Form = Screen ? Screen->ActiveCustomForm() : nullptr;
  if (Form && !Form->HelpFile().empty()) return Form->HelpFile();
  return FHelpFile;
}

bool TApplication::HelpCommand(Integer Command, NativeInt Data) {
  bool CallHelp = true;
  bool Result = false;
  if (OnHelp) Result = OnHelp(static_cast<Word>(Command), Data, CallHelp);
  // No help viewer exists to hand the help file to.
  return Result;
}

bool TApplication::HelpContext(THelpContext Context) { return HelpCommand(HELP_CONTEXT, Context); }

bool TApplication::HelpJump(const AnsiString& JumpID) {
  const AnsiString Macro = "JumpID(\"\",\"" + JumpID + "\")";
  return HelpCommand(HELP_COMMAND, reinterpret_cast<NativeInt>(Macro.c_str()));
}

bool TApplication::HelpKeyword(const AnsiString& Keyword) {
  return HelpCommand(HELP_KEY, reinterpret_cast<NativeInt>(Keyword.c_str()));
}

// ---- Life -------------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
  FIcon->OnChange = TNotifyEvent(this, &TApplication::IconChanged);
  FTitle = ChangeFileExt(ExtractFileName(ParamStr(0)), "");
  TActionChain& Chain = ActionChain();
  Chain.ApplicationExecute = [](TBasicAction* A) {
    bool Handled = false;
    if (Application && Application->OnActionExecute) Application->OnActionExecute(A, Handled);
    return Handled;
  };
  Chain.ApplicationUpdate = [](TBasicAction* A) {
    bool Handled = false;
    if (Application && Application->OnActionUpdate) Application->OnActionUpdate(A, Handled);
    return Handled;
  };
  Chain.TargetExecute = [](TBasicAction* A) { return TargetStep(A, false); };
  Chain.TargetUpdate = [](TBasicAction* A) { return TargetStep(A, true); };
}

TApplication::~TApplication() {
  CancelHint();
  StopHintTimer();
  // Forms go through their destruction steps while whole.
  while (ComponentCount() > 0) {
    TComponent* C = Components(ComponentCount() - 1);
    if (auto* F = dynamic_cast<TCustomForm*>(C))
      F->Free();
    else
      delete C;
  }
  FHintWindow = nullptr;
  if (FHandle) DestroyWindow(FHandle);
  if (Application == this) {
    TActionChain& Chain = ActionChain();
    Chain = TActionChain();
  }
}

void TApplication::Initialize() {}

LRESULT TApplication::AppWndProc(HWND hwnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_CLOSE && Application && Application->FMainForm) {
    Application->FMainForm->Close();
    return 0;
  }
  return DefWindowProc(hwnd, Msg, WParam, LParam);
}

// The hidden window that stands for the application (owner of popups,
// target of application messages).
void TApplication::CreateHandle() {
  static const char ClassName[] = "TApplication";
  WNDCLASSA Class{};
  if (!GetClassInfo(HInstance, ClassName, &Class)) {
    Class.lpfnWndProc = &TApplication::AppWndProc;
    Class.hInstance = HInstance;
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    Class.lpszClassName = ClassName;
    RegisterClass(&Class);
  }
  FHandle = CreateWindowEx(WS_EX_TOOLWINDOW, ClassName, FTitle.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                           nullptr, HInstance, nullptr);
}

HWND TApplication::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TApplication::SetTitle(const AnsiString& Value) {
  FTitle = Value;
  if (FHandle) SetWindowText(FHandle, Value.c_str());
}

bool TApplication::Active() { return GetActiveWindow() != nullptr; }

void TApplication::ActivateAppChanged(bool Activating) {
  if (FActive == Activating) return;
  FActive = Activating;
  if (!Activating) CancelHint();
  if (Activating && OnActivate) OnActivate(this);
  if (!Activating && OnDeactivate) OnDeactivate(this);
}

void TApplication::SetIcon(TIcon* Value) { FIcon->Assign(Value); }

HICON TApplication::GetIconHandle() {
  HICON Result = FIcon->Empty() ? nullptr : FIcon->Handle();
  return Result ? Result : LoadIcon(nullptr, IDI_APPLICATION);
}

// The forms without an icon of their own show the new one.
void TApplication::IconChanged(TObject*) {
  if (FHandle) SendMessage(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GetIconHandle()));
  if (Screen)
    for (TCustomForm* F : std::vector<TCustomForm*>(Screen->FCustomForms)) F->Perform(CM_ICONCHANGED, 0, 0);
}

void TApplication::CreateForm(TClass InstanceClass, TComponent*& Reference) {
  TObject* Instance = CreateInstance(InstanceClass, this);
  auto* Form = dynamic_cast<TCustomForm*>(Instance);
  if (!Form) {
    delete Instance;
    throw EInvalidOperation(Format("Class %s is not a form", {InstanceClass ? InstanceClass->Name : "nil"}));
  }
  Reference = Form;
  TScopeExit FreeOnUnwind(seOnUnwind, [&] {
    Reference = nullptr;
    Form->Free();
  });
  FormCreated(Form);
}

void TApplication::FormCreated(TCustomForm* Form) {
  Form->AfterConstruction();
  if (!FMainForm)
    if (auto* F = dynamic_cast<TForm*>(Form)) {
      F->HandleNeeded();
      FMainForm = F;
    }
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (static_cast<void*>(FMainForm) == static_cast<void*>(Control)) FMainForm = nullptr;
  if (FMouseControl == Control) FMouseControl = nullptr;
  if (FHintControl == Control) FHintControl = nullptr;
  if (FHintWindow == Control) FHintWindow = nullptr;
}

// ---- The loop ----------------------------------------------------------------------------

void TApplication::Run() {
  FRunning = true;
  if (FMainForm) {
    if (FShowMainForm) FMainForm->SetVisible(true);
    do {
      try {
        HandleMessage();
      } catch (...) {
        HandleException(this);
      }
    } while (!FTerminate);
  }
  FRunning = false;
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  bool Handled = false;
  if (OnMessage) OnMessage(Msg, Handled);
  if (!Handled && rtl::detail::DragKeyMessage(Msg.message, Msg.wParam)) return true;
  if (!IsHintMsg(Msg) && !Handled && !IsKeyMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG Msg;
  while (ProcessMessage(Msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG Msg{};
  if (!ProcessMessage(Msg)) Idle(Msg);
}

void TApplication::Idle(const MSG&) {
  TControl* Control = DoMouseIdle();
  if (FShowHint && !FMouseControl) CancelHint();
  SetHint(GetLongHint(GetHint(Control)));
  bool Done = true;
  try {
    if (OnIdle) OnIdle(this, Done);
    if (Done) DoActionIdle();
  } catch (...) {
    HandleException(this);
  }
  if (GetCurrentThreadId() == MainThreadID && CheckSynchronize()) Done = false;
  if (Done) WaitMessage();
}

void TApplication::DoActionIdle() {
  if (!Screen) return;
  std::vector<TCustomForm*> Forms = Screen->FCustomForms;
  for (TCustomForm* F : Forms) {
    if (std::find(Screen->FCustomForms.begin(), Screen->FCustomForms.end(), F) == Screen->FCustomForms.end())
      continue;
    if (F->HandleAllocated() && IsWindowVisible(F->Handle()) && IsWindowEnabled(F->Handle())) F->UpdateActions();
  }
}

// Key messages first go to the control as CN_ notifications (shortcuts,
// dialog keys); a control that takes the key there ends it.
bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND Wnd = GetCapture();
  if (!Wnd) {
    Wnd = Msg.hwnd;
    while (Wnd && !FindControl(Wnd)) Wnd = GetParent(Wnd);
    if (!Wnd) Wnd = Msg.hwnd;
  } else if (!FindControl(Wnd)) {
    return false;
  }
  return SendMessage(Wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsShortCut(TMessage& Message) {
  bool Handled = false;
  if (OnShortCut) OnShortCut(Message, Handled);
  return Handled ||
         (FMainForm && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->Handle()) &&
          FMainForm->IsShortCut(Message));
}

// ---- Exceptions and message boxes -----------------------------------------------------

void TApplication::HandleException(TObject* Sender) {
  if (HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
  std::exception_ptr P = std::current_exception();
  if (!P) return;
  auto Report = [&](Exception& E) {
    try {
      if (OnException)
        OnException(Sender, &E);
      else
        ShowException(&E);
    } catch (...) {
      // A failing report must not end the loop.
      std::fprintf(stderr, "%s\n", E.Message().c_str());
    }
  };
  try {
    std::rethrow_exception(P);
  } catch (EAbort&) {
  } catch (Exception& E) {
    Report(E);
  } catch (std::exception& E) {
    Exception Wrapped(E.what());
    Report(Wrapped);
  } catch (...) {
    Exception Wrapped("Unknown exception");
    Report(Wrapped);
  }
}

void TApplication::ShowException(Exception* E) {
  AnsiString Msg = E->Message();
  if (!Msg.empty() && static_cast<unsigned char>(Msg.back()) > '.') Msg += '.';
  MessageBox(Msg, FTitle, MB_OK | MB_ICONSTOP);
}

Integer TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, Integer Flags) {
  HWND ActiveWindow = GetActiveWindow();
  HWND FocusBefore = GetFocus();
  std::vector<HWND> Windows = rtl::detail::DisableTaskWindows();
  Integer Result;
  {
    TScopeExit EnableOnExit([&] { rtl::detail::EnableTaskWindows(Windows); });
    if (g_MessageBoxHandler) {
      Result = g_MessageBoxHandler(Text, Caption, Flags);
    } else {
      std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
      Result = DefaultAnswer(Flags);
    }
  }
  rtl::detail::ReactivateAfterModal(ActiveWindow, FocusBefore);
  return Result;
}

// ---- The mouse over controls ---------------------------------------------------------------

namespace {

// While a control holds the capture only it hears of leaving and entering.
void MoveMouseControl(TControl*& Current, TControl* Next) {
  if (Current == Next) return;
  TControl* Capture = GetCaptureControl();
  TControl* Old = Current;
  Current = Next;
  if (Old && (!Capture || Old == Capture)) Old->Perform(CM_MOUSELEAVE, 0, 0);
  if (Current == Next && Next && (!Capture || Next == Capture)) Next->Perform(CM_MOUSEENTER, 0, 0);
}

}  // namespace

TControl* TApplication::DoMouseIdle() {
  POINT P;
  TControl* Result = GetCursorPos(&P) ? FindDragTarget(P, true) : nullptr;
  if (Result && Result->ComponentState().Contains(csDesigning)) Result = nullptr;
  // The enter and leave handlers may free the control.
  TControlLink Link(Result);
  MoveMouseControl(FMouseControl, Result);
  return Link.Get();
}

void TApplication::MouseMessage(TControl* Control, TMessage& Message) {
  // A message performed on a control outside any window has no place on
  // the screen.
  TWinControl* Window = dynamic_cast<TWinControl*>(Control);
  if (!Window) Window = Control->Parent();
  if (!Window || !Window->HandleAllocated()) return;
  TPoint P = Control->ClientToScreen(SmallPointToPoint(Message.LParam));
  TControl* Target = FindDragTarget(P, true);
  if (Target && Target->ComponentState().Contains(csDesigning)) Target = nullptr;
  TControlLink Link(Control);
  MoveMouseControl(FMouseControl, Target);
  if (Link) HintMouseMessage(Control, Message);
}

// ---- Units -------------------------------------------------------------------------------

void RegisterFormsUnit() {
  RegisterUnit(
      "Controls", [] { Mouse = new TMouse(); },
      [] { FreeAndNil(Mouse); });
  // Form descriptions create timers and menus by class name.
  RegisterUnit(
      "Menus", [] { RegisterMenuClasses(); }, nullptr);
  RegisterUnit(
      "ExtCtrls",
      [] {
        RegisterClass(TTimer::StaticClass());
        RegisterExtCtrlsClasses();
      },
      nullptr);
  RegisterUnit("StdCtrls", [] { RegisterStdCtrlsClasses(); }, nullptr);
  RegisterUnit("ComCtrls", [] { RegisterComCtrlsClasses(); }, nullptr);
  RegisterUnit("Buttons", [] { RegisterButtonsClasses(); }, nullptr);
  RegisterUnit("Dialogs", [] { RegisterDialogsClasses(); }, nullptr);
  RegisterUnit(
      "Forms",
      [] {
        RegisterClass(TScrollBox::StaticClass());
        Screen = new TScreen(nullptr);
        Application = new TApplication(nullptr);
      },
      [] {
        FreeAndNil(Application);
        FreeAndNil(Screen);
      });
}
