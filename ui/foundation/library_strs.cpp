#include "ui/foundation/library_strs.h"

#include "ui/foundation/resource_strings.h"

// Identifiers of the library's block of the string table.
const TResStringRec scxCantCreateRegistryKey{&HInstance, 60000};
const TResStringRec scxCantOpenRegistryKey{&HInstance, 60001};
const TResStringRec scxErrorStoreObject{&HInstance, 60002};
const TResStringRec scxConverterCantCreateStyleRepository{&HInstance, 60003};
const TResStringRec scxBuiltInLookAndFeelStyles{&HInstance, 60004};
const TResStringRec scxLockedStateText{&HInstance, 60005};
const TResStringRec cxSDateToday{&HInstance, 60006};
const TResStringRec cxSDateYesterday{&HInstance, 60007};
const TResStringRec cxSDateTomorrow{&HInstance, 60008};
const TResStringRec cxSDateSunday{&HInstance, 60009};
const TResStringRec cxSDateMonday{&HInstance, 60010};
const TResStringRec cxSDateTuesday{&HInstance, 60011};
const TResStringRec cxSDateWednesday{&HInstance, 60012};
const TResStringRec cxSDateThursday{&HInstance, 60013};
const TResStringRec cxSDateFriday{&HInstance, 60014};
const TResStringRec cxSDateSaturday{&HInstance, 60015};
const TResStringRec cxSDateFirst{&HInstance, 60016};
const TResStringRec cxSDateSecond{&HInstance, 60017};
const TResStringRec cxSDateThird{&HInstance, 60018};
const TResStringRec cxSDateFourth{&HInstance, 60019};
const TResStringRec cxSDateFifth{&HInstance, 60020};
const TResStringRec cxSDateSixth{&HInstance, 60021};
const TResStringRec cxSDateSeventh{&HInstance, 60022};
const TResStringRec cxSDateBOM{&HInstance, 60023};
const TResStringRec cxSDateEOM{&HInstance, 60024};
const TResStringRec cxSDateNow{&HInstance, 60025};
const TResStringRec sdxNeedFinalizeBeforeFreeLibrary{&HInstance, 60032};
const TResStringRec sdxLockMessageFails{&HInstance, 60033};
const TResStringRec sdxMouseTrackingTimerListNotEmpty{&HInstance, 60034};
const TResStringRec sdxGetImageEncoderFails{&HInstance, 60035};

void AddcxLibraryResourceStringNames(TdxProductResourceStrings* AProduct) {
  AProduct->RegisterString("scxCantCreateRegistryKey", &scxCantCreateRegistryKey);
  AProduct->RegisterString("scxCantOpenRegistryKey", &scxCantOpenRegistryKey);
  AProduct->RegisterString("scxErrorStoreObject", &scxErrorStoreObject);
  AProduct->RegisterString("scxConverterCantCreateStyleRepository", &scxConverterCantCreateStyleRepository);
  AProduct->RegisterString("scxBuiltInLookAndFeelStyles", &scxBuiltInLookAndFeelStyles);
  AProduct->RegisterString("scxLockedStateText", &scxLockedStateText);
  AProduct->RegisterString("cxSDateToday", &cxSDateToday);
  AProduct->RegisterString("cxSDateYesterday", &cxSDateYesterday);
  AProduct->RegisterString("cxSDateTomorrow", &cxSDateTomorrow);
  AProduct->RegisterString("cxSDateSunday", &cxSDateSunday);
  AProduct->RegisterString("cxSDateMonday", &cxSDateMonday);
  AProduct->RegisterString("cxSDateTuesday", &cxSDateTuesday);
  AProduct->RegisterString("cxSDateWednesday", &cxSDateWednesday);
  AProduct->RegisterString("cxSDateThursday", &cxSDateThursday);
  AProduct->RegisterString("cxSDateFriday", &cxSDateFriday);
  AProduct->RegisterString("cxSDateSaturday", &cxSDateSaturday);
  AProduct->RegisterString("cxSDateFirst", &cxSDateFirst);
  AProduct->RegisterString("cxSDateSecond", &cxSDateSecond);
  AProduct->RegisterString("cxSDateThird", &cxSDateThird);
  AProduct->RegisterString("cxSDateFourth", &cxSDateFourth);
  AProduct->RegisterString("cxSDateFifth", &cxSDateFifth);
  AProduct->RegisterString("cxSDateSixth", &cxSDateSixth);
  AProduct->RegisterString("cxSDateSeventh", &cxSDateSeventh);
  AProduct->RegisterString("cxSDateBOM", &cxSDateBOM);
  AProduct->RegisterString("cxSDateEOM", &cxSDateEOM);
  AProduct->RegisterString("cxSDateNow", &cxSDateNow);
}

AnsiString cxResolveLibraryString(const TResStringRec& AResString) { return LoadResString(&AResString); }

namespace dx_core_detail {

void StartLibraryStrings() {
  if (TdxResourceStringsRepository* r = dxResourceStringsRepositoryInstance())
    r->AddProduct(cxLibraryProductName, &AddcxLibraryResourceStringNames);
}

void StopLibraryStrings() {
  if (TdxResourceStringsRepository* r = dxResourceStringsRepositoryInstance()) r->RemoveProduct(cxLibraryProductName);
}

}  // namespace dx_core_detail
