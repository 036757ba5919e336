// Ini files read from disk, through both readers: TIniFile (one pass over
// the file per call) and TMemIniFile (the whole file in memory).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {
void ReadAll(TCustomIniFile& ini) {
  TStringList sections, keys, values;
  ini.ReadSections(&sections);
  for (Integer i = 0; i < sections.Count(); ++i) {
    const AnsiString section = sections.Get(i);
    ini.ReadSection(section, &keys);
    ini.ReadSectionValues(section, &values);
    for (Integer k = 0; k < keys.Count() && k < 16; ++k) {
      const AnsiString key = keys.Get(k);
      ini.ReadString(section, key, "");
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, false);
      ini.ReadFloat(section, key, 0);
      ini.ReadDateTime(section, key, 0);
      TMemoryStream binary;
      ini.ReadBinaryStream(section, key, &binary);
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratchFile("fuzz.ini", data, size);
  try {
    TIniFile ini(path);
    ReadAll(ini);
  } catch (const Exception&) {
  }
  try {
    TMemIniFile mem(path);
    ReadAll(mem);
    TStringList lines;
    mem.GetStrings(&lines);
    mem.SetStrings(&lines);
  } catch (const Exception&) {
  }
  return 0;
}
