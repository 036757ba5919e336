// Where tests put the pictures they paint, for a person to look at: a
// folder under the build tree (ctest passes it), created on first use.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string PictureDir() {
  const char* env = std::getenv("TEST_PICTURE_DIR");
#ifdef TEST_PICTURE_DEFAULT_DIR
  const char* fallback = TEST_PICTURE_DEFAULT_DIR;
#else
  const char* fallback = "pictures";
#endif
  std::filesystem::path dir = env && *env ? env : fallback;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir.string() + "/";
}
