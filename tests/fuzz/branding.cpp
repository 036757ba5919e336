// The branding file: inverted lines read into an ini file, then every
// value the application reads from it.
#include <cstddef>
#include <cstdint>

#include "app/branding.h"
#include "fuzz_support.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {
struct TTarget : IBrandingTarget {
  void SetCaption(const AnsiString&) override {}
  void SetConversionOffered(TConversionKind, bool) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratchFile("PCore.dll", data, size);
  try {
    TTarget target;
    ReadBranding(target, "title", path);
    auto ini = OpenBranding(path);
    TStringList sections, values;
    ini->ReadSections(&sections);
    for (Integer i = 0; i < sections.Count(); ++i) ini->ReadSectionValues(sections.Get(i), &values);
  } catch (const Exception&) {
  }
  return 0;
}
