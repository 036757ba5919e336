// The skin stream: a control group record and a details record, read at
// the version the first byte picks. Whatever the reader makes of the
// input, it stays inside the stream, and what it read writes and reads
// back alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"
#include "ui/lookandfeel/skin_details.h"
#include "ui/lookandfeel/skin_element.h"
#include "ui/lookandfeel/skin_persistent.h"
#include "ui/lookandfeel/skin_properties.h"
#include "ui/lookandfeel/skin_stream.h"
#include "ui/lookandfeel/skins_core.h"

namespace {

const double kVersions[] = {1.01, 1.05, 1.08, 1.09, 1.1};

void CheckInside(TStream& AStream) {
  if (AStream.Position() < 0 || AStream.Position() > AStream.Size()) std::abort();
}

void CheckSame(TdxSkinControlGroup& A, TdxSkinControlGroup& B) {
  if (A.Count() != B.Count() || A.Properties()->Count() != B.Properties()->Count()) std::abort();
  for (Integer i = 0; i < A.Count(); ++i)
    if (!A.Items(i)->SameAs(B.Items(i))) std::abort();
  for (Integer i = 0; i < A.Properties()->Count(); ++i)
    if (!A.Properties()->Items(i)->SameAs(B.Properties()->Items(i))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = [] {
    fuzz::StartGraphics();
    dx_skins_core_detail::StartSkinsCore();
    return true;
  }();
  (void)started;
  if (size < 1) return 0;
  const double version = kVersions[data[0] % 5];
  TStringStream input(AnsiString(reinterpret_cast<const char*>(data) + 1, size - 1));

  TdxSkinControlGroup group(nullptr, "Group");
  try {
    group.LoadFromSkinStream(&input, version);
  } catch (const Exception&) {
  }
  CheckInside(input);
  TdxSkinDetails details;
  try {
    details.LoadFromSkinStream(&input, version);
  } catch (const Exception&) {
  }
  CheckInside(input);

  TStringStream written;
  group.SaveToSkinStream(&written);
  details.SaveToSkinStream(&written);
  TdxSkinControlGroup copy(nullptr, "Group");
  TdxSkinDetails detailsCopy;
  try {
    TStringStream again(written.DataString());
    // The group's record starts with the name its creator reads.
    dxSkinReadString(&again);
    copy.LoadFromSkinStream(&again, 1.1);
    detailsCopy.LoadFromSkinStream(&again, 1.1);
    if (again.Position() != again.Size()) std::abort();
  } catch (const Exception&) {
    std::abort();
  }
  CheckSame(group, copy);
  if (detailsCopy.Name() != details.Name() || !(detailsCopy.Notes() == details.Notes())) std::abort();
  return 0;
}
