// The per-user registry store: the file in the registry-export format is
// read when a key is opened; every key and value is then walked and read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "fuzz_support.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace {
// `path` is below the root, without a leading backslash ("" for the root).
void Walk(TRegistry& reg, const AnsiString& path, int depth) {
  if (depth > 8 || !reg.OpenKeyReadOnly("\\" + path)) return;
  TStringList values, keys;
  reg.GetValueNames(&values);
  for (Integer i = 0; i < values.Count(); ++i) {
    const AnsiString name = values.Get(i);
    try {
      TRegDataInfo info;
      reg.GetDataInfo(name, info);
      switch (reg.GetDataType(name)) {
        case rdString:
        case rdExpandString: reg.ReadString(name); break;
        case rdInteger: reg.ReadInteger(name); break;
        case rdBinary: {
          std::vector<uint8_t> buffer(size_t(std::max(0, reg.GetDataSize(name))) + 1);
          reg.ReadBinaryData(name, buffer.data(), static_cast<Integer>(buffer.size()));
          break;
        }
        default: break;
      }
    } catch (const Exception&) {
    }
  }
  reg.GetKeyNames(&keys);
  for (Integer i = 0; i < keys.Count() && i < 16; ++i)
    Walk(reg, path.empty() ? keys.Get(i) : path + "\\" + keys.Get(i), depth + 1);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ScratchFolder();
  const AnsiString file = rtl::detail::RegistryFileName();
  ForceDirectories(ExtractFileDir(file));
  const std::string written = fuzz::WriteScratchFile("user.reg", data, size);
  // Over the old file: a new identity, so the store reads it again.
  std::rename(written.c_str(), file.c_str());
  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    Walk(reg, "", 0);
  } catch (const Exception&) {
  }
  return 0;
}
