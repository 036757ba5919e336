// Opening the date picker's calendar (BeforePopup, Popup and its first
// paint) against, in the same run, a plain 7 x 6 grid of day numbers drawn
// with DrawText on the same surface. The counters give each one's time in
// microseconds and their ratio (calendar / plain grid); opening is meant
// to stay under 5 ms.
#include <chrono>
#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "grid/grid_units.h"
#include "grid/nx_date_picker.h"
#include "grid/nx_popup_control.h"
#include "platform/forms/forms.h"
#include "platform/rtl/units.h"
#include "platform/win/gdi/gdi.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"

namespace {

// The forms and grid units, started once for the run.
struct TUnits {
  TUnits() {
    rtl::testing::UseHeadlessBackend();
    RegisterFormsUnit();
    RegisterGridUnits();
    InitializeUnits();
  }
};

void PlainDayGrid(HWND Wnd, HFONT Font) {
  HDC DC = GetDC(Wnd);
  HGDIOBJ Old = SelectObject(DC, Font);
  SetBkMode(DC, TRANSPARENT);
  for (int Row = 0; Row < 6; ++Row)
    for (int Column = 0; Column < 7; ++Column) {
      RECT R{15 + Column * 17, 35 + Row * 15, 15 + (Column + 1) * 17, 35 + (Row + 1) * 15};
      const std::string Day = std::to_string(Row * 7 + Column + 1);
      DrawTextA(DC, Day.c_str(), static_cast<int>(Day.size()), &R, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
  SelectObject(DC, Old);
  ReleaseDC(Wnd, DC);
}

void BM_DatePickerOpen(benchmark::State& state) {
  static TUnits Units;
  TForm* Form = TCustomForm::Create<TForm>(nullptr);
  Form->SetBounds(100, 100, 400, 300);
  auto* Picker = new TNxDatePicker(Form);
  Picker->SetBounds(10, 10, 200, 22);
  Picker->SetParent(Form);
  Form->Show();
  Application->ProcessMessages();
  auto* Calendar = dynamic_cast<TNxDatePopup*>(Picker->Popup());
  double Open = 0, Plain = 0;
  int64_t Runs = 0;
  for (auto _ : state) {
    auto T0 = std::chrono::steady_clock::now();
    Picker->SetDroppedDown(true);
    Calendar->Repaint();
    auto T1 = std::chrono::steady_clock::now();
    PlainDayGrid(Calendar->Handle(), Calendar->Font()->Handle());
    auto T2 = std::chrono::steady_clock::now();
    Picker->SetDroppedDown(false);
    Open += std::chrono::duration<double, std::micro>(T1 - T0).count();
    Plain += std::chrono::duration<double, std::micro>(T2 - T1).count();
    ++Runs;
  }
  Form->Free();
  Application->ProcessMessages();
  state.counters["open_us"] = Runs ? Open / Runs : 0;
  state.counters["plain_grid_us"] = Runs ? Plain / Runs : 0;
  state.counters["ratio"] = Plain > 0 ? Open / Plain : 0;
}
BENCHMARK(BM_DatePickerOpen);

}  // namespace
