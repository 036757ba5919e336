// The library's own strings: the 26 texts the library core files with the
// resource-string repository under the product key "Calvexa" (registry,
// style-repository and locked-state messages, and the date words the date
// entry accepts), and the library's exception messages. The texts live in
// the string table (resources/ui/library_strings.txt).
#pragma once

#include "platform/rtl/resources.h"

extern const TResStringRec scxCantCreateRegistryKey;
extern const TResStringRec scxCantOpenRegistryKey;
extern const TResStringRec scxErrorStoreObject;
extern const TResStringRec scxConverterCantCreateStyleRepository;
extern const TResStringRec scxBuiltInLookAndFeelStyles;
extern const TResStringRec scxLockedStateText;
extern const TResStringRec cxSDateToday;
extern const TResStringRec cxSDateYesterday;
extern const TResStringRec cxSDateTomorrow;
extern const TResStringRec cxSDateSunday;
extern const TResStringRec cxSDateMonday;
extern const TResStringRec cxSDateTuesday;
extern const TResStringRec cxSDateWednesday;
extern const TResStringRec cxSDateThursday;
extern const TResStringRec cxSDateFriday;
extern const TResStringRec cxSDateSaturday;
extern const TResStringRec cxSDateFirst;
extern const TResStringRec cxSDateSecond;
extern const TResStringRec cxSDateThird;
extern const TResStringRec cxSDateFourth;
extern const TResStringRec cxSDateFifth;
extern const TResStringRec cxSDateSixth;
extern const TResStringRec cxSDateSeventh;
extern const TResStringRec cxSDateBOM;
extern const TResStringRec cxSDateEOM;
extern const TResStringRec cxSDateNow;

// Exception messages.
extern const TResStringRec sdxNeedFinalizeBeforeFreeLibrary;
extern const TResStringRec sdxLockMessageFails;
extern const TResStringRec sdxMouseTrackingTimerListNotEmpty;
extern const TResStringRec sdxGetImageEncoderFails;

// The product key of the library's strings.
inline constexpr const char* cxLibraryProductName = "Calvexa";

// Files the 26 names above, in their order, with the product.
class TdxProductResourceStrings;
void AddcxLibraryResourceStringNames(TdxProductResourceStrings* AProduct);

// The text of a library string as the string table holds it.
AnsiString cxResolveLibraryString(const TResStringRec& AResString);

namespace dx_core_detail {
// The unit's start-up (adds the product) and shut-down (removes it).
void StartLibraryStrings();
void StopLibraryStrings();
}  // namespace dx_core_detail
