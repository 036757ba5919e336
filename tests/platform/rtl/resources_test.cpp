#include "platform/rtl/resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/fileutils.h"

// The resources read here are declared in resources/test/resources.txt.

namespace {

std::vector<Byte> Bytes(HRSRC res) {
  const auto* p = static_cast<const Byte*>(LockResource(LoadResource(HInstance, res)));
  return std::vector<Byte>(p, p + SizeofResource(HInstance, res));
}

std::vector<Byte> AllByteValues() {
  std::vector<Byte> v(256);
  for (int i = 0; i < 256; ++i) v[i] = static_cast<Byte>(i);
  return v;
}

Word Word16(const std::vector<Byte>& d, size_t at) { return static_cast<Word>(d.at(at) | (d.at(at + 1) << 8)); }
Cardinal Dword(const std::vector<Byte>& d, size_t at) { return Word16(d, at) | (Cardinal(Word16(d, at + 2)) << 16); }

TEST(Resources, FoundByNameOrNumberWithoutRegardToCase) {
  const struct {
    HMODULE module;
    LPCSTR name;
    LPCSTR type;
  } cases[] = {
      {HInstance, "TestBlob", RT_RCDATA},
      {nullptr, "TESTBLOB", RT_RCDATA},
      {HInstance, "testblob", "#10"},
      {HInstance, MAKEINTRESOURCE(4242), RT_RCDATA},
      {HInstance, "#4242", RT_RCDATA},
      {HInstance, "TestCustomType", "png"},
      {HInstance, "testcustomtype", "PNG"},
      {HInstance, "TestNumericType", MAKEINTRESOURCE(4243)},
  };
  for (const auto& c : cases) {
    HRSRC res = FindResource(c.module, c.name, c.type);
    ASSERT_NE(res, nullptr) << (IS_INTRESOURCE(c.name) ? "#id" : c.name);
    // Every byte value survives the trip through the generated source.
    EXPECT_EQ(Bytes(res), AllByteValues());
  }
}

TEST(Resources, MissingResourcesReportWhatIsMissing) {
  const struct {
    HMODULE module;
    LPCSTR name;
    LPCSTR type;
    Cardinal error;
  } cases[] = {
      {HInstance, "NoSuchName", RT_RCDATA, 1814},            // ERROR_RESOURCE_NAME_NOT_FOUND
      {HInstance, "TestBlob", "NOSUCHTYPE", 1813},           // ERROR_RESOURCE_TYPE_NOT_FOUND
      {HInstance, "TestBlob", RT_BITMAP, 1814},              // the name exists, as another type
      {HInstance, MAKEINTRESOURCE(4243), RT_RCDATA, 1814},
      {HInstance, "#0", RT_RCDATA, 87},
      {HInstance, "#12x", RT_RCDATA, 87},
      {reinterpret_cast<HMODULE>(1234), "TestBlob", RT_RCDATA, 1812},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(FindResource(c.module, c.name, c.type), nullptr) << (IS_INTRESOURCE(c.name) ? "#id" : c.name);
    EXPECT_EQ(GetLastError(), c.error) << (IS_INTRESOURCE(c.name) ? "#id" : c.name);
  }
  EXPECT_EQ(LoadResource(HInstance, nullptr), nullptr);
  int notAResource = 0;
  EXPECT_EQ(SizeofResource(HInstance, reinterpret_cast<HRSRC>(&notAResource)), 0u);
}

TEST(Resources, EmptyResourceHasData) {
  HRSRC res = FindResource(HInstance, "TestEmpty", RT_RCDATA);
  ASSERT_NE(res, nullptr);
  EXPECT_EQ(SizeofResource(HInstance, res), 0u);
  EXPECT_NE(LockResource(LoadResource(HInstance, res)), nullptr);
  EXPECT_FALSE(FreeResource(LoadResource(HInstance, res)));
}

TEST(Resources, BitmapIsStoredWithoutItsFileHeader) {
  HRSRC res = FindResource(HInstance, "TestBitmap", RT_BITMAP);
  ASSERT_NE(res, nullptr);
  const std::vector<Byte> dib = Bytes(res);
  ASSERT_EQ(dib.size(), 70u - 14u);
  EXPECT_EQ(Dword(dib, 0), 40u);  // BITMAPINFOHEADER.biSize
  EXPECT_EQ(Dword(dib, 4), 2u);   // width
  EXPECT_EQ(Word16(dib, 14), 24);  // bits per pixel
  EXPECT_EQ(dib[40 + 2], 255);    // first pixel red (stored B, G, R)
}

TEST(Resources, IconGroupRefersToItsImages) {
  HRSRC res = FindResource(HInstance, "TestIcon", RT_GROUP_ICON);
  ASSERT_NE(res, nullptr);
  const std::vector<Byte> group = Bytes(res);
  ASSERT_EQ(group.size(), 6u + 2 * 14u);
  EXPECT_EQ(Word16(group, 2), 1);  // icons
  ASSERT_EQ(Word16(group, 4), 2);
  for (int i = 0; i < 2; ++i) {
    const size_t e = 6 + 14 * i;
    EXPECT_EQ(group[e], i + 1);            // width
    EXPECT_EQ(Word16(group, e + 6), 32);   // bit count
    HRSRC image = FindResource(HInstance, MAKEINTRESOURCE(Word16(group, e + 12)), RT_ICON);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(SizeofResource(HInstance, image), Dword(group, e + 8));
    EXPECT_EQ(Dword(Bytes(image), 4), Cardinal(i + 1));  // the image's own width
  }
}

TEST(Resources, CursorImagesLeadWithTheirHotSpot) {
  HRSRC res = FindResource(HInstance, "testcursor", RT_GROUP_CURSOR);
  ASSERT_NE(res, nullptr);
  const std::vector<Byte> group = Bytes(res);
  ASSERT_EQ(group.size(), 6u + 14u);
  EXPECT_EQ(Word16(group, 2), 2);  // cursors
  EXPECT_EQ(Word16(group, 4), 1);
  EXPECT_EQ(Word16(group, 6), 2);   // width
  EXPECT_EQ(Word16(group, 8), 4);   // height of both masks
  EXPECT_EQ(Word16(group, 12), 1);  // bit count
  HRSRC image = FindResource(HInstance, MAKEINTRESOURCE(Word16(group, 18)), RT_CURSOR);
  ASSERT_NE(image, nullptr);
  const std::vector<Byte> data = Bytes(image);
  EXPECT_EQ(data.size(), Dword(group, 14));
  EXPECT_EQ(Word16(data, 0), 1);  // hot spot x
  EXPECT_EQ(Word16(data, 2), 0);  // hot spot y
  EXPECT_EQ(Dword(data, 4), 40u);
}

// ---- Strings ---------------------------------------------------------------------------

TEST(ResourceStrings, LoadByIdentifier) {
  const struct {
    Integer id;
    const char* text;
  } cases[] = {
      {64000, "Hello"},
      {64001, "Tab\there, a \"quote\", a backslash \\ and\na new line"},
      {64002, "Gr\xc3\xbc\xc3\x9f" "e \xe2\x9c\x93"},
      {64017, "The next block"},
      {65535, "The last identifier"},
      {64003, ""},  // missing within a block
      {64100, ""},  // missing block
      {70000, ""},  // beyond the identifiers
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadStr(c.id), c.text) << c.id;
    EXPECT_EQ(LoadResString(c.id), c.text) << c.id;
  }
  const TResStringRec rec{&HInstance, 64017};
  EXPECT_EQ(LoadResString(&rec), "The next block");
  EXPECT_EQ(LoadResString(nullptr), "");
}

TEST(ResourceStrings, StringBlocksHoldSixteenCountedStrings) {
  HRSRC res = FindResource(HInstance, MAKEINTRESOURCE(64000 / 16 + 1), RT_STRING);
  ASSERT_NE(res, nullptr);
  const std::vector<Byte> block = Bytes(res);
  ASSERT_EQ(Word16(block, 0), 5);  // "Hello"
  EXPECT_EQ(Word16(block, 2), 'H');
  size_t at = 0;
  for (int i = 0; i < 16; ++i) at += 2 + 2 * Word16(block, at);
  EXPECT_EQ(at, block.size());
}

TEST(ResourceStrings, LoadStringCutsAtACharacterBoundary) {
  char buf[32];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(LoadString(HInstance, 64000, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "Hello");
  EXPECT_EQ(LoadString(nullptr, 64000, buf, 4), 3);
  EXPECT_STREQ(buf, "Hel");
  // "Grüße": a 3-byte buffer holds "Gr" and the terminator, not half of "ü".
  EXPECT_EQ(LoadString(HInstance, 64002, buf, 4), 2);
  EXPECT_STREQ(buf, "Gr");
  EXPECT_EQ(LoadString(HInstance, 64002, buf, 5), 4);
  EXPECT_STREQ(buf, "Gr\xc3\xbc");
  EXPECT_EQ(LoadString(HInstance, 64003, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(LoadString(HInstance, 64000, buf, 0), 0);
  EXPECT_EQ(LoadString(HInstance, 64000, nullptr, 10), 0);
}

// ---- Streams ------------------------------------------------------------------------------

TEST(ResourceStreams, ReadTheResourceBytes) {
  TResourceStream byName(HInstance, AnsiString("testblob"), RT_RCDATA);
  EXPECT_EQ(byName.Size(), 256);
  std::vector<Byte> data(300);
  EXPECT_EQ(byName.Read(data.data(), 300), 256);
  data.resize(256);
  EXPECT_EQ(data, AllByteValues());

  TResourceStream byId(HInstance, 4242, RT_RCDATA);
  byId.Seek(10, soBeginning);
  Byte b = 0;
  byId.ReadBuffer(&b, 1);
  EXPECT_EQ(b, 10);
  TResourceStream custom(HInstance, "TestCustomType", "PNG");
  EXPECT_EQ(custom.Size(), 256);
  EXPECT_THROW(custom.Write("x", 1), EStreamError);
}

TEST(ResourceStreams, MissingResourceRaises) {
  const struct {
    std::function<void()> create;
    const char* message;
  } cases[] = {
      {[] { TResourceStream s(HInstance, AnsiString("NoSuch"), RT_RCDATA); }, "Resource NoSuch not found"},
      {[] { TResourceStream s(HInstance, "TestBlob", RT_BITMAP); }, "Resource TestBlob not found"},
      {[] { TResourceStream s(HInstance, 77, RT_RCDATA); }, "Resource 77 not found"},
  };
  for (const auto& c : cases) {
    try {
      c.create();
      ADD_FAILURE() << "no exception for " << c.message;
    } catch (const EResNotFound& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

// ---- The module ------------------------------------------------------------------------

TEST(Module, FileNameIsTheExecutablePath) {
  const AnsiString exe = ParamStr(0);
  char buf[4096];
  EXPECT_EQ(GetModuleFileName(nullptr, buf, sizeof buf), exe.size());
  EXPECT_EQ(AnsiString(buf), exe);
  EXPECT_EQ(GetModuleFileName(HInstance, buf, sizeof buf), exe.size());
  EXPECT_EQ(GetModuleName(HInstance), exe);
  EXPECT_EQ(ExtractFileName(GetModuleName(MainInstance)), "test_platform_rtl");

  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(GetModuleFileName(nullptr, buf, 5), 5u);
  EXPECT_EQ(GetLastError(), 122u);  // ERROR_INSUFFICIENT_BUFFER
  EXPECT_EQ(AnsiString(buf), exe.substr(0, 4));

  EXPECT_EQ(GetModuleFileName(reinterpret_cast<HMODULE>(8), buf, sizeof buf), 0u);
  EXPECT_EQ(GetLastError(), 126u);  // ERROR_MOD_NOT_FOUND
  EXPECT_EQ(GetModuleName(reinterpret_cast<HMODULE>(8)), "");
  EXPECT_NE(HInstance, nullptr);
}

}  // namespace
