// In-place editing of cells and of the input line, the editor's keys, the
// grid's key presses, focus and the dialog code.
#include <algorithm>

#include "grid/nx_custom_grid_control.h"
#include "grid/nx_displays.h"
#include "grid/nx_edit.h"
#include "platform/forms/stdctrls.h"
#include "platform/forms/timer.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/user/user.h"
#include "platform/win/user/user_keys.h"

namespace {

TCustomEdit* AsEdit(TWinControl* Editor) { return dynamic_cast<TCustomEdit*>(Editor); }

}  // namespace

// ---- The editor ---------------------------------------------------------------------------

TWinControl* TNxCustomGridControl::ColumnEditor(TNxCustomColumn* Column) {
  if (!Column) return nullptr;
  if (auto* Own = dynamic_cast<TWinControl*>(Column->InplaceEdit())) return Own;
  return dynamic_cast<TWinControl*>(Column->Editor());
}

WideString TNxCustomGridControl::EditorText() {
  if (auto* E = dynamic_cast<TNxCustomEdit*>(FInplaceEditor)) return E->GetAsString();
  if (FInplaceEditor) return AnsiToWide(FInplaceEditor->Text());
  return WideString();
}

void TNxCustomGridControl::SetEditorText(const WideString& Value) {
  if (!FInplaceEditor) return;
  // The same text again would only report a change that did not happen.
  if (EditorText() == Value) return;
  FInplaceEditor->SetText(WideToAnsi(Value));
}

void TNxCustomGridControl::SetInplaceEditor(TWinControl* Editor) {
  FInplaceEditor = Editor;
  if (!Editor) return;
  // The grid forgets an editor that is freed while it is bound.
  Editor->FreeNotification(this);
  TCustomEdit* E = AsEdit(Editor);
  if (E) E->OnChange = nullptr;
  if (Editor->Parent() != this) Editor->SetParent(this);
  Editor->SetText(AnsiString());
  if (auto* N = dynamic_cast<TNxCustomEdit*>(Editor)) N->SetWantTabs(FWantTabs);
  Editor->SetBiDiMode(BiDiMode());
}

void TNxCustomGridControl::HookEditorEvents() {
  TWinControl* Editor = FInplaceEditor;
  if (!Editor) return;
  if (TCustomEdit* E = AsEdit(Editor))
    E->OnChange = [this](TObject*) {
      if (!FSuppressEditEvent && OnEdit) OnEdit(this, FEditCol, FEditRow, EditorText());
    };
  auto Repaint = [this](TObject*) {
    const bool Inside = Focused() || (FInplaceEditor && FInplaceEditor->Focused());
    if (!Inside && HandleAllocated()) Invalidate();
  };
  Editor->OnEnter = Repaint;
  Editor->OnExit = Repaint;
  Editor->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { EditorKeyDown(Sender, Key, Shift); };
  Editor->OnKeyPress = [this](TObject*, char& Key) {
    if (!FPassingKey) KeyPress(Key);
  };
  Editor->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) { KeyUp(Key, Shift); };
  if (std::find(FHookedEditors.begin(), FHookedEditors.end(), Editor) == FHookedEditors.end()) {
    FHookedEditors.push_back(Editor);
    Editor->FreeNotification(this);
  }
}

void TNxCustomGridControl::UnhookEditors() {
  // An editor may outlive the grid (the form owns both): it must not call
  // back into a grid that is gone.
  for (TWinControl* Editor : FHookedEditors) {
    if (TCustomEdit* E = AsEdit(Editor)) E->OnChange = nullptr;
    Editor->OnEnter = nullptr;
    Editor->OnExit = nullptr;
    Editor->OnKeyDown = nullptr;
    Editor->OnKeyPress = nullptr;
    Editor->OnKeyUp = nullptr;
    Editor->RemoveFreeNotification(this);
  }
  FHookedEditors.clear();
}

void TNxCustomGridControl::Notification(TComponent* AComponent, TOperation Operation) {
  TNxScrollControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  auto It = std::find(FHookedEditors.begin(), FHookedEditors.end(), AComponent);
  if (It != FHookedEditors.end()) FHookedEditors.erase(It);
  if (AComponent == FInplaceEditor) {
    FInplaceEditor = nullptr;
    FState.Exclude(sfEditing);
    FState.Exclude(sfInputEditing);
    FEditCol = -1;
    FEditRow = -1;
  }
}

void TNxCustomGridControl::SendKeyToEditor(char Key) {
  if (!FInplaceEditor || !FInplaceEditor->HandleAllocated()) return;
  const bool Was = FPassingKey;
  FPassingKey = true;
  SendMessage(FInplaceEditor->Handle(), WM_CHAR, static_cast<unsigned char>(Key), 0);
  FPassingKey = Was;
}

void TNxCustomGridControl::BindEditor(TNxCustomColumn* Column, TColor EditorColor) {
  TWinControl* Editor = ColumnEditor(Column);
  const bool Own = Column->InplaceEdit() == nullptr;
  SetInplaceEditor(Editor);
  if (!Own) {
    // The application's own editor keeps its events with goInplaceEditEvents.
    if (!FOptions.Contains(goInplaceEditEvents)) HookEditorEvents();
    return;
  }
  HookEditorEvents();
  Column->PrepareEditor();
  Editor->SetColor(EditorColor);
  Editor->Font()->Assign(Column->Font());
  if (auto* N = dynamic_cast<TNxCustomEdit*>(Editor)) N->PrepareEdit();
}

bool TNxCustomGridControl::CanEditCell(Integer ACol, Integer ARow) {
  if (!CellIsValid(ACol, ARow) || FReadOnly || !CanEdit()) return false;
  TNxCustomColumn* Column = FColumns->Items(ACol);
  return (Column->GetEditAbilities() & eaEditing) && ColumnEditor(Column);
}

// ---- Opening editors ----------------------------------------------------------------------

bool TNxCustomGridControl::BeginCellEdit(Integer ACol, Integer ARow) {
  if (FState.Contains(sfEditing) && FEditCol == ACol && FEditRow == ARow) return false;
  if (!CanEditCell(ACol, ARow)) return false;
  bool Accept = true;
  if (OnBeforeEdit) OnBeforeEdit(this, ACol, ARow, Accept);
  if (!Accept) return false;
  ApplyEditing();
  EndEditing();
  // A refused close keeps the old editor: no second one opens over it.
  if (FInplaceEditor) return false;
  FState.Include(sfEditing);
  FEditCol = ACol;
  FEditRow = ARow;
  return true;
}

void TNxCustomGridControl::EditCell(Integer ACol, Integer ARow, const WideString& Text) {
  if (!BeginCellEdit(ACol, ARow)) return;
  WideString Value = Text.empty() ? GetCells(ACol, ARow) : Text;
  TNxCustomColumn* Column = FColumns->Items(ACol);
  BindEditor(Column, GetCellColor(ACol, ARow));
  FSuppressEditEvent = Text.empty();
  if (OnApplyEditText) OnApplyEditText(this, ACol, ARow, Value);
  SetEditorText(Value);
  EditorShowing();
  PositionEditor();
  FSuppressEditEvent = false;
  if (TCustomEdit* E = AsEdit(FInplaceEditor)) {
    if (Column->Options().Contains(coEditorAutoSelect))
      E->SelectAll();
    else if (auto* N = dynamic_cast<TNxCustomEdit*>(E))
      N->PrepareEdit();
  }
  if (OnEditEnter) OnEditEnter(this);
}

void TNxCustomGridControl::EditCellWithKey(Integer ACol, Integer ARow, char Key) {
  if (!BeginCellEdit(ACol, ARow)) return;
  BindEditor(FColumns->Items(ACol), GetCellColor(ACol, ARow));
  PositionEditor();
  // The typed character replaces nothing: the editor holds just it.
  if (TCustomEdit* E = AsEdit(FInplaceEditor)) {
    E->SetAutoSelect(false);
    SendKeyToEditor(Key);
    E->SetAutoSelect(true);
  } else {
    SendKeyToEditor(Key);
  }
  EditorShowing();
  FSuppressEditEvent = false;
  if (auto* N = dynamic_cast<TNxCustomEdit*>(FInplaceEditor)) N->PrepareEdit();
  if (OnEditEnter) OnEditEnter(this);
}

bool TNxCustomGridControl::BeginInputEdit(TNxCustomColumn* Column) {
  ShowInputLine(true);
  SelectColumnInRow(Column->Index());
  ApplyEditing();
  EndEditing();
  if (FInplaceEditor) return false;
  if (!(Column->GetEditAbilities() & eaInput) || FReadOnly || !ColumnEditor(Column)) return false;
  FState.Include(sfInputEditing);
  BindEditor(Column, Column->Color());
  return true;
}

void TNxCustomGridControl::EditInputCell(TNxCustomColumn* Column, const WideString& Text) {
  if (!Column || !BeginInputEdit(Column)) return;
  if (TCustomEdit* E = AsEdit(FInplaceEditor)) {
    E->SetAutoSelect(false);
    E->Font()->SetColor(Column->Font()->Color());
  }
  FInputColumn = Column->Index();
  Column->SetInputEditing(true);
  FSuppressEditEvent = true;
  SetEditorText(Text.empty() ? Column->InputValue() : Text);
  FSuppressEditEvent = false;
  FEditCol = Column->Index();
  FEditRow = -1;
  PositionEditor();
  if (TCustomEdit* E = AsEdit(FInplaceEditor)) {
    if (Column->Options().Contains(coEditorAutoSelect))
      E->SelectAll();
    else if (auto* N = dynamic_cast<TNxCustomEdit*>(E))
      N->PrepareEdit();
  }
  if (OnInputSelectCell) OnInputSelectCell(this, Column->Index());
}

void TNxCustomGridControl::EditInputCellWithKey(Integer ACol, char Key) {
  if (!FColumns->IsValidIndex(ACol)) return;
  TNxCustomColumn* Column = FColumns->Items(ACol);
  if (!BeginInputEdit(Column)) return;
  if (TCustomEdit* E = AsEdit(FInplaceEditor)) E->Font()->SetColor(Column->Font()->Color());
  FInputColumn = ACol;
  Column->SetInputEditing(true);
  // No cell is named while this input edit lasts: OnEdit reports -1.
  FEditCol = -1;
  FEditRow = -1;
  PositionEditor();
  if (TCustomEdit* E = AsEdit(FInplaceEditor)) {
    E->SetAutoSelect(false);
    SendKeyToEditor(Key);
    E->SetAutoSelect(true);
  }
  if (auto* N = dynamic_cast<TNxCustomEdit*>(FInplaceEditor)) N->PrepareEdit();
  if (OnInputSelectCell) OnInputSelectCell(this, ACol);
}

// ---- Storing and closing ------------------------------------------------------------------

bool TNxCustomGridControl::ApplyEditing() {
  if (FState.Contains(sfEditing)) {
    if (!FInplaceEditor) return false;
    // A cell that is no longer in the grid takes nothing.
    if (GetRowCount() == 0 || FEditRow >= GetRowCount() || FEditCol == -1 || FEditRow == -1) return false;
    bool Accept = true;
    WideString Value = EditorText();
    if (OnEditAccept) OnEditAccept(this, FEditCol, FEditRow, Value, Accept);
    if (!Accept) return false;
    if (OnEditText) OnEditText(this, FEditCol, FEditRow, Value);
    ApplyEditValue(FEditCol, FEditRow, Value);
    if (OnAfterEdit) OnAfterEdit(this, FEditCol, FEditRow, Value);
    return true;
  }
  if (FState.Contains(sfInputEditing)) {
    if (!FInplaceEditor || !FColumns->IsValidIndex(FInputColumn)) return false;
    TNxCustomColumn* Column = FColumns->Items(FInputColumn);
    Column->SetInputValue(EditorText());
    Column->SetInputEditing(false);
    return true;
  }
  return false;
}

void TNxCustomGridControl::EndEditing() {
  if (FState.Contains(sfEditing) && FInplaceEditor) {
    WideString Value = EditorText();
    bool Accept = true;
    if (OnEndEditing) OnEndEditing(this, FEditCol, FEditRow, Value, Accept);
    SetEditorText(Value);
    if (!Accept) return;
  }
  const bool WasEditing = FState.Contains(sfEditing);
  const Integer Col = FEditCol, Row = FEditRow, Input = FInputColumn;
  TWinControl* Editor = FInplaceEditor;
  // The editor is closed before its window goes: a focus change on the
  // way must find nothing left to store.
  FState.Exclude(sfEditing);
  FState.Exclude(sfInputEditing);
  FEditCol = -1;
  FEditRow = -1;
  FInputColumn = -1;
  SetInplaceEditor(nullptr);
  if (Editor) {
    // Hiding the focused editor must not hand the focus to another control.
    if (Editor->Focused() && CanFocus()) SetFocus();
    Editor->SetVisible(false);
    if (WasEditing)
      RefreshCell(Col, Row);
    else if (FColumns->IsValidIndex(Input) && HandleAllocated())
      InvalidateArea(InputCellRect(Input));
  }
  if (WasEditing && OnEditExit) OnEditExit(this);
  if (FColumns->IsValidIndex(Input)) FColumns->Items(Input)->SetInputEditing(false);
}

void TNxCustomGridControl::PositionEditor() {
  TWinControl* Editor = FInplaceEditor;
  if (!Editor || !HandleAllocated()) return;
  TRect R;
  const TRect Body = BodyRect();
  if (FState.Contains(sfEditing)) {
    if (!CellIsValid(FEditCol, FEditRow)) return;
    R = GetCellRect(FEditCol, FEditRow);
    FColumns->Items(FEditCol)->AdjustEditorRect(GetRowLevel(FEditRow), R);
    R.Left += FLines.LeftLine;
    R.Right -= FLines.RightLine;
    if (!FOptions.Contains(goGrid)) R.Right -= 1;
    if (R.Top < Body.Top) {
      Editor->SetVisible(false);
      return;
    }
    if (R.Left < Body.Left) R.Left = Body.Left;
  } else if (FState.Contains(sfInputEditing) && FColumns->IsValidIndex(FInputColumn)) {
    R = InputCellRect(FInputColumn);
  } else {
    return;
  }
  R = TRect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  if (R.Left < 0) R.Left = 0;
  if (R.Left < Body.Left) R.Right = Body.Left;
  Editor->SetVisible(false);
  Editor->SetBoundsRect(R);
  Editor->SetVisible(true);
  if (Editor->CanFocus()) Editor->SetFocus();
  if (Editor->HandleAllocated()) InvalidateRect(Editor->Handle(), nullptr, FALSE);
}

// ---- The input line -----------------------------------------------------------------------

void TNxCustomGridControl::ShowInputLine(bool Value) {
  if (Value == FInputLineActive) return;
  FInputLineActive = Value;
  if (Value) {
    if (RowIsValid(FSelectedRow)) SetSelected(FSelectedRow, false);
  } else {
    EndEditing();
  }
  RefreshArea(gaInputLine);
  RefreshArea(gaIndicator);
  RefreshSelection();
}

void TNxCustomGridControl::AcceptInputLine() {
  bool Accept = true;
  if (OnInputAccept) OnInputAccept(this, Accept);
  if (!Accept) return;
  AddRow(1);
  const Integer Row = GetRowCount() - 1;
  for (Integer i = 0; i < FColumns->Count(); ++i) {
    TNxCustomColumn* Column = FColumns->Items(i);
    const WideString Value = Column->InputValue().empty() ? Column->DefaultValue() : Column->InputValue();
    if (!Value.empty() && Row >= 0) SetCells(i, Row, Value);
    Column->SetInputValue(WideString());
  }
  if (OnInputAdded) OnInputAdded(this);
}

// ---- Selection by range -------------------------------------------------------------------

void TNxCustomGridControl::ExtendSelectionRange(Integer From, Integer To) {
  if (From == To || !FOptions.Contains(goMultiSelect) || !FOptions.Contains(goSelectFullRow)) return;
  FState.Include(sfMultiSelection);
  const Integer N = GetRowCount();
  if (From > To) {
    if (RowIsValid(To) && GetRowVisible(To)) SetSelected(To, true);
    return;
  }
  From = std::max(From, 0);
  To = std::min(To, N - 1);
  if (From > To) return;
  if (GetVisibleRowCount() == N) {
    SelectRange(From, To, true);
    return;
  }
  // Runs of visible rows go to SelectRange at once: one repaint a run.
  Integer Start = -1;
  for (Integer i = From; i <= To + 1; ++i) {
    const bool Visible = i <= To && GetRowVisible(i);
    if (Visible && Start < 0) Start = i;
    if (!Visible && Start >= 0) {
      SelectRange(Start, i - 1, true);
      Start = -1;
    }
  }
}

// ---- Keys of the editor ---------------------------------------------------------------------

void TNxCustomGridControl::EditorKeyDown(TObject*, Word& Key, TShiftState Shift) {
  const bool Input = FState.Contains(sfInputEditing);
  switch (Key) {
    case VK_TAB:
      ApplyEditing();
      EndEditing();
      break;
    case VK_RETURN:
      if (Shift.Contains(ssCtrl)) break;
      if (Input) {
        ApplyEditing();
        AcceptInputLine();
        if (FColumns->IsValidIndex(FInputColumn)) {
          FSuppressEditEvent = true;
          SetEditorText(FColumns->Items(FInputColumn)->InputValue());
          FSuppressEditEvent = false;
        }
      } else if (FState.Contains(sfEditing) && FColumns->IsValidIndex(FEditCol) &&
                 !(FColumns->Items(FEditCol)->GetColumnFlags() & cfKeepsEnter)) {
        ApplyEditing();
        EndEditing();
        if (CanFocus()) SetFocus();
      }
      break;
    case VK_ESCAPE:
      if (FOptions.Contains(goEscClearEdit)) {
        if (TCustomEdit* E = AsEdit(FInplaceEditor)) E->Clear();
      } else {
        EndEditing();
        if (!FInplaceEditor && CanFocus()) SetFocus();
      }
      break;
    default: break;
  }
  KeyDown(Key, Shift);
}

// ---- Focus and the dialog code --------------------------------------------------------------

void TNxCustomGridControl::DoEnter() {
  TNxScrollControl::DoEnter();
  RefreshArea(gaIndicator);
}

void TNxCustomGridControl::DoExit() {
  // The focus left the grid and its editor: what was typed is kept.
  if (FState.Contains(sfEditing) || FState.Contains(sfInputEditing)) {
    ApplyEditing();
    EndEditing();
  }
  TNxScrollControl::DoExit();
}

void TNxCustomGridControl::WMGetDlgCode(TMessage& Message) {
  TNxScrollControl::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
  bool AnyVisible = false;
  for (Integer i = 0; i < FColumns->Count() && !AnyVisible; ++i) AnyVisible = FColumns->Items(i)->Visible();
  if (FWantTabs && AnyVisible && (GetRowCount() > 0 || FInputLineActive))
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
}

// ---- Key presses of the grid ------------------------------------------------------------------

void TNxCustomGrid::KeyPress(char& Key) {
  TNxCustomGridControl::KeyPress(Key);
  if (Key == 0 || FState.Contains(sfEditing) || FState.Contains(sfInputEditing) || Options().Contains(goDisableKeys) ||
      Key == VK_ESCAPE)
    return;
  if (Key == VK_RETURN && FWantReturns) {
    if (!FInputLineActive) {
      switch (FSelectionMoveDirection) {
        case mdUp: MoveSelectionUp(TShiftState()); break;
        case mdDown: MoveSelectionDown(TShiftState(), false, false); break;
        case mdLeft: SelectPriorColumn(mkEnter); break;
        case mdRight: SelectNextColumn(mkEnter); break;
        default: break;
      }
    } else if (InputEnterMode() == imAllways) {
      ApplyEditing();
      SetEditorText(WideString());
      AcceptInputLine();
      if (Columns()->IsValidIndex(FInputColumn) && FInplaceEditor) {
        SetEditorText(Columns()->Items(FInputColumn)->InputValue());
        if (TCustomEdit* E = AsEdit(FInplaceEditor)) E->SelectAll();
      }
    }
  }
  if (!Columns()->IsValidIndex(FSelectedColumn) || !(FInputLineActive || RowIsValid(FSelectedRow))) return;
  TNxCustomColumn* Column = Columns()->Items(FSelectedColumn);
  if (auto* Play = dynamic_cast<TColumnPlay*>(Column->Play())) {
    const bool Plays = Column->Options().Contains(coEditing) || (Column->GetColumnFlags() & cfPlayWithoutEditing);
    if (Plays && !ReadOnly() && !FInputLineActive &&
        PrepareColumnPlay(FSelectedColumn, FSelectedRow, true, GetCellRect(FSelectedColumn, FSelectedRow)))
      Play->KeyDown(static_cast<unsigned char>(Key));
  }
  if (Key == VK_RETURN || Key == VK_TAB) return;
  if (Column->IsValidEditKey(static_cast<WideChar>(static_cast<unsigned char>(Key)))) {
    if (FInputLineActive)
      EditInputCellWithKey(FSelectedColumn, Key);
    else
      EditCellWithKey(FSelectedColumn, FSelectedRow, Key);
    if (FState.Contains(sfEditing) || FState.Contains(sfInputEditing)) return;
  }
  if (FInputLineActive || Column->Options().Contains(coEditing)) return;
  Integer SearchColumn = -1;
  for (Integer i = 0; i < Columns()->Count() && SearchColumn < 0; ++i)
    if (Columns()->Items(i)->Options().Contains(coSearchColumn)) SearchColumn = i;
  if (SearchColumn < 0 || GetRowCount() == 0) return;
  FSearchTimer->SetEnabled(false);
  FSearchTimer->SetEnabled(true);
  FSearchText += AnsiToWide(AnsiString(1, Key));
  IncrementalSearch(SearchColumn, FSearchText, false);
}
