// The folder browser: a modal, sizable window with the caller's title, a
// status line, a tree of folders read lazily as it opens, an edit box for
// a typed folder when asked, and OK, Cancel and "Make New Folder" buttons
// (the new folder's name is edited in place at once). The caller's
// callback hears when the dialog is up, each change of selection and a
// typed name that names no folder, and steers it with the BFFM_ messages.
// A hook answers without a window (tests).
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/comctl/commctrl_controls.h"
#include "platform/win/kernel/kernel.h"
#include "platform/win/user/ctl_common.h"
#include "platform/win/user/dialog_frame.h"
#include "platform/win/shell/shlobj.h"

namespace rtl::detail {
namespace {

struct TBrowseAnswerTag;
struct TBrowseShownTag;
TBrowseForFolderHook& AnswerHook() { return DialogHook<TBrowseAnswerTag, TBrowseForFolderHook>(); }
TBrowseForFolderShownHook& ShownHook() { return DialogHook<TBrowseShownTag, TBrowseForFolderShownHook>(); }

const char kBrowseClass[] = "#BrowseForFolder";
const char kBrowseProp[] = "#BrowseForFolderState";
constexpr int kMargin = 11;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kGap = 6;
constexpr int kClientW = 340;
constexpr int kClientH = 380;
constexpr int kEditLabelW = 50;
// Posted to edit the new folder's name again after a name was refused.
constexpr UINT kRenameAgain = WM_APP + 1;

struct TBrowseRequest {
  HWND Owner = nullptr;
  PCIDLIST_ABSOLUTE Root = nullptr;
  AnsiString Title;
  UINT Flags = 0;
  BFFCALLBACK Callback = nullptr;
  LPARAM Data = 0;
  bool Wide = false;  // the caller's texts are UTF-16
};

struct TBrowseAnswer {
  PIDLIST_ABSOLUTE Pidl = nullptr;
  AnsiString Name;
};

// What a tree item stands for.
struct TFolderItem {
  TShellItem Item;
  AnsiString Name;
  bool Listed = false;  // its sub-folders are in the tree
};

struct TBrowseState {
  TBrowseRequest Request;
  HWND Dialog = nullptr;
  HWND Title = nullptr;
  HWND Status = nullptr;
  HWND Tree = nullptr;
  HWND NewFolder = nullptr;
  HWND EditLabel = nullptr;
  HWND Edit = nullptr;  // the typed folder (BIF_EDITBOX)
  HWND Ok = nullptr;
  HWND Cancel = nullptr;
  HFONT Font = nullptr;
  int TitleHeight = 0;
  int LineHeight = 13;
  bool StatusShown = false;
  bool SettingEdit = false;  // the edit box is being filled, not typed in
  bool Done = false;
  HTREEITEM Renaming = nullptr;     // the new folder whose name may be edited
  HTREEITEM RenameAgain = nullptr;  // a refused name waits to be edited again
  AnsiString RefusedName;
  TFolderItem* Chosen = nullptr;
  std::vector<std::unique_ptr<TFolderItem>> Items;
  std::vector<HTREEITEM> Tops;  // the items the tree starts from
};

TBrowseState* StateOf(HWND h) { return static_cast<TBrowseState*>(GetPropA(h, kBrowseProp)); }

AnsiString NameOf(const AnsiString& path) {
  if (path == "/") return path;
  size_t slash = path.rfind('/');
  return slash == AnsiString::npos ? path : path.substr(slash + 1);
}

bool IsFolder(const AnsiString& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether `path` is `base` or lies below it.
bool Within(const AnsiString& path, const AnsiString& base) {
  if (base == "/") return !path.empty() && path[0] == '/';
  return path.compare(0, base.size(), base) == 0 && (path.size() == base.size() || path[base.size()] == '/');
}

// ---- The tree ---------------------------------------------------------------------

TFolderItem* ItemOf(TBrowseState* s, HTREEITEM h) {
  if (!h) return nullptr;
  TVITEMA it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = h;
  if (!SendMessageA(s->Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return reinterpret_cast<TFolderItem*>(it.lParam);
}

HTREEITEM Next(TBrowseState* s, HTREEITEM h, UINT how) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(s->Tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h)));
}

void SetHasChildren(TBrowseState* s, HTREEITEM h, bool has) {
  TVITEMA it{};
  it.mask = TVIF_CHILDREN | TVIF_HANDLE;
  it.hItem = h;
  it.cChildren = has ? 1 : 0;
  SendMessageA(s->Tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

HTREEITEM AddItem(TBrowseState* s, HTREEITEM parent, HTREEITEM after, const TShellItem& item, const AnsiString& name,
                  bool hasChildren) {
  auto data = std::make_unique<TFolderItem>();
  data->Item = item;
  data->Name = name;
  TVINSERTSTRUCTA is{};
  is.hParent = parent;
  is.hInsertAfter = after;
  is.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  is.item.pszText = const_cast<char*>(name.c_str());
  is.item.lParam = reinterpret_cast<LPARAM>(data.get());
  is.item.cChildren = hasChildren ? 1 : 0;
  auto h = reinterpret_cast<HTREEITEM>(SendMessageA(s->Tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
  if (h) s->Items.push_back(std::move(data));
  return h;
}

HTREEITEM AddFolder(TBrowseState* s, HTREEITEM parent, HTREEITEM after, const AnsiString& path, const AnsiString& name) {
  return AddItem(s, parent, after, TShellItem{skPath, path}, name, ShellHasSubFolder(path));
}

// Reads a folder's sub-folders into the tree, once.
void ListChildren(TBrowseState* s, HTREEITEM h) {
  TFolderItem* f = ItemOf(s, h);
  if (!f || f->Listed) return;
  f->Listed = true;
  if (f->Item.Kind != skPath) return;
  std::vector<AnsiString> names = ShellSubFolders(f->Item.Path);
  for (const AnsiString& n : names)
    AddFolder(s, h, TVI_LAST, f->Item.Path == "/" ? "/" + n : f->Item.Path + "/" + n, n);
  if (names.empty()) SetHasChildren(s, h, false);
}

// The tree's item of a folder, adding the folders on the way as needed:
// hidden ones are not listed, and one may have been made since its parent
// was read. Null when the folder does not exist or is outside the tree.
HTREEITEM Locate(TBrowseState* s, const TShellItem& item) {
  if (item.Kind == skComputer || item.Kind == skDesktop) {
    for (HTREEITEM t : s->Tops)
      if (TFolderItem* f = ItemOf(s, t); f && f->Item.Kind == skComputer) return t;
    return nullptr;
  }
  if (item.Kind != skPath) return nullptr;
  AnsiString path = NormalShellPath(item.Path);
  if (!IsFolder(path)) return nullptr;
  // The start is the deepest of the items the tree starts from.
  HTREEITEM at = nullptr;
  size_t depth = 0;
  auto consider = [&](HTREEITEM h) {
    TFolderItem* f = ItemOf(s, h);
    if (f && f->Item.Kind == skPath && Within(path, f->Item.Path) && (!at || f->Item.Path.size() > depth)) {
      at = h;
      depth = f->Item.Path.size();
    }
  };
  for (HTREEITEM t : s->Tops) {
    consider(t);
    if (TFolderItem* f = ItemOf(s, t); f && f->Item.Kind == skComputer)
      for (HTREEITEM c = Next(s, t, TVGN_CHILD); c; c = Next(s, c, TVGN_NEXT)) consider(c);
  }
  while (at) {
    const AnsiString& here = ItemOf(s, at)->Item.Path;
    if (here == path) return at;
    size_t from = here == "/" ? 1 : here.size() + 1;
    size_t end = path.find('/', from);
    AnsiString next = path.substr(0, end);
    ListChildren(s, at);
    HTREEITEM child = nullptr;
    for (HTREEITEM c = Next(s, at, TVGN_CHILD); c && !child; c = Next(s, c, TVGN_NEXT))
      if (TFolderItem* f = ItemOf(s, c); f && f->Item.Path == next) child = c;
    if (!child) {
      child = AddFolder(s, at, TVI_SORT, next, NameOf(next));
      SetHasChildren(s, at, true);
    }
    at = child;
  }
  return nullptr;
}

TShellItem ItemFromMessage(WPARAM isPath, LPARAM lParam, bool wide) {
  if (!lParam) return TShellItem{};
  if (!isPath) return DecodeShellItem(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam));
  AnsiString path = wide ? WideToAnsi(reinterpret_cast<LPCWSTR>(lParam)) : AnsiString(reinterpret_cast<LPCSTR>(lParam));
  return TShellItem{skPath, path};
}

// ---- The dialog -------------------------------------------------------------------

int CallBack(TBrowseState* s, UINT msg, LPARAM lParam) {
  if (!s->Request.Callback) return 0;
  return s->Request.Callback(s->Dialog, msg, lParam, s->Request.Data);
}

void Layout(TBrowseState* s) {
  RECT c;
  GetClientRect(s->Dialog, &c);
  int w = std::max(0, c.Width() - 2 * kMargin);
  int y = kMargin;
  if (s->TitleHeight) {
    MoveWindow(s->Title, kMargin, y, w, s->TitleHeight, TRUE);
    y += s->TitleHeight + kGap;
  }
  if (s->StatusShown) {
    MoveWindow(s->Status, kMargin, y, w, s->LineHeight + 2, TRUE);
    y += s->LineHeight + 2 + kGap;
  }
  int buttonsY = c.Height() - kMargin - kButtonH;
  int treeBottom = buttonsY - kGap;
  if (s->Edit) {
    const int editH = s->LineHeight + 8;
    const int editY = buttonsY - kGap - editH;
    MoveWindow(s->EditLabel, kMargin, editY + 4, kEditLabelW, s->LineHeight + 2, TRUE);
    MoveWindow(s->Edit, kMargin + kEditLabelW, editY, std::max(0, w - kEditLabelW), editH, TRUE);
    treeBottom = editY - kGap;
  }
  MoveWindow(s->Tree, kMargin, y, w, std::max(0, treeBottom - y), TRUE);
  // A shorter tree (a status line shown) keeps the selection in sight.
  if (HTREEITEM sel = Next(s, nullptr, TVGN_CARET))
    SendMessageA(s->Tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(sel));
  int x = c.Width() - kMargin - kButtonW;
  MoveWindow(s->Cancel, x, buttonsY, kButtonW, kButtonH, TRUE);
  x -= kGap + kButtonW;
  MoveWindow(s->Ok, x, buttonsY, kButtonW, kButtonH, TRUE);
  if (s->NewFolder) MoveWindow(s->NewFolder, kMargin, buttonsY, std::min(110, std::max(0, x - kGap - kMargin)), kButtonH, TRUE);
}

void ShowStatus(TBrowseState* s, const AnsiString& text) {
  SetWindowTextA(s->Status, text.c_str());
  if (!s->StatusShown) {
    s->StatusShown = true;
    ShowWindow(s->Status, SW_SHOWNA);
    Layout(s);
  }
}

// Whether OK may choose the item.
bool Choosable(TBrowseState* s, TFolderItem* f) {
  return f && (f->Item.Kind == skPath || !(s->Request.Flags & BIF_RETURNONLYFSDIRS));
}

void SelectionChanged(TBrowseState* s, HTREEITEM h) {
  TFolderItem* f = ItemOf(s, h);
  bool fileSystem = f && f->Item.Kind == skPath;
  EnableWindow(s->Ok, Choosable(s, f));
  if (s->NewFolder) EnableWindow(s->NewFolder, fileSystem);
  if (s->Edit) {
    s->SettingEdit = true;
    SetWindowTextA(s->Edit, f ? f->Name.c_str() : "");
    s->SettingEdit = false;
  }
  if (!f) return;
  // The list lives for the call only.
  PIDLIST_ABSOLUTE pidl = EncodeShellItem(f->Item);
  CallBack(s, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(pidl));
  CoTaskMemFree(pidl);
}

// The folder a typed text names: an absolute path, or one relative to the
// selected folder; "" when it cannot be had.
AnsiString TypedFolder(TBrowseState* s, const AnsiString& text) {
  if (!text.empty() && text[0] == '/') return NormalShellPath(text);
  TFolderItem* f = ItemOf(s, Next(s, nullptr, TVGN_CARET));
  if (!f || f->Item.Kind != skPath) return AnsiString();
  return NormalShellPath((f->Item.Path == "/" ? AnsiString() : f->Item.Path) + "/" + text);
}

// A name typed in the edit box that is not the selection's: the folder it
// names is chosen. One that names no folder of the tree keeps the dialog
// open: the callback hears of it with BIF_VALIDATE (and may close the
// dialog by answering 0), the user is told otherwise.
bool AcceptTyped(TBrowseState* s) {
  const AnsiString text = Trim(CtlText(s->Edit));
  TFolderItem* selected = ItemOf(s, Next(s, nullptr, TVGN_CARET));
  if (text.empty() || (selected && text == selected->Name)) return false;
  const AnsiString path = TypedFolder(s, text);
  HTREEITEM found = path.empty() ? nullptr : Locate(s, TShellItem{skPath, path});
  if (found) {
    SendMessageA(s->Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(found));
    s->Chosen = ItemOf(s, found);
    s->Done = s->Chosen != nullptr;
    return true;
  }
  if (s->Request.Flags & BIF_VALIDATE) {
    const WideString wide = AnsiToWide(text);
    const int keep = s->Request.Wide ? CallBack(s, BFFM_VALIDATEFAILEDW, reinterpret_cast<LPARAM>(wide.c_str()))
                                     : CallBack(s, BFFM_VALIDATEFAILEDA, reinterpret_cast<LPARAM>(text.c_str()));
    if (keep == 0) {
      s->Chosen = nullptr;
      s->Done = true;
    }
  } else {
    const AnsiString told = "The folder \"" + text + "\" cannot be found.\n\nCheck the name and try again.";
    MessageBoxA(s->Dialog, told.c_str(), "Browse For Folder", MB_OK | MB_ICONEXCLAMATION);
  }
  if (!s->Done && IsWindow(s->Edit)) {
    SetFocus(s->Edit);
    SendMessageA(s->Edit, EM_SETSEL, 0, -1);
  }
  return true;
}

void Accept(TBrowseState* s) {
  // A refused name is being put right first.
  if (s->RenameAgain) return;
  if (s->Edit && AcceptTyped(s)) return;
  if (!IsWindowEnabled(s->Ok)) return;
  s->Chosen = ItemOf(s, Next(s, nullptr, TVGN_CARET));
  if (s->Chosen) s->Done = true;
}

void Dismiss(TBrowseState* s) {
  s->Chosen = nullptr;
  s->Done = true;
}

// "New Folder", or "New Folder (2)" and on when that is taken, under the
// selected folder; the new folder is selected.
void MakeNewFolder(TBrowseState* s) {
  HTREEITEM parent = Next(s, nullptr, TVGN_CARET);
  TFolderItem* f = ItemOf(s, parent);
  if (!f || f->Item.Kind != skPath) return;
  AnsiString base = f->Item.Path == "/" ? AnsiString() : f->Item.Path;
  AnsiString made;
  int error = 0;
  for (int n = 1; n < 10000 && made.empty(); ++n) {
    AnsiString path = base + "/New Folder" + (n == 1 ? AnsiString() : " (" + std::to_string(n) + ")");
    if (mkdir(path.c_str(), 0777) == 0)
      made = path;
    else if (errno != EEXIST) {
      error = errno;
      break;
    }
  }
  if (made.empty()) {
    AnsiString text = "The folder could not be made in \"" + f->Item.Path + "\": " +
                      (error ? std::strerror(error) : "every name is taken") + ".";
    MessageBoxA(s->Dialog, text.c_str(), "Make New Folder", MB_OK | MB_ICONERROR);
    return;
  }
  SetFocus(s->Tree);
  if (HTREEITEM h = Locate(s, TShellItem{skPath, made})) {
    SendMessageA(s->Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    SendMessageA(s->Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
    // Its name is the user's to give at once.
    s->Renaming = h;
    SendMessageA(s->Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(h));
  }
}

// Why a name cannot be a folder's; "" when it can.
AnsiString NameProblem(const AnsiString& name) {
  if (name.find('/') != AnsiString::npos) return "A folder name cannot contain the character /.";
  if (name == "." || name == "..") return "\"" + name + "\" cannot be used as a folder name.";
  return AnsiString();
}

// The edited name of the new folder: the folder is renamed and its item
// follows (its place among its sisters too). A name that cannot be had is
// reported and edited again; the folder keeps its name meanwhile.
LRESULT EndRename(TBrowseState* s, const NMTVDISPINFOA* di) {
  HTREEITEM h = di->item.hItem;
  TFolderItem* f = ItemOf(s, h);
  if (h != s->Renaming || !f || f->Item.Kind != skPath || !di->item.pszText) return FALSE;
  const AnsiString name = Trim(AnsiString(di->item.pszText));
  if (name.empty() || name == f->Name) return FALSE;
  const AnsiString oldPath = f->Item.Path;
  const AnsiString newPath = oldPath.substr(0, oldPath.rfind('/') + 1) + name;
  AnsiString problem = NameProblem(name);
  if (problem.empty() && !RenameFile(oldPath, newPath))
    problem = GetLastError() == ERROR_ALREADY_EXISTS
                  ? "There is already a file or folder named \"" + name + "\" here."
                  : SysErrorMessage(GetLastError());
  if (!problem.empty()) {
    const AnsiString told = "\"" + f->Name + "\" cannot be renamed to \"" + name + "\".\n\n" + problem;
    MessageBoxA(s->Dialog, told.c_str(), "Rename Folder", MB_OK | MB_ICONEXCLAMATION);
    s->RenameAgain = h;
    s->RefusedName = name;
    PostMessageA(s->Dialog, kRenameAgain, 0, 0);
    return FALSE;
  }
  // The item and any below it now lie under the new path.
  for (auto& item : s->Items)
    if (item->Item.Kind == skPath && Within(item->Item.Path, oldPath))
      item->Item.Path = newPath + item->Item.Path.substr(oldPath.size());
  f->Name = name;
  TVITEMA it{};
  it.mask = TVIF_TEXT | TVIF_HANDLE;
  it.hItem = h;
  it.pszText = const_cast<char*>(f->Name.c_str());
  SendMessageA(s->Tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  SendMessageA(s->Tree, TVM_SORTCHILDREN, FALSE, reinterpret_cast<LPARAM>(Next(s, h, TVGN_PARENT)));
  SendMessageA(s->Tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(h));
  // The caller hears of the selection under its new path.
  if (Next(s, nullptr, TVGN_CARET) == h) SelectionChanged(s, h);
  return FALSE;
}

void EditNameAgain(TBrowseState* s) {
  HTREEITEM h = s->RenameAgain;
  s->RenameAgain = nullptr;
  if (!h || !ItemOf(s, h)) return;
  SetFocus(s->Tree);
  auto e = reinterpret_cast<HWND>(SendMessageA(s->Tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(h)));
  if (!e) return;
  SetWindowTextA(e, s->RefusedName.c_str());
  SendMessageA(e, EM_SETSEL, 0, -1);
}

LRESULT Notify(TBrowseState* s, const NMHDR* hdr) {
  if (!hdr || hdr->hwndFrom != s->Tree) return 0;
  switch (hdr->code) {
    case TVN_ITEMEXPANDINGA: {
      auto* nm = reinterpret_cast<const NMTREEVIEWA*>(hdr);
      if (nm->action & TVE_EXPAND) ListChildren(s, nm->itemNew.hItem);
      return 0;
    }
    case TVN_SELCHANGEDA:
      SelectionChanged(s, reinterpret_cast<const NMTREEVIEWA*>(hdr)->itemNew.hItem);
      return 0;
    case TVN_BEGINLABELEDITA:
      // Only the folder just made is named here.
      return reinterpret_cast<const NMTVDISPINFOA*>(hdr)->item.hItem == s->Renaming ? FALSE : TRUE;
    case TVN_ENDLABELEDITA:
      return EndRename(s, reinterpret_cast<const NMTVDISPINFOA*>(hdr));
    case NM_RETURN:
      Accept(s);
      return 0;
  }
  return 0;
}

LRESULT BrowseProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT r = 0;
  if (DialogFaceMessage(h, msg, wParam, r)) return r;
  TBrowseState* s = StateOf(h);
  if (!s) return DefDlgProcA(h, msg, wParam, lParam);
  switch (msg) {
    case WM_COMMAND:
      // A name typed by the user may name a folder beyond the selection.
      if (s->Edit && reinterpret_cast<HWND>(lParam) == s->Edit && HIWORD(wParam) == EN_CHANGE && !s->SettingEdit) {
        const bool typed = !Trim(CtlText(s->Edit)).empty();
        EnableWindow(s->Ok, typed || Choosable(s, ItemOf(s, Next(s, nullptr, TVGN_CARET))));
      }
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case IDOK: Accept(s); break;
          case IDCANCEL: Dismiss(s); break;
          case kBrowseNewFolderId: MakeNewFolder(s); break;
        }
      }
      return 0;
    case WM_NOTIFY:
      return Notify(s, reinterpret_cast<const NMHDR*>(lParam));
    case kRenameAgain:
      EditNameAgain(s);
      return 0;
    case WM_CLOSE:
      Dismiss(s);
      return 0;
    case WM_SIZE:
      Layout(s);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      mm->ptMinTrackSize = POINT(280, 240);
      return 0;
    }

    // What the callback may ask.
    case BFFM_SETSTATUSTEXTA:
    case BFFM_SETSTATUSTEXTW: {
      AnsiString text;
      if (lParam)
        text = msg == BFFM_SETSTATUSTEXTW ? WideToAnsi(reinterpret_cast<LPCWSTR>(lParam))
                                          : AnsiString(reinterpret_cast<LPCSTR>(lParam));
      ShowStatus(s, text);
      return 0;
    }
    case BFFM_ENABLEOK:
      EnableWindow(s->Ok, lParam != 0);
      return 0;
    case BFFM_SETOKTEXT:
      SetWindowTextA(s->Ok, lParam ? WideToAnsi(reinterpret_cast<LPCWSTR>(lParam)).c_str() : "OK");
      return 0;
    case BFFM_SETSELECTIONA:
    case BFFM_SETSELECTIONW: {
      // A folder that is not there leaves the selection alone.
      HTREEITEM item = Locate(s, ItemFromMessage(wParam, lParam, msg == BFFM_SETSELECTIONW));
      if (!item) return FALSE;
      return SendMessageA(s->Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    case BFFM_SETEXPANDED: {
      HTREEITEM item = Locate(s, ItemFromMessage(wParam, lParam, true));
      if (!item) return FALSE;
      SendMessageA(s->Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
      SendMessageA(s->Tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
      return TRUE;
    }
  }
  return DefDlgProcA(h, msg, wParam, lParam);
}

// Layout places the children.
HWND MakeChild(TBrowseState* s, DWORD ex, const char* cls, const char* text, DWORD style, int id) {
  return AddDialogChild(s->Dialog, cls, text, style, id, RECT(0, 0, 0, 0), s->Font, ex);
}

// The tree's first items: "Computer" with the home folder and the file
// system's root, or the caller's root alone.
bool FillTops(TBrowseState* s, const TShellItem& root) {
  if (root.Kind == skPath) {
    HTREEITEM top = AddFolder(s, TVI_ROOT, TVI_LAST, root.Path, NameOf(root.Path));
    if (!top) return false;
    s->Tops.push_back(top);
  } else {
    HTREEITEM computer = AddItem(s, TVI_ROOT, TVI_LAST, TShellItem{skComputer, {}}, "Computer", true);
    if (!computer) return false;
    s->Tops.push_back(computer);
    AddFolder(s, computer, TVI_LAST, ShellHomeFolder(), "Home");
    AddFolder(s, computer, TVI_LAST, "/", "/");
    ItemOf(s, computer)->Listed = true;
  }
  for (HTREEITEM t : s->Tops) SendMessageA(s->Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(t));
  return true;
}

TBrowseAnswer RunDialog(const TBrowseRequest& request) {
  TBrowseAnswer answer;
  // The root: the whole namespace, or an existing folder.
  TShellItem root;
  if (request.Root) {
    root = DecodeShellItem(request.Root);
    if (root.Kind == skInvalid || (root.Kind == skPath && !IsFolder(root.Path))) return answer;
  }
  RegisterDialogClass(kBrowseClass, BrowseProc, 0);

  TBrowseState state;
  TBrowseState* s = &state;
  s->Request = request;
  s->Font = CreateDialogFont();

  // The title wraps over up to three lines.
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, s->Font);
  s->LineHeight = CtlLineHeight(dc);
  if (!request.Title.empty()) {
    RECT tr(0, 0, kClientW - 2 * kMargin, 0);
    DrawTextA(dc, request.Title.c_str(), static_cast<int>(request.Title.size()), &tr,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    s->TitleHeight = std::min(tr.Height(), 3 * s->LineHeight);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);

  TDialogFrame frame;
  frame.Sizable = request.Flags & BIF_NEWDIALOGSTYLE;
  s->Dialog = CreateDialogFrame(kBrowseClass, "Browse For Folder", request.Owner, kClientW, kClientH, frame);
  if (!s->Dialog) {
    DeleteObject(s->Font);
    return answer;
  }
  s->Title = MakeChild(s, 0, "STATIC", request.Title.c_str(), SS_LEFT | SS_NOPREFIX, kBrowseTitleId);
  if (!s->TitleHeight) ShowWindow(s->Title, SW_HIDE);
  // The status line shows once there is a status.
  s->Status = MakeChild(s, 0, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kBrowseStatusId);
  ShowWindow(s->Status, SW_HIDE);
  InitCommonControls();  // the folder tree is a common control
  s->Tree = MakeChild(s, WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                      WS_TABSTOP | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                      kBrowseTreeId);
  if ((request.Flags & BIF_NEWDIALOGSTYLE) && !(request.Flags & BIF_NONEWFOLDERBUTTON))
    s->NewFolder = MakeChild(s, 0, "BUTTON", "&Make New Folder", WS_TABSTOP | BS_PUSHBUTTON, kBrowseNewFolderId);
  if (request.Flags & BIF_EDITBOX) {
    s->EditLabel = MakeChild(s, 0, "STATIC", "Fol&der:", SS_LEFT, kBrowseEditLabelId);
    s->Edit = MakeChild(s, WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kBrowseEditId);
  }
  s->Ok = MakeChild(s, 0, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  s->Cancel = MakeChild(s, 0, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
  SetPropA(s->Dialog, kBrowseProp, s);
  if (request.Flags & BIF_STATUSTEXT) ShowStatus(s, "");
  Layout(s);

  // Nothing is chosen until the callback or the user chooses.
  EnableWindow(s->Ok, FALSE);
  if (s->NewFolder) EnableWindow(s->NewFolder, FALSE);
  if (!FillTops(s, root)) {
    RemovePropA(s->Dialog, kBrowseProp);
    DestroyWindow(s->Dialog);
    DeleteObject(s->Font);
    return answer;
  }

  TModalRun run;
  run.Owner = request.Owner;
  run.Focus = s->Tree;
  run.StateProp = kBrowseProp;
  run.Shown = [s](HWND d) {
    CallBack(s, BFFM_INITIALIZED, 0);
    if (ShownHook() && IsWindow(d)) ShownHook()(d);
  };
  RunModalDialog(s->Dialog, run, s->Done);
  if (s->Done && s->Chosen) {
    answer.Pidl = EncodeShellItem(s->Chosen->Item);
    answer.Name = s->Chosen->Name;
  }
  DeleteObject(s->Font);
  return answer;
}

TBrowseAnswer Browse(const TBrowseRequest& request, const BROWSEINFOA& asked) {
  if (AnswerHook()) {
    TBrowseAnswer answer;
    std::optional<AnsiString> chosen = AnswerHook()(asked);
    if (!chosen) return answer;
    AnsiString path = NormalShellPath(*chosen);
    if (path.empty()) return answer;
    answer.Pidl = EncodeShellItem(TShellItem{skPath, path});
    answer.Name = NameOf(path);
    return answer;
  }
  return RunDialog(request);
}

// Copies a name into a MAX_PATH buffer, cut at a character's start.
template <typename C>
void PutName(C* buffer, const std::basic_string<C>& name) {
  if (!buffer) return;
  size_t n = std::min(name.size(), static_cast<size_t>(MAX_PATH - 1));
  if constexpr (sizeof(C) == 1) {
    while (n > 0 && n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  } else {
    if (n > 0 && n < name.size() && name[n] >= 0xDC00 && name[n] <= 0xDFFF) --n;
  }
  std::memcpy(buffer, name.data(), n * sizeof(C));
  buffer[n] = 0;
}

}  // namespace

void SetBrowseForFolderHook(TBrowseForFolderHook hook) { AnswerHook() = std::move(hook); }
void SetBrowseForFolderShownHook(TBrowseForFolderShownHook hook) { ShownHook() = std::move(hook); }

}  // namespace rtl::detail

using namespace rtl::detail;

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA lpbi) {
  if (!lpbi) return nullptr;
  TBrowseRequest r;
  r.Owner = lpbi->hwndOwner;
  r.Root = lpbi->pidlRoot;
  r.Title = lpbi->lpszTitle ? lpbi->lpszTitle : "";
  r.Flags = lpbi->ulFlags;
  r.Callback = lpbi->lpfn;
  r.Data = lpbi->lParam;
  TBrowseAnswer a = Browse(r, *lpbi);
  if (a.Pidl) PutName(lpbi->pszDisplayName, a.Name);
  return a.Pidl;
}

PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW lpbi) {
  if (!lpbi) return nullptr;
  TBrowseRequest r;
  r.Owner = lpbi->hwndOwner;
  r.Root = lpbi->pidlRoot;
  r.Title = lpbi->lpszTitle ? WideToAnsi(lpbi->lpszTitle) : AnsiString();
  r.Flags = lpbi->ulFlags;
  r.Callback = lpbi->lpfn;
  r.Data = lpbi->lParam;
  r.Wide = true;
  BROWSEINFOA asked{r.Owner, r.Root, nullptr, r.Title.c_str(), r.Flags, r.Callback, r.Data, 0};
  TBrowseAnswer a = Browse(r, asked);
  if (a.Pidl) PutName(lpbi->pszDisplayName, AnsiToWide(a.Name));
  return a.Pidl;
}
