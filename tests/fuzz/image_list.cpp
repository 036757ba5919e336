// The library's image list read from a binary form: whatever the reader
// makes of the input, the native images and the infos stay in step, and a
// list that was read writes and reads back as many images.
#include "ui/foundation/image_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

void CheckInStep(TcxImageList& list) {
  if (list.Count() != list.ImageInfo()->Count()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AnsiString bytes(reinterpret_cast<const char*>(data), size);
  TcxImageList list(nullptr);
  bool read = false;
  try {
    TStringStream input(bytes);
    TReader reader(&input, 4096);
    reader.ReadRootComponent(&list);
    read = true;
  } catch (const Exception&) {
  }
  CheckInStep(list);
  if (!read) return 0;
  TMemoryStream again;
  {
    TWriter writer(&again, 4096);
    writer.WriteDescendent(&list, nullptr);
    writer.FlushBuffer();
  }
  again.SetPosition(0);
  TcxImageList copy(nullptr);
  TReader reader(&again, 4096);
  reader.ReadRootComponent(&copy);
  CheckInStep(copy);
  if (copy.Count() != list.Count()) std::abort();
  return 0;
}
