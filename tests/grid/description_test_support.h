// A component written as the text of a form description, for the tests of
// the grid's parts that form descriptions hold.
#pragma once

#include "platform/rtl/component_streaming.h"
#include "platform/rtl/form_text.h"
#include "platform/rtl/streams.h"

inline AnsiString WriteDescriptionText(TComponent* Root) {
  TMemoryStream Binary;
  TWriter Writer(&Binary, 4096);
  Writer.WriteDescendent(Root, nullptr);
  Binary.SetPosition(0);
  TStringStream Text;
  ObjectBinaryToText(&Binary, &Text);
  return Text.DataString();
}
