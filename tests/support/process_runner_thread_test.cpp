#include <unistd.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support/thread_base.h"

namespace {

class TNamedThread : public TJvCustomThread {
 public:
  TNamedThread() : TJvCustomThread(true) {}
  AnsiString SystemName;

 protected:
  void Execute() override {
    NameThreadForDebugging(GetNameForDebugging());
    std::ifstream comm("/proc/self/task/" + std::to_string(gettid()) + "/comm");
    std::getline(comm, SystemName);
  }
};

struct TNameCase {
  const char* Name;
  const char* ForDebugging;
  const char* System;
};

TEST(ProcessRunnerThread, NameForDebuggingAndForTheSystem) {
  const TNameCase cases[] = {
      {"", "TJvCustomThread", "TJvCustomThread"},
      {"Runner", "Runner {TJvCustomThread}", "Runner {TJvCust"},
      // Cut at a character boundary, not inside the two-byte \xC3\xA9.
      {"abcdefghijklmn\xC3\xA9", "abcdefghijklmn\xC3\xA9 {TJvCustomThread}", "abcdefghijklmn"},
  };
  for (const TNameCase& c : cases) {
    TNamedThread t;
    t.SetThreadName(c.Name);
    EXPECT_EQ(c.Name, t.ThreadName());
    t.Start();
    t.WaitFor();
    EXPECT_EQ(c.ForDebugging, t.GetNameForDebugging());
    EXPECT_EQ(c.System, t.SystemName) << c.Name;
  }
}

TEST(ProcessRunnerThread, NamingAnotherOrAMissingThreadRaisesNothing) {
  TNamedThread t;
  EXPECT_NO_THROW(t.NameThreadForDebugging("other", t.ThreadID()));
  std::ifstream comm("/proc/self/task/" + std::to_string(t.ThreadID()) + "/comm");
  std::string name;
  std::getline(comm, name);
  EXPECT_EQ("other", name);
  EXPECT_NO_THROW(t.NameThreadForDebugging("gone", 0x7FFFFFF0));
  t.Start();
  t.WaitFor();
}

}  // namespace
