// TScreen (forms, focus, cursors, monitors, fonts), TMonitor and TMouse.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/win/user/user_sysinfo.h"

RTL_IMPLEMENT_CLASS(TMonitor)
RTL_IMPLEMENT_CLASS(TScreen)
RTL_IMPLEMENT_CLASS(TMouse)

namespace {

// The stock cursors and the system cursors they show.
struct TStockCursor {
  TCursor Id;
  LPCSTR System;
};
const TStockCursor kStockCursors[] = {
    {crArrow, IDC_ARROW},      {crCross, IDC_CROSS},        {crIBeam, IDC_IBEAM},    {crSizeNESW, IDC_SIZENESW},
    {crSizeNS, IDC_SIZENS},    {crSizeNWSE, IDC_SIZENWSE},  {crSizeWE, IDC_SIZEWE},  {crUpArrow, IDC_UPARROW},
    {crHourGlass, IDC_WAIT},   {crDrag, IDC_ARROW},         {crNoDrop, IDC_NO},      {crHSplit, IDC_SIZEWE},
    {crVSplit, IDC_SIZENS},    {crMultiDrag, IDC_ARROW},    {crSQLWait, IDC_WAIT},   {crNo, IDC_NO},
    {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},      {crHandPoint, IDC_HAND}, {crSizeAll, IDC_SIZEALL},
};

MONITORINFO Info(HMONITOR M) {
  MONITORINFO I{};
  I.cbSize = sizeof(I);
  GetMonitorInfo(M, &I);
  return I;
}

BOOL CollectMonitor(HMONITOR M, HDC, LPRECT, LPARAM Data) {
  reinterpret_cast<std::vector<HMONITOR>*>(Data)->push_back(M);
  return TRUE;
}

int CollectFont(const LOGFONTA* Font, const TEXTMETRICA*, DWORD, LPARAM Data) {
  auto* List = reinterpret_cast<TStringList*>(Data);
  AnsiString Name = Font->lfFaceName;
  if (!Name.empty() && Name[0] != '@' && List->IndexOf(Name) < 0) List->Add(Name);
  return 1;
}

}  // namespace

// ---- TMonitor -------------------------------------------------------------------------------

TRect TMonitor::BoundsRect() const { return Info(FHandle).rcMonitor; }

TRect TMonitor::WorkareaRect() const { return Info(FHandle).rcWork; }

bool TMonitor::Primary() const { return (Info(FHandle).dwFlags & MONITORINFOF_PRIMARY) != 0; }

// ---- TScreen ----------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), FHintFont(std::make_unique<TFont>()) {
  FDefaultCursor = LoadCursor(nullptr, IDC_ARROW);
  for (const TStockCursor& C : kStockCursors) FCursorList.emplace_back(C.Id, LoadCursor(nullptr, C.System));
  NONCLIENTMETRICSA Metrics{};
  Metrics.cbSize = sizeof(Metrics);
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0)) {
    HFONT F = CreateFontIndirect(&Metrics.lfStatusFont);
    if (F) FHintFont->SetHandle(F);
  }
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* AForm) {
  FCustomForms.push_back(AForm);
  if (auto* F = dynamic_cast<TForm*>(AForm)) FForms.push_back(F);
}

void TScreen::RemoveForm(TCustomForm* AForm) {
  FCustomForms.erase(std::remove(FCustomForms.begin(), FCustomForms.end(), AForm), FCustomForms.end());
  // A form that is being destroyed is no TForm any more: compare addresses.
  FForms.erase(std::remove_if(FForms.begin(), FForms.end(),
                              [AForm](TForm* F) { return static_cast<void*>(F) == static_cast<void*>(AForm); }),
               FForms.end());
  FSaveFocusedList.erase(std::remove(FSaveFocusedList.begin(), FSaveFocusedList.end(), AForm),
                         FSaveFocusedList.end());
  if (FActiveCustomForm == AForm) FActiveCustomForm = nullptr;
  if (static_cast<void*>(FActiveForm) == static_cast<void*>(AForm)) FActiveForm = nullptr;
  if (FFocusedForm == AForm) FFocusedForm = nullptr;
  if (FLastActiveCustomForm == AForm) FLastActiveCustomForm = nullptr;
}

void TScreen::ControlDestroyed(TControl* Control) {
  if (FActiveControl == Control) FActiveControl = nullptr;
  if (FLastActiveControl == Control) FLastActiveControl = nullptr;
}

void TScreen::UpdateLastActive() {
  if (FLastActiveCustomForm != FActiveCustomForm) {
    FLastActiveCustomForm = FActiveCustomForm;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
  if (FLastActiveControl != FActiveControl) {
    FLastActiveControl = FActiveControl;
    if (OnActiveControlChange) OnActiveControlChange(this);
  }
}

Integer TScreen::Width() { return GetSystemMetrics(SM_CXSCREEN); }

Integer TScreen::Height() { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() {
  Integer L = GetSystemMetrics(SM_XVIRTUALSCREEN), T = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(L, T, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() {
  RECT R{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &R, 0);
  return R;
}

void TScreen::GetMonitors() {
  std::vector<HMONITOR> Handles;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&Handles));
  bool Same = Handles.size() == FMonitors.size();
  for (size_t I = 0; Same && I < Handles.size(); ++I) Same = FMonitors[I]->Handle() == Handles[I];
  if (Same) return;
  FMonitors.clear();
  for (size_t I = 0; I < Handles.size(); ++I)
    FMonitors.push_back(std::make_unique<TMonitor>(Handles[I], static_cast<Integer>(I)));
}

Integer TScreen::MonitorCount() {
  GetMonitors();
  return static_cast<Integer>(FMonitors.size());
}

TMonitor* TScreen::Monitors(Integer Index) {
  GetMonitors();
  if (Index < 0 || Index >= static_cast<Integer>(FMonitors.size()))
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FMonitors[static_cast<size_t>(Index)].get();
}

TMonitor* TScreen::PrimaryMonitor() {
  GetMonitors();
  for (auto& M : FMonitors)
    if (M->Primary()) return M.get();
  return FMonitors.empty() ? nullptr : FMonitors.front().get();
}

namespace {

DWORD MonitorFlags(TMonitorDefaultTo D) {
  switch (D) {
    case mdNull:
      return MONITOR_DEFAULTTONULL;
    case mdPrimary:
      return MONITOR_DEFAULTTOPRIMARY;
    case mdNearest:
      break;
  }
  return MONITOR_DEFAULTTONEAREST;
}

}  // namespace

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point, TMonitorDefaultTo MonitorDefault) {
  HMONITOR H = ::MonitorFromPoint(Point, MonitorFlags(MonitorDefault));
  GetMonitors();
  for (auto& M : FMonitors)
    if (M->Handle() == H) return M.get();
  return nullptr;
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo MonitorDefault) {
  HMONITOR H = ::MonitorFromRect(&Rect, MonitorFlags(MonitorDefault));
  GetMonitors();
  for (auto& M : FMonitors)
    if (M->Handle() == H) return M.get();
  return nullptr;
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo MonitorDefault) {
  HMONITOR H = ::MonitorFromWindow(Handle, MonitorFlags(MonitorDefault));
  GetMonitors();
  for (auto& M : FMonitors)
    if (M->Handle() == H) return M.get();
  return nullptr;
}

HCURSOR TScreen::Cursors(TCursor Index) {
  if (Index == crNone) return nullptr;
  for (auto& [Id, Handle] : FCursorList)
    if (Id == Index) return Handle;
  return FDefaultCursor;
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  if (Index == crDefault) {
    FDefaultCursor = Handle ? Handle : LoadCursor(nullptr, IDC_ARROW);
    return;
  }
  auto It = std::find_if(FCursorList.begin(), FCursorList.end(), [&](auto& E) { return E.first == Index; });
  if (!Handle) {
    if (It != FCursorList.end()) FCursorList.erase(It);
    for (const TStockCursor& C : kStockCursors)
      if (C.Id == Index) FCursorList.emplace_back(Index, LoadCursor(nullptr, C.System));
    return;
  }
  if (It != FCursorList.end())
    It->second = Handle;
  else
    FCursorList.emplace_back(Index, Handle);
}

void TScreen::SetCursor(TCursor Value) {
  if (Value != FCursor) {
    FCursor = Value;
    POINT P;
    if (Value == crDefault && GetCursorPos(&P)) {
      // The window under the mouse sets its own cursor again.
      HWND H = WindowFromPoint(P);
      if (H && FindControl(H)) {
        LRESULT Code = SendMessage(H, WM_NCHITTEST, 0, PointToSmallPoint(P));
        SendMessage(H, WM_SETCURSOR, reinterpret_cast<WPARAM>(H), MAKELPARAM(static_cast<WORD>(Code), WM_MOUSEMOVE));
      } else {
        ::SetCursor(Cursors(crDefault));
      }
    } else {
      ::SetCursor(Cursors(Value));
    }
  }
  ++FCursorCount;
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    HDC DC = GetDC(nullptr);
    LOGFONTA Font{};
    Font.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesEx(DC, &Font, &CollectFont, reinterpret_cast<LPARAM>(FFonts.get()), 0);
    ReleaseDC(nullptr, DC);
    FFonts->Sort();
  }
  return FFonts.get();
}

Integer TScreen::PixelsPerInch() {
  HDC DC = GetDC(nullptr);
  Integer Result = GetDeviceCaps(DC, LOGPIXELSY);
  ReleaseDC(nullptr, DC);
  return Result;
}

// ---- TMouse ------------------------------------------------------------------------------------

TPoint TMouse::CursorPos() const {
  POINT P{0, 0};
  GetCursorPos(&P);
  return P;
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.X, Value.Y); }

HWND TMouse::Capture() const { return GetCapture(); }

void TMouse::SetCapture(HWND Value) {
  if (Value)
    ::SetCapture(Value);
  else
    ReleaseCapture();
}

Integer TMouse::WheelScrollLines() const {
  UINT Lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
  return static_cast<Integer>(Lines);
}
