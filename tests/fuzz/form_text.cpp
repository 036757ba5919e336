// The text form format: converted to the binary form and back, and read
// into components of the streaming test classes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/component_streaming_test_classes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterStreamTestClasses();
  const AnsiString text(reinterpret_cast<const char*>(data), size);
  try {
    TStringStream input(text);
    TMemoryStream binary;
    ObjectTextToBinary(&input, &binary);
    binary.SetPosition(0);
    TStringStream back;
    ObjectBinaryToText(&binary, &back);
  } catch (const Exception&) {
  }
  try {
    TStringStream input(text);
    std::unique_ptr<TComponent> root(ReadComponentText(&input, nullptr));
  } catch (const Exception&) {
  }
  return 0;
}
