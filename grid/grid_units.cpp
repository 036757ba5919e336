#include "grid/grid_units.h"

#include "grid/nx_classes.h"
#include "grid/nx_column_classes.h"
#include "grid/nx_date_picker.h"
#include "grid/nx_grid.h"
#include "grid/nx_themes_support.h"
#include "platform/rtl/units.h"

void RegisterGridUnits(TUnitRegistry& Registry) {
  Registry.Register(
      "NxClasses", [] { LocalSettings = new TLocalSettings(); },
      [] {
        delete LocalSettings;
        LocalSettings = nullptr;
      });
  // The library stays loaded until the process ends.
  Registry.Register(
      "NxThemesSupport",
      [] {
        FillSchemeColors();
        LoadThemeLibrary();
      },
      nullptr);
  // Form descriptions create the column classes by name.
  Registry.Register("NxColumnClasses", [] { RegisterColumnClasses(); }, nullptr);
  Registry.Register("NxEditors", [] { RegisterNxEditorClasses(); }, nullptr);
  // Form descriptions create the grid by name.
  Registry.Register(
      "NxGrid", [] { if (!GetClass("TNxGrid")) RegisterClass(TNxGrid::StaticClass()); }, nullptr);
}

void RegisterGridUnits() { RegisterGridUnits(Units()); }
