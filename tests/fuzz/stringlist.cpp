// String lists: loading from a stream, text with line breaks, delimited
// and comma text, name=value access. The first bytes choose delimiter,
// quote character, separator and strictness.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const char delimiter = static_cast<char>(data[0]), quote = static_cast<char>(data[1]);
  const char separator = static_cast<char>(data[2]);
  const bool strict = data[3] & 1;
  const AnsiString text(reinterpret_cast<const char*>(data + 4), size - 4);
  try {
    TStringList list;
    list.SetDelimiter(delimiter);
    list.SetQuoteChar(quote);
    list.SetStrictDelimiter(strict);
    list.SetNameValueSeparator(separator);
    list.SetDelimitedText(text);
    list.SetDelimitedText(list.DelimitedText());
    list.SetCommaText(text);
    list.SetCommaText(list.CommaText());
    list.SetText(text);
    for (Integer i = 0; i < list.Count() && i < 64; ++i) {
      list.Names(i);
      list.ValueFromIndex(i);
    }
    list.Text();
    TStringStream stream(text);
    list.LoadFromStream(&stream);
    list.Sort();
  } catch (const Exception&) {
  }
  return 0;
}
