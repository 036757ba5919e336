#include "platform/rtl/whole_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/testing/fault_hooks.h"
#include "tests/common/hang_guard.h"
#include "tests/common/unprivileged.h"

namespace {

namespace fs = std::filesystem;

class WholeFileTest : public ::testing::Test {
 protected:
  AnsiString dir;

  void SetUp() override {
    char tmpl[] = "/tmp/whole_files_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = AnsiString(tmpl) + "/";
  }
  void TearDown() override {
    rtl::testing::SetReplaceFileFaultHook(nullptr);
    fs::remove_all(dir);
  }
  static void Put(const AnsiString& path, const AnsiString& text) { std::ofstream(path, std::ios::binary) << text; }
  static AnsiString Get(const AnsiString& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // The temporary files of writers of "name" left in the folder.
  size_t TempFiles(const AnsiString& name) {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string f = e.path().filename().string();
      if (f.starts_with("." + name + ".") && f.ends_with(".tmp")) ++n;
    }
    return n;
  }
};

TEST_F(WholeFileTest, ReadsARegularFileWhole) {
  const AnsiString path = dir + "a.txt";
  Put(path, "one\r\ntwo");
  AnsiString text;
  EXPECT_EQ(ReadWholeFile(path, text), wfOk);
  EXPECT_EQ(text, "one\r\ntwo");
  EXPECT_EQ(ReadWholeFile(dir + "missing", text), wfMissing);
  EXPECT_EQ(ReadWholeFile(dir + "missing/deeper", text), wfMissing);
  EXPECT_EQ(ReadWholeFile(dir, text), wfIsDirectory);
  EXPECT_EQ(WholeFileReadFailure(wfIsDirectory), "It is a folder.");
}

TEST_F(WholeFileTest, AFifoOrADeviceIsRefusedAtOnce) {
  HangGuard guard(20);
  const AnsiString fifo = dir + "fifo", zero = dir + "zero";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  for (const AnsiString& path : {fifo, zero}) {
    AnsiString text = "stale";
    EXPECT_EQ(ReadWholeFile(path, text), wfNotRegular) << path;
    EXPECT_EQ(text, "");
  }
  EXPECT_EQ(WholeFileReadFailure(wfNotRegular), "It is not a regular file.");
}

TEST_F(WholeFileTest, AFileOverTheLimitIsRefused) {
  const AnsiString path = dir + "big";
  Put(path, AnsiString(1001, 'x'));
  AnsiString text;
  EXPECT_EQ(ReadWholeFile(path, text, 1000), wfTooLarge);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ReadWholeFile(path, text, 1001), wfOk);
  EXPECT_EQ(WholeFileReadFailure(wfTooLarge, 1000), "It is larger than 1000 bytes.");
  EXPECT_EQ(WholeFileReadFailure(wfTooLarge), "It is larger than 4 MB.");
}

TEST_F(WholeFileTest, ReplacingNeverPutsAFileInThePlaceOfADeviceFifoOrFolder) {
  HangGuard guard(20);
  const AnsiString fifo = dir + "fifo", zero = dir + "zero", folder = dir + "folder";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/null", zero.c_str()), 0);
  fs::create_directory(folder);
  for (const AnsiString& path : {fifo, zero, folder}) EXPECT_FALSE(ReplaceWholeFile(path, "data")) << path;
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_symlink(zero));
  EXPECT_EQ(fs::read_symlink(zero), "/dev/null");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(TempFiles("fifo") + TempFiles("null") + TempFiles("folder"), 0u);
}

TEST_F(WholeFileTest, ALinkIsWrittenThroughAndStays) {
  // To a regular file: that file is replaced, keeping its permissions.
  const AnsiString real = dir + "real.ini", link = dir + "link.ini";
  Put(real, "old");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.ini", link.c_str()), 0);  // relative to the link's folder
  ASSERT_TRUE(ReplaceWholeFile(link, "new"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(real), "new");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0640));

  // Dangling: writing through it creates its target, as opening it would.
  const AnsiString dangling = dir + "dangling.ini";
  ASSERT_EQ(symlink((dir + "created.ini").c_str(), dangling.c_str()), 0);
  ASSERT_TRUE(ReplaceWholeFile(dangling, "made"));
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(Get(dir + "created.ini"), "made");

  // A loop is refused.
  const AnsiString a = dir + "loop_a", b = dir + "loop_b";
  ASSERT_EQ(symlink(b.c_str(), a.c_str()), 0);
  ASSERT_EQ(symlink(a.c_str(), b.c_str()), 0);
  EXPECT_FALSE(ReplaceWholeFile(a, "x"));
}

TEST_F(WholeFileTest, AFileThatMayNotBeWrittenIsNotReplaced) {
  // The folder lets anyone rename over the file: only the file's own
  // permission says no, as it would to a write through the name.
  const AnsiString path = dir + "readonly.ini";
  Put(path, "keep");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
  const int rc = test_helpers::RunUnprivileged([&] {
    if (ReplaceWholeFile(path, "new")) return 1;
    return ReplaceWholeFile(dir + "writable.ini", "new") ? 0 : 2;
  });
  if (rc == -1) GTEST_SKIP() << "cannot drop root's privileges";
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Get(path), "keep");
  EXPECT_EQ(TempFiles("readonly.ini"), 0u);
}

TEST_F(WholeFileTest, TemporaryFilesOfGoneWritersAreRemovedByTheNextReplace) {
  const AnsiString path = dir + "s.ini";
  ASSERT_TRUE(ReplaceWholeFile(path, "v0"));
  // Whether the writer with that process id has a temporary file here.
  auto hasTemp = [&](pid_t pid) {
    const std::string prefix = ".s.ini." + std::to_string(pid) + ".";
    for (const auto& e : fs::directory_iterator(dir))
      if (e.path().filename().string().starts_with(prefix)) return true;
    return false;
  };
  // Writers killed between creating their temporary file and renaming it:
  // each one's replace removes what the one before it left.
  constexpr int kKilled = 8;
  for (int i = 0; i < kKilled; ++i) {
    pid_t child = fork();
    if (child == 0) {
      rtl::testing::SetReplaceFileFaultHook([](const AnsiString&) {
        pause();
        return 0;
      });
      ReplaceWholeFile(path, "never");
      _exit(1);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!hasTemp(child) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(hasTemp(child));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(TempFiles("s.ini"), 1u);
  }
  EXPECT_EQ(Get(path), "v0");

  // A writer that is still running keeps its temporary file.
  pid_t alive = fork();
  if (alive == 0) {
    pause();
    _exit(0);
  }
  struct Reap {
    pid_t pid;
    ~Reap() {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  } reap{alive};
  const AnsiString living = dir + ".s.ini." + std::to_string(alive) + ".1.tmp";
  const AnsiString mine = dir + ".s.ini." + std::to_string(getpid()) + ".999999.tmp";  // an earlier process's, same id
  const AnsiString other = dir + ".other.ini.1.1.tmp";  // another file's
  for (const AnsiString& f : {living, mine, other}) Put(f, "");

  ASSERT_TRUE(ReplaceWholeFile(path, "v1"));
  EXPECT_EQ(Get(path), "v1");
  EXPECT_TRUE(fs::exists(living));
  EXPECT_FALSE(fs::exists(mine));
  EXPECT_TRUE(fs::exists(other));
  EXPECT_EQ(TempFiles("s.ini"), 1u);  // the living writer's only
  kill(alive, SIGKILL);
  waitpid(alive, nullptr, 0);
  ASSERT_TRUE(ReplaceWholeFile(path, "v2"));
  EXPECT_EQ(TempFiles("s.ini"), 0u);
}

TEST_F(WholeFileTest, TheLockExcludesOtherProcessesAndFollowsLinks) {
  const AnsiString real = dir + "real.ini", link = dir + "link.ini";
  Put(real, "");
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    TFileUpdateLock lock(real);
    if (write(ready[1], "x", 1) != 1) _exit(2);
    usleep(300 * 1000);
    _exit(lock.Locked() ? 0 : 1);
  }
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  const auto start = std::chrono::steady_clock::now();
  {
    TFileUpdateLock lock(link);  // the same file through its link: the same lock
    EXPECT_TRUE(lock.Locked());
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_TRUE(fs::exists(real + ".lock"));
  EXPECT_FALSE(fs::exists(link + ".lock"));

  // In a missing folder there is no lock, and none is made.
  EXPECT_FALSE(TFileUpdateLock(dir + "missing/x.ini").Locked());
  EXPECT_FALSE(fs::exists(dir + "missing"));
  // A link to a device gets its lock beside the link, never beside the device.
  const AnsiString zero = dir + "zero";
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  EXPECT_TRUE(TFileUpdateLock(zero).Locked());
  EXPECT_TRUE(fs::exists(zero + ".lock"));
  EXPECT_FALSE(fs::exists("/dev/zero.lock"));
}

}  // namespace
