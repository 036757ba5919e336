#include "ui/foundation/resource_strings.h"

#include <gtest/gtest.h>

#include "platform/rtl/units.h"
#include "ui/foundation/cx_classes.h"
#include "ui/foundation/foundation_units.h"
#include "ui/foundation/library_strs.h"
#include "ui/foundation/units_loader.h"

namespace {

const TResStringRec kFirst{&HInstance, 1};
const TResStringRec kSecond{&HInstance, 2};

void RegisterTwo(TdxProductResourceStrings* p) {
  p->RegisterString("Beta", &kFirst);
  p->RegisterString("alpha", &kFirst);
  p->RegisterString("BETA", &kSecond);
}

TEST(ResourceStringsRepository, KeepsProductsOfOneNameAndRemovesTheFirst) {
  TdxResourceStringsRepository r;
  r.AddProduct("P", &RegisterTwo);
  r.AddProduct("P", nullptr);
  r.AddProduct("Q", nullptr);
  ASSERT_EQ(r.ProductCount(), 3);
  TdxProductResourceStrings* second = r.GetProduct(1);
  r.RemoveProduct("p");  // names compare with case
  EXPECT_EQ(r.ProductCount(), 3);
  r.RemoveProduct("P");
  ASSERT_EQ(r.ProductCount(), 2);
  EXPECT_EQ(r.IndexOfProduct("P"), 0);
  EXPECT_EQ(r.GetProduct(0), second);
  r.RemoveProduct("missing");
  EXPECT_EQ(r.ProductCount(), 2);
}

TEST(ResourceStringsRepository, NamesAreSortedAndTheFirstRecordStays) {
  TdxResourceStringsRepository r;
  r.AddProduct("P", &RegisterTwo);
  TdxProductResourceStrings* p = r.GetProduct(0);
  EXPECT_EQ(p->Name(), "P");
  ASSERT_EQ(p->NameCount(), 2);
  EXPECT_EQ(p->Names(0), "alpha");
  EXPECT_EQ(p->Names(1), "Beta");
  EXPECT_EQ(p->ResStrings(p->IndexOfName("beta")), &kFirst);
}

struct TListener : IdxResourceStringsListener {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return static_cast<ULONG>(-1); }
  ULONG Release() override { return static_cast<ULONG>(-1); }
  void ResourceStringsChanged() override {}
};

TEST(ResourceStringsRepository, ListenersAreHeldOnce) {
  TdxResourceStringsRepository r;
  TListener a, b;
  r.AttachListener(&a);
  r.AttachListener(&a);
  EXPECT_EQ(r.ListenerCount(), 1);
  r.DetachListener(&b);
  EXPECT_EQ(r.ListenerCount(), 1);
  r.AttachListener(&b);
  r.DetachListener(&a);
  ASSERT_EQ(r.ListenerCount(), 1);
  EXPECT_EQ(r.Listeners(0), &b);
}

TEST(LibraryStrings, StartUpFilesTheNamesAndShutDownRemovesThem) {
  TUnitRegistry units;
  RegisterFoundationUnits(units);
  units.Initialize();
  TdxResourceStringsRepository* r = dxResourceStringsRepositoryInstance();
  ASSERT_NE(r, nullptr);
  Integer i = r->IndexOfProduct("Calvexa");
  ASSERT_GE(i, 0);
  TdxProductResourceStrings* p = r->GetProduct(i);
  EXPECT_EQ(p->NameCount(), 26);
  // Filed in the listed order: the records' identifiers ascend with it.
  const char* first = "scxCantCreateRegistryKey";
  EXPECT_EQ(p->ResStrings(p->IndexOfName(first)), &scxCantCreateRegistryKey);
  EXPECT_EQ(p->ResStrings(p->IndexOfName("cxSDateNow")), &cxSDateNow);
  EXPECT_EQ(cxSDateNow.Identifier - scxCantCreateRegistryKey.Identifier, 25u);

  units.Finalize();
  // The repository went with the library core.
  EXPECT_EQ(dxResourceStringsRepositoryInstance(), nullptr);
  EXPECT_EQ(dxUnitsLoaderInstance(), nullptr);
  // A new start brings them back for the tests that follow.
  TUnitRegistry again;
  RegisterFoundationUnits(again);
  again.Initialize();
  EXPECT_NE(dxResourceStringsRepositoryInstance(), nullptr);
  again.Finalize();
  dx_core_detail::StartResourceStrings();
  dx_core_detail::StartUnitsLoader();
}

TEST(LibraryStrings, TextsComeFromTheStringTable) {
  const struct {
    const TResStringRec* Rec;
    const char* Text;
  } rows[] = {
      {&scxCantCreateRegistryKey, "Can't create the registry key: \\%s"},
      {&scxErrorStoreObject, "Error store %s object"},
      {&scxBuiltInLookAndFeelStyles, "Built-In Look && Feel Styles"},
      {&scxLockedStateText, "Please wait..."},
      {&cxSDateToday, "today"},
      {&cxSDateSaturday, "Saturday"},
      {&cxSDateSeventh, "seventh"},
      {&cxSDateBOM, "bom"},
      {&cxSDateNow, "now"},
      {&sdxNeedFinalizeBeforeFreeLibrary, "Need call dxFinalize before free library!"},
      {&sdxLockMessageFails, "dxLockMessage fails"},
      {&sdxMouseTrackingTimerListNotEmpty, "MouseTrackingTimerList.Count <> 0"},
  };
  for (const auto& r : rows) EXPECT_EQ(cxResolveResourceString(r.Rec), r.Text);
}

}  // namespace
