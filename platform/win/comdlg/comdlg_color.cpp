// The colour dialog: 48 basic colours and 16 custom ones in grids that the
// mouse and the arrow keys choose from, the colour chosen in a swatch, and
// (opened in full) red, green and blue values to define a custom colour.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "platform/win/comdlg/comdlg_internal.h"
#include "platform/win/user/standard_classes.h"
#include "platform/win/user/ctl_common.h"

namespace rtl::detail {
namespace {

struct TColorAnswerTag;
TChooseColorHook& ColorAnswerHook() { return DialogHook<TColorAnswerTag, TChooseColorHook>(); }

const char kGridClass[] = "#ColorGrid";
const char kColorProp[] = "#ChooseColorState";
const char kGridProp[] = "#ColorGridState";
constexpr int kCellW = 26;
constexpr int kCellH = 22;
// What a grid tells its dialog (WM_COMMAND code) when the user chose a cell.
constexpr int kGridSelChange = 1;

constexpr std::array<COLORREF, 48> kBasicColors = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),
    RGB(128, 255, 255), RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255),
    RGB(255, 0, 0),     RGB(255, 255, 0),   RGB(128, 255, 0),   RGB(0, 255, 64),
    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192), RGB(255, 0, 255),
    RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),
    RGB(128, 0, 0),     RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),
    RGB(0, 0, 255),     RGB(0, 0, 160),     RGB(128, 0, 128),   RGB(128, 0, 255),
    RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),      RGB(0, 64, 64),
    RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128),
    RGB(64, 128, 128),  RGB(192, 192, 192), RGB(64, 64, 64),    RGB(255, 255, 255)};

// ---- A grid of colour cells ----------------------------------------------------------

struct TGrid {
  std::vector<COLORREF> Colors;
  int Cols = 1;
  int Selected = -1;
  int Caret = 0;
};

TGrid* GridOf(HWND h) { return static_cast<TGrid*>(GetPropA(h, kGridProp)); }

RECT CellRect(const TGrid* g, int i) {
  int x = (i % g->Cols) * kCellW, y = (i / g->Cols) * kCellH;
  return RECT(x, y, x + kCellW, y + kCellH);
}

void PaintGrid(HWND h, HDC dc) {
  TGrid* g = GridOf(h);
  RECT c;
  GetClientRect(h, &c);
  FillRect(dc, &c, GetSysColorBrush(COLOR_3DFACE));
  if (!g) return;
  bool focused = GetFocus() == h;
  bool single = g->Colors.size() == 1;
  for (int i = 0; i < static_cast<int>(g->Colors.size()); ++i) {
    RECT r = single ? c : CellRect(g, i);
    RECT swatch = single ? r : RECT(r.Left + 4, r.Top + 4, r.Right - 4, r.Bottom - 4);
    if (i == g->Selected && !single) FillSolid(dc, RECT(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), GetSysColor(COLOR_WINDOWTEXT));
    RECT inner = swatch;
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillSolid(dc, inner, g->Colors[static_cast<size_t>(i)]);
    if (focused && i == g->Caret) {
      RECT f(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      DrawFocusRect(dc, &f);
    }
  }
}

void GridChoose(HWND h, TGrid* g, int i) {
  g->Caret = i;
  g->Selected = i;
  InvalidateRect(h, nullptr, TRUE);
  SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), kGridSelChange), reinterpret_cast<LPARAM>(h));
}

LRESULT GridProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  TGrid* g = GridOf(h);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      CtlPaint(h, msg, wParam, [&](HDC dc) { PaintGrid(h, dc); });
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN: {
      if (!g || g->Colors.size() < 2) return 0;
      SetFocus(h);
      int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
      int i = (y / kCellH) * g->Cols + x / kCellW;
      if (x >= 0 && y >= 0 && x < g->Cols * kCellW && i < static_cast<int>(g->Colors.size())) GridChoose(h, g, i);
      return 0;
    }
    case WM_KEYDOWN: {
      if (!g || g->Colors.size() < 2) return 0;
      int n = static_cast<int>(g->Colors.size()), i = g->Caret;
      switch (wParam) {
        case VK_LEFT: i = i % g->Cols ? i - 1 : i; break;
        case VK_RIGHT: i = i % g->Cols < g->Cols - 1 ? i + 1 : i; break;
        case VK_UP: i = i >= g->Cols ? i - g->Cols : i; break;
        case VK_DOWN: i = i + g->Cols < n ? i + g->Cols : i; break;
        case VK_SPACE: break;
        default: return 0;
      }
      GridChoose(h, g, std::clamp(i, 0, n - 1));
      return 0;
    }
  }
  return DefWindowProcA(h, msg, wParam, lParam);
}

void RegisterGridClass() {
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, kGridClass, &wc)) return;
  wc.lpfnWndProc = GridProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kGridClass;
  RegisterClassA(&wc);
}

// ---- The dialog -----------------------------------------------------------------------

struct TColorState {
  DWORD Flags = 0;
  COLORREF Color = 0;
  TGrid Basic, Custom, Swatch;
  HWND Dialog = nullptr, BasicGrid = nullptr, CustomGrid = nullptr, SwatchBox = nullptr;
  HWND Define = nullptr;
  std::vector<HWND> FullParts;  // shown when the dialog is opened in full
  HWND Red = nullptr, Green = nullptr, Blue = nullptr;
  int NextCustom = 0;
  bool SettingValues = false;
  bool Done = false;
  bool Chosen = false;
};

TColorState* ColorStateOf(HWND h) { return static_cast<TColorState*>(GetPropA(h, kColorProp)); }

void ShowColor(TColorState* s) {
  s->Swatch.Colors = {s->Color};
  InvalidateRect(s->SwatchBox, nullptr, TRUE);
  s->SettingValues = true;
  SetWindowTextA(s->Red, std::to_string(GetRValue(s->Color)).c_str());
  SetWindowTextA(s->Green, std::to_string(GetGValue(s->Color)).c_str());
  SetWindowTextA(s->Blue, std::to_string(GetBValue(s->Color)).c_str());
  s->SettingValues = false;
}

void Deselect(HWND grid, TGrid& g) {
  if (g.Selected < 0) return;
  g.Selected = -1;
  InvalidateRect(grid, nullptr, TRUE);
}

void OpenFull(TColorState* s) {
  for (HWND h : s->FullParts) ShowWindow(h, SW_SHOW);
  EnableWindow(s->Define, FALSE);
}

int Value(HWND edit) {
  char t[16] = {};
  GetWindowTextA(edit, t, sizeof t);
  return std::clamp(std::atoi(t), 0, 255);
}

void AddCustom(TColorState* s) {
  int i = s->Custom.Selected >= 0 ? s->Custom.Selected : s->NextCustom;
  s->Custom.Colors[static_cast<size_t>(i)] = s->Color;
  s->Custom.Selected = i;
  s->Custom.Caret = i;
  s->NextCustom = (i + 1) % static_cast<int>(s->Custom.Colors.size());
  Deselect(s->BasicGrid, s->Basic);
  InvalidateRect(s->CustomGrid, nullptr, TRUE);
}

void Command(TColorState* s, int id, int code) {
  switch (id) {
    case IDOK:
      s->Chosen = true;
      s->Done = true;
      break;
    case IDCANCEL:
      s->Done = true;
      break;
    case ctl1:
    case ctl2:
      if (code == kGridSelChange) {
        bool basic = id == ctl1;
        TGrid& g = basic ? s->Basic : s->Custom;
        if (g.Selected >= 0) s->Color = g.Colors[static_cast<size_t>(g.Selected)];
        if (basic)
          Deselect(s->CustomGrid, s->Custom);
        else
          Deselect(s->BasicGrid, s->Basic);
        ShowColor(s);
      }
      break;
    case psh2:
      OpenFull(s);
      SetFocus(s->Red);
      break;
    case psh1:
      AddCustom(s);
      break;
    case edt2:
    case edt3:
    case edt4:
      if (code == EN_CHANGE && !s->SettingValues) {
        s->Color = RGB(Value(s->Red), Value(s->Green), Value(s->Blue));
        s->Swatch.Colors = {s->Color};
        InvalidateRect(s->SwatchBox, nullptr, TRUE);
        Deselect(s->BasicGrid, s->Basic);
        Deselect(s->CustomGrid, s->Custom);
      }
      break;
  }
}

INT_PTR ColorProc(HWND h, UINT msg, WPARAM wParam, LPARAM) {
  TColorState* s = ColorStateOf(h);
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

HWND Grid(HWND dialog, TGrid* g, int id, RECT r, DWORD style) {
  HWND h = AddDialogChild(dialog, kGridClass, "", style, id, r, nullptr);
  SetPropA(h, kGridProp, g);
  return h;
}

BOOL ShowColorDialog(CHOOSECOLORA& cc) {
  RegisterGridClass();
  TColorState s;
  s.Flags = cc.Flags;
  s.Color = (cc.Flags & CC_RGBINIT) ? cc.rgbResult & 0xFFFFFF : RGB(0, 0, 0);
  s.Basic.Colors.assign(kBasicColors.begin(), kBasicColors.end());
  s.Basic.Cols = 8;
  s.Custom.Colors.assign(cc.lpCustColors, cc.lpCustColors + 16);
  s.Custom.Cols = 8;
  s.Swatch.Colors = {s.Color};
  if (cc.Flags & CC_RGBINIT) {
    auto at = std::find(s.Basic.Colors.begin(), s.Basic.Colors.end(), s.Color);
    if (at != s.Basic.Colors.end()) {
      s.Basic.Selected = s.Basic.Caret = static_cast<int>(at - s.Basic.Colors.begin());
    } else {
      auto c = std::find(s.Custom.Colors.begin(), s.Custom.Colors.end(), s.Color);
      if (c != s.Custom.Colors.end()) s.Custom.Selected = s.Custom.Caret = static_cast<int>(c - s.Custom.Colors.begin());
    }
  }

  const int gridW = 8 * kCellW, left = 10, right = left + gridW + 16;
  s.Dialog = CreateCommonDialog(ColorProc, "Color", cc.hwndOwner, right + 150, 312, false);
  if (!s.Dialog) {
    SetCommDlgError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  HFONT font = CreateDialogFont();
  HWND d = s.Dialog;
  AddDialogChild(d, "STATIC", "&Basic colors:", SS_LEFT, -1, RECT(left, 8, left + gridW, 24), font);
  s.BasicGrid = Grid(d, &s.Basic, ctl1, RECT(left, 26, left + gridW, 26 + 6 * kCellH), WS_TABSTOP | WS_GROUP);
  AddDialogChild(d, "STATIC", "&Custom colors:", SS_LEFT, -1, RECT(left, 168, left + gridW, 184), font);
  s.CustomGrid = Grid(d, &s.Custom, ctl2, RECT(left, 186, left + gridW, 186 + 2 * kCellH), WS_TABSTOP | WS_GROUP);
  s.Define = AddDialogChild(d, "BUTTON", "&Define Custom Colors >>", BS_PUSHBUTTON | WS_TABSTOP, psh2,
                            RECT(left, 238, left + gridW, 261), font);
  AddDialogChild(d, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, RECT(left, 274, left + 100, 297), font);
  AddDialogChild(d, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, RECT(left + 108, 274, left + gridW, 297), font);
  s.SwatchBox = Grid(d, &s.Swatch, ctl3, RECT(right, 26, right + 130, 96), 0);
  AddDialogChild(d, "STATIC", "Color", SS_LEFT, -1, RECT(right, 100, right + 130, 116), font);
  auto full = [&](HWND h) {
    ShowWindow(h, SW_HIDE);
    s.FullParts.push_back(h);
    return h;
  };
  const char* labels[] = {"&Red:", "&Green:", "Bl&ue:"};
  HWND* edits[] = {&s.Red, &s.Green, &s.Blue};
  for (int i = 0; i < 3; ++i) {
    int y = 128 + i * 28;
    full(AddDialogChild(d, "STATIC", labels[i], SS_LEFT, -1, RECT(right, y + 3, right + 50, y + 19), font));
    *edits[i] = full(AddDialogChild(d, "EDIT", "", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, edt2 + i,
                                    RECT(right + 54, y, right + 110, y + 21), font, WS_EX_CLIENTEDGE));
    SendMessageA(*edits[i], EM_LIMITTEXT, 3, 0);
  }
  full(AddDialogChild(d, "BUTTON", "&Add to Custom Colors", BS_PUSHBUTTON | WS_TABSTOP, psh1,
                      RECT(right, 238, right + 140, 261), font));
  SetPropA(d, kColorProp, &s);
  ShowColor(&s);
  if (cc.Flags & CC_FULLOPEN) OpenFull(&s);
  if (cc.Flags & CC_PREVENTFULLOPEN) EnableWindow(s.Define, FALSE);

  HWND focus = s.Custom.Selected >= 0 ? s.CustomGrid : s.BasicGrid;
  RunCommonDialog(d, cc.hwndOwner, focus, kColorProp, s.Done);
  DeleteObject(font);
  // The custom colours are the caller's to keep, chosen or not.
  std::copy(s.Custom.Colors.begin(), s.Custom.Colors.end(), cc.lpCustColors);
  if (!s.Chosen) return FALSE;
  cc.rgbResult = s.Color;
  return TRUE;
}

}  // namespace

void SetChooseColorHook(TChooseColorHook hook) { ColorAnswerHook() = std::move(hook); }

}  // namespace rtl::detail

using namespace rtl::detail;

BOOL ChooseColorA(LPCHOOSECOLORA cc) {
  if (!UsableRecord(cc, [](const CHOOSECOLORA& r) { return r.lpCustColors != nullptr; })) return FALSE;
  if (ColorAnswerHook()) return ColorAnswerHook()(*cc) ? TRUE : FALSE;
  return ShowColorDialog(*cc);
}
