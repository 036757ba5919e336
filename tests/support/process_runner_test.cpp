#include "support/process_runner.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/common/process_helpers.h"

#include "platform/forms/forms.h"
#include "platform/rtl/stringlist.h"
#include "platform/win/user/user.h"
#include "platform/testing/user_testing.h"
#include "support/process_threads.h"

namespace {

// ---- Helpers ---------------------------------------------------------------------

using test_helpers::ConverterPath;
using test_helpers::ExeFolder;
using test_helpers::OpenDescriptorCount;
using test_helpers::ReadFileText;
using test_helpers::TempDir;

// The threads of this process.
int ThreadCount() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/task")) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') ++n;
    closedir(d);
  }
  return n;
}

// Whether some child of this process has ended without being reaped.
bool HasZombieChild() {
  siginfo_t info = {};
  return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

std::vector<std::string> Lines(const TStrings* s) {
  std::vector<std::string> v;
  for (Integer i = 0; i < s->Count(); ++i) v.push_back(s->Get(i));
  return v;
}

// ---- Line assembly ---------------------------------------------------------------

class TTestReader : public TJvBaseReader {
 public:
  using TJvBaseReader::TJvBaseReader;
  void Feed(std::string chunk) { ParseChunk(chunk.data(), static_cast<DWORD>(chunk.size())); }
};

struct TAssemblyCase {
  const char* Name;
  std::vector<std::string> Chunks;
  std::vector<std::pair<std::string, bool>> Reads;
  std::vector<std::string> OutputLines;
};

TEST(ProcessRunnerLines, AssemblesChunksIntoLines) {
  const TAssemblyCase cases[] = {
      {"line feed", {"abc\n"}, {{"abc", true}, {"", true}}, {"abc", ""}},
      {"next chunk goes on the open line", {"abc\n", "def"}, {{"abc", true}, {"", true}, {"def", false}}, {"abc", "def"}},
      {"carriage return overwrites the start", {"abcdef\rXY"}, {{"XYcdef", true}}, {"XYcdef"}},
      {"tab writes eight blanks", {"ab\tc"}, {{"ab        c", true}}, {"ab        c"}},
      {"backspaces stop at column 0", {"\b\bab"}, {{"ab", true}}, {"ab"}},
      {"backspace then overwrite", {"abc\b\bX"}, {{"aXc", true}}, {"aXc"}},
      {"NUL and BEL show as blanks", {std::string("a\0b\ac", 5)}, {{"a b c", true}}, {"a b c"}},
      {"CR LF", {"one\r\ntwo\n"}, {{"one", true}, {"two", true}, {"", true}}, {"one", "two", ""}},
      {"overwrite across chunks", {"abc", "\rX"}, {{"abc", true}, {"Xbc", false}}, {"Xbc"}},
      {"empty chunk", {""}, {{"", true}}, {""}},
  };
  for (const TAssemblyCase& c : cases) {
    TJvCreateProcess owner(nullptr);
    owner.SetConsoleOptions({});
    TTestReader reader(&owner);
    std::vector<std::pair<std::string, bool>> reads;
    std::string raw, fed;
    reader.OnRead = [&](TObject* sender, const AnsiString& s, bool startsOnNewLine) {
      EXPECT_EQ(&owner, sender);
      reads.emplace_back(s, startsOnNewLine);
    };
    reader.OnRawRead = [&](TObject*, const AnsiString& s) { raw += s; };
    for (const std::string& chunk : c.Chunks) {
      reader.Feed(chunk);
      fed += chunk;
    }
    EXPECT_EQ(c.Reads, reads) << c.Name;
    EXPECT_EQ(c.OutputLines, Lines(reader.OutputLines())) << c.Name;
    EXPECT_EQ(fed, raw) << c.Name;
  }
}

TEST(ProcessRunnerLines, OwnerDataKeepsNoLines) {
  TJvCreateProcess owner(nullptr);
  ASSERT_TRUE(owner.ConsoleOptions().Contains(coOwnerData));
  TTestReader reader(&owner);
  reader.Feed("abc\ndef\n");
  EXPECT_EQ(0, reader.OutputLines()->Count());
}

// ---- Helpers of the runner ----------------------------------------------------------

TEST(ProcessRunnerHelpers, StringsToMultiSz) {
  TStringList list;
  list.Add("A=1");
  list.Add("B=2");
  char* block = StringsToMultiSz(&list);
  EXPECT_EQ(std::string("A=1\0B=2\0\0", 9), std::string(block, 9));
  ReleaseMultiSz(block);
  EXPECT_EQ(nullptr, block);
  ReleaseMultiSz(block);

  TStringList none;
  block = StringsToMultiSz(&none);
  EXPECT_EQ('\0', block[0]);
  ReleaseMultiSz(block);

  for (std::string bad : {std::string(), std::string("\0x", 2)}) {
    TStringList withEmpty;
    withEmpty.Add("A=1");
    withEmpty.Add(bad);
    try {
      StringsToMultiSz(&withEmpty);
      ADD_FAILURE() << "no error";
    } catch (const EJclStringError& e) {
      EXPECT_EQ("String list passed to StringsToMultiSz cannot contain empty strings.", e.Message());
    }
  }
}

TEST(ProcessRunnerHelpers, CheckOSResultRaisesTheLastError) {
  EXPECT_NO_THROW(CheckOSResult(true));
  SetLastError(ERROR_ACCESS_DENIED);
  try {
    CheckOSResult(false);
    ADD_FAILURE() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(ERROR_ACCESS_DENIED, e.ErrorCode());
  }
}

TEST(ProcessRunnerHelpers, UtilityWindowHandsMessagesToItsMethod) {
  std::vector<UINT> seen;
  HWND w = CreateUtilityWindow("", [&](TMessage& m) {
    seen.push_back(m.Msg);
    m.Result = 42;
  });
  ASSERT_TRUE(IsWindow(w));
  EXPECT_EQ(42, SendMessage(w, WM_USER + 7, 0, 0));
  PostMessage(w, WM_USER + 8, 0, 0);
  rtl::testing::RunUntilIdle();
  EXPECT_EQ((std::vector<UINT>{WM_USER + 7, WM_USER + 8}), seen);
  DestroyUtilityWindow(w);
  EXPECT_FALSE(IsWindow(w));

  // Without a method the default procedure answers.
  HWND plain = CreateUtilityWindow("TTestUtilWindow", nullptr);
  ASSERT_TRUE(IsWindow(plain));
  EXPECT_EQ(0, SendMessage(plain, WM_USER + 7, 0, 0));
  DestroyUtilityWindow(plain);
}

TEST(ProcessRunnerHelpers, UtilityWindowMayBeDestroyedByItsOwnMethod) {
  // What the method holds must last until it returns.
  struct TMark {
    std::shared_ptr<bool> Gone;
    explicit TMark(std::shared_ptr<bool> G) : Gone(std::move(G)) {}
    ~TMark() { *Gone = true; }
  };
  auto gone = std::make_shared<bool>(false);
  std::vector<std::string> seen;
  HWND w = nullptr;
  w = CreateUtilityWindow("", [&, mark = std::make_shared<TMark>(gone), name = std::string("runner")](TMessage& m) {
    if (m.Msg != WM_USER + 3) return;
    DestroyUtilityWindow(w);
    seen.push_back(name + (IsWindow(w) ? " alive" : " gone") + (*mark->Gone ? " freed" : " held"));
    m.Result = 9;
  });
  PostMessage(w, WM_USER + 3, 0, 0);
  PostMessage(w, WM_USER + 3, 0, 0);  // finds the window gone
  rtl::testing::RunUntilIdle();
  EXPECT_EQ((std::vector<std::string>{"runner gone held"}), seen);
  EXPECT_TRUE(*gone);
}

// ---- The runner ----------------------------------------------------------------------

class ProcessRunnerTest : public ::testing::Test {
 protected:
  std::unique_ptr<TJvCreateProcess> Runner = std::make_unique<TJvCreateProcess>(nullptr);
  int Terminations = 0;
  Cardinal LastExitCode = 0xDEAD;
  std::string Raw, ErrorRaw;
  // What the readers were doing when OnTerminate came.
  bool ReadingAtTerminate = true;
  std::function<void()> AfterTerminate;

  void SetUp() override {
    Runner->OnTerminate = [this](TObject* sender, Cardinal code) {
      EXPECT_EQ(Runner.get(), sender);
      ++Terminations;
      LastExitCode = code;
      ReadingAtTerminate = Runner->OutputReader()->Reading() || Runner->ErrorReader()->Reading();
      if (AfterTerminate) AfterTerminate();
    };
    Runner->SetOnRawRead([this](TObject*, const AnsiString& s) { Raw += s; });
    Runner->SetOnErrorRawRead([this](TObject*, const AnsiString& s) { ErrorRaw += s; });
  }

  // The converter with these arguments and environment lines.
  void Prepare(const std::vector<std::string>& env, const std::string& args = "",
               TJvConsoleOptions options = {coOwnerData, coRedirect}) {
    Runner->SetCommandLine("\"" + ConverterPath() + "\"" + (args.empty() ? "" : " " + args));
    Runner->Environment()->Clear();
    for (const std::string& line : env) Runner->Environment()->Add(line);
    Runner->SetConsoleOptions(options);
  }

  // Runs the message loop until `count` terminations have come.
  void PumpUntilTerminated(int count = 1) {
    MSG msg;
    while (Terminations < count && GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
  }
};

struct TExitCase {
  const char* Name;
  std::vector<std::string> Env;
  TJvConsoleOptions Options;
  Cardinal Code;
};

TEST_F(ProcessRunnerTest, ReportsTheExitCodeAfterEveryCompletion) {
  const TExitCase cases[] = {
      {"redirected, 0", {"TC_SCRIPT=out:x"}, {coOwnerData, coRedirect}, 0},
      {"redirected, 3", {"TC_EXIT=3"}, {coOwnerData, coRedirect}, 3},
      {"separate error, 3", {"TC_EXIT=3", "TC_SCRIPT=err:e"}, {coRedirect, coSeparateError}, 3},
      {"waited for, 3", {"TC_EXIT=3"}, {coOwnerData}, 3},
      {"ended by a signal", {"TC_ABORT=1"}, {coOwnerData, coRedirect}, STATUS_CONTROL_C_EXIT},
  };
  int runs = 0;
  for (const TExitCase& c : cases) {
    Prepare(c.Env, "", c.Options);
    Runner->Start();
    EXPECT_EQ(psWatching, Runner->State()) << c.Name;
    PumpUntilTerminated(++runs);
    EXPECT_EQ(c.Code, LastExitCode) << c.Name;
    EXPECT_FALSE(ReadingAtTerminate) << c.Name;
    EXPECT_EQ(psIdle, Runner->State()) << c.Name;
  }
}

TEST_F(ProcessRunnerTest, OneOutputPipeCarriesBothStreamsInWriteOrder) {
  Prepare({"TC_SCRIPT=out:1;err:2;out:3\\n;err:4"});
  Runner->Start();
  PumpUntilTerminated();
  EXPECT_EQ("123\n4", Raw);
  EXPECT_EQ("", ErrorRaw);
  EXPECT_FALSE(Runner->ErrorReader()->Reading());
}

TEST_F(ProcessRunnerTest, SeparateErrorEndsOnlyAfterBothStreams) {
  Prepare({"TC_SCRIPT=out:O;err:E1;err:E2"}, "", {coRedirect, coSeparateError});
  Runner->Start();
  PumpUntilTerminated();
  EXPECT_EQ("O", Raw);
  EXPECT_EQ("E1E2", ErrorRaw);
  EXPECT_FALSE(ReadingAtTerminate);
}

TEST_F(ProcessRunnerTest, OutputLinesOfARealChild) {
  Prepare({"TC_SCRIPT=out:abcdef\\rXY\\nab\\tc\\n\\b\\bz\\0q\\a!\\nlast"}, "", {coRedirect});
  std::vector<std::string> finished;
  Runner->SetOnRead([&](TObject*, const AnsiString& s, bool) { finished.push_back(s); });
  Runner->Start();
  PumpUntilTerminated();
  EXPECT_EQ(std::string("abcdef\rXY\nab\tc\n\b\bz\0q\a!\nlast", 27), Raw);
  EXPECT_EQ((std::vector<std::string>{"XYcdef", "ab        c", "z q !", "last"}), Lines(Runner->OutputReader()->OutputLines()));
  // The unfinished last line is emitted again when the reader ends.
  ASSERT_GE(finished.size(), 2u);
  EXPECT_EQ("last", finished[finished.size() - 1]);
  EXPECT_EQ("last", finished[finished.size() - 2]);
}

TEST_F(ProcessRunnerTest, CommandLineReachesTheChildByTheSplittingRules) {
  std::string log = TempDir() + "/args.log";
  std::remove(log.c_str());
  Prepare({"TC_LOG=" + log}, "\"C:\\Program Files\\in put.pdf\" a\\\\\\\"b \"c\\\\\" d\"\"e \xC3\xA9\xE2\x82\xAC \"\"");
  Runner->Start();
  PumpUntilTerminated();
  EXPECT_EQ("C:\\Program Files\\in put.pdf\na\\\"b\nc\\\nde\n\xC3\xA9\xE2\x82\xAC\n\n", ReadFileText(log));
}

TEST_F(ProcessRunnerTest, StartWhileWatchingRaisesAndTerminateChildEndsTheRun) {
  Prepare({"TC_SCRIPT=stdin:", "TC_EXIT=5"});
  Runner->Start();
  try {
    Runner->Start();
    ADD_FAILURE() << "no error";
  } catch (const EJvProcessError& e) {
    EXPECT_EQ("Cannot perform this operation when process is running", e.Message());
  }
  EXPECT_THROW(Runner->SetWaitForTerminate(false), EJvProcessError);
  EXPECT_TRUE(Runner->WaitForTerminate());
  EXPECT_TRUE(Runner->TerminateChild());
  PumpUntilTerminated();
  EXPECT_EQ(1, Terminations);
  EXPECT_EQ(0u, LastExitCode);
}

TEST_F(ProcessRunnerTest, TerminateChildWhenIdleRaises) {
  try {
    Runner->TerminateChild();
    ADD_FAILURE() << "no error";
  } catch (const EJvProcessError& e) {
    EXPECT_EQ("Process is not running", e.Message());
  }
}

TEST_F(ProcessRunnerTest, StopWatchingReportsNothingAndALaterStartWorks) {
  Prepare({"TC_SCRIPT=out:first;stdin:"});
  Runner->Start();
  Runner->StopWatching();
  EXPECT_EQ(psIdle, Runner->State());
  Prepare({"TC_EXIT=4"});
  Runner->Start();
  PumpUntilTerminated();
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(1, Terminations);
  EXPECT_EQ(4u, LastExitCode);
  EXPECT_EQ(std::string::npos, Raw.find("first"));
}

// A child never outlives its runner, watched or not.
TEST_F(ProcessRunnerTest, AChildStillRunningEndsWithItsRunner) {
  for (bool watched : {true, false}) {
    SCOPED_TRACE(watched ? "watched" : "not watched");
    Runner = std::make_unique<TJvCreateProcess>(nullptr);
    Prepare({"TC_SCRIPT=sleep:600000"}, "", {coOwnerData});
    Runner->SetWaitForTerminate(watched);
    Runner->Start();
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(Runner->ProcessInfo().dwProcessId), 0));
    ASSERT_GE(fd, 0);
    pollfd running = {fd, POLLIN, 0};
    EXPECT_EQ(0, poll(&running, 1, 0));
    Runner.reset();
    pollfd ended = {fd, POLLIN, 0};
    EXPECT_EQ(1, poll(&ended, 1, 30000)) << "the child ended with the runner";
    close(fd);
  }
  Runner = std::make_unique<TJvCreateProcess>(nullptr);
}

TEST_F(ProcessRunnerTest, StartedWithoutWatchingCanStillBeTerminated) {
  Prepare({"TC_SCRIPT=sleep:600000"}, "", {coOwnerData});
  Runner->SetWaitForTerminate(false);
  Runner->Start();
  EXPECT_EQ(psStarted, Runner->State());
  EXPECT_TRUE(Runner->TerminateChild());
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Runner->ProcessInfo().hProcess, INFINITE));
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(Runner->ProcessInfo().hProcess, &code);
  EXPECT_EQ(0u, code);
  rtl::testing::RunUntilIdle();
  EXPECT_EQ(0, Terminations);
}

TEST_F(ProcessRunnerTest, AnEmptyEnvironmentEntryRaisesAndStartsNothing) {
  std::string log = TempDir() + "/not-started.log";
  std::remove(log.c_str());
  Prepare({"TC_LOG=" + log, ""});
  EXPECT_THROW(Runner->Start(), EJclStringError);
  EXPECT_EQ(psIdle, Runner->State());
  EXPECT_EQ(nullptr, Runner->ProcessInfo().hProcess);
  EXPECT_FALSE(std::ifstream(log).good());
}

TEST_F(ProcessRunnerTest, AMissingProgramRaisesTheSystemError) {
  Runner->SetCommandLine("\"" + TempDir() + "/ConvertZelvo.exe\" WORD in.pdf out.doc");
  Runner->SetConsoleOptions({coOwnerData, coRedirect});
  try {
    Runner->Start();
    ADD_FAILURE() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.ErrorCode());
  }
  EXPECT_EQ(psIdle, Runner->State());
  Prepare({"TC_EXIT=2"});
  Runner->Start();
  PumpUntilTerminated();
  EXPECT_EQ(2u, LastExitCode);
}

TEST_F(ProcessRunnerTest, AnExceptionOfAHandlerGoesToTheApplication) {
  TApplication* saved = Application;
  TApplication app(nullptr);
  Application = &app;
  AnsiString reported;
  TObject* reporter = nullptr;
  app.OnException = [&](TObject* sender, Exception* e) {
    reporter = sender;
    reported = e->Message();
  };
  AfterTerminate = [] { throw EJvProcessError("from the handler"); };
  Prepare({"TC_EXIT=1"});
  Runner->Start();
  PumpUntilTerminated();
  Application = saved;
  EXPECT_EQ("from the handler", reported);
  EXPECT_EQ(Runner.get(), reporter);
  // The run ended before the handler: the next one is accepted.
  EXPECT_EQ(psIdle, Runner->State());
}

TEST_F(ProcessRunnerTest, HundredChildrenStartedFromOnTerminate) {
  Prepare({"TC_SCRIPT=out:x"});
  AfterTerminate = [this] {
    if (Terminations < 100) Runner->Start();
  };
  Runner->Start();
  PumpUntilTerminated(100);
  EXPECT_EQ(100, Terminations);
  EXPECT_EQ(std::string(100, 'x'), Raw);
}

// A child writes faster than the user-interface thread parses: the read
// thread waits for room rather than drop what waits.
TEST_F(ProcessRunnerTest, AMegabyteBurstArrivesWhole) {
  const size_t size = 1 << 20;
  Prepare({"TC_SCRIPT=burst:" + std::to_string(size)});
  Runner->Start();
  PumpUntilTerminated();
  ASSERT_EQ(size, Raw.size());
  for (size_t i = 0; i < size; i += 4099) ASSERT_EQ(static_cast<char>('a' + i % 26), Raw[i]) << i;
}

TEST_F(ProcessRunnerTest, AThousandRunsLeaveNoDescriptorAndNoZombie) {
  Prepare({"TC_SCRIPT=out:x"});
  Runner->Start();
  PumpUntilTerminated(1);
  rtl::testing::RunUntilIdle();
  const int before = OpenDescriptorCount();
  const int threadsBefore = ThreadCount();
  AfterTerminate = [this] {
    if (Terminations < 1001) Runner->Start();
  };
  Runner->Start();
  PumpUntilTerminated(1001);
  EXPECT_EQ(before, OpenDescriptorCount());
  EXPECT_EQ(threadsBefore, ThreadCount());
  EXPECT_FALSE(HasZombieChild());
  EXPECT_EQ(1001u, Raw.size());
}

// A line without a line feed grows chunk by chunk; keeping it in the
// runner's own list must not copy the whole line for every chunk.
TEST_F(ProcessRunnerTest, ATwentyMegabyteLineIsKeptWhole) {
  const size_t size = 20u << 20;
  Prepare({"TC_SCRIPT=burst:" + std::to_string(size)}, "", {coRedirect});
  Runner->SetOnRawRead(nullptr);
  Runner->Start();
  PumpUntilTerminated();
  const TStrings* lines = Runner->OutputReader()->OutputLines();
  ASSERT_EQ(1, lines->Count());
  const AnsiString line = lines->Get(0);
  ASSERT_EQ(size, line.size());
  for (size_t i = 0; i < size; i += 65537) ASSERT_EQ(static_cast<char>('a' + i % 26), line[i]) << i;
}

// The kept line follows the line through overwrites across chunks, also
// when the list was changed in between.
TEST(ProcessRunnerLines, KeptLineFollowsOverwritesAcrossChunks) {
  TJvCreateProcess owner(nullptr);
  owner.SetConsoleOptions({});
  TTestReader reader(&owner);
  reader.Feed("abcdef");
  reader.Feed("gh\rXY");
  EXPECT_EQ((std::vector<std::string>{"XYcdefgh"}), Lines(reader.OutputLines()));
  reader.OutputLines()->Put(0, "other");
  reader.Feed("Z");
  EXPECT_EQ((std::vector<std::string>{"XYZdefgh"}), Lines(reader.OutputLines()));
  reader.Feed("\b\b\bQ\n");
  EXPECT_EQ((std::vector<std::string>{"QYZdefgh", ""}), Lines(reader.OutputLines()));
  EXPECT_EQ("", reader.CurrentLine());
}

struct TGrandchildCase {
  const char* Name;
  const char* Script;
  // Whether TerminateChild comes only after the child itself has ended.
  bool AfterChildEnded;
};

// A grandchild that keeps the output pipe open must not hold the run: it
// goes with the child's group, and one outside the group is waited for
// only a short while.
TEST_F(ProcessRunnerTest, AGrandchildHoldingThePipeDoesNotHoldTheRun) {
  const TGrandchildCase cases[] = {
      {"grandchild in the group, child running", "out:x;spawn:600000;sleep:600000", false},
      {"grandchild in the group, child gone", "out:x;spawn:600000", true},
      {"grandchild outside the group, child gone", "escape:600000", true},
  };
  int runs = 0;
  for (const TGrandchildCase& c : cases) {
    Raw.clear();
    Prepare({std::string("TC_SCRIPT=") + c.Script});
    Runner->Start();
    if (c.AfterChildEnded) {
      ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Runner->ProcessInfo().hProcess, 10000)) << c.Name;
    } else {
      // The grandchild exists once the child has written past the fork.
      while (Raw.empty()) {
        MSG msg;
        if (GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
      }
    }
    // The run is still on, so the termination takes effect.
    EXPECT_TRUE(Runner->TerminateChild()) << c.Name;
    PumpUntilTerminated(++runs);
    EXPECT_EQ(psIdle, Runner->State()) << c.Name;
    // What is left outside the group is the test's to end.
    const size_t at = Raw.find("grandchild ");
    if (at != std::string::npos) kill(static_cast<pid_t>(std::stol(Raw.substr(at + 11))), SIGKILL);
  }
}

// Beyond what the system takes for the arguments: the original's error for
// a command line that is too long, with a message that says so.
TEST_F(ProcessRunnerTest, AnOverlongCommandLineFailsWithItsOwnError) {
  Prepare({}, std::string(200 * 1024, 'a'));
  try {
    Runner->Start();
    ADD_FAILURE() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, e.ErrorCode());
    EXPECT_NE(std::string::npos, e.Message().find("command line is too long")) << e.Message();
  }
  EXPECT_EQ(psIdle, Runner->State());
}

// The service thread is joined at shut-down and comes back for the next run.
TEST_F(ProcessRunnerTest, TheServiceStopsAtShutDownAndStartsAgain) {
  Prepare({"TC_SCRIPT=out:a"});
  Runner->Start();
  PumpUntilTerminated(1);
  const int running = ThreadCount();
  jv_process_service::Shutdown();
  EXPECT_EQ(running - 1, ThreadCount());
  Runner->Start();
  PumpUntilTerminated(2);
  EXPECT_EQ("aa", Raw);
  EXPECT_EQ(running, ThreadCount());
}

}  // namespace
