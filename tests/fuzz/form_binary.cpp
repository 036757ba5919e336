// The binary form format: read into components of the streaming test
// classes, and converted to text.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/rtl/classes.h"
#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/rtl/component_streaming_test_classes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterStreamTestClasses();
  const AnsiString bytes(reinterpret_cast<const char*>(data), size);
  try {
    TStringStream input(bytes);
    TStringStream text;
    ObjectBinaryToText(&input, &text);
  } catch (const Exception&) {
  }
  try {
    TStringStream input(bytes);
    TStringStream text;
    ObjectResourceToText(&input, &text);
  } catch (const Exception&) {
  }
  try {
    TStringStream input(bytes);
    TReader reader(&input, 4096);
    std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
  } catch (const Exception&) {
  }
  return 0;
}
