#include "platform/win/modules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"

namespace {

TEST(ModulesTest, NamesMatchLikeLibraryFileNames) {
  struct TCase {
    const char* Name;
    bool Found;
  };
  const TCase cases[] = {
      {"msimg32.dll", true},
      {"MSIMG32.DLL", true},
      {"msimg32", true},                                 // ".dll" is implied
      {"C:\\Windows\\System32\\msimg32.dll", true},      // the folder is ignored
      {"/usr/lib/msimg32.dll", true},
      {"msimg32.", false},                               // "no extension"
      {"msimg32.dll.mui", false},
      {"nosuch.dll", false},
      {"", false},
  };
  for (const TCase& c : cases) {
    SetLastError(0);
    HMODULE m = LoadLibraryA(c.Name);
    EXPECT_EQ(m != nullptr, c.Found) << c.Name;
    if (m)
      FreeLibrary(m);
    else
      EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << c.Name;
  }
  HMODULE w = LoadLibraryW(u"MsImg32.Dll");
  EXPECT_EQ(w, GetModuleHandleA("msimg32.dll"));
  FreeLibrary(w);
}

TEST(ModulesTest, LoadedModulesAreCountedAndResidentOnesAlwaysThere) {
  EXPECT_NE(GetModuleHandleA("kernel32.dll"), nullptr);
  EXPECT_NE(GetModuleHandleW(u"USER32"), nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), HInstance);
  ASSERT_EQ(GetModuleHandleA("winmm.dll"), nullptr) << "not loaded before LoadLibrary";

  HMODULE a = LoadLibraryA("winmm.dll");
  HMODULE b = LoadLibraryA("WINMM");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(GetModuleHandleA("winmm.dll"), a);
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_EQ(GetModuleHandleA("winmm.dll"), a) << "one reference left";
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_EQ(GetModuleHandleA("winmm.dll"), nullptr);
  SetLastError(0);
  EXPECT_FALSE(FreeLibrary(a)) << "already unloaded";
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(a, "PlaySoundA"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  HMODULE k = GetModuleHandleA("kernel32.dll");
  EXPECT_TRUE(FreeLibrary(k));
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), k) << "resident modules never unload";
}

TEST(ModulesTest, ProcedureLookupIsExactAndAbsentNamesGiveNull) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  ASSERT_NE(user32, nullptr);
  auto windowFromDC = reinterpret_cast<HWND (*)(HDC)>(GetProcAddress(user32, "WindowFromDC"));
  ASSERT_NE(windowFromDC, nullptr);
  EXPECT_EQ(windowFromDC(nullptr), nullptr);
  struct TCase {
    const char* Module;
    const char* Name;
  };
  // Case matters; gestures and DPI awareness are absent by design.
  const TCase absent[] = {
      {"user32.dll", "windowfromdc"},           {"user32.dll", "GetGestureInfo"},
      {"user32.dll", "CloseGestureInfoHandle"}, {"user32.dll", "SetGestureConfig"},
      {"user32.dll", "LogicalToPhysicalPoint"}, {"user32.dll", "PhysicalToLogicalPoint"},
      {"user32.dll", "IsProcessDPIAware"},      {"kernel32.dll", "NoSuchFunction"},
  };
  for (const TCase& c : absent) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(GetModuleHandleA(c.Module), c.Name), nullptr) << c.Name;
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND) << c.Name;
  }
  EXPECT_EQ(GetProcAddress(user32, MAKEINTRESOURCE(1)), nullptr) << "no ordinals";
  EXPECT_EQ(GetProcAddress(HInstance, "WindowFromDC"), nullptr) << "the executable exports nothing";
}

TEST(ModulesTest, EveryExportOfTheTableIsFoundByItsName) {
  size_t count = 0;
  const rtl::detail::TModuleInfo* table = rtl::detail::ModuleTable(&count);
  ASSERT_GT(count, 0u);
  for (size_t i = 0; i < count; ++i) {
    HMODULE m = LoadLibraryA(table[i].FileName);
    ASSERT_NE(m, nullptr) << table[i].FileName;
    for (size_t k = 0; k < table[i].ExportCount; ++k) {
      const rtl::detail::TModuleExport& e = table[i].Exports[k];
      EXPECT_NE(e.Address, nullptr) << e.Name;
      EXPECT_EQ(GetProcAddress(m, e.Name), e.Address) << table[i].FileName << " " << e.Name;
    }
    FreeLibrary(m);
  }
}

TEST(ModulesTest, BindingThroughKernel32FindsItself) {
  HMODULE k = GetModuleHandleA("kernel32.dll");
  auto load = reinterpret_cast<HMODULE (*)(LPCSTR)>(GetProcAddress(k, "LoadLibraryA"));
  auto lookup = reinterpret_cast<FARPROC (*)(HMODULE, LPCSTR)>(GetProcAddress(k, "GetProcAddress"));
  ASSERT_NE(load, nullptr);
  ASSERT_NE(lookup, nullptr);
  HMODULE m = load("msimg32.dll");
  EXPECT_EQ(lookup(m, "AlphaBlend"), GetProcAddress(m, "AlphaBlend"));
  EXPECT_NE(lookup(m, "GradientFill"), nullptr);
  FreeLibrary(m);
}

TEST(ModulesTest, ErrorModeIsKeptForSaveAndRestore) {
  UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  EXPECT_EQ(GetErrorMode(), UINT(SEM_NOOPENFILEERRORBOX));
  EXPECT_EQ(SetErrorMode(old), UINT(SEM_NOOPENFILEERRORBOX));
  EXPECT_EQ(GetErrorMode(), old);
}

}  // namespace
