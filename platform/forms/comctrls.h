// The common controls the forms use: progress bars, track bars, up-downs,
// page controls with their tab sheets, and tree views with their nodes.
// Each wraps a common window class ("msctls_progress32",
// "msctls_trackbar32", "msctls_updown32", "SysTabControl32",
// "SysTreeView32") and keeps its state while it has no window, handing it
// to the next one.
#pragma once

#include <memory>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/rtl/stringlist.h"

class TCustomImageList;
class TChangeLink;
class TPageControl;
class TCustomTreeView;
class TTreeNodes;
struct _TREEITEM;
struct TVITEMA;

// ---- Progress bar -----------------------------------------------------------------------

RTL_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical)

// Shows Position between Min and Max, in blocks or (Smooth) as one bar.
class TProgressBar : public TWinControl {
  RTL_CLASS(TProgressBar, TWinControl)
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 0;
  Integer FStep = 10;
  bool FSmooth = false;
  TProgressBarOrientation FOrientation = pbHorizontal;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 public:
  explicit TProgressBar(TComponent* AOwner);

  // Raises EInvalidOperation "TProgressBar property out of range" when AMax
  // is below AMin; the position is kept within the range.
  void SetParams(Integer AMin, Integer AMax);
  Integer Min() const { return FMin; }
  void SetMin(Integer Value) { SetParams(Value, FMax); }
  Integer Max() const { return FMax; }
  void SetMax(Integer Value) { SetParams(FMin, Value); }
  Integer Position();
  void SetPosition(Integer Value);
  Integer Step() const { return FStep; }
  void SetStep(Integer Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation Value);
  // Advances by Step (back to Min past Max) / by Delta.
  void StepIt();
  void StepBy(Integer Delta);
};

// ---- Track bar ----------------------------------------------------------------------------

RTL_ENUM(TTrackBarOrientation, trHorizontal, trVertical)
RTL_ENUM(TTickMark, tmBottomRight, tmTopLeft, tmBoth)
RTL_ENUM(TTickStyle, tsNone, tsAuto, tsManual)

// A slider over Min..Max. Moving it (mouse or keys) sets Position and
// fires OnChange; so does setting Position in code.
class TTrackBar : public TWinControl {
  RTL_CLASS(TTrackBar, TWinControl)
  TTrackBarOrientation FOrientation = trHorizontal;
  TTickMark FTickMarks = tmBottomRight;
  TTickStyle FTickStyle = tsAuto;
  Integer FMin = 0;
  Integer FMax = 10;
  Integer FPosition = 0;
  Integer FFrequency = 1;
  Integer FLineSize = 1;
  Integer FPageSize = 2;
  Integer FSelStart = 0;
  Integer FSelEnd = 0;
  Integer FThumbLength = 20;
  bool FSliderVisible = true;

  void Scrolled(TMessage& Message);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // CM_CHANGED, then OnChange.
  void Changed() override;

 public:
  explicit TTrackBar(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  Integer Min() const { return FMin; }
  void SetMin(Integer Value);
  Integer Max() const { return FMax; }
  void SetMax(Integer Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value);
  Integer Frequency() const { return FFrequency; }
  void SetFrequency(Integer Value);
  Integer LineSize() const { return FLineSize; }
  void SetLineSize(Integer Value);
  Integer PageSize() const { return FPageSize; }
  void SetPageSize(Integer Value);
  Integer SelStart() const { return FSelStart; }
  void SetSelStart(Integer Value);
  Integer SelEnd() const { return FSelEnd; }
  void SetSelEnd(Integer Value);
  Integer ThumbLength() const { return FThumbLength; }
  void SetThumbLength(Integer Value);
  bool SliderVisible() const { return FSliderVisible; }
  void SetSliderVisible(bool Value);
  TTrackBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTrackBarOrientation Value);
  TTickMark TickMarks() const { return FTickMarks; }
  void SetTickMarks(TTickMark Value);
  TTickStyle TickStyle() const { return FTickStyle; }
  void SetTickStyle(TTickStyle Value);

  TNotifyEvent OnChange;
};

// ---- Up-down ---------------------------------------------------------------------------------

RTL_ENUM(TUDAlignButton, udLeft, udRight)
RTL_ENUM(TUDOrientation, udHorizontal, udVertical)
RTL_ENUM(TUDBtnType, btNext, btPrev)
enum TUpDownDirection { updNone, updUp, updDown };

using TUDClickEvent = TClosure<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TClosure<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx =
    TClosure<void(TObject* Sender, bool& AllowChange, SmallInt NewValue, TUpDownDirection Direction)>;

// Two arrows that step Position by Increment between Min and Max, writing
// it into the Associate control (an edit) that they sit beside. Each step
// asks OnChanging (and OnChangingEx), then tells OnClick.
class TCustomUpDown : public TWinControl {
  RTL_CLASS(TCustomUpDown, TWinControl)
  TWinControl* FAssociate = nullptr;
  TUDAlignButton FAlignButton = udRight;
  TUDOrientation FOrientation = udVertical;
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FIncrement = 1;
  Integer FPosition = 0;
  bool FArrowKeys = true;
  bool FThousands = true;
  bool FWrap = false;

  void UpdateBuddy();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanChange();
  virtual bool DoCanChange(SmallInt NewVal, TUpDownDirection Direction);
  using TWinControl::Click;
  virtual void Click(TUDBtnType Button);

 public:
  explicit TCustomUpDown(TComponent* AOwner);
  void Dispatch(TMessage& Message) override;

  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton Value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  Integer Min() const { return FMin; }
  void SetMin(Integer Value);
  Integer Max() const { return FMax; }
  void SetMax(Integer Value);
  Integer Increment() const { return FIncrement; }
  void SetIncrement(Integer Value);
  Integer Position();
  void SetPosition(Integer Value);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);

  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;
  TUDClickEvent OnClick;
};

class TUpDown : public TCustomUpDown {
  RTL_CLASS(TUpDown, TCustomUpDown)

 public:
  explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};

// ---- Tab control and page control -----------------------------------------------------------

RTL_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
RTL_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)
using TTabChangingEvent = TClosure<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl;

// The tabs of a tab control: captions with objects, kept by the control
// and shown by its window.
class TTabStrings : public TStrings {
  RTL_CLASS(TTabStrings, TStrings)
  friend class TCustomTabControl;
  TCustomTabControl* FTabControl = nullptr;

 protected:
  void DefineProperties(TFiler* Filer) override;

 public:
  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  void Put(Integer Index, const AnsiString& S) override;
  void Insert(Integer Index, const AnsiString& S) override;
  void InsertObject(Integer Index, const AnsiString& S, TObject* AObject) override;
  void Delete(Integer Index) override;
  void Clear() override;
};

// A row of tabs ("SysTabControl32") over a display area. A tab chosen by
// the user asks OnChanging first and fires OnChange after. With Images,
// each tab shows the image GetImageIndex names beside its caption.
class TCustomTabControl : public TWinControl {
  RTL_CLASS(TCustomTabControl, TWinControl)
  friend class TTabStrings;
  struct TTab {
    AnsiString Caption;
    TObject* Object = nullptr;
  };
  std::unique_ptr<TTabStrings> FTabs;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  std::vector<TTab> FItems;
  TCustomImageList* FImages = nullptr;
  Integer FTabIndex = -1;
  Integer FLoadedTabIndex = -2;  // an index read before its tabs; -2: none
  TTabPosition FTabPosition = tpTop;
  TTabStyle FStyle = tsTabs;
  bool FMultiLine = false;
  bool FHotTrack = false;

  void SendTab(UINT Msg, Integer Index);
  void TabsChanged();
  void ImageListChange(TObject* Sender);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void AdjustClientRect(TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanChange();
  virtual void Change();
  virtual void CNNotify(TMessage& Message);
  // The image of tab TabIndex: its own index here; a page control's
  // pages name theirs.
  virtual Integer GetImageIndex(Integer TabIndex);
  // Whether tab TabIndex shows highlighted: a page control's pages say.
  virtual bool GetTabHighlighted(Integer TabIndex);
  // Sends every tab's caption and image to the window again.
  void UpdateTabImages();

 public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;
  void Dispatch(TMessage& Message) override;

  TStrings* Tabs() const { return FTabs.get(); }
  void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
  // The chosen tab; -1 for none.
  Integer TabIndex() const { return FTabIndex; }
  void SetTabIndex(Integer Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // The area inside the tabs and the frame, in client coordinates.
  TRect DisplayRect();
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition Value);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
};

// A tab control of its own: the application reads TabIndex and fills
// the display area itself.
class TTabControl : public TCustomTabControl {
  RTL_CLASS(TTabControl, TCustomTabControl)

 public:
  explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}
};

// A page of a page control. A page whose TabVisible is false has no tab
// but can still be made the active page in code.
class TTabSheet : public TWinControl {
  RTL_CLASS(TTabSheet, TWinControl)
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  Integer FImageIndex = 0;
  bool FTabVisible = true;
  bool FTabShowing = false;
  bool FHighlighted = false;

  void SetTabShowing(bool Value);
  void UpdateTabShowing();

 protected:
  void CMShowingChanged(TMessage& Message) override;
  virtual void DoShow();
  virtual void DoHide();

 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  void Dispatch(TMessage& Message) override;
  // A page read as a child of a page control belongs to it.
  void ReadState(TReader* Reader) override;

  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* APageControl);
  // The page's place among its control's pages.
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  // The place of its tab among the tabs shown; -1 without a tab.
  Integer TabIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
};

// Pages (tab sheets) behind tabs; one page, the active one, shows. The
// user choosing a tab, or Ctrl+Tab, changes the page and fires OnChange.
class TPageControl : public TCustomTabControl {
  RTL_CLASS(TPageControl, TCustomTabControl)
  friend class TTabSheet;
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;

  void ChangeActivePage(TTabSheet* Page);
  void DeleteTab(TTabSheet* Page, Integer Index);
  void InsertTab(TTabSheet* Page);
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MoveTab(Integer CurIndex, Integer NewIndex);
  void UpdateTab(TTabSheet* Page);
  void UpdateActivePage();

 protected:
  void Change() override;
  Integer GetImageIndex(Integer TabIndex) override;
  bool GetTabHighlighted(Integer TabIndex) override;
  void CMDialogKey(TMessage& Message) override;

 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void ShowControl(TControl* AControl) override;

  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* Page);
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer Value);
  Integer PageCount() const { return static_cast<Integer>(FPages.size()); }
  TTabSheet* Pages(Integer Index) const;
  // The page after (or before) CurPage, going round; only pages with a
  // visible tab when CheckTabVisible.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
};

// ---- Tree view ------------------------------------------------------------------------------

// In a namespace of its own: the grid has a sort type of the same name.
namespace ComCtrls {
RTL_ENUM(TSortType, stNone, stData, stText, stBoth)
}  // namespace ComCtrls
enum THitTest {
  htAbove,
  htBelow,
  htNowhere,
  htOnItem,
  htOnButton,
  htOnIcon,
  htOnIndent,
  htOnLabel,
  htOnRight,
  htOnStateIcon,
  htToLeft,
  htToRight
};
using THitTests = TSet<THitTest, 16>;
enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class TTreeNode;
using TTVChangingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TClosure<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TClosure<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = TClosure<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, Integer Data, Integer& Compare)>;
using TTVEditingEvent = TClosure<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TClosure<void(TObject* Sender, TTreeNode* Node, AnsiString& S)>;

// A node of a tree view: text, data, image indexes and children. The view
// shows it through an item of its window while it has one.
class TTreeNode : public TPersistent {
  RTL_CLASS(TTreeNode, TPersistent)
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNodes* FOwner;
  TTreeNode* FParent = nullptr;
  std::vector<TTreeNode*> FChildren;
  AnsiString FText;
  void* FData = nullptr;
  Integer FImageIndex = 0;
  Integer FSelectedIndex = 0;
  Integer FStateIndex = -1;
  Integer FOverlayIndex = -1;
  _TREEITEM* FItemId = nullptr;
  bool FExpanded = false;  // while the view has no window
  bool FHasChildren = false;

  std::vector<TTreeNode*>& Siblings() const;
  void SetExpandedState(bool Value, bool Recurse);
  void ItemChanged(unsigned Mask);

 public:
  explicit TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;
  _TREEITEM* ItemId() const { return FItemId; }

  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  Integer SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(Integer Value);
  Integer StateIndex() const { return FStateIndex; }
  void SetStateIndex(Integer Value);
  Integer OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(Integer Value) { FOverlayIndex = Value; }

  TTreeNode* Parent() const { return FParent; }
  Integer Count() const { return static_cast<Integer>(FChildren.size()); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TTreeNode* Item(Integer Index) const;
  Integer IndexOf(const TTreeNode* Child) const;
  Integer Index() const;
  Integer Level() const;
  Integer AbsoluteIndex() const;
  bool HasAsParent(const TTreeNode* Value) const;
  bool HasChildren() const { return !FChildren.empty() || FHasChildren; }
  // Shows the expand button even before children are added.
  void SetHasChildren(bool Value);
  TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
  TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  // The next / previous node in the whole tree (parents before children).
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;

  bool Expanded() const;
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  void SetSelected(bool Value);
  // Whether every parent is expanded.
  bool IsVisible() const;
  // Expands the parents and scrolls the node into view.
  void MakeVisible();
  // The node's row (or its label, TextOnly) in the view; empty when it is
  // not shown.
  TRect DisplayRect(bool TextOnly) const;
  // Moves the node (with its children) to Destination as Mode says.
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
  // Frees the node and its children (OnDeletion for each).
  void Delete();
  void DeleteChildren();
  void AlphaSort(bool Recurse = false);
  void Assign(TPersistent* Source) override;
  // Starts editing the node's label in the view (which asks OnEditing);
  // false when it did not start.
  bool EditText();
  // Ends an edit of the label, keeping the text typed unless Cancel.
  void EndEdit(bool Cancel);
};

// The nodes of a tree view.
class TTreeNodes : public TPersistent {
  RTL_CLASS(TTreeNodes, TPersistent)
  friend class TTreeNode;
  friend class TCustomTreeView;
  TCustomTreeView* FOwner;
  std::vector<TTreeNode*> FRoots;
  Integer FUpdateCount = 0;

  TTreeNode* InternalAdd(TTreeNode* Parent, Integer Position, const AnsiString& S, void* Ptr);
  // Where a new child goes among Parent's children (sorted views put it
  // in its place).
  Integer SortedPosition(TTreeNode* Parent, Integer Position, const AnsiString& S) const;

 public:
  explicit TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return FOwner; }
  // Last sibling of Sibling (a root when null).
  TTreeNode* Add(TTreeNode* Sibling, const AnsiString& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const AnsiString& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
  // Last child of Parent (a root when null).
  TTreeNode* AddChild(TTreeNode* Parent, const AnsiString& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const AnsiString& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const AnsiString& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const AnsiString& S, void* Ptr);
  // Before Sibling (last root when null).
  TTreeNode* Insert(TTreeNode* Sibling, const AnsiString& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const AnsiString& S, void* Ptr);
  void Delete(TTreeNode* Node) { Node->Delete(); }
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  // Every node, parents before children.
  Integer Count() const;
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TTreeNode* Item(Integer Index) const;
  TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
  TTreeNode* GetNode(_TREEITEM* ItemId) const;
  // Copies another view's nodes (text, data, images, structure).
  void Assign(TPersistent* Source) override;
};

// A tree view ("SysTreeView32"). The user expanding, collapsing and
// selecting (mouse or keys) asks OnExpanding / OnCollapsing / OnChanging
// first and tells OnExpanded / OnCollapsed / OnChange after; so does doing
// it in code while the view has a window.
class TCustomTreeView : public TWinControl {
  RTL_CLASS(TCustomTreeView, TWinControl)
  friend class TTreeNode;
  friend class TTreeNodes;
  std::unique_ptr<TTreeNodes> FTreeNodes;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  std::unique_ptr<TChangeLink> FStateChangeLink;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  TTreeNode* FSelected = nullptr;  // while there is no window
  TBorderStyle FBorderStyle = bsSingle;
  Integer FIndent = 19;
  ComCtrls::TSortType FSortType = ComCtrls::stNone;
  bool FAutoExpand = false;
  bool FHideSelection = true;
  bool FHotTrack = false;
  bool FReadOnly = false;
  bool FRightClickSelect = false;
  bool FRowSelect = false;
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  bool FToolTips = true;
  Integer FQuiet = 0;  // notifications of our own doing are not told

  void ImageListChange(TObject* Sender);
  void InsertItem(TTreeNode* Node);
  void InsertItems(TTreeNode* Node);
  void ForgetItems(TTreeNode* Node, bool Save);
  void DeletingNode(TTreeNode* Node);
  // Sorting: the view's order (OnCompare, else the text), ties kept in
  // the order they had, for the nodes and the window's items alike.
  static int CompareItems(LPARAM A, LPARAM B, LPARAM Tree);
  void SortChildren(TTreeNode* Parent, bool Recurse);
  Integer CompareNodes(TTreeNode* A, TTreeNode* B);
  const std::vector<TTreeNode*>* FSorting = nullptr;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void CNNotify(TMessage& Message);
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual void Delete(TTreeNode* Node);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  // An edit of a label ended with text S (OnEdited may change it); the
  // node takes it.
  virtual void Edit(const TVITEMA& Item);

 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;
  void Dispatch(TMessage& Message) override;

  TTreeNodes* Items() const { return FTreeNodes.get(); }
  void SetItems(TTreeNodes* Value) { FTreeNodes->Assign(Value); }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* Value);
  TTreeNode* TopItem() const;
  TTreeNode* GetNodeAt(Integer X, Integer Y);
  THitTests GetHitTestInfoAt(Integer X, Integer Y);
  void FullExpand();
  void FullCollapse();
  // Sorts the roots (and all children when Recurse) by OnCompare, or by
  // text without one.
  void AlphaSort(bool Recurse = true);
  // Whether a label is being edited.
  bool IsEditing();

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  Integer Indent();
  void SetIndent(Integer Value);
  ComCtrls::TSortType SortType() const { return FSortType; }
  void SetSortType(ComCtrls::TSortType Value);
  bool AutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  // Without ReadOnly the user edits a label by clicking the chosen node's.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool RightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value);

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVExpandedEvent OnDeletion;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVCompareEvent OnCompare;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
};

class TTreeView : public TCustomTreeView {
  RTL_CLASS(TTreeView, TCustomTreeView)

 public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// Registers these controls' classes for reading form descriptions.
void RegisterComCtrlsClasses();
