// The open and save dialogs: the current folder with a button one level
// up, its folders then its files (those the chosen type lets through), the
// name typed or taken from the list, and the result written to the
// caller's buffer in the documented format.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "platform/rtl/fileutils.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/text_codec.h"
#include "platform/win/comdlg/comdlg_internal.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/ctl_common.h"
#include "platform/win/kernel/kernel.h"

namespace rtl::detail {
namespace {

struct TOpenAnswerTag;
TOpenFileHook& AnswerHook() { return DialogHook<TOpenAnswerTag, TOpenFileHook>(); }

const char kOpenProp[] = "#OpenFileDialogState";
constexpr int kMargin = 8;
constexpr int kRowH = 23;
constexpr int kGap = 6;
constexpr int kLabelW = 86;
constexpr int kButtonW = 80;
constexpr int kClientW = 520;
constexpr int kClientH = 340;
constexpr ULONG_PTR kFolderItem = 1;

struct TOpenState {
  TOpenFileRequest Request;
  AnsiString DefExt;
  AnsiString Title;
  bool Multi = false;
  int Filter = -1;  // index into Request.Filters; -1: every file
  AnsiString Folder;
  HFONT Font = nullptr;
  HWND Dialog = nullptr;
  HWND LookLabel = nullptr, Look = nullptr, Up = nullptr, List = nullptr;
  HWND NameLabel = nullptr, Name = nullptr, TypesLabel = nullptr, Types = nullptr, Ok = nullptr, Cancel = nullptr;
  SIZE MinSize{};
  bool NameFromList = false;  // the name edit shows the list's selection
  bool SettingName = false;
  bool Done = false;
  bool Chosen = false;
  std::vector<AnsiString> Files;
};

TOpenState* StateOf(HWND h) { return static_cast<TOpenState*>(GetPropA(h, kOpenProp)); }

// ---- Names and patterns --------------------------------------------------------------

// '*' any run, '?' one byte, without regard to ASCII case.
bool WildMatch(const char* p, const char* s) {
  const char* star = nullptr;
  const char* retry = nullptr;
  while (*s) {
    if (*p == '*') {
      star = ++p;
      retry = s;
    } else if (*p == '?' || (*p && std::tolower(static_cast<unsigned char>(*p)) == std::tolower(static_cast<unsigned char>(*s)))) {
      ++p;
      ++s;
    } else if (star) {
      p = star;
      s = ++retry;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return !*p;
}

// Whether a file name passes a filter's patterns ("*.pdf;*.PDF"); "*.*"
// lets every name through, with or without a dot.
bool PassesFilter(const AnsiString& name, const AnsiString& patterns) {
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == AnsiString::npos) end = patterns.size();
    AnsiString p = Trim(patterns.substr(start, end - start));
    if (p == "*.*" || (!p.empty() && WildMatch(p.c_str(), name.c_str()))) return true;
    start = end + 1;
  }
  return false;
}

AnsiString Resolve(const AnsiString& folder, const AnsiString& name) {
  AnsiString path = !name.empty() && name[0] == PathDelim ? name : IncludeTrailingPathDelimiter(folder) + name;
  return ExcludeTrailingPathDelimiter(ExpandFileName(path));
}

// The names in the name edit: the whole text when it names something
// (names may hold quotes here), else the quoted ones, a doubled quote
// inside standing for one, else the whole text.
std::vector<AnsiString> SplitNames(const AnsiString& folder, const AnsiString& text) {
  std::vector<AnsiString> r;
  const AnsiString whole = Trim(text);
  const AnsiString path = Resolve(folder, whole);
  if (whole.find('"') == AnsiString::npos || FileExists(path) || DirectoryExists(path)) {
    if (!whole.empty()) r.push_back(whole);
    return r;
  }
  bool quoted = false;
  AnsiString part;
  auto flush = [&](bool keepSpaces) {
    AnsiString t = keepSpaces ? part : Trim(part);
    if (!t.empty()) r.push_back(t);
    part.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '"') {
      part += c;
    } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
      part += c;
      ++i;
    } else {
      flush(quoted);
      quoted = !quoted;
    }
  }
  flush(quoted);
  return r;
}

// Several names as the name edit shows them; SplitNames reads them back.
AnsiString Quoted(const std::vector<AnsiString>& names) {
  AnsiString r;
  for (const AnsiString& n : names)
    r += (r.empty() ? "\"" : " \"") + StringReplace(n, "\"", "\"\"", TReplaceFlags{rfReplaceAll}) + "\"";
  return r;
}

// ---- The list -------------------------------------------------------------------------

bool IsFolderItem(HWND list, int i) {
  return static_cast<ULONG_PTR>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == kFolderItem;
}

AnsiString ItemName(HWND list, int i) {
  int n = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
  if (n <= 0) return AnsiString();
  AnsiString t(static_cast<size_t>(n) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(t.data()));
  t.resize(std::strlen(t.c_str()));
  if (IsFolderItem(list, i) && !t.empty() && t.back() == PathDelim) t.pop_back();
  return t;
}

std::vector<int> SelectedItems(TOpenState* s) {
  std::vector<int> r;
  int n = static_cast<int>(SendMessageA(s->List, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i)
    if (SendMessageA(s->List, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) r.push_back(i);
  return r;
}

void SetName(TOpenState* s, const AnsiString& text, bool fromList) {
  s->SettingName = true;
  SetWindowTextA(s->Name, text.c_str());
  s->SettingName = false;
  s->NameFromList = fromList;
}

void ShowMessage(TOpenState* s, const AnsiString& text) {
  MessageBoxA(s->Dialog, text.c_str(), s->Title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Lists a folder: its folders, then the files the filter lets through,
// each group in the order of the file search (by name, without regard to
// case); hidden entries only when asked for. False when the folder
// cannot be read.
bool Fill(TOpenState* s, const AnsiString& folder) {
  bool showHidden = s->Request.Flags & OFN_FORCESHOWHIDDEN;
  std::vector<AnsiString> folders, files;
  TSearchRec f;
  Integer r = FindFirst(IncludeTrailingPathDelimiter(folder) + "*", faDirectory | faReadOnly | faArchive | (showHidden ? faHidden : 0), f);
  if (r == static_cast<Integer>(ERROR_ACCESS_DENIED) || r == static_cast<Integer>(ERROR_PATH_NOT_FOUND)) return false;
  for (; r == 0; r = FindNext(f)) {
    if (f.Name == "." || f.Name == "..") continue;
    if (!showHidden && f.Name[0] == '.') continue;
    if (f.Attr & faDirectory)
      folders.push_back(f.Name);
    else if (s->Filter < 0 || PassesFilter(f.Name, s->Request.Filters[static_cast<size_t>(s->Filter)].second))
      files.push_back(f.Name);
  }
  FindClose(f);
  SendMessageA(s->List, WM_SETREDRAW, FALSE, 0);
  SendMessageA(s->List, LB_RESETCONTENT, 0, 0);
  for (const AnsiString& d : folders) {
    AnsiString item = d + PathDelim;
    int i = static_cast<int>(SendMessageA(s->List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
    SendMessageA(s->List, LB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(kFolderItem));
  }
  for (const AnsiString& n : files) SendMessageA(s->List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
  SendMessageA(s->List, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(s->List, nullptr, TRUE);
  return true;
}

bool Navigate(TOpenState* s, const AnsiString& folder) {
  AnsiString to = ExcludeTrailingPathDelimiter(folder);
  if (!Fill(s, to)) {
    ShowMessage(s, to + "\nAccess is denied.");
    return false;
  }
  s->Folder = to;
  SetWindowTextA(s->Look, to.c_str());
  EnableWindow(s->Up, to != AnsiString(1, PathDelim));
  if (s->NameFromList) SetName(s, AnsiString(), false);
  return true;
}

void GoUp(TOpenState* s) {
  if (s->Folder == AnsiString(1, PathDelim)) return;
  Navigate(s, ExtractFileDir(s->Folder));
}

// The files chosen in the list, in its order.
std::vector<AnsiString> SelectedFiles(TOpenState* s) {
  std::vector<AnsiString> names;
  for (int i : SelectedItems(s))
    if (!IsFolderItem(s->List, i)) names.push_back(ItemName(s->List, i));
  return names;
}

// The files chosen in the list go to the name edit, quoted when several.
void SelectionChanged(TOpenState* s) {
  std::vector<AnsiString> names = SelectedFiles(s);
  if (names.empty()) return;
  SetName(s, names.size() == 1 ? names[0] : Quoted(names), true);
}

// ---- Choosing -------------------------------------------------------------------------

// Checks one name against the flags; the path to return, or "" when the
// dialog stays open (the user was told why).
AnsiString Accept(TOpenState* s, const AnsiString& name) {
  AnsiString path = Resolve(s->Folder, name);
  const DWORD flags = s->Request.Flags;
  if (!s->DefExt.empty() && !FileExists(path) && ExtractFileExt(ExtractFileName(path)).empty()) {
    AnsiString withExt = path + "." + s->DefExt;
    if (FileExists(withExt) || !(flags & OFN_FILEMUSTEXIST)) path = withExt;
  }
  if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !DirectoryExists(ExtractFileDir(path))) {
    ShowMessage(s, name + "\nPath does not exist.\nCheck the path and try again.");
    return AnsiString();
  }
  if (DirectoryExists(path)) {
    ShowMessage(s, name + "\nThe file name is not valid.");
    return AnsiString();
  }
  if ((flags & OFN_FILEMUSTEXIST) && !FileExists(path)) {
    ShowMessage(s, name + "\nFile not found.\nCheck the file name and try again.");
    return AnsiString();
  }
  if (s->Request.Save && (flags & OFN_OVERWRITEPROMPT) && FileExists(path)) {
    AnsiString ask = ExtractFileName(path) + " already exists.\nDo you want to replace it?";
    if (MessageBoxA(s->Dialog, ask.c_str(), s->Title.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return AnsiString();
  }
  return path;
}

void Choose(TOpenState* s) {
  HWND focus = GetFocus();
  if (focus == s->List) {
    // Enter on a folder of the list opens it.
    int caret = static_cast<int>(SendMessageA(s->List, LB_GETCARETINDEX, 0, 0));
    if (caret >= 0 && IsFolderItem(s->List, caret) && SendMessageA(s->List, LB_GETSEL, static_cast<WPARAM>(caret), 0) > 0) {
      Navigate(s, Resolve(s->Folder, ItemName(s->List, caret)));
      return;
    }
  }
  int len = GetWindowTextLengthA(s->Name);
  AnsiString text(static_cast<size_t>(len) + 1, '\0');
  GetWindowTextA(s->Name, text.data(), len + 1);
  text.resize(std::strlen(text.c_str()));
  // What the list chose is taken as it is, whatever its names hold.
  std::vector<AnsiString> names = s->NameFromList ? SelectedFiles(s) : SplitNames(s->Folder, text);
  if (names.empty()) {
    std::vector<int> sel = SelectedItems(s);
    if (sel.size() == 1 && IsFolderItem(s->List, sel[0])) Navigate(s, Resolve(s->Folder, ItemName(s->List, sel[0])));
    return;
  }
  if (names.size() > 1 && !s->Multi) {
    ShowMessage(s, text + "\nThe file name is not valid.");
    return;
  }
  if (names.size() == 1) {
    // A folder typed (relative or absolute) is opened.
    AnsiString path = Resolve(s->Folder, names[0]);
    if (DirectoryExists(path)) {
      if (Navigate(s, path)) SetName(s, AnsiString(), false);
      return;
    }
  }
  std::vector<AnsiString> paths;
  for (const AnsiString& n : names) {
    AnsiString p = Accept(s, n);
    if (p.empty()) {
      SetFocus(s->Name);
      return;
    }
    paths.push_back(p);
  }
  s->Files = std::move(paths);
  s->Chosen = true;
  s->Done = true;
}

// ---- The window -----------------------------------------------------------------------

void Layout(TOpenState* s) {
  RECT c;
  GetClientRect(s->Dialog, &c);
  const int w = c.Width(), h = c.Height();
  const int editX = kMargin + kLabelW;
  const int buttonX = w - kMargin - kButtonW;
  const int editW = std::max(40, buttonX - kGap - editX);
  const int typesY = h - kMargin - kRowH;
  const int nameY = typesY - kGap - kRowH;
  const int listTop = kMargin + kRowH + kGap;
  MoveWindow(s->LookLabel, kMargin, kMargin + 4, kLabelW - 4, 16, TRUE);
  MoveWindow(s->Look, editX, kMargin + 2, std::max(40, w - kMargin - 30 - kGap - editX), kRowH - 4, TRUE);
  MoveWindow(s->Up, w - kMargin - 30, kMargin, 30, kRowH, TRUE);
  MoveWindow(s->List, kMargin, listTop, w - 2 * kMargin, std::max(30, nameY - kGap - listTop), TRUE);
  MoveWindow(s->NameLabel, kMargin, nameY + 4, kLabelW - 4, 16, TRUE);
  MoveWindow(s->Name, editX, nameY + 1, editW, kRowH - 2, TRUE);
  MoveWindow(s->Ok, buttonX, nameY, kButtonW, kRowH, TRUE);
  MoveWindow(s->TypesLabel, kMargin, typesY + 4, kLabelW - 4, 16, TRUE);
  MoveWindow(s->Types, editX, typesY + 1, editW, 200, TRUE);
  MoveWindow(s->Cancel, buttonX, typesY, kButtonW, kRowH, TRUE);
}

void Command(TOpenState* s, int id, int code) {
  switch (id) {
    case IDOK:
      if (code == BN_CLICKED) Choose(s);
      break;
    case IDCANCEL:
      if (code == BN_CLICKED) s->Done = true;
      break;
    case psh1:
      if (code == BN_CLICKED) GoUp(s);
      break;
    case lst1:
      if (code == LBN_SELCHANGE) {
        SelectionChanged(s);
      } else if (code == LBN_DBLCLK) {
        int caret = static_cast<int>(SendMessageA(s->List, LB_GETCARETINDEX, 0, 0));
        if (caret < 0) break;
        if (IsFolderItem(s->List, caret))
          Navigate(s, Resolve(s->Folder, ItemName(s->List, caret)));
        else
          Choose(s);
      }
      break;
    case edt1:
      if (code == EN_CHANGE && !s->SettingName) s->NameFromList = false;
      break;
    case cmb1:
      if (code == CBN_SELCHANGE) {
        int i = static_cast<int>(SendMessageA(s->Types, CB_GETCURSEL, 0, 0));
        if (i >= 0 && i != s->Filter) {
          s->Filter = i;
          Fill(s, s->Folder);
        }
      }
      break;
  }
}

INT_PTR OpenProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  TOpenState* s = StateOf(h);
  LRESULT r = 0;
  if (msg != WM_ERASEBKGND && DialogFaceMessage(h, msg, wParam, r)) return static_cast<INT_PTR>(r);
  if (!s) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      Command(s, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_VKEYTOITEM:
      // Backspace in the list goes one folder up.
      if (LOWORD(wParam) == VK_BACK) {
        GoUp(s);
        return -2;
      }
      return -1;
    case WM_SIZE:
      Layout(s);
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      mm->ptMinTrackSize.X = s->MinSize.cx;
      mm->ptMinTrackSize.Y = s->MinSize.cy;
      return TRUE;
    }
    case WM_CLOSE:
      s->Done = true;
      return TRUE;
  }
  return FALSE;
}

HWND Child(TOpenState* s, LPCSTR cls, LPCSTR text, DWORD style, int id, DWORD ex = 0) {
  return AddDialogChild(s->Dialog, cls, text, style, id, RECT(0, 0, 10, 10), s->Font, ex);
}

// The folder the dialog starts in and the name it shows: the folder of a
// given path, else the initial folder, else the current one.
void StartPlace(const TOpenFileRequest& q, AnsiString& folder, AnsiString& name) {
  name = q.FileName;
  if (!q.FileName.empty()) {
    AnsiString full = Resolve(GetCurrentDir(), q.FileName);
    if (q.FileName.find(PathDelim) != AnsiString::npos || DirectoryExists(full)) {
      if (DirectoryExists(full)) {
        folder = full;
        name.clear();
        return;
      }
      if (DirectoryExists(ExtractFileDir(full))) {
        folder = ExtractFileDir(full);
        name = ExtractFileName(full);
        return;
      }
    }
  }
  if (!q.InitialDir.empty()) {
    AnsiString dir = Resolve(GetCurrentDir(), q.InitialDir);
    if (DirectoryExists(dir)) {
      folder = dir;
      return;
    }
  }
  folder = GetCurrentDir();
}

TOpenFileAnswer ShowOpenDialog(const TOpenFileRequest& q, const AnsiString& defExt) {
  TOpenFileAnswer answer;
  TOpenState s;
  s.Request = q;
  s.DefExt = defExt;
  s.Multi = !q.Save && (q.Flags & OFN_ALLOWMULTISELECT);
  s.Title = !q.Title.empty() ? q.Title : AnsiString(q.Save ? "Save As" : "Open");
  if (!q.Filters.empty())
    s.Filter = q.FilterIndex >= 1 && q.FilterIndex <= q.Filters.size() ? static_cast<int>(q.FilterIndex) - 1 : 0;
  bool sizable = q.Flags & OFN_ENABLESIZING;
  s.Dialog = CreateCommonDialog(OpenProc, s.Title, q.Owner, kClientW, kClientH, sizable);
  if (!s.Dialog) {
    SetCommDlgError(CDERR_DIALOGFAILURE);
    return answer;
  }
  s.Font = CreateDialogFont();
  RECT wr;
  GetWindowRect(s.Dialog, &wr);
  s.MinSize = SIZE(wr.Width(), wr.Height());

  s.LookLabel = Child(&s, "STATIC", "Look in:", SS_LEFT, -1);
  s.Look = Child(&s, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, stc1);
  s.Up = Child(&s, "BUTTON", "Up", BS_PUSHBUTTON | WS_TABSTOP, psh1);
  s.List = Child(&s, "LISTBOX", "",
                 LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT | LBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP |
                     (s.Multi ? LBS_EXTENDEDSEL : 0),
                 lst1, WS_EX_CLIENTEDGE);
  s.NameLabel = Child(&s, "STATIC", "File &name:", SS_LEFT, -1);
  s.Name = Child(&s, "EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, edt1, WS_EX_CLIENTEDGE);
  s.Ok = Child(&s, "BUTTON", q.Save ? "&Save" : "&Open", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
  s.TypesLabel = Child(&s, "STATIC", q.Save ? "Save as &type:" : "Files of &type:", SS_LEFT, -1);
  s.Types = Child(&s, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, cmb1);
  s.Cancel = Child(&s, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
  for (const auto& f : q.Filters) SendMessageA(s.Types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.first.c_str()));
  if (s.Filter >= 0) SendMessageA(s.Types, CB_SETCURSEL, static_cast<WPARAM>(s.Filter), 0);
  SetPropA(s.Dialog, kOpenProp, &s);
  Layout(&s);

  AnsiString folder, name;
  StartPlace(q, folder, name);
  if (!Fill(&s, folder)) {
    folder = AnsiString(1, PathDelim);
    Fill(&s, folder);
  }
  s.Folder = ExcludeTrailingPathDelimiter(folder);
  SetWindowTextA(s.Look, s.Folder.c_str());
  EnableWindow(s.Up, s.Folder != AnsiString(1, PathDelim));
  SetName(&s, name, false);

  RunCommonDialog(s.Dialog, q.Owner, s.Name, kOpenProp, s.Done);
  DeleteObject(s.Font);
  if (!s.Chosen) return answer;
  answer.Cancel = false;
  answer.Files = s.Files;
  answer.FilterIndex = static_cast<DWORD>(s.Filter + 1);
  return answer;
}

// ---- The caller's record ----------------------------------------------------------------

std::vector<std::pair<AnsiString, AnsiString>> ParseFilter(const std::vector<AnsiString>& parts) {
  std::vector<std::pair<AnsiString, AnsiString>> r;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) r.emplace_back(parts[i], parts[i + 1]);
  return r;
}

// The strings of a list that ends with an empty one.
template <class C>
std::vector<std::basic_string<C>> MultiString(const C* p) {
  std::vector<std::basic_string<C>> r;
  if (!p) return r;
  while (*p) {
    std::basic_string<C> s(p);
    p += s.size() + 1;
    r.push_back(std::move(s));
  }
  return r;
}

// The result as the caller's characters: the text with its NULs and the
// offsets of the first name and of its extension.
template <class S, class Conv>
void Compose(const std::vector<AnsiString>& files, Conv conv, S& text, size_t& offset, size_t& ext) {
  text.clear();
  if (files.size() == 1) {
    const AnsiString& path = files[0];
    AnsiString name = ExtractFileName(path);
    S head = conv(path.substr(0, path.size() - name.size()));
    size_t dot = name.rfind('.');
    offset = head.size();
    text = head + conv(name);
    ext = dot == AnsiString::npos ? text.size() : offset + conv(name.substr(0, dot + 1)).size();
    text.push_back(0);
    return;
  }
  AnsiString dir = ExtractFileDir(files[0]);
  text = conv(dir);
  text.push_back(0);
  offset = text.size();
  ext = 0;
  for (const AnsiString& f : files) {
    // A file of another folder keeps its full path.
    text += conv(ExtractFileDir(f) == dir ? ExtractFileName(f) : f);
    text.push_back(0);
  }
  text.push_back(0);
}

// Copies the result into the buffer; FNERR_BUFFERTOOSMALL with the size
// needed in its first two bytes when it does not fit.
template <class C, class S>
bool Deliver(const S& text, C* buffer, DWORD max) {
  if (text.size() > max) {
    WORD need = static_cast<WORD>(std::min<size_t>(text.size(), 0xFFFF));
    std::memcpy(buffer, &need, std::min<size_t>(sizeof need, static_cast<size_t>(max) * sizeof(C)));
    SetCommDlgError(FNERR_BUFFERTOOSMALL);
    return false;
  }
  std::memcpy(buffer, text.data(), text.size() * sizeof(C));
  return true;
}

template <class S>
void DeliverTitle(const S& name, typename S::value_type* title, DWORD max) {
  if (!title || max == 0) return;
  size_t n = std::min<size_t>(name.size(), max - 1);
  std::memcpy(title, name.data(), n * sizeof(typename S::value_type));
  title[n] = 0;
}

DWORD ResultFlags(DWORD flags, const std::vector<AnsiString>& files, const AnsiString& defExt) {
  flags &= ~static_cast<DWORD>(OFN_EXTENSIONDIFFERENT);
  if (!defExt.empty()) {
    AnsiString ext = ExtractFileExt(ExtractFileName(files[0]));
    if (!SameText(ext.empty() ? ext : ext.substr(1), defExt)) flags |= OFN_EXTENSIONDIFFERENT;
  }
  return flags;
}

// Asks (the hook or the user); false when nothing was chosen.
bool Ask(const TOpenFileRequest& q, const AnsiString& defExt, TOpenFileAnswer& answer) {
  answer = AnswerHook() ? AnswerHook()(q) : ShowOpenDialog(q, defExt);
  if (answer.Cancel || answer.Files.empty()) return false;
  if (q.Save || !(q.Flags & OFN_ALLOWMULTISELECT)) answer.Files.resize(1);
  if (answer.FilterIndex == 0) answer.FilterIndex = q.FilterIndex;
  return true;
}

// The caller's buffer for the chosen names is required.
template <class Record>
bool UsableOpenRecord(const Record* ofn) {
  return UsableRecord(ofn, [](const Record& r) { return r.lpstrFile && r.nMaxFile > 0; });
}

BOOL RunA(LPOPENFILENAMEA ofn, bool save) {
  if (!UsableOpenRecord(ofn)) return FALSE;
  TOpenFileRequest q;
  q.Owner = ofn->hwndOwner;
  q.Filters = ParseFilter(MultiString(ofn->lpstrFilter));
  q.FilterIndex = ofn->nFilterIndex;
  q.InitialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
  q.FileName = AnsiString(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  q.Title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
  q.Flags = ofn->Flags;
  q.Save = save;
  AnsiString defExt = ofn->lpstrDefExt ? ofn->lpstrDefExt : "";
  TOpenFileAnswer answer;
  if (!Ask(q, defExt, answer)) return FALSE;
  AnsiString text;
  size_t offset = 0, ext = 0;
  Compose(answer.Files, [](const AnsiString& a) { return a; }, text, offset, ext);
  if (!Deliver(text, ofn->lpstrFile, ofn->nMaxFile)) return FALSE;
  ofn->nFileOffset = static_cast<WORD>(std::min<size_t>(offset, 0xFFFF));
  ofn->nFileExtension = static_cast<WORD>(std::min<size_t>(ext, 0xFFFF));
  ofn->nFilterIndex = answer.FilterIndex;
  ofn->Flags = ResultFlags(ofn->Flags, answer.Files, defExt);
  DeliverTitle(ExtractFileName(answer.Files[0]), ofn->lpstrFileTitle, ofn->nMaxFileTitle);
  return TRUE;
}

}  // namespace

void SetOpenFileHook(TOpenFileHook hook) { AnswerHook() = std::move(hook); }

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return RunA(ofn, false); }

BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return RunA(ofn, true); }

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn) {
  if (!UsableOpenRecord(ofn)) return FALSE;
  auto narrow = [](LPCWSTR w) { return w ? WideToAnsi(WideString(w)) : AnsiString(); };
  TOpenFileRequest q;
  q.Owner = ofn->hwndOwner;
  std::vector<AnsiString> parts;
  for (const WideString& w : MultiString(ofn->lpstrFilter)) parts.push_back(WideToAnsi(w));
  q.Filters = ParseFilter(parts);
  q.FilterIndex = ofn->nFilterIndex;
  q.InitialDir = narrow(ofn->lpstrInitialDir);
  size_t n = 0;
  while (n < ofn->nMaxFile && ofn->lpstrFile[n]) ++n;
  q.FileName = WideToAnsi(WideString(ofn->lpstrFile, n));
  q.Title = narrow(ofn->lpstrTitle);
  q.Flags = ofn->Flags;
  AnsiString defExt = narrow(ofn->lpstrDefExt);
  TOpenFileAnswer answer;
  if (!Ask(q, defExt, answer)) return FALSE;
  WideString text;
  size_t offset = 0, ext = 0;
  Compose(answer.Files, [](const AnsiString& a) { return AnsiToWide(a); }, text, offset, ext);
  if (!Deliver(text, ofn->lpstrFile, ofn->nMaxFile)) return FALSE;
  ofn->nFileOffset = static_cast<WORD>(std::min<size_t>(offset, 0xFFFF));
  ofn->nFileExtension = static_cast<WORD>(std::min<size_t>(ext, 0xFFFF));
  ofn->nFilterIndex = answer.FilterIndex;
  ofn->Flags = ResultFlags(ofn->Flags, answer.Files, defExt);
  DeliverTitle(AnsiToWide(ExtractFileName(answer.Files[0])), ofn->lpstrFileTitle, ofn->nMaxFileTitle);
  return TRUE;
}
