// Tree views, their node lists and nodes. The nodes are the control's own;
// the window shows each through an item whose parameter is the node.
#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/forms/comctrls.h"
#include "platform/forms/image_list.h"
#include "platform/forms/stdctrls_internal.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/strutils.h"
#include "platform/win/comctl/commctrl_controls.h"

RTL_IMPLEMENT_CLASS(TTreeNode)
RTL_IMPLEMENT_CLASS(TTreeNodes)
RTL_IMPLEMENT_CLASS(TCustomTreeView)
RTL_IMPLEMENT_PUBLISHED(TTreeView,
                        RTL_CONTROL_PROPS,
                        RTL_PROP(AutoExpand).Default(false),
                        RTL_PROP(BorderStyle).Default(bsSingle),
                        RTL_COLOR_PROP(clWindow),
                        RTL_PROP(Ctl3D).Stored<&Self::IsCtl3DStored>(),
                        RTL_PROP(HideSelection).Default(true),
                        RTL_PROP(HotTrack).Default(false),
                        RTL_PROP(Images),
                        RTL_PROP(Indent).Default(19),
                        RTL_PROP(ParentColor).Default(false),
                        RTL_PROP(ParentCtl3D).Default(true),
                        RTL_PROP(ReadOnly).Default(false),
                        RTL_PROP(RightClickSelect).Default(false),
                        RTL_PROP(RowSelect).Default(false),
                        RTL_PROP(ShowButtons).Default(true),
                        RTL_PROP(ShowLines).Default(true),
                        RTL_PROP(ShowRoot).Default(true),
                        RTL_PROP(SortType).Default(ComCtrls::stNone),
                        RTL_PROP(StateImages),
                        RTL_PROP(TabOrder).Default(-1),
                        RTL_PROP(TabStop).Default(true),
                        RTL_PROP(ToolTips).Default(true),
                        RTL_EVENT(OnChange),
                        RTL_EVENT(OnChanging),
                        RTL_EVENT(OnCollapsed),
                        RTL_EVENT(OnCollapsing),
                        RTL_EVENT(OnCompare),
                        RTL_EVENT(OnDeletion),
                        RTL_EVENT(OnEdited),
                        RTL_EVENT(OnEditing),
                        RTL_EVENT(OnExpanded),
                        RTL_EVENT(OnExpanding),
                        RTL_EVENT(OnGetImageIndex),
                        RTL_EVENT(OnGetSelectedIndex),
                        RTL_MOUSE_EVENTS,
                        RTL_WINCONTROL_EVENTS)

namespace {

HTREEITEM HItem(_TREEITEM* Id) { return Id; }

TTreeNode* NodeOfParam(LPARAM Param) { return reinterpret_cast<TTreeNode*>(Param); }

}  // namespace

// ---- TTreeNode ---------------------------------------------------------------------------

TTreeNode::~TTreeNode() {
  for (TTreeNode* C : FChildren) delete C;
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->FOwner; }

std::vector<TTreeNode*>& TTreeNode::Siblings() const { return FParent ? FParent->FChildren : FOwner->FRoots; }

void TTreeNode::ItemChanged(unsigned Mask) {
  TCustomTreeView* TV = TreeView();
  if (!FItemId || !TV->HandleAllocated()) return;
  TVITEMA It{};
  It.mask = Mask;
  It.hItem = HItem(FItemId);
  It.pszText = FText.data();
  It.iImage = I_IMAGECALLBACK;
  It.iSelectedImage = I_IMAGECALLBACK;
  It.cChildren = FHasChildren ? 1 : 0;
  It.stateMask = TVIS_STATEIMAGEMASK;
  It.state = FStateIndex >= 0 ? static_cast<UINT>(FStateIndex) << 12 : 0;
  SendMessage(TV->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&It));
}

void TTreeNode::SetText(const AnsiString& Value) {
  if (FText == Value) return;
  FText = Value;
  ItemChanged(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  ItemChanged(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetSelectedIndex(Integer Value) {
  if (FSelectedIndex == Value) return;
  FSelectedIndex = Value;
  ItemChanged(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(Integer Value) {
  if (FStateIndex == Value) return;
  FStateIndex = Value;
  ItemChanged(TVIF_STATE);
}

void TTreeNode::SetHasChildren(bool Value) {
  if (FHasChildren == Value) return;
  FHasChildren = Value;
  ItemChanged(TVIF_CHILDREN);
}

TTreeNode* TTreeNode::Item(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
  return FChildren[static_cast<size_t>(Index)];
}

Integer TTreeNode::IndexOf(const TTreeNode* Child) const {
  auto It = std::find(FChildren.begin(), FChildren.end(), Child);
  return It == FChildren.end() ? -1 : static_cast<Integer>(It - FChildren.begin());
}

Integer TTreeNode::Index() const {
  const auto& S = Siblings();
  return static_cast<Integer>(std::find(S.begin(), S.end(), this) - S.begin());
}

Integer TTreeNode::Level() const {
  Integer L = 0;
  for (TTreeNode* P = FParent; P; P = P->FParent) ++L;
  return L;
}

Integer TTreeNode::AbsoluteIndex() const {
  Integer I = 0;
  for (TTreeNode* N = FOwner->GetFirstNode(); N && N != this; N = N->GetNext()) ++I;
  return I;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
  for (TTreeNode* P = FParent; P; P = P->FParent)
    if (P == Value) return true;
  return false;
}

TTreeNode* TTreeNode::getNextSibling() const {
  const auto& S = Siblings();
  const size_t I = static_cast<size_t>(Index()) + 1;
  return I < S.size() ? S[I] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  const Integer I = Index();
  return I > 0 ? Siblings()[static_cast<size_t>(I - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front();
  for (const TTreeNode* N = this; N; N = N->FParent)
    if (TTreeNode* S = N->getNextSibling()) return S;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* S = getPrevSibling();
  if (!S) return FParent;
  while (!S->FChildren.empty()) S = S->FChildren.back();
  return S;
}

bool TTreeNode::Expanded() const {
  TCustomTreeView* TV = TreeView();
  if (!FItemId || !TV->HandleAllocated()) return FExpanded;
  return (SendMessage(TV->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(HItem(FItemId)), TVIS_EXPANDED) &
          TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpandedState(bool Value, bool Recurse) {
  TCustomTreeView* TV = TreeView();
  if (FItemId && TV->HandleAllocated())
    SendMessage(TV->Handle(), TVM_EXPAND, Value ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(HItem(FItemId)));
  else if (HasChildren() || !Value)
    FExpanded = Value;
  if (Recurse)
    for (TTreeNode* C : std::vector<TTreeNode*>(FChildren)) C->SetExpandedState(Value, true);
}

void TTreeNode::SetExpanded(bool Value) { SetExpandedState(Value, false); }

void TTreeNode::Expand(bool Recurse) { SetExpandedState(true, Recurse); }

void TTreeNode::Collapse(bool Recurse) { SetExpandedState(false, Recurse); }

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
  if (Value)
    TreeView()->SetSelected(this);
  else if (Selected())
    TreeView()->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* P = FParent; P; P = P->FParent)
    if (!P->Expanded()) return false;
  return true;
}

void TTreeNode::MakeVisible() {
  for (TTreeNode* P = FParent; P; P = P->FParent) P->Expand(false);
  TCustomTreeView* TV = TreeView();
  if (FItemId && TV->HandleAllocated())
    SendMessage(TV->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(HItem(FItemId)));
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView* TV = TreeView();
  if (!FItemId || !TV->HandleAllocated()) return TRect();
  // The message takes the item in the rectangle's first bytes and
  // answers the rectangle in the same place.
  alignas(RECT) unsigned char Buffer[sizeof(RECT)] = {};
  const HTREEITEM Item = HItem(FItemId);
  std::memcpy(Buffer, &Item, sizeof Item);
  if (!SendMessage(TV->Handle(), TVM_GETITEMRECT, TextOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(Buffer)))
    return TRect();
  Integer Sides[4];
  std::memcpy(Sides, Buffer, sizeof Sides);
  return TRect(Sides[0], Sides[1], Sides[2], Sides[3]);
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  if (Destination == this || (Destination && Destination->HasAsParent(this))) return;
  TCustomTreeView* TV = TreeView();
  const bool WasSelected = Selected();
  // The window's items go and come back in the new place, with the
  // subtree's expanded states.
  _TREEITEM* Id = FItemId;
  if (Id && TV->HandleAllocated()) {
    TV->ForgetItems(this, true);
    ++TV->FQuiet;
    SendMessage(TV->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(HItem(Id)));
    --TV->FQuiet;
  } else {
    TV->ForgetItems(this, false);
  }
  auto& Old = Siblings();
  Old.erase(std::find(Old.begin(), Old.end(), this));
  TTreeNode* NewParent = nullptr;
  Integer Position = -1;
  switch (Mode) {
    case naAdd:
    case naAddFirst:
      NewParent = Destination ? Destination->FParent : nullptr;
      Position = Mode == naAddFirst ? 0 : -1;
      break;
    case naAddChild:
    case naAddChildFirst:
      NewParent = Destination;
      Position = Mode == naAddChildFirst ? 0 : -1;
      break;
    case naInsert:
      NewParent = Destination ? Destination->FParent : nullptr;
      Position = Destination ? Destination->Index() : -1;
      break;
  }
  FParent = NewParent;
  auto& New = Siblings();
  Position = FOwner->SortedPosition(NewParent, Position < 0 ? static_cast<Integer>(New.size()) : Position, FText);
  New.insert(New.begin() + Position, this);
  TV->InsertItems(this);
  if (WasSelected) {
    ++TV->FQuiet;
    TV->SetSelected(this);
    --TV->FQuiet;
  }
}

void TTreeNode::DeleteChildren() {
  while (!FChildren.empty()) FChildren.front()->Delete();
  FHasChildren = false;
}

void TTreeNode::Delete() {
  TCustomTreeView* TV = TreeView();
  if (FItemId && TV->HandleAllocated()) {
    ++TV->FQuiet;
    SendMessage(TV->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(HItem(FItemId)));
    --TV->FQuiet;
  }
  TV->ForgetItems(this, false);
  // The children first, then the node: each hears OnDeletion while whole.
  while (!FChildren.empty()) FChildren.front()->Delete();
  TV->DeletingNode(this);
  auto& S = Siblings();
  S.erase(std::find(S.begin(), S.end(), this));
  delete this;
}

void TTreeNode::AlphaSort(bool Recurse) { TreeView()->SortChildren(this, Recurse); }

bool TTreeNode::EditText() {
  TCustomTreeView* TV = TreeView();
  if (!FItemId || !TV->HandleAllocated()) return false;
  return SendMessage(TV->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(HItem(FItemId))) != 0;
}

void TTreeNode::EndEdit(bool Cancel) {
  TCustomTreeView* TV = TreeView();
  if (TV->HandleAllocated()) SendMessage(TV->Handle(), TVM_ENDEDITLABELNOW, Cancel ? TRUE : FALSE, 0);
}

void TTreeNode::Assign(TPersistent* Source) {
  auto* N = dynamic_cast<TTreeNode*>(Source);
  if (!N) {
    inherited::Assign(Source);
    return;
  }
  SetText(N->FText);
  FData = N->FData;
  SetImageIndex(N->FImageIndex);
  SetSelectedIndex(N->FSelectedIndex);
  SetStateIndex(N->FStateIndex);
  FOverlayIndex = N->FOverlayIndex;
  SetHasChildren(N->FHasChildren);
}

// ---- TTreeNodes --------------------------------------------------------------------------

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* N : FRoots) delete N;
}

Integer TTreeNodes::SortedPosition(TTreeNode* Parent, Integer Position, const AnsiString& S) const {
  const ComCtrls::TSortType Sort = FOwner->FSortType;
  if (Sort != ComCtrls::stText && Sort != ComCtrls::stBoth) return Position;
  const auto& List = Parent ? Parent->FChildren : FRoots;
  Integer I = 0;
  while (I < static_cast<Integer>(List.size()) && AnsiCompareText(List[static_cast<size_t>(I)]->FText, S) <= 0) ++I;
  return I;
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, Integer Position, const AnsiString& S, void* Ptr) {
  auto& List = Parent ? Parent->FChildren : FRoots;
  if (Position < 0) Position = static_cast<Integer>(List.size());
  Position = SortedPosition(Parent, Position, S);
  auto* N = new TTreeNode(this);
  N->FText = S;
  N->FData = Ptr;
  N->FParent = Parent;
  List.insert(List.begin() + Position, N);
  FOwner->InsertItem(N);
  return N;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
  return InternalAdd(Sibling ? Sibling->FParent : nullptr, -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
  return InternalAdd(Sibling ? Sibling->FParent : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr) {
  return InternalAdd(Parent, -1, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr) {
  return InternalAdd(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr) {
  if (!Sibling) return InternalAdd(nullptr, -1, S, Ptr);
  return InternalAdd(Sibling->FParent, Sibling->Index(), S, Ptr);
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!FRoots.empty()) FRoots.front()->Delete();
  EndUpdate();
}

void TTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), WM_SETREDRAW, 0, 0);
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0 || !FOwner->HandleAllocated()) return;
  SendMessage(FOwner->Handle(), WM_SETREDRAW, 1, 0);
  FOwner->Invalidate();
}

Integer TTreeNodes::Count() const {
  Integer N = 0;
  for (TTreeNode* Node = GetFirstNode(); Node; Node = Node->GetNext()) ++N;
  return N;
}

TTreeNode* TTreeNodes::Item(Integer Index) const {
  TTreeNode* Node = GetFirstNode();
  for (Integer I = 0; Node && I < Index; ++I) Node = Node->GetNext();
  if (Index < 0 || !Node) throw EListError("List index out of bounds (%d)", {Index});
  return Node;
}

TTreeNode* TTreeNodes::GetNode(_TREEITEM* ItemId) const {
  if (!ItemId || !FOwner->HandleAllocated()) return nullptr;
  TVITEMA It{};
  It.mask = TVIF_PARAM | TVIF_HANDLE;
  It.hItem = HItem(ItemId);
  if (!SendMessage(FOwner->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It))) return nullptr;
  return NodeOfParam(It.lParam);
}

void TTreeNodes::Assign(TPersistent* Source) {
  auto* From = dynamic_cast<TTreeNodes*>(Source);
  if (!From) {
    inherited::Assign(Source);
    return;
  }
  BeginUpdate();
  TScopeExit EndUpdating([&] { EndUpdate(); });
  Clear();
  std::function<void(TTreeNode*, TTreeNode*)> Copy = [&](TTreeNode* Parent, TTreeNode* Node) {
    TTreeNode* N = AddChildObject(Parent, Node->Text(), Node->Data());
    N->Assign(Node);
    for (TTreeNode* C : Node->FChildren) Copy(N, C);
  };
  for (TTreeNode* R : From->FRoots) Copy(nullptr, R);
}

// ---- TCustomTreeView ---------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner),
      FTreeNodes(std::make_unique<TTreeNodes>(this)),
      FImageChangeLink(std::make_unique<TChangeLink>()),
      FStateChangeLink(std::make_unique<TChangeLink>()) {
  SetControlStyle(ControlStyle() - csCaptureMouse + csDisplayDragImage + csReflector);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
  FStateChangeLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
}

// The window goes first (its items with it), then the nodes, telling
// OnDeletion while the view is whole.
TCustomTreeView::~TCustomTreeView() {
  Destroying();
  try {
    DestroyHandle();
  } catch (...) {
    SetHandle(nullptr);
  }
  FTreeNodes->Clear();
  if (FImages) FImageChangeLink->Unlink();
  if (FStateImages) FStateChangeLink->Unlink();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  InitCommonControls();  // common control classes exist only once a program registers them
  CreateSubClass(Params, WC_TREEVIEW);
  Params.Style |= WS_VSCROLL | TVS_DISABLEDRAGDROP;
  if (FShowLines) Params.Style |= TVS_HASLINES;
  if (FShowRoot) Params.Style |= TVS_LINESATROOT;
  if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
  if (!FHideSelection) Params.Style |= TVS_SHOWSELALWAYS;
  if (!FToolTips) Params.Style |= TVS_NOTOOLTIPS;
  if (FHotTrack) Params.Style |= TVS_TRACKSELECT;
  if (FRowSelect) Params.Style |= TVS_FULLROWSELECT;
  if (FAutoExpand) Params.Style |= TVS_SINGLEEXPAND;
  if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomTreeView::CreateWnd() {
  inherited::CreateWnd();
  HWND H = Handle();
  SendMessage(H, TVM_SETINDENT, static_cast<WPARAM>(FIndent), 0);
  if (FImages) SendMessage(H, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages->Handle()));
  if (FStateImages) SendMessage(H, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(FStateImages->Handle()));
  for (TTreeNode* N : FTreeNodes->FRoots) InsertItems(N);
  if (TTreeNode* S = FSelected) {
    FSelected = nullptr;
    ++FQuiet;
    SendMessage(H, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(HItem(S->FItemId)));
    --FQuiet;
  }
}

void TCustomTreeView::DestroyWnd() {
  FSelected = Selected();
  for (TTreeNode* N : FTreeNodes->FRoots) ForgetItems(N, true);
  ++FQuiet;
  TScopeExit EndQuiet([&] { --FQuiet; });
  inherited::DestroyWnd();
}

void TCustomTreeView::InsertItem(TTreeNode* Node) {
  if (!HandleAllocated()) return;
  TVINSERTSTRUCTA Insert{};
  Insert.hParent = Node->FParent ? HItem(Node->FParent->FItemId) : TVI_ROOT;
  const Integer Index = Node->Index();
  Insert.hInsertAfter = Index == 0 ? TVI_FIRST : HItem(Node->Siblings()[static_cast<size_t>(Index - 1)]->FItemId);
  TVITEMA& It = Insert.item;
  It.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  It.pszText = Node->FText.data();
  It.lParam = reinterpret_cast<LPARAM>(Node);
  // Images are asked for as they are drawn (OnGetImageIndex).
  It.iImage = I_IMAGECALLBACK;
  It.iSelectedImage = I_IMAGECALLBACK;
  It.stateMask = TVIS_EXPANDED | TVIS_STATEIMAGEMASK;
  It.state = (Node->FExpanded ? TVIS_EXPANDED : 0) |
             (Node->FStateIndex >= 0 ? static_cast<UINT>(Node->FStateIndex) << 12 : 0);
  if (Node->FHasChildren) {
    It.mask |= TVIF_CHILDREN;
    It.cChildren = 1;
  }
  Node->FItemId = reinterpret_cast<_TREEITEM*>(SendMessage(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Insert)));
}

void TCustomTreeView::InsertItems(TTreeNode* Node) {
  InsertItem(Node);
  for (TTreeNode* C : Node->FChildren) InsertItems(C);
}

void TCustomTreeView::ForgetItems(TTreeNode* Node, bool Save) {
  if (Save) Node->FExpanded = Node->Expanded();
  for (TTreeNode* C : Node->FChildren) ForgetItems(C, Save);
  Node->FItemId = nullptr;
}

void TCustomTreeView::DeletingNode(TTreeNode* Node) {
  if (FSelected == Node) FSelected = nullptr;
  Delete(Node);
}

void TCustomTreeView::ImageListChange(TObject*) {
  if (HandleAllocated()) Invalidate();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FStateImages) SetStateImages(nullptr);
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImageChangeLink->Unlink();
  FImages = Value;
  if (Value) {
    Value->RegisterChanges(FImageChangeLink.get());
    Value->FreeNotification(this);
  }
  if (HandleAllocated())
    SendMessage(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (FStateImages == Value) return;
  if (FStateImages) FStateChangeLink->Unlink();
  FStateImages = Value;
  if (Value) {
    Value->RegisterChanges(FStateChangeLink.get());
    Value->FreeNotification(this);
  }
  if (HandleAllocated())
    SendMessage(Handle(), TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return FSelected;
  auto* TV = const_cast<TCustomTreeView*>(this);
  auto Caret = reinterpret_cast<_TREEITEM*>(SendMessage(TV->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  return FTreeNodes->GetNode(Caret);
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (Value && Value->TreeView() != this) return;
  if (!HandleAllocated()) {
    FSelected = Value;
    return;
  }
  SendMessage(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Value ? HItem(Value->FItemId) : nullptr));
}

TTreeNode* TCustomTreeView::TopItem() const {
  if (!HandleAllocated()) return FTreeNodes->GetFirstNode();
  auto* TV = const_cast<TCustomTreeView*>(this);
  return FTreeNodes->GetNode(
      reinterpret_cast<_TREEITEM*>(SendMessage(TV->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

TTreeNode* TCustomTreeView::GetNodeAt(Integer X, Integer Y) {
  TVHITTESTINFO Info{};
  Info.pt = POINT(X, Y);
  auto Hit = reinterpret_cast<_TREEITEM*>(SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
  return FTreeNodes->GetNode(Hit);
}

THitTests TCustomTreeView::GetHitTestInfoAt(Integer X, Integer Y) {
  TVHITTESTINFO Info{};
  Info.pt = POINT(X, Y);
  SendMessage(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info));
  static constexpr std::pair<UINT, THitTest> Flags[] = {
      {TVHT_ABOVE, htAbove},         {TVHT_BELOW, htBelow},         {TVHT_NOWHERE, htNowhere},
      {TVHT_ONITEM, htOnItem},       {TVHT_ONITEMBUTTON, htOnButton}, {TVHT_ONITEMICON, htOnIcon},
      {TVHT_ONITEMINDENT, htOnIndent}, {TVHT_ONITEMLABEL, htOnLabel}, {TVHT_ONITEMRIGHT, htOnRight},
      {TVHT_ONITEMSTATEICON, htOnStateIcon}, {TVHT_TOLEFT, htToLeft}, {TVHT_TORIGHT, htToRight}};
  THitTests Result;
  for (auto [Flag, Hit] : Flags)
    if (Info.flags & Flag) Result += Hit;
  return Result;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* N : std::vector<TTreeNode*>(FTreeNodes->FRoots)) N->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* N : std::vector<TTreeNode*>(FTreeNodes->FRoots)) N->Collapse(true);
}

Integer TCustomTreeView::CompareNodes(TTreeNode* A, TTreeNode* B) {
  Integer Result = 0;
  if (OnCompare)
    OnCompare(this, A, B, 0, Result);
  else
    Result = AnsiCompareText(A->FText, B->FText);
  if (Result == 0 && FSorting) {
    auto IndexIn = [this](TTreeNode* N) { return std::find(FSorting->begin(), FSorting->end(), N) - FSorting->begin(); };
    Result = static_cast<Integer>(IndexIn(A) - IndexIn(B));
  }
  return Result;
}

int TCustomTreeView::CompareItems(LPARAM A, LPARAM B, LPARAM Tree) {
  return reinterpret_cast<TCustomTreeView*>(Tree)->CompareNodes(NodeOfParam(A), NodeOfParam(B));
}

void TCustomTreeView::SortChildren(TTreeNode* Parent, bool Recurse) {
  auto& List = Parent ? Parent->FChildren : FTreeNodes->FRoots;
  const std::vector<TTreeNode*> Before = List;
  FSorting = &Before;
  {
    TScopeExit EndSorting([&] { FSorting = nullptr; });
    std::stable_sort(List.begin(), List.end(), [this](TTreeNode* A, TTreeNode* B) { return CompareNodes(A, B) < 0; });
    if (HandleAllocated() && (!Parent || Parent->FItemId)) {
      TVSORTCB Sort{Parent ? HItem(Parent->FItemId) : TVI_ROOT, &TCustomTreeView::CompareItems,
                    reinterpret_cast<LPARAM>(this)};
      SendMessage(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
    }
  }
  if (Recurse)
    for (TTreeNode* C : List) SortChildren(C, true);
}

void TCustomTreeView::AlphaSort(bool Recurse) { SortChildren(nullptr, Recurse); }

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool Result = true;
  if (OnChanging) OnChanging(this, Node, Result);
  return Result;
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool Result = true;
  if (OnExpanding) OnExpanding(this, Node, Result);
  return Result;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool Result = true;
  if (OnCollapsing) OnCollapsing(this, Node, Result);
  return Result;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
  if (OnGetImageIndex) OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool Result = true;
  if (OnEditing) OnEditing(this, Node, Result);
  return Result;
}

void TCustomTreeView::Edit(const TVITEMA& Item) {
  if (!Item.pszText) return;  // cancelled
  AnsiString S = Item.pszText;
  TTreeNode* Node = NodeOfParam(Item.lParam);
  TControlLink Self(this);
  if (OnEdited) OnEdited(this, Node, S);
  if (Self && Node) Node->SetText(S);
}

bool TCustomTreeView::IsEditing() {
  return HandleAllocated() && SendMessage(Handle(), TVM_GETEDITCONTROL, 0, 0) != 0;
}

void TCustomTreeView::CNNotify(TMessage& Message) {
  auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
  switch (Header->code) {
    case TVN_SELCHANGINGA: {
      if (FQuiet) return;
      auto* NM = reinterpret_cast<NMTREEVIEWA*>(Header);
      Message.Result = CanChange(NodeOfParam(NM->itemNew.lParam)) ? 0 : 1;
      return;
    }
    case TVN_SELCHANGEDA:
      if (!FQuiet) Change(NodeOfParam(reinterpret_cast<NMTREEVIEWA*>(Header)->itemNew.lParam));
      return;
    case TVN_ITEMEXPANDINGA: {
      if (FQuiet) return;
      auto* NM = reinterpret_cast<NMTREEVIEWA*>(Header);
      TTreeNode* Node = NodeOfParam(NM->itemNew.lParam);
      const bool Allowed = (NM->action & 3) == TVE_EXPAND ? CanExpand(Node) : CanCollapse(Node);
      Message.Result = Allowed ? 0 : 1;
      return;
    }
    case TVN_ITEMEXPANDEDA: {
      auto* NM = reinterpret_cast<NMTREEVIEWA*>(Header);
      TTreeNode* Node = NodeOfParam(NM->itemNew.lParam);
      const bool Expanding = (NM->action & 3) == TVE_EXPAND;
      Node->FExpanded = Expanding;
      if (FQuiet) return;
      if (Expanding)
        Expand(Node);
      else
        Collapse(Node);
      return;
    }
    case TVN_GETDISPINFOA: {
      auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Header);
      TTreeNode* Node = NodeOfParam(Info->item.lParam);
      if (!Node) return;
      if (Info->item.mask & TVIF_IMAGE) {
        GetImageIndex(Node);
        Info->item.iImage = Node->FImageIndex;
      }
      if (Info->item.mask & TVIF_SELECTEDIMAGE) {
        GetSelectedIndex(Node);
        Info->item.iSelectedImage = Node->FSelectedIndex;
      }
      return;
    }
    case TVN_BEGINLABELEDITA: {
      auto* Info = reinterpret_cast<NMTVDISPINFOA*>(Header);
      Message.Result = CanEdit(NodeOfParam(Info->item.lParam)) ? 0 : 1;
      return;
    }
    case TVN_ENDLABELEDITA:
      // The node takes the text itself; the window is told to keep its own.
      Edit(reinterpret_cast<NMTVDISPINFOA*>(Header)->item);
      return;
    case NM_RCLICK:
      if (FRightClickSelect) {
        POINT P;
        GetCursorPos(&P);
        ::ScreenToClient(Handle(), &P);
        if (TTreeNode* Node = GetNodeAt(P.X, P.Y)) SetSelected(Node);
      }
      return;
    default:
      // The items the window deletes are gone from the nodes already.
      return;
  }
}

void TCustomTreeView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    CNNotify(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

Integer TCustomTreeView::Indent() {
  if (HandleAllocated()) FIndent = static_cast<Integer>(SendMessage(Handle(), TVM_GETINDENT, 0, 0));
  return FIndent;
}

void TCustomTreeView::SetIndent(Integer Value) {
  if (FIndent == Value) return;
  FIndent = Value;
  if (HandleAllocated()) SendMessage(Handle(), TVM_SETINDENT, static_cast<WPARAM>(Value), 0);
}

void TCustomTreeView::SetSortType(ComCtrls::TSortType Value) {
  if (FSortType == Value) return;
  FSortType = Value;
  if (Value == ComCtrls::stText || Value == ComCtrls::stBoth) AlphaSort(true);
}

// The styles that change the look make a new window.
#define TREE_STYLE_SETTER(Name, Field)           \
  void TCustomTreeView::Set##Name(bool Value) {  \
    if (Field == Value) return;                  \
    Field = Value;                               \
    RecreateWnd();                               \
  }
TREE_STYLE_SETTER(AutoExpand, FAutoExpand)
TREE_STYLE_SETTER(HideSelection, FHideSelection)
TREE_STYLE_SETTER(HotTrack, FHotTrack)
TREE_STYLE_SETTER(ReadOnly, FReadOnly)
TREE_STYLE_SETTER(RowSelect, FRowSelect)
TREE_STYLE_SETTER(ShowButtons, FShowButtons)
TREE_STYLE_SETTER(ShowLines, FShowLines)
TREE_STYLE_SETTER(ShowRoot, FShowRoot)
TREE_STYLE_SETTER(ToolTips, FToolTips)
#undef TREE_STYLE_SETTER
