// The demo program's scenario (a framed window with a child, clicks, keys,
// a screenshot) played offscreen by the program itself.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/common/pictures.h"

namespace {

std::string DemoPath() {
  char self[PATH_MAX] = {};
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return std::string();
  std::string dir(self, static_cast<size_t>(n));
  dir = dir.substr(0, dir.rfind('/'));
  return dir + "/../tools/demo/demo_window";
}

TEST(DemoTest, ScenarioPlaysOffscreenAndWritesAScreenshot) {
  std::string demo = DemoPath();
  if (access(demo.c_str(), X_OK) != 0) GTEST_SKIP() << "the demo program is not built";
  std::string shot = PictureDir() + "demo_window_test.png";
  std::remove(shot.c_str());
  std::string cmd = "QT_QPA_PLATFORM=offscreen '" + demo + "' --self-test --screenshot '" + shot + "' >/dev/null 2>&1";
  int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream png(shot, std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

}  // namespace
