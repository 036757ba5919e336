#include "platform/rtl/assertions.h"

#include <cstring>

RTL_IMPLEMENT_CLASS(EAssertionFailed)

void Assert(bool Condition, const AnsiString& Message, std::source_location Where) {
  if (Condition) return;
  const char* File = Where.file_name();
  const char* Slash = std::strrchr(File, '/');
  AnsiString Unit = Slash ? Slash + 1 : File;
  AnsiString Text = Message.empty() ? AnsiString("Assertion failure") : Message;
  throw EAssertionFailed(Text + " (" + Unit + ", line " + std::to_string(Where.line()) + ")");
}
