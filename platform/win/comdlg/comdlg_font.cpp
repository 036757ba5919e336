// The font dialog: the families the GDI layer knows, four styles, the
// usual sizes, with effects the strikeout, underline and colour, and a
// sample of the choice.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/rtl/mathutils.h"
#include "platform/rtl/strutils.h"
#include "platform/win/comdlg/comdlg_internal.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TFontAnswerTag;
TChooseFontHook& FontAnswerHook() { return DialogHook<TFontAnswerTag, TChooseFontHook>(); }

const char kFontProp[] = "#ChooseFontState";
constexpr std::array<int, 16> kSizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
const char* const kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};

struct TNamedColor {
  const char* Name;
  COLORREF Color;
};
constexpr TNamedColor kColors[] = {
    {"Black", RGB(0, 0, 0)},       {"Maroon", RGB(128, 0, 0)},   {"Green", RGB(0, 128, 0)},
    {"Olive", RGB(128, 128, 0)},   {"Navy", RGB(0, 0, 128)},     {"Purple", RGB(128, 0, 128)},
    {"Teal", RGB(0, 128, 128)},    {"Gray", RGB(128, 128, 128)}, {"Silver", RGB(192, 192, 192)},
    {"Red", RGB(255, 0, 0)},       {"Lime", RGB(0, 255, 0)},     {"Yellow", RGB(255, 255, 0)},
    {"Blue", RGB(0, 0, 255)},      {"Fuchsia", RGB(255, 0, 255)}, {"Aqua", RGB(0, 255, 255)},
    {"White", RGB(255, 255, 255)}};

struct TFontState {
  HWND Dialog = nullptr, Faces = nullptr, Styles = nullptr, Sizes = nullptr, Colors = nullptr;
  HWND Strike = nullptr, Under = nullptr, Sample = nullptr;
  HFONT SampleFont = nullptr;
  COLORREF Color = 0;
  int Dpi = 96;
  bool Done = false;
  bool Chosen = false;
  // The choice, taken when OK closes the dialog.
  LOGFONTA Result{};
  int Style = 0;
  int Size = 0;
};

TFontState* FontStateOf(HWND h) { return static_cast<TFontState*>(GetPropA(h, kFontProp)); }

int CollectFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
  auto* faces = reinterpret_cast<std::vector<AnsiString>*>(data);
  AnsiString name = lf->lfFaceName;
  if (name.empty() || name[0] == '@') return 1;
  if (std::none_of(faces->begin(), faces->end(), [&](const AnsiString& f) { return SameText(f, name); }))
    faces->push_back(name);
  return 1;
}

std::vector<AnsiString> Faces() {
  std::vector<AnsiString> faces;
  HDC dc = GetDC(nullptr);
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &lf, &CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, dc);
  std::sort(faces.begin(), faces.end(), [](const AnsiString& a, const AnsiString& b) { return CompareText(a, b) < 0; });
  return faces;
}

AnsiString ListText(HWND list, int i) {
  int n = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
  if (n <= 0) return AnsiString();
  AnsiString t(static_cast<size_t>(n) + 1, '\0');
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(t.data()));
  t.resize(std::strlen(t.c_str()));
  return t;
}

int Cur(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

int SelectedSize(TFontState* s) {
  int i = Cur(s->Sizes);
  return i < 0 ? 10 : static_cast<int>(SendMessageA(s->Sizes, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
}

// The choice as a logical font (face, height, weight, slant, effects).
void Compose(TFontState* s, LOGFONTA& lf) {
  int style = std::max(0, Cur(s->Styles));
  AnsiString face = ListText(s->Faces, std::max(0, Cur(s->Faces)));
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::memcpy(lf.lfFaceName, face.data(), std::min<size_t>(face.size(), LF_FACESIZE - 1));
  lf.lfHeight = -MulDiv(SelectedSize(s), s->Dpi, 72);
  lf.lfWidth = 0;
  lf.lfWeight = style >= 2 ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style % 2 ? 1 : 0;
  lf.lfStrikeOut = s->Strike && SendMessageA(s->Strike, BM_GETCHECK, 0, 0) == BST_CHECKED;
  lf.lfUnderline = s->Under && SendMessageA(s->Under, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void UpdateSample(TFontState* s) {
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  Compose(s, lf);
  HFONT old = s->SampleFont;
  s->SampleFont = CreateFontIndirectA(&lf);
  SendMessageA(s->Sample, WM_SETFONT, reinterpret_cast<WPARAM>(s->SampleFont), TRUE);
  if (old) DeleteObject(old);
  if (s->Colors) {
    int i = static_cast<int>(SendMessageA(s->Colors, CB_GETCURSEL, 0, 0));
    if (i >= 0) s->Color = static_cast<COLORREF>(SendMessageA(s->Colors, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
  }
  InvalidateRect(s->Sample, nullptr, TRUE);
}

void Command(TFontState* s, int id, int code) {
  switch (id) {
    case IDOK:
      Compose(s, s->Result);
      s->Style = std::max(0, Cur(s->Styles));
      s->Size = SelectedSize(s);
      s->Chosen = true;
      s->Done = true;
      break;
    case IDCANCEL:
      s->Done = true;
      break;
    case lst1:
    case lst2:
    case lst3:
      if (code == LBN_SELCHANGE) UpdateSample(s);
      break;
    case chx1:
    case chx2:
      if (code == BN_CLICKED) UpdateSample(s);
      break;
    case cmb1:
      if (code == CBN_SELCHANGE) UpdateSample(s);
      break;
  }
}

INT_PTR FontProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  TFontState* s = FontStateOf(h);
  if (s && msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == s->Sample) {
    SetTextColor(reinterpret_cast<HDC>(wParam), s->Color);
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
  }
  LRESULT r = 0;
  if (msg != WM_ERASEBKGND && DialogFaceMessage(h, msg, wParam, r)) return static_cast<INT_PTR>(r);
  if (!s) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      Command(s, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      s->Done = true;
      return TRUE;
  }
  return FALSE;
}

// The index of the item whose text is `text` (without regard to case); -1.
int Find(HWND list, const AnsiString& text) {
  int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i)
    if (SameText(ListText(list, i), text)) return i;
  return -1;
}

BOOL ShowFontDialog(CHOOSEFONTA& cf, const std::vector<AnsiString>& faces, int minSize, int maxSize) {
  TFontState s;
  HDC screen = GetDC(nullptr);
  s.Dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  s.Color = cf.rgbColors & 0xFFFFFF;
  const bool effects = cf.Flags & CF_EFFECTS;
  s.Dialog = CreateCommonDialog(FontProc, "Font", cf.hwndOwner, 462, 296, false);
  if (!s.Dialog) {
    SetCommDlgError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  HFONT font = CreateDialogFont();
  HWND d = s.Dialog;
  const DWORD listStyle = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
  AddDialogChild(d, "STATIC", "&Font:", SS_LEFT, -1, RECT(8, 8, 178, 24), font);
  s.Faces = AddDialogChild(d, "LISTBOX", "", listStyle, lst1, RECT(8, 26, 178, 176), font, WS_EX_CLIENTEDGE);
  AddDialogChild(d, "STATIC", "Font st&yle:", SS_LEFT, -1, RECT(186, 8, 296, 24), font);
  s.Styles = AddDialogChild(d, "LISTBOX", "", listStyle, lst2, RECT(186, 26, 296, 176), font, WS_EX_CLIENTEDGE);
  AddDialogChild(d, "STATIC", "&Size:", SS_LEFT, -1, RECT(304, 8, 364, 24), font);
  s.Sizes = AddDialogChild(d, "LISTBOX", "", listStyle, lst3, RECT(304, 26, 364, 176), font, WS_EX_CLIENTEDGE);
  AddDialogChild(d, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, RECT(374, 26, 454, 49), font);
  AddDialogChild(d, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, RECT(374, 55, 454, 78), font);
  if (effects) {
    AddDialogChild(d, "BUTTON", "Effects", BS_GROUPBOX, -1, RECT(8, 184, 178, 288), font);
    s.Strike = AddDialogChild(d, "BUTTON", "Stri&keout", BS_AUTOCHECKBOX | WS_TABSTOP, chx1, RECT(18, 202, 170, 220), font);
    s.Under = AddDialogChild(d, "BUTTON", "&Underline", BS_AUTOCHECKBOX | WS_TABSTOP, chx2, RECT(18, 224, 170, 242), font);
    AddDialogChild(d, "STATIC", "&Color:", SS_LEFT, -1, RECT(18, 254, 60, 270), font);
    s.Colors = AddDialogChild(d, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, cmb1, RECT(62, 250, 170, 450), font);
  }
  AddDialogChild(d, "BUTTON", "Sample", BS_GROUPBOX, -1, RECT(186, 184, 454, 288), font);
  s.Sample = AddDialogChild(d, "STATIC", "AaBbYyZz", SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, stc1, RECT(196, 204, 444, 278),
                            font, WS_EX_CLIENTEDGE);

  for (const AnsiString& f : faces) SendMessageA(s.Faces, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
  for (const char* st : kStyles) SendMessageA(s.Styles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(st));
  // The initial choice: the caller's font, else the dialog's own.
  LOGFONTA init{};
  if ((cf.Flags & CF_INITTOLOGFONTSTRUCT) && cf.lpLogFont)
    init = *cf.lpLogFont;
  else
    GetObjectA(font, sizeof init, &init);
  int size = init.lfHeight ? std::max(1, MulDiv(std::abs(init.lfHeight), 72, s.Dpi)) : 10;
  size = std::clamp(size, minSize, maxSize);
  std::vector<int> sizes;
  for (int z : kSizes)
    if (z >= minSize && z <= maxSize) sizes.push_back(z);
  if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.insert(std::upper_bound(sizes.begin(), sizes.end(), size), size);
  for (int z : sizes) {
    int i = static_cast<int>(SendMessageA(s.Sizes, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(z).c_str())));
    SendMessageA(s.Sizes, LB_SETITEMDATA, static_cast<WPARAM>(i), z);
  }
  int face = Find(s.Faces, init.lfFaceName);
  SendMessageA(s.Faces, LB_SETCURSEL, static_cast<WPARAM>(std::max(0, face)), 0);
  int style = (init.lfWeight >= 600 ? 2 : 0) + (init.lfItalic ? 1 : 0);
  SendMessageA(s.Styles, LB_SETCURSEL, static_cast<WPARAM>(style), 0);
  SendMessageA(s.Sizes, LB_SETCURSEL, static_cast<WPARAM>(Find(s.Sizes, std::to_string(size))), 0);
  if (effects) {
    SendMessageA(s.Strike, BM_SETCHECK, init.lfStrikeOut ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(s.Under, BM_SETCHECK, init.lfUnderline ? BST_CHECKED : BST_UNCHECKED, 0);
    int chosen = -1;
    for (const TNamedColor& c : kColors) {
      int i = static_cast<int>(SendMessageA(s.Colors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.Name)));
      SendMessageA(s.Colors, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(c.Color));
      if (c.Color == s.Color) chosen = i;
    }
    if (chosen < 0) {
      // A colour of the caller's that has no name keeps its place.
      chosen = static_cast<int>(SendMessageA(s.Colors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Custom")));
      SendMessageA(s.Colors, CB_SETITEMDATA, static_cast<WPARAM>(chosen), static_cast<LPARAM>(s.Color));
    }
    SendMessageA(s.Colors, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  }
  SetPropA(d, kFontProp, &s);
  UpdateSample(&s);

  RunCommonDialog(d, cf.hwndOwner, s.Faces, kFontProp, s.Done);
  if (s.Chosen) {
    LOGFONTA& lf = *cf.lpLogFont;
    if (!(cf.Flags & CF_INITTOLOGFONTSTRUCT)) {
      lf = LOGFONTA{};
      lf.lfCharSet = DEFAULT_CHARSET;
    }
    std::memcpy(lf.lfFaceName, s.Result.lfFaceName, sizeof lf.lfFaceName);
    lf.lfHeight = s.Result.lfHeight;
    lf.lfWidth = 0;
    lf.lfWeight = s.Result.lfWeight;
    lf.lfItalic = s.Result.lfItalic;
    lf.lfStrikeOut = effects ? s.Result.lfStrikeOut : 0;
    lf.lfUnderline = effects ? s.Result.lfUnderline : 0;
    int st = s.Style;
    cf.iPointSize = s.Size * 10;
    cf.nFontType = static_cast<WORD>(SCREEN_FONTTYPE | (st >= 2 ? BOLD_FONTTYPE : 0) | (st % 2 ? ITALIC_FONTTYPE : 0) |
                                     (st == 0 ? REGULAR_FONTTYPE : 0));
    if (effects) cf.rgbColors = s.Color;
    if ((cf.Flags & CF_USESTYLE) && cf.lpszStyle) {
      std::strncpy(cf.lpszStyle, kStyles[st], LF_FACESIZE - 1);
      cf.lpszStyle[LF_FACESIZE - 1] = 0;
    }
  }
  DeleteObject(font);
  if (s.SampleFont) DeleteObject(s.SampleFont);
  return s.Chosen ? TRUE : FALSE;
}

}  // namespace

void SetChooseFontHook(TChooseFontHook hook) { FontAnswerHook() = std::move(hook); }

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL ChooseFontA(LPCHOOSEFONTA cf) {
  if (!UsableRecord(cf, [](const CHOOSEFONTA& r) { return r.lpLogFont != nullptr; })) return FALSE;
  int minSize = 1, maxSize = 1638;
  if (cf->Flags & CF_LIMITSIZE) {
    if (cf->nSizeMax < cf->nSizeMin) {
      SetCommDlgError(CFERR_MAXLESSTHANMIN);
      return FALSE;
    }
    minSize = std::max(1, cf->nSizeMin);
    maxSize = std::max(minSize, cf->nSizeMax);
  }
  if (FontAnswerHook()) return FontAnswerHook()(*cf) ? TRUE : FALSE;
  std::vector<AnsiString> faces = Faces();
  if (faces.empty()) {
    SetCommDlgError(CFERR_NOFONTS);
    return FALSE;
  }
  return ShowFontDialog(*cf, faces, minSize, maxSize);
}
