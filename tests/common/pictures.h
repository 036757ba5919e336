// Where tests put the pictures they paint, for a person to look at: a
// folder under the build tree, created on first use. ctest passes it; run by
// hand, a test binary (which lives in <build>/tests) finds it beside its own
// folder, so that no build path is compiled in and objects stay the same
// from one clone to another.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string PictureDir() {
  const char* env = std::getenv("TEST_PICTURE_DIR");
  std::filesystem::path dir;
  std::error_code ec;
  if (env && *env) {
    dir = env;
  } else {
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    dir = ec ? std::filesystem::path("pictures") : exe.parent_path().parent_path() / "pictures";
  }
  std::filesystem::create_directories(dir, ec);
  return dir.string() + "/";
}
