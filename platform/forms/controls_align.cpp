// Bounds, size constraints, auto-size, anchors and the alignment of a
// container's children.
#include <algorithm>
#include <climits>

#include "platform/forms/controls.h"
#include "platform/rtl/mathutils.h"
#include "platform/rtl/scope_exit.h"

// ---- TControl: bounds ---------------------------------------------------------------

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool Result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, Result);
  return Result;
}

bool TControl::CanAutoSize(Integer&, Integer&) { return true; }

void TControl::ConstrainedResize(Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight) {
  if (OnConstrainedResize) OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::DoConstrainedResize(Integer& NewWidth, Integer& NewHeight) {
  Integer MinWidth = std::max(0, FConstraints->MinWidth());
  Integer MinHeight = std::max(0, FConstraints->MinHeight());
  Integer MaxWidth = std::max(0, FConstraints->MaxWidth());
  Integer MaxHeight = std::max(0, FConstraints->MaxHeight());
  ConstrainedResize(MinWidth, MinHeight, MaxWidth, MaxHeight);
  if (MaxWidth > 0 && NewWidth > MaxWidth)
    NewWidth = MaxWidth;
  else if (MinWidth > 0 && NewWidth < MinWidth)
    NewWidth = MinWidth;
  if (MaxHeight > 0 && NewHeight > MaxHeight)
    NewHeight = MaxHeight;
  else if (MinHeight > 0 && NewHeight < MinHeight)
    NewHeight = MinHeight;
}

bool TControl::DoCanResize(Integer& NewWidth, Integer& NewHeight) {
  bool Result = CanResize(NewWidth, NewHeight);
  if (Result) DoConstrainedResize(NewWidth, NewHeight);
  return Result;
}

bool TControl::DoCanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  if (FAlign == alClient) return true;
  Integer W = NewWidth, H = NewHeight;
  bool Result = CanAutoSize(W, H);
  if (FAlign == alNone || FAlign == alLeft || FAlign == alRight) NewWidth = W;
  if (FAlign == alNone || FAlign == alTop || FAlign == alBottom) NewHeight = H;
  return Result;
}

bool TControl::CheckNewSize(Integer& NewWidth, Integer& NewHeight) {
  Integer W = NewWidth, H = NewHeight;
  if (!DoCanResize(W, H)) return false;
  Integer W2 = W, H2 = H;
  bool Result = !FAutoSize || (DoCanAutoSize(W2, H2) && W2 == W && H2 == H) || DoCanResize(W2, H2);
  if (Result) {
    DoConstrainedResize(W2, H2);
    NewWidth = W2;
    NewHeight = H2;
  }
  return Result;
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TControl::WMWindowPosChanged(TMessage& Message) { DefaultHandler(Message); }

void TControl::UpdateBoundsRect(const TRect& R) {
  UpdateAnchorRules();
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
  RequestAlign();
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::DoConstraintsChange(TObject*) { AdjustSize(); }

// The anchor rules keep what an anchored control holds on to while its
// parent resizes: its width (both sides anchored), its distance from the
// far edge (one side), or its centre (neither). The parent size is always
// the client size, so that the rules do not change meaning when the
// parent's window is created.
void TControl::UpdateAnchorRules() {
  if (FAnchorMove || ComponentState().Contains(csLoading)) return;
  if (FAnchors == TAnchors{akLeft, akTop}) {
    FOriginalParentSize = TPoint(0, 0);
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.Y = FTop + FHeight / 2;
  if (FParent && !FParent->ComponentState().Contains(csReading)) {
    TRect R = FParent->ClientRect();
    FOriginalParentSize = TPoint(R.Right, R.Bottom);
  }
}

// ---- TWinControl: alignment ------------------------------------------------------------

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0) {
    if (FControlState.Contains(csAlignmentNeeded)) Realign();
  }
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  if (FAlignLevel != 0) {
    FControlState += csAlignmentNeeded;
    return;
  }
  AlignControlsNow(AControl);
}

void TWinControl::AlignControlsNow(TControl* AControl) {
  DisableAlign();
  TControlLink Self(this);
  {
    // A failed alignment leaves the level as it found it without aligning again.
    TScopeExit Undo(seOnUnwind, [&] {
      if (Self) {
        FControlState -= csAlignmentNeeded;
        --FAlignLevel;
      }
    });
    TRect R = GetClientRect();
    AlignControls(AControl, R);
  }
  if (!Self) return;
  FControlState -= csAlignmentNeeded;
  EnableAlign();
}

void TWinControl::RequestAlign() {
  inherited::RequestAlign();
}

void TWinControl::AdjustClientRect(TRect&) {}

bool TWinControl::CustomAlignInsertBefore(TControl* C1, TControl* C2) {
  if (OnAlignInsertBefore) return OnAlignInsertBefore(this, C1, C2);
  return false;
}

void TWinControl::CustomAlignPosition(TControl* Control, Integer& NewLeft, Integer& NewTop, Integer& NewWidth,
                                      Integer& NewHeight, TRect& AlignRect) {
  if (OnAlignPosition) OnAlignPosition(this, Control, NewLeft, NewTop, NewWidth, NewHeight, AlignRect);
}

namespace {

bool InsertBefore(TWinControl* Self, TControl* C1, TControl* C2, TAlign AAlign,
                  bool (TWinControl::*Custom)(TControl*, TControl*)) {
  switch (AAlign) {
    case alTop:
      return C1->Top() < C2->Top();
    case alBottom:
      return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
    case alLeft:
      return C1->Left() < C2->Left();
    case alRight:
      return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
    case alCustom:
      return (Self->*Custom)(C1, C2);
    case alNone:
    case alClient:
      break;
  }
  return false;
}

}  // namespace

// Aligns the children group by group in the order top, bottom, left,
// right, client, custom; then applies the anchors of the unaligned ones.
// Within a group the control that asked for the alignment comes first,
// the others by position. Each aligned control takes its strip off the
// rectangle that is left.
void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  std::vector<TControl*> AlignList;

  auto DoPosition = [&](TControl* Control, TAlign AAlign) {
    if (AAlign == alNone || Control->FAnchors != AnchorAlign(AAlign)) {
      if (Control->FOriginalParentSize.X != 0 && Control->FOriginalParentSize.Y != 0) {
        Integer NewLeft = Control->FLeft, NewTop = Control->FTop;
        Integer NewWidth = Control->FWidth, NewHeight = Control->FHeight;
        TRect PR = GetClientRect();
        TPoint ParentSize(PR.Right, PR.Bottom);
        const TAnchors& A = Control->FAnchors;
        const TPoint& Orig = Control->FOriginalParentSize;
        const TPoint& Rules = Control->FAnchorRules;
        if (A.Contains(akRight)) {
          if (A.Contains(akLeft))
            NewWidth = ParentSize.X - (Orig.X - Rules.X);
          else
            NewLeft = ParentSize.X - (Orig.X - Rules.X);
        } else if (!A.Contains(akLeft)) {
          NewLeft = MulDiv(Rules.X, ParentSize.X, Orig.X) - NewWidth / 2;
        }
        if (A.Contains(akBottom)) {
          if (A.Contains(akTop))
            NewHeight = ParentSize.Y - (Orig.Y - Rules.Y);
          else
            NewTop = ParentSize.Y - (Orig.Y - Rules.Y);
        } else if (!A.Contains(akTop)) {
          NewTop = MulDiv(Rules.Y, ParentSize.Y, Orig.Y) - NewHeight / 2;
        }
        Control->FAnchorMove = true;
        Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
        Control->FAnchorMove = false;
      }
      if (AAlign == alNone) return;
    }
    Integer NewWidth = Rect.Right - Rect.Left;
    if (NewWidth < 0 || AAlign == alLeft || AAlign == alRight || AAlign == alCustom) NewWidth = Control->FWidth;
    Integer NewHeight = Rect.Bottom - Rect.Top;
    if (NewHeight < 0 || AAlign == alTop || AAlign == alBottom || AAlign == alCustom) NewHeight = Control->FHeight;
    Integer NewLeft = Rect.Left, NewTop = Rect.Top;
    switch (AAlign) {
      case alTop:
        Rect.Top += NewHeight;
        break;
      case alBottom:
        Rect.Bottom -= NewHeight;
        NewTop = Rect.Bottom;
        break;
      case alLeft:
        Rect.Left += NewWidth;
        break;
      case alRight:
        Rect.Right -= NewWidth;
        NewLeft = Rect.Right;
        break;
      case alCustom:
        NewLeft = Control->FLeft;
        NewTop = Control->FTop;
        CustomAlignPosition(Control, NewLeft, NewTop, NewWidth, NewHeight, Rect);
        break;
      case alNone:
      case alClient:
        break;
    }
    Control->FAnchorMove = true;
    Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
    Control->FAnchorMove = false;
    // A control that kept another size than asked gives the difference
    // back to the rectangle.
    if (Control->FWidth != NewWidth || Control->FHeight != NewHeight) {
      switch (AAlign) {
        case alTop:
          Rect.Top -= NewHeight - Control->FHeight;
          break;
        case alBottom:
          Rect.Bottom += NewHeight - Control->FHeight;
          break;
        case alLeft:
          Rect.Left -= NewWidth - Control->FWidth;
          break;
        case alRight:
          Rect.Right += NewWidth - Control->FWidth;
          break;
        case alClient:
          Rect.Right += Control->FWidth - NewWidth;
          Rect.Bottom += Control->FHeight - NewHeight;
          break;
        case alNone:
        case alCustom:
          break;
      }
    }
  };

  auto DoAlign = [&](TAlign AAlign) {
    AlignList.clear();
    if (AControl && (AAlign == alNone || AControl->FVisible) && AControl->FAlign == AAlign &&
        AControl->FParent == this)
      AlignList.push_back(AControl);
    for (Integer I = 0; I < ControlCount(); ++I) {
      TControl* Control = Controls(I);
      if (Control->FAlign != AAlign || !(AAlign == alNone || Control->FVisible)) continue;
      if (Control == AControl) continue;
      size_t J = 0;
      while (J < AlignList.size() && !InsertBefore(this, Control, AlignList[J], AAlign,
                                                   &TWinControl::CustomAlignInsertBefore))
        ++J;
      AlignList.insert(AlignList.begin() + static_cast<ptrdiff_t>(J), Control);
    }
    for (TControl* Control : AlignList) DoPosition(Control, AAlign);
  };

  if (ControlCount() > 0) {
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) DoAlign(A);
  }
  ControlsAligned();
  if (FAutoSize) AdjustSize();
}

// ---- TWinControl: bounds ---------------------------------------------------------------

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    // The window reports its new bounds back (WM_WINDOWPOSCHANGED, WM_SIZE).
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
      WINDOWPLACEMENT WP{};
      WP.length = sizeof(WP);
      GetWindowPlacement(FHandle, &WP);
      WP.rcNormalPosition = BoundsRect();
      SetWindowPlacement(FHandle, &WP);
    } else {
      // Without a window nothing reports the change: the children follow
      // and the handler hears of it here.
      UpdateAnchorRules();
      RequestAlign();
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
      return;
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::AdjustSize() {
  if (ComponentState().Contains(csLoading)) return;
  Integer W = FWidth, H = FHeight;
  if (!CheckNewSize(W, H)) return;
  if (W != FWidth || H != FHeight) SetBounds(FLeft, FTop, W, H);
}

bool TWinControl::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  // The size that shows every visible child, keeping the non-client part.
  Integer Right = INT_MIN, Bottom = INT_MIN;
  for (Integer I = 0; I < ControlCount(); ++I) {
    TControl* C = Controls(I);
    if (!C->Visible()) continue;
    Right = std::max(Right, C->Left() + C->Width());
    Bottom = std::max(Bottom, C->Top() + C->Height());
  }
  if (Right == INT_MIN) return true;
  TRect Client = CalcClientRect();
  if (FAlign != alTop && FAlign != alBottom && FAlign != alClient) NewWidth = Right + (FWidth - Client.Right);
  if (FAlign != alLeft && FAlign != alRight && FAlign != alClient) NewHeight = Bottom + (FHeight - Client.Bottom);
  return true;
}
