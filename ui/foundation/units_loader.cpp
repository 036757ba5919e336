#include "ui/foundation/units_loader.h"

#include <algorithm>
#include <memory>

#include "ui/foundation/core_classes.h"
#include "ui/foundation/dx_core.h"
#include "ui/foundation/library_strs.h"

RTL_IMPLEMENT_CLASS(TdxUnitsLoader)

TdxUnitsLoader::~TdxUnitsLoader() { RunAllFinalizers(); }

void TdxUnitsLoader::RegisterUnitProcs(TdxUnitProc AInitProc, TdxUnitProc AFinalizeProc) {
  if (AInitProc) {
    if (dxIsInsideLibrary()) {
      FInitializeList.push_back(AInitProc);
    } else {
      FUnitsInitialized = true;
      AInitProc();
    }
  }
  if (AFinalizeProc) FFinalizeList.push_back(AFinalizeProc);
}

void TdxUnitsLoader::FinalizeUnitEarly(TdxUnitProc AFinalizeProc) {
  auto it = std::find(FFinalizeList.begin(), FFinalizeList.end(), AFinalizeProc);
  if (it == FFinalizeList.end()) return;
  FFinalizeList.erase(it);
  if (FUnitsInitialized && !dxIsInsideLibrary()) AFinalizeProc();
}

void TdxUnitsLoader::RunAllFinalizers() {
  if (FUnitsInitialized) {
    // Taken off one by one, so that a procedure that finalizes another
    // early cannot make the walk run it twice.
    while (!FFinalizeList.empty()) {
      TdxUnitProc proc = FFinalizeList.back();
      FFinalizeList.pop_back();
      proc();
    }
  }
  FUnitsInitialized = false;
  FFinalizeList.clear();
}

namespace {
std::unique_ptr<TdxUnitsLoader> g_loader;
bool g_finalized = false;
}  // namespace

TdxUnitsLoader* dxUnitsLoaderInstance() {
  if (!g_loader && !g_finalized) g_loader = std::make_unique<TdxUnitsLoader>();
  return g_loader.get();
}

namespace dx_core_detail {

void StartUnitsLoader() { g_finalized = false; }

void FreeUnitsLoader() {
  if (dxIsInsideLibrary() && g_loader && g_loader->FinalizerCount() > 0)
    throw EdxException(cxResolveLibraryString(sdxNeedFinalizeBeforeFreeLibrary));
  g_finalized = true;
  g_loader.reset();
}

}  // namespace dx_core_detail
