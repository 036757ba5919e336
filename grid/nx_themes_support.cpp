#include "grid/nx_themes_support.h"

#include "platform/win/kernel/kernel_module.h"
#include "platform/win/modules.h"

namespace NxThemesSupport {

HMODULE ThemeLibrary = nullptr;
TOpenThemeData OpenThemeData = nullptr;
TCloseThemeData CloseThemeData = nullptr;
TDrawThemeBackground DrawThemeBackground = nullptr;
TDrawThemeEdge DrawThemeEdge = nullptr;
TGetThemeSysSize GetThemeSysSize = nullptr;
TIsThemeActive IsThemeActive = nullptr;
TIsAppThemed IsAppThemed = nullptr;

}  // namespace NxThemesSupport

namespace {

template <class T>
void Bind(T& Variable, const char* Name) {
  Variable = reinterpret_cast<T>(GetProcAddress(NxThemesSupport::ThemeLibrary, Name));
}

}  // namespace

void LoadThemeLibrary() {
  using namespace NxThemesSupport;
  if (ThemeLibrary) return;
  ThemeLibrary = LoadLibraryA("uxtheme.dll");
  if (!ThemeLibrary) return;
  Bind(OpenThemeData, "OpenThemeData");
  Bind(CloseThemeData, "CloseThemeData");
  Bind(DrawThemeBackground, "DrawThemeBackground");
  Bind(DrawThemeEdge, "DrawThemeEdge");
  Bind(GetThemeSysSize, "GetThemeSysSize");
  Bind(IsThemeActive, "IsThemeActive");
  Bind(IsAppThemed, "IsAppThemed");
}

bool IsThemed() {
  using namespace NxThemesSupport;
  if (!ThemeLibrary || !IsAppThemed || !IsThemeActive) return false;
  // A paint must never fail over the theme question.
  try {
    return IsAppThemed() != 0 && IsThemeActive() != 0;
  } catch (...) {
    return false;
  }
}

void ThemeDrawBackground(HWND Wnd, HDC DC, const TRect& Rect, const WideString& ClassList, Integer PartId,
                         Integer StateId) {
  using namespace NxThemesSupport;
  if (!OpenThemeData) return;
  HTHEME Theme = OpenThemeData(Wnd, ClassList.c_str());
  if (!Theme) return;
  RECT R = Rect;
  if (DrawThemeBackground) DrawThemeBackground(Theme, DC, PartId, StateId, &R, &R);
  if (CloseThemeData) CloseThemeData(Theme);
}

TColor SchemeColors[SchemeCount][SchemeRoleCount] = {};
Byte DefaultColorScheme = 2;

void FillSchemeColors() {
  // One row per role, one column per scheme.
  static const TColor Table[SchemeRoleCount][SchemeCount] = {
      {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
      {0x0A0A0A, 0xCE9266, 0xA69F9B, 0xCE9266, 0xA69F9B, 0xA69F9B},
      {0x5C534C, 0xCF9365, 0x74706F, 0xBD9D84, 0xB5ACA5, 0x3B3B3B},
      {0xF2F1F0, 0xFFEFE3, 0xF2F1F0, 0xE5D0BF, 0xE0DBD6, 0x858585},
      {0xE1D6D2, 0xF0D9C2, 0xE1D6D2, 0xF0D9C2, 0xE1D6D2, 0xE1D6D2},
      {0x3C8CFB, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
      {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFBF5EF, 0xF9F7F5, 0xF9F7F5},
      {0xC9C2BD, 0xFFD2AF, 0xE7DFDA, 0xFAECE1, 0xF6F2EF, 0xF6F2EF},
      {0xEBEBEB, 0xEEE7DD, 0xEBEBEB, 0xF5F2F0, 0xEBEBEB, 0xF5F2F0},
      {0x000000, 0x8B4215, 0x8B4215, 0x8B4215, 0x8B4215, 0x8B4215},
      {0xA49991, 0xFFC69A, 0x8F6D6E, 0xBD9D84, 0xB5ACA5, 0xB5ACA5},
      {0xC9C2BD, 0xFFD2AF, 0xE7DFDA, 0xE7DFDA, 0xE7DFDA, 0xE7DFDA},
      {0xF2F1F0, 0xFFEFE3, 0xF8F7F6, 0xF8F7F6, 0xF8F7F6, 0xF8F7F6},
      {0xB6ADA7, 0xCF9365, 0x74706F, 0xBD9D84, 0xB5ACA5, 0x3B3B3B},
      {0xC9B0A7, 0xC9B0A7, 0xC9B0A7, 0xF0CDA7, 0xF0CDA7, 0xF0CDA7},
      {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
      {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
      {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000},
      {0xA0A09E, 0xE9CFB8, 0xC2B7B2, 0xC2B7B2, 0xC2B7B2, 0xC2B7B2},
      {0xA2E7FF, 0xA2E7FF, 0xC2EEFF, 0xC2EEFF, 0xC2EEFF, 0xC2EEFF},
      {0x69BDFF, 0x69BDFF, 0x6FC0FF, 0x6FC0FF, 0x6FC0FF, 0x6FC0FF},
      {0x3C8CFB, 0x3C8CFB, 0x3E80FE, 0x3E80FE, 0x3E80FE, 0x3E80FE},
      {0xF2F1F0, 0xFFEFE3, 0xBFA7A8, 0xBFA7A8, 0xBFA7A8, 0xBFA7A8},
      {0xCEC8C4, 0xFFD6B6, 0x977778, 0x977778, 0x977778, 0x977778},
  };
  for (Integer Role = 0; Role < SchemeRoleCount; ++Role)
    for (Integer Scheme = 0; Scheme < SchemeCount; ++Scheme) SchemeColors[Scheme][Role] = Table[Role][Scheme];
}

TColor GetSchemeColor(Integer Index, Integer Scheme) {
  if (Scheme == 0) Scheme = DefaultColorScheme;
  Scheme %= 128;
  Index %= 128;
  if (Scheme < 1 || Scheme > SchemeCount || Index < 0 || Index >= SchemeRoleCount) return 0;
  return SchemeColors[Scheme - 1][Index];
}
