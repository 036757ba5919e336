// The support library's filer streams and typed vectors: the first byte
// picks what reads the rest (tagged values one by one, a string vector or
// a string-and-cardinal vector, each with and without its header flags).
#include <cstddef>
#include <cstdint>

#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "support/ansi_string_vectors.h"
#include "support/filer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0];
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data + 1), size - 1));
  try {
    switch (mode % 4) {
      case 0: {
        TDIBinaryReader reader(&stream, 1 + (mode >> 2));
        for (int i = 0; i < 256; ++i) {
          switch (i % 3) {
            case 0: reader.ReadInteger(); break;
            case 1: reader.ReadCardinal(); break;
            default: reader.ReadAnsiString(); break;
          }
        }
        break;
      }
      case 1: {
        TDIAnsiStringVector strings;
        strings.ReadData(&stream);
        for (Integer i = 0; i < strings.Count(); ++i) strings.GetString(i);
        break;
      }
      case 2: {
        TDIAnsiStringCardinalVector pairs;
        pairs.ReadData(&stream);
        for (Integer i = 0; i < pairs.Count(); ++i) pairs.GetCardinal(i);
        break;
      }
      default: {
        TDIAnsiStringVector strings;
        TDIBinaryReader reader(&stream, 16);
        strings.ReadFromFiler(&reader, mode >> 2 & DI_FILER_ALL, nullptr);
        break;
      }
    }
  } catch (const Exception&) {
  }
  return 0;
}
