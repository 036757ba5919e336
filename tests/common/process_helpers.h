// Helpers of the tests that start child processes: where the converter
// stand-in lies, a temporary folder, file contents and descriptor counts.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace test_helpers {

// The folder of the running test executable.
inline std::string ExeFolder() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string s(buf, n > 0 ? static_cast<size_t>(n) : 0);
  return s.substr(0, s.rfind('/'));
}

// The converter stand-in, built with the tests.
inline std::string ConverterPath() {
  if (const char* p = std::getenv("TEST_CONVERTER")) return p;
  return ExeFolder() + "/../tools/test_converter/test_converter";
}

// One temporary folder per test program, made on first use and removed
// with everything in it when the program ends.
inline std::string TempDir() {
  struct TDir {
    std::string Path;
    TDir() {
      char tmpl[] = "/tmp/process_test.XXXXXX";
      if (mkdtemp(tmpl)) Path = tmpl;
    }
    ~TDir() {
      std::error_code ec;
      if (!Path.empty()) std::filesystem::remove_all(Path, ec);
    }
  };
  static TDir dir;
  return dir.Path;
}

inline std::string ReadFileText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// The number of descriptors this process has open.
inline int OpenDescriptorCount() {
  int n = 0;
  DIR* d = opendir("/proc/self/fd");
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '.') ++n;
  closedir(d);
  return n;
}

}  // namespace test_helpers
