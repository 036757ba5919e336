#include "platform/rtl/assertions.h"

#include <cstring>
#include <string>

RTL_IMPLEMENT_CLASS(EAssertionFailed)

void Assert(bool Condition, const AnsiString& Message, const char* File, int Line) {
  if (Condition) return;
  const char* Slash = File ? std::strrchr(File, '/') : nullptr;
  AnsiString Unit = Slash ? Slash + 1 : (File ? File : "");
  AnsiString Text = Message.empty() ? AnsiString("Assertion failure") : Message;
  throw EAssertionFailed(Text + " (" + Unit + ", line " + std::to_string(Line) + ")");
}
