#include "support/unit_versioning.h"

#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/rtl/classes.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/units.h"
#include "platform/win/kernel/kernel.h"
#include "support/file_finder.h"
#include "support/shared_memory.h"
#include "support/support_errors.h"
#include "support/support_units.h"

namespace {

const TUnitVersionInfo kFirst = {"first", "$Revision: 1 $", "", "a", "", nullptr};
const TUnitVersionInfo kSecond = {"second", "$Revision: 2 $", "", "b", "", nullptr};

HINSTANCE Module(uintptr_t n) { return reinterpret_cast<HINSTANCE>(n); }

// Links that stand for modules of one process, under a process id of
// their own so that they meet nobody else's registry.
class Modules : public testing::Test {
 protected:
  static DWORD NextId() {
    static DWORD id = 0x7F000000;
    return ++id;
  }
  const DWORD id = NextId();
};

TEST_F(Modules, TwoModulesShareTheRegistryOfTheFirst) {
  TUnitVersioningLink exe(id), library(id);
  exe.Register(Module(1), &kFirst);
  library.Register(Module(2), &kSecond);
  TUnitVersioning* registry = exe.GetUnitVersioning();
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(library.GetUnitVersioning(), registry);
  EXPECT_TRUE(exe.OwnsRegistry());
  EXPECT_FALSE(library.OwnsRegistry());
  ASSERT_EQ(registry->ModuleCount(), 2);
  EXPECT_EQ(registry->Modules(1)->Instance(), Module(2));
  EXPECT_EQ(registry->Modules(1)->Items(0)->Info(), &kSecond);

  // The module that does not own it only lets go.
  library.Unregister(Module(2));
  library.Finalize();
  EXPECT_EQ(exe.GetUnitVersioning(), registry);
  EXPECT_EQ(registry->ModuleCount(), 1);
}

TEST_F(Modules, OwnerLeavingFirstLeavesNoDanglingAddress) {
  TUnitVersioningLink exe(id), library(id);
  exe.Register(Module(1), &kFirst);
  library.Register(Module(2), &kSecond);
  exe.Finalize();
  // The library does not reach the freed registry: it starts one of its own.
  library.Register(Module(2), &kFirst);
  TUnitVersioning* registry = library.GetUnitVersioning();
  ASSERT_NE(registry, nullptr);
  EXPECT_TRUE(library.OwnsRegistry());
  ASSERT_EQ(registry->ModuleCount(), 1);
  EXPECT_EQ(registry->Modules(0)->Items(0)->Info(), &kFirst);
}

TEST_F(Modules, RecordsAreKeptOncePerModuleAndModulesGoFromTheEnd) {
  TUnitVersioningLink link(id);
  link.Register(Module(1), &kFirst);
  link.Register(Module(1), &kFirst);
  link.Register(Module(1), &kSecond);
  link.Register(Module(2), &kFirst);
  TUnitVersioning* registry = link.GetUnitVersioning();
  ASSERT_EQ(registry->ModuleCount(), 2);
  EXPECT_EQ(registry->Modules(0)->Count(), 2);
  // A second entry for module 1 can only come through Add on a registry
  // that holds module 2 in between; UnregisterModule removes the last one.
  registry->UnregisterModule(Module(1));
  ASSERT_EQ(registry->ModuleCount(), 1);
  EXPECT_EQ(registry->Modules(0)->Instance(), Module(2));
  link.Unregister(Module(7));  // unknown: nothing happens
  EXPECT_EQ(registry->ModuleCount(), 1);
}

TEST_F(Modules, NothingHappensAfterShutDown) {
  TUnitVersioningLink link(id);
  link.Register(Module(1), &kFirst);
  link.Finalize();
  EXPECT_EQ(link.GetUnitVersioning(), nullptr);
  link.Register(Module(1), &kSecond);
  link.Unregister(Module(1));
  EXPECT_EQ(link.GetUnitVersioning(), nullptr);
  link.Finalize();
}

TEST_F(Modules, MutexThatCannotBeHadRaises) {
  // The mutex's name taken by an object of another kind.
  const std::string name = "MutexNPA_UnitVersioning_" + std::to_string(id);
  HANDLE squatter = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, name.c_str());
  ASSERT_NE(squatter, nullptr);
  TUnitVersioningLink link(id);
  try {
    link.Register(Module(1), &kFirst);
    ADD_FAILURE() << "no error";
  } catch (const EJclMutexError& e) {
    EXPECT_NE(e.LastError(), 0u);
    const std::string expected = "Win32 error: " + e.LastErrorMsg() + " (" + std::to_string(e.LastError()) +
                                 ")\r\nFailed to create mutex";
    EXPECT_EQ(std::string(e.what()), expected);
  }
  CloseHandle(squatter);
}

TEST_F(Modules, SharedMemoryIsMappedOncePerName) {
  const std::string name = "support_test_shm_" + std::to_string(id);
  void* a = nullptr;
  void* b = nullptr;
  EXPECT_NE(SharedGetMem(a, name, 64, FILE_MAP_ALL_ACCESS), static_cast<Integer>(ERROR_ALREADY_EXISTS));
  ASSERT_NE(a, nullptr);
  std::strcpy(static_cast<char*>(a), "shared");
  EXPECT_EQ(SharedGetMem(b, name, 64, FILE_MAP_ALL_ACCESS), static_cast<Integer>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(a, b);
  void* c = a;
  EXPECT_TRUE(SharedCloseMem(a));
  EXPECT_EQ(a, nullptr);
  EXPECT_STREQ(static_cast<char*>(b), "shared");  // still mapped for the second reference
  EXPECT_TRUE(SharedCloseMem(b));
  EXPECT_FALSE(SharedCloseMem(c));  // gone from the list
  void* none = nullptr;
  EXPECT_TRUE(SharedCloseMem(none));

  void* empty = nullptr;
  try {
    SharedGetMem(empty, name + "_empty", 0, FILE_MAP_ALL_ACCESS);
    ADD_FAILURE() << "empty mapping created";
  } catch (const ESharedMemError& e) {
    EXPECT_EQ(std::string(e.what()), "The MMF named \"" + name + "_empty\" cannot be created empty");
  }
  EXPECT_EQ(empty, nullptr);
}

TEST(SupportUnits, RecordTheirVersionsInOrderAndWithdrawThemAtShutDown) {
  TUnitRegistry units;
  RegisterSupportUnits(units);
  units.Initialize();
  TUnitVersioning* registry = GetUnitVersioning();
  ASSERT_NE(registry, nullptr);
  ASSERT_EQ(registry->ModuleCount(), 1);
  TUnitVersioningModule* module = registry->Modules(0);
  EXPECT_EQ(module->Instance(), HInstance);
  ASSERT_EQ(module->Count(), 26);
  EXPECT_STREQ(module->Items(0)->Info()->Revision, "$Revision: 3850 $");
  EXPECT_STREQ(module->Items(2)->Info()->LogPath, "JCL\\source\\windows");
  EXPECT_STREQ(module->Items(22)->Info()->Revision, "$Revision: 3861 $");
  EXPECT_STREQ(module->Items(25)->Info()->Revision, "$Revision: 3599 $");
  EXPECT_TRUE(units.IsStarted("JclUnitVersioning"));
  EXPECT_EQ(GetClass("TDIWildFileFinder"), TDIWildFileFinder::StaticClass());
  units.Finalize();
  EXPECT_EQ(GetClass("TDIWildFileFinder"), nullptr);
  EXPECT_EQ(GetUnitVersioning(), nullptr);
}

}  // namespace
