// Drag and drop between controls: the source holds the mouse capture while
// the drag runs; the control under the mouse is asked (CM_DRAG, OnDragOver)
// whether it accepts, gets the drop, and the source hears the end. The drag
// object's images follow the mouse over the controls that display them
// (csDisplayDragImage), drawn over the top-level window under the mouse.
#include <cstdlib>

#include "platform/forms/controls.h"
#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/forms/image_list.h"

namespace {

// CM_DRAG's LParam.
struct TDragRec {
  TPoint Pos;
  TDragObject* Source;
  TControl* Target;
};

struct TDragSession {
  TControlLink Source;
  TDragObject* Object = nullptr;
  bool OwnsObject = false;
  TControlLink Target;
  TPoint StartPos;
  Integer Threshold = 0;
  bool Started = false;
  bool Accepted = false;
  // The list whose image this drag showed (compared, never used, once the
  // list may be gone).
  TDragImageList* Images = nullptr;
};

TDragSession* g_Drag = nullptr;

// The images of the drag now.
TDragImageList* DragImages() { return g_Drag && g_Drag->Object ? g_Drag->Object->GetDragImages() : nullptr; }

// Ends the image drag this drag began, if that list still drags.
void EndDragImages() {
  if (g_Drag->Images && TDragImageList::DraggingList() == g_Drag->Images) g_Drag->Images->EndDrag();
  g_Drag->Images = nullptr;
}

// The top-level window a control shows in; null when it has none.
HWND RootWindowOf(TControl* C) {
  for (; C; C = C->Parent())
    if (auto* W = dynamic_cast<TWinControl*>(C); W && W->HandleAllocated()) return GetAncestor(W->Handle(), GA_ROOT);
  return nullptr;
}

// Moves the drag images to the screen point P: shown over Target's
// top-level window when Target displays them, hidden otherwise. Answers
// whether they show.
bool MoveDragImages(TControl* Target, const TPoint& P) {
  TDragImageList* Images = DragImages();
  if (Images != g_Drag->Images) EndDragImages();
  if (!Images) return false;
  HWND Root = Target && Target->ControlStyle().Contains(csDisplayDragImage) ? RootWindowOf(Target) : nullptr;
  if (!Root) {
    if (Images->Dragging()) g_Drag->Object->HideDragImage();
    return false;
  }
  RECT R{};
  GetWindowRect(Root, &R);
  const bool Shown = Images->Dragging() ? Images->DragLock(Root, P.X - R.Left, P.Y - R.Top)
                                        : Images->BeginDrag(Root, P.X - R.Left, P.Y - R.Top);
  if (!Shown) return false;
  g_Drag->Images = Images;
  g_Drag->Object->ShowDragImage();
  return true;
}

TObject* EventSource(TDragObject* Object) {
  if (auto* C = dynamic_cast<TDragControlObject*>(Object)) return C->Control();
  return Object;
}

bool DragMessage(TControl* Target, TDragMessage Msg, const TPoint& ScreenPos) {
  TDragRec Rec{ScreenPos, g_Drag->Object, Target};
  return Target->Perform(CM_DRAG, Msg, reinterpret_cast<LPARAM>(&Rec)) != 0;
}

void EndDragState() {
  TDragSession* State = g_Drag;
  g_Drag = nullptr;
  if (State->OwnsObject) delete State->Object;
  delete State;
}

}  // namespace

void TDragObject::ShowDragImage() {
  if (TDragImageList* Images = GetDragImages()) Images->ShowDragImage();
}

void TDragObject::HideDragImage() {
  if (TDragImageList* Images = GetDragImages()) Images->HideDragImage();
}

TDragImageList* TControl::GetDragImages() { return nullptr; }

void TControl::DragSourceDestroyed() {
  if (!g_Drag || g_Drag->Source.Get() != this) return;
  // The control's own parts are gone: no events, only the images and the
  // target let go of.
  EndDragImages();
  if (TControl* Target = g_Drag->Target.Get()) {
    POINT P{0, 0};
    GetCursorPos(&P);
    if (g_Drag->Object) DragMessage(Target, dmDragLeave, P);
  }
  if (g_Drag) EndDragState();
}

void TControl::BeginAutoDrag() { BeginDrag(Mouse ? Mouse->DragImmediate() : true, Mouse ? Mouse->DragThreshold() : 5); }

bool TControl::Dragging() { return g_Drag && g_Drag->Started && g_Drag->Source.Get() == this; }

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (g_Drag) return;
  if (Threshold < 0) Threshold = Mouse ? Mouse->DragThreshold() : 5;
  g_Drag = new TDragSession;
  g_Drag->Source = Link();
  g_Drag->Threshold = Threshold;
  POINT P{0, 0};
  GetCursorPos(&P);
  g_Drag->StartPos = P;
  SetCaptureControl(this);
  if (Immediate) {
    g_Drag->Started = true;
    TDragObject* Object = nullptr;
    DoStartDrag(Object);
    if (!g_Drag) return;
    g_Drag->OwnsObject = Object == nullptr;
    g_Drag->Object = Object ? Object : new TDragControlObject(this);
  }
}

void TControl::EndDrag(bool Drop) {
  if (!g_Drag || g_Drag->Source.Get() != this) return;
  POINT P{0, 0};
  GetCursorPos(&P);
  if (!g_Drag->Started) {
    SetCaptureControl(nullptr);
    EndDragState();
    return;
  }
  TControl* Target = g_Drag->Target.Get();
  const bool Accepted = Drop && Target && g_Drag->Accepted;
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  // The image goes before the target paints what the drop does.
  EndDragImages();
  if (Target) DragMessage(Target, Accepted ? dmDragDrop : dmDragLeave, P);
  if (!g_Drag) return;
  TPoint Local = Target && g_Drag->Target ? Target->ScreenToClient(P) : TPoint(P.X, P.Y);
  g_Drag->Object->Finished(g_Drag->Target.Get(), Local.X, Local.Y, Accepted);
  if (g_Drag) EndDragState();
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (Accept) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragCanceled() {}

void TControl::CMDrag(TMessage& Message) {
  auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!Rec) return;
  TPoint P = ScreenToClient(Rec->Pos);
  TObject* Source = EventSource(Rec->Source);
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      static const TDragState States[] = {dsDragEnter, dsDragLeave, dsDragMove};
      bool Accept = false;
      DragOver(Source, P.X, P.Y, States[Message.WParam], Accept);
      Message.Result = Accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      if (OnDragDrop) OnDragDrop(this, Source, P.X, P.Y);
      break;
    default:
      break;
  }
}

// While this control drags, its mouse messages move and end the drag.
bool TControl::DragMouseMessage(TMessage& Message) {
  if (!g_Drag || g_Drag->Source.Get() != this) return false;
  POINT P{0, 0};
  GetCursorPos(&P);
  switch (Message.Msg) {
    case WM_MOUSEMOVE: {
      if (!g_Drag->Started) {
        if (std::abs(P.X - g_Drag->StartPos.X) < g_Drag->Threshold &&
            std::abs(P.Y - g_Drag->StartPos.Y) < g_Drag->Threshold)
          return false;
        g_Drag->Started = true;
        TDragObject* Object = nullptr;
        DoStartDrag(Object);
        if (!g_Drag) return true;
        g_Drag->OwnsObject = Object == nullptr;
        g_Drag->Object = Object ? Object : new TDragControlObject(this);
      }
      TControl* Target = FindDragTarget(P, false);
      TControl* Old = g_Drag->Target.Get();
      if (Target != Old) {
        if (Old) DragMessage(Old, dmDragLeave, P);
        if (!g_Drag) return true;
        g_Drag->Target = TControlLink(Target);
        if (Target) DragMessage(Target, dmDragEnter, P);
        if (!g_Drag) return true;
      }
      g_Drag->Accepted = Target && DragMessage(Target, dmDragMove, P);
      if (!g_Drag) return true;
      const bool ImagesShown = MoveDragImages(g_Drag->Target.Get(), P);
      TCursor Cursor = g_Drag->Object->GetDragCursor(g_Drag->Accepted, P.X, P.Y);
      if (ImagesShown && g_Drag->Accepted && DragImages()->DragCursor() != crDefault)
        Cursor = DragImages()->DragCursor();
      if (Screen) ::SetCursor(Screen->Cursors(Cursor));
      return true;
    }
    case WM_LBUTTONUP:
      if (!g_Drag->Started) {
        // No drag after all: the release is an ordinary one.
        EndDrag(false);
        return false;
      }
      EndDrag(true);
      return true;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE:
      EndDrag(false);
      return true;
    default:
      return g_Drag->Started;
  }
}

bool TMouse::IsDragging() const { return g_Drag && g_Drag->Started; }

void CancelDrag() {
  if (g_Drag)
    if (TControl* Source = g_Drag->Source.Get()) Source->EndDrag(false);
}

bool rtl::detail::DragKeyMessage(UINT Msg, WPARAM WParam) {
  if (!g_Drag || !g_Drag->Started) return false;
  if (Msg == WM_KEYDOWN && WParam == VK_ESCAPE) {
    CancelDrag();
    return true;
  }
  return false;
}
