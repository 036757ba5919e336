// The units loader: five library units run their start-up and shut-down
// procedures through it. In an executable a start-up procedure runs at
// once; each unit runs its shut-down procedure early from its own shut-down
// (FinalizeUnitEarly), and the loader runs what is left, last registered
// first, when it is freed at the library core's shut-down.
#pragma once

#include <vector>

#include "platform/rtl/object.h"

using TdxUnitProc = void (*)();

class TdxUnitsLoader : public TObject {
  RTL_CLASS(TdxUnitsLoader, TObject)
  std::vector<TdxUnitProc> FFinalizeList;
  // Start-up procedures of a dynamic library, which its host runs.
  std::vector<TdxUnitProc> FInitializeList;
  static inline bool FUnitsInitialized = false;

 public:
  TdxUnitsLoader() = default;
  // Runs RunAllFinalizers.
  ~TdxUnitsLoader() override;

  // Either procedure may be null. The start-up procedure runs at once
  // (after the units-initialised flag is set); the shut-down procedure
  // joins the finalizer list.
  void RegisterUnitProcs(TdxUnitProc AInitProc, TdxUnitProc AFinalizeProc);
  // Takes the procedure out of the finalizer list and, when it was there and
  // the units are initialised, runs it. Nothing for an unknown procedure.
  void FinalizeUnitEarly(TdxUnitProc AFinalizeProc);
  // When the units are initialised, runs the finalizer list from the last
  // registered procedure to the first; then clears the flag and the list.
  void RunAllFinalizers();

  Integer FinalizerCount() const { return static_cast<Integer>(FFinalizeList.size()); }
  static bool UnitsInitialized() { return FUnitsInitialized; }
};

// The loader, created on first use; null once the library core has shut
// down.
TdxUnitsLoader* dxUnitsLoaderInstance();

namespace dx_core_detail {
void StartUnitsLoader();
// Raises EdxException "Need call dxFinalize before free library!" inside a
// dynamic library whose loader still holds shut-down procedures (leaving
// the loader in place); else frees the loader.
void FreeUnitsLoader();
}  // namespace dx_core_detail
