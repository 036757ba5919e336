#include "ui/foundation/resource_strings.h"

#include <algorithm>
#include <memory>

RTL_IMPLEMENT_CLASS(TdxProductResourceStrings)
RTL_IMPLEMENT_CLASS(TdxResourceStringsRepository)

// ---- TdxProductResourceStrings --------------------------------------------------------

TdxProductResourceStrings::TdxProductResourceStrings(const AnsiString& AName, TdxAddResourceStringsProc AInitializeProc)
    : FName(AName), FInitializeProc(AInitializeProc) {
  FNames.SetSorted(true);
  FNames.SetDuplicates(dupIgnore);
  FNames.SetCaseSensitive(false);
  if (FInitializeProc) FInitializeProc(this);
}

void TdxProductResourceStrings::RegisterString(const AnsiString& AName, PResStringRec AResString) {
  // The list keeps objects; the record rides in that slot, as the
  // framework's string lists are used for such pairs.
  FNames.AddObject(AName, reinterpret_cast<TObject*>(const_cast<TResStringRec*>(AResString)));
}

PResStringRec TdxProductResourceStrings::ResStrings(Integer Index) const {
  return reinterpret_cast<PResStringRec>(FNames.Objects(Index));
}

// ---- TdxResourceStringsRepository ---------------------------------------------------------

void TdxResourceStringsRepository::AddProduct(const AnsiString& AProductName,
                                              TdxAddResourceStringsProc AInitializeProc) {
  auto product = std::make_unique<TdxProductResourceStrings>(AProductName, AInitializeProc);
  FProducts.Add(product.release());
}

void TdxResourceStringsRepository::RemoveProduct(const AnsiString& AProductName) {
  Integer i = IndexOfProduct(AProductName);
  if (i >= 0) FProducts.Delete(i);
}

Integer TdxResourceStringsRepository::IndexOfProduct(const AnsiString& AProductName) const {
  for (Integer i = 0; i < FProducts.Count(); ++i)
    if (GetProduct(i)->Name() == AProductName) return i;
  return -1;
}

TdxProductResourceStrings* TdxResourceStringsRepository::GetProduct(Integer Index) const {
  return static_cast<TdxProductResourceStrings*>(FProducts.Items(Index));
}

void TdxResourceStringsRepository::AttachListener(IdxResourceStringsListener* AListener) {
  if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TdxResourceStringsRepository::DetachListener(IdxResourceStringsListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it != FListeners.end()) FListeners.erase(it);
}

// ---- The instance -----------------------------------------------------------------------

namespace {
std::unique_ptr<TdxResourceStringsRepository> g_repository;
bool g_finalized = false;
}  // namespace

TdxResourceStringsRepository* dxResourceStringsRepositoryInstance() {
  if (!g_repository && !g_finalized) g_repository = std::make_unique<TdxResourceStringsRepository>();
  return g_repository.get();
}

namespace dx_core_detail {

void StartResourceStrings() { g_finalized = false; }

void FreeResourceStrings() {
  g_finalized = true;
  g_repository.reset();
}

}  // namespace dx_core_detail
