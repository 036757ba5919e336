// The "EDIT" class: single-line editing in full (caret, selection by mouse
// and keys, words, the clipboard, one level of undo, password, case and
// number styles, margins, alignment, limit) and the basics of multi-line
// editing (lines, wrapping, vertical scrolling).
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <cwctype>

#include "platform/rtl/text_codec.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TLine {
  size_t Start = 0;
  size_t End = 0;   // the end of the line's text (before its break)
  size_t Next = 0;  // where the following line starts
};

struct TEditData : TCtlBase {
  AnsiString Text;
  size_t Anchor = 0;
  size_t Caret = 0;
  size_t Limit = 30000;  // what the user may type, single or multiple lines
  int LeftMargin = 1;
  int RightMargin = 1;
  char PasswordChar = '*';
  bool Modified = false;
  bool CanUndo = false;
  AnsiString UndoText;
  size_t UndoAnchor = 0, UndoCaret = 0;
  bool Typing = false;  // typed characters join one undo step
  int XOffset = 0;      // pixels scrolled to the left (single line)
  int FirstLine = 0;    // first line shown (multi-line)
  bool Tracking = false;
  bool HasRect = false;  // EM_SETRECT gave the formatting rectangle
  RECT Rect{};
  std::string Pending;  // bytes of a character that is still arriving
  std::vector<TLine> Lines;
  bool LinesDirty = true;
  bool VScroll = false;  // asked for at creation
};

bool IsMulti(HWND h) { return (CtlStyle(h) & ES_MULTILINE) != 0; }
bool IsReadOnly(HWND h) { return (CtlStyle(h) & ES_READONLY) != 0; }
bool IsPassword(HWND h) { return (CtlStyle(h) & (ES_PASSWORD | ES_MULTILINE)) == ES_PASSWORD; }
bool Wraps(HWND h) { return IsMulti(h) && !(CtlStyle(h) & (ES_AUTOHSCROLL | WS_HSCROLL)); }

// A DC of the control with its font selected.
class TEditDc {
 public:
  explicit TEditDc(HWND h) : h_(h), dc_(GetDC(h)) { old_ = SelectObject(dc_, CtlFont(h)); }
  ~TEditDc() {
    SelectObject(dc_, old_);
    ReleaseDC(h_, dc_);
  }
  TEditDc(const TEditDc&) = delete;
  TEditDc& operator=(const TEditDc&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND h_;
  HDC dc_;
  HGDIOBJ old_;
};

RECT FormatRect(HWND h, TEditData* d, HDC dc) {
  if (d->HasRect) return d->Rect;
  RECT c;
  GetClientRect(h, &c);
  RECT r = c;
  r.Left += d->LeftMargin;
  r.Right -= d->RightMargin;
  int lh = CtlLineHeight(dc);
  if (!IsMulti(h)) {
    r.Top = c.Top + std::max(0, (c.Height() - lh) / 2);
    r.Bottom = r.Top + lh;
  }
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

// x of every byte position of [start, end) from the start, as the line is shown.
std::vector<int> PrefixX(HWND h, TEditData* d, HDC dc, size_t start, size_t end) {
  size_t n = end - start;
  std::vector<int> xs(n + 1, 0);
  if (n == 0) return xs;
  if (IsPassword(h) && d->PasswordChar) {
    SIZE s{};
    GetTextExtentPoint32A(dc, &d->PasswordChar, 1, &s);
    int chars = 0;
    for (size_t i = 0; i < n; ++i) {
      if ((static_cast<unsigned char>(d->Text[start + i]) & 0xC0) != 0x80) ++chars;
      xs[i + 1] = chars * s.cx;
    }
    return xs;
  }
  std::vector<INT> dx(n);
  SIZE s{};
  GetTextExtentExPointA(dc, d->Text.data() + start, static_cast<int>(n), INT_MAX, nullptr, dx.data(), &s);
  for (size_t i = 0; i < n; ++i) xs[i + 1] = dx[i];
  return xs;
}

AnsiString Shown(HWND h, TEditData* d, size_t start, size_t end) {
  if (!(IsPassword(h) && d->PasswordChar)) return d->Text.substr(start, end - start);
  AnsiString s;
  for (size_t i = start; i < end; ++i)
    if ((static_cast<unsigned char>(d->Text[i]) & 0xC0) != 0x80) s += d->PasswordChar;
  return s;
}

int TextWidth(HWND h, TEditData* d, HDC dc, size_t start, size_t end) { return PrefixX(h, d, dc, start, end).back(); }

void Layout(HWND h, TEditData* d, HDC dc) {
  if (!d->LinesDirty) return;
  d->LinesDirty = false;
  d->Lines.clear();
  const AnsiString& t = d->Text;
  if (!IsMulti(h)) {
    d->Lines.push_back(TLine{0, t.size(), t.size()});
    return;
  }
  int width = FormatRect(h, d, dc).Width();
  bool wrap = Wraps(h);
  size_t p = 0;
  for (;;) {
    size_t brk = t.find_first_of("\r\n", p);
    size_t paraEnd = brk == AnsiString::npos ? t.size() : brk;
    size_t next = paraEnd;
    if (brk != AnsiString::npos) next = (t.compare(brk, 2, "\r\n") == 0) ? brk + 2 : brk + 1;
    size_t s = p;
    if (wrap && width > 0) {
      while (s < paraEnd) {
        std::vector<int> xs = PrefixX(h, d, dc, s, paraEnd);
        if (xs.back() <= width) break;
        size_t fit = s;
        for (size_t i = s; i < paraEnd; i = NextCharPos(t, i))
          if (xs[NextCharPos(t, i) - s] <= width) fit = NextCharPos(t, i);
        if (fit == s) fit = NextCharPos(t, s);
        // Break after the last space that fits; a word wider than the line
        // breaks where the line ends.
        size_t cut = fit;
        if (t[fit] != ' ') {
          size_t space = t.rfind(' ', fit - 1);
          if (space != AnsiString::npos && space >= s) cut = space + 1;
        }
        size_t end = cut;
        while (end > s && t[end - 1] == ' ') --end;
        while (cut < paraEnd && t[cut] == ' ') ++cut;
        d->Lines.push_back(TLine{s, end, cut});
        s = cut;
      }
    }
    d->Lines.push_back(TLine{s, paraEnd, next});
    if (brk == AnsiString::npos) break;
    p = next;
  }
}

int LineOf(TEditData* d, size_t pos) {
  int n = static_cast<int>(d->Lines.size());
  for (int i = n - 1; i > 0; --i)
    if (d->Lines[static_cast<size_t>(i)].Start <= pos) return i;
  return 0;
}

// Horizontal place of a line's text within the formatting rectangle.
int AlignOffset(HWND h, TEditData* d, HDC dc, const TLine& line, const RECT& fmt) {
  DWORD style = CtlStyle(h);
  if (!(style & (ES_CENTER | ES_RIGHT))) return 0;
  int w = TextWidth(h, d, dc, line.Start, line.End);
  int room = fmt.Width() - w;
  if (room <= 0) return 0;
  return (style & ES_CENTER) ? room / 2 : room;
}

POINT PosToPoint(HWND h, TEditData* d, HDC dc, size_t pos) {
  Layout(h, d, dc);
  RECT fmt = FormatRect(h, d, dc);
  int li = LineOf(d, pos);
  const TLine& line = d->Lines[static_cast<size_t>(li)];
  size_t at = std::min(pos, line.End);
  std::vector<int> xs = PrefixX(h, d, dc, line.Start, line.End);
  int x = fmt.Left + AlignOffset(h, d, dc, line, fmt) + xs[at - line.Start] - d->XOffset;
  int y = fmt.Top + (li - d->FirstLine) * CtlLineHeight(dc);
  return POINT(x, y);
}

size_t PointToPos(HWND h, TEditData* d, HDC dc, int x, int y) {
  Layout(h, d, dc);
  RECT fmt = FormatRect(h, d, dc);
  int li = IsMulti(h) ? d->FirstLine + (y - fmt.Top) / std::max(1, CtlLineHeight(dc)) : 0;
  if (y < fmt.Top && IsMulti(h)) li = d->FirstLine - 1;
  li = std::clamp(li, 0, static_cast<int>(d->Lines.size()) - 1);
  const TLine& line = d->Lines[static_cast<size_t>(li)];
  std::vector<int> xs = PrefixX(h, d, dc, line.Start, line.End);
  int tx = x - fmt.Left - AlignOffset(h, d, dc, line, fmt) + d->XOffset;
  size_t best = line.Start;
  for (size_t p = line.Start;; p = NextCharPos(d->Text, p)) {
    if (p > line.End) break;
    if (p < line.End) {
      size_t next = NextCharPos(d->Text, p);
      int mid = (xs[p - line.Start] + xs[next - line.Start]) / 2;
      if (tx < mid) return p;
      best = next;
    } else {
      best = p;
      break;
    }
  }
  return best;
}

void ScrollToCaret(HWND h, TEditData* d, HDC dc) {
  Layout(h, d, dc);
  RECT fmt = FormatRect(h, d, dc);
  int li = LineOf(d, d->Caret);
  const TLine& line = d->Lines[static_cast<size_t>(li)];
  std::vector<int> xs = PrefixX(h, d, dc, line.Start, line.End);
  int w = fmt.Width();
  int cx = AlignOffset(h, d, dc, line, fmt) + xs[std::min(d->Caret, line.End) - line.Start];
  if (!Wraps(h)) {
    if (cx < d->XOffset) d->XOffset = std::max(0, cx - w / 3);
    if (cx > d->XOffset + w - 1) d->XOffset = cx - w + 1 + w / 3;
    // No room is left empty on the right when the text could fill it.
    int total = IsMulti(h) ? cx : xs.back();
    d->XOffset = std::max(0, std::min(d->XOffset, std::max(total + 1 - w, cx + 1 - w)));
  }
  if (IsMulti(h)) {
    int visible = std::max(1, fmt.Height() / std::max(1, CtlLineHeight(dc)));
    if (li < d->FirstLine) d->FirstLine = li;
    if (li >= d->FirstLine + visible) d->FirstLine = li - visible + 1;
    d->FirstLine = std::clamp(d->FirstLine, 0, std::max(0, static_cast<int>(d->Lines.size()) - 1));
  }
}

void UpdateScrollBar(HWND h, TEditData* d, HDC dc) {
  if (!IsMulti(h) || !d->VScroll) return;
  RECT fmt = FormatRect(h, d, dc);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  // The bar stays, grey while there is nothing to scroll.
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = static_cast<int>(d->Lines.size()) - 1;
  si.nPage = static_cast<UINT>(std::max(1, fmt.Height() / std::max(1, CtlLineHeight(dc))));
  si.nPos = d->FirstLine;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void PlaceCaret(HWND h, TEditData* d) {
  if (GetFocus() != h) return;
  TEditDc dc(h);
  POINT p = PosToPoint(h, d, dc, d->Caret);
  SetCaretPos(p.X, p.Y);
}

// After anything moved: the caret is brought into view and the control
// drawn again.
void Refresh(HWND h, TEditData* d) {
  {
    TEditDc dc(h);
    ScrollToCaret(h, d, dc);
    UpdateScrollBar(h, d, dc);
  }
  InvalidateRect(h, nullptr, TRUE);
  PlaceCaret(h, d);
}

void SetSel(HWND h, TEditData* d, size_t anchor, size_t caret) {
  auto fix = [&](size_t p) {
    p = std::min(p, d->Text.size());
    while (p > 0 && p < d->Text.size() && (static_cast<unsigned char>(d->Text[p]) & 0xC0) == 0x80) --p;
    return p;
  };
  anchor = fix(anchor);
  caret = fix(caret);
  if (anchor == d->Anchor && caret == d->Caret) return;
  d->Anchor = anchor;
  d->Caret = caret;
  d->Typing = false;
  Refresh(h, d);
}

size_t SelStart(const TEditData* d) { return std::min(d->Anchor, d->Caret); }
size_t SelEnd(const TEditData* d) { return std::max(d->Anchor, d->Caret); }

AnsiString ConvertCase(HWND h, const AnsiString& s) {
  DWORD style = CtlStyle(h);
  if (!(style & (ES_UPPERCASE | ES_LOWERCASE))) return s;
  WideString w = AnsiToWide(s);
  for (auto& c : w) c = static_cast<char16_t>((style & ES_UPPERCASE) ? std::towupper(c) : std::towlower(c));
  return WideToAnsi(w);
}

void Changed(HWND h) {
  CtlNotify(h, EN_UPDATE);
  CtlNotify(h, EN_CHANGE);
}

// Replaces the selection, as typing, pasting and EM_REPLACESEL do: the
// limit and (single line, no automatic scrolling) the width hold, the
// undo step is kept, the parent hears the change.
bool ReplaceSel(HWND h, TEditData* d, AnsiString s, bool canUndo, bool typing) {
  if (!IsMulti(h)) {
    size_t brk = s.find_first_of("\r\n");
    if (brk != AnsiString::npos) s.resize(brk);
  }
  s = ConvertCase(h, s);
  size_t a = SelStart(d), b = SelEnd(d);
  size_t keep = d->Text.size() - (b - a);
  bool truncated = false;
  if (keep + s.size() > d->Limit) {
    size_t room = d->Limit > keep ? d->Limit - keep : 0;
    size_t cut = room;
    while (cut > 0 && cut < s.size() && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    s.resize(cut);
    truncated = true;
  }
  AnsiString text = d->Text;
  text.replace(a, b - a, s);
  if (!IsMulti(h) && !(CtlStyle(h) & ES_AUTOHSCROLL)) {
    // Without automatic scrolling the text must fit the box.
    TEditDc dc(h);
    int width = FormatRect(h, d, dc).Width();
    AnsiString saved = d->Text;
    while (!s.empty()) {
      d->Text = text;
      if (TextWidth(h, d, dc, 0, text.size()) <= width) break;
      size_t cut = PrevCharPos(s, s.size());
      s.resize(cut);
      text = saved;
      text.replace(a, b - a, s);
      truncated = true;
    }
    d->Text = saved;
  }
  if (truncated) CtlNotify(h, EN_MAXTEXT);
  if (s.empty() && a == b) return false;
  if (canUndo && !(typing && d->Typing && b == a && a == d->Caret)) {
    d->UndoText = d->Text;
    d->UndoAnchor = d->Anchor;
    d->UndoCaret = d->Caret;
    d->CanUndo = true;
  }
  d->Text = std::move(text);
  d->Anchor = d->Caret = a + s.size();
  d->Typing = typing;
  d->Modified = true;
  d->LinesDirty = true;
  Refresh(h, d);
  Changed(h);
  return true;
}

bool Undo(HWND h, TEditData* d) {
  if (!d->CanUndo) return false;
  std::swap(d->Text, d->UndoText);
  size_t a = d->UndoAnchor, c = d->UndoCaret;
  d->UndoAnchor = d->Anchor;
  d->UndoCaret = d->Caret;
  d->Anchor = std::min(a, d->Text.size());
  d->Caret = std::min(c, d->Text.size());
  d->Typing = false;
  d->Modified = true;
  d->LinesDirty = true;
  Refresh(h, d);
  Changed(h);
  return true;
}

bool IsWordChar(unsigned char c) { return c >= 0x80 || c == '_' || std::isalnum(c); }
int CharClass(unsigned char c) { return c == ' ' || c == '\t' ? 0 : IsWordChar(c) ? 1 : 2; }

size_t WordLeft(const AnsiString& t, size_t p) {
  while (p > 0 && CharClass(static_cast<unsigned char>(t[p - 1])) == 0) --p;
  if (p == 0) return 0;
  int cls = CharClass(static_cast<unsigned char>(t[p - 1]));
  while (p > 0 && CharClass(static_cast<unsigned char>(t[p - 1])) == cls) --p;
  return p;
}

size_t WordRight(const AnsiString& t, size_t p) {
  if (p >= t.size()) return t.size();
  int cls = CharClass(static_cast<unsigned char>(t[p]));
  if (cls != 0)
    while (p < t.size() && CharClass(static_cast<unsigned char>(t[p])) == cls) ++p;
  while (p < t.size() && CharClass(static_cast<unsigned char>(t[p])) == 0) ++p;
  return p;
}

void Copy(HWND h, TEditData* d) {
  // A password is not handed out.
  if (IsPassword(h) || SelStart(d) == SelEnd(d)) return;
  ClipboardSetText(h, d->Text.substr(SelStart(d), SelEnd(d) - SelStart(d)));
}

void Paste(HWND h, TEditData* d) {
  if (IsReadOnly(h)) return;
  AnsiString s;
  if (!ClipboardGetText(h, s)) return;
  if (CtlStyle(h) & ES_NUMBER) {
    // Digits only, whichever way the text arrives.
    for (char c : s)
      if (c < '0' || c > '9') {
        MessageBeep(0);
        return;
      }
  }
  ReplaceSel(h, d, s, true, false);
}

void Clear(HWND h, TEditData* d) {
  if (IsReadOnly(h) || SelStart(d) == SelEnd(d)) return;
  ReplaceSel(h, d, "", true, false);
}

void KeyDown(HWND h, TEditData* d, WPARAM vk) {
  bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  bool ctrl = GetKeyState(VK_CONTROL) & 0x8000;
  const AnsiString& t = d->Text;
  size_t caret = d->Caret;
  size_t to = caret;
  bool move = true;
  TEditDc dc(h);
  Layout(h, d, dc);
  int li = LineOf(d, caret);
  const TLine& line = d->Lines[static_cast<size_t>(li)];
  auto vertical = [&](int lines) {
    POINT p = PosToPoint(h, d, dc, caret);
    int target = std::clamp(li + lines, 0, static_cast<int>(d->Lines.size()) - 1);
    int lh = CtlLineHeight(dc);
    return PointToPos(h, d, dc, p.X, p.Y + (target - li) * lh + lh / 2);
  };
  switch (vk) {
    case VK_LEFT: to = ctrl ? WordLeft(t, caret) : PrevCharPos(t, caret); break;
    case VK_RIGHT: to = ctrl ? WordRight(t, caret) : NextCharPos(t, caret); break;
    case VK_UP: to = IsMulti(h) ? vertical(-1) : PrevCharPos(t, caret); break;
    case VK_DOWN: to = IsMulti(h) ? vertical(1) : NextCharPos(t, caret); break;
    case VK_PRIOR:
    case VK_NEXT: {
      if (!IsMulti(h)) return;
      int page = std::max(1, FormatRect(h, d, dc).Height() / std::max(1, CtlLineHeight(dc)));
      to = vertical(vk == VK_PRIOR ? -page : page);
      break;
    }
    case VK_HOME: to = (ctrl || !IsMulti(h)) ? 0 : line.Start; break;
    case VK_END: to = (ctrl || !IsMulti(h)) ? t.size() : line.End; break;
    case VK_DELETE:
      move = false;
      if (IsReadOnly(h)) return;
      if (shift) {
        Copy(h, d);
        Clear(h, d);
      } else if (SelStart(d) != SelEnd(d)) {
        Clear(h, d);
      } else if (caret < t.size()) {
        size_t next = NextCharPos(t, caret);
        if (IsMulti(h) && t.compare(caret, 2, "\r\n") == 0) next = caret + 2;
        d->Anchor = next;
        ReplaceSel(h, d, "", true, false);
      }
      return;
    case VK_INSERT:
      if (ctrl) Copy(h, d);
      else if (shift) Paste(h, d);
      return;
    default:
      return;
  }
  if (!move) return;
  if (!shift && SelStart(d) != SelEnd(d) && (vk == VK_LEFT || vk == VK_RIGHT) && !ctrl) {
    // An arrow with a selection goes to that end of it.
    to = vk == VK_LEFT ? SelStart(d) : SelEnd(d);
  }
  SetSel(h, d, shift ? d->Anchor : to, to);
}

void Char(HWND h, TEditData* d, WPARAM ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  switch (c) {
    case 0x01:  // Ctrl+A
      SetSel(h, d, 0, d->Text.size());
      return;
    case 0x03:
      SendMessageA(h, WM_COPY, 0, 0);
      return;
    case 0x16:
      SendMessageA(h, WM_PASTE, 0, 0);
      return;
    case 0x18:
      SendMessageA(h, WM_CUT, 0, 0);
      return;
    case 0x1A:
      SendMessageA(h, WM_UNDO, 0, 0);
      return;
    case 0x08:
      if (IsReadOnly(h)) return;
      if (SelStart(d) == SelEnd(d)) {
        if (d->Caret == 0) return;
        size_t prev = PrevCharPos(d->Text, d->Caret);
        if (IsMulti(h) && d->Caret >= 2 && d->Text.compare(d->Caret - 2, 2, "\r\n") == 0) prev = d->Caret - 2;
        d->Anchor = prev;
      }
      ReplaceSel(h, d, "", true, false);
      return;
    case '\r':
    case '\n':
      if (IsMulti(h) && !IsReadOnly(h)) ReplaceSel(h, d, "\r\n", true, false);
      return;
    case '\t':
      if (IsMulti(h) && !IsReadOnly(h)) ReplaceSel(h, d, "\t", true, true);
      return;
  }
  if (c < 0x20 || IsReadOnly(h)) return;
  if ((CtlStyle(h) & ES_NUMBER) && (c < '0' || c > '9')) {
    MessageBeep(0);
    return;
  }
  // A character beyond ASCII arrives one byte per message.
  d->Pending += static_cast<char>(c);
  if (static_cast<int>(d->Pending.size()) < Utf8Length(static_cast<unsigned char>(d->Pending[0]))) return;
  AnsiString s;
  s.swap(d->Pending);
  ReplaceSel(h, d, s, true, true);
}

void Paint(HWND h, TEditData* d, HDC dc) {
  HGDIOBJ oldFont = SelectObject(dc, CtlFont(h));
  bool enabled = IsWindowEnabled(h);
  HBRUSH bg = CtlColor(h, dc, (IsReadOnly(h) || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  RECT client;
  GetClientRect(h, &client);
  FillRect(dc, &client, bg);
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  Layout(h, d, dc);
  RECT fmt = FormatRect(h, d, dc);
  int lh = CtlLineHeight(dc);
  bool showSel = (GetFocus() == h || (CtlStyle(h) & ES_NOHIDESEL)) && SelStart(d) != SelEnd(d);
  SaveDC(dc);
  IntersectClipRect(dc, fmt.Left, IsMulti(h) ? fmt.Top : client.Top, fmt.Right, IsMulti(h) ? fmt.Bottom : client.Bottom);
  SetBkMode(dc, TRANSPARENT);
  COLORREF text = GetTextColor(dc);
  for (int li = d->FirstLine; li < static_cast<int>(d->Lines.size()); ++li) {
    int y = fmt.Top + (li - d->FirstLine) * lh;
    if (y >= fmt.Bottom && IsMulti(h)) break;
    const TLine& line = d->Lines[static_cast<size_t>(li)];
    std::vector<int> xs = PrefixX(h, d, dc, line.Start, line.End);
    int x0 = fmt.Left + AlignOffset(h, d, dc, line, fmt) - d->XOffset;
    AnsiString shown = Shown(h, d, line.Start, line.End);
    TextOutA(dc, x0, y, shown.c_str(), static_cast<int>(shown.size()));
    if (!showSel) continue;
    size_t a = std::max(SelStart(d), line.Start), b = std::min(SelEnd(d), line.End);
    bool breakSelected = SelEnd(d) > line.End && SelStart(d) <= line.End && line.Next > line.End;
    if (a >= b && !breakSelected) continue;
    int sx = x0 + xs[std::min(a, line.End) - line.Start];
    int ex = x0 + xs[std::max(a, b) - line.Start] + (breakSelected ? 4 : 0);
    RECT sel(sx, y, ex, y + lh);
    FillSolid(dc, sel, GetSysColor(COLOR_HIGHLIGHT));
    SaveDC(dc);
    IntersectClipRect(dc, sel.Left, sel.Top, sel.Right, sel.Bottom);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    TextOutA(dc, x0, y, shown.c_str(), static_cast<int>(shown.size()));
    RestoreDC(dc, -1);
    SetTextColor(dc, text);
  }
  RestoreDC(dc, -1);
  SelectObject(dc, oldFont);
}

void SetMargins(HWND h, TEditData* d, WPARAM flags, LPARAM lParam) {
  int def = 0;
  if (LOWORD(lParam) == EC_USEFONTINFO || HIWORD(lParam) == EC_USEFONTINFO) {
    TEditDc dc(h);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    def = std::max(1, static_cast<int>(tm.tmAveCharWidth) / 2);
  }
  if (flags & EC_LEFTMARGIN) d->LeftMargin = LOWORD(lParam) == EC_USEFONTINFO ? def : LOWORD(lParam);
  if (flags & EC_RIGHTMARGIN) d->RightMargin = HIWORD(lParam) == EC_USEFONTINFO ? def : HIWORD(lParam);
  d->LinesDirty = true;
  Refresh(h, d);
}

void SetText(HWND h, TEditData* d, LPCSTR text) {
  // Set text is kept whole, line breaks in a single-line edit included:
  // only typing and pasting stop at a break.
  d->Text = ConvertCase(h, text ? text : "");
  d->Anchor = d->Caret = 0;
  d->XOffset = 0;
  d->FirstLine = 0;
  d->CanUndo = false;
  d->Typing = false;
  d->Modified = false;
  d->LinesDirty = true;
  Refresh(h, d);
}

void FocusCaret(HWND h, TEditData* d) {
  TEditDc dc(h);
  CreateCaret(h, nullptr, 1, CtlLineHeight(dc));
  POINT p = PosToPoint(h, d, dc, d->Caret);
  SetCaretPos(p.X, p.Y);
  ShowCaret(h);
}

LRESULT LineMessage(HWND h, TEditData* d, UINT msg, WPARAM wParam, LPARAM lParam) {
  TEditDc dc(h);
  Layout(h, d, dc);
  int count = static_cast<int>(d->Lines.size());
  auto lineAt = [&](int i) -> const TLine& { return d->Lines[static_cast<size_t>(std::clamp(i, 0, count - 1))]; };
  switch (msg) {
    case EM_GETLINECOUNT:
      return count;
    case EM_LINEINDEX: {
      int li = static_cast<int>(wParam);
      if (li == -1) li = LineOf(d, d->Caret);
      if (li < 0 || li >= count) return -1;
      return static_cast<LRESULT>(lineAt(li).Start);
    }
    case EM_LINELENGTH: {
      int pos = static_cast<int>(wParam);
      if (pos == -1) {
        // The unselected characters on the lines the selection touches.
        const TLine& first = lineAt(LineOf(d, SelStart(d)));
        const TLine& last = lineAt(LineOf(d, SelEnd(d)));
        return static_cast<LRESULT>((SelStart(d) - first.Start) + (last.End - std::min(last.End, SelEnd(d))));
      }
      const TLine& l = lineAt(LineOf(d, std::min(static_cast<size_t>(pos), d->Text.size())));
      return static_cast<LRESULT>(l.End - l.Start);
    }
    case EM_LINEFROMCHAR: {
      int pos = static_cast<int>(wParam);
      return LineOf(d, pos < 0 ? d->Caret : std::min(static_cast<size_t>(pos), d->Text.size()));
    }
    case EM_GETLINE: {
      int li = static_cast<int>(wParam);
      if (li < 0 || li >= count || !lParam) return 0;
      auto* buf = reinterpret_cast<char*>(lParam);
      WORD room = 0;
      std::memcpy(&room, buf, sizeof room);
      const TLine& l = lineAt(li);
      size_t n = std::min<size_t>(room, l.End - l.Start);
      std::memcpy(buf, d->Text.data() + l.Start, n);
      return static_cast<LRESULT>(n);
    }
    case EM_GETFIRSTVISIBLELINE:
      return IsMulti(h) ? d->FirstLine : PointToPos(h, d, dc, FormatRect(h, d, dc).Left, 0);
    case EM_LINESCROLL: {
      if (!IsMulti(h)) return FALSE;
      d->FirstLine = std::clamp(d->FirstLine + static_cast<int>(lParam), 0, std::max(0, count - 1));
      UpdateScrollBar(h, d, dc);
      InvalidateRect(h, nullptr, TRUE);
      PlaceCaret(h, d);
      return TRUE;
    }
  }
  return 0;
}

void VScroll(HWND h, TEditData* d, int code) {
  TEditDc dc(h);
  Layout(h, d, dc);
  int page = std::max(1, FormatRect(h, d, dc).Height() / std::max(1, CtlLineHeight(dc)));
  int count = static_cast<int>(d->Lines.size());
  int first = d->FirstLine;
  switch (code) {
    case SB_LINEUP: --first; break;
    case SB_LINEDOWN: ++first; break;
    case SB_PAGEUP: first -= page; break;
    case SB_PAGEDOWN: first += page; break;
    case SB_TOP: first = 0; break;
    case SB_BOTTOM: first = count - page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(h, SB_VERT, &si);
      first = si.nTrackPos;
      break;
    }
    default: return;
  }
  first = std::clamp(first, 0, std::max(0, count - page));
  if (first == d->FirstLine) return;
  d->FirstLine = first;
  UpdateScrollBar(h, d, dc);
  InvalidateRect(h, nullptr, TRUE);
  PlaceCaret(h, d);
  CtlNotify(h, EN_VSCROLL);
}

}  // namespace

LRESULT EditWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result;
  TEditData* d = CtlBegin<TEditData>(h, msg, wParam, lParam, result);
  if (!d) return result;
  if (LRESULT painted; CtlPaintMessage(h, msg, wParam, [&](HDC dc) { Paint(h, d, dc); }, painted)) return painted;
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      d->VScroll = cs && (cs->style & WS_VSCROLL);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) SetText(h, d, cs->lpszName);
      return 0;
    }
    case WM_SETFONT:
      d->Font = reinterpret_cast<HFONT>(wParam);
      d->LinesDirty = true;
      if (GetFocus() == h) {
        DestroyCaret();
        FocusCaret(h, d);
      }
      if (LOWORD(lParam)) Refresh(h, d);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d->Font);
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (IsMulti(h)) {
        // A multi-line edit keeps Enter and Tab but not Esc: in a dialog, Esc
        // still cancels.
        const auto* m = reinterpret_cast<const MSG*>(lParam);
        if (!m || m->message != WM_KEYDOWN || m->wParam != VK_ESCAPE) code |= DLGC_WANTALLKEYS;
      }
      return code;
    }
    case WM_SETTEXT:
      SetText(h, d, reinterpret_cast<LPCSTR>(lParam));
      DefWindowProcA(h, msg, wParam, reinterpret_cast<LPARAM>(d->Text.c_str()));
      // A multi-line edit keeps quiet about text set from outside.
      if (!IsMulti(h)) Changed(h);
      return TRUE;
    case WM_GETTEXT: {
      if (!wParam || !lParam) return 0;
      size_t n = std::min(d->Text.size(), static_cast<size_t>(wParam) - 1);
      while (n > 0 && n < d->Text.size() && (static_cast<unsigned char>(d->Text[n]) & 0xC0) == 0x80) --n;
      std::memcpy(reinterpret_cast<char*>(lParam), d->Text.data(), n);
      reinterpret_cast<char*>(lParam)[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(d->Text.size());
    case WM_SIZE:
      d->LinesDirty = true;
      Refresh(h, d);
      return 0;
    case WM_ENABLE:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      FocusCaret(h, d);
      InvalidateRect(h, nullptr, TRUE);
      CtlNotify(h, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      d->Typing = false;
      InvalidateRect(h, nullptr, TRUE);
      CtlNotify(h, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(h);
      SetCapture(h);
      d->Tracking = true;
      size_t pos;
      {
        TEditDc dc(h);
        pos = PointToPos(h, d, dc, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      }
      SetSel(h, d, (wParam & MK_SHIFT) ? d->Anchor : pos, pos);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      size_t pos;
      {
        TEditDc dc(h);
        pos = PointToPos(h, d, dc, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      }
      const AnsiString& t = d->Text;
      if (t.empty()) return 0;
      size_t at = std::min(pos, t.size() - 1);
      if (pos == t.size() || (at > 0 && CharClass(static_cast<unsigned char>(t[at])) == 0 &&
                              CharClass(static_cast<unsigned char>(t[at - 1])) != 0))
        at = pos > 0 ? pos - 1 : 0;
      int cls = CharClass(static_cast<unsigned char>(t[at]));
      size_t a = at, b = at;
      while (a > 0 && CharClass(static_cast<unsigned char>(t[a - 1])) == cls && t[a - 1] != '\n') --a;
      while (b < t.size() && CharClass(static_cast<unsigned char>(t[b])) == cls && t[b] != '\r' && t[b] != '\n') ++b;
      SetSel(h, d, a, b);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (d->Tracking && GetCapture() == h) {
        size_t pos;
        {
          TEditDc dc(h);
          pos = PointToPos(h, d, dc, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        SetSel(h, d, d->Anchor, pos);
      }
      return 0;
    case WM_LBUTTONUP:
      if (d->Tracking) {
        d->Tracking = false;
        if (GetCapture() == h) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      d->Tracking = false;
      return 0;
    case WM_KEYDOWN:
      KeyDown(h, d, wParam);
      return 0;
    case WM_CHAR:
      Char(h, d, wParam);
      return 1;
    case WM_VSCROLL:
      if (IsMulti(h)) VScroll(h, d, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (IsMulti(h)) {
        int steps = -GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3;
        for (int i = 0; i < std::abs(steps); ++i) VScroll(h, d, steps < 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
      }
      break;
    case WM_CUT:
      if (IsReadOnly(h) || IsPassword(h)) return 0;
      Copy(h, d);
      Clear(h, d);
      return 0;
    case WM_COPY:
      Copy(h, d);
      return 0;
    case WM_PASTE:
      Paste(h, d);
      return 0;
    case WM_CLEAR:
      Clear(h, d);
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      return Undo(h, d) ? TRUE : FALSE;
    case EM_CANUNDO:
      return d->CanUndo;
    case EM_EMPTYUNDOBUFFER:
      d->CanUndo = false;
      d->UndoText.clear();
      return 0;
    case EM_GETSEL: {
      DWORD a = static_cast<DWORD>(SelStart(d)), b = static_cast<DWORD>(SelEnd(d));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
      return MAKELRESULT(std::min<DWORD>(a, 0xFFFF), std::min<DWORD>(b, 0xFFFF));
    }
    case EM_SETSEL: {
      int a = static_cast<int>(wParam), b = static_cast<int>(lParam);
      if (a == -1) {
        SetSel(h, d, d->Caret, d->Caret);
        return 1;
      }
      size_t end = b < 0 ? d->Text.size() : static_cast<size_t>(b);
      SetSel(h, d, static_cast<size_t>(std::max(a, 0)), end);
      return 1;
    }
    case EM_REPLACESEL:
      ReplaceSel(h, d, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", wParam != 0, false);
      return 0;
    case EM_LIMITTEXT:
      d->Limit = wParam ? static_cast<size_t>(wParam) : (IsMulti(h) ? 0xFFFFFFFF : 0x7FFFFFFE);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(d->Limit);
    case EM_SETREADONLY: {
      DWORD s = CtlStyle(h);
      s = wParam ? (s | ES_READONLY) : (s & ~static_cast<DWORD>(ES_READONLY));
      SetWindowLongA(h, GWL_STYLE, static_cast<LONG>(s));
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETMARGINS:
      SetMargins(h, d, wParam, lParam);
      return 0;
    case EM_GETMARGINS:
      return MAKELRESULT(d->LeftMargin, d->RightMargin);
    case EM_SETPASSWORDCHAR: {
      if (IsMulti(h)) return 0;
      d->PasswordChar = static_cast<char>(wParam);
      DWORD s = CtlStyle(h);
      s = wParam ? (s | ES_PASSWORD) : (s & ~static_cast<DWORD>(ES_PASSWORD));
      SetWindowLongA(h, GWL_STYLE, static_cast<LONG>(s));
      Refresh(h, d);
      return 0;
    }
    case EM_GETPASSWORDCHAR:
      return IsPassword(h) ? static_cast<unsigned char>(d->PasswordChar) : 0;
    case EM_GETMODIFY:
      return d->Modified;
    case EM_SETMODIFY:
      d->Modified = wParam != 0;
      return 0;
    case EM_SCROLLCARET:
      Refresh(h, d);
      return TRUE;
    case EM_CHARFROMPOS: {
      TEditDc dc(h);
      size_t pos = PointToPos(h, d, dc, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      int line = IsMulti(h) ? LineOf(d, pos) : 0;
      return MAKELRESULT(std::min<size_t>(pos, 0xFFFF), line);
    }
    case EM_POSFROMCHAR: {
      // Past the last character there is no position.
      if (wParam >= d->Text.size()) return -1;
      TEditDc dc(h);
      POINT p = PosToPoint(h, d, dc, static_cast<size_t>(wParam));
      return MAKELRESULT(p.X, p.Y);
    }
    case EM_GETRECT:
      if (lParam) {
        TEditDc dc(h);
        *reinterpret_cast<RECT*>(lParam) = FormatRect(h, d, dc);
      }
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      d->HasRect = lParam != 0;
      if (lParam) d->Rect = *reinterpret_cast<const RECT*>(lParam);
      d->LinesDirty = true;
      if (msg == EM_SETRECT) Refresh(h, d);
      return 0;
    case EM_SCROLL: {
      if (!IsMulti(h)) return FALSE;
      int lines = 0;
      if (wParam == SB_LINEUP || wParam == SB_LINEDOWN) {
        lines = wParam == SB_LINEUP ? -1 : 1;
      } else if (wParam == SB_PAGEUP || wParam == SB_PAGEDOWN) {
        TEditDc dc(h);
        int page = std::max(1, FormatRect(h, d, dc).Height() / std::max(1, CtlLineHeight(dc)));
        lines = wParam == SB_PAGEUP ? -page : page;
      } else {
        return FALSE;
      }
      VScroll(h, d, static_cast<int>(wParam));
      // The lines the command stands for, whether or not the text moved.
      return MAKELRESULT(static_cast<WORD>(static_cast<SHORT>(lines)), TRUE);
    }
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_GETLINE:
    case EM_GETFIRSTVISIBLELINE:
    case EM_LINESCROLL:
      return LineMessage(h, d, msg, wParam, lParam);
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

}  // namespace rtl::detail
