// Paths of item identifier lists into a buffer of the caller's size.
#include <gtest/gtest.h>

#include "platform/rtl/text_codec.h"
#include "platform/win/shell/shlobj.h"

namespace {

using rtl::detail::EncodeShellItem;
using rtl::detail::TShellItem;

struct TPathCase {
  const char* Name;
  TShellItem Item;
  DWORD Room;  // characters; 0 means the path's length plus the terminator
  bool Ok;
};

TEST(ShellPathEx, LongPathsFitTheCallersBufferAndVirtualItemsHaveNone) {
  const AnsiString longPath = "/tmp/" + AnsiString(200, 'a') + "/" + AnsiString(200, 'b') + "/\xC3\xA9t\xC3\xA9";
  const WideString longWide = AnsiToWide(longPath);
  const TPathCase cases[] = {
      {"LongerThanMaxPath", {rtl::detail::skPath, longPath}, 0, true},
      {"OneCharacterShort", {rtl::detail::skPath, longPath}, static_cast<DWORD>(longWide.size()), false},
      {"Short", {rtl::detail::skPath, "/tmp"}, MAX_PATH, true},
      {"Computer", {rtl::detail::skComputer, {}}, MAX_PATH, false},
      {"Desktop", {rtl::detail::skDesktop, {}}, MAX_PATH, false},
  };
  for (const TPathCase& c : cases) {
    SCOPED_TRACE(c.Name);
    PIDLIST_ABSOLUTE pidl = EncodeShellItem(c.Item);
    ASSERT_NE(pidl, nullptr);
    const WideString expected = AnsiToWide(c.Item.Path);
    const DWORD room = c.Room ? c.Room : static_cast<DWORD>(expected.size() + 1);
    WideString buffer(room, u'x');
    EXPECT_EQ(SHGetPathFromIDListEx(pidl, buffer.data(), room, GPFIDL_DEFAULT), c.Ok ? TRUE : FALSE);
    EXPECT_EQ(WideString(buffer.c_str()), c.Ok ? expected : WideString());
    CoTaskMemFree(pidl);
  }
  WCHAR one = u'x';
  EXPECT_FALSE(SHGetPathFromIDListEx(nullptr, &one, 1, GPFIDL_DEFAULT));
  EXPECT_EQ(one, 0);
  EXPECT_FALSE(SHGetPathFromIDListEx(nullptr, nullptr, 0, GPFIDL_DEFAULT));
}

}  // namespace
