#include "ui/foundation/resource_strings.h"

#include <gtest/gtest.h>

#include "platform/rtl/units.h"
#include "ui/foundation/cx_classes.h"
#include "ui/foundation/foundation_units.h"
#include "ui/foundation/library_strs.h"
#include "ui/foundation/units_loader.h"
#include "unit_state_fixture.h"

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
  // In the listed order, each with its text.
  const struct {
    const char* Name;
    const char* Text;
  } names[] = {
      {"scxCantCreateRegistryKey", "Can't create the registry key: \\%s"},
      {"scxCantOpenRegistryKey", "Can't open the registry key: \\%s"},
      {"scxErrorStoreObject", "Error store %s object"},
      {"scxConverterCantCreateStyleRepository", "Can't create the Style Repository"},
      {"scxBuiltInLookAndFeelStyles", "Built-In Look && Feel Styles"},
      {"scxLockedStateText", "Please wait..."},
      {"cxSDateToday", "today"},
      {"cxSDateYesterday", "yesterday"},
      {"cxSDateTomorrow", "tomorrow"},
      {"cxSDateSunday", "Sunday"},
      {"cxSDateMonday", "Monday"},
      {"cxSDateTuesday", "Tuesday"},
      {"cxSDateWednesday", "Wednesday"},
      {"cxSDateThursday", "Thursday"},
      {"cxSDateFriday", "Friday"},
      {"cxSDateSaturday", "Saturday"},
      {"cxSDateFirst", "first"},
      {"cxSDateSecond", "second"},
      {"cxSDateThird", "third"},
      {"cxSDateFourth", "fourth"},
      {"cxSDateFifth", "fifth"},
      {"cxSDateSixth", "sixth"},
      {"cxSDateSeventh", "seventh"},
      {"cxSDateBOM", "bom"},
      {"cxSDateEOM", "eom"},
      {"cxSDateNow", "now"},
  };
  ASSERT_EQ(p->NameCount(), 26);
  UINT base = scxCantCreateRegistryKey.Identifier;
  for (size_t k = 0; k < std::size(names); ++k) {
    Integer at = p->IndexOfName(names[k].Name);
    ASSERT_GE(at, 0) << names[k].Name;
    PResStringRec rec = p->ResStrings(at);
    EXPECT_EQ(rec->Identifier, base + k) << names[k].Name;
    EXPECT_EQ(cxResolveResourceString(rec), names[k].Text);
  }

  // The unit's shut-down takes its product out again.
  dx_core_detail::StopLibraryStrings();
  EXPECT_EQ(r->IndexOfProduct("Calvexa"), -1);
  dx_core_detail::StartLibraryStrings();

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
  unit_state_test::RestartShutDownUnits();
}

TEST(LibraryStrings, ExceptionMessagesComeFromTheStringTable) {
  EXPECT_EQ(cxResolveResourceString(&sdxNeedFinalizeBeforeFreeLibrary), "Need call dxFinalize before free library!");
  EXPECT_EQ(cxResolveResourceString(&sdxLockMessageFails), "dxLockMessage fails");
  EXPECT_EQ(cxResolveResourceString(&sdxMouseTrackingTimerListNotEmpty), "MouseTrackingTimerList.Count <> 0");
  EXPECT_EQ(cxResolveResourceString(&sdxGetImageEncoderFails), "dxGetImageEncoder fails");
}

}  // namespace
