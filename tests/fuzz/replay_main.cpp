// Runs a fuzz target over files instead of under libFuzzer: each argument is
// a file or a folder of files, and every file is handed to the target once.
// The ordinary (sanitized) build links each target with this, so that CI
// replays every seed without a second, fuzzer-instrumented build; fuzzing
// proper stays with tests/fuzz/run.sh.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg = argv[i];
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
      if (ec) {
        std::fprintf(stderr, "cannot list %s: %s\n", arg.c_str(), ec.message().c_str());
        return 2;
      }
    } else if (std::filesystem::is_regular_file(arg, ec)) {
      files.push_back(arg);
    } else {
      std::fprintf(stderr, "no such file or folder: %s\n", arg.c_str());
      return 2;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: %s <file or folder>... (no input found)\n", argv[0]);
    return 2;
  }
  // Sorted, so that a failure replays in the same order.
  std::sort(files.begin(), files.end());
  std::vector<uint8_t> bytes;
  for (const auto& file : files) {
    if (!ReadFile(file, bytes)) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 2;
    }
    // A crash or a sanitizer report ends the process here, naming the input.
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", file.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::error_code ec;
  std::filesystem::remove_all(fuzz::ScratchFolder(), ec);
  std::printf("%zu inputs replayed\n", files.size());
  return 0;
}
