#include "support/support_units.h"

#include "platform/rtl/classes.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/units.h"
#include "support/ansi_string_vectors.h"
#include "support/file_finder.h"
#include "support/process_threads.h"
#include "support/shared_memory.h"
#include "support/unit_versioning.h"

namespace {

struct TVersionedUnit {
  const char* Name;
  TUnitVersionInfo Info;
};

// In start-up order.
const TVersionedUnit gVersionedUnits[] = {
    {"JclResources",
     {"$URL: support/support_units.cpp#JclResources $", "$Revision: 3850 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclBase",
     {"$URL: support/support_units.cpp#JclBase $", "$Revision: 3865 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclWin32",
     {"$URL: support/support_units.cpp#JclWin32 $", "$Revision: 3796 $", "$Date: 2026-12-10 $", "JCL\\source\\windows", "", nullptr}},
    {"JclLogic",
     {"$URL: support/support_units.cpp#JclLogic $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclStringConversions",
     {"$URL: support/support_units.cpp#JclStringConversions $", "$Revision: 3795 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclCharsets",
     {"$URL: support/support_units.cpp#JclCharsets $", "$Revision: 3819 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"Jcl8087",
     {"$URL: support/support_units.cpp#Jcl8087 $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclMath",
     {"$URL: support/support_units.cpp#JclMath $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclIniFiles",
     {"$URL: support/support_units.cpp#JclIniFiles $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclSysInfo",
     {"$URL: support/support_units.cpp#JclSysInfo $", "$Revision: 3843 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclUnicode",
     {"$URL: support/support_units.cpp#JclUnicode $", "$Revision: 3861 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclWideStrings",
     {"$URL: support/support_units.cpp#JclWideStrings $", "$Revision: 3759 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclShell",
     {"$URL: support/support_units.cpp#JclShell $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\windows", "", nullptr}},
    {"JclSecurity",
     {"$URL: support/support_units.cpp#JclSecurity $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\windows", "", nullptr}},
    {"JclDateTime",
     {"$URL: support/support_units.cpp#JclDateTime $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclFileUtils",
     {"$URL: support/support_units.cpp#JclFileUtils $", "$Revision: 3861 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclConsole",
     {"$URL: support/support_units.cpp#JclConsole $", "$Revision: 3724 $", "$Date: 2026-12-10 $", "JCL\\source\\windows", "", nullptr}},
    {"JclStreams",
     {"$URL: support/support_units.cpp#JclStreams $", "$Revision: 3861 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclAnsiStrings",
     {"$URL: support/support_units.cpp#JclAnsiStrings $", "$Revision: 3668 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclRegistry",
     {"$URL: support/support_units.cpp#JclRegistry $", "$Revision: 3861 $", "$Date: 2026-12-10 $", "JCL\\source\\windows", "", nullptr}},
    {"JclSynch",
     {"$URL: support/support_units.cpp#JclSynch $", "$Revision: 3759 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclSysUtils",
     {"$URL: support/support_units.cpp#JclSysUtils $", "$Revision: 3860 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclUnitVersioning",
     {"$URL: support/support_units.cpp#JclUnitVersioning $", "$Revision: 3861 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclStrings",
     {"$URL: support/support_units.cpp#JclStrings $", "$Revision: 3770 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclRTTI",
     {"$URL: support/support_units.cpp#JclRTTI $", "$Revision: 3759 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
    {"JclMime",
     {"$URL: support/support_units.cpp#JclMime $", "$Revision: 3599 $", "$Date: 2026-12-10 $", "JCL\\source\\common", "", nullptr}},
};

}  // namespace

void RegisterSupportUnits(TUnitRegistry& Registry) {
  for (const TVersionedUnit& unit : gVersionedUnits) {
    const AnsiString name = unit.Name;
    const TUnitVersionInfo* info = &unit.Info;
    TUnitProc fini = [] { UnregisterUnitVersion(HInstance); };
    if (name == "JclSysUtils") {
      fini = [] {
        UnregisterUnitVersion(HInstance);
        FinalizeSharedMemory();
      };
    } else if (name == "JclUnitVersioning") {
      fini = [] {
        UnregisterUnitVersion(HInstance);
        FinalizeUnitVersioning();
      };
    }
    Registry.Register(name, [info] { RegisterUnitVersion(HInstance, *info); }, std::move(fini));
  }
  // The runner's service thread is joined here, before anything it posts
  // to can go.
  Registry.Register("JvCreateProcess", nullptr, [] { jv_process_service::Shutdown(); });
  Registry.Register("DIAnsiStringItemHandler", nullptr, [] { FreeAnsiStringItemHandler(); });
  // Form descriptions name the finder's class.
  Registry.Register(
      "DIFileFinder", [] { RegisterClass(TDIWildFileFinder::StaticClass()); },
      [] { UnRegisterClass(TDIWildFileFinder::StaticClass()); });
  Registry.Register("DIAnsiStringCardinalItemHandler", nullptr, [] { FreeAnsiStringCardinalItemHandler(); });
}

void RegisterSupportUnits() { RegisterSupportUnits(Units()); }
